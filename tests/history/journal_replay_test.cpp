// The journal's rules that every system shares, over file calls played in memory: what the
// Windows file relies on, checked where it can run.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/durable_file_replay.h"

namespace tecladim::platform {
namespace {

namespace fs = std::filesystem;

const std::string Old = "<DATAPACKET><ROWDATA><ROW licao=\"1\"/></ROWDATA></DATAPACKET>";
const std::string Fresh = "<DATAPACKET><ROWDATA><ROW licao=\"1\"/><ROW licao=\"2\"/></ROWDATA></DATAPACKET>";
const fs::path History = "/turma/Exercicio.xml";
const std::vector<fs::path> Places{"/turma/.Exercicio.xml.journal", "/dados/journals/1.journal"};

struct MemoryFiles final : JournalCalls {
  std::string history = Old;
  std::uint64_t fileId = 7;
  std::map<fs::path, std::string> journals;
  bool writesFail = false, renamesFail = false;
  std::vector<std::string> reports;

  std::error_code Identify(std::uint64_t& device, std::uint64_t& file, std::uint64_t& size) override {
    device = 1, file = fileId, size = history.size();
    return {};
  }
  std::error_code ReadAt(std::uint64_t offset, std::size_t length, std::string& into) override {
    into = history.substr(offset, length);
    return {};
  }
  std::error_code WriteAt(std::uint64_t offset, std::string_view bytes) override {
    if (writesFail) return std::make_error_code(std::errc::no_space_on_device);
    history.resize(std::max<std::size_t>(history.size(), offset + bytes.size()));
    history.replace(offset, bytes.size(), bytes);
    return {};
  }
  std::error_code Resize(std::uint64_t size) override { return history.resize(size), std::error_code{}; }
  std::error_code Flush() override { return {}; }
  std::error_code ReadJournal(const fs::path& journal, std::string& bytes) override {
    const auto it = journals.find(journal);
    if (it == journals.end()) return std::make_error_code(std::errc::no_such_file_or_directory);
    bytes = it->second;
    return {};
  }
  void Discard(const fs::path& journal) override { journals.erase(journal); }
  bool Rename(const fs::path& from, const fs::path& to) override {
    if (renamesFail) return false;
    journals[to] = journals[from];
    journals.erase(from);
    return true;
  }
  void Report(const std::string& text) override { reports.push_back(text); }
};

std::string JournalOf(const std::string& old, const std::string& fresh, std::uint64_t fileId) {
  const JournalHeader header = MakeJournalHeader(1, fileId, old, fresh, History);
  return EncodeJournal(header, std::string_view(fresh).substr(header.offset));
}

TEST(JournalReplay, AnOpenFinishesWhatItCanAndKeepsWhatItCannot) {
  struct Case {
    const char* name;
    std::size_t place;
    std::uint64_t journalFileId;  // 7 is the history as it is now
    bool writesFail, renamesFail;
    std::string after;
    std::vector<fs::path> journalsLeft;
    const char* report;
  };
  for (const Case& c : {
           Case{"beside the history: finished and removed", 0, 7, false, false, Fresh, {}, "finished the"},
           Case{"in the data folder: finished and removed", 1, 7, false, false, Fresh, {}, "finished the"},
           Case{"a write that fails: kept for the next open", 0, 7, true, false, Old, {Places[0]}, "cannot finish"},
           Case{
               "of a file replaced since: set aside", 0, 8, false, false, Old, {JournalSetAside(Places[0])}, "kept as"},
           Case{"of a file replaced since, cannot be set aside",
                0,
                8,
                false,
                true,
                Old,
                {Places[0]},
                "left where it is"},
       }) {
    SCOPED_TRACE(c.name);
    MemoryFiles files;
    files.writesFail = c.writesFail;
    files.renamesFail = c.renamesFail;
    files.journals[Places[c.place]] = JournalOf(Old, Fresh, c.journalFileId);
    ReplayJournals(files, Places, History);
    EXPECT_EQ(files.history, c.after);
    std::vector<fs::path> left;
    for (const auto& [name, bytes] : files.journals) left.push_back(name);
    EXPECT_EQ(left, c.journalsLeft);
    ASSERT_EQ(files.reports.size(), 1u);
    EXPECT_NE(files.reports[0].find(c.report), std::string::npos) << files.reports[0];
  }
}

// A journal is flushed once, its mark with it: what a crash leaves of it (cut short, or a
// block that never reached the disk) must fail its checksums, and the history stay as it is.
TEST(JournalReplay, AJournalLeftPartlyWrittenByACrashIsNeverApplied) {
  const std::string whole = JournalOf(Old, Fresh, 7);
  std::vector<std::pair<std::string, std::string>> partial;
  for (std::size_t cut = 0; cut < whole.size(); ++cut)
    partial.push_back({"cut at " + std::to_string(cut), whole.substr(0, cut)});
  constexpr std::size_t Block = 8;
  for (std::size_t at = JournalMarkOffset + JournalMark().size(); at < whole.size(); at += Block) {
    std::string lost = whole;
    lost.replace(at, std::min(Block, whole.size() - at), std::min(Block, whole.size() - at), '\0');
    partial.push_back({"zeros at " + std::to_string(at), lost});
  }
  for (const auto& [name, journal] : partial) {
    SCOPED_TRACE(name);
    MemoryFiles files;
    files.journals[Places[0]] = journal;
    ReplayJournals(files, Places, History);
    EXPECT_EQ(files.history, Old);
    EXPECT_TRUE(files.journals.empty());
  }
}

// The rows a close adds after the file's last exercise: the journal made without reading
// the file whole finishes a write torn half way; back after the write finished (its removal
// is not flushed), it writes the same bytes again; after a later save it is not applied.
TEST(JournalReplay, TheJournalOfAnEndWrittenInPlaceFinishesItAndNothingElse) {
  const std::size_t keep = Old.rfind("</ROWDATA>");
  const std::string end = "<ROW licao=\"2\"/></ROWDATA></DATAPACKET>";
  const std::string fresh = Old.substr(0, keep) + end;
  MemoryFiles made;
  InPlaceWrite write;
  ASSERT_FALSE(EndInPlace(made, keep, end, History, write));
  EXPECT_EQ(write.previousEnd, Old.substr(keep));
  const std::string journal = JournalHead(write.header, write.fresh) + end;
  const std::string later = fresh.substr(0, fresh.rfind("</ROWDATA>")) + "<ROW licao=\"3\"/></ROWDATA></DATAPACKET>";
  for (const auto& [name, before, after] :
       {std::tuple{"torn half way", fresh.substr(0, keep + 20) + std::string(10, '\0'), fresh},
        std::tuple{"back after the write", fresh, fresh}, std::tuple{"after a later save", later, later}}) {
    SCOPED_TRACE(name);
    MemoryFiles files;
    files.history = before;
    files.journals[Places[0]] = journal;
    ReplayJournals(files, Places, History);
    EXPECT_EQ(files.history, after);
    EXPECT_EQ(files.journals.count(Places[0]), 0u);
  }
}

TEST(JournalReplay, AReaderSeesTheFinishedHistoryAndLeavesTheFileToItsOwner) {
  MemoryFiles files;
  files.history = Fresh.substr(0, Fresh.size() / 2 + 3) + Old.substr(Fresh.size() / 2 + 3);  // torn
  files.journals[Places[0]] = JournalOf(Old, Fresh, 7);
  const std::string torn = files.history;
  std::string bytes = torn;
  EXPECT_FALSE(ReadThroughJournals(files, Places, History, bytes));
  EXPECT_EQ(bytes, Fresh);
  EXPECT_EQ(files.history, torn);
  EXPECT_EQ(files.journals.size(), 1u);
  EXPECT_EQ(files.reports.size(), 1u);
}

}  // namespace
}  // namespace tecladim::platform
