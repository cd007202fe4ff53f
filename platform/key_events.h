#pragma once
#include <cstdint>
#include <memory>

#include "exercise/key_codes.h"  // the vk:: codes

// The vocabulary of synthesized key events, free of Qt so the Windows key file can use it.
namespace tecladim {

// Flags of a synthesized key event, as keybd_event takes them.
inline constexpr std::uint32_t KeyEventExtended = 1;
inline constexpr std::uint32_t KeyEventKeyUp = 2;

// The PC keyboard's set-1 scan code of a virtual key, what MapVirtualKeyW answers on a
// standard keyboard; 0 for a key without one. Used wherever Windows itself cannot be asked,
// so the injected events carry the same codes on every system.
std::uint8_t Set1ScanCode(std::uint8_t virtualKey);

// One way of putting a key event into the input stream of the desktop. The event must
// reach the window that has the keyboard when it is read, never within the caller's handler.
class KeyInjector {
 public:
  virtual ~KeyInjector() = default;
  virtual void Send(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) = 0;
};

}  // namespace tecladim
