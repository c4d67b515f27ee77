// The batch binding: which sources (series, imported spreadsheet rows) the card uses,
// how many cards a run makes, card n of a run, row 0 put back after it, and the small
// services of the property panel (first values, the series and column lists, the view
// and help buttons).

#include "mainwindow/QLNWindowController.h"

#include "dataseries/BatchCardSource.h"
#include "dataseries/Data_From_Excel.h"
#include "dataseries/model/SeriesStore.h"
#include "designs/DesignFileSupport.h"

#include "core/Globals.h"
#include "core/Long_SMS_Dlg.h"
#include "core/Utilities.h"
#include "mainwindow/DrawWindow.h"
#include "platform/MainThread.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>

#include <algorithm>
#include <exception>

namespace {

// Runs `fn` on the GUI thread, directly when already there.
template <class Fn>
void onGuiThread(Fn &&fn) {
  if (MainThread::isMainThread())
    fn();
  else
    MainThread::runAndWait(std::forward<Fn>(fn));
}

// A check's failure: its reason in the message box, as the checks report them.
template <class Fn>
void showingFailures(Fn &&fn) {
  try {
    fn();
  } catch (const std::exception &error) {
    Show_MessageBox(QString::fromUtf8(error.what()));
  }
}

bool twoSided() { return CARD_SIDE_STR == QLatin1String("2"); }

const QString ExcelItem = QStringLiteral("Excel");

}  // namespace

// ---- Objects off the design and back -----------------------------------------------------------

std::optional<SpreadsheetColumnMark> QLNWindowController::spreadsheetColumnMark(const QLNGraphic &graphic) const {
  // No grid yet: no rows were imported, and no object is bound to an imported column.
  if (!Data_From_Excel_Window)
    return std::nullopt;
  return Data_From_Excel_Window->markOf(graphic);
}

void QLNWindowController::designObjectsArrived(const QLNGraphicList &graphics, bool back) {
  const bool marked = std::any_of(graphics.begin(), graphics.end(),
                                  [](const QLNGraphicPtr &graphic) { return graphic && graphic->excel_col_mark; });
  if (!marked)
    return;
  {
    // The column and the value it shows are part of the object's coming back, not a
    // change of their own to undo.
    const DesignFiles::UndoRegistrationPause quiet(m_document);
    Data_From_Excel::defaultInstance()->takeBackObjects(graphics, back);
  }
  Refresh_Canvas();
}

// ---- Source checks and counts -----------------------------------------------------------------

void QLNWindowController::Check_Series_Or_Excel_Use_or_not() {
  onGuiThread([this] {
    Check_Data_Sheet_Value_Use_or_Not();
    Check_Excel_Binding_Value_Use_or_Not();
    Get_total_Card_count();
  });
}

void QLNWindowController::Check_Data_Sheet_Value_Use_or_Not() {
  showingFailures([this] {
    data_table_content.clear();
    Use_Data_Sheet_Values = 0;
    const bool used = Check_Front_Side_Dataset_Is_Used() || (twoSided() && Check_Back_Side_Dataset_Is_Used());
    if (!used)
      return;
    Use_Data_Sheet_Values = 1;
    Create_Dataset_binding_table();
    Calculate_data_table_rows();
    if (Data_table_rows.load() == 0)
      Use_Data_Sheet_Values = 0;
  });
}

void QLNWindowController::Check_Excel_Binding_Value_Use_or_Not() {
  showingFailures([this] {
    Use_Excel_Binding_Values = 0;
    const bool used =
        Check_Front_Side_Excel_Binding_Is_Used() || (twoSided() && Check_Back_Side_Excel_Binding_Is_Used());
    if (!used)
      return;
    Use_Excel_Binding_Values = 1;
    Calculate_Excel_table_rows();
    if (Excel_table_rows.load() == 0)
      Use_Excel_Binding_Values = 0;
  });
}

bool QLNWindowController::Check_Front_Side_Dataset_Is_Used() const {
  return BindingSources::sideUsesSource(Get_Front_Controls_Array(), 1);
}

bool QLNWindowController::Check_Back_Side_Dataset_Is_Used() const {
  return BindingSources::sideUsesSource(Get_Back_Controls_Array(), 1);
}

bool QLNWindowController::Check_Front_Side_Excel_Binding_Is_Used() const {
  return BindingSources::sideUsesSource(Get_Front_Controls_Array(), 2);
}

bool QLNWindowController::Check_Back_Side_Excel_Binding_Is_Used() const {
  return BindingSources::sideUsesSource(Get_Back_Controls_Array(), 2);
}

void QLNWindowController::Create_Dataset_binding_table() {
  runLoggingFailures("Create_Dataset_binding_table", [this] {
    data_table_content.clear();
    auto loadSide = [this](const QLNGraphicList &graphics) {
      for (const QLNGraphicPtr &graphic : graphics) {
        if (!graphic || !BindingSources::takesBoundValues(*graphic) || graphic->data_source_type != 1)
          continue;
        // Each series is read once per check, however many objects show it.
        if (!data_table_content.contains(graphic->batch_list_name))
          Add_dataset_col_in_binding_table(graphic->batch_list_name);
      }
    };
    loadSide(Get_Front_Controls_Array());
    if (twoSided())
      loadSide(Get_Back_Controls_Array());
  });
}

bool QLNWindowController::Add_dataset_col_in_binding_table(const QString &name) {
  const QString path = SeriesStore::pathOf(name);
  if (path.isEmpty()) {
    Show_NSLog_Message(QStringLiteral("The series \"%1\" has no file name that can be used.").arg(name));
    return false;
  }
  if (!QFileInfo::exists(path))
    return false;
  QString error;
  const std::optional<QByteArray> bytes = SeriesStore::readFile(path, &error);
  if (!bytes) {
    Show_NSLog_Message(error);
    return false;
  }
  const std::optional<QStringList> rows = SeriesStore::bindingRows(*bytes);
  if (!rows) {
    Show_NSLog_Message(QStringLiteral("The series file %1 is not UTF-8 text.").arg(path));
    return false;
  }
  data_table_content.insert(name, *rows);
  return true;
}

void QLNWindowController::Calculate_data_table_rows() {
  BindingSources sources;
  sources.series = data_table_content;
  Data_table_rows = sources.seriesRows();
}

void QLNWindowController::Calculate_Excel_table_rows() {
  Excel_table_rows = Data_From_Excel::defaultInstance()->table().rowCount();
}

void QLNWindowController::Get_total_Card_count() {
  onGuiThread([this] {
    showingFailures([this] {
      if (Use_Data_Sheet_Values.load())
        Calculate_data_table_rows();
      else
        Data_table_rows = 0;
      if (Use_Excel_Binding_Values.load())
        Calculate_Excel_table_rows();
      else
        Excel_table_rows = 0;
      Total_Batch_Excel_Card = std::max(Data_table_rows.load(), Excel_table_rows.load());

      BindingSources sources;
      sources.useSeries = Use_Data_Sheet_Values.load() != 0;
      sources.useSpreadsheet = Use_Excel_Binding_Values.load() != 0;
      sources.series = data_table_content;
      if (sources.useSpreadsheet)
        sources.spreadsheet = Data_From_Excel::defaultInstance()->table();
      QString error;
      m_batchRun = BatchCardSource::capture(*this, sources, &error);
      Show_NSLog_Message(error);
    });
  });
}

std::shared_ptr<const BatchCardSource> QLNWindowController::batchCardSource() {
  std::shared_ptr<const BatchCardSource> run;
  onGuiThread([&] {
    if (!m_batchRun)
      Get_total_Card_count();
    run = m_batchRun;
  });
  return run;
}

// ---- Cards of a run ---------------------------------------------------------------------------

CardPicture QLNWindowController::Set_data_table_value_to_card(int row, const QString &side, bool print_box) {
  const std::shared_ptr<const BatchCardSource> run = batchCardSource();
  if (!run)
    return CardPicture();
  QString failure;
  CardPicture picture = run->Set_data_table_value_to_card(row, side, print_box, &failure);
  if (!failure.isEmpty())
    Show_NSLog_Message(QStringLiteral("Set_data_table_value_to_card: card %1: %2").arg(row + 1).arg(failure));
  return picture;
}

void QLNWindowController::Select_first_row_value_for_design(bool) {
  onGuiThread([this] {
    // A run made its cards from copies: the design's own objects show what they showed
    // before it, so there is no row to put back, and the design is left as the run found
    // it (no value, picture or size changed, nothing to save).
    m_batchRun.reset();
    Card_Value_In_Process = false;
    Refresh_Canvas();
  });
}

// ---- Values -----------------------------------------------------------------------------------

QString QLNWindowController::Get_sel_row_col_value_of_dataset(int row, const QString &name) const {
  BindingSources sources;
  sources.series = data_table_content;
  return sources.seriesValue(row, name);
}

QString QLNWindowController::Get_sel_row_col_value_of_Excel(int row, int column) const {
  if (row >= Excel_table_rows.load())
    return QString();
  return Data_From_Excel::defaultInstance()->table().value(row, column);
}

QString QLNWindowController::Get_First_Value_Of_Dataset(const QString &name) {
  try {
    const QString path = SeriesStore::pathOf(name);
    if (path.isEmpty() || !QFileInfo::exists(path))
      return QString();
    QString error;
    const std::optional<QByteArray> bytes = SeriesStore::readFile(path, &error);
    if (!bytes) {
      Show_NSLog_Message(error);
      return QString();
    }
    return SeriesStore::firstValue(*bytes);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  return QString();
}

QString QLNWindowController::Get_First_Value_Of_Excel_Binding(qint32 column) {
  return Data_From_Excel::defaultInstance()->table().value(0, column);
}

// ---- Combos -----------------------------------------------------------------------------------

void QLNWindowController::Fill_Data_Set_File_Name_In_Combo(QComboBox *combo) {
  if (!combo)
    return;
  runLoggingFailures("Fill_Data_Set_File_Name_In_Combo", [&] {
    combo->setCurrentIndex(-1);
    combo->clear();
    combo->addItems(Get_datasheet_File_Name_Array());
    combo->setCurrentIndex(-1);
  });
}

void QLNWindowController::Fill_Excel_Col_Name_In_Combo(QComboBox *combo) {
  if (!combo)
    return;
  runLoggingFailures("Fill_Excel_Col_Name_In_Combo", [&] {
    combo->setCurrentIndex(-1);
    combo->clear();
    // A column is listed under the name the import window gave it, a blank title as
    // "Untitled Column <k>", so that every column can be chosen.
    combo->addItems(Data_From_Excel::defaultInstance()->table().listedTitles());
    combo->setCurrentIndex(-1);
  });
}

void QLNWindowController::Add_Excel_Col_Name_In_Combo(QComboBox *combo) {
  if (combo && combo->count() == 2)
    combo->addItem(ExcelItem);
}

void QLNWindowController::Remove_Excel_Col_Name_In_Combo(QComboBox *combo) {
  if (!combo || combo->count() != 3)
    return;
  const int index = combo->findText(ExcelItem, Qt::MatchExactly);
  if (index >= 0)
    combo->removeItem(index);
}

void QLNWindowController::Update_Excel_Item_In_Data_Source() {
  if (!ui)
    return;
  if (Data_From_Excel::defaultInstance()->table().rowCount() > 0)
    Add_Excel_Col_Name_In_Combo(ui->Data_source_type);
  else
    Remove_Excel_Col_Name_In_Combo(ui->Data_source_type);
}

// ---- Buttons ----------------------------------------------------------------------------------

void QLNWindowController::View_batch_Series_Button(QObject *) {
  runLoggingFailures("View_batch_Series_Button", [this] {
    const QString source = ui->Data_source_type->currentText();
    if (source == QLatin1String("Manual"))
      return;
    if (source == QLatin1String("Series")) {
      const QString name = ui->Batch_Series->currentText();
      if (Trim_Str(name).isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select the series."));
        return;
      }
      if (hooks().viewSeries)
        hooks().viewSeries(name);
      return;
    }
    Data_From_Excel::defaultInstance()->Open_Wnd();
  });
}

void QLNWindowController::Data_Source_Help_Button(QObject *) {
  runLoggingFailures("Data_Source_Help_Button", [] {
    Long_SMS_Dlg *dialog = Long_SMS_Dlg::defaultInstance();
    dialog->title_val = QString();
    dialog->apply_chk_show = false;
    Cutom_Msg_Title = QStringLiteral("Batch Processing Settings Help :");
    Cutom_Msg_Val = QStringLiteral(
        "Select Data Source as 'Manual' to enter value manually, Select 'Batch Processing Series' to fetch the value "
        "from the list of existing Batch Processing Series.");
    dialog->Open_Long_sms_Dialog();
  });
}

void QLNWindowController::installBatchBindingCommands() {
  const char *const installed = "batchBindingCommandsInstalled";
  if (!ui || !ui->view_series_btn || ui->view_series_btn->property(installed).toBool())
    return;
  ui->view_series_btn->setProperty(installed, true);
  connect(ui->view_series_btn, &QPushButton::clicked, this, [this] { View_batch_Series_Button(ui->view_series_btn); });
  connect(ui->data_source_help_btn, &QPushButton::clicked, this,
          [this] { Data_Source_Help_Button(ui->data_source_help_btn); });
  Update_Excel_Item_In_Data_Source();
}
