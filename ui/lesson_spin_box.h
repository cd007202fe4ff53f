#pragma once
#include <QAbstractSpinBox>
#include <functional>

namespace tecladim {

// The lesson spin box: an integer held as text, with up and down buttons. Unlike
// QSpinBox it keeps a typed number outside its range ("0", "193", "-5") until it loses
// the focus, so every text on the way fires the change handler.
class LessonSpinBox : public QAbstractSpinBox {
  Q_OBJECT
 public:
  LessonSpinBox(QWidget* parent, int minimum, int maximum);

  QString Text() const;
  void SetText(const QString& text);
  // The number the text reads as: a whole number, or the minimum for anything else.
  int Value() const;

  std::function<void()> onChange;   // every change of the text
  std::function<void()> onRefused;  // a key the box does not take (the beep)

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 protected:
  StepEnabled stepEnabled() const override;
  void keyPressEvent(QKeyEvent* event) override;
  // Steps only while the box has the keyboard.
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int minimum_;
  int maximum_;
};

}  // namespace tecladim
