// Prints a lesson's model text as UTF-8, the way the model box holds it: everything before
// the last "(", so a target-time suffix such as "(60)" is left out. The end-to-end test types
// what this prints. Usage: e2e_lesson_text NUMBER
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lessons/catalogue.h"

namespace {

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

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
  std::fputs(Utf8(model).c_str(), stdout);
  return 0;
}
