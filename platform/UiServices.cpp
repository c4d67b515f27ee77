#include "platform/UiServices.h"

#include "platform/QtUiServices.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include <atomic>
#include <utility>

namespace {

// The installed services; null means the process-wide Qt implementation.
std::atomic<UiServices *> installed{nullptr};

QString withoutDot(const QString &extension) {
  QString e = extension.trimmed();
  while (e.startsWith(QLatin1Char('.')))
    e.remove(0, 1);
  return e;
}

}  // namespace

UiServices::~UiServices() = default;

UiServices &UiServices::instance() {
  if (UiServices *services = installed.load())
    return *services;
  // Made on first use and kept for the whole run, like the dialogs it shows.
  static QtUiServices qtServices;
  return qtServices;
}

void UiServices::setInstance(UiServices *services) {
  installed.store(services);
}

void UiServices::setParentWindow(QWidget *window) {
  m_parent = window;
}

QWidget *UiServices::parentWindow() const {
  return m_parent.data();
}

void UiServices::setDocumentFolderSource(std::function<QString()> source) {
  m_documentFolder = std::move(source);
}

QString UiServices::documentFolder() const {
  return m_documentFolder ? m_documentFolder() : QString();
}

QString panelStartFolder(const FilePanelOptions &options, const QString &documentFolder, const QString &lastFolder) {
  if (!options.directory.isEmpty())
    return options.directory;
  for (const QString &folder : {documentFolder, lastFolder})
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
      return QFileInfo(folder).absoluteFilePath();
  static const QStringList PictureTypes = {
      QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("jpe"),
      QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),  QStringLiteral("tif"),
      QStringLiteral("tiff")};
  bool pictures = !options.extensions.isEmpty();
  for (const QString &extension : options.extensions)
    pictures = pictures && PictureTypes.contains(withoutDot(extension).toLower());
  if (pictures) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
      return folder;
  }
  return QDir::homePath();
}

QString withDefaultExtension(const QString &path, const QString &defaultExtension,
                             const QStringList &extensions) {
  const QString extension = withoutDot(defaultExtension);
  if (path.isEmpty() || extension.isEmpty())
    return path;
  const QString name = QFileInfo(path).fileName();
  if (name.isEmpty())
    return path;  // a folder, not a file name

  const QString suffix = QFileInfo(name).suffix();
  if (!suffix.isEmpty()) {
    if (extensions.isEmpty() || suffix.compare(extension, Qt::CaseInsensitive) == 0)
      return path;
    for (const QString &allowed : extensions) {
      if (suffix.compare(withoutDot(allowed), Qt::CaseInsensitive) == 0)
        return path;
    }
  }
  // "card." becomes "card.png", not "card..png".
  return path.endsWith(QLatin1Char('.')) ? path + extension : path + QLatin1Char('.') + extension;
}

QStringList panelTypes(const FilePanelOptions &options) {
  QStringList types;
  for (const QString &given : options.extensions) {
    const QString type = withoutDot(given);
    if (!type.isEmpty() && !types.contains(type, Qt::CaseInsensitive))
      types << type;
  }
  return types;
}

QString initialPanelType(const FilePanelOptions &options) {
  const QStringList types = panelTypes(options);
  const QString wanted = withoutDot(options.defaultExtension);
  for (const QString &type : types) {
    if (type.compare(wanted, Qt::CaseInsensitive) == 0)
      return type;
  }
  return types.value(0);
}

QString withChosenType(const QString &path, const QString &type, const QStringList &offered) {
  const QString extension = withoutDot(type);
  if (path.isEmpty() || extension.isEmpty())
    return path;
  const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
  if (nameStart == path.size())
    return path;  // a folder, not a file name
  // "card." becomes "card.txt", not "card..txt".
  if (path.endsWith(QLatin1Char('.')) && path.size() - 1 > nameStart)
    return path + extension;
  // Only an offered type is an extension here: the dot of "Notes 2.5" is part of the name.
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  if (dot > nameStart) {
    const QString suffix = path.mid(dot + 1);
    for (const QString &given : offered) {
      if (suffix.compare(withoutDot(given), Qt::CaseInsensitive) == 0)
        return path.left(dot) + QLatin1Char('.') + extension;
    }
  }
  return path + QLatin1Char('.') + extension;
}
