// The main window's own widgets: the typing box, the lesson spin box, the standard error
// display's text and the anchors.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

#include "ui/anchors.h"
#include "ui/error_display.h"
#include "ui/lesson_spin_box.h"
#include "ui/typing_box.h"

using namespace tecladim;

namespace {

// A typing box in a window with a button after it, so Tab has somewhere to go, and a
// key-press handler that records every character and lets through what `pass` allows.
struct TypingRig {
  QWidget window;
  TypingBox* box;
  QPushButton* next;
  std::u16string judged;
  std::function<bool(char16_t)> pass = [](char16_t) { return true; };
  int keyUps = 0;
  int clicks = 0;

  TypingRig() {
    window.resize(600, 300);
    box = new TypingBox(&window);
    box->setGeometry(0, 0, 500, 200);
    next = new QPushButton(QStringLiteral("next"), &window);
    next->setGeometry(0, 250, 80, 30);
    box->onKeyPress = [this](char16_t& k) {
      judged += k;
      if (!pass(k)) k = 0;
    };
    box->onKeyUp = [this] { ++keyUps; };
    box->onClick = [this] { ++clicks; };
    window.show();
    box->setFocus();
  }
};

void TypeCharacter(QWidget* w, QChar c) {
  QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace

class WidgetsTest : public QObject {
  Q_OBJECT
 private slots:

  void TextCountsLineBreaksAsCrLf_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("lines");
    QTest::newRow("empty box") << QString() << 0 << 0;
    QTest::newRow("one line") << QStringLiteral("abc") << 3 << 1;
    QTest::newRow("a line and its break") << QStringLiteral("abc\r\n") << 5 << 1;
    QTest::newRow("two lines") << QStringLiteral("abc\r\nde") << 7 << 2;
    QTest::newRow("fifteen numbers") << QStringLiteral("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n15")
                                     << 49 << 15;
  }
  void TextCountsLineBreaksAsCrLf() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, lines);
    TextBox box(nullptr);
    box.SetText(std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
    box.MoveCaretToEnd();
    QCOMPARE(QString::fromStdU16String(box.Text()), text);
    QCOMPARE(box.CaretOffset(), caret);
    QCOMPARE(box.LineCount(), lines);
  }

  void CaretOffsetIsSelectionStart() {
    TextBox box(nullptr);
    box.SetText(u"ab\r\ncdef");
    QTextCursor c = box.textCursor();
    c.setPosition(7);                          // after "e" (Qt counts the break once)
    c.setPosition(4, QTextCursor::KeepAnchor);  // selection back to "c"
    box.setTextCursor(c);
    QCOMPARE(box.CaretOffset(), 5);
  }

  void EveryCharacterGoesThroughTheHandler_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("Enter arrives as CR") << int(Qt::Key_Return) << 0 << QString() << 13;
    QTest::newRow("keypad Enter arrives as CR") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QString() << 13;
    QTest::newRow("Backspace arrives as 8") << int(Qt::Key_Backspace) << 0 << QString() << 8;
    QTest::newRow("Ctrl+V arrives as 22") << int(Qt::Key_V) << int(Qt::ControlModifier) << QString() << 22;
    QTest::newRow("Ctrl+Shift+V arrives as 22") << int(Qt::Key_V) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                                << QString() << 22;
    QTest::newRow("Ctrl+Z arrives as 26") << int(Qt::Key_Z) << int(Qt::ControlModifier) << QString() << 26;
    QTest::newRow("Escape arrives as 27") << int(Qt::Key_Escape) << 0 << QString() << 27;
    QTest::newRow("ç as itself") << int(Qt::Key_unknown) << 0 << QStringLiteral("ç") << int(u'ç');
  }
  void EveryCharacterGoesThroughTheHandler() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, code);
    TypingRig rig;
    rig.pass = [](char16_t) { return false; };
    QTest::sendKeyEvent(QTest::Click, rig.box, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(rig.judged, std::u16string(1, char16_t(code)));
    QCOMPARE(rig.box->Text(), std::u16string());
  }

  void KeysWithoutCharacterNeverReachTheHandler_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Left") << int(Qt::Key_Left) << 0;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0;
    QTest::newRow("F5") << int(Qt::Key_F5) << 0;
    QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
    QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier);
  }
  void KeysWithoutCharacterNeverReachTheHandler() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TypingRig rig;
    rig.box->SetText(u"abc");
    rig.box->MoveCaretToEnd();
    QTest::keyClick(rig.box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(rig.judged, std::u16string());
    QCOMPARE(rig.box->Text(), std::u16string(u"abc"));
  }

  void PassingCharactersAreInsertedAndEnterBreaksTheLine() {
    TypingRig rig;
    QTest::keyClicks(rig.box, QStringLiteral("ab"));
    QTest::keyClick(rig.box, Qt::Key_Return);
    TypeCharacter(rig.box, QChar(u'é'));
    QCOMPARE(rig.box->Text(), std::u16string(u"ab\r\né"));
    QCOMPARE(rig.box->CaretOffset(), 5);
  }

  void CancelledCharacterInsertsNothing() {
    TypingRig rig;
    rig.pass = [](char16_t k) { return k != u'x'; };
    QTest::keyClicks(rig.box, QStringLiteral("axb"));
    QCOMPARE(rig.judged, std::u16string(u"axb"));
    QCOMPARE(rig.box->Text(), std::u16string(u"ab"));
  }

  // A Backspace, Ctrl+Z or Ctrl+V the handler lets through changes nothing: the box does
  // no editing of its own.
  void PassedControlCharactersEditNothing() {
    TypingRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    rig.box->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("colado"));
    QTest::keyClicks(rig.box, QStringLiteral("abc"));
    QTest::keyClick(rig.box, Qt::Key_Backspace);
    QTest::keyClick(rig.box, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(rig.box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(rig.box, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(rig.box, Qt::Key_Left);
    QTest::keyClick(rig.box, Qt::Key_Delete);
    QTest::keyClick(rig.box, Qt::Key_Tab);  // leaves the box
    QCOMPARE(rig.box->Text(), std::u16string(u"abc"));
    QCOMPARE(rig.judged, std::u16string(u"abc\b\x1a\x16"));
    QVERIFY(rig.next->hasFocus());
  }

  void PasteRoutesInsertNothing() {
    TypingRig rig;
    QMimeData data;
    data.setText(QStringLiteral("colado"));
    QVERIFY(!rig.box->canPaste());
    rig.box->paste();
    QTest::mouseClick(rig.box->viewport(), Qt::MiddleButton, {}, QPoint(20, 10));
    QCOMPARE(rig.box->Text(), std::u16string());
    QCOMPARE(rig.judged, std::u16string());
  }

  void DeadKeyAccentIsJudgedOneCharacterAtATime() {
    TypingRig rig;
    rig.pass = [](char16_t k) { return k != u'x'; };
    QInputMethodEvent preedit(QStringLiteral("~"), {});
    QCoreApplication::sendEvent(rig.box, &preedit);
    QCOMPARE(rig.box->Text(), std::u16string());  // the dead key shows nothing
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ãxé"));
    QCoreApplication::sendEvent(rig.box, &commit);
    QCOMPARE(rig.judged, std::u16string(u"ãxé"));
    QCOMPARE(rig.box->Text(), std::u16string(u"ãé"));
  }

  void ReadOnlyBoxStillJudgesButInsertsNothing() {
    TypingRig rig;
    rig.box->setReadOnly(true);
    QTest::keyClicks(rig.box, QStringLiteral("ab"));
    QCOMPARE(rig.judged, std::u16string(u"ab"));
    QCOMPARE(rig.box->Text(), std::u16string());
  }

  void KeyUpFiresOnEveryReleaseButNotOnAutoRepeat() {
    TypingRig rig;
    QTest::keyClick(rig.box, Qt::Key_A);
    QTest::keyClick(rig.box, Qt::Key_Shift);
    QCOMPARE(rig.keyUps, 2);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(rig.box, &repeat);
    QCOMPARE(rig.keyUps, 2);
  }

  void ClickFiresOnReleaseButNotAfterADoubleClick() {
    TypingRig rig;
    rig.box->SetText(u"uma palavra");
    QTest::mouseClick(rig.box->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(rig.clicks, 1);
    QTest::mouseDClick(rig.box->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    const int afterDouble = rig.clicks;
    QVERIFY(rig.box->textCursor().hasSelection());  // the word stays selected
    QTest::mouseClick(rig.box->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(rig.clicks, afterDouble + 1);
  }

  // A key typed over a selection (a double-clicked word, a committed accent) replaced it.
  void KeyOverASelectionIsJudgedAndInsertedAtTheEnd() {
    TypingRig rig;
    int caretSeen = -1;
    rig.box->onKeyPress = [&](char16_t&) { caretSeen = rig.box->CaretOffset(); };
    rig.box->SetText(u"uma palavra\r\nmais");
    QTest::mouseDClick(rig.box->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    QVERIFY(rig.box->textCursor().hasSelection());
    TypeCharacter(rig.box, QLatin1Char('x'));
    QCOMPARE(caretSeen, 17);  // the end, CR LF counted as two
    QCOMPARE(rig.box->Text(), std::u16string(u"uma palavra\r\nmaisx"));
    rig.box->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("é"));
    QCoreApplication::sendEvent(rig.box, &commit);
    QCOMPARE(rig.box->Text(), std::u16string(u"uma palavra\r\nmaisxé"));
    QVERIFY(!rig.box->textCursor().hasSelection());
  }

  void SpinBoxTakesNumbersOnlyAndBeepsOtherwise_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("digits") << QStringLiteral("15") << QStringLiteral("15") << 0;
    QTest::newRow("a letter") << QStringLiteral("1a") << QStringLiteral("1") << 1;
    QTest::newRow("signs and comma") << QStringLiteral("-,+") << QStringLiteral("-,+") << 0;
    QTest::newRow("a fourth character") << QStringLiteral("1923") << QStringLiteral("192") << 1;
    QTest::newRow("a blank") << QStringLiteral("1 2") << QStringLiteral("12") << 1;
  }
  void SpinBoxTakesNumbersOnlyAndBeepsOtherwise() {
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    QWidget window;
    LessonSpinBox spin(&window, 1, 192);
    int refused = 0;
    spin.onRefused = [&] { ++refused; };
    window.show();
    spin.SetText(QString());
    for (QChar c : typed) QTest::keyClick(&spin, c.toLatin1());
    QCOMPARE(spin.Text(), text);
    QCOMPARE(refused, beeps);
  }

  void SpinBoxRefusesEnterWithTheBeep() {
    LessonSpinBox spin(nullptr, 1, 192);
    int refused = 0;
    spin.onRefused = [&] { ++refused; };
    QTest::keyClick(&spin, Qt::Key_Return);
    QCOMPARE(refused, 1);
    QCOMPARE(spin.Text(), QStringLiteral("1"));
  }

  void SpinBoxStepsWithinRange_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");
    QTest::newRow("up from 1") << QStringLiteral("1") << int(Qt::Key_Up) << QStringLiteral("2");
    QTest::newRow("down from 1 stays") << QStringLiteral("1") << int(Qt::Key_Down) << QStringLiteral("1");
    QTest::newRow("up from 192 stays") << QStringLiteral("192") << int(Qt::Key_Up) << QStringLiteral("192");
    QTest::newRow("up from a sign reads 1") << QStringLiteral("+") << int(Qt::Key_Up) << QStringLiteral("2");
    QTest::newRow("down from 500 clamps") << QStringLiteral("500") << int(Qt::Key_Down) << QStringLiteral("192");
  }
  void SpinBoxStepsWithinRange() {
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, after);
    LessonSpinBox spin(nullptr, 1, 192);
    spin.SetText(start);
    QTest::keyClick(&spin, Qt::Key(key));
    QCOMPARE(spin.Text(), after);
  }

  void SpinBoxHoldsOutOfRangeUntilFocusLeaves_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("after");
    QTest::newRow("0 becomes 1") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("1");
    QTest::newRow("193 becomes 192") << QStringLiteral("193") << QStringLiteral("193") << QStringLiteral("192");
    QTest::newRow("-5 becomes 1") << QStringLiteral("-5") << QStringLiteral("-5") << QStringLiteral("1");
    QTest::newRow("a sign alone stays") << QStringLiteral("+") << QStringLiteral("+") << QStringLiteral("+");
  }
  void SpinBoxHoldsOutOfRangeUntilFocusLeaves() {
    QFETCH(QString, typed);
    QFETCH(QString, held);
    QFETCH(QString, after);
    QWidget window;
    auto* spin = new LessonSpinBox(&window, 1, 192);
    auto* other = new QPushButton(&window);
    other->move(0, 40);
    QStringList changes;
    spin->onChange = [&] { changes << spin->Text(); };
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    spin->setFocus();
    spin->SetText(QString());
    for (QChar c : typed) QTest::keyClick(spin, c.toLatin1());
    QCOMPARE(spin->Text(), held);
    other->setFocus();
    QCOMPARE(spin->Text(), after);
    QCOMPARE(changes.front(), QString());  // emptying it was a change too
    QCOMPARE(changes.back(), after);
  }

  void ErrorDisplayAddsFullStop_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter at the end") << QStringLiteral("cds1: Field 'licao' not found")
                                       << QStringLiteral("cds1: Field 'licao' not found.");
    QTest::newRow("full stop already") << QStringLiteral("Mismatch in datapacket.") << QStringLiteral("Mismatch in datapacket.");
    QTest::newRow("sorts before the stop") << QStringLiteral("Erro!") << QStringLiteral("Erro!");
    QTest::newRow("closing parenthesis") << QStringLiteral("falhou (5)") << QStringLiteral("falhou (5)");
    QTest::newRow("digit sorts after it") << QStringLiteral("erro 5") << QStringLiteral("erro 5.");
    QTest::newRow("empty") << QString() << QString();
  }
  void ErrorDisplayAddsFullStop() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorDisplayText(message), shown);
  }

  void FrameIsKeptOnTheFreeScreen_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("position");
    const QRect screenAboveTaskbar(0, 0, 1366, 738);
    // The client area centred on a 1366x768 screen with a 30-pixel taskbar; the title bar
    // of 23 pixels would start above the screen.
    QTest::newRow("title bar above the screen comes down") << QRect(4, -4, 1358, 727) << screenAboveTaskbar
                                                           << QPoint(4, 0);
    QTest::newRow("a frame that fits stays") << QRect(4, 5, 1358, 727) << screenAboveTaskbar << QPoint(4, 5);
    QTest::newRow("below the taskbar's edge goes up") << QRect(4, 20, 1358, 727) << screenAboveTaskbar
                                                      << QPoint(4, 11);
    QTest::newRow("taller than the area keeps the title bar in") << QRect(0, -30, 1366, 800) << screenAboveTaskbar
                                                                 << QPoint(0, 0);
    QTest::newRow("a panel on the left and top") << QRect(-10, 0, 1358, 727) << QRect(48, 24, 1318, 744)
                                                 << QPoint(48, 24);
  }
  void FrameIsKeptOnTheFreeScreen() {
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, position);
    QCOMPARE(FramePositionWithin(frame, available), position);
  }

  void AnchorsMoveBottomControlsAndStretchTheModelBox() {
    QWidget window;
    window.resize(1350, 700);
    auto* stretched = new QWidget(&window);
    stretched->setGeometry(29, 40, 1116, 186);
    auto* moved = new QWidget(&window);
    moved->setGeometry(29, 248, 1116, 417);
    auto* fixed = new QWidget(&window);
    fixed->setGeometry(1147, 0, 203, 700);
    AnchorLayout anchors(700);
    anchors.Add(stretched, Anchoring::LeftTopBottom);
    anchors.Add(moved, Anchoring::LeftBottom);
    anchors.Add(fixed, Anchoring::TopLeft);
    anchors.Apply(800);
    QCOMPARE(stretched->geometry(), QRect(29, 40, 1116, 286));
    QCOMPARE(moved->geometry(), QRect(29, 348, 1116, 417));
    QCOMPARE(fixed->geometry(), QRect(1147, 0, 203, 700));
    anchors.Apply(700);
    QCOMPARE(moved->geometry(), QRect(29, 248, 1116, 417));

    // A label that sized itself to a longer text keeps its size when it is moved.
    auto* label = new QLabel(QStringLiteral("Digitar"), &window);
    label->move(34, 230);
    label->adjustSize();
    anchors.Add(label, Anchoring::LeftBottom);
    label->setText(QStringLiteral("Digite o texto acima 1 vez idêntico - EM 60 SEGUNDOS"));
    label->adjustSize();
    const QSize grown = label->size();
    anchors.Apply(800);
    QCOMPARE(label->geometry(), QRect(QPoint(34, 330), grown));
  }

};

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
