#include "prova/exam_typing_box.h"

#include <QKeyEvent>

#include "exercise/input_guard.h"
#include "exercise/key_codes.h"
#include "platform/shift_state.h"

namespace tecladim::prova {
namespace {

// The virtual-key code of the two keys the paste guard looks at; 0 for any other.
std::uint16_t PasteKeyCode(int qtKey) {
  if (qtKey == Qt::Key_V) return vk::LetterV;
  if (qtKey == Qt::Key_Insert) return vk::Insert;
  return 0;
}

}  // namespace

ExamTypingBox::ExamTypingBox(QWidget* parent) : QPlainTextEdit(parent) {
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  setTabChangesFocus(false);
  setUndoRedoEnabled(false);
}

void ExamTypingBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste) ||
      PasteKeyVerdict(PasteKeyCode(event->key()), ShiftStateOf(event->modifiers())) == KeyDownVerdict::Refuse) {
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

bool ExamTypingBox::canInsertFromMimeData(const QMimeData*) const { return false; }

void ExamTypingBox::insertFromMimeData(const QMimeData*) {}

}  // namespace tecladim::prova
