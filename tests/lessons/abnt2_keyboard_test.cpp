#include "lessons/abnt2_keyboard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>

#include "history/utf8.h"
#include "lessons/catalogue.h"

namespace tecladim {
namespace {

std::string Utf8(char16_t c) { return Utf8FromUtf16({&c, 1}); }

// One stroke written as "AC11" or "Shift+AC11" / "AltGr+AD01", strokes joined by " ".
std::string Strokes(char16_t c) {
  const auto keying = KeyingOf(c);
  if (!keying) return "untypable";
  std::string text;
  for (const KeyStroke& s : keying->Strokes()) {
    if (!text.empty()) text += ' ';
    if (s.level == KeyLevel::Shift) text += "Shift+";
    if (s.level == KeyLevel::AltGr) text += "AltGr+";
    text += s.key->xkbName;
  }
  return text;
}

struct KeyingCase {
  const char* name;
  char16_t character;
  const char* strokes;
};

const KeyingCase KeyingCases[] = {
    {"a home-row letter", u'f', "AC04"},
    {"a capital takes Shift", u'Q', "Shift+AD01"},
    {"c-cedilla has its own key right of L", u'ç', "AC10"},
    {"capital c-cedilla", u'Ç', "Shift+AC10"},
    {"a with tilde: the tilde key, then a", u'ã', "AC11 AC01"},
    {"o with tilde", u'õ', "AC11 AD09"},
    {"e with circumflex: Shift on the tilde key, then e", u'ê', "Shift+AC11 AD03"},
    {"a with acute: the key right of P, then a", u'á', "AD11 AC01"},
    {"crase: Shift on the acute key, then a", u'à', "Shift+AD11 AC01"},
    {"capital A with acute: the accent, then Shift+a", u'Á', "AD11 Shift+AC01"},
    {"u with diaeresis: Shift+6, then u", u'ü', "Shift+AE06 AD07"},
    {"slash is the key beside right Shift, not AltGr+Q", u'/', "AB11"},
    {"question mark is Shift on that key, not AltGr+W", u'?', "Shift+AB11"},
    {"semicolon right of the full stop", u';', "AB10"},
    {"colon", u':', "Shift+AB10"},
    {"backslash left of Z", u'\\', "LSGT"},
    {"double quotation mark left of 1", u'"', "Shift+TLDE"},
    {"feminine ordinal is AltGr on [", u'ª', "AltGr+AD12"},
    {"masculine ordinal is AltGr on ]", u'º', "AltGr+BKSL"},
    {"degree sign, first on E", u'°', "AltGr+AD03"},
    {"section sign", u'§', "AltGr+AE12"},
    {"space bar", u' ', "SPCE"},
    {"Backspace makes no character to type", u'\b', "untypable"},
    {"a line break is the line advance's, not a key to type", u'\r', "untypable"},
    {"a letter with no key nor accent", u'ł', "untypable"},
    {"a dead key's accent alone is not typed by this table", u'~', "untypable"},
};

TEST(Abnt2Keying, CharacterTakesTheseStrokes) {
  for (const KeyingCase& c : KeyingCases) EXPECT_EQ(Strokes(c.character), c.strokes) << c.name;
}

// Whatever the lessons ask for, the keyboard can type, and a dead key's stroke composes the
// very letter with the letter's stroke.
TEST(Abnt2Keying, EveryLessonCharacterIsTypedAndComposesBack) {
  for (int n = 1; n <= LessonCount; ++n) {
    std::u16string_view text = *LessonText(n);
    if (const auto open = text.rfind(u'('); n >= FirstPassageLesson && open != std::u16string_view::npos)
      text = text.substr(0, open);
    for (const char16_t c : text) {
      const auto keying = KeyingOf(c);
      ASSERT_TRUE(keying) << "lesson " << n << ": " << Utf8(c);
      const KeySymbol& last = keying->Last().key->At(keying->Last().level);
      ASSERT_EQ(last.kind, SymbolKind::Character) << Utf8(c);
      if (keying->count == 1) {
        EXPECT_EQ(last.character, c) << Utf8(c);
      } else {
        const KeySymbol& dead = keying->strokes[0].key->At(keying->strokes[0].level);
        EXPECT_EQ(dead.kind, SymbolKind::DeadKey) << Utf8(c);
        EXPECT_EQ(Compose(dead.character, last.character), c) << Utf8(c);
      }
    }
  }
}

struct FingerCase {
  const char* name;
  char16_t character;
  Finger finger;
};

const FingerCase FingerCases[] = {
    {"a under the left little finger", u'a', Finger::LeftLittle},
    {"s under the left ring finger", u's', Finger::LeftRing},
    {"d under the left middle finger", u'd', Finger::LeftMiddle},
    {"f and g for the left index", u'g', Finger::LeftIndex},
    {"h and j for the right index", u'h', Finger::RightIndex},
    {"k under the right middle finger", u'k', Finger::RightMiddle},
    {"l under the right ring finger", u'l', Finger::RightRing},
    {"c-cedilla under the right little finger", u'ç', Finger::RightLittle},
    {"5 reached by the left index", u'5', Finger::LeftIndex},
    {"6 reached by the right index", u'6', Finger::RightIndex},
    {"comma by the right middle finger", u',', Finger::RightMiddle},
    {"full stop by the right ring finger", u'.', Finger::RightRing},
    {"the slash key beside right Shift", u'/', Finger::RightLittle},
    {"a with tilde is typed by the a's finger", u'ã', Finger::LeftLittle},
    {"e with circumflex by the e's finger", u'ê', Finger::LeftMiddle},
    {"space bar by the thumbs", u' ', Finger::Thumbs},
    {"nothing for an untypable character", u'\b', Finger::None},
};

TEST(Abnt2Fingers, CharacterIsTypedByThisFinger) {
  for (const FingerCase& c : FingerCases) EXPECT_EQ(FingerOf(c.character), c.finger) << c.name;
}

TEST(Abnt2Fingers, ShiftIsHeldByTheOtherHand) {
  EXPECT_EQ(ShiftKeyFor(*KeyingOf(u'A')->Last().key).xkbName, "RTSH");
  EXPECT_EQ(ShiftKeyFor(*KeyingOf(u'P')->Last().key).xkbName, "LFSH");
  EXPECT_EQ(ShiftKeyFor(*KeyingOf(u'?')->Last().key).xkbName, "LFSH");
}

TEST(Abnt2Places, RowsFillTheKeyboardWithoutGapsOrOverlaps) {
  double end[KeyboardRows] = {};
  int names = 0;
  for (const KeyCap& key : Abnt2Keys()) {
    ASSERT_LT(key.row, KeyboardRows);
    EXPECT_DOUBLE_EQ(key.left, end[key.row]) << key.xkbName;
    end[key.row] = key.left + key.width;
    EXPECT_EQ(FindKey(key.xkbName), &key) << "one key per name: " << key.xkbName;
    ++names;
  }
  end[2] += KeyboardWidth - EnterLowerLeft;  // Enter's lower part closes the home row
  for (int row = 0; row < KeyboardRows; ++row) EXPECT_DOUBLE_EQ(end[row], KeyboardWidth) << "row " << row;
  EXPECT_EQ(names, 63);
  EXPECT_DOUBLE_EQ(FindKey("AC10")->left, FindKey("AC09")->left + 1) << "ç right of L";
  EXPECT_DOUBLE_EQ(FindKey("AB11")->left + 1, FindKey("RTSH")->left) << "/? beside right Shift";
  EXPECT_TRUE(FindKey("AC04")->homeBump);
  EXPECT_TRUE(FindKey("AC07")->homeBump);
  EXPECT_EQ(FindKey("XXXX"), nullptr);
}

TEST(Abnt2Fingers, EveryFingerHasItsPortugueseName) {
  EXPECT_EQ(FingerName(Finger::LeftLittle), u"mínimo esquerdo");
  EXPECT_EQ(FingerName(Finger::RightIndex), u"indicador direito");
  EXPECT_EQ(FingerName(Finger::Thumbs), u"polegares");
  EXPECT_EQ(FingerName(Finger::None), u"");
}

}  // namespace
}  // namespace tecladim
