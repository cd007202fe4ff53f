#include "turma/application.h"

#include <QApplication>
#include <QIcon>

#include "platform/qt_translations.h"

namespace tecladim::turma {

QString ReportTitle(ReportView view) {
  return view == ReportView::Own ? QStringLiteral("Tecladim — Meu desempenho")
                                 : QStringLiteral("Tecladim — Relatório da turma");
}

bool SetUpApplication(QApplication& app, ReportView view) {
  QApplication::setApplicationName(QStringLiteral("tecladim-turma"));
  QApplication::setApplicationDisplayName(ReportTitle(view));
  QApplication::setDesktopFileName(QStringLiteral("org.example.tecladim.turma"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/turma/tecladim-turma.png")));
  return platform::InstallQtTranslations(app);
}

}  // namespace tecladim::turma
