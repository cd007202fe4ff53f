#pragma once
#include <array>
#include <cstdint>

#include "platform/services.h"

namespace tecladim {

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

// Whether a key belongs to the extended block (its events carry KeyEventExtended).
enum class KeyKind { Normal, Extended };

// One entry of `shiftkeys`: the bit of a modifier in the shift state, and the virtual key
// that presses it.
struct ShiftKey {
  unsigned bit;
  std::uint8_t virtualKey;
};

// In the order the modifiers are pressed; they are released in the reverse order.
inline constexpr std::array<ShiftKey, 3> shiftkeys{{
    {ShiftState::CtrlBit, vk::Control},
    {ShiftState::ShiftBit, vk::Shift},
    {ShiftState::AltBit, vk::Menu},
}};

// Presses and releases `key` (a virtual-key code; its low byte is sent) with the modifiers
// of `shift` held around it: Ctrl, Shift, Alt down, the key down and up, then Alt, Shift,
// Ctrl up. Every event carries the key's scan code from MapVirtualKey. The events are only
// queued: they arrive after the calling handler has returned. The line advance is
// PostKeyEx32(services, vk::Return, {}, KeyKind::Normal).
void PostKeyEx32(PlatformServices& services, std::uint16_t key, ShiftState shift, KeyKind kind);

}  // namespace tecladim
