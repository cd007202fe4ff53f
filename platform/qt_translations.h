#pragma once

class QCoreApplication;

namespace tecladim::platform {

// Qt's own texts (the standard buttons, the edit boxes' context menus, the file, folder and
// print dialogs) in Brazilian Portuguese, from Qt's translations where Qt keeps them or
// beside the program (where windeployqt puts them). False when they are not installed: the
// texts stay in English.
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace tecladim::platform
