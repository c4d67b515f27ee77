// The combo boxes of the main window and where their selections go: the tabs' updates
// (nothing while the panel is filled by code), the data source and the series or column
// bound to the selected object (also for selections made by code), the number of sides,
// the category and preset with the size list; and the background browser under the
// canvas, which dresses the front side whichever side is being edited.

#include "tests/mainwindow/main_window_fixture.h"

#include "dataseries/Data_From_Excel.h"

#include "mainwindow/DrawWindow.h"

#include "canvas/QLNGraphicView.h"

#include "core/QLNDocument.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include "platform/ImageBrowser.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace {

class ComboDispatcherTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // Shipped backgrounds, listed at start-up: only png and jpg, any case, in name order.
    const QString backgrounds = shippedDir() + QStringLiteral("/Background");
    ASSERT_TRUE(QDir().mkpath(backgrounds));
    ASSERT_TRUE(QDir().mkpath(backgrounds + QStringLiteral("/folder.png")));
    for (const char *name : {"rose.PNG", "Apple.jpg", "sky.jpeg", "notes.txt", "beach.png"})
      writePicture(backgrounds + QLatin1Char('/') + QLatin1String(name), Qt::yellow);
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ui = controller->ui;
    document = session->document();
  }

  static void writePicture(const QString &path, const QColor &colour) {
    QImage picture(6, 4, QImage::Format_ARGB32);
    picture.fill(colour);
    const QByteArray format = path.endsWith(QStringLiteral(".txt")) ? "PNG" : QFileInfo(path).suffix().toUpper().toLatin1();
    ASSERT_TRUE(picture.save(path, format == "JPG" || format == "JPEG" ? "JPG" : "PNG")) << path.toStdString();
  }

  // A series file in the data folder, its lines as given.
  void writeSeries(const QString &name, const QByteArray &contents) {
    ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
    QFile file(Data_Folder_Path + QLatin1Char('/') + name + QStringLiteral(".txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
  }

  // The object on the front side, selected alone and current, shown in the panel.
  void select(const QLNGraphicPtr &object) {
    document->Enable_Disable_Undo_Registraion(0);
    document->insertIntoList(QLNDocumentGraphicsKey, {object}, {0});
    document->Enable_Disable_Undo_Registraion(1);
    controller->_graphicsController.setSelectionIndexes({0});
    controller->frontView()->setSelected_Graphic(object);
    controller->Show_RHS_Properties(object);
  }

  // The user opens the list and presses Return on the item at `row`, as a click in the
  // open list would choose it.
  static void chooseInPopup(QComboBox *combo, int row) {
    combo->showPopup();
    QAbstractItemView *list = combo->view();
    list->setCurrentIndex(combo->model()->index(row, combo->modelColumn()));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &press);
    ASSERT_FALSE(list->isVisible()) << "the list stayed open";
  }

  QLNWindowController *controller = nullptr;
  DrawWindow *ui = nullptr;
  QLNDocument *document = nullptr;
};

}  // namespace

TEST_F(ComboDispatcherTest, TabCombosUpdateTheirKindButNotWhileThePanelIsFilled) {
  auto line = std::make_shared<QLNLine>();
  line->setBounds(QRectF(0, 0, 40, 0));
  select(line);
  ui->Line_border_style->setCurrentIndex(3);
  EXPECT_EQ(line->_stroke_border_type, QStringLiteral("DD"));

  {
    const QLNWindowController::PropertyFillGuard filling;
    ui->Line_border_style->setCurrentIndex(1);
    ui->Line_ori_style->setCurrentIndex(2);
  }
  EXPECT_EQ(line->_stroke_border_type, QStringLiteral("DD"));
  EXPECT_EQ(line->_line_ori, 0);

  // The card's combos update the current side's settings.
  controller->Show_RHS_Properties(nullptr);
  ui->Card_border_style->setCurrentIndex(2);
  EXPECT_EQ(controller->Front_card_Prop.Card_border_style(), QStringLiteral("DO"));
}

TEST_F(ComboDispatcherTest, SidesCategoryAndPresetDecideEvenWhenSetByCode) {
  ui->Sides_ComboBox->setCurrentIndex(1);
  EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("1"));
  EXPECT_FALSE(ui->Back_Side_btn->isEnabled());
  ui->Sides_ComboBox->setCurrentIndex(0);
  EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("2"));
  EXPECT_TRUE(ui->Back_Side_btn->isEnabled());

  // The paper category lists the paper sizes, row 0 selected; the card's sub-category
  // follows.
  ui->Category_ComboBox->setCurrentIndex(1);
  ASSERT_EQ(controller->ListData.size(), controller->paper_card_arry.size());
  EXPECT_EQ(controller->Get_Item_Text(0), controller->paper_card_arry.first());
  EXPECT_EQ(controller->Front_card_Prop.Card_Sub_Category(), controller->paper_card_arry.first());

  // A preset change lists the category's sizes anew (the user's row choice goes back
  // to row 0); with no category chosen it changes nothing.
  controller->Mark_List_New_Selection(3);
  ui->Preset_ComboBox->setCurrentIndex(1);
  EXPECT_EQ(ui->ColList->currentIndex().row(), 0);
  ui->Category_ComboBox->setCurrentIndex(-1);
  controller->ListData.clear();
  controller->reloadColList();
  ui->Preset_ComboBox->setCurrentIndex(0);
  EXPECT_TRUE(controller->ListData.isEmpty());
}

TEST_F(ComboDispatcherTest, ASeriesWithoutFilesIsRefusedAndTheObjectKeepsItsSource) {
  auto text = std::make_shared<QLNText>();
  text->Text_contents()->string = QStringLiteral("Dear Ann");
  select(text);
  scripted.expectAlert();
  ui->Data_source_type->setCurrentIndex(1);
  EXPECT_EQ(scripted.alertTexts().value(0).trimmed(), QStringLiteral("Please create batch processing series first."));
  EXPECT_EQ(text->data_source_type, 0);
  // The series controls are on all the same; the typed text can no longer be edited.
  EXPECT_TRUE(ui->Batch_Series->isEnabled());
  EXPECT_TRUE(ui->Text_value_Edit->isReadOnly());

  ui->Data_source_type->setCurrentIndex(0);
  EXPECT_FALSE(ui->Batch_Series->isEnabled());
  EXPECT_FALSE(ui->Text_value_Edit->isReadOnly());
  EXPECT_EQ(text->data_source_type, 0);
}

TEST_F(ComboDispatcherTest, ChoosingASeriesWritesItsFirstLineIntoATextEvenWhenChosenByCode) {
  writeSeries(QStringLiteral("Names"), "Ann\nBob\n");
  writeSeries(QStringLiteral("Amounts"), "  12 \n");
  auto text = std::make_shared<QLNText>();
  text->Text_contents()->string = QStringLiteral("Dear someone");
  select(text);

  ui->Data_source_type->setCurrentIndex(1);
  EXPECT_EQ(text->data_source_type, 1);
  ASSERT_EQ(ui->Batch_Series->count(), 2);
  EXPECT_EQ(ui->Batch_Series->itemText(0), QStringLiteral("Amounts"));

  ui->Batch_Series->setCurrentIndex(1);
  EXPECT_EQ(text->batch_list_name, QStringLiteral("Names"));
  EXPECT_EQ(text->batch_list_index, 1);
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("Ann"));
  EXPECT_EQ(ui->Text_value_Edit->toPlainText(), QStringLiteral("Ann"));

  // The first value is kept as it stands (untrimmed); chosen while the panel is being
  // filled, the binding still writes it.
  {
    const QLNWindowController::PropertyFillGuard filling;
    ui->Batch_Series->setCurrentIndex(0);
  }
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("  12 "));

  // Choosing the source again chooses the object's own series again: its first line
  // replaces what the user typed since.
  text->Text_contents()->string = QStringLiteral("typed over");
  ui->Data_source_type->setCurrentIndex(0);
  ui->Data_source_type->setCurrentIndex(1);
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("  12 "));
}

// "Sorry .txt" (a name an earlier version wrote) beside "Sorry.txt": the listed name is
// the series, as it stands, for the binding, its first value and the View button.
TEST_F(ComboDispatcherTest, ASeriesChosenInThePanelIsBoundAndViewedByItsNameAsListed) {
  writeSeries(QStringLiteral("Sorry"), "plain\n");
  writeSeries(QStringLiteral("Sorry "), "spaced\n");
  auto text = std::make_shared<QLNText>();
  text->Text_contents()->string = QStringLiteral("Dear someone");
  select(text);
  ui->Data_source_type->setCurrentIndex(1);
  const int spaced = ui->Batch_Series->findText(QStringLiteral("Sorry "));
  ASSERT_GE(spaced, 0);
  ui->Batch_Series->setCurrentIndex(spaced);
  EXPECT_EQ(text->batch_list_name, QStringLiteral("Sorry "));
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("spaced"));

  QString viewed;
  const auto savedViewer = QLNWindowController::hooks().viewSeries;
  QLNWindowController::hooks().viewSeries = [&](const QString &name) { viewed = name; };
  controller->View_batch_Series_Button();
  QLNWindowController::hooks().viewSeries = savedViewer;
  EXPECT_EQ(viewed, QStringLiteral("Sorry "));
}

// A choice in an open list acts once, also when it is the item the list already shows.
TEST_F(ComboDispatcherTest, TheUserChoosingTheShownItemAgainActsAgainAndOnceForEachChoice) {
  auto text = std::make_shared<QLNText>();
  text->Text_contents()->string = QStringLiteral("Dear someone");
  select(text);
  scripted.expectAlert();  // one choice, one message
  chooseInPopup(ui->Data_source_type, 1);
  EXPECT_EQ(scripted.alertTexts().size(), 1);
  EXPECT_EQ(ui->Batch_Series->count(), 0);

  // Series made since: choosing "Series" again lists them.
  writeSeries(QStringLiteral("Names"), "Ann\nBob\n");
  chooseInPopup(ui->Data_source_type, 1);
  ASSERT_EQ(ui->Batch_Series->count(), 1);

  chooseInPopup(ui->Batch_Series, 0);
  EXPECT_EQ(text->batch_list_name, QStringLiteral("Names"));
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("Ann"));
  text->Text_contents()->string = QStringLiteral("typed over");
  chooseInPopup(ui->Batch_Series, 0);
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("Ann"));
  EXPECT_EQ(ui->Text_value_Edit->toPlainText(), QStringLiteral("Ann"));

  // The shown category chosen again lists its sizes anew, row 0 selected.
  controller->Show_RHS_Properties(nullptr);
  controller->Mark_List_New_Selection(3);
  chooseInPopup(ui->Category_ComboBox, ui->Category_ComboBox->currentIndex());
  EXPECT_EQ(ui->ColList->currentIndex().row(), 0);
}

TEST_F(ComboDispatcherTest, ASeriesGivesAnImageItsPathAndASpreadsheetColumnItsRowZeroValue) {
  const QString picture = QDir(root.path()).filePath(QStringLiteral("bound.png"));
  writePicture(picture, Qt::blue);
  writeSeries(QStringLiteral("Photos"), picture.toUtf8() + "\nsecond.png\n");
  auto image = std::make_shared<QLNImage>();
  image->setBounds(QRectF(0, 0, 20, 20));
  select(image);
  ui->Data_source_type->setCurrentIndex(1);
  ui->Batch_Series->setCurrentIndex(0);
  EXPECT_EQ(image->_file_path, picture);
  EXPECT_EQ(ui->Manual_image_path->text(), picture);
  EXPECT_EQ(image->_contents.pixels.size(), QSize(6, 4));

  // A spreadsheet with the columns "Name" and "City": the column list is the grid's
  // titles (the row numbers first); a column's row-0 value reaches the text.
  ImportedRowsTable grid;
  grid.setImportedColumns({QStringLiteral("Name"), QStringLiteral("City")});
  grid.Create_List_By_Array({QStringLiteral("Ann"), QStringLiteral("Leeds")}, 2);
  Data_From_Excel::defaultInstance()->setTable(grid);
  controller->Update_Excel_Item_In_Data_Source();
  auto text = std::make_shared<QLNText>();
  text->excel_col_indx = 2;
  select(text);
  ui->Data_source_type->setCurrentIndex(2);
  EXPECT_EQ(text->data_source_type, 2);
  EXPECT_EQ(ui->Batch_Series->count(), 3);
  EXPECT_EQ(ui->Batch_Series->currentText(), QStringLiteral("City"));
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("Leeds"));
  ui->Batch_Series->setCurrentIndex(1);
  EXPECT_EQ(text->excel_col_indx, 1);
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("Ann"));
}

TEST_F(ComboDispatcherTest, AFirstValueIsReadOnlyFromARegularSeriesFileInTheDataFolder) {
  writeSeries(QStringLiteral("Names"), "Ann\n");
  EXPECT_EQ(controller->Get_First_Value_Of_Dataset(QStringLiteral("Names")), QStringLiteral("Ann"));
  EXPECT_EQ(controller->Get_First_Value_Of_Dataset(QStringLiteral("Missing")), QString());
  // A name leaving the data folder reads nothing.
  const QString outside = QDir(root.path()).filePath(QStringLiteral("secret.txt"));
  QFile file(outside);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("password\n");
  file.close();
  EXPECT_EQ(controller->Get_First_Value_Of_Dataset(QStringLiteral("../../secret")), QString());
  EXPECT_EQ(controller->Get_First_Value_Of_Excel_Binding(0), QString()) << "no spreadsheet rows";
}

// ---- The background browser ----------------------------------------------------------------------------

TEST_F(ComboDispatcherTest, TheBrowserListsThePngAndJpgBackgroundsInNameOrder) {
  ImageBrowser *browser = ui->imageBrowser;
  ASSERT_EQ(browser->numberOfItems(), 3);
  QStringList shown;
  for (int index = 0; index < browser->numberOfItems(); ++index)
    shown << browser->itemUID(index);
  EXPECT_EQ(shown, (QStringList{"Apple.jpg", "beach.png", "rose.PNG"}));

  // Reordering changes the order shown; Delete removes nothing.
  controller->imageBrowser_moveItemsAtIndexes_toIndex(browser, {0, 1}, 3);
  EXPECT_EQ(browser->itemUID(0), QStringLiteral("rose.PNG"));
  controller->imageBrowser_removeItemsAtIndexes(browser, {0});
  EXPECT_EQ(browser->numberOfItems(), 3);
}

TEST_F(ComboDispatcherTest, ChoosingABackgroundDressesTheFrontWhicheverSideIsEdited) {
  ImageBrowser *browser = ui->imageBrowser;
  Card_Front_Or_Back = 1;
  browser->setSelectionIndexes({1});
  const QString beach = Resource_Path + QStringLiteral("/Background/beach.png");
  EXPECT_EQ(controller->selected_image, beach);
  EXPECT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), beach);
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("I"));
  EXPECT_TRUE(controller->Back_card_Prop.Card_BG_Image_Path().isEmpty());
  Card_Front_Or_Back = 0;
}
