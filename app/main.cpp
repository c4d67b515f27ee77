// The program entry: the application object, then the document and its main window.

#include "mainwindow/AppSession.h"

#include <QApplication>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Amends"));
  // The reverse-DNS identifier is org.amends.Amends (the settings file's name).
  QApplication::setOrganizationDomain(QStringLiteral("amends.org"));

  AppSession session;
  if (!session.start())
    return session.exitStatus();
  return app.exec();
}
