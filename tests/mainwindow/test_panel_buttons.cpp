// The buttons around the property panel: alignment and sizing through the panel's
// buttons with their refusals, always on the front or back canvas that the current side
// names (also while the temp side is on screen); the print check box; the grid controls
// and align to grid; the rotation slider.

#include "tests/mainwindow/main_window_fixture.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"

#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/QLNImage.h"
#include "core/Shape_Control.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace {

class PanelButtonsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ui = controller->ui;
    document = session->document();
    grid = controller->_grid.get();
  }

  static std::shared_ptr<Shape_Control> rect(const QRectF &bounds) {
    auto object = std::make_shared<Shape_Control>();
    object->setBounds(bounds);
    object->Set_Shape_Type(QStringLiteral("R"));
    return object;
  }

  void place(const QString &key, const QLNGraphicList &objects) {
    QLNIndexSet indexes;
    for (int i = 0; i < objects.size(); ++i)
      indexes.append(i);
    document->insertIntoList(key, objects, indexes);
  }

  QLNWindowController *controller = nullptr;
  DrawWindow *ui = nullptr;
  QLNDocument *document = nullptr;
  QLNGrid *grid = nullptr;
};

}  // namespace

TEST_F(PanelButtonsTest, SameSizeNeedsTwoSelectedObjectsAndAlignmentForwardsWhateverIsSelected) {
  auto a = rect(QRectF(20, 20, 60, 25));
  auto b = rect(QRectF(120, 60, 30, 40));
  place(QLNDocumentGraphicsKey, {a, b});
  controller->frontView()->changeSelectionIndexes({1});

  scripted.expectAlert();
  ui->Make_Same_Width_btn->click();
  scripted.expectAlert();
  ui->Make_Same_Height_btn->click();
  EXPECT_EQ(scripted.alertTexts(), (QStringList{QStringLiteral("\nPlease select more than one control."),
                                                QStringLiteral("\nPlease select more than one control.")}));
  EXPECT_EQ(b->bounds(), QRectF(120, 60, 30, 40));

  // One object aligns to the card (243 by 154 points).
  ui->Align_Right_btn->click();
  EXPECT_EQ(b->bounds(), QRectF(213, 60, 30, 40));
  ui->Align_Center_btn->click();
  EXPECT_EQ(b->bounds(), QRectF(106.5, 57, 30, 40));

  controller->frontView()->changeSelectionIndexes({0, 1});
  ui->Make_Same_Width_btn->click();
  ui->Make_Same_Height_btn->click();
  EXPECT_EQ(b->bounds(), QRectF(106.5, 57, 60, 25));
  ui->Align_Left_btn->click();
  ui->Align_Top_btn->click();
  EXPECT_EQ(b->bounds(), QRectF(20, 20, 60, 25));
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 60, 25));
  EXPECT_TRUE(scripted.requests().size() == 2u) << "no further messages";

  // Nothing selected: the alignments forward and nothing moves.
  controller->frontView()->changeSelectionIndexes({});
  for (QToolButton *button :
       std::initializer_list<QToolButton *>{ui->Align_Left_btn, ui->Align_Bottom_btn, ui->Align_Horz_btn, ui->Align_Vert_btn})
    button->click();
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 60, 25));
}

// The temp side shows the current side's objects, that side itself out of sight: the
// alignment tab's commands are off and change no side, however they are reached.
TEST_F(PanelButtonsTest, WhileTheTempSideShowsTheButtonsChangeNoSide) {
  auto front = rect(QRectF(20, 20, 40, 30));
  auto back = rect(QRectF(50, 50, 40, 30));
  auto back2 = rect(QRectF(100, 100, 40, 30));
  place(QLNDocumentGraphicsKey, {front});
  place(QLNDocumentGraphicsKey_back, {back, back2});
  controller->frontView()->changeSelectionIndexes({0});
  controller->Select_back_side();
  controller->Temp_Card_Btn_Clicked();
  ASSERT_EQ(controller->shownSide(), 2);
  // The temp list holds the back's own objects: the temp canvas selects the second,
  // the back canvas the first, and the panel shows the temp side's object.
  controller->tempView()->changeSelectionIndexes({1});
  controller->backView()->changeSelectionIndexes({0});
  controller->Show_RHS_Properties(back2);
  ASSERT_EQ(ui->sett_tab->widget(ui->sett_tab->count() - 1), ui->aligmnt_tab);

  for (QWidget *control : std::initializer_list<QWidget *>{
           ui->Align_Center_btn, ui->Align_Left_btn, ui->Align_Right_btn, ui->Align_Top_btn, ui->Align_Bottom_btn,
           ui->Align_Horz_btn, ui->Align_Vert_btn, ui->Make_Same_Width_btn, ui->Make_Same_Height_btn,
           ui->Make_Natural_btn, ui->Align_with_grid_btn, ui->print_object_chk})
    EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  controller->Align_Left_Clicked(ui->Align_Left_btn);
  controller->Make_Natural_Clicked(ui->Make_Natural_btn);
  controller->Print_object_chk_changed(ui->print_object_chk);
  EXPECT_EQ(back->bounds(), QRectF(50, 50, 40, 30));
  EXPECT_EQ(front->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_EQ(back->print_object, 0);
  EXPECT_EQ(front->print_object, 0);
  EXPECT_EQ(back2->bounds(), QRectF(100, 100, 40, 30));
  EXPECT_EQ(back2->print_object, 0);

  // The back shown again: its object's alignment acts on it.
  controller->Select_back_side();
  controller->backView()->changeSelectionIndexes({0});
  controller->Show_RHS_Properties(back);
  EXPECT_TRUE(ui->Align_Left_btn->isEnabled());
  ui->Align_Left_btn->click();
  EXPECT_EQ(back->bounds(), QRectF(0, 50, 40, 30));
  ui->print_object_chk->click();
  EXPECT_EQ(back->print_object, 1);
  EXPECT_EQ(front->print_object, 0);
}

TEST_F(PanelButtonsTest, AlignToGridAsksForTheGridFirstAndTheGridControlsChangeItAtOnce) {
  auto a = rect(QRectF(12, 17, 33, 28));
  place(QLNDocumentGraphicsKey, {a});
  controller->frontView()->changeSelectionIndexes({0});
  ASSERT_FALSE(grid->isAlwaysShown());

  scripted.expectAlert();
  controller->Align_To_Grid_Clicked();
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nPlease use grid option first.")});
  EXPECT_EQ(a->bounds(), QRectF(12, 17, 33, 28));

  // The check box shows the grid for good, enables its options and the button.
  EXPECT_FALSE(ui->Grid_Space_slidr->isEnabled());
  EXPECT_FALSE(ui->Grid_clr->isEnabled());
  ui->Show_hide_grid_chk->click();
  EXPECT_TRUE(grid->isAlwaysShown());
  EXPECT_TRUE(ui->Grid_Space_slidr->isEnabled());
  EXPECT_TRUE(ui->Grid_clr->isEnabled());
  EXPECT_TRUE(ui->Align_with_grid_btn->isEnabled());
  ui->Align_with_grid_btn->click();
  EXPECT_EQ(a->bounds(), QRectF(9, 18, 36, 27)) << "the spacing of 9 points";

  // Off again: the options and the button go off too.
  ui->Show_hide_grid_chk->click();
  EXPECT_FALSE(grid->isAlwaysShown());
  EXPECT_FALSE(ui->Grid_Space_slidr->isEnabled());
  EXPECT_FALSE(ui->Align_with_grid_btn->isEnabled());

  // Moving the spacing slider shows the grid for good, the check box left as it is.
  ui->Grid_Space_slidr->setValue(ui->Grid_Space_slidr->value() + 3);
  EXPECT_DOUBLE_EQ(grid->spacing(), 12.0);
  EXPECT_TRUE(grid->isAlwaysShown());
  EXPECT_FALSE(ui->Show_hide_grid_chk->isChecked());
  // The slider cannot reach a spacing of 0.
  ui->Grid_Space_slidr->setValue(ui->Grid_Space_slidr->minimum());
  EXPECT_GT(grid->spacing(), 0.0);

  // A colour picked for the grid: stored, and the grid shows for good.
  grid->setAlwaysShown(false);
  scripted.answerColor(QColor(Qt::red));
  ASSERT_TRUE(ui->Grid_clr->chooseColor());
  EXPECT_EQ(grid->color(), QColor(Qt::red));
  EXPECT_TRUE(grid->isAlwaysShown());
  EXPECT_FALSE(ui->Show_hide_grid_chk->isChecked());

  // The snap check box turns snapping on and off.
  ASSERT_FALSE(grid->isConstraining());
  ui->Grid_Snap_chk->click();
  EXPECT_TRUE(grid->isConstraining());
  ui->Grid_Snap_chk->click();
  EXPECT_FALSE(grid->isConstraining());
}

TEST_F(PanelButtonsTest, TheRotationSliderRotatesTheSelectedImage) {
  auto image = std::make_shared<QLNImage>();
  image->_contents = PointImage::fromPixels(QImage(QSize(30, 20), QImage::Format_ARGB32));
  image->setBounds(QRectF(20, 20, 30, 20));
  place(QLNDocumentGraphicsKey, {image});
  controller->frontView()->changeSelectionIndexes({0});
  controller->Show_RHS_Properties(image);
  ui->Rotate_slidr->setValue(45 * (ui->Rotate_slidr->maximum() / 180));
  EXPECT_EQ(ui->Rotate_slidr_val->text(), QStringLiteral("45"));
  EXPECT_FLOAT_EQ(float(image->rotate_image), 45.0f);
}
