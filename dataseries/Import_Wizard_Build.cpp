// The import wizard's window: one box per source, each with its radio button, the OK,
// Cancel and Help buttons, and the connections.

#include "dataseries/Import_Wizard.h"

#include "dataseries/SeriesWindowSupport.h"

#include "platform/ControlActions.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace serieswindows;

namespace {

// A path field with its browse button on one row.
QWidget *pathRow(QLineEdit *path, QPushButton *browse) {
  auto *row = new QWidget;
  auto *h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  h->addWidget(path, 1);
  h->addWidget(browse);
  return row;
}

QLineEdit *nameField(const char *objectName, QWidget *parent) {
  return field(objectName, QStringLiteral("Series name"), QStringLiteral("The name the new series is saved under"),
               parent);
}

}  // namespace

void Import_Wizard::buildWindow() {
  auto *dialog = new SeriesDialog(QStringLiteral("Import_Wizard"), QStringLiteral("Import Wizard"));
  m_window = dialog;
  auto *layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->addWidget(buildExcelSource());
  layout->addWidget(buildTextSource());
  layout->addWidget(buildManualSource());
  layout->addWidget(buildImageSource());

  help_btn = button("help_btn", QStringLiteral("Help"), QStringLiteral("Open the help file"), dialog);
  cancel_btn = button("cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Close without importing"), dialog);
  ok_btn = button("ok_btn", QStringLiteral("OK"), QStringLiteral("Import from the chosen source"), dialog);
  ok_btn->setDefault(true);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(help_btn);
  buttons->addStretch(1);
  buttons->addWidget(cancel_btn);
  buttons->addWidget(ok_btn);
  layout->addLayout(buttons);
  dialog->onCancel = [this] { CancelPressed(); };
  plz_wait_Window = waitSheet(dialog);
}

QGroupBox *Import_Wizard::buildExcelSource() {
  auto *box = new QGroupBox(m_window);
  auto *form = new QFormLayout(box);
  Excel_RD = radio("Excel_RD", QStringLiteral("Spreadsheet (xlsx)"),
                   QStringLiteral("Import columns of an xlsx workbook"), box);
  form->addRow(Excel_RD);
  Excel_path = field("Excel_path", QStringLiteral("Spreadsheet path"), QStringLiteral("The xlsx workbook to import"), box);
  Excel_btn = button("Excel_btn", QStringLiteral("Browse..."), QStringLiteral("Choose the xlsx workbook"), box);
  form->addRow(QStringLiteral("File:"), pathRow(Excel_path, Excel_btn));
  return box;
}

QGroupBox *Import_Wizard::buildTextSource() {
  auto *box = new QGroupBox(m_window);
  auto *form = new QFormLayout(box);
  m_nameForms.append(form);
  Text_RD = radio("Text_RD", QStringLiteral("Text, CSV or RTF file"),
                  QStringLiteral("Import the lines of a text or RTF file, or the fields of a CSV file"), box);
  form->addRow(Text_RD);
  Text_file_name = nameField("Text_file_name", box);
  form->addRow(QStringLiteral("Series name:"), Text_file_name);
  Text_path = field("Text_path", QStringLiteral("Text file path"), QStringLiteral("The text, CSV or RTF file to import"),
                    box);
  Text_btn = button("Text_btn", QStringLiteral("Browse..."), QStringLiteral("Choose the text, CSV or RTF file"), box);
  form->addRow(QStringLiteral("File:"), pathRow(Text_path, Text_btn));
  return box;
}

QGroupBox *Import_Wizard::buildManualSource() {
  auto *box = new QGroupBox(m_window);
  auto *form = new QFormLayout(box);
  m_nameForms.append(form);
  Mnul_RD = radio("Mnul_RD", QStringLiteral("Pasted text"), QStringLiteral("Import the lines typed or pasted below"), box);
  form->addRow(Mnul_RD);
  Manual_file_name = nameField("Manual_file_name", box);
  form->addRow(QStringLiteral("Series name:"), Manual_file_name);
  ManualEdit = new QPlainTextEdit(box);
  ManualEdit->setObjectName(QStringLiteral("ManualEdit"));
  ManualEdit->setAccessibleName(QStringLiteral("Values to import"));
  ManualEdit->setToolTip(QStringLiteral("One value per line"));
  form->addRow(ManualEdit);
  return box;
}

QGroupBox *Import_Wizard::buildImageSource() {
  auto *box = new QGroupBox(m_window);
  auto *form = new QFormLayout(box);
  m_nameForms.append(form);
  Image_RD = radio("Image_RD", QStringLiteral("Folder of pictures"),
                   QStringLiteral("Import the paths of the pictures in a folder"), box);
  form->addRow(Image_RD);
  Image_file_name = nameField("Image_file_name", box);
  form->addRow(QStringLiteral("Series name:"), Image_file_name);
  Image_path = field("Image_path", QStringLiteral("Picture folder path"), QStringLiteral("The folder of pictures"), box);
  Image_btn = button("Image_btn", QStringLiteral("Browse..."), QStringLiteral("Choose the folder of pictures"), box);
  form->addRow(QStringLiteral("Folder:"), pathRow(Image_path, Image_btn));
  return box;
}

void Import_Wizard::connectActions() {
  controls::onAction(Excel_RD, this, [this] { Excel_RD_Pressed(Excel_RD); });
  controls::onAction(Text_RD, this, [this] { Text_RD_Pressed(Text_RD); });
  controls::onAction(Mnul_RD, this, [this] { Manual_RD_Pressed(Mnul_RD); });
  controls::onAction(Image_RD, this, [this] { Image_RD_Pressed(Image_RD); });
  connect(Excel_btn, &QPushButton::clicked, this, [this] { Browse_Excel_Pressed(Excel_btn); });
  connect(Text_btn, &QPushButton::clicked, this, [this] { Browse_Text_Pressed(Text_btn); });
  connect(Image_btn, &QPushButton::clicked, this, [this] { Browse_Image_Pressed(Image_btn); });
  connect(ok_btn, &QPushButton::clicked, this, [this] { OKPressed(ok_btn); });
  connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(cancel_btn); });
  connect(help_btn, &QPushButton::clicked, this, [this] { HelpPressed(help_btn); });
}

void Import_Wizard::Show_Create_Modeless() {
  if (plz_wait_Window && m_window && m_window->isVisible())
    plz_wait_Window->show();
}

void Import_Wizard::Hide_Destroy_Modeless() {
  if (plz_wait_Window)
    plz_wait_Window->hide();
}
