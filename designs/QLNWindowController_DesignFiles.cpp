// Saving and opening design logs, and the main window's title that names the open one.
// The file format itself is designs/model/DesignLog.h.

#include "mainwindow/QLNWindowController.h"

#include "dataseries/Data_From_Excel.h"
#include "designs/DesignFileSupport.h"
#include "designs/model/DesignLog.h"

#include "mainwindow/DrawWindow.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QMainWindow>
#include <QSignalBlocker>

#include <exception>
#include <optional>

namespace DesignFiles {

DesignLogContents currentDesignContents(QLNWindowController &controller) {
  clearUnusedBackgroundPath(controller.Front_card_Prop);
  clearUnusedBackgroundPath(controller.Back_card_Prop);
  DesignLogContents contents;
  contents.front = controller.Front_card_Prop;
  contents.back = controller.Back_card_Prop;
  contents.excelBindingUse = Excel_Binding_Use;
  contents.excelSourcePath = Excel_Source_Path;
  const ImportedRowsTable &grid = Data_From_Excel::defaultInstance()->table();
  contents.gridColumnTitles = grid.columnTitles();
  contents.gridRows = grid.rows;
  contents.gridColumnNames = grid.columnNames;
  contents.frontObjects = controller.Get_Front_Controls_Array();
  contents.backObjects = controller.Get_Back_Controls_Array();
  return contents;
}

}  // namespace DesignFiles

namespace {

const QString SavedMessage = QStringLiteral("Greeting Card Design Log has been saved successfully.");
const QString SaveFailedMessage = QStringLiteral("fail");
const QString CorruptFileMessage = QStringLiteral("File is corrupt and cannot be opened.");
const QString PictureFill = QStringLiteral("I");
const QString DesignLogMode = QStringLiteral("L");

QString reasonOf(const std::exception &error) { return QString::fromUtf8(error.what()); }

bool hasPictureFill(const Card_Property &side) {
  return side.Card_fill_chk() && side.Card_fill_style() == PictureFill;
}

// The card shape of a side's shape code: "RR" rounded, "E" oval, any other a rectangle.
int cardShapeOfCode(const QString &code) {
  if (code == QLatin1String("RR"))
    return 1;
  if (code == QLatin1String("E"))
    return 2;
  return 0;
}

}  // namespace

void QLNWindowController::Set_Log_Name_In_Title() {
  const QFileInfo file(Project_File_Name);
  if (!Project_File_Name.isEmpty() && file.exists())
    ui->window->setWindowTitle(QStringLiteral("%1 ( %2 )").arg(App_Name(), file.fileName()));
  else
    ui->window->setWindowTitle(App_Name());
}

bool QLNWindowController::Save_project_file(bool save_as, bool show_msg, QString *failure) {
  const QString remembered = Project_File_Name;
  if (save_as)
    Project_File_Name = QString();
  Project_File_Name = Trim_Str(Project_File_Name);

  if (Project_File_Name.isEmpty()) {
    FilePanelOptions options;
    options.title = QStringLiteral("Save Design");
    options.extensions = {design_file_EXT};
    options.defaultExtension = design_file_EXT;
    const QString chosen = UiServices::instance().saveFile(options);
    if (chosen.isEmpty()) {
      // Cancelled: nothing is written and nothing is shown.
      Project_File_Name = remembered;
      return false;
    }
    ui->window->raise();
    ui->window->activateWindow();
    Project_File_Name = chosen;
  }

  // A side whose fill is not a picture keeps no picture path once saved.
  bool saved = false;
  QString error;
  try {
    const DesignLogContents contents = DesignFiles::currentDesignContents(*this);
    // Whole or nothing: the file that was there stays as it was unless the whole new
    // one is written.
    saved = saveDesignLog(Project_File_Name, contents, &error);
  } catch (const std::exception &exception) {
    error = reasonOf(exception);
  } catch (...) {
    error = QStringLiteral("unknown error");
  }
  const QString triedPath = Project_File_Name;
  if (saved)
    markDesignUnchanged();
  if (!saved) {
    Show_NSLog_Message(QStringLiteral("The design log %1 was not saved: %2").arg(triedPath, error));
    // The design still belongs to the file it had, which is unchanged.
    Project_File_Name = remembered;
    if (failure)
      *failure = QStringLiteral("The design could not be saved to \"%1\" (%2)")
                     .arg(triedPath, error.isEmpty() ? QStringLiteral("unknown error") : error);
  }

  if (show_msg) {
    // A caller that asked for the failure says it in its own message.
    if (saved || !failure)
      Show_MessageBox(saved ? SavedMessage : SaveFailedMessage);
    Set_Log_Name_In_Title();
  }
  return saved;
}

int QLNWindowController::Read_and_load_design_Log(const QString &path, const QString &log_or_template) {
  // The whole file is read and checked, every card object archive decoded and every
  // picture loaded, before anything of the current design changes.
  QString error;
  std::optional<DesignLogContents> contents;
  try {
    contents = readDesignLogFile(path, &error);
    if (contents)
      loadDesignLogPictures(*contents);
  } catch (const std::exception &exception) {
    contents.reset();
    error = reasonOf(exception);
  }
  if (!contents) {
    Show_NSLog_Message(QStringLiteral("The design log %1 is refused: %2").arg(path, error));
    Show_MessageBox(CorruptFileMessage);
    return 0;
  }

  try {
    // Undo registration is off and the property updates do nothing until the design is
    // in place; both are put back however the loading ends.
    DesignFiles::UndoRegistrationPause undoPause(m_document);
    PropertyFillGuard fill;

    New_Project_Setting_Reset();
    // The property panel's tabs go until the design is in place; the reset emptied both
    // sides.
    Remove_All_Tab_Items();

    // The front side's settings, and its size for the document and the canvases.
    Front_card_Prop = contents->front;
    const QSizeF canvasSize = DesignFiles::canvasSizeForStoredSize(Front_card_Prop.Card_Size());
    Set_Card_Size_In_Control(QSizeF(Points_to_MM_Convert(float(canvasSize.width())),
                                    Points_to_MM_Convert(float(canvasSize.height()))));
    Set_Document_Size(canvasSize);
    SetDocumentCanvasSize(canvasSize);
    // The back side's settings; its size changes nothing else.
    Back_card_Prop = contents->back;
    // The card's shape and number of sides, as the front's settings keep them: the
    // canvases, the export and the panel take them from the global shape and the sides
    // list.
    Card_Shape = cardShapeOfCode(Front_card_Prop.Card_Shape());
    {
      const QSignalBlocker quiet(ui->Sides_ComboBox);
      ui->Sides_ComboBox->setCurrentIndex(Front_card_Prop.Card_Side() == QLatin1String("1") ? 1 : 0);
    }
    comboBoxSelectionDidChange(ui->Sides_ComboBox);

    // The spreadsheet binding and the grid.
    Excel_Binding_Use = contents->excelBindingUse;
    Excel_Source_Path = contents->excelSourcePath;
    {
      Data_From_Excel *grid = Data_From_Excel::defaultInstance();
      ImportedRowsTable table = grid->table();
      table.setColumnsFromTitles(contents->gridColumnTitles);
      table.rows = contents->gridRows;
      table.columnNames = contents->gridColumnNames;
      grid->setTable(table);
    }
    // The data-source list offers "Excel" while imported rows exist.
    Update_Excel_Item_In_Data_Source();

    // The card objects of both sides, in their saved order, without undo.
    if (m_document) {
      m_document->setList(QLNDocumentGraphicsKey, contents->frontObjects);
      m_document->setList(QLNDocumentGraphicsKey_back, contents->backObjects);
    }

    // The design is in place: only now does it take the file's path (a template opens
    // untitled, as the reset left it).
    if (log_or_template == DesignLogMode) {
      Project_File_Name = path;
      Set_Log_Name_In_Title();
    }

    fill.release();
    // The property panel shows the loaded card's properties.
    Show_RHS_Properties(nullptr);

    // The background pictures, back side first.
    if (hasPictureFill(Back_card_Prop))
      set_Back_BG_Image(Back_card_Prop.Card_BG_Image_Path());
    if (hasPictureFill(Front_card_Prop))
      set_Front_BG_Image(Front_card_Prop.Card_BG_Image_Path());

    // The arrow tool, a redraw, and undo registration on again.
    selectArrowTool();
    Refresh_Canvas();
    undoPause.release();
    if (log_or_template == DesignLogMode)
      markDesignUnchanged();
    return 1;
  } catch (const std::exception &exception) {
    Show_NSLog_Message(QStringLiteral("The design log %1 could not be loaded: %2").arg(path, reasonOf(exception)));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The design log %1 could not be loaded.").arg(path));
  }
  // Whatever was loaded before the failure stays untitled, so that no later save
  // replaces the file with a part of it; the panel shows its card again.
  Project_File_Name = QString();
  Set_Log_Name_In_Title();
  Show_RHS_Properties(nullptr);
  return 0;
}

namespace {

QByteArray designDigestOf(QLNWindowController &controller) {
  try {
    QString error;
    const QByteArray bytes = writeDesignLog(DesignFiles::currentDesignContents(controller), &error);
    if (bytes.isEmpty())
      return QByteArray();
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
  } catch (...) {
    return QByteArray();
  }
}

}  // namespace

void QLNWindowController::markDesignUnchanged() { m_savedDesignDigest = designDigestOf(*this); }

bool QLNWindowController::isDesignChanged() {
  // A design that cannot be written counts as changed: the question stays.
  if (m_savedDesignDigest.isEmpty())
    return true;
  const QByteArray now = designDigestOf(*this);
  return now.isEmpty() || now != m_savedDesignDigest;
}

int QLNWindowController::Open_Log_File() {
  try {
    FilePanelOptions options;
    options.title = QStringLiteral("Open Design");
    options.extensions = {design_file_EXT};
    const QString path = UiServices::instance().openFile(options);
    if (path.isEmpty())
      return 0;
    return Read_and_load_design_Log(path, DesignLogMode);
  } catch (const std::exception &exception) {
    Show_NSLog_Message(reasonOf(exception));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The design log could not be opened."));
  }
  return 0;
}
