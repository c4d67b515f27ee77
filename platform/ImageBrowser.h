#pragma once
// A thumbnail browser over picture files: a grid of thumbnails with their titles, fed
// by a data source (how many items, and each item's path, title, subtitle and unique
// id), with a zoom value that sets the thumbnail size, a selection, reordering by
// dragging inside the view (asked of the data source, which decides), the delete key
// (asked of the data source as well) and double clicks.
//
// Thumbnails are made off the GUI thread by a ThumbnailCache (the shared one unless
// another is given): an item shows a neutral placeholder until its thumbnail
// arrives, and a "broken picture" placeholder when its file cannot be read. Only the
// items painted (those in view) are asked for; work for items scrolled out of view,
// or no longer shown after reloadData, is dropped before it starts.
//
// The browser reads its data source only in reloadData (and keeps copies of the
// items), so a data source changes its items and then calls reloadData.
// GUI thread only.

#include <QList>
#include <QListView>
#include <QString>

class ImageBrowser;
class ImageBrowserModel;
class QMimeData;
class QTimer;
class ThumbnailCache;

// The only representation the browser loads: the item's representation is the path
// of a picture file.
inline constexpr const char *ImageBrowserPathRepresentationType = "path";

// One item as a data source hands it to the browser.
class ImageBrowserItem {
public:
  virtual ~ImageBrowserItem();
  // ImageBrowserPathRepresentationType; an item of another type shows as broken.
  virtual QString imageRepresentationType() const;
  // The path of the picture file.
  virtual QString imageRepresentation() const = 0;
  // Unique within the browser; the selection follows items by it across reloads.
  virtual QString imageUID() const = 0;
  virtual QString imageTitle() const = 0;
  virtual QString imageSubtitle() const = 0;
};

// Indexes are in ascending order without repeats.
class ImageBrowserDataSource {
public:
  virtual ~ImageBrowserDataSource();
  virtual int numberOfItemsInImageBrowser(ImageBrowser *browser) = 0;
  // The item at `index` (0 <= index < count); read at once, not kept. Null shows as a
  // broken item.
  virtual const ImageBrowserItem *imageBrowser_itemAtIndex(ImageBrowser *browser, int index) = 0;
  // The user dragged the items at `indexes` to `destinationIndex` (a gap between the
  // items as they are now: 0 before the first, count after the last). The data source
  // reorders (or not) and reloads the browser. Only asked when reordering is allowed.
  virtual void imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                                       int destinationIndex);
  // The user pressed Delete (or Backspace) with `indexes` selected. The data source
  // removes (or not) and reloads the browser.
  virtual void imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &indexes);
};

class ImageBrowser : public QListView {
  Q_OBJECT
public:
  enum class ThumbnailState { Placeholder, Ready, Broken };

  explicit ImageBrowser(QWidget *parent = nullptr);
  ~ImageBrowser() override;

  // Not owned; may be null.
  void setDataSource(ImageBrowserDataSource *dataSource);
  ImageBrowserDataSource *dataSource() const { return m_dataSource; }
  // Not owned; null takes ThumbnailCache::shared(). Call before the first reloadData.
  void setThumbnailCache(ThumbnailCache *cache);

  // Reads the items from the data source again. Thumbnails not yet made for the items
  // shown before are no longer waited for; selected items stay selected when an item
  // of the same unique id is still there.
  void reloadData();
  int numberOfItems() const;

  // 0 gives the smallest thumbnails, 1 the largest; values outside are held to the
  // range and a value that is not a number is ignored.
  void setZoomValue(double zoom);
  double zoomValue() const { return m_zoom; }
  // The side of a thumbnail's square at the current zoom, in pixels.
  int thumbnailSide() const;

  void setAllowsReordering(bool allows) { m_allowsReordering = allows; }
  bool allowsReordering() const { return m_allowsReordering; }

  // Selected item indexes in ascending order.
  QList<int> selectionIndexes() const;
  // Selects the items at `indexes` (those out of range are ignored), adding them to
  // the selection when `extend`.
  void setSelectionIndexes(const QList<int> &indexes, bool extend = false);

  // What the item at `index` shows now, and its thumbnail (null unless Ready).
  ThumbnailState thumbnailState(int index) const;
  QImage thumbnail(int index) const;
  // The unique id the item at `index` had at the last reload.
  QString itemUID(int index) const;

signals:
  void selectionDidChange();
  void cellWasDoubleClickedAtIndex(int index);

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void dragEnterEvent(QDragEnterEvent *event) override;
  void dragMoveEvent(QDragMoveEvent *event) override;
  void dragLeaveEvent(QDragLeaveEvent *event) override;
  void dropEvent(QDropEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  friend class ImageBrowserModel;
  // The rows carried by a drag that started in this browser, or empty.
  QList<int> draggedRows(const QMimeData *mime) const;
  // The gap a drop at `pos` (viewport coordinates) falls into.
  int dropIndexAt(const QPoint &pos) const;
  void updateGrid();
  void dropWorkOutOfView();

  ImageBrowserModel *m_model = nullptr;
  ImageBrowserDataSource *m_dataSource = nullptr;
  double m_zoom = 0.4;
  bool m_allowsReordering = false;
  bool m_reloading = false;
  int m_dropGap = -1;  // where a drag would drop, while one is over the view
  QTimer *m_outOfViewTimer = nullptr;
};
