#include "classroom/csv.h"

#include <algorithm>
#include <optional>

#include "history/record_order.h"


namespace tecladim::classroom {
namespace {

constexpr std::string_view ByteOrderMark = CsvByteOrderMark;
constexpr std::string_view LineEnd = CsvLineEnd;
constexpr char Separator = CsvSeparator;

template <typename Int>
std::string Whole(const std::optional<Int>& value) {
  return value ? std::to_string(*value) : std::string();
}

std::string Decimal(const std::optional<double>& value) { return value ? DecimalText(*value) : std::string(); }

void AppendLine(std::string& out, const std::string& aluno, const ExerciseRecord& r) {
  const ExerciseFigures f = FiguresOf(r);
  const std::string cells[] = {
      aluno,
      Whole(r.licao),
      r.data ? DateTimeText(*r.data) : std::string(),
      Whole(r.erros),
      Whole(r.tempoS),
      Whole(f.toques),
      Decimal(f.tpm),
      Decimal(f.ppm),
      Decimal(f.tl),
      Decimal(f.precisao),
      Whole(f.meta),
      Decimal(f.percentualMeta),
  };
  AppendCsvLine(out, cells);
}

}  // namespace

std::string CsvStart(std::string_view header) {
  std::string out(ByteOrderMark);
  out += header;
  out += LineEnd;
  return out;
}

void AppendCsvLine(std::string& out, std::span<const std::string> cells) {
  bool first = true;
  for (const std::string& cell : cells) {
    if (!first) out.push_back(Separator);
    first = false;
    out += cell;
  }
  out += LineEnd;
}

std::string CsvCell(std::string_view text) {
  // A folder named "=1+1" or "@SOMA(1;2)" must not become a formula in the instructor's
  // spreadsheet: such a cell is kept as text by a leading apostrophe.
  std::string cell;
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) cell.push_back('\'');
  cell += text;
  if (cell.find_first_of(";\"\r\n") == std::string::npos) return cell;
  std::string out = "\"";
  for (char c : cell) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string ClassCsv(const std::vector<Student>& students, const Period& period) {
  std::vector<const Student*> order;
  for (const Student& s : students)
    if (!s.Failed()) order.push_back(&s);
  // Records within a student are already in `data` then record-number order.
  std::stable_sort(order.begin(), order.end(), [](const Student* a, const Student* b) { return a->aluno < b->aluno; });

  std::string out = CsvStart(CsvHeader);
  std::vector<const ExerciseRecord*> merged;
  for (auto group = order.begin(); group != order.end();) {
    const auto end = std::find_if(group, order.end(), [&](const Student* s) { return s->aluno != (*group)->aluno; });
    // Two opened folders may hold a student of the same name: their lines interleave by date.
    merged.clear();
    for (auto s = group; s != end; ++s)
      for (const ExerciseRecord& r : (*s)->records)
        if (period.Contains(r.data)) merged.push_back(&r);
    if (end - group > 1)
      std::stable_sort(merged.begin(), merged.end(), [](const ExerciseRecord* a, const ExerciseRecord* b) {
        return history::ComesBefore(a->data, a->recordNumber, b->data, b->recordNumber);
      });
    const std::string aluno = CsvCell((*group)->aluno);
    for (const ExerciseRecord* r : merged) AppendLine(out, aluno, *r);
    group = end;
  }
  return out;
}

}  // namespace tecladim::classroom
