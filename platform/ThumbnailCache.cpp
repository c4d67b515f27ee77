#include "platform/ThumbnailCache.h"

#include "platform/Images.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace {

constexpr std::array<int, 9> Buckets{32, 48, 64, 96, 128, 192, 256, 384, 512};

// What an unreadable file costs in the memory bound: it is remembered (so that a
// broken file is not read again at every reload) but holds no pixels.
constexpr qint64 BrokenEntryBytes = 256;

int defaultThreads() { return std::clamp(QThread::idealThreadCount() - 1, 1, 8); }

QPointer<ThumbnailCache> gShared;

void destroyShared() {
  // Runs at the start of the application object's destruction, while Qt is whole.
  delete gShared.data();
}

void setError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

// Held while a worker posts an answer to the GUI thread and taken again there before
// the answer is touched: Qt's event queue hands the call over under a lock of its own
// that ThreadSanitizer cannot see.
std::mutex gHandOver;

}  // namespace

// The worker threads every cache shares, started with the first work. They are never
// ended: once every cache is gone they wait idle until the program ends (a cache waits
// for its decodes when it is destroyed, and the shared one goes with the application
// object, so no thread works past it). Ending a thread that has decoded a JPEG makes
// the C library free that thread's data later from another thread, under a lock of
// its own that ThreadSanitizer cannot see.
class ThumbnailWorkers {
public:
  static ThumbnailWorkers &instance() {
    static ThumbnailWorkers *workers = new ThumbnailWorkers;  // lives as long as its threads
    return *workers;
  }

  std::mutex mutex;
  std::condition_variable changed;  // work queued or work finished
  std::vector<ThumbnailCache *> caches;

  // With the lock held: enough threads for the work there is, and the idle ones woken.
  void wakeLocked() {
    while (int(m_threads.size()) < std::min(MaxThreads, threadsWorthHaving()))
      m_threads.emplace_back([this] { run(); });
    changed.notify_all();
  }

private:
  static constexpr int MaxThreads = 8;

  ThumbnailWorkers() = default;

  // One thread per decode running or allowed to start now, over all caches.
  int threadsWorthHaving() const {
    int runnable = 0;
    for (const ThumbnailCache *cache : caches)
      runnable += std::min<int>(int(cache->m_queue.size()), cache->m_maxThreads - cache->m_runningCount) +
                  cache->m_runningCount;
    return runnable;
  }

  void run() {
    std::unique_lock lock(mutex);
    for (;;) {
      ThumbnailCache *cache = nullptr;
      changed.wait(lock, [&] {
        // The caches take turns: the one served goes to the end of the line.
        for (auto it = caches.begin(); it != caches.end(); ++it)
          if ((*it)->hasWorkLocked()) {
            cache = *it;
            caches.erase(it);
            caches.push_back(cache);
            return true;
          }
        return false;
      });
      const ThumbnailCache::JobKey job = cache->takeLocked();
      lock.unlock();
      const QImage image = cache->produce(job);
      {
        // The cache stays while its decodes run: its destructor waits for them.
        std::unique_lock posting(gHandOver);
        QMetaObject::invokeMethod(
            cache,
            [cache, job, image] {
              { std::lock_guard handedOver(gHandOver); }
              cache->finished(job, image);
            },
            Qt::QueuedConnection);
      }
      lock.lock();
      --cache->m_runningCount;
      changed.notify_all();
    }
  }

  std::vector<std::thread> m_threads;
};

ThumbnailCache::ThumbnailCache(qint64 maxBytes, int maxThreads, Decoder decoder, QObject *parent)
    : QObject(parent), m_maxBytes(std::max<qint64>(0, maxBytes)),
      m_maxThreads(maxThreads > 0 ? maxThreads : defaultThreads()),
      m_decoder(decoder ? std::move(decoder) : Decoder(&ThumbnailCache::decodeThumbnail)) {
  ThumbnailWorkers &workers = ThumbnailWorkers::instance();
  std::lock_guard lock(workers.mutex);
  workers.caches.push_back(this);
}

ThumbnailCache::~ThumbnailCache() {
  ThumbnailWorkers &workers = ThumbnailWorkers::instance();
  std::unique_lock lock(workers.mutex);
  workers.caches.erase(std::remove(workers.caches.begin(), workers.caches.end(), this), workers.caches.end());
  m_queue.clear();
  m_waiting.clear();
  // Answers posted from now on are dropped with this object's events.
  workers.changed.wait(lock, [this] { return m_runningCount == 0; });
}

ThumbnailCache *ThumbnailCache::shared() {
  if (!gShared) {
    gShared = new ThumbnailCache();
    static bool registered = false;
    if (!registered) {
      qAddPostRoutine(destroyShared);
      registered = true;
    }
  }
  return gShared.data();
}

int ThumbnailCache::bucketFor(int side) {
  for (int bucket : Buckets)
    if (side <= bucket)
      return bucket;
  return Buckets.back();
}

QImage ThumbnailCache::decodeThumbnail(const QString &path, int side, QString *error) {
  QFile file;
  QString why;
  if (!openRegularFile(file, path, &why)) {
    setError(error, why);
    return {};
  }
  QImageReader reader(&file);
  Images::setFormatFromSignature(reader, file);
  reader.setAutoTransform(true);
  reader.setAllocationLimit(int((Images::MaxPixels * 8 + (1 << 20) - 1) >> 20));
  const QSize full = reader.size();
  if (full.isValid()) {
    if (full.isEmpty()) {
      setError(error, QStringLiteral("the picture has no pixels"));
      return {};
    }
    if (qint64(full.width()) * full.height() > Images::MaxPixels &&
        !reader.supportsOption(QImageIOHandler::ScaledSize)) {
      setError(error, QStringLiteral("the picture is too large (%1 x %2 pixels)")
                          .arg(full.width()).arg(full.height()));
      return {};
    }
    const int limit = std::max(1, side);
    if (full.width() > limit || full.height() > limit) {
      QSize scaled = full.scaled(limit, limit, Qt::KeepAspectRatio);
      scaled = scaled.expandedTo(QSize(1, 1));
      reader.setScaledSize(scaled);
    }
  }
  QImage image = reader.read();
  if (image.isNull()) {
    setError(error, reader.errorString());
    return {};
  }
  if (image.width() > side || image.height() > side)  // a format that gave no size first
    image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                       : QImage::Format_RGB32);
}

void ThumbnailCache::request(const void *client, const QString &path, int side) {
  const JobKey job{path, bucketFor(side)};
  ThumbnailWorkers &workers = ThumbnailWorkers::instance();
  std::lock_guard lock(workers.mutex);
  if (m_running.contains(job))
    return;
  auto found = m_waiting.find(job);
  if (found != m_waiting.end()) {
    found->insert(client);
    return;
  }
  m_waiting.insert(job, QSet<const void *>{client});
  m_queue.push_back(job);
  workers.wakeLocked();
}

void ThumbnailCache::cancel(const void *client, const QString &path, int bucket) {
  const JobKey job{path, bucket};
  std::lock_guard lock(ThumbnailWorkers::instance().mutex);
  auto found = m_waiting.find(job);
  if (found == m_waiting.end())
    return;
  found->remove(client);
  if (found->isEmpty()) {
    m_waiting.erase(found);
    m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), job), m_queue.end());
  }
}

void ThumbnailCache::cancelAll(const void *client) {
  std::lock_guard lock(ThumbnailWorkers::instance().mutex);
  for (auto it = m_waiting.begin(); it != m_waiting.end();) {
    it->remove(client);
    it = it->isEmpty() ? m_waiting.erase(it) : std::next(it);
  }
  m_queue.erase(std::remove_if(m_queue.begin(), m_queue.end(),
                               [this](const JobKey &job) { return !m_waiting.contains(job); }),
                m_queue.end());
}

ThumbnailCache::Stats ThumbnailCache::stats() const {
  std::lock_guard lock(ThumbnailWorkers::instance().mutex);
  Stats s;
  s.bytes = m_bytes;
  s.entries = int(m_lru.size());
  s.decodes = m_decodes;
  s.hits = m_hits;
  s.queued = int(m_queue.size());
  return s;
}

ThumbnailCache::JobKey ThumbnailCache::takeLocked() {
  JobKey job = m_queue.front();
  m_queue.pop_front();
  m_waiting.remove(job);
  m_running.insert(job);
  ++m_runningCount;
  return job;
}

QImage ThumbnailCache::produce(const JobKey &job) {
  std::mutex &mutex = ThumbnailWorkers::instance().mutex;
  // The key names the file as it is now: a changed file (time or size) is a new key.
  // (Read with stat: the file times Qt gives are converted to local time, which is
  // not safe on several threads at once.)
  struct stat st {};
  const bool exists = ::stat(QFile::encodeName(job.path).constData(), &st) == 0;
  const QString key = exists ? QStringLiteral("%1\n%2.%3\n%4\n%5")
                                   .arg(job.path)
                                   .arg(qint64(st.st_mtim.tv_sec))
                                   .arg(qint64(st.st_mtim.tv_nsec))
                                   .arg(qint64(st.st_size))
                                   .arg(job.bucket)
                             : QString();
  if (exists) {
    std::lock_guard lock(mutex);
    auto found = m_index.find(key);
    if (found != m_index.end()) {
      m_lru.splice(m_lru.begin(), m_lru, found.value());
      ++m_hits;
      return found.value()->image;
    }
  }
  QImage image = m_decoder(job.path, job.bucket, nullptr);
  std::lock_guard lock(mutex);
  ++m_decodes;
  if (exists)  // a missing file is not remembered: it may appear any moment
    insertLocked(key, image);
  return image;
}

void ThumbnailCache::insertLocked(const QString &key, const QImage &image) {
  const qint64 bytes = image.isNull() ? BrokenEntryBytes : image.sizeInBytes();
  if (bytes > m_maxBytes || m_index.contains(key))
    return;
  m_lru.push_front(Entry{key, image, bytes});
  m_index.insert(key, m_lru.begin());
  m_bytes += bytes;
  while (m_bytes > m_maxBytes && !m_lru.empty()) {
    const Entry &last = m_lru.back();
    m_bytes -= last.bytes;
    m_index.remove(last.key);
    m_lru.pop_back();
  }
}

void ThumbnailCache::finished(const JobKey &job, const QImage &image) {
  {
    std::lock_guard lock(ThumbnailWorkers::instance().mutex);
    m_running.remove(job);
  }
  emit thumbnailReady(job.path, job.bucket, image);
}
