#pragma once
// A control's action follows the control's state, however the state changed: a mouse
// click, the keyboard (space, the arrow keys in a group of radio buttons) or an
// assistive tool's "toggle" action, which changes a button without clicking it.
//
// - A plain button acts when it is pressed.
// - A radio button (or any button of an exclusive group) acts once when it becomes the
//   chosen one, not when it is left.
// - Any other checkable button (a check box) acts on every change of its state.
//
// Changes the program makes itself reach the action too; code that sets a control
// only to show a state it already holds blocks the control's signals (QSignalBlocker).

#include <QAbstractButton>
#include <QButtonGroup>
#include <QObject>
#include <QRadioButton>
#include <QSignalBlocker>

#include <utility>

class QApplication;
class QComboBox;

namespace controls {

// A combo box's list can be chosen from without opening it: an assistive tool selects
// an item of the closed list ("toggle" on the item). Such a choice becomes the combo's
// current item, as a click on the item in the open list does. (While the list is open
// its selection follows the pointer, and the combo takes the item when it closes.)
void followListChoice(QComboBox *combo);
// followListChoice for every combo box of the application, as each is first shown.
void followListChoiceEverywhere(QApplication *application);

inline bool choosesOneOfMany(const QAbstractButton *button) {
  if (qobject_cast<const QRadioButton *>(button) || button->autoExclusive())
    return true;
  return button->group() && button->group()->exclusive();
}

template <typename Action>
QMetaObject::Connection onAction(QAbstractButton *button, const QObject *context, Action action) {
  if (!button->isCheckable())
    return QObject::connect(button, &QAbstractButton::clicked, context, [action = std::move(action)] { action(); });
  if (choosesOneOfMany(button))
    return QObject::connect(button, &QAbstractButton::toggled, context, [action = std::move(action)](bool on) {
      if (on)
        action();
    });
  return QObject::connect(button, &QAbstractButton::toggled, context, [action = std::move(action)] { action(); });
}

// Shows `on` on `button` without running its action: for code that fills a window from
// what it shows. (A radio button left by this sends its own toggle, which no action
// takes, since radio buttons act only when chosen.)
inline void setCheckedQuietly(QAbstractButton *button, bool on) {
  const QSignalBlocker quiet(button);
  button->setChecked(on);
}

}  // namespace controls
