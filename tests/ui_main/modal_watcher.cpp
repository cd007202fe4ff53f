#include "modal_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>
#include <QWindow>

#include "ui/UMessage_esp.h"
#include "ui/Unit2.h"

ModalWatcher::ModalWatcher(QWidget* mainWindow) : mainWindow_(mainWindow) {
  timer_.setInterval(1);
  connect(&timer_, &QTimer::timeout, this, &ModalWatcher::Look);
  timer_.start();
}

int ModalWatcher::Count(Kind kind) const {
  int n = 0;
  for (const Seen& s : seen) n += s.kind == kind;
  return n;
}

std::vector<QString> ModalWatcher::Texts(Kind kind) const {
  std::vector<QString> texts;
  for (const Seen& s : seen) {
    if (s.kind == kind) texts.push_back(s.text);
  }
  return texts;
}

void ModalWatcher::Look() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) return;
  // Mapped on the screen, not merely flagged visible: that happens before showEvent.
  const bool mainVisible =
      mainWindow_ != nullptr && mainWindow_->windowHandle() != nullptr && mainWindow_->windowHandle()->isVisible();
  if (auto* alert = qobject_cast<tecladim::TMessage_esp*>(modal)) {
    const bool report = !alert->Button1->isHidden();
    seen.push_back({report ? Kind::Report : Kind::Flash, alert->windowTitle(), alert->msg->text(), mainVisible});
    if (report) {
      alert->Button1Click();
    } else {
      alert->Timer1Timer();
    }
  } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    const Kind kind = box->icon() == QMessageBox::Critical ? Kind::ErrorBox : Kind::MessageBox;
    seen.push_back({kind, box->windowTitle(), box->text(), mainVisible});
    box->button(QMessageBox::Ok)->click();
  } else if (auto* form2 = qobject_cast<tecladim::TForm2*>(modal)) {
    seen.push_back({Kind::HandPosition, form2->windowTitle(), QString(), mainVisible});
    form2->BitBtn1Click();
  }
}
