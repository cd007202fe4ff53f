#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "exercise/exercise_state.h"
#include "history/datetime.h"
#include "history/history_fields.h"

namespace tecladim {

// What the completion step knows about the exercise just finished. "Now" comes in from
// the caller, read once when the step begins: the completion time of day (`agora`) and
// the record's date both come from that one reading.
struct CompletionInput {
  DateTime now = 0;                 // current date and time, fraction of a second included
  DateTime inicio = 0;              // the exercise's start time of day
  std::u16string_view tempo;        // target seconds as written, or empty
  std::u16string_view errorsText;   // the error count as shown to the student (decimal)
  int lesson = 1;                   // the lesson number as it reads now
};

// The history record's values, in the order they are written: licao, data, inicio, fim,
// tempo, erros. inicio and fim are whole seconds on the completion date; an exercise that
// ran across midnight has its inicio on the day before, so that tempo is its true
// duration. tempo is fim - inicio as the history keeps them (to the millisecond): the
// value to store, not to be worked out again.
struct CompletionRecord {
  std::int32_t licao = 0;
  DateTime data = 0;
  DateTime inicio = 0;
  DateTime fim = 0;
  DateTime tempo = 0;
  std::int32_t erros = 0;

  // The record as the history appends it, every field filled.
  history::HistoryRecord AsHistoryRecord() const { return {licao, data, erros, inicio, fim, tempo}; }
};

// The completion time of day: the time part of the one clock reading.
inline DateTime Agora(const CompletionInput& input) { return TimeOfDayPart(input.now); }

// Throws ConversionError "'<text>' is not a valid integer value" when the error count's
// text is not a whole number, and "'<text>' is not a valid date and time" when a time cannot be put on
// the completion date; both before anything is written, so no half-filled record is left.
CompletionRecord MakeCompletionRecord(const CompletionInput& input);

// The stamps (licao, data, inicio, fim) of an exercise left unfinished at `now`, as a
// completion at that moment would have made them; erros and tempo stay 0. Throws
// ConversionError like MakeCompletionRecord.
CompletionRecord MakeLeftRecord(DateTime now, DateTime inicio, int lesson);

// The report to the instructor, lines separated by CR alone, and the values it is built
// from. Computed after the record has been posted: a failure here leaves the record in place.
struct CompletionReport {
  std::u16string auxx;       // elapsed time "hh:mm:ss", the fraction of a second dropped
  std::int32_t segundos = 0; // elapsed whole seconds
  std::u16string ttempo;     // target seconds, "0" without a target
  std::u16string text;
};

inline constexpr std::u16string_view ReportGreeting = u"Parabens, chame seu instrutor.";

// Throws ConversionError "'<tempo>' is not a valid integer value" for a target time that
// is not a whole number.
CompletionReport MakeCompletionReport(const CompletionInput& input);

// The elapsed time from a start to an end time of day; an end earlier than the start is
// on the next day.
DateTime ElapsedTime(DateTime inicio, DateTime agora);

}  // namespace tecladim
