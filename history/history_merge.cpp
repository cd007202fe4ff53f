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

// A record by its fields' values, as bytes: for each field 0 or 1 for blank or not, then
// the number's eight bytes or the text's length and bytes. Built into one buffer, so that
// reading a large file's rows allocates nothing per row.
void KeyOf(const Packet& p, const FieldColumns& fields, std::size_t row, std::string& key) {
  key.clear();
  const auto put = [&key](std::uint64_t n) {
    for (int i = 0; i < 8; ++i) key.push_back(static_cast<char>(n >> (8 * i)));
  };
  for (const std::size_t column : fields) {
    const Column& c = p.columns[column];
    const bool present = row < c.present.size() && c.present[row] != 0;
    key.push_back(present ? '\1' : '\0');
    if (!present) continue;
    if (c.kind == ValueKind::Text) {
      put(c.texts[row].size());
      key += c.texts[row];
    } else {
      put(static_cast<std::uint64_t>(c.numbers[row]));
    }
  }
}

void CopyValue(const Column& from, std::size_t fromRow, Column& to, std::size_t toRow) {
  to.present[toRow] = from.present[fromRow];
  if (to.kind == ValueKind::Text) to.texts[toRow] = from.texts[fromRow];
  else to.numbers[toRow] = from.numbers[fromRow];
}

}  // namespace

std::vector<std::size_t> MissingRecords(const Packet& onDisk, const FieldColumns& diskFields, const Packet& records,
                                        const FieldColumns& recordFields, std::size_t firstNewRow) {
  std::map<std::string, std::vector<std::size_t>> wanted;
  std::string key;
  for (std::size_t row = firstNewRow; row < records.RowCount(); ++row) {
    KeyOf(records, recordFields, row, key);
    wanted[key].push_back(row);
  }
  for (std::size_t row = 0; row < onDisk.RowCount() && !wanted.empty(); ++row) {
    KeyOf(onDisk, diskFields, row, key);
    const auto it = wanted.find(key);
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
  for (const std::size_t column : fields) {
    const Column& source = from.columns[column];
    Column c;
    c.def.name = source.def.name;
    c.def.type = source.def.type;
    c.kind = source.kind;
    for (const std::size_t row : rows) {
      c.present.push_back(source.present[row]);
      if (c.kind == ValueKind::Text) c.texts.push_back(source.texts[row]);
      else c.numbers.push_back(source.numbers[row]);
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
  for (std::size_t f = 0; f < diskFields.size(); ++f) {
    const Column& from = mine.columns[mineFields[f]];
    Column& to = onDisk.columns[diskFields[f]];
    for (std::size_t i = 0; i < added; ++i) CopyValue(from, firstNewRow + i, to, diskRows + i);
  }
  for (std::size_t i = 0; i < added; ++i) {
    const auto number = static_cast<std::uint32_t>(diskRows + i + 1);
    onDisk.rowStates.push_back(StatusInserted);
    onDisk.changeLog.push_back({number, 0, StatusInserted});
  }
  return onDisk;
}

}  // namespace tecladim::history
