#include "mainwindow/DrawWindow.h"

#include "mainwindow/CardSideView.h"
#include "mainwindow/PanelWidgets.h"

#include "platform/UiServices.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include <cmath>
#include <type_traits>

namespace {

// The window's own colours: the background the window is given at start-up and the
// slightly darker ground of the canvas area.
const QColor WindowGround(241, 244, 250);
const QColor CanvasGround(222, 226, 234);
const QColor ToolGround(232, 236, 244);

template <class W>
W *named(W *widget, const char *name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

}  // namespace

// Creates the member's widget with the arguments and gives it the member's name.
#define MAKE(member, ...) (member = named(new std::remove_pointer_t<decltype(member)>(__VA_ARGS__), #member))

namespace {

// ---- Pictures of the tools ------------------------------------------------------------------

QIcon toolIcon(int tool) {
  const int size = 28;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(52, 60, 78);
  const QColor fill(120, 160, 220);
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  const QRectF box(5, 7, 18, 14);
  auto star = [&](QPointF centre, double outer, double inner, int points) {
    QPolygonF polygon;
    for (int i = 0; i < points * 2; ++i) {
      const double angle = -M_PI / 2 + i * M_PI / points;
      const double radius = (i % 2) ? inner : outer;
      polygon << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return polygon;
  };
  switch (tool) {
  case 0: {  // arrow
    QPolygonF arrow{{9, 4}, {9, 22}, {13, 18}, {16, 25}, {19, 24}, {16, 17}, {21.5, 17}};
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
    break;
  }
  case 1:  // line
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 22), QPointF(22, 6));
    break;
  case 2: {  // text
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("T"));
    break;
  }
  case 3:
    p.drawRect(box);
    break;
  case 4:
    p.drawEllipse(QRectF(5, 6, 18, 16));
    break;
  case 5:
    p.drawRoundedRect(box, 4, 4);
    break;
  case 6:
    p.drawPolygon(QPolygonF{{14, 5}, {23, 22}, {5, 22}});
    break;
  case 7:
    p.drawPolygon(QPolygonF{{14, 4}, {24, 14}, {14, 24}, {4, 14}});
    break;
  case 8:
  case 9: {  // picture; the library shows a stack of pictures
    if (tool == 9) {
      p.setBrush(QColor(230, 234, 242));
      p.drawRect(QRectF(8, 4, 17, 13));
    }
    const QRectF frame = tool == 9 ? QRectF(3, 10, 17, 13) : QRectF(4, 6, 20, 16);
    p.setBrush(Qt::white);
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 150, 90));
    p.drawPolygon(QPolygonF{frame.bottomLeft() + QPointF(1, -1), frame.bottomLeft() + QPointF(7, -9),
                            frame.bottomLeft() + QPointF(12, -3), frame.bottomRight() + QPointF(-1, -1)});
    p.setBrush(QColor(235, 180, 60));
    p.drawEllipse(QPointF(frame.right() - 5, frame.top() + 4.5), 2.2, 2.2);
    break;
  }
  case 10: {  // barcode
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double widths[] = {1.5, 1, 2.5, 1, 1, 2, 1, 2.5, 1, 1.5};
    double x = 5;
    for (int i = 0; i < 10; ++i) {
      if (i % 2 == 0)
        p.drawRect(QRectF(x, 6, widths[i], 16));
      x += widths[i] + 0.6;
    }
    break;
  }
  case 11: {  // signature
    QPainterPath path(QPointF(4, 19));
    path.cubicTo(QPointF(7, 4), QPointF(10, 4), QPointF(10, 17));
    path.cubicTo(QPointF(11, 24), QPointF(15, 8), QPointF(17, 15));
    path.cubicTo(QPointF(18, 20), QPointF(21, 14), QPointF(24, 16));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.drawLine(QPointF(4, 23), QPointF(24, 23));
    break;
  }
  case 12: {  // fingerprint
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.2));
    for (int ring = 0; ring < 4; ++ring) {
      const double r = 2.5 + ring * 2.6;
      p.drawArc(QRectF(14 - r, 15 - r * 1.15, 2 * r, 2 * r * 1.15), 200 * 16, 320 * 16);
    }
    break;
  }
  case 13:
    p.drawPolygon(star(QPointF(14, 15), 10, 4.2, 5));
    break;
  case 14:
    p.drawPolygon(star(QPointF(14, 14), 10.5, 5.5, 8));
    break;
  case 15: {
    QPolygonF hexagon;
    for (int i = 0; i < 6; ++i)
      hexagon << QPointF(14 + 10 * std::cos(i * M_PI / 3), 14 + 10 * std::sin(i * M_PI / 3));
    p.drawPolygon(hexagon);
    break;
  }
  default:
    break;
  }
  p.end();
  return QIcon(pixmap);
}

const char *const ToolTips[16] = {
    "Select",        "Line",         "Text",      "Rectangle", "Ellipse",     "Rounded Rectangle",
    "Triangle",      "Diamond",      "Image",     "Image from Library", "Barcode", "Signature",
    "Fingerprint",   "Star",         "Double Star", "Polygon"};

// ---- Layout helpers -------------------------------------------------------------------------

// A property tab: a frameless scroll area (the tab item itself) around a column of rows.
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

// A value field with its stepper and an optional unit.
QWidget *valueRow(QLineEdit *field, Stepper *stepper, const QString &unit = QString(), int decimals = 0) {
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
  return row;
}

QWidget *hbox(std::initializer_list<QWidget *> widgets, bool stretch = true) {
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

QToolButton *commandButton(QToolButton *button, const QString &text, const QString &tip) {
  button->setText(text);
  button->setToolTip(tip);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setAutoRaise(true);
  return button;
}

QDialog *newDialog(QDialog *dialog, const char *name, const QString &title, QWidget *owner) {
  dialog->setParent(owner, Qt::Dialog);
  dialog->setObjectName(QLatin1String(name));
  dialog->setWindowTitle(title);
  QPalette palette = dialog->palette();
  palette.setColor(QPalette::Window, WindowGround);
  dialog->setPalette(palette);
  dialog->setAutoFillBackground(true);
  return dialog;
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
  return {card_setting_tab, card_info_tab, card_size_tab, card_bkgd_tab, card_brdr_tab,
          line_tab,         shape_tab,     text_edtng_tab, text_prop_tab, image_tab,
          sign_tab,         datasource_tab, aligmnt_tab,  barcode_tab,   Lock_tab};
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

  // ---- Command toolbar ------------------------------------------------------------------
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

  // ---- Edit toolbar -------------------------------------------------------------------------
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

  // ---- Central area ---------------------------------------------------------------------------
  auto *central = new QWidget;
  central->setObjectName(QStringLiteral("central_area"));
  window->setCentralWidget(central);
  auto *columns = new QHBoxLayout(central);
  columns->setContentsMargins(6, 4, 6, 6);
  columns->setSpacing(6);

  // Tool column: two columns of eight tools.
  auto *tools = new QFrame;
  tools->setObjectName(QStringLiteral("tool_column"));
  tools->setFrameShape(QFrame::StyledPanel);
  tools->setAutoFillBackground(true);
  {
    QPalette palette = tools->palette();
    palette.setColor(QPalette::Window, ToolGround);
    tools->setPalette(palette);
  }
  auto *toolLayout = new QGridLayout(tools);
  toolLayout->setContentsMargins(5, 8, 5, 8);
  toolLayout->setSpacing(3);
  auto *toolsTitle = new QLabel(QStringLiteral("Tools"));
  toolsTitle->setAlignment(Qt::AlignCenter);
  {
    QFont font = toolsTitle->font();
    font.setBold(true);
    toolsTitle->setFont(font);
  }
  toolLayout->addWidget(toolsTitle, 0, 0, 1, 2);
  MAKE(toolGroup, window);
  toolGroup->setExclusive(true);
  MAKE(Arrow_Tool_btn);
  MAKE(Line_Tool_btn);
  MAKE(Text_Tool_btn);
  MAKE(Rect_Tool_btn);
  MAKE(Circle_Tool_btn);
  MAKE(Round_Rect_Tool_btn);
  MAKE(Triangle_Tool_btn);
  MAKE(Diamond_Tool_btn);
  MAKE(Image_Tool_btn);
  MAKE(Image_Library_Tool_btn);
  MAKE(Barcode_Tool_btn);
  MAKE(Signature_Tool_btn);
  MAKE(Fingure_Print_Tool_btn);
  MAKE(Star_Tool_btn);
  MAKE(Double_Star_Tool_btn);
  MAKE(Polygon_Tool_btn);
  const auto buttons = toolButtons();
  for (int tool = 0; tool < 16; ++tool) {
    QToolButton *button = buttons[tool];
    button->setIcon(toolIcon(tool));
    button->setIconSize(QSize(28, 28));
    button->setFixedSize(38, 38);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolTip(QString::fromLatin1(ToolTips[tool]));
    toolGroup->addButton(button, tool);
    toolLayout->addWidget(button, 1 + tool / 2, tool % 2);
  }
  Arrow_Tool_btn->setChecked(true);
  toolLayout->setRowStretch(9, 1);
  columns->addWidget(tools, 0);

  // Middle column: side bar, canvas area, background browser.
  auto *middle = new QVBoxLayout;
  middle->setSpacing(6);
  columns->addLayout(middle, 1);

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
  sideBar->addWidget(Show_Hide_Ruler_chk);
  middle->addLayout(sideBar);

  MAKE(myTargetView);
  auto *targetLayout = new QVBoxLayout(myTargetView);
  targetLayout->setContentsMargins(0, 0, 0, 0);
  targetLayout->setSpacing(0);
  middle->addWidget(myTargetView, 1);

  // One container per side: a scroll area that centres the side's view.
  auto makeSide = [&](QWidget *&container, const char *containerName, QScrollArea *&scroll, const char *scrollName,
                      CardSideView *&view, const char *viewName) {
    container = named(new QWidget(myTargetView), containerName);
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll = named(new QScrollArea, scrollName);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setWidgetResizable(false);
    scroll->setFrameShape(QFrame::StyledPanel);
    scroll->setBackgroundRole(QPalette::Dark);
    QPalette palette = scroll->palette();
    palette.setColor(QPalette::Dark, CanvasGround);
    scroll->setPalette(palette);
    view = named(new CardSideView, viewName);
    scroll->setWidget(view);
    layout->addWidget(scroll);
    container->hide();
  };
  makeSide(first_view, "first_view", _zoomingScrollView, "_zoomingScrollView", _graphicView, "_graphicView");
  makeSide(second_view, "second_view", _zoomingScrollView_BACK, "_zoomingScrollView_BACK", _graphicView_BACK,
           "_graphicView_BACK");
  makeSide(temp_design_view, "temp_design_view", _zoomingScrollView_TEMP, "_zoomingScrollView_TEMP",
           _graphicView_TEMP, "_graphicView_TEMP");

  auto *browserTitle = sectionTitle(QStringLiteral("Backgrounds"));
  middle->addWidget(browserTitle);
  MAKE(imageBrowser);
  imageBrowser->setViewMode(QListView::IconMode);
  imageBrowser->setFlow(QListView::LeftToRight);
  imageBrowser->setWrapping(false);
  imageBrowser->setMovement(QListView::Snap);
  imageBrowser->setResizeMode(QListView::Adjust);
  imageBrowser->setIconSize(QSize(96, 64));
  imageBrowser->setSpacing(6);
  imageBrowser->setFixedHeight(104);
  imageBrowser->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  imageBrowser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  middle->addWidget(imageBrowser);

  // ---- Property panel ------------------------------------------------------------------------
  MAKE(sett_tab);
  sett_tab->setFixedWidth(330);
  sett_tab->setUsesScrollButtons(true);
  sett_tab->setDocumentMode(false);
  columns->addWidget(sett_tab, 0);

  // card_setting_tab
  {
    QVBoxLayout *column = makePage(card_setting_tab, "card_setting_tab");
    column->addWidget(sectionTitle(QStringLiteral("Card")));
    auto *form = newForm();
    MAKE(card_name);
    card_name->setPlaceholderText(QStringLiteral("Untitled"));
    form->addRow(QStringLiteral("Name:"), card_name);
    MAKE(Sides_ComboBox);
    Sides_ComboBox->addItems({QStringLiteral("Two Sided"), QStringLiteral("One Sided")});
    form->addRow(QStringLiteral("Sides:"), Sides_ComboBox);
    column->addLayout(form);

    column->addWidget(sectionTitle(QStringLiteral("Shape")));
    MAKE(matrix_card_shape, QStringList{QStringLiteral("Rectangle"), QStringLiteral("Rounded Rectangle"),
                                        QStringLiteral("Oval")},
         Qt::Vertical);
    matrix_card_shape->selectCellAtRow(0);
    column->addWidget(matrix_card_shape);

    column->addWidget(sectionTitle(QStringLiteral("Size")));
    auto *sizeForm = newForm();
    MAKE(width_Text);
    MAKE(width_Stepper);
    setupStepper(width_Stepper, 1, 1000, 1, 85.73);
    sizeForm->addRow(QStringLiteral("Width:"), valueRow(width_Text, width_Stepper, QStringLiteral("mm"), 2));
    MAKE(height_Text);
    MAKE(height_Stepper);
    setupStepper(height_Stepper, 1, 1000, 1, 54.33);
    sizeForm->addRow(QStringLiteral("Height:"), valueRow(height_Text, height_Stepper, QStringLiteral("mm"), 2));
    MAKE(Apply_Size_btn, QStringLiteral("Apply Size"));
    sizeForm->addRow(QString(), hbox({Apply_Size_btn}));
    column->addLayout(sizeForm);

    column->addWidget(sectionTitle(QStringLiteral("Content")));
    auto *contentForm = newForm();
    MAKE(All_Text_clr);
    All_Text_clr->setToolTip(QStringLiteral("Colour of all texts"));
    contentForm->addRow(QStringLiteral("Text colour:"), hbox({All_Text_clr}));
    MAKE(All_Text_font_value);
    readOnly(All_Text_font_value);
    contentForm->addRow(QStringLiteral("Text font:"), All_Text_font_value);
    MAKE(Content_Font_btn, QStringLiteral("Font..."));
    MAKE(Content_Font_Decrease_btn);
    Content_Font_Decrease_btn->setText(QStringLiteral("A-"));
    Content_Font_Decrease_btn->setToolTip(QStringLiteral("Smaller"));
    MAKE(Content_Font_Increase_btn);
    Content_Font_Increase_btn->setText(QStringLiteral("A+"));
    Content_Font_Increase_btn->setToolTip(QStringLiteral("Larger"));
    contentForm->addRow(QString(), hbox({Content_Font_btn, Content_Font_Decrease_btn, Content_Font_Increase_btn}));
    column->addLayout(contentForm);
    column->addStretch(1);
  }

  // card_info_tab
  {
    QVBoxLayout *column = makePage(card_info_tab, "card_info_tab");
    column->addWidget(sectionTitle(QStringLiteral("About this card")));
    MAKE(card_info_lbl,
         QStringLiteral("A card has a front and a back side. Choose the side to edit with the Front and "
                        "Back buttons above the card; the Temp side shows a preview.\n\n"
                        "Pick a tool on the left to place text, pictures, shapes, lines, signatures and "
                        "barcodes. Select an object to change it here; with nothing selected these tabs "
                        "change the card itself."));
    card_info_lbl->setWordWrap(true);
    card_info_lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(card_info_lbl);
    // What the panel remembers out of sight.
    MAKE(All_Text_clr_COPY);
    All_Text_clr_COPY->hide();
    MAKE(All_Text_font_value_COPY);
    All_Text_font_value_COPY->hide();
    MAKE(sel_control_name, QStringLiteral("NONE"));
    sel_control_name->hide();
    column->addWidget(All_Text_clr_COPY);
    column->addWidget(All_Text_font_value_COPY);
    column->addWidget(sel_control_name);
    column->addStretch(1);
  }

  // card_size_tab
  {
    QVBoxLayout *column = makePage(card_size_tab, "card_size_tab");
    column->addWidget(sectionTitle(QStringLiteral("Card Size")));
    auto *form = newForm();
    MAKE(Category_ComboBox);
    Category_ComboBox->addItems({QStringLiteral("PVC Card"), QStringLiteral("Paper Card")});
    form->addRow(QStringLiteral("Category:"), Category_ComboBox);
    MAKE(Preset_ComboBox);
    Preset_ComboBox->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
    form->addRow(QStringLiteral("Orientation:"), Preset_ComboBox);
    column->addLayout(form);
    MAKE(ColList);
    MAKE(ColListModel, 0, 1, ColList);
    ColListModel->setHorizontalHeaderLabels({QStringLiteral("Size")});
    ColList->setModel(ColListModel);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ColList->horizontalHeader()->setStretchLastSection(true);
    ColList->horizontalHeader()->hide();
    ColList->verticalHeader()->hide();
    ColList->setShowGrid(false);
    ColList->setAlternatingRowColors(true);
    column->addWidget(ColList, 1);
  }

  // card_bkgd_tab
  {
    QVBoxLayout *column = makePage(card_bkgd_tab, "card_bkgd_tab");
    MAKE(Card_fill_chk, QStringLiteral("Fill the card"));
    column->addWidget(Card_fill_chk);
    MAKE(Card_Fill_Box, QStringLiteral("Fill"));
    auto *form = new QFormLayout(Card_Fill_Box);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setVerticalSpacing(6);
    MAKE(Card_solid_fill_rd, QStringLiteral("Solid"));
    MAKE(Card_gradient_fill_rd, QStringLiteral("Gradient"));
    MAKE(Card_Style_fill_rd, QStringLiteral("Pattern"));
    MAKE(Card_Image_fill_rd, QStringLiteral("Picture"));
    auto *radios = new QGridLayout;
    radios->addWidget(Card_solid_fill_rd, 0, 0);
    radios->addWidget(Card_gradient_fill_rd, 0, 1);
    radios->addWidget(Card_Style_fill_rd, 1, 0);
    radios->addWidget(Card_Image_fill_rd, 1, 1);
    form->addRow(radios);
    Card_solid_fill_rd->setChecked(true);
    MAKE(Card_fill_clr);
    Card_fill_clr->setColor(Qt::white);
    form->addRow(QStringLiteral("Colour:"), hbox({Card_fill_clr}));
    MAKE(Card_fill_Grd_1_clr);
    MAKE(Card_fill_Grd_2_clr);
    Card_fill_Grd_1_clr->setColor(Qt::white);
    Card_fill_Grd_2_clr->setColor(QColor(180, 200, 230));
    form->addRow(QStringLiteral("Gradient:"), hbox({Card_fill_Grd_1_clr, Card_fill_Grd_2_clr}));
    MAKE(Card_grad_Text);
    MAKE(Card_grad_Stepper);
    setupStepper(Card_grad_Stepper, 0, 360, 1, 0);
    form->addRow(QStringLiteral("Angle:"), valueRow(Card_grad_Text, Card_grad_Stepper, QStringLiteral("°")));
    MAKE(Card_hatch_style);
    Card_hatch_style->setIconSize(QSize(32, 16));
    form->addRow(QStringLiteral("Pattern:"), Card_hatch_style);
    MAKE(Card_hatch_bk_clr);
    Card_hatch_bk_clr->setColor(Qt::white);
    form->addRow(QStringLiteral("Under pattern:"), hbox({Card_hatch_bk_clr}));
    MAKE(Card_image_box, QStringLiteral("Picture"));
    auto *imageForm = new QFormLayout(Card_image_box);
    imageForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Card_Image_path);
    readOnly(Card_Image_path);
    Card_Image_path->setPlaceholderText(QStringLiteral("No picture"));
    imageForm->addRow(Card_Image_path);
    MAKE(Card_Image_Browse_btn, QStringLiteral("Browse..."));
    MAKE(Card_Image_Library_btn, QStringLiteral("Library..."));
    imageForm->addRow(hbox({Card_Image_Browse_btn, Card_Image_Library_btn}));
    MAKE(Card_image_layout);
    Card_image_layout->addItems({QStringLiteral("Tile"), QStringLiteral("Stretch")});
    imageForm->addRow(QStringLiteral("Layout:"), Card_image_layout);
    form->addRow(Card_image_box);
    MAKE(Card_alpha_Text);
    MAKE(Card_alpha_Stepper);
    setupStepper(Card_alpha_Stepper, 0, 100, 1, 100);
    form->addRow(QStringLiteral("Opacity:"), valueRow(Card_alpha_Text, Card_alpha_Stepper, QStringLiteral("%")));
    column->addWidget(Card_Fill_Box);
    column->addStretch(1);
  }

  // card_brdr_tab
  {
    QVBoxLayout *column = makePage(card_brdr_tab, "card_brdr_tab");
    MAKE(Card_border_chk, QStringLiteral("Draw a border"));
    column->addWidget(Card_border_chk);
    MAKE(Card_Border_Box, QStringLiteral("Border"));
    auto *form = new QFormLayout(Card_Border_Box);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Card_bordr_clr);
    form->addRow(QStringLiteral("Colour:"), hbox({Card_bordr_clr}));
    MAKE(Card_bor_Text);
    MAKE(Card_bor_Stepper);
    setupStepper(Card_bor_Stepper, 0, 50, 1, 3);
    form->addRow(QStringLiteral("Width:"), valueRow(Card_bor_Text, Card_bor_Stepper, QStringLiteral("pt")));
    MAKE(Card_border_style);
    fillBorderStyleCombo(Card_border_style);
    form->addRow(QStringLiteral("Style:"), Card_border_style);
    column->addWidget(Card_Border_Box);
    column->addStretch(1);
  }

  // line_tab
  {
    QVBoxLayout *column = makePage(line_tab, "line_tab");
    column->addWidget(sectionTitle(QStringLiteral("Line Properties")));
    auto *form = newForm();
    MAKE(Line_clr);
    form->addRow(QStringLiteral("Colour:"), hbox({Line_clr}));
    MAKE(Line_Wdt_Text);
    MAKE(Line_Wdt_Stepper);
    setupStepper(Line_Wdt_Stepper, 1, 50, 1, 1);
    form->addRow(QStringLiteral("Width:"), valueRow(Line_Wdt_Text, Line_Wdt_Stepper, QStringLiteral("pt")));
    MAKE(Line_border_style);
    fillBorderStyleCombo(Line_border_style);
    form->addRow(QStringLiteral("Style:"), Line_border_style);
    MAKE(Line_ori_style);
    Line_ori_style->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical"), QStringLiteral("Diagonal Down"),
                              QStringLiteral("Diagonal Up")});
    form->addRow(QStringLiteral("Direction:"), Line_ori_style);
    MAKE(Line_cap_style);
    Line_cap_style->addItems({QStringLiteral("Butt"), QStringLiteral("Round"), QStringLiteral("Square")});
    form->addRow(QStringLiteral("Ends:"), Line_cap_style);
    MAKE(Line_alpha_Text);
    MAKE(Line_alpha_Stepper);
    setupStepper(Line_alpha_Stepper, 0, 100, 1, 100);
    form->addRow(QStringLiteral("Opacity:"), valueRow(Line_alpha_Text, Line_alpha_Stepper, QStringLiteral("%")));
    column->addLayout(form);
    column->addStretch(1);
  }

  // shape_tab
  {
    QVBoxLayout *column = makePage(shape_tab, "shape_tab");
    MAKE(Shape_prop_title, QStringLiteral("Rectangle Properties"));
    {
      QFont font = Shape_prop_title->font();
      font.setBold(true);
      Shape_prop_title->setFont(font);
    }
    column->addWidget(Shape_prop_title);
    MAKE(Shape_border_chk, QStringLiteral("Draw a border"));
    column->addWidget(Shape_border_chk);
    MAKE(Shape_Border_Box, QStringLiteral("Border"));
    auto *borderForm = new QFormLayout(Shape_Border_Box);
    borderForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(shape_bordr_clr);
    borderForm->addRow(QStringLiteral("Colour:"), hbox({shape_bordr_clr}));
    MAKE(shape_bor_Text);
    MAKE(shape_bor_Stepper);
    setupStepper(shape_bor_Stepper, 0, 50, 1, 1);
    borderForm->addRow(QStringLiteral("Width:"), valueRow(shape_bor_Text, shape_bor_Stepper, QStringLiteral("pt")));
    MAKE(shape_border_style);
    fillBorderStyleCombo(shape_border_style);
    borderForm->addRow(QStringLiteral("Style:"), shape_border_style);
    column->addWidget(Shape_Border_Box);

    MAKE(Shape_fill_chk, QStringLiteral("Fill the shape"));
    column->addWidget(Shape_fill_chk);
    MAKE(Shape_Fill_Box, QStringLiteral("Fill"));
    auto *fillForm = new QFormLayout(Shape_Fill_Box);
    fillForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Shape_solid_fill_rd, QStringLiteral("Solid"));
    MAKE(Shape_gradient_fill_rd, QStringLiteral("Gradient"));
    MAKE(Shape_Style_fill_rd, QStringLiteral("Pattern"));
    Shape_solid_fill_rd->setChecked(true);
    fillForm->addRow(hbox({Shape_solid_fill_rd, Shape_gradient_fill_rd, Shape_Style_fill_rd}));
    MAKE(shape_fill_clr);
    fillForm->addRow(QStringLiteral("Colour:"), hbox({shape_fill_clr}));
    MAKE(shape_fill_Grd_1_clr);
    MAKE(shape_fill_Grd_2_clr);
    fillForm->addRow(QStringLiteral("Gradient:"), hbox({shape_fill_Grd_1_clr, shape_fill_Grd_2_clr}));
    MAKE(shape_grad_Text);
    MAKE(shape_grad_Stepper);
    setupStepper(shape_grad_Stepper, 0, 360, 1, 0);
    fillForm->addRow(QStringLiteral("Angle:"), valueRow(shape_grad_Text, shape_grad_Stepper, QStringLiteral("°")));
    MAKE(shape_hatch_style);
    shape_hatch_style->setIconSize(QSize(32, 16));
    fillForm->addRow(QStringLiteral("Pattern:"), shape_hatch_style);
    MAKE(shape_hatch_bk_clr);
    fillForm->addRow(QStringLiteral("Under pattern:"), hbox({shape_hatch_bk_clr}));
    column->addWidget(Shape_Fill_Box);

    auto *form = newForm();
    MAKE(shape_alpha_Text);
    MAKE(shape_alpha_Stepper);
    setupStepper(shape_alpha_Stepper, 0, 100, 1, 100);
    form->addRow(QStringLiteral("Opacity:"), valueRow(shape_alpha_Text, shape_alpha_Stepper, QStringLiteral("%")));
    MAKE(shape_cor_radius_Label, QStringLiteral("Corner radius:"));
    MAKE(shape_cor_radius_Text);
    MAKE(shape_cor_radius_Stepper);
    setupStepper(shape_cor_radius_Stepper, 0, 100, 1, 10);
    form->addRow(shape_cor_radius_Label,
                 valueRow(shape_cor_radius_Text, shape_cor_radius_Stepper, QStringLiteral("pt"), 1));
    MAKE(double_star_Label, QStringLiteral("Star variant:"));
    MAKE(double_star_Text);
    MAKE(double_star_Stepper);
    setupStepper(double_star_Stepper, 1, 5, 1, 1);
    form->addRow(double_star_Label, valueRow(double_star_Text, double_star_Stepper));
    MAKE(polygon_Label, QStringLiteral("Polygon variant:"));
    MAKE(polygon_Text);
    MAKE(polygon_Stepper);
    setupStepper(polygon_Stepper, 1, 5, 1, 1);
    form->addRow(polygon_Label, valueRow(polygon_Text, polygon_Stepper));
    column->addLayout(form);
    column->addStretch(1);
  }

  // text_edtng_tab
  {
    QVBoxLayout *column = makePage(text_edtng_tab, "text_edtng_tab");
    column->addWidget(sectionTitle(QStringLiteral("Text")));
    MAKE(Text_value_Edit);
    Text_value_Edit->setMinimumHeight(140);
    Text_value_Edit->setPlaceholderText(QStringLiteral("The text of the selected object"));
    column->addWidget(Text_value_Edit);
    MAKE(insert_template_btn, QStringLiteral("Use Template Message"));
    insert_template_btn->hide();
    column->addWidget(hbox({insert_template_btn}));
    column->addWidget(sectionTitle(QStringLiteral("Insert")));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    MAKE(Text_Date_style);
    MAKE(Text_Insert_Date_btn, QStringLiteral("Insert Date"));
    MAKE(Text_Time_style);
    MAKE(Text_Insert_Time_btn, QStringLiteral("Insert Time"));
    grid->addWidget(Text_Date_style, 0, 0);
    grid->addWidget(Text_Insert_Date_btn, 0, 1);
    grid->addWidget(Text_Time_style, 1, 0);
    grid->addWidget(Text_Insert_Time_btn, 1, 1);
    grid->setColumnStretch(0, 1);
    column->addLayout(grid);
    column->addStretch(1);
  }

  // text_prop_tab
  {
    QVBoxLayout *column = makePage(text_prop_tab, "text_prop_tab");
    column->addWidget(sectionTitle(QStringLiteral("Font")));
    auto *form = newForm();
    MAKE(Text_font_value);
    readOnly(Text_font_value);
    MAKE(Text_Font_btn, QStringLiteral("Font..."));
    form->addRow(QStringLiteral("Font:"), Text_font_value);
    form->addRow(QString(), hbox({Text_Font_btn}));
    MAKE(Text_clr);
    form->addRow(QStringLiteral("Colour:"), hbox({Text_clr}));
    MAKE(Text_align_combo);
    Text_align_combo->addItems({QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Center"),
                                QStringLiteral("Justified"), QStringLiteral("Natural")});
    form->addRow(QStringLiteral("Alignment:"), Text_align_combo);
    MAKE(Text_case_combo);
    Text_case_combo->addItems({QStringLiteral("As Typed"), QStringLiteral("Upper Case"), QStringLiteral("Lower Case"),
                               QStringLiteral("Capitalized")});
    form->addRow(QStringLiteral("Case:"), Text_case_combo);
    MAKE(Text_Kern_Text);
    MAKE(Text_Kern_Stepper);
    setupStepper(Text_Kern_Stepper, -20, 50, 0.5, 0);
    form->addRow(QStringLiteral("Spacing:"), valueRow(Text_Kern_Text, Text_Kern_Stepper, QStringLiteral("pt"), 1));
    MAKE(Text_alpha_Text);
    MAKE(Text_alpha_Stepper);
    setupStepper(Text_alpha_Stepper, 0, 100, 1, 100);
    form->addRow(QStringLiteral("Opacity:"), valueRow(Text_alpha_Text, Text_alpha_Stepper, QStringLiteral("%")));
    column->addLayout(form);

    MAKE(Text_border_chk, QStringLiteral("Draw a border"));
    column->addWidget(Text_border_chk);
    MAKE(Text_Border_Box, QStringLiteral("Border"));
    auto *borderForm = new QFormLayout(Text_Border_Box);
    borderForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Text_bordr_clr);
    borderForm->addRow(QStringLiteral("Colour:"), hbox({Text_bordr_clr}));
    MAKE(Text_bor_Text);
    MAKE(Text_bor_Stepper);
    setupStepper(Text_bor_Stepper, 0, 50, 1, 1);
    borderForm->addRow(QStringLiteral("Width:"), valueRow(Text_bor_Text, Text_bor_Stepper, QStringLiteral("pt")));
    MAKE(Text_border_style);
    fillBorderStyleCombo(Text_border_style);
    borderForm->addRow(QStringLiteral("Style:"), Text_border_style);
    column->addWidget(Text_Border_Box);

    MAKE(Text_fill_chk, QStringLiteral("Fill behind the text"));
    column->addWidget(Text_fill_chk);
    MAKE(Text_Fill_Box, QStringLiteral("Fill"));
    auto *fillForm = new QFormLayout(Text_Fill_Box);
    fillForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Text_solid_fill_rd, QStringLiteral("Solid"));
    MAKE(Text_gradient_fill_rd, QStringLiteral("Gradient"));
    Text_solid_fill_rd->setChecked(true);
    fillForm->addRow(hbox({Text_solid_fill_rd, Text_gradient_fill_rd}));
    MAKE(Text_fill_clr);
    fillForm->addRow(QStringLiteral("Colour:"), hbox({Text_fill_clr}));
    MAKE(Text_fill_Grd_1_clr);
    MAKE(Text_fill_Grd_2_clr);
    fillForm->addRow(QStringLiteral("Gradient:"), hbox({Text_fill_Grd_1_clr, Text_fill_Grd_2_clr}));
    MAKE(Text_grad_Text);
    MAKE(Text_grad_Stepper);
    setupStepper(Text_grad_Stepper, 0, 360, 1, 0);
    fillForm->addRow(QStringLiteral("Angle:"), valueRow(Text_grad_Text, Text_grad_Stepper, QStringLiteral("°")));
    column->addWidget(Text_Fill_Box);
    column->addStretch(1);
  }

  // image_tab
  {
    QVBoxLayout *column = makePage(image_tab, "image_tab");
    MAKE(Image_border_chk, QStringLiteral("Draw a border"));
    column->addWidget(Image_border_chk);
    MAKE(Image_Border_Box, QStringLiteral("Border"));
    auto *borderForm = new QFormLayout(Image_Border_Box);
    borderForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Image_bordr_clr);
    borderForm->addRow(QStringLiteral("Colour:"), hbox({Image_bordr_clr}));
    MAKE(Image_bor_Text);
    MAKE(Image_bor_Stepper);
    setupStepper(Image_bor_Stepper, 0, 50, 1, 1);
    borderForm->addRow(QStringLiteral("Width:"), valueRow(Image_bor_Text, Image_bor_Stepper, QStringLiteral("pt")));
    MAKE(Image_border_style);
    fillBorderStyleCombo(Image_border_style);
    borderForm->addRow(QStringLiteral("Style:"), Image_border_style);
    column->addWidget(Image_Border_Box);

    column->addWidget(sectionTitle(QStringLiteral("Effects")));
    auto *checks = new QGridLayout;
    MAKE(Image_Gray_Scale_chk, QStringLiteral("Grey scale"));
    MAKE(Image_Sepia_chk, QStringLiteral("Sepia"));
    MAKE(Image_Invert_chk, QStringLiteral("Invert colours"));
    MAKE(Image_FIH_chk, QStringLiteral("Flip horizontally"));
    MAKE(Image_FIV_chk, QStringLiteral("Flip vertically"));
    checks->addWidget(Image_Gray_Scale_chk, 0, 0);
    checks->addWidget(Image_Sepia_chk, 0, 1);
    checks->addWidget(Image_Invert_chk, 1, 0);
    checks->addWidget(Image_FIH_chk, 2, 0);
    checks->addWidget(Image_FIV_chk, 2, 1);
    column->addLayout(checks);

    column->addWidget(sectionTitle(QStringLiteral("Adjustments")));
    auto *sliders = new QGridLayout;
    sliders->setHorizontalSpacing(6);
    sliders->setVerticalSpacing(4);
    int row = 0;
    auto sliderRow = [&](const QString &title, ValueSlider *slider, QLabel *value, double neutral) {
      slider->setDoubleValue(neutral);
      value->setText(QString::number(neutral));
      value->setMinimumWidth(36);
      value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      sliders->addWidget(new QLabel(title), row, 0, Qt::AlignRight);
      sliders->addWidget(slider, row, 1);
      sliders->addWidget(value, row, 2);
      ++row;
    };
    sliderRow(QStringLiteral("Opacity"), MAKE(Trsp_slidr, 0, 100, 1), MAKE(Trsp_slidr_val), 100);
    sliderRow(QStringLiteral("Rotation"), MAKE(Rotate_slidr, -180, 180, 1), MAKE(Rotate_slidr_val), 0);
    sliderRow(QStringLiteral("Hue"), MAKE(Hue_slidr, -3.14, 3.14, 100), MAKE(Hue_slidr_val), 0);
    sliderRow(QStringLiteral("Saturation"), MAKE(Sat_slidr, 0, 2, 100), MAKE(Sat_slidr_val), 1);
    sliderRow(QStringLiteral("Brightness"), MAKE(Brt_slidr, -1, 1, 100), MAKE(Brt_slidr_val), 0);
    sliderRow(QStringLiteral("Contrast"), MAKE(Con_slidr, 0.25, 4, 100), MAKE(Con_slidr_val), 1);
    sliderRow(QStringLiteral("Sharpen"), MAKE(shrp_slidr, 0, 2, 100), MAKE(shrp_slidr_val), 0);
    sliderRow(QStringLiteral("Exposure"), MAKE(ev_slidr, -5, 5, 100), MAKE(ev_slidr_val), 0);
    sliderRow(QStringLiteral("Blur"), MAKE(blr_slidr, 0, 20, 10), MAKE(blr_slidr_val), 0);
    sliders->setColumnStretch(1, 1);
    column->addLayout(sliders);
    MAKE(Image_reset_btn, QStringLiteral("Reset Adjustments"));
    column->addWidget(hbox({Image_reset_btn}));
    column->addStretch(1);
  }

  // sign_tab
  {
    QVBoxLayout *column = makePage(sign_tab, "sign_tab");
    column->addWidget(sectionTitle(QStringLiteral("Picture")));
    MAKE(Sign_image_path);
    readOnly(Sign_image_path);
    column->addWidget(Sign_image_path);
    MAKE(Sign_Browse_btn, QStringLiteral("Browse..."));
    column->addWidget(hbox({Sign_Browse_btn}));
    MAKE(Sign_border_chk, QStringLiteral("Draw a border"));
    column->addWidget(Sign_border_chk);
    MAKE(Sign_Border_Box, QStringLiteral("Border"));
    auto *form = new QFormLayout(Sign_Border_Box);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Sign_bordr_clr);
    form->addRow(QStringLiteral("Colour:"), hbox({Sign_bordr_clr}));
    MAKE(Sign_bor_Text);
    MAKE(Sign_bor_Stepper);
    setupStepper(Sign_bor_Stepper, 0, 50, 1, 1);
    form->addRow(QStringLiteral("Width:"), valueRow(Sign_bor_Text, Sign_bor_Stepper, QStringLiteral("pt")));
    MAKE(Sign_border_style);
    fillBorderStyleCombo(Sign_border_style);
    form->addRow(QStringLiteral("Style:"), Sign_border_style);
    column->addWidget(Sign_Border_Box);
    column->addStretch(1);
  }

  // datasource_tab
  {
    QVBoxLayout *column = makePage(datasource_tab, "datasource_tab");
    MAKE(data_source_title, QStringLiteral("Text Source"));
    {
      QFont font = data_source_title->font();
      font.setBold(true);
      data_source_title->setFont(font);
    }
    column->addWidget(data_source_title);
    auto *form = newForm();
    MAKE(Data_source_type);
    Data_source_type->addItems({QStringLiteral("Manual"), QStringLiteral("Series"), QStringLiteral("Excel")});
    form->addRow(QStringLiteral("Source:"), Data_source_type);
    MAKE(Batch_Series);
    Batch_Series->setEnabled(false);
    form->addRow(QStringLiteral("Values:"), Batch_Series);
    MAKE(view_series_btn, QStringLiteral("View Series..."));
    view_series_btn->setEnabled(false);
    form->addRow(QString(), hbox({view_series_btn}));
    column->addLayout(form);
    MAKE(manual_brws_box, QStringLiteral("Picture File"));
    auto *boxLayout = new QVBoxLayout(manual_brws_box);
    MAKE(Manual_image_path);
    readOnly(Manual_image_path);
    boxLayout->addWidget(Manual_image_path);
    MAKE(Manual_Image_Browse_btn, QStringLiteral("Browse..."));
    MAKE(Manual_Library_Browse_btn, QStringLiteral("Library..."));
    boxLayout->addWidget(hbox({Manual_Image_Browse_btn, Manual_Library_Browse_btn}));
    column->addWidget(manual_brws_box);
    column->addStretch(1);
  }

  // aligmnt_tab
  {
    QVBoxLayout *column = makePage(aligmnt_tab, "aligmnt_tab");
    column->addWidget(sectionTitle(QStringLiteral("Align")));
    auto *grid = new QGridLayout;
    grid->setSpacing(4);
    auto alignButton = [](QToolButton *button, const QString &text) {
      button->setText(text);
      button->setToolButtonStyle(Qt::ToolButtonTextOnly);
      button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      return button;
    };
    grid->addWidget(alignButton(MAKE(Align_Left_btn), QStringLiteral("Left")), 0, 0);
    grid->addWidget(alignButton(MAKE(Align_Horz_btn), QStringLiteral("Centre")), 0, 1);
    grid->addWidget(alignButton(MAKE(Align_Right_btn), QStringLiteral("Right")), 0, 2);
    grid->addWidget(alignButton(MAKE(Align_Top_btn), QStringLiteral("Top")), 1, 0);
    grid->addWidget(alignButton(MAKE(Align_Vert_btn), QStringLiteral("Middle")), 1, 1);
    grid->addWidget(alignButton(MAKE(Align_Bottom_btn), QStringLiteral("Bottom")), 1, 2);
    grid->addWidget(alignButton(MAKE(Align_Center_btn), QStringLiteral("Centre on Card")), 2, 0, 1, 3);
    column->addLayout(grid);
    column->addWidget(sectionTitle(QStringLiteral("Size")));
    MAKE(Make_Same_Width_btn, QStringLiteral("Same Width"));
    MAKE(Make_Same_Height_btn, QStringLiteral("Same Height"));
    MAKE(Make_Natural_btn, QStringLiteral("Natural Size"));
    column->addWidget(hbox({Make_Same_Width_btn, Make_Same_Height_btn}));
    column->addWidget(hbox({Make_Natural_btn}));
    column->addWidget(sectionTitle(QStringLiteral("Output")));
    MAKE(print_object_chk, QStringLiteral("Leave out of printing and export"));
    column->addWidget(print_object_chk);
    column->addWidget(sectionTitle(QStringLiteral("Grid")));
    MAKE(Show_hide_grid_chk, QStringLiteral("Show the grid"));
    column->addWidget(Show_hide_grid_chk);
    MAKE(Grid_Opt_box, QStringLiteral("Grid Options"));
    auto *gridForm = new QFormLayout(Grid_Opt_box);
    gridForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MAKE(Grid_clr);
    Grid_clr->setColor(QColor(204, 204, 204));
    gridForm->addRow(QStringLiteral("Colour:"), hbox({Grid_clr}));
    MAKE(Grid_Space_slidr, 2, 50, 1);
    Grid_Space_slidr->setDoubleValue(9);
    gridForm->addRow(QStringLiteral("Spacing:"), Grid_Space_slidr);
    Grid_Opt_box->setEnabled(false);
    column->addWidget(Grid_Opt_box);
    MAKE(Grid_Snap_chk, QStringLiteral("Snap to the grid"));
    column->addWidget(Grid_Snap_chk);
    MAKE(Align_with_grid_btn, QStringLiteral("Align to Grid"));
    Align_with_grid_btn->setEnabled(false);
    MAKE(Grid_Settings_btn, QStringLiteral("Grid..."));
    column->addWidget(hbox({Align_with_grid_btn, Grid_Settings_btn}));
    column->addStretch(1);
  }

  // barcode_tab
  {
    QVBoxLayout *column = makePage(barcode_tab, "barcode_tab");
    column->addWidget(sectionTitle(QStringLiteral("Barcode")));
    MAKE(barcode_info_lbl, QStringLiteral("Double-click the barcode on the card, or use the button below, "
                                          "to change its symbology, value and captions."));
    barcode_info_lbl->setWordWrap(true);
    column->addWidget(barcode_info_lbl);
    MAKE(Barcode_Edit_btn, QStringLiteral("Edit Barcode..."));
    column->addWidget(hbox({Barcode_Edit_btn}));
    column->addStretch(1);
  }

  // Lock_tab
  {
    QVBoxLayout *column = makePage(Lock_tab, "Lock_tab");
    column->addWidget(sectionTitle(QStringLiteral("Locked")));
    MAKE(lock_info_lbl, QStringLiteral("This object is locked: it cannot be moved, resized or changed. "
                                       "Use Unlock in the toolbar to edit it again."));
    lock_info_lbl->setWordWrap(true);
    column->addWidget(lock_info_lbl);
    column->addStretch(1);
  }

  const QStringList &titles = tabTitles();
  const auto pages = tabPages();
  for (int index = 0; index < 15; ++index)
    sett_tab->addTab(pages[size_t(index)], titles.at(index));

  window->statusBar()->hide();

  // ---- Export sheet ---------------------------------------------------------------------------
  {
    newDialog(MAKE(ExportWindow), "ExportWindow", QStringLiteral("Export"), window);
    panel = ExportWindow;
    auto *layout = new QVBoxLayout(ExportWindow);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(10);
    auto *sidesBox = new QGroupBox(QStringLiteral("Sides"));
    auto *sidesLayout = new QVBoxLayout(sidesBox);
    MAKE(matrix_export_card_side,
         QStringList{QStringLiteral("Both sides"), QStringLiteral("Front side"), QStringLiteral("Back side")},
         Qt::Vertical);
    matrix_export_card_side->selectCellAtRow(1);
    sidesLayout->addWidget(matrix_export_card_side);
    MAKE(export_combined_image_chk, QStringLiteral("Both sides in one image"));
    export_combined_image_chk->setEnabled(false);
    sidesLayout->addWidget(export_combined_image_chk);
    auto *typeBox = new QGroupBox(QStringLiteral("File type"));
    auto *typeLayout = new QFormLayout(typeBox);
    const QStringList types{QStringLiteral("TIFF"), QStringLiteral("PNG"), QStringLiteral("JPG"), QStringLiteral("BMP")};
    MAKE(matrix_file_type, types, Qt::Horizontal);
    matrix_file_type->selectCellAtRow(0);
    typeLayout->addRow(matrix_file_type);
    MAKE(fileFormatPopup);
    fileFormatPopup->addItems(types);
    typeLayout->addRow(QStringLiteral("Format:"), fileFormatPopup);
    MAKE(saveDPIText);
    saveDPIText->setEditable(true);
    saveDPIText->addItems({QStringLiteral("72"), QStringLiteral("150"), QStringLiteral("300"), QStringLiteral("600")});
    typeLayout->addRow(QStringLiteral("Resolution:"), saveDPIText);
    auto *batchBox = new QGroupBox(QStringLiteral("Batch"));
    auto *batchLayout = new QVBoxLayout(batchBox);
    MAKE(Export_with_batch_chk, QStringLiteral("One card per row of the bound series"));
    MAKE(Export_with_excel_chk, QStringLiteral("One card per row of the spreadsheet"));
    Export_with_batch_chk->setEnabled(false);
    Export_with_excel_chk->setEnabled(false);
    batchLayout->addWidget(Export_with_batch_chk);
    batchLayout->addWidget(Export_with_excel_chk);
    layout->addWidget(sidesBox);
    layout->addWidget(typeBox);
    layout->addWidget(batchBox);
    MAKE(exportCancel_btn, QStringLiteral("Cancel"));
    MAKE(exportOkay_btn, QStringLiteral("Export..."));
    exportOkay_btn->setDefault(true);
    auto *buttonsRow = new QHBoxLayout;
    buttonsRow->addStretch(1);
    buttonsRow->addWidget(exportCancel_btn);
    buttonsRow->addWidget(exportOkay_btn);
    layout->addLayout(buttonsRow);
    QObject::connect(exportOkay_btn, &QPushButton::clicked, ExportWindow, [this] { ExportWindow->done(ModalOK); });
    QObject::connect(exportCancel_btn, &QPushButton::clicked, ExportWindow,
                     [this] { ExportWindow->done(ModalCancel); });
  }

  // ---- Export-finished box ------------------------------------------------------------------------
  {
    newDialog(MAKE(Open_Export_Files), "Open_Export_Files", QStringLiteral("Export Finished"), window);
    auto *layout = new QVBoxLayout(Open_Export_Files);
    layout->setContentsMargins(16, 16, 16, 12);
    MAKE(_open_log_message);
    _open_log_message->setWordWrap(true);
    layout->addWidget(_open_log_message);
    MAKE(_open_log_path);
    readOnly(_open_log_path);
    _open_log_path->setMinimumWidth(380);
    layout->addWidget(_open_log_path);
    MAKE(_open_log_chk, QStringLiteral("Open exported file."));
    layout->addWidget(_open_log_chk);
    MAKE(_open_log_ok_btn, QStringLiteral("OK"));
    _open_log_ok_btn->setDefault(true);
    auto *buttonsRow = new QHBoxLayout;
    buttonsRow->addStretch(1);
    buttonsRow->addWidget(_open_log_ok_btn);
    layout->addLayout(buttonsRow);
    QObject::connect(_open_log_ok_btn, &QPushButton::clicked, Open_Export_Files,
                     [this] { Open_Export_Files->done(ModalOK); });
  }

  // ---- Wait sheet --------------------------------------------------------------------------------
  {
    newDialog(MAKE(plz_wait_Window), "plz_wait_Window", QStringLiteral("Please Wait"), window);
    plz_wait_Window->setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto *layout = new QVBoxLayout(plz_wait_Window);
    layout->setContentsMargins(24, 20, 24, 20);
    MAKE(modeless_msg_lbl, QStringLiteral("It may take a while, Please wait.."));
    modeless_msg_lbl->setAlignment(Qt::AlignCenter);
    layout->addWidget(modeless_msg_lbl);
    MAKE(plz_wait_progress);
    plz_wait_progress->setRange(0, 0);
    plz_wait_progress->setTextVisible(false);
    plz_wait_progress->setMinimumWidth(280);
    layout->addWidget(plz_wait_progress);
  }

  // ---- One-by-one progress window ---------------------------------------------------------------
  {
    newDialog(MAKE(Send_Models_Window), "Send_Models_Window", QStringLiteral("Progress"), window);
    Send_Models_Window->setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto *layout = new QVBoxLayout(Send_Models_Window);
    layout->setContentsMargins(20, 16, 20, 14);
    auto *counts = new QHBoxLayout;
    MAKE(_curr_msg_cnt, QStringLiteral("0 / 0 "));
    MAKE(_tot_msg_cnt);
    counts->addWidget(_curr_msg_cnt);
    counts->addStretch(1);
    counts->addWidget(_tot_msg_cnt);
    layout->addLayout(counts);
    MAKE(_Curr_Progress);
    _Curr_Progress->setMinimumWidth(320);
    _Curr_Progress->setTextVisible(false);
    layout->addWidget(_Curr_Progress);
    MAKE(pause_label);
    layout->addWidget(pause_label);
    MAKE(_stop_btn, QStringLiteral("Stop"));
    auto *buttonsRow = new QHBoxLayout;
    buttonsRow->addStretch(1);
    buttonsRow->addWidget(_stop_btn);
    layout->addLayout(buttonsRow);
  }

  // ---- Help, review and template-name windows ----------------------------------------------------
  {
    newDialog(MAKE(HelpWindow), "HelpWindow", QStringLiteral("Help"), window);
    auto *helpLayout = new QVBoxLayout(HelpWindow);
    helpLayout->setContentsMargins(16, 16, 16, 12);
    newDialog(MAKE(Review_Window), "Review_Window", QStringLiteral("Review"), window);
    auto *reviewLayout = new QVBoxLayout(Review_Window);
    reviewLayout->setContentsMargins(16, 16, 16, 12);

    newDialog(MAKE(Export_Template_Window), "Export_Template_Window", QStringLiteral("Save as Template"), window);
    auto *layout = new QVBoxLayout(Export_Template_Window);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(new QLabel(QStringLiteral("Template name:")));
    MAKE(template_name);
    template_name->setMinimumWidth(300);
    layout->addWidget(template_name);
    MAKE(template_passed);
    template_passed->hide();
    layout->addWidget(template_passed);
    MAKE(template_cancel_btn, QStringLiteral("Cancel"));
    MAKE(template_ok_btn, QStringLiteral("Save"));
    template_ok_btn->setDefault(true);
    auto *buttonsRow = new QHBoxLayout;
    buttonsRow->addStretch(1);
    buttonsRow->addWidget(template_cancel_btn);
    buttonsRow->addWidget(template_ok_btn);
    layout->addLayout(buttonsRow);
    QObject::connect(template_cancel_btn, &QPushButton::clicked, Export_Template_Window,
                     [this] { Export_Template_Window->done(ModalCancel); });
  }
}
