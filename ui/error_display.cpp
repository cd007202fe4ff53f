#include "ui/error_display.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <memory>

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

bool InstallQtTranslations(QCoreApplication& app) {
  const QString name = QStringLiteral("qtbase_pt_BR");
  for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QCoreApplication::applicationDirPath() + QStringLiteral("/translations")}) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder)) continue;
    translator->setParent(&app);  // lives as long as the application
    return QCoreApplication::installTranslator(translator.release());
  }
  return false;
}

}  // namespace tecladim
