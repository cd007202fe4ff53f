// Writes the demonstration class used for the screenshots: turma_demo_class FOLDER
#include <QDate>

#include <cstdio>

#include "demo_class.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: turma_demo_class FOLDER\n");
    return 2;
  }
  const QDate today = QDate::currentDate();
  const std::int64_t day =
      tecladim::DaysFromCivil({today.year(), static_cast<unsigned>(today.month()), static_cast<unsigned>(today.day())});
  tecladim::classroom::testing::WriteDemoClass(argv[1], day);
  tecladim::classroom::testing::WriteDemoSimulados(argv[1], day);
  return 0;
}
