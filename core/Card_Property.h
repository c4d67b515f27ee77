#pragma once
// Card_Property: the settings of one card side: border, fill, gradient, hatch
// pattern, background image and layout, opacity, shape, name, size preset and
// category, canvas position and size, and the default content colour and font.
// The main window keeps one for the front and one for the back.
//
// The record is a plain value: getters named like the field, setters "set" + field
// name that store what they are given and do nothing else (no redraw, no
// notification). Absent values: a null QString, an invalid QColor, a null image,
// std::nullopt for the font. A new record holds the creation defaults; a decoded one
// starts from zeroed fields, so a key missing from an archive reads as false, 0 or
// absent, never as the default.
//
// Card_alpha_Stepper is the opacity of the side's fill and background picture as a
// fraction 0.0 to 1.0; the value 100.0 of a new record, like every value above 1.0,
// acts as 1.0 when drawn.

#include "platform/Fonts.h"
#include "platform/Images.h"
#include "platform/KeyedArchive.h"

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

class Card_Property : public KeyedArchivable {
public:
  // A record with the creation defaults.
  Card_Property();
  // A record with every field zero, false or absent.
  struct Zeroed {};
  explicit Card_Property(Zeroed);

  Card_Property(const Card_Property &) = default;
  Card_Property &operator=(const Card_Property &) = default;
  ~Card_Property() override;

  // A new record with every field of this one; colours, strings, font and image are
  // values, so changing the copy never changes this record.
  std::unique_ptr<Card_Property> copyWithZone() const;

  // ---- Keyed archive -----------------------------------------------------------------
  // The class name the archive records.
  static const QString ArchiveClassName;  // "Card_Property"
  QString archiveClassName() const override { return ArchiveClassName; }
  // Writes every field under a key equal to its name.
  void encodeWithCoder(KeyedArchiver &coder) const override;
  // Reads the keys written by encodeWithCoder into a zeroed record.
  static std::unique_ptr<Card_Property> initWithCoder(KeyedUnarchiver &coder);
  // Holds the numbers that reach drawing and geometry within the bounds of decoded
  // records (DecodedLimits in core/CardObjectArchive.h): border width, gradient angle,
  // opacity, location, size, the background picture's size and the content font's size.
  // initWithCoder does this; so does every other reader of side settings (the design log).
  void holdDecodedNumbers();
  // Lets `coder` decode Card_Property objects.
  static void registerArchiveClass(KeyedUnarchiver &coder);

  // The whole archive of this record (empty with *error set when it cannot be made).
  QByteArray archivedData(QString *error = nullptr) const;
  // The record of an archive made by archivedData; null with *error set when the
  // bytes are damaged or their root is not a Card_Property.
  static std::unique_ptr<Card_Property> fromArchivedData(const QByteArray &bytes,
                                                         QString *error = nullptr);

  // ---- Fields ------------------------------------------------------------------------
  bool Card_border_chk() const { return m_Card_border_chk; }
  void setCard_border_chk(bool value) { m_Card_border_chk = value; }
  qint32 Card_bor_Stepper() const { return m_Card_bor_Stepper; }
  void setCard_bor_Stepper(qint32 value) { m_Card_bor_Stepper = value; }
  bool Card_fill_chk() const { return m_Card_fill_chk; }
  void setCard_fill_chk(bool value) { m_Card_fill_chk = value; }
  qint32 Card_grad_Stepper() const { return m_Card_grad_Stepper; }
  void setCard_grad_Stepper(qint32 value) { m_Card_grad_Stepper = value; }
  float Card_alpha_Stepper() const { return m_Card_alpha_Stepper; }
  void setCard_alpha_Stepper(float value) { m_Card_alpha_Stepper = value; }
  QColor Card_bordr_clr() const { return m_Card_bordr_clr; }
  void setCard_bordr_clr(const QColor &value) { m_Card_bordr_clr = value; }
  QString Card_border_style() const { return m_Card_border_style; }
  void setCard_border_style(const QString &value) { m_Card_border_style = value; }
  QString Card_fill_style() const { return m_Card_fill_style; }
  void setCard_fill_style(const QString &value) { m_Card_fill_style = value; }
  QColor Card_fill_clr() const { return m_Card_fill_clr; }
  void setCard_fill_clr(const QColor &value) { m_Card_fill_clr = value; }
  QColor Card_fill_Grd_1_clr() const { return m_Card_fill_Grd_1_clr; }
  void setCard_fill_Grd_1_clr(const QColor &value) { m_Card_fill_Grd_1_clr = value; }
  QColor Card_fill_Grd_2_clr() const { return m_Card_fill_Grd_2_clr; }
  void setCard_fill_Grd_2_clr(const QColor &value) { m_Card_fill_Grd_2_clr = value; }
  QString Card_hatch_style() const { return m_Card_hatch_style; }
  void setCard_hatch_style(const QString &value) { m_Card_hatch_style = value; }
  QColor Card_hatch_bk_clr() const { return m_Card_hatch_bk_clr; }
  void setCard_hatch_bk_clr(const QColor &value) { m_Card_hatch_bk_clr = value; }
  QString Card_Side() const { return m_Card_Side; }
  void setCard_Side(const QString &value) { m_Card_Side = value; }
  QString Card_Side_Name() const { return m_Card_Side_Name; }
  void setCard_Side_Name(const QString &value) { m_Card_Side_Name = value; }
  QString Card_Shape() const { return m_Card_Shape; }
  void setCard_Shape(const QString &value) { m_Card_Shape = value; }
  QString Card_Name() const { return m_Card_Name; }
  void setCard_Name(const QString &value) { m_Card_Name = value; }
  QPointF Card_Location() const { return m_Card_Location; }
  void setCard_Location(const QPointF &value) { m_Card_Location = value; }
  QSizeF Card_Size() const { return m_Card_Size; }
  void setCard_Size(const QSizeF &value) { m_Card_Size = value; }
  QString Card_Preset() const { return m_Card_Preset; }
  void setCard_Preset(const QString &value) { m_Card_Preset = value; }
  QString Card_Category() const { return m_Card_Category; }
  void setCard_Category(const QString &value) { m_Card_Category = value; }
  QString Card_Sub_Category() const { return m_Card_Sub_Category; }
  void setCard_Sub_Category(const QString &value) { m_Card_Sub_Category = value; }
  qint32 Card_Cat_index() const { return m_Card_Cat_index; }
  void setCard_Cat_index(qint32 value) { m_Card_Cat_index = value; }
  QString Card_Create_Mode() const { return m_Card_Create_Mode; }
  void setCard_Create_Mode(const QString &value) { m_Card_Create_Mode = value; }
  PointImage Card_BG_Image() const { return m_Card_BG_Image; }
  void setCard_BG_Image(const PointImage &value) { m_Card_BG_Image = value; }
  QString Card_BG_Image_Path() const { return m_Card_BG_Image_Path; }
  void setCard_BG_Image_Path(const QString &value) { m_Card_BG_Image_Path = value; }
  QString Card_BG_Image_Layout() const { return m_Card_BG_Image_Layout; }
  void setCard_BG_Image_Layout(const QString &value) { m_Card_BG_Image_Layout = value; }
  QColor Card_Content_clr() const { return m_Card_Content_clr; }
  void setCard_Content_clr(const QColor &value) { m_Card_Content_clr = value; }
  std::optional<FontSpec> Card_Content_font() const { return m_Card_Content_font; }
  void setCard_Content_font(const std::optional<FontSpec> &value) { m_Card_Content_font = value; }

  // The default content font of a new record: "TimesNewRomanPS-ItalicMT" at 14 points.
  static FontSpec defaultContentFont();

private:
  // Fields in declared order; the zeroed values are the ones written here.
  bool m_Card_border_chk = false;
  bool m_Card_fill_chk = false;
  QColor m_Card_bordr_clr;
  QColor m_Card_fill_clr;
  QColor m_Card_fill_Grd_1_clr;
  QColor m_Card_fill_Grd_2_clr;
  QColor m_Card_hatch_bk_clr;
  qint32 m_Card_bor_Stepper = 0;
  qint32 m_Card_grad_Stepper = 0;
  qint32 m_Card_Cat_index = 0;
  float m_Card_alpha_Stepper = 0.0f;
  QString m_Card_border_style;
  QString m_Card_fill_style;
  QString m_Card_hatch_style;
  QString m_Card_Side;
  QString m_Card_Side_Name;
  QString m_Card_Shape;
  QString m_Card_Name;
  QString m_Card_Preset;
  QString m_Card_Category;
  QString m_Card_Sub_Category;
  QString m_Card_Create_Mode;
  QString m_Card_BG_Image_Path;
  QString m_Card_BG_Image_Layout;
  PointImage m_Card_BG_Image;
  QPointF m_Card_Location;
  QSizeF m_Card_Size{0.0, 0.0};
  QColor m_Card_Content_clr;
  std::optional<FontSpec> m_Card_Content_font;
};
