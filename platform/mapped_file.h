#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// A whole file's bytes for reading, without copying them where the system can map the file
// into memory: copying a history of a million records into fresh memory costs the start-up
// several times what parsing it does. Plain C++: the core links it, not Qt.
namespace tecladim::platform {

class FileView {
 public:
  FileView() = default;
  ~FileView();
  FileView(FileView&& other) noexcept;
  FileView& operator=(FileView&& other) noexcept;
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;

  std::string_view Bytes() const { return bytes_; }

 private:
  friend std::error_code ViewWholeFile(const std::filesystem::path& name, FileView& view);
  void Release();

  std::string_view bytes_;
  void* mapping_ = nullptr;  // what to unmap, when the bytes are mapped
  std::string copy_;         // the bytes, where the file was read instead
};

// The file's bytes as they are when it is opened. Where they are mapped (POSIX), they are
// the file's own pages: the history is only ever replaced by a rename, which leaves them
// alone, while a program that shrank the file in place meanwhile would end this one.
// On failure the view is empty and the operating system's error is returned, as
// ReadWholeFile returns it.
std::error_code ViewWholeFile(const std::filesystem::path& name, FileView& view);

}  // namespace tecladim::platform
