#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The exam texts a student can take a simulado on: passages of 1,000 to 2,000 characters
// in the register of exam texts (public administration, citizenship, law for lay readers,
// science news, environment, health), UTF-8, paragraphs separated by a line break. The
// order is that of the choice on screen; new texts go at the end, and an id never changes
// once shipped, since every saved result names its text by it.
namespace tecladim::exam {

struct ExamText {
  std::string_view id;     // kept with each result: "acesso-informacao"
  std::string_view title;  // "O direito de saber"
  std::string_view text;
};

std::span<const ExamText> ExamTexts();

// The text of that id; nullptr for none.
const ExamText* FindExamText(std::string_view id);

// The text's length as the boards state it: characters, a line break one.
std::int32_t CharacterCount(const ExamText& text);

// How far from a board's usual length (a profile's `textLength`) a text may be and still
// be offered for that profile.
inline constexpr std::int32_t NearLengthMargin = 150;

// Whether the text is about that usual length; any text is, for a length of 0 (not said).
bool SuitsLength(const ExamText& text, std::int32_t usualLength);

// The text to offer when a profile of that usual length is picked: the current choice
// when it suits, else the first text that does; the current one when none does.
std::size_t TextChoiceFor(std::int32_t usualLength, std::size_t current);

}  // namespace tecladim::exam
