#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "history/datetime.h"
#include "history/history_fields.h"
#include "history/packet.h"

// What the trainer keeps when it cannot put something into the history itself: the records
// of a run whose save did not happen (the history locked at the end of a session, a history
// that did not load), and the original bytes of a history the reader had to bend. A
// recovery file is a history of its own, in the same format, holding those records only;
// the next start merges it into its history and removes it. The same holds for any file of
// records the store keeps (the exam results): the layout says which.
namespace tecladim::history {

// "Exercicio.xml.recuperado.xml" beside the history.
std::filesystem::path RecoveryFileBeside(const std::filesystem::path& history);
// "<data folder>/recuperados/Exercicio.xml.<16 hex digits>.recuperado.xml": the digits are a
// hash of the history's full path, which the file also names in its parameter
// TECLADIM_HISTORY.
std::filesystem::path RecoveryFileInDataFolder(const std::filesystem::path& history,
                                               const std::filesystem::path& dataFolder);

enum class RecoveryPlace { BesideHistory, DataFolder };

// Adds `records` (the layout's fields, as RecordSet::NewRecords gives) to the history's recovery
// file at `place`, or in the data folder when that place refuses. Written as the history is
// (locked, by rename), keeping the records another program put there; a recovery file that
// does not read is left as it is and the next place is tried. Returns the file written;
// throws the last error when no place took them.
std::filesystem::path KeepRecords(const std::filesystem::path& history, const Packet& records, RecoveryPlace place,
                                  const std::filesystem::path& dataFolder, const RecordLayout& layout = HistoryLayout);

// Merges every recovery file of `history` (beside it and in the data folder) into it: the
// history's records as they are, the recovered ones appended. Each file is removed once the
// history holding its records is saved; a file that does not read, or a history that does
// not load, leaves the files as they are. Returns what was done, one line each, for the
// standard error.
std::vector<std::string> MergeRecoveryFiles(const std::filesystem::path& history,
                                            const std::filesystem::path& dataFolder,
                                            const RecordLayout& layout = HistoryLayout);

// Keeps a history's original bytes once, before a save rewrites what the reader bent:
// "Exercicio.xml.original-YYYYMMDD-HHMMSS" beside it, or in "<data folder>/originais" when
// its folder refuses new files. Returns the copy; throws HistoryError when neither place
// takes it.
std::filesystem::path KeepOriginalBytes(const std::filesystem::path& history, std::string_view bytes, DateTime now,
                                        const std::filesystem::path& dataFolder);

// The lines for the standard error.
std::string RecordsKeptText(std::size_t records, const std::filesystem::path& file,
                            const RecordLayout& layout = HistoryLayout);
std::string OriginalKeptText(const std::filesystem::path& history, const std::filesystem::path& copy);

}  // namespace tecladim::history
