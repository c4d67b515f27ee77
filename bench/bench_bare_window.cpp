// The yardsticks of amends_bench_start, built like the program:
//   (no argument)  the least a Qt Widgets program does to show a main window: an
//                  application object and an empty QMainWindow of the program's size
//                  ("Bare window");
//   --text         the same window with the kinds of text-bearing controls the
//                  program's first screen shows, and nothing behind them: a toolbar of
//                  twelve text buttons, a panel of five tabs of eight labelled fields
//                  each, a status bar message ("Bare window with text"). It shows what
//                  measuring and drawing text costs any window before it can show.

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <cstring>

namespace {

void addTextControls(QMainWindow &window) {
  auto *commands = new QToolBar(QStringLiteral("Commands"), &window);
  window.addToolBar(commands);
  for (const char *name : {"Card", "Background", "Save as Template", "Series", "Import", "New Series", "Profile",
                           "Export", "Mail", "Print", "Help", "Exit"}) {
    auto *button = new QToolButton;
    button->setText(QString::fromLatin1(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    commands->addWidget(button);
  }
  auto *central = new QWidget;
  auto *row = new QHBoxLayout(central);
  row->addStretch(1);
  auto *tabs = new QTabWidget;
  tabs->setFixedWidth(330);
  for (const char *title : {"Card", "Info", "Size", "Background", "Border"}) {
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    for (int field = 0; field < 8; ++field)
      form->addRow(QStringLiteral("Field %1:").arg(field),
                   field % 2 ? static_cast<QWidget *>(new QLineEdit) : new QComboBox);
    tabs->addTab(page, QString::fromLatin1(title));
  }
  row->addWidget(tabs);
  window.setCentralWidget(central);
  window.statusBar()->showMessage(QStringLiteral("Ready"));
}

}  // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  const bool withText = argc > 1 && std::strcmp(argv[1], "--text") == 0;
  QMainWindow window;
  window.setWindowTitle(withText ? QStringLiteral("Bare window with text") : QStringLiteral("Bare window"));
  window.resize(1000, 800);
  if (withText)
    addTextControls(window);
  window.show();
  return app.exec();
}
