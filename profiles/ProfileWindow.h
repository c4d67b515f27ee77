#pragma once
// The two profile windows share this base: the eleven profile fields (name, position,
// company, slogan, address, phone, fax, e-mail, website, unique number and photo), each
// with its data source (typed, a Batch Processing Series, or a column of the imported
// spreadsheet), the spreadsheet binding, the photo, validation, filling a profile record
// and the preview of the card with the fields placed.
//
//  - User_profile (User_profile.h), the wizard window "User Profile Information", opened
//    by the card and template wizards with no side; OK writes the front and the back
//    record.
//  - Show_User_Profile (Show_User_Profile.h), the side window, opened by the main
//    window's Profile command for the side being edited; it first loads the fields from
//    the profile objects on that side, and OK writes that side's record. It also holds
//    the placeholder rectangles of the fields' default places.
//
// Both are opened through QLNWindowController::Open_User_Profile_Window. One instance of
// each for the run; main thread only.

#include "core/KeptWindow.h"
#include "core/QLNGraphic.h"
#include "dataseries/model/ImportedRows.h"
#include "profiles/model/User_Profile_Class.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class ProfileWindow : public QObject {
  Q_OBJECT
public:
  ~ProfileWindow() override;

  static constexpr int FieldCount = User_Profile_Class::FieldCount;
  static constexpr int PhotoField = User_Profile_Class::ImageField;

  // The controls of one field. `value` is null for the photo (its path is in
  // image_path_val); `side_combo` exists in the wizard window only; `label`, `label_chk`
  // and `value_chk` in the side window only, for the ten text fields.
  struct FieldControls {
    QLineEdit *value = nullptr;
    QComboBox *ds_combo = nullptr;
    QComboBox *ser_col_cb = nullptr;
    QPushButton *view_btn = nullptr;
    QComboBox *side_combo = nullptr;
    QLineEdit *label = nullptr;
    QCheckBox *label_chk = nullptr;
    QCheckBox *value_chk = nullptr;
  };

  // The prefix of a field's control names ("name", "title", "comp_name" ... "image").
  static QString fieldPrefix(int field);
  // The caption constant of a field (Title_Name ... Title_image).
  static QString fieldCaption(int field);
  // The caption without its " :", as messages name the field ("Name").
  static QString fieldName(int field);

  QDialog *window() const { return m_window; }

  // Fills the window (from the side's profile objects when `load` is set), runs it
  // modally, hides it and returns 1 for OK, 0 for Cancel.
  int Open_Wnd(bool load);

  void Reset_all_Ctrl();
  // False (with checked_field_name set to the field's caption) when a field's source is
  // a series or a column with none chosen; the first such field in record order.
  bool Check_Validation();
  // Each fills its record from the window; false, after the message, when validation
  // fails (the record then stays as it was).
  bool Fill_Front_User_profile_value_in_Variable();
  bool Fill_Back_User_profile_value_in_Variable();
  bool Fill_TEMP_User_profile_value_in_Variable();
  // The photo's path into image_path_val and its picture into user_picture (an
  // unreadable file leaves the picture; an empty path clears it).
  void Set_User_Image(const QString &path);
  // Graphics_array rendered into Template_picture (wizard) and Preivew_picture, or into
  // Preivew_picture alone.
  void Create_and_Set_template_picture();
  void Create_and_Set_Preview_picture();
  void View_Data_Series_By_Name(QComboBox *combo);
  // The item "Excel" added to (removed from) every field's data-source combo.
  void Add_Excel_in_Data_Source_Combo();
  void Remove_Excel_in_Data_Source_Combo();

  // ---- Actions ------------------------------------------------------------------------
  void OK_Btn_Clicked(QObject *sender = nullptr);
  void Cancel_Btn_Clicked(QObject *sender = nullptr);
  void Reset_Btn_Clicked(QObject *sender = nullptr);
  void Help_Btn_Clicked(QObject *sender = nullptr);
  void Browse_excel_Btn_Clicked(QObject *sender = nullptr);
  void View_Excel_Btn_Clicked(QObject *sender = nullptr);
  void Batch_Series_Btn_Clicked(QObject *sender = nullptr);
  void Browse_image_Btn_Clicked(QObject *sender = nullptr);
  void Clear_image_Btn_Clicked(QObject *sender = nullptr);
  void Preview_Btn_Clicked(QObject *sender = nullptr);
  // The view button of a field: View_Data_Series_By_Name with its series combo.
  void viewFieldSeries(int field);
  // Any data-source or series combo changed (by the user or by code).
  void comboBoxSelectionDidChange(QObject *combo);

  // ---- Controls and state, by name ---------------------------------------------------
  std::array<FieldControls, FieldCount> fields{};
  QLineEdit *image_path_val = nullptr;
  QLabel *user_picture = nullptr;
  QPushButton *browse_pic_btn = nullptr;
  QPushButton *clear_pic_btn = nullptr;
  QLineEdit *excel_path_field = nullptr;
  QLabel *Template_picture = nullptr;  // wizard window only
  QLabel *Preivew_picture = nullptr;
  QPushButton *browse_excel_btn = nullptr;
  QPushButton *view_excel_btn = nullptr;
  QPushButton *batch_series_btn = nullptr;
  QPushButton *preview_btn = nullptr;
  QPushButton *reset_btn = nullptr;
  QPushButton *help_btn = nullptr;
  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;
  // The card objects shown (not owned).
  QLNGraphicList Graphics_array;
  // "" (wizard), "F" or "B".
  QString load_side;
  QString checked_field_name;

protected:
  ProfileWindow() = default;

  // Builds the window: the field grid (with the wizard's side combos or the side
  // window's captions and check boxes, as `sideWindow` says), the spreadsheet row, the
  // photo, the pictures and the buttons. `extra` receives the layout under the grid.
  void buildWindow(const QString &objectName, const QString &title, bool sideWindow);
  // What the two windows do differently while opening and resetting.
  virtual void loadStarted(bool load) = 0;
  virtual void resetExtras() {}
  // A loaded field's value check box (side window).
  virtual void fieldLoaded(int field) { (void)field; }
  bool isSideWindow() const { return m_sideWindow; }

private:
  void applyDataSource(int field);
  void seriesChoiceChanged(int field);
  // `back`: the record is the back side's (the side column of the wizard window decides
  // which fields it takes as entered).
  bool fillRecord(User_Profile_Class &record, bool frontOrBack, bool back);
  // What a field shows: its value, source and series or column choice.
  struct FieldState {
    QString value;
    int source = 0;
    int choice = -1;
    QString choiceText;
    bool operator==(const FieldState &) const = default;
  };
  FieldState fieldState(int field) const;
  // Whether the field goes to the side (the wizard window's side column; front and back
  // in the side window).
  bool fieldIsForSide(int field, bool back) const;
  // The imported rows were replaced while the window is open: each field bound to a
  // column keeps it (by its title, or by its position where the rows have no column
  // names), or is typed by hand with a line in `unbound`.
  void importedRowsReplaced(const ImportedColumnHeads &previous, QStringList *unbound);
  void loadFromSide();
  void showPicture(QLabel *label, const QLNGraphicList &graphics);
  void setFieldValue(int field, const QString &value);
  QString fieldValue(int field) const;

  // The binding of a loaded profile object that the data-source list could not show,
  // with the value the field was loaded with.
  struct UnshownBinding {
    QString value;
    int source = 0;
    QString seriesName;
    int seriesIndex = 0;
    int column = 0;
  };
  std::array<std::optional<UnshownBinding>, FieldCount> m_unshownBinding{};
  // Each field as the window showed it when it opened: a field still so is left as it is
  // on the card.
  std::array<FieldState, FieldCount> m_opened{};

  bool m_sideWindow = false;
  OwnedWindow<QDialog> m_window;
};
