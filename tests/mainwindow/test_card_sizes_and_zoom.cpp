// Card sizes (the presets of both categories, millimetres and points, the size fields)
// and the zoom of the main window's three sides through their zooming scroll views.

#include "main_window_fixture.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/CanvasRuler.h"
#include "canvas/QLNGraphicView.h"
#include "canvas/QLNZoomingScrollView.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

struct Preset {
  const char *category;
  int index;
  float widthMm;   // landscape ("H")
  float heightMm;
};

// Inches times 25.4.
const Preset Presets[] = {
    {"PVC Card", 0, 85.598f, 54.102f},     {"PVC Card", 1, 84.074f, 52.324f},
    {"PVC Card", 2, 91.948f, 60.452f},     {"PVC Card", 3, 98.552f, 66.548f},
    {"PVC Card", 4, 88.9f, 44.45f},        {"PVC Card", 5, 82.55f, 59.436f},
    {"PVC Card", 6, 73.152f, 53.848f},     {"Paper Card", 0, 59.944f, 40.132f},
    {"Paper Card", 1, 74.93f, 40.132f},    {"Paper Card", 2, 74.93f, 40.132f},
    {"Paper Card", 3, 89.916f, 54.102f},   {"Paper Card", 4, 89.916f, 59.944f},
    {"Paper Card", 5, 59.944f, 89.916f},   {"Paper Card", 6, 100.076f, 103.886f},
    {"Paper Card", 7, 150.114f, 125.984f},
};

}  // namespace

TEST_F(MainWindowTest, PresetsOfBothCategoriesInBothOrientations) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  for (const Preset &preset : Presets) {
    const QString category = QString::fromLatin1(preset.category);
    const QSizeF landscape = controller->Get_My_card_Size(category, QStringLiteral("H"), preset.index);
    EXPECT_NEAR(landscape.width(), preset.widthMm, 0.0005) << preset.category << " " << preset.index;
    EXPECT_NEAR(landscape.height(), preset.heightMm, 0.0005) << preset.category << " " << preset.index;
    // The values are floats.
    EXPECT_EQ(landscape.width(), double(float(landscape.width())));
    // "V" swaps the pair whatever the table's own orientation.
    EXPECT_EQ(controller->Get_My_card_Size(category, QStringLiteral("V"), preset.index), landscape.transposed());
  }
  // Paper index 5 is portrait in the table: "V" makes it landscape.
  const QSizeF turned = controller->Get_My_card_Size(QStringLiteral("Paper Card"), QStringLiteral("V"), 5);
  EXPECT_GT(turned.width(), turned.height());
  // Every orientation string but "V" is landscape.
  EXPECT_EQ(controller->Get_My_card_Size(QStringLiteral("PVC Card"), QString(), 0),
            controller->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), 0));
  EXPECT_EQ(controller->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("v"), 0),
            controller->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), 0));
}

TEST_F(MainWindowTest, PresetIndexesOutsideTheListsAndUnknownCategories) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  // No row chosen: 30 by 30 millimetres, not converted.
  EXPECT_EQ(controller->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), -1), QSizeF(30, 30));
  EXPECT_EQ(controller->Get_My_card_Size(QStringLiteral("Paper Card"), QStringLiteral("V"), -1), QSizeF(30, 30));
  // Any other index outside the list: 30 by 30 inches.
  for (int index : {7, 8, 100, -2, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()}) {
    const QSizeF size = controller->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), index);
    EXPECT_NEAR(size.width(), 762.0, 0.0001) << index;
    EXPECT_NEAR(size.height(), 762.0, 0.0001) << index;
  }
  EXPECT_NEAR(controller->Get_My_card_Size(QStringLiteral("Paper Card"), QStringLiteral("H"), 8).width(), 762.0, 0.0001);
  // Paper index 7 exists; the same index in the PVC column does not.
  EXPECT_NEAR(controller->Get_My_card_Size(QStringLiteral("Paper Card"), QStringLiteral("H"), 7).width(), 150.114, 0.0005);
  // Any category but exactly "PVC Card" is paper, the empty one included.
  for (const QString &category : {QString(), QStringLiteral("pvc card"), QStringLiteral("Paper Card")})
    EXPECT_NEAR(controller->Get_My_card_Size(category, QStringLiteral("H"), 7).width(), 150.114, 0.0005);
}

TEST_F(MainWindowTest, MillimetresAndPointsAsFloatsAndTheSizeFields) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  EXPECT_NEAR(QLNWindowController::Points_to_MM_Convert(243.0f), 85.725, 0.0005);
  EXPECT_NEAR(QLNWindowController::MM_to_Points_Convert(85.598f), 242.64, 0.005);
  EXPECT_EQ(QLNWindowController::Points_to_MM_Convert(154.0f), float(double(154.0f) * 0.3527777777778));
  EXPECT_EQ(QLNWindowController::Points_to_MM_Convert(0.0f), 0.0f);
  // There and back within float precision.
  for (float mm : {1.0f, 54.102f, 150.114f, 1000.0f})
    EXPECT_NEAR(QLNWindowController::Points_to_MM_Convert(QLNWindowController::MM_to_Points_Convert(mm)), mm,
                mm * 1e-6);

  DrawWindow *ui = controller->ui;
  controller->Set_Card_Size_In_Control(controller->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("V"), 0));
  EXPECT_EQ(ui->width_Stepper->floatValue(), 54.102f);
  EXPECT_EQ(ui->height_Stepper->floatValue(), 85.598f);
  EXPECT_EQ(ui->width_Text->text(), QStringLiteral("54.102"));
  EXPECT_EQ(ui->height_Text->text(), QStringLiteral("85.598"));
  // Showing a size changes no canvas; applying it does.
  EXPECT_EQ(controller->frontView()->canvasSize(), QSizeF(243, 154));
  controller->Apply_Size_Clicked();
  const QSizeF points(QLNWindowController::MM_to_Points_Convert(54.102f),
                      QLNWindowController::MM_to_Points_Convert(85.598f));
  for (QLNGraphicView *view : {controller->frontView(), controller->backView(), controller->tempView()})
    EXPECT_EQ(view->canvasSize(), points);
}

TEST_F(MainWindowTest, TheZoomListOfAnySideZoomsEverySide) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  DrawWindow *ui = controller->ui;
  const auto views = controller->zoomingScrollViews();
  ASSERT_EQ(views[0], ui->_zoomingScrollView);
  for (QLNZoomingScrollView *view : views) {
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isFactorBound());
    EXPECT_EQ(view->factor(), 1.0);
    EXPECT_EQ(view->factorPopUpButton()->currentText(), QStringLiteral("100%"));
    // Start-up gave every side its rulers, shown as the rulers box says.
    EXPECT_NE(view->horizontalRulerView(), nullptr);
    EXPECT_NE(view->verticalRulerView(), nullptr);
  }
  EXPECT_EQ(controller->frontView()->horizontalRuler(), views[0]->horizontalRulerView());
  EXPECT_EQ(controller->tempView()->verticalRuler(), views[2]->verticalRulerView());

  // "400%" chosen on the back side's list.
  QComboBox *backList = views[1]->factorPopUpButton();
  backList->setCurrentIndex(backList->findText(QStringLiteral("400%")));
  EXPECT_EQ(controller->_zoomFactor, 4.0);
  for (QLNZoomingScrollView *view : views) {
    EXPECT_EQ(view->factor(), 4.0);
    EXPECT_EQ(view->factorPopUpButton()->currentText(), QStringLiteral("400%"));
    EXPECT_EQ(view->clipView()->factor(), 4.0);
  }
  for (QLNGraphicView *canvas : {controller->frontView(), controller->backView(), controller->tempView()})
    EXPECT_EQ(canvas->zoomFactor(), 4.0);

  // The card stays centred on the visible side when zoomed out.
  controller->setZoomFactor(QLNZoomingScrollViewFactors[0]);
  QLNGraphicView *front = controller->frontView();
  SWCenteringClipView *clip = views[0]->clipView();
  EXPECT_LT(clip->boundsOrigin().x(), 0.0);
  EXPECT_NEAR(front->x() * 2 + front->width(), clip->width(), 2);
  EXPECT_NEAR(front->y() * 2 + front->height(), clip->height(), 2);

  // Without a document the lists zoom nothing any more.
  controller->setDocument(nullptr);
  for (QLNZoomingScrollView *view : views)
    EXPECT_FALSE(view->isFactorBound());
  emit backList->activated(backList->findText(QStringLiteral("200%")));
  EXPECT_EQ(controller->_zoomFactor, QLNZoomingScrollViewFactors[0]);
}
