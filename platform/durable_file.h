#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// The history file on disk: read and replaced whole, under a lock that keeps several
// programs sharing one history from overwriting each other, with the operating system's
// own error codes. Plain C++: the core links this, not Qt.
namespace tecladim::platform {

// What tells whether a file changed since it was read, without reading all of it: which
// file it is (a replacement by rename is another file), its size, its last write and a
// hash of its last bytes (every save of a history changes its change log, at the end).
struct FileStamp {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // in the system's own units
  std::uint64_t tailHash = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The hash that FileStamp::tailHash holds for a file whose bytes end with `bytes`.
std::uint64_t TailHash(std::string_view bytes);
inline constexpr std::size_t TailHashLength = 4096;

enum class LockMode {
  Shared,     // for reading: other readers may hold it too, no writer
  Exclusive,  // for replacing: nobody else
};

// How the last Replace wrote the file.
enum class ReplaceRoute {
  None,
  Renamed,  // a new file beside it, flushed, renamed over it: a crash leaves old or new
  InPlace,  // the file itself, its whole new size reserved first
};

// A file held under a lock that the operating system drops when the process ends, however
// it ends. Every program of ours reads the history only under a shared lock and replaces it
// only under an exclusive one, so a reader never sees half of a write in place and two
// saves never interleave.
class LockedFile {
 public:
  LockedFile() = default;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  // Releases the lock; a file that Lock had to create and nothing was written to is
  // removed again, so a failed first save leaves no empty history behind.
  ~LockedFile();

  // Opens `name` and waits (a bounded time) for the lock. A shared lock needs the file to
  // exist. For an exclusive lock a missing file is created empty, as there must be
  // something to lock; an empty file reads as an empty history. Created in a group folder
  // with the setgid bit that the group may write, it is made writable by the group too.
  // A journal left by a write in place that was interrupted is dealt with first, under the
  // exclusive lock (taken briefly for a shared Lock that finds one): written over the file
  // when complete and still fitting it, set aside and named on standard error when the
  // file was replaced since, removed when incomplete. A reader that cannot finish it (it may
  // not write the file, or another program holds it) reads the file as the journal finishes
  // it, told on standard error, and fails to read when the journal cannot be read.
  std::error_code Lock(const std::filesystem::path& name, LockMode mode);

  // The whole file, read through the locked handle.
  std::error_code Read(std::string& bytes) const;
  // The file as it is now (after Replace: the new file).
  FileStamp Stamp() const;

  // Makes the file hold exactly `bytes`. First choice: a temporary file in the same folder
  // (".Exercicio.xml.<random>.tmp"), flushed, then renamed over the file, so a crash at
  // any moment leaves the old file or the new one. When that cannot be done, or would not
  // keep the file's owner, group, permissions or other links, and the file itself may be
  // written, it is written in place: its whole new size is reserved first, so a full disk
  // fails before a byte of the old content is lost, and the bytes about to be written are
  // kept first in a journal (see platform/durable_file_journal.h), so that a crash half way
  // is finished at the next Lock. Leftover temporary files of crashed saves of this file are
  // removed first (those another user's cannot be are named on standard error). Needs the
  // exclusive lock.
  std::error_code Replace(std::string_view bytes);
  // Keeps the file's first `keep` bytes (at most its size) and makes `end` follow them,
  // written in place and journaled as above, even where a rename could be done: for a large
  // file that grows at its end, whose start the caller knows to be as it was, neither the
  // file nor its journal is read or written whole. When the write in place cannot be done,
  // the whole file goes by the routes of Replace.
  std::error_code ReplaceEnd(std::uint64_t keep, std::string_view end);
  ReplaceRoute LastRoute() const { return route_; }

 private:
  // ReplaceEnd's write in place, on each system.
  std::error_code WriteEndInPlace(std::uint64_t keep, std::string_view end);
  void Release();

  std::filesystem::path target_;  // links resolved: the file that is replaced
#ifdef _WIN32
  void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
  void* replaced_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));  // the new file after a rename
#else
  int fd_ = -1;
  int replaced_ = -1;  // the new file after a rename
#endif
  bool writable_ = false;
  bool journalsLeft_ = false;  // read for a reader that could not finish an interrupted save
  bool created_ = false;
  bool written_ = false;
  ReplaceRoute route_ = ReplaceRoute::None;
};

// How long Lock waits for a lock another program holds (DefaultLockWaitLimit unless set),
// from now on, for the waits under way too. The save at the end of a session sets it shorter:
// the system ends the program soon, and the run's records must go somewhere before that. A
// program whose window has closed sets it to nothing: a read still waiting gives up at once.
inline constexpr auto DefaultLockWaitLimit = std::chrono::seconds(30);
void SetLockWaitLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds LockWaitLimit();

// Whether the file system of `file` (an existing file) gives locks that reach every writer.
// Where it answers that it has none, Lock goes on unlocked; where its locks stay on one
// mount (lock_reach.h), they are taken but not trusted. Either way a save checks its work
// by reading it back.
bool LocksWorkFor(const std::filesystem::path& file);

// Whether `name` is a temporary file that a save of `history` (a file name without
// folder) makes, or made before this naming: ".Exercicio.xml.Ab3xYz.tmp",
// "Exercicio.xml.tmp1234-0".
bool IsTemporaryOf(std::string_view name, std::string_view history);

}  // namespace tecladim::platform
