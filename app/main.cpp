// The program entry: the application object, the per-user resource folder, and the
// main window.

#include "core/Globals.h"
#include "core/Utilities.h"
#include "platform/Paths.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Amends"));
  QApplication::setOrganizationDomain(QStringLiteral("amends.example"));

  QString error;
  if (!Paths::prepareResourceFolder(&error)) {
    UiServices::instance().alert(QStringLiteral("The resource folder could not be created."), error);
    return 1;
  }
  Resource_Path = Paths::resourceFolder();
  Data_Folder_Path = Paths::dataFolder();

  // The main window of the card designer takes this place once it is built.
  QMainWindow window;
  window.setObjectName(QStringLiteral("DrawWindow"));
  window.setWindowTitle(QStringLiteral("Amends"));
  window.resize(1000, 800);
  UiServices::instance().setParentWindow(&window);
  window.show();
  return app.exec();
}
