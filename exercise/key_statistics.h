#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "exercise/exercise_state.h"
#include "exercise/judge.h"

namespace tecladim {

// An exercise's key statistics count only from this many judged keys on: fewer say nothing
// about a student's keys.
inline constexpr std::int32_t MinimumJudgedKeys = 20;

// The expected character of a key judged where the model has its line break (typed before
// the line advance's Enter arrived): every key there is wrong, and the judge counts it.
inline constexpr char16_t LineEndKey = EnterChar;

// A right key after a longer silence is counted but not timed: the student stopped to
// read, or left the keyboard.
inline constexpr std::int64_t LongestTimedKeyMs = 10'000;

struct WrongKey {
  char16_t typed = 0;
  std::int32_t count = 0;
  friend bool operator==(const WrongKey&, const WrongKey&) = default;
};

// What one expected character of an exercise met: right keys, wrong keys and what was
// typed instead, and the time from the previous judged key to each timed right key.
struct KeyCounts {
  char16_t expected = 0;
  std::int32_t right = 0;
  std::int32_t wrong = 0;
  std::int64_t rightMs = 0;            // the timed right keys' times, summed
  std::int32_t timedRight = 0;         // how many right keys rightMs holds
  std::vector<WrongKey> typedInstead;  // in the order first typed; counts add up to `wrong`
  friend bool operator==(const KeyCounts&, const KeyCounts&) = default;
};

enum class KeyVerdict { Right, Wrong };

// The key statistics of the exercise under way, fed by the judge's verdicts. A judged key is
// a character the judge compared with the model: the letter a dead key made counts as that
// letter ("á"), a wrong dead-key pair as the one wrong letter it made, a Shift or AltGr
// character as itself. Enter never counts: neither the line advance's nor the student's
// own, which the judge refuses without comparing it.
class KeyStatistics {
 public:
  // The window's one call per character event, right after JudgeKey and before the verdict
  // is applied (the error flash would otherwise count in the next key's time): the input
  // judged, the verdict, the state as the judge left it, and a steady clock in ms.
  void Record(const KeyInput& in, const Judgement& verdict, const ExerciseState& state, std::int64_t nowMs);

  // One judged key. A right key is timed when the key before it was judged too, was right
  // (a wrong key's flash stands between them) and came at most LongestTimedKeyMs earlier.
  void Record(char16_t expected, char16_t typed, KeyVerdict verdict, std::int64_t nowMs);

  std::int32_t JudgedKeys() const { return judged_; }
  std::int32_t Errors() const { return errors_; }
  bool CountsForStatistics() const { return judged_ >= MinimumJudgedKeys; }

  // One entry per expected character, in the order first met.
  std::span<const KeyCounts> Keys() const { return keys_; }

  // A new exercise: the lesson start calls it.
  void Clear();

 private:
  KeyCounts& CountsOf(char16_t expected);

  std::vector<KeyCounts> keys_;
  // Index + 1 into keys_ of the characters below U+0100, every lesson's characters: a key is
  // found without a search. 0 is "not met yet".
  std::array<std::uint8_t, 0x100> slotOf_{};
  std::int32_t judged_ = 0;
  std::int32_t errors_ = 0;
  std::int64_t previousMs_ = 0;
  bool previousRight_ = false;  // a previous key was judged, and was right
};

}  // namespace tecladim
