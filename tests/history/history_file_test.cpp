#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>

#include "history/history_file.h"
#include "history/preload.h"
#include "history/record_set.h"
#include "tests/history/exercise_records.h"
#include "tests/support/history_text.h"
#include "tests/support/file_bytes.h"

namespace tecladim::history {
namespace {

namespace fs = std::filesystem;
using testing::At;
using testing::RecordExercise;
using testing::RecordExerciseAt;

constexpr const char* HistoryName = "Exercicio.xml";

const std::string Header = testing_support::TrainerHistoryHead;

using testing_support::Slurp;
using testing_support::Spit;


std::size_t Count(const std::string& text, std::string_view piece) {
  std::size_t n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

// Every test runs in a folder of its own, as the program runs in its working directory.
class HistoryFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    folder_ = fs::temp_directory_path() /
              ("tecladim-history-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(folder_);
  }
  static void CopyData(const char* name) { fs::copy_file(fs::path(TECLADIM_HISTORY_DATA) / name, HistoryName); }
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The start-up's sequence on the store.
  static void StartUp(RecordSet& set) {
    set.CreateDataSet();
    if (fs::is_regular_file(HistoryName)) {
      if (set.Active()) set.Close();
      set.LoadFromFile(HistoryName);
    }
    if (!set.Active()) set.Open();
    set.Last();
  }
  fs::path folder_;

 private:
  fs::path home_;
};

TEST_F(HistoryFiles, OneRecordIsSavedAsTheExactPacket) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExercise(set, 1, At(2024, 3, 5, 14, 3, 27, 123), 3, At(2024, 3, 5, 13, 58, 10), At(2024, 3, 5, 14, 3, 27));
  set.SaveToFile(HistoryName);
  EXPECT_EQ(Slurp(HistoryName),
            Header + "<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA><ROW RowState=\"4\" licao=\"1\" "
                     "data=\"20240305T14:03:27123\" erros=\"3\" inicio=\"20240305T13:58:10000\" "
                     "fim=\"20240305T14:03:27000\" tempo=\"18991230T00:05:17000\"/></ROWDATA></DATAPACKET>");
}

TEST_F(HistoryFiles, ThreeRunsLogThreeInsertionsInRecordNumberOrder) {
  const DateTime when[] = {At(2024, 3, 5, 10), At(2024, 3, 6, 10), At(2024, 3, 5, 9)};  // clock set back
  for (int run = 0; run < 3; ++run) {
    RecordSet set("cds1");
    StartUp(set);
    RecordExerciseAt(set, run + 1, when[run]);
    set.SaveToFile(HistoryName);
  }
  const std::string saved = Slurp(HistoryName);
  EXPECT_NE(saved.find("<PARAMS CHANGE_LOG=\"1 0 4 2 0 4 3 0 4\"/>"), std::string::npos);
  EXPECT_EQ(Count(saved, "RowState=\"4\""), 3u);
  EXPECT_LT(saved.find("licao=\"1\""), saved.find("licao=\"2\""));
  EXPECT_LT(saved.find("licao=\"2\""), saved.find("licao=\"3\""));

  RecordSet set("cds1");
  StartUp(set);
  EXPECT_EQ(set.RowCount(), 3);
  EXPECT_EQ(set.Integer("licao"), 2);  // the newest by data is current after start-up
  EXPECT_EQ(set.RecordNumberAt(0), 3u);
}

TEST_F(HistoryFiles, AFileNotMadeByThisProgramKeepsItsRowsWithoutStatus) {
  CopyData("foreign.xml");
  RecordSet set("cds1");
  StartUp(set);
  ASSERT_EQ(set.RowCount(), 2);
  EXPECT_EQ(set.RecordStatusAt(0), 0);
  EXPECT_EQ(set.DisplayTextAt(0, "licao"), u"13");  // ordered by data, not by file order
  EXPECT_EQ(set.DisplayTextAt(0, "erros"), u"");    // no attribute: blank
  RecordExerciseAt(set, 14, At(2024, 3, 7));
  set.SaveToFile(HistoryName);
  const std::string saved = Slurp(HistoryName);
  EXPECT_NE(saved.find("<PARAMS CHANGE_LOG=\"3 0 4\"/>"), std::string::npos);
  EXPECT_NE(saved.find("<ROW licao=\"12\""), std::string::npos);
  EXPECT_NE(saved.find("<ROW licao=\"13\""), std::string::npos);
  EXPECT_NE(saved.find("<ROW RowState=\"4\" licao=\"14\""), std::string::npos);
  EXPECT_LT(saved.find("licao=\"12\""), saved.find("licao=\"13\""));  // file order kept
}

TEST_F(HistoryFiles, ASeventhFieldSurvivesTheSaveAndIsBlankInNewRecords) {
  CopyData("seventh_field.xml");
  RecordSet set("cds1");
  StartUp(set);
  EXPECT_EQ(set.DisplayText("tempo"), u"00:05:17");
  RecordExerciseAt(set, 2, At(2024, 3, 6));
  set.SaveToFile(HistoryName);
  const std::string saved = Slurp(HistoryName);
  EXPECT_NE(saved.find("attrname=\"turma\""), std::string::npos);
  EXPECT_NE(saved.find("tempo=\"18991230T00:05:17000\" turma=\"3B\"/>"), std::string::npos);
  EXPECT_EQ(Count(saved, "turma=\""), 1u);
  EXPECT_NE(saved.find("CHANGE_LOG=\"1 0 4 2 0 4\""), std::string::npos);
}

TEST_F(HistoryFiles, NegativeAndZeroDurationsRoundTrip) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExercise(set, 1, At(2024, 3, 5, 0, 10), 0, At(2024, 3, 5, 23, 50), At(2024, 3, 5, 0, 10));
  RecordExercise(set, 2, At(2024, 3, 5, 9), 0, At(2024, 3, 5), At(2024, 3, 5));
  set.SaveToFile(HistoryName);
  const std::string saved = Slurp(HistoryName);
  EXPECT_NE(saved.find("tempo=\"18991230T23:40:00000\""), std::string::npos);
  EXPECT_NE(saved.find("inicio=\"20240305\" fim=\"20240305\" tempo=\"18991230\""), std::string::npos);
  RecordSet again("cds1");
  StartUp(again);
  EXPECT_EQ(again.DisplayText("tempo"), u"30/12/1899");
  EXPECT_EQ(again.DateTimeValue("tempo"), 0.0);
  again.SetCurrentRow(0);
  EXPECT_EQ(again.DisplayText("tempo"), u"23:40:00");
  EXPECT_EQ(again.DateTimeValue("tempo"), EncodeTime({23, 40, 0, 0}));
}

TEST_F(HistoryFiles, AZeroByteFileKeepsTheSnapshot) {
  Spit(HistoryName, "");
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 7, At(2024, 3, 5));
  set.Close();
  set.LoadFromFile(HistoryName);
  EXPECT_TRUE(set.Active());
  EXPECT_EQ(set.RowCount(), 1);
  EXPECT_EQ(set.Integer("licao"), 7);

  RecordSet fresh("cds1");
  StartUp(fresh);
  EXPECT_EQ(fresh.RowCount(), 0);
  fresh.SaveToFile(HistoryName);
  EXPECT_EQ(Slurp(HistoryName), Header + "<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
}

TEST_F(HistoryFiles, AFailedLoadLeavesTheStoreClosedEmptyAndTheFileUntouched) {
  struct Case {
    const char* data;
    const char* text;
    bool fromReader;
  };
  for (const Case c : {Case{"zeros.xml", "Mismatch in datapacket.", true},
                       Case{"no_licao.xml", "cds1: Field 'licao' not found", false}}) {
    SCOPED_TRACE(c.data);
    fs::remove(HistoryName);
    CopyData(c.data);
    const std::string before = Slurp(HistoryName);
    RecordSet set("cds1");
    try {
      StartUp(set);
      ADD_FAILURE() << "the load did not fail";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), c.text);
      EXPECT_EQ(dynamic_cast<const PacketError*>(&e) != nullptr, c.fromReader);
    }
    EXPECT_FALSE(set.Active());
    EXPECT_THROW(set.Append(), HistoryError);
    set.SaveToFile(HistoryName);  // does nothing while closed
    EXPECT_EQ(Slurp(HistoryName), before);
    set.Open();
    EXPECT_EQ(set.RowCount(), 0);
  }
}

// What a store holds after a load, or the error the load raised, for comparing two ways in.
struct LoadOutcome {
  bool active = false;
  int rows = -1;
  std::u16string newestData;
  std::string error;
  bool operator==(const LoadOutcome&) const = default;
};

template <typename Load>
LoadOutcome Outcome(Load load) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 7, At(2024, 3, 5));  // the snapshot a zero-byte file keeps
  set.Close();
  LoadOutcome outcome;
  try {
    load(set);
  } catch (const std::exception& e) {
    outcome.error = e.what();
  }
  outcome.active = set.Active();
  if (!set.Active()) set.Open();
  outcome.rows = set.RowCount();
  set.Last();
  outcome.newestData = set.DisplayText("data");
  return outcome;
}

TEST_F(HistoryFiles, ThePreloadLoadsWhatTheFileLoadsErrorsIncluded) {
  for (const char* data : {"foreign.xml", "seventh_field.xml", "zeros.xml", "no_licao.xml", "", "-"}) {
    SCOPED_TRACE(data);
    fs::remove(HistoryName);
    if (std::string_view(data) == "") Spit(HistoryName, "");
    else if (std::string_view(data) != "-") CopyData(data);  // "-": no file at all
    const LoadOutcome direct = Outcome([](RecordSet& set) { set.LoadFromFile(HistoryName); });
    PacketPreload preload(HistoryName);
    const LoadOutcome preloaded = Outcome([&](RecordSet& set) { set.LoadFromPreload(preload); });
    EXPECT_EQ(preloaded, direct) << preloaded.error;
    EXPECT_TRUE(preload.Taken());
    EXPECT_THROW(preload.Take(), std::logic_error);  // the result is handed over once
  }
}

TEST_F(HistoryFiles, AMissingFileIsReportedWithItsFullPath) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5));
  try {
    set.LoadFromFile("Ausente.xml");
    ADD_FAILURE() << "no error";
  } catch (const HistoryError& e) {
    EXPECT_EQ(e.kind(), HistoryErrorKind::CannotOpenFile);
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + (folder_ / "Ausente.xml").string() + "\". " + std::strerror(ENOENT));
  }
  EXPECT_FALSE(set.Active());
  set.Open();
  EXPECT_EQ(set.RowCount(), 0);
}

// Used to keep the class report running unseen for up to the whole wait after its window
// closed: a read waiting for a file another program holds locked now gives up as soon as the
// limit is cut under it, not at the end of the wait it began with.
TEST_F(HistoryFiles, AWaitForALockGivesUpWhenItsLimitIsCutUnderIt) {
  Spit(HistoryName, "");
  const int holder = ::open(HistoryName, O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);  // a save that does not end
  auto read = std::async(std::launch::async, [] {
    try {
      ReadHistoryFile(HistoryName);
      return false;
    } catch (const HistoryError&) {
      return true;
    }
  });
  EXPECT_EQ(read.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout) << "it did not wait";
  platform::SetLockWaitLimit(std::chrono::milliseconds(0));
  const bool gaveUp = read.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  platform::SetLockWaitLimit(platform::DefaultLockWaitLimit);
  ::close(holder);
  EXPECT_TRUE(gaveUp) << "still waiting after the limit was cut";
  EXPECT_TRUE(read.get());
}

TEST_F(HistoryFiles, SaveOnANeverOpenedStoreCreatesNoFile) {
  RecordSet set("cds1");
  set.SaveToFile(HistoryName);
  EXPECT_FALSE(fs::exists(HistoryName));
}

TEST_F(HistoryFiles, SavePostsAWrittenRecordAndDropsABlankOne) {
  RecordSet set("cds1");
  set.CreateDataSet();
  set.Append();
  set.SaveToFile(HistoryName);
  EXPECT_EQ(set.RowCount(), 0);
  EXPECT_FALSE(set.Inserting());
  set.Append();
  set.SetInteger("licao", 3);
  set.SaveToFile(HistoryName);
  EXPECT_EQ(set.RowCount(), 1);
  EXPECT_NE(Slurp(HistoryName).find("<ROW RowState=\"4\" licao=\"3\"/>"), std::string::npos);
}

// Replacing the file in place used to mean that a failure half way (full disk, power cut)
// left a truncated history; now the old file stays whole and no temporary file remains.
TEST_F(HistoryFiles, ASaveThatFailsLeavesWhatWasThereAndNoTemporaryFile) {
  fs::create_directory(HistoryName);
  Spit(fs::path(HistoryName) / "dentro.txt", "intacto");
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5));
  set.Append();
  set.SetInteger("licao", 2);
  try {
    set.SaveToFile(HistoryName);
    ADD_FAILURE() << "no error";
  } catch (const HistoryError& e) {
    EXPECT_EQ(e.kind(), HistoryErrorKind::CannotCreateFile);
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + (folder_ / HistoryName).string() + "\". " + std::strerror(EISDIR));
  }
  EXPECT_EQ(FolderNames(), std::vector<std::string>{HistoryName});
  EXPECT_EQ(Slurp(fs::path(HistoryName) / "dentro.txt"), "intacto");
  // The store is as it was: the record being appended is still pending, not posted.
  EXPECT_TRUE(set.Inserting());
  EXPECT_EQ(set.RowCount(), 1);
  EXPECT_EQ(set.Content().changeLog.size(), 1u);
  EXPECT_EQ(set.Content().RowCount(), 1u);

  const fs::path nowhere = folder_ / "sem_pasta" / HistoryName;
  try {
    set.SaveToFile(nowhere);
    ADD_FAILURE() << "no error";
  } catch (const HistoryError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + nowhere.string() + "\". " + std::strerror(ENOENT));
  }
  EXPECT_EQ(FolderNames(), std::vector<std::string>{HistoryName});
}

TEST_F(HistoryFiles, AReplacedFileKeepsItsPermissionsAndALinkStaysALink) {
  Spit("real.xml", "");  // an empty history: what another program left there is kept, so it must read
  ::chmod("real.xml", 0640);
  fs::create_symlink("real.xml", HistoryName);
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5));
  set.SaveToFile(HistoryName);
  EXPECT_TRUE(fs::is_symlink(HistoryName));
  EXPECT_NE(Slurp("real.xml").find("licao=\"1\""), std::string::npos);
  struct stat info {};
  ASSERT_EQ(::stat("real.xml", &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{HistoryName, "real.xml"}));
}

// Two programs in one folder each loaded the history and wrote back their whole store at
// close, so whoever closed last threw away the records of the other.
TEST_F(HistoryFiles, TwoProgramsOnOneHistoryKeepEachOthersRecords) {
  {
    RecordSet first("cds1");
    StartUp(first);
    RecordExerciseAt(first, 1, At(2024, 3, 4));
    first.SaveToFile(HistoryName);
  }
  RecordSet a("cds1"), b("cds1");
  StartUp(a);
  StartUp(b);
  RecordExerciseAt(a, 2, At(2024, 3, 5, 10));
  RecordExerciseAt(b, 3, At(2024, 3, 5, 9));
  RecordExerciseAt(b, 4, At(2024, 3, 5, 11));
  a.SaveToFile(HistoryName);
  b.SaveToFile(HistoryName);
  std::string saved = Slurp(HistoryName);
  EXPECT_NE(saved.find("<PARAMS CHANGE_LOG=\"1 0 4 2 0 4 3 0 4 4 0 4\"/>"), std::string::npos);
  EXPECT_LT(saved.find("licao=\"2\""), saved.find("licao=\"3\""));  // the file's first, then b's
  EXPECT_LT(saved.find("licao=\"3\""), saved.find("licao=\"4\""));
  // b now holds what it wrote, newest current, so its next save adds nothing twice.
  EXPECT_EQ(b.RowCount(), 4);
  EXPECT_EQ(b.Integer("licao"), 4);
  b.SaveToFile(HistoryName);
  EXPECT_EQ(Slurp(HistoryName), saved);
  // a saves again with one more record: it takes b's two along.
  RecordExerciseAt(a, 5, At(2024, 3, 6));
  a.SaveToFile(HistoryName);
  saved = Slurp(HistoryName);
  EXPECT_EQ(Count(saved, "<ROW "), 5u);
  EXPECT_NE(saved.find("CHANGE_LOG=\"1 0 4 2 0 4 3 0 4 4 0 4 5 0 4\""), std::string::npos);
}

// Two first runs in one empty folder: the second to close found no file at start-up.
TEST_F(HistoryFiles, AHistoryCreatedEmptyKeepsAFileThatAppearedMeanwhile) {
  RecordSet a("cds1"), b("cds1");
  StartUp(a);
  StartUp(b);
  RecordExerciseAt(a, 1, At(2024, 3, 5));
  a.SaveToFile(HistoryName);
  RecordExerciseAt(b, 2, At(2024, 3, 4));
  b.SaveToFile(HistoryName);
  const std::string saved = Slurp(HistoryName);
  EXPECT_LT(saved.find("licao=\"1\""), saved.find("licao=\"2\""));
  EXPECT_NE(saved.find("CHANGE_LOG=\"1 0 4 2 0 4\""), std::string::npos);
}

TEST_F(HistoryFiles, AFileAnotherProgramLeftDamagedIsNotSavedOver) {
  RecordSet set("cds1");
  StartUp(set);
  RecordExerciseAt(set, 1, At(2024, 3, 5));
  Spit(HistoryName, "<DATAPACKET");
  try {
    set.SaveToFile(HistoryName);
    ADD_FAILURE() << "no error";
  } catch (const PacketError& e) {
    EXPECT_EQ(std::string(e.what()), "Mismatch in datapacket.");
  }
  EXPECT_EQ(Slurp(HistoryName), "<DATAPACKET");
  EXPECT_EQ(set.RowCount(), 1);
  fs::remove(HistoryName);  // once it is gone, the record can be saved
  set.SaveToFile(HistoryName);
  EXPECT_NE(Slurp(HistoryName).find("licao=\"1\""), std::string::npos);
}

// Saves killed half way used to leave their temporary files behind for good.
TEST_F(HistoryFiles, ASaveRemovesTheTemporaryFilesOfCrashedSavesOfTheSameHistory) {
  for (const char* name : {".Exercicio.xml.a1B2c3.tmp", "Exercicio.xml.tmp4242-0", ".Outro.xml.a1B2c3.tmp",
                           ".Exercicio.xml.a1B2c3.tmp.bak", "Exercicio.xml.tmp"})
    Spit(name, "x");
  RecordSet set("cds1");
  StartUp(set);
  set.SaveToFile(HistoryName);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{".Exercicio.xml.a1B2c3.tmp.bak", ".Outro.xml.a1B2c3.tmp",
                                                     HistoryName, "Exercicio.xml.tmp"}));
}

// A rename would leave the file's other name with the old history; it is written in place.
TEST_F(HistoryFiles, AFileWithASecondNameIsWrittenInPlaceAndBothNamesSeeTheNewHistory) {
  RecordSet first("cds1");
  StartUp(first);
  RecordExerciseAt(first, 1, At(2024, 3, 5));
  first.SaveToFile(HistoryName);
  fs::create_hard_link(HistoryName, "copia.xml");
  RecordSet set("cds1");
  StartUp(set);
  RecordExerciseAt(set, 2, At(2024, 3, 6));
  set.SaveToFile(HistoryName);
  EXPECT_EQ(Slurp("copia.xml"), Slurp(HistoryName));
  EXPECT_EQ(Count(Slurp("copia.xml"), "<ROW "), 2u);
  HistoryFile file(HistoryName, HistoryFile::Use::Save);
  file.Replace("abc");  // shorter than before: cut to its size
  EXPECT_EQ(file.LastRoute(), platform::ReplaceRoute::InPlace);
  EXPECT_EQ(Slurp("copia.xml"), "abc");
}

}  // namespace
}  // namespace tecladim::history
