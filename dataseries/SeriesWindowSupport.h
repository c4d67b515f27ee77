#pragma once
// What the series windows (the series manager, the viewer, the value dialogs and the
// number generator) share: the table model over their lists of one-entry rows, a dialog
// whose close box and Escape run the window's own cancel, and the small pieces every
// window is built from (a named control with its accessible name and tip, the windows'
// background). Only the series windows include it.

#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>

class QLabel;
class QRadioButton;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace serieswindows {

// A one-column table over a list of rows {key: text}, read by the key (the column's
// identifier). The list belongs to the window; the model only reads it. Cells are not
// editable.
class RowListModel : public QAbstractTableModel {
public:
  RowListModel(const QList<QVariantMap> *rows, QString key, QString title, QObject *parent);

  // The list changed as a whole.
  void reload();
  // One row was appended to the list.
  void rowAppended();

  int rowCount(const QModelIndex &parent = QModelIndex()) const override;
  int columnCount(const QModelIndex &parent = QModelIndex()) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
  const QList<QVariantMap> *m_rows;
  QString m_key;
  QString m_title;
};

// A dialog whose close box and Escape run `onCancel` (when set) instead of ending the
// run with 0 on their own.
class SeriesDialog : public QDialog {
public:
  explicit SeriesDialog(const QString &objectName, const QString &title);
  std::function<void()> onCancel;
  void reject() override;
};

// The wait sheet "It may take a while, Please wait.." over `window` (hidden; its owner
// shows it while the window is visible).
QDialog *waitSheet(QWidget *window);

// The windows' background: device colour (241, 244, 250).
void applyWindowGround(QWidget *window);

// A button, field or label under its object name, with the name a screen reader says
// and its tip (labels get neither).
QPushButton *button(const char *objectName, const QString &title, const QString &tip, QWidget *parent);
QLineEdit *field(const char *objectName, const QString &accessibleName, const QString &tip, QWidget *parent);
QLabel *label(const char *objectName, const QString &text, QWidget *parent);
QRadioButton *radio(const char *objectName, const QString &title, const QString &tip, QWidget *parent);
// A table of single rows: rows selected whole, `multiple` allowing several.
QTableView *table(const char *objectName, const QString &accessibleName, const QString &tip, bool multiple,
                  QWidget *parent);

// The table's current row (the row last clicked or set as current) when it is selected,
// else the highest selected row; -1 when none is selected.
int currentRow(const QTableView *table);
// Every selected row, ascending.
QList<int> selectedRows(const QTableView *table);
// Selects exactly `row` (and makes it current); a row outside the table clears the
// selection.
void selectOnly(QTableView *table, int row);

// A field's text as a whole number the way a typed count is read: leading blanks
// skipped, an optional sign, then decimal digits up to the first other character; no
// digits reads as 0, and a number beyond the 64-bit range as the nearest limit.
qint64 integerValue(const QString &text);

}  // namespace serieswindows
