// The property panel: which tabs it shows for the card and for each kind of card object
// (locked and unlocked), their labels and the extra controls of the shapes, the values
// it copies from the card settings or the object (widths cut, opacities as
// percentages), the editing buttons, the rule that the object shown already is not
// filled again, and the fill flag, which no failure leaves set.

#include "tests/mainwindow/main_window_fixture.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"
#include "canvas/QLNSelection.h"

#include "core/QLNBarcode.h"
#include "core/QLNDocument.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>

#include <stdexcept>

namespace {

// A kind of card object that no tab set knows: it is shown as a shape.
class DerivedText : public QLNText {};

class PropertyPanelTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // A picker of built-in titles and messages exists (it answers nothing here).
    QLNWindowController::hooks().runTemplatePicker = [](const QString &) { return 0; };
    shipPattern(QStringLiteral("Brick.png"));
    shipPattern(QStringLiteral("Waves.png"));
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ui = controller->ui;
    document = session->document();
  }

  // The object on the front side, selected alone, then shown in the panel.
  template <class T>
  std::shared_ptr<T> show(std::shared_ptr<T> object) {
    document->Enable_Disable_Undo_Registraion(0);
    document->insertIntoList(QLNDocumentGraphicsKey, {object}, {0});
    document->Enable_Disable_Undo_Registraion(1);
    controller->_graphicsController.setSelectionIndexes({0});
    controller->Show_RHS_Properties(object);
    return object;
  }

  static std::shared_ptr<Shape_Control> shape(const QString &code, bool locked = false) {
    auto object = std::make_shared<Shape_Control>();
    object->setBounds(QRectF(20, 20, 60, 40));
    object->Set_Shape_Type(code);
    object->ctrl_is_locked = locked;
    return object;
  }

  QStringList tabLabels() const {
    QStringList labels;
    for (int i = 0; i < ui->sett_tab->count(); ++i)
      labels << ui->sett_tab->tabText(i);
    return labels;
  }
  QList<QWidget *> tabPages() const {
    QList<QWidget *> pages;
    for (int i = 0; i < ui->sett_tab->count(); ++i)
      pages << ui->sett_tab->widget(i);
    return pages;
  }

  // The editing buttons, in the order cut, copy, paste, delete, front, back, lock, unlock.
  std::vector<bool> editingButtons() const {
    std::vector<bool> states;
    for (QToolButton *button : {ui->Cut_btn, ui->Copy_btn, ui->Paste_btn, ui->Delete_btn, ui->Begin_Front_btn,
                                ui->Send_Back_btn, ui->Lock_btn, ui->Unlock_btn})
      states.push_back(button->isEnabled());
    return states;
  }

  QLNWindowController *controller = nullptr;
  DrawWindow *ui = nullptr;
  QLNDocument *document = nullptr;
};

}  // namespace

TEST_F(PropertyPanelTest, TheCardShowsItsThreeTabsFilledFromTheSidesSettings) {
  // After the start-up's new project the card is shown.
  EXPECT_EQ(tabPages(), (QList<QWidget *>{ui->card_setting_tab, ui->card_bkgd_tab, ui->card_brdr_tab}));
  EXPECT_EQ(tabLabels(), (QStringList{"Card", "Background", "Border"}));
  EXPECT_EQ(controller->Last_Selected_Graphic, nullptr);

  Card_Property &front = controller->Front_card_Prop;
  front.setCard_border_chk(true);
  front.setCard_bor_Stepper(7);
  front.setCard_border_style(QStringLiteral("DD"));
  front.setCard_fill_chk(true);
  front.setCard_fill_style(QStringLiteral("G"));
  front.setCard_grad_Stepper(45);
  front.setCard_alpha_Stepper(0.25f);
  front.setCard_Content_clr(QColor(0, 0, 200));
  front.setCard_Content_font(FontSpec(QStringLiteral("Arial-BoldMT"), 18.5));
  front.setCard_Name(QStringLiteral("Sorry, Sam"));
  front.setCard_Category(QStringLiteral("Paper Card"));
  Card_Shape = 2;
  // A tab the user had open, and a value typed that the card settings do not hold.
  ui->sett_tab->setCurrentWidget(ui->card_brdr_tab);
  ui->card_name->setText(QStringLiteral("typed"));

  controller->Show_RHS_Properties(nullptr);

  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
  EXPECT_EQ(tabPages(), (QList<QWidget *>{ui->card_setting_tab, ui->card_bkgd_tab, ui->card_brdr_tab}));
  // Shown again over themselves, the card tabs keep the one the user had open.
  EXPECT_EQ(ui->sett_tab->currentWidget(), ui->card_brdr_tab);
  EXPECT_TRUE(ui->Card_border_chk->isChecked());
  EXPECT_EQ(ui->Card_bor_Stepper->intValue(), 7);
  EXPECT_EQ(ui->Card_bor_Text->text(), QStringLiteral("7"));
  EXPECT_EQ(ui->Card_border_style->currentIndex(), 3);
  EXPECT_TRUE(ui->Card_fill_chk->isChecked());
  EXPECT_TRUE(ui->Card_gradient_fill_rd->isChecked());
  EXPECT_EQ(ui->Card_grad_Text->text(), QStringLiteral("45"));
  EXPECT_EQ(ui->Card_alpha_Stepper->value(), 25.0);
  EXPECT_EQ(ui->Card_alpha_Text->text(), QStringLiteral("25"));
  EXPECT_EQ(ui->All_Text_clr_COPY->color(), QColor(0, 0, 200));
  EXPECT_EQ(controller->All_Text_font(), FontSpec(QStringLiteral("Arial-BoldMT"), 18.5));
  EXPECT_EQ(controller->All_Text_font_COPY, FontSpec(QStringLiteral("Arial-BoldMT"), 18.5));
  EXPECT_EQ(ui->All_Text_font_value->text(), QStringLiteral("Arial-BoldMT ( 18.50 )"));
  EXPECT_EQ(ui->matrix_card_shape->selectedRow(), 2);
  EXPECT_EQ(ui->card_name->text(), QStringLiteral("Sorry, Sam"));
  EXPECT_EQ(ui->Category_ComboBox->currentText(), QStringLiteral("Paper Card"));
  // The gradient's controls are on, the others of the fill off; the border box is on.
  EXPECT_TRUE(ui->Card_grad_Stepper->isEnabled());
  EXPECT_FALSE(ui->Card_fill_clr->isEnabled());
  EXPECT_FALSE(ui->Card_hatch_style->isEnabled());
  EXPECT_FALSE(ui->Card_Image_Browse_btn->isEnabled());
  EXPECT_TRUE(ui->Card_bordr_clr->isEnabled());
  // The card is the front canvas's place and size.
  EXPECT_EQ(front.Card_Location(), QPointF(0, 0));
  EXPECT_EQ(front.Card_Size(), QSizeF(243, 154));
  // No editing button but paste (the clipboard holds no card objects) is on.
  EXPECT_EQ(editingButtons(), std::vector<bool>(8, false));
}

TEST_F(PropertyPanelTest, TheBackCardFillsFromTheBackAndEmptiesTheBacksSelection) {
  auto onBack = std::make_shared<Shape_Control>();
  onBack->setBounds(QRectF(5, 5, 10, 10));
  document->insertIntoList(QLNDocumentGraphicsKey_back, {onBack}, {0});
  controller->_graphicsController_back.setSelectionIndexes({0});
  controller->Back_card_Prop.setCard_fill_chk(true);
  controller->Back_card_Prop.setCard_fill_style(QStringLiteral("H"));
  controller->Back_card_Prop.setCard_hatch_style(QString());
  controller->Back_card_Prop.setCard_Name(QStringLiteral("The back"));
  controller->Back_card_Prop.setCard_Size(QSizeF(1, 1));
  ASSERT_EQ(ui->Card_hatch_style->currentIndex(), 0);
  Card_Front_Or_Back = 5;  // any side but 0 is the back

  controller->Show_RHS_Properties(nullptr);

  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(ui->card_name->text(), QStringLiteral("The back"));
  EXPECT_TRUE(controller->_graphicsController_back.selectionIndexes().isEmpty());
  EXPECT_EQ(controller->Back_card_Prop.Card_Size(), QSizeF(243, 154));
  // The hatch fill with no pattern named: no pattern selected, the hatch radio on.
  EXPECT_EQ(ui->Card_hatch_style->currentIndex(), -1);
  EXPECT_TRUE(ui->Card_Style_fill_rd->isChecked());
  EXPECT_TRUE(ui->Card_hatch_style->isEnabled());
  EXPECT_FALSE(ui->Card_fill_clr->isEnabled());
}

TEST_F(PropertyPanelTest, EachUnlockedKindShowsItsTabsThenTheAlignmentTab) {
  struct Case {
    const char *what;
    QLNGraphicPtr object;
    QList<QWidget *> pages;
    QStringList labels;
    QString kindCode;
  };
  auto signature = std::make_shared<QLNSignature>();
  signature->Set_Sign_Or_FP(QStringLiteral("S"));
  auto fingerprint = std::make_shared<QLNSignature>();
  fingerprint->Set_Sign_Or_FP(QStringLiteral("F"));
  const Case cases[] = {
      {"text", std::make_shared<QLNText>(), {ui->text_edtng_tab, ui->text_prop_tab, ui->datasource_tab, ui->aligmnt_tab},
       {"Text", "Text Style", "Text Source", "Align"}, "T"},
      {"image", std::make_shared<QLNImage>(), {ui->datasource_tab, ui->image_tab, ui->aligmnt_tab},
       {"Image Source", "Image", "Align"}, "I"},
      {"line", std::make_shared<QLNLine>(), {ui->line_tab, ui->aligmnt_tab}, {"Line", "Align"}, "NONE"},
      {"signature", signature, {ui->sign_tab, ui->aligmnt_tab}, {"Signature Properties", "Align"}, "S"},
      {"fingerprint", fingerprint, {ui->sign_tab, ui->aligmnt_tab}, {"FingrePrint Properties", "Align"}, "F"},
      {"barcode", std::make_shared<QLNBarcode>(), {ui->barcode_tab, ui->aligmnt_tab}, {"Barcode", "Align"}, "NONE"},
      {"rectangle", shape("R"), {ui->shape_tab, ui->aligmnt_tab}, {"Rectangle Properties", "Align"}, "NONE"},
      // A kind derived from the text is no text: it is shown as a shape.
      {"derived text", std::make_shared<DerivedText>(), {ui->shape_tab, ui->aligmnt_tab}, {"Rectangle Properties", "Align"},
       "NONE"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    show(c.object);
    EXPECT_EQ(tabPages(), c.pages);
    EXPECT_EQ(tabLabels(), c.labels);
    EXPECT_EQ(ui->sett_tab->currentIndex(), 0);
    EXPECT_EQ(ui->sel_control_name->text(), c.kindCode);
    EXPECT_EQ(controller->Last_Selected_Graphic, c.object.get());
    EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
    // Cut, copy, delete, order and lock on; unlock off.
    EXPECT_EQ(editingButtons(), (std::vector<bool>{true, true, false, true, true, true, true, false}));
  }
  // The data source tab tells a text's source from an image's, and only the image's
  // has the picture file box.
  show(std::make_shared<QLNText>());
  EXPECT_EQ(ui->data_source_title->text(), QStringLiteral("Text Source"));
  EXPECT_TRUE(ui->manual_brws_box->isHidden());
  show(std::make_shared<QLNImage>());
  EXPECT_EQ(ui->data_source_title->text(), QStringLiteral("Image Source"));
  EXPECT_FALSE(ui->manual_brws_box->isHidden());
}

TEST_F(PropertyPanelTest, EachShapeCodeNamesTheTabAndShowsOnlyItsOwnExtraControls) {
  const struct {
    const char *code;
    const char *label;
    int extra;  // 0 corner radius, 1 double star, 2 polygon, -1 none
  } cases[] = {{"R", "Rectangle Properties", -1},     {"C", "Ellipse Properties", -1},
               {"RR", "Rounded Rectangle Properties", 0}, {"T", "Triangle Properties", -1},
               {"D", "Diamond Properties", -1},        {"S", "Star Properties", -1},
               {"DS", "Double Star Properties", 1},    {"P", "Polygon Properties", 2}};
  const QList<QWidget *> extras[3] = {
      {ui->shape_cor_radius_Stepper, ui->shape_cor_radius_Text, ui->shape_cor_radius_Label},
      {ui->double_star_Label, ui->double_star_Stepper, ui->double_star_Text},
      {ui->polygon_Label, ui->polygon_Stepper, ui->polygon_Text}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.code);
    show(shape(QLatin1String(c.code)));
    EXPECT_EQ(tabLabels(), (QStringList{QLatin1String(c.label), "Align"}));
    EXPECT_EQ(ui->Shape_prop_title->text(), QLatin1String(c.label));
    for (int group = 0; group < 3; ++group)
      for (QWidget *control : extras[group])
        EXPECT_EQ(control->isHidden(), group != c.extra) << control->objectName().toStdString();
    // A field's unit ("pt") and row go with it: no stray unit under the opacity.
    for (QLineEdit *field : std::initializer_list<QLineEdit *>{ui->shape_cor_radius_Text, ui->double_star_Text, ui->polygon_Text})
      EXPECT_EQ(field->parentWidget()->isHidden(), field->isHidden()) << field->objectName().toStdString();
  }
  // A code outside the eight leaves the label and title as they were.
  show(shape(QStringLiteral("X")));
  EXPECT_EQ(tabLabels(), (QStringList{"Polygon Properties", "Align"}));
  EXPECT_EQ(ui->Shape_prop_title->text(), QStringLiteral("Polygon Properties"));
  for (const auto &group : extras)
    for (QWidget *control : group)
      EXPECT_TRUE(control->isHidden());
}

TEST_F(PropertyPanelTest, ALockedObjectShowsOnlyTheLockTabNamedByItsKind) {
  auto text = std::make_shared<QLNText>();
  text->ctrl_is_locked = true;
  text->Text_contents()->string = QStringLiteral("Forgive me");
  text->control_ID = QStringLiteral("PARTY_MSG");
  show(text);
  EXPECT_EQ(tabPages(), QList<QWidget *>{ui->Lock_tab});
  EXPECT_EQ(tabLabels(), QStringList{"Text Properties"});
  // The text's controls are filled all the same.
  EXPECT_EQ(ui->Text_value_Edit->toPlainText(), QStringLiteral("Forgive me"));
  EXPECT_FALSE(ui->insert_template_btn->isHidden());
  // Only unlock is on.
  EXPECT_EQ(editingButtons(), (std::vector<bool>{false, false, false, false, false, false, false, true}));
  EXPECT_EQ(ui->sel_control_name->text(), QStringLiteral("T"));

  auto fingerprint = std::make_shared<QLNSignature>();
  fingerprint->Set_Sign_Or_FP(QStringLiteral("F"));
  fingerprint->ctrl_is_locked = true;
  show(fingerprint);
  EXPECT_EQ(tabLabels(), QStringList{"Signature Properties"});
  EXPECT_EQ(ui->sel_control_name->text(), QStringLiteral("F"));

  struct {
    QLNGraphicPtr object;
    const char *label;
  } kinds[] = {{std::make_shared<QLNImage>(), "Image Properties"},
               {std::make_shared<QLNLine>(), "Line Properties"},
               {std::make_shared<QLNBarcode>(), "Barcode Properties"},
               {shape("DS", true), "Double Star Properties"},
               // An unknown shape code leaves the lock tab's label as it was.
               {shape("Q", true), "Double Star Properties"}};
  for (auto &kind : kinds) {
    SCOPED_TRACE(kind.label);
    kind.object->ctrl_is_locked = true;
    show(kind.object);
    EXPECT_EQ(tabPages(), QList<QWidget *>{ui->Lock_tab});
    EXPECT_EQ(tabLabels(), QStringList{QLatin1String(kind.label)});
  }
  // A locked double star shows none of its extra controls.
  EXPECT_TRUE(ui->double_star_Stepper->isHidden());
}

TEST_F(PropertyPanelTest, ShapeValuesAreCutAndScaledAsTheControlsHoldThem) {
  auto object = shape("RR");
  object->_isDrawingStroke = true;
  object->_strokeWidth = 2.9;
  object->_strokeColor = QColor(1, 2, 3);
  object->_stroke_border_type = QStringLiteral("DO");
  object->_isDrawingFill = false;
  object->_fill_type = QStringLiteral("H");
  object->_fill_hatch_type = QStringLiteral("Waves");
  object->_fill_htch_clr = QColor(9, 9, 9);
  object->_fill_grad_angle = 12.5;
  object->alpha_val = 0.555f;
  object->cor_rad_val_val = 7.5f;
  object->double_star_type = 3;
  object->polygon_type = 4;
  object->print_object = 1;
  show(object);

  EXPECT_TRUE(ui->Shape_border_chk->isChecked());
  EXPECT_EQ(ui->shape_bor_Stepper->intValue(), 2);
  EXPECT_EQ(ui->shape_bor_Text->text(), QStringLiteral("2"));
  EXPECT_EQ(ui->shape_bordr_clr->color(), QColor(1, 2, 3));
  EXPECT_EQ(ui->shape_border_style->currentIndex(), 2);
  EXPECT_TRUE(ui->Shape_Style_fill_rd->isChecked());
  EXPECT_EQ(ui->shape_hatch_style->currentText(), QStringLiteral("Waves"));
  EXPECT_EQ(ui->shape_hatch_bk_clr->color(), QColor(9, 9, 9));
  EXPECT_EQ(ui->shape_grad_Text->text(), QStringLiteral("12.5"));
  // The opacity stepper holds the percentage, its field the whole percent.
  EXPECT_NEAR(ui->shape_alpha_Stepper->value(), 55.5, 1e-4);
  EXPECT_EQ(ui->shape_alpha_Text->text(), QStringLiteral("55"));
  EXPECT_EQ(ui->shape_cor_radius_Text->text(), QStringLiteral("7.5"));
  EXPECT_EQ(ui->double_star_Text->text(), QStringLiteral("3"));
  EXPECT_EQ(ui->polygon_Text->text(), QStringLiteral("4"));
  EXPECT_TRUE(ui->print_object_chk->isChecked());
  // The border box follows its check box, the fill box its own (off); within the fill,
  // the hatch controls are the ones on.
  EXPECT_TRUE(ui->shape_bordr_clr->isEnabled());
  EXPECT_FALSE(ui->Shape_solid_fill_rd->isEnabled());
  EXPECT_TRUE(ui->shape_hatch_style->isEnabledTo(ui->Shape_Fill_Box));
  EXPECT_FALSE(ui->shape_fill_clr->isEnabledTo(ui->Shape_Fill_Box));
  EXPECT_FALSE(ui->shape_grad_Stepper->isEnabledTo(ui->Shape_Fill_Box));

  // An unknown border code leaves the style as it was; no hatch name selects none.
  auto other = shape("R");
  other->_stroke_border_type = QStringLiteral("Q");
  other->_strokeWidth = 0.4;
  other->alpha_val = 0.5f;
  show(other);
  EXPECT_EQ(ui->shape_border_style->currentIndex(), 2);
  EXPECT_EQ(ui->shape_hatch_style->currentIndex(), -1);
  EXPECT_EQ(ui->shape_bor_Text->text(), QStringLiteral("0"));
  EXPECT_EQ(ui->shape_alpha_Text->text(), QStringLiteral("50"));
  EXPECT_EQ(ui->shape_alpha_Stepper->value(), 50.0);
}

TEST_F(PropertyPanelTest, TextLineImageAndSignatureValuesReachTheirControls) {
  auto text = std::make_shared<QLNText>();
  text->Text_contents()->string = QStringLiteral("I am sorry\nfor everything");
  text->control_ID = QStringLiteral("PARTY_TITLE");
  text->_isDrawingStroke = true;
  text->_strokeWidth = 3.99;
  text->_isDrawingFill = true;
  text->_fill_type = QStringLiteral("G");
  text->alpha_val = 0.3f;
  text->txt_clr = QColor(120, 0, 0);
  text->text_ctrl_font = FontSpec(QStringLiteral("Helvetica"), 11);
  text->text_alignmnet = 2;
  text->text_kerning = 1.5f;
  show(text);
  EXPECT_EQ(ui->Text_value_Edit->toPlainText(), QStringLiteral("I am sorry\nfor everything"));
  EXPECT_EQ(ui->Text_value_Edit->textCursor().selectedText().size(), 25);
  EXPECT_FALSE(ui->insert_template_btn->isHidden());
  EXPECT_EQ(ui->insert_template_btn->text(), QStringLiteral("Use Template Title"));
  EXPECT_EQ(ui->Text_bor_Text->text(), QStringLiteral("3"));
  EXPECT_TRUE(ui->Text_gradient_fill_rd->isChecked());
  EXPECT_TRUE(ui->Text_grad_Stepper->isEnabled());
  EXPECT_FALSE(ui->Text_fill_clr->isEnabled());
  EXPECT_EQ(ui->Text_alpha_Text->text(), QStringLiteral("30"));
  EXPECT_EQ(ui->Text_clr->color(), QColor(120, 0, 0));
  EXPECT_EQ(controller->Text_font, FontSpec(QStringLiteral("Helvetica"), 11));
  EXPECT_EQ(ui->Text_font_value->text(), QStringLiteral("Helvetica ( 11.00 )"));
  EXPECT_EQ(ui->Text_align_combo->currentIndex(), 2);
  EXPECT_EQ(ui->Text_Kern_Text->text(), QStringLiteral("1.5"));
  // Another id hides the template button; "PARTY_MSG" names the message.
  auto plain = std::make_shared<QLNText>();
  plain->control_ID = QStringLiteral("PARTY_TO");
  show(plain);
  EXPECT_TRUE(ui->insert_template_btn->isHidden());
  auto message = std::make_shared<QLNText>();
  message->control_ID = QStringLiteral("PARTY_MSG");
  show(message);
  EXPECT_EQ(ui->insert_template_btn->text(), QStringLiteral("Use Template Message"));

  auto line = std::make_shared<QLNLine>();
  line->_strokeWidth = 5.7;
  line->_stroke_border_type = QStringLiteral("DDD");
  line->_line_ori = 2;
  line->alpha_val_stroke = 0.75f;
  show(line);
  EXPECT_EQ(ui->Line_Wdt_Text->text(), QStringLiteral("5"));
  EXPECT_EQ(ui->Line_border_style->currentIndex(), 4);
  EXPECT_EQ(ui->Line_ori_style->currentIndex(), 2);
  EXPECT_EQ(ui->Line_alpha_Text->text(), QStringLiteral("75"));

  auto image = std::make_shared<QLNImage>();
  image->_file_path = QStringLiteral("/pictures/flowers.jpg");
  image->img_trnsp_val = 40.0f;  // a percentage already: shown as it is
  image->rotate_image = -30.0f;
  image->gray_Scale = true;
  image->_isFlippedHorizontally = true;
  image->_isDrawingStroke = false;
  show(image);
  EXPECT_EQ(ui->Manual_image_path->text(), QStringLiteral("/pictures/flowers.jpg"));
  EXPECT_EQ(ui->Trsp_slidr->doubleValue(), 40.0);
  EXPECT_EQ(ui->Trsp_slidr_val->text(), QStringLiteral("40"));
  EXPECT_EQ(ui->Rotate_slidr->doubleValue(), -30.0);
  EXPECT_TRUE(ui->Image_Gray_Scale_chk->isChecked());
  EXPECT_TRUE(ui->Image_FIH_chk->isChecked());
  EXPECT_FALSE(ui->Image_bordr_clr->isEnabled());

  auto signature = std::make_shared<QLNSignature>();
  signature->Set_Sign_Or_FP(QStringLiteral("S"));
  signature->_isDrawingStroke = true;
  signature->_strokeWidth = 6.0;
  signature->_stroke_border_type = QStringLiteral("DA");
  show(signature);
  EXPECT_EQ(ui->Sign_bor_Text->text(), QStringLiteral("6"));
  EXPECT_EQ(ui->Sign_border_style->currentIndex(), 1);
  EXPECT_TRUE(ui->Sign_bordr_clr->isEnabled());
}

TEST_F(PropertyPanelTest, TheObjectShownAlreadyKeepsWhatWasTypedAndOnlyItsButtonsFollow) {
  auto object = show(shape("R"));
  ui->shape_bor_Text->setText(QStringLiteral("17"));
  ui->sett_tab->setCurrentWidget(ui->aligmnt_tab);
  object->ctrl_is_locked = true;

  controller->Show_RHS_Properties(object);

  EXPECT_EQ(ui->shape_bor_Text->text(), QStringLiteral("17"));
  EXPECT_EQ(ui->sett_tab->currentWidget(), ui->aligmnt_tab);
  EXPECT_EQ(tabPages(), (QList<QWidget *>{ui->shape_tab, ui->aligmnt_tab}));
  // The editing buttons are set on every call: now for a locked object.
  EXPECT_EQ(editingButtons(), (std::vector<bool>{false, false, false, false, false, false, false, true}));
  // Another object in between, and the first is filled again.
  show(shape("C"));
  controller->Show_RHS_Properties(object);
  EXPECT_EQ(tabPages(), QList<QWidget *>{ui->Lock_tab});
  EXPECT_EQ(ui->shape_bor_Text->text(), QString::number(int(object->_strokeWidth)));
}

TEST_F(PropertyPanelTest, AnObjectThatIsGoneIsNeverTakenForTheOneShown) {
  // An object removed while it is shown, and a new one made: even at the same address,
  // the new one is filled from its own fields.
  auto first = show(shape("C"));
  first->_strokeWidth = 4;
  controller->Show_RHS_Properties(nullptr);
  controller->Show_RHS_Properties(first);
  ASSERT_EQ(ui->shape_bor_Text->text(), QStringLiteral("4"));
  document->Enable_Disable_Undo_Registraion(0);
  document->setList(QLNDocumentGraphicsKey, {});
  document->Enable_Disable_Undo_Registraion(1);
  first.reset();
  EXPECT_EQ(controller->shownGraphic(), nullptr);
  auto second = shape("T");
  second->_strokeWidth = 9;
  show(second);
  EXPECT_EQ(ui->shape_bor_Text->text(), QStringLiteral("9"));
  EXPECT_EQ(tabLabels(), (QStringList{"Triangle Properties", "Align"}));
}

TEST_F(PropertyPanelTest, ThePanelFollowsWhatCodeSelectsAndRemoves) {
  // The text tool places a text and the panel shows it; a new project empties the side
  // and the panel shows the card.
  ui->Text_Tool_btn->click();
  ASSERT_EQ(document->graphics().size(), 1);
  EXPECT_EQ(controller->shownGraphic(), document->graphics().at(0));
  EXPECT_EQ(tabPages().first(), ui->text_edtng_tab);
  EXPECT_EQ(controller->Selected_Control_Tool, 0);

  // The side emptied by code: drawing the empty side shows the card.
  document->Enable_Disable_Undo_Registraion(0);
  document->setList(QLNDocumentGraphicsKey, {});
  document->Enable_Disable_Undo_Registraion(1);
  controller->frontView()->grab();
  EXPECT_EQ(tabPages(), (QList<QWidget *>{ui->card_setting_tab, ui->card_bkgd_tab, ui->card_brdr_tab}));
  EXPECT_EQ(controller->shownGraphic(), nullptr);

  // Showing the card again and again (every redraw of an empty side does) keeps the tab
  // the user works in.
  ui->sett_tab->setCurrentWidget(ui->card_bkgd_tab);
  controller->frontView()->grab();
  EXPECT_EQ(ui->sett_tab->currentWidget(), ui->card_bkgd_tab);
  // Coming from an object, the card starts at its first tab.
  show(shape("R"));
  controller->Show_RHS_Properties(nullptr);
  EXPECT_EQ(ui->sett_tab->currentWidget(), ui->card_setting_tab);
}

TEST_F(PropertyPanelTest, AFailureWhileFillingLeavesThePropertyUpdatesWorking) {
  auto object = show(shape("R"));
  // Emptying the selection, the first step of showing the card, fails.
  KeyValueObserverFunction failing([](const QString &, KeyValueObservable *, const KeyValueChange &) {
    throw std::runtime_error("selection observer failed");
  });
  controller->_graphicsController.addObserver(&failing, QLNSelectionIndexesKey, nullptr);
  {
    ScopedLogCapture log;
    controller->Show_RHS_Properties(nullptr);
    controller->_graphicsController.removeObserver(&failing, QLNSelectionIndexesKey, nullptr);
    EXPECT_TRUE(log.lines().join('\n').contains(QStringLiteral("selection observer failed")));
  }
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
  // The panel works on: the card is shown, and a card action reaches the settings.
  controller->Show_RHS_Properties(nullptr);
  EXPECT_EQ(tabPages().first(), ui->card_setting_tab);
  ui->card_name->setText(QStringLiteral("After the failure"));
  controller->Update_Card_Graphics();
  EXPECT_EQ(controller->Front_card_Prop.Card_Name(), QStringLiteral("After the failure"));
}

TEST_F(PropertyPanelTest, UndoingTheShownObjectsPlacementShowsTheCardAndRedoShowsItAgain) {
  ui->Text_Tool_btn->click();
  ASSERT_EQ(document->graphics().size(), 1);
  const QLNGraphicPtr placed = document->graphics().at(0);
  ASSERT_EQ(controller->shownGraphic(), placed);
  QCoreApplication::processEvents();

  // The object is gone from the card: its properties go from the panel at once.
  ui->Undo_btn->click();
  ASSERT_TRUE(document->graphics().isEmpty());
  EXPECT_EQ(controller->shownGraphic(), nullptr);
  EXPECT_EQ(tabPages().first(), ui->card_setting_tab);

  ui->Redo_btn->click();
  ASSERT_EQ(document->graphics().size(), 1);
  EXPECT_EQ(controller->shownGraphic(), document->graphics().at(0));
  EXPECT_EQ(tabPages().first(), ui->text_edtng_tab);
}
