#pragma once
// QLNSignature: the card object of a signature ("S") or fingerprint ("F"), kind kept in
// the record's sign_or_fingureprint. It shows a picture file, by default the shipped
// sample of its kind ("sign_sample.png", "fingerprints.png" in the resource folder).
// It draws the picture stretched to its bounds, unchanged: no filters, flips or
// transparency. When the record's _file_path no longer equals file_path (the data
// binding and the archive change only the record's path) the next drawing reloads the
// picture from _file_path.

#include "core/QLNGraphic.h"

class QLNSignature : public QLNGraphic {
public:
  QLNSignature() = default;
  explicit QLNSignature(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("QLNSignature"); }

  PointImage _contents_img;   // the loaded picture; null when nothing could be loaded
  QString file_path;          // the path the picture was loaded from

  // On a new object: takes `contents` as the picture, the sample file of `sign_or_FP`
  // as its path, stores the kind and centres the object, at the picture's size, on `centre`.
  void initWithPosition(const QPointF &centre, const PointImage &contents, const QString &sign_or_FP);
  // Stores the path ("Default": the sample file of the current kind) in both path fields
  // and loads the picture from it ("~" and "." resolved). A file that cannot be loaded
  // leaves no picture, and the reason goes to the log.
  void setFilePath(const QString &path);
  // The resource folder's sample file of a kind: "sign_sample.png" for "S", else
  // "fingerprints.png".
  static QString samplePath(const QString &sign_or_FP);

  QLNGraphicPtr copyWithZone() const override;
  QLNGraphicPtr copyForRendering() const override;

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return _isDrawingStroke; }

  // Reloads the picture when the record's path changed, draws the border under the
  // picture stretched to the bounds, then asks for a redraw. Nothing when hidden;
  // without a picture only the border.
  void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) override;

protected:
  QLNSignature(const QLNSignature &) = default;
};
