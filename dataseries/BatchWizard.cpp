#include "dataseries/BatchWizard.h"

#include "dataseries/Generate_List.h"
#include "dataseries/Import_Wizard.h"
#include "dataseries/SeriesValueDialogs.h"
#include "dataseries/SeriesWindowSupport.h"
#include "dataseries/model/SeriesStore.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Long_SMS_Dlg.h"
#include "core/Utilities.h"
#include "platform/UiServices.h"
#include "platform/WholeFile.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <cerrno>
#include <cstdio>

using namespace serieswindows;

BatchWizard *BatchWizard_Window = nullptr;

namespace {

const QString NameKey = QStringLiteral("Extension");
const QString ValueKey = QStringLiteral("Header");
const QString InUseUpdate = QStringLiteral("Batch Processing Series can't be update because it is currently in use.");
const QString InUseDelete = QStringLiteral("Batch Processing Series can't be delete because it is currently in use.");
const QString ListIsEmpty = QStringLiteral("List is empty.");

bool inUse(const QString &name) {
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  return controller && controller->Check_Batch_File_In_Use_Validation(name);
}

// `path` without the extension of its file name.
QString withoutExtension(const QString &path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  return dot > slash + 1 ? path.left(dot) : path;
}

}  // namespace

BatchWizard::BatchWizard()
    : m_loadNumInfo(std::make_unique<Load_Num_Info>()), m_updateExNum(std::make_unique<Update_Ex_Num>()) {
  buildWindow();
  connectActions();
  Load_Number_Window = m_loadNumInfo->window();
  Update_Value_Wnd = m_updateExNum->window();
  Update_m_ex_num_str = m_updateExNum->m_ex_num_str;
  Update_m_s_number = m_updateExNum->m_s_number;
  Update_m_ex_num_index = m_updateExNum->m_ex_num_index;
  keepInGlobal(BatchWizard_Window, this);
}

BatchWizard::~BatchWizard() = default;

BatchWizard *BatchWizard::defaultInstance() {
  return keptInstance(BatchWizard_Window, [] { return new BatchWizard; });
}

std::function<int(qint32, qint32)> &BatchWizard::importWizard() {
  static std::function<int(qint32, qint32)> open;
  return open;
}

int BatchWizard::openImportWizard(qint32 required, qint32 insert) {
  if (const std::function<int(qint32, qint32)> &installed = importWizard())
    return installed(required, insert);
  return Import_Wizard::openWithFlags(required, insert);
}

// ---- Opening and closing ------------------------------------------------------------------------

int BatchWizard::Open_Wnd() {
  int code = 0;
  runLoggingFailures("BatchWizard Open_Wnd", [&] {
    Check_Path_And_Create_Files();
    showListScreen(true);
    Fill_List();
    code = UiServices::instance().runModal(m_window);
    m_window->hide();
  });
  return code;
}

void BatchWizard::showListScreen(bool list) {
  // The screen not shown takes no room: the one shown fills the window.
  avl_list_box->parentWidget()->setVisible(list);
  list_value_box->parentWidget()->setVisible(!list);
  avl_list_box->setVisible(list);
  btn_box1->setVisible(list);
  list_value_box->setVisible(!list);
  btn_box2->setVisible(!list);
  if (list)
    update_list_name->clear();
}

void BatchWizard::Close_Btn_Clicked(QObject *) { m_window->done(0); }
void BatchWizard::Close_2_Btn_Clicked(QObject *) { m_window->done(0); }
void BatchWizard::Help_Btn_Clicked(QObject *) { Open_Help_File(); }
void BatchWizard::Help_2_Btn_Clicked(QObject *) { Open_Help_File(); }

// ---- Rows ---------------------------------------------------------------------------------------

void BatchWizard::Create_Value_List(const QString &value) {
  const QString trimmed = Trim_Str(value);
  if (trimmed.isEmpty())
    return;
  ListData_value.append(QVariantMap{{ValueKey, trimmed}});
  m_valueModel->rowAppended();
  batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(ListData_value.size()));
}

void BatchWizard::Create_Avail_List(const QString &name) {
  // The listed name is the file's own: trimmed it could stand for another series.
  if (Trim_Str(name).isEmpty())
    return;
  ListData.append(QVariantMap{{NameKey, name}});
  m_listModel->rowAppended();
  batch_list_count->setText(QStringLiteral("Total List : %1").arg(ListData.size()));
}

void BatchWizard::Fill_List() {
  ListData.clear();
  Update_batch_List_Count();
  for (const QString &name : QLNWindowController::Get_datasheet_File_Name_Array())
    Create_Avail_List(name);
}

QString BatchWizard::Get_Value_Text(qint32 row) const {
  if (row < 0 || row >= ListData_value.size()) {
    Show_NSLog_Message(QStringLiteral("pRowIndex >= 0 && pRowIndex < [ListData_value count]"));
    return QString();
  }
  return Trim_Str(ListData_value.at(row).value(ValueKey).toString());
}

QString BatchWizard::Get_List_Name_Text(qint32 row) const {
  if (row < 0 || row >= ListData.size()) {
    Show_NSLog_Message(QStringLiteral("pRowIndex >= 0 && pRowIndex < [ListData count]"));
    return QString();
  }
  return ListData.at(row).value(NameKey).toString();
}

void BatchWizard::Update_Value_List_Count() {
  m_valueModel->reload();
  batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(ListData_value.size()));
}

void BatchWizard::Update_batch_List_Count() {
  m_listModel->reload();
  batch_list_count->setText(QStringLiteral("Total List : %1").arg(ListData.size()));
}

void BatchWizard::Mark_List_New_Selection(qint32 row) { selectOnly(List, row); }
void BatchWizard::Mark_List_New_Selection_Value(qint32 row) { selectOnly(List_value, row); }

void BatchWizard::Show_Create_Modeless() {
  if (plz_wait_Window && m_window && m_window->isVisible())
    plz_wait_Window->show();
}

void BatchWizard::Hide_Destroy_Modeless() {
  if (plz_wait_Window)
    plz_wait_Window->hide();
}

QStringList BatchWizard::editorValues() const {
  QStringList values;
  values.reserve(ListData_value.size());
  for (const QVariantMap &row : ListData_value)
    values.append(row.value(ValueKey).toString());
  return values;
}

void BatchWizard::removeSelectedRows(QTableView *table, QList<QVariantMap> &rows) {
  const int current = currentRow(table);
  const QList<int> selected = selectedRows(table);
  for (auto it = selected.crbegin(); it != selected.crend(); ++it)
    if (*it < rows.size())
      rows.removeAt(*it);
  if (&rows == &ListData_value)
    Update_Value_List_Count();
  else
    Update_batch_List_Count();
  const int above = current - 1;
  if (above >= 0 && above < rows.size())
    selectOnly(table, above);
}

// ---- The series list --------------------------------------------------------------------------

bool BatchWizard::Batch_List_Selection_Validation() {
  if (ListData.isEmpty()) {
    Show_MessageBox(QStringLiteral("Available list is empty."));
    return false;
  }
  const int row = currentRow(List);
  if (row < 0 || Get_List_Name_Text(row).isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select a record from the available list to continue."));
    List->setFocus();
    return false;
  }
  return true;
}

void BatchWizard::AddNew_Btn_Clicked(QObject *) {
  runLoggingFailures("AddNew_Btn_Clicked", [this] {
    showListScreen(false);
    update_list_name->clear();
    batch_list_name->setText(QStringLiteral("Untitled"));
    ListData_value.clear();
    Update_Value_List_Count();
  });
}

void BatchWizard::Update_Btn_Clicked(QObject *) {
  runLoggingFailures("Update_Btn_Clicked", [this] { On_Update(); });
}

void BatchWizard::On_Update() {
  if (!Batch_List_Selection_Validation())
    return;
  const QString name = Get_List_Name_Text(currentRow(List));
  const QString path = SeriesStore::pathOf(name);
  // The series is edited to be saved again: its file must be a regular file that can be
  // read and written.
  if (path.isEmpty() || !QFileInfo(path).isFile()) {
    Show_MessageBox(SeriesStore::FileAccessError);
    return;
  }
  QFile file(path);
  errno = 0;
  if (!file.open(QIODevice::ReadWrite)) {
    std::printf("err no : %d\n", errno);
    std::fflush(stdout);
    Show_MessageBox(SeriesStore::FileAccessError);
    return;
  }
  file.close();
  QString reason;
  const std::optional<QByteArray> bytes = SeriesStore::readFile(path, &reason);
  if (!bytes) {
    Show_NSLog_Message(reason);
    Show_MessageBox(SeriesStore::FileAccessError);
    return;
  }
  showListScreen(false);
  batch_list_name->setText(name);
  update_list_name->setText(name);
  ListData_value.clear();
  Show_Create_Modeless();
  for (const QString &value : SeriesStore::editorValues(*bytes))
    ListData_value.append(QVariantMap{{ValueKey, value}});
  Update_Value_List_Count();
  Hide_Destroy_Modeless();
}

void BatchWizard::Delete_List_Btn_Clicked(QObject *) {
  runLoggingFailures("Delete_List_Btn_Clicked", [this] {
    if (!Batch_List_Selection_Validation())
      return;
    // The apply-to-all answer belongs to the run that asked it; this command asks none,
    // so an answer left from another window never lets a series in use pass unasked.
    Msg_Apply_All_Chk = 0;
    if (inUse(Get_List_Name_Text(currentRow(List)))) {
      Show_MessageBox(InUseDelete);
      return;
    }
    if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure want to delete selected Batch Processing Series?")))
      return;
    const int current = currentRow(List);
    bool stopped = false;
    for (const int row : selectedRows(List)) {
      const QString name = Get_List_Name_Text(row);
      if (inUse(name)) {
        Show_MessageBox(InUseDelete);
        stopped = true;
        break;
      }
      // Only the series file itself: a folder standing under its name is the user's.
      if (SeriesStore::exists(name))
        Delete_File(SeriesStore::pathOf(name));
    }
    // The list shows what the data folder holds now: series deleted before a stop go,
    // a file that could not be removed stays.
    Fill_List();
    if (stopped)
      return;
    const int above = current - 1;
    if (above >= 0 && above < ListData.size())
      Mark_List_New_Selection(above);
  });
}

void BatchWizard::Import_Btn_Clicked(QObject *) {
  runLoggingFailures("Import_Btn_Clicked", [] { openImportWizard(1, 1); });
}

void BatchWizard::CreateSeries_Btn_Clicked(QObject *) {
  runLoggingFailures("CreateSeries_Btn_Clicked", [] {
    Generate_List *generator = Generate_List::defaultInstance();
    generator->file_name_required = 1;
    generator->file_name_Insert = 1;
    generator->Open_Wnd();
  });
}

// ---- The value editor ---------------------------------------------------------------------------

bool BatchWizard::askReplaceOrAppend(QList<QVariantMap> *replaced) {
  if (ListData_value.isEmpty())
    return true;
  const int code = UiServices::instance().runModal(Load_Number_Window);
  Load_Number_Window->hide();
  if (code == 1) {
    *replaced = ListData_value;
    ListData_value.clear();
    Update_Value_List_Count();
    return true;
  }
  return code == 0;
}

void BatchWizard::Import_Value_Btn_Clicked(QObject *) {
  runLoggingFailures("Import_Value_Btn_Clicked", [this] {
    QList<QVariantMap> replaced;
    if (!askReplaceOrAppend(&replaced))
      return;
    // A cancelled import leaves the values the user had.
    if (openImportWizard(0, 1) != 1 && !replaced.isEmpty() && ListData_value.isEmpty()) {
      ListData_value = replaced;
      Update_Value_List_Count();
    }
  });
}

void BatchWizard::Series_Value_Btn_Clicked(QObject *) {
  runLoggingFailures("Series_Value_Btn_Clicked", [this] {
    QList<QVariantMap> replaced;
    if (!askReplaceOrAppend(&replaced))
      return;
    Generate_List *generator = Generate_List::defaultInstance();
    generator->file_name_required = 0;
    generator->file_name_Insert = 1;
    // A cancelled generator leaves the values the user had.
    if (generator->Open_Wnd() != 1 && !replaced.isEmpty() && ListData_value.isEmpty()) {
      ListData_value = replaced;
      Update_Value_List_Count();
    }
  });
}

void BatchWizard::Delete_Rows_Btn_Clicked(QObject *) {
  runLoggingFailures("Delete_Rows_Btn_Clicked", [this] {
    if (ListData_value.isEmpty()) {
      Show_MessageBox(ListIsEmpty);
      List_value->setFocus();
      return;
    }
    if (selectedRows(List_value).isEmpty()) {
      Show_MessageBox(QStringLiteral("Please select at least one record from the list to continue."));
      List_value->setFocus();
      return;
    }
    removeSelectedRows(List_value, ListData_value);
  });
}

void BatchWizard::doubleClickInTable(QObject *table) {
  runLoggingFailures("doubleClickInTable", [this, table] {
    auto *view = qobject_cast<QTableView *>(table);
    if (!view || selectedRows(view).isEmpty())
      return;
    if (selectedRows(view).size() > 1) {
      Show_MessageBox(QStringLiteral("Please select only one record to update."));
      return;
    }
    if (view == List)
      On_Update();
    else if (view == List_value)
      OnGetSelected();
  });
}

void BatchWizard::OnGetSelected() {
  if (ListData_value.isEmpty())
    return;
  const int row = currentRow(List_value);
  if (row < 0)
    return;
  const QString value = Get_Value_Text(row);
  Update_m_ex_num_str->setText(value);
  Update_m_s_number->setText(value);
  Update_m_ex_num_index->setText(QString::number(row));
  UiServices::instance().runModal(Update_Value_Wnd);
  Update_Value_Wnd->hide();
}

void BatchWizard::Back_Btn_Clicked(QObject *) {
  runLoggingFailures("Back_Btn_Clicked", [this] {
    showListScreen(true);
    Fill_List();
  });
}

void BatchWizard::Save_Btn_Clicked(QObject *) {
  runLoggingFailures("Save_Btn_Clicked", [this] {
    if (ListData_value.isEmpty()) {
      Show_MessageBox(ListIsEmpty);
      return;
    }
    const QString typed = batch_list_name->text();
    const QString former = update_list_name->text();
    // Saved under the name it was opened with, a series keeps that name as it stands;
    // only a name the user typed is cleaned.
    const QString name = !former.isEmpty() && typed == former ? former : SeriesStore::cleanedName(typed);
    const QString path = SeriesStore::pathOf(name);
    if (path.isEmpty()) {
      Show_MessageBox(SeriesStore::FileAccessError);
      return;
    }
    // Neither the series being edited nor another one it would be saved over may be in
    // use on the card.
    if ((!former.isEmpty() && inUse(former)) || (name != former && inUse(name))) {
      Show_MessageBox(InUseUpdate);
      return;
    }
    if (SeriesStore::exists(name) && name != former &&
        !Show_YES_NO_MessageBox(QStringLiteral("Batch Processing Series already exists. Do you want to replace it?")))
      return;

    Show_Create_Modeless();
    Export_File_Path = path;
    QString error;
    // The new file is whole before the old one (of another name) goes. An empty row is
    // a card's row (a column's empty cell): it is written as the empty line it was read
    // from, so that every later value stays on its card.
    const bool written = SeriesStore::writeRenaming(name, former, editorValues(),
                                                    SeriesStore::EmptyValues::KeepAsEmptyLines, &error);
    Hide_Destroy_Modeless();
    if (!written) {
      Show_MessageBox(error.isEmpty() ? SeriesStore::FileAccessError : error);
      return;
    }
    m_window->raise();
    showListScreen(true);
    Fill_List();
  });
}

void BatchWizard::Export_Value_Btn_Clicked(QObject *) {
  runLoggingFailures("Export_Value_Btn_Clicked", [this] {
    if (ListData_value.isEmpty()) {
      Show_MessageBox(ListIsEmpty);
      List_value->setFocus();
      return;
    }
    // A workbook or a text file: the panel offers the two types to choose from, the
    // workbook chosen at first, and the chosen type decides the file's extension.
    FilePanelOptions options;
    options.title = QStringLiteral("Export");
    options.extensions = {QStringLiteral("xlsx"), QStringLiteral("txt")};
    options.defaultExtension = QStringLiteral("xlsx");
    options.suggestedName = Trim_Str(batch_list_name->text()) + QStringLiteral(".xlsx");
    options.chooseType = true;
    const QString chosen = UiServices::instance().saveFile(options);
    if (chosen.isEmpty())
      return;
    m_window->raise();
    // The path ends in the chosen type's extension.
    const bool text = QFileInfo(chosen).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
    const QString path = withoutExtension(chosen) + (text ? QStringLiteral(".txt") : QStringLiteral(".xlsx"));

    Show_Create_Modeless();
    Export_File_Path = path;
    QStringList values;
    for (const QVariantMap &row : ListData_value)
      values.append(row.value(ValueKey).toString());
    bool written = false;
    QString reason;  // the writer's, with the system's words
    if (text) {
      QByteArray bytes;
      for (const QString &value : values) {
        bytes += value.toUtf8();
        bytes += '\n';
      }
      // Written whole or not at all: a file already there stays until the new one is complete.
      written = WholeFiles::write(path, bytes, &reason);
      if (!written)
        Show_NSLog_Message(QStringLiteral("The series was not exported to %1: %2").arg(path, reason));
    } else {
      written = writeSeriesWorkbook(path, values, &reason);
      Show_NSLog_Message(reason);
    }
    if (!written) {
      Hide_Destroy_Modeless();
      Show_MessageBox(reason.isEmpty() ? SeriesStore::FileAccessError
                                       : SeriesStore::FileAccessError + QLatin1Char('\n') + reason);
      return;
    }
    Hide_Destroy_Modeless();
    m_window->raise();
    Export_File_Message = QStringLiteral("Record has been exported successfully.");
    Export_File_Path = path;
    if (QLNWindowController *controller = QLNWindowController::defaultInstance())
      controller->Open_Export_File_Box();
  });
}
