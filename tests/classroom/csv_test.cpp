#include "classroom/csv.h"

#include <gtest/gtest.h>

#include "class_files.h"
#include "classroom/class_loader.h"
#include "tests/support/scoped_locale.h"

namespace tecladim::classroom {
namespace {

using testing::ClassFolder;
using testing::Row;
using testing::TrainerHistory;

TEST(CsvCell, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvCell("turma-a/joão"), "turma-a/joão");
  EXPECT_EQ(CsvCell("a;b"), "\"a;b\"");
  EXPECT_EQ(CsvCell("o \"Zé\""), "\"o \"\"Zé\"\"\"");
  EXPECT_EQ(CsvCell("duas\nlinhas"), "\"duas\nlinhas\"");
  EXPECT_EQ(CsvCell("cr\r"), "\"cr\r\"");
  EXPECT_EQ(CsvCell(""), "");
}

// Student folders named like formulas used to run as formulas when the CSV was opened.
TEST(CsvCell, FormulaLookingTextStaysText) {
  EXPECT_EQ(CsvCell("=1+1"), "'=1+1");
  EXPECT_EQ(CsvCell("+2+3"), "'+2+3");
  EXPECT_EQ(CsvCell("-x"), "'-x");
  EXPECT_EQ(CsvCell("@SOMA(1;2)"), "\"'@SOMA(1;2)\"");
  EXPECT_EQ(CsvCell("\tx"), "'\tx");
  EXPECT_EQ(CsvCell("\rx"), "\"'\rx\"");
  EXPECT_EQ(CsvCell("turma/=1+1"), "turma/=1+1") << "only the cell's start makes a formula";
  EXPECT_EQ(CsvCell("ana-maria"), "ana-maria");
}

TEST(ClassCsv, AFormulaNamedStudentIsTextAndTheNumbersStayNumbers) {
  const auto at = ToStamp(EncodeDateTime({2024, 3, 1}, {10, 0, 0, 0}));
  const Student formula{"=1+1", "=1+1/Exercicio.xml", {}, {{1, 1, at, 3, 95}}};
  EXPECT_EQ(ClassCsv({formula}, {}),
            "\xEF\xBB\xBF"
            "aluno;licao;data;erros;tempo;toques;tpm;ppm;tl;precisao;meta;percentual_meta\r\n"
            "'=1+1;1;01/03/2024 10:00:00;3;95;1155;729,5;145,9;727,6;99,7;;\r\n");
}

// A small class with every awkward record a school's folder holds.
class SmallClass : public ::testing::Test {
 protected:
  void SetUp() override {
    // Written by the trainer, rows out of `data` order.
    f.Write("turma/turma-a/joão/Exercicio.xml",
            TrainerHistory(Row(158, "20240305", "10:00:00", "10:01:15", 1, "00:01:15") +
                               Row(1, "20240304", "08:00:00", "08:01:35", 3, "00:01:35"),
                           "1 0 4 2 0 4"));
    // Blank fields, lessons without a lesson, zero and negative durations.
    f.Write("turma/turma-a/ana/Exercicio.xml",
            TrainerHistory(
                // lesson 0, zero seconds
                Row(0, "20240301", "09:00:00", "09:00:00", 0, "00:00:00") +
                // lesson 193 ("Erro." as a passage) in 2 s
                Row(193, "20240301", "09:10:00", "09:10:02", 1, "00:00:02") +
                // across midnight: tempo blank, fim before inicio on the completion date
                "<ROW RowState=\"4\" licao=\"2\" data=\"20240302T00:10:00000\" erros=\"4\" "
                "inicio=\"20240302T23:50:00000\" fim=\"20240302T00:10:00000\"/>"
                // a duration below 30/12/1899: a day and 5 s, by its magnitude
                "<ROW RowState=\"4\" licao=\"168\" data=\"20240303T10:00:00000\" erros=\"0\" "
                "tempo=\"18991229T00:00:05000\"/>"
                // only a lesson
                "<ROW RowState=\"4\" licao=\"5\"/>"
                // no lesson, no errors
                "<ROW RowState=\"4\" data=\"20240303T11:00:00000\" tempo=\"18991230T00:01:00000\"/>",
                "1 0 4 2 0 4 3 0 4 4 0 4 5 0 4 6 0 4"));
    // A school's own tool: no RowState, no change log, an extra column, another order.
    f.Write("turma/turma-b/o \"Zé\"; Silva/Exercicio.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DATAPACKET Version=\"2.0\">\n <METADATA>\n  <FIELDS>\n"
            "   <FIELD attrname=\"turma\" fieldtype=\"string\" WIDTH=\"20\"/>\n"
            "   <FIELD fieldtype=\"i4\" attrname=\"licao\"/>\n   <FIELD attrname=\"data\" fieldtype=\"dateTime\"/>\n"
            "   <FIELD attrname=\"erros\" fieldtype=\"i4\"/>\n   <FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/>\n"
            "   <FIELD attrname=\"fim\" fieldtype=\"dateTime\"/>\n   <FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/>\n"
            "  </FIELDS>\n  <PARAMS/>\n </METADATA>\n <ROWDATA>\n"
            "  <ROW turma=\"3B\" licao=\"157\" data=\"20240301T10:00:00000\" erros=\"2\" "
            "inicio=\"20240301T09:58:00000\" fim=\"20240301T10:00:00000\" tempo=\"18991230T00:02:00000\"/>\n"
            " </ROWDATA>\n</DATAPACKET>\n");
    f.Write("turma/turma-b/quebrado/Exercicio.xml", "<DATAPACKET Version=\"2.0\"><METADATA>");
    // A file directly in the second opened folder: the folder's name is the student's.
    f.Write("bia/Exercicio.xml",
            TrainerHistory(Row(40, "20240306", "07:00:00", "07:00:50", 2, "00:00:50"), "1 0 4"));

    const ClassFolders found = FindHistories({f.root() / "turma", f.root() / "bia"});
    students = LoadClass(found.histories);
  }

  ClassFolder f;
  std::vector<Student> students;
};

TEST_F(SmallClass, CsvByteForByte) {
  const std::string expected =
      "\xEF\xBB\xBF"
      "aluno;licao;data;erros;tempo;toques;tpm;ppm;tl;precisao;meta;percentual_meta\r\n"
      "bia;40;06/03/2024 07:00:50;2;50;1200;1440,0;288,0;1437,6;99,8;;\r\n"
      "turma/turma-a/ana;5;;;;1200;;;;;;\r\n"
      "turma/turma-a/ana;0;01/03/2024 09:00:00;0;0;75;;;;100,0;;\r\n"
      "turma/turma-a/ana;193;01/03/2024 09:10:02;1;2;5;150,0;30,0;120,0;80,0;;\r\n"
      "turma/turma-a/ana;2;02/03/2024 00:10:00;4;85200;1155;0,8;0,2;0,8;99,7;;\r\n"
      "turma/turma-a/ana;168;03/03/2024 10:00:00;0;86405;23;0,0;0,0;0,0;100,0;5;0,0\r\n"
      "turma/turma-a/ana;;03/03/2024 11:00:00;;60;;;;;;;\r\n"
      "turma/turma-a/joão;1;04/03/2024 08:01:35;3;95;1155;729,5;145,9;727,6;99,7;;\r\n"
      "turma/turma-a/joão;158;05/03/2024 10:01:15;1;75;79;63,2;12,6;62,4;98,7;60;80,0\r\n"
      "\"turma/turma-b/o \"\"Zé\"\"; Silva\";157;01/03/2024 10:00:00;2;120;292;146,0;29,2;145,0;99,3;;\r\n";
  EXPECT_EQ(ClassCsv(students, {}), expected);
  // The window's export runs with the C library's locale set from LANG: the same bytes.
  for (const char* name : tecladim::testing_support::UserLocales()) {
    tecladim::testing_support::ScopedCLocale locale(name);
    if (!locale.Active()) continue;
    EXPECT_EQ(ClassCsv(students, {}), expected) << name;
    EXPECT_EQ(GroupedDecimalText(12345.65), "12.345,7") << name;
  }
}

TEST_F(SmallClass, FailedFilesGiveNoLinesAndThePeriodLimitsTheRest) {
  ASSERT_EQ(students.size(), 5u);
  EXPECT_EQ(students[4].aluno, "turma/turma-b/quebrado");
  EXPECT_EQ(students[4].error, "Mismatch in datapacket.");
  const std::string march5 = ClassCsv(students, DateRange({2024, 3, 5}, {2024, 3, 5}));
  EXPECT_EQ(march5,
            "\xEF\xBB\xBF"
            "aluno;licao;data;erros;tempo;toques;tpm;ppm;tl;precisao;meta;percentual_meta\r\n"
            "turma/turma-a/joão;158;05/03/2024 10:01:15;1;75;79;63,2;12,6;62,4;98,7;60;80,0\r\n");
}

TEST(ClassCsv, StudentsOfTheSameNameFromTwoFoldersInterleaveByDate) {
  const auto at = [](unsigned day) { return ToStamp(EncodeDateTime({2024, 3, day}, {10, 0, 0, 0})); };
  const Student first{"joao", "a/joao/Exercicio.xml", {}, {{1, 1, at(1), 0, 60}, {2, 1, at(3), 0, 60}}};
  const Student second{"joao", "b/joao/Exercicio.xml", {}, {{1, 2, at(2), 0, 60}}};
  const Student ana{"ana", "b/ana/Exercicio.xml", {}, {{1, 3, at(9), 0, 60}}};
  const std::string csv = ClassCsv({first, second, ana}, {});
  const auto line = [&](std::string_view start) { return csv.find(start); };
  EXPECT_LT(line("ana;3;"), line("joao;1;01/03"));
  EXPECT_LT(line("joao;1;01/03"), line("joao;2;02/03"));
  EXPECT_LT(line("joao;2;02/03"), line("joao;1;03/03"));
  EXPECT_NE(line("joao;1;03/03"), std::string::npos);
}

}  // namespace
}  // namespace tecladim::classroom
