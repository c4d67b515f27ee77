// The object factory of the canvas: where new objects go (the cascade, given
// rectangles, the grid), what each tool makes, the invitation text settings, undo (one
// step per creation, none for a discarded one on either side), and finding and
// updating objects by control id.

#include "tests/canvas/canvas_fixture.h"

#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "tests/common/TestSupport.h"

#include <QImage>
#include <QTemporaryDir>

namespace {

const QString kFront = QStringLiteral("F");
const QString kBack = QStringLiteral("B");

PointImage picture(int w, int h, const QColor &colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return PointImage{image, QSizeF(w, h)};
}

// Writes a picture file at 72 dots per inch: its size in points is its size in pixels.
bool savePicture(const QString &path, int w, int h, const QColor &colour) {
  return writePng(path, picture(w, h, colour).pixels, 72.0);
}

}  // namespace

// ---- Placement -------------------------------------------------------------------------

TEST_F(CanvasTest, TenDefaultCreationsFollowTheCascade) {
  host.tool = 3;
  for (int i = 0; i < 10; ++i)
    front.createGraphicOfClass(QStringLiteral("Shape_Control"), std::nullopt, false, QRectF(), kFront, {}, {});

  const QLNGraphicList list = document.graphics();
  ASSERT_EQ(list.size(), 10);
  const QPointF expected[] = {{30, 30},  {50, 50},  {70, 70},  {90, 90},  {110, 10},
                              {130, 30}, {150, 50}, {170, 70}, {190, 90}, {10, 10}};
  for (int i = 0; i < 10; ++i) {
    const QLNGraphicPtr &made = list.at(9 - i);  // each new object goes to the front
    EXPECT_EQ(made->bounds(), QRectF(expected[i], QSizeF(50, 50))) << "creation " << i;
    EXPECT_EQ(made->Get_shape_type(), QStringLiteral("R"));
  }
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  EXPECT_EQ(front.Selected_Graphic(), list.at(0));
  EXPECT_EQ(front.creatingGraphic(), nullptr);

  // One undo step per creation: undo takes back the newest only.
  EXPECT_EQ(document.undoManager()->undoCount(), 10);
  document.undoManager()->undo();
  EXPECT_EQ(document.graphics().size(), 9);
  EXPECT_EQ(document.graphics().at(0), list.at(1));
}

TEST_F(CanvasTest, GivenRectangleKeepsItsOriginOnlyWithAControlId) {
  host.tool = 2;
  front.createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, true, QRectF(100, 60, 80, 30), kFront, {},
                             QStringLiteral("PARTY_TO"));
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(100, 60, 80, 30));
  EXPECT_EQ(document.graphics().at(0)->control_ID, QStringLiteral("PARTY_TO"));
  front.createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, true, QRectF(100, 60, 80, 30), kFront, {}, {});
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(30, 30, 80, 30)) << "a tool button goes to the cascade";
}

TEST_F(CanvasTest, GridSnapsBothCornersOfAPlacement) {
  QLNGrid grid;
  grid.setSpacing(9.0);
  grid.setConstraining(true);
  front.setGrid(&grid);
  host.tool = 3;
  // The cascade gives (30, 30) and the far corner (80, 80): the grid makes them
  // (27, 27) and (81, 81), so the 50-point square becomes 54 points.
  front.createGraphicOfClass(QStringLiteral("Shape_Control"), std::nullopt, false, QRectF(), kFront, {}, {});
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(27, 27, 54, 54));
  // A click snaps its point.
  front.setCreationSizingDrag([](const QLNGraphicPtr &graphic, int handle, const QPointF &start) {
    graphic->resizeByMovingHandle(handle, start + QPointF(20, 20));
  });
  front.createGraphicOfClass(QStringLiteral("Shape_Control"), QPointF(40, 41), false, QRectF(), kFront, {}, {});
  EXPECT_EQ(document.graphics().at(0)->bounds().topLeft(), QPointF(36, 45));
  front.setGrid(nullptr);
}

// ---- Discarded creations ------------------------------------------------------------------

TEST_F(CanvasTest, ClickWithoutDragOnTheFrontLeavesNoTrace) {
  auto earlier = box(QRectF(10, 10, 30, 30), Qt::red);
  document.insertGraphics({earlier}, {0});
  endTurn();
  front.changeSelectionIndexes({0});
  front.setSelected_Graphic(earlier);
  ASSERT_EQ(document.undoManager()->undoCount(), 1);

  host.tool = 3;
  front.createGraphicOfClass(QStringLiteral("Shape_Control"), QPointF(120, 80), false, QRectF(), kFront, {}, {});
  endTurn();
  EXPECT_EQ(document.graphics(), QLNGraphicList{earlier});
  EXPECT_EQ(document.undoManager()->undoCount(), 1);
  EXPECT_EQ(document.undoManager()->redoCount(), 0);
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  EXPECT_EQ(front.Selected_Graphic(), nullptr);
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());

  // The history is the one from before: its one step takes the earlier object away.
  document.undoManager()->undo();
  EXPECT_TRUE(document.graphics().isEmpty());
}

TEST_F(CanvasTest, ClickWithoutDragOnTheBackKeepsTheFrontHistory) {
  // The back side records no undo: undoing the creation's step there would take back
  // the last front-side change instead.
  auto earlier = box(QRectF(10, 10, 30, 30), Qt::red);
  document.insertGraphics({earlier}, {0});
  endTurn();
  auto onBack = box(QRectF(60, 60, 30, 30), Qt::blue);
  document.insertIntoList(QLNDocumentGraphicsKey_back, {onBack}, {0});

  Card_Front_Or_Back = 1;
  host.tool = 4;
  back.createGraphicOfClass(QStringLiteral("Shape_Control"), QPointF(120, 80), false, QRectF(), kBack, {}, {});
  endTurn();
  EXPECT_EQ(document.graphics_back(), QLNGraphicList{onBack});
  EXPECT_EQ(document.graphics(), QLNGraphicList{earlier});
  EXPECT_EQ(document.undoManager()->undoCount(), 1);
  EXPECT_EQ(document.undoManager()->redoCount(), 0);
  EXPECT_EQ(back.Selected_Graphic(), nullptr);

  // A kept creation on the back is no undo step either.
  back.createGraphicOfClass(QStringLiteral("Shape_Control"), std::nullopt, false, QRectF(), kBack, {}, {});
  endTurn();
  EXPECT_EQ(document.graphics_back().size(), 2);
  EXPECT_EQ(document.undoManager()->undoCount(), 1);
  EXPECT_EQ(document.graphics(), QLNGraphicList{earlier});
}

TEST_F(CanvasTest, ZeroRectangleCreatesNothing) {
  host.tool = 2;
  front.createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, true, QRectF(20, 20, 0, 0), kFront,
                             QStringLiteral("Dear"), QStringLiteral("PARTY_TO"));
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_EQ(document.undoManager()->undoCount(), 0);
}

// ---- Undo of a kept creation -------------------------------------------------------------------

TEST_F(CanvasTest, DraggedOutObjectIsOneUndoStepThatRedoBringsBackAsMade) {
  host.tool = 1;
  int drags = 0;
  front.setCreationSizingDrag([&](const QLNGraphicPtr &graphic, int handle, const QPointF &start) {
    ++drags;
    EXPECT_EQ(front.creatingGraphic(), graphic) << "drawn as being created while it is dragged out";
    EXPECT_EQ(handle, 2) << "a line's end point follows the pointer";
    graphic->resizeByMovingHandle(handle, start + QPointF(40, 30));
  });
  front.createGraphicOfClass(QStringLiteral("QLNLine"), QPointF(50, 40), false, QRectF(), kFront, {}, {});
  endTurn();
  ASSERT_EQ(drags, 1);
  ASSERT_EQ(document.graphics().size(), 1);
  const QLNGraphicPtr line = document.graphics().at(0);
  EXPECT_EQ(line->className(), QStringLiteral("QLNLine"));
  EXPECT_EQ(line->bounds(), QRectF(50, 40, 40, 30));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  EXPECT_EQ(front.Selected_Graphic(), line);
  EXPECT_EQ(document.undoManager()->undoCount(), 1);

  document.undoManager()->undo();
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_EQ(front.Selected_Graphic(), nullptr);
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  document.undoManager()->redo();
  ASSERT_EQ(document.graphics(), QLNGraphicList{line});
  EXPECT_EQ(line->bounds(), QRectF(50, 40, 40, 30)) << "redo brings the object back as it was made";
}

TEST_F(CanvasTest, CreationWhileUndoIsOffRecordsNothing) {
  // The design file reader and the start window place objects with undo off.
  host.tool = 2;
  document.Enable_Disable_Undo_Registraion(0);
  front.createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, false, QRectF(), kFront,
                             QStringLiteral("Sorry"), QStringLiteral("PARTY_TITLE"));
  document.Enable_Disable_Undo_Registraion(1);
  endTurn();
  EXPECT_EQ(document.graphics().size(), 1);
  EXPECT_EQ(document.undoManager()->undoCount(), 0);
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());
}

// ---- What the tools make ------------------------------------------------------------------------

TEST_F(CanvasTest, EachToolMakesItsKind) {
  struct Case {
    int tool;
    QString graphicClass;
    QString made;
    QString shape;  // the shape code, or "" to leave the record's own
  };
  const Case cases[] = {
      {1, "QLNLine", "QLNLine", ""},          {2, "QLNText", "QLNText", ""},
      {3, "Shape_Control", "Shape_Control", "R"}, {4, "Shape_Control", "Shape_Control", "C"},
      {5, "Shape_Control", "Shape_Control", "RR"}, {6, "Shape_Control", "Shape_Control", "T"},
      {7, "Shape_Control", "Shape_Control", "D"}, {13, "Shape_Control", "Shape_Control", "S"},
      {14, "Shape_Control", "Shape_Control", "DS"}, {15, "Shape_Control", "Shape_Control", "P"},
      {10, "QLNText", "QLNBarcode", ""},       {11, "QLNText", "QLNSignature", ""},
      {12, "QLNText", "QLNSignature", ""},
  };
  host.signatureSample = picture(30, 10, Qt::black);
  host.fingerprintSample = picture(12, 16, Qt::gray);
  for (const Case &c : cases) {
    host.tool = c.tool;
    front.createGraphicOfClass(c.graphicClass, std::nullopt, true, QRectF(0, 0, 60, 40), kFront, {}, {});
    const QLNGraphicPtr made = document.graphics().at(0);
    EXPECT_EQ(made->className(), c.made) << "tool " << c.tool;
    if (!c.shape.isEmpty()) {
      EXPECT_EQ(made->Get_shape_type(), c.shape) << "tool " << c.tool;
    }
    EXPECT_EQ(made->bounds().size(), QSizeF(60, 40)) << "the factory's rectangle wins, tool " << c.tool;
  }
  const QLNGraphicList list = document.graphics();
  auto *fingerprint = dynamic_cast<QLNSignature *>(list.at(0).get());
  auto *signature = dynamic_cast<QLNSignature *>(list.at(1).get());
  ASSERT_TRUE(fingerprint && signature);
  EXPECT_EQ(fingerprint->Sign_Or_FP_Val(), QStringLiteral("F"));
  EXPECT_EQ(fingerprint->_contents_img.points, QSizeF(12, 16));
  EXPECT_EQ(signature->Sign_Or_FP_Val(), QStringLiteral("S"));
  EXPECT_EQ(signature->_contents_img.points, QSizeF(30, 10));
}

TEST_F(CanvasTest, ImageToolFallsBackToThePlaceholderForAMissingFile) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("apology.png"));
  ASSERT_TRUE(savePicture(path, 40, 20, Qt::red));
  host.placeholder = picture(8, 8, Qt::gray);
  host.tool = 8;

  host.libraryImage = path;
  front.createGraphicOfClass(QStringLiteral("QLNImage"), std::nullopt, false, QRectF(), kFront, {}, {});
  auto *image = dynamic_cast<QLNImage *>(document.graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->_contents.points, QSizeF(40, 20));
  EXPECT_EQ(image->FilePath(), path);
  EXPECT_EQ(image->bounds(), QRectF(30, 30, 50, 50));

  host.libraryImage = folder.filePath(QStringLiteral("gone.png"));
  front.createGraphicOfClass(QStringLiteral("QLNImage"), std::nullopt, false, QRectF(), kFront, {}, {});
  image = dynamic_cast<QLNImage *>(document.graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->_contents.points, QSizeF(8, 8)) << "the placeholder shows";
  EXPECT_EQ(image->bounds(), QRectF(50, 50, 50, 50));
}

// ---- Invitation texts ---------------------------------------------------------------------------

TEST_F(CanvasTest, InvitationFieldsGetTheirTemplateSettingsOnlyWithAValue) {
  host.tool = 2;
  struct Case {
    QString id;
    int alignment;
    QString font;  // "" for the default font
  };
  const Case cases[] = {
      {"PARTY_TITLE", 2, "TimesNewRomanPS-BoldItalicMT"},
      {"PARTY_MARRINGE_INFO", 2, "TimesNewRomanPS-BoldItalicMT"},
      {"PARTY_DATE", 2, ""},
      {"PARTY_VENUE", 2, ""},
      {"PARTY_FROM", 1, ""},
      {"PARTY_MSG", 0, ""},
      {"Fup_Name", 0, ""},
  };
  const FontSpec defaultFont = host.All_Text_font();
  for (const Case &c : cases) {
    front.createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, true, QRectF(10, 10, 200, 30), kFront,
                               QStringLiteral("We are sorry"), c.id);
    const QLNGraphicPtr text = document.graphics().at(0);
    EXPECT_EQ(text->text_alignmnet, c.alignment) << c.id.toStdString();
    ASSERT_TRUE(text->text_ctrl_font.has_value());
    EXPECT_EQ(text->text_ctrl_font->postScriptName(), c.font.isEmpty() ? defaultFont.postScriptName() : c.font)
        << c.id.toStdString();
    EXPECT_EQ(text->text_ctrl_font->pointSize(), c.font.isEmpty() ? defaultFont.pointSize() : 18.0) << c.id.toStdString();
    EXPECT_EQ(text->Text_contents()->string, QStringLiteral("We are sorry")) << c.id.toStdString();
    EXPECT_FALSE(text->_isDrawingFill) << c.id.toStdString();
    EXPECT_FALSE(text->_isDrawingStroke) << c.id.toStdString();
  }

  // Without a value nothing of the template applies.
  front.createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, true, QRectF(10, 10, 200, 30), kFront, {},
                             QStringLiteral("PARTY_TITLE"));
  const QLNGraphicPtr empty = document.graphics().at(0);
  EXPECT_EQ(empty->text_alignmnet, 0);
  EXPECT_EQ(empty->text_ctrl_font->postScriptName(), defaultFont.postScriptName());
  EXPECT_TRUE(empty->_isDrawingFill);
  EXPECT_TRUE(empty->_isDrawingStroke);
  EXPECT_EQ(empty->control_ID, QStringLiteral("PARTY_TITLE"));
}

// ---- Replacement by control id -------------------------------------------------------------------

TEST_F(CanvasTest, ReplacementUpdatesTheFieldInPlaceOrPlacesItAnew) {
  host.tool = 2;
  auto name = std::make_shared<QLNText>();
  name->control_ID = QStringLiteral("Fup_Name");
  name->Text_Value = QStringLiteral("Ann");
  name->_bounds = QRectF(70, 40, 90, 20);
  name->ctrl_is_visible = false;
  auto shape = box(QRectF(0, 0, 10, 10), Qt::red);
  shape->control_ID = QStringLiteral("Fup_Name");  // not a text or image: never found
  document.insertGraphics({shape, name}, {0, 1});
  endTurn();
  const int steps = document.undoManager()->undoCount();

  EXPECT_EQ(front.Selcect_Ctrl_With_ID(QStringLiteral("Fup_Name")), name);
  EXPECT_EQ(front.Selcect_Ctrl_With_ID(QStringLiteral("Fup_Mail")), nullptr);

  bool dragged = false;
  front.setCreationSizingDrag([&](const QLNGraphicPtr &, int, const QPointF &) { dragged = true; });
  front.ReplaceGraphicText(QStringLiteral("QLNText"), QPointF(5, 5), false, QRectF(), kFront,
                           QStringLiteral("Bob Smith"), QStringLiteral("Fup_Name"));
  EXPECT_EQ(document.graphics().size(), 2);
  EXPECT_EQ(name->Text_contents()->string, QStringLiteral("Bob Smith"));
  EXPECT_EQ(name->Text_Value, QStringLiteral("Bob Smith"));
  EXPECT_EQ(name->bounds(), QRectF(70, 40, 90, 20));
  EXPECT_TRUE(name->ctrl_is_visible);
  EXPECT_FALSE(name->_isDrawingFill);
  EXPECT_EQ(front.Selected_Graphic(), name);
  EXPECT_EQ(front.creatingGraphic(), nullptr);

  // An empty value changes nothing.
  front.ReplaceGraphicText(QStringLiteral("QLNText"), std::nullopt, false, QRectF(), kFront, {},
                           QStringLiteral("Fup_Name"));
  EXPECT_EQ(name->Text_contents()->string, QStringLiteral("Bob Smith"));

  // An absent id is placed at the given rectangle, never dragged out.
  front.ReplaceGraphicText(QStringLiteral("QLNText"), QPointF(5, 5), true, QRectF(20, 100, 120, 24), kFront,
                           QStringLiteral("Hello"), QStringLiteral("Fup_Mail"));
  ASSERT_EQ(document.graphics().size(), 3);
  const QLNGraphicPtr mail = document.graphics().at(0);
  EXPECT_EQ(mail->control_ID, QStringLiteral("Fup_Mail"));
  EXPECT_EQ(mail->bounds(), QRectF(20, 100, 120, 24));
  EXPECT_EQ(mail->Text_contents()->string, QStringLiteral("Hello"));
  EXPECT_EQ(front.Selected_Graphic(), mail);
  EXPECT_FALSE(dragged);
  EXPECT_EQ(document.undoManager()->undoCount(), steps + 1) << "only the new object is an undo step";
}

TEST_F(CanvasTest, ReplacedImageTakesAnExistingFileOnly) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("photo.png"));
  ASSERT_TRUE(savePicture(path, 24, 12, Qt::blue));
  auto photo = std::make_shared<QLNImage>();
  photo->control_ID = QStringLiteral("Fup_Photo");
  photo->_bounds = QRectF(150, 20, 60, 60);
  photo->ctrl_is_visible = false;  // a field emptied earlier
  document.insertIntoList(QLNDocumentGraphicsKey_back, {photo}, {0});

  back.ReplaceGraphicText(QStringLiteral("QLNImage"), std::nullopt, false, QRectF(), kBack, path,
                          QStringLiteral("Fup_Photo"));
  EXPECT_EQ(photo->FilePath(), path);
  EXPECT_TRUE(photo->ctrl_is_visible) << "a photo that takes a picture is shown again";
  EXPECT_EQ(photo->_contents.points, QSizeF(24, 12));
  EXPECT_EQ(photo->bounds(), QRectF(150, 20, 60, 60));

  ScopedLogCapture log;
  const QString missing = folder.filePath(QStringLiteral("missing.png"));
  back.ReplaceGraphicText(QStringLiteral("QLNImage"), std::nullopt, false, QRectF(), kBack, missing,
                          QStringLiteral("Fup_Photo"));
  EXPECT_EQ(photo->FilePath(), path) << "the old picture stays";
  EXPECT_TRUE(log.lines().contains(missing));
  EXPECT_EQ(back.Selected_Graphic(), photo);
}
