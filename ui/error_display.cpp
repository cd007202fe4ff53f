#include "ui/error_display.h"

#include <QMessageBox>

namespace tecladim {

QString ErrorDisplayText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

void ShowStandardError(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle, ErrorDisplayText(message), QMessageBox::Ok, parent);
  box.exec();
}

void ShowPlainMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tecladim
