// The run's key statistics saved beside the history: merged with another program's save,
// never written over a file that is not ours, given up on behind a lock as the history is.
#include "history/key_stats_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "history/datetime.h"
#include "history/history_file.h"
#include "history/packet.h"
#include "history/recovery_file.h"
#include "tests/support/file_bytes.h"

namespace tecladim::history {
namespace {

namespace fs = std::filesystem;

DateTime At(int hour, int minute, int second, int ms = 0) {
  return EncodeDateTime({2024, 3, 5}, {hour, minute, second, ms});
}

using testing_support::Slurp;
using testing_support::Spit;


ExerciseKeyStats Exercise(int lesson, int minute, char16_t key, ExerciseEnd end = ExerciseEnd::Completed) {
  return {lesson,
          At(10, minute, 30, 250),
          At(10, minute - 1, 0),
          At(10, minute, 30),
          end,
          {{key, 20, 2, 4000, 19, {{u'x', 2}}}, {u' ', 5, 0, 900, 5, {}}}};
}

std::vector<int> LessonsIn(const fs::path& file) {
  std::vector<int> lessons;
  for (const ExerciseKeyStats& e : ReadKeyStats(ReadPacket(Slurp(file)))) lessons.push_back(e.licao);
  return lessons;
}

class KeyStatsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    folder_ = fs::temp_directory_path() / ("tecladim-keys-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(folder_);
  }
  const fs::path file_ = "Teclas.xml";
  fs::path home_, folder_;
};

TEST_F(KeyStatsStoreTest, TwoProgramsOnOneFileKeepBothRunsExercises) {
  KeyStatsStore first, second;
  first.Add(Exercise(31, 10, u'ç'));
  second.Add(Exercise(32, 12, u'ã'));
  second.Add(Exercise(1, 14, u'a', ExerciseEnd::Left));
  first.SaveToFile(file_);
  second.SaveToFile(file_);  // read first's exercise under the lock, appended its own
  EXPECT_EQ(LessonsIn(file_), (std::vector<int>{31, 32, 1}));
  // An exercise already in the file, by its stamps, is not written twice; a new one is.
  first.Add(Exercise(31, 10, u'ç'));
  first.Add(Exercise(33, 16, u'é'));
  first.SaveToFile(file_);
  EXPECT_EQ(LessonsIn(file_), (std::vector<int>{31, 32, 1, 33}));
  EXPECT_EQ(first.Pending(), 0u);
  // Nothing new: no file is made.
  KeyStatsStore idle;
  idle.SaveToFile("Outro.xml");
  EXPECT_FALSE(fs::exists("Outro.xml"));
}

// A close after a check at the start writes only the file's new end, in place; a save of
// another program between sends it back to the whole merge, which keeps both.
TEST_F(KeyStatsStoreTest, AFileFoundWholeAtTheStartGetsTheNewExercisesAtItsEnd) {
  KeyStatsStore other, store;
  other.Add(Exercise(31, 10, u'ç'));
  other.SaveToFile(file_);
  store.Check(file_);
  ASSERT_TRUE(store.CheckedWhole());
  struct stat before {};
  ASSERT_EQ(::stat(file_.c_str(), &before), 0);
  store.Add(Exercise(32, 12, u'ã'));
  store.SaveToFile(file_);
  struct stat after {};
  ASSERT_EQ(::stat(file_.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "written at its end, in place";
  store.Add(Exercise(40, 3, u'b'));  // at the end this save knows of, unread
  store.SaveToFile(file_);
  ASSERT_EQ(::stat(file_.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  other.Add(Exercise(33, 14, u'é'));
  other.SaveToFile(file_);
  store.Add(Exercise(34, 16, u'a'));
  store.SaveToFile(file_);
  EXPECT_EQ(LessonsIn(file_), (std::vector<int>{31, 32, 40, 33, 34}));
  const std::string bytes = Slurp(file_);
  EXPECT_EQ(bytes, WritePacket(KeyStatsPacket(ReadKeyStats(ReadPacket(bytes))))) << "laid out as one write";
}

TEST_F(KeyStatsStoreTest, FileThatIsNotOursIsLeftAsItIsAndNamed) {
  KeyStatsStore ours;
  ours.Add(Exercise(31, 10, u'ç'));
  ours.SaveToFile(file_);
  std::string badRow = Slurp(file_);
  badRow.replace(badRow.find("acertos=\"20\""), 12, "acertos=\"-3\"");
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"not a packet", "Teclas de alguém"},
      {"the history",
       "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
       "<FIELD attrname=\"licao\" fieldtype=\"i4\"/></FIELDS><PARAMS/></METADATA><ROWDATA>"
       "</ROWDATA></DATAPACKET>"},
      {"a damaged row", badRow},
  };
  const std::string good = Slurp(file_);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    // Found whole at the start, damaged before the close: the close must read it again.
    Spit(file_, good);
    KeyStatsStore store;
    store.Check(file_);
    ASSERT_TRUE(store.CheckedWhole());
    Spit(file_, row.bytes);
    store.Add(Exercise(32, 12, u'ã'));
    try {
      store.SaveToFile(file_);
      ADD_FAILURE() << "saved over it";
    } catch (const KeyStatsFileError& error) {
      const std::string text = KeyStatsNotSavedText(file_, error);
      EXPECT_NE(text.find(FullPathText(file_)), std::string::npos) << text;
      EXPECT_NE(text.find("ficou como estava"), std::string::npos) << text;
    }
    EXPECT_EQ(Slurp(file_), row.bytes);
    EXPECT_EQ(store.Pending(), 1u);  // kept for a save once the file is put right
  }
}

TEST_F(KeyStatsStoreTest, LockHeldElsewhereGivesUpAndKeepsTheExercises) {
  KeyStatsStore store;
  store.Add(Exercise(31, 10, u'ç'));
  store.SaveToFile(file_);
  const std::string before = Slurp(file_);
  const int holder = ::open(file_.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);  // another program's save that does not end
  platform::SetLockWaitLimit(std::chrono::milliseconds(200));
  store.Add(Exercise(32, 12, u'ã'));
  try {
    store.SaveToFile(file_);
    ADD_FAILURE() << "saved without the lock";
  } catch (const HistoryError& error) {
    EXPECT_EQ(error.kind(), HistoryErrorKind::CannotCreateFile);
  }
  ::close(holder);
  platform::SetLockWaitLimit(platform::DefaultLockWaitLimit);
  EXPECT_EQ(Slurp(file_), before);
  store.SaveToFile(file_);
  EXPECT_EQ(LessonsIn(file_), (std::vector<int>{31, 32}));
}

// A file that cannot take the run's exercises (not ours, or locked at the session's end)
// used to lose them at the program's end: they wait in a recovery file beside it, or in the
// data folder when its folder refuses new files, and the next save takes them in.
TEST_F(KeyStatsStoreTest, ExercisesTheFileCannotTakeWaitInARecoveryFileUntilItCan) {
  const fs::path dataFolder = folder_ / "dados";
  const struct {
    const char* name;
    bool besideRefused;
    fs::path kept;
  } rows[] = {
      {"beside the file", false, "Teclas.xml.recuperado.xml"},
      {"in the data folder", true, RecoveryFileInDataFolder(file_, dataFolder)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Spit(file_, "Teclas de alguém");
    if (row.besideRefused) fs::create_directory(RecoveryFileBeside(file_));  // no file can be made there
    // Two runs' exercises, one recovery file.
    for (int run = 0; run < 2; ++run) {
      KeyStatsStore store;
      store.Add(Exercise(31 + run, 10 + run, u'ç'));
      EXPECT_THROW(store.SaveToFile(file_, dataFolder), KeyStatsFileError);
      const auto [kept, count] = store.KeepInRecoveryFile(file_, dataFolder);
      EXPECT_EQ(kept, row.kept);
      EXPECT_EQ(count, 1u);
      EXPECT_EQ(store.Pending(), 0u);
    }
    EXPECT_EQ(LessonsIn(row.kept), (std::vector<int>{31, 32}));
    EXPECT_EQ(Slurp(file_), "Teclas de alguém");
    fs::remove(file_);  // put right
    KeyStatsStore next;
    next.Add(Exercise(33, 20, u'a'));
    next.SaveToFile(file_, dataFolder);
    EXPECT_EQ(LessonsIn(file_), (std::vector<int>{33, 31, 32}));
    EXPECT_FALSE(fs::exists(row.kept));
    KeyStatsStore idle;  // nothing left to take in: the file stays as it is
    const std::string saved = Slurp(file_);
    idle.SaveToFile(file_, dataFolder);
    EXPECT_EQ(Slurp(file_), saved);
    fs::remove_all(RecoveryFileBeside(file_));
    fs::remove(file_);
  }
}

// A left exercise's stamps are those a completion at that moment would have had, across
// midnight too, so a later reader pairs them the same way.
TEST(LeftRecord, HasTheStampsOfACompletionAtThatMoment) {
  const struct {
    const char* name;
    DateTime now;
    DateTime inicio;
  } rows[] = {
      {"same day", EncodeDateTime({2024, 3, 5}, {10, 1, 35, 417}), TimeOfDayPart(At(10, 0, 0, 600))},
      {"across midnight", EncodeDateTime({2024, 3, 6}, {0, 0, 40, 5}), TimeOfDayPart(At(23, 59, 10))},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const CompletionRecord done = MakeCompletionRecord({row.now, row.inicio, u"", u"4", 31});
    const CompletionRecord left = MakeLeftRecord(row.now, row.inicio, 31);
    EXPECT_EQ(left.licao, 31);
    EXPECT_EQ(ToStamp(left.data), ToStamp(done.data));
    EXPECT_EQ(ToStamp(left.inicio), ToStamp(done.inicio));
    EXPECT_EQ(ToStamp(left.fim), ToStamp(done.fim));
    EXPECT_LT(left.inicio, left.fim);
  }
}

}  // namespace
}  // namespace tecladim::history
