#include "output/Print_Wnd.h"

#include "output/PrintPreviewThumbnail.h"
#include "output/Printing_View.h"
#include "output/model/PrintLayout.h"

#include "dataseries/BatchCardSource.h"
#include "mainwindow/QLNWindowController.h"

#include "canvas/QLNRenderingView.h"
#include "core/Globals.h"
#include "core/Utilities.h"
#include "platform/ControlActions.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include <exception>

QPrinter *printInfo = nullptr;
Print_Wnd *Print_Var = nullptr;

namespace {

QString reasonOf(const std::exception &error) { return QString::fromUtf8(error.what()); }

}  // namespace

const QString Print_Wnd::PdfPrinterName = QStringLiteral("Print to PDF file");

Print_Wnd::Print_Wnd(QLNWindowController *controller, QObject *parent)
    : QObject(parent), m_controller(controller), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  // The position images, from the resource folder.
  const std::array<QString, 9> plain = {
      QStringLiteral("top_left"),    QStringLiteral("top_center"),    QStringLiteral("top_right"),
      QStringLiteral("middle_left"), QStringLiteral("middle_center"), QStringLiteral("middle_right"),
      QStringLiteral("bootom_left"), QStringLiteral("bootom_center"), QStringLiteral("boottom_right")};
  for (size_t i = 0; i < 9; ++i) {
    const QString selected = i == 4 ? QStringLiteral("middle_center_sel") : plain[i] + QStringLiteral(" - sel");
    m_images[i] = QIcon(joinPath(Resource_Path, plain[i] + QStringLiteral(".png")));
    m_selectedImages[i] = QIcon(joinPath(Resource_Path, selected + QStringLiteral(".png")));
  }
  build();
  connectActions();

  // The print info: the first installed printer, or a PDF file when there is none.
  m_printer->setFullPage(true);
  printInfo = m_printer.get();
  keepInGlobal(Print_Var, this);
}

Print_Wnd::~Print_Wnd() {
  if (printInfo == m_printer.get())
    printInfo = nullptr;
}

Print_Wnd *Print_Wnd::defaultInstance() { return Print_Var; }

QSizeF Print_Wnd::paperSize() {
  if (!printInfo)
    return QSizeF();
  const QSizeF size = printInfo->pageLayout().fullRect(QPageLayout::Point).size();
  // Kept as 32-bit floats, like every other length of the layout.
  return QSizeF(float(size.width()), float(size.height()));
}

// ---- Opening ------------------------------------------------------------------------------

bool Print_Wnd::Open_Print_Wnd() {
  try {
    loading = true;
    {
      const QSignalBlocker sideBlock(m_sideGroup);
      const QSignalBlocker arrangementBlock(print_alignment);
      controls::setCheckedQuietly(matrix_card_side[1], true);
      card_side_str = QStringLiteral("F");
      Print_Card_Algn = QStringLiteral("U");
      print_alignment->setCurrentIndex(0);
      print_alignment->setEnabled(false);
      Print_Card_Side = QStringLiteral("F");
    }
    auto_center_flag = false;
    Show_margin_rect = true;
    controls::setCheckedQuietly(Auto_Center_chk_bx, false);
    controls::setCheckedQuietly(Show_Margins, true);
    Print_Row = 1;
    Print_Col = 1;
    Total_Label = 1;
    barcode_counter = 0;

    // Both sides as they are now.
    const int savedSide = Card_Front_Or_Back.load();
    QString error;
    Card_Front_Or_Back = 1;
    back_image = m_controller ? QLNRenderingView::image_From_Card_Graphics(m_controller->Get_Back_Controls_Array(),
                                                                           false, &error)
                              : CardPicture();
    Card_Front_Or_Back = 0;
    front_image = m_controller ? QLNRenderingView::image_From_Card_Graphics(m_controller->Get_Front_Controls_Array(),
                                                                            false, &error)
                               : CardPicture();
    Card_Front_Or_Back = savedSide;

    // The batch boxes: ticked for each binding in use; a box without its binding is off
    // and cannot be ticked.
    const bool series = Use_Data_Sheet_Values.load() != 0;
    const bool spreadsheet = Use_Excel_Binding_Values.load() != 0;
    print_with_batch_chk->setEnabled(series);
    controls::setCheckedQuietly(print_with_batch_chk, series);
    print_with_excel_chk->setEnabled(spreadsheet);
    controls::setCheckedQuietly(print_with_excel_chk, spreadsheet);
    {
      const QSignalBlocker block(Total_Text);
      if (series || spreadsheet) {
        Total_Label = Total_Batch_Excel_Card.load();
        Total_Text->setMaximum(std::max(Total_Label, 1));
      } else {
        Total_Label = 1;
        Total_Text->setMaximum(999999);
      }
      Total_Text->setValue(Total_Label);
    }

    // The label size from the front image; gaps, rows and columns reset.
    label_width = float(front_image.size().width());
    label_hight = float(front_image.size().height());
    {
      const QSignalBlocker w(width_Text), h(height_Text), gx(horz_mar_Text), gy(vert_mar_Text), r(Row_Text),
          c(Col_Text);
      width_Text->setValue(PrintLayout::Points_to_MM_Convert(label_width));
      height_Text->setValue(PrintLayout::Points_to_MM_Convert(label_hight));
      Row_Text->setValue(1);
      Col_Text->setValue(1);
      horz_mar_Text->setValue(0.0);
      vert_mar_Text->setValue(0.0);
    }
    horz_mar_Text->setEnabled(true);
    vert_mar_Text->setEnabled(true);
    SetObjEnabled(align_Gp_Bx, true);
    label_align_val = 1;
    Set_Reset_Alignemnt_Image();

    // The printers: every installed queue, then the PDF file.
    {
      const QSignalBlocker block(Printer_ComboBox);
      Printer_ComboBox->clear();
      Printer_ComboBox->addItems(QPrinterInfo::availablePrinterNames());
      Printer_ComboBox->addItem(PdfPrinterName);
      Printer_ComboBox->setCurrentIndex(0);
    }
    selectPrinter(Printer_ComboBox->currentText());

    Set_values_From_Printer();
    loading = false;
    Check_Max_Cell_Value();

    const int code = UiServices::instance().runModal(m_window);
    m_window->hide();
    return code == ModalOK || code == ModalCancel;
  } catch (const std::exception &error) {
    loading = false;
    Show_NSLog_Message(reasonOf(error));
    Show_MessageBox(reasonOf(error));
    return false;
  }
}

void Print_Wnd::selectPrinter(const QString &name) {
  if (!printInfo)
    return;
  const QPageLayout layout = printInfo->pageLayout();
  if (name == PdfPrinterName) {
    printInfo->setOutputFormat(QPrinter::PdfFormat);
  } else {
    printInfo->setOutputFormat(QPrinter::NativeFormat);
    printInfo->setPrinterName(name);
  }
  // The paper and orientation chosen so far stay when the printer changes.
  printInfo->setPageSize(layout.pageSize());
  printInfo->setPageOrientation(layout.orientation());
  printInfo->setFullPage(true);
}

// ---- Values from the printer and fitting ---------------------------------------------------

void Print_Wnd::Set_values_From_Printer() {
  if (!printInfo)
    return;
  const QPageLayout layout = printInfo->pageLayout();
  const QSizeF paper = paperSize();
  const QMarginsF margins = layout.margins(QPageLayout::Point);
  Paper_id->setText(layout.pageSize().name());
  PrintView->setPaperSize(paper);
  Size_id->setText(QString::asprintf("%.2f x %.2f", double(PrintLayout::Points_to_MM_Convert(float(paper.width()))),
                                     double(PrintLayout::Points_to_MM_Convert(float(paper.height())))));
  Left_Mar = float(margins.left());
  Rite_Mar = float(margins.right());
  Top_Mar = float(margins.top());
  Bot_Mar = float(margins.bottom());
  {
    const QSignalBlocker block(Orient_ComboBox);
    Orient_ComboBox->setCurrentIndex(layout.orientation() == QPageLayout::Landscape ? 1 : 0);
  }
  auto mm = [](float points) { return QString::asprintf("%0.2f", double(PrintLayout::Points_to_MM_Convert(points))); };
  l_mar_id->setText(mm(Left_Mar));
  r_mar_id->setText(mm(Rite_Mar));
  t_mar_id->setText(mm(Top_Mar));
  b_mar_id->setText(mm(Bot_Mar));
  Refresh_Preview();
}

void Print_Wnd::Check_Max_Cell_Value() {
  if (!printInfo)
    return;
  barcode_counter = 0;
  label_width = PrintLayout::MM_to_Points_Convert(float(width_Text->value()));
  label_hight = PrintLayout::MM_to_Points_Convert(float(height_Text->value()));
  if (card_side_str == QLatin1String("BOTH")) {
    if (Print_Card_Algn == QLatin1String("U"))
      label_hight *= 2;
    else
      label_width *= 2;
  }
  const QSizeF paper = paperSize();
  horz_mar = PrintLayout::MM_to_Points_Convert(float(horz_mar_Text->value()));
  vert_mar = PrintLayout::MM_to_Points_Convert(float(vert_mar_Text->value()));
  const bool autoCenter = Auto_Center_chk_bx->isChecked();
  const PrintLayout::Fit across = PrintLayout::fitAlong(float(paper.width()), Left_Mar + Rite_Mar, label_width,
                                                        Col_Text->value(), horz_mar, autoCenter);
  const PrintLayout::Fit down = PrintLayout::fitAlong(float(paper.height()), Top_Mar + Bot_Mar, label_hight,
                                                      Row_Text->value(), vert_mar, autoCenter);
  if (autoCenter) {
    horz_mar = across.gap;
    vert_mar = down.gap;
  }
  {
    const QSignalBlocker r(Row_Text), c(Col_Text);
    if (across.setField)
      Col_Text->setValue(across.count);
    if (down.setField)
      Row_Text->setValue(down.count);
  }
  Print_Row = down.count;
  Print_Col = across.count;
  if (!Use_Data_Sheet_Values.load() && !Use_Excel_Binding_Values.load()) {
    // One full sheet of the same card.
    Total_Label = Print_Row * Print_Col;
    const QSignalBlocker block(Total_Text);
    Total_Text->setValue(Total_Label);
  }
  Refresh_Preview();
}

void Print_Wnd::Refresh_Preview() {
  if (!printInfo || loading)
    return;
  PrintView->setFrontImageSize(front_image.isNull() ? QSizeF() : front_image.size());
  const QImage sheet = PrintView->imageRepresentation();
  if (sheet.isNull()) {
    test_image_view->clear();
    return;
  }
  const QSize room = test_image_view->size().boundedTo(QSize(600, 800)).expandedTo(QSize(200, 260));
  test_image_view->setPixmap(
      QPixmap::fromImage(sheet).scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// ---- Actions --------------------------------------------------------------------------------

void Print_Wnd::Width_Changed(QObject *) { Check_Max_Cell_Value(); }
void Print_Wnd::Height_Changed(QObject *) { Check_Max_Cell_Value(); }
void Print_Wnd::Horz_Margin_Changed(QObject *) { Check_Max_Cell_Value(); }
void Print_Wnd::Vert_Margin_Changed(QObject *) { Check_Max_Cell_Value(); }
void Print_Wnd::Row_Changed(QObject *) { Check_Max_Cell_Value(); }
void Print_Wnd::Col_Changed(QObject *) { Check_Max_Cell_Value(); }

void Print_Wnd::pagesetup(QObject *) {
  if (!printInfo)
    return;
  QPageSetupDialog panel(printInfo, m_window);
  panel.setObjectName(QStringLiteral("PageSetup"));
  if (UiServices::instance().runModal(&panel) == ModalOK) {
    printInfo->setFullPage(true);
    Set_values_From_Printer();
    Check_Max_Cell_Value();
  }
}

void Print_Wnd::PreviewButtonPressed(QObject *) { Execute_Printing(true); }
void Print_Wnd::PrintButtonPressed(QObject *) { Execute_Printing(false); }

void Print_Wnd::CancelButtonPressed(QObject *) {
  m_window->done(ModalCancel);
}

void Print_Wnd::comboBoxSelectionDidChange(QObject *combo) {
  if (combo == Printer_ComboBox) {
    selectPrinter(Printer_ComboBox->currentText());
    Set_values_From_Printer();
  } else if (combo == Orient_ComboBox) {
    if (!printInfo)
      return;
    const bool portrait = Orient_ComboBox->currentIndex() == 0;
    printInfo->setPageOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    Set_values_From_Printer();
    Check_Max_Cell_Value();
  } else if (combo == print_alignment) {
    Print_Card_Algn = print_alignment->currentIndex() == 0 ? QStringLiteral("U") : QStringLiteral("L");
    Check_Max_Cell_Value();
  }
}

void Print_Wnd::Show_Margin_Checked(QObject *) {
  Show_margin_rect = Show_Margins->isChecked();
  Refresh_Preview();
}

void Print_Wnd::Auto_Center_Checked(QObject *) {
  const bool on = Auto_Center_chk_bx->isChecked();
  auto_center_flag = on;
  horz_mar_Text->setEnabled(!on);
  vert_mar_Text->setEnabled(!on);
  SetObjEnabled(align_Gp_Bx, !on);
  Check_Max_Cell_Value();
}

void Print_Wnd::setPosition(int value) {
  label_align_val = value;
  Set_Reset_Alignemnt_Image();
  Refresh_Preview();
}

void Print_Wnd::Top_left_btn_clicked(QObject *) { setPosition(1); }
void Print_Wnd::Top_center_btn_clicked(QObject *) { setPosition(2); }
void Print_Wnd::Top_rite_btn_clicked(QObject *) { setPosition(3); }
void Print_Wnd::Mid_left_btn_clicked(QObject *) { setPosition(4); }
void Print_Wnd::Mid_center_btn_clicked(QObject *) { setPosition(5); }
void Print_Wnd::Mid_rite_btn_clicked(QObject *) { setPosition(6); }
void Print_Wnd::Bot_left_btn_clicked(QObject *) { setPosition(7); }
void Print_Wnd::Bot_center_btn_clicked(QObject *) { setPosition(8); }
void Print_Wnd::Bot_rite_btn_clicked(QObject *) { setPosition(9); }

QToolButton *Print_Wnd::positionButton(int value) const {
  const std::array<QToolButton *, 9> buttons = {top_left_btn, top_center_btn, top_rite_btn,
                                                mid_left_btn, mid_center_btn, mid_rite_btn,
                                                bot_left_btn, bot_center_btn, bot_rite_btn};
  return value >= 1 && value <= 9 ? buttons[size_t(value - 1)] : nullptr;
}

void Print_Wnd::Set_Reset_Alignemnt_Image() {
  if (label_align_val < 1 || label_align_val > 9)
    return;
  for (int value = 1; value <= 9; ++value) {
    QToolButton *button = positionButton(value);
    const bool selected = value == label_align_val;
    button->setIcon(selected ? m_selectedImages[size_t(value - 1)] : m_images[size_t(value - 1)]);
    controls::setCheckedQuietly(button, selected);
  }
}

void Print_Wnd::card_side_CellClick(QObject *) {
  const int row = m_sideGroup->checkedId();
  card_side_str = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
  print_alignment->setEnabled(card_side_str == QLatin1String("BOTH"));
  Print_Card_Side = card_side_str;
  Check_Max_Cell_Value();
}

void Print_Wnd::Verify_Card_Count() {
  if (!m_controller)
    return;
  m_controller->Check_Series_Or_Excel_Use_or_not();
  if (Use_Data_Sheet_Values.load() && !print_with_batch_chk->isChecked())
    Use_Data_Sheet_Values = 0;
  if (Use_Excel_Binding_Values.load() && !print_with_excel_chk->isChecked())
    Use_Excel_Binding_Values = 0;
  m_controller->Get_total_Card_count();
}

void Print_Wnd::Print_With_Batch_Changed(QObject *) {
  Verify_Card_Count();
  const bool either = print_with_batch_chk->isChecked() || print_with_excel_chk->isChecked();
  Total_Label = either ? Total_Batch_Excel_Card.load() : 1;
  const QSignalBlocker block(Total_Text);
  Total_Text->setValue(Total_Label);
}

void Print_Wnd::Print_With_Excel_Changed(QObject *sender) { Print_With_Batch_Changed(sender); }

// ---- Printing ---------------------------------------------------------------------------------

bool Print_Wnd::oversizedCardAccepted(const PrintLayout::Settings &settings) {
  const QString question = settings.oversizedCardQuestion();
  return question.isEmpty() || Show_YES_NO_MessageBox(question);
}

void Print_Wnd::Execute_Printing(bool preview) {
  const QSizeF paper = paperSize();
  if (label_width + Left_Mar + Rite_Mar + horz_mar > float(paper.width()) ||
      label_hight + Top_Mar + Bot_Mar + vert_mar > float(paper.height())) {
    if (!Show_YES_NO_MessageBox(QStringLiteral("'Card Size' is bigger than selected 'Paper Size' or drawn label may be "
                                               "out of margin area.\n\nDo you want to continue?")))
      return;
  }
  // The preview's own Print button prints as the Print button does, once the preview
  // has closed.
  if (printLabels(preview))
    printLabels(false);
}

bool Print_Wnd::printLabels(bool preview) {
  const QSizeF paper = paperSize();
  barcode_counter = 0;
  Total_Label = Total_Text->value();
  Total_Label_Real = Total_Label;

  const QSizeF card = front_image.isNull() ? QSizeF() : front_image.size();
  PrintLayout::Settings settings = PrintLayout::Settings::fromGlobals(paper, card);
  if (const QString refusal = settings.refusal(); !refusal.isEmpty()) {
    Show_MessageBox(refusal);
    return false;
  }
  // A card larger than its cell: asked before anything is printed (the preview shows it).
  const QString printer = Printer_ComboBox->currentText();
  const bool printable = printer == PdfPrinterName || !QPrinterInfo::printerInfo(printer).isNull();
  if (!preview && printable && !oversizedCardAccepted(settings))
    return false;

  // The cards: the batch's rows when a box is ticked, otherwise the design as it is.
  const bool offered = print_with_batch_chk->isEnabled() || print_with_excel_chk->isEnabled();
  if (offered)
    Verify_Card_Count();
  const bool bound = Use_Data_Sheet_Values.load() || Use_Excel_Binding_Values.load();
  Printing_View::Cards cards;
  // The cards printed without a barcode that could not hold their value (not those of a
  // preview, which shows them).
  auto unheld = std::make_shared<BatchRunFailures>();
  if (bound && m_controller) {
    cards = Printing_View::fromBatch(m_controller->batchCardSource(), preview ? nullptr : unheld);
  } else {
    cards.front = front_image;
    cards.back = back_image;
  }
  const int savedSide = Card_Front_Or_Back.load();
  const Printing_View view(settings, std::move(cards));
  BatchRunFailures failures;
  QString error;
  int pages = view.numberOfPages();
  bool printRequested = false;

  if (preview) {
    if (pages > PrintLayout::PreviewSheetLimit) {
      Show_MessageBox(PrintLayout::PreviewLimitMessage);
      pages = PrintLayout::PreviewSheetLimit;
    }
    printInfo->setFullPage(true);
    QPrintPreviewDialog dialog(printInfo, m_window);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&view, &error, pages](QPrinter *printer) {
      const QString problem = view.printTo(printer, pages);
      if (!problem.isEmpty())
        error = problem;
    });
    // The preview's Print button would print the previewed sheets only, after a print
    // dialog of its own, and name no card that failed: it closes the preview instead,
    // and the caller prints as the Print button does.
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction *action : dialog.findChildren<QAction *>()) {
      if (action->text() != printText)
        continue;
      disconnect(action, &QAction::triggered, &dialog, nullptr);
      connect(action, &QAction::triggered, &dialog, [&dialog, &printRequested] {
        printRequested = true;
        dialog.accept();
      });
    }
    UiServices::instance().runModal(&dialog);
  } else if (Printer_ComboBox->currentText() == PdfPrinterName) {
    FilePanelOptions options;
    options.title = PdfPrinterName;
    options.extensions = {QStringLiteral("pdf")};
    options.defaultExtension = QStringLiteral("pdf");
    options.suggestedName = QStringLiteral("Cards.pdf");
    const QString path = UiServices::instance().saveFile(options);
    if (!path.isEmpty())
      error = view.printToPdf(path, printInfo->pageLayout(), Copies_Text->value(), &failures);
    else
      pages = 0;
  } else if (QPrinterInfo::printerInfo(Printer_ComboBox->currentText()).isNull()) {
    error = QStringLiteral("No printer found.");
    pages = 0;
  } else {
    printInfo->setFullPage(true);
    printInfo->setCopyCount(Copies_Text->value());
    error = view.printTo(printInfo, -1, &failures);
  }
  barcode_counter = std::min(Total_Label_Real, pages * settings.labelsPerSheet());

  if (bound && m_controller)
    m_controller->Select_first_row_value_for_design(true);
  Card_Front_Or_Back = savedSide;
  if (!error.isEmpty())
    Show_MessageBox(error);
  failures.report();
  if (error.isEmpty()) {
    const QString note = unheld->unheldBarcodesMessage();
    if (!note.isEmpty())
      Show_MessageBox(note);
  }
  return printRequested;
}

QString Print_Wnd::Find_Papaer_Name_From_Size(const QString &width, const QString &size_hgt) {
  // Sizes in hundredths of a millimetre, width x height.
  struct Paper {
    int width;
    int height;
    const char *name;
  };
  static constexpr Paper papers[] = {
      {29700, 42000, "A3"},           {21000, 29700, "A4"},
      {14800, 21000, "A5"},           {17600, 25000, "B5"},
      {10500, 24100, "Envelope #10"}, {12000, 23500, "Envelope Choukei 3"},
      {11000, 22000, "Envelope DL"},  {18200, 25700, "JIS B5"},
      {19700, 27300, "ROC 16K"},      {33000, 48300, "Super B/A3"},
      {27900, 43200, "Tabloid"},      {30500, 45700, "Tabloid Oversize"},
      {21600, 35600, "US Legal"},     {21600, 27900, "US Letter"},
      {21590, 27940, "Letter"},       {10000, 14800, "Postcard"},
      {18400, 26700, "Executive"},
  };
  // A size is compared as a whole number, never as a piece of text: "10" is not a part
  // of "110.00", and "210" is "210.00".
  const auto hundredths = [](const QString &text, bool *ok) {
    const double value = text.trimmed().toDouble(ok);
    *ok = *ok && value > 0 && value < 1e6;
    return *ok ? qRound64(value * 100.0) : 0;
  };
  bool widthOk = false, heightOk = false;
  const qint64 w = hundredths(width, &widthOk);
  const qint64 h = hundredths(size_hgt, &heightOk);
  if (!widthOk || !heightOk)
    return QString();
  QString name;
  for (const Paper &paper : papers) {
    if ((w == paper.width && h == paper.height) || (w == paper.height && h == paper.width))
      name = QLatin1String(paper.name);
  }
  return name;
}
