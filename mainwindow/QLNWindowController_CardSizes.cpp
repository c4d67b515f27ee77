// Card sizes: the preset sizes of the two card categories, millimetres and points, the
// size fields of the card-size tab and the canvas size of the three canvases.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"

#include "core/QLNDocument.h"

#include <QLineEdit>

#include <array>

namespace {

// A preset in inches, first value by second value (landscape for every PVC card).
struct InchPair {
  float first;
  float second;
};

// Index-aligned with pvc_card_arry and paper_card_arry. Index 7 of the PVC column has no
// name in the list and gives the value of an index outside it.
constexpr std::array<InchPair, 8> PvcInches = {{{3.37f, 2.13f},
                                                {3.31f, 2.06f},
                                                {3.62f, 2.38f},
                                                {3.88f, 2.62f},
                                                {3.5f, 1.75f},
                                                {3.25f, 2.34f},
                                                {2.88f, 2.12f},
                                                {30.0f, 30.0f}}};
constexpr std::array<InchPair, 8> PaperInches = {{{2.36f, 1.58f},
                                                  {2.95f, 1.58f},
                                                  {2.95f, 1.58f},
                                                  {3.54f, 2.13f},
                                                  {3.54f, 2.36f},
                                                  {2.36f, 3.54f},
                                                  {3.94f, 4.09f},
                                                  {5.91f, 4.96f}}};
constexpr InchPair OutsideTheList = {30.0f, 30.0f};
constexpr double MillimetresPerInch = 25.4;

}  // namespace

QSizeF QLNWindowController::Get_My_card_Size(const QString &category, const QString &preset, qint32 list_index) const {
  const auto &column = category == QStringLiteral("PVC Card") ? PvcInches : PaperInches;
  InchPair pair = list_index >= 0 && list_index < qint32(column.size()) ? column[size_t(list_index)] : OutsideTheList;
  // No row chosen (-1) leaves the pair as it stands: 30 by 30 millimetres.
  if (list_index != -1) {
    pair.first = float(double(pair.first) * MillimetresPerInch);
    pair.second = float(double(pair.second) * MillimetresPerInch);
  }
  if (preset == QStringLiteral("V"))
    return QSizeF(pair.second, pair.first);
  return QSizeF(pair.first, pair.second);
}

void QLNWindowController::Set_Card_Size_In_Control(const QSizeF &millimetres) {
  const float width = float(millimetres.width());
  const float height = float(millimetres.height());
  ui->width_Stepper->setValue(width);
  ui->width_Text->setText(QString::number(width));
  ui->height_Stepper->setValue(height);
  ui->height_Text->setText(QString::number(height));
}

void QLNWindowController::Set_Document_Size(const QSizeF &size) {
  // The document keeps no canvas size: asking it changes nothing.
  QLNDocument::canvasSize(false, size);
}

void QLNWindowController::SetDocumentCanvasSize(const QSizeF &size) {
  for (QLNGraphicView *view : {frontView(), backView(), tempView()})
    view->setCanvasSize(QSizeF(0, 0));
  Refresh_Canvas();
  for (QLNGraphicView *view : {frontView(), backView(), tempView()})
    view->setCanvasSize(size);
  Refresh_Canvas();
}

float QLNWindowController::Points_to_MM_Convert(float points) { return float(double(points) * 0.3527777777778); }

float QLNWindowController::MM_to_Points_Convert(float millimetres) {
  return float(double(millimetres) * 2.834645669291);
}
