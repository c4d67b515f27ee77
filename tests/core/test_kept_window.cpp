// The lifetime rule of the kept window controllers: the global that names one is
// cleared however it goes (its parent, the run's end, an explicit delete), the run's end
// deletes only the ones nothing else owns, and a controller's own dialog is deleted
// exactly once, also when it went with a parent window before.

#include "core/KeptWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace {

// A controller that counts its deletions and owns a dialog, as the kept windows do.
class Controller : public QObject {
public:
  explicit Controller(QObject *parent = nullptr, QWidget *parentWindow = nullptr) : QObject(parent) {
    m_window = new QDialog(parentWindow);
    ++alive;
  }
  ~Controller() override {
    --alive;
    ++deleted;
  }
  QDialog *window() const { return m_window; }

  static inline int alive = 0;
  static inline int deleted = 0;

private:
  OwnedWindow<QDialog> m_window;
};

Controller *Controller_Window = nullptr;
Controller *Other_Global = nullptr;

// A controller that names itself in Controller_Window, as the kept ones do when made.
Controller *keptController(QObject *parent = nullptr) {
  auto *controller = new Controller(parent);
  keepInGlobal(Controller_Window, controller);
  return controller;
}

// Ends the application's event loop the way the program's run ends: the application
// sends aboutToQuit.
void endTheRun() {
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

class KeptWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    Controller_Window = nullptr;
    Other_Global = nullptr;
    Controller::alive = 0;
    Controller::deleted = 0;
  }
};

TEST_F(KeptWindowTest, GlobalIsClearedHoweverTheControllerGoes) {
  // An explicit delete.
  Controller *controller = keptController();
  EXPECT_EQ(Controller_Window, controller);
  delete controller;
  EXPECT_EQ(Controller_Window, nullptr);

  // Its parent's deletion.
  auto parent = std::make_unique<QObject>();
  controller = keptController(parent.get());
  EXPECT_EQ(Controller_Window, controller);
  parent.reset();
  EXPECT_EQ(Controller_Window, nullptr);
  EXPECT_EQ(Controller::alive, 0);

  // A global that names a newer instance by then stays as it is; a second global of the
  // same controller is cleared too.
  Controller *older = keptController();
  clearWhenDeleted(Other_Global, older);
  Other_Global = older;
  Controller *newer = keptController();
  EXPECT_EQ(Controller_Window, newer);
  delete older;
  EXPECT_EQ(Controller_Window, newer);
  EXPECT_EQ(Other_Global, nullptr);
  // Even a controller whose signals are blocked clears it.
  newer->blockSignals(true);
  delete newer;
  EXPECT_EQ(Controller_Window, nullptr);
  EXPECT_EQ(Controller::deleted, 4);
}

TEST_F(KeptWindowTest, RunEndDeletesWhatNothingElseOwnsOnce) {
  int made = 0;
  auto make = [&made] {
    ++made;
    return new Controller;
  };
  Controller *first = keptInstance(Controller_Window, make);
  EXPECT_EQ(Controller_Window, first);
  EXPECT_EQ(keptInstance(Controller_Window, make), first);
  EXPECT_EQ(made, 1);

  // One deleted before the run ends is not deleted again; the next call makes a new one.
  delete first;
  EXPECT_EQ(Controller_Window, nullptr);
  Controller *second = keptInstance(Controller_Window, make);
  EXPECT_EQ(made, 2);

  // One that has a parent when the run ends is left to its parent.
  auto holder = std::make_unique<QObject>();
  Controller *held = keptInstance(Other_Global, [] { return new Controller; });
  held->setParent(holder.get());
  EXPECT_EQ(Controller::alive, 2);

  endTheRun();
  EXPECT_EQ(Controller_Window, nullptr);
  EXPECT_EQ(Other_Global, held);
  EXPECT_EQ(Controller::alive, 1);
  EXPECT_EQ(Controller::deleted, 2);
  Q_UNUSED(second);

  holder.reset();
  EXPECT_EQ(Other_Global, nullptr);
  EXPECT_EQ(Controller::alive, 0);
  EXPECT_EQ(Controller::deleted, 3);
}

TEST_F(KeptWindowTest, OwnedWindowIsDeletedOnceWithItsController) {
  // Without a parent window the dialog goes with its controller.
  auto *controller = new Controller;
  QPointer<QDialog> window = controller->window();
  ASSERT_TRUE(window);
  delete controller;
  EXPECT_FALSE(window);

  // With a parent window that goes first, the controller deletes nothing more and reads
  // its window as gone.
  auto parentWindow = std::make_unique<QWidget>();
  controller = new Controller(nullptr, parentWindow.get());
  window = controller->window();
  parentWindow.reset();
  EXPECT_FALSE(window);
  EXPECT_EQ(controller->window(), nullptr);
  delete controller;

  // With a parent window that outlives it, the controller still takes its window away.
  parentWindow = std::make_unique<QWidget>();
  controller = new Controller(nullptr, parentWindow.get());
  window = controller->window();
  delete controller;
  EXPECT_FALSE(window);
  EXPECT_TRUE(parentWindow->findChildren<QDialog *>().isEmpty());

  // A window given in place of another one deletes the one before.
  OwnedWindow<QDialog> owned(new QDialog);
  QPointer<QDialog> before = owned.get();
  owned = new QDialog;
  EXPECT_FALSE(before);
  EXPECT_NE(owned.get(), nullptr);
}

}  // namespace
