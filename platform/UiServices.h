#pragma once
// Every modal thing the program shows to a person goes through UiServices: alerts,
// questions, modal windows, file panels, the font and colour panels, and handing a
// file or address to the desktop. The real implementation (QtUiServices.h) uses Qt's
// dialogs; tests install ScriptedUi (ScriptedUi.h), which answers from a queue and
// never blocks.

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

// Result codes of a modal run, as the windows of the program use them.
constexpr int ModalOK = 1;
constexpr int ModalCancel = 0;

struct FilePanelOptions {
  QString title;
  QString directory;          // starting folder; empty for the last one used
  QStringList extensions;     // allowed extensions without the dot; empty allows every file
  QString defaultExtension;   // save panel: appended when the typed name has no allowed extension
  QString suggestedName;      // save panel: the name shown at first
  // Save panel: each of `extensions` is a type of its own to choose from (one name filter
  // each, in that order), the one of `defaultExtension` chosen at first. The chosen type
  // decides the file: the path returned ends in its extension, which replaces a typed
  // extension of an offered type and is added to any other name, so that the extension
  // tells which type was chosen.
  bool chooseType = false;
  // Save panel: asks whether an existing file of the chosen name may be replaced. A
  // caller that writes under another name than the one chosen turns it off and asks
  // about the files it does write itself.
  bool askToReplace = true;
};

class UiServices {
public:
  virtual ~UiServices();

  // The services in use: the Qt implementation unless a test installed another.
  // Safe to call from any thread; the Qt implementation does its work on the GUI
  // thread (see MainThread.h), waiting for it when called from elsewhere.
  static UiServices &instance();
  // Installs `services` (not owned) as the instance; nullptr restores the Qt one.
  static void setInstance(UiServices *services);

  // An alert with the single button "OK".
  virtual void alert(const QString &message, const QString &informative = QString()) = 0;
  // An alert with the buttons "Yes" (default) and "No"; true for Yes.
  virtual bool askYesNo(const QString &message, const QString &informative = QString()) = 0;
  // Runs the dialog as an application-modal window and returns its code
  // (ModalOK, ModalCancel or whatever the dialog ended with through QDialog::done).
  // A dialog without a parent widget is shown over parentWindow(); its ownership
  // does not change.
  virtual int runModal(QDialog *dialog) = 0;

  // File panels return the chosen absolute path(s), or empty when cancelled.
  virtual QString openFile(const FilePanelOptions &options) = 0;
  virtual QStringList openFiles(const FilePanelOptions &options) = 0;
  virtual QString saveFile(const FilePanelOptions &options) = 0;
  virtual QString chooseFolder(const FilePanelOptions &options) = 0;

  // Font and colour panels; nullopt when cancelled.
  virtual std::optional<QFont> chooseFont(const QFont &initial, const QString &title = QString()) = 0;
  virtual std::optional<QColor> chooseColor(const QColor &initial, bool withAlpha = true,
                                            const QString &title = QString()) = 0;

  // Hands a local file or an address to the desktop; false when nothing took it. The
  // desktop's opener may take it and only then find no application for it: `failed`,
  // when given, runs on the GUI thread in both cases, at once or when the opener ends.
  virtual bool openWithDesktop(const QUrl &url, std::function<void()> failed = {}) = 0;

  // The window that modal things are shown over (may be null). Set and read on the
  // GUI thread; the pointer is guarded, so a window that goes away unsets itself.
  void setParentWindow(QWidget *window);
  QWidget *parentWindow() const;

  // Where file panels given no folder start: the folder of the open design, which
  // `source` names (read on the GUI thread; empty while the design has no file).
  void setDocumentFolderSource(std::function<QString()> source);
  QString documentFolder() const;

private:
  QPointer<QWidget> m_parent;
  std::function<QString()> m_documentFolder;
};

// The folder a file panel starts in: the options' own folder; else the folder of the
// open design; else the last folder a panel ended in during this run; else the user's
// home, or its Pictures folder (where it exists) for a panel of pictures only.
QString panelStartFolder(const FilePanelOptions &options, const QString &documentFolder, const QString &lastFolder);

// Appends `defaultExtension` to the file name of `path` unless the name already ends
// in one of `extensions` or in `defaultExtension` (compared without case; with no
// `extensions` any extension is kept). Extensions may be given with or without
// their dot. An empty path stays empty (a cancelled panel), an empty default
// extension leaves the path as it is. Shared by the real save panel and the double.
QString withDefaultExtension(const QString &path, const QString &defaultExtension,
                             const QStringList &extensions);

// A save panel with a choice of type: the types it offers (`extensions` without dots, in
// order, each once) and the one chosen at first (`defaultExtension`'s, else the first).
QStringList panelTypes(const FilePanelOptions &options);
QString initialPanelType(const FilePanelOptions &options);

// `path` with its file name's extension replaced by `type` when that extension is one of
// the `offered` types (compared without case), else with `type`'s extension added: for
// "txt" among "xlsx" and "txt", "list", "list." and "list.XLSX" all become "list.txt",
// while "Notes 2.5" becomes "Notes 2.5.txt" and "list.csv" "list.csv.txt" (a name
// starting with its only dot, ".list", has no extension). An empty path stays empty.
// Shared by the real save panel and the double.
QString withChosenType(const QString &path, const QString &type, const QStringList &offered);
