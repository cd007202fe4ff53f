// The history file's load and save against a yardstick: pugixml parsing the same file into
// its DOM and walking every row's attributes. The summary at the end gives the ratios the
// history must keep: load of 1,000,000 records at most 0.75 of the yardstick, save at most
// 0.6, peak memory while loading at most 1.5 times the file's size.
//
// Peak memory is the largest resident set (getrusage ru_maxrss) of a fresh child process
// that only loads the file, less that of a child that loads nothing: a counting allocator
// would count reserved-but-untouched capacity, which costs the machine nothing.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <pugixml.hpp>
#include <string>

#include "history/datetime.h"
#include "history/history_file.h"
#include "history/packet.h"
#include "history/record_set.h"
#include "tests/packet/packet_test_data.h"

namespace {

using namespace tecladim;
using namespace tecladim::history;
namespace fs = std::filesystem;

constexpr std::int64_t Sizes[] = {1'000, 100'000, 1'000'000};
constexpr std::int64_t Largest = 1'000'000;

// A classroom history: exercises of a few minutes, one after the other, day after day.
Packet MakeHistory(std::int64_t records) {
  Packet p = testdata::HistoryColumns(static_cast<std::size_t>(records));
  std::int64_t ms = MakeStamp(DaysFromCivil({2015, 2, 2}), 8 * 3'600'000).ms;
  for (std::int64_t i = 0; i < records; ++i) {
    const std::int64_t seconds = 60 + (i * 7919) % 600;
    const std::int64_t start = ms / 1000 * 1000;
    const std::int64_t end = start + seconds * 1000;
    p.columns[0].numbers.push_back(1 + i % 192);
    p.columns[1].numbers.push_back(end + i % 1000);
    p.columns[2].numbers.push_back((i * 31) % 25);
    p.columns[3].numbers.push_back(start);
    p.columns[4].numbers.push_back(end);
    p.columns[5].numbers.push_back(seconds * 1000);
    p.rowStates.push_back(4);
    p.changeLog.push_back({static_cast<std::uint32_t>(i + 1), 0, 4});
    ms = end + 30'000 + (i % 50 == 49 ? 13 * 3'600'000 : 0);
  }
  return p;
}

fs::path& Folder() {
  static fs::path folder;
  return folder;
}

fs::path FileOf(std::int64_t records) { return Folder() / ("Exercicio_" + std::to_string(records) + ".xml"); }

// The file read the way the store reads it.
std::string ReadAll(const fs::path& name) { return ReadHistoryFile(name); }

void WriteAll(const fs::path& name, std::string_view bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void BM_FileRead(benchmark::State& state) {
  const fs::path file = FileOf(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ReadAll(file));
}

void BM_Load(benchmark::State& state) {
  const fs::path file = FileOf(state.range(0));
  for (auto _ : state) {
    const Packet p = ReadPacket(ReadAll(file));
    benchmark::DoNotOptimize(p.RowCount());
  }
}

void BM_Parse(benchmark::State& state) {
  const std::string bytes = ReadAll(FileOf(state.range(0)));
  for (auto _ : state) {
    const Packet p = ReadPacket(bytes);
    benchmark::DoNotOptimize(p.RowCount());
  }
}

void BM_Save(benchmark::State& state) {
  const Packet p = MakeHistory(state.range(0));
  const fs::path file = Folder() / "saved.xml";
  for (auto _ : state) WriteAll(file, WritePacket(p));
}

void BM_Write(benchmark::State& state) {
  const Packet p = MakeHistory(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(WritePacket(p));
}

// The yardstick: read, DOM parse, and every row's attributes converted as integers.
void BM_PugixmlParseWalk(benchmark::State& state) {
  const fs::path file = FileOf(state.range(0));
  for (auto _ : state) {
    std::string bytes = ReadAll(file);
    pugi::xml_document doc;
    if (!doc.load_buffer_inplace(bytes.data(), bytes.size())) state.SkipWithError("pugixml failed");
    long long sum = 0;
    for (const pugi::xml_node row : doc.child("DATAPACKET").child("ROWDATA").children())
      for (const pugi::xml_attribute a : row.attributes()) sum += a.as_llong();
    benchmark::DoNotOptimize(sum);
  }
}

// The store's own load: read, parse, bind the six fields and build the `data` order.
void BM_RecordSetLoad(benchmark::State& state) {
  const fs::path file = FileOf(state.range(0));
  RecordSet cds1("cds1");
  cds1.CreateDataSet();
  for (auto _ : state) {
    cds1.Close();
    cds1.LoadFromFile(file);
    benchmark::DoNotOptimize(cds1.RowCount());
  }
}

// The store's own save, the file replaced safely (written beside it, then renamed).
void BM_RecordSetSave(benchmark::State& state) {
  RecordSet cds1("cds1");
  cds1.CreateDataSet();
  cds1.LoadFromFile(FileOf(state.range(0)));
  const fs::path file = Folder() / "saved_by_store.xml";
  for (auto _ : state) cds1.SaveToFile(file);
}

// One completed exercise posted into a history that holds state.range(0) records.
void BM_Post(benchmark::State& state) {
  RecordSet cds1("cds1");
  cds1.CreateDataSet();
  cds1.LoadFromFile(FileOf(state.range(0)));
  cds1.Last();
  DateTime now = EncodeDateTime({2030, 1, 1}, {8, 0, 0, 0});
  for (auto _ : state) {
    now += 1.0 / 1440;
    cds1.Append();
    cds1.SetInteger("licao", 12);
    cds1.SetDateTime("data", now);
    cds1.SetDateTime("inicio", now - 1.0 / 1440);
    cds1.SetDateTime("fim", now);
    cds1.SetDateTime("tempo", *cds1.DateTimeValue("fim") - *cds1.DateTimeValue("inicio"));
    cds1.SetInteger("erros", 2);
    cds1.Post();
  }
}

// The largest resident set, in bytes, of loading `file` ("-": loading nothing) in a
// process of its own. A process started from this one would inherit this one's high-water
// mark, so a fresh copy of the program forks the loader and reports its figure.
long ChildPeak(const std::string& file) {
  const std::string command = fs::read_symlink("/proc/self/exe").string() + " --peak-load '" + file + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  long peak = -1;
  if (std::fscanf(pipe, "%ld", &peak) != 1) peak = -1;
  return pclose(pipe) == 0 ? peak : -1;
}

void BM_LoadPeakMemory(benchmark::State& state) {
  const fs::path file = FileOf(state.range(0));
  long base = 0, peak = 0, storePeak = 0;
  for (auto _ : state) {
    base = ChildPeak("-");
    peak = ChildPeak(file.string());
    storePeak = ChildPeak("store:" + file.string());
  }
  if (base < 0 || peak < 0 || storePeak < 0) state.SkipWithError("child failed");
  const double size = static_cast<double>(fs::file_size(file));
  state.counters["file_MB"] = size / 1e6;
  state.counters["peak_MB"] = static_cast<double>(peak - base) / 1e6;
  state.counters["peak_per_file_byte"] = static_cast<double>(peak - base) / size;
  state.counters["store_peak_per_file_byte"] = static_cast<double>(storePeak - base) / size;
}

BENCHMARK(BM_FileRead)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_PugixmlParseWalk)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Load)->Arg(Sizes[0])->Arg(Sizes[1])->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Load)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Parse)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Save)->Arg(Sizes[0])->Arg(Sizes[1])->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Save)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Write)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_RecordSetLoad)->Arg(Sizes[0])->Arg(Sizes[1])->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_RecordSetLoad)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_RecordSetSave)->Arg(Sizes[0])->Arg(Sizes[1])->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_RecordSetSave)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Post)->Arg(Largest)->Unit(benchmark::kMicrosecond)->Iterations(1000)->Repetitions(5);
BENCHMARK(BM_LoadPeakMemory)->Arg(Largest)->Unit(benchmark::kMillisecond)->Iterations(1);

// Prints the usual table, then the medians of the 1,000,000-record cases as ratios of the
// yardstick.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.aggregate_name == "median") {
        medians_[r.run_name.function_name + "/" + r.run_name.args] = r.GetAdjustedRealTime();
        cpuMedians_[r.run_name.function_name + "/" + r.run_name.args] = r.GetAdjustedCPUTime();
      }
      if (r.run_name.function_name == "BM_LoadPeakMemory") {
        if (const auto it = r.counters.find("peak_per_file_byte"); it != r.counters.end())
          peak_ = std::max(peak_, static_cast<double>(it->second));
        if (const auto it = r.counters.find("store_peak_per_file_byte"); it != r.counters.end())
          storePeak_ = std::max(storePeak_, static_cast<double>(it->second));
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const std::string arg = std::to_string(Largest);
    const double yard = medians_["BM_PugixmlParseWalk/" + arg];
    const double cpuYard = cpuMedians_["BM_PugixmlParseWalk/" + arg];
    // On a shared machine the CPU times are the steadier figures; both are shown.
    std::printf("\nMedians for %s records; yardstick pugixml parse+walk %.1f ms (CPU %.1f ms)\n", arg.c_str(), yard,
                cpuYard);
    for (const char* name : {"BM_FileRead", "BM_Load", "BM_Parse", "BM_RecordSetLoad", "BM_Save", "BM_Write",
                             "BM_RecordSetSave"}) {
      const double t = medians_[std::string(name) + "/" + arg];
      const double cpu = cpuMedians_[std::string(name) + "/" + arg];
      std::printf("  %-18s %8.1f ms  %.2f x yardstick   CPU %8.1f ms  %.2f x\n", name, t, yard > 0 ? t / yard : 0.0, cpu,
                  cpuYard > 0 ? cpu / cpuYard : 0.0);
    }
    std::printf("  post into %s records: %.1f us each\n", arg.c_str(),
                medians_["BM_Post/" + arg]);
    std::printf("  peak memory while loading: packet %.2f x file size, record set %.2f x\n", peak_, storePeak_);
  }

 private:
  std::map<std::string, double> medians_;
  std::map<std::string, double> cpuMedians_;
  double peak_ = 0;
  double storePeak_ = 0;
};

// Child mode: a forked loader reads and parses the file; its peak goes to stdout.
int PeakLoad(const char* file) {
  const pid_t pid = fork();
  if (pid < 0) return 1;
  if (pid == 0) {
    const std::string_view name(file);
    if (name.starts_with("store:")) {
      RecordSet cds1("cds1");
      cds1.CreateDataSet();
      cds1.Close();
      cds1.LoadFromFile(std::string(name.substr(6)));
      if (cds1.RowCount() == 0) _exit(1);
    } else if (name != "-") {
      const Packet p = ReadPacket(ReadAll(file));
      if (p.RowCount() == 0) _exit(1);
    }
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  std::printf("%ld\n", usage.ru_maxrss * 1024);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--peak-load") return PeakLoad(argv[2]);
  benchmark::Initialize(&argc, argv);
  char folder[] = "/tmp/tecladim_history_bench_XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  Folder() = folder;
  for (const std::int64_t n : Sizes) WriteAll(FileOf(n), WritePacket(MakeHistory(n)));
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  fs::remove_all(Folder());
  return 0;
}
