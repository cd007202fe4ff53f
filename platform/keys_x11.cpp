#include "platform/keys_x11.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace tecladim {
namespace {

// The key symbol that a Windows virtual key presses; NoSymbol for keys we do not press.
KeySym KeySymOf(std::uint8_t virtualKey, std::uint32_t flags) {
  const bool extended = (flags & KeyEventExtended) != 0;
  if (virtualKey >= vk::LetterA && virtualKey <= vk::LetterZ) return XK_a + (virtualKey - vk::LetterA);
  if (virtualKey >= vk::Digit0 && virtualKey <= vk::Digit0 + 9) return XK_0 + (virtualKey - vk::Digit0);
  if (virtualKey >= vk::F1 && virtualKey < vk::F1 + 12) return XK_F1 + (virtualKey - vk::F1);
  switch (virtualKey) {
    case vk::Return: return extended ? XK_KP_Enter : XK_Return;
    case vk::Back: return XK_BackSpace;
    case vk::Tab: return XK_Tab;
    case vk::Escape: return XK_Escape;
    case vk::Space: return XK_space;
    case vk::Shift: return XK_Shift_L;
    case vk::Control: return extended ? XK_Control_R : XK_Control_L;
    case vk::Menu: return extended ? XK_Alt_R : XK_Alt_L;
    case vk::Prior: return XK_Prior;
    case vk::Next: return XK_Next;
    case vk::End: return XK_End;
    case vk::Home: return XK_Home;
    case vk::Left: return XK_Left;
    case vk::Up: return XK_Up;
    case vk::Right: return XK_Right;
    case vk::Down: return XK_Down;
    case vk::Insert: return XK_Insert;
    case vk::Delete: return XK_Delete;
    default: return NoSymbol;
  }
}

class XTestKeys final : public KeyInjector {
 public:
  explicit XTestKeys(Display* display) : display_(display) {}

  void Send(std::uint8_t virtualKey, std::uint8_t /*scanCode*/, std::uint32_t flags) override {
    // The X server knows keys by its own key codes, from the keyboard mapping in force.
    const KeySym symbol = KeySymOf(virtualKey, flags);
    if (symbol == NoSymbol) return;
    const KeyCode code = XKeysymToKeycode(display_, symbol);
    if (code == 0) return;  // not on this keyboard: like any failed injection, unnoticed
    const Bool press = (flags & KeyEventKeyUp) != 0 ? False : True;
    XTestFakeKeyEvent(display_, code, press, CurrentTime);
    XFlush(display_);
  }

 private:
  Display* display_;
};

}  // namespace

std::unique_ptr<KeyInjector> OpenXTestKeys(_XDisplay* display) {
  if (display == nullptr) return nullptr;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) return nullptr;
  return std::make_unique<XTestKeys>(display);
}

}  // namespace tecladim
