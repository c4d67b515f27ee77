#pragma once
// What the builders of DrawWindow (DrawWindow.cpp, DrawWindow_Tools.cpp,
// DrawWindow_Panel.cpp, DrawWindow_Sheets.cpp) share: the window's colours, MAKE, which
// creates a member's widget under the member's own name, and the small layout pieces the
// property tabs are made of. Only those files include it.

#include "mainwindow/DeferredWidgets.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <initializer_list>
#include <type_traits>

class QFormLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QWidget;
class Stepper;

namespace drawwindow {

// The window's own colours: the background the window is given at start-up, the
// slightly darker ground of the canvas area and the ground of the tool column.
inline const QColor WindowGround(241, 244, 250);
inline const QColor CanvasGround(222, 226, 234);
inline const QColor ToolGround(232, 236, 244);

template <class W>
W *named(W *widget, const char *name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// A property tab: a frameless scroll area (the tab item itself, stored in `member`)
// around a column of rows; returns the column.
QVBoxLayout *makePage(QWidget *&page, const char *name);
template <class Member>
QVBoxLayout *makePage(Member &member, const char *name) {
  QWidget *page = nullptr;
  QVBoxLayout *column = makePage(page, name);
  member = page;
  return column;
}
// A bold title over a group of rows.
QLabel *sectionTitle(const QString &text);
// A form of right-aligned labels and growing fields.
QFormLayout *newForm();
// A value field with its stepper and an optional unit; the two are linked, the field
// accepting `decimals` decimals.
QWidget *valueRow(QLineEdit *field, Stepper *stepper, const QString &unit = QString(), int decimals = 0);
// The widgets side by side, left-aligned unless `stretch` is false.
QWidget *hbox(std::initializer_list<QWidget *> widgets, bool stretch = true);
void setupStepper(Stepper *stepper, double minimum, double maximum, double increment, double value);
QLineEdit *readOnly(QLineEdit *field);

// Every control a user acts on has a name that a screen reader says for it and a tip
// shown when the pointer rests on it.
void describe(QWidget *control, const QString &name, const QString &tip);
// A control whose visible text already names it (a labelled button or check box) gets
// only its tip.
void withTip(QWidget *control, const QString &tip);
// A value field and its stepper: the field takes the name and tip, the stepper's arrows
// are named after it ("Increase border width").
void describeValue(QLineEdit *field, Stepper *stepper, const QString &name, const QString &tip);

}  // namespace drawwindow

// Creates the member's widget with the arguments and gives it the member's name.
#define MAKE(member, ...) \
  (member = drawwindow::named(new typename HeldWidget<decltype(member)>::type(__VA_ARGS__), #member))
