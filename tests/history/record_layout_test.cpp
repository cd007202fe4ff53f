#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "history/history_file.h"
#include "history/record_set.h"
#include "history/recovery_file.h"

// A store of another layout than the history's: text fields, its own order field, the save's
// merge and the recovery files with text values.
namespace tecladim::history {
namespace {

namespace fs = std::filesystem;

constexpr std::array<FieldDescription, 3> NoteFields{{
    {"quando", "dateTime", ValueKind::DateTime},
    {"nota", "string.uni", ValueKind::Text},
    {"pontos", "i4", ValueKind::Integer},
}};
constexpr RecordLayout NoteLayout{NoteFields, 0, NoField, "teste", "registros", "caderno"};

class RecordLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tecladim-layout-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

DateTime Day(int day) { return EncodeDateTime({2024, 3, static_cast<unsigned>(day)}, {10, 0, 0, 0}); }

void AddNote(RecordSet& set, int day, const std::string& text, int points) {
  set.Append();
  set.SetDateTime("quando", Day(day));
  set.SetText("nota", text);
  set.SetInteger("pontos", points);
  set.Post();
}

std::vector<std::string> NotesInOrder(const RecordSet& set) {
  std::vector<std::string> notes;
  for (int i = 0; i < set.RowCount(); ++i) notes.push_back(set.TextAt(i, "nota").value_or("<blank>"));
  return notes;
}

// Texts a typist leaves: accents, line breaks, markup characters, a backslash, a tab,
// a character beyond 16 bits, an empty text.
TEST_F(RecordLayoutTest, TextValuesComeBackAsTheyWereWrittenAndRecordsInTheirFieldsOrder) {
  const std::vector<std::string> texts = {
      "Ação, pés e vovô", "linha 1\nlinha 2\r\nlinha 3", "<a href=\"x\">&amp;'</a>", "C:\\pasta\tfim", "🎹 teclas", ""};
  RecordSet set("notas", NoteLayout);
  set.CreateDataSet();
  for (std::size_t i = 0; i < texts.size(); ++i) AddNote(set, 20 - static_cast<int>(i), texts[i], static_cast<int>(i));
  const fs::path file = folder_ / "notas.xml";
  set.SaveToFile(file);

  RecordSet read("notas", NoteLayout);
  read.LoadFromFile(file);
  ASSERT_EQ(read.RowCount(), static_cast<int>(texts.size()));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const int row = static_cast<int>(texts.size() - 1 - i);  // ordered by `quando`, the newest last
    EXPECT_EQ(read.TextAt(row, "nota"), texts[i]) << i;
    EXPECT_EQ(read.IntegerAt(row, "pontos"), static_cast<int>(i));
    EXPECT_EQ(read.DateTimeAt(row, "quando"), Day(20 - static_cast<int>(i)));
  }
  read.SetCurrentRow(0);
  EXPECT_EQ(read.Text("nota"), "");
  EXPECT_EQ(read.DisplayTextAt(5, "nota"), u"Ação, pés e vovô");
}

TEST_F(RecordLayoutTest, AFileWithoutTheTextFieldOrWithItAsANumberIsRefused) {
  const fs::path file = folder_ / "notas.xml";
  RecordSet history("cds1");  // the history's fields: no "nota"
  history.CreateDataSet();
  history.SaveToFile(file);
  RecordSet set("notas", NoteLayout);
  EXPECT_THROW(set.LoadFromFile(file), HistoryError);
  EXPECT_FALSE(set.Active());
  RecordSet open("notas", NoteLayout);
  open.CreateDataSet();
  open.Append();
  EXPECT_THROW(open.SetText("pontos", "1"), HistoryError);
  EXPECT_THROW(open.SetInteger("nota", 1), HistoryError);
}

// Two programs each read the file, add a record that differs only in its text and save:
// both records stay.
TEST_F(RecordLayoutTest, TwoStoresSavingOneFileKeepEachOthersRecords) {
  const fs::path file = folder_ / "notas.xml";
  RecordSet first("notas", NoteLayout);
  first.CreateDataSet();
  AddNote(first, 1, "antes", 0);
  first.SaveToFile(file);
  RecordSet a("notas", NoteLayout);
  RecordSet b("notas", NoteLayout);
  a.LoadFromFile(file);
  b.LoadFromFile(file);
  AddNote(a, 2, "de A", 5);
  AddNote(b, 2, "de B", 5);
  a.SaveToFile(file);
  b.SaveToFile(file);
  RecordSet read("notas", NoteLayout);
  read.LoadFromFile(file);
  EXPECT_EQ(NotesInOrder(read), (std::vector<std::string>{"antes", "de A", "de B"}));
}

TEST_F(RecordLayoutTest, ARecoveryFileKeepsTextsAndJoinsTheFileAtTheNextStart) {
  const fs::path file = folder_ / "notas.xml";
  RecordSet set("notas", NoteLayout);
  set.CreateDataSet();
  AddNote(set, 1, "já gravado", 1);
  set.SaveToFile(file);
  RecordSet run("notas", NoteLayout);
  run.CreateDataSet();
  AddNote(run, 3, "guardado\n\"à parte\"", 2);
  const fs::path kept = KeepRecords(file, run.NewRecords(), RecoveryPlace::BesideHistory, {}, NoteLayout);
  EXPECT_EQ(kept, RecoveryFileBeside(file));
  EXPECT_EQ(RecordsKeptText(1, kept, NoteLayout).rfind("teste: o caderno não foi gravado; os registros desta", 0), 0u);

  const std::vector<std::string> notes = MergeRecoveryFiles(file, {}, NoteLayout);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("foram juntados ao caderno"), std::string::npos) << notes[0];
  EXPECT_FALSE(fs::exists(kept));
  RecordSet read("notas", NoteLayout);
  read.LoadFromFile(file);
  EXPECT_EQ(NotesInOrder(read), (std::vector<std::string>{"já gravado", "guardado\n\"à parte\""}));
}

// Where locks fail, the save reads its work back and finds its records by every field,
// texts included.
TEST(RecordLayoutMerge, MissingRecordsTellsRecordsApartByTheirTexts) {
  RecordSet set("notas", NoteLayout);
  set.CreateDataSet();
  AddNote(set, 1, "casa", 1);
  AddNote(set, 1, "cama", 1);
  const Packet mine = set.NewRecords();
  RecordSet other("notas", NoteLayout);
  other.CreateDataSet();
  AddNote(other, 1, "casa", 1);
  const Packet onDisk = other.NewRecords();
  const FieldColumns fields = FieldColumns::InFieldOrder(NoteFields.size());
  EXPECT_EQ(MissingRecords(onDisk, fields, mine, fields, 0), (std::vector<std::size_t>{1}));
  const Packet merged = MergeNewRecords(onDisk, fields, mine, fields, 0);
  ASSERT_EQ(merged.RowCount(), 3u);
  EXPECT_EQ(merged.columns[1].texts, (std::vector<std::string>{"casa", "casa", "cama"}));
}

}  // namespace
}  // namespace tecladim::history
