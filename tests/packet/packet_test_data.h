#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/datetime.h"
#include "history/packet.h"
#include "tests/support/history_text.h"

// The history record set as the store builds it, and the file pieces it is written as.
namespace tecladim::history::testdata {

inline constexpr const char* Head = testing_support::TrainerHistoryHead;

inline constexpr const char* RecordOne =
    "<ROW RowState=\"4\" licao=\"1\" data=\"20240305T14:03:27123\" erros=\"3\" "
    "inicio=\"20240305T13:58:10000\" fim=\"20240305T14:03:27000\" tempo=\"18991230T00:05:17000\"/>";

inline std::int64_t Ms(CivilDate date, int h, int m, int s, int ms) {
  return MakeStamp(DaysFromCivil(date), ((h * 60 + m) * 60 + s) * 1000 + ms).ms;
}

// The history's six columns with no rows; `filledRows` rows are made ready for values
// pushed one by one, all present (the generators of large histories use it).
inline Packet HistoryColumns(std::size_t filledRows = 0) {
  Packet p;
  for (const auto& [name, type] : {std::pair{"licao", "i4"}, {"data", "dateTime"}, {"erros", "i4"},
                                   {"inicio", "dateTime"}, {"fim", "dateTime"}, {"tempo", "dateTime"}}) {
    Column c;
    c.def.name = name;
    c.def.type = type;
    c.kind = std::string_view(type) == "i4" ? ValueKind::Integer : ValueKind::DateTime;
    c.numbers.reserve(filledRows);
    c.present.assign(filledRows, 1);
    p.columns.push_back(std::move(c));
  }
  return p;
}

inline Packet HistoryPacket() { return HistoryColumns(); }

// Appends a record the way a post does: status 4 and a change-log entry. A missing value
// is passed as std::nullopt.
using Value = std::optional<std::int64_t>;
inline void Append(Packet& p, const std::vector<Value>& values, std::uint8_t state = 4) {
  for (std::size_t i = 0; i < 6; ++i) {
    p.columns[i].numbers.push_back(values[i].value_or(0));
    p.columns[i].present.push_back(values[i] ? 1 : 0);
  }
  p.rowStates.push_back(state);
  if (state == 4) {
    const auto n = static_cast<std::uint32_t>(p.rowStates.size());
    p.changeLog.push_back({n, 0, 4});
  }
}

inline std::vector<Value> RecordOneValues() {
  const CivilDate day{2024, 3, 5};
  return {1, Ms(day, 14, 3, 27, 123), 3, Ms(day, 13, 58, 10, 0), Ms(day, 14, 3, 27, 0),
          Ms({1899, 12, 30}, 0, 5, 17, 0)};
}

}  // namespace tecladim::history::testdata
