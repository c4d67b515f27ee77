#include "app/StartWindows.h"

#include "designs/Insert_Template.h"
#include "designs/Invitation_Wizard.h"

#include "mainwindow/QLNWindowController.h"

#include "barcode/Barcode_Gen.h"
#include "dataseries/View_Data_Series.h"

#include "output/Send_Modeless.h"
#include "periphery/Review_Form.h"

#include <QCoreApplication>

StartWindows::StartWindows() {
  QLNWindowController::Hooks &hooks = QLNWindowController::hooks();
  hooks.runStartWindow = [this] { return startWindow().Open_Wnd(); };
  hooks.runTemplatePicker = [this](const QString &title_or_msg) {
    Insert_Template &picker = chooser();
    picker.title_or_msg = title_or_msg;
    return picker.Open_Template_Dialog();
  };
  // The property panel's and the barcode designer's view buttons show a series in the viewer.
  auto viewSeries = [](const QString &name) {
    View_Data_Series *viewer = View_Data_Series::defaultInstance();
    viewer->file_name = name;
    viewer->Open_Wnd();
  };
  hooks.viewSeries = viewSeries;
  Barcode_Gen::viewSeries() = viewSeries;
  hooks.sharedProgressWindow = [] { return Send_Modeless::defaultInstance(); };
  // The review window, once, when Exit ends the program.
  hooks.runReviewWindow = &Review_Form::runAtExit;
}

Invitation_Wizard &StartWindows::startWindow() {
  if (!m_wizard) {
    // The main window is shown and filled by the time the start window first runs: it
    // draws itself now (what is waiting to be drawn, no input), so that it stands
    // complete while the start window is made and put over it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_wizard = std::make_unique<Invitation_Wizard>();
  }
  return *m_wizard;
}

Insert_Template &StartWindows::chooser() {
  if (!m_chooser)
    m_chooser = std::make_unique<Insert_Template>();
  return *m_chooser;
}

StartWindows::~StartWindows() {
  QLNWindowController::Hooks &hooks = QLNWindowController::hooks();
  hooks.runStartWindow = nullptr;
  hooks.runTemplatePicker = nullptr;
  hooks.viewSeries = nullptr;
  Barcode_Gen::viewSeries() = nullptr;
  hooks.sharedProgressWindow = nullptr;
  hooks.runReviewWindow = nullptr;
}
