#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "history/datetime.h"
#include "history/packet.h"

// The fields of a history record, named as the file names them, in the order of its field
// descriptions. A new field is a row of HistoryFields and a member of HistoryRecord, then
// the places that show it.
namespace tecladim::history {

struct FieldDescription {
  std::string_view name;
  std::string_view typeWord;  // as the save writes it
  ValueKind kind;
};

inline constexpr std::array<FieldDescription, 6> HistoryFields{{
    {"licao", "i4", ValueKind::Integer},
    {"data", "dateTime", ValueKind::DateTime},
    {"erros", "i4", ValueKind::Integer},
    {"inicio", "dateTime", ValueKind::DateTime},
    {"fim", "dateTime", ValueKind::DateTime},
    {"tempo", "dateTime", ValueKind::DateTime},
}};
inline constexpr std::size_t RecordFieldCount = HistoryFields.size();

// A field by its place in HistoryFields: what the grid and the summary box address.
enum class HistoryField : std::size_t { Licao, Data, Erros, Inicio, Fim, Tempo };

constexpr std::string_view FieldName(HistoryField field) {
  return HistoryFields[static_cast<std::size_t>(field)].name;
}

inline constexpr std::size_t NoField = static_cast<std::size_t>(-1);

// The records of one kind of file the store keeps: their fields, in the order of the
// file's field descriptions, and the words the notes of a save or a recovery use for them.
// The history is one; the exam results are another. The table lives as long as the program.
struct RecordLayout {
  std::span<const FieldDescription> fields;
  std::size_t orderField;     // the date-time field the records are shown in the order of
  std::size_t durationField;  // shown as its time alone under a day ("00:05:17"); NoField for none
  std::string_view program;   // "tecladim": first word of every note
  std::string_view records;   // "exercícios": what the file holds (a masculine plural)
  std::string_view file;      // "histórico": the file itself (a masculine noun)
};

inline constexpr RecordLayout HistoryLayout{HistoryFields,
                                            static_cast<std::size_t>(HistoryField::Data),
                                            static_cast<std::size_t>(HistoryField::Tempo),
                                            "tecladim",
                                            "exercícios",
                                            "histórico"};

// One record of the history, each field possibly blank; date-time values to the millisecond.
struct HistoryRecord {
  std::optional<std::int32_t> licao;
  std::optional<DateTime> data;
  std::optional<std::int32_t> erros;
  std::optional<DateTime> inicio;
  std::optional<DateTime> fim;
  std::optional<DateTime> tempo;
};

}  // namespace tecladim::history
