// The batch binding as output runs use it: which sources the card uses, how many cards
// a run makes, card n's values on copies of the design, row 0 back on the front after
// the run, and the property panel's services.

#include "tests/mainwindow/main_window_fixture.h"

#include "dataseries/BatchCardSource.h"
#include "dataseries/Data_From_Excel.h"
#include "dataseries/model/SeriesStore.h"

#include "barcode/BarcodeProduction.h"
#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNText.h"
#include "core/Long_SMS_Dlg.h"
#include "mainwindow/DrawWindow.h"
#include "tests/common/decoder_support.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include <thread>

namespace {

class BatchBindingTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
  }

  void writeSeries(const QString &name, const QStringList &values) {
    ASSERT_TRUE(SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                                   SeriesStore::WriteMode::Replace));
  }
  void setRows(const QStringList &columns, const QList<QStringList> &rows) {
    ImportedRowsTable table;
    table.setImportedColumns(columns);
    for (const QStringList &row : rows)
      table.Create_List_By_Array(row, int(columns.size()));
    Data_From_Excel::defaultInstance()->setTable(table);
  }
  static std::shared_ptr<QLNText> text(const QString &value, int source = 0, const QString &series = QString(),
                                       int column = 0) {
    auto object = std::make_shared<QLNText>();
    object->setBounds(QRectF(10, 10, 120, 30));
    replaceCharacters(*object->Text_contents(), value);
    object->data_source_type = source;
    object->batch_list_name = series;
    object->excel_col_indx = column;
    return object;
  }
  void setSides(const QLNGraphicList &front, const QLNGraphicList &back = {}) {
    session->document()->setList(QLNDocumentGraphicsKey, front);
    session->document()->setList(QLNDocumentGraphicsKey_back, back);
  }
  static QString textOf(const QLNGraphicPtr &graphic) { return graphic->Text_contents()->string; }
  // Card `row`'s text values of a side, in list order.
  QStringList cardTexts(int row, bool back = false) {
    const auto run = controller->batchCardSource();
    QStringList texts;
    for (const QLNGraphicPtr &graphic : run->cardObjects(row, back))
      if (graphic->className() == QLatin1String("QLNText"))
        texts << textOf(graphic);
    return texts;
  }

  QLNWindowController *controller = nullptr;
};

TEST_F(BatchBindingTest, TheLongerSourceInUseSetsTheCardCountAndShortSourcesGiveEmptyValues) {
  writeSeries(QStringLiteral("Names"), {"Ann", "Bob", "Cy"});
  setRows({QStringLiteral("City")}, {{"Leeds"}, {"York"}, {"Hull"}, {"Bath"}, {"Ely"}});
  auto byName = text(QStringLiteral("design"), 1, QStringLiteral("Names"));
  auto byColumn = text(QStringLiteral("town"), 2, QString(), 1);
  setSides({byName, byColumn});

  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Use_Data_Sheet_Values.load(), 1);
  EXPECT_EQ(Use_Excel_Binding_Values.load(), 1);
  EXPECT_EQ(Data_table_rows.load(), 3);
  EXPECT_EQ(Excel_table_rows.load(), 5);
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 5);
  EXPECT_EQ(cardTexts(1), (QStringList{"Bob", "York"}));
  EXPECT_EQ(cardTexts(4), (QStringList{"", "Ely"}));

  // The user clears the spreadsheet box: 3 cards, the column-bound text keeps its value.
  Use_Excel_Binding_Values = 0;
  controller->Get_total_Card_count();
  EXPECT_EQ(Excel_table_rows.load(), 0);
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 3);
  EXPECT_EQ(cardTexts(2), (QStringList{"Cy", "town"}));

  // Column 0 is the row number.
  byColumn->excel_col_indx = 0;
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(cardTexts(2), (QStringList{"Cy", "3"}));
  // A column beyond the imported ones is empty on every card.
  byColumn->excel_col_indx = 7;
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(cardTexts(0), (QStringList{"Ann", ""}));
  // The design itself never changed.
  EXPECT_EQ(textOf(byName), QStringLiteral("design"));
  EXPECT_EQ(textOf(byColumn), QStringLiteral("town"));
}

// Columns imported from a spreadsheet keep their empty cells as empty lines: each value
// stays on the card of its row, the first row's empty cell included, and a name stays
// paired with the code of its own row.
TEST_F(BatchBindingTest, AnEmptyCellIsARowWhereverItStands) {
  writeSeries(QStringLiteral("Names"), {"", "Alice Smith", "Bob Jones"});
  writeSeries(QStringLiteral("Codes"), {"C-1", "", "C-3"});
  auto name = text(QString(), 1, QStringLiteral("Names"));
  setSides({name, text(QStringLiteral("code"), 1, QStringLiteral("Codes"))});
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 3);
  EXPECT_EQ(cardTexts(0), (QStringList{"", "C-1"}));
  EXPECT_EQ(cardTexts(1), (QStringList{"Alice Smith", ""}));
  EXPECT_EQ(cardTexts(2), (QStringList{"Bob Jones", "C-3"}));
  controller->Select_first_row_value_for_design(false);
  EXPECT_EQ(textOf(name), QString());
}

TEST_F(BatchBindingTest, SourcesWithoutRowsAndBackObjectsOfAOneSidedCardDoNotCount) {
  // A back object bound while the card is one-sided is not seen.
  writeSeries(QStringLiteral("Back"), {"1", "2"});
  CARD_SIDE_STR = QStringLiteral("1");
  setSides({text(QStringLiteral("plain"))}, {text(QStringLiteral("b"), 1, QStringLiteral("Back"))});
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Use_Data_Sheet_Values.load(), 0);
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 0);
  CARD_SIDE_STR = QStringLiteral("2");
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 2);

  // An empty series file is one card with an empty value.
  writeSeries(QStringLiteral("Empty"), {});
  setSides({text(QStringLiteral("x"), 1, QStringLiteral("Empty"))});
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Use_Data_Sheet_Values.load(), 1);
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 1);
  EXPECT_EQ(cardTexts(0), QStringList{""});

  // A series deleted after binding, and spreadsheet binding without rows: no batch.
  setSides({text(QStringLiteral("x"), 1, QStringLiteral("Gone")), text(QStringLiteral("y"), 2, QString(), 1)});
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Use_Data_Sheet_Values.load(), 0);
  EXPECT_EQ(Use_Excel_Binding_Values.load(), 0);
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 0);

  // Only texts, images and barcodes take part: a bound line is skipped.
  auto line = std::make_shared<QLNLine>();
  line->data_source_type = 1;
  line->batch_list_name = QStringLiteral("Back");
  setSides({line});
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Use_Data_Sheet_Values.load(), 0);
}

TEST_F(BatchBindingTest, ASeriesIsReadByItsNameWhateverItsPlaceInTheListing) {
  writeSeries(QStringLiteral("B-Names"), {"Ann", "Bob"});
  writeSeries(QStringLiteral("C-Towns"), {"Leeds", "York"});
  // Both objects were bound when each series stood at place 0 of the listing.
  auto names = text(QStringLiteral("n"), 1, QStringLiteral("B-Names"));
  auto towns = text(QStringLiteral("t"), 1, QStringLiteral("C-Towns"));
  names->batch_list_index = 0;
  towns->batch_list_index = 0;
  setSides({names, towns});
  // A series added before them shifts the listing.
  writeSeries(QStringLiteral("A-First"), {"zzz"});
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(cardTexts(1), (QStringList{"Bob", "York"}));
  EXPECT_EQ(controller->Get_sel_row_col_value_of_dataset(0, QStringLiteral("C-Towns")), QStringLiteral("Leeds"));
  EXPECT_EQ(controller->Get_sel_row_col_value_of_dataset(5, QStringLiteral("C-Towns")), QString());
  EXPECT_EQ(controller->Get_sel_row_col_value_of_dataset(0, QStringLiteral("A-First")), QString()) << "not bound";
  // The in-use test names the bound series only.
  EXPECT_TRUE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("C-Towns")));
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("A-First")));
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("../DataSet/C-Towns")));
}

TEST_F(BatchBindingTest, ImagesTakeThePictureTheirValueNamesAndARunLeavesTheDesignAsItFoundIt) {
  const QString wide = root.filePath(QStringLiteral("wide.png"));
  const QString tall = root.filePath(QStringLiteral("tall.png"));
  QImage(30, 10, QImage::Format_ARGB32).save(wide);
  QImage(10, 30, QImage::Format_ARGB32).save(tall);
  writeSeries(QStringLiteral("Pictures"), {wide, tall, root.filePath(QStringLiteral("missing.png"))});
  writeSeries(QStringLiteral("Names"), {"Ann", "Bob", "Cy"});
  auto image = std::make_shared<QLNImage>();
  image->setBounds(QRectF(0, 0, 40, 40));
  image->data_source_type = 1;
  image->batch_list_name = QStringLiteral("Pictures");
  auto front = text(QStringLiteral("front design"), 1, QStringLiteral("Names"));
  auto back = text(QStringLiteral("back design"), 1, QStringLiteral("Names"));
  setSides({front, image}, {back});

  controller->Check_Series_Or_Excel_Use_or_not();
  const auto run = controller->batchCardSource();
  ASSERT_EQ(run->cardCount(), 3);
  auto pictureSize = [&](int row) {
    for (const QLNGraphicPtr &graphic : run->cardObjects(row, false))
      if (auto copy = std::dynamic_pointer_cast<QLNImage>(graphic))
        return copy->_contents.pixels.size();
    return QSize(-1, -1);
  };
  EXPECT_EQ(pictureSize(0), QSize(30, 10));
  EXPECT_EQ(pictureSize(1), QSize(10, 30));
  EXPECT_TRUE(pictureSize(2).isEmpty()) << "a path naming no picture leaves the card without one";
  EXPECT_EQ(cardTexts(2, true), QStringList{"Cy"});
  // Whole cards of both sides, as an output run asks for them.
  for (int row = 0; row < 3; ++row)
    for (const QString &side : {QStringLiteral("B"), QStringLiteral("F")})
      EXPECT_FALSE(controller->Set_data_table_value_to_card(row, side, false).isNull());

  // During and after the run the design's objects are untouched: the end of the run
  // puts no row on them.
  EXPECT_EQ(textOf(front), QStringLiteral("front design"));
  EXPECT_TRUE(image->_contents.isNull());
  Card_Value_In_Process = true;
  controller->Select_first_row_value_for_design(false);
  EXPECT_FALSE(Card_Value_In_Process.load());
  EXPECT_EQ(textOf(front), QStringLiteral("front design"));
  EXPECT_TRUE(image->_contents.isNull());
  EXPECT_EQ(image->bounds(), QRectF(0, 0, 40, 40));
  EXPECT_EQ(textOf(back), QStringLiteral("back design"));
}

TEST_F(BatchBindingTest, EveryBoundBarcodeDecodesToItsOwnRowInItsOwnSymbology) {
  writeSeries(QStringLiteral("Codes"), {"AMENDS-001", "AMENDS-002", "AMENDS-003", "AMENDS-004"});
  writeSeries(QStringLiteral("Numbers"), {"1001", "1002", "1003"});
  auto qr = std::make_shared<QLNBarcode>();
  qr->linear_or_2d = 1;
  qr->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("QR Code")));
  qr->qr_size_val = 90;
  qr->setBounds(QRectF(5, 5, 90, 90));
  qr->data_source_type = 1;
  qr->batch_list_name = QStringLiteral("Codes");
  auto linear = std::make_shared<QLNBarcode>();
  linear->linear_or_2d = 0;
  linear->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("Code 128")));
  linear->linear_height_val = 1.5f;
  linear->linear_width_val = 20;
  linear->setBounds(QRectF(110, 5, 120, 60));
  linear->data_source_type = 1;
  linear->batch_list_name = QStringLiteral("Numbers");
  controller->SetDocumentCanvasSize(QSizeF(400, 200));
  setSides({qr, linear});

  controller->Check_Series_Or_Excel_Use_or_not();
  const auto run = controller->batchCardSource();
  ASSERT_EQ(run->cardCount(), 4);
  // Card 4 has no number: its Code 128 shows nothing (not the designer's sample), the
  // QR code its code.
  const QLNGraphicList fourth = run->cardObjects(3, false);
  ASSERT_EQ(fourth.size(), 2);
  EXPECT_TRUE(fourth.at(0)->ctrl_is_visible);
  EXPECT_FALSE(fourth.at(0)->_barcode_image.isNull());
  EXPECT_FALSE(fourth.at(1)->ctrl_is_visible);
  for (int row : {0, 2}) {
    QString failure;
    const CardPicture card = run->Set_data_table_value_to_card(row, QStringLiteral("F"), false, &failure);
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    const QImage pixels = card.toImage(300).pixels;
    const DecodeResult decoded = decodeWithZXing(pixels);
    ASSERT_TRUE(decoded.ran) << decoded.error.toStdString();
    QStringList texts = decoded.texts;
    texts.sort();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("100%1").arg(row + 1), QStringLiteral("AMENDS-00%1").arg(row + 1)}));
    EXPECT_TRUE(decoded.formats.contains(QStringLiteral("QRCode"))) << decoded.formats.join(',').toStdString();
    EXPECT_TRUE(decoded.formats.contains(QStringLiteral("Code128"))) << decoded.formats.join(',').toStdString();
    // A second reader agrees.
    QStringList zbar = decodeWithZbar(pixels).texts;
    zbar.sort();
    EXPECT_EQ(zbar, texts);
  }
}

TEST_F(BatchBindingTest, BoundPdf417CardsReadBackAsTheirOwnRow) {
  QString longValue;
  for (int i = 0; longValue.size() < 400; ++i)
    longValue += QStringLiteral("Row %1: we are sorry for the delay. ").arg(i);
  longValue = longValue.trimmed();  // series values keep no trailing blanks
  const QStringList values = {QStringLiteral("Apology card #17, batch A"), QStringLiteral("000123456789012345"),
                              QStringLiteral("Caf\u00e9 cr\u00e8me \u2014 \u5bf9\u4e0d\u8d77"), longValue};
  writeSeries(QStringLiteral("Pdf"), values);
  auto pdf = std::make_shared<QLNBarcode>();
  pdf->linear_or_2d = 1;
  pdf->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("PDF417")));
  pdf->pdf_wdt_val = 300;
  pdf->pdf_hgt_val = 120;
  pdf->pdf_ec_val = 5;
  pdf->setBounds(QRectF(10, 10, 300, 160));
  pdf->data_source_type = 1;
  pdf->batch_list_name = QStringLiteral("Pdf");
  controller->SetDocumentCanvasSize(QSizeF(360, 220));
  setSides({pdf});

  controller->Check_Series_Or_Excel_Use_or_not();
  const auto run = controller->batchCardSource();
  ASSERT_EQ(run->cardCount(), int(values.size()));
  for (int row = 0; row < int(values.size()); ++row) {
    QString failure;
    const CardPicture card = run->Set_data_table_value_to_card(row, QStringLiteral("F"), false, &failure);
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    const DecodeResult decoded = decodeWithZXing(card.toImage(300).pixels, QStringLiteral("PDF417"));
    ASSERT_TRUE(decoded.ran) << decoded.error.toStdString();
    EXPECT_EQ(decoded.texts, QStringList{values[row]}) << row;
  }
}

TEST_F(BatchBindingTest, CardsMadeOnSeveralWorkerThreadsMatchCardsMadeOneByOne) {
  QStringList names;
  for (int i = 0; i < 12; ++i)
    names << QStringLiteral("Guest %1").arg(i);
  writeSeries(QStringLiteral("Guests"), names);
  writeSeries(QStringLiteral("Codes"), names);
  auto qr = std::make_shared<QLNBarcode>();
  qr->linear_or_2d = 1;
  qr->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("QR Code")));
  qr->setBounds(QRectF(150, 20, 60, 60));
  qr->data_source_type = 1;
  qr->batch_list_name = QStringLiteral("Codes");
  setSides({text(QStringLiteral("x"), 1, QStringLiteral("Guests")), qr});
  controller->Check_Series_Or_Excel_Use_or_not();
  const auto run = controller->batchCardSource();
  ASSERT_EQ(run->cardCount(), 12);

  std::vector<QImage> oneByOne;
  for (int row = 0; row < 12; ++row)
    oneByOne.push_back(run->Set_data_table_value_to_card(row, QStringLiteral("F"), false).toImage(144).pixels);

  std::vector<QImage> parallel(12);
  std::vector<std::thread> workers;
  for (int worker = 0; worker < 4; ++worker)
    workers.emplace_back([&, worker] {
      for (int row = worker; row < 12; row += 4)
        parallel[row] = run->Set_data_table_value_to_card(row, QStringLiteral("F"), false).toImage(144).pixels;
    });
  for (std::thread &worker : workers)
    worker.join();
  for (int row = 0; row < 12; ++row) {
    ASSERT_FALSE(oneByOne[row].isNull());
    EXPECT_EQ(parallel[row], oneByOne[row]) << "card " << row + 1;
  }
  EXPECT_NE(oneByOne[0], oneByOne[1]);
}

TEST(BatchRunFailuresWorker, FailuresFromSeveralThreadsAreReportedOnceInCardOrder) {
  BatchRunFailures failures;
  std::vector<std::thread> workers;
  for (int worker = 0; worker < 3; ++worker)
    workers.emplace_back([&, worker] {
      for (int card = 30 - worker; card >= 0; card -= 3)
        failures.add(card, QStringLiteral("bad %1").arg(card));
    });
  for (std::thread &worker : workers)
    worker.join();
  EXPECT_EQ(failures.count(), 31);
  const QStringList lines = failures.message().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 1 + BatchRunFailures::MaxListed + 1);
  EXPECT_EQ(lines.at(0), QStringLiteral("Some cards could not be made:"));
  EXPECT_EQ(lines.at(1), QStringLiteral("Card 1: bad 0"));
  EXPECT_EQ(lines.at(20), QStringLiteral("Card 20: bad 19"));
  EXPECT_EQ(lines.last(), QStringLiteral("... and 11 more."));
  EXPECT_EQ(BatchRunFailures().message(), QString());
}

// ---- The property panel's services --------------------------------------------------------------

TEST_F(BatchBindingTest, TheExcelItemFollowsTheImportedRowsAndTheButtonsOpenTheirWindows) {
  QComboBox *source = controller->ui->Data_source_type;
  EXPECT_EQ(source->count(), 2);
  controller->Remove_Excel_Col_Name_In_Combo(source);
  EXPECT_EQ(source->count(), 2);
  setRows({QStringLiteral("Name"), QStringLiteral("City")}, {{"Ann", "Leeds"}});
  controller->Update_Excel_Item_In_Data_Source();
  ASSERT_EQ(source->count(), 3);
  EXPECT_EQ(source->itemText(2), QStringLiteral("Excel"));
  controller->Add_Excel_Col_Name_In_Combo(source);
  EXPECT_EQ(source->count(), 3);
  EXPECT_EQ(controller->Get_First_Value_Of_Excel_Binding(2), QStringLiteral("Leeds"));
  EXPECT_EQ(controller->Get_First_Value_Of_Excel_Binding(0), QStringLiteral("1"));

  // The view button: a series must be chosen; a spreadsheet column shows the grid with
  // its counts (the row-number column counted).
  writeSeries(QStringLiteral("Guests"), {"Ann"});
  source->setCurrentIndex(1);
  controller->ui->Batch_Series->setCurrentIndex(-1);
  scripted.expectAlert();
  controller->View_batch_Series_Button();
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nPlease select the series."));
  source->setCurrentIndex(2);
  Data_From_Excel *grid = Data_From_Excel::defaultInstance();
  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(dialog, grid->window());
    EXPECT_EQ(grid->rows_count->text(), QStringLiteral("1"));
    EXPECT_EQ(grid->column_count->text(), QStringLiteral("3"));
    EXPECT_EQ(grid->ColList->model()->data(grid->ColList->model()->index(0, 2)).toString(), QStringLiteral("Leeds"));
    grid->OK_btn->click();
    return 0;
  });
  controller->ui->view_series_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);

  // The help button shows the data-source help in the message dialog.
  scripted.answerModal(1);
  controller->ui->data_source_help_btn->click();
  EXPECT_EQ(Cutom_Msg_Title, QStringLiteral("Batch Processing Settings Help :"));
  EXPECT_TRUE(Cutom_Msg_Val.startsWith(QStringLiteral("Select Data Source as 'Manual'")));

  // A new project keeps the imported rows.
  setRows({QStringLiteral("Name")}, {{"Ann"}, {"Bob"}});
  controller->New_Project_Setting_Reset();
  EXPECT_EQ(Data_From_Excel::defaultInstance()->table().rowCount(), 2);
}

}  // namespace
