// Several runs of the exam program saving one student's "Simulados.xml" at the same moment
// (two computers on a shared folder, or a run left open beside a new one): every result of
// every run must end in the file, once.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "exam/result_record.h"
#include "history/record_set.h"

extern char** environ;

namespace tecladim::exam {
namespace {

namespace fs = std::filesystem;

pid_t Spawn(std::vector<std::string> args) {
  args.insert(args.begin(), TECLADIM_RESULTS_CHILD);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  EXPECT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1000;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// How many results each run's tag has in the file.
std::map<std::string, int> ResultsByRun(const fs::path& file) {
  history::RecordSet set("Simulados", ResultLayout);
  set.LoadFromFile(file);
  std::map<std::string, int> runs;
  for (int i = 0; i < set.RowCount(); ++i) ++runs[ResultAt(set, i).texto];
  return runs;
}

TEST(ResultsProcesses, RunsSavingOneResultsFileAtOnceKeepEveryResult) {
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  SCOPED_TRACE("random seed " + std::to_string(seed));
  constexpr int PerRun = 4;
  for (const int runs : {2, 6}) {
    SCOPED_TRACE(std::to_string(runs) + " runs");
    const fs::path folder =
        fs::temp_directory_path() / ("tecladim-results-" + std::to_string(::getpid()) + "-" + std::to_string(runs));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // A results file from an earlier day, which every run reads first.
    ASSERT_EQ(
        Wait(Spawn({folder.string(), "100", "3", (folder / "ready-100").string(), (folder / "ready-100").string()})),
        0);
    const fs::path go = folder / "go";
    std::vector<pid_t> children;
    for (int run = 0; run < runs; ++run) {
      const std::string tag = std::to_string(run + 1);
      children.push_back(Spawn({folder.string(), tag, std::to_string(PerRun), (folder / ("ready-" + tag)).string(),
                                go.string(), std::to_string(std::uniform_int_distribution<int>(0, 15)(random))}));
    }
    // Every run has read the same file before any of them hands a test in.
    for (int run = 1; run <= runs; ++run)
      while (!fs::exists(folder / ("ready-" + std::to_string(run))))
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::ofstream(go).put('\n');
    for (const pid_t child : children) EXPECT_EQ(Wait(child), 0);

    std::map<std::string, int> expected{{"100", 3}};
    for (int run = 1; run <= runs; ++run) expected[std::to_string(run)] = PerRun;
    EXPECT_EQ(ResultsByRun(folder / std::string(ResultsFileName)), expected);
    // Nothing waits in a recovery file: each run merged into the file itself.
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      EXPECT_TRUE(entry.is_directory() || entry.path().filename() == ResultsFileName ||
                  entry.path().filename().string().starts_with("ready-") || entry.path().filename() == "go")
          << entry.path();
    fs::remove_all(folder);
  }
}

}  // namespace
}  // namespace tecladim::exam
