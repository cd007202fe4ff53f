#pragma once
#include <span>
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

// The key statistics: the header, then one line per student that loaded and key they met in
// the period, by aluno then by the key's place on the keyboard; `tecla` and
// `mais_trocada_por` as KeyName says them, `taxa_erro` in percent, `tempo_medio_ms` blank
// when no right key was timed.
inline constexpr std::string_view KeyCsvHeader =
    "aluno;tecla;dedo;acertos;erros;taxa_erro;tempo_medio_ms;mais_trocada_por";
std::string KeyCsv(const std::vector<Student>& students, const Period& period);

// Every export's start (the byte-order mark and the header line) and its lines: cells
// joined by ";", CR LF after each. The cells come already made (CsvCell for text).
std::string CsvStart(std::string_view header);
void AppendCsvLine(std::string& out, std::span<const std::string> cells);

// A text cell as RFC 4180 writes it: quoted, inner quotes doubled, when it holds ";", a quote
// or a line break. A text that a spreadsheet would take for a formula (it begins with "=",
// "+", "-", "@", a tab or a carriage return) gets a leading apostrophe. Numbers are never
// written through it.
std::string CsvCell(std::string_view text);

}  // namespace tecladim::classroom
