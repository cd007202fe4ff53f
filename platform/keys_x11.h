#pragma once
#include <memory>

#include "platform/key_events.h"

struct _XDisplay;  // Xlib's Display, kept out of this header: its macros clash with Qt's names

namespace tecladim {

// Key synthesis on X11: fake key events through the XTEST extension, put into the X
// server's input queue on the given connection. They go to the window that has the
// keyboard when the server and the toolkit read them, so modal windows keep their rules.
// nullptr when the server has no XTEST extension.
std::unique_ptr<KeyInjector> OpenXTestKeys(_XDisplay* display);

}  // namespace tecladim
