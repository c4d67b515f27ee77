#include "designs/Grid_Wizard.h"

#include "mainwindow/DrawWindow.h"

#include "platform/UiServices.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPalette>
#include <QPushButton>

#include <vector>

namespace {

Grid_Wizard *Grid_Wizard_DefaultInstance = nullptr;

// Where a control sat in the panel, to put it back there.
struct Place {
  QWidget *widget;
  QPointer<QWidget> parent;
  QPointer<QBoxLayout> layout;
  int index;
};

// Moves the controls into the window for its run and back into the panel afterwards,
// however the run ends.
class BorrowedControls {
public:
  BorrowedControls(const std::vector<QWidget *> &widgets, QVBoxLayout *target) {
    for (QWidget *widget : widgets) {
      QWidget *parent = widget->parentWidget();
      auto *layout = parent ? qobject_cast<QBoxLayout *>(parent->layout()) : nullptr;
      const int index = layout ? layout->indexOf(widget) : -1;
      m_places.push_back({widget, parent, layout, index});
    }
    for (QWidget *widget : widgets) {
      target->addWidget(widget);
      widget->show();
    }
  }
  ~BorrowedControls() {
    // Back in panel order, so that each index refers to the layout as it was.
    for (const Place &place : m_places) {
      if (!place.parent)
        continue;
      if (place.layout && place.index >= 0)
        place.layout->insertWidget(std::min(place.index, place.layout->count()), place.widget);
      else
        place.widget->setParent(place.parent);
      place.widget->show();
    }
  }

private:
  std::vector<Place> m_places;
};

}  // namespace

Grid_Wizard::Grid_Wizard(DrawWindow *ui, QObject *parent) : QObject(parent), m_ui(ui) {
  m_window = new QDialog(ui->window);
  m_window->setObjectName(QStringLiteral("Grid_Wizard"));
  m_window->setWindowTitle(QStringLiteral("Grid"));
  m_window->setAccessibleName(QStringLiteral("Grid"));
  QPalette palette = m_window->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  m_window->setPalette(palette);
  m_window->setAutoFillBackground(true);

  auto *layout = new QVBoxLayout(m_window);
  auto *help = new QLabel(QStringLiteral("Changes apply to the card at once."), m_window);
  layout->addWidget(help);
  m_controls = new QVBoxLayout;
  layout->addLayout(m_controls);
  auto *buttons = new QHBoxLayout;
  Cancel_btn = new QPushButton(QStringLiteral("Cancel"), m_window);
  Cancel_btn->setObjectName(QStringLiteral("Cancel_btn"));
  Cancel_btn->setAccessibleName(QStringLiteral("Cancel"));
  Cancel_btn->setToolTip(QStringLiteral("Close the grid window (the changes made stay)"));
  Cancel_btn->setAutoDefault(false);
  OK_btn = new QPushButton(QStringLiteral("OK"), m_window);
  OK_btn->setObjectName(QStringLiteral("OK_btn"));
  OK_btn->setAccessibleName(QStringLiteral("OK"));
  OK_btn->setToolTip(QStringLiteral("Close the grid window"));
  OK_btn->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  layout->addLayout(buttons);
  connect(OK_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(OK_btn); });
  connect(Cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Btn_Clicked(Cancel_btn); });
  keepInGlobal(Grid_Wizard_DefaultInstance, this);
}

Grid_Wizard::~Grid_Wizard() = default;

Grid_Wizard *Grid_Wizard::defaultInstance() { return Grid_Wizard_DefaultInstance; }

void Grid_Wizard::Open_Wnd() {
  BorrowedControls borrowed({m_ui->Show_hide_grid_chk, m_ui->Grid_Opt_box, m_ui->Grid_Snap_chk}, m_controls);
  UiServices::instance().runModal(m_window);
  m_window->hide();
}

void Grid_Wizard::OK_Btn_Clicked(QObject *) { m_window->done(ModalOK); }
void Grid_Wizard::Cancel_Btn_Clicked(QObject *) { m_window->done(ModalCancel); }
