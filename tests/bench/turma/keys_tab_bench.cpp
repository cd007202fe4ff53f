// How long the class report's window stops answering when the "Teclas" tab is first shown for a
// class of 1,000 students, each with a "Teclas.xml" of 1,000 exercises: a 1 ms timer on the
// window's thread records the longest gap between its ticks, from the tab's show until the
// class's keyboard is drawn; then again for a change of period, the keys summed afresh.
// Goal: no gap over 50 ms (a frame or two). Also printed: the read's own time, on its thread.
// TECLADIM_BENCH_STUDENTS=N takes a smaller class for a quick look.
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "key_class.h"
#include "turma/keyboard_view.h"
#include "turma/keys_page.h"
#include "turma/report_window.h"

namespace {

using namespace tecladim;
using namespace tecladim::turma;

int Students() {
  const char* n = std::getenv("TECLADIM_BENCH_STUDENTS");
  return n ? std::max(1, std::atoi(n)) : 1'000;
}

// The longest time the window's thread went without running its timers, while `until` is false.
struct Stall {
  qint64 longestMs = 0;
  qint64 totalMs = 0;
};
template <typename Until>
Stall Watch(Until until) {
  QElapsedTimer clock, since;
  clock.start();
  since.start();
  Stall stall;
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] { stall.longestMs = std::max(stall.longestMs, since.restart()); });
  tick.start();
  while (!until()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  stall.longestMs = std::max(stall.longestMs, since.elapsed());
  stall.totalMs = clock.elapsed();
  return stall;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir dir;
  std::printf("writing %d students x %d exercises with key statistics...\n", Students(),
              classroom::testing::KeyClassRecords);
  classroom::testing::WriteKeyClass(Students(), PathOf(dir.path()));

  ReportWindow window;
  window.show();
  bool loaded = false;
  QObject::connect(&window, &ReportWindow::ClassShown, [&] { loaded = true; });
  window.OpenFolders({dir.path()});
  while (!loaded) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  KeysPage* keys = window.Keys();
  const QString reading = QStringLiteral("Lendo as estatísticas de teclas…");

  QElapsedTimer showing;
  showing.start();
  window.ShowTab(ReportWindow::KeysTab);
  const qint64 showMs = showing.elapsed();
  const bool readingShown = keys->SituationText() == reading;
  const Stall first = Watch([&] { return !keys->SituationText().startsWith(reading); });
  const bool drawn = keys->Keyboard()->Picture().ErrorRateOf("AC10").has_value();

  const Stall period = Watch([&, asked = false]() mutable {
    if (!asked) window.SetPeriod(ReportWindow::PeriodChoice::ThisMonth);
    return std::exchange(asked, true);
  });
  const Stall back = Watch([&, asked = false]() mutable {
    if (!asked) {
      window.ShowTab(ReportWindow::ClassTab);
      window.ShowTab(ReportWindow::KeysTab);
    }
    return std::exchange(asked, true);
  });

  std::printf(
      "%d students: the tab's show took %lld ms (reading state shown: %s); the class's keyboard drawn after "
      "%lld ms (%s), the window's thread never blocked longer than %lld ms (goal <= 50 ms)\n"
      "a period change: blocked %lld ms; the tab shown again: blocked %lld ms\n",
      Students(), static_cast<long long>(showMs), readingShown ? "yes" : "no", static_cast<long long>(first.totalMs),
      drawn ? "drawn" : "NOT DRAWN", static_cast<long long>(std::max(showMs, first.longestMs)),
      static_cast<long long>(period.longestMs), static_cast<long long>(back.longestMs));
  return drawn && readingShown ? 0 : 1;
}
