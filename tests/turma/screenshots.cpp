// Takes the pictures of the class report in docs/: turma_screenshots CLASS_FOLDER DOCS_FOLDER
// Run under a real X server (Xvfb), so fonts and styles are those a school sees. The class
// folder's two groups are opened as two folders; "Ficha do aluno" is written as ficha.pdf.
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

#include "turma/application.h"
#include "turma/report_window.h"

using tecladim::turma::ReportWindow;

namespace {
void Save(QWidget& window, const QString& name) {
  QTest::qWait(400);
  window.grab().save(name);
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tecladim::turma::SetUpApplication(app);
  if (argc != 3) return 2;
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QString docs = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
  // The size and place the window takes by itself on the school's 1366x768 screen.
  ReportWindow window;
  window.show();
  QSignalSpy shown(&window, &ReportWindow::ClassShown);
  window.OpenFolders({folder + QStringLiteral("/turma-a"), folder + QStringLiteral("/turma-b")});
  if (!shown.wait(30000)) return 1;

  window.ShowTab(ReportWindow::ClassTab);
  window.ClassTable()->selectRow(0);
  Save(window, docs + QStringLiteral("turma-classe.png"));

  window.ShowStudent(QStringLiteral("turma-b/laboratorio"));
  window.ShowTab(ReportWindow::StudentTab);
  Save(window, docs + QStringLiteral("turma-aluno.png"));
  window.ShowStudent(QStringLiteral("turma-a/eduarda"));
  if (!window.ExportStudentSheetTo(QStringLiteral("ficha.pdf")).isEmpty()) return 1;

  window.ShowTab(ReportWindow::ChartTab);
  Save(window, docs + QStringLiteral("turma-grafico.png"));

  window.findChild<QTabWidget*>()->setCurrentWidget(window.findChild<QWidget*>(QStringLiteral("paginaSimulados")));
  Save(window, docs + QStringLiteral("turma-simulados.png"));

  // The "Teclas" pictures come from lessons typed in the real trainer: tests/e2e/type_lessons_31_40.sh.

  // The last four weeks, and the search box narrowed to one group.
  const QDate today = QDate::currentDate();
  window.SetPeriod(ReportWindow::PeriodChoice::Range, today.addDays(-27), today);
  window.findChild<QLineEdit*>()->setText(QStringLiteral("turma-b"));
  window.ShowTab(ReportWindow::ClassTab);
  Save(window, docs + QStringLiteral("turma-periodo.png"));

  // The print dialog as the instructor meets it, in Portuguese.
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, &window);
  dialog.setWindowTitle(QStringLiteral("Imprimir o relatório da turma"));
  dialog.show();
  Save(dialog, docs + QStringLiteral("turma-imprimir.png"));
  dialog.reject();
  return 0;
}
