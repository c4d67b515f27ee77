#pragma once
// The two small dialogs of the series manager's value editor:
//  - Load_Num_Info, the question asked before new values are imported or generated into
//    an editor that holds values: Replace (code 1: the values go first), Append (code 0)
//    or Cancel (code 2: nothing is imported). Its close box and Escape cancel too.
//  - Update_Ex_Num, the panel that edits one value of the editor: the manager fills its
//    three fields (the value as edited, the value before editing, the row number) and
//    runs it; OK writes a changed, non-blank value back into the manager's row (code 1),
//    Cancel empties the fields and ends with 0.
// Both belong to the series manager, which runs them modally through UiServices. Main
// thread only.

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

class QLineEdit;
class QPushButton;

class Load_Num_Info : public QObject {
  Q_OBJECT
public:
  // The code Cancel ends the question with: neither replace (1) nor append (0).
  static constexpr int CancelCode = 2;

  Load_Num_Info();
  ~Load_Num_Info() override;
  QDialog *window() const { return m_window; }

  void YESPressed(QObject *sender = nullptr);
  void NOPressed(QObject *sender = nullptr);
  void CancelPressed(QObject *sender = nullptr);

  QPushButton *yes_btn = nullptr;
  QPushButton *no_btn = nullptr;
  QPushButton *cancel_btn = nullptr;

private:
  OwnedWindow<QDialog> m_window;
};

class Update_Ex_Num : public QObject {
  Q_OBJECT
public:
  Update_Ex_Num();
  ~Update_Ex_Num() override;
  QDialog *window() const { return m_window; }

  // Unchanged text (compared exactly): ends with 1, nothing changes. Otherwise the text
  // trimmed; blank: "Please enter a valid value." and the panel stays open; else it
  // replaces the manager's row m_ex_num_index, the fields are emptied and the panel
  // ends with 1.
  void OKPressed(QObject *sender = nullptr);
  // Empties the fields and ends with 0.
  void CancelPressed(QObject *sender = nullptr);

  QLineEdit *m_ex_num_str = nullptr;    // the value as edited
  QLineEdit *m_s_number = nullptr;      // the value before editing (hidden)
  QLineEdit *m_ex_num_index = nullptr;  // the row number (hidden)
  QPushButton *ok_btn = nullptr;
  QPushButton *cancel_btn = nullptr;

private:
  void clearFields();
  OwnedWindow<QDialog> m_window;
};
