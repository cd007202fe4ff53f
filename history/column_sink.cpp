#include "history/column_sink.h"

#include <algorithm>

namespace tecladim::history::packet_reading {
namespace {

// The columns of a load may take at most this many bytes per byte of the file (plus the
// allowance below): rows whose fields are all blank cost memory but almost no file, and a
// damaged file of a few megabytes must not ask for gigabytes.
// The field descriptions count against the same budget: a file of 100,000 fields spends
// most of it before the first row.
constexpr std::size_t MaxCellBytesPerInputByte = 8;
constexpr std::size_t CellBytesAllowance = std::size_t{1} << 20;
// What one index entry of a column's name costs besides the column (a hash node).
constexpr std::size_t IndexEntryBytes = 64;

}  // namespace

std::string ColumnSink::Decoded(std::string_view raw) const {
  std::string out;
  DecodeValue(raw, encoding_, out);
  return out;
}

void ColumnSink::AddField(FieldDef def, ValueKind kind, std::string_view key, IntegerRange range) {
  keys_.push_back({key, range, -1, -1, {}, 0});
  Column& column = packet_.columns.emplace_back();
  column.def = std::move(def);
  column.kind = kind;
}

void ColumnSink::EndFields() {
  for (std::size_t i = packet_.columns.size(); i-- > 0;) {
    auto& index = packet_.columns[i].def.fromTag ? tagIndex_ : attributeIndex_;
    const auto [it, inserted] = index.try_emplace(keys_[i].key, static_cast<int>(i));
    if (!inserted) {
      keys_[i].sameKeyNext = it->second;
      it->second = static_cast<int>(i);
    }
  }
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    const auto& index = packet_.columns[i].def.fromTag ? tagIndex_ : attributeIndex_;
    keys_[i].first = index.at(keys_[i].key);
  }
  cellBytesPerRow_ = 1;
  fieldBytes_ = packet_.columns.capacity() * sizeof(Column) + keys_.capacity() * sizeof(ColumnKey);
  for (const Column& c : packet_.columns) {
    cellBytesPerRow_ += 1 + (c.kind == ValueKind::Text ? sizeof(std::string) : sizeof(std::int64_t));
    fieldBytes_ += IndexEntryBytes + c.def.name.capacity() + c.def.type.capacity() +
                   c.def.params.capacity() * sizeof(c.def.params[0]);
    for (const auto& [name, value] : c.def.params) fieldBytes_ += name.capacity() + value.capacity();
  }
}

void ColumnSink::BeginRows() {
  const std::size_t limit = MaxCellBytesPerInputByte * fileSize_ + CellBytesAllowance;
  maxRows_ = limit > fieldBytes_ ? (limit - fieldBytes_) / cellBytesPerRow_ : 0;
}

std::size_t ColumnSink::EstimatedRows(std::size_t rowBytes, std::size_t bytesLeft) const {
  const std::size_t rows = packet_.rowStates.size();
  const double perRow = static_cast<double>(rowBytes) / static_cast<double>(rows);
  const double rest = static_cast<double>(bytesLeft) / perRow;
  const auto estimate = rows + static_cast<std::size_t>(rest * 1.1) + RowsBeforeReserve;
  return std::min(estimate, maxRows_);
}

void ColumnSink::Reserve(std::size_t rows) {
  packet_.rowStates.reserve(rows);
  for (Column& c : packet_.columns) {
    c.present.reserve(rows);
    if (c.kind == ValueKind::Text) c.texts.reserve(rows);
    else c.numbers.reserve(rows);
  }
}

}  // namespace tecladim::history::packet_reading
