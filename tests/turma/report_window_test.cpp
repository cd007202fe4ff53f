#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

#include "classroom/csv.h"
#include "demo_class.h"
#include "turma/class_table_model.h"
#include "turma/command_line.h"
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
    QCOMPARE(Cell(table, davi, ClassTableModel::Situacao), QStringLiteral("Sem atividade há 7 dias"));
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
    const auto charts = w.findChildren<QChartView*>();
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
    // Summary and table, class chart, and the 12 students that loaded.
    const QStringList pages = QDir(dir_.path()).entryList({QStringLiteral("pagina-*.png")});
    QCOMPARE(pages.size(), 2 + 12);
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
