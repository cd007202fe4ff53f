#pragma once
#include <array>
#include <cstddef>
#include <vector>

#include "history/history_fields.h"
#include "history/packet.h"

// What a save writes when another program saved the same history since this one read it.
namespace tecladim::history {

// The column of a packet that holds each field of the history record, in field order
// (licao, data, erros, inicio, fim, tempo).
using FieldColumns = std::array<std::size_t, RecordFieldCount>;
// The columns of a packet that holds the six fields alone, in field order.
inline constexpr FieldColumns SixFields{0, 1, 2, 3, 4, 5};

// Every record now in the file, as it is there, and then this run's new records (the rows
// of `mine` from `firstNewRow` on) after them, in the order they were posted. Each new
// record is numbered on from the file's last one, with status 4 and the change-log entry
// (number, 0, 4), as any appended record is. New records carry the six fields; a column
// of the file beyond them is blank in them.
Packet MergeNewRecords(Packet onDisk, const FieldColumns& diskFields, const Packet& mine,
                       const FieldColumns& mineFields, std::size_t firstNewRow);

// The rows of `records` (`firstNewRow` on) that `onDisk` does not hold, by the six fields'
// values: a record of this run counts as kept when the file has one equal to it in every
// field, as many times as the run has it.
std::vector<std::size_t> MissingRecords(const Packet& onDisk, const FieldColumns& diskFields, const Packet& records,
                                        const FieldColumns& recordFields, std::size_t firstNewRow);

// The given rows of `from` as a packet of the six fields alone (SixFields), numbered from
// 1 as records appended to an empty history.
Packet RecordsAt(const Packet& from, const FieldColumns& fields, const std::vector<std::size_t>& rows);

}  // namespace tecladim::history
