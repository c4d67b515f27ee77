// Rows imported again under an open design, where a column cannot be found by its title
// alone: columns without a title (kept blank by earlier versions, or named by their place
// in the sheet), titles the new rows hold another number of times, and the barcode
// designer opened on a barcode whose column now holds other values. Through the import
// window, the saved files, the cards a batch makes and the designer's own controls.

#include "tests/dataseries/spreadsheet_import_fixture.h"
#include "tests/common/decoder_support.h"

#include "dataseries/BatchCardSource.h"
#include "designs/model/DesignLog.h"

#include "barcode/Barcode_Gen.h"

#include "canvas/QLNGraphicView.h"

#include "mainwindow/DrawWindow.h"
#include "profiles/model/User_Profile_Class.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace importtest;

namespace {

// What each object of `objects` shows.
QStringList shownTexts(const QLNGraphicList &objects) {
  QStringList texts;
  for (const QLNGraphicPtr &object : objects)
    texts << object->Text_contents()->string;
  return texts;
}

// A batch run's source over the rows held now.
std::shared_ptr<const BatchCardSource> batchRun(QLNWindowController *controller) {
  controller->Check_Series_Or_Excel_Use_or_not();
  return controller->batchCardSource();
}

// The front's texts on the card of row `row` of a batch run over the rows held now.
QStringList cardTexts(QLNWindowController *controller, int row) {
  const std::shared_ptr<const BatchCardSource> cards = batchRun(controller);
  return cards ? shownTexts(cards->cardObjects(row, false)) : QStringList();
}

// The value a batch run over the rows held now gives `object` on the card of row `row`.
std::optional<QString> boundValue(QLNWindowController *controller, const QLNGraphic &object, int row) {
  const std::shared_ptr<const BatchCardSource> cards = batchRun(controller);
  return cards ? cards->sources().valueFor(object, row) : std::nullopt;
}

}  // namespace

// Columns without a title are told apart by their order among such columns, whatever
// number their names carry. A design of an earlier version kept the blank titles of the
// sheet's columns B and C; opened now and the same columns imported again (named
// "Untitled Column 2" and "3" by their place in the sheet, where the design's grid knew
// them as its columns 1 and 2), every object and the saved file keep their columns.
TEST_F(SpreadsheetImportTest, BlankTitlesOfAnEarlierDesignKeepTheirColumnsWhenImportedAgain) {
  const QString sheet = ownWorkbook(QStringLiteral("blanks.xlsx"), {{"X", "", "", "City"},
                                                                    {"x1", "b1", "c1", "Oslo"},
                                                                    {"x2", "b2", "c2", "Rome"}});
  Data_From_Excel *grid = Data_From_Excel::defaultInstance();
  ImportedRowsTable earlier;
  earlier.setImportedColumns({QString(), QString(), QStringLiteral("City")});
  earlier.Create_List_By_Array({"b1", "c1", "Oslo"}, 3);
  earlier.Create_List_By_Array({"b2", "c2", "Rome"}, 3);
  grid->setTable(earlier);
  CARD_SIDE_STR = QStringLiteral("2");
  session->document()->setList(QLNDocumentGraphicsKey, {boundText("b1", 1), boundText("c1", 2)});
  session->document()->setList(QLNDocumentGraphicsKey_back, {boundText("c1", 2)});
  const QString design = root.path() + QStringLiteral("/Blanks.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  ASSERT_EQ(readDesignLogFile(design)->gridColumnTitles, (QStringList{"No.", "", "", "City"}));

  ASSERT_EQ(controller->Read_and_load_design_Log(design, QStringLiteral("L")), 1);
  const QLNGraphicList front = controller->Get_Front_Controls_Array();
  const QLNGraphicList back = controller->Get_Back_Controls_Array();
  ASSERT_EQ(front.size(), 2);
  ASSERT_EQ(back.size(), 1);
  importColumns(sheet, {1, 2, 3});
  EXPECT_EQ(scripted.alertTexts(), QStringList());
  ASSERT_EQ(grid->table().columnTitles(), (QStringList{"No.", "Untitled Column 2", "Untitled Column 3", "City"}));
  EXPECT_EQ(front.at(0)->excel_col_indx, 1);
  EXPECT_EQ(front.at(1)->excel_col_indx, 2);
  EXPECT_EQ(back.at(0)->excel_col_indx, 2);
  EXPECT_EQ(shownTexts(front), (QStringList{"b1", "c1"}));
  EXPECT_EQ(cardTexts(controller, 1), (QStringList{"b2", "c2"}));
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> saved = readDesignLogFile(design);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->frontObjects.value(0)->excel_col_indx, 1);
  EXPECT_EQ(saved->frontObjects.value(1)->excel_col_indx, 2);
  EXPECT_EQ(saved->backObjects.value(0)->excel_col_indx, 2);
}

// A titled column inserted in the sheet before two columns without a title: the second
// one's new name, "Untitled Column 3", was the first one's, yet every object keeps its
// own, on either side, for a profile field waiting with a column and for an object Undo
// brings back. Where the new rows hold another number of untitled columns, which one
// was meant cannot be told: the objects are typed by hand and the user is told.
TEST_F(SpreadsheetImportTest, AColumnInsertedBeforeUntitledOnesMovesNoObjectToAnother) {
  const QString sheet = ownWorkbook(QStringLiteral("blanks.xlsx"), {{"X", "", "", "City"},
                                                                    {"x1", "b1", "c1", "Oslo"},
                                                                    {"x2", "b2", "c2", "Rome"}});
  const QString inserted = ownWorkbook(QStringLiteral("inserted.xlsx"), {{"X", "Zip", "", "", "City"},
                                                                         {"x1", "z1", "b1", "c1", "Oslo"},
                                                                         {"x2", "z2", "b2", "c2", "Rome"}});
  const QString another = ownWorkbook(QStringLiteral("another.xlsx"), {{"X", "", "Zip", "", "", "City"},
                                                                       {"x1", "a1", "z1", "b1", "c1", "Oslo"}});
  importColumns(sheet, {0, 1, 2, 3});
  const QLNGraphicList front{boundText("b1", 2), boundText("c1", 3)};
  const QLNGraphicList back{boundText("c1", 3)};
  CARD_SIDE_STR = QStringLiteral("2");
  session->document()->insertIntoList(QLNDocumentGraphicsKey, front, {0, 1});
  session->document()->setList(QLNDocumentGraphicsKey_back, back);
  QCoreApplication::processEvents();
  User_Profile_Class &profile = controller->Front_user_profile;
  profile.setXl(User_Profile_Class::PhoneField, true);
  profile.setXlColumnIndex(User_Profile_Class::PhoneField, 3);
  profile.setPending(User_Profile_Class::PhoneField, true);

  // The second leaves the design first, and Undo brings it back after the import.
  controller->frontView()->changeSelectionIndexes({1});
  controller->Delete_Clicked(nullptr);
  QCoreApplication::processEvents();
  importColumns(inserted, {0, 1, 2, 3, 4});
  EXPECT_EQ(scripted.alertTexts(), QStringList());
  controller->Undo_Clicked(nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(scripted.alertTexts(), QStringList());
  ASSERT_EQ(session->document()->graphics(), front);
  EXPECT_EQ(front.at(0)->excel_col_indx, 3);
  EXPECT_EQ(front.at(1)->excel_col_indx, 4);
  EXPECT_EQ(back.at(0)->excel_col_indx, 4);
  EXPECT_EQ(profile.xlColumnIndex(User_Profile_Class::PhoneField), 4);
  EXPECT_EQ(shownTexts(front), (QStringList{"b1", "c1"}));
  EXPECT_EQ(shownTexts(back), QStringList{"c1"});
  EXPECT_EQ(cardTexts(controller, 1), (QStringList{"b2", "c2"}));

  // A third untitled column: which two of the three were meant cannot be told.
  importColumns(another, {0, 1, 2, 3, 4, 5}, true, true);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{"\nThe spreadsheet has 3 columns without a title where the rows before had 2: 'Text on "
                        "the front' is no longer bound to a column.\nThe spreadsheet has 3 columns without a title "
                        "where the rows before had 2: 'Text on the back' is no longer bound to a column.\nThe "
                        "spreadsheet has 3 columns without a title where the rows before had 2: 'Phone No.' is no "
                        "longer bound to a column."});
  for (const QLNGraphicPtr &object : front + back)
    EXPECT_EQ(object->data_source_type, 0);
  EXPECT_FALSE(profile.xl(User_Profile_Class::PhoneField));
  EXPECT_EQ(shownTexts(front), (QStringList{"b1", "c1"}));
}

// A title the new rows hold another number of times than the rows before: the n-th
// column of that title cannot be told among them, so the object is typed by hand with a
// word, never moved to another column of the title; a title they hold as often keeps
// the n-th on the n-th. Also for a copy pasted after the rows changed.
TEST_F(SpreadsheetImportTest, ATitleHeldAnotherNumberOfTimesTypesItsObjectsByHand) {
  const QString two = ownWorkbook(QStringLiteral("two.xlsx"), {{"Name", "Name", "City"},
                                                               {"Ann", "Lee", "Oslo"},
                                                               {"Bob", "Ray", "Rome"}});
  const QString one = ownWorkbook(QStringLiteral("one.xlsx"), {{"City", "Name"}, {"Oslo", "Ann"}, {"Rome", "Bob"}});
  importColumns(two, {0, 1, 2});
  const auto surname = boundText("Lee", 2);
  const auto given = boundBarcode(1);
  const auto city = boundText("Oslo", 3);
  session->document()->setList(QLNDocumentGraphicsKey, {surname, given, city});
  controller->frontView()->changeSelectionIndexes({0});
  controller->Copy_Clicked(nullptr);

  importColumns(one, {0, 1}, true, true);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{"\nThe spreadsheet has 1 column \"Name\" where the rows before had 2: 'Text on the front' "
                        "is no longer bound to a column.\nThe spreadsheet has 1 column \"Name\" where the rows "
                        "before had 2: 'Barcode on the front' is no longer bound to a column."});
  EXPECT_EQ(surname->data_source_type, 0);
  EXPECT_EQ(surname->Text_contents()->string, QStringLiteral("Lee"));
  EXPECT_EQ(given->data_source_type, 0);
  EXPECT_EQ(city->excel_col_indx, 1);
  EXPECT_EQ(boundValue(controller, *surname, 1), std::nullopt);
  EXPECT_EQ(boundValue(controller, *city, 1), QStringLiteral("Rome"));

  // The copy of the surname made under the first rows is told of in the same way.
  scripted.clear();
  controller->Paste_Clicked(nullptr);
  scripted.expectAlert();
  QCoreApplication::processEvents();
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{"\nThe spreadsheet has 1 column \"Name\" where the rows before had 2: 'Text on the front' "
                        "is no longer bound to a column."});
  EXPECT_EQ(session->document()->graphics().value(0)->data_source_type, 0);

  // Rows with the two names again, in another order: each keeps its own.
  const auto first = boundText("Ann", 0);
  const auto second = boundText("Lee", 0);
  importColumns(two, {0, 1, 2});
  first->excel_col_indx = 1;
  second->excel_col_indx = 2;
  session->document()->setList(QLNDocumentGraphicsKey, {first, second});
  importColumns(ownWorkbook(QStringLiteral("moved.xlsx"), {{"City", "Name", "Name"}, {"Oslo", "Ann", "Lee"}}),
                {0, 1, 2});
  EXPECT_EQ(first->excel_col_indx, 2);
  EXPECT_EQ(second->excel_col_indx, 3);
}

// The barcode designer opened on a barcode bound to a column after other rows came in
// shows and draws the column's first value of the rows held now, so OK without a change
// leaves the card as it shows: a Code 128 and a QR code bound in the designer, a
// refreshed workbook imported, each opened and OK pressed; the saved file, and after an
// Undo that brings one back under other rows.
TEST_F(SpreadsheetImportTest, TheBarcodeDesignerShowsTheFirstValueOfTheRowsHeldNow) {
  const QString people =
      ownWorkbook(QStringLiteral("people.xlsx"), {{"Ann Lee", "Oslo", "111111"}, {"Bob Ray", "Rome", "222222"}});
  const QString refreshed =
      ownWorkbook(QStringLiteral("refreshed.xlsx"), {{"Di Vo", "Paris", "444444"}, {"Ed Poe", "Lima", "555555"}});
  importColumns(people, {0, 1, 2}, false);
  auto code = std::make_shared<QLNBarcode>();
  code->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("Code 128")));
  code->linear_height_val = 1.5f;
  code->linear_width_val = 20;
  code->setBounds(QRectF(10, 10, 160, 70));
  auto qr = std::make_shared<QLNBarcode>();
  qr->linear_or_2d = 1;
  qr->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("QR Code")));
  qr->qr_size_val = 90;
  qr->setBounds(QRectF(200, 10, 90, 90));
  session->document()->setList(QLNDocumentGraphicsKey, {code, qr});
  controller->installBarcodeCommands();
  Barcode_Gen *designer = Barcode_Gen::sharedInstance();
  QLNGraphicView *front = controller->frontView();

  // Opens the designer on object `at` of the front; `inside` runs in it before OK.
  auto openAndPressOK = [&](int at, const std::function<void()> &inside) {
    front->changeSelectionIndexes({at});
    front->setSelected_Graphic(session->document()->graphics().at(at));
    scripted.answerModal([&](QDialog *dialog) {
      inside();
      designer->ok_btn->click();
      return dialog->result();
    });
    controller->ui->Barcode_Edit_btn->click();
  };
  auto shownCode = [&] { return decodeWithZXing(code->_barcode_image.pixels, QStringLiteral("Code128")).texts; };
  auto shownQr = [&] { return decodeWithZXing(qr->_barcode_image.pixels, QStringLiteral("QRCode")).texts; };
  auto bindTo = [&](int column) {
    return [designer, column] {
      designer->Data_source_type->setCurrentIndex(2);
      designer->Batch_Series->setCurrentIndex(column);
    };
  };
  openAndPressOK(0, bindTo(3));
  openAndPressOK(1, bindTo(1));
  ASSERT_EQ(code->excel_col_indx, 3);
  ASSERT_EQ(qr->excel_col_indx, 1);
  EXPECT_EQ(code->linear_font_val, QStringLiteral("111111"));
  EXPECT_EQ(shownQr(), QStringList{"Ann Lee"});

  importColumns(refreshed, {0, 1, 2}, false);
  EXPECT_EQ(shownCode(), QStringList{"444444"});
  EXPECT_EQ(shownQr(), QStringList{"Di Vo"});

  openAndPressOK(0, [&] {
    EXPECT_EQ(designer->dataText->text(), QStringLiteral("444444"));
    EXPECT_EQ(decodeWithZXing(designer->previewImage().toImage(300).pixels, QStringLiteral("Code128")).texts,
              QStringList{"444444"});
  });
  openAndPressOK(1, [&] { EXPECT_EQ(designer->dataText_2D->toPlainText(), QStringLiteral("Di Vo")); });
  EXPECT_EQ(shownCode(), QStringList{"444444"});
  EXPECT_EQ(shownQr(), QStringList{"Di Vo"});
  const QString design = root.path() + QStringLiteral("/Codes.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const std::optional<DesignLogContents> saved = readDesignLogFile(design);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->frontObjects.value(0)->linear_font_val, QStringLiteral("444444"));
  EXPECT_EQ(saved->frontObjects.value(1)->two_d_font_val, QStringLiteral("Di Vo"));

  // Deleted, the first rows back, and Undo: the code is on its column there.
  QCoreApplication::processEvents();  // the undo group of the last edit ends
  front->changeSelectionIndexes({0});
  controller->Delete_Clicked(nullptr);
  QCoreApplication::processEvents();
  importColumns(people, {0, 1, 2}, false);
  controller->Undo_Clicked(nullptr);
  QCoreApplication::processEvents();
  ASSERT_EQ(session->document()->graphics().value(0), code);
  openAndPressOK(0, [&] { EXPECT_EQ(designer->dataText->text(), QStringLiteral("111111")); });
  EXPECT_EQ(shownCode(), QStringList{"111111"});
  EXPECT_EQ(boundValue(controller, *code, 1), QStringLiteral("222222"));
}
