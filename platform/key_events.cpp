#include "platform/key_events.h"

#include <array>

namespace tecladim {
namespace {

constexpr std::array<std::uint8_t, 256> MakeScanCodes() {
  std::array<std::uint8_t, 256> codes{};
  codes[vk::Back] = 0x0E;
  codes[vk::Tab] = 0x0F;
  codes[vk::Return] = 0x1C;
  codes[vk::Shift] = 0x2A;
  codes[vk::Control] = 0x1D;
  codes[vk::Menu] = 0x38;
  codes[vk::Escape] = 0x01;
  codes[vk::Space] = 0x39;
  codes[vk::Prior] = 0x49;
  codes[vk::Next] = 0x51;
  codes[vk::End] = 0x4F;
  codes[vk::Home] = 0x47;
  codes[vk::Left] = 0x4B;
  codes[vk::Up] = 0x48;
  codes[vk::Right] = 0x4D;
  codes[vk::Down] = 0x50;
  codes[vk::Insert] = 0x52;
  codes[vk::Delete] = 0x53;
  // The digit row runs 1..9 then 0.
  for (int d = 1; d <= 9; ++d) codes[vk::Digit0 + d] = static_cast<std::uint8_t>(0x01 + d);
  codes[vk::Digit0] = 0x0B;
  // Letters by their place on the three letter rows.
  constexpr const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  constexpr std::uint8_t rowStart[] = {0x10, 0x1E, 0x2C};
  for (int r = 0; r < 3; ++r) {
    for (int i = 0; rows[r][i] != '\0'; ++i) {
      codes[static_cast<unsigned char>(rows[r][i])] = static_cast<std::uint8_t>(rowStart[r] + i);
    }
  }
  for (int f = 0; f < 10; ++f) codes[vk::F1 + f] = static_cast<std::uint8_t>(0x3B + f);
  codes[vk::F1 + 10] = 0x57;
  codes[vk::F1 + 11] = 0x58;
  // The sided modifier keys share the codes of the plain ones, the right Shift apart.
  codes[0xA0] = 0x2A;
  codes[0xA1] = 0x36;
  codes[0xA2] = 0x1D;
  codes[0xA3] = 0x1D;
  codes[0xA4] = 0x38;
  codes[0xA5] = 0x38;
  return codes;
}

constexpr std::array<std::uint8_t, 256> ScanCodes = MakeScanCodes();

}  // namespace

std::uint8_t Set1ScanCode(std::uint8_t virtualKey) { return ScanCodes[virtualKey]; }

}  // namespace tecladim
