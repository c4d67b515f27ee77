#include "core/Utilities.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/Paths.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

#include <exception>

namespace {

// The empty string that is not a missing one: results made from a present string stay present.
QString present(QString s) {
  if (s.isNull())
    return QStringLiteral("");
  return s;
}

QString reasonOf(const std::exception &e) { return QString::fromUtf8(e.what()); }

bool isControlOrFormat(char32_t ucs4) {
  const QChar::Category category = QChar::category(ucs4);
  return category == QChar::Other_Control || category == QChar::Other_Format;
}

// Width in code units of the code point that starts at `begin` (1 or 2) and its value.
char32_t codePointAt(const QString &s, qsizetype begin, qsizetype end, qsizetype *width) {
  const QChar c = s.at(begin);
  if (c.isHighSurrogate() && begin + 1 < end && s.at(begin + 1).isLowSurrogate()) {
    *width = 2;
    return QChar::surrogateToUcs4(c, s.at(begin + 1));
  }
  *width = 1;
  return c.unicode();
}

// The code point that ends just before `end`.
char32_t codePointBefore(const QString &s, qsizetype begin, qsizetype end, qsizetype *width) {
  const QChar c = s.at(end - 1);
  if (c.isLowSurrogate() && end - 2 >= begin && s.at(end - 2).isHighSurrogate()) {
    *width = 2;
    return QChar::surrogateToUcs4(s.at(end - 2), c);
  }
  *width = 1;
  return c.unicode();
}

// s without the code points at both ends for which `strip` holds (one pass per end).
template <typename Pred>
QString trimmed(const QString &s, Pred strip) {
  if (s.isNull())
    return s;
  qsizetype begin = 0;
  qsizetype end = s.size();
  qsizetype width = 1;
  while (begin < end && strip(codePointAt(s, begin, end, &width)))
    begin += width;
  while (end > begin && strip(codePointBefore(s, begin, end, &width)))
    end -= width;
  if (begin == 0 && end == s.size())
    return s;
  return present(s.mid(begin, end - begin));
}

bool isReservedFileNameChar(char32_t c) {
  switch (c) {
  case U'/': case U'\\': case U'?': case U'%': case U'*': case U'|': case U'"': case U'<': case U'>':
    return true;
  default:
    return false;
  }
}

}  // namespace

// ---- Message boxes and log --------------------------------------------------------

void Show_MessageBox(const QString &text) {
  try {
    const QString message = QStringLiteral("\n") + text;
    // Main_App_wnd is read on the main thread, where it is set.
    MainThread::runAndWait([&message] { mainWindowServices().Main_Thread_Messgae(message); });
  } catch (const std::exception &e) {
    Show_NSLog_Message(reasonOf(e));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("Show_MessageBox: the message could not be shown"));
  }
}

void Show_MessageBox_No_Thread(const QString &text) {
  if (!MainThread::isMainThread()) {
    // Widgets live on the main thread only; take the waiting road instead.
    Show_MessageBox(text);
    return;
  }
  try {
    UiServices::instance().alert(QStringLiteral("\n") + text, QString());
  } catch (const std::exception &e) {
    Show_NSLog_Message(reasonOf(e));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("Show_MessageBox_No_Thread: the message could not be shown"));
  }
}

bool Show_YES_NO_MessageBox(const QString &text) {
  MainThread::runAndWait([&text] { mainWindowServices().Main_Thread_Messgae_Yes_No(text); });
  return yes_no_msg_val != 0;
}

void Show_NSLog_Message(const QString &text) {
  if (!text.isEmpty())
    Log::write(text);
}

// ---- Strings ------------------------------------------------------------------------

QString Trim_Str(const QString &s) {
  const QString spaceless = trimmed(s, [](char32_t c) { return QChar::isSpace(c); });
  return trimmed(spaceless, isControlOrFormat);
}

QString Remove_Reserve_Char_In_File_Name(const QString &name) {
  return Trim_Str(trimmed(name, isReservedFileNameChar));
}

QString cleanedFileName(const QString &typed) {
  // Each pass takes one kind of character off the ends and may bare another kind (a
  // space behind a reserved character, a format character behind a space): repeat until
  // a pass leaves the name as it is. Every pass that changes it makes it shorter.
  QString name = Remove_Reserve_Char_In_File_Name(typed);
  for (QString again = Remove_Reserve_Char_In_File_Name(name); again != name;
       again = Remove_Reserve_Char_In_File_Name(name))
    name = again;
  return name;
}

QString Left_Str_substringToIndex(const QString &s, int n) {
  if (n < 0)
    n = 0;
  if (n < s.size())
    return present(s.left(n));
  return s;
}

QString Right_Str_substringFromIndex(const QString &s, int n) {
  if (n < 0)
    n = 0;
  if (n >= s.size())
    return s;
  return present(s.mid(s.size() - n));
}

namespace {
// The index test of the two Read_Str functions: i widened with its sign, then compared
// unsigned, so every negative index counts as past the end.
bool pastEnd(const QString &s, int i) {
  const qint64 wide = i;
  return static_cast<quint64>(wide) > static_cast<quint64>(s.size());
}
}  // namespace

QString Read_Str_FromIndex(const QString &s, int i) {
  if (pastEnd(s, i))
    return QStringLiteral("");
  return present(s.mid(i));
}

QString Read_Str_Upto_Index(const QString &s, int i) {
  if (pastEnd(s, i))
    return QStringLiteral("");
  return present(s.left(i));
}

QString Replace_char_in_string(const QString &s, const QString &target, const QString &replacement) {
  if (target.isEmpty())
    return s;  // QString::replace would insert the replacement between every character
  QString result = s;
  result.replace(target, replacement, Qt::CaseSensitive);
  return result;
}

bool Find_Str(const QString &s, const QString &sub) {
  if (s.isNull() || sub.isEmpty())
    return false;
  return s.contains(sub, Qt::CaseSensitive);
}

bool Find_Str_Case_Insensitive(const QString &s, const QString &sub) {
  if (s.isNull() || sub.isNull())
    return false;
  try {
    return !sub.isEmpty() && s.contains(sub, Qt::CaseInsensitive);
  } catch (const std::exception &e) {
    Log::write(QStringLiteral("Find_Str_Case_Insensitive exception"));
    Log::write(s);
    Log::write(sub);
    Log::write(reasonOf(e));
    return false;
  }
}

// ---- File names and paths -------------------------------------------------------------

bool isSafeFileName(const QString &name) {
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
    return false;
  for (const QChar c : name) {
    if (c == u'/' || c == u'\\' || c.unicode() == 0)
      return false;
  }
  return true;
}

QString joinPath(const QString &folder, const QString &name) {
  if (folder.isEmpty())
    return QStringLiteral("");
  qsizetype skip = 0;
  while (skip < name.size() && name.at(skip) == u'/')
    ++skip;
  const QString rest = name.mid(skip);
  if (folder.endsWith(u'/'))
    return folder + rest;
  return folder + u'/' + rest;
}

// ---- Files, controls, help ----------------------------------------------------------------

void Check_Path_And_Create_Files() {
  try {
    const QString templates = joinPath(Resource_Path, QStringLiteral("Templates"));
    const QString folders[] = {
        Data_Folder_Path,
        joinPath(Resource_Path, QStringLiteral("Background")),
        joinPath(Resource_Path, QStringLiteral("Fill_Style_Image")),
        joinPath(Resource_Path, QStringLiteral("LibraryImage")),
        templates,
        joinPath(templates, QStringLiteral("User")),
    };
    for (const QString &folder : folders) {
      // A folder whose base is not set would land in the working directory: skip it.
      if (folder.isEmpty() || QDir::isRelativePath(folder))
        continue;
      const QFileInfo info(folder);
      if (info.exists() || info.isSymLink())
        continue;
      // mkpath creates with mode 0777 less the user's umask; a failure leaves it missing.
      QDir().mkpath(folder);
    }
  } catch (const std::exception &e) {
    Show_NSLog_Message(reasonOf(e));
  }
}

namespace {

// Whether `path` names "." or ".." as one of its components.
bool hasDotComponent(const QString &path) {
  const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
  return parts.contains(QStringLiteral(".")) || parts.contains(QStringLiteral(".."));
}

// `path` with its links resolved, or "" when it does not exist. The root folder counts
// as no folder at all: nothing is "inside" it for the rules below.
QString canonicalFolder(const QString &path) {
  if (path.isEmpty() || QDir::isRelativePath(path))
    return QString();
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical == QLatin1String("/") ? QString() : canonical;
}

bool strictlyInside(const QString &canonical, const QString &root) {
  return !root.isEmpty() && canonical.startsWith(root + u'/');
}

// Whether the existing folder at `path` may be removed with everything in it: it lies
// inside the resource folder, or it is (or lies inside) the spreadsheet reader's unpack
// folder. The unpack folder's own name is not resolved, so a link put in its place
// cannot make a folder elsewhere count as it.
bool folderTreeMayBeRemoved(const QString &path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  if (canonical.isEmpty())
    return false;
  if (strictlyInside(canonical, canonicalFolder(Paths::resourceFolder())))
    return true;
  // This run's unpack folder lies in the user's cache folder (see spreadsheetUnpackFolder()).
  const QString cache = canonicalFolder(QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
  if (cache.isEmpty())
    return false;
  const QString unpack = unpackFolderOfThisRun(cache + QStringLiteral("/spreadsheets"));
  return canonical == unpack || strictlyInside(canonical, unpack);
}

}  // namespace

QString unpackFolderOfThisRun(const QString &spreadsheets) {
  return spreadsheets + u'/' + QString::number(::getpid()) + QStringLiteral("/ziptmp");
}

void Delete_File(const QString &path) {
  try {
    // Only a whole path from the root: a relative one would be taken from the working
    // directory ("" and "." are the working directory itself, ".." its parent).
    if (path.isEmpty() || QDir::isRelativePath(path) || hasDotComponent(path))
      return;
    const QString clean = QDir::cleanPath(path);  // only doubled and trailing "/" go
    if (clean == QLatin1String("/"))
      return;
    const QFileInfo info(clean);
    if (!info.exists() && !info.isSymLink())
      return;
    if (!QFileInfo(info.absolutePath()).isWritable())
      return;  // not deletable: the folder holding it is read-only
    if (info.isSymLink() || !info.isDir())
      QFile::remove(clean);
    else if (folderTreeMayBeRemoved(clean))
      QDir(clean).removeRecursively();  // links inside are removed, not followed
  } catch (const std::exception &e) {
    Show_NSLog_Message(reasonOf(e));
  }
}

void SetObjEnabled(QObject *object, bool enabled) {
  auto *widget = qobject_cast<QWidget *>(object);
  if (!widget)
    return;
  const QByteArray className = widget->metaObject()->className();
  if (className == "QGroupBox" || className == "QFrame") {
    const QList<QWidget *> children = widget->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
      if (!child->isWindow())
        SetObjEnabled(child, enabled);
    }
    return;
  }
  widget->setEnabled(enabled);
  if (className == "QLabel" || className == "QLineEdit") {
    // Set the text colour outright, so the grey shows even where a style paints a
    // disabled field with its normal colours.
    const QPalette::ColorRole role = className == "QLabel" ? widget->foregroundRole() : QPalette::Text;
    const QPalette standard = QApplication::palette(widget);
    const QColor color = standard.color(enabled ? QPalette::Active : QPalette::Disabled, role);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
    palette.setColor(QPalette::Disabled, role, standard.color(QPalette::Disabled, role));
    widget->setPalette(palette);
  }
}

void Open_Help_File() {
  const QString path = joinPath(Resource_Path, QStringLiteral("Help.pdf"));
  if (!Resource_Path.isEmpty() && QFileInfo(path).isFile()) {
    // Nothing on the desktop shows PDF files (said at once, or by the desktop's opener
    // when it ends): without a word the button would seem dead. The user learns which
    // file to open by other means.
    UiServices::instance().openWithDesktop(QUrl::fromLocalFile(path), [path] {
      Show_NSLog_Message(QStringLiteral("No application opened the help file ") + path);
      Show_MessageBox(
          QStringLiteral("No application could open the help file \"%1\".").arg(QDir::toNativeSeparators(path)));
    });
    return;
  }
  Show_MessageBox(QStringLiteral("Help file does not exist!"));
}

void runLoggingFailures(const char *name, const std::function<void()> &command) {
  try {
    command();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QStringLiteral("%1: %2").arg(QLatin1String(name), QString::fromUtf8(error.what())));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("%1 failed.").arg(QLatin1String(name)));
  }
}
