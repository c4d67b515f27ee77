// The background browser under the canvas: the card backgrounds that ship in the
// resource folder's "Background", as thumbnails (made off the GUI thread by the
// browser). Choosing one makes it the front side's background at once, whichever side
// is being edited. The controller is the browser's data source; the items can be
// reordered on the screen (the order is not kept) but not removed or dragged out.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/ImageBrowser.h"

#include <QDir>
#include <QScopedValueRollback>

void QLNWindowController::Load_and_fill_backgrounds() {
  const QString folder = joinPath(Resource_Path, QStringLiteral("Background"));
  // A missing folder leaves the browser as it was.
  std::optional<QList<std::shared_ptr<MyImageObject>>> pictures = MyImageObject::picturesInFolder(folder);
  if (!pictures)
    return;
  images = *pictures;
  {
    const QScopedValueRollback quiet(m_showingFrontBackground, true);
    ui->imageBrowser->reloadData();
  }
  showFrontBackgroundInList();
}

void QLNWindowController::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID) {
  const QString trimmed = path.trimmed();
  if (trimmed.isEmpty())
    return;
  images.append(std::make_shared<MyImageObject>(trimmed, imageName, image_UID));
  ui->imageBrowser->reloadData();
}

int QLNWindowController::numberOfItemsInImageBrowser(ImageBrowser *) { return int(images.size()); }

const ImageBrowserItem *QLNWindowController::imageBrowser_itemAtIndex(ImageBrowser *, int index) {
  return index >= 0 && index < images.size() ? images.at(index).get() : nullptr;
}

void QLNWindowController::imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                                                  int destinationIndex) {
  MyImageObject::moveItems(images, indexes, destinationIndex);
  if (browser == ui->imageBrowser)
    browser->reloadData();
}

void QLNWindowController::imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &) {
  if (browser == ui->imageBrowser)
    browser->reloadData();
}

void QLNWindowController::imageBrowserSelectionDidChange(ImageBrowser *browser) {
  if (browser != ui->imageBrowser || m_showingFrontBackground)
    return;
  const QList<int> selection = browser->selectionIndexes();
  if (selection.isEmpty())
    return;
  const ImageBrowserItem *item = imageBrowser_itemAtIndex(browser, selection.first());
  if (!item)
    return;
  selected_image = item->imageRepresentation();
  // The front side, whichever side is being edited; the panel shows the card.
  set_Front_BG_Image(selected_image);
  Refresh_Canvas();
}

void QLNWindowController::showFrontBackgroundInList() {
  if (!ui || !ui->imageBrowser)
    return;
  QList<int> rows;
  const Card_Property &front = Front_card_Prop;
  const QString path = front.Card_BG_Image_Path();
  if (front.Card_fill_chk() && front.Card_fill_style() == QLatin1String("I") && !path.isEmpty()) {
    const QString wanted = QDir::cleanPath(path);
    for (int row = 0; row < images.size(); ++row)
      if (QDir::cleanPath(images.at(row)->path) == wanted) {
        rows = {row};
        break;
      }
  }
  if (ui->imageBrowser->selectionIndexes() == rows)
    return;
  const QScopedValueRollback quiet(m_showingFrontBackground, true);
  ui->imageBrowser->setSelectionIndexes(rows);
}
