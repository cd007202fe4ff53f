#pragma once
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

// Looks at `name` (last written with stamp `last`) until it stays unchanged two looks in a
// row. At each change, `mergeBack(file)` reads the locked file and gives the bytes to write
// back, or nothing when every row of ours is there. A `HalfRead` error (another save's write
// in place read half way) or a HistoryError only means: look again. Throws CannotCreateFile
// when the file never settles.
template <typename HalfRead, typename MergeBack>
void LookAgainUntilSettled(const std::filesystem::path& name, platform::FileStamp last, MergeBack mergeBack) {
  constexpr int MaxLooks = 16;
  constexpr int MaxRewrites = 5;
  constexpr int QuietLooks = 2;
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> pauseMs(10, 60);
  int rewrites = 0;
  int quiet = 0;
  for (int look = 0; look < MaxLooks && quiet < QuietLooks; ++look) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs(random)));
    try {
      HistoryFile file(name, HistoryFile::Use::Save);
      if (file.Stamp() == last) {
        ++quiet;
        continue;
      }
      quiet = 0;
      const std::optional<std::string> bytes = mergeBack(file);
      if (bytes) {
        if (rewrites++ == MaxRewrites) break;
        file.Replace(*bytes);
      }
      last = file.Stamp();
    } catch (const HalfRead&) {
      quiet = 0;
    } catch (const HistoryError&) {
      quiet = 0;
    }
  }
  if (quiet < QuietLooks)
    throw HistoryError(HistoryErrorKind::CannotCreateFile,
                       "Cannot create file \"" + FullPathText(name) + "\". " +
                           std::make_error_code(std::errc::resource_unavailable_try_again).message());
}

}  // namespace tecladim::history
