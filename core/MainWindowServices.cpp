#include "core/MainWindowServices.h"

#include "platform/UiServices.h"

MainWindowServices::~MainWindowServices() = default;

void MainWindowServices::Main_Thread_Messgae(const QString &text) {
  UiServices::instance().alert(text, QString());
}

void MainWindowServices::Main_Thread_Messgae_Yes_No(const QString &text) {
  yes_no_msg_val = 0;
  if (UiServices::instance().askYesNo(text, QString()))
    yes_no_msg_val = 1;
}

MainWindowServices &mainWindowServices() {
  if (Main_App_wnd)
    return *Main_App_wnd;
  static MainWindowServices fallback;
  return fallback;
}
