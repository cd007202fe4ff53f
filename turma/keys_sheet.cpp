#include "turma/keys_sheet.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <numeric>

#include "turma/keyboard_view.h"

namespace tecladim::turma {
namespace {

// Lays rich text out at the page's own resolution, `width` wide; returns its height.
double DrawHtml(QPainter& painter, const QString& html, const QPointF& at, double width, double points) {
  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(painter.device());
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(points);
  doc.setDefaultFont(font);
  doc.setHtml(html);
  doc.setTextWidth(width);
  painter.save();
  painter.translate(at);
  doc.drawContents(&painter);
  painter.restore();
  return doc.size().height();
}

QString Percent(double rate) { return Decimal(100 * rate) + QLatin1Char('%'); }

QString KeyTable(const KeysShown& shown) {
  std::vector<std::size_t> order(shown.keys.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const auto& x = shown.keys[a];
    const auto& y = shown.keys[b];
    return classroom::ErrorRate(x.wrong, x.Samples()) > classroom::ErrorRate(y.wrong, y.Samples());
  });
  if (order.size() > PrintedKeys) order.resize(PrintedKeys);
  const bool wholeClass = !shown.classKeys.empty();
  QString html = QStringLiteral(
      "<b>Teclas com mais erros</b><table cellspacing='0' cellpadding='2' border='0' width='100%'>"
      "<tr style='background:#e1e6f0'><th align='left'>Tecla</th><th align='right'>Acertos</th>"
      "<th align='right'>Erros</th><th align='right'>Taxa</th><th align='right'>Tempo médio</th>"
      "<th align='left'>Trocada por</th>");
  if (wholeClass) html += QStringLiteral("<th align='left'>Quem mais erra</th>");
  html += QStringLiteral("</tr>");
  for (std::size_t i : order) {
    const classroom::KeyTotals& k = shown.keys[i];
    const std::int64_t ms = classroom::MeanKeyMs(k);
    const double rate = classroom::ErrorRate(k.wrong, k.Samples());
    html += QStringLiteral(
                "<tr><td style='background:%1'>%2</td><td align='right'>%3</td><td align='right'>%4</td>"
                "<td align='right'>%5</td><td align='right'>%6</td><td>%7</td>")
                .arg(KeyboardPicture::RateColor(rate).name(), Text(classroom::KeyName(k.expected)).toHtmlEscaped())
                .arg(k.right)
                .arg(k.wrong)
                .arg(Percent(rate), ms < 0 ? QString() : QStringLiteral("%1 ms").arg(ms),
                     k.typedInstead.empty() ? QString()
                                            : Text(classroom::KeyName(k.typedInstead.front().typed)).toHtmlEscaped());
    // On paper the one who misses the key most, on one line: the tab lists more.
    if (wholeClass) {
      const auto& missers = shown.classKeys[i].missers;
      html += QStringLiteral("<td style='white-space:nowrap'>%1</td>")
                  .arg(missers.empty() ? QString() : Text(missers.front().aluno).toHtmlEscaped());
    }
    html += QStringLiteral("</tr>");
  }
  return html + QStringLiteral("</table>");
}

}  // namespace

bool RecordsKeys(const classroom::Student& student) {
  return !student.Failed() && student.keyStats == classroom::KeyStatsState::Read;
}

void PaintKeysSheet(QPainter& painter, const QRectF& area, const KeysShown& shown) {
  double y = area.top();
  y += DrawHtml(painter,
                QStringLiteral("<span style='font-size:15pt; font-weight:bold'>Teclas — %1</span><br>%2")
                    .arg(shown.title.toHtmlEscaped(), shown.situation),
                {area.left(), y}, area.width(), 10);
  KeyboardPicture picture;
  picture.SetKeys(shown.keys);
  const double height = std::min(area.width() * 0.42, (area.bottom() - y) * 0.5);
  picture.Paint(painter, QRectF(area.left(), y, area.width(), height));
  y += height + area.width() * 0.02;
  const double gap = area.width() * 0.03;
  const double left = area.width() * 0.36;
  DrawHtml(painter, AdviceHtml(shown.advice), {area.left(), y}, left, 9);
  DrawHtml(painter, KeyTable(shown), {area.left() + left + gap, y}, area.width() - left - gap, 8);
}

}  // namespace tecladim::turma
