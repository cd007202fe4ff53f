#include "classroom/class_loader.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>

#include "class_files.h"

namespace tecladim::classroom {
namespace {

using testing::ClassFolder;
using testing::Row;
using testing::TrainerHistory;

std::vector<std::string> Names(const ClassFolders& found) {
  std::vector<std::string> names;
  for (const HistoryLocation& h : found.histories) names.push_back(h.aluno);
  return names;
}

TEST(FolderWalk, EveryHistoryAtAnyDepthNamedByItsFolder) {
  ClassFolder f;
  const std::string history = TrainerHistory("");
  f.Write("turma/Exercicio.xml", history);  // directly in the opened folder
  f.Write("turma/joao/Exercicio.xml", history);
  f.Write("turma/turma-a/maria/Exercicio.xml", history);
  f.Write("turma/turma-a/maria/antigo/Exercicio.xml", history);
  f.Write("turma/turma-a/pedro/exercicio.xml", history);    // another name: not the trainer's
  f.Write("turma/turma-a/pedro/Exercicio.xml.bak", history);
  f.Write("turma/turma-b/vazio/notas.txt", "");
  std::filesystem::create_directories(f.root() / "turma/turma-b/Exercicio.xml");  // a folder of that name

  const ClassFolders found = FindHistories({f.root() / "turma"});
  EXPECT_EQ(Names(found), (std::vector<std::string>{"joao", "turma", "turma-a/maria", "turma-a/maria/antigo"}));
  EXPECT_TRUE(found.errors.empty());
  EXPECT_EQ(found.histories[0].file, f.root() / "turma/joao/Exercicio.xml");

  // Opened with a trailing separator or as ".": the folder keeps its own name.
  EXPECT_EQ(Names(FindHistories({f.root() / "turma/joao/"})), std::vector<std::string>{"joao"});
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(f.root() / "turma/joao");
  const ClassFolders dot = FindHistories({"."});
  std::filesystem::current_path(cwd);
  EXPECT_EQ(Names(dot), std::vector<std::string>{"joao"});
}

// Two opened folders that each hold a "joão" used to give one "joão" in the CSV and two rows
// that both opened the first one.
TEST(FolderWalk, StudentsOfTwoOpenedFoldersNeverShareAName) {
  ClassFolder f;
  for (const char* file : {"manha/turma-manha/joão/Exercicio.xml", "tarde/turma-tarde/joão/Exercicio.xml",
                           "a/turma/joão/Exercicio.xml", "b/turma/joão/Exercicio.xml"})
    f.Write(file, TrainerHistory(""));
  EXPECT_EQ(Names(FindHistories({f.root() / "manha/turma-manha", f.root() / "tarde/turma-tarde"})),
            (std::vector<std::string>{"turma-manha/joão", "turma-tarde/joão"}));
  // Each one knows the opened folder it came from, for the folder's subtotal.
  const ClassFolders two = FindHistories({f.root() / "manha/turma-manha", f.root() / "tarde/turma-tarde"});
  EXPECT_EQ(two.histories[1].folder, 1u);
  EXPECT_EQ(LoadClass(two.histories)[1].folder, 1u);
  // Folders of the same name: the second student is numbered, never merged.
  EXPECT_EQ(Names(FindHistories({f.root() / "a/turma", f.root() / "b/turma"})),
            (std::vector<std::string>{"turma/joão", "turma/joão (2)"}));
  EXPECT_EQ(Names(FindHistories({f.root() / "a/turma"})), std::vector<std::string>{"joão"}) << "one folder: as before";
}

// A school links its students' home folders into the class folder: those used to be skipped.
TEST(FolderWalk, LinkedStudentFoldersAreFollowedAndALoopIsReported) {
  ClassFolder f;
  f.Write("casa/bia/Exercicio.xml", TrainerHistory(""));
  f.Write("turma/ana/Exercicio.xml", TrainerHistory(""));
  std::filesystem::create_directory_symlink(f.root() / "casa/bia", f.root() / "turma/bia");
  std::filesystem::create_directory_symlink(f.root() / "turma", f.root() / "turma/ana/volta");  // a loop
  const ClassFolders found = FindHistories({f.root() / "turma"});
  EXPECT_EQ(Names(found), (std::vector<std::string>{"ana", "bia"}));
  ASSERT_EQ(found.errors.size(), 1u);
  EXPECT_EQ(found.errors[0].folder, f.root() / "turma/ana/volta");
  EXPECT_EQ(found.errors[0].cause, std::errc::too_many_symbolic_link_levels);
}

TEST(FolderWalk, OverlappingFoldersListAFileOnceAndMissingFoldersAreReported) {
  ClassFolder f;
  f.Write("escola/turma-a/ana/Exercicio.xml", TrainerHistory(""));
  const ClassFolders found =
      FindHistories({f.root() / "escola", f.root() / "escola/turma-a", f.root() / "nao-existe"});
  EXPECT_EQ(Names(found), std::vector<std::string>{"escola/turma-a/ana"}) << "named from the first folder it is in";
  ASSERT_EQ(found.errors.size(), 1u);
  EXPECT_EQ(found.errors[0].folder, f.root() / "nao-existe");
  EXPECT_FALSE(found.errors[0].text.empty());
  EXPECT_EQ(found.errors[0].cause, std::errc::no_such_file_or_directory);
}

TEST(LoadStudent, ReadsTheTrainersFileInDataOrder) {
  ClassFolder f;
  const auto file =
      f.Write("ana/Exercicio.xml", TrainerHistory(Row(2, "20240302", "10:00:00", "10:01:35", 3, "00:01:35") +
                                                      Row(1, "20240301", "09:00:00", "09:02:00", 0, "00:02:00"),
                                                  "1 0 4 2 0 4"));
  const Student s = LoadStudent({"ana", file});
  ASSERT_FALSE(s.Failed()) << s.error;
  ASSERT_EQ(s.records.size(), 2u);
  EXPECT_EQ(s.records[0].recordNumber, 2u);
  EXPECT_EQ(s.records[0].licao, 1);
  EXPECT_EQ(s.records[0].tempoS, 120);
  EXPECT_EQ(s.records[1].licao, 2);
  EXPECT_EQ(s.records[1].erros, 3);
  EXPECT_EQ(s.records[1].tempoS, 95);
  EXPECT_EQ(s.records[1].data, ToStamp(EncodeDateTime({2024, 3, 2}, {10, 1, 35, 123})));
}

TEST(LoadStudent, BadFilesCarryTheReadersErrorText) {
  ClassFolder f;
  const auto damaged = f.Write("a/Exercicio.xml", "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
  const auto noLicao = f.Write(
      "b/Exercicio.xml",
      "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
      "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
  const auto empty = f.Write("c/Exercicio.xml", "");

  EXPECT_EQ(LoadStudent({"a", damaged}).error, "Mismatch in datapacket.");
  EXPECT_EQ(LoadStudent({"b", noLicao}).error, "cds1: Field 'licao' not found");
  const Student zero = LoadStudent({"c", empty});
  EXPECT_FALSE(zero.Failed()) << "a zero-byte history is an empty one, as the trainer reads it";
  EXPECT_TRUE(zero.records.empty());
  const Student missing = LoadStudent({"d", f.root() / "d/Exercicio.xml"});
  EXPECT_EQ(missing.error.rfind("Cannot open file \"", 0), 0u) << missing.error;

  // The kind of failure travels with the text, for the report to word it in Portuguese.
  EXPECT_EQ(LoadStudent({"a", damaged}).failure, LoadFailure::Damaged);
  EXPECT_EQ(LoadStudent({"b", noLicao}).failure, LoadFailure::NotHistory);
  EXPECT_EQ(zero.failure, LoadFailure::None);
  EXPECT_EQ(missing.failure, LoadFailure::CannotOpen);
  EXPECT_EQ(missing.cause, std::errc::no_such_file_or_directory);
}

// The load's error text and cause, read as an unprivileged account when the test runs as
// root (root reads every file): a forked child drops to nobody and sends them back.
std::pair<std::string, std::error_code> LoadUnprivileged(const HistoryLocation& location) {
  if (::geteuid() != 0) {
    const Student s = LoadStudent(location);
    return {s.error, s.cause};
  }
  int link[2];
  if (::pipe(link) != 0) return {"pipe failed", {}};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(link[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    const Student s = LoadStudent(location);
    const std::string message = std::to_string(s.cause.value()) + " " + s.error;
    const bool sent = ::write(link[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
    ::_exit(sent ? 0 : 4);
  }
  ::close(link[1]);
  std::string message;
  char buffer[512];
  for (ssize_t n; (n = ::read(link[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<std::size_t>(n));
  ::close(link[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {"the unprivileged load failed to run", {}};
  const std::size_t space = message.find(' ');
  return {message.substr(space + 1), std::error_code(std::stoi(message.substr(0, space)), std::system_category())};
}

TEST(LoadStudent, UnreadableFileIsAnErrorAndIsLeftAsItWas) {
  ClassFolder f;
  const std::string bytes = TrainerHistory(Row(1, "20240301", "09:00:00", "09:02:00", 0, "00:02:00"), "1 0 4");
  const auto file = f.Write("a/Exercicio.xml", bytes);
  std::filesystem::permissions(file, std::filesystem::perms::none);
  const auto [error, cause] = LoadUnprivileged({"a", file});
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(error.rfind("Cannot open file \"", 0), 0u) << error;
  EXPECT_EQ(cause, std::errc::permission_denied);
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
}

TEST(LoadClass, ParallelReadGivesTheSameClassInTheSameOrder) {
  ClassFolder f;
  for (int i = 0; i < 40; ++i) {
    std::string rows;
    for (int j = 0; j <= i % 5; ++j) rows += Row(i % 192 + 1, "20240301", "09:00:00", "09:02:00", j, "00:02:00");
    f.Write("turma/aluno" + std::to_string(100 + i) + "/Exercicio.xml", TrainerHistory(rows));
  }
  f.Write("turma/aluno999/Exercicio.xml", "lixo");
  const ClassFolders found = FindHistories({f.root() / "turma"});
  ASSERT_EQ(found.histories.size(), 41u);

  std::atomic<std::size_t> calls{0}, last{0};
  const auto parallel = LoadClass(
      found.histories,
      [&](std::size_t done, std::size_t total) {
        ++calls;
        EXPECT_EQ(total, 41u);
        if (done == total) last = done;
      },
      4);
  const auto single = LoadClass(found.histories, {}, 1);
  EXPECT_EQ(calls, 41u);
  EXPECT_EQ(last, 41u);
  ASSERT_EQ(parallel.size(), 41u);
  ASSERT_EQ(single.size(), 41u);
  for (std::size_t i = 0; i < parallel.size(); ++i) {
    EXPECT_EQ(parallel[i].aluno, found.histories[i].aluno);
    EXPECT_EQ(parallel[i].records, single[i].records);
    EXPECT_EQ(parallel[i].error, single[i].error);
  }
  EXPECT_EQ(parallel[3].records.size(), 4u);
  EXPECT_EQ(parallel[40].error, "Mismatch in datapacket.");

  std::atomic<bool> cancel{true};
  EXPECT_TRUE(LoadClass(found.histories, {}, 2, &cancel).empty());
}

}  // namespace
}  // namespace tecladim::classroom
