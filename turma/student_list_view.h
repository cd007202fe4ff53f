#pragma once
#include <QElapsedTimer>
#include <QListView>

// The student list's drop-down. Names start with their folders ("turma-manha/joão"), so
// typing a student's first letters finds nothing by the whole name: the search looks at the
// part after the last "/", accents and case aside, and at the whole name only when no
// student's own name matches.
namespace tecladim::turma {

class StudentListView : public QListView {
 public:
  using QListView::QListView;
  void keyboardSearch(const QString& search) override;

 private:
  QString typed_;
  QElapsedTimer sinceLastKey_;
};

// The row after `from` (wrapping round) whose name, or failing that whose whole text, starts
// with `typed`, accents and case aside; -1 when none does.
int StudentRowStartingWith(const QStringList& names, const QString& typed, int from);

}  // namespace tecladim::turma
