#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "exam/result_record.h"
#include "exam/results_file.h"
#include "exam/texts.h"
#include "history/recovery_file.h"
#include "history/utf8.h"

namespace tecladim::exam {
namespace {

namespace fs = std::filesystem;

class ResultsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tecladim-results-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "dados");
    file_ = folder_ / std::string(ResultsFileName);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  fs::path file_;
  std::ostringstream notes_;
};

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DateTime At(int minute, int second, int ms = 0) { return EncodeDateTime({2024, 3, 5}, {14, minute, second, ms}); }

// A test of the first text, typed with a letter different, a word left out, a swap and an
// accent lost, handed in with a line break and a quote inside.
ResultRecord TypedResult(const Profile& profile, int minute) {
  const ExamText& text = ExamTexts().front();
  std::u32string typed = Utf32FromUtf8(text.text.substr(0, 300));
  typed[3] = U'x';
  typed.erase(20, 5);
  std::swap(typed[40], typed[41]);
  typed += U"\n\"fim\" à";
  const ExamResult result = Score(profile, Utf32FromUtf8(text.text), typed);
  return MakeResultRecord(profile, text.id, typed, result, At(minute, 0, 250), At(minute + 5, 0, 999));
}

TEST_F(ResultsFileTest, AResultComesBackFromTheFileFieldByField) {
  const ResultRecord record = TypedResult(*FindProfile("TJ-SP"), 0);
  ASSERT_GT(record.erros, 3);
  EXPECT_EQ(record.casas, 2);
  EXPECT_EQ(record.tempo, FromStamp({5 * 60'000 + 749}));
  {
    ResultsFile results(file_, folder_ / "dados", notes_);
    EXPECT_EQ(results.Load(), "");
    EXPECT_EQ(results.Add(record), "");
  }
  ResultsFile read(file_, folder_ / "dados", notes_);
  EXPECT_EQ(read.Load(), "");
  ASSERT_EQ(read.Records().RowCount(), 1);
  EXPECT_EQ(ResultAt(read.Records(), 0), record);
  EXPECT_EQ(read.Records().DisplayTextAt(0, "tempo"), u"00:05:00");
}

TEST(ErrorsText, MarksEveryErrorWithItsKindAndPlacesAndReadsBack) {
  const ExamResult result = Score(*FindProfile("TJ-MG"), U"Casa azul.\nMar", U"casa  azlu.\nMr!");
  const std::string text = ErrorsText(result.errors);
  const auto marks = ParseErrorsText(text);
  ASSERT_TRUE(marks.has_value()) << text;
  ASSERT_EQ(marks->size(), result.errors.size());
  for (std::size_t i = 0; i < marks->size(); ++i) {
    const MarkedError& e = result.errors[i];
    EXPECT_EQ((*marks)[i], (ErrorMark{e.kind, e.line, e.column, e.model, e.typed})) << text;
  }
  EXPECT_EQ(text.substr(0, 10), "m:1:1:0:0;");  // "Casa" typed small
  EXPECT_EQ(ParseErrorsText(""), std::vector<ErrorMark>{});
}

TEST(ErrorsText, ATextThatIsNotAListOfMarksIsRefused) {
  for (const char* bad : {"x:1:1:0:0", "d:1:1:0", "d:1:1:0:0;", "d:1:a:0:0", "d1:1:0:0", ";d:1:1:0:0",
                          "d:1:1:0:0e:1:1:0:0", "d:1:1:0:99999999999"})
    EXPECT_FALSE(ParseErrorsText(bad).has_value()) << bad;
}

// Two programs on one folder (two tabs of a shared session, two machines on one share):
// each reads the file, each hands in a test, and the file keeps both.
TEST_F(ResultsFileTest, TwoProgramsSavingOneFileKeepBothResults) {
  ResultsFile first(file_, folder_ / "dados", notes_);
  ResultsFile second(file_, folder_ / "dados", notes_);
  EXPECT_EQ(first.Load(), "");
  EXPECT_EQ(second.Load(), "");
  const ResultRecord a = TypedResult(*FindProfile("TJ-MG"), 0);
  const ResultRecord b = TypedResult(*FindProfile("PC-ES"), 10);
  EXPECT_EQ(first.Add(a), "");
  EXPECT_EQ(second.Add(b), "");
  EXPECT_EQ(first.SaveAtEnd(), ResultsEnd::Saved);
  EXPECT_EQ(second.SaveAtEnd(), ResultsEnd::Saved);
  ResultsFile read(file_, folder_ / "dados", notes_);
  EXPECT_EQ(read.Load(), "");
  ASSERT_EQ(read.Records().RowCount(), 2);
  EXPECT_EQ(ResultAt(read.Records(), 0), a);
  EXPECT_EQ(ResultAt(read.Records(), 1), b);
}

// A file that does not read is told, never written over; the run's results wait beside it
// and join it at the first start that reads it.
TEST_F(ResultsFileTest, ADamagedFileIsReportedAndNeverSavedOver) {
  const std::string damaged = "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIE";
  std::ofstream(file_, std::ios::binary) << damaged;
  const ResultRecord record = TypedResult(*FindProfile("PC-MG"), 0);
  {
    ResultsFile results(file_, folder_ / "dados", notes_);
    EXPECT_NE(results.Load(), "");
    EXPECT_TRUE(results.LoadFailed());
    EXPECT_EQ(results.Add(record), "");
    EXPECT_EQ(results.SaveAtEnd(), ResultsEnd::RecordsKept);
    EXPECT_EQ(results.SaveAtEnd(), ResultsEnd::RecordsKept);  // once
  }
  EXPECT_EQ(Bytes(file_), damaged);
  const fs::path kept = history::RecoveryFileBeside(file_);
  ASSERT_TRUE(fs::exists(kept));
  EXPECT_NE(
      notes_.str().find("tecladim-prova: o arquivo de resultados não foi gravado; os resultados desta execução (1)"),
      std::string::npos)
      << notes_.str();
  {
    ResultsFile again(file_, folder_ / "dados", notes_);  // still damaged: the recovery file waits
    EXPECT_NE(again.Load(), "");
    EXPECT_EQ(again.SaveAtEnd(), ResultsEnd::Saved);
  }
  EXPECT_EQ(Bytes(file_), damaged);
  EXPECT_TRUE(fs::exists(kept));

  fs::remove(file_);  // the teacher moves the damaged file away
  ResultsFile repaired(file_, folder_ / "dados", notes_);
  EXPECT_EQ(repaired.Load(), "");
  ASSERT_EQ(repaired.Records().RowCount(), 1);
  EXPECT_EQ(ResultAt(repaired.Records(), 0), record);
  EXPECT_FALSE(fs::exists(kept));
}

TEST(ResultsExitStatus, ASignalsStatusUnlessTheResultsWereNotSaved) {
  EXPECT_EQ(ExitStatusAfter(ResultsEnd::Saved, 143), 143);
  EXPECT_EQ(ExitStatusAfter(ResultsEnd::RecordsKept, 143), 75);
  EXPECT_EQ(ExitStatusAfter(ResultsEnd::RecordsLost, 129), 74);
}

}  // namespace
}  // namespace tecladim::exam
