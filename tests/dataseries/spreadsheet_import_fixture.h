#pragma once
// The stage of the spreadsheet import window tests: the series windows' stage (a running
// main window, a data folder of the test's own), the workbooks that LibreOffice made from
// tests/data/spreadsheets (import_columns: a sheet "Data" of six columns, an empty sheet
// and a one-column sheet; import_many_sheets: eleven sheets), and helpers that tick
// columns the way a click on a check box does and run a window through the scripted UI.
// (The process's temporary folder, which holds the reader's unpack folder, is set up in
// test_spreadsheet_import.cpp.)

#include "tests/dataseries/series_windows_fixture.h"
#include "tests/dataseries/spreadsheet_peers.h"

#include "dataseries/Data_From_Excel.h"
#include "dataseries/Import_Excel.h"
#include "dataseries/Import_Excel_DataSheet.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include "barcode/BarcodeProduction.h"

#include "core/CardObjectArchive.h"
#include "core/QLNBarcode.h"
#include "core/QLNText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QPlainTextEdit>

namespace importtest {

// A text on the card showing `text`, bound to the imported column `column`.
inline std::shared_ptr<QLNText> boundText(const QString &text, int column) {
  auto object = std::make_shared<QLNText>();
  object->setBounds(QRectF(10, 10, 120, 30));
  replaceCharacters(*object->Text_contents(), text);
  object->Text_Value = text;
  object->data_source_type = 2;
  object->excel_binding = true;
  object->excel_col_indx = column;
  return object;
}

// A Code 128 barcode bound to the imported column `column`.
inline std::shared_ptr<QLNBarcode> boundBarcode(int column) {
  auto object = std::make_shared<QLNBarcode>();
  object->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("Code 128")));
  object->setBounds(QRectF(10, 60, 120, 60));
  object->data_source_type = 2;
  object->excel_binding = true;
  object->excel_col_indx = column;
  return object;
}

inline QList<QByteArray> archivesOf(const QLNGraphicList &list) {
  QList<QByteArray> out;
  for (const QLNGraphicPtr &graphic : list)
    out << archiveGraphic(*graphic);
  return out;
}

// The columns of the "Data" sheet of import_columns, as the column list names them.
enum DataColumn { Name = 0, City = 1, Blank = 2, Amount = 3, Code = 4, InOut = 5 };

class SpreadsheetImportTest : public seriestest::SeriesWindowsTest {
protected:
  void SetUp() override {
    seriestest::SeriesWindowsTest::SetUp();
    Excel_Sheet_Number = 1;
    Excel_Sheet_Columns = 1;
  }

  // The converted workbook <name>.xlsx ("" after a failed conversion, which fails the test).
  static QString workbook(const QString &name) {
    const QString folder = spreadsheet_peers::convertedFixtures();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name + QStringLiteral(".xlsx");
  }

  // Ticks (or unticks) the rows of the column list through its table, as a click does.
  static void tick(SpreadsheetColumnWindow *window, const QList<int> &rows, bool on = true) {
    QAbstractItemModel *model = window->ColList->model();
    for (int row : rows)
      ASSERT_TRUE(model->setData(model->index(row, 0), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
  }
  // The names the column list shows, in order.
  static QStringList listedNames(const SpreadsheetColumnWindow *window) {
    QStringList names;
    const QAbstractItemModel *model = window->ColList->model();
    for (int row = 0; row < model->rowCount(); ++row)
      names << model->index(row, 1).data().toString();
    return names;
  }
  // Chooses the sheet-list item `item` as the user does.
  static void chooseSheet(SpreadsheetColumnWindow *window, int item) {
    window->Sheet_ComboBox->setCurrentIndex(item);
    emit window->Sheet_ComboBox->activated(item);
  }

  // Opens `window` on `path`; `inside` runs while it is shown and returns the code to end
  // the window with when it is still open. Returns the window's code.
  int run(SpreadsheetColumnWindow *window, const QString &path, std::function<int()> inside) {
    scripted.answerModal([window, inside](QDialog *dialog) {
      EXPECT_EQ(dialog, window->window());
      const int code = inside();
      // A window that ended itself answers the code it ended with.
      return dialog->isVisible() ? code : dialog->result();
    });
    return window->Open_excel_Wnd(path);
  }

  // A workbook of our own writer at <root>/<name>: `rows` as they stand, the first one
  // included.
  QString ownWorkbook(const QString &name, const QList<QStringList> &rows) {
    const QString shippedTemplate = shippedDir() + QStringLiteral("/Template.xlsx");
    if (!QFileInfo::exists(shippedTemplate)) {
      EXPECT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/Template.xlsx"), shippedTemplate));
    }
    const QString path = root.path() + QLatin1Char('/') + name;
    QString error;
    EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(path, rows, true, &error)) << error.toStdString();
    return path;
  }
  // Imports the columns `ticked` of `book` into the imported-rows table, its first row
  // taken as the column names or as data; `told`: the user is told something on the way.
  void importColumns(const QString &book, const QList<int> &ticked, bool names = true, bool told = false) {
    Import_Excel *window = columnWindow(QStringLiteral("E"));
    run(window, book, [&] {
      window->contains_header->setChecked(names);
      tick(window, ticked);
      if (told)
        scripted.expectAlert();
      window->OK_btn->click();
      return 0;
    });
  }

  // The spreadsheet-to-series window with its flags as the import wizard sets them.
  static Import_Excel_DataSheet *seriesWindow() {
    Import_Excel_DataSheet *window = Import_Excel_DataSheet::defaultInstance();
    window->file_name_Insert = 0;
    return window;
  }
  static Import_Excel *columnWindow(const QString &mode) {
    Import_Excel *window = Import_Excel::defaultInstance();
    window->open_mode = mode;
    return window;
  }

  // The message dialog's answer: OK (with the apply-to-all box as given) or No; records
  // the title, the text and whether the box was offered.
  struct Question {
    QString title;
    QString text;
    bool boxShown = false;
  };
  void answerQuestion(bool yes, bool applyAll, std::vector<Question> *asked) {
    scripted.answerModal([yes, applyAll, asked](QDialog *dialog) {
      Long_SMS_Dlg *message = Long_SMS_Dlg::defaultInstance();
      EXPECT_EQ(dialog, message);
      asked->push_back({message->_Msg_Title->text(), message->_Msg_Val->toPlainText(), message->apply_chk->isVisible()});
      message->apply_chk->setChecked(applyAll);
      (yes ? message->yes_button : message->no_button)->click();
      return message->result();
    });
  }
};

}  // namespace importtest
