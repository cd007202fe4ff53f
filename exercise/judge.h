#pragma once
#include <cstdint>
#include <string_view>
#include <utility>

#include "exercise/exercise_state.h"

namespace tecladim {

inline constexpr char16_t EnterChar = u'\r';   // the character an Enter key produces
inline constexpr std::uint16_t EnterKey = 13;  // its virtual-key code, for the line advance
inline constexpr std::u16string_view ErrorFlashText = u"Você errou";

// One character event of the typing box, as the window reads it at that moment. The judge
// keeps no copy: the texts are looked at during the call only.
struct KeyInput {
  char16_t key = 0;             // the character about to be inserted
  std::int64_t caret = 0;       // selection start; a CR LF line break counts as two
  std::u16string_view model;    // the model box's whole text (no line breaks)
  std::u16string_view typed;    // the typing box's whole text, lines separated by CR LF
  std::int32_t lineCount = 0;   // TypedLineCount(typed)
  int lesson = 1;               // the lesson number read from the spin box
};

// What the window does with a key, in this order:
//   cancel             the key is not inserted (Key := 0)
//   error              the count has gone up in the state: show the new count, beep, flash
//                      ErrorFlashText and wait for the flash to close
//   lineAdvance        AdvanceLine(state, inject Enter): the Enter arrives after this key
//   armCompletion      the completion timer goes on
//   recomputeAccuracy  show AccuracyText(state) anew
struct Judgement {
  bool cancel = false;
  bool error = false;
  bool lineAdvance = false;
  bool armCompletion = false;
  bool recomputeAccuracy = false;
  friend bool operator==(const Judgement&, const Judgement&) = default;
};

// Judges one character against the model text at the caret's place and updates the state
// (last key, position, error count, pula). While the busy flag is set the key passes
// unjudged and nothing else happens. Never throws: the window's handler swallows failures
// of what it does with the verdict (the beep, the flash, the injection), never of this.
Judgement JudgeKey(ExerciseState& state, const KeyInput& input) noexcept;

// The 1-based place in the model a caret offset stands for: full model lines and their
// CR LF are taken away, leaving 1..modelLength+2 (modelLength+1 is right after a line's
// last character, before its line break). Any caret and any model length, 0 included.
std::int32_t ModelPosition(std::int64_t caret, std::size_t modelLength) noexcept;

// Lines of the typed text as the typing box counts them: an empty last line is not
// counted, so "" has 0 lines and "abc\r\n" one.
std::int32_t TypedLineCount(std::u16string_view typed) noexcept;

// Whether the line advance of the line just finished was lost: `pula` still waits for its
// Enter and the caret stands right after the line's last character, before any line
// break. It happens when a key typed just before the injected Enter was wrong: its flash
// took the keyboard and swallowed the Enter. Asked once the flash has closed; the window
// then injects the line advance again, so only the wrong key itself counts. Should the
// first Enter still come after all, it passes and the second is refused like the
// student's own.
bool LineAdvanceLost(const ExerciseState& state, std::int64_t caret, std::size_t modelLength) noexcept;

// The line advance: busy flag on while `inject` queues an Enter (EnterKey, no modifier,
// not extended), off again afterwards even if it fails; pula := true once it has queued.
template <class Inject>
void AdvanceLine(ExerciseState& state, Inject&& inject) {
  struct BusyScope {
    ExerciseState& s;
    explicit BusyScope(ExerciseState& st) : s(st) { s.busy = true; }
    ~BusyScope() { s.busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
  };
  {
    BusyScope scope(state);
    std::forward<Inject>(inject)();
  }
  state.pula = true;
}

}  // namespace tecladim
