// The shared helpers: message boxes from the main thread and from workers, the string
// and file-name functions, the resource folders, file deletion, enabling controls and
// the help file.

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/Utilities.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Collects the log lines written while it lives.
class LogCapture {
public:
  LogCapture() {
    Log::setSink([this](const QString &line) {
      QMutexLocker lock(&m_mutex);
      m_lines << line;
    });
  }
  ~LogCapture() { Log::setSink(nullptr); }
  QStringList lines() const {
    QMutexLocker lock(&m_mutex);
    return m_lines;
  }

private:
  mutable QMutex m_mutex;
  QStringList m_lines;
};

// Installs `services` as Main_App_wnd for the life of the object.
struct ScopedMainWindow {
  explicit ScopedMainWindow(MainWindowServices *services) { Main_App_wnd = services; }
  ~ScopedMainWindow() { Main_App_wnd = nullptr; }
};

// A main window that notes on which thread each message ran, then shows it as usual.
class RecordingWindow : public MainWindowServices {
public:
  void Main_Thread_Messgae(const QString &text) override {
    threads.push_back(QThread::currentThread());
    MainWindowServices::Main_Thread_Messgae(text);
  }
  void Main_Thread_Messgae_Yes_No(const QString &text) override {
    threads.push_back(QThread::currentThread());
    MainWindowServices::Main_Thread_Messgae_Yes_No(text);
  }
  std::vector<QThread *> threads;
};

// A main window whose alerts fail.
class FailingWindow : public MainWindowServices {
public:
  void Main_Thread_Messgae(const QString &) override { throw std::runtime_error("no window to show it in"); }
  void Main_Thread_Messgae_Yes_No(const QString &) override { throw std::runtime_error("question failed"); }
};

// Runs `work` on a worker thread while this thread runs its event loop, at most 20 s.
bool runOnWorker(const std::function<void()> &work) {
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    work();
    finished = true;
  });
  QElapsedTimer clock;
  clock.start();
  while (!finished && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  if (!finished) {
    worker.detach();  // still blocked: never destroy a running thread
    return false;
  }
  worker.join();
  return true;
}

}  // namespace

// ---- Message boxes -----------------------------------------------------------------------

TEST(MessageBoxes, MessageShowsWithALeadingBlankLine) {
  ScopedScriptedUi ui;
  ui.expectAlert();
  ui.expectAlert();
  Show_MessageBox(QStringLiteral("Saved"));
  Show_MessageBox_No_Thread(QStringLiteral("Done"));
  ASSERT_EQ(ui.alertTexts(), QStringList({QStringLiteral("\nSaved"), QStringLiteral("\nDone")}));
  EXPECT_EQ(ui.alertTexts().first().split(u'\n'), QStringList({QString(""), QStringLiteral("Saved")}));
}

TEST(MessageBoxes, WorkerThreadMessagesRunOnTheMainThreadAndWait) {
  ScopedScriptedUi ui;
  RecordingWindow window;
  ScopedMainWindow installed(&window);
  ui.expectAlert();
  ui.answerYesNo(true);
  ui.answerYesNo(false);
  ui.expectAlert();

  QThread *worker = nullptr;
  bool first = false;
  bool second = true;
  unsigned char seenAfterFirst = 0xff;
  ASSERT_TRUE(runOnWorker([&] {
    worker = QThread::currentThread();
    Show_MessageBox(QStringLiteral("Export finished"));
    first = Show_YES_NO_MessageBox(QStringLiteral("Replace the series?"));
    seenAfterFirst = yes_no_msg_val;
    second = Show_YES_NO_MessageBox(QStringLiteral("Replace the next one?"));
    Show_MessageBox_No_Thread(QStringLiteral("From a worker"));
  }));

  EXPECT_TRUE(first);
  EXPECT_EQ(seenAfterFirst, 1);
  EXPECT_FALSE(second);
  EXPECT_EQ(yes_no_msg_val, 0);
  EXPECT_EQ(ui.alertTexts(), QStringList({QStringLiteral("\nExport finished"), QStringLiteral("Replace the series?"),
                                          QStringLiteral("Replace the next one?"), QStringLiteral("\nFrom a worker")}));
  ASSERT_EQ(window.threads.size(), 4u);
  for (QThread *thread : window.threads)
    EXPECT_EQ(thread, qApp->thread());
  EXPECT_NE(worker, qApp->thread());
}

TEST(MessageBoxes, WithoutAMainWindowTheDefaultServicesShowTheMessage) {
  ASSERT_EQ(Main_App_wnd, nullptr);
  ScopedScriptedUi ui;
  ui.expectAlert();
  ui.answerYesNo(true);
  bool yes = false;
  ASSERT_TRUE(runOnWorker([&] {
    Show_MessageBox(QStringLiteral("Early"));
    yes = Show_YES_NO_MessageBox(QStringLiteral("Go on?"));
  }));
  EXPECT_TRUE(yes);
  EXPECT_EQ(ui.alertTexts(), QStringList({QStringLiteral("\nEarly"), QStringLiteral("Go on?")}));
}

TEST(MessageBoxes, YesNoStartsFromNoOnEveryQuestion) {
  ScopedScriptedUi ui;
  yes_no_msg_val = 1;
  ui.answerYesNo(false);
  EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("Delete?")));
  EXPECT_EQ(yes_no_msg_val, 0);
  EXPECT_EQ(ui.alertTexts(), QStringList({QStringLiteral("Delete?")}));
}

TEST(MessageBoxes, FailuresAreLoggedForMessagesAndReachTheCallerForQuestions) {
  ScopedScriptedUi ui;  // no answers: any alert that got through would fail the test
  FailingWindow window;
  ScopedMainWindow installed(&window);
  LogCapture log;

  EXPECT_NO_THROW(Show_MessageBox(QStringLiteral("lost")));
  EXPECT_THROW(Show_YES_NO_MessageBox(QStringLiteral("Sure?")), std::runtime_error);

  bool workerNoThrow = false;
  bool workerCaught = false;
  ASSERT_TRUE(runOnWorker([&] {
    try {
      Show_MessageBox(QStringLiteral("lost too"));
      workerNoThrow = true;
      Show_YES_NO_MessageBox(QStringLiteral("Sure?"));
    } catch (const std::runtime_error &e) {
      workerCaught = QString::fromUtf8(e.what()) == QStringLiteral("question failed");
    }
  }));
  EXPECT_TRUE(workerNoThrow);
  EXPECT_TRUE(workerCaught);
  EXPECT_EQ(log.lines(), QStringList({QStringLiteral("no window to show it in"), QStringLiteral("no window to show it in")}));
  EXPECT_TRUE(ui.alertTexts().isEmpty());
}

TEST(MessageBoxes, LogLineIsWrittenUnchangedAndOnlyWhenThereIsText) {
  LogCapture log;
  Show_NSLog_Message(QString());
  Show_NSLog_Message(QStringLiteral(""));
  Show_NSLog_Message(QStringLiteral("  two  words \t"));
  EXPECT_EQ(log.lines(), QStringList({QStringLiteral("  two  words \t")}));
}

// ---- Strings ---------------------------------------------------------------------------------

TEST(StringFunctions, TrimRemovesWhiteSpaceThenControlCharactersOncePerPass) {
  EXPECT_EQ(Trim_Str(QStringLiteral("\t a ")), QStringLiteral("a"));
  // The space behind the control character stays: the white-space pass ran first.
  EXPECT_EQ(Trim_Str(QStringLiteral("\u0001 a ")), QStringLiteral(" a"));
  EXPECT_EQ(Trim_Str(QStringLiteral(" \u0001 a")), QStringLiteral(" a"));
  // Every Unicode white-space character and line break, at both ends; inner ones stay.
  EXPECT_EQ(Trim_Str(QStringLiteral("\r\n\u000b\u000c\u0085\u00a0\u2028\u2029\u3000a b\u2003\n")), QStringLiteral("a b"));
  // Format characters (zero-width space, byte order mark) go in the control pass.
  EXPECT_EQ(Trim_Str(QStringLiteral("\ufeffName\u200b")), QStringLiteral("Name"));
  // Code points outside the basic plane: a tag character (Cf) goes, a letter stays.
  EXPECT_EQ(Trim_Str(QStringLiteral("a") + QString::fromUcs4(U"\U000E0001")), QStringLiteral("a"));
  const QString mathA = QString::fromUcs4(U"\U0001D400");
  EXPECT_EQ(Trim_Str(QStringLiteral(" a") + mathA + QStringLiteral(" ")), QStringLiteral("a") + mathA);

  EXPECT_TRUE(Trim_Str(QString()).isNull());
  const QString blank = Trim_Str(QStringLiteral(" \t\n"));
  EXPECT_TRUE(blank.isEmpty());
  EXPECT_FALSE(blank.isNull());
}

TEST(StringFunctions, ReservedCharactersGoFromTheEndsOnly) {
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("*My?Card*")), QStringLiteral("My?Card"));
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("  <x>  ")), QStringLiteral("<x>"));
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("/\\?%*|\"<>Card 1<>")), QStringLiteral("Card 1"));
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("%20 birthday\t")), QStringLiteral("20 birthday"));
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("**")), QStringLiteral(""));
}

TEST(StringFunctions, CuttingCountsUtf16UnitsAndClampsIndexes) {
  const QString abc = QStringLiteral("abc");
  EXPECT_EQ(Left_Str_substringToIndex(abc, 5), abc);
  EXPECT_EQ(Left_Str_substringToIndex(abc, 3), abc);
  EXPECT_EQ(Left_Str_substringToIndex(abc, 2), QStringLiteral("ab"));
  EXPECT_EQ(Left_Str_substringToIndex(abc, -1), QStringLiteral(""));
  EXPECT_FALSE(Left_Str_substringToIndex(abc, -1).isNull());

  const QString six = QStringLiteral("abcdef");
  EXPECT_EQ(Right_Str_substringFromIndex(six, 2), QStringLiteral("ef"));
  EXPECT_EQ(Right_Str_substringFromIndex(six, 6), six);
  EXPECT_EQ(Right_Str_substringFromIndex(six, 60), six);
  EXPECT_EQ(Right_Str_substringFromIndex(six, 0), QStringLiteral(""));
  EXPECT_EQ(Right_Str_substringFromIndex(six, -3), QStringLiteral(""));

  EXPECT_EQ(Read_Str_FromIndex(abc, 0), abc);
  EXPECT_EQ(Read_Str_FromIndex(abc, 1), QStringLiteral("bc"));
  for (int i : {3, 4, -1, INT_MIN, INT_MAX})
    EXPECT_EQ(Read_Str_FromIndex(abc, i), QStringLiteral("")) << i;
  EXPECT_EQ(Read_Str_Upto_Index(abc, 3), abc);
  EXPECT_EQ(Read_Str_Upto_Index(abc, 2), QStringLiteral("ab"));
  EXPECT_EQ(Read_Str_Upto_Index(abc, 0), QStringLiteral(""));
  for (int i : {4, -1, INT_MIN})
    EXPECT_EQ(Read_Str_Upto_Index(abc, i), QStringLiteral("")) << i;

  // A character outside the basic plane counts as two units.
  const QString smile = QString::fromUcs4(U"\U0001F600");
  ASSERT_EQ(smile.size(), 2);
  EXPECT_EQ(Left_Str_substringToIndex(smile + QStringLiteral("b"), 2), smile);
  EXPECT_EQ(Right_Str_substringFromIndex(QStringLiteral("a") + smile, 2), smile);
  EXPECT_EQ(Read_Str_FromIndex(QStringLiteral("a") + smile, 1), smile);
}

TEST(StringFunctions, ReplaceTakesWholeSubstringsAndLeavesAnEmptyTargetAlone) {
  EXPECT_EQ(Replace_char_in_string(QStringLiteral("a, b, c"), QStringLiteral(", "), QStringLiteral(";")),
            QStringLiteral("a;b;c"));
  EXPECT_EQ(Replace_char_in_string(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("b")), QStringLiteral("ba"));
  EXPECT_EQ(Replace_char_in_string(QStringLiteral("Aa"), QStringLiteral("a"), QStringLiteral("x")), QStringLiteral("Ax"));
  EXPECT_EQ(Replace_char_in_string(QStringLiteral("x\ny"), QStringLiteral("\n"), QString()), QStringLiteral("xy"));
  EXPECT_EQ(Replace_char_in_string(QStringLiteral("abc"), QString(), QStringLiteral("-")), QStringLiteral("abc"));
}

TEST(StringFunctions, FindNeedsAPresentTextAndANonEmptySubstring) {
  EXPECT_TRUE(Find_Str(QStringLiteral("hello"), QStringLiteral("ll")));
  EXPECT_FALSE(Find_Str(QStringLiteral("hello"), QStringLiteral("")));
  EXPECT_FALSE(Find_Str(QStringLiteral("Hello"), QStringLiteral("hello")));
  EXPECT_FALSE(Find_Str(QString(), QStringLiteral("a")));
  EXPECT_FALSE(Find_Str(QStringLiteral(""), QStringLiteral("a")));
  EXPECT_TRUE(Find_Str(QStringLiteral("a.b*c"), QStringLiteral(".b*")));  // literal, no patterns

  EXPECT_TRUE(Find_Str_Case_Insensitive(QStringLiteral("the quick fox"), QStringLiteral("QUICK")));
  EXPECT_TRUE(Find_Str_Case_Insensitive(QStringLiteral("GRÜẞE AUS ÄRGERN"), QStringLiteral("ärgern")));
  EXPECT_FALSE(Find_Str_Case_Insensitive(QString(), QStringLiteral("a")));
  EXPECT_FALSE(Find_Str_Case_Insensitive(QStringLiteral("a"), QString()));
  EXPECT_FALSE(Find_Str_Case_Insensitive(QStringLiteral("abc"), QStringLiteral("")));
  EXPECT_FALSE(Find_Str_Case_Insensitive(QStringLiteral("abc"), QStringLiteral("abcd")));
}

// ---- File names and paths ---------------------------------------------------------------

TEST(SafeFileNames, SafeNameRefusesEverythingThatLeavesTheFolder) {
  for (const QString &bad : {QString(), QStringLiteral(""), QStringLiteral("."), QStringLiteral(".."),
                             QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("/"),
                             QStringLiteral("..\\..\\x"), QStringLiteral("a") + QChar(0) + QStringLiteral("b")})
    EXPECT_FALSE(isSafeFileName(bad)) << bad.toStdString();
  for (const QString &good : {QStringLiteral("..."), QStringLiteral("My?Card"), QStringLiteral("Card 1.dcard"),
                              QStringLiteral(".hidden"), QStringLiteral("Grüße.png")})
    EXPECT_TRUE(isSafeFileName(good)) << good.toStdString();

  // What the reserved-character cut leaves is not safe by itself.
  EXPECT_FALSE(isSafeFileName(Remove_Reserve_Char_In_File_Name(QStringLiteral(" /etc/passwd "))));
  EXPECT_FALSE(isSafeFileName(Remove_Reserve_Char_In_File_Name(QStringLiteral("*..*"))));
  EXPECT_TRUE(isSafeFileName(Remove_Reserve_Char_In_File_Name(QStringLiteral("\"Wedding\" "))));
}

TEST(JoinPath, UsesOneSeparatorWhateverTheFolderEndsWith) {
  EXPECT_EQ(joinPath(QStringLiteral("/res"), QStringLiteral("Help.pdf")), QStringLiteral("/res/Help.pdf"));
  EXPECT_EQ(joinPath(QStringLiteral("/res/"), QStringLiteral("Help.pdf")), QStringLiteral("/res/Help.pdf"));
  EXPECT_EQ(joinPath(QStringLiteral("/res"), QStringLiteral("/Templates")), QStringLiteral("/res/Templates"));
  EXPECT_EQ(joinPath(QStringLiteral("/"), QStringLiteral("x")), QStringLiteral("/x"));
}

TEST(JoinPath, AFolderThatIsNotSetGivesNoPathRatherThanARelativeOne) {
  // A bare name would be taken from the working directory by every caller.
  EXPECT_EQ(joinPath(QString(), QStringLiteral("x")), QStringLiteral(""));
  EXPECT_EQ(joinPath(QStringLiteral(""), QStringLiteral("DataSet")), QStringLiteral(""));
  EXPECT_EQ(joinPath(QStringLiteral(""), QStringLiteral("/etc")), QStringLiteral(""));
}

// ---- Files --------------------------------------------------------------------------------------

namespace {

// Keeps the folder globals, the working directory and the umask of a test to itself.
class UtilityFiles : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_tmp.isValid());
    m_savedResource = Resource_Path;
    m_savedData = Data_Folder_Path;
    m_savedCwd = QDir::currentPath();
    m_savedUmask = ::umask(022);
  }
  void TearDown() override {
    Resource_Path = m_savedResource;
    Data_Folder_Path = m_savedData;
    QDir::setCurrent(m_savedCwd);
    ::umask(m_savedUmask);
  }
  QString path(const QString &relative) const { return m_tmp.filePath(relative); }
  static int mode(const QString &p) {
    struct stat st {};
    if (::lstat(QFile::encodeName(p).constData(), &st) != 0)
      return -1;
    return int(st.st_mode & 07777);
  }
  static void writeFile(const QString &p, const QByteArray &bytes = "x") {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  QTemporaryDir m_tmp;

private:
  QString m_savedResource, m_savedData, m_savedCwd;
  mode_t m_savedUmask = 022;
};

const QStringList kResourceFolders = {QStringLiteral("Background"), QStringLiteral("Fill_Style_Image"),
                                      QStringLiteral("LibraryImage"), QStringLiteral("Templates"),
                                      QStringLiteral("Templates/User")};

}  // namespace

TEST_F(UtilityFiles, FreshResourceFolderGetsSixFoldersWithTheUsersUmask) {
  for (const QString &base : {QStringLiteral("Resources"), QStringLiteral("Other/")}) {
    Resource_Path = path(base);
    Data_Folder_Path = joinPath(Resource_Path, QStringLiteral("DataSet"));
    Check_Path_And_Create_Files();
    EXPECT_TRUE(QFileInfo(Data_Folder_Path).isDir());
    EXPECT_EQ(mode(Data_Folder_Path), 0755);
    for (const QString &folder : kResourceFolders) {
      const QString p = joinPath(Resource_Path, folder);
      EXPECT_TRUE(QFileInfo(p).isDir()) << p.toStdString();
      EXPECT_EQ(mode(p), 0755) << p.toStdString() << " must not be world-writable";
    }
    EXPECT_EQ(QDir(Resource_Path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 5);
  }
}

TEST_F(UtilityFiles, ExistingItemsStayAndAFailedFolderDoesNotStopTheOthers) {
  Resource_Path = path(QStringLiteral("Resources"));
  Data_Folder_Path = path(QStringLiteral("Resources/DataSet"));
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("Resources/Templates"))));
  ASSERT_TRUE(QFile::setPermissions(path(QStringLiteral("Resources/Templates")),
                                    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  writeFile(path(QStringLiteral("Resources/Templates/Mine.dcard")), "design");
  writeFile(path(QStringLiteral("Resources/Background")), "not a folder");

  Check_Path_And_Create_Files();

  EXPECT_EQ(mode(path(QStringLiteral("Resources/Templates"))), 0700);
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("Resources/Templates/Mine.dcard"))));
  EXPECT_TRUE(QFileInfo(path(QStringLiteral("Resources/Templates/User"))).isDir());
  EXPECT_TRUE(QFileInfo(path(QStringLiteral("Resources/Background"))).isFile());
  EXPECT_TRUE(QFileInfo(path(QStringLiteral("Resources/Fill_Style_Image"))).isDir());
  EXPECT_TRUE(QFileInfo(path(QStringLiteral("Resources/LibraryImage"))).isDir());
  EXPECT_TRUE(QFileInfo(Data_Folder_Path).isDir());
}

TEST_F(UtilityFiles, UnsetFoldersCreateNothingInTheWorkingDirectory) {
  ASSERT_TRUE(QDir::setCurrent(m_tmp.path()));
  Resource_Path.clear();
  Data_Folder_Path.clear();
  Check_Path_And_Create_Files();
  EXPECT_TRUE(QDir(m_tmp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(UtilityFiles, DeleteRemovesFilesAndWholeFoldersButNeverFollowsLinks) {
  // Whole folders go only inside the resource folder: this test's folder stands for it.
  const ScopedEnvironment resources("AMENDS_RESOURCE_DIR", m_tmp.path());
  writeFile(path(QStringLiteral("card.png")));
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("batch/Card_1/deep"))));
  writeFile(path(QStringLiteral("batch/Card_1/deep/a.png")));
  writeFile(path(QStringLiteral("batch/.hidden")));
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("outside"))));
  writeFile(path(QStringLiteral("outside/precious.txt")));
  ASSERT_TRUE(QFile::link(path(QStringLiteral("outside")), path(QStringLiteral("batch/link_to_outside"))));
  ASSERT_TRUE(QFile::link(path(QStringLiteral("outside")), path(QStringLiteral("link_alone"))));

  Delete_File(path(QStringLiteral("card.png")));
  Delete_File(path(QStringLiteral("batch")));
  Delete_File(path(QStringLiteral("link_alone")));
  Delete_File(path(QStringLiteral("no such file")));

  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("card.png"))));
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("batch"))));
  EXPECT_FALSE(QFileInfo(path(QStringLiteral("link_alone"))).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("outside/precious.txt"))));
}

TEST_F(UtilityFiles, DeleteRefusesPathsThatAreNotWholeFromTheRoot) {
  // The working directory is a folder with contents and a parent with contents; the
  // resource folder is the same parent, so even a tree rule that resolved ".." would
  // have let the removal through.
  const QString parent = path(QStringLiteral("parent"));
  const QString work = path(QStringLiteral("parent/work"));
  ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/sub")));
  writeFile(work + QStringLiteral("/keep.txt"));
  writeFile(work + QStringLiteral("/sub/deep.txt"));
  writeFile(parent + QStringLiteral("/sibling.txt"));
  const ScopedEnvironment resources("AMENDS_RESOURCE_DIR", m_tmp.path());
  ASSERT_TRUE(QDir::setCurrent(work));

  for (const QString &bad : {QStringLiteral(".."), QStringLiteral("."), QStringLiteral("./"), QStringLiteral("../"),
                             QStringLiteral("sub"), QStringLiteral("keep.txt"), QStringLiteral("sub/deep.txt"),
                             work + QStringLiteral("/.."), work + QStringLiteral("/sub/../sub"),
                             work + QStringLiteral("/./keep.txt")}) {
    Delete_File(bad);
    EXPECT_TRUE(QFileInfo::exists(work + QStringLiteral("/keep.txt"))) << bad.toStdString();
    EXPECT_TRUE(QFileInfo::exists(work + QStringLiteral("/sub/deep.txt"))) << bad.toStdString();
    EXPECT_TRUE(QFileInfo::exists(parent + QStringLiteral("/sibling.txt"))) << bad.toStdString();
  }
}

TEST_F(UtilityFiles, AResourceFolderAtTheRootLetsNoFolderBeEmptied) {
  // With the root as the resource folder every folder would lie inside it. (The root
  // itself is not handed to Delete_File here: a regression would empty the machine.)
  const QString victim = path(QStringLiteral("victim"));
  ASSERT_TRUE(QDir().mkpath(victim));
  writeFile(victim + QStringLiteral("/precious.txt"));
  for (const QString &root : {QStringLiteral("/"), QStringLiteral("//"), QStringLiteral("/tmp/..")}) {
    const ScopedEnvironment resources("AMENDS_RESOURCE_DIR", root);
    Delete_File(victim);
    EXPECT_TRUE(QFileInfo::exists(victim + QStringLiteral("/precious.txt"))) << root.toStdString();
  }
}

TEST_F(UtilityFiles, DeleteRemovesFolderTreesOnlyInsideTheResourceFolder) {
  const QString resources = path(QStringLiteral("Resources"));
  const QString outside = path(QStringLiteral("Elsewhere"));
  ASSERT_TRUE(QDir().mkpath(resources + QStringLiteral("/DataSet/Guests")));
  writeFile(resources + QStringLiteral("/DataSet/Guests/list.txt"));
  ASSERT_TRUE(QDir().mkpath(outside + QStringLiteral("/Photos")));
  writeFile(outside + QStringLiteral("/Photos/holiday.png"));
  writeFile(outside + QStringLiteral("/single.txt"));
  // A link inside the resource folder that leads out of it.
  ASSERT_TRUE(QFile::link(outside, resources + QStringLiteral("/Shortcut")));
  const ScopedEnvironment env("AMENDS_RESOURCE_DIR", resources);

  // Folders outside stay, whether named directly or through the link.
  Delete_File(outside + QStringLiteral("/Photos"));
  Delete_File(outside);
  Delete_File(resources + QStringLiteral("/Shortcut/Photos"));
  EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/Photos/holiday.png")));
  // The resource folder itself is not emptied either.
  Delete_File(resources);
  Delete_File(resources + QStringLiteral("/"));
  EXPECT_TRUE(QFileInfo::exists(resources + QStringLiteral("/DataSet/Guests/list.txt")));

  // A folder inside goes with its contents (a trailing "/" or a doubled one is the same path).
  Delete_File(resources + QStringLiteral("//DataSet/Guests/"));
  EXPECT_FALSE(QFileInfo::exists(resources + QStringLiteral("/DataSet/Guests")));
  EXPECT_TRUE(QFileInfo(resources + QStringLiteral("/DataSet")).isDir());

  // A single file elsewhere goes as asked.
  Delete_File(outside + QStringLiteral("/single.txt"));
  EXPECT_FALSE(QFileInfo::exists(outside + QStringLiteral("/single.txt")));

  // The link goes, and only the link (named with a trailing "/" too).
  Delete_File(resources + QStringLiteral("/Shortcut/"));
  EXPECT_FALSE(QFileInfo(resources + QStringLiteral("/Shortcut")).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/Photos/holiday.png")));
}

TEST_F(UtilityFiles, DeleteRemovesALinkToAFolderOutsideButNotTheFolder) {
  const QString outside = path(QStringLiteral("Elsewhere"));
  ASSERT_TRUE(QDir().mkpath(outside));
  writeFile(outside + QStringLiteral("/precious.txt"));
  ASSERT_TRUE(QFile::link(outside, path(QStringLiteral("link"))));
  const ScopedEnvironment env("AMENDS_RESOURCE_DIR", path(QStringLiteral("Resources")));
  Delete_File(path(QStringLiteral("link")));
  EXPECT_FALSE(QFileInfo(path(QStringLiteral("link"))).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/precious.txt")));
}

TEST_F(UtilityFiles, DeleteRemovesTheSpreadsheetUnpackFolderButNotALinkInItsPlace) {
  // The home folder of this test stands for the user's, whose cache folder holds the
  // unpack folder; the temporary folder is shared with everybody and holds none.
  const ScopedEnvironment home("HOME", m_tmp.path());
  const ScopedEnvironment temp("TMPDIR", m_tmp.path());
  const ScopedEnvironment env("AMENDS_RESOURCE_DIR", path(QStringLiteral("Resources")));
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  ASSERT_TRUE(cache.startsWith(m_tmp.path() + u'/'));
  const QString unpack = cache + QStringLiteral("/spreadsheets/%1/ziptmp").arg(::getpid());
  // The name the unpack folder had in the shared temporary folder is nobody's now.
  const QString formerName = path(QStringLiteral("amends-%1/ziptmp").arg(getuid()));
  ASSERT_TRUE(QDir().mkpath(formerName + QStringLiteral("/xl")));
  Delete_File(formerName);
  EXPECT_TRUE(QFileInfo::exists(formerName + QStringLiteral("/xl")));
  ASSERT_TRUE(QDir().mkpath(unpack + QStringLiteral("/xl/worksheets")));
  writeFile(unpack + QStringLiteral("/xl/worksheets/sheet1.xml"));
  Delete_File(unpack);
  EXPECT_FALSE(QFileInfo::exists(unpack));
  // The folder other programs could use under the old shared name is not the program's.
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("ziptmp/xl"))));
  Delete_File(path(QStringLiteral("ziptmp")));
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("ziptmp/xl"))));

  // Another folder of the temporary folder is not the program's.
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("someone-else"))));
  writeFile(path(QStringLiteral("someone-else/work.txt")));
  Delete_File(path(QStringLiteral("someone-else")));
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("someone-else/work.txt"))));

  // A link named "ziptmp" leading to a folder elsewhere: the link goes, the folder stays,
  // and the folder named by its own path does not count as the unpack folder.
  ASSERT_TRUE(QFile::link(path(QStringLiteral("someone-else")), unpack));
  Delete_File(path(QStringLiteral("someone-else")));
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("someone-else/work.txt"))));
  Delete_File(unpack);
  EXPECT_FALSE(QFileInfo(unpack).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("someone-else/work.txt"))));
}

TEST_F(UtilityFiles, DeleteOfAnEmptyPathLeavesTheWorkingDirectory) {
  writeFile(path(QStringLiteral("keep.txt")));
  ASSERT_TRUE(QDir::setCurrent(m_tmp.path()));
  Delete_File(QString());
  Delete_File(QStringLiteral(""));
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("keep.txt"))));
}

TEST_F(UtilityFiles, DeleteLeavesAnItemWhoseFolderIsReadOnly) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root may delete anything";
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("locked"))));
  writeFile(path(QStringLiteral("locked/a.txt")));
  ASSERT_TRUE(QFile::setPermissions(path(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner));
  Delete_File(path(QStringLiteral("locked/a.txt")));
  EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("locked/a.txt"))));
  QFile::setPermissions(path(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(UtilityFiles, HelpFileOpensWithTheDesktopOrItsAbsenceIsShown) {
  ScopedScriptedUi ui;
  Resource_Path = m_tmp.path();
  ui.expectAlert();
  Open_Help_File();
  EXPECT_EQ(ui.alertTexts(), QStringList({QStringLiteral("\nHelp file does not exist!")}));

  writeFile(path(QStringLiteral("Help.pdf")), "%PDF-1.4\n");
  ui.clear();
  ui.answerDesktop(true);
  ui.answerDesktop(true);
  Open_Help_File();
  Resource_Path = m_tmp.path() + QStringLiteral("/");
  Open_Help_File();
  const auto requests = ui.requests();
  ASSERT_EQ(requests.size(), 2u);
  const QString url = QUrl::fromLocalFile(path(QStringLiteral("Help.pdf"))).toString();
  for (const auto &request : requests) {
    EXPECT_EQ(request.kind, ScriptedUi::Kind::Desktop);
    EXPECT_EQ(request.text, url);
  }
}

// ---- Enabling controls ------------------------------------------------------------------------

namespace {

// The darkest grey level among the pixels of the widget as drawn.
int darkestGrey(QWidget *widget) {
  const QImage image = widget->grab().toImage();
  int darkest = 255;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      darkest = std::min(darkest, qGray(image.pixel(x, y)));
  return darkest;
}

}  // namespace

TEST(EnablingControls, BoxInABoxPassesTheFlagToItsTextFieldAndGreysIt) {
  QWidget window;
  auto *outer = new QGroupBox(QStringLiteral("Outer"), &window);
  auto *inner = new QFrame(outer);
  auto *label = new QLabel(QStringLiteral("MMMM WWWW"), inner);
  auto *edit = new QLineEdit(QStringLiteral("typed"), inner);
  auto *button = new QPushButton(QStringLiteral("Go"), outer);
  label->resize(160, 30);
  const QPalette standardLabel = QApplication::palette(label);
  const QPalette standardEdit = QApplication::palette(edit);
  const int darkWhenEnabled = darkestGrey(label);

  SetObjEnabled(outer, false);
  EXPECT_TRUE(outer->isEnabled());
  EXPECT_TRUE(inner->isEnabled());
  EXPECT_FALSE(label->isEnabled());
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText),
            standardLabel.color(QPalette::Disabled, QPalette::WindowText));
  EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Text),
            standardEdit.color(QPalette::Disabled, QPalette::Text));
  EXPECT_GT(darkestGrey(label), darkWhenEnabled + 40) << "the disabled label must look grey";

  SetObjEnabled(outer, true);
  EXPECT_TRUE(label->isEnabled());
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText),
            standardLabel.color(QPalette::Active, QPalette::WindowText));
  EXPECT_EQ(darkestGrey(label), darkWhenEnabled);
}

TEST(EnablingControls, OnlyExactBoxClassesPassTheFlagOn) {
  // A scroll area derives from QFrame but is no box: it is disabled itself.
  QWidget window;
  auto *area = new QScrollArea(&window);
  auto *inside = new QLabel(QStringLiteral("x"));
  area->setWidget(inside);
  SetObjEnabled(area, false);
  EXPECT_FALSE(area->isEnabled());
  EXPECT_FALSE(inside->isEnabled());
  SetObjEnabled(area, true);
  EXPECT_TRUE(inside->isEnabled());

  QObject plain;
  SetObjEnabled(&plain, false);
  SetObjEnabled(nullptr, false);
}
