// The print window's widgets: one small builder per panel, and the connections of
// their actions.

#include "output/Print_Wnd.h"
#include "output/PrintPreviewThumbnail.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"

#include "platform/ControlActions.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <functional>
#include <type_traits>

namespace {

template <typename W>
W *named(W *widget, const QString &objectName, const QString &accessible, const QString &tip) {
  widget->setObjectName(objectName);
  widget->setAccessibleName(accessible);
  widget->setToolTip(tip);
  return widget;
}

QDoubleSpinBox *millimetres(QWidget *parent, double maximum) {
  auto *box = new QDoubleSpinBox(parent);
  box->setDecimals(2);
  box->setRange(0.0, maximum);
  box->setSingleStep(0.5);
  box->setSuffix(QStringLiteral(" mm"));
  box->setKeyboardTracking(false);
  return box;
}

QSpinBox *counter(QWidget *parent, int minimum, int maximum) {
  auto *box = new QSpinBox(parent);
  box->setRange(minimum, maximum);
  box->setKeyboardTracking(false);
  return box;
}

}  // namespace

void Print_Wnd::build() {
  QWidget *owner = m_controller && m_controller->ui ? m_controller->ui->window : nullptr;
  m_window = new QDialog(owner);
  m_window->setObjectName(QStringLiteral("Print_Wnd"));
  m_window->setWindowTitle(QStringLiteral("Print"));
  m_window->setAccessibleName(QStringLiteral("Print"));
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(0.9450980392156862f, 0.9568627450980393f, 0.9803921568627451f, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);

  auto *outer = new QHBoxLayout(m_window);
  auto *left = new QVBoxLayout;
  outer->addLayout(left);

  auto *printerBox = new QGroupBox(QStringLiteral("Printer and paper"), m_window);
  auto *printerGrid = new QGridLayout(printerBox);
  buildPrinterPanel(printerGrid);
  left->addWidget(printerBox);

  auto *layoutBox = new QGroupBox(QStringLiteral("Labels"), m_window);
  auto *layoutGrid = new QGridLayout(layoutBox);
  buildLayoutPanel(layoutGrid);
  left->addWidget(layoutBox);

  auto *lower = new QHBoxLayout;
  auto *positionColumn = new QVBoxLayout;
  buildPositionPanel(positionColumn);
  lower->addLayout(positionColumn);
  auto *sideColumn = new QVBoxLayout;
  buildSidePanel(sideColumn);
  lower->addLayout(sideColumn);
  left->addLayout(lower);

  auto *buttons = new QHBoxLayout;
  Cancel_btn = named(new QPushButton(QStringLiteral("Cancel"), m_window), QStringLiteral("Cancel_btn"),
                     QStringLiteral("Cancel"), QStringLiteral("Close the print window"));
  Cancel_btn->setAutoDefault(false);
  Preview_btn = named(new QPushButton(QStringLiteral("Preview"), m_window), QStringLiteral("Preview_btn"),
                      QStringLiteral("Preview"), QStringLiteral("Show the sheets as they will be printed"));
  Preview_btn->setAutoDefault(false);
  Print_btn = named(new QPushButton(QStringLiteral("Print"), m_window), QStringLiteral("Print_btn"),
                    QStringLiteral("Print"), QStringLiteral("Print the labels on the chosen printer"));
  Print_btn->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(Preview_btn);
  buttons->addWidget(Print_btn);
  left->addLayout(buttons);

  // The thumbnail is painted into an image that the image view shows.
  PrintView = new Sample_Preview(m_window);
  PrintView->hide();
  test_image_view = named(new QLabel(m_window), QStringLiteral("test_image_view"), QStringLiteral("First sheet"),
                          QStringLiteral("The first sheet: where each label will be printed"));
  test_image_view->setMinimumSize(300, 400);
  test_image_view->setAlignment(Qt::AlignCenter);
  test_image_view->setFrameShape(QFrame::StyledPanel);
  outer->addWidget(test_image_view, 1);
}

void Print_Wnd::buildPrinterPanel(QGridLayout *grid) {
  QWidget *parent = grid->parentWidget();
  Printer_ComboBox = named(new QComboBox(parent), QStringLiteral("Printer_ComboBox"), QStringLiteral("Printer"),
                           QStringLiteral("The printer to print on, or a PDF file"));
  Page_Setup_btn = named(new QPushButton(QStringLiteral("Page Setup..."), parent), QStringLiteral("Page_Setup_btn"),
                         QStringLiteral("Page Setup..."),
                         QStringLiteral("Choose the paper, its orientation and margins"));
  Page_Setup_btn->setAutoDefault(false);
  Orient_ComboBox = named(new QComboBox(parent), QStringLiteral("Orient_ComboBox"), QStringLiteral("Orientation"),
                          QStringLiteral("Portrait or landscape paper"));
  Orient_ComboBox->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
  Paper_id = named(new QLabel(parent), QStringLiteral("Paper_id"), QStringLiteral("Paper"), QStringLiteral("The paper"));
  Size_id = named(new QLabel(parent), QStringLiteral("Size_id"), QStringLiteral("Paper size"),
                  QStringLiteral("Width x height of the paper in mm"));
  l_mar_id = named(new QLabel(parent), QStringLiteral("l_mar_id"), QStringLiteral("Left margin"),
                   QStringLiteral("The printer's unprintable margin on the left, in mm"));
  r_mar_id = named(new QLabel(parent), QStringLiteral("r_mar_id"), QStringLiteral("Right margin"),
                   QStringLiteral("The printer's unprintable margin on the right, in mm"));
  t_mar_id = named(new QLabel(parent), QStringLiteral("t_mar_id"), QStringLiteral("Top margin"),
                   QStringLiteral("The printer's unprintable margin at the top, in mm"));
  b_mar_id = named(new QLabel(parent), QStringLiteral("b_mar_id"), QStringLiteral("Bottom margin"),
                   QStringLiteral("The printer's unprintable margin at the bottom, in mm"));
  int row = 0;
  grid->addWidget(new QLabel(QStringLiteral("Printer:"), parent), row, 0);
  grid->addWidget(Printer_ComboBox, row, 1, 1, 3);
  ++row;
  grid->addWidget(new QLabel(QStringLiteral("Orientation:"), parent), row, 0);
  grid->addWidget(Orient_ComboBox, row, 1);
  grid->addWidget(Page_Setup_btn, row, 2, 1, 2);
  ++row;
  grid->addWidget(new QLabel(QStringLiteral("Paper:"), parent), row, 0);
  grid->addWidget(Paper_id, row, 1);
  grid->addWidget(Size_id, row, 2, 1, 2);
  ++row;
  grid->addWidget(new QLabel(QStringLiteral("Margins (mm) left:"), parent), row, 0);
  grid->addWidget(l_mar_id, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("right:"), parent), row, 2);
  grid->addWidget(r_mar_id, row, 3);
  ++row;
  grid->addWidget(new QLabel(QStringLiteral("top:"), parent), row, 0, Qt::AlignRight);
  grid->addWidget(t_mar_id, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("bottom:"), parent), row, 2);
  grid->addWidget(b_mar_id, row, 3);
}

void Print_Wnd::buildLayoutPanel(QGridLayout *grid) {
  QWidget *parent = grid->parentWidget();
  width_Text = named(millimetres(parent, 2000.0), QStringLiteral("width_Text"), QStringLiteral("Card width"),
                     QStringLiteral("Width of one card in mm"));
  height_Text = named(millimetres(parent, 2000.0), QStringLiteral("height_Text"), QStringLiteral("Card height"),
                      QStringLiteral("Height of one card in mm"));
  horz_mar_Text = named(millimetres(parent, 1000.0), QStringLiteral("horz_mar_Text"), QStringLiteral("Gap across"),
                        QStringLiteral("Gap between neighbouring cards across the sheet, in mm"));
  vert_mar_Text = named(millimetres(parent, 1000.0), QStringLiteral("vert_mar_Text"), QStringLiteral("Gap down"),
                        QStringLiteral("Gap between neighbouring cards down the sheet, in mm"));
  Row_Text = named(counter(parent, 1, 999), QStringLiteral("Row_Text"), QStringLiteral("Rows"),
                   QStringLiteral("Rows of cards per sheet (lowered to what fits)"));
  Col_Text = named(counter(parent, 1, 999), QStringLiteral("Col_Text"), QStringLiteral("Columns"),
                   QStringLiteral("Columns of cards per sheet (lowered to what fits)"));
  Total_Text = named(counter(parent, 0, 999999), QStringLiteral("Total_Text"), QStringLiteral("Total"),
                     QStringLiteral("Number of labels to print"));
  Copies_Text = named(counter(parent, 1, 999), QStringLiteral("Copies_Text"), QStringLiteral("Copies"),
                      QStringLiteral("Copies of the whole print"));
  Show_Margins = named(new QCheckBox(QStringLiteral("Show margins"), parent), QStringLiteral("Show_Margins"),
                       QStringLiteral("Show margins"), QStringLiteral("Frame each label in the sheet picture"));
  Auto_Center_chk_bx = named(new QCheckBox(QStringLiteral("Auto centre"), parent), QStringLiteral("Auto_Center_chk_bx"),
                             QStringLiteral("Auto centre"),
                             QStringLiteral("Centre the cards on the sheet with equal gaps"));
  grid->addWidget(new QLabel(QStringLiteral("Width:"), parent), 0, 0);
  grid->addWidget(width_Text, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Height:"), parent), 0, 2);
  grid->addWidget(height_Text, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("Gap across:"), parent), 1, 0);
  grid->addWidget(horz_mar_Text, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Gap down:"), parent), 1, 2);
  grid->addWidget(vert_mar_Text, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Rows:"), parent), 2, 0);
  grid->addWidget(Row_Text, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("Columns:"), parent), 2, 2);
  grid->addWidget(Col_Text, 2, 3);
  grid->addWidget(new QLabel(QStringLiteral("Total:"), parent), 3, 0);
  grid->addWidget(Total_Text, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("Copies:"), parent), 3, 2);
  grid->addWidget(Copies_Text, 3, 3);
  grid->addWidget(Show_Margins, 4, 0, 1, 2);
  grid->addWidget(Auto_Center_chk_bx, 4, 2, 1, 2);
}

void Print_Wnd::buildPositionPanel(QVBoxLayout *box) {
  align_Gp_Bx = named(new QGroupBox(QStringLiteral("Position"), m_window), QStringLiteral("align_Gp_Bx"),
                      QStringLiteral("Position"), QStringLiteral("Where the block of cards sits on the sheet"));
  auto *grid = new QGridLayout(align_Gp_Bx);
  const std::array<QString, 9> objectNames = {
      QStringLiteral("top_left_btn"), QStringLiteral("top_center_btn"), QStringLiteral("top_rite_btn"),
      QStringLiteral("mid_left_btn"), QStringLiteral("mid_center_btn"), QStringLiteral("mid_rite_btn"),
      QStringLiteral("bot_left_btn"), QStringLiteral("bot_center_btn"), QStringLiteral("bot_rite_btn")};
  const std::array<QString, 9> places = {
      QStringLiteral("top left"),    QStringLiteral("top centre"),    QStringLiteral("top right"),
      QStringLiteral("middle left"), QStringLiteral("middle centre"), QStringLiteral("middle right"),
      QStringLiteral("bottom left"), QStringLiteral("bottom centre"), QStringLiteral("bottom right")};
  std::array<QToolButton **, 9> members = {&top_left_btn, &top_center_btn, &top_rite_btn,
                                           &mid_left_btn, &mid_center_btn, &mid_rite_btn,
                                           &bot_left_btn, &bot_center_btn, &bot_rite_btn};
  for (int i = 0; i < 9; ++i) {
    auto *button = named(new QToolButton(align_Gp_Bx), objectNames[size_t(i)],
                         QStringLiteral("Cards at the %1").arg(places[size_t(i)]),
                         QStringLiteral("Put the block of cards at the %1 of the sheet").arg(places[size_t(i)]));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    // One position at a time: chosen by a click, the keyboard or an assistive tool.
    button->setCheckable(true);
    button->setAutoExclusive(true);
    *members[size_t(i)] = button;
    grid->addWidget(button, i / 3, i % 3);
  }
  box->addWidget(align_Gp_Bx);
  box->addStretch(1);
}

void Print_Wnd::buildSidePanel(QVBoxLayout *box) {
  auto *sides = named(new QGroupBox(QStringLiteral("Sides"), m_window), QStringLiteral("matrix_card_side"),
                      QStringLiteral("Sides"), QStringLiteral("Which sides of the card to print"));
  auto *column = new QVBoxLayout(sides);
  m_sideGroup = new QButtonGroup(this);
  const std::array<QString, 3> texts = {QStringLiteral("Both sides"), QStringLiteral("Front"), QStringLiteral("Back")};
  const std::array<QString, 3> tips = {QStringLiteral("Print the front and the back of each card in one label"),
                                       QStringLiteral("Print the front of each card"),
                                       QStringLiteral("Print the back of each card")};
  for (int i = 0; i < 3; ++i) {
    auto *radio = named(new QRadioButton(texts[size_t(i)], sides), QStringLiteral("matrix_card_side_%1").arg(i),
                        texts[size_t(i)], tips[size_t(i)]);
    matrix_card_side[size_t(i)] = radio;
    m_sideGroup->addButton(radio, i);
    column->addWidget(radio);
  }
  print_alignment = named(new QComboBox(sides), QStringLiteral("print_alignment"), QStringLiteral("Arrangement"),
                          QStringLiteral("How both sides share a label"));
  print_alignment->addItems({QStringLiteral("Front above back"), QStringLiteral("Front left of back")});
  column->addWidget(print_alignment);
  box->addWidget(sides);

  print_with_batch_chk = named(new QCheckBox(QStringLiteral("Use series values"), m_window),
                               QStringLiteral("print_with_batch_chk"), QStringLiteral("Use series values"),
                               QStringLiteral("One card per row of the bound series"));
  print_with_excel_chk = named(new QCheckBox(QStringLiteral("Use spreadsheet values"), m_window),
                               QStringLiteral("print_with_excel_chk"), QStringLiteral("Use spreadsheet values"),
                               QStringLiteral("One card per row of the imported spreadsheet"));
  box->addWidget(print_with_batch_chk);
  box->addWidget(print_with_excel_chk);
  box->addStretch(1);
}

void Print_Wnd::connectActions() {
  auto guarded = [](const char *name, const std::function<void()> &action) {
    try {
      action();
    } catch (const std::exception &error) {
      Show_NSLog_Message(QStringLiteral("%1: %2").arg(QLatin1String(name), QString::fromUtf8(error.what())));
    } catch (...) {
      Show_NSLog_Message(QStringLiteral("%1 failed").arg(QLatin1String(name)));
    }
  };
  auto onValue = [this, guarded](auto *box, void (Print_Wnd::*action)(QObject *)) {
    using Box = std::remove_pointer_t<decltype(box)>;
    connect(box, qOverload<typename std::conditional_t<std::is_same_v<Box, QSpinBox>, int, double>>(&Box::valueChanged),
            this, [this, box, action, guarded] { guarded("Print_Wnd", [&] { (this->*action)(box); }); });
  };
  onValue(width_Text, &Print_Wnd::Width_Changed);
  onValue(height_Text, &Print_Wnd::Height_Changed);
  onValue(horz_mar_Text, &Print_Wnd::Horz_Margin_Changed);
  onValue(vert_mar_Text, &Print_Wnd::Vert_Margin_Changed);
  onValue(Row_Text, &Print_Wnd::Row_Changed);
  onValue(Col_Text, &Print_Wnd::Col_Changed);

  auto onClick = [this, guarded](QAbstractButton *button, void (Print_Wnd::*action)(QObject *)) {
    controls::onAction(button, this,
            [this, button, action, guarded] { guarded("Print_Wnd", [&] { (this->*action)(button); }); });
  };
  onClick(Page_Setup_btn, &Print_Wnd::pagesetup);
  onClick(Preview_btn, &Print_Wnd::PreviewButtonPressed);
  onClick(Print_btn, &Print_Wnd::PrintButtonPressed);
  onClick(Cancel_btn, &Print_Wnd::CancelButtonPressed);
  onClick(Show_Margins, &Print_Wnd::Show_Margin_Checked);
  onClick(Auto_Center_chk_bx, &Print_Wnd::Auto_Center_Checked);
  onClick(top_left_btn, &Print_Wnd::Top_left_btn_clicked);
  onClick(top_center_btn, &Print_Wnd::Top_center_btn_clicked);
  onClick(top_rite_btn, &Print_Wnd::Top_rite_btn_clicked);
  onClick(mid_left_btn, &Print_Wnd::Mid_left_btn_clicked);
  onClick(mid_center_btn, &Print_Wnd::Mid_center_btn_clicked);
  onClick(mid_rite_btn, &Print_Wnd::Mid_rite_btn_clicked);
  onClick(bot_left_btn, &Print_Wnd::Bot_left_btn_clicked);
  onClick(bot_center_btn, &Print_Wnd::Bot_center_btn_clicked);
  onClick(bot_rite_btn, &Print_Wnd::Bot_rite_btn_clicked);
  onClick(print_with_batch_chk, &Print_Wnd::Print_With_Batch_Changed);
  onClick(print_with_excel_chk, &Print_Wnd::Print_With_Excel_Changed);
  for (QRadioButton *side : matrix_card_side)
    controls::onAction(side, this,
                       [this, guarded] { guarded("card_side_CellClick", [&] { card_side_CellClick(m_sideGroup); }); });
  for (QComboBox *combo : {Printer_ComboBox, Orient_ComboBox, print_alignment})
    connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, combo](int) {
      try {
        comboBoxSelectionDidChange(combo);
      } catch (const std::exception &error) {
        Show_NSLog_Message(QString::fromUtf8(error.what()));
      }
    });
}
