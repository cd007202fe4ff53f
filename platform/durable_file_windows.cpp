#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "platform/durable_file.h"

namespace tecladim::platform {
namespace {

// Stale temporary files of a crashed run may share our process id; a few other names are tried.
constexpr int TempNameAttempts = 100;
// ReadFile and WriteFile take a 32-bit count; larger files go in pieces of this size.
constexpr DWORD MaxChunk = 1u << 30;

std::error_code LastError() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

// Closes a handle once, on every path out of a function.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) ::CloseHandle(h_);
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  std::error_code Close() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(h) ? std::error_code{} : LastError();
  }

 private:
  HANDLE h_;
};

std::error_code WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > MaxChunk ? MaxChunk : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return LastError();
    bytes.remove_prefix(written);
  }
  return {};
}

}  // namespace

std::error_code ReadWholeFile(const std::filesystem::path& name, std::string& bytes) {
  bytes.clear();
  Handle file(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return LastError();
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return LastError();
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const std::size_t left = bytes.size() - filled;
    const DWORD chunk = left > MaxChunk ? MaxChunk : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + filled, chunk, &got, nullptr)) {
      const std::error_code ec = LastError();
      bytes.clear();
      return ec;
    }
    if (got == 0) break;  // the file shrank since its size was taken
    filled += got;
  }
  bytes.resize(filled);
  return {};
}

std::error_code ReplaceFileDurably(const std::filesystem::path& target, std::string_view bytes) {
  const DWORD oldAttributes = ::GetFileAttributesW(target.c_str());
  // A folder in the way can never be replaced; say so before writing anything.
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return {ERROR_ACCESS_DENIED, std::system_category()};

  std::filesystem::path temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < TempNameAttempts && created == INVALID_HANDLE_VALUE; ++attempt) {
    temp = target;
    temp += L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
    // The new file takes the folder's inherited permissions, as the old one did.
    created = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return LastError();
  }
  if (created == INVALID_HANDLE_VALUE) return LastError();
  Handle file(created);

  std::error_code ec = WriteAll(file.get(), bytes);
  if (!ec && !::FlushFileBuffers(file.get())) ec = LastError();
  const std::error_code closeError = file.Close();
  if (!ec) ec = closeError;
  // A read-only or locked target makes this fail, and the old file stays as it was.
  if (!ec && !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ec = LastError();
  if (ec) {
    ::DeleteFileW(temp.c_str());
    return ec;
  }
  return {};
}

}  // namespace tecladim::platform
