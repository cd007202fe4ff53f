#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "classroom/class_report.h"

// The class's records as a spreadsheet opens them: UTF-8 with a byte-order mark, ";"
// between cells, CR LF after every line, numbers with a decimal comma.
namespace tecladim::classroom {

inline constexpr std::string_view CsvByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::string_view CsvLineEnd = "\r\n";
inline constexpr char CsvSeparator = ';';

inline constexpr std::string_view CsvHeader =
    "aluno;licao;data;erros;tempo;toques;tpm;ppm;tl;precisao;meta;percentual_meta";

// The header, then one line per record in the period of every student that loaded, by
// aluno (as text), then `data`, then record number. Students whose file failed give none.
std::string ClassCsv(const std::vector<Student>& students, const Period& period);

// A text cell as RFC 4180 writes it: quoted, inner quotes doubled, when it holds ";", a quote
// or a line break. A text that a spreadsheet would take for a formula (it begins with "=",
// "+", "-", "@", a tab or a carriage return) gets a leading apostrophe. Numbers are never
// written through it.
std::string CsvCell(std::string_view text);

}  // namespace tecladim::classroom
