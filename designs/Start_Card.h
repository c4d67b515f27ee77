#pragma once
// Start_Card: the three ways to start a card as a window of their own: from a template
// ("T"), with the card wizard ("W") or by opening a design log ("L"). Each option button
// writes Start_Card_Option and ends the window with 1, as OK does (whatever the option);
// Cancel clears the option, ends the window with 0 and ends the program with status 0;
// Help opens the help file.
//
// No window or command of the program opens it: the start window has its own option
// buttons. Main thread only.

#include "core/KeptWindow.h"

#include <QObject>
#include <QPointer>

class QDialog;
class QPushButton;
class QLNWindowController;

class Start_Card : public QObject {
  Q_OBJECT
public:
  // The window is built at once; `controller` ends the program on Cancel.
  explicit Start_Card(QLNWindowController *controller, QObject *parent = nullptr);
  ~Start_Card() override;

  QDialog *window() const { return m_window; }
  // Runs the window modally; its code (1 an option or OK, 0 Cancel).
  int runWindow();

  void Using_Template_Click(QObject *sender = nullptr);
  void Using_Wizard_Click(QObject *sender = nullptr);
  void Open_Log_Click(QObject *sender = nullptr);
  // 0 "T", 1 "W", 2 "L" into Start_Card_Option, then OK; another option does nothing.
  void Select_card_option(int option, QObject *sender = nullptr);
  void OK_Click(QObject *sender = nullptr);
  void CancelClick(QObject *sender = nullptr);
  void HelpClick(QObject *sender = nullptr);

  QPushButton *Using_Template_btn = nullptr;
  QPushButton *Using_Wizard_btn = nullptr;
  QPushButton *Open_Log_btn = nullptr;
  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;
  QPushButton *Help_btn = nullptr;

private:
  void buildWindow();

  QLNWindowController *m_controller;
  OwnedWindow<QDialog> m_window;
};
