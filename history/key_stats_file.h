#pragma once
#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "exercise/key_statistics.h"
#include "history/datetime.h"
#include "history/packet.h"

// The key statistics as a data packet of the same XML form as "Exercicio.xml", beside it:
// one row per exercise and expected character. The first row of an exercise carries its
// stamps, the very values of its history record (`licao`, `data`, `inicio`, `fim`), so the
// two files read together; the rows after it, of the same exercise, leave them blank, which
// keeps 1,000 exercises well under 2 MB. Every count of 0 and an empty `trocas` are left
// blank too, and read as 0 and as nothing.
//
//   licao    i4        the lesson                                        first row only
//   data     dateTime  the record's date and time (when it was left)     first row only
//   inicio   dateTime  the record's start                                first row only
//   fim      dateTime  the record's end (when it was left)               first row only
//   situacao string    "interrompido" for an exercise left unfinished,   first row only
//                      blank for one completed
//   tecla    string    the expected character; a carriage return for the line break
//   acertos  i4        right keys
//   erros    i4        wrong keys
//   ms       i8        the timed right keys' times summed, in milliseconds
//   medidos  i4        how many right keys `ms` holds
//   trocas   string    what was typed instead: "code:count" pairs joined by one space, the
//                      code the UTF-16 unit in decimal ("115:2 100:1" is "s" twice, "d" once)
namespace tecladim::history {

enum class ExerciseEnd {
  Completed,  // it has a history record with the same stamps
  Left,       // the lesson changed or the program closed first: no history record
};

struct ExerciseKeyStats {
  std::int32_t licao = 0;
  DateTime data = 0;
  DateTime inicio = 0;
  DateTime fim = 0;
  ExerciseEnd end = ExerciseEnd::Completed;
  std::vector<KeyCounts> keys;  // as KeyStatistics::Keys() gives them; none makes no row
};

inline constexpr std::string_view LeftExerciseText = "interrompido";

enum class KeyStatsErrorKind {
  FieldNotFound,       // a field of the table above is missing
  TypeMismatch,        // a field holds another kind of value than the table's
  RowWithoutExercise,  // the first row has no stamps, or a first row lacks one of them
  BadKey,              // `tecla` is blank or not one character
  BadSituation,        // `situacao` is neither blank nor LeftExerciseText
  BadCounts,           // a negative count, more timed keys than right ones, or `trocas`
                       // unreadable or not adding up to `erros`
};

// What went wrong and where: `row` counts from 1 in file order; `field` names the field.
class KeyStatsError : public std::runtime_error {
 public:
  KeyStatsError(KeyStatsErrorKind kind, std::size_t row, std::string field);
  KeyStatsErrorKind kind() const { return kind_; }
  std::size_t row() const { return row_; }

 private:
  KeyStatsErrorKind kind_;
  std::size_t row_;
};

// The rows of these exercises, in their order; WritePacket makes the file's bytes.
Packet KeyStatsPacket(std::span<const ExerciseKeyStats> exercises);

// Exercises are added at the end of a file without reading it whole: its bytes up to the
// end of its last exercise stay, the new exercises' rows and the file's end follow them, and
// the file holds the same bytes as if they had all been written at once.
// Where the rows end in `bytes`, written by WritePacket(KeyStatsPacket(...)). Nothing when
// `bytes` are not laid out as that writer lays them out (another version, another program):
// only the whole merge may touch those.
std::optional<std::size_t> EndOfExercises(std::string_view bytes);
// The rows of `added`, to go there (nothing where the writer would lay them out otherwise).
std::optional<std::string> ExerciseRows(std::span<const ExerciseKeyStats> added);
// What follows the rows: the end of the file.
std::string_view KeyStatsFileEnd();

// The exercises a packet holds (ReadPacket reads the bytes). Throws KeyStatsError.
std::vector<ExerciseKeyStats> ReadKeyStats(const Packet& packet);

}  // namespace tecladim::history
