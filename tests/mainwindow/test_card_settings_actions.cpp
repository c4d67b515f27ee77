// The card tabs' actions as a user works them: colour wells answered through the colour
// panel, steppers clicked and values typed, radios, check boxes, the shape matrix, the
// size fields, the background picture panel and the font panel. Each action is checked
// in the side's settings and in the card the canvas draws (the canvas widget grabbed),
// and none of them records an undo step.

#include "tests/mainwindow/main_window_fixture.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"

#include "core/QLNDocument.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "tests/common/PixelHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QtMath>

namespace {

class CardSettingsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    shipPattern(QStringLiteral("Brick.png"));
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ui = controller->ui;
    document = session->document();
    ASSERT_EQ(ui->sett_tab->widget(0), ui->card_setting_tab) << "the card is shown after the start-up";
  }

  // The colour panel answers `colour` for a click on the well.
  void chooseColour(ColorWell *well, const QColor &colour) {
    scripted.answerColor(colour);
    ASSERT_TRUE(well->chooseColor());
  }
  // A value typed into a field, its editing then ended (as Return or leaving it does).
  static void type(QLineEdit *field, const QString &text) {
    field->setText(text);
    emit field->editingFinished();
  }

  // The front canvas as it is on the screen (zoom 1: one pixel per point).
  QImage canvas() const { return controller->frontView()->grab().toImage(); }

  QLNWindowController *controller = nullptr;
  DrawWindow *ui = nullptr;
  QLNDocument *document = nullptr;
};

using pixeltest::near;

}  // namespace

TEST_F(CardSettingsTest, HalfOpaqueRedFillIsStoredWithItsOpacityAndDrawnOverWhite) {
  ui->Card_fill_chk->click();
  ASSERT_TRUE(controller->Front_card_Prop.Card_fill_chk());
  EXPECT_TRUE(ui->Card_solid_fill_rd->isChecked());
  chooseColour(ui->Card_fill_clr, Qt::red);
  type(ui->Card_alpha_Text, QStringLiteral("50"));

  const Card_Property &front = controller->Front_card_Prop;
  EXPECT_EQ(ui->Card_alpha_Stepper->value(), 50.0);
  EXPECT_FLOAT_EQ(front.Card_alpha_Stepper(), 0.5f);
  EXPECT_EQ(front.Card_fill_clr().rgb(), QColor(Qt::red).rgb());
  EXPECT_NEAR(front.Card_fill_clr().alphaF(), 0.5, 0.01);
  EXPECT_EQ(front.Card_fill_style(), QStringLiteral("S"));
  const QImage drawn = canvas();
  EXPECT_TRUE(near(drawn.pixelColor(120, 77), QColor(255, 128, 128), 3)) << drawn.pixelColor(120, 77).name().toStdString();
  // The border colour carries no opacity.
  chooseColour(ui->Card_bordr_clr, Qt::blue);
  EXPECT_EQ(front.Card_bordr_clr(), QColor(Qt::blue));
  // Nothing of it is undoable.
  EXPECT_FALSE(document->undoManager()->canUndo());
}

TEST_F(CardSettingsTest, AStepperClickShowsItsValueInItsFieldAndATypedValueReachesTheStepper) {
  const int before = ui->Card_bor_Stepper->intValue();
  ui->Card_bor_Stepper->step(+1);
  EXPECT_EQ(ui->Card_bor_Text->text(), QString::number(before + 1));
  EXPECT_EQ(controller->Front_card_Prop.Card_bor_Stepper(), before + 1);

  // A typed value: the field keeps it as typed and the update reads the stepper.
  type(ui->Card_bor_Text, QStringLiteral("6"));
  EXPECT_EQ(ui->Card_bor_Stepper->intValue(), 6);
  EXPECT_EQ(controller->Front_card_Prop.Card_bor_Stepper(), 6);

  // A gradient angle of 45.9 is stored as 45.
  ui->Card_grad_Stepper->setValue(45.9);
  controller->Card_Gradient_Changed(ui->Card_grad_Text);
  EXPECT_EQ(controller->Front_card_Prop.Card_grad_Stepper(), 45);
  EXPECT_EQ(ui->Card_grad_Text->text(), QStringLiteral("0")) << "the field is not the sender's to copy into";
  controller->Card_Gradient_Changed(ui->Card_grad_Stepper);
  EXPECT_EQ(ui->Card_grad_Text->text(), QStringLiteral("45"));
}

TEST_F(CardSettingsTest, TheBorderIsDrawnAsSetAndKeepsItsValuesWhileOff) {
  ASSERT_TRUE(ui->Card_border_chk->isChecked());
  chooseColour(ui->Card_bordr_clr, QColor(0, 0, 255));
  type(ui->Card_bor_Text, QStringLiteral("8"));
  QImage drawn = canvas();
  EXPECT_TRUE(near(drawn.pixelColor(1, 77), QColor(0, 0, 255), 8));
  EXPECT_TRUE(near(drawn.pixelColor(120, 2), QColor(0, 0, 255), 8));
  EXPECT_TRUE(pixeltest::isWhite(drawn.pixelColor(120, 77)));

  // The border off: nothing drawn, the colour and width kept.
  ui->Card_border_chk->click();
  EXPECT_FALSE(ui->Card_bordr_clr->isEnabled());
  chooseColour(ui->Card_bordr_clr, Qt::green);
  const Card_Property &front = controller->Front_card_Prop;
  EXPECT_FALSE(front.Card_border_chk());
  EXPECT_EQ(front.Card_bordr_clr(), QColor(0, 0, 255));
  EXPECT_EQ(front.Card_bor_Stepper(), 8);
  drawn = canvas();
  EXPECT_TRUE(pixeltest::isWhite(drawn.pixelColor(1, 77)));

  // A style combo with no selection leaves the stored style.
  ui->Card_border_chk->click();
  ui->Card_border_style->setCurrentIndex(3);
  EXPECT_EQ(front.Card_border_style(), QStringLiteral("DD"));
  ui->Card_border_style->setCurrentIndex(-1);
  EXPECT_EQ(front.Card_border_style(), QStringLiteral("DD"));
}

TEST_F(CardSettingsTest, FillRadiosSetTheStyleAndTheControlsOfTheStyle) {
  ui->Card_fill_chk->click();
  ui->Card_gradient_fill_rd->click();
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("G"));
  EXPECT_TRUE(ui->Card_grad_Stepper->isEnabled());
  EXPECT_FALSE(ui->Card_fill_clr->isEnabled());
  EXPECT_FALSE(ui->Card_Image_Browse_btn->isEnabled());
  chooseColour(ui->Card_fill_Grd_1_clr, Qt::black);
  chooseColour(ui->Card_fill_Grd_2_clr, Qt::white);
  // At angle 0 the gradient runs from the left (black) to the right (white).
  QImage drawn = canvas();
  EXPECT_LT(qGray(drawn.pixel(20, 77)), qGray(drawn.pixel(220, 77)));

  ui->Card_Style_fill_rd->click();
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("H"));
  EXPECT_EQ(controller->Front_card_Prop.Card_hatch_style(), QStringLiteral("Brick"));
  EXPECT_TRUE(ui->Card_hatch_style->isEnabled());
  EXPECT_FALSE(ui->Card_grad_Stepper->isEnabled());
  ui->Card_solid_fill_rd->click();
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("S"));
  EXPECT_TRUE(ui->Card_fill_clr->isEnabled());

  // The fill off: the box goes off; on the front the style still follows the radios.
  ui->Card_gradient_fill_rd->click();
  ui->Card_fill_chk->click();
  EXPECT_FALSE(ui->Card_gradient_fill_rd->isEnabled());
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("G"));
  // Turned on again, the radios show the style the side stored.
  ui->Card_fill_chk->click();
  EXPECT_TRUE(ui->Card_gradient_fill_rd->isChecked());
  EXPECT_TRUE(ui->Card_grad_Stepper->isEnabled());
}

TEST_F(CardSettingsTest, TheBackWithItsFillOffStoresASolidStyle) {
  Card_Front_Or_Back = 1;
  controller->Show_RHS_Properties(nullptr);
  ui->Card_fill_chk->click();
  ui->Card_gradient_fill_rd->click();
  ASSERT_EQ(controller->Back_card_Prop.Card_fill_style(), QStringLiteral("G"));
  ui->Card_fill_chk->click();
  EXPECT_EQ(controller->Back_card_Prop.Card_fill_style(), QStringLiteral("S"));
  EXPECT_EQ(controller->Back_card_Prop.Card_Side_Name(), QStringLiteral("B"));
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("S")) << "the front was not touched";
  EXPECT_FALSE(controller->Front_card_Prop.Card_fill_chk());
}

TEST_F(CardSettingsTest, CardWideValuesAreWrittenIntoTheCurrentSide) {
  type(ui->card_name, QStringLiteral("   "));
  const Card_Property &front = controller->Front_card_Prop;
  EXPECT_EQ(front.Card_Name(), QStringLiteral("Untitled"));
  type(ui->card_name, QStringLiteral("  To Alex  "));
  EXPECT_EQ(front.Card_Name(), QStringLiteral("To Alex"));

  ui->Sides_ComboBox->setCurrentIndex(1);
  controller->Update_Card_Graphics();
  EXPECT_EQ(front.Card_Side(), QStringLiteral("1"));
  EXPECT_EQ(front.Card_Side_Name(), QStringLiteral("F"));
  EXPECT_EQ(front.Card_Create_Mode(), QStringLiteral("W"));
  EXPECT_EQ(front.Card_Preset(), QStringLiteral("Horizontal"));
  EXPECT_EQ(front.Card_Category(), QStringLiteral("PVC Card"));

  // The size list's selected row is the sub-category; no row gives "" and -1.
  controller->Create_List(QStringLiteral("CR80-Credit Card Size"));
  controller->Create_List(QStringLiteral("CR79"));
  controller->reloadColList();
  controller->Mark_List_New_Selection(1);
  controller->Update_Card_Graphics();
  EXPECT_EQ(front.Card_Sub_Category(), QStringLiteral("CR79"));
  EXPECT_EQ(front.Card_Cat_index(), 1);
  ui->ColList->selectionModel()->clearSelection();
  controller->Update_Card_Graphics();
  EXPECT_EQ(front.Card_Sub_Category(), QString());
  EXPECT_EQ(front.Card_Cat_index(), -1);

  // While the panel is being filled, nothing is written.
  Not_Draw_Only_Prop_Change = 1;
  type(ui->card_name, QStringLiteral("Not now"));
  Not_Draw_Only_Prop_Change = 0;
  EXPECT_EQ(front.Card_Name(), QStringLiteral("To Alex"));
}

TEST_F(CardSettingsTest, TheShapeMatrixShapesTheCardOnTheCanvas) {
  ui->Card_fill_chk->click();
  chooseColour(ui->Card_fill_clr, QColor(0, 160, 0));
  ASSERT_TRUE(near(canvas().pixelColor(5, 5), QColor(0, 160, 0), 4));

  ui->matrix_card_shape->cellAtRow(2)->click();
  EXPECT_EQ(Card_Shape.load(), 2);
  EXPECT_EQ(controller->Front_card_Prop.Card_Shape(), QStringLiteral("E"));
  const QImage oval = canvas();
  EXPECT_TRUE(near(oval.pixelColor(121, 77), QColor(0, 160, 0), 4));
  EXPECT_FALSE(near(oval.pixelColor(6, 6), QColor(0, 160, 0), 30)) << "the corner lies outside the oval";

  ui->matrix_card_shape->cellAtRow(1)->click();
  EXPECT_EQ(controller->Front_card_Prop.Card_Shape(), QStringLiteral("RR"));
  ui->matrix_card_shape->cellAtRow(0)->click();
  EXPECT_EQ(controller->Front_card_Prop.Card_Shape(), QStringLiteral("R"));
  EXPECT_TRUE(near(canvas().pixelColor(5, 5), QColor(0, 160, 0), 4));
}

TEST_F(CardSettingsTest, TheSizeFieldsResizeEveryCanvasOnlyThroughApplyOrTheSteppers) {
  // Typing a width alone changes nothing.
  type(ui->width_Text, QStringLiteral("100"));
  EXPECT_EQ(controller->frontView()->canvasSize(), QSizeF(243, 154));

  type(ui->height_Text, QStringLiteral("50"));
  ui->Apply_Size_btn->click();
  const QSizeF expected(float(100 * 2.834645669291), float(50 * 2.834645669291));
  for (QLNGraphicView *view : {controller->frontView(), controller->backView(), controller->tempView()})
    EXPECT_EQ(view->canvasSize(), expected);
  EXPECT_EQ(controller->Front_card_Prop.Card_Size(), expected);
  EXPECT_EQ(canvas().size(), QSize(qCeil(expected.width()), qCeil(expected.height())));

  // A click on the height stepper shows its value in the field and applies it at once.
  ui->height_Stepper->step(+1);
  EXPECT_EQ(ui->height_Text->text(), QStringLiteral("51"));
  EXPECT_FLOAT_EQ(float(controller->frontView()->canvasSize().height()), float(51 * 2.834645669291));
  EXPECT_NEAR(QLNWindowController::MM_to_Points_Convert(85.598f), 242.64, 0.005);
  EXPECT_FALSE(document->undoManager()->canUndo());
}

TEST_F(CardSettingsTest, TheContentColourAndFontReachTheTextsOnlyWhenChanged) {
  auto first = std::make_shared<QLNText>();
  first->txt_clr = QColor(200, 0, 0);
  first->text_ctrl_font = FontSpec(QStringLiteral("Helvetica"), 10);
  auto second = std::make_shared<QLNText>();
  second->txt_clr = QColor(0, 200, 0);
  auto shapeObject = std::make_shared<Shape_Control>();
  shapeObject->txt_clr = QColor(1, 1, 1);
  document->insertIntoList(QLNDocumentGraphicsKey, {first, second, shapeObject}, {0, 1, 2});
  const int undoSteps = document->undoManager()->undoCount();

  // The colour the card tabs were filled with, chosen again: the texts keep their own.
  chooseColour(ui->All_Text_clr, ui->All_Text_clr_COPY->color());
  EXPECT_EQ(first->txt_clr, QColor(200, 0, 0));
  EXPECT_EQ(second->txt_clr, QColor(0, 200, 0));
  // A new colour: every text takes it, the other kinds do not.
  chooseColour(ui->All_Text_clr, QColor(10, 20, 200));
  EXPECT_EQ(first->txt_clr, QColor(10, 20, 200));
  EXPECT_EQ(second->txt_clr, QColor(10, 20, 200));
  EXPECT_EQ(shapeObject->txt_clr, QColor(1, 1, 1));
  EXPECT_EQ(first->text_ctrl_font, FontSpec(QStringLiteral("Helvetica"), 10)) << "the font did not change";
  EXPECT_EQ(controller->Front_card_Prop.Card_Content_clr(), QColor(10, 20, 200));

  // The font panel: the chosen font becomes the content font and every text's.
  QFont chosen(QStringLiteral("DejaVu Sans"));
  chosen.setPointSizeF(20);
  scripted.answerFont(chosen);
  ui->Content_Font_btn->click();
  const FontSpec content = controller->All_Text_font();
  EXPECT_EQ(content.pointSize(), 20.0);
  EXPECT_EQ(resolvedFamily(content.postScriptName()), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(ui->All_Text_font_value->text(), QStringLiteral("%1 ( 20.00 )").arg(content.postScriptName()));
  EXPECT_EQ(first->text_ctrl_font, content);
  EXPECT_EQ(second->text_ctrl_font, content);
  EXPECT_EQ(controller->Front_card_Prop.Card_Content_font(), content);
  // The font panel cancelled: nothing changes.
  scripted.answerFont(std::nullopt);
  ui->Content_Font_btn->click();
  EXPECT_EQ(controller->All_Text_font(), content);
  // None of it is undoable: the texts' fields were written directly.
  EXPECT_EQ(document->undoManager()->undoCount(), undoSteps);
}

TEST_F(CardSettingsTest, ABackgroundPictureIsReferencedByItsPathAndDrawn) {
  const QString picture = root.path() + QStringLiteral("/sea.png");
  QImage blue(40, 30, QImage::Format_ARGB32);
  blue.fill(QColor(0, 60, 220));
  ASSERT_TRUE(blue.save(picture, "PNG"));

  // Cancelled: nothing changes.
  scripted.answerOpenFile(QString());
  ui->Card_fill_chk->click();
  ui->Card_Image_fill_rd->click();
  ui->Card_Image_Browse_btn->click();
  EXPECT_TRUE(controller->Front_card_Prop.Card_BG_Image_Path().isEmpty());

  scripted.answerOpenFile(picture);
  ui->Card_Image_Browse_btn->click();
  const Card_Property &front = controller->Front_card_Prop;
  EXPECT_TRUE(front.Card_fill_chk());
  EXPECT_EQ(front.Card_fill_style(), QStringLiteral("I"));
  EXPECT_EQ(front.Card_BG_Image_Path(), picture);
  EXPECT_EQ(front.Card_BG_Image().pixels.size(), QSize(40, 30));
  EXPECT_EQ(ui->Card_Image_path->text(), picture);
  EXPECT_TRUE(ui->Card_Image_fill_rd->isChecked());
  // Stretched over the card at full opacity.
  const QImage drawn = canvas();
  EXPECT_TRUE(near(drawn.pixelColor(120, 77), QColor(0, 60, 220), 4));
  EXPECT_TRUE(near(drawn.pixelColor(230, 140), QColor(0, 60, 220), 4));
  const QStringList asked = [&] {
    QStringList titles;
    for (const auto &request : scripted.requests())
      if (request.kind == ScriptedUi::Kind::OpenFile)
        titles << request.detail;
    return titles;
  }();
  ASSERT_EQ(asked.size(), 2);
  EXPECT_EQ(asked.at(1), QStringLiteral("jpg,jpeg,jpe,jfif,gif,bmp,png,tif,tiff"));

  // The back side takes its own picture.
  Card_Front_Or_Back = 1;
  controller->Show_RHS_Properties(nullptr);
  ui->Card_fill_chk->click();
  ui->Card_Image_fill_rd->click();
  scripted.answerOpenFile(picture);
  ui->Card_Image_Browse_btn->click();
  EXPECT_EQ(controller->Back_card_Prop.Card_BG_Image_Path(), picture);
  EXPECT_EQ(controller->Back_card_Prop.Card_fill_style(), QStringLiteral("I"));
}

TEST_F(CardSettingsTest, APictureThatCannotBeReadIsRefusedWithAMessageAndChangesNothing) {
  const QString good = root.path() + QStringLiteral("/good.png");
  QImage image(8, 8, QImage::Format_ARGB32);
  image.fill(Qt::yellow);
  ASSERT_TRUE(image.save(good, "PNG"));
  ui->Card_fill_chk->click();
  ui->Card_Image_fill_rd->click();
  scripted.answerOpenFile(good);
  ui->Card_Image_Browse_btn->click();
  ASSERT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), good);

  const QString broken = root.path() + QStringLiteral("/broken.png");
  QFile file(broken);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("this is not a picture");
  file.close();
  scripted.answerOpenFile(broken);
  scripted.expectAlert();
  ui->Card_Image_Browse_btn->click();

  ASSERT_EQ(scripted.alertTexts().size(), 1);
  // The message names the file and why it cannot be read.
  const QString message = scripted.alertTexts().first().trimmed();
  EXPECT_TRUE(message.startsWith(QStringLiteral("The picture \"%1\" cannot be used as the card's background: ").arg(broken)))
      << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("Unsupported image format"))) << message.toStdString();
  const Card_Property &front = controller->Front_card_Prop;
  EXPECT_EQ(front.Card_BG_Image_Path(), good);
  EXPECT_EQ(front.Card_BG_Image().pixels.size(), QSize(8, 8));
  EXPECT_EQ(ui->Card_Image_path->text(), good);
  EXPECT_TRUE(near(canvas().pixelColor(120, 77), QColor(Qt::yellow), 4));
}
