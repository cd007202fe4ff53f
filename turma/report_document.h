#pragma once
#include <QDateTime>
#include <QString>

#include "classroom/class_report.h"
#include "turma/class_data.h"

class QPagedPaintDevice;

namespace tecladim::turma {

struct ReportOptions {
  classroom::Period period;
  QString periodText;        // "Tudo", "Este mês", "01/03/2024 a 15/03/2024"...
  QDateTime now;
  int inactiveDays = 7;
  classroom::ClassGoals goals;
};

// The printed report, on a printer or a PDF writer alike: the class summary and table
// (continued on as many pages as it takes), the class charts, then one page per student
// with their figures and charts, and the keyboards of the students whose key statistics are
// read (classroom::LoadKeyStats; the window reads them first with KeyStatsReading). Needs a
// QApplication: the charts are widgets.
void PaintReport(QPagedPaintDevice& device, const ClassData& data, const ReportOptions& options);

// Writes the report as a PDF file; false when the file cannot be written.
bool WriteReportPdf(const QString& fileName, const ClassData& data, const ReportOptions& options);

// "Ficha do aluno": one page with the student's figures, both charts and the last exercises.
void PaintStudentSheet(QPagedPaintDevice& device, const classroom::Student& student, const ReportOptions& options);
bool WriteStudentSheetPdf(const QString& fileName, const classroom::Student& student, const ReportOptions& options);

}  // namespace tecladim::turma
