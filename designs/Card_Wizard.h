#pragma once
// Card_Wizard: the card size window. It opens on the card as it is (shape, sides,
// category, orientation, preset and size); the user picks the card's shape, its sides,
// its category (PVC or paper), the orientation and a preset size of the category, or
// types a width and a height in millimetres. OK gives the card that size and shape: the
// three canvases, the main window's card tabs and both sides' settings, so the design
// counts as changed and its file keeps them (1). Cancel gives the card its shape back
// (0).
//
// One instance per main window (the controller makes it on first use). Main thread only.

#include "core/KeptWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSizeF>
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

  // Shows the card as it is, then runs the window and returns its code (1 OK, 0
  // Cancel or a failure, which is logged).
  int Open_Wnd();
  // The width and height steppers (millimetres) onto the document and the canvases, and
  // the size, shape, sides and preset into the card tabs and both sides' settings.
  void OK_Click(QObject *sender = nullptr);
  // Card_Shape back to the card's shape from before the window opened.
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
  // records; the card the window makes is given them after OK (Open_Card_Size_Clicked).
  void User_Profile_Click(QObject *sender = nullptr);
  // Whether a profile was accepted since the window last opened.
  bool profileAccepted() const { return m_profileAccepted; }

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
  // The controls from the card: Card_Shape, the main window's sides, orientation,
  // category and preset row, and the canvases' size.
  void showTheCard();
  // What the window shows that OK gives the card, apart from the size.
  struct Choice {
    int shape = -1;
    int sides = -1;
    int orientation = -1;
    int category = -1;
    int preset = -1;
    bool operator==(const Choice &) const = default;
  };
  Choice chosen() const;
  // The canvases' size and what OK chose into the main window's card tabs and both
  // sides' settings.
  void applyToTheCard();
  void reloadList();
  // A value typed into a size field reaches its stepper.
  void commitSizeFields();

  QLNWindowController *m_controller;
  bool m_filling = false;
  // The card as the window opened on it: its shape, its size in points and what the
  // window showed; whether the user chose a size since.
  int m_shapeWhenOpened = 0;
  QSizeF m_cardSize;
  Choice m_opened;
  bool m_sizeChosen = false;
  bool m_profileAccepted = false;
  OwnedWindow<QDialog> m_window;
};
