#pragma once
// Image filters: the colour and detail adjustments a picture can go through before it
// is drawn. The filters that keep the size work in place on the image they are given
// (made premultiplied ARGB32 first): Qt's images share their pixels until written, so
// other copies of the same image keep the old pixels, and an image that nobody else
// holds is filtered in its own memory without a copy. The box blur, which changes the
// size, returns a new image. Results keep the input's resolution.
//
// Colours are the stored 8-bit values (sRGB), worked on without their alpha (a
// half-transparent pixel is adjusted like the same colour opaque). Luminance is the
// Rec. 709 weighting 0.2126 R + 0.7152 G + 0.0722 B. Only the exposure works on linear
// light. Every result is held to the displayable range (0 to 255 per channel).
//
// At its neutral value a filter leaves the image as it is (the same pixels, in the
// same format); the neutral values are named at each filter.
//
// A filter that cannot work (a parameter that is not a finite number, a result larger
// than Images::MaxPixels, memory that cannot be had, a null image) throws
// ImageFilters::Error with a sentence saying why, and the image is then unchanged.
//
// Thread-safe: no shared state; any number of threads may filter at once.

#include <QColor>
#include <QImage>

#include <stdexcept>

namespace ImageFilters {

class Error : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Remaps every colour to shades of `color`: the pixel's luminance is laid over the
// colour (overlay blend: dark luminance multiplies, light luminance screens), so that
// a middle grey colour gives the plain luminance grey. `intensity` mixes the result
// with the original (1 full effect, 0 neutral).
void colorMonochrome(QImage &image, const QColor &color, float intensity);

// Sepia tone: the classic brown mapping of (r, g, b) to
// (.393r + .769g + .189b, .349r + .686g + .168b, .272r + .534g + .131b), mixed with the
// original by `intensity` (1 full effect, 0 neutral). White becomes a warm white.
void sepiaTone(QImage &image, float intensity);

// Colour inversion: each channel c becomes 255 - c; alpha stays. Has no neutral value.
void colorInvert(QImage &image);

// Turns every colour about the grey axis by `angle` radians; positive angles move red
// towards green (2π/3 turns red into green, green into blue, blue into red). Greys stay
// grey. Neutral at 0.
void hueAdjust(QImage &image, float angle);

// Saturation, then brightness, then contrast, in one step:
//   saturated  = luminance + saturation × (c − luminance)
//   brightened = saturated + brightness
//   result     = (brightened − 0.5) × contrast + 0.5     (channels as 0..1)
// Neutral at saturation 1, brightness 0, contrast 1.
void colorControls(QImage &image, float saturation, float brightness, float contrast);

// Sharpens the luminance only: the difference between each pixel's luminance and its
// blurred luminance (a 5 × 5 binomial blur, about one pixel of radius) times
// `sharpness` is added to all three channels, so colours keep their hue. Edges of the
// image repeat their last pixel. Negative values soften. Neutral at 0.
void sharpenLuminance(QImage &image, float sharpness);

// Box blur: each pixel becomes the mean of the square of side 2r + 1 around it, r being
// `radius` rounded to a whole pixel. Outside the image everything is transparent, and
// the result is larger than the input by r pixels on every side, where the blur runs
// out into the transparency. Neutral (the input returned as it is) for radii below
// 0.5, the negative ones included.
QImage boxBlur(const QImage &image, float radius);
// The pixels boxBlur adds on each side for `radius` (0 when it leaves the image alone).
int boxBlurGrowth(float radius);

// Exposure: the colour in linear light (sRGB decoded) multiplied by 2^ev, then encoded
// again; ev +1 doubles the light, −1 halves it. Neutral at 0.
void exposureAdjust(QImage &image, float ev);

// The image turned by `quarters` quarter turns counter-clockwise as seen (negative
// values turn clockwise), pixel for pixel, as a new image (the input when the turn is a
// whole one). A quarter turn exchanges width and height and the two resolutions.
QImage turnedQuarters(const QImage &image, int quarters);

}  // namespace ImageFilters
