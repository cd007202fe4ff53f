#include <gtest/gtest.h>

#include <functional>

#include "history/record_set.h"
#include "tests/history/exercise_records.h"

namespace tecladim::history {
namespace {

using testing::At;
using testing::RecordExercise;
using testing::RecordExerciseAt;

std::u16string U(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

void ExpectHistoryError(const std::function<void()>& action, HistoryErrorKind kind, const std::string& text) {
  try {
    action();
    ADD_FAILURE() << "no error, expected: " << text;
  } catch (const HistoryError& e) {
    EXPECT_EQ(e.kind(), kind);
    EXPECT_EQ(std::string(e.what()), text);
  }
}

std::vector<std::uint32_t> RecordNumbersInOrder(const RecordSet& set) {
  std::vector<std::uint32_t> numbers;
  for (int i = 0; i < set.RowCount(); ++i) numbers.push_back(set.RecordNumberAt(i));
  return numbers;
}

// Content the way the reader hands it over: one column per field description.
Column MakeColumn(std::string name, std::string type, ValueKind kind) {
  Column c;
  c.def.name = std::move(name);
  c.def.type = std::move(type);
  c.kind = kind;
  return c;
}

Packet HistoryPacket(std::string_view licaoType = "i4", std::string_view dataType = "dateTime") {
  Packet p;
  p.columns.push_back(MakeColumn("licao", std::string(licaoType), ValueKind::Integer));
  ValueKind dataKind = ValueKind::DateTime;
  KindOfType(dataType, dataKind);
  p.columns.push_back(MakeColumn("data", std::string(dataType), dataKind));
  p.columns.push_back(MakeColumn("erros", "i4", ValueKind::Integer));
  for (const char* name : {"inicio", "fim", "tempo"}) p.columns.push_back(MakeColumn(name, "dateTime", ValueKind::DateTime));
  return p;
}

// Adds a row with `licao` and `data` set and every other field blank.
void AddRow(Packet& p, int licao, DateTime data, std::uint8_t status = 0) {
  for (Column& c : p.columns) {
    const bool set = c.def.name == "licao" || c.def.name == "data";
    c.present.push_back(set ? 1 : 0);
    if (c.kind == ValueKind::Text) c.texts.emplace_back();
    else c.numbers.push_back(c.def.name == "licao" ? licao : c.def.name == "data" ? ToStamp(data).ms : 0);
  }
  p.rowStates.push_back(status);
}

TEST(RecordSetErrors, EachCarriesItsKindAndExactText) {
  RecordSet closed("cds1");
  ExpectHistoryError([&] { closed.Append(); }, HistoryErrorKind::ClosedDataset,
                     "cds1: Cannot perform this operation on a closed dataset");
  ExpectHistoryError([&] { closed.Post(); }, HistoryErrorKind::ClosedDataset,
                     "cds1: Cannot perform this operation on a closed dataset");
  ExpectHistoryError([&] { closed.Last(); }, HistoryErrorKind::ClosedDataset,
                     "cds1: Cannot perform this operation on a closed dataset");

  RecordSet open("cds1");
  open.CreateDataSet();
  ExpectHistoryError([&] { open.CreateDataSet(); }, HistoryErrorKind::OpenDataset,
                     "cds1: Cannot perform this operation on an open dataset");
  ExpectHistoryError([&] { open.SetInteger("licao", 1); }, HistoryErrorKind::NotEditing,
                     "cds1: Dataset not in edit or insert mode");
  open.Append();
  ExpectHistoryError([&] { open.SetInteger("nota", 1); }, HistoryErrorKind::FieldNotFound,
                     "cds1: Field 'nota' not found");
  ExpectHistoryError([&] { open.SetInteger("data", 1); }, HistoryErrorKind::TypeMismatch,
                     "cds1: Type mismatch for field 'data', expecting: Integer actual: DateTime");
  ExpectHistoryError([&] { (void)open.DateTimeValue("erros"); }, HistoryErrorKind::TypeMismatch,
                     "cds1: Type mismatch for field 'erros', expecting: DateTime actual: Integer");

  RecordSet named("historico");
  ExpectHistoryError([&] { named.Append(); }, HistoryErrorKind::ClosedDataset,
                     "historico: Cannot perform this operation on a closed dataset");
}

TEST(RecordSet, PostsNumberRecordsInOrderOfEntryAndLogEachInsertion) {
  RecordSet set("cds1");
  set.CreateDataSet();
  for (int i = 0; i < 3; ++i) RecordExerciseAt(set, 10 + i, At(2024, 3, 5, 14, i));
  EXPECT_EQ(RecordNumbersInOrder(set), (std::vector<std::uint32_t>{1, 2, 3}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(set.RecordStatusAt(i), StatusInserted);
  EXPECT_EQ(set.Content().changeLog,
            (std::vector<ChangeLogEntry>{{1, 0, 4}, {2, 0, 4}, {3, 0, 4}}));
  EXPECT_EQ(set.CurrentRow(), 2);
  EXPECT_EQ(set.Integer("licao"), 12);
}

TEST(RecordSet, ClockSetBackPlacesTheLaterRecordBeforeLaterDataAndKeepsItCurrent) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5, 10));
  RecordExerciseAt(set, 2, At(2024, 3, 5, 12));
  RecordExerciseAt(set, 3, At(2024, 3, 5, 11));  // the clock went back an hour
  EXPECT_EQ(RecordNumbersInOrder(set), (std::vector<std::uint32_t>{1, 3, 2}));
  EXPECT_EQ(set.CurrentRow(), 1);
  EXPECT_EQ(set.Integer("licao"), 3);
  set.Last();
  EXPECT_EQ(set.Integer("licao"), 2);
}

TEST(RecordSet, PostWithEqualDataLandsAfterTheEqualRecords) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5, 10));
  RecordExerciseAt(set, 2, At(2024, 3, 5, 12));
  RecordExerciseAt(set, 3, At(2024, 3, 5, 10));
  EXPECT_EQ(RecordNumbersInOrder(set), (std::vector<std::uint32_t>{1, 3, 2}));
  RecordExerciseAt(set, 4, At(2024, 3, 5, 10));
  EXPECT_EQ(RecordNumbersInOrder(set), (std::vector<std::uint32_t>{1, 3, 4, 2}));
  EXPECT_EQ(set.CurrentRow(), 2);
}

TEST(RecordSet, ValuesAreHeldToTheMillisecondAndReadBackWhileAppending) {
  RecordSet set("cds1");
  set.CreateDataSet();
  set.Append();
  EXPECT_EQ(set.DateTimeValue("fim"), std::nullopt);  // blank until written
  set.SetDateTime("data", At(2024, 3, 5, 14, 3, 27, 123) + 0.4 / MsPerDay);
  EXPECT_EQ(set.DateTimeValue("data"), At(2024, 3, 5, 14, 3, 27, 123));
  set.SetInteger("erros", -3);
  EXPECT_EQ(set.Integer("erros"), -3);
  EXPECT_EQ(set.CurrentRow(), NoRow);  // not a grid row before it is posted
}

// The window appends a completed exercise as one typed record; the class report reads a
// million of them by row without moving the current record.
TEST(RecordSet, TypedRecordsGoInAsOneChangeAndComeOutByRow) {
  RecordSet set("cds1");
  set.CreateDataSet();
  const HistoryRecord full{158, At(2024, 3, 5, 14, 3, 27, 123), 2, At(2024, 3, 5, 14, 2, 12), At(2024, 3, 5, 14, 3, 27),
                           At(1899, 12, 30, 0, 1, 15)};
  set.AppendRecord(full);
  set.AppendRecord({7, At(2024, 3, 5, 9), std::nullopt, std::nullopt, std::nullopt, std::nullopt});
  EXPECT_FALSE(set.Inserting());
  EXPECT_EQ(set.Content().changeLog, (std::vector<ChangeLogEntry>{{1, 0, 4}, {2, 0, 4}}));
  EXPECT_EQ(RecordNumbersInOrder(set), (std::vector<std::uint32_t>{2, 1}));  // by data
  ASSERT_EQ(set.CurrentRow(), 0);  // the record just posted

  const HistoryRecord first = set.RecordAt(1);
  EXPECT_EQ(first.licao, 158);
  EXPECT_EQ(first.data, full.data);
  EXPECT_EQ(first.erros, 2);
  EXPECT_EQ(first.inicio, full.inicio);
  EXPECT_EQ(first.fim, full.fim);
  EXPECT_EQ(first.tempo, full.tempo);
  EXPECT_EQ(set.CurrentRow(), 0) << "reading a row moves nothing";
  const HistoryRecord blanks = set.RecordAt(0);
  EXPECT_EQ(blanks.licao, 7);
  EXPECT_EQ(blanks.erros, std::nullopt);
  EXPECT_EQ(blanks.tempo, std::nullopt);
  EXPECT_EQ(set.RecordAt(2).licao, std::nullopt);
  EXPECT_EQ(set.RecordAt(-1).data, std::nullopt);
  EXPECT_EQ(set.DisplayTextAt(1, HistoryField::Tempo), u"00:01:15");
  EXPECT_EQ(set.DisplayText(HistoryField::Licao), u"7");

  // The same record through the six named writes gives the same content, byte for byte.
  RecordSet named("cds1");
  named.CreateDataSet();
  named.Append();
  named.SetInteger("licao", 158);
  named.SetDateTime("data", *full.data);
  named.SetInteger("erros", 2);
  named.SetDateTime("inicio", *full.inicio);
  named.SetDateTime("fim", *full.fim);
  named.SetDateTime("tempo", *full.tempo);
  named.Post();
  RecordSet typed("cds1");
  typed.CreateDataSet();
  typed.AppendRecord(full);
  EXPECT_EQ(WritePacket(typed.Content()), WritePacket(named.Content()));
}

struct TextCase {
  const char* name;
  DateTime inicio;
  DateTime fim;
  const char* fimText;
  const char* tempoText;
};

TEST(RecordSetDisplay, FieldTextsOfAPostedRecord) {
  const TextCase cases[] = {
      {"five minutes seventeen", At(2024, 3, 5, 13, 58, 10), At(2024, 3, 5, 14, 3, 27), "05/03/2024 14:03:27", "00:05:17"},
      {"finished within the second", At(2024, 3, 5, 9), At(2024, 3, 5, 9), "05/03/2024 09:00:00", "30/12/1899"},
      {"a day and five seconds", At(2024, 3, 4, 0), At(2024, 3, 5, 0, 0, 5), "05/03/2024 00:00:05", "31/12/1899 00:00:05"},
      // Across midnight both take the completion date: a negative duration shows its magnitude.
      {"23:50 to 00:10", At(2024, 3, 5, 23, 50), At(2024, 3, 5, 0, 10), "05/03/2024 00:10:00", "23:40:00"},
      {"ending at midnight", At(2024, 3, 4, 23, 59), At(2024, 3, 5), "05/03/2024", "00:01:00"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordSet set("cds1");
    set.CreateDataSet();
    RecordExercise(set, -7, At(2024, 3, 5, 14, 3, 27, 999), 1234, c.inicio, c.fim);
    EXPECT_EQ(set.DisplayText("licao"), u"-7");
    EXPECT_EQ(set.DisplayText("erros"), u"1234");
    EXPECT_EQ(set.DisplayText("data"), u"05/03/2024 14:03:27");  // the fraction is never shown
    EXPECT_EQ(set.DisplayText("fim"), U(c.fimText));
    EXPECT_EQ(set.DisplayText("tempo"), U(c.tempoText));
    EXPECT_EQ(TempoDisplayText(set.PlainText("tempo")), U(c.tempoText));
    EXPECT_EQ(set.DisplayTextAt(0, "tempo"), U(c.tempoText));
  }
}

TEST(RecordSetDisplay, BlankFieldsAndNoCurrentRecordShowNothing) {
  RecordSet set("cds1");
  EXPECT_EQ(set.DisplayText("licao"), u"");  // closed
  set.CreateDataSet();
  EXPECT_EQ(set.DisplayText("data"), u"");  // empty
  set.Append();
  set.SetInteger("licao", 5);
  set.Post();
  EXPECT_EQ(set.DisplayText("licao"), u"5");
  EXPECT_EQ(set.DisplayText("erros"), u"");
  EXPECT_EQ(set.DisplayText("tempo"), u"");
  EXPECT_EQ(set.DisplayTextAt(0, "data"), u"");
  EXPECT_EQ(set.DisplayTextAt(1, "licao"), u"");  // no such row
}

TEST(RecordSetDisplay, TempoTextDropsOnlyTheDurationDate) {
  EXPECT_EQ(TempoDisplayText(u"30/12/1899 00:05:17"), u"00:05:17");
  EXPECT_EQ(TempoDisplayText(u"30/12/1899"), u"30/12/1899");
  EXPECT_EQ(TempoDisplayText(u"31/12/1899 00:00:05"), u"31/12/1899 00:00:05");
  EXPECT_EQ(TempoDisplayText(u""), u"");
  EXPECT_EQ(TempoDisplayText(u"30/12/1899 " + std::u16string(150, u'9')), std::u16string(100, u'9'));
}

TEST(RecordSetLifecycle, CloseKeepsASnapshotThatOpenBringsBack) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5, 12));
  RecordExerciseAt(set, 2, At(2024, 3, 5, 10));
  set.Append();
  set.SetInteger("licao", 3);
  set.Close();  // drops the record being appended
  EXPECT_FALSE(set.Active());
  EXPECT_EQ(set.RowCount(), 0);
  EXPECT_EQ(set.CurrentRow(), NoRow);
  set.Open();
  EXPECT_EQ(set.RowCount(), 2);
  EXPECT_EQ(set.CurrentRow(), 0);  // the first in order
  EXPECT_EQ(set.Integer("licao"), 2);
  EXPECT_EQ(set.Content().changeLog.size(), 2u);
}

TEST(RecordSetLifecycle, LeavingTheInsertingStatePostsAWrittenRecordAndDropsABlankOne) {
  RecordSet set("cds1");
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5, 10));
  set.Append();
  set.Last();  // nothing written: dropped, the previous record current again
  EXPECT_EQ(set.RowCount(), 1);
  EXPECT_EQ(set.CurrentRow(), 0);
  set.Append();
  set.SetInteger("licao", 9);
  set.Last();
  EXPECT_EQ(set.RowCount(), 2);
  EXPECT_EQ(set.RecordNumberAt(0), 2u);  // a blank data sorts before every date
}

struct BindCase {
  const char* name;
  std::function<void(Packet&)> change;
  HistoryErrorKind kind;
  const char* text;
};

TEST(RecordSetLoad, FieldsAreBoundByNameAndTheFirstFailingFieldIsReported) {
  const BindCase cases[] = {
      {"no licao", [](Packet& p) { p.columns.erase(p.columns.begin()); }, HistoryErrorKind::FieldNotFound,
       "cds1: Field 'licao' not found"},
      {"erros as text", [](Packet& p) { p.columns[2] = MakeColumn("erros", "string", ValueKind::Text); },
       HistoryErrorKind::TypeMismatch, "cds1: Type mismatch for field 'erros', expecting: Integer actual: String"},
      {"licao too wide", [](Packet& p) { p.columns[0].def.type = "i8"; }, HistoryErrorKind::TypeMismatch,
       "cds1: Type mismatch for field 'licao', expecting: Integer actual: LargeInt"},
      {"data without its time", [](Packet& p) { p.columns[1].def.type = "date"; }, HistoryErrorKind::TypeMismatch,
       "cds1: Type mismatch for field 'data', expecting: DateTime actual: Date"},
      {"tempo as a number", [](Packet& p) { p.columns[5] = MakeColumn("tempo", "r8", ValueKind::Text); },
       HistoryErrorKind::TypeMismatch, "cds1: Type mismatch for field 'tempo', expecting: DateTime actual: Float"},
      {"field order decides", [](Packet& p) {
         p.columns.erase(p.columns.begin() + 2);  // no erros
         p.columns[1].def.type = "time";          // and data of another kind, which comes first
       },
       HistoryErrorKind::TypeMismatch, "cds1: Type mismatch for field 'data', expecting: DateTime actual: Time"},
  };
  for (const BindCase& c : cases) {
    SCOPED_TRACE(c.name);
    Packet p = HistoryPacket();
    AddRow(p, 1, At(2024, 3, 5));
    c.change(p);
    RecordSet set("cds1");
    set.CreateDataSet();
    RecordExerciseAt(set, 1, At(2024, 3, 5));
    ExpectHistoryError([&] { set.LoadFromPacket(p); }, c.kind, c.text);
    // Closed and empty: the snapshot is gone too.
    EXPECT_FALSE(set.Active());
    ExpectHistoryError([&] { set.Append(); }, HistoryErrorKind::ClosedDataset,
                       "cds1: Cannot perform this operation on a closed dataset");
    set.Open();
    EXPECT_EQ(set.RowCount(), 0);
  }
}

TEST(RecordSetLoad, NarrowerIntegersTimestampsAndOtherLetterCaseAreAccepted) {
  Packet p = HistoryPacket("i2", "SQLdateTime");
  p.columns[2].def.name = "ERROS";
  AddRow(p, 156, At(2024, 3, 5, 8));
  RecordSet set("cds1");
  set.LoadFromPacket(p);
  EXPECT_EQ(set.DisplayText("licao"), u"156");
  EXPECT_EQ(set.DisplayText("data"), u"05/03/2024 08:00:00");
}

TEST(RecordSetLoad, FileRowsKeepTheirStatusAndNewRecordsAreNumberedAfterThem) {
  Packet p = HistoryPacket();
  Column turma = MakeColumn("turma", "string", ValueKind::Text);
  p.columns.push_back(turma);
  AddRow(p, 1, At(2024, 3, 5, 12));
  AddRow(p, 2, At(2024, 3, 5, 9), StatusInserted);
  AddRow(p, 3, At(2024, 3, 5, 9));
  p.columns.back().texts = {"3B", "3B", "4A"};
  p.columns.back().present = {1, 1, 1};
  RecordSet set("cds1");
  set.CreateDataSet();
  set.LoadFromPacket(p);
  // Ordered by data, equal data by record number; the first in order is current.
  EXPECT_EQ(RecordNumbersInOrder(set), (std::vector<std::uint32_t>{2, 3, 1}));
  EXPECT_EQ(set.CurrentRow(), 0);
  EXPECT_EQ(set.RecordStatusAt(0), StatusInserted);
  EXPECT_EQ(set.RecordStatusAt(2), 0);

  RecordExerciseAt(set, 4, At(2024, 3, 6));
  EXPECT_EQ(set.RecordNumberAt(3), 4u);
  EXPECT_EQ(set.Content().changeLog, (std::vector<ChangeLogEntry>{{4, 0, 4}}));
  const Column& extra = set.Content().columns.back();
  EXPECT_EQ(extra.texts[2], "4A");
  EXPECT_EQ(extra.present[3], 0);  // new records leave it blank
}

struct CountingListener : RecordSetListener {
  int beforeReset = 0, afterReset = 0, beforeInsert = 0, afterInsert = 0, current = 0;
  int insertedAt = -1;
  int rowsSeenBeforeInsert = -1;
  const RecordSet* set = nullptr;
  void BeforeReset() override { ++beforeReset; }
  void AfterReset() override { ++afterReset; }
  void BeforeInsertRow(int i) override {
    ++beforeInsert;
    rowsSeenBeforeInsert = set->RowCount();
    insertedAt = i;
  }
  void AfterInsertRow(int i) override {
    ++afterInsert;
    EXPECT_EQ(i, insertedAt);
  }
  void CurrentChanged() override { ++current; }
};

TEST(RecordSetListener, HearsEveryChangeOnce) {
  RecordSet set("cds1");
  CountingListener heard;
  heard.set = &set;
  set.AddListener(&heard);
  set.CreateDataSet();
  RecordExerciseAt(set, 1, At(2024, 3, 5, 10));
  heard = CountingListener{};
  heard.set = &set;

  RecordExerciseAt(set, 2, At(2024, 3, 5, 9));  // Append, six writes, Post
  EXPECT_EQ(heard.beforeInsert, 1);
  EXPECT_EQ(heard.afterInsert, 1);
  EXPECT_EQ(heard.insertedAt, 0);
  EXPECT_EQ(heard.rowsSeenBeforeInsert, 1);  // the count changes between the two
  EXPECT_EQ(heard.current, 8);
  EXPECT_EQ(heard.beforeReset, 0);

  heard.current = 0;
  set.SetCurrentRow(0);  // already current
  set.SetCurrentRow(5);  // no such row
  EXPECT_EQ(heard.current, 0);
  set.Last();
  EXPECT_EQ(heard.current, 1);

  Packet p = HistoryPacket();
  AddRow(p, 3, At(2024, 3, 5));
  set.LoadFromPacket(p);
  EXPECT_EQ(heard.beforeReset, 1);
  EXPECT_EQ(heard.afterReset, 1);
  EXPECT_EQ(heard.current, 2);

  p.columns.erase(p.columns.begin());
  EXPECT_THROW(set.LoadFromPacket(p), HistoryError);
  EXPECT_EQ(heard.beforeReset, 2);
  EXPECT_EQ(heard.afterReset, 2);  // a failed load still closes its reset

  set.RemoveListener(&heard);
  set.Open();
  EXPECT_EQ(heard.afterReset, 2);
}

}  // namespace
}  // namespace tecladim::history
