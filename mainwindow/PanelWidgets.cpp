#include "mainwindow/PanelWidgets.h"

#include "platform/UiServices.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QDoubleValidator>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <utility>

// ---- ColorWell ---------------------------------------------------------------------------

namespace {

// What an assistive tool sees of a colour well: a button named after what it colours
// (its tip when it has no name of its own) that it can press.
class ColorWellAccessible : public QAccessibleWidget {
public:
  explicit ColorWellAccessible(ColorWell *well) : QAccessibleWidget(well, QAccessible::Button) {}

  QString text(QAccessible::Text kind) const override {
    QString text = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && text.isEmpty())
      text = widget()->toolTip();
    return text;
  }
  QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
  void doAction(const QString &action) override {
    if (action == pressAction()) {
      if (widget()->isEnabled())
        static_cast<ColorWell *>(widget())->click();
      return;
    }
    QAccessibleWidget::doAction(action);
  }
};

QAccessibleInterface *colorWellAccessible(const QString &className, QObject *object) {
  if (className == QLatin1String("ColorWell") && object && object->isWidgetType())
    if (auto *well = qobject_cast<ColorWell *>(object))
      return new ColorWellAccessible(well);
  return nullptr;
}

}  // namespace

ColorWell::ColorWell(QWidget *parent) : QAbstractButton(parent) {
  [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(colorWellAccessible), true);
  setFocusPolicy(Qt::StrongFocus);
  // A button as a screen reader sees it: pressing it (click, space or an assistive
  // tool's "press") opens the colour panel.
  connect(this, &QAbstractButton::clicked, this, [this] { chooseColor(); });
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFixedSize(sizeHint());
}

void ColorWell::setColor(const QColor &color) {
  m_color = color;
  update();
}

bool ColorWell::chooseColor() {
  const std::optional<QColor> chosen =
      UiServices::instance().chooseColor(m_color.isValid() ? m_color : QColor(Qt::black), true, toolTip());
  if (!chosen)
    return false;
  setColor(*chosen);
  emit colorChosen(*chosen);
  return true;
}

void ColorWell::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const QColor border = isEnabled() ? palette().color(QPalette::Mid) : palette().color(QPalette::Midlight);
  painter.setPen(QPen(border, 1.0));
  painter.setBrush(isEnabled() ? palette().color(QPalette::Button) : palette().color(QPalette::Window));
  painter.drawRoundedRect(frame, 3.0, 3.0);

  const QRectF swatch = frame.adjusted(3.5, 3.5, -3.5, -3.5);
  // A checkerboard under the colour shows its transparency.
  painter.save();
  painter.setClipRect(swatch);
  painter.setPen(Qt::NoPen);
  const double cell = 4.0;
  for (double y = swatch.top(); y < swatch.bottom(); y += cell)
    for (double x = swatch.left(); x < swatch.right(); x += cell) {
      const bool dark = (int(std::floor((x - swatch.left()) / cell)) + int(std::floor((y - swatch.top()) / cell))) % 2;
      painter.fillRect(QRectF(x, y, cell, cell), dark ? QColor(204, 204, 204) : QColor(255, 255, 255));
    }
  if (m_color.isValid())
    painter.fillRect(swatch, m_color);
  else {
    painter.setPen(QPen(QColor(200, 40, 40), 1.2));
    painter.drawLine(swatch.bottomLeft(), swatch.topRight());
  }
  painter.restore();
  painter.setPen(QPen(isEnabled() ? QColor(120, 120, 120) : QColor(190, 190, 190), 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(swatch);
  if (!isEnabled())
    painter.fillRect(swatch, QColor(255, 255, 255, 150));
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1.0));
    painter.drawRoundedRect(frame, 3.0, 3.0);
  }
}

void ColorWell::keyPressEvent(QKeyEvent *event) {
  // Return and Enter press the well as space does.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
    click();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

// ---- Stepper -----------------------------------------------------------------------------

Stepper::Stepper(QWidget *parent) : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton *button : {m_up, m_down}) {
    button->setArrowType(button == m_up ? Qt::UpArrow : Qt::DownArrow);
    button->setAutoRepeat(true);
    button->setFixedSize(16, 12);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
    layout->addWidget(button);
  }
  describe(QString());
  connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
  connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

int Stepper::intValue() const {
  if (!std::isfinite(m_value))
    return 0;
  return int(std::trunc(std::clamp(m_value, -2147483648.0, 2147483647.0)));
}

void Stepper::setValue(double value) {
  if (!std::isfinite(value))
    return;
  m_value = std::clamp(value, m_minimum, m_maximum);
}

void Stepper::setRange(double minimum, double maximum) {
  m_minimum = std::min(minimum, maximum);
  m_maximum = std::max(minimum, maximum);
  setValue(m_value);
}

void Stepper::step(int direction) {
  if (!isEnabled())
    return;
  const double before = m_value;
  setValue(m_value + direction * m_increment);
  if (m_value != before || direction != 0)
    emit stepped(m_value);
}

void Stepper::describe(const QString &subject) {
  setAccessibleName(subject);
  // "Border width" reads "border width" inside a phrase; a leading abbreviation keeps its capitals.
  QString inPhrase = subject;
  if (inPhrase.size() > 1 && !inPhrase.at(1).isUpper())
    inPhrase[0] = inPhrase.at(0).toLower();
  const QString up = inPhrase.isEmpty() ? QStringLiteral("Increase") : QStringLiteral("Increase ") + inPhrase;
  const QString down = inPhrase.isEmpty() ? QStringLiteral("Decrease") : QStringLiteral("Decrease ") + inPhrase;
  m_up->setAccessibleName(up);
  m_up->setToolTip(up);
  m_down->setAccessibleName(down);
  m_down->setToolTip(down);
}

void Stepper::changeEvent(QEvent *event) {
  if (event->type() == QEvent::EnabledChange) {
    m_up->setEnabled(isEnabled());
    m_down->setEnabled(isEnabled());
  }
  QWidget::changeEvent(event);
}

void linkStepperAndField(Stepper *stepper, QLineEdit *field, int decimals) {
  auto *validator = new QDoubleValidator(stepper->minimum(), stepper->maximum(), std::max(decimals, 0), field);
  validator->setNotation(QDoubleValidator::StandardNotation);
  validator->setLocale(QLocale::c());
  field->setValidator(validator);
  field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  field->setText(QString::number(decimals > 0 ? stepper->value() : double(stepper->intValue()), 'f', decimals));
  QObject::connect(field, &QLineEdit::editingFinished, stepper, [stepper, field] {
    bool ok = false;
    const double typed = QLocale::c().toDouble(field->text().trimmed(), &ok);
    if (ok)
      stepper->setValue(typed);
  });
}

QString fieldNumber(double value) {
  if (!std::isfinite(value))
    return QStringLiteral("0");
  // Six significant digits: a float's value shows as it was typed (45.9, not 45.900001).
  return QString::number(value, 'g', 6);
}

bool copyStepperToField(const QObject *sender, const Stepper *stepper, QLineEdit *field, StepperCopy copy) {
  if (!sender || !stepper || !field || sender != stepper)
    return false;
  field->setText(copy == StepperCopy::IntValue ? QString::number(stepper->intValue())
                                               : fieldNumber(double(stepper->floatValue())));
  return true;
}

// ---- RadioMatrix ---------------------------------------------------------------------------

RadioMatrix::RadioMatrix(const QStringList &titles, Qt::Orientation orientation, QWidget *parent)
    : QWidget(parent), m_group(new QButtonGroup(this)) {
  QBoxLayout *layout = orientation == Qt::Vertical ? static_cast<QBoxLayout *>(new QVBoxLayout(this))
                                                   : static_cast<QBoxLayout *>(new QHBoxLayout(this));
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(orientation == Qt::Vertical ? 4 : 12);
  for (int row = 0; row < titles.size(); ++row) {
    auto *button = new QRadioButton(titles.at(row), this);
    m_group->addButton(button, row);
    layout->addWidget(button);
  }
  if (orientation == Qt::Horizontal)
    layout->addStretch(1);
  m_group->setExclusive(true);
  connect(m_group, &QButtonGroup::idToggled, this, [this](int row, bool checked) {
    if (checked && !m_silent)
      emit cellClicked(row);
  });
}

int RadioMatrix::numberOfRows() const { return int(m_group->buttons().size()); }

int RadioMatrix::selectedRow() const { return m_group->checkedId(); }

void RadioMatrix::selectCellAtRow(int row) {
  if (QAbstractButton *button = m_group->button(row)) {
    const bool wasSilent = std::exchange(m_silent, true);
    button->setChecked(true);
    m_silent = wasSilent;
  }
}

QAbstractButton *RadioMatrix::cellAtRow(int row) const { return m_group->button(row); }

// ---- ValueSlider ---------------------------------------------------------------------------

ValueSlider::ValueSlider(double minimum, double maximum, int stepsPerUnit, QWidget *parent)
    : QSlider(Qt::Horizontal, parent), m_minimum(std::min(minimum, maximum)), m_maximum(std::max(minimum, maximum)),
      m_stepsPerUnit(std::max(stepsPerUnit, 1)) {
  setRange(int(std::lround(m_minimum * m_stepsPerUnit)), int(std::lround(m_maximum * m_stepsPerUnit)));
  setSingleStep(1);
  setPageStep(std::max(1, (QSlider::maximum() - QSlider::minimum()) / 10));
  connect(this, &QSlider::valueChanged, this, [this] {
    if (!m_silent)
      emit doubleValueChanged(doubleValue());
  });
}

double ValueSlider::doubleValue() const { return double(value()) / m_stepsPerUnit; }

void ValueSlider::setDoubleValue(double value) {
  if (!std::isfinite(value))
    return;
  m_silent = true;
  setValue(int(std::lround(std::clamp(value, m_minimum, m_maximum) * m_stepsPerUnit)));
  m_silent = false;
}

// ---- Border style combo ---------------------------------------------------------------------

void fillBorderStyleCombo(QComboBox *combo) {
  struct Style {
    const char *title;
    QList<qreal> dashes;  // in points; empty: solid
  };
  const Style styles[] = {
      {"Solid", {}},
      {"Dash", {8, 2}},
      {"Dot", {4, 6}},
      {"Dash Dot", {24, 10, 6, 10}},
      {"Dash Dot Dot", {24, 8, 8, 8, 8, 8}},
  };
  combo->clear();
  combo->setIconSize(QSize(48, 10));
  for (const Style &style : styles) {
    QPixmap picture(48, 10);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QPen pen(QColor(40, 40, 40), 2.0, Qt::SolidLine, Qt::FlatCap);
    if (!style.dashes.isEmpty()) {
      // Qt's dash lengths count in pen widths; the pattern is in points.
      QList<qreal> inWidths;
      for (qreal length : style.dashes)
        inWidths.append(length / 2.0 * 0.75);
      pen.setDashPattern(inWidths);
    }
    painter.setPen(pen);
    painter.drawLine(QPointF(1, 5), QPointF(47, 5));
    painter.end();
    combo->addItem(QIcon(picture), QString::fromLatin1(style.title));
  }
}
