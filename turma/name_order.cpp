#include "turma/name_order.h"

#include <algorithm>
#include <numeric>

#include "turma/class_data.h"

namespace tecladim::turma {

NameOrder::NameOrder() : collator_(QLocale(QLocale::Portuguese, QLocale::Brazil)) {
  collator_.setNumericMode(true);
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

namespace {

template <typename Named>
void SortByName(const QCollator& collator, std::vector<Named>& students) {
  // One sort key per student: a class of thousands compares keys, not strings.
  std::vector<QCollatorSortKey> keys;
  keys.reserve(students.size());
  for (const Named& s : students) keys.push_back(collator.sortKey(Text(s.aluno)));
  std::vector<std::size_t> order(students.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
  std::vector<Named> sorted;
  sorted.reserve(students.size());
  for (std::size_t i : order) sorted.push_back(std::move(students[i]));
  students = std::move(sorted);
}

}  // namespace

void NameOrder::Sort(std::vector<classroom::Student>& students) const { SortByName(collator_, students); }
void NameOrder::Sort(std::vector<classroom::StudentResults>& students) const { SortByName(collator_, students); }

QString FoldedName(const QString& name) {
  const QString decomposed = name.normalized(QString::NormalizationForm_KD);
  QString folded;
  folded.reserve(decomposed.size());
  for (const QChar c : decomposed)
    if (c.category() != QChar::Mark_NonSpacing) folded += c;
  return folded.toCaseFolded();
}

}  // namespace tecladim::turma
