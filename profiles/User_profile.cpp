#include "profiles/User_profile.h"

#include "core/Utilities.h"

#include <QComboBox>
#include <QLabel>

namespace {

User_profile *userProfileInstance = nullptr;

}  // namespace

User_profile::User_profile() {
  buildWindow(QStringLiteral("User_profile"), QStringLiteral("User Profile Information"), false);
  select_side_label = window()->findChild<QLabel *>(QStringLiteral("select_side_label"));
  userProfileInstance = this;
}

User_profile::~User_profile() {
  if (userProfileInstance == this)
    userProfileInstance = nullptr;
}

User_profile *User_profile::defaultInstance() {
  if (userProfileInstance)
    return userProfileInstance;
  auto *instance = new User_profile;
  deleteWhenTheRunEnds(instance);
  return instance;
}

void User_profile::loadStarted(bool load) {
  if (select_side_label)
    select_side_label->setVisible(!load);
  for (FieldControls &controls : fields)
    controls.side_combo->setVisible(!load);
}
