#include "platform/durable_file_replay.h"

namespace tecladim::platform {
namespace {

enum class Fit { Fits, DoesNotFit, Unknown };

// Whether the journal may be written over the history as it is now (JournalFits).
Fit FitOf(JournalCalls& calls, const JournalHeader& header) {
  std::uint64_t device = 0, file = 0, size = 0;
  if (calls.Identify(device, file, size)) return Fit::Unknown;
  std::string anchor;
  if (header.offset <= size) {
    const std::uint64_t start = header.offset > JournalAnchorLength ? header.offset - JournalAnchorLength : 0;
    if (calls.ReadAt(start, static_cast<std::size_t>(header.offset - start), anchor)) return Fit::Unknown;
  }
  return JournalFits(header, device, file, size, JournalAnchorHash(anchor)) ? Fit::Fits : Fit::DoesNotFit;
}

bool Missing(const std::error_code& ec) { return ec == std::errc::no_such_file_or_directory; }

}  // namespace

std::string QuotedPath(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  const std::u8string text = (ec ? file : full.lexically_normal()).u8string();
  // Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) on "\"" + string.
  std::string quoted(1, '"');
  quoted.append(text.begin(), text.end());
  quoted += '"';
  return quoted;
}

JournalHeader MakeJournalHeader(std::uint64_t device, std::uint64_t file, std::string_view previous,
                                std::string_view fresh, const std::filesystem::path& absoluteHistory) {
  const std::size_t offset = SharedPrefix(previous, fresh);
  return {device,
          file,
          previous.size(),
          fresh.size(),
          offset,
          JournalAnchorHash(previous.substr(0, offset)),
          PathHash(absoluteHistory)};
}

InPlaceWrite WholeInPlace(std::uint64_t device, std::uint64_t file, std::string_view previous, std::string_view bytes,
                          const std::filesystem::path& history) {
  InPlaceWrite write;
  write.header = MakeJournalHeader(device, file, previous, bytes, AbsoluteHistoryPath(history));
  const auto offset = static_cast<std::size_t>(write.header.offset);
  write.fresh = bytes.substr(offset);
  write.previousEnd = previous.substr(offset);
  return write;
}

std::error_code EndInPlace(JournalCalls& calls, std::uint64_t keep, std::string_view end,
                           const std::filesystem::path& history, InPlaceWrite& write) {
  std::uint64_t device = 0, file = 0, size = 0;
  if (const std::error_code ec = calls.Identify(device, file, size)) return ec;
  if (keep > size) return std::make_error_code(std::errc::invalid_argument);
  const std::uint64_t start = keep > JournalAnchorLength ? keep - JournalAnchorLength : 0;
  std::string around;
  if (const std::error_code ec = calls.ReadAt(start, static_cast<std::size_t>(size - start), around)) return ec;
  if (around.size() != size - start) return std::make_error_code(std::errc::io_error);  // shrank under the lock
  const auto before = static_cast<std::size_t>(keep - start);
  write.header = {device,
                  file,
                  size,
                  keep + end.size(),
                  keep,
                  JournalAnchorHash(std::string_view(around).substr(0, before)),
                  PathHash(AbsoluteHistoryPath(history))};
  write.fresh = end;
  write.previousEnd = around.substr(before);
  return {};
}

void ReplayJournals(JournalCalls& calls, const std::vector<std::filesystem::path>& places,
                    const std::filesystem::path& history) {
  for (const std::filesystem::path& journal : places) {
    std::string bytes;
    if (const std::error_code ec = calls.ReadJournal(journal, bytes)) {
      if (!Missing(ec))
        calls.Report("cannot read the journal " + QuotedPath(journal) + " of " + QuotedPath(history) + ": " +
                     ec.message());
      continue;
    }
    JournalHeader header;
    std::string_view body;
    if (DecodeJournal(bytes, header, body) == JournalState::Incomplete) {
      calls.Discard(journal);
      continue;
    }
    const Fit fit = FitOf(calls, header);
    if (fit == Fit::Unknown) continue;
    if (fit == Fit::DoesNotFit) {
      const std::filesystem::path aside = JournalSetAside(journal);
      const bool kept = calls.Rename(journal, aside);
      calls.Report("the journal " + QuotedPath(journal) + " of an interrupted save does not fit " +
                   QuotedPath(history) + " as it is now (the file was replaced since); not applied, " +
                   (kept ? "kept as " + QuotedPath(aside) : std::string("left where it is")));
      continue;
    }
    std::error_code ec = calls.WriteAt(header.offset, body);
    if (!ec) ec = calls.Resize(header.newSize);
    if (!ec) ec = calls.Flush();
    if (ec) {
      calls.Report("cannot finish the interrupted save of " + QuotedPath(history) + " from its journal " +
                   QuotedPath(journal) + ": " + ec.message());
      continue;
    }
    calls.Discard(journal);
    calls.Report("finished the interrupted save of " + QuotedPath(history) + " from its journal");
  }
}

std::error_code ReadThroughJournals(JournalCalls& calls, const std::vector<std::filesystem::path>& places,
                                    const std::filesystem::path& history, std::string& bytes) {
  for (const std::filesystem::path& journal : places) {
    std::string journalBytes;
    if (const std::error_code ec = calls.ReadJournal(journal, journalBytes)) {
      if (Missing(ec)) continue;
      calls.Report("cannot read the journal " + QuotedPath(journal) + " of an interrupted save of " +
                   QuotedPath(history) + " (" + ec.message() +
                   "); the history is not read, as that save may have left it torn half way; the next open by a "
                   "user who may write it finishes the save");
      return ec;
    }
    JournalHeader header;
    std::string_view body;
    // Without its mark the write never started; a journal that does not fit is of an older
    // file. Either way the history is whole as it is.
    if (DecodeJournal(journalBytes, header, body) == JournalState::Incomplete || FitOf(calls, header) != Fit::Fits ||
        header.offset > bytes.size())
      continue;
    bytes.resize(static_cast<std::size_t>(header.offset));
    bytes.append(body);
    calls.Report(QuotedPath(history) + " was left half written by an interrupted save; it is read as its journal " +
                 QuotedPath(journal) +
                 " finishes it, and the file itself is finished at the next open by a user who may write it");
    return {};
  }
  return {};
}

}  // namespace tecladim::platform
