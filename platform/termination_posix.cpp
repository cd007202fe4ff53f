#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/termination.h"

namespace tecladim::platform {
namespace {

constexpr int ExitCodeOfSignal = 128;  // what a shell reports for a program ended by a signal
constexpr int CaughtSignals[] = {SIGTERM, SIGHUP, SIGINT};

int pipeEnds[2] = {-1, -1};

// Only async-signal-safe calls here.
void OnSignal(int signal) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  ::signal(signal, SIG_DFL);  // the next one of its kind is not caught
  errno = saved;
}

bool MakePipe() {
  if (::pipe(pipeEnds) != 0) return false;
  for (const int fd : pipeEnds) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  return true;
}

}  // namespace

int CatchTerminationRequests() {
  if (pipeEnds[0] < 0 && !MakePipe()) return -1;
  for (const int signal : CaughtSignals) {
    struct sigaction now {}, before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
      continue;  // started with nohup or the like: whoever started it wants it to go on
    now.sa_handler = OnSignal;
    sigemptyset(&now.sa_mask);
    now.sa_flags = SA_RESTART;
    ::sigaction(signal, &now, nullptr);
  }
  return pipeEnds[0];
}

int TakeTerminationRequest(int fd) {
  unsigned char byte = 0;
  ssize_t got = 0;
  do {
    got = ::read(fd, &byte, 1);
  } while (got < 0 && errno == EINTR);
  return got == 1 ? ExitCodeOfSignal + byte : 0;
}

}  // namespace tecladim::platform
