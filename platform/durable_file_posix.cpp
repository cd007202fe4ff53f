#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/durable_file.h"

namespace tecladim::platform {
namespace {

constexpr mode_t NewFileMode = 0666;  // narrowed by the umask, like any newly created file
// A save of a large history holds the lock for a second or two; a program that holds it far
// longer is stuck, and the waiting save gives up with an error rather than hang the window.
constexpr auto DefaultLockWaitLimit = std::chrono::seconds(30);
std::atomic<std::chrono::milliseconds::rep> lockWaitLimitMs{
    std::chrono::duration_cast<std::chrono::milliseconds>(DefaultLockWaitLimit).count()};
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
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(lockWaitLimitMs.load());
  auto pause = std::chrono::duration_cast<std::chrono::microseconds>(LockPollFirst);
  while (::flock(fd, operation) != 0) {
    if (errno == EINTR) continue;
    // Some network and user-space file systems have no locks: the history is then used as
    // before, unlocked, rather than not at all.
    if (NoLocksHere(errno)) return {};
    if (errno != EWOULDBLOCK) return LastError();
    if (std::chrono::steady_clock::now() >= giveUp) return Error(std::errc::resource_unavailable_try_again);
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
  created_ = written_ = writable_ = false;
}

std::error_code LockedFile::Lock(const std::filesystem::path& name, LockMode mode) {
  Release();
  route_ = ReplaceRoute::None;
  target_ = ResolvedTarget(name);
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

// Only with the exclusive lock held: then no save of ours is writing any of them.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& history) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir))
    if (IsTemporaryOf(entry->d_name, history)) ::unlinkat(dirFd, entry->d_name, 0);
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

// Writes over the file itself, once its whole new size is reserved. Should a write fail
// half way all the same, the old bytes are put back as far as the disk lets us.
std::error_code WriteInPlace(int fd, const struct stat& old, std::string_view bytes, const LockedFile& file) {
  const auto oldSize = static_cast<std::uint64_t>(old.st_size);
  if (const std::error_code ec = Reserve(fd, oldSize, bytes.size())) {
    // Undo a size that grew before the disk ran out; the old bytes were not touched.
    [[maybe_unused]] const int shrunk = ::ftruncate(fd, static_cast<off_t>(oldSize));
    return ec;
  }
  std::string previous;
  if (const std::error_code ec = file.Read(previous)) return ec;
  previous.resize(std::min<std::size_t>(previous.size(), oldSize));
  std::error_code ec = WriteAllAt(fd, bytes, 0);
  if (!ec && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) ec = LastError();
  if (!ec && ::fsync(fd) != 0) ec = LastError();
  if (ec && !WriteAllAt(fd, previous, 0) && ::ftruncate(fd, static_cast<off_t>(oldSize)) == 0) ::fsync(fd);
  return ec;
}

}  // namespace

std::error_code LockedFile::Replace(std::string_view bytes) {
  route_ = ReplaceRoute::None;
  if (fd_ < 0) return Error(std::errc::bad_file_descriptor);
  if (!writable_) return Error(std::errc::bad_file_descriptor);  // locked for reading only
  struct stat old {};
  if (::fstat(fd_, &old) != 0) return LastError();
  RemoveStaleTemporaries(FolderOf(target_), target_.filename().string());
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
  const std::error_code ec = WriteInPlace(fd_, old, bytes, *this);
  if (ec) return ec;
  written_ = true;
  route_ = ReplaceRoute::InPlace;
  return {};
}

void SetLockWaitLimit(std::chrono::milliseconds limit) { lockWaitLimitMs.store(limit.count()); }

// A lock of its own open file: flock locks belong to the open file, so this neither takes
// nor drops a lock this program holds on it through another handle.
bool LocksWorkFor(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return true;
  int result = 0;
  do {
    result = ::flock(fd, LOCK_SH | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  const bool works = result == 0 || !NoLocksHere(errno);
  ::close(fd);
  return works;
}

}  // namespace tecladim::platform
