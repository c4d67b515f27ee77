#pragma once
// A stage for canvas tests: a document, the front and back selections, a front and a
// back canvas bound to them as the main window binds them, and a main window of the
// tests' own (CanvasHost) that places new objects by the cascade rule, paints a plain
// card base, records what the canvas asks of it and offers the three sizing buttons;
// and mouse and key events as the window system delivers them to a canvas.

#include "canvas/CanvasServices.h"
#include "canvas/QLNGraphicView.h"
#include "canvas/QLNSelection.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Shape_Control.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>

#include <atomic>
#include <memory>
#include <vector>

// The colour the test main window paints the card base with.
inline const QColor kCardBase(250, 250, 210);

class CanvasHost : public MainWindowServices, public CanvasServices {
public:
  CanvasHost() : m_previous(Main_App_wnd) {
    Main_App_wnd = this;
    sameWidth.setObjectName(QStringLiteral("Make_same_width_btn"));
    sameHeight.setObjectName(QStringLiteral("Make_same_height_btn"));
    naturalSize.setObjectName(QStringLiteral("Make_natural_size_btn"));
  }
  ~CanvasHost() override { Main_App_wnd = m_previous; }

  // ---- MainWindowServices ----
  // The cascade on the side's own count and the front canvas's size.
  QPointF Control_New_Point(const QString &card_side) override {
    const int count = int(card_side == QLatin1String("F") ? document->graphics().size()
                                                          : document->graphics_back().size());
    return cascadeControlPoint(count, frontCanvasBounds().size());
  }
  QRectF frontCanvasBounds() const override { return front ? front->bounds() : QRectF(); }
  // As the main window does: a full redraw of the current side's canvas.
  void Refresh_Canvas() override {
    refreshes.fetch_add(1);
    QLNGraphicView *current = Card_Front_Or_Back.load() != 0 ? back : front;
    if (current)
      current->setNeedsDisplay();
  }
  void Card_Base_Drawing(QPainter *painter, const QRectF &rect) override {
    baseRects.push_back(rect);
    painter->fillRect(rect, kCardBase);
  }
  void Show_RHS_Properties(const QLNGraphicPtr &graphic) override { shown.push_back(graphic); }

  // ---- CanvasServices ----
  int selectedControlTool() const override { return tool; }
  QString currentGraphicClass() const override { return graphicClass; }
  void Undo_Redo_Button_state() override { ++undoRedoStates; }
  void Open_Barcode_Window() override { ++barcodeWindows; }
  QString librarySelectedImage() const override { return libraryImage; }
  PointImage placeholderImage() const override { return placeholder; }
  PointImage barcodeSampleImage() const override { return barcodeSample; }
  PointImage signatureSampleImage() const override { return signatureSample; }
  PointImage fingerprintSampleImage() const override { return fingerprintSample; }
  QObject *mainWindowControl(const QString &objectName) const override {
    for (QPushButton *button : {&sameWidth, &sameHeight, &naturalSize})
      if (button->objectName() == objectName)
        return button;
    return nullptr;
  }

  QLNDocument *document = nullptr;
  QLNGraphicView *front = nullptr;
  QLNGraphicView *back = nullptr;
  int tool = 0;
  QString graphicClass;  // the class the current tool places; empty for the arrow
  int undoRedoStates = 0;
  int barcodeWindows = 0;
  QString libraryImage;
  PointImage placeholder, barcodeSample, signatureSample, fingerprintSample;
  mutable QPushButton sameWidth, sameHeight, naturalSize;
  std::atomic<int> refreshes{0};
  std::vector<QRectF> baseRects;
  std::vector<QLNGraphicPtr> shown;

private:
  MainWindowServices *m_previous;
};

// A canvas that records the region of each of its paints.
class RecordingView : public QLNGraphicView {
public:
  std::vector<QRegion> regions;
  QRegion paintedSince(size_t first) const {
    QRegion all;
    for (size_t i = first; i < regions.size(); ++i)
      all += regions[i];
    return all;
  }

protected:
  void paintEvent(QPaintEvent *event) override {
    regions.push_back(event->region());
    QLNGraphicView::paintEvent(event);
  }
};

class CanvasTest : public ::testing::Test {
protected:
  void SetUp() override {
    last_ctrl_X = 10.0f;
    last_ctrl_Y = 10.0f;
    Card_Front_Or_Back = 0;
    host.document = &document;
    host.front = &front;
    host.back = &back;
    frontSelection.bindContent(&document, QLNDocumentGraphicsKey);
    backSelection.bindContent(&document, QLNDocumentGraphicsKey_back);
    front.bindGraphics(&document, QLNDocumentGraphicsKey);
    front.bindSelectionIndexes(&frontSelection);
    back.bindGraphics(&document, QLNDocumentGraphicsKey_back);
    back.bindSelectionIndexes(&backSelection);
    front.setCanvasSize(QSizeF(243, 154));
    back.setCanvasSize(QSizeF(243, 154));
  }

  void TearDown() override {
    last_ctrl_X = 10.0f;
    last_ctrl_Y = 10.0f;
    Card_Front_Or_Back = 0;
  }

  // Ends the undo step of this turn of the event loop, as the loop does.
  static void endTurn() { QCoreApplication::processEvents(); }

  // A filled rectangle without border.
  static std::shared_ptr<Shape_Control> box(const QRectF &bounds, const QColor &fill) {
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(QStringLiteral("R"));
    shape->_isDrawingStroke = false;
    shape->_fillColor = fill;
    shape->_bounds = bounds;
    return shape;
  }

  // Shows the canvas and waits until nothing more is painted.
  static void showAndSettle(QLNGraphicView &view) {
    view.show();
    ASSERT_TRUE(spinUntil([&] { return view.paintCount() > 0; }));
    settle(view);
  }

  // Runs the event loop until the canvas has not painted for `quietMs`.
  static void settle(QLNGraphicView &view, int quietMs = 60) {
    QElapsedTimer total;
    total.start();
    int seen = view.paintCount();
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs && total.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      if (view.paintCount() != seen) {
        seen = view.paintCount();
        quiet.restart();
      }
    }
  }

  // Runs the event loop for `ms` milliseconds.
  static void runFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }

  // ---- Mouse and keys, at canvas points (the zoom gives the pixels) ----
  static QPointF pixelOf(const QLNGraphicView &view, const QPointF &point) { return point * view.zoomFactor(); }
  static void sendMouse(QLNGraphicView &view, QEvent::Type type, const QPointF &point, Qt::MouseButton button,
                        Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    const QPointF pixel = pixelOf(view, point);
    QMouseEvent event(type, pixel, view.mapToGlobal(pixel), button, buttons, modifiers);
    QApplication::sendEvent(&view, &event);
  }
  static void press(QLNGraphicView &view, const QPointF &point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendMouse(view, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton, modifiers);
  }
  // A move with the left button held.
  static void drag(QLNGraphicView &view, const QPointF &point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendMouse(view, QEvent::MouseMove, point, Qt::NoButton, Qt::LeftButton, modifiers);
  }
  static void release(QLNGraphicView &view, const QPointF &point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendMouse(view, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton, modifiers);
  }
  static void click(QLNGraphicView &view, const QPointF &point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    press(view, point, modifiers);
    release(view, point, modifiers);
  }
  // Press, drag through `path`, release at its last point.
  static void dragAlong(QLNGraphicView &view, const QPointF &from, std::initializer_list<QPointF> path,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    press(view, from, modifiers);
    QPointF last = from;
    for (const QPointF &point : path) {
      drag(view, point, modifiers);
      last = point;
    }
    release(view, last, modifiers);
  }
  // Two clicks as the window system reports them: press, release, double click, release.
  static void doubleClick(QLNGraphicView &view, const QPointF &point) {
    click(view, point);
    sendMouse(view, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    release(view, point);
  }
  static void key(QLNGraphicView &view, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&view, &event);
  }

  // Declared first so that it is the main window while everything else lives.
  CanvasHost host;
  QLNDocument document;
  QLNSelection frontSelection;
  QLNSelection backSelection;
  RecordingView front;
  RecordingView back;
};
