// Start-up of the main window: one controller, the window, the property tabs, the
// controls the start-up steps set, the resource and data folders, the e-mail settings,
// the canvases bound to the document and to their selections, the zoom factor, the
// start window's outcomes and the resource folder failure.

#include "tests/mainwindow/main_window_fixture.h"
#include "tests/core/special_files.h"

#include "canvas/QLNGraphicView.h"
#include "mainwindow/DateFormats.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Shape_Control.h"
#include "output/model/Preferences.h"

#include <QTableView>
#include <QToolButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

QStringList comboItems(const QComboBox *combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i)
    items << combo->itemText(i);
  return items;
}

QStringList shownTabs(const DrawWindow *ui) {
  QStringList names;
  for (int i = 0; i < ui->sett_tab->count(); ++i)
    names << ui->sett_tab->widget(i)->objectName();
  return names;
}

}  // namespace

TEST_F(MainWindowTest, StartUpMakesOneControllerWithItsWindowTabsAndControls) {
  EXPECT_EQ(QLNWindowController::defaultInstance(), nullptr);
  shipPattern(QStringLiteral("Zigzag.png"));
  shipPattern(QStringLiteral("dots.png"));
  shipPattern(QStringLiteral("Brick.png"));
  ASSERT_TRUE(QDir().mkpath(shippedDir() + QStringLiteral("/Fill_Style_Image/folder.png")));

  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  DrawWindow *ui = controller->ui;
  // The first screen shows the card's tabs: the start-up makes none of the objects' tabs
  // (the checks below make them by reading their controls).
  EXPECT_FALSE(ui->objectTabs.isBuilt());

  // One controller: the document's window-controller step makes no second one.
  EXPECT_EQ(session->makeWindowControllers(), controller);
  EXPECT_EQ(QLNWindowController::defaultInstance(), controller);
  EXPECT_EQ(Main_App_wnd, static_cast<MainWindowServices *>(controller));
  EXPECT_EQ(controller->document(), session->document());

  // The window.
  EXPECT_TRUE(ui->window->isVisible());
  EXPECT_EQ(ui->window->objectName(), QStringLiteral("DrawWindow"));
  EXPECT_EQ(ui->window->size(), QSize(1000, 800));
  EXPECT_EQ(ui->window->windowTitle(), QStringLiteral("Amends"));
  EXPECT_FALSE(ui->window->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(ui->window->palette().color(QPalette::Window), QColor(241, 244, 250));

  // All fifteen tab items are kept in tab order; the new project ends with the card's
  // own three tabs shown.
  QStringList kept;
  for (QWidget *page : ui->tabPages())
    kept << (page ? page->objectName() : QStringLiteral("(none)"));
  EXPECT_EQ(kept, (QStringList{"card_setting_tab", "card_info_tab", "card_size_tab", "card_bkgd_tab", "card_brdr_tab",
                               "line_tab", "shape_tab", "text_edtng_tab", "text_prop_tab", "image_tab", "sign_tab",
                               "datasource_tab", "aligmnt_tab", "barcode_tab", "Lock_tab"}));
  EXPECT_EQ(shownTabs(ui), (QStringList{"card_setting_tab", "card_bkgd_tab", "card_brdr_tab"}));
  for (QWidget *page : ui->tabPages())
    EXPECT_NE(ui->window->findChild<QWidget *>(page->objectName()), nullptr) << page->objectName().toStdString();

  // The combo selections of the start-up steps.
  EXPECT_EQ(ui->Card_image_layout->currentIndex(), 1);
  EXPECT_EQ(ui->Card_image_layout->currentText(), QStringLiteral("Stretch"));
  EXPECT_EQ(ui->Sides_ComboBox->currentIndex(), 0);
  EXPECT_EQ(ui->Preset_ComboBox->currentIndex(), 0);
  EXPECT_EQ(ui->Category_ComboBox->currentIndex(), 0);
  EXPECT_EQ(ui->Category_ComboBox->currentText(), QStringLiteral("PVC Card"));
  EXPECT_EQ(ui->shape_border_style->currentIndex(), 0);
  EXPECT_EQ(ui->Card_border_style->currentIndex(), 0);
  EXPECT_EQ(ui->Text_align_combo->currentIndex(), 0);
  EXPECT_EQ(ui->Text_case_combo->currentIndex(), 0);
  EXPECT_EQ(comboItems(ui->Text_Date_style),
            (QStringList{"M-d-yyyy", "M-d-yy", "MM-dd-yy", "MM-dd-yyyy", "yy-MM-dd", "yyyy-MM-dd", "dd-MMM-yy",
                         "dd-MM-yyyy", "d-M-yy"}));
  EXPECT_EQ(ui->Text_Date_style->currentIndex(), 0);
  EXPECT_EQ(comboItems(ui->Text_Time_style), (QStringList{"h:mm:ss a", "hh:mm:ss a", "H:mm:ss", "HH:mm:ss"}));
  EXPECT_EQ(ui->Text_Time_style->currentIndex(), 0);
  // The border width the start-up put in (3) gave way to the new card's own (1) when
  // the new project showed the card tabs.
  EXPECT_EQ(ui->Card_bor_Text->text(), QStringLiteral("1"));
  EXPECT_EQ(ui->Card_bor_Stepper->intValue(), 1);
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);

  // The hatch combos list the pattern files by name, without folders or extensions.
  const QStringList patterns{"Brick", "dots", "Zigzag"};
  EXPECT_EQ(comboItems(ui->Card_hatch_style), patterns);
  EXPECT_EQ(comboItems(ui->shape_hatch_style), patterns);
  EXPECT_EQ(ui->Card_hatch_style->currentIndex(), 0);
  EXPECT_EQ(ui->shape_hatch_style->currentIndex(), 0);
  EXPECT_FALSE(ui->Card_hatch_style->itemIcon(0).isNull());

  // The folders: the resource folder seeded from the shipped one, the data folder and
  // the subfolders made by the new project.
  EXPECT_EQ(Resource_Path, resourceDir());
  EXPECT_EQ(Data_Folder_Path, resourceDir() + QStringLiteral("/DataSet"));
  EXPECT_EQ(controller->act_path_location, resourceDir());
  for (const char *folder : {"DataSet", "Background", "Fill_Style_Image", "LibraryImage", "Templates/User"})
    EXPECT_TRUE(QFileInfo(resourceDir() + QLatin1Char('/') + QLatin1String(folder)).isDir()) << folder;
  EXPECT_TRUE(QFileInfo::exists(resourceDir() + QStringLiteral("/Fill_Style_Image/Zigzag.png")));

  // The card: front side shown, 243 by 154 points on all three sides, two-sided.
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("2"));
  EXPECT_EQ(controller->shownSide(), 0);
  EXPECT_TRUE(ui->first_view->isVisible());
  EXPECT_FALSE(ui->second_view->isVisible());
  EXPECT_FALSE(ui->temp_design_view->isVisible());
  for (QLNGraphicView *view : {controller->frontView(), controller->backView(), controller->tempView()})
    EXPECT_EQ(view->canvasSize(), QSizeF(243, 154)) << view->objectName().toStdString();
  EXPECT_EQ(controller->frontCanvasBounds(), QRectF(0, 0, 243, 154));
  EXPECT_EQ(controller->frontView()->graphicsKey(), QStringLiteral("graphics"));
  EXPECT_EQ(controller->backView()->graphicsKey(), QStringLiteral("graphics_back"));
  EXPECT_EQ(controller->tempView()->graphicsKey(), QStringLiteral("graphics_temp"));
  EXPECT_EQ(controller->frontView()->grid(), controller->_grid.get());
  // Each canvas shows its side's selection.
  EXPECT_EQ(controller->frontView()->selectionIndexesContainer(), &controller->_graphicsController);
  EXPECT_EQ(controller->backView()->selectionIndexesContainer(), &controller->_graphicsController_back);
  EXPECT_EQ(controller->tempView()->selectionIndexesContainer(), &controller->_graphicsController_TEMP);

  // The fields of init and the new project.
  EXPECT_EQ(controller->Selected_Control_Tool, 0);
  EXPECT_EQ(controller->_zoomFactor, 1.0);
  EXPECT_EQ(controller->All_Text_font(), FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0));
  EXPECT_EQ(controller->Text_font, FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0));
  EXPECT_EQ(controller->All_Text_clr(), QColor(Qt::black));
  EXPECT_EQ(controller->App_Name(), QStringLiteral("Amends"));
  EXPECT_EQ(controller->pvc_card_arry.size(), 7);
  EXPECT_EQ(controller->pvc_card_arry.first(), QStringLiteral("CR80-Credit Card Size"));
  EXPECT_EQ(controller->paper_card_arry.size(), 8);
  EXPECT_EQ(controller->paper_card_arry.last(), QStringLiteral("Durable 1459 - Name Badge"));
  EXPECT_TRUE(controller->Front_card_Prop.Card_border_chk());
  EXPECT_TRUE(controller->Back_card_Prop.Card_border_chk());
  EXPECT_EQ(controller->Front_card_Prop.Card_Content_font(), controller->All_Text_font());
  EXPECT_EQ(controller->Front_user_profile.Name_id(), User_Profile_Class::fixedId(User_Profile_Class::NameField));
  // The category chosen at start-up filled the size list with the PVC sizes, the
  // first of them selected; the sides choice enabled the back side.
  ASSERT_EQ(controller->ListData.size(), controller->pvc_card_arry.size());
  EXPECT_EQ(controller->Get_Item_Text(0), controller->pvc_card_arry.first());
  EXPECT_EQ(ui->ColList->currentIndex().row(), 0);
  EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("2"));
  EXPECT_TRUE(ui->Back_Side_btn->isEnabled());
  EXPECT_TRUE(controller->data_table_content.isEmpty());
  EXPECT_FALSE(controller->_grid->isAlwaysShown());
  EXPECT_FALSE(ui->Align_with_grid_btn->isEnabled());
  // The rulers were toggled once: shown on every side, the box ticked; unticking hides them.
  EXPECT_TRUE(ui->Show_Hide_Ruler_chk->isChecked());
  for (QLNGraphicView *view : {controller->frontView(), controller->backView(), controller->tempView()})
    EXPECT_TRUE(view->rulersVisible());
  ui->Show_Hide_Ruler_chk->setChecked(false);
  EXPECT_FALSE(controller->frontView()->rulersVisible());

  // Nothing was asked of the user.
  EXPECT_TRUE(scripted.requests().empty());
}

TEST_F(MainWindowTest, EmptyPatternFolderLeavesBothHatchCombosEmpty) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->ui->Card_hatch_style->count(), 0);
  EXPECT_EQ(controller->ui->Card_hatch_style->currentIndex(), -1);
  EXPECT_EQ(controller->ui->shape_hatch_style->count(), 0);
  EXPECT_EQ(controller->ui->shape_hatch_style->currentIndex(), -1);
}

TEST_F(MainWindowTest, ResourceFolderThatCannotBeMadeShowsTheMessageAndEndsTheProgram) {
  // The folder's parent is a regular file.
  QFile blocker(root.path() + QStringLiteral("/blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  resourceEnv.reset();
  resourceEnv.emplace("AMENDS_RESOURCE_DIR", root.path() + QStringLiteral("/blocker/Resources"));

  scripted.expectAlert();
  session = std::make_unique<AppSession>();
  EXPECT_FALSE(session->start());
  EXPECT_EQ(session->exitStatus(), 1);
  ASSERT_EQ(scripted.alertTexts().size(), 1);
  EXPECT_TRUE(scripted.alertTexts().first().contains(QStringLiteral("cannot access its data files")))
      << scripted.alertTexts().first().toStdString();
  EXPECT_TRUE(scripted.alertTexts().first().contains(QStringLiteral("blocker")));
  EXPECT_FALSE(session->controller()->ui->window->isVisible());
  // Nothing after the failure ran: no data folder, no bindings, no new project.
  EXPECT_TRUE(Data_Folder_Path.isEmpty());
  EXPECT_FALSE(session->controller()->frontView()->isBoundToGraphics());
}

TEST_F(MainWindowTest, AnExistingResourceFolderIsNoFailureAndKeepsTheUsersFiles) {
  ASSERT_TRUE(QDir().mkpath(resourceDir() + QStringLiteral("/Fill_Style_Image")));
  QImage image(4, 4, QImage::Format_ARGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(resourceDir() + QStringLiteral("/Fill_Style_Image/Mine.png"), "PNG"));
  shipPattern(QStringLiteral("Shipped.png"));

  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(Data_Folder_Path, resourceDir() + QStringLiteral("/DataSet"));
  EXPECT_EQ(comboItems(controller->ui->Card_hatch_style), (QStringList{"Mine", "Shipped"}));
}

// A named pipe among the user's patterns is listed like any other name but never
// opened for its picture: opening it would wait for a writer for ever.
TEST_F(MainWindowTest, APipeAmongThePatternsDoesNotHoldUpTheStartWatchdogThread) {
  const QString folder = resourceDir() + QStringLiteral("/Fill_Style_Image");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString pipe = folder + QStringLiteral("/Trap.png");
  ASSERT_TRUE(specialfiles::makeFifo(pipe));
  shipPattern(QStringLiteral("Shipped.png"));

  // A watchdog releases the pipe if the start waits on it, so that the test fails
  // instead of hanging.
  std::atomic<bool> started{false};
  std::atomic<bool> released{false};
  std::thread watchdog([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!started.load()) {
      if (std::chrono::steady_clock::now() > deadline) {
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
          released = true;
          ::close(fd);
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  QLNWindowController *controller = startSession();
  started = true;
  watchdog.join();
  ASSERT_NE(controller, nullptr);
  EXPECT_FALSE(released.load()) << "the start waited on the pipe";
  EXPECT_EQ(comboItems(controller->ui->Card_hatch_style), (QStringList{"Shipped", "Trap"}));
  EXPECT_TRUE(controller->ui->Card_hatch_style->itemIcon(1).isNull());
  EXPECT_FALSE(controller->ui->Card_hatch_style->itemIcon(0).isNull());
}

TEST_F(MainWindowTest, StartUpLoadsTheEmailSettings) {
  ASSERT_TRUE(QDir().mkpath(resourceDir()));
  {
    Preferences settings(resourceDir() + QLatin1Char('/') + Preferences::FileName);
    settings.setsend_email_SenderEmail(QStringLiteral("me@example.org"));
    settings.setsend_email_Password(QStringLiteral("s3cret"));
    settings.setsend_email_SMTP_server(QStringLiteral("smtp.example.org"));
    settings.setsend_email_PORT_num(QStringLiteral("587"));
    settings.setsend_email_enable_ssl(QStringLiteral("Y"));
    ASSERT_TRUE(settings.flush());
  }
  ASSERT_NE(startSession(), nullptr);
  EXPECT_EQ(sender_email, QStringLiteral("me@example.org"));
  EXPECT_EQ(sender_pwd, QStringLiteral("s3cret"));
  EXPECT_EQ(sending_server, QStringLiteral("smtp.example.org"));
  EXPECT_EQ(sending_port, QStringLiteral("587"));
  EXPECT_EQ(send_enable_ssl, QStringLiteral("Y"));
}

TEST_F(MainWindowTest, StartWindowOutcomes) {
  // Cancelled: the program ends with status 0 before the window is used.
  {
    int endedWith = -1;
    QLNWindowController::hooks().runStartWindow = [] { return 0; };
    QLNWindowController::hooks().exitProcess = [&](int status) { endedWith = status; };
    session = std::make_unique<AppSession>();
    EXPECT_FALSE(session->start());
    EXPECT_EQ(endedWith, 0);
    EXPECT_EQ(session->exitStatus(), 0);
    session.reset();
  }
  // Confirmed with a card built by the wizard: the card's shape is selected.
  {
    QLNWindowController::hooks() = {};
    int runs = 0;
    QLNWindowController::hooks().runStartWindow = [&] {
      ++runs;
      Start_Card_Option = QStringLiteral("W");
      Card_Shape = 2;
      return 1;
    };
    QLNWindowController *controller = startSession();
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(controller->ui->matrix_card_shape->selectedRow(), 2);
    EXPECT_TRUE(controller->ui->sett_tab->isVisible());
    // The side label is hidden while the start window runs and stays so.
    EXPECT_FALSE(controller->ui->Front_back_label->isVisible());
    EXPECT_TRUE(controller->document()->undoManager()->isUndoRegistrationEnabled());
  }
}

TEST_F(MainWindowTest, CanvasesAndSelectionsFollowTheDocumentUntilItIsUnbound) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  QLNDocument *document = session->document();

  auto shape = std::make_shared<Shape_Control>();
  shape->setBounds(QRectF(20, 20, 50, 50));
  document->insertIntoList(QLNDocumentGraphicsKey_temp, {shape}, {0});
  ASSERT_EQ(controller->tempView()->graphics().size(), 1);
  EXPECT_EQ(controller->Get_Temp_Control_Count(), 1);
  // The side's selection follows the list: an object put in front moves it on.
  controller->tempView()->changeSelectionIndexes({0});
  document->insertIntoList(QLNDocumentGraphicsKey_temp, {std::make_shared<Shape_Control>()}, {0});
  EXPECT_EQ(controller->_graphicsController_TEMP.selectionIndexes(), QLNIndexSet{1});
  EXPECT_EQ(controller->tempView()->selectedGraphics(), QLNGraphicList{shape});
  document->removeFromList(QLNDocumentGraphicsKey_temp, {0});

  controller->setDocument(nullptr);
  EXPECT_TRUE(controller->tempView()->graphics().isEmpty());
  EXPECT_FALSE(controller->tempView()->isBoundToGraphics());
  // Binding again (the document framework attaching a document) restores the lists.
  controller->setDocument(document);
  EXPECT_EQ(controller->tempView()->graphics().size(), 1);
}

TEST_F(MainWindowTest, ZoomFactorReachesEveryCanvas) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  controller->setZoomFactor(2.0);
  EXPECT_EQ(controller->_zoomFactor, 2.0);
  for (QLNGraphicView *view : {controller->frontView(), controller->backView(), controller->tempView()}) {
    EXPECT_EQ(view->zoomFactor(), 2.0) << view->objectName().toStdString();
    EXPECT_EQ(view->size(), QSize(486, 308)) << view->objectName().toStdString();
  }
  // A factor that would make the card vanish or explode is refused.
  for (double refused : {0.0, -1.0, std::nan("")}) {
    controller->setZoomFactor(refused);
    EXPECT_EQ(controller->_zoomFactor, 2.0);
    EXPECT_EQ(controller->backView()->zoomFactor(), 2.0);
  }
}

TEST_F(MainWindowTest, CanvasSizeChangesOfTheDocumentResizeEverySide) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  QLNPrintInfo info;
  info.paperSize = QSizeF(300, 200);
  session->document()->setPrintInfo(info);
  for (QLNGraphicView *view : {controller->frontView(), controller->backView(), controller->tempView()})
    EXPECT_EQ(view->canvasSize(), QSizeF(300, 200));
  EXPECT_EQ(controller->frontView()->size(), QSize(300, 200));

  // Set_Document_Size alone changes nothing; SetDocumentCanvasSize changes every side.
  controller->Set_Document_Size(QSizeF(100, 100));
  EXPECT_EQ(controller->backView()->canvasSize(), QSizeF(300, 200));
  controller->SetDocumentCanvasSize(QSizeF(243, 154));
  EXPECT_EQ(controller->backView()->canvasSize(), QSizeF(243, 154));
}

TEST_F(MainWindowTest, TheCurrentSideIsDrawnWithItsBaseAndObjects) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  // A blue card fill and a red square on the front side.
  controller->Front_card_Prop.setCard_fill_chk(true);
  controller->Front_card_Prop.setCard_fill_style(QStringLiteral("S"));
  controller->Front_card_Prop.setCard_fill_clr(QColor(0, 0, 255));
  controller->Front_card_Prop.setCard_border_chk(false);
  auto square = std::make_shared<Shape_Control>();
  square->setBounds(QRectF(100, 60, 40, 40));
  square->_isDrawingFill = true;
  square->_fillColor = QColor(255, 0, 0);
  square->alpha_val = 1.0f;
  square->_isDrawingStroke = false;
  square->ctrl_is_visible = true;
  session->document()->insertGraphics({square}, {0});

  const QImage picture = controller->frontView()->grab().toImage();
  ASSERT_EQ(picture.size(), QSize(243, 154));
  EXPECT_EQ(picture.pixelColor(10, 10), QColor(0, 0, 255));
  EXPECT_EQ(picture.pixelColor(120, 80), QColor(255, 0, 0));

  // A redraw asked for while the view draws is not honoured (every object asks for one
  // at the end of its drawing), so the view settles instead of drawing itself forever.
  spinUntil([] { return false; }, 100);
  const int settled = controller->frontView()->paintCount();
  spinUntil([] { return false; }, 300);
  EXPECT_LE(controller->frontView()->paintCount(), settled + 1);
}

TEST_F(MainWindowTest, TheObjectTabsAreMadeSoonAfterTheWindowFirstDrawsItselfConnectedAndFilled) {
  shipPattern(QStringLiteral("Brick.png"));
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  DrawWindow *ui = controller->ui;
  ASSERT_FALSE(ui->objectTabs.isBuilt());
  // The grid changes before its tab exists.
  controller->_grid->setAlwaysShown(true);

  QDeadlineTimer deadline(10000);
  while (!ui->objectTabs.isBuilt() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(5);
  }
  ASSERT_TRUE(ui->objectTabs.isBuilt());
  EXPECT_TRUE(ui->Align_with_grid_btn->isEnabled());
  controller->_grid->setAlwaysShown(false);
  EXPECT_FALSE(ui->Align_with_grid_btn->isEnabled());
  EXPECT_EQ(comboItems(ui->shape_hatch_style), QStringList{QStringLiteral("Brick")});
  EXPECT_EQ(ui->Text_Date_style->count(), DateFormats::datePatterns().size());
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
  EXPECT_EQ(ui->sett_tab->indexOf(ui->line_tab), -1);
}

// Objects' tabs needed before the start-up fills the panel get the same first values.
TEST_F(MainWindowTest, ObjectTabsMadeBeforeTheStartUpGetTheCardsPatterns) {
  shipPattern(QStringLiteral("Brick.png"));
  shipPattern(QStringLiteral("dots.png"));
  session = std::make_unique<AppSession>();
  QLNWindowController *controller = session->makeWindowControllers();
  ASSERT_NE(controller->ui->shape_hatch_style.get(), nullptr);
  EXPECT_EQ(controller->ui->shape_hatch_style->count(), 0);
  ASSERT_TRUE(session->start());
  EXPECT_EQ(comboItems(controller->ui->shape_hatch_style), (QStringList{"Brick", "dots"}));
  EXPECT_EQ(controller->ui->shape_hatch_style->currentIndex(), 0);
  EXPECT_EQ(controller->ui->Text_Date_style->currentIndex(), 0);
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
}

TEST_F(MainWindowTest, GridButtonFollowsTheGridAndTheNewProjectResetsIt) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  controller->_grid->setAlwaysShown(true);
  EXPECT_TRUE(controller->ui->Align_with_grid_btn->isEnabled());
  // The title names the design's file while that file exists.
  QTemporaryDir folder;
  Project_File_Name = folder.filePath(QStringLiteral("Birthday.dcard"));
  controller->Set_Log_Name_In_Title();
  EXPECT_EQ(controller->ui->window->windowTitle(), QStringLiteral("Amends"));
  QFile file(Project_File_Name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  controller->Set_Log_Name_In_Title();
  EXPECT_EQ(controller->ui->window->windowTitle(), QStringLiteral("Amends ( Birthday.dcard )"));

  Card_Front_Or_Back = 1;
  controller->Front_card_Prop.setCard_Name(QStringLiteral("Old"));
  session->document()->insertIntoList(QLNDocumentGraphicsKey_back, {std::make_shared<Shape_Control>()}, {0});
  controller->New_Project();
  EXPECT_FALSE(controller->_grid->isAlwaysShown());
  EXPECT_FALSE(controller->ui->Align_with_grid_btn->isEnabled());
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(controller->ui->window->windowTitle(), QStringLiteral("Amends"));
  EXPECT_EQ(controller->Get_Back_Control_Count(), 0);
  EXPECT_TRUE(controller->Front_card_Prop.Card_Name() != QStringLiteral("Old"));
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
}

// The shipped sample pictures are read when first asked for, and the first asker may be
// a worker drawing a card (a placeholder for a missing picture): several workers asking
// at once all get the shipped picture, whole.
TEST_F(MainWindowTest, ShippedPicturesReachWorkerThreadsAskingAtOnce) {
  const std::vector<std::pair<QString, QColor>> shipped = {{QStringLiteral("no.png"), Qt::red},
                                                           {QStringLiteral("sign_sample.png"), Qt::green},
                                                           {QStringLiteral("fingerprints.png"), Qt::blue},
                                                           {QStringLiteral("barcode_sample.png"), Qt::yellow}};
  for (const auto &[name, colour] : shipped) {
    QImage image(12, 9, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(shippedDir() + QLatin1Char('/') + name, "PNG"));
  }
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  const CanvasServices *services = controller;

  std::vector<std::array<QImage, 4>> seen(8);
  std::vector<std::thread> workers;
  for (auto &images : seen)
    workers.emplace_back([services, &images] {
      images = {services->placeholderImage().pixels, services->signatureSampleImage().pixels,
                services->fingerprintSampleImage().pixels, services->barcodeSampleImage().pixels};
    });
  for (std::thread &worker : workers)
    worker.join();
  for (const auto &images : seen) {
    for (size_t i = 0; i < shipped.size(); ++i) {
      SCOPED_TRACE(shipped[i].first.toStdString());
      ASSERT_EQ(images[i].size(), QSize(12, 9));
      EXPECT_EQ(images[i].pixelColor(6, 4), shipped[i].second);
    }
  }
}
