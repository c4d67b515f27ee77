#include "mainwindow/DrawWindow.h"

#include "mainwindow/DrawWindow_Build.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include <cmath>

using namespace drawwindow;

namespace {

// ---- Pictures of the tools ------------------------------------------------------------------

QIcon toolIcon(int tool) {
  const int size = 28;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(52, 60, 78);
  const QColor fill(120, 160, 220);
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  const QRectF box(5, 7, 18, 14);
  auto star = [&](QPointF centre, double outer, double inner, int points) {
    QPolygonF polygon;
    for (int i = 0; i < points * 2; ++i) {
      const double angle = -M_PI / 2 + i * M_PI / points;
      const double radius = (i % 2) ? inner : outer;
      polygon << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return polygon;
  };
  switch (tool) {
  case 0: {  // arrow
    QPolygonF arrow{{9, 4}, {9, 22}, {13, 18}, {16, 25}, {19, 24}, {16, 17}, {21.5, 17}};
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
    break;
  }
  case 1:  // line
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 22), QPointF(22, 6));
    break;
  case 2: {  // text: a bold serif "T", drawn from its outline (loading a serif font for
             // this one picture would hold up the window's first showing)
    QPainterPath glyph(QPointF(10.2, 21));
    glyph.lineTo(10.2, 20.23);
    glyph.lineTo(12.28, 19.95);
    glyph.lineTo(12.28, 8.1);
    glyph.lineTo(11.78, 8.1);
    glyph.cubicTo(10.29, 8.1, 9.24, 8.18, 8.64, 8.32);
    glyph.lineTo(8.37, 10.91);
    glyph.lineTo(7.48, 10.91);
    glyph.lineTo(7.48, 7);
    glyph.lineTo(20.22, 7);
    glyph.lineTo(20.22, 10.91);
    glyph.lineTo(19.31, 10.91);
    glyph.lineTo(19.05, 8.32);
    glyph.cubicTo(18.5, 8.19, 17.44, 8.12, 15.84, 8.12);
    glyph.lineTo(15.37, 8.12);
    glyph.lineTo(15.37, 19.95);
    glyph.lineTo(17.45, 20.23);
    glyph.lineTo(17.45, 21);
    glyph.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(glyph);
    break;
  }
  case 3:
    p.drawRect(box);
    break;
  case 4:
    p.drawEllipse(QRectF(5, 6, 18, 16));
    break;
  case 5:
    p.drawRoundedRect(box, 4, 4);
    break;
  case 6:
    p.drawPolygon(QPolygonF{{14, 5}, {23, 22}, {5, 22}});
    break;
  case 7:
    p.drawPolygon(QPolygonF{{14, 4}, {24, 14}, {14, 24}, {4, 14}});
    break;
  case 8:
  case 9: {  // picture; the library shows a stack of pictures
    if (tool == 9) {
      p.setBrush(QColor(230, 234, 242));
      p.drawRect(QRectF(8, 4, 17, 13));
    }
    const QRectF frame = tool == 9 ? QRectF(3, 10, 17, 13) : QRectF(4, 6, 20, 16);
    p.setBrush(Qt::white);
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 150, 90));
    p.drawPolygon(QPolygonF{frame.bottomLeft() + QPointF(1, -1), frame.bottomLeft() + QPointF(7, -9),
                            frame.bottomLeft() + QPointF(12, -3), frame.bottomRight() + QPointF(-1, -1)});
    p.setBrush(QColor(235, 180, 60));
    p.drawEllipse(QPointF(frame.right() - 5, frame.top() + 4.5), 2.2, 2.2);
    break;
  }
  case 10: {  // barcode
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double widths[] = {1.5, 1, 2.5, 1, 1, 2, 1, 2.5, 1, 1.5};
    double x = 5;
    for (int i = 0; i < 10; ++i) {
      if (i % 2 == 0)
        p.drawRect(QRectF(x, 6, widths[i], 16));
      x += widths[i] + 0.6;
    }
    break;
  }
  case 11: {  // signature
    QPainterPath path(QPointF(4, 19));
    path.cubicTo(QPointF(7, 4), QPointF(10, 4), QPointF(10, 17));
    path.cubicTo(QPointF(11, 24), QPointF(15, 8), QPointF(17, 15));
    path.cubicTo(QPointF(18, 20), QPointF(21, 14), QPointF(24, 16));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.drawLine(QPointF(4, 23), QPointF(24, 23));
    break;
  }
  case 12: {  // fingerprint
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.2));
    for (int ring = 0; ring < 4; ++ring) {
      const double r = 2.5 + ring * 2.6;
      p.drawArc(QRectF(14 - r, 15 - r * 1.15, 2 * r, 2 * r * 1.15), 200 * 16, 320 * 16);
    }
    break;
  }
  case 13:
    p.drawPolygon(star(QPointF(14, 15), 10, 4.2, 5));
    break;
  case 14:
    p.drawPolygon(star(QPointF(14, 14), 10.5, 5.5, 8));
    break;
  case 15: {
    QPolygonF hexagon;
    for (int i = 0; i < 6; ++i)
      hexagon << QPointF(14 + 10 * std::cos(i * M_PI / 3), 14 + 10 * std::sin(i * M_PI / 3));
    p.drawPolygon(hexagon);
    break;
  }
  default:
    break;
  }
  p.end();
  return QIcon(pixmap);
}

// What each tool is called and what it does, in tool id order. The buttons show only
// their pictures, so these are what a screen reader and the pointer's tip tell.
struct ToolDescription {
  const char *name;
  const char *tip;
};
const ToolDescription Tools[16] = {
    {"Selection tool", "Select, move and resize objects"},
    {"Line tool", "Place a line"},
    {"Text tool", "Place a text"},
    {"Rectangle tool", "Place a rectangle"},
    {"Ellipse tool", "Place an ellipse"},
    {"Rounded rectangle tool", "Place a rounded rectangle"},
    {"Triangle tool", "Place a triangle"},
    {"Diamond tool", "Place a diamond"},
    {"Picture tool", "Place a picture from a file"},
    {"Picture library tool", "Place a picture from the image library"},
    {"Barcode tool", "Place a barcode"},
    {"Signature tool", "Place a signature"},
    {"Fingerprint tool", "Place a fingerprint"},
    {"Star tool", "Place a star"},
    {"Double star tool", "Place a double star"},
    {"Polygon tool", "Place a polygon"},
};

}  // namespace

// Two columns of eight tools.
void DrawWindow::buildToolColumn(QHBoxLayout *columns) {
  auto *tools = new QFrame;
  tools->setObjectName(QStringLiteral("tool_column"));
  tools->setFrameShape(QFrame::StyledPanel);
  tools->setAutoFillBackground(true);
  {
    QPalette palette = tools->palette();
    palette.setColor(QPalette::Window, ToolGround);
    tools->setPalette(palette);
  }
  auto *toolLayout = new QGridLayout(tools);
  toolLayout->setContentsMargins(5, 8, 5, 8);
  toolLayout->setSpacing(3);
  auto *toolsTitle = new QLabel(QStringLiteral("Tools"));
  toolsTitle->setAlignment(Qt::AlignCenter);
  {
    QFont font = toolsTitle->font();
    font.setBold(true);
    toolsTitle->setFont(font);
  }
  toolLayout->addWidget(toolsTitle, 0, 0, 1, 2);
  MAKE(toolGroup, window);
  toolGroup->setExclusive(true);
  MAKE(Arrow_Tool_btn);
  MAKE(Line_Tool_btn);
  MAKE(Text_Tool_btn);
  MAKE(Rect_Tool_btn);
  MAKE(Circle_Tool_btn);
  MAKE(Round_Rect_Tool_btn);
  MAKE(Triangle_Tool_btn);
  MAKE(Diamond_Tool_btn);
  MAKE(Image_Tool_btn);
  MAKE(Image_Library_Tool_btn);
  MAKE(Barcode_Tool_btn);
  MAKE(Signature_Tool_btn);
  MAKE(Fingure_Print_Tool_btn);
  MAKE(Star_Tool_btn);
  MAKE(Double_Star_Tool_btn);
  MAKE(Polygon_Tool_btn);
  const auto buttons = toolButtons();
  for (int tool = 0; tool < 16; ++tool) {
    QToolButton *button = buttons[tool];
    button->setIcon(toolIcon(tool));
    button->setIconSize(QSize(28, 28));
    button->setFixedSize(38, 38);
    button->setCheckable(true);
    button->setAutoRaise(true);
    describe(button, Tools[tool].name, Tools[tool].tip);
    toolGroup->addButton(button, tool);
    toolLayout->addWidget(button, 1 + tool / 2, tool % 2);
  }
  Arrow_Tool_btn->setChecked(true);
  toolLayout->setRowStretch(9, 1);
  columns->addWidget(tools, 0);
}
