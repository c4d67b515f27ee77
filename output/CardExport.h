#pragma once
// Card export without windows: the names and paths of exported files, the combined
// image of both sides, and the engine that writes a whole batch of cards on a bounded
// pool of worker threads. The main window's Export command
// (output/QLNWindowController_Export.cpp) reads the export sheet, asks for the file or
// folder and hands over to these.
//
// Every file written holds PNG data, whatever extension its name has, with the
// resolution the user chose recorded in it. Files are written whole or not at all.

#include "dataseries/BatchCardSource.h"

#include "canvas/RenderPicture.h"
#include "platform/Images.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace CardExport {

// The folder a batch writes into, inside the folder the user chose.
extern const QString BatchFolderName;  // "Amends Greeting Cards"
// The message of the result window after an export that wrote everything.
extern const QString ExportedMessage;  // "Card has been exported successfully."
// Shown when the batch folder cannot be made.
extern const QString unable_saving_Msg;

// The front side's path: the path itself.
QString Create_Front_Card_Path(const QString &path);
// The back side's path: "_Back" goes between the last component's name and its last
// extension ("/a/Card_1.png" gives "/a/Card_1_Back.png"); a name without extension
// gets "_Back." ("x" gives "x_Back."). Only the last component changes, whatever the
// folders are called.
QString Create_Back_Card_Path(const QString &path);
// The batch folder inside `chosenFolder`.
QString batchFolder(const QString &chosenFolder);
// Card `card`'s path in the batch folder (card counts from 0): "Card_<card + 1>.<extension>".
QString cardPath(const QString &folder, int card, const QString &extension);
// Makes `folder` and its missing parents with the user's umask; an existing folder is
// used as it is. False with the reason in `error` when it is not a folder afterwards.
bool makeBatchFolder(const QString &folder, QString *error = nullptr);

// The resolution typed or chosen in the export sheet, in dots per inch; 0 when the text
// is not a number from MinDpi to MaxDpi.
double parseResolution(const QString &text);
constexpr double MinDpi = 1;
constexpr double MaxDpi = 2400;

// Both sides in one image: the front's size in points wide and twice its height high,
// the front in the upper half, the back in the lower half with its bottom left corner at
// the image's bottom left corner, each drawn at its own size (a larger back is cut off
// by the front, a smaller one leaves the rest transparent). The pixels follow the
// front's resolution. Null, with "Invalid image" in `error`, when a side is missing.
PointImage combinedImage(const PointImage &front, const PointImage &back, QString *error = nullptr);

// What a batch writes for each card.
struct Options {
  QString side = QStringLiteral("F");  // "BOTH", "F", anything else the back
  bool combined = false;               // with "BOTH": one image of both sides
  QString extension = QStringLiteral("TIFF");
  double dpi = 72;
};

// The files of one card: (path, image) in the order they are written ("BOTH" writes the
// back first). Sides come from `makeSide` (card from 0, back or front, failure reason).
// A side that cannot be made, or comes with a failure, makes the whole card fail: no
// file is written for it and the reason is in `failure`.
using SideMaker = std::function<CardPicture(int card, bool back, QString *failure)>;
struct CardFile {
  QString path;
  PointImage image;
};
QList<CardFile> cardFiles(const SideMaker &makeSide, int card, const QString &folder, const Options &options,
                          QString *failure);

// Writes cards 0 .. count-1 into a folder on up to `threads` worker threads (0: the
// machine's ideal thread count), each card rendered, encoded and written by one worker.
// The files are the same as when made one by one. Workers take cards in order, so
// however a stop comes, the cards written are the first ones, without gaps: a stop
// ends the run after the cards already begun. Failing cards are collected and the run
// goes on.
class BatchEngine {
public:
  // `makeSide` is called from the worker threads, several at once.
  BatchEngine(SideMaker makeSide, int count, QString folder, Options options, int threads = 0);
  // Asks the workers to stop and waits for them.
  ~BatchEngine();
  BatchEngine(const BatchEngine &) = delete;
  BatchEngine &operator=(const BatchEngine &) = delete;

  // Called from a worker each time the count of cards finished from card 0 on without
  // a gap grows, with that count. Set before start.
  std::function<void(int finishedInOrder)> onProgress;
  // Called once from the last worker when the run has ended (all workers done). Set
  // before start.
  std::function<void()> onFinished;

  // Starts the workers and returns. `stop` (may be null) is read before each card.
  void start(const std::atomic<bool> *stop = nullptr);
  // Waits until every worker has ended.
  void wait();
  // start() and wait().
  void run(const std::atomic<bool> *stop = nullptr);
  // Asks the workers to take no further card.
  void requestStop() { m_stopRequested = true; }

  bool isFinished() const { return m_finished.load(); }
  int cardCount() const { return m_count; }
  int threadCount() const { return m_threads; }
  // Cards finished (written or failed) from card 0 on without a gap.
  int finishedInOrder() const;
  // Cards begun; after the run every begun card has finished.
  int cardsBegun() const { return std::min(m_next.load(), m_count); }
  int filesWritten() const { return m_filesWritten.load(); }
  // The run ended before its last card because of a stop.
  bool stopped() const { return m_finished.load() && cardsBegun() < m_count; }
  const BatchRunFailures &failures() const { return m_failures; }
  const QString &folder() const { return m_folder; }

private:
  void work();
  void cardDone(int card);

  SideMaker m_makeSide;
  int m_count;
  QString m_folder;
  Options m_options;
  int m_threads;
  const std::atomic<bool> *m_stop = nullptr;
  std::atomic<bool> m_stopRequested{false};
  std::atomic<int> m_next{0};
  std::atomic<int> m_filesWritten{0};
  std::atomic<int> m_running{0};
  std::atomic<bool> m_finished{false};
  BatchRunFailures m_failures;
  mutable std::mutex m_mutex;
  std::vector<char> m_done;  // guarded by m_mutex
  int m_inOrder = 0;         // guarded by m_mutex
  std::vector<std::thread> m_workers;
};

// A SideMaker over a run's snapshot: card n's side from the binding. The cards made
// without a barcode that could not hold their value are added to `unheld` when given.
SideMaker sideMakerOf(std::shared_ptr<const BatchCardSource> run, std::shared_ptr<BatchRunFailures> unheld = {});

}  // namespace CardExport
