#pragma once
// CardPicture: a drawing recorded once and played back at any resolution. It is what
// the renderer hands out for a card side: the painting of the card base and the card
// objects, kept as the painter's own commands (paths, images, brushes, pens, clips,
// transforms) in points, together with the picture's size in points. Playing it on a
// QImage rasterises it at whatever resolution the image has; playing it on a PDF or a
// printer gives vector output.
//
// Text arrives at the recorder as runs of text, each with its font and its baseline
// where the text layout put it (the widened spaces of a justified line as word
// spacing), and plays back as text: a PDF made from a picture holds real text.
//
// A symbol image (marked with markAsModules: black and white modules of a 2D barcode)
// plays back as that image on raster devices and as filled rectangles of its modules on
// vector devices (PDF, printers), so that a printed symbol stays sharp and small.
//
// A picture can also hold a plain bitmap instead of a recording (the cached-bitmap
// branch of the renderer); it then plays back as that bitmap scaled to its size.
//
// A picture is a value: copies share the recording, which never changes once made.
// Any thread may play, rasterise or export a picture, also several threads the same
// picture at once (playing takes the picture's own lock, so they take turns).
// The recording owns its own copies of every path, so a picture never shares mutable
// path data with the objects it was drawn from.

#include "platform/Images.h"

#include <QByteArray>
#include <QColor>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class QPaintDevice;

class CardPicture {
public:
  // The null picture: nothing recorded, size 0 by 0.
  CardPicture() = default;

  bool isNull() const { return !m_data; }
  // The picture's size in points.
  QSizeF size() const;
  // True for a picture that holds a bitmap rather than a recording.
  bool isBitmap() const;
  // The number of drawing commands recorded (a bitmap picture has one).
  int commandCount() const;

  // Plays the picture into `painter`: its top left at the painter's origin, one point of
  // the picture per unit of the painter's coordinates. The painter's state is the same
  // afterwards; a clip the painter has stays in force. A null picture draws nothing.
  void draw(QPainter &painter) const;

  // The picture rasterised at `dpi` dots per inch on a transparent ground: an image of
  // ceil(dpi * size / 72) pixels each way whose size in points is the picture's size.
  // A null image, with the reason in `error`, for a null picture, a resolution that is
  // not a positive finite number, or an image of more than Images::MaxPixels pixels.
  PointImage toImage(double dpi, QString *error = nullptr) const;

  // The pixel size toImage gives at `dpi` (0 by 0 when it would fail).
  static QSize pixelSizeAt(const QSizeF &points, double dpi);

  // A PDF document of one page of the picture's size in points, the picture on it, with
  // `title` as the document's title. An empty array with the reason in `error` for a
  // null picture or when the PDF cannot be made.
  QByteArray pdfData(const QString &title = QString(), QString *error = nullptr) const;

  // Marks `image` as a symbol of modules (see above). The image keeps its pixels.
  static void markAsModules(QImage &image);

  // A picture of `bitmap`, played back at the bitmap's size in points.
  static CardPicture fromBitmap(const PointImage &bitmap);

  // Records a picture of `size` points: paint on device() with a QPainter, end the
  // painter, then take the picture with finish(). Belongs to the thread that made it.
  class Recorder {
  public:
    explicit Recorder(const QSizeF &size);
    ~Recorder();
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    QPaintDevice *device();
    // The recorded picture. Call after every painter on the device has ended; the
    // recorder is empty afterwards.
    CardPicture finish();

  private:
    class Device;
    std::unique_ptr<Device> m_device;
  };

  struct Data;

private:
  explicit CardPicture(std::shared_ptr<Data> data) : m_data(std::move(data)) {}
  std::shared_ptr<Data> m_data;
};
