#include "profiles/Show_User_Profile.h"

#include "core/Utilities.h"

#include "platform/ControlActions.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QWidget>

Show_User_Profile *Show_User_Profile_Window = nullptr;

namespace {

// The default places of the fields, in card points from the card's top left corner.
// Landscape: the ten texts stacked down the left, the photo at the top right. Portrait:
// the photo at the top, the texts stacked under it. Fitted to the smallest preset cards
// (about 153 by 243 points).
struct Placeholder {
  const char *name;
  QRectF landscape;
  QRectF portrait;
};

const Placeholder placeholders[ProfileWindow::FieldCount] = {
    {"name_default", {10, 8, 150, 16}, {10, 88, 133, 16}},
    {"title_default", {10, 22, 150, 14}, {10, 102, 133, 14}},
    {"comp_name_default", {10, 36, 150, 14}, {10, 116, 133, 14}},
    {"slogan_default", {10, 50, 150, 14}, {10, 130, 133, 14}},
    {"address_default", {10, 64, 150, 14}, {10, 144, 133, 14}},
    {"phone_default", {10, 78, 150, 14}, {10, 158, 133, 14}},
    {"fax_default", {10, 92, 150, 14}, {10, 172, 133, 14}},
    {"email_default", {10, 106, 150, 14}, {10, 186, 133, 14}},
    {"website_default", {10, 120, 150, 14}, {10, 200, 133, 14}},
    {"unique_default", {10, 134, 150, 14}, {10, 214, 133, 14}},
    {"photo_default", {170, 8, 64, 76}, {44, 8, 64, 76}},
};

}  // namespace

Show_User_Profile::Show_User_Profile() {
  buildWindow(QStringLiteral("Show_User_Profile"), QStringLiteral("Front Side User Profile Information"), true);
  // The placeholder boxes are layout data, never shown.
  horz_template = new QWidget(window());
  horz_template->setObjectName(QStringLiteral("horz_template"));
  horz_template->setGeometry(0, 0, 250, 160);
  horz_template->hide();
  vert_template = new QWidget(window());
  vert_template->setObjectName(QStringLiteral("vert_template"));
  vert_template->setGeometry(0, 0, 160, 250);
  vert_template->hide();
  for (int field = 0; field < FieldCount; ++field) {
    const Placeholder &place = placeholders[field];
    defaults[field] = new QWidget(horz_template);
    defaults[field]->setObjectName(QString::fromLatin1(place.name));
    defaults[field]->setGeometry(place.landscape.toRect());
    defaults_V[field] = new QWidget(vert_template);
    defaults_V[field]->setObjectName(QString::fromLatin1(place.name) + QStringLiteral("_V"));
    defaults_V[field]->setGeometry(place.portrait.toRect());
  }
  for (int field = 0; field < FieldCount; ++field) {
    if (QCheckBox *box = fields[field].label_chk)
      controls::onAction(box, this, [this, field] { Label_Chk_Clicked(field); });
    if (QCheckBox *box = fields[field].value_chk)
      controls::onAction(box, this, [this, field] { Value_Chk_Clicked(field); });
  }
  keepInGlobal(Show_User_Profile_Window, this);
}

Show_User_Profile::~Show_User_Profile() = default;

Show_User_Profile *Show_User_Profile::defaultInstance() {
  return keptInstance(Show_User_Profile_Window, [] { return new Show_User_Profile; });
}

QRectF Show_User_Profile::placeholderFrame(int field, bool landscape) const {
  if (field < 0 || field >= FieldCount)
    return QRectF(0, 0, 0, 0);
  const QWidget *view = landscape ? defaults[field] : defaults_V[field];
  return view ? QRectF(view->geometry()) : QRectF(0, 0, 0, 0);
}

void Show_User_Profile::Label_Chk_Clicked(int field) {
  if (field >= 0 && field < FieldCount && fields[field].label_chk)
    fields[field].label->setReadOnly(!fields[field].label_chk->isChecked());
}

void Show_User_Profile::Value_Chk_Clicked(int field) {
  if (field >= 0 && field < FieldCount && fields[field].value_chk)
    fields[field].value->setReadOnly(!fields[field].value_chk->isChecked());
}

void Show_User_Profile::resetExtras() {
  for (FieldControls &controls : fields) {
    if (controls.label_chk)
      controls::setCheckedQuietly(controls.label_chk, false);
  }
  for (FieldControls &controls : fields) {
    if (controls.value_chk)
      controls::setCheckedQuietly(controls.value_chk, false);
  }
}

void Show_User_Profile::fieldLoaded(int field) {
  if (fields[field].value_chk)
    controls::setCheckedQuietly(fields[field].value_chk, true);
}
