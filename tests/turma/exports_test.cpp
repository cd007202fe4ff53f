// The class report's exports never destroy a student's history and say so, in Portuguese,
// when an opened folder holds no history at all.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

#include "demo_class.h"
#include "tests/support/history_text.h"
#include "turma/class_data.h"
#include "turma/command_line.h"
#include "turma/exam_results_export.h"

namespace tecladim::turma {

class ExportsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    QDir(dir_.path()).mkpath(QStringLiteral("turma/ana"));
    history_ = dir_.path() + QStringLiteral("/turma/ana/Exercicio.xml");
    bytes_ = QByteArray(testing_support::TrainerHistoryHead) +
             "<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA><ROW RowState=\"4\" licao=\"1\" "
             "data=\"20240305T10:01:35000\" erros=\"3\" inicio=\"20240305T10:00:00000\" "
             "fim=\"20240305T10:01:35000\" tempo=\"18991230T00:01:35000\"/></ROWDATA></DATAPACKET>";
    QFile file(history_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes_);
  }

  // `--csv turma/ana/Exercicio.xml turma` used to replace ana's history with the CSV and exit 0.
  void anOutputThatIsAHistoryIsRefusedAndLeftAlone_data() {
    QTest::addColumn<bool>("pdf");
    QTest::newRow("csv") << false;
    QTest::newRow("pdf") << true;
  }
  void anOutputThatIsAHistoryIsRefusedAndLeftAlone() {
    QFETCH(bool, pdf);
    const QString folder = dir_.path() + QStringLiteral("/turma");
    std::ostringstream errors;
    CommandLine command = ParseCommandLine({pdf ? QStringLiteral("--pdf") : QStringLiteral("--csv"), history_, folder});
    QCOMPARE(pdf ? ExportPdf(command, errors) : ExportCsv(command, errors), 2);
    QCOMPARE(QString::fromStdString(errors.str()),
             QStringLiteral("tecladim-turma: %1 é o histórico de um aluno (Exercicio.xml): escolha outro arquivo "
                            "para a exportação.\n")
                 .arg(history_));
    QFile file(history_);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes_);

    // Any file named like a history is refused too, wherever it is.
    const QString elsewhere = dir_.path() + QStringLiteral("/exercicio.XML");
    command.output = elsewhere;
    std::ostringstream again;
    QCOMPARE(pdf ? ExportPdf(command, again) : ExportCsv(command, again), 2);
    QVERIFY(!QFile::exists(elsewhere));
  }

  void aFolderWithoutHistoriesIsNotAnEmptyClass() {
    const QString empty = dir_.path() + QStringLiteral("/vazia");
    QDir().mkpath(empty);
    const QString output = dir_.path() + QStringLiteral("/turma.csv");
    std::ostringstream errors;
    QCOMPARE(ExportCsv(ParseCommandLine({QStringLiteral("--csv"), output, empty}), errors), 1);
    QCOMPARE(QString::fromStdString(errors.str()),
             QStringLiteral("tecladim-turma: nenhum histórico encontrado em %1\n").arg(empty));
    QVERIFY(!QFile::exists(output));

    // Beside a folder that holds the class, it is reported and the class is written.
    std::ostringstream mixed;
    const QString folder = dir_.path() + QStringLiteral("/turma");
    QCOMPARE(ExportCsv(ParseCommandLine({QStringLiteral("--csv"), output, folder, empty}), mixed), 1);
    QVERIFY(QString::fromStdString(mixed.str()).contains(QStringLiteral("nenhum histórico encontrado em ") + empty));
    QFile csv(output);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(csv.readAll().contains("ana;1;05/03/2024 10:01:35;3;95;"));
  }

  void cleanup() {
    QDir(dir_.path() + QStringLiteral("/turma")).removeRecursively();
    QFile::remove(dir_.path() + QStringLiteral("/simulados.csv"));
  }

  // The simulados' CSV follows the class CSV's conventions: BOM, ";", CR LF, decimal comma.
  void simuladosCsvByteForByte() {
    exam::ResultRecord r;
    r.perfil = "TJ-SP";
    r.versao = 1;
    r.minutos = 11;
    r.texto = "acesso-informacao";
    r.inicio = EncodeDateTime({2024, 3, 5}, {14, 5, 30, 0});
    r.tb = 1712;
    r.erros = 13;
    r.tl = 1699;
    r.nota = 735;
    r.casas = 2;
    r.apto = true;
    const QString results = dir_.path() + QStringLiteral("/turma/ana/Simulados.xml");
    classroom::testing::WriteResults(PathOf(results), {r});
    const QString output = dir_.path() + QStringLiteral("/simulados.csv");
    std::ostringstream errors;
    const CommandLine command =
        ParseCommandLine({QStringLiteral("--csv-provas"), output, dir_.path() + QStringLiteral("/turma")});
    QCOMPARE(command.mode, CommandLine::Mode::CsvExams);
    QCOMPARE(ExportExamCsv(command, errors), 0);
    QCOMPARE(QString::fromStdString(errors.str()), QString());
    QFile csv(output);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(),
             QByteArray("\xEF\xBB\xBF"
                        "aluno;perfil;versao;texto;data;minutos;tb;erros;tl;nota;apto\r\n"
                        "ana;TJ-SP;1;acesso-informacao;05/03/2024 14:05:30;11;1712;13;1699;7,35;APTO\r\n"));
  }

  // A student's simulados are their work as much as the history: never an export's output.
  void anOutputThatIsAResultsFileIsRefused_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("csv") << QStringLiteral("--csv");
    QTest::newRow("pdf") << QStringLiteral("--pdf");
    QTest::newRow("csv-provas") << QStringLiteral("--csv-provas");
  }
  void anOutputThatIsAResultsFileIsRefused() {
    QFETCH(QString, mode);
    const QString results = dir_.path() + QStringLiteral("/turma/ana/Simulados.xml");
    classroom::testing::WriteResults(PathOf(results), {});
    QFile before(results);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    const QString folder = dir_.path() + QStringLiteral("/turma");
    const auto run = [&](const QString& output, std::ostream& errors) {
      const CommandLine command = ParseCommandLine({mode, output, folder});
      return mode == QStringLiteral("--csv")   ? ExportCsv(command, errors)
             : mode == QStringLiteral("--pdf") ? ExportPdf(command, errors)
                                               : ExportExamCsv(command, errors);
    };
    std::ostringstream errors;
    QCOMPARE(run(results, errors), 2);
    QCOMPARE(QString::fromStdString(errors.str()),
             QStringLiteral("tecladim-turma: %1 são os simulados de um aluno (Simulados.xml): escolha outro arquivo "
                            "para a exportação.\n")
                 .arg(results));
    QFile after(results);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), bytes);
    const QString elsewhere = dir_.path() + QStringLiteral("/SIMULADOS.xml");
    std::ostringstream again;
    QCOMPARE(run(elsewhere, again), 2);
    QVERIFY(!QFile::exists(elsewhere));
    std::ostringstream history;
    QCOMPARE(run(history_, history), 2);
  }

  void aFolderWithoutSimuladosIsTold() {
    const QString output = dir_.path() + QStringLiteral("/simulados.csv");
    const QString folder = dir_.path() + QStringLiteral("/turma");
    std::ostringstream errors;
    QCOMPARE(ExportExamCsv(ParseCommandLine({QStringLiteral("--csv-provas"), output, folder}), errors), 1);
    QCOMPARE(QString::fromStdString(errors.str()),
             QStringLiteral("tecladim-turma: nenhum simulado encontrado em %1\n").arg(folder));
    QVERIFY(!QFile::exists(output));
    // A damaged results file fails the run; the others are written.
    classroom::testing::WriteResults(PathOf(dir_.path() + QStringLiteral("/turma/ana/Simulados.xml")), {});
    const QString damaged = dir_.path() + QStringLiteral("/turma/bia/Simulados.xml");
    QDir().mkpath(QFileInfo(damaged).path());
    QFile bad(damaged);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("<?xml version=\"1.0\"?><DATAPACKET");
    bad.close();
    std::ostringstream told;
    QCOMPARE(ExportExamCsv(ParseCommandLine({QStringLiteral("--csv-provas"), output, folder}), told), 1);
    QVERIFY2(told.str().find("tecladim-turma: bia: ") == 0, told.str().c_str());
    QVERIFY(QFile::exists(output));
  }

  // Written whole or not at all: an export into a folder that does not exist leaves nothing.
  void aFailedExportLeavesNoFile() {
    const QString output = dir_.path() + QStringLiteral("/nao-existe/turma.csv");
    std::ostringstream errors;
    QCOMPARE(ExportCsv(ParseCommandLine({QStringLiteral("--csv"), output, dir_.path() + QStringLiteral("/turma")}),
                       errors),
             1);
    QVERIFY(!QFile::exists(output));
  }

 private:
  QTemporaryDir dir_;
  QString history_;
  QByteArray bytes_;
};

}  // namespace tecladim::turma

QTEST_GUILESS_MAIN(tecladim::turma::ExportsTest)
#include "exports_test.moc"
