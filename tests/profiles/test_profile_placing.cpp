// Placing a profile record on a card side: which objects are made, in which order and
// where, how later placings reuse them, the bindings they carry and how batch output
// fills them per card, and undo.

#include "tests/profiles/profile_test_stage.h"

#include "dataseries/BatchCardSource.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QToolButton>

namespace {

class ProfilePlacingTest : public ProfileTest {};

TEST_F(ProfilePlacingTest, FirstPlacingMakesElevenObjectsFrontMostInReverseFieldOrderAtTheirPlaces) {
  const auto older = plainText(QStringLiteral("mine"), QRectF(5, 5, 40, 20));
  session->document()->setList(QLNDocumentGraphicsKey, {older});
  Fill_User_Profile = true;
  fillAll(controller->Front_user_profile);

  controller->Fill_User_profile_info_front_side();

  const QLNGraphicList list = front();
  ASSERT_EQ(list.size(), 12);
  // The photo first, then unique number ... name, then what was there.
  for (int field = 0; field < P::FieldCount; ++field) {
    SCOPED_TRACE(field);
    const QLNGraphicPtr &object = list.at(P::FieldCount - 1 - field);
    EXPECT_EQ(object->control_ID, P::fixedId(field));
    EXPECT_EQ(object->className(), field == P::ImageField ? QStringLiteral("QLNImage") : QStringLiteral("QLNText"));
    EXPECT_TRUE(object->ctrl_is_visible);
    EXPECT_EQ(object->data_source_type, 0);
    // Landscape card: the landscape placeholders, in card points from the top.
    EXPECT_EQ(object->bounds(), Show_User_Profile_Window->placeholderFrame(field, true));
    if (field != P::ImageField) {
      EXPECT_EQ(object->Text_Value, QStringLiteral("value %1").arg(field));
      EXPECT_EQ(textOf(object), QStringLiteral("value %1").arg(field));
    }
  }
  EXPECT_EQ(list.last(), older);
  // The layout: the texts stacked down the left from the top, the photo top right.
  EXPECT_EQ(list.at(10)->bounds(), QRectF(10, 8, 150, 16));
  EXPECT_EQ(list.at(9)->bounds(), QRectF(10, 22, 150, 14));
  EXPECT_EQ(list.at(0)->bounds(), QRectF(170, 8, 64, 76));
  EXPECT_EQ(list.at(0)->FilePath(), photoPath);
  // The photo was placed last: its picture stays chosen, the tool is the arrow again.
  EXPECT_EQ(controller->Selected_Control_Tool, 0);
  EXPECT_EQ(Library_Selected_Image, photoPath);
}

TEST_F(ProfilePlacingTest, PortraitFrontCardDecidesThePlacesOfEverySide) {
  controller->Front_card_Prop.setCard_Size(QSizeF(153, 243));
  Fill_User_Profile = true;
  fillAll(controller->Back_user_profile);
  controller->Fill_User_profile_info_back_side();
  const QLNGraphicList list = back();
  ASSERT_EQ(list.size(), 11);
  EXPECT_EQ(list.at(10)->bounds(), QRectF(10, 88, 133, 16));
  EXPECT_EQ(list.at(0)->bounds(), QRectF(44, 8, 64, 76));
  EXPECT_TRUE(front().isEmpty());

  // A square card counts as landscape.
  controller->Front_card_Prop.setCard_Size(QSizeF(200, 200));
  EXPECT_EQ(controller->Get_Control_Rect_From_Template(QStringLiteral("Fup_Name")), QRectF(10, 8, 150, 16));
  EXPECT_EQ(controller->Get_Control_Rect_From_Template(QStringLiteral("Fup_lbl_Name")), QRectF(0, 0, 0, 0));
}

TEST_F(ProfilePlacingTest, PlacingAgainReusesEachObjectInItsPlaceAndHidesEmptiedFields) {
  Fill_User_Profile = true;
  P &record = controller->Front_user_profile;
  fillAll(record);
  record.setFax_ds(true);
  record.setFax_ds_name(QStringLiteral("Faxes"));
  controller->Fill_User_profile_info_front_side();
  const QLNGraphicList first = front();
  ASSERT_EQ(first.size(), 11);
  const QLNGraphicPtr name = withId(first, QStringLiteral("Fup_Name")).value(0);
  ASSERT_TRUE(name);
  name->setBounds(QRectF(100, 100, 80, 30));  // the user moved and widened it

  record.setName(QStringLiteral("Jo Bloggs"));
  record.setFax(QString());  // emptied: hidden, binding kept
  controller->Fill_User_profile_info_front_side();

  const QLNGraphicList second = front();
  EXPECT_EQ(second, first);
  EXPECT_EQ(name->bounds(), QRectF(100, 100, 80, 30));
  EXPECT_EQ(name->Text_Value, QStringLiteral("Jo Bloggs"));
  EXPECT_TRUE(name->ctrl_is_visible);
  const QLNGraphicPtr fax = withId(second, QStringLiteral("Fup_FaxNo")).value(0);
  EXPECT_FALSE(fax->ctrl_is_visible);
  EXPECT_EQ(fax->data_source_type, 1);
  EXPECT_EQ(fax->batch_list_name, QStringLiteral("Faxes"));

  // All values empty: every profile object hidden, none made.
  for (int field = 0; field < P::FieldCount; ++field)
    record.setValue(field, QString());
  controller->Fill_User_profile_info_front_side();
  EXPECT_EQ(front(), first);
  for (const QLNGraphicPtr &object : front())
    EXPECT_FALSE(object->ctrl_is_visible) << object->control_ID.toStdString();

  // The photo comes back when placed again with an existing file.
  record.setImage(photoPath);
  controller->Fill_User_profile_info_front_side();
  EXPECT_TRUE(withId(front(), QStringLiteral("Fup_Photo")).value(0)->ctrl_is_visible);
}

TEST_F(ProfilePlacingTest, FieldsWithABindingButNoValueAreNotPlaced) {
  Fill_User_Profile = true;
  P &record = controller->Front_user_profile;
  record.setTitle_ds(true);
  record.setTitle_ds_name(QStringLiteral("Titles"));
  record.setEmail_xl(true);
  record.setEmail_xl_col_indx(1);
  controller->Fill_User_profile_info_front_side();
  EXPECT_TRUE(front().isEmpty());
}

TEST_F(ProfilePlacingTest, TwoObjectsWithOneIdTheFirstIsUpdatedTheOtherStaysHidden) {
  const auto first = plainText(QStringLiteral("Fup_Name"), QRectF(10, 10, 80, 20));
  const auto second = plainText(QStringLiteral("Fup_Name"), QRectF(10, 40, 80, 20));
  session->document()->setList(QLNDocumentGraphicsKey, {first, second});
  Fill_User_Profile = true;
  controller->Front_user_profile.setName(QStringLiteral("Ann"));
  controller->Fill_User_profile_info_front_side();
  EXPECT_EQ(front().size(), 2);
  EXPECT_EQ(first->Text_Value, QStringLiteral("Ann"));
  EXPECT_TRUE(first->ctrl_is_visible);
  EXPECT_FALSE(second->ctrl_is_visible);
  EXPECT_EQ(second->Text_Value, QStringLiteral("old"));
}

TEST_F(ProfilePlacingTest, WithoutAnAcceptedProfileOnlyTheSpreadsheetItemOfThePanelChanges) {
  QComboBox *source = controller->ui->Data_source_type;
  fillAll(controller->Front_user_profile);
  Excel_Binding_Use = true;
  controller->Fill_User_profile_info_front_side();
  EXPECT_EQ(source->count(), 3);
  EXPECT_TRUE(front().isEmpty());
  Excel_Binding_Use = false;
  controller->Fill_User_profile_info_back_side();
  EXPECT_EQ(source->count(), 2);
  EXPECT_TRUE(back().isEmpty());
}

// Each field with each of its three sources: the object carries that binding.
TEST_F(ProfilePlacingTest, EveryFieldCarriesItsSeriesOrColumnBindingOrNone) {
  Fill_User_Profile = true;
  P &record = controller->Front_user_profile;
  fillAll(record);
  // Ending on typed again: a placed field switched back takes no value from its old binding.
  for (int source : {0, 1, 2, 1, 0}) {
    for (int field = 0; field < P::FieldCount; ++field) {
      record.setDs(field, source == 1);
      record.setDsName(field, source == 1 ? QStringLiteral("Series %1").arg(field) : QString());
      record.setDsIndex(field, source == 1 ? field + 2 : 0);
      record.setXl(field, source == 2);
      record.setXlColumnIndex(field, source == 2 ? field + 1 : 0);
    }
    controller->Fill_User_profile_info_front_side();
    ASSERT_EQ(front().size(), 11);
    for (int field = 0; field < P::FieldCount; ++field) {
      SCOPED_TRACE(QStringLiteral("field %1 source %2").arg(field).arg(source).toStdString());
      const QLNGraphicPtr object = withId(front(), P::fixedId(field)).value(0);
      ASSERT_TRUE(object);
      EXPECT_EQ(object->data_source_type, source);
      EXPECT_EQ(object->excel_binding, source == 2);
      if (source == 1) {
        EXPECT_EQ(object->batch_list_name, QStringLiteral("Series %1").arg(field));
        EXPECT_EQ(object->batch_list_index, field + 2);
      }
      if (source == 2) {
        EXPECT_EQ(object->excel_col_indx, field + 1);
      }
      if (source == 0) {
        // Back to typed: the placed field no longer takes values from a binding.
        EXPECT_TRUE(object->batch_list_name.isEmpty());
        EXPECT_EQ(object->excel_col_indx, 0);
      }
    }
  }
}

// The binding goes to the field's own object, never to whatever else is selected:
// a field whose default place is empty makes no object and binds nothing.
TEST_F(ProfilePlacingTest, AFieldWithoutAnObjectBindsNothingElse) {
  const auto mine = plainText(QStringLiteral("mine"), QRectF(5, 5, 40, 20));
  session->document()->setList(QLNDocumentGraphicsKey, {mine});
  controller->frontView()->setSelected_Graphic(mine);
  QWidget *placeholder = Show_User_Profile_Window->defaults[P::NameField];
  const QRect saved = placeholder->geometry();
  placeholder->setGeometry(0, 0, 0, 0);
  Fill_User_Profile = true;
  P &record = controller->Front_user_profile;
  record.setName(QStringLiteral("Ann"));
  record.setName_ds(true);
  record.setName_ds_name(QStringLiteral("Names"));
  controller->Fill_User_profile_info_front_side();
  placeholder->setGeometry(saved);

  EXPECT_EQ(front().size(), 1);
  EXPECT_EQ(mine->data_source_type, 0);
  EXPECT_TRUE(mine->batch_list_name.isEmpty());
}

// The placed objects, through the batch binding, show card n's values.
TEST_F(ProfilePlacingTest, PlacedBindingsGiveEachCardItsRowValues) {
  writeSeries(QStringLiteral("Names"), {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")});
  setRows({QStringLiteral("Title"), QStringLiteral("Town")},
          {{QStringLiteral("Chair"), QStringLiteral("Leeds")},
           {QStringLiteral("Clerk"), QStringLiteral("York")},
           {QStringLiteral("Judge"), QStringLiteral("Bath")}});
  Fill_User_Profile = true;
  P &record = controller->Front_user_profile;
  record.setName(QStringLiteral("Ann"));
  record.setName_ds(true);
  record.setName_ds_name(QStringLiteral("Names"));
  record.setTitle(QStringLiteral("Chair"));
  record.setTitle_xl(true);
  record.setTitle_xl_col_indx(1);
  record.setCompany_name(QStringLiteral("Typed Ltd"));
  controller->Fill_User_profile_info_front_side();

  controller->Check_Series_Or_Excel_Use_or_not();
  controller->Get_total_Card_count();
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 3);
  const auto run = controller->batchCardSource();
  ASSERT_TRUE(run);
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    const QLNGraphicList card = run->cardObjects(row, false);
    EXPECT_EQ(textOf(withId(card, QStringLiteral("Fup_Name")).value(0)),
              (QStringList{"Ann", "Bob", "Cy"}).at(row));
    EXPECT_EQ(textOf(withId(card, QStringLiteral("Fup_Title")).value(0)),
              (QStringList{"Chair", "Clerk", "Judge"}).at(row));
    EXPECT_EQ(textOf(withId(card, QStringLiteral("Fup_Company")).value(0)), QStringLiteral("Typed Ltd"));
  }
}

// Each object a placing makes is one undo step of the front side (made front-most, so
// undone from the photo back to the name); undoing them all leaves the side as it was.
TEST_F(ProfilePlacingTest, EachObjectMadeIsOneUndoStepAndUndoingAllRestoresTheSide) {
  const auto older = plainText(QStringLiteral("mine"), QRectF(5, 5, 40, 20));
  session->document()->setList(QLNDocumentGraphicsKey, {older});
  UndoManager *undo = session->document()->undoManager();
  undo->removeAllActions();
  Fill_User_Profile = true;
  fillAll(controller->Front_user_profile);
  controller->Fill_User_profile_info_front_side();
  ASSERT_EQ(front().size(), 12);
  EXPECT_EQ(undo->undoCount(), 11);

  undo->undo();
  ASSERT_EQ(front().size(), 11);
  EXPECT_TRUE(withId(front(), QStringLiteral("Fup_Photo")).isEmpty());
  EXPECT_EQ(front().first()->control_ID, QStringLiteral("Fup_UniqueNo"));
  for (int i = 1; i < 11; ++i)
    undo->undo();
  EXPECT_EQ(front(), (QLNGraphicList{older}));
  EXPECT_EQ(undo->undoCount(), 0);
  undo->redo();
  EXPECT_EQ(front().first()->control_ID, QStringLiteral("Fup_Name"));

  // Placing on the back side records nothing in the front's history.
  undo->removeAllActions();
  fillAll(controller->Back_user_profile);
  controller->Fill_User_profile_info_back_side();
  EXPECT_EQ(back().size(), 11);
  EXPECT_EQ(undo->undoCount(), 0);
}

// After every placing the tool is the arrow the toolbar shows, also when the placing
// only reused the fields' objects: a drag on the card then selects, it makes nothing.
TEST_F(ProfilePlacingTest, AfterEveryPlacingADragOnTheCardMakesNoObject) {
  QLNGraphicView *view = controller->frontView();
  for (int placing = 0; placing < 2; ++placing) {
    SCOPED_TRACE(placing);
    scripted.answerModal([&](QDialog *dialog) {
      Show_User_Profile *window = Show_User_Profile::defaultInstance();
      window->fields[P::NameField].value->setText(QStringLiteral("Ann"));
      window->Set_User_Image(photoPath);
      window->OK_btn->click();
      return dialog->isVisible() ? 0 : dialog->result();
    });
    controller->ui->User_Profile_btn->click();
    ASSERT_EQ(front().size(), 2);
    EXPECT_TRUE(controller->ui->Arrow_Tool_btn->isChecked());
    EXPECT_EQ(controller->Selected_Control_Tool, 0);

    // A drag over an empty part of the card, away from the placed fields.
    const qreal zoom = view->zoomFactor();
    auto mouse = [&](QEvent::Type type, QPointF point, Qt::MouseButton button, Qt::MouseButtons buttons) {
      QMouseEvent event(type, point * zoom, view->mapToGlobal(point * zoom), button, buttons, Qt::NoModifier);
      QApplication::sendEvent(view, &event);
    };
    mouse(QEvent::MouseButtonPress, QPointF(40, 120), Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(90, 140), Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPointF(90, 140), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(front().size(), 2);
  }
}

TEST_F(ProfilePlacingTest, PlacingTheDetailsPutsEachSidesOwnRecordOnIt) {
  Fill_User_Profile = true;
  controller->Front_user_profile.setName(QStringLiteral("Front Ann"));
  controller->Back_user_profile.setName(QStringLiteral("Back Bob"));
  controller->Back_user_profile.setPhone(QStringLiteral("0123"));
  controller->Fill_User_profile_Details();
  ASSERT_EQ(front().size(), 1);
  EXPECT_EQ(front().first()->Text_Value, QStringLiteral("Front Ann"));
  ASSERT_EQ(back().size(), 2);
  EXPECT_EQ(withId(back(), QStringLiteral("Fup_Name")).value(0)->Text_Value, QStringLiteral("Back Bob"));
  EXPECT_EQ(controller->Selected_Control_Tool, 0);
}

}  // namespace
