#pragma once
// Small controls of the main window that Qt has no exact counterpart for:
//
//  - ColorWell: a colour swatch button; a click, the keyboard or an assistive tool's
//    "press" opens the colour panel (through UiServices) and a chosen colour is
//    announced with colorChosen.
//  - Stepper: the little up/down arrows beside a value field; it holds a number of its
//    own and announces a click with stepped. linkStepperAndField keeps the two in step.
//  - RadioMatrix: a column (or row) of radio buttons addressed by row.
//  - ValueSlider: a slider with a floating-point range.
//
// Each control announces only what the user does: setting a value from code is silent,
// as the panel fills its controls from the card settings without echoes.

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QSlider>
#include <QStringList>
#include <QWidget>

#include <functional>

class QButtonGroup;
class QLineEdit;
class QToolButton;

class ColorWell : public QAbstractButton {
  Q_OBJECT
public:
  explicit ColorWell(QWidget *parent = nullptr);

  QColor color() const { return m_color; }
  // Shows `color` (an invalid colour shows as absent); silent.
  void setColor(const QColor &color);

  QSize sizeHint() const override { return QSize(44, 22); }
  QSize minimumSizeHint() const override { return QSize(28, 18); }

  // Opens the colour panel as a click does; returns whether a colour was chosen.
  bool chooseColor();

signals:
  // The user chose a colour in the colour panel.
  void colorChosen(const QColor &color);

protected:
  void paintEvent(QPaintEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  QColor m_color{Qt::black};
};

class Stepper : public QWidget {
  Q_OBJECT
public:
  explicit Stepper(QWidget *parent = nullptr);

  double value() const { return m_value; }
  // The value cut toward zero, as a stepper reports its int value.
  int intValue() const;
  float floatValue() const { return float(m_value); }
  // Stores `value` limited to the range; silent.
  void setValue(double value);

  double minimum() const { return m_minimum; }
  double maximum() const { return m_maximum; }
  void setRange(double minimum, double maximum);
  double increment() const { return m_increment; }
  void setIncrement(double increment) { m_increment = increment; }

  // One click on the up (+1) or down (-1) arrow.
  void step(int direction);

  // Names the stepper after the value it changes, and its arrows after what they do to
  // it: "Border width" gives the arrows "Increase border width" and "Decrease border
  // width", as accessible names and tips. Until then the arrows say only "Increase" and
  // "Decrease".
  void describe(const QString &subject);

  QSize sizeHint() const override { return QSize(16, 24); }

signals:
  // The user changed the value with an arrow.
  void stepped(double value);

protected:
  void changeEvent(QEvent *event) override;

private:
  double m_value = 0.0;
  double m_minimum = 0.0;
  double m_maximum = 100.0;
  double m_increment = 1.0;
  QToolButton *m_up;
  QToolButton *m_down;
};

// A value typed into `field` reaches `stepper` when the field's editing ends (before any
// handler of the field's editingFinished that is connected later), and the field shows
// the stepper's value now. A click on the stepper does not touch the field: the property
// actions copy the value themselves. `decimals` is the number of decimals accepted.
void linkStepperAndField(Stepper *stepper, QLineEdit *field, int decimals = 0);

// A number as the panel's value fields show it: locale-independent, without trailing
// zeros ("3", "45.9", "85.598").
QString fieldNumber(double value);

// How a stepper's value is copied into the field beside it.
enum class StepperCopy { IntValue, FloatValue };
// The rule of the stepper-and-field pairs: an action sent by the stepper itself writes
// the stepper's value into the field and answers true; sent by the field (or anything
// else) it copies nothing and answers false. The action then reads the stepper, which
// a typed value has reached already (linkStepperAndField).
bool copyStepperToField(const QObject *sender, const Stepper *stepper, QLineEdit *field,
                        StepperCopy copy = StepperCopy::IntValue);

class RadioMatrix : public QWidget {
  Q_OBJECT
public:
  // One radio button per title, in rows (vertical) or in one row (horizontal).
  RadioMatrix(const QStringList &titles, Qt::Orientation orientation, QWidget *parent = nullptr);

  int numberOfRows() const;
  // The selected row, -1 when none.
  int selectedRow() const;
  // Selects the radio button of `row` (silent); a row outside the matrix changes nothing.
  void selectCellAtRow(int row);
  QAbstractButton *cellAtRow(int row) const;

signals:
  // The user chose the radio button of `row`: by a click, the keyboard or an assistive
  // tool's toggle; once per choice, never for selectCellAtRow.
  void cellClicked(int row);

private:
  QButtonGroup *m_group;
  bool m_silent = false;
};

class ValueSlider : public QSlider {
  Q_OBJECT
public:
  // A horizontal slider over [minimum, maximum] in steps of 1/`stepsPerUnit`.
  ValueSlider(double minimum, double maximum, int stepsPerUnit = 100, QWidget *parent = nullptr);

  double doubleValue() const;
  float floatValue() const { return float(doubleValue()); }
  // Shows `value` limited to the range; silent.
  void setDoubleValue(double value);
  double doubleMinimum() const { return m_minimum; }
  double doubleMaximum() const { return m_maximum; }

signals:
  // The user moved the slider.
  void doubleValueChanged(double value);

private:
  double m_minimum;
  double m_maximum;
  int m_stepsPerUnit;
  bool m_silent = false;
};

// Fills `combo` with the five border styles in the order of their codes ("S", "DA",
// "DO", "DD", "DDD"), each with a picture of its dash pattern.
void fillBorderStyleCombo(QComboBox *combo);
