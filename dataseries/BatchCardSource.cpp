#include "dataseries/BatchCardSource.h"

#include "mainwindow/QLNWindowController.h"

#include "barcode/BarcodeProduction.h"
#include "barcode/Barcode_Gen.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"
#include "core/Utilities.h"
#include "platform/MainThread.h"

#include <QMutexLocker>
#include <QPainter>

#include <algorithm>
#include <exception>
#include <functional>

namespace {

void appendReason(QStringList &reasons, const QString &reason) {
  if (!reason.isEmpty())
    reasons.append(reason);
}

// One value into one object; throws what the object's own code throws.
void assignValue(QLNGraphic &graphic, const QString &value, const BarcodeSettings *barcode, bool forOutput,
                 bool vectorOutput, QStringList &reasons, QStringList *unheld) {
  const QString kind = graphic.className();
  if (kind == QLatin1String("QLNText")) {
    if (const QLNTextStoragePtr storage = graphic.Text_contents())
      replaceCharacters(*storage, value);
  } else if (kind == QLatin1String("QLNImage")) {
    static_cast<QLNImage &>(graphic).setFilePath(value);
  } else if (kind == QLatin1String("QLNBarcode") && barcode) {
    const CardPicture picture = Get_Image_From_Val(*barcode, value, graphic.header_val, graphic.footer_val);
    // A value gives no symbol only when it is empty or the symbology cannot hold it.
    if (picture.isNull() && !value.isEmpty() && unheld)
      unheld->append(value);
    bool drawn = false;
    if (vectorOutput) {
      // Drawn from the symbol's own shapes: no picture to make at the design's resolution.
      const QSizeF size = picture.size();
      drawn = !picture.isNull() && size.width() > 0 && size.height() > 0;
      static_cast<QLNBarcode &>(graphic).setVectorPicture(
          drawn ? size : QSizeF(), [picture, size](QPainter &painter, const QRectF &place) {
            painter.translate(place.topLeft());
            painter.scale(place.width() / size.width(), place.height() / size.height());
            picture.draw(painter);
          });
    } else {
      QString error;
      const PointImage image = picture.isNull() ? PointImage() : picture.toImage(barcode->dpi, &error);
      appendReason(reasons, error);
      graphic.Set_Barcode_image(image);
      drawn = !image.isNull();
    }
    if (forOutput && !drawn)
      graphic.ctrl_is_visible = false;
  }
}

}  // namespace

QString Assign_Batch_Values_To_Control(const QLNGraphicList &graphics, const BindingSources &sources, int row,
                                       const QHash<int, BarcodeSettings> &barcodes, bool forOutput,
                                       bool vectorOutput, QStringList *unheld) {
  QStringList reasons;
  for (qsizetype index = 0; index < graphics.size(); ++index) {
    const QLNGraphicPtr &graphic = graphics.at(index);
    if (!graphic)
      continue;
    const std::optional<QString> value = sources.valueFor(*graphic, row);
    if (!value)
      continue;
    const auto settings = barcodes.constFind(int(index));
    try {
      assignValue(*graphic, *value, settings == barcodes.constEnd() ? nullptr : &*settings, forOutput,
                  vectorOutput, reasons, unheld);
    } catch (const std::exception &error) {
      reasons.append(QString::fromUtf8(error.what()));
    } catch (...) {
      reasons.append(QStringLiteral("A %1 could not take its value.").arg(graphic->className()));
    }
  }
  return reasons.join(QLatin1Char('\n'));
}

// ---- The run's source -----------------------------------------------------------------------

std::shared_ptr<const BatchCardSource> BatchCardSource::capture(QLNWindowController &controller,
                                                                const BindingSources &sources, QString *error) {
  auto source = std::make_shared<BatchCardSource>();
  QStringList problems;
  auto takeSide = [&](Side &side, int number, const QLNGraphicList &live, const Card_Property &settings) {
    side.snapshot.side = number;
    side.snapshot.canvasSize = controller.frontCanvasBounds().size();
    side.snapshot.settings = settings;
    side.snapshot.cardShape = Card_Shape.load();
    side.snapshot.resourcePath = Resource_Path;
    for (const QLNGraphicPtr &graphic : live) {
      if (!graphic)
        continue;
      QString why;
      const QLNGraphicList copy = Render::copyGraphicsForRendering({graphic}, &why);
      appendReason(problems, why);
      if (copy.isEmpty())
        continue;
      side.snapshot.graphics.append(copy.first());
      const bool boundBarcode = graphic->className() == QLatin1String("QLNBarcode") &&
                                (graphic->data_source_type == 1 || graphic->data_source_type == 2);
      if (boundBarcode)
        side.barcodes.insert(int(side.snapshot.graphics.size() - 1),
                             Barcode_Gen::sharedInstance()->settingsOf(graphic.get()));
    }
  };
  auto take = [&] {
    source->m_sources = sources;
    takeSide(source->m_front, 0, controller.Get_Front_Controls_Array(), controller.Front_card_Prop);
    takeSide(source->m_back, 1, controller.Get_Back_Controls_Array(), controller.Back_card_Prop);
  };
  if (MainThread::isMainThread())
    take();
  else
    MainThread::runAndWait(take);
  if (error)
    *error = problems.join(QLatin1Char('\n'));
  return source;
}

QLNGraphicList BatchCardSource::cardObjects(int row, bool back, QString *failure, bool vectorOutput,
                                            QStringList *unheld) const {
  const Side &from = side(back);
  QString copyError;
  const QLNGraphicList copies = Render::copyGraphicsForRendering(from.snapshot.graphics, &copyError);
  QStringList reasons;
  appendReason(reasons, copyError);
  // A copy that failed would shift the indexes the barcode settings are kept by.
  const QHash<int, BarcodeSettings> none;
  appendReason(reasons, Assign_Batch_Values_To_Control(
                            copies, m_sources, row,
                            copies.size() == from.snapshot.graphics.size() ? from.barcodes : none, true,
                            vectorOutput, unheld));
  if (failure)
    *failure = reasons.join(QLatin1Char('\n'));
  return copies;
}

CardSideSnapshot BatchCardSource::cardSide(int row, bool back, QString *failure, bool vectorOutput,
                                           QStringList *unheld) const {
  CardSideSnapshot card = side(back).snapshot;
  card.graphics = cardObjects(row, back, failure, vectorOutput, unheld);
  return card;
}

CardPicture BatchCardSource::Set_data_table_value_to_card(int row, const QString &sideName, bool print_box,
                                                          QString *failure, QStringList *unheld) const {
  QStringList reasons;
  CardPicture picture;
  try {
    QString assigned;
    const CardSideSnapshot card = cardSide(row, isBack(sideName), &assigned, print_box, unheld);
    appendReason(reasons, assigned);
    QString drawing;
    QString error;
    picture = Render::recordSide(card, &drawing, &error);
    appendReason(reasons, drawing);
    appendReason(reasons, error);
  } catch (const std::exception &error) {
    picture = CardPicture();
    reasons.append(QString::fromUtf8(error.what()));
  } catch (...) {
    picture = CardPicture();
    reasons.append(QStringLiteral("The card could not be rendered."));
  }
  if (picture.isNull() && reasons.isEmpty())
    reasons.append(QStringLiteral("The card could not be rendered."));
  if (failure)
    *failure = reasons.join(QLatin1Char('\n'));
  return picture;
}

// ---- Failures of a run ----------------------------------------------------------------------

CardPicture BatchCardSource::cardOfRun(int card, bool back, bool print_box, QString *failure,
                                       BatchRunFailures *failures) const {
  QStringList unheld;
  CardPicture picture = Set_data_table_value_to_card(card, back ? QStringLiteral("B") : QStringLiteral("F"), print_box,
                                                     failure, &unheld);
  if (failures)
    for (const QString &value : unheld)
      failures->addUnheldBarcode(card, value);
  return picture;
}

void BatchRunFailures::add(int card, const QString &reason) {
  QMutexLocker lock(&m_mutex);
  m_failures.append({card, reason});
}

void BatchRunFailures::addUnheldBarcode(int card, const QString &value) {
  QMutexLocker lock(&m_mutex);
  const QPair<int, QString> entry{card, value};
  if (!m_unheld.contains(entry))
    m_unheld.append(entry);
}

bool BatchRunFailures::isEmpty() const {
  QMutexLocker lock(&m_mutex);
  return m_failures.isEmpty();
}

int BatchRunFailures::count() const {
  QMutexLocker lock(&m_mutex);
  return int(m_failures.size());
}

namespace {

// The entries in card order under `heading`, one line each (`line` of the card number
// and the entry), at most BatchRunFailures::MaxListed, then how many more; "" for none.
QString listedByCard(const QString &heading, QList<QPair<int, QString>> entries,
                     const std::function<QString(int, const QString &)> &line) {
  if (entries.isEmpty())
    return QString();
  std::stable_sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
  QStringList lines{heading};
  for (qsizetype i = 0; i < entries.size() && i < BatchRunFailures::MaxListed; ++i)
    lines.append(line(entries.at(i).first + 1, entries.at(i).second));
  if (entries.size() > BatchRunFailures::MaxListed)
    lines.append(QStringLiteral("... and %1 more.").arg(entries.size() - BatchRunFailures::MaxListed));
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString BatchRunFailures::message() const {
  QList<QPair<int, QString>> failures;
  {
    QMutexLocker lock(&m_mutex);
    failures = m_failures;
  }
  return listedByCard(QStringLiteral("Some cards could not be made:"), failures, [](int card, const QString &reason) {
    return QStringLiteral("Card %1: %2").arg(card).arg(reason.isEmpty() ? QStringLiteral("unknown reason") : reason);
  });
}

void BatchRunFailures::report() const {
  const QString text = message();
  if (!text.isEmpty())
    Show_MessageBox(text);
}

QString BatchRunFailures::unheldBarcodesMessage() const {
  QList<QPair<int, QString>> unheld;
  {
    QMutexLocker lock(&m_mutex);
    unheld = m_unheld;
  }
  return listedByCard(QStringLiteral("Some cards were made without their barcode, which could not hold the value:"),
                      unheld, [](int card, const QString &value) {
                        return QStringLiteral("Card %1: \"%2\"").arg(QString::number(card), value);
                      });
}
