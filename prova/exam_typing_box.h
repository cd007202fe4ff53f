#pragma once
#include <QPlainTextEdit>

// The exam's typing box: plain text, every key accepted (a wrong one stays, Backspace
// takes it back), no beep and no mark; paste refused by key, menu and drop alike.
namespace tecladim::prova {

class ExamTypingBox : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit ExamTypingBox(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace tecladim::prova
