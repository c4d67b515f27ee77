// The property panel of the main window: the tab view sett_tab on the right. With no
// object it shows the current side's card settings in three tabs; with an object it
// shows the tabs of the object's kind (only the lock tab for a locked object), filled
// from the object's fields. Every change of what is selected or shown comes here
// through Show_RHS_Properties.
//
// While the panel fills its controls Not_Draw_Only_Prop_Change is 1 (PropertyFillGuard),
// so that filling a control by code never writes back into the settings or an object;
// the guard puts the flag back however the filling ends.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/QLNGrid.h"
#include "core/QLNDocument.h"
#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "core/Utilities.h"


#include "platform/ControlActions.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextCursor>
#include <QThread>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <exception>
#include <typeinfo>

namespace {

// Border and dash codes in the order of every border style combo.
const QStringList BorderCodes = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"), QStringLiteral("DD"),
                                 QStringLiteral("DDD")};

// Selects the combo item of a border code; another code leaves the selection as it was.
void selectBorderStyle(QComboBox *combo, const QString &code) {
  const int index = int(BorderCodes.indexOf(code));
  if (index >= 0)
    combo->setCurrentIndex(index);
}

// Selects the item whose text is `value`; no such item leaves the combo without a
// selection, as selecting a value the list does not hold does.
void selectByValue(QComboBox *combo, const QString &value) { combo->setCurrentIndex(combo->findText(value)); }

// A stroke width cut toward zero, as the border steppers show it.
int cutWidth(double width) {
  if (!std::isfinite(width))
    return 0;
  return int(std::trunc(std::clamp(width, -2147483648.0, 2147483647.0)));
}

// Filling shows what the object holds: the controls' actions stay quiet.
void setChecked(QAbstractButton *button, bool on) { controls::setCheckedQuietly(button, on); }

// The stepper and its field both show the int value.
void showInt(Stepper *stepper, QLineEdit *field, int value) {
  stepper->setValue(value);
  field->setText(QString::number(value));
}

// The stepper and its field both show the float value.
void showFloat(Stepper *stepper, QLineEdit *field, double value) {
  stepper->setValue(value);
  field->setText(fieldNumber(value));
}

// An opacity fraction shown as a percentage: the stepper holds it, the field shows the
// stepper's int value.
void showPercentage(Stepper *stepper, QLineEdit *field, double fraction) {
  stepper->setValue(fraction * 100.0);
  field->setText(QString::number(stepper->intValue()));
}

void showSlider(ValueSlider *slider, QLabel *label, double value) {
  slider->setDoubleValue(value);
  label->setText(fieldNumber(value));
}

// "%@ ( %0.2f )": the font's name and point size.
QString fontText(const FontSpec &font) {
  return QStringLiteral("%1 ( %2 )").arg(font.postScriptName(), QString::number(font.pointSize(), 'f', 2));
}

// The controls of one kind's border group.
struct BorderControls {
  QCheckBox *check;
  Stepper *width;
  QLineEdit *widthField;
  ColorWell *colour;
  QComboBox *style;
  QGroupBox *box;
};

void fillBorderValues(const BorderControls &border, const QLNGraphic &graphic) {
  setChecked(border.check, graphic._isDrawingStroke);
  showInt(border.width, border.widthField, cutWidth(graphic._strokeWidth));
  border.colour->setColor(graphic._strokeColor);
  selectBorderStyle(border.style, graphic._stroke_border_type);
}

void enableBorderBox(const BorderControls &border) { SetObjEnabled(border.box, border.check->isChecked()); }

template <class T>
bool isExactly(const QLNGraphic &graphic) {
  return typeid(graphic) == typeid(T);
}

}  // namespace

// ---- The fill guard --------------------------------------------------------------------------

QLNWindowController::PropertyFillGuard::PropertyFillGuard() : m_previous(Not_Draw_Only_Prop_Change) {
  Not_Draw_Only_Prop_Change = 1;
}

QLNWindowController::PropertyFillGuard::~PropertyFillGuard() { release(); }

void QLNWindowController::PropertyFillGuard::release() {
  if (!m_active)
    return;
  m_active = false;
  Not_Draw_Only_Prop_Change = m_previous;
}

// ---- Tab items ---------------------------------------------------------------------------------

void QLNWindowController::Remove_All_Tab_Items() {
  // The list of pages is taken once, before the first removal.
  QList<QWidget *> pages;
  for (int index = 0; index < ui->sett_tab->count(); ++index)
    pages.append(ui->sett_tab->widget(index));
  for (QWidget *page : pages)
    ui->sett_tab->removeTab(ui->sett_tab->indexOf(page));
}

QString QLNWindowController::tabItemLabel(QWidget *page) const {
  const auto found = m_tabItemLabels.constFind(page);
  if (found != m_tabItemLabels.constEnd())
    return *found;
  // The objects' tabs are made by now if `page` is one of them.
  const auto pages = ui->tabPagesMade();
  for (size_t index = 0; index < pages.size(); ++index)
    if (pages[index] == page)
      return DrawWindow::tabTitles().at(qsizetype(index));
  return QString();
}

void QLNWindowController::setTabItemLabel(QWidget *page, const QString &label) {
  m_tabItemLabels.insert(page, label);
  const int index = ui->sett_tab->indexOf(page);
  if (index >= 0)
    ui->sett_tab->setTabText(index, label);
}

void QLNWindowController::insertTabItem(QWidget *page, int index) {
  ui->sett_tab->insertTab(index, page, tabItemLabel(page));
}

// ---- Card fill controls -------------------------------------------------------------------------

void QLNWindowController::card_prop_set(const QString &style) {
  const bool gradient = style == QLatin1String("G");
  const bool hatch = style == QLatin1String("H");
  const bool picture = style == QLatin1String("I");
  const bool solid = !gradient && !hatch && !picture;

  // 1. The fill radios: exactly one is on.
  setChecked(ui->Card_solid_fill_rd, solid);
  setChecked(ui->Card_gradient_fill_rd, gradient);
  setChecked(ui->Card_Style_fill_rd, hatch);
  setChecked(ui->Card_Image_fill_rd, picture);

  // 2. The boxes follow their check boxes.
  SetObjEnabled(ui->Card_Border_Box, ui->Card_border_chk->isChecked());
  SetObjEnabled(ui->Card_Fill_Box, ui->Card_fill_chk->isChecked());

  // 3. Then the controls of the style (these win over the box).
  ui->Card_fill_clr->setEnabled(solid);
  for (QWidget *control : {static_cast<QWidget *>(ui->Card_fill_Grd_1_clr), static_cast<QWidget *>(ui->Card_fill_Grd_2_clr),
                           static_cast<QWidget *>(ui->Card_grad_Text), static_cast<QWidget *>(ui->Card_grad_Stepper)})
    control->setEnabled(gradient);
  ui->Card_hatch_style->setEnabled(hatch);
  ui->Card_hatch_bk_clr->setEnabled(hatch);
  SetObjEnabled(ui->Card_image_box, picture);

  // 4. The tab view is redrawn.
  ui->sett_tab->update();
}

// ---- Editing buttons -----------------------------------------------------------------------------

void QLNWindowController::Set_Paste_Button_Status() {
  // What the canvas's paste takes: card objects of this program; else, unless the
  // clipboard holds file names, a picture (of another program too).
  bool pastes = false;
  if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
    if (const QMimeData *contents = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard)) {
      pastes = contents->hasFormat(QLNGraphicViewPasteboardType);
      if (!pastes && !contents->hasUrls()) {
        pastes = contents->hasImage();
        for (const QString &format : contents->formats())
          pastes = pastes || format.startsWith(QLatin1String("image/"));
      }
    }
  }
  ui->Paste_btn->setEnabled(pastes && !tempSideShows());
}

void QLNWindowController::updateUnlockButton() {
  bool anyLocked = false;
  for (const QLNGraphicPtr &graphic : selectedObjectsOfCurrentSide())
    anyLocked = anyLocked || graphic->ctrl_is_locked;
  ui->Unlock_btn->setEnabled(anyLocked && !tempSideShows());
}

void QLNWindowController::updateAlignmentCommands() {
  const bool acts = !tempSideShows();
  for (QWidget *control : std::initializer_list<QWidget *>{
           ui->Align_Center_btn, ui->Align_Left_btn, ui->Align_Right_btn, ui->Align_Top_btn, ui->Align_Bottom_btn,
           ui->Align_Horz_btn, ui->Align_Vert_btn, ui->Make_Same_Width_btn, ui->Make_Same_Height_btn,
           ui->Make_Natural_btn, ui->print_object_chk})
    control->setEnabled(acts);
  ui->Align_with_grid_btn->setEnabled(acts && _grid->isAlwaysShown());
}

void QLNWindowController::disableEditingButtonsWhileTempShows() {
  if (!tempSideShows())
    return;
  for (QToolButton *button : {ui->Cut_btn, ui->Copy_btn, ui->Paste_btn, ui->Delete_btn, ui->Begin_Front_btn,
                              ui->Send_Back_btn, ui->Lock_btn, ui->Unlock_btn})
    button->setEnabled(false);
}

void QLNWindowController::Enable_Standard_Button_For_Control() {
  Undo_Redo_Button_state();
  ui->Cut_btn->setEnabled(true);
  ui->Copy_btn->setEnabled(true);
  Set_Paste_Button_Status();
  ui->Delete_btn->setEnabled(true);
  ui->Begin_Front_btn->setEnabled(true);
  ui->Send_Back_btn->setEnabled(true);
  ui->Lock_btn->setEnabled(true);
  // Unlock acts on the whole selection, which may hold a locked object besides the one
  // shown.
  updateUnlockButton();
  disableEditingButtonsWhileTempShows();
}

void QLNWindowController::Enable_Standard_Button_For_Unlock() { Enable_Standard_Button_For_Control(); }

void QLNWindowController::Disable_Standard_Button_For_Card() {
  ui->Cut_btn->setEnabled(false);
  ui->Copy_btn->setEnabled(false);
  Set_Paste_Button_Status();
  ui->Delete_btn->setEnabled(false);
  ui->Begin_Front_btn->setEnabled(false);
  ui->Send_Back_btn->setEnabled(false);
  ui->Lock_btn->setEnabled(false);
  ui->Unlock_btn->setEnabled(false);
}

void QLNWindowController::Disable_Standard_Button_For_Lock() {
  for (QToolButton *button : {ui->Cut_btn, ui->Copy_btn, ui->Delete_btn, ui->Begin_Front_btn, ui->Send_Back_btn,
                              ui->Lock_btn})
    button->setEnabled(false);
  // A paste adds new objects and leaves the locked ones alone, as Edit > Paste does.
  Set_Paste_Button_Status();
  ui->Unlock_btn->setEnabled(true);
  disableEditingButtonsWhileTempShows();
}

// ---- Show_RHS_Properties ----------------------------------------------------------------------------

void QLNWindowController::refreshShownProperties() {
  QLNGraphicView *view = currentView();
  const QLNGraphicPtr shown = shownGraphic();
  if (shown && view && view->graphics().contains(shown)) {
    Show_RHS_Properties(shown);
    return;
  }
  const QLNGraphicList selected = selectedObjectsOfCurrentSide();
  Show_RHS_Properties(selected.isEmpty() ? nullptr : selected.first());
}

void QLNWindowController::showPropertiesAnew() {
  const QLNGraphicPtr shown = shownGraphic();
  QLNGraphicView *view = currentView();
  if (shown && view && view->graphics().contains(shown)) {
    fillAnew(shown);
    return;
  }
  refreshShownProperties();
}

void QLNWindowController::fillAnew(const QLNGraphicPtr &graphic) {
  QWidget *openTab = shownGraphic() == graphic ? ui->sett_tab->currentWidget() : nullptr;
  Last_Selected_Graphic = nullptr;
  m_shownGraphic.reset();
  Show_RHS_Properties(graphic);
  if (openTab && ui->sett_tab->indexOf(openTab) >= 0)
    ui->sett_tab->setCurrentWidget(openTab);
}

void QLNWindowController::showWhatTheCanvasSelects() {
  QLNGraphicView *view = currentView();
  if (!view || !view->selectionIndexesContainer())
    return;
  const QLNGraphicList selected = view->selectedGraphics();
  const QLNGraphicPtr shown = shownGraphic();
  if (selected.isEmpty() ? !shown : selected.contains(shown)) {
    // The panel stays; the selection around it may have gained or lost a locked object.
    if (shown && !shown->ctrl_is_locked)
      updateUnlockButton();
    return;
  }
  QLNGraphicPtr graphic = view->Selected_Graphic();
  if (!selected.contains(graphic))
    graphic = selected.isEmpty() ? nullptr : selected.first();
  Show_RHS_Properties(graphic);
}

void QLNWindowController::showSelectionAfterUndoOrRedo() {
  if (Not_Draw_Only_Prop_Change == 1)
    return;
  QLNGraphicView *view = currentView();
  const QLNGraphicList selected = view ? view->selectedGraphics() : QLNGraphicList();
  const QLNGraphicPtr graphic = selected.isEmpty() ? QLNGraphicPtr() : selected.first();
  if (!graphic) {
    Show_RHS_Properties(nullptr);
    return;
  }
  // The step may have changed the values of the object shown (a flip, its size).
  fillAnew(graphic);
}

void QLNWindowController::Show_RHS_Properties(const QLNGraphicPtr &graphic) {
  // 1. While the panel's controls are filled by code, nothing changes (this also keeps
  //    a redraw caused by the filling from filling the panel again).
  if (Not_Draw_Only_Prop_Change == 1)
    return;
  // The panel is made of widgets: only the GUI thread may show anything in it.
  if (QThread::currentThread() != thread())
    return;
  try {
    // 2. Every call returns to the arrow tool.
    selectArrowTool();
    if (!graphic)
      showCardProperties();
    else
      showObjectProperties(graphic);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The property panel could not show its values."));
  }
}

void QLNWindowController::showCardProperties() {
  PropertyFillGuard fill;

  // The card tabs already shown for the card are not taken out and put back: every
  // redraw of an empty side shows the card anew, and the tab the user works in stays
  // open (and the tab view is not laid out again in the middle of a canvas's drawing).
  const bool cardTabsShown = !shownGraphic() && ui->sett_tab->count() == 3 &&
                             ui->sett_tab->widget(0) == ui->card_setting_tab &&
                             ui->sett_tab->widget(1) == ui->card_bkgd_tab && ui->sett_tab->widget(2) == ui->card_brdr_tab;

  const bool back = Card_Front_Or_Back.load() != 0;
  // 2. The current side's selection is emptied.
  QLNGraphicView *view = back ? backView() : frontView();
  if (view && view->selectionIndexesContainer())
    view->changeSelectionIndexes(QLNIndexSet());
  // 3. - 4.
  Disable_Standard_Button_For_Card();
  Last_Selected_Graphic = nullptr;
  m_shownGraphic.reset();

  // 5. The three card tabs, the first of them selected.
  if (!cardTabsShown) {
    Remove_All_Tab_Items();
    insertTabItem(ui->card_setting_tab, 0);
    insertTabItem(ui->card_bkgd_tab, 1);
    insertTabItem(ui->card_brdr_tab, 2);
    ui->sett_tab->setCurrentIndex(0);
  }

  // 6. The card controls from the side's settings.
  Card_Property &side = back ? Back_card_Prop : Front_card_Prop;
  setChecked(ui->Card_border_chk, side.Card_border_chk());
  ui->Card_bordr_clr->setColor(side.Card_bordr_clr());
  showInt(ui->Card_bor_Stepper, ui->Card_bor_Text, side.Card_bor_Stepper());
  selectBorderStyle(ui->Card_border_style, side.Card_border_style());
  setChecked(ui->Card_fill_chk, side.Card_fill_chk());
  ui->Card_fill_clr->setColor(side.Card_fill_clr());
  const QString fillStyle = side.Card_fill_style();
  ui->Card_fill_Grd_1_clr->setColor(side.Card_fill_Grd_1_clr());
  ui->Card_fill_Grd_2_clr->setColor(side.Card_fill_Grd_2_clr());
  ui->Card_grad_Stepper->setValue(side.Card_grad_Stepper());
  ui->Card_grad_Text->setText(fieldNumber(ui->Card_grad_Stepper->floatValue()));
  ui->Card_hatch_bk_clr->setColor(side.Card_hatch_bk_clr());
  if (fillStyle == QLatin1String("H")) {
    if (side.Card_hatch_style().isEmpty())
      ui->Card_hatch_style->setCurrentIndex(-1);
    else
      selectByValue(ui->Card_hatch_style, side.Card_hatch_style());
  }
  ui->Card_alpha_Stepper->setValue(double(side.Card_alpha_Stepper()) * 100.0);
  ui->Card_alpha_Text->setText(fieldNumber(ui->Card_alpha_Stepper->floatValue()));
  ui->Card_Image_path->setText(side.Card_BG_Image_Path());
  selectByValue(ui->Card_image_layout, side.Card_BG_Image_Layout());
  ui->All_Text_clr->setColor(side.Card_Content_clr());
  if (const std::optional<FontSpec> font = side.Card_Content_font())
    setAll_Text_font(*font);
  ui->All_Text_font_value->setText(fontText(All_Text_font()));
  ui->All_Text_font_value_COPY->setText(fontText(All_Text_font()));
  All_Text_font_COPY = All_Text_font();
  ui->All_Text_clr_COPY->setColor(ui->All_Text_clr->color());

  // 7. The side is exactly 0 or 1 from now on; shape and name.
  Card_Front_Or_Back = back ? 1 : 0;
  ui->matrix_card_shape->selectCellAtRow(Card_Shape.load());
  ui->card_name->setText(side.Card_Name());

  // 8. The card's place and size are the front canvas's (all canvases share them).
  const QRectF canvas = frontCanvasBounds();
  side.setCard_Location(canvas.topLeft());
  side.setCard_Size(canvas.size());

  // 9. Preset, category and the size list's row.
  selectByValue(ui->Preset_ComboBox, side.Card_Preset());
  selectByValue(ui->Category_ComboBox, side.Card_Category());
  Mark_List_New_Selection(side.Card_Cat_index());

  // 10. The fill controls of the side's style.
  card_prop_set(fillStyle);
  ui->sett_tab->update();
  // The backgrounds list shows the front's background, which this may follow.
  showFrontBackgroundInList();
}

void QLNWindowController::showObjectProperties(const QLNGraphicPtr &graphic) {
  QLNGraphic &object = *graphic;
  const bool locked = object.ctrl_is_locked;

  // 1. The editing buttons, on every call.
  Enable_Standard_Button_For_Control();
  if (locked)
    Disable_Standard_Button_For_Lock();
  else
    Enable_Standard_Button_For_Unlock();
  updateAlignmentCommands();

  // 2. The object shown already: tabs and controls stay as they are, so that a value
  //    typed and not yet applied is kept.
  if (shownGraphic() == graphic)
    return;

  // 3.
  Last_Selected_Graphic = graphic.get();
  m_shownGraphic = graphic;
  Remove_All_Tab_Items();
  setChecked(ui->print_object_chk, object.print_object != 0);
  ui->sel_control_name->setText(QStringLiteral("NONE"));
  PropertyFillGuard fill;

  // 4. - 5. The kind by exact class: a subclass does not count as its base class.
  if (isExactly<QLNText>(object))
    showTextProperties(object);
  else if (isExactly<QLNImage>(object))
    showImageProperties(object);
  else if (isExactly<QLNLine>(object))
    showLineProperties(object);
  else if (isExactly<QLNSignature>(object))
    showSignatureProperties(object);
  else if (isExactly<QLNBarcode>(object))
    showBarcodeProperties(object);
  else
    showShapeProperties(object);   // every other class is drawn as a shape

  // 6. The alignment tab last, for an unlocked object.
  fill.release();
  if (!locked)
    insertTabItem(ui->aligmnt_tab, ui->sett_tab->count());
  ui->sett_tab->update();
}

// Inserts the tabs of an unlocked object's kind from position 0, or the lock tab alone
// with its label, and selects the first.
void QLNWindowController::insertObjectTabs(bool locked, std::initializer_list<QWidget *> pages,
                                           const QString &lockLabel) {
  if (locked) {
    if (!lockLabel.isNull())
      setTabItemLabel(ui->Lock_tab, lockLabel);
    insertTabItem(ui->Lock_tab, 0);
  } else {
    int index = 0;
    for (QWidget *page : pages)
      insertTabItem(page, index++);
  }
  ui->sett_tab->setCurrentIndex(0);
}

void QLNWindowController::labelDataSourceTab(const QString &title, bool browsable) {
  setTabItemLabel(ui->datasource_tab, title);
  ui->data_source_title->setText(title);
  ui->manual_brws_box->setVisible(browsable);
}

void QLNWindowController::showBoundColumn(const QLNGraphic &object) {
  if (object.data_source_type != 2 || ui->Data_source_type->currentIndex() != 2)
    return;
  const QSignalBlocker quiet(ui->Batch_Series);
  Fill_Excel_Col_Name_In_Combo(ui->Batch_Series);
  const int column = object.excel_col_indx;
  ui->Batch_Series->setCurrentIndex(column >= 0 && column < ui->Batch_Series->count() ? column : -1);
}

void QLNWindowController::showTextProperties(QLNGraphic &object) {
  const bool locked = object.ctrl_is_locked;
  ui->sel_control_name->setText(QStringLiteral("T"));
  if (!locked)
    labelDataSourceTab(QStringLiteral("Text Source"), false);
  insertObjectTabs(locked, {ui->text_edtng_tab, ui->text_prop_tab, ui->datasource_tab},
                   QStringLiteral("Text Properties"));

  // The template button of the invitation's title and message (offered only while a
  // picker of built-in texts exists).
  const bool title = object.control_ID == QLatin1String("PARTY_TITLE");
  const bool message = object.control_ID == QLatin1String("PARTY_MSG");
  if (title)
    ui->insert_template_btn->setText(QStringLiteral("Use Template Title"));
  else if (message)
    ui->insert_template_btn->setText(QStringLiteral("Use Template Message"));
  ui->insert_template_btn->setVisible((title || message) && bool(hooks().runTemplatePicker));
  // A plain copy of the characters, all of them selected.
  const QLNTextStoragePtr contents = object.Text_contents();
  ui->Text_value_Edit->setPlainText(contents ? contents->string : QString());
  ui->Text_value_Edit->selectAll();
  ui->Data_source_type->setCurrentIndex(object.data_source_type);
  if (!object.batch_list_name.isEmpty()) {
    if (ui->Batch_Series->currentIndex() == object.batch_list_index)
      ui->Batch_Series->setCurrentIndex(-1);
    selectByValue(ui->Batch_Series, object.batch_list_name);
  }
  showBoundColumn(object);
  const BorderControls border{ui->Text_border_chk, ui->Text_bor_Stepper, ui->Text_bor_Text,
                              ui->Text_bordr_clr,  ui->Text_border_style, ui->Text_Border_Box};
  setChecked(border.check, object._isDrawingStroke);
  setChecked(ui->Text_fill_chk, object._isDrawingFill);
  fillBorderValues(border, object);
  ui->Text_fill_clr->setColor(object._fillColor);
  const bool gradient = object._fill_type == QLatin1String("G");
  ui->Text_fill_Grd_1_clr->setColor(object._fill_Grad_clr1);
  ui->Text_fill_Grd_2_clr->setColor(object._fill_Grad_clr2);
  showFloat(ui->Text_grad_Stepper, ui->Text_grad_Text, object._fill_grad_angle);
  showPercentage(ui->Text_alpha_Stepper, ui->Text_alpha_Text, double(object.alpha_val));
  SetObjEnabled(ui->Text_Fill_Box, ui->Text_fill_chk->isChecked());
  enableBorderBox(border);
  ui->showTextFill(gradient);
  ui->Text_clr->setColor(object.txt_clr);
  if (object.text_ctrl_font) {
    Text_font = *object.text_ctrl_font;
    ui->Text_font_value->setText(fontText(Text_font));
  } else {
    ui->Text_font_value->clear();
  }
  ui->Text_align_combo->setCurrentIndex(object.text_alignmnet);
  ui->Text_case_combo->setCurrentIndex(object.text_transfrom_case);
  showFloat(ui->Text_Kern_Stepper, ui->Text_Kern_Text, double(object.text_kerning));
}

void QLNWindowController::showImageProperties(QLNGraphic &object) {
  const bool locked = object.ctrl_is_locked;
  ui->sel_control_name->setText(QStringLiteral("I"));
  if (!locked)
    labelDataSourceTab(QStringLiteral("Image Source"), true);
  insertObjectTabs(locked, {ui->datasource_tab, ui->image_tab}, QStringLiteral("Image Properties"));
  ui->Manual_image_path->setText(object._file_path);
  ui->Data_source_type->setCurrentIndex(object.data_source_type);
  if (!object.batch_list_name.isEmpty())
    selectByValue(ui->Batch_Series, object.batch_list_name);
  showBoundColumn(object);
  const BorderControls border{ui->Image_border_chk, ui->Image_bor_Stepper, ui->Image_bor_Text,
                              ui->Image_bordr_clr,  ui->Image_border_style, ui->Image_Border_Box};
  fillBorderValues(border, object);
  // The picture's values go into the sliders as they are (no factor 100).
  showSlider(ui->Rotate_slidr, ui->Rotate_slidr_val, double(object.rotate_image));
  showSlider(ui->Trsp_slidr, ui->Trsp_slidr_val, double(object.img_trnsp_val));
  showSlider(ui->Hue_slidr, ui->Hue_slidr_val, double(object.hue_val));
  showSlider(ui->Sat_slidr, ui->Sat_slidr_val, double(object.sat_val));
  showSlider(ui->Brt_slidr, ui->Brt_slidr_val, double(object.brt_val));
  showSlider(ui->Con_slidr, ui->Con_slidr_val, double(object.con_val));
  showSlider(ui->shrp_slidr, ui->shrp_slidr_val, double(object.srp_val));
  showSlider(ui->ev_slidr, ui->ev_slidr_val, double(object.ev_val));
  showSlider(ui->blr_slidr, ui->blr_slidr_val, double(object.blr_val));
  setChecked(ui->Image_Gray_Scale_chk, object.gray_Scale);
  setChecked(ui->Image_Sepia_chk, object.Sepia);
  setChecked(ui->Image_Invert_chk, object.invert_clr);
  setChecked(ui->Image_FIV_chk, object._isFlippedVertically);
  setChecked(ui->Image_FIH_chk, object._isFlippedHorizontally);
  enableBorderBox(border);
}

void QLNWindowController::showLineProperties(QLNGraphic &object) {
  const bool locked = object.ctrl_is_locked;
  insertObjectTabs(locked, {ui->line_tab}, QStringLiteral("Line Properties"));
  showInt(ui->Line_Wdt_Stepper, ui->Line_Wdt_Text, cutWidth(object._strokeWidth));
  ui->Line_clr->setColor(object._strokeColor);
  selectBorderStyle(ui->Line_border_style, object._stroke_border_type);
  ui->Line_ori_style->setCurrentIndex(object._line_ori);
  ui->Line_cap_style->setCurrentIndex(object._line_cap_style);
  showPercentage(ui->Line_alpha_Stepper, ui->Line_alpha_Text, double(object.alpha_val_stroke));
}

void QLNWindowController::showSignatureProperties(QLNGraphic &object) {
  const bool locked = object.ctrl_is_locked;
  const QString kind = object.sign_or_fingureprint;
  ui->sel_control_name->setText(kind);
  setTabItemLabel(ui->sign_tab, kind == QLatin1String("S") ? QStringLiteral("Signature Properties")
                                                           : QStringLiteral("FingrePrint Properties"));
  insertObjectTabs(locked, {ui->sign_tab}, QStringLiteral("Signature Properties"));
  ui->Data_source_type->setCurrentIndex(object.data_source_type);
  if (!object.batch_list_name.isEmpty())
    selectByValue(ui->Batch_Series, object.batch_list_name);
  // The path field names this object's picture, which the tab's actions keep.
  ui->Sign_image_path->setText(object._file_path);
  const BorderControls border{ui->Sign_border_chk, ui->Sign_bor_Stepper, ui->Sign_bor_Text,
                              ui->Sign_bordr_clr,  ui->Sign_border_style, ui->Sign_Border_Box};
  fillBorderValues(border, object);
  enableBorderBox(border);
}

void QLNWindowController::showBarcodeProperties(QLNGraphic &object) {
  const bool locked = object.ctrl_is_locked;
  // The barcode designer shows the barcode's own settings; the tab holds none.
  insertObjectTabs(locked, {ui->barcode_tab}, QStringLiteral("Barcode Properties"));
}

// Every class without tabs of its own is drawn as a shape.
void QLNWindowController::showShapeProperties(QLNGraphic &object) {
  const bool locked = object.ctrl_is_locked;
  static const QHash<QString, QString> shapeLabels = {
      {QStringLiteral("R"), QStringLiteral("Rectangle Properties")},
      {QStringLiteral("C"), QStringLiteral("Ellipse Properties")},
      {QStringLiteral("RR"), QStringLiteral("Rounded Rectangle Properties")},
      {QStringLiteral("T"), QStringLiteral("Triangle Properties")},
      {QStringLiteral("D"), QStringLiteral("Diamond Properties")},
      {QStringLiteral("S"), QStringLiteral("Star Properties")},
      {QStringLiteral("DS"), QStringLiteral("Double Star Properties")},
      {QStringLiteral("P"), QStringLiteral("Polygon Properties")}};
  const QString code = object.Get_shape_type();
  // A code outside the eight leaves the labels as they were (a null label).
  const QString label = shapeLabels.value(code);
  const QList<QWidget *> radiusControls = {ui->shape_cor_radius_Stepper, ui->shape_cor_radius_Text,
                                           ui->shape_cor_radius_Label};
  const QList<QWidget *> doubleStarControls = {ui->double_star_Label, ui->double_star_Stepper, ui->double_star_Text};
  const QList<QWidget *> polygonControls = {ui->polygon_Label, ui->polygon_Stepper, ui->polygon_Text};
  for (const auto *group : {&radiusControls, &doubleStarControls, &polygonControls})
    for (QWidget *control : *group)
      control->hide();
  if (!locked) {
    if (!label.isNull()) {
      setTabItemLabel(ui->shape_tab, label);
      ui->Shape_prop_title->setText(label);
    }
    const QList<QWidget *> *extra = code == QLatin1String("RR")   ? &radiusControls
                                    : code == QLatin1String("DS") ? &doubleStarControls
                                    : code == QLatin1String("P")  ? &polygonControls
                                                                  : nullptr;
    if (extra)
      for (QWidget *control : *extra)
        control->show();
  }
  insertObjectTabs(locked, {ui->shape_tab}, label);

  const BorderControls border{ui->Shape_border_chk, ui->shape_bor_Stepper, ui->shape_bor_Text,
                              ui->shape_bordr_clr,  ui->shape_border_style, ui->Shape_Border_Box};
  fillBorderValues(border, object);
  setChecked(ui->Shape_fill_chk, object._isDrawingFill);
  ui->shape_fill_clr->setColor(object._fillColor);
  const QString fillType = object._fill_type;
  const bool gradient = fillType == QLatin1String("G");
  const bool hatch = fillType == QLatin1String("H");
  ui->shape_fill_Grd_1_clr->setColor(object._fill_Grad_clr1);
  ui->shape_fill_Grd_2_clr->setColor(object._fill_Grad_clr2);
  ui->shape_hatch_bk_clr->setColor(object._fill_htch_clr);
  if (object._fill_hatch_type.isEmpty())
    ui->shape_hatch_style->setCurrentIndex(-1);
  else
    selectByValue(ui->shape_hatch_style, object._fill_hatch_type);
  showFloat(ui->shape_grad_Stepper, ui->shape_grad_Text, object._fill_grad_angle);
  showPercentage(ui->shape_alpha_Stepper, ui->shape_alpha_Text, double(object.alpha_val));
  showFloat(ui->shape_cor_radius_Stepper, ui->shape_cor_radius_Text, double(object.cor_rad_val_val));
  showInt(ui->double_star_Stepper, ui->double_star_Text, object.double_star_type);
  showInt(ui->polygon_Stepper, ui->polygon_Text, object.polygon_type);
  enableBorderBox(border);
  SetObjEnabled(ui->Shape_Fill_Box, ui->Shape_fill_chk->isChecked());
  ui->showShapeFill(gradient, hatch);
}
