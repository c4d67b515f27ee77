#include "barcode/Barcode_Gen.h"

#include "barcode/BRCBarcodeOffscreenView.h"
#include "barcode/encoding/BRCBarcode.h"
#include "core/Globals.h"
#include "core/Long_SMS_Dlg.h"
#include "core/QLNBarcode.h"
#include "core/Utilities.h"
#include "dataseries/Data_From_Excel.h"
#include "platform/MainThread.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <exception>

Barcode_Gen *Barcode_Gen_Var = nullptr;
CardPicture Barcode_output_image;
int USED_DPI_VALUE = 600;
int Measument_Unit_Is = 0;
int last_unit_val = 0;
int Barcode_module_size = 1;

namespace {
Barcode_Gen *barcode_gen_def_inst = nullptr;

// Sets Not_Draw_Only_Prop_Change for its life and clears it on every way out.
class FillGuard {
public:
  FillGuard() { Not_Draw_Only_Prop_Change = 1; }
  ~FillGuard() { Not_Draw_Only_Prop_Change = 0; }
  FillGuard(const FillGuard &) = delete;
  FillGuard &operator=(const FillGuard &) = delete;
};

QString number(double value) { return QString::number(value, 'g', 6); }
int checkState(const QCheckBox *box) { return box->isChecked() ? 1 : 0; }

void setPair(QLineEdit *text, QDoubleSpinBox *stepper, double value) {
  stepper->setValue(value);
  text->setText(number(value));
}

bool isAsciiText(const QString &text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

// The resolution "Auto" draws at, also the one of a custom value that is no number.
constexpr int DefaultDpi = 600;
// The font of the value, header and footer until one is chosen.
FontSpec firstFont() { return FontSpec(QStringLiteral("Times New Roman"), 10.0); }

QString tooLargeAt(int dpi) {
  return QStringLiteral("The barcode cannot be drawn at %1 dpi. Choose a lower resolution or a smaller barcode.")
      .arg(dpi);
}
}  // namespace

bool Barcode_Gen::spreadsValue(const QString &symbology) {
  return symbology != QLatin1String("UPCE") && symbology != QLatin1String("UPCA") &&
         symbology != QLatin1String("EAN-8") && symbology != QLatin1String("EAN-13");
}

Barcode_Gen::Barcode_Gen() {
  buildWindow();
  connectActions();
  keepInGlobal(barcode_gen_def_inst, this);
  // Its load step (awakeFromNib) names it in Barcode_Gen_Var as well.
  clearWhenDeleted(Barcode_Gen_Var, this);
}

Barcode_Gen::~Barcode_Gen() = default;

QDialog *Barcode_Gen::window() const { return m_window; }

Barcode_Gen *Barcode_Gen::defaultInstance() { return barcode_gen_def_inst; }

Barcode_Gen *Barcode_Gen::sharedInstance() {
  return keptInstance(barcode_gen_def_inst, [] {
    auto *designer = new Barcode_Gen;
    designer->awakeFromNib();
    return designer;
  });
}

BarcodeSettings Barcode_Gen::settingsOf(QLNGraphic *object) {
  Set_Barcode_Prop_To_Control(object);
  return settings();
}

std::shared_ptr<BRCBarcode> Barcode_Gen::testBarcode_EXP() const {
  std::lock_guard lock(m_expMutex);
  return m_testBarcode_EXP;
}

void Barcode_Gen::connectActions() {
  connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(); });
  connect(cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Btn_Clicked(); });
  connect(encode_btn, &QPushButton::clicked, this, [this] { Encode_btn(); });
  connect(view_series_btn, &QPushButton::clicked, this, [this] { View_batch_Series_Button(); });
  view_series_btn->setEnabled(bool(viewSeries()));
  connect(barcodeTypePopup, &QComboBox::currentIndexChanged, this, [this] { barcodeTypeChanged(); });
  connect(dpi_Stepper, &QDoubleSpinBox::valueChanged, this, [this] { DPI_Value_Changed(dpi_Stepper); });
  connect(dpi_Text, &QLineEdit::editingFinished, this, [this] { DPI_Value_Changed(dpi_Text); });
  connect(dpi_help_btn, &QPushButton::clicked, this, [] {
    Cutom_Msg_Title = QStringLiteral("DPI (Dots Per Inch) :");
    Cutom_Msg_Val = QStringLiteral("Dots per inch is a measure of the resolution of printers in terms of Print "
                                   "Quality.\n\nBigger the DPI, Better the Print Quality. But File size of image also "
                                   "increases, as you choose bigger DPI.");
    Long_SMS_Dlg::defaultInstance()->Open_Long_sms_Dialog();
  });
  connectOptionHandlers();
}

void Barcode_Gen::setFontLabel(QLabel *label, const FontSpec &font) {
  label->setText(QStringLiteral("%1 ( %2 )").arg(font.postScriptName()).arg(font.pointSize(), 0, 'f', 2));
}

void Barcode_Gen::awakeFromNib() {
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor(241, 244, 250));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);

  Barcode_Gen_Var = defaultInstance();
  liner_or_2D_font = 0;
  {
    FillGuard guard;
    if (sett_tab->count() == 4)
      sett_tab->removeTab(3);
    dataText->setText(QStringLiteral("0123"));
    dataText_2D->setPlainText(QStringLiteral("0123"));
    HeaderText->setText(QStringLiteral("HEADER"));
    FooterText->setText(QStringLiteral("FOOTER"));
    Measument_Unit_Is = 1;
    last_unit_val = 1;
    setPair(HeightText_2D, HeightStepper_2D, 60);
    setPair(HeightText, HeightStepper, 1.5);
    setPair(widthText, widthStepper, 13);
    setPair(pdf_HeightText_2D, pdf_HeightStepper_2D, 60);
    setPair(Pdf_widthText_2D, Pdf_widthStepper_2D, 180);
    setPair(pdf_ec_lvl_Text, pdf_ec_lvl_Stepper, 2);
    setPair(pdf_row_Text, pdf_row_Stepper, 0);
    setPair(pdf_col_Text, pdf_col_Stepper, 3);
    setPair(dm_moduleText_2D, dm_moduleStepper_2D, 3);
    for (auto [text, step] : {std::pair{hdr_mar_Text, hdr_mar_Stepper}, {ftr_mar_Text, ftr_mar_Stepper},
                              {val_mar_Text, val_mar_Stepper}, {TB_mar_Text, TB_mar_Stepper},
                              {LR_mar_Text, LR_mar_Stepper}})
      setPair(text, step, 0.1);
    setPair(dpi_Text, dpi_Stepper, USED_DPI_VALUE);
    setFontLabel(value_font_value, value_font);
    setFontLabel(header_font_value, header_font);
    setFontLabel(footer_font_value, footer_font);
    align_hdr_combo->setCurrentIndex(1);
    align_ftr_combo->setCurrentIndex(1);
    for (QComboBox *combo : {qr_enc_mode_ComboBox, qr_version_ComboBox, qr_ec_lvl_ComboBox, bar_align_combo,
                             bar_orient_combo, DPI_ComboBox})
      combo->setCurrentIndex(0);
    image_scroll->setWidget(barcodeImage);
    _setLabels();

    qr_version_ComboBox->clear();
    qr_version_ComboBox->addItem(QStringLiteral("Auto"));
    for (int v = 1; v <= 40; ++v)
      qr_version_ComboBox->addItem(QStringLiteral("V%1").arg(v));
    qr_version_ComboBox->setCurrentIndex(0);
    dm_format_ComboBox->clear();
    dm_format_ComboBox->addItem(QStringLiteral("Auto"));
    for (int side : {10, 12, 14, 16, 18, 20, 22, 24, 26, 32, 36, 40, 44, 48, 52, 64, 72, 80, 88, 96, 104, 120, 132,
                     144})
      dm_format_ComboBox->addItem(QStringLiteral("C%1X%1").arg(side));
    for (auto [rows, columns] : {std::pair{8, 18}, {8, 32}, {12, 26}, {12, 36}, {16, 36}, {16, 48}})
      dm_format_ComboBox->addItem(QStringLiteral("C%1X%2").arg(rows).arg(columns));
    dm_format_ComboBox->setCurrentIndex(0);
    dm_encoding_ComboBox->clear();
    dm_encoding_ComboBox->addItems({QStringLiteral("Auto"), QStringLiteral("Ascii"), QStringLiteral("C40"),
                                    QStringLiteral("Text"), QStringLiteral("Base256")});
    dm_encoding_ComboBox->setCurrentIndex(0);
    Liner_Barcode_Opt_Select();
  }
  bar_image_frame_rect = image_scroll->geometry();
  goButtonActionPerformed();
}

BarcodeSettings Barcode_Gen::settings() const {
  BarcodeSettings s;
  s.liner_or_2D_font = liner_or_2D_font;
  s.symbology = barcodeTypePopup->currentText();
  s.captionState = checkState(captionCheckbox);
  s.captionEnabled = captionCheckbox->isEnabled();
  s.hideHeaderState = checkState(hideHeaderCheckbox);
  s.hideFooterState = checkState(hideFooterCheckbox);
  s.showinTopState = checkState(showinTopCheckbox);
  s.kerningState = checkState(kerning_value_Checkbox);
  s.align_hdr = align_hdr_combo->currentText();
  s.align_ftr = align_ftr_combo->currentText();
  s.barHeight = HeightText->text().toDouble();
  s.barHeightEnabled = HeightText->isEnabled();
  s.barWidthMils = widthText->text().toDouble();
  s.barWidthEnabled = widthText->isEnabled();
  s.qrSize = HeightText_2D->text().toInt();
  s.QR_Version_Val = std::max(0, qr_version_ComboBox->currentIndex());
  s.QR_EC_Level_Val = std::max(0, qr_ec_lvl_ComboBox->currentIndex());
  s.QR_Enc_Mode_Val = std::max(0, qr_enc_mode_ComboBox->currentIndex());
  s.pdfHeight = int(pdf_HeightStepper_2D->value());
  s.pdfWidth = Pdf_widthText_2D->text().toInt();
  s.pdfErrorLevel = int(pdf_ec_lvl_Stepper->value());
  s.PDF_Row = int(pdf_row_Stepper->value());
  s.PDF_Col = int(pdf_col_Stepper->value());
  s.dmModule = int(dm_moduleStepper_2D->value());
  s.dmFormat = dm_format_ComboBox->currentText();
  s.dmEncoding = dm_encoding_ComboBox->currentText();
  s.hdrMargin = hdr_mar_Text->text().toDouble();
  s.ftrMargin = ftr_mar_Text->text().toDouble();
  s.valMargin = val_mar_Text->text().toDouble();
  s.tbMargin = TB_mar_Text->text().toDouble();
  s.lrMargin = LR_mar_Text->text().toDouble();
  s.value_font = value_font;
  s.header_font = header_font;
  s.footer_font = footer_font;
  s.bar_hdr_clr = bar_hdr_clr->color();
  s.bar_ftr_clr = bar_ftr_clr->color();
  s.bar_val_clr = bar_val_clr->color();
  s.bar_back_clr = bar_back_clr->color();
  s.barcode_clr = barcode_clr->color();
  s.dpi = USED_DPI_VALUE;
  s.unit = Measument_Unit_Is;
  return s;
}

BarcodeSettings Barcode_Gen::settingsSnapshot() const {
  if (MainThread::isMainThread())
    return settings();
  BarcodeSettings snapshot;
  MainThread::runAndWait([&] { snapshot = settings(); });
  return snapshot;
}

// ---- Loading, running, storing

void Barcode_Gen::Set_Barcode_Prop_To_Control(QLNGraphic *object) {
  if (!object)
    return;
  FillGuard guard;
  try {
    pass_barcode_control = object;
    liner_or_2D_font = object->linear_or_2d;
    barcodeTypePopup->setCurrentIndex(object->barcode_font_index);
    dataText->setText(object->linear_font_val);
    dataText_2D->setPlainText(object->two_d_font_val);
    HeaderText->setText(object->header_val);
    FooterText->setText(object->footer_val);
    hideHeaderCheckbox->setChecked(object->show_hide_hdr == 1);
    hideFooterCheckbox->setChecked(object->show_hide_ftr == 1);
    captionCheckbox->setChecked(object->show_hide_val == 1);
    showinTopCheckbox->setChecked(object->show_val_on_top == 1);
    align_hdr_combo->setCurrentIndex(object->align_hdr_index);
    align_ftr_combo->setCurrentIndex(object->align_ftr_index);
    Data_source_type->setCurrentIndex(object->data_source_type);
    // The fields that follow the data source show this object's, not the last one's.
    showDataSource(Data_source_type->currentIndex());
    if (object->data_source_type != 2 && !object->batch_list_name.isEmpty()) {
      Batch_Series->setCurrentIndex(-1);
      Batch_Series->setCurrentIndex(Batch_Series->findText(object->batch_list_name));
    }
    Get_Print_State();  // the controls that follow the value-text switch
    // The spread value and the PDF417 shape are the object's own too; an object of
    // another kind has the new barcode's.
    const auto *barcode = dynamic_cast<const QLNBarcode *>(object);
    kerning_value_Checkbox->setChecked(barcode && barcode->kerning_value_val == 1);
    kerning_value_Checkbox->setEnabled(spreadsValue(barcodeTypePopup->currentText()));
    setPair(pdf_row_Text, pdf_row_Stepper, barcode ? barcode->pdf_row_val : 0);
    setPair(pdf_col_Text, pdf_col_Stepper, barcode ? barcode->pdf_col_val : QLNBarcode::DefaultPDF417Columns);

    setPair(HeightText, HeightStepper, object->linear_height_val);
    setPair(widthText, widthStepper, object->linear_width_val);
    qr_version_ComboBox->setCurrentIndex(object->qr_version_index);
    // The size's minimum is the one of this object's version, not the last object's.
    Check_And_Set_QR_size_Acc_Version(std::max(0, qr_version_ComboBox->currentIndex()));
    setPair(HeightText_2D, HeightStepper_2D, std::max<double>(object->qr_size_val, HeightStepper_2D->minimum()));
    qr_ec_lvl_ComboBox->setCurrentIndex(object->qr_ec_index);
    setPair(pdf_HeightText_2D, pdf_HeightStepper_2D, object->pdf_hgt_val);
    setPair(Pdf_widthText_2D, Pdf_widthStepper_2D, object->pdf_wdt_val);
    setPair(pdf_ec_lvl_Text, pdf_ec_lvl_Stepper, object->pdf_ec_val);
    setPair(dm_moduleText_2D, dm_moduleStepper_2D, object->dm_module_val);
    dm_format_ComboBox->setCurrentIndex(object->dm_format_index);
    dm_encoding_ComboBox->setCurrentIndex(object->dm_encoding_index);
    setPair(hdr_mar_Text, hdr_mar_Stepper, object->hdr_margin_val);
    setPair(ftr_mar_Text, ftr_mar_Stepper, object->ftr_margin_val);
    setPair(val_mar_Text, val_mar_Stepper, object->val_margin_val);
    setPair(TB_mar_Text, TB_mar_Stepper, object->TB_marging_val);
    setPair(LR_mar_Text, LR_mar_Stepper, object->LR_margin_val);

    // An object without a font (a design written without it) draws with the first one.
    value_font = object->value_font_val.value_or(firstFont());
    header_font = object->header_font_val.value_or(firstFont());
    footer_font = object->footer_font_val.value_or(firstFont());
    setFontLabel(value_font_value, value_font);
    setFontLabel(header_font_value, header_font);
    setFontLabel(footer_font_value, footer_font);
    bar_hdr_clr->setColor(object->barcode_hdr_clr_val);
    bar_ftr_clr->setColor(object->barcode_ftr_clr_val);
    bar_val_clr->setColor(object->barcode_val_clr_val);
    bar_back_clr->setColor(object->barcode_back_clr_val);
    barcode_clr->setColor(object->barcode_clr_val);
    // Every object brings its own custom resolution, whatever its list item; one that
    // is no number, or none (a new object's "0"), shows the resolution "Auto" draws at.
    // The list then sets the resolution, also when it shows the same item as for the
    // last object.
    bool number = false;
    const int customDpi = object->dpi_custom_val.trimmed().toInt(&number);
    setDpiField(number && customDpi > 0 ? object->dpi_custom_val : QString::number(DefaultDpi));
    m_loadedDpiText = dpi_Text->text();
    // A list item the list does not have (a damaged or hand-edited file) shows the
    // list's first item, "Auto", as a custom value that is no number does.
    const bool listed = object->dpi_val_index >= 0 && object->dpi_val_index < DPI_ComboBox->count();
    DPI_ComboBox->setCurrentIndex(listed ? object->dpi_val_index : 0);
    m_loadedDpiIndex = DPI_ComboBox->currentIndex();
    resolutionListChanged();

    Measument_Unit_Is = 1;
    last_unit_val = 1;
    if (liner_or_2D_font != 0)
      two_d_barcode_Opt_Select();
    else
      Liner_Barcode_Opt_Select();
    _setLabels();
    // The binding the object came with, as the lists show it: OK leaves it as stored.
    // A series list that shows another series than the object's (it has none) shows
    // no binding of the object.
    m_loadedSource = Data_source_type->currentIndex();
    const bool ownSeries = m_loadedSource == 1 && !object->batch_list_name.isEmpty() &&
                           Batch_Series->currentText() == object->batch_list_name;
    m_loadedListIndex = ownSeries || m_loadedSource == 2 ? Batch_Series->currentIndex() : -1;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

QLNGraphic *Barcode_Gen::Open_Wnd(QLNGraphic *object) {
  if (!object)
    return object;
  // The data source list binds the object while the window is open; Cancel undoes it.
  const int source = object->data_source_type;
  const QString seriesName = object->batch_list_name;
  const int seriesIndex = object->batch_list_index;
  const int column = object->excel_col_indx;
  try {
    Set_Barcode_Prop_To_Control(object);
    showImportedColumnsFirstValue(*object);
    Not_Draw_Only_Prop_Change = 0;
    goButtonActionPerformed();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  Not_Draw_Only_Prop_Change = 0;
  const int code = UiServices::instance().runModal(m_window);
  m_lastModalCode = code;
  m_window->hide();
  if (code != ModalOK) {
    object->Set_Data_source_type(source);
    object->Set_Batch_List_Name(seriesName);
    object->Set_Batch_List_Index(seriesIndex);
    object->Set_Excel_binding_Index(column);
    return object;
  }

  object->linear_or_2d = liner_or_2D_font;
  object->barcode_font_index = barcodeTypePopup->currentIndex();
  object->linear_font_val = dataText->text();
  object->two_d_font_val = dataText_2D->toPlainText();
  object->header_val = HeaderText->text();
  object->footer_val = FooterText->text();
  object->show_hide_hdr = checkState(hideHeaderCheckbox);
  object->show_hide_ftr = checkState(hideFooterCheckbox);
  object->show_hide_val = checkState(captionCheckbox);
  object->show_val_on_top = checkState(showinTopCheckbox);
  object->align_hdr_index = align_hdr_combo->currentIndex();
  object->align_ftr_index = align_ftr_combo->currentIndex();
  object->linear_height_val = float(HeightStepper->value());
  object->linear_width_val = float(widthStepper->value());
  object->qr_size_val = int(HeightStepper_2D->value());
  object->qr_version_index = qr_version_ComboBox->currentIndex();
  object->qr_ec_index = qr_ec_lvl_ComboBox->currentIndex();
  object->pdf_hgt_val = int(pdf_HeightStepper_2D->value());
  object->pdf_wdt_val = int(Pdf_widthStepper_2D->value());
  object->pdf_ec_val = int(pdf_ec_lvl_Stepper->value());
  object->dm_module_val = int(dm_moduleStepper_2D->value());
  object->dm_format_index = dm_format_ComboBox->currentIndex();
  object->dm_encoding_index = dm_encoding_ComboBox->currentIndex();
  object->hdr_margin_val = float(hdr_mar_Stepper->value());
  object->ftr_margin_val = float(ftr_mar_Stepper->value());
  object->val_margin_val = float(val_mar_Stepper->value());
  object->TB_marging_val = float(TB_mar_Stepper->value());
  object->LR_margin_val = float(LR_mar_Stepper->value());
  object->value_font_val = value_font;
  object->header_font_val = header_font;
  object->footer_font_val = footer_font;
  object->barcode_hdr_clr_val = bar_hdr_clr->color();
  object->barcode_ftr_clr_val = bar_ftr_clr->color();
  object->barcode_val_clr_val = bar_val_clr->color();
  object->barcode_back_clr_val = bar_back_clr->color();
  object->barcode_clr_val = barcode_clr->color();
  // The list item stays as stored (one the list does not have included) until another
  // item is chosen.
  if (DPI_ComboBox->currentIndex() != m_loadedDpiIndex)
    object->dpi_val_index = DPI_ComboBox->currentIndex();
  // The custom resolution the object was opened with stays as it was written (a text
  // that is no number included) until the field is changed.
  if (dpi_Text->text() != m_loadedDpiText)
    object->dpi_custom_val = dpi_Text->text();
  if (auto *barcode = dynamic_cast<QLNBarcode *>(object)) {
    barcode->kerning_value_val = checkState(kerning_value_Checkbox);
    barcode->pdf_row_val = int(pdf_row_Stepper->value());
    barcode->pdf_col_val = int(pdf_col_Stepper->value());
  }
  // The object's binding is the one the lists gave it while the window was open (OK
  // took the series or column the list showed without being chosen).
  return object;
}

void Barcode_Gen::showImportedColumnsFirstValue(const QLNGraphic &object) {
  const ImportedRowsTable &rows = Data_From_Excel::defaultInstance()->table();
  const int column = object.excel_col_indx;
  if (object.data_source_type != 2 || rows.rowCount() == 0 || column < 0 || column >= rows.columns.size())
    return;
  showValue(rows.value(0, column));
}

void Barcode_Gen::showValue(const QString &value) {
  const QSignalBlocker block2D(dataText_2D);
  const QSignalBlocker blockLinear(dataText);
  if (liner_or_2D_font != 0)
    dataText_2D->setPlainText(value);
  else
    dataText->setText(value);
}

void Barcode_Gen::takeShownBinding() {
  const int source = Data_source_type->currentIndex();
  const int shown = Batch_Series->currentIndex();
  if (source <= 0 || shown < 0 || Trim_Str(Batch_Series->currentText()).isEmpty())
    return;
  // Taken already: chosen in the window, or the object's own binding as it was loaded.
  if (shown == m_boundListIndex || (source == m_loadedSource && shown == m_loadedListIndex))
    return;
  boundSeriesChanged();
}

void Barcode_Gen::OK_Btn_Clicked() {
  // The series or column the list shows binds the object as choosing it does, its first
  // value shown at once.
  takeShownBinding();
  if (!Check_And_Validat_Barcode(false, false))
    return;
  // A symbol more pixels than a picture may have at the resolution is no fault of the value.
  if (m_symbolTooLarge) {
    showSymbolTooLarge();
    Show_MessageBox(tooLargeAt(USED_DPI_VALUE));
    return;
  }
  // A value the symbology cannot draw (content it does not hold, a symbol too small for
  // it) leaves no picture: OK would store settings that the object's picture does not
  // show, so it is refused with the message and the window stays open.
  if (!Check_And_Validat_Barcode(true, true))
    return;
  // The object takes the picture at the chosen resolution: one that would be more
  // pixels than a picture may have is refused here, before the object loses its own.
  if (CardPicture::pixelSizeAt(m_preview.size(), USED_DPI_VALUE).isEmpty()) {
    Show_MessageBox(tooLargeAt(USED_DPI_VALUE));
    return;
  }
  Barcode_output_image = m_preview;
  m_window->done(ModalOK);
}

void Barcode_Gen::Cancel_Btn_Clicked() {
  Barcode_output_image = m_preview;
  m_window->done(ModalCancel);
}

// ---- Panels and switches

void Barcode_Gen::Liner_Barcode_Opt_Select() {
  liner_or_2D_font = 0;
  dataText->setEnabled(true);
  dataText->show();
  dataText_2D_scl_v->hide();
  for (QWidget *w : std::initializer_list<QWidget *>{
           showinTopCheckbox, captionCheckbox, val_mar_Text, val_mar_Stepper, val_mar_label, val_font_label,
           val_font_btn, value_font_value, barcode_clr, bar_back_clr, bar_val_clr, bar_clr_label, bar_bk_clr_label,
           val_clr_label, linear_sett_box})
    w->show();
  two_d_sett_box->hide();
  pdf_2d_sett_box->hide();
  dm_2d_sett_box->hide();
  if (sett_tab->count() == 4)
    sett_tab->removeTab(3);
  sett_tab->setCurrentIndex(0);
}

void Barcode_Gen::two_d_barcode_Opt_Select() {
  liner_or_2D_font = 1;
  dataText->setEnabled(false);
  dataText->hide();
  dataText_2D_scl_v->show();
  for (QWidget *w : std::initializer_list<QWidget *>{
           showinTopCheckbox, captionCheckbox, val_mar_Text, val_mar_Stepper, val_mar_label, val_font_label,
           val_font_btn, value_font_value, barcode_clr, bar_back_clr, bar_val_clr, bar_clr_label, bar_bk_clr_label,
           val_clr_label, linear_sett_box})
    w->hide();
  if (sett_tab->count() == 3)
    sett_tab->insertTab(3, dpi_tab_item, QStringLiteral("Resolution"));
  const QString name = barcodeTypePopup->currentText();
  if (name == QLatin1String("QR Code") || name == QLatin1String("PDF417") || name == QLatin1String("DataMatrix")) {
    two_d_sett_box->setVisible(name == QLatin1String("QR Code"));
    pdf_2d_sett_box->setVisible(name == QLatin1String("PDF417"));
    dm_2d_sett_box->setVisible(name == QLatin1String("DataMatrix"));
  }
}

int Barcode_Gen::Get_Print_State() {
  if (!captionCheckbox->isEnabled())
    return 0;
  const int state = checkState(captionCheckbox);
  showinTopCheckbox->setEnabled(state != 1);
  return state != 1 ? 1 : 0;
}

void Barcode_Gen::_setLabels() {
  if (liner_or_2D_font != 0) {
    barHeightLabel->setText(QStringLiteral("Bar Height :"));
    barWidthLabel->setText(QStringLiteral("Bar Width :"));
    return;
  }
  if (Measument_Unit_Is == 0) {
    barHeightLabel->setText(QStringLiteral("Bar Height (in):"));
    margin_box->setTitle(QStringLiteral("Margins (in)"));
  } else if (Measument_Unit_Is == 1) {
    barHeightLabel->setText(QStringLiteral("Bar Height (cm):"));
    margin_box->setTitle(QStringLiteral("Margins (cm)"));
  } else {
    barHeightLabel->setText(QStringLiteral("Bar Height (mm):"));
    margin_box->setTitle(QStringLiteral("Margins (mm)"));
  }
  barWidthLabel->setText(QStringLiteral("Bar Width (Mils):"));
}

void Barcode_Gen::Check_And_Set_QR_size_Acc_Version(int version) {
  const int minimum = std::max(21, (version - 1) * 4 + 21);
  HeightStepper_2D->setMinimum(minimum);
  if (HeightText_2D->text().toInt() < minimum)
    setPair(HeightText_2D, HeightStepper_2D, minimum);
}

bool Barcode_Gen::Check_And_Validat_Barcode(bool showMessage, bool checkImage) {
  if (!barcode_error_label->isHidden())
    barcode_error_label->hide();
  const QString value = liner_or_2D_font != 0 ? dataText_2D->toPlainText() : dataText->text();
  bool valid = !value.isEmpty() && isAsciiText(value);
  if (valid && checkImage)
    valid = !(testBarcode && !testBarcode->isContentValid()) && !m_preview.isNull();
  if (valid)
    return true;
  Set_Blank_Image();
  if (showMessage)
    Show_MessageBox(QStringLiteral("Invalid barcode value"));
  return false;
}

void Barcode_Gen::goButtonActionPerformed() {
  const QString value = liner_or_2D_font != 0 ? dataText_2D->toPlainText() : dataText->text();
  if (Check_And_Validat_Barcode(false, false))
    testBarcode = Generate_Barcode_Variable(1, value, HeaderText->text(), FooterText->text());
}

void Barcode_Gen::Encode_btn() {
  try {
    goButtonActionPerformed();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void Barcode_Gen::DPI_Value_Changed(QObject *sender) {
  if (sender == dpi_Stepper) {
    USED_DPI_VALUE = int(dpi_Stepper->value());
    const QSignalBlocker block(dpi_Text);
    dpi_Text->setText(QString::number(USED_DPI_VALUE));
  } else if (sender == dpi_Text) {
    USED_DPI_VALUE = setDpiField(dpi_Text->text());
  }
}

int Barcode_Gen::setDpiField(const QString &text) {
  bool number = false;
  const int typed = text.trimmed().toInt(&number);
  if (number) {
    // The stepper holds the value to its range (1 to 2400 dpi).
    const QSignalBlocker block(dpi_Stepper);
    dpi_Stepper->setValue(typed);
  }
  const int value = int(dpi_Stepper->value());
  const QSignalBlocker block(dpi_Text);
  dpi_Text->setText(QString::number(value));
  return value;
}

std::function<void(const QString &)> &Barcode_Gen::viewSeries() {
  static std::function<void(const QString &)> show;
  return show;
}

void Barcode_Gen::View_batch_Series_Button() {
  // The name as the list shows it: "Sorry " is another series than "Sorry".
  const QString name = Batch_Series->currentText();
  if (Trim_Str(name).isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select the series."));
    return;
  }
  if (viewSeries())
    viewSeries()(name);
}

// ---- Production

std::shared_ptr<BRCBarcode> Barcode_Gen::Generate_Barcode_Variable(char display, const QString &value,
                                                                   const QString &header, const QString &footer) {
  if (Not_Draw_Only_Prop_Change)
    return testBarcode;
  if (value.isEmpty())
    return nullptr;
  try {
    if (display == 1) {
      m_preview = CardPicture();
      barcodeImage->clear();
      m_symbolTooLarge = false;
    }
    if (!barcode_error_label->isHidden())
      barcode_error_label->hide();
    Get_Print_State();
    const BarcodeSettings s = settings();
    BarcodeBuild build = ::Generate_Barcode_Variable(s, value, header, footer, &pdf_barcode);
    if (build.twoD) {
      twoD = build.texts;
      Barcode_module_size = build.Barcode_module_size;
      image_2d = build.image_2d;
      dataMatrixEPS = build.eps;
      if (display == 1) {
        // The encoder took the value, but the symbol at the resolution is more pixels
        // than a picture may have.
        m_symbolTooLarge = image_2d.isNull() && symbolTooLargeAt(s, value);
        if (m_symbolTooLarge)
          showSymbolTooLarge();
        else if (image_2d.isNull())
          Set_Blank_Image();
        else
          Get_Image_From_barcode_image(image_2d);
      }
      return nullptr;
    }
    std::shared_ptr<BRCBarcode> barcode(std::move(build.linear));
    if (!barcode) {
      if (display == 1)
        Set_Blank_Image();
      return nullptr;
    }
    if (display == 1)
      Get_Image_From_Barcode(barcode.get());
    return barcode;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return nullptr;
  }
}

CardPicture Barcode_Gen::Get_Image_From_Val(const QString &value, const QString &header, const QString &footer) {
  try {
    const BarcodeSettings s = settingsSnapshot();
    BarcodeBuild build = ::Generate_Barcode_Variable(s, value, header, footer);
    {
      std::lock_guard lock(m_expMutex);
      m_testBarcode_EXP = build.linear ? std::shared_ptr<BRCBarcode>(build.linear->copyWithZone()) : nullptr;
    }
    return imageOfBuild(s, build);
  } catch (const std::exception &) {
    return CardPicture();
  }
}

// ---- Preview

void Barcode_Gen::Get_Image_From_Barcode(const BRCBarcode *barcode) {
  if (!Check_And_Validat_Barcode(false, false))
    return;
  barcodeImage->setAlignment(Qt::AlignCenter);
  Set_Barcode_On_Panel(imageFromBarcode(barcode, settings()));
}

void Barcode_Gen::Get_Image_From_barcode_image(const PointImage &image) {
  if (image_2d.isNull()) {
    Set_Blank_Image();
    return;
  }
  barcodeImage->setAlignment(Qt::AlignCenter);
  const BarcodeSettings s = settings();
  Set_2d_Barcode_Height(s, twoD, image.points);
  Set_2d_Barcode_Width(s, twoD, image.points);
  Set_Barcode_On_Panel(imageFromBarcodeImage(image, s, twoD));
}

void Barcode_Gen::Get_2d_barcode_from_image() {
  if (image_2d.isNull())
    Set_Blank_Image();
  else if (liner_or_2D_font == 1)
    Get_Image_From_barcode_image(image_2d);
}

void Barcode_Gen::Set_Barcode_On_Panel(const CardPicture &image) {
  m_preview = image;
  bar_image_frame_rect = image_scroll->geometry();
  const QSize view = image_scroll->viewport()->size();
  const PointImage shown = image.toImage(72.0);
  const QSize size = shown.pixels.size();
  const int width = std::max(size.width(), view.width());
  const int height = std::max(size.height(), view.height());
  image_scroll->setHorizontalScrollBarPolicy(size.width() >= view.width() ? Qt::ScrollBarAsNeeded
                                                                           : Qt::ScrollBarAlwaysOff);
  barcodeImage->setPixmap(shown.isNull() ? QPixmap() : QPixmap::fromImage(shown.pixels));
  barcodeImage->resize(width, height);
}

void Barcode_Gen::Set_Blank_Image() {
  image_2d = PointImage();
  m_preview = CardPicture();
  barcodeImage->clear();
  barcode_error_label->setText(QStringLiteral("Invalid barcode value"));
  barcode_error_label->show();
}

void Barcode_Gen::showSymbolTooLarge() {
  Set_Blank_Image();
  barcode_error_label->setText(tooLargeAt(USED_DPI_VALUE));
}
