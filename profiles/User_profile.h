#pragma once
// User_profile: the wizard's profile window "User Profile Information". The card and
// template wizards open it with no side; OK writes the same fields into the front and
// the back profile record, and nothing is placed on the card then. Each field also has
// a side combo (front, back, both): a field entered is marked as waiting to be placed in
// the records of the sides it names.
//
// One instance for the run (defaultInstance); main thread only.

#include "profiles/ProfileWindow.h"

class User_profile : public ProfileWindow {
  Q_OBJECT
public:
  User_profile();
  ~User_profile() override;
  // The instance of the run, made (with its window) on first use.
  static User_profile *defaultInstance();

  QLabel *select_side_label = nullptr;

protected:
  // Loading from a side hides the side combos; a fresh profile shows them.
  void loadStarted(bool load) override;
};
