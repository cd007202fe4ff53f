#pragma once
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <thread>

#include "history/history_file.h"
#include "platform/durable_file.h"

// Where locks do not reach every writer, two saves may read the same file and each write it
// with only its own new rows: the one written last wins. Looking again a little later, at
// random moments, finds a save that came between; what it lost is written back, until the
// file stays as it is.
namespace tecladim::history {

// How long the file must stay unchanged before our rows are safe in it. Another save that
// read the file before ours was written replaces it within about the time a save of this
// file takes here (its read, merge and write), which a loaded machine stretches: so several
// times our own save's, never less than a fixed floor, capped so a close never hangs.
inline std::chrono::steady_clock::duration QuietPeriodAfter(std::chrono::steady_clock::duration saveTook) {
  using namespace std::chrono_literals;
  return std::clamp<std::chrono::steady_clock::duration>(4 * saveTook, 400ms, 8s);
}

// Looks at `name` (last written with stamp `last`, by a save that took `saveTook`) until it
// stays unchanged for QuietPeriodAfter(saveTook). At each change, `mergeBack(file)` reads
// the locked file and gives the bytes to write back, or nothing when every row of ours is
// there. A `HalfRead` error (another save's write in place read half way) or a
// HistoryError only means: look again. Throws CannotCreateFile when the file never settles.
template <typename HalfRead, typename MergeBack>
void LookAgainUntilSettled(const std::filesystem::path& name, platform::FileStamp last,
                           std::chrono::steady_clock::duration saveTook, MergeBack mergeBack) {
  using Clock = std::chrono::steady_clock;
  constexpr int MaxRewrites = 5;
  const Clock::duration quietFor = QuietPeriodAfter(saveTook);
  // Other programs' saves each start the quiet period again; a class of them settles well
  // within this.
  const Clock::time_point giveUp = Clock::now() + 12 * quietFor;
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> pauseMs(10, 60);
  int rewrites = 0;
  Clock::time_point quietSince = Clock::now();
  bool settled = false;
  while (Clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs(random)));
    try {
      HistoryFile file(name, HistoryFile::Use::Save);
      if (file.Stamp() == last) {
        if (Clock::now() - quietSince >= quietFor) {
          settled = true;
          break;
        }
        continue;
      }
      const std::optional<std::string> bytes = mergeBack(file);
      if (bytes) {
        if (rewrites++ == MaxRewrites) break;
        file.Replace(*bytes);
      }
      last = file.Stamp();
    } catch (const HalfRead&) {
    } catch (const HistoryError&) {
    }
    quietSince = Clock::now();
  }
  if (!settled)
    throw HistoryError(HistoryErrorKind::CannotCreateFile,
                       "Cannot create file \"" + FullPathText(name) + "\". " +
                           std::make_error_code(std::errc::resource_unavailable_try_again).message());
}

// Where locks do not reach every writer, a save elsewhere may replace the file while we
// read it, and the read comes out torn (user-space mounts read by name, not by handle).
// `read` (which opens, locks and reads the file itself) is tried again a few times when it
// throws `HalfRead`; where locks work, or when it stays torn, the error stands.
template <typename HalfRead, typename Read>
void ReadAgainIfTorn(const std::filesystem::path& name, Read read) {
  constexpr int Attempts = 8;
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> pauseMs(5, 40);
  for (int attempt = 1;; ++attempt) {
    try {
      read();
      return;
    } catch (const HalfRead&) {
      if (attempt == Attempts || platform::LocksWorkFor(name)) throw;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs(random)));
  }
}

}  // namespace tecladim::history
