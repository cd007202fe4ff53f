#pragma once
#include "history/datetime.h"
#include "history/record_set.h"

namespace tecladim::history::testing {

inline DateTime At(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDateTime({y, mo, d}, {h, mi, s, ms});
}

// One completed exercise, recorded the way the completion step does it: `tempo` is
// computed from `fim` and `inicio` as read back from the record being appended.
inline void RecordExercise(RecordSet& set, int licao, DateTime data, int erros, DateTime inicio, DateTime fim) {
  set.Append();
  set.SetInteger("licao", licao);
  set.SetDateTime("data", data);
  set.SetDateTime("inicio", inicio);
  set.SetDateTime("fim", fim);
  set.SetDateTime("tempo", *set.DateTimeValue("fim") - *set.DateTimeValue("inicio"));
  set.SetInteger("erros", erros);
  set.Post();
}

// A record completed at `data`, five minutes long.
inline void RecordExerciseAt(RecordSet& set, int licao, DateTime data) {
  RecordExercise(set, licao, data, 0, data - 5.0 / 1440.0, data);
}

}  // namespace tecladim::history::testing
