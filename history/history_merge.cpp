#include "history/history_merge.h"

#include <algorithm>

namespace tecladim::history {
namespace {

constexpr std::uint8_t StatusInserted = 4;

void Grow(Column& c, std::size_t rows) {
  c.present.resize(rows);
  if (c.kind == ValueKind::Text) c.texts.resize(rows);
  else c.numbers.resize(rows);
}

}  // namespace

Packet MergeNewRecords(Packet onDisk, const FieldColumns& diskFields, const Packet& mine,
                       const FieldColumns& mineFields, std::size_t firstNewRow) {
  const std::size_t diskRows = onDisk.RowCount();
  const std::size_t added = mine.RowCount() - std::min(firstNewRow, mine.RowCount());
  for (Column& c : onDisk.columns) Grow(c, diskRows + added);  // blank until filled below
  for (std::size_t f = 0; f < RecordFieldCount; ++f) {
    const Column& from = mine.columns[mineFields[f]];
    Column& to = onDisk.columns[diskFields[f]];
    for (std::size_t i = 0; i < added; ++i) {
      to.present[diskRows + i] = from.present[firstNewRow + i];
      to.numbers[diskRows + i] = from.numbers[firstNewRow + i];
    }
  }
  for (std::size_t i = 0; i < added; ++i) {
    const auto number = static_cast<std::uint32_t>(diskRows + i + 1);
    onDisk.rowStates.push_back(StatusInserted);
    onDisk.changeLog.push_back({number, 0, StatusInserted});
  }
  return onDisk;
}

}  // namespace tecladim::history
