// The spreadsheet import windows, end to end through the scripted UI on workbooks made by
// LibreOffice: the column import into the imported-rows table and into the value editor,
// and the spreadsheet-to-series window writing series files (bytes on disk).

#include "tests/dataseries/spreadsheet_import_fixture.h"
#include "tests/dataseries/hostile_workbooks.h"
#include "tests/common/decoder_support.h"

#include "dataseries/BatchCardSource.h"
#include "designs/model/DesignLog.h"

#include "barcode/BarcodeProduction.h"

#include "canvas/QLNGraphicView.h"

#include "core/CardObjectArchive.h"
#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "mainwindow/DrawWindow.h"
#include "profiles/model/User_Profile_Class.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace importtest;

namespace {

// The reader unpacks every workbook into a folder of the user's cache folder, which is
// under the home folder. CTest runs each test in a process of its own, several at once:
// each process of this executable gets a home and a temporary folder of its own, set
// before anything reads them, so that two tests never unpack into the same folder. It
// goes when the process ends.
struct PrivateTemporaryFolder {
  QByteArray path;
  PrivateTemporaryFolder() {
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
      base = "/tmp";
    QByteArray pattern = base + "/amends-tests-XXXXXX";
    if (::mkdtemp(pattern.data())) {
      path = pattern;
      qputenv("TMPDIR", path);
      qputenv("HOME", path);
    }
  }
  ~PrivateTemporaryFolder() {
    if (!path.isEmpty())
      QDir(QString::fromLocal8Bit(path)).removeRecursively();
  }
} privateTemporaryFolder;

const QString NoRowsText = QStringLiteral("\nEither file is corrupted or selected file contains invalid characters.");

// The rows of the imported-rows table as "key=value" lists, keys in row order.
QList<QStringList> tableRows() {
  QList<QStringList> rows;
  for (const DesignLogGridRow &row : Data_From_Excel::defaultInstance()->ListData()) {
    QStringList cells;
    for (const auto &[key, value] : row)
      cells << key + QLatin1Char('=') + value;
    rows << cells;
  }
  return rows;
}

}  // namespace

// ---- The column list and the sheets -------------------------------------------------------------

// A blank header is listed by its position, so the ticked list row and the sheet column
// read stay the same column; sheets are listed and read by their part numbers, so the
// tenth sheet is "sheet10" and reads sheet10.xml, not whatever a name-sorted listing puts
// tenth.
TEST_F(SpreadsheetImportTest, ColumnsAreListedByPositionAndSheetsByNumber) {
  Import_Excel *window = columnWindow(QStringLiteral("E"));
  const QString columns = workbook(QStringLiteral("import_columns"));
  ASSERT_FALSE(columns.isEmpty());
  run(window, columns, [&] {
    EXPECT_EQ(window->file_path->text(), columns);
    EXPECT_TRUE(window->contains_header->isChecked());
    EXPECT_EQ(listedNames(window), (QStringList{"Name", "City", "Untitled Column 3", "Amount", "/Code?", "In/Out"}));
    EXPECT_FALSE(window->Check_For_One_Extension_Selection());
    window->Select_All_btn->click();
    for (int i = 0; i < 6; ++i)
      EXPECT_TRUE(window->Get_Selection_State(i)) << i;
    window->Clear_All_btn->click();
    EXPECT_FALSE(window->Check_For_One_Extension_Selection());
    EXPECT_FALSE(window->Get_Selection_State(6));
    return 0;
  });

  const QString many = workbook(QStringLiteral("import_many_sheets"));
  run(window, many, [&] {
    QStringList items;
    for (int i = 0; i < window->Sheet_ComboBox->count(); ++i)
      items << window->Sheet_ComboBox->itemText(i);
    EXPECT_EQ(items, (QStringList{"sheet1", "sheet2", "sheet3", "sheet4", "sheet5", "sheet6", "sheet7", "sheet8",
                                  "sheet9", "sheet10", "sheet11"}));
    EXPECT_EQ(listedNames(window), QStringList{"Sheet 1"});
    chooseSheet(window, 9);
    EXPECT_EQ(Excel_Sheet_Number.load(), 10);
    EXPECT_EQ(listedNames(window), QStringList{"Sheet 10"});
    chooseSheet(window, 1);
    EXPECT_EQ(listedNames(window), QStringList{"Sheet 2"});
    // The chosen sheet is also the one imported.
    tick(window, {0});
    window->OK_btn->click();
    return 0;
  });
  EXPECT_EQ(tableRows(), (QList<QStringList>{{"Extension=1", "Column1=v2"}}));
  EXPECT_EQ(Data_From_Excel::defaultInstance()->table().columnTitles(), (QStringList{"No.", "Sheet 2"}));
}

// OK checks the list first and leaves the window open; a file that is no workbook lists
// no sheet and no column.
TEST_F(SpreadsheetImportTest, OkRefusesAnEmptyOrUntickedList) {
  Import_Excel *window = columnWindow(QStringLiteral("D"));
  const QString notWorkbook = root.path() + QStringLiteral("/plain.xlsx");
  {
    QFile file(notWorkbook);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Name,City\nAnn,Paris\n");
  }
  // The user is told why, before the empty window opens.
  scripted.expectAlert();
  EXPECT_EQ(run(window, notWorkbook,
                [&] {
                  EXPECT_EQ(window->Sheet_ComboBox->count(), 0);
                  EXPECT_EQ(window->numberOfRowsInTableView(), 0);
                  scripted.expectAlert();
                  window->OK_btn->click();
                  EXPECT_TRUE(window->window()->isVisible());
                  window->Cancel_btn->click();
                  return 7;
                }),
            0);
  EXPECT_EQ(scripted.alertTexts(), (QStringList{"\nThe workbook \u201cplain.xlsx\u201d cannot be read: failed to open zip file.",
                                               "\nThere is no column."}));

  scripted.clear();
  EXPECT_EQ(run(window, workbook(QStringLiteral("import_columns")),
                [&] {
                  scripted.expectAlert();
                  window->OK_btn->click();
                  EXPECT_TRUE(window->window()->isVisible());
                  return 0;
                }),
            0);
  EXPECT_EQ(scripted.alertTexts(), QStringList{"\nNo column is selected."});
}

// A workbook or sheet past the reader's caps is refused with the reason in the window's
// alert, not only in the log; the names of another sheet never stay listed for it.
TEST_F(SpreadsheetImportTest, RefusedWorkbooksAndSheetsAreToldToTheUser) {
  Import_Excel *window = columnWindow(QStringLiteral("E"));
  const QByteArray tooLong(40000, 'x');
  const QString strings = root.path() + QStringLiteral("/strings.xlsx");
  ASSERT_TRUE(hostile::writeWorkbook(
      strings, {{"xl/sharedStrings.xml", hostile::sharedStrings("<si><t>" + tooLong + "</t></si>")},
                {"xl/worksheets/sheet1.xml", hostile::sheet(hostile::rowsShowing(3, 0))}}));
  scripted.expectAlert();
  EXPECT_EQ(run(window, strings,
                [&] {
                  EXPECT_EQ(window->Sheet_ComboBox->count(), 0);
                  EXPECT_EQ(window->numberOfRowsInTableView(), 0);
                  return 0;
                }),
            0);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{"\nThe workbook \u201cstrings.xlsx\u201d cannot be read: in the shared strings, a cell holds "
                        "more than 32,767 characters."});

  scripted.clear();
  const QString sheets = root.path() + QStringLiteral("/sheets.xlsx");
  ASSERT_TRUE(hostile::writeWorkbook(
      sheets, {{"xl/worksheets/sheet1.xml", hostile::sheet("<row><c r=\"A1\" t=\"inlineStr\"><is><t>Name</t></is></c>"
                                                           "</row><row><c r=\"A2\"><v>1</v></c></row>")},
               {"xl/worksheets/sheet2.xml", hostile::sheet("<row><c r=\"A1\" t=\"inlineStr\"><is><t>" + tooLong +
                                                           "</t></is></c></row>")}}));
  EXPECT_EQ(run(window, sheets,
                [&] {
                  EXPECT_EQ(listedNames(window), QStringList{"Name"});
                  scripted.expectAlert();
                  chooseSheet(window, 1);
                  EXPECT_EQ(window->numberOfRowsInTableView(), 0);
                  scripted.expectAlert();
                  window->OK_btn->click();
                  return 0;
                }),
            0);
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{"\nThe workbook \u201csheets.xlsx\u201d cannot be read: a cell holds more than 32,767 "
                         "characters.",
                         "\nThere is no column."}));
}

// ---- Into the imported-rows table (any mode but "D"; the profile windows use "E") ----------------

TEST_F(SpreadsheetImportTest, TickedColumnsBecomeTheImportedRowsTable) {
  Import_Excel *window = columnWindow(QStringLiteral("E"));
  QComboBox *source = controller->ui->Data_source_type;
  ASSERT_EQ(source->count(), 2);
  EXPECT_EQ(run(window, workbook(QStringLiteral("import_columns")),
                [&] {
                  tick(window, {City, Amount});
                  window->OK_btn->click();
                  return 0;
                }),
            1);
  Data_From_Excel *grid = Data_From_Excel::defaultInstance();
  EXPECT_EQ(grid->table().columnTitles(), (QStringList{"No.", "City", "Amount"}));
  EXPECT_EQ(tableRows(), (QList<QStringList>{{"Extension=1", "Column1=Paris", "Column2=10"},
                                             {"Extension=2", "Column1=", "Column2=20"},
                                             {"Extension=3", "Column1=Rome", "Column2="},
                                             {"Extension=4", "Column1=Oslo", "Column2=40"}}));
  // The data-source list now offers the spreadsheet.
  ASSERT_EQ(source->count(), 3);
  EXPECT_EQ(source->itemText(2), QStringLiteral("Excel"));
  // The grid counts its row-number column: two ticked columns show 3.
  scripted.answerModal([&](QDialog *) {
    EXPECT_EQ(grid->rows_count->text(), QStringLiteral("4"));
    EXPECT_EQ(grid->column_count->text(), QStringLiteral("3"));
    return 1;
  });
  EXPECT_EQ(grid->Open_Wnd(), 1);

  // A second import renumbers from 1 and drops the earlier columns; with the header box
  // off the first sheet row is data row 1 and also names the column.
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    window->contains_header->setChecked(false);
    tick(window, {Name});
    window->OK_btn->click();
    return 0;
  });
  EXPECT_EQ(grid->table().columnTitles(), (QStringList{"No.", "Name"}));
  EXPECT_EQ(tableRows(), (QList<QStringList>{{"Extension=1", "Column1=Name"},
                                             {"Extension=2", "Column1=Ann"},
                                             {"Extension=3", "Column1=Bob"},
                                             {"Extension=4", "Column1="},
                                             {"Extension=5", "Column1=Cy"}}));
  const QList<QStringList> before = tableRows();

  // Cancel, and an import from a sheet without rows, keep the table as it was.
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    tick(window, {City});
    window->Cancel_btn->click();
    return 0;
  });
  EXPECT_EQ(tableRows(), before);
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    tick(window, {City});
    chooseSheet(window, 1);  // the empty sheet: the list stays as it was
    EXPECT_EQ(Excel_Sheet_Number.load(), 2);
    EXPECT_EQ(listedNames(window).size(), 6);
    scripted.expectAlert();
    window->OK_btn->click();
    return 0;
  });
  EXPECT_EQ(scripted.alertTexts().last(), NoRowsText);
  EXPECT_EQ(tableRows(), before);
  EXPECT_EQ(grid->table().columnTitles(), (QStringList{"No.", "Name"}));
}

// Rows replaced while a design is open: every object of either side bound to a column
// keeps that column by its title, or is typed by hand from then on and the user is told;
// nothing else changes. Save, import again, save again: the saved design and the cards
// made take the columns by title.
TEST_F(SpreadsheetImportTest, ASecondImportKeepsEachBoundObjectsColumnByItsTitle) {
  const QString book = workbook(QStringLiteral("import_columns"));
  importColumns(book, {Name, City, Amount});
  ASSERT_EQ(Data_From_Excel::defaultInstance()->table().columnTitles(),
            (QStringList{"No.", "Name", "City", "Amount"}));

  const auto city = boundText(QStringLiteral("Paris"), 2);
  const auto number = boundText(QStringLiteral("1"), 0);
  const auto typed = boundText(QStringLiteral("Dear guest"), 0);
  typed->data_source_type = 0;
  typed->excel_binding = false;
  const auto amount = boundBarcode(3);
  const auto name = boundText(QStringLiteral("Ann"), 1);
  CARD_SIDE_STR = QStringLiteral("2");
  session->document()->setList(QLNDocumentGraphicsKey, {city, number, amount, typed});
  session->document()->setList(QLNDocumentGraphicsKey_back, {name});
  const QString design = root.path() + QStringLiteral("/Bound.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> before = readDesignLogFile(design);
  ASSERT_TRUE(before);

  // City and Amount are there under other numbers; Name is not.
  importColumns(book, {City, Amount}, true, true);
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{QStringLiteral(
                "\nThe spreadsheet has no column \"Name\": 'Text on the back' is no longer bound to a column.")});
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> after = readDesignLogFile(design);
  ASSERT_TRUE(after);

  QLNGraphicList frontWanted = before->frontObjects;
  QLNGraphicList backWanted = before->backObjects;
  frontWanted.at(0)->excel_col_indx = 1;
  frontWanted.at(2)->excel_col_indx = 2;
  // The barcode keeps its column and shows the column's first value in the new rows, as
  // an object bound to a column does (the texts show theirs, which stayed the same).
  const QLNGraphicPtr shownAmount = after->frontObjects.at(2);
  const QString firstAmount = Data_From_Excel::defaultInstance()->table().value(0, 2);
  ASSERT_FALSE(firstAmount.isEmpty());
  EXPECT_EQ(decodeWithZXing(shownAmount->_barcode_image.pixels, QStringLiteral("Code128")).texts,
            QStringList{firstAmount});
  frontWanted.at(2)->Set_Barcode_image(shownAmount->_barcode_image);
  frontWanted.at(2)->setBounds(shownAmount->bounds());
  backWanted.at(0)->data_source_type = 0;
  backWanted.at(0)->excel_binding = false;
  backWanted.at(0)->excel_col_indx = 0;
  EXPECT_EQ(archivesOf(after->frontObjects), archivesOf(frontWanted));
  EXPECT_EQ(archivesOf(after->backObjects), archivesOf(backWanted));
  EXPECT_EQ(after->gridColumnTitles, (QStringList{"No.", "City", "Amount"}));

  // The cards made: the fourth row is Oslo, 40; the back's name is typed by hand now.
  controller->Check_Series_Or_Excel_Use_or_not();
  const std::shared_ptr<const BatchCardSource> cards = controller->batchCardSource();
  ASSERT_TRUE(cards);
  EXPECT_EQ(cards->cardCount(), 4);
  const QLNGraphicList fourth = cards->cardObjects(3, false);
  ASSERT_EQ(fourth.size(), 4);
  EXPECT_EQ(fourth.at(0)->Text_contents()->string, QStringLiteral("Oslo"));
  EXPECT_EQ(fourth.at(1)->Text_contents()->string, QStringLiteral("4"));
  EXPECT_EQ(cards->sources().valueFor(*amount, 3), std::optional<QString>(QStringLiteral("40")));
  EXPECT_EQ(cards->cardObjects(3, true).value(0)->Text_contents()->string, QStringLiteral("Ann"));
  // After the run the design still holds its columns by title.
  controller->Select_first_row_value_for_design(false);
  EXPECT_EQ(city->Text_contents()->string, QStringLiteral("Paris"));
  EXPECT_EQ(city->excel_col_indx, 1);
  EXPECT_EQ(amount->excel_col_indx, 2);
  EXPECT_EQ(name->data_source_type, 0);
}

// A workbook without a row of names lends its first record as titles, and a refreshed
// workbook has other first records: there every bound column keeps its position, on
// either side, texts, pictures and barcodes, and a profile field waiting with a column,
// also in the design opened again from its file. A position the new rows lack is typed
// by hand with a word; where only one of the two workbooks has names, positions hold too.
TEST_F(SpreadsheetImportTest, RowsWithoutColumnNamesKeepEveryBindingOnItsPosition) {
  const QString people =
      ownWorkbook(QStringLiteral("people.xlsx"), {{"Ann Lee", "Oslo", "111"}, {"Bob Ray", "Rome", "222"}});
  const QString refreshed =
      ownWorkbook(QStringLiteral("refreshed.xlsx"), {{"Di Vo", "Paris", "333"}, {"Ed Poe", "Lima", "444"}});
  Data_From_Excel *grid = Data_From_Excel::defaultInstance();
  importColumns(people, {0, 1, 2}, false);
  ASSERT_EQ(grid->table().columnTitles(), (QStringList{"No.", "Ann Lee", "Oslo", "111"}));
  EXPECT_FALSE(grid->table().columnNames);

  const auto name = boundText(QStringLiteral("Ann Lee"), 1);
  auto picture = std::make_shared<QLNImage>();
  picture->setBounds(QRectF(140, 10, 40, 40));
  picture->data_source_type = 2;
  picture->excel_binding = true;
  picture->excel_col_indx = 2;
  const auto code = boundBarcode(3);
  const auto town = boundText(QStringLiteral("Oslo"), 2);
  CARD_SIDE_STR = QStringLiteral("2");
  session->document()->setList(QLNDocumentGraphicsKey, {name, picture, code});
  session->document()->setList(QLNDocumentGraphicsKey_back, {town});
  User_Profile_Class &profile = controller->Front_user_profile;
  profile.setXl(User_Profile_Class::PhoneField, true);
  profile.setXlColumnIndex(User_Profile_Class::PhoneField, 3);
  profile.setPending(User_Profile_Class::PhoneField, true);
  const QString design = root.path() + QStringLiteral("/People.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> before = readDesignLogFile(design);
  ASSERT_TRUE(before);
  EXPECT_FALSE(before->gridColumnNames);

  // The refreshed workbook: nothing to tell, every binding where it was.
  importColumns(refreshed, {0, 1, 2}, false);
  EXPECT_EQ(scripted.alertTexts(), QStringList());
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> after = readDesignLogFile(design);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->gridColumnTitles, (QStringList{"No.", "Di Vo", "Paris", "333"}));
  EXPECT_FALSE(after->gridColumnNames);
  // Only what the objects show changed: each its column's first value in the new rows.
  QLNGraphicList frontWanted = before->frontObjects;
  QLNGraphicList backWanted = before->backObjects;
  replaceCharacters(*frontWanted.at(0)->Text_contents(), QStringLiteral("Di Vo"));
  const QLNGraphicPtr shownCode = after->frontObjects.at(2);
  EXPECT_EQ(decodeWithZXing(shownCode->_barcode_image.pixels, QStringLiteral("Code128")).texts, QStringList{"333"});
  frontWanted.at(2)->Set_Barcode_image(shownCode->_barcode_image);
  frontWanted.at(2)->setBounds(shownCode->bounds());
  frontWanted.at(1)->_file_path = after->frontObjects.at(1)->_file_path;
  replaceCharacters(*backWanted.at(0)->Text_contents(), QStringLiteral("Paris"));
  EXPECT_EQ(archivesOf(after->frontObjects), archivesOf(frontWanted));
  EXPECT_EQ(archivesOf(after->backObjects), archivesOf(backWanted));
  EXPECT_EQ(picture->excel_col_indx, 2);
  EXPECT_TRUE(profile.xl(User_Profile_Class::PhoneField));
  EXPECT_EQ(profile.xlColumnIndex(User_Profile_Class::PhoneField), 3);

  // The cards take the new rows, column by column.
  controller->Check_Series_Or_Excel_Use_or_not();
  const std::shared_ptr<const BatchCardSource> cards = controller->batchCardSource();
  ASSERT_TRUE(cards);
  EXPECT_EQ(cards->cardCount(), 2);
  EXPECT_EQ(cards->cardObjects(1, false).value(0)->Text_contents()->string, QStringLiteral("Ed Poe"));
  EXPECT_EQ(cards->sources().valueFor(*picture, 1), std::optional<QString>(QStringLiteral("Lima")));
  EXPECT_EQ(cards->sources().valueFor(*code, 1), std::optional<QString>(QStringLiteral("444")));
  EXPECT_EQ(cards->cardObjects(1, true).value(0)->Text_contents()->string, QStringLiteral("Lima"));

  // Opened again from its file, the design's rows still have no names: a workbook of two
  // columns keeps the first two positions and types the third by hand.
  profile.setPending(User_Profile_Class::PhoneField, false);
  ASSERT_EQ(controller->Read_and_load_design_Log(design, QStringLiteral("L")), 1);
  EXPECT_FALSE(grid->table().columnNames);
  const QLNGraphicList opened = controller->Get_Front_Controls_Array();
  ASSERT_EQ(opened.size(), 3);
  importColumns(refreshed, {0, 1}, false, true);
  EXPECT_EQ(scripted.alertTexts().value(0),
            QStringLiteral("\nThe spreadsheet has no column \"333\": 'Barcode on the front' is no longer bound to a "
                           "column."));
  EXPECT_EQ(opened.at(0)->excel_col_indx, 1);
  EXPECT_EQ(opened.at(1)->excel_col_indx, 2);
  EXPECT_EQ(opened.at(2)->data_source_type, 0);

  // The same workbook read with its first row as names: the rows before had none, so
  // the positions hold, and the first value is now the second record's.
  scripted.clear();
  importColumns(refreshed, {0, 1}, true);
  EXPECT_EQ(scripted.alertTexts(), QStringList());
  EXPECT_TRUE(grid->table().columnNames);
  EXPECT_EQ(opened.at(0)->excel_col_indx, 1);
  EXPECT_EQ(opened.at(0)->Text_contents()->string, QStringLiteral("Ed Poe"));
}

// A column whose first-row cell is blank is listed under the name the import window
// gives it, in every list of the columns, and choosing it binds that very column: the
// file holds it and the cards print its values. A blank title that an earlier version
// kept is listed the same way.
TEST_F(SpreadsheetImportTest, AColumnWithoutATitleIsListedAndBoundUnderItsImportName) {
  importColumns(workbook(QStringLiteral("import_columns")), {Name, City, Blank, Code});
  Data_From_Excel *grid = Data_From_Excel::defaultInstance();
  const QStringList titles{"No.", "Name", "City", "Untitled Column 3", "/Code?"};
  EXPECT_EQ(grid->table().columnTitles(), titles);

  auto text = boundText(QStringLiteral("Dear guest"), 0);
  text->data_source_type = 0;
  text->excel_binding = false;
  session->document()->setList(QLNDocumentGraphicsKey, {text});
  controller->_graphicsController.setSelectionIndexes({0});
  controller->frontView()->setSelected_Graphic(text);
  controller->Show_RHS_Properties(text);
  controller->ui->Data_source_type->setCurrentIndex(2);
  QComboBox *columns = controller->ui->Batch_Series;
  QStringList listed;
  for (int i = 0; i < columns->count(); ++i)
    listed << columns->itemText(i);
  EXPECT_EQ(listed, titles);
  columns->setCurrentIndex(3);
  EXPECT_EQ(text->excel_col_indx, 3);
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("x1"));

  const QString design = root.path() + QStringLiteral("/Untitled.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> saved = readDesignLogFile(design);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->frontObjects.value(0)->excel_col_indx, 3);
  EXPECT_EQ(saved->gridColumnTitles, titles);
  controller->Check_Series_Or_Excel_Use_or_not();
  const std::shared_ptr<const BatchCardSource> cards = controller->batchCardSource();
  ASSERT_TRUE(cards);
  QStringList printed;
  for (int row = 0; row < cards->cardCount(); ++row)
    printed << cards->cardObjects(row, false).value(0)->Text_contents()->string;
  EXPECT_EQ(printed, (QStringList{"x1", "x2", "x3", "x4"}));

  // Other rows, and another object bound to a column: the panel lists the columns of
  // the rows held now and shows each object's own column, from one to the next.
  const auto name = boundText(QStringLiteral("Ann"), 1);
  session->document()->setList(QLNDocumentGraphicsKey, {text, name});
  importColumns(workbook(QStringLiteral("import_columns")), {Name, Blank});
  auto shown = [&](const QLNGraphicPtr &object) {
    controller->_graphicsController.setSelectionIndexes({int(session->document()->graphics().indexOf(object))});
    controller->frontView()->setSelected_Graphic(object);
    controller->Show_RHS_Properties(object);
    QStringList items;
    for (int i = 0; i < columns->count(); ++i)
      items << columns->itemText(i);
    return items << columns->currentText();
  };
  EXPECT_EQ(shown(text), (QStringList{"No.", "Name", "Untitled Column 3", "Untitled Column 3"}));
  EXPECT_EQ(shown(name), (QStringList{"No.", "Name", "Untitled Column 3", "Name"}));
  EXPECT_EQ(text->excel_col_indx, 2);

  // Rows kept with a blank title.
  ImportedRowsTable kept;
  kept.setImportedColumns({QStringLiteral("Name"), QStringLiteral(" ")});
  grid->setTable(kept);
  QComboBox list;
  controller->Fill_Excel_Col_Name_In_Combo(&list);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.itemText(2), QStringLiteral("Untitled Column 2"));
}

// An object that leaves the design and comes back after other rows were imported takes
// its column as the design's objects did: Undo of a delete, a paste of a copy made
// before, and Redo of a paste taken back (the commands of the Edit menu and the
// toolbar). Each finds its column by title (the second of
// two "Name" columns the second again), or is typed by hand with a word; the cards
// print the column each shows.
TEST_F(SpreadsheetImportTest, ObjectsBackByUndoOrPasteAfterNewRowsTakeTheirColumnByTitle) {
  const QString first = ownWorkbook(QStringLiteral("first.xlsx"), {{"Name", "Name", "City", "Code", "Note"},
                                                                   {"Ann", "Lee", "OSLO", "111", "n1"},
                                                                   {"Bob", "Ray", "ROME", "222", "n2"}});
  const QString reordered = ownWorkbook(QStringLiteral("reordered.xlsx"), {{"City", "Name", "Code", "Name"},
                                                                           {"OSLO", "Ann", "111", "Lee"},
                                                                           {"ROME", "Bob", "222", "Ray"}});
  importColumns(first, {0, 1, 2, 3, 4});
  const auto city = boundText(QStringLiteral("OSLO"), 3);
  const auto surname = boundText(QStringLiteral("Lee"), 2);
  const auto note = boundText(QStringLiteral("n1"), 5);
  QLNDocument *document = session->document();
  document->insertIntoList(QLNDocumentGraphicsKey, {city, surname, note}, {0, 1, 2});
  QCoreApplication::processEvents();
  QLNGraphicView *front = controller->frontView();
  const QString design = root.path() + QStringLiteral("/Back.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> before = readDesignLogFile(design);
  ASSERT_TRUE(before);

  // The city copied, then all three deleted; the new rows have no "Note".
  front->changeSelectionIndexes({0});
  controller->Copy_Clicked(nullptr);
  front->changeSelectionIndexes({0, 1, 2});
  controller->Delete_Clicked(nullptr);
  QCoreApplication::processEvents();
  ASSERT_TRUE(document->graphics().isEmpty());
  importColumns(reordered, {0, 1, 2, 3});
  EXPECT_EQ(scripted.alertTexts(), QStringList());

  // Undo brings them back on their columns of the new rows; the note is told of once
  // the command is over.
  controller->Undo_Clicked(nullptr);
  ASSERT_EQ(document->graphics(), (QLNGraphicList{city, surname, note}));
  scripted.expectAlert();
  QCoreApplication::processEvents();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{"\nThe spreadsheet has no column \"Note\": 'Text on the front' is no longer bound to a "
                        "column."});
  EXPECT_EQ(city->excel_col_indx, 1);
  EXPECT_EQ(surname->excel_col_indx, 4);
  EXPECT_EQ(note->data_source_type, 0);
  EXPECT_EQ(note->Text_contents()->string, QStringLiteral("n1"));

  // The copy made before the new rows is pasted on the city's column too.
  controller->Paste_Clicked(nullptr);
  QCoreApplication::processEvents();
  ASSERT_EQ(document->graphics().size(), 4);
  const QLNGraphicPtr pasted = document->graphics().at(0);
  EXPECT_EQ(pasted->excel_col_indx, 1);
  EXPECT_FALSE(pasted->excel_col_mark);
  EXPECT_FALSE(city->excel_col_mark);

  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> after = readDesignLogFile(design);
  ASSERT_TRUE(after);
  QLNGraphicList wanted = before->frontObjects;
  wanted.at(0)->excel_col_indx = 1;
  wanted.at(1)->excel_col_indx = 4;
  wanted.at(2)->data_source_type = 0;
  wanted.at(2)->excel_binding = false;
  wanted.at(2)->excel_col_indx = 0;
  EXPECT_EQ(archivesOf(after->frontObjects.mid(1)), archivesOf(wanted));
  EXPECT_EQ(after->frontObjects.value(0)->excel_col_indx, 1);
  controller->Check_Series_Or_Excel_Use_or_not();
  const std::shared_ptr<const BatchCardSource> cards = controller->batchCardSource();
  ASSERT_TRUE(cards);
  QStringList second;
  for (const QLNGraphicPtr &object : cards->cardObjects(1, false))
    second << object->Text_contents()->string;
  EXPECT_EQ(second, (QStringList{"ROME", "ROME", "Ray", "n1"}));

  // The paste taken back, the first rows imported again, and the paste redone: the copy
  // follows the city to its column there.
  controller->Undo_Clicked(nullptr);
  ASSERT_EQ(document->graphics().size(), 3);
  importColumns(first, {0, 1, 2, 3, 4});
  EXPECT_EQ(city->excel_col_indx, 3);
  controller->Redo_Clicked(nullptr);
  QCoreApplication::processEvents();
  ASSERT_EQ(document->graphics().value(0), pasted);
  EXPECT_EQ(pasted->excel_col_indx, 3);
  EXPECT_EQ(pasted->Text_contents()->string, QStringLiteral("OSLO"));

  // Where no rows were imported at all, a paste keeps its column's number and waits
  // for rows, without a word.
  Data_From_Excel::defaultInstance()->setTable(ImportedRowsTable());
  controller->Paste_Clicked(nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(document->graphics().value(0)->data_source_type, 2);
  EXPECT_EQ(document->graphics().value(0)->excel_col_indx, 3);
}

// ---- Into the value editor (mode "D") -------------------------------------------------------------

TEST_F(SpreadsheetImportTest, ModeDPutsTickedCellsRowByRowIntoTheValueEditor) {
  put(QStringLiteral("Kept.txt"), "k1\n");
  BatchWizard *editor = editorOn(0);
  ASSERT_EQ(values(editor), QStringList{"k1"});
  Data_From_Excel::defaultInstance()->setTable(ImportedRowsTable());
  Import_Excel *window = columnWindow(QStringLiteral("D"));
  EXPECT_EQ(run(window, workbook(QStringLiteral("import_columns")),
                [&] {
                  tick(window, {Name, City});
                  window->OK_btn->click();
                  return 0;
                }),
            1);
  // Empty cells add nothing; " Oslo " arrives trimmed; the grid is not touched.
  EXPECT_EQ(values(editor), (QStringList{"k1", "Ann", "Paris", "Bob", "Rome", "Cy", "Oslo"}));
  EXPECT_EQ(Data_From_Excel::defaultInstance()->table().rowCount(), 0);
  EXPECT_EQ(bytesOf(QStringLiteral("Kept")), QByteArray("k1\n"));
}

// ---- One series per ticked column -------------------------------------------------------------------

TEST_F(SpreadsheetImportTest, EachTickedColumnBecomesASeriesWithEmptyCellsAsEmptyLines) {
  Import_Excel_DataSheet *window = seriesWindow();
  window->file_name_Insert = 1;
  BatchWizard *manager = this->manager();
  EXPECT_EQ(run(window, workbook(QStringLiteral("import_columns")),
                [&] {
                  EXPECT_TRUE(window->Each_col_RD->isChecked());
                  tick(window, {Name, City, Blank, Amount, Code});
                  window->OK_btn->click();
                  return 0;
                }),
            1);
  EXPECT_EQ(bytesOf(QStringLiteral("Name")), QByteArray("Ann\nBob\n\nCy\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("City")), QByteArray("Paris\n\nRome\nOslo\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Untitled Column 3")), QByteArray("x1\nx2\nx3\nx4\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Amount")), QByteArray("10\n20\n\n40\n"));
  // Reserved characters at the ends of a header are left out of the name.
  EXPECT_EQ(bytesOf(QStringLiteral("Code")), QByteArray("A1\nA2\nA3\nA4\n"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
  // file_name_Insert 1: the manager lists the new series.
  EXPECT_EQ(names(manager), (QStringList{"Amount", "City", "Code", "Name", "Untitled Column 3"}));

  // With the header box off the first row is written too.
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    window->contains_header->setChecked(false);
    tick(window, {Name});
    std::vector<Question> asked;
    answerQuestion(true, false, &asked);
    window->OK_btn->click();
    EXPECT_EQ(asked.size(), 1u);
    return 0;
  });
  EXPECT_EQ(bytesOf(QStringLiteral("Name")), QByteArray("Name\nAnn\nBob\n\nCy\n"));
}

// A cell written on several lines (Alt+Enter) is one value: its line breaks become
// spaces, so the series keeps one line, and the batch one card, per row.
TEST_F(SpreadsheetImportTest, EachColumnWritesACellOfSeveralLinesOnOneLine) {
  const QString path = root.path() + QStringLiteral("/lines.xlsx");
  ASSERT_TRUE(hostile::writeWorkbook(
      path, {{"xl/sharedStrings.xml",
              hostile::sharedStrings("<si><t>Note</t></si><si><t xml:space=\"preserve\">Dear Ann,\nsorry</t></si>"
                                     "<si><t>Bob&#13;&#10;Cy</t></si>")},
             {"xl/worksheets/sheet1.xml",
              hostile::sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                             "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c></row>"
                             "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>plain</t></is></c></row>"
                             "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>2</v></c></row>")}}));
  Import_Excel_DataSheet *window = seriesWindow();
  run(window, path, [&] {
    tick(window, {0});
    window->OK_btn->click();
    return 0;
  });
  EXPECT_EQ(bytesOf(QStringLiteral("Note")), QByteArray("Dear Ann, sorry\nplain\nBob Cy\n"));
}

// A header holding "/" inside names no file of the data folder: the column is refused
// and reported, the others are written.
TEST_F(SpreadsheetImportTest, EachColumnRefusesANameThatLeavesTheDataFolder) {
  Import_Excel_DataSheet *window = seriesWindow();
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    tick(window, {Name, InOut});
    scripted.expectAlert();
    window->OK_btn->click();
    return 0;
  });
  EXPECT_EQ(scripted.alertTexts(), QStringList{"\nError in file accessing.\nIn/Out"});
  EXPECT_EQ(bytesOf(QStringLiteral("Name")), QByteArray("Ann\nBob\n\nCy\n"));
  EXPECT_FALSE(QFileInfo::exists(pathOf(QStringLiteral("In"))));
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Name.txt"});
}

// The replace question through the message dialog: No keeps the series, Yes with the
// apply-to-all box answers the remaining columns of this import; an answer left from an
// earlier run answers nothing.
TEST_F(SpreadsheetImportTest, EachColumnAsksBeforeReplacingAndApplyToAllAnswersTheRest) {
  for (const char *name : {"Name", "City", "Amount", "Code"})
    put(QString::fromLatin1(name) + QStringLiteral(".txt"), "old\n");
  Msg_Apply_All_Chk = 1;  // left from an earlier run
  Import_Excel_DataSheet *window = seriesWindow();
  std::vector<Question> asked;
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    tick(window, {Name, City, Amount, Code});
    answerQuestion(false, false, &asked);  // Name: No
    answerQuestion(true, true, &asked);    // City: Yes, apply to all
    window->OK_btn->click();
    return 0;
  });
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].title, QStringLiteral("Batch Processing Series already exists :"));
  EXPECT_EQ(asked[0].text, QStringLiteral("Name\nBatch Processing Series already exists. Do you want to replace it?"));
  EXPECT_TRUE(asked[0].boxShown);
  EXPECT_EQ(asked[1].text, QStringLiteral("City\nBatch Processing Series already exists. Do you want to replace it?"));
  EXPECT_EQ(bytesOf(QStringLiteral("Name")), QByteArray("old\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("City")), QByteArray("Paris\n\nRome\nOslo\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Amount")), QByteArray("10\n20\n\n40\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Code")), QByteArray("A1\nA2\nA3\nA4\n"));
  // The dialog's later plain messages show no question.
  Long_SMS_Dlg *message = Long_SMS_Dlg::defaultInstance();
  EXPECT_TRUE(message->title_val.isNull());
  EXPECT_FALSE(message->apply_chk_show);
}

// A series bound on the card is not replaced: the in-use message, whichever button.
TEST_F(SpreadsheetImportTest, EachColumnSkipsASeriesInUse) {
  put(QStringLiteral("City.txt"), "bound\n");
  bind(QStringLiteral("City"));
  Import_Excel_DataSheet *window = seriesWindow();
  std::vector<Question> asked;
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    tick(window, {City, Amount});
    answerQuestion(true, false, &asked);
    window->OK_btn->click();
    return 0;
  });
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].title, QStringLiteral("Message :"));
  EXPECT_EQ(asked[0].text, QStringLiteral("City\nBatch processing Series name is already in use with another "
                                          "sequence. Please change Batch Processing Series Name."));
  EXPECT_EQ(bytesOf(QStringLiteral("City")), QByteArray("bound\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Amount")), QByteArray("10\n20\n\n40\n"));
}

// A one-column sheet offers no apply-to-all box.
TEST_F(SpreadsheetImportTest, EachColumnOfAOneColumnSheetOffersNoApplyToAll) {
  put(QStringLiteral("Solo.txt"), "old\n");
  Import_Excel_DataSheet *window = seriesWindow();
  std::vector<Question> asked;
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    chooseSheet(window, 2);
    EXPECT_EQ(listedNames(window), QStringList{"Solo"});
    tick(window, {0});
    answerQuestion(true, false, &asked);
    window->OK_btn->click();
    return 0;
  });
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_FALSE(asked[0].boxShown);
  EXPECT_EQ(bytesOf(QStringLiteral("Solo")), QByteArray("s1\ns3\n"));
}

// A series file that cannot be written is reported, and the series it would have
// replaced stays whole.
TEST_F(SpreadsheetImportTest, EachColumnReportsASeriesThatCannotBeWritten) {
  put(QStringLiteral("City.txt"), "old\n");
  Import_Excel_DataSheet *window = seriesWindow();
  std::vector<Question> asked;
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    tick(window, {City, Code});
    answerQuestion(true, true, &asked);
    scripted.expectAlert();
    seriestest::ScopedFileSizeLimit limit(8);
    window->OK_btn->click();
    return 0;
  });
  EXPECT_EQ(scripted.alertTexts(), QStringList{"\nError in file accessing.\nCity\nCode"});
  EXPECT_EQ(bytesOf(QStringLiteral("City")), QByteArray("old\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Code")), QByteArray("<missing>"));
}

// Nothing is written from a sheet without rows.
TEST_F(SpreadsheetImportTest, EachColumnWritesNothingFromASheetWithoutRows) {
  Import_Excel_DataSheet *window = seriesWindow();
  EXPECT_EQ(run(window, workbook(QStringLiteral("import_columns")),
                [&] {
                  tick(window, {Name});
                  chooseSheet(window, 1);
                  scripted.expectAlert();
                  window->OK_btn->click();
                  return 0;
                }),
            1);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{"\nThere is no data in selected sheet.\nPlease select another Sheet/Excel File.\nEither file "
                        "is corrupted or selected file contains invalid characters."});
  EXPECT_TRUE(QDir(Data_Folder_Path).entryList(QDir::Files).isEmpty());
}

// ---- One merged series -------------------------------------------------------------------------------

TEST_F(SpreadsheetImportTest, OpeningResetsTheModeAndListsTheSeries) {
  put(QStringLiteral("Alpha.txt"), "a\n");
  put(QStringLiteral("Beta.txt"), "b\n");
  Import_Excel_DataSheet *window = seriesWindow();
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    window->Fill_col_RD->click();
    window->fill_append_RD->click();
    window->list_name->setText(QStringLiteral("x"));
    return 0;
  });
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    EXPECT_TRUE(window->Each_col_RD->isChecked());
    EXPECT_FALSE(window->Fill_col_RD->isChecked());
    EXPECT_FALSE(window->list_name->isEnabled());
    EXPECT_FALSE(window->fill_replace_RD->isEnabled());
    EXPECT_EQ(window->fill_col_option, 0);
    EXPECT_TRUE(window->fill_new_RD->isChecked());
    EXPECT_TRUE(window->list_name->isVisible());
    EXPECT_FALSE(window->List_ComboBox->isVisible());
    EXPECT_FALSE(window->ColList->isColumnHidden(2));
    EXPECT_EQ(window->list_name->text(), QString());
    EXPECT_EQ(window->List_ComboBox->count(), 2);
    EXPECT_EQ(window->List_ComboBox->currentText(), QStringLiteral("Alpha"));
    window->Fill_col_RD->click();
    EXPECT_TRUE(window->list_name->isEnabled());
    window->fill_replace_RD->click();
    EXPECT_EQ(window->fill_col_option, 1);
    EXPECT_FALSE(window->list_name->isVisible());
    EXPECT_TRUE(window->List_ComboBox->isVisible());
    EXPECT_TRUE(window->ColList->isColumnHidden(2));
    return 0;
  });
}

TEST_F(SpreadsheetImportTest, MergedColumnsMakeANewSeriesRowByRowAndAskBeforeReplacing) {
  Import_Excel_DataSheet *window = seriesWindow();
  auto merge = [&](const QString &name, std::function<void()> answers) {
    return run(window, workbook(QStringLiteral("import_columns")), [&] {
      tick(window, {Name, Amount});
      window->Fill_col_RD->click();
      window->list_name->setText(name);
      answers();
      window->OK_btn->click();
      return window->window()->isVisible() ? 5 : 0;
    });
  };
  EXPECT_EQ(merge(QStringLiteral(" Guests "), [] {}), 1);
  const QByteArray merged("Ann\n10\nBob\n20\n\n\nCy\n40\n");
  EXPECT_EQ(bytesOf(QStringLiteral("Guests")), merged);

  put(QStringLiteral("Guests.txt"), "old\n");
  EXPECT_EQ(merge(QStringLiteral("Guests"), [&] { scripted.answerYesNo(false); }), 5);
  EXPECT_EQ(scripted.alertTexts().last(),
            QStringLiteral("Batch Processing Series already exists. Do you want to replace it?"));
  EXPECT_EQ(bytesOf(QStringLiteral("Guests")), QByteArray("old\n"));
  EXPECT_EQ(merge(QStringLiteral("Guests"), [&] { scripted.answerYesNo(true); }), 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Guests")), merged);
}

// Replace needs no question, even for a series in use; append adds after the old lines.
// The chosen series is written under its listed name as it stands.
TEST_F(SpreadsheetImportTest, MergedColumnsReplaceOrAppendToAChosenSeries) {
  put(QStringLiteral("Alpha.txt"), "a\n");
  put(QStringLiteral("Beta.txt"), "b\n");
  put(QStringLiteral("Sorry?.txt"), "s\n");
  put(QStringLiteral("Sorry.txt"), "plain\n");
  bind(QStringLiteral("Alpha"));
  Import_Excel_DataSheet *window = seriesWindow();
  auto merge = [&](int choice, const QString &series) {
    return run(window, workbook(QStringLiteral("import_columns")), [&] {
      tick(window, {City, Code});
      window->Fill_col_RD->click();
      (choice == 1 ? window->fill_replace_RD : window->fill_append_RD)->click();
      window->List_ComboBox->setCurrentIndex(window->List_ComboBox->findText(series));
      window->OK_btn->click();
      return 0;
    });
  };
  const QByteArray merged("Paris\nA1\n\nA2\nRome\nA3\nOslo\nA4\n");
  EXPECT_EQ(merge(1, QStringLiteral("Alpha")), 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Alpha")), merged);
  EXPECT_EQ(merge(2, QStringLiteral("Beta")), 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Beta")), "b\n" + merged);
  EXPECT_EQ(merge(2, QStringLiteral("Sorry?")), 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Sorry?")), "s\n" + merged);
  EXPECT_EQ(merge(1, QStringLiteral("Sorry?")), 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Sorry?")), merged);
  EXPECT_EQ(bytesOf(QStringLiteral("Sorry")), QByteArray("plain\n"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
}

// Every refusal leaves the window open and the series as they were.
TEST_F(SpreadsheetImportTest, MergedColumnsRefuseMissingAndUnsafeNames) {
  put(QStringLiteral("Alpha.txt"), "a\n");
  Import_Excel_DataSheet *window = seriesWindow();
  run(window, workbook(QStringLiteral("import_columns")), [&] {
    tick(window, {Name});
    window->Fill_col_RD->click();
    auto press = [&] {
      scripted.expectAlert();
      window->OK_btn->click();
      EXPECT_TRUE(window->window()->isVisible());
      return scripted.alertTexts().last();
    };
    window->list_name->setText(QStringLiteral("  "));
    EXPECT_EQ(press(), QStringLiteral("\nPlease enter list name."));
    window->list_name->setText(QStringLiteral("../Alpha"));
    EXPECT_EQ(press(), QStringLiteral("\nError in file accessing."));
    window->list_name->setText(QStringLiteral("a/b"));
    EXPECT_EQ(press(), QStringLiteral("\nError in file accessing."));
    window->fill_replace_RD->click();
    window->List_ComboBox->setCurrentIndex(-1);
    EXPECT_EQ(press(), QStringLiteral("\nPlease select list name."));
    window->Cancel_btn->click();
    return 0;
  });
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Alpha.txt"});
  EXPECT_EQ(bytesOf(QStringLiteral("Alpha")), QByteArray("a\n"));
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(Data_Folder_Path).absolutePath() + QStringLiteral("/Alpha.txt")));
}

// A sheet without rows gives nothing to write: a new, replaced or appended series stays
// as it was, and no question is asked.
TEST_F(SpreadsheetImportTest, MergedColumnsLeaveTheTargetFromASheetWithoutRows) {
  put(QStringLiteral("Alpha.txt"), "a\n");
  Import_Excel_DataSheet *window = seriesWindow();
  for (int choice : {0, 1, 2}) {
    SCOPED_TRACE(choice);
    EXPECT_EQ(run(window, workbook(QStringLiteral("import_columns")),
                  [&] {
                    tick(window, {Name});
                    chooseSheet(window, 1);
                    window->Fill_col_RD->click();
                    window->Fill_Type_CellClick(choice);
                    window->list_name->setText(QStringLiteral("Alpha"));
                    scripted.expectAlert();
                    window->OK_btn->click();
                    return 0;
                  }),
              1);
    EXPECT_EQ(scripted.alertTexts().last(), NoRowsText);
    EXPECT_EQ(bytesOf(QStringLiteral("Alpha")), QByteArray("a\n"));
  }
}
