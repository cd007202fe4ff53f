#pragma once
#include <array>
#include <cstddef>

#include "history/packet.h"

// What a save writes when another program saved the same history since this one read it.
namespace tecladim::history {

// The column of a packet that holds each field of the history record, in field order
// (licao, data, erros, inicio, fim, tempo).
inline constexpr std::size_t RecordFieldCount = 6;
using FieldColumns = std::array<std::size_t, RecordFieldCount>;

// Every record now in the file, as it is there, and then this run's new records (the rows
// of `mine` from `firstNewRow` on) after them, in the order they were posted. Each new
// record is numbered on from the file's last one, with status 4 and the change-log entry
// (number, 0, 4), as any appended record is. New records carry the six fields; a column
// of the file beyond them is blank in them.
Packet MergeNewRecords(Packet onDisk, const FieldColumns& diskFields, const Packet& mine,
                       const FieldColumns& mineFields, std::size_t firstNewRow);

}  // namespace tecladim::history
