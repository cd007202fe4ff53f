#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace tecladim::platform {

bool InstallQtTranslations(QCoreApplication& app) {
  const QString name = QStringLiteral("qtbase_pt_BR");
  for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QCoreApplication::applicationDirPath() + QStringLiteral("/translations")}) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder)) continue;
    translator->setParent(&app);  // lives as long as the application
    return QCoreApplication::installTranslator(translator.release());
  }
  return false;
}

}  // namespace tecladim::platform
