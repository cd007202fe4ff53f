#pragma once
// A class of `students` histories of 1,000 records, each with a "Teclas.xml" of its 1,000
// exercises beside it (or without, for the same class as an older trainer left it), in folders
// of forty students: what the class report's key benchmarks read.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "history/key_stats_file.h"
#include "lessons/catalogue.h"
#include "synthetic_class.h"

namespace tecladim::classroom::testing {

inline constexpr int KeyClassRecords = 1'000;

// An exercise's keys as a lesson's text gives them: about forty characters, a few errors.
inline std::vector<KeyCounts> KeysOf(int licao, Lcg& random) {
  std::vector<KeyCounts> keys;
  const auto text = LessonText(licao);
  if (!text) return keys;
  for (char16_t c : *text) {
    if (c == u'\r' || c == u'\n') continue;
    auto it = std::find_if(keys.begin(), keys.end(), [&](const KeyCounts& k) { return k.expected == c; });
    if (it == keys.end()) it = keys.insert(keys.end(), KeyCounts{c, 0, 0, 0, 0, {}});
    if (random.Next() < 0.03) {
      ++it->wrong;
      if (it->typedInstead.empty()) it->typedInstead.push_back({u'x', 0});
      ++it->typedInstead.front().count;
    } else {
      ++it->right;
      it->rightMs += 250;
      ++it->timedRight;
    }
  }
  return keys;
}

// The class written into `withKeys` and, when not empty, its histories alone into `withoutKeys`.
inline void WriteKeyClass(int students, const std::filesystem::path& withKeys,
                          const std::filesystem::path& withoutKeys = {}) {
  namespace fs = std::filesystem;
  for (int s = 0; s < students; ++s) {
    StudentProfile profile;
    profile.seed = static_cast<std::uint32_t>(s + 1);
    profile.exercises = KeyClassRecords;
    profile.firstDay = DaysFromCivil({2024, 2, 5}) + s % 7;
    const history::Packet p = StudentHistory(profile);
    const std::string history = history::WritePacket(p);
    Lcg keyRandom(profile.seed);
    std::vector<history::ExerciseKeyStats> exercises;
    for (std::size_t r = 0; r < p.columns[0].numbers.size(); ++r) {
      history::ExerciseKeyStats e;
      e.licao = static_cast<std::int32_t>(p.columns[0].numbers[r]);
      e.data = FromStamp(Stamp{p.columns[1].numbers[r]});
      e.inicio = FromStamp(Stamp{p.columns[3].numbers[r]});
      e.fim = FromStamp(Stamp{p.columns[4].numbers[r]});
      e.keys = KeysOf(e.licao, keyRandom);
      exercises.push_back(std::move(e));
    }
    const fs::path student = fs::path("turma-" + std::to_string(s / 40)) / ("aluno-" + std::to_string(s));
    for (const fs::path& folder : {withKeys, withoutKeys}) {
      if (folder.empty()) continue;
      fs::create_directories(folder / student);
      std::ofstream(folder / student / "Exercicio.xml", std::ios::binary) << history;
    }
    std::ofstream(withKeys / student / "Teclas.xml", std::ios::binary)
        << history::WritePacket(history::KeyStatsPacket(exercises));
  }
}

}  // namespace tecladim::classroom::testing
