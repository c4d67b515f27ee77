#pragma once
// Open_Export_Log: the controller of the export result window (Open_Export_Files, built
// with the main window; QLNWindowController::Open_Export_File_Box fills and runs it).
// OK opens Export_File_Path with the desktop when the check box _open_log_chk is ticked
// (a file in its application, a folder in the file browser); the box is ticked again
// whenever the window closes, so it is on each time the window opens.
// One per main window controller, a child of it. GUI thread.

#include <QObject>
#include <QPointer>

class QDialog;
class QCheckBox;
class QLNWindowController;

class Open_Export_Log : public QObject {
  Q_OBJECT
public:
  // The instance of `controller`, made (and connected to the window) on the first call.
  static Open_Export_Log *forController(QLNWindowController &controller);

  QDialog *window() const;
  QCheckBox *_open_log_chk() const;

  // The OK button: opens the result when asked, ticks the box, ends the window with 1.
  void OKPressed();
  // Closing without OK: ticks the box, ends the window with 0.
  void CancelPressed();

private:
  explicit Open_Export_Log(QLNWindowController &controller);
  QPointer<QLNWindowController> m_controller;
};
