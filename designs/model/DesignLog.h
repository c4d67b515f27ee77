#pragma once
// The design log: the ".dcard" file that keeps one whole card design (the settings of
// both card sides, the spreadsheet binding and grid, and every card object of both
// sides). The same file serves as a template.
//
// The file is an XML property list whose root array holds its items by position only:
//
//   0             the mark "VRELMACGREETCARDMAGIC"
//   1 ... 28      the 28 settings of the front side (order below)
//   29 ... 56     the 28 settings of the back side
//   57            spreadsheet binding in use: "Y" or "N"
//   58            spreadsheet file path (string, "" when none)
//   59            the grid's column titles, the first column included (string array)
//   60            the grid's rows (array of dictionaries: column identifier -> cell text)
//   61            number of front objects F ("%lu")
//   62 ... 61+F   one data item per front object: its card object archive, list order
//   62+F          number of back objects B
//   63+F ...      one data item per back object
//   63+F+B        only when the grid's titles are not the workbook's column names (its
//                 first row was data): "N"; a file without it has names
//
// A design without objects has 63 items. The 28 side items, in order (k = 1 ... 28):
//   Card_border_chk "Y"/"N", Card_bordr_clr (colour), Card_bor_Stepper ("%d"),
//   Card_border_style, Card_fill_chk "Y"/"N", Card_fill_style, Card_fill_clr,
//   Card_fill_Grd_1_clr, Card_fill_Grd_2_clr (colours), Card_grad_Stepper ("%d"),
//   Card_hatch_style, Card_hatch_bk_clr (colour), Card_alpha_Stepper ("%0.2f", so 100
//   is "100.00"), Card_Side, Card_Side_Name, Card_Shape, Card_Name, Card_Location
//   ("{x, y}"), Card_Size ("{w, h}"), Card_Preset, Card_Category, Card_Sub_Category,
//   Card_Cat_index ("%d"), Card_Create_Mode, Card_BG_Image_Path (written only when
//   Card_fill_style is "I", else ""), Card_BG_Image_Layout, Card_Content_clr (colour),
//   Card_Content_font (font).
// Texts are stored exactly as held. Numbers are written without regard to the locale.
// A colour or font item is data: a keyed archive (platform/KeyedArchive.h) whose root
// object is the NSColor or NSFont itself; an absent colour or font is an archive whose
// root is nil. The loaded background picture is never stored, nor is an image object's
// picture (only its path).
//
// Reading is whole or nothing: readDesignLog() checks the whole file, every card object
// archive decoded, before it answers, and answers nothing at all when anything is wrong,
// so a caller changes its design only with a file that is complete.
//
// Reading rules kept from the file's lenient readers:
//   - a flag is on only for exactly "Y"; anything else is off;
//   - the integer value of a text is the decimal number at its start, after leading
//     white space and an optional sign, 0 when there is none ("12px" is 12, "abc" 0),
//     held to the 32-bit range; object counts are read the same way;
//   - the floating-point value (Card_alpha_Stepper) is the decimal number at its
//     start, fraction and exponent allowed, 0 when there is none, held to the range of
//     a float;
//   - a point or size is read with the shared helper pointFromString
//     (core/CardObjectArchive.h): the two comma-separated numbers inside the braces;
//     text that does not hold exactly two numbers gives zeros. (The rule "the first
//     two numbers found anywhere" is not kept.)
// A file is refused when:
//   - it is not a property list, its root is not an array, or item 0 is not exactly
//     the mark;
//   - an item is missing, or is not of its kind (a string where a string belongs, data
//     for colours, fonts and objects, a string array, an array of dictionaries whose
//     values are strings);
//   - a colour or font item is not a keyed archive of a colour or font (nil is
//     accepted as absent);
//   - a point or size holds a number that is not finite;
//   - an object count is negative or larger than the items that follow;
//   - a card object archive does not decode (core/CardObjectArchive.h).
// Items after the last back object other than the column-names item (a file of another
// version may carry more) are ignored. The numbers of the side settings are held within
// the bounds of decoded records (Card_Property::holdDecodedNumbers), as the card
// objects' are.
//
// Main thread or any one thread at a time; nothing here touches global state.

#include "core/Card_Property.h"
#include "core/QLNGraphic.h"
#include "platform/Fonts.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// Item 0 of every design log.
extern const QString DesignLogFileMark;   // "VRELMACGREETCARDMAGIC"
// Settings items per side.
constexpr int DesignLogSideItemCount = 28;
// Items of a design log without objects.
constexpr int DesignLogEmptyItemCount = 63;

// One row of the spreadsheet grid: column identifier -> cell text, in the row's order
// ("Extension", "Column1", "Column2", ...). Identifiers are unique within a row.
using DesignLogGridRow = QList<QPair<QString, QString>>;

// Everything a design log holds. A default-made value holds the creation values of
// Card_Property; a new design's sides are set with resetCardPropertyForNewProject().
struct DesignLogContents {
  Card_Property front;
  Card_Property back;
  bool excelBindingUse = false;          // Excel_Binding_Use
  QString excelSourcePath;               // Excel_Source_Path
  QStringList gridColumnTitles;          // header titles of every grid column, left to right
  QList<DesignLogGridRow> gridRows;      // the grid's rows as they stand
  bool gridColumnNames = true;           // the titles are column names, not a row of data
  QLNGraphicList frontObjects;           // front list order, index 0 front-most
  QLNGraphicList backObjects;
};

// Puts a side's settings to the values a new design starts from: the creation values
// of Card_Property, with the border on, no background picture, and the content colour
// and font taken from the main window's all-text colour and font.
void resetCardPropertyForNewProject(Card_Property &record, const FontSpec &allTextFont,
                                    const QColor &allTextColor);

// Empties Card_BG_Image_Path unless Card_fill_style is "I" (a side whose fill is not a
// picture keeps no picture path once saved).
void clearUnusedBackgroundPath(Card_Property &record);

// The XML property list of `contents`, item by item as above. Empty, with *error
// naming the item, when an object or value cannot be archived.
QByteArray writeDesignLog(const DesignLogContents &contents, QString *error = nullptr);

// Writes the design log to `path` whole or not at all (WholeFile): on any failure the
// file that was there stays as it was. The bytes are read back with readDesignLog()
// before they replace anything, so a design that could not be opened again (a font
// without a name, an object that does not archive) is refused instead of saved.
bool saveDesignLog(const QString &path, const DesignLogContents &contents,
                   QString *error = nullptr);

// The contents of a design log, or nothing (with *error saying why) when the file is
// refused by any of the rules above. Image objects come back with their path only:
// loadDesignLogPictures() loads their pictures.
std::optional<DesignLogContents> readDesignLog(const QByteArray &bytes, QString *error = nullptr);
// The same for the file at `path`: only a regular file (links resolved) is read, so a
// named pipe or a device is refused instead of waited on; a file larger than a property
// list may be is refused.
std::optional<DesignLogContents> readDesignLogFile(const QString &path, QString *error = nullptr);
// Reads the file at `path` into `target`; on failure answers false and leaves `target`
// exactly as it was.
bool readDesignLogInto(const QString &path, DesignLogContents &target, QString *error = nullptr);

// Loads the picture of every object of both sides whose class is exactly QLNImage from
// the path it carries (QLNImage::setFilePath); a picture that cannot be loaded leaves
// the object without one.
void loadDesignLogPictures(DesignLogContents &contents);
