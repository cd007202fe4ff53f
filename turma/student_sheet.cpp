// The "Ficha do aluno" on the student page: one page of the student shown, printed or
// written as a PDF, and the class's goals the window reads.
#include <QApplication>
#include <QBoxLayout>
#include <QDateTime>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>

#include "turma/class_goals.h"
#include "turma/exports.h"
#include "turma/print_dialog.h"
#include "turma/report_document.h"
#include "turma/report_window.h"

namespace tecladim::turma {

classroom::ClassGoals ReportWindow::Goals() const { return goals_->Goals(); }

void ReportWindow::SetGoals(const classroom::ClassGoals& goals) { goals_->SetGoals(goals); }

void ReportWindow::AddStudentSheetActions(QBoxLayout* row) {
  auto* print = new QPushButton(QIcon::fromTheme(QStringLiteral("document-print")),
                                QStringLiteral("Imprimir ficha do aluno..."), this);
  print->setObjectName(QStringLiteral("imprimirFicha"));
  auto* pdf = new QPushButton(QIcon::fromTheme(QStringLiteral("application-pdf")),
                              QStringLiteral("Ficha do aluno em PDF..."), this);
  pdf->setObjectName(QStringLiteral("fichaPdf"));
  row->addWidget(print);
  row->addWidget(pdf);
  const auto options = [this] {
    return ReportOptions{CurrentPeriod(), PeriodText(), QDateTime::currentDateTime(), 0, Goals()};
  };
  connect(print, &QPushButton::clicked, this, [this, options] {
    const classroom::Student* student = SelectedStudent();
    if (!student) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Ficha do aluno"));
    if (!AskToPrint(printer, QStringLiteral("Imprimir ficha do aluno"), this)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PaintStudentSheet(printer, *student, options());
    QApplication::restoreOverrideCursor();
  });
  connect(pdf, &QPushButton::clicked, this, [this] {
    const classroom::Student* student = SelectedStudent();
    if (!student) return;
    QString suggested = Text(student->aluno);
    suggested.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Ficha do aluno em PDF"),
                                                      QStringLiteral("ficha-%1.pdf").arg(suggested),
                                                      QStringLiteral("Documentos PDF (*.pdf)"));
    if (name.isEmpty()) return;
    const QString error = ExportStudentSheetTo(name);
    if (!error.isEmpty()) QMessageBox::warning(this, windowTitle(), error);
  });
}

QString ReportWindow::ExportStudentSheetTo(const QString& fileName) {
  if (const QString refused = RefusedOutputText(fileName, data_); !refused.isEmpty()) return refused;
  const classroom::Student* student = SelectedStudent();
  if (!student) return QStringLiteral("Nenhum aluno.");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool written = WriteStudentSheetPdf(fileName, *student,
                                            {CurrentPeriod(), PeriodText(), QDateTime::currentDateTime(), 0, Goals()});
  QApplication::restoreOverrideCursor();
  return written ? QString() : QStringLiteral("Não foi possível gravar %1.").arg(fileName);
}

}  // namespace tecladim::turma
