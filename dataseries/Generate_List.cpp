#include "dataseries/Generate_List.h"

#include "dataseries/BatchWizard.h"
#include "dataseries/SeriesWindowSupport.h"
#include "dataseries/model/SeriesStore.h"

#include "mainwindow/PanelWidgets.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"
#include "platform/ControlActions.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include <algorithm>

using namespace serieswindows;

QString Custom_Msg_Title = QStringLiteral("");
QString Custom_Msg_Val = QStringLiteral("");
Generate_List *Gen_List_Window = nullptr;

namespace {

const QString CountRefused = QStringLiteral("Please enter valid 'Count' value.");
const QString LengthRefused = QStringLiteral("Please enter valid 'Length' value.");

// Bytes of `text` in the file.
qint64 utf8Size(const QString &text) { return text.toUtf8().size(); }

}  // namespace

Generate_List::Generate_List() {
  buildWindow();
  connectActions();
  keepInGlobal(Gen_List_Window, this);
}

Generate_List::~Generate_List() = default;

Generate_List *Generate_List::defaultInstance() {
  return keptInstance(Gen_List_Window, [] { return new Generate_List; });
}

std::function<quint32()> &Generate_List::randomSource() {
  static std::function<quint32()> source;
  return source;
}

// ---- The window ---------------------------------------------------------------------------------

void Generate_List::buildWindow() {
  auto *dialog = new SeriesDialog(QStringLiteral("Generate_List"), QStringLiteral("Create Series"));
  m_window = dialog;
  auto *layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(16, 16, 16, 12);
  auto nameField = [dialog](const char *objectName) {
    QLineEdit *f = field(objectName, QStringLiteral("Series name"),
                         QStringLiteral("The name the new series is saved under"), dialog);
    return f;
  };
  auto stepper = [dialog](Stepper *&member, const char *objectName, const QString &subject, double maximum) {
    member = new Stepper(dialog);
    member->setObjectName(QLatin1String(objectName));
    member->setRange(1, maximum);
    member->setIncrement(1);
    member->setValue(1);
    member->describe(subject);
    return member;
  };
  auto withStepper = [](QLineEdit *f, Stepper *s) {
    auto *row = new QWidget;
    auto *h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(f, 1);
    h->addWidget(s);
    return row;
  };

  // Consecutive numbers.
  auto *sequential = new QGroupBox(dialog);
  auto *seqForm = new QFormLayout(sequential);
  radioButton_Sequntial = new QRadioButton(QStringLiteral("Sequential numbers"), sequential);
  radioButton_Sequntial->setObjectName(QStringLiteral("radioButton_Sequntial"));
  radioButton_Sequntial->setToolTip(QStringLiteral("Numbers from 'From' to 'To', one after the other"));
  seqForm->addRow(radioButton_Sequntial);
  seq_file_name = nameField("seq_file_name");
  seqForm->addRow(QStringLiteral("Series name:"), seq_file_name);
  prefix_txt = field("prefix_txt", QStringLiteral("Prefix"), QStringLiteral("Text put before each number"), dialog);
  suffix_txt = field("suffix_txt", QStringLiteral("Suffix"), QStringLiteral("Text put after each number"), dialog);
  from_txt = field("from_txt", QStringLiteral("From"), QStringLiteral("The first number"), dialog);
  to_txt = field("to_txt", QStringLiteral("To"), QStringLiteral("The last number"), dialog);
  seqForm->addRow(QStringLiteral("Prefix:"), prefix_txt);
  seqForm->addRow(QStringLiteral("Suffix:"), suffix_txt);
  seqForm->addRow(QStringLiteral("From:"), from_txt);
  seqForm->addRow(QStringLiteral("To:"), to_txt);
  manage_digit_chk = new QCheckBox(QStringLiteral("Maintain number of digits"), dialog);
  manage_digit_chk->setObjectName(QStringLiteral("manage_digit_chk"));
  manage_digit_chk->setToolTip(
      QStringLiteral("Give every number as many digits as the longest by adding 0's in front"));
  help_btn =
      button("help_btn", QStringLiteral("?"), QStringLiteral("What maintaining the number of digits does"), dialog);
  help_btn->setAccessibleName(QStringLiteral("Help"));
  help_btn->setFixedWidth(help_btn->sizeHint().height());  // a small square, not half the row
  auto *digits = new QWidget(dialog);
  auto *digitsRow = new QHBoxLayout(digits);
  digitsRow->setContentsMargins(0, 0, 0, 0);
  digitsRow->addWidget(manage_digit_chk);
  digitsRow->addWidget(help_btn);
  digitsRow->addStretch(1);
  seqForm->addRow(digits);
  layout->addWidget(sequential);

  // One value repeated.
  auto *constant = new QGroupBox(dialog);
  auto *constForm = new QFormLayout(constant);
  radioButton_Constant = new QRadioButton(QStringLiteral("Constant value"), constant);
  radioButton_Constant->setObjectName(QStringLiteral("radioButton_Constant"));
  radioButton_Constant->setToolTip(QStringLiteral("One value repeated 'Count' times"));
  constForm->addRow(radioButton_Constant);
  const_file_name = nameField("const_file_name");
  constForm->addRow(QStringLiteral("Series name:"), const_file_name);
  value_txt = field("value_txt", QStringLiteral("Value"), QStringLiteral("The value to repeat"), dialog);
  constForm->addRow(QStringLiteral("Value:"), value_txt);
  count_txt =
      field("count_txt", QStringLiteral("Count"), QStringLiteral("How many times the value is repeated"), dialog);
  constForm->addRow(QStringLiteral("Count:"),
                    withStepper(count_txt, stepper(count_stepper, "count_stepper", QStringLiteral("count"), MaxCount)));
  layout->addWidget(constant);

  // Random numbers.
  auto *random = new QGroupBox(dialog);
  auto *randForm = new QFormLayout(random);
  radioButton_Random = new QRadioButton(QStringLiteral("Random numbers"), random);
  radioButton_Random->setObjectName(QStringLiteral("radioButton_Random"));
  radioButton_Random->setToolTip(QStringLiteral("'Count' random numbers of 'Length' digits"));
  randForm->addRow(radioButton_Random);
  rndm_file_name = nameField("rndm_file_name");
  randForm->addRow(QStringLiteral("Series name:"), rndm_file_name);
  rand_prefix_txt =
      field("rand_prefix_txt", QStringLiteral("Random prefix"), QStringLiteral("Text put before each number"), dialog);
  rand_suffix_txt =
      field("rand_suffix_txt", QStringLiteral("Random suffix"), QStringLiteral("Text put after each number"), dialog);
  rand_length_txt =
      field("rand_length_txt", QStringLiteral("Length"), QStringLiteral("Digits of each number, 1 to 9"), dialog);
  rand_count_txt =
      field("rand_count_txt", QStringLiteral("Random count"), QStringLiteral("How many numbers are made"), dialog);
  randForm->addRow(QStringLiteral("Prefix:"), rand_prefix_txt);
  randForm->addRow(QStringLiteral("Suffix:"), rand_suffix_txt);
  randForm->addRow(QStringLiteral("Length:"),
                   withStepper(rand_length_txt, stepper(rand_length_stepper, "rand_length_stepper",
                                                        QStringLiteral("length"), MaxLength)));
  randForm->addRow(QStringLiteral("Count:"),
                   withStepper(rand_count_txt, stepper(rand_count_stepper, "rand_count_stepper",
                                                       QStringLiteral("random count"), MaxCount)));
  layout->addWidget(random);

  ok_btn = button("ok_btn", QStringLiteral("OK"), QStringLiteral("Make the values"), dialog);
  ok_btn->setDefault(true);
  cancel_btn = button("cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Close without making values"), dialog);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_btn);
  buttons->addWidget(ok_btn);
  layout->addLayout(buttons);
  dialog->onCancel = [this] { CancelPressed(); };
}

void Generate_List::connectActions() {
  controls::onAction(radioButton_Sequntial, this, [this] { Sequintial_Radio_Pressed(radioButton_Sequntial); });
  controls::onAction(radioButton_Constant, this, [this] { Constant_Radio_Pressed(radioButton_Constant); });
  controls::onAction(radioButton_Random, this, [this] { Random_Radio_Pressed(radioButton_Random); });
  connect(ok_btn, &QPushButton::clicked, this, [this] { OKPressed(ok_btn); });
  connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(cancel_btn); });
  connect(help_btn, &QPushButton::clicked, this, [this] { Help_btn_Pressed(help_btn); });
  connect(count_stepper, &Stepper::stepped, this, [this] { Count_Stepper_Pressed(count_stepper); });
  connect(rand_length_stepper, &Stepper::stepped, this, [this] { Random_Length_Stepper_Pressed(rand_length_stepper); });
  connect(rand_count_stepper, &Stepper::stepped, this, [this] { Random_Count_Stepper_Pressed(rand_count_stepper); });
  for (QLineEdit *f : {count_txt, rand_count_txt, rand_length_txt})
    connect(f, &QLineEdit::textEdited, this, [this, f] { controlTextDidChange(f); });
}

int Generate_List::Open_Wnd() {
  try {
    for (QLineEdit *name : {seq_file_name, const_file_name, rndm_file_name})
      name->clear();
    const bool fileMode = file_name_required == 1;
    if (fileMode)
      seq_file_name->setText(QStringLiteral("Untitled"));
    // Value-list mode names no series: the name rows are hidden.
    for (QLineEdit *name : {seq_file_name, const_file_name, rndm_file_name}) {
      if (auto *form = qobject_cast<QFormLayout *>(name->parentWidget()->layout()))
        form->setRowVisible(name, fileMode);
      else
        name->setVisible(fileMode);
    }
    seq_file_name->setEnabled(true);
    const_file_name->setEnabled(false);
    rndm_file_name->setEnabled(false);
    manage_digit_chk->setChecked(false);
    for (QLineEdit *f : {prefix_txt, suffix_txt, from_txt, to_txt, value_txt, rand_prefix_txt, rand_suffix_txt})
      f->clear();
    for (QLineEdit *f : {count_txt, rand_length_txt, rand_count_txt})
      f->setText(QStringLiteral("1"));
    selectMode(0, false);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  prefix_txt->setFocus();
  const int code = UiServices::instance().runModal(m_window);
  m_window->hide();
  return code;
}

QLineEdit *Generate_List::nameFieldOfMode() const {
  if (radioButton_Constant->isChecked())
    return const_file_name;
  if (radioButton_Random->isChecked())
    return rndm_file_name;
  return seq_file_name;
}

void Generate_List::selectMode(int mode, bool names) {
  controls::setCheckedQuietly(radioButton_Sequntial, mode == 0);
  controls::setCheckedQuietly(radioButton_Constant, mode == 1);
  controls::setCheckedQuietly(radioButton_Random, mode == 2);
  if (names) {
    QLineEdit *own = mode == 1 ? const_file_name : mode == 2 ? rndm_file_name : seq_file_name;
    if (Trim_Str(own->text()).isEmpty())
      own->setText(QStringLiteral("Untitled"));
    seq_file_name->setEnabled(mode == 0);
    const_file_name->setEnabled(mode == 1);
    rndm_file_name->setEnabled(mode == 2);
  }
  for (QWidget *w :
       std::initializer_list<QWidget *>{prefix_txt, suffix_txt, from_txt, to_txt, manage_digit_chk, help_btn})
    w->setEnabled(mode == 0);
  for (QWidget *w : std::initializer_list<QWidget *>{value_txt, count_txt, count_stepper})
    w->setEnabled(mode == 1);
  for (QWidget *w : std::initializer_list<QWidget *>{rand_prefix_txt, rand_suffix_txt, rand_length_txt,
                                                     rand_length_stepper, rand_count_txt, rand_count_stepper})
    w->setEnabled(mode == 2);
}

void Generate_List::Sequintial_Radio_Pressed(QObject *) { selectMode(0, true); }
void Generate_List::Constant_Radio_Pressed(QObject *) { selectMode(1, true); }
void Generate_List::Random_Radio_Pressed(QObject *) { selectMode(2, true); }

void Generate_List::CancelPressed(QObject *) { m_window->done(0); }

// ---- Counts and their steppers ------------------------------------------------------------------

namespace {

void followStepper(QObject *sender, Stepper *stepper, QLineEdit *field) {
  if (sender && QLatin1String(sender->metaObject()->className()) == QLatin1String("Stepper"))
    field->setText(QString::number(stepper->intValue()));
  else
    stepper->setValue(double(std::clamp<qint64>(integerValue(field->text()), INT32_MIN, INT32_MAX)));
}

}  // namespace

void Generate_List::Count_Stepper_Pressed(QObject *sender) { followStepper(sender, count_stepper, count_txt); }
void Generate_List::Random_Length_Stepper_Pressed(QObject *sender) {
  followStepper(sender, rand_length_stepper, rand_length_txt);
}
void Generate_List::Random_Count_Stepper_Pressed(QObject *sender) {
  followStepper(sender, rand_count_stepper, rand_count_txt);
}

void Generate_List::controlTextDidChange(QObject *object) {
  auto *f = qobject_cast<QLineEdit *>(object);
  Stepper *stepper = f == count_txt         ? count_stepper
                     : f == rand_count_txt  ? rand_count_stepper
                     : f == rand_length_txt ? rand_length_stepper
                                            : nullptr;
  if (!stepper)
    return;
  const bool length = f == rand_length_txt;
  const int limit = length ? 1 : 5;
  const qint64 cap = length ? MaxLength : MaxCount;
  const QString t = Trim_Str(f->text());
  if (t.isEmpty() || integerValue(t) == 0)
    f->setText(QStringLiteral("1"));
  if (t.size() > limit)
    f->setText(t.left(limit));
  if (integerValue(f->text()) > cap)
    f->setText(QString::number(cap));
  stepper->setValue(double(std::clamp<qint64>(integerValue(f->text()), INT32_MIN, INT32_MAX)));
}

void Generate_List::Help_btn_Pressed(QObject *) {
  Custom_Msg_Title = QStringLiteral("Maintain number of Digits By adding 0's before smaller values. ");
  Custom_Msg_Val = QStringLiteral(
      "For example:\r\nIf you have to generate a series of barcodes having values from '0' to '200', this option "
      "automatically converts small values such as '1' to '001' and '11' to '011' to maintain number of digits same "
      "as the highest value in the series.\r\n\r\nSimilarly, if you have selected a series starting from '001' to "
      "'00200', this option automatically converts small values such as '001' to '00001' and '0011' to '00011' to "
      "maintain number of digits same as the highest value in the series.");
  UiServices::instance().alert(Custom_Msg_Title, Custom_Msg_Val);
}

// ---- Making the values ------------------------------------------------------------------------

QString Generate_List::PadZero(const QString &text, int length) {
  const bool negative = text.startsWith(QLatin1Char('-'));
  const QString digits = negative ? text.mid(1) : text;
  const qsizetype zeros = length - text.size();
  if (zeros <= 0)
    return text;
  return (negative ? QStringLiteral("-") : QString()) + QString(zeros, QLatin1Char('0')) + digits;
}

qint64 Generate_List::getRandomNumberBetweenMin(qint64 min, qint64 max) {
  if (max <= min)
    return min;
  const std::function<quint32()> &source = randomSource();
  auto draw = [&source]() -> quint32 { return source ? source() : QRandomGenerator::system()->generate(); };
  const quint64 range = quint64(max) - quint64(min) + 1;  // 0 stands for the whole 64-bit range
  if (range != 0 && range <= (quint64(1) << 32)) {
    // Draws beyond the last whole multiple of the range are drawn again, so that every
    // number is equally likely.
    const quint64 limit = (quint64(1) << 32) - ((quint64(1) << 32) % range);
    quint64 r = draw();
    while (r >= limit)
      r = draw();
    return qint64(quint64(min) + r % range);
  }
  const quint64 r = (quint64(draw()) << 32) | draw();
  return qint64(quint64(min) + (range == 0 ? r : r % range));
}

std::optional<QStringList> Generate_List::refuse(const QString &message, QLineEdit *focus) {
  Show_MessageBox(message);
  if (focus)
    focus->setFocus();
  return std::nullopt;
}

std::optional<QStringList> Generate_List::generatedValues() {
  const QString tooLarge = QStringLiteral("The series would be too large. Please make fewer or shorter values.");
  QStringList values;
  if (radioButton_Constant->isChecked()) {
    if (value_txt->text().isEmpty())
      return refuse(QStringLiteral("Please enter valid 'Value'."), value_txt);
    if (count_txt->text().isEmpty())
      return refuse(CountRefused, count_txt);
    const qint64 count = integerValue(count_txt->text());
    if (count < 1 || count > MaxCount)
      return refuse(CountRefused, count_txt);
    const QString value = value_txt->text();
    if ((utf8Size(value) + 1) * count > MaxBytes)
      return refuse(tooLarge, value_txt);
    values.reserve(count);
    for (qint64 i = 0; i < count; ++i)
      values.append(value);
    return values;
  }

  if (radioButton_Random->isChecked()) {
    if (rand_count_txt->text().isEmpty())
      return refuse(CountRefused, rand_count_txt);
    if (rand_length_txt->text().isEmpty())
      return refuse(LengthRefused, rand_length_txt);
    const qint64 count = integerValue(rand_count_txt->text());
    if (count < 1 || count > MaxCount)
      return refuse(CountRefused, rand_count_txt);
    // Exactly one digit from 1 to 9: anything else selects no range of numbers.
    const QString length = Trim_Str(rand_length_txt->text());
    if (length.size() != 1 || length.at(0) < QLatin1Char('1') || length.at(0) > QLatin1Char('9'))
      return refuse(LengthRefused, rand_length_txt);
    const int digits = length.at(0).unicode() - '0';
    const QString prefix = rand_prefix_txt->text();
    const QString suffix = rand_suffix_txt->text();
    if ((utf8Size(prefix) + utf8Size(suffix) + digits + 1) * count > MaxBytes)
      return refuse(tooLarge, rand_prefix_txt);
    qint64 min = 1;
    for (int i = 1; i < digits; ++i)
      min *= 10;
    const qint64 max = min * 10 - 1;
    values.reserve(count);
    for (qint64 i = 0; i < count; ++i)
      values.append(prefix + QString::number(getRandomNumberBetweenMin(min, max)) + suffix);
    return values;
  }

  // Consecutive numbers.
  if (from_txt->text().isEmpty())
    return refuse(QStringLiteral("Please enter valid 'From' value."), from_txt);
  if (to_txt->text().isEmpty())
    return refuse(QStringLiteral("Please enter valid 'To' value."), to_txt);
  const qint64 from = integerValue(from_txt->text());
  const qint64 to = integerValue(to_txt->text());
  if (from >= to)
    return refuse(QStringLiteral("'From' value must be smaller than 'To' value."), from_txt);
  // to > from, so the difference fits in 64 unsigned bits.
  const quint64 span = quint64(to) - quint64(from);
  if (span >= quint64(MaxValues))
    return refuse(QStringLiteral("A series can hold at most %1 values. Please choose a smaller range.").arg(MaxValues),
                  to_txt);
  const qint64 count = qint64(span) + 1;
  const bool pad = manage_digit_chk->isChecked();
  const int padLength = int(std::max(from_txt->text().size(), to_txt->text().size()));
  const QString prefix = prefix_txt->text();
  const QString suffix = suffix_txt->text();
  const qint64 widest =
      std::max<qint64>({QString::number(from).size(), QString::number(to).size(), pad ? padLength : 0});
  if ((utf8Size(prefix) + utf8Size(suffix) + widest + 1) * count > MaxBytes)
    return refuse(tooLarge, prefix_txt);
  values.reserve(count);
  for (qint64 i = 0; i < count; ++i) {
    const QString number = QString::number(from + i);
    values.append(prefix + (pad ? PadZero(number, padLength) : number) + suffix);
  }
  return values;
}

bool Generate_List::writeSeriesFile(const QStringList &values) {
  QLineEdit *nameField = nameFieldOfMode();
  const QString name = SeriesStore::cleanedName(nameField->text());
  if (SeriesStore::pathOf(name).isEmpty()) {
    Show_MessageBox(SeriesStore::FileAccessError);
    nameField->setFocus();
    return false;
  }
  // A series in use is never offered for replacing.
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  if (controller && controller->Check_Batch_File_In_Use_Validation(name)) {
    Show_MessageBox(QStringLiteral("Batch Processing Series can't be create because it is currently in use."));
    return false;
  }
  if (SeriesStore::exists(name) &&
      !Show_YES_NO_MessageBox(QStringLiteral("Batch Processing Series already exists. Do you want to replace it?")))
    return false;
  // The old series stays until the new file is complete.
  QString error;
  if (!SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines, SeriesStore::WriteMode::Replace,
                          &error)) {
    Show_MessageBox(error.isEmpty() ? SeriesStore::FileAccessError : error);
    return false;
  }
  return true;
}

void Generate_List::OKPressed(QObject *) {
  runLoggingFailures("Generate_List OK", [this] {
    const std::optional<QStringList> values = generatedValues();
    if (!values)
      return;
    if (file_name_required == 1) {
      if (!writeSeriesFile(*values))
        return;
    } else if (BatchWizard *manager = BatchWizard_Window) {
      for (const QString &value : *values)
        manager->Create_Value_List(value);
    }
    if (file_name_Insert == 1 && BatchWizard_Window)
      BatchWizard_Window->Fill_List();
    m_window->done(1);
  });
}
