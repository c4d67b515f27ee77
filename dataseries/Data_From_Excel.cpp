#include "dataseries/Data_From_Excel.h"

#include "dataseries/BatchCardSource.h"
#include "dataseries/model/BindingSources.h"
#include "profiles/ProfileWindow.h"
#include "profiles/model/User_Profile_Class.h"

#include "mainwindow/QLNWindowController.h"

#include "barcode/Barcode_Gen.h"

#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <functional>
#include <utility>

Data_From_Excel *Data_From_Excel_Window = nullptr;

namespace {

// The table as the grid shows it: one view column per table column, the cells read and
// written under the column's identifier.
class ImportedRowsModel : public QAbstractTableModel {
public:
  explicit ImportedRowsModel(ImportedRowsTable &table, QObject *parent) : QAbstractTableModel(parent), m_table(table) {}

  void reset() {
    beginResetModel();
    endResetModel();
  }

  int rowCount(const QModelIndex &parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : m_table.rowCount();
  }
  int columnCount(const QModelIndex &parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : int(m_table.columns.size());
  }
  QVariant data(const QModelIndex &index, int role) const override {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
      return QVariant();
    return m_table.value(index.row(), index.column());
  }
  bool setData(const QModelIndex &index, const QVariant &value, int role) override {
    if (!index.isValid() || role != Qt::EditRole || index.column() >= m_table.columns.size())
      return false;
    if (!m_table.setValue(index.row(), m_table.columns.at(index.column()).identifier, value.toString())) {
      Show_NSLog_Message(QStringLiteral("The grid has no row %1 to change.").arg(index.row()));
      return false;
    }
    emit dataChanged(index, index, {role});
    return true;
  }
  Qt::ItemFlags flags(const QModelIndex &index) const override {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    // The row numbers are the table's own; the imported cells can be corrected.
    if (index.isValid() && index.column() > 0)
      flags |= Qt::ItemIsEditable;
    return flags;
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_table.columns.size())
      return QAbstractTableModel::headerData(section, orientation, role);
    const ImportedRowsColumn &column = m_table.columns.at(section);
    if (role == Qt::DisplayRole)
      return column.title;
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue(column.headerAlignment | Qt::AlignVCenter);
    return QVariant();
  }

private:
  ImportedRowsTable &m_table;
};

}  // namespace

Data_From_Excel::Data_From_Excel() : m_rowsIdentity(QRandomGenerator::global()->generate64() | 1u) {
  buildWindow();
  keepInGlobal(Data_From_Excel_Window, this);
}

Data_From_Excel::~Data_From_Excel() = default;

Data_From_Excel *Data_From_Excel::defaultInstance() {
  return keptInstance(Data_From_Excel_Window, [] { return new Data_From_Excel; });
}

void Data_From_Excel::buildWindow() {
  m_window = new QDialog;
  m_window->setObjectName(QStringLiteral("Data_From_Excel"));
  m_window->setWindowTitle(QStringLiteral("Spreadsheet Data"));
  m_window->setAccessibleName(QStringLiteral("Spreadsheet Data"));
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);
  m_window->resize(640, 420);

  auto *layout = new QVBoxLayout(m_window);
  ColList = new QTableView(m_window);
  ColList->setObjectName(QStringLiteral("ColList"));
  ColList->setAccessibleName(QStringLiteral("Imported rows"));
  ColList->setToolTip(QStringLiteral("The rows imported from the spreadsheet; double-click a cell to correct it"));
  m_model = new ImportedRowsModel(m_table, this);
  ColList->setModel(m_model);
  ColList->verticalHeader()->hide();
  ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
  layout->addWidget(ColList, 1);

  auto *counts = new QHBoxLayout;
  auto *rowsCaption = new QLabel(QStringLiteral("Rows:"), m_window);
  rows_count = new QLabel(m_window);
  rows_count->setObjectName(QStringLiteral("rows_count"));
  rows_count->setAccessibleName(QStringLiteral("Number of rows"));
  auto *columnsCaption = new QLabel(QStringLiteral("Columns:"), m_window);
  column_count = new QLabel(m_window);
  column_count->setObjectName(QStringLiteral("column_count"));
  column_count->setAccessibleName(QStringLiteral("Number of columns"));
  OK_btn = new QPushButton(QStringLiteral("OK"), m_window);
  OK_btn->setObjectName(QStringLiteral("OK_btn"));
  OK_btn->setAccessibleName(QStringLiteral("OK"));
  OK_btn->setToolTip(QStringLiteral("Close the spreadsheet data"));
  OK_btn->setDefault(true);
  counts->addWidget(rowsCaption);
  counts->addWidget(rows_count);
  counts->addSpacing(16);
  counts->addWidget(columnsCaption);
  counts->addWidget(column_count);
  counts->addStretch(1);
  counts->addWidget(OK_btn);
  layout->addLayout(counts);
  connect(OK_btn, &QPushButton::clicked, this, [this] { OK_Click(OK_btn); });
  reload();
}

void Data_From_Excel::reload() {
  static_cast<ImportedRowsModel *>(m_model)->reset();
  for (int column = 0; column < m_table.columns.size(); ++column)
    ColList->setColumnWidth(column, int(m_table.columns.at(column).width));
}

void Data_From_Excel::setTable(const ImportedRowsTable &table) {
  m_table = table;
  // Other rows: a mark made under the rows before tells their columns apart from these.
  m_rowsIdentity = QRandomGenerator::global()->generate64() | 1u;
  reload();
}

namespace {

// The name of the profile field whose card object carries `id` ("Name"); "" for any
// other id.
QString profileFieldName(const QString &id) {
  for (int field = 0; field < User_Profile_Class::FieldCount; ++field) {
    if (id == User_Profile_Class::fixedId(field))
      return ProfileWindow::fieldName(field);
  }
  return QString();
}

// How the user knows a bound object: a profile field by its caption, any other object
// by its kind and side ("Text on the front").
QString boundObjectName(const QLNGraphic &graphic, bool back) {
  const QString kind = graphic.className();
  if (kind != QLatin1String("QLNBarcode")) {
    const QString field = profileFieldName(graphic.control_ID);
    if (!field.isEmpty())
      return field;
  }
  const QString what = kind == QLatin1String("QLNBarcode") ? QStringLiteral("Barcode")
                       : kind == QLatin1String("QLNImage") ? QStringLiteral("Image")
                                                           : QStringLiteral("Text");
  return QStringLiteral("%1 on the %2").arg(what, back ? QStringLiteral("back") : QStringLiteral("front"));
}

// The columns of `heads` (from 1) that carry `title`: a column without a title stands
// for every column without one.
QList<int> columnsTitled(const QString &title, const ImportedColumnHeads &heads) {
  const bool untitled = ImportedRowsTable::isUntitled(title);
  QList<int> columns;
  for (int k = 1; k < heads.titles.size(); ++k) {
    const QString &other = heads.titles.at(k);
    if (untitled ? ImportedRowsTable::isUntitled(other) : other == title)
      columns.append(k);
  }
  return columns;
}

// The mark of column `column` (1 or more, within `heads`) of the rows `rows`.
SpreadsheetColumnMark markIn(int column, const ImportedColumnHeads &heads, quint64 rows) {
  SpreadsheetColumnMark mark;
  mark.rows = rows;
  mark.title = heads.titles.at(column);
  const QList<int> same = columnsTitled(mark.title, heads);
  mark.occurrence = qint32(same.indexOf(column));
  mark.count = qint32(same.size());
  mark.named = heads.named;
  return mark;
}

// Puts a column-bound object on the column kept for it (`column`), among those `kept`
// that show the column's new first value; without one it is typed by hand, keeping the
// text or picture it shows, and `unbound` takes the line `lost` makes for it.
void keepColumnOrTypeByHand(const QLNGraphicPtr &graphic, std::optional<int> column,
                            const std::function<QString()> &lost, QLNGraphicList &kept, QStringList &unbound) {
  if (column) {
    graphic->Set_Excel_binding_Index(*column);
    kept.append(graphic);
    return;
  }
  unbound << lost();
  graphic->Set_Data_source_type(0);
  graphic->Set_Excel_binding(false);
  graphic->Set_Excel_binding_Index(0);
}

// "1 column "Name"", "2 columns without a title".
QString columnsCalled(int count, const QString &title) {
  const QString columns = count == 1 ? QStringLiteral("1 column") : QStringLiteral("%1 columns").arg(count);
  return ImportedRowsTable::isUntitled(title) ? columns + QStringLiteral(" without a title")
                                              : QStringLiteral("%1 \"%2\"").arg(columns, title);
}

}  // namespace

std::optional<int> Data_From_Excel::columnKept(int column, const SpreadsheetColumnMark &mark,
                                               const ImportedColumnHeads &after) {
  if (column <= 0)
    return column;
  if (!mark.named || !after.named) {
    if (column < after.titles.size())
      return column;
    return std::nullopt;
  }
  // The n-th column of a title is the n-th again only where the new rows hold as many
  // of that title: with more or fewer, which one it was cannot be told.
  const QList<int> same = columnsTitled(mark.title, after);
  if (mark.count > 0 && same.size() != mark.count)
    return std::nullopt;
  if (mark.occurrence >= same.size())
    return std::nullopt;
  return same.at(mark.occurrence);
}

std::optional<int> Data_From_Excel::columnKept(int column, const ImportedColumnHeads &before,
                                               const ImportedColumnHeads &after) {
  if (column <= 0 || column >= before.titles.size())
    return column;
  return columnKept(column, markIn(column, before, 0), after);
}

QString Data_From_Excel::lostColumnMessage(const SpreadsheetColumnMark &mark, const ImportedColumnHeads &after,
                                           const QString &what) {
  const qsizetype now = columnsTitled(mark.title, after).size();
  if (!mark.named || !after.named || now == 0)
    return unboundMessage(mark.title, what);
  const int before = std::max(mark.count, mark.occurrence + 1);
  return QStringLiteral("The spreadsheet has %1 where the rows before had %2: '%3' is no longer bound to a column.")
      .arg(columnsCalled(int(now), mark.title))
      .arg(before)
      .arg(what);
}

QString Data_From_Excel::lostColumnMessage(int column, const ImportedColumnHeads &before,
                                           const ImportedColumnHeads &after, const QString &what) {
  if (column <= 0 || column >= before.titles.size())
    return unboundMessage(before.titles.value(column), what);
  return lostColumnMessage(markIn(column, before, 0), after, what);
}

QString Data_From_Excel::unboundMessage(const QString &title, const QString &what) {
  return QStringLiteral("The spreadsheet has no column \"%1\": '%2' is no longer bound to a column.").arg(title, what);
}

std::optional<SpreadsheetColumnMark> Data_From_Excel::markOf(const QLNGraphic &graphic) const {
  const int column = graphic.excel_col_indx;
  if (!BindingSources::takesBoundValues(graphic) || graphic.data_source_type != 2 || column <= 0 ||
      column >= m_table.columns.size())
    return std::nullopt;
  return markIn(column, m_table.heads(), m_rowsIdentity);
}

void Data_From_Excel::showFirstValues(const QLNGraphicList &kept, const ImportedRowsTable &rows) {
  if (kept.isEmpty())
    return;
  BindingSources firstRow;
  firstRow.useSpreadsheet = true;
  firstRow.spreadsheet = rows;
  QHash<int, BarcodeSettings> barcodes;
  for (int i = 0; i < kept.size(); ++i)
    if (kept.at(i)->className() == QLatin1String("QLNBarcode"))
      barcodes.insert(i, Barcode_Gen::sharedInstance()->settingsOf(kept.at(i).get()));
  const QString failed = Assign_Batch_Values_To_Control(kept, firstRow, 0, barcodes, false);
  if (!failed.isEmpty())
    Show_NSLog_Message(failed);
}

void Data_From_Excel::replaceImportedRows(const ImportedRowsTable &table) {
  const ImportedColumnHeads before = m_table.heads();
  setTable(table);
  const ImportedColumnHeads after = m_table.heads();
  QStringList unbound;
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  if (controller) {
    // The design's own objects, both sides. Those that keep a column show its first
    // value of the new rows, as an object bound to a column does.
    auto keepSide = [&](const QLNGraphicList &graphics, bool back) {
      QLNGraphicList kept;
      for (const QLNGraphicPtr &graphic : graphics) {
        if (!graphic || !BindingSources::takesBoundValues(*graphic) || graphic->data_source_type != 2)
          continue;
        const int was = graphic->excel_col_indx;
        keepColumnOrTypeByHand(
            graphic, columnKept(was, before, after),
            [&] { return lostColumnMessage(was, before, after, boundObjectName(*graphic, back)); }, kept, unbound);
      }
      showFirstValues(kept, m_table);
    };
    keepSide(controller->Get_Front_Controls_Array(), false);
    keepSide(controller->Get_Back_Controls_Array(), true);
    // Profile fields entered with a column and not placed yet.
    for (User_Profile_Class *record : {&controller->Front_user_profile, &controller->Back_user_profile}) {
      for (int field = 0; field < User_Profile_Class::FieldCount; ++field) {
        if (!record->pending(field) || !record->xl(field))
          continue;
        const int was = record->xlColumnIndex(field);
        const std::optional<int> column = columnKept(was, before, after);
        if (column) {
          record->setXlColumnIndex(field, *column);
        } else {
          unbound << lostColumnMessage(was, before, after, ProfileWindow::fieldName(field));
          record->setXl(field, false);
          record->setXlColumnIndex(field, 0);
        }
        record->setPending(field, true);
      }
    }
  }
  // The windows open over the design with column choices of their own.
  emit importedRowsReplaced(before, &unbound);
  if (controller) {
    controller->Update_Excel_Item_In_Data_Source();
    // The panel lists the new columns, with the column its object is bound to now.
    if (controller->ui)
      controller->showPropertiesAnew();
  }
  unbound.removeDuplicates();
  if (!unbound.isEmpty())
    Show_MessageBox(unbound.join(QLatin1Char('\n')));
}

void Data_From_Excel::takeBackObjects(const QLNGraphicList &graphics, bool back) {
  const ImportedColumnHeads now = m_table.heads();
  QLNGraphicList kept;
  QStringList unbound;
  for (const QLNGraphicPtr &graphic : graphics) {
    if (!graphic || !graphic->excel_col_mark)
      continue;
    const SpreadsheetColumnMark mark = *graphic->excel_col_mark;
    graphic->excel_col_mark.reset();
    // Marked under the rows held now, its number still names its column. Without any
    // imported column here (a copy from another window pasted before its rows came), it
    // keeps its number and waits for rows, as any binding older than its rows does.
    if (!BindingSources::takesBoundValues(*graphic) || graphic->data_source_type != 2 ||
        mark.rows == m_rowsIdentity || m_table.columns.size() <= 1)
      continue;
    keepColumnOrTypeByHand(
        graphic, columnKept(graphic->excel_col_indx, mark, now),
        [&] { return lostColumnMessage(mark, now, boundObjectName(*graphic, back)); }, kept, unbound);
  }
  showFirstValues(kept, m_table);
  if (unbound.isEmpty())
    return;
  if (m_unboundToTell.isEmpty())
    QTimer::singleShot(0, this, [this] { tellUnbound(); });
  m_unboundToTell << unbound;
}

void Data_From_Excel::tellUnbound() {
  QStringList unbound = std::exchange(m_unboundToTell, {});
  unbound.removeDuplicates();
  if (!unbound.isEmpty())
    Show_MessageBox(unbound.join(QLatin1Char('\n')));
}

void Data_From_Excel::Create_List_By_Array(const QStringList &values, int count) {
  runLoggingFailures("Create_List_By_Array", [&] {
    m_table.Create_List_By_Array(values, count);
    reload();
  });
}

int Data_From_Excel::Open_Wnd() {
  int code = 0;
  runLoggingFailures("Open_Wnd", [&] {
    rows_count->setText(QString::number(m_table.rowCount()));
    column_count->setText(QString::number(m_table.columns.size()));
    code = UiServices::instance().runModal(m_window);
    m_window->hide();
  });
  return code;
}

void Data_From_Excel::OK_Click(QObject *) {
  if (m_window)
    m_window->done(ModalOK);
}
