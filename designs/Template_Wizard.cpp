#include "designs/Template_Wizard.h"

#include "designs/Export_Template.h"
#include "designs/Templates.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSlider>

#include <exception>

QString Selected_Template_Path;
quint64 User_Defined_File = 0;

namespace {

Template_Wizard *Template_Wizard_DefaultInstance = nullptr;

const QString SelectMessage = QStringLiteral("Please select template.");
const double StartZoom = 0.6;

// The browser's dialog: Escape and the close box are Cancel.
class TemplateWizardDialog : public QDialog {
public:
  TemplateWizardDialog(Template_Wizard *browser, QWidget *parent) : QDialog(parent), m_browser(browser) {}
  void reject() override { m_browser->CancelClick(); }

private:
  Template_Wizard *m_browser;
};

QPushButton *templateButton(const char *objectName, const QString &title, const QString &tip, QWidget *parent) {
  auto *b = new QPushButton(title, parent);
  b->setObjectName(QString::fromLatin1(objectName));
  b->setAccessibleName(title);
  b->setToolTip(tip);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

Template_Wizard::Template_Wizard(Export_Template *naming, QWidget *parentWindow, QObject *parent)
    : QObject(parent), m_naming(naming) {
  buildWindow(parentWindow);
  keepInGlobal(Template_Wizard_DefaultInstance, this);
}

Template_Wizard::~Template_Wizard() {
  // The browser reads its items from `images`: it lets go of them before the window
  // goes, unless the window (and the browser with it) went with the main window already.
  if (m_window)
    imageBrowser->setDataSource(nullptr);
}

Template_Wizard *Template_Wizard::defaultInstance() { return Template_Wizard_DefaultInstance; }

void Template_Wizard::buildWindow(QWidget *parentWindow) {
  m_window = new TemplateWizardDialog(this, parentWindow);
  m_window->setObjectName(QStringLiteral("Template_Wizard"));
  m_window->setWindowTitle(QStringLiteral("Templates"));
  m_window->setAccessibleName(QStringLiteral("Templates"));
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);
  m_window->resize(640, 480);

  auto *layout = new QVBoxLayout(m_window);
  auto *top = new QHBoxLayout;
  category_label = new QLabel(QStringLiteral("Show:"), m_window);
  category_label->setObjectName(QStringLiteral("category_label"));
  cat_cmbo_bx = new QComboBox(m_window);
  cat_cmbo_bx->setObjectName(QStringLiteral("cat_cmbo_bx"));
  cat_cmbo_bx->addItems({QStringLiteral("Built-in Templates"), QStringLiteral("My Templates")});
  cat_cmbo_bx->setAccessibleName(QStringLiteral("Template category"));
  cat_cmbo_bx->setToolTip(QStringLiteral("The templates that come with the program, or those you saved"));
  category_label->setBuddy(cat_cmbo_bx);
  top->addWidget(category_label);
  top->addWidget(cat_cmbo_bx);
  top->addStretch(1);
  _zoom_label = new QLabel(QStringLiteral("Size:"), m_window);
  _zoom_label->setObjectName(QStringLiteral("_zoom_label"));
  _zoom_slider = new QSlider(Qt::Horizontal, m_window);
  _zoom_slider->setObjectName(QStringLiteral("_zoom_slider"));
  _zoom_slider->setRange(0, 100);
  _zoom_slider->setAccessibleName(QStringLiteral("Preview size"));
  _zoom_slider->setToolTip(QStringLiteral("Make the previews smaller or larger"));
  _zoom_label->setBuddy(_zoom_slider);
  top->addWidget(_zoom_label);
  top->addWidget(_zoom_slider);
  layout->addLayout(top);

  imageBrowser = new ImageBrowser(m_window);
  imageBrowser->setObjectName(QStringLiteral("imageBrowser"));
  imageBrowser->setAccessibleName(QStringLiteral("Template previews"));
  imageBrowser->setToolTip(QStringLiteral("Choose the template to start from"));
  imageBrowser->setDataSource(this);
  imageBrowser->setAllowsReordering(true);
  imageBrowser->setZoomValue(StartZoom);
  layout->addWidget(imageBrowser, 1);

  auto *buttons = new QHBoxLayout;
  Delete_temp_btn = templateButton("Delete_temp_btn", QStringLiteral("Delete"), QStringLiteral("Delete the selected template"),
                           m_window);
  Copy_temp_btn = templateButton("Copy_temp_btn", QStringLiteral("Copy"), QStringLiteral("Make a copy of the selected template"),
                         m_window);
  Rename_temp_btn = templateButton("Rename_temp_btn", QStringLiteral("Rename..."),
                           QStringLiteral("Give the selected template another name"), m_window);
  Cancel_btn = templateButton("Cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Close without opening a template"),
                      m_window);
  OK_btn = templateButton("OK_btn", QStringLiteral("Open"), QStringLiteral("Start a design from the selected template"),
                  m_window);
  User_Profile_btn = templateButton("User_Profile_btn", QStringLiteral("User Profile..."),
                            QStringLiteral("Enter the user profile of the card"), m_window);
  OK_btn->setDefault(true);
  buttons->addWidget(User_Profile_btn);
  buttons->addWidget(Delete_temp_btn);
  buttons->addWidget(Copy_temp_btn);
  buttons->addWidget(Rename_temp_btn);
  buttons->addStretch(1);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  layout->addLayout(buttons);

  connect(cat_cmbo_bx, &QComboBox::currentIndexChanged, this, [this] { comboBoxSelectionDidChange(cat_cmbo_bx); });
  connect(_zoom_slider, &QSlider::valueChanged, this, [this] { zoomSliderDidChange(_zoom_slider); });
  connect(imageBrowser, &ImageBrowser::selectionDidChange, this, [this] { imageBrowserSelectionDidChange(); });
  connect(Delete_temp_btn, &QPushButton::clicked, this, [this] { Delete_Template_Click(Delete_temp_btn); });
  connect(Copy_temp_btn, &QPushButton::clicked, this, [this] { Copy_Templatee_Click(Copy_temp_btn); });
  connect(Rename_temp_btn, &QPushButton::clicked, this, [this] { Rename_Template_Click(Rename_temp_btn); });
  connect(OK_btn, &QPushButton::clicked, this, [this] { OK_Click(OK_btn); });
  connect(Cancel_btn, &QPushButton::clicked, this, [this] { CancelClick(Cancel_btn); });
  connect(User_Profile_btn, &QPushButton::clicked, this, [this] { User_Profile_Click(User_Profile_btn); });
}

// ---- Listing --------------------------------------------------------------------------------

int Template_Wizard::Open_Template_Window() {
  m_profileAccepted = false;
  try {
    {
      const QSignalBlocker quiet(cat_cmbo_bx);  // the built-in list is filled below
      cat_cmbo_bx->setCurrentIndex(0);
    }
    Show_Hide_Template_Buttons(true);
    images.clear();
    _zoom_slider->setValue(int(StartZoom * 100));
    imageBrowser->setZoomValue(StartZoom);
    imageBrowser->reloadData();
    Fill_Templates();
    const int code = UiServices::instance().runModal(m_window);
    m_window->hide();
    return code == ModalOK ? 1 : 0;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The template window could not be opened."));
  }
  if (m_window)
    m_window->hide();
  return 0;
}

void Template_Wizard::fillFrom(const QString &folder, bool user) {
  Show_NSLog_Message(folder);
  // Every listing starts empty: a category without templates, or without its folder,
  // shows none and selects none.
  images.clear();
  Selected_Template_Path.clear();
  imageBrowser->reloadData();
  if (folder.isEmpty())
    return;
  const std::optional<QList<std::shared_ptr<MyImageObject>>> pictures = MyImageObject::picturesInFolder(folder);
  if (!pictures)
    return;
  for (const std::shared_ptr<MyImageObject> &picture : *pictures) {
    const QString id = user ? QStringLiteral("TEMP%1.png").arg(User_Defined_File++) : picture->image_UID;
    addImageWithPath(picture->path, picture->image_Name, id);
  }
  if (!images.isEmpty()) {
    imageBrowser->setSelectionIndexes({0});
    Selected_Template_Path = images.first()->path;
  }
}

void Template_Wizard::Fill_Templates() { fillFrom(Templates::builtInFolder(), false); }

void Template_Wizard::Fill_Templates_User_Defined() { fillFrom(Templates::userFolder(), true); }

void Template_Wizard::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID) {
  const QString trimmed = Trim_Str(path);
  if (trimmed.isEmpty())
    return;
  images.append(std::make_shared<MyImageObject>(trimmed, imageName, image_UID));
  imageBrowser->reloadData();
}

void Template_Wizard::Show_Hide_Template_Buttons(bool hide) {
  Delete_temp_btn->setVisible(!hide);
  Copy_temp_btn->setVisible(!hide);
  Rename_temp_btn->setVisible(!hide);
}

void Template_Wizard::comboBoxSelectionDidChange(QObject *sender) {
  if (sender != cat_cmbo_bx)
    return;
  if (cat_cmbo_bx->currentIndex() == 0) {
    Fill_Templates();
    Show_Hide_Template_Buttons(true);
  } else {
    Fill_Templates_User_Defined();
    Show_Hide_Template_Buttons(false);
  }
}

void Template_Wizard::zoomSliderDidChange(QObject *) {
  imageBrowser->setZoomValue(_zoom_slider->value() / 100.0);
  imageBrowser->viewport()->update();
}

// ---- Image browser --------------------------------------------------------------------------

int Template_Wizard::numberOfItemsInImageBrowser(ImageBrowser *) { return int(images.size()); }

const ImageBrowserItem *Template_Wizard::imageBrowser_itemAtIndex(ImageBrowser *, int index) {
  return index >= 0 && index < images.size() ? images.at(index).get() : nullptr;
}

void Template_Wizard::imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                                              int destinationIndex) {
  MyImageObject::moveItems(images, indexes, destinationIndex);
  if (browser == imageBrowser)
    imageBrowser->reloadData();
}

void Template_Wizard::imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &) {
  if (browser == imageBrowser)
    imageBrowser->reloadData();
}

void Template_Wizard::imageBrowserSelectionDidChange() {
  // An emptied selection (a click beside the previews) leaves no template to act on.
  const QList<int> selection = imageBrowser->selectionIndexes();
  const int first = selection.isEmpty() ? -1 : selection.first();
  if (first >= 0 && first < images.size())
    Selected_Template_Path = images.at(first)->path;
  else
    Selected_Template_Path.clear();
}

// ---- Buttons ----------------------------------------------------------------------------------

QString Template_Wizard::selectedPreview(bool userTemplate) {
  const QFileInfo preview(Selected_Template_Path);
  bool found = !Selected_Template_Path.isEmpty() && preview.isFile();
  if (found && userTemplate) {
    // Delete, Copy and Rename change the user's own templates, never a built-in one.
    const QString userFolder = QFileInfo(Templates::userFolder()).canonicalFilePath();
    found = !userFolder.isEmpty() && QFileInfo(preview.absolutePath()).canonicalFilePath() == userFolder;
  }
  if (!found) {
    Show_MessageBox(SelectMessage);
    return QString();
  }
  return Selected_Template_Path;
}

void Template_Wizard::OK_Click(QObject *) {
  const QString preview = selectedPreview();
  if (preview.isEmpty())
    return;
  Card_Shape = 0;
  Selected_Template_Path = Templates::designPathForPreview(preview);
  m_window->done(ModalOK);
}

void Template_Wizard::CancelClick(QObject *) {
  Selected_Template_Path.clear();
  Card_Shape = 0;
  m_window->done(ModalCancel);
}

void Template_Wizard::Delete_Template_Click(QObject *) {
  const QString preview = selectedPreview(true);
  if (preview.isEmpty() || !Show_YES_NO_MessageBox(QStringLiteral("Do you want to delete this template?")))
    return;
  QString error;
  if (!Templates::deleteTemplate(preview, &error))
    Show_MessageBox(QStringLiteral("The template could not be deleted: %1.").arg(error));
  Fill_Templates_User_Defined();
}

void Template_Wizard::Copy_Templatee_Click(QObject *) {
  const QString preview = selectedPreview(true);
  if (preview.isEmpty() || !Show_YES_NO_MessageBox(QStringLiteral("Do you want to make copy of this template?")))
    return;
  QString error;
  if (!Templates::copyTemplate(preview, Templates::Create_New_File_Path(preview), &error))
    Show_MessageBox(QStringLiteral("The template could not be copied: %1.").arg(error));
  Fill_Templates_User_Defined();
}

void Template_Wizard::Rename_Template_Click(QObject *) {
  const QString preview = selectedPreview(true);
  if (preview.isEmpty())
    return;
  const QString name = QFileInfo(preview).completeBaseName();
  if (m_naming->run(name, name) != ModalOK)
    return;
  const QString base = joinPath(Templates::userFolder(), export_template_name);
  if (base + QStringLiteral(".png") == preview)
    return;
  QString error;
  if (!Templates::renameTemplate(preview, base, &error))
    Show_MessageBox(QStringLiteral("The template could not be renamed: %1.").arg(error));
  Fill_Templates_User_Defined();
}

void Template_Wizard::User_Profile_Click(QObject *) {
  if (QLNWindowController *controller = QLNWindowController::defaultInstance())
    if (controller->Open_User_Profile_Window(false, QString()) == 1)
      m_profileAccepted = true;
}
