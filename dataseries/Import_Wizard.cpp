#include "dataseries/Import_Wizard.h"

#include "dataseries/BatchWizard.h"
#include "dataseries/Import_Excel.h"
#include "dataseries/Import_Excel_DataSheet.h"
#include "dataseries/model/ImportSources.h"
#include "dataseries/model/SeriesStore.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"
#include "platform/ControlActions.h"
#include "platform/UiServices.h"

#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

Import_Wizard *Import_Wizard_Window = nullptr;

namespace {

const QString InUse = QStringLiteral("Batch Processing Series can't be update because it is currently in use.");
const QString Unreadable = QStringLiteral("Please select a valid file.");
const QString Corrupted =
    QStringLiteral("Either file is corrupted or selected file contains invalid characters.");
const QString NoName = QStringLiteral("Please enter a Batch Processing Series name.");
const QString NothingToImport = QStringLiteral("There is no value to import.");
const QString FolderUnreadable = QStringLiteral("The selected folder cannot be read.");
const QString Replace = QStringLiteral("Batch Processing Series already exists. Do you want to replace it?");

}  // namespace

Import_Wizard::Import_Wizard() {
  buildWindow();
  connectActions();
  keepInGlobal(Import_Wizard_Window, this);
}

Import_Wizard::~Import_Wizard() = default;

Import_Wizard *Import_Wizard::defaultInstance() {
  return keptInstance(Import_Wizard_Window, [] { return new Import_Wizard; });
}

int Import_Wizard::openWithFlags(qint32 required, qint32 insert) {
  Import_Wizard *wizard = defaultInstance();
  wizard->file_name_required = required;
  wizard->file_name_Insert = insert;
  return wizard->Open_Wnd();
}

// ---- Opening and the sources ------------------------------------------------------------

int Import_Wizard::Open_Wnd() {
  runLoggingFailures("Import_Wizard Open_Wnd", [this] {
    Check_Path_And_Create_Files();
    import_option = 0;
    for (QLineEdit *f : {Excel_path, Text_path, Image_path, Text_file_name, Manual_file_name, Image_file_name})
      f->clear();
    ManualEdit->clear();
    const bool names = file_name_required == 1;
    for (QLineEdit *f : {Text_file_name, Manual_file_name, Image_file_name})
      showNameField(f, names);
    selectSource(0);
  });
  const int code = UiServices::instance().runModal(m_window);
  m_window->hide();
  return code;
}

void Import_Wizard::showNameField(QLineEdit *field, bool visible) {
  for (QFormLayout *form : m_nameForms)
    if (form->indexOf(field) >= 0) {
      form->setRowVisible(field, visible);
      return;
    }
  field->setVisible(visible);
}

void Import_Wizard::nameUntitledWhenBlank(QLineEdit *field) {
  if (Trim_Str(field->text()).isEmpty())
    field->setText(QStringLiteral("Untitled"));
}

void Import_Wizard::selectSource(int option) {
  import_option = option;
  controls::setCheckedQuietly(Excel_RD, option == 0);
  controls::setCheckedQuietly(Text_RD, option == 1);
  controls::setCheckedQuietly(Mnul_RD, option == 2);
  controls::setCheckedQuietly(Image_RD, option == 3);
  Enable_Disable_Excel_Option(option == 0);
  Enable_Disable_Text_Option(option == 1);
  Enable_Disable_Manual_Option(option == 2);
  Enable_Disable_Image_Option(option == 3);
}

void Import_Wizard::Enable_Disable_Excel_Option(bool flag) {
  Excel_btn->setEnabled(flag);
  Excel_path->setEnabled(flag);
}

void Import_Wizard::Enable_Disable_Text_Option(bool flag) {
  Text_btn->setEnabled(flag);
  Text_path->setEnabled(flag);
  Text_file_name->setEnabled(flag);
  if (flag)
    nameUntitledWhenBlank(Text_file_name);
}

void Import_Wizard::Enable_Disable_Manual_Option(bool flag) {
  ManualEdit->setEnabled(flag);
  Manual_file_name->setEnabled(flag);
  if (flag)
    nameUntitledWhenBlank(Manual_file_name);
}

void Import_Wizard::Enable_Disable_Image_Option(bool flag) {
  Image_btn->setEnabled(flag);
  Image_path->setEnabled(flag);
  Image_file_name->setEnabled(flag);
  if (flag)
    nameUntitledWhenBlank(Image_file_name);
}

void Import_Wizard::Excel_RD_Pressed(QObject *) { selectSource(0); }
void Import_Wizard::Text_RD_Pressed(QObject *) { selectSource(1); }
void Import_Wizard::Manual_RD_Pressed(QObject *) { selectSource(2); }
void Import_Wizard::Image_RD_Pressed(QObject *) { selectSource(3); }

// ---- Browsing -------------------------------------------------------------------------------

void Import_Wizard::Browse_Excel_Pressed(QObject *) {
  runLoggingFailures("Browse_Excel_Pressed", [this] {
    // The reader unpacks a newly chosen workbook into an empty folder.
    QLNWindowController::Delete_Excel_File_Temp_Folder();
    FilePanelOptions options;
    options.title = QStringLiteral("Choose a spreadsheet");
    options.extensions = QStringList{QStringLiteral("xlsx"), QStringLiteral("XLSX")};
    const QString path = UiServices::instance().openFile(options);
    if (path.isEmpty())
      return;
    Excel_path->setText(path);
    OKPressed(Excel_btn);
  });
}

void Import_Wizard::Browse_Text_Pressed(QObject *) {
  runLoggingFailures("Browse_Text_Pressed", [this] {
    FilePanelOptions options;
    options.title = QStringLiteral("Choose a text, CSV or RTF file");
    options.extensions = QStringList{QStringLiteral("txt"), QStringLiteral("TXT"), QStringLiteral("rtf"),
                                     QStringLiteral("RTF"), QStringLiteral("csv"), QStringLiteral("CSV")};
    const QString path = UiServices::instance().openFile(options);
    if (path.isEmpty())
      return;
    Text_path->setText(path);
    OKPressed(Text_btn);
  });
}

void Import_Wizard::Browse_Image_Pressed(QObject *) {
  runLoggingFailures("Browse_Image_Pressed", [this] {
    FilePanelOptions options;
    options.title = QStringLiteral("Choose a folder of pictures");
    const QString path = UiServices::instance().chooseFolder(options);
    if (path.isEmpty())
      return;
    Image_path->setText(path);
    OKPressed(Image_btn);
  });
}

// ---- OK, Cancel, Help -----------------------------------------------------------------------

bool Import_Wizard::validPath(const QString &path) {
  if (QLNWindowController *controller = QLNWindowController::defaultInstance())
    return controller->Check_And_Validate_File_Path(path) == 0;
  return false;
}

void Import_Wizard::OKPressed(QObject *) {
  runLoggingFailures("Import_Wizard OK", [this] {
    bool done = false;
    switch (import_option) {
    case 0: {
      const QString path = Trim_Str(Excel_path->text());
      if (!validPath(path))
        return;
      if (file_name_required == 1) {
        Import_Excel_DataSheet *window = Import_Excel_DataSheet::defaultInstance();
        window->file_name_Insert = file_name_Insert;
        window->Open_excel_Wnd(path);
      } else {
        Import_Excel *window = Import_Excel::defaultInstance();
        window->open_mode = QStringLiteral("D");
        window->Open_excel_Wnd(path);
      }
      done = true;
      break;
    }
    case 1: {
      const QString path = Trim_Str(Text_path->text());
      done = validPath(path) && Create_And_Save_Text_Data_Sheet(path);
      break;
    }
    case 2:
      done = Create_And_Save_Manual_Paste_data_Sheet();
      break;
    case 3: {
      const QString path = Trim_Str(Image_path->text());
      done = validPath(path) && Create_And_Save_Image_data_Sheet(path);
      break;
    }
    default:
      break;
    }
    if (done)
      m_window->done(1);
  });
}

void Import_Wizard::CancelPressed(QObject *) { m_window->done(0); }
void Import_Wizard::HelpPressed(QObject *) { Open_Help_File(); }

// ---- Steps the file sources share -------------------------------------------------------------

QString Import_Wizard::chk_and_insert_validation(const QString &text) { return ImportSources::cleanedValue(text); }

std::optional<QString> Import_Wizard::seriesName(QLineEdit *field) {
  if (file_name_required != 1)
    return QString();
  const QString typed = Remove_Reserve_Char_In_File_Name(field->text());
  if (typed.isEmpty()) {
    Show_MessageBox(NoName);
    field->setFocus();
    return std::nullopt;
  }
  // A name holding "/" or "\" would reach outside the data folder.
  const QString name = SeriesStore::cleanedName(field->text());
  if (SeriesStore::pathOf(name).isEmpty()) {
    Show_MessageBox(SeriesStore::FileAccessError);
    field->setFocus();
    return std::nullopt;
  }
  return name;
}

bool Import_Wizard::refuseInUse(const QString &name) {
  if (name.isEmpty())
    return false;
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  if (controller && controller->Check_Batch_File_In_Use_Validation(name)) {
    Show_MessageBox(InUse);
    return true;
  }
  return false;
}

bool Import_Wizard::deliver(const QString &name, const QStringList &values) {
  // Nothing to import replaces nothing: an existing series stays as it is.
  if (values.isEmpty()) {
    Show_MessageBox(NothingToImport);
    return false;
  }
  if (file_name_required == 1) {
    if (SeriesStore::exists(name) && !Show_YES_NO_MessageBox(Replace))
      return false;
    Show_Create_Modeless();
    QString error;
    const bool written = SeriesStore::write(name, values, SeriesStore::EmptyValues::Skip,
                                            SeriesStore::WriteMode::Replace, &error);
    Hide_Destroy_Modeless();
    if (!written) {
      Show_MessageBox(error.isEmpty() ? SeriesStore::FileAccessError : error);
      return false;
    }
  } else if (BatchWizard *manager = BatchWizard_Window) {
    for (const QString &value : values)
      manager->Create_Value_List(value);
  }
  if (file_name_Insert == 1 && BatchWizard_Window)
    BatchWizard_Window->Fill_List();
  return true;
}

// ---- The sources ------------------------------------------------------------------------------

bool Import_Wizard::Create_And_Save_Text_Data_Sheet(const QString &path) {
  const std::optional<QString> name = seriesName(Text_file_name);
  if (!name || refuseInUse(*name))
    return false;
  Show_Create_Modeless();
  const std::optional<QByteArray> bytes = ImportSources::readFile(path);
  if (!bytes) {
    Hide_Destroy_Modeless();
    Show_MessageBox(Unreadable);
    return false;
  }
  const std::optional<QStringList> values = ImportSources::fileValues(*bytes, ImportSources::kindOf(path));
  Hide_Destroy_Modeless();
  if (bytes->isEmpty() || !values) {
    Show_MessageBox(Corrupted);
    return false;
  }
  return deliver(*name, *values);
}

bool Import_Wizard::Create_And_Save_Manual_Paste_data_Sheet() {
  const std::optional<QString> name = seriesName(Manual_file_name);
  if (!name || refuseInUse(*name))
    return false;
  const QString text = Trim_Str(ManualEdit->toPlainText());
  if (text.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please enter some data."));
    ManualEdit->setFocus();
    return false;
  }
  // Text with unpaired surrogates cannot be written as UTF-8.
  if (QString::fromUtf8(text.toUtf8()) != text) {
    Show_MessageBox(Corrupted);
    return false;
  }
  QStringList values;
  for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
    if (!Trim_Str(line).isEmpty())
      values.append(line);
  return deliver(*name, values);
}

bool Import_Wizard::Create_And_Save_Image_data_Sheet(const QString &path) {
  const std::optional<QString> name = seriesName(Image_file_name);
  if (!name || refuseInUse(*name))
    return false;
  Show_Create_Modeless();
  const std::optional<QStringList> pictures = ImportSources::pictureFiles(path);
  Hide_Destroy_Modeless();
  if (!pictures) {
    Show_MessageBox(FolderUnreadable);
    return false;
  }
  return deliver(*name, *pictures);
}
