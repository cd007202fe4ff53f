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

#include <time.h>

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

// The longest time the window's thread went without running its timers, while `until` is false,
// and the processor time it spent in that gap (the rest: other programs ran on a busy machine).
struct Stall {
  qint64 longestMs = 0;
  qint64 longestCpuMs = 0;
  qint64 totalMs = 0;
};

qint64 ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<qint64>(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}
template <typename Until>
Stall Watch(Until until) {
  QElapsedTimer clock, since;
  clock.start();
  since.start();
  Stall stall;
  qint64 cpu = ThreadCpuMs();
  auto gap = [&] {
    const qint64 ms = since.restart(), cpuMs = ThreadCpuMs() - cpu;
    cpu += cpuMs;
    if (ms <= stall.longestMs) return;
    stall.longestMs = ms;
    stall.longestCpuMs = cpuMs;
  };
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, gap);
  tick.start();
  while (!until()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  gap();
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
  auto busy = [&] {
    return keys->SituationText().startsWith(reading) || keys->SituationText().startsWith(QStringLiteral("Somando"));
  };

  // A month of the class's exercises (they start on 05/02/2024).
  const std::pair March{QDate(2024, 3, 1), QDate(2024, 3, 31)};
  // The same change before any key is read: what the rest of the window takes.
  const Stall before = Watch([&, asked = false]() mutable {
    if (!std::exchange(asked, true)) window.SetPeriod(ReportWindow::PeriodChoice::Range, March.first, March.second);
    return true;
  });
  window.SetPeriod(ReportWindow::PeriodChoice::Everything);

  QElapsedTimer showing;
  showing.start();
  window.ShowTab(ReportWindow::KeysTab);
  const qint64 showMs = showing.elapsed();
  const bool readingShown = keys->SituationText() == reading;
  const Stall first = Watch([&] { return !busy(); });
  const bool drawn = keys->Keyboard()->Picture().ErrorRateOf("AC10").has_value();

  const Stall period = Watch([&, asked = false]() mutable {
    if (!std::exchange(asked, true)) window.SetPeriod(ReportWindow::PeriodChoice::Range, March.first, March.second);
    return !busy();
  });
  const Stall back = Watch([&, asked = false]() mutable {
    if (!std::exchange(asked, true)) {
      window.ShowTab(ReportWindow::ClassTab);
      window.ShowTab(ReportWindow::KeysTab);
    }
    return !busy();
  });

  std::printf(
      "%d students: the tab's show took %lld ms (reading state shown: %s); the class's keyboard drawn after %lld ms "
      "(%s)\n",
      Students(), static_cast<long long>(showMs), readingShown ? "yes" : "no", static_cast<long long>(first.totalMs),
      drawn ? "drawn" : "NOT DRAWN");
  auto print = [](const char* what, const Stall& stall) {
    std::printf("%s: the window's thread blocked at most %lld ms (%lld ms of it working; goal <= 50 ms)\n", what,
                static_cast<long long>(stall.longestMs), static_cast<long long>(stall.longestCpuMs));
  };
  print("a period change before the Teclas tab is shown (the rest of the window alone)", before);
  print("the Teclas tab first shown, files read and keys summed", first);
  print("a period change (the whole window refreshed, the class's keys summed again)", period);
  print("the Teclas tab shown again", back);
  return drawn && readingShown ? 0 : 1;
}
