#pragma once
// Print_Wnd: the print setup window. The user picks the printer (every installed queue
// and always "Print to PDF file"), the paper and orientation (page setup), the size of
// one card in millimetres, rows and columns per sheet (lowered to what fits on the
// paper), the gaps, the position of the block of cards (nine positions) or automatic
// centring, the sides ("F", "B", "BOTH" stacked or side by side), how many labels and
// copies, and whether the series and spreadsheet values of a batch are used. It keeps
// its settings in the print-layout globals (output/model/PrintLayout.h), shows the first
// sheet in a thumbnail (Sample_Preview) and prints or previews a Printing_View.
//
// One instance per main window (made by the main window's Print command on first use).
// Field and stepper of the layout come as one spin box each. GUI thread only.

#include "canvas/RenderPicture.h"
#include "core/KeptWindow.h"
#include "output/model/PrintLayout.h"

#include <QDialog>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>

#include <array>
#include <memory>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPageLayout;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QLNWindowController;
class Sample_Preview;
class Print_Wnd;

// The printer, paper and orientation the window prints with; kept for the whole run.
extern QPrinter *printInfo;
// The window, once it exists.
extern Print_Wnd *Print_Var;

class Print_Wnd : public QObject {
  Q_OBJECT
public:
  explicit Print_Wnd(QLNWindowController *controller, QObject *parent = nullptr);
  ~Print_Wnd() override;

  // The instance made last (null before).
  static Print_Wnd *defaultInstance();
  // The printer list's entry that writes a PDF file instead of printing on a device.
  static const QString PdfPrinterName;  // "Print to PDF file"
  // The paper size of the print info in points (orientation applied); empty without one.
  static QSizeF paperSize();
  // The name of the standard paper of `width` x `size_hgt` millimetres (texts such as
  // "210.00" or "210"), in either orientation, to the hundredth of a millimetre; "" for
  // a size that is no standard paper or a text that is no number.
  static QString Find_Papaer_Name_From_Size(const QString &width, const QString &size_hgt);

  QDialog *window() const { return m_window; }

  // Resets and fills the window, runs it modally, returns when it closes. True when the
  // run ended normally (OK or Cancel).
  bool Open_Print_Wnd();

  // ---- Actions ------------------------------------------------------------------------
  void Width_Changed(QObject *sender = nullptr);
  void Height_Changed(QObject *sender = nullptr);
  void Horz_Margin_Changed(QObject *sender = nullptr);
  void Vert_Margin_Changed(QObject *sender = nullptr);
  void Row_Changed(QObject *sender = nullptr);
  void Col_Changed(QObject *sender = nullptr);
  void pagesetup(QObject *sender = nullptr);
  void PreviewButtonPressed(QObject *sender = nullptr);
  void PrintButtonPressed(QObject *sender = nullptr);
  void CancelButtonPressed(QObject *sender = nullptr);
  // A combo box's new selection: the printer list, the orientation list or the
  // arrangement list.
  void comboBoxSelectionDidChange(QObject *combo);
  void Show_Margin_Checked(QObject *sender = nullptr);
  void Auto_Center_Checked(QObject *sender = nullptr);
  // The nine position buttons (value 1 to 9 in reading order).
  void Top_left_btn_clicked(QObject *sender = nullptr);
  void Top_center_btn_clicked(QObject *sender = nullptr);
  void Top_rite_btn_clicked(QObject *sender = nullptr);
  void Mid_left_btn_clicked(QObject *sender = nullptr);
  void Mid_center_btn_clicked(QObject *sender = nullptr);
  void Mid_rite_btn_clicked(QObject *sender = nullptr);
  void Bot_left_btn_clicked(QObject *sender = nullptr);
  void Bot_center_btn_clicked(QObject *sender = nullptr);
  void Bot_rite_btn_clicked(QObject *sender = nullptr);
  void card_side_CellClick(QObject *sender = nullptr);
  void Print_With_Batch_Changed(QObject *sender = nullptr);
  void Print_With_Excel_Changed(QObject *sender = nullptr);

  // ---- Operations ---------------------------------------------------------------------
  void Set_Reset_Alignemnt_Image();
  // The binding checked again, with the sources whose box is off switched off.
  void Verify_Card_Count();
  // Paper name, size and margins from the print info; the thumbnail follows.
  void Set_values_From_Printer();
  // Rows and columns lowered to what fits on the paper, the label size and gaps taken
  // from the fields; the thumbnail follows.
  void Check_Max_Cell_Value();
  // Prints (or previews) the labels with the current settings. The preview's own Print
  // button prints as the Print button does.
  void Execute_Printing(bool preview);
  // Asks whether to print a card larger than its label cell; true when it fits or the
  // answer is Yes.
  bool oversizedCardAccepted(const PrintLayout::Settings &settings);
  // The thumbnail drawn anew into the image view.
  void Refresh_Preview();

  // ---- Outlets --------------------------------------------------------------------------
  QComboBox *Printer_ComboBox = nullptr;
  QComboBox *Orient_ComboBox = nullptr;
  QLabel *Paper_id = nullptr;
  QLabel *Size_id = nullptr;
  QLabel *l_mar_id = nullptr;
  QLabel *r_mar_id = nullptr;
  QLabel *t_mar_id = nullptr;
  QLabel *b_mar_id = nullptr;
  QDoubleSpinBox *width_Text = nullptr;
  QDoubleSpinBox *height_Text = nullptr;
  QDoubleSpinBox *horz_mar_Text = nullptr;
  QDoubleSpinBox *vert_mar_Text = nullptr;
  QSpinBox *Row_Text = nullptr;
  QSpinBox *Col_Text = nullptr;
  QSpinBox *Total_Text = nullptr;
  QSpinBox *Copies_Text = nullptr;
  QCheckBox *Show_Margins = nullptr;
  QCheckBox *Auto_Center_chk_bx = nullptr;
  QGroupBox *align_Gp_Bx = nullptr;
  QToolButton *top_left_btn = nullptr;
  QToolButton *top_center_btn = nullptr;
  QToolButton *top_rite_btn = nullptr;
  QToolButton *mid_left_btn = nullptr;
  QToolButton *mid_center_btn = nullptr;
  QToolButton *mid_rite_btn = nullptr;
  QToolButton *bot_left_btn = nullptr;
  QToolButton *bot_center_btn = nullptr;
  QToolButton *bot_rite_btn = nullptr;
  // The side choice: row 0 "BOTH", row 1 "F", row 2 "B".
  std::array<QRadioButton *, 3> matrix_card_side{};
  QComboBox *print_alignment = nullptr;
  QCheckBox *print_with_batch_chk = nullptr;
  QCheckBox *print_with_excel_chk = nullptr;
  Sample_Preview *PrintView = nullptr;
  QLabel *test_image_view = nullptr;
  QPushButton *Page_Setup_btn = nullptr;
  QPushButton *Preview_btn = nullptr;
  QPushButton *Print_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;

  QString card_side_str = QStringLiteral("F");
  // The design's sides as rendered when the window opened (null until then).
  CardPicture front_image;
  CardPicture back_image;
  // True while the window is filled at opening: the thumbnail is not refreshed.
  bool loading = false;

private:
  void build();
  void buildPrinterPanel(class QGridLayout *grid);
  void buildLayoutPanel(class QGridLayout *grid);
  void buildPositionPanel(class QVBoxLayout *box);
  void buildSidePanel(class QVBoxLayout *box);
  void connectActions();
  // Execute_Printing after the size question: prints or previews once. True when the
  // preview was closed with its own Print button.
  bool printLabels(bool preview);
  void setPosition(int value);
  QToolButton *positionButton(int value) const;
  // The print info's printer set to the list's current entry.
  void selectPrinter(const QString &name);

  QLNWindowController *m_controller;
  std::unique_ptr<QPrinter> m_printer;
  // The position images, plain and selected, by value - 1 (loaded once).
  std::array<QIcon, 9> m_images;
  std::array<QIcon, 9> m_selectedImages;
  QButtonGroup *m_sideGroup = nullptr;
  OwnedWindow<QDialog> m_window;
};
