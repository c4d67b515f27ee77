#include "designs/Export_Template.h"

#include "designs/Templates.h"

#include "mainwindow/DrawWindow.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

QString export_template_name;

namespace {

const QString EmptyNameMessage = QStringLiteral("Please enter template name.");
const QString ReplaceQuestion =
    QStringLiteral("Template with this name already exists, Do you want to replace the existing template?");
const QString NameUsedMessage = QStringLiteral("Template with this name already exists.");
const QString UnsafeNameMessage =
    QStringLiteral("A template name cannot hold \"/\" or \"\\\", nor start with \".\". Please enter another name.");

}  // namespace

Export_Template::Export_Template(DrawWindow *ui, QObject *parent)
    : QObject(parent), m_window(ui->Export_Template_Window), m_name(ui->template_name), m_passed(ui->template_passed),
      m_ok(ui->template_ok_btn) {
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);
  connect(ui->template_ok_btn, &QPushButton::clicked, this, [this, ok = ui->template_ok_btn] { OKPressed(ok); });
  connect(ui->template_cancel_btn, &QPushButton::clicked, this,
          [this, cancel = ui->template_cancel_btn] { CancelPressed(cancel); });
}

Export_Template::~Export_Template() = default;

QDialog *Export_Template::window() const { return m_window; }
QLineEdit *Export_Template::template_name() const { return m_name; }
QLineEdit *Export_Template::template_passed() const { return m_passed; }

int Export_Template::run(const QString &name, const QString &passed) {
  m_name->setText(name);
  m_passed->setText(passed);
  m_ok->setText(passed.isEmpty() ? QStringLiteral("Save") : QStringLiteral("Rename"));
  m_ok->setToolTip(passed.isEmpty() ? QStringLiteral("Save the design as a template under this name")
                                    : QStringLiteral("Give the template this name"));
  m_name->selectAll();
  m_name->setFocus();
  return UiServices::instance().runModal(m_window);
}

void Export_Template::OKPressed(QObject *) {
  // The current name of a template, given again unchanged, stays as it is listed; a
  // typed name is cleaned once, into the name that is both checked and written.
  const QString passed = m_passed->text();
  const QString name = !passed.isEmpty() && m_name->text() == passed ? passed : cleanedFileName(m_name->text());
  if (name.isEmpty()) {
    Show_MessageBox(EmptyNameMessage);
    return;
  }
  // The name becomes a file name in the user's template folder and must stay in it; a
  // name starting with "." would be a hidden file the template list never shows.
  if (!isSafeFileName(name) || name.startsWith(QLatin1Char('.'))) {
    Show_MessageBox(UnsafeNameMessage);
    return;
  }
  const QString designPath = joinPath(Templates::userFolder(), name + QLatin1Char('.') + design_file_EXT);
  const bool used = QFileInfo::exists(designPath);
  if (passed.isEmpty()) {
    if (used && !Show_YES_NO_MessageBox(ReplaceQuestion))
      return;
  } else if (name != passed && used) {
    Show_MessageBox(NameUsedMessage);
    return;
  }
  export_template_name = name;
  m_window->done(ModalOK);
}

void Export_Template::CancelPressed(QObject *) {
  m_name->clear();
  m_window->done(ModalCancel);
}
