#pragma once
// Grid_Wizard: the grid window. It holds the main window's grid controls (the show-grid
// check box, the box of grid options with the colour well and the spacing slider, and
// the snap check box) while it is open: they are moved into the window for the run and
// put back in their places in the property panel afterwards, so they act on the grid at
// once through the main window controller's actions, as they do in the panel. OK and
// Cancel both just close it: neither takes back a change made meanwhile.
//
// One instance per main window (the controller makes it on first use). Main thread only.

#include "core/KeptWindow.h"

#include <QObject>
#include <QPointer>

class DrawWindow;
class QDialog;
class QPushButton;
class QVBoxLayout;

class Grid_Wizard : public QObject {
  Q_OBJECT
public:
  explicit Grid_Wizard(DrawWindow *ui, QObject *parent = nullptr);
  ~Grid_Wizard() override;

  // The instance made last (null before).
  static Grid_Wizard *defaultInstance();

  QDialog *window() const { return m_window; }
  // Runs the window modally with the grid controls in it; returns when it closes.
  void Open_Wnd();
  void OK_Btn_Clicked(QObject *sender = nullptr);
  void Cancel_Btn_Clicked(QObject *sender = nullptr);

  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;

private:
  DrawWindow *m_ui;
  QVBoxLayout *m_controls = nullptr;
  OwnedWindow<QDialog> m_window;
};
