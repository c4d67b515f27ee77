// The start window's widgets, built in code: one builder per page, every control under
// its name with an accessible name and a tip, and the connections to the actions.

#include "designs/Invitation_Wizard.h"

#include "mainwindow/PanelWidgets.h"
#include "mainwindow/QLNWindowController.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

// The start window's dialog: its close box and Escape are the wizard's to handle (a
// step goes back to the start screen rather than ending the program by accident).
class InvitationWizardDialog : public QDialog {
public:
  explicit InvitationWizardDialog(Invitation_Wizard *wizard) : m_wizard(wizard) {}

  void reject() override { m_wizard->windowWantsToClose(false); }

protected:
  void closeEvent(QCloseEvent *event) override {
    event->ignore();
    if (isVisible())
      m_wizard->windowWantsToClose(true);
  }
  void keyPressEvent(QKeyEvent *event) override {
    if (event->key() == Qt::Key_Escape) {
      m_wizard->windowWantsToClose(false);
      return;
    }
    QDialog::keyPressEvent(event);
  }

private:
  Invitation_Wizard *m_wizard;
};

namespace {

template <typename W>
W *named(W *widget, const char *objectName, const QString &accessibleName, const QString &tip) {
  widget->setObjectName(QString::fromLatin1(objectName));
  widget->setAccessibleName(accessibleName);
  widget->setToolTip(tip);
  return widget;
}

QPushButton *button(const char *objectName, const QString &title, const QString &tip, QWidget *parent) {
  auto *b = named(new QPushButton(title, parent), objectName, title, tip);
  b->setAutoDefault(false);
  return b;
}

QLabel *heading(const QString &text, QWidget *parent) {
  auto *label = new QLabel(text, parent);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 1.3);
  font.setBold(true);
  label->setFont(font);
  label->setWordWrap(true);
  return label;
}

QLabel *note(const QString &text, QWidget *parent) {
  auto *label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

void Invitation_Wizard::buildWindow() {
  m_window = new InvitationWizardDialog(this);
  m_window->setObjectName(QStringLiteral("Invitation_Wizard"));
  m_window->setWindowTitle(QStringLiteral("New Apology Card"));
  m_window->setAccessibleName(QStringLiteral("New Apology Card"));
  m_window->resize(680, 500);

  auto *layout = new QVBoxLayout(m_window);
  layout->addWidget(buildStartScreen(), 1);
  layout->addWidget(buildSizeStep(), 1);
  layout->addWidget(buildBackgroundStep(), 1);
  layout->addWidget(buildEventStep(), 1);
  layout->addWidget(buildTitleAndMessageStep(), 1);
  layout->addWidget(buildDetailsStep(), 1);
  layout->addWidget(buildStepButtons());
}

QWidget *Invitation_Wizard::buildStartScreen() {
  Start_card_box = new QWidget(m_window);
  Start_card_box->setObjectName(QStringLiteral("Start_card_box"));
  auto *layout = new QVBoxLayout(Start_card_box);
  layout->addWidget(heading(QStringLiteral("Welcome! How would you like to start?"), Start_card_box));
  layout->addWidget(note(QStringLiteral("Build a new apology card in five short steps, or open a card design "
                                        "you saved before."),
                         Start_card_box));
  Using_Wizard_btn = button("Using_Wizard_btn", QStringLiteral("Create a New Apology Card"),
                            QStringLiteral("Build a card step by step: size, background, event, words and names"),
                            Start_card_box);
  Open_Log_btn = button("Open_Log_btn", QStringLiteral("Open a Saved Design..."),
                        QStringLiteral("Open a card design log (.dcard) saved before"), Start_card_box);
  for (QPushButton *b : {Using_Wizard_btn, Open_Log_btn}) {
    b->setMinimumHeight(48);
    layout->addWidget(b);
  }
  layout->addStretch(1);
  APP_path_label = named(new QLabel(Start_card_box), "APP_path_label", QStringLiteral("Resource folder"),
                         QStringLiteral("The resource folder"));
  APP_path_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  APP_path_label->setWordWrap(true);
  layout->addWidget(APP_path_label);

  auto *row = new QHBoxLayout;
  Help_btn_1 = button("Help_btn_1", QStringLiteral("Help"), QStringLiteral("Open the help file"), Start_card_box);
  Contact_us_btn = button("Contact_us_btn", QStringLiteral("Contact Us"),
                          QStringLiteral("Write to the Amends support team"), Start_card_box);
  Exit_btn = button("Exit_btn", QStringLiteral("Exit"), QStringLiteral("Close the program"), Start_card_box);
  row->addWidget(Help_btn_1);
  row->addWidget(Contact_us_btn);
  row->addStretch(1);
  row->addWidget(Exit_btn);
  layout->addLayout(row);
  return Start_card_box;
}

QWidget *Invitation_Wizard::buildSizeStep() {
  first_box = new QWidget(m_window);
  first_box->setObjectName(QStringLiteral("first_box"));
  auto *layout = new QVBoxLayout(first_box);
  layout->addWidget(heading(QStringLiteral("Step 1 of 5: Card size"), first_box));
  layout->addWidget(note(QStringLiteral("How large should the card be? Width and height in millimetres, "
                                        "each from %1 to %2.")
                             .arg(fieldNumber(MinimumSide), fieldNumber(MaximumSide)),
                         first_box));
  auto *form = new QFormLayout;
  const auto sizeRow = [&](Stepper *&stepper, QLineEdit *&field, const char *stepperName, const char *fieldName,
                           const QString &what) {
    field = named(new QLineEdit(first_box), fieldName, QStringLiteral("Card %1").arg(what),
                  QStringLiteral("Card %1 in millimetres").arg(what));
    stepper = new Stepper(first_box);
    stepper->setObjectName(QString::fromLatin1(stepperName));
    stepper->setRange(MinimumSide, MaximumSide);
    stepper->setIncrement(1);
    stepper->setValue(StartSide);
    stepper->describe(QStringLiteral("Card %1").arg(what));
    linkStepperAndField(stepper, field, 2);
    field->setText(fieldNumber(StartSide));
    auto *row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(stepper);
    row->addWidget(new QLabel(QStringLiteral("mm"), first_box));
    row->addStretch(1);
    form->addRow(QStringLiteral("%1:").arg(what.at(0).toUpper() + what.mid(1)), row);
  };
  sizeRow(width_Stepper, width_Text, "width_Stepper", "width_Text", QStringLiteral("width"));
  sizeRow(height_Stepper, height_Text, "height_Stepper", "height_Text", QStringLiteral("height"));
  layout->addLayout(form);
  layout->addStretch(1);
  return first_box;
}

QWidget *Invitation_Wizard::buildBackgroundStep() {
  second_box = new QWidget(m_window);
  second_box->setObjectName(QStringLiteral("second_box"));
  auto *layout = new QVBoxLayout(second_box);
  layout->addWidget(heading(QStringLiteral("Step 2 of 5: Background"), second_box));
  layout->addWidget(note(QStringLiteral("Click the picture you like for the front of the card."), second_box));
  imageBrowser = named(new ImageBrowser(second_box), "imageBrowser", QStringLiteral("Background pictures"),
                       QStringLiteral("Background pictures of the resource folder; click one to choose it"));
  imageBrowser->setDataSource(this);
  imageBrowser->setAllowsReordering(true);
  imageBrowser->setZoomValue(0.4);
  layout->addWidget(imageBrowser, 1);
  return second_box;
}

QWidget *Invitation_Wizard::buildEventStep() {
  event_box = new QWidget(m_window);
  event_box->setObjectName(QStringLiteral("event_box"));
  auto *layout = new QVBoxLayout(event_box);
  layout->addWidget(heading(QStringLiteral("Step 3 of 5: Who is the apology for?"), event_box));
  auto *grid = new QGridLayout;
  struct Event {
    const char *name;
    const char *title;
  };
  static const Event events[] = {
      {"Her_btn", "To Her"},         {"Him_btn", "To Him"},
      {"Boss_btn", "To the Boss"},   {"Sorry_btn", "Just Sorry"},
      {"Cute_btn", "Cute Sorry"},    {"Bday_btn", "Missed Birthday"},
      {"Anniv_btn", "Missed Anniversary"}, {"Parents_btn", "To Parents"},
      {"Bro_Sis_btn", "To Brother or Sister"}, {"Frnds_btn", "To a Friend"},
  };
  int i = 0;
  for (const Event &event : events) {
    const QString title = QString::fromLatin1(event.title);
    QPushButton *b = button(event.name, title,
                            QStringLiteral("Titles and messages for an apology %1").arg(title.toLower()), event_box);
    b->setMinimumHeight(40);
    eventButtons.append(b);
    grid->addWidget(b, i / 2, i % 2);
    ++i;
  }
  layout->addLayout(grid);
  layout->addStretch(1);
  return event_box;
}

QWidget *Invitation_Wizard::buildTitleAndMessageStep() {
  third_box = new QWidget(m_window);
  third_box->setObjectName(QStringLiteral("third_box"));
  auto *layout = new QVBoxLayout(third_box);
  layout->addWidget(heading(QStringLiteral("Step 4 of 5: Title and message"), third_box));
  layout->addWidget(note(QStringLiteral("Browse the suggestions with the arrows, or write your own words."),
                         third_box));

  auto *titleRow = new QHBoxLayout;
  msg_title = named(new QLineEdit(third_box), "msg_title", QStringLiteral("Title"),
                    QStringLiteral("The card's title (up to 100 characters)"));
  Title_Back_btn = button("Title_Back_btn", QStringLiteral("<"), QStringLiteral("Previous title"), third_box);
  Title_Back_btn->setAccessibleName(QStringLiteral("Previous title"));
  Title_Next_btn = button("Title_Next_btn", QStringLiteral(">"), QStringLiteral("Next title"), third_box);
  Title_Next_btn->setAccessibleName(QStringLiteral("Next title"));
  titleRow->addWidget(new QLabel(QStringLiteral("Title:"), third_box));
  titleRow->addWidget(Title_Back_btn);
  titleRow->addWidget(msg_title, 1);
  titleRow->addWidget(Title_Next_btn);
  layout->addLayout(titleRow);

  auto *messageRow = new QHBoxLayout;
  msg_value = named(new QPlainTextEdit(third_box), "msg_value", QStringLiteral("Message"),
                    QStringLiteral("The card's message (up to 250 characters)"));
  msg_value->setTabChangesFocus(true);
  Msg_Back_btn = button("Msg_Back_btn", QStringLiteral("<"), QStringLiteral("Previous message"), third_box);
  Msg_Back_btn->setAccessibleName(QStringLiteral("Previous message"));
  Msg_Next_btn = button("Msg_Next_btn", QStringLiteral(">"), QStringLiteral("Next message"), third_box);
  Msg_Next_btn->setAccessibleName(QStringLiteral("Next message"));
  for (QPushButton *arrow : {Title_Back_btn, Title_Next_btn, Msg_Back_btn, Msg_Next_btn})
    arrow->setFixedWidth(36);
  messageRow->addWidget(new QLabel(QStringLiteral("Message:"), third_box), 0, Qt::AlignTop);
  messageRow->addWidget(Msg_Back_btn, 0, Qt::AlignVCenter);
  messageRow->addWidget(msg_value, 1);
  messageRow->addWidget(Msg_Next_btn, 0, Qt::AlignVCenter);
  layout->addLayout(messageRow, 1);
  return third_box;
}

QWidget *Invitation_Wizard::buildDetailsStep() {
  fourth_box = new QWidget(m_window);
  fourth_box->setObjectName(QStringLiteral("fourth_box"));
  auto *layout = new QVBoxLayout(fourth_box);
  layout->addWidget(heading(QStringLiteral("Step 5 of 5: From and to"), fourth_box));
  auto *form = new QFormLayout;
  from_value = named(new QLineEdit(fourth_box), "from_value", QStringLiteral("From"),
                     QStringLiteral("Your name, as the card is signed (up to 40 characters)"));
  to_value = named(new QLineEdit(fourth_box), "to_value", QStringLiteral("To"),
                   QStringLiteral("Whom the card is for (up to 40 characters)"));
  venue_value = named(new QLineEdit(fourth_box), "venue_value", QStringLiteral("Venue"),
                      QStringLiteral("Where to meet (up to 100 characters)"));
  venue_label = named(new QLabel(QStringLiteral("Venue:"), fourth_box), "venue_label", QStringLiteral("Venue"),
                      QStringLiteral("Where to meet"));
  Date_picker = named(new QDateEdit(fourth_box), "Date_picker", QStringLiteral("Date"), QStringLiteral("The date"));
  Date_picker->setCalendarPopup(true);
  Date_ctrl_value = named(new QLabel(fourth_box), "Date_ctrl_value", QStringLiteral("Chosen date"),
                          QStringLiteral("The chosen date"));
  date_label = named(new QLabel(QStringLiteral("Date:"), fourth_box), "date_label", QStringLiteral("Date"),
                     QStringLiteral("The date"));
  Time_picker = named(new QTimeEdit(fourth_box), "Time_picker", QStringLiteral("Time"), QStringLiteral("The time"));
  Time_ctrl_value = named(new QLabel(fourth_box), "Time_ctrl_value", QStringLiteral("Chosen time"),
                          QStringLiteral("The chosen time"));
  time_label = named(new QLabel(QStringLiteral("Time:"), fourth_box), "time_label", QStringLiteral("Time"),
                     QStringLiteral("The time"));
  clear_details_btn = button("clear_details_btn", QStringLiteral("Clear"),
                             QStringLiteral("Empty the names (asks first)"), fourth_box);
  form->addRow(QStringLiteral("From:"), from_value);
  form->addRow(QStringLiteral("To:"), to_value);
  form->addRow(venue_label, venue_value);
  auto *dateRow = new QHBoxLayout;
  dateRow->addWidget(Date_picker);
  dateRow->addWidget(Date_ctrl_value, 1);
  form->addRow(date_label, dateRow);
  auto *timeRow = new QHBoxLayout;
  timeRow->addWidget(Time_picker);
  timeRow->addWidget(Time_ctrl_value, 1);
  form->addRow(time_label, timeRow);
  layout->addLayout(form);
  auto *row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(clear_details_btn);
  layout->addLayout(row);
  layout->addStretch(1);
  return fourth_box;
}

QWidget *Invitation_Wizard::buildStepButtons() {
  button_box = new QWidget(m_window);
  button_box->setObjectName(QStringLiteral("button_box"));
  auto *row = new QHBoxLayout(button_box);
  row->setContentsMargins(0, 0, 0, 0);
  Help_btn_2 = button("Help_btn_2", QStringLiteral("Help"), QStringLiteral("Open the help file"), button_box);
  Cancel_btn = button("Cancel_btn", QStringLiteral("Cancel"),
                      QStringLiteral("Back to the start screen; the choices made are dropped"), button_box);
  Back_Btn = button("Back_Btn", QStringLiteral("Back"), QStringLiteral("The previous step"), button_box);
  Next_btn = button("Next_btn", QStringLiteral("Next"), QStringLiteral("The next step; on the last step, make the card"),
                    button_box);
  row->addWidget(Help_btn_2);
  row->addStretch(1);
  row->addWidget(Cancel_btn);
  row->addWidget(Back_Btn);
  row->addWidget(Next_btn);
  return button_box;
}

void Invitation_Wizard::connectActions() {
  using W = Invitation_Wizard;
  const auto on = [this](QPushButton *b, void (W::*action)(QObject *)) {
    connect(b, &QPushButton::clicked, this, [this, b, action] { (this->*action)(b); });
  };
  on(Using_Wizard_btn, &W::Using_Wizard_Click);
  on(Open_Log_btn, &W::Open_Log_Click);
  on(Exit_btn, &W::ExitClick);
  on(Help_btn_1, &W::HelpClick);
  on(Contact_us_btn, &W::Contact_Us_Click);
  on(Help_btn_2, &W::HelpClick);
  on(Next_btn, &W::OK_Click);
  on(Back_Btn, &W::Back_Click);
  on(Cancel_btn, &W::CancelClick);
  on(Title_Back_btn, &W::Title_Back_Click);
  on(Title_Next_btn, &W::Title_Next_Click);
  on(Msg_Back_btn, &W::Msg_Back_Click);
  on(Msg_Next_btn, &W::Msg_Next_Click);
  on(clear_details_btn, &W::Clear_Details_Click);
  static void (W::*const eventActions[])(QObject *) = {
      &W::Her_Click,  &W::Him_Click,   &W::Boss_Click,    &W::Sorry_Click,   &W::Cute_Click,
      &W::Bday_Click, &W::Anniv_Click, &W::Parents_Click, &W::Bro_Sis_Click, &W::Frnds_Click,
  };
  for (int i = 0; i < eventButtons.size(); ++i)
    on(eventButtons[i], eventActions[i]);

  for (Stepper *stepper : {width_Stepper, height_Stepper}) {
    QLineEdit *field = stepper == width_Stepper ? width_Text : height_Text;
    connect(stepper, &Stepper::stepped, this, [field](double value) { field->setText(fieldNumber(value)); });
  }
  for (QLineEdit *field : {from_value, to_value, venue_value, msg_title})
    connect(field, &QLineEdit::textChanged, this, [this, field] { controlTextDidChange(field); });
  connect(msg_value, &QPlainTextEdit::textChanged, this, [this] { controlTextDidChange(msg_value); });
  connect(Date_picker, &QDateEdit::dateChanged, this, [this] { datePickerAction(Date_picker); });
  connect(Time_picker, &QTimeEdit::timeChanged, this, [this] { timePickerAction(Time_picker); });
  connect(imageBrowser, &ImageBrowser::selectionDidChange, this, [this] { imageBrowserSelectionDidChange(); });
}

void Invitation_Wizard::applyPatternBackground() {
  if (m_patternApplied)
    return;
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  if (!controller || controller->wizard_pattern_image().isNull())
    return;
  QPalette palette = m_window->palette();
  palette.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(controller->wizard_pattern_image().pixels)));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);
  m_patternApplied = true;
}
