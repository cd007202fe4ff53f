#include "platform/lock_reach.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#if defined(__linux__)
#include <sys/sysmacros.h>
#elif defined(__APPLE__)
#include <sys/mount.h>
#include <sys/param.h>
#endif

namespace tecladim::platform {
namespace {

bool HasOption(std::string_view options, std::string_view wanted) {
  while (!options.empty()) {
    const std::size_t comma = options.find(',');
    if (options.substr(0, comma) == wanted) return true;
    if (comma == std::string_view::npos) break;
    options.remove_prefix(comma + 1);
  }
  return false;
}

}  // namespace

bool MountKeepsLocksLocal(std::string_view type, std::string_view options) {
  // A disk behind FUSE ("fuseblk", an NTFS stick) is one machine's: its locks reach every writer.
  if (type == "fuse" || type.starts_with("fuse.") || type.starts_with("macfuse") || type.starts_with("osxfuse"))
    return true;
  if (type == "nfs" || type == "nfs4")
    return HasOption(options, "nolock") || HasOption(options, "local_lock=flock") ||
           HasOption(options, "local_lock=all");
  if (type == "cifs" || type == "smb3") return HasOption(options, "nobrl");
  return false;
}

#if defined(__linux__)
// Each line of mountinfo: "id parent major:minor root point options [tags] - type source super-options".
bool LocksStayOnThisMount(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  const std::string device = std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev));
  std::ifstream mounts("/proc/self/mountinfo");
  for (std::string line; std::getline(mounts, line);) {
    std::istringstream fields(line);
    std::string id, parent, numbers, root, point, options;
    if (!(fields >> id >> parent >> numbers >> root >> point >> options) || numbers != device) continue;
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    std::istringstream tail(line.substr(dash + 3));
    std::string type, source, superOptions;
    tail >> type >> source >> superOptions;
    if (MountKeepsLocksLocal(type, options + "," + superOptions)) return true;
  }
  return false;
}
#elif defined(__APPLE__)
bool LocksStayOnThisMount(int fd) {
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return false;
  // macOS gives a mount's options as flags, none saying that the lock manager is off: only
  // the user-space file systems are told apart.
  return MountKeepsLocksLocal(info.f_fstypename, "");
}
#else
bool LocksStayOnThisMount(int) { return false; }
#endif

}  // namespace tecladim::platform
