#include "canvas/Image_Library.h"

#include "core/Globals.h"
#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <exception>

Image_Library *Image_Library_DefaultInstance = nullptr;

namespace {

constexpr int ZoomSteps = 100;  // the slider's range for zoom 0..1
constexpr double OpeningZoom = 0.4;

void destroyDefaultInstance() {
  // Runs at the start of the application object's destruction, while the widgets can
  // still be destroyed normally.
  delete Image_Library_DefaultInstance;
}

// Each word (a run without white space) with its first letter upper case and the
// rest lower case.
QString capitalised(const QString &text) {
  QString result;
  result.reserve(text.size());
  qsizetype i = 0;
  while (i < text.size()) {
    if (text.at(i).isSpace()) {
      result += text.at(i++);
      continue;
    }
    qsizetype end = i;
    while (end < text.size() && !text.at(end).isSpace())
      ++end;
    const qsizetype first = text.at(i).isHighSurrogate() && i + 1 < end ? 2 : 1;
    result += text.mid(i, first).toUpper() + text.mid(i + first, end - i - first).toLower();
    i = end;
  }
  return result;
}

QString reasonOf(const std::exception &e) { return QString::fromLocal8Bit(e.what()); }

}  // namespace

Image_Library *Image_Library::defaultInstance() {
  if (!Image_Library_DefaultInstance) {
    new Image_Library();  // stores itself; destroyed with the application object
    static bool registered = false;
    if (!registered) {
      qAddPostRoutine(destroyDefaultInstance);
      registered = true;
    }
  }
  return Image_Library_DefaultInstance;
}

Image_Library::Image_Library() {
  buildWindow();
  awakeFromNib();
  if (!Image_Library_DefaultInstance)
    Image_Library_DefaultInstance = this;
}

Image_Library::~Image_Library() {
  if (Image_Library_DefaultInstance == this)
    Image_Library_DefaultInstance = nullptr;
  imageBrowser->setDataSource(nullptr);
  delete window;
}

void Image_Library::buildWindow() {
  window = new QDialog;
  window->setObjectName(QStringLiteral("Image_Library"));
  window->setWindowTitle(QStringLiteral("Image Library"));
  window->setAccessibleName(QStringLiteral("Image library"));
  window->resize(640, 480);

  imageBrowser = new ImageBrowser(window);
  imageBrowser->setObjectName(QStringLiteral("imageBrowser"));
  imageBrowser->setAccessibleName(QStringLiteral("Pictures"));
  imageBrowser->setToolTip(QStringLiteral("Select a picture; drag pictures to change their order"));

  category_label = new QLabel(QStringLiteral("Category:"), window);
  category_label->setObjectName(QStringLiteral("category_label"));
  cat_cmbo_bx = new QComboBox(window);
  cat_cmbo_bx->setObjectName(QStringLiteral("cat_cmbo_bx"));
  cat_cmbo_bx->setAccessibleName(QStringLiteral("Category"));
  cat_cmbo_bx->setToolTip(QStringLiteral("The category of pictures to show"));
  cat_cmbo_bx->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  category_label->setBuddy(cat_cmbo_bx);

  _zoom_label = new QLabel(QStringLiteral("Zoom:"), window);
  _zoom_label->setObjectName(QStringLiteral("_zoom_label"));
  _zoom_slider = new QSlider(Qt::Horizontal, window);
  _zoom_slider->setObjectName(QStringLiteral("_zoom_slider"));
  _zoom_slider->setAccessibleName(QStringLiteral("Thumbnail size"));
  _zoom_slider->setToolTip(QStringLiteral("The size of the thumbnails"));
  _zoom_slider->setRange(0, ZoomSteps);
  _zoom_slider->setMinimumWidth(120);
  _zoom_label->setBuddy(_zoom_slider);

  Cancel_btn = new QPushButton(QStringLiteral("Cancel"), window);
  Cancel_btn->setObjectName(QStringLiteral("Cancel_btn"));
  Cancel_btn->setAccessibleName(QStringLiteral("Cancel"));
  Cancel_btn->setToolTip(QStringLiteral("Close the library without choosing a picture"));
  Cancel_btn->setAutoDefault(false);
  OK_btn = new QPushButton(QStringLiteral("OK"), window);
  OK_btn->setObjectName(QStringLiteral("OK_btn"));
  OK_btn->setAccessibleName(QStringLiteral("OK"));
  OK_btn->setToolTip(QStringLiteral("Use the selected picture"));
  OK_btn->setDefault(true);

  auto *controls = new QHBoxLayout;
  controls->addWidget(category_label);
  controls->addWidget(cat_cmbo_bx);
  controls->addStretch(1);
  controls->addWidget(_zoom_label);
  controls->addWidget(_zoom_slider);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  auto *layout = new QVBoxLayout(window);
  layout->addWidget(imageBrowser, 1);
  layout->addLayout(controls);
  layout->addLayout(buttons);

  connect(OK_btn, &QPushButton::clicked, this, &Image_Library::OK_Clicked);
  connect(Cancel_btn, &QPushButton::clicked, this, &Image_Library::Cancel_Clicked);
  connect(_zoom_slider, &QSlider::valueChanged, this, &Image_Library::zoomSliderDidChange);
  connect(cat_cmbo_bx, &QComboBox::currentIndexChanged, this, [this] { comboBoxSelectionDidChange(cat_cmbo_bx); });
  connect(imageBrowser, &ImageBrowser::selectionDidChange, this,
          [this] { imageBrowserSelectionDidChange(imageBrowser); });
  // Escape and the window's close control cancel as the Cancel button does.
  connect(window, &QDialog::rejected, this, [this] { selected_image = QStringLiteral(""); });
}

void Image_Library::awakeFromNib() {
  QPalette pal = window->palette();
  pal.setColor(QPalette::Window, QColor(241, 244, 250));
  window->setPalette(pal);
  window->setAutoFillBackground(true);
  images.clear();
  imageBrowser->setDataSource(this);
  imageBrowser->setAllowsReordering(true);
  _zoom_slider->setValue(int(OpeningZoom * ZoomSteps));
  imageBrowser->setZoomValue(OpeningZoom);
}

int Image_Library::Open_Library_Window() {
  try {
    images.clear();
    _zoom_slider->setValue(int(OpeningZoom * ZoomSteps));
    imageBrowser->setZoomValue(OpeningZoom);
    imageBrowser->reloadData();

    if (control_or_BG == QLatin1String("C")) {
      window->setWindowTitle(QStringLiteral("Image Library"));
      Fill_Combobox();
      cat_cmbo_bx->setVisible(true);
      category_label->setVisible(true);
      if (cat_cmbo_bx->count() > 0)
        comboBoxSelectionDidChange(cat_cmbo_bx);
    } else {
      window->setWindowTitle(QStringLiteral("Background Image Library"));
      cat_cmbo_bx->setVisible(false);
      category_label->setVisible(false);
      Load_and_fill_backgrounds();
    }

    const int code = UiServices::instance().runModal(window);
    window->hide();
    return code == ModalOK ? 1 : 0;
  } catch (const std::exception &e) {
    Show_NSLog_Message(reasonOf(e));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("Open_Library_Window: the image library could not be opened"));
  }
  window->hide();
  return 0;
}

void Image_Library::Fill_Combobox() {
  const QSignalBlocker blocker(cat_cmbo_bx);  // the opening loads the first category once
  cat_cmbo_bx->clear();
  const QString folder = joinPath(Resource_Path, QStringLiteral("LibraryImage"));
  if (!QFileInfo(folder).isDir())
    return;
  for (const QString &name : MyImageObject::foldersInFolder(folder))
    cat_cmbo_bx->addItem(capitalised(name), name);
  if (cat_cmbo_bx->count() > 0)
    cat_cmbo_bx->setCurrentIndex(0);
}

void Image_Library::comboBoxSelectionDidChange(QObject *sender) {
  if (sender != cat_cmbo_bx || cat_cmbo_bx->currentIndex() < 0)
    return;
  const QString onDisk = cat_cmbo_bx->currentData().toString();
  if (!isSafeFileName(onDisk))
    return;
  loadPictures(joinPath(joinPath(Resource_Path, QStringLiteral("LibraryImage")), onDisk));
}

void Image_Library::Load_and_fill_backgrounds() {
  loadPictures(joinPath(Resource_Path, QStringLiteral("Background")));
}

bool Image_Library::loadPictures(const QString &folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    return false;
  images.clear();
  imageBrowser->reloadData();
  try {
    if (auto pictures = MyImageObject::picturesInFolder(folder))
      images = std::move(*pictures);
  } catch (const std::exception &e) {
    Show_NSLog_Message(reasonOf(e));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The pictures of \"%1\" could not be listed").arg(folder));
  }
  imageBrowser->reloadData();
  // The picture chosen before is shown selected again when it is among these.
  for (int i = 0; i < images.size(); ++i) {
    if (!selected_image.isEmpty() && images.at(i)->path == selected_image) {
      imageBrowser->setSelectionIndexes({i});
      break;
    }
  }
  return true;
}

void Image_Library::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID) {
  const QString trimmed = path.trimmed();
  if (trimmed.isEmpty())
    return;
  images.append(std::make_shared<MyImageObject>(trimmed, imageName, image_UID));
  imageBrowser->reloadData();
}

void Image_Library::OK_Clicked() {
  // Only the picture the window shows selected is taken, never one chosen at an earlier
  // opening that this one does not show.
  const QList<int> selected = imageBrowser->selectionIndexes();
  const MyImageObject *item = selected.isEmpty() ? nullptr : imageBrowser_itemAtIndex(imageBrowser, selected.front());
  if (item && !item->path.isEmpty() && QFileInfo(item->path).isFile()) {
    selected_image = item->path;
    window->done(ModalOK);
    return;
  }
  Show_MessageBox(QStringLiteral("Please select image."));
}

void Image_Library::Cancel_Clicked() {
  selected_image = QStringLiteral("");
  window->done(ModalCancel);
}

void Image_Library::zoomSliderDidChange() {
  imageBrowser->setZoomValue(double(_zoom_slider->value()) / ZoomSteps);
}

int Image_Library::numberOfItemsInImageBrowser(ImageBrowser *) { return int(images.size()); }

MyImageObject *Image_Library::imageBrowser_itemAtIndex(ImageBrowser *, int index) {
  return index >= 0 && index < images.size() ? images[index].get() : nullptr;
}

void Image_Library::imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                                            int destinationIndex) {
  MyImageObject::moveItems(images, indexes, destinationIndex);
  if (browser)
    browser->reloadData();
}

void Image_Library::imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &) {
  if (browser)
    browser->reloadData();
}

void Image_Library::imageBrowserSelectionDidChange(ImageBrowser *browser) {
  if (!browser)
    return;
  const QList<int> selected = browser->selectionIndexes();
  if (selected.isEmpty())
    return;
  if (MyImageObject *item = imageBrowser_itemAtIndex(browser, selected.front()))
    selected_image = item->path;
}
