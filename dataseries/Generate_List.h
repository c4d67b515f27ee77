#pragma once
// Generate_List: the number series generator, a modal window that makes a list of values
// by rule: consecutive numbers from From to To with a prefix and a suffix (optionally
// padded with leading zeros to the same number of digits), one value repeated Count
// times, or Count random numbers of Length digits with a prefix and a suffix.
//
// Two destinations, chosen by the opener before Open_Wnd:
//  - file_name_required 1: the values become a new Batch Processing Series named in the
//    window, written whole through SeriesStore (an existing series is replaced only after
//    a Yes, and only once the new file is complete; a series in use is refused);
//  - otherwise: each value goes to the series manager's value editor
//    (BatchWizard_Window->Create_Value_List).
// file_name_Insert 1 makes the series manager refill its list afterwards.
//
// Numbers are read and computed in 64 bits. A series holds at most MaxValues values and
// MaxBytes bytes; a larger request is refused with a message before anything is made.
// Random numbers come from the system's generator unless a test installs its own source
// (randomSource()).
//
// One instance for the whole run (defaultInstance makes it on first use); main thread
// only.

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;

class QLineEdit;
class QPushButton;
class QRadioButton;
class Stepper;

// Title and text of the leading-zero explanation ("" at start).
extern QString Custom_Msg_Title;
extern QString Custom_Msg_Val;

class Generate_List : public QObject {
  Q_OBJECT
public:
  // Limits of one generated series.
  static constexpr qint64 MaxValues = 100000;
  static constexpr qint64 MaxBytes = 16LL * 1024 * 1024;
  // The count fields' limits (the text-change rule).
  static constexpr int MaxCount = 10000;
  static constexpr int MaxLength = 9;

  Generate_List();
  ~Generate_List() override;
  // The instance of the run, made (with its window) on first use.
  static Generate_List *defaultInstance();

  // The source of 32-bit random numbers: the system's generator unless a test set one.
  // Set it to an empty function to go back to the system's.
  static std::function<quint32()> &randomSource();

  QDialog *window() const { return m_window; }

  // Prepares the window for the current flags and runs it modally; returns 1 when values
  // were made, 0 when cancelled.
  int Open_Wnd();

  void Sequintial_Radio_Pressed(QObject *sender = nullptr);
  void Constant_Radio_Pressed(QObject *sender = nullptr);
  void Random_Radio_Pressed(QObject *sender = nullptr);
  // Validates, makes and delivers the values, and ends the window with 1; a refusal
  // shows its message, puts the focus on the field concerned and leaves the window open.
  void OKPressed(QObject *sender = nullptr);
  void CancelPressed(QObject *sender = nullptr);
  // A stepper as sender writes its value into its field; the field as sender sets the
  // stepper to the field's value.
  void Count_Stepper_Pressed(QObject *sender);
  void Random_Length_Stepper_Pressed(QObject *sender);
  void Random_Count_Stepper_Pressed(QObject *sender);
  // The rule of the Count, random Count and Length fields after each edit: blank or 0
  // becomes "1", a text longer than 5 characters (Length: 1) is cut, a value above
  // 10000 (Length: 9) becomes the limit, and the stepper follows.
  void controlTextDidChange(QObject *field);
  void Help_btn_Pressed(QObject *sender = nullptr);

  // `text` with "0" put in front until it is `length` long (after the sign of a negative
  // number).
  static QString PadZero(const QString &text, int length);
  // A random number from min to max inclusive, each equally likely.
  static qint64 getRandomNumberBetweenMin(qint64 min, qint64 max);

  // The values of the selected mode; nullopt after a refusal (shown, with the focus
  // moved). No file is touched.
  std::optional<QStringList> generatedValues();

  qint32 file_name_required = 0;
  qint32 file_name_Insert = 0;

  // ---- The window's controls, by name ------------------------------------------------------
  QRadioButton *radioButton_Sequntial = nullptr;
  QRadioButton *radioButton_Constant = nullptr;
  QRadioButton *radioButton_Random = nullptr;
  QLineEdit *prefix_txt = nullptr;
  QLineEdit *suffix_txt = nullptr;
  QLineEdit *from_txt = nullptr;
  QLineEdit *to_txt = nullptr;
  QLineEdit *value_txt = nullptr;
  QLineEdit *count_txt = nullptr;
  Stepper *count_stepper = nullptr;
  QLineEdit *rand_prefix_txt = nullptr;
  QLineEdit *rand_suffix_txt = nullptr;
  QLineEdit *rand_length_txt = nullptr;
  Stepper *rand_length_stepper = nullptr;
  QLineEdit *rand_count_txt = nullptr;
  Stepper *rand_count_stepper = nullptr;
  QCheckBox *manage_digit_chk = nullptr;
  QPushButton *help_btn = nullptr;
  QLineEdit *seq_file_name = nullptr;
  QLineEdit *const_file_name = nullptr;
  QLineEdit *rndm_file_name = nullptr;
  QPushButton *ok_btn = nullptr;
  QPushButton *cancel_btn = nullptr;

private:
  void buildWindow();
  void connectActions();
  // Turns `mode` (0 sequential, 1 constant, 2 random) on with its inputs; with
  // `names`, its series-name field too.
  void selectMode(int mode, bool names);
  QLineEdit *nameFieldOfMode() const;
  // Shows the message, focuses the field; always nullopt.
  std::optional<QStringList> refuse(const QString &message, QLineEdit *focus);
  // Writes the values as the series named in the window; false after a refusal or a
  // failure (shown).
  bool writeSeriesFile(const QStringList &values);

  OwnedWindow<QDialog> m_window;
};

// The generator once made; null before.
extern Generate_List *Gen_List_Window;
