// The spreadsheet import windows' shared controls, built in code (every control under
// its name with an accessible name and a tip, and the connections to the actions), and
// the column import window built from them.

#include "dataseries/Import_Excel.h"

#include "dataseries/SeriesWindowSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace serieswindows;

void SpreadsheetColumnWindow::buildCommonWindow(const QString &objectName, const QString &title,
                                                const QString &columnTip, QVBoxLayout **extra) {
  auto *dialog = new SeriesDialog(objectName, title);
  dialog->onCancel = [this] { CancelPressed(); };
  m_window = dialog;
  dialog->resize(520, 480);
  auto *layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(16, 16, 16, 12);

  auto *fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(QStringLiteral("Spreadsheet:"), dialog));
  file_path = field("file_path", QStringLiteral("Spreadsheet file"), QStringLiteral("The workbook being imported"),
                    dialog);
  file_path->setReadOnly(true);
  fileRow->addWidget(file_path, 1);
  layout->addLayout(fileRow);

  auto *sheetRow = new QHBoxLayout;
  sheetRow->addWidget(new QLabel(QStringLiteral("Sheet:"), dialog));
  Sheet_ComboBox = new QComboBox(dialog);
  Sheet_ComboBox->setObjectName(QStringLiteral("Sheet_ComboBox"));
  Sheet_ComboBox->setAccessibleName(QStringLiteral("Sheet"));
  Sheet_ComboBox->setToolTip(QStringLiteral("The worksheet whose columns are listed"));
  sheetRow->addWidget(Sheet_ComboBox, 1);
  contains_header = new QCheckBox(QStringLiteral("First row holds the column names"), dialog);
  contains_header->setObjectName(QStringLiteral("contains_header"));
  contains_header->setAccessibleName(QStringLiteral("First row holds the column names"));
  contains_header->setToolTip(QStringLiteral("Leave the first row out of the imported values"));
  sheetRow->addWidget(contains_header);
  layout->addLayout(sheetRow);

  ColList = table("ColList", QStringLiteral("Columns"), columnTip, false, dialog);
  ColList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  ColListsclview = ColList;
  layout->addWidget(ColList, 1);

  auto *tickRow = new QHBoxLayout;
  Select_All_btn = button("Select_All_btn", QStringLiteral("Select All"), QStringLiteral("Tick every column"), dialog);
  Clear_All_btn = button("Clear_All_btn", QStringLiteral("Clear All"), QStringLiteral("Untick every column"), dialog);
  tickRow->addWidget(Select_All_btn);
  tickRow->addWidget(Clear_All_btn);
  tickRow->addStretch(1);
  layout->addLayout(tickRow);

  *extra = new QVBoxLayout;
  layout->addLayout(*extra);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Cancel_btn = button("Cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Close without importing"), dialog);
  OK_btn = button("OK_btn", QStringLiteral("OK"), QStringLiteral("Import the ticked columns"), dialog);
  OK_btn->setDefault(true);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  layout->addLayout(buttons);
  plz_wait_Window = waitSheet(dialog);

  connect(Sheet_ComboBox, &QComboBox::currentIndexChanged, this, [this] { comboBoxSelectionDidChange(Sheet_ComboBox); });
  connect(Select_All_btn, &QPushButton::clicked, this, [this] { Select_ALL_Pressed(Select_All_btn); });
  connect(Clear_All_btn, &QPushButton::clicked, this, [this] { Clear_All_Pressed(Clear_All_btn); });
  connect(OK_btn, &QPushButton::clicked, this, [this] { OKPressed(OK_btn); });
  connect(Cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(Cancel_btn); });
}

void Import_Excel::buildWindow() {
  QVBoxLayout *extra = nullptr;
  buildCommonWindow(QStringLiteral("Import_Excel"), QStringLiteral("Import Spreadsheet Columns"),
                    QStringLiteral("Tick the columns to import"), &extra);
  attachColumnModel({QStringLiteral("State"), QStringLiteral("Extension")});
  ColList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}
