#include "platform/ImageBrowser.h"

#include "platform/ThumbnailCache.h"

#include <QAbstractListModel>
#include <QCoreApplication>
#include <QDataStream>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHash>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace {

// A drag inside a browser carries the rows under this type, with the browser's serial
// number and the process id, so a drop from another browser or program is refused.
const QString RowsMimeType = QStringLiteral("application/x-amends-image-browser-rows");

constexpr int SmallestSide = 32;
constexpr int LargestSide = 256;
constexpr int CellPadding = 6;

std::atomic<quint64> gNextSerial{1};

QList<int> sortedUnique(QList<int> indexes) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  return indexes;
}

}  // namespace

ImageBrowserItem::~ImageBrowserItem() = default;
QString ImageBrowserItem::imageRepresentationType() const {
  return QString::fromLatin1(ImageBrowserPathRepresentationType);
}

ImageBrowserDataSource::~ImageBrowserDataSource() = default;
void ImageBrowserDataSource::imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *, const QList<int> &, int) {}
void ImageBrowserDataSource::imageBrowser_removeItemsAtIndexes(ImageBrowser *, const QList<int> &) {}

// ---- Model -------------------------------------------------------------------------------

class ImageBrowserModel : public QAbstractListModel {
public:
  struct Cell {
    QString path;  // empty for an item the browser cannot load
    QString title;
    QString subtitle;
    QString uid;
    QImage image;                 // the last thumbnail that arrived, at imageBucket
    int imageBucket = 0;
    bool broken = false;          // the file at `bucket` could not be read
    int requestedBucket = 0;      // work asked for and not yet answered (0: none)
  };

  explicit ImageBrowserModel(ImageBrowser *browser) : QAbstractListModel(browser), m_browser(browser) {}

  ~ImageBrowserModel() override {
    if (m_cache)
      m_cache->cancelAll(this);
  }

  void setCache(ThumbnailCache *cache) {
    if (m_cache == cache)
      return;
    if (m_cache) {
      m_cache->cancelAll(this);
      disconnect(m_cache, nullptr, this, nullptr);
    }
    m_cache = cache;
    for (Cell &cell : m_cells)
      cell.requestedBucket = 0;
    if (m_cache)
      connect(m_cache, &ThumbnailCache::thumbnailReady, this, &ImageBrowserModel::arrived);
  }

  ThumbnailCache *cache() {
    if (!m_cache)
      setCache(ThumbnailCache::shared());
    return m_cache;
  }

  void reload(ImageBrowserDataSource *source) {
    beginResetModel();
    if (m_cache)
      m_cache->cancelAll(this);
    // Thumbnails already here are kept for the items that are shown again.
    QHash<QString, Cell> previous;
    for (Cell &cell : m_cells)
      if (!cell.path.isEmpty() && !cell.image.isNull())
        previous.insert(cell.path, std::move(cell));
    m_cells.clear();
    m_rowsByPath.clear();
    const int count = source ? std::max(0, source->numberOfItemsInImageBrowser(m_browser)) : 0;
    m_cells.reserve(count);
    for (int row = 0; row < count; ++row) {
      Cell cell;
      if (const ImageBrowserItem *item = source->imageBrowser_itemAtIndex(m_browser, row)) {
        if (item->imageRepresentationType() == QLatin1String(ImageBrowserPathRepresentationType))
          cell.path = item->imageRepresentation();
        cell.title = item->imageTitle();
        cell.subtitle = item->imageSubtitle();
        cell.uid = item->imageUID();
      }
      auto kept = previous.constFind(cell.path);
      if (kept != previous.cend()) {
        cell.image = kept->image;
        cell.imageBucket = kept->imageBucket;
      }
      cell.broken = cell.path.isEmpty();
      if (!cell.path.isEmpty())
        m_rowsByPath[cell.path].append(row);
      m_cells.push_back(std::move(cell));
    }
    endResetModel();
  }

  int rowCount(const QModelIndex &parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : int(m_cells.size());
  }

  QVariant data(const QModelIndex &index, int role) const override {
    if (!index.isValid() || index.row() >= int(m_cells.size()))
      return {};
    const Cell &cell = m_cells[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return cell.title;
    case Qt::ToolTipRole:
      return cell.subtitle.isEmpty() || cell.subtitle == cell.title
                 ? cell.title
                 : cell.title + QLatin1Char('\n') + cell.subtitle;
    case Qt::AccessibleDescriptionRole:
      return cell.subtitle;
    default:
      return {};
    }
  }

  Qt::ItemFlags flags(const QModelIndex &index) const override {
    if (!index.isValid())
      return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (m_browser->allowsReordering())
      f |= Qt::ItemIsDragEnabled;
    return f;
  }

  QStringList mimeTypes() const override { return {RowsMimeType}; }

  QMimeData *mimeData(const QModelIndexList &indexes) const override {
    QList<int> rows;
    for (const QModelIndex &index : indexes)
      rows.append(index.row());
    rows = sortedUnique(rows);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint64(QCoreApplication::applicationPid()) << m_serial << rows;
    auto *mime = new QMimeData;
    mime->setData(RowsMimeType, bytes);
    return mime;
  }

  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

  const Cell *cell(int row) const { return row >= 0 && row < int(m_cells.size()) ? &m_cells[row] : nullptr; }

  // What the item at `row` shows; asks for its thumbnail at the current size first.
  const Cell *cellForPainting(int row, int side) {
    if (row < 0 || row >= int(m_cells.size()))
      return nullptr;
    Cell &cell = m_cells[row];
    const int bucket = ThumbnailCache::bucketFor(side);
    const bool current = !cell.broken && cell.imageBucket == bucket && !cell.image.isNull();
    if (!cell.path.isEmpty() && !current && !(cell.broken && cell.imageBucket == bucket) &&
        cell.requestedBucket != bucket) {
      if (cell.requestedBucket != 0)
        cache()->cancel(this, cell.path, cell.requestedBucket);
      cell.requestedBucket = bucket;
      cache()->request(this, cell.path, side);
    }
    return &cell;
  }

  // Drops the work asked for items outside `visible`, to be asked again if painted.
  void dropWorkOutside(const QSet<int> &visible) {
    if (!m_cache)
      return;
    for (int row = 0; row < int(m_cells.size()); ++row) {
      Cell &cell = m_cells[row];
      if (cell.requestedBucket != 0 && !visible.contains(row)) {
        m_cache->cancel(this, cell.path, cell.requestedBucket);
        cell.requestedBucket = 0;
      }
    }
  }

  bool hasWorkPending() const {
    return std::any_of(m_cells.begin(), m_cells.end(), [](const Cell &c) { return c.requestedBucket != 0; });
  }

  quint64 serial() const { return m_serial; }

private:
  void arrived(const QString &path, int bucket, const QImage &image) {
    auto rows = m_rowsByPath.constFind(path);
    if (rows == m_rowsByPath.cend())
      return;  // not (or no longer) shown here
    for (int row : *rows) {
      Cell &cell = m_cells[row];
      if (cell.requestedBucket == bucket) {
        cell.requestedBucket = 0;
        cell.image = image;
        cell.imageBucket = bucket;
        cell.broken = image.isNull();
      } else if (cell.image.isNull() && !cell.broken && !image.isNull()) {
        // Nothing shown yet: a thumbnail of another size is better than the placeholder.
        cell.image = image;
        cell.imageBucket = bucket;
      } else {
        continue;
      }
      const QModelIndex at = index(row);
      emit dataChanged(at, at);
    }
  }

  ImageBrowser *m_browser;
  QPointer<ThumbnailCache> m_cache;
  std::vector<Cell> m_cells;
  QHash<QString, QList<int>> m_rowsByPath;
  const quint64 m_serial = gNextSerial.fetch_add(1);
};

// ---- Painting ------------------------------------------------------------------------------

namespace {

void paintPlaceholder(QPainter *p, const QRectF &square, bool broken, const QPalette &palette) {
  const QRectF frame = square.adjusted(4, 4, -4, -4);
  p->setPen(QPen(QColor(200, 203, 210), 1));
  p->setBrush(QColor(232, 234, 238));
  p->drawRoundedRect(frame, 6, 6);
  if (!broken)
    return;
  // A picture (sky, hill and sun) torn across, and a red cross.
  const double s = frame.width() * 0.5;
  const QRectF pic(frame.center().x() - s / 2, frame.center().y() - s * 0.4, s, s * 0.8);
  p->setPen(QPen(QColor(140, 144, 152), std::max(1.0, s / 30)));
  p->setBrush(QColor(250, 250, 250));
  p->drawRect(pic);
  QPainterPath hill;
  hill.moveTo(pic.left(), pic.bottom());
  hill.lineTo(pic.left() + pic.width() * 0.35, pic.top() + pic.height() * 0.45);
  hill.lineTo(pic.left() + pic.width() * 0.6, pic.top() + pic.height() * 0.7);
  hill.lineTo(pic.right(), pic.top() + pic.height() * 0.35);
  hill.lineTo(pic.right(), pic.bottom());
  hill.closeSubpath();
  p->setBrush(QColor(170, 176, 186));
  p->drawPath(hill);
  QPainterPath tear;
  tear.moveTo(pic.left() + pic.width() * 0.55, pic.top() - 1);
  for (int i = 1; i <= 6; ++i)
    tear.lineTo(pic.left() + pic.width() * (i % 2 ? 0.45 : 0.6), pic.top() + pic.height() * i / 6.0);
  p->setPen(QPen(palette.color(QPalette::Base), std::max(2.0, s / 12)));
  p->setBrush(Qt::NoBrush);
  p->drawPath(tear);
  const double c = s * 0.22;
  const QPointF at(pic.right(), pic.bottom());
  p->setPen(QPen(QColor(200, 40, 40), std::max(1.5, s / 16), Qt::SolidLine, Qt::RoundCap));
  p->drawLine(at + QPointF(-c / 2, -c / 2), at + QPointF(c / 2, c / 2));
  p->drawLine(at + QPointF(-c / 2, c / 2), at + QPointF(c / 2, -c / 2));
}

class ImageBrowserDelegate : public QStyledItemDelegate {
public:
  ImageBrowserDelegate(ImageBrowser *browser, ImageBrowserModel *model)
      : QStyledItemDelegate(browser), m_browser(browser), m_model(model) {}

  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override {
    const int side = m_browser->thumbnailSide();
    return QSize(side + 2 * CellPadding, side + 3 * CellPadding + option.fontMetrics.height());
  }

  void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    const int side = m_browser->thumbnailSide();
    const qreal ratio = m_browser->devicePixelRatioF();
    const ImageBrowserModel::Cell *cell = m_model->cellForPainting(index.row(), int(std::ceil(side * ratio)));
    if (!cell)
      return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect r = option.rect;
    const QRectF square(r.center().x() - side / 2.0, r.top() + CellPadding, side, side);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
      QColor highlight = option.palette.color(QPalette::Highlight);
      highlight.setAlpha(70);
      p->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
      p->setBrush(highlight);
      p->drawRoundedRect(QRectF(r).adjusted(2, 2, -2, -2), 8, 8);
    }
    if (!cell->image.isNull() && !cell->broken) {
      QSizeF size = QSizeF(cell->image.size()).scaled(square.size(), Qt::KeepAspectRatio);
      const QRectF target(square.center().x() - size.width() / 2, square.center().y() - size.height() / 2,
                          size.width(), size.height());
      p->drawImage(target, cell->image);
    } else {
      paintPlaceholder(p, square, cell->broken, option.palette);
    }
    const QRect text(r.left() + CellPadding, int(square.bottom()) + CellPadding, r.width() - 2 * CellPadding,
                     option.fontMetrics.height());
    p->setPen(option.palette.color(QPalette::Text));
    p->setFont(option.font);
    p->drawText(text, Qt::AlignHCenter | Qt::AlignVCenter,
                option.fontMetrics.elidedText(cell->title, Qt::ElideMiddle, text.width()));
    if (option.state & QStyle::State_HasFocus && m_browser->hasFocus()) {
      p->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
      p->setBrush(Qt::NoBrush);
      p->drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5), 8, 8);
    }
    p->restore();
  }

private:
  ImageBrowser *m_browser;
  ImageBrowserModel *m_model;
};

}  // namespace

// ---- View -----------------------------------------------------------------------------------

ImageBrowser::ImageBrowser(QWidget *parent) : QListView(parent) {
  m_outOfViewTimer = new QTimer(this);
  m_outOfViewTimer->setSingleShot(true);
  m_outOfViewTimer->setInterval(50);
  connect(m_outOfViewTimer, &QTimer::timeout, this, &ImageBrowser::dropWorkOutOfView);
  m_model = new ImageBrowserModel(this);
  setModel(m_model);
  setItemDelegate(new ImageBrowserDelegate(this, m_model));
  setViewMode(QListView::IconMode);
  setMovement(QListView::Static);  // reordering is ours: asked of the data source
  setFlow(QListView::LeftToRight);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setAccessibleName(QStringLiteral("Image browser"));
  setToolTip(QStringLiteral("Pictures"));
  updateGrid();

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!m_reloading)
      emit selectionDidChange();
  });
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
    if (index.isValid())
      emit cellWasDoubleClickedAtIndex(index.row());
  });
}

ImageBrowser::~ImageBrowser() = default;

void ImageBrowser::setDataSource(ImageBrowserDataSource *dataSource) { m_dataSource = dataSource; }

void ImageBrowser::setThumbnailCache(ThumbnailCache *cache) { m_model->setCache(cache); }

void ImageBrowser::reloadData() {
  // The selection follows the items by their unique ids.
  const QList<int> before = selectionIndexes();
  QSet<QString> selectedUIDs;
  for (int row : before)
    if (const auto *cell = m_model->cell(row))
      selectedUIDs.insert(cell->uid);
  const int current = currentIndex().isValid() ? currentIndex().row() : -1;
  const QString currentUID = m_model->cell(current) ? m_model->cell(current)->uid : QString();

  m_reloading = true;
  m_model->reload(m_dataSource);
  QItemSelection selection;
  QModelIndex newCurrent;
  for (int row = 0; row < m_model->rowCount(); ++row) {
    const QString &uid = m_model->cell(row)->uid;
    if (selectedUIDs.contains(uid))
      selection.select(m_model->index(row), m_model->index(row));
    if (!newCurrent.isValid() && !currentUID.isNull() && uid == currentUID)
      newCurrent = m_model->index(row);
  }
  if (newCurrent.isValid())
    selectionModel()->setCurrentIndex(newCurrent, QItemSelectionModel::NoUpdate);
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  m_reloading = false;
  viewport()->update();
  if (selectionIndexes() != before)
    emit selectionDidChange();
}

int ImageBrowser::numberOfItems() const { return m_model->rowCount(); }

void ImageBrowser::setZoomValue(double zoom) {
  if (std::isnan(zoom))
    return;
  zoom = std::clamp(zoom, 0.0, 1.0);
  if (zoom == m_zoom)
    return;
  m_zoom = zoom;
  updateGrid();
}

int ImageBrowser::thumbnailSide() const {
  return int(std::lround(SmallestSide + m_zoom * (LargestSide - SmallestSide)));
}

QList<int> ImageBrowser::selectionIndexes() const {
  QList<int> rows;
  for (const QModelIndex &index : selectionModel()->selectedIndexes())
    rows.append(index.row());
  return sortedUnique(rows);
}

void ImageBrowser::setSelectionIndexes(const QList<int> &indexes, bool extend) {
  QItemSelection selection;
  for (int row : indexes)
    if (row >= 0 && row < m_model->rowCount())
      selection.select(m_model->index(row), m_model->index(row));
  selectionModel()->select(selection, extend ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
}

ImageBrowser::ThumbnailState ImageBrowser::thumbnailState(int index) const {
  const auto *cell = m_model->cell(index);
  if (!cell || cell->broken)
    return ThumbnailState::Broken;
  return cell->image.isNull() ? ThumbnailState::Placeholder : ThumbnailState::Ready;
}

QImage ImageBrowser::thumbnail(int index) const {
  const auto *cell = m_model->cell(index);
  return cell && !cell->broken ? cell->image : QImage();
}

QString ImageBrowser::itemUID(int index) const {
  const auto *cell = m_model->cell(index);
  return cell ? cell->uid : QString();
}

void ImageBrowser::updateGrid() {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QSize cell = itemDelegate()->sizeHint(option, QModelIndex());
  setIconSize(QSize(thumbnailSide(), thumbnailSide()));
  setGridSize(cell + QSize(4, 4));
  viewport()->update();
}

void ImageBrowser::keyPressEvent(QKeyEvent *event) {
  if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
      event->modifiers() == Qt::NoModifier) {
    const QList<int> selected = selectionIndexes();
    if (m_dataSource && !selected.isEmpty())
      m_dataSource->imageBrowser_removeItemsAtIndexes(this, selected);
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
}

QList<int> ImageBrowser::draggedRows(const QMimeData *mime) const {
  if (!mime || !mime->hasFormat(RowsMimeType))
    return {};
  QDataStream in(mime->data(RowsMimeType));
  qint64 pid = 0;
  quint64 serial = 0;
  QList<int> rows;
  in >> pid >> serial >> rows;
  if (in.status() != QDataStream::Ok || pid != QCoreApplication::applicationPid() || serial != m_model->serial())
    return {};
  rows = sortedUnique(rows);
  const int count = m_model->rowCount();
  if (rows.isEmpty() || rows.front() < 0 || rows.back() >= count)
    return {};
  return rows;
}

int ImageBrowser::dropIndexAt(const QPoint &pos) const {
  const int count = m_model->rowCount();
  if (count == 0)
    return 0;
  int nearest = -1;
  qint64 nearestDistance = std::numeric_limits<qint64>::max();
  int bottom = std::numeric_limits<int>::min();
  for (int row = 0; row < count; ++row) {
    const QRect r = visualRect(m_model->index(row));
    bottom = std::max(bottom, r.bottom());
    const qint64 dx = pos.x() < r.left() ? r.left() - pos.x() : pos.x() > r.right() ? pos.x() - r.right() : 0;
    const qint64 dy = pos.y() < r.top() ? r.top() - pos.y() : pos.y() > r.bottom() ? pos.y() - r.bottom() : 0;
    const qint64 distance = dx * dx + dy * dy;
    if (distance < nearestDistance) {
      nearest = row;
      nearestDistance = distance;
      if (distance == 0)
        break;
    }
  }
  if (pos.y() > bottom)
    return count;  // below every item: after the last
  const QRect r = visualRect(m_model->index(nearest));
  return pos.x() < r.center().x() ? nearest : nearest + 1;
}

void ImageBrowser::dragEnterEvent(QDragEnterEvent *event) {
  if (m_allowsReordering && !draggedRows(event->mimeData()).isEmpty()) {
    event->setDropAction(Qt::MoveAction);
    event->accept();
    m_dropGap = dropIndexAt(event->position().toPoint());
    viewport()->update();
  } else {
    event->ignore();
  }
}

void ImageBrowser::dragMoveEvent(QDragMoveEvent *event) {
  if (m_allowsReordering && !draggedRows(event->mimeData()).isEmpty()) {
    event->setDropAction(Qt::MoveAction);
    event->accept();
    m_dropGap = dropIndexAt(event->position().toPoint());
  } else {
    event->ignore();
    m_dropGap = -1;
  }
  viewport()->update();
}

void ImageBrowser::dragLeaveEvent(QDragLeaveEvent *event) {
  m_dropGap = -1;
  viewport()->update();
  event->accept();
}

void ImageBrowser::dropEvent(QDropEvent *event) {
  m_dropGap = -1;
  viewport()->update();
  const QList<int> rows = m_allowsReordering ? draggedRows(event->mimeData()) : QList<int>();
  if (rows.isEmpty()) {
    event->ignore();
    return;
  }
  const int destination = dropIndexAt(event->position().toPoint());
  // The drag's own end removes nothing: the model offers no row removal, and the data
  // source reloads the browser with the order it decided on.
  event->setDropAction(Qt::MoveAction);
  event->accept();
  if (m_dataSource)
    m_dataSource->imageBrowser_moveItemsAtIndexes_toIndex(this, rows, destination);
}

void ImageBrowser::paintEvent(QPaintEvent *event) {
  QListView::paintEvent(event);
  if (m_dropGap < 0 || m_model->rowCount() == 0)
    return;
  // The insertion mark: a bar at the left of the item the drop goes before (or at the
  // right of the last one).
  const int count = m_model->rowCount();
  const bool after = m_dropGap >= count;
  const QRect r = visualRect(m_model->index(after ? count - 1 : m_dropGap));
  const int x = after ? r.right() + 1 : r.left() - 1;
  QPainter p(viewport());
  p.fillRect(QRect(x - 1, r.top() + 2, 3, r.height() - 4), palette().color(QPalette::Highlight));
}

void ImageBrowser::scrollContentsBy(int dx, int dy) {
  QListView::scrollContentsBy(dx, dy);
  m_outOfViewTimer->start();
}

void ImageBrowser::resizeEvent(QResizeEvent *event) {
  QListView::resizeEvent(event);
  m_outOfViewTimer->start();
}

void ImageBrowser::dropWorkOutOfView() {
  if (!m_model->hasWorkPending())
    return;
  QSet<int> visible;
  const QRect area = viewport()->rect();
  for (int row = 0; row < m_model->rowCount(); ++row)
    if (visualRect(m_model->index(row)).intersects(area))
      visible.insert(row);
  m_model->dropWorkOutside(visible);
}
