// Prints the ABNT2 keyboard table for the check against the X layout and the end-to-end
// test's key converter (abnt2_layout_test.py): every key's symbols, then the strokes of
// every character the lessons hold. Code points in hexadecimal, levels as 1 2 3.
//   KEY AC11 1 dead 7e
//   CHAR e3 AC11:1 AC01:1
#include <cstdio>
#include <set>
#include <string_view>

#include "lessons/abnt2_keyboard.h"
#include "lessons/catalogue.h"

using namespace tecladim;

int main() {
  for (const KeyCap& key : Abnt2Keys()) {
    for (int level = 0; level < KeyLevelCount; ++level) {
      const KeySymbol& s = key.At(static_cast<KeyLevel>(level));
      if (s.kind == SymbolKind::Nothing) continue;
      std::printf("KEY %.*s %d %s %x\n", static_cast<int>(key.xkbName.size()), key.xkbName.data(), level + 1,
                  s.kind == SymbolKind::DeadKey ? "dead" : "char", static_cast<unsigned>(s.character));
    }
  }
  std::set<char16_t> characters;
  for (int n = 1; n <= LessonCount; ++n) {
    std::u16string_view text = *LessonText(n);
    if (const auto open = text.rfind(u'('); n >= FirstPassageLesson && open != std::u16string_view::npos)
      text = text.substr(0, open);
    characters.insert(text.begin(), text.end());
  }
  for (const char16_t c : characters) {
    std::printf("CHAR %x", static_cast<unsigned>(c));
    if (const auto keying = KeyingOf(c)) {
      for (const KeyStroke& s : keying->Strokes())
        std::printf(" %.*s:%d", static_cast<int>(s.key->xkbName.size()), s.key->xkbName.data(),
                    static_cast<int>(s.level) + 1);
    }
    std::printf("\n");
  }
  return 0;
}
