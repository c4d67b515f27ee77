// Every combo box of the main window reports a change of its selection, by the user or
// by code, to comboBoxSelectionDidChange; the data source, series and category lists
// report the user choosing their shown item again as well. Most hand over to the update
// of the property panel's kind (card, line, text, shape, image, signature); the data
// source, the series or spreadsheet column bound to the selected object, the number of
// card sides and the card category with its size list are decided here.
//
// The updates do nothing while the panel is filled by code; the decisions made here run
// for selections made by code as well.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"

#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"
#include "core/Utilities.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include <exception>
#include <typeinfo>

namespace {

// The selected item's text; "" with no selection.
QString selectedText(const QComboBox *combo) {
  return combo->currentIndex() >= 0 ? combo->currentText() : QString();
}

// Qt reports a changed index, whether the user or the code changed it, but not the user
// choosing again the item the list shows; `activated` reports every choice of the user,
// after the index change it makes. The watcher counts the changes and notes their count
// when the list opens: a choice that changed nothing since is the shown item chosen again.
class ChoiceAgainWatcher : public QObject {
public:
  explicit ChoiceAgainWatcher(QComboBox *combo) : QObject(combo) {
    combo->view()->installEventFilter(this);
    QObject::connect(combo, &QComboBox::currentIndexChanged, this, [this] { ++m_changes; });
  }
  bool choseTheShownItem() const { return m_changes == m_changesWhenOpened; }

protected:
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::Show)
      m_changesWhenOpened = m_changes;
    return false;
  }

private:
  quint64 m_changes = 0;
  quint64 m_changesWhenOpened = 0;
};

// `react` runs when the user chooses again the item `combo` shows; a choice of another
// item reaches it through the index change alone.
template <typename React> void onShownItemChosenAgain(QComboBox *combo, QObject *context, React react) {
  auto *watcher = new ChoiceAgainWatcher(combo);
  QObject::connect(combo, &QComboBox::activated, context, [watcher, react] {
    if (watcher->choseTheShownItem())
      react();
  });
}

}  // namespace

QLNGraphicPtr QLNWindowController::selectedObjectOfCurrentSide() const {
  QLNGraphicView *view = Card_Front_Or_Back.load() != 0 ? backView() : frontView();
  return view ? view->Selected_Graphic() : QLNGraphicPtr();
}

void QLNWindowController::comboBoxSelectionDidChange(QObject *combo) {
  if (!combo)
    return;
  try {
    if (combo == ui->Card_image_layout || combo == ui->Card_border_style || combo == ui->Card_hatch_style)
      Update_Card_Graphics();
    if (combo == ui->Line_border_style || combo == ui->Line_ori_style || combo == ui->Line_cap_style)
      Update_Line_Graphics();
    if (combo == ui->Text_border_style || combo == ui->Text_align_combo || combo == ui->Text_case_combo)
      Update_Text_Graphics();
    if (combo == ui->shape_border_style || combo == ui->shape_hatch_style)
      Update_Shape_Graphics();
    if (combo == ui->Image_border_style)
      Update_Image_Graphics();
    if (combo == ui->Sign_border_style)
      Update_Sign_Graphics();
    if (combo == ui->Data_source_type) {
      dataSourceDidChange();
      return;
    }
    if (combo == ui->Batch_Series)
      bindingDidChange();
    if (combo == ui->Sides_ComboBox) {
      const bool twoSided = ui->Sides_ComboBox->currentIndex() == 0;
      CARD_SIDE_STR = twoSided ? QStringLiteral("2") : QStringLiteral("1");
      ui->Back_Side_btn->setEnabled(twoSided);
      // The choice is the card's from now on, in its settings and so in a save.
      Update_Card_Graphics();
    }
    if (combo == ui->Preset_ComboBox) {
      // The category is chosen again, so that its size list is made anew.
      const int category = ui->Category_ComboBox->currentIndex();
      if (category < 0)
        return;
      {
        const QSignalBlocker quiet(ui->Category_ComboBox);
        ui->Category_ComboBox->setCurrentIndex(-1);
      }
      ui->Category_ComboBox->setCurrentIndex(category);
    }
    if (combo == ui->Category_ComboBox)
      refillSizeList();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNWindowController::dataSourceDidChange() {
  const QString source = selectedText(ui->Data_source_type);
  const QLNGraphicPtr object = selectedObjectOfCurrentSide();
  const bool manual = source == QLatin1String("Manual");
  // The source's controls: the series list and its button for a series or a column,
  // the typed text, the template button and the picture buttons for manual values.
  // The view button shows the imported rows, or a series while a series viewer exists.
  ui->view_series_btn->setEnabled(!manual && (source != QLatin1String("Series") || bool(hooks().viewSeries)));
  ui->Batch_Series->setEnabled(!manual);
  ui->Text_value_Edit->setReadOnly(!manual);
  ui->insert_template_btn->setEnabled(manual);
  SetObjEnabled(ui->manual_brws_box, manual);
  if (manual) {
    if (object)
      object->Set_Data_source_type(0);
    return;
  }

  if (source == QLatin1String("Series")) {
    // Filling the list by code chooses no series for the object.
    {
      const QSignalBlocker quiet(ui->Batch_Series);
      ui->Batch_Series->clear();
      ui->Batch_Series->setCurrentText(QString());
    }
    const QStringList series = Get_datasheet_File_Name_Array();
    if (series.isEmpty()) {
      Show_MessageBox(QStringLiteral("Please create batch processing series first."));
      return;
    }
    {
      const QSignalBlocker quiet(ui->Batch_Series);
      ui->Batch_Series->addItems(series);
      ui->Batch_Series->setCurrentIndex(-1);
    }
    // The object's own series chosen again: its first value is shown anew.
    if (object && !object->batch_list_name.isEmpty())
      ui->Batch_Series->setCurrentIndex(ui->Batch_Series->findText(object->batch_list_name));
    if (object)
      object->Set_Data_source_type(1);
    return;
  }

  // A spreadsheet column.
  {
    const QSignalBlocker quiet(ui->Batch_Series);
    Fill_Excel_Col_Name_In_Combo(ui->Batch_Series);
  }
  ui->Batch_Series->setCurrentIndex(object ? object->excel_col_indx : -1);
  if (object)
    object->Set_Data_source_type(2);
}

void QLNWindowController::bindingDidChange() {
  const QString source = selectedText(ui->Data_source_type);
  // The listed name is the series as it stands: "Sorry " and "Sorry" are two series.
  const QString name = selectedText(ui->Batch_Series);
  const int index = ui->Batch_Series->currentIndex();
  QLNGraphicView *view = currentView();
  const QLNGraphicPtr object = selectedObjectOfCurrentSide();
  if (Trim_Str(name).isEmpty() || !object || !view)
    return;

  QString value;
  if (source == QLatin1String("Series")) {
    object->Set_Data_source_type(1);
    object->Set_Batch_List_Name(name);
    object->Set_Batch_List_Index(index);
    value = Get_First_Value_Of_Dataset(name);
  } else if (source == QLatin1String("Excel")) {
    object->Set_Data_source_type(2);
    object->Set_Excel_binding_Index(index);
    value = Get_First_Value_Of_Excel_Binding(index);
  }

  // The bound value shows on the object: a text's whole text, an image's picture.
  const QLNGraphic &kind = *object;
  if (typeid(kind) == typeid(QLNText)) {
    if (const QLNTextStoragePtr storage = object->Text_contents())
      replaceCharacters(*storage, value);
    const PropertyFillGuard quiet;  // the editor shows the value; it is not an edit
    ui->Text_value_Edit->setPlainText(value);
  } else if (auto image = std::dynamic_pointer_cast<QLNImage>(object); image && typeid(kind) == typeid(QLNImage)) {
    image->setFilePath(value);
    ui->Manual_image_path->setText(value);
    Update_Image_Graphics();
  }

  Refresh_Canvas();
  view->startEditingGraphic(object);
  Refresh_Canvas();
}

void QLNWindowController::refillSizeList() {
  ListData.clear();
  reloadColList();
  const QStringList &names = ui->Category_ComboBox->currentIndex() == 0 ? pvc_card_arry : paper_card_arry;
  for (const QString &name : names)
    Create_List(name);
  reloadColList();
  Mark_List_New_Selection(0);
  // The row's text becomes the card's sub-category.
  Update_Card_Graphics();
}

void QLNWindowController::connectComboBoxes() {
  if (m_comboBoxesConnected)
    return;
  m_comboBoxesConnected = true;
  for (QComboBox *combo : {ui->Card_image_layout, ui->Card_border_style, ui->Card_hatch_style, ui->Sides_ComboBox,
                           ui->Preset_ComboBox, ui->Category_ComboBox})
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { comboBoxSelectionDidChange(combo); });
  // Choosing the shown category again lists its sizes anew.
  QComboBox *category = ui->Category_ComboBox;
  onShownItemChosenAgain(category, this, [this, category] { comboBoxSelectionDidChange(category); });
}

void QLNWindowController::connectObjectComboBoxes() {
  for (QComboBox *combo : std::initializer_list<QComboBox *>{
           ui->Line_border_style, ui->Line_ori_style, ui->Line_cap_style, ui->Text_border_style, ui->Text_align_combo,
           ui->Text_case_combo, ui->shape_border_style, ui->shape_hatch_style, ui->Image_border_style,
           ui->Sign_border_style, ui->Data_source_type, ui->Batch_Series})
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { comboBoxSelectionDidChange(combo); });
  // The source or the series (or column) chosen again by the user acts again: the bound
  // first value replaces what was typed since.
  for (QComboBox *combo : std::initializer_list<QComboBox *>{ui->Data_source_type, ui->Batch_Series})
    onShownItemChosenAgain(combo, this, [this, combo] { comboBoxSelectionDidChange(combo); });
}
