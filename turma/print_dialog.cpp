#include "turma/print_dialog.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrinter>

namespace tecladim::turma {
namespace {
// A title bar's icon, buttons and margins, at the size of a school desktop's theme.
constexpr int TitleBarAllowance = 160;
}  // namespace

int TitleBarWidth(const QString& title) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);
  QString shown = title;
  if (!QApplication::applicationDisplayName().isEmpty() && QApplication::applicationDisplayName() != title)
    shown += QStringLiteral(" — ") + QApplication::applicationDisplayName();
  return QFontMetrics(font).horizontalAdvance(shown) + TitleBarAllowance;
}

bool AskToPrint(QPrinter& printer, const QString& title, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(title);
  dialog.setMinimumWidth(std::max(dialog.minimumSizeHint().width(), TitleBarWidth(title)));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace tecladim::turma
