// The window "DrawWindow" and the windows that come with it: every control that the
// main window's commands, the property panel and the property actions name exists
// under its name, with the kind of control it is used as; and the small controls do
// what the panel relies on (a typed value reaches its stepper, the colour well asks
// the colour panel, code sets values silently).

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include <map>
#include <vector>

namespace {

// Records the values a signal carried.
template <class T>
struct Recorder {
  std::vector<T> values;
  int count() const { return int(values.size()); }
};

// The controls of the main window, by the name the program's code uses.
const char *const MainWindowControls[] = {
    // canvas area and panel
    "Front_back_label", "myTargetView", "first_view", "second_view", "temp_design_view", "_zoomingScrollView",
    "_zoomingScrollView_BACK", "_zoomingScrollView_TEMP", "_graphicView", "_graphicView_BACK", "_graphicView_TEMP",
    "imageBrowser", "sett_tab",
    // tabs
    "card_setting_tab", "card_info_tab", "card_size_tab", "card_bkgd_tab", "card_brdr_tab", "line_tab", "shape_tab",
    "text_edtng_tab", "text_prop_tab", "image_tab", "sign_tab", "datasource_tab", "aligmnt_tab", "barcode_tab",
    "Lock_tab",
    // editing and side buttons
    "Undo_btn", "Redo_btn", "Cut_btn", "Copy_btn", "Paste_btn", "Delete_btn", "Begin_Front_btn", "Send_Back_btn",
    "Lock_btn", "Unlock_btn", "Back_Side_btn", "Align_with_grid_btn",
    // card settings
    "width_Stepper", "width_Text", "height_Stepper", "height_Text", "matrix_card_shape", "card_name",
    "Sides_ComboBox", "Preset_ComboBox", "Category_ComboBox", "ColList", "All_Text_clr", "All_Text_font_value",
    "All_Text_clr_COPY", "All_Text_font_value_COPY", "sel_control_name", "Card_border_chk", "Card_Border_Box",
    "Card_bordr_clr", "Card_bor_Stepper", "Card_bor_Text", "Card_border_style", "Card_fill_chk", "Card_Fill_Box",
    "Card_solid_fill_rd", "Card_gradient_fill_rd", "Card_Style_fill_rd", "Card_Image_fill_rd", "Card_fill_clr",
    "Card_fill_Grd_1_clr", "Card_fill_Grd_2_clr", "Card_grad_Stepper", "Card_grad_Text", "Card_hatch_style",
    "Card_hatch_bk_clr", "Card_Image_path", "Card_image_layout", "Card_image_box", "Card_alpha_Stepper",
    "Card_alpha_Text",
    // line
    "Line_clr", "Line_Wdt_Stepper", "Line_Wdt_Text", "Line_border_style", "Line_ori_style", "Line_cap_style",
    "Line_alpha_Stepper", "Line_alpha_Text",
    // shape
    "Shape_prop_title", "Shape_border_chk", "Shape_Border_Box", "shape_bordr_clr", "shape_bor_Stepper",
    "shape_bor_Text", "shape_border_style", "Shape_fill_chk", "Shape_Fill_Box", "Shape_solid_fill_rd",
    "Shape_gradient_fill_rd", "Shape_Style_fill_rd", "shape_fill_clr", "shape_fill_Grd_1_clr", "shape_fill_Grd_2_clr",
    "shape_grad_Stepper", "shape_grad_Text", "shape_hatch_style", "shape_hatch_bk_clr", "shape_alpha_Stepper",
    "shape_alpha_Text", "shape_cor_radius_Stepper", "shape_cor_radius_Text", "shape_cor_radius_Label",
    "double_star_Label", "double_star_Stepper", "double_star_Text", "polygon_Label", "polygon_Stepper",
    "polygon_Text",
    // text
    "Text_value_Edit", "insert_template_btn", "Text_Date_style", "Text_Time_style", "Text_font_value", "Text_clr",
    "Text_align_combo", "Text_case_combo", "Text_Kern_Stepper", "Text_Kern_Text", "Text_alpha_Stepper",
    "Text_alpha_Text", "Text_border_chk", "Text_Border_Box", "Text_bordr_clr", "Text_bor_Stepper", "Text_bor_Text",
    "Text_border_style", "Text_fill_chk", "Text_Fill_Box", "Text_solid_fill_rd", "Text_gradient_fill_rd",
    "Text_fill_clr", "Text_fill_Grd_1_clr", "Text_fill_Grd_2_clr", "Text_grad_Stepper", "Text_grad_Text",
    // image
    "Image_border_chk", "Image_Border_Box", "Image_bordr_clr", "Image_bor_Stepper", "Image_bor_Text",
    "Image_border_style", "Image_FIH_chk", "Image_FIV_chk", "Image_Invert_chk", "Image_Gray_Scale_chk",
    "Image_Sepia_chk", "Trsp_slidr", "Trsp_slidr_val", "Rotate_slidr", "Rotate_slidr_val", "Hue_slidr",
    "Hue_slidr_val", "Sat_slidr", "Sat_slidr_val", "Brt_slidr", "Brt_slidr_val", "Con_slidr", "Con_slidr_val",
    "shrp_slidr", "shrp_slidr_val", "ev_slidr", "ev_slidr_val", "blr_slidr", "blr_slidr_val",
    // signature
    "Sign_border_chk", "Sign_Border_Box", "Sign_bordr_clr", "Sign_bor_Stepper", "Sign_bor_Text", "Sign_border_style",
    "Sign_image_path",
    // data source
    "data_source_title", "Data_source_type", "Batch_Series", "view_series_btn", "manual_brws_box",
    "Manual_image_path",
    // alignment, print flag and grid
    "print_object_chk", "Show_hide_grid_chk", "Grid_clr", "Grid_Space_slidr", "Grid_Opt_box",
};

// The windows of the same interface, with their controls.
const std::pair<const char *, std::vector<const char *>> Windows[] = {
    {"ExportWindow",
     {"saveDPIText", "matrix_file_type", "fileFormatPopup", "export_combined_image_chk", "matrix_export_card_side",
      "Export_with_batch_chk", "Export_with_excel_chk"}},
    {"Open_Export_Files", {"_open_log_chk", "_open_log_path", "_open_log_message"}},
    {"plz_wait_Window", {"modeless_msg_lbl"}},
    {"Send_Models_Window", {"_tot_msg_cnt", "_curr_msg_cnt", "_Curr_Progress", "_stop_btn", "pause_label"}},
    {"HelpWindow", {}},
    {"Review_Window", {}},
    {"Export_Template_Window", {"template_name", "template_passed"}},
};

class DrawWindowTest : public ::testing::Test {
protected:
  // The whole window: the objects' tabs too, which the window makes on first use.
  void SetUp() override {
    ui.build();
    ui.objectTabs.ensureBuilt();
  }
  DrawWindow ui;
};

// The pieces Qt puts inside its own widgets (a toolbar's overflow button, the tab bar's
// scroll arrows, a table's corner button, the field and the list of a combo box) are
// described by Qt or by the widget that holds them.
bool isPartOfAQtWidget(const QWidget *widget) {
  if (widget->objectName().startsWith(QLatin1String("qt_")) || widget->inherits("QTableCornerButton") ||
      qobject_cast<const QTabBar *>(widget->parentWidget()))
    return true;
  for (const QObject *holder = widget->parent(); holder; holder = holder->parent())
    if (qobject_cast<const QComboBox *>(holder))
      return true;
  return false;
}

// Hidden with hide(): the stores the panel keeps out of sight, never shown to a user.
bool isHiddenOnPurpose(const QWidget *widget) {
  return widget->testAttribute(Qt::WA_WState_ExplicitShowHide) && widget->testAttribute(Qt::WA_WState_Hidden);
}

// "sign_tab_content/QWidget()/Stepper(Sign_bor_Stepper)/QToolButton()": enough of the
// way down to find a control in a failure message.
std::string whereIs(const QWidget *widget) {
  QStringList steps;
  for (const QWidget *step = widget; step; step = step->parentWidget()) {
    steps.prepend(QStringLiteral("%1(%2)").arg(QLatin1String(step->metaObject()->className()), step->objectName()));
    if (!step->objectName().isEmpty() && step != widget)
      break;
  }
  return steps.join(QLatin1Char('/')).toStdString();
}

// What a screen reader calls a control: its accessible name, or for a button its text.
QString spokenName(const QWidget *widget) {
  QString name = widget->accessibleName();
  if (name.trimmed().isEmpty())
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
      name = button->text();
  return name.trimmed();
}

// Controls that take input without being buttons.
bool isInputControl(const QWidget *widget) {
  return qobject_cast<const QComboBox *>(widget) || qobject_cast<const QLineEdit *>(widget) ||
         qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QSlider *>(widget) ||
         qobject_cast<const QAbstractItemView *>(widget) || qobject_cast<const ColorWell *>(widget);
}

}  // namespace

TEST_F(DrawWindowTest, EveryNamedControlExistsOnceUnderItsName) {
  ASSERT_EQ(ui.window->objectName(), QStringLiteral("DrawWindow"));
  for (const char *name : MainWindowControls) {
    const QList<QWidget *> found = ui.window->findChildren<QWidget *>(QLatin1String(name));
    EXPECT_EQ(found.size(), 1) << name;
  }
  for (const auto &[windowName, controls] : Windows) {
    QDialog *dialog = ui.window->findChild<QDialog *>(QLatin1String(windowName));
    ASSERT_NE(dialog, nullptr) << windowName;
    EXPECT_TRUE(dialog->isWindow()) << windowName;
    for (const char *control : controls)
      EXPECT_EQ(dialog->findChildren<QWidget *>(QLatin1String(control)).size(), 1) << windowName << "/" << control;
  }
  // The sixteen tools, in tool id order.
  const auto tools = ui.toolButtons();
  for (int id = 0; id < 16; ++id) {
    ASSERT_NE(tools[size_t(id)], nullptr);
    EXPECT_EQ(ui.toolGroup->id(tools[size_t(id)]), id);
  }
  EXPECT_TRUE(ui.Arrow_Tool_btn->isChecked());
}

TEST_F(DrawWindowTest, ControlsAreOfTheKindsTheCodeUsesThemAs) {
  // Boxes are plain group boxes, so that enabling a box reaches every control inside.
  for (const char *box : {"Card_Border_Box", "Card_Fill_Box", "Card_image_box", "Shape_Border_Box", "Shape_Fill_Box",
                          "Text_Border_Box", "Text_Fill_Box", "Image_Border_Box", "Sign_Border_Box", "manual_brws_box",
                          "Grid_Opt_box"}) {
    QWidget *widget = ui.window->findChild<QWidget *>(QLatin1String(box));
    ASSERT_NE(widget, nullptr) << box;
    EXPECT_STREQ(widget->metaObject()->className(), "QGroupBox") << box;
  }
  for (const char *combo : {"Card_image_layout", "Card_border_style", "Card_hatch_style", "Line_border_style",
                            "Line_ori_style", "Line_cap_style", "Text_border_style", "Text_align_combo",
                            "Text_case_combo", "shape_border_style", "shape_hatch_style", "Image_border_style",
                            "Sign_border_style", "Data_source_type", "Batch_Series", "Sides_ComboBox",
                            "Preset_ComboBox", "Category_ComboBox", "Text_Date_style", "Text_Time_style"})
    EXPECT_NE(ui.window->findChild<QComboBox *>(QLatin1String(combo)), nullptr) << combo;

  // The items the program's code relies on.
  auto items = [](const QComboBox *combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
      list << combo->itemText(i);
    return list;
  };
  EXPECT_EQ(items(ui.Data_source_type), (QStringList{"Manual", "Series"}));
  EXPECT_EQ(ui.Sides_ComboBox->itemText(0), QStringLiteral("Two Sided"));
  EXPECT_EQ(ui.Category_ComboBox->itemText(0), QStringLiteral("PVC Card"));
  EXPECT_EQ(items(ui.Preset_ComboBox), (QStringList{"Horizontal", "Vertical"}));
  EXPECT_EQ(items(ui.Card_image_layout), (QStringList{"Tile", "Stretch"}));
  for (QComboBox *borders : std::initializer_list<QComboBox *>{ui.Card_border_style, ui.Line_border_style,
                                                               ui.Text_border_style, ui.shape_border_style,
                                                               ui.Image_border_style, ui.Sign_border_style})
    EXPECT_EQ(borders->count(), 5) << borders->objectName().toStdString();
  EXPECT_EQ(items(ui.Line_cap_style), (QStringList{"Butt", "Round", "Square"}));
  EXPECT_EQ(ui.Text_case_combo->count(), 4);
  EXPECT_EQ(ui.Text_align_combo->count(), 5);
  EXPECT_EQ(ui.fileFormatPopup->itemText(0), QStringLiteral("TIFF"));
  EXPECT_EQ(ui.matrix_file_type->numberOfRows(), ui.fileFormatPopup->count());
  EXPECT_EQ(ui.matrix_export_card_side->numberOfRows(), 3);
  EXPECT_EQ(ui.matrix_card_shape->numberOfRows(), 3);
  EXPECT_EQ(ui.sel_control_name->text(), QStringLiteral("NONE"));
  EXPECT_TRUE(ui.sel_control_name->isHidden());

  // The three tabs a card shows, in order, with their titles; the other twelve pages are
  // kept by the tab view, out of sight until the panel shows them.
  ASSERT_EQ(ui.sett_tab->count(), 3);
  const auto pages = ui.tabPages();
  const size_t shown[] = {0, 3, 4};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ui.sett_tab->widget(i), pages[shown[i]]);
    EXPECT_EQ(ui.sett_tab->tabText(i), DrawWindow::tabTitles().at(qsizetype(shown[i])));
  }
  for (size_t i : {1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}) {
    ASSERT_NE(pages[i], nullptr) << i;
    EXPECT_EQ(pages[i]->parentWidget(), ui.sett_tab) << i;
    EXPECT_TRUE(pages[i]->isHidden()) << i;
  }
}

// The objects' tabs are not made with the window, but by the first use of any of their
// controls, whole, and go with the window.
TEST(DrawWindowObjectTabs, AreMadeWholeByTheFirstUseOfAnyControlAndGoWithTheWindow) {
  DrawWindow ui;
  ui.build();
  EXPECT_FALSE(ui.objectTabs.isBuilt());
  EXPECT_EQ(ui.window->findChild<QWidget *>(QStringLiteral("Line_clr")), nullptr);
  EXPECT_EQ(ui.window->findChild<QWidget *>(QStringLiteral("Lock_tab")), nullptr);
  // Asking whether an object is one of their controls makes nothing.
  QObject *card = ui.Card_border_style;
  EXPECT_FALSE(ui.Line_border_style == card);
  EXPECT_EQ(ui.tabPagesMade()[5], nullptr);
  EXPECT_FALSE(ui.objectTabs.isBuilt());

  int made = 0;
  ui.objectTabs.whenBuilt([&] { ++made; });
  // One control of the last tab makes all ten, once.
  QLabel *lockInfo = ui.lock_info_lbl;
  ASSERT_NE(lockInfo, nullptr);
  EXPECT_TRUE(ui.objectTabs.isBuilt());
  EXPECT_EQ(made, 1);
  EXPECT_NE(ui.Line_clr.ifBuilt(), nullptr);
  EXPECT_EQ(ui.window->findChildren<QWidget *>(QStringLiteral("Line_clr")).size(), 1);
  EXPECT_TRUE(ui.Line_border_style == static_cast<QObject *>(ui.Line_border_style));
  ui.objectTabs.ensureBuilt();
  EXPECT_EQ(made, 1);
  // A step registered afterwards runs at once.
  ui.objectTabs.whenBuilt([&] { ++made; });
  EXPECT_EQ(made, 2);
  EXPECT_EQ(ui.sett_tab->count(), 3);

  // Deleting the window deletes them with it.
  QPointer<QWidget> page = ui.Lock_tab.get();
  delete ui.window;
  ui.window = nullptr;
  EXPECT_TRUE(page.isNull());
}

TEST_F(DrawWindowTest, PlainDialogsEndWithTheirButtonsCode) {
  ScopedScriptedUi scripted;
  scripted.answerModal([this](QDialog *dialog) {
    ui.exportOkay_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(UiServices::instance().runModal(ui.ExportWindow), ModalOK);
  scripted.answerModal([this](QDialog *dialog) {
    ui.exportCancel_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(UiServices::instance().runModal(ui.ExportWindow), ModalCancel);
  EXPECT_EQ(ui.panel, ui.ExportWindow);
  scripted.answerModal([this](QDialog *dialog) {
    ui._open_log_ok_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(UiServices::instance().runModal(ui.Open_Export_Files), ModalOK);
}

TEST_F(DrawWindowTest, EveryControlAUserActsOnHasATipAndASpokenName) {
  // Every button of the main window and of its windows, the tools included: the tools
  // show only pictures, so their names must come from the accessible name.
  QSet<const QWidget *> walked;
  for (QAbstractButton *button : ui.window->findChildren<QAbstractButton *>()) {
    if (isPartOfAQtWidget(button))
      continue;
    walked.insert(button);
    EXPECT_FALSE(button->toolTip().trimmed().isEmpty()) << whereIs(button) << " has no tip";
    EXPECT_FALSE(spokenName(button).isEmpty()) << whereIs(button) << " has neither text nor accessible name";
  }
  // The walk reached the buttons inside our own composite controls and the dialogs.
  for (QToolButton *tool : ui.toolButtons())
    EXPECT_TRUE(walked.contains(tool)) << whereIs(tool);
  const QList<QAbstractButton *> arrows = ui.Card_bor_Stepper->findChildren<QAbstractButton *>();
  ASSERT_EQ(arrows.size(), 2);
  EXPECT_TRUE(walked.contains(arrows.at(0)) && walked.contains(arrows.at(1)));
  EXPECT_TRUE(walked.contains(ui.matrix_card_shape->cellAtRow(2)));
  EXPECT_TRUE(walked.contains(ui.matrix_file_type->cellAtRow(0)));
  EXPECT_TRUE(walked.contains(ui._stop_btn));
  EXPECT_TRUE(walked.contains(ui.insert_template_btn));  // hidden until a template message applies

  // Fields, lists, sliders and colour wells have no text of their own to be called by.
  int inputs = 0;
  for (QWidget *widget : ui.window->findChildren<QWidget *>()) {
    if (!isInputControl(widget) || isPartOfAQtWidget(widget) || isHiddenOnPurpose(widget))
      continue;
    ++inputs;
    EXPECT_FALSE(widget->toolTip().trimmed().isEmpty()) << whereIs(widget) << " has no tip";
    EXPECT_FALSE(widget->accessibleName().trimmed().isEmpty()) << whereIs(widget) << " has no accessible name";
  }
  EXPECT_GT(inputs, 0);

  // Tools told apart only by their pictures must not share a name or a tip.
  QSet<QString> toolNames, toolTips;
  for (QToolButton *tool : ui.toolButtons()) {
    EXPECT_TRUE(tool->text().isEmpty()) << whereIs(tool);
    EXPECT_FALSE(toolNames.contains(tool->accessibleName())) << whereIs(tool) << " repeats " << tool->accessibleName().toStdString();
    EXPECT_FALSE(toolTips.contains(tool->toolTip())) << whereIs(tool) << " repeats " << tool->toolTip().toStdString();
    toolNames.insert(tool->accessibleName());
    toolTips.insert(tool->toolTip());
  }

  // On one tab page, or in one window, two controls called alike cannot be told apart by ear.
  const auto pages = ui.tabPages();
  std::vector<QWidget *> scopes(pages.begin(), pages.end());
  for (QDialog *dialog : ui.dialogs())
    scopes.push_back(dialog);
  for (QWidget *scope : scopes) {
    std::map<QString, std::string> seen;
    for (QWidget *widget : scope->findChildren<QWidget *>()) {
      if (!(qobject_cast<QAbstractButton *>(widget) || isInputControl(widget)) || isPartOfAQtWidget(widget) ||
          isHiddenOnPurpose(widget))
        continue;
      const QString name = spokenName(widget);
      const auto [where, fresh] = seen.emplace(name, whereIs(widget));
      EXPECT_TRUE(fresh) << whereIs(widget) << " and " << where->second << " are both called " << name.toStdString();
    }
  }
}

TEST(PanelWidgets, StepperKeepsItsRangeAndTakesTypedValues) {
  Stepper stepper;
  stepper.setRange(0, 50);
  stepper.setValue(3);
  QLineEdit field;
  linkStepperAndField(&stepper, &field);
  EXPECT_EQ(field.text(), QStringLiteral("3"));

  Recorder<double> stepped;
  QObject::connect(&stepper, &Stepper::stepped, [&](double value) { stepped.values.push_back(value); });
  stepper.step(+1);
  EXPECT_EQ(stepper.intValue(), 4);
  EXPECT_EQ(stepped.count(), 1);
  stepper.setValue(80);  // set by code: limited, silent
  EXPECT_EQ(stepper.value(), 50.0);
  EXPECT_EQ(stepped.count(), 1);
  stepper.step(+1);      // at the top
  EXPECT_EQ(stepper.value(), 50.0);

  // A typed value reaches the stepper when editing ends; a value the field's validator
  // refuses never does.
  field.setText(QStringLiteral("7"));
  emit field.editingFinished();
  EXPECT_EQ(stepper.intValue(), 7);

  // The int value is cut toward zero.
  Stepper fraction;
  fraction.setRange(-10, 10);
  fraction.setValue(-2.9);
  EXPECT_EQ(fraction.intValue(), -2);
  fraction.setValue(2.9);
  EXPECT_EQ(fraction.intValue(), 2);

  // A disabled stepper does not step.
  stepper.setEnabled(false);
  stepper.step(-1);
  EXPECT_EQ(stepper.intValue(), 7);
}

TEST(PanelWidgets, StepperArrowsAreNamedAfterTheValueTheyChange) {
  Stepper stepper;
  const QList<QToolButton *> arrows = stepper.findChildren<QToolButton *>();
  ASSERT_EQ(arrows.size(), 2);
  QToolButton *up = arrows.at(0)->arrowType() == Qt::UpArrow ? arrows.at(0) : arrows.at(1);
  QToolButton *down = up == arrows.at(0) ? arrows.at(1) : arrows.at(0);
  // Before it is described a stepper still says what its arrows do.
  EXPECT_EQ(up->accessibleName(), QStringLiteral("Increase"));
  EXPECT_EQ(down->toolTip(), QStringLiteral("Decrease"));

  stepper.describe(QStringLiteral("Border width"));
  EXPECT_EQ(stepper.accessibleName(), QStringLiteral("Border width"));
  EXPECT_EQ(up->accessibleName(), QStringLiteral("Increase border width"));
  EXPECT_EQ(up->toolTip(), QStringLiteral("Increase border width"));
  EXPECT_EQ(down->accessibleName(), QStringLiteral("Decrease border width"));
  EXPECT_EQ(down->toolTip(), QStringLiteral("Decrease border width"));

  // An abbreviation keeps its capitals inside the phrase.
  stepper.describe(QStringLiteral("DPI"));
  EXPECT_EQ(up->accessibleName(), QStringLiteral("Increase DPI"));
}

TEST(PanelWidgets, ColorWellAsksTheColourPanelAndAnnouncesOnlyAChoice) {
  ScopedScriptedUi scripted;
  ColorWell well;
  well.setColor(Qt::red);
  Recorder<QColor> chosen;
  QObject::connect(&well, &ColorWell::colorChosen, [&](const QColor &color) { chosen.values.push_back(color); });
  EXPECT_EQ(chosen.count(), 0);

  scripted.answerColor(QColor(10, 20, 30));
  EXPECT_TRUE(well.chooseColor());
  EXPECT_EQ(well.color(), QColor(10, 20, 30));
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.values.at(0), QColor(10, 20, 30));

  scripted.answerColor(std::nullopt);  // cancelled
  EXPECT_FALSE(well.chooseColor());
  EXPECT_EQ(well.color(), QColor(10, 20, 30));
  EXPECT_EQ(chosen.count(), 1);
  ASSERT_EQ(scripted.requests().size(), 2u);
  EXPECT_EQ(scripted.requests().at(0).detail.toUpper(), QStringLiteral("#FFFF0000"));
}

TEST(PanelWidgets, RadioMatrixAndSliderReportUserChangesOnly) {
  RadioMatrix matrix({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, Qt::Vertical);
  Recorder<int> clicked;
  QObject::connect(&matrix, &RadioMatrix::cellClicked, [&](int row) { clicked.values.push_back(row); });
  EXPECT_EQ(matrix.selectedRow(), -1);
  matrix.selectCellAtRow(2);
  EXPECT_EQ(matrix.selectedRow(), 2);
  matrix.selectCellAtRow(7);  // no such row
  EXPECT_EQ(matrix.selectedRow(), 2);
  EXPECT_EQ(clicked.count(), 0);
  matrix.cellAtRow(1)->click();
  EXPECT_EQ(matrix.selectedRow(), 1);
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.values.at(0), 1);
  // An assistive tool's toggle changes the button without a click: reported once.
  matrix.cellAtRow(0)->toggle();
  ASSERT_EQ(clicked.count(), 2);
  EXPECT_EQ(clicked.values.at(1), 0);
  matrix.cellAtRow(0)->toggle();  // the chosen one cannot be unchosen
  EXPECT_EQ(clicked.count(), 2);

  ValueSlider slider(-3.14, 3.14, 100);
  Recorder<double> moved;
  QObject::connect(&slider, &ValueSlider::doubleValueChanged, [&](double value) { moved.values.push_back(value); });
  slider.setDoubleValue(1.5);
  EXPECT_DOUBLE_EQ(slider.doubleValue(), 1.5);
  slider.setDoubleValue(9);
  EXPECT_DOUBLE_EQ(slider.doubleValue(), 3.14);
  EXPECT_EQ(moved.count(), 0);
  slider.triggerAction(QAbstractSlider::SliderSingleStepSub);
  ASSERT_EQ(moved.count(), 1);
  EXPECT_DOUBLE_EQ(moved.values.at(0), 3.13);
}
