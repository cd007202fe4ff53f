#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // SetFileInformationByHandle
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "platform/durable_file.h"
#include "platform/data_folder.h"

namespace tecladim::platform {
namespace {

// ReadFile and WriteFile take a 32-bit count; larger files go in pieces of this size.
constexpr DWORD MaxChunk = 1u << 30;
// The lock is taken on one byte far beyond any history's end: Windows locks keep others
// from reading the bytes they cover, and readers must be able to read the file.
constexpr std::uint64_t LockOffset = 1ull << 62;
constexpr auto LockPollLongest = std::chrono::milliseconds(50);
constexpr int TempNameAttempts = 100;
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::error_code LastError() { return {static_cast<int>(::GetLastError()), std::system_category()}; }
std::error_code Win32Error(DWORD code) { return {static_cast<int>(code), std::system_category()}; }

HANDLE AsHandle(void* h) { return static_cast<HANDLE>(h); }

void CloseQuietly(void*& h) {
  if (AsHandle(h) != INVALID_HANDLE_VALUE) ::CloseHandle(AsHandle(h));
  h = INVALID_HANDLE_VALUE;
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED place{};
  place.Offset = static_cast<DWORD>(offset);
  place.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return place;
}

std::error_code WriteAllAt(HANDLE file, std::string_view bytes, std::uint64_t offset) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > MaxChunk ? MaxChunk : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    OVERLAPPED place = At(offset);
    if (!::WriteFile(file, bytes.data(), chunk, &written, &place)) return LastError();
    bytes.remove_prefix(written);
    offset += written;
  }
  return {};
}

std::error_code ReadAllAt(HANDLE file, char* into, std::size_t size, std::uint64_t offset, std::size_t& filled) {
  filled = 0;
  while (filled < size) {
    const std::size_t left = size - filled;
    const DWORD chunk = left > MaxChunk ? MaxChunk : static_cast<DWORD>(left);
    DWORD got = 0;
    OVERLAPPED place = At(offset + filled);
    if (!::ReadFile(file, into + filled, chunk, &got, &place)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return LastError();
    }
    if (got == 0) break;  // the file shrank since its size was taken
    filled += got;
  }
  return {};
}

bool Identify(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) { return ::GetFileInformationByHandle(file, &info) != 0; }

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

std::uint64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

// Whether the file that now has the name is the one behind `file`.
bool NameStillMeans(const std::filesystem::path& name, HANDLE file) {
  HANDLE byName = ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (byName == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  const bool same = Identify(file, a) && Identify(byName, b) && SameFile(a, b);
  ::CloseHandle(byName);
  return same;
}

std::error_code WaitForLock(HANDLE file, LockMode mode) {
  const DWORD flags = (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY;
  const auto giveUp = std::chrono::steady_clock::now() + LockWaitLimit();
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    OVERLAPPED place = At(LockOffset);
    if (::LockFileEx(file, flags, 0, 1, 0, &place)) return {};
    const DWORD error = ::GetLastError();
    // A share without locks: the history is then used as before, unlocked, rather than not at all.
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return {};
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) return Win32Error(error);
    if (std::chrono::steady_clock::now() >= giveUp) return Win32Error(ERROR_LOCK_VIOLATION);
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, LockPollLongest);
  }
}

std::string Utf8(const std::filesystem::path& name) {
  const std::u8string text = name.u8string();
  return std::string(text.begin(), text.end());
}

void RemoveStaleTemporaries(const std::filesystem::path& target) {
  const std::filesystem::path folder = target.parent_path();
  const std::string history = Utf8(target.filename());
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder / L"*.tmp*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::filesystem::path leftover = folder / found.cFileName;
    if (IsTemporaryOf(Utf8(found.cFileName), history) && !::DeleteFileW(leftover.c_str()) &&
        ::GetLastError() != ERROR_FILE_NOT_FOUND)
      std::fprintf(stderr, "tecladim: cannot remove the leftover temporary file \"%s\" of an interrupted save (%s)\n",
                   Utf8(leftover).c_str(), LastError().message().c_str());
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

std::wstring RandomName() {
  static constexpr wchar_t Letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::wstring name;
  for (int i = 0; i < 6; ++i) name += Letters[seed() % (sizeof(Letters) / sizeof(Letters[0]) - 1)];
  return name;
}

// The crash-safe route; the new file takes the folder's inherited permissions, as the old
// one did. Fails, having removed its temporary file, when the file cannot be renamed over
// (a folder that may not be written, a file held open by another program).
std::error_code ReplaceByRename(const std::filesystem::path& target, std::string_view bytes, void*& newFile) {
  std::filesystem::path temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < TempNameAttempts && created == INVALID_HANDLE_VALUE; ++attempt) {
    temp = target.parent_path() / (L"." + target.filename().wstring() + L"." + RandomName() + L".tmp");
    created = ::CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, ShareAll, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return LastError();
  }
  if (created == INVALID_HANDLE_VALUE) return LastError();
  std::error_code ec = WriteAllAt(created, bytes, 0);
  if (!ec && !::FlushFileBuffers(created)) ec = LastError();
  if (!ec && !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ec = LastError();
  if (ec) {
    ::CloseHandle(created);
    ::DeleteFileW(temp.c_str());
    return ec;
  }
  newFile = created;
  return {};
}

std::error_code SetEnd(HANDLE file, std::uint64_t size) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  return ::SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) ? std::error_code{} : LastError();
}

// Writes over the file itself once the disk has given room for the whole new size
// (allocated without changing the file's visible end).
std::error_code WriteInPlace(HANDLE file, std::uint64_t oldSize, std::string_view bytes, const LockedFile& locked) {
  if (bytes.size() > oldSize) {
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (!::SetFileInformationByHandle(file, FileAllocationInfo, &room, sizeof room)) return LastError();
  }
  std::string previous;
  if (const std::error_code ec = locked.Read(previous)) return ec;
  std::error_code ec = WriteAllAt(file, bytes, 0);
  if (!ec) ec = SetEnd(file, bytes.size());
  if (!ec && !::FlushFileBuffers(file)) ec = LastError();
  if (ec && !WriteAllAt(file, previous, 0) && !SetEnd(file, oldSize)) ::FlushFileBuffers(file);
  return ec;
}

}  // namespace

LockedFile::~LockedFile() { Release(); }

void LockedFile::Release() {
  if (AsHandle(handle_) != INVALID_HANDLE_VALUE && created_ && !written_) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (Identify(AsHandle(handle_), info) && SizeOf(info) == 0 && NameStillMeans(target_, AsHandle(handle_)))
      ::DeleteFileW(target_.c_str());
  }
  CloseQuietly(replaced_);
  CloseQuietly(handle_);  // drops the lock
  created_ = written_ = writable_ = journalsLeft_ = false;
}

std::error_code LockedFile::Lock(const std::filesystem::path& name, LockMode mode) {
  Release();
  route_ = ReplaceRoute::None;
  target_ = name;
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  // A folder in the way can never be replaced; say so before anything else.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return Win32Error(ERROR_ACCESS_DENIED);
  for (;;) {
    bool created = false;
    bool writable = false;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (mode == LockMode::Exclusive) {
      file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, ShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, ShareAll, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) continue;
        created = file != INVALID_HANDLE_VALUE;
      }
      writable = true;  // a read-only file failed to open above, as a rename would replace it all the same
    } else {
      file = ::CreateFileW(name.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) return LastError();
    if (const std::error_code ec = WaitForLock(file, mode)) {
      if (created) ::DeleteFileW(name.c_str());
      ::CloseHandle(file);
      return ec;
    }
    if (NameStillMeans(name, file)) {
      handle_ = file;
      created_ = created;
      writable_ = writable;
      return {};
    }
    ::CloseHandle(file);
  }
}

std::error_code LockedFile::Read(std::string& bytes) const {
  bytes.clear();
  BY_HANDLE_FILE_INFORMATION info{};
  if (!Identify(AsHandle(handle_), info)) return LastError();
  bytes.resize(static_cast<std::size_t>(SizeOf(info)));
  std::size_t filled = 0;
  if (const std::error_code ec = ReadAllAt(AsHandle(handle_), bytes.data(), bytes.size(), 0, filled)) {
    bytes.clear();
    return ec;
  }
  bytes.resize(filled);
  return {};
}

FileStamp LockedFile::Stamp() const {
  const HANDLE file = AsHandle(replaced_) != INVALID_HANDLE_VALUE ? AsHandle(replaced_) : AsHandle(handle_);
  BY_HANDLE_FILE_INFORMATION info{};
  if (file == INVALID_HANDLE_VALUE || !Identify(file, info)) return {};
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = info.dwVolumeSerialNumber;
  stamp.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  stamp.size = SizeOf(info);
  stamp.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                             info.ftLastWriteTime.dwLowDateTime);
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(stamp.size, TailHashLength));
  std::string last(tail, '\0');
  std::size_t filled = 0;
  if (!ReadAllAt(file, last.data(), tail, stamp.size - tail, filled)) last.resize(filled);
  stamp.tailHash = TailHash(last);
  return stamp;
}

std::error_code LockedFile::Replace(std::string_view bytes) {
  route_ = ReplaceRoute::None;
  const HANDLE file = AsHandle(handle_);
  if (file == INVALID_HANDLE_VALUE) return Win32Error(ERROR_INVALID_HANDLE);
  if (!writable_) return Win32Error(ERROR_INVALID_HANDLE);  // locked for reading only
  BY_HANDLE_FILE_INFORMATION old{};
  if (!Identify(file, old)) return LastError();
  RemoveStaleTemporaries(target_);
  if (old.nNumberOfLinks <= 1) {
    void* newFile = INVALID_HANDLE_VALUE;
    if (!ReplaceByRename(target_, bytes, newFile)) {
      CloseQuietly(replaced_);
      replaced_ = newFile;
      written_ = true;
      route_ = ReplaceRoute::Renamed;
      return {};
    }
  }
  if (const std::error_code ec = WriteInPlace(file, SizeOf(old), bytes, *this)) return ec;
  written_ = true;
  route_ = ReplaceRoute::InPlace;
  return {};
}


// Every local and SMB file system of Windows has byte-range locks.
bool LocksWorkFor(const std::filesystem::path&) { return true; }

}  // namespace tecladim::platform
