#include "core/Card_Property.h"

#include "core/CardObjectArchive.h"
#include "core/Globals.h"

#include <algorithm>

const QString Card_Property::ArchiveClassName = QStringLiteral("Card_Property");

namespace {

std::optional<QColor> optionalColor(const QColor &color) {
  if (!color.isValid())
    return std::nullopt;
  return color;
}

QColor colorOrAbsent(const std::optional<QColor> &color) {
  return color ? *color : QColor();
}

}  // namespace

FontSpec Card_Property::defaultContentFont() {
  return FontSpec(Text_Ctrl_Font, 14.0);
}

Card_Property::Card_Property()
    : m_Card_bordr_clr(Qt::black),
      m_Card_fill_clr(Qt::white),
      m_Card_fill_Grd_1_clr(Qt::white),
      m_Card_fill_Grd_2_clr(Qt::white),
      m_Card_hatch_bk_clr(Qt::white),
      m_Card_bor_Stepper(1),
      m_Card_grad_Stepper(0),
      m_Card_Cat_index(0),
      m_Card_alpha_Stepper(100.0f),
      m_Card_border_style(QStringLiteral("S")),
      m_Card_fill_style(QStringLiteral("S")),
      m_Card_hatch_style(QStringLiteral("")),
      m_Card_Side(QStringLiteral("2")),
      m_Card_Side_Name(QStringLiteral("F")),
      m_Card_Shape(QStringLiteral("R")),
      m_Card_Name(QStringLiteral("Untitled")),
      m_Card_Preset(QStringLiteral("Horizontal")),
      m_Card_Category(QStringLiteral("PVC Card")),
      m_Card_Sub_Category(QStringLiteral("CR80-Credit Card Size")),
      m_Card_Create_Mode(QStringLiteral("W")),
      m_Card_BG_Image_Path(QStringLiteral("")),
      m_Card_BG_Image_Layout(QStringLiteral("Stretch")),
      m_Card_Location(0.0, 0.0),
      m_Card_Size(0.0, 0.0),
      m_Card_Content_clr(Qt::black),
      m_Card_Content_font(defaultContentFont()) {}

Card_Property::Card_Property(Zeroed) {}

Card_Property::~Card_Property() = default;

std::unique_ptr<Card_Property> Card_Property::copyWithZone() const {
  return std::make_unique<Card_Property>(*this);
}

void Card_Property::encodeWithCoder(KeyedArchiver &coder) const {
  coder.encodeBool(QStringLiteral("Card_border_chk"), m_Card_border_chk);
  coder.encodeBool(QStringLiteral("Card_fill_chk"), m_Card_fill_chk);
  coder.encodeInt32(QStringLiteral("Card_bor_Stepper"), m_Card_bor_Stepper);
  coder.encodeInt32(QStringLiteral("Card_grad_Stepper"), m_Card_grad_Stepper);
  coder.encodeInt32(QStringLiteral("Card_Cat_index"), m_Card_Cat_index);
  coder.encodeFloat(QStringLiteral("Card_alpha_Stepper"), m_Card_alpha_Stepper);
  coder.encodeColor(QStringLiteral("Card_bordr_clr"), optionalColor(m_Card_bordr_clr));
  coder.encodeColor(QStringLiteral("Card_fill_clr"), optionalColor(m_Card_fill_clr));
  coder.encodeColor(QStringLiteral("Card_fill_Grd_1_clr"), optionalColor(m_Card_fill_Grd_1_clr));
  coder.encodeColor(QStringLiteral("Card_fill_Grd_2_clr"), optionalColor(m_Card_fill_Grd_2_clr));
  coder.encodeColor(QStringLiteral("Card_hatch_bk_clr"), optionalColor(m_Card_hatch_bk_clr));
  coder.encodeString(QStringLiteral("Card_border_style"), m_Card_border_style);
  coder.encodeString(QStringLiteral("Card_fill_style"), m_Card_fill_style);
  coder.encodeString(QStringLiteral("Card_hatch_style"), m_Card_hatch_style);
  coder.encodeString(QStringLiteral("Card_Side"), m_Card_Side);
  coder.encodeString(QStringLiteral("Card_Side_Name"), m_Card_Side_Name);
  coder.encodeString(QStringLiteral("Card_Shape"), m_Card_Shape);
  coder.encodeString(QStringLiteral("Card_Name"), m_Card_Name);
  coder.encodeString(QStringLiteral("Card_Preset"), m_Card_Preset);
  coder.encodeString(QStringLiteral("Card_Category"), m_Card_Category);
  coder.encodeString(QStringLiteral("Card_Sub_Category"), m_Card_Sub_Category);
  coder.encodeString(QStringLiteral("Card_Create_Mode"), m_Card_Create_Mode);
  coder.encodeString(QStringLiteral("Card_BG_Image_Path"), m_Card_BG_Image_Path);
  coder.encodeString(QStringLiteral("Card_BG_Image_Layout"), m_Card_BG_Image_Layout);
  coder.encodeImage(QStringLiteral("Card_BG_Image"), m_Card_BG_Image.pixels, m_Card_BG_Image.points);
  coder.encodePoint(QStringLiteral("Card_Location"), m_Card_Location);
  coder.encodeSize(QStringLiteral("Card_Size"), m_Card_Size);
  coder.encodeColor(QStringLiteral("Card_Content_clr"), optionalColor(m_Card_Content_clr));
  std::optional<ArchivedFont> font;
  if (m_Card_Content_font)
    font = ArchivedFont{m_Card_Content_font->postScriptName(), m_Card_Content_font->pointSize()};
  coder.encodeFont(QStringLiteral("Card_Content_font"), font);
}

std::unique_ptr<Card_Property> Card_Property::initWithCoder(KeyedUnarchiver &coder) {
  auto record = std::make_unique<Card_Property>(Zeroed{});
  Card_Property &r = *record;
  r.m_Card_border_chk = coder.decodeBool(QStringLiteral("Card_border_chk"));
  r.m_Card_fill_chk = coder.decodeBool(QStringLiteral("Card_fill_chk"));
  r.m_Card_bor_Stepper = coder.decodeInt32(QStringLiteral("Card_bor_Stepper"));
  r.m_Card_grad_Stepper = coder.decodeInt32(QStringLiteral("Card_grad_Stepper"));
  r.m_Card_Cat_index = coder.decodeInt32(QStringLiteral("Card_Cat_index"));
  r.m_Card_alpha_Stepper = coder.decodeFloat(QStringLiteral("Card_alpha_Stepper"));
  r.m_Card_bordr_clr = colorOrAbsent(coder.decodeColor(QStringLiteral("Card_bordr_clr")));
  r.m_Card_fill_clr = colorOrAbsent(coder.decodeColor(QStringLiteral("Card_fill_clr")));
  r.m_Card_fill_Grd_1_clr = colorOrAbsent(coder.decodeColor(QStringLiteral("Card_fill_Grd_1_clr")));
  r.m_Card_fill_Grd_2_clr = colorOrAbsent(coder.decodeColor(QStringLiteral("Card_fill_Grd_2_clr")));
  r.m_Card_hatch_bk_clr = colorOrAbsent(coder.decodeColor(QStringLiteral("Card_hatch_bk_clr")));
  r.m_Card_border_style = coder.decodeString(QStringLiteral("Card_border_style"));
  r.m_Card_fill_style = coder.decodeString(QStringLiteral("Card_fill_style"));
  r.m_Card_hatch_style = coder.decodeString(QStringLiteral("Card_hatch_style"));
  r.m_Card_Side = coder.decodeString(QStringLiteral("Card_Side"));
  r.m_Card_Side_Name = coder.decodeString(QStringLiteral("Card_Side_Name"));
  r.m_Card_Shape = coder.decodeString(QStringLiteral("Card_Shape"));
  r.m_Card_Name = coder.decodeString(QStringLiteral("Card_Name"));
  r.m_Card_Preset = coder.decodeString(QStringLiteral("Card_Preset"));
  r.m_Card_Category = coder.decodeString(QStringLiteral("Card_Category"));
  r.m_Card_Sub_Category = coder.decodeString(QStringLiteral("Card_Sub_Category"));
  r.m_Card_Create_Mode = coder.decodeString(QStringLiteral("Card_Create_Mode"));
  r.m_Card_BG_Image_Path = coder.decodeString(QStringLiteral("Card_BG_Image_Path"));
  r.m_Card_BG_Image_Layout = coder.decodeString(QStringLiteral("Card_BG_Image_Layout"));
  if (const std::optional<ArchivedImage> image = coder.decodeImage(QStringLiteral("Card_BG_Image")))
    r.m_Card_BG_Image = PointImage{image->image, image->pointSize};
  r.m_Card_Location = coder.decodePoint(QStringLiteral("Card_Location"));  // missing: (0, 0)
  r.m_Card_Size = coder.decodeSize(QStringLiteral("Card_Size"));
  r.m_Card_Content_clr = colorOrAbsent(coder.decodeColor(QStringLiteral("Card_Content_clr")));
  if (const std::optional<ArchivedFont> font = coder.decodeFont(QStringLiteral("Card_Content_font")))
    r.m_Card_Content_font = FontSpec(font->postScriptName, font->pointSize);
  r.holdDecodedNumbers();
  return record;
}

void Card_Property::holdDecodedNumbers() {
  using namespace DecodedLimits;
  const auto stroke = static_cast<qint32>(MaxStrokeWidth);
  m_Card_bor_Stepper = std::clamp(m_Card_bor_Stepper, -stroke, stroke);
  const auto turn = static_cast<qint32>(FullTurn);
  if (m_Card_grad_Stepper < -turn || m_Card_grad_Stepper > turn)
    m_Card_grad_Stepper %= turn;
  m_Card_alpha_Stepper = static_cast<float>(finiteWithin(m_Card_alpha_Stepper, 0.0, MaxOpacity));
  m_Card_Location = QPointF(finiteWithin(m_Card_Location.x(), -MaxCoordinate, MaxCoordinate),
                            finiteWithin(m_Card_Location.y(), -MaxCoordinate, MaxCoordinate));
  m_Card_Size = QSizeF(finiteWithin(m_Card_Size.width(), -MaxCoordinate, MaxCoordinate),
                       finiteWithin(m_Card_Size.height(), -MaxCoordinate, MaxCoordinate));
  if (!m_Card_BG_Image.isNull())
    m_Card_BG_Image.points = pictureSizeWithin(m_Card_BG_Image.points, m_Card_BG_Image.pixels);
  m_Card_Content_font = fontWithin(m_Card_Content_font);
}

void Card_Property::registerArchiveClass(KeyedUnarchiver &coder) {
  coder.registerClass(ArchiveClassName, [](KeyedUnarchiver &c) -> std::unique_ptr<KeyedArchivable> {
    return initWithCoder(c);
  });
}

QByteArray Card_Property::archivedData(QString *error) const {
  return KeyedArchiver::archiveRootObject(*this, error);
}

std::unique_ptr<Card_Property> Card_Property::fromArchivedData(const QByteArray &bytes,
                                                               QString *error) {
  KeyedUnarchiver coder(bytes);
  registerArchiveClass(coder);
  std::unique_ptr<KeyedArchivable> root = coder.decodeRootObject();
  if (!root || coder.failed()) {
    if (error)
      *error = coder.error().isEmpty() ? QStringLiteral("The card settings could not be read.")
                                       : coder.error();
    return nullptr;
  }
  auto *record = dynamic_cast<Card_Property *>(root.get());
  if (!record) {
    if (error)
      *error = QStringLiteral("The archive holds no card settings.");
    return nullptr;
  }
  root.release();
  return std::unique_ptr<Card_Property>(record);
}
