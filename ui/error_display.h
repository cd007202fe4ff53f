#pragma once
#include <QString>

class QWidget;

namespace tecladim {

// The application's title: the caption of every message box.
inline const QString ApplicationTitle = QStringLiteral("Tecladim");

// The text the standard error display shows: a full stop is added when the last
// character sorts after "." (so "Erro" gets one, "Erro." and "Erro!" do not).
QString ErrorDisplayText(const QString& message);

// The standard error display: a modal message box with the error icon, the application's
// title and the error's text. Returns when it has been closed.
void ShowStandardError(QWidget* parent, const QString& message);

// The plain message box: the application's title, a text and one OK button.
void ShowPlainMessage(QWidget* parent, const QString& text);

}  // namespace tecladim
