// Creation and start-up of the main window controller, the binding of the document,
// the start window, the canvases of the canvas area and their zoom.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DateFormats.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"
#include "canvas/QLNZoomingScrollView.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include "platform/ImageBrowser.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QTimer>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include <cmath>
#include <exception>

const QString QLNSelectedToolDidChangeNotification = QStringLiteral("QLNSelectedToolDidChange");
const char *const QLNWindowControllerCanvasSizeObservationContext =
    "org.amends.Amends.QLNWindowController.canvasSize";
const char *const QLNWindowControllerSelectionObservationContext =
    "org.amends.Amends.QLNWindowController.selectionIndexes";

QLNWindowController *app_DefaultInstance = nullptr;

namespace {

// A picture shipped with the program: from the shipped resources, or from the user's
// resource folder (which is seeded from them) when the shipped ones are not found.
PointImage shippedImage(const QString &fileName) {
  for (const QString &folder : {Paths::shippedResourcesFolder(), Paths::resourceFolder()}) {
    if (folder.isEmpty())
      continue;
    const QString path = joinPath(folder, fileName);
    if (!QFileInfo(path).isFile())
      continue;
    QString error;
    PointImage image = PointImage::load(path, &error);
    if (!image.isNull())
      return image;
    Log::write(QStringLiteral("The picture \"%1\" cannot be read: %2").arg(path, error));
  }
  Log::write(QStringLiteral("The picture \"%1\" is missing from the resources.").arg(fileName));
  return PointImage();
}

}  // namespace

QLNWindowController::Hooks &QLNWindowController::hooks() {
  static Hooks theHooks;
  return theHooks;
}

QLNWindowController *QLNWindowController::defaultInstance() { return app_DefaultInstance; }

QLNWindowController::QLNWindowController()
    : ui(new DrawWindow), _grid(std::make_unique<QLNGrid>()), Text_font(Text_Ctrl_Font, 14.0),
      m_All_Text_font(Text_Ctrl_Font, 14.0) {
  ui->build();
  // The objects' tabs are made when first used, or once the first screen is drawn.
  ui->objectTabs.whenBuilt([this] { objectTabsMade(); });
  app_DefaultInstance = this;
  Main_App_wnd = this;

  paper_card_arry = {QStringLiteral("Durable 1452 - Name Badge"), QStringLiteral("Durable 1453 - Name Badge"),
                     QStringLiteral("Durable 1454 - Name Badge"), QStringLiteral("Durable 1455 - Name Badge"),
                     QStringLiteral("Durable 1456 - Name Badge"), QStringLiteral("Durable 1457 - Name Badge"),
                     QStringLiteral("Durable 1458 - Name Badge"), QStringLiteral("Durable 1459 - Name Badge")};
  pvc_card_arry = {QStringLiteral("CR80-Credit Card Size"), QStringLiteral("CR79"), QStringLiteral("CR90-Over Sized"),
                   QStringLiteral("CR100-Military Size"),   QStringLiteral("CR50"), QStringLiteral("CR60"),
                   QStringLiteral("CR70")};
  act_path_location = Paths::resourceFolder();
  // File panels start in the folder of the design's own file, while it has one.
  UiServices::instance().setDocumentFolderSource([] {
    const QString path = Trim_Str(Project_File_Name);
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
  });

  QString bundleName = QCoreApplication::applicationName();
  if (bundleName.isEmpty())
    bundleName = QStringLiteral("Amends");
  m_App_Name = Replace_char_in_string(bundleName, QStringLiteral("&"), QStringLiteral("and"));

  Front_user_profile.Reset_All_Values();
  Back_user_profile.Reset_All_Values();
  TEMP_user_profile.Reset_All_Values();
  // The property panel follows the selection of the front and the back side.
  for (QLNSelection *selection : {&_graphicsController, &_graphicsController_back})
    selection->addObserver(this, QLNSelectionIndexesKey, QLNWindowControllerSelectionObservationContext);

  for (QLNGraphicView *view : {frontView(), backView(), tempView()})
    view->setZoomFactor(_zoomFactor);
  ui->All_Text_clr->setColor(Qt::black);
  ui->All_Text_font_value->setText(
      QStringLiteral("%1 ( %2 )").arg(m_All_Text_font.postScriptName(), QString::number(m_All_Text_font.pointSize(), 'f', 2)));

  // The design-file commands (New, Open, Save, Save As in the toolbar and the File menu)
  // and Exit.
  installDesignFileCommands();
  // The tool column.
  connectToolButtons();
  // The card tabs' controls reach the card settings actions.
  connectCardSettingsActions();
  connectComboBoxes();
  // The edit toolbar, the Edit and Arrange menus and the sides.
  installEditCommands();
  ui->window->installEventFilter(this);
}

QLNWindowController::~QLNWindowController() {
  if (m_document) {
    m_document->removeObserver(this, QLNDocumentCanvasSizeKey, QLNWindowControllerCanvasSizeObservationContext);
    disconnect(m_document->undoManager(), &UndoManager::stacksChanged, this, nullptr);
  }
  disconnect(m_toolObservation);
  for (QLNSelection *selection : {&_graphicsController, &_graphicsController_back})
    selection->removeObserver(this, QLNSelectionIndexesKey, QLNWindowControllerSelectionObservationContext);
  // The canvases let go of the lists, the selections and the grid before anything they
  // are bound to goes; the selections (members) are destroyed after the window.
  for (QLNGraphicView *view : {frontView(), backView(), tempView()}) {
    view->unbind(QLNGraphicViewGraphicsBindingName);
    view->unbind(QLNGraphicViewSelectionIndexesBindingName);
    view->unbind(QLNGraphicViewGridBindingName);
  }
  for (QLNSelection *selection : {&_graphicsController, &_graphicsController_back, &_graphicsController_TEMP})
    selection->unbindContent();
  if (ui->window)
    ui->window->removeEventFilter(this);
  delete ui;
  ui = nullptr;
  if (app_DefaultInstance == this)
    app_DefaultInstance = nullptr;
  if (Main_App_wnd == this)
    Main_App_wnd = nullptr;
}

const PointImage &QLNWindowController::ShippedPicture::operator()() const {
  std::call_once(m_read, [this] { m_image = shippedImage(m_fileName); });
  return m_image;
}

QMainWindow *QLNWindowController::window() const { return ui->window; }

QWidget *QLNWindowController::myTargetView() const { return ui->myTargetView; }

QLNGraphicView *QLNWindowController::frontView() const { return ui->_graphicView; }
QLNGraphicView *QLNWindowController::backView() const { return ui->_graphicView_BACK; }
QLNGraphicView *QLNWindowController::tempView() const { return ui->_graphicView_TEMP; }

QLNGraphicView *QLNWindowController::currentView() const {
  return Card_Front_Or_Back.load() != 0 ? backView() : frontView();
}

bool QLNWindowController::frontSideShows() const {
  // Before the first side is shown (-1) the front is the one to come.
  return m_shownSide <= 0 && Card_Front_Or_Back.load() == 0;
}

QColor QLNWindowController::All_Text_clr() const { return ui->All_Text_clr->color(); }

QRectF QLNWindowController::frontCanvasBounds() const { return frontView()->bounds(); }

// ---- Document ------------------------------------------------------------------------------

void QLNWindowController::setDocument(QLNDocument *document) {
  if (!document) {
    // The canvases let go of the lists and the grid; the selections stop following the
    // lists (the canvases stay bound to them, as to the controller's own objects).
    for (QLNZoomingScrollView *scrollView : zoomingScrollViews())
      scrollView->unbind(QLNZoomingScrollViewFactor);
    for (QLNGraphicView *view : {frontView(), backView(), tempView()}) {
      view->unbind(QLNGraphicViewGraphicsBindingName);
      view->unbind(QLNGraphicViewGridBindingName);
    }
    for (QLNSelection *selection : {&_graphicsController, &_graphicsController_back, &_graphicsController_TEMP})
      selection->unbindContent();
  }
  if (m_document) {
    m_document->removeObserver(this, QLNDocumentCanvasSizeKey, QLNWindowControllerCanvasSizeObservationContext);
    disconnect(m_document->undoManager(), &UndoManager::stacksChanged, this, nullptr);
  }
  m_document = document;
  if (document) {
    document->addObserver(this, QLNDocumentCanvasSizeKey, QLNWindowControllerCanvasSizeObservationContext);
    connect(document->undoManager(), &UndoManager::stacksChanged, this,
            &QLNWindowController::Undo_Redo_Button_state);
    // The bindings of the canvases name "document.<list>": once they are in force
    // (start-up step 23) they follow a new document.
    if (m_windowLoaded)
      bindCanvases(document);
  }
  Undo_Redo_Button_state();
}

void QLNWindowController::bindCanvases(QLNDocument *document) {
  struct Side {
    QLNGraphicView *view;
    QLNSelection *selection;
    const QString &key;
  };
  const Side sides[] = {{frontView(), &_graphicsController, QLNDocumentGraphicsKey},
                        {backView(), &_graphicsController_back, QLNDocumentGraphicsKey_back},
                        {tempView(), &_graphicsController_TEMP, QLNDocumentGraphicsKey_temp}};
  for (const Side &side : sides) {
    // The selection follows the list first, so that it never names an object the
    // canvas does not have.
    if (document)
      side.selection->bindContent(document, side.key);
    side.view->bindSelectionIndexes(side.selection);
    if (document)
      side.view->bindGraphics(document, side.key);
    side.view->setGrid(_grid.get());
  }
  // The zoom list of every side sets the controller's zoom factor, which reaches every
  // side's view.
  for (QLNZoomingScrollView *scrollView : zoomingScrollViews()) {
    scrollView->bind(QLNZoomingScrollViewFactor, [this](double factor) { setZoomFactor(factor); });
    scrollView->setFactor(_zoomFactor);
  }
}

std::array<QLNZoomingScrollView *, 3> QLNWindowController::zoomingScrollViews() const {
  return {ui->_zoomingScrollView, ui->_zoomingScrollView_BACK, ui->_zoomingScrollView_TEMP};
}

void QLNWindowController::setZoomFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0)
    return;
  _zoomFactor = factor;
  // A bound view zooms its canvas; before the bindings (or after the document went) the
  // canvases take the factor directly.
  for (QLNZoomingScrollView *scrollView : zoomingScrollViews()) {
    if (scrollView->isFactorBound())
      scrollView->setFactor(factor);
    else if (auto *canvas = qobject_cast<QLNGraphicView *>(scrollView->documentView()))
      canvas->setZoomFactor(factor);
  }
}

void QLNWindowController::observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                                                 const KeyValueChange &change, const void *context) {
  if (context == QLNWindowControllerSelectionObservationContext) {
    const QLNSelection *current = Card_Front_Or_Back.load() != 0 ? &_graphicsController_back : &_graphicsController;
    if (object != static_cast<const KeyValueObservable *>(current) || m_selectionFollowQueued)
      return;
    // Once the command has finished: in the middle of it (an object being made, a
    // profile being placed) the selection may change several times.
    m_selectionFollowQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          m_selectionFollowQueued = false;
          showWhatTheCanvasSelects();
        },
        Qt::QueuedConnection);
    return;
  }
  if (context != QLNWindowControllerCanvasSizeObservationContext)
    return;
  if (!change.newValue.isValid() || change.newValue.isNull() || !change.newValue.canConvert<QSizeF>())
    return;
  SetDocumentCanvasSize(change.newValue.toSizeF());
}

bool QLNWindowController::eventFilter(QObject *watched, QEvent *event) {
  if (watched == ui->window && event->type() == QEvent::Paint && !m_objectTabsScheduled) {
    // The first screen shows the card's tabs only: the objects' tabs are made a moment
    // after the window first draws itself (and the start window over it), unless
    // something needs them before.
    m_objectTabsScheduled = true;
    QTimer::singleShot(ObjectTabsDelayMs, this, [this] { ui->objectTabs.ensureBuilt(); });
  }
  if (watched == ui->window && event->type() == QEvent::Close) {
    windowWillClose();
    // The window has no close button, but a window manager can still close it: that
    // goes through the Exit command, which asks to save, instead of ending the program
    // with the design unsaved.
    if (!m_terminationRequested) {
      event->ignore();
      Exit_App();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void QLNWindowController::windowWillClose() {
  // The main window closing is the program ending: there is nothing to keep or undo.
}

void QLNWindowController::newDocumentWindow() { Open_Start_Window(); }

void QLNWindowController::windowDidLoad() {}

// ---- Start-up ----------------------------------------------------------------------------------

void QLNWindowController::showWindow() {
  if (!m_windowLoaded) {
    m_windowLoaded = true;
    awakeFromNib();
    if (m_terminationRequested)
      return;
    windowDidLoad();
  }
  if (m_terminationRequested)
    return;
  ui->window->show();
  ui->window->raise();
  ui->window->activateWindow();
}

void QLNWindowController::endProcess(int status) {
  m_terminationRequested = true;
  m_exitStatus = status;
  if (hooks().exitProcess) {
    hooks().exitProcess(status);
    return;
  }
  // The application's normal quit: the window goes, every running event loop returns
  // (the main one with `status`, which main returns once the session's objects are
  // destroyed and their files closed). Before the event loop runs (the start-up ended
  // it), the session sees terminationRequested() and main returns exitStatus().
  if (ui && ui->window)
    ui->window->hide();
  QCoreApplication::exit(status);
}

void QLNWindowController::awakeFromNib() {
  QMainWindow *mainWindow = ui->window;

  // 1. No close button (the program ends through its Exit command); the window to the
  //    front. 2. Its background colour and frame: 1000 by 800 points, 100 points from the
  //    left edge of the screen and standing on its bottom edge.
  mainWindow->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
  QPalette palette = mainWindow->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  mainWindow->setPalette(palette);
  mainWindow->resize(1000, 800);
  if (QScreen *screen = QGuiApplication::primaryScreen()) {
    const QRect available = screen->availableGeometry();
    mainWindow->move(available.left() + 100, std::max(available.top(), available.bottom() + 1 - 800));
  }
  // 12. The panel holds only the three tabs the new project shows for the card (the
  //     window was built so): the card's other two pages are kept out of sight and the
  //     objects' tabs are made later (objectTabsMade), so the first layout measures only
  //     what shows.
  mainWindow->show();
  mainWindow->raise();
  mainWindow->activateWindow();

  // 4. The shared progress window and the batch binding's table.
  send_modls_wnd = hooks().sharedProgressWindow ? hooks().sharedProgressWindow() : nullptr;
  data_table_content.clear();

  // 5. The e-mail settings.
  Get_Email_Details();

  // 6. The resource folder: made with the user's umask and seeded from the shipped
  //    resources; without it the program cannot run.
  Resource_Path = Paths::resourceFolder();
  QString error;
  if (!Paths::prepareResourceFolder(&error)) {
    Show_MessageBox(QStringLiteral("%1 cannot access its data files, so it has to close.\n%2").arg(App_Name(), error));
    endProcess(1);
    return;
  }
  // 7. The data folder (made by the new-project reset).
  Data_Folder_Path = joinPath(Resource_Path, QStringLiteral("DataSet"));

  // 8. The background browser: the controller is its data source; the items can be
  //    reordered; the shipped backgrounds.
  images.clear();
  ui->imageBrowser->setDataSource(this);
  ui->imageBrowser->setAllowsReordering(true);
  ui->imageBrowser->setZoomValue(0.4);
  connect(ui->imageBrowser, &ImageBrowser::selectionDidChange, this,
          [this] { imageBrowserSelectionDidChange(ui->imageBrowser); });
  Load_and_fill_backgrounds();

  // 9. (The shape border style starts at its first item when the objects' tabs are made.)

  // 10. The size list.
  ListData.clear();
  reloadColList();

  // 11. The rulers, hidden when the canvases are made, are toggled once: shown.
  ui->Show_Hide_Ruler_chk->setChecked(true);

  // 13 - 20. Fill the controls while the property updates are off.
  Not_Draw_Only_Prop_Change = 1;
  // Each selection reaches the combo dispatcher, also where the combo shows that item
  // already: the sides combo enables the back side, the category fills the size list.
  const auto select = [](QComboBox *combo, int index) {
    {
      const QSignalBlocker quiet(combo);
      combo->setCurrentIndex(-1);
    }
    combo->setCurrentIndex(index);
  };
  select(ui->Card_image_layout, 1);
  select(ui->Sides_ComboBox, 0);
  select(ui->Preset_ComboBox, 0);
  select(ui->Category_ComboBox, 0);

  ui->Card_bor_Text->setText(QStringLiteral("3"));
  ui->Card_bor_Stepper->setValue(3);
  ui->Card_border_style->setCurrentIndex(0);

  const QString patternFolder = joinPath(Resource_Path, QStringLiteral("Fill_Style_Image"));
  const QStringList patterns = Get_Files_Array_At_Path(patternFolder);
  ui->Card_hatch_style->clear();
  for (const QString &name : patterns) {
    // Each pattern shows its picture beside its name; only a regular file is read (a
    // named pipe among the user's patterns would wait for a writer for ever).
    const PointImage picture = PointImage::load(joinPath(patternFolder, name + QStringLiteral(".png")));
    const QIcon icon = picture.isNull()
                           ? QIcon()
                           : QIcon(QPixmap::fromImage(picture.pixels.scaled(32, 16, Qt::IgnoreAspectRatio)));
    ui->Card_hatch_style->addItem(icon, name);
  }
  if (!patterns.isEmpty())
    ui->Card_hatch_style->setCurrentIndex(0);
  // Objects' tabs made already (something needed them early) get the same patterns.
  if (ui->objectTabs.isBuilt())
    fillShapePatterns();
  // 18 (end). The card fill controls set for a solid fill.
  card_prop_set(QStringLiteral("S"));
  Not_Draw_Only_Prop_Change = 0;

  // 21. Each side's scroll view gets its rulers (shown as step 11 left them).
  for (QLNZoomingScrollView *scrollView : zoomingScrollViews()) {
    scrollView->setHasHorizontalRuler(true);
    scrollView->setHasVerticalRuler(true);
  }

  // 22. The standard canvas size.
  SetDocumentCanvasSize(QLNDocument::canvasSize(true, QSizeF(0, 0)));

  // 23. The canvases follow their selections, the document's lists, the grid and the
  //     zoom factor (through each side's zooming scroll view).
  bindCanvases(m_document);

  // 24. The tools: the arrow tool places nothing; from now on every tool change
  //     places the tool's object.
  selectedToolDidChange(nullptr);
  if (!m_toolObservation) {
    m_toolObservation = connect(
        this, &QLNWindowController::notificationPosted, this,
        [this](const QString &name, QObject *object) {
          if (name == QLNSelectedToolDidChangeNotification)
            selectedToolDidChange(object);
        },
        Qt::DirectConnection);
  }

  // 25. A new project, which ends with the start window.
  New_Project();
  if (m_terminationRequested)
    return;

  // 26. The front side.
  changeViewController(0);
}

void QLNWindowController::objectTabsMade() {
  connectObjectPropertyActions();
  connectObjectComboBoxes();
  installPanelAlignCommands();
  // The barcode tab's button opens the barcode designer; the data source tab binds.
  installBarcodeCommands();
  installBatchBindingCommands();

  // Their first values, filled while the property updates are off.
  PropertyFillGuard fill;
  ui->shape_border_style->setCurrentIndex(0);
  ui->Text_Date_style->clear();
  ui->Text_Date_style->addItems(DateFormats::datePatterns());
  ui->Text_Date_style->setCurrentIndex(0);
  ui->Text_Time_style->clear();
  ui->Text_Time_style->addItems(DateFormats::timePatterns());
  ui->Text_Time_style->setCurrentIndex(0);
  ui->Text_align_combo->setCurrentIndex(0);
  ui->Text_case_combo->setCurrentIndex(0);
  fillShapePatterns();
}

void QLNWindowController::fillShapePatterns() {
  // The shapes offer the card's fill patterns, read at start-up.
  const PropertyFillGuard fill;
  ui->shape_hatch_style->clear();
  for (int index = 0; index < ui->Card_hatch_style->count(); ++index)
    ui->shape_hatch_style->addItem(ui->Card_hatch_style->itemIcon(index), ui->Card_hatch_style->itemText(index));
  if (ui->shape_hatch_style->count() > 0)
    ui->shape_hatch_style->setCurrentIndex(0);
}

void QLNWindowController::Open_Start_Window() {
  ui->Front_back_label->hide();

  int result = 1;
  if (hooks().runStartWindow) {
    result = hooks().runStartWindow();
  } else {
    // No start window yet: as if it had been confirmed without a choice.
    Start_Card_Option.clear();
  }
  if (result != 1) {
    endProcess(0);
    return;
  }

  if (Start_Card_Option == QStringLiteral("W")) {
    if (m_document)
      m_document->Enable_Disable_Undo_Registraion(0);
    // The card panel as the wizard left it becomes the current side's settings.
    Update_Card_Graphics();
    ui->myTargetView->show();
    ui->sett_tab->show();
    ui->matrix_card_shape->selectCellAtRow(Card_Shape.load());
    Fill_Party_Invidation_Details();
    Show_RHS_Properties(nullptr);
    if (m_document)
      m_document->Enable_Disable_Undo_Registraion(1);
  }
}

// ---- Sides ------------------------------------------------------------------

void QLNWindowController::changeViewController(int side) {
  QWidget *container = nullptr;
  switch (side) {
  case 0:
    container = ui->first_view;
    break;
  case 1:
    container = ui->second_view;
    break;
  case 2:
    container = ui->temp_design_view;
    break;
  default:
    return;
  }
  QLayout *layout = ui->myTargetView->layout();
  if (layout->count() > 0) {
    QWidget *shown = layout->itemAt(0)->widget();
    if (shown == container) {
      Undo_Redo_Button_state();
      return;
    }
    layout->removeWidget(shown);
    if (shown)
      shown->hide();
  }
  layout->addWidget(container);
  container->show();
  m_shownSide = side;
  // Undo and redo are there for the front side alone; the other editing commands are
  // off while the temp side shows (the card or object shown next sets them otherwise).
  Undo_Redo_Button_state();
  disableEditingButtonsWhileTempShows();
}

void QLNWindowController::Select_front_side() {
  ui->Front_back_label->setText(QStringLiteral("Front"));
  Card_Front_Or_Back = 0;
  changeViewController(0);
  Show_RHS_Properties(nullptr);
}
