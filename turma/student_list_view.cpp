#include "turma/student_list_view.h"

#include <QApplication>

#include "turma/name_order.h"

namespace tecladim::turma {

int StudentRowStartingWith(const QStringList& names, const QString& typed, int from) {
  const QString wanted = FoldedName(typed);
  if (wanted.isEmpty() || names.isEmpty()) return -1;
  const auto find = [&](auto part) {
    for (int step = 1; step <= names.size(); ++step) {
      const int row = (from + step) % names.size();
      if (FoldedName(part(names[row])).startsWith(wanted)) return row;
    }
    return -1;
  };
  const int own = find([](const QString& name) { return name.mid(name.lastIndexOf(QLatin1Char('/')) + 1); });
  return own >= 0 ? own : find([](const QString& name) { return name; });
}

void StudentListView::keyboardSearch(const QString& search) {
  if (!model() || search.isEmpty()) return;
  const bool fresh = !sinceLastKey_.isValid() || sinceLastKey_.elapsed() > QApplication::keyboardInputInterval();
  sinceLastKey_.start();
  typed_ = fresh ? search : typed_ + search;
  QStringList names;
  for (int row = 0; row < model()->rowCount(rootIndex()); ++row)
    names << model()->index(row, modelColumn(), rootIndex()).data().toString();
  // A new search starts after the current student, so the same first letter again goes on to
  // the next one; letters added to a search may keep the current one.
  const int current = currentIndex().isValid() ? currentIndex().row() : -1;
  const int from = fresh ? current : current - 1;
  const int row = StudentRowStartingWith(names, typed_, from < 0 ? names.size() - 1 : from);
  if (row >= 0) setCurrentIndex(model()->index(row, modelColumn(), rootIndex()));
}

}  // namespace tecladim::turma
