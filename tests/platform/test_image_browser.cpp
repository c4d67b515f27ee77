// The thumbnail browser and its cache: thumbnails made on worker threads while the
// window goes on, placeholders for what is not there yet or cannot be read, the cache
// and its memory bound, and the requests a user's drag, Delete key and selection make
// of the data source.

#include "platform/ImageBrowser.h"
#include "platform/ThumbnailCache.h"
#include "tests/common/TestSupport.h"
#include "tests/core/special_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct Item : ImageBrowserItem {
  QString path, title, uid;
  QString imageRepresentation() const override { return path; }
  QString imageUID() const override { return uid; }
  QString imageTitle() const override { return title; }
  QString imageSubtitle() const override { return title; }
};

// A data source over a list of files; records the requests the browser makes.
struct Source : ImageBrowserDataSource {
  std::vector<std::shared_ptr<Item>> items;
  std::vector<std::pair<QList<int>, int>> moves;
  std::vector<QList<int>> removals;
  bool withNullItem = false;

  void set(const QStringList &paths) {
    items.clear();
    for (const QString &path : paths) {
      auto item = std::make_shared<Item>();
      item->path = path;
      item->title = QFileInfo(path).fileName();
      item->uid = item->title;
      items.push_back(item);
    }
  }
  int numberOfItemsInImageBrowser(ImageBrowser *) override { return int(items.size()) + (withNullItem ? 1 : 0); }
  const ImageBrowserItem *imageBrowser_itemAtIndex(ImageBrowser *, int index) override {
    return index < int(items.size()) ? items[index].get() : nullptr;
  }
  void imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *, const QList<int> &indexes, int to) override {
    moves.emplace_back(indexes, to);
  }
  void imageBrowser_removeItemsAtIndexes(ImageBrowser *, const QList<int> &indexes) override {
    removals.push_back(indexes);
  }
};

// A decoder that records where it runs and can be held until the test lets it go.
struct RecordingDecoder {
  std::atomic<bool> held{false};
  std::atomic<int> calls{0};
  std::atomic<int> onGuiThread{0};
  QMutex mutex;
  QStringList paths;

  ThumbnailCache::Decoder decoder() {
    QThread *gui = QCoreApplication::instance()->thread();
    return [this, gui](const QString &path, int side, QString *error) {
      ++calls;
      if (QThread::currentThread() == gui)
        ++onGuiThread;
      {
        QMutexLocker lock(&mutex);
        paths << QFileInfo(path).fileName();
      }
      for (int waited = 0; held.load() && waited < 10000; ++waited)
        QThread::msleep(1);
      return ThumbnailCache::decodeThumbnail(path, side, error);
    };
  }
};

class ImageBrowserWorkerTest : public ::testing::Test {
protected:
  QString picture(const QString &name, int width, int height, const QColor &colour = QColor(40, 120, 200)) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = m_dir.filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
  }
  QStringList pictures(int count, int width = 400, int height = 300) {
    QStringList paths;
    for (int i = 0; i < count; ++i)
      paths << picture(QStringLiteral("p%1.png").arg(i, 3, 10, QLatin1Char('0')), width, height,
                       QColor::fromHsv((i * 37) % 360, 180, 220));
    return paths;
  }
  void showBrowser(ImageBrowser &browser, QSize size = QSize(800, 600)) {
    browser.setDataSource(&source);
    browser.resize(size);
    browser.show();
    browser.reloadData();
  }
  bool allReady(const ImageBrowser &browser) {
    for (int i = 0; i < browser.numberOfItems(); ++i)
      if (browser.thumbnailState(i) != ImageBrowser::ThumbnailState::Ready)
        return false;
    return true;
  }

  QTemporaryDir m_dir;
  Source source;
};

// ---- Thumbnails off the GUI thread ---------------------------------------------------------

TEST_F(ImageBrowserWorkerTest, ThumbnailsAreDecodedOnWorkersWhileTheWindowGoesOn) {
  RecordingDecoder recorder;
  recorder.held = true;
  ThumbnailCache cache(ThumbnailCache::DefaultMaxBytes, 2, recorder.decoder());
  source.set(pictures(12, 900, 600));
  ImageBrowser browser;
  browser.setThumbnailCache(&cache);
  showBrowser(browser);

  // While every decode is held, the event loop runs on and shows placeholders.
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(5);
  ASSERT_TRUE(spinUntil([&] { return recorder.calls.load() >= 2 && ticks >= 10; }, 5000));
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(browser.thumbnailState(i), ImageBrowser::ThumbnailState::Placeholder) << i;

  recorder.held = false;
  ASSERT_TRUE(spinUntil([&] { return allReady(browser); }));
  EXPECT_EQ(recorder.calls.load(), 12);
  EXPECT_EQ(recorder.onGuiThread.load(), 0);
  // Thumbnails are made at the bucket of the cell's size, never at the file's size.
  const int bucket = ThumbnailCache::bucketFor(int(std::ceil(browser.thumbnailSide() * browser.devicePixelRatioF())));
  for (int i = 0; i < 12; ++i) {
    const QImage thumb = browser.thumbnail(i);
    EXPECT_EQ(thumb.width(), bucket) << i;
    EXPECT_EQ(thumb.height(), bucket * 2 / 3) << i;
  }
}

TEST_F(ImageBrowserWorkerTest, UnreadableFilesShowTheBrokenPlaceholder) {
  const QString good = picture(QStringLiteral("good.png"), 200, 100);
  const QString garbage = m_dir.filePath(QStringLiteral("garbage.png"));
  {
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\nthis is no picture");
  }
  const QString folder = m_dir.filePath(QStringLiteral("folder.png"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString pipe = m_dir.filePath(QStringLiteral("pipe.png"));
  ASSERT_TRUE(specialfiles::makeFifo(pipe));
  const QString missing = m_dir.filePath(QStringLiteral("missing.png"));
  const QString empty = m_dir.filePath(QStringLiteral("empty.jpg"));
  QFile(empty).open(QIODevice::WriteOnly);

  ThumbnailCache cache;
  source.set({good, garbage, folder, pipe, missing, empty});
  source.withNullItem = true;  // an item the data source could not give
  ImageBrowser browser;
  browser.setThumbnailCache(&cache);
  showBrowser(browser);

  const bool settled = spinUntil([&] {
    if (browser.thumbnailState(0) != ImageBrowser::ThumbnailState::Ready)
      return false;
    for (int i = 1; i < browser.numberOfItems(); ++i)
      if (browser.thumbnailState(i) != ImageBrowser::ThumbnailState::Broken)
        return false;
    return true;
  });
  // A reader waiting on the pipe would hold the cache's destruction: release it first.
  const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0)
    ::close(fd);
  ASSERT_TRUE(settled);
  EXPECT_EQ(browser.numberOfItems(), 7);
  EXPECT_TRUE(browser.thumbnail(1).isNull());
}

// ---- The cache ----------------------------------------------------------------------------

TEST_F(ImageBrowserWorkerTest, ASecondBrowserIsAnsweredFromTheCacheUntilAFileChanges) {
  RecordingDecoder recorder;
  ThumbnailCache cache(ThumbnailCache::DefaultMaxBytes, 3, recorder.decoder());
  const QStringList paths = pictures(6);
  source.set(paths);
  {
    ImageBrowser first;
    first.setThumbnailCache(&cache);
    showBrowser(first);
    ASSERT_TRUE(spinUntil([&] { return allReady(first); }));
  }
  EXPECT_EQ(recorder.calls.load(), 6);
  EXPECT_EQ(cache.stats().hits, 0);

  // The same files: nothing decoded again.
  {
    ImageBrowser second;
    second.setThumbnailCache(&cache);
    showBrowser(second);
    ASSERT_TRUE(spinUntil([&] { return allReady(second); }));
  }
  EXPECT_EQ(recorder.calls.load(), 6);
  EXPECT_EQ(cache.stats().hits, 6);

  // A file written again (another size): its new picture is made, the others come from memory.
  picture(QStringLiteral("p002.png"), 500, 100, Qt::red);
  ImageBrowser third;
  third.setThumbnailCache(&cache);
  showBrowser(third);
  ASSERT_TRUE(spinUntil([&] { return allReady(third); }));
  EXPECT_EQ(recorder.calls.load(), 7);
  EXPECT_EQ(third.thumbnail(2).pixelColor(1, 1), QColor(Qt::red));
  EXPECT_EQ(third.thumbnail(2).size(), QSize(128, 25));
}

TEST_F(ImageBrowserWorkerTest, TheCacheKeepsWithinItsBytesDroppingTheLeastRecentlyUsed) {
  RecordingDecoder recorder;
  // One 128-pixel thumbnail of a 4:3 picture is 128 x 96 x 4 bytes: room for three.
  const qint64 one = 128 * 96 * 4;
  ThumbnailCache cache(3 * one + one / 2, 1, recorder.decoder());
  const QStringList paths = pictures(5, 400, 300);
  int ready = 0;
  QObject::connect(&cache, &ThumbnailCache::thumbnailReady, [&] { ++ready; });
  auto ask = [&](const QString &path) {
    const int before = ready;
    cache.request(this, path, 128);
    ASSERT_TRUE(spinUntil([&] { return ready > before; }));
  };
  for (const QString &path : paths)
    ask(path);
  EXPECT_EQ(recorder.calls.load(), 5);
  EXPECT_LE(cache.stats().bytes, cache.maxBytes());
  EXPECT_EQ(cache.stats().entries, 3);

  ask(paths[4]);  // still held
  EXPECT_EQ(recorder.calls.load(), 5);
  ask(paths[0]);  // dropped first: made again
  EXPECT_EQ(recorder.calls.load(), 6);
  EXPECT_LE(cache.stats().bytes, cache.maxBytes());
}

TEST_F(ImageBrowserWorkerTest, ReloadDropsWorkForItemsNoLongerShownAndOnlyVisibleItemsAreAskedFor) {
  RecordingDecoder recorder;
  recorder.held = true;
  ThumbnailCache cache(ThumbnailCache::DefaultMaxBytes, 1, recorder.decoder());
  const QStringList old = pictures(40);
  source.set(old);
  ImageBrowser browser;
  browser.setThumbnailCache(&cache);
  showBrowser(browser, QSize(420, 300));  // a few rows of the forty in view
  ASSERT_TRUE(spinUntil([&] { return recorder.calls.load() == 1 && cache.stats().queued > 0; }));
  const int askedFirst = cache.stats().queued + 1;
  EXPECT_LT(askedFirst, 40);

  const QStringList fresh = {picture(QStringLiteral("new1.png"), 300, 300), picture(QStringLiteral("new2.png"), 300, 300)};
  source.set(fresh);
  browser.reloadData();
  ASSERT_TRUE(spinUntil([&] { return cache.stats().queued == 2; }));
  recorder.held = false;
  ASSERT_TRUE(spinUntil([&] { return allReady(browser); }));
  QMutexLocker lock(&recorder.mutex);
  // The one running when the items changed, then the new ones only.
  EXPECT_EQ(recorder.paths, QStringList({QStringLiteral("p000.png"), QStringLiteral("new1.png"),
                                         QStringLiteral("new2.png")}));
}

TEST_F(ImageBrowserWorkerTest, ItemsScrolledOutOfViewAreNotWaitedFor) {
  RecordingDecoder recorder;
  recorder.held = true;
  ThumbnailCache cache(ThumbnailCache::DefaultMaxBytes, 1, recorder.decoder());
  source.set(pictures(40));
  ImageBrowser browser;
  browser.setThumbnailCache(&cache);
  showBrowser(browser, QSize(420, 300));
  ASSERT_TRUE(spinUntil([&] { return recorder.calls.load() == 1 && cache.stats().queued > 0; }));

  browser.scrollToBottom();
  const QRect area = browser.viewport()->rect();
  ASSERT_FALSE(browser.visualRect(browser.model()->index(1, 0)).intersects(area));
  ASSERT_TRUE(browser.visualRect(browser.model()->index(39, 0)).intersects(area));
  QThread::msleep(80);  // the view settles before it drops work
  spinUntil([] { return false; }, 200);
  recorder.held = false;
  ASSERT_TRUE(spinUntil([&] { return browser.thumbnailState(39) == ImageBrowser::ThumbnailState::Ready; }));
  spinUntil([&] { return cache.stats().queued == 0; }, 2000);
  QMutexLocker lock(&recorder.mutex);
  EXPECT_EQ(recorder.paths.front(), QStringLiteral("p000.png"));  // running when scrolled
  EXPECT_FALSE(recorder.paths.contains(QStringLiteral("p001.png")));
  EXPECT_TRUE(recorder.paths.contains(QStringLiteral("p039.png")));
}

TEST_F(ImageBrowserWorkerTest, DecodingALargePhotoReadsItScaledWithItsShape) {
  QImage photo(3000, 2000, QImage::Format_RGB32);
  photo.fill(QColor(10, 200, 30));
  const QString path = m_dir.filePath(QStringLiteral("large.jpg"));
  ASSERT_TRUE(photo.save(path, "JPEG", 80));
  QString error;
  const QImage thumb = ThumbnailCache::decodeThumbnail(path, 192, &error);
  EXPECT_EQ(thumb.size(), QSize(192, 128)) << error.toStdString();
  // A small picture is not enlarged.
  EXPECT_EQ(ThumbnailCache::decodeThumbnail(picture(QStringLiteral("small.png"), 20, 10), 192).size(), QSize(20, 10));
  EXPECT_EQ(ThumbnailCache::bucketFor(1), 32);
  EXPECT_EQ(ThumbnailCache::bucketFor(129), 192);
  EXPECT_EQ(ThumbnailCache::bucketFor(5000), 512);
}

// ---- What the user does ----------------------------------------------------------------------

class ImageBrowserTest : public ImageBrowserWorkerTest {
protected:
  void SetUp() override {
    // No thumbnail is made here: the items name no files (they show as broken), so no
    // worker starts.
    source.set({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                QStringLiteral("e")});
    for (auto &item : source.items)
      item->path.clear();
    browser.setThumbnailCache(&cache);
    browser.setDataSource(&source);
    browser.resize(900, 400);
    browser.setAllowsReordering(true);
    browser.show();
    browser.reloadData();
  }
  QMimeData *dragOf(const QList<int> &rows) {
    QModelIndexList indexes;
    for (int row : rows)
      indexes << browser.model()->index(row, 0);
    return browser.model()->mimeData(indexes);
  }
  // As the window system delivers a drag: it enters, and the drop goes where the
  // entering was accepted.
  void drop(QMimeData *mime, QPoint at) {
    QDragEnterEvent enter(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(browser.viewport(), &enter);
    QDropEvent event(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(browser.viewport(), &event);
    delete mime;
  }
  QRect cell(int row) { return browser.visualRect(browser.model()->index(row, 0)); }

  ThumbnailCache cache{ThumbnailCache::DefaultMaxBytes, 1, [](const QString &, int, QString *) { return QImage(); }};
  ImageBrowser browser;
};

TEST_F(ImageBrowserTest, DraggedItemsAreAskedToMoveToTheGapUnderTheDrop) {
  ASSERT_LT(cell(3).top(), cell(4).bottom());  // one row
  drop(dragOf({0, 1}), QPoint(cell(3).right() - 3, cell(3).center().y()));    // after d
  drop(dragOf({3}), QPoint(cell(0).left() + 3, cell(0).center().y()));         // before a
  drop(dragOf({0, 2, 4}), QPoint(cell(1).center().x() + 5, cell(1).bottom() - 2));
  drop(dragOf({1}), QPoint(cell(4).right() + 40, cell(4).center().y()));       // past the last
  drop(dragOf({2}), QPoint(10, cell(0).bottom() + 60));                       // below every item
  ASSERT_EQ(source.moves.size(), 5u);
  EXPECT_EQ(source.moves[0], std::make_pair(QList<int>{0, 1}, 4));
  EXPECT_EQ(source.moves[1], std::make_pair(QList<int>{3}, 0));
  EXPECT_EQ(source.moves[2], std::make_pair(QList<int>{0, 2, 4}, 2));
  EXPECT_EQ(source.moves[3], std::make_pair(QList<int>{1}, 5));
  EXPECT_EQ(source.moves[4], std::make_pair(QList<int>{2}, 5));
}

TEST_F(ImageBrowserTest, DropsFromElsewhereOrWithoutReorderingAskNothing) {
  ImageBrowser other;
  other.setThumbnailCache(&cache);
  other.setDataSource(&source);
  other.reloadData();
  QModelIndexList fromOther{other.model()->index(0, 0)};
  drop(other.model()->mimeData(fromOther), cell(2).center());
  auto *files = new QMimeData;
  files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/x.png"))});
  drop(files, cell(2).center());
  browser.setAllowsReordering(false);
  drop(dragOf({0}), cell(3).center());
  EXPECT_TRUE(source.moves.empty());
  // Without reordering the items cannot be dragged at all.
  EXPECT_FALSE(browser.model()->flags(browser.model()->index(0, 0)) & Qt::ItemIsDragEnabled);
}

TEST_F(ImageBrowserTest, DeleteAsksTheDataSourceForTheSelection) {
  QKeyEvent none(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QCoreApplication::sendEvent(&browser, &none);
  EXPECT_TRUE(source.removals.empty());
  browser.setSelectionIndexes({3, 1});
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QCoreApplication::sendEvent(&browser, &del);
  QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QCoreApplication::sendEvent(&browser, &back);
  ASSERT_EQ(source.removals.size(), 2u);
  EXPECT_EQ(source.removals[0], QList<int>({1, 3}));
  EXPECT_EQ(browser.numberOfItems(), 5);  // the browser itself removes nothing
}

TEST_F(ImageBrowserTest, SelectionFollowsItemsAcrossReloadsAndSignalsChanges) {
  int changed = 0;
  QObject::connect(&browser, &ImageBrowser::selectionDidChange, [&] { ++changed; });
  browser.setSelectionIndexes({4, 1, 9});
  EXPECT_EQ(browser.selectionIndexes(), QList<int>({1, 4}));
  EXPECT_EQ(changed, 1);
  browser.setSelectionIndexes({2}, true);
  EXPECT_EQ(browser.selectionIndexes(), QList<int>({1, 2, 4}));

  // The data source moves b to the front: the same items stay selected.
  std::swap(source.items[0], source.items[1]);
  browser.reloadData();
  EXPECT_EQ(browser.selectionIndexes(), QList<int>({0, 2, 4}));
  EXPECT_EQ(browser.itemUID(0), QStringLiteral("b"));
  const int before = changed;
  browser.reloadData();  // nothing changed: no signal
  EXPECT_EQ(changed, before);
  source.items.erase(source.items.begin());  // b is gone
  browser.reloadData();
  EXPECT_EQ(browser.selectionIndexes(), QList<int>({1, 3}));
  EXPECT_EQ(changed, before + 1);
}

TEST_F(ImageBrowserTest, DoubleClickAndZoom) {
  QList<int> doubled;
  QObject::connect(&browser, &ImageBrowser::cellWasDoubleClickedAtIndex, [&](int index) { doubled << index; });
  const QPoint at = cell(2).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, browser.viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(browser.viewport(), &press);
  QMouseEvent twice(QEvent::MouseButtonDblClick, at, browser.viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(browser.viewport(), &twice);
  EXPECT_EQ(doubled, QList<int>({2}));

  const int side = browser.thumbnailSide();
  browser.setZoomValue(1.0);
  EXPECT_GT(browser.thumbnailSide(), side);
  EXPECT_GT(cell(0).width(), browser.thumbnailSide());
  browser.setZoomValue(7.0);
  EXPECT_EQ(browser.zoomValue(), 1.0);
  browser.setZoomValue(std::nan(""));
  EXPECT_EQ(browser.zoomValue(), 1.0);
  browser.setZoomValue(-1);
  EXPECT_EQ(browser.zoomValue(), 0.0);
  EXPECT_FALSE(browser.accessibleName().isEmpty());
  EXPECT_FALSE(browser.toolTip().isEmpty());
}

}  // namespace
