#include "history/history_file.h"

#include <system_error>

#include "platform/durable_file.h"

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

std::string ReadHistoryFile(const std::filesystem::path& name) {
  std::string bytes;
  if (const std::error_code ec = platform::ReadWholeFile(name, bytes))
    throw HistoryError(HistoryErrorKind::CannotOpenFile, FileErrorText("Cannot open", name, ec));
  return bytes;
}

platform::FileView ViewHistoryFile(const std::filesystem::path& name) {
  platform::FileView view;
  if (const std::error_code ec = platform::ViewWholeFile(name, view))
    throw HistoryError(HistoryErrorKind::CannotOpenFile, FileErrorText("Cannot open", name, ec));
  return view;
}

void WriteHistoryFile(const std::filesystem::path& name, std::string_view bytes) {
  if (const std::error_code ec = platform::ReplaceFileDurably(name, bytes))
    throw HistoryError(HistoryErrorKind::CannotCreateFile, FileErrorText("Cannot create", name, ec));
}

}  // namespace tecladim::history
