// The designer's option handlers: each control acts at once on the preview. A handler
// copies the new value between a stepper and its text field, and redraws in one of
// these ways: a full rebuild from value, header and footer (goButtonActionPerformed);
// the linear barcode's height and image, its image alone, or its bar width and image
// (heightAndImage, imageOnly, barWidthStep: nothing while there is no testBarcode); or
// the two-dimensional symbol recomposed with its header and footer
// (Get_2d_barcode_from_image). The renderers read every setting from the controls
// through settings(), so a handler only has to put the value in place and redraw.

#include "barcode/Barcode_Gen.h"

#include "barcode/BarcodeGeometry.h"
#include "barcode/encoding/BRCBarcode.h"
#include "core/Globals.h"
#include "core/Long_SMS_Dlg.h"
#include "core/QLNGraphic.h"
#include "core/Utilities.h"
#include "mainwindow/QLNWindowController.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>
#include <exception>

namespace {

// Copies a float pair: from the stepper into the text field, or from the text field into
// the stepper. The stepper holds the value within its range, and the text field is
// written back from it, so both always show the same number (text that is no number
// counts as 0 and so becomes the stepper's minimum).
void copyFloatPair(QObject *sender, QDoubleSpinBox *stepper, QLineEdit *text) {
  if (sender != stepper) {
    const QSignalBlocker block(stepper);
    stepper->setValue(text->text().trimmed().toDouble());
  }
  text->setText(QString::number(stepper->value(), 'g', 6));
}

// The same for an integer pair; the text field shows the integer without decimals.
void copyIntPair(QObject *sender, QDoubleSpinBox *stepper, QLineEdit *text) {
  if (sender != stepper) {
    const QSignalBlocker block(stepper);
    stepper->setValue(std::trunc(text->text().trimmed().toDouble()));
  }
  text->setText(QString::number(int(stepper->value())));
}

void showHelp(const QString &title, const QString &text) {
  Cutom_Msg_Title = title;
  Cutom_Msg_Val = text;
  Long_SMS_Dlg::defaultInstance()->Open_Long_sms_Dialog();
}

void logFailure(const std::exception &error) { Show_NSLog_Message(QString::fromUtf8(error.what())); }

}  // namespace

void Barcode_Gen::connectOptionHandlers() {
  connect(val_font_btn, &QPushButton::clicked, this, [this] { Value_Font_Changed(); });
  connect(hdr_font_btn, &QPushButton::clicked, this, [this] { Header_Font_Changed(); });
  connect(ftr_font_btn, &QPushButton::clicked, this, [this] { Footer_Font_Changed(); });

  Set_Text_Change_Notification();
  for (QLineEdit *text : {dataText, HeaderText, FooterText})
    connect(text, &QLineEdit::editingFinished, this, [this, text] { textDidEndEditing(text); });
  connect(dataText_2D, &QPlainTextEdit::textChanged, this, [this] { textDidChange(dataText_2D); });

  for (QComboBox *combo : {DPI_ComboBox, Data_source_type, Batch_Series, qr_enc_mode_ComboBox, qr_version_ComboBox,
                           qr_ec_lvl_ComboBox, dm_format_ComboBox, dm_encoding_ComboBox, align_hdr_combo,
                           align_ftr_combo, bar_orient_combo, bar_align_combo})
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { comboBoxSelectionDidChange(combo); });
  // The series (or column) the list shows when it is filled is chosen by choosing it
  // again, which changes no selection.
  connect(Batch_Series, &QComboBox::activated, this, [this](int index) {
    if (index != m_boundListIndex)
      comboBoxSelectionDidChange(Batch_Series);
  });

  using Handler = void (Barcode_Gen::*)(QObject *);
  const auto pair = [this](QDoubleSpinBox *stepper, QLineEdit *text, Handler handler) {
    connect(stepper, &QDoubleSpinBox::valueChanged, this, [this, stepper, handler] { (this->*handler)(stepper); });
    connect(text, &QLineEdit::editingFinished, this, [this, text, handler] { (this->*handler)(text); });
  };
  pair(val_mar_Stepper, val_mar_Text, &Barcode_Gen::Value_Margin_Changed);
  pair(hdr_mar_Stepper, hdr_mar_Text, &Barcode_Gen::Header_Margin_Changed);
  pair(ftr_mar_Stepper, ftr_mar_Text, &Barcode_Gen::Footer_Margin_Changed);
  pair(TB_mar_Stepper, TB_mar_Text, &Barcode_Gen::TB_Margin_Changed);
  pair(LR_mar_Stepper, LR_mar_Text, &Barcode_Gen::LR_Margin_Changed);
  pair(HeightStepper, HeightText, &Barcode_Gen::heightChanged);
  pair(HeightStepper_2D, HeightText_2D, &Barcode_Gen::heightChanged);
  pair(widthStepper, widthText, &Barcode_Gen::widthChanged);
  pair(Pdf_widthStepper_2D, Pdf_widthText_2D, &Barcode_Gen::widthChanged);
  pair(pdf_HeightStepper_2D, pdf_HeightText_2D, &Barcode_Gen::pdf_heightChanged);
  pair(pdf_row_Stepper, pdf_row_Text, &Barcode_Gen::PDF_Row_Changed);
  pair(pdf_col_Stepper, pdf_col_Text, &Barcode_Gen::PDF_Col_Changed);
  pair(pdf_ec_lvl_Stepper, pdf_ec_lvl_Text, &Barcode_Gen::PDF_EC_Lvl_Changed);
  pair(dm_widthStepper_2D, dm_widthText_2D, &Barcode_Gen::dm_widthChanged);
  pair(dm_HeightStepper_2D, dm_HeightText_2D, &Barcode_Gen::dm_heightChanged);
  pair(dm_moduleStepper_2D, dm_moduleText_2D, &Barcode_Gen::dm_modulesizeChanged);

  connect(captionCheckbox, &QCheckBox::toggled, this, [this] { captionChanged(); });
  connect(showinTopCheckbox, &QCheckBox::toggled, this, [this] { showinTopChanged(); });
  connect(hideHeaderCheckbox, &QCheckBox::toggled, this, [this] { hideHeaderChanged(); });
  connect(hideFooterCheckbox, &QCheckBox::toggled, this, [this] { hideFooterChanged(); });
  connect(kerning_value_Checkbox, &QCheckBox::toggled, this, [this] { Set_Font_Clr(); });

  connect(bar_hdr_clr, &BarcodeColorWell::colorChosen, this, [this] { Header_Color_Changed(); });
  for (BarcodeColorWell *well : {bar_ftr_clr, bar_val_clr, bar_back_clr, barcode_clr})
    connect(well, &BarcodeColorWell::colorChosen, this, [this] { Set_Font_Clr(); });

  connect(qr_version_help_btn, &QPushButton::clicked, this, [this] { QR_Version_Help_Btn(); });
  connect(qr_ec_lvl_help_btn, &QPushButton::clicked, this, [this] { QR_EC_Lvl_Help_Btn(); });
  connect(pdf_row_help_btn, &QPushButton::clicked, this, [this] { PDF_row_Help_btn(); });
  connect(pdf_col_help_btn, &QPushButton::clicked, this, [this] { PDF_col_Help_btn(); });
  connect(pdf_ec_lvl_help_btn, &QPushButton::clicked, this, [this] { PDF_ec_lvl_Help_btn(); });
  connect(dm_format_help_btn, &QPushButton::clicked, this, [this] { DM_format_Help_btn(); });
  connect(dm_encoding_help_btn, &QPushButton::clicked, this, [this] { DM_Encoding_Help_btn(); });
  // The custom resolution fields show only while "Custom" is chosen.
  comboBoxSelectionDidChange(DPI_ComboBox);
}

// ---- Redraw steps

void Barcode_Gen::heightAndImage() {
  if (!testBarcode)
    return;
  const BarcodeSettings s = settings();
  testBarcode->setDesignerSettings(modelSettings(s));
  if (s.barHeightEnabled)
    Set_Barcode_Height(s, *testBarcode);
  Get_Image_From_Barcode(testBarcode.get());
}

void Barcode_Gen::imageOnly() {
  if (testBarcode)
    Get_Image_From_Barcode(testBarcode.get());
}

void Barcode_Gen::barWidthStep() {
  if (!testBarcode)
    return;
  const BarcodeSettings s = settings();
  testBarcode->setDesignerSettings(modelSettings(s));
  testBarcode->setBarWidth(float(widthStepper->value() / 1000.0 * 72.0));
  testBarcode->calculateWidth();
  testBarcode->setWidth(Set_Linear_Barcode_Width(s, *testBarcode));
  Get_Image_From_Barcode(testBarcode.get());
}

void Barcode_Gen::twoDHeaderFooter() {
  // The texts, switches, font sizes and text measures follow the controls; the symbol
  // and its content stay.
  twoD = twoDTexts(settings(), twoD.content, HeaderText->text(), FooterText->text());
}

// ---- Fonts

void Barcode_Gen::Value_Font_Changed() {
  if (const std::optional<QFont> chosen = UiServices::instance().chooseFont(value_font.toQFont(), tr("Value font")))
    changeFont(*chosen);
}

void Barcode_Gen::Header_Font_Changed() {
  if (const std::optional<QFont> chosen = UiServices::instance().chooseFont(header_font.toQFont(), tr("Header font")))
    header_changeFont(*chosen);
}

void Barcode_Gen::Footer_Font_Changed() {
  if (const std::optional<QFont> chosen = UiServices::instance().chooseFont(footer_font.toQFont(), tr("Footer font")))
    footer_changeFont(*chosen);
}

void Barcode_Gen::applyChosenFont(const QFont &chosen, FontSpec &font, QLabel *label,
                                  void (BRCBarcode::*setFontSize)(float)) {
  try {
    font = FontSpec::fromQFont(chosen, font);
    setFontLabel(label, font);
    if (Not_Draw_Only_Prop_Change)
      return;
    if (liner_or_2D_font != 0) {
      twoDHeaderFooter();
      Get_2d_barcode_from_image();
    } else if (testBarcode) {
      // The model measures the text in its own copy of the fonts.
      testBarcode->setDesignerSettings(modelSettings(settings()));
      (testBarcode.get()->*setFontSize)(float(font.pointSize()));
      heightAndImage();
    }
  } catch (const std::exception &error) {
    logFailure(error);
  }
}

void Barcode_Gen::changeFont(const QFont &font) {
  applyChosenFont(font, value_font, value_font_value, &BRCBarcode::setCaptionFontSize);
}

void Barcode_Gen::header_changeFont(const QFont &font) {
  applyChosenFont(font, header_font, header_font_value, &BRCBarcode::setHeaderFontSize);
}

void Barcode_Gen::footer_changeFont(const QFont &font) {
  applyChosenFont(font, footer_font, footer_font_value, &BRCBarcode::setFooterFontSize);
}

// ---- Texts

void Barcode_Gen::textDidEndEditing(QObject *sender) {
  if (Not_Draw_Only_Prop_Change)
    return;
  if (sender != dataText && sender != HeaderText && sender != FooterText && sender != dataText_2D)
    return;
  try {
    if (liner_or_2D_font == 0 || sender == dataText_2D) {
      goButtonActionPerformed();
    } else {
      twoDHeaderFooter();
      Get_2d_barcode_from_image();
    }
  } catch (const std::exception &error) {
    logFailure(error);
  }
}

void Barcode_Gen::controlTextDidChange(QObject *sender) {
  if (Not_Draw_Only_Prop_Change)
    return;
  if (sender != dataText && sender != HeaderText && sender != FooterText && sender != dataText_2D)
    return;
  try {
    if (liner_or_2D_font == 0) {
      goButtonActionPerformed();
    } else if (sender != dataText_2D) {
      twoDHeaderFooter();
      Get_2d_barcode_from_image();
    }
  } catch (const std::exception &error) {
    logFailure(error);
  }
}

void Barcode_Gen::textDidChange(QObject *sender) {
  if (Not_Draw_Only_Prop_Change || sender != dataText_2D)
    return;
  try {
    goButtonActionPerformed();
  } catch (const std::exception &error) {
    logFailure(error);
  }
}

// ---- Lists

void Barcode_Gen::comboBoxSelectionDidChange(QObject *sender) {
  try {
    // The resolution follows the list also while an object's settings are loaded, so
    // the loaded object is drawn at its own resolution.
    if (sender == DPI_ComboBox)
      return resolutionListChanged();
    if (Not_Draw_Only_Prop_Change)
      return;
    if (sender == Data_source_type)
      dataSourceTypeChanged();
    else if (sender == Batch_Series)
      boundSeriesChanged();
    else if (liner_or_2D_font != 0)
      twoDimensionalListChanged(sender);
    else if (!testBarcode)
      return;
    else if (sender == align_hdr_combo || sender == align_ftr_combo || sender == bar_orient_combo)
      imageOnly();
    else if (sender == bar_align_combo)
      barcodeAlignmentChanged();
  } catch (const std::exception &error) {
    logFailure(error);
  }
}

void Barcode_Gen::resolutionListChanged() {
  const QString item = DPI_ComboBox->currentText();
  const bool custom = item == QLatin1String("Custom");
  dpi_Stepper->setVisible(custom);
  dpi_Text->setVisible(custom);
  if (custom)
    USED_DPI_VALUE = int(dpi_Stepper->value());
  else if (item == QLatin1String("Auto"))
    USED_DPI_VALUE = 600;
  else if (const int dpi = item.toInt(); dpi > 0)
    USED_DPI_VALUE = dpi;
}

// Manual data, a series or a spreadsheet column: the list of the bound series or
// columns is filled for the choice, and the barcode object takes it.
void Barcode_Gen::dataSourceTypeChanged() {
  const int choice = Data_source_type->currentIndex();
  const bool listed = showDataSource(choice);
  if (choice <= 0) {
    if (pass_barcode_control)
      pass_barcode_control->Set_Data_source_type(0);
  } else if (choice == 1) {
    if (!listed) {
      Show_MessageBox(QStringLiteral("Please create batch processing series first."));
      return;
    }
    if (pass_barcode_control)
      pass_barcode_control->Set_Data_source_type(1);
  } else if (pass_barcode_control) {
    pass_barcode_control->Set_Data_source_type(2);
  }
  goButtonActionPerformed();
}

bool Barcode_Gen::showDataSource(int choice) {
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  const bool manual = choice <= 0;
  view_series_btn->setEnabled(!manual && bool(viewSeries()));
  Batch_Series->setEnabled(!manual);
  dataText->setReadOnly(!manual);
  dataText_2D->setReadOnly(!manual);
  m_boundListIndex = -1;
  if (manual)
    return true;
  // Filling the list is no choice of the user: it binds nothing.
  const QSignalBlocker block(Batch_Series);
  Batch_Series->clear();
  if (choice == 1) {
    Batch_Series->clearEditText();
    const QStringList series = QLNWindowController::Get_datasheet_File_Name_Array();
    if (series.isEmpty())
      return false;
    Batch_Series->addItems(series);
    if (pass_barcode_control && !pass_barcode_control->batch_list_name.isEmpty()) {
      Batch_Series->setCurrentIndex(-1);
      Batch_Series->setCurrentIndex(Batch_Series->findText(pass_barcode_control->batch_list_name));
    }
    return true;
  }
  if (controller)
    controller->Fill_Excel_Col_Name_In_Combo(Batch_Series);
  if (pass_barcode_control)
    Batch_Series->setCurrentIndex(pass_barcode_control->excel_col_indx);
  return true;
}

// The series or column chosen: the barcode object is bound to it and shows its first
// value (read through the main window; without one the value field stays as it is).
// A series name is taken as the list shows it: "Sorry " is another series than "Sorry".
void Barcode_Gen::boundSeriesChanged() {
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  const QString name = Batch_Series->currentText();
  const int index = Batch_Series->currentIndex();
  if (Trim_Str(name).isEmpty() || !pass_barcode_control)
    return;
  m_boundListIndex = index;
  QString value;
  if (Data_source_type->currentIndex() == 2) {
    pass_barcode_control->Set_Excel_binding_Index(index);
    if (controller)
      value = controller->Get_First_Value_Of_Excel_Binding(index);
  } else {
    pass_barcode_control->Set_Batch_List_Name(name);
    pass_barcode_control->Set_Batch_List_Index(index);
    if (controller)
      value = controller->Get_First_Value_Of_Dataset(name);
  }
  if (!controller)
    return;
  showValue(value);
  goButtonActionPerformed();
  controller->Refresh_Canvas();
}

// A list of the QR or Data Matrix options.
void Barcode_Gen::twoDimensionalListChanged(QObject *sender) {
  if (sender == qr_version_ComboBox)
    Check_And_Set_QR_size_Acc_Version(std::max(0, qr_version_ComboBox->currentIndex()));
  else if (sender == dm_format_ComboBox)
    data_matrix_barcode_size_acc_format();
  if (sender == qr_enc_mode_ComboBox || sender == qr_version_ComboBox || sender == qr_ec_lvl_ComboBox ||
      sender == dm_format_ComboBox || sender == dm_encoding_ComboBox)
    goButtonActionPerformed();
}

void Barcode_Gen::barcodeAlignmentChanged() {
  static const QHash<QString, Qt::Alignment> alignments = {
      {QStringLiteral("Center"), Qt::AlignCenter},
      {QStringLiteral("Top"), Qt::AlignTop | Qt::AlignHCenter},
      {QStringLiteral("TopLeft"), Qt::AlignTop | Qt::AlignLeft},
      {QStringLiteral("TopRight"), Qt::AlignTop | Qt::AlignRight},
      {QStringLiteral("Left"), Qt::AlignLeft | Qt::AlignVCenter},
      {QStringLiteral("Bottom"), Qt::AlignBottom | Qt::AlignHCenter},
      {QStringLiteral("BottomLeft"), Qt::AlignBottom | Qt::AlignLeft},
      {QStringLiteral("BottomRight"), Qt::AlignBottom | Qt::AlignRight},
      {QStringLiteral("Right"), Qt::AlignRight | Qt::AlignVCenter}};
  const auto found = alignments.constFind(bar_align_combo->currentText());
  if (found != alignments.constEnd())
    barcodeImage->setAlignment(*found);
}

void Barcode_Gen::barcodeTypeChanged() {
  // Loading an object selects its symbology itself and then its panels.
  if (Not_Draw_Only_Prop_Change)
    return;
  const QString name = barcodeTypePopup->currentText();
  if (isTwoDimensionalSymbology(name))
    two_d_barcode_Opt_Select();
  else
    Liner_Barcode_Opt_Select();
  _setLabels();
  const QString value = liner_or_2D_font != 0 ? dataText_2D->toPlainText() : dataText->text();
  if (liner_or_2D_font == 0) {
    for (QWidget *control : std::initializer_list<QWidget *>{
             HeightStepper, HeightText, widthStepper, widthText, captionCheckbox, hideHeaderCheckbox,
             hideFooterCheckbox, FooterText, val_mar_Text, hdr_mar_Text, ftr_mar_Text, val_mar_Stepper,
             hdr_mar_Stepper, ftr_mar_Stepper, align_hdr_combo, align_ftr_combo, showinTopCheckbox,
             kerning_value_Checkbox})
      control->setEnabled(true);
  }
  if (value.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please enter barcode value"));
    Set_Blank_Image();
    return;
  }
  if (!spreadsValue(name))
    kerning_value_Checkbox->setEnabled(false);
  try {
    goButtonActionPerformed();
  } catch (const std::exception &error) {
    logFailure(error);
  }
}

// ---- Margins and sizes

void Barcode_Gen::Value_Margin_Changed(QObject *sender) {
  copyFloatPair(sender, val_mar_Stepper, val_mar_Text);
  if (!Not_Draw_Only_Prop_Change && liner_or_2D_font == 0)
    heightAndImage();
}

void Barcode_Gen::Header_Margin_Changed(QObject *sender) {
  copyFloatPair(sender, hdr_mar_Stepper, hdr_mar_Text);
  if (Not_Draw_Only_Prop_Change)
    return;
  if (liner_or_2D_font != 0)
    Get_2d_barcode_from_image();
  else
    heightAndImage();
}

void Barcode_Gen::Footer_Margin_Changed(QObject *sender) {
  copyFloatPair(sender, ftr_mar_Stepper, ftr_mar_Text);
  if (Not_Draw_Only_Prop_Change)
    return;
  if (liner_or_2D_font != 0)
    Get_2d_barcode_from_image();
  else
    heightAndImage();
}

void Barcode_Gen::TB_Margin_Changed(QObject *sender) {
  copyFloatPair(sender, TB_mar_Stepper, TB_mar_Text);
  if (Not_Draw_Only_Prop_Change)
    return;
  if (liner_or_2D_font != 0)
    Get_2d_barcode_from_image();
  else
    heightAndImage();
}

void Barcode_Gen::LR_Margin_Changed(QObject *sender) {
  copyFloatPair(sender, LR_mar_Stepper, LR_mar_Text);
  if (Not_Draw_Only_Prop_Change)
    return;
  // The left and right margins enter the width only.
  if (liner_or_2D_font != 0)
    Get_2d_barcode_from_image();
  else
    barWidthStep();
}

void Barcode_Gen::heightChanged(QObject *sender) {
  if (sender == HeightStepper_2D || sender == HeightText_2D)
    copyIntPair(sender, HeightStepper_2D, HeightText_2D);
  else
    copyFloatPair(sender, HeightStepper, HeightText);
  if (Not_Draw_Only_Prop_Change)
    return;
  if (liner_or_2D_font != 0)
    goButtonActionPerformed();
  else
    heightAndImage();
}

void Barcode_Gen::widthChanged(QObject *sender) {
  if (sender == Pdf_widthStepper_2D || sender == Pdf_widthText_2D)
    copyIntPair(sender, Pdf_widthStepper_2D, Pdf_widthText_2D);
  else
    copyFloatPair(sender, widthStepper, widthText);
  if (Not_Draw_Only_Prop_Change)
    return;
  if (liner_or_2D_font != 0)
    goButtonActionPerformed();
  else
    barWidthStep();
}

void Barcode_Gen::pdf_heightChanged(QObject *sender) {
  copyIntPair(sender, pdf_HeightStepper_2D, pdf_HeightText_2D);
  if (!Not_Draw_Only_Prop_Change)
    goButtonActionPerformed();
}

void Barcode_Gen::PDF_Row_Changed(QObject *sender) {
  try {
    copyIntPair(sender, pdf_row_Stepper, pdf_row_Text);
    if (!Not_Draw_Only_Prop_Change)
      goButtonActionPerformed();
  } catch (const std::exception &) {
  }
}

void Barcode_Gen::PDF_Col_Changed(QObject *sender) {
  try {
    copyIntPair(sender, pdf_col_Stepper, pdf_col_Text);
    if (!Not_Draw_Only_Prop_Change)
      goButtonActionPerformed();
  } catch (const std::exception &) {
  }
}

void Barcode_Gen::PDF_EC_Lvl_Changed(QObject *sender) {
  try {
    copyIntPair(sender, pdf_ec_lvl_Stepper, pdf_ec_lvl_Text);
    pdf_barcode.setErrorLevel(int(pdf_ec_lvl_Stepper->value()));
    if (!Not_Draw_Only_Prop_Change)
      goButtonActionPerformed();
  } catch (const std::exception &) {
  }
}

void Barcode_Gen::dm_widthChanged(QObject *sender) {
  copyIntPair(sender, dm_widthStepper_2D, dm_widthText_2D);
  if (!Not_Draw_Only_Prop_Change)
    goButtonActionPerformed();
}

void Barcode_Gen::dm_heightChanged(QObject *sender) {
  copyIntPair(sender, dm_HeightStepper_2D, dm_HeightText_2D);
  if (!Not_Draw_Only_Prop_Change)
    goButtonActionPerformed();
}

void Barcode_Gen::dm_modulesizeChanged(QObject *sender) {
  copyIntPair(sender, dm_moduleStepper_2D, dm_moduleText_2D);
  if (Not_Draw_Only_Prop_Change)
    return;
  // Only a step of the stepper makes the size fields follow the module size.
  if (sender == dm_moduleStepper_2D)
    data_matrix_barcode_size_acc_format();
  goButtonActionPerformed();
}

void Barcode_Gen::data_matrix_barcode_size_acc_format() {
  const int module = int(dm_moduleStepper_2D->value());
  const QString format = dm_format_ComboBox->currentText();
  if (format.isEmpty() || format == QLatin1String("Auto"))
    return;
  const QString size = format.mid(1);
  const int x = size.indexOf(QLatin1Char('X'));
  const int rows = x < 0 ? 0 : size.left(x).trimmed().toInt();
  const int columns = x < 0 ? 0 : size.mid(x + 1).trimmed().toInt();
  // The fields only grow here.
  const auto grow = [](QDoubleSpinBox *stepper, QLineEdit *text, int needed) {
    if (int(stepper->value()) >= needed)
      return;
    const QSignalBlocker block(stepper);
    stepper->setValue(needed);
    text->setText(QString::number(int(stepper->value())));
  };
  grow(dm_widthStepper_2D, dm_widthText_2D, columns * module);
  grow(dm_HeightStepper_2D, dm_HeightText_2D, rows * module);
}

// ---- Switches and colours

void Barcode_Gen::captionChanged() {
  const int prints = Get_Print_State();
  if (Not_Draw_Only_Prop_Change)
    return;
  if (liner_or_2D_font != 0) {
    twoDHeaderFooter();
    Get_2d_barcode_from_image();
  } else if (testBarcode) {
    testBarcode->setPrintsCaption(prints == 1);
    heightAndImage();
  }
}

void Barcode_Gen::showinTopChanged() {
  if (Not_Draw_Only_Prop_Change || liner_or_2D_font != 0 || !testBarcode)
    return;
  testBarcode->setPrintsCaption(!captionCheckbox->isChecked());
  heightAndImage();
}

void Barcode_Gen::hideHeaderChanged() {
  if (Not_Draw_Only_Prop_Change)
    return;
  const bool prints = !hideHeaderCheckbox->isChecked();
  if (liner_or_2D_font != 0) {
    twoDHeaderFooter();
    twoD.printsHeader = prints;
    Get_2d_barcode_from_image();
  } else if (testBarcode) {
    testBarcode->setPrintsHeader(prints);
    heightAndImage();
  }
}

void Barcode_Gen::hideFooterChanged() {
  if (Not_Draw_Only_Prop_Change)
    return;
  const bool prints = !hideFooterCheckbox->isChecked();
  if (liner_or_2D_font != 0) {
    twoDHeaderFooter();
    twoD.printsFooter = prints;
    Get_2d_barcode_from_image();
  } else if (testBarcode) {
    testBarcode->setPrintsFooter(prints);
    heightAndImage();
  }
}

void Barcode_Gen::Header_Color_Changed() { Set_Font_Clr(); }

void Barcode_Gen::Set_Font_Clr() {
  if (Not_Draw_Only_Prop_Change)
    return;
  if (liner_or_2D_font != 0)
    Get_2d_barcode_from_image();
  else
    imageOnly();
}

// ---- Help

void Barcode_Gen::QR_Version_Help_Btn() {
  showHelp(QStringLiteral("Version :"),
           QStringLiteral("Version is configuration or number of modules (combination of black and white dots)."));
}

void Barcode_Gen::QR_EC_Lvl_Help_Btn() {
  showHelp(QStringLiteral("Error correction (EC) level :"),
           QStringLiteral("An error-correction mechanism is built in each symbol so that the symbol can still be "
                          "decoded even if it is damaged."));
}

void Barcode_Gen::PDF_row_Help_btn() {
  showHelp(QStringLiteral("PDF Rows :"), QStringLiteral("Number of rows in the PDF barcode."));
}

void Barcode_Gen::PDF_col_Help_btn() {
  showHelp(QStringLiteral("PDF Columns :"), QStringLiteral("Number of columns in the PDF barcode."));
}

void Barcode_Gen::PDF_ec_lvl_Help_btn() {
  showHelp(QStringLiteral("PDF EC Level :"),
           QStringLiteral("An error-correction mechanism is built in each symbol so that the symbol can still be "
                          "decoded even if it is damaged in PDF barcode."));
}

void Barcode_Gen::DM_format_Help_btn() {
  showHelp(QStringLiteral("Preferred Format :"),
           QStringLiteral("Preferred Mode determines the smallest size of the symbol."));
}

void Barcode_Gen::DM_Encoding_Help_btn() {
  showHelp(QStringLiteral("Encoding Mode :"),
           QStringLiteral("Encoding Mode is mode of compaction to encode data in the symbol."));
}
