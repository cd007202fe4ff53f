#include <QApplication>
#include <QIcon>

#include <iostream>

#include "platform/system_services.h"
#include "prova/command_line.h"
#include "prova/exam_window.h"

using tecladim::prova::CommandLine;

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
  tecladim::prova::ExamWindow window(platform);
  window.show();
  return app.exec();
}
