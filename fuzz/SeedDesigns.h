#pragma once
// Representative designs for the seed corpus, built in memory the way the program's
// windows build them and then written by the program's own writers: every kind of card
// object with values away from its defaults, card sides with every kind of fill and
// border, whole designs, and property lists holding every type of value.
//
// Pictures are drawn here and kept small, so that seeds stay short; paths point into
// the shipped resources, so image objects and picture fills find real files.

#include "core/Card_Property.h"
#include "core/QLNGraphic.h"
#include "designs/model/DesignLog.h"
#include "platform/PropertyList.h"

#include <QString>

#include <utility>
#include <vector>

namespace fuzz::seeds {

// A small picture with a gradient and a transparent corner.
PointImage smallPicture(int width = 12, int height = 8);

// Card objects of every kind: shapes of every outline, fill and border style, a text
// with several runs, an image with its filters, lines both ways, a signature, a
// fingerprint and a barcode.
QLNGraphicList cardObjects();

// Card sides: solid, gradient, hatch, tiled and stretched picture fills, each border
// style, every card shape code. With `withPictures` the picture sides carry a loaded
// picture (card settings archives store it; design logs store only its path).
std::vector<Card_Property> cardSides(bool withPictures);

// Whole designs: an empty new design, and full ones with both sides, a spreadsheet
// binding and grid, and objects on both sides.
std::vector<std::pair<QString, DesignLogContents>> designs();

// Property lists holding every type of value, named for their seed files.
std::vector<std::pair<QString, PlistValue>> propertyLists();

}  // namespace fuzz::seeds
