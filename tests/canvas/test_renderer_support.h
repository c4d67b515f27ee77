#pragma once
// Shared by the renderer tests: a main window of the tests' own that has a front canvas
// of a chosen size, paints the card base in one colour per side and answers a chosen
// toolkit version; plain filled boxes; and the PDF peers from poppler-utils.

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/Shape_Control.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

namespace rendertest {

inline const QColor kFrontBase(250, 250, 210);
inline const QColor kBackBase(200, 225, 255);
inline const QColor kRed(220, 0, 0);
inline const QColor kGreen(0, 160, 0);
inline const QColor kBlue(0, 0, 220);

class RenderHost : public MainWindowServices {
public:
  RenderHost() : m_previous(Main_App_wnd) { Main_App_wnd = this; }
  ~RenderHost() override {
    Main_App_wnd = m_previous;
    Card_Front_Or_Back = 0;
  }

  QRectF frontCanvasBounds() const override { return canvas; }
  void Card_Base_Drawing(QPainter *painter, const QRectF &rect) override {
    baseDrawings.fetch_add(1);
    painter->fillRect(rect, Card_Front_Or_Back.load() == 0 ? kFrontBase : kBackBase);
  }
  int toolkitVersion() const override { return version; }

  QRectF canvas{0, 0, 243, 154};
  int version = 6042;
  std::atomic<int> baseDrawings{0};

private:
  MainWindowServices *m_previous;
};

// A filled box without border, printed unless `printFlag` says otherwise.
inline std::shared_ptr<Shape_Control> box(const QRectF &bounds, const QColor &fill, int printFlag = 0) {
  auto shape = std::make_shared<Shape_Control>();
  shape->Set_Shape_Type(QStringLiteral("R"));
  shape->_isDrawingStroke = false;
  shape->_fillColor = fill;
  shape->alpha_val = 1.0f;
  shape->_bounds = bounds;
  shape->print_object = printFlag;
  return shape;
}

inline bool havePoppler() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

// Runs a program to its end; its standard output, or a test failure.
inline QByteArray run(const QString &program, const QStringList &arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
    return QByteArray();
  }
  return process.readAllStandardOutput();
}

// pdfinfo's answer for the PDF `data`.
inline QString pdfInfo(const QByteArray &data, const QTemporaryDir &folder) {
  const QString path = folder.filePath(QStringLiteral("info.pdf"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
    return QString();
  file.close();
  return QString::fromUtf8(run(QStringLiteral("pdfinfo"), {path}));
}

// The first page of the PDF at `path` rasterised by pdftoppm at `dpi`.
inline QImage pdfPage(const QString &path, int dpi, const QTemporaryDir &folder) {
  const QString prefix = folder.filePath(QStringLiteral("page"));
  run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                                   QStringLiteral("-singlefile"), QStringLiteral("-f"), QStringLiteral("1"),
                                   QStringLiteral("-l"), QStringLiteral("1"), path, prefix});
  return QImage(prefix + QStringLiteral(".png"));
}

inline QImage pdfPageOf(const QByteArray &data, int dpi, const QTemporaryDir &folder) {
  const QString path = folder.filePath(QStringLiteral("page.pdf"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
    return QImage();
  file.close();
  return pdfPage(path, dpi, folder);
}

}  // namespace rendertest
