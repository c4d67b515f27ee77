#pragma once
// A UiServices double for tests: every request takes the next scripted answer from a
// queue and is recorded. A request that finds no answer, or an answer of another kind,
// is reported through the failure handler (tests make that a test failure) and gets
// the cancelling answer (alert: nothing; Yes/No: false; modal: ModalCancel; panels:
// empty; font and colour: nullopt; desktop: false), so a test never hangs on a modal
// window. An answer of another kind stays at the head of the queue.
//
// Requests may come from any thread (recording is locked); a modal window is always
// handled on the GUI thread.

#include "platform/UiServices.h"

#include <QMutex>
#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

class ScriptedUi : public UiServices {
public:
  enum class Kind { Alert, YesNo, Modal, OpenFile, OpenFiles, SaveFile, Folder, Font, Color, Desktop };

  // What was asked, in order. For alerts `text` is the message and `detail` the
  // informative text; for modal windows `text` is the dialog's objectName and
  // `detail` its window title; for file panels `text` is the title and `detail` the
  // extensions joined with ","; for the font and colour panels `text` is the title
  // and `detail` the initial family or colour ("#AARRGGBB"); for the desktop `text`
  // is the URL.
  struct Request {
    Kind kind;
    QString text;
    QString detail;
  };

  ScriptedUi();
  ~ScriptedUi() override;

  // Scripting the answers, consumed in order.
  void expectAlert();                                   // pressing "OK"
  void answerYesNo(bool yes);
  // The dialog is shown (so its show-time code runs and its widgets get their
  // geometry), then ended with QDialog::done(code), which hides it, sets its result
  // and emits finished/accepted/rejected; runModal returns `code`. No event loop runs.
  void answerModal(int code);
  // The dialog is shown (with show(): no modal event loop runs), `script` runs with
  // it and may fill fields and press buttons; if the dialog is still visible
  // afterwards it is ended with done(script's result). runModal returns the
  // script's result.
  void answerModal(std::function<int(QDialog *)> script);
  void answerOpenFile(const QString &path);             // "" cancels
  void answerOpenFiles(const QStringList &paths);
  void answerSaveFile(const QString &path);             // "" cancels; the default extension
                                                        // is added as the real panel adds it
  // A save panel with a choice of type: `path` as typed, and the type chosen in it (""
  // keeps the one chosen at first); the path gets the chosen type's extension as the
  // real panel gives it. Scripting a type for a panel that offers no choice, or a type it
  // does not offer, is a failure.
  void answerSaveFile(const QString &path, const QString &type);
  void answerFolder(const QString &path);               // "" cancels
  void answerFont(std::optional<QFont> font);
  void answerColor(std::optional<QColor> color);
  void answerDesktop(bool opened);

  // What has been shown so far, and how many scripted answers are left.
  std::vector<Request> requests() const;
  QStringList alertTexts() const;                       // messages of alerts and questions
  size_t pending() const;
  void clear();                                         // forgets requests and answers

  // Called with a description of every request that had no fitting answer, on the
  // thread that made the request. Without a handler the description goes to
  // standard error and the process aborts: a test must never wait silently.
  // An empty handler restores that default.
  using FailureHandler = std::function<void(const QString &)>;
  static void setFailureHandler(FailureHandler handler);

  // UiServices
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
  using Value = std::variant<std::monostate, bool, int, QString, QStringList, std::optional<QFont>,
                             std::optional<QColor>, std::function<int(QDialog *)>>;
  struct Answer {
    Kind kind;
    Value value;
  };
  void push(Kind kind, Value value);
  // Records the request and pops the next answer when it is of `kind`; otherwise
  // reports the failure (`what` describes the request) and returns nothing.
  std::optional<Answer> take(Kind kind, const QString &text, const QString &detail, const QString &what);

  mutable QMutex m_mutex;
  std::deque<Answer> m_answers;
  std::vector<Request> m_requests;
};

// Human-readable name of a request kind, for failure messages.
QString toString(ScriptedUi::Kind kind);
