// The main window controller's card base: drawing the current side's base, installing a
// background picture on the front or back side, and the redraw request of the current
// side. The drawing itself is CardBase::drawCardBase (mainwindow/CardBaseDrawing.h),
// which takes the side as an argument; these members pick the side from
// Card_Front_Or_Back.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/CardBaseDrawing.h"
#include "mainwindow/DrawWindow.h"

#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QLineEdit>
#include <QPainter>

void QLNWindowController::Card_Base_Drawing(QPainter *painter, const QRectF &rect) {
  if (!painter || !painter->isActive())
    return;
  const Card_Property &side = Card_Front_Or_Back.load() == 0 ? Front_card_Prop : Back_card_Prop;
  // A stretched picture covers the card canvas, which every side shares.
  const QRectF canvas = frontCanvasBounds();
  CardBase::drawCardBase(*painter, rect, side, Card_Shape.load(), Resource_Path,
                         canvas.isEmpty() ? rect : canvas);
}

namespace {

// Steps 1 to 5 of installing a background; false for an empty path (nothing installed).
bool installBackground(Card_Property &side, QLineEdit *pathField, const QString &path) {
  if (pathField)
    pathField->setText(path);
  if (path.isEmpty())
    return false;
  QString error;
  if (!CardBase::setBackgroundImage(side, path, &error))
    Show_NSLog_Message(error);
  return true;
}

}  // namespace

// The property panel then shows the card tabs, so that they hold the new background;
// callers ask for the redraw.
void QLNWindowController::set_Front_BG_Image(const QString &path) {
  if (installBackground(Front_card_Prop, ui ? ui->Card_Image_path : nullptr, path) && ui)
    Show_RHS_Properties(nullptr);
}

void QLNWindowController::set_Back_BG_Image(const QString &path) {
  if (installBackground(Back_card_Prop, ui ? ui->Card_Image_path : nullptr, path) && ui)
    Show_RHS_Properties(nullptr);
}

void QLNWindowController::Refresh_Canvas() {
  // Batch output is writing row values into the card objects: no redraws meanwhile.
  if (Card_Value_In_Process.load())
    return;
  // Only the front or back canvas: the temp canvas is redrawn by whoever shows it.
  if (QLNGraphicView *view = currentView())
    view->setNeedsDisplay();
}
