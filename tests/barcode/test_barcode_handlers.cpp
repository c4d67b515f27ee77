// The barcode designer's option controls: each one changes the settings the renderers
// read and the preview at once (its size, its pixels, or what a barcode reader decodes
// from it); stepper and text field stay equal; the font and colour panels; the lists of
// symbology, resolution, QR, DataMatrix and data source; the help buttons.

#include "barcode/Barcode_Gen.h"
#include "barcode/encoding/BRCBarcode.h"
#include "core/CardObjectArchive.h"
#include "core/Globals.h"
#include "core/Long_SMS_Dlg.h"
#include "core/QLNBarcode.h"
#include "tests/common/decoder_support.h"
#include "test_barcode_images_support.h"
#include "tests/common/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QTabWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include <functional>

namespace {

constexpr double PointsPerCm = 72.0 / 2.54;

// A barcode object as designs were written before it kept its own spread value and
// PDF417 shape.
class UnkeptBarcode : public QLNBarcode {
protected:
  void encodeKindFields(KeyedArchiver &) const override {}
};

class DesignerTest : public ::testing::Test {
protected:
  void SetUp() override {
    installTestFailureHandler();
    USED_DPI_VALUE = 600;
    gen.awakeFromNib();
  }
  void TearDown() override {
    USED_DPI_VALUE = 600;
    if (dataFolder)
      Data_Folder_Path = savedDataFolder;
  }
  // Points the series folder at a temporary one holding the one series "Guests" (first
  // value G-100); TearDown points it back.
  void useGuestsSeries() { useSeries({{"Guests", "G-100\n"}}); }
  // The same with the series given by name and file contents.
  void useSeries(const QList<std::pair<QString, QByteArray>> &files) {
    dataFolder.emplace();
    ASSERT_TRUE(dataFolder->isValid());
    savedDataFolder = Data_Folder_Path;
    Data_Folder_Path = dataFolder->path();
    for (const auto &[name, contents] : files) {
      QFile series(dataFolder->filePath(name + ".txt"));
      ASSERT_TRUE(series.open(QIODevice::WriteOnly));
      series.write(contents);
    }
  }

  QSizeF previewSize() const { return gen.previewImage().size(); }
  // Opens the window on `object`, runs `act` in it and ends the run with OK or Cancel.
  void runWindow(QLNGraphic &object, const std::function<void()> &act, bool ok = true) {
    ui.answerModal([&](QDialog *dialog) {
      act();
      (ok ? gen.ok_btn : gen.cancel_btn)->click();
      EXPECT_FALSE(dialog->isVisible());
      return dialog->result();
    });
    gen.Open_Wnd(&object);
  }
  static std::shared_ptr<QLNBarcode> barcodeOf(const QString &symbology, const QString &value) {
    auto object = std::make_shared<QLNBarcode>();
    object->linear_or_2d = isTwoDimensionalSymbology(symbology) ? 1 : 0;
    object->barcode_font_index = int(barcodeSymbologyNames().indexOf(symbology));
    object->linear_font_val = object->two_d_font_val = value;
    return object;
  }
  QImage preview(double dpi = 300) const { return onWhite(gen.previewImage(), dpi); }
  // Counts the pixels of the preview (at 150 dpi, on white) that are mostly `color`.
  int pixelsOf(const QColor &color) const {
    const QImage image = preview(150);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (std::abs(c.red() - color.red()) < 40 && std::abs(c.green() - color.green()) < 40 &&
            std::abs(c.blue() - color.blue()) < 40)
          ++count;
      }
    return count;
  }

  ScopedScriptedUi ui;
  Barcode_Gen gen;
  std::optional<QTemporaryDir> dataFolder;
  QString savedDataFolder;
};

}  // namespace

TEST_F(DesignerTest, TypingTheValueRebuildsAPreviewThatDecodesToIt) {
  gen.barcodeTypePopup->setCurrentText("Code 128");
  gen.dataText->setText("HELLO42");
  DecodeResult read = decodeWithZbar(preview());
  ASSERT_TRUE(read.ran) << read.error.toStdString();
  EXPECT_EQ(read.texts, QStringList{"HELLO42"});

  // Two-dimensional: every change of the text rebuilds the symbol.
  gen.barcodeTypePopup->setCurrentText("QR Code");
  gen.dataText_2D->setPlainText("Sorry, Sam");
  read = decodeWithZXing(preview(), "QRCode");
  ASSERT_TRUE(read.ran) << read.error.toStdString();
  EXPECT_EQ(read.texts, QStringList{"Sorry, Sam"});

  gen.barcodeTypePopup->setCurrentText("DataMatrix");
  gen.dataText_2D->setPlainText("DM-42");
  read = decodeWithDmtx(preview());
  ASSERT_TRUE(read.ran) << read.error.toStdString();
  EXPECT_EQ(read.texts, QStringList{"DM-42"});
}

TEST_F(DesignerTest, LinearSizeAndMarginPairsReshapeThePreviewAndKeepStepperAndTextEqual) {
  gen.barcodeTypePopup->setCurrentText("Code 128");
  gen.dataText->setText("SIZE1");
  const QSizeF start = previewSize();
  ASSERT_FALSE(start.isEmpty());

  // Bar height from the stepper: the text follows, the preview grows by one centimetre.
  gen.HeightStepper->setValue(2.5);
  EXPECT_EQ(gen.HeightText->text(), "2.5");
  EXPECT_DOUBLE_EQ(gen.settings().barHeight, 2.5);
  EXPECT_NEAR(previewSize().height() - start.height(), PointsPerCm, 0.5);
  EXPECT_DOUBLE_EQ(previewSize().width(), start.width());

  // From the text field: the stepper follows.
  gen.HeightText->setText("1.25");
  emit gen.HeightText->editingFinished();
  EXPECT_DOUBLE_EQ(gen.HeightStepper->value(), 1.25);
  EXPECT_NEAR(start.height() - previewSize().height(), 0.25 * PointsPerCm, 0.5);

  // The left and right margins change the width, not the height.
  const QSizeF beforeLR = previewSize();
  gen.LR_mar_Stepper->setValue(0.6);
  EXPECT_EQ(gen.LR_mar_Text->text(), "0.6");
  EXPECT_NEAR(previewSize().width() - beforeLR.width(), 2 * 0.5 * PointsPerCm, 0.5);
  EXPECT_DOUBLE_EQ(previewSize().height(), beforeLR.height());

  // The top and bottom margins change the height, not the width.
  const QSizeF beforeTB = previewSize();
  gen.TB_mar_Text->setText("0.3");
  emit gen.TB_mar_Text->editingFinished();
  EXPECT_DOUBLE_EQ(gen.TB_mar_Stepper->value(), 0.3);
  EXPECT_NEAR(previewSize().height() - beforeTB.height(), 2 * 0.2 * PointsPerCm, 0.5);
  EXPECT_DOUBLE_EQ(previewSize().width(), beforeTB.width());

  // Header and value margins lengthen the barcode.
  const double beforeMargins = previewSize().height();
  gen.hdr_mar_Stepper->setValue(0.5);
  gen.val_mar_Stepper->setValue(0.5);
  EXPECT_NEAR(previewSize().height() - beforeMargins, 2 * 0.4 * PointsPerCm, 0.5);

  // A wider narrow bar widens the bars; the symbol still reads.
  const double narrowWidth = previewSize().width();
  gen.widthStepper->setValue(26);
  EXPECT_EQ(gen.widthText->text(), "26");
  EXPECT_GT(previewSize().width(), narrowWidth * 1.5);
  const DecodeResult read = decodeWithZbar(preview());
  EXPECT_EQ(read.texts, QStringList{"SIZE1"});

  // Text that is no number, or beyond the stepper's range, ends as the stepper's limit in both.
  gen.widthText->setText("wide");
  emit gen.widthText->editingFinished();
  EXPECT_EQ(gen.widthStepper->value(), gen.widthStepper->minimum());
  EXPECT_EQ(gen.widthText->text(), QString::number(gen.widthStepper->minimum()));
  gen.HeightText_2D->setText("99999.7");
  emit gen.HeightText_2D->editingFinished();
  EXPECT_EQ(gen.HeightText_2D->text(), QString::number(int(gen.HeightStepper_2D->maximum())));
}

TEST_F(DesignerTest, CaptionHeaderAndFooterSwitchesChangeTheLinearBarcodeAndItsHeight) {
  gen.barcodeTypePopup->setCurrentText("Code 39");
  gen.dataText->setText("AB12");
  const double full = previewSize().height();
  ASSERT_TRUE(gen.testBarcode);
  EXPECT_TRUE(gen.testBarcode->printsCaption());

  gen.captionCheckbox->setChecked(true);
  EXPECT_FALSE(gen.testBarcode->printsCaption());
  EXPECT_FALSE(gen.showinTopCheckbox->isEnabled());
  const double noCaption = previewSize().height();
  EXPECT_LT(noCaption, full);

  gen.hideHeaderCheckbox->setChecked(true);
  EXPECT_FALSE(gen.testBarcode->printsHeader());
  EXPECT_LT(previewSize().height(), noCaption);
  gen.hideFooterCheckbox->setChecked(true);
  EXPECT_FALSE(gen.testBarcode->printsFooter());
  const double barsOnly = previewSize().height();

  gen.captionCheckbox->setChecked(false);
  gen.hideHeaderCheckbox->setChecked(false);
  gen.hideFooterCheckbox->setChecked(false);
  EXPECT_TRUE(gen.showinTopCheckbox->isEnabled());
  EXPECT_TRUE(gen.testBarcode->printsCaption());
  EXPECT_DOUBLE_EQ(previewSize().height(), full);
  EXPECT_GT(full, barsOnly);

  // The value above the bars keeps the caption printed and the symbol readable.
  gen.showinTopCheckbox->setChecked(true);
  EXPECT_TRUE(gen.testBarcode->printsCaption());
  EXPECT_EQ(gen.settings().showinTopState, 1);
  EXPECT_EQ(decodeWithZbar(preview()).texts, QStringList{"AB12"});
}

TEST_F(DesignerTest, FontPanelChoicesSetTheFontLabelAndTextSizes) {
  gen.barcodeTypePopup->setCurrentText("Code 128");
  gen.dataText->setText("FONT");
  const double before = previewSize().height();

  // Cancelling the panel changes nothing.
  ui.answerFont(std::nullopt);
  gen.val_font_btn->click();
  EXPECT_DOUBLE_EQ(gen.value_font.pointSize(), 10.0);

  ui.answerFont(QFont("DejaVu Sans", 24));
  gen.val_font_btn->click();
  EXPECT_DOUBLE_EQ(gen.value_font.pointSize(), 24.0);
  EXPECT_DOUBLE_EQ(gen.settings().value_font.pointSize(), 24.0);
  EXPECT_TRUE(gen.value_font_value->text().endsWith(" ( 24.00 )")) << gen.value_font_value->text().toStdString();
  EXPECT_GT(previewSize().height(), before);

  ui.answerFont(QFont("DejaVu Sans", 20));
  gen.hdr_font_btn->click();
  EXPECT_TRUE(gen.header_font_value->text().endsWith(" ( 20.00 )"));
  ui.answerFont(QFont("DejaVu Sans", 6));
  gen.ftr_font_btn->click();
  EXPECT_DOUBLE_EQ(gen.footer_font.pointSize(), 6.0);
  const std::vector<ScriptedUi::Request> asked = ui.requests();
  ASSERT_EQ(asked.size(), 4u);
  for (const ScriptedUi::Request &request : asked)
    EXPECT_EQ(request.kind, ScriptedUi::Kind::Font);

  // Two-dimensional: the header font sets the header size the composition uses.
  gen.barcodeTypePopup->setCurrentText("QR Code");
  const double qrHeight = previewSize().height();
  ui.answerFont(QFont("DejaVu Sans", 30));
  gen.hdr_font_btn->click();
  EXPECT_FLOAT_EQ(gen.twoD.header_fontSize, 30.0f);
  EXPECT_GT(previewSize().height(), qrHeight);
}

TEST_F(DesignerTest, ColourWellsRecolourThePreview) {
  gen.barcodeTypePopup->setCurrentText("Code 128");
  gen.dataText->setText("RED");
  const QColor red(220, 0, 0);
  EXPECT_EQ(pixelsOf(red), 0);
  ui.answerColor(red);
  gen.barcode_clr->click();
  EXPECT_EQ(gen.settings().barcode_clr, red);
  EXPECT_GT(pixelsOf(red), 100);

  const QColor blue(0, 0, 220);
  ui.answerColor(blue);
  gen.bar_back_clr->click();
  EXPECT_GT(pixelsOf(blue), 1000);

  // Two-dimensional: the header colour is composed at once.
  gen.barcodeTypePopup->setCurrentText("QR Code");
  const QColor green(0, 170, 0);
  EXPECT_EQ(pixelsOf(green), 0);
  ui.answerColor(green);
  gen.bar_hdr_clr->click();
  EXPECT_GT(pixelsOf(green), 10);
  // A cancelled panel keeps the colour.
  ui.answerColor(std::nullopt);
  gen.bar_hdr_clr->click();
  EXPECT_EQ(gen.bar_hdr_clr->color(), green);
}

TEST_F(DesignerTest, TwoDimensionalTextsSizesAndQrLists) {
  gen.barcodeTypePopup->setCurrentText("QR Code");
  gen.dataText_2D->setPlainText("QR value");
  const QSizeF start = previewSize();

  // Header and footer are composed without a new symbol.
  gen.HeaderText->setText("Dear Sam");
  EXPECT_EQ(gen.twoD.header, "Dear Sam");
  EXPECT_EQ(gen.twoD.content, "QR value");
  gen.hideHeaderCheckbox->setChecked(true);
  EXPECT_FALSE(gen.twoD.printsHeader);
  EXPECT_LT(previewSize().height(), start.height());
  gen.hideHeaderCheckbox->setChecked(false);
  EXPECT_DOUBLE_EQ(previewSize().height(), start.height());
  gen.hdr_mar_Stepper->setValue(1.1);
  EXPECT_NEAR(previewSize().height() - start.height(), PointsPerCm, 0.5);

  // The QR size pair: integer text, a bigger symbol that still reads.
  gen.HeightStepper_2D->setValue(120);
  EXPECT_EQ(gen.HeightText_2D->text(), "120");
  EXPECT_EQ(gen.settings().qrSize, 120);
  EXPECT_GT(previewSize().width(), start.width() + 30);
  EXPECT_EQ(decodeWithZXing(preview(), "QRCode").texts, QStringList{"QR value"});
  gen.HeightText_2D->setText("75.8");
  emit gen.HeightText_2D->editingFinished();
  EXPECT_EQ(gen.HeightStepper_2D->value(), 75);
  EXPECT_EQ(gen.HeightText_2D->text(), "75");

  // Version 10 needs 57 modules: a smaller size is raised.
  gen.HeightStepper_2D->setValue(30);
  gen.qr_version_ComboBox->setCurrentIndex(10);
  EXPECT_EQ(gen.settings().QR_Version_Val, 10);
  EXPECT_EQ(gen.HeightText_2D->text(), "57");
  gen.qr_ec_lvl_ComboBox->setCurrentIndex(3);
  EXPECT_EQ(gen.settings().QR_EC_Level_Val, 3);
  EXPECT_EQ(decodeWithZXing(preview(), "QRCode").texts, QStringList{"QR value"});

  // PDF417 pairs keep their integers in step.
  gen.pdf_row_Stepper->setValue(6);
  gen.pdf_col_Text->setText("4");
  emit gen.pdf_col_Text->editingFinished();
  gen.pdf_ec_lvl_Stepper->setValue(5);
  gen.Pdf_widthText_2D->setText("240");
  emit gen.Pdf_widthText_2D->editingFinished();
  gen.pdf_HeightStepper_2D->setValue(90);
  const BarcodeSettings s = gen.settings();
  EXPECT_EQ(s.PDF_Row, 6);
  EXPECT_EQ(s.PDF_Col, 4);
  EXPECT_EQ(s.pdfErrorLevel, 5);
  EXPECT_EQ(s.pdfWidth, 240);
  EXPECT_EQ(s.pdfHeight, 90);
  EXPECT_EQ(gen.pdf_row_Text->text(), "6");
  EXPECT_EQ(gen.Pdf_widthStepper_2D->value(), 240);
  EXPECT_EQ(gen.pdf_HeightText_2D->text(), "90");
}

// Every symbology at its largest size, at every resolution: a valid value is drawn, or
// the preview and OK say that the barcode cannot be drawn at the resolution; it never
// reads "Invalid barcode value" only because its picture would be too large.
TEST_F(DesignerTest, EverySymbologyAtItsLargestSizeIsDrawnOrToldTooLargeForTheResolution) {
  const QList<std::pair<QString, QString>> values = {
      {"Code 39", "CODE 39"},          {"Extended Code 39", "Code 39"},    {"Interleaved 2 of 5", "1234567890"},
      {"UPCA", "01234567890"},          {"PostNet", "555551237"},           {"Modified Plessey", "1234567890"},
      {"Modified Plessey (Hex)", "12AF"}, {"Industrial 2 of 5", "1234567890"}, {"EAN-13", "590123412345"},
      {"Code 128", "Code 128"},         {"Code 128 SET A", "CODE A"},       {"Code 128 SET B", "Code b"},
      {"Code 128 SET C", "123456"},     {"Codabar", "A1234B"},              {"UPCE", "0654321"},
      {"EAN-8", "1234567"},             {"Royal Mail Barcode (RM4SCC / CBC)", "SN34RD1A"},
      {"Planet", "01234567890"},        {"Japan Post Barcode", "26300231-3-2"}, {"QR Code", "Sorry, Sam."},
      {"PDF417", "Sorry, Sam."},        {"DataMatrix", "Sorry, Sam."}};
  ASSERT_EQ(values.size(), barcodeSymbologyNames().size());
  for (const auto &[name, value] : values) {
    const auto object = barcodeOf(name, value);
    object->linear_height_val = float(gen.HeightStepper->maximum());
    object->linear_width_val = float(gen.widthStepper->maximum());
    object->qr_size_val = int(gen.HeightStepper_2D->maximum());
    object->pdf_wdt_val = int(gen.Pdf_widthStepper_2D->maximum());
    object->pdf_hgt_val = int(gen.pdf_HeightStepper_2D->maximum());
    object->dm_module_val = int(gen.dm_moduleStepper_2D->maximum());
    object->dpi_custom_val = QString::number(int(gen.dpi_Stepper->maximum()));
    for (int item = 0; item < gen.DPI_ComboBox->count(); ++item) {
      object->dpi_val_index = item;
      const QString at = name + " at " + gen.DPI_ComboBox->itemText(item);
      ui.answerModal([&](QDialog *dialog) {
        const QString tooLarge = QStringLiteral("The barcode cannot be drawn at %1 dpi. Choose a lower resolution "
                                                "or a smaller barcode.")
                                     .arg(USED_DPI_VALUE);
        const CardPicture shown = gen.previewImage();
        if (shown.isNull()) {
          EXPECT_FALSE(gen.barcode_error_label->isHidden()) << at.toStdString();
          EXPECT_EQ(gen.barcode_error_label->text(), tooLarge) << at.toStdString();
        }
        if (!shown.isNull() && !CardPicture::pixelSizeAt(shown.size(), USED_DPI_VALUE).isEmpty()) {
          gen.ok_btn->click();
          EXPECT_FALSE(dialog->isVisible()) << at.toStdString();
          return dialog->result();
        }
        ui.expectAlert();
        gen.ok_btn->click();
        EXPECT_TRUE(dialog->isVisible()) << at.toStdString();
        EXPECT_EQ(ui.alertTexts().value(ui.alertTexts().size() - 1), "\n" + tooLarge) << at.toStdString();
        gen.cancel_btn->click();
        return dialog->result();
      });
      gen.Open_Wnd(object.get());
    }
  }
}

TEST_F(DesignerTest, DataMatrixSizeFieldsFollowFormatAndSteppedModule) {
  gen.barcodeTypePopup->setCurrentText("DataMatrix");
  gen.dm_moduleStepper_2D->setValue(3);
  gen.dm_widthStepper_2D->setValue(10);
  gen.dm_HeightText_2D->setText("10");
  emit gen.dm_HeightText_2D->editingFinished();
  EXPECT_EQ(gen.dm_HeightStepper_2D->value(), 10);

  gen.dm_format_ComboBox->setCurrentText("C8X18");
  EXPECT_EQ(gen.dm_widthText_2D->text(), "54");
  EXPECT_EQ(gen.dm_widthStepper_2D->value(), 54);
  EXPECT_EQ(gen.dm_HeightText_2D->text(), "24");
  EXPECT_EQ(gen.settings().dmFormat, "C8X18");

  // Larger values stay; only the smaller one grows.
  gen.dm_widthStepper_2D->setValue(100);
  gen.dm_format_ComboBox->setCurrentText("C12X26");
  EXPECT_EQ(gen.dm_widthText_2D->text(), "100");
  EXPECT_EQ(gen.dm_HeightText_2D->text(), "36");

  // A module size typed in the text field leaves the size fields; a step enlarges them.
  gen.dm_moduleText_2D->setText("5");
  emit gen.dm_moduleText_2D->editingFinished();
  EXPECT_EQ(gen.dm_moduleStepper_2D->value(), 5);
  EXPECT_EQ(gen.dm_widthText_2D->text(), "100");
  EXPECT_EQ(gen.dm_HeightText_2D->text(), "36");
  gen.dm_moduleStepper_2D->setValue(6);
  EXPECT_EQ(gen.dm_moduleText_2D->text(), "6");
  EXPECT_EQ(gen.dm_widthText_2D->text(), "156");
  EXPECT_EQ(gen.dm_HeightText_2D->text(), "72");
  // The largest square format fits the fields.
  gen.dm_format_ComboBox->setCurrentText("C144X144");
  EXPECT_EQ(gen.dm_widthText_2D->text(), "864");

  // "Auto" changes nothing; the preview is built with the chosen encoding and reads.
  gen.dm_format_ComboBox->setCurrentText("Auto");
  EXPECT_EQ(gen.dm_widthText_2D->text(), "864");
  gen.dm_encoding_ComboBox->setCurrentText("Ascii");
  gen.dataText_2D->setPlainText("ORDER 7");
  EXPECT_EQ(gen.settings().dmEncoding, "Ascii");
  EXPECT_EQ(decodeWithDmtx(preview()).texts, QStringList{"ORDER 7"});
}

TEST_F(DesignerTest, SymbologyChoiceAsksForAValueAndSwitchesTheSpreadOption) {
  gen.dataText->setText("");
  ui.expectAlert();
  gen.barcodeTypePopup->setCurrentText("Code 128");
  EXPECT_EQ(ui.alertTexts(), QStringList{"\nPlease enter barcode value"});
  EXPECT_TRUE(gen.previewImage().isNull());
  EXPECT_FALSE(gen.barcode_error_label->isHidden());

  gen.dataText->setText("03600029145");
  EXPECT_FALSE(gen.previewImage().isNull());
  gen.barcodeTypePopup->setCurrentText("UPCA");
  EXPECT_FALSE(gen.kerning_value_Checkbox->isEnabled());
  // The reader reports a UPC-A symbol as its EAN-13 form.
  EXPECT_EQ(decodeWithZbar(preview()).texts, QStringList{"0036000291452"});
  gen.barcodeTypePopup->setCurrentText("Code 39");
  EXPECT_TRUE(gen.kerning_value_Checkbox->isEnabled());

  // Two-dimensional names switch the panels and the mode; a linear one switches back.
  gen.barcodeTypePopup->setCurrentText("PDF417");
  EXPECT_EQ(gen.liner_or_2D_font, 1);
  EXPECT_FALSE(gen.pdf_2d_sett_box->isHidden());
  EXPECT_EQ(gen.sett_tab->count(), 4);
  gen.barcodeTypePopup->setCurrentText("EAN-13");
  EXPECT_EQ(gen.liner_or_2D_font, 0);
  EXPECT_EQ(gen.sett_tab->count(), 3);
}

TEST_F(DesignerTest, ResolutionListSetsTheResolution) {
  EXPECT_EQ(gen.DPI_ComboBox->currentText(), "Auto");
  EXPECT_TRUE(gen.dpi_Stepper->isHidden());
  gen.DPI_ComboBox->setCurrentText("300");
  EXPECT_EQ(USED_DPI_VALUE, 300);
  EXPECT_TRUE(gen.dpi_Stepper->isHidden());
  gen.dpi_Stepper->setValue(450);
  gen.DPI_ComboBox->setCurrentText("Custom");
  EXPECT_FALSE(gen.dpi_Stepper->isHidden());
  EXPECT_FALSE(gen.dpi_Text->isHidden());
  EXPECT_EQ(USED_DPI_VALUE, 450);
  gen.DPI_ComboBox->setCurrentText("Auto");
  EXPECT_EQ(USED_DPI_VALUE, 600);
  EXPECT_TRUE(gen.dpi_Text->isHidden());

  // Loading an object puts its resolution in force.
  QLNBarcode object;
  object.barcode_font_index = int(barcodeSymbologyNames().indexOf("Code 39"));
  object.linear_font_val = "R1";
  object.dpi_val_index = gen.DPI_ComboBox->findText("150");
  gen.Set_Barcode_Prop_To_Control(&object);
  EXPECT_EQ(USED_DPI_VALUE, 150);
}

TEST_F(DesignerTest, HelpButtonsShowTheirTexts) {
  const std::vector<std::tuple<QPushButton *, QString, QString>> cases = {
      {gen.qr_version_help_btn, "Version :",
       "Version is configuration or number of modules (combination of black and white dots)."},
      {gen.qr_ec_lvl_help_btn, "Error correction (EC) level :",
       "An error-correction mechanism is built in each symbol so that the symbol can still be decoded even if it "
       "is damaged."},
      {gen.pdf_row_help_btn, "PDF Rows :", "Number of rows in the PDF barcode."},
      {gen.pdf_col_help_btn, "PDF Columns :", "Number of columns in the PDF barcode."},
      {gen.pdf_ec_lvl_help_btn, "PDF EC Level :",
       "An error-correction mechanism is built in each symbol so that the symbol can still be decoded even if it "
       "is damaged in PDF barcode."},
      {gen.dm_format_help_btn, "Preferred Format :", "Preferred Mode determines the smallest size of the symbol."},
      {gen.dm_encoding_help_btn, "Encoding Mode :",
       "Encoding Mode is mode of compaction to encode data in the symbol."}};
  for (const auto &[button, title, text] : cases) {
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->accessibleName().isEmpty());
    EXPECT_FALSE(button->toolTip().isEmpty());
    QString shownTitle, shownText;
    ui.answerModal([&](QDialog *dialog) {
      auto *box = qobject_cast<Long_SMS_Dlg *>(dialog);
      EXPECT_NE(box, nullptr);
      if (box) {
        shownTitle = box->_Msg_Title->text();
        shownText = box->_Msg_Val->toPlainText();
      }
      return ModalOK;
    });
    button->click();
    EXPECT_EQ(shownTitle, title);
    EXPECT_EQ(shownText, text);
  }
}

TEST_F(DesignerTest, SeriesSourceWithoutSeriesKeepsTheObjectsSource) {
  QTemporaryDir data;
  ASSERT_TRUE(data.isValid());
  const QString savedFolder = Data_Folder_Path;
  Data_Folder_Path = data.path();
  QLNBarcode object;
  object.barcode_font_index = int(barcodeSymbologyNames().indexOf("Code 39"));
  object.linear_font_val = "S1";
  gen.Set_Barcode_Prop_To_Control(&object);

  ui.expectAlert();
  gen.Data_source_type->setCurrentIndex(1);
  EXPECT_EQ(ui.alertTexts(), QStringList{"\nPlease create batch processing series first."});
  EXPECT_EQ(object.data_source_type, 0);
  EXPECT_TRUE(gen.dataText->isReadOnly());

  // With a saved series the list offers it and the object is bound to a series.
  QFile series(data.filePath("Guests.txt"));
  ASSERT_TRUE(series.open(QIODevice::WriteOnly));
  series.write("G-100\nG-101\n");
  series.close();
  gen.Data_source_type->setCurrentIndex(0);
  EXPECT_FALSE(gen.dataText->isReadOnly());
  EXPECT_FALSE(gen.Batch_Series->isEnabled());
  gen.Data_source_type->setCurrentIndex(1);
  EXPECT_EQ(object.data_source_type, 1);
  ASSERT_EQ(gen.Batch_Series->count(), 1);
  EXPECT_EQ(gen.Batch_Series->itemText(0), "Guests");
  // Filling the list bound no series by itself.
  EXPECT_TRUE(object.batch_list_name.isEmpty());
  gen.Data_source_type->setCurrentIndex(0);
  EXPECT_EQ(object.data_source_type, 0);
  Data_Folder_Path = savedFolder;
}

// A saved design opened in the window and closed with OK without a change is saved
// again as it was: the settings a barcode is drawn with are the object's own, not those
// the window kept from the object before.
TEST_F(DesignerTest, OkWithoutAChangeKeepsEachObjectsOwnSettings) {
  const auto spread = barcodeOf("Code 128", "SPREAD");
  spread->value_font_val = FontSpec("Arial-BoldMT", 12);
  runWindow(*spread, [&] { gen.kerning_value_Checkbox->setChecked(true); });
  const QByteArray spreadSaved = archiveGraphic(*spread);
  // Batch output draws a copy of the card's object.
  EXPECT_EQ(gen.settingsOf(spread->copyForRendering().get()).kerningState, 1);

  // An object written without a value font is drawn with the window's first font.
  const auto unfonted = barcodeOf("Code 39", "FONT");
  unfonted->value_font_val.reset();
  EXPECT_EQ(gen.settingsOf(unfonted.get()).value_font, FontSpec("Times New Roman", 10));

  const auto plain = barcodeOf("Code 39", "PLAIN");
  const QByteArray plainSaved = archiveGraphic(*plain);
  runWindow(*plain, [&] { EXPECT_FALSE(gen.kerning_value_Checkbox->isChecked()); });
  EXPECT_EQ(archiveGraphic(*plain), plainSaved);

  // The spread barcode of the saved design opens spread and is saved unchanged.
  const QLNGraphicPtr reopened = unarchiveGraphic(spreadSaved);
  ASSERT_TRUE(reopened);
  runWindow(*reopened, [&] { EXPECT_TRUE(gen.kerning_value_Checkbox->isChecked()); });
  EXPECT_EQ(archiveGraphic(*reopened), spreadSaved);

  // PDF417 rows and columns stay with their symbol.
  const auto shaped = barcodeOf("PDF417", "ROWS AND COLUMNS");
  runWindow(*shaped, [&] {
    gen.pdf_row_Stepper->setValue(10);
    gen.pdf_col_Stepper->setValue(6);
  });
  const auto other = barcodeOf("PDF417", "OTHER");
  const QByteArray otherSaved = archiveGraphic(*other);
  runWindow(*other, [&] {
    EXPECT_EQ(gen.settings().PDF_Row, 0);
    EXPECT_EQ(gen.settings().PDF_Col, 3);
    EXPECT_EQ(gen.pdf_barcode.parameters().codeColumns, 3);
  });
  EXPECT_EQ(archiveGraphic(*other), otherSaved);
  const QLNGraphicPtr shapedAgain = unarchiveGraphic(archiveGraphic(*shaped));
  ASSERT_TRUE(shapedAgain);
  runWindow(*shapedAgain, [&] {
    EXPECT_EQ(gen.pdf_row_Text->text(), "10");
    EXPECT_EQ(gen.pdf_barcode.parameters().codeColumns, 6);
  });

  // A design written before these settings were kept opens with the first ones.
  UnkeptBarcode written;
  written.kerning_value_val = 1;
  written.pdf_row_val = 10;
  written.pdf_col_val = 6;
  const auto older = std::dynamic_pointer_cast<QLNBarcode>(unarchiveGraphic(archiveGraphic(written)));
  ASSERT_TRUE(older);
  EXPECT_EQ(older->kerning_value_val, 0);
  EXPECT_EQ(older->pdf_row_val, 0);
  EXPECT_EQ(older->pdf_col_val, 3);
}

TEST_F(DesignerTest, CancelLeavesTheObjectsSourceAsItWasOpened) {
  useGuestsSeries();
  const auto object = barcodeOf("Code 39", "KEEP");
  const QByteArray saved = archiveGraphic(*object);
  for (int source : {1, 2}) {
    runWindow(*object, [&] {
      gen.Data_source_type->setCurrentIndex(source);
      EXPECT_TRUE(gen.dataText->isReadOnly());
    }, false);
    EXPECT_EQ(object->data_source_type, 0) << source;
    EXPECT_EQ(archiveGraphic(*object), saved) << source;
  }
  runWindow(*object, [&] { EXPECT_FALSE(gen.dataText->isReadOnly()); }, false);
}

TEST_F(DesignerTest, EachObjectKeepsItsOwnCustomResolution) {
  const auto custom = barcodeOf("Code 39", "C150");
  custom->dpi_val_index = gen.DPI_ComboBox->findText("Custom");
  custom->dpi_custom_val = "150";
  const auto listed = barcodeOf("Code 39", "L300");
  listed->dpi_val_index = gen.DPI_ComboBox->findText("300");
  listed->dpi_custom_val = "1200";
  runWindow(*custom, [&] { EXPECT_EQ(USED_DPI_VALUE, 150); });
  runWindow(*listed, [&] { EXPECT_EQ(USED_DPI_VALUE, 300); });
  EXPECT_EQ(listed->dpi_custom_val, "1200");

  // A custom value that is no number draws at the list's default, in the window and in
  // batch output, and OK without a change keeps it.
  const auto unreadable = barcodeOf("Code 39", "NAN");
  unreadable->dpi_val_index = custom->dpi_val_index;
  unreadable->dpi_custom_val = "fine";
  EXPECT_EQ(gen.settingsOf(custom.get()).dpi, 150);
  EXPECT_EQ(gen.settingsOf(unreadable.get()).dpi, 600);
  runWindow(*unreadable, [&] { EXPECT_EQ(gen.dpi_Text->text(), "600"); });
  EXPECT_EQ(unreadable->dpi_custom_val, "fine");

  // So does a list item the list does not have (a damaged or hand-edited file), also
  // right after an object of another resolution; OK without a change keeps it.
  for (int item : {99, -3}) {
    const auto unlisted = barcodeOf("Code 39", "UNLISTED");
    unlisted->dpi_val_index = item;
    unlisted->dpi_custom_val = "150";
    EXPECT_EQ(gen.settingsOf(custom.get()).dpi, 150);
    EXPECT_EQ(gen.settingsOf(unlisted.get()).dpi, 600) << item;
    EXPECT_EQ(gen.settingsOf(listed.get()).dpi, 300);
    const QByteArray saved = archiveGraphic(*unlisted);
    runWindow(*unlisted, [&] {
      EXPECT_EQ(USED_DPI_VALUE, 600) << item;
      EXPECT_EQ(gen.DPI_ComboBox->currentText(), "Auto") << item;
    });
    EXPECT_EQ(archiveGraphic(*unlisted), saved) << item;
  }
}

TEST_F(DesignerTest, OkBindsTheSeriesTheListShows) {
  useGuestsSeries();
  const auto object = barcodeOf("Code 39", "S1");
  runWindow(*object, [&] {
    gen.Data_source_type->setCurrentIndex(1);
    EXPECT_EQ(gen.Batch_Series->currentText(), "Guests");
  });
  EXPECT_EQ(object->data_source_type, 1);
  EXPECT_EQ(object->batch_list_name, "Guests");
  EXPECT_EQ(object->batch_list_index, 0);
  const QByteArray saved = archiveGraphic(*object);
  runWindow(*object, [&] { EXPECT_EQ(gen.Batch_Series->currentText(), "Guests"); });
  EXPECT_EQ(archiveGraphic(*object), saved);
}

// A series name is used as the list shows it: "Sorry " (a name an earlier version
// wrote) is another series than "Sorry". OK without a change keeps the binding as it
// was stored, its list position included, even where the list now shows it elsewhere.
TEST_F(DesignerTest, OkWithoutAChangeKeepsTheBoundSeriesAsStored) {
  useSeries({{"Sorry", "S-1\n"}, {"Sorry ", "T-1\n"}});
  const auto object = barcodeOf("Code 39", "T-1");
  object->data_source_type = 1;
  object->batch_list_name = "Sorry ";
  object->batch_list_index = 5;
  const QByteArray saved = archiveGraphic(*object);
  QString viewed;
  const auto savedViewer = Barcode_Gen::viewSeries();
  Barcode_Gen::viewSeries() = [&](const QString &name) { viewed = name; };
  runWindow(*object, [&] {
    EXPECT_EQ(gen.Batch_Series->currentText(), "Sorry ");
    gen.View_batch_Series_Button();
  });
  Barcode_Gen::viewSeries() = savedViewer;
  EXPECT_EQ(viewed, "Sorry ");
  EXPECT_EQ(archiveGraphic(*object), saved);

  // Chosen in the list, a series is bound by the name and place the list shows.
  for (const QString name : {"Sorry", "Sorry "}) {
    runWindow(*object, [&] { gen.Batch_Series->setCurrentIndex(gen.Batch_Series->findText(name)); });
    EXPECT_EQ(object->batch_list_name, name);
    EXPECT_EQ(object->batch_list_index, gen.Batch_Series->findText(name));
  }
}
