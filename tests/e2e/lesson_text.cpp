// Prints a lesson's model text as UTF-8, the way the model box holds it: everything before
// the last "(", so a target-time suffix such as "(60)" is left out. The end-to-end test types
// what this prints. Usage: e2e_lesson_text NUMBER
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "history/utf8.h"
#include "lessons/catalogue.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s NUMBER\n", argv[0]);
    return 2;
  }
  const auto text = tecladim::LessonText(std::atoi(argv[1]));
  if (!text) {
    std::fprintf(stderr, "no lesson %s\n", argv[1]);
    return 1;
  }
  std::u16string_view model = *text;
  if (const auto open = model.rfind(u'('); open != std::u16string_view::npos) model = model.substr(0, open);
  std::fputs(tecladim::Utf8FromUtf16(model).c_str(), stdout);
  return 0;
}
