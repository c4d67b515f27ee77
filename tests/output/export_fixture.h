#pragma once
// What the card export tests share: reading back exported files (PNG signature, pixels,
// stated resolution), cards recorded in a plain colour, and a main window session with
// card objects, series files and a wait for a batch to end.

#include "tests/mainwindow/main_window_fixture.h"

#include "output/CardExport.h"

#include "dataseries/model/SeriesStore.h"

#include "canvas/RenderPicture.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace exporttest {

// The first eight bytes of every PNG file.
inline bool hasPngSignature(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return false;
  return file.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8);
}

// The image of a PNG file, read as PNG whatever the file's extension.
inline QImage readPng(const QString &path) {
  QImage image;
  image.load(path, "PNG");
  return image;
}

// The resolution a file's image states, in dots per inch (rounded).
inline int statedDpiOf(const QImage &image) { return qRound(image.dotsPerMeterX() * 0.0254); }

// The entries of a folder, sorted by name.
inline QStringList entriesOf(const QString &folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A picture of `size` points filled with `colour`.
inline CardPicture plainPicture(const QSizeF &size, const QColor &colour) {
  CardPicture::Recorder recorder(size);
  {
    QPainter painter(recorder.device());
    painter.fillRect(QRectF(QPointF(0, 0), size), colour);
  }
  return recorder.finish();
}

// The same side at 72 dots per inch: one pixel per point.
inline PointImage plainImage(const QSize &points, const QColor &colour, double scale = 1) {
  QImage pixels(int(points.width() * scale), int(points.height() * scale), QImage::Format_ARGB32_Premultiplied);
  pixels.fill(colour);
  return PointImage{pixels, QSizeF(points)};
}

}  // namespace exporttest

class ExportWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    controller->SetDocumentCanvasSize(QSizeF(200, 100));
    Stop_SMS_Sending_Now = false;
  }

  void TearDown() override {
    Stop_SMS_Sending_Now = false;
    export_card_side = QStringLiteral("F");
    MainWindowTest::TearDown();
  }

  void writeSeries(const QString &name, const QStringList &values) {
    ASSERT_TRUE(SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                                   SeriesStore::WriteMode::Replace));
  }
  static std::shared_ptr<QLNText> text(const QString &value, const QString &series = QString()) {
    auto object = std::make_shared<QLNText>();
    object->setBounds(QRectF(10, 10, 120, 30));
    replaceCharacters(*object->Text_contents(), value);
    object->data_source_type = series.isEmpty() ? 0 : 1;
    object->batch_list_name = series;
    return object;
  }
  // A filled rectangle without border.
  static std::shared_ptr<Shape_Control> box(const QRectF &bounds, const QColor &fill) {
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(QStringLiteral("R"));
    shape->_isDrawingStroke = false;
    shape->_fillColor = fill;
    shape->_bounds = bounds;
    return shape;
  }
  void setSides(const QLNGraphicList &front, const QLNGraphicList &back = {}) {
    session->document()->setList(QLNDocumentGraphicsKey, front);
    session->document()->setList(QLNDocumentGraphicsKey_back, back);
  }
  // Runs the event loop until the batch has ended (and its result window was answered).
  bool waitForExport(int timeoutMs = 60000) {
    QElapsedTimer clock;
    clock.start();
    while (controller->isExportRunning() && clock.elapsed() < timeoutMs)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !controller->isExportRunning();
  }

  QLNWindowController *controller = nullptr;
};
