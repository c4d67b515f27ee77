#include "FuzzSupport.h"

#include "core/CardObjectArchive.h"
#include "core/Globals.h"
#include "core/QLNLine.h"
#include "mainwindow/CardBaseDrawing.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/ScriptedUi.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fuzz {

namespace {

bool verbose = false;

// The resource folder a harness makes for itself when it is given none. libFuzzer ends
// the process with exit() (and the seed run with _Exit()), past any destructor of ours:
// the folder is removed by an exit handler, and by hand before _Exit().
QTemporaryDir *ownResources = nullptr;

void removeOwnResources() {
  delete ownResources;
  ownResources = nullptr;
}

void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(message));
    std::abort();
  }
}

// Fits the text of a report into one readable line.
// Fits the text of a report into one readable line: characters that do not print
// (NUL, controls, lone surrogates) are shown as \u{...}.
QString shortened(const QString &text, int limit = 400) {
  QString line;
  for (const QChar c : text) {
    if (line.size() >= limit) {
      line += QStringLiteral("...");
      break;
    }
    if (c.isPrint() && !c.isSurrogate())
      line += c;
    else
      line += QStringLiteral("\\u{%1}").arg(c.unicode(), 4, 16, QLatin1Char('0'));
  }
  return line;
}

}  // namespace

void initialize(int *argc, char ***argv, const char *harness, const SeedWriter &writeSeeds) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Nothing a harness does may touch the real user's folders.
  QStandardPaths::setTestModeEnabled(true);
  if (qEnvironmentVariableIsEmpty("AMENDS_RESOURCE_DIR")) {
    ownResources = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/amends-fuzz-resources-XXXXXX"));
    std::atexit(removeOwnResources);
    if (!ownResources->isValid()) {
      std::fprintf(stderr, "%s: no resource folder: %s\n", harness, qPrintable(ownResources->errorString()));
      std::exit(1);
    }
    qputenv("AMENDS_RESOURCE_DIR", ownResources->path().toUtf8());
  }

  verbose = qEnvironmentVariableIntValue("AMENDS_FUZZ_VERBOSE") != 0;
  if (!verbose) {
    Log::setSink([](const QString &) {});
    qInstallMessageHandler(quietMessages);
  }

  static int appArgc = 1;
  static char *appArgv[] = {const_cast<char *>(harness), nullptr};
  // Lives for the whole run; libFuzzer ends the process without returning here.
  new QApplication(appArgc, appArgv);
  QApplication::setApplicationName(QStringLiteral("Amends"));

  QString error;
  if (!Paths::prepareResourceFolder(&error)) {
    std::fprintf(stderr, "%s: the resource folder cannot be prepared: %s\n", harness, qPrintable(error));
    std::exit(1);
  }
  Resource_Path = Paths::resourceFolder();
  Data_Folder_Path = Paths::dataFolder();

  // Readers and drawing code run on worker threads too: none may ask a person anything.
  ScriptedUi::setFailureHandler([](const QString &what) {
    fail(QStringLiteral("a reader or drawing step showed a window to a person"), what);
  });
  static ScriptedUi strictUi;
  UiServices::setInstance(&strictUi);

  const QByteArray seedFolder = qgetenv("AMENDS_FUZZ_WRITE_SEEDS");
  if (!seedFolder.isEmpty()) {
    const QString folder = QString::fromLocal8Bit(seedFolder);
    if (!QDir().mkpath(folder)) {
      std::fprintf(stderr, "%s: cannot make the seed folder %s\n", harness, seedFolder.constData());
      std::exit(1);
    }
    writeSeeds(folder);
    removeOwnResources();
    std::fflush(stderr);
    std::_Exit(0);
  }
  (void)argc;
  (void)argv;
}

QByteArray bytesOf(const uint8_t *data, size_t size) {
  return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

void fail(const QString &what, const QString &detail) {
  std::fprintf(stderr, "\n==== AMENDS FUZZ FAULT: %s\n", qPrintable(what));
  if (!detail.isEmpty())
    std::fprintf(stderr, "==== %s\n", qPrintable(shortened(detail, 2000)));
  std::fflush(stderr);
  __builtin_trap();
}

void writeSeed(const QString &folder, const QString &name, const QByteArray &bytes) {
  if (bytes.isEmpty()) {
    std::fprintf(stderr, "seed %s: the program's writer gave no bytes\n", qPrintable(name));
    std::exit(1);
  }
  QSaveFile file(QDir(folder).filePath(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    std::fprintf(stderr, "seed %s cannot be written: %s\n", qPrintable(name), qPrintable(file.errorString()));
    std::exit(1);
  }
}

// ---- Using what was read ---------------------------------------------------------------------

namespace {

constexpr int ImageWidth = 96;
constexpr int ImageHeight = 64;
constexpr double ViewZoom = 0.4;

QImage blankImage() {
  QImage image(ImageWidth, ImageHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

void prepare(QPainter &painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

bool finite(const QPointF &p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// As the side view draws one object: clipped to its drawing bounds.
void drawClipped(QPainter &painter, QLNGraphic &graphic, bool editing) {
  painter.save();
  painter.setClipRect(graphic.drawingBounds(), Qt::IntersectClip);
  graphic.drawContentsInView(&painter, editing);
  painter.restore();
}

}  // namespace

void exerciseGraphic(QLNGraphic &graphic) {
  const QRectF bounds = graphic.bounds();
  const QRectF drawing = graphic.drawingBounds();
  (void)graphic.xPosition();
  (void)graphic.yPosition();
  (void)graphic.width();
  (void)graphic.height();
  (void)graphic.canMakeNaturalSize();
  (void)graphic.keysForValuesToObserveForUndo();

  QImage image = blankImage();
  {
    QPainter painter(&image);
    prepare(painter);
    painter.scale(ViewZoom, ViewZoom);
    drawClipped(painter, graphic, false);
    graphic.drawHandlesInView(&painter, graphic.Is_Control_Locked());
  }
  // Scrolled to the object, as a person looking at it sees it, and while it is edited.
  if (finite(drawing.topLeft())) {
    QPainter painter(&image);
    prepare(painter);
    painter.scale(ViewZoom, ViewZoom);
    painter.translate(-drawing.topLeft());
    drawClipped(painter, graphic, false);
    drawClipped(painter, graphic, true);
    graphic.drawHandlesInView(&painter, false);
  }

  const QPointF points[] = {bounds.center(),     bounds.topLeft(),     bounds.topRight(),
                            bounds.bottomLeft(), bounds.bottomRight(), drawing.center(),
                            QPointF(bounds.center().x(), bounds.top()), QPointF(-7.5, 3.25)};
  for (const QPointF &point : points) {
    (void)graphic.isContentsUnderPoint(point);
    (void)graphic.handleUnderPoint(point);
  }
}

void editGraphic(QLNGraphic &graphic, int handle, const QPointF &target) {
  if (graphic.canMakeNaturalSize())
    graphic.makeNaturalSize();
  graphic.flipHorizontally();
  graphic.flipVertically();
  (void)graphic.resizeByMovingHandle(handle, target);
  (void)graphic.drawingBounds();
}

void measureGraphics(const QLNGraphicList &graphics) {
  (void)QLNGraphic::boundsOfGraphics(graphics);
  (void)QLNGraphic::drawingBoundsOfGraphics(graphics);
}

void drawSide(const Card_Property &side, const QSizeF &canvas, int cardShape, const QLNGraphicList &objects) {
  const QRectF rect(QPointF(0, 0), canvas);
  // Zoomed so that the whole canvas fits the image, as the zoom-to-fit view shows it.
  double zoom = ViewZoom;
  if (canvas.width() > 0 && canvas.height() > 0 && std::isfinite(canvas.width()) && std::isfinite(canvas.height()))
    zoom = std::min(ImageWidth / canvas.width(), ImageHeight / canvas.height());
  QImage image = blankImage();
  QPainter painter(&image);
  prepare(painter);
  painter.scale(zoom, zoom);
  painter.save();
  CardBase::drawCardBase(painter, rect, side, cardShape, Resource_Path, rect);
  painter.restore();
  for (qsizetype i = objects.size() - 1; i >= 0; --i) {
    const QLNGraphicPtr &graphic = objects.at(i);
    if (graphic && graphic->drawingBounds().intersects(rect))
      drawClipped(painter, *graphic, false);
  }
}

// ---- Writing again --------------------------------------------------------------------------

QLNGraphicPtr rereadGraphic(const QLNGraphic &graphic, const QString &context) {
  QString error;
  const QByteArray archive = archiveGraphic(graphic, &error);
  if (archive.isEmpty())
    fail(QStringLiteral("%1: the card object cannot be archived").arg(context), error);
  QLNGraphicPtr reread = unarchiveGraphic(archive, &error);
  if (!reread)
    fail(QStringLiteral("%1: the archive the program wrote does not read back").arg(context), error);
  const QString difference = differenceBetween(graphic, *reread);
  if (!difference.isEmpty())
    fail(QStringLiteral("%1: the card object changed on its way through its archive").arg(context), difference);
  return reread;
}

DesignLogContents resaveDesign(const DesignLogContents &contents, const QString &context) {
  QString error;
  const QByteArray bytes = writeDesignLog(contents, &error);
  if (bytes.isEmpty())
    fail(QStringLiteral("%1: the design cannot be saved").arg(context), error);
  std::optional<DesignLogContents> reopened = readDesignLog(bytes, &error);
  if (!reopened)
    fail(QStringLiteral("%1: the saved design does not open again").arg(context), error);
  return std::move(*reopened);
}

// ---- Comparing --------------------------------------------------------------------------------

namespace {

QString num(double value) {
  if (std::isnan(value))
    return QStringLiteral("nan");
  if (value == 0)
    return QStringLiteral("0");   // -0 and 0 are the same number
  return QString::number(value, 'g', 17);
}

QString rect(const QRectF &r) {
  return QStringLiteral("%1 %2 %3 %4").arg(num(r.x()), num(r.y()), num(r.width()), num(r.height()));
}

QString color(const QColor &c) {
  if (!c.isValid())
    return QStringLiteral("none");
  const QRgba64 v = c.rgba64();
  return QStringLiteral("model %1: %2 %3 %4 %5")
      .arg(int(c.spec()))
      .arg(v.red())
      .arg(v.green())
      .arg(v.blue())
      .arg(v.alpha());
}

QString font(const std::optional<FontSpec> &f) {
  if (!f)
    return QStringLiteral("none");
  return QStringLiteral("\"%1\" %2").arg(f->postScriptName(), num(f->pointSize()));
}

QString font(const std::optional<ArchivedFont> &f) {
  if (!f)
    return QStringLiteral("none");
  return QStringLiteral("\"%1\" %2").arg(f->postScriptName, num(f->pointSize));
}

// A picture's sizes; its pixels are compared by pixelDifference(). A size in points
// without area means the pixel size, as the archive writer and the drawing take it.
QString picture(const PointImage &image) {
  if (image.isNull())
    return QStringLiteral("none");
  const QSizeF points = image.points.isEmpty() ? QSizeF(image.pixels.size()) : image.points;
  return QStringLiteral("%1x%2 px, %3 x %4 pt")
      .arg(image.pixels.width())
      .arg(image.pixels.height())
      .arg(num(points.width()), num(points.height()));
}

// Whether two pictures draw the same: their pixels premultiplied (the hidden colour of a
// transparent pixel counts for nothing), each channel within 2 of 255 (the rounding of
// converting between 8 and 16 bits and between premultiplied and straight alpha).
QString pixelDifference(const char *name, const PointImage &before, const PointImage &after) {
  if (before.isNull() || after.isNull() || before.pixels.size() != after.pixels.size())
    return QString();   // the description tells these apart
  const QImage a = before.pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage b = after.pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < a.height(); ++y) {
    const QRgb *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
    const QRgb *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      const int apart = std::max({std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                                  std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
      if (apart > 2)
        return QStringLiteral("%1: pixel (%2, %3) #%4 became #%5")
            .arg(QLatin1String(name))
            .arg(x)
            .arg(y)
            .arg(p[x], 8, 16, QLatin1Char('0'))
            .arg(q[x], 8, 16, QLatin1Char('0'));
    }
  }
  return QString();
}

QString attributes(const TextRun &run) {
  if (!run.font && !run.color && !run.kerning && !run.alignment)
    return QStringLiteral("none");   // a run without attributes is text without a run
  return QStringLiteral("font %1 colour %2 kern %3 align %4")
      .arg(font(run.font), run.color ? color(*run.color) : QStringLiteral("none"),
           run.kerning ? num(*run.kerning) : QStringLiteral("none"),
           run.alignment ? QString::number(*run.alignment) : QStringLiteral("none"));
}

// The attributes in effect at each character, as stretches "from-to: attributes"; the
// first run that covers a character gives its attributes, and characters no run covers
// have none. Equal texts draw the same, however their runs are cut.
QString text(const QLNTextStoragePtr &storage) {
  if (!storage)
    return QStringLiteral("none");
  const qsizetype length = storage->string.size();
  QString out = QStringLiteral("\"%1\"").arg(storage->string);
  std::vector<int> owner(size_t(length), -1);
  qint64 work = 0;
  for (qsizetype r = storage->runs.size() - 1; r >= 0; --r) {
    const TextRun &run = storage->runs.at(r);
    const qsizetype from = std::clamp<qsizetype>(run.start, 0, length);
    const qsizetype to = run.length > length - from ? length : from + std::max<qsizetype>(run.length, 0);
    work += to - from;
    if (work > 50'000'000)
      return out + QStringLiteral(" (too many runs to compare)");
    for (qsizetype i = from; i < to; ++i)
      owner[size_t(i)] = int(r);
  }
  // Stretches of one owner, then neighbours with equal attributes joined.
  struct Stretch {
    qsizetype from, to;
    QString attributes;
  };
  std::vector<Stretch> stretches;
  for (qsizetype i = 0; i < length;) {
    qsizetype j = i + 1;
    while (j < length && owner[size_t(j)] == owner[size_t(i)])
      ++j;
    const int r = owner[size_t(i)];
    QString here = r < 0 ? QStringLiteral("none") : attributes(storage->runs.at(r));
    if (!stretches.empty() && stretches.back().attributes == here)
      stretches.back().to = j;
    else
      stretches.push_back({i, j, std::move(here)});
    i = j;
  }
  for (const Stretch &s : stretches)
    out += QStringLiteral(" [%1-%2: %3]").arg(s.from).arg(s.to).arg(s.attributes);
  return out;
}

}  // namespace

QStringList describeGraphic(const QLNGraphic &g) {
  QStringList d;
  auto add = [&d](const char *name, const QString &value) {
    d << QString::fromLatin1(name) + QLatin1Char('=') + value;
  };
  auto flag = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
  add("class", g.className());
  add("_bounds", rect(g._bounds));
  add("ctrl_is_locked", flag(g.ctrl_is_locked));
  add("_isDrawingFill", flag(g._isDrawingFill));
  add("_fillColor", color(g._fillColor));
  add("_isDrawingStroke", flag(g._isDrawingStroke));
  add("_strokeColor", color(g._strokeColor));
  add("_strokeWidth", num(g._strokeWidth));
  add("_stroke_border_type", g._stroke_border_type);
  add("_fill_type", g._fill_type);
  add("_fill_Grad_clr1", color(g._fill_Grad_clr1));
  add("_fill_Grad_clr2", color(g._fill_Grad_clr2));
  add("_fill_grad_angle", num(g._fill_grad_angle));
  add("_fill_htch_clr", color(g._fill_htch_clr));
  add("_fill_hatch_type", g._fill_hatch_type);
  add("_isFlippedHorizontally", flag(g._isFlippedHorizontally));
  add("_isFlippedVertically", flag(g._isFlippedVertically));
  add("invert_clr", flag(g.invert_clr));
  add("gray_Scale", flag(g.gray_Scale));
  add("Sepia", flag(g.Sepia));
  add("img_trnsp_val", num(g.img_trnsp_val));
  add("hue_val", num(g.hue_val));
  add("sat_val", num(g.sat_val));
  add("brt_val", num(g.brt_val));
  add("con_val", num(g.con_val));
  add("srp_val", num(g.srp_val));
  add("ev_val", num(g.ev_val));
  add("blr_val", num(g.blr_val));
  add("data_source_type", QString::number(g.data_source_type));
  add("rotate_image", num(g.rotate_image));
  add("_file_path", g._file_path);
  add("sign_or_fingureprint", g.sign_or_fingureprint);
  add("batch_list_name", g.batch_list_name);
  add("batch_list_index", QString::number(g.batch_list_index));
  add("_line_ori", QString::number(g._line_ori));
  add("_line_cap_style", QString::number(g._line_cap_style));
  add("alpha_val", num(g.alpha_val));
  add("alpha_val_stroke", num(g.alpha_val_stroke));
  add("text_ctrl_font", font(g.text_ctrl_font));
  add("txt_clr", color(g.txt_clr));
  add("_Text_contents", text(g._Text_contents));
  add("_shape_type", g._shape_type);
  add("cor_rad_val_val", num(g.cor_rad_val_val));
  add("_barcode_image", picture(g._barcode_image));
  add("linear_or_2d", QString::number(g.linear_or_2d));
  add("barcode_font_index", QString::number(g.barcode_font_index));
  add("linear_font_val", g.linear_font_val);
  add("two_d_font_val", g.two_d_font_val);
  add("header_val", g.header_val);
  add("footer_val", g.footer_val);
  add("show_hide_hdr", QString::number(g.show_hide_hdr));
  add("show_hide_ftr", QString::number(g.show_hide_ftr));
  add("show_hide_val", QString::number(g.show_hide_val));
  add("show_val_on_top", QString::number(g.show_val_on_top));
  add("align_hdr_index", QString::number(g.align_hdr_index));
  add("align_ftr_index", QString::number(g.align_ftr_index));
  add("linear_height_val", num(g.linear_height_val));
  add("linear_width_val", num(g.linear_width_val));
  add("qr_size_val", QString::number(g.qr_size_val));
  add("qr_version_index", QString::number(g.qr_version_index));
  add("qr_ec_index", QString::number(g.qr_ec_index));
  add("pdf_hgt_val", QString::number(g.pdf_hgt_val));
  add("pdf_wdt_val", QString::number(g.pdf_wdt_val));
  add("pdf_ec_val", QString::number(g.pdf_ec_val));
  add("dm_module_val", QString::number(g.dm_module_val));
  add("dm_format_index", QString::number(g.dm_format_index));
  add("dm_encoding_index", QString::number(g.dm_encoding_index));
  add("hdr_margin_val", num(g.hdr_margin_val));
  add("ftr_margin_val", num(g.ftr_margin_val));
  add("val_margin_val", num(g.val_margin_val));
  add("TB_marging_val", num(g.TB_marging_val));
  add("LR_margin_val", num(g.LR_margin_val));
  add("value_font_val", font(g.value_font_val));
  add("header_font_val", font(g.header_font_val));
  add("footer_font_val", font(g.footer_font_val));
  add("barcode_hdr_clr_val", color(g.barcode_hdr_clr_val));
  add("barcode_ftr_clr_val", color(g.barcode_ftr_clr_val));
  add("barcode_val_clr_val", color(g.barcode_val_clr_val));
  add("barcode_back_clr_val", color(g.barcode_back_clr_val));
  add("barcode_clr_val", color(g.barcode_clr_val));
  add("dpi_val_index", QString::number(g.dpi_val_index));
  add("dpi_custom_val", g.dpi_custom_val);
  add("barcode_unit_val", QString::number(g.barcode_unit_val));
  add("text_alignmnet", QString::number(g.text_alignmnet));
  add("text_transfrom_case", QString::number(g.text_transfrom_case));
  add("text_kerning", num(g.text_kerning));
  add("print_object", QString::number(g.print_object));
  add("control_ID", g.control_ID);
  add("excel_binding", flag(g.excel_binding));
  add("excel_col_indx", QString::number(g.excel_col_indx));
  add("Text_Value", g.Text_Value);
  add("ctrl_is_visible", flag(g.ctrl_is_visible));
  add("double_star_type", QString::number(g.double_star_type));
  add("polygon_type", QString::number(g.polygon_type));
  if (const auto *line = dynamic_cast<const QLNLine *>(&g)) {
    add("_pointsRight", flag(line->_pointsRight));
    add("_pointsDown", flag(line->_pointsDown));
  }
  return d;
}

QStringList describeSide(const Card_Property &s, bool withPicture) {
  QStringList d;
  auto add = [&d](const char *name, const QString &value) {
    d << QString::fromLatin1(name) + QLatin1Char('=') + value;
  };
  auto flag = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
  add("Card_border_chk", flag(s.Card_border_chk()));
  add("Card_fill_chk", flag(s.Card_fill_chk()));
  add("Card_bor_Stepper", QString::number(s.Card_bor_Stepper()));
  add("Card_grad_Stepper", QString::number(s.Card_grad_Stepper()));
  add("Card_Cat_index", QString::number(s.Card_Cat_index()));
  add("Card_alpha_Stepper", num(s.Card_alpha_Stepper()));
  add("Card_bordr_clr", color(s.Card_bordr_clr()));
  add("Card_fill_clr", color(s.Card_fill_clr()));
  add("Card_fill_Grd_1_clr", color(s.Card_fill_Grd_1_clr()));
  add("Card_fill_Grd_2_clr", color(s.Card_fill_Grd_2_clr()));
  add("Card_hatch_bk_clr", color(s.Card_hatch_bk_clr()));
  add("Card_border_style", s.Card_border_style());
  add("Card_fill_style", s.Card_fill_style());
  add("Card_hatch_style", s.Card_hatch_style());
  add("Card_Side", s.Card_Side());
  add("Card_Side_Name", s.Card_Side_Name());
  add("Card_Shape", s.Card_Shape());
  add("Card_Name", s.Card_Name());
  add("Card_Preset", s.Card_Preset());
  add("Card_Category", s.Card_Category());
  add("Card_Sub_Category", s.Card_Sub_Category());
  add("Card_Create_Mode", s.Card_Create_Mode());
  add("Card_BG_Image_Path", s.Card_BG_Image_Path());
  add("Card_BG_Image_Layout", s.Card_BG_Image_Layout());
  if (withPicture)
    add("Card_BG_Image", picture(s.Card_BG_Image()));
  add("Card_Location", QStringLiteral("%1 %2").arg(num(s.Card_Location().x()), num(s.Card_Location().y())));
  add("Card_Size", QStringLiteral("%1 %2").arg(num(s.Card_Size().width()), num(s.Card_Size().height())));
  add("Card_Content_clr", color(s.Card_Content_clr()));
  add("Card_Content_font", font(s.Card_Content_font()));
  return d;
}

QString differenceBetween(const QLNGraphic &before, const QLNGraphic &after) {
  const QStringList a = describeGraphic(before);
  const QStringList b = describeGraphic(after);
  if (a != b)
    return firstDifference(a, b);
  return pixelDifference("_barcode_image", before._barcode_image, after._barcode_image);
}

QString differenceBetween(const Card_Property &before, const Card_Property &after, bool withPicture) {
  const QStringList a = describeSide(before, withPicture);
  const QStringList b = describeSide(after, withPicture);
  if (a != b)
    return firstDifference(a, b);
  return withPicture ? pixelDifference("Card_BG_Image", before.Card_BG_Image(), after.Card_BG_Image()) : QString();
}

QString firstDifference(const QStringList &before, const QStringList &after) {
  const qsizetype n = std::max(before.size(), after.size());
  for (qsizetype i = 0; i < n; ++i) {
    const QString a = i < before.size() ? before.at(i) : QStringLiteral("(nothing)");
    const QString b = i < after.size() ? after.at(i) : QStringLiteral("(nothing)");
    if (a != b)
      return QStringLiteral("before: %1 | after: %2").arg(shortened(a), shortened(b));
  }
  return QString();
}

namespace {

bool sameReal(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool samePlist(const PlistValue &a, const PlistValue &b, bool wholeSecondDates, const QString &path,
               QString *where) {
  auto differ = [&](const QString &why) {
    if (where)
      *where = QStringLiteral("%1: %2").arg(path.isEmpty() ? QStringLiteral("root") : path, why);
    return false;
  };
  using T = PlistValue::Type;
  if (a.type() != b.type())
    return differ(QStringLiteral("type %1 became %2").arg(int(a.type())).arg(int(b.type())));
  switch (a.type()) {
  case T::Invalid:
    return true;
  case T::String:
    return a.toString() == b.toString() ||
           differ(QStringLiteral("\"%1\" became \"%2\"").arg(shortened(a.toString(), 120),
                                                             shortened(b.toString(), 120)));
  case T::Integer:
    if (a.isUnsignedAboveInt64() != b.isUnsignedAboveInt64() ||
        (a.isUnsignedAboveInt64() ? a.toUnsigned() != b.toUnsigned() : a.toInt() != b.toInt()))
      return differ(QStringLiteral("integer %1 became %2")
                        .arg(a.isUnsignedAboveInt64() ? QString::number(a.toUnsigned()) : QString::number(a.toInt()),
                             b.isUnsignedAboveInt64() ? QString::number(b.toUnsigned()) : QString::number(b.toInt())));
    return true;
  case T::Real:
    return sameReal(a.toReal(), b.toReal()) ||
           differ(QStringLiteral("real %1 became %2").arg(num(a.toReal()), num(b.toReal())));
  case T::Bool:
    return a.toBool() == b.toBool() || differ(QStringLiteral("boolean changed"));
  case T::Data:
    return a.toData() == b.toData() ||
           differ(QStringLiteral("data of %1 bytes became %2 bytes").arg(a.toData().size()).arg(b.toData().size()));
  case T::Date: {
    const QDateTime x = a.toDate(), y = b.toDate();
    if (x.isValid() != y.isValid())
      return differ(QStringLiteral("date validity changed"));
    if (!x.isValid())
      return true;
    const qint64 apart = std::llabs(x.toMSecsSinceEpoch() - y.toMSecsSinceEpoch());
    if (apart == 0 || (wholeSecondDates && apart < 1000))
      return true;
    return differ(QStringLiteral("date %1 became %2")
                      .arg(x.toString(Qt::ISODateWithMs), y.toString(Qt::ISODateWithMs)));
  }
  case T::Uid:
    return a.toUid() == b.toUid() || differ(QStringLiteral("UID %1 became %2").arg(a.toUid()).arg(b.toUid()));
  case T::Array:
    if (a.size() != b.size())
      return differ(QStringLiteral("array of %1 items became %2 items").arg(a.size()).arg(b.size()));
    for (qsizetype i = 0; i < a.size(); ++i)
      if (!samePlist(a.at(i), b.at(i), wholeSecondDates, path + QStringLiteral("[%1]").arg(i), where))
        return false;
    return true;
  case T::Dict:
    if (a.keys() != b.keys()) {
      for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a.keys().at(i) != b.keys().at(i))
          return differ(QStringLiteral("key %1 \"%2\" became \"%3\"")
                            .arg(i)
                            .arg(shortened(a.keys().at(i), 120), shortened(b.keys().at(i), 120)));
      return differ(QStringLiteral("%1 keys became %2 keys").arg(a.size()).arg(b.size()));
    }
    for (qsizetype i = 0; i < a.size(); ++i)
      if (!samePlist(a.items()[size_t(i)], b.items()[size_t(i)], wholeSecondDates,
                     path + QStringLiteral("/%1").arg(shortened(a.keys().at(i), 60)), where))
        return false;
    return true;
  }
  return differ(QStringLiteral("unknown type"));
}

}  // namespace

QString xmlSafe(const QString &text) {
  QString out = text;
  for (qsizetype i = 0; i < out.size(); ++i) {
    const char16_t u = out.at(i).unicode();
    bool bad = (u < 0x20 && u != 0x09 && u != 0x0a && u != 0x0d) || u == 0xfffe || u == 0xffff;
    if (QChar::isHighSurrogate(u)) {
      if (i + 1 < out.size() && QChar::isLowSurrogate(out.at(i + 1).unicode()))
        ++i;   // a pair: one character
      else
        bad = true;
    } else if (QChar::isLowSurrogate(u)) {
      bad = true;   // not after a high surrogate
    }
    if (bad)
      out[i] = QChar(0xfffd);
  }
  return out;
}

PlistValue xmlSafe(const PlistValue &value) {
  switch (value.type()) {
  case PlistValue::Type::String:
    return PlistValue(xmlSafe(value.toString()));
  case PlistValue::Type::Array: {
    std::vector<PlistValue> items;
    for (const PlistValue &item : value.items())
      items.push_back(xmlSafe(item));
    return PlistValue::array(std::move(items));
  }
  case PlistValue::Type::Dict: {
    PlistValue dict = PlistValue::dict();
    for (qsizetype i = 0; i < value.size(); ++i)
      dict.insert(xmlSafe(value.keys().at(i)), xmlSafe(value.items()[size_t(i)]));
    return dict;
  }
  default:
    return value;
  }
}

bool samePropertyList(const PlistValue &a, const PlistValue &b, bool wholeSecondDates, QString *where) {
  return samePlist(a, b, wholeSecondDates, QString(), where);
}

}  // namespace fuzz
