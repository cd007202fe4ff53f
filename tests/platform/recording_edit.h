#pragma once
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <functional>
#include <vector>

namespace tecladim {

struct SeenKey {
  QEvent::Type type;
  int key;
  QString text;
  Qt::KeyboardModifiers modifiers;
  quint32 scanCode;
  quint32 virtualKey;
};

// A typing box that notes every key its own handlers receive, and can run a step inside
// the handling of a key press before the box inserts the character (as the judge does).
class RecordingEdit final : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

  std::vector<SeenKey> seen;
  std::function<void(QKeyEvent*)> beforeInsert;

  int Presses(int key) const {
    int n = 0;
    for (const SeenKey& s : seen) n += s.type == QEvent::KeyPress && s.key == key ? 1 : 0;
    return n;
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    Note(e);
    if (beforeInsert) beforeInsert(e);
    QPlainTextEdit::keyPressEvent(e);
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    Note(e);
    QPlainTextEdit::keyReleaseEvent(e);
  }

 private:
  void Note(QKeyEvent* e) {
    seen.push_back({e->type(), e->key(), e->text(), e->modifiers(), e->nativeScanCode(), e->nativeVirtualKey()});
  }
};

}  // namespace tecladim
