// The history save tried for what it is for, with real processes: programs killed in the
// middle of a save, many programs closing at once on one history, and the shared folders of
// a classroom as real unprivileged users. The program under test is history_save_child.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "history/history_file.h"
#include "history/history_name.h"
#include "history/key_stats_file.h"
#include "history/record_set.h"
#include "tests/support/file_bytes.h"

extern char** environ;

namespace tecladim::history {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* HistoryName = "Exercicio.xml";

using testing_support::Slurp;

// The seed of every random choice is printed, so that a failure can be run again with it.
unsigned Seed() {
  static const unsigned seed = [] {
    const char* given = std::getenv("TECLADIM_SEED");
    const unsigned s = given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::printf("random seed %u (TECLADIM_SEED=%u repeats this run)\n", s, s);
    return s;
  }();
  return seed;
}

// One history_save_child, its output (standard and error) read line by line.
class Child {
 public:
  // `as`: run through setpriv as another user (empty: as ourselves).
  Child(const std::vector<std::string>& args, const std::vector<std::string>& as = {}) {
    std::vector<std::string> all = as;
    all.push_back(TECLADIM_SAVE_CHILD);
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    EXPECT_EQ(::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0) << argv[0];
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    out_ = out[0];
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    ::close(out_);
  }
  // The next line of output; "" at its end or after `limit`.
  std::string Line(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    std::string line;
    const auto giveUp = Clock::now() + limit;
    while (Clock::now() < giveUp) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char c = 0;
      if (::read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return line;
  }
  void Kill() { ::kill(pid_, SIGKILL); }
  // The exit status (0 for a successful save), -signal when killed.
  int Wait() {
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1000;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

 private:
  pid_t pid_ = 0;
  int out_ = -1;
};

int RunChild(const std::vector<std::string>& args, const std::vector<std::string>& as = {}) {
  Child child(args, as);
  return child.Wait();
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Every record of the file as (licao, erros), with the change log checked on the way: one
// insertion (k, 0, 4) per record, in record-number order.
std::multiset<std::pair<int, int>> Records(const fs::path& file) {
  RecordSet set("cds1");
  set.CreateDataSet();
  set.Close();
  set.LoadFromFile(file);
  const Packet& p = set.Content();
  EXPECT_EQ(p.changeLog.size(), p.RowCount());
  for (std::size_t k = 0; k < p.changeLog.size(); ++k)
    EXPECT_EQ(p.changeLog[k], (ChangeLogEntry{static_cast<std::uint32_t>(k + 1), 0, 4}));
  std::multiset<std::pair<int, int>> records;
  for (std::size_t row = 0; row < p.RowCount(); ++row)
    records.insert({static_cast<int>(p.columns[0].numbers[row]), static_cast<int>(p.columns[2].numbers[row])});
  return records;
}

class SaveProcesses : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = Scratch() / ("tecladim-save-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(base_);
    fs::create_directories(base_);
    fs::permissions(base_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
  }
  void TearDown() override { fs::remove_all(base_); }  // runs after a failure too
  // A killed process leaves the system's cache of the files as it was, so what these tests
  // try is the order of the file operations, not the disk: a memory file system, where
  // there is one, keeps hundreds of megabytes of histories quick.
  static fs::path Scratch() {
    std::error_code ec;
    return fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                                              : fs::temp_directory_path();
  }
  fs::path Folder(const std::string& name) {
    fs::create_directories(base_ / name);
    return base_ / name;
  }
  fs::path base_;
};

// Programs closing in any order on one history: every record of every run must end in it.
TEST_F(SaveProcesses, ManyProgramsClosingAtOnceKeepEveryRecordOfEveryRun) {
  std::mt19937 random(Seed());
  constexpr int Initial = 40, PerRun = 3;
  for (const int programs : {2, 5, 20}) {
    SCOPED_TRACE(std::to_string(programs) + " programs");
    const fs::path folder = Folder("shared" + std::to_string(programs));
    ASSERT_EQ(RunChild({folder.string(), "make", std::to_string(Initial)}), 0);
    const fs::path go = folder / "go";
    std::vector<std::unique_ptr<Child>> children;
    for (int tag = 1000; tag < 1000 + programs; ++tag) {
      const int delay = std::uniform_int_distribution<int>(0, 40)(random);
      children.push_back(std::make_unique<Child>(std::vector<std::string>{
          folder.string(), "append", std::to_string(tag), std::to_string(PerRun), "--wait", go.string(),
          "--delay-ms", std::to_string(delay)}));
    }
    for (auto& child : children) ASSERT_EQ(child->Line(), "loaded");  // all read the same history
    std::ofstream(go).put('\n');
    for (auto& child : children) EXPECT_EQ(child->Wait(), 0);

    const auto records = Records(folder / HistoryName);
    EXPECT_EQ(records.size(), static_cast<std::size_t>(Initial + programs * PerRun));
    for (int tag = 1000; tag < 1000 + programs; ++tag)
      for (int i = 0; i < PerRun; ++i) EXPECT_EQ(records.count({tag, i}), 1u) << "run " << tag << " record " << i;
    EXPECT_EQ(Names(folder), (std::vector<std::string>{HistoryName, "go"}));
  }
}

#ifdef TECLADIM_ENOLCK_SHIM
// Where the file system has no locks (it answers ENOLCK), programs closing at once used to
// lose records (2 of 10 programs' runs, every program exiting 0): each save now reads the
// file back and writes again what another save lost.
TEST_F(SaveProcesses, ProgramsClosingAtOnceWithoutLocksKeepEveryRecordOfEveryRun) {
  std::mt19937 random(Seed());
  constexpr int Initial = 40, PerRun = 3, Programs = 10, Rounds = 3;
  const std::vector<std::string> noLocks{"env", std::string("LD_PRELOAD=") + TECLADIM_ENOLCK_SHIM};
  for (int round = 0; round < Rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const fs::path folder = Folder("nolocks" + std::to_string(round));
    ASSERT_EQ(RunChild({folder.string(), "make", std::to_string(Initial)}), 0);
    const fs::path go = folder / "go";
    std::vector<std::unique_ptr<Child>> children;
    for (int tag = 1000; tag < 1000 + Programs; ++tag) {
      const int delay = std::uniform_int_distribution<int>(0, 10)(random);
      children.push_back(std::make_unique<Child>(
          std::vector<std::string>{folder.string(), "append", std::to_string(tag), std::to_string(PerRun), "--wait",
                                   go.string(), "--delay-ms", std::to_string(delay)},
          noLocks));
    }
    for (auto& child : children) ASSERT_EQ(child->Line(), "loaded");
    std::ofstream(go).put('\n');
    for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
    const auto records = Records(folder / HistoryName);
    EXPECT_EQ(records.size(), static_cast<std::size_t>(Initial + Programs * PerRun));
    for (int tag = 1000; tag < 1000 + Programs; ++tag)
      for (int i = 0; i < PerRun; ++i) EXPECT_EQ(records.count({tag, i}), 1u) << "run " << tag << " record " << i;
  }
}
#endif

// One folder reached through two user-space mounts (bindfs), whose locks stay on their own
// mount as two network clients' do, and which look the name up again at each open as such
// clients do (close-to-open): 6 programs, half on each mount, closing at once used to lose
// records with every program exiting 0. Needs root, /dev/fuse and bindfs.
TEST_F(SaveProcesses, ProgramsClosingAtOnceThroughTwoMountsKeepEveryRecordOfEveryRun) {
  if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0 || ::access("/usr/bin/bindfs", X_OK) != 0)
    GTEST_SKIP() << "needs root, /dev/fuse and bindfs (scripts/deps.sh test installs it)";
  const fs::path shared = Folder("one-folder");
  const fs::path mounts[] = {Folder("mount-a"), Folder("mount-b")};
  std::vector<fs::path> mounted;
  for (const fs::path& m : mounts) {
    if (std::system(("/usr/bin/bindfs -o attr_timeout=0,entry_timeout=0,negative_timeout=0 '" + shared.string() + "' '" + m.string() + "'").c_str()) != 0) break;
    mounted.push_back(m);
  }
  struct Unmount {
    std::vector<fs::path>& paths;
    ~Unmount() {
      for (const fs::path& m : paths) std::system(("/bin/umount '" + m.string() + "'").c_str());
    }
  } unmount{mounted};
  if (mounted.size() != 2) GTEST_SKIP() << "bindfs could not mount here";

  std::mt19937 random(Seed());
  constexpr int Initial = 40, PerRun = 3, Programs = 6, Rounds = 3;
  for (int round = 0; round < Rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string name = "round" + std::to_string(round);
    fs::create_directories(shared / name);
    ASSERT_EQ(RunChild({(mounts[0] / name).string(), "make", std::to_string(Initial)}), 0);
    const fs::path go = shared / name / "go";
    std::vector<std::unique_ptr<Child>> children;
    for (int tag = 1000; tag < 1000 + Programs; ++tag) {
      const int delay = std::uniform_int_distribution<int>(0, 10)(random);
      children.push_back(std::make_unique<Child>(std::vector<std::string>{
          (mounts[tag % 2] / name).string(), "append", std::to_string(tag), std::to_string(PerRun), "--wait",
          go.string(), "--delay-ms", std::to_string(delay)}));
    }
    for (auto& child : children) ASSERT_EQ(child->Line(), "loaded");
    std::ofstream(go).put('\n');
    for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
    const auto records = Records(shared / name / HistoryName);
    EXPECT_EQ(records.size(), static_cast<std::size_t>(Initial + Programs * PerRun));
    for (int tag = 1000; tag < 1000 + Programs; ++tag)
      for (int i = 0; i < PerRun; ++i) EXPECT_EQ(records.count({tag, i}), 1u) << "run " << tag << " record " << i;
  }
}

// The moment a save starts on the disk: a new file in the folder (the temporary one or the
// journal) or a change of the history itself (a write in place). Building the bytes in
// memory before it takes most of a save's time, and a kill there proves nothing.
bool WaitForFileActivity(const fs::path& folder, const char* name, Clock::duration limit) {
  const std::size_t files = Names(folder).size();
  struct stat before {};
  ::stat((folder / name).c_str(), &before);
  const auto giveUp = Clock::now() + limit;
  while (Clock::now() < giveUp) {
    struct stat now {};
    if (Names(folder).size() > files || ::stat((folder / name).c_str(), &now) != 0 || now.st_size != before.st_size ||
        now.st_mtim.tv_nsec != before.st_mtim.tv_nsec || now.st_mtim.tv_sec != before.st_mtim.tv_sec)
      return true;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return false;
}

// The moment a write in place reaches the history's bytes: the first byte where the old
// and the new file differ changes. Kills timed from it fall inside the write itself.
bool WaitForWriteInPlace(const fs::path& file, std::size_t offset, char old, Clock::duration limit) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  const auto giveUp = Clock::now() + limit;
  bool changed = false;
  while (fd >= 0 && !changed && Clock::now() < giveUp) {
    char now = old;
    changed = ::pread(fd, &now, 1, static_cast<off_t>(offset)) == 1 && now != old;
    if (!changed) std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  if (fd >= 0) ::close(fd);
  return changed;
}

// A history of 1,000,000 records saved and killed `kills` times at random moments of its
// writing; after each kill the next open (a load, as the next start does) must find the old
// history or the new one, byte for byte. `link`: a second name for the history, which makes
// the save write in place, from the first byte that changes (where the run's records go, then
// the change log of a million records, some 10 MB): the kills then fall inside that write.
struct KillCounts {
  int old = 0, fresh = 0, journals = 0;
};
// The file a save kill test tries: its name, history_save_child's commands that make it and
// save into it, and how many entries (records or exercises) the made file holds.
struct SavedFile {
  const char* name;
  const char* make;
  const char* save;
  std::size_t made;
  const char* perSave;  // the entries one save adds
  const char* option = nullptr;  // of the save, as history_save_child takes it
};
std::size_t EntriesIn(const SavedFile& saved, const fs::path& file);
constexpr SavedFile HistorySave{HistoryName, "make", "append", 1'000'000, "3"};
KillCounts KillSavesAtRandom(const fs::path& base, int kills, const char* link, const SavedFile& saved = HistorySave) {
  const fs::path made = base / "made", reference = base / "reference";
  for (const fs::path& f : {made, reference}) fs::create_directories(f);
  const auto reset = [&](const fs::path& folder) {
    fs::remove(folder / saved.name);
    fs::copy_file(made / saved.name, folder / saved.name);
    if (link) {
      fs::remove(folder / link);
      fs::create_hard_link(folder / saved.name, folder / link);
    }
  };
  EXPECT_EQ(RunChild({made.string(), saved.make, std::to_string(saved.made)}), 0);
  const std::string before = Slurp(made / saved.name);
  std::vector<std::string> args{reference.string(), saved.save, "7", saved.perSave, "--announce"};
  if (saved.option) args.push_back(saved.option);
  reset(reference);
  EXPECT_EQ(RunChild(args), 0);
  const std::string after = Slurp(reference / saved.name);
  EXPECT_NE(before, after);
  const std::size_t firstChange = static_cast<std::size_t>(
      std::mismatch(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(std::min(before.size(), after.size())),
                    after.begin())
          .first -
      before.begin());
  const auto waitForWrite = [&](const fs::path& folder) {
    return link ? WaitForWriteInPlace(folder / saved.name, firstChange, before[firstChange], std::chrono::seconds(60))
                : WaitForFileActivity(folder, saved.name, std::chrono::seconds(60));
  };
  // How long the writing takes, from its start to the end of the program.
  Clock::duration writeTime{};
  {
    reset(reference);
    Child child(args);
    EXPECT_EQ(child.Line(), "loaded");
    EXPECT_EQ(child.Line(), "saving");
    EXPECT_TRUE(waitForWrite(reference));
    const auto start = Clock::now();
    EXPECT_EQ(child.Wait(), 0);
    writeTime = Clock::now() - start;
    EXPECT_EQ(Slurp(reference / saved.name), after);
  }

  // Two killers at once, each on its own copy: the children's loads take most of the time.
  constexpr int Killers = 2;
  std::vector<KillCounts> counts(Killers);
  std::vector<std::thread> killers;
  for (int k = 0; k < Killers; ++k)
    killers.emplace_back([&, k] {
      std::mt19937 random(Seed() + static_cast<unsigned>(k));
      const fs::path killed = base / ("killed" + std::to_string(k));
      fs::create_directories(killed);
      std::vector<std::string> mine = args;
      mine[0] = killed.string();
      reset(killed);
      for (int kill = k; kill < kills && !::testing::Test::HasFailure(); kill += Killers) {
        Child child(mine);
        EXPECT_EQ(child.Line(), "loaded");
        EXPECT_EQ(child.Line(), "saving");
        EXPECT_TRUE(waitForWrite(killed));
        const auto wait = std::uniform_int_distribution<long long>(0, writeTime.count() * 5 / 4)(random);
        std::this_thread::sleep_for(Clock::duration(wait));
        child.Kill();
        child.Wait();
        counts[k].journals += fs::exists(killed / ("." + std::string(saved.name) + ".journal"));
        const std::string now = ReadHistoryFile(killed / saved.name);  // the next open, as a load
        EXPECT_TRUE(now == before || now == after)
            << "a torn history after a kill " << wait / 1'000'000 << " ms into the writing";
        (now == before ? counts[k].old : counts[k].fresh) += 1;
        if (now != before) reset(killed);
      }
    });
  for (std::thread& t : killers) t.join();
  KillCounts total;
  for (const KillCounts& c : counts) {
    total.old += c.old;
    total.fresh += c.fresh;
    total.journals += c.journals;
  }
  std::printf(
      "%d kills (%s, %zu bytes written from byte %zu in %lld ms): %d left the old file, %d the new one; "
      "%d left a journal\n",
      kills, link ? "in place" : "renamed", after.size() - firstChange, firstChange,
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(writeTime).count()), total.old,
      total.fresh, total.journals);
  const fs::path killed = base / "killed0";
  EXPECT_EQ(EntriesIn(saved, killed / saved.name), saved.made);
  args[0] = killed.string();
  args[3] = "1";
  EXPECT_EQ(RunChild(args), 0);
  std::vector<std::string> expected{saved.name};
  if (link) expected.insert(expected.begin(), link);
  EXPECT_EQ(Names(killed), expected);
  return total;
}

// A save killed at any moment leaves the old history or the new one, byte for byte, and the
// next save leaves no temporary file behind.
TEST_F(SaveProcesses, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFileAndTheNextSaveTidiesUp) {
  KillSavesAtRandom(base_, 50, nullptr);
}

// Used to tear the file: a write in place killed half way left the start of the new history
// over the rest of the old one, and the reader took the seam for a record.
TEST_F(SaveProcesses, AWriteInPlaceKilledAtAnyMomentIsFinishedOrUndoneAtTheNextOpen) {
  const KillCounts counts = KillSavesAtRandom(base_, 50, "Exercicio-link.xml");
  EXPECT_GT(counts.journals, 0) << "no kill fell inside a write in place";
}

// The key statistics file: 10,000 exercises (some 8 MB) under the same kills, 500 added by
// each save.
constexpr SavedFile KeyStatsSave{KeyStatsFileName.data(), "make-keys", "keys", 10'000, "500"};

std::vector<ExerciseKeyStats> KeyExercises(const fs::path& file) { return ReadKeyStats(ReadPacket(Slurp(file))); }

std::size_t EntriesIn(const SavedFile& saved, const fs::path& file) {
  return std::string_view(saved.make) == KeyStatsSave.make ? KeyExercises(file).size() : Records(file).size();
}

// A save of the key statistics killed at any moment, renamed or written in place, leaves the
// old file or the new one, byte for byte: never a torn file that would load as something else.
// Checked at the start, as the trainer does, the file gets the new rows after its last
// exercise, unread.
TEST_F(SaveProcesses, AKeyStatisticsSaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  KillSavesAtRandom(base_ / "renamed", 30, nullptr, KeyStatsSave);
  // The rows go in at the file's end, so a write in place is short: kills rarely fall inside.
  KillSavesAtRandom(base_ / "in-place", 30, "Teclas-link.xml", KeyStatsSave);
  SavedFile checked = KeyStatsSave;
  checked.option = "--check";
  checked.perSave = "5000";  // a longer write, for the kills to fall inside
  KillSavesAtRandom(base_ / "checked", 30, "Teclas-link.xml", checked);
}

// Trainers closing at once on one folder, with locks and where the file system has none (it
// answers ENOLCK), each having checked the file at its start: every exercise's statistics of
// every run end in the file.
TEST_F(SaveProcesses, KeyStatisticsOfProgramsClosingAtOnceAreAllKeptWithAndWithoutLocks) {
  std::mt19937 random(Seed());
  constexpr int PerRun = 3, Programs = 10, Rounds = 3;
  std::vector<std::pair<std::string, std::vector<std::string>>> modes{{"locks", {}}};
#ifdef TECLADIM_ENOLCK_SHIM
  modes.push_back({"nolocks", {"env", std::string("LD_PRELOAD=") + TECLADIM_ENOLCK_SHIM}});
#endif
  for (const auto& [mode, as] : modes)
    for (int round = 0; round < Rounds; ++round) {
      SCOPED_TRACE(mode + " round " + std::to_string(round));
      const fs::path folder = Folder(mode + std::to_string(round));
      ASSERT_EQ(RunChild({folder.string(), "make-keys", "40"}), 0);
      const fs::path go = folder / "go";
      std::vector<std::unique_ptr<Child>> children;
      for (int tag = 1000; tag < 1000 + Programs; ++tag) {
        const int delay = std::uniform_int_distribution<int>(0, 10)(random);
        children.push_back(std::make_unique<Child>(
            std::vector<std::string>{folder.string(), "keys", std::to_string(tag), std::to_string(PerRun), "--wait",
                                     go.string(), "--delay-ms", std::to_string(delay), "--check"},
            as));
      }
      for (auto& child : children) ASSERT_EQ(child->Line(), "loaded");
      std::ofstream(go).put('\n');
      for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
      std::multiset<std::pair<int, int>> exercises;  // (licao, wrong keys on "a")
      for (const ExerciseKeyStats& e : KeyExercises(folder / KeyStatsFileName))
        exercises.insert({e.licao, e.keys.front().wrong});
      EXPECT_EQ(exercises.size(), static_cast<std::size_t>(40 + Programs * PerRun));
      for (int tag = 1000; tag < 1000 + Programs; ++tag)
        for (int i = 1; i <= PerRun; ++i)
          EXPECT_EQ(exercises.count({tag, i}), 1u) << "run " << tag << " exercise " << i;
    }
}

// The classroom's folders, each with real unprivileged users (numeric ids through setpriv,
// so no account is created and none is left behind).
class ClassroomFolders : public SaveProcesses {
 protected:
  static constexpr uid_t Teacher = 61001, Ana = 61002, Bia = 61003;
  static constexpr gid_t Turma = 61010;  // the class's group; each user's own group has the user's number
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as other users (the test command runs as root in CI)";
    if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv (util-linux) is not installed";
    SaveProcesses::SetUp();
  }
  static std::vector<std::string> As(uid_t user) {
    return {"setpriv", "--reuid=" + std::to_string(user), "--regid=" + std::to_string(user),
            "--groups=" + std::to_string(Turma), "--"};
  }
  // A history of a few records, made by root and handed to `owner`.
  fs::path HistoryIn(const fs::path& folder, uid_t owner, gid_t group, mode_t mode) {
    EXPECT_EQ(RunChild({folder.string(), "make", "5"}), 0);
    const fs::path file = folder / HistoryName;
    EXPECT_EQ(::chown(file.c_str(), owner, group), 0);
    EXPECT_EQ(::chmod(file.c_str(), mode), 0);
    return file;
  }
  static void Own(const fs::path& folder, uid_t owner, gid_t group, mode_t mode) {
    ASSERT_EQ(::chown(folder.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
  }
  static void ExpectOwner(const fs::path& file, uid_t owner, gid_t group, mode_t mode) {
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_EQ(info.st_mode & 07777, mode);
  }
  static std::vector<std::string> Append(const fs::path& folder, int tag) {
    return {folder.string(), "append", std::to_string(tag), "2"};
  }
};

// A teacher's folder holding one file per student: the student may write the file, not the folder.
TEST_F(ClassroomFolders, AStudentsOwnFileInATeachersReadOnlyFolderIsSaved) {
  const fs::path folder = Folder("professor");
  const fs::path file = HistoryIn(folder, Ana, Ana, 0644);
  Own(folder, Teacher, Teacher, 0755);
  EXPECT_EQ(RunChild(Append(folder, 1), As(Ana)), 0);
  EXPECT_EQ(RunChild(Append(folder, 2), As(Ana)), 0);
  ExpectOwner(file, Ana, Ana, 0644);
  EXPECT_EQ(Records(file).size(), 9u);
  EXPECT_EQ(Names(folder), std::vector<std::string>{HistoryName});
  // Someone else's file there stays refused, and untouched; so does a new file there.
  const std::string before = Slurp(file);
  for (const fs::path& where : {folder, Folder("vazia")}) {
    Own(where, Teacher, Teacher, 0755);
    Child bia(Append(where, 3), As(Bia));
    EXPECT_EQ(bia.Line(), "loaded");
    EXPECT_EQ(bia.Line(), "Cannot create file \"" + (where / HistoryName).string() + "\". Permission denied");
    EXPECT_EQ(bia.Wait(), 1);
  }
  EXPECT_EQ(Slurp(file), before);
  EXPECT_EQ(Names(base_ / "vazia"), std::vector<std::string>{});
}

// A shared sticky folder (like /tmp) holding a history of another account, writable by all.
TEST_F(ClassroomFolders, AHistoryOfAnotherAccountInAStickyFolderIsSavedByBoth) {
  const fs::path folder = Folder("sala");
  Own(folder, 0, 0, 01777);
  const fs::path file = HistoryIn(folder, Ana, Ana, 0666);
  EXPECT_EQ(RunChild(Append(folder, 1), As(Bia)), 0);
  EXPECT_EQ(RunChild(Append(folder, 2), As(Ana)), 0);
  EXPECT_EQ(RunChild(Append(folder, 3), As(Bia)), 0);
  ExpectOwner(file, Ana, Ana, 0666);
  EXPECT_EQ(Records(file).size(), 11u);
  EXPECT_EQ(Names(folder), std::vector<std::string>{HistoryName});
}

// A class's group folder without the setgid bit: a save by one member used to hand the file
// to that member, and every save of the first one failed from then on.
TEST_F(ClassroomFolders, AGroupFolderWithoutSetgidKeepsTheFilesOwnerAndGroupForEveryMember) {
  const fs::path folder = Folder("turma");
  Own(folder, 0, Turma, 0775);
  const fs::path file = HistoryIn(folder, Ana, Turma, 0664);
  for (int save = 1; save <= 4; ++save) EXPECT_EQ(RunChild(Append(folder, save), As(save % 2 ? Bia : Ana)), 0);
  ExpectOwner(file, Ana, Turma, 0664);
  EXPECT_EQ(Records(file).size(), 13u);
  EXPECT_EQ(Names(folder), std::vector<std::string>{HistoryName});
}

// Used to lock the class out: the first save in the class's setgid folder made the history
// 0644 under the usual umask, and no other member could save it.
TEST_F(ClassroomFolders, ANewHistoryInASetgidGroupFolderIsWritableByTheGroup) {
  const fs::path folder = Folder("turma");
  Own(folder, 0, Turma, 02775);
  const mode_t umask = ::umask(022);
  EXPECT_EQ(RunChild(Append(folder, 1), As(Ana)), 0);
  ::umask(umask);
  const fs::path file = folder / HistoryName;
  ExpectOwner(file, Ana, Turma, 0664);
  EXPECT_EQ(RunChild(Append(folder, 2), As(Bia)), 0);
  ExpectOwner(file, Ana, Turma, 0664);
  EXPECT_EQ(Records(file).size(), 4u);
}

// Used to be kept silently forever: a crashed save's temporary file of another user in a
// sticky folder, which no other user may remove.
TEST_F(ClassroomFolders, AnotherUsersLeftoverTemporaryFileIsNamedOnEverySave) {
  const fs::path folder = Folder("sala");
  Own(folder, 0, 0, 01777);
  HistoryIn(folder, Ana, Ana, 0666);
  const fs::path leftover = folder / ".Exercicio.xml.Ab3xYz.tmp";
  std::ofstream(leftover).put('<');
  ASSERT_EQ(::chown(leftover.c_str(), Ana, Ana), 0);
  for (int save = 1; save <= 2; ++save) {
    Child bia(Append(folder, save), As(Bia));
    EXPECT_EQ(bia.Line(), "loaded");
    const std::string said = bia.Line();
    EXPECT_NE(said.find("\"" + leftover.string() + "\""), std::string::npos) << said;
    EXPECT_EQ(bia.Line(), "");  // once
    EXPECT_EQ(bia.Wait(), 0);
  }
  EXPECT_TRUE(fs::exists(leftover));
  EXPECT_EQ(RunChild(Append(folder, 3), As(Ana)), 0);  // its owner's save removes it
  EXPECT_EQ(Names(folder), std::vector<std::string>{HistoryName});
}

}  // namespace
}  // namespace tecladim::history
