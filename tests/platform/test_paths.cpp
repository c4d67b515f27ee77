// The per-user resource folder: where it is, how it is seeded, and the modes of what
// the program makes there.

#include "platform/Paths.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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
