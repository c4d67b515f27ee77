#pragma once
// Export_Template: the naming dialog of templates ("Export_Template_Window" of the main
// window, with the fields template_name and template_passed). The caller fills both
// fields (template_passed empty for a new template, the current name when a user
// template gets a new one) and runs the window modally: 1 when a name was accepted,
// then in export_template_name; 0 on Cancel.
//
// The name is user text that becomes a file name in the resource folder's
// "Templates"/"User": it is cleaned once (cleanedFileName: reserved characters and
// blanks off its ends), and the cleaned name is both the one checked for an existing
// template and the one accepted. A name that could leave that folder (a "/" or "\"
// inside it) or that starts with "." (a hidden file the browser would never list) is
// refused with a message, the dialog staying open. A template's current name given
// again unchanged is kept as it stands. Main thread only.

#include <QObject>
#include <QPointer>
#include <QString>

class DrawWindow;
class QDialog;
class QLineEdit;
class QPushButton;

// The name accepted last by the naming dialog.
extern QString export_template_name;

class Export_Template : public QObject {
  Q_OBJECT
public:
  // Takes over the naming window of `ui` (not owned): OK and Cancel reach the actions
  // below.
  explicit Export_Template(DrawWindow *ui, QObject *parent = nullptr);
  ~Export_Template() override;

  QDialog *window() const;
  QLineEdit *template_name() const;
  QLineEdit *template_passed() const;

  // Fills both fields and runs the window; the modal code. The OK button says "Save" for
  // a new template and "Rename" for a new name.
  int run(const QString &name, const QString &passed);

  void OKPressed(QObject *sender = nullptr);
  void CancelPressed(QObject *sender = nullptr);

private:
  QPointer<QDialog> m_window;
  QPointer<QLineEdit> m_name;
  QPointer<QLineEdit> m_passed;
  QPointer<QPushButton> m_ok;
};
