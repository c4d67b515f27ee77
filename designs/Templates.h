#pragma once
// The template files: a design log ("<name>.dcard") beside a preview picture of the
// same base name ("<name>.png", or ".jpg" for a shipped one). Built-in templates live
// in the resource folder's "Templates", the user's own in its subfolder "User".
//
// Every change to a user template keeps the pair whole: a new pair replaces an old one
// only once both new files are written, a copy or a rename that fails half-way is
// undone, and each operation says what went wrong instead of reporting success.
//
// Main thread or any one thread at a time; nothing here touches the windows.

#include "platform/Images.h"

#include <QByteArray>
#include <QString>

struct CardSideSnapshot;

namespace Templates {

// Resource_Path/"Templates" and Resource_Path/"Templates"/"User" ("" while the
// resource folder is not set).
QString builtInFolder();
QString userFolder();

// Resolution of the previews: two pixels per point keeps them sharp at the largest zoom.
constexpr double PreviewDpi = 144.0;
// Points between the two sides on a preview.
constexpr double PreviewSideGap = 12.0;

// The preview of a template: the front and the back side drawn side by side (front
// left) at PreviewDpi on a transparent image. Null, with the reason in `error`, when a
// side cannot be drawn whole. The snapshots' objects are drawn (and so written to):
// give copies (Render::copyGraphicsForRendering) of objects a canvas shows.
PointImage previewOfSides(const CardSideSnapshot &front, const CardSideSnapshot &back, QString *error = nullptr);

// The design log beside a preview: the preview's path with its extension replaced by
// "dcard" (a path without extension gets ".dcard").
QString designPathForPreview(const QString &previewPath);

// The free name for a copy of the preview at `previewPath`: "<base> (copy n).<ext>" in
// the same folder for the first n = 1, 2, ... at which no preview exists.
QString Create_New_File_Path(const QString &previewPath);

// Writes the pair `base`.dcard and `base`.png (base: a path without extension) from the
// given bytes. Both new files are written to temporary files in the same folder first;
// only when both are complete do they take the place of the old pair, so a failure
// leaves the old pair (or no pair) as it was. False with the reason in `error`.
bool writeTemplatePair(const QString &base, const QByteArray &designBytes, const QByteArray &previewBytes,
                       QString *error = nullptr);

// Copies the template whose preview is at `previewPath` to the preview `newPreviewPath`
// and the design log beside it. Neither target may exist. When the second copy fails
// the first is removed again. False with the reason in `error`.
bool copyTemplate(const QString &previewPath, const QString &newPreviewPath, QString *error = nullptr);

// Gives the template whose preview is at `previewPath` the base path `newBase`
// (preview `newBase`.png, design log `newBase`.dcard). Files are renamed, not copied;
// a target that exists already and is not the file itself is refused; when the second
// rename fails the first is undone. Renaming a pair to its own name changes nothing.
// False with the reason in `error`.
bool renameTemplate(const QString &previewPath, const QString &newBase, QString *error = nullptr);

// Deletes the preview at `previewPath` and the design log beside it. False, with the
// reason in `error`, when a file that is there could not be removed.
bool deleteTemplate(const QString &previewPath, QString *error = nullptr);

}  // namespace Templates
