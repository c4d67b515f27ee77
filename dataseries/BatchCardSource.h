#pragma once
// BatchCardSource: the cards of one batch output run, made from a snapshot.
//
// A run (export, printing, e-mail) makes card n from row n of the bound series and
// spreadsheet columns. The source is taken once, on the GUI thread, before the run
// starts: the sources in use and their rows (BindingSources), and for each side the card
// base settings, the canvas size, copies of the card objects and the settings every
// bound barcode object is drawn with. From then on it is read-only: any number of worker
// threads can ask it for card n at the same time, and each gets fresh copies of the
// side's objects carrying row n's values. The design's own objects are never written by
// a run: after it the design is as the run found it.
//
// Every bound barcode object is drawn with its own symbology, sizes and captions on
// every row.

#include "dataseries/model/BindingSources.h"

#include "barcode/BarcodeSettings.h"
#include "canvas/RenderSide.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

#include <memory>

class QLNWindowController;

// Card n's values put into `graphics` (objects the caller alone uses): a text gets the
// value as its whole text (in the attributes of its first character), an image the
// picture at the path the value names (none when nothing readable is there), a barcode
// the symbol of the value drawn with `barcodes` (by the object's index in `graphics`;
// an object missing there keeps its picture). Objects whose source is not in use keep
// their values. For output (`forOutput`), a barcode whose value gives no symbol (an
// empty row, say) is hidden, so that the card shows no barcode rather than the
// designer's sample picture; on the design's own objects it keeps showing the sample.
// With `vectorOutput` (a PDF or a printer) a barcode also keeps its symbol as a vector
// drawing, which the card shows instead of the picture.
// Returns the reasons of what failed ("" when nothing did); the other objects are still
// assigned. A value that is not empty but that the barcode's symbology cannot hold (a
// letter outside its character set, say) gives no symbol; it is no failure, the card is
// made without the barcode, and the value is added to `unheld` when given.
QString Assign_Batch_Values_To_Control(const QLNGraphicList &graphics, const BindingSources &sources, int row,
                                       const QHash<int, BarcodeSettings> &barcodes, bool forOutput,
                                       bool vectorOutput = false, QStringList *unheld = nullptr);

class BatchRunFailures;

class BatchCardSource {
public:
  struct Side {
    // Base, canvas size and side number of the side; `graphics` holds the master copies,
    // which are only ever copied, never drawn or changed.
    CardSideSnapshot snapshot;
    // The settings of each bound barcode object, by its index in snapshot.graphics.
    QHash<int, BarcodeSettings> barcodes;
  };

  // The run's source from the controller's current binding (the flags and series loaded
  // by its last check) and the imported rows: taken on the GUI thread (from another
  // thread: run there and waited for). Objects that could not be copied are named in
  // `error`.
  static std::shared_ptr<const BatchCardSource> capture(QLNWindowController &controller, const BindingSources &sources,
                                                        QString *error = nullptr);

  const BindingSources &sources() const { return m_sources; }
  int cardCount() const { return m_sources.cardCount(); }
  // The side for a side string: "F" the front, anything else the back.
  static bool isBack(const QString &side) { return side != QLatin1String("F"); }

  // Any thread. The side's objects as card `row` shows them: fresh copies with the
  // row's values. What failed is in `failure` ("" when nothing did).
  // `vectorOutput`, `unheld`: see Assign_Batch_Values_To_Control.
  QLNGraphicList cardObjects(int row, bool back, QString *failure = nullptr, bool vectorOutput = false,
                             QStringList *unheld = nullptr) const;
  // The same with the side's base and size, ready to draw (canvas/RenderSide.h).
  CardSideSnapshot cardSide(int row, bool back, QString *failure = nullptr, bool vectorOutput = false,
                            QStringList *unheld = nullptr) const;
  // Card `row`'s side ("F" front, anything else back) recorded as a picture of the card
  // canvas size. A null picture, with the reason in `failure`, when the side cannot be
  // drawn; a side drawn with a failing object is returned with the reason in `failure`.
  // With the print-box flag (printers and PDFs) barcodes are recorded as vectors, their
  // symbols as modules; without it (image files) as the pictures the designer makes.
  // The values its barcodes could not hold are added to `unheld` when given.
  CardPicture Set_data_table_value_to_card(int row, const QString &side, bool print_box,
                                           QString *failure = nullptr, QStringList *unheld = nullptr) const;
  // Any thread. The same for card `card` of a run, its front or back: the values its
  // barcodes could not hold are noted in `failures` when given.
  CardPicture cardOfRun(int card, bool back, bool print_box, QString *failure, BatchRunFailures *failures) const;

  const Side &side(bool back) const { return back ? m_back : m_front; }

private:
  BindingSources m_sources;
  Side m_front;
  Side m_back;
};

// The failures of one run, collected from its worker threads and reported once with
// the card numbers (1 for the first card); apart from them, the cards that were made
// without a barcode because it could not hold the card's value.
class BatchRunFailures {
public:
  // Any thread. `card` counts from 0.
  void add(int card, const QString &reason);
  // Any thread. Card `card` was made without a barcode that could not hold `value`; the
  // same card and value are kept once however often the card is drawn.
  void addUnheldBarcode(int card, const QString &value);
  bool isEmpty() const;
  int count() const;
  // "Some cards could not be made:" followed by one line per failure, "Card <n>:
  // <reason>", in card order; at most MaxListed lines, then how many more.
  QString message() const;
  // Shows message() once (nothing when empty). Any thread.
  void report() const;
  // "Some cards were made without their barcode, which could not hold the value:"
  // followed by one line per card and value, 'Card <n>: "<value>"', in card order; at
  // most MaxListed lines, then how many more. "" when every barcode held its value.
  QString unheldBarcodesMessage() const;

  static constexpr int MaxListed = 20;

private:
  mutable QMutex m_mutex;
  QList<QPair<int, QString>> m_failures;
  QList<QPair<int, QString>> m_unheld;
};
