#pragma once
#include <QDialog>
#include <QString>

#include "platform/services.h"

class QCloseEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QShowEvent;
class QTimer;
class QToolButton;

namespace tecladim {

// How long the alert flash stays up: it closes at the first tick of its countdown.
inline constexpr int AlertFlashMs = 1000;
// The sound every alert plays when it is present in the working directory.
inline const QString AlertSoundFile = QStringLiteral("erro.wav");

// The borderless modal alert: a message beside a random face. As created it is the
// one-second flash; the main window turns it into the report window by stopping Timer1,
// hiding Label2 and showing Button1 before exec(). Every display is a new window, and
// the window frees itself once it has closed. Only the countdown and "OK" close it:
// the student's keys, Escape and Enter included, are swallowed while it shows.
class TMessage_esp : public QDialog {
  Q_OBJECT

 public:
  TMessage_esp(PlatformServices& platform, QWidget* owner);

  // The report's lines are separated by carriage returns; the label breaks lines at "\n".
  void SetMessage(const QString& text);

  // The controls the main window prepares before the display.
  QLabel* msg;
  QToolButton* Button1;
  QLabel* Label2;
  QTimer* Timer1;

  void Timer1Timer();
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 public slots:
  void reject() override;

 private:
  void FormShow();
  void FormClose();
  void BuildControls();
  void BuildFaces();
  void CentreOverOwner();
  // Closes by one of the window's own paths (countdown, "OK"), with the cancel result.
  void CloseDisplay();

  PlatformServices& platform_;
  QFrame* Shape1;
  QLabel* Label1;
  QLabel* Image1;
  QLabel* Image2;
  QLabel* Image3;
  QLabel* Image4;
  bool closing_ = false;
};

// The alert flash: a new alert owned by `owner` shows `text` and closes itself a second
// later. Returns once it has closed.
void ShowAlertFlash(PlatformServices& platform, QWidget* owner, const QString& text);
// The report window: no countdown, stays until "OK". Returns once it has closed.
void ShowAlertReport(PlatformServices& platform, QWidget* owner, const QString& text);

}  // namespace tecladim
