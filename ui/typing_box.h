#pragma once
#include <QPlainTextEdit>
#include <functional>
#include <string>

class QMenu;

namespace tecladim {

// Character codes the typing box hands to its key-press handler where a key has no text.
inline constexpr char16_t CarriageReturn = 13;
inline constexpr char16_t BackspaceCode = 8;

// The multi-line boxes of the main window. Qt keeps a line break as one character; the
// window's rules count it as CR LF, two characters, like the edit boxes of the system the
// program follows. Offsets and texts crossing this class's interface use that unit.
class TextBox : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TextBox(QWidget* parent);

  // The whole text, lines separated by CR LF.
  std::u16string Text() const;
  void SetText(std::u16string_view text);  // CR LF, CR or LF each start a new line
  // The caret offset (the selection start), a line break counting two.
  int CaretOffset() const;
  // Lines of the text; an empty last line is not counted.
  int LineCount() const;
  // Caret after the last character, nothing selected.
  void MoveCaretToEnd();
  // Starts the text `pixels` further right, leaving the box where it is.
  void IndentText(int pixels) { setViewportMargins(pixels, 0, 0, 0); }

  std::function<void()> onEnter;  // the box receives the keyboard focus

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

// The typing box. Its text changes only through characters its key-press handler lets
// through and the line breaks of the line advance: every character, dead-key accents and
// other input-method text included, goes to the handler first; the editor's own editing
// (Backspace, Delete, undo, paste, drag and drop, middle-click) never runs. A character
// always goes to the end of the text: the caret moves there, dropping any selection,
// before the handler sees it.
class TypingBox : public TextBox {
  Q_OBJECT
 public:
  explicit TypingBox(QWidget* parent);

  // Key-down with its virtual-key code; setting the code to 0 stops the box's own
  // handling of the key (the caret movement), not the character that follows it.
  std::function<void(int& key, Qt::KeyboardModifiers modifiers)> onKeyDown;
  // Every character before it is inserted; setting it to 0 cancels it.
  std::function<void(char16_t& key)> onKeyPress;
  std::function<void()> onKeyUp;   // release of any key, modifiers included
  std::function<void()> onClick;   // left button released where it was pressed

  void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

  // A character as if its key came in behind the events already waiting, through the
  // key-press handler like any other: the line advance that a flash swallowed, put back
  // without the system's input queue, which would hand it to whichever window has the
  // keyboard at that moment.
  void TypeLater(QChar character);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void Type(QChar character);
  QMenu* contextMenu_ = nullptr;
  bool pressedInside_ = false;
};

// The key's virtual-key code as the key-down handler sees it (0 for a key without one).
int VirtualKeyOf(const QKeyEvent& event);
// The characters a key press produces, as the character events of the key-press handler:
// Enter as CR, Backspace as 8, Ctrl with a letter as its control code (Ctrl+V is 22);
// none for keys without a character (arrows, Delete, function keys, Tab, Alt chords).
QString CharactersOf(const QKeyEvent& event);

}  // namespace tecladim
