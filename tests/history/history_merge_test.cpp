#include <gtest/gtest.h>

#include "history/history_merge.h"

namespace tecladim::history {
namespace {

constexpr FieldColumns InOrder{0, 1, 2, 3, 4, 5};

// A history whose record k (from 1) has licao = `lessonBase` + k, every other field k,
// as `rows` records appended by this program would be.
Packet History(std::size_t rows, std::int64_t lessonBase, bool withTurma = false) {
  Packet p;
  for (const char* name : {"licao", "data", "erros", "inicio", "fim", "tempo"}) {
    Column c;
    c.def.name = name;
    c.def.type = name == std::string_view("licao") || name == std::string_view("erros") ? "i4" : "dateTime";
    c.kind = c.def.type == "i4" ? ValueKind::Integer : ValueKind::DateTime;
    p.columns.push_back(std::move(c));
  }
  if (withTurma) {
    Column c;
    c.def.name = "turma";
    c.def.type = "string";
    c.kind = ValueKind::Text;
    p.columns.push_back(std::move(c));
  }
  for (std::size_t k = 1; k <= rows; ++k) {
    for (std::size_t f = 0; f < RecordFieldCount; ++f) {
      p.columns[f].numbers.push_back(f == 0 ? lessonBase + static_cast<std::int64_t>(k) : static_cast<std::int64_t>(k));
      p.columns[f].present.push_back(1);
    }
    if (withTurma) {
      p.columns[6].texts.push_back("3B");
      p.columns[6].present.push_back(1);
    }
    p.rowStates.push_back(4);
    p.changeLog.push_back({static_cast<std::uint32_t>(k), 0, 4});
  }
  return p;
}

std::vector<std::int64_t> Lessons(const Packet& p) { return p.columns[0].numbers; }

// Two programs loaded the same 2 records; the other one saved 1 new record first (file: 3
// records), and this one has 2 new records to add.
TEST(MergeNewRecords, KeepsTheFileAndAppendsThisRunsRecordsNumberedAndLoggedAsAppends) {
  Packet onDisk = History(3, 100);
  Packet mine = History(4, 100);
  mine.columns[0].numbers[2] = 201;  // this run's own two records
  mine.columns[0].numbers[3] = 202;
  mine.columns[2].present[3] = 0;    // one with a blank erros

  const Packet merged = MergeNewRecords(onDisk, InOrder, mine, InOrder, 2);
  EXPECT_EQ(Lessons(merged), (std::vector<std::int64_t>{101, 102, 103, 201, 202}));
  EXPECT_EQ(merged.rowStates, (std::vector<std::uint8_t>{4, 4, 4, 4, 4}));
  EXPECT_EQ(merged.changeLog, (std::vector<ChangeLogEntry>{{1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {5, 0, 4}}));
  EXPECT_EQ(merged.columns[2].present, (std::vector<std::uint8_t>{1, 1, 1, 1, 0}));
  EXPECT_EQ(merged.columns[5].numbers[3], 3);  // tempo of mine's third row came along
}

TEST(MergeNewRecords, AFileNotMadeByThisProgramKeepsItsRowsAndLogAsTheyAre) {
  Packet onDisk = History(2, 10);
  onDisk.rowStates = {0, 0};
  onDisk.changeLog.clear();
  onDisk.params = {{"LCID", "1046"}};
  const Packet merged = MergeNewRecords(onDisk, InOrder, History(1, 50), InOrder, 0);
  EXPECT_EQ(Lessons(merged), (std::vector<std::int64_t>{11, 12, 51}));
  EXPECT_EQ(merged.rowStates, (std::vector<std::uint8_t>{0, 0, 4}));
  EXPECT_EQ(merged.changeLog, (std::vector<ChangeLogEntry>{{3, 0, 4}}));
  EXPECT_EQ(merged.params, onDisk.params);
}

// The file's columns decide the result: its extra column is blank in the new records, and
// fields are matched by name wherever each packet holds them.
TEST(MergeNewRecords, FieldsAreMatchedByColumnAndTheFilesExtraColumnIsBlankInNewRecords) {
  Packet onDisk = History(1, 10, true);
  std::swap(onDisk.columns[0], onDisk.columns[6]);  // turma first, licao last
  const FieldColumns diskFields{6, 1, 2, 3, 4, 5};
  const Packet merged = MergeNewRecords(onDisk, diskFields, History(2, 70), InOrder, 1);
  EXPECT_EQ(merged.columns[6].numbers, (std::vector<std::int64_t>{11, 72}));
  EXPECT_EQ(merged.columns[0].texts, (std::vector<std::string>{"3B", ""}));
  EXPECT_EQ(merged.columns[0].present, (std::vector<std::uint8_t>{1, 0}));
}

TEST(MergeNewRecords, NothingNewLeavesTheFileAsItIs) {
  const Packet onDisk = History(3, 0);
  EXPECT_EQ(MergeNewRecords(onDisk, InOrder, History(2, 0), InOrder, 2), onDisk);
  EXPECT_EQ(MergeNewRecords(History(0, 0), InOrder, History(2, 0), InOrder, 0).changeLog.size(), 2u);
}

}  // namespace
}  // namespace tecladim::history
