#include "barcode/BarcodeProduction.h"

#include "barcode/BRCBarcodeOffscreenView.h"
#include "barcode/QREncoder.h"
#include "barcode/encoding/BRCCode128Barcode.h"
#include "barcode/encoding/BRCCode39Barcodes.h"
#include "barcode/encoding/BRCNumericBarcodes.h"
#include "barcode/encoding/BRCPostalBarcodes.h"
#include "barcode/encoding/BRCUPCEANBarcodes.h"
#include "core/Utilities.h"
#include "mainwindow/QLNWindowController.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

const QStringList &barcodeSymbologyNames() {
  static const QStringList names = {
      QStringLiteral("Code 39"),          QStringLiteral("Extended Code 39"),
      QStringLiteral("Interleaved 2 of 5"), QStringLiteral("UPCA"),
      QStringLiteral("PostNet"),          QStringLiteral("Modified Plessey"),
      QStringLiteral("Modified Plessey (Hex)"), QStringLiteral("Industrial 2 of 5"),
      QStringLiteral("EAN-13"),           QStringLiteral("Code 128"),
      QStringLiteral("Code 128 SET A"),   QStringLiteral("Code 128 SET B"),
      QStringLiteral("Code 128 SET C"),   QStringLiteral("Codabar"),
      QStringLiteral("UPCE"),             QStringLiteral("EAN-8"),
      QStringLiteral("Royal Mail Barcode (RM4SCC / CBC)"), QStringLiteral("Planet"),
      QStringLiteral("Japan Post Barcode"), QStringLiteral("QR Code"),
      QStringLiteral("PDF417"),           QStringLiteral("DataMatrix")};
  return names;
}

bool isTwoDimensionalSymbology(const QString &name) {
  return name == QLatin1String("QR Code") || name == QLatin1String("PDF417") || name == QLatin1String("DataMatrix");
}

namespace {
template <class T> std::unique_ptr<BRCBarcode> make(const QString &value, bool printsCaption) {
  auto barcode = std::make_unique<T>();
  if (!barcode->initWithContent_printsCaption(value, printsCaption))
    return nullptr;
  return barcode;
}

std::unique_ptr<BRCBarcode> makeCode128(const QString &value, bool printsCaption, int codeSet) {
  auto barcode = std::make_unique<BRCCode128Barcode>();
  barcode->setCodeSet(codeSet);
  if (!barcode->initWithContent_printsCaption(value, printsCaption))
    return nullptr;
  return barcode;
}

// Names accepted by the two-dimensional path; only three of them draw a symbol.
bool acceptedTwoDimensionalName(const QString &name) {
  static const QStringList names = {
      QStringLiteral("QR Code"),  QStringLiteral("CODE_128"), QStringLiteral("AZTEC"),
      QStringLiteral("DATA_MATRIX"), QStringLiteral("DataMatrix"), QStringLiteral("MAXICODE"),
      QStringLiteral("ITF"),      QStringLiteral("PDF417"),   QStringLiteral("CODABAR")};
  return names.contains(name);
}
}  // namespace

std::unique_ptr<BRCBarcode> makeLinearBarcode(const QString &symbology, const QString &value, bool printsCaption) {
  const QString &n = symbology;
  if (n == QLatin1String("Code 39"))
    return make<BRCCode39Barcode>(value, printsCaption);
  if (n == QLatin1String("Extended Code 39"))
    return make<BRCExtendedCode39Barcode>(value, printsCaption);
  if (n == QLatin1String("Interleaved 2 of 5"))
    return make<BRCInterleavedTwoOfFiveBarcode>(value, printsCaption);
  if (n == QLatin1String("UPCA"))
    return make<BRCUPCABarcode>(value, printsCaption);
  if (n == QLatin1String("PostNet"))
    return make<BRCPostnetBarcode>(value, printsCaption);
  if (n == QLatin1String("Modified Plessey"))
    return make<BRCModifiedPlesseyBarcode>(value, printsCaption);
  if (n == QLatin1String("Modified Plessey (Hex)"))
    return make<BRCModifiedPlesseyHexBarcode>(value, printsCaption);
  if (n == QLatin1String("Industrial 2 of 5"))
    return make<BRCIndustrialTwoOfFiveBarcode>(value, printsCaption);
  if (n == QLatin1String("EAN-13"))
    return make<BRCEAN13Barcode>(value, printsCaption);
  if (n == QLatin1String("Code 128"))
    return makeCode128(value, printsCaption, BRCCode128Barcode::CodeSetAutomatic);
  if (n == QLatin1String("Code 128 SET A"))
    return makeCode128(value, printsCaption, BRCCode128Barcode::CodeSetA);
  if (n == QLatin1String("Code 128 SET B"))
    return makeCode128(value, printsCaption, BRCCode128Barcode::CodeSetB);
  if (n == QLatin1String("Code 128 SET C"))
    return makeCode128(value, printsCaption, BRCCode128Barcode::CodeSetC);
  if (n == QLatin1String("Codabar"))
    return make<BRCCodabarBarcode>(value, printsCaption);
  if (n == QLatin1String("UPCE"))
    return make<BRCUPCEBarcode>(value, printsCaption);
  if (n == QLatin1String("EAN-8"))
    return make<BRCEAN8Barcode>(value, printsCaption);
  if (n == QLatin1String("Royal Mail Barcode (RM4SCC / CBC)"))
    return make<BRCRoyalMailBarcode>(value, printsCaption);
  if (n == QLatin1String("Planet"))
    return make<BRCPlanetBarcode>(value, printsCaption);
  if (n == QLatin1String("Japan Post Barcode"))
    return make<JapanPostBarcode>(value, printsCaption);
  return nullptr;
}

BarcodeBuild Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value, const QString &header,
                                       const QString &footer, pdf417View *pdfView) {
  BarcodeBuild build;
  if (value.isEmpty())
    return build;
  build.built = true;
  try {
    const bool printsCaption = settings.printState() == 1;
    if (settings.isTwoDimensional()) {
      build.twoD = true;
      if (!acceptedTwoDimensionalName(settings.symbology))
        return build;
      build.texts = twoDTexts(settings, value, header, footer);
      build.Barcode_module_size = 1;
      if (settings.symbology == QLatin1String("QR Code")) {
        build.image_2d = Draw_QR_Barcode(settings, value);
      } else if (settings.symbology == QLatin1String("DataMatrix")) {
        build.Barcode_module_size = settings.dmModule;
        build.image_2d = Draw_DataMatrix_Barcode(settings, value, settings.dmModule, &build.eps);
      } else if (settings.symbology == QLatin1String("PDF417")) {
        build.Barcode_module_size = settings.pdfHeight;
        build.image_2d = Draw_PDF_417_Barcode(settings, value, pdfView);
      }
      // Drawn as rectangles of its modules where the output keeps vectors.
      CardPicture::markAsModules(build.image_2d.pixels);
      return build;
    }

    std::unique_ptr<BRCBarcode> barcode = makeLinearBarcode(settings.symbology, value, printsCaption);
    if (!barcode || !barcode->isContentValid())
      return build;
    barcode->setDesignerSettings(modelSettings(settings));
    barcode->setHeader(header);
    barcode->setFooter(footer);
    barcode->setPrintsCaption(printsCaption);
    barcode->setPrintsHeader(settings.hideHeaderState != 1);
    barcode->setPrintsFooter(settings.hideFooterState != 1);
    if (settings.barWidthEnabled)
      barcode->setBarWidth(float(settings.barWidthMils / 1000.0 * 72.0));
    barcode->setCaptionFontSize(float(settings.value_font.pointSize()));
    barcode->setHeaderFontSize(float(settings.header_font.pointSize()));
    barcode->setFooterFontSize(float(settings.footer_font.pointSize()));
    if (settings.barHeightEnabled)
      Set_Barcode_Height(settings, *barcode);
    barcode->calculateWidth();
    barcode->setWidth(Set_Linear_Barcode_Width(settings, *barcode));
    build.linear = std::move(barcode);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    build.linear.reset();
    build.image_2d = PointImage();
  }
  return build;
}

bool symbolTooLargeAt(const BarcodeSettings &settings, const QString &value) {
  constexpr int PixelPerPoint = 72;
  if (!settings.isTwoDimensional() || settings.dpi <= PixelPerPoint || value.isEmpty())
    return false;
  if (settings.symbology == QLatin1String("QR Code")) {
    // The encoder's answer alone: a symbol it makes is drawn the QR size square (at
    // least a pixel a module) at the resolution.
    const std::optional<DataMatrix> grid =
        QREncoder::encodeWithECLevel(settings.QR_EC_Level_Val, settings.QR_Version_Val, value);
    if (!grid || grid->dimension() == 0)
      return false;
    const double side = double(std::max<int64_t>(settings.qrSize, grid->dimension()));
    return CardPicture::pixelSizeAt(QSizeF(side, side), settings.dpi).isEmpty();
  }
  BarcodeSettings coarse = settings;
  coarse.dpi = PixelPerPoint;
  return !Generate_Barcode_Variable(coarse, value, QString(), QString()).image_2d.isNull();
}

CardPicture imageOfBuild(const BarcodeSettings &settings, BarcodeBuild &build) {
  if (build.linear)
    return imageFromBarcode(build.linear.get(), settings);
  if (build.image_2d.isNull())
    return CardPicture();
  Set_2d_Barcode_Height(settings, build.texts, build.image_2d.points);
  Set_2d_Barcode_Width(settings, build.texts, build.image_2d.points);
  return imageFromBarcodeImage(build.image_2d, settings, build.texts);
}

CardPicture Get_Image_From_Val(const BarcodeSettings &settings, const QString &value, const QString &header,
                               const QString &footer) {
  try {
    BarcodeBuild build = Generate_Barcode_Variable(settings, value, header, footer);
    return imageOfBuild(settings, build);
  } catch (const std::exception &) {
    return CardPicture();
  }
}

PointImage Draw_QR_Barcode(const BarcodeSettings &settings, const QString &value) {
  const std::optional<DataMatrix> grid =
      QREncoder::encodeWithECLevel(settings.QR_EC_Level_Val, settings.QR_Version_Val, value);
  if (!grid)
    return PointImage();
  return QREncoder::renderDataMatrix(*grid, settings.qrSize, settings.dpi);
}

// ---- PDF417

PointImage Draw_PDF_417_Barcode(const BarcodeSettings &settings, const QString &value, pdf417View *view) {
  try {
    // A view of its own starts at the settings' level: each batch card has one, and
    // the level changed for none of them.
    pdf417View own(QSizeF(), settings.pdfErrorLevel);
    pdf417View &target = view ? *view : own;
    target.setFrameSize(QSizeF(settings.pdfWidth, settings.pdfHeight));
    target.setErrorLevel(settings.pdfErrorLevel);
    target.setRows(settings.PDF_Row);
    target.setColumns(settings.PDF_Col);
    target.setResolution(settings.dpi);
    if (target.drawWithText(value) != pdf417View::ImageReady)
      return PointImage();
    return target.getImage();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return PointImage();
  }
}

// ---- DataMatrix

void dataMatrixFormat(const QString &format, int &width, int &height) {
  width = 0;
  height = 0;
  if (format == QLatin1String("Auto") || format.isEmpty())
    return;
  const QString rest = format.mid(1);
  const qsizetype x = rest.indexOf(QLatin1Char('X'));
  if (x < 0)
    return;
  height = rest.left(x).trimmed().toInt();
  width = rest.mid(x + 1).trimmed().toInt();
}

QByteArray dataMatrixModes(const QString &encoding, int length) {
  char letter = 0;
  if (encoding == QLatin1String("Ascii"))
    letter = 'A';
  else if (encoding == QLatin1String("C40"))
    letter = 'C';
  else if (encoding == QLatin1String("Text"))
    letter = 'T';
  else if (encoding == QLatin1String("Base256"))
    letter = 'B';
  return letter ? QByteArray(length, letter) : QByteArray();
}

QByteArray makeEPS_Data_Matrix(const QByteArray &value, int W, int H, const DataMatrixSymbol &symbol) {
  QByteArray printable = value;
  for (char &c : printable)
    if (uchar(c) < 0x20 || uchar(c) > 0x7E)
      c = '?';
  QByteArray eps;
  eps += "%!PS-Adobe-3.0 EPSF-3.0\n";
  eps += "%%Creator: ECC200 barcode generator\n";
  eps += "%%BarcodeData: " + printable + "\n";
  eps += "%%BarcodeSize: " + QByteArray::number(W) + "x" + QByteArray::number(H) + "\n";
  eps += "%%BarcodeFormat: ECC200\n";
  eps += "%%DocumentData: Clean7Bit\n";
  eps += "%%LanguageLevel: 1\n";
  eps += "%%Pages: 1\n";
  eps += "%%BoundingBox: 0 0 " + QByteArray::number(W + 2) + " " + QByteArray::number(H + 2) + "\n";
  eps += "%%EndComments\n";
  eps += "%%Page: 1 1\n";
  eps += QByteArray::number(W) + " " + QByteArray::number(H) + " 1[1 0 0 1 -1 -1]{<\n";
  int count = 0;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; x += 8) {
      uint8_t byte = 0;
      for (int bit = 0; bit < 8; ++bit)
        if (x + bit < W && symbol.grid[size_t(y) * size_t(W) + size_t(x + bit)])
          byte |= uint8_t(0x80 >> bit);
      eps += QByteArray::number(uint8_t(byte ^ 0xFF), 16).rightJustified(2, '0').toUpper();
      ++count;
    }
    eps += ' ';
    ++count;
    if (count >= 80) {
      eps += '\n';
      count = 0;
    }
  }
  if (count != 0)
    eps += '\n';
  eps += "\n>}image\n";
  return eps;
}

PointImage dataMatrixBitmap(const DataMatrixSymbol &symbol, double dpi) {
  const QSizeF points(symbol.width + 2, symbol.height + 2);
  const QSize pixels = CardPicture::pixelSizeAt(points, dpi);
  if (!symbol.ok() || pixels.isEmpty())
    return PointImage();
  QImage bitmap(pixels, QImage::Format_ARGB32_Premultiplied);
  bitmap.fill(Qt::white);
  {
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.scale(double(pixels.width()) / points.width(), double(pixels.height()) / points.height());
    for (int y = 0; y < symbol.height; ++y)
      for (int x = 0; x < symbol.width; ++x)
        if (symbol.dark(x, y))
          painter.fillRect(QRectF(x + 1, y + 1, 1, 1), Qt::black);
  }
  return PointImage{bitmap, points};
}

PointImage Draw_DataMatrix_Barcode(const BarcodeSettings &settings, const QString &value, int moduleSize,
                                   QByteArray *eps) {
  try {
    int width = 0;
    int height = 0;
    dataMatrixFormat(settings.dmFormat, width, height);
    const QByteArray data = value.toUtf8();
    const QByteArray modes = dataMatrixModes(settings.dmEncoding, int(data.size()));
    const DataMatrixSymbol symbol =
        ecc200_encode(width, height, modes.isEmpty() ? nullptr : modes.constData(), int(data.size()),
                      reinterpret_cast<const uint8_t *>(data.constData()));
    if (!symbol.ok() || symbol.width == 0) {
      std::fputs("No barcode produced\n", stderr);
      std::printf("Size    : %dx%d\n", width, height);
      std::printf("Encoded : %d of %d bytes with %d bytes of ecc\n", symbol.usedCodewords, symbol.dataCapacity,
                  symbol.checkCodewords);
      std::printf("Barcode : %s\n", data.constData());
      std::printf("Encoding: %s\n", modes.constData());
      std::fflush(stdout);
      return PointImage();
    }
    if (eps)
      *eps = makeEPS_Data_Matrix(data, symbol.width, symbol.height, symbol);
    PointImage image = dataMatrixBitmap(symbol, settings.dpi);
    if (image.isNull())
      return image;
    image.points = QSizeF(symbol.width * moduleSize, symbol.height * moduleSize);
    return image;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return PointImage();
  }
}
