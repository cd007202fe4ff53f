#pragma once
#include <cstdint>

// The key vocabulary that the input guards, the windows and the key synthesis share:
// Windows virtual-key codes, which the key-down events carry on every system here, and the
// toolkit's shift state. Free of Qt, so the core and the Windows key file can use it.
namespace tecladim {

// Windows virtual-key codes of the keys the program presses, refuses or reports.
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
inline constexpr std::uint8_t F1 = 0x70;  // F1..F24 are 0x70..0x87
}  // namespace vk

// The toolkit's set of shift states: Shift is bit 0, Alt bit 1, Ctrl bit 2. The higher bits
// (mouse buttons and the like) may be set but only the lowest eight are ever tested.
struct ShiftState {
  std::uint16_t bits = 0;

  static constexpr unsigned ShiftBit = 0;
  static constexpr unsigned AltBit = 1;
  static constexpr unsigned CtrlBit = 2;

  static const ShiftState Shift;
  static const ShiftState Alt;
  static const ShiftState Ctrl;

  constexpr bool Has(unsigned bit) const { return bit < 8 && ((bits >> bit) & 1u) != 0; }
  friend constexpr ShiftState operator|(ShiftState a, ShiftState b) {
    return ShiftState{static_cast<std::uint16_t>(a.bits | b.bits)};
  }
  friend constexpr bool operator==(ShiftState, ShiftState) = default;
};
inline constexpr ShiftState ShiftState::Shift{1u << ShiftBit};
inline constexpr ShiftState ShiftState::Alt{1u << AltBit};
inline constexpr ShiftState ShiftState::Ctrl{1u << CtrlBit};

}  // namespace tecladim
