// Writes the demonstration class used for the screenshots:
//   turma_demo_class FOLDER [--laboratorio]
// --laboratorio adds a lab machine's history of 50,000 exercises, "turma-b/laboratorio".
#include <QDate>

#include <cstdio>
#include <cstring>

#include "demo_class.h"

int main(int argc, char** argv) {
  const bool lab = argc == 3 && std::strcmp(argv[2], "--laboratorio") == 0;
  if (argc != 2 && !lab) {
    std::fprintf(stderr, "usage: turma_demo_class FOLDER [--laboratorio]\n");
    return 2;
  }
  using namespace tecladim::classroom::testing;
  const QDate date = QDate::currentDate();
  const std::int64_t today =
      tecladim::DaysFromCivil({date.year(), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())});
  WriteDemoClass(argv[1], today);
  WriteDemoSimulados(argv[1], today);
  if (lab) {
    StudentProfile profile;
    profile.seed = 99;
    profile.exercises = 50000;
    profile.startTpm = 60;
    profile.gainPerExercise = 0.004;
    profile.startErrorRate = 0.04;
    profile.exercisesPerLesson = 260;
    profile.exercisesPerDay = 200;
    tecladim::history::Packet p = StudentHistory(profile);
    EndOn(p, today);
    const auto file = std::filesystem::path(argv[1]) / "turma-b/laboratorio/Exercicio.xml";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << tecladim::history::WritePacket(p);
  }
  return 0;
}
