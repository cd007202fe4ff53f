#include "history/history_file.h"

#include <system_error>

namespace tecladim::history {
namespace {

std::string FileErrorText(const char* what, const std::filesystem::path& name, const std::error_code& ec) {
  return std::string(what) + " file \"" + FullPathText(name) + "\". " + ec.message();
}

}  // namespace

std::string FullPathText(const std::filesystem::path& name) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(name, ec);
  const std::u8string text = (ec ? name : full).u8string();
  return std::string(text.begin(), text.end());
}

HistoryFile::HistoryFile(const std::filesystem::path& name, Use use) : name_(name) {
  if (use == Use::Load) {
    if (const std::error_code ec = file_.Lock(name, platform::LockMode::Shared))
      throw HistoryError(HistoryErrorKind::CannotOpenFile, FileErrorText("Cannot open", name, ec), ec);
  } else if (const std::error_code ec = file_.Lock(name, platform::LockMode::Exclusive)) {
    throw HistoryError(HistoryErrorKind::CannotCreateFile, FileErrorText("Cannot create", name, ec), ec);
  }
}

std::string HistoryFile::Read() const {
  std::string bytes;
  if (const std::error_code ec = file_.Read(bytes))
    throw HistoryError(HistoryErrorKind::CannotOpenFile, FileErrorText("Cannot open", name_, ec), ec);
  return bytes;
}

void HistoryFile::Replace(std::string_view bytes) {
  if (const std::error_code ec = file_.Replace(bytes))
    throw HistoryError(HistoryErrorKind::CannotCreateFile, FileErrorText("Cannot create", name_, ec), ec);
}

void HistoryFile::ReplaceEnd(std::uint64_t keep, std::string_view end) {
  if (const std::error_code ec = file_.ReplaceEnd(keep, end))
    throw HistoryError(HistoryErrorKind::CannotCreateFile, FileErrorText("Cannot create", name_, ec), ec);
}

std::string ReadHistoryFile(const std::filesystem::path& name) { return HistoryFile(name, HistoryFile::Use::Load).Read(); }

void WriteHistoryFile(const std::filesystem::path& name, std::string_view bytes) {
  HistoryFile(name, HistoryFile::Use::Save).Replace(bytes);
}

}  // namespace tecladim::history
