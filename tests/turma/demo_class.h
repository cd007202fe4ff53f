#pragma once
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "exam/result_record.h"
#include "exam/texts.h"
#include "history/key_stats_file.h"
#include "history/packet.h"
#include "history/record_set.h"
#include "history/utf8.h"
#include "lessons/abnt2_keyboard.h"
#include "synthetic_class.h"

// A class as an instructor finds it: two groups of students at different stages, one who
// stopped coming, one who types fast and carelessly, one file from a school's own tool
// with blank fields, and one damaged file. The newest exercises are on `today`.
namespace tecladim::classroom::testing {

struct DemoStudent {
  const char* folder;
  int exercises;
  double startTpm;
  double gain;
  double errorRate;
  int daysIdle;  // days between the last exercise and today
};

inline const std::vector<DemoStudent>& DemoStudents() {
  static const std::vector<DemoStudent> students = {
      {"turma-a/ana-beatriz", 420, 90, 0.35, 0.020, 0},  {"turma-a/bruno", 260, 70, 0.30, 0.030, 1},
      {"turma-a/camila", 520, 110, 0.30, 0.015, 0},      {"turma-a/davi", 90, 60, 0.20, 0.050, 21},
      {"turma-a/eduarda", 340, 85, 0.40, 0.025, 2},      {"turma-a/felipe", 180, 150, 0.40, 0.600, 0},
      {"turma-b/gabriel", 600, 120, 0.25, 0.012, 0},     {"turma-b/helena", 150, 75, 0.50, 0.030, 3},
      {"turma-b/isabela", 470, 100, 0.30, 0.018, 1},     {"turma-b/joão-pedro", 60, 55, 0.30, 0.060, 0},
      {"turma-b/larissa", 300, 95, 0.35, 0.020, 9},
  };
  return students;
}

// Moves every date of the history by whole days so that its last exercise is on `lastDay`.
inline void EndOn(history::Packet& p, std::int64_t lastDay) {
  const std::int64_t last = p.columns[1].numbers.back();
  const std::int64_t shift = (lastDay - Stamp{last}.Day()) * MsPerDay;
  for (std::size_t c : {1u, 3u, 4u})
    for (auto& v : p.columns[c].numbers) v += shift;
}

// Simulados of some students: a profile, the characters typed of the text, the letters typed
// wrong, days before today. A candidate who only takes simulados, and one damaged file.
struct DemoTest {
  const char* folder;
  const char* perfil;
  std::size_t typed;
  std::size_t wrong;
  int daysAgo;
};

// A student's "Simulados.xml" as the exam program saves it.
inline void WriteResults(const std::filesystem::path& file, const std::vector<exam::ResultRecord>& results) {
  history::RecordSet set("Simulados", exam::ResultLayout);
  set.CreateDataSet();
  for (const exam::ResultRecord& r : results) exam::AppendResult(set, r);
  std::filesystem::create_directories(file.parent_path());
  set.SaveToFile(file);
}

inline void WriteDemoSimulados(const std::filesystem::path& root, std::int64_t today) {
  static const DemoTest tests[] = {
      {"turma-a/ana-beatriz", "TJ-MG", 590, 9, 12}, {"turma-a/ana-beatriz", "TJ-MG", 820, 4, 1},
      {"turma-a/camila", "PC-MG", 910, 6, 3},       {"turma-a/felipe", "TJ-MG", 1400, 420, 0},
      {"turma-b/gabriel", "TJ-SP", 1500, 11, 2},    {"turma-b/gabriel", "PC-ES", 980, 5, 0},
      {"turma-b/isabela", "Livre", 700, 12, 5},     {"turma-b/otávio", "PC-MG", 1010, 3, 1},
      {"turma-b/otávio", "PC-MG", 980, 14, 8},
  };
  std::map<std::string, std::vector<exam::ResultRecord>> files;
  int minute = 0;
  for (const DemoTest& t : tests) {
    const exam::Profile& profile = *exam::FindProfile(t.perfil);
    const exam::ExamText& text = exam::ExamTexts()[static_cast<std::size_t>(minute % 5)];
    const std::u32string model = Utf32FromUtf8(text.text);
    std::u32string typed = model.substr(0, std::min(t.typed, model.size()));
    for (std::size_t i = 0; i < t.wrong; ++i) typed[(i * 97 + 13) % typed.size()] = U'x';
    const exam::ExamResult result = exam::Score(profile, model, typed);
    const DateTime start = FromStamp(MakeStamp(today - t.daysAgo, (14 * 60 + minute++) * 60'000));
    const DateTime end = FromStamp({ToStamp(start).ms + profile.minutes * 60'000});
    files[t.folder].push_back(exam::MakeResultRecord(profile, text.id, typed, result, start, end));
  }
  for (const auto& [folder, results] : files)
    WriteResults(root / std::filesystem::u8path(folder) / std::string(exam::ResultsFileName), results);
  std::ofstream(root / "turma-a/bruno/Simulados.xml", std::ios::binary)
      << "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>";
}

// The students whose key statistics show slips on "ç" and on "~" + "a", the ones without a
// key statistics file (an older trainer) and the one whose file is damaged.
inline bool SlipsOnCedillaAndTilde(const std::string& folder) {
  return folder == "turma-a/ana-beatriz" || folder == "turma-a/eduarda" || folder == "turma-b/isabela";
}
inline constexpr const char* NoKeyStatistics = "turma-b/larissa";
inline constexpr const char* DamagedKeyStatistics = "turma-b/helena";
inline constexpr std::size_t DemoKeyExercises = 60;

// The key typed by mistake for `c`: the next key of its row, as a finger slips.
inline char16_t Neighbour(char16_t c) {
  const auto keying = KeyingOf(c);
  if (!keying) return u'x';
  const auto keys = Abnt2Keys();
  for (const KeyCap* k = keying->Last().key + 1; k < keys.data() + keys.size(); ++k)
    if (k->At(KeyLevel::Plain).kind == SymbolKind::Character) return k->At(KeyLevel::Plain).character;
  return u'x';
}

// Key statistics for the exercises of lessons 31 to 40 and the last ones of a history, under the records' own stamps:
// every character of the lesson counted, errors at the student's rate, and for some students many more on "ç" (typed
// "c") and on "ã" (the tilde missed: "a").
inline std::string DemoKeyStatistics(const history::Packet& p, const DemoStudent& s, std::uint32_t seed) {
  Lcg random(seed);
  std::vector<history::ExerciseKeyStats> exercises;
  const std::size_t rows = p.columns[0].numbers.size();
  for (std::size_t r = 0; r < rows; ++r) {
    const int licao = static_cast<int>(p.columns[0].numbers[r]);
    if (r + DemoKeyExercises < rows && (licao < 31 || licao > 40)) continue;
    const auto text = LessonText(licao);
    if (!text) continue;
    history::ExerciseKeyStats e;
    e.licao = licao;
    e.data = FromStamp(Stamp{p.columns[1].numbers[r]});
    e.inicio = FromStamp(Stamp{p.columns[3].numbers[r]});
    e.fim = FromStamp(Stamp{p.columns[4].numbers[r]});
    for (char16_t c : *text) {
      if (c == u'\r' || c == u'\n' || !KeyingOf(c)) continue;
      auto it = std::find_if(e.keys.begin(), e.keys.end(), [&](const KeyCounts& k) { return k.expected == c; });
      if (it == e.keys.end()) it = e.keys.insert(e.keys.end(), KeyCounts{c, 0, 0, 0, 0, {}});
      double rate = std::min(0.5, s.errorRate * 2);
      char16_t typed = Neighbour(c);
      if (SlipsOnCedillaAndTilde(s.folder) && c == u'ç') rate = 0.35, typed = u'c';
      if (SlipsOnCedillaAndTilde(s.folder) && (c == u'ã' || c == u'õ')) rate = 0.4, typed = c == u'ã' ? u'a' : u'o';
      if (random.Next() < rate) {
        ++it->wrong;
        auto w = std::find_if(it->typedInstead.begin(), it->typedInstead.end(),
                              [&](const WrongKey& k) { return k.typed == typed; });
        if (w == it->typedInstead.end()) it->typedInstead.push_back({typed, 1});
        else ++w->count;
      } else {
        ++it->right;
        const Finger f = FingerOf(c);
        const bool little = f == Finger::LeftLittle || f == Finger::RightLittle;
        it->rightMs += static_cast<std::int64_t>((little ? 330 : 230) * (0.7 + 0.6 * random.Next()));
        ++it->timedRight;
      }
    }
    exercises.push_back(std::move(e));
  }
  return history::WritePacket(history::KeyStatsPacket(exercises));
}

inline void WriteDemoClass(const std::filesystem::path& root, std::int64_t today) {
  std::uint32_t seed = 7;
  for (const DemoStudent& s : DemoStudents()) {
    StudentProfile profile;
    profile.seed = seed++;
    profile.exercises = s.exercises;
    profile.startTpm = s.startTpm;
    profile.gainPerExercise = s.gain;
    profile.startErrorRate = s.errorRate;
    history::Packet p = StudentHistory(profile);
    EndOn(p, today - s.daysIdle);
    const auto file = root / std::filesystem::u8path(s.folder) / "Exercicio.xml";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << history::WritePacket(p);
    const auto keys = file.parent_path() / "Teclas.xml";
    if (std::string(s.folder) == DamagedKeyStatistics)
      std::ofstream(keys, std::ios::binary) << "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA>";
    else if (std::string(s.folder) != NoKeyStatistics)
      std::ofstream(keys, std::ios::binary) << DemoKeyStatistics(p, s, seed);
  }
  // A school's own tool: no RowState, no change log, a column of its own, blank fields.
  const std::string day = [&] {
    const CivilDate d = CivilFromDays(today);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", d.year, d.month, d.day);
    return std::string(text);
  }();
  std::filesystem::create_directories(root / "turma-b/mariana");
  std::ofstream(root / "turma-b/mariana/Exercicio.xml", std::ios::binary)
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DATAPACKET Version=\"2.0\">\n<METADATA><FIELDS>\n"
         "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
         "<FIELD attrname=\"erros\" fieldtype=\"i4\"/><FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/>"
         "<FIELD attrname=\"fim\" fieldtype=\"dateTime\"/><FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/>"
         "<FIELD attrname=\"sala\" fieldtype=\"string\" WIDTH=\"10\"/>\n</FIELDS><PARAMS/></METADATA>\n<ROWDATA>\n"
      << "<ROW licao=\"1\" data=\"" << day << "T09:09:00000\" erros=\"6\" inicio=\"" << day << "T09:00:00000\" fim=\""
      << day << "T09:09:00000\" sala=\"3\"/>\n"
      << "<ROW licao=\"2\" data=\"" << day << "T09:18:10000\" inicio=\"" << day << "T09:10:00000\" fim=\"" << day
      << "T09:18:10000\" tempo=\"18991230T00:08:10000\"/>\n"
      << "<ROW licao=\"193\" data=\"" << day << "T09:19:00000\" erros=\"0\" tempo=\"18991230T00:00:00000\"/>\n"
      << "</ROWDATA>\n</DATAPACKET>\n";
  std::filesystem::create_directories(root / "turma-b/marcos");
  std::ofstream(root / "turma-b/marcos/Exercicio.xml", std::ios::binary)
      << "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
}

}  // namespace tecladim::classroom::testing
