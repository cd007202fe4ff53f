// A run of the exam program on a results file, reduced to its saves: it reads the file as
// tecladim-prova starts, hands in COUNT tests (each written at once, as after a test) and
// saves at the end. Exits 0 when the end's save wrote the file, 1 otherwise.
//
//   exam_results_child FOLDER TAG COUNT READY GO [DELAY_MS]
//       results with texto = TAG and tb = 0..COUNT-1; creates READY once the file is read,
//       then waits for GO to exist, and DELAY_MS more, before the first test is handed in
#include <chrono>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "exam/results_file.h"

namespace {

using namespace tecladim;
namespace fs = std::filesystem;

int Run(int argc, char** argv) {
  if (argc < 6) return 2;
  const fs::path folder = argv[1];
  const std::string tag = argv[2];
  const int count = std::atoi(argv[3]);
  const int delayMs = argc > 6 ? std::atoi(argv[6]) : 0;
  exam::ResultsFile results(folder / std::string(exam::ResultsFileName), folder / ("dados-" + tag), std::cerr);
  if (const std::string error = results.Load(); !error.empty()) {
    std::cerr << error << '\n';
    return 1;
  }
  std::ofstream(argv[4]).put('\n');
  while (!fs::exists(argv[5])) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  for (int i = 0; i < count; ++i) {
    exam::ResultRecord r;
    r.perfil = "TJ-MG";
    r.texto = tag;
    r.tb = i;
    r.inicio = EncodeDateTime({2026, 3, 2}, {8, i % 60, std::atoi(tag.c_str()) % 60, 0});
    if (const std::string error = results.Add(r); !error.empty()) std::cerr << error << '\n';  // saved at the end
  }
  return results.SaveAtEnd() == exam::ResultsEnd::Saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int status = Run(argc, argv);
    if (status == 2) std::cerr << "usage: see the head of results_child.cpp\n";
    return status;
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
