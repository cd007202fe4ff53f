#pragma once
#include <cstdint>
#include <string_view>

// Which keys never reach the edit boxes: the paste keys of the typing box, and anything
// but a number in the lesson spin box.
namespace tecladim {

// Windows virtual-key numbering, which the key-down events carry.
inline constexpr std::uint16_t VirtualKeyV = 86;
inline constexpr std::uint16_t VirtualKeyInsert = 45;

// The toolkit's modifier set: Shift bit 0, Alt bit 1, Ctrl bit 2.
enum class KeyModifier : std::uint8_t { Shift = 1u << 0, Alt = 1u << 1, Ctrl = 1u << 2 };

struct Modifiers {
  std::uint8_t bits = 0;
  constexpr bool Has(KeyModifier m) const { return (bits & static_cast<std::uint8_t>(m)) != 0; }
};
constexpr Modifiers operator|(Modifiers a, KeyModifier m) {
  return {static_cast<std::uint8_t>(a.bits | static_cast<std::uint8_t>(m))};
}
constexpr Modifiers operator|(KeyModifier a, KeyModifier b) { return Modifiers{} | a | b; }

enum class KeyDownVerdict { Pass, Refuse };

// Ctrl+V (whatever other modifiers) and Shift+Insert are refused silently: the key code
// becomes 0 and the typing box never sees the key-down. The character Ctrl+V may still
// produce goes to the keystroke judge, which counts it as a wrong key.
constexpr KeyDownVerdict PasteKeyVerdict(std::uint16_t key, Modifiers modifiers) {
  if (modifiers.Has(KeyModifier::Ctrl) && key == VirtualKeyV) return KeyDownVerdict::Refuse;
  if (modifiers.Has(KeyModifier::Shift) && key == VirtualKeyInsert) return KeyDownVerdict::Refuse;
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
