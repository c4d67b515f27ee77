#pragma once
// Insert_Template: the message chooser. It pages through the built-in titles ("T") or
// messages (any other mode; the main window passes "M") of the event last chosen in
// the start window (Event_Type) and hands back the text in its field: OK with a text
// that is not blank ends it with 1 and the text, trimmed, in Template_Msg_Val; Cancel
// ends it with 0 and Template_Msg_Val "". The user may edit the text before OK.
//
// One instance lives for the whole run (the program makes it in main; the constructor
// registers it as defaultInstance()). Its window is built in code and run modally
// through UiServices. Main thread only.

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

class Insert_Template : public QObject {
  Q_OBJECT
public:
  // init: builds the window and becomes defaultInstance().
  Insert_Template();
  ~Insert_Template() override;
  static Insert_Template *defaultInstance();

  QDialog *window() const { return m_window; }

  // Template_Msg_Val "", the lists of Event_Type from their first entry, the first
  // title or message shown, then the window runs: 1 confirmed, 0 cancelled.
  int Open_Template_Dialog();
  void OKPressed(QObject *sender = nullptr);
  void CancelPressed(QObject *sender = nullptr);
  QString Get_Title() const;
  QString Get_Message() const;
  // The next or previous entry of the mode's list, wrapping at both ends.
  void Msg_Back_Click(QObject *sender = nullptr);
  void Msg_Next_Click(QObject *sender = nullptr);
  // The catalogue's lists for Event_Type, both indexes 0.
  void Load_Msg_And_Title_According_Event();

  QStringList Title_Array;
  QStringList Message_Array;
  qint32 title_count = 0;
  qint32 message_count = 0;
  qint32 title_index = 0;
  qint32 message_index = 0;
  QString title_or_msg = QStringLiteral("M");

  // The window's controls, by name.
  QPlainTextEdit *msg_value = nullptr;
  QPushButton *Msg_Back_btn = nullptr;
  QPushButton *Msg_Next_btn = nullptr;
  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;

private:
  void buildWindow();
  bool titleMode() const { return title_or_msg == QLatin1String("T"); }
  void showCurrent();

  OwnedWindow<QDialog> m_window;
};
