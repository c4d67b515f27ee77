#pragma once
// A clean stage for tests of the main window: a resource folder of the test's own,
// shipped resources of the test's own (so what the start-up lists does not depend on
// the project's resources/ folder), a strict scripted UI, the globals at their
// program-start values, and no start-window or exit hooks.

#include "mainwindow/AppSession.h"
#include "mainwindow/QLNWindowController.h"

#include "dataseries/Data_From_Excel.h"

#include "core/Globals.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class MainWindowTest : public ::testing::Test {
protected:
  QString resourceDir() const { return root.path() + QStringLiteral("/Resources"); }
  QString shippedDir() const { return root.path() + QStringLiteral("/Shipped"); }

  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QDir().mkpath(shippedDir() + QStringLiteral("/Fill_Style_Image")));
    resourceEnv.emplace("AMENDS_RESOURCE_DIR", resourceDir());
    shippedEnv.emplace("AMENDS_SHIPPED_RESOURCES", shippedDir());
    resetGlobals();
    QLNWindowController::hooks() = {};
  }

  void TearDown() override {
    session.reset();
    QLNWindowController::hooks() = {};
    resetGlobals();
  }

  static void resetGlobals() {
    Resource_Path.clear();
    Data_Folder_Path.clear();
    Card_Front_Or_Back = 0;
    Card_Shape = 0;
    CARD_SIDE_STR = QStringLiteral("2");
    Not_Draw_Only_Prop_Change = 0;
    Card_Value_In_Process = false;
    Use_Data_Sheet_Values = 0;
    Use_Excel_Binding_Values = 0;
    Data_table_rows = 0;
    Excel_table_rows = 0;
    Total_Batch_Excel_Card = 0;
    // The imported rows live for the whole run, like the program's grid window.
    if (Data_From_Excel_Window)
      Data_From_Excel_Window->setTable(ImportedRowsTable());
    Start_Card_Option.clear();
    Project_File_Name.clear();
    Export_File_Path.clear();
    Export_File_Message.clear();
    sender_email.clear();
    sender_pwd.clear();
    sending_server.clear();
    sending_port.clear();
    send_enable_ssl.clear();
    last_ctrl_X = 10.0f;
    last_ctrl_Y = 10.0f;
    Library_Selected_Image.clear();
  }

  // A small PNG pattern in the shipped "Fill_Style_Image" folder.
  void shipPattern(const QString &fileName) {
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::darkBlue);
    ASSERT_TRUE(image.save(shippedDir() + QStringLiteral("/Fill_Style_Image/") + fileName, "PNG"));
  }

  // Starts a session; fails the test when the start-up ended the program.
  QLNWindowController *startSession() {
    session = std::make_unique<AppSession>();
    const bool started = session->start();
    EXPECT_TRUE(started) << "the start-up ended the program";
    return session->controller();
  }

  QTemporaryDir root;
  std::optional<ScopedEnvironment> resourceEnv;
  std::optional<ScopedEnvironment> shippedEnv;
  ScopedScriptedUi scripted;
  // Declared after the scripted UI so that it goes first.
  std::unique_ptr<AppSession> session;
};
