// The actions of the object tabs of the property panel: shape, line, text, image and
// signature. Each tab has one update that copies the whole tab into every selected
// object of the current side and asks for a redraw; the actions of the tab's controls
// keep the panel consistent (value fields beside steppers, boxes enabled by their check
// boxes, the controls of the chosen fill) and then run the update. The text tab adds
// editing of the text itself (placeholder, length, date and time, font, built-in
// titles and messages); the image tab the picture's adjustments and their reset, and
// the two ways of choosing a picture (the open panel and the picture library).
//
// The fields are written directly, as the card tabs do: nothing here records an undo
// step or sends a change notification, and a locked object takes the values as well.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/Image_Library.h"
#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"
#include "core/Utilities.h"

#include "platform/ControlActions.h"
#include "platform/Log.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QThread>
#include <QUrl>

#include <exception>

QString lib_window_sel_file;

namespace {

const QStringList BorderCodes = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"), QStringLiteral("DD"),
                                 QStringLiteral("DDD")};

// The placeholder a new text object shows; typing removes it.
const QString TextPlaceholder = QStringLiteral("Text here");

// The border style code of the combo's selection; an index outside the five codes
// leaves the object's code as it is.
void writeBorderStyle(QLNGraphic &graphic, const QComboBox *combo) {
  const int index = combo->currentIndex();
  if (index >= 0 && index < BorderCodes.size())
    graphic._stroke_border_type = BorderCodes.at(index);
}

// The border of a tab: on or off; colour and width only while it is on, so that turning
// the border off keeps what it was.
void writeBorder(QLNGraphic &graphic, const QCheckBox *check, const ColorWell *colour, const Stepper *width) {
  graphic._isDrawingStroke = check->isChecked();
  if (graphic._isDrawingStroke) {
    graphic._strokeColor = colour->color();
    graphic._strokeWidth = width->intValue();
  }
}

// The first `limit` UTF-16 units of `text`, one less when the cut would fall between the
// two halves of a character outside the basic plane (that character is left out whole).
QString cutToLength(const QString &text, int limit) {
  if (text.size() <= limit)
    return text;
  int end = limit;
  if (end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
    --end;
  return text.left(end);
}

}  // namespace

// ---- Selection ----------------------------------------------------------------------------------

QLNGraphicList QLNWindowController::selectedObjectsOfCurrentSide() const {
  // The temp side is never edited through the panel.
  QLNGraphicView *view = Card_Front_Or_Back.load() != 0 ? backView() : frontView();
  QLNGraphicList objects;
  if (!view)
    return objects;
  for (const QLNGraphicPtr &graphic : view->selectedGraphics())
    if (graphic)
      objects.append(graphic);
  return objects;
}

QLNGraphicPtr QLNWindowController::pictureObjectOfPanel() const {
  const QLNGraphicList selected = selectedObjectsOfCurrentSide();
  if (const QLNGraphicPtr shown = shownGraphic(); shown && selected.contains(shown))
    return shown;
  const QLNGraphicPtr current = selectedObjectOfCurrentSide();
  return current && selected.contains(current) ? current : QLNGraphicPtr();
}

// ---- The updates ------------------------------------------------------------------------------------

void QLNWindowController::Update_Shape_Graphics() {
  if (Not_Draw_Only_Prop_Change != 0)
    return;
  const QLNGraphicList objects = selectedObjectsOfCurrentSide();
  if (objects.isEmpty())
    return;
  for (const QLNGraphicPtr &graphic : objects) {
    QLNGraphic &object = *graphic;
    writeBorder(object, ui->Shape_border_chk, ui->shape_bordr_clr, ui->shape_bor_Stepper);
    writeBorderStyle(object, ui->shape_border_style);
    object._isDrawingFill = ui->Shape_fill_chk->isChecked();
    if (object._isDrawingFill)
      object._fillColor = ui->shape_fill_clr->color();
    // The radios count only while the fill is on.
    QString fillType = QStringLiteral("S");
    if (object._isDrawingFill) {
      if (ui->Shape_gradient_fill_rd->isChecked())
        fillType = QStringLiteral("G");
      else if (ui->Shape_Style_fill_rd->isChecked())
        fillType = QStringLiteral("H");
    }
    object._fill_type = fillType;
    object._fill_Grad_clr1 = ui->shape_fill_Grd_1_clr->color();
    object._fill_Grad_clr2 = ui->shape_fill_Grd_2_clr->color();
    object._fill_grad_angle = ui->shape_grad_Stepper->floatValue();
    object._fill_htch_clr = ui->shape_hatch_bk_clr->color();
    object._fill_hatch_type =
        ui->shape_hatch_style->currentIndex() >= 0 ? ui->shape_hatch_style->currentText() : QString();
    object.alpha_val = ui->shape_alpha_Stepper->floatValue() / 100.0f;
    object.cor_rad_val_val = ui->shape_cor_radius_Stepper->floatValue();
    object.double_star_type = ui->double_star_Stepper->intValue();
    object.polygon_type = ui->polygon_Stepper->intValue();
    object.print_object = ui->print_object_chk->isChecked() ? 1 : 0;
  }
  Refresh_Canvas();
}

void QLNWindowController::Update_Line_Graphics() {
  if (Not_Draw_Only_Prop_Change != 0)
    return;
  const QLNGraphicList objects = selectedObjectsOfCurrentSide();
  if (objects.isEmpty())
    return;
  for (const QLNGraphicPtr &graphic : objects) {
    QLNGraphic &object = *graphic;
    object._isDrawingStroke = true;
    object._strokeColor = ui->Line_clr->color();
    object._strokeWidth = ui->Line_Wdt_Stepper->intValue();
    object.print_object = ui->print_object_chk->isChecked() ? 1 : 0;
    writeBorderStyle(object, ui->Line_border_style);
    object._line_cap_style = std::max(0, ui->Line_cap_style->currentIndex());
    object._line_ori = std::max(0, ui->Line_ori_style->currentIndex());
    object.alpha_val_stroke = ui->Line_alpha_Stepper->floatValue() / 100.0f;
  }
  Refresh_Canvas();
}

void QLNWindowController::Update_Text_Graphics() {
  if (Not_Draw_Only_Prop_Change != 0)
    return;
  const QLNGraphicList objects = selectedObjectsOfCurrentSide();
  if (objects.isEmpty())
    return;
  const bool single = objects.size() == 1;
  for (const QLNGraphicPtr &graphic : objects) {
    QLNGraphic &object = *graphic;
    object.print_object = ui->print_object_chk->isChecked() ? 1 : 0;
    writeBorder(object, ui->Text_border_chk, ui->Text_bordr_clr, ui->Text_bor_Stepper);
    writeBorderStyle(object, ui->Text_border_style);
    object._isDrawingFill = ui->Text_fill_chk->isChecked();
    if (object._isDrawingFill)
      object._fillColor = ui->Text_fill_clr->color();
    object._fill_type =
        object._isDrawingFill && ui->Text_gradient_fill_rd->isChecked() ? QStringLiteral("G") : QStringLiteral("S");
    object._fill_Grad_clr1 = ui->Text_fill_Grd_1_clr->color();
    object._fill_Grad_clr2 = ui->Text_fill_Grd_2_clr->color();
    object._fill_grad_angle = ui->Text_grad_Stepper->floatValue();
    object.txt_clr = ui->Text_clr->color();
    object.text_ctrl_font = Text_font;
    // With several objects selected the editor shows only one of them: no text is
    // replaced.
    if (single) {
      if (const QLNTextStoragePtr storage = object.Text_contents())
        replaceCharacters(*storage, ui->Text_value_Edit->toPlainText());
    }
    object.alpha_val = ui->Text_alpha_Stepper->floatValue() / 100.0f;
    object.text_alignmnet = ui->Text_align_combo->currentIndex();
    object.text_transfrom_case = ui->Text_case_combo->currentIndex();
    object.text_kerning = ui->Text_Kern_Stepper->floatValue();
  }
  Refresh_Canvas();
}

void QLNWindowController::Update_Image_Graphics() {
  if (Not_Draw_Only_Prop_Change != 0)
    return;
  const QLNGraphicList objects = selectedObjectsOfCurrentSide();
  if (objects.isEmpty())
    return;
  const QString path = ui->Manual_image_path->text();
  const QLNGraphicPtr pathOwner = pictureObjectOfPanel();
  for (const QLNGraphicPtr &graphic : objects) {
    QLNGraphic &object = *graphic;
    Show_NSLog_Message(QStringLiteral("Txt path - %1\nGraphic Path - %2\n")
                           .arg(QFileInfo(path).fileName(), QFileInfo(object._file_path).fileName()));
    object.print_object = ui->print_object_chk->isChecked() ? 1 : 0;
    writeBorder(object, ui->Image_border_chk, ui->Image_bordr_clr, ui->Image_bor_Stepper);
    writeBorderStyle(object, ui->Image_border_style);
    object._isFlippedHorizontally = ui->Image_FIH_chk->isChecked();
    object._isFlippedVertically = ui->Image_FIV_chk->isChecked();
    object.invert_clr = ui->Image_Invert_chk->isChecked();
    object.gray_Scale = ui->Image_Gray_Scale_chk->isChecked();
    object.Sepia = ui->Image_Sepia_chk->isChecked();
    // The opacity is kept in per cent, as the slider shows it.
    object.img_trnsp_val = ui->Trsp_slidr->floatValue();
    object.rotate_image = ui->Rotate_slidr->floatValue();
    object.hue_val = ui->Hue_slidr->floatValue();
    object.sat_val = ui->Sat_slidr->floatValue();
    object.brt_val = ui->Brt_slidr->floatValue();
    object.con_val = ui->Con_slidr->floatValue();
    object.srp_val = ui->shrp_slidr->floatValue();
    object.ev_val = ui->ev_slidr->floatValue();
    object.blr_val = ui->blr_slidr->floatValue();
    // The path only, and only into the object whose path the panel shows: the others
    // keep their own pictures. The picture is loaded from it by the browse buttons.
    if (graphic == pathOwner)
      object._file_path = path;
  }
  Refresh_Canvas();
}

void QLNWindowController::Update_Sign_Graphics() {
  if (Not_Draw_Only_Prop_Change != 0)
    return;
  const QLNGraphicList objects = selectedObjectsOfCurrentSide();
  if (objects.isEmpty())
    return;
  const QLNGraphicPtr pathOwner = pictureObjectOfPanel();
  for (const QLNGraphicPtr &graphic : objects) {
    QLNGraphic &object = *graphic;
    object.print_object = ui->print_object_chk->isChecked() ? 1 : 0;
    writeBorder(object, ui->Sign_border_chk, ui->Sign_bordr_clr, ui->Sign_bor_Stepper);
    writeBorderStyle(object, ui->Sign_border_style);
    // The path goes only into the object whose path the panel shows; a signature loads
    // the picture of a changed path when it is next drawn.
    if (graphic == pathOwner)
      object._file_path = ui->Sign_image_path->text();
  }
  Refresh_Canvas();
}

// ---- Shape tab ---------------------------------------------------------------------------------------

void QLNWindowController::Set_Control_Clr(QObject *) { Update_Shape_Graphics(); }

void QLNWindowController::Shape_Border_ChkBox(QObject *) {
  SetObjEnabled(ui->Shape_Border_Box, ui->Shape_border_chk->isChecked());
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Fill_Chk_Box(QObject *) {
  SetObjEnabled(ui->Shape_Fill_Box, ui->Shape_fill_chk->isChecked());
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Border_Changed(QObject *sender) {
  copyStepperToField(sender, ui->shape_bor_Stepper, ui->shape_bor_Text);
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Gradient_Changed(QObject *sender) {
  copyStepperToField(sender, ui->shape_grad_Stepper, ui->shape_grad_Text);
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Alpha_Changed(QObject *sender) {
  copyStepperToField(sender, ui->shape_alpha_Stepper, ui->shape_alpha_Text);
  Update_Shape_Graphics();
}

void QLNWindowController::Double_Star_Shape_Changed(QObject *sender) {
  copyStepperToField(sender, ui->double_star_Stepper, ui->double_star_Text);
  Update_Shape_Graphics();
}

void QLNWindowController::Polygon_Shape_Changed(QObject *sender) {
  copyStepperToField(sender, ui->polygon_Stepper, ui->polygon_Text);
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Corner_Radius_Changed(QObject *sender) {
  copyStepperToField(sender, ui->shape_cor_radius_Stepper, ui->shape_cor_radius_Text, StepperCopy::FloatValue);
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Solid_RD_Sel(QObject *) {
  ui->showShapeFill(false, false);
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Gradient_RD_Sel(QObject *) {
  ui->showShapeFill(true, false);
  Update_Shape_Graphics();
}

void QLNWindowController::Shape_Hatch_RD_Sel(QObject *) {
  ui->showShapeFill(false, true);
  Update_Shape_Graphics();
}

// ---- Line tab ----------------------------------------------------------------------------------------

void QLNWindowController::Set_LineControl_Clr(QObject *) { Update_Line_Graphics(); }

void QLNWindowController::Line_Alpha_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Line_alpha_Stepper, ui->Line_alpha_Text);
  Update_Line_Graphics();
}

void QLNWindowController::Line_Width_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Line_Wdt_Stepper, ui->Line_Wdt_Text);
  Update_Line_Graphics();
}

// ---- Text tab ------------------------------------------------------------------------------------------

void QLNWindowController::Set_TextControl_Clr(QObject *) { Update_Text_Graphics(); }

void QLNWindowController::Text_Border_ChkBox(QObject *) {
  SetObjEnabled(ui->Text_Border_Box, ui->Text_border_chk->isChecked());
  Update_Text_Graphics();
}

void QLNWindowController::Text_Fill_Chk_Box(QObject *) {
  SetObjEnabled(ui->Text_Fill_Box, ui->Text_fill_chk->isChecked());
  Update_Text_Graphics();
}

void QLNWindowController::Text_Border_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Text_bor_Stepper, ui->Text_bor_Text);
  Update_Text_Graphics();
}

void QLNWindowController::Text_Gradient_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Text_grad_Stepper, ui->Text_grad_Text);
  Update_Text_Graphics();
}

void QLNWindowController::Text_Alpha_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Text_alpha_Stepper, ui->Text_alpha_Text);
  Update_Text_Graphics();
}

void QLNWindowController::Text_Kerning_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Text_Kern_Stepper, ui->Text_Kern_Text, StepperCopy::FloatValue);
  Update_Text_Graphics();
}

void QLNWindowController::Text_Solid_RD_Sel(QObject *) {
  ui->showTextFill(false);
  Update_Text_Graphics();
}

void QLNWindowController::Text_Gradient_RD_Sel(QObject *) {
  ui->showTextFill(true);
  Update_Text_Graphics();
}

void QLNWindowController::Text_Font_Changed(QObject *) {
  const std::optional<QFont> chosen = UiServices::instance().chooseFont(Text_font.toQFont(), QStringLiteral("Font of the Text"));
  if (chosen)
    changeTextFont(*chosen);
  else
    Update_Text_Graphics();
}

void QLNWindowController::changeTextFont(const QFont &chosen) {
  try {
    // The chosen face keeps the text font's own name when it is still that face.
    Text_font = FontSpec::fromQFont(chosen, Text_font);
    ui->Text_font_value->setText(
        QStringLiteral("%1 ( %2 )").arg(Text_font.postScriptName(), QString::number(Text_font.pointSize(), 'f', 2)));
    Update_Text_Graphics();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

namespace {

// The current date or time, in the format of the combo's selection, replaces the
// editor's selection; without a format the message and no change.
bool insertNow(QComboBox *formats, QPlainTextEdit *editor, const QString &missingMessage, bool date) {
  const QString pattern = Trim_Str(formats->currentIndex() >= 0 ? formats->currentText() : QString());
  if (pattern.isEmpty()) {
    Show_MessageBox(missingMessage);
    return false;
  }
  const QString text =
      date ? QLNWindowController::Get_date_Value(pattern) : QLNWindowController::Get_time_Value(pattern);
  editor->textCursor().insertText(text);
  return true;
}

}  // namespace

void QLNWindowController::Text_Insert_Date(QObject *) {
  if (insertNow(ui->Text_Date_style, ui->Text_value_Edit, QStringLiteral("Please select Date format."), true))
    Update_Text_Graphics();
}

void QLNWindowController::Text_Insert_Time(QObject *) {
  if (insertNow(ui->Text_Time_style, ui->Text_value_Edit, QStringLiteral("Please select Time format."), false))
    Update_Text_Graphics();
}

void QLNWindowController::textDidChange(QObject *sender) {
  if (sender != ui->Text_value_Edit)
    return;
  // The panel filling the editor from the object is not an edit.
  if (Not_Draw_Only_Prop_Change != 0)
    return;
  try {
    QPlainTextEdit *editor = ui->Text_value_Edit;
    const QString typed = editor->toPlainText();
    QString text = typed;
    // The cursor's distance from the end is kept, so that typing goes on where it was.
    const qsizetype fromEnd = typed.size() - editor->textCursor().position();
    if (Find_Str(text, TextPlaceholder))
      text = Replace_char_in_string(text, TextPlaceholder, QString());
    text = cutToLength(text, MaxTextLength);
    if (text != typed) {
      const QSignalBlocker quiet(editor);
      editor->setPlainText(text);
      QTextCursor cursor = editor->textCursor();
      cursor.setPosition(int(std::clamp<qsizetype>(text.size() - fromEnd, 0, text.size())));
      editor->setTextCursor(cursor);
    }
    Update_Text_Graphics();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNWindowController::Insert_Template_Button(QObject *) {
  if (!hooks().runTemplatePicker)
    return;
  const QString mode =
      ui->insert_template_btn->text() == QLatin1String("Use Template Title") ? QStringLiteral("T") : QStringLiteral("M");
  if (hooks().runTemplatePicker(mode) != 1)
    return;
  ui->Text_value_Edit->setPlainText(Template_Msg_Val);
  Update_Text_Graphics();
}

// ---- Pictures ----------------------------------------------------------------------------------------------

int QLNWindowController::Open_Image_Library_Window(const QString &mode) {
  Image_Library *library = Image_Library::defaultInstance();
  if (!library)
    return 0;
  library->control_or_BG = mode;
  // The backgrounds open on the side's own background, which the window then shows
  // selected, even when it was chosen elsewhere (the main window's list) after an
  // earlier pick in the library.
  if (mode == QLatin1String("B")) {
    const QString current =
        (Card_Front_Or_Back.load() != 0 ? Back_card_Prop : Front_card_Prop).Card_BG_Image_Path();
    if (!current.isEmpty())
      library->selected_image = current;
  }
  const int result = library->Open_Library_Window();
  if (result == 1)
    lib_window_sel_file = library->selected_image;
  return result;
}

namespace {

// The object whose path the panel shows gets the chosen picture (loaded from the path).
void givePanelObjectPicture(const QLNGraphicPtr &object, const QString &path) {
  // Only an image object has a picture of its own to load (the panel shows the picture
  // buttons for images alone).
  if (const auto image = std::dynamic_pointer_cast<QLNImage>(object))
    image->setFilePath(path);
}

}  // namespace

void QLNWindowController::Manual_Image_Browse_Btn(QObject *) {
  if (!Browse_User_Image_Manually())
    return;
  givePanelObjectPicture(pictureObjectOfPanel(), Library_Selected_Image);
  Update_Image_Graphics();
}

void QLNWindowController::Manual_Library_Browse_Btn(QObject *) {
  if (Open_Image_Library_Window(QStringLiteral("C")) != 1)
    return;
  Library_Selected_Image = lib_window_sel_file;
  ui->Manual_image_path->setText(Library_Selected_Image);
  givePanelObjectPicture(pictureObjectOfPanel(), Library_Selected_Image);
  Update_Image_Graphics();
}

void QLNWindowController::Set_ImageControl_Clr(QObject *) { Update_Image_Graphics(); }

void QLNWindowController::Image_Border_ChkBox(QObject *) {
  SetObjEnabled(ui->Image_Border_Box, ui->Image_border_chk->isChecked());
  Update_Image_Graphics();
}

void QLNWindowController::Image_Border_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Image_bor_Stepper, ui->Image_bor_Text);
  Update_Image_Graphics();
}

void QLNWindowController::Image_Gray_Scale_Chked(QObject *) { Update_Image_Graphics(); }
void QLNWindowController::Image_Sepia_Chked(QObject *) { Update_Image_Graphics(); }
void QLNWindowController::Image_Invert_Chked(QObject *) { Update_Image_Graphics(); }
void QLNWindowController::Image_FIV_Chked(QObject *) { Update_Image_Graphics(); }
void QLNWindowController::Image_FIH_Chked(QObject *) { Update_Image_Graphics(); }

namespace {

void showSliderValue(const ValueSlider *slider, QLabel *label) { label->setText(fieldNumber(slider->doubleValue())); }

}  // namespace

void QLNWindowController::sharp_Slider_Changed(QObject *) {
  showSliderValue(ui->shrp_slidr, ui->shrp_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::EV_Slider_Changed(QObject *) {
  showSliderValue(ui->ev_slidr, ui->ev_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::Blr_Slider_Changed(QObject *) {
  showSliderValue(ui->blr_slidr, ui->blr_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::Sat_Slider_Changed(QObject *) {
  showSliderValue(ui->Sat_slidr, ui->Sat_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::Brt_Slider_Changed(QObject *) {
  showSliderValue(ui->Brt_slidr, ui->Brt_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::Con_Slider_Changed(QObject *) {
  showSliderValue(ui->Con_slidr, ui->Con_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::Hue_Slider_Changed(QObject *) {
  showSliderValue(ui->Hue_slidr, ui->Hue_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::Transperncy_Slider_Changed(QObject *) {
  showSliderValue(ui->Trsp_slidr, ui->Trsp_slidr_val);
  Update_Image_Graphics();
}

void QLNWindowController::Reset_Image_Editing_Controls() {
  // Objects made off the GUI thread (a design read by a worker) leave the panel alone.
  if (!ui || QThread::currentThread() != thread())
    return;
  const struct {
    ValueSlider *slider;
    QLabel *label;
    double neutral;
  } sliders[] = {{ui->Rotate_slidr, ui->Rotate_slidr_val, 0.0}, {ui->Trsp_slidr, ui->Trsp_slidr_val, 100.0},
                 {ui->Hue_slidr, ui->Hue_slidr_val, 0.0},       {ui->Sat_slidr, ui->Sat_slidr_val, 1.0},
                 {ui->Brt_slidr, ui->Brt_slidr_val, 0.0},       {ui->Con_slidr, ui->Con_slidr_val, 1.0},
                 {ui->shrp_slidr, ui->shrp_slidr_val, 0.0},     {ui->ev_slidr, ui->ev_slidr_val, 0.0},
                 {ui->blr_slidr, ui->blr_slidr_val, 0.0}};
  for (const auto &entry : sliders) {
    entry.slider->setDoubleValue(entry.neutral);
    entry.label->setText(fieldNumber(entry.neutral));
  }
  for (QCheckBox *check : std::initializer_list<QCheckBox *>{ui->Image_Gray_Scale_chk, ui->Image_Sepia_chk,
                                                             ui->Image_Invert_chk, ui->Image_FIV_chk,
                                                             ui->Image_FIH_chk})
    controls::setCheckedQuietly(check, false);
}

void QLNWindowController::Image_reset_Button(QObject *) {
  if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to continue?")))
    return;
  Reset_Image_Editing_Controls();
  Update_Image_Graphics();
}

void QLNWindowController::Sign_Browse_Btn(QObject *) {
  FilePanelOptions options;
  options.title = QStringLiteral("Choose a Signature Picture");
  options.extensions = {QStringLiteral("png"), QStringLiteral("PNG")};
  const QString chosen = UiServices::instance().openFile(options);
  if (chosen.isEmpty())
    return;
  ui->Sign_image_path->setText(Convert_Path_From_URL(QUrl::fromLocalFile(chosen)));
  Update_Sign_Graphics();
}

void QLNWindowController::Sign_Border_ChkBox(QObject *) {
  SetObjEnabled(ui->Sign_Border_Box, ui->Sign_border_chk->isChecked());
  Update_Sign_Graphics();
}

void QLNWindowController::Sign_Border_Changed(QObject *sender) {
  copyStepperToField(sender, ui->Sign_bor_Stepper, ui->Sign_bor_Text);
  Update_Sign_Graphics();
}

void QLNWindowController::Set_SignControl_Clr(QObject *) { Update_Sign_Graphics(); }

void QLNWindowController::Card_Image_Library_Btn(QObject *) {
  if (Open_Image_Library_Window(QStringLiteral("B")) == 1) {
    if (Card_Front_Or_Back.load() != 0)
      set_Back_BG_Image(lib_window_sel_file);
    else
      set_Front_BG_Image(lib_window_sel_file);
  }
  Update_Card_Graphics();
}

// ---- Connections ---------------------------------------------------------------------------------------------

void QLNWindowController::connectObjectPropertyActions() {
  if (m_objectPropertiesConnected)
    return;
  m_objectPropertiesConnected = true;
  using Action = void (QLNWindowController::*)(QObject *);

  // Colour wells, check boxes, radios and buttons: one action each, sent by the control.
  const auto onColour = [this](ColorWell *well, Action action) {
    connect(well, &ColorWell::colorChosen, this, [this, well, action] { (this->*action)(well); });
  };
  const auto onClick = [this](QAbstractButton *button, Action action) {
    controls::onAction(button, this, [this, button, action] { (this->*action)(button); });
  };
  for (ColorWell *well : std::initializer_list<ColorWell *>{ui->shape_bordr_clr, ui->shape_fill_clr,
                                                           ui->shape_fill_Grd_1_clr, ui->shape_fill_Grd_2_clr,
                                                           ui->shape_hatch_bk_clr})
    onColour(well, &QLNWindowController::Set_Control_Clr);
  onColour(ui->Line_clr, &QLNWindowController::Set_LineControl_Clr);
  for (ColorWell *well : std::initializer_list<ColorWell *>{ui->Text_bordr_clr, ui->Text_fill_clr,
                                                           ui->Text_fill_Grd_1_clr, ui->Text_fill_Grd_2_clr,
                                                           ui->Text_clr})
    onColour(well, &QLNWindowController::Set_TextControl_Clr);
  onColour(ui->Image_bordr_clr, &QLNWindowController::Set_ImageControl_Clr);
  onColour(ui->Sign_bordr_clr, &QLNWindowController::Set_SignControl_Clr);

  const std::pair<QAbstractButton *, Action> clicks[] = {
      {ui->Shape_border_chk, &QLNWindowController::Shape_Border_ChkBox},
      {ui->Shape_fill_chk, &QLNWindowController::Shape_Fill_Chk_Box},
      {ui->Shape_solid_fill_rd, &QLNWindowController::Shape_Solid_RD_Sel},
      {ui->Shape_gradient_fill_rd, &QLNWindowController::Shape_Gradient_RD_Sel},
      {ui->Shape_Style_fill_rd, &QLNWindowController::Shape_Hatch_RD_Sel},
      {ui->Text_border_chk, &QLNWindowController::Text_Border_ChkBox},
      {ui->Text_fill_chk, &QLNWindowController::Text_Fill_Chk_Box},
      {ui->Text_solid_fill_rd, &QLNWindowController::Text_Solid_RD_Sel},
      {ui->Text_gradient_fill_rd, &QLNWindowController::Text_Gradient_RD_Sel},
      {ui->Text_Font_btn, &QLNWindowController::Text_Font_Changed},
      {ui->Text_Insert_Date_btn, &QLNWindowController::Text_Insert_Date},
      {ui->Text_Insert_Time_btn, &QLNWindowController::Text_Insert_Time},
      {ui->insert_template_btn, &QLNWindowController::Insert_Template_Button},
      {ui->Manual_Image_Browse_btn, &QLNWindowController::Manual_Image_Browse_Btn},
      {ui->Manual_Library_Browse_btn, &QLNWindowController::Manual_Library_Browse_Btn},
      {ui->Image_border_chk, &QLNWindowController::Image_Border_ChkBox},
      {ui->Image_Gray_Scale_chk, &QLNWindowController::Image_Gray_Scale_Chked},
      {ui->Image_Sepia_chk, &QLNWindowController::Image_Sepia_Chked},
      {ui->Image_Invert_chk, &QLNWindowController::Image_Invert_Chked},
      {ui->Image_FIV_chk, &QLNWindowController::Image_FIV_Chked},
      {ui->Image_FIH_chk, &QLNWindowController::Image_FIH_Chked},
      {ui->Image_reset_btn, &QLNWindowController::Image_reset_Button},
      {ui->Sign_Browse_btn, &QLNWindowController::Sign_Browse_Btn},
      {ui->Sign_border_chk, &QLNWindowController::Sign_Border_ChkBox}};
  for (const auto &[button, action] : clicks)
    onClick(button, action);

  // Each stepper and the field beside it; a typed value reaches the stepper first.
  const std::tuple<Stepper *, QLineEdit *, Action> steppers[] = {
      {ui->shape_bor_Stepper, ui->shape_bor_Text, &QLNWindowController::Shape_Border_Changed},
      {ui->shape_grad_Stepper, ui->shape_grad_Text, &QLNWindowController::Shape_Gradient_Changed},
      {ui->shape_alpha_Stepper, ui->shape_alpha_Text, &QLNWindowController::Shape_Alpha_Changed},
      {ui->double_star_Stepper, ui->double_star_Text, &QLNWindowController::Double_Star_Shape_Changed},
      {ui->polygon_Stepper, ui->polygon_Text, &QLNWindowController::Polygon_Shape_Changed},
      {ui->shape_cor_radius_Stepper, ui->shape_cor_radius_Text, &QLNWindowController::Shape_Corner_Radius_Changed},
      {ui->Line_alpha_Stepper, ui->Line_alpha_Text, &QLNWindowController::Line_Alpha_Changed},
      {ui->Line_Wdt_Stepper, ui->Line_Wdt_Text, &QLNWindowController::Line_Width_Changed},
      {ui->Text_bor_Stepper, ui->Text_bor_Text, &QLNWindowController::Text_Border_Changed},
      {ui->Text_grad_Stepper, ui->Text_grad_Text, &QLNWindowController::Text_Gradient_Changed},
      {ui->Text_alpha_Stepper, ui->Text_alpha_Text, &QLNWindowController::Text_Alpha_Changed},
      {ui->Text_Kern_Stepper, ui->Text_Kern_Text, &QLNWindowController::Text_Kerning_Changed},
      {ui->Image_bor_Stepper, ui->Image_bor_Text, &QLNWindowController::Image_Border_Changed},
      {ui->Sign_bor_Stepper, ui->Sign_bor_Text, &QLNWindowController::Sign_Border_Changed}};
  for (const auto &pair : steppers) {
    Stepper *stepper = std::get<0>(pair);
    QLineEdit *field = std::get<1>(pair);
    const Action action = std::get<2>(pair);
    connect(stepper, &Stepper::stepped, this, [this, stepper, action] { (this->*action)(stepper); });
    connect(field, &QLineEdit::editingFinished, this, [this, field, action] { (this->*action)(field); });
  }

  const std::pair<ValueSlider *, Action> sliders[] = {
      {ui->shrp_slidr, &QLNWindowController::sharp_Slider_Changed},
      {ui->ev_slidr, &QLNWindowController::EV_Slider_Changed},
      {ui->blr_slidr, &QLNWindowController::Blr_Slider_Changed},
      {ui->Sat_slidr, &QLNWindowController::Sat_Slider_Changed},
      {ui->Brt_slidr, &QLNWindowController::Brt_Slider_Changed},
      {ui->Con_slidr, &QLNWindowController::Con_Slider_Changed},
      {ui->Hue_slidr, &QLNWindowController::Hue_Slider_Changed},
      {ui->Trsp_slidr, &QLNWindowController::Transperncy_Slider_Changed}};
  for (const auto &entry : sliders) {
    ValueSlider *slider = entry.first;
    const Action action = entry.second;
    connect(slider, &ValueSlider::doubleValueChanged, this, [this, slider, action] { (this->*action)(slider); });
  }

  // The tabs' combos report to the combo dispatcher (connectComboBoxes).
  connect(ui->Text_value_Edit, &QPlainTextEdit::textChanged, this, [this] { textDidChange(ui->Text_value_Edit); });
}
