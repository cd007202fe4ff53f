#include "platform/queued_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tecladim {
namespace {

struct QtKey {
  int key = Qt::Key_unknown;
  QString text;
  Qt::KeyboardModifiers keypad;
};

Qt::KeyboardModifier ModifierOf(std::uint8_t virtualKey) {
  switch (virtualKey) {
    case vk::Shift: return Qt::ShiftModifier;
    case vk::Control: return Qt::ControlModifier;
    case vk::Menu: return Qt::AltModifier;
    default: return Qt::NoModifier;
  }
}

// The Qt key and the text a key produces; letters and digits as on a plain keyboard, a
// letter with Ctrl giving its control character, the way a desktop reports them.
QtKey QtKeyOf(std::uint8_t virtualKey, std::uint32_t flags, Qt::KeyboardModifiers held) {
  const bool extended = (flags & KeyEventExtended) != 0;
  if (virtualKey >= vk::LetterA && virtualKey <= vk::LetterZ) {
    const int offset = virtualKey - vk::LetterA;
    QChar text;
    if (held & Qt::ControlModifier) {
      text = QChar(static_cast<char16_t>(offset + 1));
    } else if (held & Qt::ShiftModifier) {
      text = QChar(static_cast<char16_t>(u'A' + offset));
    } else {
      text = QChar(static_cast<char16_t>(u'a' + offset));
    }
    return {Qt::Key_A + offset, QString(text), {}};
  }
  if (virtualKey >= vk::Digit0 && virtualKey <= vk::Digit0 + 9) {
    const int offset = virtualKey - vk::Digit0;
    return {Qt::Key_0 + offset, QString(QChar(static_cast<char16_t>(u'0' + offset))), {}};
  }
  if (virtualKey >= vk::F1 && virtualKey < vk::F1 + 12) return {Qt::Key_F1 + (virtualKey - vk::F1), {}, {}};
  switch (virtualKey) {
    case vk::Return:
      // The extended Enter is the one of the numeric keypad.
      if (extended) return {Qt::Key_Enter, QStringLiteral("\r"), Qt::KeypadModifier};
      return {Qt::Key_Return, QStringLiteral("\r"), {}};
    case vk::Back: return {Qt::Key_Backspace, QStringLiteral("\b"), {}};
    case vk::Tab: return {Qt::Key_Tab, QStringLiteral("\t"), {}};
    case vk::Escape: return {Qt::Key_Escape, QString(QChar(0x1B)), {}};
    case vk::Space: return {Qt::Key_Space, QStringLiteral(" "), {}};
    case vk::Shift: return {Qt::Key_Shift, {}, {}};
    case vk::Control: return {Qt::Key_Control, {}, {}};
    case vk::Menu: return {Qt::Key_Alt, {}, {}};
    case vk::Prior: return {Qt::Key_PageUp, {}, {}};
    case vk::Next: return {Qt::Key_PageDown, {}, {}};
    case vk::End: return {Qt::Key_End, {}, {}};
    case vk::Home: return {Qt::Key_Home, {}, {}};
    case vk::Left: return {Qt::Key_Left, {}, {}};
    case vk::Up: return {Qt::Key_Up, {}, {}};
    case vk::Right: return {Qt::Key_Right, {}, {}};
    case vk::Down: return {Qt::Key_Down, {}, {}};
    case vk::Insert: return {Qt::Key_Insert, {}, {}};
    case vk::Delete: return {Qt::Key_Delete, {}, {}};
    default: return {};
  }
}

bool Inside(const QWidget* widget, const QWidget* window) {
  return widget == window || window->isAncestorOf(widget);
}

}  // namespace

QueuedKeyDelivery::QueuedKeyDelivery(QObject* parent) : QObject(parent) {}

void QueuedKeyDelivery::Send(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
  // Queued behind everything already waiting, and the target is chosen only when the
  // event is read: a window that opens in between gets the key, as with a real keyboard.
  QMetaObject::invokeMethod(
      this, [this, virtualKey, scanCode, flags] { Deliver(virtualKey, scanCode, flags); }, Qt::QueuedConnection);
}

void QueuedKeyDelivery::Type(const QString& text) {
  for (const QChar character : text) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QMetaObject::invokeMethod(
          this, [this, character, type] { DeliverCharacter(character, type); }, Qt::QueuedConnection);
    }
  }
}

QWidget* QueuedKeyDelivery::KeyboardTarget() {
  // An open popup menu takes the keyboard from every window, as it grabs it on a desktop.
  if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr) {
    QWidget* focus = popup->focusWidget();
    return focus != nullptr ? focus : popup;
  }
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = QApplication::activeWindow();
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr) {
    if (target == nullptr || !Inside(target, modal)) {
      QWidget* focus = modal->focusWidget();
      target = focus != nullptr ? focus : modal;
    }
  }
  return target;
}

void QueuedKeyDelivery::Deliver(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
  const bool release = (flags & KeyEventKeyUp) != 0;
  const Qt::KeyboardModifier modifier = ModifierOf(virtualKey);
  // A modifier's own press already carries it, its release no longer does.
  if (modifier != Qt::NoModifier) held_.setFlag(modifier, !release);
  QWidget* target = KeyboardTarget();
  if (target == nullptr) return;  // no window has the keyboard: the key goes nowhere
  const QtKey key = QtKeyOf(virtualKey, flags, held_);
  QKeyEvent event(release ? QEvent::KeyRelease : QEvent::KeyPress, key.key, held_ | key.keypad, scanCode, virtualKey,
                  0, key.text);
  QApplication::sendEvent(target, &event);
}

void QueuedKeyDelivery::DeliverCharacter(QChar character, QEvent::Type type) {
  QWidget* target = KeyboardTarget();
  if (target == nullptr) return;
  // Qt numbers the keys of Latin-1 characters by their capital letter ("ç" is Key_Ccedilla).
  int key = Qt::Key_unknown;
  if (character == u'\r') {
    key = Qt::Key_Return;
  } else if (const char16_t upper = character.toUpper().unicode(); upper >= 0x20 && upper <= 0xFF) {
    key = upper;
  }
  QKeyEvent event(type, key, held_, QString(character));
  QApplication::sendEvent(target, &event);
}

}  // namespace tecladim
