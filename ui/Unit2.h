#pragma once
#include <QDialog>

class QKeyEvent;
class QLabel;
class QPushButton;
class QShowEvent;

namespace tecladim {

// The hand-position chart under a red warning not to look at the keyboard. It lives
// for the whole run: closing it ("Iniciar" or the title bar) only hides it, so the main
// window can show it again modally at any time.
//
// The frame is fixed: the window cannot be resized and has no maximize box, so the chart,
// the warning and "Iniciar" always keep the places they are drawn in.
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // The main window's first-show flag; this window neither reads nor changes it.
  int Tag = 0;

  void BitBtn1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void CentreOnScreen();

  QLabel* Image1;
  QLabel* Label1;
  QPushButton* BitBtn1;
};

}  // namespace tecladim
