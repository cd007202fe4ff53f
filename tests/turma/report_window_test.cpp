#include <QAbstractButton>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <sstream>

#include "classroom/csv.h"
#include "demo_class.h"
#include "turma/application.h"
#include "turma/class_data.h"
#include "turma/class_table_model.h"
#include "turma/command_line.h"
#include "turma/keys_page.h"
#include "turma/folder_poll.h"
#include "turma/print_dialog.h"
#include "turma/student_list_view.h"
#include "turma/report_document.h"
#include "turma/report_window.h"

using namespace tecladim;
using namespace tecladim::turma;

namespace {

std::int64_t Today() {
  const QDate d = QDate::currentDate();
  return DaysFromCivil({d.year(), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day())});
}

QString Cell(QTableView* table, int row, int column) {
  return table->model()->index(row, column).data().toString();
}

int RowOf(QTableView* table, const QString& aluno) {
  for (int r = 0; r < table->model()->rowCount(); ++r)
    if (Cell(table, r, ClassTableModel::Aluno) == aluno) return r;
  return -1;
}

QStringList Column(QTableView* table, int column) {
  QStringList cells;
  for (int r = 0; r < table->model()->rowCount(); ++r) cells << Cell(table, r, column);
  return cells;
}

void WriteHistory(const QString& file, int exercises) {
  QDir().mkpath(QFileInfo(file).path());
  classroom::testing::StudentProfile profile;
  profile.exercises = exercises;
  QFile out(file);
  QVERIFY(out.open(QIODevice::WriteOnly));
  out.write(QByteArray::fromStdString(history::WritePacket(classroom::testing::StudentHistory(profile))));
}

void WriteBytes(const QString& file, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(file).path());
  QFile out(file);
  QVERIFY(out.open(QIODevice::WriteOnly));
  out.write(bytes);
}

// Opens the folders in a new window and waits for the class to show.
std::unique_ptr<ReportWindow> Opened(const QStringList& folders) {
  auto w = std::make_unique<ReportWindow>();
  w->show();
  QSignalSpy shown(w.get(), &ReportWindow::ClassShown);
  w->OpenFolders(folders);
  if (!shown.wait(20000)) return nullptr;
  return w;
}

// The PDF's words, the pages apart by form feeds.
// `mode` "-layout" keeps the page's columns, "-raw" each text in the order it was drawn.
QString PdfText(const QString& pdf, const QString& mode = QStringLiteral("-layout")) {
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {mode, pdf, QStringLiteral("-")});
  text.waitForFinished(60000);
  return QString::fromUtf8(text.readAllStandardOutput()).replace(QChar::Nbsp, QLatin1Char(' '));
}

QString WithoutSpaces(QString text) {
  text.remove(QRegularExpression(QStringLiteral("\\s")));
  text.replace(QChar(0xFB01), QStringLiteral("fi"));  // the PDF's own ligature
  return text;
}

QString StatusText(ReportWindow& w) {
  QStringList texts;
  for (const QLabel* label : w.statusBar()->findChildren<QLabel*>()) texts << label->text();
  return texts.join(QLatin1Char('|'));
}

// Answers the next file dialog with `name`, as an instructor typing it.
void AnswerFileDialog(const QString& name) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, name] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->deleteLater();
    // Typed into the name box, which selectFile leaves alone while it has the focus.
    auto* typed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (typed) typed->setText(name);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  timer->start(20);
}

}  // namespace

class ReportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(dir_.isValid());
    classroom::testing::WriteDemoClass(PathOf(dir_.path()), Today());
  }

  void opensAFolderAndShowsEveryStudent() {
    ReportWindow w;
    w.show();
    QSignalSpy shown(&w, &ReportWindow::ClassShown);
    w.OpenFolders({dir_.path()});
    QVERIFY(shown.wait(20000));
    QTableView* table = w.ClassTable();
    QCOMPARE(table->model()->rowCount(), 13);
    QCOMPARE(Cell(table, 0, ClassTableModel::Aluno), QStringLiteral("turma-a/ana-beatriz"));

    const int marcos = RowOf(table, QStringLiteral("turma-b/marcos"));
    QVERIFY(marcos >= 0);
    QCOMPARE(Cell(table, marcos, ClassTableModel::Situacao),
             QStringLiteral("Arquivo incompleto ou danificado (Mismatch in datapacket.)"));
    QVERIFY(Cell(table, marcos, ClassTableModel::Arquivo).endsWith(QStringLiteral("turma-b/marcos/Exercicio.xml")));

    const int joao = RowOf(table, QStringLiteral("turma-b/joão-pedro"));
    QCOMPARE(Cell(table, joao, ClassTableModel::Exercicios), QStringLiteral("60"));
    QCOMPARE(Cell(table, joao, ClassTableModel::MaiorLicao), QStringLiteral("20"));

    const int davi = RowOf(table, QStringLiteral("turma-a/davi"));
    // The student's own 21 days, not the 7 of the threshold that marked him.
    QCOMPARE(Cell(table, davi, ClassTableModel::Situacao), QStringLiteral("Sem atividade há 21 dias"));
    const int felipe = RowOf(table, QStringLiteral("turma-a/felipe"));
    QCOMPARE(Cell(table, felipe, ClassTableModel::Situacao), QStringLiteral("Precisão abaixo de 70%"));
    const int mariana = RowOf(table, QStringLiteral("turma-b/mariana"));
    QCOMPARE(Cell(table, mariana, ClassTableModel::Exercicios), QStringLiteral("3"));

    // Filter and sort, as the instructor does with the table's header and search box.
    auto* filter = w.findChild<QLineEdit*>(QStringLiteral("procurarAluno"));
    QVERIFY(filter);
    filter->setText(QStringLiteral("turma-b"));
    QCOMPARE(table->model()->rowCount(), 7);
    filter->clear();
    table->sortByColumn(ClassTableModel::Exercicios, Qt::DescendingOrder);
    QCOMPARE(Cell(table, 0, ClassTableModel::Aluno), QStringLiteral("turma-b/gabriel"));
    table->sortByColumn(ClassTableModel::Exercicios, Qt::AscendingOrder);
    QCOMPARE(Cell(table, 0, ClassTableModel::Aluno), QStringLiteral("turma-b/marcos"));  // a failed file sorts first
  }

  void periodFilterReachesEveryViewAndTheCsv() {
    ReportWindow w;
    QSignalSpy shown(&w, &ReportWindow::ClassShown);
    w.OpenFolders({dir_.path()});
    QVERIFY(shown.wait(20000));
    const QDate today = QDate::currentDate();
    w.SetPeriod(ReportWindow::PeriodChoice::Range, today.addDays(-30), today.addDays(-10));
    QTableView* table = w.ClassTable();
    QCOMPARE(Cell(table, RowOf(table, QStringLiteral("turma-b/mariana")), ClassTableModel::Exercicios),
             QStringLiteral("0"));
    QVERIFY(Cell(table, RowOf(table, QStringLiteral("turma-a/davi")), ClassTableModel::Exercicios).toInt() > 0);
    const std::string csv = classroom::ClassCsv(w.Class().students, w.CurrentPeriod());
    QVERIFY(csv.find("turma-b/mariana") == std::string::npos);
    QVERIFY(csv.find("turma-a/davi;") != std::string::npos);
    QCOMPARE(w.PeriodText(), QStringLiteral("%1 a %2").arg(today.addDays(-30).toString(QStringLiteral("dd/MM/yyyy")),
                                                          today.addDays(-10).toString(QStringLiteral("dd/MM/yyyy"))));

    w.ShowStudent(QStringLiteral("turma-a/davi"));
    auto* exercises = w.findChild<QTableView*>(QStringLiteral("tabelaExercicios"));
    QVERIFY(exercises);
    QCOMPARE(QString::number(exercises->model()->rowCount()),
             Cell(table, RowOf(table, QStringLiteral("turma-a/davi")), ClassTableModel::Exercicios));
    w.ShowTab(ReportWindow::ChartTab);
    auto charts = w.findChildren<QChartView*>();
    charts.removeIf([&](QChartView* v) { return w.Keys()->isAncestorOf(v); });  // built when its tab shows
    QCOMPARE(charts.size(), 4);
    for (QChartView* view : charts) QVERIFY(view->chart() && !view->chart()->series().isEmpty());
  }

  void newRecordsShowWithoutAClick() {
    QTemporaryDir dir;
    classroom::testing::WriteDemoClass(PathOf(dir.path()), Today());
    ReportWindow w;
    QSignalSpy shown(&w, &ReportWindow::ClassShown);
    w.OpenFolders({dir.path()});
    QVERIFY(shown.wait(20000));
    QTableView* table = w.ClassTable();
    QCOMPARE(table->model()->rowCount(), 13);
    // A new student's first save appears; the watcher reloads by itself.
    classroom::testing::StudentProfile profile;
    profile.exercises = 5;
    auto packet = classroom::testing::StudentHistory(profile);
    QDir(dir.path()).mkpath(QStringLiteral("turma-a/nova"));
    QFile file(dir.path() + QStringLiteral("/turma-a/nova/Exercicio.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const std::string bytes = history::WritePacket(packet);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    QVERIFY(shown.wait(20000));
    QCOMPARE(table->model()->rowCount(), 14);
  }

  void commandLineExports() {
    CommandLine csv = ParseCommandLine({QStringLiteral("--csv"), dir_.filePath(QStringLiteral("turma.csv")), dir_.path()});
    QCOMPARE(csv.mode, CommandLine::Mode::Csv);
    std::ostringstream errors;
    QCOMPARE(ExportCsv(csv, errors), 1);  // the damaged file fails the run
    QVERIFY(errors.str().find("turma-b/marcos") != std::string::npos);
    QVERIFY(errors.str().find("Mismatch in datapacket.") != std::string::npos);
    QFile written(csv.output);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "aluno;licao;data;erros;tempo;toques;tpm;ppm;tl;precisao;meta;percentual_meta\r\n"));
    QVERIFY(bytes.contains("\r\nturma-b/jo\xC3\xA3o-pedro;1;"));

    QTemporaryDir clean;
    classroom::testing::StudentProfile profile;
    profile.exercises = 3;
    QDir(clean.path()).mkpath(QStringLiteral("ana"));
    QFile good(clean.path() + QStringLiteral("/ana/Exercicio.xml"));
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write(QByteArray::fromStdString(history::WritePacket(classroom::testing::StudentHistory(profile))));
    good.close();
    std::ostringstream none;
    QCOMPARE(ExportCsv(ParseCommandLine({QStringLiteral("--csv"), clean.filePath(QStringLiteral("a.csv")), clean.path()}), none), 0);
    QVERIFY(none.str().empty());

    QCOMPARE(ParseCommandLine({QStringLiteral("--pdf"), QStringLiteral("x.pdf")}).mode, CommandLine::Mode::Usage);
    QCOMPARE(ParseCommandLine({QStringLiteral("--xls")}).mode, CommandLine::Mode::Usage);
    QCOMPARE(ParseCommandLine({QStringLiteral("a"), QStringLiteral("b")}).folders.size(), 2);
  }

  // "Lições feitas" counted every lesson tried, at whatever accuracy; the instructor had no goals.
  void lessonsDoneAtTheFloorAndGoalsRememberedPerClass() {
    QTemporaryDir other;
    WriteHistory(other.filePath(QStringLiteral("ana/Exercicio.xml")), 5);
    auto w = Opened({dir_.path()});
    QVERIFY(w);
    QTableView* table = w->ClassTable();
    const int felipe = RowOf(table, QStringLiteral("turma-a/felipe"));
    const int done = Cell(table, felipe, ClassTableModel::Licoes).toInt();
    const int tried = Cell(table, felipe, ClassTableModel::LicoesTentadas).toInt();
    QVERIFY2(tried > 0, "a careless typist tries lessons without reaching the floor");
    w->ShowStudent(QStringLiteral("turma-a/felipe"));
    const QString onScreen = QStringLiteral("%1 lições feitas (%2 só tentadas)").arg(done).arg(tried);
    bool shown = false;
    for (QLabel* label : w->findChildren<QLabel*>()) shown |= label->text().contains(onScreen);
    QVERIFY2(shown, qPrintable(onScreen));
    // A stricter accuracy moves lessons from done to only tried; none is lost.
    w->SetGoals({std::nullopt, 100});
    QVERIFY(Cell(table, felipe, ClassTableModel::Licoes).toInt() < done);
    QCOMPARE(Cell(table, felipe, ClassTableModel::Licoes).toInt() +
                 Cell(table, felipe, ClassTableModel::LicoesTentadas).toInt(),
             done + tried);
    // Goals only the fast and careful reach: the table marks exactly them.
    w->SetGoals({150.0, 90});
    int reached = 0;
    for (int r = 0; r < table->model()->rowCount(); ++r) {
      const double tl = table->model()->index(r, ClassTableModel::Tl).data(ClassTableModel::SortRole).toDouble();
      const double precisao =
          table->model()->index(r, ClassTableModel::Precisao).data(ClassTableModel::SortRole).toDouble();
      if (tl < 0) continue;  // nothing to judge
      const bool marked = Cell(table, r, ClassTableModel::Metas) == QStringLiteral("✔ sim");
      QCOMPARE(marked, tl >= 150 && precisao >= 90);
      reached += marked;
    }
    QVERIFY(reached > 0 && reached < 12);
    // The paper says the same as the screen, and the command line finds the class's goals too.
    const QString pdf = dir_.filePath(QStringLiteral("metas.pdf"));
    std::ostringstream errors;
    QCOMPARE(ExportPdf(ParseCommandLine({QStringLiteral("--pdf"), pdf, dir_.path()}), errors), 1);
    const QString words = PdfText(pdf);
    QVERIFY2(words.contains(QStringLiteral("metas (TL 150 e precisão 90%) alcançadas por %1 alunos").arg(reached)),
             qPrintable(words.left(1500)));

    // Another class has its own goals; this one, opened again by another spelling, finds its own.
    auto second = Opened({other.path()});
    QVERIFY(second);
    QVERIFY(!second->Goals().tl);
    QCOMPARE(second->Goals().precisao, tecladim::AccuracyFloor);
    auto again = Opened({dir_.path() + QStringLiteral("/./")});
    QVERIFY(again);
    QCOMPARE(again->Goals(), (classroom::ClassGoals{150.0, 90}));
    w->SetGoals({});
  }

  void severalFoldersHaveASubtotalEachOnScreenAndPaper() {
    QTemporaryDir dir;
    WriteHistory(dir.filePath(QStringLiteral("turma-manha/joão/Exercicio.xml")), 7);
    WriteHistory(dir.filePath(QStringLiteral("turma-manha/ana/Exercicio.xml")), 2);
    WriteHistory(dir.filePath(QStringLiteral("turma-tarde/joão/Exercicio.xml")), 3);
    auto w = Opened({dir.filePath(QStringLiteral("turma-manha")), dir.filePath(QStringLiteral("turma-tarde"))});
    QVERIFY(w);
    const QString summary = w->findChild<QLabel*>(QStringLiteral("resumoTurma"))->text();
    QVERIFY2(summary.contains(QStringLiteral("<b>3 alunos</b>")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("<b>turma-manha</b> · 2 alunos · 9 exercícios")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("<b>turma-tarde</b> · 1 aluno · 3 exercícios")), qPrintable(summary));
    const QString pdf = dir.filePath(QStringLiteral("turma.pdf"));
    QVERIFY(WriteReportPdf(pdf, w->Class(),
                           {w->CurrentPeriod(), w->PeriodText(), QDateTime::currentDateTime(), 7, w->Goals()}));
    const QString words = PdfText(pdf);
    QVERIFY2(words.contains(QStringLiteral("turma-manha    2 alunos    9 exercícios")) ||
                 WithoutSpaces(words).contains(QStringLiteral("turma-manha2alunos9exercícios")),
             qPrintable(words.left(2000)));
    QVERIFY(WithoutSpaces(words).contains(QStringLiteral("turma-tarde1aluno3exercícios")));
  }

  // Names start with their folders, and typing "j" in the student list used to find nothing.
  void studentListTypeAheadLooksAtTheNameAfterItsFolder() {
    const QStringList names = {QStringLiteral("turma-manha/ana"), QStringLiteral("turma-manha/joão"),
                               QStringLiteral("turma-tarde/Íris"), QStringLiteral("turma-tarde/joão")};
    QCOMPARE(StudentRowStartingWith(names, QStringLiteral("j"), 0), 1);
    QCOMPARE(StudentRowStartingWith(names, QStringLiteral("j"), 1), 3);  // the next one on the same letter
    QCOMPARE(StudentRowStartingWith(names, QStringLiteral("j"), 3), 1);  // round again
    QCOMPARE(StudentRowStartingWith(names, QStringLiteral("iris"), 0), 2);  // accents and case aside
    QCOMPARE(StudentRowStartingWith(names, QStringLiteral("turma-t"), 0), 2);  // no own name: the whole one
    QCOMPARE(StudentRowStartingWith(names, QStringLiteral("x"), 0), -1);

    QTemporaryDir dir;
    WriteHistory(dir.filePath(QStringLiteral("turma-manha/ana/Exercicio.xml")), 2);
    WriteHistory(dir.filePath(QStringLiteral("turma-manha/joão/Exercicio.xml")), 2);
    WriteHistory(dir.filePath(QStringLiteral("turma-tarde/joão/Exercicio.xml")), 2);
    auto w = Opened({dir.filePath(QStringLiteral("turma-manha")), dir.filePath(QStringLiteral("turma-tarde"))});
    QVERIFY(w);
    auto* box = w->findChild<QComboBox*>(QStringLiteral("aluno"));
    box->setCurrentIndex(0);
    QTest::keyClicks(box, QStringLiteral("jo"));
    QCOMPARE(box->currentText(), QStringLiteral("turma-manha/joão"));
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(box, QStringLiteral("j"));
    QCOMPARE(box->currentText(), QStringLiteral("turma-tarde/joão"));
  }

  // On a network share the watch hears nothing of other machines: the poll must see a history
  // grow, a student's folder gain a file, and a history go.
  void folderPollSeesWhatTheWatchMayMiss() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("turma/ana/Exercicio.xml"));
    WriteHistory(file, 2);
    FolderPoll poll;
    poll.Watch({file, dir.filePath(QStringLiteral("turma/ana"))});
    QVERIFY(!poll.Changed());
    QTest::qWait(20);
    WriteHistory(file, 3);
    QVERIFY(poll.Changed());
    QVERIFY(!poll.Changed());  // told once
    QTest::qWait(20);
    QFile(dir.filePath(QStringLiteral("turma/ana/Teclas.xml"))).open(QIODevice::WriteOnly);
    QVERIFY(poll.Changed());
    QVERIFY(QFile::remove(file));
    QVERIFY(poll.Changed());
  }

  // A relative folder was remembered as typed: the next start, from another folder, opened nothing.
  void aRelativeFolderIsRememberedAbsolute() {
    QTemporaryDir dir;
    WriteHistory(dir.filePath(QStringLiteral("turma/ana/Exercicio.xml")), 2);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    auto w = Opened({QStringLiteral("turma/")});
    QDir::setCurrent(cwd);
    QVERIFY(w);
    const QSettings settings(QStringLiteral("Tecladim"), QStringLiteral("tecladim-turma"));
    QCOMPARE(settings.value(QStringLiteral("pastas")).toStringList(),
             QStringList{QDir(dir.path()).absolutePath() + QStringLiteral("/turma")});
    QCOMPARE(w->ClassTable()->model()->rowCount(), 1);
  }

  void theStudentSheetIsOnePage() {
    auto w = Opened({dir_.path()});
    QVERIFY(w);
    w->ShowStudent(QStringLiteral("turma-b/gabriel"));
    QVERIFY(w->findChild<QPushButton*>(QStringLiteral("fichaPdf")));
    QVERIFY(w->findChild<QPushButton*>(QStringLiteral("imprimirFicha")));
    const QString pdf = dir_.filePath(QStringLiteral("ficha.pdf"));
    QCOMPARE(w->ExportStudentSheetTo(pdf), QString());
    const QString words = PdfText(pdf);
    QCOMPARE(words.count(QLatin1Char('\f')), 1);  // one page
    QVERIFY(words.contains(QStringLiteral("turma-b/gabriel")));
    QVERIFY(words.contains(QStringLiteral("Últimos exercícios")));
    QVERIFY(words.contains(QStringLiteral("lições feitas")));
    QCOMPARE(w->ExportStudentSheetTo(dir_.filePath(QStringLiteral("turma-b/gabriel/Exercicio.xml"))).isEmpty(), false);
  }

  // A long name and a reader's error were cut short in the PDF's table ("Mismatch in da…").
  void pdfCutsNoNameNorError() {
    QTemporaryDir dir;
    const QString longName = QStringLiteral("maria-eduarda-dos-santos-albuquerque-de-oliveira");
    WriteHistory(dir.filePath(longName + QStringLiteral("/Exercicio.xml")), 4);
    WriteBytes(dir.filePath(QStringLiteral("bia/Exercicio.xml")), "<?xml version=\"1.0\"?><DATAPACKET");
    auto w = Opened({dir.path()});
    QVERIFY(w);
    const QString failure =
        Cell(w->ClassTable(), RowOf(w->ClassTable(), QStringLiteral("bia")), ClassTableModel::Situacao);
    QVERIFY(failure.size() > 30);
    const QString pdf = dir.filePath(QStringLiteral("turma.pdf"));
    QVERIFY(WriteReportPdf(pdf, w->Class(),
                           {w->CurrentPeriod(), w->PeriodText(), QDateTime::currentDateTime(), 7, w->Goals()}));
    const QString classPage = PdfText(pdf, QStringLiteral("-raw")).section(QLatin1Char('\f'), 0, 0);
    QVERIFY2(!classPage.contains(QChar(0x2026)), qPrintable(classPage));
    QVERIFY2(WithoutSpaces(classPage).contains(WithoutSpaces(longName)), qPrintable(classPage));
    QVERIFY2(WithoutSpaces(classPage).contains(WithoutSpaces(failure)),
             qPrintable(failure + QLatin1Char('\n') + classPage.right(1500)));
  }

  // The print dialog's title was cut by the window manager: the dialog was narrower than it.
  void printDialogIsWideEnoughForItsTitle() {
    auto w = Opened({dir_.path()});
    QVERIFY(w);
    int width = 0;
    QString title;
    QTimer::singleShot(50, [&] {
      auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      width = dialog->width();
      title = dialog->windowTitle();
      dialog->reject();
    });
    w->findChild<QAction*>(QStringLiteral("imprimir"))->trigger();
    QVERIFY(!title.isEmpty());
    QVERIFY2(width >= TitleBarWidth(title), qPrintable(QStringLiteral("%1 < %2").arg(width).arg(TitleBarWidth(title))));
  }

  void pdfHasTheClassPagesThenOnePagePerStudent() {
    const QString pdf = dir_.filePath(QStringLiteral("turma.pdf"));
    std::ostringstream errors;
    QCOMPARE(ExportPdf(ParseCommandLine({QStringLiteral("--pdf"), pdf, dir_.path()}), errors), 1);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) QSKIP("pdftoppm is not installed");
    QProcess render;
    render.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), pdf,
                            dir_.filePath(QStringLiteral("pagina"))});
    QVERIFY(render.waitForFinished(60000));
    QCOMPARE(render.exitCode(), 0);
    // Summary and table, class chart, the class's keyboard, the 12 students that loaded and
    // the keyboards of the 9 whose key statistics were read.
    const QStringList pages = QDir(dir_.path()).entryList({QStringLiteral("pagina-*.png")});
    QCOMPARE(pages.size(), 2 + 1 + 12 + 9);
  }

  // Names sorted by their bytes put "Ângela" and "íris" after "zé" and "aluno-10" before "aluno-2".
  void namesSortAsABrazilianReadsThemInTableListAndChart() {
    QTemporaryDir dir;
    for (const char* name : {"zé", "íris", "Ângela", "aluno-10", "aluno-2", "bruno", "Iago"})
      WriteHistory(dir.filePath(QString::fromUtf8(name) + QStringLiteral("/Exercicio.xml")), 3);
    const QStringList expected = {QStringLiteral("aluno-2"), QStringLiteral("aluno-10"), QStringLiteral("Ângela"),
                                  QStringLiteral("bruno"),   QStringLiteral("Iago"),     QStringLiteral("íris"),
                                  QStringLiteral("zé")};
    auto w = Opened({dir.path()});
    QVERIFY(w);
    QCOMPARE(Column(w->ClassTable(), ClassTableModel::Aluno), expected);
    w->ClassTable()->sortByColumn(ClassTableModel::Exercicios, Qt::AscendingOrder);
    w->ClassTable()->sortByColumn(ClassTableModel::Aluno, Qt::DescendingOrder);
    QStringList reversed(expected.rbegin(), expected.rend());
    QCOMPARE(Column(w->ClassTable(), ClassTableModel::Aluno), reversed);

    auto* list = w->findChild<QComboBox*>(QStringLiteral("aluno"));
    QVERIFY(list);
    QStringList listed;
    for (int i = 0; i < list->count(); ++i) listed << list->itemText(i);
    QCOMPARE(listed, expected);

    w->ShowTab(ReportWindow::ChartTab);
    int charts = 0;
    for (QChartView* view : w->findChildren<QChartView*>()) {
      for (QAbstractAxis* axis : view->chart()->axes(Qt::Vertical)) {
        auto* names = qobject_cast<QBarCategoryAxis*>(axis);
        if (!names) continue;
        QStringList topDown = names->categories();
        std::reverse(topDown.begin(), topDown.end());
        QCOMPARE(topDown, expected);
        ++charts;
      }
    }
    QCOMPARE(charts, 2);
  }

  // The filter matched letters as typed: "joao" did not find "João".
  void nameFilterIgnoresAccentsAndCase_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("without the tilde") << QStringLiteral("joao") << QStringList{QStringLiteral("turma-b/João")};
    QTest::newRow("without cedilla and tilde")
        << QStringLiteral("conceicao") << QStringList{QStringLiteral("turma-a/Maria da Conceição")};
    QTest::newRow("capitals without accent")
        << QStringLiteral("ANGELA") << QStringList{QStringLiteral("turma-a/Ângela")};
    QTest::newRow("with the accents") << QStringLiteral("Conceição")
                                      << QStringList{QStringLiteral("turma-a/Maria da Conceição")};
    QTest::newRow("the group") << QStringLiteral("TURMA-B") << QStringList{QStringLiteral("turma-b/João")};
    QTest::newRow("nobody") << QStringLiteral("joana") << QStringList{};
  }
  void nameFilterIgnoresAccentsAndCase() {
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    QTemporaryDir dir;
    for (const QString& name : {QStringLiteral("turma-b/João"), QStringLiteral("turma-a/Maria da Conceição"),
                                QStringLiteral("turma-a/Ângela")})
      WriteHistory(dir.filePath(name + QStringLiteral("/Exercicio.xml")), 2);
    auto w = Opened({dir.path()});
    QVERIFY(w);
    auto* filter = w->findChild<QLineEdit*>(QStringLiteral("procurarAluno"));
    QVERIFY(filter);
    filter->setText(typed);
    QCOMPARE(Column(w->ClassTable(), ClassTableModel::Aluno), found);
  }

  // The instructor read the reader's English ("Mismatch in datapacket.", "No such file or directory").
  void unreadableFilesAndFoldersAreToldInPortuguese() {
    QTemporaryDir dir;
    WriteHistory(dir.filePath(QStringLiteral("ana/Exercicio.xml")), 3);
    WriteBytes(dir.filePath(QStringLiteral("marcos/Exercicio.xml")),
               "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    WriteBytes(dir.filePath(QStringLiteral("rui/Exercicio.xml")),
               "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
               "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
    const QString missing = dir.filePath(QStringLiteral("nao-existe"));
    auto w = Opened({dir.path(), missing});
    QVERIFY(w);
    QTableView* table = w->ClassTable();
    QCOMPARE(Cell(table, RowOf(table, QStringLiteral("marcos")), ClassTableModel::Situacao),
             QStringLiteral("Arquivo incompleto ou danificado (Mismatch in datapacket.)"));
    QCOMPARE(Cell(table, RowOf(table, QStringLiteral("rui")), ClassTableModel::Situacao),
             QStringLiteral("Arquivo não é um histórico do Tecladim (cds1: Field 'licao' not found)"));
    QVERIFY2(StatusText(*w).endsWith(QStringLiteral("; 2 arquivos não puderam ser lidos")), qPrintable(StatusText(*w)));
    const QString summary = w->findChild<QLabel*>(QStringLiteral("resumoTurma"))->text();
    QVERIFY2(summary.contains(QStringLiteral("Pasta %1: Pasta não encontrada").arg(missing)), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("2 arquivos não puderam ser lidos: veja a coluna Situação.")),
             qPrintable(summary));

    std::ostringstream errors;
    const QString csv = dir.filePath(QStringLiteral("turma.csv"));
    QCOMPARE(ExportCsv(ParseCommandLine({QStringLiteral("--csv"), csv, dir.path(), missing}), errors), 1);
    const std::string root = PathText(PathOf(dir.path())).toStdString();
    QCOMPARE(QString::fromStdString(errors.str()),
             QString::fromStdString("tecladim-turma: " + missing.toStdString() + ": Pasta não encontrada\n" +
                                    "tecladim-turma: marcos: " + root +
                                    "/marcos/Exercicio.xml: Arquivo incompleto ou "
                                    "danificado (Mismatch in datapacket.)\n" +
                                    "tecladim-turma: rui: " + root +
                                    "/rui/Exercicio.xml: Arquivo não é um histórico do "
                                    "Tecladim (cds1: Field 'licao' not found)\n"));

    // One file: the singular.
    QFile::remove(dir.filePath(QStringLiteral("rui/Exercicio.xml")));
    w = Opened({dir.path()});
    QVERIFY(w);
    QVERIFY2(StatusText(*w).endsWith(QStringLiteral("; 1 arquivo não pôde ser lido")), qPrintable(StatusText(*w)));
    QVERIFY(StatusText(*w).startsWith(QStringLiteral("1 histórico lido às ")));
  }

  // The simulados of tecladim-prova: a student with only a results file is listed there, a
  // damaged results file is told without hiding the history beside it, the period applies.
  void simuladosTabShowsEveryResultInThePeriod() {
    QTemporaryDir dir;
    const std::int64_t today = Today();
    const auto at = [&](std::int64_t daysAgo) { return FromStamp(MakeStamp(today - daysAgo, 14 * 3'600'000)); };
    exam::ResultRecord pass;
    pass.perfil = "TJ-SP";
    pass.inicio = at(0);
    pass.tb = 1712;
    pass.erros = 13;
    pass.tl = 1699;
    pass.nota = 735;
    pass.casas = 2;
    pass.apto = true;
    exam::ResultRecord fail = pass;
    fail.perfil = "PC-MG";
    fail.inicio = at(40);
    fail.tb = 650;
    fail.erros = 20;
    fail.tl = 630;
    fail.nota = 630;
    fail.casas = 0;
    fail.apto = false;
    WriteHistory(dir.filePath(QStringLiteral("ana/Exercicio.xml")), 3);
    classroom::testing::WriteResults(PathOf(dir.filePath(QStringLiteral("ana/Simulados.xml"))), {pass, fail});
    classroom::testing::WriteResults(PathOf(dir.filePath(QStringLiteral("bia/Simulados.xml"))), {fail});
    WriteHistory(dir.filePath(QStringLiteral("caio/Exercicio.xml")), 4);
    WriteBytes(dir.filePath(QStringLiteral("caio/Simulados.xml")), "<?xml version=\"1.0\"?><DATAPACKET Version=");

    auto w = Opened({dir.path()});
    QVERIFY(w);
    QTableView* table = w->ClassTable();
    QCOMPARE(Column(table, ClassTableModel::Aluno), (QStringList{QStringLiteral("ana"), QStringLiteral("caio")}));
    QCOMPARE(Cell(table, RowOf(table, QStringLiteral("caio")), ClassTableModel::Exercicios), QStringLiteral("4"));
    auto* exams = w->findChild<QTableView*>(QStringLiteral("tabelaSimulados"));
    QVERIFY(exams);
    const auto row = [&](int r) {
      QStringList cells;
      for (int c = 0; c < exams->model()->columnCount(); ++c) cells << Cell(exams, r, c);
      return cells.join(QLatin1Char('|'));
    };
    const QString now = ToDateTime(ToStamp(at(0))).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    const QString before = ToDateTime(ToStamp(at(40))).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    QCOMPARE(exams->model()->rowCount(), 4);
    QCOMPARE(row(0), QStringLiteral("ana|PC-MG|%1|650|20|630|630|NÃO APTO").arg(before));
    QCOMPARE(row(1), QStringLiteral("ana|TJ-SP|%1|1712|13|1699|7,35|APTO").arg(now));
    QCOMPARE(row(2), QStringLiteral("bia|PC-MG|%1|650|20|630|630|NÃO APTO").arg(before));
    QCOMPARE(row(3), QStringLiteral("caio|Arquivo incompleto ou danificado (Mismatch in datapacket.)||||||"));
    const QString summary = w->findChild<QLabel*>(QStringLiteral("resumoSimulados"))->text();
    QVERIFY2(
        summary.startsWith(QStringLiteral("<b>3 simulados</b> de 2 alunos no período (Tudo) · 1 APTO · 2 NÃO APTO")),
        qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("caio/Simulados.xml): Arquivo incompleto ou danificado")),
             qPrintable(summary));

    const QDate day = QDate::currentDate();
    w->SetPeriod(ReportWindow::PeriodChoice::Range, day.addDays(-7), day);
    QCOMPARE(exams->model()->rowCount(), 2);
    QVERIFY(row(0).startsWith(QStringLiteral("ana|TJ-SP|")));
    QVERIFY(row(1).startsWith(QStringLiteral("caio|")));

    // A test handed in by a student without a history shows without a click.
    QSignalSpy shown(w.get(), &ReportWindow::ClassShown);
    classroom::testing::WriteResults(PathOf(dir.filePath(QStringLiteral("bia/Simulados.xml"))), {fail, pass});
    QVERIFY(shown.wait(20000));
    QCOMPARE(exams->model()->rowCount(), 3);
    QVERIFY(row(1).startsWith(QStringLiteral("bia|TJ-SP|")));

    // The PDF has a page of simulados between the class chart and the students' pages.
    const QString pdf = dir.filePath(QStringLiteral("turma.pdf"));
    std::ostringstream errors;
    QCOMPARE(ExportPdf(ParseCommandLine({QStringLiteral("--pdf"), pdf, dir.path()}), errors), 1);
    QVERIFY2(errors.str().find("caio/Simulados.xml: Arquivo incompleto ou danificado") != std::string::npos,
             errors.str().c_str());
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext is not installed");
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    QVERIFY2(pages.size() >= 5, qPrintable(pages.join(QStringLiteral("\n----\n"))));
    QVERIFY2(pages[2].startsWith(QStringLiteral("Simulados")), qPrintable(pages[2]));
    QVERIFY2(pages[2].contains(QStringLiteral("7,35")) && pages[2].contains(QStringLiteral("bia")),
             qPrintable(pages[2]));
  }

  void failuresAreWordedFromTheirKind_data() {
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("shown");
    using classroom::LoadFailure;
    const auto row = [](const char* name, LoadFailure f, std::errc e, const char* reader, const char* shown) {
      QTest::newRow(name) << static_cast<int>(f) << static_cast<int>(e) << QString::fromUtf8(reader)
                          << QString::fromUtf8(shown);
    };
    row("missing file", LoadFailure::CannotOpen, std::errc::no_such_file_or_directory,
        "Cannot open file \"/x/Exercicio.xml\". No such file or directory", "Arquivo não encontrado");
    row("no permission", LoadFailure::CannotOpen, std::errc::permission_denied,
        "Cannot open file \"/x/Exercicio.xml\". Permission denied", "Sem permissão para ler o arquivo");
    row("held by a save", LoadFailure::CannotOpen, std::errc::resource_unavailable_try_again,
        "Cannot open file \"/x/Exercicio.xml\". Resource temporarily unavailable",
        "Arquivo em uso por outro programa; recarregue mais tarde");
    row("cut off", LoadFailure::Damaged, std::errc{}, "Mismatch in datapacket.",
        "Arquivo incompleto ou danificado (Mismatch in datapacket.)");
    row("unknown field type", LoadFailure::Damaged, std::errc{}, "Invalid field type.",
        "Arquivo incompleto ou danificado (Invalid field type.)");
  }
  void failuresAreWordedFromTheirKind() {
    QFETCH(int, failure);
    QFETCH(int, cause);
    QFETCH(QString, reader);
    QFETCH(QString, shown);
    classroom::Student s;
    s.aluno = "ana";
    s.error = reader.toStdString();
    s.failure = static_cast<classroom::LoadFailure>(failure);
    if (cause) s.cause = std::make_error_code(static_cast<std::errc>(cause));
    ClassData data;
    data.students.push_back(s);
    ClassTableModel model;
    model.Show(&data, {}, Stamp{0}, 7);
    QCOMPARE(model.CellText(0, ClassTableModel::Situacao), shown);
  }

  // The dialogs' buttons read "Cancel", "Print", "Save".
  void qtOwnTextsArePortuguese() {
    QVERIFY(SetUpApplication(*qApp));
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
    QCOMPARE(buttons.button(QDialogButtonBox::Save)->text().remove(QLatin1Char('&')), QStringLiteral("Salvar"));
  }

  // At 1366×768 with a panel the window (1280×760 and a frame) ran past the screen's foot,
  // and the status bar with it; every start forgot size, place and maximized state.
  void opensWithinTheScreenAndRemembersItsPlace() {
    QSettings(QStringLiteral("Tecladim"), QStringLiteral("tecladim-turma")).remove(QStringLiteral("janela"));
    QRect available;
    {
      ReportWindow w;
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      available = w.screen()->availableGeometry();
      QVERIFY2(available.contains(w.frameGeometry()), qPrintable(QStringLiteral("%1x%2+%3+%4")
                                                                     .arg(w.frameGeometry().width())
                                                                     .arg(w.frameGeometry().height())
                                                                     .arg(w.frameGeometry().x())
                                                                     .arg(w.frameGeometry().y())));
      const QRect status(w.statusBar()->mapToGlobal(QPoint(0, 0)), w.statusBar()->size());
      QVERIFY(available.contains(status));
      w.setGeometry(QRect(available.topLeft() + QPoint(40, 30), QSize(1000, 600)));
      QVERIFY(w.close());
    }
    {
      ReportWindow w;
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QCOMPARE(w.geometry(), QRect(available.topLeft() + QPoint(40, 30), QSize(1000, 600)));
      w.showMaximized();
      QTRY_VERIFY(w.isMaximized());
      QVERIFY(w.close());
    }
    ReportWindow w;
    w.show();
    QTRY_VERIFY(w.isMaximized());
  }

  // Scrolled to the right, the table showed figures without saying whose they were.
  void nameStaysInViewWhenTheTableScrollsSideways() {
    auto w = Opened({dir_.path()});
    QVERIFY(w);
    w->showNormal();
    w->resize(700, 600);
    QTableView* table = w->ClassTable();
    QTRY_VERIFY(table->horizontalScrollBar()->maximum() > 0);
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    const QRect firstRow = table->visualRect(table->model()->index(0, ClassTableModel::Situacao));
    const QPoint atLeftEdge = table->viewport()->mapTo(table, QPoint(5, firstRow.center().y()));
    QWidget* under = table->childAt(atLeftEdge);
    QVERIFY(under);
    auto* shownBy = qobject_cast<QTableView*>(under->parentWidget());
    QVERIFY(shownBy);
    const QModelIndex index = shownBy->indexAt(shownBy->viewport()->mapFrom(table, atLeftEdge));
    QCOMPARE(index.column(), static_cast<int>(ClassTableModel::Aluno));
    QCOMPARE(index.data().toString(), Cell(table, 0, ClassTableModel::Aluno));
  }

  // Built through printf, the window's numbers took the comma of a Brazilian C locale
  // ("1,7,3" for 172,8) while --csv, which starts no toolkit, wrote them right.
  void windowCsvAndCommandLineWriteTheSameBytesUnderPtBr() {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "pt_BR.UTF-8")) QSKIP("the pt_BR.UTF-8 locale is not generated");
    auto w = Opened({dir_.path()});
    QVERIFY(w);
    const QString fromWindow = dir_.filePath(QStringLiteral("janela.csv"));
    AnswerFileDialog(fromWindow);
    w->findChild<QAction*>(QStringLiteral("exportarCsv"))->trigger();
    std::setlocale(LC_ALL, before.c_str());

    const QString fromCommand = dir_.filePath(QStringLiteral("comando.csv"));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LC_ALL"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("pt_BR.UTF-8"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TECLADIM_TURMA_PROGRAM), {QStringLiteral("--csv"), fromCommand, dir_.path()});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 1);  // the damaged file

    QFile a(fromWindow), b(fromCommand);
    QVERIFY(a.open(QIODevice::ReadOnly));
    QVERIFY(b.open(QIODevice::ReadOnly));
    const QByteArray window = a.readAll(), command = b.readAll();
    QVERIFY(window.size() > 1000);
    QVERIFY(window == command);
    QVERIFY(!window.contains(",,"));
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
