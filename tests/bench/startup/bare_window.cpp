// The yardstick for Tecladim's start-up: an empty Qt Widgets window of the main window's
// client size, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Tecladim"));
  window.resize(1350, 700);
  window.show();
  return app.exec();
}
