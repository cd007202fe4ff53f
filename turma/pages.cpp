#include "turma/pages.h"

#include <QChart>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextOption>

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
  QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  const double lineHeight = painter_.fontMetrics().height();
  const double lines =
      std::max(1.0, std::round(painter_.boundingRect(QRectF(0, 0, area_.width(), 1e6), text, option).height() /
                               lineHeight));
  const double height = LineHeight() * lines;
  EnsureRoom(height);
  painter_.setPen(color);
  painter_.drawText(QRectF(area_.left(), y_, area_.width(), height), text, option);
  y_ += height;
}

void Pages::Lines(const std::vector<SummaryLine>& lines) {
  for (const SummaryLine& line : lines) {
    // A figure and its words stay on one line; a line breaks between figures.
    QStringList parts = line.parts;
    for (QString& part : parts) part.replace(QLatin1Char(' '), QChar::Nbsp);
    Line(parts.join(QStringLiteral("    ")), line.tone == LineTone::Warning ? WarningText : QColor(Qt::black));
  }
}

void Pages::Row(const QStringList& cells, const std::vector<double>& widths, RowKind kind, QColor color) {
  const QFont rowFont = painter_.font();
  QFont small = rowFont;
  small.setPointSizeF(rowFont.pointSizeF() * SmallestCellScale);
  const double padding = painter_.fontMetrics().height() * CellPadding / 2;
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Each cell keeps the row's font when its text fits, takes a smaller one when that is
  // enough, else the smaller one over as many lines as it takes, broken between words
  // where it can.
  std::vector<QFont> fonts;
  double height = LineHeight();
  for (qsizetype i = 0; i < cells.size(); ++i) {
    const double width = widths[static_cast<std::size_t>(i)] * area_.width() - 2 * padding;
    QFont font = rowFont;
    if (QFontMetricsF(rowFont, &device_).horizontalAdvance(cells[i]) > width) {
      font = small;
      painter_.setFont(small);
      const double lines = std::round(painter_.boundingRect(QRectF(0, 0, width, 1e6), cells[i], option).height() /
                                      painter_.fontMetrics().height());
      if (lines > 1) height = std::max(height, LineHeight() * lines + painter_.fontMetrics().height() * 0.3);
      painter_.setFont(rowFont);
    }
    fonts.push_back(font);
  }
  EnsureRoom(height);
  if (kind == RowKind::Header) painter_.fillRect(QRectF(area_.left(), y_, area_.width(), height), HeaderBackground);
  painter_.setPen(color);
  double x = area_.left();
  for (qsizetype i = 0; i < cells.size(); ++i) {
    const double w = widths[static_cast<std::size_t>(i)] * area_.width();
    const QRectF cell(x + padding, y_, w - 2 * padding, height);
    const bool left = i == 0 || i == cells.size() - 1 || kind == RowKind::Header;
    option.setAlignment((left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    painter_.setFont(fonts[static_cast<std::size_t>(i)]);
    painter_.drawText(cell, cells[i], option);
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
