#include "turma/report_document.h"

#include <QChart>
#include <QGraphicsScene>
#include <QCoreApplication>
#include <QFile>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>


#include "turma/class_table_model.h"
#include "turma/load_errors.h"
#include "turma/report_charts.h"

namespace tecladim::turma {
namespace {

// The chart is laid out at this size in pixels and scaled onto the page, so its text has
// the same proportions on paper as on a screen.
constexpr int ChartLayoutWidth = 1000;
constexpr int PdfResolution = 300;
constexpr double LineSpacing = 1.35;
// More bars than this on a page of paper cannot be read.
constexpr std::size_t StudentsPerChartPage = 25;

const QString Title = QStringLiteral("Tecladim — Relatório da turma");

// Draws a chart into `target`: laid out at ChartLayoutWidth pixels wide in a scene of its
// own, then painted scaled onto the page (as vectors on a PDF).
void RenderChart(QPainter& painter, QChart* owned, const QRectF& target) {
  QGraphicsScene scene;
  scene.addItem(owned);  // the scene deletes the chart
  const QSizeF size(ChartLayoutWidth, ChartLayoutWidth * target.height() / target.width());
  owned->resize(size);
  QCoreApplication::sendPostedEvents();
  scene.render(&painter, target, QRectF(QPointF(0, 0), size));
}

// Lays text out down a page and starts new pages as needed.
class Pages {
 public:
  Pages(QPagedPaintDevice& device, QPainter& painter, const QString& footer)
      : device_(device), painter_(painter), footer_(footer) {
    const double dpi = device.logicalDpiY();
    margin_ = dpi * 0.6;
    area_ = QRectF(margin_, margin_, device.width() - 2 * margin_, device.height() - 2.4 * margin_);
    y_ = area_.top();
  }

  const QRectF& Area() const { return area_; }
  double Y() const { return y_; }
  void Advance(double by) { y_ += by; }
  double Remaining() const { return area_.bottom() - y_; }

  void NewPage() {
    DrawFooter();
    device_.newPage();
    y_ = area_.top();
  }
  void EnsureRoom(double height) {
    if (Remaining() < height) NewPage();
  }
  void Finish() { DrawFooter(); }

  void SetFont(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    painter_.setFont(font);
  }
  double LineHeight() const { return painter_.fontMetrics().height() * LineSpacing; }

  void Line(const QString& text, QColor color = Qt::black) {
    EnsureRoom(LineHeight());
    painter_.setPen(color);
    painter_.drawText(QRectF(area_.left(), y_, area_.width(), LineHeight()), Qt::AlignLeft | Qt::AlignVCenter,
                      text);
    y_ += LineHeight();
  }

  // A row of cells at the given fractions of the width.
  void Row(const QStringList& cells, const std::vector<double>& widths, bool header, QColor color = Qt::black) {
    EnsureRoom(LineHeight());
    double x = area_.left();
    if (header) painter_.fillRect(QRectF(area_.left(), y_, area_.width(), LineHeight()), QColor(225, 230, 240));
    painter_.setPen(color);
    for (int i = 0; i < cells.size(); ++i) {
      const double w = widths[static_cast<std::size_t>(i)] * area_.width();
      const QRectF cell(x + 4, y_, w - 8, LineHeight());
      const QString text = painter_.fontMetrics().elidedText(cells[i], Qt::ElideRight, static_cast<int>(cell.width()));
      painter_.drawText(cell, (i == 0 || i == cells.size() - 1 || header ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, text);
      x += w;
    }
    y_ += LineHeight();
  }

 private:
  void DrawFooter() {
    ++page_;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8);
    const QFont saved = painter_.font();
    painter_.setFont(font);
    painter_.setPen(Qt::darkGray);
    const QRectF footer(area_.left(), device_.height() - margin_ * 1.1, area_.width(), margin_ * 0.5);
    painter_.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, footer_);
    painter_.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Página %1").arg(page_));
    painter_.setFont(saved);
  }

  QPagedPaintDevice& device_;
  QPainter& painter_;
  QString footer_;
  double margin_ = 0;
  QRectF area_;
  double y_ = 0;
  int page_ = 0;
};

QString Whole(const std::optional<std::int32_t>& v) { return v ? QString::number(*v) : QStringLiteral("—"); }
QString OrDash(const QString& s) { return s.isEmpty() ? QStringLiteral("—") : s; }

void ClassPages(Pages& pages, QPainter& painter, const ClassData& data, const ReportOptions& options,
                const ClassTableModel& table) {
  pages.SetFont(18, true);
  pages.Line(Title);
  pages.SetFont(10);
  pages.Line(QStringLiteral("Período: %1").arg(options.periodText));
  pages.Line(QStringLiteral("Pastas: %1").arg(data.folders.join(QStringLiteral("; "))));
  pages.Line(QStringLiteral("Emitido em %1").arg(options.now.toString(QStringLiteral("dd/MM/yyyy HH:mm"))));
  pages.Advance(pages.LineHeight() * 0.5);

  const std::vector<classroom::StudentSummary> summaries = table.Summaries();
  const classroom::ClassSummary c = classroom::SummarizeClass(data.students, summaries);
  pages.SetFont(13, true);
  pages.Line(QStringLiteral("Resumo da turma"));
  pages.SetFont(10);
  pages.Line(QStringLiteral("Alunos: %1 (com exercícios no período: %2)").arg(c.students).arg(c.activeStudents));
  if (c.failedFiles)
    pages.Line(QStringLiteral("Arquivos que não puderam ser lidos: %1").arg(c.failedFiles), QColor(170, 0, 0));
  for (const auto& e : data.walkErrors)
    pages.Line(QStringLiteral("Pasta %1: %2").arg(PathText(e.folder), WalkErrorText(e)), QColor(170, 0, 0));
  pages.Line(QStringLiteral("Exercícios: %1    Tempo praticado: %2").arg(c.exercises).arg(Duration(c.secondsPractised)));
  pages.Line(QStringLiteral("Maior lição alcançada: %1    Mediana da maior lição por aluno: %2")
                 .arg(Whole(c.highestLesson), OrDash(Decimal(c.medianHighestLesson))));
  pages.Line(QStringLiteral("TL (mediana dos alunos): %1    Precisão média: %2%    Tendência média da TL: %3")
                 .arg(OrDash(Decimal(c.recentTl)), OrDash(Decimal(c.recentPrecisao)), OrDash(Decimal(c.trendTl))));
  pages.Line(QStringLiteral("Textos cronometrados dentro da meta: %1 de %2    Alunos com precisão abaixo de %3: %4")
                 .arg(c.withinTarget)
                 .arg(c.timedPassages)
                 .arg(FloorText())
                 .arg(c.studentsBelowFloor));
  pages.Line(QStringLiteral("Última atividade: %1").arg(OrDash(Moment(c.lastActivity))));
  pages.Advance(pages.LineHeight() * 0.5);

  const std::vector<int> columns = {ClassTableModel::Aluno,      ClassTableModel::Exercicios,
                                    ClassTableModel::MaiorLicao, ClassTableModel::UltimaAtividade,
                                    ClassTableModel::Tl,         ClassTableModel::Precisao,
                                    ClassTableModel::Tendencia,  ClassTableModel::Situacao};
  const std::vector<double> widths = {0.19, 0.07, 0.06, 0.17, 0.07, 0.09, 0.09, 0.26};
  const QStringList header = {QStringLiteral("Aluno"), QStringLiteral("Exerc."),  QStringLiteral("Lição"),
                              QStringLiteral("Última atividade"), QStringLiteral("TL"), QStringLiteral("Precisão"),
                              QStringLiteral("Tend. TL"), QStringLiteral("Situação")};
  pages.SetFont(8, true);
  pages.Row(header, widths, true);
  pages.SetFont(8);
  for (int row = 0; row < table.rowCount(); ++row) {
    if (pages.Remaining() < pages.LineHeight()) {
      pages.NewPage();
      pages.SetFont(8, true);
      pages.Row(header, widths, true);
      pages.SetFont(8);
    }
    QStringList cells;
    for (int column : columns) cells << table.CellText(row, column);
    const bool failed = table.StudentAt(row)->Failed();
    const QColor color = failed ? QColor(170, 0, 0) : table.InactiveAt(row) ? QColor(110, 110, 110) : QColor(Qt::black);
    pages.Row(cells, widths, false, color);
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

void StudentPage(Pages& pages, QPainter& painter, const classroom::Student& student, const ReportOptions& options) {
  pages.NewPage();
  const auto records = classroom::InPeriod(student, options.period);
  const classroom::StudentSummary s = classroom::Summarize(records);
  pages.SetFont(15, true);
  pages.Line(Text(student.aluno));
  pages.SetFont(9);
  pages.Line(QStringLiteral("Período: %1    Arquivo: %2").arg(options.periodText, PathText(student.file)),
             Qt::darkGray);
  pages.SetFont(10);
  pages.Line(QStringLiteral("Exercícios: %1    Lições feitas: %2    Maior lição: %3    Tempo praticado: %4")
                 .arg(s.exercises)
                 .arg(s.lessonsCompleted)
                 .arg(Whole(s.highestLesson), Duration(s.secondsPractised)));
  pages.Line(QStringLiteral("TL (mediana dos últimos 10): %1    Precisão (média dos últimos 10): %2%    Tendência da TL: %3")
                 .arg(OrDash(Decimal(s.recentTl)), OrDash(Decimal(s.recentPrecisao)), OrDash(Decimal(s.trendTl))));
  pages.Line(QStringLiteral("Textos cronometrados dentro da meta: %1 de %2    Última atividade: %3")
                 .arg(s.withinTarget)
                 .arg(s.timedPassages)
                 .arg(OrDash(Moment(s.lastActivity))));
  if (s.recentBelowFloor) pages.Line(QStringLiteral("Atenção: precisão abaixo de %1.").arg(FloorText()), QColor(170, 0, 0));
  pages.Advance(pages.LineHeight() * 0.5);

  const QRectF area = pages.Area();
  const double height = (area.bottom() - pages.Y()) / 2 - 10;
  RenderChart(painter, ProgressChart(records), QRectF(area.left(), pages.Y(), area.width(), height));
  RenderChart(painter, LessonsChart(records), QRectF(area.left(), pages.Y() + height + 20, area.width(), height));
}

}  // namespace

void PaintReport(QPagedPaintDevice& device, const ClassData& data, const ReportOptions& options) {
  QPainter painter(&device);
  painter.setRenderHint(QPainter::Antialiasing);
  Pages pages(device, painter,
              Title + QStringLiteral(" — %1").arg(options.now.toString(QStringLiteral("dd/MM/yyyy HH:mm"))));
  ClassTableModel table;
  table.Show(&data, options.period, ToStamp(options.now), options.inactiveDays);
  ClassPages(pages, painter, data, options, table);
  for (const classroom::Student& student : data.students)
    if (!student.Failed()) StudentPage(pages, painter, student, options);
  pages.Finish();
}

bool WriteReportPdf(const QString& fileName, const ClassData& data, const ReportOptions& options) {
  // Renamed into place when whole: a failed export never leaves a truncated file.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  {
    QPdfWriter writer(&file);
    writer.setTitle(Title);
    writer.setCreator(QStringLiteral("tecladim-turma"));
    writer.setResolution(PdfResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    PaintReport(writer, data, options);
  }
  return file.error() == QFileDevice::NoError && file.commit();
}

}  // namespace tecladim::turma
