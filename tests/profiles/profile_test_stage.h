#pragma once
// A started main window with what the profile tests need: profile records filled by
// field, series files, imported spreadsheet rows, a photo file, and lookups of the
// profile objects on a side.

#include "tests/mainwindow/main_window_fixture.h"

#include "dataseries/Data_From_Excel.h"
#include "dataseries/model/SeriesStore.h"
#include "profiles/Show_User_Profile.h"
#include "profiles/User_profile.h"

#include "canvas/QLNGraphicView.h"
#include "core/CardObjectArchive.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"
#include "mainwindow/DrawWindow.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

class ProfileTest : public MainWindowTest {
protected:
  using P = User_Profile_Class;

  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    Fill_User_Profile = false;
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    // A landscape card of the size of a business card.
    controller->Front_card_Prop.setCard_Size(QSizeF(243, 153));
    photoPath = root.path() + QStringLiteral("/photo.png");
    QImage photo(20, 24, QImage::Format_ARGB32);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(photoPath, "PNG"));
    // The windows live for the run; start each test without the spreadsheet item.
    for (ProfileWindow *window : {static_cast<ProfileWindow *>(Show_User_Profile::defaultInstance()),
                                  static_cast<ProfileWindow *>(User_profile::defaultInstance())})
      window->Remove_Excel_in_Data_Source_Combo();
  }

  void TearDown() override {
    Fill_User_Profile = false;
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    MainWindowTest::TearDown();
  }

  void writeSeries(const QString &name, const QStringList &values) {
    ASSERT_TRUE(SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                                   SeriesStore::WriteMode::Replace));
  }
  void setRows(const QStringList &columns, const QList<QStringList> &rows) {
    ImportedRowsTable table;
    table.setImportedColumns(columns);
    for (const QStringList &row : rows)
      table.Create_List_By_Array(row, int(columns.size()));
    Data_From_Excel::defaultInstance()->setTable(table);
  }

  // A value for every field: "<field>-value", the photo a real picture.
  void fillAll(P &record) {
    for (int field = 0; field < P::FieldCount; ++field)
      record.setValue(field, field == P::ImageField ? photoPath : QStringLiteral("value %1").arg(field));
  }

  QLNGraphicList front() const { return controller->Get_Front_Controls_Array(); }
  QLNGraphicList back() const { return controller->Get_Back_Controls_Array(); }
  // Every object of `list` with the id, in list order.
  static QLNGraphicList withId(const QLNGraphicList &list, const QString &id) {
    QLNGraphicList found;
    for (const QLNGraphicPtr &graphic : list)
      if (graphic && graphic->control_ID == id)
        found << graphic;
    return found;
  }
  static QString textOf(const QLNGraphicPtr &graphic) { return graphic->Text_contents()->string; }

  static std::shared_ptr<QLNText> plainText(const QString &id, const QRectF &bounds) {
    auto object = std::make_shared<QLNText>();
    object->setBounds(bounds);
    object->control_ID = id;
    object->Text_Value = QStringLiteral("old");
    object->ctrl_is_visible = true;
    return object;
  }

  // The archives of a list, to compare a side before and after.
  static QList<QByteArray> archives(const QLNGraphicList &list) {
    QList<QByteArray> out;
    for (const QLNGraphicPtr &graphic : list)
      out << archiveGraphic(*graphic);
    return out;
  }

  QLNWindowController *controller = nullptr;
  QString photoPath;
};
