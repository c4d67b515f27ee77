#pragma once
// The image filter chain: every picture of an image card object is drawn from its
// stored picture after one fixed sequence of adjustments (ImageProcesser), and the
// rotation that ends it (imageRotated). The filters themselves are platform/ImageFilters.
//
// The chain never changes the picture it is given: the stored picture of a card object
// may be drawn by another thread at the same moment, so every step works on its own
// copy and the size limit sets the size of that copy only.
//
// FilteredPictureCache keeps the result for an image object, so that a canvas paint
// does not run the chain again, and runs it in the background when a paint finds the
// picture or an adjustment changed (the paint itself never waits for it).

#include "platform/Images.h"

#include <QSizeF>

#include <memory>

// The chain as class operations; it has no instances and keeps no state.
class ImageProcesser {
public:
  ImageProcesser() = delete;

  // Limits on the displayed size of a picture, in points.
  static constexpr float MaxWidth = 724.0f;
  static constexpr float MaxHeight = 468.0f;

  // The single filter steps. Each returns the picture with the filter applied, sized
  // one point per pixel (the later steps and the rotation work on that size; a blur
  // that grows the pixels grows it too), or, when the filter fails, shows the
  // operation's name ("Invert_Color", "Sepia", ...) with Show_MessageBox and returns its
  // input as it came.
  // GrayScale shows the reason of the failure first, then "GrayScale".
  // The picture is taken by value: whoever else holds its pixels keeps them unchanged,
  // and a picture moved in that nobody else holds is filtered without a copy.
  static PointImage Invert_Color(PointImage image);
  static PointImage GrayScale(PointImage image);   // monochrome in middle grey
  static PointImage Sepia(PointImage image);
  static PointImage adjust_Hue(PointImage image, float hue);   // radians
  static PointImage adjust_boxBlur(PointImage image, float value);   // radius in pixels
  static PointImage adjust_EV(PointImage image, float value);        // exposure in stops
  static PointImage adjust_Sharpness(PointImage image, float value);
  static PointImage adjust_Color_Control(PointImage image, float sat, float brt, float con);

  // The picture with its displayed size limited to MaxWidth by MaxHeight points, each
  // side on its own (the aspect ratio is not kept); the pixels are not resampled. The
  // size is set only when a side was limited. Works on the copy it is given.
  static PointImage Set_Dimaension(PointImage image);

  // The whole chain, in this order: the size limit; monochrome, sepia and inversion
  // when their flags are on; hue, colour controls, sharpness (r), box blur (b) and
  // exposure (g) always; then the rotation by `rotate` degrees. Each step takes the
  // previous step's result. `tranprency` is not used (the image object applies it when
  // it draws). A failure of the size limit or the rotation is logged and the received
  // picture comes back.
  static PointImage Get_Processed_Image(const PointImage &image, bool grayscale, bool sepia, bool invrtclr,
                                        float hue, float sat, float brt, float con, int rotate, float r,
                                        float g, float b, float tranprency);
};

// The picture turned by `degrees` counter-clockwise about its centre into a new
// picture, or the picture itself when the angle is a multiple of 360 (the remainder by
// 360 keeps the sign of the angle: -90 stays -90, 450 acts as 90). The new size in
// points: the sides exchanged for ±90 and ±270, the same for ±180, and for any other
// angle a square whose side is the larger side plus 20 points, the picture centred in
// it; the corners are transparent. Pixels are as fine as the picture's finer axis.
// Throws ImageFilters::Error when the result would be larger than Images::MaxPixels.
PointImage imageRotated(const PointImage &image, float degrees);

// The adjustments of one picture, as the chain takes them.
struct ImageAdjustments {
  bool grayscale = false;
  bool sepia = false;
  bool invert = false;
  float hue = 0.0f;
  float saturation = 1.0f;
  float brightness = 0.0f;
  float contrast = 1.0f;
  int rotate = 0;           // whole degrees
  float sharpness = 0.0f;
  float exposure = 0.0f;
  float blur = 0.0f;

  // Equal field by field, numbers compared by their bits (a value that is not a
  // number equals itself, so it does not look changed on every paint).
  bool operator==(const ImageAdjustments &other) const;
  // True when the chain would change nothing but the displayed size.
  bool isNeutral() const;
  // Get_Processed_Image with these values.
  PointImage applyTo(const PointImage &picture) const;
};

// The result of the chain for one image object, kept until its picture or an
// adjustment changes. Safe to use from several threads at once; the background
// computation holds its own reference to what it needs, so the cache (and its object)
// may go away while it runs.
class FilteredPictureCache {
public:
  FilteredPictureCache();
  ~FilteredPictureCache();
  FilteredPictureCache(const FilteredPictureCache &) = delete;
  FilteredPictureCache &operator=(const FilteredPictureCache &) = delete;

  struct Result {
    PointImage picture;
    bool current = false;   // false: a stand-in while the chain runs in the background
  };

  // How to get a result the cache does not hold yet.
  enum class Mode {
    Wait,         // compute it now on the calling thread (output: images, PDF, printing)
    Background,   // start it in the background and answer a stand-in (screen painting)
  };

  // The processed picture of `source` with `adjustments`. Neutral adjustments are
  // always answered at once (nothing to compute). In Background mode a missing result
  // is started on the background thread (one computation per cache at a time; a paint
  // during it starts nothing more) and the answer is the last result made from the same
  // picture, or the picture itself; when the computation ends, the messages of filters
  // that failed are shown and the main window is asked to redraw (Refresh_Canvas), both
  // on the GUI thread.
  Result picture(const PointImage &source, const ImageAdjustments &adjustments, Mode mode);

  // Takes over the finished result of `other` (not its computation in progress).
  void copyFinishedFrom(const FilteredPictureCache &other);
  // Forgets the result; a computation in progress will not store its own.
  void clear();
  // True while a background computation of this cache runs.
  bool isComputing() const;

private:
  struct State;
  std::shared_ptr<State> m_state;
};
