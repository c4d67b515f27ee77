#include "profiles/User_profile.h"

#include "core/KeptWindow.h"

#include <QComboBox>
#include <QLabel>

namespace {

User_profile *userProfileInstance = nullptr;

}  // namespace

User_profile::User_profile() {
  buildWindow(QStringLiteral("User_profile"), QStringLiteral("User Profile Information"), false);
  select_side_label = window()->findChild<QLabel *>(QStringLiteral("select_side_label"));
  keepInGlobal(userProfileInstance, this);
}

User_profile::~User_profile() = default;

User_profile *User_profile::defaultInstance() {
  return keptInstance(userProfileInstance, [] { return new User_profile; });
}

void User_profile::loadStarted(bool load) {
  if (select_side_label)
    select_side_label->setVisible(!load);
  for (FieldControls &controls : fields)
    controls.side_combo->setVisible(!load);
}
