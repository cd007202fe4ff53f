#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/durable_file_journal.h"

// What an open of a history does with the journals of a write in place that was
// interrupted: the same rules on every system, over the few file calls each system gives
// (durable_file_posix.cpp, durable_file_windows.cpp; a fake in the tests).
namespace tecladim::platform {

// The calls on the history's open file and on its journals, by name.
class JournalCalls {
 public:
  virtual ~JournalCalls() = default;
  // Which file the history is (FileStamp's device and file) and its size.
  virtual std::error_code Identify(std::uint64_t& device, std::uint64_t& file, std::uint64_t& size) = 0;
  // Up to `length` bytes from `offset`; fewer at the file's end.
  virtual std::error_code ReadAt(std::uint64_t offset, std::size_t length, std::string& into) = 0;
  virtual std::error_code WriteAt(std::uint64_t offset, std::string_view bytes) = 0;
  virtual std::error_code Resize(std::uint64_t size) = 0;
  virtual std::error_code Flush() = 0;
  // The whole journal; no_such_file_or_directory when there is none.
  virtual std::error_code ReadJournal(const std::filesystem::path& journal, std::string& bytes) = 0;
  // Removed, or where it may not be, unmarked (see JournalMarkOffset).
  virtual void Discard(const std::filesystem::path& journal) = 0;
  virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // A line for the standard error: what a person should know and no window shows.
  virtual void Report(const std::string& text) = 0;
};

// The header of a write in place of `fresh` over `previous`, in the file `device`/`file`.
JournalHeader MakeJournalHeader(std::uint64_t device, std::uint64_t file, std::string_view previous,
                                std::string_view fresh, const std::filesystem::path& absoluteHistory);

// A write in place: the file's bytes before `header.offset` stay, `fresh` follows them.
struct InPlaceWrite {
  JournalHeader header;
  std::string_view fresh;
  std::string previousEnd;  // the old bytes from the offset on, put back should the write fail
};
// `bytes` over the whole file, read as `previous`: written from the first byte that changes.
InPlaceWrite WholeInPlace(std::uint64_t device, std::uint64_t file, std::string_view previous, std::string_view bytes,
                          const std::filesystem::path& history);
// `end` after the file's first `keep` bytes, which the caller knows to be as they were: only
// the few bytes before them (the journal's anchor) and the old ones after them are read.
std::error_code EndInPlace(JournalCalls& calls, std::uint64_t keep, std::string_view end,
                           const std::filesystem::path& history, InPlaceWrite& write);

// Under the exclusive lock, the history open for writing: each journal at `places` that is
// complete and fits the history is written over it and removed; an incomplete one is
// removed; one that does not fit (the history was replaced since) is set aside and named.
void ReplayJournals(JournalCalls& calls, const std::vector<std::filesystem::path>& places,
                    const std::filesystem::path& history);

// For a reader that could not replay them (it may not write the history, or another
// program holds it): `bytes`, the history as read, become what the replay will make of it,
// and the reader is told on the standard error. A journal that cannot be read fails the
// read: the history may be torn half way, and a torn history is never loaded.
std::error_code ReadThroughJournals(JournalCalls& calls, const std::vector<std::filesystem::path>& places,
                                    const std::filesystem::path& history, std::string& bytes);

// The history's name for the messages, in quotes.
std::string QuotedPath(const std::filesystem::path& file);

}  // namespace tecladim::platform
