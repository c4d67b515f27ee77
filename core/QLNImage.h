#pragma once
// QLNImage: the picture card object. The picture is not stored in the design: the
// object keeps the path of its file (the record's _file_path) and loads the picture
// from it. Its drawing (filters, flips, transparency) is in the renderer's files.

#include "core/QLNGraphic.h"

extern const QString QLNImageContentsKey;                // "contents"
extern const QString QLNImageIsFlippedHorizontallyKey;   // "flippedHorizontally"
extern const QString QLNImageIsFlippedVerticallyKey;     // "flippedVertically"

class QLNImage : public QLNGraphic {
public:
  QLNImage() = default;
  explicit QLNImage(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("QLNImage"); }

  // The picture as loaded from the file (unprocessed); null when nothing could be loaded.
  PointImage _contents;

  // On a new object: loads the picture of `path` and centres the object, at the
  // picture's size in points, on `centre`.
  void initWithPath(const QPointF &centre, const QString &path);
  // On a new object: takes `contents` as the picture and `filePath` (the picture
  // chosen for the object, Library_Selected_Image) as its file, centred on `centre`.
  void initWithPosition(const QPointF &centre, const PointImage &contents, const QString &filePath);

  // Stores the path and loads the picture from it ("~" and "." resolved); a file that
  // cannot be loaded leaves no picture.
  void setFilePath(const QString &path);

  QLNGraphicPtr copyWithZone() const override;

  // The base dictionary with "contents" (the picture) and the two flips.
  PlistValue properties() override;
  void initWithProperties(const PlistValue &properties) override;

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return _isDrawingStroke; }
  bool canSetDrawingFill() const override { return false; }
  bool canSetDrawingStroke() const override { return false; }

  // Setters of the observable keys "flippedHorizontally" and "flippedVertically".
  void setFlippedHorizontally(bool flipped) override;
  void setFlippedVertically(bool flipped) override;
  // Toggle a flip through its setter (observed: redraw and undo).
  void flipHorizontally() override;
  void flipVertically() override;

  QSet<QString> keysForValuesToObserveForUndo() const override;
  QSet<QString> keyPathsForValuesAffectingDrawingContents() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString &key) const override;
  QVariant valueForKey(const QString &key) const override;
  bool setValue(const QVariant &value, const QString &key) override;
};
