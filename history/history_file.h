#pragma once
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/durable_file.h"

// The history file on disk and the errors of the history store. The packet's content and
// its reader's errors (PacketError) are in history/packet.h.
namespace tecladim::history {

enum class HistoryErrorKind {
  FieldNotFound,     // "cds1: Field 'licao' not found"
  TypeMismatch,      // "cds1: Type mismatch for field 'erros', expecting: Integer actual: String"
  ClosedDataset,     // "cds1: Cannot perform this operation on a closed dataset"
  OpenDataset,       // "cds1: Cannot perform this operation on an open dataset"
  NotEditing,        // "cds1: Dataset not in edit or insert mode"
  CannotOpenFile,    // "Cannot open file "<full path>". <system text>"
  CannotCreateFile,  // "Cannot create file "<full path>". <system text>"
};

// An error of the history store or its file, carrying the exact text the error display shows
// (the display adds the final full stop) and, for a file that could not be opened or
// created, the system's error, so that another program can word it in its own language.
class HistoryError : public std::runtime_error {
 public:
  HistoryError(HistoryErrorKind kind, const std::string& text, std::error_code cause = {})
      : std::runtime_error(text), kind_(kind), cause_(cause) {}
  HistoryErrorKind kind() const { return kind_; }
  std::error_code cause() const { return cause_; }

 private:
  HistoryErrorKind kind_;
  std::error_code cause_;
};

// The history file held under its lock for one load or one save, so that programs sharing
// a history never read half of another's save nor save over each other at once.
class HistoryFile {
 public:
  enum class Use { Load, Save };
  // Waits for the lock: shared to load (throws HistoryError CannotOpenFile), exclusive to
  // save (throws HistoryError CannotCreateFile; a missing file is created empty).
  HistoryFile(const std::filesystem::path& name, Use use);

  // The whole file's bytes. Throws HistoryError CannotOpenFile.
  std::string Read() const;
  // Whether the file changed is told by comparing stamps (see platform/durable_file.h).
  platform::FileStamp Stamp() const { return file_.Stamp(); }
  // Replaces the file by `bytes`: a failure leaves the old file as it was wherever that can
  // be known before writing (see platform/durable_file.h). Throws HistoryError CannotCreateFile.
  void Replace(std::string_view bytes);
  // Keeps the first `keep` bytes and writes `end` after them (platform::LockedFile::ReplaceEnd).
  void ReplaceEnd(std::uint64_t keep, std::string_view end);
  platform::ReplaceRoute LastRoute() const { return file_.LastRoute(); }

 private:
  std::filesystem::path name_;
  platform::LockedFile file_;
};

// The whole file's bytes, read at once under the shared lock. Throws HistoryError CannotOpenFile.
std::string ReadHistoryFile(const std::filesystem::path& name);

// Replaces the whole file under the exclusive lock. Throws HistoryError CannotCreateFile.
void WriteHistoryFile(const std::filesystem::path& name, std::string_view bytes);

// The name resolved against the working directory, as the file errors show it (UTF-8).
std::string FullPathText(const std::filesystem::path& name);

}  // namespace tecladim::history
