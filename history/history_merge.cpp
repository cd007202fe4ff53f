#include "history/history_merge.h"

#include <algorithm>
#include <map>
#include <string>

namespace tecladim::history {
namespace {

constexpr std::uint8_t StatusInserted = 4;

void Grow(Column& c, std::size_t rows) {
  c.present.resize(rows);
  if (c.kind == ValueKind::Text) c.texts.resize(rows);
  else c.numbers.resize(rows);
}

// A record by its six fields' values: 0 or 1 for blank or not, then the value.
using RecordKey = std::array<std::int64_t, 2 * RecordFieldCount>;

RecordKey KeyOf(const Packet& p, const FieldColumns& fields, std::size_t row) {
  RecordKey key{};
  for (std::size_t f = 0; f < RecordFieldCount; ++f) {
    const Column& c = p.columns[fields[f]];
    const bool present = row < c.present.size() && c.present[row] != 0;
    key[2 * f] = present ? 1 : 0;
    key[2 * f + 1] = present ? c.numbers[row] : 0;
  }
  return key;
}

}  // namespace

std::vector<std::size_t> MissingRecords(const Packet& onDisk, const FieldColumns& diskFields, const Packet& records,
                                        const FieldColumns& recordFields, std::size_t firstNewRow) {
  std::map<RecordKey, std::vector<std::size_t>> wanted;
  for (std::size_t row = firstNewRow; row < records.RowCount(); ++row)
    wanted[KeyOf(records, recordFields, row)].push_back(row);
  for (std::size_t row = 0; row < onDisk.RowCount() && !wanted.empty(); ++row) {
    const auto it = wanted.find(KeyOf(onDisk, diskFields, row));
    if (it == wanted.end()) continue;
    it->second.pop_back();
    if (it->second.empty()) wanted.erase(it);
  }
  std::vector<std::size_t> missing;
  for (const auto& [key, rows] : wanted) missing.insert(missing.end(), rows.begin(), rows.end());
  std::sort(missing.begin(), missing.end());
  return missing;
}

Packet RecordsAt(const Packet& from, const FieldColumns& fields, const std::vector<std::size_t>& rows) {
  Packet out;
  for (std::size_t f = 0; f < RecordFieldCount; ++f) {
    const Column& source = from.columns[fields[f]];
    Column c;
    c.def.name = source.def.name;
    c.def.type = source.def.type;
    c.kind = source.kind;
    for (const std::size_t row : rows) {
      c.present.push_back(source.present[row]);
      c.numbers.push_back(source.numbers[row]);
    }
    out.columns.push_back(std::move(c));
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out.rowStates.push_back(StatusInserted);
    out.changeLog.push_back({static_cast<std::uint32_t>(i + 1), 0, StatusInserted});
  }
  return out;
}

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
