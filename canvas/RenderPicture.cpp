#include "canvas/RenderPicture.h"

#include <QBuffer>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPixmap>
#include <QPolygonF>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <mutex>
#include <utility>
#include <variant>
#include <vector>

namespace {

// One change of the painter's state, as the recording engine was told of it. Only the
// parts named by `flags` are meaningful.
struct StateCommand {
  QPaintEngine::DirtyFlags flags;
  QPen pen;
  QBrush brush;
  QPointF brushOrigin;
  QBrush background;
  Qt::BGMode backgroundMode = Qt::TransparentMode;
  QTransform transform;
  Qt::ClipOperation clipOperation = Qt::NoClip;
  QPainterPath clipPath;
  QRegion clipRegion;
  bool clipEnabled = false;
  QPainter::RenderHints hints;
  QPainter::CompositionMode compositionMode = QPainter::CompositionMode_SourceOver;
  qreal opacity = 1.0;
};

struct PathCommand {
  QPainterPath path;
};

struct PolygonCommand {
  QPolygonF polygon;
  QPaintEngine::PolygonDrawMode mode;
};

struct ModuleShapes;

struct ImageCommand {
  QRectF target;
  QImage image;
  QRectF source;
  Qt::ImageConversionFlags flags;
  // A symbol image's modules, found once where it is recorded (see moduleShapes).
  std::shared_ptr<const ModuleShapes> modules;
};

struct TiledCommand {
  QRectF target;
  QImage image;
  QPointF offset;
};

// A run of text as the layout placed it: drawn again as text, so that a PDF holds it as
// text. `pixels` is the font's size in the recording's units (a font given in points is
// turned into pixels again for the device it is played on).
struct TextCommand {
  QPointF baseline;
  QString text;
  QFont font;
  qreal pixels = 0.0;
};

using Command = std::variant<StateCommand, PathCommand, PolygonCommand, ImageCommand, TiledCommand, TextCommand>;

const QString ModulesKey = QStringLiteral("amends-modules");

// True for devices that keep drawing as vectors (PDF, printers, SVG).
bool isVectorDevice(const QPainter &painter) {
  const QPaintEngine *engine = painter.paintEngine();
  if (!engine)
    return false;
  switch (engine->type()) {
  case QPaintEngine::Pdf:
  case QPaintEngine::SVG:
    return true;
  default:
    return false;
  }
}

// The opaque pixels of a symbol image as rectangles: dark ones (below mid-grey) and
// light ones, each a run of a row joined with the same runs of the rows below.
struct ModuleShapes {
  QList<QRectF> dark;  // rectangles, not a path: a PDF writes each in one short operator
  QList<QRectF> light;
  QColor darkColour = Qt::black;
  QColor lightColour = Qt::white;
};

// Whether `image`, drawn from `source`, is a whole symbol image marked as such.
bool isSymbolImage(const QImage &image, const QRectF &source) {
  return !image.text(ModulesKey).isEmpty() && source == QRectF(image.rect());
}

ModuleShapes moduleShapes(const QImage &source) {
  ModuleShapes shapes;
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width();
  const int h = image.height();
  // 0 transparent, 1 light, 2 dark.
  auto kindOf = [&](QRgb c) { return qAlpha(c) < 128 ? 0 : (qGray(c) < 128 ? 2 : 1); };
  bool darkSeen = false;
  bool lightSeen = false;
  struct Run {
    int kind, from, to, top;
  };
  std::vector<Run> open;  // runs of the previous row, still growing downwards
  auto close = [&](const Run &r, int bottom) {
    (r.kind == 2 ? shapes.dark : shapes.light).append(QRectF(r.from, r.top, r.to - r.from, bottom - r.top));
  };
  for (int y = 0; y <= h; ++y) {
    std::vector<Run> row;
    if (y < h) {
      const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
      int x = 0;
      while (x < w) {
        const int kind = kindOf(line[x]);
        int end = x + 1;
        while (end < w && kindOf(line[end]) == kind)
          ++end;
        if (kind == 2 && !darkSeen) {
          shapes.darkColour = QColor::fromRgb(line[x]);
          shapes.darkColour.setAlpha(255);
          darkSeen = true;
        } else if (kind == 1 && !lightSeen) {
          shapes.lightColour = QColor::fromRgb(line[x]);
          shapes.lightColour.setAlpha(255);
          lightSeen = true;
        }
        if (kind != 0)
          row.push_back({kind, x, end, y});
        x = end;
      }
    }
    // A run that goes on unchanged keeps its top; every other open run ends here.
    std::vector<Run> next;
    size_t j = 0;
    for (const Run &r : open) {
      while (j < row.size() && row[j].from < r.from)
        ++j;
      if (j < row.size() && row[j].from == r.from && row[j].to == r.to && row[j].kind == r.kind) {
        row[j].top = r.top;
        continue;
      }
      close(r, y);
    }
    open = std::move(row);
  }
  return shapes;
}

// The modules of the image a player is handing to a recording at this moment (on this
// thread, within the painter's call), so that the recording takes them along instead of
// finding them again.
struct PassedModules {
  qint64 image = 0;
  std::shared_ptr<const ModuleShapes> shapes;
};
thread_local PassedModules t_passedModules;

class PassingModules {
public:
  PassingModules(qint64 image, std::shared_ptr<const ModuleShapes> shapes)
      : m_saved(std::exchange(t_passedModules, PassedModules{image, std::move(shapes)})) {}
  ~PassingModules() { t_passedModules = std::move(m_saved); }
  PassingModules(const PassingModules &) = delete;
  PassingModules &operator=(const PassingModules &) = delete;

private:
  PassedModules m_saved;
};

// A copy of `path` with data of its own. Paths are shared values whose private data
// carries caches that drawing fills in; a path the recording shared with the object that
// drew it could be drawn on two threads at once.
QPainterPath ownCopy(const QPainterPath &path) {
  QPainterPath copy;
  copy.setFillRule(path.fillRule());
  const int count = path.elementCount();
  copy.reserve(count);
  for (int i = 0; i < count; ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    switch (e.type) {
    case QPainterPath::MoveToElement:
      copy.moveTo(e.x, e.y);
      break;
    case QPainterPath::LineToElement:
      copy.lineTo(e.x, e.y);
      break;
    case QPainterPath::CurveToElement:
      if (i + 2 < count) {
        const QPainterPath::Element c2 = path.elementAt(i + 1);
        const QPainterPath::Element end = path.elementAt(i + 2);
        copy.cubicTo(e.x, e.y, c2.x, c2.y, end.x, end.y);
        i += 2;
      } else {
        copy.lineTo(e.x, e.y);
      }
      break;
    case QPainterPath::CurveToDataElement:
      copy.lineTo(e.x, e.y);
      break;
    }
  }
  return copy;
}

QPaintEngine::PaintEngineFeatures recordedFeatures() {
  // Everything is passed on as it is, so that nothing is flattened to pixels while
  // recording: gradients, patterns, opacity, composition modes and transforms of every
  // kind are played back by the painter that finally draws.
  return QPaintEngine::AllFeatures;
}

}  // namespace

struct CardPicture::Data {
  QSizeF size;
  std::vector<Command> commands;
  PointImage bitmap;   // the picture of a bitmap picture
  bool isBitmap = false;
  // Painting a path fills caches inside the path's shared data: plays of one picture
  // take turns.
  std::mutex playing;
};

namespace {

class RecordingEngine : public QPaintEngine {
public:
  explicit RecordingEngine(CardPicture::Data *data) : QPaintEngine(recordedFeatures()), m_data(data) {}

  bool begin(QPaintDevice *) override {
    m_initialStateTaken = false;
    return true;
  }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState &s) override {
    StateCommand command;
    command.flags = s.state();
    const QPaintEngine::DirtyFlags f = command.flags;
    if (f & DirtyPen)
      command.pen = s.pen();
    if (f & DirtyBrush)
      command.brush = s.brush();
    if (f & DirtyBrushOrigin)
      command.brushOrigin = s.brushOrigin();
    if (f & DirtyBackground)
      command.background = s.backgroundBrush();
    if (f & DirtyBackgroundMode)
      command.backgroundMode = s.backgroundMode();
    if (f & DirtyTransform)
      command.transform = s.transform();
    if (f & (DirtyClipPath | DirtyClipRegion))
      command.clipOperation = s.clipOperation();
    if (f & DirtyClipPath)
      command.clipPath = ownCopy(s.clipPath());
    if (f & DirtyClipRegion)
      command.clipRegion = s.clipRegion();
    if (f & DirtyClipEnabled)
      command.clipEnabled = s.isClipEnabled();
    if (f & DirtyHints)
      command.hints = s.renderHints();
    if (f & DirtyCompositionMode)
      command.compositionMode = s.compositionMode();
    if (f & DirtyOpacity)
      command.opacity = s.opacity();
    m_data->commands.emplace_back(std::move(command));
  }

  void drawPath(const QPainterPath &path) override {
    takeInitialState();
    m_data->commands.emplace_back(PathCommand{ownCopy(path)});
  }

  void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override {
    takeInitialState();
    QPolygonF polygon;
    polygon.reserve(pointCount);
    for (int i = 0; i < pointCount; ++i)
      polygon.append(points[i]);
    m_data->commands.emplace_back(PolygonCommand{std::move(polygon), mode});
  }

  void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override {
    drawImage(r, pm.toImage(), sr, Qt::AutoColor);
  }

  void drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags flags) override {
    takeInitialState();
    std::shared_ptr<const ModuleShapes> modules;
    if (isSymbolImage(image, sr)) {
      // The picture may end up on a vector device, where the modules are drawn; they are
      // found here, on the thread that records, not on the one that writes the output.
      modules = t_passedModules.image == image.cacheKey() && t_passedModules.shapes
                    ? t_passedModules.shapes
                    : std::make_shared<const ModuleShapes>(moduleShapes(image));
    }
    m_data->commands.emplace_back(ImageCommand{r, image, sr, flags, std::move(modules)});
  }

  void drawTextItem(const QPointF &p, const QTextItem &textItem) override {
    takeInitialState();
    const QString text = textItem.text();
    if (text.isEmpty())
      return;
    QFont font = textItem.font();
    // Lines through or under the text are drawn by the painter itself, as paths.
    font.setUnderline(false);
    font.setOverline(false);
    font.setStrikeOut(false);
    qreal pixels = font.pixelSize();
    if (pixels <= 0) {
      // A font in points, made for some resolution: its size in pixels there.
      const qreal points = font.pointSizeF();
      const int shown = QFontInfo(font).pixelSize();
      const qreal dpi = points > 0 && shown > 0 ? 72.0 * shown / points : 72.0;
      pixels = points * (std::abs(dpi - 72.0) < 72.0 * 0.06 ? 72.0 : dpi) / 72.0;
    }
    // Justified lines widen their spaces: the same widening as word spacing.
    const qreal natural = QFontMetricsF(font).horizontalAdvance(text);
    const qreal extra = textItem.width() - natural;
    if (std::abs(extra) > 0.5 + natural * 0.002) {
      qsizetype end = text.size();
      while (end > 0 && text.at(end - 1).isSpace())
        --end;
      const qsizetype spaces = std::count_if(text.begin(), text.begin() + end, [](QChar c) { return c == u' '; });
      if (spaces > 0)
        font.setWordSpacing(font.wordSpacing() + extra / qreal(spaces));
    }
    m_data->commands.emplace_back(TextCommand{p, text, font, pixels});
  }

  void drawTiledPixmap(const QRectF &r, const QPixmap &pixmap, const QPointF &s) override {
    takeInitialState();
    m_data->commands.emplace_back(TiledCommand{r, pixmap.toImage(), s});
  }

private:
  // The painter tells the engine only of what changes after it began; before the first
  // drawing the whole state it starts from is written down once, so that playing starts
  // from the same pen, brush, hints and transform.
  void takeInitialState() {
    if (m_initialStateTaken || !state)
      return;
    m_initialStateTaken = true;
    StateCommand command;
    command.flags = DirtyPen | DirtyBrush | DirtyBrushOrigin | DirtyBackground | DirtyBackgroundMode |
                    DirtyTransform | DirtyHints | DirtyCompositionMode | DirtyOpacity;
    command.pen = state->pen();
    command.brush = state->brush();
    command.brushOrigin = state->brushOrigin();
    command.background = state->backgroundBrush();
    command.backgroundMode = state->backgroundMode();
    command.transform = state->transform();
    command.hints = state->renderHints();
    command.compositionMode = state->compositionMode();
    command.opacity = state->opacity();
    m_data->commands.emplace_back(std::move(command));
  }

  CardPicture::Data *m_data;
  bool m_initialStateTaken = false;
};

// Plays the commands of `data` into `p` (see CardPicture::draw).
class Player {
public:
  explicit Player(QPainter &p)
      : m_p(p), m_vector(isVectorDevice(p)),
        m_recording(p.paintEngine() && p.paintEngine()->type() == QPaintEngine::User),
        m_base(p.worldTransform()), m_baseClipping(p.hasClipping()),
        m_baseClip(m_baseClipping ? p.clipPath() : QPainterPath()), m_baseOpacity(p.opacity()) {
    // The state a new painter starts from, which the recording started from too.
    m_p.setPen(QPen());
    m_p.setBrush(QBrush());
    m_p.setBrushOrigin(QPointF(0, 0));
    m_p.setBackground(QBrush(Qt::white));
    m_p.setBackgroundMode(Qt::TransparentMode);
    m_p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::LosslessImageRendering | QPainter::VerticalSubpixelPositioning |
                           QPainter::NonCosmeticBrushPatterns,
                       false);
    m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }

  void operator()(const StateCommand &c) {
    const QPaintEngine::DirtyFlags f = c.flags;
    // The transform first: a clip that comes with it is given in its coordinates.
    if (f & QPaintEngine::DirtyTransform)
      m_p.setWorldTransform(c.transform * m_base);
    if (f & QPaintEngine::DirtyClipEnabled) {
      if (c.clipEnabled)
        m_p.setClipping(true);
      else
        clearClip();
    }
    if (f & QPaintEngine::DirtyClipRegion)
      applyClip(c.clipOperation, [&](Qt::ClipOperation op) { m_p.setClipRegion(c.clipRegion, op); });
    if (f & QPaintEngine::DirtyClipPath)
      applyClip(c.clipOperation, [&](Qt::ClipOperation op) { m_p.setClipPath(c.clipPath, op); });
    if (f & QPaintEngine::DirtyPen)
      m_p.setPen(c.pen);
    if (f & QPaintEngine::DirtyBrush)
      m_p.setBrush(c.brush);
    if (f & QPaintEngine::DirtyBrushOrigin)
      m_p.setBrushOrigin(c.brushOrigin);
    if (f & QPaintEngine::DirtyBackground)
      m_p.setBackground(c.background);
    if (f & QPaintEngine::DirtyBackgroundMode)
      m_p.setBackgroundMode(c.backgroundMode);
    if (f & QPaintEngine::DirtyHints) {
      m_p.setRenderHints(~QPainter::RenderHints(), false);
      m_p.setRenderHints(c.hints, true);
    }
    if (f & QPaintEngine::DirtyCompositionMode)
      m_p.setCompositionMode(c.compositionMode);
    if (f & QPaintEngine::DirtyOpacity)
      m_p.setOpacity(m_baseOpacity * c.opacity);
  }

  void operator()(const PathCommand &c) { m_p.drawPath(c.path); }

  void operator()(const PolygonCommand &c) {
    switch (c.mode) {
    case QPaintEngine::OddEvenMode:
      m_p.drawPolygon(c.polygon, Qt::OddEvenFill);
      break;
    case QPaintEngine::WindingMode:
      m_p.drawPolygon(c.polygon, Qt::WindingFill);
      break;
    case QPaintEngine::ConvexMode:
      m_p.drawConvexPolygon(c.polygon);
      break;
    case QPaintEngine::PolylineMode:
      m_p.drawPolyline(c.polygon);
      break;
    }
  }

  void operator()(const ImageCommand &c) {
    if (m_vector && c.modules) {
      drawModules(c);
      return;
    }
    // Into another recording, the modules found already go along with the image.
    const PassingModules passing(c.image.cacheKey(), m_recording ? c.modules : nullptr);
    m_p.drawImage(c.target, c.image, c.source, c.flags);
  }

  void operator()(const TextCommand &c) {
    QFont font = c.font;
    if (m_vector || m_recording) {
      // As text: the device keeps it (a PDF embeds the font and the characters).
      const int dpi = m_p.device() ? m_p.device()->logicalDpiY() : 72;
      font.setPointSizeF(c.pixels * 72.0 / (dpi > 0 ? dpi : 72));
      m_p.setFont(font);
      m_p.drawText(c.baseline, c.text);
      return;
    }
    // On pixels: the glyphs' outlines, filled in the pen's colour, which come out the same
    // on every thread (drawn text goes through glyph caches whose state differs).
    const double rounded = std::round(c.pixels);
    const double scale = std::abs(c.pixels - rounded) < 1e-6 ? 1.0 : 64.0;
    font.setPixelSize(std::max(1, int(std::lround(c.pixels * scale))));
    if (scale != 1.0) {
      font.setWordSpacing(font.wordSpacing() * scale);
      if (font.letterSpacingType() == QFont::AbsoluteSpacing)
        font.setLetterSpacing(QFont::AbsoluteSpacing, font.letterSpacing() * scale);
    }
    QPainterPath outline;
    outline.addText(QPointF(0, 0), font, c.text);
    m_p.save();
    m_p.translate(c.baseline);
    if (scale != 1.0)
      m_p.scale(1.0 / scale, 1.0 / scale);
    m_p.fillPath(outline, m_p.pen().brush());
    m_p.restore();
  }

  void operator()(const TiledCommand &c) {
    // Tiles of the image's own size, starting at `offset` within the image.
    const QBrush tiles(c.image);
    QTransform shift;
    shift.translate(c.target.x() - c.offset.x(), c.target.y() - c.offset.y());
    QBrush brush = tiles;
    brush.setTransform(shift);
    m_p.save();
    m_p.setPen(Qt::NoPen);
    m_p.setBrushOrigin(QPointF(0, 0));
    m_p.setBrush(brush);
    m_p.drawRect(c.target);
    m_p.restore();
  }

private:
  // A symbol image on a vector device: its modules as filled rectangles, the same place
  // and size as the image.
  void drawModules(const ImageCommand &c) {
    const ModuleShapes &shapes = *c.modules;
    m_p.save();
    m_p.setPen(Qt::NoPen);
    m_p.translate(c.target.topLeft());
    m_p.scale(c.target.width() / c.image.width(), c.target.height() / c.image.height());
    m_p.setRenderHint(QPainter::Antialiasing, false);
    if (!shapes.light.isEmpty()) {
      m_p.setBrush(shapes.lightColour);
      m_p.drawRects(shapes.light);
    }
    if (!shapes.dark.isEmpty()) {
      m_p.setBrush(shapes.darkColour);
      m_p.drawRects(shapes.dark);
    }
    m_p.restore();
  }

  // Recorded clipping replaces or ends only the recording's own clip: a clip the painter
  // had before playing stays in force underneath.
  template <class SetClip>
  void applyClip(Qt::ClipOperation op, SetClip setClip) {
    switch (op) {
    case Qt::NoClip:
      clearClip();
      break;
    case Qt::ReplaceClip:
      if (m_baseClipping) {
        clearClip();
        setClip(Qt::IntersectClip);
      } else {
        setClip(Qt::ReplaceClip);
      }
      break;
    case Qt::IntersectClip:
      setClip(Qt::IntersectClip);
      break;
    }
  }

  void clearClip() {
    if (!m_baseClipping) {
      m_p.setClipping(false);
      return;
    }
    const QTransform current = m_p.worldTransform();
    m_p.setWorldTransform(m_base);
    m_p.setClipPath(m_baseClip, Qt::ReplaceClip);
    m_p.setWorldTransform(current);
  }

  QPainter &m_p;
  const bool m_vector;
  const bool m_recording;  // into another recording: passed on as it is
  const QTransform m_base;
  const bool m_baseClipping;
  const QPainterPath m_baseClip;
  const qreal m_baseOpacity;
};

}  // namespace

// ---- The recording device --------------------------------------------------------------------

class CardPicture::Recorder::Device : public QPaintDevice {
public:
  explicit Device(const QSizeF &size) { reset(size); }
  ~Device() override = default;

  QPaintEngine *paintEngine() const override { return m_engine.get(); }

  // The recording so far; the device starts an empty one of the same size.
  std::shared_ptr<CardPicture::Data> take() {
    std::shared_ptr<CardPicture::Data> data = std::move(m_data);
    reset(data->size);
    return data;
  }

protected:
  int metric(PaintDeviceMetric metric) const override {
    const auto whole = [](double v) {
      return std::isfinite(v) && v > 0 ? int(std::min(std::ceil(v), double(INT_MAX / 2))) : 0;
    };
    const double mmPerPoint = 25.4 / 72.0;
    switch (metric) {
    case PdmWidth:
      return whole(m_data->size.width());
    case PdmHeight:
      return whole(m_data->size.height());
    case PdmWidthMM:
      return whole(m_data->size.width() * mmPerPoint);
    case PdmHeightMM:
      return whole(m_data->size.height() * mmPerPoint);
    case PdmNumColors:
      return INT_MAX;
    case PdmDepth:
      return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
      return 72;
    case PdmDevicePixelRatio:
      return 1;
    case PdmDevicePixelRatioScaled:
      return int(devicePixelRatioFScale());
    default:
      return QPaintDevice::metric(metric);
    }
  }

private:
  void reset(const QSizeF &size) {
    m_data = std::make_shared<CardPicture::Data>();
    m_data->size = size;
    m_engine = std::make_unique<RecordingEngine>(m_data.get());
  }

  std::shared_ptr<CardPicture::Data> m_data;
  std::unique_ptr<RecordingEngine> m_engine;
};

CardPicture::Recorder::Recorder(const QSizeF &size) : m_device(std::make_unique<Device>(size)) {}

CardPicture::Recorder::~Recorder() = default;

QPaintDevice *CardPicture::Recorder::device() { return m_device.get(); }

CardPicture CardPicture::Recorder::finish() { return CardPicture(m_device->take()); }

// ---- CardPicture -------------------------------------------------------------------------------

QSizeF CardPicture::size() const { return m_data ? m_data->size : QSizeF(0, 0); }

bool CardPicture::isBitmap() const { return m_data && m_data->isBitmap; }

int CardPicture::commandCount() const {
  if (!m_data)
    return 0;
  return m_data->isBitmap ? 1 : int(m_data->commands.size());
}

CardPicture CardPicture::fromBitmap(const PointImage &bitmap) {
  auto data = std::make_shared<Data>();
  data->size = bitmap.points;
  data->bitmap = bitmap;
  data->isBitmap = true;
  return CardPicture(std::move(data));
}

void CardPicture::draw(QPainter &painter) const {
  if (!m_data || !painter.isActive())
    return;
  std::lock_guard<std::mutex> lock(m_data->playing);
  painter.save();
  if (m_data->isBitmap) {
    if (!m_data->bitmap.isNull()) {
      painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
      painter.drawImage(QRectF(QPointF(0, 0), m_data->size), m_data->bitmap.pixels);
    }
  } else {
    Player player(painter);
    for (const Command &command : m_data->commands)
      std::visit(player, command);
  }
  painter.restore();
}

QSize CardPicture::pixelSizeAt(const QSizeF &points, double dpi) {
  const double w = points.width();
  const double h = points.height();
  if (!std::isfinite(dpi) || dpi <= 0 || !std::isfinite(w) || !std::isfinite(h) || w <= 0 || h <= 0)
    return QSize(0, 0);
  // The same rounding as the main window's Increase_DPI: each quotient as a 32-bit
  // float, then up to the next whole pixel.
  const double wide = std::ceil(double(float(dpi * w / 72.0)));
  const double high = std::ceil(double(float(dpi * h / 72.0)));
  if (!std::isfinite(wide) || !std::isfinite(high) || wide < 1 || high < 1 || wide > INT_MAX / 4 ||
      high > INT_MAX / 4 || wide * high > double(Images::MaxPixels))
    return QSize(0, 0);
  return QSize(int(wide), int(high));
}

PointImage CardPicture::toImage(double dpi, QString *error) const {
  const auto fail = [&](const QString &why) {
    if (error)
      *error = why;
    return PointImage();
  };
  if (!m_data)
    return fail(QStringLiteral("There is no picture to draw."));
  if (!std::isfinite(dpi) || dpi <= 0)
    return fail(QStringLiteral("The resolution %1 dpi cannot be drawn.").arg(dpi));
  const QSize pixels = pixelSizeAt(m_data->size, dpi);
  if (pixels.isEmpty())
    return fail(QStringLiteral("A picture of %1 by %2 points at %3 dpi is too large or empty.")
                    .arg(m_data->size.width())
                    .arg(m_data->size.height())
                    .arg(dpi));
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull())
    return fail(QStringLiteral("There is not enough memory for an image of %1 by %2 pixels.")
                    .arg(pixels.width())
                    .arg(pixels.height()));
  image.fill(Qt::transparent);
  const int dotsPerMeter = int(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  {
    QPainter painter(&image);
    painter.scale(dpi / 72.0, dpi / 72.0);
    draw(painter);
  }
  return PointImage{image, m_data->size};
}

QByteArray CardPicture::pdfData(const QString &title, QString *error) const {
  const auto fail = [&](const QString &why) {
    if (error)
      *error = why;
    return QByteArray();
  };
  if (!m_data)
    return fail(QStringLiteral("There is no picture to draw."));
  const QSizeF size = m_data->size;
  if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0 || size.height() <= 0)
    return fail(QStringLiteral("A page of %1 by %2 points cannot be made.").arg(size.width()).arg(size.height()));
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Amends"));
    writer.setTitle(title);
    writer.setResolution(72);
    const QPageSize pageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch);
    if (!writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point)))
      return fail(QStringLiteral("A page of %1 by %2 points cannot be made.").arg(size.width()).arg(size.height()));
    QPainter painter;
    if (!painter.begin(&writer))
      return fail(QStringLiteral("The PDF data could not be started."));
    draw(painter);
    if (!painter.end())
      return fail(QStringLiteral("The PDF data could not be finished."));
  }
  if (bytes.isEmpty())
    return fail(QStringLiteral("The PDF data could not be made."));
  return bytes;
}

void CardPicture::markAsModules(QImage &image) {
  if (!image.isNull())
    image.setText(ModulesKey, QStringLiteral("1"));
}
