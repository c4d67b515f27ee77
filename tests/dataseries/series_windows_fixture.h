#pragma once
// A running main window for the tests of the series windows (the series manager, the
// viewer and its value dialogs, the number generator): the main window stage of
// tests/mainwindow, the data folder of the test's own, helpers that put series files
// there and read their bytes back, bind a series on the card, and a file-size limit that
// makes the next write fail even for a user whom permissions do not stop.

#include "tests/mainwindow/main_window_fixture.h"

#include "dataseries/BatchWizard.h"
#include "dataseries/Generate_List.h"
#include "dataseries/model/SeriesStore.h"

#include "core/Long_SMS_Dlg.h"
#include "core/QLNText.h"
#include "core/Utilities.h"
#include "mainwindow/DrawWindow.h"

#include <QDialog>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

namespace seriestest {

// Writes larger than `bytes` to regular files fail (EFBIG) while it lives.
class ScopedFileSizeLimit {
public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_previous);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_previous;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
  }

private:
  rlimit m_previous{};
  void (*m_previousHandler)(int) = nullptr;
};

// The texts shown in a table, in row order.
inline QStringList tableTexts(const QTableView *table) {
  QStringList texts;
  const QAbstractItemModel *model = table->model();
  for (int row = 0; row < model->rowCount(); ++row)
    texts << model->index(row, 0).data().toString();
  return texts;
}

// The selected rows of the table, ascending.
inline QList<int> selectedRowsOf(const QTableView *table) {
  QList<int> rows;
  for (const QModelIndex &index : table->selectionModel()->selectedRows())
    rows.append(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Selects `rows` of the table with `current` as the table's current row.
inline void selectRows(QTableView *table, const QList<int> &rows, int current) {
  QItemSelectionModel *selection = table->selectionModel();
  selection->clear();
  for (int row : rows)
    selection->select(table->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  selection->setCurrentIndex(table->model()->index(current, 0), QItemSelectionModel::NoUpdate);
}

class SeriesWindowsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ASSERT_FALSE(Data_Folder_Path.isEmpty());
    Msg_Apply_All_Chk = 0;
    BatchWizard::importWizard() = nullptr;
    Generate_List::randomSource() = nullptr;
  }

  void TearDown() override {
    Msg_Apply_All_Chk = 0;
    BatchWizard::importWizard() = nullptr;
    Generate_List::randomSource() = nullptr;
    MainWindowTest::TearDown();
  }

  static QString pathOf(const QString &fileName) { return joinPath(Data_Folder_Path, fileName); }
  // Puts `bytes` as the file `fileName` of the data folder.
  static void put(const QString &fileName, const QByteArray &bytes) {
    QFile file(pathOf(fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  // The bytes of the series `name`, or "<missing>".
  static QByteArray bytesOf(const QString &name) {
    QFile file(pathOf(name + QStringLiteral(".txt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  // A text object of the front (or back) side bound to the series `name`.
  void bind(const QString &name, bool back = false) {
    auto object = std::make_shared<QLNText>();
    object->setBounds(QRectF(10, 10, 120, 30));
    object->data_source_type = 1;
    object->batch_list_name = name;
    const QString key = back ? QLNDocumentGraphicsKey_back : QLNDocumentGraphicsKey;
    QLNGraphicList list = back ? controller->Get_Back_Controls_Array() : controller->Get_Front_Controls_Array();
    list.append(object);
    session->document()->setList(key, list);
  }

  // The manager with its list filled (as opening shows it), on the list screen.
  BatchWizard *manager() {
    BatchWizard *wizard = BatchWizard::defaultInstance();
    wizard->showListScreen(true);
    wizard->Fill_List();
    return wizard;
  }
  // The manager's editor opened on the series of `row`.
  BatchWizard *editorOn(int row) {
    BatchWizard *wizard = manager();
    selectRows(wizard->List, {row}, row);
    wizard->Update_Btn_Clicked();
    return wizard;
  }
  static QStringList values(const BatchWizard *wizard) {
    QStringList texts;
    for (const QVariantMap &row : wizard->ListData_value)
      texts << row.value(QStringLiteral("Header")).toString();
    return texts;
  }
  static QStringList names(const BatchWizard *wizard) { return tableTexts(wizard->List); }

  QLNWindowController *controller = nullptr;
};

}  // namespace seriestest
