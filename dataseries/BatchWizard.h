#pragma once
// BatchWizard: the series manager, the modal window in which the user lists, creates,
// edits, saves under a new name, deletes and exports Batch Processing Series. Two
// screens in one window:
//  - the series list (avl_list_box, btn_box1): every series of the data folder, with
//    Add New, Update (or a double click), Delete, Import, Create Series, Help and Close;
//  - the value editor (list_value_box, btn_box2): the values of one series and its name,
//    with Import Values, Series Values (numbers from the number generator), Delete
//    Rows, Export, Save, Back, Help and Close; a double click edits one value.
// Other windows put values into the editor (Create_Value_List) and refresh the list
// (Fill_List) through BatchWizard_Window.
//
// Every series file is read and written through SeriesStore: a save writes the new file
// whole before anything is removed, so a failed save leaves the old series as it was,
// and a series saved under a new name loses its old file only once the new one is in
// place. A series bound on the card (in use) is neither saved over nor deleted.
//
// One instance for the whole run (defaultInstance makes it on first use); main thread
// only.

#include "core/KeptWindow.h"

#include <QList>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

class Load_Num_Info;

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;
class Update_Ex_Num;

namespace serieswindows {
class RowListModel;
}

class BatchWizard : public QObject {
  Q_OBJECT
public:
  BatchWizard();
  ~BatchWizard() override;
  // The instance of the run, made (with its window) on first use.
  static BatchWizard *defaultInstance();

  // What the two import buttons open, with the import wizard's two flags
  // (file_name_required, file_name_Insert); it returns the window's code. Empty (as at
  // start) opens the import wizard (Import_Wizard::openWithFlags); a test may install
  // its own.
  static std::function<int(qint32, qint32)> &importWizard();

  QDialog *window() const { return m_window; }

  // Makes the data folder when missing, shows the list screen freshly filled and runs
  // the window modally; returns its code (0 from Close).
  int Open_Wnd();

  // ---- Actions of the list screen --------------------------------------------------------
  void AddNew_Btn_Clicked(QObject *sender = nullptr);
  void Update_Btn_Clicked(QObject *sender = nullptr);
  void Delete_List_Btn_Clicked(QObject *sender = nullptr);
  void Import_Btn_Clicked(QObject *sender = nullptr);
  void CreateSeries_Btn_Clicked(QObject *sender = nullptr);
  void Help_Btn_Clicked(QObject *sender = nullptr);
  void Close_Btn_Clicked(QObject *sender = nullptr);
  // ---- Actions of the value editor ---------------------------------------------------------
  void Import_Value_Btn_Clicked(QObject *sender = nullptr);
  void Series_Value_Btn_Clicked(QObject *sender = nullptr);
  void Delete_Rows_Btn_Clicked(QObject *sender = nullptr);
  void Export_Value_Btn_Clicked(QObject *sender = nullptr);
  void Save_Btn_Clicked(QObject *sender = nullptr);
  void Back_Btn_Clicked(QObject *sender = nullptr);
  void Help_2_Btn_Clicked(QObject *sender = nullptr);
  void Close_2_Btn_Clicked(QObject *sender = nullptr);
  // A double click in either table (`table` is List or List_value).
  void doubleClickInTable(QObject *table);

  // Opens the editor on the selected series ("Error in file accessing." when its file
  // cannot be opened).
  void On_Update();
  // Edits the selected value in the one-value panel.
  void OnGetSelected();
  // The list commands' check: some series listed and one selected.
  bool Batch_List_Selection_Validation();

  // ---- Operations other windows call -----------------------------------------------------------
  // Appends a value to the editor (trimmed; a blank value adds nothing).
  void Create_Value_List(const QString &value);
  // Appends a series name to the list as it stands (a blank name adds nothing).
  void Create_Avail_List(const QString &name);
  // The series list anew from the data folder.
  void Fill_List();
  // The row's value (trimmed) or series name (as listed); "" for a row outside the list.
  QString Get_Value_Text(qint32 row) const;
  QString Get_List_Name_Text(qint32 row) const;
  // Show the rows again and write "Total Rows : %d" / "Total List : %d".
  void Update_Value_List_Count();
  void Update_batch_List_Count();
  // Selects exactly that row of the series or the value table.
  void Mark_List_New_Selection(qint32 row);
  void Mark_List_New_Selection_Value(qint32 row);
  // The wait sheet over the manager, and its end.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // The series list screen (true) or the value editor (false). Showing the list empties
  // the former-name field.
  void showListScreen(bool list);

  // ---- Rows ---------------------------------------------------------------------------------------
  QList<QVariantMap> ListData;        // {"Extension": name} per series
  QList<QVariantMap> ListData_value;  // {"Header": value} per value, in series order

  // ---- The window's controls, by name -------------------------------------------------------------
  QTableView *List = nullptr;
  QTableView *List_value = nullptr;
  QLineEdit *batch_list_name = nullptr;   // the name being edited
  QLineEdit *update_list_name = nullptr;  // hidden: the name the series was opened under
  QLabel *batch_list_count = nullptr;
  QLabel *batch_value_count = nullptr;
  QWidget *avl_list_box = nullptr;
  QWidget *btn_box1 = nullptr;
  QWidget *list_value_box = nullptr;
  QWidget *btn_box2 = nullptr;
  QPushButton *AddNew_btn = nullptr;
  QPushButton *Update_btn = nullptr;
  QPushButton *Delete_List_btn = nullptr;
  QPushButton *Import_btn = nullptr;
  QPushButton *CreateSeries_btn = nullptr;
  QPushButton *Help_btn = nullptr;
  QPushButton *Close_btn = nullptr;
  QPushButton *Import_Value_btn = nullptr;
  QPushButton *Series_Value_btn = nullptr;
  QPushButton *Delete_Rows_btn = nullptr;
  QPushButton *Export_Value_btn = nullptr;
  QPushButton *Save_btn = nullptr;
  QPushButton *Back_btn = nullptr;
  QPushButton *Help_2_btn = nullptr;
  QPushButton *Close_2_btn = nullptr;
  QPointer<QDialog> plz_wait_Window;
  // The replace-or-append question and the one-value panel with its three fields.
  QDialog *Load_Number_Window = nullptr;
  QDialog *Update_Value_Wnd = nullptr;
  QLineEdit *Update_m_ex_num_str = nullptr;
  QLineEdit *Update_m_s_number = nullptr;
  QLineEdit *Update_m_ex_num_index = nullptr;

private:
  // BatchWizard_Build.cpp: the window, one builder per screen, the connections.
  void buildWindow();
  QWidget *buildListScreen();
  QWidget *buildEditorScreen();
  void connectActions();

  // The values of the editor, in order.
  QStringList editorValues() const;
  // Runs the replace-or-append question when the editor holds values: false when the
  // user cancelled; `replaced` receives the values taken out for a replace.
  bool askReplaceOrAppend(QList<QVariantMap> *replaced);
  // Removes the selected rows of `table` over `rows`, then selects the row above the
  // table's current row when it still exists.
  void removeSelectedRows(QTableView *table, QList<QVariantMap> &rows);
  // The import wizard, or what a test installed in its place.
  static int openImportWizard(qint32 required, qint32 insert);

  serieswindows::RowListModel *m_listModel = nullptr;
  serieswindows::RowListModel *m_valueModel = nullptr;
  std::unique_ptr<Load_Num_Info> m_loadNumInfo;
  std::unique_ptr<Update_Ex_Num> m_updateExNum;
  OwnedWindow<QDialog> m_window;
};

// The manager once made; null before.
extern BatchWizard *BatchWizard_Window;
