#pragma once
// The image library: a modal window from which the user takes a picture out of those
// shipped in the resource folder, shown as thumbnails.
//  - mode "C" ("Image Library"): the pictures of one category at a time; the categories
//    are the folders inside the resource folder's "LibraryImage", listed with each
//    word capitalised and read from their own names on disk;
//  - any other mode ("Background Image Library"): the card backgrounds in "Background".
// Pictures are the files whose extension is "png" or "jpg" in any case. Categories and
// pictures are listed in name order: compared without case, names that differ only in
// case in the order of their characters.
//
// The caller sets control_or_BG, calls Open_Library_Window() and, on 1, reads
// selected_image. OK takes the picture the window shows selected (the first one); a
// path chosen at an earlier opening is shown selected again wherever it is listed, until
// another picture is selected or the window is cancelled. OK asks "Please select
// image." when nothing is selected or the selected file is gone, and the window stays
// open.
//
// One instance for the run (defaultInstance(), GUI thread), destroyed with the
// application object.

#include "canvas/MyImageObject.h"
#include "platform/ImageBrowser.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QComboBox;
class QDialog;
class QLabel;
class QPushButton;
class QSlider;

class Image_Library : public QObject, public ImageBrowserDataSource {
  Q_OBJECT
public:
  // The one instance, made on first use.
  static Image_Library *defaultInstance();

  Image_Library();
  ~Image_Library() override;

  // Runs the window modally in the mode control_or_BG; 1 when a picture was
  // confirmed (its path in selected_image), 0 when cancelled or on failure.
  int Open_Library_Window();
  // Lists the categories (the folders in "LibraryImage") in the combo box and selects
  // the first.
  void Fill_Combobox();
  // Shows the pictures of the category selected in the combo box (`sender`; other
  // senders are ignored). A category folder that is gone leaves the pictures shown.
  void comboBoxSelectionDidChange(QObject *sender);
  // Shows the pictures in "Background".
  void Load_and_fill_backgrounds();
  // Adds one item (the path trimmed of white space and line ends; nothing for an
  // empty path) and reloads the browser.
  void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);

  void OK_Clicked();
  void Cancel_Clicked();
  void zoomSliderDidChange();

  // ImageBrowserDataSource
  int numberOfItemsInImageBrowser(ImageBrowser *browser) override;
  MyImageObject *imageBrowser_itemAtIndex(ImageBrowser *browser, int index) override;
  // Takes the items at `indexes` out and inserts them, in their order, at the
  // destination reduced by the number of moved items that stood before it.
  void imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                               int destinationIndex) override;
  // Removes nothing: the library's pictures stay; the browser shows them again.
  void imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &indexes) override;
  // selected_image <- the path of the first selected item; an empty selection leaves it.
  void imageBrowserSelectionDidChange(ImageBrowser *browser);

  QDialog *window = nullptr;
  ImageBrowser *imageBrowser = nullptr;
  QList<std::shared_ptr<MyImageObject>> images;  // in browser order
  QLabel *_zoom_label = nullptr;
  QSlider *_zoom_slider = nullptr;                // 0..100 for zoom 0..1
  QComboBox *cat_cmbo_bx = nullptr;               // shown text: capitalised; item data: the folder's name
  QLabel *category_label = nullptr;
  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;
  QString control_or_BG = QStringLiteral("C");
  QString selected_image = QStringLiteral("");

private:
  // Builds the window and its controls.
  void buildWindow();
  // The window's look and the browser's wiring.
  void awakeFromNib();
  // Lists the pictures of `folder` into images (without reloading) and reloads once,
  // selecting the one of selected_image if it is there; false when `folder` is no folder.
  bool loadPictures(const QString &folder);
};

extern Image_Library *Image_Library_DefaultInstance;
