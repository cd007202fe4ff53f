#include <QApplication>
#include <QIcon>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include "history/preload.h"
#include "platform/font_warmup.h"
#include "platform/qt_translations.h"
#include "platform/system_services.h"
#include "platform/termination_notifier.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/assets/assets.h"
#include "ui/error_display.h"
#include "ui/window_fonts.h"

namespace {

// The history is written however the run ends: a close saves it; so do the desktop
// session's end and the signals, once.
void SaveAtEveryEnd(QApplication& app, tecladim::TForm1& form1, tecladim::platform::TerminationNotifier& termination) {
  // The history is also written when the desktop session ends the program, which never
  // closes the window; once a close has saved it, nothing is written twice.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &form1, [&form1] { form1.SaveAtSessionEnd(); });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &form1, [&form1] { form1.SaveAtSessionEnd(); });
  // So are a logout that ends leftover programs, a closed terminal and Ctrl+C (on Windows,
  // the console's events; its logoff comes as the session end above).
  QObject::connect(&termination, &tecladim::platform::TerminationNotifier::requested, &form1,
                   [&form1, &termination](int exitCode) {
                     const tecladim::SessionEnd end = form1.SaveAtSessionEnd();
                     termination.Handled();
                     // Ends open dialogs' loops too, closes no window; a history not saved
                     // is told by the status, not as if the signal had ended a saved run.
                     QCoreApplication::exit(tecladim::ExitStatusAfter(end, exitCode));
                   });
}

}  // namespace

int main(int argc, char* argv[]) {
  // The history is read while the toolkit starts and the windows are built; the first
  // show waits for it, so a load error still shows before the window does.
  std::unique_ptr<tecladim::history::PacketPreload> history = tecladim::TForm1::PreloadHistory();
  tecladim::platform::FontWarmUp fonts;
  QApplication app(argc, argv);
  QApplication::setApplicationName(tecladim::ApplicationTitle);
  tecladim::platform::InstallQtTranslations(app);
  tecladim::RegisterFallbackFonts();
  tecladim::LoadPictures();
  QApplication::setWindowIcon(QIcon(tecladim::ReadPicture(QStringLiteral(":/assets/icon.png"))));
  tecladim::SystemServices platform;
  tecladim::platform::TerminationNotifier termination;

  // The main window first: its clipboard wipe runs from here on.
  tecladim::TForm1 form1(platform);
  tecladim::TForm2 form2;
  form2.Tag = 0;
  form1.SetHandPositionWindow(&form2);
  form1.SetHistoryPreload(std::move(history));

  SaveAtEveryEnd(app, form1, termination);

  form1.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, form1.size(),
                                        QGuiApplication::primaryScreen()->availableGeometry()));
  // The first show runs FormShow before the window is mapped: the history is loaded
  // (or its error shown) and lesson 1 is in place before anything is drawn.
  form1.show();
  return QApplication::exec();
}
