#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The journal of a write in place: before the history itself is overwritten, the bytes it
// is about to receive are kept in a journal file, marked complete and flushed. A save killed
// half way through its write leaves a complete journal, which the next open of that history
// (under the exclusive lock) writes over the history again, finishing the save. A journal
// that a crash cut short fails its checksums (its header's, and its body's, which the header
// holds), and one whose mark was taken off was done with: either way the write never
// started, and the journal is only removed. One flush makes it, where a mark written after
// a flushed body would cost a second: a journal is written at every close. The
// format is the same on every system; the files are handled in durable_file_posix.cpp and
// durable_file_windows.cpp.
namespace tecladim::platform {

struct JournalHeader {
  std::uint64_t device = 0;  // which file the history was (FileStamp's device and file)
  std::uint64_t file = 0;
  std::uint64_t oldSize = 0;
  std::uint64_t newSize = 0;
  std::uint64_t offset = 0;      // the old and the new bytes agree before it; the body starts there
  std::uint64_t anchorHash = 0;  // JournalAnchorHash of the bytes before `offset`
  std::uint64_t pathHash = 0;    // the history's absolute path, as JournalInDataFolder names it
  friend bool operator==(const JournalHeader&, const JournalHeader&) = default;
};

// The journal's bytes, marked.
std::string EncodeJournal(const JournalHeader& header, std::string_view body);
// The bytes before the body, which follows them at once: a large body need not be copied.
std::string JournalHead(const JournalHeader& header, std::string_view body);
// Where the mark is, and what it is: a journal that may not be removed is unmarked instead.
inline constexpr std::size_t JournalMarkOffset = 8;
std::string_view JournalMark();

enum class JournalState {
  Incomplete,  // unmarked, a wrong checksum or cut short: the write it was for never started
  Complete,
};
JournalState DecodeJournal(std::string_view bytes, JournalHeader& header, std::string_view& body);

// How many bytes the old and the new content share from the start: those are not written.
std::size_t SharedPrefix(std::string_view oldBytes, std::string_view newBytes);
// The hash of the last bytes (up to 4096) of `before`: the bytes just before the journal's
// offset, which a write in place leaves alone; another program's write rarely does.
std::uint64_t JournalAnchorHash(std::string_view before);
inline constexpr std::size_t JournalAnchorLength = 4096;
// Whether a complete journal may be written over the history as it is now: the same file,
// a size the interrupted write could have left, the bytes before the offset unchanged.
bool JournalFits(const JournalHeader& header, std::uint64_t device, std::uint64_t file, std::uint64_t size,
                 std::uint64_t anchorHash);

// ".Exercicio.xml.journal" beside the history.
std::filesystem::path JournalBeside(const std::filesystem::path& history);
// Where the journal goes when the history's folder refuses new files: the user's data
// folder, named by a hash of the history's absolute path ("journals/3f2a….journal").
std::filesystem::path JournalInDataFolder(const std::filesystem::path& dataFolder,
                                          const std::filesystem::path& absoluteHistory);
std::uint64_t PathHash(const std::filesystem::path& absoluteHistory);
// The history's absolute path as the journal names it (the path as given if it has none).
std::filesystem::path AbsoluteHistoryPath(const std::filesystem::path& history);
// Where a journal of `history` may be: beside it first, else in the user's data folder.
std::vector<std::filesystem::path> JournalPlaces(const std::filesystem::path& history);
// Where a journal that does not fit its history is set aside, not applied and not lost.
std::filesystem::path JournalSetAside(const std::filesystem::path& journal);

}  // namespace tecladim::platform
