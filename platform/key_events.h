#pragma once
#include <cstdint>
#include <memory>

// The vocabulary of synthesized key events, free of Qt so the Windows key file can use it.
namespace tecladim {

// Flags of a synthesized key event, as keybd_event takes them.
inline constexpr std::uint32_t KeyEventExtended = 1;
inline constexpr std::uint32_t KeyEventKeyUp = 2;

// Windows virtual-key codes of the keys the program presses or refuses.
namespace vk {
inline constexpr std::uint8_t Back = 0x08;
inline constexpr std::uint8_t Tab = 0x09;
inline constexpr std::uint8_t Return = 0x0D;
inline constexpr std::uint8_t Shift = 0x10;
inline constexpr std::uint8_t Control = 0x11;
inline constexpr std::uint8_t Menu = 0x12;  // the Alt key
inline constexpr std::uint8_t Escape = 0x1B;
inline constexpr std::uint8_t Space = 0x20;
inline constexpr std::uint8_t Prior = 0x21;
inline constexpr std::uint8_t Next = 0x22;
inline constexpr std::uint8_t End = 0x23;
inline constexpr std::uint8_t Home = 0x24;
inline constexpr std::uint8_t Left = 0x25;
inline constexpr std::uint8_t Up = 0x26;
inline constexpr std::uint8_t Right = 0x27;
inline constexpr std::uint8_t Down = 0x28;
inline constexpr std::uint8_t Insert = 0x2D;
inline constexpr std::uint8_t Delete = 0x2E;
inline constexpr std::uint8_t Digit0 = 0x30;  // '0'..'9' are 0x30..0x39
inline constexpr std::uint8_t LetterA = 0x41;  // 'A'..'Z' are 0x41..0x5A
inline constexpr std::uint8_t LetterV = 0x56;
inline constexpr std::uint8_t LetterZ = 0x5A;
inline constexpr std::uint8_t F1 = 0x70;  // F1..F12 are 0x70..0x7B
}  // namespace vk

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
