#pragma once
// Where the program keeps its files.
//
// The resource folder is a per-user, writable folder: $AMENDS_RESOURCE_DIR when set
// (tests point it at a temporary folder), otherwise the application data location
// (QStandardPaths::AppDataLocation) + "/Resources". On start it is seeded from the
// shipped resources: files missing in the user's folder are copied, files already
// there are never overwritten, so a user's changed template or settings survive
// every start and every update of the program. Only the program's own files (the help
// file) are brought up to the shipped version (refreshProgramFiles).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Paths {

// The per-user resource folder (absolute, no trailing slash). Not created here.
QString resourceFolder();

// The data folder: the resource folder + "/DataSet".
QString dataFolder();

// The shipped resources the resource folder is seeded from, or "" when none is found.
// Looked up in this order: $AMENDS_SHIPPED_RESOURCES; "<folder of the program>/resources";
// "<folder of the program>/../share/amends/resources"; the source tree's resources/
// folder that the build names (for running from the build tree).
QString shippedResourcesFolder();

// Creates the resource folder (and its parents, with the user's umask) and seeds it
// from the shipped resources. Returns false with a message in `error` when the folder
// cannot be made or a shipped file cannot be copied; files copied so far stay.
bool prepareResourceFolder(QString *error = nullptr);

// Copies into `target` every file of `source` (recursively) that `target` lacks.
// Anything already in `target` stays as it is. Symbolic links inside `source` are
// followed only to files inside `source`; links to folders and links that leave the
// tree are skipped. Copies are written whole or not at all.
bool seedFolder(const QString &source, const QString &target, QString *error = nullptr);

// The files of the program itself, which the user does not edit: the help file
// ("Help.pdf") and the picture a new barcode object shows until the designer draws it
// ("barcode_sample.png"). They change with the program's version, so seeding alone would leave a
// user's folder with the copy of the first version that ran.
QStringList programFiles();
// Replaces each program file in `target` whose bytes differ from the one in `source` by
// a copy of it, written whole. A name missing from `source`, or in `target` held by
// anything but a regular file (a link, a folder), is left as it is. Called by
// prepareResourceFolder after the seeding, which logs a failure and goes on.
bool refreshProgramFiles(const QString &source, const QString &target, QString *error = nullptr);

// Writes a file that holds secrets (a password): mode 0600 from the first byte on,
// written whole or not at all, replacing any earlier file.
bool writeSecretFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

}  // namespace Paths
