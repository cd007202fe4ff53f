#include "ui/typing_box.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "exercise/input_guard.h"
#include "exercise/key_codes.h"
#include "ui/qtext.h"

namespace tecladim {
namespace {

constexpr QChar ParagraphSeparator(0x2029);
constexpr char16_t EscapeCode = 27;

// Keys the typing box still handles itself: they move the caret or the selection and
// never change the text.
bool IsCaretMovement(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

}  // namespace

int VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::F1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab: case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return: case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Shift: return vk::Shift;
    case Qt::Key_Control: return vk::Control;
    case Qt::Key_Alt: return vk::Menu;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    default: return 0;
  }
}

QString CharactersOf(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers();
  const bool ctrl = mods.testFlag(Qt::ControlModifier);
  const bool alt = mods.testFlag(Qt::AltModifier);
  const int key = event.key();
  switch (key) {
    case Qt::Key_Return: case Qt::Key_Enter: return QString(QChar(CarriageReturn));
    case Qt::Key_Backspace: return QString(QChar(BackspaceCode));
    case Qt::Key_Escape: return QString(QChar(EscapeCode));
    case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Delete: return {};
    default: break;
  }
  if (alt && !ctrl) return {};  // a menu chord, not a character
  if (ctrl && !alt) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return QString(QChar(char16_t(key - Qt::Key_A + 1)));
    return {};
  }
  return event.text();
}

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
  setUndoRedoEnabled(false);
  setAcceptDrops(false);
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

std::u16string TextBox::Text() const {
  QString text = document()->toRawText();
  text.replace(ParagraphSeparator, QStringLiteral("\r\n"));
  return ToU16(text);
}

void TextBox::SetText(std::u16string_view text) {
  QString plain = ToQString(text);
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  setPlainText(plain);
}

int TextBox::CaretOffset() const {
  const int start = textCursor().selectionStart();
  return start + document()->findBlock(start).blockNumber();
}

int TextBox::LineCount() const {
  const int blocks = document()->blockCount();
  return document()->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

void TextBox::MoveCaretToEnd() { moveCursor(QTextCursor::End); }

void TextBox::focusInEvent(QFocusEvent* event) {
  QPlainTextEdit::focusInEvent(event);
  if (onEnter) onEnter();
}

TypingBox::TypingBox(QWidget* parent) : TextBox(parent) {}

void TypingBox::Type(QChar character) {
  // Typing goes on at the end of the text whatever a double-click, a drag or Shift with an
  // arrow has selected: the selection is dropped before the key is judged, so no key ever
  // replaces typed text.
  MoveCaretToEnd();
  char16_t key = character.unicode();
  if (onKeyPress) onKeyPress(key);
  if (key == 0 || isReadOnly()) return;
  QTextCursor cursor = textCursor();
  cursor.movePosition(QTextCursor::End);
  if (key == CarriageReturn) {
    cursor.insertBlock();
  } else if (key >= u' ') {
    cursor.insertText(QString(QChar(key)));
  } else {
    return;  // a control character that passed inserts nothing: the box does no editing
  }
  setTextCursor(cursor);
  ensureCursorVisible();
}

void TypingBox::TypeLater(QChar character) {
  QMetaObject::invokeMethod(this, [this, character] { Type(character); }, Qt::QueuedConnection);
}

void TypingBox::keyPressEvent(QKeyEvent* event) {
  event->accept();
  int key = VirtualKeyOf(*event);
  if (onKeyDown) onKeyDown(key, event->modifiers());
  if (key != 0 && IsCaretMovement(*event)) QPlainTextEdit::keyPressEvent(event);
  const QString characters = CharactersOf(*event);
  for (QChar c : characters) Type(c);
}

void TypingBox::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  if (event->isAutoRepeat()) return;  // an arrow held down keeps moving the caret
  if (onKeyUp) onKeyUp();
}

void TypingBox::inputMethodEvent(QInputMethodEvent* event) {
  // A dead key's accent arrives here as committed text; the dead key itself (the
  // preedit) is never shown, so nothing enters the box without being judged.
  event->accept();
  const QString committed = event->commitString();
  for (QChar c : committed) Type(c);
}

void TypingBox::mousePressEvent(QMouseEvent* event) {
  // A press inside a selection would start dragging the text out of the box.
  QTextCursor cursor = textCursor();
  if (cursor.hasSelection()) {
    cursor.clearSelection();
    setTextCursor(cursor);
  }
  pressedInside_ = event->button() == Qt::LeftButton;
  if (event->button() == Qt::MiddleButton) {
    event->accept();
    return;
  }
  QPlainTextEdit::mousePressEvent(event);
}

void TypingBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    event->accept();
    return;
  }
  QPlainTextEdit::mouseReleaseEvent(event);
  const bool click = pressedInside_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressedInside_ = false;
  if (click && onClick) onClick();
}

void TypingBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseDoubleClickEvent(event);
  pressedInside_ = false;  // the release that ends a double-click is no click
}

void TypingBox::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  if (contextMenu_) contextMenu_->exec(event->globalPos());
}

bool TypingBox::canInsertFromMimeData(const QMimeData*) const { return false; }

void TypingBox::insertFromMimeData(const QMimeData*) {}

}  // namespace tecladim
