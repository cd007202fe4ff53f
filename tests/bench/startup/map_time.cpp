// Start-up time of a window program, as the student sees it: from just before the process is
// started to the moment its first top-level window is mapped on the X server. Also reports the
// resident memory once the program has sat idle for a while.
//
// Usage: startup_map_time [--cwd DIR] [--idle-ms N] [--timeout-ms N] -- PROGRAM [ARGS...]
// Prints one line: "map_ms=<float> rss_kb=<int>" (rss_kb is 0 when --idle-ms is 0).
// The X server is the one named by DISPLAY; nothing else should map windows on it meanwhile.

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  std::string cwd;
  int idleMs = 0;
  int timeoutMs = 60000;
  std::vector<char*> command;  // null-terminated for execvp
};

bool ParseOptions(int argc, char** argv, Options& options) {
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) return false;
    if (arg == "--cwd") {
      options.cwd = argv[++i];
    } else if (arg == "--idle-ms") {
      options.idleMs = std::atoi(argv[++i]);
    } else if (arg == "--timeout-ms") {
      options.timeoutMs = std::atoi(argv[++i]);
    } else {
      return false;
    }
  }
  for (; i < argc; ++i) options.command.push_back(argv[i]);
  if (options.command.empty()) return false;
  options.command.push_back(nullptr);
  return true;
}

// VmRSS of a live process in kB, 0 when it cannot be read.
long ResidentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// Blocks on the X connection until a child of the root window is mapped or the deadline
// passes; false on timeout.
bool WaitForTopLevelMap(Display* display, Window root, Clock::time_point deadline) {
  const int fd = ConnectionNumber(display);
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect) return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(left)) < 0 && errno != EINTR) return false;
  }
}

void Stop(pid_t child) {
  kill(child, SIGTERM);
  int status = 0;
  for (int i = 0; i < 200; ++i) {
    if (waitpid(child, &status, WNOHANG) == child) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--cwd DIR] [--idle-ms N] [--timeout-ms N] -- PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open the X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const auto start = Clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 2;
  }
  if (child == 0) {
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
    execvp(options.command[0], options.command.data());
    _exit(127);
  }

  if (!WaitForTopLevelMap(display, root, start + std::chrono::milliseconds(options.timeoutMs))) {
    std::fprintf(stderr, "no window was mapped within %d ms\n", options.timeoutMs);
    Stop(child);
    return 1;
  }
  const double mapMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

  long rss = 0;
  if (options.idleMs > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(options.idleMs));
    rss = ResidentKilobytes(child);
  }
  Stop(child);
  XCloseDisplay(display);
  std::printf("map_ms=%.2f rss_kb=%ld\n", mapMs, rss);
  return 0;
}
