#pragma once
// QLNImage: the picture card object. The picture is not stored in the design: the
// object keeps the path of its file (the record's _file_path) and loads the picture
// from it. It is drawn stretched to the bounds after the image filter chain
// (core/ImageFilterChain.h) with the record's adjustments, flipped on either axis, at
// the transparency img_trnsp_val (percent).
//
// The filtered picture is kept (FilteredPictureCache) and made again only when the
// picture or an adjustment changed. On the screen (a painter on a widget or a pixmap)
// drawing never waits for it: a changed picture is filtered in the background while
// the last result, or the unfiltered picture, is shown, and the canvas is redrawn
// when it is ready. Everywhere else (images, PDF, printing: output) the drawing uses
// the picture of the current values, filtered on the spot when it is not kept.

#include "core/ImageFilterChain.h"
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
  // chosen for the object, Library_Selected_Image, or the file a pasted picture was
  // written to) as its file, centred on `centre`.
  void initWithPosition(const QPointF &centre, const PointImage &contents, const QString &filePath);

  // Stores the path and loads the picture from it ("~" and "." resolved); a file that
  // cannot be loaded (missing, not a picture, too large) leaves no picture, and the
  // reason goes to the log.
  void setFilePath(const QString &path);

  // The adjustment fields of the record as the filter chain takes them (the rotation
  // truncated toward zero to whole degrees).
  ImageAdjustments adjustments() const;
  // The picture as it is drawn: _contents through the filter chain (see above for
  // `mode`). Null when there is no picture.
  FilteredPictureCache::Result processedPicture(FilteredPictureCache::Mode mode);

  // Draws the border under the picture, then the filtered picture stretched to the
  // bounds, flipped and at its transparency; then asks for a redraw. Nothing at all
  // when hidden or when the file path is "". Without a picture only the border.
  void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) override;

  QLNGraphicPtr copyWithZone() const override;
  QLNGraphicPtr copyForRendering() const override;
  // Takes `other`'s picture together with the filtered result it keeps, so that a
  // copy made for drawing elsewhere (output on a worker) does not run the chain again
  // while its adjustments are the same.
  void copyPictureFrom(const QLNImage &other);

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
  // Unless locked: the bounds keep their origin and take the picture's size in points,
  // and both flips are cleared. Without a picture the bounds stay as they are.
  void makeNaturalSize() override;

  QSet<QString> keysForValuesToObserveForUndo() const override;
  QSet<QString> keyPathsForValuesAffectingDrawingContents() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString &key) const override;
  QVariant valueForKey(const QString &key) const override;
  bool setValue(const QVariant &value, const QString &key) override;

protected:
  // The copy takes the finished filtered picture too (not a computation in progress).
  QLNImage(const QLNImage &other);

private:
  FilteredPictureCache m_processed;
};
