#pragma once
// The windows above the main window that start-up and the property panel need: the
// start window and the message chooser. StartWindows makes each when it is first asked
// for, and plugs both into QLNWindowController::hooks() for its life; main makes it before the session starts,
// so that it outlives the session's main window.

#include <memory>

class Invitation_Wizard;
class Insert_Template;

class StartWindows {
public:
  StartWindows();
  ~StartWindows();
  StartWindows(const StartWindows &) = delete;
  StartWindows &operator=(const StartWindows &) = delete;

private:
  // The start window, made when it first runs (after the main window is shown).
  Invitation_Wizard &startWindow();
  // The message chooser, made at its first use.
  Insert_Template &chooser();

  std::unique_ptr<Invitation_Wizard> m_wizard;
  std::unique_ptr<Insert_Template> m_chooser;
};
