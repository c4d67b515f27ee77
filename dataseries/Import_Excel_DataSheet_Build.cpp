// The spreadsheet-to-series window, built in code: the shared controls of the column
// import window, then the two modes and the box of the merged mode.

#include "dataseries/Import_Excel_DataSheet.h"

#include "dataseries/SeriesWindowSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace serieswindows;


void Import_Excel_DataSheet::buildWindow() {
  QVBoxLayout *extra = nullptr;
  buildCommonWindow(QStringLiteral("Import_Excel_DataSheet"), QStringLiteral("Import Spreadsheet to Series"),
                    QStringLiteral("Tick the columns to import; double-click a series name to change it"), &extra);
  attachColumnModel({QStringLiteral("State"), QStringLiteral("Extension"), QStringLiteral("Header")});
  ColList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  QWidget *dialog = window();

  auto *modes = new QWidget(dialog);
  auto *modeRow = new QHBoxLayout(modes);
  modeRow->setContentsMargins(0, 0, 0, 0);
  Each_col_RD = radio("Each_col_RD", QStringLiteral("One series per column"),
                      QStringLiteral("Each ticked column becomes a series named after it"), modes);
  Fill_col_RD = radio("Fill_col_RD", QStringLiteral("All columns into one series"),
                      QStringLiteral("The ticked columns, row by row, become one series"), modes);
  modeRow->addWidget(Each_col_RD);
  modeRow->addWidget(Fill_col_RD);
  modeRow->addStretch(1);
  extra->addWidget(modes);

  fill_box = new QGroupBox(QStringLiteral("One series"), dialog);
  fill_box->setObjectName(QStringLiteral("fill_box"));
  auto *box = new QVBoxLayout(fill_box);
  matrix_fill_type = new QWidget(fill_box);
  matrix_fill_type->setObjectName(QStringLiteral("matrix_fill_type"));
  auto *choices = new QHBoxLayout(matrix_fill_type);
  choices->setContentsMargins(0, 0, 0, 0);
  fill_new_RD = radio("fill_new_RD", QStringLiteral("New series"), QStringLiteral("Write a new series"),
                      matrix_fill_type);
  fill_replace_RD = radio("fill_replace_RD", QStringLiteral("Replace series"),
                          QStringLiteral("Replace the values of an existing series"), matrix_fill_type);
  fill_append_RD = radio("fill_append_RD", QStringLiteral("Append to series"),
                         QStringLiteral("Add the values after those of an existing series"), matrix_fill_type);
  choices->addWidget(fill_new_RD);
  choices->addWidget(fill_replace_RD);
  choices->addWidget(fill_append_RD);
  choices->addStretch(1);
  box->addWidget(matrix_fill_type);

  auto *nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(QStringLiteral("Series:"), fill_box));
  list_name = field("list_name", QStringLiteral("New series name"), QStringLiteral("The name of the new series"),
                    fill_box);
  List_ComboBox = new QComboBox(fill_box);
  List_ComboBox->setObjectName(QStringLiteral("List_ComboBox"));
  List_ComboBox->setAccessibleName(QStringLiteral("Existing series"));
  List_ComboBox->setToolTip(QStringLiteral("The series to replace or to append to"));
  nameRow->addWidget(list_name, 1);
  nameRow->addWidget(List_ComboBox, 1);
  box->addLayout(nameRow);
  extra->addWidget(fill_box);
}
