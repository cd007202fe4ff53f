// The files that keep what the history itself could not take: a run's records when its save
// did not happen, and the original bytes of a history the reader had to bend.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "history/history_file.h"
#include "history/preload.h"
#include "history/record_set.h"
#include "history/recovery_file.h"
#include "tests/history/exercise_records.h"
#include "tests/support/file_bytes.h"

namespace tecladim::history {
namespace {

namespace fs = std::filesystem;
using testing::At;
using testing::RecordExerciseAt;

using testing_support::Slurp;

void Spill(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// The lessons of a file's records, in file order.
std::vector<int> Lessons(const fs::path& file) {
  RecordSet set("cds1");
  set.CreateDataSet();
  set.Close();
  set.LoadFromFile(file);
  std::vector<int> lessons;
  for (std::size_t row = 0; row < set.Content().RowCount(); ++row)
    lessons.push_back(static_cast<int>(set.Content().columns[0].numbers[row]));
  return lessons;
}

// The records a run made of these lessons, as a save that did not happen leaves them.
Packet RunRecords(std::initializer_list<int> lessons) {
  RecordSet set("cds1");
  set.CreateDataSet();
  int minute = 0;
  for (const int lesson : lessons) RecordExerciseAt(set, lesson, At(2024, 3, 5, 10, ++minute));
  return set.NewRecords();
}

class RecoveryFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("tecladim-recovery-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(base_);
    fs::create_directories(base_ / "turma");
    history_ = base_ / "turma" / "Exercicio.xml";
    data_ = base_ / "dados";
  }
  void TearDown() override { fs::remove_all(base_); }
  void MakeHistory(std::initializer_list<int> lessons) {
    RecordSet set("cds1");
    set.CreateDataSet();
    set.AppendRecords(RunRecords(lessons));
    set.SaveToFile(history_);
  }
  HistoryRead Start(std::ostringstream& notes, DateTime now = At(2024, 3, 5, 14, 3, 27)) {
    return ReadHistoryAtStart(history_, StartSteps{data_, now, &notes, nullptr});
  }
  fs::path base_, history_, data_;
};

TEST_F(RecoveryFiles, TwoProgramsKeepingRecordsForOneHistoryLoseNeithersRecords) {
  EXPECT_EQ(KeepRecords(history_, RunRecords({1, 2}), RecoveryPlace::BesideHistory, data_),
            RecoveryFileBeside(history_));
  EXPECT_EQ(KeepRecords(history_, RunRecords({3}), RecoveryPlace::BesideHistory, data_), RecoveryFileBeside(history_));
  EXPECT_EQ(Lessons(RecoveryFileBeside(history_)), (std::vector<int>{1, 2, 3}));
  const fs::path inData = KeepRecords(history_, RunRecords({4}), RecoveryPlace::DataFolder, data_);
  EXPECT_EQ(inData, RecoveryFileInDataFolder(history_, data_));
  EXPECT_EQ(inData.parent_path(), data_ / "recuperados");
  EXPECT_NE(Slurp(inData).find("TECLADIM_HISTORY=\"" + FullPathText(history_) + "\""), std::string::npos);
}

TEST_F(RecoveryFiles, ADamagedRecoveryFileIsKeptAndTheRecordsGoToTheDataFolder) {
  Spill(RecoveryFileBeside(history_), "<DATAPACKET damaged");
  const fs::path file = KeepRecords(history_, RunRecords({5}), RecoveryPlace::BesideHistory, data_);
  EXPECT_EQ(file, RecoveryFileInDataFolder(history_, data_));
  EXPECT_EQ(Slurp(RecoveryFileBeside(history_)), "<DATAPACKET damaged");
  EXPECT_EQ(Lessons(file), std::vector<int>{5});
}

TEST_F(RecoveryFiles, TheNextStartMergesEveryRecoveryFileAndRemovesThem) {
  MakeHistory({7, 8});
  KeepRecords(history_, RunRecords({1, 2}), RecoveryPlace::BesideHistory, data_);
  KeepRecords(history_, RunRecords({3}), RecoveryPlace::DataFolder, data_);
  std::ostringstream notes;
  const HistoryRead read = Start(notes);
  ASSERT_TRUE(read.packet);
  EXPECT_EQ(read.packet->RowCount(), 5u);
  EXPECT_EQ(Lessons(history_), (std::vector<int>{7, 8, 1, 2, 3}));
  EXPECT_FALSE(fs::exists(RecoveryFileBeside(history_)));
  EXPECT_FALSE(fs::exists(RecoveryFileInDataFolder(history_, data_)));
  EXPECT_NE(notes.str().find("(2) foram juntados ao histórico " + FullPathText(history_)), std::string::npos);
  EXPECT_NE(notes.str().find("(1) foram juntados"), std::string::npos);
  std::ostringstream again;
  Start(again);
  EXPECT_EQ(Lessons(history_).size(), 5u);  // merged once
  EXPECT_EQ(again.str(), "");
}

// Used to double records: a save that reached the history but reported a failure (its
// records then kept in a recovery file as well), or a merge whose recovery file could not be
// cleared afterwards, had the next start append the same records a second time.
TEST_F(RecoveryFiles, RecordsTheHistoryAlreadyHoldsAreNotMergedTwice) {
  struct Case {
    const char* name;
    std::initializer_list<int> inHistory;
    std::initializer_list<int> kept;
    std::vector<int> after;
    const char* note;
  };
  for (const Case& c :
       {Case{"all of them saved already", {1, 2}, {1, 2}, {1, 2}, "já tinha (2) não foram juntados de novo"},
        Case{"some of them saved already", {1, 2}, {1, 2, 3}, {1, 2, 3}, "(1) foram juntados"}}) {
    SCOPED_TRACE(c.name);
    fs::remove(history_);
    MakeHistory(c.inHistory);
    KeepRecords(history_, RunRecords(c.kept), RecoveryPlace::BesideHistory, data_);
    std::ostringstream notes;
    Start(notes);
    EXPECT_EQ(Lessons(history_), c.after);
    EXPECT_FALSE(fs::exists(RecoveryFileBeside(history_)));
    EXPECT_NE(notes.str().find(c.note), std::string::npos) << notes.str();
  }
}

TEST_F(RecoveryFiles, ADamagedHistoryKeepsItsRecoveryFileUntilItLoadsAgain) {
  Spill(history_, "not a packet");
  KeepRecords(history_, RunRecords({1}), RecoveryPlace::BesideHistory, data_);
  const std::string kept = Slurp(RecoveryFileBeside(history_));
  std::ostringstream notes;
  EXPECT_THROW(Start(notes), PacketError);
  EXPECT_EQ(Slurp(history_), "not a packet");
  EXPECT_EQ(Slurp(RecoveryFileBeside(history_)), kept);
  EXPECT_NE(notes.str().find("ficam lá até que ele volte a ser lido"), std::string::npos);
  fs::remove(history_);
  MakeHistory({9});
  std::ostringstream later;
  Start(later);
  EXPECT_EQ(Lessons(history_), (std::vector<int>{9, 1}));
}

TEST_F(RecoveryFiles, ABentHistorysOriginalBytesAreKeptBesideItOnce) {
  MakeHistory({1});
  std::string bent = Slurp(history_);
  bent.replace(bent.find("licao=\"1\""), 9, "licao=\"2147483648\"");
  Spill(history_, bent);
  std::ostringstream notes;
  Start(notes);
  const fs::path copy = history_.parent_path() / "Exercicio.xml.original-20240305-140327";
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(Slurp(copy), bent);
  EXPECT_NE(notes.str().find("copiado para " + FullPathText(copy)), std::string::npos);
  // The trainer's save writes what it read; that file is not bent, and no copy follows.
  RecordSet set("cds1");
  set.CreateDataSet();
  set.Close();
  set.LoadFromFile(history_);
  set.SaveToFile(history_);
  std::ostringstream later;
  Start(later, At(2024, 3, 6));
  EXPECT_EQ(later.str(), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(history_.parent_path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace tecladim::history
