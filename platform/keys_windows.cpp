#include "platform/keys_windows.h"

#include <windows.h>

namespace tecladim {
namespace {

static_assert(KeyEventExtended == KEYEVENTF_EXTENDEDKEY);
static_assert(KeyEventKeyUp == KEYEVENTF_KEYUP);

class WindowsKeys final : public KeyInjector {
 public:
  void Send(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override {
    keybd_event(virtualKey, scanCode, static_cast<DWORD>(flags), 0);
  }
};

}  // namespace

std::uint8_t WindowsScanCode(std::uint8_t virtualKey) {
  return static_cast<std::uint8_t>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
}

std::unique_ptr<KeyInjector> MakeWindowsKeys() { return std::make_unique<WindowsKeys>(); }

}  // namespace tecladim
