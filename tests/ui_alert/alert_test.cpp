#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>
#include <functional>

#include "platform/fake_services.h"
#include "ui/UMessage_esp.h"
#include "ui/Unit2.h"
#include "ui/assets/assets.h"

using tecladim::FakeServices;
using tecladim::TForm2;
using tecladim::TMessage_esp;

namespace {

// Runs `whileShown` inside the modal display of `dialog`, once its nested loop runs.
int ExecWhile(QDialog& dialog, const std::function<void()>& whileShown) {
  QTimer::singleShot(0, &dialog, whileShown);
  return dialog.exec();
}

// A modal window counts as active while its owner is, so wait for the keyboard itself.
bool WaitForKeyboard(QWidget* window) {
  return QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
}

void FlushDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QImage FaceOn(const QLabel* image) { return image->pixmap().toImage(); }

// The alert on display, as the student sees it: the modal window that has the keyboard.
TMessage_esp* ShownAlert() { return qobject_cast<TMessage_esp*>(QApplication::activeModalWidget()); }

// The main window's place in these tests: a window with a focused line edit.
struct Owner {
  QWidget window;
  QLineEdit* edit = new QLineEdit(&window);
  Owner() {
    window.setGeometry(100, 50, 1350, 700);
    edit->setGeometry(10, 10, 300, 30);
    window.show();
    window.activateWindow();
    edit->setFocus();
  }
};

}  // namespace

class AlertTest : public QObject {
  Q_OBJECT

 private slots:
  void flashClosesAtFirstTickAndFreesItself();
  void reportStaysUntilOkAndIgnoresKeys();
  void keysTypedDuringFlashReachNothingBehind();
  void showPlaysSoundOnlyWhenPresent_data();
  void showPlaysSoundOnlyWhenPresent();
  void faceIsTheOneTheRandomPicks_data();
  void faceIsTheOneTheRandomPicks();
  void carriageReturnsStartNewLines_data();
  void carriageReturnsStartNewLines();
  void centredOverOwner();
  void layoutOfTheAlert_data();
  void layoutOfTheAlert();
  void longTextIsCutNotGrown();
  void picturesAreCarriedAsRgb_data();
  void picturesAreCarriedAsRgb();
  void chartHidesOnIniciarAndOnClose();
  void layoutOfTheChartWindow();
};

void AlertTest::flashClosesAtFirstTickAndFreesItself() {
  Owner owner;
  FakeServices platform;
  QPointer<TMessage_esp> alert = new TMessage_esp(platform, &owner.window);
  QVERIFY(alert->Timer1->isActive());
  QCOMPARE(alert->Timer1->interval(), 1000);
  bool shownAtTick = false;
  const int result = ExecWhile(*alert, [&] {
    shownAtTick = alert->isVisible();
    alert->Timer1Timer();
  });
  QVERIFY(shownAtTick);
  QCOMPARE(result, int(QDialog::Rejected));
  QVERIFY(!alert.isNull());  // freed only once the display has returned
  QVERIFY(alert->isHidden());
  FlushDeferredDeletes();
  QVERIFY(alert.isNull());
}

void AlertTest::reportStaysUntilOkAndIgnoresKeys() {
  Owner owner;
  FakeServices platform;
  bool survivedKeys = false;
  bool okTakesFocus = true;
  bool countdownShown = true;
  QTimer::singleShot(0, [&] {
    TMessage_esp* report = ShownAlert();
    QVERIFY(report);
    QVERIFY(WaitForKeyboard(report));
    countdownShown = report->Timer1->isActive() || report->Label2->isVisible();
    okTakesFocus = report->Button1->focusPolicy() != Qt::NoFocus;
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
      QTest::keyClick(QGuiApplication::focusWindow(), key);
    }
    // A close that is not the window's own (window manager, Alt+F4) is refused as well.
    report->close();
    report->reject();
    survivedKeys = report->isVisible();
    QTest::mouseClick(report->Button1, Qt::LeftButton);
  });
  tecladim::ShowAlertReport(platform, &owner.window, QStringLiteral("Parabens, chame seu instrutor."));
  QVERIFY(survivedKeys);
  QVERIFY(!okTakesFocus);
  QVERIFY(!countdownShown);
  FlushDeferredDeletes();
  QVERIFY(owner.window.findChildren<TMessage_esp*>().isEmpty());  // the report freed itself
}

void AlertTest::keysTypedDuringFlashReachNothingBehind() {
  Owner owner;
  QVERIFY(WaitForKeyboard(&owner.window));
  FakeServices platform;
  bool alertHadKeyboard = false;
  QTimer::singleShot(0, [&] {
    TMessage_esp* flash = ShownAlert();
    QVERIFY(WaitForKeyboard(flash));
    alertHadKeyboard = QApplication::focusWidget() == flash;
    for (char c : {'a', 'b', 'c'}) QTest::keyClick(QGuiApplication::focusWindow(), c);
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Return);  // a queued line advance
    QTest::keyClick(owner.window.windowHandle(), 'x');                 // straight at the window behind
    flash->Timer1Timer();
  });
  tecladim::ShowAlertFlash(platform, &owner.window, QStringLiteral("Você errou"));
  QVERIFY(alertHadKeyboard);
  QCOMPARE(owner.edit->text(), QString());
  FlushDeferredDeletes();
}

void AlertTest::showPlaysSoundOnlyWhenPresent_data() {
  QTest::addColumn<bool>("present");
  QTest::addColumn<int>("played");
  QTest::newRow("erro.wav in the working folder plays once") << true << 1;
  QTest::newRow("no erro.wav is silent") << false << 0;
}

void AlertTest::showPlaysSoundOnlyWhenPresent() {
  QFETCH(bool, present);
  QFETCH(int, played);
  FakeServices platform;
  if (present) platform.existingFiles.insert(QStringLiteral("erro.wav"));
  auto* alert = new TMessage_esp(platform, nullptr);
  ExecWhile(*alert, [alert] { alert->Timer1Timer(); });
  QCOMPARE(platform.fileQueries, std::vector<QString>{QStringLiteral("erro.wav")});
  QCOMPARE(platform.sounds, std::vector<QString>(played, QStringLiteral("erro.wav")));
  QCOMPARE(platform.reseeds, 1);
  QCOMPARE(platform.randomRanges, std::vector<int>{3});
  FlushDeferredDeletes();
}

void AlertTest::faceIsTheOneTheRandomPicks_data() {
  QTest::addColumn<int>("k");
  QTest::addColumn<QString>("source");
  QTest::newRow("0 shows the grimace") << 0 << QStringLiteral("Image1");
  QTest::newRow("1 shows the worried face") << 1 << QStringLiteral("Image2");
  QTest::newRow("2 shows the sad face") << 2 << QStringLiteral("Image3");
}

void AlertTest::faceIsTheOneTheRandomPicks() {
  QFETCH(int, k);
  QFETCH(QString, source);
  FakeServices platform;
  platform.randomScript = {k};
  QPointer<TMessage_esp> alert = new TMessage_esp(platform, nullptr);
  auto* shown = alert->findChild<QLabel*>(QStringLiteral("Image4"));
  QVERIFY(shown->pixmap().isNull());  // empty until the window is shown
  QImage face;
  ExecWhile(*alert, [&] {
    face = FaceOn(shown);
    alert->Timer1Timer();
  });
  QVERIFY(!face.isNull());
  QCOMPARE(face, FaceOn(alert->findChild<QLabel*>(source)));
  for (const char* other : {"Image1", "Image2", "Image3"}) {
    auto* image = alert->findChild<QLabel*>(QString::fromLatin1(other));
    QVERIFY(image->isHidden());
    if (image->objectName() != source) QVERIFY(FaceOn(image) != face);
  }
  FlushDeferredDeletes();
}

void AlertTest::carriageReturnsStartNewLines_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("shown");
  QTest::newRow("one line") << QStringLiteral("Você errou") << QStringLiteral("Você errou");
  QTest::newRow("report lines and blank lines")
      << QStringLiteral("Parabens, chame seu instrutor.\r\rErros: 3\rFim: 10:01:35")
      << QStringLiteral("Parabens, chame seu instrutor.\n\nErros: 3\nFim: 10:01:35");
  QTest::newRow("CR LF is one line break") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb");
}

void AlertTest::carriageReturnsStartNewLines() {
  QFETCH(QString, text);
  QFETCH(QString, shown);
  FakeServices platform;
  TMessage_esp alert(platform, nullptr);
  QCOMPARE(alert.msg->text(), QStringLiteral("TESTE"));
  alert.SetMessage(text);
  QCOMPARE(alert.msg->text(), shown);
}

void AlertTest::centredOverOwner() {
  Owner owner;
  const QRect frame = owner.window.frameGeometry();
  FakeServices platform;
  auto* alert = new TMessage_esp(platform, &owner.window);
  QPoint at;
  ExecWhile(*alert, [&] {
    at = alert->geometry().topLeft();
    alert->Timer1Timer();
  });
  // The middle of the alert lies on the middle of the main window's frame.
  const QPoint offCentre = QRect(at, QSize(795, 387)).center() - frame.center();
  QVERIFY2(offCentre.manhattanLength() <= 1, qPrintable(QStringLiteral("off by %1, %2").arg(offCentre.x()).arg(offCentre.y())));
  FlushDeferredDeletes();
}

void AlertTest::layoutOfTheAlert_data() {
  QTest::addColumn<QString>("control");
  QTest::addColumn<QRect>("place");
  QTest::newRow("pink shape") << QStringLiteral("Shape1") << QRect(2, 2, 791, 383);
  QTest::newRow("message") << QStringLiteral("msg") << QRect(129, 8, 652, 342);
  QTest::newRow("OK") << QStringLiteral("Button1") << QRect(347, 357, 75, 25);
  QTest::newRow("face on display") << QStringLiteral("Image4") << QRect(8, 39, 105, 105);
}

void AlertTest::layoutOfTheAlert() {
  QFETCH(QString, control);
  QFETCH(QRect, place);
  FakeServices platform;
  TMessage_esp alert(platform, nullptr);
  QCOMPARE(alert.size(), QSize(795, 387));
  QVERIFY(alert.windowFlags().testFlag(Qt::FramelessWindowHint));
  QVERIFY(alert.isModal());
  QCOMPARE(alert.findChild<QWidget*>(control)->geometry(), place);
  QCOMPARE(alert.findChild<QLabel*>(QStringLiteral("Label1"))->pos(), QPoint(12, 15));
  QCOMPARE(alert.Label2->pos(), QPoint(125, 358));
  QCOMPARE(alert.Label2->text(), QStringLiteral("1 Segundos"));
  QVERIFY(alert.Button1->isHidden());
  QCOMPARE(alert.msg->font().pixelSize(), 21);
}

void AlertTest::longTextIsCutNotGrown() {
  FakeServices platform;
  auto* alert = new TMessage_esp(platform, nullptr);
  alert->SetMessage(QStringLiteral("Linha\r").repeated(40));
  QSize size;
  QRect message;
  ExecWhile(*alert, [&] {
    size = alert->size();
    message = alert->msg->geometry();
    alert->Timer1Timer();
  });
  QCOMPARE(size, QSize(795, 387));
  QCOMPARE(message, QRect(129, 8, 652, 342));
  FlushDeferredDeletes();
}

void AlertTest::picturesAreCarriedAsRgb_data() {
  QTest::addColumn<QString>("picture");
  QTest::addColumn<QSize>("size");
  QTest::newRow("grimace") << tecladim::GrimaceFacePicture() << QSize(105, 105);
  QTest::newRow("worried") << tecladim::WorriedFacePicture() << QSize(105, 105);
  QTest::newRow("sad") << tecladim::SadFacePicture() << QSize(105, 105);
  QTest::newRow("hand-position chart") << tecladim::HandPositionPicture() << QSize(593, 365);
  QTest::newRow("maker's logo") << tecladim::LogoPicture() << QSize(192, 75);
}

void AlertTest::picturesAreCarriedAsRgb() {
  QFETCH(QString, picture);
  QFETCH(QSize, size);
  tecladim::LoadPictures();
  const QImage image(picture);
  QCOMPARE(image.size(), size);
  QVERIFY(!image.hasAlphaChannel());
}

void AlertTest::chartHidesOnIniciarAndOnClose() {
  TForm2 chart;
  QPointer<TForm2> alive = &chart;
  auto* iniciar = chart.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
  bool escapeClosed = true;
  ExecWhile(chart, [&] {
    QTest::keyClick(&chart, Qt::Key_Escape);
    escapeClosed = chart.isHidden();
    QTest::mouseClick(iniciar, Qt::LeftButton);
  });
  QVERIFY(!escapeClosed);
  QVERIFY(chart.isHidden());
  ExecWhile(chart, [&] { chart.close(); });  // the title bar's close box
  FlushDeferredDeletes();
  QVERIFY(!alive.isNull());
  QVERIFY(chart.isHidden());
  QCOMPARE(chart.Tag, 0);
}

void AlertTest::layoutOfTheChartWindow() {
  TForm2 chart;
  QCOMPARE(chart.windowTitle(), QStringLiteral("Posição "));
  QCOMPARE(chart.minimumSize(), QSize(603, 425));
  QCOMPARE(chart.maximumSize(), QSize(603, 425));
  QVERIFY(!chart.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  auto* warning = chart.findChild<QLabel*>(QStringLiteral("Label1"));
  QCOMPARE(warning->text(), QStringLiteral("IMPORTANTE: Não olhe para o teclado, olhe para a tela"));
  QCOMPARE(warning->pos(), QPoint(31, 382));
  QVERIFY(warning->sizeHint().width() <= warning->width());  // the whole warning shows
  auto* iniciar = chart.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
  QCOMPARE(iniciar->geometry(), QRect(505, 377, 90, 33));
  QCOMPARE(iniciar->text(), QStringLiteral("Iniciar"));
  auto* image = chart.findChild<QLabel*>(QStringLiteral("Image1"));
  QCOMPARE(image->pos(), QPoint(0, 0));
  QCOMPARE(image->alignment(), Qt::AlignLeft | Qt::AlignTop);
  // Decoded at the first show, there before the first paint, kept for the next shows.
  QVERIFY(image->pixmap().isNull());
  bool drawnAtFirstShow = false;
  ExecWhile(chart, [&] {
    drawnAtFirstShow = image->pixmap().size() == QSize(593, 365);
    chart.close();
  });
  QVERIFY(drawnAtFirstShow);
  const qint64 chartKey = image->pixmap().cacheKey();
  ExecWhile(chart, [&] { chart.close(); });
  QCOMPARE(image->pixmap().cacheKey(), chartKey);
}

QTEST_MAIN(AlertTest)
#include "alert_test.moc"
