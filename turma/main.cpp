#include <QApplication>

#include <chrono>
#include <iostream>

#include "platform/durable_file.h"
#include "turma/application.h"
#include "turma/command_line.h"
#include "turma/exam_results_export.h"
#include "turma/report_window.h"

using tecladim::turma::CommandLine;

namespace {

// The PDF export draws charts, which needs a GUI platform; without a display it draws
// off screen.
void DrawOffScreenWithoutDisplay() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const CommandLine command = tecladim::turma::ParseCommandLine(arguments);

  switch (command.mode) {
    case CommandLine::Mode::Usage:
      if (!command.error.isEmpty()) std::cerr << "tecladim-turma: " << command.error.toStdString() << '\n';
      (command.error.isEmpty() ? std::cout : std::cerr) << tecladim::turma::UsageText;
      return command.error.isEmpty() ? 0 : 2;
    case CommandLine::Mode::Csv:
    case CommandLine::Mode::KeyCsv:
      return tecladim::turma::ExportCsv(command, std::cerr);
    case CommandLine::Mode::CsvExams:
      return tecladim::turma::ExportExamCsv(command, std::cerr);
    case CommandLine::Mode::Pdf: {
      DrawOffScreenWithoutDisplay();
      QApplication app(argc, argv);
      tecladim::turma::SetUpApplication(app);
      return tecladim::turma::ExportPdf(command, std::cerr);
    }
    case CommandLine::Mode::Window:
    case CommandLine::Mode::OwnReport: break;
  }

  QApplication app(argc, argv);
  using tecladim::turma::ReportView;
  tecladim::turma::SetUpApplication(app,
                                    command.mode == CommandLine::Mode::OwnReport ? ReportView::Own : ReportView::Class);
  tecladim::turma::ReportWindow window;
  window.show();
  if (command.mode == CommandLine::Mode::OwnReport)
    window.OpenOwnHistory(command.folders.first());
  else if (command.folders.isEmpty())
    window.OpenLastFolders();
  else
    window.OpenFolders(command.folders);
  const int result = app.exec();
  // The window is closed: a read still waiting for a file another program holds locked (one
  // that hangs, at worst) gives up now, instead of keeping the program running unseen until
  // the wait's end. The report only reads files.
  tecladim::platform::SetLockWaitLimit(std::chrono::milliseconds(0));
  return result;
}
