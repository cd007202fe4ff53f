#pragma once
#include <span>
#include <string_view>

// The exam texts a student can take a simulado on: passages of 1,000 to 2,000 characters
// in the register of exam texts (public administration, citizenship, law for lay readers,
// science news), UTF-8, paragraphs separated by a line break.
namespace tecladim::exam {

struct ExamText {
  std::string_view id;     // kept with each result: "acesso-informacao"
  std::string_view title;  // "O direito de saber"
  std::string_view text;
};

std::span<const ExamText> ExamTexts();

// The text of that id; nullptr for none.
const ExamText* FindExamText(std::string_view id);

}  // namespace tecladim::exam
