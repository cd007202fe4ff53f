#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/mapped_file.h"

namespace tecladim::platform {

FileView::~FileView() { Release(); }

FileView::FileView(FileView&& other) noexcept { *this = std::move(other); }

FileView& FileView::operator=(FileView&& other) noexcept {
  if (this == &other) return *this;
  Release();
  copy_ = std::move(other.copy_);
  mapping_ = std::exchange(other.mapping_, nullptr);
  bytes_ = mapping_ != nullptr ? std::exchange(other.bytes_, {}) : std::string_view(copy_);
  other.bytes_ = {};
  return *this;
}

void FileView::Release() {
  if (mapping_ != nullptr) ::munmap(mapping_, bytes_.size());
  mapping_ = nullptr;
  bytes_ = {};
  copy_.clear();
}

std::error_code ViewWholeFile(const std::filesystem::path& name, FileView& view) {
  view.Release();
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {errno, std::system_category()};
  struct stat info {};
  std::error_code ec;
  if (::fstat(fd, &info) != 0) {
    ec = {errno, std::system_category()};
  } else if (S_ISDIR(info.st_mode)) {
    ec = std::make_error_code(std::errc::is_a_directory);
  } else if (S_ISREG(info.st_mode) && info.st_size > 0) {
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;  // one pass over the pages instead of a fault per page
#endif
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, size, PROT_READ, flags, fd, 0);
    if (mapped == MAP_FAILED) {
      ec = {errno, std::system_category()};
    } else {
      view.mapping_ = mapped;
      view.bytes_ = std::string_view(static_cast<const char*>(mapped), size);
    }
  }
  // An empty file, or anything but a file (a pipe), reads as empty, as ReadWholeFile reads it.
  ::close(fd);
  return ec;
}

}  // namespace tecladim::platform
