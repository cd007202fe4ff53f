#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/durable_file.h"

namespace tecladim::platform {
namespace {

// Stale temporary files of a crashed run may share our process id; a few other names are tried.
constexpr int TempNameAttempts = 100;
constexpr mode_t NewFileMode = 0666;  // narrowed by the umask, like any newly created file

std::error_code LastError() { return {errno, std::system_category()}; }

// Closes a descriptor once, on every path out of a function.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now, reporting the error that a delayed write may only show here.
  std::error_code Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? std::error_code{} : LastError();
  }

 private:
  int fd_;
};

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
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

// Makes the rename itself survive a crash; the data is already safe without it.
void FlushFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::error_code ReadWholeFile(const std::filesystem::path& name, std::string& bytes) {
  bytes.clear();
  Descriptor file(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return LastError();
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return LastError();
  if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t n = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      const std::error_code ec = LastError();
      bytes.clear();
      return ec;
    }
    if (n == 0) break;  // the file shrank since fstat
    filled += static_cast<std::size_t>(n);
  }
  bytes.resize(filled);
  return {};
}

std::error_code ReplaceFileDurably(const std::filesystem::path& requested, std::string_view bytes) {
  const std::filesystem::path target = ResolvedTarget(requested);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  struct stat old {};
  const bool oldExists = ::stat(target.c_str(), &old) == 0;
  // A folder in the way can never be replaced; say so before writing anything.
  if (oldExists && S_ISDIR(old.st_mode)) return std::make_error_code(std::errc::is_a_directory);
  // Renaming would replace even a file the user made read-only; it is refused like a write.
  if (oldExists && ::access(target.c_str(), W_OK) != 0) return LastError();

  std::filesystem::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < TempNameAttempts && fd < 0; ++attempt) {
    temp = target;
    temp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, NewFileMode);
    if (fd < 0 && errno != EEXIST) return LastError();
  }
  if (fd < 0) return LastError();
  Descriptor file(fd);

  std::error_code ec;
  if (oldExists) {
    // Keep who may read and write the history; an owner we may not give is no failure.
    if (::fchmod(file.get(), old.st_mode & 07777) != 0) ec = LastError();
    [[maybe_unused]] const int ownerKept = ::fchown(file.get(), old.st_uid, old.st_gid);
  }
  if (!ec) ec = WriteAll(file.get(), bytes);
  if (!ec && ::fsync(file.get()) != 0) ec = LastError();
  const std::error_code closeError = file.Close();
  if (!ec) ec = closeError;
  if (!ec && ::rename(temp.c_str(), target.c_str()) != 0) ec = LastError();
  if (ec) {
    ::unlink(temp.c_str());
    return ec;
  }
  FlushFolder(folder);
  return {};
}

}  // namespace tecladim::platform
