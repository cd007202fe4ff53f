#include "exam/result_record.h"

#include <charconv>

#include "history/record_set.h"
#include "history/utf8.h"

namespace tecladim::exam {
namespace {

// By ErrorKind: a mais, a menos, diferente, inversão, maiúscula/minúscula, espaço.
constexpr std::string_view KindCodes = "+-dime";

std::string_view Name(ResultField field) { return ResultFields[static_cast<std::size_t>(field)].name; }

std::int32_t Clamped(std::int64_t value) {
  constexpr std::int64_t Max = 2'147'483'647;
  return static_cast<std::int32_t>(value > Max ? Max : value < -Max ? -Max : value);
}

bool ReadNumber(std::string_view& text, std::uint32_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

bool Skip(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

ResultRecord MakeResultRecord(const Profile& profile, std::string_view textId, std::u32string_view typed,
                              const ExamResult& result, DateTime start, DateTime end) {
  ResultRecord r;
  r.perfil = std::string(profile.name);
  r.versao = profile.version;
  r.minutos = profile.minutes;
  r.minimo = profile.passMark;
  r.texto = std::string(textId);
  // Held to the millisecond, as the file holds them.
  const std::int64_t startMs = ToStamp(start).ms;
  const std::int64_t endMs = ToStamp(end).ms;
  r.inicio = FromStamp({startMs});
  r.fim = FromStamp({endMs});
  r.tempo = FromStamp({endMs - startMs});
  r.tb = result.toquesBrutos;
  r.erros = result.erros;
  r.tl = result.toquesLiquidos;
  r.nota = result.grade;
  r.casas = GradeDecimals(profile.scale);
  r.apto = result.apto;
  r.marcas = ErrorsText(result.errors);
  r.digitado = Utf8FromUtf32(typed);
  return r;
}

std::string ErrorsText(const std::vector<MarkedError>& errors) {
  std::string text;
  for (const MarkedError& e : errors) {
    if (!text.empty()) text += ';';
    text += KindCodes[static_cast<std::size_t>(e.kind)];
    for (const std::uint32_t n : {e.line, e.column, e.model, e.typed}) {
      text += ':';
      text += std::to_string(n);
    }
  }
  return text;
}

std::optional<std::vector<ErrorMark>> ParseErrorsText(std::string_view text) {
  std::vector<ErrorMark> marks;
  while (!text.empty()) {
    if (!marks.empty() && !Skip(text, ';')) return std::nullopt;
    const std::size_t kind = text.empty() ? std::string_view::npos : KindCodes.find(text.front());
    if (kind == std::string_view::npos) return std::nullopt;
    text.remove_prefix(1);
    ErrorMark mark{static_cast<ErrorKind>(kind), 0, 0, 0, 0};
    for (std::uint32_t* n : {&mark.line, &mark.column, &mark.model, &mark.typed})
      if (!Skip(text, ':') || !ReadNumber(text, *n)) return std::nullopt;
    marks.push_back(mark);
  }
  return marks;
}

void AppendResult(history::RecordSet& set, const ResultRecord& r) {
  set.Append();
  set.SetText(Name(ResultField::Perfil), r.perfil);
  set.SetInteger(Name(ResultField::Versao), r.versao);
  set.SetInteger(Name(ResultField::Minutos), r.minutos);
  set.SetInteger(Name(ResultField::Minimo), Clamped(r.minimo));
  set.SetText(Name(ResultField::Texto), r.texto);
  set.SetDateTime(Name(ResultField::Inicio), r.inicio);
  set.SetDateTime(Name(ResultField::Fim), r.fim);
  set.SetDateTime(Name(ResultField::Tempo), r.tempo);
  set.SetInteger(Name(ResultField::Tb), Clamped(r.tb));
  set.SetInteger(Name(ResultField::Erros), Clamped(r.erros));
  set.SetInteger(Name(ResultField::Tl), Clamped(r.tl));
  set.SetInteger(Name(ResultField::Nota), Clamped(r.nota));
  set.SetInteger(Name(ResultField::Casas), r.casas);
  set.SetInteger(Name(ResultField::Apto), r.apto ? 1 : 0);
  set.SetText(Name(ResultField::Marcas), r.marcas);
  set.SetText(Name(ResultField::Digitado), r.digitado);
  set.Post();
}

ResultRecord ResultAt(const history::RecordSet& set, int orderIndex) {
  const auto integer = [&](ResultField f) { return set.IntegerAt(orderIndex, Name(f)).value_or(0); };
  const auto moment = [&](ResultField f) { return set.DateTimeAt(orderIndex, Name(f)).value_or(0); };
  const auto text = [&](ResultField f) { return set.TextAt(orderIndex, Name(f)).value_or(std::string()); };
  ResultRecord r;
  r.perfil = text(ResultField::Perfil);
  r.versao = integer(ResultField::Versao);
  r.minutos = integer(ResultField::Minutos);
  r.minimo = integer(ResultField::Minimo);
  r.texto = text(ResultField::Texto);
  r.inicio = moment(ResultField::Inicio);
  r.fim = moment(ResultField::Fim);
  r.tempo = moment(ResultField::Tempo);
  r.tb = integer(ResultField::Tb);
  r.erros = integer(ResultField::Erros);
  r.tl = integer(ResultField::Tl);
  r.nota = integer(ResultField::Nota);
  r.casas = integer(ResultField::Casas);
  r.apto = integer(ResultField::Apto) != 0;
  r.marcas = text(ResultField::Marcas);
  r.digitado = text(ResultField::Digitado);
  return r;
}

}  // namespace tecladim::exam
