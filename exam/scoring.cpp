#include "exam/scoring.h"

#include <algorithm>

namespace tecladim::exam {
namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\n' || c == U'\t'; }

// Lower case of the letters an ABNT2 keyboard types: ASCII and Latin-1.
char32_t Lower(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

ErrorKind KindOf(const AlignedStep& s, std::u32string_view model, std::u32string_view typed) {
  switch (s.step) {
    case Step::Insert: return IsBlank(typed[s.typed]) ? ErrorKind::Space : ErrorKind::Extra;
    case Step::Delete:
    case Step::Unreached: return IsBlank(model[s.model]) ? ErrorKind::Space : ErrorKind::Missing;
    case Step::Transpose: return ErrorKind::Swapped;
    default: break;
  }
  const char32_t want = model[s.model], got = typed[s.typed];
  if (IsBlank(want) || IsBlank(got)) return ErrorKind::Space;
  if (Lower(want) == Lower(got)) return ErrorKind::LetterCase;
  return ErrorKind::Different;
}

std::int64_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator) {
  // Half away from zero, on integers.
  const std::int64_t q = (2 * (numerator < 0 ? -numerator : numerator) + denominator) / (2 * denominator);
  return numerator < 0 ? -q : q;
}

}  // namespace

std::string_view ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::Extra: return "a mais";
    case ErrorKind::Missing: return "a menos";
    case ErrorKind::Different: return "diferente";
    case ErrorKind::Swapped: return "inversão";
    case ErrorKind::LetterCase: return "maiúscula/minúscula";
    case ErrorKind::Space: return "espaço";
  }
  return "";
}

std::u32string ScoredText(std::u32string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = !text.empty() && text[0] == 0xFEFF ? 1 : 0;
  for (; i < text.size(); ++i) {
    if (text[i] == U'\r') {
      out.push_back(U'\n');
      if (i + 1 < text.size() && text[i + 1] == U'\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  while (!out.empty() && IsBlank(out.back())) out.pop_back();
  return out;
}

ExamResult Score(const Profile& profile, std::u32string_view modelText, std::u32string_view typedText) {
  ExamResult r;
  r.model = ScoredText(modelText);
  r.typed = ScoredText(typedText);
  r.steps = Align(r.model, r.typed, profile.unreached);
  r.toquesBrutos = static_cast<std::int64_t>(r.typed.size());

  // Line and column of every model index, walked once with the steps.
  std::uint32_t line = 1, column = 1, at = 0;
  auto placeOf = [&](std::uint32_t index) {
    for (; at < index; ++at) {
      if (r.model[at] == U'\n') ++line, column = 1;
      else ++column;
    }
  };
  for (const AlignedStep& s : r.steps) {
    if (s.step == Step::Match) continue;
    if (s.step == Step::Unreached) {
      ++r.unreached;
      continue;
    }
    placeOf(s.model);
    MarkedError e{KindOf(s, r.model, r.typed), s.model, s.typed, line, column, {}, {}};
    const std::size_t width = s.step == Step::Transpose ? 2 : 1;
    if (s.step != Step::Insert) e.expected = r.model.substr(s.model, width);
    if (s.step != Step::Delete) e.got = r.typed.substr(s.typed, width);
    ++r.byKind[static_cast<std::size_t>(e.kind)];
    r.errors.push_back(std::move(e));
  }
  r.erros = static_cast<std::int64_t>(r.errors.size());
  r.toquesLiquidos = std::max<std::int64_t>(0, r.toquesBrutos - r.erros * profile.errorWeight);
  switch (profile.scale) {
    case Scale::NetStrokes: r.grade = r.toquesLiquidos; break;
    case Scale::NetStrokesPerMinute:
      r.grade = RoundedQuotient(r.toquesLiquidos * 10, std::max<std::int64_t>(1, profile.minutes));
      break;
    case Scale::PointsLessPerError:
      r.grade = std::max<std::int64_t>(0, profile.maxPoints - r.erros * profile.pointsPerError);
      break;
  }
  r.apto = r.grade >= profile.passMark;
  return r;
}

}  // namespace tecladim::exam
