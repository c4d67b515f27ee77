#include "core/MainWindowServices.h"

#include "platform/UiServices.h"

#include <QLibraryInfo>
#include <QVersionNumber>

#include <algorithm>

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

FontSpec MainWindowServices::All_Text_font() const {
  return FontSpec(Text_Ctrl_Font, 14.0);
}

QColor MainWindowServices::All_Text_clr() const { return QColor(Qt::black); }

QString MainWindowServices::App_Name() const { return QStringLiteral("Amends"); }

// Without a main window there is no cascade: new objects start at the top left.
QPointF MainWindowServices::Control_New_Point(const QString &) { return QPointF(10.0, 10.0); }

QRectF MainWindowServices::frontCanvasBounds() const { return QRectF(); }

void MainWindowServices::Refresh_Canvas() {}

void MainWindowServices::designObjectsArrived(const QLNGraphicList &graphics, bool) {
  for (const QLNGraphicPtr &graphic : graphics)
    if (graphic)
      graphic->excel_col_mark.reset();
}

int MainWindowServices::qtToolkitVersion() {
  const QVersionNumber version = QLibraryInfo::version();
  return version.majorVersion() * 1000 + version.minorVersion() * 10 + std::min(version.microVersion(), 9);
}
