#include "core/Long_SMS_Dlg.h"

#include "platform/UiServices.h"

#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

Long_SMS_Dlg *Long_SMS_DefaultInstance = nullptr;
QString Cutom_Msg_Title = QStringLiteral("");
QString Cutom_Msg_Val = QStringLiteral("");
unsigned char Msg_Apply_All_Chk = 0;

Long_SMS_Dlg *Long_SMS_Dlg::defaultInstance() {
  if (!Long_SMS_DefaultInstance)
    new Long_SMS_Dlg(UiServices::instance().parentWindow());  // stores itself; lives for the run
  return Long_SMS_DefaultInstance;
}

Long_SMS_Dlg::Long_SMS_Dlg(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Long_SMS_Dlg"));
  setWindowTitle(QStringLiteral("Message"));
  setModal(true);

  _Msg_Title = new QLabel(this);
  _Msg_Title->setObjectName(QStringLiteral("_Msg_Title"));
  _Msg_Title->setWordWrap(true);
  _Msg_Title->setTextFormat(Qt::PlainText);
  QFont titleFont = _Msg_Title->font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
  _Msg_Title->setFont(titleFont);

  _Msg_Val = new QPlainTextEdit(this);
  _Msg_Val->setObjectName(QStringLiteral("_Msg_Val"));
  _Msg_Val->setReadOnly(true);
  _Msg_Val->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  _Msg_Val->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  _Msg_Val->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  apply_chk = new QCheckBox(QStringLiteral("Apply to all"), this);
  apply_chk->setObjectName(QStringLiteral("apply_chk"));

  yes_button = new QPushButton(QStringLiteral("OK"), this);
  yes_button->setObjectName(QStringLiteral("yes_button"));
  yes_button->setDefault(true);
  no_button = new QPushButton(QStringLiteral("No"), this);
  no_button->setObjectName(QStringLiteral("no_button"));
  no_button->setAutoDefault(false);

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(apply_chk);
  buttons->addStretch(1);
  buttons->addWidget(no_button);
  buttons->addWidget(yes_button);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(_Msg_Title);
  layout->addWidget(_Msg_Val, 1);
  layout->addLayout(buttons);
  resize(480, 320);

  connect(yes_button, &QPushButton::clicked, this, &Long_SMS_Dlg::OKPressed);
  connect(no_button, &QPushButton::clicked, this, &Long_SMS_Dlg::CancelPressed);

  awakeFromNib();
  Long_SMS_DefaultInstance = this;
}

Long_SMS_Dlg::~Long_SMS_Dlg() {
  if (Long_SMS_DefaultInstance == this)
    Long_SMS_DefaultInstance = nullptr;
}

void Long_SMS_Dlg::awakeFromNib() {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(241, 244, 250));
  setPalette(pal);
  setAutoFillBackground(true);
}

int Long_SMS_Dlg::Open_Long_sms_Dialog() {
  if (!title_val.isNull()) {
    _Msg_Title->setText(title_val);
    _Msg_Val->setPlainText(msg_val_str);
    no_button->setVisible(true);
  } else {
    _Msg_Title->setText(Cutom_Msg_Title);
    _Msg_Val->setPlainText(Cutom_Msg_Val);
    no_button->setVisible(false);
  }
  // Every opening starts with the box off: a tick left from an earlier question must
  // neither pre-answer this one nor count while the box is hidden.
  apply_chk->setChecked(false);
  apply_chk->setVisible(apply_chk_show);
  yes_button->setFocus();

  // The close control and Escape reject the dialog: code 0, like No.
  const int code = UiServices::instance().runModal(this);

  hide();
  title_val = QString();
  msg_val_str = QString();
  apply_chk_show = false;
  return code;
}

void Long_SMS_Dlg::OKPressed() {
  Msg_Apply_All_Chk = apply_chk->isChecked() ? 1 : 0;
  done(ModalOK);
}

void Long_SMS_Dlg::CancelPressed() { done(ModalCancel); }
