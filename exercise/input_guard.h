#pragma once
#include <cstdint>
#include <string_view>

#include "exercise/key_codes.h"

// Which keys never reach the edit boxes: the paste keys of the typing box, and anything
// but a number in the lesson spin box.
namespace tecladim {

enum class KeyDownVerdict { Pass, Refuse };

// Ctrl+V (whatever other modifiers) and Shift+Insert are refused silently: the key code
// becomes 0 and the typing box never sees the key-down. The character Ctrl+V may still
// produce goes to the keystroke judge, which counts it as a wrong key.
constexpr KeyDownVerdict PasteKeyVerdict(std::uint16_t key, ShiftState shift) {
  if (shift.Has(ShiftState::CtrlBit) && key == vk::LetterV) return KeyDownVerdict::Refuse;
  if (shift.Has(ShiftState::ShiftBit) && key == vk::Insert) return KeyDownVerdict::Refuse;
  return KeyDownVerdict::Pass;
}

// The lesson spin box holds at most three characters (three digits reach LessonCount).
inline constexpr int LessonSpinMaxLength = 3;
inline constexpr char16_t DecimalSeparator = u',';

enum class SpinCharVerdict { Accept, RefuseWithBeep };

// Characters a spin box of whole numbers takes: digits, the signs and the decimal
// separator; editing characters (Backspace and the other control characters but Enter)
// pass as well. The length limit is the box's own (LessonSpinMaxLength).
constexpr SpinCharVerdict SpinCharVerdictFor(char16_t ch) {
  if ((ch >= u'0' && ch <= u'9') || ch == u'+' || ch == u'-' || ch == DecimalSeparator)
    return SpinCharVerdict::Accept;
  if (ch < u' ' && ch != u'\r') return SpinCharVerdict::Accept;
  return SpinCharVerdict::RefuseWithBeep;
}

}  // namespace tecladim
