#pragma once

class QApplication;

namespace tecladim::turma {

// The class report's name, icon and desktop entry, and Qt's own texts (the print, file and
// folder dialogs, the standard buttons) in Brazilian Portuguese. False when Qt's
// translations are not installed: those texts then stay in English.
bool SetUpApplication(QApplication& app);

}  // namespace tecladim::turma
