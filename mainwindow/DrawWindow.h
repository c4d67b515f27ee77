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
//   right        the property panel `sett_tab` with its fifteen tabs

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
  // The fifteen tab pages in tab order.
  std::array<QWidget *, 15> tabPages() const;
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

  // Property panel
  QTabWidget *sett_tab = nullptr;
  QWidget *card_setting_tab = nullptr;
  QWidget *card_info_tab = nullptr;
  QWidget *card_size_tab = nullptr;
  QWidget *card_bkgd_tab = nullptr;
  QWidget *card_brdr_tab = nullptr;
  QWidget *line_tab = nullptr;
  QWidget *shape_tab = nullptr;
  QWidget *text_edtng_tab = nullptr;
  QWidget *text_prop_tab = nullptr;
  QWidget *image_tab = nullptr;
  QWidget *sign_tab = nullptr;
  QWidget *datasource_tab = nullptr;
  QWidget *aligmnt_tab = nullptr;
  QWidget *barcode_tab = nullptr;
  QWidget *Lock_tab = nullptr;

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
  ColorWell *Line_clr = nullptr;
  QLineEdit *Line_Wdt_Text = nullptr;
  Stepper *Line_Wdt_Stepper = nullptr;
  QComboBox *Line_border_style = nullptr;
  QComboBox *Line_ori_style = nullptr;
  QComboBox *Line_cap_style = nullptr;
  QLineEdit *Line_alpha_Text = nullptr;
  Stepper *Line_alpha_Stepper = nullptr;
  // shape_tab
  QLabel *Shape_prop_title = nullptr;
  QCheckBox *Shape_border_chk = nullptr;
  QGroupBox *Shape_Border_Box = nullptr;
  ColorWell *shape_bordr_clr = nullptr;
  QLineEdit *shape_bor_Text = nullptr;
  Stepper *shape_bor_Stepper = nullptr;
  QComboBox *shape_border_style = nullptr;
  QCheckBox *Shape_fill_chk = nullptr;
  QGroupBox *Shape_Fill_Box = nullptr;
  QRadioButton *Shape_solid_fill_rd = nullptr;
  QRadioButton *Shape_gradient_fill_rd = nullptr;
  QRadioButton *Shape_Style_fill_rd = nullptr;
  ColorWell *shape_fill_clr = nullptr;
  ColorWell *shape_fill_Grd_1_clr = nullptr;
  ColorWell *shape_fill_Grd_2_clr = nullptr;
  QLineEdit *shape_grad_Text = nullptr;
  Stepper *shape_grad_Stepper = nullptr;
  QComboBox *shape_hatch_style = nullptr;
  ColorWell *shape_hatch_bk_clr = nullptr;
  QLineEdit *shape_alpha_Text = nullptr;
  Stepper *shape_alpha_Stepper = nullptr;
  QLabel *shape_cor_radius_Label = nullptr;
  QLineEdit *shape_cor_radius_Text = nullptr;
  Stepper *shape_cor_radius_Stepper = nullptr;
  QLabel *double_star_Label = nullptr;
  QLineEdit *double_star_Text = nullptr;
  Stepper *double_star_Stepper = nullptr;
  QLabel *polygon_Label = nullptr;
  QLineEdit *polygon_Text = nullptr;
  Stepper *polygon_Stepper = nullptr;
  // text_edtng_tab
  QPlainTextEdit *Text_value_Edit = nullptr;
  QPushButton *insert_template_btn = nullptr;
  QComboBox *Text_Date_style = nullptr;
  QPushButton *Text_Insert_Date_btn = nullptr;
  QComboBox *Text_Time_style = nullptr;
  QPushButton *Text_Insert_Time_btn = nullptr;
  // text_prop_tab
  QLineEdit *Text_font_value = nullptr;
  QPushButton *Text_Font_btn = nullptr;
  ColorWell *Text_clr = nullptr;
  QComboBox *Text_align_combo = nullptr;
  QComboBox *Text_case_combo = nullptr;
  QLineEdit *Text_Kern_Text = nullptr;
  Stepper *Text_Kern_Stepper = nullptr;
  QLineEdit *Text_alpha_Text = nullptr;
  Stepper *Text_alpha_Stepper = nullptr;
  QCheckBox *Text_border_chk = nullptr;
  QGroupBox *Text_Border_Box = nullptr;
  ColorWell *Text_bordr_clr = nullptr;
  QLineEdit *Text_bor_Text = nullptr;
  Stepper *Text_bor_Stepper = nullptr;
  QComboBox *Text_border_style = nullptr;
  QCheckBox *Text_fill_chk = nullptr;
  QGroupBox *Text_Fill_Box = nullptr;
  QRadioButton *Text_solid_fill_rd = nullptr;
  QRadioButton *Text_gradient_fill_rd = nullptr;
  ColorWell *Text_fill_clr = nullptr;
  ColorWell *Text_fill_Grd_1_clr = nullptr;
  ColorWell *Text_fill_Grd_2_clr = nullptr;
  QLineEdit *Text_grad_Text = nullptr;
  Stepper *Text_grad_Stepper = nullptr;
  // image_tab
  QCheckBox *Image_border_chk = nullptr;
  QGroupBox *Image_Border_Box = nullptr;
  ColorWell *Image_bordr_clr = nullptr;
  QLineEdit *Image_bor_Text = nullptr;
  Stepper *Image_bor_Stepper = nullptr;
  QComboBox *Image_border_style = nullptr;
  QCheckBox *Image_FIH_chk = nullptr;
  QCheckBox *Image_FIV_chk = nullptr;
  QCheckBox *Image_Invert_chk = nullptr;
  QCheckBox *Image_Gray_Scale_chk = nullptr;
  QCheckBox *Image_Sepia_chk = nullptr;
  ValueSlider *Trsp_slidr = nullptr;
  QLabel *Trsp_slidr_val = nullptr;
  ValueSlider *Rotate_slidr = nullptr;
  QLabel *Rotate_slidr_val = nullptr;
  ValueSlider *Hue_slidr = nullptr;
  QLabel *Hue_slidr_val = nullptr;
  ValueSlider *Sat_slidr = nullptr;
  QLabel *Sat_slidr_val = nullptr;
  ValueSlider *Brt_slidr = nullptr;
  QLabel *Brt_slidr_val = nullptr;
  ValueSlider *Con_slidr = nullptr;
  QLabel *Con_slidr_val = nullptr;
  ValueSlider *shrp_slidr = nullptr;
  QLabel *shrp_slidr_val = nullptr;
  ValueSlider *ev_slidr = nullptr;
  QLabel *ev_slidr_val = nullptr;
  ValueSlider *blr_slidr = nullptr;
  QLabel *blr_slidr_val = nullptr;
  QPushButton *Image_reset_btn = nullptr;
  // sign_tab
  QCheckBox *Sign_border_chk = nullptr;
  QGroupBox *Sign_Border_Box = nullptr;
  ColorWell *Sign_bordr_clr = nullptr;
  QLineEdit *Sign_bor_Text = nullptr;
  Stepper *Sign_bor_Stepper = nullptr;
  QComboBox *Sign_border_style = nullptr;
  QLineEdit *Sign_image_path = nullptr;
  QPushButton *Sign_Browse_btn = nullptr;
  // datasource_tab
  QLabel *data_source_title = nullptr;
  QComboBox *Data_source_type = nullptr;
  QComboBox *Batch_Series = nullptr;
  QPushButton *view_series_btn = nullptr;
  QPushButton *data_source_help_btn = nullptr;
  QGroupBox *manual_brws_box = nullptr;
  QLineEdit *Manual_image_path = nullptr;
  QPushButton *Manual_Image_Browse_btn = nullptr;
  QPushButton *Manual_Library_Browse_btn = nullptr;
  // aligmnt_tab
  QToolButton *Align_Left_btn = nullptr;
  QToolButton *Align_Center_btn = nullptr;
  QToolButton *Align_Right_btn = nullptr;
  QToolButton *Align_Top_btn = nullptr;
  QToolButton *Align_Bottom_btn = nullptr;
  QToolButton *Align_Horz_btn = nullptr;
  QToolButton *Align_Vert_btn = nullptr;
  QPushButton *Make_Same_Width_btn = nullptr;
  QPushButton *Make_Same_Height_btn = nullptr;
  QPushButton *Make_Natural_btn = nullptr;
  QPushButton *Align_with_grid_btn = nullptr;
  QCheckBox *print_object_chk = nullptr;
  QCheckBox *Show_hide_grid_chk = nullptr;
  QGroupBox *Grid_Opt_box = nullptr;
  ColorWell *Grid_clr = nullptr;
  ValueSlider *Grid_Space_slidr = nullptr;
  QCheckBox *Grid_Snap_chk = nullptr;
  QPushButton *Grid_Settings_btn = nullptr;
  // barcode_tab
  QLabel *barcode_info_lbl = nullptr;
  QPushButton *Barcode_Edit_btn = nullptr;
  // Lock_tab
  QLabel *lock_info_lbl = nullptr;

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
