#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/durable_file.h"
#include "platform/durable_file_replay.h"
#include "platform/durable_file_journal.h"
#include "platform/lock_reach.h"

namespace tecladim::platform {
namespace {

constexpr mode_t NewFileMode = 0666;  // narrowed by the umask, like any newly created file
constexpr auto LockPollFirst = std::chrono::milliseconds(1);
constexpr auto LockPollLongest = std::chrono::milliseconds(50);

std::error_code LastError() { return {errno, std::system_category()}; }
std::error_code Error(std::errc e) { return std::make_error_code(e); }

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

std::error_code WriteAllAt(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    offset += n;
  }
  return {};
}

std::error_code ReadAllAt(int fd, char* into, std::size_t size, off_t offset, std::size_t& filled) {
  filled = 0;
  while (filled < size) {
    const ssize_t n = ::pread(fd, into + filled, size - filled, offset + static_cast<off_t>(filled));
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (n == 0) break;  // the file shrank since its size was taken
    filled += static_cast<std::size_t>(n);
  }
  return {};
}

// A link named like the history file is kept: the file it points to is the one replaced.
std::filesystem::path ResolvedTarget(const std::filesystem::path& target) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(target, ec)) return target;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
  return ec ? target : resolved;
}

std::filesystem::path FolderOf(const std::filesystem::path& target) {
  std::filesystem::path folder = target.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// Makes the rename itself survive a crash; the data is already safe without it.
void FlushFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool NoLocksHere(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL; }

// Waits for the lock, polling, so that a stuck holder ends in an error instead of a hang.
std::error_code WaitForLock(int fd, LockMode mode) {
  const int operation = (mode == LockMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  const auto started = std::chrono::steady_clock::now();
  auto pause = std::chrono::duration_cast<std::chrono::microseconds>(LockPollFirst);
  while (::flock(fd, operation) != 0) {
    if (errno == EINTR) continue;
    // Some network and user-space file systems have no locks: the history is then used as
    // before, unlocked, rather than not at all.
    if (NoLocksHere(errno)) return {};
    if (errno != EWOULDBLOCK) return LastError();
    // Asked each time: a limit cut meanwhile (the session's or the program's end) counts.
    if (std::chrono::steady_clock::now() >= started + LockWaitLimit())
      return Error(std::errc::resource_unavailable_try_again);
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::duration_cast<std::chrono::microseconds>(LockPollLongest));
  }
  return {};
}

// Space for the whole new content, taken before the old content is touched. Where the
// system can, the file's visible size stays as it is until the bytes are written.
std::error_code Reserve(int fd, std::uint64_t oldSize, std::uint64_t newSize) {
  if (newSize <= oldSize) return {};
#if defined(__linux__)
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(newSize)) == 0) return {};
  if (errno != EOPNOTSUPP && errno != ENOSYS) return LastError();
#elif defined(__APPLE__)
  fstore_t store{F_ALLOCATEALL, F_PEOFPOSMODE, 0, static_cast<off_t>(newSize - oldSize), 0};
  if (::fcntl(fd, F_PREALLOCATE, &store) == 0) return {};
  return LastError();
#endif
#if !defined(__APPLE__)
  // posix_fallocate grows the file to the new size, zeros after the old bytes.
  const int result = ::posix_fallocate(fd, 0, static_cast<off_t>(newSize));
  return result == 0 ? std::error_code{} : std::error_code{result, std::system_category()};
#endif
}

// What a person should know and no window shows: said once on standard error.
void Report(const std::string& text) { std::fprintf(stderr, "tecladim: %s\n", text.c_str()); }

std::string Quoted(const std::filesystem::path& p) { return QuotedPath(p); }

bool AnyJournal(const std::filesystem::path& target) {
  for (const std::filesystem::path& journal : JournalPlaces(target)) {
    struct stat info {};
    if (::lstat(journal.c_str(), &info) == 0) return true;
  }
  return false;
}

std::error_code ReadWhole(const std::filesystem::path& name, std::string& bytes) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return LastError();
  struct stat info {};
  std::error_code ec;
  std::size_t filled = 0;
  if (::fstat(fd, &info) != 0) ec = LastError();
  if (!ec) {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    ec = ReadAllAt(fd, bytes.data(), bytes.size(), 0, filled);
    bytes.resize(filled);
  }
  ::close(fd);
  return ec;
}

// Whether the removal of a journal must reach the disk before the save returns.
enum class Removal {
  Flushed,
  // Of a journal beside its file, whose write is done: should a crash bring it back, it
  // writes the same bytes again at the next open; a later save makes the removal last (its
  // rename flushes this folder, its own journal takes this name). Saves a flush per close.
  Lazy,
};

// A journal that is done with. One that may not be removed (another user's, in a sticky
// folder) loses its mark instead, which makes it a journal of a write that never started.
void Discard(const std::filesystem::path& journal, Removal removal = Removal::Flushed) {
  if (::unlink(journal.c_str()) == 0) {
    if (removal == Removal::Flushed) FlushFolder(FolderOf(journal));
    return;
  }
  const int fd = ::open(journal.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return;
  const std::string unmarked(JournalMark().size(), '\0');
  if (!WriteAllAt(fd, unmarked, JournalMarkOffset)) ::fsync(fd);
  ::close(fd);
}

// Writes the journal, marked and flushed, and its name into its folder: after this a crash
// at any moment of the write in place is finished at the next Lock. `mode`: the
// history's permissions, so that whoever may write the history may finish it.
std::error_code WriteJournal(const std::filesystem::path& target, std::string_view head, std::string_view body,
                             mode_t mode, std::filesystem::path& written) {
  std::error_code first;
  for (const std::filesystem::path& journal : JournalPlaces(target)) {
    const bool beside = journal.parent_path() == target.parent_path();
    if (!beside) {
      // The journals hold the user's histories: the user's alone.
      std::error_code ignored;
      if (std::filesystem::create_directories(journal.parent_path(), ignored)) {
        ::chmod(journal.parent_path().parent_path().c_str(), 0700);
        ::chmod(journal.parent_path().c_str(), 0700);
      }
    }
    const int fd = ::open(journal.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      if (!first) first = LastError();
      continue;
    }
    std::error_code ec;
    if (beside) ::fchmod(fd, mode & 0666);
    ec = WriteAllAt(fd, head, 0);
    if (!ec) ec = WriteAllAt(fd, body, static_cast<off_t>(head.size()));
    if (!ec && ::fsync(fd) != 0) ec = LastError();
    ::close(fd);
    if (ec) {
      ::unlink(journal.c_str());
      if (!first) first = ec;
      continue;
    }
    FlushFolder(FolderOf(journal));
    written = journal;
    return {};
  }
  return first ? first : Error(std::errc::no_such_file_or_directory);
}

// The journal's rules (durable_file_replay.h) on the history's open file.
class PosixJournalCalls final : public JournalCalls {
 public:
  explicit PosixJournalCalls(int fd) : fd_(fd) {}
  std::error_code Identify(std::uint64_t& device, std::uint64_t& file, std::uint64_t& size) override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return LastError();
    device = static_cast<std::uint64_t>(info.st_dev);
    file = static_cast<std::uint64_t>(info.st_ino);
    size = static_cast<std::uint64_t>(info.st_size);
    return {};
  }
  std::error_code ReadAt(std::uint64_t offset, std::size_t length, std::string& into) override {
    into.assign(length, '\0');
    std::size_t filled = 0;
    const std::error_code ec = ReadAllAt(fd_, into.data(), length, static_cast<off_t>(offset), filled);
    into.resize(filled);
    return ec;
  }
  std::error_code WriteAt(std::uint64_t offset, std::string_view bytes) override {
    return WriteAllAt(fd_, bytes, static_cast<off_t>(offset));
  }
  std::error_code Resize(std::uint64_t size) override {
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? std::error_code{} : LastError();
  }
  std::error_code Flush() override { return ::fsync(fd_) == 0 ? std::error_code{} : LastError(); }
  std::error_code ReadJournal(const std::filesystem::path& journal, std::string& bytes) override {
    struct stat there {};
    // None, or a data folder not ours.
    if (::lstat(journal.c_str(), &there) != 0) return Error(std::errc::no_such_file_or_directory);
    return ReadWhole(journal, bytes);
  }
  void Discard(const std::filesystem::path& journal) override { platform::Discard(journal); }
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }
  void Report(const std::string& text) override { platform::Report(text); }

 private:
  int fd_;
};

// A history made in a group folder with the setgid bit, which the group may write, is the
// class's: the group may write it too, whatever the umask of its first saver.
void ShareWithFolderGroup(int fd, const std::filesystem::path& target) {
  struct stat folder {
  }, mine{};
  if (::stat(FolderOf(target).c_str(), &folder) != 0 || (folder.st_mode & S_ISGID) == 0 ||
      (folder.st_mode & S_IWGRP) == 0 || ::fstat(fd, &mine) != 0 || mine.st_gid != folder.st_gid)
    return;
  ::fchmod(fd, (mine.st_mode & 07777) | S_IRGRP | S_IWGRP);
}

}  // namespace

LockedFile::~LockedFile() { Release(); }

void LockedFile::Release() {
  if (fd_ >= 0 && created_ && !written_) {
    // Remove the empty file this lock made, unless someone else's save has replaced it.
    struct stat mine {}, byName {};
    if (::fstat(fd_, &mine) == 0 && ::stat(target_.c_str(), &byName) == 0 && SameFile(mine, byName) &&
        byName.st_size == 0)
      ::unlink(target_.c_str());
  }
  CloseQuietly(replaced_);
  CloseQuietly(fd_);  // drops the lock
  created_ = written_ = writable_ = journalsLeft_ = false;
}

std::error_code LockedFile::Lock(const std::filesystem::path& name, LockMode mode) {
  Release();
  route_ = ReplaceRoute::None;
  target_ = ResolvedTarget(name);
  bool repaired = false;
  for (;;) {
    bool created = false;
    bool writable = false;
    int fd = -1;
    if (mode == LockMode::Exclusive) {
      // A file that may not be written is refused here, as a rename would replace even a
      // file the user made read-only.
      fd = ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
      if (fd < 0 && errno == ENOENT) {
        fd = ::open(target_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, NewFileMode);
        if (fd < 0 && errno == EEXIST) continue;  // another save made it just now
        created = fd >= 0;
      }
      writable = true;
    } else {
      fd = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) return LastError();
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      const std::error_code ec = S_ISDIR(info.st_mode) ? Error(std::errc::is_a_directory) : LastError();
      ::close(fd);
      return ec;
    }
    if (const std::error_code ec = WaitForLock(fd, mode)) {
      if (created) ::unlink(target_.c_str());
      ::close(fd);
      return ec;
    }
    // While we waited, another save may have renamed a new file over this one: the lock
    // that counts is the one on the file that now has the name.
    struct stat byName {};
    if (::stat(target_.c_str(), &byName) == 0 && SameFile(info, byName)) {
      if (mode == LockMode::Shared && !repaired && AnyJournal(target_)) {
        // Finished under the exclusive lock, for a moment, then read as usual. A reader
        // that may not write the file reads it as it is.
        ::close(fd);
        repaired = true;
        LockedFile repair;
        [[maybe_unused]] const std::error_code ignored = repair.Lock(target_, LockMode::Exclusive);
        continue;
      }
      if (created) ShareWithFolderGroup(fd, target_);
      if (mode == LockMode::Exclusive) {
        PosixJournalCalls calls(fd);
        ReplayJournals(calls, JournalPlaces(target_), target_);
      }
      // A reader that could not finish an interrupted save reads the history as its
      // journal finishes it, never torn.
      journalsLeft_ = mode == LockMode::Shared && repaired && AnyJournal(target_);
      fd_ = fd;
      created_ = created;
      writable_ = writable;
      return {};
    }
    ::close(fd);
  }
}

std::error_code LockedFile::Read(std::string& bytes) const {
  bytes.clear();
  if (fd_ < 0) return Error(std::errc::bad_file_descriptor);
  struct stat info {};
  if (::fstat(fd_, &info) != 0) return LastError();
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t filled = 0;
  if (const std::error_code ec = ReadAllAt(fd_, bytes.data(), bytes.size(), 0, filled)) {
    bytes.clear();
    return ec;
  }
  bytes.resize(filled);
  if (journalsLeft_) {
    PosixJournalCalls calls(fd_);
    if (const std::error_code ec = ReadThroughJournals(calls, JournalPlaces(target_), target_, bytes)) {
      bytes.clear();
      return ec;
    }
  }
  return {};
}

FileStamp LockedFile::Stamp() const {
  const int fd = replaced_ >= 0 ? replaced_ : fd_;
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) return {};
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = static_cast<std::uint64_t>(info.st_dev);
  stamp.file = static_cast<std::uint64_t>(info.st_ino);
  stamp.size = static_cast<std::uint64_t>(info.st_size);
#if defined(__APPLE__)
  stamp.modified = static_cast<std::int64_t>(info.st_mtimespec.tv_sec) * 1'000'000'000 + info.st_mtimespec.tv_nsec;
#else
  stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
#endif
  const std::size_t tail = std::min<std::size_t>(stamp.size, TailHashLength);
  std::string last(tail, '\0');
  std::size_t filled = 0;
  if (!ReadAllAt(fd, last.data(), tail, static_cast<off_t>(stamp.size - tail), filled)) last.resize(filled);
  stamp.tailHash = TailHash(last);
  return stamp;
}

namespace {

// Where the lock does not reach every writer, a temporary file this young may be another
// machine's save under way: removing it would fail that save.
constexpr auto YoungestStaleTemporary = std::chrono::minutes(10);

bool IsYoung(int dirFd, const char* name) {
  struct stat info {};
  if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  const auto age = std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(info.st_mtime);
  return age < YoungestStaleTemporary;
}

// Only with the exclusive lock held: then no save of ours is writing any of them, unless the
// lock stays on this machine (`locksReach` false), when only the old ones are surely stale.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& history, bool locksReach) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir))
    if (IsTemporaryOf(entry->d_name, history) && (locksReach || !IsYoung(dirFd, entry->d_name)) &&
        ::unlinkat(dirFd, entry->d_name, 0) != 0 && errno != ENOENT)
      Report("cannot remove the leftover temporary file " + Quoted(folder / entry->d_name) +
             " of an interrupted save (" + LastError().message() + "); its owner's next save removes it");
  ::closedir(dir);
}

// The crash-safe route. Fails, having removed its temporary file, whenever the new file
// could not be made just like the old one: the caller then writes in place.
std::error_code ReplaceByRename(const std::filesystem::path& target, const struct stat& old, std::string_view bytes,
                                int& newFile) {
  // Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) on "." + string.
  std::string name(".");
  name += target.filename().string();
  name += ".XXXXXX.tmp";
  std::string temp = (FolderOf(target) / name).string();
  const int fd = ::mkstemps(temp.data(), 4);
  if (fd < 0) return LastError();
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  // Who may read and write the history stays as it was. A rename by another member of a
  // shared folder would hand the file to that member (and lock its owner out), so a file
  // whose owner or group cannot be given is written in place instead.
  [[maybe_unused]] const int ownerKept = ::fchown(fd, old.st_uid, old.st_gid);
  std::error_code ec;
  if (::fchmod(fd, old.st_mode & 07777) != 0) ec = LastError();
  struct stat made {};
  if (!ec && ::fstat(fd, &made) != 0) ec = LastError();
  if (!ec && (made.st_uid != old.st_uid || made.st_gid != old.st_gid || (made.st_mode & 07777) != (old.st_mode & 07777)))
    ec = Error(std::errc::operation_not_permitted);
  if (!ec) ec = WriteAllAt(fd, bytes, 0);
  if (!ec && ::fsync(fd) != 0) ec = LastError();
  if (!ec && ::rename(temp.c_str(), target.c_str()) != 0) ec = LastError();
  if (ec) {
    ::unlink(temp.c_str());
    ::close(fd);
    return ec;
  }
  newFile = fd;
  FlushFolder(FolderOf(target));
  return {};
}

// Writes over the file itself, from the write's offset. The new bytes go first into a
// journal, so that a crash half way is finished at the next Lock; then the whole new size is
// reserved, so that a full disk stops the save before the old content is touched. Should a
// write fail half way all the same, the old bytes are put back as far as the disk lets us,
// and what cannot be is finished from the journal.
std::error_code WriteInPlace(int fd, const struct stat& old, const InPlaceWrite& write,
                             const std::filesystem::path& target) {
  const auto oldSize = static_cast<std::uint64_t>(old.st_size);
  const auto offset = static_cast<off_t>(write.header.offset);
  std::filesystem::path journal;
  if (const std::error_code ec =
          WriteJournal(target, JournalHead(write.header, write.fresh), write.fresh, old.st_mode, journal))
    Report("cannot keep a journal of the save of " + Quoted(target) + " (" + ec.message() +
           "); it is written in place without one, and a crash during the write may damage it");
  const auto forget = [&journal] {
    if (!journal.empty()) Discard(journal);
  };
  if (const std::error_code ec = Reserve(fd, oldSize, write.header.newSize)) {
    // Undo a size that grew before the disk ran out; the old bytes were not touched.
    [[maybe_unused]] const int shrunk = ::ftruncate(fd, static_cast<off_t>(oldSize));
    forget();
    return ec;
  }
  std::error_code ec = WriteAllAt(fd, write.fresh, offset);
  if (!ec && ::ftruncate(fd, static_cast<off_t>(write.header.newSize)) != 0) ec = LastError();
  if (!ec && ::fsync(fd) != 0) ec = LastError();
  if (!ec) {
    if (!journal.empty())
      Discard(journal, journal.parent_path() == target.parent_path() ? Removal::Lazy : Removal::Flushed);
    return {};
  }
  if (!WriteAllAt(fd, write.previousEnd, offset) && ::ftruncate(fd, static_cast<off_t>(oldSize)) == 0 &&
      ::fsync(fd) == 0)
    forget();
  return ec;
}

}  // namespace

std::error_code LockedFile::Replace(std::string_view bytes) {
  route_ = ReplaceRoute::None;
  if (fd_ < 0 || !writable_) return Error(std::errc::bad_file_descriptor);  // not locked, or for reading only
  struct stat old {};
  if (::fstat(fd_, &old) != 0) return LastError();
  RemoveStaleTemporaries(FolderOf(target_), target_.filename().string(), LocksWorkFor(target_));
  // A rename would part a file with several names from the others.
  if (old.st_nlink <= 1) {
    int newFile = -1;
    if (!ReplaceByRename(target_, old, bytes, newFile)) {
      CloseQuietly(replaced_);
      replaced_ = newFile;
      written_ = true;
      route_ = ReplaceRoute::Renamed;
      return {};
    }
  }
  std::string previous;
  if (const std::error_code ec = Read(previous)) return ec;
  previous.resize(std::min<std::size_t>(previous.size(), static_cast<std::size_t>(old.st_size)));
  const InPlaceWrite write = WholeInPlace(static_cast<std::uint64_t>(old.st_dev),
                                          static_cast<std::uint64_t>(old.st_ino), previous, bytes, target_);
  if (const std::error_code ec = WriteInPlace(fd_, old, write, target_)) return ec;
  written_ = true;
  route_ = ReplaceRoute::InPlace;
  return {};
}

std::error_code LockedFile::WriteEndInPlace(std::uint64_t keep, std::string_view end) {
  route_ = ReplaceRoute::None;
  if (fd_ < 0 || !writable_) return Error(std::errc::bad_file_descriptor);
  struct stat old {};
  if (::fstat(fd_, &old) != 0) return LastError();
  PosixJournalCalls calls(fd_);
  InPlaceWrite write;
  if (const std::error_code ec = EndInPlace(calls, keep, end, target_, write)) return ec;
  if (const std::error_code ec = WriteInPlace(fd_, old, write, target_)) return ec;
  written_ = true;
  route_ = ReplaceRoute::InPlace;
  return {};
}

// A lock of its own open file: flock locks belong to the open file, so this neither takes
// nor drops a lock this program holds on it through another handle. A lock granted by a
// mount that keeps it to itself does not count.
bool LocksWorkFor(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return true;
  int result = 0;
  do {
    result = ::flock(fd, LOCK_SH | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  const bool works = (result == 0 || !NoLocksHere(errno)) && !LocksStayOnThisMount(fd);
  ::close(fd);
  return works;
}

}  // namespace tecladim::platform
