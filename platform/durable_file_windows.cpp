#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // SetFileInformationByHandle
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/durable_file.h"
#include "platform/durable_file_journal.h"
#include "platform/durable_file_replay.h"

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
  const auto started = std::chrono::steady_clock::now();
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    OVERLAPPED place = At(LockOffset);
    if (::LockFileEx(file, flags, 0, 1, 0, &place)) return {};
    const DWORD error = ::GetLastError();
    // A share without locks: the history is then used as before, unlocked, rather than not at all.
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return {};
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) return Win32Error(error);
    // Asked each time: a limit cut meanwhile (the session's or the program's end) counts.
    if (std::chrono::steady_clock::now() >= started + LockWaitLimit()) return Win32Error(ERROR_LOCK_VIOLATION);
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, LockPollLongest);
  }
}

// What a person should know and no window shows: said once on standard error.
void Report(const std::string& text) { std::fprintf(stderr, "tecladim: %s\n", text.c_str()); }

bool Exists(const std::filesystem::path& name) { return ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool NotThere(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool AnyJournal(const std::filesystem::path& target) {
  for (const std::filesystem::path& journal : JournalPlaces(target))
    if (Exists(journal)) return true;
  return false;
}

std::error_code ReadWhole(const std::filesystem::path& name, std::string& bytes) {
  const HANDLE file =
      ::CreateFileW(name.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return NotThere(error) ? std::make_error_code(std::errc::no_such_file_or_directory) : Win32Error(error);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  std::error_code ec;
  if (!Identify(file, info)) ec = LastError();
  if (!ec && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) ec = Win32Error(ERROR_ACCESS_DENIED);
  if (!ec) {
    std::size_t filled = 0;
    bytes.resize(static_cast<std::size_t>(SizeOf(info)));
    ec = ReadAllAt(file, bytes.data(), bytes.size(), 0, filled);
    bytes.resize(filled);
  }
  ::CloseHandle(file);
  return ec;
}

// A journal that is done with. One that may not be removed loses its mark instead, which
// makes it a journal of a write that never started.
void Discard(const std::filesystem::path& journal) {
  if (::DeleteFileW(journal.c_str()) || NotThere(::GetLastError())) return;
  const HANDLE file =
      ::CreateFileW(journal.c_str(), GENERIC_WRITE, ShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string unmarked(JournalMark().size(), '\0');
  if (!WriteAllAt(file, unmarked, JournalMarkOffset)) ::FlushFileBuffers(file);
  ::CloseHandle(file);
}

std::error_code SetEnd(HANDLE file, std::uint64_t size) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  return ::SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) ? std::error_code{} : LastError();
}

// The journal's rules (durable_file_replay.h) on the history's open handle.
class WindowsJournalCalls final : public JournalCalls {
 public:
  explicit WindowsJournalCalls(HANDLE file) : file_(file) {}
  std::error_code Identify(std::uint64_t& device, std::uint64_t& file, std::uint64_t& size) override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!platform::Identify(file_, info)) return LastError();
    device = info.dwVolumeSerialNumber;
    file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    size = SizeOf(info);
    return {};
  }
  std::error_code ReadAt(std::uint64_t offset, std::size_t length, std::string& into) override {
    into.assign(length, '\0');
    std::size_t filled = 0;
    const std::error_code ec = ReadAllAt(file_, into.data(), length, offset, filled);
    into.resize(filled);
    return ec;
  }
  std::error_code WriteAt(std::uint64_t offset, std::string_view bytes) override {
    return WriteAllAt(file_, bytes, offset);
  }
  std::error_code Resize(std::uint64_t size) override { return SetEnd(file_, size); }
  std::error_code Flush() override { return ::FlushFileBuffers(file_) ? std::error_code{} : LastError(); }
  std::error_code ReadJournal(const std::filesystem::path& journal, std::string& bytes) override {
    return ReadWhole(journal, bytes);
  }
  void Discard(const std::filesystem::path& journal) override { platform::Discard(journal); }
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  void Report(const std::string& text) override { platform::Report(text); }

 private:
  HANDLE file_;
};

// Writes the journal, marked and flushed: after this a crash at any moment of the write in
// place is finished at the next Lock. The journal beside the history takes the
// folder's inherited permissions, as the history does.
std::error_code WriteJournal(const std::filesystem::path& target, std::string_view head, std::string_view body,
                             std::filesystem::path& written) {
  std::error_code first;
  for (const std::filesystem::path& journal : JournalPlaces(target)) {
    if (journal.parent_path() != target.parent_path()) {
      std::error_code ignored;
      std::filesystem::create_directories(journal.parent_path(), ignored);
    }
    const HANDLE file = ::CreateFileW(journal.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (!first) first = LastError();
      continue;
    }
    std::error_code ec = WriteAllAt(file, head, 0);
    if (!ec) ec = WriteAllAt(file, body, head.size());
    if (!ec && !::FlushFileBuffers(file)) ec = LastError();
    ::CloseHandle(file);
    if (ec) {
      ::DeleteFileW(journal.c_str());
      if (!first) first = ec;
      continue;
    }
    written = journal;
    return {};
  }
  return first ? first : std::make_error_code(std::errc::no_such_file_or_directory);
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

// Who may use the file, where a rename would change it: the new file would belong to this
// user and carry only what the folder hands down. A file of another owner, or with
// permissions of its own (explicit or protected from the folder's), is written in place.
bool RenameKeepsPermissions(HANDLE file) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  bool keeps = true;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!::GetSecurityDescriptorControl(descriptor, &control, &revision) || (control & SE_DACL_PROTECTED) != 0)
    keeps = false;
  for (DWORD i = 0; keeps && dacl != nullptr && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    keeps = ::GetAce(dacl, i, &ace) && (static_cast<ACE_HEADER*>(ace)->AceFlags & INHERITED_ACE) != 0;
  }
  // A file system without owners (FAT on a memory stick) has nothing a rename could lose.
  if (keeps && owner != nullptr) {
    HANDLE token = nullptr;
    keeps = false;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
      DWORD size = 0;
      ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
      std::string buffer(size, '\0');
      if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        keeps = ::EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) != 0;
      ::CloseHandle(token);
    }
  }
  ::LocalFree(descriptor);
  return keeps;
}

// Writes over the file itself, from the write's offset. The new bytes go first into a
// journal, so that a crash half way is finished at the next Lock; then the disk gives room
// for the whole new size (allocated without moving the file's visible end), so that a full
// disk stops the save before the old content is touched. Should a write fail half way all
// the same, the old bytes are put back as far as the disk lets us, and what cannot be is
// finished from the journal.
std::error_code WriteInPlace(HANDLE file, const BY_HANDLE_FILE_INFORMATION& old, const InPlaceWrite& write,
                             const std::filesystem::path& target) {
  const std::uint64_t oldSize = SizeOf(old);
  const std::uint64_t offset = write.header.offset;
  std::filesystem::path journal;
  if (const std::error_code ec = WriteJournal(target, JournalHead(write.header, write.fresh), write.fresh, journal))
    Report("cannot keep a journal of the save of " + QuotedPath(target) + " (" + ec.message() +
           "); it is written in place without one, and a crash during the write may damage it");
  const auto forget = [&journal] {
    if (!journal.empty()) Discard(journal);
  };
  if (write.header.newSize > oldSize) {
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize.QuadPart = static_cast<LONGLONG>(write.header.newSize);
    if (!::SetFileInformationByHandle(file, FileAllocationInfo, &room, sizeof room)) {
      const std::error_code ec = LastError();
      forget();
      return ec;
    }
  }
  std::error_code ec = WriteAllAt(file, write.fresh, offset);
  if (!ec) ec = SetEnd(file, write.header.newSize);
  if (!ec && !::FlushFileBuffers(file)) ec = LastError();
  if (!ec) {
    forget();
    return {};
  }
  if (!WriteAllAt(file, write.previousEnd, offset) && !SetEnd(file, oldSize) && ::FlushFileBuffers(file)) forget();
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
  bool repaired = false;
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
      if (mode == LockMode::Shared && !repaired && AnyJournal(target_)) {
        // Finished under the exclusive lock, for a moment, then read as usual.
        ::CloseHandle(file);
        repaired = true;
        LockedFile repair;
        [[maybe_unused]] const std::error_code ignored = repair.Lock(target_, LockMode::Exclusive);
        continue;
      }
      if (mode == LockMode::Exclusive) {
        WindowsJournalCalls calls(file);
        ReplayJournals(calls, JournalPlaces(target_), target_);
      }
      // A reader that could not finish an interrupted save reads the history as its
      // journal finishes it, never torn.
      journalsLeft_ = mode == LockMode::Shared && repaired && AnyJournal(target_);
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
  if (journalsLeft_) {
    WindowsJournalCalls calls(AsHandle(handle_));
    if (const std::error_code ec = ReadThroughJournals(calls, JournalPlaces(target_), target_, bytes)) {
      bytes.clear();
      return ec;
    }
  }
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
  // Not locked, or for reading only.
  if (file == INVALID_HANDLE_VALUE || !writable_) return Win32Error(ERROR_INVALID_HANDLE);
  BY_HANDLE_FILE_INFORMATION old{};
  if (!Identify(file, old)) return LastError();
  RemoveStaleTemporaries(target_);
  // A rename would part a file with several names from the others, and hand the file to
  // this user with the folder's permissions only.
  if (old.nNumberOfLinks <= 1 && RenameKeepsPermissions(file)) {
    void* newFile = INVALID_HANDLE_VALUE;
    if (!ReplaceByRename(target_, bytes, newFile)) {
      CloseQuietly(replaced_);
      replaced_ = newFile;
      written_ = true;
      route_ = ReplaceRoute::Renamed;
      return {};
    }
  }
  std::string previous;
  if (const std::error_code ec = Read(previous)) return ec;
  previous.resize(static_cast<std::size_t>(std::min<std::uint64_t>(previous.size(), SizeOf(old))));
  const InPlaceWrite write =
      WholeInPlace(old.dwVolumeSerialNumber, (static_cast<std::uint64_t>(old.nFileIndexHigh) << 32) | old.nFileIndexLow,
                   previous, bytes, target_);
  if (const std::error_code ec = WriteInPlace(file, old, write, target_)) return ec;
  written_ = true;
  route_ = ReplaceRoute::InPlace;
  return {};
}

std::error_code LockedFile::WriteEndInPlace(std::uint64_t keep, std::string_view end) {
  route_ = ReplaceRoute::None;
  const HANDLE file = AsHandle(handle_);
  if (file == INVALID_HANDLE_VALUE || !writable_) return Win32Error(ERROR_INVALID_HANDLE);
  BY_HANDLE_FILE_INFORMATION old{};
  if (!Identify(file, old)) return LastError();
  WindowsJournalCalls calls(file);
  InPlaceWrite write;
  if (const std::error_code ec = EndInPlace(calls, keep, end, target_, write)) return ec;
  if (const std::error_code ec = WriteInPlace(file, old, write, target_)) return ec;
  written_ = true;
  route_ = ReplaceRoute::InPlace;
  return {};
}

// Every local and SMB file system of Windows has byte-range locks.
bool LocksWorkFor(const std::filesystem::path&) { return true; }

}  // namespace tecladim::platform
