// The Export command as a user runs it: the export sheet, the save panel of a single
// export, the folder panel of a batch, the progress window with Stop, and the result
// window with what it names and opens.

#include "tests/output/export_fixture.h"
#include "tests/output/unheld_barcode.h"

#include "output/Open_Export_Log.h"
#include "output/Send_Modeless.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "platform/QtUiServices.h"
#include "tests/common/ModalResponder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace exporttest;

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

class ExportCommandTest : public ExportWindowTest {
protected:
  void SetUp() override {
    ExportWindowTest::SetUp();
    ui = controller->ui;
  }
  // The sheet answered with a script that picks the options.
  void answerSheet(std::function<void()> choose, int code = ModalOK) {
    scripted.answerModal([this, choose, code](QDialog *dialog) {
      EXPECT_EQ(dialog, ui->ExportWindow);
      if (choose)
        choose();
      return code;
    });
  }
  // The result window answered; `seen` gets its check box title, path and message.
  void answerResult(QStringList *seen, bool clickOk = false) {
    scripted.answerModal([this, seen, clickOk](QDialog *dialog) {
      EXPECT_EQ(dialog, ui->Open_Export_Files);
      *seen = {ui->_open_log_chk->text(), ui->_open_log_path->text(), ui->_open_log_message->text()};
      if (clickOk)
        ui->_open_log_ok_btn->click();
      return ModalOK;
    });
  }
  DrawWindow *ui = nullptr;
};

TEST_F(ExportCommandTest, ASingleCardGoesToThePathOfTheSavePanelAtTheChosenResolution) {
  setSides({box(QRectF(0, 0, 200, 100), Red)}, {box(QRectF(0, 0, 200, 100), Blue)});
  EXPECT_TRUE(ui->Export_btn->isEnabled());
  EXPECT_FALSE(ui->Export_btn->toolTip().contains(QStringLiteral("not available")));

  answerSheet([this] {
    // The sheet as every export starts: front side, 72 dpi, the first type, no batch.
    EXPECT_EQ(ui->matrix_export_card_side->selectedRow(), 1);
    EXPECT_EQ(ui->saveDPIText->currentText(), QStringLiteral("72"));
    EXPECT_EQ(ui->fileFormatPopup->currentText(), QStringLiteral("TIFF"));
    EXPECT_FALSE(ui->export_combined_image_chk->isEnabled());
    EXPECT_FALSE(ui->Export_with_batch_chk->isEnabled());
    EXPECT_FALSE(ui->Export_with_batch_chk->isChecked());
    ui->saveDPIText->setCurrentText(QStringLiteral("300"));
  });
  scripted.answerSaveFile(root.filePath(QStringLiteral("mine")));
  QStringList result;
  answerResult(&result);
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
  const std::vector<ScriptedUi::Request> requests = scripted.requests();
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests.at(1).kind, ScriptedUi::Kind::SaveFile);
  EXPECT_EQ(requests.at(1).detail, QStringLiteral("TIFF")) << "the panel is limited to the chosen type";

  const QString path = root.filePath(QStringLiteral("mine.TIFF"));
  EXPECT_EQ(result, (QStringList{QStringLiteral("Open exported file."), path,
                                 QStringLiteral("Card has been exported successfully.")}));
  ASSERT_TRUE(hasPngSignature(path));
  const QImage image = readPng(path);
  EXPECT_EQ(image.size(), QSize(834, 417));  // ceil(300 * points / 72)
  EXPECT_EQ(statedDpiOf(image), 300);
  EXPECT_EQ(image.pixelColor(417, 200), Red);
  EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("mine_Back.TIFF"))));

  // Cancelling the sheet or the panel writes nothing and shows nothing more.
  scripted.clear();
  answerSheet(nullptr, ModalCancel);
  ui->Export_btn->click();
  answerSheet(nullptr);
  scripted.answerSaveFile(QString());
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.requests().size(), 3u);

  // A resolution that is no number is refused before anything is asked.
  answerSheet([this] { ui->saveDPIText->setCurrentText(QStringLiteral("lots")); });
  scripted.expectAlert();
  ui->Export_btn->click();
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nPlease enter a resolution from 1 to 2400 dots per inch."));
}

TEST_F(ExportCommandTest, TheBackSideTakesTheBackNameAndBothSidesCanShareOneImage) {
  setSides({box(QRectF(0, 0, 200, 100), Red)}, {box(QRectF(0, 0, 200, 100), Blue)});
  Card_Front_Or_Back = 1;

  // The back alone: "_Back" before the extension, nothing under the typed name.
  answerSheet([this] {
    ui->matrix_export_card_side->cellAtRow(2)->click();
    EXPECT_EQ(export_card_side, QStringLiteral("B"));
    ui->matrix_file_type->cellAtRow(1)->click();
    EXPECT_EQ(ui->fileFormatPopup->currentText(), QStringLiteral("PNG"));
  });
  scripted.answerSaveFile(root.filePath(QStringLiteral("typed.PNG")));
  QStringList result;
  answerResult(&result);
  ui->Export_btn->click();
  EXPECT_EQ(result.value(1), root.filePath(QStringLiteral("typed_Back.PNG")));
  EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("typed.PNG"))));
  EXPECT_EQ(readPng(root.filePath(QStringLiteral("typed_Back.PNG"))).pixelColor(100, 50), Blue);
  EXPECT_EQ(Card_Front_Or_Back.load(), 1) << "the side is put back";

  // Both sides in two files, then in one combined image: front on top.
  answerSheet([this] {
    ui->matrix_export_card_side->cellAtRow(0)->click();
    ui->fileFormatPopup->setCurrentIndex(1);
  });
  scripted.answerSaveFile(root.filePath(QStringLiteral("two.png")));
  answerResult(&result);
  ui->Export_btn->click();
  EXPECT_EQ(readPng(root.filePath(QStringLiteral("two.png"))).pixelColor(100, 50), Red);
  EXPECT_EQ(readPng(root.filePath(QStringLiteral("two_Back.png"))).pixelColor(100, 50), Blue);
  EXPECT_EQ(result.value(1), root.filePath(QStringLiteral("two.png")));

  answerSheet([this] {
    ui->matrix_export_card_side->cellAtRow(0)->click();
    EXPECT_TRUE(ui->export_combined_image_chk->isEnabled());
    ui->export_combined_image_chk->setChecked(true);
    ui->fileFormatPopup->setCurrentIndex(1);
  });
  scripted.answerSaveFile(root.filePath(QStringLiteral("one.png")));
  answerResult(&result);
  ui->Export_btn->click();
  const QImage both = readPng(root.filePath(QStringLiteral("one.png")));
  ASSERT_EQ(both.size(), QSize(200, 200));
  EXPECT_EQ(both.pixelColor(100, 50), Red);
  EXPECT_EQ(both.pixelColor(100, 150), Blue);
  EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("one_Back.png"))));

  // Ticked, then back to the front: the box stays ticked but disabled, and is ignored.
  answerSheet([this] {
    ui->matrix_export_card_side->cellAtRow(0)->click();
    ui->export_combined_image_chk->setChecked(true);
    ui->matrix_export_card_side->cellAtRow(1)->click();
    EXPECT_TRUE(ui->export_combined_image_chk->isChecked());
    EXPECT_FALSE(ui->export_combined_image_chk->isEnabled());
    ui->fileFormatPopup->setCurrentIndex(1);
  });
  scripted.answerSaveFile(root.filePath(QStringLiteral("front.png")));
  answerResult(&result);
  ui->Export_btn->click();
  EXPECT_EQ(readPng(root.filePath(QStringLiteral("front.png"))).size(), QSize(200, 100));
}

TEST_F(ExportCommandTest, AFailedWriteIsShownAndNotReportedAsExported) {
  setSides({box(QRectF(0, 0, 200, 100), Red)});
  // A folder stands where the file should go.
  ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("taken.png"))));
  answerSheet([this] { ui->fileFormatPopup->setCurrentIndex(1); });
  scripted.answerSaveFile(root.filePath(QStringLiteral("taken.png")));
  scripted.expectAlert();
  scripted.expectAlert();
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u) << "no result window after a failure";
  EXPECT_EQ(scripted.alertTexts().value(0), QStringLiteral("\n") + root.filePath(QStringLiteral("taken.png")));
  EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("taken.png"))).isDir());
}

TEST_F(ExportCommandTest, EachSideIsTriedAndToldAndAnExistingBackFileIsReplacedOnlyWhenAsked) {
  setSides({box(QRectF(0, 0, 200, 100), Red)}, {box(QRectF(0, 0, 200, 100), Blue)});
  const auto bothSidesAsPng = [this] {
    answerSheet([this] {
      ui->matrix_export_card_side->cellAtRow(0)->click();
      ui->fileFormatPopup->setCurrentIndex(1);
    });
  };
  // The back's name is taken by a folder: its failure is told, the front is still written,
  // and no result window claims the card was exported.
  ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("pair_Back.png"))));
  bothSidesAsPng();
  scripted.answerSaveFile(root.filePath(QStringLiteral("pair.png")));
  scripted.expectAlert();
  scripted.expectAlert();
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts().value(0), QStringLiteral("\n") + root.filePath(QStringLiteral("pair_Back.png")));
  EXPECT_EQ(readPng(root.filePath(QStringLiteral("pair.png"))).pixelColor(100, 50), Red);

  // A file under the back's name: the save panel asked only about the typed name, so the
  // back's is asked here; No keeps it and writes nothing, Yes replaces it.
  QFile old(root.filePath(QStringLiteral("card_Back.png")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("the user's own picture");
  old.close();
  const QString question = QStringLiteral("\"card_Back.png\" already exists. Do you want to replace it?");
  scripted.clear();
  bothSidesAsPng();
  scripted.answerSaveFile(root.filePath(QStringLiteral("card.png")));
  scripted.answerYesNo(false);
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(), QStringList{question});
  EXPECT_EQ(old.size(), qint64(22));
  EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("card.png"))));

  bothSidesAsPng();
  scripted.answerSaveFile(root.filePath(QStringLiteral("card.png")));
  scripted.answerYesNo(true);
  QStringList result;
  answerResult(&result);
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(readPng(root.filePath(QStringLiteral("card_Back.png"))).pixelColor(100, 50), Blue);
  EXPECT_EQ(result.value(1), root.filePath(QStringLiteral("card.png")));
}

// The back alone is written under the typed name with "_Back" added: through the real
// save panel, the only question is about that file, never about the typed name's file,
// which the export leaves as it was.
TEST_F(ExportCommandTest, TheBackAloneAsksOnlyAboutTheFileItWrites) {
  setSides({box(QRectF(0, 0, 200, 100), Red)}, {box(QRectF(0, 0, 200, 100), Blue)});
  // The type's title is the extension.
  for (const QString &name : {QStringLiteral("card.PNG"), QStringLiteral("card_Back.PNG")}) {
    QFile old(root.filePath(name));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the user's own picture");
  }
  QtUiServices real;
  UiServices::setInstance(&real);
  QStringList questions;
  const auto answer = [&](QWidget *modal) {
    if (modal == ui->ExportWindow) {
      ui->matrix_export_card_side->cellAtRow(2)->click();
      ui->fileFormatPopup->setCurrentIndex(1);
      ui->exportOkay_btn->click();
    } else if (auto *panel = qobject_cast<QFileDialog *>(modal)) {
      auto *name = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(root.filePath(QStringLiteral("card")));
      QMetaObject::invokeMethod(panel, "accept", Qt::QueuedConnection);
    } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
      questions << box->text();
      for (QAbstractButton *button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::YesRole)
          button->click();
    } else if (modal == ui->Open_Export_Files) {
      ui->_open_log_chk->setChecked(false);
      ui->_open_log_ok_btn->click();
    } else {
      ADD_FAILURE() << "unexpected window " << modal->metaObject()->className();
      modal->close();
    }
  };
  {
    ModalSteps steps(std::vector<std::function<void(QWidget *)>>(6, answer));
    ui->Export_btn->click();
    EXPECT_EQ(steps.taken(), 4u) << "the sheet, the panel, one question, the result";
  }
  UiServices::setInstance(&scripted);
  EXPECT_EQ(questions, QStringList{QStringLiteral("\"card_Back.PNG\" already exists. Do you want to replace it?")});
  EXPECT_EQ(QFileInfo(root.filePath(QStringLiteral("card.PNG"))).size(), qint64(22));
  EXPECT_EQ(readPng(root.filePath(QStringLiteral("card_Back.PNG"))).pixelColor(100, 50), Blue);
}

TEST_F(ExportCommandTest, ACombinedImageThatCannotBeDrawnIsTold) {
  // A large card at 2400 dpi: more pixels than an image may have.
  controller->SetDocumentCanvasSize(QSizeF(400, 300));
  setSides({box(QRectF(0, 0, 400, 300), Red)}, {box(QRectF(0, 0, 400, 300), Blue)});
  answerSheet([this] {
    ui->matrix_export_card_side->cellAtRow(0)->click();
    ui->export_combined_image_chk->setChecked(true);
    ui->fileFormatPopup->setCurrentIndex(1);
    ui->saveDPIText->setCurrentText(QStringLiteral("2400"));
  });
  scripted.answerSaveFile(root.filePath(QStringLiteral("big.png")));
  scripted.expectAlert();
  scripted.expectAlert();
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(), (QStringList{QStringLiteral("\n") + root.filePath(QStringLiteral("big.png")),
                                                QStringLiteral("\nThe combined image of both sides could not be drawn.")}));
  EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("big.png"))));
}

// ---- Batches ----------------------------------------------------------------------------------------

class BatchExportWorkerTest : public ExportCommandTest {
protected:
  void SetUp() override {
    ExportCommandTest::SetUp();
    writeSeries(QStringLiteral("Guests"), {"Ann", "Bob", "Cy"});
    front = text(QStringLiteral("front design"), QStringLiteral("Guests"));
    back = text(QStringLiteral("back design"), QStringLiteral("Guests"));
    // The first object of a list is drawn on top.
    setSides({front, box(QRectF(0, 0, 200, 100), Red)}, {back, box(QRectF(0, 0, 200, 100), Blue)});
  }
  QString batchFolder() const { return root.filePath(QStringLiteral("out/Amends Greeting Cards")); }
  std::shared_ptr<QLNText> front;
  std::shared_ptr<QLNText> back;
};

TEST_F(BatchExportWorkerTest, OneCardPerRowGoesIntoTheBatchFolderWithBothSides) {
  Card_Front_Or_Back = 1;
  answerSheet([this] {
    EXPECT_TRUE(ui->Export_with_batch_chk->isEnabled());
    EXPECT_TRUE(ui->Export_with_batch_chk->isChecked());
    EXPECT_FALSE(ui->Export_with_excel_chk->isEnabled());
    ui->matrix_export_card_side->cellAtRow(0)->click();
    // The type toggled as an assistive tool toggles it (no click), the resolution chosen
    // from its list: both reach every card of the batch.
    ui->matrix_file_type->cellAtRow(1)->toggle();
    EXPECT_EQ(ui->fileFormatPopup->currentText(), QStringLiteral("PNG"));
    ui->saveDPIText->setCurrentIndex(ui->saveDPIText->findText(QStringLiteral("150")));
  });
  scripted.answerFolder(root.filePath(QStringLiteral("out")));
  ui->Export_btn->click();
  // The command returns at once; the progress window shows the run.
  Send_Modeless *progress = Send_Modeless::defaultInstance();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->_tot_msg_cnt()->text(), QStringLiteral("3"));
  EXPECT_EQ(list_count.load(), 3);
  EXPECT_TRUE(Card_Value_In_Process.load());

  QStringList result;
  answerResult(&result, /*clickOk=*/true);
  scripted.answerDesktop(true);
  ASSERT_TRUE(waitForExport());
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(result, (QStringList{QStringLiteral("Open containing folder."), batchFolder(),
                                 QStringLiteral("Card has been exported successfully.")}));
  // OK opened the folder.
  const std::vector<ScriptedUi::Request> requests = scripted.requests();
  EXPECT_EQ(requests.back().kind, ScriptedUi::Kind::Desktop);
  EXPECT_EQ(requests.back().text, QUrl::fromLocalFile(batchFolder()).toString());

  EXPECT_EQ(entriesOf(batchFolder()), (QStringList{"Card_1.PNG", "Card_1_Back.PNG", "Card_2.PNG", "Card_2_Back.PNG",
                                                   "Card_3.PNG", "Card_3_Back.PNG"}));
  QList<QImage> fronts;
  for (const QString &name : entriesOf(batchFolder())) {
    const QString path = QDir(batchFolder()).filePath(name);
    ASSERT_TRUE(hasPngSignature(path)) << name.toStdString();
    const QImage image = readPng(path);
    EXPECT_EQ(image.size(), QSize(417, 209));  // ceil(150 * points / 72)
    EXPECT_EQ(statedDpiOf(image), 150);
    EXPECT_EQ(image.pixelColor(396, 188), name.contains(QStringLiteral("Back")) ? Blue : Red) << name.toStdString();
    if (!name.contains(QStringLiteral("Back")))
      fronts << image;
  }
  EXPECT_NE(fronts.at(0), fronts.at(1)) << "each card carries its own row";
  EXPECT_NE(fronts.at(1), fronts.at(2));

  // The end of the run: progress hidden and full, the design as the run found it, the
  // side back.
  EXPECT_FALSE(progress->window()->isVisible());
  EXPECT_FALSE(progress->isTimerRunning());
  EXPECT_EQ(progress->_curr_msg_cnt()->text(), QStringLiteral("3 / 3 "));
  EXPECT_EQ(progress->_Curr_Progress()->value(), 3);
  EXPECT_FALSE(Card_Value_In_Process.load());
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(front->Text_contents()->string, QStringLiteral("front design"));
  EXPECT_EQ(back->Text_contents()->string, QStringLiteral("back design"));
}

TEST_F(BatchExportWorkerTest, CardsThatCannotBeWrittenAreCountedInTheResultWindow) {
  // Card 2's file cannot be written: a folder stands in its place.
  ASSERT_TRUE(QDir().mkpath(batchFolder() + QStringLiteral("/Card_2.TIFF")));
  answerSheet(nullptr);
  scripted.answerFolder(root.filePath(QStringLiteral("out")));
  QStringList result;
  answerResult(&result);
  ui->Export_btn->click();
  ASSERT_TRUE(waitForExport());
  EXPECT_EQ(scripted.pending(), 0u) << "one result window, no message box per card";
  EXPECT_EQ(result.value(0), QStringLiteral("Open containing folder."));
  EXPECT_TRUE(result.value(2).startsWith(QStringLiteral(
      "2 of 3 cards have been exported.\n\nSome cards could not be made:\nCard 2: ")))
      << result.value(2).toStdString();
  EXPECT_TRUE(hasPngSignature(batchFolder() + QStringLiteral("/Card_1.TIFF")));
  EXPECT_TRUE(hasPngSignature(batchFolder() + QStringLiteral("/Card_3.TIFF")));
}

// A row value the barcode cannot hold still makes its card, without the barcode, and
// the result window names the card with the value.
TEST_F(BatchExportWorkerTest, ACardWhoseBarcodeCannotHoldItsValueIsNamedInTheResultWindow) {
  unheldbarcode::writeCodes();
  setSides({front, unheldbarcode::boundCode128()});
  answerSheet(nullptr);
  scripted.answerFolder(root.filePath(QStringLiteral("out")));
  QStringList result;
  answerResult(&result);
  ui->Export_btn->click();
  ASSERT_TRUE(waitForExport());
  EXPECT_EQ(result.value(2), QStringLiteral("Card has been exported successfully.\n\n") + unheldbarcode::Note);
  EXPECT_EQ(entriesOf(batchFolder()), (QStringList{"Card_1.TIFF", "Card_2.TIFF", "Card_3.TIFF"}));
}

TEST_F(BatchExportWorkerTest, AFolderThatCannotBeMadeStopsBeforeAnythingIsWritten) {
  QFile blocker(root.filePath(QStringLiteral("out")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  answerSheet(nullptr);
  scripted.answerFolder(blocker.fileName());
  scripted.expectAlert();
  ui->Export_btn->click();
  EXPECT_FALSE(controller->isExportRunning());
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\n") + CardExport::unable_saving_Msg});
  EXPECT_FALSE(Card_Value_In_Process.load());
  EXPECT_FALSE(ui->Send_Models_Window->isVisible());
}

TEST_F(BatchExportWorkerTest, AnUntickedBatchBoxExportsTheDesignAsItIs) {
  answerSheet([this] { ui->Export_with_batch_chk->setChecked(false); });
  scripted.answerSaveFile(root.filePath(QStringLiteral("plain.png")));
  QStringList result;
  answerResult(&result);
  ui->Export_btn->click();
  EXPECT_EQ(scripted.pending(), 0u) << "a save panel, not a folder panel";
  EXPECT_EQ(Use_Data_Sheet_Values.load(), 0);
  EXPECT_FALSE(controller->isExportRunning());
  EXPECT_TRUE(hasPngSignature(root.filePath(QStringLiteral("plain.png.TIFF"))));
  EXPECT_EQ(front->Text_contents()->string, QStringLiteral("front design"));
}

TEST_F(BatchExportWorkerTest, StopInTheProgressWindowEndsTheRunWithWholeCardsFromTheFirstOn) {
  QStringList many;
  for (int i = 0; i < 120; ++i)
    many << QStringLiteral("Guest %1").arg(i);
  writeSeries(QStringLiteral("Guests"), many);
  answerSheet([this] { ui->saveDPIText->setCurrentText(QStringLiteral("300")); });
  scripted.answerFolder(root.filePath(QStringLiteral("out")));
  ui->Export_btn->click();
  ASSERT_TRUE(controller->isExportRunning());
  EXPECT_TRUE(ui->Send_Models_Window->isVisible());
  EXPECT_TRUE(Send_Modeless::defaultInstance()->isTimerRunning());

  // Escape asks as Stop does and leaves the window up, its Stop in reach.
  scripted.answerYesNo(false);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(ui->Send_Models_Window, &escape);
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_TRUE(ui->Send_Models_Window->isVisible());
  EXPECT_TRUE(ui->_stop_btn->isEnabled());
  EXPECT_FALSE(Stop_SMS_Sending_Now.load());

  // Answered No, the run goes on; Yes stops it.
  scripted.answerYesNo(false);
  ui->_stop_btn->click();
  EXPECT_FALSE(Stop_SMS_Sending_Now.load());
  scripted.answerYesNo(true);
  ui->_stop_btn->click();
  EXPECT_TRUE(Stop_SMS_Sending_Now.load());
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("Are you sure you want to continue?"));

  QStringList result;
  answerResult(&result);
  ASSERT_TRUE(waitForExport());
  EXPECT_EQ(result.value(1), batchFolder()) << "the result window comes as after a whole run";
  const QStringList names = entriesOf(batchFolder());
  EXPECT_LT(names.size(), 120);
  for (int card = 1; card <= names.size(); ++card) {
    const QString path = batchFolder() + QStringLiteral("/Card_%1.TIFF").arg(card);
    ASSERT_TRUE(names.contains(QFileInfo(path).fileName())) << "no gap before card " << card;
    EXPECT_EQ(readPng(path).size(), QSize(834, 417)) << card;
  }
  EXPECT_FALSE(Card_Value_In_Process.load());
}

// ---- The shared progress window and the result window ---------------------------------------------

TEST_F(ExportCommandTest, TheProgressWindowShowsTheCountersAtEachTick) {
  Send_Modeless *progress = Send_Modeless::defaultInstance();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->window(), ui->Send_Models_Window);
  progress->beginRun(5, QStringLiteral("Card"));
  EXPECT_EQ(progress->_curr_msg_cnt()->text(), QStringLiteral("0 / 5 Card"));
  EXPECT_EQ(progress->_tot_msg_cnt()->text(), QStringLiteral("5"));
  EXPECT_EQ(progress->_Curr_Progress()->maximum(), 5);
  EXPECT_TRUE(progress->_stop_btn()->isEnabled());
  EXPECT_FALSE(progress->_stop_btn()->accessibleName().isEmpty());
  EXPECT_FALSE(progress->_stop_btn()->toolTip().isEmpty());
  curr_barcode_count = 1;
  progress->startTimerThread();
  QElapsedTimer clock;
  clock.start();
  while (progress->_curr_msg_cnt()->text() == QStringLiteral("0 / 5 Card") && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(progress->_curr_msg_cnt()->text(), QStringLiteral("1 / 5 "));
  EXPECT_EQ(curr_msg_count, QStringLiteral("1 / 5 "));
  EXPECT_EQ(progress->_Curr_Progress()->value(), 1);
  progress->stopTimerThread();
  EXPECT_FALSE(progress->isTimerRunning());
  // E-mail counts without a word; its pause text has its own label.
  progress->beginRun(2);
  progress->setPauseText(QStringLiteral("Pausing the process for 3 Seconds."));
  EXPECT_EQ(progress->_curr_msg_cnt()->text(), QStringLiteral("0 / 2"));
  EXPECT_EQ(progress->pause_label()->text(), QStringLiteral("Pausing the process for 3 Seconds."));
}

TEST_F(ExportCommandTest, TheResultWindowOpensTheFileOnlyWhenAskedAndIsTickedEachTime) {
  const QString path = root.filePath(QStringLiteral("card.png"));
  ASSERT_TRUE(QImage(4, 4, QImage::Format_ARGB32).save(path, "PNG"));
  Export_File_Path = path;
  Export_File_Message = QStringLiteral("done");
  scripted.answerModal([this](QDialog *) {
    EXPECT_EQ(ui->_open_log_chk->text(), QStringLiteral("Open exported file."));
    ui->_open_log_ok_btn->click();
    EXPECT_FALSE(ui->Open_Export_Files->isVisible());
    return ModalOK;
  });
  scripted.answerDesktop(true);
  controller->Open_Export_File_Box();
  ASSERT_EQ(scripted.requests().back().kind, ScriptedUi::Kind::Desktop);
  EXPECT_EQ(scripted.requests().back().text, QUrl::fromLocalFile(path).toString());

  // Unticked: nothing opens, and the box is ticked again for next time.
  scripted.clear();
  scripted.answerModal([this](QDialog *) {
    ui->_open_log_chk->setChecked(false);
    ui->_open_log_ok_btn->click();
    return ModalOK;
  });
  controller->Open_Export_File_Box();
  EXPECT_EQ(scripted.requests().size(), 1u);
  EXPECT_TRUE(ui->_open_log_chk->isChecked());
  // Closed without OK: ticked again too.
  scripted.answerModal([this](QDialog *) {
    ui->_open_log_chk->setChecked(false);
    Open_Export_Log::forController(*controller)->CancelPressed();
    return ModalCancel;
  });
  controller->Open_Export_File_Box();
  EXPECT_TRUE(ui->_open_log_chk->isChecked());
  EXPECT_EQ(scripted.requests().size(), 2u);
}

}  // namespace
