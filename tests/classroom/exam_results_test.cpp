#include "classroom/exam_results.h"

#include <gtest/gtest.h>

#include <sstream>

#include "class_files.h"
#include "exam/results_file.h"
#include "tests/support/file_bytes.h"

namespace tecladim::classroom {
namespace {

using testing::ClassFolder;
using testing::TrainerHistory;

// A TJ-SP test as tecladim-prova records it: 8 − 0,05 × 7 errors is 7,65, a pass.
exam::ResultRecord Result(int day, int hour, std::int64_t erros = 7, std::string perfil = "TJ-SP") {
  exam::ResultRecord r;
  r.perfil = std::move(perfil);
  r.versao = 1;
  r.minutos = 11;
  r.minimo = 400;
  r.texto = "servico-publico";
  r.inicio = EncodeDateTime({2024, 3, static_cast<unsigned>(day)}, {hour, 5, 30, 0});
  r.fim = EncodeDateTime({2024, 3, static_cast<unsigned>(day)}, {hour, 16, 0, 0});
  r.tempo = FromStamp({630'000});
  r.tb = 1712;
  r.erros = erros;
  r.tl = 1712 - erros;
  r.nota = 800 - 5 * erros;
  r.casas = 2;
  r.apto = r.nota >= r.minimo;
  r.marcas = "d:1:4:3:3";
  r.digitado = "O serviço público…";
  return r;
}

// Writes the results through the exam program's own results file.
void WriteResults(const std::filesystem::path& file, const std::vector<exam::ResultRecord>& results) {
  std::filesystem::create_directories(file.parent_path() / "dados");
  std::ostringstream notes;
  exam::ResultsFile out(file, file.parent_path() / "dados", notes);
  ASSERT_EQ(out.Load(), "");
  for (const auto& r : results) ASSERT_EQ(out.Add(r), "");
  std::filesystem::remove_all(file.parent_path() / "dados");
}

std::vector<std::string> Names(const std::vector<HistoryLocation>& found) {
  std::vector<std::string> names;
  for (const HistoryLocation& h : found) names.push_back(h.aluno);
  return names;
}

TEST(ClassResults, FoundBesideTheHistoryOrAloneAndNamedByTheFolder) {
  ClassFolder f;
  f.Write("turma/ana/Exercicio.xml", TrainerHistory(""));
  f.Write("turma/ana/Simulados.xml", "");
  f.Write("turma/bia/Simulados.xml", "");  // a candidate who only takes simulados
  f.Write("turma/caio/Exercicio.xml", TrainerHistory(""));
  f.Write("turma/caio/simulados.xml", "");  // not the exam program's name
  const ClassFolders found = FindHistories({f.root() / "turma"});
  EXPECT_EQ(Names(found.histories), (std::vector<std::string>{"ana", "caio"}));
  ASSERT_EQ(Names(found.results), (std::vector<std::string>{"ana", "bia"}));
  EXPECT_EQ(found.results[1].file, f.root() / "turma/bia/Simulados.xml");
}

// Folders of the same name are numbered by folder: a results file alone in the second folder
// must not take the first student's name.
TEST(ClassResults, TwoFoldersOfOneNameKeepTheirResultsApart) {
  ClassFolder f;
  f.Write("a/turma/joão/Exercicio.xml", TrainerHistory(""));
  f.Write("b/turma/joão/Simulados.xml", "");
  f.Write("c/turma/joão/Exercicio.xml", TrainerHistory(""));
  f.Write("c/turma/joão/Simulados.xml", "");
  const ClassFolders found = FindHistories({f.root() / "a/turma", f.root() / "b/turma", f.root() / "c/turma"});
  EXPECT_EQ(Names(found.histories), (std::vector<std::string>{"turma/joão", "turma/joão (3)"}));
  EXPECT_EQ(Names(found.results), (std::vector<std::string>{"turma/joão (2)", "turma/joão (3)"}));
}

TEST(ClassResults, ReadBackAsTheExamProgramWroteThem) {
  ClassFolder f;
  const auto file = f.root() / "turma/ana/Simulados.xml";
  const std::vector<exam::ResultRecord> written = {Result(6, 9), Result(5, 14, 90)};
  WriteResults(file, written);
  const StudentResults read = LoadResults({"ana", file});
  ASSERT_FALSE(read.Failed()) << read.error;
  // In the order they were taken.
  EXPECT_EQ(read.results, (std::vector<exam::ResultRecord>{written[1], written[0]}));
  EXPECT_FALSE(LoadResults({"ana", f.Write("turma/vazio/Simulados.xml", "")}).Failed()) << "no results yet";
}

TEST(ClassResults, ADamagedFileIsToldAndTheHistoryBesideItStillReads) {
  ClassFolder f;
  const auto file = f.root() / "turma/ana/Simulados.xml";
  WriteResults(file, {Result(5, 9)});
  std::string bytes = testing_support::Slurp(file);
  f.Write("turma/ana/Simulados.xml", bytes.substr(0, bytes.size() / 2));
  f.Write("turma/ana/Exercicio.xml",
          TrainerHistory(testing::Row(1, "20240305", "10:00:00", "10:01:00", 0, "00:01:00")));
  f.Write("turma/bia/Simulados.xml", TrainerHistory(""));  // a history under the results' name

  const ClassFolders found = FindHistories({f.root() / "turma"});
  const std::vector<StudentResults> results = LoadClassResults(found.results, 2);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].failure, LoadFailure::Damaged);
  EXPECT_TRUE(results[0].results.empty());
  EXPECT_EQ(results[1].failure, LoadFailure::NotHistory) << results[1].error;
  const std::vector<Student> students = LoadClass(found.histories);
  ASSERT_EQ(students.size(), 1u);
  EXPECT_FALSE(students[0].Failed());
  EXPECT_EQ(students[0].records.size(), 1u);
}

TEST(ClassResults, GradeWrittenWithItsProfilesDecimals) {
  struct Case {
    const char* name;
    std::int64_t nota;
    std::int32_t casas;
    const char* text;
  } cases[] = {
      {"TJ-SP with 13 errors", 735, 2, "7,35"}, {"TJ-SP with 159 errors", 5, 2, "0,05"},
      {"TJ-SP below zero", -50, 2, "-0,50"},    {"TL over the test", 1612, 0, "1612"},
      {"one decimal", -5, 1, "-0,5"},
  };
  for (const Case& c : cases) {
    exam::ResultRecord r;
    r.nota = c.nota;
    r.casas = c.casas;
    EXPECT_EQ(GradeText(r), c.text) << c.name;
  }
}

TEST(ClassResultsCsv, HeaderAndLinesByteForByte) {
  StudentResults ana{"ana", "ana/Simulados.xml", {}, {Result(6, 9), Result(5, 14, 90)}};
  std::sort(ana.results.begin(), ana.results.end(), [](auto& a, auto& b) { return a.inicio < b.inicio; });
  StudentResults formula{"=1+1", "x/Simulados.xml", {}, {Result(5, 8, 0, "PC-MG")}};
  formula.results[0].casas = 0;
  formula.results[0].nota = 1712;
  StudentResults damaged{"bia", "bia/Simulados.xml", "Mismatch in datapacket.", {}, LoadFailure::Damaged};
  const std::string csv = ExamResultsCsv({ana, damaged, formula}, {});
  EXPECT_EQ(csv,
            "\xEF\xBB\xBF"
            "aluno;perfil;versao;texto;data;minutos;tb;erros;tl;nota;apto\r\n"
            "'=1+1;PC-MG;1;servico-publico;05/03/2024 08:05:30;11;1712;0;1712;1712;APTO\r\n"
            "ana;TJ-SP;1;servico-publico;05/03/2024 14:05:30;11;1712;90;1622;3,50;NÃO APTO\r\n"
            "ana;TJ-SP;1;servico-publico;06/03/2024 09:05:30;11;1712;7;1705;7,65;APTO\r\n");
  // The period keeps the tests taken in it.
  const std::string sixth = ExamResultsCsv({ana}, DateRange({2024, 3, 6}, {2024, 3, 6}));
  EXPECT_EQ(sixth.substr(sixth.find("\r\n") + 2),
            "ana;TJ-SP;1;servico-publico;06/03/2024 09:05:30;11;1712;7;1705;7,65;APTO\r\n");
}

}  // namespace
}  // namespace tecladim::classroom
