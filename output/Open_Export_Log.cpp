#include "output/Open_Export_Log.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QUrl>

Open_Export_Log *Open_Export_Log::forController(QLNWindowController &controller) {
  if (auto *existing = controller.findChild<Open_Export_Log *>(QString(), Qt::FindDirectChildrenOnly))
    return existing;
  return new Open_Export_Log(controller);
}

Open_Export_Log::Open_Export_Log(QLNWindowController &controller) : QObject(&controller), m_controller(&controller) {
  setObjectName(QStringLiteral("Open_Export_Log"));
  DrawWindow *ui = controller.ui;
  ui->_open_log_chk->setChecked(true);
  // The window's own connection ends it with 1 on OK; this one opens the result first.
  disconnect(ui->_open_log_ok_btn, &QPushButton::clicked, ui->Open_Export_Files, nullptr);
  connect(ui->_open_log_ok_btn, &QPushButton::clicked, this,
          [this] { runLoggingFailures("_open_log_ok_btn", [this] { OKPressed(); }); });
  // Escape or the close button.
  connect(ui->Open_Export_Files, &QDialog::rejected, this, [this] {
    if (QCheckBox *box = _open_log_chk())
      box->setChecked(true);
  });
}

QDialog *Open_Export_Log::window() const { return m_controller ? m_controller->ui->Open_Export_Files : nullptr; }
QCheckBox *Open_Export_Log::_open_log_chk() const { return m_controller ? m_controller->ui->_open_log_chk : nullptr; }

void Open_Export_Log::OKPressed() {
  if (!m_controller)
    return;
  if (_open_log_chk()->isChecked() && !Export_File_Path.isEmpty()) {
    if (!UiServices::instance().openWithDesktop(QUrl::fromLocalFile(QFileInfo(Export_File_Path).absoluteFilePath())))
      Show_NSLog_Message(QStringLiteral("Nothing could open %1.").arg(Export_File_Path));
  }
  _open_log_chk()->setChecked(true);
  window()->done(ModalOK);
}

void Open_Export_Log::CancelPressed() {
  if (!m_controller)
    return;
  _open_log_chk()->setChecked(true);
  window()->done(ModalCancel);
}
