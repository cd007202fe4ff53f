#pragma once
#include <array>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "history/history_fields.h"
#include "history/packet.h"

// What a save writes when another program saved the same history since this one read it.
namespace tecladim::history {

// The column of a packet that holds each field of a record, in field order (for the
// history: licao, data, erros, inicio, fim, tempo). A fixed-room vector, so that a table of
// columns is a constant and binding a file's fields allocates nothing.
class FieldColumns {
 public:
  static constexpr std::size_t Capacity = 32;

  constexpr FieldColumns() = default;
  constexpr FieldColumns(std::initializer_list<std::size_t> columns) {
    for (const std::size_t c : columns) push_back(c);
  }
  // 0, 1, ... count - 1: a packet that holds the fields alone, in field order.
  static constexpr FieldColumns InFieldOrder(std::size_t count) {
    FieldColumns columns;
    for (std::size_t c = 0; c < count; ++c) columns.push_back(c);
    return columns;
  }

  constexpr void push_back(std::size_t column) {
    if (size_ == Capacity) throw std::length_error("more fields than a record holds");
    columns_[size_++] = column;
  }
  constexpr std::size_t size() const { return size_; }
  constexpr std::size_t& operator[](std::size_t i) { return columns_[i]; }
  constexpr const std::size_t& operator[](std::size_t i) const { return columns_[i]; }
  constexpr const std::size_t* begin() const { return columns_.data(); }
  constexpr const std::size_t* end() const { return columns_.data() + size_; }
  friend constexpr bool operator==(const FieldColumns& a, const FieldColumns& b) {
    if (a.size_ != b.size_) return false;
    for (std::size_t i = 0; i < a.size_; ++i)
      if (a.columns_[i] != b.columns_[i]) return false;
    return true;
  }

 private:
  std::array<std::size_t, Capacity> columns_{};
  std::size_t size_ = 0;
};
// The columns of a packet that holds the six history fields alone, in field order.
inline constexpr FieldColumns SixFields = FieldColumns::InFieldOrder(RecordFieldCount);

// Every record now in the file, as it is there, and then this run's new records (the rows
// of `mine` from `firstNewRow` on) after them, in the order they were posted. Each new
// record is numbered on from the file's last one, with status 4 and the change-log entry
// (number, 0, 4), as any appended record is. New records carry the fields the two tables
// name (the same count); a column of the file beyond them is blank in them.
Packet MergeNewRecords(Packet onDisk, const FieldColumns& diskFields, const Packet& mine,
                       const FieldColumns& mineFields, std::size_t firstNewRow);

// The rows of `records` (`firstNewRow` on) that `onDisk` does not hold, by the fields'
// values: a record of this run counts as kept when the file has one equal to it in every
// field, as many times as the run has it.
std::vector<std::size_t> MissingRecords(const Packet& onDisk, const FieldColumns& diskFields, const Packet& records,
                                        const FieldColumns& recordFields, std::size_t firstNewRow);

// The given rows of `from` as a packet of the fields alone, in field order
// (FieldColumns::InFieldOrder), numbered from 1 as records appended to an empty history.
Packet RecordsAt(const Packet& from, const FieldColumns& fields, const std::vector<std::size_t>& rows);

}  // namespace tecladim::history
