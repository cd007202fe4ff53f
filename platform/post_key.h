#pragma once
#include <array>
#include <cstdint>

#include "exercise/key_codes.h"
#include "platform/services.h"

namespace tecladim {

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
