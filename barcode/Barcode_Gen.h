#pragma once
// Barcode_Gen: the barcode designer. Its window, built in code with every control under
// its design name, sets up one barcode card object; the designer is at the same time the
// holder of the current barcode settings. The renderers never read its controls: they
// take a BarcodeSettings value that settings() fills from the controls on the GUI
// thread, so batch output can render from a snapshot on a worker thread while the
// window is open, closed or being changed. The designer's own operations below are
// wrappers that take that snapshot and call the renderers.
//
// One instance per run (defaultInstance), reached through Barcode_Gen_Var once its load
// step (awakeFromNib) has run. The window runs modally through UiServices.

#include "barcode/BarcodeProduction.h"
#include "barcode/BarcodeSettings.h"
#include "canvas/RenderPicture.h"
#include "core/KeptWindow.h"

#include <QColor>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QToolButton>

#include <functional>
#include <memory>
#include <mutex>

class BRCBarcode;
class QCheckBox;
class QComboBox;
class QDialog;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QWidget;
class QLNGraphic;

// A colour well: a button showing its colour that opens the colour panel when pressed.
class BarcodeColorWell : public QToolButton {
  Q_OBJECT
public:
  explicit BarcodeColorWell(QWidget *parent = nullptr);
  QColor color() const { return m_color; }
  void setColor(const QColor &color);

signals:
  // A colour was chosen in the colour panel (not sent by setColor).
  void colorChosen();

private:
  QColor m_color = Qt::black;
};

// An image view for barcode pictures: it takes keyboard focus and consumes clicks, so a
// click starts no drag, selection or action.
class BRCBarcodeImageView : public QLabel {
  Q_OBJECT
public:
  explicit BRCBarcodeImageView(QWidget *parent = nullptr);
  bool acceptsFirstResponder() const { return true; }

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
};

class Barcode_Gen : public QObject {
  Q_OBJECT
public:
  // init: the five margins 0.1, the three fonts "Times New Roman" 10 points; the
  // window and its controls are built; the instance becomes the singleton.
  Barcode_Gen();
  ~Barcode_Gen() override;
  static Barcode_Gen *defaultInstance();
  // The designer of the run: the one already made, or one made (and loaded) now that
  // lives until the application quits. GUI thread only.
  static Barcode_Gen *sharedInstance();

  QDialog *window() const;

  // The load step: background colour, lists, defaults, the first preview; sets
  // Barcode_Gen_Var.
  void awakeFromNib();

  // The settings as the renderers read them, from the controls. GUI thread only.
  BarcodeSettings settings() const;
  // The same from any thread (taken on the GUI thread).
  BarcodeSettings settingsSnapshot() const;

  void Set_Barcode_Prop_To_Control(QLNGraphic *object);
  // The settings a barcode object is drawn with: the object's settings loaded into the
  // designer, then read back. GUI thread only.
  BarcodeSettings settingsOf(QLNGraphic *object);
  QLNGraphic *Open_Wnd(QLNGraphic *object);
  void OK_Btn_Clicked();
  void Cancel_Btn_Clicked();

  // The barcode of a value under the current settings; with display 1 it is shown in the
  // preview. Null in two-dimensional mode (the symbol is left in image_2d) and for an
  // empty or invalid value. While Not_Draw_Only_Prop_Change is set: testBarcode.
  std::shared_ptr<BRCBarcode> Generate_Barcode_Variable(char display, const QString &value, const QString &header,
                                                        const QString &footer);
  // The image of the barcode for a value under the current settings, for batch output:
  // any thread; the settings are taken on the GUI thread, the drawing happens on the
  // calling thread. Null for an empty value (in both modes), invalid content or no symbol.
  CardPicture Get_Image_From_Val(const QString &value, const QString &header, const QString &footer);

  void Liner_Barcode_Opt_Select();
  void two_d_barcode_Opt_Select();
  int Get_Print_State();
  void Check_And_Set_QR_size_Acc_Version(int version);
  bool Check_And_Validat_Barcode(bool showMessage, bool checkImage);
  void goButtonActionPerformed();
  void _setLabels();

  // Preview.
  void Get_Image_From_Barcode(const BRCBarcode *barcode);
  void Get_Image_From_barcode_image(const PointImage &image);
  void Get_2d_barcode_from_image();
  void Set_Barcode_On_Panel(const CardPicture &image);
  void Set_Blank_Image();
  // The blank preview with the error label telling that the symbol is too large to be
  // drawn at the resolution.
  void showSymbolTooLarge();
  // Whether the value text of a symbology can be spread over the barcode's width (not
  // for the UPC and EAN ones, whose value is printed in parts).
  static bool spreadsValue(const QString &symbology);
  // The image shown in the preview (null while blank).
  CardPicture previewImage() const { return m_preview; }

  // Resolution stepper and field.
  void DPI_Value_Changed(QObject *sender);
  void Encode_btn();
  // The series button: "Please select the series." without a chosen series, otherwise
  // the series is shown through viewSeries.
  void View_batch_Series_Button();
  // Shows a Batch Processing Series by name; set by the data-series windows. While it
  // is not set the series button is disabled.
  static std::function<void(const QString &)> &viewSeries();

  // ---- Text notifications, wait panel and mirroring (Barcode_Gen_Sheets.cpp) ---------
  // Every edit of the value, header and footer fields reaches controlTextDidChange. The
  // constructor calls it; a second call adds nothing.
  void Set_Text_Change_Notification();
  // The wait panel plz_wait_Window ("It may take a while, Please wait..") over the
  // designer's window while that is shown, and its end. Any thread: the panel is shown
  // and hidden on the GUI thread. A failure is logged.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();
  // The picture of an image view mirrored top to bottom, or left to right, about the
  // picture's own size (whatever the view's size); nothing without a picture.
  void flipImageVertically(QLabel *view);
  void flipImageHorizontally(QLabel *view);
  // Made by the first Show_Create_Modeless.
  QPointer<QDialog> plz_wait_Window;

  // ---- Option handlers (Barcode_Gen_Handlers.cpp) ------------------------------------
  // Every option control acts at once on the preview. A numeric option is a stepper
  // beside a text field; its handler takes the control that sent it, copies the value to
  // the other one and redraws. While Not_Draw_Only_Prop_Change is set (controls being
  // filled by code) the handlers do nothing, except the resolution list.
  void Value_Font_Changed();
  void Header_Font_Changed();
  void Footer_Font_Changed();
  // A font chosen in the font panel becomes the value, header or footer font.
  void changeFont(const QFont &font);
  void header_changeFont(const QFont &font);
  void footer_changeFont(const QFont &font);
  void textDidEndEditing(QObject *sender);
  void controlTextDidChange(QObject *sender);
  void textDidChange(QObject *sender);
  void comboBoxSelectionDidChange(QObject *sender);
  // What comboBoxSelectionDidChange does for each list.
  void resolutionListChanged();
  void dataSourceTypeChanged();
  void boundSeriesChanged();
  void twoDimensionalListChanged(QObject *sender);
  void barcodeAlignmentChanged();
  void barcodeTypeChanged();
  void Value_Margin_Changed(QObject *sender);
  void Header_Margin_Changed(QObject *sender);
  void Footer_Margin_Changed(QObject *sender);
  void TB_Margin_Changed(QObject *sender);
  void LR_Margin_Changed(QObject *sender);
  void heightChanged(QObject *sender);
  void widthChanged(QObject *sender);
  void pdf_heightChanged(QObject *sender);
  void PDF_Row_Changed(QObject *sender);
  void PDF_Col_Changed(QObject *sender);
  void PDF_EC_Lvl_Changed(QObject *sender);
  void dm_widthChanged(QObject *sender);
  void dm_heightChanged(QObject *sender);
  void dm_modulesizeChanged(QObject *sender);
  void data_matrix_barcode_size_acc_format();
  void captionChanged();
  void showinTopChanged();
  void hideHeaderChanged();
  void hideFooterChanged();
  void Header_Color_Changed();
  void Set_Font_Clr();
  void QR_Version_Help_Btn();
  void QR_EC_Lvl_Help_Btn();
  void PDF_row_Help_btn();
  void PDF_col_Help_btn();
  void PDF_ec_lvl_Help_btn();
  void DM_format_Help_btn();
  void DM_Encoding_Help_btn();
  // The code the last modal run of Open_Wnd ended with (1 OK, 0 Cancel; -1 before any).
  int lastModalCode() const { return m_lastModalCode; }
  QPushButton *qr_version_help_btn = nullptr, *qr_ec_lvl_help_btn = nullptr, *pdf_row_help_btn = nullptr,
              *pdf_col_help_btn = nullptr, *pdf_ec_lvl_help_btn = nullptr, *dm_format_help_btn = nullptr,
              *dm_encoding_help_btn = nullptr;

  // ---- Designer fields
  std::shared_ptr<BRCBarcode> testBarcode;
  std::shared_ptr<BRCBarcode> testBarcode_EXP() const;
  int liner_or_2D_font = 0;
  float value_margin = 0.1f, header_margin = 0.1f, footer_margin = 0.1f, LR_margin = 0.1f, TB_margin = 0.1f;
  FontSpec value_font{QStringLiteral("Times New Roman"), 10.0};
  FontSpec header_font{QStringLiteral("Times New Roman"), 10.0};
  FontSpec footer_font{QStringLiteral("Times New Roman"), 10.0};
  TwoDTexts twoD;  // content, header, footer, switches, text measures, height, width
  QRectF bar_image_frame_rect;
  PointImage image_2d;
  QByteArray dataMatrixEPS;  // EPS text of the last DataMatrix symbol
  pdf417View pdf_barcode;    // draws the preview's PDF417 symbol and keeps it for its EPS
  QLNGraphic *pass_barcode_control = nullptr;

  // ---- Controls (design names)
  QComboBox *barcodeTypePopup = nullptr;
  QLineEdit *dataText = nullptr;
  QScrollArea *dataText_2D_scl_v = nullptr;
  QPlainTextEdit *dataText_2D = nullptr;
  QLineEdit *HeaderText = nullptr, *FooterText = nullptr;
  QCheckBox *hideHeaderCheckbox = nullptr, *hideFooterCheckbox = nullptr, *captionCheckbox = nullptr,
            *showinTopCheckbox = nullptr, *kerning_value_Checkbox = nullptr;
  QComboBox *align_hdr_combo = nullptr, *align_ftr_combo = nullptr, *bar_align_combo = nullptr,
            *bar_orient_combo = nullptr;
  QLineEdit *HeightText = nullptr, *widthText = nullptr, *HeightText_2D = nullptr;
  QDoubleSpinBox *HeightStepper = nullptr, *widthStepper = nullptr, *HeightStepper_2D = nullptr;
  QComboBox *qr_version_ComboBox = nullptr, *qr_ec_lvl_ComboBox = nullptr, *qr_enc_mode_ComboBox = nullptr;
  QLineEdit *pdf_HeightText_2D = nullptr, *Pdf_widthText_2D = nullptr, *pdf_ec_lvl_Text = nullptr,
            *pdf_row_Text = nullptr, *pdf_col_Text = nullptr;
  QDoubleSpinBox *pdf_HeightStepper_2D = nullptr, *Pdf_widthStepper_2D = nullptr, *pdf_ec_lvl_Stepper = nullptr,
                 *pdf_row_Stepper = nullptr, *pdf_col_Stepper = nullptr;
  QLineEdit *dm_moduleText_2D = nullptr, *dm_HeightText_2D = nullptr, *dm_widthText_2D = nullptr;
  QDoubleSpinBox *dm_moduleStepper_2D = nullptr, *dm_HeightStepper_2D = nullptr, *dm_widthStepper_2D = nullptr;
  QComboBox *dm_format_ComboBox = nullptr, *dm_encoding_ComboBox = nullptr;
  QLineEdit *hdr_mar_Text = nullptr, *ftr_mar_Text = nullptr, *val_mar_Text = nullptr, *TB_mar_Text = nullptr,
            *LR_mar_Text = nullptr;
  QDoubleSpinBox *hdr_mar_Stepper = nullptr, *ftr_mar_Stepper = nullptr, *val_mar_Stepper = nullptr,
                 *TB_mar_Stepper = nullptr, *LR_mar_Stepper = nullptr;
  QLabel *value_font_value = nullptr, *header_font_value = nullptr, *footer_font_value = nullptr;
  BarcodeColorWell *bar_hdr_clr = nullptr, *bar_ftr_clr = nullptr, *bar_val_clr = nullptr, *bar_back_clr = nullptr,
                   *barcode_clr = nullptr;
  QComboBox *DPI_ComboBox = nullptr;
  QLineEdit *dpi_Text = nullptr;
  QDoubleSpinBox *dpi_Stepper = nullptr;
  QComboBox *Data_source_type = nullptr, *Batch_Series = nullptr;
  QScrollArea *image_scroll = nullptr;
  BRCBarcodeImageView *barcodeImage = nullptr;
  QLabel *barcode_error_label = nullptr;
  QTabWidget *sett_tab = nullptr;
  QWidget *dpi_tab_item = nullptr;
  QGroupBox *linear_sett_box = nullptr, *two_d_sett_box = nullptr, *pdf_2d_sett_box = nullptr,
            *dm_2d_sett_box = nullptr, *margin_box = nullptr;
  QLabel *barHeightLabel = nullptr, *barWidthLabel = nullptr, *val_mar_label = nullptr, *val_font_label = nullptr,
         *val_clr_label = nullptr, *bar_clr_label = nullptr, *bar_bk_clr_label = nullptr;
  QPushButton *val_font_btn = nullptr, *hdr_font_btn = nullptr, *ftr_font_btn = nullptr;
  QPushButton *view_series_btn = nullptr, *encode_btn = nullptr, *ok_btn = nullptr, *cancel_btn = nullptr,
              *dpi_help_btn = nullptr;

private:
  void buildWindow();
  QWidget *buildValuePanel();
  QWidget *buildPreviewPanel();
  QWidget *buildBarcodeTab();
  QWidget *buildTextTab();
  QWidget *buildColourTab();
  QWidget *buildResolutionTab();
  QWidget *buildButtons();
  void connectActions();
  // Connects the option controls to their handlers (Barcode_Gen_Handlers.cpp).
  void connectOptionHandlers();
  // Redraw steps of the handlers: the linear barcode's height and its image, its image
  // alone, its bar width and image (all nothing without testBarcode).
  void heightAndImage();
  void imageOnly();
  void barWidthStep();
  // Shows a resolution in the custom field and its stepper, held to the stepper's range;
  // a text that is no number (an emptied field) keeps the stepper's value. Returns the
  // value shown. Sets no resolution by itself.
  int setDpiField(const QString &text);
  // The controls that follow the data source `choice` (0 manual, 1 series, 2 spreadsheet
  // column): the value fields are read-only and the list and its button enabled for a
  // binding, and the list holds the saved series or the spreadsheet's column titles
  // with the object's own selected. Binds nothing; false for a series choice when no
  // series is saved.
  bool showDataSource(int choice);
  // OK's binding: the series or column the list shows, when it is neither the object's
  // own binding as loaded nor one chosen already, is taken as choosing it takes it.
  void takeShownBinding();
  // A barcode bound to an imported column shows that column's first value of the rows
  // held now, as the card does, not the value it was bound with: rows imported since
  // have other values. Without rows, or for a column the rows lack, the value stays.
  void showImportedColumnsFirstValue(const QLNGraphic &object);
  // Puts `value` into the value field of the current mode (linear or two-dimensional)
  // without its change handlers answering: the caller draws it when it is ready.
  void showValue(const QString &value);
  // The header and footer texts and font sizes of the two-dimensional barcode.
  void twoDHeaderFooter();
  void setFontLabel(QLabel *label, const FontSpec &font);
  // A font chosen in the font panel for the caption, header or footer: stored, shown
  // in its label, and the preview measured and drawn anew.
  void applyChosenFont(const QFont &chosen, FontSpec &font, QLabel *label, void (BRCBarcode::*setFontSize)(float));

  CardPicture m_preview;
  // The last preview build gave no symbol only because it is too large to draw.
  bool m_symbolTooLarge = false;
  // The custom resolution field as the last object loaded showed it.
  QString m_loadedDpiText;
  // The list item the bound series (or column) was last taken from; -1 after the list
  // was filled anew.
  int m_boundListIndex = -1;
  // The data source and the list item the last object loaded showed its binding with,
  // and its resolution list item.
  int m_loadedSource = 0;
  int m_loadedListIndex = -1;
  int m_loadedDpiIndex = 0;
  int m_lastModalCode = -1;
  bool m_observingTextChanges = false;
  mutable std::mutex m_expMutex;
  std::shared_ptr<BRCBarcode> m_testBarcode_EXP;
  OwnedWindow<QDialog> m_window;
};

// The designer, once its load step has run (null before).
extern Barcode_Gen *Barcode_Gen_Var;
// The barcode image last produced by the designer's OK or Cancel or by batch output.
extern CardPicture Barcode_output_image;
// Resolution of rendered barcodes in dots per inch.
extern int USED_DPI_VALUE;
// Measurement unit of bar heights and margins: 0 inch, 1 centimetre, 2 millimetre.
extern int Measument_Unit_Is;
extern int last_unit_val;
// Points per module of the two-dimensional drawing, set by the last build.
extern int Barcode_module_size;
