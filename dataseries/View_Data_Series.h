#pragma once
// View_Data_Series: the series viewer, a read-only modal list of one Batch Processing
// Series' values. The property panel's view button and the barcode designer open it on
// the series an object is bound to: set file_name, then Open_Wnd.
//
// The values are read by the editor's rule (each line trimmed, blank lines left out); a
// series whose file is missing, unreadable or not UTF-8, or a name that is no plain
// file name, shows no rows and no message.
//
// One instance for the whole run (defaultInstance makes it on first use); main thread
// only.

#include "core/KeptWindow.h"

#include <QList>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class QLabel;
class QPushButton;
class QTableView;

namespace serieswindows {
class RowListModel;
}

class View_Data_Series : public QObject {
  Q_OBJECT
public:
  View_Data_Series();
  ~View_Data_Series() override;
  // The instance of the run, made (with its window) on first use.
  static View_Data_Series *defaultInstance();

  QDialog *window() const { return m_window; }

  // Shows file_name, loads its values and runs the viewer modally; returns its code.
  int Open_Wnd();
  // Ends the viewer with 1.
  void OK_Btn_Clicked(QObject *sender = nullptr);
  // Loading: the rows of the file at `path`, by the viewer's rule.
  void Load_Val_Thread(const QString &path);
  void Load_file_Func(const QString &path);
  // Appends the value as a row (trimmed; a blank value adds nothing).
  void Create_Avail_List(const QString &value);
  // Shows the rows again and writes "Total Rows : %d".
  void Update_batch_List_Count();
  // The wait sheet over the viewer, and its end.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // The series shown: set it before Open_Wnd.
  QString file_name;
  // One row {"Extension": value} per value.
  QList<QVariantMap> ListData;

  QLabel *series_name = nullptr;
  QTableView *List = nullptr;
  QLabel *list_count = nullptr;
  QPushButton *ok_btn = nullptr;
  QPointer<QDialog> plz_wait_Window;

private:
  serieswindows::RowListModel *m_model = nullptr;
  OwnedWindow<QDialog> m_window;
};
