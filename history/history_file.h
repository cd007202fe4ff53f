#pragma once
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/mapped_file.h"

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
// (the display adds the final full stop).
class HistoryError : public std::runtime_error {
 public:
  HistoryError(HistoryErrorKind kind, const std::string& text) : std::runtime_error(text), kind_(kind) {}
  HistoryErrorKind kind() const { return kind_; }

 private:
  HistoryErrorKind kind_;
};

// The whole file's bytes, read at once. Throws HistoryError CannotOpenFile.
std::string ReadHistoryFile(const std::filesystem::path& name);

// The whole file's bytes, mapped where the system can (platform/mapped_file.h); the view
// keeps them. Throws HistoryError CannotOpenFile with the text ReadHistoryFile gives.
platform::FileView ViewHistoryFile(const std::filesystem::path& name);

// Replaces the file by `bytes` so that a failure at any moment leaves the old file byte for
// byte as it was (see platform/durable_file.h). Throws HistoryError CannotCreateFile.
void WriteHistoryFile(const std::filesystem::path& name, std::string_view bytes);

// The name resolved against the working directory, as the file errors show it (UTF-8).
std::string FullPathText(const std::filesystem::path& name);

}  // namespace tecladim::history
