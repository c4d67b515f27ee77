#pragma once
// Printing_View: what one print or preview run puts on paper. It is made on the GUI
// thread from a copy of the layout (PrintLayout::Settings) and of the cards: the
// design's two sides as recorded pictures, or the run's batch snapshot, from which card
// n is made on any thread. After that it reads no global, no widget and no live card
// object, so any thread may draw its sheets, and a sheet may be drawn any number of
// times, in any order: each label's card number comes from the sheet and the cell.
//
// A run of sheets makes the cards of a batch on one pool of worker threads, a sheet or
// two ahead of the sheet being drawn and written, so that both go on at once while only
// a few sheets of cards are held.
//
// Each label shows its card sides at their natural size (vector pictures, no
// rasterising), each cut at the card's edge. A side that cannot be made shows "Invalid
// Data" in red in its place and the label still counts; with a batch, labels beyond the
// last card stay empty.
//
// Drawing is in points from the paper's top-left corner; the view scales a device's
// painter to that itself.

#include "output/model/PrintLayout.h"

#include "canvas/RenderPicture.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class BatchCardSource;
class BatchRunFailures;
class QPagedPaintDevice;
class QPageLayout;
class QPainter;
class QPrinter;

class Printing_View {
public:
  // Card `card`'s front (back when `back`): the side's picture, or a null picture with
  // the reason in `failure`. A picture with a reason counts as failed. Any thread.
  using CardMaker = std::function<CardPicture(int card, bool back, QString *failure)>;

  struct Cards {
    // With a batch: `count` cards made by `make`. Without: every label shows `front`
    // and `back`, the design's sides.
    bool bound = false;
    int count = 0;
    CardMaker make;
    CardPicture front;
    CardPicture back;
  };
  // The cards of a batch run. The cards made without a barcode that could not hold
  // their value are added to `unheld` when given.
  static Cards fromBatch(const std::shared_ptr<const BatchCardSource> &run,
                         std::shared_ptr<BatchRunFailures> unheld = {});

  Printing_View(const PrintLayout::Settings &settings, Cards cards);

  const PrintLayout::Settings &settings() const { return m_settings; }
  // Sheets of the whole run (no preview limit).
  int numberOfPages() const;
  // The labels of the run that land on paper: min(total, sheets x labels per sheet).
  int labelCount() const;

  // Draws sheet `page` (from 0), paper included, with `painter` in points from the
  // paper's top-left corner. The cards of a batch are made on worker threads and drawn
  // on the calling thread. Failed cards are added to `failures` when it is given.
  void drawSheet(QPainter &painter, int page, BatchRunFailures *failures = nullptr) const;

  // The first `pages` sheets (all when negative) onto a printer or previewer that has
  // already been set up (full-page mode, paper, copies). "" or the reason of a failure.
  QString printTo(QPrinter *printer, int pages = -1, BatchRunFailures *failures = nullptr) const;
  // Every sheet `copies` times over into a PDF file of `layout`'s paper, written whole
  // or not at all. "" or the reason of a failure.
  QString printToPdf(const QString &path, const QPageLayout &layout, int copies,
                     BatchRunFailures *failures = nullptr) const;

  // A text centred in `rect` in bold 11-point type, in `colour`.
  static void Draw_Label_String(QPainter &painter, const QRectF &rect, const QString &text, const QColor &colour);
  static const QString InvalidDataText;  // "Invalid Data"

private:
  struct Label {
    bool empty = true;          // beyond the batch: nothing drawn
    CardPicture front;
    CardPicture back;
  };
  class Preparation;
  // The labels of sheet `page` as the layout places them, before any card is made.
  std::vector<Label> emptySheet(int page) const;
  // One side of one card, or a null picture after adding the reason to `failures`.
  CardPicture makeSide(int card, bool back, BatchRunFailures *failures) const;
  void paintSheet(QPainter &painter, const std::vector<Label> &labels) const;
  QString paintPages(QPagedPaintDevice &device, int pages, int copies, BatchRunFailures *failures) const;

  PrintLayout::Settings m_settings;
  Cards m_cards;
  QList<PrintLayout::Slot> m_slots;
};
