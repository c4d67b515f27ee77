#include "output/Printing_View.h"

#include "dataseries/BatchCardSource.h"

#include "platform/WholeFile.h"

#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

const QString Printing_View::InvalidDataText = QStringLiteral("Invalid Data");

Printing_View::Cards Printing_View::fromBatch(const std::shared_ptr<const BatchCardSource> &run,
                                              std::shared_ptr<BatchRunFailures> unheld) {
  Cards cards;
  cards.bound = true;
  cards.count = run ? run->cardCount() : 0;
  if (run)
    cards.make = [run, unheld = std::move(unheld)](int card, bool back, QString *failure) {
      return run->cardOfRun(card, back, true, failure, unheld.get());
    };
  return cards;
}

Printing_View::Printing_View(const PrintLayout::Settings &settings, Cards cards)
    : m_settings(settings), m_cards(std::move(cards)), m_slots(PrintLayout::sheetSlots(settings)) {}

int Printing_View::numberOfPages() const {
  return PrintLayout::pageCount(m_settings.total, m_settings.labelsPerSheet());
}

int Printing_View::labelCount() const { return std::max(0, m_settings.total); }

void Printing_View::Draw_Label_String(QPainter &painter, const QRectF &rect, const QString &text,
                                      const QColor &colour) {
  painter.save();
  QFont font;
  font.setBold(true);
  // 11 points in the painter's own units (points), whatever the device's resolution.
  const int dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
  font.setPointSizeF(11.0 * 72.0 / (dpi > 0 ? dpi : 72));
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(rect, Qt::AlignCenter | Qt::TextDontClip, text);
  painter.restore();
}

std::vector<Printing_View::Label> Printing_View::emptySheet(int page) const {
  const int perSheet = int(m_slots.size());
  std::vector<Label> labels(static_cast<size_t>(perSheet));
  for (int cell = 0; cell < perSheet; ++cell) {
    const int label = PrintLayout::labelIndex(page, cell, perSheet);
    if (label >= m_settings.total)
      break;
    if (m_cards.bound && label >= m_cards.count)
      continue;
    Label &shown = labels[size_t(cell)];
    shown.empty = false;
    if (!m_cards.bound) {
      shown.front = m_cards.front;
      shown.back = m_cards.back;
    }
  }
  return labels;
}

CardPicture Printing_View::makeSide(int card, bool back, BatchRunFailures *failures) const {
  QString failure;
  CardPicture picture;
  try {
    picture = m_cards.make(card, back, &failure);
  } catch (const std::exception &error) {
    failure = QString::fromUtf8(error.what());
  } catch (...) {
    failure = QStringLiteral("The card could not be rendered.");
  }
  if (picture.isNull() && failure.isEmpty())
    failure = QStringLiteral("The card could not be rendered.");
  if (failure.isEmpty())
    return picture;
  // A side that lacks part of its content is not printed as if it were whole.
  if (failures)
    failures->add(card, (back ? QStringLiteral("back: ") : QStringLiteral("front: ")) + failure);
  return CardPicture();
}

// The sheets of one run, made in order by a pool of workers that lives as long as the
// run (so each worker's font and glyph caches stay warm). Workers take the card sides in
// order and stay within two sheets of the last sheet taken; the caller waits for each
// sheet's last side. Only atomics pass work and results between the threads.
class Printing_View::Preparation {
public:
  struct Sheet {
    int page;
    bool report;  // failures are reported for the first copy only
  };

  Preparation(const Printing_View &view, std::vector<Sheet> sheets, BatchRunFailures *failures)
      : m_view(view), m_sheets(std::move(sheets)), m_failures(failures),
        m_remaining(std::make_unique<std::atomic<int>[]>(m_sheets.size())) {
    const bool wantFront = view.m_settings.side != QLatin1String("B");
    const bool wantBack = view.m_settings.side != QLatin1String("F");
    m_labels.reserve(m_sheets.size());
    for (size_t sheet = 0; sheet < m_sheets.size(); ++sheet) {
      m_labels.push_back(view.emptySheet(m_sheets[sheet].page));
      int sides = 0;
      if (view.m_cards.bound && view.m_cards.make)
        for (size_t cell = 0; cell < m_labels.back().size(); ++cell) {
          if (m_labels.back()[cell].empty)
            continue;
          if (wantBack)
            m_jobs.push_back({sheet, int(cell), true});
          if (wantFront)
            m_jobs.push_back({sheet, int(cell), false});
          sides += int(wantBack) + int(wantFront);
        }
      m_remaining[sheet].store(sides);
    }
    if (m_jobs.empty())
      return;
    // The caller mostly waits, draws and writes: one worker for every core.
    const size_t workers = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), m_jobs.size());
    m_threads.reserve(workers);
    for (size_t i = 0; i < workers; ++i)
      m_threads.emplace_back([this] { work(); });
  }

  ~Preparation() {
    m_stop.store(true);
    m_taken.fetch_add(1);  // wakes a worker waiting for room; it sees the stop
    m_taken.notify_all();
    for (std::thread &thread : m_threads)
      thread.join();
  }

  Preparation(const Preparation &) = delete;
  Preparation &operator=(const Preparation &) = delete;

  // The labels of sheet `index` of the sequence, once its cards are made. Sheets are
  // taken in order; a sheet taken is no longer held here.
  std::vector<Label> take(size_t index) {
    std::atomic<int> &remaining = m_remaining[index];
    for (int left = remaining.load(); left > 0; left = remaining.load())
      remaining.wait(left);
    std::vector<Label> labels = std::move(m_labels[index]);
    m_taken.store(index + 1);
    m_taken.notify_all();
    return labels;
  }

private:
  // Sheets the workers may run ahead of the one last taken.
  static constexpr size_t Ahead = 2;

  struct Job {
    size_t sheet;
    int cell;
    bool back;
  };

  void work() {
    while (!m_stop.load()) {
      const size_t next = m_next.fetch_add(1);
      if (next >= m_jobs.size())
        return;
      const Job &job = m_jobs[next];
      for (size_t taken = m_taken.load(); job.sheet >= taken + Ahead && !m_stop.load(); taken = m_taken.load())
        m_taken.wait(taken);
      if (m_stop.load())
        return;
      const Sheet &sheet = m_sheets[job.sheet];
      const int card = PrintLayout::labelIndex(sheet.page, job.cell, int(m_view.m_slots.size()));
      Label &label = m_labels[job.sheet][size_t(job.cell)];
      // Each job writes its own side of its own label only.
      (job.back ? label.back : label.front) = m_view.makeSide(card, job.back, sheet.report ? m_failures : nullptr);
      if (m_remaining[job.sheet].fetch_sub(1) == 1)
        m_remaining[job.sheet].notify_all();
    }
  }

  const Printing_View &m_view;
  const std::vector<Sheet> m_sheets;
  BatchRunFailures *const m_failures;
  std::vector<std::vector<Label>> m_labels;         // by sheet of the sequence
  std::unique_ptr<std::atomic<int>[]> m_remaining;  // card sides still to make, by sheet
  std::vector<Job> m_jobs;                          // in sheet order
  std::atomic<size_t> m_next{0};                    // the next job to start
  std::atomic<size_t> m_taken{0};                   // sheets handed out
  std::atomic<bool> m_stop{false};
  std::vector<std::thread> m_threads;
};

void Printing_View::drawSheet(QPainter &painter, int page, BatchRunFailures *failures) const {
  Preparation sheets(*this, {{page, true}}, failures);
  paintSheet(painter, sheets.take(0));
}

void Printing_View::paintSheet(QPainter &painter, const std::vector<Label> &labels) const {
  painter.save();
  painter.fillRect(QRectF(QPointF(0, 0), m_settings.paper), Qt::white);
  const bool wantFront = m_settings.side != QLatin1String("B");
  const bool wantBack = m_settings.side != QLatin1String("F");

  auto drawSide = [&](const CardPicture &picture, const QRectF &place, const QRectF &part) {
    if (picture.isNull()) {
      Draw_Label_String(painter, place.isNull() ? part : place, InvalidDataText, Qt::red);
      return;
    }
    // The card at its natural size: where the layout put it, or the cell part's corner
    // when the layout did not know the size. It ends at its edge, as on the canvas:
    // whatever its objects reach past the card stays off the gaps and the neighbours.
    painter.save();
    painter.translate(place.isNull() ? part.topLeft() : place.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), picture.size()), Qt::IntersectClip);
    picture.draw(painter);
    painter.restore();
  };
  for (size_t cell = 0; cell < labels.size() && cell < size_t(m_slots.size()); ++cell) {
    const Label &label = labels[cell];
    if (label.empty)
      continue;
    const PrintLayout::Slot &slot = m_slots.at(qsizetype(cell));
    if (wantFront)
      drawSide(label.front, slot.front, slot.frontPart);
    if (wantBack)
      drawSide(label.back, slot.back, slot.backPart);
  }
  painter.restore();
}

QString Printing_View::paintPages(QPagedPaintDevice &device, int pages, int copies,
                                  BatchRunFailures *failures) const {
  if (const QString refusal = m_settings.refusal(); !refusal.isEmpty())
    return refusal;
  const int all = numberOfPages();
  if (pages < 0 || pages > all)
    pages = all;
  QPainter painter;
  if (!painter.begin(&device))
    return QStringLiteral("The printer could not be started.");
  const double sx = device.logicalDpiX() / 72.0;
  const double sy = device.logicalDpiY() / 72.0;
  std::vector<Preparation::Sheet> order;
  for (int copy = 0; copy < std::max(1, copies); ++copy)
    for (int page = 0; page < pages; ++page)
      // A copy's failures are the same as the first copy's: report them once.
      order.push_back({page, copy == 0});
  Preparation sheets(*this, order, failures);
  for (size_t index = 0; index < order.size(); ++index) {
    if (index > 0 && !device.newPage()) {
      painter.end();
      return QStringLiteral("A new sheet could not be started.");
    }
    painter.resetTransform();
    painter.scale(sx, sy);
    paintSheet(painter, sheets.take(index));
  }
  if (!painter.end())
    return QStringLiteral("The printing could not be finished.");
  return QString();
}

QString Printing_View::printTo(QPrinter *printer, int pages, BatchRunFailures *failures) const {
  if (!printer)
    return QStringLiteral("No printer found.");
  // The printer's own copy count makes the copies.
  return paintPages(*printer, pages, 1, failures);
}

QString Printing_View::printToPdf(const QString &path, const QPageLayout &layout, int copies,
                                  BatchRunFailures *failures) const {
  if (const QString refusal = m_settings.refusal(); !refusal.isEmpty())
    return refusal;
  QString error;
  QString reason;
  const bool written = WholeFiles::write(
      path,
      [&](QIODevice &device, QString *why) {
        QPdfWriter writer(&device);
        writer.setCreator(QStringLiteral("Amends"));
        writer.setTitle(QStringLiteral("Cards"));
        QPageLayout full = layout;
        full.setMode(QPageLayout::FullPageMode);
        writer.setPageLayout(full);
        error = paintPages(writer, -1, copies, failures);
        *why = error;
        return error.isEmpty();
      },
      &reason);
  if (written)
    return QString();
  // A refused write (a full disk) is named before whatever the drawing said of it.
  if (!error.isEmpty() && reason == error)
    return error;
  return QStringLiteral("The file \"%1\" could not be written: %2").arg(path, reason);
}
