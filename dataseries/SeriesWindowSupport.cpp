#include "dataseries/SeriesWindowSupport.h"

#include "core/Utilities.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace serieswindows {

RowListModel::RowListModel(const QList<QVariantMap> *rows, QString key, QString title, QObject *parent)
    : QAbstractTableModel(parent), m_rows(rows), m_key(std::move(key)), m_title(std::move(title)) {}

void RowListModel::reload() {
  beginResetModel();
  endResetModel();
}

void RowListModel::rowAppended() {
  const int row = int(m_rows->size()) - 1;
  beginInsertRows(QModelIndex(), row, row);
  endInsertRows();
}

int RowListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows->size()); }

int RowListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 1; }

QVariant RowListModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
    return QVariant();
  if (index.row() < 0 || index.row() >= m_rows->size()) {
    Show_NSLog_Message(QStringLiteral("The table has no row %1.").arg(index.row()));
    return QVariant();
  }
  return m_rows->at(index.row()).value(m_key).toString();
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
    return m_title;
  return QAbstractTableModel::headerData(section, orientation, role);
}

SeriesDialog::SeriesDialog(const QString &objectName, const QString &title) {
  setObjectName(objectName);
  setWindowTitle(title);
  setAccessibleName(title);
  applyWindowGround(this);
}

void SeriesDialog::reject() {
  if (onCancel)
    onCancel();
  else
    QDialog::reject();
}

QDialog *waitSheet(QWidget *window) {
  auto *sheet = new QDialog(window, Qt::Sheet);
  sheet->setObjectName(QStringLiteral("plz_wait_Window"));
  sheet->setWindowTitle(QStringLiteral("Please Wait"));
  sheet->setWindowModality(Qt::WindowModal);
  applyWindowGround(sheet);
  auto *layout = new QVBoxLayout(sheet);
  layout->addWidget(new QLabel(QStringLiteral("It may take a while, Please wait.."), sheet));
  auto *progress = new QProgressBar(sheet);
  progress->setRange(0, 0);
  progress->setTextVisible(false);
  progress->setMinimumWidth(240);
  layout->addWidget(progress);
  return sheet;
}

void applyWindowGround(QWidget *window) {
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  window->setPalette(palette);
  window->setAutoFillBackground(true);
}

QPushButton *button(const char *objectName, const QString &title, const QString &tip, QWidget *parent) {
  auto *b = new QPushButton(title, parent);
  b->setObjectName(QLatin1String(objectName));
  b->setAccessibleName(title);
  b->setToolTip(tip);
  b->setAutoDefault(false);
  return b;
}

QLineEdit *field(const char *objectName, const QString &accessibleName, const QString &tip, QWidget *parent) {
  auto *f = new QLineEdit(parent);
  f->setObjectName(QLatin1String(objectName));
  f->setAccessibleName(accessibleName);
  f->setToolTip(tip);
  return f;
}

QLabel *label(const char *objectName, const QString &text, QWidget *parent) {
  auto *l = new QLabel(text, parent);
  l->setObjectName(QLatin1String(objectName));
  return l;
}

QTableView *table(const char *objectName, const QString &accessibleName, const QString &tip, bool multiple,
                  QWidget *parent) {
  auto *t = new QTableView(parent);
  t->setObjectName(QLatin1String(objectName));
  t->setAccessibleName(accessibleName);
  t->setToolTip(tip);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->verticalHeader()->hide();
  t->horizontalHeader()->setStretchLastSection(true);
  return t;
}

int currentRow(const QTableView *table) {
  const QItemSelectionModel *selection = table->selectionModel();
  if (!selection)
    return -1;
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && selection->isRowSelected(current.row(), QModelIndex()))
    return current.row();
  const QList<int> rows = selectedRows(table);
  return rows.isEmpty() ? -1 : rows.last();
}

QList<int> selectedRows(const QTableView *table) {
  QList<int> rows;
  if (const QItemSelectionModel *selection = table->selectionModel())
    for (const QModelIndex &index : selection->selectedRows())
      rows.append(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void selectOnly(QTableView *table, int row) {
  QItemSelectionModel *selection = table->selectionModel();
  if (!selection)
    return;
  const QAbstractItemModel *model = table->model();
  if (!model || row < 0 || row >= model->rowCount()) {
    selection->clear();
    return;
  }
  selection->setCurrentIndex(model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

qint64 integerValue(const QString &text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text.at(i).isSpace())
    ++i;
  bool negative = false;
  if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
    negative = text.at(i) == QLatin1Char('-');
    ++i;
  }
  // Accumulated as a negative number, whose range reaches one further than the positive.
  constexpr qint64 lowest = std::numeric_limits<qint64>::min();
  qint64 value = 0;
  bool overflow = false;
  for (; i < n; ++i) {
    const QChar c = text.at(i);
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
      break;
    const int digit = c.unicode() - '0';
    if (overflow)
      continue;
    if (value < (lowest + digit) / 10)
      overflow = true;
    else
      value = value * 10 - digit;
  }
  if (overflow)
    return negative ? lowest : std::numeric_limits<qint64>::max();
  if (negative)
    return value;
  return value == lowest ? std::numeric_limits<qint64>::max() : -value;
}

QRadioButton *radio(const char *objectName, const QString &title, const QString &tip, QWidget *parent) {
  auto *r = new QRadioButton(title, parent);
  r->setObjectName(QLatin1String(objectName));
  r->setAccessibleName(title);
  r->setToolTip(tip);
  return r;
}

}  // namespace serieswindows
