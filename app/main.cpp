// The program entry: the application object, the start windows, then the document and
// its main window.

#include "app/StartWindows.h"

#include "dataseries/model/SpreadsheetWriter.h"
#include "mainwindow/AppSession.h"

#include "platform/AppStyle.h"
#include "platform/ControlActions.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImageReader>
#include <QThreadPool>

#include <csignal>

int main(int argc, char **argv) {
  // Past a file-size limit a write fails with its reason, which the program reports and
  // survives, instead of the signal ending the program with the user's work unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Amends"));
  // The reverse-DNS identifier is org.amends.Amends (the settings file's name).
  QApplication::setOrganizationDomain(QStringLiteral("amends.org"));
  AppStyle::install();
  // Qt loads every image-format plugin the first time anything lists the formats it can
  // read (asking the clipboard what it holds does): they are loaded now on a worker
  // thread, while the main window is made.
  QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
  // Qt fills its font database, and looks up the default font's fallback families, when
  // a control first measures its text: that is done now on another worker, while the
  // main window is made (Qt shares both between threads, locked while they are filled).
  QThreadPool::globalInstance()->start([] {
    QFontDatabase::families();
    QFontMetricsF(QGuiApplication::font()).height();
  });
  // A choice in any combo box's list counts, however it was made.
  controls::followListChoiceEverywhere(&app);

  // What reading workbooks left unpacked (by earlier runs cut short too) goes now, and
  // this run's when the program ends; other running programs keep theirs.
  struct UnpackFolderCleanup {
    UnpackFolderCleanup() { removeUnpackFoldersNotInUse(); }
    ~UnpackFolderCleanup() { removeUnpackFoldersNotInUse(); }
  } unpackFolderCleanup;

  // The holder of the start window and the message chooser (each made at its first use),
  // made before the session (which runs the start window during its start-up) and so
  // destroyed after it.
  StartWindows startWindows;
  AppSession session;
  if (!session.start())
    return session.exitStatus();
  return app.exec();
}
