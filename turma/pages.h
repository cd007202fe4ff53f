#pragma once
#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

class QChart;
class QPagedPaintDevice;
class QPainter;

namespace tecladim::turma {

// The report's title, on its first page and in every footer.
inline const QString ReportTitle = QStringLiteral("Tecladim — Relatório da turma");

// Draws a chart (which it deletes) into `target`, laid out at a screen's size and scaled
// onto the page, so its text keeps a screen's proportions (as vectors on a PDF).
void RenderChart(QPainter& painter, QChart* owned, const QRectF& target);

struct SummaryLine;

enum class Weight { Normal, Bold };
enum class RowKind { Header, Cells };

// Lays text out down the pages of a printer or a PDF and starts new pages as needed, each
// with its footer. Nothing is cut: a line too long for the width wraps, a cell too narrow
// for its text takes a smaller font and then a second line.
class Pages {
 public:
  Pages(QPagedPaintDevice& device, QPainter& painter, const QString& footer);

  const QRectF& Area() const { return area_; }
  double Y() const { return y_; }
  void Advance(double by) { y_ += by; }
  double Remaining() const { return area_.bottom() - y_; }

  void NewPage();
  void EnsureRoom(double height);
  void Finish() { DrawFooter(); }

  void SetFont(double points, Weight weight = Weight::Normal);
  double LineHeight() const;

  // A paragraph as wide as the page, wrapped at words.
  void Line(const QString& text, QColor color = Qt::black);
  // The summary's lines, each a paragraph: figures apart by spaces, warnings in red.
  void Lines(const std::vector<SummaryLine>& lines);
  // A row of cells at the given fractions of the width; the first and last cells and a
  // header's are left-aligned, figures right-aligned.
  void Row(const QStringList& cells, const std::vector<double>& widths, RowKind kind, QColor color = Qt::black);

 private:
  void DrawFooter();

  QPagedPaintDevice& device_;
  QPainter& painter_;
  QString footer_;
  double margin_ = 0;
  QRectF area_;
  double y_ = 0;
  int page_ = 0;
};

}  // namespace tecladim::turma
