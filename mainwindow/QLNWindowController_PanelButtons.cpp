// The buttons around the property panel: alignment and sizing of the current side's
// selection, the print check box and the grid controls. The editing buttons' states
// are set with the panel (QLNWindowController_PropertyPanel.cpp).

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"

#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

// ---- Alignment and sizing ----------------------------------------------------------------------------

void QLNWindowController::Align_Center_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->alignformCenter(sender);
  Refresh_Canvas();
}

void QLNWindowController::Align_Left_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->alignLeftEdges(sender);
  Refresh_Canvas();
}

void QLNWindowController::Align_Right_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->alignRightEdges(sender);
  Refresh_Canvas();
}

void QLNWindowController::Align_Top_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->alignTopEdges(sender);
  Refresh_Canvas();
}

void QLNWindowController::Align_Bottom_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->alignBottomEdges(sender);
  Refresh_Canvas();
}

void QLNWindowController::Align_Horz_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->alignHorizontalCenters(sender);
  Refresh_Canvas();
}

void QLNWindowController::Align_Vert_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->alignVerticalCenters(sender);
  Refresh_Canvas();
}

void QLNWindowController::Make_Same_Width_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  QLNGraphicView *view = currentView();
  if (view->selectedGraphics().size() < 2) {
    Show_MessageBox(QStringLiteral("Please select more than one control."));
    return;
  }
  view->makeSameWidth(sender);
  Refresh_Canvas();
}

void QLNWindowController::Make_Same_Height_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  QLNGraphicView *view = currentView();
  if (view->selectedGraphics().size() < 2) {
    Show_MessageBox(QStringLiteral("Please select more than one control."));
    return;
  }
  view->makeSameHeight(sender);
  Refresh_Canvas();
}

void QLNWindowController::Make_Natural_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  currentView()->makeNaturalSize(sender);
  Refresh_Canvas();
}

void QLNWindowController::Align_To_Grid_Clicked(QObject *sender) {
  if (tempSideShows())
    return;
  // A grid shown for good but without a usable spacing cannot align either.
  if (!_grid->isAlwaysShown() || !_grid->canAlign()) {
    Show_MessageBox(QStringLiteral("Please use grid option first."));
    return;
  }
  currentView()->alignWithGrid(sender);
  Refresh_Canvas();
}

// ---- Print flag --------------------------------------------------------------------------------------

void QLNWindowController::Print_object_chk_changed(QObject *) {
  if (tempSideShows())
    return;
  currentView()->print_contol_or_not(ui->print_object_chk->isChecked() ? 1 : 0);
}

// ---- Image rotation ------------------------------------------------------------------------------------

void QLNWindowController::Rotate_Slider_Changed(QObject *) {
  ui->Rotate_slidr_val->setText(fieldNumber(ui->Rotate_slidr->floatValue()));
  Update_Image_Graphics();
}

// ---- Grid ----------------------------------------------------------------------------------------------

void QLNWindowController::toggleGridConstraining(QObject *sender) {
  // From its check box the grid takes the box's state; from anything else it flips.
  _grid->setConstraining(sender == ui->Grid_Snap_chk ? ui->Grid_Snap_chk->isChecked() : !_grid->isConstraining());
}

void QLNWindowController::Grid_Clr_Changed(QObject *) {
  _grid->setColor(ui->Grid_clr->color());
  _grid->setAlwaysShown(true);
}

void QLNWindowController::Grid_Slider_Changed(QObject *) {
  // The spacing is stored without the grid's moment of showing a new spacing: the grid
  // shows for good at once. The slider never goes below its minimum above 0.
  const double spacing = double(ui->Grid_Space_slidr->floatValue());
  if (!(spacing > 0.0))
    return;
  _grid->setSpacing(spacing);
  _grid->setAlwaysShown(true);
}

void QLNWindowController::Grid_Show_Hide_Changed(QObject *) {
  const bool shown = ui->Show_hide_grid_chk->isChecked();
  _grid->setAlwaysShown(shown);
  SetObjEnabled(ui->Grid_Opt_box, shown);
}
