#include "turma/class_goals.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolBar>

#include "exercise/figures.h"

namespace tecladim::turma {
namespace {

const QString GoalsGroup = QStringLiteral("metas");
// No typist reaches this: the box only keeps a slip of the finger out.
constexpr int MaxGoalTl = 2000;
constexpr int TlStep = 10;

// The report window's own settings.
QSettings Settings() { return QSettings(QStringLiteral("Tecladim"), QStringLiteral("tecladim-turma")); }

}  // namespace

QString ClassGoalsKey(const QStringList& absoluteFolders) {
  QStringList sorted = absoluteFolders;
  sorted.sort();
  sorted.removeDuplicates();
  // A settings key cannot hold every character of a path; its hash can stand for it.
  return QString::fromLatin1(
      QCryptographicHash::hash(sorted.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Sha1).toHex());
}

namespace {
// The goals kept for a class: {TL or 0, accuracy}; none kept gives the defaults.
classroom::ClassGoals ReadGoals(const QString& key) {
  QSettings settings = Settings();
  settings.beginGroup(GoalsGroup);
  const QVariantList saved = settings.value(key).toList();
  classroom::ClassGoals goals;
  if (saved.size() != 2) return goals;
  if (saved[0].toDouble() > 0) goals.tl = saved[0].toDouble();
  goals.precisao = saved[1].toInt();
  return goals;
}
}  // namespace

classroom::ClassGoals RememberedGoals(const QStringList& folders) {
  QStringList absolute;
  for (const QString& f : folders) absolute << QDir::cleanPath(QFileInfo(f).absoluteFilePath());
  return ReadGoals(ClassGoalsKey(absolute));
}

ClassGoalsEditor::ClassGoalsEditor(QToolBar* bar) : QObject(bar) {
  bar->addSeparator();
  bar->addWidget(new QLabel(QStringLiteral(" Metas: TL "), bar));
  tl_ = new QDoubleSpinBox(bar);
  tl_->setObjectName(QStringLiteral("metaTl"));
  tl_->setRange(0, MaxGoalTl);
  tl_->setDecimals(0);
  tl_->setSingleStep(TlStep);
  tl_->setSpecialValueText(QStringLiteral("—"));  // 0: no TL asked
  tl_->setToolTip(QStringLiteral("TL mediana dos últimos 10 exercícios que a turma deve alcançar"));
  bar->addWidget(tl_);
  bar->addWidget(new QLabel(QStringLiteral(" precisão "), bar));
  precisao_ = new QSpinBox(bar);
  precisao_->setObjectName(QStringLiteral("metaPrecisao"));
  precisao_->setRange(0, 100);
  precisao_->setValue(AccuracyFloorPercent);
  precisao_->setSuffix(QStringLiteral("%"));
  precisao_->setToolTip(
      QStringLiteral("Precisão média dos últimos 10 exercícios; uma lição conta como feita a partir dela"));
  bar->addWidget(precisao_);
  auto changed = [this] {
    Remember();
    emit Changed();
  };
  connect(tl_, &QDoubleSpinBox::valueChanged, this, changed);
  connect(precisao_, &QSpinBox::valueChanged, this, changed);
}

classroom::ClassGoals ClassGoalsEditor::Goals() const {
  classroom::ClassGoals goals;
  if (tl_->value() > 0) goals.tl = tl_->value();
  goals.precisao = precisao_->value();
  return goals;
}

void ClassGoalsEditor::SetGoals(const classroom::ClassGoals& goals) {
  {
    const QSignalBlocker tl(tl_), precisao(precisao_);
    tl_->setValue(goals.tl.value_or(0));
    precisao_->setValue(static_cast<int>(goals.precisao));
  }
  Remember();
  emit Changed();
}

void ClassGoalsEditor::ShowFolders(const QStringList& absoluteFolders) {
  key_ = ClassGoalsKey(absoluteFolders);
  const classroom::ClassGoals goals = ReadGoals(key_);
  const QSignalBlocker tl(tl_), precisao(precisao_);
  tl_->setValue(goals.tl.value_or(0));
  precisao_->setValue(static_cast<int>(goals.precisao));
}

void ClassGoalsEditor::Remember() {
  if (key_.isEmpty()) return;  // no class opened yet
  QSettings settings = Settings();
  settings.beginGroup(GoalsGroup);
  settings.setValue(key_, QVariantList{tl_->value(), precisao_->value()});
}

}  // namespace tecladim::turma
