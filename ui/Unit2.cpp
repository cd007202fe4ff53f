#include "ui/Unit2.h"

#include <algorithm>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "ui/assets/assets.h"
#include "ui/window_fonts.h"

namespace tecladim {

namespace {

constexpr QSize ClientSize(603, 425);
const QColor BaseColour(240, 240, 240);

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  LoadPictures();
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Posição "));
  setFixedSize(ClientSize);
  setFont(TahomaFont(11, Weight::Regular));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, BaseColour);
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);
  BuildControls();
}

void TForm2::BuildControls() {
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(QRect(QPoint(0, 0), ClientSize));
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The chart is decoded at the first show: most runs never open this window.

  Label1 = new QLabel(QStringLiteral("IMPORTANTE: Não olhe para o teclado, olhe para a tela"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(TahomaFont(16, Weight::Bold));
  QPalette red = Label1->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label1->setPalette(red);
  Label1->setGeometry(31, 382, 456, 19);
  // A wider stand-in font must not cut the warning short: the label grows to its text.
  Label1->resize(std::max(456, Label1->sizeHint().width()), std::max(19, Label1->sizeHint().height()));

  BitBtn1 = new QPushButton(QStringLiteral("Iniciar"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(505, 377, 90, 33);
  BitBtn1->setFocusPolicy(Qt::StrongFocus);
  connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
}

void TForm2::BitBtn1Click() { close(); }

void TForm2::showEvent(QShowEvent* event) {
  if (Image1->pixmap().isNull()) Image1->setPixmap(ReadPicture(HandPositionPicture()));
  QDialog::showEvent(event);
  CentreOnScreen();
  BitBtn1->setFocus(Qt::OtherFocusReason);
}

void TForm2::CentreOnScreen() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize frame = frameGeometry().size();
  move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // The chart closes by "Iniciar" or the title bar only, not by Escape.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tecladim
