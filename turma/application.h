#pragma once

class QApplication;
class QString;

namespace tecladim::turma {

// The class report's name, icon and desktop entry, and Qt's own texts (the print, file and
// folder dialogs, the standard buttons) in Brazilian Portuguese. False when Qt's
// translations are not installed: those texts then stay in English.
// Which report the program shows: the class's, or one student's own ("Meu desempenho").
enum class ReportView { Class, Own };

// The title of the report's window. The title bar adds the application's display name to any
// title that does not end with it, so the display name is the title of the report shown.
QString ReportTitle(ReportView view);

bool SetUpApplication(QApplication& app, ReportView view = ReportView::Class);

}  // namespace tecladim::turma
