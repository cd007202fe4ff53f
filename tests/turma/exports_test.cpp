// The class report's exports never destroy a student's history and say so, in Portuguese,
// when an opened folder holds no history at all.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

#include "turma/command_line.h"
#include "tests/support/history_text.h"

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
