#pragma once
#include <QCollator>
#include <QString>

#include <vector>

#include "classroom/class_report.h"
#include "classroom/exam_results.h"

// Student names as a Brazilian reads them. The class table, the student list, the class
// chart and the printout all put names in this one order; the name filter matches this way.
namespace tecladim::turma {

// Brazilian collation with numbers by value: "aluno-2", "aluno-10", "Ângela", "bruno",
// "Iago", "íris". A collator is not safe to share between threads: each user holds one.
class NameOrder {
 public:
  NameOrder();
  // Negative, zero or positive as `a` comes before, with or after `b`.
  int Compare(const QString& a, const QString& b) const { return collator_.compare(a, b); }
  bool operator()(const QString& a, const QString& b) const { return Compare(a, b) < 0; }
  // The students in this order; equal names keep their files' order.
  void Sort(std::vector<classroom::Student>& students) const;
  void Sort(std::vector<classroom::StudentResults>& students) const;

 private:
  QCollator collator_;
};

// A name as the filter compares it: accents dropped, case folded ("Conceição" → "conceicao").
QString FoldedName(const QString& name);

}  // namespace tecladim::turma
