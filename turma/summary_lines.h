#pragma once
#include <QString>
#include <QStringList>

#include <vector>

#include "classroom/class_report.h"
#include "turma/class_data.h"

// The sentences that sum up the class and a student, composed once for the window and the
// paper alike: each line a list of figures, the window joins them with " · ", the page with
// spaces.
namespace tecladim::turma {

enum class LineTone {
  Heading,  // the first figure is the line's subject ("30 alunos", "turma-manha")
  Plain,
  Warning,  // told in red
};

struct SummaryLine {
  QStringList parts;
  LineTone tone = LineTone::Plain;
};

// The class: its figures, then with several folders opened a subtotal per folder, then what
// needs the instructor's eye. `summaries` one per student, as the table made them.
std::vector<SummaryLine> SummaryLines(const ClassData& data, const std::vector<classroom::StudentSummary>& summaries,
                                      const QString& periodText, const classroom::ClassGoals& goals);
// One student's figures over the period (the name is the page's or the list's own).
std::vector<SummaryLine> SummaryLines(const classroom::StudentSummary& s, const classroom::ClassGoals& goals);

// The lines as the window's rich text.
QString SummaryHtml(const std::vector<SummaryLine>& lines);

}  // namespace tecladim::turma
