// Makes the built-in templates shipped in resources/Templates: each one a design log
// written by the program's own writer and the preview the program's own renderer draws
// of it, so that they open exactly as templates a user saved.
//
// The designs are made here from card settings and text objects; nothing is taken from
// elsewhere.
//
// Usage: amends_make_templates <resources folder>/Templates

#include "designs/Templates.h"
#include "designs/model/DesignLog.h"

#include "canvas/RenderSide.h"

#include "core/Globals.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include "platform/Fonts.h"
#include "platform/Images.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

// The standard card canvas, points.
const QSizeF CardSize(243, 154);

struct TemplateText {
  QString text;
  QRectF bounds;
  QString font;
  double size;
  QColor colour;
};

QLNGraphicPtr makeText(const TemplateText &wanted) {
  auto text = std::make_shared<QLNText>();
  text->Text_Value = wanted.text;
  text->_bounds = wanted.bounds;
  text->text_ctrl_font = FontSpec(wanted.font, wanted.size);
  text->txt_clr = wanted.colour;
  text->text_alignmnet = 2;  // centred
  text->_isDrawingFill = false;
  text->_isDrawingStroke = false;
  const QLNTextStoragePtr storage = text->Text_contents();
  for (TextRun &run : storage->runs) {
    run.font = ArchivedFont{wanted.font, wanted.size};
    run.color = wanted.colour;
  }
  return text;
}

QLNGraphicPtr makeShape(const QString &type, const QRectF &bounds, const QColor &fill) {
  auto shape = std::make_shared<Shape_Control>();
  shape->Set_Shape_Type(type);
  shape->_bounds = bounds;
  shape->_isDrawingFill = true;
  shape->_fillColor = fill;
  shape->alpha_val = 1.0f;
  shape->_isDrawingStroke = false;
  return shape;
}

// A side with a border, filled with a solid colour or a two-colour gradient.
Card_Property side(const QString &name, const QColor &border, const QColor &fill, const QColor &gradientEnd = {}) {
  Card_Property card;
  resetCardPropertyForNewProject(card, FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14), Qt::black);
  card.setCard_Side_Name(name);
  card.setCard_Size(CardSize);
  card.setCard_Shape(QStringLiteral("R"));
  card.setCard_bordr_clr(border);
  card.setCard_bor_Stepper(2);
  card.setCard_fill_chk(true);
  card.setCard_alpha_Stepper(100.0f);
  if (gradientEnd.isValid()) {
    card.setCard_fill_style(QStringLiteral("G"));
    card.setCard_fill_Grd_1_clr(fill);
    card.setCard_fill_Grd_2_clr(gradientEnd);
    card.setCard_grad_Stepper(90);
  } else {
    card.setCard_fill_style(QStringLiteral("S"));
    card.setCard_fill_clr(fill);
  }
  return card;
}

bool writeTemplate(const QString &folder, const QString &name, const DesignLogContents &design) {
  QString error;
  const QByteArray bytes = writeDesignLog(design, &error);
  if (bytes.isEmpty() || !readDesignLog(bytes, &error)) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(error));
    return false;
  }
  CardSideSnapshot sides[2];
  for (int i = 0; i < 2; ++i) {
    sides[i].side = i;
    sides[i].canvasSize = CardSize;
    sides[i].graphics = Render::copyGraphicsForRendering(i == 0 ? design.frontObjects : design.backObjects);
    sides[i].settings = i == 0 ? design.front : design.back;
    sides[i].resourcePath = QFileInfo(folder).absolutePath();
  }
  const PointImage preview = Templates::previewOfSides(sides[0], sides[1], &error);
  if (preview.isNull() ||
      !Templates::writeTemplatePair(QDir(folder).filePath(name), bytes,
                                    pngData(preview.pixels, Templates::PreviewDpi), &error)) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(error));
    return false;
  }
  std::printf("%s\n", qPrintable(name));
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources>/Templates\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  const QString serif = QStringLiteral("TimesNewRomanPS-ItalicMT");
  const QString sans = QStringLiteral("ArialMT");
  const QString bold = QStringLiteral("Arial-BoldMT");
  bool ok = true;

  {
    DesignLogContents design;
    design.front = side(QStringLiteral("F"), QColor(170, 30, 60), QColor(255, 228, 235), QColor(250, 190, 205));
    design.back = side(QStringLiteral("B"), QColor(170, 30, 60), QColor(255, 240, 244));
    design.frontObjects = {
        makeText({QStringLiteral("I'm Sorry"), QRectF(20, 22, 203, 40), serif, 30, QColor(150, 20, 50)}),
        makeText({QStringLiteral("Please forgive me."), QRectF(20, 70, 203, 24), sans, 13, QColor(90, 30, 45)}),
        makeShape(QStringLiteral("C"), QRectF(111, 108, 20, 20), QColor(210, 40, 80)),
    };
    design.backObjects = {
        makeText({QStringLiteral("With love"), QRectF(20, 62, 203, 30), serif, 20, QColor(150, 20, 50)}),
    };
    ok &= writeTemplate(folder, QStringLiteral("Sorry Hearts"), design);
  }
  {
    DesignLogContents design;
    design.front = side(QStringLiteral("F"), QColor(30, 70, 130), QColor(220, 235, 250), QColor(170, 200, 235));
    design.back = side(QStringLiteral("B"), QColor(30, 70, 130), QColor(240, 246, 252));
    design.frontObjects = {
        makeText({QStringLiteral("My Apologies"), QRectF(15, 30, 213, 36), bold, 24, QColor(25, 55, 110)}),
        makeText({QStringLiteral("I was wrong, and I am sorry."), QRectF(15, 80, 213, 40), sans, 12,
                  QColor(40, 60, 90)}),
    };
    design.backObjects = {
        makeText({QStringLiteral("Let's talk soon."), QRectF(15, 62, 213, 30), sans, 14, QColor(25, 55, 110)}),
    };
    ok &= writeTemplate(folder, QStringLiteral("Calm Blue"), design);
  }
  {
    DesignLogContents design;
    design.front = side(QStringLiteral("F"), QColor(60, 110, 40), QColor(236, 246, 224));
    design.back = side(QStringLiteral("B"), QColor(60, 110, 40), QColor(246, 250, 240));
    design.frontObjects = {
        makeShape(QStringLiteral("S"), QRectF(16, 16, 26, 26), QColor(240, 190, 40)),
        makeShape(QStringLiteral("S"), QRectF(201, 112, 26, 26), QColor(240, 190, 40)),
        makeText({QStringLiteral("Oops!"), QRectF(20, 30, 203, 40), bold, 30, QColor(50, 100, 30)}),
        makeText({QStringLiteral("Sorry about that. Friends again?"), QRectF(30, 82, 183, 40), serif, 14,
                  QColor(60, 80, 40)}),
    };
    design.backObjects = {
        makeText({QStringLiteral("Your friend"), QRectF(20, 62, 203, 30), serif, 18, QColor(50, 100, 30)}),
    };
    ok &= writeTemplate(folder, QStringLiteral("Friends Again"), design);
  }
  return ok ? 0 : 1;
}
