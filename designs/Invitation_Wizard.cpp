#include "designs/Invitation_Wizard.h"

#include "designs/model/ApologyCatalogue.h"

#include "mainwindow/PanelWidgets.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>

#include <algorithm>
#include <exception>

QString Invite_Title;
QString Invite_Message;
QString Invite_From;
QString Invite_To;
QString Invite_Venue;
QString Invite_Date;
QString Invite_Time;
QString Invite_BG_IMG;

namespace {

Invitation_Wizard *invite_wzrd_Window_def_inst = nullptr;

// The pictures the background step offers.
bool isBackgroundPicture(const QFileInfo &entry) {
  const QString extension = entry.suffix().toLower();
  return extension == QLatin1String("png") || extension == QLatin1String("jpg");
}

// Shows `text` in a message field without treating it as the user's edit.
void showText(QPlainTextEdit *field, const QString &text) {
  if (field->toPlainText() != text)
    field->setPlainText(text);
}

}  // namespace

Invitation_Wizard::Invitation_Wizard() {
  buildWindow();
  connectActions();
  keepInGlobal(invite_wzrd_Window_def_inst, this);
}

Invitation_Wizard::~Invitation_Wizard() {
  // The browser reads its items from `images`: it lets go of them before the window
  // (and the browser with it) goes.
  if (imageBrowser)
    imageBrowser->setDataSource(nullptr);
}

Invitation_Wizard *Invitation_Wizard::defaultInstance() { return invite_wzrd_Window_def_inst; }

// ---- Opening ------------------------------------------------------------------------------

int Invitation_Wizard::Open_Wnd() {
  try {
    applyPatternBackground();
    Event_Type = QStringLiteral("1");
    width_Stepper->setValue(StartSide);
    height_Stepper->setValue(StartSide);
    width_Text->setText(fieldNumber(StartSide));
    height_Text->setText(fieldNumber(StartSide));
    APP_path_label->setText(Resource_Path);
    APP_path_label->setToolTip(QStringLiteral("The resource folder: %1").arg(Resource_Path));
    images.clear();
    imageBrowser->reloadData();

    Show_Hide_Card_Start_Screen(true);

    imageBrowser->setZoomValue(0.4);
    Load_and_fill_backgrounds();
    Reset_All();
    Load_Msg_And_Title();
    msg_title->setText(Get_Title());
    showText(msg_value, Get_Message());

    const int code = UiServices::instance().runModal(m_window);
    m_window->hide();
    return code;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The start window could not be opened."));
  }
  if (m_window)
    m_window->hide();
  return 0;
}

void Invitation_Wizard::Load_and_fill_backgrounds() {
  const QString folder = joinPath(Resource_Path, QStringLiteral("Background"));
  const QFileInfo folderInfo(folder);
  if (folder.isEmpty() || !folderInfo.isDir())
    return;
  images.clear();
  imageBrowser->reloadData();
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  for (const QFileInfo &entry : entries)
    if (isBackgroundPicture(entry))
      addImageWithPath(entry.absoluteFilePath(), entry.fileName(), entry.fileName());
}

void Invitation_Wizard::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID) {
  const QString trimmed = path.trimmed();
  if (trimmed.isEmpty())
    return;
  images.push_back(std::make_unique<MyImageObject>(trimmed, imageName, image_UID));
  const unsigned char previous = auto_background_selection;
  auto_background_selection = 1;
  imageBrowser->reloadData();
  auto_background_selection = previous;
}

// ---- Image browser --------------------------------------------------------------------------

int Invitation_Wizard::numberOfItemsInImageBrowser(ImageBrowser *) { return int(images.size()); }

const ImageBrowserItem *Invitation_Wizard::imageBrowser_itemAtIndex(ImageBrowser *, int index) {
  if (index < 0 || index >= int(images.size()))
    return nullptr;
  return images[size_t(index)].get();
}

void Invitation_Wizard::imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                                                int destinationIndex) {
  QList<int> moving;
  for (int index : indexes)
    if (index >= 0 && index < int(images.size()) && !moving.contains(index))
      moving.append(index);
  std::sort(moving.begin(), moving.end());
  if (moving.isEmpty())
    return;
  destinationIndex = std::clamp(destinationIndex, 0, int(images.size()));
  const int before = int(std::count_if(moving.begin(), moving.end(), [&](int i) { return i < destinationIndex; }));

  std::vector<std::unique_ptr<MyImageObject>> taken;
  for (int index : moving)
    taken.push_back(std::move(images[size_t(index)]));
  std::erase_if(images, [](const std::unique_ptr<MyImageObject> &item) { return !item; });
  const int insertAt = destinationIndex - before;
  images.insert(images.begin() + insertAt, std::make_move_iterator(taken.begin()),
                std::make_move_iterator(taken.end()));

  if (browser == imageBrowser) {
    const unsigned char previous = auto_background_selection;
    auto_background_selection = 1;
    imageBrowser->reloadData();
    auto_background_selection = previous;
  }
}

void Invitation_Wizard::imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &) {
  if (browser != imageBrowser)
    return;
  const unsigned char previous = auto_background_selection;
  auto_background_selection = 1;
  imageBrowser->reloadData();
  auto_background_selection = previous;
}

void Invitation_Wizard::imageBrowserSelectionDidChange() {
  const QList<int> selection = imageBrowser->selectionIndexes();
  if (selection.isEmpty())
    return;
  const int first = selection.first();
  if (first < 0 || first >= int(images.size()))
    return;
  selected_image = images[size_t(first)]->imageRepresentation();
  // A background picked by the user at the background step is the step's answer.
  if (auto_background_selection == 0 && next_counter == 2)
    OK_Click(imageBrowser);
}

// ---- Lists ---------------------------------------------------------------------------------

void Invitation_Wizard::Load_Msg_And_Title_According_Event() {
  const ApologyCatalogue catalogue = ApologyCatalogue::builtIn();
  Title_Array = catalogue.titles(Event_Type);
  Message_Array = catalogue.messages(Event_Type);
  title_index = 0;
  message_index = 0;
  title_count = qint32(Title_Array.size());
  message_count = qint32(Message_Array.size());
  msg_title->setText(Get_Title());
  showText(msg_value, Get_Message());
}

void Invitation_Wizard::Load_Msg_And_Title() {
  const auto read = [](const QString &name, int limit) {
    QString reason;
    std::optional<QStringList> list = readApologyListFile(joinPath(Resource_Path, name), limit, &reason);
    // A missing file is usual (the files are the user's own additions): no log line.
    if (!list && QFileInfo::exists(joinPath(Resource_Path, name)))
      Show_NSLog_Message(reason);
    return list.value_or(QStringList());
  };
  Title_Array = read(QStringLiteral("Title.txt"), TitleLimit);
  Message_Array = read(QStringLiteral("Message.txt"), MessageLimit);
  title_count = qint32(Title_Array.size());
  message_count = qint32(Message_Array.size());
  title_index = 0;
  message_index = 0;
}

QString Invitation_Wizard::Get_Title() const {
  return title_index >= 0 && title_index < Title_Array.size() ? Title_Array.at(title_index) : QString();
}

QString Invitation_Wizard::Get_Message() const {
  return message_index >= 0 && message_index < Message_Array.size() ? Message_Array.at(message_index) : QString();
}

void Invitation_Wizard::Title_Next_Click(QObject *) {
  if (title_count <= 0)
    return;
  title_index = title_index + 1 >= title_count ? 0 : title_index + 1;
  msg_title->setText(Get_Title());
}

void Invitation_Wizard::Title_Back_Click(QObject *) {
  if (title_count <= 0)
    return;
  title_index = title_index - 1 < 0 ? title_count - 1 : title_index - 1;
  msg_title->setText(Get_Title());
}

void Invitation_Wizard::Msg_Next_Click(QObject *) {
  if (message_count <= 0)
    return;
  message_index = message_index + 1 >= message_count ? 0 : message_index + 1;
  showText(msg_value, Get_Message());
}

void Invitation_Wizard::Msg_Back_Click(QObject *) {
  if (message_count <= 0)
    return;
  message_index = message_index - 1 < 0 ? message_count - 1 : message_index - 1;
  showText(msg_value, Get_Message());
}

// ---- Steps ------------------------------------------------------------------------------------

void Invitation_Wizard::showStep(QWidget *shown) {
  for (QWidget *box : {first_box, second_box, event_box, third_box, fourth_box})
    box->setVisible(box == shown);
}

void Invitation_Wizard::Show_Hide_Card_Start_Screen(bool show) {
  if (show) {
    next_counter = 0;
    auto_background_selection = 0;
    Start_card_box->show();
    showStep(nullptr);
    button_box->hide();
    Exit_btn->show();
    Help_btn_1->show();
    Contact_us_btn->show();
    Reset_All();
    msg_title->setText(Get_Title());
    showText(msg_value, Get_Message());
  } else {
    Start_card_box->hide();
    showStep(first_box);
    button_box->show();
    Exit_btn->hide();
    Help_btn_1->hide();
    Contact_us_btn->hide();
  }
}

void Invitation_Wizard::OK_Click(QObject *) {
  if (Start_Card_Option == QLatin1String("L")) {
    QLNWindowController *controller = QLNWindowController::defaultInstance();
    if (controller && controller->Open_Log_File() == 1)
      m_window->done(1);
    return;
  }
  switch (next_counter) {
  case 0:
    next_counter = 1;
    Show_Hide_Card_Start_Screen(false);
    width_Text->setFocus();
    break;
  case 1:
    // A size the step does not take (outside its range, or no number) is shown as the
    // size it takes instead, and the step stays for the user to see it.
    if (!commitSizeFields())
      break;
    next_counter = 2;
    showStep(second_box);
    auto_background_selection = 1;
    if (!images.empty()) {
      imageBrowser->reloadData();
      imageBrowser->setSelectionIndexes({0});
      // The selection signal may be queued by the view: take the first picture here.
      selected_image = images.front()->imageRepresentation();
    }
    auto_background_selection = 0;
    imageBrowser->setFocus();
    break;
  case 2:
    if (!selected_image.isEmpty() && QFileInfo(selected_image).isFile()) {
      next_counter = 3;
      showStep(event_box);
      eventButtons.first()->setFocus();
    } else {
      Show_MessageBox(QStringLiteral("Please select background."));
    }
    break;
  case 3:
    Load_Msg_And_Title_According_Event();
    next_counter = 4;
    showStep(third_box);
    msg_title->setFocus();
    break;
  case 4:
    selected_title = msg_title->text();
    selected_msg = msg_value->toPlainText();
    next_counter = 5;
    showStep(fourth_box);
    // Only From and To are asked for.
    for (QWidget *hidden : std::initializer_list<QWidget *>{venue_value, Date_picker, Date_ctrl_value, Time_picker,
                                                           Time_ctrl_value, venue_label, date_label, time_label})
      hidden->hide();
    from_value->setFocus();
    break;
  case 5:
    finish();
    break;
  default:
    break;
  }
}

bool Invitation_Wizard::commitSizeFields() {
  bool asTyped = true;
  for (auto [stepper, field] : {std::pair{width_Stepper, width_Text}, std::pair{height_Stepper, height_Text}}) {
    bool ok = false;
    const double typed = QLocale::c().toDouble(field->text().trimmed(), &ok);
    if (ok)
      stepper->setValue(typed);
    if (!ok || stepper->value() != typed)
      asTyped = false;
    field->setText(fieldNumber(stepper->value()));
  }
  return asTyped;
}

void Invitation_Wizard::finish() {
  Card_Shape = 0;
  commitSizeFields();
  const float width = width_Stepper->floatValue();
  const float height = height_Stepper->floatValue();
  if (QLNWindowController *controller = QLNWindowController::defaultInstance()) {
    controller->Set_Card_Size_In_Control(QSizeF(width, height));
    const QSizeF points(QLNWindowController::MM_to_Points_Convert(width),
                        QLNWindowController::MM_to_Points_Convert(height));
    controller->Set_Document_Size(points);
    controller->SetDocumentCanvasSize(points);
  }
  Invite_Title = Trim_Str(selected_title);
  Invite_Message = Trim_Str(selected_msg);
  Invite_From = Trim_Str(from_value->text());
  Invite_To = Trim_Str(to_value->text());
  Invite_Venue = Trim_Str(venue_value->text());
  Invite_Date = Trim_Str(selected_date);
  Invite_Time = Trim_Str(selected_time);
  Invite_BG_IMG = Trim_Str(selected_image);
  m_window->done(1);
}

void Invitation_Wizard::Back_Click(QObject *) {
  switch (next_counter) {
  case 1:
    next_counter = 0;
    Show_Hide_Card_Start_Screen(true);
    break;
  case 2:
    next_counter = 1;
    showStep(first_box);
    break;
  case 3:
    next_counter = 2;
    showStep(second_box);
    break;
  case 4:
    next_counter = 3;
    showStep(event_box);
    break;
  case 5:
    next_counter = 4;
    showStep(third_box);
    break;
  default:
    break;
  }
}

void Invitation_Wizard::CancelClick(QObject *) { Show_Hide_Card_Start_Screen(true); }

void Invitation_Wizard::windowWantsToClose(bool closeBox) {
  if (next_counter != 0)
    CancelClick();
  else if (closeBox)
    ExitClick();
}

// ---- Details --------------------------------------------------------------------------------

void Invitation_Wizard::controlTextDidChange(QObject *field) {
  if (m_settingByCode)
    return;
  const auto cut = [this](QLineEdit *edit, int limit) {
    if (edit->text().size() > limit) {
      m_settingByCode = true;
      edit->setText(cutToLimit(edit->text(), limit));
      m_settingByCode = false;
    }
  };
  if (field == from_value)
    cut(from_value, FromLimit);
  else if (field == to_value)
    cut(to_value, ToLimit);
  else if (field == venue_value)
    cut(venue_value, VenueLimit);
  else if (field == msg_title)
    cut(msg_title, TitleLimit);
  else if (field == msg_value && msg_value->toPlainText().size() > MessageLimit) {
    m_settingByCode = true;
    msg_value->setPlainText(cutToLimit(msg_value->toPlainText(), MessageLimit));
    msg_value->moveCursor(QTextCursor::End);
    m_settingByCode = false;
  }
  if (field == from_value || field == to_value || field == venue_value) {
    if (!from_value->text().isEmpty() || !to_value->text().isEmpty() || !venue_value->text().isEmpty())
      clear_details_btn->setEnabled(true);
  }
}

void Invitation_Wizard::datePickerAction(QObject *) {
  selected_date = QLocale().toString(Date_picker->date(), QLocale::LongFormat);
  Date_ctrl_value->setText(selected_date);
  clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::timePickerAction(QObject *) {
  selected_time = QLNWindowController::Get_time_Value(QStringLiteral("h:mm a"),
                                                       QDateTime(QDate::currentDate(), Time_picker->time()));
  Time_ctrl_value->setText(selected_time);
  clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::Clear_Details_Click(QObject *) {
  if (Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to clear details?")))
    Clear_Details();
}

void Invitation_Wizard::Clear_Details() {
  m_settingByCode = true;
  from_value->clear();
  to_value->clear();
  venue_value->clear();
  m_settingByCode = false;
  Date_ctrl_value->clear();
  Time_ctrl_value->clear();
  {
    const QSignalBlocker dateBlocker(Date_picker);
    const QSignalBlocker timeBlocker(Time_picker);
    const QDateTime now = QDateTime::currentDateTime();
    Date_picker->setDate(now.date());
    Time_picker->setTime(now.time());
  }
  clear_details_btn->setEnabled(false);
}

void Invitation_Wizard::Reset_All() {
  selected_image.clear();
  selected_title.clear();
  selected_msg.clear();
  selected_date.clear();
  selected_time.clear();
  next_counter = 0;
  title_index = 0;
  message_index = 0;
  msg_title->clear();
  msg_value->clear();
  clear_details_btn->setEnabled(false);
  Clear_Details();
}

// ---- Start screen -------------------------------------------------------------------------------

void Invitation_Wizard::Using_Wizard_Click(QObject *sender) {
  Event_Type = QStringLiteral("1");
  Select_card_option(1, sender);
}

void Invitation_Wizard::Open_Log_Click(QObject *sender) { Select_card_option(2, sender); }

void Invitation_Wizard::Select_card_option(int option, QObject *sender) {
  switch (option) {
  case 0:
    Start_Card_Option = QStringLiteral("T");
    break;
  case 1:
    Start_Card_Option = QStringLiteral("W");
    break;
  case 2:
    Start_Card_Option = QStringLiteral("L");
    break;
  default:
    return;
  }
  OK_Click(sender);
}

void Invitation_Wizard::HelpClick(QObject *) { Open_Help_File(); }

void Invitation_Wizard::Contact_Us_Click(QObject *) {
  // The support link of the help window, opened by the main window's link command.
  if (QLNWindowController *controller = QLNWindowController::defaultInstance())
    controller->Open_Support_Mail();
}

void Invitation_Wizard::ExitClick(QObject *) {
  // The caller ends the program through its normal quit once the window has returned.
  Start_Card_Option.clear();
  m_window->done(0);
}

// ---- Events ----------------------------------------------------------------------------------------

void Invitation_Wizard::selectEvent(const QString &code) {
  Event_Type = code;
  OK_Click();
}

void Invitation_Wizard::Her_Click(QObject *) { selectEvent(QStringLiteral("1")); }
void Invitation_Wizard::Him_Click(QObject *) { selectEvent(QStringLiteral("2")); }
void Invitation_Wizard::Boss_Click(QObject *) { selectEvent(QStringLiteral("3")); }
void Invitation_Wizard::Sorry_Click(QObject *) { selectEvent(QStringLiteral("4")); }
void Invitation_Wizard::Cute_Click(QObject *) { selectEvent(QStringLiteral("5")); }
void Invitation_Wizard::Bday_Click(QObject *) { selectEvent(QStringLiteral("6")); }
void Invitation_Wizard::Anniv_Click(QObject *) { selectEvent(QStringLiteral("7")); }
void Invitation_Wizard::Parents_Click(QObject *) { selectEvent(QStringLiteral("8")); }
void Invitation_Wizard::Bro_Sis_Click(QObject *) { selectEvent(QStringLiteral("9")); }
void Invitation_Wizard::Frnds_Click(QObject *) { selectEvent(QStringLiteral("10")); }
