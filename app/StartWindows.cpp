#include "app/StartWindows.h"

#include "designs/Insert_Template.h"
#include "designs/Invitation_Wizard.h"

#include "mainwindow/QLNWindowController.h"

StartWindows::StartWindows()
    : m_wizard(std::make_unique<Invitation_Wizard>()), m_chooser(std::make_unique<Insert_Template>()) {
  QLNWindowController::Hooks &hooks = QLNWindowController::hooks();
  hooks.runStartWindow = [wizard = m_wizard.get()] { return wizard->Open_Wnd(); };
  hooks.runTemplatePicker = [chooser = m_chooser.get()](const QString &title_or_msg) {
    chooser->title_or_msg = title_or_msg;
    return chooser->Open_Template_Dialog();
  };
}

StartWindows::~StartWindows() {
  QLNWindowController::Hooks &hooks = QLNWindowController::hooks();
  hooks.runStartWindow = nullptr;
  hooks.runTemplatePicker = nullptr;
}
