#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/termination.h"

namespace tecladim::platform {
namespace {

// The system gives a console's close about five seconds before it ends the process.
constexpr DWORD SaveWaitLimitMs = 4500;

TerminationCallback onRequest = nullptr;
HANDLE handled = nullptr;

// Runs on a thread the system makes for it.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      break;
    default:
      return FALSE;
  }
  onRequest(static_cast<int>(STATUS_CONTROL_C_EXIT));
  ::WaitForSingleObject(handled, SaveWaitLimitMs);
  return TRUE;
}

}  // namespace

bool CatchTerminationRequests(TerminationCallback callback) {
  if (handled == nullptr) handled = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (handled == nullptr) return false;
  onRequest = callback;
  return ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
}

void TerminationRequestHandled() {
  if (handled != nullptr) ::SetEvent(handled);
}

}  // namespace tecladim::platform
