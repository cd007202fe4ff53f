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
