#pragma once
#include <string_view>

// Whether a lock taken on a file reaches the other machines that may write it. A file
// system can grant every lock and still keep it to one mount: a user-space file system
// (sshfs, bindfs: the kernel holds its locks per mount), NFS mounted without its lock
// manager, SMB mounted with byte-range locks off. Two programs on two machines then both
// "hold" the lock, and a save must check its work by reading it back.
namespace tecladim::platform {

// From a mount's file system type and its options (both as /proc/self/mountinfo gives
// them, the per-mount and the file system's own options joined by a comma).
bool MountKeepsLocksLocal(std::string_view fileSystemType, std::string_view options);

// For the mount that holds the open file `fd`; false where the system cannot tell.
bool LocksStayOnThisMount(int fd);

}  // namespace tecladim::platform
