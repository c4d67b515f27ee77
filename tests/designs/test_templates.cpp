// Templates: Save as Template writes the design log and a preview of both sides into the
// user's template folder and the browser lists it; the naming rules; copy, rename and
// delete of user templates with built-in ones out of reach; failures that leave the old
// files as they were and say so; opening a template gives the design of its file.

#include "tests/designs/design_commands_fixture.h"

#include "designs/Export_Template.h"
#include "designs/Template_Wizard.h"
#include "designs/Templates.h"
#include "designs/model/DesignLog.h"

#include "core/Globals.h"
#include "core/Shape_Control.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <unistd.h>

using namespace designtest;

namespace {

const QString ExportedAlert = QStringLiteral("\nTemplate exported successfully.");
const QString SelectAlert = QStringLiteral("\nPlease select template.");
const QString ReplaceQuestion =
    QStringLiteral("Template with this name already exists, Do you want to replace the existing template?");

class TemplatesTest : public DesignCommandsTest {
protected:
  QString userFolder() const { return resourceDir() + QStringLiteral("/Templates/User"); }
  QString builtInFolder() const { return resourceDir() + QStringLiteral("/Templates"); }
  QString user(const QString &file) const { return userFolder() + QLatin1Char('/') + file; }

  // The naming window as a user fills it: the name typed, OK pressed; whatever stays
  // open afterwards is cancelled.
  static std::function<int(QDialog *)> typeName(const QString &name) {
    return [name](QDialog *dialog) {
      dialog->findChild<QLineEdit *>(QStringLiteral("template_name"))->setText(name);
      dialog->findChild<QPushButton *>(QStringLiteral("template_ok_btn"))->click();
      return dialog->isVisible() ? ModalCancel : dialog->result();
    };
  }

  // A design of our own on the front: a shape and a solid fill.
  void buildDesign(const QString &id) {
    addShape(id);
    controller->Front_card_Prop.setCard_fill_chk(true);
    controller->Front_card_Prop.setCard_fill_style(QStringLiteral("S"));
    controller->Front_card_Prop.setCard_fill_clr(QColor(200, 30, 40));
  }

  void saveTemplate(const QString &name) {
    scripted.answerModal(typeName(name));
    scripted.expectAlert();
    click(QStringLiteral("Export_As_Template_btn"));
  }

  // A template pair made directly in `folder`: a small preview and a design log with one
  // shape named `id`.
  void makeTemplate(const QString &folder, const QString &name, const QString &id,
                    const QString &extension = QStringLiteral("png")) {
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage preview(10, 6, QImage::Format_ARGB32);
    preview.fill(Qt::green);
    ASSERT_TRUE(preview.save(folder + QLatin1Char('/') + name + QLatin1Char('.') + extension,
                             extension == QLatin1String("jpg") ? "JPEG" : "PNG"));
    DesignLogContents contents;
    auto shape = cardtest::makeKind(QStringLiteral("Shape_Control"));
    shape->control_ID = id;
    contents.frontObjects = {shape};
    ASSERT_TRUE(saveDesignLog(folder + QLatin1Char('/') + name + QStringLiteral(".dcard"), contents));
  }

  Template_Wizard *browser() {
    if (!Template_Wizard::defaultInstance())
      new Template_Wizard(new Export_Template(controller->ui, controller), controller->ui->window, controller);
    return Template_Wizard::defaultInstance();
  }

  // The browser showing the user's templates, as choosing the category does.
  Template_Wizard *userBrowser() {
    Template_Wizard *wizard = browser();
    wizard->cat_cmbo_bx->setCurrentIndex(1);
    wizard->comboBoxSelectionDidChange(wizard->cat_cmbo_bx);
    return wizard;
  }

  static QStringList names(const Template_Wizard *wizard) {
    QStringList list;
    for (const auto &item : wizard->images)
      list << item->image_Name;
    return list;
  }

  static QStringList files(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
};

}  // namespace

// ---- Saving and opening -------------------------------------------------------------------------

TEST_F(TemplatesTest, SaveAsTemplateWritesThePairListsItWithItsPreviewAndOpensToTheSameDesign) {
  buildDesign(QStringLiteral("saved shape"));
  Project_File_Name.clear();
  saveTemplate(QStringLiteral("Party"));

  // The pair, and nothing else (no temporary file left behind).
  EXPECT_EQ(files(userFolder()), (QStringList{QStringLiteral("Party.dcard"), QStringLiteral("Party.png")}));
  // The open design keeps being untitled.
  EXPECT_EQ(Project_File_Name, QString());
  // The preview shows both sides side by side at two pixels per point; the front's red
  // fill is in its middle.
  const QImage preview(user(QStringLiteral("Party.png")));
  ASSERT_FALSE(preview.isNull());
  const QSizeF canvas = controller->frontCanvasBounds().size();
  EXPECT_EQ(preview.width(), qRound(canvas.width() * 2) * 2 + 24);
  EXPECT_EQ(preview.height(), qRound(canvas.height() * 2));
  const QColor middle = preview.pixelColor(qRound(canvas.width()), qRound(canvas.height()));
  EXPECT_GT(middle.red(), 150);
  EXPECT_LT(middle.green(), 80);

  // The browser lists it among the user's templates, with the three commands shown.
  Template_Wizard *wizard = userBrowser();
  EXPECT_EQ(names(wizard), QStringList{QStringLiteral("Party.png")});
  EXPECT_EQ(Selected_Template_Path, user(QStringLiteral("Party.png")));
  EXPECT_FALSE(wizard->Delete_temp_btn->isHidden());

  // Opening it from a changed design gives the design of the file, untitled.
  const std::optional<DesignLogContents> file = readDesignLogFile(user(QStringLiteral("Party.dcard")));
  ASSERT_TRUE(file);
  session->document()->setList(QLNDocumentGraphicsKey, {});
  // The changed design is not wanted.
  scripted.answerYesNo(false);
  scripted.answerModal([](QDialog *dialog) {
    auto *category = dialog->findChild<QComboBox *>(QStringLiteral("cat_cmbo_bx"));
    category->setCurrentIndex(1);
    emit category->activated(1);
    dialog->findChild<QPushButton *>(QStringLiteral("OK_btn"))->click();
    return dialog->result();
  });
  EXPECT_EQ(controller->Open_Template_Clicked(), 1);
  EXPECT_EQ(Selected_Template_Path, user(QStringLiteral("Party.dcard")));
  expectSameObjects(file->frontObjects, controller->Get_Front_Controls_Array());
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_clr(), QColor(200, 30, 40));
  EXPECT_EQ(Project_File_Name, QString());
}

TEST_F(TemplatesTest, OpeningATemplateOverAChangedDesignAsksToSaveItAsOpenDoes) {
  makeTemplate(userFolder(), QStringLiteral("Party"), QStringLiteral("from the template"));
  const auto chooseParty = [](QDialog *dialog) {
    auto *category = dialog->findChild<QComboBox *>(QStringLiteral("cat_cmbo_bx"));
    category->setCurrentIndex(1);
    emit category->activated(1);
    dialog->findChild<QPushButton *>(QStringLiteral("OK_btn"))->click();
    return dialog->result();
  };
  const auto frontIds = [this] {
    QStringList ids;
    for (const QLNGraphicPtr &graphic : controller->Get_Front_Controls_Array())
      ids << graphic->control_ID;
    return ids;
  };
  const QString question = QStringLiteral("Do you want to save changes before opening document?");
  browser();

  // A design as it was begun: nothing to ask.
  scripted.answerModal(ModalCancel);
  EXPECT_EQ(controller->Open_Template_Clicked(), 0);
  EXPECT_TRUE(scripted.alertTexts().isEmpty());

  // Changed, No: the template replaces it.
  addShape(QStringLiteral("mine"));
  scripted.clear();
  scripted.answerYesNo(false);
  scripted.answerModal(chooseParty);
  EXPECT_EQ(controller->Open_Template_Clicked(), 1);
  EXPECT_EQ(scripted.alertTexts(), QStringList{question});
  EXPECT_EQ(frontIds(), QStringList{QStringLiteral("from the template")});

  // Changed, Yes, the save panel cancelled: said so; no browser, the design stays.
  addShape(QStringLiteral("kept"));
  scripted.clear();
  scripted.answerYesNo(true);
  scripted.answerSaveFile(QString());
  scripted.expectAlert();
  EXPECT_EQ(controller->Open_Template_Clicked(), 0);
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{question, QStringLiteral("\nThe design has not been saved, so no template was opened.")}));
  EXPECT_EQ(frontIds(), (QStringList{QStringLiteral("kept"), QStringLiteral("from the template")}));
  EXPECT_EQ(scripted.pending(), 0u);

  // Yes, saved: the file holds the design as it was, then the template opens untitled.
  const QString saved = dir.filePath(QStringLiteral("Kept.dcard"));
  scripted.clear();
  scripted.answerYesNo(true);
  scripted.answerSaveFile(saved);
  scripted.expectAlert();
  scripted.answerModal(chooseParty);
  EXPECT_EQ(controller->Open_Template_Clicked(), 1);
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{question, QStringLiteral("\nGreeting Card Design Log has been saved successfully.")}));
  const std::optional<DesignLogContents> file = readDesignLogFile(saved);
  ASSERT_TRUE(file);
  ASSERT_EQ(file->frontObjects.size(), 2);
  EXPECT_EQ(file->frontObjects.front()->control_ID, QStringLiteral("kept"));
  EXPECT_EQ(frontIds(), QStringList{QStringLiteral("from the template")});
  EXPECT_EQ(Project_File_Name, QString());
}

TEST_F(TemplatesTest, AnExistingNameAsksBeforeReplacingAndNoKeepsTheDialogAndTheOldPair) {
  buildDesign(QStringLiteral("first"));
  saveTemplate(QStringLiteral("Party"));
  const QByteArray first = readBytes(user(QStringLiteral("Party.dcard")));
  addShape(QStringLiteral("second"));

  // No: the dialog stays open (the script then cancels it) and nothing is written.
  bool stayedOpen = false;
  scripted.answerModal([&](QDialog *dialog) {
    dialog->findChild<QLineEdit *>(QStringLiteral("template_name"))->setText(QStringLiteral("Party"));
    dialog->findChild<QPushButton *>(QStringLiteral("template_ok_btn"))->click();
    stayedOpen = dialog->isVisible();
    return ModalCancel;
  });
  scripted.answerYesNo(false);
  click(QStringLiteral("Export_As_Template_btn"));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(readBytes(user(QStringLiteral("Party.dcard"))), first);

  // Yes replaces both files.
  scripted.answerModal(typeName(QStringLiteral("Party")));
  scripted.answerYesNo(true);
  scripted.expectAlert();
  click(QStringLiteral("Export_As_Template_btn"));
  const std::optional<DesignLogContents> replaced = readDesignLogFile(user(QStringLiteral("Party.dcard")));
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced->frontObjects.size(), 2);
  EXPECT_EQ(scripted.alertTexts().last(), ExportedAlert);
}

TEST_F(TemplatesTest, NamesAreTrimmedOfReservedEndsAndNamesThatLeaveTheFolderAreRefused) {
  buildDesign(QStringLiteral("shape"));
  // Blanks only: asked again.
  QStringList shown;
  scripted.answerModal([&](QDialog *dialog) {
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("template_name"));
    auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("template_ok_btn"));
    name->setText(QStringLiteral("   "));
    ok->click();
    name->setText(QStringLiteral("../escape"));
    ok->click();
    name->setText(QStringLiteral("a/b"));
    ok->click();
    shown << (dialog->isVisible() ? QStringLiteral("open") : QStringLiteral("closed"));
    return ModalCancel;
  });
  scripted.expectAlert();
  scripted.expectAlert();
  scripted.expectAlert();
  click(QStringLiteral("Export_As_Template_btn"));
  EXPECT_EQ(shown, QStringList{QStringLiteral("open")});
  const QStringList alerts = scripted.alertTexts();
  ASSERT_EQ(alerts.size(), 3);
  EXPECT_EQ(alerts[0], QStringLiteral("\nPlease enter template name."));
  EXPECT_TRUE(alerts[1].contains(QStringLiteral("cannot hold")));
  EXPECT_EQ(alerts[2], alerts[1]);
  EXPECT_EQ(files(userFolder()), QStringList());
  EXPECT_FALSE(QFileInfo::exists(builtInFolder() + QStringLiteral("/escape.dcard")));

  // Reserved characters at the ends go, those inside stay.
  saveTemplate(QStringLiteral(" /Party*time?% "));
  EXPECT_EQ(export_template_name, QStringLiteral("Party*time"));
  EXPECT_TRUE(QFileInfo::exists(user(QStringLiteral("Party*time.dcard"))));
}

// The name asked about is the name written, a name the list would not show is refused,
// and a listed name given again is kept as it stands.
TEST_F(TemplatesTest, TheNameAskedAboutIsTheNameWrittenAndEveryNameSavedIsListed) {
  makeTemplate(userFolder(), QStringLiteral("Alpha"), QStringLiteral("alpha"));
  const QByteArray alpha = readBytes(user(QStringLiteral("Alpha.dcard")));
  buildDesign(QStringLiteral("mine"));
  const auto typeAndStay = [&](const QString &name, bool *stayedOpen) {
    scripted.answerModal([name, stayedOpen](QDialog *dialog) {
      typeName(name)(dialog);
      *stayedOpen = dialog->isVisible();
      return ModalCancel;
    });
  };
  bool stayedOpen = false;
  typeAndStay(QStringLiteral("* ?Alpha"), &stayedOpen);
  scripted.answerYesNo(false);
  click(QStringLiteral("Export_As_Template_btn"));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(scripted.alertTexts(), QStringList{ReplaceQuestion});
  EXPECT_EQ(readBytes(user(QStringLiteral("Alpha.dcard"))), alpha);

  scripted.clear();
  typeAndStay(QStringLiteral(" .hidden"), &stayedOpen);
  scripted.expectAlert();
  click(QStringLiteral("Export_As_Template_btn"));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(files(userFolder()), (QStringList{QStringLiteral("Alpha.dcard"), QStringLiteral("Alpha.png")}));

  // A template stored under a name cleaning would change keeps it when given it again.
  makeTemplate(userFolder(), QStringLiteral("Sorry?"), QStringLiteral("sorry"));
  Template_Wizard *wizard = userBrowser();
  Selected_Template_Path = user(QStringLiteral("Sorry?.png"));
  scripted.answerModal(typeName(QStringLiteral("Sorry?")));
  wizard->Rename_Template_Click();
  EXPECT_EQ(names(wizard), (QStringList{QStringLiteral("Alpha.png"), QStringLiteral("Sorry?.png")}));
}

TEST_F(TemplatesTest, AFailedSaveKeepsTheOldPairWholeAndSaysSo) {
  buildDesign(QStringLiteral("old"));
  saveTemplate(QStringLiteral("Party"));
  const QByteArray oldDesign = readBytes(user(QStringLiteral("Party.dcard")));
  ASSERT_FALSE(oldDesign.isEmpty());
  addShape(QStringLiteral("new"));

  // A folder stands where the new preview must go: the design log is written first but
  // put back, so the old one stays; the user is told.
  ASSERT_TRUE(QFile::remove(user(QStringLiteral("Party.png"))));
  ASSERT_TRUE(QDir().mkpath(user(QStringLiteral("Party.png/inside"))));
  scripted.answerModal(typeName(QStringLiteral("Party")));
  scripted.answerYesNo(true);
  scripted.expectAlert();
  click(QStringLiteral("Export_As_Template_btn"));
  EXPECT_TRUE(scripted.alertTexts().last().startsWith(QStringLiteral("\nThe template could not be saved:")));
  EXPECT_EQ(readBytes(user(QStringLiteral("Party.dcard"))), oldDesign);
  EXPECT_EQ(files(userFolder()), QStringList{QStringLiteral("Party.dcard")});
}

TEST_F(TemplatesTest, AReadOnlyTemplateFolderRefusesTheSaveAndKeepsTheOldPair) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root may write anywhere";
  buildDesign(QStringLiteral("old"));
  saveTemplate(QStringLiteral("Party"));
  const QByteArray oldDesign = readBytes(user(QStringLiteral("Party.dcard")));
  const QByteArray oldPreview = readBytes(user(QStringLiteral("Party.png")));
  ASSERT_TRUE(QFile::setPermissions(userFolder(), QFile::ReadOwner | QFile::ExeOwner));
  addShape(QStringLiteral("new"));
  scripted.answerModal(typeName(QStringLiteral("Party")));
  scripted.answerYesNo(true);
  scripted.expectAlert();
  click(QStringLiteral("Export_As_Template_btn"));
  QFile::setPermissions(userFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_TRUE(scripted.alertTexts().last().startsWith(QStringLiteral("\nThe template could not be saved:")));
  EXPECT_EQ(readBytes(user(QStringLiteral("Party.dcard"))), oldDesign);
  EXPECT_EQ(readBytes(user(QStringLiteral("Party.png"))), oldPreview);
}

// ---- Copy, rename, delete ------------------------------------------------------------------------

TEST_F(TemplatesTest, CopyTakesTheFirstFreeCopyNumberForBothFiles) {
  makeTemplate(userFolder(), QStringLiteral("Party"), QStringLiteral("party"));
  makeTemplate(userFolder(), QStringLiteral("Party (copy 1)"), QStringLiteral("copy one"));
  Template_Wizard *wizard = userBrowser();
  ASSERT_EQ(names(wizard).first(), QStringLiteral("Party (copy 1).png"));
  Selected_Template_Path = user(QStringLiteral("Party.png"));

  scripted.answerYesNo(true);
  wizard->Copy_Templatee_Click();
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("Do you want to make copy of this template?"));
  EXPECT_EQ(readBytes(user(QStringLiteral("Party (copy 2).png"))), readBytes(user(QStringLiteral("Party.png"))));
  EXPECT_EQ(readBytes(user(QStringLiteral("Party (copy 2).dcard"))), readBytes(user(QStringLiteral("Party.dcard"))));
  EXPECT_EQ(names(wizard).size(), 3);

  // A copy whose design log is missing leaves no half pair and says so.
  ASSERT_TRUE(QFile::remove(user(QStringLiteral("Party (copy 1).dcard"))));
  Selected_Template_Path = user(QStringLiteral("Party (copy 1).png"));
  scripted.answerYesNo(true);
  scripted.expectAlert();
  wizard->Copy_Templatee_Click();
  EXPECT_TRUE(scripted.alertTexts().last().startsWith(QStringLiteral("\nThe template could not be copied:")));
  EXPECT_FALSE(QFileInfo::exists(user(QStringLiteral("Party (copy 1) (copy 1).png"))));
}

TEST_F(TemplatesTest, RenameMovesBothFilesRefusesUsedNamesAndItsOwnNameChangesNothing) {
  makeTemplate(userFolder(), QStringLiteral("Party"), QStringLiteral("party"));
  makeTemplate(userFolder(), QStringLiteral("Taken"), QStringLiteral("taken"));
  const QByteArray design = readBytes(user(QStringLiteral("Party.dcard")));
  Template_Wizard *wizard = userBrowser();

  // Its own name again: OK closes the dialog, nothing changes.
  Selected_Template_Path = user(QStringLiteral("Party.png"));
  QString passed;
  scripted.answerModal([&](QDialog *dialog) {
    passed = dialog->findChild<QLineEdit *>(QStringLiteral("template_passed"))->text();
    return typeName(QStringLiteral("Party"))(dialog);
  });
  wizard->Rename_Template_Click();
  EXPECT_EQ(passed, QStringLiteral("Party"));
  EXPECT_EQ(files(userFolder()).size(), 4);

  // A used name is refused, the dialog stays open.
  bool stayedOpen = false;
  scripted.answerModal([&](QDialog *dialog) {
    typeName(QStringLiteral("Taken"))(dialog);
    stayedOpen = dialog->isVisible();
    return ModalCancel;
  });
  scripted.expectAlert();
  Selected_Template_Path = user(QStringLiteral("Party.png"));
  wizard->Rename_Template_Click();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nTemplate with this name already exists."));

  // A new name moves both files.
  Selected_Template_Path = user(QStringLiteral("Party.png"));
  scripted.answerModal(typeName(QStringLiteral("Sorry")));
  wizard->Rename_Template_Click();
  EXPECT_EQ(files(userFolder()), (QStringList{QStringLiteral("Sorry.dcard"), QStringLiteral("Sorry.png"),
                                              QStringLiteral("Taken.dcard"), QStringLiteral("Taken.png")}));
  EXPECT_EQ(readBytes(user(QStringLiteral("Sorry.dcard"))), design);
  EXPECT_EQ(names(wizard), (QStringList{QStringLiteral("Sorry.png"), QStringLiteral("Taken.png")}));
}

TEST_F(TemplatesTest, ARenameThatFailsHalfWayPutsTheFirstFileBack) {
  makeTemplate(userFolder(), QStringLiteral("Party"), QStringLiteral("party"));
  const QByteArray design = readBytes(user(QStringLiteral("Party.dcard")));
  // The preview is gone between the listing and the rename: the design log, moved
  // first, goes back under its old name.
  ASSERT_TRUE(QFile::remove(user(QStringLiteral("Party.png"))));
  QString error;
  EXPECT_FALSE(Templates::renameTemplate(user(QStringLiteral("Party.png")), user(QStringLiteral("Sorry")), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(readBytes(user(QStringLiteral("Party.dcard"))), design);
  EXPECT_FALSE(QFileInfo::exists(user(QStringLiteral("Sorry.dcard"))));

  // A JPEG preview renamed to its own base name: the preview takes the PNG name and the
  // design log, already under that name, survives.
  makeTemplate(userFolder(), QStringLiteral("Photo"), QStringLiteral("photo"), QStringLiteral("jpg"));
  const QByteArray photoDesign = readBytes(user(QStringLiteral("Photo.dcard")));
  EXPECT_TRUE(Templates::renameTemplate(user(QStringLiteral("Photo.jpg")), user(QStringLiteral("Photo"))));
  EXPECT_EQ(readBytes(user(QStringLiteral("Photo.dcard"))), photoDesign);
  EXPECT_TRUE(QFileInfo::exists(user(QStringLiteral("Photo.png"))));
  EXPECT_FALSE(QFileInfo::exists(user(QStringLiteral("Photo.jpg"))));
}

TEST_F(TemplatesTest, DeleteRemovesThePairAndTheLastOneLeavesNothingToOpen) {
  makeTemplate(userFolder(), QStringLiteral("Party"), QStringLiteral("party"));
  Template_Wizard *wizard = userBrowser();
  ASSERT_EQ(Selected_Template_Path, user(QStringLiteral("Party.png")));

  // No keeps it.
  scripted.answerYesNo(false);
  wizard->Delete_Template_Click();
  EXPECT_EQ(files(userFolder()).size(), 2);

  scripted.answerYesNo(true);
  wizard->Delete_Template_Click();
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("Do you want to delete this template?"));
  EXPECT_EQ(files(userFolder()), QStringList());
  EXPECT_EQ(wizard->images.size(), 0);
  // OK, Copy and Rename find no template.
  scripted.expectAlert();
  wizard->OK_Click();
  EXPECT_EQ(scripted.alertTexts().last(), SelectAlert);
  scripted.expectAlert();
  wizard->Rename_Template_Click();
  EXPECT_EQ(scripted.alertTexts().last(), SelectAlert);
}

// A click on an empty part of the list takes the selection away: no command then acts
// on the template that was selected before.
TEST_F(TemplatesTest, AClickBesideThePreviewsLeavesNoTemplateForTheCommands) {
  makeTemplate(userFolder(), QStringLiteral("A"), QStringLiteral("a"));
  makeTemplate(userFolder(), QStringLiteral("B"), QStringLiteral("b"));
  const QStringList before = files(userFolder());
  QString clicked;
  QStringList alerts;
  scripted.answerModal([&](QDialog *) {
    Template_Wizard *wizard = Template_Wizard::defaultInstance();
    wizard->cat_cmbo_bx->setCurrentIndex(1);
    ImageBrowser *list = wizard->imageBrowser;
    const auto clickAt = [list](QPoint at) {
      const QPoint global = list->viewport()->mapToGlobal(at);
      QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(list->viewport(), &press);
      QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
      QCoreApplication::sendEvent(list->viewport(), &release);
    };
    clickAt(list->visualRect(list->model()->index(1, 0)).center());
    clicked = Selected_Template_Path;
    clickAt(QPoint(list->viewport()->width() - 4, list->viewport()->height() - 4));
    const qsizetype shown = scripted.alertTexts().size();
    for (QPushButton *command : {wizard->Delete_temp_btn, wizard->Copy_temp_btn, wizard->Rename_temp_btn,
                                 wizard->OK_btn}) {
      scripted.expectAlert();
      command->click();
    }
    alerts = scripted.alertTexts().mid(shown);
    wizard->CancelClick();
    return ModalCancel;
  });
  browser();
  EXPECT_EQ(controller->Open_Template_Clicked(), 0);
  EXPECT_EQ(clicked, user(QStringLiteral("B.png")));
  EXPECT_EQ(alerts, QStringList(4, SelectAlert));
  EXPECT_EQ(files(userFolder()), before);
}

TEST_F(TemplatesTest, BuiltInTemplatesAreListedFirstAndCannotBeChanged) {
  makeTemplate(builtInFolder(), QStringLiteral("Shipped"), QStringLiteral("shipped"));
  makeTemplate(userFolder(), QStringLiteral("Mine"), QStringLiteral("mine"));

  // Opening shows the built-in ones, the first selected, without the user commands;
  // Cancel leaves no choice.
  bool hidden = false;
  QStringList listed;
  scripted.answerModal([&](QDialog *) {
    Template_Wizard *wizard = Template_Wizard::defaultInstance();
    listed = names(wizard);
    hidden = wizard->Delete_temp_btn->isHidden() && wizard->Copy_temp_btn->isHidden() &&
             wizard->Rename_temp_btn->isHidden();
    EXPECT_EQ(Selected_Template_Path, builtInFolder() + QStringLiteral("/Shipped.png"));
    // To the user's and back to the built-in ones.
    wizard->cat_cmbo_bx->setCurrentIndex(1);
    wizard->comboBoxSelectionDidChange(wizard->cat_cmbo_bx);
    EXPECT_FALSE(wizard->Delete_temp_btn->isHidden());
    wizard->cat_cmbo_bx->setCurrentIndex(0);
    wizard->comboBoxSelectionDidChange(wizard->cat_cmbo_bx);
    EXPECT_TRUE(wizard->Delete_temp_btn->isHidden());
    wizard->CancelClick();
    return ModalCancel;
  });
  browser();
  EXPECT_EQ(controller->Open_Template_Clicked(), 0);
  EXPECT_EQ(listed, QStringList{QStringLiteral("Shipped.png")});
  EXPECT_TRUE(hidden);
  EXPECT_EQ(Selected_Template_Path, QString());
  EXPECT_TRUE(QFileInfo::exists(builtInFolder() + QStringLiteral("/Shipped.dcard")));
}

// "My Templates" without a template of the user's (no folder, or an empty one) lists
// nothing and selects nothing: Delete, Copy and Rename find no template, and none of
// them ever reaches a built-in one, even one the selection still names.
TEST_F(TemplatesTest, AnEmptyUserListSelectsNothingAndTheUserCommandsNeverReachABuiltInTemplate) {
  makeTemplate(builtInFolder(), QStringLiteral("Shipped"), QStringLiteral("shipped"));
  const QString shipped = builtInFolder() + QStringLiteral("/Shipped.png");
  const QStringList builtInFiles = files(builtInFolder());
  ASSERT_TRUE(QDir(userFolder()).removeRecursively());

  QList<QStringList> listed;
  QStringList selected;
  int alertsBefore = 0;
  scripted.answerModal([&](QDialog *) {
    Template_Wizard *wizard = Template_Wizard::defaultInstance();
    alertsBefore = int(scripted.alertTexts().size());
    const auto tryEveryCommand = [&] {
      for (QPushButton *command : {wizard->Delete_temp_btn, wizard->Copy_temp_btn, wizard->Rename_temp_btn}) {
        scripted.expectAlert();
        command->click();
      }
    };
    for (const bool folderMade : {false, true}) {
      if (folderMade) {
        EXPECT_TRUE(QDir().mkpath(userFolder()));
      }
      wizard->cat_cmbo_bx->setCurrentIndex(0);
      wizard->cat_cmbo_bx->setCurrentIndex(1);
      listed << names(wizard);
      selected << Selected_Template_Path;
      tryEveryCommand();
    }
    Selected_Template_Path = shipped;
    tryEveryCommand();
    wizard->CancelClick();
    return ModalCancel;
  });
  browser();
  EXPECT_EQ(controller->Open_Template_Clicked(), 0);
  EXPECT_EQ(listed, QList<QStringList>({QStringList(), QStringList()}));
  EXPECT_EQ(selected, QStringList({QString(), QString()}));
  EXPECT_EQ(scripted.alertTexts().mid(alertsBefore), QStringList(9, SelectAlert));
  EXPECT_EQ(files(builtInFolder()), builtInFiles);
  EXPECT_EQ(files(userFolder()), QStringList());
}

TEST_F(TemplatesTest, TheShippedTemplatesOpenWithTheProgramsOwnReader) {
  const QDir shipped(QStringLiteral(AMENDS_SOURCE_DIR "/resources/Templates"));
  const QStringList previews = shipped.entryList({QStringLiteral("*.png")}, QDir::Files);
  ASSERT_GE(previews.size(), 3);
  for (const QString &preview : previews) {
    SCOPED_TRACE(preview.toStdString());
    QString error;
    const std::optional<DesignLogContents> design =
        readDesignLogFile(Templates::designPathForPreview(shipped.filePath(preview)), &error);
    ASSERT_TRUE(design) << error.toStdString();
    EXPECT_FALSE(design->frontObjects.isEmpty());
    EXPECT_FALSE(QImage(shipped.filePath(preview)).isNull());
  }
}
