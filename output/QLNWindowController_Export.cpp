// Card export as the main window runs it: the Export command and its sheet, the single
// export of the design as it is, and the batch of one card per data row written on
// worker threads while the progress window shows how far it got.

#include "mainwindow/QLNWindowController.h"

#include "output/CardExport.h"
#include "output/Open_Export_Log.h"
#include "output/Send_Modeless.h"

#include "dataseries/BatchCardSource.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNRenderingView.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/MainThread.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <exception>
#include <functional>
#include <memory>

namespace {

const QString BothSides = QStringLiteral("BOTH");
const QString FrontSide = QStringLiteral("F");
const QString BackSide = QStringLiteral("B");

// One batch while it runs: the engine and what the end needs. A child of the
// controller; destroying it (with the controller) stops the workers and waits for them.
// The GUI thread looks at the engine every few milliseconds and runs `end` once it has
// finished: nothing crosses from the workers to the GUI thread but the engine's own
// atomic state, and the workers are joined before the end reads their results.
class CardExportRun : public QObject {
public:
  CardExportRun(QObject *parent, std::unique_ptr<CardExport::BatchEngine> engine, int savedSide)
      : QObject(parent), engine(std::move(engine)), savedSide(savedSide) {
    setObjectName(QStringLiteral("CardExportRun"));
    m_poll.setInterval(PollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, [this] {
      if (!this->engine->isFinished())
        return;
      m_poll.stop();
      this->engine->wait();
      if (end)
        end();
    });
  }
  ~CardExportRun() override {
    if (engine) {
      engine->requestStop();
      engine->wait();
    }
  }
  void start(const std::atomic<bool> *stop) {
    engine->start(stop);
    m_poll.start();
  }
  std::unique_ptr<CardExport::BatchEngine> engine;
  int savedSide;
  std::function<void()> end;
  static constexpr int PollIntervalMs = 20;

private:
  QTimer m_poll;
};

// The export sheet's side as export_card_side names it.
QString sideOfRow(int row) {
  if (row == 0)
    return BothSides;
  return row == 1 ? FrontSide : BackSide;
}

}  // namespace

// ---- Paths ------------------------------------------------------------------------------------------

QString QLNWindowController::Create_Front_Card_Path(const QString &path) { return CardExport::Create_Front_Card_Path(path); }
QString QLNWindowController::Create_Back_Card_Path(const QString &path) { return CardExport::Create_Back_Card_Path(path); }

// ---- The export sheet -----------------------------------------------------------------------------

void QLNWindowController::export_card_side_CellClick(QObject *) {
  const int row = ui->matrix_export_card_side->selectedRow();
  export_card_side = sideOfRow(row);
  // The combined box keeps its state while disabled.
  ui->export_combined_image_chk->setEnabled(row == 0);
  Show_NSLog_Message(QStringLiteral("Export side: %1").arg(export_card_side));
}

void QLNWindowController::export_file_type_CellClick(QObject *) {
  const int row = ui->matrix_file_type->selectedRow();
  if (row >= 0 && row < ui->fileFormatPopup->count())
    ui->fileFormatPopup->setCurrentIndex(row);
}

void QLNWindowController::exportFileTypeChanged(QObject *) {
  // Every type is written as PNG data at the chosen resolution, so the resolution box
  // stays enabled whatever the type; the type matrix follows the popup.
  ui->matrix_file_type->selectCellAtRow(ui->fileFormatPopup->currentIndex());
}

void QLNWindowController::Export_Button(QObject *) {
  if (isExportRunning())
    return;
  // The sheet as every export starts.
  ui->saveDPIText->setCurrentIndex(0);
  ui->saveDPIText->setEnabled(true);
  ui->matrix_file_type->selectCellAtRow(0);
  ui->fileFormatPopup->setCurrentIndex(0);
  ui->export_combined_image_chk->setChecked(false);
  ui->matrix_export_card_side->selectCellAtRow(1);
  ui->export_combined_image_chk->setEnabled(false);
  export_card_side = FrontSide;

  Check_Series_Or_Excel_Use_or_not();
  const bool series = Use_Data_Sheet_Values.load() != 0;
  const bool spreadsheet = Use_Excel_Binding_Values.load() != 0;
  ui->Export_with_batch_chk->setEnabled(series);
  ui->Export_with_batch_chk->setChecked(series);
  ui->Export_with_excel_chk->setEnabled(spreadsheet);
  ui->Export_with_excel_chk->setChecked(spreadsheet);

  if (UiServices::instance().runModal(ui->ExportWindow) == ModalCancel)
    return;
  ui->ExportWindow->hide();

  // Every input of the export, read now.
  const double dpi = CardExport::parseResolution(ui->saveDPIText->currentText());
  if (dpi <= 0) {
    Show_MessageBox(QStringLiteral("Please enter a resolution from %1 to %2 dots per inch.")
                        .arg(CardExport::MinDpi)
                        .arg(CardExport::MaxDpi));
    return;
  }
  exportDpi = dpi;
  if (!ui->Export_with_batch_chk->isChecked())
    Use_Data_Sheet_Values = 0;
  if (!ui->Export_with_excel_chk->isChecked())
    Use_Excel_Binding_Values = 0;
  Get_total_Card_count();
  const QString extension = ui->fileFormatPopup->currentText();

  if (Use_Data_Sheet_Values.load() == 0 && Use_Excel_Binding_Values.load() == 0) {
    FilePanelOptions options;
    options.title = QStringLiteral("Export");
    options.extensions = {extension};
    options.defaultExtension = extension;
    options.suggestedName = QStringLiteral("Card.") + extension;
    // The back alone is written under the name with "_Back" added, and asked about there
    // (Export_Single_File): nothing is written under the name itself.
    options.askToReplace = export_card_side != BackSide;
    const QString path = UiServices::instance().saveFile(options);
    if (path.isEmpty())
      return;
    ui->window->raise();
    ui->window->activateWindow();
    Export_Single_File(path, true);
    return;
  }
  FilePanelOptions options;
  options.title = QStringLiteral("Choose the folder for the cards");
  const QString folder = UiServices::instance().chooseFolder(options);
  if (folder.isEmpty())
    return;
  Export_Batch_File(folder);
}

// ---- Single export ------------------------------------------------------------------------------

namespace {

// The side's image of the design as it is, at `dpi`; null with the reason logged.
PointImage designSideImage(const QLNGraphicList &objects, double dpi) {
  QString error;
  const CardPicture picture = QLNRenderingView::image_From_Card_Graphics(objects, false, &error);
  if (picture.isNull()) {
    Show_NSLog_Message(error);
    return PointImage();
  }
  const PointImage image = picture.toImage(dpi, &error);
  if (image.isNull())
    Show_NSLog_Message(error);
  return image;
}

}  // namespace

bool QLNWindowController::Export_File_Function(const QString &path, const PointImage &original, bool show_msg) {
  try {
    if (!Save_gen_image(original, path))
      return false;
    if (show_msg) {
      Export_File_Path = path;
      Export_File_Message = CardExport::ExportedMessage;
      MainThread::runAndWait([this] { Open_Export_File_Box(); });
    }
    return true;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return false;
  }
}

bool QLNWindowController::Export_Combined_Image(const PointImage &front, const PointImage &back, const QString &path,
                                                bool show_msg) {
  QString error;
  const PointImage both = CardExport::combinedImage(front, back, &error);
  if (both.isNull()) {
    // Told as a file that cannot be written is: the path, then what went wrong.
    Show_NSLog_Message(error);
    Show_MessageBox(path);
    Show_MessageBox(QStringLiteral("The combined image of both sides could not be drawn."));
    return false;
  }
  return Export_File_Function(path, both, show_msg);
}

bool QLNWindowController::Export_Single_File(const QString &path, bool show_msg) {
  const int savedSide = Card_Front_Or_Back.load();
  bool written = false;
  try {
    const bool combined = ui->export_combined_image_chk->isChecked();
    // The save panel asks about the typed name only (not at all for the back alone); a
    // back file of that name is asked about here, before anything is written. No ends
    // the export.
    if (export_card_side != FrontSide && !(export_card_side == BothSides && combined)) {
      const QFileInfo backFile(Create_Back_Card_Path(path));
      if (backFile.exists() && !backFile.isDir() &&
          !Show_YES_NO_MessageBox(
              QStringLiteral("\"%1\" already exists. Do you want to replace it?").arg(backFile.fileName()))) {
        Card_Front_Or_Back = savedSide;
        return false;
      }
    }
    if (export_card_side == BothSides) {
      Card_Front_Or_Back = 1;
      const PointImage back = designSideImage(Get_Back_Controls_Array(), exportDpi);
      bool backWritten = true;
      if (!combined)
        backWritten = Export_File_Function(Create_Back_Card_Path(path), back, false);
      Card_Front_Or_Back = 0;
      const PointImage front = designSideImage(Get_Front_Controls_Array(), exportDpi);
      // Each side is tried, each failure told; the report comes only when both files are there.
      if (combined)
        written = Export_Combined_Image(front, back, Create_Front_Card_Path(path), show_msg);
      else
        written = Export_File_Function(Create_Front_Card_Path(path), front, show_msg && backWritten) && backWritten;
    } else if (export_card_side == FrontSide) {
      Card_Front_Or_Back = 0;
      written = Export_File_Function(Create_Front_Card_Path(path),
                                     designSideImage(Get_Front_Controls_Array(), exportDpi), show_msg);
    } else {
      Card_Front_Or_Back = 1;
      written = Export_File_Function(Create_Back_Card_Path(path), designSideImage(Get_Back_Controls_Array(), exportDpi),
                                     show_msg);
    }
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    written = false;
  }
  Card_Front_Or_Back = savedSide;
  return written;
}

// ---- Batch export ---------------------------------------------------------------------------------

bool QLNWindowController::isExportRunning() const {
  // Found by name: the class has no meta-object of its own to be told apart by.
  return findChild<QObject *>(QStringLiteral("CardExportRun"), Qt::FindDirectChildrenOnly) != nullptr;
}

void QLNWindowController::Export_Batch_File(const QString &chosenFolder) {
  if (isExportRunning())
    return;
  Card_Value_In_Process = true;
  const int savedSide = Card_Front_Or_Back.load();
  Stop_SMS_Sending_Now = false;

  const QString folder = CardExport::batchFolder(chosenFolder);
  QString error;
  if (!CardExport::makeBatchFolder(folder, &error)) {
    Show_NSLog_Message(error);
    Show_MessageBox(CardExport::unable_saving_Msg);
    Card_Value_In_Process = false;
    Card_Front_Or_Back = savedSide;
    return;
  }

  CardExport::Options options;
  options.side = export_card_side;
  options.combined = ui->export_combined_image_chk->isChecked();
  options.extension = ui->fileFormatPopup->currentText();
  options.dpi = exportDpi;
  const std::shared_ptr<const BatchCardSource> run = batchCardSource();
  const int count = run ? run->cardCount() : 0;
  auto unheld = std::make_shared<BatchRunFailures>();
  auto engine =
      std::make_unique<CardExport::BatchEngine>(CardExport::sideMakerOf(run, unheld), count, folder, options);

  Send_Modeless *progress = Send_Modeless::forController(*this);
  if (!send_modls_wnd)
    send_modls_wnd = progress;
  progress->beginRun(count, QStringLiteral("Card"));
  Show_One_By_One_Modeless();
  progress->startTimerThread();

  auto *holder = new CardExportRun(this, std::move(engine), savedSide);
  holder->engine->onProgress = [](int finished) { curr_barcode_count = finished; };
  holder->end = [this, holder, unheld] {
    const CardExport::BatchEngine &done = *holder->engine;
    Send_Modeless *progress = Send_Modeless::forController(*this);
    progress->stopTimerThread();
    curr_barcode_count = done.finishedInOrder();
    progress->update_sending_progress_bar();
    Hide_One_By_One_Modeless();
    Export_File_Path = done.folder();
    if (done.failures().isEmpty()) {
      Export_File_Message = CardExport::ExportedMessage;
    } else {
      Export_File_Message = QStringLiteral("%1 of %2 cards have been exported.\n\n%3")
                                .arg(done.finishedInOrder() - done.failures().count())
                                .arg(done.cardCount())
                                .arg(done.failures().message());
      Show_NSLog_Message(Export_File_Message);
    }
    const QString note = unheld->unheldBarcodesMessage();
    if (!note.isEmpty())
      Export_File_Message += QStringLiteral("\n\n") + note;
    const int side = holder->savedSide;
    // The run is over for everyone from here on; the object goes once this call returns.
    holder->setParent(nullptr);
    holder->deleteLater();
    Select_first_row_value_for_design(false);
    Card_Front_Or_Back = side;
    Open_Export_File_Box();
  };
  holder->start(&Stop_SMS_Sending_Now);
}

// ---- Commands -------------------------------------------------------------------------------------

void QLNWindowController::installExportCommands() {
  static const char *const Installed = "amendsExportCommandsInstalled";
  if (property(Installed).toBool())
    return;
  setProperty(Installed, true);
  Open_Export_Log::forController(*this);
  ui->Export_btn->setEnabled(true);
  connect(ui->Export_btn, &QAbstractButton::clicked, this,
          [this] { runLoggingFailures("Export_btn", [this] { Export_Button(ui->Export_btn); }); });
  connect(ui->matrix_export_card_side, &RadioMatrix::cellClicked, this, [this] {
    runLoggingFailures("matrix_export_card_side", [this] { export_card_side_CellClick(ui->matrix_export_card_side); });
  });
  connect(ui->matrix_file_type, &RadioMatrix::cellClicked, this, [this] {
    runLoggingFailures("matrix_file_type", [this] { export_file_type_CellClick(ui->matrix_file_type); });
  });
  connect(ui->fileFormatPopup, &QComboBox::currentIndexChanged, this, [this] {
    runLoggingFailures("fileFormatPopup", [this] { exportFileTypeChanged(ui->fileFormatPopup); });
  });
}
