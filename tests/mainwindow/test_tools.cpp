// The tools of the main window, pressed as a user presses them: each tool button places
// one object of its kind on the current side at the next cascade position, selects it
// and returns to the arrow tool; the image tool asks for a picture first; the cascade
// follows the side's own count and the canvas size; the new project empties both sides
// and their selections; opening a design returns to the arrow tool.

#include "tests/mainwindow/main_window_fixture.h"

#include "mainwindow/DrawWindow.h"

#include "canvas/Image_Library.h"
#include "canvas/QLNGraphicView.h"
#include "canvas/QLNSelection.h"

#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/QLNImage.h"
#include "core/QLNSignature.h"
#include "core/Shape_Control.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QMainWindow>
#include <QToolButton>

#include <array>

namespace {

// A picture file of `width` by `height` pixels in one colour.
void savePicture(const QString &path, int width, int height, const QColor &colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
}

class ToolsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // The samples of the picture tools, each of its own size, so that a test can tell
    // which one an object shows.
    savePicture(shippedDir() + QStringLiteral("/no.png"), 7, 7, Qt::gray);
    savePicture(shippedDir() + QStringLiteral("/sign_sample.png"), 21, 6, Qt::blue);
    savePicture(shippedDir() + QStringLiteral("/fingerprints.png"), 11, 13, Qt::darkGray);
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ui = controller->ui;
    document = session->document();
    ASSERT_FALSE(controller->_grid->isConstraining()) << "new objects are placed without snapping";
    QObject::connect(controller, &QLNWindowController::notificationPosted,
                     [this](const QString &name, QObject *object) {
                       if (name == QStringLiteral("QLNSelectedToolDidChange"))
                         toolNotifications.append(object);
                     });
  }

  QToolButton *toolButton(int tool) const { return ui->toolButtons()[size_t(tool)]; }

  // The tool's button pressed, then the state every press leaves: the arrow tool.
  void press(int tool) {
    SCOPED_TRACE(testing::Message() << "tool " << tool);
    toolButton(tool)->click();
    EXPECT_EQ(controller->Selected_Control_Tool, 0);
    EXPECT_TRUE(ui->Arrow_Tool_btn->isChecked());
    if (tool != 0) {
      EXPECT_FALSE(toolButton(tool)->isChecked());
    }
  }

  // `count` plain rectangles on the side's list, recording no undo.
  void fill(const QString &key, int count) {
    document->Enable_Disable_Undo_Registraion(0);
    for (int i = 0; i < count; ++i) {
      auto shape = std::make_shared<Shape_Control>();
      shape->setBounds(QRectF(1, 1, 5, 5));
      document->insertIntoList(key, {shape}, {0});
    }
    document->Enable_Disable_Undo_Registraion(1);
  }

  QLNWindowController *controller = nullptr;
  DrawWindow *ui = nullptr;
  QLNDocument *document = nullptr;
  QList<QObject *> toolNotifications;
};

}  // namespace

TEST_F(ToolsTest, TenTextToolPressesCascadeOverTheStandardCardEachSelectedAlone) {
  const QPointF expected[10] = {{30, 30},  {50, 50},  {70, 70},  {90, 90},  {110, 10},
                                {130, 30}, {150, 50}, {170, 70}, {190, 90}, {10, 10}};
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(testing::Message() << "press " << i + 1);
    toolNotifications.clear();
    press(2);
    const QLNGraphicList front = document->graphics();
    ASSERT_EQ(front.size(), i + 1);
    const QLNGraphicPtr made = front.at(0);
    EXPECT_EQ(made->className(), QStringLiteral("QLNText"));
    EXPECT_EQ(made->bounds(), QRectF(expected[i], QSizeF(50, 50)));
    // The new object alone is selected and is the one the panel is given.
    EXPECT_EQ(controller->_graphicsController.selectionIndexes(), QLNIndexSet{0});
    EXPECT_EQ(controller->frontView()->selectedGraphics(), QLNGraphicList{made});
    EXPECT_EQ(controller->frontView()->Selected_Graphic(), made);
    // The tool change and the return to the arrow were announced, by the controller.
    EXPECT_GE(toolNotifications.size(), 2);
    for (QObject *object : toolNotifications)
      EXPECT_EQ(object, controller);
  }
  EXPECT_EQ(last_ctrl_X, 10.0f);
  EXPECT_EQ(last_ctrl_Y, 10.0f);
  EXPECT_TRUE(document->graphics_back().isEmpty());
  EXPECT_TRUE(scripted.requests().empty()) << "no tool but the image tool asks anything";
}

TEST_F(ToolsTest, EveryToolButtonPlacesItsKindAtItsSize) {
  struct Case {
    int tool;
    const char *kind;
    const char *shape;  // "" for a kind without a shape code
    QSizeF size;
  };
  const Case cases[] = {
      {1, "QLNLine", "", {50, 50}},          {2, "QLNText", "", {50, 50}},
      {3, "Shape_Control", "R", {50, 50}},   {4, "Shape_Control", "C", {50, 50}},
      {5, "Shape_Control", "RR", {50, 50}},  {6, "Shape_Control", "T", {50, 50}},
      {7, "Shape_Control", "D", {50, 50}},   {10, "QLNBarcode", "", {120, 60}},
      {11, "QLNSignature", "", {100, 50}},   {12, "QLNSignature", "", {100, 50}},
      {13, "Shape_Control", "S", {50, 50}},  {14, "Shape_Control", "DS", {50, 50}},
      {15, "Shape_Control", "P", {50, 50}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "tool " << c.tool);
    const qsizetype before = document->graphics().size();
    press(c.tool);
    ASSERT_EQ(document->graphics().size(), before + 1);
    const QLNGraphicPtr made = document->graphics().at(0);
    EXPECT_EQ(made->className(), QLatin1String(c.kind));
    if (*c.shape) {
      EXPECT_EQ(made->Get_shape_type(), QLatin1String(c.shape));
    }
    EXPECT_EQ(made->bounds().size(), c.size);
    EXPECT_EQ(controller->frontView()->Selected_Graphic(), made);
  }
  // The signature and the fingerprint are told apart by their kind and their sample.
  const QLNGraphicList list = document->graphics();
  auto *fingerprint = dynamic_cast<QLNSignature *>(list.at(3).get());
  auto *signature = dynamic_cast<QLNSignature *>(list.at(4).get());
  ASSERT_TRUE(fingerprint && signature);
  EXPECT_EQ(signature->Sign_Or_FP_Val(), QStringLiteral("S"));
  EXPECT_EQ(signature->_contents_img.pixels.size(), QSize(21, 6));
  EXPECT_EQ(fingerprint->Sign_Or_FP_Val(), QStringLiteral("F"));
  EXPECT_EQ(fingerprint->_contents_img.pixels.size(), QSize(11, 13));
}

TEST_F(ToolsTest, TheArrowPlacesNothingAndTheLibraryToolPlacesOnlyAChosenPicture) {
  press(2);
  const QLNGraphicPtr text = document->graphics().at(0);
  press(0);
  EXPECT_EQ(document->graphics(), QLNGraphicList{text});

  // A library of one category with one picture.
  const QString folder = Resource_Path + QStringLiteral("/LibraryImage/hearts");
  ASSERT_TRUE(QDir().mkpath(folder));
  savePicture(folder + QStringLiteral("/Red.png"), 9, 5, Qt::red);

  // The library closed without a choice: nothing is placed, the selection stays.
  scripted.answerModal(ModalCancel);
  press(9);
  EXPECT_EQ(document->graphics(), QLNGraphicList{text});
  EXPECT_TRUE(document->graphics_back().isEmpty());
  EXPECT_EQ(controller->frontView()->Selected_Graphic(), text);

  // The picture chosen and confirmed: an image object of it.
  scripted.answerModal([](QDialog *) {
    Image_Library *library = Image_Library::defaultInstance();
    library->imageBrowser->setSelectionIndexes({0});
    library->OK_Clicked();
    return ModalOK;
  });
  press(9);
  ASSERT_EQ(document->graphics().size(), 2);
  auto *image = dynamic_cast<QLNImage *>(document->graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->_file_path, folder + QStringLiteral("/Red.png"));
  EXPECT_EQ(image->_contents.pixels.size(), QSize(9, 5));
  EXPECT_EQ(Library_Selected_Image, image->_file_path);
}

TEST_F(ToolsTest, AssistiveTechnologyPressesAToolOnceThroughItsOwnAction) {
  // A screen reader presses a checkable button with the button's accessible action,
  // which toggles it and reports no click.
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(ui->Rect_Tool_btn);
    ASSERT_TRUE(button && button->actionInterface());
    const QStringList actions = button->actionInterface()->actionNames();
    ASSERT_FALSE(actions.isEmpty());
    button->actionInterface()->doAction(actions.first());
    ASSERT_EQ(document->graphics().size(), round);
    EXPECT_EQ(document->graphics().at(0)->Get_shape_type(), QStringLiteral("R"));
    EXPECT_EQ(controller->Selected_Control_Tool, 0);
    EXPECT_TRUE(ui->Arrow_Tool_btn->isChecked());
    EXPECT_FALSE(ui->Rect_Tool_btn->isChecked());
  }
  // A click after that still places exactly one object.
  press(3);
  EXPECT_EQ(document->graphics().size(), 3);
}

TEST_F(ToolsTest, TextToolOnTheBackSidePlacesOnTheBackCanvasByTheBacksCount) {
  // Twenty-five objects on the front would make a step of 25; the back has none.
  fill(QLNDocumentGraphicsKey, 25);
  const QLNGraphicList front = document->graphics();
  Card_Front_Or_Back = 1;
  controller->changeViewController(1);

  press(2);
  ASSERT_EQ(document->graphics_back().size(), 1);
  const QLNGraphicPtr made = document->graphics_back().at(0);
  EXPECT_EQ(made->className(), QStringLiteral("QLNText"));
  EXPECT_EQ(made->bounds(), QRectF(30, 30, 50, 50));
  EXPECT_EQ(controller->_graphicsController_back.selectionIndexes(), QLNIndexSet{0});
  EXPECT_EQ(controller->backView()->Selected_Graphic(), made);
  EXPECT_EQ(document->graphics(), front);
  EXPECT_TRUE(controller->_graphicsController.selectionIndexes().isEmpty());
  // The back list records no undo.
  spinUntil([] { return false; }, 20);
  EXPECT_FALSE(document->undoManager()->canUndo());
}

TEST_F(ToolsTest, CascadeStepsByTheSidesCountAndWrapsOnANarrowCanvas) {
  // Twenty-five objects: the step is 25, not 20.
  fill(QLNDocumentGraphicsKey, 25);
  press(3);
  EXPECT_EQ(document->graphics().at(0)->bounds().topLeft(), QPointF(35, 35));

  // Any side string but "F" counts the back side: 25 objects there, none counted on
  // the front for "F".
  fill(QLNDocumentGraphicsKey_back, 25);
  last_ctrl_X = 10.0f;
  last_ctrl_Y = 10.0f;
  EXPECT_EQ(controller->Control_New_Point(QStringLiteral("B")), QPointF(35, 35));
  EXPECT_EQ(controller->Control_New_Point(QString()), QPointF(60, 60));
  document->setList(QLNDocumentGraphicsKey, {});
  EXPECT_EQ(controller->Control_New_Point(QStringLiteral("F")), QPointF(80, 80));

  // A card narrower than 60 points: every new object starts at x 10, y cascades on.
  controller->SetDocumentCanvasSize(QSizeF(59, 154));
  last_ctrl_X = 10.0f;
  last_ctrl_Y = 10.0f;
  for (double y : {30.0, 50.0, 70.0}) {
    press(2);
    EXPECT_EQ(document->graphics().at(0)->bounds().topLeft(), QPointF(10, y));
  }
}

TEST_F(ToolsTest, ImageToolPlacesNothingWhenThePanelIsCancelledAndThePictureWhenOneIsChosen) {
  Library_Selected_Image = QStringLiteral("/left/from/before.png");
  scripted.answerOpenFile(QString());
  press(8);
  EXPECT_TRUE(document->graphics().isEmpty());
  EXPECT_TRUE(Library_Selected_Image.isEmpty());
  ASSERT_EQ(scripted.requests().size(), 1u);
  EXPECT_EQ(scripted.requests().at(0).kind, ScriptedUi::Kind::OpenFile);
  EXPECT_EQ(scripted.requests().at(0).detail, QStringLiteral("jpg,jpeg,jpe,jfif,gif,bmp,png,tif,tiff"));

  const QString path = root.filePath(QStringLiteral("Sorry picture.png"));
  savePicture(path, 40, 20, Qt::red);
  scripted.answerOpenFile(path);
  press(8);
  ASSERT_EQ(document->graphics().size(), 1);
  auto *image = dynamic_cast<QLNImage *>(document->graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->FilePath(), path);
  EXPECT_EQ(image->_contents.pixels.size(), QSize(40, 20));
  EXPECT_EQ(image->bounds(), QRectF(30, 30, 50, 50));
  EXPECT_EQ(Library_Selected_Image, path);
  EXPECT_EQ(ui->Manual_image_path->text(), path);
  EXPECT_EQ(controller->frontView()->Selected_Graphic(), document->graphics().at(0));

  // A chosen file that is gone by the time the object is made shows the placeholder.
  const QString gone = root.filePath(QStringLiteral("gone.png"));
  scripted.answerOpenFile(gone);
  press(8);
  image = dynamic_cast<QLNImage *>(document->graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->_contents.pixels.size(), QSize(7, 7));
}

namespace {

// The open panel of a real session runs an event loop, in which the main window draws.
// This one draws the front canvas while it is open.
class DrawingWhilePanelIsOpen : public ScriptedUi {
public:
  QWidget *canvas = nullptr;
  QString answer;
  QString openFile(const FilePanelOptions &) override {
    canvas->repaint();
    return answer;
  }
};

}  // namespace

TEST_F(ToolsTest, ImageToolPlacesTheChosenPictureEvenWhenTheEmptySideIsDrawnMeanwhile) {
  // Drawing an empty side shows the card in the property panel, which returns to the
  // arrow tool: the object made afterwards must still be the picture.
  const QString path = root.filePath(QStringLiteral("chosen.png"));
  savePicture(path, 16, 12, Qt::green);
  ASSERT_TRUE(spinUntil([&] { return controller->frontView()->paintCount() > 0; }));
  DrawingWhilePanelIsOpen panel;
  panel.canvas = controller->frontView();
  panel.answer = path;
  const int paintsBefore = controller->frontView()->paintCount();
  UiServices::setInstance(&panel);
  ui->Image_Tool_btn->click();
  UiServices::setInstance(&scripted);
  EXPECT_GT(controller->frontView()->paintCount(), paintsBefore) << "the side was drawn while the panel was open";

  ASSERT_EQ(document->graphics().size(), 1);
  auto *image = dynamic_cast<QLNImage *>(document->graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->FilePath(), path);
  EXPECT_EQ(image->_contents.pixels.size(), QSize(16, 12));
  EXPECT_EQ(controller->Selected_Control_Tool, 0);
  EXPECT_TRUE(ui->Arrow_Tool_btn->isChecked());
}

TEST_F(ToolsTest, NewProjectEmptiesBothSidesAndTheirSelections) {
  press(2);
  press(3);
  Card_Front_Or_Back = 1;
  press(11);
  press(4);
  controller->backView()->changeSelectionIndexes({0, 1});
  controller->frontView()->changeSelectionIndexes({1});
  spinUntil([] { return false; }, 20);
  ASSERT_TRUE(document->undoManager()->canUndo());

  controller->New_Project();

  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_TRUE(document->graphics().isEmpty());
  EXPECT_TRUE(document->graphics_back().isEmpty());
  EXPECT_TRUE(controller->_graphicsController.selectionIndexes().isEmpty());
  EXPECT_TRUE(controller->_graphicsController_back.selectionIndexes().isEmpty());
  EXPECT_EQ(controller->frontView()->Selected_Graphic(), nullptr);
  EXPECT_EQ(controller->backView()->Selected_Graphic(), nullptr);
  // The emptied design cannot be undone back into the old one.
  spinUntil([] { return false; }, 20);
  EXPECT_FALSE(document->undoManager()->canUndo());
  EXPECT_TRUE(document->undoManager()->isUndoRegistrationEnabled());
  EXPECT_EQ(last_ctrl_X, 10.0f);

  // The next object starts the cascade again.
  press(2);
  EXPECT_EQ(document->graphics().at(0)->bounds().topLeft(), QPointF(30, 30));
}

TEST_F(ToolsTest, OpeningADesignReturnsToTheArrowTool) {
  press(2);
  const QString path = root.filePath(QStringLiteral("Design.dcard"));
  Project_File_Name = path;
  ASSERT_TRUE(controller->Save_project_file(false, false));

  controller->Selected_Control_Tool = 2;
  {
    const QSignalBlocker quiet(ui->Text_Tool_btn);
    ui->Text_Tool_btn->setChecked(true);
  }
  toolNotifications.clear();
  ASSERT_EQ(controller->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
  EXPECT_EQ(controller->Selected_Control_Tool, 0);
  EXPECT_TRUE(ui->Arrow_Tool_btn->isChecked());
  EXPECT_FALSE(toolNotifications.isEmpty());
  // The arrow tool placed nothing: the design is the saved one.
  EXPECT_EQ(document->graphics().size(), 1);
}
