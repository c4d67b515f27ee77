// Opens a thumbnail browser on a folder of large photos and measures what the user
// feels: the longest time the window does not answer (the largest gap between ticks
// of a 2 ms timer on the GUI thread, and the reload itself) and the time until every
// thumbnail in view has arrived; once with an empty cache and once more with the
// cache filled by the first opening.
//
// The photos (3000 x 2000 JPEG, gradients, shapes and noise) are made on first use in
// the given folder (or a temporary one) and kept there for later runs.
//
//     amends_bench_thumbnails [photos (300)] [folder]

#include "platform/ImageBrowser.h"
#include "platform/ThumbnailCache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int PhotoWidth = 3000;
constexpr int PhotoHeight = 2000;

struct File : ImageBrowserItem {
  QString path;
  QString name;
  QString imageRepresentation() const override { return path; }
  QString imageUID() const override { return name; }
  QString imageTitle() const override { return name; }
  QString imageSubtitle() const override { return name; }
};

struct Folder : ImageBrowserDataSource {
  std::vector<File> files;
  explicit Folder(const QString &path) {
    const QStringList names = QDir(path).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    files.resize(names.size());
    for (int i = 0; i < int(names.size()); ++i) {
      files[i].path = QDir(path).filePath(names[i]);
      files[i].name = names[i];
    }
  }
  int numberOfItemsInImageBrowser(ImageBrowser *) override { return int(files.size()); }
  const ImageBrowserItem *imageBrowser_itemAtIndex(ImageBrowser *, int index) override { return &files[index]; }
};

bool makePhoto(const QString &path, quint32 seed) {
  QImage image(PhotoWidth, PhotoHeight, QImage::Format_RGB32);
  {
    QPainter p(&image);
    QLinearGradient sky(0, 0, PhotoWidth, PhotoHeight);
    sky.setColorAt(0, QColor::fromHsv(int(seed * 47 % 360), 120, 240));
    sky.setColorAt(1, QColor::fromHsv(int(seed * 91 % 360), 200, 90));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 12; ++i) {
      p.setBrush(QColor::fromHsv(int((seed * 13 + i * 29) % 360), 160, 200, 160));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF((seed * 379 + i * 811) % PhotoWidth, (seed * 211 + i * 467) % PhotoHeight), 300.0, 220.0);
    }
  }
  // Sensor noise, so the files have the weight of photos.
  quint32 state = seed * 2654435761u + 1;
  for (int y = 0; y < PhotoHeight; ++y) {
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    for (int x = 0; x < PhotoWidth; ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      const int n = int(state & 31) - 16;
      const QRgb c = line[x];
      line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                     std::clamp(qBlue(c) + n, 0, 255));
    }
  }
  return image.save(path, "JPEG", 85);
}

bool ensurePhotos(const QString &folder, int count) {
  QDir().mkpath(folder);
  std::atomic<bool> ok{true};
  QThreadPool pool;
  int made = 0;
  for (int i = 0; i < count; ++i) {
    const QString path = QDir(folder).filePath(QStringLiteral("photo_%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    if (QFileInfo(path).size() > 0)
      continue;
    ++made;
    pool.start([path, i, &ok] {
      if (!makePhoto(path, quint32(i + 1)))
        ok = false;
    });
  }
  if (made)
    std::printf("making %d photos of %d x %d in %s ...\n", made, PhotoWidth, PhotoHeight, qPrintable(folder));
  pool.waitForDone();
  return ok;
}

struct Opening {
  double reloadMs = 0;
  double longestStallMs = 0;
  double allVisibleMs = -1;
  int visible = 0;
};

// Shows a browser over `folder`, runs the event loop until the thumbnails in view are
// there (and 300 ms more, to see the stalls of late answers), and measures.
Opening open(Folder &folder, ThumbnailCache &cache) {
  Opening result;
  QWidget window;
  window.resize(1000, 700);
  ImageBrowser browser(&window);
  browser.setGeometry(window.rect());
  browser.setThumbnailCache(&cache);
  browser.setDataSource(&folder);

  QElapsedTimer clock;
  clock.start();
  window.show();
  browser.reloadData();
  result.reloadMs = clock.nsecsElapsed() / 1e6;
  result.longestStallMs = result.reloadMs;

  auto visibleDone = [&] {
    int inView = 0;
    const QRect area = browser.viewport()->rect();
    for (int i = 0; i < browser.numberOfItems(); ++i) {
      if (!browser.visualRect(browser.model()->index(i, 0)).intersects(area))
        continue;
      ++inView;
      if (browser.thumbnailState(i) == ImageBrowser::ThumbnailState::Placeholder)
        return false;
    }
    result.visible = inView;
    return inView > 0;
  };

  QEventLoop loop;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(2);
  qint64 last = clock.nsecsElapsed();
  double doneAt = -1;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    result.longestStallMs = std::max(result.longestStallMs, (now - last) / 1e6);
    last = now;
    const double ms = now / 1e6;
    if (doneAt < 0 && visibleDone()) {
      doneAt = ms;
      result.allVisibleMs = ms;
    }
    if ((doneAt >= 0 && ms > doneAt + 300) || ms > 60000)
      loop.quit();
  });
  tick.start();
  loop.exec();
  return result;
}

void print(const char *what, const Opening &o) {
  std::printf("%-13s %3d thumbnails in view, all there after %8.1f ms; longest GUI stall %6.1f ms "
              "(reload %5.1f ms)\n",
              what, o.visible, o.allVisibleMs, o.longestStallMs, o.reloadMs);
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 300;
  std::unique_ptr<QTemporaryDir> temporary;
  QString folder;
  if (argc > 2) {
    folder = QString::fromLocal8Bit(argv[2]);
  } else {
    temporary = std::make_unique<QTemporaryDir>();
    folder = temporary->path();
  }
  if (!ensurePhotos(folder, count)) {
    std::fprintf(stderr, "the photos could not be written to %s\n", qPrintable(folder));
    return 1;
  }
  Folder source(folder);
  std::printf("%zu photos; %d worker threads\n", source.files.size(),
              std::clamp(QThread::idealThreadCount() - 1, 1, 8));

  {
    // The first window of a process loads the fonts and the platform's pieces; that
    // cost is the program's start, not the browser's, and is measured apart.
    QElapsedTimer clock;
    clock.start();
    QLabel warmUp(QStringLiteral("Amends"));
    warmUp.show();
    QCoreApplication::processEvents();
    warmUp.repaint();
    std::printf("first window of the process: %.1f ms\n", clock.nsecsElapsed() / 1e6);
  }

  ThumbnailCache cache;
  print("first open:", open(source, cache));
  print("second open:", open(source, cache));
  const ThumbnailCache::Stats s = cache.stats();
  std::printf("cache: %d thumbnails, %.1f MB, %d decodes, %d answers from memory\n", s.entries, s.bytes / 1048576.0,
              s.decodes, s.hits);
  return 0;
}
