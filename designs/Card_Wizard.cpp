#include "designs/Card_Wizard.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <exception>
#include <tuple>

namespace {

Card_Wizard *wzrd_Window_def_inst = nullptr;

// The dialog: Escape and the close box are Cancel.
class CardWizardDialog : public QDialog {
public:
  CardWizardDialog(Card_Wizard *wizard, QWidget *parent) : QDialog(parent), m_wizard(wizard) {}
  void reject() override { m_wizard->CancelClick(); }

private:
  Card_Wizard *m_wizard;
};

constexpr double MinimumSide = 30.0;
constexpr double MaximumSide = 1000.0;

// The items of this window's sides combo, and of the main window's ("Two Sided", "One
// Sided").
constexpr int OneSided = 0;
constexpr int TwoSided = 1;
constexpr int TwoSidedInPanel = 0;
constexpr int OneSidedInPanel = 1;

// A size as the size fields take it: two decimals at most, no trailing zeros (85.725
// shows as 85.73, 120 as 120).
QString sizeFieldText(double millimetres) {
  return QString::number(QString::number(millimetres, 'f', 2).toDouble(), 'g', 12);
}

}  // namespace

Card_Wizard::Card_Wizard(QLNWindowController *controller, QObject *parent)
    : QObject(parent), m_controller(controller) {
  buildWindow();
  keepInGlobal(wzrd_Window_def_inst, this);
}

Card_Wizard::~Card_Wizard() = default;

Card_Wizard *Card_Wizard::defaultInstance() { return wzrd_Window_def_inst; }

void Card_Wizard::buildWindow() {
  m_window = new CardWizardDialog(this, m_controller->window());
  m_window->setObjectName(QStringLiteral("Card_Wizard"));
  m_window->setWindowTitle(QStringLiteral("Card Size"));
  m_window->setAccessibleName(QStringLiteral("Card Size"));
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);

  auto *layout = new QVBoxLayout(m_window);
  auto *form = new QFormLayout;
  auto named = [](auto *widget, const char *name, const QString &accessible, const QString &tip) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessible);
    widget->setToolTip(tip);
    return widget;
  };
  card_name = named(new QLineEdit(m_window), "card_name", QStringLiteral("Card name"), QStringLiteral("A name for the card"));
  form->addRow(QStringLiteral("Name:"), card_name);
  matrix_card_shape = named(new RadioMatrix({QStringLiteral("Rectangle"), QStringLiteral("Rounded Rectangle"),
                                             QStringLiteral("Oval")},
                                            Qt::Horizontal, m_window),
                            "matrix_card_shape", QStringLiteral("Card shape"), QStringLiteral("The shape of the card"));
  for (int row = 0; row < matrix_card_shape->numberOfRows(); ++row)
    matrix_card_shape->cellAtRow(row)->setToolTip(QStringLiteral("Make the card this shape"));
  form->addRow(QStringLiteral("Shape:"), matrix_card_shape);
  Sides_ComboBox = named(new QComboBox(m_window), "Sides_ComboBox", QStringLiteral("Sides"),
                         QStringLiteral("A card printed on one side or on both"));
  Sides_ComboBox->addItems({QStringLiteral("One-sided"), QStringLiteral("Two-sided")});
  form->addRow(QStringLiteral("Sides:"), Sides_ComboBox);
  Category_ComboBox = named(new QComboBox(m_window), "Category_ComboBox", QStringLiteral("Card category"),
                            QStringLiteral("The kind of card, which decides the sizes listed below"));
  Category_ComboBox->addItems({QStringLiteral("PVC Card"), QStringLiteral("Paper Card")});
  form->addRow(QStringLiteral("Category:"), Category_ComboBox);
  Preset_ComboBox = named(new QComboBox(m_window), "Preset_ComboBox", QStringLiteral("Orientation"),
                          QStringLiteral("A card wider than high, or higher than wide"));
  Preset_ComboBox->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
  form->addRow(QStringLiteral("Orientation:"), Preset_ComboBox);
  layout->addLayout(form);

  ColList = named(new QTableWidget(0, 1, m_window), "ColList", QStringLiteral("Preset sizes"),
                  QStringLiteral("Choose a size; its width and height appear below"));
  ColList->setHorizontalHeaderLabels({QStringLiteral("Size")});
  ColList->horizontalHeader()->setStretchLastSection(true);
  ColList->verticalHeader()->hide();
  ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
  ColList->setSelectionMode(QAbstractItemView::SingleSelection);
  ColList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(ColList, 1);

  auto sizeRow = [&](Stepper *&stepper, QLineEdit *&field, const char *stepperName, const char *fieldName,
                     const QString &what) {
    field = named(new QLineEdit(m_window), fieldName, QStringLiteral("Card %1").arg(what),
                  QStringLiteral("The card's %1 in millimetres").arg(what));
    stepper = named(new Stepper(m_window), stepperName, QStringLiteral("Card %1").arg(what),
                    QStringLiteral("The card's %1 in millimetres").arg(what));
    stepper->setRange(MinimumSide, MaximumSide);
    stepper->describe(QStringLiteral("Card %1").arg(what));
    linkStepperAndField(stepper, field, 2);
    connect(stepper, &Stepper::stepped, field, [stepper, field] { field->setText(fieldNumber(stepper->value())); });
    auto *row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(stepper);
    row->addWidget(new QLabel(QStringLiteral("mm"), m_window));
    return row;
  };
  auto *sizes = new QFormLayout;
  sizes->addRow(QStringLiteral("Width:"), sizeRow(width_Stepper, width_Text, "width_Stepper", "width_Text",
                                                  QStringLiteral("width")));
  sizes->addRow(QStringLiteral("Height:"), sizeRow(height_Stepper, height_Text, "height_Stepper", "height_Text",
                                                   QStringLiteral("height")));
  layout->addLayout(sizes);

  auto *buttons = new QHBoxLayout;
  Cancel_btn = named(new QPushButton(QStringLiteral("Cancel"), m_window), "Cancel_btn", QStringLiteral("Cancel"),
                     QStringLiteral("Close without changing the card size"));
  OK_btn = named(new QPushButton(QStringLiteral("OK"), m_window), "OK_btn", QStringLiteral("OK"),
                 QStringLiteral("Give the card this size"));
  User_Profile_btn = named(new QPushButton(QStringLiteral("User Profile..."), m_window), "User_Profile_btn",
                           QStringLiteral("User Profile..."), QStringLiteral("Enter the user profile of the card"));
  User_Profile_btn->setAutoDefault(false);
  Cancel_btn->setAutoDefault(false);
  OK_btn->setDefault(true);
  buttons->addWidget(User_Profile_btn);
  buttons->addStretch(1);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  layout->addLayout(buttons);

  connect(Category_ComboBox, &QComboBox::currentIndexChanged, this,
          [this] { comboBoxSelectionDidChange(Category_ComboBox); });
  connect(ColList, &QTableWidget::itemSelectionChanged, this, [this] {
    if (!m_filling)
      tableViewSelectionDidChange();
  });
  connect(matrix_card_shape, &RadioMatrix::cellClicked, this, [this] { card_shape_CellClick(matrix_card_shape); });
  // A size the user types or steps is the size chosen (a preset chosen is, too).
  for (Stepper *stepper : {width_Stepper, height_Stepper})
    connect(stepper, &Stepper::stepped, this, [this] { m_sizeChosen = true; });
  for (QLineEdit *field : {width_Text, height_Text})
    connect(field, &QLineEdit::textEdited, this, [this] { m_sizeChosen = true; });
  connect(OK_btn, &QPushButton::clicked, this, [this] { OK_Click(OK_btn); });
  connect(Cancel_btn, &QPushButton::clicked, this, [this] { CancelClick(Cancel_btn); });
  connect(User_Profile_btn, &QPushButton::clicked, this, [this] { User_Profile_Click(User_Profile_btn); });
}

int Card_Wizard::Open_Wnd() {
  m_profileAccepted = false;
  try {
    showTheCard();
    const int code = UiServices::instance().runModal(m_window);
    m_window->hide();
    return code == ModalOK ? 1 : 0;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The card size window could not be opened."));
  }
  if (m_window)
    m_window->hide();
  return 0;
}

void Card_Wizard::showTheCard() {
  DrawWindow *panel = m_controller->ui;
  // The card's shape, its sides and the preset of the main window's card tabs (which the
  // card settings are made from), the preset row chosen without its size...
  m_shapeWhenOpened = Card_Shape.load();
  matrix_card_shape->selectCellAtRow(m_shapeWhenOpened >= 0 && m_shapeWhenOpened <= 2 ? m_shapeWhenOpened : 0);
  Sides_ComboBox->setCurrentIndex(panel->Sides_ComboBox->currentIndex() == OneSidedInPanel ? OneSided : TwoSided);
  m_filling = true;
  Preset_ComboBox->setCurrentIndex(std::max(0, Preset_ComboBox->findText(panel->Preset_ComboBox->currentText())));
  const int category = std::max(0, Category_ComboBox->findText(panel->Category_ComboBox->currentText()));
  if (Category_ComboBox->currentIndex() != category)
    Category_ComboBox->setCurrentIndex(category);  // refills the presets
  else if (ListData.isEmpty())
    comboBoxSelectionDidChange(Category_ComboBox);
  const QModelIndexList rows = panel->ColList->selectionModel()->selectedRows();
  ColList->clearSelection();
  if (!rows.isEmpty())
    Mark_List_New_Selection(rows.first().row());
  m_filling = false;
  // ... and the card's own size, as the canvases have it. The fields show it as they
  // take a size, with at most two decimals; the card keeps its exact size until the
  // user chooses another.
  m_cardSize = m_controller->frontCanvasBounds().size();
  for (auto [stepper, field, length] : {std::tuple{width_Stepper, width_Text, m_cardSize.width()},
                                        std::tuple{height_Stepper, height_Text, m_cardSize.height()}}) {
    stepper->setValue(QLNWindowController::Points_to_MM_Convert(float(length)));
    field->setText(sizeFieldText(stepper->value()));
    field->setModified(false);
  }
  m_sizeChosen = false;
  m_opened = chosen();
}

Card_Wizard::Choice Card_Wizard::chosen() const {
  const QModelIndexList rows = ColList->selectionModel()->selectedRows();
  return {matrix_card_shape->selectedRow(), Sides_ComboBox->currentIndex(), Preset_ComboBox->currentIndex(),
          Category_ComboBox->currentIndex(), rows.isEmpty() ? -1 : rows.first().row()};
}

void Card_Wizard::Create_List(const QString &name) {
  const QString trimmed = Trim_Str(name);
  if (!trimmed.isEmpty())
    ListData.append(QVariantMap{{QStringLiteral("Extension"), trimmed}});
}

void Card_Wizard::reloadList() {
  m_filling = true;
  ColList->clearSelection();
  ColList->setRowCount(int(ListData.size()));
  for (int row = 0; row < ListData.size(); ++row)
    ColList->setItem(row, 0, new QTableWidgetItem(ListData.at(row).value(QStringLiteral("Extension")).toString()));
  m_filling = false;
}

void Card_Wizard::Mark_List_New_Selection(int row) {
  if (row < 0 || row >= ColList->rowCount())
    return;
  ColList->clearSelection();
  ColList->selectRow(row);
}

void Card_Wizard::comboBoxSelectionDidChange(QObject *sender) {
  if (sender != Category_ComboBox)
    return;
  ListData.clear();
  reloadList();
  const QStringList &names =
      Category_ComboBox->currentIndex() == 0 ? m_controller->pvc_card_arry : m_controller->paper_card_arry;
  for (const QString &name : names)
    Create_List(name);
  reloadList();
  Mark_List_New_Selection(0);
}

void Card_Wizard::tableViewSelectionDidChange() {
  const QModelIndexList rows = ColList->selectionModel()->selectedRows();
  const int row = rows.isEmpty() ? -1 : rows.first().row();
  const QString orientation =
      Preset_ComboBox->currentText() == QLatin1String("Horizontal") ? QStringLiteral("H") : QStringLiteral("V");
  const QSizeF size = m_controller->Get_My_card_Size(Category_ComboBox->currentText(), orientation, row);
  m_sizeChosen = true;
  width_Stepper->setValue(size.width());
  width_Text->setText(fieldNumber(width_Stepper->value()));
  height_Stepper->setValue(size.height());
  height_Text->setText(fieldNumber(height_Stepper->value()));
}

void Card_Wizard::card_shape_CellClick(QObject *) { Card_Shape = matrix_card_shape->selectedRow(); }

void Card_Wizard::commitSizeFields() {
  // Leaving a field hands its value to the stepper; OK may come before that.
  for (QLineEdit *field : {width_Text, height_Text})
    if (field->isModified())
      emit field->editingFinished();
}

void Card_Wizard::OK_Click(QObject *) {
  if (width_Text->isModified() || height_Text->isModified())
    m_sizeChosen = true;
  commitSizeFields();
  // A size typed, stepped or taken from a preset; else the card's own, exactly.
  QSizeF points = m_cardSize;
  if (m_sizeChosen || points.isEmpty())
    points = QSizeF(QLNWindowController::MM_to_Points_Convert(width_Stepper->floatValue()),
                    QLNWindowController::MM_to_Points_Convert(height_Stepper->floatValue()));
  if (const int shape = matrix_card_shape->selectedRow(); shape >= 0)
    Card_Shape = shape;
  m_controller->Set_Document_Size(points);
  m_controller->SetDocumentCanvasSize(points);
  // Nothing chosen differs from the card: its settings stay as they are.
  if (m_sizeChosen || !(chosen() == m_opened))
    applyToTheCard();
  m_window->done(ModalOK);
}

void Card_Wizard::applyToTheCard() {
  DrawWindow *panel = m_controller->ui;
  const QSizeF points = m_controller->frontCanvasBounds().size();
  const QSizeF millimetres(QLNWindowController::Points_to_MM_Convert(float(points.width())),
                           QLNWindowController::Points_to_MM_Convert(float(points.height())));
  const bool twoSided = Sides_ComboBox->currentIndex() == TwoSided;
  const QModelIndexList rows = ColList->selectionModel()->selectedRows();
  const int row = rows.isEmpty() ? -1 : rows.first().row();
  {
    // The main window's card tabs show the card as it is now; filled by code, they
    // change no settings of their own. The sides combo decides the back side's button.
    QLNWindowController::PropertyFillGuard fill;
    m_controller->Set_Card_Size_In_Control(millimetres);
    panel->matrix_card_shape->selectCellAtRow(Card_Shape.load());
    panel->Sides_ComboBox->setCurrentIndex(twoSided ? TwoSidedInPanel : OneSidedInPanel);
    panel->Preset_ComboBox->setCurrentIndex(
        std::max(0, panel->Preset_ComboBox->findText(Preset_ComboBox->currentText())));
    panel->Category_ComboBox->setCurrentIndex(
        std::max(0, panel->Category_ComboBox->findText(Category_ComboBox->currentText())));
    m_controller->Mark_List_New_Selection(row);
  }
  // Size, shape, sides and preset belong to the whole card: both sides' settings, and so
  // the design and its file, take them.
  const int shape = Card_Shape.load();
  const QString shapeCode = shape == 1 ? QStringLiteral("RR") : shape == 2 ? QStringLiteral("E") : QStringLiteral("R");
  const QString presetName = row >= 0 && row < ListData.size()
                                 ? ListData.at(row).value(QStringLiteral("Extension")).toString()
                                 : QString();
  for (Card_Property *side : {&m_controller->Front_card_Prop, &m_controller->Back_card_Prop}) {
    side->setCard_Size(points);
    side->setCard_Shape(shapeCode);
    side->setCard_Side(twoSided ? QStringLiteral("2") : QStringLiteral("1"));
    side->setCard_Preset(Preset_ComboBox->currentText());
    side->setCard_Category(Category_ComboBox->currentText());
    side->setCard_Sub_Category(presetName);
    side->setCard_Cat_index(row);
  }
  m_controller->Refresh_Canvas();
}

void Card_Wizard::CancelClick(QObject *) {
  // The shape clicked while the window was open goes back to the card's.
  Card_Shape = m_shapeWhenOpened;
  m_window->done(ModalCancel);
}

void Card_Wizard::User_Profile_Click(QObject *) {
  if (QLNWindowController *controller = QLNWindowController::defaultInstance())
    if (controller->Open_User_Profile_Window(false, QString()) == 1)
      m_profileAccepted = true;
}
