#include "core/ImageFilterChain.h"

#include "core/MainWindowServices.h"
#include "core/Utilities.h"
#include "platform/ImageFilters.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <bit>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace {

// Messages of failing filters go to the message box, except while a background
// computation runs on this thread: it collects them and shows them on the GUI thread
// with its result, so that it never waits for the GUI thread itself.
thread_local QStringList *deferredMessages = nullptr;

void report(const QString &text) {
  if (deferredMessages)
    deferredMessages->append(text);
  else
    Show_MessageBox(text);
}

QString reasonOf(const std::exception &error) { return QString::fromUtf8(error.what()); }

// A filter's result: its size is the size of its pixels (one point per pixel), as the
// later steps of the chain and the rotation take it.
PointImage filtered(QImage pixels) {
  const QSizeF size(pixels.size());
  return PointImage{std::move(pixels), size};
}

// One filter step, in the picture's own memory when nobody else holds it. The filters
// leave the pixels unchanged when they fail, so the step then goes on with its input.
template <class Filter>
PointImage filterStep(PointImage image, const char *name, Filter &&filter) {
  try {
    filter(image.pixels);
    return filtered(std::move(image.pixels));
  } catch (const std::exception &) {
    report(QString::fromLatin1(name));
  }
  return image;
}

bool sameBits(float a, float b) { return std::bit_cast<quint32>(a) == std::bit_cast<quint32>(b); }

// A whole number of pixels for `points` at `scale` pixels per point: the exact product
// when it is one within rounding, else the next one up.
qint64 pixelsFor(double points, double scale) {
  const double exact = points * scale;
  const double nearest = std::round(exact);
  return qint64(std::fabs(exact - nearest) < 1e-6 ? nearest : std::ceil(exact));
}

}  // namespace

// ---- The single steps -------------------------------------------------------------------

PointImage ImageProcesser::Invert_Color(PointImage image) {
  return filterStep(std::move(image), "Invert_Color", [](QImage &p) { ImageFilters::colorInvert(p); });
}

PointImage ImageProcesser::GrayScale(PointImage image) {
  try {
    ImageFilters::colorMonochrome(image.pixels, QColor::fromRgbF(0.5f, 0.5f, 0.5f), 1.0f);
    return filtered(std::move(image.pixels));
  } catch (const std::exception &error) {
    report(reasonOf(error));
    report(QStringLiteral("GrayScale"));
  }
  return image;
}

PointImage ImageProcesser::Sepia(PointImage image) {
  return filterStep(std::move(image), "Sepia", [](QImage &p) { ImageFilters::sepiaTone(p, 1.0f); });
}

PointImage ImageProcesser::adjust_Hue(PointImage image, float hue) {
  return filterStep(std::move(image), "adjust_Hue", [hue](QImage &p) { ImageFilters::hueAdjust(p, hue); });
}

PointImage ImageProcesser::adjust_boxBlur(PointImage image, float value) {
  try {
    return filtered(ImageFilters::boxBlur(image.pixels, value));
  } catch (const std::exception &) {
    report(QStringLiteral("adjust_boxBlur"));
  }
  return image;
}

PointImage ImageProcesser::adjust_EV(PointImage image, float value) {
  return filterStep(std::move(image), "adjust_EV", [value](QImage &p) { ImageFilters::exposureAdjust(p, value); });
}

PointImage ImageProcesser::adjust_Sharpness(PointImage image, float value) {
  return filterStep(std::move(image), "adjust_Sharpness",
                    [value](QImage &p) { ImageFilters::sharpenLuminance(p, value); });
}

PointImage ImageProcesser::adjust_Color_Control(PointImage image, float sat, float brt, float con) {
  return filterStep(std::move(image), "adjust_Color_Control",
                    [=](QImage &p) { ImageFilters::colorControls(p, sat, brt, con); });
}

PointImage ImageProcesser::Set_Dimaension(PointImage image) {
  float w = float(image.points.width());
  float h = float(image.points.height());
  bool limited = false;
  if (w > MaxWidth) {
    w = MaxWidth;
    limited = true;
  }
  if (h > MaxHeight) {
    h = MaxHeight;
    limited = true;
  }
  if (limited)
    image.points = QSizeF(w, h);
  return image;
}

PointImage ImageProcesser::Get_Processed_Image(const PointImage &image, bool grayscale, bool sepia, bool invrtclr,
                                               float hue, float sat, float brt, float con, int rotate, float r,
                                               float g, float b, float tranprency) {
  try {
    PointImage result = Set_Dimaension(image);
    if (result.isNull())
      return result;
    // Each step gets the only reference to the picture of the step before, so the
    // steps work in one copy of the picture, made by the first that changes it.
    if (grayscale)
      result = GrayScale(std::move(result));
    if (sepia)
      result = Sepia(std::move(result));
    if (invrtclr)
      result = Invert_Color(std::move(result));
    result = adjust_Hue(std::move(result), hue);
    result = adjust_Color_Control(std::move(result), sat, brt, con);
    result = adjust_Sharpness(std::move(result), r);
    result = adjust_boxBlur(std::move(result), b);
    result = adjust_EV(std::move(result), g);
    return imageRotated(result, float(rotate));
  } catch (const std::exception &error) {
    Show_NSLog_Message(reasonOf(error));
  }
  return image;
}

// ---- Rotation ----------------------------------------------------------------------------

PointImage imageRotated(const PointImage &image, float degrees) {
  const double d = std::fmod(double(degrees), 360.0);
  if (d == 0.0 || !std::isfinite(d) || image.isNull())
    return image;
  const double w = image.points.width();
  const double h = image.points.height();
  if (!(w > 0.0) || !(h > 0.0) || !std::isfinite(w) || !std::isfinite(h))
    return image;

  QSizeF size;
  if (d == 90.0 || d == 270.0 || d == -90.0 || d == -270.0)
    size = QSizeF(h, w);
  else if (d == 180.0 || d == -180.0)
    size = QSizeF(w, h);
  else
    size = QSizeF(std::max(w, h) + 20.0, std::max(w, h) + 20.0);

  // The finer of the picture's two resolutions, so that no detail is lost.
  const double scale = std::max(image.pixels.width() / w, image.pixels.height() / h);
  const qint64 wide = pixelsFor(size.width(), scale);
  const qint64 high = pixelsFor(size.height(), scale);
  if (wide < 1 || high < 1 || wide > Images::MaxPixels || high > Images::MaxPixels ||
      wide * high > Images::MaxPixels)
    throw ImageFilters::Error("The rotated picture would be too large (" + std::to_string(wide) + " x " +
                              std::to_string(high) + " pixels).");
  // Quarter and half turns that keep every pixel are done by moving the pixels.
  const bool quarter = std::fabs(d) == 90.0 || std::fabs(d) == 270.0;
  const bool half = std::fabs(d) == 180.0;
  if ((quarter && wide == image.pixels.height() && high == image.pixels.width()) ||
      (half && wide == image.pixels.width() && high == image.pixels.height())) {
    return PointImage{ImageFilters::turnedQuarters(image.pixels, int(d / 90.0)), size};
  }
  QImage rotated(int(wide), int(high), QImage::Format_ARGB32_Premultiplied);
  if (rotated.isNull())
    throw ImageFilters::Error("There is not enough memory to rotate the picture.");
  rotated.setDotsPerMeterX(int(std::clamp(std::lround(scale * Images::PointsPerInch / 0.0254), 1L, 100'000'000L)));
  rotated.setDotsPerMeterY(rotated.dotsPerMeterX());
  rotated.fill(Qt::transparent);
  {
    QPainter painter(&rotated);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.scale(wide / size.width(), high / size.height());
    painter.translate(size.width() / 2.0, size.height() / 2.0);
    // y grows downwards here: a negative angle turns counter-clockwise as seen.
    painter.rotate(-d);
    painter.drawImage(QRectF(-w / 2.0, -h / 2.0, w, h), image.pixels);
  }
  return PointImage{rotated, size};
}

// ---- Adjustments -----------------------------------------------------------------------

bool ImageAdjustments::operator==(const ImageAdjustments &o) const {
  return grayscale == o.grayscale && sepia == o.sepia && invert == o.invert && sameBits(hue, o.hue) &&
         sameBits(saturation, o.saturation) && sameBits(brightness, o.brightness) &&
         sameBits(contrast, o.contrast) && rotate == o.rotate && sameBits(sharpness, o.sharpness) &&
         sameBits(exposure, o.exposure) && sameBits(blur, o.blur);
}

bool ImageAdjustments::isNeutral() const {
  return !grayscale && !sepia && !invert && hue == 0.0f && saturation == 1.0f && brightness == 0.0f &&
         contrast == 1.0f && rotate % 360 == 0 && sharpness == 0.0f && exposure == 0.0f &&
         ImageFilters::boxBlurGrowth(blur) == 0 && std::isfinite(blur);
}

PointImage ImageAdjustments::applyTo(const PointImage &picture) const {
  return ImageProcesser::Get_Processed_Image(picture, grayscale, sepia, invert, hue, saturation, brightness,
                                             contrast, rotate, sharpness, exposure, blur, 0.0f);
}

// ---- The kept result ---------------------------------------------------------------------

namespace {

// The thread that runs the chain for the screen, one computation after the other. Its
// queue is guarded by standard locks, so that the hand-over of each computation is
// visible to ThreadSanitizer (Qt's own pool hands over under locks it cannot see). It
// starts with the first computation; when the application object goes, the one running
// is finished and those still waiting are dropped.
class BackgroundFilters {
public:
  static BackgroundFilters &instance() {
    static BackgroundFilters worker;
    return worker;
  }

  // Called on the GUI thread (by screen painting).
  void post(std::function<void()> job) {
    bool started = false;
    {
      std::lock_guard lock(m_mutex);
      m_jobs.push_back(std::move(job));
      if (!m_thread.joinable()) {
        m_thread = std::thread([this] { run(); });
        started = true;
      }
    }
    m_wake.notify_one();
    // The computations post to the application object: the thread ends before it goes.
    if (started && QCoreApplication::instance())
      qAddPostRoutine([] { instance().shutdown(); });
  }

  ~BackgroundFilters() { shutdown(); }

private:
  BackgroundFilters() = default;

  // Finishes the computation that runs, drops those waiting, and ends the thread.
  void shutdown() {
    {
      std::lock_guard lock(m_mutex);
      m_stopping = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
      m_thread.join();
    std::lock_guard lock(m_mutex);
    m_jobs.clear();
    m_stopping = false;
  }

  void run() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_stopping)
          return;
        job = std::move(m_jobs.front());
        m_jobs.pop_front();
      }
      job();
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_jobs;
  bool m_stopping = false;
  std::thread m_thread;
};

// Held while a finished computation posts to the GUI thread and taken again there
// before the posted call touches anything: Qt's event queue hands the call over under
// a lock of its own that ThreadSanitizer cannot see.
std::mutex &handOverMutex() {
  static std::mutex mutex;
  return mutex;
}

// On the GUI thread: the messages of the filters that failed, then a redraw.
void deliverToGuiThread(QStringList messages) {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app)
    return;
  std::unique_lock posting(handOverMutex());
  QMetaObject::invokeMethod(
      app,
      [messages = std::move(messages)] {
        { std::lock_guard handedOver(handOverMutex()); }
        for (const QString &message : messages)
          Show_MessageBox(message);
        mainWindowServices().Refresh_Canvas();
      },
      Qt::QueuedConnection);
}

}  // namespace

struct FilteredPictureCache::State {
  mutable QMutex mutex;
  // What the kept result was made from.
  bool hasResult = false;
  qint64 sourceKey = 0;
  QSizeF sourcePoints;
  ImageAdjustments adjustments;
  PointImage result;
  quint64 resultStamp = 0;
  // Every computation takes a stamp when it starts; a result is kept only when it was
  // started after the one kept, so a slow old computation never replaces a newer one.
  quint64 nextStamp = 0;
  bool computing = false;

  bool holds(const PointImage &source, const ImageAdjustments &a) const {
    return hasResult && sourceKey == source.pixels.cacheKey() && sourcePoints == source.points && adjustments == a;
  }
  void store(const PointImage &source, const ImageAdjustments &a, const PointImage &picture, quint64 stamp) {
    if (stamp < resultStamp)
      return;
    hasResult = true;
    sourceKey = source.pixels.cacheKey();
    sourcePoints = source.points;
    adjustments = a;
    result = picture;
    resultStamp = stamp;
  }
};

FilteredPictureCache::FilteredPictureCache() : m_state(std::make_shared<State>()) {}

FilteredPictureCache::~FilteredPictureCache() = default;

FilteredPictureCache::Result FilteredPictureCache::picture(const PointImage &source,
                                                           const ImageAdjustments &adjustments, Mode mode) {
  const std::shared_ptr<State> state = m_state;
  QMutexLocker lock(&state->mutex);
  if (state->holds(source, adjustments))
    return {state->result, true};

  if (adjustments.isNeutral()) {
    // Every filter leaves the pixels alone: nothing worth computing elsewhere.
    const PointImage unchanged = adjustments.applyTo(source);
    state->store(source, adjustments, unchanged, ++state->nextStamp);
    return {unchanged, true};
  }

  if (mode == Mode::Wait) {
    const quint64 stamp = ++state->nextStamp;
    lock.unlock();
    const PointImage processed = adjustments.applyTo(source);
    lock.relock();
    state->store(source, adjustments, processed, stamp);
    return {processed, true};
  }

  // The stand-in: the last result of this picture, else the picture itself.
  const bool sameSource = state->hasResult && state->sourceKey == source.pixels.cacheKey() &&
                          state->sourcePoints == source.points;
  const PointImage standIn = sameSource ? state->result : source;
  if (!state->computing) {
    state->computing = true;
    const quint64 stamp = ++state->nextStamp;
    BackgroundFilters::instance().post([state, source, adjustments, stamp] {
      QStringList messages;
      deferredMessages = &messages;
      PointImage processed;
      try {
        processed = adjustments.applyTo(source);
      } catch (...) {
        processed = source;
      }
      deferredMessages = nullptr;
      {
        QMutexLocker done(&state->mutex);
        state->store(source, adjustments, processed, stamp);
        state->computing = false;
      }
      deliverToGuiThread(std::move(messages));
    });
  }
  return {standIn, false};
}

void FilteredPictureCache::copyFinishedFrom(const FilteredPictureCache &other) {
  if (&other == this)
    return;
  State copied;
  {
    QMutexLocker lock(&other.m_state->mutex);
    copied.hasResult = other.m_state->hasResult;
    copied.sourceKey = other.m_state->sourceKey;
    copied.sourcePoints = other.m_state->sourcePoints;
    copied.adjustments = other.m_state->adjustments;
    copied.result = other.m_state->result;
  }
  QMutexLocker lock(&m_state->mutex);
  m_state->hasResult = copied.hasResult;
  m_state->sourceKey = copied.sourceKey;
  m_state->sourcePoints = copied.sourcePoints;
  m_state->adjustments = copied.adjustments;
  m_state->result = copied.result;
  m_state->resultStamp = ++m_state->nextStamp;
}

void FilteredPictureCache::clear() {
  QMutexLocker lock(&m_state->mutex);
  m_state->hasResult = false;
  m_state->result = PointImage();
  m_state->resultStamp = ++m_state->nextStamp;
}

bool FilteredPictureCache::isComputing() const {
  QMutexLocker lock(&m_state->mutex);
  return m_state->computing;
}
