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
#include <thread>

const QString Printing_View::InvalidDataText = QStringLiteral("Invalid Data");

Printing_View::Cards Printing_View::fromBatch(const std::shared_ptr<const BatchCardSource> &run) {
  Cards cards;
  cards.bound = true;
  cards.count = run ? run->cardCount() : 0;
  if (run)
    cards.make = [run](int card, bool back, QString *failure) {
      return run->Set_data_table_value_to_card(card, back ? QStringLiteral("B") : QStringLiteral("F"), true,
                                               failure);
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

std::vector<Printing_View::Label> Printing_View::prepareSheet(int page, BatchRunFailures *failures) const {
  const int perSheet = int(m_slots.size());
  std::vector<Label> labels(static_cast<size_t>(perSheet));
  const bool wantFront = m_settings.side != QLatin1String("B");
  const bool wantBack = m_settings.side != QLatin1String("F");

  // The labels of this sheet that show a card.
  std::vector<int> cells;
  for (int cell = 0; cell < perSheet; ++cell) {
    const int label = PrintLayout::labelIndex(page, cell, perSheet);
    if (label >= m_settings.total)
      break;
    if (m_cards.bound && label >= m_cards.count)
      continue;
    labels[size_t(cell)].empty = false;
    cells.push_back(cell);
  }
  if (!m_cards.bound) {
    for (int cell : cells) {
      labels[size_t(cell)].front = m_cards.front;
      labels[size_t(cell)].back = m_cards.back;
    }
    return labels;
  }
  if (!m_cards.make || cells.empty()) {
    return labels;
  }

  // Each job is one side of one label; workers take the next job until none is left.
  struct Job {
    int cell;
    bool back;
  };
  std::vector<Job> jobs;
  for (int cell : cells) {
    if (wantBack)
      jobs.push_back({cell, true});
    if (wantFront)
      jobs.push_back({cell, false});
  }
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next.fetch_add(1); i < jobs.size(); i = next.fetch_add(1)) {
      const Job &job = jobs[i];
      const int card = PrintLayout::labelIndex(page, job.cell, perSheet);
      QString failure;
      CardPicture picture;
      try {
        picture = m_cards.make(card, job.back, &failure);
      } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
      } catch (...) {
        failure = QStringLiteral("The card could not be rendered.");
      }
      if (picture.isNull() && failure.isEmpty())
        failure = QStringLiteral("The card could not be rendered.");
      if (!failure.isEmpty()) {
        // A side that lacks part of its content is not printed as if it were whole.
        picture = CardPicture();
        if (failures)
          failures->add(card, (job.back ? QStringLiteral("back: ") : QStringLiteral("front: ")) + failure);
      }
      // Each job writes its own label side only.
      (job.back ? labels[size_t(job.cell)].back : labels[size_t(job.cell)].front) = picture;
    }
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const size_t workers = std::min<size_t>(cores, jobs.size());
  if (workers <= 1) {
    work();
  } else {
    std::vector<std::thread> threads;
    threads.reserve(workers - 1);
    for (size_t i = 1; i < workers; ++i)
      threads.emplace_back(work);
    work();
    for (std::thread &thread : threads)
      thread.join();
  }
  return labels;
}

void Printing_View::drawSheet(QPainter &painter, int page, BatchRunFailures *failures) const {
  painter.save();
  painter.fillRect(QRectF(QPointF(0, 0), m_settings.paper), Qt::white);
  const std::vector<Label> labels = prepareSheet(page, failures);
  const bool wantFront = m_settings.side != QLatin1String("B");
  const bool wantBack = m_settings.side != QLatin1String("F");

  auto drawSide = [&](const CardPicture &picture, const QRectF &place, const QRectF &part) {
    if (picture.isNull()) {
      Draw_Label_String(painter, place.isNull() ? part : place, InvalidDataText, Qt::red);
      return;
    }
    // The card at its natural size: where the layout put it, or the cell part's corner
    // when the layout did not know the size.
    painter.save();
    painter.translate(place.isNull() ? part.topLeft() : place.topLeft());
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
  bool first = true;
  for (int copy = 0; copy < std::max(1, copies); ++copy) {
    for (int page = 0; page < pages; ++page) {
      if (!first && !device.newPage()) {
        painter.end();
        return QStringLiteral("A new sheet could not be started.");
      }
      first = false;
      painter.resetTransform();
      painter.scale(sx, sy);
      // A copy's failures are the same as the first copy's: report them once.
      drawSheet(painter, page, copy == 0 ? failures : nullptr);
    }
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
