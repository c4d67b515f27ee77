// The scripted double that every test relies on, and the Qt implementation driven
// through its real dialogs on the offscreen platform.

#include "platform/QtUiServices.h"
#include "platform/ScriptedUi.h"
#include "tests/common/ModalResponder.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QDir>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// Collects the failure reports of ScriptedUi instead of failing the test.
class CapturedFailures {
public:
  CapturedFailures() {
    ScriptedUi::setFailureHandler([this](const QString &what) { m_reports << what; });
  }
  ~CapturedFailures() { installTestFailureHandler(); }
  const QStringList &reports() const { return m_reports; }

private:
  QStringList m_reports;
};

// A small dialog like the program's own: a field, OK and Cancel, and a record of
// what it did.
class NameDialog : public QDialog {
public:
  NameDialog() {
    setObjectName(QStringLiteral("NameDialog"));
    setWindowTitle(QStringLiteral("Card name"));
    auto *layout = new QVBoxLayout(this);
    edit = new QLineEdit(this);
    ok = new QPushButton(QStringLiteral("OK"), this);
    layout->addWidget(edit);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(this, &QDialog::accepted, this, [this] { acceptedName = edit->text(); });
    connect(this, &QDialog::finished, this, [this](int code) { finishedCodes << code; });
  }
  QLineEdit *edit;
  QPushButton *ok;
  int shows = 0;
  QString acceptedName;
  QList<int> finishedCodes;

protected:
  void showEvent(QShowEvent *event) override {
    ++shows;
    QDialog::showEvent(event);
  }
};

QStringList buttonTexts(QMessageBox *box) {
  QStringList texts;
  for (QAbstractButton *button : box->buttons())
    texts << button->text();
  texts.sort();
  return texts;
}

QAbstractButton *buttonNamed(QMessageBox *box, const QString &text) {
  for (QAbstractButton *button : box->buttons()) {
    if (button->text() == text)
      return button;
  }
  return nullptr;
}

}  // namespace

TEST(ScriptedUi, AnswersInOrderAndRecordsWhatWasShown) {
  ScopedScriptedUi ui;
  ui.expectAlert();
  ui.answerYesNo(true);
  ui.answerYesNo(false);
  ui.answerOpenFile(QStringLiteral("/tmp/a.png"));
  ui.answerOpenFiles({QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b.txt")});
  ui.answerSaveFile(QStringLiteral("/tmp/card"));
  ui.answerFolder(QStringLiteral("/tmp/cards"));
  ui.answerFont(QFont(QStringLiteral("Liberation Sans"), 11));
  ui.answerColor(QColor(10, 20, 30, 40));
  ui.answerDesktop(true);
  EXPECT_EQ(ui.pending(), 10u);

  UiServices &services = UiServices::instance();
  services.alert(QStringLiteral("\nSaved"));
  EXPECT_TRUE(services.askYesNo(QStringLiteral("Replace the series?"), QStringLiteral("It exists.")));
  EXPECT_FALSE(services.askYesNo(QStringLiteral("Delete?")));
  EXPECT_EQ(services.openFile({QStringLiteral("Choose an image"), {}, {QStringLiteral("png"), QStringLiteral("jpg")}, {}, {}}),
            QStringLiteral("/tmp/a.png"));
  EXPECT_EQ(services.openFiles({}), QStringList({QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b.txt")}));
  // The save panel adds the default extension to the name a person typed.
  EXPECT_EQ(services.saveFile({QStringLiteral("Export"), {}, {QStringLiteral("png")}, QStringLiteral("png"), {}}),
            QStringLiteral("/tmp/card.png"));
  EXPECT_EQ(services.chooseFolder({}), QStringLiteral("/tmp/cards"));
  EXPECT_EQ(services.chooseFont(QFont()).value().family(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(services.chooseColor(Qt::white, true).value(), QColor(10, 20, 30, 40));
  EXPECT_TRUE(services.openWithDesktop(QUrl(QStringLiteral("https://example.org/help"))));

  EXPECT_EQ(ui.pending(), 0u);
  EXPECT_EQ(ui.alertTexts(),
            QStringList({QStringLiteral("\nSaved"), QStringLiteral("Replace the series?"), QStringLiteral("Delete?")}));
  const auto requests = ui.requests();
  ASSERT_EQ(requests.size(), 10u);
  EXPECT_EQ(requests[1].kind, ScriptedUi::Kind::YesNo);
  EXPECT_EQ(requests[1].detail, QStringLiteral("It exists."));
  EXPECT_EQ(requests[3].kind, ScriptedUi::Kind::OpenFile);
  EXPECT_EQ(requests[3].text, QStringLiteral("Choose an image"));
  EXPECT_EQ(requests[3].detail, QStringLiteral("png,jpg"));
  EXPECT_EQ(requests[9].kind, ScriptedUi::Kind::Desktop);
  EXPECT_EQ(requests[9].text, QStringLiteral("https://example.org/help"));

  ui.clear();
  EXPECT_TRUE(ui.requests().empty());
}

TEST(ScriptedUi, UnexpectedRequestsFailWithTheirTextAndGetTheCancellingAnswer) {
  ScriptedUi ui;
  CapturedFailures failures;

  ui.alert(QStringLiteral("Selected control is locked."), QString());
  EXPECT_FALSE(ui.askYesNo(QStringLiteral("Replace?"), QString()));
  NameDialog dialog;
  EXPECT_EQ(ui.runModal(&dialog), ModalCancel);
  EXPECT_EQ(dialog.shows, 0);  // an unscripted window is never shown
  EXPECT_EQ(ui.openFile({QStringLiteral("Open"), {}, {}, {}, {}}), QString());
  EXPECT_EQ(ui.openFiles({}), QStringList());
  EXPECT_EQ(ui.saveFile({}), QString());
  EXPECT_EQ(ui.chooseFolder({}), QString());
  EXPECT_EQ(ui.chooseFont(QFont(), QString()), std::nullopt);
  EXPECT_EQ(ui.chooseColor(Qt::red, true, QString()), std::nullopt);
  EXPECT_FALSE(ui.openWithDesktop(QUrl(QStringLiteral("file:///tmp/Help.pdf"))));

  const QStringList &reports = failures.reports();
  ASSERT_EQ(reports.size(), 10);
  EXPECT_EQ(reports[0], QStringLiteral("Unexpected alert \"Selected control is locked.\": no scripted answer was left"));
  EXPECT_EQ(reports[1], QStringLiteral("Unexpected Yes/No question \"Replace?\": no scripted answer was left"));
  EXPECT_EQ(reports[2], QStringLiteral("Unexpected modal window QDialog \"NameDialog\" (title \"Card name\"): "
                                       "no scripted answer was left"));
  EXPECT_TRUE(reports[3].startsWith(QStringLiteral("Unexpected open panel \"Open\"")));
  EXPECT_TRUE(reports[9].contains(QStringLiteral("file:///tmp/Help.pdf")));
  EXPECT_EQ(ui.requests().size(), 10u);

  // An answer of another kind stays queued for the request it was meant for.
  ui.answerModal(ModalOK);
  EXPECT_FALSE(ui.askYesNo(QStringLiteral("Stop sending?"), QString()));
  ASSERT_EQ(reports.size(), 11);
  EXPECT_EQ(reports[10], QStringLiteral("Unexpected Yes/No question \"Stop sending?\": "
                                        "the next scripted answer is for a modal window"));
  EXPECT_EQ(ui.pending(), 1u);
  EXPECT_EQ(ui.runModal(&dialog), ModalOK);
  EXPECT_EQ(reports.size(), 11);
}

TEST(ScriptedUiDeathTest, WithoutAHandlerAnUnexpectedRequestAbortsInsteadOfWaiting) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const ChildTemporaryFolder childFolders;
  EXPECT_DEATH(
      {
        ScriptedUi::setFailureHandler(nullptr);
        ScriptedUi ui;
        ui.alert(QStringLiteral("Nobody scripted this"), QString());
      },
      "Unexpected alert \"Nobody scripted this\"");
}

TEST(ScriptedUi, ModalCodeShowsAndEndsTheDialog) {
  ScopedScriptedUi ui;
  NameDialog dialog;
  ui.answerModal(ModalOK);
  ui.answerModal(ModalCancel);
  ui.answerModal(7);

  EXPECT_EQ(UiServices::instance().runModal(&dialog), ModalOK);
  EXPECT_EQ(dialog.shows, 1);          // its show-time code ran
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), ModalOK);
  EXPECT_EQ(dialog.acceptedName, QString());  // accepted() was emitted with the empty field
  EXPECT_EQ(UiServices::instance().runModal(&dialog), ModalCancel);
  EXPECT_EQ(UiServices::instance().runModal(&dialog), 7);
  EXPECT_EQ(dialog.shows, 3);
  EXPECT_EQ(dialog.finishedCodes, QList<int>({ModalOK, ModalCancel, 7}));

  const auto requests = ui.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].kind, ScriptedUi::Kind::Modal);
  EXPECT_EQ(requests[0].text, QStringLiteral("NameDialog"));
  EXPECT_EQ(requests[0].detail, QStringLiteral("Card name"));
}

TEST(ScriptedUi, ModalScriptWorksTheShownDialog) {
  ScopedScriptedUi ui;
  NameDialog dialog;
  ui.answerModal([](QDialog *shown) {
    auto *d = static_cast<NameDialog *>(shown);
    // Shown as a modal run would show it: laid out, with real geometry.
    EXPECT_TRUE(d->isVisible());
    EXPECT_GT(d->ok->width(), 0);
    d->edit->setText(QStringLiteral("Sorry card"));
    d->ok->click();
    return d->result();
  });
  // A script that presses nothing: the dialog is ended with the script's code.
  ui.answerModal([](QDialog *) { return ModalCancel; });

  EXPECT_EQ(UiServices::instance().runModal(&dialog), ModalOK);
  EXPECT_EQ(dialog.acceptedName, QStringLiteral("Sorry card"));
  EXPECT_FALSE(dialog.isVisible());

  EXPECT_EQ(UiServices::instance().runModal(&dialog), ModalCancel);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.finishedCodes, QList<int>({ModalOK, ModalCancel}));
}

TEST(WithDefaultExtension, AddsTheExtensionOnlyWhenTheNameLacksAnAllowedOne) {
  const QStringList images{QStringLiteral("png"), QStringLiteral("jpg")};
  const QString png = QStringLiteral("png");
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/card"), png, images), QStringLiteral("/tmp/card.png"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/card.PNG"), png, images), QStringLiteral("/tmp/card.PNG"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/card.jpg"), png, images), QStringLiteral("/tmp/card.jpg"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/card.txt"), png, images), QStringLiteral("/tmp/card.txt.png"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/card."), png, images), QStringLiteral("/tmp/card.png"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/my.cards/card"), png, images),
            QStringLiteral("/tmp/my.cards/card.png"));
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/card"), QStringLiteral(".dcard"), {}),
            QStringLiteral("/tmp/card.dcard"));
  // With every file allowed, an extension the person typed stays.
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/list.csv"), QStringLiteral("txt"), {}),
            QStringLiteral("/tmp/list.csv"));
  EXPECT_EQ(withDefaultExtension(QString(), png, images), QString());
  EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/card"), QString(), images), QStringLiteral("/tmp/card"));
}

TEST(QtUiServices, AlertHasExactlyOneOkButtonAndShowsTextPlainly) {
  QtUiServices services;
  QStringList buttons;
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  QString shownInformative;
  ModalResponder responder([&](QWidget *modal) {
    auto *box = qobject_cast<QMessageBox *>(modal);
    ASSERT_NE(box, nullptr);
    buttons = buttonTexts(box);
    text = box->text();
    format = box->textFormat();
    // What a person reads in the informative line, with any markup taken away.
    QTextDocument document;
    document.setHtml(box->informativeText());
    shownInformative = document.toPlainText();
    box->defaultButton()->click();
  });
  services.alert(QStringLiteral("\n<b>Saved</b>"), QStringLiteral("Card <i>1</i> & 2"));
  EXPECT_TRUE(responder.responded());
  EXPECT_EQ(buttons, QStringList({QStringLiteral("OK")}));
  EXPECT_EQ(text, QStringLiteral("\n<b>Saved</b>"));
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(shownInformative, QStringLiteral("Card <i>1</i> & 2"));
}

TEST(QtUiServices, YesNoQuestionHasYesAsDefaultAndNo) {
  QtUiServices services;
  for (const QString &press : {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Escape")}) {
    QStringList buttons;
    QString defaultText;
    ModalResponder responder([&](QWidget *modal) {
      auto *box = qobject_cast<QMessageBox *>(modal);
      ASSERT_NE(box, nullptr);
      buttons = buttonTexts(box);
      defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
      if (press == QStringLiteral("Escape"))
        box->escapeButton()->click();
      else
        buttonNamed(box, press)->click();
    });
    const bool yes = services.askYesNo(QStringLiteral("Replace the existing series?"), QString());
    EXPECT_TRUE(responder.responded());
    EXPECT_EQ(buttons, QStringList({QStringLiteral("No"), QStringLiteral("Yes")}));
    EXPECT_EQ(defaultText, QStringLiteral("Yes"));
    EXPECT_EQ(yes, press == QStringLiteral("Yes")) << press.toStdString();
  }
}

TEST(QtUiServices, ModalRunReturnsTheDialogsCodeOverTheProgramWindow) {
  QtUiServices services;
  QWidget window;
  window.show();
  services.setParentWindow(&window);

  NameDialog dialog;
  bool modalWhileRunning = false;
  QWindow *transientParent = nullptr;
  ModalResponder responder([&](QWidget *modal) {
    modalWhileRunning = modal == &dialog;
    transientParent = dialog.windowHandle() ? dialog.windowHandle()->transientParent() : nullptr;
    dialog.done(5);
  });
  EXPECT_EQ(services.runModal(&dialog), 5);
  EXPECT_TRUE(modalWhileRunning);
  EXPECT_EQ(transientParent, window.windowHandle());
  EXPECT_EQ(dialog.parent(), nullptr);  // ownership stays with the caller
  EXPECT_EQ(services.runModal(nullptr), ModalCancel);
}

TEST(QtUiServices, SavePanelFiltersByExtensionAndAddsTheDefaultOne) {
  QtUiServices services;
  QTemporaryDir folder;
  QStringList filters;
  ModalResponder responder([&](QWidget *modal) {
    auto *panel = qobject_cast<QFileDialog *>(modal);
    ASSERT_NE(panel, nullptr);
    filters = panel->nameFilters();
    EXPECT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Export Card"));
    static_cast<QDialog *>(panel)->accept();  // takes the suggested name
  });
  const QString chosen =
      services.saveFile({QStringLiteral("Export Card"), folder.path(), {QStringLiteral("png")}, QStringLiteral("png"),
                         QStringLiteral("Card_1")});
  EXPECT_EQ(filters, QStringList({QStringLiteral("PNG files (*.png *.PNG)")}));
  EXPECT_EQ(chosen, folder.filePath(QStringLiteral("Card_1.png")));
}

namespace {

// Chooses the type in a save panel as a person does: the type list, one step down per
// key press.
void chooseTypeBelow(QFileDialog *panel) {
  auto *types = panel->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
  ASSERT_NE(types, nullptr);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(types, &down);
}

void typeName(QFileDialog *panel, const QString &name) {
  auto *edit = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(edit, nullptr);
  edit->setText(name);
}

}  // namespace

// A save panel with a choice of type offers each type as a filter of its own, the
// default's chosen at first; the chosen type gives the name its extension, whatever was
// typed, and the question about replacing a file is about the file really written.
TEST(QtUiServices, SavePanelWithATypeChoiceGivesTheChosenTypesExtension) {
  QtUiServices services;
  QTemporaryDir folder;
  const FilePanelOptions options{QStringLiteral("Export"),      folder.path(),
                                 {QStringLiteral("xlsx"), QStringLiteral("txt")}, QStringLiteral("xlsx"),
                                 QStringLiteral("Guests.xlsx"), true};
  QStringList filters;
  QString selected;
  {
    ModalSteps steps({[&](QWidget *modal) {
      auto *panel = qobject_cast<QFileDialog *>(modal);
      ASSERT_NE(panel, nullptr);
      filters = panel->nameFilters();
      selected = panel->selectedNameFilter();
      static_cast<QDialog *>(panel)->accept();  // the suggested name, the first type
    }});
    EXPECT_EQ(services.saveFile(options), folder.filePath(QStringLiteral("Guests.xlsx")));
    EXPECT_EQ(steps.taken(), 1u);
  }
  EXPECT_EQ(filters,
            QStringList({QStringLiteral("XLSX files (*.xlsx *.XLSX)"), QStringLiteral("TXT files (*.txt *.TXT)")}));
  EXPECT_EQ(selected, filters.first());

  // "txt" chosen: a bare name and one typed with the other type's extension both end in ".txt".
  for (const QString &typed : {QStringLiteral("guests"), QStringLiteral("guests.xlsx")}) {
    SCOPED_TRACE(typed.toStdString());
    ModalSteps steps({[&](QWidget *modal) {
      auto *panel = qobject_cast<QFileDialog *>(modal);
      ASSERT_NE(panel, nullptr);
      chooseTypeBelow(panel);
      typeName(panel, typed);
      static_cast<QDialog *>(panel)->accept();
    }});
    EXPECT_EQ(services.saveFile(options), folder.filePath(QStringLiteral("guests.txt")));
  }

  // "guests.txt" exists: typing "guests.xlsx" with "txt" chosen asks about guests.txt. No
  // goes back to the panel; cancelling it then chooses nothing; Yes chooses the file.
  QFile existing(folder.filePath(QStringLiteral("guests.txt")));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  for (const bool replace : {false, true}) {
    SCOPED_TRACE(replace ? "replace" : "do not replace");
    QString question;
    QString defaultAnswer;
    std::vector<std::function<void(QWidget *)>> answers{
        [&](QWidget *modal) {
          auto *panel = qobject_cast<QFileDialog *>(modal);
          ASSERT_NE(panel, nullptr);
          chooseTypeBelow(panel);
          typeName(panel, QStringLiteral("guests.xlsx"));
          static_cast<QDialog *>(panel)->accept();
        },
        [&](QWidget *modal) {
          auto *box = qobject_cast<QMessageBox *>(modal);
          ASSERT_NE(box, nullptr);
          question = box->text();
          defaultAnswer = box->defaultButton() ? box->defaultButton()->text() : QString();
          buttonNamed(box, replace ? QStringLiteral("Yes") : QStringLiteral("No"))->click();
        }};
    if (!replace)
      answers.push_back([](QWidget *modal) {
        ASSERT_NE(qobject_cast<QFileDialog *>(modal), nullptr);
        static_cast<QDialog *>(modal)->reject();
      });
    ModalSteps steps(answers);
    EXPECT_EQ(services.saveFile(options), replace ? folder.filePath(QStringLiteral("guests.txt")) : QString());
    EXPECT_EQ(steps.taken(), answers.size());
    EXPECT_EQ(question, QStringLiteral("guests.txt already exists.\nDo you want to replace it?"));
    EXPECT_EQ(defaultAnswer, QStringLiteral("No"));
  }
}

// In a panel with a choice of type, a dot in a name does not begin an extension unless
// an offered type follows it: "Notes 2.5" is written as "Notes 2.5.xlsx", not "Notes
// 2.xlsx", and "Sorry v1.2" asks about no "Sorry v1.xlsx" that is there. A name that ends
// in an offered type takes the chosen one instead.
TEST(QtUiServices, SavePanelWithATypeChoiceKeepsADotThatBeginsNoOfferedType) {
  QtUiServices services;
  QTemporaryDir folder;
  QFile other(folder.filePath(QStringLiteral("Sorry v1.xlsx")));
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.close();
  const FilePanelOptions options{QStringLiteral("Export"),      folder.path(),
                                 {QStringLiteral("xlsx"), QStringLiteral("txt")}, QStringLiteral("xlsx"),
                                 QStringLiteral("Guests.xlsx"), true};
  struct Case {
    QString typed;
    bool textChosen;
    QString written;
  };
  for (const Case &c : {Case{QStringLiteral("Notes 2.5"), false, QStringLiteral("Notes 2.5.xlsx")},
                        Case{QStringLiteral("Sorry v1.2"), false, QStringLiteral("Sorry v1.2.xlsx")},
                        Case{QStringLiteral("guests.csv"), true, QStringLiteral("guests.csv.txt")},
                        Case{QStringLiteral("Sorry v1.2.XLSX"), true, QStringLiteral("Sorry v1.2.txt")}}) {
    SCOPED_TRACE(c.typed.toStdString());
    // A question, were one asked, would be answered No and the panel cancelled after it.
    QString asked;
    ModalSteps steps({[&](QWidget *modal) {
                        auto *panel = qobject_cast<QFileDialog *>(modal);
                        ASSERT_NE(panel, nullptr);
                        if (c.textChosen)
                          chooseTypeBelow(panel);
                        typeName(panel, c.typed);
                        static_cast<QDialog *>(panel)->accept();
                      },
                      [&](QWidget *modal) {
                        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                          asked = box->text();
                          buttonNamed(box, QStringLiteral("No"))->click();
                        } else {
                          static_cast<QDialog *>(modal)->reject();
                        }
                      },
                      [](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); }});
    EXPECT_EQ(services.saveFile(options), folder.filePath(c.written));
    EXPECT_EQ(asked, QString());
  }
}

// A name with a dot gets no suffix from the dialog itself, only the default extension
// added after it: the question about replacing a file is about that file all the same,
// asked once, as for a bare name. No goes back to the panel; cancelling it chooses nothing.
TEST(QtUiServices, SavePanelAsksAboutTheFileWithItsExtensionAdded) {
  QtUiServices services;
  QTemporaryDir folder;
  for (const QString &name : {QStringLiteral("Sorry v1.2.dcard"), QStringLiteral("Plain.dcard")}) {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const FilePanelOptions options{QStringLiteral("Save Design"), folder.path(), {QStringLiteral("dcard")},
                                 QStringLiteral("dcard"), {}};
  struct Case {
    QString typed;
    bool replace;
  };
  for (const Case &c : {Case{QStringLiteral("Sorry v1.2"), false}, Case{QStringLiteral("Sorry v1.2"), true},
                        Case{QStringLiteral("Plain"), true}}) {
    SCOPED_TRACE((c.typed + (c.replace ? QStringLiteral(", Yes") : QStringLiteral(", No"))).toStdString());
    QStringList questions;
    const auto answer = [&](QWidget *modal) {
      auto *box = qobject_cast<QMessageBox *>(modal);
      ASSERT_NE(box, nullptr) << "expected the question, got " << modal->metaObject()->className();
      questions << box->text();
      const QMessageBox::ButtonRole wanted = c.replace && questions.size() == 1 ? QMessageBox::YesRole
                                                                                : QMessageBox::NoRole;
      for (QAbstractButton *button : box->buttons()) {
        if (box->buttonRole(button) == wanted)
          return button->click();
      }
      ADD_FAILURE() << "the question has no button of the role " << wanted;
    };
    const auto typeAndSave = [&](QWidget *modal) {
      auto *panel = qobject_cast<QFileDialog *>(modal);
      ASSERT_NE(panel, nullptr);
      typeName(panel, c.typed);
      // Queued, so that a question the dialog might ask itself comes to the next step
      // instead of waiting inside this one.
      QMetaObject::invokeMethod(panel, "accept", Qt::QueuedConnection);
    };
    std::vector<std::function<void(QWidget *)>> steps{typeAndSave, answer};
    if (!c.replace)
      steps.push_back([](QWidget *modal) {
        ASSERT_NE(qobject_cast<QFileDialog *>(modal), nullptr);
        static_cast<QDialog *>(modal)->reject();
      });
    steps.push_back(answer);  // a second question, which must not come
    ModalSteps answered(steps);
    EXPECT_EQ(services.saveFile(options), c.replace ? folder.filePath(c.typed + QStringLiteral(".dcard")) : QString());
    EXPECT_EQ(answered.taken(), steps.size() - 1);
    EXPECT_EQ(questions, QStringList{c.typed + QStringLiteral(".dcard already exists.\nDo you want to replace it?")});
  }
}

TEST(WithChosenType, TheTypeReplacesAnOfferedExtensionAndIsAddedToAnyOtherName) {
  const QString txt = QStringLiteral("txt");
  const QStringList offered = {QStringLiteral("xlsx"), QStringLiteral(".txt")};
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/list"), txt, offered), QStringLiteral("/tmp/list.txt"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/list.XLSX"), txt, offered), QStringLiteral("/tmp/list.txt"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/list.TXT"), QStringLiteral(".txt"), offered),
            QStringLiteral("/tmp/list.txt"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/list.csv"), txt, offered), QStringLiteral("/tmp/list.csv.txt"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/Notes 2.5"), QStringLiteral("xlsx"), offered),
            QStringLiteral("/tmp/Notes 2.5.xlsx"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/list."), txt, offered), QStringLiteral("/tmp/list.txt"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/my.lists/guests"), txt, offered),
            QStringLiteral("/tmp/my.lists/guests.txt"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/.guests"), txt, offered), QStringLiteral("/tmp/.guests.txt"));
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/.txt"), txt, offered), QStringLiteral("/tmp/.txt.txt"));
  EXPECT_EQ(withChosenType(QString(), txt, offered), QString());
  EXPECT_EQ(withChosenType(QStringLiteral("/tmp/"), txt, offered), QStringLiteral("/tmp/"));
  FilePanelOptions options;
  options.extensions = {QStringLiteral(".xlsx"), QStringLiteral("txt"), QStringLiteral("XLSX")};
  options.defaultExtension = QStringLiteral("TXT");
  EXPECT_EQ(panelTypes(options), QStringList({QStringLiteral("xlsx"), QStringLiteral("txt")}));
  EXPECT_EQ(initialPanelType(options), QStringLiteral("txt"));
  options.defaultExtension.clear();
  EXPECT_EQ(initialPanelType(options), QStringLiteral("xlsx"));
}

// The double gives a type-choosing panel's answer the chosen type's extension as the real
// panel does, and refuses a type the panel does not offer or a panel without a choice.
TEST(ScriptedUi, SavePanelTypeChoices) {
  ScriptedUi ui;
  CapturedFailures failures;
  FilePanelOptions choice{QStringLiteral("Export"), {}, {QStringLiteral("xlsx"), QStringLiteral("txt")},
                          QStringLiteral("xlsx"), {}, true};
  ui.answerSaveFile(QStringLiteral("/tmp/list.txt"));
  ui.answerSaveFile(QStringLiteral("/tmp/list.xlsx"), QStringLiteral("TXT"));
  ui.answerSaveFile(QStringLiteral("/tmp/list"), QStringLiteral("csv"));
  EXPECT_EQ(ui.saveFile(choice), QStringLiteral("/tmp/list.xlsx"));
  EXPECT_EQ(ui.saveFile(choice), QStringLiteral("/tmp/list.txt"));
  EXPECT_EQ(ui.saveFile(choice), QString());
  FilePanelOptions noChoice = choice;
  noChoice.chooseType = false;
  ui.answerSaveFile(QStringLiteral("/tmp/list"), QStringLiteral("txt"));
  EXPECT_EQ(ui.saveFile(noChoice), QString());
  ASSERT_EQ(failures.reports().size(), 2);
  EXPECT_EQ(failures.reports()[0], QStringLiteral("The type \"csv\" was scripted for the save panel \"Export\" for "
                                                  "xlsx, txt, which does not offer it"));
  EXPECT_EQ(failures.reports()[1], QStringLiteral("The type \"txt\" was scripted for the save panel \"Export\" for "
                                                  "xlsx, txt, which offers no choice of type"));
  EXPECT_EQ(ui.pending(), 0u);
}

TEST(QtUiServices, OpenPanelReturnsTheChosenFileAndCancelReturnsNothing) {
  QtUiServices services;
  QTemporaryDir folder;
  QFile file(folder.filePath(QStringLiteral("list.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  {
    ModalResponder choose([&](QWidget *modal) {
      auto *panel = qobject_cast<QFileDialog *>(modal);
      ASSERT_NE(panel, nullptr);
      EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFile);
      // Typed, as a person would: the panel's file list fills in the background.
      auto *name = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(QStringLiteral("list.txt"));
      static_cast<QDialog *>(panel)->accept();
    });
    EXPECT_EQ(services.openFile({QStringLiteral("Import"), folder.path(), {QStringLiteral("txt")}, {}, {}}),
              folder.filePath(QStringLiteral("list.txt")));
  }
  ModalResponder cancel([](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); });
  EXPECT_EQ(services.openFiles({QStringLiteral("Import"), folder.path(), {}, {}, {}}), QStringList());
}

// A name typed into an open panel is not held to the panel's types by the dialog itself:
// a file of another type is refused with a word, and the panel stays for another choice.
TEST(QtUiServices, AnOpenPanelReturnsOnlyFilesOfTheTypesItOffers) {
  QtUiServices services;
  QTemporaryDir folder;
  for (const QString &name : {QStringLiteral("photo.jpg"), QStringLiteral("sign.PNG")}) {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const FilePanelOptions pngOnly{QStringLiteral("Signature"), folder.path(), {QStringLiteral("png")}, {}, {}};
  const auto typeAndOpen = [](const QString &typed) {
    return [typed](QWidget *modal) {
      auto *panel = qobject_cast<QFileDialog *>(modal);
      ASSERT_NE(panel, nullptr);
      typeName(panel, typed);
      static_cast<QDialog *>(panel)->accept();
    };
  };
  QStringList told;
  const auto readAndClose = [&](QWidget *modal) {
    auto *box = qobject_cast<QMessageBox *>(modal);
    ASSERT_NE(box, nullptr);
    QTextDocument informative;
    informative.setHtml(box->informativeText());
    told << box->text() + QLatin1Char('|') + informative.toPlainText();
    buttonNamed(box, QStringLiteral("OK"))->click();
  };
  {
    ModalSteps steps({typeAndOpen(QStringLiteral("photo.jpg")), readAndClose, typeAndOpen(QStringLiteral("sign.PNG"))});
    EXPECT_EQ(services.openFile(pngOnly), folder.filePath(QStringLiteral("sign.PNG")));
    EXPECT_EQ(steps.taken(), 3u);
  }
  {
    ModalSteps steps({typeAndOpen(QStringLiteral("photo.jpg")), readAndClose,
                      [](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); }});
    EXPECT_EQ(services.openFiles(pngOnly), QStringList());
    EXPECT_EQ(steps.taken(), 3u);
  }
  EXPECT_EQ(told, QStringList(2, QStringLiteral("photo.jpg cannot be chosen here.|Choose a file of the type PNG.")));
}

TEST(QtUiServices, FontAndColourPanels) {
  QtUiServices services;
  {
    ModalResponder pickFont([](QWidget *modal) {
      auto *panel = qobject_cast<QFontDialog *>(modal);
      ASSERT_NE(panel, nullptr);
      QFont font(QStringLiteral("Liberation Sans"));
      font.setPointSizeF(17);
      panel->setCurrentFont(font);
      static_cast<QDialog *>(panel)->accept();
    });
    const auto font = services.chooseFont(QFont(QStringLiteral("Liberation Serif"), 12), QStringLiteral("Font"));
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(font->pointSize(), 17);
  }
  bool alphaShown = false;
  {
    ModalResponder pickColour([&](QWidget *modal) {
      auto *panel = qobject_cast<QColorDialog *>(modal);
      ASSERT_NE(panel, nullptr);
      alphaShown = panel->testOption(QColorDialog::ShowAlphaChannel);
      panel->setCurrentColor(QColor(200, 100, 50, 128));
      static_cast<QDialog *>(panel)->accept();
    });
    EXPECT_EQ(services.chooseColor(Qt::black, true, QString()), QColor(200, 100, 50, 128));
    EXPECT_TRUE(alphaShown);
  }

  ModalResponder cancel([&](QWidget *modal) {
    alphaShown = static_cast<QColorDialog *>(modal)->testOption(QColorDialog::ShowAlphaChannel);
    static_cast<QDialog *>(modal)->reject();
  });
  EXPECT_EQ(services.chooseColor(Qt::black, false, QString()), std::nullopt);
  EXPECT_FALSE(alphaShown);
}

// The desktop's opener takes a file or link and may then find no application for it:
// that failure comes when the opener ends, and is reported then; an opener that ends
// well reports nothing.
TEST(QtUiServices, AnOpenerEndingWithAFailureIsReportedForThatFileOrLink) {
  QTemporaryDir bin;
  ASSERT_TRUE(bin.isValid());
  const QString opener = bin.filePath(QStringLiteral("xdg-open"));
  {
    QFile script(opener);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // Like xdg-open with no application for the item: status 3.
    script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$0.log\"\n"
                 "case \"$1\" in *unopenable*) exit 3 ;; esac\nexit 0\n");
    script.close();
    ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  }
  const ScopedEnvironment path("PATH", bin.path());
  const QString opens = bin.filePath(QStringLiteral("Help.pdf"));
  const QString link = QStringLiteral("mailto:unopenable@example.org");
  QStringList failed;
  QtUiServices services;
  EXPECT_TRUE(services.openWithDesktop(QUrl::fromLocalFile(opens), [&] { failed << opens; }));
  EXPECT_TRUE(services.openWithDesktop(QUrl(link), [&] { failed << link; }));
  EXPECT_TRUE(spinUntil([&] { return !failed.isEmpty(); })) << "the failure was not reported";
  spinUntil([] { return false; }, 300);  // the other opener's end, which reports nothing
  EXPECT_EQ(failed, QStringList{link});
  QFile log(opener + QStringLiteral(".log"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  QStringList given = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  given.sort();  // the two openers run side by side
  EXPECT_EQ(given, (QStringList{opens, link}));
}

TEST(QtUiServices, NameFiltersListEveryExtensionInBothCases) {
  EXPECT_EQ(nameFiltersFor({QStringLiteral("png"), QStringLiteral(".JPG"), QStringLiteral("png")}),
            QStringList({QStringLiteral("PNG, JPG files (*.png *.PNG *.jpg *.JPG)")}));
  EXPECT_EQ(nameFiltersFor({}), QStringList());
}

// A panel given no folder starts where the user works, never in the process's working
// folder: the open design's folder, else the last folder of this run, else home (its
// Pictures folder for pictures, where that exists).
TEST(FilePanelStart, DesignFolderThenLastFolderThenHomeOrPictures) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const QByteArray oldHome = qgetenv("HOME");
  const QByteArray oldPictures = qgetenv("XDG_PICTURES_DIR");
  qputenv("HOME", home.path().toUtf8());
  qunsetenv("XDG_PICTURES_DIR");
  const QString design = home.filePath(QStringLiteral("Designs"));
  const QString last = home.filePath(QStringLiteral("Last"));
  ASSERT_TRUE(QDir().mkpath(design));
  ASSERT_TRUE(QDir().mkpath(last));

  FilePanelOptions designs;
  designs.extensions = {QStringLiteral("dcard")};
  FilePanelOptions pictures;
  pictures.extensions = {QStringLiteral("PNG")};

  EXPECT_EQ(panelStartFolder(designs, design, last), design);
  EXPECT_EQ(panelStartFolder(pictures, design, last), design);
  EXPECT_EQ(panelStartFolder(designs, QString(), last), last);
  EXPECT_EQ(panelStartFolder(designs, home.filePath(QStringLiteral("gone")), QString()), QDir::homePath())
      << "a folder that is not there is passed over";
  EXPECT_EQ(panelStartFolder(designs, QString(), QString()), QDir::homePath());
  EXPECT_EQ(panelStartFolder(pictures, QString(), QString()), QDir::homePath()) << "no Pictures folder yet";
  ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("Pictures"))));
  EXPECT_EQ(panelStartFolder(pictures, QString(), QString()), home.filePath(QStringLiteral("Pictures")));
  EXPECT_EQ(panelStartFolder(designs, QString(), QString()), QDir::homePath());
  FilePanelOptions given = designs;
  given.directory = last;
  EXPECT_EQ(panelStartFolder(given, design, QString()), last);

  qputenv("HOME", oldHome);
  if (!oldPictures.isEmpty())
    qputenv("XDG_PICTURES_DIR", oldPictures);
}
