// The main window's barcode commands: opening the barcode designer for the current
// object (double click on a barcode object, the barcode tab's button) and putting the
// designed barcode into the selected barcode objects of the current side.

#include "mainwindow/QLNWindowController.h"

#include "barcode/Barcode_Gen.h"
#include "canvas/QLNGraphicView.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "core/Utilities.h"
#include "mainwindow/DrawWindow.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QPushButton>

#include <exception>

namespace {

void copyBarcodeSettings(const QLNGraphic &from, QLNGraphic &to) {
  to.linear_or_2d = from.linear_or_2d;
  to.barcode_font_index = from.barcode_font_index;
  to.linear_font_val = from.linear_font_val;
  to.two_d_font_val = from.two_d_font_val;
  to.header_val = from.header_val;
  to.footer_val = from.footer_val;
  to.show_hide_hdr = from.show_hide_hdr;
  to.show_hide_ftr = from.show_hide_ftr;
  to.show_hide_val = from.show_hide_val;
  to.show_val_on_top = from.show_val_on_top;
  to.align_hdr_index = from.align_hdr_index;
  to.align_ftr_index = from.align_ftr_index;
  to.linear_height_val = from.linear_height_val;
  to.linear_width_val = from.linear_width_val;
  to.qr_size_val = from.qr_size_val;
  to.qr_version_index = from.qr_version_index;
  to.qr_ec_index = from.qr_ec_index;
  to.pdf_hgt_val = from.pdf_hgt_val;
  to.pdf_wdt_val = from.pdf_wdt_val;
  to.pdf_ec_val = from.pdf_ec_val;
  to.dm_module_val = from.dm_module_val;
  to.dm_format_index = from.dm_format_index;
  to.dm_encoding_index = from.dm_encoding_index;
  to.hdr_margin_val = from.hdr_margin_val;
  to.ftr_margin_val = from.ftr_margin_val;
  to.val_margin_val = from.val_margin_val;
  to.TB_marging_val = from.TB_marging_val;
  to.LR_margin_val = from.LR_margin_val;
  to.value_font_val = from.value_font_val;
  to.header_font_val = from.header_font_val;
  to.footer_font_val = from.footer_font_val;
  to.barcode_hdr_clr_val = from.barcode_hdr_clr_val;
  to.barcode_ftr_clr_val = from.barcode_ftr_clr_val;
  to.barcode_val_clr_val = from.barcode_val_clr_val;
  to.barcode_back_clr_val = from.barcode_back_clr_val;
  to.barcode_clr_val = from.barcode_clr_val;
  to.dpi_val_index = from.dpi_val_index;
  to.dpi_custom_val = from.dpi_custom_val;
  const auto *fromBarcode = dynamic_cast<const QLNBarcode *>(&from);
  if (auto *toBarcode = dynamic_cast<QLNBarcode *>(&to); fromBarcode && toBarcode) {
    toBarcode->kerning_value_val = fromBarcode->kerning_value_val;
    toBarcode->pdf_row_val = fromBarcode->pdf_row_val;
    toBarcode->pdf_col_val = fromBarcode->pdf_col_val;
  }
}

bool isBarcodeObject(const QLNGraphicPtr &graphic) {
  return graphic && graphic->className() == QLatin1String("QLNBarcode");
}

}  // namespace

void QLNWindowController::Open_Barcode_Window() {
  try {
    QLNGraphicView *view = currentView();
    const QLNGraphicPtr object = view ? view->Selected_Graphic() : QLNGraphicPtr();
    if (!isBarcodeObject(object))
      return;
    Barcode_Gen *designer = Barcode_Gen::sharedInstance();
    QLNGraphic *result = designer->Open_Wnd(object.get());
    // A cancelled edit leaves every object as it was.
    if (!result || designer->lastModalCode() != ModalOK || Barcode_output_image.isNull())
      return;
    Update_Barcode_Graphics(object);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNWindowController::Update_Barcode_Graphics(const QLNGraphicPtr &source) {
  if (Not_Draw_Only_Prop_Change || !source)
    return;
  QLNGraphicView *view = currentView();
  if (!view)
    return;
  const QLNGraphicList selected = view->selectedGraphics();
  if (selected.empty())
    return;
  // The designer's picture at the designer's resolution, once for all objects.
  QString error;
  const PointImage image = Barcode_output_image.toImage(USED_DPI_VALUE, &error);
  // No object trades its barcode for nothing.
  if (image.isNull()) {
    Show_MessageBox(error);
    return;
  }
  const int print = ui->print_object_chk->isChecked() ? 1 : 0;
  bool sourceSelected = false;
  for (const QLNGraphicPtr &graphic : selected) {
    if (!isBarcodeObject(graphic))
      continue;
    graphic->print_object = print;
    if (graphic != source)
      copyBarcodeSettings(*source, *graphic);
    else
      sourceSelected = true;
    graphic->Set_Barcode_image(image);
  }
  // The object the designer was opened on shows its new barcode even when it is not
  // part of the selection.
  if (!sourceSelected)
    source->Set_Barcode_image(image);
  Refresh_Canvas();
}

void QLNWindowController::View_barcode_prop_Button(QObject *) { Open_Barcode_Window(); }

void QLNWindowController::installBarcodeCommands() {
  QPushButton *button = ui->Barcode_Edit_btn;
  const char *const installed = "barcodeCommandInstalled";
  if (!button || button->property(installed).toBool())
    return;
  button->setProperty(installed, true);
  connect(button, &QPushButton::clicked, this, [this, button] { View_barcode_prop_Button(button); });
}
