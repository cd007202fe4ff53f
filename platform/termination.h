#pragma once

// Requests from outside to end the program: SIGTERM (a logout ending what is left of a
// session), SIGHUP (its terminal closed) and SIGINT (Ctrl+C) on POSIX systems; Ctrl+C,
// Ctrl+Break and the closing of the console on Windows, whose logoff and shutdown reach the
// windows as session-end messages instead. The handlers only pass the request on: they run
// where no Qt call is allowed (a signal handler, the console's own thread).
// TerminationNotifier (termination_notifier.h) brings the request to the event loop.
namespace tecladim::platform {

#ifdef _WIN32
using TerminationCallback = void (*)(int exitCode);
// From now on `callback` is called, on the console's thread, for each request; the system
// ends the process soon after the handler returns, so the handler then waits (a bounded
// time) for TerminationRequestHandled.
bool CatchTerminationRequests(TerminationCallback callback);
void TerminationRequestHandled();
#else
// From now on each request writes a byte into a pipe; returns the pipe's read end (-1 when
// no pipe could be made). A second signal of the same kind ends the program at once, should
// the first one's save hang.
int CatchTerminationRequests();
// The exit code of the request waiting in the pipe (128 + the signal's number), 0 if none.
int TakeTerminationRequest(int fd);
#endif

}  // namespace tecladim::platform
