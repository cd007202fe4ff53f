#include "turma/application.h"

#include <QApplication>
#include <QIcon>

#include "platform/qt_translations.h"

namespace tecladim::turma {

bool SetUpApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("tecladim-turma"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tecladim — Relatório da turma"));
  QApplication::setDesktopFileName(QStringLiteral("org.example.tecladim.turma"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/turma/tecladim-turma.png")));
  return platform::InstallQtTranslations(app);
}

}  // namespace tecladim::turma
