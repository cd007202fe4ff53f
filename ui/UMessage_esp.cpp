#include "ui/UMessage_esp.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include "ui/assets/assets.h"

namespace tecladim {

namespace {

constexpr QSize ClientSize(795, 387);
constexpr int FaceSize = 105;
const QColor BaseColour(240, 240, 240);
const QColor ShapeColour(255, 166, 210);
const QColor CountdownColour(128, 0, 128);
const QString CountdownText = QStringLiteral("1 Segundos");

// Verdana where the machine has it, else its design sibling DejaVu Sans.
QFont VerdanaFont(int pixelSize, QFont::Weight weight) {
  QFont font;
  font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

// A label that sizes itself to its text, growing to the right of its place.
QLabel* AutoSizeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& place,
                      const QFont& font, const QColor& colour) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(font);
  SetTextColour(label, colour);
  label->setGeometry(place);
  label->resize(std::max(place.width(), label->sizeHint().width()),
                std::max(place.height(), label->sizeHint().height()));
  return label;
}

QLabel* FaceImage(QWidget* parent, const QString& name, const QPoint& at, const QString& picture) {
  auto* image = new QLabel(parent);
  image->setObjectName(name);
  image->setGeometry(QRect(at, QSize(FaceSize, FaceSize)));
  image->setScaledContents(true);
  if (!picture.isEmpty()) image->setPixmap(ReadPicture(picture));
  return image;
}

}  // namespace

TMessage_esp::TMessage_esp(PlatformServices& platform, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), platform_(platform) {
  LoadPictures();
  setObjectName(QStringLiteral("Message_esp"));
  setWindowTitle(QStringLiteral(" "));
  setModal(true);
  setFixedSize(ClientSize);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, BaseColour);
  setPalette(palette);
  setAutoFillBackground(true);
  // No control takes the focus, so the window itself has the keyboard while it shows.
  setFocusPolicy(Qt::StrongFocus);
  BuildControls();
  Timer1->start();
}

void TMessage_esp::BuildControls() {
  Shape1 = new QFrame(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setGeometry(2, 2, 791, 383);
  Shape1->setStyleSheet(QStringLiteral("QFrame#Shape1 { background-color: %1; border: 1px solid black; }")
                            .arg(ShapeColour.name()));

  Label1 = AutoSizeLabel(this, QStringLiteral("Label1"), QStringLiteral("PARADO"), QRect(12, 15, 76, 18),
                         VerdanaFont(16, QFont::Bold), Qt::white);

  msg = new QLabel(QStringLiteral("TESTE"), this);
  msg->setObjectName(QStringLiteral("msg"));
  msg->setGeometry(129, 8, 652, 342);
  msg->setFont(VerdanaFont(21, QFont::Bold));
  SetTextColour(msg, Qt::black);
  msg->setWordWrap(true);
  msg->setTextFormat(Qt::PlainText);
  msg->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Button1 = new QToolButton(this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setText(QStringLiteral("OK"));
  Button1->setGeometry(347, 357, 75, 25);
  Button1->setFont(VerdanaFont(11, QFont::Normal));
  Button1->setFocusPolicy(Qt::NoFocus);
  Button1->hide();
  connect(Button1, &QToolButton::clicked, this, &TMessage_esp::Button1Click);

  Label2 = AutoSizeLabel(this, QStringLiteral("Label2"), CountdownText, QRect(125, 358, 96, 18),
                         VerdanaFont(15, QFont::Bold), CountdownColour);

  BuildFaces();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(AlertFlashMs);
  connect(Timer1, &QTimer::timeout, this, &TMessage_esp::Timer1Timer);
}

// Three faces kept hidden, and the one the window shows, drawn from them at random.
void TMessage_esp::BuildFaces() {
  Image1 = FaceImage(this, QStringLiteral("Image1"), QPoint(56, 192), GrimaceFacePicture());
  Image2 = FaceImage(this, QStringLiteral("Image2"), QPoint(199, 192), WorriedFacePicture());
  Image3 = FaceImage(this, QStringLiteral("Image3"), QPoint(347, 192), SadFacePicture());
  Image1->hide();
  Image2->hide();
  Image3->hide();
  Image4 = FaceImage(this, QStringLiteral("Image4"), QPoint(8, 39), QString());
}

void TMessage_esp::SetMessage(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  msg->setText(lines);
}

void TMessage_esp::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOverOwner();
  FormShow();
  activateWindow();
  setFocus(Qt::ActiveWindowFocusReason);
}

void TMessage_esp::FormShow() {
  platform_.ReseedRandom();
  if (platform_.FileExists(AlertSoundFile)) platform_.PlaySoundFile(AlertSoundFile);
  QLabel* const faces[] = {Image1, Image2, Image3};
  const int k = std::clamp(platform_.RandomBelow(3), 0, 2);  // never an index past the faces
  Image4->setPixmap(faces[k]->pixmap());
}

void TMessage_esp::CentreOverOwner() {
  QRect over;
  if (QWidget* owner = parentWidget()) {
    over = owner->window()->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    over = screen->availableGeometry();
  }
  if (over.isValid()) {
    move(over.x() + (over.width() - width()) / 2, over.y() + (over.height() - height()) / 2);
  }
}

void TMessage_esp::Timer1Timer() {
  // Label2 reads "1 Segundos" for the window's whole life: the first tick ends the display.
  CloseDisplay();
}

void TMessage_esp::Button1Click() { CloseDisplay(); }

void TMessage_esp::CloseDisplay() {
  closing_ = true;
  close();
}

void TMessage_esp::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    event->ignore();  // a close from outside (window manager, Alt+F4) is one more swallowed key
    return;
  }
  FormClose();
  QDialog::closeEvent(event);
}

void TMessage_esp::FormClose() {
  Timer1->stop();
  // Freed once the modal display has returned and pending events have been processed.
  setAttribute(Qt::WA_DeleteOnClose);
}

void TMessage_esp::reject() {
  // QDialog rejects on Escape and on a close from outside; only our own paths may end it.
  if (closing_) QDialog::reject();
}

void TMessage_esp::keyPressEvent(QKeyEvent* event) { event->accept(); }

void TMessage_esp::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void ShowAlertFlash(PlatformServices& platform, QWidget* owner, const QString& text) {
  auto* alert = new TMessage_esp(platform, owner);
  alert->SetMessage(text);
  alert->exec();
}

void ShowAlertReport(PlatformServices& platform, QWidget* owner, const QString& text) {
  auto* alert = new TMessage_esp(platform, owner);
  alert->Timer1->stop();
  alert->Label2->hide();
  alert->Button1->show();
  alert->SetMessage(text);
  alert->exec();
}

}  // namespace tecladim
