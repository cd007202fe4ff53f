#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exam/profiles.h"
#include "exam/scoring.h"
#include "history/datetime.h"
#include "history/history_fields.h"

namespace tecladim::history {
class RecordSet;
}

// One simulado as "Simulados.xml" keeps it: the file of results beside the history, in the
// history's format and with its save, lock, merge and recovery, never the history itself.
namespace tecladim::exam {

inline constexpr std::string_view ResultsFileName = "Simulados.xml";

// The fields of a result, in the order of the file's field descriptions.
inline constexpr std::array<history::FieldDescription, 16> ResultFields{{
    {"perfil", "string.uni", history::ValueKind::Text},    // "TJ-MG"
    {"versao", "i4", history::ValueKind::Integer},         // the profile's version
    {"minutos", "i4", history::ValueKind::Integer},        // the test's time
    {"minimo", "i4", history::ValueKind::Integer},         // the pass mark, in the grade's units
    {"texto", "string.uni", history::ValueKind::Text},     // the exam text's id
    {"inicio", "dateTime", history::ValueKind::DateTime},  // the test's start
    {"fim", "dateTime", history::ValueKind::DateTime},     // the hand-in or the time's end
    {"tempo", "dateTime", history::ValueKind::DateTime},   // fim - inicio, a duration
    {"tb", "i4", history::ValueKind::Integer},             // toques brutos
    {"erros", "i4", history::ValueKind::Integer},
    {"tl", "i4", history::ValueKind::Integer},             // toques líquidos
    {"nota", "i4", history::ValueKind::Integer},           // the grade, in units of 10^-casas
    {"casas", "i4", history::ValueKind::Integer},          // the grade's decimals
    {"apto", "i4", history::ValueKind::Integer},           // 1 APTO, 0 NÃO APTO
    {"marcas", "string.uni", history::ValueKind::Text},    // the errors (ErrorsText)
    {"digitado", "string.uni", history::ValueKind::Text},  // the typed text as it was handed in
}};

enum class ResultField : std::size_t {
  Perfil,
  Versao,
  Minutos,
  Minimo,
  Texto,
  Inicio,
  Fim,
  Tempo,
  Tb,
  Erros,
  Tl,
  Nota,
  Casas,
  Apto,
  Marcas,
  Digitado
};

inline constexpr history::RecordLayout ResultLayout{ResultFields,
                                                    static_cast<std::size_t>(ResultField::Inicio),
                                                    static_cast<std::size_t>(ResultField::Tempo),
                                                    "tecladim-prova",
                                                    "resultados",
                                                    "arquivo de resultados"};

struct ResultRecord {
  std::string perfil;
  std::int32_t versao = 0;
  std::int32_t minutos = 0;
  std::int64_t minimo = 0;
  std::string texto;
  DateTime inicio = 0;
  DateTime fim = 0;
  DateTime tempo = 0;
  std::int64_t tb = 0;
  std::int64_t erros = 0;
  std::int64_t tl = 0;
  std::int64_t nota = 0;
  std::int32_t casas = 0;
  bool apto = false;
  std::string marcas;
  std::string digitado;  // UTF-8
  friend bool operator==(const ResultRecord&, const ResultRecord&) = default;
};

// The record of a test scored by `profile` on the text `textId`, typed from `start` to `end`.
ResultRecord MakeResultRecord(const Profile& profile, std::string_view textId, std::u32string_view typed,
                              const ExamResult& result, DateTime start, DateTime end);

// The errors in one field: "kind:line:column:model:typed" each, joined by ";", the kind
// one character ("+" a mais, "-" a menos, "d" diferente, "i" inversão, "m"
// maiúscula/minúscula, "e" espaço), the places as in MarkedError (lines and columns of the
// model from 1, indices of both texts from 0, in characters).
struct ErrorMark {
  ErrorKind kind;
  std::uint32_t line;
  std::uint32_t column;
  std::uint32_t model;
  std::uint32_t typed;
  friend bool operator==(const ErrorMark&, const ErrorMark&) = default;
};
std::string ErrorsText(const std::vector<MarkedError>& errors);
// nullopt for a text that is not a list of marks.
std::optional<std::vector<ErrorMark>> ParseErrorsText(std::string_view text);

// A store of ResultLayout: appends and posts a result; reads the one at a row (values
// missing in the file read as 0 and "").
void AppendResult(history::RecordSet& set, const ResultRecord& record);
ResultRecord ResultAt(const history::RecordSet& set, int orderIndex);

}  // namespace tecladim::exam
