#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The Brazilian ABNT2 keyboard the lessons are typed on, as data: every key in its place,
// what each key makes (alone, with Shift, with AltGr), the dead keys and the letters they
// compose, and which finger presses each key in touch typing. The hand-position chart and
// the key statistics' keyboards are drawn from it; its characters agree with the X
// layout "br(abnt2)".
namespace tecladim {

enum class Finger : std::uint8_t {
  LeftLittle,
  LeftRing,
  LeftMiddle,
  LeftIndex,
  RightIndex,
  RightMiddle,
  RightRing,
  RightLittle,
  Thumbs,  // the space bar, struck with either thumb
  None,    // Ctrl, Alt, AltGr and the system keys: no finger of the home position
};
inline constexpr int FingerCount = 10;

// "mínimo esquerdo" ... "polegares", as the class report names the fingers.
std::u16string_view FingerName(Finger finger);

enum class KeyLevel : std::uint8_t { Plain, Shift, AltGr };
inline constexpr int KeyLevelCount = 3;

enum class SymbolKind : std::uint8_t {
  Nothing,    // the level makes no character (named keys; AltGr where the keycap shows nothing)
  Character,  // the key makes `character` at once
  DeadKey,    // the key makes nothing yet: `character` (the accent, "´") goes over the next letter
};

struct KeySymbol {
  SymbolKind kind = SymbolKind::Nothing;
  char16_t character = 0;  // the character made, or the accent's spacing form for a dead key
};

// One key. Places are in key widths from the left edge of the keyboard; the rows go from
// the number row (0) to the space-bar row (4). Enter takes two rows: its upper part stands
// in row 1 at `left`, its lower part in row 2 from EnterLowerLeft to the right edge.
struct KeyCap {
  std::string_view xkbName;   // the key's name in the X keyboard description ("AC10" is ç)
  std::u16string_view label;  // a named key's legend ("Shift"); empty for keys that make characters
  std::uint8_t row = 0;
  double left = 0;
  double width = 1;
  Finger finger = Finger::None;
  std::array<KeySymbol, KeyLevelCount> levels{};  // by KeyLevel; AltGr only where the keycap shows it
  bool homeBump = false;                          // the ridge on F and J

  const KeySymbol& At(KeyLevel level) const { return levels[static_cast<std::size_t>(level)]; }
};

inline constexpr int KeyboardRows = 5;
inline constexpr double KeyboardWidth = 15.0;  // every row ends here
inline constexpr double EnterLowerLeft = 13.75;

// Every key, row by row and left to right within a row.
std::span<const KeyCap> Abnt2Keys();

// The key of that X name, or nullptr.
const KeyCap* FindKey(std::string_view xkbName);

struct KeyStroke {
  const KeyCap* key = nullptr;
  KeyLevel level = KeyLevel::Plain;
  friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// How a character is typed: one stroke, or a dead key's stroke and then the letter's. A
// character several keys make is typed the plainest way (Plain before Shift before AltGr,
// a key of its own before a dead key): "/" is the key beside right Shift, not AltGr+Q.
struct Keying {
  std::array<KeyStroke, 2> strokes{};
  std::uint8_t count = 0;

  std::span<const KeyStroke> Strokes() const { return {strokes.data(), count}; }
  const KeyStroke& Last() const { return strokes[count - 1u]; }  // the letter's own key
};

// No value for a character the keyboard cannot type: a control character, "ł".
std::optional<Keying> KeyingOf(char16_t character);

// The letter a dead key's accent makes over a base character ("~" over "a" is "ã"), or 0
// when the pair composes nothing this table knows.
char16_t Compose(char16_t accent, char16_t base);

// The finger that types a character: that of its letter's key (for "ã", the "a"), since
// the dead key before it is pressed the same way for every letter. None when untypable.
Finger FingerOf(char16_t character);

// The Shift the other hand holds while a key is struck with Shift.
const KeyCap& ShiftKeyFor(const KeyCap& key);

}  // namespace tecladim
