#include "ui/lesson_spin_box.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>
#include <QLineEdit>

#include "exercise/input_guard.h"
#include "exercise/number_text.h"
#include "ui/qtext.h"

namespace tecladim {
namespace {

bool Takes(QChar c) { return SpinCharVerdictFor(c.unicode()) == SpinCharVerdict::Accept; }

}  // namespace

LessonSpinBox::LessonSpinBox(QWidget* parent, int minimum, int maximum)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  setAccelerated(false);
  // The wheel must not give it the keyboard: a notch over it while the student types would
  // load another lesson and throw the typed text away.
  setFocusPolicy(Qt::StrongFocus);
  lineEdit()->setMaxLength(LessonSpinMaxLength);
  lineEdit()->setText(QString::number(minimum));
  connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
    if (onChange) onChange();
  });
}

QString LessonSpinBox::Text() const { return lineEdit()->text(); }

void LessonSpinBox::SetText(const QString& text) {
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

int LessonSpinBox::Value() const { return ParseInteger(ViewOf(Text())).value_or(minimum_); }

void LessonSpinBox::stepBy(int steps) {
  const long long next = static_cast<long long>(Value()) + steps;
  SetText(QString::number(std::clamp<long long>(next, minimum_, maximum_)));
  selectAll();
}

QAbstractSpinBox::StepEnabled LessonSpinBox::stepEnabled() const { return StepUpEnabled | StepDownEnabled; }

QValidator::State LessonSpinBox::validate(QString& input, int&) const {
  if (input.size() > LessonSpinMaxLength) return QValidator::Invalid;
  for (QChar c : input) {
    if (c < QLatin1Char(' ') || !Takes(c)) return QValidator::Invalid;
  }
  return QValidator::Acceptable;
}

void LessonSpinBox::fixup(QString&) const {}

void LessonSpinBox::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QAbstractSpinBox::wheelEvent(event);
}

void LessonSpinBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
    // A page is one lesson, like the arrows: ten at a time skips past lessons unseen.
    QKeyEvent arrow(event->type(), event->key() == Qt::Key_PageUp ? Qt::Key_Up : Qt::Key_Down, event->modifiers(),
                    event->nativeScanCode(), event->nativeVirtualKey(), event->nativeModifiers(), {},
                    event->isAutoRepeat(), static_cast<quint16>(event->count()));
    QAbstractSpinBox::keyPressEvent(&arrow);
    event->setAccepted(arrow.isAccepted());
    return;
  }
  const QString text = event->text();
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool character = !text.isEmpty() && text.front() >= QLatin1Char(' ') &&
                         !event->modifiers().testFlag(Qt::ControlModifier);
  if (enter || (character && !Takes(text.front()))) {
    event->accept();
    if (onRefused) onRefused();
    return;
  }
  if (character && !lineEdit()->hasSelectedText() && Text().size() >= LessonSpinMaxLength) {
    event->accept();
    if (onRefused) onRefused();
    return;
  }
  QAbstractSpinBox::keyPressEvent(event);
}

void LessonSpinBox::focusOutEvent(QFocusEvent* event) {
  // A number typed outside the range is held until the student leaves the box; a message
  // box or another window taking the keyboard for a while is no leaving.
  const bool leaves = event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
  if (const auto typed = ParseInteger(ViewOf(Text()));
      leaves && typed && (*typed < minimum_ || *typed > maximum_)) {
    SetText(QString::number(qBound(minimum_, *typed, maximum_)));
  }
  QAbstractSpinBox::focusOutEvent(event);
}

}  // namespace tecladim
