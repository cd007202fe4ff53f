#include "classroom/key_report.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "class_files.h"
#include "classroom/class_loader.h"
#include "classroom/csv.h"
#include "history/packet.h"

namespace tecladim::classroom {
namespace {

using testing::ClassFolder;
using testing::Row;
using testing::TrainerHistory;

history::ExerciseKeyStats Exercise(int day, std::vector<KeyCounts> keys) {
  history::ExerciseKeyStats e;
  e.licao = 31;
  e.inicio = EncodeDateTime({2024, 3, static_cast<unsigned>(day)}, {10, 0, 0, 0});
  e.fim = e.data = EncodeDateTime({2024, 3, static_cast<unsigned>(day)}, {10, 5, 0, 0});
  e.keys = std::move(keys);
  return e;
}

std::string KeyFile(const std::vector<history::ExerciseKeyStats>& exercises) {
  return history::WritePacket(history::KeyStatsPacket(exercises));
}

const std::string OneRecord = TrainerHistory(Row(31, "20240301", "10:00:00", "10:05:00", 2, "00:05:00"));

TEST(LoadStudentKeys, TheFileBesideTheHistoryIsReadAndABadOneNeverHidesTheHistory) {
  struct Case {
    const char* name;
    const char* keyBytes;  // nullptr: no Teclas.xml
    KeyStatsState state;
    const char* error;
  };
  const std::string good = KeyFile({Exercise(1, {{u'ç', 18, 2, 9000, 18, {{u'c', 2}}}})});
  const std::string history = TrainerHistory("");  // held here: the cases keep only its address
  const Case cases[] = {
      {"an older trainer wrote no key statistics", nullptr, KeyStatsState::NotRecorded, ""},
      {"the trainer's own file", good.c_str(), KeyStatsState::Read, ""},
      {"a file cut short", "<DATAPACKET Version=\"2.0\"><METADATA>", KeyStatsState::Failed, "Mismatch in datapacket."},
      {"another program's packet", history.c_str(), KeyStatsState::Failed, ""},
  };
  for (const Case& c : cases) {
    ClassFolder f;
    const auto file = f.Write("ana/Exercicio.xml", OneRecord);
    if (c.keyBytes) f.Write("ana/Teclas.xml", c.keyBytes);
    Student s = LoadStudent({"ana", file});
    ASSERT_FALSE(s.Failed()) << c.name << ": " << s.error;
    // Found with the history, read only when the keys are asked for.
    EXPECT_EQ(s.keyStats, c.keyBytes ? KeyStatsState::NotRead : KeyStatsState::NotRecorded) << c.name;
    EXPECT_TRUE(s.keyExercises.empty()) << c.name;
    LoadKeyStats(s);
    EXPECT_EQ(s.records.size(), 1u) << c.name;
    EXPECT_EQ(s.keyStats, c.state) << c.name;
    EXPECT_EQ(s.keyStatsError.empty(), c.state != KeyStatsState::Failed) << c.name;
    if (*c.error) {
      EXPECT_EQ(s.keyStatsError, c.error) << c.name;
    }
    EXPECT_EQ(s.keyExercises.size(), c.state == KeyStatsState::Read ? 1u : 0u) << c.name;
  }
}

// A reload read every student's key statistics again, written since or not.
TEST(KeepKeyStats, AReloadTakesWhatWasReadOfFilesNotWrittenSince) {
  namespace fs = std::filesystem;
  const std::string good = KeyFile({Exercise(1, {{u'ç', 18, 2, 9000, 18, {{u'c', 2}}}})});
  const std::string longer = KeyFile({Exercise(1, {{u'ç', 18, 2, 9000, 18, {{u'c', 2}}}}), Exercise(2, {})});
  const std::string damaged = "<DATAPACKET Version=\"2.0\"><METADATA>";
  using Change = void (*)(const fs::path& keys, const std::string& bytes);
  struct Case {
    const char* name;
    const std::string* before;
    Change change;
    KeyStatsState state;
    std::size_t exercises;
  };
  // Same bytes count, same time, other content: read again, it would be damaged.
  const Change kept = [](const fs::path& keys, const std::string& bytes) {
    const auto written = fs::last_write_time(keys);
    std::ofstream(keys, std::ios::binary) << std::string(bytes.size(), 'x');
    fs::last_write_time(keys, written);
  };
  const Change saved = [](const fs::path& keys, const std::string&) {
    const auto written = fs::last_write_time(keys);
    std::ofstream(keys, std::ios::binary) << KeyFile({Exercise(1, {}), Exercise(2, {}), Exercise(3, {})});
    fs::last_write_time(keys, written);
  };
  const Change touched = [](const fs::path& keys, const std::string&) {
    fs::last_write_time(keys, fs::last_write_time(keys) + std::chrono::seconds(2));
  };
  const Change removed = [](const fs::path& keys, const std::string&) { fs::remove(keys); };
  const Case cases[] = {
      {"not written since: kept, not read again", &good, kept, KeyStatsState::Read, 1},
      {"a damaged file not written since stays told", &damaged, kept, KeyStatsState::Failed, 0},
      {"a trainer's save made it longer", &longer, saved, KeyStatsState::NotRead, 0},
      {"the same size written later", &good, touched, KeyStatsState::NotRead, 0},
      {"removed since", &good, removed, KeyStatsState::NotRecorded, 0},
  };
  for (const Case& c : cases) {
    ClassFolder f;
    const auto file = f.Write("ana/Exercicio.xml", OneRecord);
    const auto keys = f.Write("ana/Teclas.xml", *c.before);
    std::vector<Student> old = {LoadStudent({"ana", file})};
    LoadKeyStats(old);
    c.change(keys, *c.before);
    std::vector<Student> fresh = {LoadStudent({"ana", file})};
    KeepKeyStats(fresh, old);
    EXPECT_EQ(fresh[0].keyStats, c.state) << c.name;
    EXPECT_EQ(fresh[0].keyExercises.size(), c.exercises) << c.name;
    EXPECT_EQ(fresh[0].keyStatsError.empty(), c.state != KeyStatsState::Failed) << c.name;
  }
}

Student WithKeys(std::string aluno, std::vector<history::ExerciseKeyStats> exercises) {
  Student s;
  s.aluno = std::move(aluno);
  s.keyStats = KeyStatsState::Read;
  s.keyExercises = std::move(exercises);
  return s;
}

TEST(KeyCsv, OneLinePerStudentAndKeyInKeyboardOrder) {
  const std::vector<Student> students = {
      WithKeys("=bia", {Exercise(2, {{u'a', 20, 0, 4000, 19, {}}, {u';', 1, 1, 0, 0, {{u'.', 1}}}})}),
      WithKeys("ana", {Exercise(1, {{u'ç', 12, 3, 6000, 12, {{u'c', 1}, {u'~', 2}}},
                                    {u'ã', 4, 1, 1001, 2, {{u'a', 1}}},
                                    {u' ', 5, 0, 1000, 4, {}},
                                    {u'\r', 0, 1, 0, 0, {{u' ', 1}}}})}),
  };
  // "=bia" sorts before "ana" by bytes, as --csv orders its students.
  EXPECT_EQ(KeyCsv(students, {}),
            "\xEF\xBB\xBF"
            "aluno;tecla;dedo;acertos;erros;taxa_erro;tempo_medio_ms;mais_trocada_por\r\n"
            "'=bia;a;mínimo esquerdo;20;0;0,0;211;\r\n"
            "'=bia;\";\";mínimo direito;1;1;50,0;;.\r\n"
            "ana;ã;mínimo esquerdo;4;1;20,0;501;a\r\n"
            "ana;ç;mínimo direito;12;3;20,0;500;~\r\n"
            "ana;espaço;polegares;5;0;0,0;250;\r\n"
            "ana;Enter;;0;1;100,0;;espaço\r\n");
}

TEST(KeyCsv, ThePeriodAndFailedHistoriesLeaveLinesOut) {
  Student failed = WithKeys("bia", {Exercise(1, {{u'a', 20, 0, 0, 0, {}}})});
  failed.error = "Mismatch in datapacket.";
  const std::vector<Student> students = {
      WithKeys("ana", {Exercise(1, {{u'a', 20, 0, 0, 0, {}}}), Exercise(9, {{u'b', 19, 1, 0, 0, {{u'v', 1}}}})}),
      failed};
  const std::string csv = KeyCsv(students, DateRange({2024, 3, 5}, {2024, 3, 10}));
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2), "ana;b;indicador esquerdo;19;1;5,0;;v\r\n");
}

TEST(ClassKeys, KeysAddUpAndNameTheStudentsWhoMissThemMost) {
  const std::vector<Student> students = {
      WithKeys("ana", {Exercise(1, {{u'ç', 10, 10, 0, 0, {{u'c', 10}}}})}),
      WithKeys("bia", {Exercise(1, {{u'ç', 180, 20, 0, 0, {{u'l', 20}}}})}),
      WithKeys("caio", {Exercise(1, {{u'ç', 20, 0, 0, 0, {}}})}),
      WithKeys("davi", {Exercise(1, {{u'ç', 1, 19, 0, 0, {{u'c', 19}}}})}),
      WithKeys("eva", {Exercise(1, {{u'ç', 19, 1, 0, 0, {{u'c', 1}}}})}),
  };
  const auto keys = ClassKeys(students, {});
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].totals.right, 230);
  EXPECT_EQ(keys[0].totals.wrong, 50);
  ASSERT_FALSE(keys[0].totals.typedInstead.empty());
  EXPECT_EQ(keys[0].totals.typedInstead[0], (WrongKey{u'c', 30}));
  std::vector<std::string> missers;
  for (const KeyMisser& m : keys[0].missers) missers.push_back(m.aluno);
  // caio made no error; eva's one slip is below bia's 20 in 200; three are named.
  EXPECT_EQ(missers, (std::vector<std::string>{"davi", "ana", "bia"}));
}

TEST(SumFingers, DeadKeyLettersCountOnTheLettersFinger) {
  const KeyTotals keys[] = {
      {u'ç', 8, 2, 0, 0, {}}, {u'ã', 3, 1, 0, 0, {}},  {u'A', 5, 0, 0, 0, {}},
      {u' ', 9, 1, 0, 0, {}}, {u'\r', 0, 4, 0, 0, {}},
  };
  const auto fingers = SumFingers(keys);
  const auto at = [&](Finger f) { return fingers[static_cast<std::size_t>(f)]; };
  EXPECT_EQ(at(Finger::RightLittle).right, 8);
  EXPECT_EQ(at(Finger::RightLittle).wrong, 2);
  EXPECT_EQ(at(Finger::LeftLittle).right, 8) << "ã and A on the a key's finger";
  EXPECT_EQ(at(Finger::LeftLittle).wrong, 1);
  EXPECT_EQ(at(Finger::Thumbs).Samples(), 10);
  std::int64_t all = 0;
  for (const FingerTotals& f : fingers) all += f.wrong;
  EXPECT_EQ(all, 4) << "the line end has no finger";
}

}  // namespace
}  // namespace tecladim::classroom
