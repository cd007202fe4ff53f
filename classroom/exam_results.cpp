#include "classroom/exam_results.h"

#include <algorithm>

#include "classroom/csv.h"
#include "history/record_set.h"

namespace tecladim::classroom {
namespace {

bool TakenBefore(const exam::ResultRecord& a, const exam::ResultRecord& b) { return a.inicio < b.inicio; }

}  // namespace

StudentResults LoadResults(const HistoryLocation& location) {
  StudentResults student{location.aluno, location.file, {}, {}};
  ReadFailure failed = ReadGuarded([&] {
    history::RecordSet set("Simulados", exam::ResultLayout);
    set.LoadFromFile(location.file);
    if (!set.Active()) set.Open();  // a zero-byte file: no results yet
    const int rows = set.RowCount();
    student.results.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) student.results.push_back(exam::ResultAt(set, i));
    std::stable_sort(student.results.begin(), student.results.end(), TakenBefore);
  });
  if (failed.failure != LoadFailure::None) {
    student.results.clear();
    student.error = std::move(failed.error);
    student.failure = failed.failure;
    student.cause = failed.cause;
  }
  return student;
}

std::vector<StudentResults> LoadClassResults(const std::vector<HistoryLocation>& files, unsigned threads,
                                             const std::atomic<bool>* cancel) {
  std::vector<StudentResults> students(files.size());
  const std::vector<char> loaded = ReadInParallel(
      files.size(), [&](std::size_t i) { students[i] = LoadResults(files[i]); }, threads, cancel);
  std::vector<StudentResults> out;
  out.reserve(students.size());
  for (std::size_t i = 0; i < students.size(); ++i)
    if (loaded[i]) out.push_back(std::move(students[i]));
  return out;
}

std::optional<Stamp> TakenAt(const exam::ResultRecord& result) {
  // A value missing in the file reads as 0, which no test was ever taken at.
  if (result.inicio == 0) return std::nullopt;
  return ToStamp(result.inicio);
}

std::vector<const exam::ResultRecord*> InPeriod(const StudentResults& student, const Period& period) {
  std::vector<const exam::ResultRecord*> taken;
  for (const exam::ResultRecord& r : student.results)
    if (period.Contains(TakenAt(r))) taken.push_back(&r);
  return taken;
}

std::string GradeText(const exam::ResultRecord& result) {
  const int decimals = std::clamp(result.casas, 0, 9);
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const std::int64_t magnitude = result.nota < 0 ? -result.nota : result.nota;
  std::string text = result.nota < 0 ? "-" : "";
  text += std::to_string(magnitude / scale);
  if (decimals == 0) return text;
  const std::string fraction = std::to_string(magnitude % scale);
  return text + ',' + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
}

std::string_view VerdictText(const exam::ResultRecord& result) { return result.apto ? "APTO" : "NÃO APTO"; }

std::string ExamResultsCsv(const std::vector<StudentResults>& students, const Period& period) {
  std::vector<const StudentResults*> order;
  for (const StudentResults& s : students)
    if (!s.Failed()) order.push_back(&s);
  std::stable_sort(order.begin(), order.end(),
                   [](const StudentResults* a, const StudentResults* b) { return a->aluno < b->aluno; });
  std::string out(CsvByteOrderMark);
  out += ExamCsvHeader;
  out += CsvLineEnd;
  std::vector<const exam::ResultRecord*> taken;
  for (auto group = order.begin(); group != order.end();) {
    const auto end = std::find_if(group, order.end(), [&](const auto* s) { return s->aluno != (*group)->aluno; });
    taken.clear();
    for (auto s = group; s != end; ++s)
      for (const exam::ResultRecord* r : InPeriod(**s, period)) taken.push_back(r);
    std::stable_sort(taken.begin(), taken.end(), [](const auto* a, const auto* b) { return TakenBefore(*a, *b); });
    const std::string aluno = CsvCell((*group)->aluno);
    for (const exam::ResultRecord* r : taken) {
      const std::optional<Stamp> at = TakenAt(*r);
      const std::string cells[] = {aluno,
                                   CsvCell(r->perfil),
                                   std::to_string(r->versao),
                                   CsvCell(r->texto),
                                   at ? DateTimeText(*at) : std::string(),
                                   std::to_string(r->minutos),
                                   std::to_string(r->tb),
                                   std::to_string(r->erros),
                                   std::to_string(r->tl),
                                   GradeText(*r),
                                   std::string(VerdictText(*r))};
      for (std::size_t i = 0; i < std::size(cells); ++i) {
        if (i > 0) out.push_back(CsvSeparator);
        out += cells[i];
      }
      out += CsvLineEnd;
    }
    group = end;
  }
  return out;
}

}  // namespace tecladim::classroom
