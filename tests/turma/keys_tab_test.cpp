// The "Teclas" tab, the key pages of the printed report, --csv-teclas and --meu-desempenho,
// on the demonstration class (slips on "ç" and "~" + "a"; one student without key
// statistics, one whose key statistics file is damaged).
#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "demo_class.h"
#include "platform/durable_file.h"
#include "turma/application.h"
#include "turma/command_line.h"
#include "turma/keyboard_view.h"
#include "turma/keys_page.h"
#include "turma/report_window.h"

namespace tecladim::turma {
namespace {

std::int64_t Today() {
  const QDate d = QDate::currentDate();
  return DaysFromCivil({d.year(), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day())});
}

QString Reading() { return QStringLiteral("Lendo as estatísticas de teclas…"); }
// Reading the class's files, or summing their keys.
bool Busy(KeysPage* keys) {
  return keys->SituationText().startsWith(Reading()) || keys->SituationText().startsWith(QStringLiteral("Somando"));
}

QStringList TableColumn(QTableWidget* table, int column) {
  QStringList cells;
  for (int r = 0; r < table->rowCount(); ++r) cells << table->item(r, column)->text();
  return cells;
}

// The tooltip of the first point of the keyboard whose text starts with `start`.
QString ToolTipOf(KeyboardView* view, const QString& start) {
  const QRectF area = QRectF(view->rect()).adjusted(4, 4, -4, -4);
  for (int y = 0; y < view->height(); y += 4)
    for (int x = 0; x < view->width(); x += 4) {
      const QString text = view->Picture().ToolTipAt(QPointF(x, y), area);
      if (text.startsWith(start)) return text;
    }
  return {};
}

}  // namespace

class KeysTabTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(dir_.isValid());
    classroom::testing::WriteDemoClass(PathOf(dir_.path()), Today());
    window_.show();
    QSignalSpy shown(&window_, &ReportWindow::ClassShown);
    window_.OpenFolders({dir_.path()});
    QVERIFY(shown.wait(20000));
    window_.ShowTab(ReportWindow::KeysTab);
  }

  void studentWhoSlipsOnCedillaAndTildeSeesThemRedAndToPractise() {
    KeysPage* keys = window_.Keys();
    window_.ShowStudent(QStringLiteral("turma-a/ana-beatriz"));  // the student tab's choice is followed
    KeyboardView* keyboard = keys->Keyboard();
    const auto cedilla = keyboard->Picture().ErrorRateOf("AC10");
    const auto tilde = keyboard->Picture().ErrorRateOf("AC11");
    const auto space = keyboard->Picture().ErrorRateOf("SPCE");
    QVERIFY(cedilla && tilde && space);
    QVERIFY2(*cedilla > 0.75 * RedErrorRate && *cedilla > 2 * *space,
             qPrintable(QString::number(*cedilla) + QLatin1Char(' ') + QString::number(*space)));
    QVERIFY2(*tilde > 0.75 * RedErrorRate && *tilde > 2 * *space, qPrintable(QString::number(*tilde)));
    QVERIFY(!keyboard->Picture().ErrorRateOf("LCTL"));

    const QString advice = keys->AdviceText();
    QVERIFY2(advice.contains(QStringLiteral("<b>ç</b>")) && advice.contains(QStringLiteral("<b>ã</b>")),
             qPrintable(advice));
    QVERIFY2(advice.contains(QStringLiteral("Lição 34 —")), qPrintable(advice));  // "ação lição canção..."
    QVERIFY(keys->SituationText().contains(QStringLiteral("exercícios com estatísticas de teclas")));

    // Highest rate first; ç and ã among the first; a student's table names no other student.
    QTableWidget* table = keys->Table();
    const QStringList first = TableColumn(table, 0).mid(0, 4);
    QVERIFY2(first.contains(QStringLiteral("ç")) && first.contains(QStringLiteral("ã")),
             qPrintable(first.join(QLatin1Char(' '))));
    QVERIFY(table->isColumnHidden(table->columnCount() - 1));
    const int cedillaRow = static_cast<int>(TableColumn(table, 0).indexOf(QStringLiteral("ç")));
    QCOMPARE(table->item(cedillaRow, 1)->text(), QStringLiteral("mínimo direito"));
    QCOMPARE(table->item(cedillaRow, 6)->text(), QStringLiteral("c"));
    QVERIFY(table->item(cedillaRow, 5)->text().endsWith(QStringLiteral(" ms")));

    // On hover: the ç key's characters with their figures; the tilde key holds ã.
    const QString cedillaTip = ToolTipOf(keyboard, QStringLiteral("<b>Tecla ç</b>"));
    QVERIFY2(cedillaTip.contains(QStringLiteral("mais trocada por <b>c</b>")), qPrintable(cedillaTip));
    QVERIFY2(cedillaTip.contains(QStringLiteral("(mínimo direito)")), qPrintable(cedillaTip));
    const QString tildeTip = ToolTipOf(keyboard, QStringLiteral("<b>Tecla ~</b>"));
    QVERIFY2(tildeTip.contains(QStringLiteral("<b>ã</b> — ")), qPrintable(tildeTip));
  }

  void missingOrDamagedKeyStatisticsAreToldAndTheHistoryStays() {
    KeysPage* keys = window_.Keys();
    window_.ShowStudent(QStringLiteral("turma-b/larissa"));
    QVERIFY2(keys->SituationText().contains(QStringLiteral("ainda não registradas")),
             qPrintable(keys->SituationText()));
    QCOMPARE(keys->Table()->rowCount(), 0);

    window_.ShowStudent(QStringLiteral("turma-b/helena"));
    QVERIFY(keys->SituationText().contains(QStringLiteral("não pôde ser lido")));
    QVERIFY(keys->SituationText().contains(QStringLiteral("Mismatch in datapacket.")));
    auto* exercises = window_.findChild<QTableView*>(QStringLiteral("tabelaExercicios"));
    QVERIFY(exercises);
    QCOMPARE(exercises->model()->rowCount(), 150);  // her history, whole
  }

  void classKeyboardNamesWhoMissesEachKeyAndFollowsThePeriod() {
    KeysPage* keys = window_.Keys();
    keys->SelectStudent({});
    QTRY_VERIFY(!Busy(keys));
    QTableWidget* table = keys->Table();
    const int missers = table->columnCount() - 1;
    QVERIFY(!table->isColumnHidden(missers));
    const int cedillaRow = static_cast<int>(TableColumn(table, 0).indexOf(QStringLiteral("ç")));
    QVERIFY(cedillaRow >= 0);
    QVERIFY2(table->item(cedillaRow, missers)->text().contains(QStringLiteral("turma-b/isabela")),
             qPrintable(table->item(cedillaRow, missers)->text()));
    QVERIFY2(keys->SituationText().contains(QStringLiteral("9 de 12 alunos")), qPrintable(keys->SituationText()));
    QVERIFY(keys->SituationText().contains(QStringLiteral("turma-b/helena")));
    QVERIFY(keys->Keyboard()->Picture().ErrorRateOf("AC10"));

    // A period before any exercise: no key has figures.
    window_.SetPeriod(ReportWindow::PeriodChoice::Range, QDate(2001, 1, 1), QDate(2001, 1, 31));
    QTRY_COMPARE(table->rowCount(), 0);
    QVERIFY(!keys->Keyboard()->Picture().ErrorRateOf("AC10"));
    keys->SelectStudent(QStringLiteral("turma-a/ana-beatriz"));
    QVERIFY(keys->SituationText().startsWith(QStringLiteral("Nenhum exercício com estatísticas de teclas")));
    window_.SetPeriod(ReportWindow::PeriodChoice::Everything);
    QVERIFY(keys->Keyboard()->Picture().ErrorRateOf("AC10"));
    keys->SelectStudent({});
    QTRY_VERIFY(keys->Keyboard()->Picture().ErrorRateOf("AC10"));
  }

  // The class's keyboard froze the window for seconds on a large class: every file was read on
  // the window's thread. A trainer saving ana's file holds it here, so the read waits for it.
  void classKeysAreReadWhileTheWindowAnswers() {
    QTemporaryDir dir;
    classroom::testing::WriteDemoClass(PathOf(dir.path()), Today());
    const auto held = PathOf(dir.filePath(QStringLiteral("turma-a/ana-beatriz/Teclas.xml")));
    auto hold = std::make_optional<platform::LockedFile>();
    QVERIFY(!hold->Lock(held, platform::LockMode::Exclusive));
    auto window = std::make_unique<ReportWindow>();
    window->show();
    QSignalSpy shown(window.get(), &ReportWindow::ClassShown);
    window->OpenFolders({dir.path()});
    QVERIFY(shown.wait(20000));
    window->ShowTab(ReportWindow::KeysTab);
    KeysPage* keys = window->Keys();
    QCOMPARE(keys->SituationText(), Reading());
    auto* bar = keys->findChild<QProgressBar*>(QStringLiteral("lendoTeclas"));
    QVERIFY(bar && bar->isVisible());
    QCOMPARE(bar->maximum(), 10);                    // the students with a Teclas.xml
    QTRY_COMPARE(bar->value(), bar->maximum() - 1);  // all but the one held
    QVERIFY(!keys->Keyboard()->Picture().ErrorRateOf("AC10"));
    window->ShowTab(ReportWindow::ClassTab);  // the window answers meanwhile
    window->ShowTab(ReportWindow::KeysTab);
    QCOMPARE(keys->SituationText(), Reading());

    hold.reset();
    QTRY_VERIFY(keys->Keyboard()->Picture().ErrorRateOf("AC10"));
    QVERIFY(!bar->isVisible());
    QVERIFY2(keys->SituationText().contains(QStringLiteral("9 de 12 alunos")), qPrintable(keys->SituationText()));
    // Read once: the keys stay with the class, shown again at once, a period changes nothing.
    window->ShowTab(ReportWindow::ClassTab);
    window->SetPeriod(ReportWindow::PeriodChoice::ThisMonth);
    window->ShowTab(ReportWindow::KeysTab);
    QVERIFY(!keys->SituationText().startsWith(Reading()));
    QTRY_VERIFY(!Busy(keys));

    // A reload reads again only the files written since: nothing, then ana's (held again).
    window->Reload();
    QVERIFY(shown.wait(20000));
    QVERIFY(!keys->SituationText().startsWith(Reading()));
    std::filesystem::last_write_time(held, std::filesystem::last_write_time(held) + std::chrono::seconds(2));
    hold.emplace();
    QVERIFY(!hold->Lock(held, platform::LockMode::Exclusive));
    window->Reload();
    QVERIFY(shown.wait(20000));
    QCOMPARE(keys->SituationText(), Reading());
    QCOMPARE(bar->maximum(), 1);
    // Closed while reading: the reader's work is dropped, nothing it read lands in a freed class.
    window.reset();
    hold.reset();
    QThreadPool::globalInstance()->waitForDone();
  }

  void keyCsvFromTheCommandLine() {
    const QString output = dir_.filePath(QStringLiteral("teclas.csv"));
    const CommandLine command = ParseCommandLine({QStringLiteral("--csv-teclas"), output, dir_.path()});
    QCOMPARE(command.mode, CommandLine::Mode::KeyCsv);
    std::ostringstream errors;
    QCOMPARE(ExportCsv(command, errors), 1);  // the damaged history
    QVERIFY(errors.str().find("turma-b/helena: Teclas.xml: Mismatch in datapacket.") != std::string::npos);
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(
        bytes.startsWith("\xEF\xBB\xBF"
                         "aluno;tecla;dedo;acertos;erros;taxa_erro;tempo_medio_ms;mais_trocada_por\r\n"));
    QVERIFY(bytes.contains("\r\nturma-a/ana-beatriz;\xC3\xA7;m\xC3\xADnimo direito;"));
    QVERIFY(!bytes.contains("turma-b/larissa;"));

    // Never over a history: refused before anything is written.
    std::ostringstream refused;
    const QString history = dir_.filePath(QStringLiteral("turma-a/ana-beatriz/Exercicio.xml"));
    const QByteArray before = [&] {
      QFile h(history);
      h.open(QIODevice::ReadOnly);
      return h.readAll();
    }();
    QCOMPARE(ExportCsv(ParseCommandLine({QStringLiteral("--csv-teclas"), history, dir_.path()}), refused), 2);
    QFile after(history);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QVERIFY(after.readAll() == before);
    // Nor over a student's key statistics, whatever the export.
    const QString keys = dir_.filePath(QStringLiteral("turma-a/ana-beatriz/Teclas.xml"));
    const QByteArray keyBytes = [&] {
      QFile k(keys);
      k.open(QIODevice::ReadOnly);
      return k.readAll();
    }();
    for (const QString& option : {QStringLiteral("--csv-teclas"), QStringLiteral("--csv")}) {
      std::ostringstream told;
      QCOMPARE(ExportCsv(ParseCommandLine({option, keys, dir_.path()}), told), 2);
      QVERIFY(told.str().find("estatísticas de teclas de um aluno") != std::string::npos);
    }
    QFile keysAfter(keys);
    QVERIFY(keysAfter.open(QIODevice::ReadOnly));
    QVERIFY(keysAfter.readAll() == keyBytes);
  }

  void ownReportOpensTheStudentsFolderOnTheKeysTab() {
    const CommandLine none = ParseCommandLine({QStringLiteral("--meu-desempenho")});
    QCOMPARE(none.mode, CommandLine::Mode::OwnReport);
    QCOMPARE(none.folders, QStringList{QStringLiteral(".")});
    QCOMPARE(ParseCommandLine({QStringLiteral("--meu-desempenho"), QStringLiteral("a"), QStringLiteral("b")}).mode,
             CommandLine::Mode::Usage);

    ReportWindow own;
    own.show();
    QSignalSpy shown(&own, &ReportWindow::ClassShown);
    // The history directly in the folder: the folders below it are not walked.
    own.OpenOwnHistory(dir_.filePath(QStringLiteral("turma-a/ana-beatriz")));
    QVERIFY(shown.wait(20000));
    QCOMPARE(own.Class().students.size(), std::size_t{1});
    QCOMPARE(own.Class().students[0].aluno, std::string("ana-beatriz"));
    QVERIFY(own.Keys()->isVisible());
    QVERIFY(own.Keys()->Keyboard()->Picture().ErrorRateOf("AC10"));
    QVERIFY(own.Keys()->AdviceText().contains(QStringLiteral("<b>ç</b>")));
  }

  // The student's title bar read "Tecladim — Meu desempenho — Tecladim — Relatório da turma":
  // the title bar adds the application's display name to a title that does not end with it.
  void ownReportsTitleBarNamesItOnce() {
    const QString before = QApplication::applicationDisplayName();
    QVERIFY(SetUpApplication(*qApp, ReportView::Own));
    ReportWindow own;
    own.OpenOwnHistory(dir_.filePath(QStringLiteral("turma-a/ana-beatriz")));
    const QString title = own.windowTitle();
    const QString displayName = QApplication::applicationDisplayName();
    QApplication::setApplicationDisplayName(before);
    QCOMPARE(title, QStringLiteral("Tecladim — Meu desempenho"));
    QVERIFY2(title.endsWith(displayName), qPrintable(displayName));
  }

 private:
  QTemporaryDir dir_;
  ReportWindow window_;
};

}  // namespace tecladim::turma

QTEST_MAIN(tecladim::turma::KeysTabTest)
#include "keys_tab_test.moc"
