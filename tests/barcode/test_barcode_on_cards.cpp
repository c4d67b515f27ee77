// Barcodes on cards: a double click on a barcode object (or the barcode tab's button)
// opens the designer with that object's settings; OK puts every setting and the image
// into each selected barcode object of the current side, Cancel changes nothing; a
// design with barcode objects keeps them through a save and an open.

#include "tests/mainwindow/main_window_fixture.h"

#include "barcode/Barcode_Gen.h"
#include "barcode/BarcodeProduction.h"
#include "canvas/QLNGraphicView.h"
#include "core/CardObjectArchive.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "core/QLNDocument.h"
#include "core/QLNText.h"
#include "dataseries/BatchCardSource.h"
#include "dataseries/model/ImportedRows.h"
#include "tests/common/decoder_support.h"
#include "mainwindow/DrawWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QImage onWhite(const PointImage &image) {
  QImage flat(image.pixels.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  QPainter painter(&flat);
  painter.drawImage(0, 0, image.pixels);
  return flat;
}

std::shared_ptr<QLNBarcode> barcodeAt(const QRectF &bounds, const QString &value) {
  auto object = std::make_shared<QLNBarcode>();
  object->setBounds(bounds);
  object->barcode_font_index = int(barcodeSymbologyNames().indexOf("Code 39"));
  object->linear_font_val = value;
  object->two_d_font_val = value;
  object->header_val = "HEAD";
  object->footer_val = "FOOT";
  object->linear_height_val = 1.5f;
  object->linear_width_val = 13;
  object->qr_size_val = 60;
  object->pdf_hgt_val = 60;
  object->pdf_wdt_val = 180;
  object->pdf_ec_val = 2;
  object->dm_module_val = 3;
  object->hdr_margin_val = object->ftr_margin_val = object->val_margin_val = 0.1f;
  object->TB_marging_val = object->LR_margin_val = 0.1f;
  object->barcode_clr_val = object->barcode_hdr_clr_val = object->barcode_ftr_clr_val = Qt::black;
  object->barcode_val_clr_val = Qt::black;
  object->barcode_back_clr_val = Qt::white;
  object->align_hdr_index = object->align_ftr_index = 1;
  return object;
}

// Every stored barcode setting of an object, for comparing two objects at once.
QStringList barcodeFields(const QLNGraphic &g) {
  const auto font = [](const std::optional<FontSpec> &f) {
    return f ? f->postScriptName() + "/" + QString::number(f->pointSize()) : QString("none");
  };
  QStringList kept;
  if (const auto *barcode = dynamic_cast<const QLNBarcode *>(&g))
    kept << QString::number(barcode->kerning_value_val) << QString::number(barcode->pdf_row_val)
         << QString::number(barcode->pdf_col_val);
  return kept + QStringList{QString::number(g.linear_or_2d), QString::number(g.barcode_font_index), g.linear_font_val,
          g.two_d_font_val, g.header_val, g.footer_val, QString::number(g.show_hide_hdr),
          QString::number(g.show_hide_ftr), QString::number(g.show_hide_val), QString::number(g.show_val_on_top),
          QString::number(g.align_hdr_index), QString::number(g.align_ftr_index),
          QString::number(g.linear_height_val), QString::number(g.linear_width_val), QString::number(g.qr_size_val),
          QString::number(g.qr_version_index), QString::number(g.qr_ec_index), QString::number(g.pdf_hgt_val),
          QString::number(g.pdf_wdt_val), QString::number(g.pdf_ec_val), QString::number(g.dm_module_val),
          QString::number(g.dm_format_index), QString::number(g.dm_encoding_index),
          QString::number(g.hdr_margin_val), QString::number(g.ftr_margin_val), QString::number(g.val_margin_val),
          QString::number(g.TB_marging_val), QString::number(g.LR_margin_val), font(g.value_font_val),
          font(g.header_font_val), font(g.footer_font_val), g.barcode_hdr_clr_val.name(QColor::HexArgb),
          g.barcode_ftr_clr_val.name(QColor::HexArgb), g.barcode_val_clr_val.name(QColor::HexArgb),
          g.barcode_back_clr_val.name(QColor::HexArgb), g.barcode_clr_val.name(QColor::HexArgb),
          QString::number(g.dpi_val_index), g.dpi_custom_val};
}

class BarcodeOnCardsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    USED_DPI_VALUE = 600;
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    designer.awakeFromNib();
  }
  void TearDown() override {
    USED_DPI_VALUE = 600;
    MainWindowTest::TearDown();
  }

  QLNDocument *document() const { return session->document(); }
  QLNGraphicView *front() const { return controller->frontView(); }

  // A double click at a canvas point as the window system reports it.
  static void doubleClick(QLNGraphicView *view, const QPointF &point) {
    const QPointF pixel = point * view->zoomFactor();
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
      QMouseEvent event(type, pixel, view->mapToGlobal(pixel), Qt::LeftButton, buttons, Qt::NoModifier);
      QApplication::sendEvent(view, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
  }

  // Scripts the designer's run: checks that it shows `expectedValue`, then types the
  // new settings and presses OK.
  void answerWithNewSettings(const QString &expectedValue) {
    scripted.answerModal([this, expectedValue](QDialog *dialog) {
      EXPECT_EQ(dialog, designer.window());
      EXPECT_EQ(designer.dataText->text(), expectedValue);
      designer.barcodeTypePopup->setCurrentText("Code 128");
      designer.dataText->setText("ORDER-77");
      designer.HeaderText->setText("Sorry");
      designer.FooterText->setText("Thanks");
      designer.align_hdr_combo->setCurrentIndex(0);
      designer.align_ftr_combo->setCurrentIndex(2);
      designer.HeightStepper->setValue(2.0);
      designer.widthStepper->setValue(15);
      designer.TB_mar_Stepper->setValue(0.2);
      designer.hideFooterCheckbox->setChecked(true);
      designer.kerning_value_Checkbox->setChecked(true);
      designer.DPI_ComboBox->setCurrentText("300");
      designer.ok_btn->click();
      EXPECT_FALSE(dialog->isVisible());
      return dialog->result();  // the code the OK button ended the run with
    });
  }

  QLNWindowController *controller = nullptr;
  Barcode_Gen designer;
};

}  // namespace

TEST_F(BarcodeOnCardsTest, DoubleClickOpensTheDesignerOnThatObjectAndOkFillsIt) {
  const auto first = barcodeAt(QRectF(20, 20, 120, 60), "FIRST");
  const auto second = barcodeAt(QRectF(20, 120, 120, 60), "SECOND");
  const auto text = std::make_shared<QLNText>();
  text->setBounds(QRectF(200, 20, 60, 30));
  text->header_val = "not a barcode";
  document()->insertGraphics({first, second, text}, {0, 1, 2});
  front()->changeSelectionIndexes({1, 2});
  controller->ui->print_object_chk->setChecked(true);
  const QStringList textBefore = barcodeFields(*text);

  answerWithNewSettings("FIRST");
  doubleClick(front(), QPointF(60, 50));
  ASSERT_EQ(scripted.requests().size(), 1u);
  EXPECT_EQ(scripted.requests().front().kind, ScriptedUi::Kind::Modal);
  EXPECT_EQ(scripted.requests().front().text, designer.window()->objectName());

  // The double-clicked object holds every setting of the designer.
  EXPECT_EQ(first->barcode_font_index, barcodeSymbologyNames().indexOf("Code 128"));
  EXPECT_EQ(first->linear_font_val, "ORDER-77");
  EXPECT_EQ(first->header_val, "Sorry");
  EXPECT_EQ(first->footer_val, "Thanks");
  EXPECT_EQ(first->align_hdr_index, 0);
  EXPECT_EQ(first->align_ftr_index, 2);
  EXPECT_FLOAT_EQ(first->linear_height_val, 2.0f);
  EXPECT_FLOAT_EQ(first->linear_width_val, 15.0f);
  EXPECT_FLOAT_EQ(first->TB_marging_val, 0.2f);
  EXPECT_EQ(first->show_hide_ftr, 1);
  EXPECT_EQ(first->dpi_val_index, designer.DPI_ComboBox->findText("300"));
  // The double click made it the current and only selected object, so it takes the
  // image and the print flag the panel shows for it; the other barcode and the text are
  // no longer selected.
  ASSERT_FALSE(first->_barcode_image.isNull());
  EXPECT_EQ(first->print_object, controller->ui->print_object_chk->isChecked() ? 1 : 0);
  EXPECT_EQ(front()->selectedGraphics(), QLNGraphicList{first});
  EXPECT_EQ(decodeWithZbar(onWhite(first->_barcode_image)).texts, QStringList{"ORDER-77"});
  // The image is made at the chosen resolution.
  EXPECT_NEAR(first->_barcode_image.pixels.width() / first->_barcode_image.points.width() * 72.0, 300.0, 2.0);
  EXPECT_EQ(second->linear_font_val, "SECOND");
  EXPECT_TRUE(second->_barcode_image.isNull());
  EXPECT_EQ(barcodeFields(*text), textBefore);
}

TEST_F(BarcodeOnCardsTest, BarcodeButtonUpdatesTheWholeSelectionButNoOtherObject) {
  const auto first = barcodeAt(QRectF(20, 20, 120, 60), "FIRST");
  const auto second = barcodeAt(QRectF(20, 120, 120, 60), "SECOND");
  const auto unselected = barcodeAt(QRectF(20, 220, 120, 60), "THIRD");
  const auto text = std::make_shared<QLNText>();
  text->setBounds(QRectF(200, 20, 60, 30));
  document()->insertGraphics({first, second, unselected, text}, {0, 1, 2, 3});
  front()->changeSelectionIndexes({0, 1, 3});
  front()->setSelected_Graphic(second);
  controller->ui->print_object_chk->setChecked(true);
  const QStringList thirdBefore = barcodeFields(*unselected);
  const QStringList textBefore = barcodeFields(*text);

  controller->installBarcodeCommands();
  controller->installBarcodeCommands();  // a second call adds no second connection
  answerWithNewSettings("SECOND");
  controller->ui->Barcode_Edit_btn->click();
  ASSERT_EQ(scripted.requests().size(), 1u);

  EXPECT_EQ(barcodeFields(*first), barcodeFields(*second));
  for (const auto &object : {first, second}) {
    EXPECT_EQ(object->linear_font_val, "ORDER-77");
    EXPECT_EQ(object->print_object, 1);
    ASSERT_FALSE(object->_barcode_image.isNull());
    EXPECT_EQ(decodeWithZbar(onWhite(object->_barcode_image)).texts, QStringList{"ORDER-77"});
  }
  EXPECT_EQ(barcodeFields(*unselected), thirdBefore);
  EXPECT_TRUE(unselected->_barcode_image.isNull());
  EXPECT_EQ(barcodeFields(*text), textBefore);

  // Reopening shows what was stored, the two alignments included.
  scripted.answerModal([this](QDialog *) {
    EXPECT_EQ(designer.dataText->text(), "ORDER-77");
    EXPECT_EQ(designer.align_hdr_combo->currentIndex(), 0);
    EXPECT_EQ(designer.align_ftr_combo->currentIndex(), 2);
    EXPECT_TRUE(designer.hideFooterCheckbox->isChecked());
    return ModalCancel;
  });
  controller->ui->Barcode_Edit_btn->click();
}

TEST_F(BarcodeOnCardsTest, CancelAndLockedOrHiddenObjectsChangeNothing) {
  const auto object = barcodeAt(QRectF(20, 20, 120, 60), "KEEP");
  const auto locked = barcodeAt(QRectF(20, 120, 120, 60), "LOCKED");
  locked->ctrl_is_locked = true;
  const auto hidden = barcodeAt(QRectF(20, 220, 120, 60), "HIDDEN");
  hidden->ctrl_is_visible = false;
  document()->insertGraphics({object, locked, hidden}, {0, 1, 2});
  const QStringList before = barcodeFields(*object);

  scripted.answerModal([this](QDialog *dialog) {
    designer.dataText->setText("CHANGED");
    designer.HeightStepper->setValue(3);
    designer.cancel_btn->click();
    return dialog->result();
  });
  doubleClick(front(), QPointF(60, 50));
  ASSERT_EQ(scripted.requests().size(), 1u);
  EXPECT_EQ(barcodeFields(*object), before);
  EXPECT_TRUE(object->_barcode_image.isNull());

  // Locked and hidden barcodes open no designer (an unexpected window fails the test).
  doubleClick(front(), QPointF(60, 150));
  doubleClick(front(), QPointF(60, 250));
  EXPECT_EQ(scripted.requests().size(), 1u);

  // With nothing selected, OK changes no object.
  front()->changeSelectionIndexes({});
  front()->setSelected_Graphic(object);
  Barcode_output_image = CardPicture();
  controller->Update_Barcode_Graphics(object);
  EXPECT_TRUE(object->_barcode_image.isNull());
}

TEST_F(BarcodeOnCardsTest, OnTheBackOnlyTheBackSelectionChanges) {
  const auto frontObject = barcodeAt(QRectF(20, 20, 120, 60), "FRONT");
  const auto backObject = barcodeAt(QRectF(20, 20, 120, 60), "BACK");
  document()->insertGraphics({frontObject}, {0});
  document()->insertIntoList(QLNDocumentGraphicsKey_back, {backObject}, {0});
  front()->changeSelectionIndexes({0});
  controller->Select_back_side();
  ASSERT_EQ(Card_Front_Or_Back, 1);
  const QStringList frontBefore = barcodeFields(*frontObject);

  answerWithNewSettings("BACK");
  doubleClick(controller->backView(), QPointF(60, 50));
  EXPECT_EQ(backObject->linear_font_val, "ORDER-77");
  EXPECT_FALSE(backObject->_barcode_image.isNull());
  EXPECT_EQ(barcodeFields(*frontObject), frontBefore);
  EXPECT_TRUE(frontObject->_barcode_image.isNull());
  controller->Select_front_side();
}

TEST_F(BarcodeOnCardsTest, SeriesChosenInTheDesignerBindsTheObjectAndShowsItsFirstValue) {
  const auto object = barcodeAt(QRectF(20, 20, 120, 60), "MANUAL");
  document()->insertGraphics({object}, {0});
  QFile series(Data_Folder_Path + "/Guests.txt");
  ASSERT_TRUE(series.open(QIODevice::WriteOnly));
  series.write("G-100\nG-101\n");
  series.close();

  const QStringList before = barcodeFields(*object);
  for (QPushButton *button : {designer.cancel_btn, designer.ok_btn}) {
    scripted.answerModal([this, button](QDialog *dialog) {
      designer.Data_source_type->setCurrentIndex(1);
      EXPECT_EQ(designer.Batch_Series->findText("Guests"), 0);
      // The series the list already shows, chosen again.
      emit designer.Batch_Series->activated(0);
      EXPECT_EQ(designer.dataText->text(), "G-100");
      EXPECT_TRUE(designer.dataText->isReadOnly());
      EXPECT_EQ(decodeWithZbar(onWhite(designer.previewImage().toImage(300))).texts, QStringList{"G-100"});
      button->click();
      return dialog->result();
    });
    doubleClick(front(), QPointF(60, 50));
    if (button == designer.cancel_btn) {
      EXPECT_EQ(barcodeFields(*object), before);
      EXPECT_EQ(object->data_source_type, 0);
      EXPECT_TRUE(object->batch_list_name.isEmpty());
    }
  }
  EXPECT_EQ(object->data_source_type, 1);
  EXPECT_EQ(object->batch_list_name, "Guests");
  EXPECT_EQ(object->batch_list_index, 0);
}

TEST_F(BarcodeOnCardsTest, EachObjectOpensWithItsOwnQrMinimumResolutionAndDataSource) {
  const auto qrObject = [](const QRectF &bounds, int version, int size, const QString &dpi) {
    auto object = barcodeAt(bounds, "QR");
    object->linear_or_2d = 1;
    object->barcode_font_index = int(barcodeSymbologyNames().indexOf("QR Code"));
    object->qr_version_index = version;
    object->qr_size_val = size;
    object->dpi_val_index = 1;  // "Custom"
    object->dpi_custom_val = dpi;
    return object;
  };
  const auto large = qrObject(QRectF(20, 20, 100, 100), 40, 200, "300");
  const auto small = qrObject(QRectF(20, 140, 100, 100), 0, 60, "150");
  const auto bound = barcodeAt(QRectF(150, 20, 120, 60), "BOUND");
  const auto manual = barcodeAt(QRectF(150, 140, 120, 60), "MANUAL");
  document()->insertGraphics({large, small, bound, manual}, {0, 1, 2, 3});
  ImportedRowsTable table;
  table.setImportedColumns({"Name", "Code"});
  table.Create_List_By_Array({"Sam", "C-1"}, 2);
  Data_From_Excel::defaultInstance()->setTable(table);

  // Opens the designer on one object through the barcode button, runs `check` in it and
  // presses OK.
  controller->installBarcodeCommands();
  const auto openWithOk = [this](int index, const std::function<void()> &check) {
    front()->changeSelectionIndexes({index});
    front()->setSelected_Graphic(document()->graphics()[size_t(index)]);
    scripted.answerModal([this, check](QDialog *dialog) {
      check();
      designer.ok_btn->click();
      return dialog->result();
    });
    controller->ui->Barcode_Edit_btn->click();
  };
  openWithOk(0, [this] { EXPECT_EQ(designer.HeightStepper_2D->minimum(), 177); });
  // The version 40 minimum does not hold the next object's size.
  openWithOk(1, [this] {
    EXPECT_EQ(designer.HeightText_2D->text(), "60");
    EXPECT_EQ(designer.HeightStepper_2D->value(), 60);
    EXPECT_EQ(designer.dpi_Text->text(), "150");
    EXPECT_EQ(USED_DPI_VALUE, 150);
  });
  EXPECT_EQ(small->qr_size_val, 60);
  EXPECT_EQ(small->dpi_custom_val, "150");
  EXPECT_EQ(large->qr_size_val, 200);

  // A spreadsheet column chosen for one barcode leaves the next manual one editable.
  openWithOk(2, [this] {
    designer.Data_source_type->setCurrentIndex(2);
    designer.Batch_Series->setCurrentIndex(designer.Batch_Series->findText("Code"));
    EXPECT_EQ(designer.dataText->text(), "C-1");
  });
  ASSERT_EQ(bound->data_source_type, 2);
  openWithOk(3, [this] {
    EXPECT_FALSE(designer.dataText->isReadOnly());
    EXPECT_FALSE(designer.Batch_Series->isEnabled());
    designer.dataText->setText("TYPED");
  });
  EXPECT_EQ(manual->linear_font_val, "TYPED");
  EXPECT_EQ(manual->data_source_type, 0);
  // The bound one opens with its column shown and its value field read-only.
  openWithOk(2, [this] {
    EXPECT_TRUE(designer.dataText->isReadOnly());
    EXPECT_TRUE(designer.Batch_Series->isEnabled());
    EXPECT_EQ(designer.Batch_Series->currentText(), "Code");
  });
  EXPECT_EQ(bound->data_source_type, 2);
  EXPECT_EQ(bound->linear_font_val, "C-1");
}

TEST_F(BarcodeOnCardsTest, AResolutionTheBarcodeCannotBeDrawnAtIsRefusedAndTheBarcodeKept) {
  const auto object = barcodeAt(QRectF(20, 20, 120, 60), "KEEP");
  document()->insertGraphics({object}, {0});
  answerWithNewSettings("KEEP");
  doubleClick(front(), QPointF(60, 50));
  ASSERT_FALSE(object->_barcode_image.isNull());
  const QStringList fields = barcodeFields(*object);
  const QImage picture = object->_barcode_image.pixels;

  scripted.answerModal([this](QDialog *dialog) {
    designer.DPI_ComboBox->setCurrentText("Custom");
    // An emptied field keeps the stepper's value; a number is held to its 1 to 2400.
    for (const auto &[typed, held] : {std::pair{"", 600}, {"0", 1}, {"90000", 2400}}) {
      designer.dpi_Text->setText(typed);
      emit designer.dpi_Text->editingFinished();
      EXPECT_EQ(designer.dpi_Text->text(), QString::number(held)) << typed;
      EXPECT_EQ(USED_DPI_VALUE, held) << typed;
    }
    // At 2400 dpi a barcode 30 cm high with 40 mil bars is more pixels than a picture holds.
    designer.HeightStepper->setValue(30);
    designer.widthStepper->setValue(40);
    EXPECT_FALSE(designer.previewImage().isNull());
    scripted.expectAlert();
    designer.ok_btn->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(scripted.alertTexts(),
              QStringList{"\nThe barcode cannot be drawn at 2400 dpi. Choose a lower resolution or a smaller barcode."});
    designer.cancel_btn->click();
    return dialog->result();
  });
  doubleClick(front(), QPointF(60, 50));
  EXPECT_EQ(barcodeFields(*object), fields);
  EXPECT_EQ(object->_barcode_image.pixels, picture);
}

TEST_F(BarcodeOnCardsTest, ASavedDesignKeepsItsBarcodesSettingsAndValue) {
  const auto linear = barcodeAt(QRectF(20, 20, 120, 60), "LIN");
  const auto qr = barcodeAt(QRectF(20, 120, 120, 120), "QR");
  document()->insertGraphics({linear, qr}, {0, 1});

  answerWithNewSettings("LIN");
  doubleClick(front(), QPointF(60, 50));
  scripted.answerModal([this](QDialog *dialog) {
    designer.barcodeTypePopup->setCurrentText("QR Code");
    designer.dataText_2D->setPlainText("Dear Sam,\nsorry.");
    designer.qr_ec_lvl_ComboBox->setCurrentIndex(2);
    designer.qr_version_ComboBox->setCurrentIndex(4);
    designer.HeightStepper_2D->setValue(90);
    designer.ok_btn->click();
    return dialog->result();
  });
  doubleClick(front(), QPointF(60, 180));
  ASSERT_FALSE(linear->_barcode_image.isNull());
  ASSERT_FALSE(qr->_barcode_image.isNull());
  const QStringList linearFields = barcodeFields(*linear);
  const QStringList qrFields = barcodeFields(*qr);

  const QString path = root.path() + "/Barcodes.dcard";
  Project_File_Name = path;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  // Another design in between, then the saved one again.
  document()->removeGraphicsAtIndexes({0, 1});
  ASSERT_EQ(controller->Read_and_load_design_Log(path, "L"), 1);
  const QLNGraphicList objects = controller->Get_Front_Controls_Array();
  ASSERT_EQ(objects.size(), 2);
  EXPECT_EQ(barcodeFields(*objects[0]), linearFields);
  EXPECT_EQ(barcodeFields(*objects[1]), qrFields);
  EXPECT_EQ(objects[1]->linear_or_2d, 1);
  EXPECT_EQ(decodeWithZbar(onWhite(objects[0]->_barcode_image)).texts, QStringList{"ORDER-77"});
  EXPECT_EQ(decodeWithZXing(onWhite(objects[1]->_barcode_image), "QRCode").texts,
            QStringList{"Dear Sam,\nsorry."});

  // The reopened object drawn again from its settings gives the same value.
  designer.Set_Barcode_Prop_To_Control(objects[1].get());
  designer.goButtonActionPerformed();
  EXPECT_EQ(designer.settings().QR_EC_Level_Val, 2);
  EXPECT_EQ(designer.settings().qrSize, 90);
  EXPECT_EQ(decodeWithZXing(onWhite(designer.previewImage().toImage(300)), "QRCode").texts,
            QStringList{"Dear Sam,\nsorry."});
}

// The barcode tool places an object that shows the shipped sample; the designer opens on
// that object's settings. The sample is the designer's own picture of those settings, so
// opening the designer on a new object and pressing OK changes nothing the user sees.
TEST_F(BarcodeOnCardsTest, TheToolsNewBarcodeShowsWhatTheDesignerOpensOnAndOkKeepsIt) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/barcode_sample.png"),
                          resourceDir() + "/barcode_sample.png"));
  controller->Barcode_Tool_Clicked();
  const QLNGraphicList objects = controller->Get_Front_Controls_Array();
  ASSERT_EQ(objects.size(), 1);
  const auto object = std::dynamic_pointer_cast<QLNBarcode>(objects.front());
  ASSERT_NE(object, nullptr);
  ASSERT_TRUE(object->_barcode_image.isNull());
  object->barcode_image_var_assign();
  const PointImage shown = object->_contents;
  ASSERT_FALSE(shown.isNull());
  const QRectF boundsBefore = object->bounds();
  const QStringList settingsBefore = barcodeFields(*object);

  // What the designer draws for the settings of a new barcode object.
  QLNBarcode fresh;
  designer.Set_Barcode_Prop_To_Control(&fresh);
  designer.goButtonActionPerformed();
  const CardPicture drawn = designer.previewImage();
  const PointImage expected = drawn.toImage(USED_DPI_VALUE);
  ASSERT_FALSE(expected.isNull());
  const auto argb = [](const PointImage &image) { return image.pixels.convertToFormat(QImage::Format_ARGB32); };
  EXPECT_TRUE(argb(shown) == argb(expected))
      << "resources/barcode_sample.png is not the designer's picture of a new barcode object: remake it with "
         "amends_make_barcode_sample (tools/)";
  EXPECT_NEAR(shown.points.width(), drawn.size().width(), 0.01);
  EXPECT_NEAR(shown.points.height(), drawn.size().height(), 0.01);

  // Open the designer on the new object and press OK without a change.
  scripted.answerModal([this](QDialog *dialog) {
    EXPECT_EQ(designer.dataText->text(), "0123");
    designer.ok_btn->click();
    return dialog->result();
  });
  front()->setSelected_Graphic(object);
  controller->installBarcodeCommands();
  controller->ui->Barcode_Edit_btn->click();
  ASSERT_EQ(scripted.requests().size(), 1u);
  ASSERT_FALSE(object->_barcode_image.isNull()) << "OK gave the object the designer's picture";
  object->barcode_image_var_assign();
  EXPECT_TRUE(argb(object->_contents) == argb(shown));
  EXPECT_NEAR(object->bounds().x(), boundsBefore.x(), 1e-9);
  EXPECT_NEAR(object->bounds().y(), boundsBefore.y(), 1e-9);
  EXPECT_NEAR(object->bounds().width(), boundsBefore.width(), 0.01);
  EXPECT_NEAR(object->bounds().height(), boundsBefore.height(), 0.01);
  // Every setting as it was, the custom resolution as typed included.
  EXPECT_EQ(barcodeFields(*object), settingsBefore);
  EXPECT_EQ(object->dpi_val_index, 0);
}

// A new barcode bound to a series with the data source list and OK shows the series'
// first value at once; export, print and mail then leave the design as they found it:
// the object keeps its value, picture and size, and the design counts as unchanged.
TEST_F(BarcodeOnCardsTest, OkBindingShowsTheFirstValueAndABatchRunLeavesTheDesignAsItFoundIt) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/barcode_sample.png"),
                          resourceDir() + "/barcode_sample.png"));
  QFile series(Data_Folder_Path + "/Guests.txt");
  ASSERT_TRUE(series.open(QIODevice::WriteOnly));
  series.write("GUEST-0100\nGUEST-0101\n");
  series.close();
  controller->Barcode_Tool_Clicked();
  const auto object = std::dynamic_pointer_cast<QLNBarcode>(controller->Get_Front_Controls_Array().value(0));
  ASSERT_NE(object, nullptr);

  scripted.answerModal([this](QDialog *dialog) {
    EXPECT_EQ(designer.dataText->text(), "0123");
    designer.Data_source_type->setCurrentIndex(1);
    EXPECT_EQ(designer.Batch_Series->currentText(), "Guests");
    designer.ok_btn->click();
    return dialog->result();
  });
  front()->setSelected_Graphic(object);
  controller->installBarcodeCommands();
  controller->ui->Barcode_Edit_btn->click();
  EXPECT_EQ(object->data_source_type, 1);
  EXPECT_EQ(object->batch_list_name, "Guests");
  EXPECT_EQ(object->linear_font_val, "GUEST-0100");
  EXPECT_EQ(decodeWithZbar(onWhite(object->_barcode_image)).texts, QStringList{"GUEST-0100"});

  // A barcode bound by an earlier version, which kept showing its manual value.
  const auto older = barcodeAt(QRectF(20, 120, 120, 60), "0123");
  older->data_source_type = 1;
  older->batch_list_name = "Guests";
  designer.Set_Barcode_Prop_To_Control(older.get());
  designer.goButtonActionPerformed();
  older->Set_Barcode_image(designer.previewImage().toImage(USED_DPI_VALUE));
  document()->insertGraphics({older}, {1});

  controller->markDesignUnchanged();
  const QByteArray saved = archiveGraphic(*object);
  const QByteArray olderSaved = archiveGraphic(*older);
  const QRectF bounds = object->bounds();
  const QRectF olderBounds = older->bounds();
  // Image files (no print box), then printing and mail's PDF (the print box).
  for (bool printBox : {false, true}) {
    controller->Check_Series_Or_Excel_Use_or_not();
    ASSERT_EQ(Total_Batch_Excel_Card.load(), 2);
    for (int row = 0; row < 2; ++row)
      EXPECT_FALSE(controller->Set_data_table_value_to_card(row, "F", printBox).isNull()) << row;
    controller->Select_first_row_value_for_design(printBox);
    EXPECT_EQ(archiveGraphic(*object), saved) << printBox;
    EXPECT_EQ(object->bounds(), bounds) << printBox;
    EXPECT_EQ(archiveGraphic(*older), olderSaved) << printBox;
    EXPECT_EQ(older->bounds(), olderBounds) << printBox;
    EXPECT_FALSE(controller->isDesignChanged()) << printBox;
  }
}

// A barcode bound to "Sorry " (a name an earlier version wrote) beside a series "Sorry":
// OK without a change leaves the design unchanged, and its cards take the values of
// "Sorry ", not of "Sorry".
TEST_F(BarcodeOnCardsTest, OkWithoutAChangeKeepsABindingToANameWithASpace) {
  for (const auto &[name, values] : {std::pair{"Sorry", "S-1\nS-2\n"}, {"Sorry ", "T-1\nT-2\n"}}) {
    QFile series(Data_Folder_Path + "/" + name + ".txt");
    ASSERT_TRUE(series.open(QIODevice::WriteOnly));
    series.write(values);
  }
  const auto object = barcodeAt(QRectF(20, 20, 120, 60), "T-1");
  object->data_source_type = 1;
  object->batch_list_name = "Sorry ";
  object->batch_list_index = 4;
  // The picture the object was saved with.
  designer.Set_Barcode_Prop_To_Control(object.get());
  designer.goButtonActionPerformed();
  object->Set_Barcode_image(designer.previewImage().toImage(USED_DPI_VALUE));
  document()->insertGraphics({object}, {0});
  controller->markDesignUnchanged();

  scripted.answerModal([this](QDialog *dialog) {
    EXPECT_EQ(designer.Batch_Series->currentText(), "Sorry ");
    designer.ok_btn->click();
    return dialog->result();
  });
  doubleClick(front(), QPointF(60, 50));
  ASSERT_EQ(scripted.requests().size(), 1u);
  EXPECT_EQ(object->batch_list_name, "Sorry ");
  EXPECT_EQ(object->batch_list_index, 4);
  EXPECT_FALSE(controller->isDesignChanged());

  controller->Check_Series_Or_Excel_Use_or_not();
  const auto run = controller->batchCardSource();
  ASSERT_EQ(run->cardCount(), 2);
  for (int row = 0; row < 2; ++row) {
    const QLNGraphicList card = run->cardObjects(row, false);
    ASSERT_EQ(card.size(), 1);
    EXPECT_EQ(decodeWithZbar(onWhite(card.first()->_barcode_image)).texts,
              QStringList{QString("T-%1").arg(row + 1)});
  }
  controller->Select_first_row_value_for_design(false);

  // Chosen in the list, "Sorry" is bound and shown by its own name.
  scripted.answerModal([this](QDialog *dialog) {
    designer.Batch_Series->setCurrentIndex(designer.Batch_Series->findText("Sorry"));
    EXPECT_EQ(designer.dataText->text(), "S-1");
    designer.ok_btn->click();
    return dialog->result();
  });
  doubleClick(front(), QPointF(60, 50));
  EXPECT_EQ(object->batch_list_name, "Sorry");
  EXPECT_EQ(object->linear_font_val, "S-1");
}
