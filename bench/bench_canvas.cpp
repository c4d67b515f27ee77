// How long the editing canvas takes to paint a busy card side: 200 objects (texts,
// shapes of every kind, lines, images) over a card base with a gradient fill and a
// dashed border, three of them selected. For each zoom it prints the median time of
//   - a full repaint of the canvas, and
//   - the repaint after one object moves by a few points: the dirty areas only, as
//     the canvas's observation of the object marks them, delivered by the event loop.
// The widget is shown on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//     taskset -c 0 amends_bench_canvas [repeats]

#include "BenchCards.h"

#include "canvas/QLNGraphicView.h"
#include "canvas/QLNSelection.h"

#include "core/Card_Property.h"
#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/QLNDocument.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "mainwindow/CardBaseDrawing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int ObjectCount = 200;
const QSizeF CardSize(243, 154);

// The main window as far as the canvas needs it: the card base, and the redraw request
// the objects send after drawing themselves.
class BenchMainWindow : public MainWindowServices {
public:
  BenchMainWindow() {
    side = benchCardSide();
    Main_App_wnd = this;
  }
  ~BenchMainWindow() override { Main_App_wnd = nullptr; }
  void Card_Base_Drawing(QPainter *painter, const QRectF &rect) override {
    CardBase::drawCardBase(*painter, rect, side, 1, Resource_Path, rect);
  }
  void Refresh_Canvas() override {
    if (view)
      view->setNeedsDisplay();
  }
  QRectF frontCanvasBounds() const override { return QRectF(QPointF(0, 0), CardSize); }

  Card_Property side;
  QLNGraphicView *view = nullptr;
};

QColor randomColour(QRandomGenerator &random) {
  return QColor(random.bounded(256), random.bounded(256), random.bounded(256));
}

QLNGraphicList makeObjects() {
  QRandomGenerator random(20240601);  // the same side on every run
  QImage pixels(64, 48, QImage::Format_ARGB32);
  for (int y = 0; y < pixels.height(); ++y)
    for (int x = 0; x < pixels.width(); ++x)
      pixels.setPixelColor(x, y, QColor(x * 4, y * 5, 128));
  const QString shapes[] = {QStringLiteral("R"), QStringLiteral("C"), QStringLiteral("RR"), QStringLiteral("T"),
                            QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("DS"), QStringLiteral("P")};
  const QString messages[] = {QStringLiteral("We are truly sorry"),
                              QStringLiteral("Please accept our apologies for the delay in your order."),
                              QStringLiteral("Forgive me?"),
                              QStringLiteral("It was all my fault, and I will make it right.")};
  QLNGraphicList objects;
  for (int i = 0; i < ObjectCount; ++i) {
    const QRectF bounds(random.bounded(200), random.bounded(120), 15 + random.bounded(70), 10 + random.bounded(40));
    QLNGraphicPtr object;
    switch (i % 4) {
      case 0: {
        auto text = std::make_shared<QLNText>();
        text->Text_Value = messages[(i / 4) % 4];
        text->text_alignmnet = i % 3;
        text->_isDrawingFill = i % 8 == 0;
        text->_isDrawingStroke = false;
        text->txt_clr = randomColour(random);
        object = text;
        break;
      }
      case 1: {
        auto shape = std::make_shared<Shape_Control>();
        shape->Set_Shape_Type(shapes[(i / 4) % 8]);
        shape->_fillColor = randomColour(random);
        shape->_strokeColor = randomColour(random);
        shape->_strokeWidth = 1 + random.bounded(3);
        shape->_stroke_border_type = i % 3 == 0 ? QStringLiteral("DO") : QStringLiteral("S");
        if (i % 5 == 0) {
          shape->_fill_type = QStringLiteral("G");
          shape->_fill_Grad_clr1 = randomColour(random);
          shape->_fill_Grad_clr2 = randomColour(random);
          shape->_fill_grad_angle = random.bounded(360);
        }
        object = shape;
        break;
      }
      case 2: {
        auto line = std::make_shared<QLNLine>();
        line->_strokeColor = randomColour(random);
        line->_strokeWidth = 1 + random.bounded(4);
        line->_pointsRight = random.bounded(2) == 1;
        line->_pointsDown = random.bounded(2) == 1;
        object = line;
        break;
      }
      default: {
        auto image = std::make_shared<QLNImage>();
        image->_contents = PointImage{pixels, QSizeF(64, 48)};
        object = image;
        break;
      }
    }
    object->_bounds = bounds;
    objects.append(object);
  }
  return objects;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// Delivers the pending repaint of the canvas's window now.
void flushRepaint(QLNGraphicView &view) {
  const int before = view.paintCount();
  QCoreApplication::sendPostedEvents(view.window(), QEvent::UpdateRequest);
  for (int i = 0; view.paintCount() == before && i < 1000; ++i)
    QCoreApplication::processEvents();
}

void measure(QLNGraphicView &view, const QLNGraphicList &objects, double zoom, int repeats) {
  view.setZoomFactor(zoom);
  flushRepaint(view);

  std::vector<double> full;
  for (int i = 0; i < repeats; ++i) {
    QElapsedTimer timer;
    timer.start();
    view.repaint();
    full.push_back(double(timer.nsecsElapsed()) / 1e6);
  }

  std::vector<double> move;
  int paints = 0;
  for (int i = 0; i < repeats; ++i) {
    const QLNGraphicPtr &object = objects.at((i * 37) % objects.size());
    const QPointF step = i % 2 == 0 ? QPointF(3, 2) : QPointF(-3, -2);
    const int before = view.paintCount();
    QElapsedTimer timer;
    timer.start();
    object->setBounds(object->bounds().translated(step));
    flushRepaint(view);
    move.push_back(double(timer.nsecsElapsed()) / 1e6);
    paints += view.paintCount() - before;
  }
  std::printf("zoom %3.0f%%  widget %4dx%-4d  full repaint %7.2f ms   one-object move %6.2f ms   (median of %d; %d paints for %d moves)\n",
              zoom * 100.0, view.width(), view.height(), median(full), median(move), repeats, paints, repeats);
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;

  BenchMainWindow mainWindow;
  QLNDocument document;
  QLNSelection selection;
  selection.bindContent(&document, QLNDocumentGraphicsKey);
  QLNGraphicView view;
  mainWindow.view = &view;
  view.setCanvasSize(CardSize);
  view.bindGraphics(&document, QLNDocumentGraphicsKey);
  view.bindSelectionIndexes(&selection);

  const QLNGraphicList objects = makeObjects();
  QLNIndexSet indexes;
  for (int i = 0; i < objects.size(); ++i)
    indexes.append(i);
  document.Enable_Disable_Undo_Registraion(0);
  document.insertGraphics(objects, indexes);
  document.Enable_Disable_Undo_Registraion(1);
  view.changeSelectionIndexes({3, 50, 120});

  view.show();
  for (int i = 0; i < 50 && view.paintCount() == 0; ++i)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

  std::printf("canvas of %d objects (%d texts, %d shapes, %d lines, %d images), 3 selected\n", ObjectCount,
              ObjectCount / 4, ObjectCount / 4, ObjectCount / 4, ObjectCount / 4);
  measure(view, objects, 1.0, repeats);
  measure(view, objects, 4.0, repeats);
  return 0;
}
