#pragma once
// A running main window for the tests of the design-file commands: the main window
// stage of tests/mainwindow with a start window and an exit that only count, a folder
// of the test's own, and helpers to build a design of both sides, press the commands
// and compare sides and objects.

#include "tests/mainwindow/main_window_fixture.h"

#include "designs/model/DesignLog.h"
#include "dataseries/Data_From_Excel.h"

#include "mainwindow/DrawWindow.h"

#include "core/CardObjectArchive.h"
#include "core/QLNDocument.h"
#include "platform/PropertyList.h"
#include "tests/core/test_card_object_helpers.h"
#include "tests/designs/design_test_helpers.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QToolButton>

namespace designtest {

inline QStringList comboItems(const QComboBox *combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i)
    items << combo->itemText(i);
  return items;
}

inline QByteArray readBytes(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// The root items of a design log.
inline std::vector<PlistValue> rootItems(const QByteArray &bytes) {
  const std::optional<PlistValue> plist = parsePropertyList(bytes);
  EXPECT_TRUE(plist && plist->isArray());
  return plist && plist->isArray() ? plist->items() : std::vector<PlistValue>{};
}

// The objects read back are of the same kinds in the same order as the saved ones, with
// the same archived fields (as the archive keeps them: floats for some).
inline void expectSameObjects(const QLNGraphicList &saved, const QLNGraphicList &read) {
  ASSERT_EQ(saved.size(), read.size());
  for (qsizetype i = 0; i < saved.size(); ++i) {
    SCOPED_TRACE(QStringLiteral("object %1 (%2)").arg(i).arg(saved[i]->className()).toStdString());
    EXPECT_EQ(saved[i]->className(), read[i]->className());
    cardtest::expectSameArchivedFields(*saved[i], *read[i]);
  }
}

// One object of every kind, every archived field set; `tag` names the side.
inline QLNGraphicList everyKind(const QString &tag) {
  QLNGraphicList list;
  int n = 0;
  for (const QString &kind : cardObjectClassNames()) {
    QLNGraphicPtr g = cardtest::makeKind(kind);
    cardtest::fillEveryField(*g);
    g->_bounds.translate(10.0 * n, 5.0 * n);
    g->control_ID = QStringLiteral("%1-%2").arg(tag, kind);
    list.append(g);
    ++n;
  }
  return list;
}

inline QList<DesignLogGridRow> richGridRows() {
  return {
      {{"Extension", "1"}, {"Column1", "Anna"}, {"Column2", "anna@example.invalid"},
       {"Column3", QString::fromUtf8("Z\xC3\xBCrich")}},
      {{"Extension", "2"}, {"Column1", "Ben"}, {"Column2", ""}, {"Column3", "Oslo"}},
      {{"Extension", "3"}, {"Column2", "only a mail"}},
  };
}

class DesignCommandsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    Fill_User_Profile = false;
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    QLNWindowController::hooks().runStartWindow = [this] {
      ++startWindowRuns;
      Start_Card_Option = QStringLiteral("L");
      return 1;
    };
    QLNWindowController::hooks().exitProcess = [this](int status) { exitStatuses.append(status); };
  }

  void TearDown() override {
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    Fill_User_Profile = false;
    last_ctrl_X = 10.0f;
    last_ctrl_Y = 10.0f;
    MainWindowTest::TearDown();
  }

  DrawWindow *ui() const { return controller->ui; }

  // Presses a toolbar button of the main window by its name.
  void click(const QString &name) {
    auto *button = ui()->window->findChild<QToolButton *>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    ASSERT_TRUE(button->isEnabled()) << name.toStdString();
    button->click();
  }

  // Chooses an item of the main window's File menu by its name.
  void trigger(const QString &name) {
    auto *item = ui()->window->findChild<QAction *>(name);
    ASSERT_NE(item, nullptr) << name.toStdString();
    item->trigger();
  }

  // A small picture file in the test's folder.
  QString makePicture(const QString &name) {
    QImage image(12, 8, QImage::Format_ARGB32);
    image.fill(QColor(30, 120, 200));
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
  }

  // Saves the design to `path` as its file, without messages, and names it in the title.
  void saveTo(const QString &path) {
    Project_File_Name = path;
    ASSERT_TRUE(controller->Save_project_file(false, false));
    controller->Set_Log_Name_In_Title();
  }

  // A shape at the front of the front side.
  void addShape(const QString &id) {
    auto shape = cardtest::makeKind(QStringLiteral("Shape_Control"));
    shape->control_ID = id;
    session->document()->insertGraphics({shape}, {0});
  }

  // Both sides away from the defaults with objects of every kind (the back in reverse
  // order, with one more text), a canvas of 300 by 200 points, a spreadsheet binding
  // and a grid of four columns. The back side's fill is the picture at `backPicture`
  // (when given); the front's fill is solid with a path left from an earlier picture.
  void buildRichDesign(const QString &backPicture) {
    Card_Property &front = controller->Front_card_Prop;
    front.setCard_border_chk(false);
    front.setCard_bordr_clr(QColor(10, 20, 30));
    front.setCard_bor_Stepper(4);
    front.setCard_border_style(QStringLiteral("DDD"));
    front.setCard_fill_chk(true);
    front.setCard_fill_style(QStringLiteral("S"));
    front.setCard_fill_clr(QColor::fromRgbF(0.25f, 0.5f, 0.75f, 0.5f));
    front.setCard_fill_Grd_1_clr(QColor(70, 80, 90));
    front.setCard_fill_Grd_2_clr(QColor(100, 110, 120, 40));
    front.setCard_grad_Stepper(-45);
    front.setCard_hatch_style(QStringLiteral("Zigzag"));
    front.setCard_hatch_bk_clr(QColor(130, 140, 150));
    front.setCard_alpha_Stepper(55.5f);
    front.setCard_Side(QStringLiteral("1"));
    front.setCard_Side_Name(QStringLiteral("F"));
    front.setCard_Shape(QStringLiteral("RR"));
    front.setCard_Name(QString::fromUtf8("Entschuldigung \xE2\x80\x94 <sorry> & \"more\""));
    front.setCard_Location(QPointF(12.5, -7.25));
    front.setCard_Size(QSizeF(300, 200));
    front.setCard_Preset(QStringLiteral("Vertical"));
    front.setCard_Category(QStringLiteral("Paper Card"));
    front.setCard_Sub_Category(QStringLiteral("Durable 1455 - Name Badge"));
    front.setCard_Cat_index(3);
    front.setCard_Create_Mode(QStringLiteral("L"));
    front.setCard_BG_Image_Path(QStringLiteral("/old/picture.png"));
    front.setCard_BG_Image_Layout(QStringLiteral("Tile"));
    front.setCard_Content_clr(QColor(1, 2, 3));
    front.setCard_Content_font(FontSpec(QStringLiteral("Arial-BoldMT"), 18.5));

    Card_Property &back = controller->Back_card_Prop;
    back = front;
    back.setCard_border_chk(true);
    back.setCard_Side_Name(QStringLiteral("B"));
    back.setCard_Name(QStringLiteral("Back side"));
    back.setCard_Size(QSizeF(150, 90));
    back.setCard_BG_Image_Layout(QStringLiteral("Stretch"));
    back.setCard_fill_chk(!backPicture.isEmpty());
    back.setCard_fill_style(backPicture.isEmpty() ? QStringLiteral("G") : QStringLiteral("I"));
    back.setCard_BG_Image_Path(backPicture);

    QLNGraphicList backObjects = everyKind(QStringLiteral("back"));
    std::reverse(backObjects.begin(), backObjects.end());
    backObjects.append(cardtest::makeKind(QStringLiteral("QLNText")));
    session->document()->setList(QLNDocumentGraphicsKey, everyKind(QStringLiteral("front")));
    session->document()->setList(QLNDocumentGraphicsKey_back, backObjects);

    Excel_Binding_Use = true;
    Excel_Source_Path = QStringLiteral("/home/me/Guests.xlsx");
    ImportedRowsTable grid;
    grid.setColumnsFromTitles({QStringLiteral("not used"), QStringLiteral("Name"),
                               QString::fromUtf8("E-mail \xE2\x9C\x89"), QStringLiteral("City")});
    grid.rows = richGridRows();
    Data_From_Excel::defaultInstance()->setTable(grid);
  }

  QTemporaryDir dir;
  QLNWindowController *controller = nullptr;
  int startWindowRuns = 0;
  QList<int> exitStatuses;
};

}  // namespace designtest
