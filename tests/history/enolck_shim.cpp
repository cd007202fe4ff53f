// Loaded with LD_PRELOAD into a program of ours: every lock it asks for is refused with
// ENOLCK, as on a file system without locks (some network and user-space file systems).
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdarg>

extern "C" {

int flock(int, int) {
  errno = ENOLCK;
  return -1;
}

int fcntl(int fd, int command, ...) {
  va_list args;
  va_start(args, command);
  void* argument = va_arg(args, void*);
  va_end(args);
  switch (command) {
    case F_SETLK:
    case F_SETLKW:
    case F_GETLK:
#ifdef F_OFD_SETLK
    case F_OFD_SETLK:
    case F_OFD_SETLKW:
    case F_OFD_GETLK:
#endif
      errno = ENOLCK;
      return -1;
    default: {
      using Fcntl = int (*)(int, int, ...);
      static const auto real = reinterpret_cast<Fcntl>(::dlsym(RTLD_NEXT, "fcntl"));
      return real(fd, command, argument);
    }
  }
}

}  // extern "C"
