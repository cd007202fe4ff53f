// The journal of a write in place, met at the next open of its history: a save killed half
// way through writing over the file is finished; anything else is left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "history/history_file.h"
#include "platform/data_folder.h"
#include "platform/durable_file.h"
#include "platform/durable_file_journal.h"
#include "tests/support/file_bytes.h"

namespace tecladim::history {
namespace {

namespace fs = std::filesystem;
using namespace tecladim::platform;

using testing_support::Slurp;
using testing_support::Spit;


// What a save writing `fresh` over `file` (now holding `old`) leaves once its journal is
// flushed; `marked`: whether it got as far as the journal's mark.
void JournalOf(const fs::path& file, const fs::path& journal, const std::string& old, const std::string& fresh,
               bool marked = true) {
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  const std::size_t offset = SharedPrefix(old, fresh);
  const JournalHeader header{static_cast<std::uint64_t>(info.st_dev),
                             static_cast<std::uint64_t>(info.st_ino),
                             old.size(),
                             fresh.size(),
                             offset,
                             JournalAnchorHash(old.substr(0, offset)),
                             PathHash(fs::absolute(file))};
  std::string bytes = EncodeJournal(header, std::string_view(fresh).substr(offset));
  if (!marked) bytes.replace(JournalMarkOffset, JournalMark().size(), JournalMark().size(), '\0');
  fs::create_directories(journal.parent_path());
  Spit(journal, bytes);
}

class WriteJournal : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tecladim-journal-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    file_ = folder_ / "Exercicio.xml";
    journal_ = JournalBeside(file_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_, file_, journal_;
};

const std::string Old = "<DATAPACKET><ROWDATA><ROW licao=\"1\"/><ROW licao=\"2\"/></ROWDATA></DATAPACKET>";
const std::string Longer =
    "<DATAPACKET><ROWDATA><ROW licao=\"1\"/><ROW licao=\"2\"/><ROW licao=\"3\"/></ROWDATA></DATAPACKET>";
const std::string Shorter = "<DATAPACKET><ROWDATA><ROW licao=\"9\"/></ROWDATA></DATAPACKET>";

// Used to tear the file: a save killed while writing in place left the start of the new
// history over the rest of the old one, and it loaded with a record changed.
TEST_F(WriteJournal, AWriteInPlaceCutAtAnyByteIsFinishedAtTheNextOpen) {
  for (const auto& [name, fresh] : {std::pair{"growing", Longer}, std::pair{"shrinking", Shorter}}) {
    const std::size_t offset = SharedPrefix(Old, fresh);
    for (std::size_t cut = offset; cut <= fresh.size(); ++cut) {
      SCOPED_TRACE(std::string(name) + ", cut at byte " + std::to_string(cut));
      Spit(file_, Old);
      JournalOf(file_, journal_, Old, fresh);
      {  // the write in place, killed after `cut` bytes
        std::fstream over(file_, std::ios::binary | std::ios::in | std::ios::out);
        over.seekp(static_cast<std::streamoff>(offset));
        over.write(fresh.data() + offset, static_cast<std::streamsize>(cut - offset));
      }
      EXPECT_EQ(ReadHistoryFile(file_), fresh);
      EXPECT_FALSE(fs::exists(journal_));
    }
  }
}

// A journal that must not be applied leaves the history byte for byte as it is.
TEST_F(WriteJournal, AJournalThatDoesNotFitItsHistoryIsNeverApplied) {
  struct Case {
    const char* name;
    bool marked;
    bool replaced;  // the history was replaced by another file since
    bool damaged;   // a byte of the journal's body changed
    bool keptAside;
  };
  for (const Case& c : {Case{"without its mark: the write never started", false, false, false, false},
                        Case{"of a history replaced since", true, true, false, true},
                        Case{"with a damaged body", true, false, true, false}}) {
    SCOPED_TRACE(c.name);
    fs::remove(JournalSetAside(journal_));
    Spit(file_, Old);
    JournalOf(file_, journal_, Old, Longer, c.marked);
    if (c.damaged) {
      std::string bytes = Slurp(journal_);
      bytes.back() ^= 1;
      Spit(journal_, bytes);
    }
    if (c.replaced) {
      const fs::path other = folder_ / "other";
      Spit(other, Old);
      fs::rename(other, file_);
    }
    EXPECT_EQ(ReadHistoryFile(file_), Old);
    EXPECT_FALSE(fs::exists(journal_));
    EXPECT_EQ(fs::exists(JournalSetAside(journal_)), c.keptAside);
  }
}

// Used to load a torn file: a reader that could not finish the interrupted save (it may not
// write the history, or, as here, another program holds it) read the half-written bytes.
TEST_F(WriteJournal, AReaderThatCannotFinishAnInterruptedSaveNeverReadsItTorn) {
  enum class Journal { Complete, Unmarked, Unreadable };
  struct Case {
    const char* name;
    Journal journal;
    bool reads;
    const std::string* expected;
  };
  const std::size_t offset = SharedPrefix(Old, Longer);
  const std::string torn = Longer.substr(0, offset + 5) + Old.substr(offset + 5);
  for (const Case& c : {Case{"a complete journal: read as it finishes the save", Journal::Complete, true, &Longer},
                        Case{"a journal without its mark: the write never started", Journal::Unmarked, true, &Old},
                        Case{"a journal that cannot be read: not read at all", Journal::Unreadable, false, nullptr}}) {
    SCOPED_TRACE(c.name);
    fs::remove_all(journal_);
    Spit(file_, Old);
    LockedFile holder;
    ASSERT_FALSE(holder.Lock(file_, LockMode::Shared));
    if (c.journal == Journal::Unreadable) fs::create_directory(journal_);
    else JournalOf(file_, journal_, Old, Longer, c.journal == Journal::Complete);
    if (c.journal != Journal::Unmarked) Spit(file_, torn);
    SetLockWaitLimit(std::chrono::milliseconds(50));
    LockedFile reader;
    std::string bytes;
    const std::error_code opened = reader.Lock(file_, LockMode::Shared);
    const std::error_code read = opened ? opened : reader.Read(bytes);
    SetLockWaitLimit(DefaultLockWaitLimit);
    EXPECT_EQ(!read, c.reads) << read.message();
    if (c.expected) {
      EXPECT_EQ(bytes, *c.expected);
    }
    EXPECT_TRUE(fs::exists(journal_));  // left for the next open that may finish the save
  }
}

// The history's folder may refuse new files: the journal is then in the user's data folder.
TEST_F(WriteJournal, AJournalInTheUsersDataFolderIsFoundByItsHistory) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string previous = saved ? saved : "";
  ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
  Spit(file_, Old);
  const fs::path journal = JournalInDataFolder(UserDataFolder(), fs::absolute(file_));
  EXPECT_EQ(journal.parent_path().parent_path(), folder_ / "data" / "tecladim");
  JournalOf(file_, journal, Old, Longer);
  WriteHistoryFile(file_, Shorter);  // a save's open finishes the interrupted one first
  EXPECT_FALSE(fs::exists(journal));
  EXPECT_EQ(Slurp(file_), Shorter);
  if (saved) ::setenv("XDG_DATA_HOME", previous.c_str(), 1);
  else ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tecladim::history
