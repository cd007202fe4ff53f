// Draws the program's bitmaps: the three alert faces, the hand-position chart and the
// maker's logo. Every picture is saved as a 24-bit RGB PNG without alpha, the form the
// windows show them in. Usage: tecladim_draw_assets [output folder]
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTextDocument>
#include <QtMath>
#include <cstdio>
#include <vector>

namespace {

// Small pictures are drawn this many times larger and scaled down, for smooth edges.
constexpr int Supersample = 4;
const QColor PaperColour(250, 250, 247);
const QString FontFamily = QStringLiteral("DejaVu Sans");
const QString NarrowFamily = QStringLiteral("Liberation Sans Narrow");

QFont PixelFont(const QString& family, qreal pixelSize, QFont::Weight weight = QFont::Normal) {
  QFont font(family);
  font.setPixelSize(qRound(pixelSize));
  font.setWeight(weight);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

bool SaveRgb(const QImage& image, const QString& folder, const QString& name) {
  const QString path = folder + QLatin1Char('/') + name;
  const bool saved = image.convertToFormat(QImage::Format_RGB888).save(path, "PNG");
  std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
  return saved;
}

// ---------------------------------------------------------------------------------------
// Faces: a glossy yellow disc, then the features of each expression on it.

const QColor FeatureColour(92, 52, 18);
const QColor FaceOutline(176, 112, 14);

void FaceDisc(QPainter& p, QPointF c, qreal r) {
  for (int i = 4; i >= 1; --i) {  // a soft shadow under the disc
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 70, 30, 14));
    p.drawEllipse(c + QPointF(1.2, 2.2), r + i * 0.8, r + i * 0.8);
  }
  QRadialGradient fill(c, r, c + QPointF(-r * 0.35, -r * 0.45));
  fill.setColorAt(0.0, QColor(255, 248, 170));
  fill.setColorAt(0.45, QColor(255, 221, 72));
  fill.setColorAt(0.85, QColor(252, 190, 36));
  fill.setColorAt(1.0, QColor(236, 158, 20));
  p.setBrush(fill);
  p.setPen(QPen(FaceOutline, 1.4));
  p.drawEllipse(c, r, r);
  // The gloss on the forehead.
  QLinearGradient gloss(c + QPointF(0, -r * 0.95), c + QPointF(0, -r * 0.25));
  gloss.setColorAt(0, QColor(255, 255, 255, 170));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(gloss);
  p.drawEllipse(QRectF(c.x() - r * 0.62, c.y() - r * 0.9, r * 1.24, r * 0.7));
}

void Eye(QPainter& p, QPointF c, qreal w, qreal h, QPointF glint = QPointF(-0.25, -0.3)) {
  p.setPen(Qt::NoPen);
  p.setBrush(FeatureColour);
  p.drawEllipse(c, w / 2, h / 2);
  p.setBrush(QColor(255, 255, 255, 230));
  p.drawEllipse(c + QPointF(glint.x() * w, glint.y() * h), w * 0.2, w * 0.2);
}

void Stroke(QPainter& p, const QPainterPath& path, qreal width, const QColor& colour = FeatureColour) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
}

QPainterPath Line(QPointF a, QPointF b) {
  QPainterPath path(a);
  path.lineTo(b);
  return path;
}

// A drop of water: round at the bottom, pointed at the top.
void Drop(QPainter& p, QPointF bottomCentre, qreal r, qreal tilt) {
  p.save();
  p.translate(bottomCentre);
  p.rotate(tilt);
  QPainterPath drop;
  drop.moveTo(0, -r * 2.6);
  drop.cubicTo(r * 0.35, -r * 1.7, r * 1.0, -r * 1.0, r, 0);
  drop.arcTo(QRectF(-r, -r, 2 * r, 2 * r), 0, -180);
  drop.cubicTo(-r * 1.0, -r * 1.0, -r * 0.35, -r * 1.7, 0, -r * 2.6);
  QLinearGradient water(0, -r * 2.6, 0, r);
  water.setColorAt(0, QColor(170, 222, 255));
  water.setColorAt(1, QColor(40, 130, 230));
  p.setBrush(water);
  p.setPen(QPen(QColor(20, 90, 180), 1.0));
  p.drawPath(drop);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 210));
  p.drawEllipse(QPointF(-r * 0.38, -r * 0.2), r * 0.22, r * 0.36);
  p.restore();
}

// Clenched teeth behind a wide, tense smile.
void DrawGrimace(QPainter& p) {
  const QPointF c(52.5, 53.5);
  FaceDisc(p, c, 46);
  Stroke(p, Line(c + QPointF(-24, -25), c + QPointF(-10, -28)), 2.8);
  Stroke(p, Line(c + QPointF(10, -28), c + QPointF(24, -25)), 2.8);
  Eye(p, c + QPointF(-15, -13), 9, 13);
  Eye(p, c + QPointF(15, -13), 9, 13);

  const QRectF mouth(c.x() - 28, c.y() + 6, 56, 24);
  QPainterPath lips;
  lips.addRoundedRect(mouth, 11, 11);
  QLinearGradient enamel(mouth.topLeft(), mouth.bottomLeft());
  enamel.setColorAt(0, Qt::white);
  enamel.setColorAt(1, QColor(226, 226, 222));
  p.setBrush(enamel);
  p.setPen(Qt::NoPen);
  p.drawPath(lips);
  p.save();
  p.setClipPath(lips);
  const QPen gap(QColor(150, 140, 130), 1.2);
  p.setPen(gap);
  p.drawLine(QPointF(mouth.left(), mouth.center().y()), QPointF(mouth.right(), mouth.center().y()));
  for (int i = 1; i < 6; ++i) {
    const qreal x = mouth.left() + mouth.width() * i / 6.0;
    p.drawLine(QPointF(x, mouth.top()), QPointF(x, mouth.bottom()));
  }
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(FeatureColour, 2.4));
  p.drawPath(lips);
}

// Eyebrows raised in the middle, a hand on the head and a drop of sweat at the temple.
void DrawWorried(QPainter& p) {
  const QPointF c(45, 59);
  const qreal r = 41;
  FaceDisc(p, c, r);

  QPainterPath leftBrow(c + QPointF(-25, -15));
  leftBrow.quadTo(c + QPointF(-17, -22), c + QPointF(-7, -25));
  QPainterPath rightBrow(c + QPointF(7, -25));
  rightBrow.quadTo(c + QPointF(17, -22), c + QPointF(25, -15));
  Stroke(p, leftBrow, 2.8);
  Stroke(p, rightBrow, 2.8);
  Eye(p, c + QPointF(-13, -8), 9, 12);
  Eye(p, c + QPointF(13, -8), 9, 12);

  // A small open mouth, corners down.
  QPainterPath mouth(c + QPointF(-13, 22));
  mouth.cubicTo(c + QPointF(-10, 9), c + QPointF(10, 9), c + QPointF(13, 22));
  mouth.cubicTo(c + QPointF(6, 17), c + QPointF(-6, 17), c + QPointF(-13, 22));
  p.setBrush(QColor(120, 40, 30));
  p.setPen(QPen(FeatureColour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(mouth);

  Drop(p, c + QPointF(-33, -14), 5.2, -18);

  // The hand: forearm up the right side, palm on the crown, fingers over the top.
  const QColor skin(255, 207, 76);
  const QPen outline(FaceOutline.darker(115), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  QPainterPathStroker arm;
  arm.setCapStyle(Qt::RoundCap);
  arm.setWidth(14);
  QPainterPath hand = arm.createStroke(Line(QPointF(97, 112), QPointF(89, 40)));
  QPainterPath palm;
  palm.addEllipse(QPointF(80, 28), 13, 11);
  hand = hand.united(palm);
  const QPointF fingerRoots[] = {{72, 18}, {70, 24}, {70, 31}, {72, 37}};
  const QPointF fingerTips[] = {{56, 11}, {53, 18}, {54, 26}, {58, 32}};
  QPainterPathStroker finger;
  finger.setCapStyle(Qt::RoundCap);
  for (int i = 0; i < 4; ++i) {
    finger.setWidth(i == 3 ? 6.0 : 7.0);
    hand = hand.united(finger.createStroke(Line(fingerRoots[i], fingerTips[i])));
  }
  QPainterPathStroker thumbStroke;
  thumbStroke.setCapStyle(Qt::RoundCap);
  thumbStroke.setWidth(8);
  hand = hand.united(thumbStroke.createStroke(Line(QPointF(86, 34), QPointF(90, 20))));
  hand = hand.simplified();
  QLinearGradient shade(QPointF(60, 5), QPointF(100, 45));
  shade.setColorAt(0, skin.lighter(112));
  shade.setColorAt(1, skin.darker(106));
  p.setBrush(shade);
  p.setPen(outline);
  p.drawPath(hand);
  // Creases between the fingers.
  p.setPen(QPen(FaceOutline.darker(115), 1.0, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 3; ++i) {
    const QPointF a = (fingerTips[i] + fingerTips[i + 1]) / 2 + QPointF(3, 0);
    const QPointF b = (fingerRoots[i] + fingerRoots[i + 1]) / 2 + QPointF(-1, 0);
    p.drawLine(a, b);
  }
}

// Eyebrows sloping down to the sides, a frown and a tear on the cheek.
void DrawSad(QPainter& p) {
  const QPointF c(52.5, 53.5);
  FaceDisc(p, c, 46);
  QPainterPath leftBrow(c + QPointF(-26, -18));
  leftBrow.quadTo(c + QPointF(-18, -22), c + QPointF(-8, -28));
  QPainterPath rightBrow(c + QPointF(8, -28));
  rightBrow.quadTo(c + QPointF(18, -22), c + QPointF(26, -18));
  Stroke(p, leftBrow, 2.8);
  Stroke(p, rightBrow, 2.8);
  // Eyes looking down, their lids half closed.
  for (qreal side : {-1.0, 1.0}) {
    const QPointF eye = c + QPointF(side * 15, -8);
    Eye(p, eye, 10, 12, QPointF(-0.2, 0.05));
    QPainterPath lid(eye + QPointF(-7, -4));
    lid.quadTo(eye + QPointF(0, -10), eye + QPointF(7, -4));
    Stroke(p, lid, 1.6);
  }
  QPainterPath frown(c + QPointF(-20, 27));
  frown.cubicTo(c + QPointF(-12, 13), c + QPointF(12, 13), c + QPointF(20, 27));
  Stroke(p, frown, 3.2);
  Drop(p, c + QPointF(-17, 20), 5.8, 0);
}

QImage DrawFace(void (*features)(QPainter&)) {
  constexpr int size = 105;
  QImage big(size * Supersample, size * Supersample, QImage::Format_RGB32);
  big.fill(PaperColour);
  QPainter p(&big);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  p.scale(Supersample, Supersample);
  features(p);
  p.end();
  return big.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// ---------------------------------------------------------------------------------------
// The hand-position chart: a paragraph, then the ABNT2 keyboard shaded by finger with two
// hands resting on the home row.

enum class Finger { LeftLittle, LeftRing, LeftMiddle, LeftIndex, RightIndex, RightMiddle, RightRing, RightLittle,
                    Thumbs, None };

QColor FingerColour(Finger finger) {
  switch (finger) {
    case Finger::LeftLittle: return QColor(253, 214, 230);
    case Finger::LeftRing: return QColor(248, 182, 210);
    case Finger::LeftMiddle: return QColor(242, 148, 189);
    case Finger::LeftIndex: return QColor(234, 114, 166);
    case Finger::RightIndex: return QColor(76, 200, 222);
    case Finger::RightMiddle: return QColor(124, 216, 232);
    case Finger::RightRing: return QColor(166, 229, 240);
    case Finger::RightLittle: return QColor(206, 242, 248);
    case Finger::Thumbs: return QColor(236, 232, 246);
    case Finger::None: break;
  }
  return QColor(206, 208, 214);
}

struct Key {
  QString base;     // what the key types
  QString shifted;  // with Shift, printed above; empty for letters and named keys
  double width;     // in key units
  Finger finger;
  bool homeBump = false;
};

using Row = std::vector<Key>;

std::vector<Row> Abnt2Rows() {
  using F = Finger;
  auto k = [](const char* base, const char* shifted, F finger) {
    return Key{QString::fromUtf8(base), QString::fromUtf8(shifted), 1.0, finger};
  };
  auto named = [](const char* name, double width, F finger) {
    return Key{QString::fromUtf8(name), QString(), width, finger};
  };
  Row numbers = {k("'", "\"", F::LeftLittle), k("1", "!", F::LeftLittle), k("2", "@", F::LeftRing),
                 k("3", "#", F::LeftMiddle), k("4", "$", F::LeftIndex), k("5", "%", F::LeftIndex),
                 k("6", "¨", F::RightIndex), k("7", "&", F::RightIndex), k("8", "*", F::RightMiddle),
                 k("9", "(", F::RightRing), k("0", ")", F::RightLittle), k("-", "_", F::RightLittle),
                 k("=", "+", F::RightLittle), named("←", 2.0, F::RightLittle)};
  Row top = {named("Tab", 1.5, F::LeftLittle), k("Q", "", F::LeftLittle), k("W", "", F::LeftRing),
             k("E", "", F::LeftMiddle), k("R", "", F::LeftIndex), k("T", "", F::LeftIndex),
             k("Y", "", F::RightIndex), k("U", "", F::RightIndex), k("I", "", F::RightMiddle),
             k("O", "", F::RightRing), k("P", "", F::RightLittle), k("´", "`", F::RightLittle),
             k("[", "{", F::RightLittle)};
  Row home = {named("Caps", 1.75, F::LeftLittle), k("A", "", F::LeftLittle), k("S", "", F::LeftRing),
              k("D", "", F::LeftMiddle), k("F", "", F::LeftIndex), k("G", "", F::LeftIndex),
              k("H", "", F::RightIndex), k("J", "", F::RightIndex), k("K", "", F::RightMiddle),
              k("L", "", F::RightRing), k("Ç", "", F::RightLittle), k("~", "^", F::RightLittle),
              k("]", "}", F::RightLittle)};
  home[4].homeBump = true;
  home[7].homeBump = true;
  Row bottom = {named("Shift", 1.25, F::LeftLittle), k("\\", "|", F::LeftLittle), k("Z", "", F::LeftLittle),
                k("X", "", F::LeftRing), k("C", "", F::LeftMiddle), k("V", "", F::LeftIndex),
                k("B", "", F::LeftIndex), k("N", "", F::RightIndex), k("M", "", F::RightIndex),
                k(",", "<", F::RightMiddle), k(".", ">", F::RightRing), k(";", ":", F::RightLittle),
                k("/", "?", F::RightLittle), named("Shift", 1.75, F::RightLittle)};
  Row space = {named("Ctrl", 1.25, F::None), named("", 1.25, F::None), named("Alt", 1.25, F::None),
               named("", 6.25, F::Thumbs), named("AltGr", 1.25, F::None), named("", 1.25, F::None),
               named("", 1.25, F::None), named("Ctrl", 1.25, F::None)};
  return {numbers, top, home, bottom, space};
}

struct KeyboardGeometry {
  QPointF origin;      // top-left of the first key
  qreal unit = 37;     // horizontal pitch of a one-unit key
  qreal pitch = 35;    // vertical pitch of a row
  qreal gap = 3;       // space between neighbouring keys
  QRectF KeyRect(int row, double column, double width) const {
    return QRectF(origin.x() + column * unit + gap / 2, origin.y() + row * pitch + gap / 2, width * unit - gap,
                  pitch - gap);
  }
  QPointF Centre(int row, double column) const {
    return QPointF(origin.x() + column * unit, origin.y() + row * pitch + pitch / 2);
  }
};

void DrawKeycap(QPainter& p, const QPainterPath& outer, const QColor& colour) {
  p.setPen(QPen(colour.darker(150), 1.0));
  p.setBrush(colour.darker(118));
  p.drawPath(outer);
  const QRectF box = outer.boundingRect();
  QLinearGradient face(box.topLeft(), box.bottomLeft());
  face.setColorAt(0, colour.lighter(112));
  face.setColorAt(1, colour);
  p.setPen(Qt::NoPen);
  p.setBrush(face);
  QPainterPath top;
  top.addRoundedRect(box.adjusted(2.5, 1.5, -2.5, -4.5), 3, 3);
  p.drawPath(top.intersected(outer));
}

void DrawKeyLabel(QPainter& p, const QRectF& box, const Key& key) {
  const QRectF face = box.adjusted(2.5, 1.5, -2.5, -4.5);
  p.setPen(QColor(28, 30, 36));
  if (!key.shifted.isEmpty()) {
    p.setFont(PixelFont(FontFamily, 11, QFont::Bold));
    p.drawText(face.adjusted(5, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, key.shifted);
    p.drawText(face.adjusted(5, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom, key.base);
  } else if (key.width == 1.0) {
    p.setFont(PixelFont(FontFamily, 14, QFont::Bold));
    p.drawText(face, Qt::AlignCenter, key.base);
  } else {
    p.setFont(PixelFont(FontFamily, 10, QFont::Bold));
    p.setPen(QColor(60, 62, 70));
    p.drawText(face.adjusted(5, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, key.base);
  }
  if (key.homeBump) {  // the ridge that lets the index fingers find F and J
    p.setPen(QPen(QColor(40, 40, 50), 1.6, Qt::SolidLine, Qt::RoundCap));
    const qreal y = face.bottom() - 1.5;
    p.drawLine(QPointF(face.center().x() - 4, y), QPointF(face.center().x() + 4, y));
  }
}

// The keys come in two layers so the hands can lie between the keycaps and their labels:
// every letter stays readable under a finger.
enum class KeyLayer { Caps, Labels };

void DrawKeyboard(QPainter& p, const KeyboardGeometry& g, KeyLayer layer) {
  const auto rows = Abnt2Rows();
  if (layer == KeyLayer::Caps) {
    const QRectF keys(g.origin, QSizeF(15 * g.unit, 5 * g.pitch));
    QLinearGradient caseFill(keys.topLeft(), keys.bottomLeft());
    caseFill.setColorAt(0, QColor(78, 84, 96));
    caseFill.setColorAt(1, QColor(52, 56, 66));
    p.setPen(QPen(QColor(34, 36, 44), 1.2));
    p.setBrush(caseFill);
    p.drawRoundedRect(keys.adjusted(-7, -7, 7, 7), 9, 9);
  }
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    double column = 0;
    for (const Key& key : rows[r]) {
      const QRectF box = g.KeyRect(r, column, key.width);
      if (layer == KeyLayer::Caps) {
        QPainterPath outer;
        outer.addRoundedRect(box, 4, 4);
        DrawKeycap(p, outer, FingerColour(key.finger));
      } else {
        DrawKeyLabel(p, box, key);
      }
      column += key.width;
    }
  }
  // The tall Enter of ABNT2 spans the top letter row and the home row.
  const QRectF enterLower = g.KeyRect(1, 13.75, 1.25).adjusted(0, 0, 0, g.pitch);
  if (layer == KeyLayer::Caps) {
    QPainterPath enter;
    enter.addRoundedRect(g.KeyRect(1, 13.5, 1.5), 4, 4);
    QPainterPath lower;
    lower.addRoundedRect(enterLower, 4, 4);
    DrawKeycap(p, enter.united(lower).simplified(), FingerColour(Finger::RightLittle));
  } else {
    p.setFont(PixelFont(FontFamily, 10, QFont::Bold));
    p.setPen(QColor(60, 62, 70));
    p.drawText(enterLower.adjusted(0, 0, 0, -4), Qt::AlignCenter, QStringLiteral("Enter\n↵"));
  }
}

// One resting hand, side -1 for the left (thumb to the right) and +1 for the right. Tips
// are the fingertips from the little finger to the index, then the thumb's.
void DrawHand(QPainter& p, const std::vector<QPointF>& tips, qreal side, qreal knuckleY, qreal wristY) {
  const qreal handX = (tips[0].x() + tips[3].x()) / 2;
  const qreal spread = 24;
  const qreal widths[] = {15, 17, 18, 18, 19};
  QPainterPath hand;
  std::vector<QPointF> knuckles;
  QPainterPathStroker finger;
  finger.setCapStyle(Qt::RoundCap);
  for (int i = 0; i < 4; ++i) {
    const qreal drop = (i == 0) ? 9 : (i == 2 ? 0 : 3);  // the little finger's root sits lowest
    knuckles.push_back(QPointF(handX + (1.5 - i) * spread * side, knuckleY + drop));
    finger.setWidth(widths[i]);
    hand = hand.united(finger.createStroke(Line(tips[i], knuckles.back())));
  }
  const qreal outer = knuckles[0].x() + 10 * side;  // beyond the little finger
  const qreal inner = knuckles[3].x() - 10 * side;  // beyond the index
  QPainterPath palm(QPointF(outer, knuckleY + 10));
  palm.quadTo(QPointF(handX, knuckleY - 10), QPointF(inner, knuckleY + 4));
  palm.cubicTo(QPointF(inner - 4 * side, knuckleY + 40), QPointF(inner + 2 * side, wristY - 50),
               QPointF(inner + 12 * side, wristY));
  palm.lineTo(QPointF(outer - 14 * side, wristY));
  palm.cubicTo(QPointF(outer - 10 * side, wristY - 40), QPointF(outer + 2 * side, knuckleY + 50),
               QPointF(outer, knuckleY + 10));
  hand = hand.united(palm);
  // The thumb leaves the inner side of the palm and rests on the space bar.
  const QPointF thumbRoot(inner + 6 * side, knuckleY + 40);
  QPainterPath thumbLine(thumbRoot);
  thumbLine.quadTo(QPointF((thumbRoot.x() + tips[4].x()) / 2, tips[4].y() + 6), tips[4]);
  QPainterPathStroker thumb;
  thumb.setCapStyle(Qt::RoundCap);
  thumb.setWidth(widths[4]);
  hand = hand.united(thumb.createStroke(thumbLine)).simplified();

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 20, 10, 30));  // a soft shadow lifts the hand off the keys
  p.drawPath(hand.translated(2, 3));
  QLinearGradient skin(QPointF(0, tips[2].y()), QPointF(0, wristY));
  skin.setColorAt(0, QColor(255, 232, 208, 135));
  skin.setColorAt(1, QColor(246, 204, 170, 200));
  p.setBrush(skin);
  p.drawPath(hand);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(140, 84, 52), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(hand);
  // Nails at the fingertips, turned along each finger.
  for (int i = 0; i < 5; ++i) {
    const QPointF toward = (i < 4 ? knuckles[i] : thumbRoot) - tips[i];
    const qreal angle = qRadiansToDegrees(std::atan2(toward.y(), toward.x())) - 90;
    p.save();
    p.translate(tips[i]);
    p.rotate(angle);
    p.setBrush(QColor(255, 246, 240, 130));
    p.setPen(QPen(QColor(160, 104, 74), 1.0));
    p.drawRoundedRect(QRectF(-widths[i] * 0.28, -widths[i] * 0.3, widths[i] * 0.56, widths[i] * 0.62), 3, 3);
    p.restore();
  }
}

void DrawFingerNames(QPainter& p, const KeyboardGeometry& g, qreal top) {
  struct Zone {
    double from, to;
    Finger finger;
    const char* name;
  };
  const Zone zones[] = {{0, 2, Finger::LeftLittle, "mínimo"},  {2, 3, Finger::LeftRing, "anelar"},
                        {3, 4, Finger::LeftMiddle, "médio"},   {4, 6, Finger::LeftIndex, "indicador"},
                        {6, 8, Finger::RightIndex, "indicador"}, {8, 9, Finger::RightMiddle, "médio"},
                        {9, 10, Finger::RightRing, "anelar"},  {10, 15, Finger::RightLittle, "mínimo"}};
  // Hand titles above the finger names.
  p.setFont(PixelFont(FontFamily, 12, QFont::Bold));
  p.setPen(QColor(40, 42, 52));
  const qreal left = g.origin.x();
  p.drawText(QRectF(left, top, 6 * g.unit, 15), Qt::AlignCenter, QStringLiteral("Mão esquerda"));
  p.drawText(QRectF(left + 6 * g.unit, top, 9 * g.unit, 15), Qt::AlignCenter, QStringLiteral("Mão direita"));
  p.setPen(QPen(QColor(120, 124, 134), 1.0));
  p.drawLine(QPointF(left + 6 * g.unit, top + 1), QPointF(left + 6 * g.unit, top + 36));

  // One size for every name: the largest at which the names fit the one-key zones.
  QFont font;
  for (qreal size = 13; size >= 8; size -= 0.5) {
    font = PixelFont(NarrowFamily, size, QFont::Bold);
    bool fits = true;
    for (const Zone& zone : zones) {
      const qreal room = (zone.to - zone.from) * g.unit - 4;
      fits = fits && QFontMetricsF(font).horizontalAdvance(QString::fromUtf8(zone.name)) <= room;
    }
    if (fits) break;
  }
  const qreal tagTop = top + 18;
  for (const Zone& zone : zones) {
    const QRectF tag(left + zone.from * g.unit + 1.5, tagTop, (zone.to - zone.from) * g.unit - 3, 17);
    const QColor colour = FingerColour(zone.finger);
    p.setPen(QPen(colour.darker(150), 1.0));
    p.setBrush(colour);
    p.drawRoundedRect(tag, 4, 4);
    const QString name = QString::fromUtf8(zone.name);
    p.setFont(font);
    p.setPen(QColor(28, 30, 36));
    p.drawText(tag, Qt::AlignCenter, name);
  }
}

QImage DrawHandPositionChart() {
  const QSize size(593, 365);
  QImage chart(size, QImage::Format_RGB32);
  chart.fill(Qt::white);
  QPainter p(&chart);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);

  QTextDocument text;
  text.setDefaultFont(PixelFont(FontFamily, 14));
  text.setDocumentMargin(0);
  text.setTextWidth(size.width() - 28);
  text.setHtml(QString::fromUtf8(
      "<div style='color:#1a1a1a; line-height:125%'>Sempre que começar a digitar, coloque os dedos na "
      "<b style='color:#d01010'>posição básica</b>: os dedos da mão esquerda sobre as teclas "
      "A, S, D e F, os da mão direita sobre J, K, L e Ç, e o polegar sobre a barra de espaço.</div>"));
  p.save();
  p.translate(14, 8);
  text.drawContents(&p);
  p.restore();

  KeyboardGeometry g;
  g.origin = QPointF((size.width() - 15 * g.unit) / 2, 118);
  DrawFingerNames(p, g, 68);
  DrawKeyboard(p, g, KeyLayer::Caps);

  const qreal homeY = g.Centre(2, 0).y() - 3;
  const qreal spaceY = g.Centre(4, 0).y() - 1;
  const qreal knuckleY = homeY + 50;
  const qreal wristY = size.height() + 4;
  DrawHand(p, {QPointF(g.Centre(2, 2.25).x(), homeY), QPointF(g.Centre(2, 3.25).x(), homeY),
               QPointF(g.Centre(2, 4.25).x(), homeY), QPointF(g.Centre(2, 5.25).x(), homeY),
               QPointF(g.Centre(4, 6.1).x(), spaceY)},
           -1, knuckleY, wristY);
  DrawHand(p, {QPointF(g.Centre(2, 11.25).x(), homeY), QPointF(g.Centre(2, 10.25).x(), homeY),
               QPointF(g.Centre(2, 9.25).x(), homeY), QPointF(g.Centre(2, 8.25).x(), homeY),
               QPointF(g.Centre(4, 7.65).x(), spaceY)},
           1, knuckleY, wristY);
  DrawKeyboard(p, g, KeyLayer::Labels);
  p.end();
  return chart;
}

// ---------------------------------------------------------------------------------------
// The maker's logo: a keycap with "ç" beside the name. The bottom row stays plain: the
// main window shows the top 74 rows only.

QImage DrawLogo() {
  const QSize size(192, 75);
  QImage big(size * Supersample, QImage::Format_RGB32);
  big.fill(Qt::white);
  QPainter p(&big);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  p.scale(Supersample, Supersample);

  const QColor navy(24, 46, 98);
  const QColor pink(226, 58, 132);
  const QRectF cap(7, 11, 50, 50);
  QPainterPath outer;
  outer.addRoundedRect(cap, 9, 9);
  p.setPen(QPen(navy, 1.4));
  p.setBrush(QColor(206, 214, 232));
  p.drawPath(outer);
  const QRectF face = cap.adjusted(5, 3.5, -5, -8);
  QLinearGradient shine(face.topLeft(), face.bottomLeft());
  shine.setColorAt(0, Qt::white);
  shine.setColorAt(1, QColor(232, 237, 248));
  p.setPen(QPen(QColor(170, 182, 210), 0.8));
  p.setBrush(shine);
  p.drawRoundedRect(face, 6, 6);
  p.setFont(PixelFont(FontFamily, 34, QFont::Bold));
  p.setPen(pink);
  p.drawText(face.adjusted(0, -3, 0, 0), Qt::AlignCenter, QString::fromUtf8("ç"));

  const qreal textLeft = 65;
  const qreal room = size.width() - textLeft - 5;
  QFont small = PixelFont(FontFamily, 13, QFont::Bold);
  small.setLetterSpacing(QFont::AbsoluteSpacing, 2.6);
  p.setFont(small);
  p.setPen(QColor(96, 108, 134));
  p.drawText(QPointF(textLeft + 1, 29), QStringLiteral("OFICINA"));

  const QString tecla = QStringLiteral("Tecla");
  const QString dim = QStringLiteral("dim");
  QFont word = PixelFont(FontFamily, 30, QFont::Bold);
  for (int px = 30; px > 16; --px) {
    word = PixelFont(FontFamily, px, QFont::Bold);
    word.setLetterSpacing(QFont::AbsoluteSpacing, -0.6);
    if (QFontMetricsF(word).horizontalAdvance(tecla + dim) <= room) break;
  }
  p.setFont(word);
  p.setPen(navy);
  p.drawText(QPointF(textLeft, 57), tecla);
  p.setPen(pink);
  p.drawText(QPointF(textLeft + QFontMetricsF(word).horizontalAdvance(tecla), 57), dim);
  p.setPen(Qt::NoPen);
  p.setBrush(pink);
  p.drawRoundedRect(QRectF(textLeft + 1, 63, room - 2, 2.4), 1.2, 1.2);
  p.end();
  return big.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TECLADIM_ASSETS_DIR);
  bool ok = SaveRgb(DrawFace(DrawGrimace), folder, QStringLiteral("face_grimace.png"));
  ok = SaveRgb(DrawFace(DrawWorried), folder, QStringLiteral("face_worried.png")) && ok;
  ok = SaveRgb(DrawFace(DrawSad), folder, QStringLiteral("face_sad.png")) && ok;
  ok = SaveRgb(DrawHandPositionChart(), folder, QStringLiteral("hand_position.png")) && ok;
  ok = SaveRgb(DrawLogo(), folder, QStringLiteral("logo.png")) && ok;
  return ok ? 0 : 1;
}
