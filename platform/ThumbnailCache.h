#pragma once
// Thumbnails of picture files, made on worker threads and kept in memory.
//
// A view asks for the thumbnail of a file at a pixel size (`request`); the size is
// rounded up to one of a few buckets so that nearby zoom levels share their
// thumbnails. A worker of the cache's own thread pool looks at the file (modification
// time and size), answers from memory when it already holds that thumbnail, and
// otherwise decodes the file scaled while it reads it (a 20-megapixel JPEG is decoded
// at an eighth of its size, never whole). The answer comes back on the GUI thread as
// the signal `thumbnailReady`, with a null image for a file that cannot be read.
//
// The memory held is bounded by bytes: the least recently used thumbnails go first.
// Work not yet started can be dropped (`cancel`, `cancelAll`), so a view that shows
// other items no longer waits behind work for the old ones. Several requests for the
// same file and size are decoded once.
//
// The workers are threads of the program shared by every cache (each cache runs at
// most its own number of decodes at once); started with the first work, they wait idle
// when there is none. Their queue is guarded by standard locks, so that
// ThreadSanitizer sees every hand-over. Everything but the workers runs on the GUI thread. Destroying a cache
// drops its queued work and waits for its decodes running.

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>
#include <list>

class ThumbnailCache : public QObject {
  Q_OBJECT
public:
  // Reads `path` scaled to fit in `side` x `side` pixels (never enlarged). Returns a
  // null image, with the reason in `error`, for a file that cannot be read. Called on
  // worker threads, several at once.
  using Decoder = std::function<QImage(const QString &path, int side, QString *error)>;

  static constexpr qint64 DefaultMaxBytes = 96LL * 1024 * 1024;

  // `maxThreads` (decodes at once) 0 takes one fewer than the processors (at least
  // one, at most eight); an empty `decoder` takes decodeThumbnail.
  explicit ThumbnailCache(qint64 maxBytes = DefaultMaxBytes, int maxThreads = 0, Decoder decoder = {},
                          QObject *parent = nullptr);
  ~ThumbnailCache() override;

  // The cache the views share, made on first use (GUI thread) and destroyed when the
  // application object goes.
  static ThumbnailCache *shared();

  // The pixel size of the thumbnails made for a wish of `side` pixels: the smallest
  // bucket (32, 48, 64, 96, 128, 192, 256, 384, 512) at least as large, 512 above.
  static int bucketFor(int side);

  // The decoder used when none is given: the regular file at `path` (a folder, pipe or
  // device is refused without being waited on) read with its orientation applied,
  // scaled while read to fit in `side` x `side`; files of more than
  // Images::MaxPixels pixels whose format cannot decode scaled are refused.
  static QImage decodeThumbnail(const QString &path, int side, QString *error = nullptr);

  // Asks for the thumbnail of `path` at bucketFor(side) for `client` (any address
  // that names the asker). The answer is the signal thumbnailReady, which every
  // client sees. A request already queued or running is not queued again.
  void request(const void *client, const QString &path, int side);
  // Takes `client` off the queued work for `path` at `bucket` (all of its work):
  // work nobody waits for any more is dropped before it starts.
  void cancel(const void *client, const QString &path, int bucket);
  void cancelAll(const void *client);

  struct Stats {
    qint64 bytes = 0;     // bytes of the thumbnails held
    int entries = 0;      // thumbnails held (unreadable files count, at a small size)
    int decodes = 0;      // files decoded (or tried) since the cache was made
    int hits = 0;         // answers taken from memory
    int queued = 0;       // work not yet started
  };
  Stats stats() const;
  qint64 maxBytes() const { return m_maxBytes; }

signals:
  // The thumbnail of `path` at `bucket`; null when the file cannot be read.
  void thumbnailReady(const QString &path, int bucket, const QImage &image);

private:
  struct JobKey {
    QString path;
    int bucket = 0;
    bool operator==(const JobKey &o) const { return bucket == o.bucket && path == o.path; }
    friend size_t qHash(const JobKey &key, size_t seed) { return qHashMulti(seed, key.path, key.bucket); }
  };

  struct Entry {
    QString key;
    QImage image;
    qint64 bytes = 0;
  };
  friend class ThumbnailWorkers;

  // Called by the workers with the workers' lock held.
  bool hasWorkLocked() const { return !m_queue.empty() && m_runningCount < m_maxThreads; }
  JobKey takeLocked();
  // Called by a worker without the lock: the answer for `job`, from memory or decoded.
  QImage produce(const JobKey &job);
  void insertLocked(const QString &key, const QImage &image);
  void finished(const JobKey &job, const QImage &image);

  const qint64 m_maxBytes;
  const int m_maxThreads;
  const Decoder m_decoder;

  // Everything below is guarded by the workers' lock.
  // Queued work in order, and who waits for each.
  std::deque<JobKey> m_queue;
  QHash<JobKey, QSet<const void *>> m_waiting;
  QSet<JobKey> m_running;
  int m_runningCount = 0;
  // Least recently used last.
  std::list<Entry> m_lru;
  QHash<QString, std::list<Entry>::iterator> m_index;
  qint64 m_bytes = 0;
  int m_decodes = 0;
  int m_hits = 0;
};
