#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exam/alignment.h"
#include "exam/profiles.h"

// A typed exam text scored by a profile: toques brutos, the errors by kind and place,
// toques líquidos, the grade and whether it passes. Pure arithmetic; the windows and the
// command line only show it.
namespace tecladim::exam {

enum class ErrorKind : std::uint8_t { Extra, Missing, Different, Swapped, LetterCase, Space };
inline constexpr std::size_t ErrorKindCount = 6;

// "a mais", "a menos", "diferente", "inversão", "maiúscula/minúscula", "espaço".
std::string_view ErrorKindName(ErrorKind kind);

struct MarkedError {
  ErrorKind kind;
  std::uint32_t model;      // index in the model (for a character a mais: the one it stands before)
  std::uint32_t typed;      // index in the typed text (for one a menos: the one after)
  std::uint32_t line;       // of the model, from 1
  std::uint32_t column;     // of the model, from 1
  std::u32string expected;  // the model's characters ("" a mais)
  std::u32string got;       // the typed ones ("" a menos)
};

struct ExamResult {
  std::int64_t toquesBrutos = 0;
  std::int64_t erros = 0;
  std::array<std::int64_t, ErrorKindCount> byKind{};
  std::int64_t toquesLiquidos = 0;  // never below 0
  std::int64_t grade = 0;           // in units of 10^-GradeDecimals(scale)
  bool apto = false;
  std::int64_t unreached = 0;  // model characters after the typing, not counted
  std::u32string model;        // both texts as scored (see ScoredText)
  std::u32string typed;
  std::vector<AlignedStep> steps;
  std::vector<MarkedError> errors;
};

// A text as it is scored: line breaks as LF (CR LF and a lone CR too), a leading byte
// order mark dropped, the blanks and line breaks at the end left out.
std::u32string ScoredText(std::u32string_view text);

// Toques brutos count every character typed, spaces and line breaks included.
ExamResult Score(const Profile& profile, std::u32string_view model, std::u32string_view typed);

}  // namespace tecladim::exam
