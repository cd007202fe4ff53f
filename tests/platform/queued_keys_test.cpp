#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "platform/fake_services.h"
#include "platform/post_key.h"
#include "platform/queued_keys.h"
#include "platform/system_services.h"
#include "recording_edit.h"

namespace tecladim {
namespace {

// A shown, active window with a focused typing box, as the main window is while a
// student types.
struct TypingWindow {
  QWidget window;
  RecordingEdit* edit = new RecordingEdit(&window);
  RecordingEdit* other = new RecordingEdit(&window);

  TypingWindow() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
  }
};

void PostEnter(PlatformServices& services) { PostKeyEx32(services, vk::Return, {}, KeyKind::Normal); }

TEST(QueuedKeys, OffscreenUsesTheQueuedDelivery) {
  SystemServices services;
  EXPECT_EQ(services.KeyBackendInUse(), KeyBackend::Queued);
}

TEST(QueuedKeys, InjectedEnterComesAfterTheCharacterBeingJudged) {
  SystemServices services;
  TypingWindow w;
  int presentInsideHandler = -1;
  w.edit->beforeInsert = [&](QKeyEvent* e) {
    if (e->key() != Qt::Key_A) return;
    PostEnter(services);
    presentInsideHandler = w.edit->Presses(Qt::Key_Return);
  };
  QTest::keyClick(w.edit, Qt::Key_A);
  EXPECT_EQ(presentInsideHandler, 0);
  EXPECT_EQ(w.edit->Presses(Qt::Key_Return), 0) << "delivered before the event loop ran";

  EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->Presses(Qt::Key_Return) == 1; }));
  EXPECT_EQ(w.edit->toPlainText(), QStringLiteral("a\n"));
  QCoreApplication::processEvents();
  ASSERT_EQ(w.edit->seen.size(), 4u);  // a press, a release, Enter press, Enter release
  const SeenKey& press = w.edit->seen[2];
  EXPECT_EQ(press.text, QStringLiteral("\r"));
  EXPECT_EQ(press.scanCode, 0x1Cu);
  EXPECT_EQ(press.virtualKey, 0x0Du);
  EXPECT_EQ(press.modifiers, Qt::NoModifier);
  EXPECT_EQ(w.edit->seen[3].type, QEvent::KeyRelease);
  EXPECT_EQ(w.edit->seen[3].key, Qt::Key_Return);
}

TEST(QueuedKeys, GoesToTheWidgetThatHasTheKeyboardWhenRead) {
  SystemServices services;
  TypingWindow w;
  PostEnter(services);
  w.other->setFocus();
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.other->Presses(Qt::Key_Return) == 1; }));
  EXPECT_EQ(w.edit->Presses(Qt::Key_Return), 0);
}

// Notes the key events that reach a window or any widget inside it.
class WindowKeys final : public QObject {
 public:
  explicit WindowKeys(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  std::vector<QEvent::Type> seen;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (key && widget != nullptr && widget->window() == window_) seen.push_back(event->type());
    return false;
  }

 private:
  QWidget* window_;
};

TEST(QueuedKeys, ModalWindowOpenedMeanwhileSwallowsTheEnter) {
  SystemServices services;
  TypingWindow w;
  PostEnter(services);

  // An alert opening before the Enter is read: it must get the key, the blocked typing box not.
  QDialog alert(&w.window);
  auto* layout = new QVBoxLayout(&alert);
  layout->addWidget(new QLineEdit(&alert));
  WindowKeys alertKeys(&alert);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &alert, [&] {
    if (alertKeys.seen.size() == 2) alert.accept();
  });
  poll.start(10);
  QTimer::singleShot(5000, &alert, &QDialog::reject);  // only if the Enter never comes
  EXPECT_EQ(alert.exec(), QDialog::Accepted);
  QCoreApplication::processEvents();
  EXPECT_EQ(alertKeys.seen, (std::vector<QEvent::Type>{QEvent::KeyPress, QEvent::KeyRelease}));
  EXPECT_TRUE(w.edit->seen.empty());
  EXPECT_TRUE(w.edit->toPlainText().isEmpty());
}

TEST(QueuedKeys, OpenPopupMenuTakesTheEnter) {
  SystemServices services;
  TypingWindow w;
  QMenu menu(&w.window);
  menu.addAction(QStringLiteral("Desativado sem Trapaça"))->setEnabled(false);
  WindowKeys menuKeys(&menu);
  menu.popup(w.edit->mapToGlobal(QPoint(5, 5)));
  PostEnter(services);
  EXPECT_TRUE(QTest::qWaitFor([&] { return menuKeys.seen.size() == 2; }));
  EXPECT_TRUE(w.edit->seen.empty());
  menu.close();
}

struct TextRow {
  const char* name;
  std::uint16_t key;
  ShiftState shift;
  KeyKind kind;
  int qtKey;
  QString text;
  Qt::KeyboardModifiers modifiers;
};

TEST(QueuedKeys, KeysArriveAsTheDesktopReportsThem) {
  const TextRow rows[] = {
      {"plain letter", 'A', {}, KeyKind::Normal, Qt::Key_A, QStringLiteral("a"), Qt::NoModifier},
      {"shifted letter", 'A', ShiftState::Shift, KeyKind::Normal, Qt::Key_A, QStringLiteral("A"),
       Qt::ShiftModifier},
      {"Ctrl+V gives the character 22", 'V', ShiftState::Ctrl, KeyKind::Normal, Qt::Key_V, QString(QChar(22)),
       Qt::ControlModifier},
      {"keypad Enter", vk::Return, {}, KeyKind::Extended, Qt::Key_Enter, QStringLiteral("\r"),
       Qt::KeypadModifier},
      {"digit", '7', {}, KeyKind::Normal, Qt::Key_7, QStringLiteral("7"), Qt::NoModifier},
  };
  for (const TextRow& row : rows) {
    SCOPED_TRACE(row.name);
    FakeServices fake(KeyDelivery::ToFocusedWidget);
    TypingWindow w;
    PostKeyEx32(fake, row.key, row.shift, row.kind);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->Presses(row.qtKey) == 1; }));
    QCoreApplication::processEvents();
    const auto it = std::find_if(w.edit->seen.begin(), w.edit->seen.end(), [&](const SeenKey& s) {
      return s.type == QEvent::KeyPress && s.key == row.qtKey;
    });
    ASSERT_NE(it, w.edit->seen.end());
    EXPECT_EQ(it->text, row.text);
    EXPECT_EQ(it->modifiers, row.modifiers);
    // Every press has its release, modifiers included: the next key comes with none held.
    int presses = 0, releases = 0;
    for (const SeenKey& s : w.edit->seen) (s.type == QEvent::KeyPress ? presses : releases)++;
    EXPECT_EQ(presses, releases);
    PostKeyEx32(fake, 'B', {}, KeyKind::Normal);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->Presses(Qt::Key_B) == 1; }));
    EXPECT_EQ(w.edit->seen.back().modifiers, Qt::NoModifier);
  }
}

TEST(FakeServices, RecordsTheKeysItDelivers) {
  FakeServices fake(KeyDelivery::ToFocusedWidget);
  TypingWindow w;
  QTest::keyClicks(w.edit, QStringLiteral("ab"));
  PostEnter(fake);
  const std::vector<SentKey> expected{{0x0D, 0x1C, 0}, {0x0D, 0x1C, 2}};
  EXPECT_EQ(fake.keys, expected);

  // Switching delivery off stops the next keys, not those already on their way.
  fake.DeliverKeys(KeyDelivery::RecordOnly);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->toPlainText() == QStringLiteral("ab\n"); }));
  PostEnter(fake);
  QCoreApplication::processEvents();
  EXPECT_EQ(fake.keys.size(), 4u);
  EXPECT_EQ(w.edit->toPlainText(), QStringLiteral("ab\n"));
}

}  // namespace
}  // namespace tecladim

namespace tecladim {
namespace {

TEST(QueuedKeys, TypedTextAndTheLineAdvanceArriveInQueueOrder) {
  FakeServices fake(KeyDelivery::ToFocusedWidget);
  QueuedKeyDelivery student;
  TypingWindow w;
  student.Type(QStringLiteral("é"));  // already waiting when the line advance is sent
  PostEnter(fake);
  student.Type(QStringLiteral("ç"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.edit->toPlainText() == QStringLiteral("é\nç"); }));
  EXPECT_EQ(w.edit->Presses(Qt::Key_Ccedilla), 1);
  EXPECT_EQ(w.edit->Presses(Qt::Key_Eacute), 1);
}

}  // namespace
}  // namespace tecladim
