#include "mainwindow/DrawWindow.h"

#include "mainwindow/DrawWindow_Build.h"
#include "mainwindow/PanelWidgets.h"

#include "platform/ControlActions.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

using namespace drawwindow;

namespace {

// The border group of a tab; `whose` names what the border goes round ("the shape").
void describeBorder(QCheckBox *check, ColorWell *colour, QLineEdit *width, Stepper *stepper, QComboBox *style,
                    const QString &whose) {
  withTip(check, "Draw a border round " + whose);
  describe(colour, "Border colour", "Colour of the border round " + whose);
  describeValue(width, stepper, "Border width", "Width of the border round " + whose + ", in points");
  describe(style, "Border style", "Solid, dashed or dotted border round " + whose);
}

// The fill group of a tab; a kind of fill the tab does not offer is left out (null).
struct FillControls {
  QRadioButton *solid = nullptr;
  QRadioButton *gradient = nullptr;
  QRadioButton *pattern = nullptr;
  QRadioButton *picture = nullptr;
  ColorWell *colour = nullptr;
  ColorWell *gradientFrom = nullptr;
  ColorWell *gradientTo = nullptr;
  QLineEdit *angle = nullptr;
  Stepper *angleStepper = nullptr;
  QComboBox *hatch = nullptr;
  ColorWell *underHatch = nullptr;
};

// `whose` names what is filled, in the possessive ("the shape's").
void describeFill(const FillControls &fill, const QString &whose) {
  withTip(fill.solid, "Fill with one colour");
  withTip(fill.gradient, "Fill with a blend of two colours");
  if (fill.pattern)
    withTip(fill.pattern, "Fill with a pattern");
  if (fill.picture)
    withTip(fill.picture, "Fill with a picture");
  describe(fill.colour, "Fill colour", "Colour of " + whose + " fill");
  describe(fill.gradientFrom, "Gradient start colour", "Colour " + whose + " gradient starts with");
  describe(fill.gradientTo, "Gradient end colour", "Colour " + whose + " gradient ends with");
  describeValue(fill.angle, fill.angleStepper, "Gradient angle", "Direction of " + whose + " gradient, in degrees");
  if (fill.hatch)
    describe(fill.hatch, "Fill pattern", "Pattern " + whose + " fill is drawn with");
  if (fill.underHatch)
    describe(fill.underHatch, "Colour under the pattern", "Colour that shows between the lines of the pattern");
}

}  // namespace

// The panel of fifteen tabs; every tab page has its own builder below, in tab order.
void DrawWindow::buildPropertyPanel(QHBoxLayout *columns) {
  MAKE(sett_tab);
  sett_tab->setFixedWidth(330);
  sett_tab->setUsesScrollButtons(true);
  sett_tab->setDocumentMode(false);
  columns->addWidget(sett_tab, 0);

  buildCardTab();
  buildCardInfoTab();
  buildCardSizeTab();
  buildCardBackgroundTab();
  buildCardBorderTab();

  // The three tabs a card shows (the panel's first showing puts the same ones); the
  // card's info and size pages are kept out of sight, and the objects' tabs come with
  // `objectTabs`.
  const QStringList &titles = tabTitles();
  sett_tab->addTab(card_setting_tab, titles.at(0));
  sett_tab->addTab(card_bkgd_tab, titles.at(3));
  sett_tab->addTab(card_brdr_tab, titles.at(4));
  keepOutOfSight(card_info_tab);
  keepOutOfSight(card_size_tab);
}

void DrawWindow::keepOutOfSight(QWidget *page) {
  // Owned by the tab view (deleted with the window) until the panel shows it.
  page->setParent(sett_tab);
  page->hide();
}

void DrawWindow::buildObjectTabs() {
  buildLineTab();
  buildShapeTab();
  buildTextEditingTab();
  buildTextStyleTab();
  buildImageTab();
  buildSignatureTab();
  buildDataSourceTab();
  buildAlignTab();
  buildBarcodeTab();
  buildLockTab();
  const auto pages = tabPagesMade();
  for (size_t index = 5; index < pages.size(); ++index)
    keepOutOfSight(pages[index]);
}

// card_setting_tab
void DrawWindow::buildCardTab() {
  QVBoxLayout *column = makePage(card_setting_tab, "card_setting_tab");
  column->addWidget(sectionTitle(QStringLiteral("Card")));
  auto *form = newForm();
  MAKE(card_name);
  card_name->setPlaceholderText(QStringLiteral("Untitled"));
  describe(card_name, "Card name", "The name of the card design");
  form->addRow(QStringLiteral("Name:"), card_name);
  MAKE(Sides_ComboBox);
  Sides_ComboBox->addItems({QStringLiteral("Two Sided"), QStringLiteral("One Sided")});
  describe(Sides_ComboBox, "Sides", "Whether the card has a back side as well as a front");
  form->addRow(QStringLiteral("Sides:"), Sides_ComboBox);
  column->addLayout(form);

  column->addWidget(sectionTitle(QStringLiteral("Shape")));
  MAKE(matrix_card_shape, QStringList{QStringLiteral("Rectangle"), QStringLiteral("Rounded Rectangle"),
                                      QStringLiteral("Oval")},
       Qt::Vertical);
  matrix_card_shape->selectCellAtRow(0);
  withTip(matrix_card_shape->cellAtRow(0), "A card with square corners");
  withTip(matrix_card_shape->cellAtRow(1), "A card with rounded corners");
  withTip(matrix_card_shape->cellAtRow(2), "An oval card");
  column->addWidget(matrix_card_shape);

  column->addWidget(sectionTitle(QStringLiteral("Size")));
  auto *sizeForm = newForm();
  MAKE(width_Text);
  MAKE(width_Stepper);
  setupStepper(width_Stepper, 1, 1000, 1, 85.73);
  describeValue(width_Text, width_Stepper, "Card width", "Width of the card, in millimetres");
  sizeForm->addRow(QStringLiteral("Width:"), valueRow(width_Text, width_Stepper, QStringLiteral("mm"), 2));
  MAKE(height_Text);
  MAKE(height_Stepper);
  setupStepper(height_Stepper, 1, 1000, 1, 54.33);
  describeValue(height_Text, height_Stepper, "Card height", "Height of the card, in millimetres");
  sizeForm->addRow(QStringLiteral("Height:"), valueRow(height_Text, height_Stepper, QStringLiteral("mm"), 2));
  MAKE(Apply_Size_btn, QStringLiteral("Apply Size"));
  withTip(Apply_Size_btn, "Give the card the width and height above");
  sizeForm->addRow(QString(), hbox({Apply_Size_btn}));
  column->addLayout(sizeForm);

  column->addWidget(sectionTitle(QStringLiteral("Content")));
  auto *contentForm = newForm();
  MAKE(All_Text_clr);
  describe(All_Text_clr, "Text colour", "Colour of all texts");
  contentForm->addRow(QStringLiteral("Text colour:"), hbox({All_Text_clr}));
  MAKE(All_Text_font_value);
  readOnly(All_Text_font_value);
  describe(All_Text_font_value, "Text font", "The font of all texts");
  contentForm->addRow(QStringLiteral("Text font:"), All_Text_font_value);
  MAKE(Content_Font_btn, QStringLiteral("Font..."));
  withTip(Content_Font_btn, "Choose the font of all texts");
  MAKE(Content_Font_Decrease_btn);
  Content_Font_Decrease_btn->setText(QStringLiteral("A-"));
  describe(Content_Font_Decrease_btn, "A-", "Make all texts smaller");
  MAKE(Content_Font_Increase_btn);
  Content_Font_Increase_btn->setText(QStringLiteral("A+"));
  describe(Content_Font_Increase_btn, "A+", "Make all texts larger");
  contentForm->addRow(QString(), hbox({Content_Font_btn, Content_Font_Decrease_btn, Content_Font_Increase_btn}));
  column->addLayout(contentForm);
  column->addStretch(1);
}

// card_info_tab
void DrawWindow::buildCardInfoTab() {
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
  describe(All_Text_clr_COPY, "Former text colour", "The text colour of the card before the last change");
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
void DrawWindow::buildCardSizeTab() {
  QVBoxLayout *column = makePage(card_size_tab, "card_size_tab");
  column->addWidget(sectionTitle(QStringLiteral("Card Size")));
  auto *form = newForm();
  MAKE(Category_ComboBox);
  Category_ComboBox->addItems({QStringLiteral("PVC Card"), QStringLiteral("Paper Card")});
  describe(Category_ComboBox, "Card category", "The kind of card, which decides the sizes listed below");
  form->addRow(QStringLiteral("Category:"), Category_ComboBox);
  MAKE(Preset_ComboBox);
  Preset_ComboBox->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
  describe(Preset_ComboBox, "Orientation", "A card wider than high, or higher than wide");
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
  describe(ColList, "Card sizes", "Choose the size of the card");
  column->addWidget(ColList, 1);
}

// card_bkgd_tab
void DrawWindow::buildCardBackgroundTab() {
  QVBoxLayout *column = makePage(card_bkgd_tab, "card_bkgd_tab");
  MAKE(Card_fill_chk, QStringLiteral("Fill the card"));
  withTip(Card_fill_chk, "Fill the card with a colour, a gradient, a pattern or a picture");
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
  describeFill({.solid = Card_solid_fill_rd,
                .gradient = Card_gradient_fill_rd,
                .pattern = Card_Style_fill_rd,
                .picture = Card_Image_fill_rd,
                .colour = Card_fill_clr,
                .gradientFrom = Card_fill_Grd_1_clr,
                .gradientTo = Card_fill_Grd_2_clr,
                .angle = Card_grad_Text,
                .angleStepper = Card_grad_Stepper,
                .hatch = Card_hatch_style,
                .underHatch = Card_hatch_bk_clr},
               "the card's");
  MAKE(Card_image_box, QStringLiteral("Picture"));
  auto *imageForm = new QFormLayout(Card_image_box);
  imageForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  MAKE(Card_Image_path);
  readOnly(Card_Image_path);
  Card_Image_path->setPlaceholderText(QStringLiteral("No picture"));
  describe(Card_Image_path, "Background picture file", "The picture file the card is filled with");
  imageForm->addRow(Card_Image_path);
  MAKE(Card_Image_Browse_btn, QStringLiteral("Browse..."));
  MAKE(Card_Image_Library_btn, QStringLiteral("Library..."));
  withTip(Card_Image_Browse_btn, "Choose a picture file to fill the card with");
  withTip(Card_Image_Library_btn, "Choose a picture from the image library to fill the card with");
  imageForm->addRow(hbox({Card_Image_Browse_btn, Card_Image_Library_btn}));
  MAKE(Card_image_layout);
  Card_image_layout->addItems({QStringLiteral("Tile"), QStringLiteral("Stretch")});
  describe(Card_image_layout, "Picture layout", "Repeat the picture over the card, or stretch it to fit");
  imageForm->addRow(QStringLiteral("Layout:"), Card_image_layout);
  form->addRow(Card_image_box);
  MAKE(Card_alpha_Text);
  MAKE(Card_alpha_Stepper);
  setupStepper(Card_alpha_Stepper, 0, 100, 1, 100);
  describeValue(Card_alpha_Text, Card_alpha_Stepper, "Fill opacity", "Opacity of the card's fill, in per cent");
  form->addRow(QStringLiteral("Opacity:"), valueRow(Card_alpha_Text, Card_alpha_Stepper, QStringLiteral("%")));
  column->addWidget(Card_Fill_Box);
  column->addStretch(1);
}

// card_brdr_tab
void DrawWindow::buildCardBorderTab() {
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
  describeBorder(Card_border_chk, Card_bordr_clr, Card_bor_Text, Card_bor_Stepper, Card_border_style, "the card");
  column->addWidget(Card_Border_Box);
  column->addStretch(1);
}

// line_tab
void DrawWindow::buildLineTab() {
  QVBoxLayout *column = makePage(line_tab, "line_tab");
  column->addWidget(sectionTitle(QStringLiteral("Line Properties")));
  auto *form = newForm();
  MAKE(Line_clr);
  describe(Line_clr, "Line colour", "Colour of the line");
  form->addRow(QStringLiteral("Colour:"), hbox({Line_clr}));
  MAKE(Line_Wdt_Text);
  MAKE(Line_Wdt_Stepper);
  setupStepper(Line_Wdt_Stepper, 1, 50, 1, 1);
  describeValue(Line_Wdt_Text, Line_Wdt_Stepper, "Line width", "Width of the line, in points");
  form->addRow(QStringLiteral("Width:"), valueRow(Line_Wdt_Text, Line_Wdt_Stepper, QStringLiteral("pt")));
  MAKE(Line_border_style);
  fillBorderStyleCombo(Line_border_style);
  describe(Line_border_style, "Line style", "Solid, dashed or dotted line");
  form->addRow(QStringLiteral("Style:"), Line_border_style);
  MAKE(Line_ori_style);
  Line_ori_style->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical"), QStringLiteral("Diagonal Down"),
                            QStringLiteral("Diagonal Up")});
  describe(Line_ori_style, "Line direction", "Which way the line runs");
  form->addRow(QStringLiteral("Direction:"), Line_ori_style);
  MAKE(Line_cap_style);
  Line_cap_style->addItems({QStringLiteral("Butt"), QStringLiteral("Round"), QStringLiteral("Square")});
  describe(Line_cap_style, "Line ends", "The shape of the line's ends");
  form->addRow(QStringLiteral("Ends:"), Line_cap_style);
  MAKE(Line_alpha_Text);
  MAKE(Line_alpha_Stepper);
  setupStepper(Line_alpha_Stepper, 0, 100, 1, 100);
  describeValue(Line_alpha_Text, Line_alpha_Stepper, "Line opacity", "Opacity of the line, in per cent");
  form->addRow(QStringLiteral("Opacity:"), valueRow(Line_alpha_Text, Line_alpha_Stepper, QStringLiteral("%")));
  column->addLayout(form);
  column->addStretch(1);
}

// shape_tab
void DrawWindow::buildShapeTab() {
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
  describeBorder(Shape_border_chk, shape_bordr_clr, shape_bor_Text, shape_bor_Stepper, shape_border_style, "the shape");
  column->addWidget(Shape_Border_Box);

  MAKE(Shape_fill_chk, QStringLiteral("Fill the shape"));
  withTip(Shape_fill_chk, "Fill the shape with a colour, a gradient or a pattern");
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
  describeFill({.solid = Shape_solid_fill_rd,
                .gradient = Shape_gradient_fill_rd,
                .pattern = Shape_Style_fill_rd,
                .colour = shape_fill_clr,
                .gradientFrom = shape_fill_Grd_1_clr,
                .gradientTo = shape_fill_Grd_2_clr,
                .angle = shape_grad_Text,
                .angleStepper = shape_grad_Stepper,
                .hatch = shape_hatch_style,
                .underHatch = shape_hatch_bk_clr},
               "the shape's");
  column->addWidget(Shape_Fill_Box);

  auto *form = newForm();
  MAKE(shape_alpha_Text);
  MAKE(shape_alpha_Stepper);
  setupStepper(shape_alpha_Stepper, 0, 100, 1, 100);
  describeValue(shape_alpha_Text, shape_alpha_Stepper, "Shape opacity", "Opacity of the shape, in per cent");
  form->addRow(QStringLiteral("Opacity:"), valueRow(shape_alpha_Text, shape_alpha_Stepper, QStringLiteral("%")));
  MAKE(shape_cor_radius_Label, QStringLiteral("Corner radius:"));
  MAKE(shape_cor_radius_Text);
  MAKE(shape_cor_radius_Stepper);
  setupStepper(shape_cor_radius_Stepper, 0, 100, 1, 10);
  describeValue(shape_cor_radius_Text, shape_cor_radius_Stepper, "Corner radius",
                "Radius of the rounded corners, in points");
  form->addRow(shape_cor_radius_Label,
               valueRow(shape_cor_radius_Text, shape_cor_radius_Stepper, QStringLiteral("pt"), 1));
  MAKE(double_star_Label, QStringLiteral("Star variant:"));
  MAKE(double_star_Text);
  MAKE(double_star_Stepper);
  setupStepper(double_star_Stepper, 1, 5, 1, 1);
  describeValue(double_star_Text, double_star_Stepper, "Star variant", "Which of the five double stars is drawn");
  form->addRow(double_star_Label, valueRow(double_star_Text, double_star_Stepper));
  MAKE(polygon_Label, QStringLiteral("Polygon variant:"));
  MAKE(polygon_Text);
  MAKE(polygon_Stepper);
  setupStepper(polygon_Stepper, 1, 5, 1, 1);
  describeValue(polygon_Text, polygon_Stepper, "Polygon variant", "Which of the five polygons is drawn");
  form->addRow(polygon_Label, valueRow(polygon_Text, polygon_Stepper));
  column->addLayout(form);
  column->addStretch(1);
}

// text_edtng_tab
void DrawWindow::buildTextEditingTab() {
  QVBoxLayout *column = makePage(text_edtng_tab, "text_edtng_tab");
  column->addWidget(sectionTitle(QStringLiteral("Text")));
  MAKE(Text_value_Edit);
  Text_value_Edit->setMinimumHeight(140);
  Text_value_Edit->setPlaceholderText(QStringLiteral("The text of the selected object"));
  describe(Text_value_Edit, "Text", "The text of the selected object");
  column->addWidget(Text_value_Edit);
  MAKE(insert_template_btn, QStringLiteral("Use Template Message"));
  insert_template_btn->hide();
  withTip(insert_template_btn, "Choose one of the template messages for the text");
  column->addWidget(hbox({insert_template_btn}));
  column->addWidget(sectionTitle(QStringLiteral("Insert")));
  auto *grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  MAKE(Text_Date_style);
  MAKE(Text_Insert_Date_btn, QStringLiteral("Insert Date"));
  MAKE(Text_Time_style);
  MAKE(Text_Insert_Time_btn, QStringLiteral("Insert Time"));
  describe(Text_Date_style, "Date format", "How the inserted date is written");
  withTip(Text_Insert_Date_btn, "Insert today's date, written as chosen on the left");
  describe(Text_Time_style, "Time format", "How the inserted time is written");
  withTip(Text_Insert_Time_btn, "Insert the time now, written as chosen on the left");
  grid->addWidget(Text_Date_style, 0, 0);
  grid->addWidget(Text_Insert_Date_btn, 0, 1);
  grid->addWidget(Text_Time_style, 1, 0);
  grid->addWidget(Text_Insert_Time_btn, 1, 1);
  grid->setColumnStretch(0, 1);
  column->addLayout(grid);
  column->addStretch(1);
}

// text_prop_tab
void DrawWindow::buildTextStyleTab() {
  QVBoxLayout *column = makePage(text_prop_tab, "text_prop_tab");
  column->addWidget(sectionTitle(QStringLiteral("Font")));
  auto *form = newForm();
  MAKE(Text_font_value);
  readOnly(Text_font_value);
  describe(Text_font_value, "Font", "The font of the selected text");
  MAKE(Text_Font_btn, QStringLiteral("Font..."));
  withTip(Text_Font_btn, "Choose the font of the selected text");
  form->addRow(QStringLiteral("Font:"), Text_font_value);
  form->addRow(QString(), hbox({Text_Font_btn}));
  MAKE(Text_clr);
  describe(Text_clr, "Text colour", "Colour of the selected text");
  form->addRow(QStringLiteral("Colour:"), hbox({Text_clr}));
  MAKE(Text_align_combo);
  Text_align_combo->addItems({QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Center"),
                              QStringLiteral("Justified"), QStringLiteral("Natural")});
  describe(Text_align_combo, "Alignment", "How the lines of the text line up");
  form->addRow(QStringLiteral("Alignment:"), Text_align_combo);
  MAKE(Text_case_combo);
  Text_case_combo->addItems({QStringLiteral("As Typed"), QStringLiteral("Upper Case"), QStringLiteral("Lower Case"),
                             QStringLiteral("Capitalized")});
  describe(Text_case_combo, "Case", "Show the text as typed, or in upper, lower or capitalised letters");
  form->addRow(QStringLiteral("Case:"), Text_case_combo);
  MAKE(Text_Kern_Text);
  MAKE(Text_Kern_Stepper);
  setupStepper(Text_Kern_Stepper, -20, 50, 0.5, 0);
  describeValue(Text_Kern_Text, Text_Kern_Stepper, "Letter spacing", "Space added between letters, in points");
  form->addRow(QStringLiteral("Spacing:"), valueRow(Text_Kern_Text, Text_Kern_Stepper, QStringLiteral("pt"), 1));
  MAKE(Text_alpha_Text);
  MAKE(Text_alpha_Stepper);
  setupStepper(Text_alpha_Stepper, 0, 100, 1, 100);
  describeValue(Text_alpha_Text, Text_alpha_Stepper, "Text opacity", "Opacity of the text, in per cent");
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
  describeBorder(Text_border_chk, Text_bordr_clr, Text_bor_Text, Text_bor_Stepper, Text_border_style, "the text");
  column->addWidget(Text_Border_Box);

  MAKE(Text_fill_chk, QStringLiteral("Fill behind the text"));
  withTip(Text_fill_chk, "Fill the box behind the text with a colour or a gradient");
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
  describeFill({.solid = Text_solid_fill_rd,
                .gradient = Text_gradient_fill_rd,
                .colour = Text_fill_clr,
                .gradientFrom = Text_fill_Grd_1_clr,
                .gradientTo = Text_fill_Grd_2_clr,
                .angle = Text_grad_Text,
                .angleStepper = Text_grad_Stepper},
               "the text's");
  column->addWidget(Text_Fill_Box);
  column->addStretch(1);
}

// image_tab
void DrawWindow::buildImageTab() {
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
  describeBorder(Image_border_chk, Image_bordr_clr, Image_bor_Text, Image_bor_Stepper, Image_border_style,
                 "the picture");
  column->addWidget(Image_Border_Box);

  column->addWidget(sectionTitle(QStringLiteral("Effects")));
  auto *checks = new QGridLayout;
  MAKE(Image_Gray_Scale_chk, QStringLiteral("Grey scale"));
  MAKE(Image_Sepia_chk, QStringLiteral("Sepia"));
  MAKE(Image_Invert_chk, QStringLiteral("Invert colours"));
  MAKE(Image_FIH_chk, QStringLiteral("Flip horizontally"));
  MAKE(Image_FIV_chk, QStringLiteral("Flip vertically"));
  withTip(Image_Gray_Scale_chk, "Show the picture in shades of grey");
  withTip(Image_Sepia_chk, "Give the picture the brown tones of an old photograph");
  withTip(Image_Invert_chk, "Turn the picture's colours into their opposites");
  withTip(Image_FIH_chk, "Mirror the picture left to right");
  withTip(Image_FIV_chk, "Mirror the picture top to bottom");
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
  auto sliderRow = [&](const QString &title, ValueSlider *slider, QLabel *value, double neutral, const QString &tip) {
    slider->setDoubleValue(neutral);
    describe(slider, title, tip);
    value->setText(QString::number(neutral));
    value->setMinimumWidth(36);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sliders->addWidget(new QLabel(title), row, 0, Qt::AlignRight);
    sliders->addWidget(slider, row, 1);
    sliders->addWidget(value, row, 2);
    ++row;
  };
  sliderRow(QStringLiteral("Opacity"), MAKE(Trsp_slidr, 0, 100, 1), MAKE(Trsp_slidr_val), 100,
            "Opacity of the picture, in per cent");
  sliderRow(QStringLiteral("Rotation"), MAKE(Rotate_slidr, -180, 180, 1), MAKE(Rotate_slidr_val), 0,
            "Rotation of the picture, in degrees");
  sliderRow(QStringLiteral("Hue"), MAKE(Hue_slidr, -3.14, 3.14, 100), MAKE(Hue_slidr_val), 0,
            "Turn every colour of the picture round the colour wheel");
  sliderRow(QStringLiteral("Saturation"), MAKE(Sat_slidr, 0, 2, 100), MAKE(Sat_slidr_val), 1,
            "Strength of the picture's colours");
  sliderRow(QStringLiteral("Brightness"), MAKE(Brt_slidr, -1, 1, 100), MAKE(Brt_slidr_val), 0,
            "Make the picture lighter or darker");
  sliderRow(QStringLiteral("Contrast"), MAKE(Con_slidr, 0.25, 4, 100), MAKE(Con_slidr_val), 1,
            "Difference between the picture's light and dark parts");
  sliderRow(QStringLiteral("Sharpen"), MAKE(shrp_slidr, 0, 2, 100), MAKE(shrp_slidr_val), 0,
            "Sharpen the picture's edges");
  sliderRow(QStringLiteral("Exposure"), MAKE(ev_slidr, -5, 5, 100), MAKE(ev_slidr_val), 0,
            "Exposure of the picture, in stops");
  sliderRow(QStringLiteral("Blur"), MAKE(blr_slidr, 0, 20, 10), MAKE(blr_slidr_val), 0,
            "Blur the picture");
  sliders->setColumnStretch(1, 1);
  column->addLayout(sliders);
  MAKE(Image_reset_btn, QStringLiteral("Reset Adjustments"));
  withTip(Image_reset_btn, "Set every adjustment above back to its neutral value");
  column->addWidget(hbox({Image_reset_btn}));
  column->addStretch(1);
}

// sign_tab
void DrawWindow::buildSignatureTab() {
  QVBoxLayout *column = makePage(sign_tab, "sign_tab");
  column->addWidget(sectionTitle(QStringLiteral("Picture")));
  MAKE(Sign_image_path);
  readOnly(Sign_image_path);
  describe(Sign_image_path, "Signature picture file", "The picture file of the signature or fingerprint");
  column->addWidget(Sign_image_path);
  MAKE(Sign_Browse_btn, QStringLiteral("Browse..."));
  withTip(Sign_Browse_btn, "Choose a picture file of a signature or fingerprint");
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
  describeBorder(Sign_border_chk, Sign_bordr_clr, Sign_bor_Text, Sign_bor_Stepper, Sign_border_style,
                 "the signature");
  column->addWidget(Sign_Border_Box);
  column->addStretch(1);
}

// datasource_tab
void DrawWindow::buildDataSourceTab() {
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
  // "Excel" joins the two items while imported spreadsheet rows exist.
  Data_source_type->addItems({QStringLiteral("Manual"), QStringLiteral("Series")});
  describe(Data_source_type, "Text source", "Where the text comes from: typed in, a series or a spreadsheet");
  MAKE(data_source_help_btn, QStringLiteral("?"));
  describe(data_source_help_btn, "Help", "What the data sources mean");
  // A small square button: the list beside it takes the rest of the row.
  data_source_help_btn->setFixedWidth(data_source_help_btn->sizeHint().height());
  {
    QWidget *sourceRow = hbox({Data_source_type, data_source_help_btn}, false);
    static_cast<QHBoxLayout *>(sourceRow->layout())->setStretchFactor(Data_source_type, 1);
    form->addRow(QStringLiteral("Source:"), sourceRow);
  }
  MAKE(Batch_Series);
  Batch_Series->setEnabled(false);
  describe(Batch_Series, "Values", "The series or spreadsheet column that gives the values");
  form->addRow(QStringLiteral("Values:"), Batch_Series);
  MAKE(view_series_btn, QStringLiteral("View Series..."));
  view_series_btn->setEnabled(false);
  withTip(view_series_btn, "Show the values of the chosen series");
  form->addRow(QString(), hbox({view_series_btn}));
  column->addLayout(form);
  MAKE(manual_brws_box, QStringLiteral("Picture File"));
  auto *boxLayout = new QVBoxLayout(manual_brws_box);
  MAKE(Manual_image_path);
  readOnly(Manual_image_path);
  describe(Manual_image_path, "Picture file", "The picture file of the selected object");
  boxLayout->addWidget(Manual_image_path);
  MAKE(Manual_Image_Browse_btn, QStringLiteral("Browse..."));
  MAKE(Manual_Library_Browse_btn, QStringLiteral("Library..."));
  withTip(Manual_Image_Browse_btn, "Choose a picture file for the selected object");
  withTip(Manual_Library_Browse_btn, "Choose a picture from the image library for the selected object");
  boxLayout->addWidget(hbox({Manual_Image_Browse_btn, Manual_Library_Browse_btn}));
  column->addWidget(manual_brws_box);
  column->addStretch(1);
}

// aligmnt_tab
void DrawWindow::buildAlignTab() {
  QVBoxLayout *column = makePage(aligmnt_tab, "aligmnt_tab");
  column->addWidget(sectionTitle(QStringLiteral("Align")));
  auto *grid = new QGridLayout;
  grid->setSpacing(4);
  // The short texts stand in a grid under "Align"; each is named by its text and its tip
  // says what it lines up.
  auto alignButton = [](QToolButton *button, const QString &text, const QString &tip) {
    button->setText(text);
    describe(button, text, tip);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
  };
  grid->addWidget(alignButton(MAKE(Align_Left_btn), QStringLiteral("Left"),
                              "Line up the left edges of the selected objects"),
                  0, 0);
  grid->addWidget(alignButton(MAKE(Align_Horz_btn), QStringLiteral("Centre"),
                              "Centre the selected objects on one vertical line"),
                  0, 1);
  grid->addWidget(alignButton(MAKE(Align_Right_btn), QStringLiteral("Right"),
                              "Line up the right edges of the selected objects"),
                  0, 2);
  grid->addWidget(alignButton(MAKE(Align_Top_btn), QStringLiteral("Top"),
                              "Line up the top edges of the selected objects"),
                  1, 0);
  grid->addWidget(alignButton(MAKE(Align_Vert_btn), QStringLiteral("Middle"),
                              "Centre the selected objects on one horizontal line"),
                  1, 1);
  grid->addWidget(alignButton(MAKE(Align_Bottom_btn), QStringLiteral("Bottom"),
                              "Line up the bottom edges of the selected objects"),
                  1, 2);
  grid->addWidget(alignButton(MAKE(Align_Center_btn), QStringLiteral("Centre on Card"),
                              "Move the selected objects to the centre of the card"),
                  2, 0, 1, 3);
  column->addLayout(grid);
  column->addWidget(sectionTitle(QStringLiteral("Size")));
  MAKE(Make_Same_Width_btn, QStringLiteral("Same Width"));
  MAKE(Make_Same_Height_btn, QStringLiteral("Same Height"));
  MAKE(Make_Natural_btn, QStringLiteral("Natural Size"));
  withTip(Make_Same_Width_btn, "Give the selected objects the same width");
  withTip(Make_Same_Height_btn, "Give the selected objects the same height");
  withTip(Make_Natural_btn, "Give the selected objects their natural size");
  column->addWidget(hbox({Make_Same_Width_btn, Make_Same_Height_btn}));
  column->addWidget(hbox({Make_Natural_btn}));
  column->addWidget(sectionTitle(QStringLiteral("Output")));
  MAKE(print_object_chk, QStringLiteral("Leave out of printing and export"));
  withTip(print_object_chk, "Show the selected objects only while designing, not in printing or export");
  column->addWidget(print_object_chk);
  column->addWidget(sectionTitle(QStringLiteral("Grid")));
  MAKE(Show_hide_grid_chk, QStringLiteral("Show the grid"));
  withTip(Show_hide_grid_chk, "Show the grid over the card all the time");
  column->addWidget(Show_hide_grid_chk);
  MAKE(Grid_Opt_box, QStringLiteral("Grid Options"));
  auto *gridForm = new QFormLayout(Grid_Opt_box);
  gridForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  MAKE(Grid_clr);
  Grid_clr->setColor(QColor(204, 204, 204));
  describe(Grid_clr, "Grid colour", "Colour of the grid lines");
  gridForm->addRow(QStringLiteral("Colour:"), hbox({Grid_clr}));
  MAKE(Grid_Space_slidr, 2, 50, 1);
  Grid_Space_slidr->setDoubleValue(9);
  describe(Grid_Space_slidr, "Grid spacing", "Distance between the grid lines, in points");
  gridForm->addRow(QStringLiteral("Spacing:"), Grid_Space_slidr);
  // The options start disabled (the grid is hidden). The box itself stays enabled:
  // enabling a box (SetObjEnabled) reaches the controls inside it, not the box.
  for (QWidget *option : Grid_Opt_box->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
    option->setEnabled(false);
  column->addWidget(Grid_Opt_box);
  MAKE(Grid_Snap_chk, QStringLiteral("Snap to the grid"));
  withTip(Grid_Snap_chk, "Make objects snap to the grid lines");
  column->addWidget(Grid_Snap_chk);
  MAKE(Align_with_grid_btn, QStringLiteral("Align to Grid"));
  Align_with_grid_btn->setEnabled(false);
  withTip(Align_with_grid_btn, "Move the selected objects onto the nearest grid lines");
  MAKE(Grid_Settings_btn, QStringLiteral("Grid..."));
  withTip(Grid_Settings_btn, "Change the settings of the grid");
  column->addWidget(hbox({Align_with_grid_btn, Grid_Settings_btn}));
  column->addStretch(1);
}

// barcode_tab
void DrawWindow::buildBarcodeTab() {
  QVBoxLayout *column = makePage(barcode_tab, "barcode_tab");
  column->addWidget(sectionTitle(QStringLiteral("Barcode")));
  MAKE(barcode_info_lbl, QStringLiteral("Double-click the barcode on the card, or use the button below, "
                                        "to change its symbology, value and captions."));
  barcode_info_lbl->setWordWrap(true);
  column->addWidget(barcode_info_lbl);
  MAKE(Barcode_Edit_btn, QStringLiteral("Edit Barcode..."));
  withTip(Barcode_Edit_btn, "Change the barcode's symbology, value and captions");
  column->addWidget(hbox({Barcode_Edit_btn}));
  column->addStretch(1);
}

// Lock_tab
void DrawWindow::buildLockTab() {
  QVBoxLayout *column = makePage(Lock_tab, "Lock_tab");
  column->addWidget(sectionTitle(QStringLiteral("Locked")));
  MAKE(lock_info_lbl, QStringLiteral("This object is locked: it cannot be moved, resized or changed. "
                                     "Use Unlock in the toolbar to edit it again."));
  lock_info_lbl->setWordWrap(true);
  column->addWidget(lock_info_lbl);
  column->addStretch(1);
}

void DrawWindow::showShapeFill(bool gradient, bool hatch) {
  const bool solid = !gradient && !hatch;
  controls::setCheckedQuietly(Shape_solid_fill_rd, solid);
  controls::setCheckedQuietly(Shape_gradient_fill_rd, gradient);
  controls::setCheckedQuietly(Shape_Style_fill_rd, hatch);
  shape_fill_clr->setEnabled(solid);
  for (QWidget *control : {static_cast<QWidget *>(shape_fill_Grd_1_clr), static_cast<QWidget *>(shape_fill_Grd_2_clr),
                           static_cast<QWidget *>(shape_grad_Text), static_cast<QWidget *>(shape_grad_Stepper)})
    control->setEnabled(gradient);
  shape_hatch_style->setEnabled(hatch);
  shape_hatch_bk_clr->setEnabled(hatch);
}

void DrawWindow::showTextFill(bool gradient) {
  controls::setCheckedQuietly(Text_solid_fill_rd, !gradient);
  controls::setCheckedQuietly(Text_gradient_fill_rd, gradient);
  Text_fill_clr->setEnabled(!gradient);
  for (QWidget *control : {static_cast<QWidget *>(Text_fill_Grd_1_clr), static_cast<QWidget *>(Text_fill_Grd_2_clr),
                           static_cast<QWidget *>(Text_grad_Text), static_cast<QWidget *>(Text_grad_Stepper)})
    control->setEnabled(gradient);
}
