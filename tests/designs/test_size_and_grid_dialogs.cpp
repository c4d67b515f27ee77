// The grid window and the card size window: the grid button fills the grid controls from
// the grid, the window holds them while open, their changes reach the grid at once and
// stay after Cancel, and the controls go back to the panel; the card size window lists
// the presets of the chosen category, opens on the card's own shape, sides and size,
// and OK gives the canvases, both sides' settings, the panel and so the saved file the
// chosen size and shape; Cancel puts the card's shape back. The start
// card buttons write the start option and end their window; their Cancel ends the
// program.

#include "tests/designs/design_commands_fixture.h"

#include "designs/Card_Wizard.h"
#include "designs/Grid_Wizard.h"
#include "designs/Start_Card.h"

#include "canvas/QLNGraphicView.h"
#include "mainwindow/PanelWidgets.h"

#include "core/Globals.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace designtest;

namespace {

class SizeAndGridDialogsTest : public DesignCommandsTest {};

}  // namespace

TEST_F(SizeAndGridDialogsTest, TheGridWindowChangesTheGridAtOnceKeepsChangesOnCancelAndGivesTheControlsBack) {
  QLNGrid &grid = *controller->_grid;
  grid.setColor(QColor(10, 20, 30));
  grid.setSpacing(12.0);
  ASSERT_FALSE(grid.isAlwaysShown());
  QWidget *panelPage = ui()->Grid_Opt_box->parentWidget();

  bool heldControls = false;
  QColor wellColour;
  double sliderValue = 0;
  bool optionsEnabled = true;
  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Grid_Wizard"));
    // The controls are in the window, filled from the grid.
    auto *slider = dialog->findChild<ValueSlider *>(QStringLiteral("Grid_Space_slidr"));
    auto *well = dialog->findChild<ColorWell *>(QStringLiteral("Grid_clr"));
    heldControls = slider && well && dialog->findChild<QCheckBox *>(QStringLiteral("Show_hide_grid_chk"));
    if (!heldControls)
      return ModalCancel;
    wellColour = well->color();
    sliderValue = slider->doubleValue();
    optionsEnabled = slider->isEnabled();
    // The user moves the spacing slider, then cancels.
    slider->setDoubleValue(20.0);
    emit slider->doubleValueChanged(20.0);
    dialog->findChild<QPushButton *>(QStringLiteral("Cancel_btn"))->click();
    return dialog->result();
  });
  ui()->Grid_Settings_btn->click();

  ASSERT_TRUE(heldControls);
  EXPECT_EQ(wellColour, QColor(10, 20, 30));
  EXPECT_DOUBLE_EQ(sliderValue, 12.0);
  EXPECT_FALSE(optionsEnabled);
  // The change stays after Cancel and shows the grid, without ticking the check box.
  EXPECT_DOUBLE_EQ(grid.spacing(), 20.0);
  EXPECT_TRUE(grid.isAlwaysShown());
  EXPECT_FALSE(ui()->Show_hide_grid_chk->isChecked());
  // The controls are back in the panel, in their order.
  EXPECT_EQ(ui()->Grid_Opt_box->parentWidget(), panelPage);
  EXPECT_EQ(ui()->Show_hide_grid_chk->parentWidget(), panelPage);
  EXPECT_EQ(ui()->Grid_Snap_chk->parentWidget(), panelPage);
  QLayout *layout = panelPage->layout();
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ(layout->indexOf(ui()->Show_hide_grid_chk) + 1, layout->indexOf(ui()->Grid_Opt_box));
  EXPECT_EQ(layout->indexOf(ui()->Grid_Opt_box) + 1, layout->indexOf(ui()->Grid_Snap_chk));

  // Opened again, the check box turns the grid off and the options with it.
  scripted.answerModal([&](QDialog *dialog) {
    auto *check = dialog->findChild<QCheckBox *>(QStringLiteral("Show_hide_grid_chk"));
    EXPECT_FALSE(check->isChecked() != grid.isAlwaysShown());
    check->click();
    EXPECT_FALSE(dialog->findChild<ValueSlider *>(QStringLiteral("Grid_Space_slidr"))->isEnabled());
    dialog->findChild<QPushButton *>(QStringLiteral("OK_btn"))->click();
    return dialog->result();
  });
  ui()->Grid_Settings_btn->click();
  EXPECT_FALSE(grid.isAlwaysShown());
}

TEST_F(SizeAndGridDialogsTest, TheCardSizeWindowListsTheCategorysPresetsAndSizesTheCanvasesOnOK) {
  QStringList presets;
  QString width, height;
  QString widthAfterOrientation;
  scripted.answerModal([&](QDialog *dialog) {
    Card_Wizard *wizard = Card_Wizard::defaultInstance();
    EXPECT_EQ(wizard->ColList->rowCount(), controller->pvc_card_arry.size());
    // The second category lists its presets and shows the first one's size.
    dialog->findChild<QComboBox *>(QStringLiteral("Category_ComboBox"))->setCurrentIndex(1);
    for (int row = 0; row < wizard->ColList->rowCount(); ++row)
      presets << wizard->ColList->item(row, 0)->text();
    width = wizard->width_Text->text();
    height = wizard->height_Text->text();
    // The orientation alone changes nothing until a preset is chosen again.
    wizard->Preset_ComboBox->setCurrentIndex(1);
    widthAfterOrientation = wizard->width_Text->text();
    wizard->ColList->selectRow(2);
    // A typed width wins over the preset's.
    wizard->width_Text->setText(QStringLiteral("90"));
    wizard->width_Text->setModified(true);
    dialog->findChild<QPushButton *>(QStringLiteral("OK_btn"))->click();
    return dialog->result();
  });
  EXPECT_EQ(controller->Open_Card_Size_Clicked(), 1);

  EXPECT_EQ(presets, controller->paper_card_arry);
  const QSizeF first = controller->Get_My_card_Size(QStringLiteral("Paper Card"), QStringLiteral("H"), 0);
  EXPECT_EQ(width, fieldNumber(first.width()));
  EXPECT_EQ(height, fieldNumber(first.height()));
  EXPECT_EQ(widthAfterOrientation, width);
  const QSizeF third = controller->Get_My_card_Size(QStringLiteral("Paper Card"), QStringLiteral("V"), 2);
  const QSizeF expected(QLNWindowController::MM_to_Points_Convert(90.0f),
                        QLNWindowController::MM_to_Points_Convert(float(third.height())));
  for (QLNGraphicView *view : {controller->frontView(), controller->backView(), controller->tempView()}) {
    EXPECT_NEAR(view->bounds().width(), expected.width(), 1e-3);
    EXPECT_NEAR(view->bounds().height(), expected.height(), 1e-3);
  }
}

TEST_F(SizeAndGridDialogsTest, TheCardSizeWindowOpensOnTheCardAndOKReachesTheSettingsThePanelAndTheFile) {
  // A two-sided standard card (243 x 154 points) made rounded in the panel, saved.
  ASSERT_EQ(controller->frontView()->bounds().size(), QSizeF(243, 154));
  ASSERT_EQ(ui()->Sides_ComboBox->currentIndex(), 0);  // "Two Sided"
  ui()->matrix_card_shape->cellAtRow(1)->click();
  ASSERT_EQ(Card_Shape.load(), 1);
  const QString path = dir.filePath(QStringLiteral("Card.dcard"));
  saveTo(path);
  ASSERT_FALSE(controller->isDesignChanged());

  struct Shown {
    int shape = -1;
    QString sides, category, orientation, width, height;
  };
  const auto shownBy = [](Card_Wizard *wizard) {
    return Shown{wizard->matrix_card_shape->selectedRow(), wizard->Sides_ComboBox->currentText(),
                 wizard->Category_ComboBox->currentText(), wizard->Preset_ComboBox->currentText(),
                 wizard->width_Text->text(), wizard->height_Text->text()};
  };
  Shown opened;
  scripted.answerModal([&](QDialog *) {
    Card_Wizard *wizard = Card_Wizard::defaultInstance();
    opened = shownBy(wizard);
    // CR90, oval, one side.
    wizard->ColList->selectRow(2);
    wizard->matrix_card_shape->cellAtRow(2)->click();
    wizard->Sides_ComboBox->setCurrentIndex(0);
    wizard->OK_btn->click();
    return wizard->window()->result();
  });
  EXPECT_EQ(controller->Open_Card_Size_Clicked(), 1);
  EXPECT_EQ(opened.shape, 1);
  EXPECT_EQ(opened.sides, QStringLiteral("Two-sided"));
  EXPECT_EQ(opened.category, QStringLiteral("PVC Card"));
  EXPECT_EQ(opened.orientation, QStringLiteral("Horizontal"));
  // 85.725 x 54.3278 mm, shown with the fields' two decimals.
  EXPECT_EQ(opened.width, QStringLiteral("85.73"));
  EXPECT_EQ(opened.height, QStringLiteral("54.33"));

  // The canvases, both sides' settings and the panel hold the chosen card.
  const QSizeF millimetres = controller->Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), 2);
  const QSizeF points(QLNWindowController::MM_to_Points_Convert(float(millimetres.width())),
                      QLNWindowController::MM_to_Points_Convert(float(millimetres.height())));
  EXPECT_EQ(controller->frontView()->bounds().size(), points);
  EXPECT_EQ(Card_Shape.load(), 2);
  for (const Card_Property *side : {&controller->Front_card_Prop, &controller->Back_card_Prop}) {
    EXPECT_EQ(side->Card_Size(), points);
    EXPECT_EQ(side->Card_Shape(), QStringLiteral("E"));
    EXPECT_EQ(side->Card_Side(), QStringLiteral("1"));
    EXPECT_EQ(side->Card_Category(), QStringLiteral("PVC Card"));
    EXPECT_EQ(side->Card_Preset(), QStringLiteral("Horizontal"));
    EXPECT_EQ(side->Card_Sub_Category(), QStringLiteral("CR90-Over Sized"));
    EXPECT_EQ(side->Card_Cat_index(), 2);
  }
  EXPECT_NEAR(ui()->width_Stepper->value(), millimetres.width(), 1e-4);
  EXPECT_NEAR(ui()->width_Text->text().toDouble(), millimetres.width(), 1e-3);
  EXPECT_NEAR(ui()->height_Stepper->value(), millimetres.height(), 1e-4);
  EXPECT_NEAR(ui()->height_Text->text().toDouble(), millimetres.height(), 1e-3);
  EXPECT_EQ(ui()->matrix_card_shape->selectedRow(), 2);
  EXPECT_EQ(ui()->Sides_ComboBox->currentIndex(), 1);  // "One Sided"
  EXPECT_EQ(CARD_SIDE_STR, QStringLiteral("1"));
  EXPECT_FALSE(ui()->Back_Side_btn->isEnabled());

  // The design changed; Save writes the new size, and opening the file gives it back.
  EXPECT_TRUE(controller->isDesignChanged());
  scripted.expectAlert();
  click(QStringLiteral("Save_btn"));
  const std::optional<DesignLogContents> file = readDesignLogFile(path);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->front.Card_Size(), points);
  EXPECT_EQ(file->front.Card_Shape(), QStringLiteral("E"));
  controller->SetDocumentCanvasSize(QSizeF(243, 154));
  ASSERT_EQ(controller->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
  EXPECT_EQ(controller->frontView()->bounds().size(), points);

  // The window opens again on the card as it is now.
  scripted.answerModal([&](QDialog *) {
    Card_Wizard *wizard = Card_Wizard::defaultInstance();
    opened = shownBy(wizard);
    const QModelIndexList rows = wizard->ColList->selectionModel()->selectedRows();
    EXPECT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.isEmpty() ? -1 : rows.first().row(), 2);
    wizard->Cancel_btn->click();
    return wizard->window()->result();
  });
  EXPECT_EQ(controller->Open_Card_Size_Clicked(), 0);
  EXPECT_EQ(opened.shape, 2);
  EXPECT_EQ(opened.sides, QStringLiteral("One-sided"));
  EXPECT_EQ(opened.width, QStringLiteral("91.95"));
  EXPECT_EQ(opened.height, QStringLiteral("60.45"));
}

TEST_F(SizeAndGridDialogsTest, OKOnTheCardAsItOpensChangesNothingAndATypedSizeIsTaken) {
  const QString path = dir.filePath(QStringLiteral("Card.dcard"));
  saveTo(path);
  const QByteArray before = readBytes(path);
  scripted.answerModal([](QDialog *dialog) {
    Card_Wizard::defaultInstance()->OK_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(controller->Open_Card_Size_Clicked(), 1);
  EXPECT_EQ(controller->frontView()->bounds().size(), QSizeF(243, 154));
  EXPECT_FALSE(controller->isDesignChanged());
  EXPECT_EQ(readBytes(path), before);

  // A width typed (and not yet left) is the card's new width; the height stays its own.
  scripted.answerModal([](QDialog *dialog) {
    Card_Wizard *wizard = Card_Wizard::defaultInstance();
    wizard->width_Text->setText(QStringLiteral("100"));
    wizard->width_Text->setModified(true);
    wizard->OK_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(controller->Open_Card_Size_Clicked(), 1);
  const double width = QLNWindowController::MM_to_Points_Convert(100.0f);
  EXPECT_EQ(controller->frontView()->bounds().size().width(), width);
  EXPECT_NEAR(controller->frontView()->bounds().size().height(), 154.0, 0.01);
  EXPECT_EQ(controller->Front_card_Prop.Card_Size().width(), width);
  EXPECT_EQ(ui()->width_Stepper->value(), 100.0);
  EXPECT_TRUE(controller->isDesignChanged());
}

TEST_F(SizeAndGridDialogsTest, CancelInTheCardSizeWindowPutsTheShapeBackAndLeavesTheCanvas) {
  const QRectF before = controller->frontView()->bounds();
  Card_Shape = 1;
  int shapeWhenOpened = -1;
  int rowWhenOpened = -1;
  int shapeAfterClick = -1;
  scripted.answerModal([&](QDialog *) {
    Card_Wizard *wizard = Card_Wizard::defaultInstance();
    shapeWhenOpened = Card_Shape;
    rowWhenOpened = wizard->matrix_card_shape->selectedRow();
    wizard->matrix_card_shape->cellAtRow(2)->click();
    shapeAfterClick = Card_Shape;
    wizard->Cancel_btn->click();
    return wizard->window()->result();
  });
  EXPECT_EQ(controller->Open_Card_Size_Clicked(), 0);
  EXPECT_EQ(shapeWhenOpened, 1);
  // The window opens on the card's shape, and Cancel gives the card its shape back.
  EXPECT_EQ(rowWhenOpened, 1);
  EXPECT_EQ(shapeAfterClick, 2);
  EXPECT_EQ(Card_Shape.load(), 1);
  EXPECT_EQ(controller->frontView()->bounds(), before);
}

TEST_F(SizeAndGridDialogsTest, TheStartCardButtonsWriteTheirOptionAndCancelEndsTheProgram) {
  Start_Card buttons(controller);
  QDialog *window = buttons.window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->objectName(), QStringLiteral("Start_Card"));
  for (QPushButton *button : window->findChildren<QPushButton *>()) {
    EXPECT_EQ(button->accessibleName(), button->text()) << button->objectName().toStdString();
    EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
  }

  // Each option button writes its code and ends the window with 1.
  const std::pair<QPushButton *, const char *> options[] = {
      {buttons.Using_Template_btn, "T"}, {buttons.Using_Wizard_btn, "W"}, {buttons.Open_Log_btn, "L"}};
  for (const auto &[button, code] : options) {
    Start_Card_Option = QStringLiteral("x");
    scripted.answerModal([button = button](QDialog *dialog) {
      button->click();
      return dialog->result();
    });
    EXPECT_EQ(buttons.runWindow(), 1) << code;
    EXPECT_EQ(Start_Card_Option, QLatin1String(code));
    EXPECT_FALSE(window->isVisible());
  }

  // OK ends the window with 1 whatever the option, and leaves the option.
  scripted.answerModal([&](QDialog *dialog) {
    buttons.OK_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(buttons.runWindow(), 1);
  EXPECT_EQ(Start_Card_Option, QStringLiteral("L"));

  // Help opens the help file of the resource folder.
  writeBytes(joinPath(Resource_Path, QStringLiteral("Help.pdf")), "%PDF-1.4\n");
  scripted.answerDesktop(true);
  buttons.Help_btn->click();
  ASSERT_FALSE(scripted.requests().empty());
  EXPECT_EQ(scripted.requests().back().kind, ScriptedUi::Kind::Desktop);
  EXPECT_TRUE(scripted.requests().back().text.endsWith(QStringLiteral("/Help.pdf")));
  EXPECT_TRUE(exitStatuses.isEmpty());

  // Cancel, and Escape alike, clear the option, end the window with 0 and end the
  // program with status 0.
  scripted.answerModal([&](QDialog *dialog) {
    buttons.Cancel_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(buttons.runWindow(), 0);
  EXPECT_TRUE(Start_Card_Option.isEmpty());
  EXPECT_EQ(exitStatuses, QList<int>{0});
  Start_Card_Option = QStringLiteral("W");
  scripted.answerModal([&](QDialog *dialog) {
    dialog->reject();
    return dialog->result();
  });
  EXPECT_EQ(buttons.runWindow(), 0);
  EXPECT_TRUE(Start_Card_Option.isEmpty());
  EXPECT_EQ(exitStatuses, (QList<int>{0, 0}));
}
