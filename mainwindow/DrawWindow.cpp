#include "mainwindow/DrawWindow.h"

#include "mainwindow/DrawWindow_Build.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"
#include "canvas/QLNZoomingScrollView.h"

#include "platform/ImageBrowser.h"

#include <QBoxLayout>
#include <QEvent>
#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

// ---- Layout pieces of the builders --------------------------------------------------------

namespace drawwindow {

QVBoxLayout *makePage(QWidget *&member, const char *name) {
  auto *scroll = new QScrollArea;
  scroll->setObjectName(QLatin1String(name));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto *content = new QWidget;
  content->setObjectName(QLatin1String(name) + QStringLiteral("_content"));
  scroll->setWidget(content);
  auto *column = new QVBoxLayout(content);
  column->setContentsMargins(10, 10, 10, 10);
  column->setSpacing(8);
  member = scroll;
  return column;
}

QLabel *sectionTitle(const QString &text) {
  auto *label = new QLabel(text);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  label->setContentsMargins(0, 4, 0, 0);
  return label;
}

QFormLayout *newForm() {
  auto *form = new QFormLayout;
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  form->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
  form->setHorizontalSpacing(8);
  form->setVerticalSpacing(6);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  return form;
}

namespace {

// Shows and hides a whole row with one of its controls: the panel hides a field that
// does not apply to the selected object (a corner radius for a plain rectangle), and
// its unit and stepper go with it.
class RowFollowsControl : public QObject {
public:
  RowFollowsControl(QWidget *control, QWidget *row) : QObject(control), m_row(row) {
    control->installEventFilter(this);
  }

  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::HideToParent)
      m_row->hide();
    else if (event->type() == QEvent::ShowToParent)
      m_row->show();
    return false;
  }

private:
  QWidget *m_row;
};

}  // namespace

QWidget *valueRow(QLineEdit *field, Stepper *stepper, const QString &unit, int decimals) {
  auto *row = new QWidget;
  auto *layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  field->setFixedWidth(64);
  layout->addWidget(field);
  layout->addWidget(stepper);
  if (!unit.isEmpty()) {
    layout->addSpacing(4);
    layout->addWidget(new QLabel(unit));
  }
  layout->addStretch(1);
  linkStepperAndField(stepper, field, decimals);
  new RowFollowsControl(field, row);
  return row;
}

QWidget *hbox(std::initializer_list<QWidget *> widgets, bool stretch) {
  auto *row = new QWidget;
  auto *layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  for (QWidget *widget : widgets)
    layout->addWidget(widget);
  if (stretch)
    layout->addStretch(1);
  return row;
}

void setupStepper(Stepper *stepper, double minimum, double maximum, double increment, double value) {
  stepper->setRange(minimum, maximum);
  stepper->setIncrement(increment);
  stepper->setValue(value);
}

QLineEdit *readOnly(QLineEdit *field) {
  field->setReadOnly(true);
  return field;
}

void describe(QWidget *control, const QString &name, const QString &tip) {
  control->setAccessibleName(name);
  control->setToolTip(tip);
}

void withTip(QWidget *control, const QString &tip) { control->setToolTip(tip); }

void describeValue(QLineEdit *field, Stepper *stepper, const QString &name, const QString &tip) {
  describe(field, name, tip);
  stepper->describe(name);
}

}  // namespace drawwindow

using namespace drawwindow;

namespace {

QToolButton *commandButton(QToolButton *button, const QString &text, const QString &tip) {
  button->setText(text);
  button->setToolTip(tip);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

DrawWindow::DrawWindow() = default;

DrawWindow::~DrawWindow() {
  // The dialogs are owned by the window (their parent); deleting it deletes them.
  delete window;
}

const QStringList &DrawWindow::tabTitles() {
  static const QStringList titles{
      QStringLiteral("Card"),  QStringLiteral("Info"),      QStringLiteral("Size"),
      QStringLiteral("Background"), QStringLiteral("Border"), QStringLiteral("Line"),
      QStringLiteral("Shape"), QStringLiteral("Text"),      QStringLiteral("Text Style"),
      QStringLiteral("Image"), QStringLiteral("Signature"), QStringLiteral("Data Source"),
      QStringLiteral("Align"), QStringLiteral("Barcode"),   QStringLiteral("Locked")};
  return titles;
}

std::array<QWidget *, 15> DrawWindow::tabPages() const {
  objectTabs.ensureBuilt();
  return tabPagesMade();
}

std::array<QWidget *, 15> DrawWindow::tabPagesMade() const {
  return {card_setting_tab,         card_info_tab,          card_size_tab,
          card_bkgd_tab,            card_brdr_tab,          line_tab.ifBuilt(),
          shape_tab.ifBuilt(),      text_edtng_tab.ifBuilt(), text_prop_tab.ifBuilt(),
          image_tab.ifBuilt(),      sign_tab.ifBuilt(),     datasource_tab.ifBuilt(),
          aligmnt_tab.ifBuilt(),    barcode_tab.ifBuilt(),  Lock_tab.ifBuilt()};
}

std::array<QToolButton *, 16> DrawWindow::toolButtons() const {
  return {Arrow_Tool_btn,   Line_Tool_btn,    Text_Tool_btn,   Rect_Tool_btn,
          Circle_Tool_btn,  Round_Rect_Tool_btn, Triangle_Tool_btn, Diamond_Tool_btn,
          Image_Tool_btn,   Image_Library_Tool_btn, Barcode_Tool_btn, Signature_Tool_btn,
          Fingure_Print_Tool_btn, Star_Tool_btn, Double_Star_Tool_btn, Polygon_Tool_btn};
}

QList<QDialog *> DrawWindow::dialogs() const {
  return {ExportWindow, Open_Export_Files, plz_wait_Window, Send_Models_Window,
          HelpWindow,   Review_Window,     Export_Template_Window};
}

void DrawWindow::build() {
  buildMainWindow();
  buildCommandToolbar();
  buildEditToolbar();
  QHBoxLayout *columns = buildCentralArea();
  buildToolColumn(columns);
  buildCanvasArea(columns);
  buildPropertyPanel(columns);
  buildStatusBar();
  buildExportSheet();
  buildExportFinishedBox();
  buildWaitSheet();
  buildProgressWindow();
  buildHelpWindow();
  buildReviewWindow();
  buildTemplateNameWindow();
}

// ---- The main window ------------------------------------------------------------------------

void DrawWindow::buildMainWindow() {
  MAKE(window);
  window->setObjectName(QStringLiteral("DrawWindow"));
  Main_wnd = window;
  window->setWindowTitle(QStringLiteral("Amends"));
  window->resize(1000, 800);
  {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, WindowGround);
    window->setPalette(palette);
  }
}

void DrawWindow::buildCommandToolbar() {
  auto *commands = new QToolBar(QStringLiteral("Commands"), window);
  commands->setObjectName(QStringLiteral("command_toolbar"));
  commands->setMovable(false);
  commands->setFloatable(false);
  commands->setIconSize(QSize(20, 20));
  window->addToolBar(Qt::TopToolBarArea, commands);
  commands->addWidget(commandButton(MAKE(Card_Prop_btn), QStringLiteral("Card"), QStringLiteral("Card properties")));
  commands->addWidget(commandButton(MAKE(Card_Bckgrnd_btn), QStringLiteral("Background"),
                                    QStringLiteral("Choose a background picture for the card")));
  commands->addWidget(commandButton(MAKE(Export_As_Template_btn), QStringLiteral("Save as Template"),
                                    QStringLiteral("Save the design as a template")));
  commands->addSeparator();
  commands->addWidget(commandButton(MAKE(Batch_Series_btn), QStringLiteral("Series"),
                                    QStringLiteral("Batch Processing Series")));
  commands->addWidget(commandButton(MAKE(Import_Wizard_btn), QStringLiteral("Import"),
                                    QStringLiteral("Import a list of values")));
  commands->addWidget(commandButton(MAKE(Create_Series_btn), QStringLiteral("New Series"),
                                    QStringLiteral("Generate a number series")));
  commands->addSeparator();
  commands->addWidget(commandButton(MAKE(User_Profile_btn), QStringLiteral("Profile"),
                                    QStringLiteral("Place the user profile on the card")));
  commands->addSeparator();
  commands->addWidget(commandButton(MAKE(Export_btn), QStringLiteral("Export"), QStringLiteral("Export the card as images")));
  commands->addWidget(commandButton(MAKE(Mail_btn), QStringLiteral("Mail"), QStringLiteral("Send the card by e-mail")));
  commands->addWidget(commandButton(MAKE(Print_btn), QStringLiteral("Print"), QStringLiteral("Print cards")));
  auto *spacer = new QWidget;
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  commands->addWidget(spacer);
  commands->addWidget(commandButton(MAKE(Help_btn), QStringLiteral("Help"), QStringLiteral("Help")));
  commands->addWidget(commandButton(MAKE(Exit_btn), QStringLiteral("Exit"), QStringLiteral("Quit Amends")));
}

void DrawWindow::buildEditToolbar() {
  window->addToolBarBreak(Qt::TopToolBarArea);
  auto *edits = new QToolBar(QStringLiteral("Edit"), window);
  edits->setObjectName(QStringLiteral("edit_toolbar"));
  edits->setMovable(false);
  edits->setFloatable(false);
  window->addToolBar(Qt::TopToolBarArea, edits);
  edits->addWidget(commandButton(MAKE(Undo_btn), QStringLiteral("Undo"), QStringLiteral("Undo")));
  edits->addWidget(commandButton(MAKE(Redo_btn), QStringLiteral("Redo"), QStringLiteral("Redo")));
  edits->addSeparator();
  edits->addWidget(commandButton(MAKE(Cut_btn), QStringLiteral("Cut"), QStringLiteral("Cut")));
  edits->addWidget(commandButton(MAKE(Copy_btn), QStringLiteral("Copy"), QStringLiteral("Copy")));
  edits->addWidget(commandButton(MAKE(Paste_btn), QStringLiteral("Paste"), QStringLiteral("Paste")));
  edits->addWidget(commandButton(MAKE(Delete_btn), QStringLiteral("Delete"), QStringLiteral("Delete")));
  edits->addSeparator();
  edits->addWidget(commandButton(MAKE(Begin_Front_btn), QStringLiteral("Bring to Front"), QStringLiteral("Bring to front")));
  edits->addWidget(commandButton(MAKE(Send_Back_btn), QStringLiteral("Send to Back"), QStringLiteral("Send to back")));
  edits->addSeparator();
  edits->addWidget(commandButton(MAKE(Lock_btn), QStringLiteral("Lock"), QStringLiteral("Lock the selected objects")));
  edits->addWidget(commandButton(MAKE(Unlock_btn), QStringLiteral("Unlock"), QStringLiteral("Unlock the selected objects")));
  for (QToolButton *button : {Undo_btn, Redo_btn, Cut_btn, Copy_btn, Delete_btn, Begin_Front_btn, Send_Back_btn,
                              Lock_btn, Unlock_btn, Paste_btn})
    button->setEnabled(false);
}

QHBoxLayout *DrawWindow::buildCentralArea() {
  auto *central = new QWidget;
  central->setObjectName(QStringLiteral("central_area"));
  window->setCentralWidget(central);
  auto *columns = new QHBoxLayout(central);
  columns->setContentsMargins(6, 4, 6, 6);
  columns->setSpacing(6);
  return columns;
}

// Middle column: side bar, canvas area, background browser.
void DrawWindow::buildCanvasArea(QHBoxLayout *columns) {
  auto *middle = new QVBoxLayout;
  middle->setSpacing(6);
  columns->addLayout(middle, 1);

  buildSideBar(middle);
  buildSideViews(middle);
  buildBackgroundBrowser(middle);
}

void DrawWindow::buildSideBar(QVBoxLayout *middle) {
  auto *sideBar = new QHBoxLayout;
  sideBar->setSpacing(4);
  auto sideButton = [](QToolButton *button, const QString &text, const QString &tip) {
    button->setText(text);
    button->setToolTip(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setMinimumWidth(56);
    return button;
  };
  sideBar->addWidget(sideButton(MAKE(Front_Side_btn), QStringLiteral("Front"), QStringLiteral("Edit the front side")));
  sideBar->addWidget(sideButton(MAKE(Back_Side_btn), QStringLiteral("Back"), QStringLiteral("Edit the back side")));
  sideBar->addWidget(sideButton(MAKE(Temp_Side_btn), QStringLiteral("Temp"), QStringLiteral("Preview on the temp side")));
  sideBar->addSpacing(12);
  MAKE(Front_back_label, QStringLiteral("Front"));
  {
    QFont font = Front_back_label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    Front_back_label->setFont(font);
  }
  sideBar->addWidget(Front_back_label);
  sideBar->addStretch(1);
  MAKE(Show_Hide_Ruler_chk, QStringLiteral("Rulers"));
  withTip(Show_Hide_Ruler_chk, "Show or hide the rulers along the card");
  sideBar->addWidget(Show_Hide_Ruler_chk);
  middle->addLayout(sideBar);
}

void DrawWindow::buildSideViews(QVBoxLayout *middle) {
  MAKE(myTargetView);
  auto *targetLayout = new QVBoxLayout(myTargetView);
  targetLayout->setContentsMargins(0, 0, 0, 0);
  targetLayout->setSpacing(0);
  middle->addWidget(myTargetView, 1);

  // One container per side: the zooming scroll view that centres the side's editing
  // canvas on its backdrop, with the zoom list beside its horizontal scroll bar. The
  // start-up gives each its rulers.
  auto makeSide = [&](QWidget *&container, const char *containerName, QLNZoomingScrollView *&scroll,
                      const char *scrollName, QLNGraphicView *&view, const char *viewName) {
    container = named(new QWidget(myTargetView), containerName);
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    scroll = named(new QLNZoomingScrollView, scrollName);
    scroll->setFrameShape(QFrame::StyledPanel);
    view = named(new QLNGraphicView, viewName);
    scroll->setDocumentView(view);
    layout->addWidget(scroll, 1);
    container->hide();
  };
  makeSide(first_view, "first_view", _zoomingScrollView, "_zoomingScrollView", _graphicView, "_graphicView");
  makeSide(second_view, "second_view", _zoomingScrollView_BACK, "_zoomingScrollView_BACK", _graphicView_BACK,
           "_graphicView_BACK");
  makeSide(temp_design_view, "temp_design_view", _zoomingScrollView_TEMP, "_zoomingScrollView_TEMP",
           _graphicView_TEMP, "_graphicView_TEMP");
}

void DrawWindow::buildBackgroundBrowser(QVBoxLayout *middle) {
  auto *browserTitle = sectionTitle(QStringLiteral("Backgrounds"));
  middle->addWidget(browserTitle);
  MAKE(imageBrowser);
  describe(imageBrowser, "Backgrounds", "Background pictures for the card: choose one for the front side");
  // One row of thumbnails, scrolled sideways.
  imageBrowser->setWrapping(false);
  imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
  imageBrowser->setFixedHeight(172);
  imageBrowser->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  imageBrowser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  middle->addWidget(imageBrowser);
}

// The window shows no status bar; made here, after the panel, and hidden.
void DrawWindow::buildStatusBar() {
  window->statusBar()->hide();
}
