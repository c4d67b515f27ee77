#pragma once
// Invitation_Wizard: the start window. From its start screen the user opens a design
// log or builds a new apology card in five steps: card size, background picture,
// event, title and message, and sender and recipient. Finishing leaves the choices in
// the Invite_* globals below and ends the window with 1; the main window controller
// then sizes the card and places the texts (Fill_Party_Invidation_Details).
//
// One instance lives for the whole run (the program makes it in main; the constructor
// registers it as defaultInstance()). Its window is built in code
// (Invitation_Wizard_Build.cpp) and run modally through UiServices. The steps are one
// counter, next_counter (0 start screen, 1 size, 2 background, 3 event, 4 title and
// message, 5 details), moved by Next (OK_Click), Back (Back_Click) and Cancel.
//
// Leaving the window: Exit (or the window's close box on the start screen) ends it
// with 0 and Start_Card_Option "", after which the caller ends the program through its
// normal quit. Cancel, Escape or the close box during the steps return to the start
// screen. Main thread only.

#include "canvas/MyImageObject.h"
#include "core/KeptWindow.h"
#include "platform/ImageBrowser.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QWidget;
class Stepper;

// What the finished wizard chose, each trimmed (Trim_Str): the card's texts and the
// path of its background picture. Read by Fill_Party_Invidation_Details.
extern QString Invite_Title;
extern QString Invite_Message;
extern QString Invite_From;
extern QString Invite_To;
extern QString Invite_Venue;
extern QString Invite_Date;
extern QString Invite_Time;
extern QString Invite_BG_IMG;

class Invitation_Wizard : public QObject, public ImageBrowserDataSource {
  Q_OBJECT
public:
  // Field lengths, in characters, beyond which typing is cut.
  static constexpr int FromLimit = 40;
  static constexpr int ToLimit = 40;
  static constexpr int VenueLimit = 100;
  static constexpr int TitleLimit = 100;
  static constexpr int MessageLimit = 250;
  // The card size step, millimetres: its range and the size every opening starts with.
  static constexpr double MinimumSide = 30.0;
  static constexpr double MaximumSide = 1000.0;
  static constexpr double StartSide = 120.0;

  // init: builds the window and becomes defaultInstance().
  Invitation_Wizard();
  ~Invitation_Wizard() override;
  static Invitation_Wizard *defaultInstance();

  QDialog *window() const { return m_window; }

  // Runs the window from its start screen (all values reset, backgrounds and the two
  // text files read again) and returns 1 when a design log was opened or the wizard
  // finished, else 0 (Exit, or a failure, which is logged).
  int Open_Wnd();

  // ---- Image browser data source ------------------------------------------------------
  int numberOfItemsInImageBrowser(ImageBrowser *browser) override;
  const ImageBrowserItem *imageBrowser_itemAtIndex(ImageBrowser *browser, int index) override;
  // Moves the dragged items, in their order, to the drop gap; reloads the browser.
  void imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                               int destinationIndex) override;
  // Removes nothing (the backgrounds are the folder's files); reloads the browser.
  void imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &indexes) override;
  // The first selected picture becomes selected_image; a user's choice acts as Next.
  void imageBrowserSelectionDidChange();

  // Appends a picture (the path trimmed; an empty path adds nothing) and reloads.
  void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);

  // ---- Lists --------------------------------------------------------------------------
  // The catalogue's lists of Event_Type, both indexes 0, the first title and message shown.
  void Load_Msg_And_Title_According_Event();
  // The lists of "Title.txt" and "Message.txt" of the resource folder (absent when a
  // file cannot be read).
  void Load_Msg_And_Title();
  // The entry at the current index, "" when the list is absent.
  QString Get_Title() const;
  QString Get_Message() const;

  // The pictures (png, jpg) of the resource folder's "Background", in listing order.
  void Load_and_fill_backgrounds();
  // true: the start screen (counter 0, every value reset); false: the first step.
  void Show_Hide_Card_Start_Screen(bool show);

  // ---- Actions ------------------------------------------------------------------------
  void OK_Click(QObject *sender = nullptr);
  void CancelClick(QObject *sender = nullptr);
  void Back_Click(QObject *sender = nullptr);
  void Title_Back_Click(QObject *sender = nullptr);
  void Title_Next_Click(QObject *sender = nullptr);
  void Msg_Back_Click(QObject *sender = nullptr);
  void Msg_Next_Click(QObject *sender = nullptr);
  void Clear_Details_Click(QObject *sender = nullptr);
  void datePickerAction(QObject *sender = nullptr);
  void timePickerAction(QObject *sender = nullptr);
  void Clear_Details();
  void Reset_All();
  // After each edit of a text field: cut to its limit, and the details' clear button.
  void controlTextDidChange(QObject *field);
  void Using_Wizard_Click(QObject *sender = nullptr);
  void Open_Log_Click(QObject *sender = nullptr);
  // 0 "T", 1 "W" (the wizard), 2 "L" (a design log) into Start_Card_Option, then Next.
  void Select_card_option(int option, QObject *sender = nullptr);
  void HelpClick(QObject *sender = nullptr);
  // The support mail link, as the help window's support link opens it.
  void Contact_Us_Click(QObject *sender = nullptr);
  void ExitClick(QObject *sender = nullptr);
  // The ten events: Event_Type "1" to "10", then Next.
  void Her_Click(QObject *sender = nullptr);
  void Him_Click(QObject *sender = nullptr);
  void Boss_Click(QObject *sender = nullptr);
  void Sorry_Click(QObject *sender = nullptr);
  void Cute_Click(QObject *sender = nullptr);
  void Bday_Click(QObject *sender = nullptr);
  void Anniv_Click(QObject *sender = nullptr);
  void Parents_Click(QObject *sender = nullptr);
  void Bro_Sis_Click(QObject *sender = nullptr);
  void Frnds_Click(QObject *sender = nullptr);

  // ---- State ----------------------------------------------------------------------------
  std::vector<std::unique_ptr<MyImageObject>> images;
  QString selected_image;
  QStringList Title_Array;
  QStringList Message_Array;
  qint32 next_counter = 0;
  qint32 title_count = 0;
  qint32 message_count = 0;
  qint32 title_index = 0;
  qint32 message_index = 0;
  QString selected_title;
  QString selected_msg;
  QString selected_date;
  QString selected_time;
  unsigned char auto_background_selection = 0;

  // ---- The window's controls, by name -----------------------------------------------
  // Start screen.
  QWidget *Start_card_box = nullptr;
  QPushButton *Using_Wizard_btn = nullptr;
  QPushButton *Open_Log_btn = nullptr;
  QPushButton *Exit_btn = nullptr;
  QPushButton *Help_btn_1 = nullptr;
  QPushButton *Contact_us_btn = nullptr;
  QLabel *APP_path_label = nullptr;
  // Size.
  QWidget *first_box = nullptr;
  Stepper *width_Stepper = nullptr;
  QLineEdit *width_Text = nullptr;
  Stepper *height_Stepper = nullptr;
  QLineEdit *height_Text = nullptr;
  // Background.
  QWidget *second_box = nullptr;
  ImageBrowser *imageBrowser = nullptr;
  // Event: ten buttons, in the order of the event codes.
  QWidget *event_box = nullptr;
  QList<QPushButton *> eventButtons;
  // Title and message.
  QWidget *third_box = nullptr;
  QLineEdit *msg_title = nullptr;
  QPushButton *Title_Back_btn = nullptr;
  QPushButton *Title_Next_btn = nullptr;
  QPlainTextEdit *msg_value = nullptr;
  QPushButton *Msg_Back_btn = nullptr;
  QPushButton *Msg_Next_btn = nullptr;
  // Details.
  QWidget *fourth_box = nullptr;
  QLineEdit *from_value = nullptr;
  QLineEdit *to_value = nullptr;
  QLineEdit *venue_value = nullptr;
  QLabel *venue_label = nullptr;
  QDateEdit *Date_picker = nullptr;
  QLabel *Date_ctrl_value = nullptr;
  QLabel *date_label = nullptr;
  QTimeEdit *Time_picker = nullptr;
  QLabel *Time_ctrl_value = nullptr;
  QLabel *time_label = nullptr;
  QPushButton *clear_details_btn = nullptr;
  // Step buttons.
  QWidget *button_box = nullptr;
  QPushButton *Back_Btn = nullptr;
  QPushButton *Next_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;
  QPushButton *Help_btn_2 = nullptr;

private:
  // Invitation_Wizard_Build.cpp: the window and its pages.
  void buildWindow();
  QWidget *buildStartScreen();
  QWidget *buildSizeStep();
  QWidget *buildBackgroundStep();
  QWidget *buildEventStep();
  QWidget *buildTitleAndMessageStep();
  QWidget *buildDetailsStep();
  QWidget *buildStepButtons();
  void connectActions();
  // The window's pattern background from the main window's "Wizard_pattern" picture.
  void applyPatternBackground();

  // Shows exactly `shown` of the five step boxes (null: none) and the event box when
  // `showEvents`.
  void showStep(QWidget *shown);
  void selectEvent(const QString &code);
  // A value typed into a size field reaches its stepper (as leaving the field does) and
  // each field shows the size taken; false when that is not the size typed (outside
  // the range, which takes its nearest limit, or not a number, which keeps the last).
  bool commitSizeFields();
  void finish();
  // The close box or Escape: Cancel during the steps; on the start screen the close
  // box is Exit and Escape does nothing.
  void windowWantsToClose(bool closeBox);

  bool m_patternApplied = false;
  // Set while code (not the user) changes the browser's selection or a field's text.
  bool m_settingByCode = false;
  OwnedWindow<QDialog> m_window;

  friend class InvitationWizardDialog;
};
