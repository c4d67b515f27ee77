// The object tabs' actions as a user works them: the shape, line, text, image and
// signature tabs change every selected object of the current side (locked ones too),
// write colours and widths only while their border or fill is on, keep the text of
// several selected objects, edit the text itself (placeholder, length limit, date and
// time, font, built-in titles), and adjust pictures (sliders, reset, open panels).

#include "tests/mainwindow/main_window_fixture.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/Image_Library.h"
#include "canvas/QLNGraphicView.h"

#include "core/QLNDocument.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

namespace {

class ObjectPropertiesTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    shipPattern(QStringLiteral("Brick.png"));
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ui = controller->ui;
    document = session->document();
    ASSERT_TRUE(picture.isValid());
  }

  // The objects on the front side (without undo), all of them selected, the first shown
  // in the panel.
  void place(const QLNGraphicList &objects) {
    document->Enable_Disable_Undo_Registraion(0);
    QList<int> indexes;
    for (int index = 0; index < objects.size(); ++index)
      indexes << index;
    document->insertIntoList(QLNDocumentGraphicsKey, objects, indexes);
    document->Enable_Disable_Undo_Registraion(1);
    controller->_graphicsController.setSelectionIndexes(QLNIndexSet(indexes.begin(), indexes.end()));
    // The first is the current object, as a click on it makes it.
    controller->frontView()->setSelected_Graphic(objects.first());
    controller->Show_RHS_Properties(objects.first());
  }

  static std::shared_ptr<Shape_Control> shape(bool locked = false) {
    auto object = std::make_shared<Shape_Control>();
    object->setBounds(QRectF(20, 20, 60, 40));
    object->Set_Shape_Type(QStringLiteral("R"));
    object->ctrl_is_locked = locked;
    object->_isDrawingFill = false;
    object->_isDrawingStroke = false;
    object->_strokeColor = Qt::green;
    object->_strokeWidth = 7;
    return object;
  }
  static std::shared_ptr<QLNText> text(const QString &contents) {
    auto object = std::make_shared<QLNText>();
    object->setBounds(QRectF(10, 10, 120, 40));
    object->Text_contents()->string = contents;
    object->_isDrawingStroke = false;
    object->_isDrawingFill = false;
    return object;
  }
  std::shared_ptr<QLNImage> image() {
    auto object = std::make_shared<QLNImage>();
    object->setBounds(QRectF(10, 10, 40, 40));
    object->setFilePath(pngFile(QStringLiteral("first.png"), Qt::red, QSize(10, 10)));
    return object;
  }

  // A PNG of one colour in the test's own folder.
  QString pngFile(const QString &name, const QColor &colour, const QSize &size) {
    QImage content(size, QImage::Format_ARGB32);
    content.fill(colour);
    const QString path = picture.filePath(name);
    EXPECT_TRUE(content.save(path, "PNG"));
    return path;
  }

  void chooseColour(ColorWell *well, const QColor &colour) {
    scripted.answerColor(colour);
    ASSERT_TRUE(well->chooseColor());
  }
  static void type(QLineEdit *field, const QString &value) {
    field->setText(value);
    emit field->editingFinished();
  }
  // The user moves the slider to `value`.
  static void slide(ValueSlider *slider, double value) {
    slider->setDoubleValue(value);
    emit slider->doubleValueChanged(slider->doubleValue());
  }
  // Text typed at the editor's cursor, as the keyboard does it.
  void typeInEditor(const QString &typed) { ui->Text_value_Edit->textCursor().insertText(typed); }

  QTemporaryDir picture;
  QLNWindowController *controller = nullptr;
  DrawWindow *ui = nullptr;
  QLNDocument *document = nullptr;
};

}  // namespace

// ---- Shapes ----------------------------------------------------------------------------------------

TEST_F(ObjectPropertiesTest, TheShapeTabChangesEverySelectedShapeLockedOrNotAndRecordsNoUndo) {
  const auto free = shape();
  const auto locked = shape(true);
  place({free, locked});

  ui->Shape_fill_chk->click();
  chooseColour(ui->shape_fill_clr, Qt::blue);
  type(ui->shape_alpha_Text, QStringLiteral("40"));
  for (const auto &object : {free, locked}) {
    EXPECT_TRUE(object->_isDrawingFill);
    EXPECT_EQ(object->_fillColor, QColor(Qt::blue));
    EXPECT_FLOAT_EQ(object->alpha_val, 0.4f);
    EXPECT_EQ(object->_fill_type, QStringLiteral("S"));
  }
  EXPECT_FALSE(document->undoManager()->canUndo());

  // The pattern radio counts while the fill is on; with the fill off the type is solid
  // whatever the radios say.
  ui->Shape_Style_fill_rd->click();
  EXPECT_EQ(locked->_fill_type, QStringLiteral("H"));
  EXPECT_TRUE(ui->shape_hatch_style->isEnabled());
  EXPECT_FALSE(ui->shape_fill_clr->isEnabled());
  ui->Shape_fill_chk->click();
  EXPECT_FALSE(free->_isDrawingFill);
  EXPECT_EQ(free->_fill_type, QStringLiteral("S"));
  EXPECT_EQ(free->_fillColor, QColor(Qt::blue)) << "the fill colour is kept while the fill is off";
  EXPECT_FALSE(ui->Shape_solid_fill_rd->isEnabled()) << "the fill box's controls follow its check box";

  ui->Shape_fill_chk->click();
  ui->Shape_gradient_fill_rd->click();
  EXPECT_EQ(free->_fill_type, QStringLiteral("G"));
  EXPECT_TRUE(ui->shape_grad_Stepper->isEnabled());
  EXPECT_FALSE(ui->shape_hatch_style->isEnabled());
}

TEST_F(ObjectPropertiesTest, TurningTheBorderOffKeepsItsColourAndWidth) {
  const auto object = shape();
  object->_isDrawingStroke = true;
  place({object});
  ASSERT_TRUE(ui->Shape_border_chk->isChecked());

  ui->Shape_border_chk->click();
  EXPECT_FALSE(object->_isDrawingStroke);
  EXPECT_EQ(object->_strokeColor, QColor(Qt::green));
  EXPECT_EQ(object->_strokeWidth, 7.0);
  EXPECT_FALSE(ui->shape_bordr_clr->isEnabled()) << "the border box's controls follow its check box";

  // A stepper click shows its value beside it and reaches the shape once the border
  // is on again.
  ui->Shape_border_chk->click();
  ui->shape_bor_Stepper->step(+1);
  EXPECT_EQ(ui->shape_bor_Text->text(), QStringLiteral("8"));
  EXPECT_TRUE(object->_isDrawingStroke);
  EXPECT_EQ(object->_strokeWidth, 8.0);
  ui->shape_border_style->setCurrentIndex(2);
  EXPECT_EQ(object->_stroke_border_type, QStringLiteral("DO"));
}

TEST_F(ObjectPropertiesTest, NothingSelectedChangesNothingAndTheFillingOfThePanelWritesNothing) {
  const auto object = shape();
  place({object});
  const double angleBefore = object->_fill_grad_angle;
  controller->_graphicsController.setSelectionIndexes({});
  ui->shape_grad_Stepper->step(+1);
  EXPECT_EQ(object->_fill_grad_angle, angleBefore);

  // Filling the panel from another object writes nothing back into it.
  const auto other = shape();
  other->_isDrawingFill = true;
  other->_fillColor = Qt::yellow;
  controller->_graphicsController.setSelectionIndexes({0});
  controller->Show_RHS_Properties(other);
  EXPECT_FALSE(object->_isDrawingFill);
}

// ---- Lines -------------------------------------------------------------------------------------------

TEST_F(ObjectPropertiesTest, TheLineTabWritesColourWidthOpacityAndNoSelectionInACombosAsZero) {
  auto line = std::make_shared<QLNLine>();
  line->setBounds(QRectF(0, 0, 50, 0));
  line->_line_cap_style = 2;
  place({line});

  chooseColour(ui->Line_clr, Qt::magenta);
  ui->Line_Wdt_Stepper->step(+1);
  type(ui->Line_alpha_Text, QStringLiteral("25"));
  EXPECT_TRUE(line->_isDrawingStroke);
  EXPECT_EQ(line->_strokeColor, QColor(Qt::magenta));
  EXPECT_EQ(line->_strokeWidth, double(ui->Line_Wdt_Stepper->intValue()));
  EXPECT_FLOAT_EQ(line->alpha_val_stroke, 0.25f);

  ui->Line_cap_style->setCurrentIndex(-1);
  EXPECT_EQ(line->_line_cap_style, 0);
  ui->Line_ori_style->setCurrentIndex(3);
  EXPECT_EQ(line->_line_ori, 3);
}

// ---- Texts ---------------------------------------------------------------------------------------------

TEST_F(ObjectPropertiesTest, ATextAndAShapeTogetherTakeTheBorderButNeitherTextIsReplaced) {
  const auto first = text(QStringLiteral("Dear Sam"));
  const auto box = shape();
  place({first, box});
  ui->Text_border_chk->click();
  chooseColour(ui->Text_bordr_clr, Qt::red);
  EXPECT_TRUE(first->_isDrawingStroke);
  EXPECT_TRUE(box->_isDrawingStroke);
  EXPECT_EQ(box->_strokeColor, QColor(Qt::red));
  EXPECT_EQ(first->Text_contents()->string, QStringLiteral("Dear Sam"));

  // Typing while both are selected changes neither text.
  ui->Text_value_Edit->moveCursor(QTextCursor::End);
  typeInEditor(QStringLiteral(", sorry"));
  EXPECT_EQ(first->Text_contents()->string, QStringLiteral("Dear Sam"));

  // One selected text takes the editor's text.
  controller->_graphicsController.setSelectionIndexes({0});
  typeInEditor(QStringLiteral("!"));
  EXPECT_EQ(first->Text_contents()->string, QStringLiteral("Dear Sam, sorry!"));
}

TEST_F(ObjectPropertiesTest, ThePlaceholderGoesAtTheFirstKeystrokeButNotWhenThePanelShowsIt) {
  const auto object = text(QStringLiteral("Text here"));
  place({object});
  // The panel shows the placeholder as it is, all of it selected.
  EXPECT_EQ(ui->Text_value_Edit->toPlainText(), QStringLiteral("Text here"));
  EXPECT_EQ(object->Text_contents()->string, QStringLiteral("Text here"));

  ui->Text_value_Edit->moveCursor(QTextCursor::End);
  typeInEditor(QStringLiteral("!"));
  EXPECT_EQ(ui->Text_value_Edit->toPlainText(), QStringLiteral("!"));
  EXPECT_EQ(object->Text_contents()->string, QStringLiteral("!"));
  // Typing goes on after what was typed.
  typeInEditor(QStringLiteral("?"));
  EXPECT_EQ(object->Text_contents()->string, QStringLiteral("!?"));
}

TEST_F(ObjectPropertiesTest, ALongPasteIsCutTo250UnitsAndNeverHalfACharacter) {
  const auto object = text(QStringLiteral("x"));
  place({object});
  ui->Text_value_Edit->selectAll();
  typeInEditor(QString(300, QLatin1Char('a')));
  EXPECT_EQ(ui->Text_value_Edit->toPlainText().size(), 250);
  EXPECT_EQ(object->Text_contents()->string, QString(250, QLatin1Char('a')));

  // A character of two units standing across the limit is left out whole.
  const QString heart = QString::fromUtf8("\xF0\x9F\x92\x96");  // outside the basic plane
  ui->Text_value_Edit->selectAll();
  typeInEditor(QString(249, QLatin1Char('b')) + heart + QStringLiteral("cc"));
  const QString kept = object->Text_contents()->string;
  EXPECT_EQ(kept, QString(249, QLatin1Char('b')));
  EXPECT_EQ(ui->Text_value_Edit->toPlainText(), kept);
  // Ending just inside the limit it stays whole.
  ui->Text_value_Edit->selectAll();
  typeInEditor(QString(248, QLatin1Char('b')) + heart + QStringLiteral("cc"));
  EXPECT_EQ(object->Text_contents()->string, QString(248, QLatin1Char('b')) + heart);
}

TEST_F(ObjectPropertiesTest, DateAndTimeGoInAtTheCursorOnlyWithAFormat) {
  const auto object = text(QStringLiteral("Sorry for "));
  place({object});
  ui->Text_value_Edit->moveCursor(QTextCursor::End);

  ui->Text_Date_style->setCurrentIndex(-1);
  scripted.expectAlert();
  ui->Text_Insert_Date_btn->click();
  EXPECT_EQ(scripted.alertTexts().value(0).trimmed(), QStringLiteral("Please select Date format."));
  EXPECT_EQ(object->Text_contents()->string, QStringLiteral("Sorry for "));

  ui->Text_Time_style->setCurrentIndex(-1);
  scripted.expectAlert();
  ui->Text_Insert_Time_btn->click();
  EXPECT_EQ(scripted.alertTexts().value(1).trimmed(), QStringLiteral("Please select Time format."));

  ASSERT_GT(ui->Text_Date_style->count(), 0);
  ui->Text_Date_style->setCurrentIndex(0);
  const QString today = QLNWindowController::Get_date_Value(ui->Text_Date_style->currentText());
  ui->Text_Insert_Date_btn->click();
  EXPECT_EQ(object->Text_contents()->string, QStringLiteral("Sorry for ") + today);
}

TEST_F(ObjectPropertiesTest, TheFontPanelsChoiceReachesTheTextAndItsField) {
  const auto object = text(QStringLiteral("Sorry"));
  place({object});
  QFont chosen(QStringLiteral("DejaVu Sans"));
  chosen.setPointSizeF(21);
  scripted.answerFont(chosen);
  ui->Text_Font_btn->click();
  ASSERT_TRUE(object->text_ctrl_font.has_value());
  EXPECT_DOUBLE_EQ(object->text_ctrl_font->pointSize(), 21.0);
  EXPECT_TRUE(ui->Text_font_value->text().endsWith(QStringLiteral("( 21.00 )"))) << ui->Text_font_value->text().toStdString();

  // A cancelled panel keeps the font.
  scripted.answerFont(std::nullopt);
  ui->Text_Font_btn->click();
  EXPECT_DOUBLE_EQ(object->text_ctrl_font->pointSize(), 21.0);
}

TEST_F(ObjectPropertiesTest, TheTemplateButtonPutsThePickedTitleIntoTheTitleOnly) {
  const auto title = text(QStringLiteral("Old title"));
  title->control_ID = QStringLiteral("PARTY_TITLE");
  // Without a picker the button is not offered.
  place({title});
  EXPECT_TRUE(ui->insert_template_btn->isHidden());

  QString askedFor;
  int answer = 0;
  QLNWindowController::hooks().runTemplatePicker = [&](const QString &mode) {
    askedFor = mode;
    Template_Msg_Val = answer == 1 ? QStringLiteral("I am truly sorry") : QString();
    return answer;
  };
  controller->Show_RHS_Properties(nullptr);
  controller->_graphicsController.setSelectionIndexes({0});
  controller->Show_RHS_Properties(title);
  ASSERT_FALSE(ui->insert_template_btn->isHidden());
  EXPECT_EQ(ui->insert_template_btn->text(), QStringLiteral("Use Template Title"));

  ui->insert_template_btn->click();  // cancelled
  EXPECT_EQ(askedFor, QStringLiteral("T"));
  EXPECT_EQ(title->Text_contents()->string, QStringLiteral("Old title"));
  answer = 1;
  ui->insert_template_btn->click();
  EXPECT_EQ(title->Text_contents()->string, QStringLiteral("I am truly sorry"));
  Template_Msg_Val.clear();
}

// ---- Images and signatures ------------------------------------------------------------------------------

TEST_F(ObjectPropertiesTest, SlidersWriteTheirValuesAsShownAndTheLabelFollowsEvenWithNothingSelected) {
  const auto first = image();
  const auto second = image();
  place({first, second});
  slide(ui->Trsp_slidr, 35);
  EXPECT_EQ(ui->Trsp_slidr_val->text(), QStringLiteral("35"));
  EXPECT_FLOAT_EQ(first->img_trnsp_val, 35.0f) << "the opacity is kept in per cent";
  ui->Image_Gray_Scale_chk->click();
  EXPECT_TRUE(first->gray_Scale);
  EXPECT_TRUE(second->gray_Scale);
  slide(ui->Con_slidr, 2);
  EXPECT_FLOAT_EQ(second->con_val, 2.0f);

  controller->_graphicsController.setSelectionIndexes({});
  slide(ui->Hue_slidr, 1.5);
  EXPECT_EQ(ui->Hue_slidr_val->text(), QStringLiteral("1.5"));
  EXPECT_FLOAT_EQ(first->hue_val, 0.0f);
}

TEST_F(ObjectPropertiesTest, TheResetAsksFirstAndLeavesTheBorderAlone) {
  const auto object = image();
  object->_isDrawingStroke = true;
  object->_strokeWidth = 4;
  place({object});
  slide(ui->Sat_slidr, 0.5);
  slide(ui->blr_slidr, 3);
  ui->Image_Sepia_chk->click();
  ui->Image_FIH_chk->click();

  scripted.answerYesNo(false);
  ui->Image_reset_btn->click();
  EXPECT_EQ(scripted.alertTexts().value(0).trimmed(), QStringLiteral("Are you sure you want to continue?"));
  EXPECT_FLOAT_EQ(object->sat_val, 0.5f);
  EXPECT_TRUE(object->Sepia);

  scripted.answerYesNo(true);
  ui->Image_reset_btn->click();
  const struct {
    ValueSlider *slider;
    QLabel *label;
    double neutral;
  } expected[] = {{ui->Rotate_slidr, ui->Rotate_slidr_val, 0}, {ui->Trsp_slidr, ui->Trsp_slidr_val, 100},
                  {ui->Hue_slidr, ui->Hue_slidr_val, 0},       {ui->Sat_slidr, ui->Sat_slidr_val, 1},
                  {ui->Brt_slidr, ui->Brt_slidr_val, 0},       {ui->Con_slidr, ui->Con_slidr_val, 1},
                  {ui->shrp_slidr, ui->shrp_slidr_val, 0},     {ui->ev_slidr, ui->ev_slidr_val, 0},
                  {ui->blr_slidr, ui->blr_slidr_val, 0}};
  for (const auto &entry : expected) {
    EXPECT_DOUBLE_EQ(entry.slider->doubleValue(), entry.neutral) << entry.slider->objectName().toStdString();
    EXPECT_EQ(entry.label->text(), fieldNumber(entry.neutral));
  }
  EXPECT_FLOAT_EQ(object->sat_val, 1.0f);
  EXPECT_FLOAT_EQ(object->img_trnsp_val, 100.0f);
  EXPECT_FLOAT_EQ(object->blr_val, 0.0f);
  EXPECT_FALSE(object->Sepia);
  EXPECT_FALSE(object->_isFlippedHorizontally);
  EXPECT_TRUE(object->_isDrawingStroke);
  EXPECT_EQ(object->_strokeWidth, 4.0);
}

TEST_F(ObjectPropertiesTest, ANewImageObjectStartsTheAdjustmentsFromNeutral) {
  slide(ui->ev_slidr, 2);
  ui->Image_Invert_chk->setChecked(true);
  QLNImage made;
  made.initWithPath(QPointF(30, 30), pngFile(QStringLiteral("new.png"), Qt::blue, QSize(4, 4)));
  EXPECT_DOUBLE_EQ(ui->ev_slidr->doubleValue(), 0.0);
  EXPECT_FALSE(ui->Image_Invert_chk->isChecked());
}

TEST_F(ObjectPropertiesTest, ThePictureButtonLoadsTheCurrentImageAndACancelChangesNothing) {
  const auto object = image();
  place({object});
  const QString firstPath = object->_file_path;

  Library_Selected_Image = QStringLiteral("/left/over.png");
  scripted.answerOpenFile(QString());
  ui->Manual_Image_Browse_btn->click();
  EXPECT_TRUE(Library_Selected_Image.isEmpty());
  EXPECT_EQ(object->_file_path, firstPath);
  EXPECT_EQ(object->_contents.pixels.pixel(0, 0), QColor(Qt::red).rgba());

  const QString second = pngFile(QStringLiteral("second.png"), Qt::blue, QSize(6, 6));
  scripted.answerOpenFile(second);
  ui->Manual_Image_Browse_btn->click();
  EXPECT_EQ(object->_file_path, second);
  EXPECT_EQ(ui->Manual_image_path->text(), second);
  EXPECT_EQ(object->_contents.pixels.pixel(0, 0), QColor(Qt::blue).rgba());
}

TEST_F(ObjectPropertiesTest, TheSignaturePanelOffersOnlyPngAndItsChoiceReachesTheSignature) {
  auto signature = std::make_shared<QLNSignature>();
  signature->initWithPosition(QPointF(40, 40), PointImage(), QStringLiteral("S"));
  place({signature});
  const QString samplePath = signature->_file_path;

  scripted.answerOpenFile(QString());
  ui->Sign_Browse_btn->click();
  EXPECT_EQ(signature->_file_path, samplePath);
  const auto requests = scripted.requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().detail, QStringLiteral("png,PNG"));

  const QString chosen = pngFile(QStringLiteral("sign.png"), Qt::black, QSize(8, 3));
  scripted.answerOpenFile(chosen);
  ui->Sign_Browse_btn->click();
  EXPECT_EQ(ui->Sign_image_path->text(), chosen);
  EXPECT_EQ(signature->_file_path, chosen);
}

// Several pictures adjusted together each keep their own file: the path the panel shows
// belongs to one of them, and the design saved and opened again shows both pictures.
TEST_F(ObjectPropertiesTest, AdjustingSeveralPicturesTogetherKeepsEachItsOwnFile) {
  const auto redImage = image();
  const auto blueImage = std::make_shared<QLNImage>();
  blueImage->setBounds(QRectF(60, 10, 40, 40));
  const QString bluePath = pngFile(QStringLiteral("blue.png"), Qt::blue, QSize(10, 10));
  blueImage->setFilePath(bluePath);
  place({redImage, blueImage});
  const QString redPath = redImage->_file_path;
  slide(ui->Brt_slidr, 0.25);
  EXPECT_EQ(redImage->_file_path, redPath);
  EXPECT_EQ(blueImage->_file_path, bluePath);
  EXPECT_FLOAT_EQ(blueImage->brt_val, 0.25f);

  // Two signatures of their own files, the border turned on.
  QLNGraphicList signatures;
  QStringList signaturePaths;
  for (const QColor &ink : {QColor(Qt::black), QColor(Qt::darkGreen)}) {
    auto signature = std::make_shared<QLNSignature>();
    signature->initWithPosition(QPointF(40, 100), PointImage(), QStringLiteral("S"));
    signaturePaths << pngFile(QStringLiteral("sign%1.png").arg(signaturePaths.size()), ink, QSize(8, 3));
    signature->setFilePath(signaturePaths.last());
    signature->_isDrawingStroke = false;
    signatures << signature;
  }
  place(signatures);
  ui->Sign_border_chk->click();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(signatures[i]->_file_path, signaturePaths[i]) << "signature " << i;
    EXPECT_TRUE(signatures[i]->_isDrawingStroke) << "signature " << i;
  }

  const QString design = picture.filePath(QStringLiteral("Pictures.dcard"));
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  ASSERT_EQ(controller->Read_and_load_design_Log(design, QStringLiteral("L")), 1);
  QMap<QString, QRgb> pictures;   // file -> the colour its object shows
  for (const QLNGraphicPtr &object : document->graphics()) {
    if (const auto opened = std::dynamic_pointer_cast<QLNImage>(object)) {
      EXPECT_FLOAT_EQ(opened->brt_val, 0.25f);
      pictures.insert(opened->_file_path, opened->_contents.pixels.pixel(0, 0));
    } else if (const auto sign = std::dynamic_pointer_cast<QLNSignature>(object)) {
      pictures.insert(sign->_file_path, 0);
    }
  }
  EXPECT_EQ(pictures.value(redPath), QColor(Qt::red).rgba());
  EXPECT_EQ(pictures.value(bluePath), QColor(Qt::blue).rgba());
  EXPECT_EQ(pictures.keys(), QStringList({bluePath, redPath, signaturePaths[0], signaturePaths[1]}));
}

// ---- The picture library ------------------------------------------------------------------------------------

namespace {

// The library's answer: the first picture shown selected and confirmed.
int chooseFirstPicture(QDialog *) {
  Image_Library *library = Image_Library::defaultInstance();
  library->imageBrowser->setSelectionIndexes({0});
  library->OK_Clicked();
  return ModalOK;
}

}  // namespace

TEST_F(ObjectPropertiesTest, TheLibraryButtonGivesTheCurrentImageItsPictureAndACloseChangesNothing) {
  const QString folder = Resource_Path + QStringLiteral("/LibraryImage/flowers");
  ASSERT_TRUE(QDir().mkpath(folder));
  QImage green(5, 5, QImage::Format_ARGB32);
  green.fill(Qt::green);
  ASSERT_TRUE(green.save(folder + QStringLiteral("/Daisy.PNG"), "PNG"));
  const auto object = image();
  place({object});
  const QString firstPath = object->_file_path;

  lib_window_sel_file = QStringLiteral("/chosen/before.png");
  scripted.answerModal(ModalCancel);
  ui->Manual_Library_Browse_btn->click();
  EXPECT_EQ(lib_window_sel_file, QStringLiteral("/chosen/before.png"));
  EXPECT_EQ(object->_file_path, firstPath);
  const auto requests = scripted.requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().detail, QStringLiteral("Image Library"));

  scripted.answerModal(chooseFirstPicture);
  ui->Manual_Library_Browse_btn->click();
  const QString daisy = folder + QStringLiteral("/Daisy.PNG");
  EXPECT_EQ(lib_window_sel_file, daisy);
  EXPECT_EQ(Library_Selected_Image, daisy);
  EXPECT_EQ(ui->Manual_image_path->text(), daisy);
  EXPECT_EQ(object->_file_path, daisy);
  EXPECT_EQ(object->_contents.pixels.pixel(0, 0), QColor(Qt::green).rgba());
  lib_window_sel_file.clear();
}

TEST_F(ObjectPropertiesTest, TheBackgroundLibraryDressesTheSideBeingEdited) {
  const QString folder = Resource_Path + QStringLiteral("/Background");
  ASSERT_TRUE(QDir().mkpath(folder));
  QImage sky(8, 4, QImage::Format_ARGB32);
  sky.fill(Qt::cyan);
  ASSERT_TRUE(sky.save(folder + QStringLiteral("/Sky.jpg"), "JPG"));
  Card_Front_Or_Back = 1;
  controller->Show_RHS_Properties(nullptr);
  // The picture fill of the back side, whose buttons are enabled with it.
  if (!ui->Card_fill_chk->isChecked())
    ui->Card_fill_chk->click();
  ui->Card_Image_fill_rd->click();
  ASSERT_TRUE(ui->Card_Image_Library_btn->isEnabled());

  scripted.answerModal(chooseFirstPicture);
  ui->Card_Image_Library_btn->click();
  const auto requests = scripted.requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().detail, QStringLiteral("Background Image Library"));
  EXPECT_EQ(controller->Back_card_Prop.Card_BG_Image_Path(), folder + QStringLiteral("/Sky.jpg"));
  EXPECT_EQ(controller->Back_card_Prop.Card_fill_style(), QStringLiteral("I"));
  EXPECT_NE(controller->Front_card_Prop.Card_BG_Image_Path(), folder + QStringLiteral("/Sky.jpg"));
  Card_Front_Or_Back = 0;
  lib_window_sel_file.clear();
}
