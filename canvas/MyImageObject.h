#pragma once
// One picture file as the image browsers of the program show it: its path, the name
// shown under the thumbnail and an id unique within the browser. The image library
// window, the main window's background browser and the start windows fill their
// browsers with these.

#include "platform/ImageBrowser.h"

#include <QImage>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class MyImageObject : public ImageBrowserItem {
public:
  // initWithImage_Path: stores each.
  MyImageObject(const QString &path, const QString &image_Name, const QString &image_UID);

  void setPath(const QString &newPath) { path = newPath; }

  // The browser loads the thumbnail from the file at `path`.
  QString imageRepresentationType() const override;
  QString imageRepresentation() const override { return path; }
  QString imageUID() const override { return image_UID; }
  QString imageTitle() const override { return image_Name; }
  QString imageSubtitle() const override { return image_Name; }

  // The pictures in `folder`: its files (links followed) whose extension is "png" or
  // "jpg" in any case, in name order (compared without case, names that differ only
  // in case in the order of their characters), each with its full path and its file
  // name as name and id. Nothing when `folder` is no folder.
  static std::optional<QList<std::shared_ptr<MyImageObject>>> picturesInFolder(const QString &folder);
  // The names of the folders in `folder` (links followed), in the same name order;
  // empty when `folder` is no folder.
  static QStringList foldersInFolder(const QString &folder);
  // Takes the items at `indexes` (those out of range ignored) out of `items` and
  // inserts them, in their order, at `destinationIndex` (held to 0..count) reduced by
  // the number of moved items that stood before it.
  static void moveItems(QList<std::shared_ptr<MyImageObject>> &items, const QList<int> &indexes,
                        int destinationIndex);

  QString path;        // full path of the picture file
  QImage image;        // an image held by the item; empty for items made from a path
  QString image_Name;  // display name (the file name with its extension)
  QString image_UID;   // unique id within the browser (the file name)
};
