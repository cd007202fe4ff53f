#include <algorithm>

#include "classroom/csv.h"
#include "classroom/key_report.h"

namespace tecladim::classroom {

std::string KeyCsv(const std::vector<Student>& students, const Period& period) {
  std::vector<const Student*> order;
  for (const Student& s : students)
    if (!s.Failed()) order.push_back(&s);
  std::stable_sort(order.begin(), order.end(), [](const Student* a, const Student* b) { return a->aluno < b->aluno; });

  std::string out = CsvStart(KeyCsvHeader);
  for (const Student* student : order) {
    std::vector<KeyTotals> keys = StudentKeys(*student, period);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const KeyTotals& a, const KeyTotals& b) { return KeyboardOrder(a.expected, b.expected); });
    const std::string aluno = CsvCell(student->aluno);
    for (const KeyTotals& k : keys) {
      const std::int64_t ms = MeanKeyMs(k);
      const std::string cells[] = {
          aluno,
          CsvCell(KeyName(k.expected)),
          CsvCell(FingerText(k.expected)),
          std::to_string(k.right),
          std::to_string(k.wrong),
          DecimalText(100 * ErrorRate(k.wrong, k.Samples())),
          ms < 0 ? std::string() : std::to_string(ms),
          k.typedInstead.empty() ? std::string() : CsvCell(KeyName(k.typedInstead.front().typed)),
      };
      AppendCsvLine(out, cells);
    }
  }
  return out;
}

}  // namespace tecladim::classroom
