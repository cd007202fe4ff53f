#pragma once
#include <QString>
#include <QStringList>

#include <iosfwd>

// tecladim-turma [FOLDER...]          opens the window on the folders
// tecladim-turma --csv FILE FOLDER... writes the CSV, no window
// tecladim-turma --pdf FILE FOLDER... writes the PDF report, no window
// tecladim-turma --csv-provas FILE FOLDER... writes the simulados' CSV, no window
// tecladim-turma --csv-teclas FILE FOLDER... writes the key statistics' CSV, no window
// tecladim-turma --meu-desempenho [FOLDER] a student's own report on the history in FOLDER
//                                         (the current folder), its keys shown
namespace tecladim::turma {

struct CommandLine {
  enum class Mode { Window, Csv, Pdf, CsvExams, KeyCsv, OwnReport, Usage };
  Mode mode = Mode::Window;
  QString output;
  QStringList folders;
  QString error;  // for Usage: what was wrong ("" for --help)
};

// The arguments without the program's name.
CommandLine ParseCommandLine(const QStringList& arguments);

extern const char* const UsageText;

// The exports without a window (ExportCsv writes the key statistics' CSV for KeyCsv): 0 when every file was read and
// the output written, 1 otherwise, with every failure on `errors`. ExportPdf needs a QApplication.
int ExportCsv(const CommandLine& command, std::ostream& errors);
int ExportPdf(const CommandLine& command, std::ostream& errors);

}  // namespace tecladim::turma
