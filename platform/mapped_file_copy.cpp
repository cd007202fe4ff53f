#include <utility>

#include "platform/durable_file.h"
#include "platform/mapped_file.h"

// Where the file is not mapped (Windows): its bytes are read into the view.
namespace tecladim::platform {

FileView::~FileView() = default;

FileView::FileView(FileView&& other) noexcept { *this = std::move(other); }

FileView& FileView::operator=(FileView&& other) noexcept {
  if (this == &other) return *this;
  copy_ = std::move(other.copy_);
  bytes_ = copy_;
  other.Release();
  return *this;
}

void FileView::Release() {
  copy_.clear();
  bytes_ = {};
}

std::error_code ViewWholeFile(const std::filesystem::path& name, FileView& view) {
  view.Release();
  const std::error_code ec = ReadWholeFile(name, view.copy_);
  view.bytes_ = view.copy_;
  return ec;
}

}  // namespace tecladim::platform
