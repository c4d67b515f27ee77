// The main window's user profile commands: the Profile command, opening the profile
// windows and the default rectangles of the profile fields.

#include "mainwindow/QLNWindowController.h"

#include "profiles/Show_User_Profile.h"
#include "profiles/User_profile.h"

#include "canvas/QLNGraphicView.h"
#include "canvas/RenderSide.h"

#include "core/Globals.h"
#include "core/Utilities.h"

const QString Title_Name = QStringLiteral("Name :");
const QString Title_Title = QStringLiteral("Position / Title :");
const QString Title_Company_name = QStringLiteral("Company Name :");
const QString Title_slogan = QStringLiteral("Company Slogan :");
const QString Title_address = QStringLiteral("Address :");
const QString Title_phone = QStringLiteral("Phone No. :");
const QString Title_fax = QStringLiteral("Fax No. :");
const QString Title_email = QStringLiteral("Email Id :");
const QString Title_website = QStringLiteral("Website :");
const QString Title_unique = QStringLiteral("Unique No. :");
const QString Title_image = QStringLiteral("Photo :");

void QLNWindowController::User_Profile_Button_Clicked(QObject *) {
  const bool back = Card_Front_Or_Back.load() != 0;
  const int result = Open_User_Profile_Window(true, back ? QStringLiteral("B") : QStringLiteral("F"));
  if (result == 1) {
    if (back)
      Fill_User_profile_info_back_side();
    else
      Fill_User_profile_info_front_side();
  }
  Refresh_Canvas();
}

int QLNWindowController::Open_User_Profile_Window(bool load, const QString &load_side) {
  const QString side = Trim_Str(load_side);
  ProfileWindow *window = nullptr;
  if (side.isEmpty())
    window = User_profile::defaultInstance();
  else
    window = Show_User_Profile::defaultInstance();
  window->load_side = side;
  const int result = window->Open_Wnd(load);
  if (result == 1)
    Fill_User_Profile = true;
  return result;
}

namespace {

// A one-sided card has no back to place on: the back record's fields wait for the card
// to have two sides.
bool cardHasBack() { return CARD_SIDE_STR == QLatin1String("2"); }

}  // namespace

void QLNWindowController::Fill_User_profile_Details(QObject *) {
  Fill_User_profile_info_front_side();
  if (cardHasBack())
    Fill_User_profile_info_back_side();
  Refresh_Canvas();
}

void QLNWindowController::Place_Profile_Clicked(QObject *sender) {
  if (!Fill_User_Profile || !(Front_user_profile.anyPending() || (cardHasBack() && Back_user_profile.anyPending()))) {
    Show_MessageBox(QStringLiteral("There is no profile to place. Enter one with the User Profile button of the Card "
                                   "Size or template window; fields for the back are placed on a two-sided card."));
    return;
  }
  Fill_User_profile_Details(sender);
}

QRectF QLNWindowController::Get_Control_Rect_From_Template(const QString &ctrl_id) {
  const QSizeF card = Front_card_Prop.Card_Size();
  Show_NSLog_Message(QStringLiteral("Card size: %1 x %2").arg(card.width()).arg(card.height()));
  // A square card counts as landscape; the front card decides for every side.
  const bool landscape = card.width() >= card.height();
  for (int field = 0; field < User_Profile_Class::FieldCount; ++field) {
    if (ctrl_id == User_Profile_Class::fixedId(field))
      return Show_User_Profile::defaultInstance()->placeholderFrame(field, landscape);
  }
  return QRectF(0, 0, 0, 0);
}

void QLNWindowController::Temp_Design_Copy_Assign() {
  QLNGraphicView *temp = tempView();
  if (!temp->isBoundToGraphics())
    return;
  temp->delete_all_control();
  const QLNGraphicList source = Card_Front_Or_Back.load() != 0 ? Get_Back_Controls_Array() : Get_Front_Controls_Array();
  QString error;
  const QLNGraphicList copies = Render::copyGraphicsForRendering(source, &error);
  if (!error.isEmpty())
    Show_NSLog_Message(error);
  QLNGraphicView::MutableGraphics list = temp->mutableGraphics();
  for (int i = 0; i < copies.size(); ++i)
    list.insertObject(copies.at(i), i);
  temp->setNeedsDisplay();
}
