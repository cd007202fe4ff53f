// Saves pictures of the alert flash and the hand-position window as the program shows them
// (the report is taken from the running program: tests/ui_main/take_screenshots.sh).
// Usage: tecladim_alert_screenshots <folder>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <functional>

#include "platform/fake_services.h"
#include "ui/UMessage_esp.h"
#include "ui/Unit2.h"
#include "ui/window_fonts.h"

namespace {

// Painting settles within this time on a real X server.
constexpr int SettleMs = 400;

void GrabWhileShown(QDialog& window, const QString& path, const std::function<void()>& close) {
  QTimer::singleShot(SettleMs, &window, [&window, path, close] {
    const bool saved = window.grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    close();
  });
  window.exec();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tecladim::RegisterFallbackFonts();
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  tecladim::FakeServices platform;
  QWidget owner;
  owner.setWindowTitle(QStringLiteral("Tecladim"));
  owner.resize(1350, 700);
  owner.show();

  platform.randomScript = {1};  // the worried face
  auto* flash = new tecladim::TMessage_esp(platform, &owner);
  flash->SetMessage(QStringLiteral("Você errou"));
  flash->Timer1->stop();  // the picture is taken before the countdown would close it
  GrabWhileShown(*flash, folder + QStringLiteral("/alert-flash.png"), [flash] { flash->Timer1Timer(); });

  tecladim::TForm2 chart;
  GrabWhileShown(chart, folder + QStringLiteral("/hand-position.png"), [&chart] { chart.BitBtn1Click(); });
  return 0;
}
