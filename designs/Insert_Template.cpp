#include "designs/Insert_Template.h"

#include "designs/model/ApologyCatalogue.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

Insert_Template *Insert_Template_DefaultInstance = nullptr;

// The chooser's dialog: Escape and the close box are Cancel.
class InsertTemplateDialog : public QDialog {
public:
  explicit InsertTemplateDialog(Insert_Template *chooser) : m_chooser(chooser) {}
  void reject() override { m_chooser->CancelPressed(); }

private:
  Insert_Template *m_chooser;
};

QPushButton *button(const char *objectName, const QString &title, const QString &accessibleName, const QString &tip,
                    QWidget *parent) {
  auto *b = new QPushButton(title, parent);
  b->setObjectName(QString::fromLatin1(objectName));
  b->setAccessibleName(accessibleName);
  b->setToolTip(tip);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

Insert_Template::Insert_Template() {
  buildWindow();
  keepInGlobal(Insert_Template_DefaultInstance, this);
}

Insert_Template::~Insert_Template() = default;

Insert_Template *Insert_Template::defaultInstance() { return Insert_Template_DefaultInstance; }

void Insert_Template::buildWindow() {
  m_window = new InsertTemplateDialog(this);
  m_window->setObjectName(QStringLiteral("Insert_Template"));
  m_window->setWindowTitle(QStringLiteral("Choose a Text"));
  m_window->setAccessibleName(QStringLiteral("Choose a Text"));
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);
  m_window->resize(480, 240);

  auto *layout = new QVBoxLayout(m_window);
  auto *help = new QLabel(QStringLiteral("Browse the suggestions with the arrows; you may change the words before "
                                         "pressing OK."),
                          m_window);
  help->setWordWrap(true);
  layout->addWidget(help);

  auto *row = new QHBoxLayout;
  Msg_Back_btn = button("Msg_Back_btn", QStringLiteral("<"), QStringLiteral("Previous suggestion"),
                        QStringLiteral("Show the previous suggestion"), m_window);
  msg_value = new QPlainTextEdit(m_window);
  msg_value->setObjectName(QStringLiteral("msg_value"));
  msg_value->setAccessibleName(QStringLiteral("Text"));
  msg_value->setToolTip(QStringLiteral("The text that goes onto the card"));
  msg_value->setTabChangesFocus(true);
  Msg_Next_btn = button("Msg_Next_btn", QStringLiteral(">"), QStringLiteral("Next suggestion"),
                        QStringLiteral("Show the next suggestion"), m_window);
  row->addWidget(Msg_Back_btn);
  row->addWidget(msg_value, 1);
  row->addWidget(Msg_Next_btn);
  layout->addLayout(row, 1);

  auto *buttons = new QHBoxLayout;
  Cancel_btn = button("Cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Cancel"),
                      QStringLiteral("Close without changing the card"), m_window);
  OK_btn = button("OK_btn", QStringLiteral("OK"), QStringLiteral("OK"), QStringLiteral("Put this text on the card"),
                  m_window);
  buttons->addStretch(1);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  layout->addLayout(buttons);

  connect(Msg_Back_btn, &QPushButton::clicked, this, [this] { Msg_Back_Click(Msg_Back_btn); });
  connect(Msg_Next_btn, &QPushButton::clicked, this, [this] { Msg_Next_Click(Msg_Next_btn); });
  connect(OK_btn, &QPushButton::clicked, this, [this] { OKPressed(OK_btn); });
  connect(Cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(Cancel_btn); });
}

void Insert_Template::Load_Msg_And_Title_According_Event() {
  const ApologyCatalogue catalogue = ApologyCatalogue::builtIn();
  Title_Array = catalogue.titles(Event_Type);
  Message_Array = catalogue.messages(Event_Type);
  title_index = 0;
  message_index = 0;
  title_count = qint32(Title_Array.size());
  message_count = qint32(Message_Array.size());
}

QString Insert_Template::Get_Title() const {
  return title_index >= 0 && title_index < Title_Array.size() ? Title_Array.at(title_index) : QString();
}

QString Insert_Template::Get_Message() const {
  return message_index >= 0 && message_index < Message_Array.size() ? Message_Array.at(message_index) : QString();
}

void Insert_Template::showCurrent() { msg_value->setPlainText(titleMode() ? Get_Title() : Get_Message()); }

void Insert_Template::Msg_Next_Click(QObject *) {
  qint32 &index = titleMode() ? title_index : message_index;
  const qint32 count = titleMode() ? title_count : message_count;
  if (count <= 0)
    return;
  index = index + 1 >= count ? 0 : index + 1;
  showCurrent();
}

void Insert_Template::Msg_Back_Click(QObject *) {
  qint32 &index = titleMode() ? title_index : message_index;
  const qint32 count = titleMode() ? title_count : message_count;
  if (count <= 0)
    return;
  index = index - 1 < 0 ? count - 1 : index - 1;
  showCurrent();
}

int Insert_Template::Open_Template_Dialog() {
  Template_Msg_Val.clear();
  title_index = 0;
  message_index = 0;
  Load_Msg_And_Title_According_Event();
  showCurrent();
  msg_value->setFocus();
  const int code = UiServices::instance().runModal(m_window);
  m_window->hide();
  return code;
}

void Insert_Template::OKPressed(QObject *) {
  Template_Msg_Val = Trim_Str(msg_value->toPlainText());
  if (!Template_Msg_Val.isEmpty()) {
    m_window->done(1);
    return;
  }
  Show_MessageBox(QStringLiteral("Please select message."));
  msg_value->setFocus();
}

void Insert_Template::CancelPressed(QObject *) {
  Template_Msg_Val.clear();
  m_window->done(0);
}
