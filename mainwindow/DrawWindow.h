#pragma once
// DrawWindow: the widgets of the main window "DrawWindow" and of the windows that come
// with it (the export sheet, the export-finished box, the wait and progress sheets, the
// help, review and template-name windows). Every widget is a member named exactly like
// its object name, so code and tests find the same control by either.
//
// build() makes everything once, calling one builder per part of the main window, per
// property tab and per window (DrawWindow*.cpp); the main window is then ready but
// hidden. Nothing is connected to the controller here: the widgets only do what belongs
// to themselves (a field typed into reaches its stepper, OK and Cancel of a plain dialog
// end it).
//
// Layout of the main window (1000 by 800 points):
//   top          the command toolbar and the edit toolbar
//   left         the tool column (16 tools)
//   middle       the side buttons and label, the canvas area `myTargetView` holding the
//                container of the current side, and the background browser
//   right        the property panel `sett_tab` with its fifteen tabs (the three of the
//                card in view at first, the objects' made when first needed)

#include "mainwindow/DeferredWidgets.h"

#include <QList>
#include <QStringList>

#include <array>

class QLNGraphicView;
class QLNZoomingScrollView;
class ColorWell;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class ImageBrowser;
class QMainWindow;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QToolButton;
class QVBoxLayout;
class QWidget;
class RadioMatrix;
class Stepper;
class ValueSlider;

class DrawWindow {
public:
  DrawWindow();
  ~DrawWindow();
  DrawWindow(const DrawWindow &) = delete;
  DrawWindow &operator=(const DrawWindow &) = delete;

  // Makes every widget; the main window is the parent (directly or as dialog owner) of
  // all of them, so deleting `window` deletes everything.
  void build();

  // Titles of the fifteen property tabs, in tab order (index 0 card_setting_tab ...).
  static const QStringList &tabTitles();
  // The fifteen tab pages in tab order (the objects' tabs are made if they are not yet).
  std::array<QWidget *, 15> tabPages() const;
  // The same, without making anything: the objects' tabs are null until they are made.
  std::array<QWidget *, 15> tabPagesMade() const;
  // The fill radios of the shape (text) tab set for a solid, gradient or pattern fill,
  // and only the controls of that fill enabled.
  void showShapeFill(bool gradient, bool hatch);
  void showTextFill(bool gradient);

  // ---- Main window -------------------------------------------------------------------------
  QMainWindow *window = nullptr;   // objectName "DrawWindow"
  QMainWindow *Main_wnd = nullptr; // the same window

  // Command toolbar
  QToolButton *Card_Prop_btn = nullptr;
  QToolButton *Card_Bckgrnd_btn = nullptr;
  QToolButton *Export_As_Template_btn = nullptr;
  QToolButton *Batch_Series_btn = nullptr;
  QToolButton *Import_Wizard_btn = nullptr;
  QToolButton *Create_Series_btn = nullptr;
  QToolButton *User_Profile_btn = nullptr;
  QToolButton *Export_btn = nullptr;
  QToolButton *Mail_btn = nullptr;
  QToolButton *Print_btn = nullptr;
  QToolButton *Help_btn = nullptr;
  QToolButton *Exit_btn = nullptr;
  // Edit toolbar
  QToolButton *Undo_btn = nullptr;
  QToolButton *Redo_btn = nullptr;
  QToolButton *Cut_btn = nullptr;
  QToolButton *Copy_btn = nullptr;
  QToolButton *Paste_btn = nullptr;
  QToolButton *Delete_btn = nullptr;
  QToolButton *Begin_Front_btn = nullptr;
  QToolButton *Send_Back_btn = nullptr;
  QToolButton *Lock_btn = nullptr;
  QToolButton *Unlock_btn = nullptr;

  // Tool column, in tool id order (0 arrow ... 15 polygon)
  QToolButton *Arrow_Tool_btn = nullptr;
  QToolButton *Line_Tool_btn = nullptr;
  QToolButton *Text_Tool_btn = nullptr;
  QToolButton *Rect_Tool_btn = nullptr;
  QToolButton *Circle_Tool_btn = nullptr;
  QToolButton *Round_Rect_Tool_btn = nullptr;
  QToolButton *Triangle_Tool_btn = nullptr;
  QToolButton *Diamond_Tool_btn = nullptr;
  QToolButton *Image_Tool_btn = nullptr;
  QToolButton *Image_Library_Tool_btn = nullptr;
  QToolButton *Barcode_Tool_btn = nullptr;
  QToolButton *Signature_Tool_btn = nullptr;
  QToolButton *Fingure_Print_Tool_btn = nullptr;
  QToolButton *Star_Tool_btn = nullptr;
  QToolButton *Double_Star_Tool_btn = nullptr;
  QToolButton *Polygon_Tool_btn = nullptr;
  QButtonGroup *toolGroup = nullptr;  // ids are the tool ids
  std::array<QToolButton *, 16> toolButtons() const;

  // Side bar and canvas area
  QToolButton *Front_Side_btn = nullptr;
  QToolButton *Back_Side_btn = nullptr;
  QToolButton *Temp_Side_btn = nullptr;
  QLabel *Front_back_label = nullptr;
  QCheckBox *Show_Hide_Ruler_chk = nullptr;
  QWidget *myTargetView = nullptr;
  QWidget *first_view = nullptr;
  QWidget *second_view = nullptr;
  QWidget *temp_design_view = nullptr;
  // The zooming scroll views of the sides, each with its canvas, zoom list and rulers.
  QLNZoomingScrollView *_zoomingScrollView = nullptr;
  QLNZoomingScrollView *_zoomingScrollView_BACK = nullptr;
  QLNZoomingScrollView *_zoomingScrollView_TEMP = nullptr;
  // The editing canvases of the front, back and temp side.
  QLNGraphicView *_graphicView = nullptr;
  QLNGraphicView *_graphicView_BACK = nullptr;
  QLNGraphicView *_graphicView_TEMP = nullptr;
  ImageBrowser *imageBrowser = nullptr;

  // Property panel. The ten tabs of the objects are made when first needed (the panel
  // shows the card's tabs until an object is selected): `objectTabs` holds them.
  mutable DeferredPart objectTabs{[this] { buildObjectTabs(); }};
  QTabWidget *sett_tab = nullptr;
  QWidget *card_setting_tab = nullptr;
  QWidget *card_info_tab = nullptr;
  QWidget *card_size_tab = nullptr;
  QWidget *card_bkgd_tab = nullptr;
  QWidget *card_brdr_tab = nullptr;
  Deferred<QWidget> line_tab{objectTabs};
  Deferred<QWidget> shape_tab{objectTabs};
  Deferred<QWidget> text_edtng_tab{objectTabs};
  Deferred<QWidget> text_prop_tab{objectTabs};
  Deferred<QWidget> image_tab{objectTabs};
  Deferred<QWidget> sign_tab{objectTabs};
  Deferred<QWidget> datasource_tab{objectTabs};
  Deferred<QWidget> aligmnt_tab{objectTabs};
  Deferred<QWidget> barcode_tab{objectTabs};
  Deferred<QWidget> Lock_tab{objectTabs};

  // card_setting_tab: name, sides, shape, size, content font and colour
  QLineEdit *card_name = nullptr;
  QComboBox *Sides_ComboBox = nullptr;
  RadioMatrix *matrix_card_shape = nullptr;
  QLineEdit *width_Text = nullptr;
  Stepper *width_Stepper = nullptr;
  QLineEdit *height_Text = nullptr;
  Stepper *height_Stepper = nullptr;
  QPushButton *Apply_Size_btn = nullptr;
  ColorWell *All_Text_clr = nullptr;
  QLineEdit *All_Text_font_value = nullptr;
  QPushButton *Content_Font_btn = nullptr;
  QToolButton *Content_Font_Decrease_btn = nullptr;
  QToolButton *Content_Font_Increase_btn = nullptr;
  // card_info_tab: what the panel keeps out of sight
  QLabel *card_info_lbl = nullptr;
  ColorWell *All_Text_clr_COPY = nullptr;
  QLineEdit *All_Text_font_value_COPY = nullptr;
  QLineEdit *sel_control_name = nullptr;
  // card_size_tab: category, orientation preset and the size list
  QComboBox *Category_ComboBox = nullptr;
  QComboBox *Preset_ComboBox = nullptr;
  QTableView *ColList = nullptr;
  QStandardItemModel *ColListModel = nullptr;
  // card_bkgd_tab
  QCheckBox *Card_fill_chk = nullptr;
  QGroupBox *Card_Fill_Box = nullptr;
  QRadioButton *Card_solid_fill_rd = nullptr;
  QRadioButton *Card_gradient_fill_rd = nullptr;
  QRadioButton *Card_Style_fill_rd = nullptr;
  QRadioButton *Card_Image_fill_rd = nullptr;
  ColorWell *Card_fill_clr = nullptr;
  ColorWell *Card_fill_Grd_1_clr = nullptr;
  ColorWell *Card_fill_Grd_2_clr = nullptr;
  QLineEdit *Card_grad_Text = nullptr;
  Stepper *Card_grad_Stepper = nullptr;
  QComboBox *Card_hatch_style = nullptr;
  ColorWell *Card_hatch_bk_clr = nullptr;
  QGroupBox *Card_image_box = nullptr;
  QLineEdit *Card_Image_path = nullptr;
  QPushButton *Card_Image_Browse_btn = nullptr;
  QPushButton *Card_Image_Library_btn = nullptr;
  QComboBox *Card_image_layout = nullptr;
  QLineEdit *Card_alpha_Text = nullptr;
  Stepper *Card_alpha_Stepper = nullptr;
  // card_brdr_tab
  QCheckBox *Card_border_chk = nullptr;
  QGroupBox *Card_Border_Box = nullptr;
  ColorWell *Card_bordr_clr = nullptr;
  QLineEdit *Card_bor_Text = nullptr;
  Stepper *Card_bor_Stepper = nullptr;
  QComboBox *Card_border_style = nullptr;
  // line_tab
  Deferred<ColorWell> Line_clr{objectTabs};
  Deferred<QLineEdit> Line_Wdt_Text{objectTabs};
  Deferred<Stepper> Line_Wdt_Stepper{objectTabs};
  Deferred<QComboBox> Line_border_style{objectTabs};
  Deferred<QComboBox> Line_ori_style{objectTabs};
  Deferred<QComboBox> Line_cap_style{objectTabs};
  Deferred<QLineEdit> Line_alpha_Text{objectTabs};
  Deferred<Stepper> Line_alpha_Stepper{objectTabs};
  // shape_tab
  Deferred<QLabel> Shape_prop_title{objectTabs};
  Deferred<QCheckBox> Shape_border_chk{objectTabs};
  Deferred<QGroupBox> Shape_Border_Box{objectTabs};
  Deferred<ColorWell> shape_bordr_clr{objectTabs};
  Deferred<QLineEdit> shape_bor_Text{objectTabs};
  Deferred<Stepper> shape_bor_Stepper{objectTabs};
  Deferred<QComboBox> shape_border_style{objectTabs};
  Deferred<QCheckBox> Shape_fill_chk{objectTabs};
  Deferred<QGroupBox> Shape_Fill_Box{objectTabs};
  Deferred<QRadioButton> Shape_solid_fill_rd{objectTabs};
  Deferred<QRadioButton> Shape_gradient_fill_rd{objectTabs};
  Deferred<QRadioButton> Shape_Style_fill_rd{objectTabs};
  Deferred<ColorWell> shape_fill_clr{objectTabs};
  Deferred<ColorWell> shape_fill_Grd_1_clr{objectTabs};
  Deferred<ColorWell> shape_fill_Grd_2_clr{objectTabs};
  Deferred<QLineEdit> shape_grad_Text{objectTabs};
  Deferred<Stepper> shape_grad_Stepper{objectTabs};
  Deferred<QComboBox> shape_hatch_style{objectTabs};
  Deferred<ColorWell> shape_hatch_bk_clr{objectTabs};
  Deferred<QLineEdit> shape_alpha_Text{objectTabs};
  Deferred<Stepper> shape_alpha_Stepper{objectTabs};
  Deferred<QLabel> shape_cor_radius_Label{objectTabs};
  Deferred<QLineEdit> shape_cor_radius_Text{objectTabs};
  Deferred<Stepper> shape_cor_radius_Stepper{objectTabs};
  Deferred<QLabel> double_star_Label{objectTabs};
  Deferred<QLineEdit> double_star_Text{objectTabs};
  Deferred<Stepper> double_star_Stepper{objectTabs};
  Deferred<QLabel> polygon_Label{objectTabs};
  Deferred<QLineEdit> polygon_Text{objectTabs};
  Deferred<Stepper> polygon_Stepper{objectTabs};
  // text_edtng_tab
  Deferred<QPlainTextEdit> Text_value_Edit{objectTabs};
  Deferred<QPushButton> insert_template_btn{objectTabs};
  Deferred<QComboBox> Text_Date_style{objectTabs};
  Deferred<QPushButton> Text_Insert_Date_btn{objectTabs};
  Deferred<QComboBox> Text_Time_style{objectTabs};
  Deferred<QPushButton> Text_Insert_Time_btn{objectTabs};
  // text_prop_tab
  Deferred<QLineEdit> Text_font_value{objectTabs};
  Deferred<QPushButton> Text_Font_btn{objectTabs};
  Deferred<ColorWell> Text_clr{objectTabs};
  Deferred<QComboBox> Text_align_combo{objectTabs};
  Deferred<QComboBox> Text_case_combo{objectTabs};
  Deferred<QLineEdit> Text_Kern_Text{objectTabs};
  Deferred<Stepper> Text_Kern_Stepper{objectTabs};
  Deferred<QLineEdit> Text_alpha_Text{objectTabs};
  Deferred<Stepper> Text_alpha_Stepper{objectTabs};
  Deferred<QCheckBox> Text_border_chk{objectTabs};
  Deferred<QGroupBox> Text_Border_Box{objectTabs};
  Deferred<ColorWell> Text_bordr_clr{objectTabs};
  Deferred<QLineEdit> Text_bor_Text{objectTabs};
  Deferred<Stepper> Text_bor_Stepper{objectTabs};
  Deferred<QComboBox> Text_border_style{objectTabs};
  Deferred<QCheckBox> Text_fill_chk{objectTabs};
  Deferred<QGroupBox> Text_Fill_Box{objectTabs};
  Deferred<QRadioButton> Text_solid_fill_rd{objectTabs};
  Deferred<QRadioButton> Text_gradient_fill_rd{objectTabs};
  Deferred<ColorWell> Text_fill_clr{objectTabs};
  Deferred<ColorWell> Text_fill_Grd_1_clr{objectTabs};
  Deferred<ColorWell> Text_fill_Grd_2_clr{objectTabs};
  Deferred<QLineEdit> Text_grad_Text{objectTabs};
  Deferred<Stepper> Text_grad_Stepper{objectTabs};
  // image_tab
  Deferred<QCheckBox> Image_border_chk{objectTabs};
  Deferred<QGroupBox> Image_Border_Box{objectTabs};
  Deferred<ColorWell> Image_bordr_clr{objectTabs};
  Deferred<QLineEdit> Image_bor_Text{objectTabs};
  Deferred<Stepper> Image_bor_Stepper{objectTabs};
  Deferred<QComboBox> Image_border_style{objectTabs};
  Deferred<QCheckBox> Image_FIH_chk{objectTabs};
  Deferred<QCheckBox> Image_FIV_chk{objectTabs};
  Deferred<QCheckBox> Image_Invert_chk{objectTabs};
  Deferred<QCheckBox> Image_Gray_Scale_chk{objectTabs};
  Deferred<QCheckBox> Image_Sepia_chk{objectTabs};
  Deferred<ValueSlider> Trsp_slidr{objectTabs};
  Deferred<QLabel> Trsp_slidr_val{objectTabs};
  Deferred<ValueSlider> Rotate_slidr{objectTabs};
  Deferred<QLabel> Rotate_slidr_val{objectTabs};
  Deferred<ValueSlider> Hue_slidr{objectTabs};
  Deferred<QLabel> Hue_slidr_val{objectTabs};
  Deferred<ValueSlider> Sat_slidr{objectTabs};
  Deferred<QLabel> Sat_slidr_val{objectTabs};
  Deferred<ValueSlider> Brt_slidr{objectTabs};
  Deferred<QLabel> Brt_slidr_val{objectTabs};
  Deferred<ValueSlider> Con_slidr{objectTabs};
  Deferred<QLabel> Con_slidr_val{objectTabs};
  Deferred<ValueSlider> shrp_slidr{objectTabs};
  Deferred<QLabel> shrp_slidr_val{objectTabs};
  Deferred<ValueSlider> ev_slidr{objectTabs};
  Deferred<QLabel> ev_slidr_val{objectTabs};
  Deferred<ValueSlider> blr_slidr{objectTabs};
  Deferred<QLabel> blr_slidr_val{objectTabs};
  Deferred<QPushButton> Image_reset_btn{objectTabs};
  // sign_tab
  Deferred<QCheckBox> Sign_border_chk{objectTabs};
  Deferred<QGroupBox> Sign_Border_Box{objectTabs};
  Deferred<ColorWell> Sign_bordr_clr{objectTabs};
  Deferred<QLineEdit> Sign_bor_Text{objectTabs};
  Deferred<Stepper> Sign_bor_Stepper{objectTabs};
  Deferred<QComboBox> Sign_border_style{objectTabs};
  Deferred<QLineEdit> Sign_image_path{objectTabs};
  Deferred<QPushButton> Sign_Browse_btn{objectTabs};
  // datasource_tab
  Deferred<QLabel> data_source_title{objectTabs};
  Deferred<QComboBox> Data_source_type{objectTabs};
  Deferred<QComboBox> Batch_Series{objectTabs};
  Deferred<QPushButton> view_series_btn{objectTabs};
  Deferred<QPushButton> data_source_help_btn{objectTabs};
  Deferred<QGroupBox> manual_brws_box{objectTabs};
  Deferred<QLineEdit> Manual_image_path{objectTabs};
  Deferred<QPushButton> Manual_Image_Browse_btn{objectTabs};
  Deferred<QPushButton> Manual_Library_Browse_btn{objectTabs};
  // aligmnt_tab
  Deferred<QToolButton> Align_Left_btn{objectTabs};
  Deferred<QToolButton> Align_Center_btn{objectTabs};
  Deferred<QToolButton> Align_Right_btn{objectTabs};
  Deferred<QToolButton> Align_Top_btn{objectTabs};
  Deferred<QToolButton> Align_Bottom_btn{objectTabs};
  Deferred<QToolButton> Align_Horz_btn{objectTabs};
  Deferred<QToolButton> Align_Vert_btn{objectTabs};
  Deferred<QPushButton> Make_Same_Width_btn{objectTabs};
  Deferred<QPushButton> Make_Same_Height_btn{objectTabs};
  Deferred<QPushButton> Make_Natural_btn{objectTabs};
  Deferred<QPushButton> Align_with_grid_btn{objectTabs};
  Deferred<QCheckBox> print_object_chk{objectTabs};
  Deferred<QCheckBox> Show_hide_grid_chk{objectTabs};
  Deferred<QGroupBox> Grid_Opt_box{objectTabs};
  Deferred<ColorWell> Grid_clr{objectTabs};
  Deferred<ValueSlider> Grid_Space_slidr{objectTabs};
  Deferred<QCheckBox> Grid_Snap_chk{objectTabs};
  Deferred<QPushButton> Grid_Settings_btn{objectTabs};
  // barcode_tab
  Deferred<QLabel> barcode_info_lbl{objectTabs};
  Deferred<QPushButton> Barcode_Edit_btn{objectTabs};
  // Lock_tab
  Deferred<QLabel> lock_info_lbl{objectTabs};

  // ---- Windows of the same interface -----------------------------------------------------
  // Export sheet (`panel` is the same window as seen by its buttons)
  QDialog *ExportWindow = nullptr;
  QDialog *panel = nullptr;
  RadioMatrix *matrix_export_card_side = nullptr;  // rows: both, front, back
  RadioMatrix *matrix_file_type = nullptr;         // one row per item of fileFormatPopup
  QComboBox *fileFormatPopup = nullptr;            // "TIFF" first
  QComboBox *saveDPIText = nullptr;
  QCheckBox *export_combined_image_chk = nullptr;
  QCheckBox *Export_with_batch_chk = nullptr;
  QCheckBox *Export_with_excel_chk = nullptr;
  QPushButton *exportOkay_btn = nullptr;
  QPushButton *exportCancel_btn = nullptr;
  // Export-finished box
  QDialog *Open_Export_Files = nullptr;
  QCheckBox *_open_log_chk = nullptr;
  QLineEdit *_open_log_path = nullptr;
  QLabel *_open_log_message = nullptr;
  QPushButton *_open_log_ok_btn = nullptr;
  // Wait sheet
  QDialog *plz_wait_Window = nullptr;
  QLabel *modeless_msg_lbl = nullptr;
  QProgressBar *plz_wait_progress = nullptr;
  // One-by-one progress window (its controller is the shared progress window)
  QDialog *Send_Models_Window = nullptr;
  QLabel *_tot_msg_cnt = nullptr;
  QLabel *_curr_msg_cnt = nullptr;
  QProgressBar *_Curr_Progress = nullptr;
  QPushButton *_stop_btn = nullptr;
  QLabel *pause_label = nullptr;
  // Help, review and template-name windows (their contents come with their controllers)
  QDialog *HelpWindow = nullptr;
  QDialog *Review_Window = nullptr;
  QDialog *Export_Template_Window = nullptr;
  QLineEdit *template_name = nullptr;
  QLineEdit *template_passed = nullptr;
  QPushButton *template_ok_btn = nullptr;
  QPushButton *template_cancel_btn = nullptr;

  // Every dialog above, for tests and for the controller's clean-up.
  QList<QDialog *> dialogs() const;

  // The export sheet's buttons: each ends the sheet's modal run and orders it out, OK
  // with 1 and Cancel with 0.
  void exportOkay();
  void exportCancel();

private:
  // The builders, in the order build() calls them. Each makes the widgets of its part,
  // names and places them; a later one may use what an earlier one made (the window
  // first, the central area before the columns it holds).
  void buildMainWindow();
  void buildCommandToolbar();
  void buildEditToolbar();
  QHBoxLayout *buildCentralArea();  // returns the row of tool column, middle column and panel
  void buildToolColumn(QHBoxLayout *columns);  // DrawWindow_Tools.cpp
  // The middle column: the side bar, the containers of the three sides, the backgrounds.
  void buildCanvasArea(QHBoxLayout *columns);
  void buildSideBar(QVBoxLayout *middle);
  void buildSideViews(QVBoxLayout *middle);
  void buildBackgroundBrowser(QVBoxLayout *middle);
  // The property panel, then one builder per tab in tab order (DrawWindow_Panel.cpp).
  void buildPropertyPanel(QHBoxLayout *columns);
  void buildCardTab();            // card_setting_tab
  void buildCardInfoTab();        // card_info_tab
  void buildCardSizeTab();        // card_size_tab
  void buildCardBackgroundTab();  // card_bkgd_tab
  void buildCardBorderTab();      // card_brdr_tab
  // The ten tabs of the objects, made by `objectTabs` when first needed: each page is
  // kept by the tab view, hidden, until the panel shows it.
  void buildObjectTabs();
  void keepOutOfSight(QWidget *page);
  void buildLineTab();            // line_tab
  void buildShapeTab();           // shape_tab
  void buildTextEditingTab();     // text_edtng_tab
  void buildTextStyleTab();       // text_prop_tab
  void buildImageTab();           // image_tab
  void buildSignatureTab();       // sign_tab
  void buildDataSourceTab();      // datasource_tab
  void buildAlignTab();           // aligmnt_tab
  void buildBarcodeTab();         // barcode_tab
  void buildLockTab();            // Lock_tab
  void buildStatusBar();
  // The windows of the same interface (DrawWindow_Sheets.cpp).
  void buildExportSheet();
  void buildExportFinishedBox();
  void buildWaitSheet();
  void buildProgressWindow();
  void buildHelpWindow();
  void buildReviewWindow();
  void buildTemplateNameWindow();
};
