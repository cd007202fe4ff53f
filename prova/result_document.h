#pragma once
#include <QString>

#include <string_view>

#include "exam/profiles.h"
#include "exam/scoring.h"

class QPrinter;

// The result sheet of a simulado as the window shows it and the printer prints it: the
// figures, the model and the typed text aligned column by column with every error marked
// under its place, the list of errors, and the reminder that it is practice.
namespace tecladim::prova {

// Alignment columns per row of the aligned texts.
inline constexpr int AlignedColumns = 64;

QString ResultHtml(const exam::Profile& profile, std::string_view textTitle, const exam::ExamResult& result);

// The sheet on the printer (a PDF file or paper), one page after the other.
void PrintResult(const QString& html, QPrinter& printer);

}  // namespace tecladim::prova
