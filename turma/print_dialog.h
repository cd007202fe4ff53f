#pragma once
#include <QString>

class QPrinter;
class QWidget;

namespace tecladim::turma {

// The print dialog, wide enough for its whole title as the window manager shows it (with the
// program's name after it); true when the instructor chose to print.
bool AskToPrint(QPrinter& printer, const QString& title, QWidget* parent);

// The width a window needs for `title` in its title bar, with room for the bar's buttons.
int TitleBarWidth(const QString& title);

}  // namespace tecladim::turma
