// The main window as the student meets it: start-up and shutdown with and without a
// history file, a whole lesson typed through the real typing box, the lesson spin box,
// the guards, the layout. Every test runs in a fresh working directory of its own.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <chrono>
#include <memory>

#include "history/datetime.h"
#include "history/key_stats_file.h"
#include "history/packet.h"
#include "history/preload.h"
#include "history/record_set.h"
#include "lessons/catalogue.h"
#include "modal_watcher.h"
#include "platform/durable_file.h"
#include "platform/fake_services.h"
#include "platform/qt_translations.h"
#include "platform/queued_keys.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/error_display.h"
#include "ui/lesson_spin_box.h"
#include "ui/qtext.h"
#include "ui/shapes.h"
#include "ui/typing_box.h"
#include "ui/window_fonts.h"

using namespace tecladim;
using Kind = ModalWatcher::Kind;

namespace {

const QString HistoryFile = QStringLiteral("Exercicio.xml");
const QByteArray Header = QByteArrayLiteral(
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"erros\" fieldtype=\"i4\"/><FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"fim\" fieldtype=\"dateTime\"/><FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/></FIELDS>");
const QByteArray EmptyHistory = Header + QByteArrayLiteral("<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");

DateTime At(int hour, int minute, int second) { return EncodeDateTime({2024, 3, 5}, {hour, minute, second, 0}); }

QString Model(int lesson) {
  QString text = ToQString(*LessonText(lesson));
  const qsizetype open = text.lastIndexOf(QLatin1Char('('));
  return open < 0 ? text : text.left(open);
}

QString NumberedLines() {
  QStringList lines;
  for (int i = 1; i <= 15; ++i) lines << QString::number(i);
  return lines.join(QStringLiteral("\r\n"));
}

QByteArray ReadFile(const QString& name) {
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile f(name);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// One run of the program in the current working directory: the windows built as the
// start-up builds them, on the fake services that deliver injected keys like a desktop.
struct Run {
  FakeServices fake{KeyDelivery::ToFocusedWidget};
  ModalWatcher watcher;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TForm2> form2;

  // Preloaded: the history read on its own thread from before the window is built, as the
  // program starts.
  enum class History { ReadAtFirstShow, Preloaded };
  explicit Run(DateTime now = At(10, 0, 0), History history = History::ReadAtFirstShow) {
    std::unique_ptr<history::PacketPreload> preload;
    if (history == History::Preloaded) {
      preload = TForm1::PreloadHistory();
      // Read through before the test goes on, so what it writes to the file afterwards is
      // never what the preload read, however late the thread ran.
      if (preload) preload->Wait();
    }
    fake.now = now;
    // The fake answers the file test the way the desktop does: a file, not a folder.
    if (QFileInfo(HistoryFile).isFile()) fake.existingFiles.insert(HistoryFile);
    form = std::make_unique<TForm1>(fake);
    form2 = std::make_unique<TForm2>();
    form->SetHandPositionWindow(form2.get());
    form->SetHistoryPreload(std::move(preload));
    watcher.SetMainWindow(form.get());
  }
  ~Run() {
    form->hide();
    form->setAttribute(Qt::WA_DeleteOnClose, false);
  }

  bool Start() {
    form->show();
    return QTest::qWaitForWindowActive(form.get());
  }

  // Types one character as the keyboard would, then lets the injected line advance in.
  void Type(QChar c) {
    Reactivate();
    QTest::sendKeyEvent(QTest::Click, form->Memo2, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCoreApplication::processEvents();
  }
  // Offscreen, nothing gives the keyboard back to the main window once a modal window
  // has closed; a desktop does.
  void Reactivate() {
    if (form->isActiveWindow()) return;
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }
  void Type(const QString& text) {
    for (QChar c : text) Type(c);
  }
  QString Typed() const { return ToQString(form->Memo2->Text()); }
  int GridRows() const { return form->DBGrid1->model()->rowCount(); }
  QString Cell(int row, int column) const {
    return form->DBGrid1->model()->index(row, column).data().toString();
  }
  // Completes the passage "Erro." of a number without a lesson, in under a second.
  void CompleteNoLessonPassage() {
    form->SpinEdit1->SetText(QStringLiteral("193"));
    form->Memo2->setFocus();
    const int reports = watcher.Count(Kind::Report);
    Type(QStringLiteral("Erro."));
    QTRY_COMPARE(watcher.Count(Kind::Report), reports + 1);
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QApplication::setApplicationName(QStringLiteral("Tecladim"));
    RegisterFallbackFonts();
  }
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir::setCurrent(dir_->path()));
  }
  void cleanup() {
    QDir::setCurrent(QDir::tempPath());
    dir_.reset();
  }

  void WindowHasItsCaptionSizeAndControls() {
    Run run;
    TForm1& f = *run.form;
    QCOMPARE(f.windowTitle(), QStringLiteral("Tecladim"));
    QCOMPARE(f.size(), QSize(1350, 700));
    const struct {
      const char* name;
      QRect geometry;
    } controls[] = {
        {"Shape1", {1147, 0, 203, 700}},   {"Shape2", {1151, 392, 195, 189}},   {"Memo3", {-3, 253, 875, 411}},
        {"SpinEdit1", {76, 8, 55, 26}},    {"BitBtn1", {137, 8, 69, 25}},       {"Memo1", {29, 40, 1116, 186}},
        {"Memo2", {29, 248, 1116, 417}},   {"BitBtn2", {1000, 2, 145, 32}},     {"BitBtn3", {1064, 671, 81, 27}},
        {"DBGrid1", {1151, 41, 195, 345}}, {"Image1", {1152, 593, 192, 74}},    {"DBText4", {1208, 553, 160, 16}},
    };
    for (const auto& c : controls) {
      auto* w = f.findChild<QWidget*>(QString::fromLatin1(c.name));
      QVERIFY2(w != nullptr, c.name);
      QCOMPARE(w->geometry(), c.geometry);
    }
    QCOMPARE(f.Label3->pos(), QPoint(259, 12));
    QCOMPARE(f.Label18->text(), QStringLiteral("100,0%"));
    QCOMPARE(f.Memo1->toPlainText(), ToQString(*LessonText(3)));
    QCOMPARE(ToQString(f.Memo2->Text()), NumberedLines());
    QCOMPARE(ToQString(f.Memo3->Text()), NumberedLines());
    QVERIFY(!f.Memo3->isEnabled());
    QVERIFY(!f.Label5->isVisibleTo(&f));
    QCOMPARE(f.Timer1->interval(), 20);
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(f.Timer2->interval(), 100);
    QVERIFY(!f.Timer2->isActive());
    QCOMPARE(f.Timer3->interval(), 300);
    QVERIFY(f.Timer3->isActive());  // from creation, before the first show
    QCOMPARE(f.PopupMenu1->actions().size(), 1);
    QCOMPARE(f.DesativadosemTrapaa1->text(), QStringLiteral("Desativado sem Trapaça"));
    QVERIFY(!f.DesativadosemTrapaa1->isEnabled());
    QCOMPARE(f.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Lição"));
    QCOMPARE(f.DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Data"));
    QCOMPARE(f.DBGrid1->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Erros"));
    QCOMPARE(f.DBGrid1->columnWidth(0), 27);
    QCOMPARE(f.DBGrid1->columnWidth(1), 92);
    QCOMPARE(f.DBGrid1->columnWidth(2), 38);
    QCOMPARE(f.Memo2->accessibleName(), QStringLiteral("Digitação"));
    QCOMPARE(f.SpinEdit1->accessibleName(), QStringLiteral("Lição"));
    QCOMPARE(f.DBGrid1->accessibleName(), QStringLiteral("Histórico"));
  }

  void BoxesUseMetricCompatibleFonts() {
    Run run;
    const QFontInfo box(run.form->Memo2->font());
    QVERIFY2(box.family() == QStringLiteral("Courier New") || box.family() == QStringLiteral("Liberation Mono"),
             qPrintable(box.family()));
    QCOMPARE(box.pixelSize(), 21);
    QVERIFY(box.bold());
    const QString face = QFontInfo(run.form->Label8->font()).family();
    QVERIFY2(face == QStringLiteral("Tahoma") || face == QStringLiteral("Liberation Sans"), qPrintable(face));
    const QFontInfo link(run.form->Label16->font());
    QVERIFY(link.family() == QStringLiteral("Arial") || link.family() == QStringLiteral("Liberation Sans"));
    QVERIFY(link.underline());
  }

  void DrillLineOf81CharactersFitsOnOneLine() {
    Run run;
    QVERIFY(run.Start());
    const QString line(81, QLatin1Char('W'));
    for (TextBox* box : {run.form->Memo1, static_cast<TextBox*>(run.form->Memo2)}) {
      box->SetText(ToU16(line));
      QCoreApplication::processEvents();
      const qreal room = box->viewport()->width() - 2 * box->document()->documentMargin();
      QVERIFY2(box->fontMetrics().horizontalAdvance(line) <= room, qPrintable(box->objectName()));
      QCOMPARE(box->document()->firstBlock().layout()->lineCount(), 1);
    }
  }

  void TallerWindowStretchesModelBoxAndMovesTypingBox() {
    Run run;
    QVERIFY(run.Start());
    run.form->resize(1350, 800);
    QCOMPARE(run.form->Memo1->geometry(), QRect(29, 40, 1116, 286));
    QCOMPARE(run.form->Memo2->geometry(), QRect(29, 348, 1116, 417));
    QCOMPARE(run.form->BitBtn3->geometry(), QRect(1064, 771, 81, 27));
    QCOMPARE(run.form->Label4->y(), 330);
    QCOMPARE(run.form->Shape1->geometry(), QRect(1147, 0, 203, 700));
    QCOMPARE(run.form->DBGrid1->geometry(), QRect(1151, 41, 195, 345));
  }

  void FirstRunStartsLessonOneAndOpensHandPosition() {
    Run run;
    QVERIFY(run.Start());
    QCOMPARE(run.form->Memo1->toPlainText(), Model(1));
    QCOMPARE(run.Typed(), QString());
    QCOMPARE(run.form->Label4->text(), QStringLiteral("Repita 15 vezes o texto acima em cada linha"));
    QVERIFY(run.form->Memo2->hasFocus());
    QTRY_COMPARE(run.watcher.Count(Kind::HandPosition), 1);
    // Once per run: its timer has stopped and the window is marked as shown.
    QVERIFY(!run.form->Timer2->isActive());
    QCOMPARE(run.form2->Tag, 1);
    QCOMPARE(run.watcher.Count(Kind::HandPosition), 1);
    QCOMPARE(run.GridRows(), 0);
    QVERIFY(run.form->close());
    QCOMPARE(ReadFile(HistoryFile), EmptyHistory);
  }

  void LessonOneTypedToItsEnd() {
    Run run(At(10, 0, 0));
    QVERIFY(run.Start());
    QTRY_COMPARE(run.watcher.Count(Kind::HandPosition), 1);
    run.form->activateWindow();  // what the desktop does once the chart has closed
    QVERIFY(QTest::qWaitForWindowActive(run.form.get()));
    QTRY_VERIFY(run.form->Memo2->hasFocus());
    const QString model = Model(1);
    QCOMPARE(model.size(), 77);
    for (int line = 1; line <= 15; ++line) {
      for (qsizetype i = 0; i < model.size(); ++i) {
        if (line == 3 && i == 10) run.Type(QLatin1Char('#'));         // wrong key
        if (line == 7 && i == 0) run.Type(QChar(u'ç'));               // wrong key
        if (line == 9 && i == 40) {                                   // paste attempt
          run.Reactivate();
          QTest::keyClick(run.form->Memo2, Qt::Key_V, Qt::ControlModifier);
          QTest::keyClick(run.form->Memo2, Qt::Key_Insert, Qt::ShiftModifier);
        }
        if (line == 2 && i == 5) {
          run.Reactivate();
          QTest::keyClick(run.form->Memo2, Qt::Key_Return);
        }  // refused, no error
        if (line == 15 && i == model.size() - 1) run.fake.now = At(10, 1, 35);
        run.Type(model[i]);
      }
    }
    QCOMPARE(run.form->Label3->text(), QStringLiteral("3"));
    QCOMPARE(run.form->Label18->text(), QStringLiteral("99,7%"));
    QCOMPARE(run.fake.beeps, 3);
    QCOMPARE(run.watcher.Texts(Kind::Flash), (std::vector<QString>(3, QStringLiteral("Você errou"))));
    // 14 line advances, each an Enter press and release.
    QCOMPARE(run.fake.keys.size(), std::size_t(28));
    QCOMPARE(run.fake.keys.front(), (SentKey{13, 0x1C, 0}));
    QCOMPARE(run.fake.keys[1], (SentKey{13, 0x1C, 2}));
    QStringList lines;
    for (int i = 0; i < 15; ++i) lines << model;
    QCOMPARE(run.Typed(), lines.join(QStringLiteral("\r\n")));

    QTRY_COMPARE(run.watcher.Count(Kind::Report), 1);
    QCOMPARE(run.watcher.Texts(Kind::Report).front(),
             QStringLiteral("Parabens, chame seu instrutor.\n\nErros: 3\n\nInicio: 10:00:00\nFim: 10:01:35\n\nTempo: 00:01:35"));
    QCOMPARE(run.GridRows(), 1);
    QCOMPARE(run.Cell(0, 0), QStringLiteral("1"));
    QCOMPARE(run.Cell(0, 1), QStringLiteral("05/03/2024 10:01:35"));
    QCOMPARE(run.Cell(0, 2), QStringLiteral("3"));
    QCOMPARE(run.form->Label15->text(), QStringLiteral("1"));
    QCOMPARE(run.form->DBText1->text(), QStringLiteral("05/03/2024 10:01:35"));
    QCOMPARE(run.form->DBText2->text(), QStringLiteral("05/03/2024 10:00:00"));
    QCOMPARE(run.form->DBText3->text(), QStringLiteral("05/03/2024 10:01:35"));
    QCOMPARE(run.form->DBText4->text(), QStringLiteral("00:01:35"));
    QCOMPARE(run.form->DBGrid1->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("▶"));
    // After "OK" the same lesson starts again.
    QTRY_COMPARE(run.form->Label3->text(), QStringLiteral("0"));
    QCOMPARE(run.Typed(), QString());
    QVERIFY(!run.form->Memo2->isReadOnly());
    QCOMPARE(run.form->Memo1->toPlainText(), model);

    QVERIFY(run.form->close());
    QCOMPARE(ReadFile(HistoryFile),
             Header + QByteArrayLiteral("<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA>"
                                        "<ROW RowState=\"4\" licao=\"1\" data=\"20240305T10:01:35000\" erros=\"3\" "
                                        "inicio=\"20240305T10:00:00000\" fim=\"20240305T10:01:35000\" "
                                        "tempo=\"18991230T00:01:35000\"/></ROWDATA></DATAPACKET>"));
  }

  void TimedPassageReportsItsPercentage() {
    WriteFile(HistoryFile, {});  // no hand-position window in the way
    Run run(At(10, 0, 0));
    QVERIFY(run.Start());
    run.form->SpinEdit1->SetText(QStringLiteral("158"));
    QCOMPARE(run.form->Label4->text(), QStringLiteral("Digite o texto acima 1 vez idêntico - EM 60 SEGUNDOS"));
    run.form->Memo2->setFocus();
    const QString model = Model(158);
    QCOMPARE(model.size(), 79);
    run.Type(model.left(model.size() - 1));
    run.fake.now = At(10, 1, 15);
    run.Type(model.back());
    QTRY_COMPARE(run.watcher.Count(Kind::Report), 1);
    QVERIFY(run.watcher.Texts(Kind::Report).front().endsWith(
        QStringLiteral("Tempo: 00:01:15\nTempo esperado: 60 segundos\n\nPercentual tempo alcançado: 80,0%")));
    QCOMPARE(run.fake.keys.size(), std::size_t(0));  // a passage has no line advance
    QCOMPARE(run.Cell(0, 0), QStringLiteral("158"));
  }

  // Every judged key counts on the character expected: the dead-key letters as the letters
  // they make, a wrong pair as one error on the letter; a completed exercise's counts add up
  // to its history record's erros, under its stamps; the one left at close is kept as left.
  void KeyStatisticsAddUpToTheHistoryAndLeaveItsBytesAlone() {
    WriteFile(HistoryFile, {});
    Run run(At(10, 0, 0));
    QVERIFY(run.Start());
    run.form->SpinEdit1->SetText(QStringLiteral("158"));
    run.form->Memo2->setFocus();
    const QString model = Model(158);
    for (qsizetype i = 0; i < model.size(); ++i) {
      if (i == 0) run.Type(QLatin1Char('x'));
      if (model[i] == QChar(u'é')) run.Type(QLatin1Char('e'));  // the dead key forgotten
      if (model[i] == QChar(u'ã')) run.Type(QChar(u'á'));       // the wrong dead key
      if (i == model.size() - 1) run.fake.now = At(10, 1, 15);
      run.Type(model[i]);
    }
    QTRY_COMPARE(run.watcher.Count(Kind::Report), 1);
    QTRY_COMPARE(run.form->Label3->text(), QStringLiteral("0"));  // the lesson again
    run.Type(model.left(24));
    run.Type(QLatin1Char('#'));
    run.fake.now = At(10, 2, 0);
    QVERIFY(run.form->close());

    QCOMPARE(ReadFile(HistoryFile),
             Header + QByteArrayLiteral("<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA>"
                                        "<ROW RowState=\"4\" licao=\"158\" data=\"20240305T10:01:15000\" erros=\"3\" "
                                        "inicio=\"20240305T10:00:00000\" fim=\"20240305T10:01:15000\" "
                                        "tempo=\"18991230T00:01:15000\"/></ROWDATA></DATAPACKET>"));
    const QByteArray bytes = ReadFile(QStringLiteral("Teclas.xml"));
    const std::vector<history::ExerciseKeyStats> exercises =
        history::ReadKeyStats(history::ReadPacket(std::string_view(bytes.constData(), bytes.size())));
    QCOMPARE(exercises.size(), std::size_t(2));
    const auto errors = [](const history::ExerciseKeyStats& e) {
      int sum = 0;
      for (const KeyCounts& k : e.keys) sum += k.wrong;
      return sum;
    };
    const auto counts = [](const history::ExerciseKeyStats& e, char16_t key) {
      for (const KeyCounts& k : e.keys)
        if (k.expected == key) return k;
      return KeyCounts{};
    };
    const history::ExerciseKeyStats& done = exercises[0];
    QCOMPARE(done.end, history::ExerciseEnd::Completed);
    QCOMPARE(done.licao, 158);
    QCOMPARE(ToStamp(done.data), ToStamp(At(10, 1, 15)));
    QCOMPARE(ToStamp(done.inicio), ToStamp(At(10, 0, 0)));
    QCOMPARE(ToStamp(done.fim), ToStamp(At(10, 1, 15)));
    QCOMPARE(errors(done), 3);
    QCOMPARE(counts(done, u'ã'), (KeyCounts{u'ã', 1, 1, 0, 0, {{u'á', 1}}}));
    QCOMPARE(counts(done, u'é').wrong, 1);
    QCOMPARE(counts(done, u'S').typedInstead, (std::vector<WrongKey>{{u'x', 1}}));
    const history::ExerciseKeyStats& left = exercises[1];
    QCOMPARE(left.end, history::ExerciseEnd::Left);
    QCOMPARE(left.licao, 158);
    QCOMPARE(ToStamp(left.fim), ToStamp(At(10, 2, 0)));
    QCOMPARE(errors(left), 1);
  }

  // A statistics file that is not ours neither stops the session end's save of the history
  // nor is written over; the run's statistics wait for a later save.
  void SessionEndLeavesAForeignStatisticsFileAndSavesTheHistory() {
    WriteFile(HistoryFile, {});
    const QByteArray foreign = QByteArrayLiteral("<teclas de outro programa/>");
    WriteFile(QStringLiteral("Teclas.xml"), foreign);
    Run run(At(10, 0, 0));
    QVERIFY(run.Start());
    run.form->SpinEdit1->SetText(QStringLiteral("158"));
    run.form->Memo2->setFocus();
    run.Type(Model(158).left(30));
    QCOMPARE(run.form->SaveAtSessionEnd(), SessionEnd::Saved);
    QCOMPARE(ReadFile(HistoryFile), EmptyHistory);
    QCOMPARE(ReadFile(QStringLiteral("Teclas.xml")), foreign);
    QVERIFY(QFile::remove(QStringLiteral("Teclas.xml")));
    QVERIFY(run.form->close());
    const QByteArray bytes = ReadFile(QStringLiteral("Teclas.xml"));
    const auto exercises =
        history::ReadKeyStats(history::ReadPacket(std::string_view(bytes.constData(), bytes.size())));
    QCOMPARE(exercises.size(), std::size_t(1));
    QCOMPARE(exercises[0].end, history::ExerciseEnd::Left);
    // The session end itself saves them, beside the other run's.
    Run next(At(11, 0, 0));
    QVERIFY(next.Start());
    next.form->SpinEdit1->SetText(QStringLiteral("158"));
    next.form->Memo2->setFocus();
    next.Type(Model(158).left(30));
    QCOMPARE(next.form->SaveAtSessionEnd(), SessionEnd::Saved);
    const QByteArray after = ReadFile(QStringLiteral("Teclas.xml"));
    QCOMPARE(history::ReadKeyStats(history::ReadPacket(std::string_view(after.constData(), after.size()))).size(),
             std::size_t(2));
  }

  void SpinBoxStartsALessonAtEveryChange() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    LessonSpinBox* spin = run.form->SpinEdit1;
    spin->setFocus();
    spin->SetText(QString());
    QCOMPARE(run.form->Memo1->toPlainText(), Model(1));  // empty reads as 1
    QTest::keyClick(spin, '1');
    QCOMPARE(run.form->Memo1->toPlainText(), Model(1));
    QTest::keyClick(spin, '5');
    QCOMPARE(run.form->Memo1->toPlainText(), Model(15));
    QVERIFY(spin->hasFocus());  // the caret stays for the next digit
    spin->SetText(QStringLiteral("+"));
    QCOMPARE(run.form->Memo1->toPlainText(), Model(1));
    QCOMPARE(run.watcher.Count(Kind::MessageBox), 0);
    QTest::mouseClick(run.form->BitBtn1, Qt::LeftButton);
    QVERIFY(run.form->Memo2->hasFocus());  // the start button hands over the caret
  }

  void SpinBoxOutOfRangeIsNotPreparedUntilFocusLeaves_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("lesson");
    QTest::addColumn<QString>("instruction");
    QTest::newRow("0") << QStringLiteral("0") << QStringLiteral("1") << 1
                       << QStringLiteral("Repita 15 vezes o texto acima em cada linha");
    QTest::newRow("193") << QStringLiteral("193") << QStringLiteral("192") << 192
                         << QStringLiteral("Digite o texto acima 1 vez idêntico");
    QTest::newRow("-5") << QStringLiteral("-5") << QStringLiteral("1") << 1
                        << QStringLiteral("Repita 15 vezes o texto acima em cada linha");
  }
  void SpinBoxOutOfRangeIsNotPreparedUntilFocusLeaves() {
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(int, lesson);
    QFETCH(QString, instruction);
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    LessonSpinBox* spin = run.form->SpinEdit1;
    spin->setFocus();
    spin->selectAll();
    for (QChar c : typed) QTest::keyClick(spin, c.toLatin1());
    QCOMPARE(spin->Text(), typed);
    QCOMPARE(run.watcher.Texts(Kind::MessageBox), std::vector<QString>{QStringLiteral("Exercício não preparado.")});
    QCOMPARE(run.watcher.seen.back().title, QStringLiteral("Tecladim"));
    QCOMPARE(run.form->Memo1->toPlainText(), QStringLiteral("Erro."));
    QVERIFY(run.form->Label4->text().startsWith(instruction));
    run.Reactivate();
    QVERIFY(spin->hasFocus());
    QCOMPARE(spin->Text(), typed);  // the message box took the keyboard: no leaving
    run.form->BitBtn2->setFocus();
    QCOMPARE(spin->Text(), after);
    QCOMPARE(run.form->Memo1->toPlainText(), Model(lesson));
    QCOMPARE(run.form->Label4->text().left(instruction.size()), instruction);
  }

  void GoodFileLoadsWithNewestCurrent() {
    {
      Run first;
      QVERIFY(first.Start());
      QTRY_COMPARE(first.watcher.Count(Kind::HandPosition), 1);
      first.CompleteNoLessonPassage();
      first.fake.now = At(11, 0, 0);
      first.CompleteNoLessonPassage();
      QVERIFY(first.form->close());
    }
    Run second;
    QVERIFY(second.Start());
    QCOMPARE(second.GridRows(), 2);
    QCOMPARE(second.Cell(1, 1), QStringLiteral("05/03/2024 11:00:00"));
    QCOMPARE(second.form->DBText1->text(), QStringLiteral("05/03/2024 11:00:00"));  // the newest
    QCOMPARE(second.form->DBGrid1->model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("▶"));
    QCOMPARE(second.form->Memo1->toPlainText(), Model(1));
    QVERIFY(!second.form->Timer2->isActive());  // the hand position is not on its way
    QCOMPARE(second.watcher.Count(Kind::HandPosition), 0);
    // A click on a row makes its record current.
    const QTableView* grid = second.form->DBGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
    QCOMPARE(second.form->DBText1->text(), QStringLiteral("05/03/2024 10:00:00"));
  }

  void ZeroByteFileIsAnEmptyHistory() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    QVERIFY(!run.form->Timer2->isActive());
    QVERIFY(run.watcher.seen.empty());
    QCOMPARE(run.GridRows(), 0);
    QCOMPARE(run.form->Memo1->toPlainText(), Model(1));
    QVERIFY(run.form->close());
    QCOMPARE(ReadFile(HistoryFile), EmptyHistory);
  }

  void DamagedFileShowsErrorAndIsLeftAlone() {
    const QByteArray damaged = QByteArrayLiteral("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIE");
    WriteFile(HistoryFile, damaged);
    Run run;
    QVERIFY(run.Start());
    QCOMPARE(run.watcher.Count(Kind::ErrorBox), 1);
    QVERIFY(!run.watcher.seen.front().mainWindowVisible);  // shown before the window
    QCOMPARE(run.watcher.seen.front().title, QStringLiteral("Tecladim"));
    QVERIFY(run.watcher.seen.front().text.endsWith(QLatin1Char('.')));
    QCOMPARE(run.form->Memo1->toPlainText(), ToQString(*LessonText(3)));  // as created
    QCOMPARE(ToQString(run.form->Memo2->Text()), NumberedLines());
    QCOMPARE(run.GridRows(), 0);
    QVERIFY(!run.form->Timer2->isActive());
    QCOMPARE(run.watcher.Count(Kind::HandPosition), 0);
    QCOMPARE(run.watcher.Count(Kind::ErrorBox), 1);  // once
    QVERIFY(run.form->close());
    QCOMPARE(ReadFile(HistoryFile), damaged);
  }

  void PreloadedHistoryIsTheOneShownAndItsErrorComesFirst() {
    {
      Run first;
      QVERIFY(first.Start());
      first.CompleteNoLessonPassage();
      QVERIFY(first.form->close());
    }
    const QByteArray good = ReadFile(HistoryFile);
    const QByteArray damaged = QByteArrayLiteral("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIE");
    {
      Run run(At(10, 0, 0), Run::History::Preloaded);
      WriteFile(HistoryFile, damaged);  // too late: the preload read the file at the start
      QVERIFY(run.Start());
      QVERIFY(run.watcher.seen.empty());
      QCOMPARE(run.GridRows(), 1);
      QCOMPARE(run.form->DBText1->text(), QStringLiteral("05/03/2024 10:00:00"));
      QCOMPARE(run.form->Memo1->toPlainText(), Model(1));
      WriteFile(HistoryFile, good);
      QVERIFY(run.form->close());
    }
    WriteFile(HistoryFile, damaged);
    Run run(At(10, 0, 0), Run::History::Preloaded);
    QVERIFY(run.Start());
    QCOMPARE(run.watcher.Count(Kind::ErrorBox), 1);
    QVERIFY(!run.watcher.seen.front().mainWindowVisible);  // shown before the window
    QCOMPARE(run.watcher.seen.front().text, QStringLiteral("Mismatch in datapacket."));
    QCOMPARE(run.GridRows(), 0);
    QVERIFY(run.form->close());
    QCOMPARE(ReadFile(HistoryFile), damaged);
  }

  void SeventhFieldSurvivesTheSave() {
    const QByteArray row = QByteArrayLiteral(
        "<ROW RowState=\"4\" licao=\"7\" data=\"20240304T09:00:00000\" erros=\"2\" inicio=\"20240304T08:58:00000\" "
        "fim=\"20240304T09:00:00000\" tempo=\"18991230T00:02:00000\" turma=\"A\"/>");
    QByteArray file = Header;
    file.replace("</FIELDS>", "<FIELD attrname=\"turma\" fieldtype=\"string\" WIDTH=\"10\"/></FIELDS>");
    file += QByteArrayLiteral("<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA>") + row +
            QByteArrayLiteral("</ROWDATA></DATAPACKET>");
    WriteFile(HistoryFile, file);
    Run run;
    QVERIFY(run.Start());
    QVERIFY(run.watcher.seen.empty());
    QCOMPARE(run.GridRows(), 1);
    QCOMPARE(run.form->Label15->text(), QStringLiteral("7"));
    QCOMPARE(run.form->DBText4->text(), QStringLiteral("00:02:00"));
    run.CompleteNoLessonPassage();
    QVERIFY(run.form->close());
    const QByteArray saved = ReadFile(HistoryFile);
    QVERIFY(saved.contains(row));
    QVERIFY(saved.contains("CHANGE_LOG=\"1 0 4 2 0 4\""));
    QVERIFY(saved.contains("licao=\"193\""));
  }

  void FailedSaveKeepsWindowOpenUntilALaterCloseSucceeds() {
    QVERIFY(QDir().mkdir(HistoryFile));  // a folder: not a history file, and not replaceable
    Run run;
    QVERIFY(run.Start());
    QTRY_COMPARE(run.watcher.Count(Kind::HandPosition), 1);  // no history file: a first run
    QVERIFY(!run.form->close());
    QCOMPARE(run.watcher.Count(Kind::ErrorBox), 1);
    QVERIFY(run.form->isVisible());
    QVERIFY(QDir().rmdir(HistoryFile));
    QTest::mouseClick(run.form->BitBtn3, Qt::LeftButton);  // "Sair"
    QVERIFY(!run.form->isVisible());
    QCOMPARE(ReadFile(HistoryFile), EmptyHistory);
  }

  void SessionEndWritesTheHistoryOnce() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    QVERIFY(QFile::remove(HistoryFile));
    run.form->SaveAtSessionEnd();  // the desktop ends the program without a close
    QCOMPARE(ReadFile(HistoryFile), EmptyHistory);
    QVERIFY(run.form->close());
    QVERIFY(QFile::remove(HistoryFile));
    run.form->SaveAtSessionEnd();  // after a close that saved, nothing more
    QVERIFY(!QFile::exists(HistoryFile));
  }

  // An exercise completed after a load error used to be refused ("closed dataset") and lost.
  void ExerciseAfterALoadErrorIsKeptBesideTheDamagedHistoryAndMergedLater() {
    const QByteArray damaged = QByteArrayLiteral("not a packet");
    WriteFile(HistoryFile, damaged);
    const QString recovery = HistoryFile + QStringLiteral(".recuperado.xml");
    {
      Run run;
      QVERIFY(run.Start());
      QCOMPARE(run.watcher.Count(Kind::ErrorBox), 1);
      QCOMPARE(run.watcher.seen.front().text, QStringLiteral("Mismatch in datapacket."));
      run.CompleteNoLessonPassage();
      QCOMPARE(run.watcher.Count(Kind::ErrorBox), 1);  // the completion is recorded, not refused
      QCOMPARE(run.GridRows(), 0);                     // the history that failed stays closed
      QVERIFY(run.form->close());
      QCOMPARE(ReadFile(HistoryFile), damaged);
      QVERIFY(ReadFile(recovery).contains("licao=\"193\""));
    }
    {
      Run again;  // still damaged: the recovery file waits, and takes this run's records too
      QVERIFY(again.Start());
      again.CompleteNoLessonPassage();
      QVERIFY(again.form->close());
      QCOMPARE(ReadFile(HistoryFile), damaged);
      QCOMPARE(ReadFile(recovery).count("licao=\"193\""), 2);
    }
    WriteFile(HistoryFile, EmptyHistory);  // repaired by hand
    Run repaired(At(11, 0, 0), Run::History::Preloaded);
    QVERIFY(repaired.Start());
    QVERIFY(repaired.watcher.seen.empty());  // nothing to click
    QCOMPARE(repaired.GridRows(), 2);
    QVERIFY(!QFile::exists(recovery));
    QCOMPARE(ReadFile(HistoryFile).count("licao=\"193\""), 2);
  }

  // After a load error of the history its records wait in its recovery file, and the key
  // statistics of the same exercise are saved in "Teclas.xml" all the same, under the same
  // stamps: that file is read and written on its own. A statistics file not ours at close
  // used to cost the run's statistics: they wait in "Teclas.xml.recuperado.xml" and join the
  // file once it is ours again.
  void KeyStatisticsAreKeptWhenEitherFileDoesNotLoad() {
    const auto exercisesIn = [](const QString& name) {
      const QByteArray bytes = ReadFile(name);
      return history::ReadKeyStats(history::ReadPacket(std::string_view(bytes.constData(), bytes.size())));
    };
    const QString keyStats = QStringLiteral("Teclas.xml");
    const QString keyStatsKept = keyStats + QStringLiteral(".recuperado.xml");
    const QString model = Model(158);
    WriteFile(HistoryFile, QByteArrayLiteral("not a packet"));
    {
      Run run;
      QVERIFY(run.Start());
      run.form->SpinEdit1->SetText(QStringLiteral("158"));
      run.form->Memo2->setFocus();
      run.Type(model.left(model.size() - 1));
      run.fake.now = At(10, 1, 15);
      run.Type(model.back());
      QTRY_COMPARE(run.watcher.Count(Kind::Report), 1);
      QVERIFY(run.form->close());
    }
    QVERIFY(ReadFile(HistoryFile + QStringLiteral(".recuperado.xml")).contains("data=\"20240305T10:01:15000\""));
    const auto saved = exercisesIn(keyStats);
    QCOMPARE(saved.size(), std::size_t(1));
    QCOMPARE(saved[0].end, history::ExerciseEnd::Completed);
    QCOMPARE(ToStamp(saved[0].data), ToStamp(At(10, 1, 15)));

    WriteFile(HistoryFile, EmptyHistory);
    const QByteArray foreign = QByteArrayLiteral("<teclas de outro programa/>");
    WriteFile(keyStats, foreign);
    {
      Run run(At(11, 0, 0));
      QVERIFY(run.Start());
      run.form->SpinEdit1->SetText(QStringLiteral("158"));
      run.form->Memo2->setFocus();
      run.Type(model.left(30));
      QVERIFY(run.form->close());
    }
    QCOMPARE(ReadFile(keyStats), foreign);
    QVERIFY(QFile::exists(keyStatsKept));
    QCOMPARE(exercisesIn(keyStatsKept).size(), std::size_t(1));
    QVERIFY(QFile::remove(keyStats));  // put right
    {
      Run idle(At(12, 0, 0));
      QVERIFY(idle.Start());
      QVERIFY(idle.form->close());
    }
    const auto merged = exercisesIn(keyStats);
    QCOMPARE(merged.size(), std::size_t(1));
    QCOMPARE(merged[0].end, history::ExerciseEnd::Left);
    QVERIFY(!QFile::exists(keyStatsKept));
  }

  // The end of a session while another program holds the history used to wait 30 s twice
  // and exit as if saved, the run's records gone.
  void SessionEndWithTheHistoryLockedKeepsTheRunForTheNextStart() {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    WriteFile(HistoryFile, EmptyHistory);
    {
      Run run;
      QVERIFY(run.Start());
      run.CompleteNoLessonPassage();
      const int holder = ::open("Exercicio.xml", O_RDONLY);
      QVERIFY(holder >= 0);
      QCOMPARE(::flock(holder, LOCK_EX), 0);  // another program's save that does not end
      QElapsedTimer timer;
      timer.start();
      const SessionEnd end = run.form->SaveAtSessionEnd();
      QVERIFY2(timer.elapsed() < 10'000, qPrintable(QString::number(timer.elapsed())));
      QCOMPARE(end, SessionEnd::RecordsKept);
      QCOMPARE(ExitStatusAfter(end, 128 + 15), 75);
      QCOMPARE(run.form->SaveAtSessionEnd(), SessionEnd::RecordsKept);  // once: the quit's call waits no more
      ::close(holder);
      tecladim::platform::SetLockWaitLimit(std::chrono::seconds(30));
      QCOMPARE(ReadFile(HistoryFile), EmptyHistory);
      const QStringList kept = QDir(data.path() + QStringLiteral("/tecladim/recuperados")).entryList(QDir::Files);
      QCOMPARE(kept.size(), 1);
      QVERIFY(kept.front().startsWith(QStringLiteral("Exercicio.xml.")));
    }
    Run next(At(11, 0, 0), Run::History::Preloaded);
    QVERIFY(next.Start());
    QCOMPARE(next.GridRows(), 1);
    QVERIFY(QDir(data.path() + QStringLiteral("/tecladim/recuperados")).entryList(QDir::Files).isEmpty());
    QVERIFY(ReadFile(HistoryFile).contains("licao=\"193\""));
    qunsetenv("XDG_DATA_HOME");
  }

  // A start while another program's save holds the history used to block before the window
  // showed, for as long as that save took (up to 30 s).
  void StartWhileTheHistoryIsLockedShowsTheWindowAndLoadsItLater() {
    WriteFile(HistoryFile, EmptyHistory);
    const int holder = ::open("Exercicio.xml", O_RDONLY);
    QVERIFY(holder >= 0);
    QCOMPARE(::flock(holder, LOCK_EX), 0);
    Run run;  // its first show starts the read, which waits for the lock
    QElapsedTimer timer;
    timer.start();
    QVERIFY(run.Start());
    QVERIFY(timer.elapsed() < 5'000);
    QVERIFY(run.form->isVisible());
    QVERIFY(!run.form->BitBtn1->isEnabled());  // nothing to start until the history is there
    QCOMPARE(run.form->cursor().shape(), Qt::BusyCursor);
    QVERIFY(!run.form->cds1->Active());
    ::close(holder);
    QTRY_VERIFY(run.form->cds1->Active());
    QVERIFY(run.form->BitBtn1->isEnabled());
    QCOMPARE(run.form->Memo1->toPlainText(), Model(1));
    QVERIFY(run.watcher.seen.empty());
  }

  void TabOrderAndFocusReturn() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    QVERIFY(run.form->Memo2->hasFocus());
    QTest::keyClick(run.form->Memo2, Qt::Key_Tab);
    QVERIFY(run.form->BitBtn2->hasFocus());  // the disabled gutter is skipped
    run.form->Memo2->setFocus();
    QTest::keyClick(run.form->Memo2, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(run.form->Memo2->hasFocus());  // the model box hands the focus straight back
    QTest::mouseClick(run.form->Memo1->viewport(), Qt::LeftButton);
    QVERIFY(run.form->Memo2->hasFocus());
    QCOMPARE(run.Typed(), QString());
  }

  void CaretReturnsToTheEndAfterClickAndKeyUp() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    run.Type(Model(1).left(20));
    QTest::mouseClick(run.form->Memo2->viewport(), Qt::LeftButton, {}, QPoint(8, 8));
    QCOMPARE(run.form->Memo2->CaretOffset(), 20);
    QTest::keyPress(run.form->Memo2, Qt::Key_Left);
    QTest::keyPress(run.form->Memo2, Qt::Key_Left);
    QCOMPARE(run.form->Memo2->CaretOffset(), 18);  // an arrow held moves the caret
    QTest::keyRelease(run.form->Memo2, Qt::Key_Left);
    QCOMPARE(run.form->Memo2->CaretOffset(), 20);
    QVERIFY(!run.form->Memo2->textCursor().hasSelection());
  }

  void WebAddressOpensQuietly() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    QTest::mouseClick(run.form->Label16, Qt::LeftButton);
    QCOMPARE(run.fake.urls, std::vector<QString>{QStringLiteral("https://www.tecladim.example.org")});
    QVERIFY(run.watcher.seen.empty());  // a box would have been answered within the click
  }

  void ClipboardWipeKeepsRunningThroughItsError() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    QTRY_VERIFY_WITH_TIMEOUT(run.fake.clipboardWipes >= 2, 2000);
    run.fake.clipboardFailure = QStringLiteral("Acesso negado");
    QTRY_COMPARE_WITH_TIMEOUT(run.watcher.Count(Kind::ErrorBox), 1, 2000);
    QCOMPARE(run.watcher.seen.back().text, QStringLiteral("Cannot open clipboard: Acesso negado."));
    run.fake.clipboardFailure.reset();
    const int wipes = run.fake.clipboardWipes;
    QTRY_VERIFY_WITH_TIMEOUT(run.fake.clipboardWipes > wipes, 2000);
    QVERIFY(run.form->Timer3->isActive());
  }

  // A double-click selected a word and the next right key replaced it: lesson 1's
  // "asdfg hjklç " became "a hjklç " without an error, and a passage could never complete.
  void SelectionNeverLetsAKeyReplaceTypedText_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("errors");
    QTest::newRow("double-click on a word") << QStringLiteral("double-click") << 0;
    QTest::newRow("triple-click on the line") << QStringLiteral("triple-click") << 0;
    QTest::newRow("shift with the left arrow, held") << QStringLiteral("shift+left") << 0;
    QTest::newRow("drag with the button still down") << QStringLiteral("drag") << 0;
    QTest::newRow("Ctrl+A (a wrong key, selects nothing)") << QStringLiteral("ctrl+a") << 1;
  }
  void SelectionNeverLetsAKeyReplaceTypedText() {
    QFETCH(QString, how);
    QFETCH(int, errors);
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    const QString model = Model(1);
    run.Type(model.left(12));  // "asdfg hjklç "
    TypingBox* box = run.form->Memo2;
    QWidget* area = box->viewport();
    const QPoint inFirstWord = box->cursorRect(QTextCursor(box->document())).center() + QPoint(20, 0);
    if (how == QStringLiteral("double-click")) {
      QTest::mouseDClick(area, Qt::LeftButton, {}, inFirstWord);
      QVERIFY(box->textCursor().hasSelection());  // the word stays selected until the next key
    } else if (how == QStringLiteral("triple-click")) {
      QTest::mouseDClick(area, Qt::LeftButton, {}, inFirstWord);
      QTest::mouseClick(area, Qt::LeftButton, {}, inFirstWord);
    } else if (how == QStringLiteral("shift+left")) {
      for (int i = 0; i < 5; ++i) QTest::keyPress(box, Qt::Key_Left, Qt::ShiftModifier);
      QVERIFY(box->textCursor().hasSelection());
    } else if (how == QStringLiteral("drag")) {
      QTest::mousePress(area, Qt::LeftButton, {}, inFirstWord);
      QTest::mouseMove(area, inFirstWord + QPoint(80, 0));
    } else {
      QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
      run.Reactivate();
    }
    run.Type(model[12]);
    QCOMPARE(run.Typed(), model.left(13));
    QCOMPARE(run.form->Label3->text(), QString::number(errors));
    QCOMPARE(box->CaretOffset(), 13);
    if (how == QStringLiteral("drag")) QTest::mouseRelease(area, Qt::LeftButton, {}, inFirstWord + QPoint(80, 0));
  }

  // A wrong key typed just before the injected Enter opened a flash that swallowed the Enter:
  // the student was left at the line's end, where every key but Enter was another error.
  void LineAdvanceSwallowedByAFlashIsPutBack() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    const QString model = Model(1);
    run.Type(model.left(model.size() - 1));
    QueuedKeyDelivery fastStudent;
    fastStudent.Type(QString(model.back()) + QStringLiteral("x"));  // x before the line advance
    QTRY_COMPARE(run.watcher.Count(Kind::Flash), 1);
    QTRY_COMPARE(run.Typed(), model + QStringLiteral("\r\n"));
    QCOMPARE(run.fake.keys.size(), std::size_t(2));  // one line advance sent: the typing box had it back
    QCOMPARE(run.form->Label3->text(), QStringLiteral("1"));
    run.Type(model.left(3));
    QCOMPARE(run.Typed(), model + QStringLiteral("\r\n") + model.left(3));
    QCOMPARE(run.form->Label3->text(), QStringLiteral("1"));
  }

  // One notch of the wheel over the lesson spin box while the student typed loaded another
  // lesson and threw the typed text away; Page Up and Page Down stepped the number by 10.
  void WheelChangesTheLessonOnlyWhenTheSpinBoxHasTheKeyboard() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    run.Type(Model(1).left(5));
    LessonSpinBox* spin = run.form->SpinEdit1;
    auto wheel = [spin](int notches) {
      const QPointF at = QPointF(spin->rect().center());
      QWheelEvent event(at, spin->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(spin, &event);
    };
    wheel(1);
    QCOMPARE(spin->Text(), QStringLiteral("1"));
    QVERIFY(run.form->Memo2->hasFocus());
    QCOMPARE(run.Typed(), Model(1).left(5));

    spin->setFocus();
    wheel(1);
    QCOMPARE(spin->Text(), QStringLiteral("2"));
    QCOMPARE(run.form->Memo1->toPlainText(), Model(2));
    QTest::keyClick(spin, Qt::Key_PageUp);
    QCOMPARE(spin->Text(), QStringLiteral("3"));
    QTest::keyClick(spin, Qt::Key_PageDown);
    QTest::keyClick(spin, Qt::Key_PageDown);
    QCOMPARE(spin->Text(), QStringLiteral("1"));
    QTest::keyClick(spin, Qt::Key_PageDown);
    QCOMPARE(spin->Text(), QStringLiteral("1"));
  }

  // After a resize or maximize the instruction line was cut to its width at creation:
  // "Repita" alone, and a timed passage lost "- EM 60 SEGUNDOS".
  void InstructionLineStaysWholeAfterAResize() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    QLabel* line = run.form->Label4;
    auto whole = [line] { return line->width() >= line->fontMetrics().horizontalAdvance(line->text()); };
    run.form->resize(1350, 800);
    QCOMPARE(line->text(), QStringLiteral("Repita 15 vezes o texto acima em cada linha"));
    QVERIFY2(whole(), qPrintable(QString::number(line->width())));
    QCOMPARE(line->pos(), QPoint(34, 330));
    run.form->SpinEdit1->SetText(QStringLiteral("158"));
    run.form->resize(1400, 760);
    QCOMPARE(line->text(), QStringLiteral("Digite o texto acima 1 vez idêntico - EM 60 SEGUNDOS"));
    QVERIFY2(whole(), qPrintable(QString::number(line->width())));
    QCOMPARE(line->pos(), QPoint(34, 290));
  }

  // Without a window manager the keys went nowhere once "Exercício não preparado." closed:
  // the number typed out of range then stayed in the spin box whatever the student did.
  void KeyboardComesBackAfterTheNotPreparedMessage() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    LessonSpinBox* spin = run.form->SpinEdit1;
    spin->setFocus();
    spin->selectAll();
    QTest::keyClick(spin, '0');
    QCOMPARE(run.watcher.Count(Kind::MessageBox), 1);
    QTRY_VERIFY(run.form->isActiveWindow());
    QVERIFY(spin->hasFocus());  // the student goes on where they were
    QCOMPARE(spin->Text(), QStringLiteral("0"));
    QTest::mouseClick(run.form->Memo2->viewport(), Qt::LeftButton);
    QCOMPARE(spin->Text(), QStringLiteral("1"));  // leaving the box sets it back into range
    QCOMPARE(run.form->Memo1->toPlainText(), Model(1));
    QVERIFY(run.form->Memo2->hasFocus());
  }

  void KeyboardComesBackAfterTheErrorDisplay() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    run.fake.clipboardFailure = QStringLiteral("Acesso negado");
    QTRY_COMPARE_WITH_TIMEOUT(run.watcher.Count(Kind::ErrorBox), 1, 2000);
    run.fake.clipboardFailure.reset();
    QTRY_VERIFY(run.form->isActiveWindow());
    QVERIFY(run.form->Memo2->hasFocus());
  }

  // The gutter's numbers were cut by 2 px at the window's left edge.
  void GutterNumbersAreWholeAndLevelWithTheLines() {
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    TextBox* gutter = run.form->Memo3;
    TextBox* box = run.form->Memo2;
    box->SetText(ToU16(NumberedLines()));
    for (int i = 0; i < 15; ++i) {
      const QTextBlock number = gutter->document()->findBlockByNumber(i);
      QRect at = gutter->cursorRect(QTextCursor(number));
      at.moveTopLeft(gutter->viewport()->mapTo(run.form.get(), at.topLeft()));
      QRect line = box->cursorRect(QTextCursor(box->document()->findBlockByNumber(i)));
      line.moveTopLeft(box->viewport()->mapTo(run.form.get(), line.topLeft()));
      QVERIFY2(at.left() >= 0, qPrintable(number.text()));
      QVERIFY2(at.left() + gutter->fontMetrics().horizontalAdvance(number.text()) <= box->x(),
               qPrintable(number.text()));
      QCOMPARE(at.top(), line.top());
    }
  }

  // Qt's own texts, the spin box's context menu among them, were in English.
  void QtOwnTextsArePortuguese() {
    QVERIFY(platform::InstallQtTranslations(*QCoreApplication::instance()));
    WriteFile(HistoryFile, {});
    Run run;
    QVERIFY(run.Start());
    QStringList items;
    QTimer::singleShot(0, run.form.get(), [&items] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (const QAction* action : menu->actions()) items << action->text().remove(QLatin1Char('&'));
        menu->close();
      }
    });
    LessonSpinBox* spin = run.form->SpinEdit1;
    QContextMenuEvent request(QContextMenuEvent::Mouse, spin->rect().center(), spin->mapToGlobal(spin->rect().center()));
    QApplication::sendEvent(spin, &request);
    QVERIFY2(items.contains(QStringLiteral("Selecionar tudo")), qPrintable(items.join(QLatin1Char('|'))));
    QCOMPARE(QMessageBox(QMessageBox::NoIcon, {}, {}, QMessageBox::Cancel).button(QMessageBox::Cancel)->text(),
             QStringLiteral("Cancelar"));
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
