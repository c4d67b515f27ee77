// The main window's edit, lock and side commands as a user reaches them: the edit
// toolbar and the Edit menu act on the current side's canvas (never the temp one) and
// their buttons follow the selection; lock and unlock with their messages; the front,
// back and temp sides, the temp side holding the current side's own objects; the
// buttons of commands still to come stay disabled.

#include "tests/mainwindow/main_window_fixture.h"

#include "mainwindow/DrawWindow.h"

#include "designs/DesignFileSupport.h"
#include "designs/model/DesignLog.h"

#include "canvas/Image_Library.h"
#include "canvas/QLNGraphicView.h"
#include "canvas/QLNSelection.h"

#include "core/QLNDocument.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QClipboard>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabWidget>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace {

// `picture` on the clipboard as PNG, as another program puts it.
void putPngOnClipboard(const QImage &picture) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  auto *contents = new QMimeData;
  contents->setData(QStringLiteral("image/png"), png);
  QGuiApplication::clipboard()->setMimeData(contents);
}

class EditCommandsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    QGuiApplication::clipboard()->clear();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ui = controller->ui;
    document = session->document();
    controller->window()->show();
  }
  void TearDown() override {
    QGuiApplication::clipboard()->clear();
    MainWindowTest::TearDown();
  }

  static std::shared_ptr<Shape_Control> rect(const QRectF &bounds) {
    auto object = std::make_shared<Shape_Control>();
    object->setBounds(bounds);
    object->Set_Shape_Type(QStringLiteral("R"));
    return object;
  }

  // Objects on a side's list as one finished undo step (the front) or none (the others).
  void place(const QString &key, const QLNGraphicList &objects) {
    QLNIndexSet indexes;
    for (int i = 0; i < objects.size(); ++i)
      indexes.append(i);
    document->insertIntoList(key, objects, indexes);
    QCoreApplication::processEvents();
  }

  // A click of the left button on the canvas at `point` (points).
  static void click(QLNGraphicView *view, const QPointF &point) {
    const QPointF pixel = point * view->zoomFactor();
    QMouseEvent press(QEvent::MouseButtonPress, pixel, view->mapToGlobal(pixel), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pixel, view->mapToGlobal(pixel), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view, &release);
  }

  // Cut, copy, paste, delete, front, back, lock, unlock.
  std::vector<bool> editingButtons() const {
    std::vector<bool> states;
    for (QToolButton *button : {ui->Cut_btn, ui->Copy_btn, ui->Paste_btn, ui->Delete_btn, ui->Begin_Front_btn,
                                ui->Send_Back_btn, ui->Lock_btn, ui->Unlock_btn})
      states.push_back(button->isEnabled());
    return states;
  }

  QAction *menuItem(const char *menu, const char *item) const {
    auto *found = ui->window->menuBar()->findChild<QMenu *>(QLatin1String(menu));
    return found ? found->findChild<QAction *>(QLatin1String(item)) : nullptr;
  }

  QLNWindowController *controller = nullptr;
  DrawWindow *ui = nullptr;
  QLNDocument *document = nullptr;
};

}  // namespace

TEST_F(EditCommandsTest, TheToolbarCopiesPastesAndUndoesWithButtonsFollowingTheSelection) {
  auto a = rect(QRectF(20, 20, 40, 30));
  auto b = rect(QRectF(120, 60, 40, 30));
  place(QLNDocumentGraphicsKey, {a, b});
  QLNGraphicView *front = controller->frontView();

  // Clicking an object shows it and enables what can be done to it; the clipboard is
  // empty, so paste is off.
  click(front, QPointF(30, 30));
  EXPECT_EQ(front->selectionIndexes(), QLNIndexSet{0});
  EXPECT_EQ(editingButtons(), (std::vector<bool>{true, true, false, true, true, true, true, false}));
  EXPECT_TRUE(ui->Undo_btn->isEnabled());
  EXPECT_FALSE(ui->Redo_btn->isEnabled());

  ui->Copy_btn->click();
  EXPECT_TRUE(ui->Paste_btn->isEnabled()) << "the copy brings the paste button up to date";
  ui->Paste_btn->click();
  ASSERT_EQ(document->graphics().size(), 3);
  EXPECT_NE(document->graphics().at(0), a);
  EXPECT_EQ(document->graphics().at(0)->bounds().size(), QSizeF(40, 30));
  EXPECT_EQ(front->selectionIndexes(), QLNIndexSet{0});
  QCoreApplication::processEvents();

  // Undo takes the paste back; redo brings it back and selects it.
  ui->Undo_btn->click();
  EXPECT_EQ(document->graphics(), (QLNGraphicList{a, b}));
  EXPECT_TRUE(ui->Redo_btn->isEnabled());
  ui->Redo_btn->click();
  ASSERT_EQ(document->graphics().size(), 3);
  EXPECT_EQ(front->selectionIndexes(), QLNIndexSet{0});
  EXPECT_FALSE(ui->Redo_btn->isEnabled());

  // Send to back, then delete, from the toolbar.
  front->changeSelectionIndexes({0});
  ui->Send_Back_btn->click();
  EXPECT_EQ(document->graphics().mid(0, 2), (QLNGraphicList{a, b}));
  EXPECT_EQ(front->selectionIndexes(), QLNIndexSet{2});
  ui->Delete_btn->click();
  EXPECT_EQ(document->graphics(), (QLNGraphicList{a, b}));
  // The panel shows the card now: nothing to act on, paste still possible.
  EXPECT_EQ(editingButtons(), (std::vector<bool>{false, false, true, false, false, false, false, false}));

  // Only file names on the clipboard: the next state update turns paste off.
  auto *names = new QMimeData;
  names->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.dcard"))});
  QGuiApplication::clipboard()->setMimeData(names);
  click(front, QPointF(130, 70));
  EXPECT_EQ(editingButtons(), (std::vector<bool>{true, true, false, true, true, true, true, false}));
}

TEST_F(EditCommandsTest, APicturePastedFromAnotherProgramIsExportedSavedAndOpenedAgain) {
  // A picture of two colours, 60 x 40 points, on the clipboard as another program puts it.
  QImage picture(60, 40, QImage::Format_RGB32);
  picture.fill(QColor(0, 90, 200));
  for (int y = 0; y < 40; ++y)
    for (int x = 30; x < 60; ++x)
      picture.setPixel(x, y, qRgb(230, 120, 0));
  picture.setDotsPerMeterX(2835);
  picture.setDotsPerMeterY(2835);
  putPngOnClipboard(picture);

  ASSERT_FALSE(ui->Undo_btn->isEnabled());
  menuItem("Edit_menu", "Paste_menu_item")->trigger();
  ASSERT_EQ(document->graphics().size(), 1);
  EXPECT_TRUE(ui->Undo_btn->isEnabled()) << "the paste is an undoable step, as the toolbar says";
  auto image = std::dynamic_pointer_cast<QLNImage>(document->graphics().at(0));
  ASSERT_TRUE(image);
  // Centred on (50, 50 - 40) it would reach above the card: it is moved onto it.
  EXPECT_EQ(image->bounds(), QRectF(20, 0, 60, 40));
  const QString kept = image->FilePath();
  ASSERT_TRUE(QFileInfo(kept).isFile());
  EXPECT_TRUE(kept.startsWith(resourceDir() + QStringLiteral("/PastedImage/")));

  // The export holds the picture where the card shows it.
  const QRectF place = image->bounds();
  const QString exported = root.path() + QStringLiteral("/Card.png");
  ASSERT_TRUE(controller->Export_Single_File(exported, false));
  QImage file;
  ASSERT_TRUE(file.load(exported, "PNG"));
  auto pixelAt = [](const QImage &image, const QRectF &place, double x, double y) {
    return QColor(image.pixel(QPoint(int(place.x() + x), int(place.y() + y))));
  };
  EXPECT_EQ(pixelAt(file, place, 10, 20), QColor(0, 90, 200));
  EXPECT_EQ(pixelAt(file, place, 50, 20), QColor(230, 120, 0));

  // Saved and opened again, the design has it: the object keeps the file's path and
  // its picture comes from the file.
  const QString design = root.path() + QStringLiteral("/Pasted.dcard");
  QString error;
  ASSERT_TRUE(saveDesignLog(design, DesignFiles::currentDesignContents(*controller), &error))
      << error.toStdString();
  std::optional<DesignLogContents> opened = readDesignLogFile(design, &error);
  ASSERT_TRUE(opened) << error.toStdString();
  loadDesignLogPictures(*opened);
  ASSERT_EQ(opened->frontObjects.size(), 1);
  auto reopened = std::dynamic_pointer_cast<QLNImage>(opened->frontObjects.at(0));
  ASSERT_TRUE(reopened);
  EXPECT_EQ(reopened->FilePath(), kept);
  EXPECT_EQ(reopened->bounds(), place);
  ASSERT_FALSE(reopened->_contents.isNull());
  EXPECT_EQ(reopened->_contents.pixels.convertToFormat(QImage::Format_RGB32), picture);
  session->document()->setList(QLNDocumentGraphicsKey, {reopened});
  const QString again = root.path() + QStringLiteral("/Again.png");
  ASSERT_TRUE(controller->Export_Single_File(again, false));
  ASSERT_TRUE(file.load(again, "PNG"));
  EXPECT_EQ(pixelAt(file, place, 50, 20), QColor(230, 120, 0));
}

TEST_F(EditCommandsTest, AfterUndoAndRedoThePanelShowsAndEditsWhatTheCanvasSelects) {
  auto text = std::make_shared<QLNText>();
  text->setBounds(QRectF(10, 10, 120, 30));
  text->text_ctrl_font = FontSpec(QStringLiteral("Helvetica"), 24);
  text->txt_clr = QColor(Qt::red);
  auto ellipse = rect(QRectF(120, 60, 60, 40));
  ellipse->Set_Shape_Type(QStringLiteral("C"));
  ellipse->_isDrawingStroke = true;
  ellipse->_strokeWidth = 7;
  place(QLNDocumentGraphicsKey, {text, ellipse});
  QLNGraphicView *front = controller->frontView();
  // Two steps: the text moves, then the ellipse.
  text->setBounds(QRectF(15, 15, 120, 30));
  QCoreApplication::processEvents();
  ellipse->setBounds(QRectF(110, 70, 60, 40));
  QCoreApplication::processEvents();

  // The text is shown when Undo takes the ellipse's move back: the canvas selects the
  // ellipse, and so does the panel, with its values.
  front->changeSelectionIndexes({0});
  controller->Show_RHS_Properties(text);
  ui->Undo_btn->click();
  EXPECT_EQ(ellipse->bounds(), QRectF(120, 60, 60, 40));
  EXPECT_EQ(front->selectionIndexes(), QLNIndexSet{1});
  EXPECT_EQ(controller->shownGraphic(), ellipse);
  ASSERT_GE(ui->sett_tab->count(), 1);
  EXPECT_EQ(ui->sett_tab->widget(0), ui->shape_tab);
  EXPECT_EQ(ui->sett_tab->tabText(0), QStringLiteral("Ellipse Properties"));
  EXPECT_EQ(ui->shape_bor_Text->text(), QStringLiteral("7"));
  // The shape tab's controls act on the ellipse.
  ui->shape_border_style->setCurrentIndex(1);
  EXPECT_EQ(ellipse->_stroke_border_type, QStringLiteral("DA"));
  EXPECT_EQ(ellipse->_strokeWidth, 7) << "the rest of the tab holds the ellipse's own values";

  // The next Undo selects the text again: the panel shows its 24-point red text, and
  // "Right" aligns it.
  ui->Undo_btn->click();
  EXPECT_EQ(text->bounds(), QRectF(10, 10, 120, 30));
  EXPECT_EQ(front->selectionIndexes(), QLNIndexSet{0});
  EXPECT_EQ(controller->shownGraphic(), text);
  EXPECT_EQ(ui->sett_tab->widget(0), ui->text_edtng_tab);
  EXPECT_EQ(ui->Text_font_value->text(), QStringLiteral("Helvetica ( 24.00 )"));
  EXPECT_EQ(ui->Text_clr->color(), QColor(Qt::red));
  ui->Text_align_combo->setCurrentIndex(ui->Text_align_combo->findText(QStringLiteral("Right")));
  EXPECT_EQ(text->text_alignmnet, 1);
  EXPECT_EQ(ellipse->_stroke_border_type, QStringLiteral("DA"));

  // Redo goes the same way: the text's move, then the ellipse's.
  ui->Redo_btn->click();
  EXPECT_EQ(controller->shownGraphic(), text);
  ui->Redo_btn->click();
  EXPECT_EQ(front->selectionIndexes(), QLNIndexSet{1});
  EXPECT_EQ(controller->shownGraphic(), ellipse);
  EXPECT_EQ(ui->sett_tab->tabText(0), QStringLiteral("Ellipse Properties"));
  EXPECT_EQ(ui->shape_border_style->currentIndex(), 1);

  // A step that changes a value the panel shows, on the object shown: undone, the panel
  // shows the value as it is now, on the tab that was open.
  auto image = std::make_shared<QLNImage>();
  image->setBounds(QRectF(20, 80, 40, 40));
  place(QLNDocumentGraphicsKey, {image});
  front->changeSelectionIndexes({0});
  controller->Show_RHS_Properties(image);
  image->flipHorizontally();
  QCoreApplication::processEvents();
  controller->Show_RHS_Properties(nullptr);
  front->changeSelectionIndexes({0});
  controller->Show_RHS_Properties(image);
  ASSERT_TRUE(ui->Image_FIH_chk->isChecked());
  ui->sett_tab->setCurrentWidget(ui->image_tab);
  ui->Undo_btn->click();
  EXPECT_FALSE(image->_isFlippedHorizontally);
  EXPECT_EQ(controller->shownGraphic(), image);
  EXPECT_FALSE(ui->Image_FIH_chk->isChecked());
  EXPECT_EQ(ui->sett_tab->currentWidget(), ui->image_tab);
}

// Every command that changes the canvas's selection leaves the panel on what the canvas
// selects (its current object when that is selected, else the first one; the card when
// nothing is), and a panel edit reaches that object and nothing else.
TEST_F(EditCommandsTest, AfterEveryCommandThatSelectsThePanelShowsAndEditsWhatTheCanvasSelects) {
  const QString photo = root.path() + QStringLiteral("/photo.png");
  QImage picture(20, 24, QImage::Format_ARGB32);
  picture.fill(Qt::darkGreen);
  ASSERT_TRUE(picture.save(photo, "PNG"));
  const QString templatePath = root.path() + QStringLiteral("/Template.dcard");
  {
    auto saved = std::make_shared<QLNText>();
    saved->setBounds(QRectF(30, 30, 90, 30));
    session->document()->setList(QLNDocumentGraphicsKey, {saved});
    QString error;
    ASSERT_TRUE(saveDesignLog(templatePath, DesignFiles::currentDesignContents(*controller), &error))
        << error.toStdString();
  }
  QLNGraphicView *front = controller->frontView();
  std::shared_ptr<QLNText> old;
  std::shared_ptr<Shape_Control> box;
  auto showOld = [&] { click(front, QPointF(20, 20)); };
  struct Row {
    const char *command;
    std::function<void()> before;
    std::function<void()> run;
  };
  const std::vector<Row> rows = {
      {"profile placing", showOld,
       [&] {
         controller->Front_user_profile.Reset_All_Values();
         controller->Front_user_profile.setValue(User_Profile_Class::NameField, QStringLiteral("Ann"));
         controller->Front_user_profile.setValue(User_Profile_Class::ImageField, photo);
         Fill_User_Profile = true;
         controller->Fill_User_profile_info_front_side();
         Fill_User_Profile = false;
         controller->Refresh_Canvas();
       }},
      {"template opening", showOld,
       [&] { ASSERT_EQ(controller->Read_and_load_design_Log(templatePath, QStringLiteral("T")), 1); }},
      {"paste",
       [&] {
         showOld();
         ui->Copy_btn->click();
       },
       [&] { ui->Paste_btn->click(); }},
      {"delete", showOld, [&] { ui->Delete_btn->click(); }},
      {"select all", [&] { controller->Show_RHS_Properties(nullptr); },
       [&] { menuItem("Edit_menu", "Select_All_menu_item")->trigger(); }},
      {"deselect all", showOld, [&] { menuItem("Edit_menu", "Deselect_All_menu_item")->trigger(); }},
      {"tool", showOld, [&] { ui->Text_Tool_btn->click(); }},
      {"undo",
       [&] {
         box->setBounds(QRectF(150, 70, 60, 40));
         QCoreApplication::processEvents();
         showOld();
       },
       [&] { ui->Undo_btn->click(); }},
      {"redo",
       [&] {
         box->setBounds(QRectF(150, 70, 60, 40));
         QCoreApplication::processEvents();
         ui->Undo_btn->click();
         showOld();
       },
       [&] { ui->Redo_btn->click(); }},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.command);
    old = std::make_shared<QLNText>();
    old->setBounds(QRectF(10, 10, 120, 30));
    old->Text_Value = QStringLiteral("Old");
    box = rect(QRectF(150, 60, 60, 40));
    session->document()->setList(QLNDocumentGraphicsKey, {old, box});
    session->document()->undoManager()->removeAllActions();
    QCoreApplication::processEvents();
    row.before();
    ASSERT_EQ(controller->shownGraphic(), row.command == std::string("select all") ? nullptr : old);
    row.run();
    QCoreApplication::processEvents();

    const QLNGraphicList selected = front->selectedGraphics();
    QLNGraphicPtr expected = front->Selected_Graphic();
    if (!selected.contains(expected))
      expected = selected.value(0);
    auto described = [&](const QLNGraphicPtr &graphic) {
      if (!graphic)
        return std::string("the card");
      const qsizetype index = session->document()->graphics().indexOf(graphic);
      return QStringLiteral("%1 at %2").arg(graphic->className()).arg(index).toStdString();
    };
    EXPECT_TRUE(controller->shownGraphic() == expected) << "the panel shows " << described(controller->shownGraphic())
                                                        << ", the canvas selects " << described(expected);
    if (!expected) {
      EXPECT_EQ(ui->sett_tab->widget(0), ui->card_setting_tab);
      continue;
    }
    const QString kind = expected->className();
    if (kind == QLatin1String("QLNText")) {
      EXPECT_EQ(ui->sett_tab->widget(0), ui->text_edtng_tab);
      ui->Text_align_combo->setCurrentIndex(ui->Text_align_combo->findText(QStringLiteral("Right")));
      EXPECT_EQ(expected->text_alignmnet, 1);
      if (selected.size() == 1) {
        ui->Text_value_Edit->setPlainText(QStringLiteral("Typed"));
        EXPECT_EQ(expected->Text_contents()->string, QStringLiteral("Typed"));
      }
    } else if (kind == QLatin1String("QLNImage")) {
      EXPECT_EQ(ui->sett_tab->widget(1), ui->image_tab);
      ui->Image_FIH_chk->click();
      EXPECT_TRUE(std::static_pointer_cast<QLNImage>(expected)->_isFlippedHorizontally);
    } else {
      EXPECT_EQ(ui->sett_tab->widget(0), ui->shape_tab);
      ui->shape_border_style->setCurrentIndex(1);
      EXPECT_EQ(std::static_pointer_cast<Shape_Control>(expected)->_stroke_border_type, QStringLiteral("DA"));
    }
    if (!selected.contains(old)) {
      EXPECT_EQ(old->Text_contents()->string, QStringLiteral("Old"));
      EXPECT_EQ(old->text_alignmnet, 0);
    }
  }
}

TEST_F(EditCommandsTest, LockAndUnlockSetTheFlagKeepTheSelectionAndShowTheLockTab) {
  auto a = rect(QRectF(20, 20, 40, 30));
  auto b = rect(QRectF(120, 60, 40, 30));
  place(QLNDocumentGraphicsKey, {a, b});
  QLNGraphicView *front = controller->frontView();

  // Nothing selected: the message, with the buttons already set for a locked object.
  scripted.expectAlert();
  ui->Lock_btn->setEnabled(true);
  ui->Lock_btn->click();
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nPlease select a control to Lock.")});
  EXPECT_EQ(editingButtons(), (std::vector<bool>{false, false, false, false, false, false, false, true}));

  front->changeSelectionIndexes({0, 1});
  controller->Show_RHS_Properties(b);
  ui->Lock_btn->click();
  EXPECT_TRUE(a->ctrl_is_locked);
  EXPECT_TRUE(b->ctrl_is_locked);
  EXPECT_EQ(front->selectionIndexes(), (QLNIndexSet{0, 1}));
  EXPECT_EQ(controller->shownGraphic(), b);
  ASSERT_EQ(ui->sett_tab->count(), 1);
  EXPECT_EQ(ui->sett_tab->widget(0), ui->Lock_tab);
  EXPECT_EQ(editingButtons(), (std::vector<bool>{false, false, false, false, false, false, false, true}));

  // A locked selection is neither cut nor sent back.
  scripted.expectAlert();
  controller->Cut_Clicked();
  EXPECT_EQ(document->graphics(), (QLNGraphicList{a, b}));

  ui->Unlock_btn->click();
  EXPECT_FALSE(a->ctrl_is_locked);
  EXPECT_FALSE(b->ctrl_is_locked);
  EXPECT_EQ(front->selectionIndexes(), (QLNIndexSet{0, 1}));
  EXPECT_NE(ui->sett_tab->widget(0), ui->Lock_tab);
  EXPECT_EQ(editingButtons(), (std::vector<bool>{true, true, false, true, true, true, true, false}));

  scripted.clear();
  scripted.expectAlert();
  front->changeSelectionIndexes({});
  controller->Unlock_Clicked();
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nPlease select a control to Unlock.")});
}

TEST_F(EditCommandsTest, SidesSwitchAndTheTempSideSharesTheCurrentSidesObjects) {
  auto front1 = rect(QRectF(10, 10, 20, 20));
  auto back1 = rect(QRectF(30, 30, 20, 20));
  auto back2 = rect(QRectF(60, 60, 20, 20));
  place(QLNDocumentGraphicsKey, {front1});
  place(QLNDocumentGraphicsKey_back, {back1, back2});

  controller->frontView()->changeSelectionIndexes({0});
  controller->Show_RHS_Properties(front1);
  ui->Back_Side_btn->click();
  EXPECT_EQ(ui->Front_back_label->text(), QStringLiteral("Back"));
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(controller->shownSide(), 1);
  EXPECT_EQ(controller->shownGraphic(), nullptr) << "the card tabs after every side change";
  EXPECT_EQ(ui->sett_tab->widget(0), ui->card_setting_tab);

  // The temp side while the back is current: the back's own objects, in order.
  controller->backView()->changeSelectionIndexes({1});
  ui->Temp_Side_btn->click();
  EXPECT_EQ(ui->Front_back_label->text(), QStringLiteral("TEMP"));
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(controller->shownSide(), 2);
  EXPECT_EQ(document->graphics_temp(), (QLNGraphicList{back1, back2}));
  document->graphics_temp().at(1)->_fillColor = Qt::magenta;
  EXPECT_EQ(back2->_fillColor, QColor(Qt::magenta)) << "the same objects, not copies";

  // Commands act on the current side, never on the temp canvas, and not while the temp
  // side hides the current one.
  controller->backView()->changeSelectionIndexes({0});
  controller->Delete_Clicked();
  EXPECT_EQ(document->graphics_back(), (QLNGraphicList{back1, back2}));
  EXPECT_EQ(document->graphics_temp(), (QLNGraphicList{back1, back2}));
  ui->Back_Side_btn->click();
  controller->backView()->changeSelectionIndexes({0});
  controller->Delete_Clicked();
  EXPECT_EQ(document->graphics_back(), QLNGraphicList{back2});

  // The temp side from the front takes the front's objects instead.
  ui->Front_Side_btn->click();
  EXPECT_EQ(ui->Front_back_label->text(), QStringLiteral("Front"));
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_EQ(controller->shownSide(), 0);
  ui->Temp_Side_btn->click();
  EXPECT_EQ(document->graphics_temp(), QLNGraphicList{front1});
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
}

TEST_F(EditCommandsTest, TheEditMenuValidatesWhenItOpensAndItsShortcutsAreTheUsualOnes) {
  place(QLNDocumentGraphicsKey, {rect(QRectF(10, 10, 20, 20)), rect(QRectF(40, 40, 20, 20))});
  QAction *undo = menuItem("Edit_menu", "Undo_menu_item");
  QAction *redo = menuItem("Edit_menu", "Redo_menu_item");
  QAction *copy = menuItem("Edit_menu", "Copy_menu_item");
  QAction *selectAll = menuItem("Edit_menu", "Select_All_menu_item");
  QAction *sameWidth = menuItem("Arrange_menu", "Make_Same_Width_menu_item");
  ASSERT_TRUE(undo && redo && copy && selectAll && sameWidth);
  EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
  EXPECT_EQ(redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
  EXPECT_EQ(copy->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
  EXPECT_EQ(menuItem("Edit_menu", "Cut_menu_item")->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
  EXPECT_EQ(menuItem("Edit_menu", "Paste_menu_item")->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
  EXPECT_EQ(menuItem("Edit_menu", "Delete_menu_item")->shortcut(), QKeySequence(QKeySequence::Delete));
  EXPECT_EQ(selectAll->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));

  auto *edit = ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("Edit_menu"));
  emit edit->aboutToShow();
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
  EXPECT_FALSE(copy->isEnabled()) << "nothing selected";
  emit edit->aboutToHide();

  // Triggered with nothing to act on (a shortcut), a command does nothing.
  sameWidth->trigger();
  EXPECT_TRUE(scripted.requests().empty()) << "the menu item asks before it acts";
  selectAll->trigger();
  EXPECT_EQ(controller->frontView()->selectionIndexes(), (QLNIndexSet{0, 1}));
  emit edit->aboutToShow();
  EXPECT_TRUE(copy->isEnabled());
  emit edit->aboutToHide();
}

TEST_F(EditCommandsTest, SelectAllGivesTheCanvasTheKeysSoThatArrowsNudgeEveryObject) {
  place(QLNDocumentGraphicsKey, {rect(QRectF(10, 10, 20, 20)), rect(QRectF(40, 40, 20, 20))});
  // The keys are in a field of the panel, as after typing the card's name.
  ui->card_name->setFocus();
  ASSERT_EQ(ui->window->focusWidget(), ui->card_name);

  menuItem("Edit_menu", "Select_All_menu_item")->trigger();
  QWidget *keys = ui->window->focusWidget();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys, controller->frontView()) << "the keys stay with a " << keys->metaObject()->className();
  for (int i = 0; i < 3; ++i) {
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(keys, &right);
  }
  EXPECT_EQ(document->graphics().at(0)->bounds(), QRectF(13, 10, 20, 20));
  EXPECT_EQ(document->graphics().at(1)->bounds(), QRectF(43, 40, 20, 20));
}

TEST_F(EditCommandsTest, EveryCommandButtonIsEnabledWithoutANotAvailableTip) {
  for (QToolButton *button :
       {ui->Export_btn, ui->Mail_btn, ui->Print_btn, ui->Batch_Series_btn, ui->Create_Series_btn,
        ui->User_Profile_btn, ui->Import_Wizard_btn}) {
    SCOPED_TRACE(button->objectName().toStdString());
    EXPECT_TRUE(button->isEnabled());
    EXPECT_FALSE(button->toolTip().contains(QStringLiteral("not available")));
  }
  // Saving a template and the grid window exist.
  EXPECT_TRUE(ui->Export_As_Template_btn->isEnabled());
  EXPECT_TRUE(ui->Grid_Settings_btn->isEnabled());
  EXPECT_FALSE(ui->Export_As_Template_btn->toolTip().contains(QStringLiteral("not available")));
  // Help runs the help and support window (its buttons: tests/periphery).
  scripted.answerModal(ModalOK);
  ui->Help_btn->click();
  ASSERT_EQ(scripted.requests().size(), 1u);
  EXPECT_EQ(scripted.requests()[0].text, QStringLiteral("HelpWindow"));
}

TEST_F(EditCommandsTest, TheBackgroundButtonGivesTheCurrentSideAPictureFromTheLibrary) {
  const QString picture = root.path() + QStringLiteral("/backdrop.png");
  QImage image(12, 8, QImage::Format_ARGB32);
  image.fill(Qt::darkGreen);
  ASSERT_TRUE(image.save(picture, "PNG"));
  ASSERT_TRUE(ui->Card_Bckgrnd_btn->isEnabled());

  // Cancelled: the card tabs, and the side keeps its fill.
  const QString fillBefore = controller->Back_card_Prop.Card_BG_Image_Path();
  controller->Select_back_side();
  scripted.answerModal(0);
  ui->Card_Bckgrnd_btn->click();
  EXPECT_EQ(controller->Back_card_Prop.Card_BG_Image_Path(), fillBefore);
  EXPECT_EQ(ui->sett_tab->widget(0), ui->card_setting_tab);

  // A picture chosen in the library becomes the back's image fill, shown on its tab.
  scripted.answerModal([&](QDialog *) {
    Image_Library::defaultInstance()->selected_image = picture;
    return 1;
  });
  ui->Card_Bckgrnd_btn->click();
  EXPECT_EQ(controller->Back_card_Prop.Card_BG_Image_Path(), picture);
  EXPECT_FALSE(controller->Back_card_Prop.Card_BG_Image().isNull());
  EXPECT_TRUE(controller->Front_card_Prop.Card_BG_Image_Path().isEmpty()) << "only the current side";
  EXPECT_TRUE(ui->Card_Image_fill_rd->isChecked());
  EXPECT_FALSE(ui->Card_solid_fill_rd->isChecked());
  EXPECT_EQ(ui->sett_tab->currentWidget(), ui->card_bkgd_tab);
}

// The library applies the picture it shows selected and nothing else: not a picture
// chosen before in the other mode, nor one chosen before and unselected since. The design
// saved before such an OK and after it is the same file.
TEST_F(EditCommandsTest, TheLibraryAppliesOnlyThePictureItShowsSelected) {
  auto savePicture = [&](const QString &relative, Qt::GlobalColor colour) {
    const QString path = Resource_Path + QStringLiteral("/") + relative;
    EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path));
    return path;
  };
  const QString daisy = savePicture(QStringLiteral("LibraryImage/flowers/daisy.png"), Qt::yellow);
  const QString mint = savePicture(QStringLiteral("Background/Mint_Leaves.jpg"), Qt::green);
  const QString sky = savePicture(QStringLiteral("Background/Sky_Clouds.jpg"), Qt::cyan);
  controller->Load_and_fill_backgrounds();
  Image_Library *library = Image_Library::defaultInstance();
  auto indexOf = [&](const QString &path) {
    for (int i = 0; i < library->images.size(); ++i)
      if (library->images.at(i)->path == path)
        return i;
    return -1;
  };
  Project_File_Name = root.path() + QStringLiteral("/Card.dcard");
  auto saved = [&] {
    EXPECT_TRUE(controller->Save_project_file(false, false));
    QFile file(Project_File_Name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  };
  // OK with nothing selected asks for a picture and keeps the window open; Cancel then.
  auto okWithoutSelection = [&](QDialog *dialog) {
    EXPECT_TRUE(library->imageBrowser->selectionIndexes().isEmpty());
    library->OK_btn->click();
    EXPECT_TRUE(dialog->isVisible()) << "OK closed the library with nothing selected";
    if (dialog->isVisible())
      library->Cancel_btn->click();
    return dialog->result();
  };

  // The daisy placed from the library; the Background button's library then shows the
  // backgrounds, none of them selected.
  scripted.answerModal([&](QDialog *dialog) {
    library->imageBrowser->setSelectionIndexes({indexOf(daisy)});
    library->OK_btn->click();
    return dialog->result();
  });
  ui->Image_Library_Tool_btn->click();
  ASSERT_EQ(document->graphics().size(), 1);
  const QByteArray withDaisy = saved();
  scripted.answerModal(okWithoutSelection);
  scripted.expectAlert();
  ui->Card_Bckgrnd_btn->click();
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nPlease select image.")});
  EXPECT_NE(controller->Front_card_Prop.Card_BG_Image_Path(), daisy);
  EXPECT_TRUE(saved() == withDaisy) << "the design changed";
  scripted.clear();

  // Sky_Clouds from the library, then Mint_Leaves in the main window's list: the library
  // shows the card's background, Mint_Leaves, selected; unselected, OK applies nothing.
  scripted.answerModal([&](QDialog *dialog) {
    library->imageBrowser->setSelectionIndexes({indexOf(sky)});
    library->OK_btn->click();
    return dialog->result();
  });
  ui->Card_Bckgrnd_btn->click();
  ASSERT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), sky);
  const int mintRow = int(std::find_if(controller->images.begin(), controller->images.end(),
                                       [&](const auto &item) { return item->path == mint; }) -
                          controller->images.begin());
  ui->imageBrowser->setSelectionIndexes({mintRow});
  ASSERT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), mint);
  const QByteArray withMint = saved();
  scripted.clear();
  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(library->imageBrowser->selectionIndexes(), QList<int>{indexOf(mint)});
    library->imageBrowser->setSelectionIndexes({});
    return okWithoutSelection(dialog);
  });
  scripted.expectAlert();
  ui->Card_Bckgrnd_btn->click();
  EXPECT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), mint);
  EXPECT_TRUE(saved() == withMint) << "the design changed";
}

// The main window's Backgrounds list gives the front side its background: it shows
// selected the front's background, whichever way that was set (the list, the library, a
// picture file, the fill radios, a design opened, a new project), and nothing when the
// front has no background from the list. A side switch changes nothing there.
TEST_F(EditCommandsTest, TheBackgroundsListShowsTheFrontsBackgroundHoweverItWasSet) {
  auto savePicture = [&](const QString &name, Qt::GlobalColor colour) {
    const QString path = Resource_Path + QStringLiteral("/Background/") + name;
    EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path));
    return path;
  };
  const QString mint = savePicture(QStringLiteral("Mint_Leaves.jpg"), Qt::green);
  const QString sky = savePicture(QStringLiteral("Sky_Clouds.jpg"), Qt::cyan);
  controller->Load_and_fill_backgrounds();
  Image_Library *library = Image_Library::defaultInstance();
  auto rowOf = [&](const QString &path) {
    for (int i = 0; i < controller->images.size(); ++i)
      if (controller->images.at(i)->path == path)
        return i;
    return -1;
  };
  // The paths the list shows selected.
  auto listShows = [&] {
    QStringList paths;
    for (int row : ui->imageBrowser->selectionIndexes())
      paths << controller->images.at(row)->path;
    return paths;
  };
  auto fromLibrary = [&](const QString &path) {
    scripted.answerModal([&, path](QDialog *dialog) {
      for (int i = 0; i < library->images.size(); ++i)
        if (library->images.at(i)->path == path)
          library->imageBrowser->setSelectionIndexes({i});
      library->OK_btn->click();
      return dialog->result();
    });
    ui->Card_Bckgrnd_btn->click();
  };

  // The list, then the library: the list follows the library's choice.
  ui->imageBrowser->setSelectionIndexes({rowOf(mint)});
  ASSERT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), mint);
  EXPECT_EQ(listShows(), QStringList{mint});
  fromLibrary(sky);
  ASSERT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), sky);
  EXPECT_EQ(listShows(), QStringList{sky});
  // A click on Mint_Leaves, which the list no longer shows selected, applies it.
  ui->imageBrowser->setSelectionIndexes({rowOf(mint)});
  EXPECT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), mint);
  EXPECT_EQ(listShows(), QStringList{mint});

  // A picture file of the same folder, through the browse button.
  scripted.answerOpenFile(sky);
  ui->Card_Image_Browse_btn->click();
  ASSERT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), sky);
  EXPECT_EQ(listShows(), QStringList{sky});
  // A solid fill: the front has no background picture, the list shows none.
  ui->Card_solid_fill_rd->click();
  ASSERT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("S"));
  EXPECT_TRUE(listShows().isEmpty());
  ui->Card_Image_fill_rd->click();
  EXPECT_EQ(listShows(), QStringList{sky});

  // The back side's background and the side switches leave the list with the front's.
  ui->Back_Side_btn->click();
  EXPECT_EQ(listShows(), QStringList{sky});
  fromLibrary(mint);
  ASSERT_EQ(controller->Back_card_Prop.Card_BG_Image_Path(), mint);
  EXPECT_EQ(listShows(), QStringList{sky});
  ui->Front_Side_btn->click();
  EXPECT_EQ(listShows(), QStringList{sky});

  // A new project has no background; a design opened shows its front's.
  const QString design = root.path() + QStringLiteral("/Sky.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  controller->New_Project();
  EXPECT_TRUE(listShows().isEmpty());
  ASSERT_EQ(controller->Read_and_load_design_Log(design, QStringLiteral("L")), 1);
  EXPECT_EQ(listShows(), QStringList{sky});
}

// Undo covers the front side alone: while the back or the temp side shows, Undo and Redo
// are disabled, and Ctrl+Z or the buttons change nothing on any side.
TEST_F(EditCommandsTest, WhileTheBackOrTempSideShowsUndoAndRedoDoNothingAndShowDisabled) {
  auto a = rect(QRectF(20, 20, 40, 30));
  place(QLNDocumentGraphicsKey, {a});
  place(QLNDocumentGraphicsKey_back, {rect(QRectF(30, 30, 20, 20)), rect(QRectF(60, 60, 20, 20))});
  QAction *undo = menuItem("Edit_menu", "Undo_menu_item");
  QAction *redo = menuItem("Edit_menu", "Redo_menu_item");
  auto *edit = ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("Edit_menu"));
  ASSERT_TRUE(undo && redo && edit);
  auto offered = [&] {
    emit edit->aboutToShow();
    const std::vector<bool> states{ui->Undo_btn->isEnabled(), ui->Redo_btn->isEnabled(), undo->isEnabled(),
                                   redo->isEnabled()};
    emit edit->aboutToHide();
    return states;
  };
  const std::vector<bool> none{false, false, false, false};

  // Copy and paste on the front: an undo step there.
  controller->frontView()->changeSelectionIndexes({0});
  QCoreApplication::processEvents();
  ui->Copy_btn->click();
  ui->Paste_btn->click();
  ASSERT_EQ(document->graphics().size(), 2);
  const QLNGraphicList front = document->graphics();
  QCoreApplication::processEvents();

  // On the back: select all, copy, paste, and undo by every way there is.
  ui->Back_Side_btn->click();
  menuItem("Edit_menu", "Select_All_menu_item")->trigger();
  menuItem("Edit_menu", "Copy_menu_item")->trigger();
  menuItem("Edit_menu", "Paste_menu_item")->trigger();
  ASSERT_EQ(document->graphics_back().size(), 4);
  const QLNGraphicList back = document->graphics_back();
  QCoreApplication::processEvents();
  EXPECT_EQ(offered(), none);
  undo->trigger();
  controller->Undo_Clicked();
  EXPECT_EQ(document->graphics(), front);
  EXPECT_EQ(document->graphics_back(), back);

  // The temp side from the front: the same.
  ui->Front_Side_btn->click();
  EXPECT_TRUE(ui->Undo_btn->isEnabled());
  ui->Temp_Side_btn->click();
  EXPECT_EQ(offered(), none);
  undo->trigger();
  EXPECT_EQ(document->graphics(), front);

  // Back on the front, Undo takes the front's paste back; Redo waits for the front too.
  ui->Front_Side_btn->click();
  ui->Undo_btn->click();
  EXPECT_EQ(document->graphics(), QLNGraphicList{a});
  ui->Back_Side_btn->click();
  EXPECT_EQ(offered(), none);
  redo->trigger();
  controller->Redo_Clicked();
  EXPECT_EQ(document->graphics(), QLNGraphicList{a});
  ui->Front_Side_btn->click();
  EXPECT_EQ(offered(), (std::vector<bool>{true, true, true, true})) << "the placing of the first and the paste";
}

// The temp side shows objects of the current side that the user cannot see there: while
// it shows, every edit, arrange, lock and alignment command is disabled (buttons and
// menu items) and does nothing however it is reached (a menu item's shortcut, the
// command itself), so that no side changes unseen.
TEST_F(EditCommandsTest, WhileTheTempSideShowsTheEditCommandsDoNothingAndShowDisabled) {
  auto a = rect(QRectF(20, 20, 40, 30));
  auto b = rect(QRectF(120, 60, 40, 30));
  b->ctrl_is_locked = true;
  place(QLNDocumentGraphicsKey, {a, b});
  // Card objects on the clipboard, so that Paste would act.
  controller->frontView()->changeSelectionIndexes({0});
  QCoreApplication::processEvents();
  ui->Copy_btn->click();
  ASSERT_TRUE(ui->Paste_btn->isEnabled());
  const int undoSteps = document->undoManager()->undoCount();

  ui->Temp_Side_btn->click();
  ASSERT_EQ(controller->shownSide(), 2);
  ASSERT_EQ(document->graphics_temp(), (QLNGraphicList{a, b}));
  auto *edit = ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("Edit_menu"));
  auto *arrange = ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("Arrange_menu"));
  ASSERT_TRUE(edit && arrange);
  // The menu items that act now, by name.
  auto offered = [&] {
    QStringList names;
    for (QMenu *menu : {edit, arrange}) {
      emit menu->aboutToShow();
      for (QAction *action : menu->actions())
        if (!action->isSeparator() && action->isEnabled())
          names << action->objectName();
      emit menu->aboutToHide();
    }
    return names;
  };
  const std::vector<bool> none(8, false);
  const QRectF aBounds = a->bounds();
  auto nothingChanged = [&] {
    EXPECT_EQ(document->graphics(), (QLNGraphicList{a, b}));
    EXPECT_EQ(document->graphics_temp(), (QLNGraphicList{a, b}));
    EXPECT_EQ(a->bounds(), aBounds);
    EXPECT_FALSE(a->ctrl_is_locked);
    EXPECT_TRUE(b->ctrl_is_locked);
    EXPECT_TRUE(controller->frontView()->selectionIndexes().isEmpty());
    EXPECT_EQ(document->undoManager()->undoCount(), undoSteps);
    EXPECT_TRUE(scripted.requests().empty()) << "a command asked something";
  };

  // Select All and Cut, as the user tried: nothing happens to the front.
  EXPECT_EQ(editingButtons(), none);
  EXPECT_EQ(offered(), QStringList{QStringLiteral("Show_Ruler_menu_item")});
  menuItem("Edit_menu", "Select_All_menu_item")->trigger();
  menuItem("Edit_menu", "Cut_menu_item")->trigger();
  controller->Cut_Clicked();
  nothingChanged();

  // Every other item and command, each reached directly.
  for (QMenu *menu : {edit, arrange})
    for (QAction *action : menu->actions())
      if (!action->isSeparator() && action->objectName() != QLatin1String("Show_Ruler_menu_item")) {
        SCOPED_TRACE(action->objectName().toStdString());
        action->trigger();
        nothingChanged();
      }
  using Command = void (QLNWindowController::*)(QObject *);
  for (Command command :
       {&QLNWindowController::Copy_Clicked, &QLNWindowController::Paste_Clicked, &QLNWindowController::Delete_Clicked,
        &QLNWindowController::Begin_Front_Clicked, &QLNWindowController::Send_Back_Clicked,
        &QLNWindowController::Lock_Clicked, &QLNWindowController::Unlock_Clicked,
        &QLNWindowController::Align_Center_Clicked, &QLNWindowController::Align_Left_Clicked,
        &QLNWindowController::Align_Right_Clicked, &QLNWindowController::Align_Top_Clicked,
        &QLNWindowController::Align_Bottom_Clicked, &QLNWindowController::Align_Horz_Clicked,
        &QLNWindowController::Align_Vert_Clicked, &QLNWindowController::Make_Same_Width_Clicked,
        &QLNWindowController::Make_Same_Height_Clicked, &QLNWindowController::Make_Natural_Clicked,
        &QLNWindowController::Align_To_Grid_Clicked}) {
    (controller->*command)(nullptr);
    nothingChanged();
  }

  // An object clicked on the temp side shows its properties; the commands stay off.
  click(controller->tempView(), QPointF(30, 30));
  ASSERT_EQ(controller->shownGraphic(), a);
  EXPECT_EQ(editingButtons(), none);
  EXPECT_EQ(offered(), QStringList{QStringLiteral("Show_Ruler_menu_item")});
  ui->Align_Left_btn->click();
  ui->Make_Same_Width_btn->click();
  EXPECT_EQ(document->graphics(), (QLNGraphicList{a, b}));
  EXPECT_EQ(a->bounds(), aBounds);
  EXPECT_TRUE(scripted.requests().empty());
  // The clipboard changing meanwhile does not enable Paste.
  putPngOnClipboard(QImage(4, 4, QImage::Format_RGB32));
  EXPECT_FALSE(ui->Paste_btn->isEnabled());

  // Back on the front, the commands act there again.
  ui->Front_Side_btn->click();
  EXPECT_TRUE(ui->Paste_btn->isEnabled());
  menuItem("Edit_menu", "Select_All_menu_item")->trigger();
  EXPECT_EQ(controller->frontView()->selectionIndexes(), (QLNIndexSet{0, 1}));
  EXPECT_TRUE(offered().contains(QStringLiteral("Copy_menu_item")));
}

// A toolbar button is enabled whenever its menu item acts: Paste with another program's
// picture on the clipboard, Unlock with a locked object among the selected ones.
TEST_F(EditCommandsTest, PasteAndUnlockButtonsAreEnabledWheneverTheirMenuItemsAct) {
  QImage picture(30, 20, QImage::Format_RGB32);
  picture.fill(Qt::darkRed);
  putPngOnClipboard(picture);
  EXPECT_TRUE(ui->Paste_btn->isEnabled()) << "the clipboard's picture can be pasted";
  ui->Paste_btn->click();
  EXPECT_EQ(document->graphics().size(), 1);

  // A design with a locked object behind an unlocked one, saved and opened again.
  auto plain = rect(QRectF(20, 20, 40, 30));
  auto locked = rect(QRectF(120, 60, 40, 30));
  locked->ctrl_is_locked = true;
  document->setList(QLNDocumentGraphicsKey, {plain, locked});
  const QString path = root.path() + QStringLiteral("/Locked.dcard");
  Project_File_Name = path;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  ASSERT_EQ(controller->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
  ASSERT_EQ(document->graphics().size(), 2);
  ASSERT_TRUE(document->graphics().at(1)->ctrl_is_locked);

  menuItem("Edit_menu", "Select_All_menu_item")->trigger();
  QCoreApplication::processEvents();
  EXPECT_TRUE(ui->Unlock_btn->isEnabled()) << "Arrange > Unlock unlocks the selection";
  ui->Unlock_btn->click();
  EXPECT_FALSE(document->graphics().at(1)->ctrl_is_locked);
  EXPECT_FALSE(ui->Unlock_btn->isEnabled()) << "nothing selected is locked now";
}
