#include "turma/report_document.h"

#include <QChart>
#include <QGraphicsScene>
#include <QCoreApplication>
#include <QFile>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>


#include "turma/class_table_model.h"
#include "turma/exam_results_model.h"
#include "turma/keys_sheet.h"
#include "turma/exercise_table_model.h"
#include "turma/load_errors.h"
#include "turma/pages.h"
#include "turma/report_charts.h"
#include "turma/summary_lines.h"

namespace tecladim::turma {
namespace {

constexpr int PdfResolution = 300;
// More bars than this on a page of paper cannot be read.
constexpr std::size_t StudentsPerChartPage = 25;

void ClassPages(Pages& pages, QPainter& painter, const ClassData& data, const ReportOptions& options,
                const ClassTableModel& table) {
  pages.SetFont(18, Weight::Bold);
  pages.Line(ReportTitle);
  pages.SetFont(10);
  pages.Line(QStringLiteral("Período: %1").arg(options.periodText));
  pages.Line(QStringLiteral("Pastas: %1").arg(data.folders.join(QStringLiteral("; "))));
  pages.Line(QStringLiteral("Emitido em %1").arg(options.now.toString(QStringLiteral("dd/MM/yyyy HH:mm"))));
  pages.Advance(pages.LineHeight() * 0.5);

  const std::vector<classroom::StudentSummary> summaries = table.Summaries();
  pages.SetFont(13, Weight::Bold);
  pages.Line(QStringLiteral("Resumo da turma"));
  pages.SetFont(10);
  pages.Lines(SummaryLines(data, summaries, options.periodText, options.goals));
  pages.Advance(pages.LineHeight() * 0.5);

  const std::vector<int> columns = {ClassTableModel::Aluno,      ClassTableModel::Exercicios,
                                    ClassTableModel::Licoes,     ClassTableModel::LicoesTentadas,
                                    ClassTableModel::MaiorLicao, ClassTableModel::UltimaAtividade,
                                    ClassTableModel::Tl,         ClassTableModel::Precisao,
                                    ClassTableModel::Tendencia,  ClassTableModel::Metas,
                                    ClassTableModel::Situacao};
  const std::vector<double> widths = {0.18, 0.06, 0.06, 0.08, 0.05, 0.14, 0.06, 0.08, 0.07, 0.06, 0.16};
  const QStringList header = {
      QStringLiteral("Aluno"),    QStringLiteral("Exerc."),   QStringLiteral("Feitas"),
      QStringLiteral("Só tent."), QStringLiteral("Lição"),    QStringLiteral("Última atividade"),
      QStringLiteral("TL"),       QStringLiteral("Precisão"), QStringLiteral("Tend. TL"),
      QStringLiteral("Metas"),    QStringLiteral("Situação")};
  pages.SetFont(8, Weight::Bold);
  pages.Row(header, widths, RowKind::Header);
  pages.SetFont(8);
  for (int row = 0; row < table.rowCount(); ++row) {
    if (pages.Remaining() < pages.LineHeight()) {
      pages.NewPage();
      pages.SetFont(8, Weight::Bold);
      pages.Row(header, widths, RowKind::Header);
      pages.SetFont(8);
    }
    QStringList cells;
    for (int column : columns) cells << table.CellText(row, column);
    const bool failed = table.StudentAt(row)->Failed();
    const QColor color = failed ? QColor(170, 0, 0) : table.InactiveAt(row) ? QColor(110, 110, 110) : QColor(Qt::black);
    pages.Row(cells, widths, RowKind::Cells, color);
  }

  // The class chart: one bar per student, StudentsPerChartPage students a page.
  const ClassBars bars = MakeClassBars(data.students, summaries);
  auto slice = [](const std::vector<StudentBar>& all, std::size_t first) {
    const std::size_t last = std::min(all.size(), first + StudentsPerChartPage);
    return std::vector<StudentBar>(all.begin() + static_cast<std::ptrdiff_t>(first),
                                   all.begin() + static_cast<std::ptrdiff_t>(last));
  };
  for (std::size_t first = 0; first < bars.tl.size() || first == 0; first += StudentsPerChartPage) {
    pages.NewPage();
    const QRectF area = pages.Area();
    const double half = area.height() / 2;
    RenderChart(painter, ClassLessonsChart(slice(bars.lessons, first)),
                QRectF(area.left(), area.top(), area.width(), half - 10));
    RenderChart(painter, ClassTlChart(slice(bars.tl, first), ClassTlScale(bars.tl)),
                QRectF(area.left(), area.top() + half + 10, area.width(), half - 10));
    if (bars.tl.empty()) break;
  }
}

// The simulados of the period, a row each; a results file that could not be read in red.
void ExamPages(Pages& pages, const ClassData& data, const ReportOptions& options) {
  ExamResultsModel exams;
  exams.Show(&data, options.period);
  if (exams.rowCount() == 0) return;
  pages.NewPage();
  pages.SetFont(13, Weight::Bold);
  pages.Line(QStringLiteral("Simulados"));
  pages.SetFont(10);
  pages.Line(QStringLiteral("Período: %1    Simulados: %2    APTO: %3    NÃO APTO: %4")
                 .arg(options.periodText)
                 .arg(exams.Tests())
                 .arg(exams.Passed())
                 .arg(exams.Tests() - exams.Passed()));
  pages.Advance(pages.LineHeight() * 0.5);
  const std::vector<double> widths = {0.22, 0.12, 0.2, 0.08, 0.08, 0.08, 0.08, 0.14};
  QStringList header;
  for (int c = 0; c < ExamResultsModel::ColumnCount; ++c) header << exams.headerData(c, Qt::Horizontal).toString();
  for (int row = 0; row < exams.rowCount(); ++row) {
    if (row == 0 || pages.Remaining() < pages.LineHeight()) {
      if (row > 0) pages.NewPage();
      pages.SetFont(8, Weight::Bold);
      pages.Row(header, widths, RowKind::Header);
      pages.SetFont(8);
    }
    QStringList cells;
    for (int c = 0; c < ExamResultsModel::ColumnCount; ++c) cells << exams.CellText(row, c);
    if (exams.FailedAt(row))
      pages.Row({cells[0], cells[1]}, {widths[0], 1 - widths[0]}, RowKind::Cells, QColor(170, 0, 0));
    else
      pages.Row(cells, widths, RowKind::Cells);
  }
}

// The student's name and figures; the records of the period come back for the charts.
std::vector<classroom::ExerciseRecord> StudentHeading(Pages& pages, const classroom::Student& student,
                                                      const ReportOptions& options) {
  auto records = classroom::InPeriod(student, options.period);
  pages.SetFont(15, Weight::Bold);
  pages.Line(Text(student.aluno));
  pages.SetFont(9);
  pages.Line(QStringLiteral("Período: %1    Arquivo: %2").arg(options.periodText, PathText(student.file)),
             Qt::darkGray);
  pages.SetFont(10);
  pages.Lines(SummaryLines(classroom::Summarize(records, options.goals.precisao), options.goals));
  pages.Advance(pages.LineHeight() * 0.5);
  return records;
}

void StudentPage(Pages& pages, QPainter& painter, const classroom::Student& student, const ReportOptions& options) {
  pages.NewPage();
  const auto records = StudentHeading(pages, student, options);

  const QRectF area = pages.Area();
  const double height = (area.bottom() - pages.Y()) / 2 - 10;
  RenderChart(painter, ProgressChart(records), QRectF(area.left(), pages.Y(), area.width(), height));
  RenderChart(painter, LessonsChart(records), QRectF(area.left(), pages.Y() + height + 20, area.width(), height));
}

// Rows of the last exercises on the student's sheet.
constexpr int SheetExercises = 12;

void StudentSheet(Pages& pages, QPainter& painter, const classroom::Student& student, const ReportOptions& options) {
  pages.SetFont(9);
  pages.Line(QStringLiteral("Ficha do aluno — ") + ReportTitle, Qt::darkGray);
  const auto records = StudentHeading(pages, student, options);
  // The last exercises take their rows' height at the bottom; the charts share the rest.
  pages.SetFont(8);
  // Room for a title, a header of two lines and the rows.
  const double tableHeight = pages.LineHeight() * (SheetExercises + 5);
  const QRectF area = pages.Area();
  const double height = (area.bottom() - pages.Y() - tableHeight) / 2 - 10;
  RenderChart(painter, ProgressChart(records), QRectF(area.left(), pages.Y(), area.width(), height));
  RenderChart(painter, LessonsChart(records), QRectF(area.left(), pages.Y() + height + 10, area.width(), height));
  pages.Advance(2 * height + 20);

  ExerciseTableModel table;
  table.Show(records);
  pages.SetFont(10, Weight::Bold);
  pages.Line(QStringLiteral("Últimos exercícios"));
  QStringList header;
  std::vector<double> widths;
  for (int c = 0; c < table.columnCount(); ++c) {
    header << table.headerData(c, Qt::Horizontal).toString();
    // The date and time take two shares of the width, every figure one.
    widths.push_back((c == ExerciseTableModel::Data ? 2.0 : 1.0) / (table.columnCount() + 1));
  }
  pages.SetFont(8, Weight::Bold);
  pages.Row(header, widths, RowKind::Header);
  pages.SetFont(8);
  for (int row = 0; row < std::min(SheetExercises, table.rowCount()); ++row) {
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c) cells << table.index(row, c).data().toString();
    pages.Row(cells, widths, RowKind::Cells);
  }
}

// Written beside its place and renamed into it once whole: a failed export never leaves a
// truncated file.
template <typename Paint>
bool WritePdf(const QString& fileName, const Paint& paint) {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  {
    QPdfWriter writer(&file);
    writer.setTitle(ReportTitle);
    writer.setCreator(QStringLiteral("tecladim-turma"));
    writer.setResolution(PdfResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    paint(writer);
  }
  return file.error() == QFileDevice::NoError && file.commit();
}

}  // namespace

void PaintStudentSheet(QPagedPaintDevice& device, const classroom::Student& student, const ReportOptions& options) {
  QPainter painter(&device);
  painter.setRenderHint(QPainter::Antialiasing);
  Pages pages(device, painter,
              ReportTitle + QStringLiteral(" — %1").arg(options.now.toString(QStringLiteral("dd/MM/yyyy HH:mm"))));
  StudentSheet(pages, painter, student, options);
  pages.Finish();
}

bool WriteStudentSheetPdf(const QString& fileName, const classroom::Student& student, const ReportOptions& options) {
  return WritePdf(fileName, [&](QPdfWriter& writer) { PaintStudentSheet(writer, student, options); });
}

void PaintReport(QPagedPaintDevice& device, const ClassData& data, const ReportOptions& options) {
  QPainter painter(&device);
  painter.setRenderHint(QPainter::Antialiasing);
  Pages pages(device, painter,
              ReportTitle + QStringLiteral(" — %1").arg(options.now.toString(QStringLiteral("dd/MM/yyyy HH:mm"))));
  ClassTableModel table;
  table.Show(&data, options.period, ToStamp(options.now), options.inactiveDays, options.goals);
  ClassPages(pages, painter, data, options, table);
  ExamPages(pages, data, options);
  // The keyboards: the class's, then each student's after their page, where keys were recorded.
  auto keysSheet = [&](const QString& aluno) {
    pages.NewPage();
    PaintKeysSheet(painter, pages.Area(), MakeKeysShown(data, aluno, options.period, options.periodText));
  };
  if (std::any_of(data.students.begin(), data.students.end(), RecordsKeys)) keysSheet({});
  for (const classroom::Student& student : data.students)
    if (!student.Failed()) {
      StudentPage(pages, painter, student, options);
      if (RecordsKeys(student)) keysSheet(Text(student.aluno));
    }
  pages.Finish();
}

bool WriteReportPdf(const QString& fileName, const ClassData& data, const ReportOptions& options) {
  return WritePdf(fileName, [&](QPdfWriter& writer) { PaintReport(writer, data, options); });
}

}  // namespace tecladim::turma
