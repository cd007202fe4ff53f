// The class report's load with key statistics against the same class without them: a class of
// 1,000 histories of 1,000 records, each with (then without) a "Teclas.xml" of its 1,000
// exercises, found, read on every core and summed up. Goal: at most 1.5 times the load without
// key statistics (ratio printed at the end); the key statistics are read when the keys are
// first shown, timed apart (the class's keyboard: every file read and summed per key).
// TECLADIM_BENCH_STUDENTS=N takes a smaller class for a quick look.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "classroom/class_loader.h"
#include "classroom/class_report.h"
#include "classroom/key_report.h"
#include "history/key_stats_file.h"
#include "key_class.h"

namespace {

using namespace tecladim;
namespace fs = std::filesystem;

constexpr int RecordsPerStudent = classroom::testing::KeyClassRecords;

int Students() {
  const char* n = std::getenv("TECLADIM_BENCH_STUDENTS");
  return n ? std::max(1, std::atoi(n)) : 1'000;
}

struct Fixture {
  fs::path root;
  fs::path withKeys;
  fs::path withoutKeys;

  Fixture() {
    std::random_device random;
    root = fs::temp_directory_path() / ("class-keys-bench-" + std::to_string(random()));
    withKeys = root / "com-teclas";
    withoutKeys = root / "sem-teclas";
    classroom::testing::WriteKeyClass(Students(), withKeys, withoutKeys);
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

double withoutSeconds = 0, withSeconds = 0;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The load as the window does it, then the figures of the class's first views.
double LoadAndCompute(const fs::path& folder, benchmark::State& state, bool keys) {
  const auto start = std::chrono::steady_clock::now();
  const auto found = classroom::FindHistories({folder});
  const auto students = classroom::LoadClass(found.histories);
  const auto summary = classroom::SummarizeClass(students, classroom::Period{});
  benchmark::DoNotOptimize(summary.exercises);
  if (keys && students.empty()) state.SkipWithError("no student");
  return Seconds(start);
}

double classKeysSeconds = 0;

// The class's keyboard, the first time it is shown: every "Teclas.xml" read, keys summed.
void BM_ClassKeyboardFirstShown(benchmark::State& state) {
  const auto found = classroom::FindHistories({Files().withKeys});
  const auto loaded = classroom::LoadClass(found.histories);
  double best = 1e9;
  for (auto _ : state) {
    auto students = loaded;
    const auto start = std::chrono::steady_clock::now();
    classroom::LoadKeyStats(students);
    const auto classKeys = classroom::ClassKeys(students, classroom::Period{});
    benchmark::DoNotOptimize(classKeys.size());
    best = std::min(best, Seconds(start));
    if (classKeys.empty()) state.SkipWithError("no key statistics were read");
  }
  classKeysSeconds = best;
}

void BM_ClassWithoutKeyStatistics(benchmark::State& state) {
  double best = 1e9;
  for (auto _ : state) best = std::min(best, LoadAndCompute(Files().withoutKeys, state, false));
  withoutSeconds = best;
}

void BM_ClassWithKeyStatistics(benchmark::State& state) {
  double best = 1e9;
  for (auto _ : state) best = std::min(best, LoadAndCompute(Files().withKeys, state, true));
  withSeconds = best;
}

BENCHMARK(BM_ClassWithoutKeyStatistics)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ClassWithKeyStatistics)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ClassKeyboardFirstShown)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Files();  // written before any timing
  benchmark::RunSpecifiedBenchmarks();
  if (withoutSeconds > 0 && withSeconds > 0)
    std::printf(
        "\nbest of 3, %d students x %d exercises: without key statistics %.3f s; with them %.3f s; ratio %.2f "
        "(goal <= 1.50)\n",
        Students(), RecordsPerStudent, withoutSeconds, withSeconds, withSeconds / withoutSeconds);
  if (classKeysSeconds > 0) std::printf("the class's keyboard, first shown: %.3f s\n", classKeysSeconds);
  benchmark::Shutdown();
  return 0;
}
