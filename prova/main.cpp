#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

#include <iostream>

#include "exam/result_record.h"
#include "exam/results_file.h"
#include "platform/data_folder.h"
#include "platform/system_services.h"
#include "platform/termination_notifier.h"
#include "prova/command_line.h"
#include "prova/exam_window.h"

using tecladim::prova::CommandLine;

namespace {

// The results are written however the run ends: a close writes them, and so do the desktop
// session's end and the signals, once.
void SaveAtEveryEnd(QApplication& app, tecladim::prova::ExamWindow& window,
                    tecladim::platform::TerminationNotifier& termination) {
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window] { window.SaveAtEnd(); });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.SaveAtEnd(); });
  QObject::connect(&termination, &tecladim::platform::TerminationNotifier::requested, &window,
                   [&window, &termination](int exitCode) {
                     const tecladim::exam::ResultsEnd end = window.SaveAtEnd();
                     termination.Handled();
                     QCoreApplication::exit(tecladim::ExitStatusAfter(end, exitCode));
                   });
}

}  // namespace

int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const CommandLine command = tecladim::prova::ParseCommandLine(arguments);

  switch (command.mode) {
    case CommandLine::Mode::Usage:
      if (!command.error.isEmpty()) std::cerr << "tecladim-prova: " << command.error.toStdString() << '\n';
      (command.error.isEmpty() ? std::cout : std::cerr) << tecladim::prova::UsageText;
      return command.error.isEmpty() ? 0 : tecladim::prova::ExitBadInput;
    case CommandLine::Mode::Correct: return tecladim::prova::Correct(command, std::cout, std::cerr);
    case CommandLine::Mode::Profiles: return tecladim::prova::ListProfiles(std::cout);
    case CommandLine::Mode::Window: break;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tecladim-prova"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tecladim — Prova simulada"));
  QApplication::setDesktopFileName(QStringLiteral("org.example.tecladim.prova"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/prova/tecladim-prova.png")));
  tecladim::SystemServices platform;
  tecladim::platform::TerminationNotifier termination;

  // "Simulados.xml" in the folder the program starts in, beside the trainer's history.
  tecladim::exam::ResultsFile results(std::filesystem::path(std::string(tecladim::exam::ResultsFileName)),
                                      tecladim::platform::UserDataFolder(), std::cerr);
  const QString loadError = QString::fromStdString(results.Load());

  tecladim::prova::ExamWindow window(platform);
  window.SetResultsFile(&results, loadError);
  SaveAtEveryEnd(app, window, termination);
  window.show();
  if (!loadError.isEmpty()) {
    QTimer::singleShot(0, &window,
                       [&window] { QMessageBox::warning(&window, window.windowTitle(), window.LoadErrorText()); });
  }
  return app.exec();
}
