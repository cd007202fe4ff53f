#include "turma/keys_page.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <QThreadPool>

#include <algorithm>

#include "classroom/class_loader.h"
#include "turma/key_stats_reading.h"
#include "turma/keyboard_view.h"
#include "turma/way_back.h"

namespace tecladim::turma {
namespace {

const QString WholeClass = QStringLiteral("Turma inteira");
constexpr int MaxAdviceHeight = 320;
const QString Red = QStringLiteral("<span style='color:#aa0000'>%1</span>");

enum Column { Tecla, Dedo, Acertos, Erros, Taxa, Tempo, Trocada, QuemErra, ColumnCount };

// Sorts by the number kept beside the text, not by the text.
class NumberItem : public QTableWidgetItem {
 public:
  NumberItem(const QString& text, double value) : QTableWidgetItem(text) {
    setData(Qt::UserRole, value);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
  }
};

QString Percent(double rate) { return Decimal(100 * rate) + QLatin1Char('%'); }

QString Thousands(std::int64_t n) { return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n); }

QString ExerciseCount(std::size_t n) {
  return n == 1 ? QStringLiteral("1 exercício") : QStringLiteral("%1 exercícios").arg(n);
}

QString KeyFigures(const std::vector<classroom::KeyTotals>& keys) {
  std::int64_t right = 0, wrong = 0;
  for (const auto& k : keys) {
    right += k.right;
    wrong += k.wrong;
  }
  return QStringLiteral("%1 teclas julgadas, %2 erros (%3)")
      .arg(Thousands(right + wrong), Thousands(wrong), Percent(classroom::ErrorRate(wrong, right + wrong)));
}

QString NotRecordedText() {
  return QStringLiteral(
      "Estatísticas de teclas ainda não registradas: não há Teclas.xml ao lado deste histórico "
      "(gravado por um Tecladim anterior ou por outro programa). As outras abas mostram o "
      "histórico normalmente.");
}

QString FailedText(const classroom::Student& s) {
  return Red.arg(QStringLiteral("O arquivo de estatísticas de teclas de %1 não pôde ser lido (%2); o histórico de "
                                "exercícios aparece normalmente nas outras abas.")
                     .arg(Text(s.aluno).toHtmlEscaped(), Text(s.keyStatsError).toHtmlEscaped()));
}

// The chart's narrow column of labels; the table gives the fingers' whole names.
const QString ShortFingerNames[] = {
    QStringLiteral("mínimo esq."),    QStringLiteral("anelar esq."),    QStringLiteral("médio esq."),
    QStringLiteral("indicador esq."), QStringLiteral("indicador dir."), QStringLiteral("médio dir."),
    QStringLiteral("anelar dir."),    QStringLiteral("mínimo dir."),    QStringLiteral("polegares")};

QChart* FingerChart(const std::vector<classroom::KeyTotals>& keys) {
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("Taxa de erro por dedo"));
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->hide();
  auto* set = new QBarSet(QStringLiteral("Taxa de erro"));
  set->setColor(QColor(214, 39, 40));
  QStringList names;
  double top = 0;
  const auto fingers = classroom::SumFingers(keys);
  // The left little finger at the top, as the hands lie on the keyboard from left to right.
  for (auto f = fingers.rbegin(); f != fingers.rend(); ++f) {
    const double percent = 100 * classroom::ErrorRate(f->wrong, f->Samples());
    *set << percent;
    top = std::max(top, percent);
    names << ShortFingerNames[static_cast<std::size_t>(f->finger)];
  }
  auto* series = new QHorizontalBarSeries;
  series->append(set);
  chart->addSeries(series);
  auto* axisY = new QBarCategoryAxis;
  axisY->append(names);
  QFont small = axisY->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  axisY->setLabelsFont(small);
  axisY->setTruncateLabels(false);
  chart->addAxis(axisY, Qt::AlignLeft);
  series->attachAxis(axisY);
  auto* axisX = new QValueAxis;
  axisX->setRange(0, std::max(5.0, std::ceil(top / 5) * 5));
  axisX->setLabelFormat(QStringLiteral("%.0f%%"));
  axisX->setTickCount(6);
  chart->addAxis(axisX, Qt::AlignBottom);
  series->attachAxis(axisX);
  return chart;
}

}  // namespace

QString AdviceHtml(const classroom::PracticeAdvice& advice) {
  if (advice.keys.empty()) return QStringLiteral("<b>Teclas a treinar</b><br>Nenhuma tecla errada no período.");
  QString html = QStringLiteral("<b>Teclas a treinar</b><ol style='margin-top:2px'>");
  for (const classroom::WeakKey& k : advice.keys)
    html += QStringLiteral("<li><b>%1</b> — %2 erros em %3 (%4)</li>")
                .arg(Text(classroom::KeyName(k.expected)).toHtmlEscaped())
                .arg(k.wrong)
                .arg(k.samples)
                .arg(Percent(classroom::ErrorRate(k.wrong, k.samples)));
  html += QStringLiteral("</ol><b>Lições que mais as praticam</b><ol style='margin-top:2px'>");
  for (const classroom::LessonMatch& m : advice.lessons)
    html += QStringLiteral("<li>Lição %1 — %2 do texto</li>").arg(m.lesson).arg(Percent(m.share));
  return html + QStringLiteral("</ol>");
}

KeysShown MakeKeysShown(const ClassData& data, const QString& aluno, const classroom::Period& period,
                        const QString& periodText, const std::vector<classroom::ClassKey>* classKeys) {
  KeysShown shown;
  const QString inPeriod = QStringLiteral("no período (%1)").arg(periodText.toHtmlEscaped());
  if (!aluno.isEmpty()) {
    shown.title = aluno;
    const auto it = std::find_if(data.students.begin(), data.students.end(),
                                 [&](const classroom::Student& s) { return !s.Failed() && Text(s.aluno) == aluno; });
    if (it == data.students.end()) return shown;
    const classroom::Student& s = *it;
    if (s.keyStats == classroom::KeyStatsState::NotRecorded) {
      shown.situation = NotRecordedText();
    } else if (s.keyStats == classroom::KeyStatsState::Failed) {
      shown.situation = FailedText(s);
    } else {
      const auto exercises = classroom::KeyExercisesInPeriod(s, period);
      shown.keys = classroom::SumKeys(exercises);
      shown.situation = exercises.empty()
                            ? QStringLiteral("Nenhum exercício com estatísticas de teclas %1.").arg(inPeriod)
                            : QStringLiteral("%1 com estatísticas de teclas %2 · %3")
                                  .arg(ExerciseCount(exercises.size()), inPeriod, KeyFigures(shown.keys));
    }
    shown.advice = classroom::AdviceFor(shown.keys);
    return shown;
  }
  shown.title = WholeClass;
  shown.classKeys = classKeys ? *classKeys : classroom::ClassKeys(data.students, period);
  shown.keys = classroom::TotalsOf(shown.classKeys);
  std::size_t loaded = 0, recorded = 0, notRecorded = 0;
  QStringList failed;
  for (const classroom::Student& s : data.students) {
    if (s.Failed()) continue;
    ++loaded;
    if (s.keyStats == classroom::KeyStatsState::Read) ++recorded;
    if (s.keyStats == classroom::KeyStatsState::NotRecorded) ++notRecorded;
    if (s.keyStats == classroom::KeyStatsState::Failed) failed << FailedText(s);
  }
  shown.situation = QStringLiteral("%1 de %2 alunos com estatísticas de teclas registradas · %3 %4")
                        .arg(recorded)
                        .arg(loaded)
                        .arg(KeyFigures(shown.keys), inPeriod);
  if (notRecorded)
    shown.situation += QStringLiteral(" · %1 ainda sem estatísticas de teclas registradas").arg(notRecorded);
  for (const QString& f : failed) shown.situation += QStringLiteral("<br>") + f;
  shown.advice = classroom::AdviceFor(shown.keys);
  return shown;
}

KeysPage::KeysPage(KeyStatsReading* reading, QWidget* parent) : QWidget(parent), reading_(reading) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Teclado de:"), this));
  whose_ = new QComboBox(this);
  whose_->setObjectName(QStringLiteral("tecladoDe"));
  whose_->setMinimumWidth(280);
  top->addWidget(whose_);
  readingBar_ = new QProgressBar(this);
  readingBar_->setObjectName(QStringLiteral("lendoTeclas"));
  readingBar_->setFormat(QStringLiteral("%v de %m alunos"));
  readingBar_->setFixedWidth(220);
  readingBar_->hide();
  top->addWidget(readingBar_);
  situation_ = new QLabel(this);
  situation_->setObjectName(QStringLiteral("situacaoTeclas"));
  situation_->setWordWrap(true);
  situation_->setTextFormat(Qt::RichText);
  top->addWidget(situation_, 1);
  layout->addLayout(top);

  // The keyboard over the table of keys; beside them the keys to practise over the fingers.
  auto* split = new QSplitter(Qt::Horizontal, this);
  auto* left = new QSplitter(Qt::Vertical, split);
  auto* right = new QSplitter(Qt::Vertical, split);
  keyboard_ = new KeyboardView(left);
  keyboard_->setObjectName(QStringLiteral("teclado"));
  auto* adviceScroll = new QScrollArea(right);
  adviceScroll->setWidgetResizable(true);
  advice_ = new QLabel(adviceScroll);
  advice_->setObjectName(QStringLiteral("teclasATreinar"));
  advice_->setTextFormat(Qt::RichText);
  advice_->setWordWrap(true);
  advice_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  advice_->setMargin(6);
  adviceScroll->setWidget(advice_);

  table_ = new QTableWidget(0, ColumnCount, left);
  table_->setObjectName(QStringLiteral("tabelaTeclas"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Tecla"), QStringLiteral("Dedo"), QStringLiteral("Acertos"),
                                     QStringLiteral("Erros"), QStringLiteral("Taxa de erro"),
                                     QStringLiteral("Tempo médio"), QStringLiteral("Mais trocada por"),
                                     QStringLiteral("Quem mais erra")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  fingers_ = new QChartView(right);
  fingers_->setRenderHint(QPainter::Antialiasing);
  fingers_->setMinimumHeight(240);
  left->setStretchFactor(0, 3);
  left->setStretchFactor(1, 2);
  right->setStretchFactor(0, 3);
  right->setStretchFactor(1, 2);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 0);
  right->setMinimumWidth(330);
  right->setMaximumWidth(420);
  layout->addWidget(split, 1);

  connect(whose_, &QComboBox::currentIndexChanged, this, &KeysPage::Rebuild);
  connect(reading_, &KeyStatsReading::Progress, this, [this] {
    if (ShowsReading()) ShowReading();
  });
  connect(reading_, &KeyStatsReading::Read, this, &KeysPage::Rebuild);
}

struct KeysPage::ClassSum {
  explicit ClassSum(KeysPage* page) : owner(page), back(page) {}
  KeysPage* const owner;  // used on the window's thread alone, in what `back` posts
  std::span<const classroom::Student> students;
  classroom::Period period;
  std::vector<classroom::ClassKey> keys;
  // The students, once the class let them go; set on the window's thread while the sum holds
  // its own reference, freed with the sum's last one.
  std::shared_ptr<const std::vector<classroom::Student>> kept;
  WayBack back;
};

KeysPage::~KeysPage() {
  if (sum_) sum_->back.Cut();
}

void KeysPage::ClassLeaving() {
  classKeys_.reset();
  if (sum_) sum_->back.Cut();
  sum_.reset();
  std::shared_ptr<const std::vector<classroom::Student>> kept;
  for (const std::weak_ptr<ClassSum>& running : sums_)
    if (const auto sum = running.lock()) {
      // Moved, not copied: the students stay where the sums read them.
      if (!kept) kept = std::make_shared<const std::vector<classroom::Student>>(std::move(data_->students));
      sum->kept = kept;
    }
  sums_.clear();
}

void KeysPage::StartSum() {
  if (sum_ && sum_->period.from == period_.from && sum_->period.to == period_.to) return;
  if (sum_) sum_->back.Cut();  // another period's: dropped
  std::erase_if(sums_, [](const std::weak_ptr<ClassSum>& s) { return s.expired(); });
  auto sum = std::make_shared<ClassSum>(this);
  sums_.push_back(sum);
  sum->students = data_->students;
  sum->period = period_;
  sum_ = sum;
  QThreadPool::globalInstance()->start([sum] {
    sum->keys = classroom::ClassKeys(sum->students, sum->period);
    sum->back.Post([to = sum->owner, sum] { to->FinishSum(sum); });
  });
}

void KeysPage::FinishSum(const std::shared_ptr<ClassSum>& sum) {
  if (sum != sum_) return;
  sum_.reset();
  classKeys_ = std::move(sum->keys);
  classKeysPeriod_ = sum->period;
  Rebuild();
}

void KeysPage::Show(ClassData* data, const classroom::Period& period, const QString& periodText) {
  data_ = data;
  period_ = period;
  periodText_ = periodText;
  const QString selected = whose_->currentText();
  whose_->blockSignals(true);
  whose_->clear();
  whose_->addItem(WholeClass);
  for (const auto& s : data_->students)
    if (!s.Failed()) whose_->addItem(Text(s.aluno));
  const int keep = whose_->findText(selected);
  whose_->setCurrentIndex(keep >= 0 ? keep : 0);
  whose_->blockSignals(false);
  Rebuild();
}

void KeysPage::SelectStudent(const QString& aluno) {
  const int index = aluno.isEmpty() ? 0 : whose_->findText(aluno);
  if (index >= 0 && index != whose_->currentIndex()) whose_->setCurrentIndex(index);
}

QString KeysPage::SituationText() const { return situation_->text(); }
QString KeysPage::AdviceText() const { return advice_->text(); }

// The keys to practise read whole, without a scroll bar, as far as the finger chart lets them.
void KeysPage::FitAdvice() {
  auto* area = qobject_cast<QScrollArea*>(advice_->parentWidget()->parentWidget());
  if (!area) return;
  const int width = std::max(area->viewport()->width(), area->minimumWidth());
  area->setMinimumHeight(std::min(advice_->heightForWidth(width) + 2 * area->frameWidth(), MaxAdviceHeight));
}
bool KeysPage::ShowsReading() const { return !readingBar_->isHidden(); }

// The keyboard stays grey and the table empty until the class's keys are read.
void KeysPage::ShowReading() {
  situation_->setText(QStringLiteral("Lendo as estatísticas de teclas…"));
  readingBar_->setRange(0, std::max(1, reading_->Total()));
  readingBar_->setValue(reading_->Done());
  if (!readingBar_->isHidden()) return;
  readingBar_->show();
  keyboard_->SetKeys({});
  advice_->clear();
  table_->setRowCount(0);
  QChart* old = fingers_->chart();
  fingers_->setChart(FingerChart({}));
  delete old;
}

void KeysPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stale_) Rebuild();
}

void KeysPage::Rebuild() {
  if (!data_) return;
  if (!isVisible()) {
    stale_ = true;
    return;
  }
  stale_ = false;
  const bool wholeClass = whose_->currentIndex() <= 0;
  if (wholeClass && !reading_->Complete()) {
    reading_->Start();
    ShowReading();
    return;
  }
  if (wholeClass && (!classKeys_ || classKeysPeriod_.from != period_.from || classKeysPeriod_.to != period_.to)) {
    StartSum();
    // The keyboard of the last sum stays until this one ends.
    situation_->setText(QStringLiteral("Somando as teclas da turma…"));
    readingBar_->hide();
    return;
  }
  readingBar_->hide();
  // One file: read at once.
  for (classroom::Student& s : data_->students)
    if (!wholeClass && Text(s.aluno) == whose_->currentText()) classroom::LoadKeyStats(s);
  const KeysShown shown = MakeKeysShown(*data_, wholeClass ? QString() : whose_->currentText(), period_, periodText_,
                                        wholeClass ? &*classKeys_ : nullptr);
  situation_->setText(shown.situation);
  keyboard_->SetKeys(shown.keys);
  advice_->setText(AdviceHtml(shown.advice));
  FitAdvice();

  table_->setSortingEnabled(false);
  table_->setRowCount(static_cast<int>(shown.keys.size()));
  table_->setColumnHidden(QuemErra, !wholeClass);
  for (std::size_t i = 0; i < shown.keys.size(); ++i) {
    const classroom::KeyTotals& k = shown.keys[i];
    const int row = static_cast<int>(i);
    const double rate = classroom::ErrorRate(k.wrong, k.Samples());
    const std::int64_t ms = classroom::MeanKeyMs(k);
    auto* key = new QTableWidgetItem(Text(classroom::KeyName(k.expected)));
    key->setToolTip(KeyboardPicture::CharacterLine(k));
    key->setBackground(KeyboardPicture::RateColor(k.Samples() ? std::optional<double>(rate) : std::nullopt));
    table_->setItem(row, Tecla, key);
    table_->setItem(row, Dedo, new QTableWidgetItem(Text(classroom::FingerText(k.expected))));
    table_->setItem(row, Acertos, new NumberItem(Thousands(k.right), static_cast<double>(k.right)));
    table_->setItem(row, Erros, new NumberItem(Thousands(k.wrong), static_cast<double>(k.wrong)));
    table_->setItem(row, Taxa, new NumberItem(Percent(rate), rate));
    table_->setItem(row, Tempo,
                    new NumberItem(ms < 0 ? QString() : QStringLiteral("%1 ms").arg(ms), static_cast<double>(ms)));
    table_->setItem(row, Trocada,
                    new QTableWidgetItem(
                        k.typedInstead.empty() ? QString() : Text(classroom::KeyName(k.typedInstead.front().typed))));
    QStringList missers;
    if (wholeClass && i < shown.classKeys.size())
      for (const classroom::KeyMisser& m : shown.classKeys[i].missers)
        missers << QStringLiteral("%1 (%2)").arg(Text(m.aluno), Percent(classroom::ErrorRate(m.wrong, m.samples)));
    table_->setItem(row, QuemErra, new QTableWidgetItem(missers.join(QStringLiteral(", "))));
  }
  table_->setSortingEnabled(true);
  table_->sortByColumn(Taxa, Qt::DescendingOrder);
  table_->resizeColumnsToContents();

  QChart* old = fingers_->chart();
  fingers_->setChart(FingerChart(shown.keys));
  delete old;
}

}  // namespace tecladim::turma
