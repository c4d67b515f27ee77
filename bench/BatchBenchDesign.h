#pragma once
// The design the batch benchmarks make their cards from: a card of 3.5 by 2 inches with
// a background photo (2400 by 1600 pixels), a name and a message bound to series and a
// QR Code bound to a series of web addresses; the three series, `cards` values each,
// are written into the data folder first. A photo file of one's own may stand in for the
// made one (to compare with another program given the same file).

#include "dataseries/model/SeriesStore.h"

#include "mainwindow/AppSession.h"
#include "mainwindow/QLNWindowController.h"

#include "barcode/BarcodeProduction.h"
#include "core/QLNBarcode.h"
#include "core/QLNDocument.h"
#include "core/QLNText.h"

#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace benchdesign {

inline std::shared_ptr<QLNText> boundText(const QRectF &bounds, const QString &series) {
  auto text = std::make_shared<QLNText>();
  text->setBounds(bounds);
  replaceCharacters(*text->Text_contents(), QStringLiteral("Dear guest"));
  text->data_source_type = 1;
  text->batch_list_name = series;
  return text;
}

// Makes the design in the session's document; false (with a message on standard error)
// when a series cannot be written.
inline bool makeBatchDesign(AppSession &session, QLNWindowController *controller, const QTemporaryDir &scratch,
                            int cards, const QString &photoFile = QString()) {
  controller->SetDocumentCanvasSize(QSizeF(252, 144));  // 3.5 by 2 inches

  // The background photo: 2400 by 1600 pixels, unless one is given.
  QString photoPath = photoFile;
  if (photoPath.isEmpty()) {
    QImage photo(2400, 1600, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
      QRgb *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
      for (int x = 0; x < photo.width(); ++x)
        line[x] = qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255);
    }
    photoPath = scratch.filePath(QStringLiteral("photo.jpg"));
    photo.save(photoPath, "JPG", 90);
  }
  controller->set_Front_BG_Image(photoPath);

  // The series: names, messages and codes of every card.
  QStringList names, messages, codes;
  for (int i = 0; i < cards; ++i) {
    names << QStringLiteral("Guest number %1").arg(i + 1);
    messages << QStringLiteral("We are sorry about the evening of the %1th.").arg(i % 28 + 1);
    codes << QStringLiteral("https://amends.example/card/%1").arg(100000 + i);
  }
  for (const auto &[name, values] : {std::pair{QStringLiteral("Names"), names},
                                     std::pair{QStringLiteral("Messages"), messages},
                                     std::pair{QStringLiteral("Codes"), codes}})
    if (!SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                            SeriesStore::WriteMode::Replace)) {
      std::fprintf(stderr, "the series %s could not be written\n", qPrintable(name));
      return false;
    }
  auto qr = std::make_shared<QLNBarcode>();
  qr->linear_or_2d = 1;
  qr->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("QR Code")));
  qr->qr_size_val = 80;
  qr->setBounds(QRectF(162, 44, 80, 80));
  qr->data_source_type = 1;
  qr->batch_list_name = QStringLiteral("Codes");
  session.document()->setList(QLNDocumentGraphicsKey,
                              {boundText(QRectF(12, 12, 230, 28), QStringLiteral("Names")),
                               boundText(QRectF(12, 50, 140, 80), QStringLiteral("Messages")), qr});
  return true;
}

}  // namespace benchdesign
