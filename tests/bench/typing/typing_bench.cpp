// One key through the real typing box: the key event, the keystroke judge and the
// inserted character, with 14 full lines of a drill of 81 characters already typed and
// the 15th in progress. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

#include "lessons/catalogue.h"
#include "platform/fake_services.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/lesson_spin_box.h"
#include "ui/qtext.h"
#include "ui/typing_box.h"

namespace {

constexpr int LongestDrill = 141;  // 81 characters
constexpr int KeysPerRound = 70;   // stays short of the line's end: no line advance

void TypeOneKey(benchmark::State& state) {
  tecladim::FakeServices fake;
  tecladim::TForm1 form(fake);
  form.show();
  form.SpinEdit1->SetText(QString::number(LongestDrill));
  const std::u16string model(*tecladim::LessonText(LongestDrill));
  std::u16string fourteenLines;
  for (int i = 0; i < 14; ++i) fourteenLines += model + u"\r\n";
  QList<QKeyEvent*> keys;
  for (int i = 0; i < KeysPerRound; ++i) {
    keys << new QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(model[std::size_t(i)])));
  }
  for (auto _ : state) {
    state.PauseTiming();
    form.Memo2->SetText(fourteenLines);
    form.Memo2->MoveCaretToEnd();
    state.ResumeTiming();
    for (QKeyEvent* key : keys) QCoreApplication::sendEvent(form.Memo2, key);
  }
  if (form.exercise.errorCount != 0) state.SkipWithError("a key was judged wrong");
  state.counters["per_key"] =
      benchmark::Counter(double(state.iterations()) * KeysPerRound, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  qDeleteAll(keys);
}
BENCHMARK(TypeOneKey)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
