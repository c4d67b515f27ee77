// The series manager's window, built in code: the two screens (one builder each), every
// control under its name with an accessible name and a tip, and the connections to the
// actions.

#include "dataseries/BatchWizard.h"

#include "dataseries/SeriesWindowSupport.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace serieswindows;

void BatchWizard::buildWindow() {
  auto *dialog = new SeriesDialog(QStringLiteral("BatchWizard"), QStringLiteral("Batch Processing Series"));
  m_window = dialog;
  dialog->resize(560, 460);
  auto *layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->addWidget(buildListScreen(), 1);
  layout->addWidget(buildEditorScreen(), 1);
  plz_wait_Window = waitSheet(dialog);
}

QWidget *BatchWizard::buildListScreen() {
  auto *screen = new QWidget;
  auto *row = new QHBoxLayout(screen);
  row->setContentsMargins(0, 0, 0, 0);

  avl_list_box = new QWidget(screen);
  avl_list_box->setObjectName(QStringLiteral("avl_list_box"));
  auto *listColumn = new QVBoxLayout(avl_list_box);
  listColumn->setContentsMargins(0, 0, 0, 0);
  listColumn->addWidget(new QLabel(QStringLiteral("Available Batch Processing Series:"), avl_list_box));
  List = table("List", QStringLiteral("Available series"),
               QStringLiteral("The saved series; double-click one to edit its values"), true, avl_list_box);
  m_listModel = new RowListModel(&ListData, QStringLiteral("Extension"), QStringLiteral("Series"), this);
  List->setModel(m_listModel);
  listColumn->addWidget(List, 1);
  batch_list_count = label("batch_list_count", QStringLiteral("Total List : 0"), avl_list_box);
  listColumn->addWidget(batch_list_count);
  row->addWidget(avl_list_box, 1);

  btn_box1 = new QWidget(screen);
  btn_box1->setObjectName(QStringLiteral("btn_box1"));
  auto *buttons = new QVBoxLayout(btn_box1);
  buttons->setContentsMargins(0, 0, 0, 0);
  AddNew_btn = button("AddNew_btn", QStringLiteral("Add New"), QStringLiteral("Start a new series"), btn_box1);
  Update_btn = button("Update_btn", QStringLiteral("Update"), QStringLiteral("Edit the values of the selected series"),
                      btn_box1);
  Delete_List_btn =
      button("Delete_List_btn", QStringLiteral("Delete"), QStringLiteral("Delete the selected series"), btn_box1);
  Import_btn = button("Import_btn", QStringLiteral("Import"),
                      QStringLiteral("Make a series from a file, pasted text or a folder of pictures"), btn_box1);
  CreateSeries_btn = button("CreateSeries_btn", QStringLiteral("Create Series"),
                            QStringLiteral("Make a series of numbers or of one repeated value"), btn_box1);
  Help_btn = button("Help_btn", QStringLiteral("Help"), QStringLiteral("Open the help file"), btn_box1);
  Close_btn = button("Close_btn", QStringLiteral("Close"), QStringLiteral("Close the series manager"), btn_box1);
  for (QPushButton *b : {AddNew_btn, Update_btn, Delete_List_btn, Import_btn, CreateSeries_btn})
    buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(Help_btn);
  buttons->addWidget(Close_btn);
  row->addWidget(btn_box1);
  return screen;
}

QWidget *BatchWizard::buildEditorScreen() {
  auto *screen = new QWidget;
  auto *row = new QHBoxLayout(screen);
  row->setContentsMargins(0, 0, 0, 0);

  list_value_box = new QWidget(screen);
  list_value_box->setObjectName(QStringLiteral("list_value_box"));
  auto *column = new QVBoxLayout(list_value_box);
  column->setContentsMargins(0, 0, 0, 0);
  auto *nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(QStringLiteral("Series name:"), list_value_box));
  batch_list_name = field("batch_list_name", QStringLiteral("Series name"),
                          QStringLiteral("The name the series is saved under"), list_value_box);
  nameRow->addWidget(batch_list_name, 1);
  update_list_name = field("update_list_name", QStringLiteral("Former series name"), QString(), list_value_box);
  update_list_name->hide();
  nameRow->addWidget(update_list_name);
  column->addLayout(nameRow);
  List_value = table("List_value", QStringLiteral("Series values"),
                     QStringLiteral("The values of the series, one per card; double-click one to change it"), true,
                     list_value_box);
  m_valueModel = new RowListModel(&ListData_value, QStringLiteral("Header"), QStringLiteral("Value"), this);
  List_value->setModel(m_valueModel);
  column->addWidget(List_value, 1);
  batch_value_count = label("batch_value_count", QStringLiteral("Total Rows : 0"), list_value_box);
  column->addWidget(batch_value_count);
  row->addWidget(list_value_box, 1);

  btn_box2 = new QWidget(screen);
  btn_box2->setObjectName(QStringLiteral("btn_box2"));
  auto *buttons = new QVBoxLayout(btn_box2);
  buttons->setContentsMargins(0, 0, 0, 0);
  Import_Value_btn = button("Import_Value_btn", QStringLiteral("Import Values"),
                            QStringLiteral("Add values from a file, pasted text or a folder of pictures"), btn_box2);
  Series_Value_btn = button("Series_Value_btn", QStringLiteral("Series Values"),
                            QStringLiteral("Add numbers or a repeated value made by the number generator"), btn_box2);
  Delete_Rows_btn = button("Delete_Rows_btn", QStringLiteral("Delete Rows"),
                           QStringLiteral("Remove the selected values from the list"), btn_box2);
  Export_Value_btn = button("Export_Value_btn", QStringLiteral("Export"),
                            QStringLiteral("Write the values to a workbook or a text file"), btn_box2);
  Save_btn = button("Save_btn", QStringLiteral("Save"), QStringLiteral("Save the series under its name"), btn_box2);
  Back_btn = button("Back_btn", QStringLiteral("Back"), QStringLiteral("Go back to the list of series without saving"),
                    btn_box2);
  Help_2_btn = button("Help_2_btn", QStringLiteral("Help"), QStringLiteral("Open the help file"), btn_box2);
  Close_2_btn = button("Close_2_btn", QStringLiteral("Close"), QStringLiteral("Close the series manager"), btn_box2);
  for (QPushButton *b : {Import_Value_btn, Series_Value_btn, Delete_Rows_btn, Export_Value_btn, Save_btn, Back_btn})
    buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(Help_2_btn);
  buttons->addWidget(Close_2_btn);
  row->addWidget(btn_box2);
  return screen;
}

void BatchWizard::connectActions() {
  using Action = void (BatchWizard::*)(QObject *);
  auto onClick = [this](QPushButton *b, Action action) {
    connect(b, &QPushButton::clicked, this, [this, b, action] { (this->*action)(b); });
  };
  onClick(AddNew_btn, &BatchWizard::AddNew_Btn_Clicked);
  onClick(Update_btn, &BatchWizard::Update_Btn_Clicked);
  onClick(Delete_List_btn, &BatchWizard::Delete_List_Btn_Clicked);
  onClick(Import_btn, &BatchWizard::Import_Btn_Clicked);
  onClick(CreateSeries_btn, &BatchWizard::CreateSeries_Btn_Clicked);
  onClick(Help_btn, &BatchWizard::Help_Btn_Clicked);
  onClick(Close_btn, &BatchWizard::Close_Btn_Clicked);
  onClick(Import_Value_btn, &BatchWizard::Import_Value_Btn_Clicked);
  onClick(Series_Value_btn, &BatchWizard::Series_Value_Btn_Clicked);
  onClick(Delete_Rows_btn, &BatchWizard::Delete_Rows_Btn_Clicked);
  onClick(Export_Value_btn, &BatchWizard::Export_Value_Btn_Clicked);
  onClick(Save_btn, &BatchWizard::Save_Btn_Clicked);
  onClick(Back_btn, &BatchWizard::Back_Btn_Clicked);
  onClick(Help_2_btn, &BatchWizard::Help_2_Btn_Clicked);
  onClick(Close_2_btn, &BatchWizard::Close_2_Btn_Clicked);
  connect(List, &QTableView::doubleClicked, this, [this] { doubleClickInTable(List); });
  connect(List_value, &QTableView::doubleClicked, this, [this] { doubleClickInTable(List_value); });
  // The close box and Escape close the window as Close does.
  static_cast<SeriesDialog *>(m_window.get())->onCancel = [this] { Close_Btn_Clicked(); };
}
