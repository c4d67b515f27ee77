// Controls act on their state, however it changed: a click, the keyboard or an
// assistive tool's action, which changes a control without clicking it.

#include "platform/ControlActions.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// What an assistive tool does with an item of a combo's closed list: its own action.
void toggleListItem(QComboBox &combo, int row) {
  QAccessibleInterface *box = QAccessible::queryAccessibleInterface(&combo);
  ASSERT_NE(box, nullptr);
  QAccessibleInterface *list = nullptr;
  for (int i = 0; i < box->childCount(); ++i)
    if (box->child(i) && box->child(i)->role() == QAccessible::List)
      list = box->child(i);
  ASSERT_NE(list, nullptr);
  QAccessibleInterface *item = nullptr;
  for (int i = 0; i < list->childCount(); ++i)
    if (list->child(i) && list->child(i)->text(QAccessible::Name) == combo.itemText(row))
      item = list->child(i);
  ASSERT_NE(item, nullptr);
  ASSERT_NE(item->actionInterface(), nullptr);
  item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

}  // namespace

TEST(ControlActions, EachKindOfButtonActsOncePerChangeHoweverItCame) {
  QWidget window;
  auto *layout = new QVBoxLayout(&window);
  auto *plain = new QPushButton(QStringLiteral("Go"));
  auto *box = new QCheckBox(QStringLiteral("Box"));
  auto *first = new QRadioButton(QStringLiteral("One"));
  auto *second = new QRadioButton(QStringLiteral("Two"));
  for (QWidget *w : {static_cast<QWidget *>(plain), static_cast<QWidget *>(box), static_cast<QWidget *>(first),
                     static_cast<QWidget *>(second)})
    layout->addWidget(w);
  first->setChecked(true);
  int pressed = 0, boxed = 0, firsts = 0, seconds = 0;
  controls::onAction(plain, &window, [&] { ++pressed; });
  controls::onAction(box, &window, [&] { ++boxed; });
  controls::onAction(first, &window, [&] { ++firsts; });
  controls::onAction(second, &window, [&] { ++seconds; });

  plain->click();
  box->click();    // a click: one action, not one for the click and one for the toggle
  box->toggle();   // an assistive tool's toggle: no click at all
  second->toggle();
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(boxed, 2);
  EXPECT_EQ(seconds, 1);
  EXPECT_EQ(firsts, 0) << "a radio button left acts not";
  first->click();
  EXPECT_EQ(firsts, 1);
  EXPECT_EQ(seconds, 1);

  // Shown by code, quietly.
  controls::setCheckedQuietly(second, true);
  controls::setCheckedQuietly(box, false);
  EXPECT_TRUE(second->isChecked());
  EXPECT_FALSE(first->isChecked());
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(seconds, 1);
  EXPECT_EQ(boxed, 2);
}

TEST(ControlActions, AnItemChosenInAClosedListBecomesTheCombosValue) {
  QComboBox combo;
  combo.setEditable(true);  // the export window's resolution: an editable list
  combo.addItems({QStringLiteral("72"), QStringLiteral("150"), QStringLiteral("300")});
  controls::followListChoice(&combo);
  controls::followListChoice(&combo);  // twice changes nothing
  combo.show();
  int changes = 0;
  QObject::connect(&combo, &QComboBox::currentIndexChanged, [&] { ++changes; });

  toggleListItem(combo, 2);
  EXPECT_EQ(combo.currentIndex(), 2);
  EXPECT_EQ(combo.currentText(), QStringLiteral("300"));
  EXPECT_EQ(changes, 1);

  // The program's own choice is left as it is.
  combo.setCurrentIndex(0);
  EXPECT_EQ(combo.currentText(), QStringLiteral("72"));
  EXPECT_EQ(changes, 2);

  // Every combo of the application, once shown.
  controls::followListChoiceEverywhere(qobject_cast<QApplication *>(QCoreApplication::instance()));
  QComboBox other;
  other.addItems({QStringLiteral("TIFF"), QStringLiteral("PNG")});
  other.show();
  toggleListItem(other, 1);
  EXPECT_EQ(other.currentText(), QStringLiteral("PNG"));
}
