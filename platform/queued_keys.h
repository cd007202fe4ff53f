#pragma once
#include <QEvent>
#include <QObject>
#include <QString>
#include <Qt>
#include <cstdint>

#include "platform/key_events.h"

class QWidget;

namespace tecladim {

// Key synthesis where the desktop offers no input queue of its own to inject into (Qt's
// offscreen platform, Wayland, macOS for now). Each event is posted to Qt's own event
// queue and, when its turn comes, turned into a QKeyEvent sent to the widget that has the
// keyboard at that moment, so it runs the widget's event filters and key handlers like a
// real key. While a modal window is open, a key never reaches a window it blocks: it goes
// to the modal window instead.
class QueuedKeyDelivery final : public QObject, public KeyInjector {
 public:
  explicit QueuedKeyDelivery(QObject* parent = nullptr);

  void Send(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;

  // Queues a press and a release for every character of `text`, as a student typing it
  // would, behind whatever is already queued ("\r" is the Enter key). For window tests
  // that need keys waiting in the queue, like a fast student's, when a line advance is sent.
  void Type(const QString& text);

  // The widget a key read now goes to, or nullptr when no window has the keyboard.
  static QWidget* KeyboardTarget();

 private:
  void Deliver(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags);
  void DeliverCharacter(QChar character, QEvent::Type type);

  // The modifiers pressed through this queue and not yet released.
  Qt::KeyboardModifiers held_;
};

}  // namespace tecladim
