#pragma once
#include <iosfwd>

#include "turma/class_data.h"
#include "turma/command_line.h"

namespace tecladim::turma {

// tecladim-turma --csv-provas FILE FOLDER...: the simulados' CSV without a window. 0 when
// every results file was read and the output written; 1 when a file or folder could not be
// read or a folder holds no simulado (the CSV is still written when any was found); 2 for an
// output that is a student's file, nothing written. Every failure on `errors`.
int ExportExamCsv(const CommandLine& command, std::ostream& errors);

// Every results file that could not be read, a line each on `errors`; true when there was any.
bool ReportResultsFailures(const ClassData& data, std::ostream& errors);

}  // namespace tecladim::turma
