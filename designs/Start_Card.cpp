#include "designs/Start_Card.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPalette>
#include <QPushButton>

namespace {

// The dialog: Escape and the close box are Cancel.
class StartCardDialog : public QDialog {
public:
  StartCardDialog(Start_Card *buttons, QWidget *parent) : QDialog(parent), m_buttons(buttons) {}
  void reject() override { m_buttons->CancelClick(); }

private:
  Start_Card *m_buttons;
};

QPushButton *makeButton(QWidget *parent, const char *name, const QString &label, const QString &tip) {
  auto *button = new QPushButton(label, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(label);
  button->setToolTip(tip);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

Start_Card::Start_Card(QLNWindowController *controller, QObject *parent)
    : QObject(parent), m_controller(controller) {
  buildWindow();
}

Start_Card::~Start_Card() = default;

void Start_Card::buildWindow() {
  m_window = new StartCardDialog(this, m_controller ? m_controller->window() : nullptr);
  m_window->setObjectName(QStringLiteral("Start_Card"));
  m_window->setWindowTitle(QStringLiteral("Start a Card"));
  m_window->setAccessibleName(QStringLiteral("Start a Card"));
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);

  auto *layout = new QVBoxLayout(m_window);
  layout->addWidget(new QLabel(QStringLiteral("How would you like to start your card?"), m_window));
  Using_Template_btn = makeButton(m_window, "Using_Template_btn", QStringLiteral("Start from a Template"),
                                  QStringLiteral("Begin with one of the card templates"));
  Using_Wizard_btn = makeButton(m_window, "Using_Wizard_btn", QStringLiteral("Use the Card Wizard"),
                                QStringLiteral("Build a new card step by step"));
  Open_Log_btn = makeButton(m_window, "Open_Log_btn", QStringLiteral("Open a Design Log"),
                            QStringLiteral("Open a card saved earlier"));
  for (QPushButton *option : {Using_Template_btn, Using_Wizard_btn, Open_Log_btn}) {
    option->setMinimumHeight(36);
    layout->addWidget(option);
  }

  auto *buttons = new QHBoxLayout;
  Help_btn = makeButton(m_window, "Help_btn", QStringLiteral("Help"), QStringLiteral("Open the help file"));
  Cancel_btn = makeButton(m_window, "Cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Quit Amends"));
  OK_btn = makeButton(m_window, "OK_btn", QStringLiteral("OK"), QStringLiteral("Go on with the option chosen"));
  OK_btn->setDefault(true);
  buttons->addWidget(Help_btn);
  buttons->addStretch(1);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  layout->addLayout(buttons);

  connect(Using_Template_btn, &QPushButton::clicked, this, [this] { Using_Template_Click(Using_Template_btn); });
  connect(Using_Wizard_btn, &QPushButton::clicked, this, [this] { Using_Wizard_Click(Using_Wizard_btn); });
  connect(Open_Log_btn, &QPushButton::clicked, this, [this] { Open_Log_Click(Open_Log_btn); });
  connect(OK_btn, &QPushButton::clicked, this, [this] { OK_Click(OK_btn); });
  connect(Cancel_btn, &QPushButton::clicked, this, [this] { CancelClick(Cancel_btn); });
  connect(Help_btn, &QPushButton::clicked, this, [this] { HelpClick(Help_btn); });
}

int Start_Card::runWindow() {
  const int code = UiServices::instance().runModal(m_window);
  m_window->hide();
  return code == ModalOK ? 1 : 0;
}

void Start_Card::Using_Template_Click(QObject *sender) { Select_card_option(0, sender); }
void Start_Card::Using_Wizard_Click(QObject *sender) { Select_card_option(1, sender); }
void Start_Card::Open_Log_Click(QObject *sender) { Select_card_option(2, sender); }

void Start_Card::Select_card_option(int option, QObject *sender) {
  static const char *const codes[] = {"T", "W", "L"};
  if (option < 0 || option > 2)
    return;
  Start_Card_Option = QLatin1String(codes[option]);
  OK_Click(sender);
}

void Start_Card::OK_Click(QObject *) { m_window->done(ModalOK); }

void Start_Card::CancelClick(QObject *) {
  Start_Card_Option.clear();
  m_window->done(ModalCancel);
  if (m_controller)
    m_controller->endProcess(0);
}

void Start_Card::HelpClick(QObject *) { Open_Help_File(); }
