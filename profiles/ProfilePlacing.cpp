// Placing a user profile record on a card side: ten text objects and one image object
// carrying the fields' ids ("Fup_Name" ... "Fup_Photo"), values and bindings, which
// batch output then fills card by card.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/DrawWindow.h"

#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include <QFileInfo>

#include <exception>

void QLNWindowController::Fill_User_profile_info_front_side() {
  if (Excel_Binding_Use)
    Add_Excel_Col_Name_In_Combo(ui->Data_source_type);
  else
    Remove_Excel_Col_Name_In_Combo(ui->Data_source_type);
  if (!Fill_User_Profile)
    return;
  placeUserProfile(frontView(), Front_user_profile);
  // The fields were made with the text and photo tools: back to the arrow the toolbar
  // shows, so that the next drag on the card selects instead of making an object.
  selectArrowTool();
}

void QLNWindowController::Fill_User_profile_info_back_side() {
  if (Excel_Binding_Use)
    Add_Excel_Col_Name_In_Combo(ui->Data_source_type);
  else
    Remove_Excel_Col_Name_In_Combo(ui->Data_source_type);
  if (!Fill_User_Profile)
    return;
  placeUserProfile(backView(), Back_user_profile);
  // The fields were made with the text and photo tools: back to the arrow the toolbar
  // shows, so that the next drag on the card selects instead of making an object.
  selectArrowTool();
}

void QLNWindowController::Fill_User_profile_info_TEMP_side() { placeUserProfile(tempView(), TEMP_user_profile); }

void QLNWindowController::placeUserProfile(QLNGraphicView *view, User_Profile_Class &record) {
  if (!view)
    return;
  try {
    Selected_Control_Tool = 2;
    for (int field = 0; field < User_Profile_Class::FieldCount; ++field) {
      // A field nobody entered or changed keeps its objects, texts, visibility and
      // binding as they are on the card.
      if (!record.pending(field))
        continue;
      placeProfileField(view, record, field);
      record.settle(field);
    }
    view->setNeedsDisplay();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

namespace {

// The field's objects are hidden; the one it is placed on shows again. A field without
// a value stays hidden.
void hideProfileObjects(QLNGraphicView *view, const QString &id) {
  for (const QLNGraphicPtr &graphic : view->graphics()) {
    if (!graphic || graphic->control_ID != id)
      continue;
    const QString kind = graphic->className();
    if (kind == QLatin1String("QLNText") || kind == QLatin1String("QLNImage"))
      graphic->Set_Ctrl_Is_Visible(false);
  }
}

}  // namespace

void QLNWindowController::placeProfileField(QLNGraphicView *view, const User_Profile_Class &record, int field) {
  const QString id = record.id(field);
  hideProfileObjects(view, id);
  const QString value = record.value(field);
  if (value.isEmpty())
    return;
  const bool photo = field == User_Profile_Class::ImageField;
  const QLNGraphicPtr existing = view->Selcect_Ctrl_With_ID(id);
  // An object placed before keeps its place; a new one goes to the field's default.
  const QRectF rect = existing ? QRectF(0, 0, 0, 0) : Get_Control_Rect_From_Template(id);
  if (photo) {
    Selected_Control_Tool = 8;
    Library_Selected_Image = value;
  }
  view->ReplaceGraphicText(photo ? QStringLiteral("QLNImage") : QStringLiteral("QLNText"), std::nullopt, !existing,
                           rect, QStringLiteral("F"), value, id);
  // The object of this field: the one reused, or the one just made (none when the
  // canvas discarded it for an empty rectangle).
  QLNGraphicPtr object = existing;
  if (!object) {
    object = view->Selected_Graphic();
    if (object && object->control_ID != id)
      object.reset();
  }
  if (!object)
    return;
  // A reused photo whose file exists shows again like a reused text.
  if (existing && photo && QFileInfo::exists(value))
    object->Set_Ctrl_Is_Visible(true);
  if (record.ds(field)) {
    object->Set_Data_source_type(1);
    object->Set_Batch_List_Name(record.dsName(field));
    object->Set_Batch_List_Index(record.dsIndex(field));
    object->Set_Excel_binding(false);
  }
  if (record.xl(field)) {
    object->Set_Data_source_type(2);
    object->Set_Excel_binding(true);
    object->Set_Excel_binding_Index(record.xlColumnIndex(field));
  }
  if (!record.ds(field) && !record.xl(field)) {
    // Typed by hand: a placed field takes no value from an earlier binding.
    object->Set_Data_source_type(0);
    object->Set_Batch_List_Name(QString());
    object->Set_Batch_List_Index(0);
    object->Set_Excel_binding(false);
    object->Set_Excel_binding_Index(0);
  }
}
