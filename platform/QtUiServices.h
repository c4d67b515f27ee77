#pragma once
// The UiServices of the running program: Qt's message boxes, file dialogs, font and
// colour dialogs and QDesktopServices. Every call does its work on the GUI thread
// (MainThread::runAndWait), so a worker thread may ask too and waits for the answer.

#include "platform/UiServices.h"

class QtUiServices : public UiServices {
public:
  void alert(const QString &message, const QString &informative) override;
  bool askYesNo(const QString &message, const QString &informative) override;
  int runModal(QDialog *dialog) override;
  QString openFile(const FilePanelOptions &options) override;
  QStringList openFiles(const FilePanelOptions &options) override;
  QString saveFile(const FilePanelOptions &options) override;
  QString chooseFolder(const FilePanelOptions &options) override;
  std::optional<QFont> chooseFont(const QFont &initial, const QString &title) override;
  std::optional<QColor> chooseColor(const QColor &initial, bool withAlpha, const QString &title) override;
  bool openWithDesktop(const QUrl &url, std::function<void()> failed = {}) override;

private:
  QStringList runFileDialog(const FilePanelOptions &options, int mode);

  QString m_lastFolder;  // where the last panel ended, for panels given no folder
};

// The file dialog's name filter for `extensions`: one filter listing every extension
// in lower and upper case ("PNG, JPG files (*.png *.PNG *.jpg *.JPG)"), or none when
// every file is allowed.
QStringList nameFiltersFor(const QStringList &extensions);
// One such filter for each of `types`, in order: the choices of a save panel that offers
// a choice of type ("XLSX files (*.xlsx *.XLSX)", "TXT files (*.txt *.TXT)").
QStringList nameFiltersPerType(const QStringList &types);
