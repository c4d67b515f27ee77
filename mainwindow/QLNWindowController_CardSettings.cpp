// The actions of the card tabs of the property panel (shown while no card object is
// selected): border, fill, gradient, hatch, background picture, opacity, shape, size and
// the content colour and font of all texts. Almost every action ends in
// Update_Card_Graphics, which copies the whole card panel into the current side's
// Card_Property and asks for a redraw; the card base drawing then shows the result.
// The fields are written directly: nothing here records an undo step.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"
#include "canvas/QLNZoomingScrollView.h"

#include "core/Globals.h"
#include "core/QLNText.h"
#include "core/Utilities.h"

#include "platform/ControlActions.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QUrl>

#include <exception>
#include <typeinfo>

namespace {

const QStringList BorderCodes = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"), QStringLiteral("DD"),
                                 QStringLiteral("DDD")};

// The picture files a background may be made of.
const QStringList BackgroundExtensions = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                          QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                                          QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};

// `colour` with its alpha replaced by `alpha`; an absent colour stays absent.
QColor withAlpha(QColor colour, float alpha) {
  if (colour.isValid())
    colour.setAlphaF(alpha);
  return colour;
}

// The fill radios of one style on (the others off) and the fill controls of that style
// enabled, the others disabled; the fill box itself stays as its check box set it.
struct FillChoice {
  bool solid, gradient, hatch, picture;
};

void applyFillChoice(DrawWindow *ui, const FillChoice &choice) {
  controls::setCheckedQuietly(ui->Card_solid_fill_rd, choice.solid);
  controls::setCheckedQuietly(ui->Card_gradient_fill_rd, choice.gradient);
  controls::setCheckedQuietly(ui->Card_Style_fill_rd, choice.hatch);
  controls::setCheckedQuietly(ui->Card_Image_fill_rd, choice.picture);
  ui->Card_fill_clr->setEnabled(choice.solid);
  for (QWidget *control : {static_cast<QWidget *>(ui->Card_fill_Grd_1_clr), static_cast<QWidget *>(ui->Card_fill_Grd_2_clr),
                           static_cast<QWidget *>(ui->Card_grad_Text), static_cast<QWidget *>(ui->Card_grad_Stepper)})
    control->setEnabled(choice.gradient);
  ui->Card_hatch_style->setEnabled(choice.hatch);
  ui->Card_hatch_bk_clr->setEnabled(choice.hatch);
  SetObjEnabled(ui->Card_image_box, choice.picture);
}

}  // namespace

// ---- Update_Card_Graphics ---------------------------------------------------------------------------

void QLNWindowController::Update_Card_Graphics() {
  // 1. The panel is being filled by code: nothing is written back.
  if (Not_Draw_Only_Prop_Change != 0)
    return;
  // 2. The current side's settings.
  const bool back = Card_Front_Or_Back.load() != 0;
  Card_Property &side = back ? Back_card_Prop : Front_card_Prop;
  // 3. The opacity as a fraction.
  const float alpha = ui->Card_alpha_Stepper->floatValue() / 100.0f;

  // 4. The whole panel, in order. The border colour and width are kept while the border
  //    is off; the fill colour while the fill is off.
  const bool border = ui->Card_border_chk->isChecked();
  side.setCard_border_chk(border);
  if (border) {
    side.setCard_bordr_clr(ui->Card_bordr_clr->color());
    side.setCard_bor_Stepper(ui->Card_bor_Stepper->intValue());
  }
  const int borderIndex = ui->Card_border_style->currentIndex();
  if (borderIndex >= 0 && borderIndex < BorderCodes.size())
    side.setCard_border_style(BorderCodes.at(borderIndex));
  const bool fill = ui->Card_fill_chk->isChecked();
  side.setCard_fill_chk(fill);
  if (fill)
    side.setCard_fill_clr(withAlpha(ui->Card_fill_clr->color(), alpha));
  QString style = QStringLiteral("S");
  // The back takes the radios only while its fill is on; the front always.
  if (!back || fill) {
    if (ui->Card_gradient_fill_rd->isChecked())
      style = QStringLiteral("G");
    else if (ui->Card_Style_fill_rd->isChecked())
      style = QStringLiteral("H");
    else if (ui->Card_Image_fill_rd->isChecked())
      style = QStringLiteral("I");
  }
  side.setCard_fill_style(style);
  side.setCard_fill_Grd_1_clr(withAlpha(ui->Card_fill_Grd_1_clr->color(), alpha));
  side.setCard_fill_Grd_2_clr(withAlpha(ui->Card_fill_Grd_2_clr->color(), alpha));
  side.setCard_grad_Stepper(ui->Card_grad_Stepper->intValue());
  side.setCard_hatch_bk_clr(withAlpha(ui->Card_hatch_bk_clr->color(), alpha));
  side.setCard_hatch_style(ui->Card_hatch_style->currentIndex() >= 0 ? ui->Card_hatch_style->currentText() : QString());
  side.setCard_BG_Image_Path(ui->Card_Image_path->text());
  side.setCard_BG_Image_Layout(ui->Card_image_layout->currentIndex() >= 0 ? ui->Card_image_layout->currentText()
                                                                          : QString());
  side.setCard_alpha_Stepper(alpha);
  side.setCard_Content_clr(ui->All_Text_clr->color());
  side.setCard_Content_font(All_Text_font());
  // The number of sides and the shape belong to the whole card: both sides' settings
  // take them, so that the design keeps them whichever side they were chosen on (the
  // design file gives them back from the front's settings).
  const QString sides = QString::number(ui->Sides_ComboBox->currentIndex() == 0 ? 2 : 1);
  const int shape = Card_Shape.load();
  const QString shapeCode = shape == 0 ? QStringLiteral("R") : shape == 1 ? QStringLiteral("RR") : QStringLiteral("E");
  for (Card_Property *record : {&Front_card_Prop, &Back_card_Prop}) {
    record->setCard_Side(sides);
    record->setCard_Shape(shapeCode);
  }
  side.setCard_Side_Name(Card_Front_Or_Back.load() == 1 ? QStringLiteral("B") : QStringLiteral("F"));
  const QString name = Trim_Str(ui->card_name->text());
  side.setCard_Name(name.isEmpty() ? QStringLiteral("Untitled") : name);
  const QRectF canvas = frontCanvasBounds();
  side.setCard_Location(canvas.topLeft());
  side.setCard_Size(canvas.size());
  side.setCard_Preset(ui->Preset_ComboBox->currentIndex() >= 0 ? ui->Preset_ComboBox->currentText() : QString());
  side.setCard_Category(ui->Category_ComboBox->currentIndex() >= 0 ? ui->Category_ComboBox->currentText() : QString());
  const QModelIndexList rows = ui->ColList->selectionModel()->selectedRows();
  const int row = rows.isEmpty() ? -1 : rows.first().row();
  side.setCard_Sub_Category(row >= 0 ? Get_Item_Text(row) : QString());
  side.setCard_Cat_index(row);
  side.setCard_Create_Mode(QStringLiteral("W"));

  // 5. The card is drawn anew; the backgrounds list shows the front's background.
  Refresh_Canvas();
  showFrontBackgroundInList();
}

// ---- Border, fill, gradient and opacity ----------------------------------------------------------

void QLNWindowController::Set_Card_Clr(QObject *) { Update_Card_Graphics(); }

void QLNWindowController::Card_Border_ChkBox(QObject *) {
  SetObjEnabled(ui->Card_Border_Box, ui->Card_border_chk->isChecked());
  Update_Card_Graphics();
}

void QLNWindowController::Card_Border_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Card_bor_Stepper, ui->Card_bor_Text);
  Update_Card_Graphics();
}

void QLNWindowController::Card_Fill_Chk_Box(QObject *) {
  SetObjEnabled(ui->Card_Fill_Box, ui->Card_fill_chk->isChecked());
  // The fill controls of the style the side has stored.
  const Card_Property &side = Card_Front_Or_Back.load() == 1 ? Back_card_Prop : Front_card_Prop;
  card_prop_set(side.Card_fill_style());
  Update_Card_Graphics();
}

void QLNWindowController::Card_Gradient_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Card_grad_Stepper, ui->Card_grad_Text);
  Update_Card_Graphics();
}

void QLNWindowController::Card_Alpha_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Card_alpha_Stepper, ui->Card_alpha_Text);
  Update_Card_Graphics();
}

void QLNWindowController::Card_Solid_RD_Sel(QObject *) {
  applyFillChoice(ui, {true, false, false, false});
  Update_Card_Graphics();
}

void QLNWindowController::Card_Gradient_RD_Sel(QObject *) {
  applyFillChoice(ui, {false, true, false, false});
  Update_Card_Graphics();
}

void QLNWindowController::Card_Hatch_RD_Sel(QObject *) {
  applyFillChoice(ui, {false, false, true, false});
  Update_Card_Graphics();
}

void QLNWindowController::Card_Image_RD_Sel(QObject *) {
  applyFillChoice(ui, {false, false, false, true});
  Update_Card_Graphics();
}

// ---- Background picture ---------------------------------------------------------------------------

void QLNWindowController::Card_Image_Browse_Btn(QObject *) {
  FilePanelOptions options;
  options.title = QStringLiteral("Choose a Background Picture");
  options.extensions = BackgroundExtensions;
  const QString chosen = UiServices::instance().openFile(options);
  if (chosen.isEmpty())
    return;
  const QString path = Convert_Path_From_URL(QUrl::fromLocalFile(chosen));
  // The side keeps a reference to the file (its path, written into the design) and the
  // picture read from it. A file that cannot be read would leave the side filled with
  // nothing: it is refused, and the side keeps the background it had.
  QString error;
  if (PointImage::load(path, &error).isNull()) {
    Show_MessageBox(QStringLiteral("The picture \"%1\" cannot be used as the card's background: %2")
                        .arg(path, error.isEmpty() ? QStringLiteral("it cannot be read") : error));
    return;
  }
  // Installing the picture shows the card tabs with the side's new fill (picture fill
  // on), so that the update below keeps it.
  if (Card_Front_Or_Back.load() != 0)
    set_Back_BG_Image(path);
  else
    set_Front_BG_Image(path);
  Update_Card_Graphics();
}

// ---- Size and shape -----------------------------------------------------------------------------

void QLNWindowController::Apply_Size_Clicked(QObject *) {
  // 1. - 2. The size fields hold millimetres; the canvases take points.
  const QSizeF size(MM_to_Points_Convert(ui->width_Stepper->floatValue()),
                    MM_to_Points_Convert(ui->height_Stepper->floatValue()));
  // 3. The three canvases take the size.
  Set_Document_Size(size);
  SetDocumentCanvasSize(size);
  // 4. The scroll view around the front canvas is redrawn.
  if (ui->_zoomingScrollView)
    ui->_zoomingScrollView->viewport()->update();
  // 5. The content, then the whole card panel, into the side's settings.
  Update_All_Card_Content();
}

void QLNWindowController::card_shape_CellClick(QObject *sender) {
  const int row = ui->matrix_card_shape->selectedRow();
  if (row >= 0)
    Card_Shape = row;
  Apply_Size_Clicked(sender);
  Refresh_Canvas();
}

void QLNWindowController::Card_Width_Changed(QObject *sender) {
  if (copyStepperToField(sender, ui->width_Stepper, ui->width_Text, StepperCopy::FloatValue))
    Apply_Size_Clicked(sender);
}

void QLNWindowController::Card_Height_Changed(QObject *sender) {
  if (copyStepperToField(sender, ui->height_Stepper, ui->height_Text, StepperCopy::FloatValue))
    Apply_Size_Clicked(sender);
}

// ---- Content colour and font ------------------------------------------------------------------------

void QLNWindowController::Update_All_Card_Content() {
  // 1. The current side's objects.
  const QLNGraphicList objects = Card_Front_Or_Back.load() != 0 ? Get_Back_Controls_Array() : Get_Front_Controls_Array();
  // 2. Only what the user changed since the card tabs were filled reaches the texts.
  const QColor colour = ui->All_Text_clr->color();
  const bool colourChanged = colour != ui->All_Text_clr_COPY->color();
  const FontSpec font = All_Text_font();
  const bool fontChanged = !All_Text_font_COPY || !(font == *All_Text_font_COPY);
  // 3. Texts alone (not a kind derived from them); written directly, without undo.
  for (const QLNGraphicPtr &graphic : objects) {
    if (!graphic)
      continue;
    if (const QLNGraphic &kind = *graphic; typeid(kind) != typeid(QLNText))
      continue;
    if (colourChanged)
      graphic->txt_clr = colour;
    if (fontChanged)
      graphic->text_ctrl_font = font;
  }
  // 4.
  Update_Card_Graphics();
}

void QLNWindowController::Contect_Color_Clicked(QObject *) { Update_All_Card_Content(); }

void QLNWindowController::Content_Font_Clicked(QObject *) {
  const std::optional<QFont> chosen =
      UiServices::instance().chooseFont(All_Text_font().toQFont(), QStringLiteral("Font of All Texts"));
  if (chosen)
    changeAllTextFont(*chosen);
}

void QLNWindowController::changeAllTextFont(const QFont &chosen) {
  try {
    // The chosen face keeps the content font's own name when it is still that face.
    const FontSpec converted = FontSpec::fromQFont(chosen, All_Text_font());
    setAll_Text_font(converted);
    ui->All_Text_font_value->setText(QStringLiteral("%1 ( %2 )").arg(
        converted.postScriptName(), QString::number(converted.pointSize(), 'f', 2)));
    Update_All_Card_Content();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

// ---- Connections ---------------------------------------------------------------------------------------

void QLNWindowController::connectCardSettingsActions() {
  if (m_cardSettingsConnected)
    return;
  m_cardSettingsConnected = true;

  for (ColorWell *well : {ui->Card_bordr_clr, ui->Card_fill_clr, ui->Card_fill_Grd_1_clr, ui->Card_fill_Grd_2_clr,
                          ui->Card_hatch_bk_clr})
    connect(well, &ColorWell::colorChosen, this, [this, well] { Set_Card_Clr(well); });
  controls::onAction(ui->Card_border_chk, this, [this] { Card_Border_ChkBox(ui->Card_border_chk); });
  controls::onAction(ui->Card_fill_chk, this, [this] { Card_Fill_Chk_Box(ui->Card_fill_chk); });

  // Each stepper and the field beside it; a typed value reaches the stepper first
  // (linkStepperAndField connected that when the panel was built).
  struct Pair {
    Stepper *stepper;
    QLineEdit *field;
    void (QLNWindowController::*action)(QObject *);
  };
  const Pair pairs[] = {{ui->Card_bor_Stepper, ui->Card_bor_Text, &QLNWindowController::Card_Border_Changed},
                        {ui->Card_grad_Stepper, ui->Card_grad_Text, &QLNWindowController::Card_Gradient_Changed},
                        {ui->Card_alpha_Stepper, ui->Card_alpha_Text, &QLNWindowController::Card_Alpha_Changed},
                        {ui->width_Stepper, ui->width_Text, &QLNWindowController::Card_Width_Changed},
                        {ui->height_Stepper, ui->height_Text, &QLNWindowController::Card_Height_Changed}};
  for (const Pair &pair : pairs) {
    connect(pair.stepper, &Stepper::stepped, this, [this, pair] { (this->*pair.action)(pair.stepper); });
    connect(pair.field, &QLineEdit::editingFinished, this, [this, pair] { (this->*pair.action)(pair.field); });
  }

  controls::onAction(ui->Card_solid_fill_rd, this, [this] { Card_Solid_RD_Sel(ui->Card_solid_fill_rd); });
  controls::onAction(ui->Card_gradient_fill_rd, this, [this] { Card_Gradient_RD_Sel(ui->Card_gradient_fill_rd); });
  controls::onAction(ui->Card_Style_fill_rd, this, [this] { Card_Hatch_RD_Sel(ui->Card_Style_fill_rd); });
  controls::onAction(ui->Card_Image_fill_rd, this, [this] { Card_Image_RD_Sel(ui->Card_Image_fill_rd); });
  connect(ui->Card_Image_Browse_btn, &QPushButton::clicked, this,
          [this] { Card_Image_Browse_Btn(ui->Card_Image_Browse_btn); });
  connect(ui->Apply_Size_btn, &QPushButton::clicked, this, [this] { Apply_Size_Clicked(ui->Apply_Size_btn); });
  connect(ui->matrix_card_shape, &RadioMatrix::cellClicked, this,
          [this] { card_shape_CellClick(ui->matrix_card_shape); });
  connect(ui->All_Text_clr, &ColorWell::colorChosen, this, [this] { Contect_Color_Clicked(ui->All_Text_clr); });
  connect(ui->Content_Font_btn, &QPushButton::clicked, this, [this] { Content_Font_Clicked(ui->Content_Font_btn); });
  connect(ui->card_name, &QLineEdit::editingFinished, this, [this] { Update_Card_Graphics(); });
  controls::onAction(ui->Card_Image_Library_btn, this,
                     [this] { Card_Image_Library_Btn(ui->Card_Image_Library_btn); });
  // The card's combos report to the combo dispatcher (connectComboBoxes).
}
