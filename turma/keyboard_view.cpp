#include "turma/keyboard_view.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>

#include "classroom/key_report.h"
#include "lessons/abnt2_keyboard.h"
#include "turma/class_data.h"

namespace tecladim::turma {
namespace {

// The legend takes this many key heights below the keys.
constexpr double LegendRows = 1.1;
constexpr double Gap = 0.06;  // between keys, in key widths
constexpr double ScaleSteps[] = {0.0, 0.05, 0.10, 0.15, RedErrorRate};
const QColor NoSamples(236, 236, 236);
const QColor NamedKey(208, 210, 216);
const QColor DeadKeyText(150, 60, 0);
const QColor AltGrText(30, 70, 160);

struct Geometry {
  QPointF origin;
  double unit = 0;
};

Geometry Fit(const QRectF& area) {
  const double unit = std::min(area.width() / KeyboardWidth, area.height() / (KeyboardRows + LegendRows));
  const QPointF origin(area.left() + (area.width() - unit * KeyboardWidth) / 2,
                       area.top() + (area.height() - unit * (KeyboardRows + LegendRows)) / 2);
  return {origin, unit};
}

QRectF Cell(const Geometry& g, double left, double row, double width) {
  const double gap = Gap * g.unit;
  return QRectF(g.origin.x() + left * g.unit + gap / 2, g.origin.y() + row * g.unit + gap / 2, width * g.unit - gap,
                g.unit - gap);
}

// Enter takes two rows: its upper part at its place in the upper row, its lower part at the
// end of the home row.
QPainterPath CapShape(const Geometry& g, const KeyCap& cap) {
  QPainterPath path;
  const double radius = g.unit * 0.08;
  path.addRoundedRect(Cell(g, cap.left, cap.row, cap.width), radius, radius);
  if (cap.xkbName == "RTRN") {
    QPainterPath lower;
    lower.addRoundedRect(Cell(g, EnterLowerLeft, cap.row + 1, KeyboardWidth - EnterLowerLeft), radius, radius);
    QPainterPath bridge;
    const QRectF upper = Cell(g, cap.left, cap.row, cap.width);
    bridge.addRect(QRectF(Cell(g, EnterLowerLeft, cap.row, 0).left(), upper.center().y(),
                          upper.right() - Cell(g, EnterLowerLeft, cap.row, 0).left(), g.unit));
    path = path.united(lower).united(bridge);
  }
  return path;
}

QString CharText(char16_t c) { return QString(QChar(c)); }

void DrawLegends(QPainter& painter, const QRectF& r, const KeyCap& cap, double unit) {
  QFont font = painter.font();
  const double pad = unit * 0.1;
  const QRectF inner = r.adjusted(pad, pad * 0.6, -pad, -pad * 0.6);
  if (!cap.label.empty()) {
    font.setPixelSize(std::max(1, static_cast<int>(unit * 0.24)));
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdU16String(std::u16string(cap.label)));
    return;
  }
  const KeySymbol& plain = cap.At(KeyLevel::Plain);
  const KeySymbol& shift = cap.At(KeyLevel::Shift);
  const KeySymbol& altGr = cap.At(KeyLevel::AltGr);
  auto pen = [](const KeySymbol& s) { return s.kind == SymbolKind::DeadKey ? DeadKeyText : QColor(20, 20, 20); };
  font.setPixelSize(std::max(1, static_cast<int>(unit * 0.34)));
  painter.setFont(font);
  // A letter's keycap shows its capital only, as printed keycaps do.
  const bool letter = plain.kind == SymbolKind::Character && shift.kind == SymbolKind::Character &&
                      QChar(plain.character).isLetter() && QChar(plain.character).toUpper() == QChar(shift.character);
  if (letter) {
    painter.setPen(pen(shift));
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, CharText(shift.character));
  } else {
    if (shift.kind != SymbolKind::Nothing) {
      painter.setPen(pen(shift));
      painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, CharText(shift.character));
    }
    if (plain.kind != SymbolKind::Nothing && plain.character != u' ') {
      painter.setPen(pen(plain));
      painter.drawText(inner, Qt::AlignLeft | Qt::AlignBottom, CharText(plain.character));
    }
  }
  if (altGr.kind != SymbolKind::Nothing) {
    font.setPixelSize(std::max(1, static_cast<int>(unit * 0.26)));
    painter.setFont(font);
    painter.setPen(AltGrText);
    painter.drawText(inner, Qt::AlignRight | Qt::AlignBottom, CharText(altGr.character));
  }
  if (cap.homeBump) {
    const QPointF bottom(r.center().x(), r.bottom() - unit * 0.12);
    painter.setPen(QPen(QColor(90, 90, 90), std::max(1.0, unit * 0.03)));
    painter.drawLine(bottom - QPointF(unit * 0.12, 0), bottom + QPointF(unit * 0.12, 0));
  }
}

QString PercentText(double rate) { return Decimal(100 * rate) + QLatin1Char('%'); }

void DrawScale(QPainter& painter, const Geometry& g) {
  const double top = g.origin.y() + (KeyboardRows + 0.15) * g.unit;
  const double height = g.unit * 0.32;
  QFont font = painter.font();
  font.setPixelSize(std::max(1, static_cast<int>(g.unit * 0.24)));
  painter.setFont(font);
  painter.setPen(QColor(40, 40, 40));
  const QRectF caption(g.origin.x(), top, g.unit * 3.2, height);
  painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Taxa de erro:"));
  const QRectF bar(caption.right(), top, g.unit * 7.5, height);
  QLinearGradient gradient(bar.topLeft(), bar.topRight());
  for (double step : ScaleSteps) gradient.setColorAt(step / RedErrorRate, KeyboardPicture::RateColor(step));
  painter.fillRect(bar, gradient);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar);
  for (double step : ScaleSteps) {
    const double x = bar.left() + bar.width() * step / RedErrorRate;
    const QString text = step == RedErrorRate ? QStringLiteral("%1 ou mais").arg(PercentText(step)) : PercentText(step);
    const QRectF label(x - g.unit * 1.5, bar.bottom(), g.unit * 3, height);
    painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, text);
  }
  const QRectF none(bar.right() + g.unit * 1.2, top, g.unit * 0.5, height);
  painter.fillRect(none, NoSamples);
  painter.drawRect(none);
  painter.drawText(QRectF(none.right() + g.unit * 0.15, top, g.unit * 2.5, height), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("sem dados"));
}

}  // namespace

void KeyboardPicture::SetKeys(std::vector<classroom::KeyTotals> keys) {
  keys_ = std::move(keys);
  const auto all = Abnt2Keys();
  caps_.assign(all.size(), {});
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    const auto keying = KeyingOf(keys_[i].expected);
    if (!keying || keys_[i].expected == LineEndKey) continue;
    for (const KeyStroke& stroke : keying->Strokes()) {
      CapFigures& cap = caps_[static_cast<std::size_t>(stroke.key - all.data())];
      cap.right += keys_[i].right;
      cap.wrong += keys_[i].wrong;
      cap.characters.push_back(i);
    }
  }
}

std::optional<double> KeyboardPicture::ErrorRateOf(std::string_view xkbName) const {
  const KeyCap* cap = FindKey(xkbName);
  if (!cap || caps_.empty()) return std::nullopt;
  const CapFigures& f = caps_[static_cast<std::size_t>(cap - Abnt2Keys().data())];
  if (f.right + f.wrong == 0) return std::nullopt;
  return classroom::ErrorRate(f.wrong, f.right + f.wrong);
}

QColor KeyboardPicture::RateColor(std::optional<double> rate) {
  if (!rate) return NoSamples;
  const double share = std::clamp(*rate / RedErrorRate, 0.0, 1.0);
  // Green through yellow to red, light enough for the legends to read on it.
  return QColor::fromHsvF(static_cast<float>((1 - share) / 3), 0.62f, 0.97f);
}

void KeyboardPicture::Paint(QPainter& painter, const QRectF& area) const {
  const Geometry g = Fit(area);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const auto all = Abnt2Keys();
  for (std::size_t i = 0; i < all.size(); ++i) {
    const KeyCap& cap = all[i];
    std::optional<double> rate;
    if (i < caps_.size() && caps_[i].right + caps_[i].wrong > 0)
      rate = classroom::ErrorRate(caps_[i].wrong, caps_[i].right + caps_[i].wrong);
    const bool named = !cap.label.empty() || cap.At(KeyLevel::Plain).kind == SymbolKind::Nothing;
    painter.setPen(QPen(QColor(120, 120, 125), std::max(1.0, g.unit * 0.02)));
    painter.setBrush(named && !rate ? NamedKey : RateColor(rate));
    painter.drawPath(CapShape(g, cap));
    DrawLegends(painter, Cell(g, cap.left, cap.row, cap.width), cap, g.unit);
  }
  DrawScale(painter, g);
  painter.restore();
}

QString KeyboardPicture::CharacterLine(const classroom::KeyTotals& key) {
  const std::int64_t ms = classroom::MeanKeyMs(key);
  QString line = QStringLiteral("<b>%1</b> — %2 acertos, %3 erros (%4)")
                     .arg(Text(classroom::KeyName(key.expected)).toHtmlEscaped())
                     .arg(key.right)
                     .arg(key.wrong)
                     .arg(PercentText(classroom::ErrorRate(key.wrong, key.Samples())));
  if (ms >= 0) line += QStringLiteral(", tempo médio %1 ms").arg(ms);
  if (!key.typedInstead.empty())
    line += QStringLiteral(", mais trocada por <b>%1</b>")
                .arg(Text(classroom::KeyName(key.typedInstead.front().typed)).toHtmlEscaped());
  return line;
}

QString KeyboardPicture::ToolTipAt(const QPointF& point, const QRectF& area) const {
  const Geometry g = Fit(area);
  const auto all = Abnt2Keys();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (!CapShape(g, all[i]).contains(point)) continue;
    const KeyCap& cap = all[i];
    QString text = QStringLiteral("<b>Tecla %1</b>")
                       .arg(cap.label.empty() ? CharText(cap.At(KeyLevel::Plain).character).toHtmlEscaped()
                                              : QString::fromStdU16String(std::u16string(cap.label)));
    if (cap.finger != Finger::None)
      text += QStringLiteral(" (%1)").arg(QString::fromStdU16String(std::u16string(FingerName(cap.finger))));
    if (i >= caps_.size() || caps_[i].characters.empty()) return text + QStringLiteral("<br>sem dados no período");
    const CapFigures& f = caps_[i];
    text += QStringLiteral(": %1 erros em %2 (%3)")
                .arg(f.wrong)
                .arg(f.right + f.wrong)
                .arg(PercentText(classroom::ErrorRate(f.wrong, f.right + f.wrong)));
    for (std::size_t k : f.characters) text += QStringLiteral("<br>") + CharacterLine(keys_[k]);
    return text;
  }
  return {};
}

KeyboardView::KeyboardView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void KeyboardView::SetKeys(std::vector<classroom::KeyTotals> keys) {
  picture_.SetKeys(std::move(keys));
  update();
}

QSize KeyboardView::sizeHint() const { return {750, 300}; }
QSize KeyboardView::minimumSizeHint() const { return {450, 180}; }

void KeyboardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  picture_.Paint(painter, QRectF(rect()).adjusted(4, 4, -4, -4));
}

bool KeyboardView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = picture_.ToolTipAt(help->pos(), QRectF(rect()).adjusted(4, 4, -4, -4));
    if (text.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), text, this);
    return true;
  }
  return QWidget::event(event);
}

}  // namespace tecladim::turma
