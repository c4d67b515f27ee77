#pragma once
// QLNWindowController: the main window controller. Exactly one exists per run; it owns
// the main window "DrawWindow" (its widgets are in DrawWindow, reached through `ui`),
// the three canvases, the two per-side card settings, the three user profile records,
// the grid and the property panel. Every other part of the program reaches it through
// Main_App_wnd (typed as MainWindowServices in core) or through defaultInstance().
//
// Life of the controller:
//   QLNWindowController()      init: fields, the window's widgets, Main_App_wnd
//   setDocument(document)      binds the document (the document's window-controller
//                              step, AppSession::makeWindowControllers, calls it)
//   showWindow()               the first call runs awakeFromNib (the start-up steps,
//                              which end with New_Project and the start window) and
//                              windowDidLoad, then shows the window
// When the resource folder cannot be made, the start-up shows a message, stops, and
// asks the program to end: terminationRequested() is then true with exitStatus() 1.
//
// Where the member functions are defined:
//   QLNWindowController.cpp           creation and start-up, document binding, start
//                                     window, the canvases and their zoom
//   QLNWindowController_CardSizes.cpp the card size presets, millimetres and points,
//                                     the size fields and the canvas size
//   QLNWindowController_Tools.cpp     the tools and the objects they place, the cascade
//                                     of new objects, the picture file panel, what the
//                                     canvases ask of the controller (CanvasServices)
//   QLNWindowController_PropertyPanel.cpp
//                                     the property panel: Show_RHS_Properties, its tab
//                                     sets and their filling, the editing buttons' states
//   QLNWindowController_CardSettings.cpp
//                                     the actions of the card tabs (Update_Card_Graphics ...)
//   QLNWindowController_Services.cpp  side lists, images, e-mail settings, listings,
//                                     series-in-use test, dates and times, paths, the
//                                     size list table, the sheets
//   designs/QLNWindowController_*.cpp the design files: the new project and its reset,
//                                     saving and opening design logs, the window title,
//                                     their commands and the exit command
//   QLNWindowController_CardBase.cpp  card base drawing, background pictures, Refresh_Canvas
//
// Main thread only, except where a member says otherwise.

#include "canvas/CanvasServices.h"
#include "canvas/MyImageObject.h"
#include "canvas/QLNSelection.h"
#include "canvas/RenderPicture.h"

#include "core/Card_Property.h"
#include "core/KeyValueObserving.h"
#include "core/MainWindowServices.h"
#include "core/QLNDocument.h"
#include "core/QLNGraphic.h"
#include "profiles/model/User_Profile_Class.h"

#include "platform/Fonts.h"
#include "platform/Images.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class BatchCardSource;
class DrawWindow;
class QAbstractButton;
class QLNGraphicView;
class QLNZoomingScrollView;
class QLNGrid;
class QMainWindow;
class QComboBox;
class QDialog;
class QPainter;
class QWidget;

// Name of the tool-change notification (the tools post it; the controller observes it
// from start-up on).
extern const QString QLNSelectedToolDidChangeNotification;  // "QLNSelectedToolDidChange"
// Context of the controller's observation of the document's "canvasSize".
extern const char *const QLNWindowControllerCanvasSizeObservationContext;

// The path last chosen in the picture library window; "" at start (main thread only).
extern QString lib_window_sel_file;

// The captions of the profile fields in the profile windows' messages: "Name :",
// "Position / Title :", "Company Name :", "Company Slogan :", "Address :", "Phone No. :",
// "Fax No. :", "Email Id :", "Website :", "Unique No. :", "Photo :"
// (profiles/QLNWindowController_Profiles.cpp).
extern const QString Title_Name;
extern const QString Title_Title;
extern const QString Title_Company_name;
extern const QString Title_slogan;
extern const QString Title_address;
extern const QString Title_phone;
extern const QString Title_fax;
extern const QString Title_email;
extern const QString Title_website;
extern const QString Title_unique;
extern const QString Title_image;

class QLNWindowController;
// The one controller: set by the constructor, returned by defaultInstance().
extern QLNWindowController *app_DefaultInstance;

class QLNWindowController : public QObject,
                            public MainWindowServices,
                            public CanvasServices,
                            public ImageBrowserDataSource,
                            private KeyValueObserver {
  Q_OBJECT
public:
  // init. Builds the window's widgets (not shown yet), sets the fields below and stores
  // the controller in app_DefaultInstance and Main_App_wnd.
  QLNWindowController();
  // dealloc: stops observing the document; clears app_DefaultInstance and Main_App_wnd
  // when they name this controller.
  ~QLNWindowController() override;

  // The controller made by the constructor; null before.
  static QLNWindowController *defaultInstance();

  // What start-up needs of the windows above this layer (the start window, the shared
  // progress window) and how the program ends. The program fills these in before it
  // shows the window; each may stay empty.
  struct Hooks {
    // Runs the start window modally and returns its result (1 confirmed); leaves the
    // choice in Start_Card_Option. Empty: there is no start window yet, and start-up
    // goes on as if one had been confirmed with no option.
    std::function<int()> runStartWindow;
    // The shared progress window (Send_Modeless) kept in send_modls_wnd.
    std::function<QObject *()> sharedProgressWindow;
    // Ends the program with the status. Empty: the application's normal quit (every
    // event loop returns and main returns the status). Tests record the request here
    // instead, so that their own event loops keep running.
    std::function<void(int)> exitProcess;
    // Runs the review window modally before the program ends. Empty: there is no
    // review window yet, and the program ends without one.
    std::function<void()> runReviewWindow;
    // Runs the picker of built-in titles ("T") or messages ("M") modally; on 1 the
    // picked text is in Template_Msg_Val. Empty: there is no picker, and the panel's
    // template button stays hidden.
    std::function<int(const QString &title_or_msg)> runTemplatePicker;
    // Shows a Batch Processing Series by name in the series viewer. Empty: there is no
    // viewer, and the property panel's view button offers only the spreadsheet grid.
    std::function<void(const QString &name)> viewSeries;
  };
  static Hooks &hooks();

  // ---- The window --------------------------------------------------------------------
  // The widgets of "DrawWindow" (and of the windows of the same interface: the export
  // sheet, the export-finished box, the wait and progress sheets ...), by object name.
  DrawWindow *ui = nullptr;
  QMainWindow *window() const;
  // Runs the start-up once (awakeFromNib, then windowDidLoad) and shows the window.
  void showWindow();
  bool isWindowLoaded() const { return m_windowLoaded; }
  // The program was asked to end (resource folder failure, start window cancelled,
  // Exit) and the status it ends with.
  bool terminationRequested() const { return m_terminationRequested; }
  int exitStatus() const { return m_exitStatus; }
  // Ends the program with `status` (through hooks().exitProcess when set, else the
  // application's normal quit) and records the request.
  void endProcess(int status);

  // ---- Creation and start-up ---------------------------------------------------------
  // Binds `document` (not owned; null unbinds): once the window has loaded, the three
  // canvases and their selections follow its lists; the controller observes its
  // "canvasSize", and the undo and redo buttons follow its undo stacks, whoever changes
  // them (a canvas, a menu command, a script on the bus).
  void setDocument(QLNDocument *document);
  QLNDocument *document() const { return m_document; }
  void windowDidLoad();
  void awakeFromNib();
  // The main window is closing: nothing to do; a failure is logged.
  void windowWillClose();
  void newDocumentWindow();
  // Runs the start window; a result other than 1 ends the process with status 0.
  void Open_Start_Window();

  // ---- MainWindowServices --------------------------------------------------------------
  FontSpec All_Text_font() const override { return m_All_Text_font; }
  QColor All_Text_clr() const override;
  QString App_Name() const override { return m_App_Name; }
  QRectF frontCanvasBounds() const override;
  // Defined in QLNWindowController_CardBase.cpp.
  void Refresh_Canvas() override;
  // The cascade position for the next object on the side "F" (front) or any other
  // string (back): cascadeControlPoint with the side's object count and the front
  // canvas's size. A failure while counting is logged and gives (10, 10) without
  // moving the cascade. Defined in QLNWindowController_Tools.cpp.
  QPointF Control_New_Point(const QString &card_side) override;
  // Shows `graphic` (or, when null, the card) in the property panel; every call returns
  // to the arrow tool (selectArrowTool). Nothing happens while
  // Not_Draw_Only_Prop_Change is 1, nor off the GUI thread. Defined in
  // QLNWindowController_PropertyPanel.cpp.
  void Show_RHS_Properties(const QLNGraphicPtr &graphic) override;

  // ---- CanvasServices (QLNWindowController_Tools.cpp) --------------------------------
  int selectedControlTool() const override { return Selected_Control_Tool; }
  QString librarySelectedImage() const override;
  PointImage placeholderImage() const override { return no_image(); }
  PointImage barcodeSampleImage() const override { return barcode_sample_img(); }
  PointImage signatureSampleImage() const override { return sign_sample_img(); }
  PointImage fingerprintSampleImage() const override { return fp_sample_img(); }
  PointImage bannerImage() const override { return banner_image(); }
  PointImage promotionPatternImage() const override { return promotion_pattern_image(); }
  QObject *mainWindowControl(const QString &objectName) const override;

  void setAll_Text_font(const FontSpec &font) { m_All_Text_font = font; }

  // ---- Barcodes on cards (defined in barcode/QLNWindowController_Barcode.cpp) ---------
  // Runs the barcode designer modally for the current side's current object (a barcode
  // object; any other object or none opens nothing). After OK the settings and the
  // image go into the selected barcode objects of that side; Cancel changes nothing.
  void Open_Barcode_Window() override;
  // Copies the barcode settings of `source` and the designer's image
  // (Barcode_output_image) into every selected barcode object of the current side, and
  // the print check box's state into their print flag; nothing while
  // Not_Draw_Only_Prop_Change is set or when nothing is selected.
  void Update_Barcode_Graphics(const QLNGraphicPtr &source);
  // The barcode tab's button: Open_Barcode_Window.
  void View_barcode_prop_Button(QObject *sender = nullptr);
  // Connects the barcode tab's button (once; later calls do nothing).
  void installBarcodeCommands();

  // ---- Card base (defined in QLNWindowController_CardBase.cpp) ------------------------
  // Draws the base of the current side (Card_Front_Or_Back) for `rect` (points).
  void Card_Base_Drawing(QPainter *painter, const QRectF &rect) override;
  void set_Front_BG_Image(const QString &path);
  void set_Back_BG_Image(const QString &path);

  // ---- Canvas area -----------------------------------------------------------------------
  // The canvases of the front, back and temp side (_graphicView, _graphicView_BACK,
  // _graphicView_TEMP of the window).
  QLNGraphicView *frontView() const;
  QLNGraphicView *backView() const;
  QLNGraphicView *tempView() const;
  // The canvas of the current side: back when Card_Front_Or_Back is not 0, else front.
  QLNGraphicView *currentView() const;
  // The zooming scroll views of the front, back and temp side.
  std::array<QLNZoomingScrollView *, 3> zoomingScrollViews() const;
  // The zoom factor of the three canvases (the zooming views' "factor" binding, in force
  // from start-up step 23): stores it in _zoomFactor and gives it to every side's view
  // and zoom list. Values that are not finite or not above 0 are refused.
  void setZoomFactor(double factor);
  // Shows the container of the front (0), back (1) or temp (2) side in myTargetView;
  // any other value changes nothing.
  void changeViewController(int side);
  // The side shown in myTargetView: 0 front, 1 back, 2 temp.
  int shownSide() const { return m_shownSide; }
  // Whether the front side is current and shown. Undo covers the front side alone, so
  // while the back or the temp side shows there is nothing to undo or redo.
  bool frontSideShows() const;
  // Whether the temp side shows. Its objects are the current side's, which the user
  // cannot see meanwhile: the edit, arrange, lock and alignment commands, which act on
  // the current side, do nothing and show disabled.
  bool tempSideShows() const { return m_shownSide == 2; }
  // Label "Front", Card_Front_Or_Back 0, the front side shown, the card tabs in the panel.
  void Select_front_side();

  // ---- Card sizes (QLNWindowController_CardSizes.cpp) ------------------------------------
  // The preset size, millimetres, of the category ("PVC Card": the PVC presets, any
  // other string: the paper presets) at `list_index` of its list, landscape, or portrait
  // (the pair swapped) with the orientation "V". Index -1 (no row chosen) gives 30 by 30;
  // any other index outside the list 762 by 762 (30 by 30 inches).
  QSizeF Get_My_card_Size(const QString &category, const QString &preset, qint32 list_index) const;
  // Shows a size in millimetres in the size fields (width_Stepper / width_Text,
  // height_Stepper / height_Text), as float values.
  void Set_Card_Size_In_Control(const QSizeF &millimetres);
  // The document's canvas size is only a request: changes nothing (callers follow it
  // with SetDocumentCanvasSize).
  void Set_Document_Size(const QSizeF &size);
  // Gives the three canvases the frame 0 by 0, redraws, then `size` (points), redraws.
  void SetDocumentCanvasSize(const QSizeF &size);
  // Points to millimetres: points times 0.3527777777778, as a float.
  static float Points_to_MM_Convert(float points);

  // ---- Design files, new project and exit (defined in designs/) ---------------------
  // The reset of every per-design setting (both sides emptied), then the start window.
  void New_Project();
  void New_Project_Setting_Reset();
  // "App_Name ( file name )" while a file exists at Project_File_Name, else App_Name.
  void Set_Log_Name_In_Title();
  // Writes the design log to Project_File_Name (asking for a path first when there is
  // none, or always with `save_as`); with `show_msg` the outcome is shown and the title
  // set. True only when the file was written; a failure keeps the former file name.
  // With `failure`, a failed write leaves there the words naming the path and the
  // reason ("The design could not be saved to "…" (reason)") and shows no failure box
  // of its own; a cancelled panel leaves it empty.
  bool Save_project_file(bool save_as, bool show_msg, QString *failure = nullptr);
  // Replaces the design by the design log at `path`: 1 loaded, 0 refused (the design,
  // its path and the title then stay as they were). Mode "L" makes the file the
  // design's file; any other mode (a template) opens it untitled.
  int Read_and_load_design_Log(const QString &path, const QString &log_or_template);
  // The open panel, then the reader in mode "L"; 0 when the panel is cancelled.
  int Open_Log_File();
  // Whether the design differs from what was last saved or opened (or from the new
  // design as it started): the design log it would write now is compared with the
  // one it would have written then. New, Open and Exit ask to save only then.
  bool isDesignChanged();
  // The design as it is now counts as saved.
  void markDesignUnchanged();
  // The toolbar and menu commands (the sender is ignored).
  void Save_Btn_Clicked(QObject *sender = nullptr);
  void SaveAs_Btn_Clicked(QObject *sender = nullptr);
  void New_Btn_Clicked(QObject *sender = nullptr);
  void Open_Btn_Clicked(QObject *sender = nullptr);
  void Exit_Btn_Clicked(QObject *sender = nullptr);
  // Asks to save changes, shows the review window and ends the program (through
  // hooks().exitProcess); stays when the user wanted to save and nothing was saved.
  void Exit_App();
  // Adds the File menu (New, Open..., Save, Save As..., Exit) and the New, Open, Save
  // and Save As toolbar buttons to the main window and connects them; called once by
  // the constructor.
  void installDesignFileCommands();

  // ---- Templates, card size and grid windows (designs/QLNWindowController_Templates.cpp) ----
  // Save as Template: the naming window (both fields empty); on OK the design log and a
  // preview of both sides are written as the pair "<name>.dcard" / "<name>.png" in
  // Resource_Path/"Templates"/"User", the old pair replaced only once both new files
  // are written. The open design keeps its own file. Success or the failure is shown.
  void Export_As_Template_Clicked(QObject *sender = nullptr);
  // The template browser; the chosen template is read as an untitled design. 1 when a
  // template was opened.
  int Open_Template_Clicked(QObject *sender = nullptr);
  // The card size window; 1 when a size was applied.
  int Open_Card_Size_Clicked(QObject *sender = nullptr);
  // The grid controls filled from the grid, then the grid window; returns when it closes.
  void toggleGridShowing(QObject *sender = nullptr);
  // Both sides of the card side by side (front left) on one image, 2 pixels per point;
  // null with the reason in `error` when a side cannot be drawn.
  PointImage templatePreviewImage(QString *error = nullptr);
  // Connects Save as Template and the grid button, and adds "Open Template...", "Card
  // Size..." and "Place Profile" to the File menu (once, from installEditCommands).
  void installTemplateCommands();

  // ---- Invitation texts (designs/QLNWindowController_Invitation.cpp) -------------------
  // The finished start window's texts (the Invite_* globals) as text objects stacked on
  // the front side from the top, each with its control id ("PARTY_TITLE", "PARTY_TO",
  // "PARTY_MSG", "PARTY_DATE" or "PARTY_TIME", "PARTY_VENUE", "PARTY_FROM"), and its
  // picture as the front background. Leaves the text tool selected.
  void Fill_Party_Invidation_Details();

  // ---- Tools (QLNWindowController_Tools.cpp) ---------------------------------------------
  // The class of card object the current tool places ("QLNLine", "QLNText",
  // "Shape_Control", "QLNImage", "QLNBarcode", "QLNSignature"); empty for the arrow and
  // any unknown tool. The fingerprint tool (12) places a QLNSignature of kind "F".
  QString currentGraphicClass() const override;
  // The size, in points, of an object of `graphicClass` placed by its tool: 120 by 60
  // for a barcode, 100 by 50 for a signature or fingerprint, 50 by 50 for the rest.
  static QSizeF toolDefaultSize(const QString &graphicClass);
  // The undo and redo buttons enabled exactly when the front side shows and the
  // document can undo and redo.
  void Undo_Redo_Button_state() override;
  // Observer of the tool-change notification (`notificationObject` is the object it
  // was posted with; null when called directly): places one object of the current
  // tool on the current side at the next cascade position and selects it. The image
  // tool first asks for a picture file, the image library tool for a picture of the
  // library (cancelled: nothing is placed).
  void selectedToolDidChange(QObject *notificationObject = nullptr);
  // Posts the tool-change notification, redraws, and shows the current side's selected
  // object in the property panel, which returns to the arrow tool.
  void Select_tool_action();
  // Selected_Control_Tool 0, the arrow button checked, the notification posted.
  void selectArrowTool();
  // The actions of the sixteen tool buttons (the sender is ignored): each sets
  // Selected_Control_Tool to its tool id and calls Select_tool_action.
  void Arrow_Tool_Clicked(QObject *sender = nullptr);          // 0
  void Line_Tool_Clicked(QObject *sender = nullptr);           // 1
  void Text_Tool_Clicked(QObject *sender = nullptr);           // 2
  void Rect_Tool_Clicked(QObject *sender = nullptr);           // 3
  void Circle_Tool_Clicked(QObject *sender = nullptr);         // 4
  void Round_Rect_Tool_Clicked(QObject *sender = nullptr);     // 5
  void Triangle_Tool_Clicked(QObject *sender = nullptr);       // 6
  void Diamond_Tool_Clicked(QObject *sender = nullptr);        // 7
  void Image_Tool_Clicked(QObject *sender = nullptr);          // 8
  void Image_Library_Tool_Clicked(QObject *sender = nullptr);  // 9
  void Barcode_Tool_Clicked(QObject *sender = nullptr);        // 10
  void Signature_Tool_Clicked(QObject *sender = nullptr);      // 11
  void Fingure_Print_Tool_Clicked(QObject *sender = nullptr);  // 12
  void Star_Tool_Clicked(QObject *sender = nullptr);           // 13
  void Double_Star_Tool_Clicked(QObject *sender = nullptr);    // 14
  void Polygon_Tool_Clicked(QObject *sender = nullptr);        // 15
  // The open panel for one picture file (jpg, jpeg, jpe, jfif, gif, bmp, png, tif,
  // tiff). Chosen: the path goes into Library_Selected_Image and Manual_image_path, and
  // the answer is true. Cancelled: Library_Selected_Image becomes "" and the answer is
  // false.
  bool Browse_User_Image_Manually();

  // ---- Property panel (QLNWindowController_PropertyPanel.cpp) ------------------------------
  // Sets Not_Draw_Only_Prop_Change to 1 for its life (or until release()) and then puts
  // back the value it found, however the scope is left: while the panel's controls are
  // filled by code the property updates do nothing, and an exception never leaves them
  // switched off.
  class PropertyFillGuard {
  public:
    PropertyFillGuard();
    ~PropertyFillGuard();
    PropertyFillGuard(const PropertyFillGuard &) = delete;
    PropertyFillGuard &operator=(const PropertyFillGuard &) = delete;
    void release();

  private:
    int m_previous;
    bool m_active = true;
  };
  // Empties the tab view sett_tab (the fifteen tab pages stay in DrawWindow).
  void Remove_All_Tab_Items();
  // The card fill controls for the fill style "S", "G", "H" or "I" (any other code
  // counts as "S"): the four fill radios, the border and fill boxes by their check
  // boxes, then the colour, gradient, hatch and picture controls of the style.
  void card_prop_set(const QString &style);
  // The label a tab page shows when it is inserted (it keeps the last one set).
  QString tabItemLabel(QWidget *page) const;
  // The editing buttons for what the panel shows: an unlocked object (the first two),
  // the card, a locked object. A button is enabled whenever its menu item acts:
  // Set_Paste_Button_Status enables Paste_btn exactly when the clipboard holds card
  // objects of this program, or a picture and no file names (in every state, and again
  // at every change of the clipboard); Unlock_btn is on whenever a selected object of
  // the current side is locked (updateUnlockButton).
  void Enable_Standard_Button_For_Control();
  void Enable_Standard_Button_For_Unlock();
  void Disable_Standard_Button_For_Card();
  void Disable_Standard_Button_For_Lock();
  void Set_Paste_Button_Status() override;
  void updateUnlockButton();
  // While the temp side shows: the edit toolbar's buttons (not Undo and Redo, which
  // follow the undo manager) all off.
  void disableEditingButtonsWhileTempShows();
  // The alignment tab's commands (alignment, sizes, the print flag) enabled unless the
  // temp side shows; align-to-grid also needs the grid shown for good.
  void updateAlignmentCommands();
  // The object the panel shows (Last_Selected_Graphic) while it is still alive; null
  // while the panel shows the card or once the object is gone.
  QLNGraphicPtr shownGraphic() const { return m_shownGraphic.lock(); }
  // Fills the property panel again after a change made elsewhere (an undo, a series
  // written): the object it shows while that is still on the current side, else the
  // first selected object, else the card.
  void refreshShownProperties();
  // The same, every control filled again even for the object shown already (its
  // binding changed under the panel: other imported rows).
  void showPropertiesAnew();
  // After an undo or a redo: the panel shows what the current canvas selects then (its
  // front-most selected object, filled anew from the object's values even when it was
  // shown already, on the tab that was open), or the card when nothing is selected.
  void showSelectionAfterUndoOrRedo();
  // The panel follows the current side's selection: whenever that changes, once the
  // command that changed it has returned, the panel shows the canvas's current object
  // when it is selected, else the first selected object, else the card; an object shown
  // that is still selected stays (several selected objects are edited together).
  void showWhatTheCanvasSelects();

  // ---- Object property actions (QLNWindowController_ObjectProperties.cpp) ------------------
  // The picture library window in mode "C" (pictures by category) or any other mode
  // (backgrounds; the main window passes "B"), run modally. Returns the window's result:
  // 1 when a picture was chosen (its path is then in lib_window_sel_file), else 0.
  int Open_Image_Library_Window(const QString &mode);

  // Each update copies its whole tab into every selected object of the current side
  // (back canvas when Card_Front_Or_Back is not 0), whatever the object's kind and lock,
  // and redraws. The fields are written directly: no undo step, no change notification.
  // Nothing happens while Not_Draw_Only_Prop_Change is set, nor with nothing selected.
  void Update_Shape_Graphics();
  void Update_Line_Graphics();
  // The editor's text replaces the object's text only when exactly one object is
  // selected.
  void Update_Text_Graphics();
  void Update_Image_Graphics();
  void Update_Sign_Graphics();

  // The tabs' actions. A stepper action sent by its stepper copies the stepper's value
  // into the field beside it (sent by the field, it copies nothing); then the update.
  // Check box actions enable or disable their box first; radio actions set the radios
  // and enable the controls of the chosen fill.
  void Set_Control_Clr(QObject *sender = nullptr);
  void Shape_Border_ChkBox(QObject *sender = nullptr);
  void Shape_Fill_Chk_Box(QObject *sender = nullptr);
  void Shape_Border_Changed(QObject *sender);
  void Shape_Gradient_Changed(QObject *sender);
  void Shape_Alpha_Changed(QObject *sender);
  void Double_Star_Shape_Changed(QObject *sender);
  void Polygon_Shape_Changed(QObject *sender);
  void Shape_Corner_Radius_Changed(QObject *sender);
  void Shape_Solid_RD_Sel(QObject *sender = nullptr);
  void Shape_Gradient_RD_Sel(QObject *sender = nullptr);
  void Shape_Hatch_RD_Sel(QObject *sender = nullptr);
  void Set_LineControl_Clr(QObject *sender = nullptr);
  void Line_Alpha_Changed(QObject *sender);
  void Line_Width_Changed(QObject *sender);
  void Set_TextControl_Clr(QObject *sender = nullptr);
  void Text_Border_ChkBox(QObject *sender = nullptr);
  void Text_Fill_Chk_Box(QObject *sender = nullptr);
  void Text_Border_Changed(QObject *sender);
  void Text_Gradient_Changed(QObject *sender);
  void Text_Alpha_Changed(QObject *sender);
  void Text_Kerning_Changed(QObject *sender);
  void Text_Solid_RD_Sel(QObject *sender = nullptr);
  void Text_Gradient_RD_Sel(QObject *sender = nullptr);
  // The font panel for the text font; a chosen font goes to changeTextFont.
  void Text_Font_Changed(QObject *sender = nullptr);
  void changeTextFont(const QFont &chosen);
  // The current date or time in the format chosen in Text_Date_style (Text_Time_style)
  // replaces the editor's selection; without a format, a message and no change.
  void Text_Insert_Date(QObject *sender = nullptr);
  void Text_Insert_Time(QObject *sender = nullptr);
  // The text editor changed (the user typed, pasted or inserted; not while the panel
  // fills it): the placeholder "Text here" goes, the text is cut to MaxTextLength
  // UTF-16 units (never inside a character made of two units), then the update.
  void textDidChange(QObject *sender);
  static constexpr int MaxTextLength = 250;
  // The picker of built-in titles or messages for the invitation's title or message.
  void Insert_Template_Button(QObject *sender = nullptr);

  // The open panel for the current image object's picture; the library button the same
  // through the picture library. Cancelled: nothing changes.
  void Manual_Image_Browse_Btn(QObject *sender = nullptr);
  void Manual_Library_Browse_Btn(QObject *sender = nullptr);
  void Set_ImageControl_Clr(QObject *sender = nullptr);
  void Image_Border_ChkBox(QObject *sender = nullptr);
  void Image_Border_Changed(QObject *sender);
  void Image_Gray_Scale_Chked(QObject *sender = nullptr);
  void Image_Sepia_Chked(QObject *sender = nullptr);
  void Image_Invert_Chked(QObject *sender = nullptr);
  void Image_FIV_Chked(QObject *sender = nullptr);
  void Image_FIH_Chked(QObject *sender = nullptr);
  // The slider's value into its label, then the update.
  void sharp_Slider_Changed(QObject *sender = nullptr);
  void EV_Slider_Changed(QObject *sender = nullptr);
  void Blr_Slider_Changed(QObject *sender = nullptr);
  void Sat_Slider_Changed(QObject *sender = nullptr);
  void Brt_Slider_Changed(QObject *sender = nullptr);
  void Con_Slider_Changed(QObject *sender = nullptr);
  void Hue_Slider_Changed(QObject *sender = nullptr);
  void Transperncy_Slider_Changed(QObject *sender = nullptr);
  // The adjustments' neutral values (rotation 0, opacity 100, hue 0, saturation 1,
  // brightness 0, contrast 1, sharpen 0, exposure 0, blur 0, the five check boxes off)
  // in the sliders, their labels and the check boxes; the border stays. GUI thread only.
  void Reset_Image_Editing_Controls() override;
  // Asks first; on Yes the neutral values, then the update.
  void Image_reset_Button(QObject *sender = nullptr);
  // The open panel for a PNG signature picture; chosen: its path in Sign_image_path and
  // the update.
  void Sign_Browse_Btn(QObject *sender = nullptr);
  void Sign_Border_ChkBox(QObject *sender = nullptr);
  void Sign_Border_Changed(QObject *sender);
  void Set_SignControl_Clr(QObject *sender = nullptr);
  // The card's background from the background library (mode "B") for the current side.
  void Card_Image_Library_Btn(QObject *sender = nullptr);
  // Connects the shape, line, text, image and signature tabs' controls to the actions
  // above (once; later calls do nothing).
  void connectObjectPropertyActions();

  // ---- Combo dispatcher (QLNWindowController_ComboDispatcher.cpp) -----------------------------
  // Every combo box of the window reports a changed selection here (by the user or by
  // code): the card, line, text, shape, image and signature combos run their tab's
  // update; the data source, the bound series or column, the sides and the category
  // with its preset are decided here. A failure is logged.
  void comboBoxSelectionDidChange(QObject *combo);
  // Connects the card's combo boxes to the dispatcher (once).
  void connectComboBoxes();
  // Connects the objects' tabs' combo boxes to the dispatcher (when those tabs are made).
  void connectObjectComboBoxes();
  // The current side's current object (the back canvas's when Card_Front_Or_Back is not
  // 0); null when there is none.
  QLNGraphicPtr selectedObjectOfCurrentSide() const;

  // ---- Batch binding (dataseries/QLNWindowController_BatchBinding.cpp) -----------------------
  // Text, image and barcode objects take card n's value from row n of a series
  // (data_source_type 1, by batch_list_name) or of an imported spreadsheet column (2,
  // excel_col_indx). Before an output run the checks decide which sources the card uses
  // (Use_Data_Sheet_Values, Use_Excel_Binding_Values) and load the bound series; callers
  // may then switch a source off and recount with Get_total_Card_count, which also takes
  // the run's snapshot (batchCardSource()). Cards are made from that snapshot on any
  // thread; the design's objects are never written by a run. The checks run on the GUI
  // thread (from another thread they are run there and waited for).
  void Check_Series_Or_Excel_Use_or_not();
  // An object off the design keeps what its imported column is; one that comes back
  // takes that column among the rows imported now (Data_From_Excel::takeBackObjects).
  std::optional<SpreadsheetColumnMark> spreadsheetColumnMark(const QLNGraphic &graphic) const override;
  void designObjectsArrived(const QLNGraphicList &graphics, bool back) override;
  void Check_Data_Sheet_Value_Use_or_Not();
  void Check_Excel_Binding_Value_Use_or_Not();
  bool Check_Front_Side_Dataset_Is_Used() const;
  bool Check_Back_Side_Dataset_Is_Used() const;
  bool Check_Front_Side_Excel_Binding_Is_Used() const;
  bool Check_Back_Side_Excel_Binding_Is_Used() const;
  // The binding table anew: every series bound on the front (and the back of a
  // two-sided card), loaded by name.
  void Create_Dataset_binding_table();
  // Loads the series `name` into the table (the binding's reading rule); false, logged,
  // when its file is missing or cannot be read (the series then gives no rows).
  bool Add_dataset_col_in_binding_table(const QString &name);
  void Calculate_data_table_rows();
  void Calculate_Excel_table_rows();
  // Total_Batch_Excel_Card from the sources still in use, and the run's snapshot.
  void Get_total_Card_count();
  // The snapshot taken by the last Get_total_Card_count (taken now when there is none).
  std::shared_ptr<const BatchCardSource> batchCardSource();
  // Card `row`'s side ("F" front, anything else back) from the run's snapshot; any
  // thread. A failure is logged and gives a null picture.
  CardPicture Set_data_table_value_to_card(int row, const QString &side, bool print_box);
  // After a run: Card_Value_In_Process cleared, the canvas redrawn, the snapshot
  // dropped; the design's objects stay as the run found them. GUI thread.
  void Select_first_row_value_for_design(bool print_box);
  // Row `row` of the loaded series `name` (untrimmed); "" when absent.
  QString Get_sel_row_col_value_of_dataset(int row, const QString &name) const;
  // Row `row` of imported column `column` (0 the row numbers); "" when absent.
  QString Get_sel_row_col_value_of_Excel(int row, int column) const;
  // The first line (untrimmed) of the series `name` in the data folder; "" when the
  // series is missing, unreadable or empty.
  QString Get_First_Value_Of_Dataset(const QString &name);
  // Row 0's value of the imported spreadsheet's column `column` (0: the row numbers);
  // "" when there is no such row or entry.
  QString Get_First_Value_Of_Excel_Binding(qint32 column);
  // A combo filled with the series names / the imported column titles (the row-number
  // column first); nothing selected.
  void Fill_Data_Set_File_Name_In_Combo(QComboBox *combo);
  void Fill_Excel_Col_Name_In_Combo(QComboBox *combo);
  // The data-source combo's third item "Excel", offered while imported rows exist: added
  // only to a combo of exactly 2 items, removed only from one of exactly 3.
  void Add_Excel_Col_Name_In_Combo(QComboBox *combo);
  void Remove_Excel_Col_Name_In_Combo(QComboBox *combo);
  // Add_ or Remove_Excel_Col_Name_In_Combo on the property panel's data-source combo,
  // as imported rows exist or not.
  void Update_Excel_Item_In_Data_Source();
  // The property panel's view button: the chosen series in the series viewer, or the
  // grid of imported rows; "Please select the series." without a chosen series.
  void View_batch_Series_Button(QObject *sender = nullptr);
  // The data-source help text in the message dialog.
  void Data_Source_Help_Button(QObject *sender = nullptr);
  // Connects the view and help buttons (once).
  void installBatchBindingCommands();

  // ---- User profiles (profiles/QLNWindowController_Profiles.cpp, profiles/ProfilePlacing.cpp) ----
  // The Profile command: the side profile window for the side being edited (loaded from
  // its profile objects); on OK that side's record is placed on it. The side is redrawn
  // whatever the answer.
  void User_Profile_Button_Clicked(QObject *sender = nullptr);
  // A non-empty side ("F", "B") opens the side profile window, an empty one the wizard's
  // window; `load` starts from the side's profile objects. 1 (OK) also sets
  // Fill_User_Profile. Returns the window's code.
  int Open_User_Profile_Window(bool load, const QString &load_side);
  // Places a side's record on its canvas, field by field where the field is waiting to
  // be placed (User_Profile_Class::pending; the others keep their objects as they are):
  // a field with a value as a text object (the photo as an image object) carrying the
  // field's id and binding; an object with that id already there is reused in its
  // place, one without gets the field's default rectangle. The objects of a field
  // without a value are hidden. A placed field is settled. The front and back
  // placing first offer or withdraw the "Excel" item of the panel's data-source combo
  // (Excel_Binding_Use) and place only once a profile was accepted (Fill_User_Profile).
  // A failure stops the placing and is logged.
  void Fill_User_profile_info_front_side();
  void Fill_User_profile_info_back_side();
  void Fill_User_profile_info_TEMP_side();
  // The front record on the front, then, on a two-sided card, the back record on the
  // back (as the card size and template windows' profile window filled them), and a
  // redraw.
  void Fill_User_profile_Details(QObject *sender = nullptr);
  // The File menu's Place Profile: Fill_User_profile_Details, or a message when no field
  // waits to be placed.
  void Place_Profile_Clicked(QObject *sender = nullptr);
  // The default rectangle of the field whose id is `ctrl_id`, in card points (y down):
  // the side profile window's landscape placeholder when the front card's width is at
  // least its height, else its portrait one; all zero for an unknown id.
  QRectF Get_Control_Rect_From_Template(const QString &ctrl_id);
  // The temp side becomes copies of the current side's objects (the profile preview
  // places its fields there without touching the design).
  void Temp_Design_Copy_Assign();

  // ---- Help and links (periphery/QLNWindowController_Help.cpp) -------------------------------
  // The Help command: the help window (ui->HelpWindow, filled by periphery/Help_Support)
  // runs application-modally, then is hidden; a failure is logged.
  void Help_Button(QObject *sender = nullptr);
  // The link commands: each hands one fixed address (periphery/Links.h) to the desktop's
  // mail program or browser; whether it opened is not looked at. The sender is ignored.
  void Open_Support_Mail(QObject *sender = nullptr);
  void Open_Reseller_Mail(QObject *sender = nullptr);
  void Open_Website_1(QObject *sender = nullptr);
  void Open_Website_2(QObject *sender = nullptr);
  void Open_Website_3(QObject *sender = nullptr);
  void Open_Google_Plus();
  void Open_FaceBook();
  void Open_Twitter();
  void Open_FB_Like();
  // The comments page of the cards' site; Share_It_Button_Clicked is its menu command.
  void Open_Share_It_Dl();
  void Share_It_Button_Clicked(QObject *sender = nullptr);
  // The share window (periphery/Share_It_Dlg), made on first use with its window in
  // Share_It_Dlg_Window, run modally and hidden.
  void Share_It_Dlg_Clicked(QObject *sender = nullptr);
  QPointer<QDialog> Share_It_Dlg_Window;
  // The promotion window's instance with software_type "S", "R" or "B", opened.
  void Promotion_S_Button(QObject *sender = nullptr);
  void Promotion_R_Button(QObject *sender = nullptr);
  void Promotion_B_Button(QObject *sender = nullptr);
  // Adds the Help menu (help, the maker's links, sharing, the other products) after the
  // other menus and connects it (once, from installEditCommands).
  void installHelpCommands();

  // ---- E-mail (output/QLNWindowController_Mail.cpp) -------------------------------------------
  // The Mail command: the binding checked, then the mail window (output/Send_Mail.h),
  // made on first use; a failure is logged.
  void Mail_Button(QObject *sender = nullptr);

  // ---- Card export (output/QLNWindowController_Export.cpp) -----------------------------------
  // The Export command: the export sheet prepared (72 dpi, the first file type, front
  // side, combined image off, the binding boxes ticked for the sources in use) and run.
  // On OK an unticked binding box turns its source off for this run; with no source left
  // a save panel asks for one file (Export_Single_File), otherwise a folder panel asks
  // where the batch folder goes (Export_Batch_File). Every input is read here.
  void Export_Button(QObject *sender = nullptr);
  // The export sheet's side matrix ("BOTH", "F", "B" into export_card_side; the
  // combined-image box enabled for both sides only), its type matrix and its format
  // popup (kept on the same type).
  void export_card_side_CellClick(QObject *sender = nullptr);
  void export_file_type_CellClick(QObject *sender = nullptr);
  void exportFileTypeChanged(QObject *sender = nullptr);
  // The design as it is into `path` (export_card_side, the combined box and the chosen
  // resolution; a back side goes to Create_Back_Card_Path of `path`). With `show_msg`
  // the result window reports it once every file is written. True when every file was
  // written. GUI thread.
  bool Export_Single_File(const QString &path, bool show_msg);
  // Starts the batch of Total_Batch_Excel_Card cards from the run's snapshot into the
  // folder "Amends Greeting Cards" inside `folder`, on worker threads, with the
  // progress window; returns at once. At the end the result window names the folder
  // and the cards that failed. GUI thread.
  void Export_Batch_File(const QString &folder);
  // A batch is being written.
  bool isExportRunning() const;
  // Writes one image (PNG data whatever the extension); with `show_msg` and success the
  // result window reports it. True when written.
  bool Export_File_Function(const QString &path, const PointImage &original, bool show_msg);
  // Writes both sides as one image (CardExport::combinedImage); "Invalid image" is
  // logged and nothing written when a side is missing.
  bool Export_Combined_Image(const PointImage &front, const PointImage &back, const QString &path, bool show_msg);
  static QString Create_Front_Card_Path(const QString &path);
  static QString Create_Back_Card_Path(const QString &path);
  // The resolution the next export renders at (dots per inch), set by the Export
  // command from saveDPIText.
  double exportDpi = 72;
  // Connects the Export button and the export sheet's controls (once, from
  // installEditCommands).
  void installExportCommands();

  // ---- Printing (output/QLNWindowController_Print.cpp) ---------------------------------------
  // The Print command: the binding checked (an empty batch refused with "List is empty."),
  // then Print_method opens the print window (output/Print_Wnd), made on first use.
  void Print_Button(QObject *sender = nullptr);
  void Print_method();

  // ---- Series windows (dataseries/QLNWindowController_Series.cpp) ----------------------------
  // The Series command: the series manager. The New Series command: the number generator,
  // writing a new series file (the manager's list is not refreshed: it is not open).
  void Batch_Series_Button(QObject *sender = nullptr);
  void Create_Series_Button(QObject *sender = nullptr);

  // ---- Import (dataseries/QLNWindowController_Import.cpp) ------------------------------------
  // The Import command: the import wizard, writing a new series file.
  void Import_Wizard_Button(QObject *sender = nullptr);

  // ---- Background browser (QLNWindowController_Backgrounds.cpp) -----------------------------
  // The shipped backgrounds (png and jpg files of the resource folder's "Background",
  // any case, in name order) in the browser under the canvas; choosing one makes it
  // the front side's background, whichever side is being edited.
  void Load_and_fill_backgrounds();
  // One item (the path trimmed; nothing for an empty path); the browser reloaded.
  void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);
  int numberOfItemsInImageBrowser(ImageBrowser *browser) override;
  const ImageBrowserItem *imageBrowser_itemAtIndex(ImageBrowser *browser, int index) override;
  // Reorders the items (the order is not stored); the browser reloaded.
  void imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                               int destinationIndex) override;
  // Removes nothing: the browser shows the same items again.
  void imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &indexes) override;
  void imageBrowserSelectionDidChange(ImageBrowser *browser);
  // The browser shows selected the front side's background (the item of its picture
  // while the front's fill is that picture), nothing otherwise, whoever set it.
  void showFrontBackgroundInList();
  // The browser's items, in the order shown, and the background chosen last in it.
  QList<std::shared_ptr<MyImageObject>> images;
  QString selected_image;

  // ---- Card settings actions (QLNWindowController_CardSettings.cpp) ------------------------
  // Copies the whole card panel into the current side's Card_Property and redraws;
  // nothing while Not_Draw_Only_Prop_Change is 1.
  void Update_Card_Graphics();
  // The actions of the card tabs' controls (connectCardSettingsActions connects them).
  // A stepper action given its stepper copies the stepper's value into the field beside
  // it; given the field it copies nothing.
  void Set_Card_Clr(QObject *sender = nullptr);
  void Card_Border_ChkBox(QObject *sender = nullptr);
  void Card_Border_Changed(QObject *sender);
  void Card_Fill_Chk_Box(QObject *sender = nullptr);
  void Card_Gradient_Changed(QObject *sender);
  void Card_Alpha_Changed(QObject *sender);
  void Card_Solid_RD_Sel(QObject *sender = nullptr);
  void Card_Gradient_RD_Sel(QObject *sender = nullptr);
  void Card_Hatch_RD_Sel(QObject *sender = nullptr);
  void Card_Image_RD_Sel(QObject *sender = nullptr);
  // The open panel for a background picture of the current side. A chosen file that
  // cannot be read is refused with a message and leaves the side as it was.
  void Card_Image_Browse_Btn(QObject *sender = nullptr);
  // The size fields (millimetres) onto the three canvases, then the content to the texts.
  void Apply_Size_Clicked(QObject *sender = nullptr);
  void card_shape_CellClick(QObject *sender = nullptr);
  // Only a stepper as sender applies the size (after copying its value into its field).
  void Card_Width_Changed(QObject *sender);
  void Card_Height_Changed(QObject *sender);
  // The content colour and font, where they differ from what the card tabs were last
  // filled with, to every text object of the current side; then Update_Card_Graphics.
  void Update_All_Card_Content();
  void Contect_Color_Clicked(QObject *sender = nullptr);
  // The font panel for the content font; a chosen font goes to changeAllTextFont.
  void Content_Font_Clicked(QObject *sender = nullptr);
  void changeAllTextFont(const QFont &chosen);
  // Millimetres to points: mm times 2.834645669291, as a float (QLNWindowController_CardSizes.cpp).
  static float MM_to_Points_Convert(float millimetres);
  // Connects the card tabs' controls to the actions above (once; later calls do nothing).
  void connectCardSettingsActions();

  // ---- Toolbar, edit, lock and side commands (QLNWindowController_EditCommands.cpp) ----
  // The toolbar and Edit menu actions forward to the canvas of the current side
  // (currentView(); never the temp canvas). The sender is ignored. Undo and redo act
  // only while the front side shows (frontSideShows()).
  void Undo_Clicked(QObject *sender = nullptr);
  void Redo_Clicked(QObject *sender = nullptr);
  void Cut_Clicked(QObject *sender = nullptr);
  void Copy_Clicked(QObject *sender = nullptr);
  void Paste_Clicked(QObject *sender = nullptr);
  void Delete_Clicked(QObject *sender = nullptr);
  void Begin_Front_Clicked(QObject *sender = nullptr);
  void Send_Back_Clicked(QObject *sender = nullptr);
  // Lock (unlock) every selected object of the current side and show the last one in
  // the panel; with nothing selected "Please select a control to Lock." ("... Unlock.").
  void Lock_Clicked(QObject *sender = nullptr);
  void Unlock_Clicked(QObject *sender = nullptr);
  // The card tabs in the panel.
  void Card_Prop_Clicked(QObject *sender = nullptr);
  // A background picture from the picture library for the current side: the card tabs,
  // the library in mode "B"; a chosen picture becomes the side's image fill.
  void Card_Bckgrnd_Clicked(QObject *sender = nullptr);
  // The sides: label "Back" and Card_Front_Or_Back 1; the temp side leaves
  // Card_Front_Or_Back as it is. Each ends with the card tabs in the panel.
  void Select_back_side();
  void Select_temp_design_side();
  // The temp list becomes the objects of the current side: the same objects, not copies.
  void Temp_Design_Control_Assign();
  void Front_Card_Btn_Clicked(QObject *sender = nullptr);
  void Back_Card_Btn_Clicked(QObject *sender = nullptr);
  void Temp_Card_Btn_Clicked(QObject *sender = nullptr);
  // Connects the edit toolbar, the side buttons, the toolbar buttons of the other
  // windows, and adds the Edit and Arrange menus (once, from the constructor).
  void installEditCommands();
  // Connects the alignment tab's buttons and grid controls (when the objects' tabs are
  // made).
  void installPanelAlignCommands();
  // A button's action, run when it is clicked; a failure is logged.
  void onCommandClick(QAbstractButton *button, void (QLNWindowController::*action)(QObject *));
  // The objects' tabs were just made (on first use, or once the first screen is drawn):
  // their controls are connected and get their first values.
  void objectTabsMade();
  // The shape tab's pattern list: the card's.
  void fillShapePatterns();

  // ---- Panel buttons, alignment and grid actions (QLNWindowController_PanelButtons.cpp) ----
  // The alignment and sizing buttons: the current canvas's command, then Refresh_Canvas.
  // Same width and height need two selected objects ("Please select more than one
  // control."), align to grid a grid that is always shown and can align ("Please use
  // grid option first.").
  void Align_Center_Clicked(QObject *sender = nullptr);
  void Align_Left_Clicked(QObject *sender = nullptr);
  void Align_Right_Clicked(QObject *sender = nullptr);
  void Align_Top_Clicked(QObject *sender = nullptr);
  void Align_Bottom_Clicked(QObject *sender = nullptr);
  void Align_Horz_Clicked(QObject *sender = nullptr);
  void Align_Vert_Clicked(QObject *sender = nullptr);
  void Make_Same_Width_Clicked(QObject *sender = nullptr);
  void Make_Same_Height_Clicked(QObject *sender = nullptr);
  void Make_Natural_Clicked(QObject *sender = nullptr);
  void Align_To_Grid_Clicked(QObject *sender = nullptr);
  // print_object_chk's state as the print flag of the selected unlocked objects.
  void Print_object_chk_changed(QObject *sender = nullptr);
  // The rotation slider's value into its label, then Update_Image_Graphics.
  void Rotate_Slider_Changed(QObject *sender = nullptr);
  // The grid controls: snapping toggled; the colour or the spacing stored into the grid
  // (which then shows for good); the check box shows or hides the grid for good.
  void toggleGridConstraining(QObject *sender = nullptr);
  void Grid_Clr_Changed(QObject *sender = nullptr);
  void Grid_Slider_Changed(QObject *sender = nullptr);
  void Grid_Show_Hide_Changed(QObject *sender = nullptr);

  // ---- Services: the size list table ---------------------------------------------------
  // The row's "Extension" text; "" (and a log line) for a row outside the list.
  QString Get_Item_Text(int row) const;
  // Appends the trimmed text as a new row; an empty text adds nothing.
  void Create_List(const QString &text);
  // Selects that row of ColList alone.
  void Mark_List_New_Selection(int row);
  bool tableView_shouldSelectRow(int row) const { return true; }
  void tableViewSelectionDidChange() {}
  // Rows of ColList; 0 for any other table.
  int numberOfRowsInTableView(const QObject *table) const;
  QVariant tableView_objectValueForTableColumn_row(const QObject *table, const QString &column, int row) const;
  // Stores the value in the row; a row outside the list is refused (and logged).
  void tableView_setObjectValue_forTableColumn_row(const QObject *table, const QVariant &value,
                                                   const QString &column, int row);
  // Shows ListData in ColList again.
  void reloadColList();

  // ---- Services: side lists ------------------------------------------------------------
  QLNGraphicList Get_Front_Controls_Array() const;
  QLNGraphicList Get_Back_Controls_Array() const;
  // A snapshot of the temp list.
  QLNGraphicList Get_Temp_Controls_Array() const;
  int Get_Front_Control_Count() const;
  int Get_Back_Control_Count() const;
  int Get_Temp_Control_Count() const;

  // ---- Services: images, settings, files ----------------------------------------------
  // The image at `dpi` dots per inch: the same point size, ceil(dpi * points / 72)
  // pixels each way, drawn without interpolation. A null image on failure ("Invalid
  // image" is logged). Any thread.
  static PointImage Increase_DPI(const PointImage &image, double dpi);
  // Writes the image as PNG data at `path`, whatever its extension, recording the
  // image's resolution (pixels per point times 72). The file is replaced only when the
  // whole new file is written. On failure: a message box with the path, then one with
  // the reason, and false. Any thread.
  bool Save_gen_image(const PointImage &image, const QString &file_path_val);
  // Reads the settings file afresh into sender_email, sender_pwd, sending_server,
  // sending_port and send_enable_ssl.
  void Get_Email_Details();
  // The toolkit's version on the scale the renderer compares with: at or above
  // ResolutionIndependentToolkitVersion (core/MainWindowServices.h) the toolkit draws
  // card images as resolution-independent vector data (always so with Qt; 6040 for Qt
  // 6.4.0). toolkitVersion() answers the same.
  static int Get_OS_Version();
  // The export-finished box for Export_File_Path and Export_File_Message, modal.
  void Open_Export_File_Box();
  // Names without extension of the entries of `path` that are not folders, sorted by
  // name; empty for a missing path or a file.
  static QStringList Get_Files_Array_At_Path(const QString &path);
  // The same listing of Data_Folder_Path, each name once: the saved Batch Processing Series.
  static QStringList Get_datasheet_File_Name_Array();
  // Whether the series `name` exists and is bound on the card (front side; also back
  // side when CARD_SIDE_STR is "2").
  bool Check_Batch_File_In_Use_Validation(const QString &name);
  // Removes the spreadsheet reader's unpack folder (spreadsheetUnpackFolder()) with its contents.
  static void Delete_Excel_File_Temp_Folder();
  // The date or time `when` (now when absent) formatted with a date pattern of the
  // platform's pattern letters ("M-d-yyyy", "h:mm:ss a" ...); see DateFormats.h.
  static QString Get_date_Value(const QString &pattern, const std::optional<QDateTime> &when = std::nullopt);
  static QString Get_time_Value(const QString &pattern, const std::optional<QDateTime> &when = std::nullopt);
  static QString Convert_Path_From_URL(const QUrl &url);
  // 0 when the trimmed path is not empty and names an existing file or folder;
  // otherwise the message "Please select valid file path." and 1.
  int Check_And_Validate_File_Path(const QString &path);

  // ---- Services: sheets (any thread) -----------------------------------------------------
  // "It may take a while, Please wait.." over the main window, and its end.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();
  // The one-by-one progress window over the main window, and its end.
  void Show_One_By_One_Modeless();
  void Hide_One_By_One_Modeless();

  // ---- Fields set by init ----------------------------------------------------------------
  QLNGraphic *Last_Selected_Graphic = nullptr;  // not owned
  std::unique_ptr<QLNGrid> _grid;
  double _zoomFactor = 1.0;
  qint32 Selected_Control_Tool = 0;
  FontSpec Text_font;
  std::optional<FontSpec> All_Text_font_COPY;
  QStringList paper_card_arry;
  QStringList pvc_card_arry;
  QString act_path_location;
  // A picture shipped with the program, read at its first use, on whichever thread asks
  // first; calling it gives the picture (a null image, logged, when it cannot be read).
  class ShippedPicture {
  public:
    explicit ShippedPicture(const char *fileName) : m_fileName(QString::fromLatin1(fileName)) {}
    const PointImage &operator()() const;

  private:
    QString m_fileName;
    mutable std::once_flag m_read;
    mutable PointImage m_image;
  };
  const ShippedPicture no_image{"no.png"};
  const ShippedPicture banner_image{"banner.png"};
  const ShippedPicture promotion_pattern_image{"pattern_1.jpg"};
  const ShippedPicture wizard_pattern_image{"Wizard_pattern.jpg"};
  const ShippedPicture sign_sample_img{"sign_sample.png"};
  const ShippedPicture fp_sample_img{"fingerprints.png"};
  const ShippedPicture barcode_sample_img{"barcode_sample.png"};
  // The card settings of the front and the back side: plain members, owned, never null.
  Card_Property Front_card_Prop;
  Card_Property Back_card_Prop;
  // The user profile records of the front, back and temp side: plain members, owned.
  User_Profile_Class Front_user_profile;
  User_Profile_Class Back_user_profile;
  User_Profile_Class TEMP_user_profile;

  // The selections of the front, back and temp side, which the canvases are bound to.
  // They follow their side's list of the document while it is bound.
  QLNSelection _graphicsController;
  QLNSelection _graphicsController_back;
  QLNSelection _graphicsController_TEMP;

  // ---- Fields set by awakeFromNib ----------------------------------------------------------
  QPointer<QObject> send_modls_wnd;
  // Rows of the card-size list: each {"Extension": text}.
  QList<QVariantMap> ListData;
  // The batch binding's table: the lines of every bound series, by series name.
  QHash<QString, QStringList> data_table_content;
  // The snapshot of the current output run (Get_total_Card_count); null between runs.
  std::shared_ptr<const BatchCardSource> m_batchRun;
  // A view controller reference kept for the panel (not owned).
  QObject *myCurrentViewController = nullptr;
  QWidget *myTargetView() const;

signals:
  // The controller's notifications, posted with their name and object
  // (QLNSelectedToolDidChangeNotification with the controller). Observers connect
  // directly: a post returns once every observer has run.
  void notificationPosted(const QString &name, QObject *object);

private:
  void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                              const KeyValueChange &change, const void *context) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  // Binds the three canvases and their selections to the document's lists, the grid
  // and the zoom factor (start-up step 23 and a new document afterwards).
  void bindCanvases(QLNDocument *document);
  // Connects the tool buttons to their actions (once, from the constructor).
  void connectToolButtons();
  void postSelectedToolDidChange();

  QPointer<QLNDocument> m_document;
  FontSpec m_All_Text_font;
  QString m_App_Name;
  bool m_windowLoaded = false;
  bool m_terminationRequested = false;
  int m_exitStatus = 0;
  int m_shownSide = -1;
  // The controller's observation of the tool-change notification (start-up step 24).
  QMetaObject::Connection m_toolObservation;
  // The tool button whose action ran when it became checked, until its click (if any)
  // is reported; and whether the controller itself is checking a tool button.
  QPointer<QObject> m_toolButtonToggled;
  bool m_checkingToolButton = false;
  // A change of the current side's selection waits for showWhatTheCanvasSelects.
  bool m_selectionFollowQueued = false;

  // ---- Property panel and card settings actions --------------------------------------------
  // The panel's fillings, by kind (QLNWindowController_PropertyPanel.cpp).
  void showCardProperties();
  void showObjectProperties(const QLNGraphicPtr &graphic);
  // The tabs and controls of each kind of object, filled by showObjectProperties.
  void insertObjectTabs(bool locked, std::initializer_list<QWidget *> pages, const QString &lockLabel);
  // The data source tab's label and title; `browsable` shows the manual file box.
  void labelDataSourceTab(const QString &title, bool browsable);
  // The values list of an object bound to an imported column: the columns of the rows
  // held now, its own chosen. (A source list already at "Excel" sends no change, so the
  // list would otherwise stay as the previous object or the previous rows left it.)
  void showBoundColumn(const QLNGraphic &object);
  // Shows `graphic` with every control filled again from it, even when the panel shows
  // it already; the tab the user works in then stays open.
  void fillAnew(const QLNGraphicPtr &graphic);
  void showTextProperties(QLNGraphic &object);
  void showImageProperties(QLNGraphic &object);
  void showLineProperties(QLNGraphic &object);
  void showSignatureProperties(QLNGraphic &object);
  void showBarcodeProperties(QLNGraphic &object);
  void showShapeProperties(QLNGraphic &object);
  void insertTabItem(QWidget *page, int index);
  void setTabItemLabel(QWidget *page, const QString &label);
  // The object the panel shows, held weakly: an object that is gone (and another made
  // at its address) is never taken for the one shown.
  std::weak_ptr<QLNGraphic> m_shownGraphic;
  // Labels of the tab pages, kept while a page is out of the tab view.
  QHash<QWidget *, QString> m_tabItemLabels;
  bool m_cardSettingsConnected = false;
  // Set while showFrontBackgroundInList selects in the browser: no background is applied.
  bool m_showingFrontBackground = false;
  // A digest of the design log the design made when it was last saved, opened or begun.
  QByteArray m_savedDesignDigest;
  bool m_objectPropertiesConnected = false;
  bool m_comboBoxesConnected = false;
  // The objects' tabs are made this long after the window first draws itself.
  static constexpr int ObjectTabsDelayMs = 250;
  bool m_objectTabsScheduled = false;
  // The placing of one side's record on `view` (profiles/ProfilePlacing.cpp).
  void placeUserProfile(QLNGraphicView *view, User_Profile_Class &record);
  void placeProfileField(QLNGraphicView *view, const User_Profile_Class &record, int field);
  // The combo dispatcher's decisions.
  void dataSourceDidChange();
  void bindingDidChange();
  void refillSizeList();
  // The selected objects of the current side, for the property updates (null entries
  // left out).
  QLNGraphicList selectedObjectsOfCurrentSide() const;
  // The one selected object whose picture file the panel's path field names: the object
  // the panel shows while it is selected on the current side, else the side's current
  // object while that is selected; null otherwise. The picture actions give the file to
  // it alone; the other selected objects keep their own.
  QLNGraphicPtr pictureObjectOfPanel() const;
};
