#pragma once

// How a program's save at the end of a session went, and the exit status that tells it when
// the system ended the program: the trainer's history and the exam's results alike.
namespace tecladim {

enum class SessionEnd {
  Saved,        // the file holds the run (or nothing needed writing)
  RecordsKept,  // the file was not written; the run's records wait in a recovery file
  RecordsLost,  // neither the file nor a recovery file could be written
};
inline constexpr int ExitNotSaved = 75;     // RecordsKept
inline constexpr int ExitRecordsLost = 74;  // RecordsLost

// The exit status of a program ended by the system (`requested`: 128 + the signal's number).
constexpr int ExitStatusAfter(SessionEnd end, int requested) {
  switch (end) {
    case SessionEnd::Saved: return requested;
    case SessionEnd::RecordsKept: return ExitNotSaved;
    case SessionEnd::RecordsLost: return ExitRecordsLost;
  }
  return requested;
}

}  // namespace tecladim
