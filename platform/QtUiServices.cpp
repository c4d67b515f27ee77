#include "platform/QtUiServices.h"

#include "platform/MainThread.h"

#include <algorithm>

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextDocument>
#include <QWindow>

namespace {

enum PanelMode { OpenOne, OpenMany, Save, Folder };

QString extensionWithoutDot(const QString &extension) {
  QString e = extension.trimmed();
  while (e.startsWith(QLatin1Char('.')))
    e.remove(0, 1);
  return e;
}

// Message texts come from the program and from the user's data: never let Qt take
// them for HTML. The informative text has no format setting of its own (Qt guesses),
// so it is handed over as HTML made from the plain text.
void preparePlainBox(QMessageBox &box, const QString &message, const QString &informative) {
  box.setWindowTitle(QCoreApplication::applicationName());
  box.setTextFormat(Qt::PlainText);
  box.setText(message);
  if (!informative.isEmpty())
    box.setInformativeText(Qt::convertFromPlainText(informative));
}

// A Yes/No question over `over`; Escape answers No. True when Yes was pressed.
bool askYesNoOver(QWidget *over, const QString &message, const QString &informative, QMessageBox::Icon icon,
                  bool yesByDefault) {
  QMessageBox box(over);
  preparePlainBox(box, message, informative);
  box.setIcon(icon);
  QPushButton *yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
  QPushButton *no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
  box.setDefaultButton(yesByDefault ? yes : no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

// An alert with one OK button over `over`.
void alertOver(QWidget *over, const QString &message, const QString &informative) {
  QMessageBox box(over);
  preparePlainBox(box, message, informative);
  box.setIcon(QMessageBox::Information);
  QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

// The first of `files` whose type is not among `extensions` (compared without case);
// "" when all are, or when no types are given.
QString firstOfAnotherType(const QStringList &files, const QStringList &extensions) {
  if (extensions.isEmpty())
    return QString();
  for (const QString &file : files) {
    const QString suffix = QFileInfo(file).suffix();
    const bool offered = std::any_of(extensions.begin(), extensions.end(), [&](const QString &given) {
      return !suffix.isEmpty() && suffix.compare(extensionWithoutDot(given), Qt::CaseInsensitive) == 0;
    });
    if (!offered)
      return file;
  }
  return QString();
}

// Tells that `file` is not of the types an open panel offers.
void tellNotOffered(QWidget *over, const QString &file, const QStringList &extensions) {
  QStringList types;
  for (const QString &given : extensions) {
    const QString type = extensionWithoutDot(given).toUpper();
    if (!type.isEmpty() && !types.contains(type))
      types << type;
  }
  const QString listed = types.join(QStringLiteral(", "));
  const QString choose = types.size() == 1 ? QStringLiteral("Choose a file of the type %1.").arg(listed)
                                           : QStringLiteral("Choose a file of one of the types %1.").arg(listed);
  alertOver(over, QStringLiteral("%1 cannot be chosen here.").arg(QFileInfo(file).fileName()), choose);
}

// Asks whether the existing file at `path` may be replaced, as the file dialog itself
// asks; No is the default.
bool confirmReplace(QWidget *over, const QString &path) {
  return askYesNoOver(over,
                      QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName()),
                      QString(), QMessageBox::Warning, false);
}

}  // namespace

QStringList nameFiltersFor(const QStringList &extensions) {
  QStringList labels;
  QStringList patterns;
  for (const QString &given : extensions) {
    const QString e = extensionWithoutDot(given);
    if (e.isEmpty() || labels.contains(e.toUpper()))
      continue;
    labels << e.toUpper();
    // Some platform file dialogs match case-sensitively; list both spellings.
    patterns << QStringLiteral("*.") + e.toLower();
    if (e.toUpper() != e.toLower())
      patterns << QStringLiteral("*.") + e.toUpper();
  }
  if (patterns.isEmpty())
    return {};
  return {labels.join(QStringLiteral(", ")) + QStringLiteral(" files (") + patterns.join(QLatin1Char(' '))
          + QLatin1Char(')')};
}

QStringList nameFiltersPerType(const QStringList &types) {
  QStringList filters;
  for (const QString &type : types)
    filters << nameFiltersFor({type});
  return filters;
}

void QtUiServices::alert(const QString &message, const QString &informative) {
  MainThread::runAndWait([&] { alertOver(parentWindow(), message, informative); });
}

bool QtUiServices::askYesNo(const QString &message, const QString &informative) {
  bool yes = false;
  MainThread::runAndWait(
      [&] { yes = askYesNoOver(parentWindow(), message, informative, QMessageBox::Question, true); });
  return yes;
}

int QtUiServices::runModal(QDialog *dialog) {
  if (!dialog)
    return ModalCancel;
  int code = ModalCancel;
  MainThread::runAndWait([&] {
    // A dialog without a parent widget is put over the program's window as a
    // transient window only, so that whoever owns the dialog keeps owning it.
    QWidget *over = parentWindow();
    if (!dialog->parentWidget() && over && over->window()->windowHandle()) {
      dialog->winId();  // makes the dialog's QWindow
      if (QWindow *handle = dialog->windowHandle())
        handle->setTransientParent(over->window()->windowHandle());
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    code = dialog->exec();
  });
  return code;
}

QStringList QtUiServices::runFileDialog(const FilePanelOptions &options, int mode) {
  QStringList chosen;
  MainThread::runAndWait([&] {
    const QString folder = panelStartFolder(options, documentFolder(), m_lastFolder);
    QFileDialog dialog(parentWindow(), options.title, folder);
    switch (mode) {
    case OpenOne:
      dialog.setFileMode(QFileDialog::ExistingFile);
      break;
    case OpenMany:
      dialog.setFileMode(QFileDialog::ExistingFiles);
      break;
    case Save:
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      break;
    case Folder:
      dialog.setFileMode(QFileDialog::Directory);
      dialog.setOption(QFileDialog::ShowDirsOnly);
      break;
    }
    // A save panel with a choice of type offers one filter per type.
    const bool typeChoice = mode == Save && options.chooseType;
    const QStringList types = typeChoice ? panelTypes(options) : QStringList();
    const QStringList filters = mode == Folder ? QStringList()
                                : typeChoice   ? nameFiltersPerType(types)
                                               : nameFiltersFor(options.extensions);
    if (!filters.isEmpty())
      dialog.setNameFilters(filters);
    if (typeChoice && !types.isEmpty())
      dialog.selectNameFilter(filters.at(types.indexOf(initialPanelType(options))));
    // The name gets its extension (the chosen type's, or the default one) after the
    // dialog has ended: the dialog would ask about the name as typed ("Sorry v1.2"), not
    // the file that will be written ("Sorry v1.2.dcard"). The question is asked below,
    // about that file, once.
    if (mode == Save)
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (mode == Save && !options.suggestedName.isEmpty())
      dialog.selectFile(options.suggestedName);
    for (;;) {
      chosen.clear();
      if (dialog.exec() != QDialog::Accepted)
        return;
      chosen = dialog.selectedFiles();
      if (mode == OpenOne || mode == OpenMany) {
        // The dialog takes a typed name of any type: a file of a type the panel does not
        // offer is refused, and the panel stays for another choice.
        const QString refused = firstOfAnotherType(chosen, options.extensions);
        if (refused.isEmpty())
          break;
        tellNotOffered(parentWindow(), refused, options.extensions);
        continue;
      }
      if (mode != Save || chosen.isEmpty())
        break;
      if (!typeChoice || types.isEmpty()) {
        chosen = {withDefaultExtension(chosen.first(), options.defaultExtension, options.extensions)};
      } else {
        const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
        chosen = {withChosenType(chosen.first(), index >= 0 ? types.at(index) : initialPanelType(options), types)};
      }
      if (!options.askToReplace || !QFileInfo::exists(chosen.first()) ||
          confirmReplace(parentWindow(), chosen.first()))
        break;
      // No: back to the panel, as it was.
    }
    if (!chosen.isEmpty())
      m_lastFolder = mode == Folder ? chosen.first() : QFileInfo(chosen.first()).absolutePath();
  });
  return chosen;
}

QString QtUiServices::openFile(const FilePanelOptions &options) {
  return runFileDialog(options, OpenOne).value(0);
}

QStringList QtUiServices::openFiles(const FilePanelOptions &options) {
  return runFileDialog(options, OpenMany);
}

QString QtUiServices::saveFile(const FilePanelOptions &options) {
  return runFileDialog(options, Save).value(0);
}

QString QtUiServices::chooseFolder(const FilePanelOptions &options) {
  return runFileDialog(options, Folder).value(0);
}

std::optional<QFont> QtUiServices::chooseFont(const QFont &initial, const QString &title) {
  std::optional<QFont> chosen;
  MainThread::runAndWait([&] {
    QFontDialog dialog(initial, parentWindow());
    if (!title.isEmpty())
      dialog.setWindowTitle(title);
    if (dialog.exec() == QDialog::Accepted)
      chosen = dialog.selectedFont();
  });
  return chosen;
}

std::optional<QColor> QtUiServices::chooseColor(const QColor &initial, bool withAlpha, const QString &title) {
  std::optional<QColor> chosen;
  MainThread::runAndWait([&] {
    QColorDialog dialog(initial, parentWindow());
    if (!title.isEmpty())
      dialog.setWindowTitle(title);
    dialog.setOption(QColorDialog::ShowAlphaChannel, withAlpha);
    if (dialog.exec() == QDialog::Accepted && dialog.selectedColor().isValid())
      chosen = dialog.selectedColor();
  });
  return chosen;
}

namespace {

// Runs the desktop's opener, xdg-open, for `url`; false when there is none on the path.
// QDesktopServices starts it detached and takes its start for success, but the opener
// looks for an application only once started and ends with a failure status when it
// finds none: that end runs `failed`. The opener may stay as long as the application it
// started (with no desktop session to hand over to), so it is never stopped: it shares
// the program's output channels rather than pipes, and the process object is left
// behind, not destroyed, when the program ends first.
bool runDesktopOpener(const QUrl &url, const std::function<void()> &failed) {
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty())
    return false;
  auto *process = new QProcess;
  process->setProgram(opener);
  process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::finished, process, [process, failed](int status, QProcess::ExitStatus how) {
    process->deleteLater();
    if ((how != QProcess::NormalExit || status != 0) && failed)
      failed();
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart)
      return;
    process->deleteLater();
    if (failed)
      failed();
  });
  process->start();
  return true;
}

}  // namespace

bool QtUiServices::openWithDesktop(const QUrl &url, std::function<void()> failed) {
  bool opened = false;
  MainThread::runAndWait([&] {
    opened = url.isValid() && (runDesktopOpener(url, failed) || QDesktopServices::openUrl(url));
    if (!opened && failed)
      failed();
  });
  return opened;
}
