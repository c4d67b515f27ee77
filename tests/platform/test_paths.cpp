// The per-user resource folder: where it is, how it is seeded, and the modes of what
// the program makes there.

#include "platform/Paths.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

QByteArray readFile(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

mode_t modeOf(const QString &path) {
  struct stat info {};
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
    return 0;
  return info.st_mode & 07777;
}

// Sets the process umask for the life of the object.
class ScopedUmask {
public:
  explicit ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}
  ~ScopedUmask() { ::umask(m_previous); }

private:
  mode_t m_previous;
};

}  // namespace

TEST(Paths, TheEnvironmentPointsTheResourceFolderElsewhere) {
  QTemporaryDir dir;
  {
    ScopedEnvironment resources("AMENDS_RESOURCE_DIR", dir.filePath(QStringLiteral("Mine/")));
    EXPECT_EQ(Paths::resourceFolder(), dir.filePath(QStringLiteral("Mine")));
    EXPECT_EQ(Paths::dataFolder(), dir.filePath(QStringLiteral("Mine/DataSet")));
  }
  ScopedEnvironment unset("AMENDS_RESOURCE_DIR", std::nullopt);
  EXPECT_EQ(Paths::resourceFolder(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Resources"));
}

TEST(Paths, SeedingCopiesWhatIsMissingAndKeepsTheUsersFiles) {
  QTemporaryDir shipped;
  QTemporaryDir home;
  QTemporaryDir outside;
  writeFile(shipped.filePath(QStringLiteral("Help.pdf")), "%PDF shipped help");
  writeFile(shipped.filePath(QStringLiteral("Message.txt")), "shipped messages");
  writeFile(shipped.filePath(QStringLiteral("Templates/Birthday.dcard")), "shipped template");
  writeFile(shipped.filePath(QStringLiteral("Background/.hidden")), "hidden file");
  QDir().mkpath(shipped.filePath(QStringLiteral("Templates/User")));
  writeFile(outside.filePath(QStringLiteral("secret")), "not ours");
  ASSERT_TRUE(QFile::link(shipped.filePath(QStringLiteral("Help.pdf")), shipped.filePath(QStringLiteral("Manual.pdf"))));
  ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("secret")), shipped.filePath(QStringLiteral("Stolen.txt"))));
  ASSERT_TRUE(QFile::link(outside.path(), shipped.filePath(QStringLiteral("Elsewhere"))));

  const QString folder = home.filePath(QStringLiteral("Amends/Resources"));
  writeFile(folder + QStringLiteral("/Message.txt"), "the user's own messages");

  ScopedEnvironment resources("AMENDS_RESOURCE_DIR", folder);
  ScopedEnvironment source("AMENDS_SHIPPED_RESOURCES", shipped.path());
  EXPECT_EQ(Paths::shippedResourcesFolder(), shipped.path());
  QString error;
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();

  EXPECT_EQ(readFile(folder + QStringLiteral("/Message.txt")), "the user's own messages");
  EXPECT_EQ(readFile(folder + QStringLiteral("/Help.pdf")), "%PDF shipped help");
  EXPECT_EQ(readFile(folder + QStringLiteral("/Templates/Birthday.dcard")), "shipped template");
  EXPECT_EQ(readFile(folder + QStringLiteral("/Background/.hidden")), "hidden file");
  EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Templates/User")).isDir());
  // A link to a shipped file is copied as a file; links out of the tree are not followed.
  EXPECT_FALSE(QFileInfo(folder + QStringLiteral("/Manual.pdf")).isSymLink());
  EXPECT_EQ(readFile(folder + QStringLiteral("/Manual.pdf")), "%PDF shipped help");
  EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/Stolen.txt")));
  EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/Elsewhere")));

  // The next start: the user changed a template and deleted the help file.
  writeFile(folder + QStringLiteral("/Templates/Birthday.dcard"), "changed by the user");
  QFile::remove(folder + QStringLiteral("/Help.pdf"));
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
  EXPECT_EQ(readFile(folder + QStringLiteral("/Templates/Birthday.dcard")), "changed by the user");
  EXPECT_EQ(readFile(folder + QStringLiteral("/Help.pdf")), "%PDF shipped help");
}

TEST(Paths, AResourceFolderInsideTheShippedOneIsNotCopiedIntoItself) {
  QTemporaryDir shipped;
  writeFile(shipped.filePath(QStringLiteral("Title.txt")), "titles");
  const QString folder = shipped.filePath(QStringLiteral("Users/me"));
  QDir().mkpath(folder);
  QString error;
  ASSERT_TRUE(Paths::seedFolder(shipped.path(), folder, &error)) << error.toStdString();
  EXPECT_EQ(readFile(folder + QStringLiteral("/Title.txt")), "titles");
  EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Users")).isDir());
  EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/Users/me")));
}

TEST(Paths, AFolderThatCannotBeMadeIsReportedNotIgnored) {
  QTemporaryDir dir;
  writeFile(dir.filePath(QStringLiteral("plain")), "a file, not a folder");
  ScopedEnvironment source("AMENDS_SHIPPED_RESOURCES", dir.filePath(QStringLiteral("none")));
  QString error;
  {
    ScopedEnvironment resources("AMENDS_RESOURCE_DIR", dir.filePath(QStringLiteral("plain/Resources")));
    EXPECT_FALSE(Paths::prepareResourceFolder(&error));
    EXPECT_EQ(error, QStringLiteral("The resource folder \"%1\" cannot be made: \"%2\" is a file, not a folder.")
                         .arg(dir.filePath(QStringLiteral("plain/Resources")), dir.filePath(QStringLiteral("plain"))));
  }
  {
    ScopedEnvironment resources("AMENDS_RESOURCE_DIR", dir.filePath(QStringLiteral("plain")));
    EXPECT_FALSE(Paths::prepareResourceFolder(&error));
    EXPECT_EQ(error, QStringLiteral("The resource folder \"%1\" cannot be made: a file of that name is in the way.")
                         .arg(dir.filePath(QStringLiteral("plain"))));
  }
  EXPECT_EQ(readFile(dir.filePath(QStringLiteral("plain"))), "a file, not a folder");
}

TEST(Paths, FoldersFollowTheUmaskAndSecretsAreOwnerOnly) {
  QTemporaryDir dir;
  QTemporaryDir shipped;
  writeFile(shipped.filePath(QStringLiteral("Templates/t.dcard")), "template");
  ScopedEnvironment source("AMENDS_SHIPPED_RESOURCES", shipped.path());
  QString error;
  {
    ScopedUmask mask(022);
    ScopedEnvironment resources("AMENDS_RESOURCE_DIR", dir.filePath(QStringLiteral("open/Resources")));
    ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("open"))), mode_t(0755));
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("open/Resources"))), mode_t(0755));
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("open/Resources/Templates"))), mode_t(0755));
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("open/Resources/Templates/t.dcard"))), mode_t(0644));

    // The settings file with the mail password: 0600, also when it replaces a
    // readable file.
    const QString settings = dir.filePath(QStringLiteral("open/Resources/settings.plist"));
    writeFile(settings, "old");
    ASSERT_EQ(modeOf(settings), mode_t(0644));
    ASSERT_TRUE(Paths::writeSecretFile(settings, "password", &error)) << error.toStdString();
    EXPECT_EQ(modeOf(settings), mode_t(0600));
    EXPECT_EQ(readFile(settings), "password");
    ASSERT_TRUE(Paths::writeSecretFile(dir.filePath(QStringLiteral("fresh.plist")), "pw", &error));
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("fresh.plist"))), mode_t(0600));
    EXPECT_FALSE(Paths::writeSecretFile(dir.filePath(QStringLiteral("missing/settings.plist")), "pw", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing/settings.plist"))) << error.toStdString();
  }
  {
    ScopedUmask mask(077);
    ScopedEnvironment resources("AMENDS_RESOURCE_DIR", dir.filePath(QStringLiteral("closed/Resources")));
    ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("closed/Resources"))), mode_t(0700));
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("closed/Resources/Templates/t.dcard"))), mode_t(0600));
  }
}

// The first start copies the shipped files on several workers: every missing file
// arrives whole, a file the user has stays, and when copies fail the message names the
// first failing file in the folder's order and nothing cut short is left behind.
TEST(PathsSeedingWorkers, CopyEveryMissingFileWholeAndReportTheFirstFailureInOrder) {
  QTemporaryDir dir;
  const QString shipped = dir.filePath(QStringLiteral("shipped"));
  QStringList names;
  for (int index = 0; index < 40; ++index) {
    const QString name = QStringLiteral("%1/%2.bin").arg(QChar(QLatin1Char('a' + index % 3))).arg(index, 2, 10, QLatin1Char('0'));
    // Sizes from a few bytes to 60 KB, the content telling each file from the others.
    QByteArray bytes(index * 1500 + 7, char(index));
    bytes.prepend(name.toUtf8());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(shipped + QLatin1Char('/') + name).path()));
    writeFile(shipped + QLatin1Char('/') + name, bytes);
    names << name;
  }
  const QString target = dir.filePath(QStringLiteral("target"));
  ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/b")));
  writeFile(target + QStringLiteral("/b/01.bin"), "the user's own");

  QString error;
  ASSERT_TRUE(Paths::seedFolder(shipped, target, &error)) << error.toStdString();
  for (const QString &name : names) {
    if (name == QStringLiteral("b/01.bin")) {
      EXPECT_EQ(readFile(target + QStringLiteral("/b/01.bin")), "the user's own");
    } else {
      EXPECT_EQ(readFile(target + QLatin1Char('/') + name), readFile(shipped + QLatin1Char('/') + name))
          << name.toStdString();
    }
  }
  EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden, QDir::Name).size(), 0);

  // Files over 30 KB cannot be written: the walk's order is a, b, c, and the first of
  // those in "a" is a/21.bin (21 * 1500 bytes and more).
  const QString full = dir.filePath(QStringLiteral("full"));
  ASSERT_TRUE(QDir().mkpath(full));
  {
    FileSizeLimit limit(30000);
    EXPECT_FALSE(Paths::seedFolder(shipped, full, &error));
  }
  EXPECT_TRUE(error.contains(QStringLiteral("a/21.bin"))) << error.toStdString();
  for (const QString &name : names) {
    const QString copy = full + QLatin1Char('/') + name;
    if (QFileInfo::exists(copy)) {
      EXPECT_EQ(readFile(copy), readFile(shipped + QLatin1Char('/') + name)) << name.toStdString();
    }
  }
  // No temporary file of a failed copy is left.
  for (const QString &folder : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
    for (const QString &left : QDir(full + QLatin1Char('/') + folder).entryList(QDir::Files | QDir::Hidden))
      EXPECT_TRUE(names.contains(folder + QLatin1Char('/') + left)) << left.toStdString();
  }
  // The next start copies what is missing.
  ASSERT_TRUE(Paths::seedFolder(shipped, full, &error)) << error.toStdString();
  for (const QString &name : names)
    EXPECT_EQ(readFile(full + QLatin1Char('/') + name), readFile(shipped + QLatin1Char('/') + name))
        << name.toStdString();
}
