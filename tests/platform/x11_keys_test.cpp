#include <QDialog>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "platform/post_key.h"
#include "platform/system_services.h"
#include "recording_edit.h"

// Runs on Qt's xcb platform against a virtual X server: the keys go through the server.
namespace tecladim {
namespace {

struct TypingWindow {
  QWidget window;
  RecordingEdit* edit = new RecordingEdit(&window);

  TypingWindow() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
  }
};

TEST(XTestKeys, AreTheBackendOnX11) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  SystemServices services;
  EXPECT_EQ(services.KeyBackendInUse(), KeyBackend::XTest);
}

TEST(XTestKeys, InjectedEnterComesAfterTheCharacterBeingJudged) {
  SystemServices services;
  TypingWindow w;
  w.edit->beforeInsert = [&](QKeyEvent* e) {
    if (e->key() == Qt::Key_A) PostKeyEx32(services, vk::Return, {}, KeyKind::Normal);
  };
  QTest::keyClick(w.edit, Qt::Key_A);
  EXPECT_EQ(w.edit->Presses(Qt::Key_Return), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->Presses(Qt::Key_Return) == 1; }));
  EXPECT_EQ(w.edit->toPlainText(), QStringLiteral("a\n"));
  const auto press = std::find_if(w.edit->seen.begin(), w.edit->seen.end(),
                                  [](const SeenKey& s) { return s.key == Qt::Key_Return; });
  EXPECT_EQ(press->text, QStringLiteral("\r"));
}

TEST(XTestKeys, ModifiersAreHeldAroundTheKey) {
  SystemServices services;
  TypingWindow w;
  PostKeyEx32(services, 'A', ShiftState::Shift, KeyKind::Normal);
  PostKeyEx32(services, 'B', {}, KeyKind::Normal);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->toPlainText() == QStringLiteral("Ab"); }));
}

TEST(XTestKeys, ModalWindowOpenedMeanwhileKeepsTheEnterFromTheTypingBox) {
  SystemServices services;
  TypingWindow w;
  PostKeyEx32(services, vk::Return, {}, KeyKind::Normal);
  QDialog alert(&w.window);
  QTimer::singleShot(1000, &alert, &QDialog::reject);
  alert.exec();
  QCoreApplication::processEvents();
  EXPECT_EQ(w.edit->Presses(Qt::Key_Return), 0);
  EXPECT_TRUE(w.edit->toPlainText().isEmpty());
}

}  // namespace
}  // namespace tecladim
