// The main window's edit, arrange, lock and side commands: the edit toolbar and the
// Edit and Arrange menus forward to the canvas of the current side; lock and unlock;
// switching between the front, back and temp sides; the card buttons. The toolbar's
// buttons of the other windows (export, mail, print, series, import, profile, help) are
// connected here; their commands are defined in the folders of those windows.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include "platform/ControlActions.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <exception>
#include <functional>

// ---- Forwarded edit and arrange commands ------------------------------------------------------

void QLNWindowController::Undo_Clicked(QObject *sender) {
  if (!frontSideShows()) {
    Undo_Redo_Button_state();
    return;
  }
  currentView()->undo(sender);
  showSelectionAfterUndoOrRedo();
}

void QLNWindowController::Redo_Clicked(QObject *sender) {
  if (!frontSideShows()) {
    Undo_Redo_Button_state();
    return;
  }
  currentView()->redo(sender);
  showSelectionAfterUndoOrRedo();
}
// These act on the current side's canvas; while the temp side shows, that side is out
// of sight and they do nothing.
void QLNWindowController::Cut_Clicked(QObject *sender) {
  if (!tempSideShows())
    currentView()->cut(sender);
}
void QLNWindowController::Copy_Clicked(QObject *sender) {
  if (!tempSideShows())
    currentView()->copy(sender);
}
void QLNWindowController::Paste_Clicked(QObject *sender) {
  if (!tempSideShows())
    currentView()->paste(sender);
}
void QLNWindowController::Delete_Clicked(QObject *) {
  if (!tempSideShows())
    currentView()->delete_();
}
void QLNWindowController::Begin_Front_Clicked(QObject *sender) {
  if (!tempSideShows())
    currentView()->bringToFront(sender);
}
void QLNWindowController::Send_Back_Clicked(QObject *sender) {
  if (!tempSideShows())
    currentView()->sendToBack(sender);
}

// ---- Lock and unlock ------------------------------------------------------------------------------

namespace {

void setLocked(QLNWindowController &controller, bool locked) {
  if (locked)
    controller.Disable_Standard_Button_For_Lock();
  else
    controller.Enable_Standard_Button_For_Unlock();
  QLNGraphicView *view = controller.currentView();
  const QLNGraphicList selected = view->selectedGraphics();
  if (selected.isEmpty()) {
    Show_MessageBox(locked ? QStringLiteral("Please select a control to Lock.")
                           : QStringLiteral("Please select a control to Unlock."));
    return;
  }
  for (const QLNGraphicPtr &graphic : selected) {
    graphic->ctrl_is_locked = locked;
    view->startEditingGraphic(graphic);
  }
  // Showing the card empties the selection; it is put back before the last object is
  // shown (the lock tab alone for a locked object).
  const QLNIndexSet indexes = view->selectionIndexes();
  controller.Show_RHS_Properties(nullptr);
  view->changeSelectionIndexes(indexes);
  controller.Refresh_Canvas();
  controller.Show_RHS_Properties(selected.last());
}

}  // namespace

void QLNWindowController::Lock_Clicked(QObject *) {
  if (!tempSideShows())
    setLocked(*this, true);
}
void QLNWindowController::Unlock_Clicked(QObject *) {
  if (!tempSideShows())
    setLocked(*this, false);
}

// ---- Card and help ---------------------------------------------------------------------------------

void QLNWindowController::Card_Prop_Clicked(QObject *) { Show_RHS_Properties(nullptr); }

void QLNWindowController::Card_Bckgrnd_Clicked(QObject *) {
  Show_RHS_Properties(nullptr);
  if (Open_Image_Library_Window(QStringLiteral("B")) != 1)
    return;
  controls::setCheckedQuietly(ui->Card_fill_chk, true);
  controls::setCheckedQuietly(ui->Card_Image_fill_rd, true);
  card_prop_set(QStringLiteral("I"));
  if (Card_Front_Or_Back.load() != 0)
    set_Back_BG_Image(lib_window_sel_file);
  else
    set_Front_BG_Image(lib_window_sel_file);
  Update_Card_Graphics();
  ui->sett_tab->setCurrentWidget(ui->card_bkgd_tab);
}

// ---- Sides -----------------------------------------------------------------------------------------

void QLNWindowController::Select_back_side() {
  ui->Front_back_label->setText(QStringLiteral("Back"));
  Card_Front_Or_Back = 1;
  changeViewController(1);
  Show_RHS_Properties(nullptr);
}

void QLNWindowController::Select_temp_design_side() {
  ui->Front_back_label->setText(QStringLiteral("TEMP"));
  changeViewController(2);
  Show_RHS_Properties(nullptr);
}

void QLNWindowController::Temp_Design_Control_Assign() {
  QLNGraphicView *temp = tempView();
  if (!temp->isBoundToGraphics())
    return;
  temp->delete_all_control();
  const QLNGraphicList source = Card_Front_Or_Back.load() != 0 ? Get_Back_Controls_Array() : Get_Front_Controls_Array();
  QLNGraphicView::MutableGraphics list = temp->mutableGraphics();
  for (int i = 0; i < source.size(); ++i)
    list.insertObject(source.at(i), i);
  temp->setNeedsDisplay();
}

void QLNWindowController::Front_Card_Btn_Clicked(QObject *) { Select_front_side(); }
void QLNWindowController::Back_Card_Btn_Clicked(QObject *) { Select_back_side(); }

void QLNWindowController::Temp_Card_Btn_Clicked(QObject *) {
  Select_temp_design_side();
  Temp_Design_Control_Assign();
}

// ---- Buttons and menus ------------------------------------------------------------------------------

void QLNWindowController::onCommandClick(QAbstractButton *button, void (QLNWindowController::*action)(QObject *)) {
  controls::onAction(button, this, [this, button, action] {
    runLoggingFailures(qPrintable(button->objectName()), [&] { (this->*action)(button); });
  });
}

void QLNWindowController::installEditCommands() {

  // The edit toolbar.
  onCommandClick(ui->Undo_btn, &QLNWindowController::Undo_Clicked);
  onCommandClick(ui->Redo_btn, &QLNWindowController::Redo_Clicked);
  onCommandClick(ui->Cut_btn, &QLNWindowController::Cut_Clicked);
  onCommandClick(ui->Copy_btn, &QLNWindowController::Copy_Clicked);
  onCommandClick(ui->Paste_btn, &QLNWindowController::Paste_Clicked);
  onCommandClick(ui->Delete_btn, &QLNWindowController::Delete_Clicked);
  onCommandClick(ui->Begin_Front_btn, &QLNWindowController::Begin_Front_Clicked);
  onCommandClick(ui->Send_Back_btn, &QLNWindowController::Send_Back_Clicked);
  onCommandClick(ui->Lock_btn, &QLNWindowController::Lock_Clicked);
  onCommandClick(ui->Unlock_btn, &QLNWindowController::Unlock_Clicked);
  // The paste button follows the clipboard, whoever writes it.
  if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { Set_Paste_Button_Status(); });
  // The command toolbar and the sides.
  onCommandClick(ui->Card_Prop_btn, &QLNWindowController::Card_Prop_Clicked);
  onCommandClick(ui->Card_Bckgrnd_btn, &QLNWindowController::Card_Bckgrnd_Clicked);
  onCommandClick(ui->Help_btn, &QLNWindowController::Help_Button);
  onCommandClick(ui->Front_Side_btn, &QLNWindowController::Front_Card_Btn_Clicked);
  onCommandClick(ui->Back_Side_btn, &QLNWindowController::Back_Card_Btn_Clicked);
  onCommandClick(ui->Temp_Side_btn, &QLNWindowController::Temp_Card_Btn_Clicked);
  onCommandClick(ui->Print_btn, &QLNWindowController::Print_Button);
  onCommandClick(ui->Batch_Series_btn, &QLNWindowController::Batch_Series_Button);
  onCommandClick(ui->Create_Series_btn, &QLNWindowController::Create_Series_Button);
  onCommandClick(ui->Import_Wizard_btn, &QLNWindowController::Import_Wizard_Button);
  onCommandClick(ui->Mail_btn, &QLNWindowController::Mail_Button);
  onCommandClick(ui->User_Profile_btn, &QLNWindowController::User_Profile_Button_Clicked);

  // Save as Template, the grid window, the template browser and the card size window.
  installTemplateCommands();
  // The Export command and its sheet.
  installExportCommands();

  // The Edit and Arrange menus. An item's state is worked out when its menu opens;
  // while the menu is closed every item stays enabled so that its shortcut reaches the
  // canvas, which then asks the same question before it acts.
  using Command = QLNGraphicView::MenuCommand;
  struct Item {
    const char *objectName;
    QString text;
    QKeySequence shortcut;
    Command command;
    std::function<void(QObject *)> run;
  };
  auto view = [this] { return currentView(); };
  // Whether a menu item acts now: the canvas's answer, except that undo and redo wait
  // for the front side to show (the document's undo covers the front alone), and that
  // while the temp side shows only the rulers' item acts (the others would act on the
  // current side, out of sight).
  auto acts = [this](Command command, QAction *action) {
    if (tempSideShows() && command != Command::ShowOrHideRulers)
      return false;
    if ((command == Command::Undo || command == Command::Redo) && !frontSideShows())
      return false;
    return currentView()->validateMenuItem(command, action);
  };
  const std::vector<Item> editItems = {
      {"Undo_menu_item", QStringLiteral("&Undo"), QKeySequence(QStringLiteral("Ctrl+Z")), Command::Undo,
       [this](QObject *s) { Undo_Clicked(s); }},
      {"Redo_menu_item", QStringLiteral("&Redo"), QKeySequence(QStringLiteral("Ctrl+Shift+Z")), Command::Redo,
       [this](QObject *s) { Redo_Clicked(s); }},
      {nullptr, {}, {}, Command::Other, {}},
      {"Cut_menu_item", QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X")), Command::Cut,
       [this](QObject *s) { Cut_Clicked(s); }},
      {"Copy_menu_item", QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")), Command::Copy,
       [this](QObject *s) { Copy_Clicked(s); }},
      {"Paste_menu_item", QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")), Command::Paste,
       [this](QObject *s) { Paste_Clicked(s); }},
      {"Delete_menu_item", QStringLiteral("&Delete"), QKeySequence(QKeySequence::Delete), Command::Delete,
       [this](QObject *s) { Delete_Clicked(s); }},
      {nullptr, {}, {}, Command::Other, {}},
      {"Select_All_menu_item", QStringLiteral("Select &All"), QKeySequence(QStringLiteral("Ctrl+A")),
       Command::SelectAll,
       [view](QObject *s) {
         view()->selectAll(s);
         // The arrow keys then nudge what is selected.
         view()->setFocus(Qt::OtherFocusReason);
       }},
      {"Deselect_All_menu_item", QStringLiteral("D&eselect All"), QKeySequence(QStringLiteral("Ctrl+Shift+A")),
       Command::Other, [view](QObject *s) { view()->deselectAll(s); }},
  };
  const std::vector<Item> arrangeItems = {
      {"Bring_To_Front_menu_item", QStringLiteral("Bring to &Front"), QKeySequence(QStringLiteral("Ctrl+Shift+F")),
       Command::BringToFront, [this](QObject *s) { Begin_Front_Clicked(s); }},
      {"Send_To_Back_menu_item", QStringLiteral("Send to &Back"), QKeySequence(QStringLiteral("Ctrl+Shift+B")),
       Command::SendToBack, [this](QObject *s) { Send_Back_Clicked(s); }},
      {nullptr, {}, {}, Command::Other, {}},
      {"Align_Left_menu_item", QStringLiteral("Align &Left Edges"), {}, Command::AlignLeft,
       [this](QObject *s) { Align_Left_Clicked(s); }},
      {"Align_Right_menu_item", QStringLiteral("Align &Right Edges"), {}, Command::AlignRight,
       [this](QObject *s) { Align_Right_Clicked(s); }},
      {"Align_Top_menu_item", QStringLiteral("Align &Top Edges"), {}, Command::AlignTop,
       [this](QObject *s) { Align_Top_Clicked(s); }},
      {"Align_Bottom_menu_item", QStringLiteral("Align &Bottom Edges"), {}, Command::AlignBottom,
       [this](QObject *s) { Align_Bottom_Clicked(s); }},
      {"Align_Horz_menu_item", QStringLiteral("Align &Horizontal Centres"), {}, Command::AlignHorizontalCenters,
       [this](QObject *s) { Align_Horz_Clicked(s); }},
      {"Align_Vert_menu_item", QStringLiteral("Align &Vertical Centres"), {}, Command::AlignVerticalCenters,
       [this](QObject *s) { Align_Vert_Clicked(s); }},
      {"Align_Center_menu_item", QStringLiteral("&Centre on Card"), {}, Command::Other,
       [this](QObject *s) { Align_Center_Clicked(s); }},
      {"Align_To_Grid_menu_item", QStringLiteral("Align to &Grid"), {}, Command::AlignWithGrid,
       [this](QObject *s) { Align_To_Grid_Clicked(s); }},
      {nullptr, {}, {}, Command::Other, {}},
      {"Make_Same_Width_menu_item", QStringLiteral("Same &Width"), {}, Command::MakeSameWidth,
       [this](QObject *s) { Make_Same_Width_Clicked(s); }},
      {"Make_Same_Height_menu_item", QStringLiteral("Same H&eight"), {}, Command::MakeSameHeight,
       [this](QObject *s) { Make_Same_Height_Clicked(s); }},
      {"Make_Natural_menu_item", QStringLiteral("&Natural Size"), {}, Command::MakeNaturalSize,
       [this](QObject *s) { Make_Natural_Clicked(s); }},
      {nullptr, {}, {}, Command::Other, {}},
      {"Lock_menu_item", QStringLiteral("Loc&k"), QKeySequence(QStringLiteral("Ctrl+L")), Command::Other,
       [this](QObject *s) { Lock_Clicked(s); }},
      {"Unlock_menu_item", QStringLiteral("Unl&ock"), QKeySequence(QStringLiteral("Ctrl+Shift+L")), Command::Other,
       [this](QObject *s) { Unlock_Clicked(s); }},
      {nullptr, {}, {}, Command::Other, {}},
      {"Show_Ruler_menu_item", QStringLiteral("Hide Ruler"), {}, Command::ShowOrHideRulers,
       [this](QObject *) { ui->Show_Hide_Ruler_chk->toggle(); }},
  };

  QMenuBar *bar = ui->window->menuBar();
  auto addMenu = [&](const QString &title, const char *name, const std::vector<Item> &items) {
    QMenu *menu = bar->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    QList<QPair<QAction *, Command>> validated;
    for (const Item &entry : items) {
      if (!entry.objectName) {
        menu->addSeparator();
        continue;
      }
      QAction *action = menu->addAction(entry.text);
      action->setObjectName(QLatin1String(entry.objectName));
      if (!entry.shortcut.isEmpty())
        action->setShortcut(entry.shortcut);
      const Command command = entry.command;
      const auto run = entry.run;
      connect(action, &QAction::triggered, this, [acts, action, command, run, name = entry.objectName] {
        if (!acts(command, nullptr))
          return;
        runLoggingFailures(name, [&] { run(action); });
      });
      validated.append({action, command});
    }
    connect(menu, &QMenu::aboutToShow, this, [acts, validated] {
      for (const auto &[action, command] : validated)
        action->setEnabled(acts(command, action));
    });
    connect(menu, &QMenu::aboutToHide, this, [validated] {
      for (const auto &entry : validated)
        entry.first->setEnabled(true);
    });
    return menu;
  };
  addMenu(QStringLiteral("&Edit"), "Edit_menu", editItems);
  addMenu(QStringLiteral("&Arrange"), "Arrange_menu", arrangeItems);
  // The Help menu after the others (periphery/QLNWindowController_Help.cpp).
  installHelpCommands();
}

// The alignment tab's alignment, sizing, print and grid controls (made with the objects'
// tabs).
void QLNWindowController::installPanelAlignCommands() {
  onCommandClick(ui->Align_Center_btn, &QLNWindowController::Align_Center_Clicked);
  onCommandClick(ui->Align_Left_btn, &QLNWindowController::Align_Left_Clicked);
  onCommandClick(ui->Align_Right_btn, &QLNWindowController::Align_Right_Clicked);
  onCommandClick(ui->Align_Top_btn, &QLNWindowController::Align_Top_Clicked);
  onCommandClick(ui->Align_Bottom_btn, &QLNWindowController::Align_Bottom_Clicked);
  onCommandClick(ui->Align_Horz_btn, &QLNWindowController::Align_Horz_Clicked);
  onCommandClick(ui->Align_Vert_btn, &QLNWindowController::Align_Vert_Clicked);
  onCommandClick(ui->Make_Same_Width_btn, &QLNWindowController::Make_Same_Width_Clicked);
  onCommandClick(ui->Make_Same_Height_btn, &QLNWindowController::Make_Same_Height_Clicked);
  onCommandClick(ui->Make_Natural_btn, &QLNWindowController::Make_Natural_Clicked);
  onCommandClick(ui->Align_with_grid_btn, &QLNWindowController::Align_To_Grid_Clicked);
  onCommandClick(ui->print_object_chk, &QLNWindowController::Print_object_chk_changed);
  connect(ui->Rotate_slidr, &ValueSlider::doubleValueChanged, this,
          [this] { runLoggingFailures("Rotation", [this] { Rotate_Slider_Changed(ui->Rotate_slidr); }); });
  onCommandClick(ui->Grid_Snap_chk, &QLNWindowController::toggleGridConstraining);
  onCommandClick(ui->Show_hide_grid_chk, &QLNWindowController::Grid_Show_Hide_Changed);
  connect(ui->Grid_clr, &ColorWell::colorChosen, this,
          [this] { runLoggingFailures("Grid colour", [this] { Grid_Clr_Changed(ui->Grid_clr); }); });
  connect(ui->Grid_Space_slidr, &ValueSlider::doubleValueChanged, this,
          [this] { runLoggingFailures("Grid spacing", [this] { Grid_Slider_Changed(ui->Grid_Space_slidr); }); });
  connect(ui->Grid_Settings_btn, &QAbstractButton::clicked, this,
          [this] { runLoggingFailures("Grid_Settings_btn", [this] { toggleGridShowing(); }); });
  // The align-with-grid button is enabled whenever the grid is shown for good.
  // (Not while the temp side shows: the alignment commands are off then.)
  connect(_grid.get(), &QLNGrid::alignWithGridEnabledChanged, ui->Align_with_grid_btn,
          [this](bool enabled) { ui->Align_with_grid_btn->setEnabled(enabled && !tempSideShows()); });
  ui->Align_with_grid_btn->setEnabled(_grid->isAlwaysShown() && !tempSideShows());
}
