// The yardstick of amends_bench_start: the least a Qt Widgets program does to show a
// main window (an application object and an empty QMainWindow of the program's size),
// built like the program.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare window"));
  window.resize(1000, 800);
  window.show();
  return app.exec();
}
