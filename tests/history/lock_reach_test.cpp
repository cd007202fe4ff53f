#include <gtest/gtest.h>

#include "platform/lock_reach.h"

namespace tecladim::platform {
namespace {

// Mounts as /proc/self/mountinfo names them: whose locks a save may trust.
TEST(LockReach, MountsWhoseLocksStayOnThemAreToldApart) {
  struct Row {
    std::string_view type, options;
    bool local;
  };
  const Row rows[] = {
      {"ext4", "rw,relatime", false},
      {"tmpfs", "rw,nosuid", false},
      {"fuse.sshfs", "rw,nosuid,nodev,user_id=0", true},
      {"fuse", "rw,allow_other", true},
      {"fuseblk", "rw,user_id=0", false},  // a local disk behind FUSE
      {"nfs4", "rw,relatime,vers=4.2,local_lock=none,addr=10.0.0.2", false},
      {"nfs", "rw,vers=3,nolock,addr=10.0.0.2", true},
      {"nfs", "rw,vers=3,nolockd", false},  // an option is a whole word
      {"nfs4", "rw,vers=4.1,local_lock=all", true},
      {"nfs", "rw,local_lock=flock", true},
      {"nfs", "rw,local_lock=posix", false},  // flock, which the save takes, still reaches the server
      {"cifs", "rw,vers=3.0,cache=strict", false},
      {"cifs", "rw,vers=3.0,nobrl", true},
      {"smb3", "nobrl", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.type) + " " + std::string(r.options));
    EXPECT_EQ(MountKeepsLocksLocal(r.type, r.options), r.local);
  }
}

}  // namespace
}  // namespace tecladim::platform
