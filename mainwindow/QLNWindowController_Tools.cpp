// The tools of the main window: the sixteen tool buttons, the tool-change notification
// and the object each tool places at once on the current side; the cascade position
// of new objects; the picture file panel of the image tool; and what the canvases ask
// of the controller (CanvasServices).
//
// The road of one tool press: the button's action sets Selected_Control_Tool and calls
// Select_tool_action, which posts the tool-change notification. The controller
// observes it (from start-up step 24 on) with selectedToolDidChange, which asks the
// current side's canvas to make one object of the tool at the next cascade position
// and selects it, before the post returns. Select_tool_action then redraws and shows
// the new object in the property panel, which returns to the arrow tool.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"

#include "canvas/CanvasServices.h"
#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QToolButton>
#include <QUrl>

#include <array>
#include <exception>
#include <optional>

namespace {

// Tool ids of Selected_Control_Tool.
enum Tool {
  ArrowTool = 0,
  LineTool = 1,
  TextTool = 2,
  RectTool = 3,
  CircleTool = 4,
  RoundRectTool = 5,
  TriangleTool = 6,
  DiamondTool = 7,
  ImageTool = 8,
  ImageLibraryTool = 9,
  BarcodeTool = 10,
  SignatureTool = 11,
  FingerprintTool = 12,
  StarTool = 13,
  DoubleStarTool = 14,
  PolygonTool = 15,
};

// The picture types the image tool offers.
const QStringList PictureExtensions = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                       QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                                       QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};

}  // namespace

// ---- The tool buttons -------------------------------------------------------------------------

void QLNWindowController::connectToolButtons() {
  using Action = void (QLNWindowController::*)(QObject *);
  static constexpr std::array<Action, 16> actions = {
      &QLNWindowController::Arrow_Tool_Clicked,       &QLNWindowController::Line_Tool_Clicked,
      &QLNWindowController::Text_Tool_Clicked,        &QLNWindowController::Rect_Tool_Clicked,
      &QLNWindowController::Circle_Tool_Clicked,      &QLNWindowController::Round_Rect_Tool_Clicked,
      &QLNWindowController::Triangle_Tool_Clicked,    &QLNWindowController::Diamond_Tool_Clicked,
      &QLNWindowController::Image_Tool_Clicked,       &QLNWindowController::Image_Library_Tool_Clicked,
      &QLNWindowController::Barcode_Tool_Clicked,     &QLNWindowController::Signature_Tool_Clicked,
      &QLNWindowController::Fingure_Print_Tool_Clicked, &QLNWindowController::Star_Tool_Clicked,
      &QLNWindowController::Double_Star_Tool_Clicked, &QLNWindowController::Polygon_Tool_Clicked};
  // A press reaches a tool in one of two ways: a click (pointer, keyboard), which
  // checks an unchecked button and then reports the click, or the toggle that assistive
  // technology performs on a checkable button, which reports no click. The action runs
  // once either way: on the button becoming checked, or on a click that checked nothing
  // (the arrow button, checked already). Buttons checked by the controller itself
  // (selectArrowTool) run nothing.
  const auto buttons = ui->toolButtons();
  for (size_t tool = 0; tool < buttons.size(); ++tool) {
    QToolButton *button = buttons[tool];
    const Action action = actions[tool];
    connect(button, &QAbstractButton::toggled, this, [this, button, action](bool checked) {
      if (!checked || m_checkingToolButton)
        return;
      m_toolButtonToggled = button;
      (this->*action)(button);
    });
    connect(button, &QAbstractButton::clicked, this, [this, button, action] {
      const bool ranOnToggle = m_toolButtonToggled == button;
      m_toolButtonToggled = nullptr;
      if (!ranOnToggle)
        (this->*action)(button);
    });
  }

  // The side bar's "Rulers" check box (Show_Hide_Ruler_ChkBox): every change of it
  // shows or hides the rulers of the three canvases, each canvas toggling its own.
  connect(ui->Show_Hide_Ruler_chk, &QAbstractButton::toggled, this, [this] {
    for (QLNGraphicView *view : {frontView(), backView(), tempView()})
      if (view)
        view->showOrHideRulers();
  });
}

void QLNWindowController::Arrow_Tool_Clicked(QObject *) {
  Selected_Control_Tool = ArrowTool;
  Select_tool_action();
}
void QLNWindowController::Line_Tool_Clicked(QObject *) {
  Selected_Control_Tool = LineTool;
  Select_tool_action();
}
void QLNWindowController::Text_Tool_Clicked(QObject *) {
  Selected_Control_Tool = TextTool;
  Select_tool_action();
}
void QLNWindowController::Rect_Tool_Clicked(QObject *) {
  Selected_Control_Tool = RectTool;
  Select_tool_action();
}
void QLNWindowController::Circle_Tool_Clicked(QObject *) {
  Selected_Control_Tool = CircleTool;
  Select_tool_action();
}
void QLNWindowController::Round_Rect_Tool_Clicked(QObject *) {
  Selected_Control_Tool = RoundRectTool;
  Select_tool_action();
}
void QLNWindowController::Triangle_Tool_Clicked(QObject *) {
  Selected_Control_Tool = TriangleTool;
  Select_tool_action();
}
void QLNWindowController::Diamond_Tool_Clicked(QObject *) {
  Selected_Control_Tool = DiamondTool;
  Select_tool_action();
}
void QLNWindowController::Image_Tool_Clicked(QObject *) {
  Selected_Control_Tool = ImageTool;
  Select_tool_action();
}
void QLNWindowController::Image_Library_Tool_Clicked(QObject *) {
  Selected_Control_Tool = ImageLibraryTool;
  Select_tool_action();
}
void QLNWindowController::Barcode_Tool_Clicked(QObject *) {
  Selected_Control_Tool = BarcodeTool;
  Select_tool_action();
}
void QLNWindowController::Signature_Tool_Clicked(QObject *) {
  Selected_Control_Tool = SignatureTool;
  Select_tool_action();
}
void QLNWindowController::Fingure_Print_Tool_Clicked(QObject *) {
  Selected_Control_Tool = FingerprintTool;
  Select_tool_action();
}
void QLNWindowController::Star_Tool_Clicked(QObject *) {
  Selected_Control_Tool = StarTool;
  Select_tool_action();
}
void QLNWindowController::Double_Star_Tool_Clicked(QObject *) {
  Selected_Control_Tool = DoubleStarTool;
  Select_tool_action();
}
void QLNWindowController::Polygon_Tool_Clicked(QObject *) {
  Selected_Control_Tool = PolygonTool;
  Select_tool_action();
}

// ---- Tool change ---------------------------------------------------------------------------------

QSizeF QLNWindowController::toolDefaultSize(const QString &graphicClass) {
  // The barcode and the signature pictures get room of their own.
  if (graphicClass == QLatin1String("QLNBarcode"))
    return QSizeF(120.0, 60.0);
  if (graphicClass == QLatin1String("QLNSignature"))
    return QSizeF(100.0, 50.0);
  return QSizeF(50.0, 50.0);
}

void QLNWindowController::Undo_Redo_Button_state() {
  const bool front = frontSideShows();
  ui->Undo_btn->setEnabled(front && m_document && m_document->undoManager()->canUndo());
  ui->Redo_btn->setEnabled(front && m_document && m_document->undoManager()->canRedo());
}

QString QLNWindowController::currentGraphicClass() const {
  switch (Selected_Control_Tool) {
    case LineTool:
      return QStringLiteral("QLNLine");
    case TextTool:
      return QStringLiteral("QLNText");
    case RectTool:
    case CircleTool:
    case RoundRectTool:
    case TriangleTool:
    case DiamondTool:
    case StarTool:
    case DoubleStarTool:
    case PolygonTool:
      return QStringLiteral("Shape_Control");
    case ImageTool:
    case ImageLibraryTool:
      return QStringLiteral("QLNImage");
    case BarcodeTool:
      return QStringLiteral("QLNBarcode");
    case SignatureTool:
    case FingerprintTool:
      // The fingerprint is a signature object of kind "F" (the canvas's factory makes
      // it from the fingerprint sample).
      return QStringLiteral("QLNSignature");
    default:
      return QString();
  }
}

void QLNWindowController::postSelectedToolDidChange() {
  emit notificationPosted(QLNSelectedToolDidChangeNotification, this);
}

void QLNWindowController::Select_tool_action() {
  // 1. The observer places the tool's object before the post returns.
  postSelectedToolDidChange();
  // 2. A redraw.
  Refresh_Canvas();
  // 3. The property panel shows the current side's object (the new one, or the one
  //    selected before when nothing was placed) and returns to the arrow tool.
  QLNGraphicView *view = currentView();
  Show_RHS_Properties(view ? view->Selected_Graphic() : QLNGraphicPtr());
}

void QLNWindowController::selectArrowTool() {
  Selected_Control_Tool = ArrowTool;
  if (ui && ui->Arrow_Tool_btn) {
    m_checkingToolButton = true;
    ui->Arrow_Tool_btn->setChecked(true);
    m_checkingToolButton = false;
  }
  postSelectedToolDidChange();
}

void QLNWindowController::selectedToolDidChange(QObject *) {
  try {
    const int tool = Selected_Control_Tool;
    const QString graphicClass = currentGraphicClass();
    if (graphicClass.isEmpty())
      return;  // the arrow tool places nothing
    QRectF rect(QPointF(0.0, 0.0), toolDefaultSize(graphicClass));

    if (graphicClass == QLatin1String("QLNImage")) {
      if (tool == ImageTool && !Browse_User_Image_Manually())
        return;  // no picture chosen: nothing is placed
      if (tool == ImageLibraryTool) {
        if (Open_Image_Library_Window(QStringLiteral("C")) != 1)
          return;  // no picture chosen: nothing is placed
        Library_Selected_Image = lib_window_sel_file;
        Show_NSLog_Message(Library_Selected_Image);
      }
    }

    // The file panel's event loop may have drawn an empty side meanwhile, and drawing
    // one shows the card in the property panel, which returns to the arrow tool: the
    // canvas's factory must still make the object of the tool that was pressed.
    Selected_Control_Tool = tool;

    const bool back = Card_Front_Or_Back.load() != 0;
    QLNGraphicView *view = back ? backView() : frontView();
    view->createGraphicOfClass(graphicClass, std::nullopt, true, rect,
                               back ? QStringLiteral("B") : QStringLiteral("F"), QString(), QString());
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

// ---- Placement ----------------------------------------------------------------------------------

QPointF QLNWindowController::Control_New_Point(const QString &card_side) {
  try {
    // The count before the new object is inserted.
    const int count = card_side == QLatin1String("F") ? Get_Front_Control_Count() : Get_Back_Control_Count();
    // All three canvases share one size.
    return cascadeControlPoint(count, frontCanvasBounds().size());
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  return QPointF(10.0, 10.0);
}

// ---- Pictures -------------------------------------------------------------------------------------

bool QLNWindowController::Browse_User_Image_Manually() {
  FilePanelOptions options;
  options.title = QStringLiteral("Choose a Picture");
  options.extensions = PictureExtensions;
  const QString chosen = UiServices::instance().openFile(options);
  if (chosen.isEmpty()) {
    Library_Selected_Image.clear();
    return false;
  }
  Library_Selected_Image = Convert_Path_From_URL(QUrl::fromLocalFile(chosen));
  ui->Manual_image_path->setText(Library_Selected_Image);
  return true;
}

// ---- CanvasServices ---------------------------------------------------------------------------------

QString QLNWindowController::librarySelectedImage() const { return Library_Selected_Image; }

QObject *QLNWindowController::mainWindowControl(const QString &objectName) const {
  if (!ui || !ui->window || objectName.isEmpty())
    return nullptr;
  return ui->window->findChild<QObject *>(objectName);
}
