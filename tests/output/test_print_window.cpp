// The print window in a main window session: the Print command without any printer
// queue, the fitting of rows and columns in the fields, the refusals and their messages,
// the preview with its sheet limit and repaints, a batch printed card by card, and the
// sheet thumbnail.

#include "tests/output/print_fixture.h"
#include "tests/output/unheld_barcode.h"
#include "tests/common/ModalResponder.h"

#include "output/PrintPreviewThumbnail.h"

#include "mainwindow/DrawWindow.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

using namespace printtest;

namespace {

// A4 portrait without unprintable margins, and the PDF entry chosen.
void a4WithoutMargins(Print_Wnd *w) {
  w->Printer_ComboBox->setCurrentIndex(w->Printer_ComboBox->findText(Print_Wnd::PdfPrinterName));
  printInfo->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  w->Set_values_From_Printer();
  w->Check_Max_Cell_Value();
}

}  // namespace

TEST_F(PrintWindowTest, ThePrintCommandOpensWithoutAPrinterQueueAndPrintsToAPdfFile) {
  setSides({box(QRectF(0, 0, 200, 100), Qt::red)});
  EXPECT_TRUE(controller->ui->Print_btn->isEnabled());
  const QString file = out.filePath(QStringLiteral("cards.pdf"));
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    EXPECT_NE(w, nullptr);
    if (!w)
      return ModalCancel;
    EXPECT_EQ(w->Printer_ComboBox->itemText(w->Printer_ComboBox->count() - 1), Print_Wnd::PdfPrinterName);
    // The card's size in mm, one card, the front side.
    EXPECT_NEAR(w->width_Text->value(), 70.56, 0.01);
    EXPECT_NEAR(w->height_Text->value(), 35.28, 0.01);
    EXPECT_EQ(w->Total_Text->value(), 1);
    EXPECT_EQ(Print_Card_Side, QStringLiteral("F"));
    EXPECT_TRUE(w->matrix_card_side[1]->isChecked());
    a4WithoutMargins(w);
    EXPECT_EQ(w->Paper_id->text(), QStringLiteral("A4"));
    EXPECT_EQ(w->Size_id->text(), QStringLiteral("209.90 x 297.04")) << "A4 is 595 x 842 points";
    EXPECT_EQ(w->l_mar_id->text(), QStringLiteral("0.00"));
    w->Row_Text->setValue(2);
    w->Col_Text->setValue(2);
    EXPECT_EQ(w->Total_Text->value(), 4) << "without a batch, one full sheet";
    w->Print_btn->click();
    w->Cancel_btn->click();
    return ModalCancel;
  });
  scripted.answerSaveFile(file);
  controller->ui->Print_btn->click();
  EXPECT_TRUE(scripted.alertTexts().isEmpty()) << scripted.alertTexts().join(QLatin1Char('|')).toStdString();
  ASSERT_EQ(pdfPageCount(file), 1);
  const QImage page = pdfPage(file, 1);
  EXPECT_TRUE(sameBox(colourBox(page, Qt::red), QRectF(0, 0, 400, 200)));
  EXPECT_EQ(colourCount(page, Qt::red), 400 * 200) << "four cards side by side, no gap";
  EXPECT_EQ(barcode_counter, 4);
}

TEST_F(PrintWindowTest, RowsAndColumnsAreFittedToThePaperInTheFields) {
  setSides({box(QRectF(0, 0, 200, 100), Qt::red)});
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    a4WithoutMargins(w);
    w->width_Text->setValue(85.725);
    w->Col_Text->setValue(10);
    EXPECT_EQ(w->Col_Text->value(), 2) << "floor(595 / 243)";
    w->Row_Text->setValue(20);
    EXPECT_EQ(w->Row_Text->value(), 8) << "floor(842 / 100)";
    EXPECT_EQ(Print_Row, 8);
    EXPECT_EQ(w->Total_Text->value(), 16);
    // A gap takes its room: (595 + 20) / (243 + 20) columns.
    w->horz_mar_Text->setValue(PrintLayout::Points_to_MM_Convert(20));
    EXPECT_EQ(w->Col_Text->value(), 2);
    w->horz_mar_Text->setValue(PrintLayout::Points_to_MM_Convert(120));
    EXPECT_EQ(w->Col_Text->value(), 1);
    w->horz_mar_Text->setValue(0);

    // Auto-centre: the gaps and the positions are off, the gap is computed.
    w->Col_Text->setValue(2);
    w->Auto_Center_chk_bx->click();
    EXPECT_TRUE(auto_center_flag);
    EXPECT_FALSE(w->horz_mar_Text->isEnabled());
    EXPECT_FALSE(w->mid_center_btn->isEnabled());
    EXPECT_NEAR(horz_mar, (Print_Wnd::paperSize().width() - 2 * 243) / 3, 0.01);
    w->Auto_Center_chk_bx->click();
    EXPECT_TRUE(w->mid_center_btn->isEnabled());

    // Both sides side by side double the label's width before fitting.
    w->matrix_card_side[0]->click();
    EXPECT_EQ(Print_Card_Side, QStringLiteral("BOTH"));
    EXPECT_TRUE(w->print_alignment->isEnabled());
    w->print_alignment->setCurrentIndex(1);
    EXPECT_EQ(Print_Card_Algn, QStringLiteral("L"));
    EXPECT_NEAR(label_width, 486, 0.05);
    EXPECT_EQ(w->Col_Text->value(), 1);
    w->print_alignment->setCurrentIndex(0);
    EXPECT_NEAR(label_hight, 200, 0.05) << "stacked: the height doubles";
    EXPECT_EQ(w->Row_Text->value(), 4);

    // A position button selects its position alone.
    w->bot_rite_btn->click();
    EXPECT_EQ(label_align_val, 9);
    EXPECT_TRUE(w->bot_rite_btn->isChecked());
    EXPECT_FALSE(w->top_left_btn->isChecked());
    return ModalCancel;
  });
  controller->Print_Button();

  // Reopening resets the layout but keeps the paper.
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    EXPECT_EQ(w->Row_Text->value(), 1);
    EXPECT_EQ(w->Col_Text->value(), 1);
    EXPECT_EQ(label_align_val, 1);
    EXPECT_EQ(Print_Card_Side, QStringLiteral("F"));
    EXPECT_EQ(horz_mar, 0.0f);
    EXPECT_EQ(w->Paper_id->text(), QStringLiteral("A4"));
    return ModalCancel;
  });
  controller->Print_Button();
}

TEST_F(PrintWindowTest, RefusalsAndQuestionsComeWithTheirMessages) {
  setSides({box(QRectF(0, 0, 200, 100), Qt::red)});
  const QString file = out.filePath(QStringLiteral("big.pdf"));
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    a4WithoutMargins(w);
    // Nothing to print.
    w->Total_Text->setValue(0);
    w->Print_btn->click();
    // A card of no width.
    w->Total_Text->setValue(1);
    w->width_Text->setValue(0);
    w->Print_btn->click();
    // A card larger than the paper: asked, and No prints nothing.
    w->width_Text->setValue(300);
    w->Print_btn->click();
    // Yes prints it anyway.
    w->Print_btn->click();
    // A printer queue that is gone.
    w->Printer_ComboBox->insertItem(0, QStringLiteral("No-Such-Queue-For-Amends"));
    w->Printer_ComboBox->setCurrentIndex(0);
    w->width_Text->setValue(50);
    w->Print_btn->click();
    return ModalCancel;
  });
  scripted.expectAlert();
  scripted.expectAlert();
  scripted.answerYesNo(false);
  scripted.answerYesNo(true);
  scripted.answerSaveFile(file);
  scripted.expectAlert();
  controller->Print_Button();
  const QStringList alerts = scripted.alertTexts();
  ASSERT_EQ(alerts.size(), 5);
  EXPECT_EQ(alerts[0], QStringLiteral("\nThere is no barcode to print."));
  EXPECT_EQ(alerts[1], QStringLiteral("\n") + PrintLayout::BadLabelSizeMessage);
  EXPECT_EQ(alerts[2], QStringLiteral("'Card Size' is bigger than selected 'Paper Size' or drawn label may be out of "
                                      "margin area.\n\nDo you want to continue?"));
  EXPECT_EQ(alerts[3], alerts[2]);
  EXPECT_EQ(alerts[4], QStringLiteral("\nNo printer found."));
  EXPECT_EQ(pdfPageCount(file), 1) << "only the print answered with Yes was made";
}

TEST_F(PrintWindowTest, PreviewShowsAtMostFiftySheetsAndRepaintsTheSameCards) {
  setSides({box(QRectF(0, 0, 200, 100), Qt::red)});
  int previews = 0;
  auto previewScript = [&](int expectedPages) {
    return [&, expectedPages](QDialog *dialog) {
      ++previews;
      auto *widget = dialog->findChild<QPrintPreviewWidget *>();
      EXPECT_NE(widget, nullptr);
      if (!widget)
        return ModalCancel;
      EXPECT_EQ(widget->pageCount(), expectedPages);
      widget->setCurrentPage(expectedPages);
      widget->resize(400, 500);
      const QImage before = widget->grab().toImage();
      widget->updatePreview();
      widget->updatePreview();
      EXPECT_EQ(widget->pageCount(), expectedPages);
      widget->setCurrentPage(expectedPages);
      EXPECT_TRUE(widget->grab().toImage() == before) << "a repaint shows the same sheet";
      return ModalCancel;
    };
  };
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    a4WithoutMargins(w);
    w->Total_Text->setValue(3);
    w->Preview_btn->click();
    w->Total_Text->setValue(101);
    w->Preview_btn->click();
    return ModalCancel;
  });
  scripted.answerModal(previewScript(3));
  scripted.expectAlert();
  scripted.answerModal(previewScript(50));
  controller->Print_Button();
  EXPECT_EQ(previews, 2);
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\n") + PrintLayout::PreviewLimitMessage});
}

TEST_F(PrintWindowTest, ABatchPrintsOneCardPerRowOnWorkerThreadsAndLeavesTheDesignAsItWas) {
  const QStringList colours = {colourFile(frontColour(0)), colourFile(frontColour(1)), colourFile(frontColour(2))};
  writeSeries(QStringLiteral("Colours"), colours);
  auto image = wholeCardImage(QStringLiteral("Colours"));
  setSides({image});
  Card_Front_Or_Back = 1;
  const QString file = out.filePath(QStringLiteral("batch.pdf"));
  const QString unbound = out.filePath(QStringLiteral("design.pdf"));
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    EXPECT_TRUE(w->print_with_batch_chk->isEnabled());
    EXPECT_TRUE(w->print_with_batch_chk->isChecked());
    EXPECT_FALSE(w->print_with_excel_chk->isEnabled());
    EXPECT_EQ(w->Total_Text->value(), 3);
    a4WithoutMargins(w);
    w->Row_Text->setValue(2);
    w->Col_Text->setValue(2);
    EXPECT_EQ(w->Total_Text->value(), 3) << "with a batch the Total keeps the card count";
    w->Print_btn->click();
    // Unticking the series box prints the design as it is, once.
    w->print_with_batch_chk->click();
    EXPECT_EQ(w->Total_Text->value(), 1);
    w->Print_btn->click();
    return ModalCancel;
  });
  scripted.answerSaveFile(file);
  scripted.answerSaveFile(unbound);
  controller->Print_Button();
  EXPECT_TRUE(scripted.alertTexts().isEmpty()) << scripted.alertTexts().join(QLatin1Char('|')).toStdString();
  ASSERT_EQ(pdfPageCount(file), 1);
  const QImage page = pdfPage(file, 1);
  EXPECT_TRUE(sameBox(colourBox(page, frontColour(0)), QRectF(0, 0, 200, 100)));
  EXPECT_TRUE(sameBox(colourBox(page, frontColour(1)), QRectF(200, 0, 200, 100)));
  EXPECT_TRUE(sameBox(colourBox(page, frontColour(2)), QRectF(0, 100, 200, 100)));
  EXPECT_EQ(colourCount(page, Qt::white, QRect(202, 102, 196, 96)), 196 * 96) << "no fourth card";
  // The design shows what it showed before (no picture) and the side being edited is
  // the one before.
  EXPECT_TRUE(image->_contents.isNull());
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_FALSE(Card_Value_In_Process.load());
  const QImage design = pdfPage(unbound, 1);
  EXPECT_EQ(colourCount(design, frontColour(1)), 0);
  EXPECT_EQ(colourCount(design, frontColour(2)), 0);
}

// A row value the barcode cannot hold: every card is printed, and the end of the run
// names the card with the value.
TEST_F(PrintWindowTest, ACardWhoseBarcodeCannotHoldItsValueIsPrintedAndNamed) {
  unheldbarcode::writeCodes();
  setSides({unheldbarcode::boundCode128()});
  const QString file = out.filePath(QStringLiteral("codes.pdf"));
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    a4WithoutMargins(w);
    scripted.expectAlert();
    w->Print_btn->click();
    return ModalCancel;
  });
  scripted.answerSaveFile(file);
  controller->Print_Button();
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\n") + unheldbarcode::Note});
  EXPECT_EQ(pdfPageCount(file), 3);
}

// The preview window's own Print button prints as the print window's does: every card,
// not only the sheets a preview shows, the file asked for through the program's panel,
// and the card whose barcode could not hold its value named at the end.
TEST_F(PrintWindowTest, PrintingFromThePreviewPrintsEveryCardAndNamesAnUnheldBarcode) {
  unheldbarcode::writeCodes();
  setSides({unheldbarcode::boundCode128()});
  const QString file = out.filePath(QStringLiteral("from preview.pdf"));
  // A dialog of the toolkit's own, shown outside the program's panels, fails the test
  // instead of waiting for a person.
  ModalResponder stray([](QWidget *modal) {
    ADD_FAILURE() << "a window outside the program's panels: " << modal->metaObject()->className();
    if (auto *dialog = qobject_cast<QDialog *>(modal))
      dialog->reject();
  });
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    a4WithoutMargins(w);
    w->Preview_btn->click();
    return ModalCancel;
  });
  scripted.answerModal([&](QDialog *dialog) {
    QAction *print = nullptr;
    for (QAction *action : dialog->findChildren<QAction *>())
      if (action->text() == QStringLiteral("Print"))
        print = action;
    EXPECT_NE(print, nullptr);
    if (print)
      print->trigger();
    return ModalOK;
  });
  scripted.answerSaveFile(file);
  scripted.expectAlert();
  controller->Print_Button();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\n") + unheldbarcode::Note});
  EXPECT_EQ(pdfPageCount(file), 3);
}

TEST_F(PrintWindowTest, EveryControlHasANameATipAndThePositionsTheirPictures) {
  scripted.answerModal([&](QDialog *dialog) {
    int checked = 0;
    for (QWidget *widget : dialog->findChildren<QWidget *>()) {
      const bool control = qobject_cast<QAbstractButton *>(widget) || qobject_cast<QComboBox *>(widget) ||
                           qobject_cast<QAbstractSpinBox *>(widget);
      if (!control || widget->parent()->inherits("QAbstractSpinBox"))
        continue;
      ++checked;
      EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
      EXPECT_FALSE(widget->toolTip().isEmpty()) << widget->objectName().toStdString();
    }
    EXPECT_GE(checked, 30);
    // The nine positions show their pictures, the selected one its own.
    Print_Wnd *w = Print_Wnd::defaultInstance();
    const QList<QToolButton *> positions = {w->top_left_btn, w->top_center_btn, w->top_rite_btn,
                                            w->mid_left_btn, w->mid_center_btn, w->mid_rite_btn,
                                            w->bot_left_btn, w->bot_center_btn, w->bot_rite_btn};
    for (int value = 1; value <= 9; ++value) {
      positions[value - 1]->click();
      for (int other = 1; other <= 9; ++other) {
        const QImage shown = positions[other - 1]->icon().pixmap(24, 24).toImage();
        EXPECT_FALSE(shown.isNull()) << "position " << other;
        // The selected picture draws its block in blue.
        bool blue = false;
        for (int y = 0; y < shown.height() && !blue; ++y)
          for (int x = 0; x < shown.width() && !blue; ++x)
            blue = shown.pixelColor(x, y).blue() > 180 && shown.pixelColor(x, y).red() < 80;
        EXPECT_EQ(blue, other == value) << "position " << other << " with " << value << " selected";
      }
    }
    return ModalCancel;
  });
  controller->Print_Button();
}

// ---- The sheet thumbnail --------------------------------------------------------------------

class SheetThumbnail : public ::testing::Test {
protected:
  void SetUp() override {
    Print_Row = 2;
    Print_Col = 3;
    label_width = 100;
    label_hight = 50;
    Left_Mar = Rite_Mar = Top_Mar = Bot_Mar = 0;
    horz_mar = vert_mar = 0;
    auto_center_flag = false;
    label_align_val = 1;
    Print_Card_Side = QStringLiteral("F");
    Print_Card_Algn = QStringLiteral("U");
    Show_margin_rect = true;
    Total_Label = 2;
    view.setPaperSize(QSizeF(400, 300));
    view.setFrontImageSize(QSizeF(100, 50));
  }
  void TearDown() override {
    Print_Row = Print_Col = 1;
    Print_Card_Side = QStringLiteral("BOTH");
    Total_Label = 1;
  }
  // Pixels in `area` that are neither white nor grey (red text).
  static int reddish(const QImage &image, const QRect &area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor c = image.pixelColor(x, y);
        n += c.red() - c.green() > 60 ? 1 : 0;
      }
    return n;
  }
  static int inked(const QImage &image, const QRect &area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        n += image.pixelColor(x, y) != QColor(Qt::white) ? 1 : 0;
    return n;
  }
  Sample_Preview view;
};

TEST_F(SheetThumbnail, EveryCellIsCaptionedAndFramedWhateverTheTotal) {
  const QImage image = view.imageRepresentation();
  ASSERT_EQ(image.size(), QSize(400, 300));
  for (int cell = 0; cell < 6; ++cell) {
    const QRect inner(cell % 3 * 100 + 20, cell / 3 * 50 + 15, 60, 20);
    EXPECT_GT(inked(image, inner), 20) << "a caption in cell " << cell << " (Total is 2)";
    EXPECT_EQ(reddish(image, inner), 0) << "grey, not red";
    // Frames: the cell's left edge is inked halfway down.
    EXPECT_GT(inked(image, QRect(cell % 3 * 100, cell / 3 * 50 + 20, 1, 10)), 5) << cell;
  }
  EXPECT_EQ(inked(image, QRect(310, 0, 90, 300)), 0) << "nothing beyond the grid";
  EXPECT_EQ(inked(image, QRect(0, 110, 400, 190)), 0);

  // Margins box off: the captions without frames.
  Show_margin_rect = false;
  const QImage bare = view.imageRepresentation();
  EXPECT_EQ(inked(bare, QRect(100, 20, 1, 10)), 0);
  EXPECT_GT(inked(bare, QRect(120, 15, 60, 20)), 20);

  // The captions differ by number and side: "Card 1" and "Card 2", "Back 1".
  const QImage card1 = bare.copy(0, 0, 100, 50);
  const QImage card2 = bare.copy(100, 0, 100, 50);
  EXPECT_FALSE(card1 == card2);
  Print_Card_Side = QStringLiteral("B");
  EXPECT_FALSE(view.imageRepresentation().copy(0, 0, 100, 50) == card1);

  // Without a front image every cell reads "Invalid Data" in red.
  view.setFrontImageSize(QSizeF());
  const QImage invalid = view.imageRepresentation();
  for (int cell = 0; cell < 6; ++cell)
    EXPECT_GT(reddish(invalid, QRect(cell % 3 * 100 + 5, cell / 3 * 50 + 15, 90, 20)), 10) << cell;

  // Without paper there is nothing to picture.
  view.setPaperSize(QSizeF());
  EXPECT_TRUE(view.imageRepresentation().isNull());
}

TEST_F(SheetThumbnail, BothSidesSideBySideShowCardAndBackInTheirHalves) {
  Print_Card_Side = QStringLiteral("BOTH");
  Print_Card_Algn = QStringLiteral("L");
  label_width = 200;
  Print_Col = 2;
  Show_margin_rect = false;
  const QImage image = view.imageRepresentation();
  for (int cell = 0; cell < 4; ++cell) {
    const int x = cell % 2 * 200;
    const int y = cell / 2 * 50;
    EXPECT_GT(inked(image, QRect(x + 20, y + 15, 60, 20)), 20) << "Card in the left half of " << cell;
    EXPECT_GT(inked(image, QRect(x + 120, y + 15, 60, 20)), 20) << "Back in the right half of " << cell;
  }
  // Left and right captions differ ("Card 1" / "Back 1").
  EXPECT_FALSE(image.copy(0, 0, 100, 50) == image.copy(100, 0, 100, 50));
}

// The paper of a size: the exact size in either orientation, whatever the digits after
// the point; nothing for a size that is no standard paper, even when its numbers appear
// inside a standard size's text.
TEST(PaperNameOfASize, ExactSizesInEitherOrientationAndNothingElse) {
  const auto name = [](const char *w, const char *h) {
    return Print_Wnd::Find_Papaer_Name_From_Size(QLatin1String(w), QLatin1String(h));
  };
  EXPECT_EQ(name("210.00", "297.00"), QStringLiteral("A4"));
  EXPECT_EQ(name("297", "210"), QStringLiteral("A4"));
  EXPECT_EQ(name("297.00", "420.00"), QStringLiteral("A3"));
  EXPECT_EQ(name("420.0", "297.0"), QStringLiteral("A3"));
  EXPECT_EQ(name("148.00", "210.00"), QStringLiteral("A5"));
  EXPECT_EQ(name("216.00", "279.00"), QStringLiteral("US Letter"));
  EXPECT_EQ(name("215.90", "279.40"), QStringLiteral("Letter"));
  EXPECT_EQ(name(" 279.4 ", "215.9"), QStringLiteral("Letter"));
  EXPECT_EQ(name("216.00", "356.00"), QStringLiteral("US Legal"));
  EXPECT_EQ(name("105.00", "241.00"), QStringLiteral("Envelope #10"));
  EXPECT_EQ(name("148.00", "100.00"), QStringLiteral("Postcard"));

  // Pieces of a standard size's text are no size of it.
  EXPECT_EQ(name("10.00", "20.00"), QString());    // inside "110.00 x 220.00"
  EXPECT_EQ(name("0.00", "0.00"), QString());
  EXPECT_EQ(name("210.00", "210.00"), QString());  // a number of A4 and of A5, neither size
  EXPECT_EQ(name("297.00", "297.00"), QString());
  EXPECT_EQ(name("210.00", "297.50"), QString());
  EXPECT_EQ(name("100.00", "100.00"), QString());
  EXPECT_EQ(name("", "297.00"), QString());
  EXPECT_EQ(name("A4", "A4"), QString());
  EXPECT_EQ(name("nan", "297"), QString());
}

TEST_F(PrintWindowTest, ACardLargerThanItsLabelCellIsPrintedOnlyAfterAYes) {
  setSides({box(QRectF(0, 0, 200, 100), Qt::red)});
  const QString file = out.filePath(QStringLiteral("cards.pdf"));
  const QString question = QStringLiteral(
      "The card is 70.6 x 35.3 mm, larger than its label cell of 50.0 x 35.3 mm: it will overlap the next labels, "
      "and the top row will not be printed whole.\n\nDo you want to print anyway?");
  scripted.answerModal([&](QDialog *) {
    Print_Wnd *w = Print_Wnd::defaultInstance();
    EXPECT_NE(w, nullptr);
    if (!w)
      return ModalCancel;
    a4WithoutMargins(w);
    w->width_Text->setValue(50);
    // No: back in the print window, nothing asked for a file and nothing written.
    w->Print_btn->click();
    EXPECT_FALSE(QFile::exists(file));
    // The preview shows the card as it will print, without asking.
    w->Preview_btn->click();
    // Yes: the file panel, and the sheet is written.
    w->Print_btn->click();
    // A cell as large as the card asks nothing.
    w->width_Text->setValue(70.56);
    w->Print_btn->click();
    return ModalCancel;
  });
  scripted.answerYesNo(false);
  scripted.answerModal([](QDialog *) { return ModalCancel; });
  scripted.answerYesNo(true);
  scripted.answerSaveFile(file);
  scripted.answerSaveFile(QString());
  controller->Print_Button();
  EXPECT_EQ(scripted.alertTexts(), QStringList({question, question}));
  EXPECT_EQ(pdfPageCount(file), 1);
}
