#include "turma/summary_lines.h"

#include <QDir>

#include "turma/load_errors.h"

namespace tecladim::turma {
namespace {

// "—" stands alone where there is no figure: never "—%".
QString OrDash(const std::optional<double>& value) { return value ? Decimal(value) : QStringLiteral("—"); }
QString PercentOrDash(const std::optional<double>& value) {
  return value ? Decimal(value) + QLatin1Char('%') : QStringLiteral("—");
}
QString WholeOrDash(const std::optional<std::int32_t>& value) {
  return value ? QString::number(*value) : QStringLiteral("—");
}
QString Students(std::size_t n) { return n == 1 ? QStringLiteral("1 aluno") : QStringLiteral("%1 alunos").arg(n); }

QString GoalsText(const classroom::ClassGoals& goals) {
  return (goals.tl ? QStringLiteral("TL %1 e ").arg(qRound(*goals.tl)) : QString()) +
         QStringLiteral("precisão %1%").arg(qRound(goals.precisao));
}

}  // namespace

std::vector<SummaryLine> SummaryLines(const ClassData& data, const std::vector<classroom::StudentSummary>& summaries,
                                      const QString& periodText, const classroom::ClassGoals& goals) {
  const classroom::ClassSummary c = classroom::SummarizeClass(data.students, summaries);
  std::size_t reached = 0;
  for (std::size_t i = 0; i < data.students.size(); ++i)
    if (!data.students[i].Failed() && classroom::ReachedGoals(summaries[i], goals)) ++reached;
  std::vector<SummaryLine> lines;
  lines.push_back(
      {{Students(c.students), QStringLiteral("%1 com exercícios no período (%2)").arg(c.activeStudents).arg(periodText),
        QStringLiteral("%1 exercícios").arg(c.exercises),
        QStringLiteral("%1 praticados").arg(Duration(c.secondsPractised))},
       LineTone::Heading});
  lines.push_back({{QStringLiteral("maior lição %1").arg(WholeOrDash(c.highestLesson)),
                    QStringLiteral("mediana da maior lição %1").arg(OrDash(c.medianHighestLesson)),
                    QStringLiteral("TL mediana %1").arg(OrDash(c.recentTl)),
                    QStringLiteral("precisão média %1").arg(PercentOrDash(c.recentPrecisao)),
                    QStringLiteral("tendência média da TL %1").arg(OrDash(c.trendTl))}});
  lines.push_back(
      {{QStringLiteral("textos no tempo %1 de %2").arg(c.withinTarget).arg(c.timedPassages),
        QStringLiteral("metas (%1) alcançadas por %2").arg(GoalsText(goals), Students(reached)),
        QStringLiteral("última atividade %1").arg(c.lastActivity ? Moment(c.lastActivity) : QStringLiteral("—"))}});
  // Several folders opened: each one's own figures under the class's.
  for (qsizetype i = 0; data.folders.size() > 1 && i < data.folders.size(); ++i) {
    const classroom::ClassSummary f = classroom::SummarizeClass(data.students, summaries, static_cast<std::size_t>(i));
    lines.push_back(
        {{QDir(data.folders[i]).dirName(), Students(f.students), QStringLiteral("%1 exercícios").arg(f.exercises),
          QStringLiteral("%1 praticados").arg(Duration(f.secondsPractised)),
          QStringLiteral("TL mediana %1").arg(OrDash(f.recentTl)),
          QStringLiteral("precisão média %1").arg(PercentOrDash(f.recentPrecisao))},
         LineTone::Heading});
  }
  if (c.studentsBelowFloor)
    lines.push_back({{QStringLiteral("%1 com precisão abaixo de %2").arg(Students(c.studentsBelowFloor), FloorText())},
                     LineTone::Warning});
  if (c.failedFiles)
    lines.push_back(
        {{UnreadableCountText(c.failedFiles) + QStringLiteral(": veja a coluna Situação.")}, LineTone::Warning});
  for (const auto& e : data.walkErrors)
    lines.push_back({{QStringLiteral("Pasta %1: %2").arg(PathText(e.folder), WalkErrorText(e))}, LineTone::Warning});
  return lines;
}

std::vector<SummaryLine> SummaryLines(const classroom::StudentSummary& s, const classroom::ClassGoals& goals) {
  std::vector<SummaryLine> lines;
  QString lessons = QStringLiteral("%1 lições feitas").arg(s.lessonsCompleted);
  if (s.lessonsTried) lessons += QStringLiteral(" (%1 só tentadas)").arg(s.lessonsTried);
  lines.push_back({{QStringLiteral("%1 exercícios").arg(s.exercises), lessons,
                    QStringLiteral("maior lição %1").arg(WholeOrDash(s.highestLesson)),
                    QStringLiteral("%1 praticados").arg(Duration(s.secondsPractised))}});
  lines.push_back(
      {{QStringLiteral("TL %1 (tendência %2)").arg(OrDash(s.recentTl), OrDash(s.trendTl)),
        QStringLiteral("precisão %1").arg(PercentOrDash(s.recentPrecisao)),
        QStringLiteral("textos no tempo %1 de %2").arg(s.withinTarget).arg(s.timedPassages),
        QStringLiteral("última atividade %1").arg(s.lastActivity ? Moment(s.lastActivity) : QStringLiteral("—"))}});
  if (s.recentTl)
    lines.push_back(
        {{QStringLiteral("metas da turma (%1): %2")
              .arg(GoalsText(goals), classroom::ReachedGoals(s, goals) ? QStringLiteral("✔ alcançadas")
                                                                       : QStringLiteral("não alcançadas"))}});
  if (s.recentBelowFloor)
    lines.push_back({{QStringLiteral("precisão abaixo de %1").arg(FloorText())}, LineTone::Warning});
  return lines;
}

QString SummaryHtml(const std::vector<SummaryLine>& lines) {
  QStringList html;
  for (const SummaryLine& line : lines) {
    QStringList parts;
    for (const QString& part : line.parts) parts << part.toHtmlEscaped();
    if (line.tone == LineTone::Heading && !parts.isEmpty())
      parts.first() = QStringLiteral("<b>%1</b>").arg(parts.first());
    QString text = parts.join(QStringLiteral(" · "));
    if (line.tone == LineTone::Warning) text = QStringLiteral("<span style='color:#aa0000'>%1</span>").arg(text);
    html << text;
  }
  return html.join(QStringLiteral("<br>"));
}

}  // namespace tecladim::turma
