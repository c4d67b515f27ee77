// The main of every test executable: a Qt application on the offscreen platform, a
// temporary resource folder, and a strict scripted UI so that any modal window a test
// did not script fails that test instead of waiting for a person.

#include "platform/ScriptedUi.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Nothing a test does may touch the real user's folders.
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir resources;
  if (qEnvironmentVariableIsEmpty("AMENDS_RESOURCE_DIR"))
    qputenv("AMENDS_RESOURCE_DIR", resources.path().toUtf8());

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Amends"));
  ::testing::InitGoogleMock(&argc, argv);

  installTestFailureHandler();
  ScriptedUi strict;
  UiServices::setInstance(&strict);
  const int result = RUN_ALL_TESTS();
  UiServices::setInstance(nullptr);
  return result;
}
