#pragma once
// The general modal message dialog, for messages too long or too structured for an
// alert. Two modes:
//  - information: the caller sets Cutom_Msg_Title and Cutom_Msg_Val, then opens the
//    dialog; only "OK" is shown.
//  - question: the caller sets title_val, msg_val_str and apply_chk_show on the
//    instance, then opens it; "No" is shown and, with apply_chk_show, the "Apply to
//    all" box, whose state goes into Msg_Apply_All_Chk at OK. Code 1 means yes, any
//    other code no. The question fields describe one opening and are cleared after it.
// One instance per run, reached through defaultInstance(); main thread only.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class Long_SMS_Dlg : public QDialog {
  Q_OBJECT
public:
  // The one instance, made on first use.
  static Long_SMS_Dlg *defaultInstance();

  explicit Long_SMS_Dlg(QWidget *parent = nullptr);
  ~Long_SMS_Dlg() override;

  // Shows the dialog modally through UiServices and returns its code: 1 for OK, 0 for
  // No or the window's close control.
  int Open_Long_sms_Dialog();

  // The dialog window is this QDialog itself (QWidget::window()).
  QLabel *_Msg_Title = nullptr;
  QPlainTextEdit *_Msg_Val = nullptr;
  QCheckBox *apply_chk = nullptr;
  QString title_val;            // question title; null for an information message
  QString msg_val_str;          // question text
  bool apply_chk_show = false;  // show the check box at the next opening
  QPushButton *yes_button = nullptr;
  QPushButton *no_button = nullptr;

public slots:
  // Msg_Apply_All_Chk <- the check box state; ends the dialog with code 1.
  void OKPressed();
  // Ends the dialog with code 0; Msg_Apply_All_Chk keeps its value.
  void CancelPressed();

private:
  // The window's look: background colour (241, 244, 250).
  void awakeFromNib();
};

extern Long_SMS_Dlg *Long_SMS_DefaultInstance;
// Title and text of an information message; "" at start, set by the caller before opening.
extern QString Cutom_Msg_Title;
extern QString Cutom_Msg_Val;
// 1 when the apply-to-all box was on at the last OK, 0 when it was off.
extern unsigned char Msg_Apply_All_Chk;
