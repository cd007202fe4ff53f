#pragma once
#include <cstdint>
#include <memory>

#include "platform/key_events.h"

// Windows only, and free of Qt so it can be checked with a cross compiler.
namespace tecladim {

// MapVirtualKeyW with mapping type 0: the scan code of a virtual key on this keyboard.
std::uint8_t WindowsScanCode(std::uint8_t virtualKey);

// keybd_event: the events join the system input queue of the desktop.
std::unique_ptr<KeyInjector> MakeWindowsKeys();

}  // namespace tecladim
