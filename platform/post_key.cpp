#include "platform/post_key.h"

namespace tecladim {
namespace {

void Send(PlatformServices& services, std::uint8_t virtualKey, std::uint32_t flags) {
  services.SendKeyEvent(virtualKey, services.MapVirtualKey(virtualKey), flags);
}

}  // namespace

void PostKeyEx32(PlatformServices& services, std::uint16_t key, ShiftState shift, KeyKind kind) {
  for (const ShiftKey& modifier : shiftkeys) {
    if (shift.Has(modifier.bit)) Send(services, modifier.virtualKey, 0);
  }
  const auto virtualKey = static_cast<std::uint8_t>(key & 0xFFu);
  std::uint32_t flags = kind == KeyKind::Extended ? KeyEventExtended : 0;
  Send(services, virtualKey, flags);
  flags |= KeyEventKeyUp;
  Send(services, virtualKey, flags);
  for (auto it = shiftkeys.rbegin(); it != shiftkeys.rend(); ++it) {
    if (shift.Has(it->bit)) Send(services, it->virtualKey, KeyEventKeyUp);
  }
}

}  // namespace tecladim
