// Small services of the main window controller that the rest of the program calls:
// the size list table, the side lists, images, the e-mail settings, folder listings,
// the series-in-use test, dates and times, paths, and the two sheets.

#include "mainwindow/QLNWindowController.h"

#include "dataseries/model/BindingSources.h"
#include "dataseries/model/SeriesStore.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include "mainwindow/DateFormats.h"
#include "mainwindow/DrawWindow.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/Utilities.h"
#include "output/model/Preferences.h"

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QCollator>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVersionNumber>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

const QString ExtensionKey = QStringLiteral("Extension");

// The dialog placed over the main window, the way a sheet hangs from it.
void showAsSheet(QDialog *sheet, QWidget *mainWindow) {
  sheet->setWindowModality(Qt::WindowModal);
  sheet->adjustSize();
  if (mainWindow && mainWindow->isVisible()) {
    const QRect frame = mainWindow->geometry();
    sheet->move(frame.center().x() - sheet->width() / 2, frame.top() + 40);
  }
  sheet->show();
  sheet->raise();
}

}  // namespace

// ---- Size list table --------------------------------------------------------------------------

QString QLNWindowController::Get_Item_Text(int row) const {
  if (row < 0 || row >= ListData.size()) {
    Show_NSLog_Message(QStringLiteral("The size list has no row %1.").arg(row));
    return QString();
  }
  return ListData.at(row).value(ExtensionKey).toString();
}

void QLNWindowController::Create_List(const QString &text) {
  const QString trimmed = Trim_Str(text);
  if (trimmed.isEmpty())
    return;
  ListData.append(QVariantMap{{ExtensionKey, trimmed}});
}

void QLNWindowController::reloadColList() {
  QStandardItemModel *model = ui->ColListModel;
  model->removeRows(0, model->rowCount());
  for (int row = 0; row < ListData.size(); ++row) {
    auto *item = new QStandardItem(ListData.at(row).value(ExtensionKey).toString());
    item->setEditable(false);
    model->appendRow(item);
  }
}

void QLNWindowController::Mark_List_New_Selection(int row) {
  QItemSelectionModel *selection = ui->ColList->selectionModel();
  if (row < 0 || row >= ui->ColListModel->rowCount()) {
    selection->clearSelection();
    return;
  }
  const QModelIndex index = ui->ColListModel->index(row, 0);
  selection->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  ui->ColList->scrollTo(index);
}

int QLNWindowController::numberOfRowsInTableView(const QObject *table) const {
  return table == ui->ColList ? int(ListData.size()) : 0;
}

QVariant QLNWindowController::tableView_objectValueForTableColumn_row(const QObject *table, const QString &column,
                                                                      int row) const {
  if (table != ui->ColList || row < 0 || row >= ListData.size())
    return QVariant();
  return ListData.at(row).value(column);
}

void QLNWindowController::tableView_setObjectValue_forTableColumn_row(const QObject *table, const QVariant &value,
                                                                      const QString &column, int row) {
  if (table != ui->ColList)
    return;
  if (row < 0 || row >= ListData.size()) {
    Show_NSLog_Message(QStringLiteral("The size list has no row %1 to change.").arg(row));
    return;
  }
  ListData[row].insert(column, value);
}

// ---- Side lists -----------------------------------------------------------------------------

QLNGraphicList QLNWindowController::Get_Front_Controls_Array() const {
  return m_document ? m_document->graphics() : QLNGraphicList();
}

QLNGraphicList QLNWindowController::Get_Back_Controls_Array() const {
  return m_document ? m_document->graphics_back() : QLNGraphicList();
}

QLNGraphicList QLNWindowController::Get_Temp_Controls_Array() const {
  QLNGraphicList snapshot = m_document ? m_document->graphics_temp() : QLNGraphicList();
  snapshot.detach();
  return snapshot;
}

int QLNWindowController::Get_Front_Control_Count() const { return int(Get_Front_Controls_Array().size()); }
int QLNWindowController::Get_Back_Control_Count() const { return int(Get_Back_Controls_Array().size()); }
int QLNWindowController::Get_Temp_Control_Count() const { return int(Get_Temp_Controls_Array().size()); }

// ---- Images -------------------------------------------------------------------------------

PointImage QLNWindowController::Increase_DPI(const PointImage &image, double dpi) {
  try {
    const double w = image.points.width();
    const double h = image.points.height();
    if (image.isNull() || !std::isfinite(w) || !std::isfinite(h) || w <= 0 || h <= 0 || !std::isfinite(dpi) ||
        dpi <= 0) {
      Show_NSLog_Message(QStringLiteral("Invalid image"));
      return PointImage();
    }
    // Each quotient is rounded to a 32-bit float before the ceiling.
    const double wide = std::ceil(double(float(dpi * w / 72.0)));
    const double high = std::ceil(double(float(dpi * h / 72.0)));
    if (wide < 1 || high < 1 || wide * high > double(Images::MaxPixels)) {
      Show_NSLog_Message(QStringLiteral("Invalid image"));
      return PointImage();
    }
    QImage bitmap(int(wide), int(high), QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull()) {
      Show_NSLog_Message(QStringLiteral("Invalid image"));
      return PointImage();
    }
    bitmap.fill(Qt::transparent);
    {
      QPainter painter(&bitmap);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
      painter.drawImage(QRectF(0, 0, wide, high), image.pixels);
    }
    return PointImage{bitmap, QSizeF(w, h)};
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return PointImage();
  }
}

bool QLNWindowController::Save_gen_image(const PointImage &image, const QString &file_path_val) {
  try {
    if (image.isNull()) {
      Show_MessageBox(file_path_val);
      Show_MessageBox(QStringLiteral("There is no image to write."));
      return false;
    }
    // The PNG keeps the image's point size: its resolution is pixels per point times 72.
    double dpi = Images::PointsPerInch;
    if (image.points.width() > 0 && std::isfinite(image.points.width()))
      dpi = image.pixels.width() * Images::PointsPerInch / image.points.width();
    QString error;
    if (!writePng(file_path_val, image.pixels, dpi, &error)) {
      Show_MessageBox(file_path_val);
      Show_MessageBox(error);
      return false;
    }
    return true;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return false;
  }
}

// ---- Settings and platform --------------------------------------------------------------------

void QLNWindowController::Get_Email_Details() {
  const std::unique_ptr<Preferences> settings = Preferences::sharedInstance();
  sender_email = settings->send_email_SenderEmail();
  sender_pwd = settings->send_email_Password();
  sending_server = settings->send_email_SMTP_server();
  sending_port = settings->send_email_PORT_num();
  send_enable_ssl = settings->send_email_enable_ssl();
}

int QLNWindowController::Get_OS_Version() { return qtToolkitVersion(); }

void QLNWindowController::Open_Export_File_Box() {
  const bool folder = QFileInfo(Export_File_Path).isDir();
  ui->_open_log_chk->setText(folder ? QStringLiteral("Open containing folder.") : QStringLiteral("Open exported file."));
  ui->_open_log_path->setText(Export_File_Path);
  ui->_open_log_message->setText(Export_File_Message);
  UiServices::instance().runModal(ui->Open_Export_Files);
  ui->Open_Export_Files->hide();
}

// ---- Listings ------------------------------------------------------------------------------------

QStringList QLNWindowController::Get_Files_Array_At_Path(const QString &path) {
  QStringList names;
  const QFileInfo folder(path);
  if (path.isEmpty() || !folder.isDir())
    return names;
  const QFileInfoList entries =
      QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QFileInfo &entry : entries) {
    if (entry.isDir())
      continue;
    const QString name = entry.fileName();
    // The name without its extension; a name that starts with its only point keeps it.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    names.append(dot > 0 ? name.left(dot) : name);
  }
  // The listing order of the file system is arbitrary: sort by name as people read it,
  // then by code points so that the order is the same on every machine.
  QCollator collator{QLocale(QLocale::English)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setNumericMode(true);
  std::stable_sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  return names;
}

QStringList QLNWindowController::Get_datasheet_File_Name_Array() {
  // "Names.txt" beside "Names.csv" is one series: one row for the one file both stand for.
  QStringList names = Get_Files_Array_At_Path(Data_Folder_Path);
  names.removeDuplicates();
  return names;
}

bool QLNWindowController::Check_Batch_File_In_Use_Validation(const QString &name) {
  bool inUse = false;
  try {
    // A name that is no plain file name names no series file.
    if (!SeriesStore::exists(name))
      return false;
    auto boundIn = [&](const QLNGraphicList &graphics) {
      return std::any_of(graphics.begin(), graphics.end(), [&](const QLNGraphicPtr &graphic) {
        return graphic && BindingSources::takesBoundValues(*graphic) && graphic->data_source_type == 1 &&
               graphic->batch_list_name == name;
      });
    };
    inUse = boundIn(Get_Front_Controls_Array());
    if (!inUse && CARD_SIDE_STR == QStringLiteral("2"))
      inUse = boundIn(Get_Back_Controls_Array());
  } catch (const std::exception &error) {
    Show_MessageBox(QString::fromUtf8(error.what()));
  }
  return inUse;
}

void QLNWindowController::Delete_Excel_File_Temp_Folder() { removeSpreadsheetUnpackFolder(); }

// ---- Dates, times, paths -------------------------------------------------------------------------

QString QLNWindowController::Get_date_Value(const QString &pattern, const std::optional<QDateTime> &when) {
  return DateFormats::format(pattern, when.value_or(QDateTime::currentDateTime()));
}

QString QLNWindowController::Get_time_Value(const QString &pattern, const std::optional<QDateTime> &when) {
  return DateFormats::format(pattern, when.value_or(QDateTime::currentDateTime()));
}

QString QLNWindowController::Convert_Path_From_URL(const QUrl &url) { return url.toLocalFile(); }

int QLNWindowController::Check_And_Validate_File_Path(const QString &path) {
  const QString trimmed = Trim_Str(path);
  if (!trimmed.isEmpty() && QFileInfo::exists(trimmed))
    return 0;
  Show_MessageBox(QStringLiteral("Please select valid file path."));
  return 1;
}

// ---- Sheets ----------------------------------------------------------------------------------------

void QLNWindowController::Show_Create_Modeless() {
  try {
    MainThread::runAndWait([this] {
      ui->modeless_msg_lbl->setText(QStringLiteral("It may take a while, Please wait.."));
      showAsSheet(ui->plz_wait_Window, ui->window);
    });
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNWindowController::Hide_Destroy_Modeless() {
  try {
    MainThread::runAndWait([this] { ui->plz_wait_Window->hide(); });
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNWindowController::Show_One_By_One_Modeless() {
  try {
    MainThread::runAndWait([this] { showAsSheet(ui->Send_Models_Window, ui->Main_wnd); });
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNWindowController::Hide_One_By_One_Modeless() {
  try {
    MainThread::runAndWait([this] { ui->Send_Models_Window->hide(); });
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}
