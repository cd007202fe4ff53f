#include "exercise/key_statistics.h"

#include <algorithm>
#include <limits>

namespace tecladim {

void KeyStatistics::Record(const KeyInput& in, const Judgement& verdict, const ExerciseState& state,
                           std::int64_t nowMs) {
  // The judge let the key pass unjudged while busy, and never compares an Enter.
  if (state.busy || in.key == EnterChar) return;
  const auto p = static_cast<std::size_t>(state.position);
  const char16_t expected = p >= 1 && p <= in.model.size() ? in.model[p - 1] : LineEndKey;
  Record(expected, in.key, verdict.error ? KeyVerdict::Wrong : KeyVerdict::Right, nowMs);
}

void KeyStatistics::Record(char16_t expected, char16_t typed, KeyVerdict verdict, std::int64_t nowMs) {
  constexpr auto Most = std::numeric_limits<std::int32_t>::max();
  if (judged_ == Most) return;  // the counts stay consistent rather than overflow
  KeyCounts& counts = CountsOf(expected);
  ++judged_;
  if (verdict == KeyVerdict::Wrong) {
    ++errors_;
    ++counts.wrong;
    auto it = std::find_if(counts.typedInstead.begin(), counts.typedInstead.end(),
                           [typed](const WrongKey& w) { return w.typed == typed; });
    if (it == counts.typedInstead.end()) counts.typedInstead.push_back({typed, 1});
    else ++it->count;
    previousRight_ = false;
  } else {
    ++counts.right;
    const std::int64_t since = nowMs - previousMs_;
    if (previousRight_ && since >= 0 && since <= LongestTimedKeyMs) {
      counts.rightMs += since;
      ++counts.timedRight;
    }
    previousRight_ = true;
  }
  previousMs_ = nowMs;
}

KeyCounts& KeyStatistics::CountsOf(char16_t expected) {
  if (expected < slotOf_.size() && slotOf_[expected] != 0) return keys_[slotOf_[expected] - 1u];
  for (KeyCounts& k : keys_)  // a character met only now, or beyond the index
    if (k.expected == expected) return k;
  keys_.push_back(KeyCounts{expected, 0, 0, 0, 0, {}});
  if (expected < slotOf_.size() && keys_.size() < 0x100) slotOf_[expected] = static_cast<std::uint8_t>(keys_.size());
  return keys_.back();
}

void KeyStatistics::Clear() { *this = KeyStatistics(); }

}  // namespace tecladim
