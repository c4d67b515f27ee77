// The barcode designer window: its controls and lists, loading an object, the modal run
// with OK and Cancel, validation, the QR minimum size, production from the controls,
// and workers rendering from snapshots while the window changes.

#include "barcode/Barcode_Gen.h"
#include "barcode/encoding/BRCCode128Barcode.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "tests/common/decoder_support.h"
#include "test_barcode_images_support.h"
#include "tests/common/TestSupport.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::shared_ptr<QLNBarcode> qrObject() {
  auto object = std::make_shared<QLNBarcode>();
  object->linear_or_2d = 1;
  object->barcode_font_index = int(barcodeSymbologyNames().indexOf("QR Code"));
  object->two_d_font_val = "hello";
  object->linear_font_val = "LINEAR";
  object->header_val = "Top";
  object->footer_val = "Bottom";
  object->qr_size_val = 80;
  object->qr_version_index = 2;
  object->qr_ec_index = 1;
  object->linear_height_val = 2;
  object->linear_width_val = 10;
  object->pdf_hgt_val = 50;
  object->pdf_wdt_val = 150;
  object->pdf_ec_val = 3;
  object->dm_module_val = 2;
  object->hdr_margin_val = object->ftr_margin_val = object->val_margin_val = 0.2f;
  object->TB_marging_val = object->LR_margin_val = 0.3f;
  object->value_font_val = FontSpec("Arial-BoldMT", 12);
  object->barcode_clr_val = QColor(10, 20, 30);
  object->barcode_back_clr_val = Qt::white;
  object->barcode_hdr_clr_val = object->barcode_ftr_clr_val = object->barcode_val_clr_val = Qt::black;
  object->align_hdr_index = 0;
  object->align_ftr_index = 2;
  return object;
}

}  // namespace

TEST(BarcodeDesigner, LoadStepFillsListsDefaultsAndNamesEveryControl) {
  Barcode_Gen gen;
  gen.awakeFromNib();
  EXPECT_EQ(Barcode_Gen_Var, &gen);
  EXPECT_EQ(Barcode_Gen::defaultInstance(), &gen);
  ASSERT_EQ(gen.qr_version_ComboBox->count(), 41);
  EXPECT_EQ(gen.qr_version_ComboBox->itemText(0), "Auto");
  EXPECT_EQ(gen.qr_version_ComboBox->itemText(40), "V40");
  ASSERT_EQ(gen.dm_format_ComboBox->count(), 31);
  EXPECT_EQ(gen.dm_format_ComboBox->itemText(1), "C10X10");
  EXPECT_EQ(gen.dm_format_ComboBox->itemText(24), "C144X144");
  EXPECT_EQ(gen.dm_format_ComboBox->itemText(25), "C8X18");
  EXPECT_EQ(gen.dm_format_ComboBox->itemText(30), "C16X48");
  EXPECT_EQ(gen.dm_encoding_ComboBox->count(), 5);
  EXPECT_EQ(gen.sett_tab->count(), 3);
  EXPECT_EQ(Measument_Unit_Is, 1);
  EXPECT_EQ(gen.barHeightLabel->text(), "Bar Height (cm):");
  EXPECT_EQ(gen.margin_box->title(), "Margins (cm)");
  EXPECT_EQ(gen.barWidthLabel->text(), "Bar Width (Mils):");
  EXPECT_EQ(gen.dataText->text(), "0123");
  EXPECT_EQ(gen.HeaderText->text(), "HEADER");
  EXPECT_EQ(gen.HeightText_2D->text(), "60");
  EXPECT_EQ(gen.align_hdr_combo->currentText(), "Center");
  EXPECT_EQ(gen.value_font_value->text(), "Times New Roman ( 10.00 )");
  EXPECT_EQ(gen.window()->palette().color(QPalette::Window), QColor(241, 244, 250));
  // The first preview is drawn.
  EXPECT_FALSE(gen.previewImage().isNull());
  EXPECT_TRUE(gen.barcode_error_label->isHidden());
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);

  for (const char *name : {"barcodeTypePopup", "dataText", "dataText_2D", "HeaderText", "FooterText",
                           "hideHeaderCheckbox", "captionCheckbox", "showinTopCheckbox", "kerning_value_Checkbox",
                           "HeightStepper", "widthText", "HeightText_2D", "qr_ec_lvl_ComboBox", "pdf_HeightStepper_2D",
                           "Pdf_widthText_2D", "dm_moduleStepper_2D", "hdr_mar_Text", "LR_mar_Stepper", "bar_back_clr",
                           "barcode_clr", "DPI_ComboBox", "dpi_Text", "Batch_Series", "image_scroll",
                           "barcode_error_label", "sett_tab", "linear_sett_box", "dm_2d_sett_box"})
    EXPECT_TRUE(gen.window()->findChild<QWidget *>(name)) << name;
  // A value shows once, in its field: the stepper beside it has only its arrows.
  for (QAbstractSpinBox *stepper : {static_cast<QAbstractSpinBox *>(gen.HeightStepper),
                                    static_cast<QAbstractSpinBox *>(gen.pdf_row_Stepper)}) {
    ASSERT_TRUE(stepper->findChild<QLineEdit *>());
    EXPECT_TRUE(stepper->findChild<QLineEdit *>()->isHidden()) << stepper->objectName().toStdString();
    EXPECT_LT(stepper->maximumWidth(), 40) << stepper->objectName().toStdString();
  }
  // The resolution tab is out of the tab view but still owned.
  EXPECT_TRUE(gen.dpi_tab_item->findChild<QWidget *>("dpi_Stepper"));
  QList<QWidget *> controls;
  for (QWidget *w : gen.window()->findChildren<QWidget *>() + gen.dpi_tab_item->findChildren<QWidget *>())
    if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractButton *>(w) ||
        qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QPlainTextEdit *>(w))
      if (!w->objectName().startsWith("qt_") && !qobject_cast<QAbstractSpinBox *>(w->parentWidget()) &&
          !qobject_cast<QComboBox *>(w->parentWidget()) && !qobject_cast<QTabBar *>(w->parentWidget()))
        controls << w;
  EXPECT_GT(controls.size(), 60);
  for (QWidget *w : controls) {
    EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
  }
}

TEST(BarcodeDesigner, OpeningAnObjectLoadsItAndOkStoresTheSettings) {
  ScopedScriptedUi ui;
  installTestFailureHandler();
  Barcode_Gen gen;
  gen.awakeFromNib();
  auto object = qrObject();
  Barcode_output_image = CardPicture();
  ui.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(dialog, gen.window());
    EXPECT_EQ(gen.sett_tab->count(), 4);  // the resolution tab in two-dimensional mode
    EXPECT_TRUE(gen.two_d_sett_box->isVisible());
    EXPECT_FALSE(gen.dm_2d_sett_box->isVisible());
    EXPECT_FALSE(gen.linear_sett_box->isVisible());
    EXPECT_EQ(gen.barHeightLabel->text(), "Bar Height :");
    EXPECT_EQ(gen.dataText_2D->toPlainText(), "hello");
    EXPECT_EQ(gen.HeightText_2D->text(), "80");
    EXPECT_EQ(gen.qr_version_ComboBox->currentText(), "V2");
    EXPECT_EQ(gen.value_font_value->text(), "Arial-BoldMT ( 12.00 )");
    EXPECT_EQ(gen.align_ftr_combo->currentText(), "Right");
    EXPECT_FALSE(gen.image_2d.isNull());
    EXPECT_FALSE(gen.previewImage().isNull());
    gen.dataText_2D->setPlainText("changed");
    gen.LR_mar_Stepper->setValue(0.5);
    gen.ok_btn->click();
    EXPECT_FALSE(dialog->isVisible());
    return dialog->result();
  });
  EXPECT_EQ(gen.Open_Wnd(object.get()), object.get());
  EXPECT_EQ(Not_Draw_Only_Prop_Change, 0);
  EXPECT_EQ(object->two_d_font_val, "changed");
  EXPECT_EQ(object->linear_font_val, "LINEAR");
  EXPECT_FLOAT_EQ(object->LR_margin_val, 0.5f);
  EXPECT_EQ(object->qr_size_val, 80);
  EXPECT_EQ(object->qr_version_index, 2);
  EXPECT_EQ(object->align_ftr_index, 2);
  EXPECT_EQ(object->barcode_clr_val, QColor(10, 20, 30));
  EXPECT_EQ(object->value_font_val, FontSpec("Arial-BoldMT", 12));
  EXPECT_FALSE(Barcode_output_image.isNull());

  // A linear object hides the resolution tab again; Cancel leaves the object alone.
  auto linear = qrObject();
  linear->linear_or_2d = 0;
  linear->barcode_font_index = 0;
  ui.answerModal([&](QDialog *) {
    EXPECT_EQ(gen.sett_tab->count(), 3);
    EXPECT_TRUE(gen.linear_sett_box->isVisible());
    gen.dataText->setText("OTHER");
    gen.cancel_btn->click();
    return ModalCancel;
  });
  gen.Open_Wnd(linear.get());
  EXPECT_EQ(linear->linear_font_val, "LINEAR");
}

TEST(BarcodeDesigner, OkWithAValueOutsideAsciiStaysOpenWithABlankPreviewAndNoMessage) {
  ScopedScriptedUi ui;
  installTestFailureHandler();
  Barcode_Gen gen;
  gen.awakeFromNib();
  auto object = qrObject();
  object->linear_or_2d = 0;
  object->barcode_font_index = int(barcodeSymbologyNames().indexOf("Code 128"));
  ui.answerModal([&](QDialog *dialog) {
    gen.dataText->setText(QStringLiteral("Caf\u00e9"));
    gen.ok_btn->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(gen.previewImage().isNull());
    EXPECT_FALSE(gen.barcode_error_label->isHidden());
    // The error label goes once a valid value is drawn.
    gen.dataText->setText("CAFE");
    gen.encode_btn->click();
    EXPECT_FALSE(gen.previewImage().isNull());
    EXPECT_TRUE(gen.barcode_error_label->isHidden());
    gen.dataText->setText("");
    gen.ok_btn->click();
    EXPECT_TRUE(dialog->isVisible());
    gen.cancel_btn->click();
    return ModalCancel;
  });
  gen.Open_Wnd(object.get());
  EXPECT_EQ(object->linear_font_val, "LINEAR");
  EXPECT_TRUE(ui.requests().size() == 1);
}

TEST(BarcodeDesigner, SeriesButtonAsksForASeriesFirst) {
  ScopedScriptedUi ui;
  installTestFailureHandler();
  QString shown;
  Barcode_Gen::viewSeries() = [&](const QString &name) { shown = name; };
  {
    Barcode_Gen gen;
    gen.awakeFromNib();
    EXPECT_TRUE(gen.view_series_btn->isEnabled());
    ui.expectAlert();
    gen.view_series_btn->click();
    EXPECT_EQ(ui.alertTexts(), QStringList{"\nPlease select the series."});
    EXPECT_TRUE(shown.isEmpty());
    // A listed name is shown as it stands: "  Guests " is another series than "Guests".
    gen.Batch_Series->addItem("  Guests ");
    gen.Batch_Series->setCurrentIndex(0);
    gen.view_series_btn->click();
    EXPECT_EQ(shown, "  Guests ");
    // A name of spaces alone is no series.
    gen.Batch_Series->addItem("   ");
    gen.Batch_Series->setCurrentIndex(1);
    shown.clear();
    ui.expectAlert();
    gen.view_series_btn->click();
    EXPECT_TRUE(shown.isEmpty());
  }
  Barcode_Gen::viewSeries() = nullptr;
}

TEST(BarcodeDesigner, QrMinimumSizeFollowsTheVersion) {
  Barcode_Gen gen;
  gen.awakeFromNib();
  gen.Check_And_Set_QR_size_Acc_Version(0);
  EXPECT_EQ(gen.HeightStepper_2D->minimum(), 21);
  gen.Check_And_Set_QR_size_Acc_Version(1);
  EXPECT_EQ(gen.HeightStepper_2D->minimum(), 21);
  gen.Check_And_Set_QR_size_Acc_Version(2);
  EXPECT_EQ(gen.HeightStepper_2D->minimum(), 25);
  EXPECT_EQ(gen.HeightText_2D->text(), "60");
  gen.Check_And_Set_QR_size_Acc_Version(40);
  EXPECT_EQ(gen.HeightText_2D->text(), "177");
  EXPECT_EQ(gen.HeightStepper_2D->value(), 177);
}

TEST(BarcodeDesigner, ProductionReadsTheControls) {
  Barcode_Gen gen;
  gen.awakeFromNib();
  gen.barcodeTypePopup->setCurrentText("Code 128");
  auto barcode = gen.Generate_Barcode_Variable(0, "123456", "H", "F");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(static_cast<BRCCode128Barcode *>(barcode.get())->codeSet(), BRCCode128Barcode::CodeSetC);
  gen.barcodeTypePopup->setCurrentText("Code 128 SET B");
  barcode = gen.Generate_Barcode_Variable(0, "123456", "H", "F");
  EXPECT_EQ(static_cast<BRCCode128Barcode *>(barcode.get())->codeSet(), BRCCode128Barcode::CodeSetB);

  gen.widthText->setText("10");
  EXPECT_FLOAT_EQ(gen.Generate_Barcode_Variable(0, "1", "H", "F")->barWidth(), 0.72f);
  gen.widthText->setEnabled(false);
  EXPECT_FLOAT_EQ(gen.Generate_Barcode_Variable(0, "1", "H", "F")->barWidth(), 0.936f);

  gen.hideHeaderCheckbox->setChecked(true);
  EXPECT_FALSE(gen.Generate_Barcode_Variable(0, "1", "HEADER", "F")->printsHeader());

  // A disabled value-text box prints no value and leaves the value-on-top box alone.
  gen.showinTopCheckbox->setEnabled(false);
  gen.captionCheckbox->setEnabled(false);
  EXPECT_EQ(gen.Get_Print_State(), 0);
  EXPECT_FALSE(gen.showinTopCheckbox->isEnabled());
  EXPECT_FALSE(gen.Generate_Barcode_Variable(0, "1", "H", "F")->printsCaption());

  // While controls are filled by code nothing is built.
  gen.goButtonActionPerformed();
  const auto shown = gen.testBarcode;
  const CardPicture preview = gen.previewImage();
  Not_Draw_Only_Prop_Change = 1;
  EXPECT_EQ(gen.Generate_Barcode_Variable(1, "999", "H", "F"), shown);
  EXPECT_EQ(gen.Generate_Barcode_Variable(1, "998", "H", "F"), shown);
  Not_Draw_Only_Prop_Change = 0;
  EXPECT_EQ(gen.previewImage().size(), preview.size());

  // A QR build leaves its symbol in image_2d and returns nothing.
  gen.barcodeTypePopup->setCurrentText("QR Code");
  EXPECT_EQ(gen.liner_or_2D_font, 1);
  EXPECT_FALSE(gen.Generate_Barcode_Variable(0, "QR", "H", "F"));
  EXPECT_FALSE(gen.image_2d.isNull());
  EXPECT_EQ(Barcode_module_size, 1);
  // Batch output: an empty row gets no image, not the symbol of the row before.
  EXPECT_FALSE(gen.Get_Image_From_Val("ROW 1", "H", "F").isNull());
  EXPECT_TRUE(gen.Get_Image_From_Val("", "H", "F").isNull());

  // The resolution stepper and field follow each other.
  gen.dpi_Stepper->setValue(300);
  EXPECT_EQ(USED_DPI_VALUE, 300);
  EXPECT_EQ(gen.dpi_Text->text(), "300");
  gen.dpi_Text->setText("150");
  gen.DPI_Value_Changed(gen.dpi_Text);
  EXPECT_EQ(USED_DPI_VALUE, 150);
  EXPECT_EQ(gen.dpi_Stepper->value(), 150);
  USED_DPI_VALUE = 600;
}

TEST(BarcodeDesignerWorker, WorkersRenderRowsFromSnapshotsWhileTheWindowChanges) {
  Barcode_Gen gen;
  gen.awakeFromNib();
  gen.barcodeTypePopup->setCurrentText("Code 128");
  constexpr int Workers = 3;
  constexpr int Rows = 6;
  std::atomic<int> finished{0};
  std::vector<std::vector<QImage>> images(Workers);
  std::vector<std::thread> threads;
  for (int w = 0; w < Workers; ++w)
    threads.emplace_back([&, w] {
      for (int row = 0; row < Rows; ++row) {
        const CardPicture picture =
            gen.Get_Image_From_Val(QStringLiteral("W%1 ROW %2").arg(w).arg(row), "HEADER", "FOOTER");
        images[w].push_back(picture.isNull() ? QImage() : onWhite(picture, 300));
      }
      ++finished;
    });
  const QStringList symbologies = {"Code 39", "QR Code", "Code 128", "DataMatrix"};
  int step = 0;
  while (finished.load() < Workers) {
    QCoreApplication::processEvents();
    gen.barcodeTypePopup->setCurrentText(symbologies[step % symbologies.size()]);
    gen.HeaderText->setText(QStringLiteral("HEADER %1").arg(step));
    gen.barcode_clr->setColor(step % 2 ? Qt::black : QColor(0, 0, 80));
    gen.hideFooterCheckbox->setChecked(step % 3 == 0);
    ++step;
  }
  for (std::thread &t : threads)
    t.join();
  EXPECT_GT(step, 1);
  // Every row was drawn whole in one symbology and reads back its own value: zbar reads
  // the linear and QR rows in one run, dmtxread the rest one by one.
  QList<QImage> all;
  QStringList expected;
  for (int w = 0; w < Workers; ++w) {
    ASSERT_EQ(images[w].size(), size_t(Rows));
    for (int row = 0; row < Rows; ++row) {
      ASSERT_FALSE(images[w][row].isNull()) << w << " " << row;
      all << images[w][row];
      expected << QStringLiteral("W%1 ROW %2").arg(w).arg(row);
    }
  }
  QStringList found = decodeWithZbar(stacked(all)).texts;
  for (int i = 0; i < all.size(); ++i)
    if (!found.contains(expected[i]))
      found << decodeWithDmtx(all[i]).texts;
  found.sort();
  expected.sort();
  EXPECT_EQ(found, expected);
}

TEST(BarcodeDesigner, OkWithAValueTheSymbologyCannotDrawIsRefusedAndTheObjectStaysAsItWas) {
  ScopedScriptedUi ui;
  installTestFailureHandler();
  Barcode_Gen gen;
  gen.awakeFromNib();
  auto object = qrObject();
  object->linear_or_2d = 0;
  object->barcode_font_index = int(barcodeSymbologyNames().indexOf("EAN-13"));
  object->linear_font_val = "4006381333931";
  ui.answerModal([&](QDialog *dialog) {
    EXPECT_FALSE(gen.previewImage().isNull());
    // ASCII, so the value check passes, but EAN-13 holds digits only: nothing is drawn.
    gen.dataText->setText("12AB");
    gen.HeightStepper->setValue(3);
    EXPECT_TRUE(gen.previewImage().isNull());
    ui.expectAlert();
    gen.ok_btn->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ui.alertTexts(), QStringList{"\nInvalid barcode value"});
    EXPECT_FALSE(gen.barcode_error_label->isHidden());
    gen.cancel_btn->click();
    return ModalCancel;
  });
  gen.Open_Wnd(object.get());
  EXPECT_EQ(object->linear_font_val, "4006381333931");
  EXPECT_FLOAT_EQ(object->linear_height_val, 2.0f);
}

TEST(BarcodeDesigner, Pdf417PanelShapesThePreviewAndOkStoresItsSettings) {
  ScopedScriptedUi ui;
  installTestFailureHandler();
  Barcode_Gen gen;
  gen.awakeFromNib();
  auto object = qrObject();
  object->barcode_font_index = int(barcodeSymbologyNames().indexOf("PDF417"));
  object->two_d_font_val = "Designer PDF417 value";
  object->pdf_wdt_val = 200;
  object->pdf_hgt_val = 70;
  object->pdf_ec_val = 4;
  const auto decodePreview = [&gen] {
    return decodeWithZXing(stacked({onWhite(gen.previewImage(), 300)}), QStringLiteral("PDF417"));
  };
  ui.answerModal([&](QDialog *dialog) {
    EXPECT_FALSE(gen.pdf_2d_sett_box->isHidden());
    EXPECT_TRUE(gen.two_d_sett_box->isHidden());
    EXPECT_EQ(gen.image_2d.points, QSizeF(200, 70));
    DecodeResult decoded = decodePreview();
    EXPECT_EQ(decoded.texts, QStringList{"Designer PDF417 value"});
    EXPECT_EQ(decoded.ecLevels, QStringList{"4"});
    EXPECT_EQ(gen.pdf_barcode.parameters().codeColumns, 3);  // the columns' default

    // Columns, rows and level reshape the preview at once.
    gen.pdf_col_Stepper->setValue(5);
    EXPECT_EQ(gen.pdf_barcode.parameters().codeColumns, 5);
    gen.pdf_row_Text->setText("30");
    emit gen.pdf_row_Text->editingFinished();
    EXPECT_EQ(gen.pdf_row_Stepper->value(), 30);
    EXPECT_EQ(gen.pdf_barcode.parameters().codeRows, 30);
    gen.pdf_ec_lvl_Stepper->setValue(6);
    gen.Pdf_widthStepper_2D->setValue(260);
    EXPECT_EQ(gen.image_2d.points, QSizeF(260, 70));
    decoded = decodePreview();
    EXPECT_EQ(decoded.texts, QStringList{"Designer PDF417 value"});
    EXPECT_EQ(decoded.ecLevels, QStringList{"6"});

    // A value no symbol holds blanks the preview, and OK is refused with the message.
    gen.dataText_2D->setPlainText(QString(5421, QLatin1Char('A')));
    EXPECT_TRUE(gen.previewImage().isNull());
    ui.expectAlert();
    gen.ok_btn->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ui.alertTexts(), QStringList{"\nInvalid barcode value"});

    gen.dataText_2D->setPlainText("Final value");
    EXPECT_FALSE(gen.previewImage().isNull());

    // A symbol too large for a picture at the resolution: the preview and OK say so.
    const QString tooLarge = "The barcode cannot be drawn at 600 dpi. Choose a lower resolution or a smaller barcode.";
    gen.Pdf_widthStepper_2D->setValue(2000);
    gen.pdf_HeightStepper_2D->setValue(2000);
    EXPECT_TRUE(gen.previewImage().isNull());
    EXPECT_FALSE(gen.barcode_error_label->isHidden());
    EXPECT_EQ(gen.barcode_error_label->text(), tooLarge);
    ui.expectAlert();
    gen.ok_btn->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ui.alertTexts(), QStringList({"\nInvalid barcode value", "\n" + tooLarge}));
    gen.pdf_HeightStepper_2D->setValue(70);
    gen.Pdf_widthStepper_2D->setValue(260);
    EXPECT_FALSE(gen.previewImage().isNull());
    gen.dataText_2D->setPlainText("");
    EXPECT_EQ(gen.barcode_error_label->text(), "Invalid barcode value");
    gen.dataText_2D->setPlainText("Final value");
    gen.ok_btn->click();
    EXPECT_FALSE(dialog->isVisible());
    return dialog->result();
  });
  gen.Open_Wnd(object.get());
  EXPECT_EQ(object->two_d_font_val, "Final value");
  EXPECT_EQ(object->pdf_ec_val, 6);
  EXPECT_EQ(object->pdf_wdt_val, 260);
  EXPECT_EQ(object->pdf_hgt_val, 70);
  EXPECT_EQ(decodeWithZXing(stacked({onWhite(Barcode_output_image, 300)}), QStringLiteral("PDF417")).texts,
            QStringList{"Final value"});
}
