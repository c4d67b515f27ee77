#pragma once
// Card_Wizard: the card size window. The user picks the card's shape, its category
// (PVC or paper), the orientation and a preset size of the category, or types a width
// and a height in millimetres; OK gives the three canvases that size (1), Cancel sets
// the card shape back to the rectangle (0).
//
// One instance per main window (the controller makes it on first use). Main thread only.

#include "core/KeptWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QLNWindowController;
class RadioMatrix;
class Stepper;

class Card_Wizard : public QObject {
  Q_OBJECT
public:
  explicit Card_Wizard(QLNWindowController *controller, QObject *parent = nullptr);
  ~Card_Wizard() override;
  static Card_Wizard *defaultInstance();

  QDialog *window() const { return m_window; }

  // The rectangle row and the first item of each combo box selected, the presets of the
  // first category listed; runs the window and returns its code (1 OK, 0 Cancel or a
  // failure, which is logged).
  int Open_Wnd();
  // The width and height steppers (millimetres) onto the document and the canvases.
  void OK_Click(QObject *sender = nullptr);
  // Card_Shape back to 0.
  void CancelClick(QObject *sender = nullptr);
  // Appends the trimmed name as a preset row; an empty name adds nothing.
  void Create_List(const QString &name);
  void Mark_List_New_Selection(int row);
  // The selected preset's size (category, orientation) into the width and height fields.
  void tableViewSelectionDidChange();
  // The category combo refills the preset list (the first row selected).
  void comboBoxSelectionDidChange(QObject *sender);
  // Card_Shape = the selected shape row.
  void card_shape_CellClick(QObject *sender = nullptr);
  // The profile window with no side: its fields go into the front and back profile
  // records (nothing is placed); the answer is not used.
  void User_Profile_Click(QObject *sender = nullptr);

  // Rows of the preset list: each {"Extension": name}.
  QList<QVariantMap> ListData;

  // The window's controls, by name.
  QLineEdit *card_name = nullptr;
  QComboBox *Sides_ComboBox = nullptr;
  QComboBox *Category_ComboBox = nullptr;
  QComboBox *Preset_ComboBox = nullptr;
  QTableWidget *ColList = nullptr;
  Stepper *width_Stepper = nullptr;
  QLineEdit *width_Text = nullptr;
  Stepper *height_Stepper = nullptr;
  QLineEdit *height_Text = nullptr;
  RadioMatrix *matrix_card_shape = nullptr;
  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;
  QPushButton *User_Profile_btn = nullptr;

private:
  void buildWindow();
  void reloadList();
  // A value typed into a size field reaches its stepper.
  void commitSizeFields();

  QLNWindowController *m_controller;
  bool m_filling = false;
  OwnedWindow<QDialog> m_window;
};
