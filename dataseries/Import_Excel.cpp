#include "dataseries/Import_Excel.h"

#include "dataseries/BatchWizard.h"
#include "dataseries/Data_From_Excel.h"
#include "dataseries/model/ImportedRows.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include "core/Globals.h"
#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>
#include <exception>

Import_Excel *Import_Excel_Window = nullptr;

namespace {

const QString StateKey = QStringLiteral("State");
const QString NameKey = QStringLiteral("Extension");
const QString HeaderKey = QStringLiteral("Header");

const QString NoColumn = QStringLiteral("There is no column.");
const QString NoneSelected = QStringLiteral("No column is selected.");
const QString NoRows = QStringLiteral("Either file is corrupted or selected file contains invalid characters.");

}  // namespace

// ---- The column list's model ----------------------------------------------------------------------

namespace importwindows {

// The column list as its table shows it: one view column per identifier, each cell read
// and stored through the window's data-source operations.
class ColumnListModel : public QAbstractTableModel {
public:
  ColumnListModel(SpreadsheetColumnWindow *window, QStringList identifiers)
      : QAbstractTableModel(window), m_window(window), m_identifiers(std::move(identifiers)) {}

  void reload() {
    beginResetModel();
    endResetModel();
  }
  int columnOf(const QString &identifier) const { return int(m_identifiers.indexOf(identifier)); }

  int rowCount(const QModelIndex &parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : m_window->numberOfRowsInTableView();
  }
  int columnCount(const QModelIndex &parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : int(m_identifiers.size());
  }
  QVariant data(const QModelIndex &index, int role) const override {
    if (!index.isValid())
      return QVariant();
    const QString &identifier = m_identifiers.at(index.column());
    const QVariant value = m_window->tableView_objectValueForTableColumn(identifier, index.row());
    if (identifier == StateKey)
      return role == Qt::CheckStateRole ? QVariant(value.toBool() ? Qt::Checked : Qt::Unchecked) : QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
      return value.toString();
    return QVariant();
  }
  bool setData(const QModelIndex &index, const QVariant &value, int role) override {
    if (!index.isValid())
      return false;
    const QString &identifier = m_identifiers.at(index.column());
    if (identifier == StateKey && role == Qt::CheckStateRole)
      m_window->tableView_setObjectValue(value.toInt() == Qt::Checked, identifier, index.row());
    else if (identifier == HeaderKey && role == Qt::EditRole)
      m_window->tableView_setObjectValue(value.toString(), identifier, index.row());
    else
      return false;
    emit dataChanged(index, index, {role});
    return true;
  }
  Qt::ItemFlags flags(const QModelIndex &index) const override {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid())
      return flags;
    const QString &identifier = m_identifiers.at(index.column());
    if (identifier == StateKey)
      flags |= Qt::ItemIsUserCheckable;
    else if (identifier == HeaderKey)
      flags |= Qt::ItemIsEditable;
    return flags;
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_identifiers.size())
      return QAbstractTableModel::headerData(section, orientation, role);
    const QString &identifier = m_identifiers.at(section);
    if (identifier == StateKey)
      return QString();
    return identifier == HeaderKey ? QStringLiteral("Series Name") : QStringLiteral("Column");
  }

private:
  SpreadsheetColumnWindow *m_window;
  QStringList m_identifiers;
};

}  // namespace importwindows

// ---- What both windows share ---------------------------------------------------------------------

SpreadsheetColumnWindow::~SpreadsheetColumnWindow() = default;

void SpreadsheetColumnWindow::attachColumnModel(const QStringList &identifiers) {
  m_columnModel = new importwindows::ColumnListModel(this, identifiers);
  ColList->setModel(m_columnModel);
}

int SpreadsheetColumnWindow::Open_excel_Wnd(const QString &path) {
  runLoggingFailures("Open_excel_Wnd", [this, &path] {
    Excel_Sheet_Number = 1;
    file_path->setText(path);
    contains_header->setChecked(true);
    ListData_xl.clear();
    reloadColumnList();
    Sheet_ComboBox->clear();
    m_sheetNumbers.clear();
    excel_content.clear();
    prepareOpening();
    // The window opens only once its sheet and column lists are filled.
    Load_Val_Thread(path);
    afterLoading();
  });
  const int code = UiServices::instance().runModal(m_window);
  m_window->hide();
  return code;
}

void SpreadsheetColumnWindow::Load_Val_Thread(const QString &path) {
  runLoggingFailures("Load_Val_Thread", [this, &path] { Load_file_Func(path); });
}

void SpreadsheetColumnWindow::Load_file_Func(const QString &path) {
  Show_Create_Modeless();
  QString error;
  const std::optional<QList<QStringList>> opened = SpreadsheetWriter::ReadWorkbook(path, true, &error);
  if (!opened) {
    Show_NSLog_Message(QStringLiteral("The workbook %1 cannot be opened: %2").arg(path, error));
    Hide_Destroy_Modeless();
    tellRefusal(error);
    return;
  }
  excel_content = *opened;
  // The worksheet parts, in the order of their numbers: a listing sorted by name would
  // put sheet10 before sheet2, and each item must read the part it names.
  const QDir worksheets(SpreadsheetWriter::shared().tmpDir + QStringLiteral("/xl/worksheets"));
  static const QRegularExpression partName(QStringLiteral("^sheet([1-9][0-9]{0,8})\\.xml$"));
  QList<int> numbers;
  if (worksheets.exists()) {
    for (const QFileInfo &entry : worksheets.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
      const QRegularExpressionMatch match = partName.match(entry.fileName());
      if (match.hasMatch() && !entry.isSymLink())
        numbers.append(match.captured(1).toInt());
    }
  }
  std::sort(numbers.begin(), numbers.end());
  m_sheetNumbers = numbers;
  {
    const QSignalBlocker quiet(Sheet_ComboBox);
    Sheet_ComboBox->clear();
    for (int number : numbers)
      Sheet_ComboBox->addItem(QStringLiteral("sheet%1").arg(number));
    Sheet_ComboBox->setCurrentIndex(numbers.isEmpty() ? -1 : 0);
  }
  if (!numbers.isEmpty())
    comboBoxSelectionDidChange(Sheet_ComboBox);
  Hide_Destroy_Modeless();
}

void SpreadsheetColumnWindow::comboBoxSelectionDidChange(QObject *sender) {
  if (sender != Sheet_ComboBox)
    return;
  runLoggingFailures("comboBoxSelectionDidChange", [this] {
    const int item = Sheet_ComboBox->currentIndex();
    if (item < 0 || item >= m_sheetNumbers.size())
      return;
    Excel_Sheet_Number = m_sheetNumbers.at(item);
    QString error;
    const std::optional<QList<QStringList>> names = SpreadsheetWriter::ReadData_only_column(&error);
    if (!names) {
      // No names of another sheet stay listed for a sheet that was refused.
      ListData_xl.clear();
      reloadColumnList();
      tellRefusal(error);
      return;
    }
    if (names->isEmpty() || names->first().isEmpty())
      return;
    ListData_xl.clear();
    for (const QString &name : names->first())
      appendColumnRow(name, false, m_rowsKeepHeader ? &name : nullptr);
    reloadColumnList();
  });
}

void SpreadsheetColumnWindow::appendColumnRow(const QString &name, bool state, const QString *header) {
  // A blank name still takes its place in the list: list row i is sheet column i.
  const QString placeholder = ImportedRowsTable::untitledColumnName(int(ListData_xl.size()) + 1);
  const QString trimmed = Trim_Str(name);
  QVariantMap row{{StateKey, state}, {NameKey, trimmed.isEmpty() ? placeholder : trimmed}};
  if (header)
    row.insert(HeaderKey, Trim_Str(*header).isEmpty() ? placeholder : *header);
  ListData_xl.append(row);
}

void SpreadsheetColumnWindow::reloadColumnList() {
  if (m_columnModel)
    m_columnModel->reload();
}

int SpreadsheetColumnWindow::numberOfRowsInTableView() const { return int(ListData_xl.size()); }

QVariant SpreadsheetColumnWindow::tableView_objectValueForTableColumn(const QString &identifier, int row) const {
  if (row < 0 || row >= ListData_xl.size())
    return QVariant();
  return ListData_xl.at(row).value(identifier);
}

void SpreadsheetColumnWindow::tableView_setObjectValue(const QVariant &value, const QString &identifier, int row) {
  if (row < 0 || row >= ListData_xl.size() || identifier.isEmpty()) {
    Show_NSLog_Message(QStringLiteral("The column list has no row %1 to change.").arg(row));
    return;
  }
  ListData_xl[row].insert(identifier, value);
}

bool SpreadsheetColumnWindow::Get_Selection_State(int index) const {
  if (index < 0 || index >= ListData_xl.size())
    return false;
  return ListData_xl.at(index).value(StateKey).toBool();
}

bool SpreadsheetColumnWindow::Check_For_One_Extension_Selection() const {
  return std::any_of(ListData_xl.begin(), ListData_xl.end(),
                     [](const QVariantMap &row) { return row.value(StateKey).toBool(); });
}

QList<int> SpreadsheetColumnWindow::tickedColumns() const {
  QList<int> columns;
  for (int i = 0; i < ListData_xl.size(); ++i)
    if (Get_Selection_State(i))
      columns.append(i);
  return columns;
}

int SpreadsheetColumnWindow::firstDataRow() const { return contains_header->isChecked() ? 1 : 0; }

std::optional<QList<QStringList>> SpreadsheetColumnWindow::readAllRows() {
  QString error;
  std::optional<QList<QStringList>> rows = SpreadsheetWriter::ReadWorkbook(file_path->text(), false, &error);
  m_readFailure.clear();
  if (!rows) {
    Show_NSLog_Message(QStringLiteral("The sheet cannot be read: %1").arg(error));
    m_readFailure = error;
  }
  return rows;
}

QString SpreadsheetColumnWindow::refusalMessage(const QString &reason) const {
  const QString name = QFileInfo(file_path->text()).fileName();
  return reason.isEmpty() ? QStringLiteral("The workbook \u201c%1\u201d cannot be read.").arg(name)
                          : QStringLiteral("The workbook \u201c%1\u201d cannot be read: %2.").arg(name, reason);
}

void SpreadsheetColumnWindow::tellRefusal(const QString &reason) { Show_MessageBox(refusalMessage(reason)); }

void SpreadsheetColumnWindow::tellNoRows(const std::optional<QList<QStringList>> &rows, const QString &generic) {
  if (rows)
    Show_MessageBox(generic);
  else
    tellRefusal(m_readFailure);
}

void SpreadsheetColumnWindow::Select_ALL_Pressed(QObject *) {
  for (QVariantMap &row : ListData_xl)
    row.insert(StateKey, true);
  reloadColumnList();
}

void SpreadsheetColumnWindow::Clear_All_Pressed(QObject *) {
  for (QVariantMap &row : ListData_xl)
    row.insert(StateKey, false);
  reloadColumnList();
}

void SpreadsheetColumnWindow::OKPressed(QObject *) {
  if (ListData_xl.isEmpty()) {
    Show_MessageBox(NoColumn);
    return;
  }
  if (!Check_For_One_Extension_Selection()) {
    Show_MessageBox(NoneSelected);
    return;
  }
  importTicked();
}

void SpreadsheetColumnWindow::CancelPressed(QObject *) {
  excel_content.clear();
  m_window->done(ModalCancel);
}

void SpreadsheetColumnWindow::Show_Create_Modeless() {
  if (plz_wait_Window && m_window && m_window->isVisible())
    plz_wait_Window->show();
}

void SpreadsheetColumnWindow::Hide_Destroy_Modeless() {
  if (plz_wait_Window)
    plz_wait_Window->hide();
}

// ---- The column import window -------------------------------------------------------------------

Import_Excel::Import_Excel() {
  buildWindow();
  keepInGlobal(Import_Excel_Window, this);
}

Import_Excel::~Import_Excel() = default;

Import_Excel *Import_Excel::defaultInstance() {
  return keptInstance(Import_Excel_Window, [] { return new Import_Excel; });
}

void Import_Excel::Create_List(const QString &name, bool state) {
  appendColumnRow(name, state, nullptr);
  reloadColumnList();
}

void Import_Excel::importTicked() {
  const QString path = file_path->text();
  try {
    if (open_mode == QStringLiteral("D"))
      Insert_file_Func(path);
    else
      Create_Excel_List_Func(path);
  } catch (const std::exception &error) {
    Hide_Destroy_Modeless();
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  } catch (...) {
    Hide_Destroy_Modeless();
    Show_NSLog_Message(QStringLiteral("The spreadsheet import failed."));
  }
  excel_content.clear();
  m_window->done(ModalOK);
}

void Import_Excel::Insert_file_Func(const QString &) {
  Show_Create_Modeless();
  const std::optional<QList<QStringList>> rows = readAllRows();
  const QList<int> ticked = tickedColumns();
  const int first = firstDataRow();
  const bool anyRows = rows && rows->size() > first;
  if (anyRows) {
    excel_content = *rows;
    if (BatchWizard *editor = BatchWizard_Window) {
      for (qsizetype r = first; r < rows->size(); ++r) {
        const QStringList &cells = rows->at(r);
        for (int column : ticked)
          if (column < cells.size())
            editor->Create_Value_List(Trim_Str(cells.at(column)));
      }
    }
  }
  Hide_Destroy_Modeless();
  if (!anyRows)
    tellNoRows(rows, NoRows);
}

void Import_Excel::Create_Excel_List_Func(const QString &) {
  Show_Create_Modeless();
  const std::optional<QList<QStringList>> rows = readAllRows();
  const QList<int> ticked = tickedColumns();
  const int first = firstDataRow();
  // A sheet without data rows leaves the table as it was: a header row alone would
  // otherwise throw the imported rows away for nothing.
  const bool anyRows = rows && rows->size() > first;
  if (anyRows) {
    excel_content = *rows;
    // Each column is titled as this window lists it: a first-row cell without a name
    // is "Untitled Column <k>" here as in every list of the columns that follows.
    QStringList titles;
    for (int column : ticked)
      titles.append(ListData_xl.at(column).value(NameKey).toString());
    // The row-number column stays as it is; every other column and every row goes.
    Data_From_Excel *grid = Data_From_Excel::defaultInstance();
    ImportedRowsTable table = grid->table();
    table.rows.clear();
    table.setImportedColumns(titles);
    // Without a row of names the titles are only the first record's values.
    table.columnNames = first == 1;
    const int count = int(ticked.size());
    for (qsizetype r = first; r < rows->size(); ++r) {
      const QStringList &cells = rows->at(r);
      if (cells.isEmpty())
        continue;
      QStringList values;
      values.reserve(count);
      for (int column : ticked)
        values.append(column < cells.size() ? cells.at(column) : QString());
      table.Create_List_By_Array(values, count);
    }
    Hide_Destroy_Modeless();
    // The design's column bindings follow the columns by their titles.
    grid->replaceImportedRows(table);
  }
  Hide_Destroy_Modeless();
  if (!anyRows)
    tellNoRows(rows, NoRows);
}
