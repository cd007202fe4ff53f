// The student's progress chart built and drawn at the window's size, for a student of 20
// exercises and for a lab machine's 50,000: the chart must stay quick to open.
//   chart_bench [--png DIR] [--class DIR] [benchmark flags]
// --png saves both charts as pictures to look at; --class writes both students' histories
// into DIR/turma/ to open in tecladim-turma.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "synthetic_class.h"
#include "turma/report_charts.h"

namespace {

using namespace tecladim;

const QSizeF ChartSize(1300, 420);

history::Packet Student(int exercises) {
  classroom::testing::StudentProfile profile;
  profile.exercises = exercises;
  profile.firstDay = DaysFromCivil({2026, 12, 1}) - exercises / 4;
  profile.exercisesPerLesson = std::max(1, exercises / 400);
  profile.exercisesPerDay = std::max(6, exercises / 1000);  // a lab machine shared by a class
  profile.gainPerExercise = 120.0 / exercises;
  return classroom::testing::StudentHistory(profile);
}

std::vector<classroom::ExerciseRecord> Records(const history::Packet& p) {
  std::vector<classroom::ExerciseRecord> records;
  for (std::size_t i = 0; i < p.columns[0].numbers.size(); ++i)
    records.push_back({static_cast<std::uint32_t>(i + 1), static_cast<std::int32_t>(p.columns[0].numbers[i]),
                       Stamp{p.columns[1].numbers[i]}, static_cast<std::int32_t>(p.columns[2].numbers[i]),
                       p.columns[5].numbers[i] / 1000});
  return records;
}

QImage Draw(QChart* chart) {
  QGraphicsScene scene;
  scene.addItem(chart);  // the scene deletes the chart
  chart->resize(ChartSize);
  QCoreApplication::sendPostedEvents();
  QImage image(ChartSize.toSize(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, QRectF(QPointF(0, 0), ChartSize), QRectF(QPointF(0, 0), ChartSize));
  return image;
}

void BuildProgressChart(benchmark::State& state) {
  const auto records = Records(Student(static_cast<int>(state.range(0))));
  for (auto _ : state) delete turma::ProgressChart(records);
}
BENCHMARK(BuildProgressChart)->Arg(20)->Arg(50'000)->Unit(benchmark::kMillisecond);

void BuildAndDrawProgressChart(benchmark::State& state) {
  const auto records = Records(Student(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(Draw(turma::ProgressChart(records)));
}
BENCHMARK(BuildAndDrawProgressChart)->Arg(20)->Arg(50'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  for (int i = 1; i + 1 < argc; ++i) {
    const std::filesystem::path dir = argv[i + 1];
    if (std::strcmp(argv[i], "--png") == 0) {
      for (int exercises : {20, 50'000})
        Draw(turma::ProgressChart(Records(Student(exercises))))
            .save(QString::fromStdString((dir / ("progresso-" + std::to_string(exercises) + ".png")).string()));
      return 0;
    }
    if (std::strcmp(argv[i], "--class") == 0) {
      for (int exercises : {20, 50'000}) {
        const auto file = dir / "turma" / ("aluno-" + std::to_string(exercises)) / "Exercicio.xml";
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << history::WritePacket(Student(exercises));
      }
      return 0;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
