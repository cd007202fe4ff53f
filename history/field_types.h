#pragma once
#include <cstdint>
#include <string_view>

#include "history/packet.h"

// The type words a field description of the history file may carry: what kind of column
// each gives, the range its numbers are held to, and how the record set names it.
namespace tecladim::history {

struct FieldType {
  std::string_view word;     // as the writer spells it ("i4", "dateTime")
  ValueKind kind;
  std::int64_t min = 0;      // integer words: a wider number read from the file is clamped
  std::int64_t max = 0;      //   to [min, max]; 0 and 0 for the other kinds
  std::string_view setName;  // the record set's name of the type, as a type mismatch reports it
  // Whether a history field of this kind takes the values without loss: "i8" and "ui4"
  // may not fit 32 bits, "date" and "time" lack half of a date-time value.
  bool holdsHistoryField = false;
};

// The entry of a type word, compared without regard to ASCII letter case; nullptr when the
// reader does not know the word.
const FieldType* FindFieldType(std::string_view word);

}  // namespace tecladim::history
