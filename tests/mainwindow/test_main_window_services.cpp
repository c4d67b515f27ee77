// Services of the main window controller: raising an image's resolution and saving it
// as PNG, folder and series listings, the series-in-use test, path checks, the size
// list table, the side lists, the export-finished box, the sheets (also from a worker
// thread) and the spreadsheet reader's temporary folder.

#include "tests/mainwindow/main_window_fixture.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include "mainwindow/DrawWindow.h"

#include "core/QLNBarcode.h"
#include "core/QLNDocument.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "platform/Images.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QTableView>

#include <atomic>
#include <thread>

namespace {

void writeFile(const QString &path, const QByteArray &bytes = "x") {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

PointImage cardImage(QSizeF points = QSizeF(243, 154)) {
  QImage pixels(int(points.width()), int(points.height()), QImage::Format_ARGB32);
  pixels.fill(Qt::white);
  // A 2 by 2 point black square at the top left shows where the picture went.
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      pixels.setPixelColor(x, y, Qt::black);
  return PointImage{pixels, points};
}

}  // namespace

TEST_F(MainWindowTest, RaisedResolutionAndPngWhateverTheExtension) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);

  const PointImage raised = QLNWindowController::Increase_DPI(cardImage(), 300);
  ASSERT_FALSE(raised.isNull());
  EXPECT_EQ(raised.pixels.size(), QSize(1013, 642));
  EXPECT_EQ(raised.points, QSizeF(243, 154));
  // Drawn without interpolation: the black square is a sharp 8 by 8 block.
  EXPECT_EQ(raised.pixels.pixelColor(7, 7), QColor(Qt::black));
  EXPECT_EQ(raised.pixels.pixelColor(9, 9), QColor(Qt::white));
  EXPECT_EQ(QLNWindowController::Increase_DPI(cardImage(QSizeF(10.5, 3)), 72).pixels.size(), QSize(11, 3));
  {
    ScopedLogCapture log;
    EXPECT_TRUE(QLNWindowController::Increase_DPI(PointImage(), 300).isNull());
    EXPECT_TRUE(log.lines().contains(QStringLiteral("Invalid image")));
  }

  // "card.jpg" holds PNG data of 1013 by 642 pixels at 300 dots per inch; an older file
  // of that name is replaced.
  const QString path = root.path() + QStringLiteral("/card.jpg");
  writeFile(path, "old contents");
  EXPECT_TRUE(controller->Save_gen_image(raised, path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8));
  file.close();
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  EXPECT_EQ(reader.format(), QByteArray("png"));
  const QImage written = reader.read();
  EXPECT_EQ(written.size(), QSize(1013, 642));
  EXPECT_NEAR(statedDpi(written), 300.0, 0.5);
  const PointImage reread = PointImage::load(path);
  EXPECT_NEAR(reread.points.width(), 243.0, 0.2);
  EXPECT_NEAR(reread.points.height(), 154.0, 0.2);
  EXPECT_TRUE(scripted.requests().empty());
}

TEST_F(MainWindowTest, FailedPngWriteSaysWhereAndWhyAndReportsIt) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  const QString path = root.path() + QStringLiteral("/missing/card.png");
  scripted.expectAlert();
  scripted.expectAlert();
  EXPECT_FALSE(controller->Save_gen_image(cardImage(), path));
  const QStringList texts = scripted.alertTexts();
  ASSERT_EQ(texts.size(), 2);
  EXPECT_EQ(texts.at(0), QStringLiteral("\n") + path);
  EXPECT_FALSE(texts.at(1).trimmed().isEmpty());
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(MainWindowTest, FolderListingsAreSortedNamesOfFilesWithoutExtensions) {
  EXPECT_TRUE(QLNWindowController::Get_Files_Array_At_Path(root.path() + QStringLiteral("/nothing")).isEmpty());
  EXPECT_TRUE(QLNWindowController::Get_Files_Array_At_Path(QString()).isEmpty());
  const QString folder = root.path() + QStringLiteral("/list");
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/sub.txt")));
  for (const char *name : {"zebra.png", "Apple.png", "photo.v2.jpg", ".hidden", "item10.txt", "item9.txt", "noext"})
    writeFile(folder + QLatin1Char('/') + QLatin1String(name));
  writeFile(root.path() + QStringLiteral("/plain.txt"));
  EXPECT_TRUE(QLNWindowController::Get_Files_Array_At_Path(root.path() + QStringLiteral("/plain.txt")).isEmpty());

  const QStringList names = QLNWindowController::Get_Files_Array_At_Path(folder);
  EXPECT_EQ(names.size(), 7);
  EXPECT_TRUE(names.contains(QStringLiteral(".hidden")));
  QStringList visible = names;
  visible.removeAll(QStringLiteral(".hidden"));
  EXPECT_EQ(visible, (QStringList{"Apple", "item9", "item10", "noext", "photo.v2", "zebra"}));

  // The saved series are the listing of the data folder.
  ASSERT_NE(startSession(), nullptr);
  writeFile(Data_Folder_Path + QStringLiteral("/Names.txt"), "Ann\nBob\n");
  writeFile(Data_Folder_Path + QStringLiteral("/Cities.txt"), "Oslo\n");
  EXPECT_EQ(QLNWindowController::Get_datasheet_File_Name_Array(), (QStringList{"Cities", "Names"}));
}

TEST_F(MainWindowTest, SeriesInUseOnlyWhenItsFileExistsAndASideBindsIt) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  QLNDocument *document = session->document();
  writeFile(Data_Folder_Path + QStringLiteral("/Names.txt"), "Ann\n");

  auto bound = [](QLNGraphicPtr graphic) {
    graphic->data_source_type = 1;
    graphic->batch_list_name = QStringLiteral("Names");
    return graphic;
  };
  // A shape naming the series does not count: only texts, images and barcodes do.
  document->insertGraphics({bound(std::make_shared<Shape_Control>())}, {0});
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
  // A text on the back counts only on a two-sided card.
  document->insertIntoList(QLNDocumentGraphicsKey_back, {bound(std::make_shared<QLNText>())}, {0});
  CARD_SIDE_STR = QStringLiteral("1");
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
  CARD_SIDE_STR = QStringLiteral("2");
  EXPECT_TRUE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
  // A front image or barcode counts whatever the sides.
  CARD_SIDE_STR = QStringLiteral("1");
  document->insertGraphics({bound(std::make_shared<QLNBarcode>())}, {0});
  EXPECT_TRUE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
  // Another name, a manual source, a deleted file or a name that is no file name: NO.
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("Cities")));
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("../DataSet/Names")));
  document->graphics().first()->data_source_type = 0;
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
  document->graphics().first()->data_source_type = 1;
  ASSERT_TRUE(QFile::remove(Data_Folder_Path + QStringLiteral("/Names.txt")));
  EXPECT_FALSE(controller->Check_Batch_File_In_Use_Validation(QStringLiteral("Names")));
}

TEST_F(MainWindowTest, PathChecksAndUrls) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  const QString file = root.path() + QStringLiteral("/sheet.xlsx");
  writeFile(file);
  EXPECT_EQ(controller->Check_And_Validate_File_Path(QStringLiteral("  ") + file + QStringLiteral("\n")), 0);
  EXPECT_EQ(controller->Check_And_Validate_File_Path(root.path()), 0);
  scripted.expectAlert();
  EXPECT_EQ(controller->Check_And_Validate_File_Path(QStringLiteral("   ")), 1);
  scripted.expectAlert();
  EXPECT_EQ(controller->Check_And_Validate_File_Path(root.path() + QStringLiteral("/gone.xlsx")), 1);
  EXPECT_EQ(scripted.alertTexts(), (QStringList{"\nPlease select valid file path.", "\nPlease select valid file path."}));
  EXPECT_EQ(QLNWindowController::Convert_Path_From_URL(QUrl::fromLocalFile(QStringLiteral("/tmp/a b/c.png"))),
            QStringLiteral("/tmp/a b/c.png"));
}

TEST_F(MainWindowTest, SizeListTable) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  QTableView *table = controller->ui->ColList;
  // Start with an empty list (the start-up filled it with the PVC sizes).
  controller->ListData.clear();
  controller->reloadColList();
  controller->Create_List(QStringLiteral("   "));
  EXPECT_EQ(controller->numberOfRowsInTableView(table), 0);
  controller->Create_List(QStringLiteral("  CR79 \n"));
  controller->Create_List(QStringLiteral("CR80-Credit Card Size"));
  EXPECT_EQ(controller->numberOfRowsInTableView(table), 2);
  EXPECT_EQ(controller->numberOfRowsInTableView(controller->ui->window), 0);
  EXPECT_EQ(controller->Get_Item_Text(0), QStringLiteral("CR79"));
  {
    ScopedLogCapture log;
    EXPECT_EQ(controller->Get_Item_Text(2), QString());
    EXPECT_EQ(controller->Get_Item_Text(-1), QString());
    EXPECT_EQ(log.lines().size(), 2);
  }
  EXPECT_EQ(controller->tableView_objectValueForTableColumn_row(table, QStringLiteral("Extension"), 1).toString(),
            QStringLiteral("CR80-Credit Card Size"));
  controller->tableView_setObjectValue_forTableColumn_row(table, QStringLiteral("CR90"), QStringLiteral("Extension"), 1);
  EXPECT_EQ(controller->Get_Item_Text(1), QStringLiteral("CR90"));
  {
    ScopedLogCapture log;
    controller->tableView_setObjectValue_forTableColumn_row(table, QStringLiteral("X"), QStringLiteral("Extension"), 5);
    EXPECT_EQ(log.lines().size(), 1);
  }
  EXPECT_EQ(controller->ListData.size(), 2);

  controller->reloadColList();
  controller->Mark_List_New_Selection(1);
  const QModelIndexList selected = table->selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected.first().row(), 1);
  EXPECT_EQ(selected.first().data().toString(), QStringLiteral("CR90"));
}

TEST_F(MainWindowTest, SideListsAndCounts) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  QLNDocument *document = session->document();
  auto a = std::make_shared<QLNText>();
  auto b = std::make_shared<QLNImage>();
  document->insertGraphics({a, b}, {0, 1});
  document->insertIntoList(QLNDocumentGraphicsKey_back, {std::make_shared<Shape_Control>()}, {0});
  document->insertIntoList(QLNDocumentGraphicsKey_temp, {a}, {0});
  EXPECT_EQ(controller->Get_Front_Control_Count(), 2);
  EXPECT_EQ(controller->Get_Back_Control_Count(), 1);
  EXPECT_EQ(controller->Get_Temp_Control_Count(), 1);
  EXPECT_EQ(controller->Get_Front_Controls_Array().first(), a);
  // The temp list comes as a snapshot: later changes of the side do not reach it.
  const QLNGraphicList snapshot = controller->Get_Temp_Controls_Array();
  document->insertIntoList(QLNDocumentGraphicsKey_temp, {b}, {1});
  EXPECT_EQ(snapshot.size(), 1);
  EXPECT_EQ(controller->Get_Temp_Control_Count(), 2);
}

TEST_F(MainWindowTest, ExportFinishedBoxShowsThePathAndTheRightChoice) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  Export_File_Path = root.path();
  Export_File_Message = QStringLiteral("12 cards exported.");
  QString shownTitle;
  scripted.answerModal([&](QDialog *dialog) {
    shownTitle = controller->ui->_open_log_chk->text();
    return ModalOK;
  });
  controller->Open_Export_File_Box();
  EXPECT_EQ(shownTitle, QStringLiteral("Open containing folder."));
  EXPECT_EQ(controller->ui->_open_log_path->text(), root.path());
  EXPECT_EQ(controller->ui->_open_log_message->text(), QStringLiteral("12 cards exported."));
  ASSERT_EQ(scripted.requests().size(), 1u);
  EXPECT_EQ(scripted.requests().front().text, QStringLiteral("Open_Export_Files"));
  EXPECT_FALSE(controller->ui->Open_Export_Files->isVisible());

  Export_File_Path = root.path() + QStringLiteral("/Card_1.png");
  scripted.answerModal(ModalOK);
  controller->Open_Export_File_Box();
  EXPECT_EQ(controller->ui->_open_log_chk->text(), QStringLiteral("Open exported file."));
}

TEST_F(MainWindowTest, SheetsShowAndHideAlsoFromAWorkerThread) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  DrawWindow *ui = controller->ui;
  controller->Show_Create_Modeless();
  EXPECT_TRUE(ui->plz_wait_Window->isVisible());
  EXPECT_EQ(ui->modeless_msg_lbl->text(), QStringLiteral("It may take a while, Please wait.."));
  controller->Hide_Destroy_Modeless();
  EXPECT_FALSE(ui->plz_wait_Window->isVisible());

  // The batch export shows and hides the progress window from its own thread.
  std::atomic<int> step{0};
  bool shownWhileWorking = false;
  std::thread worker([&] {
    controller->Show_One_By_One_Modeless();
    step = 1;
    while (step.load() != 2)
      std::this_thread::yield();
    controller->Hide_One_By_One_Modeless();
    step = 3;
  });
  EXPECT_TRUE(spinUntil([&] { return step.load() == 1; }));
  shownWhileWorking = ui->Send_Models_Window->isVisible();
  step = 2;
  EXPECT_TRUE(spinUntil([&] { return step.load() == 3; }));
  worker.join();
  EXPECT_TRUE(shownWhileWorking);
  EXPECT_FALSE(ui->Send_Models_Window->isVisible());
}

TEST_F(MainWindowTest, SpreadsheetTempFolderGoesButNotWhatALinkPointsAt) {
  QTemporaryDir temp;
  ScopedEnvironment home("HOME", temp.path());
  // The reader's own unpack folder, private to the user, in the user's cache folder.
  const QString unpack = spreadsheetUnpackFolder();
  ASSERT_TRUE(unpack.startsWith(temp.path() + QStringLiteral("/")));
  ASSERT_TRUE(QDir().mkpath(unpack + QStringLiteral("/xl")));
  writeFile(unpack + QStringLiteral("/xl/workbook.xml"));
  QLNWindowController::Delete_Excel_File_Temp_Folder();
  EXPECT_FALSE(QFileInfo::exists(unpack));
  QLNWindowController::Delete_Excel_File_Temp_Folder();  // nothing there: no failure

  // A link put in its place leading to somebody's folder: the link goes, the folder stays.
  const QString precious = root.path() + QStringLiteral("/precious");
  ASSERT_TRUE(QDir().mkpath(precious));
  writeFile(precious + QStringLiteral("/keep.txt"));
  ASSERT_TRUE(QFile::link(precious, unpack));
  QLNWindowController::Delete_Excel_File_Temp_Folder();
  EXPECT_FALSE(QFileInfo(unpack).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(precious + QStringLiteral("/keep.txt")));
}

// The renderer draws card images as vector data only when the toolkit version reaches
// ResolutionIndependentToolkitVersion; every Qt the program runs on does, and the number
// still follows the running Qt (a later Qt never answers less).
TEST(ToolkitVersion, QtAlwaysTakesTheResolutionIndependentBranch) {
  const int version = QLNWindowController::Get_OS_Version();
  EXPECT_GE(version, ResolutionIndependentToolkitVersion);
  EXPECT_EQ(version / 1000, QLibraryInfo::version().majorVersion());
}
