#pragma once
// Import_Wizard: the import wizard, a modal window that turns outside data into Batch
// Processing Series. Four sources (import_option):
//  0 an xlsx workbook, handed on to the spreadsheet-to-series window (new series files)
//    or to the column import window in mode "D" (the series manager's value editor);
//  1 a text, CSV or RTF file (read by dataseries/model/ImportSources);
//  2 text pasted or typed into the wizard;
//  3 a folder of pictures, whose paths become the values, in name order.
//
// Two destinations, chosen by the opener before Open_Wnd:
//  - file_name_required 1: the values become a series named in the wizard. Everything is
//    read first; an empty name, a name that is no plain file name (holding "/", say), a
//    series in use and a source that gives no values are refused, and nothing is
//    written then. An existing series is replaced only after a Yes, and only once the new
//    file is complete (SeriesStore::write).
//  - otherwise: each value goes to the series manager's value editor
//    (BatchWizard_Window->Create_Value_List).
// file_name_Insert 1 makes the series manager refill its list afterwards.
//
// One instance for the whole run (defaultInstance makes it on first use); main thread
// only.

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QFormLayout;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class Import_Wizard : public QObject {
  Q_OBJECT
public:
  Import_Wizard();
  ~Import_Wizard() override;
  // The instance of the run, made (with its window) on first use.
  static Import_Wizard *defaultInstance();
  // Sets the two flags of the instance and runs it; its window's code. The series
  // manager's import buttons and the main window's Import command open it this way.
  static int openWithFlags(qint32 required, qint32 insert);

  QDialog *window() const { return m_window; }

  // Prepares the window (source 0, every field empty, the name fields shown in file
  // mode) and runs it modally; returns 1 after an import, 0 for Cancel.
  int Open_Wnd();

  // ---- Actions ------------------------------------------------------------------------------
  void Excel_RD_Pressed(QObject *sender = nullptr);
  void Text_RD_Pressed(QObject *sender = nullptr);
  void Manual_RD_Pressed(QObject *sender = nullptr);
  void Image_RD_Pressed(QObject *sender = nullptr);
  // Each browse panel puts the chosen path into its field and runs OK at once.
  void Browse_Excel_Pressed(QObject *sender = nullptr);
  void Browse_Text_Pressed(QObject *sender = nullptr);
  void Browse_Image_Pressed(QObject *sender = nullptr);
  // Imports from the chosen source; the window ends with 1 when that worked and stays
  // open after a refusal (shown).
  void OKPressed(QObject *sender = nullptr);
  void CancelPressed(QObject *sender = nullptr);
  void HelpPressed(QObject *sender = nullptr);

  void Enable_Disable_Excel_Option(bool flag);
  void Enable_Disable_Text_Option(bool flag);
  void Enable_Disable_Manual_Option(bool flag);
  void Enable_Disable_Image_Option(bool flag);

  // The sources; each returns whether the values were delivered.
  bool Create_And_Save_Text_Data_Sheet(const QString &path);
  bool Create_And_Save_Manual_Paste_data_Sheet();
  bool Create_And_Save_Image_data_Sheet(const QString &path);

  // `text` with every backslash, "{" and "}" removed, then trimmed.
  static QString chk_and_insert_validation(const QString &text);

  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // ---- Controls and state, by name -------------------------------------------------------------
  QRadioButton *Excel_RD = nullptr;
  QRadioButton *Text_RD = nullptr;
  QRadioButton *Mnul_RD = nullptr;
  QRadioButton *Image_RD = nullptr;
  QLineEdit *Excel_path = nullptr;
  QPushButton *Excel_btn = nullptr;
  QLineEdit *Text_file_name = nullptr;
  QLineEdit *Text_path = nullptr;
  QPushButton *Text_btn = nullptr;
  QPlainTextEdit *ManualEdit = nullptr;
  QLineEdit *Manual_file_name = nullptr;
  QLineEdit *Image_file_name = nullptr;
  QLineEdit *Image_path = nullptr;
  QPushButton *Image_btn = nullptr;
  QPushButton *ok_btn = nullptr;
  QPushButton *cancel_btn = nullptr;
  QPushButton *help_btn = nullptr;
  qint32 import_option = 0;
  qint32 file_name_required = 0;
  qint32 file_name_Insert = 0;
  QPointer<QDialog> plz_wait_Window;

private:
  // Import_Wizard_Build.cpp: the window, one builder per source, the connections.
  void buildWindow();
  QGroupBox *buildExcelSource();
  QGroupBox *buildTextSource();
  QGroupBox *buildManualSource();
  QGroupBox *buildImageSource();
  void connectActions();

  // Turns `option` on with its controls, the others off.
  void selectSource(int option);
  // Shows or hides the row of a name field.
  void showNameField(QLineEdit *field, bool visible);
  // A name field gets "Untitled" when it is enabled blank.
  static void nameUntitledWhenBlank(QLineEdit *field);
  // The series name typed in `field` in file mode, checked: nullopt after a refusal
  // (shown). "" in editor mode.
  std::optional<QString> seriesName(QLineEdit *field);
  // Refuses a series that is bound on the card (shown).
  bool refuseInUse(const QString &name);
  // Delivers `values` to the series `name` (file mode, after the replace question) or to
  // the value editor; refreshes the manager's list when asked. False after a refusal or
  // failure (shown); nothing is written then.
  bool deliver(const QString &name, const QStringList &values);
  // Whether `path` names an existing file or folder ("Please select valid file path."
  // otherwise).
  static bool validPath(const QString &path);

  QList<QFormLayout *> m_nameForms;
  OwnedWindow<QDialog> m_window;
};

// The wizard once made; null before.
extern Import_Wizard *Import_Wizard_Window;
