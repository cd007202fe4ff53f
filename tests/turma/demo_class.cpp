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
  tecladim::classroom::testing::WriteDemoClass(
      argv[1], tecladim::DaysFromCivil({today.year(), static_cast<unsigned>(today.month()),
                                        static_cast<unsigned>(today.day())}));
  return 0;
}
