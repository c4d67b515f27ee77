#include "dataseries/Import_Excel_DataSheet.h"

#include "dataseries/BatchWizard.h"
#include "dataseries/model/SeriesStore.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Long_SMS_Dlg.h"
#include "core/Utilities.h"
#include "platform/ControlActions.h"
#include "platform/UiServices.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>

#include <exception>

Import_Excel_DataSheet *Import_Excel_DataSheet_Window = nullptr;

namespace {

const QString HeaderKey = QStringLiteral("Header");

const QString SelectListName = QStringLiteral("Please select list name.");
const QString EnterListName = QStringLiteral("Please enter list name.");
const QString ReplaceQuestion = QStringLiteral("Batch Processing Series already exists. Do you want to replace it?");
const QString InUseTitle = QStringLiteral("Message :");
const QString InUseText = QStringLiteral(
    "\nBatch processing Series name is already in use with another sequence. Please change Batch Processing Series "
    "Name.");
const QString ExistsTitle = QStringLiteral("Batch Processing Series already exists :");
const QString ExistsText =
    QStringLiteral("\nBatch Processing Series already exists. Do you want to replace it?");
const QString NoDataInSheet = QStringLiteral(
    "There is no data in selected sheet.\nPlease select another Sheet/Excel File.\nEither file is corrupted or "
    "selected file contains invalid characters.");
const QString NoRows = QStringLiteral("Either file is corrupted or selected file contains invalid characters.");

bool inUse(const QString &name) {
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  return controller && controller->Check_Batch_File_In_Use_Validation(name);
}

void refreshManager() {
  if (BatchWizard *manager = BatchWizard_Window)
    manager->Fill_List();
}

}  // namespace

Import_Excel_DataSheet::Import_Excel_DataSheet() {
  m_rowsKeepHeader = true;
  buildWindow();
  connectOwnActions();
  keepInGlobal(Import_Excel_DataSheet_Window, this);
}

Import_Excel_DataSheet::~Import_Excel_DataSheet() = default;

Import_Excel_DataSheet *Import_Excel_DataSheet::defaultInstance() {
  return keptInstance(Import_Excel_DataSheet_Window, [] { return new Import_Excel_DataSheet; });
}

void Import_Excel_DataSheet::connectOwnActions() {
  controls::onAction(Each_col_RD, this, [this] { Each_Col_RD_Click(Each_col_RD); });
  controls::onAction(Fill_col_RD, this, [this] { Fill_Col_RD_Click(Fill_col_RD); });
  controls::onAction(fill_new_RD, this, [this] { Fill_Type_CellClick(0); });
  controls::onAction(fill_replace_RD, this, [this] { Fill_Type_CellClick(1); });
  controls::onAction(fill_append_RD, this, [this] { Fill_Type_CellClick(2); });
}

// ---- Opening and the mode ------------------------------------------------------------------------

void Import_Excel_DataSheet::prepareOpening() {
  Fill_Type_CellClick(0);
  controls::setCheckedQuietly(Each_col_RD, true);
  controls::setCheckedQuietly(Fill_col_RD, false);
  SetObjEnabled(fill_box, false);
  List_ComboBox->clear();
  List_ComboBox->setCurrentIndex(-1);
  list_name->setText(QString());
}

void Import_Excel_DataSheet::afterLoading() {
  const QStringList names = QLNWindowController::Get_datasheet_File_Name_Array();
  List_ComboBox->addItems(names);
  List_ComboBox->setCurrentIndex(names.isEmpty() ? -1 : 0);
}

void Import_Excel_DataSheet::Each_Col_RD_Click(QObject *) {
  controls::setCheckedQuietly(Each_col_RD, true);
  controls::setCheckedQuietly(Fill_col_RD, false);
  SetObjEnabled(fill_box, false);
}

void Import_Excel_DataSheet::Fill_Col_RD_Click(QObject *) {
  controls::setCheckedQuietly(Fill_col_RD, true);
  controls::setCheckedQuietly(Each_col_RD, false);
  SetObjEnabled(fill_box, true);
}

void Import_Excel_DataSheet::Fill_Type_CellClick(int choice) {
  if (choice < 0 || choice > 2)
    return;
  fill_col_option = choice;
  QRadioButton *cells[] = {fill_new_RD, fill_replace_RD, fill_append_RD};
  controls::setCheckedQuietly(cells[choice], true);
  const bool newSeries = choice == 0;
  list_name->setVisible(newSeries);
  List_ComboBox->setVisible(!newSeries);
  ColList->setColumnHidden(2, !newSeries);  // the "Header" column
}

void Import_Excel_DataSheet::Create_List(const QString &name, bool state, const QString &datasetname) {
  appendColumnRow(name, state, &datasetname);
  reloadColumnList();
}

// ---- OK ---------------------------------------------------------------------------------------------

void Import_Excel_DataSheet::importTicked() {
  const QString path = file_path->text();
  bool close = true;
  try {
    if (Each_col_RD->isChecked()) {
      Create_file_For_Col_Func(path);
    } else if (fill_col_option != 0 && Trim_Str(List_ComboBox->currentText()).isEmpty()) {
      Show_MessageBox(SelectListName);
      close = false;
    } else if (fill_col_option == 0 && Trim_Str(list_name->text()).isEmpty()) {
      Show_MessageBox(EnterListName);
      close = false;
    } else {
      close = Insert_file_Func(path);
    }
  } catch (const std::exception &error) {
    Hide_Destroy_Modeless();
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  } catch (...) {
    Hide_Destroy_Modeless();
    Show_NSLog_Message(QStringLiteral("The spreadsheet import failed."));
  }
  if (!close)
    return;
  excel_content.clear();
  m_window->done(ModalOK);
}

bool Import_Excel_DataSheet::Create_file_For_Col_Func(const QString &) {
  // An apply-to-all answer belongs to the import that asked it.
  Msg_Apply_All_Chk = 0;
  Show_Create_Modeless();
  const std::optional<QList<QStringList>> rows = readAllRows();
  const int first = firstDataRow();
  const bool anyRows = rows && rows->size() > first;
  QStringList failed;
  if (anyRows) {
    excel_content = *rows;
    Long_SMS_Dlg *dialog = Long_SMS_Dlg::defaultInstance();
    const bool offerApplyAll = Excel_Sheet_Columns.load() != 1;
    const auto ask = [&](const QString &title, const QString &text) {
      dialog->title_val = title;
      dialog->msg_val_str = text;
      dialog->apply_chk_show = offerApplyAll;
      return dialog->Open_Long_sms_Dialog();
    };
    for (int column : tickedColumns()) {
      const QString shown = Remove_Reserve_Char_In_File_Name(Trim_Str(ListData_xl.at(column).value(HeaderKey).toString()));
      // A name that is no plain file name ("a/b" would reach into another folder) is
      // written nowhere.
      const QString name = SeriesStore::cleanedName(shown);
      if (name.isEmpty()) {
        failed.append(shown);
        continue;
      }
      QStringList values;
      values.reserve(rows->size() - first);
      for (qsizetype r = first; r < rows->size(); ++r) {
        const QStringList &cells = rows->at(r);
        values.append(column < cells.size() ? cells.at(column) : QString());
      }
      if (SeriesStore::exists(name) && Msg_Apply_All_Chk == 0) {
        if (inUse(name)) {
          ask(InUseTitle, name + InUseText);
          continue;
        }
        if (ask(ExistsTitle, name + ExistsText) != ModalOK)
          continue;
      }
      // The old file is replaced only once the new one is whole.
      if (!SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                              SeriesStore::WriteMode::Replace))
        failed.append(name);
    }
    dialog->title_val = QString();
    dialog->msg_val_str = QString();
    dialog->apply_chk_show = false;
  }
  if (file_name_Insert == 1)
    refreshManager();
  Hide_Destroy_Modeless();
  if (!anyRows)
    tellNoRows(rows, NoDataInSheet);
  if (!failed.isEmpty())
    Show_MessageBox(SeriesStore::FileAccessError + QLatin1Char('\n') + failed.join(QLatin1Char('\n')));
  return true;
}

bool Import_Excel_DataSheet::Insert_file_Func(const QString &) {
  Show_Create_Modeless();
  // A new series takes the typed name, cleaned; an existing one is written under its
  // listed name as it stands, so that it is that series and no other.
  const QString listed = List_ComboBox->currentText();
  const QString name = fill_col_option == 0 ? SeriesStore::cleanedName(list_name->text())
                                            : (SeriesStore::pathOf(listed).isEmpty() ? QString() : listed);
  if (name.isEmpty()) {
    Hide_Destroy_Modeless();
    Show_MessageBox(SeriesStore::FileAccessError);
    return false;
  }
  // Everything is read before the target is touched: a sheet without data leaves it
  // as it was.
  const std::optional<QList<QStringList>> rows = readAllRows();
  const int first = firstDataRow();
  if (!rows || rows->size() <= first) {
    Hide_Destroy_Modeless();
    tellNoRows(rows, NoRows);
    return true;
  }
  excel_content = *rows;
  const QList<int> ticked = tickedColumns();
  QStringList values;
  for (qsizetype r = first; r < rows->size(); ++r) {
    const QStringList &cells = rows->at(r);
    for (int column : ticked)
      values.append(column < cells.size() ? cells.at(column) : QString());
  }
  if (fill_col_option == 0 && SeriesStore::exists(name) && !Show_YES_NO_MessageBox(ReplaceQuestion)) {
    Hide_Destroy_Modeless();
    return false;
  }
  const SeriesStore::WriteMode mode =
      fill_col_option == 2 ? SeriesStore::WriteMode::Append : SeriesStore::WriteMode::Replace;
  if (!SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines, mode)) {
    Hide_Destroy_Modeless();
    Show_MessageBox(SeriesStore::FileAccessError);
    return false;
  }
  if (file_name_Insert == 1)
    refreshManager();
  Hide_Destroy_Modeless();
  return true;
}
