#include "lessons/abnt2_keyboard.h"

#include <algorithm>

namespace tecladim {
namespace {

using F = Finger;

constexpr KeySymbol Char(char16_t c) { return {SymbolKind::Character, c}; }
constexpr KeySymbol Dead(char16_t accent) { return {SymbolKind::DeadKey, accent}; }

constexpr KeyCap Key(std::uint8_t row, std::string_view name, Finger finger, KeySymbol plain, KeySymbol shift = {},
                     KeySymbol altGr = {}) {
  return KeyCap{name, {}, row, 0, 1, finger, {plain, shift, altGr}, false};
}

// A letter key: the small letter alone, the capital with Shift.
constexpr KeyCap Letter(std::uint8_t row, std::string_view name, Finger finger, char16_t small, KeySymbol altGr = {}) {
  return Key(row, name, finger, Char(small), Char(static_cast<char16_t>(small - u'a' + u'A')), altGr);
}

constexpr KeyCap Named(std::uint8_t row, std::string_view name, std::u16string_view label, double width,
                       Finger finger) {
  return KeyCap{name, label, row, 0, width, finger, {}, false};
}

// Keycap legends and fingers as on the hand-position chart; the AltGr characters are the
// ones printed on the ABNT2 keycaps (¹²³£¢¬§, / ? ° on Q W E, ª º, ° beside right Shift).
constexpr auto Keys = [] {
  std::array<KeyCap, 63> keys{{
      // the number row
      Key(0, "TLDE", F::LeftLittle, Char(u'\''), Char(u'"')),
      Key(0, "AE01", F::LeftLittle, Char(u'1'), Char(u'!'), Char(u'¹')),
      Key(0, "AE02", F::LeftRing, Char(u'2'), Char(u'@'), Char(u'²')),
      Key(0, "AE03", F::LeftMiddle, Char(u'3'), Char(u'#'), Char(u'³')),
      Key(0, "AE04", F::LeftIndex, Char(u'4'), Char(u'$'), Char(u'£')),
      Key(0, "AE05", F::LeftIndex, Char(u'5'), Char(u'%'), Char(u'¢')),
      Key(0, "AE06", F::RightIndex, Char(u'6'), Dead(u'¨'), Char(u'¬')),
      Key(0, "AE07", F::RightIndex, Char(u'7'), Char(u'&')),
      Key(0, "AE08", F::RightMiddle, Char(u'8'), Char(u'*')),
      Key(0, "AE09", F::RightRing, Char(u'9'), Char(u'(')),
      Key(0, "AE10", F::RightLittle, Char(u'0'), Char(u')')),
      Key(0, "AE11", F::RightLittle, Char(u'-'), Char(u'_')),
      Key(0, "AE12", F::RightLittle, Char(u'='), Char(u'+'), Char(u'§')),
      Named(0, "BKSP", u"←", 2.0, F::RightLittle),
      // the upper row
      Named(1, "TAB", u"Tab", 1.5, F::LeftLittle),
      Letter(1, "AD01", F::LeftLittle, u'q', Char(u'/')),
      Letter(1, "AD02", F::LeftRing, u'w', Char(u'?')),
      Letter(1, "AD03", F::LeftMiddle, u'e', Char(u'°')),
      Letter(1, "AD04", F::LeftIndex, u'r'),
      Letter(1, "AD05", F::LeftIndex, u't'),
      Letter(1, "AD06", F::RightIndex, u'y'),
      Letter(1, "AD07", F::RightIndex, u'u'),
      Letter(1, "AD08", F::RightMiddle, u'i'),
      Letter(1, "AD09", F::RightRing, u'o'),
      Letter(1, "AD10", F::RightLittle, u'p'),
      Key(1, "AD11", F::RightLittle, Dead(u'´'), Dead(u'`')),
      Key(1, "AD12", F::RightLittle, Char(u'['), Char(u'{'), Char(u'ª')),
      Named(1, "RTRN", u"Enter", 1.5, F::RightLittle),
      // the home row
      Named(2, "CAPS", u"Caps", 1.75, F::LeftLittle),
      Letter(2, "AC01", F::LeftLittle, u'a'),
      Letter(2, "AC02", F::LeftRing, u's'),
      Letter(2, "AC03", F::LeftMiddle, u'd'),
      Letter(2, "AC04", F::LeftIndex, u'f'),
      Letter(2, "AC05", F::LeftIndex, u'g'),
      Letter(2, "AC06", F::RightIndex, u'h'),
      Letter(2, "AC07", F::RightIndex, u'j'),
      Letter(2, "AC08", F::RightMiddle, u'k'),
      Letter(2, "AC09", F::RightRing, u'l'),
      Key(2, "AC10", F::RightLittle, Char(u'ç'), Char(u'Ç')),
      Key(2, "AC11", F::RightLittle, Dead(u'~'), Dead(u'^')),
      Key(2, "BKSL", F::RightLittle, Char(u']'), Char(u'}'), Char(u'º')),
      // the lower row
      Named(3, "LFSH", u"Shift", 1.25, F::LeftLittle),
      Key(3, "LSGT", F::LeftLittle, Char(u'\\'), Char(u'|')),
      Letter(3, "AB01", F::LeftLittle, u'z'),
      Letter(3, "AB02", F::LeftRing, u'x'),
      Letter(3, "AB03", F::LeftMiddle, u'c'),
      Letter(3, "AB04", F::LeftIndex, u'v'),
      Letter(3, "AB05", F::LeftIndex, u'b'),
      Letter(3, "AB06", F::RightIndex, u'n'),
      Letter(3, "AB07", F::RightIndex, u'm'),
      Key(3, "AB08", F::RightMiddle, Char(u','), Char(u'<')),
      Key(3, "AB09", F::RightRing, Char(u'.'), Char(u'>')),
      Key(3, "AB10", F::RightLittle, Char(u';'), Char(u':')),
      Key(3, "AB11", F::RightLittle, Char(u'/'), Char(u'?'), Char(u'°')),
      Named(3, "RTSH", u"Shift", 1.75, F::RightLittle),
      // the space-bar row
      Named(4, "LCTL", u"Ctrl", 1.25, F::None),
      Named(4, "LWIN", u"", 1.25, F::None),
      Named(4, "LALT", u"Alt", 1.25, F::None),
      KeyCap{"SPCE", u"", 4, 0, 6.25, F::Thumbs, {Char(u' ')}, false},
      Named(4, "RALT", u"AltGr", 1.25, F::None),
      Named(4, "RWIN", u"", 1.25, F::None),
      Named(4, "MENU", u"", 1.25, F::None),
      Named(4, "RCTL", u"Ctrl", 1.25, F::None),
  }};
  for (std::size_t i = 1; i < keys.size(); ++i) {
    if (keys[i].row == keys[i - 1].row) keys[i].left = keys[i - 1].left + keys[i - 1].width;
  }
  for (KeyCap& key : keys) key.homeBump = key.xkbName == "AC04" || key.xkbName == "AC07";
  return keys;
}();

struct Composition {
  char16_t accent;
  char16_t base;
  char16_t letter;
};

// What the dead keys make in a Brazilian session of X: the vowels under each accent, ñ,
// and "´" over "c" as "ç", which Brazilian typists know from keyboards without a ç key.
constexpr Composition Compositions[] = {
    {u'´', u'a', u'á'}, {u'´', u'e', u'é'}, {u'´', u'i', u'í'}, {u'´', u'o', u'ó'}, {u'´', u'u', u'ú'},
    {u'´', u'y', u'ý'}, {u'´', u'A', u'Á'}, {u'´', u'E', u'É'}, {u'´', u'I', u'Í'}, {u'´', u'O', u'Ó'},
    {u'´', u'U', u'Ú'}, {u'´', u'Y', u'Ý'}, {u'´', u'c', u'ç'}, {u'´', u'C', u'Ç'}, {u'`', u'a', u'à'},
    {u'`', u'e', u'è'}, {u'`', u'i', u'ì'}, {u'`', u'o', u'ò'}, {u'`', u'u', u'ù'}, {u'`', u'A', u'À'},
    {u'`', u'E', u'È'}, {u'`', u'I', u'Ì'}, {u'`', u'O', u'Ò'}, {u'`', u'U', u'Ù'}, {u'^', u'a', u'â'},
    {u'^', u'e', u'ê'}, {u'^', u'i', u'î'}, {u'^', u'o', u'ô'}, {u'^', u'u', u'û'}, {u'^', u'A', u'Â'},
    {u'^', u'E', u'Ê'}, {u'^', u'I', u'Î'}, {u'^', u'O', u'Ô'}, {u'^', u'U', u'Û'}, {u'~', u'a', u'ã'},
    {u'~', u'o', u'õ'}, {u'~', u'n', u'ñ'}, {u'~', u'A', u'Ã'}, {u'~', u'O', u'Õ'}, {u'~', u'N', u'Ñ'},
    {u'¨', u'a', u'ä'}, {u'¨', u'e', u'ë'}, {u'¨', u'i', u'ï'}, {u'¨', u'o', u'ö'}, {u'¨', u'u', u'ü'},
    {u'¨', u'y', u'ÿ'}, {u'¨', u'A', u'Ä'}, {u'¨', u'E', u'Ë'}, {u'¨', u'I', u'Ï'}, {u'¨', u'O', u'Ö'},
    {u'¨', u'U', u'Ü'},
};

// Every character the keyboard types lies below U+0100, so the answer for each is looked up,
// never searched: the judge's statistics ask for every key.
constexpr std::size_t TableSize = 0x100;

struct KeyingTable {
  std::array<Keying, TableSize> keying{};
};

// A direct stroke of the key at one level, or nothing: the first key to make a character at
// the plainest level wins, and compositions only fill what no key makes by itself.
constexpr KeyingTable BuildKeyingTable() {
  KeyingTable table;
  for (int level = 0; level < KeyLevelCount; ++level) {
    for (const KeyCap& key : Keys) {
      const KeySymbol& symbol = key.levels[static_cast<std::size_t>(level)];
      if (symbol.kind != SymbolKind::Character || symbol.character >= TableSize) continue;
      Keying& k = table.keying[symbol.character];
      if (k.count != 0) continue;
      k.strokes[0] = {&key, static_cast<KeyLevel>(level)};
      k.count = 1;
    }
  }
  for (const Composition& c : Compositions) {
    if (c.letter >= TableSize || table.keying[c.letter].count != 0) continue;
    const KeyCap* deadKey = nullptr;
    KeyLevel deadLevel = KeyLevel::Plain;
    for (const KeyCap& key : Keys) {
      for (int level = 0; level < KeyLevelCount; ++level) {
        const KeySymbol& symbol = key.levels[static_cast<std::size_t>(level)];
        if (!deadKey && symbol.kind == SymbolKind::DeadKey && symbol.character == c.accent) {
          deadKey = &key;
          deadLevel = static_cast<KeyLevel>(level);
        }
      }
    }
    const Keying& base = table.keying[c.base];
    if (!deadKey || base.count != 1) continue;
    Keying& k = table.keying[c.letter];
    k.strokes = {KeyStroke{deadKey, deadLevel}, base.strokes[0]};
    k.count = 2;
  }
  return table;
}

const KeyingTable& Table() {
  static const KeyingTable table = BuildKeyingTable();
  return table;
}

}  // namespace

std::u16string_view FingerName(Finger finger) {
  switch (finger) {
    case Finger::LeftLittle: return u"mínimo esquerdo";
    case Finger::LeftRing: return u"anelar esquerdo";
    case Finger::LeftMiddle: return u"médio esquerdo";
    case Finger::LeftIndex: return u"indicador esquerdo";
    case Finger::RightIndex: return u"indicador direito";
    case Finger::RightMiddle: return u"médio direito";
    case Finger::RightRing: return u"anelar direito";
    case Finger::RightLittle: return u"mínimo direito";
    case Finger::Thumbs: return u"polegares";
    case Finger::None: break;
  }
  return u"";
}

std::span<const KeyCap> Abnt2Keys() { return Keys; }

const KeyCap* FindKey(std::string_view xkbName) {
  const auto it = std::find_if(Keys.begin(), Keys.end(), [&](const KeyCap& k) { return k.xkbName == xkbName; });
  return it == Keys.end() ? nullptr : &*it;
}

std::optional<Keying> KeyingOf(char16_t character) {
  if (character >= TableSize) return std::nullopt;
  const Keying& k = Table().keying[character];
  if (k.count == 0) return std::nullopt;
  return k;
}

char16_t Compose(char16_t accent, char16_t base) {
  for (const Composition& c : Compositions)
    if (c.accent == accent && c.base == base) return c.letter;
  return 0;
}

Finger FingerOf(char16_t character) {
  const auto keying = KeyingOf(character);
  return keying ? keying->Last().key->finger : Finger::None;
}

const KeyCap& ShiftKeyFor(const KeyCap& key) {
  const bool rightHand = key.finger == Finger::RightIndex || key.finger == Finger::RightMiddle ||
                         key.finger == Finger::RightRing || key.finger == Finger::RightLittle;
  return *FindKey(rightHand ? "LFSH" : "RTSH");
}

}  // namespace tecladim
