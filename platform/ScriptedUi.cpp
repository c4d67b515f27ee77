#include "platform/ScriptedUi.h"

#include "platform/MainThread.h"

#include <QDialog>
#include <QMutexLocker>

#include <cstdio>
#include <cstdlib>

namespace {

QMutex &handlerMutex() {
  static QMutex mutex;
  return mutex;
}

ScriptedUi::FailureHandler &failureHandler() {
  static ScriptedUi::FailureHandler handler;
  return handler;
}

void reportFailure(const QString &description) {
  ScriptedUi::FailureHandler handler;
  {
    QMutexLocker lock(&handlerMutex());
    handler = failureHandler();
  }
  if (handler) {
    handler(description);
    return;
  }
  std::fprintf(stderr, "%s\n", description.toLocal8Bit().constData());
  std::fflush(stderr);
  std::abort();
}

QString quoted(const QString &text) {
  return QLatin1Char('"') + text + QLatin1Char('"');
}

QString describeAlert(const QString &message, const QString &informative) {
  QString d = quoted(message);
  if (!informative.isEmpty())
    d += QStringLiteral(" (informative text ") + quoted(informative) + QLatin1Char(')');
  return d;
}

QString describePanel(const FilePanelOptions &options) {
  QString d = quoted(options.title);
  if (!options.extensions.isEmpty())
    d += QStringLiteral(" for ") + options.extensions.join(QStringLiteral(", "));
  return d;
}

}  // namespace

QString toString(ScriptedUi::Kind kind) {
  switch (kind) {
  case ScriptedUi::Kind::Alert: return QStringLiteral("alert");
  case ScriptedUi::Kind::YesNo: return QStringLiteral("Yes/No question");
  case ScriptedUi::Kind::Modal: return QStringLiteral("modal window");
  case ScriptedUi::Kind::OpenFile: return QStringLiteral("open panel");
  case ScriptedUi::Kind::OpenFiles: return QStringLiteral("open panel for several files");
  case ScriptedUi::Kind::SaveFile: return QStringLiteral("save panel");
  case ScriptedUi::Kind::Folder: return QStringLiteral("folder panel");
  case ScriptedUi::Kind::Font: return QStringLiteral("font panel");
  case ScriptedUi::Kind::Color: return QStringLiteral("colour panel");
  case ScriptedUi::Kind::Desktop: return QStringLiteral("opening with the desktop");
  }
  return QStringLiteral("request");
}

ScriptedUi::ScriptedUi() = default;
ScriptedUi::~ScriptedUi() = default;

void ScriptedUi::setFailureHandler(FailureHandler handler) {
  QMutexLocker lock(&handlerMutex());
  failureHandler() = std::move(handler);
}

void ScriptedUi::push(Kind kind, Value value) {
  QMutexLocker lock(&m_mutex);
  m_answers.push_back(Answer{kind, std::move(value)});
}

void ScriptedUi::expectAlert() { push(Kind::Alert, std::monostate{}); }
void ScriptedUi::answerYesNo(bool yes) { push(Kind::YesNo, yes); }
void ScriptedUi::answerModal(int code) { push(Kind::Modal, code); }
void ScriptedUi::answerModal(std::function<int(QDialog *)> script) { push(Kind::Modal, std::move(script)); }
void ScriptedUi::answerOpenFile(const QString &path) { push(Kind::OpenFile, path); }
void ScriptedUi::answerOpenFiles(const QStringList &paths) { push(Kind::OpenFiles, paths); }
void ScriptedUi::answerSaveFile(const QString &path) { push(Kind::SaveFile, path); }
void ScriptedUi::answerSaveFile(const QString &path, const QString &type) {
  push(Kind::SaveFile, QStringList{path, type});
}
void ScriptedUi::answerFolder(const QString &path) { push(Kind::Folder, path); }
void ScriptedUi::answerFont(std::optional<QFont> font) { push(Kind::Font, std::move(font)); }
void ScriptedUi::answerColor(std::optional<QColor> color) { push(Kind::Color, std::move(color)); }
void ScriptedUi::answerDesktop(bool opened) { push(Kind::Desktop, opened); }

std::vector<ScriptedUi::Request> ScriptedUi::requests() const {
  QMutexLocker lock(&m_mutex);
  return m_requests;
}

QStringList ScriptedUi::alertTexts() const {
  QMutexLocker lock(&m_mutex);
  QStringList texts;
  for (const Request &r : m_requests) {
    if (r.kind == Kind::Alert || r.kind == Kind::YesNo)
      texts << r.text;
  }
  return texts;
}

size_t ScriptedUi::pending() const {
  QMutexLocker lock(&m_mutex);
  return m_answers.size();
}

void ScriptedUi::clear() {
  QMutexLocker lock(&m_mutex);
  m_answers.clear();
  m_requests.clear();
}

std::optional<ScriptedUi::Answer> ScriptedUi::take(Kind kind, const QString &text, const QString &detail,
                                                    const QString &what) {
  QString failure;
  {
    QMutexLocker lock(&m_mutex);
    m_requests.push_back(Request{kind, text, detail});
    if (!m_answers.empty() && m_answers.front().kind == kind) {
      Answer answer = std::move(m_answers.front());
      m_answers.pop_front();
      return answer;
    }
    failure = QStringLiteral("Unexpected %1 %2: ").arg(toString(kind), what);
    if (m_answers.empty())
      failure += QStringLiteral("no scripted answer was left");
    else
      failure += QStringLiteral("the next scripted answer is for a %1").arg(toString(m_answers.front().kind));
  }
  // Outside the lock: the handler may look at this double.
  reportFailure(failure);
  return std::nullopt;
}

void ScriptedUi::alert(const QString &message, const QString &informative) {
  take(Kind::Alert, message, informative, describeAlert(message, informative));
}

bool ScriptedUi::askYesNo(const QString &message, const QString &informative) {
  const auto answer = take(Kind::YesNo, message, informative, describeAlert(message, informative));
  return answer && std::get<bool>(answer->value);
}

int ScriptedUi::runModal(QDialog *dialog) {
  QString name;
  QString title;
  QString className = QStringLiteral("null dialog");
  if (dialog) {
    MainThread::runAndWait([&] {
      name = dialog->objectName();
      title = dialog->windowTitle();
      className = QString::fromLatin1(dialog->metaObject()->className());
    });
  }
  const QString what = QStringLiteral("%1 %2 (title %3)").arg(className, quoted(name), quoted(title));
  auto answer = take(Kind::Modal, name, title, what);
  if (!answer || !dialog)
    return ModalCancel;

  int code = ModalCancel;
  MainThread::runAndWait([&] {
    dialog->show();
    if (auto *script = std::get_if<std::function<int(QDialog *)>>(&answer->value))
      code = (*script)(dialog);
    else
      code = std::get<int>(answer->value);
    if (dialog->isVisible())
      dialog->done(code);
  });
  return code;
}

QString ScriptedUi::openFile(const FilePanelOptions &options) {
  const auto answer = take(Kind::OpenFile, options.title, options.extensions.join(QLatin1Char(',')),
                           describePanel(options));
  return answer ? std::get<QString>(answer->value) : QString();
}

QStringList ScriptedUi::openFiles(const FilePanelOptions &options) {
  const auto answer = take(Kind::OpenFiles, options.title, options.extensions.join(QLatin1Char(',')),
                           describePanel(options));
  return answer ? std::get<QStringList>(answer->value) : QStringList();
}

QString ScriptedUi::saveFile(const FilePanelOptions &options) {
  const auto answer = take(Kind::SaveFile, options.title, options.extensions.join(QLatin1Char(',')),
                           describePanel(options));
  if (!answer)
    return QString();
  // The scripted path is what a person would type; the panel adds the extension.
  const auto *typed = std::get_if<QStringList>(&answer->value);
  const QString path = typed ? typed->value(0) : std::get<QString>(answer->value);
  const QString type = typed ? typed->value(1) : QString();
  if (!options.chooseType) {
    if (!type.isEmpty()) {
      reportFailure(QStringLiteral("The type %1 was scripted for the save panel %2, which offers no choice of type")
                        .arg(quoted(type), describePanel(options)));
      return QString();
    }
    return withDefaultExtension(path, options.defaultExtension, options.extensions);
  }
  QString chosen = initialPanelType(options);
  if (!type.isEmpty()) {
    chosen.clear();
    for (const QString &offered : panelTypes(options)) {
      if (offered.compare(type, Qt::CaseInsensitive) == 0)
        chosen = offered;
    }
    if (chosen.isEmpty()) {
      reportFailure(QStringLiteral("The type %1 was scripted for the save panel %2, which does not offer it")
                        .arg(quoted(type), describePanel(options)));
      return QString();
    }
  }
  return withChosenType(path, chosen, panelTypes(options));
}

QString ScriptedUi::chooseFolder(const FilePanelOptions &options) {
  const auto answer = take(Kind::Folder, options.title, options.extensions.join(QLatin1Char(',')),
                           describePanel(options));
  return answer ? std::get<QString>(answer->value) : QString();
}

std::optional<QFont> ScriptedUi::chooseFont(const QFont &initial, const QString &title) {
  const auto answer = take(Kind::Font, title, initial.family(), quoted(title));
  return answer ? std::get<std::optional<QFont>>(answer->value) : std::nullopt;
}

std::optional<QColor> ScriptedUi::chooseColor(const QColor &initial, bool withAlpha, const QString &title) {
  const auto answer = take(Kind::Color, title, initial.name(QColor::HexArgb), quoted(title));
  return answer ? std::get<std::optional<QColor>>(answer->value) : std::nullopt;
}

bool ScriptedUi::openWithDesktop(const QUrl &url, std::function<void()> failed) {
  const QString text = url.toString();
  const auto answer = take(Kind::Desktop, text, QString(), quoted(text));
  const bool opened = answer && std::get<bool>(answer->value);
  if (!opened && failed)
    failed();
  return opened;
}
