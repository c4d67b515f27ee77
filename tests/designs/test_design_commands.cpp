// The design-file commands of the main window: New, Open, Save, Save As and Exit from
// the toolbar and the File menu with their panels and questions; a design of both
// sides with every kind of card object and the spreadsheet grid saved and opened back;
// damaged files refused without touching the open design; a save that cannot be
// written; the project reset.

#include "tests/designs/design_commands_fixture.h"

#include "designs/model/DesignLog.h"

#include "canvas/QLNGraphicView.h"
#include "mainwindow/PanelWidgets.h"

#include "core/QLNDocument.h"
#include "core/Shape_Control.h"
#include "platform/PropertyList.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>
#include <functional>
#include <set>


using namespace designtest;

namespace {

const QString SavedAlert = QStringLiteral("\nGreeting Card Design Log has been saved successfully.");
const QString FailAlert = QStringLiteral("\nfail");
const QString CorruptAlert = QStringLiteral("\nFile is corrupt and cannot be opened.");
const QString NewQuestion = QStringLiteral("Do you want to save changes before opening new document?");
const QString OpenQuestion = QStringLiteral("Do you want to save changes before opening document?");
const QString CloseQuestion = QStringLiteral("Do you want to save changes before closing?");

}  // namespace

// ---- Round trip ---------------------------------------------------------------------------------

TEST_F(DesignCommandsTest, ADesignOfBothSidesSavesAndOpensBackWithEveryFieldOrderSideAndTheGrid) {
  const QString picture = makePicture(QStringLiteral("backdrop.png"));
  buildRichDesign(picture);
  const Card_Property front = controller->Front_card_Prop;
  const Card_Property back = controller->Back_card_Prop;
  const QLNGraphicList frontObjects = controller->Get_Front_Controls_Array();
  const QLNGraphicList backObjects = controller->Get_Back_Controls_Array();
  ASSERT_EQ(frontObjects.size(), cardObjectClassNames().size());

  // Save on an untitled design asks for a path; the panel adds the extension.
  const QString path = dir.filePath(QStringLiteral("Sorry card.dcard"));
  scripted.answerSaveFile(dir.filePath(QStringLiteral("Sorry card")));
  scripted.expectAlert();
  click(QStringLiteral("Save_btn"));
  EXPECT_EQ(scripted.alertTexts(), QStringList{SavedAlert});
  ASSERT_TRUE(QFileInfo(path).isFile());
  EXPECT_EQ(Project_File_Name, path);
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends ( Sorry card.dcard )"));
  EXPECT_EQ(UiServices::instance().documentFolder(), QFileInfo(path).absolutePath())
      << "the next file panel starts beside the design";
  const ScriptedUi::Request panel = scripted.requests().front();
  EXPECT_EQ(panel.kind, ScriptedUi::Kind::SaveFile);
  EXPECT_EQ(panel.detail, QStringLiteral("dcard"));
  // The front side's solid fill keeps no background path, in memory too.
  EXPECT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), QString(""));
  EXPECT_EQ(controller->Back_card_Prop.Card_BG_Image_Path(), picture);

  // New right after the save: nothing changed, so nothing is asked; an empty untitled
  // design. The spreadsheet state is not the reset's, so it is changed here to see it
  // come back from the file.
  scripted.clear();
  click(QStringLiteral("New_btn"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
  EXPECT_EQ(startWindowRuns, 1);
  EXPECT_EQ(controller->Get_Front_Control_Count(), 0);
  EXPECT_EQ(controller->Get_Back_Control_Count(), 0);
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends"));
  Excel_Binding_Use = false;
  Excel_Source_Path.clear();
  {
    ImportedRowsTable grid;
    grid.columns[0].title = QStringLiteral("Row number");
    Data_From_Excel::defaultInstance()->setTable(grid);
  }
  controller->Back_card_Prop.setCard_BG_Image(PointImage());
  controller->SetDocumentCanvasSize(QSizeF(100, 100));

  // Open from the File menu.
  scripted.clear();
  scripted.answerYesNo(false);
  scripted.answerOpenFile(path);
  trigger(QStringLiteral("Open_menu_item"));
  EXPECT_EQ(scripted.alertTexts(), QStringList{OpenQuestion});
  EXPECT_EQ(startWindowRuns, 1) << "a design that opens needs no start window";
  EXPECT_EQ(scripted.requests().back().detail, QStringLiteral("dcard"));

  SCOPED_TRACE("after opening");
  Card_Property frontExpected = front;
  frontExpected.setCard_BG_Image_Path(QStringLiteral(""));
  // The opened card is shown in the property panel, which gives the current (front)
  // side the canvas's place and size.
  frontExpected.setCard_Location(QPointF(0, 0));
  frontExpected.setCard_Size(QSizeF(300, 200));
  expectSameSide(controller->Front_card_Prop, frontExpected);
  expectSameSide(controller->Back_card_Prop, back);
  expectSameObjects(frontObjects, controller->Get_Front_Controls_Array());
  expectSameObjects(backObjects, controller->Get_Back_Controls_Array());
  // Fresh objects, not the ones that were saved.
  EXPECT_NE(controller->Get_Front_Controls_Array().front(), frontObjects.front());

  // Nothing to undo: the loading registered no undo step, and registration is on again.
  QLNDocument *document = session->document();
  spinUntil([] { return false; }, 20);
  EXPECT_FALSE(document->undoManager()->canUndo());
  EXPECT_TRUE(document->undoManager()->isUndoRegistrationEnabled());
  EXPECT_FALSE(ui()->Undo_btn->isEnabled());
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);

  // The file's path and title, the size, the background picture, the arrow tool.
  EXPECT_EQ(Project_File_Name, path);
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends ( Sorry card.dcard )"));
  EXPECT_EQ(controller->frontView()->canvasSize(), QSizeF(300, 200));
  EXPECT_EQ(controller->backView()->canvasSize(), QSizeF(300, 200));
  EXPECT_NEAR(ui()->width_Stepper->value(), 105.833, 0.001);
  EXPECT_NEAR(ui()->height_Stepper->value(), 70.556, 0.001);
  EXPECT_EQ(ui()->width_Text->text(), QString::number(float(300 * 0.3527777777778)));
  EXPECT_FALSE(controller->Back_card_Prop.Card_BG_Image().isNull());
  EXPECT_EQ(controller->Back_card_Prop.Card_BG_Image_Path(), picture);
  // The panel shows the card tabs of the side being edited, the front, which has no
  // picture.
  EXPECT_TRUE(ui()->Card_Image_path->text().isEmpty());
  EXPECT_EQ(controller->Selected_Control_Tool, 0);

  // The spreadsheet binding and grid: the first column keeps its own title, the others
  // are rebuilt from the saved titles; the rows are the saved rows.
  EXPECT_TRUE(Excel_Binding_Use);
  EXPECT_EQ(Excel_Source_Path, QStringLiteral("/home/me/Guests.xlsx"));
  EXPECT_EQ(comboItems(ui()->Data_source_type), (QStringList{"Manual", "Series", "Excel"}));
  const QList<ImportedRowsColumn> columns = Data_From_Excel::defaultInstance()->table().columns;
  ASSERT_EQ(columns.size(), 4);
  EXPECT_EQ(columns[0].identifier, QStringLiteral("Extension"));
  EXPECT_EQ(columns[0].title, QStringLiteral("Row number"));
  for (int j = 1; j <= 3; ++j) {
    EXPECT_EQ(columns[j].identifier, QStringLiteral("Column%1").arg(j));
    EXPECT_EQ(columns[j].width, 100.0);
    EXPECT_EQ(columns[j].headerAlignment, Qt::AlignLeft);
  }
  EXPECT_EQ(Data_From_Excel::defaultInstance()->table().columnTitles(),
            (QStringList{"Row number", "Name", QString::fromUtf8("E-mail \xE2\x9C\x89"), "City"}));
  EXPECT_EQ(Data_From_Excel::defaultInstance()->table().rows, richGridRows());

  // Saved again, the grid's rows and its further titles are the same items.
  const std::vector<PlistValue> first = rootItems(readBytes(path));
  scripted.clear();
  scripted.expectAlert();
  click(QStringLiteral("Save_btn"));
  EXPECT_EQ(scripted.alertTexts(), QStringList{SavedAlert});
  const std::vector<PlistValue> again = rootItems(readBytes(path));
  ASSERT_EQ(again.size(), first.size());
  EXPECT_EQ(again[60], first[60]);
  ASSERT_EQ(again[59].size(), 4);
  EXPECT_EQ(again[59].at(0).toString(), QStringLiteral("Row number"));
  for (int j = 1; j < 4; ++j)
    EXPECT_EQ(again[59].at(j), first[59].at(j));
  // The settings items that are texts (colours and fonts are compared as sides above).
  for (int i = 0; i < 59; ++i)
    if (first[size_t(i)].isString()) {
      // Item 18, the front's place, is the canvas's since the card was shown.
      EXPECT_EQ(again[size_t(i)].toString(), i == 18 ? QStringLiteral("{0, 0}") : first[size_t(i)].toString())
          << "item " << i;
    }
}

TEST_F(DesignCommandsTest, ATemplateOpensUntitledAndItsFirstSaveAsksForAPath) {
  buildRichDesign(QString());
  const QString templatePath = dir.filePath(QStringLiteral("Template.dcard"));
  saveTo(templatePath);
  controller->New_Project();
  Project_File_Name = QStringLiteral("/not/there/Before.dcard");

  EXPECT_EQ(controller->Read_and_load_design_Log(templatePath, QStringLiteral("T")), 1);
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends"));
  EXPECT_EQ(controller->Get_Front_Control_Count(), cardObjectClassNames().size());

  const QString copy = dir.filePath(QStringLiteral("Mine.dcard"));
  scripted.answerSaveFile(copy);
  scripted.expectAlert();
  click(QStringLiteral("Save_btn"));
  EXPECT_EQ(Project_File_Name, copy);
  EXPECT_TRUE(QFileInfo(copy).isFile());
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends ( Mine.dcard )"));
}

TEST_F(DesignCommandsTest, StoredSizesWithoutAreaOrBeyondTheFieldsGiveASaneCanvas) {
  // A design saved with no size (as a reset leaves it before the card is shown in the
  // property panel) opens on the standard card.
  controller->SetDocumentCanvasSize(QSizeF(500, 500));
  controller->Front_card_Prop.setCard_Size(QSizeF(0, 0));
  const QString unsized = dir.filePath(QStringLiteral("Unsized.dcard"));
  saveTo(unsized);
  ASSERT_EQ(controller->Front_card_Prop.Card_Size(), QSizeF(0, 0));
  EXPECT_EQ(controller->Read_and_load_design_Log(unsized, QStringLiteral("L")), 1);
  EXPECT_EQ(controller->frontView()->canvasSize(), QSizeF(243, 154));
  // Shown in the property panel, the opened card takes the canvas's size.
  EXPECT_EQ(controller->Front_card_Prop.Card_Size(), QSizeF(243, 154));

  // A hostile size is held to the largest card the size fields accept.
  controller->Front_card_Prop.setCard_Size(QSizeF(1e30, 120));
  const QString huge = dir.filePath(QStringLiteral("Huge.dcard"));
  saveTo(huge);
  EXPECT_EQ(controller->Read_and_load_design_Log(huge, QStringLiteral("L")), 1);
  EXPECT_NEAR(controller->frontView()->canvasSize().width(), 2834.65, 0.01);
  EXPECT_EQ(controller->frontView()->canvasSize().height(), 120.0);
  EXPECT_NEAR(ui()->width_Stepper->value(), 1000.0, 0.001);
}

// ---- Damaged files --------------------------------------------------------------------------------

TEST_F(DesignCommandsTest, DamagedFilesAreRefusedAndLeaveTheDesignItsPathAndTitle) {
  // An open design with a file of its own.
  buildRichDesign(QString());
  const QString good = dir.filePath(QStringLiteral("Good.dcard"));
  saveTo(good);
  const QByteArray goodBytes = readBytes(good);
  const std::vector<PlistValue> items = rootItems(goodBytes);
  ASSERT_GE(items.size(), size_t(63 + 5));

  auto with = [&](size_t index, PlistValue value) {
    std::vector<PlistValue> copy = items;
    copy[index] = std::move(value);
    return toXmlPropertyList(PlistValue::array(std::move(copy)));
  };
  const QList<std::pair<const char *, QByteArray>> damaged = {
      {"wrong mark", with(0, PlistValue("VRELMACGREETCARDMAGIc"))},
      {"plain text", QByteArray("Dear friend,\nI am truly sorry.\n")},
      {"truncated", goodBytes.left(goodBytes.size() * 2 / 3)},
      {"ends after item 30",
       toXmlPropertyList(PlistValue::array(std::vector<PlistValue>(items.begin(), items.begin() + 31)))},
      {"fifth archive garbage", with(62 + 4, PlistValue(QByteArray("\x01garbage\xff not an archive")))},
  };

  const Card_Property front = controller->Front_card_Prop;
  const QLNGraphicList frontObjects = controller->Get_Front_Controls_Array();
  const QLNGraphicList backObjects = controller->Get_Back_Controls_Array();
  const QString title = ui()->window->windowTitle();
  ASSERT_EQ(title, QStringLiteral("Amends ( Good.dcard )"));

  for (const auto &[what, bytes] : damaged) {
    SCOPED_TRACE(what);
    const QString path = dir.filePath(QStringLiteral("damaged.dcard"));
    writeBytes(path, bytes);
    scripted.clear();
    scripted.expectAlert();
    EXPECT_EQ(controller->Read_and_load_design_Log(path, QStringLiteral("L")), 0);
    EXPECT_EQ(scripted.alertTexts(), QStringList{CorruptAlert});

    EXPECT_EQ(Project_File_Name, good);
    EXPECT_EQ(ui()->window->windowTitle(), title);
    EXPECT_EQ(controller->Get_Front_Controls_Array(), frontObjects);
    EXPECT_EQ(controller->Get_Back_Controls_Array(), backObjects);
    expectSameSide(controller->Front_card_Prop, front);
    EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
    EXPECT_TRUE(session->document()->undoManager()->isUndoRegistrationEnabled());
  }

  // Through the open panel too; and a later Save still writes the good file's path.
  const QString path = dir.filePath(QStringLiteral("damaged.dcard"));
  scripted.clear();
  scripted.answerOpenFile(path);
  scripted.expectAlert();
  EXPECT_EQ(controller->Open_Log_File(), 0);
  scripted.expectAlert();
  click(QStringLiteral("Save_btn"));
  EXPECT_EQ(scripted.alertTexts(), (QStringList{CorruptAlert, SavedAlert}));
  EXPECT_EQ(readBytes(path), damaged.back().second);
  expectSameObjects(frontObjects, readDesignLogFile(good)->frontObjects);

  // A file that is not there is refused the same way.
  scripted.clear();
  scripted.expectAlert();
  const QString missing = dir.filePath(QStringLiteral("missing.dcard"));
  EXPECT_EQ(controller->Read_and_load_design_Log(missing, QStringLiteral("L")), 0);
  EXPECT_EQ(Project_File_Name, good);
}

// ---- Saves that do not happen ------------------------------------------------------------------

TEST_F(DesignCommandsTest, ASaveThatCannotBeWrittenLeavesTheOldFileByteIdenticalAndItsPath) {
  const QString path = dir.filePath(QStringLiteral("Kept.dcard"));
  saveTo(path);
  const QByteArray before = readBytes(path);
  buildRichDesign(QString());   // much larger than the file that is there

  {
    FileSizeLimit limit(rlim_t(before.size() + 512));
    ASSERT_TRUE(limit.ok());
    scripted.expectAlert();
    click(QStringLiteral("Save_btn"));
  }
  EXPECT_EQ(scripted.alertTexts(), QStringList{FailAlert});
  EXPECT_EQ(readBytes(path), before);
  EXPECT_EQ(Project_File_Name, path);
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends ( Kept.dcard )"));

  // Save As to a path through a regular file: the design keeps the file it has.
  const QString regular = dir.filePath(QStringLiteral("regular.txt"));
  writeBytes(regular, "not a folder");
  scripted.clear();
  scripted.answerSaveFile(regular + QStringLiteral("/New.dcard"));
  scripted.expectAlert();
  trigger(QStringLiteral("SaveAs_menu_item"));
  EXPECT_EQ(scripted.alertTexts(), QStringList{FailAlert});
  EXPECT_EQ(Project_File_Name, path);
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends ( Kept.dcard )"));
  EXPECT_EQ(readBytes(path), before);
  EXPECT_EQ(readBytes(regular), QByteArray("not a folder"));
}

TEST_F(DesignCommandsTest, CancelledPanelsWriteNothingAndShowNothing) {
  // Save on an untitled design, cancelled: still untitled, no file, no message.
  scripted.answerSaveFile(QString());
  click(QStringLiteral("Save_btn"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends"));
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

  // Save As on a saved design, cancelled: the old path and title.
  const QString path = dir.filePath(QStringLiteral("Saved.dcard"));
  saveTo(path);
  controller->Set_Log_Name_In_Title();
  scripted.clear();
  scripted.answerSaveFile(QString());
  click(QStringLiteral("SaveAs_btn"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
  EXPECT_EQ(Project_File_Name, path);
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends ( Saved.dcard )"));

  // Save As with a new path moves the design to it.
  const QString other = dir.filePath(QStringLiteral("Other.dcard"));
  scripted.clear();
  scripted.answerSaveFile(other);
  scripted.expectAlert();
  trigger(QStringLiteral("SaveAs_menu_item"));
  EXPECT_EQ(Project_File_Name, other);
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends ( Other.dcard )"));

  // The title names a file only while it exists.
  QFile::remove(other);
  controller->Set_Log_Name_In_Title();
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends"));
}

// ---- New, Open and Exit with their questions -----------------------------------------------

TEST_F(DesignCommandsTest, NewAndOpenStayWhenTheWantedSaveDidNotHappen) {
  addShape(QStringLiteral("kept"));

  // New, Yes, save panel cancelled: said so, nothing else happens.
  scripted.answerYesNo(true);
  scripted.answerSaveFile(QString());
  scripted.expectAlert();
  click(QStringLiteral("New_btn"));
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{NewQuestion, "\nThe design has not been saved, so no new design was started."}));
  EXPECT_EQ(controller->Get_Front_Control_Count(), 1);
  EXPECT_EQ(startWindowRuns, 0);

  // Open or Exit, Yes, the file cannot be written: one message names the file, the
  // reason and what did not happen; no reset, no panel, no end.
  const QString unwritable = dir.filePath(QStringLiteral("regular.txt/Design.dcard"));
  writeBytes(dir.filePath(QStringLiteral("regular.txt")), "x");
  const struct {
    const char *command;
    QString question;
    QString consequence;
  } failures[] = {
      {"Open_menu_item", OpenQuestion, QStringLiteral("so no design was opened.")},
      {"Exit_menu_item", CloseQuestion, QStringLiteral("so the program stays open.")},
  };
  for (const auto &failure : failures) {
    SCOPED_TRACE(failure.command);
    Project_File_Name = unwritable;
    scripted.clear();
    scripted.answerYesNo(true);
    scripted.expectAlert();
    trigger(QString::fromLatin1(failure.command));
    const QStringList shown = scripted.alertTexts();
    ASSERT_EQ(shown.size(), 2) << shown.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(shown[0], failure.question);
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("\nThe design could not be saved to \"%1\" (").arg(unwritable)))
        << shown[1].toStdString();
    EXPECT_TRUE(shown[1].endsWith(QStringLiteral("), ") + failure.consequence)) << shown[1].toStdString();
    EXPECT_EQ(controller->Get_Front_Control_Count(), 1);
    EXPECT_EQ(startWindowRuns, 0);
    EXPECT_TRUE(exitStatuses.isEmpty());
    EXPECT_EQ(Project_File_Name, unwritable);
  }
}

TEST_F(DesignCommandsTest, NewAndOpenSaveFirstWhenAskedAndOpenCancelledStartsAfresh) {
  addShape(QStringLiteral("first"));
  const QString path = dir.filePath(QStringLiteral("First.dcard"));

  // New, Yes: the save panel, the message, then the new project with the start window.
  scripted.answerYesNo(true);
  scripted.answerSaveFile(path);
  scripted.expectAlert();
  click(QStringLiteral("New_btn"));
  EXPECT_EQ(scripted.alertTexts(), (QStringList{NewQuestion, SavedAlert}));
  ASSERT_EQ(readDesignLogFile(path)->frontObjects.size(), 1);
  EXPECT_EQ(controller->Get_Front_Control_Count(), 0);
  EXPECT_EQ(startWindowRuns, 1);
  EXPECT_TRUE(Project_File_Name.isEmpty());

  // Open, Yes on a titled design: saved in place, then the chosen file opens.
  addShape(QStringLiteral("second"));
  addShape(QStringLiteral("third"));
  const QString second = dir.filePath(QStringLiteral("Second.dcard"));
  saveTo(second);
  addShape(QStringLiteral("fourth"));
  scripted.clear();
  scripted.answerYesNo(true);
  scripted.expectAlert();
  scripted.answerOpenFile(path);
  click(QStringLiteral("Open_btn"));
  EXPECT_EQ(scripted.alertTexts(), (QStringList{OpenQuestion, SavedAlert}));
  EXPECT_EQ(readDesignLogFile(second)->frontObjects.size(), 3);
  ASSERT_EQ(controller->Get_Front_Control_Count(), 1);
  EXPECT_EQ(controller->Get_Front_Controls_Array().front()->control_ID, QStringLiteral("first"));
  EXPECT_EQ(Project_File_Name, path);
  EXPECT_EQ(startWindowRuns, 1);

  // Open right after an open asks nothing; the panel cancelled: the design was reset
  // before the panel; the start window.
  scripted.clear();
  scripted.answerOpenFile(QString());
  click(QStringLiteral("Open_btn"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
  EXPECT_EQ(controller->Get_Front_Control_Count(), 0);
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends"));
  EXPECT_EQ(startWindowRuns, 2);
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
}

TEST_F(DesignCommandsTest, ExitAsksToSaveShowsTheReviewWindowAndEndsTheProgram) {
  // No: the review window, then the end with status 0.
  int reviews = 0;
  QLNWindowController::hooks().runReviewWindow = [&] {
    EXPECT_TRUE(exitStatuses.isEmpty());   // shown before the end
    ++reviews;
  };
  addShape(QStringLiteral("changed"));
  scripted.answerYesNo(false);
  click(QStringLiteral("Exit_btn"));
  QLNWindowController::hooks().runReviewWindow = nullptr;
  EXPECT_EQ(scripted.alertTexts(), QStringList{CloseQuestion});
  EXPECT_EQ(reviews, 1);
  EXPECT_EQ(exitStatuses, (QList<int>{0}));

  // Yes with the save panel cancelled: said so, and the program stays.
  addShape(QStringLiteral("unsaved"));
  scripted.clear();
  scripted.answerYesNo(true);
  scripted.answerSaveFile(QString());
  scripted.expectAlert();
  trigger(QStringLiteral("Exit_menu_item"));
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{CloseQuestion, "\nThe design has not been saved, so the program stays open."}));
  EXPECT_EQ(exitStatuses.size(), 1);

  // Yes: saved without a message, then the end.
  const QString path = dir.filePath(QStringLiteral("Last.dcard"));
  scripted.clear();
  scripted.answerYesNo(true);
  scripted.answerSaveFile(path);
  click(QStringLiteral("Exit_btn"));
  EXPECT_EQ(scripted.alertTexts(), QStringList{CloseQuestion});
  EXPECT_EQ(readDesignLogFile(path)->frontObjects.size(), 2);
  EXPECT_EQ(exitStatuses, (QList<int>{0, 0}));

  // Right after that save nothing changed: Exit asks nothing; an edit asks again.
  scripted.clear();
  click(QStringLiteral("Exit_btn"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
  EXPECT_EQ(exitStatuses, (QList<int>{0, 0, 0}));
  controller->Front_card_Prop.setCard_bor_Stepper(controller->Front_card_Prop.Card_bor_Stepper() + 1);
  scripted.answerYesNo(false);
  click(QStringLiteral("Exit_btn"));
  EXPECT_EQ(scripted.alertTexts(), QStringList{CloseQuestion});
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends")) << "a save without message leaves the title";
}

// Without a test's hook, Exit ends the program through the application's own quit: the
// event loop returns the status and the code after it still runs (main returns it once
// the session's objects are destroyed), rather than the process stopping on the spot.
TEST_F(DesignCommandsTest, ExitEndsTheProgramThroughTheEventLoop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const ChildTemporaryFolder childFolders;
  EXPECT_EXIT(
      {
        QLNWindowController::hooks().exitProcess = nullptr;
        scripted.answerYesNo(false);
        QTimer::singleShot(0, [this] { click(QStringLiteral("Exit_btn")); });
        QTimer::singleShot(20000, [] { QCoreApplication::exit(7); });
        const int status = QCoreApplication::exec();
        const bool windowGone = !ui()->window->isVisible();
        controller = nullptr;
        session.reset();
        std::_Exit(status == 0 && windowGone ? 42 : 1);
      },
      ::testing::ExitedWithCode(42), "");
}

TEST_F(DesignCommandsTest, ClosingTheWindowGoesThroughTheExitCommand) {
  // Yes with the save panel cancelled: the window stays open with the design.
  addShape(QStringLiteral("unsaved"));
  scripted.answerYesNo(true);
  scripted.answerSaveFile(QString());
  scripted.expectAlert();
  EXPECT_FALSE(ui()->window->close());
  EXPECT_TRUE(ui()->window->isVisible());
  EXPECT_TRUE(exitStatuses.isEmpty());
  EXPECT_EQ(controller->Get_Front_Control_Count(), 1);

  // No: the program ends as through Exit.
  scripted.clear();
  scripted.answerYesNo(false);
  ui()->window->close();
  EXPECT_EQ(scripted.alertTexts(), QStringList{CloseQuestion});
  EXPECT_EQ(exitStatuses, (QList<int>{0}));
}

// ---- The project reset ------------------------------------------------------------------------------

TEST_F(DesignCommandsTest, TheResetClearsOnlyOurClipboardAndPutsEverySettingBack) {
  QClipboard *clipboard = QApplication::clipboard();

  // Card objects this program copied go; the user's own text stays.
  auto *ours = new QMimeData;
  ours->setData(QLNGraphicViewPasteboardType, QLNGraphic::pasteboardDataWithGraphics({}));
  clipboard->setMimeData(ours);
  ASSERT_TRUE(clipboard->mimeData()->hasFormat(QStringLiteral("Quellin 2 pasteboard type")));
  controller->New_Project_Setting_Reset();
  EXPECT_FALSE(clipboard->mimeData() && clipboard->mimeData()->hasFormat(QLNGraphicViewPasteboardType));
  clipboard->setText(QStringLiteral("Dear Anna, I am sorry."));
  controller->New_Project_Setting_Reset();
  EXPECT_EQ(clipboard->text(), QStringLiteral("Dear Anna, I am sorry."));

  // Everything a design sets, away from the defaults.
  buildRichDesign(makePicture(QStringLiteral("bg.png")));
  auto tempShape = std::make_shared<Shape_Control>();
  session->document()->insertIntoList(QLNDocumentGraphicsKey_temp, {tempShape}, {0});
  controller->TEMP_user_profile.setFill_User_Profile_Enable(true);
  controller->Front_user_profile.setFill_User_Profile_Enable(true);
  controller->_grid->setAlwaysShown(true);
  controller->setAll_Text_font(FontSpec(QStringLiteral("Arial-BoldMT"), 30));
  ui()->All_Text_clr->setColor(Qt::red);
  ui()->All_Text_font_value_COPY->setText(QStringLiteral("copy"));
  controller->All_Text_font_COPY = FontSpec(QStringLiteral("Arial-BoldMT"), 30);
  Fill_User_Profile = true;
  last_ctrl_X = 80;
  last_ctrl_Y = 90;
  Card_Front_Or_Back = 1;
  Project_File_Name = dir.filePath(QStringLiteral("Open.dcard"));
  saveTo(Project_File_Name);
  controller->Set_Log_Name_In_Title();
  ASSERT_TRUE(QDir().rmdir(Resource_Path + QStringLiteral("/Templates/User")));
  ASSERT_FALSE(QFileInfo(Resource_Path + QStringLiteral("/Templates/User")).isDir());

  controller->New_Project_Setting_Reset();

  EXPECT_TRUE(QFileInfo(Resource_Path + QStringLiteral("/Templates/User")).isDir());
  EXPECT_FALSE(controller->_grid->isAlwaysShown());
  EXPECT_FALSE(session->document()->undoManager()->canUndo());
  EXPECT_EQ(last_ctrl_X, 10.0f);
  EXPECT_EQ(last_ctrl_Y, 10.0f);
  EXPECT_FALSE(Fill_User_Profile);
  EXPECT_FALSE(controller->Front_user_profile.Fill_User_Profile_Enable());
  EXPECT_TRUE(controller->TEMP_user_profile.Fill_User_Profile_Enable());
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(ui()->window->windowTitle(), QStringLiteral("Amends"));
  EXPECT_EQ(controller->All_Text_font(), FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14));
  EXPECT_EQ(ui()->All_Text_font_value->text(), QStringLiteral("TimesNewRomanPS-ItalicMT ( 14.00 )"));
  EXPECT_EQ(ui()->All_Text_clr->color(), QColor(Qt::black));
  EXPECT_TRUE(ui()->All_Text_font_value_COPY->text().isEmpty());
  EXPECT_FALSE(controller->All_Text_font_COPY.has_value());
  EXPECT_EQ(ui()->All_Text_clr_COPY->color(), QColor(Qt::black));
  for (const Card_Property *side : {&controller->Front_card_Prop, &controller->Back_card_Prop}) {
    Card_Property expected;
    resetCardPropertyForNewProject(expected, FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14), Qt::black);
    expectSameSide(*side, expected);
    EXPECT_TRUE(side->Card_border_chk());
    EXPECT_EQ(side->Card_bor_Stepper(), 1);
    EXPECT_EQ(side->Card_Name(), QStringLiteral("Untitled"));
    EXPECT_TRUE(side->Card_BG_Image().isNull());
  }
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_EQ(controller->Get_Front_Control_Count(), 0);
  EXPECT_EQ(controller->Get_Back_Control_Count(), 0);
  EXPECT_EQ(controller->Get_Temp_Controls_Array(), QLNGraphicList{QLNGraphicPtr(tempShape)});
  // Left alone: the spreadsheet binding and grid.
  EXPECT_TRUE(Excel_Binding_Use);
  EXPECT_EQ(Data_From_Excel::defaultInstance()->table().rows, richGridRows());
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
}

// ---- The card tab's choices ----------------------------------------------------------------------

// Each choice of the Card tab, made alone on a fresh window: the design saved right
// before and right after the choice differs in the choice's items and nothing else, and
// another fresh window opening the file shows the choice in the panel; a shape is drawn
// on the canvas and in the export as well.
TEST_F(DesignCommandsTest, EveryCardTabChoiceIsInTheFileAtOnceAndOpensAsChosenInAFreshWindow) {
  const QColor green(0, 160, 0);
  auto freshWindow = [&] {
    session.reset();
    resetGlobals();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    // The size fields show the card's size, as the start window leaves them.
    controller->Set_Card_Size_In_Control(QSizeF(QLNWindowController::Points_to_MM_Convert(243),
                                                QLNWindowController::Points_to_MM_Convert(154)));
  };
  auto type = [](QLineEdit *field, const QString &text) {
    field->setText(text);
    emit field->editingFinished();
  };
  auto isGreen = [&](const QColor &colour) {
    return qAbs(colour.red() - green.red()) < 8 && qAbs(colour.green() - green.green()) < 8 &&
           qAbs(colour.blue() - green.blue()) < 8 && colour.alpha() > 240;
  };
  // The card as the canvas shows it and as the export writes it: its middle is green,
  // and the point `corner` is green exactly when the card is a rectangle.
  auto expectDrawnShape = [&](const QPoint &corner, bool rectangle) {
    const QImage canvas = controller->frontView()->grab().toImage();
    EXPECT_TRUE(isGreen(canvas.pixelColor(121, 77)));
    EXPECT_EQ(isGreen(canvas.pixelColor(corner)), rectangle) << "on the canvas";
    export_card_side = QStringLiteral("F");
    const QString exported = dir.filePath(QStringLiteral("Card.png"));
    ASSERT_TRUE(controller->Export_Single_File(exported, false));
    QImage file;
    ASSERT_TRUE(file.load(exported, "PNG"));
    EXPECT_TRUE(isGreen(file.pixelColor(121, 77)));
    EXPECT_EQ(isGreen(file.pixelColor(corner)), rectangle) << "in the export";
  };
  auto expectShape = [&](int row, const QPoint &corner) {
    EXPECT_EQ(Card_Shape.load(), row);
    EXPECT_EQ(ui()->matrix_card_shape->selectedRow(), row);
    expectDrawnShape(corner, row == 0);
  };

  struct Choice {
    const char *what;
    std::function<void()> make;
    std::set<size_t> items;       // the items of the file the choice changes
    std::function<void()> shown;  // what the window that opened the file shows
    bool onTheBack = false;       // chosen while the back side is edited
  };
  const std::vector<Choice> choices = {
      {"One Sided",
       [&] { ui()->Sides_ComboBox->setCurrentIndex(1); },
       {14, 42},
       [&] {
         EXPECT_EQ(ui()->Sides_ComboBox->currentIndex(), 1);
         EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("1"));
         EXPECT_FALSE(ui()->Back_Side_btn->isEnabled());
       }},
      {"Oval",
       [&] { ui()->matrix_card_shape->cellAtRow(2)->click(); },
       {16, 44},
       [&] { expectShape(2, QPoint(3, 3)); }},
      // The first choice on the back writes the whole panel into the back's settings: its
      // side name "B" and its opacity as a fraction (1.00 for the 100.00 of the reset).
      {"Oval on the back side",
       [&] { ui()->matrix_card_shape->cellAtRow(2)->click(); },
       {16, 41, 43, 44},
       [&] { expectShape(2, QPoint(3, 3)); },
       true},
      {"One Sided on the back side",
       [&] { ui()->Sides_ComboBox->setCurrentIndex(1); },
       {14, 41, 42, 43},
       [&] { EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("1")); },
       true},
      {"Rounded Rectangle",
       [&] { ui()->matrix_card_shape->cellAtRow(1)->click(); },
       {16, 44},
       [&] { expectShape(1, QPoint(2, 2)); }},
      {"Rectangle after Oval",
       [&] {
         // The oval is saved first; the rectangle chosen then is what the file keeps.
         ui()->matrix_card_shape->cellAtRow(2)->click();
         ASSERT_TRUE(controller->Save_project_file(false, false));
         ui()->matrix_card_shape->cellAtRow(0)->click();
       },
       {},
       [&] { expectShape(0, QPoint(3, 3)); }},
      {"name", [&] { type(ui()->card_name, QStringLiteral("To Alex")); }, {17},
       [&] { EXPECT_EQ(ui()->card_name->text(), QStringLiteral("To Alex")); }},
      {"width stepper", [&] { ui()->width_Stepper->step(+1); }, {19},
       [&] {
         EXPECT_EQ(ui()->width_Text->text(), QString::number(ui()->width_Stepper->value()));
         EXPECT_NEAR(controller->frontView()->canvasSize().width(), (85.725 + 1) * 2.834645669291, 0.05);
       }},
      {"height typed and applied",
       [&] {
         type(ui()->height_Text, QStringLiteral("60"));
         ui()->Apply_Size_btn->click();
       },
       {19},
       [&] {
         EXPECT_NEAR(ui()->height_Stepper->value(), 60.0, 0.001);
         EXPECT_NEAR(controller->frontView()->canvasSize().height(), 60 * 2.834645669291, 0.001);
       }},
      {"text colour",
       [&] {
         scripted.answerColor(QColor(10, 20, 200));
         ASSERT_TRUE(ui()->All_Text_clr->chooseColor());
       },
       {27}, [&] { EXPECT_EQ(ui()->All_Text_clr->color(), QColor(10, 20, 200)); }},
      {"text font",
       [&] {
         QFont chosen(QStringLiteral("DejaVu Sans"));
         chosen.setPointSizeF(20);
         scripted.answerFont(chosen);
         ui()->Content_Font_btn->click();
       },
       {28},
       [&] {
         EXPECT_EQ(controller->All_Text_font().pointSize(), 20.0);
         EXPECT_TRUE(ui()->All_Text_font_value->text().endsWith(QStringLiteral("( 20.00 )")));
       }},
  };

  const QString path = dir.filePath(QStringLiteral("Choice.dcard"));
  for (const Choice &choice : choices) {
    SCOPED_TRACE(choice.what);
    freshWindow();
    // A green card, so that its shape shows.
    ui()->Card_fill_chk->click();
    scripted.answerColor(green);
    ASSERT_TRUE(ui()->Card_fill_clr->chooseColor());
    if (choice.onTheBack)
      ui()->Back_Side_btn->click();
    saveTo(path);
    const std::vector<PlistValue> before = rootItems(readBytes(path));

    choice.make();
    ASSERT_TRUE(controller->Save_project_file(false, false));
    const std::vector<PlistValue> after = rootItems(readBytes(path));
    ASSERT_EQ(after.size(), before.size());
    std::set<size_t> changed;
    for (size_t i = 0; i < after.size(); ++i)
      if (!(after[i] == before[i]))
        changed.insert(i);
    EXPECT_EQ(changed, choice.items);

    freshWindow();
    ASSERT_EQ(controller->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
    choice.shown();
  }
}
