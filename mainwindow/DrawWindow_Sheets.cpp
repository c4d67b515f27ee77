#include "mainwindow/DrawWindow.h"

#include "mainwindow/DrawWindow_Build.h"
#include "mainwindow/PanelWidgets.h"

#include "platform/UiServices.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>

using namespace drawwindow;

namespace {

QDialog *newDialog(QDialog *dialog, const char *name, const QString &title, QWidget *owner) {
  dialog->setParent(owner, Qt::Dialog);
  dialog->setObjectName(QLatin1String(name));
  dialog->setWindowTitle(title);
  QPalette palette = dialog->palette();
  palette.setColor(QPalette::Window, WindowGround);
  dialog->setPalette(palette);
  dialog->setAutoFillBackground(true);
  return dialog;
}

}  // namespace

void DrawWindow::buildExportSheet() {
  newDialog(MAKE(ExportWindow), "ExportWindow", QStringLiteral("Export"), window);
  panel = ExportWindow;
  auto *layout = new QVBoxLayout(ExportWindow);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->setSpacing(10);
  auto *sidesBox = new QGroupBox(QStringLiteral("Sides"));
  auto *sidesLayout = new QVBoxLayout(sidesBox);
  MAKE(matrix_export_card_side,
       QStringList{QStringLiteral("Both sides"), QStringLiteral("Front side"), QStringLiteral("Back side")},
       Qt::Vertical);
  matrix_export_card_side->selectCellAtRow(1);
  withTip(matrix_export_card_side->cellAtRow(0), "Export the front and the back side");
  withTip(matrix_export_card_side->cellAtRow(1), "Export the front side only");
  withTip(matrix_export_card_side->cellAtRow(2), "Export the back side only");
  sidesLayout->addWidget(matrix_export_card_side);
  MAKE(export_combined_image_chk, QStringLiteral("Both sides in one image"));
  export_combined_image_chk->setEnabled(false);
  withTip(export_combined_image_chk, "Put the front side above the back side in one image");
  sidesLayout->addWidget(export_combined_image_chk);
  auto *typeBox = new QGroupBox(QStringLiteral("File type"));
  auto *typeLayout = new QFormLayout(typeBox);
  const QStringList types{QStringLiteral("TIFF"), QStringLiteral("PNG"), QStringLiteral("JPG"), QStringLiteral("BMP")};
  MAKE(matrix_file_type, types, Qt::Horizontal);
  matrix_file_type->selectCellAtRow(0);
  for (int row = 0; row < types.size(); ++row)
    withTip(matrix_file_type->cellAtRow(row), "Give the files the " + types.at(row) + " type name; each holds a PNG picture");
  typeLayout->addRow(matrix_file_type);
  MAKE(fileFormatPopup);
  fileFormatPopup->addItems(types);
  describe(fileFormatPopup, "File format", "The type name the files are given; each holds a PNG picture");
  typeLayout->addRow(QStringLiteral("Format:"), fileFormatPopup);
  MAKE(saveDPIText);
  saveDPIText->setEditable(true);
  saveDPIText->addItems({QStringLiteral("72"), QStringLiteral("150"), QStringLiteral("300"), QStringLiteral("600")});
  describe(saveDPIText, "Resolution", "Resolution of the images, in dots per inch");
  typeLayout->addRow(QStringLiteral("Resolution:"), saveDPIText);
  auto *batchBox = new QGroupBox(QStringLiteral("Batch"));
  auto *batchLayout = new QVBoxLayout(batchBox);
  MAKE(Export_with_batch_chk, QStringLiteral("One card per row of the bound series"));
  MAKE(Export_with_excel_chk, QStringLiteral("One card per row of the spreadsheet"));
  Export_with_batch_chk->setEnabled(false);
  Export_with_excel_chk->setEnabled(false);
  withTip(Export_with_batch_chk, "Export one card for each value of the series bound to the card");
  withTip(Export_with_excel_chk, "Export one card for each row of the spreadsheet bound to the card");
  batchLayout->addWidget(Export_with_batch_chk);
  batchLayout->addWidget(Export_with_excel_chk);
  layout->addWidget(sidesBox);
  layout->addWidget(typeBox);
  layout->addWidget(batchBox);
  MAKE(exportCancel_btn, QStringLiteral("Cancel"));
  MAKE(exportOkay_btn, QStringLiteral("Export..."));
  exportOkay_btn->setDefault(true);
  withTip(exportCancel_btn, "Close without exporting");
  withTip(exportOkay_btn, "Choose where the images go and export them");
  auto *buttonsRow = new QHBoxLayout;
  buttonsRow->addStretch(1);
  buttonsRow->addWidget(exportCancel_btn);
  buttonsRow->addWidget(exportOkay_btn);
  layout->addLayout(buttonsRow);
  QObject::connect(exportOkay_btn, &QPushButton::clicked, ExportWindow, [this] { exportOkay(); });
  QObject::connect(exportCancel_btn, &QPushButton::clicked, ExportWindow, [this] { exportCancel(); });
}

void DrawWindow::exportOkay() { ExportWindow->done(ModalOK); }

void DrawWindow::exportCancel() { ExportWindow->done(ModalCancel); }

void DrawWindow::buildExportFinishedBox() {
  newDialog(MAKE(Open_Export_Files), "Open_Export_Files", QStringLiteral("Export Finished"), window);
  auto *layout = new QVBoxLayout(Open_Export_Files);
  layout->setContentsMargins(16, 16, 16, 12);
  MAKE(_open_log_message);
  _open_log_message->setWordWrap(true);
  layout->addWidget(_open_log_message);
  MAKE(_open_log_path);
  readOnly(_open_log_path);
  _open_log_path->setMinimumWidth(380);
  describe(_open_log_path, "Exported file", "Where the export was written");
  layout->addWidget(_open_log_path);
  MAKE(_open_log_chk, QStringLiteral("Open exported file."));
  withTip(_open_log_chk, "Open what was exported once this box closes");
  layout->addWidget(_open_log_chk);
  MAKE(_open_log_ok_btn, QStringLiteral("OK"));
  _open_log_ok_btn->setDefault(true);
  withTip(_open_log_ok_btn, "Close this box");
  auto *buttonsRow = new QHBoxLayout;
  buttonsRow->addStretch(1);
  buttonsRow->addWidget(_open_log_ok_btn);
  layout->addLayout(buttonsRow);
  QObject::connect(_open_log_ok_btn, &QPushButton::clicked, Open_Export_Files,
                   [this] { Open_Export_Files->done(ModalOK); });
}

void DrawWindow::buildWaitSheet() {
  newDialog(MAKE(plz_wait_Window), "plz_wait_Window", QStringLiteral("Please Wait"), window);
  plz_wait_Window->setWindowFlag(Qt::WindowCloseButtonHint, false);
  auto *layout = new QVBoxLayout(plz_wait_Window);
  layout->setContentsMargins(24, 20, 24, 20);
  MAKE(modeless_msg_lbl, QStringLiteral("It may take a while, Please wait.."));
  modeless_msg_lbl->setAlignment(Qt::AlignCenter);
  layout->addWidget(modeless_msg_lbl);
  MAKE(plz_wait_progress);
  plz_wait_progress->setRange(0, 0);
  plz_wait_progress->setTextVisible(false);
  plz_wait_progress->setMinimumWidth(280);
  layout->addWidget(plz_wait_progress);
}

// The one-by-one progress window.
void DrawWindow::buildProgressWindow() {
  newDialog(MAKE(Send_Models_Window), "Send_Models_Window", QStringLiteral("Progress"), window);
  Send_Models_Window->setWindowFlag(Qt::WindowCloseButtonHint, false);
  auto *layout = new QVBoxLayout(Send_Models_Window);
  layout->setContentsMargins(20, 16, 20, 14);
  auto *counts = new QHBoxLayout;
  MAKE(_curr_msg_cnt, QStringLiteral("0 / 0 "));
  MAKE(_tot_msg_cnt);
  counts->addWidget(_curr_msg_cnt);
  counts->addStretch(1);
  counts->addWidget(_tot_msg_cnt);
  layout->addLayout(counts);
  MAKE(_Curr_Progress);
  _Curr_Progress->setMinimumWidth(320);
  _Curr_Progress->setTextVisible(false);
  layout->addWidget(_Curr_Progress);
  MAKE(pause_label);
  layout->addWidget(pause_label);
  MAKE(_stop_btn, QStringLiteral("Stop"));
  withTip(_stop_btn, "Stop the work in progress");
  auto *buttonsRow = new QHBoxLayout;
  buttonsRow->addStretch(1);
  buttonsRow->addWidget(_stop_btn);
  layout->addLayout(buttonsRow);
}

// The help and review windows get their contents from their controllers.
void DrawWindow::buildHelpWindow() {
  newDialog(MAKE(HelpWindow), "HelpWindow", QStringLiteral("Help"), window);
  auto *helpLayout = new QVBoxLayout(HelpWindow);
  helpLayout->setContentsMargins(16, 16, 16, 12);
}

void DrawWindow::buildReviewWindow() {
  newDialog(MAKE(Review_Window), "Review_Window", QStringLiteral("Review"), window);
  auto *reviewLayout = new QVBoxLayout(Review_Window);
  reviewLayout->setContentsMargins(16, 16, 16, 12);
}

void DrawWindow::buildTemplateNameWindow() {
  newDialog(MAKE(Export_Template_Window), "Export_Template_Window", QStringLiteral("Save as Template"), window);
  auto *layout = new QVBoxLayout(Export_Template_Window);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->addWidget(new QLabel(QStringLiteral("Template name:")));
  MAKE(template_name);
  template_name->setMinimumWidth(300);
  describe(template_name, "Template name", "The name the template is saved under");
  layout->addWidget(template_name);
  MAKE(template_passed);
  template_passed->hide();
  layout->addWidget(template_passed);
  MAKE(template_cancel_btn, QStringLiteral("Cancel"));
  MAKE(template_ok_btn, QStringLiteral("Save"));
  template_ok_btn->setDefault(true);
  withTip(template_cancel_btn, "Close without saving a template");
  withTip(template_ok_btn, "Save the design as a template under this name");
  auto *buttonsRow = new QHBoxLayout;
  buttonsRow->addStretch(1);
  buttonsRow->addWidget(template_cancel_btn);
  buttonsRow->addWidget(template_ok_btn);
  layout->addLayout(buttonsRow);
  QObject::connect(template_cancel_btn, &QPushButton::clicked, Export_Template_Window,
                   [this] { Export_Template_Window->done(ModalCancel); });
}
