#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <sstream>

#include "exam/profiles.h"
#include "exam/result_record.h"
#include "exam/results_file.h"
#include "exam/texts.h"
#include "platform/fake_services.h"
#include "prova/exam_typing_box.h"
#include "prova/exam_window.h"

using tecladim::FakeServices;
using tecladim::prova::ExamWindow;

namespace {

// Keys as the ABNT2 keyboard delivers them: an accented letter arrives whole, as its text.
void Type(QWidget* box, const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() < 0x80) QTest::keyClicks(box, QString(c));
    else QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

}  // namespace

class ExamWindowTest : public QObject {
  Q_OBJECT
 private slots:
  // A wrong key stays, Backspace takes one back, the sheet scores what is in the box.
  void HandingInScoresTheTypedText() {
    FakeServices platform;
    ExamWindow window(platform);
    window.show();
    window.ShowRules();
    window.StartExam();
    QCOMPARE(window.CountdownText(), QStringLiteral("05:00"));
    Type(window.TypingBox(), QStringLiteral("Todo cidadãp"));
    QTest::keyClick(window.TypingBox(), Qt::Key_Backspace);
    Type(window.TypingBox(), QStringLiteral("o tem o direiot"));
    window.HandIn();
    QCOMPARE(window.LastResult().toquesBrutos, 26);
    QCOMPARE(window.LastResult().erros, 1);  // "ot" for "to"
    QVERIFY(window.TypingBox()->isReadOnly());
  }

  // Ctrl+V and Shift+Insert put nothing in the box, and the clipboard is emptied while
  // the test runs.
  void PasteIsRefusedAndTheClipboardEmptied() {
    FakeServices platform;
    ExamWindow window(platform);
    window.show();
    window.ShowRules();
    window.StartExam();
    QApplication::clipboard()->setText(QStringLiteral("texto colado"));
    QTest::keyClick(window.TypingBox(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(window.TypingBox(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(window.TypingBox()->toPlainText(), QString());
    QTRY_VERIFY(platform.clipboardWipes >= 2);
  }

  // The warm-up minute is thrown away: back on the rules, no result.
  void WarmUpLeavesNoResult() {
    FakeServices platform;
    ExamWindow window(platform);
    window.show();
    window.ShowRules();
    window.StartWarmUp();
    QCOMPARE(window.CountdownText(), QStringLiteral("01:00"));
    QTest::keyClicks(window.TypingBox(), QStringLiteral("Todo"));
    window.HandIn();
    QCOMPARE(window.LastResult().toquesBrutos, 0);
  }

  // PC-MG and TJ-SP state their text's length: picking one offers a text of about that
  // length; going back to a profile that states none keeps the choice. Each text shows its length.
  void ABoardsLengthPicksATextNearIt() {
    FakeServices platform;
    ExamWindow window(platform);
    auto* profiles = window.findChild<QComboBox*>(QStringLiteral("profileBox"));
    auto* texts = window.findChild<QComboBox*>(QStringLiteral("textBox"));
    QVERIFY(profiles && texts);
    QCOMPARE(texts->currentIndex(), 0);
    QCOMPARE(texts->itemText(0), QStringLiteral("O direito de saber (1.130 caracteres)"));
    const auto allProfiles = tecladim::exam::Profiles();
    for (std::size_t i = 0; i < allProfiles.size(); ++i) {
      if (allProfiles[i].textLength == 0) continue;
      profiles->setCurrentIndex(static_cast<int>(i));
      const auto& text = tecladim::exam::ExamTexts()[static_cast<std::size_t>(texts->currentIndex())];
      QVERIFY2(std::abs(tecladim::exam::CharacterCount(text) - allProfiles[i].textLength) <=
                   tecladim::exam::NearLengthMargin,
               text.id.data());
    }
    const int chosen = texts->currentIndex();
    QVERIFY(chosen != 0);
    profiles->setCurrentIndex(0);
    QCOMPARE(texts->currentIndex(), chosen);
  }

  // The hand-in writes the result at once, the sheet says where; a warm-up writes nothing.
  void AHandedInTestIsInTheResultsFileAtOnce() {
    QTemporaryDir folder;
    const std::filesystem::path file = folder.filePath(QStringLiteral("Simulados.xml")).toStdString();
    std::ostringstream notes;
    tecladim::exam::ResultsFile results(file, {}, notes);
    QCOMPARE(QString::fromStdString(results.Load()), QString());
    FakeServices platform;
    ExamWindow window(platform);
    window.SetResultsFile(&results, {});
    window.show();
    window.ShowRules();
    window.StartWarmUp();
    Type(window.TypingBox(), QStringLiteral("Todo"));
    window.HandIn();
    QVERIFY(!std::filesystem::exists(file));
    window.StartExam();
    Type(window.TypingBox(), QStringLiteral("Todo cidadão"));
    QTest::keyClick(window.TypingBox(), Qt::Key_Return);
    Type(window.TypingBox(), QStringLiteral("tem"));
    window.HandIn();
    QVERIFY(window.SaveNoteText().startsWith(QStringLiteral("Resultado gravado em ")));
    tecladim::exam::ResultsFile read(file, {}, notes);
    QCOMPARE(QString::fromStdString(read.Load()), QString());
    QCOMPARE(read.Records().RowCount(), 1);
    const tecladim::exam::ResultRecord record = tecladim::exam::ResultAt(read.Records(), 0);
    QCOMPARE(QString::fromStdString(record.perfil), QStringLiteral("TJ-MG"));
    QCOMPARE(QString::fromStdString(record.texto), QString::fromUtf8(tecladim::exam::ExamTexts().front().id));
    QCOMPARE(QString::fromStdString(record.digitado), QStringLiteral("Todo cidadão\ntem"));
    QCOMPARE(record.tb, window.LastResult().toquesBrutos);
    QVERIFY(record.fim >= record.inicio);
    QCOMPARE(window.SaveAtEnd(), tecladim::exam::ResultsEnd::Saved);
  }
};

QTEST_MAIN(ExamWindowTest)
#include "exam_window_test.moc"
