#include "canvas/MyImageObject.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// The names in `folder` of the kind `filters`, in name order: compared without case,
// then by their characters.
QStringList sortedNames(const QString &folder, QDir::Filters filters) {
  QStringList names = QDir(folder).entryList(filters | QDir::NoDotAndDotDot, QDir::NoSort);
  std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

bool isPictureName(const QString &name) {
  const QString extension = QFileInfo(name).suffix().toLower();
  return extension == QLatin1String("png") || extension == QLatin1String("jpg");
}

}  // namespace

MyImageObject::MyImageObject(const QString &path, const QString &image_Name, const QString &image_UID)
    : path(path), image_Name(image_Name), image_UID(image_UID) {}

QString MyImageObject::imageRepresentationType() const {
  return QString::fromLatin1(ImageBrowserPathRepresentationType);
}

std::optional<QList<std::shared_ptr<MyImageObject>>> MyImageObject::picturesInFolder(const QString &folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    return std::nullopt;
  QList<std::shared_ptr<MyImageObject>> items;
  const QDir dir(folder);
  for (const QString &name : sortedNames(folder, QDir::Files))
    if (isPictureName(name))
      items.append(std::make_shared<MyImageObject>(dir.filePath(name), name, name));
  return items;
}

QStringList MyImageObject::foldersInFolder(const QString &folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    return {};
  return sortedNames(folder, QDir::Dirs);
}

void MyImageObject::moveItems(QList<std::shared_ptr<MyImageObject>> &items, const QList<int> &indexes,
                              int destinationIndex) {
  QList<int> rows;
  for (int row : indexes)
    if (row >= 0 && row < items.size())
      rows.append(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.isEmpty())
    return;
  const int destination = std::clamp(destinationIndex, 0, int(items.size()));
  QList<std::shared_ptr<MyImageObject>> moved;
  int before = 0;
  for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
    moved.prepend(items.takeAt(*it));
    if (*it < destination)
      ++before;
  }
  int at = destination - before;
  for (const auto &item : moved)
    items.insert(at++, item);
}
