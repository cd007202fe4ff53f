#include "turma/pages.h"

#include <QChart>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

#include "turma/summary_lines.h"

namespace tecladim::turma {
namespace {

// The chart is laid out at this size in pixels and scaled onto the page.
constexpr int ChartLayoutWidth = 1000;
constexpr double LineSpacing = 1.35;
const QColor WarningText(170, 0, 0);
// A cell's text may shrink to this share of the row's font before it wraps.
constexpr double SmallestCellScale = 0.8;
// Room left between a cell's text and its neighbours', in points of the font.
constexpr double CellPadding = 0.5;
const QColor HeaderBackground(225, 230, 240);
constexpr int Flags = Qt::AlignVCenter | Qt::TextWordWrap;

}  // namespace

void RenderChart(QPainter& painter, QChart* owned, const QRectF& target) {
  QGraphicsScene scene;
  scene.addItem(owned);  // the scene deletes the chart
  const QSizeF size(ChartLayoutWidth, ChartLayoutWidth * target.height() / target.width());
  owned->resize(size);
  QCoreApplication::sendPostedEvents();
  scene.render(&painter, target, QRectF(QPointF(0, 0), size));
}

Pages::Pages(QPagedPaintDevice& device, QPainter& painter, const QString& footer)
    : device_(device), painter_(painter), footer_(footer) {
  const double dpi = device.logicalDpiY();
  margin_ = dpi * 0.6;
  area_ = QRectF(margin_, margin_, device.width() - 2 * margin_, device.height() - 2.4 * margin_);
  y_ = area_.top();
}

void Pages::NewPage() {
  DrawFooter();
  device_.newPage();
  y_ = area_.top();
}

void Pages::EnsureRoom(double height) {
  if (Remaining() < height) NewPage();
}

void Pages::SetFont(double points, Weight weight) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(points);
  font.setBold(weight == Weight::Bold);
  painter_.setFont(font);
}

double Pages::LineHeight() const { return painter_.fontMetrics().height() * LineSpacing; }

void Pages::Line(const QString& text, QColor color) {
  const QFontMetricsF metrics(painter_.font(), &device_);
  const double lines = std::max(1.0, std::ceil(metrics.boundingRect(QRectF(0, 0, area_.width(), 1e6), Flags, text)
                                                   .height() / metrics.height() - 0.01));
  const double height = LineHeight() * lines;
  EnsureRoom(height);
  painter_.setPen(color);
  painter_.drawText(QRectF(area_.left(), y_, area_.width(), height), Qt::AlignLeft | Flags, text);
  y_ += height;
}

void Pages::Lines(const std::vector<SummaryLine>& lines) {
  for (const SummaryLine& line : lines)
    Line(line.parts.join(QStringLiteral("    ")), line.tone == LineTone::Warning ? WarningText : QColor(Qt::black));
}

void Pages::Row(const QStringList& cells, const std::vector<double>& widths, RowKind kind, QColor color) {
  const QFont rowFont = painter_.font();
  QFont small = rowFont;
  small.setPointSizeF(rowFont.pointSizeF() * SmallestCellScale);
  const double padding = painter_.fontMetrics().height() * CellPadding / 2;
  // Each cell's font and lines: its own font when the text fits, a smaller one when that is
  // enough, else the smaller one over as many lines as it takes.
  struct Fitted {
    QFont font;
    double lines = 1;
  };
  std::vector<Fitted> fitted;
  double lines = 1;
  for (qsizetype i = 0; i < cells.size(); ++i) {
    const double width = widths[static_cast<std::size_t>(i)] * area_.width() - 2 * padding;
    Fitted f{rowFont, 1};
    if (QFontMetricsF(rowFont, &device_).horizontalAdvance(cells[i]) > width) {
      f.font = small;
      const QFontMetricsF metrics(small, &device_);
      if (metrics.horizontalAdvance(cells[i]) > width)
        f.lines = std::ceil(metrics.boundingRect(QRectF(0, 0, width, 1e6), Flags | Qt::TextWrapAnywhere, cells[i])
                                .height() / metrics.height() - 0.01);
    }
    lines = std::max(lines, f.lines);
    fitted.push_back(f);
  }
  const double height = LineHeight() * (lines == 1 ? 1 : lines * SmallestCellScale + (1 - SmallestCellScale));
  EnsureRoom(height);
  if (kind == RowKind::Header) painter_.fillRect(QRectF(area_.left(), y_, area_.width(), height), HeaderBackground);
  painter_.setPen(color);
  double x = area_.left();
  for (qsizetype i = 0; i < cells.size(); ++i) {
    const double w = widths[static_cast<std::size_t>(i)] * area_.width();
    const QRectF cell(x + padding, y_, w - 2 * padding, height);
    const bool left = i == 0 || i == cells.size() - 1 || kind == RowKind::Header;
    painter_.setFont(fitted[static_cast<std::size_t>(i)].font);
    painter_.drawText(cell, (left ? Qt::AlignLeft : Qt::AlignRight) | Flags | Qt::TextWrapAnywhere, cells[i]);
    x += w;
  }
  painter_.setFont(rowFont);
  y_ += height;
}

void Pages::DrawFooter() {
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

}  // namespace tecladim::turma
