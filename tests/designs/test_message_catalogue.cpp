// The built-in apology catalogue (counts, the titles word for word, message lengths and
// punctuation), its reader on damaged input, the start window's optional list files,
// and the message chooser's paging, OK and Cancel.

#include "designs/Insert_Template.h"
#include "designs/model/ApologyCatalogue.h"

#include "core/Globals.h"
#include "platform/Paths.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QString shippedCatalogue() {
  return QStringLiteral(AMENDS_SOURCE_DIR "/resources/") + ApologyCatalogue::relativePath();
}

ApologyCatalogue shipped() {
  QString error;
  std::optional<ApologyCatalogue> catalogue = ApologyCatalogue::load(shippedCatalogue(), &error);
  EXPECT_TRUE(catalogue.has_value()) << error.toStdString();
  return catalogue.value_or(ApologyCatalogue());
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  EXPECT_EQ(file.write(bytes), bytes.size());
  return path;
}

}  // namespace

TEST(ApologyCatalogue, EveryEventHasItsTitlesWordForWordAndItsNumberOfMessages) {
  const ApologyCatalogue catalogue = shipped();
  const QList<QStringList> titles = {
      {"I'm So Sorry!!!", "Forgive me please!", "I'm sorry my dear!!!", "I can't sleep and I can't eat.",
       "I didn't mean to hurt you.", "I need you back in my life.", "I deserve to be treated that way.",
       "Forgive me love.", "Please let us have some talk."},
      {"Please Forgive Me!!!", "I won't do it ever again.", "Forgive me love.", "I know I was rude.",
       "Please come back.", "I have behaved with you so badly.", "I will do anything that you ask of me.",
       "I never wanted to hurt you", "I'm sorry my dear!!!"},
      {"I'm sorry!!!", "Please forgive me!", "Lovely sorry wish for my good boss.", "Sorry that I have hurt you!",
       "I seek forgiveness!", "I'm sorry for my actions.", "Wish I could turn back.", "Apology is a lovely perfume!",
       "I'm sorry for my behaviour."},
      {"Please, please, please forgive me.", "I'm sorry for my actions.", "I'm sorry my dear!!!", "I'm sorry!!!",
       "I am so sorry for letting you down.", "I hate myself for being rude!", "I didn't mean to hurt you.",
       "I wish I had just kept quiet.", "Sorry for causing all this trouble."},
      {"I am really sorry. Yes I do.", "Forgive me!!!", "I'm sorry I am such a mess.",
       "I am very disappointed with myself.", "Sorry, Sorry, Sorry........", "I won't fight with you ever again.",
       "Mood Swings!!!", "Apology My Lord!", "I won't stop until you forgive me."},
      {"I am so sorry for missing your birthday.", "I am really sorry.", "I am so sorry for letting you down.",
       "I am sorry for forgetting your birthday.", "I am very disappointed with myself.", "Please forgive me.",
       "I hope that you will forgive me.", "It won't happen again.", "Please, please, please forgive me."},
      {"Please forgive me!", "I'm so sorry I missed your special day.", "I'm sorry I missed your anniversary.",
       "Sorry for wishing you late!", "I am really sorry!!!", "I am very disappointed with myself.",
       "Sorry for being late.", "Sorry for being a little late"},
      {"I don't know how to say sorry!", "I hate myself for being rude!", "SORRY MOM.",
       "Mom, I love you and I'm sorry.", "I Apologize!!!", "I am sorry DAD!", "Sorry for causing all this trouble!",
       "I'm Sorry!", "Please forgive me!"},
      {"I'm Sorry Sister!", "I'm sorry if I disobey you.", "Sorry for making you cry!", "I'm Sorry Brother!",
       "I won't fight with you ever again.", "Sorry dear brother, please forgive me.",
       "You know that I love you right?", "I wish I had just kept quiet.", "I am really sorry."},
      {"Please forgive me dude.", "I am sorry.", "I was wrong.", "I am sorry you cried.",
       "I'll never let our friendship rust.", "I feel ashamed that I broke your trust.",
       "I wish I had just kept quiet.", "I Apologize!!!", "I am really sorry."},
  };
  const int messageCounts[] = {14, 14, 10, 8, 7, 10, 9, 14, 15, 12};
  int typographic = 0;
  for (int event = 1; event <= 10; ++event) {
    const QString code = QString::number(event);
    SCOPED_TRACE(code.toStdString());
    EXPECT_EQ(catalogue.titles(code), titles[event - 1]);
    const QStringList messages = catalogue.messages(code);
    EXPECT_EQ(messages.size(), messageCounts[event - 1]);
    for (const QString &message : messages) {
      EXPECT_GE(message.size(), 58) << message.toStdString();
      EXPECT_LE(message.size(), 202) << message.toStdString();
      if (message.contains(QChar(0x2026)) || message.contains(QChar(0x201C)) || message.contains(QChar(0x201D)))
        ++typographic;
    }
    for (const QString &title : titles[event - 1]) {
      EXPECT_GE(title.size(), 10);
      EXPECT_LE(title.size(), 40);
    }
  }
  EXPECT_GE(typographic, 3) << "a few messages carry typographic punctuation";
  // The boss's list opens with five general sayings shared with the general apologies.
  EXPECT_EQ(catalogue.messages(QStringLiteral("3")).mid(0, 5), catalogue.messages(QStringLiteral("4")).mid(0, 5));
  EXPECT_TRUE(catalogue.messages(QStringLiteral("3")).at(5).startsWith(QStringLiteral("Dear boss")));
  // Codes are "1" to "10" exactly.
  for (const char *code : {"0", "11", "01", " 1", "+1", ""})
    EXPECT_TRUE(catalogue.titles(QString::fromLatin1(code)).isEmpty()) << code;
}

TEST(ApologyCatalogue, TheReaderSkipsWhatItCannotPlaceAndCutsOverLongEntries) {
  QStringList problems;
  const QByteArray text = "title: before any event\n"
                          "[2] him\n"
                          "title:   Padded title   \r\n"
                          "message: " + QByteArray(300, 'm') + "\n"
                          "title: " + QByteArray(99, 't') + "\xF0\x9F\x92\x90\n"
                          "message:\n"
                          "what is this\n"
                          "[12] no such event\n"
                          "title: lost\n"
                          "[2]\n"
                          "title: second block continues\n"
                          "\xFF\xFE broken bytes\n";
  const ApologyCatalogue catalogue = ApologyCatalogue::parse(text, &problems);
  const QStringList titles = catalogue.titles(QStringLiteral("2"));
  ASSERT_EQ(titles.size(), 3);
  EXPECT_EQ(titles[0], QStringLiteral("Padded title"));
  EXPECT_EQ(titles[1], QString(99, QLatin1Char('t'))) << "a character is never halved at the limit";
  EXPECT_EQ(titles[2], QStringLiteral("second block continues"));
  EXPECT_EQ(catalogue.messages(QStringLiteral("2")), QStringList{QString(250, QLatin1Char('m'))});
  EXPECT_EQ(problems.size(), 6) << problems.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(problems.first().startsWith(QStringLiteral("line 1:")));

  EXPECT_TRUE(ApologyCatalogue::parse(QByteArray()).isEmpty());
}

TEST(ApologyCatalogue, MissingOrOversizedCatalogueFilesAreNotRead) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString error;
  EXPECT_FALSE(ApologyCatalogue::load(dir.filePath(QStringLiteral("none.txt")), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(ApologyCatalogue::load(dir.path(), &error)) << "a folder";
  const QString big =
      writeFile(dir, QStringLiteral("big.txt"), "[1]\n" + QByteArray(ApologyCatalogue::MaxFileBytes, '#'));
  EXPECT_FALSE(ApologyCatalogue::load(big, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("larger"))) << error.toStdString();

  // The program's catalogue: the shipped copy first, the resource folder's when there
  // is no shipped one, and empty (logged) when neither can be read.
  QTemporaryDir shippedDir;
  ASSERT_TRUE(QDir(shippedDir.path()).mkpath(QStringLiteral("Catalogue")));
  writeFile(shippedDir, ApologyCatalogue::relativePath(), "[5]\ntitle: From the program\n");
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Catalogue")));
  writeFile(dir, ApologyCatalogue::relativePath(), "[5]\ntitle: From the user's folder\n");
  const QString previous = Resource_Path;
  Resource_Path = dir.path();
  {
    ScopedEnvironment shippedEnv("AMENDS_SHIPPED_RESOURCES", shippedDir.path());
    EXPECT_EQ(ApologyCatalogue::builtIn().titles(QStringLiteral("5")), QStringList{QStringLiteral("From the program")});
  }
  {
    ScopedEnvironment noShipped("AMENDS_SHIPPED_RESOURCES", dir.filePath(QStringLiteral("nothing here")));
    EXPECT_EQ(ApologyCatalogue::builtIn().titles(QStringLiteral("5")),
              QStringList{QStringLiteral("From the user's folder")});
    ASSERT_TRUE(QFile::remove(dir.filePath(ApologyCatalogue::relativePath())));
    ScopedLogCapture log;
    EXPECT_TRUE(ApologyCatalogue::builtIn().isEmpty());
    EXPECT_EQ(log.lines().size(), 1);
  }
  Resource_Path = previous;
}

TEST(ApologyListFiles, TitleAndMessageFilesAreTrimmedSplitAndHeldToTheirLimits) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // Windows line ends, blank lines at both ends, a blank line inside, a long line.
  const QString path = writeFile(dir, QStringLiteral("Title.txt"),
                                 "\r\n\n  First\r\nSecond  \r\n\r\n" + QByteArray(150, 'x') + "\r\n\n");
  std::optional<QStringList> list = readApologyListFile(path, 100);
  ASSERT_TRUE(list);
  EXPECT_EQ(*list, (QStringList{QStringLiteral("First"), QStringLiteral("Second  "), QString(),
                                QString(100, QLatin1Char('x'))}));

  EXPECT_EQ(readApologyListFile(writeFile(dir, QStringLiteral("empty.txt"), ""), 100), QStringList{QString()});
  EXPECT_FALSE(readApologyListFile(dir.filePath(QStringLiteral("Message.txt")), 250)) << "missing";
  EXPECT_FALSE(readApologyListFile(dir.path(), 250)) << "a folder";
  const QString huge = writeFile(dir, QStringLiteral("huge.txt"), QByteArray(ApologyCatalogue::MaxFileBytes + 1, 'a'));
  EXPECT_FALSE(readApologyListFile(huge, 250));
  // A named pipe is refused at once rather than waited on.
  const QString pipe = dir.filePath(QStringLiteral("pipe.txt"));
  ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  EXPECT_FALSE(readApologyListFile(pipe, 250));
}

// ---- The message chooser -----------------------------------------------------------------------

namespace {

class MessageChooserTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Catalogue")));
    ASSERT_TRUE(QFile::copy(shippedCatalogue(), dir.filePath(ApologyCatalogue::relativePath())));
    shippedEnv.emplace("AMENDS_SHIPPED_RESOURCES", dir.path());
    Template_Msg_Val = QStringLiteral("(left from before)");
  }
  void TearDown() override {
    Event_Type = QStringLiteral("1");
    Template_Msg_Val.clear();
  }

  // Opens the chooser in `mode` for `event`; `script` acts on it and the answer is
  // what the chooser ended with.
  int open(const QString &mode, const QString &event, const std::function<void(Insert_Template &)> &script) {
    Event_Type = event;
    chooser.title_or_msg = mode;
    scripted.answerModal([&](QDialog *dialog) {
      EXPECT_EQ(dialog->objectName(), QStringLiteral("Insert_Template"));
      EXPECT_EQ(Template_Msg_Val, QString()) << "emptied when the chooser opens";
      script(chooser);
      return dialog->isVisible() ? -1 : dialog->result();
    });
    return chooser.Open_Template_Dialog();
  }

  QTemporaryDir dir;
  std::optional<ScopedEnvironment> shippedEnv;
  ScopedScriptedUi scripted;
  Insert_Template chooser;
};

}  // namespace

TEST_F(MessageChooserTest, TitlesOfTheAnniversaryWrapBothWays) {
  const int code = open(QStringLiteral("T"), QStringLiteral("7"), [](Insert_Template &c) {
    EXPECT_EQ(c.msg_value->toPlainText(), QStringLiteral("Please forgive me!"));
    for (int i = 0; i < 8; ++i)
      c.Msg_Next_btn->click();
    EXPECT_EQ(c.msg_value->toPlainText(), QStringLiteral("Please forgive me!"));
    c.Msg_Back_btn->click();
    EXPECT_EQ(c.msg_value->toPlainText(), QStringLiteral("Sorry for being a little late"));
    c.OK_btn->click();
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Template_Msg_Val, QStringLiteral("Sorry for being a little late"));
}

TEST_F(MessageChooserTest, MessagesOfTheSiblingsWrapAndAnEditedTextIsTakenTrimmed) {
  const QStringList messages = shipped().messages(QStringLiteral("9"));
  ASSERT_EQ(messages.size(), 15);
  const int code = open(QStringLiteral("M"), QStringLiteral("9"), [&](Insert_Template &c) {
    EXPECT_EQ(c.msg_value->toPlainText(), messages.first());
    c.Msg_Back_btn->click();
    EXPECT_EQ(c.msg_value->toPlainText(), messages.last());
    c.Msg_Next_btn->click();
    c.Msg_Next_btn->click();
    EXPECT_EQ(c.msg_value->toPlainText(), messages.at(1));
    c.msg_value->setPlainText(QStringLiteral("\n  Sorry, sis. Pizza is on me.  \n"));
    c.OK_btn->click();
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Template_Msg_Val, QStringLiteral("Sorry, sis. Pizza is on me."));
}

TEST_F(MessageChooserTest, ABlankTextIsRefusedAndCancelLeavesNothing) {
  int code = open(QStringLiteral("M"), QStringLiteral("4"), [&](Insert_Template &c) {
    c.msg_value->setPlainText(QStringLiteral(" \n\t "));
    scripted.expectAlert();
    c.OK_btn->click();
    EXPECT_TRUE(c.window()->isVisible()) << "the chooser stays open";
    EXPECT_TRUE(c.msg_value->hasFocus() || !c.window()->isActiveWindow());
    c.Msg_Next_btn->click();
    c.Cancel_btn->click();
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Template_Msg_Val, QString());
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nPlease select message.")});

  // Each opening starts again from the first entry; Escape is Cancel.
  code = open(QStringLiteral("M"), QStringLiteral("4"), [&](Insert_Template &c) {
    EXPECT_EQ(c.message_index, 0);
    EXPECT_EQ(c.msg_value->toPlainText(), shipped().messages(QStringLiteral("4")).first());
    c.window()->reject();
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Template_Msg_Val, QString());
}
