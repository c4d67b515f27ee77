#pragma once
// What core code asks of the main window controller. Core sits below the main window,
// so it reaches the controller only through this interface: the controller derives
// from MainWindowServices and stores itself in Main_App_wnd. The defaults show the
// messages through UiServices, so they work before the main window exists and in tests.

#include "core/Globals.h"

#include <QString>

class MainWindowServices {
public:
  virtual ~MainWindowServices();

  // An alert with the given text and the single button "OK". Main thread only.
  virtual void Main_Thread_Messgae(const QString &text);
  // A question with the buttons "Yes" (default) and "No". Sets yes_no_msg_val to 0,
  // then to 1 when the answer is Yes. Main thread only.
  virtual void Main_Thread_Messgae_Yes_No(const QString &text);
};

extern MainWindowServices *Main_App_wnd;

// Main_App_wnd, or while it is null a process-wide default instance.
MainWindowServices &mainWindowServices();
