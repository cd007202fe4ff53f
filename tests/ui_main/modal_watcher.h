#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

// Answers the modal windows a test runs into: it notes each one (kind, caption, text, and
// whether the main window was visible then) and closes it the way the student would:
// "OK" for reports and message boxes, the countdown for the flash, "Iniciar" for the
// hand-position window.
class ModalWatcher : public QObject {
 public:
  enum class Kind { Flash, Report, MessageBox, ErrorBox, HandPosition };
  struct Seen {
    Kind kind;
    QString title;
    QString text;
    bool mainWindowVisible;
  };

  explicit ModalWatcher(QWidget* mainWindow = nullptr);
  void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

  std::vector<Seen> seen;
  int Count(Kind kind) const;
  std::vector<QString> Texts(Kind kind) const;

 private:
  void Look();
  QTimer timer_;
  QWidget* mainWindow_;
};
