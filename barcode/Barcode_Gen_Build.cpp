// The designer's window, built in code: one builder per panel, every control under its
// design name with an accessible name and a tooltip.

#include "barcode/Barcode_Gen.h"

#include "platform/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

template <class W>
W *named(W *widget, const char *objectName, const QString &accessibleName, const QString &tip) {
  widget->setObjectName(QString::fromLatin1(objectName));
  widget->setAccessibleName(accessibleName);
  widget->setToolTip(tip);
  return widget;
}

QLineEdit *field(const char *name, const QString &title, const QString &tip) {
  return named(new QLineEdit, name, title, tip);
}

// The up and down arrows beside a value field: the field shows the number, so the
// stepper shows only its arrows (the number twice, once rounded, read as two values).
class ArrowStepper : public QDoubleSpinBox {
public:
  ArrowStepper() {
    lineEdit()->hide();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, 80, QDoubleSpinBox::sizeHint().height());
    const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    setFixedWidth(option.rect.width() - up.left() + 2);
  }
};

QDoubleSpinBox *stepper(const char *name, const QString &title, double minimum, double maximum, double step,
                        int decimals) {
  auto *box = named(new ArrowStepper, name, title + QStringLiteral(" stepper"),
                    QStringLiteral("Steps the %1").arg(title.toLower()));
  box->setRange(minimum, maximum);
  box->setSingleStep(step);
  box->setDecimals(decimals);
  return box;
}

QComboBox *list(const char *name, const QString &title, const QString &tip, const QStringList &items = {}) {
  auto *combo = named(new QComboBox, name, title, tip);
  combo->addItems(items);
  return combo;
}

QCheckBox *check(const char *name, const QString &title, const QString &tip) {
  auto *box = named(new QCheckBox(title), name, title, tip);
  return box;
}

// The small "?" button beside an option that explains it: read as "Help", its tip says
// which option it explains.
QPushButton *helpButton(const char *name, const QString &option) {
  auto *button = named(new QPushButton(QStringLiteral("?")), name, QStringLiteral("Help"),
                       QStringLiteral("What the %1 means").arg(option));
  button->setMaximumWidth(32);
  return button;
}

QWidget *row(QWidget *a, QWidget *b) {
  auto *w = new QWidget;
  auto *layout = new QHBoxLayout(w);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(a, 1);
  layout->addWidget(b);
  return w;
}

}  // namespace

BarcodeColorWell::BarcodeColorWell(QWidget *parent) : QToolButton(parent) {
  setMinimumSize(40, 22);
  setColor(Qt::black);
  connect(this, &QToolButton::clicked, this, [this] {
    if (const std::optional<QColor> chosen = UiServices::instance().chooseColor(m_color, true, accessibleName())) {
      setColor(*chosen);
      emit colorChosen();
    }
  });
}

void BarcodeColorWell::setColor(const QColor &color) {
  m_color = color;
  setStyleSheet(QStringLiteral("background-color: %1;").arg(color.name(QColor::HexArgb)));
}

BRCBarcodeImageView::BRCBarcodeImageView(QWidget *parent) : QLabel(parent) { setFocusPolicy(Qt::StrongFocus); }

void BRCBarcodeImageView::mousePressEvent(QMouseEvent *event) { event->accept(); }

void BRCBarcodeImageView::mouseMoveEvent(QMouseEvent *event) { event->accept(); }

void Barcode_Gen::buildWindow() {
  m_window = new QDialog;
  m_window->setObjectName(QStringLiteral("Barcode_Gen"));
  m_window->setWindowTitle(QStringLiteral("Barcode Designer"));
  m_window->setAccessibleName(QStringLiteral("Barcode Designer"));
  m_window->setModal(true);

  auto *main = new QVBoxLayout(m_window);
  auto *top = new QHBoxLayout;
  auto *left = new QVBoxLayout;
  left->addWidget(buildValuePanel());
  sett_tab = named(new QTabWidget, "sett_tab", QStringLiteral("Barcode settings"),
                   QStringLiteral("The settings of the barcode"));
  sett_tab->addTab(buildBarcodeTab(), QStringLiteral("Barcode"));
  sett_tab->addTab(buildTextTab(), QStringLiteral("Texts"));
  sett_tab->addTab(buildColourTab(), QStringLiteral("Colours"));
  sett_tab->addTab(buildResolutionTab(), QStringLiteral("Resolution"));
  left->addWidget(sett_tab, 1);
  top->addLayout(left, 1);
  top->addWidget(buildPreviewPanel(), 1);
  main->addLayout(top, 1);
  main->addWidget(buildButtons());
}

QWidget *Barcode_Gen::buildValuePanel() {
  auto *box = new QWidget;
  auto *form = new QFormLayout(box);
  barcodeTypePopup = list("barcodeTypePopup", QStringLiteral("Barcode type"),
                          QStringLiteral("The symbology of the barcode"), barcodeSymbologyNames());
  form->addRow(QStringLiteral("Type:"), barcodeTypePopup);
  dataText = field("dataText", QStringLiteral("Barcode value"), QStringLiteral("The value the barcode encodes"));
  form->addRow(QStringLiteral("Value:"), dataText);
  dataText_2D = named(new QPlainTextEdit, "dataText_2D", QStringLiteral("Barcode text"),
                      QStringLiteral("The text the two-dimensional barcode encodes"));
  dataText_2D_scl_v = named(new QScrollArea, "dataText_2D_scl_v", QStringLiteral("Barcode text area"),
                            QStringLiteral("The text the two-dimensional barcode encodes"));
  dataText_2D_scl_v->setWidgetResizable(true);
  dataText_2D_scl_v->setWidget(dataText_2D);
  dataText_2D_scl_v->setMaximumHeight(80);
  form->addRow(QString(), dataText_2D_scl_v);
  HeaderText = field("HeaderText", QStringLiteral("Header"), QStringLiteral("The text above the barcode"));
  form->addRow(QStringLiteral("Header:"), HeaderText);
  FooterText = field("FooterText", QStringLiteral("Footer"), QStringLiteral("The text below the barcode"));
  form->addRow(QStringLiteral("Footer:"), FooterText);
  Data_source_type = list("Data_source_type", QStringLiteral("Data source"),
                          QStringLiteral("Where the barcode value comes from"),
                          {QStringLiteral("Manual"), QStringLiteral("Batch Processing Series"),
                           QStringLiteral("Spreadsheet column")});
  form->addRow(QStringLiteral("Source:"), Data_source_type);
  Batch_Series = list("Batch_Series", QStringLiteral("Series"), QStringLiteral("The bound Batch Processing Series"));
  view_series_btn = named(new QPushButton(QStringLiteral("View")), "view_series_btn", QStringLiteral("View"),
                          QStringLiteral("Shows the values of the chosen series"));
  form->addRow(QStringLiteral("Series:"), row(Batch_Series, view_series_btn));
  return box;
}

QWidget *Barcode_Gen::buildBarcodeTab() {
  auto *page = new QWidget;
  auto *layout = new QVBoxLayout(page);

  linear_sett_box = named(new QGroupBox(QStringLiteral("Bars")), "linear_sett_box", QStringLiteral("Bars"),
                          QStringLiteral("Bar height and width of a linear barcode"));
  auto *linear = new QFormLayout(linear_sett_box);
  barHeightLabel = new QLabel;
  barHeightLabel->setObjectName(QStringLiteral("barHeightLabel"));
  HeightText = field("HeightText", QStringLiteral("Bar height"), QStringLiteral("The height of the bars"));
  HeightStepper = stepper("HeightStepper", QStringLiteral("Bar height"), 0, 100, 0.1, 2);
  linear->addRow(barHeightLabel, row(HeightText, HeightStepper));
  barWidthLabel = new QLabel;
  barWidthLabel->setObjectName(QStringLiteral("barWidthLabel"));
  widthText = field("widthText", QStringLiteral("Bar width"), QStringLiteral("The narrow bar width in mils"));
  widthStepper = stepper("widthStepper", QStringLiteral("Bar width"), 1, 1000, 1, 0);
  linear->addRow(barWidthLabel, row(widthText, widthStepper));
  layout->addWidget(linear_sett_box);

  two_d_sett_box = named(new QGroupBox(QStringLiteral("QR Code")), "two_d_sett_box", QStringLiteral("QR Code"),
                         QStringLiteral("Settings of a QR Code"));
  auto *qr = new QFormLayout(two_d_sett_box);
  HeightText_2D = field("HeightText_2D", QStringLiteral("QR size"), QStringLiteral("The QR image size in pixels"));
  HeightStepper_2D = stepper("HeightStepper_2D", QStringLiteral("QR size"), 21, 5000, 1, 0);
  qr->addRow(QStringLiteral("Size:"), row(HeightText_2D, HeightStepper_2D));
  qr_version_ComboBox = list("qr_version_ComboBox", QStringLiteral("QR version"),
                             QStringLiteral("The QR version, or Auto for the smallest that holds the text"));
  qr_version_help_btn = helpButton("qr_version_help_btn", QStringLiteral("QR version"));
  qr->addRow(QStringLiteral("Version:"), row(qr_version_ComboBox, qr_version_help_btn));
  qr_ec_lvl_ComboBox = list("qr_ec_lvl_ComboBox", QStringLiteral("QR error correction"),
                            QStringLiteral("The QR error correction level"),
                            {QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("Q"), QStringLiteral("H")});
  qr_ec_lvl_help_btn = helpButton("qr_ec_lvl_help_btn", QStringLiteral("QR error correction"));
  qr->addRow(QStringLiteral("Level:"), row(qr_ec_lvl_ComboBox, qr_ec_lvl_help_btn));
  qr_enc_mode_ComboBox = list("qr_enc_mode_ComboBox", QStringLiteral("QR encoding"),
                              QStringLiteral("The QR encoding mode"),
                              {QStringLiteral("Auto"), QStringLiteral("Numeric"), QStringLiteral("Alphanumeric"),
                               QStringLiteral("Byte"), QStringLiteral("Kanji")});
  qr->addRow(QStringLiteral("Encoding:"), qr_enc_mode_ComboBox);
  layout->addWidget(two_d_sett_box);

  pdf_2d_sett_box = named(new QGroupBox(QStringLiteral("PDF417")), "pdf_2d_sett_box", QStringLiteral("PDF417"),
                          QStringLiteral("Settings of a PDF417 symbol"));
  auto *pdf = new QFormLayout(pdf_2d_sett_box);
  pdf_HeightText_2D = field("pdf_HeightText_2D", QStringLiteral("PDF417 height"),
                            QStringLiteral("The symbol height in points"));
  pdf_HeightStepper_2D = stepper("pdf_HeightStepper_2D", QStringLiteral("PDF417 height"), 1, 2000, 1, 0);
  pdf->addRow(QStringLiteral("Height:"), row(pdf_HeightText_2D, pdf_HeightStepper_2D));
  Pdf_widthText_2D = field("Pdf_widthText_2D", QStringLiteral("PDF417 width"),
                           QStringLiteral("The symbol width in points"));
  Pdf_widthStepper_2D = stepper("Pdf_widthStepper_2D", QStringLiteral("PDF417 width"), 1, 2000, 1, 0);
  pdf->addRow(QStringLiteral("Width:"), row(Pdf_widthText_2D, Pdf_widthStepper_2D));
  pdf_ec_lvl_Text = field("pdf_ec_lvl_Text", QStringLiteral("PDF417 error level"),
                          QStringLiteral("The PDF417 error correction level"));
  pdf_ec_lvl_Stepper = stepper("pdf_ec_lvl_Stepper", QStringLiteral("PDF417 error level"), 0, 8, 1, 0);
  pdf_ec_lvl_help_btn = helpButton("pdf_ec_lvl_help_btn", QStringLiteral("PDF417 error level"));
  pdf->addRow(QStringLiteral("Level:"), row(row(pdf_ec_lvl_Text, pdf_ec_lvl_Stepper), pdf_ec_lvl_help_btn));
  pdf_row_Text = field("pdf_row_Text", QStringLiteral("PDF417 rows"), QStringLiteral("Rows of the symbol"));
  pdf_row_Stepper = stepper("pdf_row_Stepper", QStringLiteral("PDF417 rows"), 0, 90, 1, 0);
  pdf_row_help_btn = helpButton("pdf_row_help_btn", QStringLiteral("PDF417 rows"));
  pdf->addRow(QStringLiteral("Rows:"), row(row(pdf_row_Text, pdf_row_Stepper), pdf_row_help_btn));
  pdf_col_Text = field("pdf_col_Text", QStringLiteral("PDF417 columns"), QStringLiteral("Columns of the symbol"));
  pdf_col_Stepper = stepper("pdf_col_Stepper", QStringLiteral("PDF417 columns"), 0, 30, 1, 0);
  pdf_col_help_btn = helpButton("pdf_col_help_btn", QStringLiteral("PDF417 columns"));
  pdf->addRow(QStringLiteral("Columns:"), row(row(pdf_col_Text, pdf_col_Stepper), pdf_col_help_btn));
  layout->addWidget(pdf_2d_sett_box);

  dm_2d_sett_box = named(new QGroupBox(QStringLiteral("DataMatrix")), "dm_2d_sett_box", QStringLiteral("DataMatrix"),
                         QStringLiteral("Settings of a DataMatrix symbol"));
  auto *dm = new QFormLayout(dm_2d_sett_box);
  dm_moduleText_2D = field("dm_moduleText_2D", QStringLiteral("DataMatrix module"),
                           QStringLiteral("Points per module"));
  dm_moduleStepper_2D = stepper("dm_moduleStepper_2D", QStringLiteral("DataMatrix module"), 1, 100, 1, 0);
  dm->addRow(QStringLiteral("Module:"), row(dm_moduleText_2D, dm_moduleStepper_2D));
  dm_format_ComboBox = list("dm_format_ComboBox", QStringLiteral("DataMatrix size"),
                            QStringLiteral("The symbol size, or Auto for the smallest that holds the data"));
  dm_format_help_btn = helpButton("dm_format_help_btn", QStringLiteral("DataMatrix size"));
  dm->addRow(QStringLiteral("Size:"), row(dm_format_ComboBox, dm_format_help_btn));
  dm_encoding_ComboBox = list("dm_encoding_ComboBox", QStringLiteral("DataMatrix encoding"),
                              QStringLiteral("The encodation of the data"));
  dm_encoding_help_btn = helpButton("dm_encoding_help_btn", QStringLiteral("DataMatrix encoding"));
  dm->addRow(QStringLiteral("Encoding:"), row(dm_encoding_ComboBox, dm_encoding_help_btn));
  // The symbol's height and width in points: at least rows (columns) times the module
  // size of the chosen format.
  dm_HeightText_2D = field("dm_HeightText_2D", QStringLiteral("DataMatrix height"),
                           QStringLiteral("The symbol height in points"));
  dm_HeightStepper_2D = stepper("dm_HeightStepper_2D", QStringLiteral("DataMatrix height"), 0, 20000, 1, 0);
  dm->addRow(QStringLiteral("Height:"), row(dm_HeightText_2D, dm_HeightStepper_2D));
  dm_widthText_2D = field("dm_widthText_2D", QStringLiteral("DataMatrix width"),
                          QStringLiteral("The symbol width in points"));
  dm_widthStepper_2D = stepper("dm_widthStepper_2D", QStringLiteral("DataMatrix width"), 0, 20000, 1, 0);
  dm->addRow(QStringLiteral("Width:"), row(dm_widthText_2D, dm_widthStepper_2D));
  layout->addWidget(dm_2d_sett_box);

  auto *placement = new QFormLayout;
  bar_align_combo = list("bar_align_combo", QStringLiteral("Barcode alignment"),
                         QStringLiteral("The alignment of the barcode"),
                         {QStringLiteral("Center"), QStringLiteral("Left"), QStringLiteral("Right")});
  placement->addRow(QStringLiteral("Alignment:"), bar_align_combo);
  bar_orient_combo = list("bar_orient_combo", QStringLiteral("Barcode orientation"),
                          QStringLiteral("The orientation of the barcode"),
                          {QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
  placement->addRow(QStringLiteral("Orientation:"), bar_orient_combo);
  layout->addLayout(placement);
  layout->addStretch(1);
  return page;
}

QWidget *Barcode_Gen::buildTextTab() {
  auto *page = new QWidget;
  auto *layout = new QVBoxLayout(page);
  hideHeaderCheckbox = check("hideHeaderCheckbox", QStringLiteral("Hide header"),
                             QStringLiteral("Prints no header"));
  hideFooterCheckbox = check("hideFooterCheckbox", QStringLiteral("Hide footer"),
                             QStringLiteral("Prints no footer"));
  captionCheckbox = check("captionCheckbox", QStringLiteral("Hide value"),
                          QStringLiteral("Prints no value text"));
  showinTopCheckbox = check("showinTopCheckbox", QStringLiteral("Value on top"),
                            QStringLiteral("Prints the value text above the bars"));
  kerning_value_Checkbox = check("kerning_value_Checkbox", QStringLiteral("Spread value"),
                                 QStringLiteral("Spreads the value text over the barcode width"));
  for (QCheckBox *box : {hideHeaderCheckbox, hideFooterCheckbox, captionCheckbox, showinTopCheckbox,
                         kerning_value_Checkbox})
    layout->addWidget(box);

  auto *form = new QFormLayout;
  const QStringList alignments = {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
  align_hdr_combo = list("align_hdr_combo", QStringLiteral("Header alignment"),
                         QStringLiteral("The alignment of the header"), alignments);
  form->addRow(QStringLiteral("Header:"), align_hdr_combo);
  align_ftr_combo = list("align_ftr_combo", QStringLiteral("Footer alignment"),
                         QStringLiteral("The alignment of the footer"), alignments);
  form->addRow(QStringLiteral("Footer:"), align_ftr_combo);

  val_font_label = new QLabel(QStringLiteral("Value font:"));
  val_font_label->setObjectName(QStringLiteral("val_font_label"));
  value_font_value = new QLabel;
  value_font_value->setObjectName(QStringLiteral("value_font_value"));
  val_font_btn = named(new QPushButton(QStringLiteral("Font…")), "val_font_btn", QStringLiteral("Font…"),
                       QStringLiteral("Chooses the font of the value text"));
  form->addRow(val_font_label, row(value_font_value, val_font_btn));
  header_font_value = new QLabel;
  header_font_value->setObjectName(QStringLiteral("header_font_value"));
  hdr_font_btn = named(new QPushButton(QStringLiteral("Font…")), "hdr_font_btn", QStringLiteral("Font…"),
                       QStringLiteral("Chooses the font of the header"));
  form->addRow(QStringLiteral("Header font:"), row(header_font_value, hdr_font_btn));
  footer_font_value = new QLabel;
  footer_font_value->setObjectName(QStringLiteral("footer_font_value"));
  ftr_font_btn = named(new QPushButton(QStringLiteral("Font…")), "ftr_font_btn", QStringLiteral("Font…"),
                       QStringLiteral("Chooses the font of the footer"));
  form->addRow(QStringLiteral("Footer font:"), row(footer_font_value, ftr_font_btn));
  layout->addLayout(form);

  margin_box = named(new QGroupBox, "margin_box", QStringLiteral("Margins"), QStringLiteral("Margins of the barcode"));
  auto *margins = new QFormLayout(margin_box);
  const auto margin = [&](const char *textName, const char *stepperName, const QString &title, QLineEdit *&text,
                          QDoubleSpinBox *&step, QLabel **label) {
    text = field(textName, title, QStringLiteral("The %1").arg(title.toLower()));
    step = stepper(stepperName, title, 0, 100, 0.1, 2);
    auto *caption = new QLabel(title + QLatin1Char(':'));
    if (label)
      *label = caption;
    margins->addRow(caption, row(text, step));
  };
  margin("hdr_mar_Text", "hdr_mar_Stepper", QStringLiteral("Header margin"), hdr_mar_Text, hdr_mar_Stepper, nullptr);
  margin("ftr_mar_Text", "ftr_mar_Stepper", QStringLiteral("Footer margin"), ftr_mar_Text, ftr_mar_Stepper, nullptr);
  margin("val_mar_Text", "val_mar_Stepper", QStringLiteral("Value margin"), val_mar_Text, val_mar_Stepper,
         &val_mar_label);
  val_mar_label->setObjectName(QStringLiteral("val_mar_label"));
  margin("TB_mar_Text", "TB_mar_Stepper", QStringLiteral("Top and bottom margin"), TB_mar_Text, TB_mar_Stepper,
         nullptr);
  margin("LR_mar_Text", "LR_mar_Stepper", QStringLiteral("Left and right margin"), LR_mar_Text, LR_mar_Stepper,
         nullptr);
  layout->addWidget(margin_box);
  layout->addStretch(1);
  return page;
}

QWidget *Barcode_Gen::buildColourTab() {
  auto *page = new QWidget;
  auto *form = new QFormLayout(page);
  const auto well = [&](const char *name, const QString &title, const QColor &initial, QLabel **label) {
    auto *w = named(new BarcodeColorWell, name, title, QStringLiteral("Chooses the %1").arg(title.toLower()));
    w->setColor(initial);
    auto *caption = new QLabel(title + QLatin1Char(':'));
    if (label)
      *label = caption;
    form->addRow(caption, w);
    return w;
  };
  bar_hdr_clr = well("bar_hdr_clr", QStringLiteral("Header colour"), Qt::black, nullptr);
  bar_ftr_clr = well("bar_ftr_clr", QStringLiteral("Footer colour"), Qt::black, nullptr);
  bar_val_clr = well("bar_val_clr", QStringLiteral("Value colour"), Qt::black, &val_clr_label);
  bar_back_clr = well("bar_back_clr", QStringLiteral("Background colour"), Qt::white, &bar_bk_clr_label);
  barcode_clr = well("barcode_clr", QStringLiteral("Bar colour"), Qt::black, &bar_clr_label);
  val_clr_label->setObjectName(QStringLiteral("val_clr_label"));
  bar_bk_clr_label->setObjectName(QStringLiteral("bar_bk_clr_label"));
  bar_clr_label->setObjectName(QStringLiteral("bar_clr_label"));
  return page;
}

QWidget *Barcode_Gen::buildResolutionTab() {
  auto *page = new QWidget;
  dpi_tab_item = page;
  auto *form = new QFormLayout(page);
  DPI_ComboBox = list("DPI_ComboBox", QStringLiteral("Resolution"), QStringLiteral("The resolution of the image"),
                      {QStringLiteral("Auto"), QStringLiteral("Custom"), QStringLiteral("72"), QStringLiteral("150"),
                       QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("1200")});
  form->addRow(QStringLiteral("DPI:"), DPI_ComboBox);
  dpi_Text = field("dpi_Text", QStringLiteral("Custom resolution"),
                   QStringLiteral("Dots per inch of the barcode image"));
  dpi_Stepper = stepper("dpi_Stepper", QStringLiteral("Custom resolution"), 1, 2400, 1, 0);
  form->addRow(QStringLiteral("Custom:"), row(dpi_Text, dpi_Stepper));
  dpi_help_btn = named(new QPushButton(QStringLiteral("?")), "dpi_help_btn", QStringLiteral("Help"),
                       QStringLiteral("What the resolution means"));
  form->addRow(QString(), dpi_help_btn);
  return page;
}

QWidget *Barcode_Gen::buildPreviewPanel() {
  auto *panel = new QWidget;
  auto *layout = new QVBoxLayout(panel);
  image_scroll = named(new QScrollArea, "image_scroll", QStringLiteral("Barcode preview"),
                       QStringLiteral("The barcode as it will be drawn"));
  image_scroll->setMinimumSize(320, 240);
  image_scroll->setAlignment(Qt::AlignCenter);
  barcodeImage = named(new BRCBarcodeImageView, "barcodeImage", QStringLiteral("Barcode image"),
                       QStringLiteral("The barcode as it will be drawn"));
  barcodeImage->setAlignment(Qt::AlignCenter);
  barcodeImage->setFrameShape(QFrame::Panel);
  barcodeImage->setFrameShadow(QFrame::Sunken);
  layout->addWidget(image_scroll, 1);
  barcode_error_label = named(new QLabel(QStringLiteral("Invalid barcode value")), "barcode_error_label",
                              QStringLiteral("Barcode error"), QStringLiteral("Shown while no barcode can be drawn"));
  barcode_error_label->setStyleSheet(QStringLiteral("color: #b00000;"));
  barcode_error_label->hide();
  layout->addWidget(barcode_error_label);
  encode_btn = named(new QPushButton(QStringLiteral("Encode")), "encode_btn", QStringLiteral("Encode"),
                     QStringLiteral("Draws the barcode again from the settings"));
  layout->addWidget(encode_btn);
  return panel;
}

QWidget *Barcode_Gen::buildButtons() {
  auto *bar = new QWidget;
  auto *layout = new QHBoxLayout(bar);
  layout->addStretch(1);
  cancel_btn = named(new QPushButton(QStringLiteral("Cancel")), "cancel_btn", QStringLiteral("Cancel"),
                     QStringLiteral("Closes the designer without changing the barcode"));
  ok_btn = named(new QPushButton(QStringLiteral("OK")), "ok_btn", QStringLiteral("OK"),
                 QStringLiteral("Puts the barcode on the card"));
  ok_btn->setDefault(true);
  layout->addWidget(cancel_btn);
  layout->addWidget(ok_btn);
  return bar;
}
