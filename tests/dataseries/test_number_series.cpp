// The number series generator: the values each mode makes (padding, prefixes, constants,
// random numbers within their range from an injected source and from the system's), the
// rules of the count fields, every refusal with its message, and what it writes: whole
// series files only after the questions, never over a series in use, never losing the
// old series when the new one cannot be written.

#include "tests/dataseries/series_windows_fixture.h"

#include "mainwindow/PanelWidgets.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QRadioButton>
#include <QToolButton>

#include <deque>

using namespace seriestest;

namespace {

class NumberSeriesTest : public SeriesWindowsTest {
protected:
  void SetUp() override {
    SeriesWindowsTest::SetUp();
    generator = Generate_List::defaultInstance();
    // The window as an opening prepares it, without running it.
    generator->file_name_required = 0;
    generator->file_name_Insert = 0;
    scripted.answerModal(0);
    generator->Open_Wnd();
    scripted.clear();
  }

  // The values of the sequential mode for the texts typed.
  std::optional<QStringList> sequence(const QString &from, const QString &to, bool pad = false,
                                      const QString &prefix = QString(), const QString &suffix = QString()) {
    generator->Sequintial_Radio_Pressed();
    generator->from_txt->setText(from);
    generator->to_txt->setText(to);
    generator->manage_digit_chk->setChecked(pad);
    generator->prefix_txt->setText(prefix);
    generator->suffix_txt->setText(suffix);
    return generator->generatedValues();
  }
  // Runs the window in file mode; `fill` sets it up and OK is pressed. Returns whether the
  // window was still open after OK.
  // `answers` scripts what OK will ask.
  bool runFileMode(const std::function<void()> &fill, const std::function<void()> &answers = {}) {
    bool open = false;
    generator->file_name_required = 1;
    generator->file_name_Insert = 0;
    scripted.answerModal([&](QDialog *dialog) {
      fill();
      if (answers)
        answers();
      generator->ok_btn->click();
      open = dialog->isVisible();
      return 0;
    });
    generator->Open_Wnd();
    return open;
  }
  QStringList lastAlerts(int n) const {
    const QStringList all = scripted.alertTexts();
    return all.mid(std::max<qsizetype>(0, all.size() - n));
  }

  Generate_List *generator = nullptr;
};

QStringList numbers(qint64 from, qint64 to, const QString &prefix = QString()) {
  QStringList list;
  for (qint64 n = from; n <= to; ++n)
    list << prefix + QString::number(n);
  return list;
}

}  // namespace

TEST_F(NumberSeriesTest, SequencesCountFromFromToToWithPaddingPrefixAndSuffixIn64Bits) {
  EXPECT_EQ(*sequence("1", "10", true), (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}));
  // The typed texts set the width: "001" asks for three digits.
  const std::optional<QStringList> typedWidth = sequence("001", "20", true);
  ASSERT_TRUE(typedWidth);
  EXPECT_EQ(typedWidth->first(), QStringLiteral("001"));
  EXPECT_EQ(typedWidth->last(), QStringLiteral("020"));
  EXPECT_EQ(typedWidth->size(), 20);
  EXPECT_EQ(*sequence("8", "10", false, "A-", "-X"), (QStringList{"A-8-X", "A-9-X", "A-10-X"}));
  // Letters read as 0.
  EXPECT_EQ(*sequence("abc", "3"), (QStringList{"0", "1", "2", "3"}));
  // Negative numbers keep their sign in front of the zeros.
  EXPECT_EQ(*sequence("-10", "2", true),
            (QStringList{"-10", "-09", "-08", "-07", "-06", "-05", "-04", "-03", "-02", "-01", "000", "001", "002"}));
  // Beyond 32 bits nothing wraps round.
  EXPECT_EQ(*sequence("4294967294", "4294967297"), numbers(4294967294LL, 4294967297LL));
  EXPECT_EQ(*sequence("9223372036854775806", "99999999999999999999"),
            (QStringList{"9223372036854775806", "9223372036854775807"}));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
}

TEST_F(NumberSeriesTest, SequencesAreRefusedWhenEmptyReversedOrTooLarge) {
  for (int i = 0; i < 6; ++i)
    scripted.expectAlert();
  EXPECT_FALSE(sequence("", "3"));
  EXPECT_FALSE(sequence("1", ""));
  EXPECT_FALSE(sequence("5", "5"));
  EXPECT_FALSE(sequence("9", "-9"));
  // The widest range there is, and one value more than a series may hold.
  EXPECT_FALSE(sequence("-9223372036854775808", "9223372036854775807"));
  EXPECT_FALSE(sequence("0", QString::number(Generate_List::MaxValues)));
  const QString tooMany = QStringLiteral("\nA series can hold at most %1 values. Please choose a smaller range.")
                              .arg(Generate_List::MaxValues);
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{QStringLiteral("\nPlease enter valid 'From' value."),
                         QStringLiteral("\nPlease enter valid 'To' value."),
                         QStringLiteral("\n'From' value must be smaller than 'To' value."),
                         QStringLiteral("\n'From' value must be smaller than 'To' value."), tooMany, tooMany}));
  // The largest series allowed is made.
  const std::optional<QStringList> largest = sequence("1", QString::number(Generate_List::MaxValues));
  ASSERT_TRUE(largest);
  EXPECT_EQ(largest->size(), Generate_List::MaxValues);
  // Long prefixes would make a file beyond what a series may weigh.
  scripted.expectAlert();
  EXPECT_FALSE(sequence("1", "10000", false, QString(2000, QLatin1Char('p'))));
  EXPECT_EQ(scripted.alertTexts().last(),
            QStringLiteral("\nThe series would be too large. Please make fewer or shorter values."));
}

TEST_F(NumberSeriesTest, ConstantsRepeatTheValueAndCountsBelowOneAreRefused) {
  generator->Constant_Radio_Pressed();
  EXPECT_TRUE(generator->value_txt->isEnabled());
  EXPECT_FALSE(generator->from_txt->isEnabled());
  generator->value_txt->setText(QStringLiteral(" X "));
  generator->count_txt->setText(QStringLiteral("3"));
  EXPECT_EQ(*generator->generatedValues(), (QStringList{" X ", " X ", " X "}));

  for (const char *count : {"0", "-5", "10001", "none"}) {
    SCOPED_TRACE(count);
    generator->count_txt->setText(QString::fromLatin1(count));
    scripted.expectAlert();
    EXPECT_FALSE(generator->generatedValues());
    EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nPlease enter valid 'Count' value."));
  }
  generator->count_txt->clear();
  scripted.expectAlert();
  EXPECT_FALSE(generator->generatedValues());
  generator->value_txt->clear();
  scripted.expectAlert();
  EXPECT_FALSE(generator->generatedValues());
  EXPECT_EQ(lastAlerts(2), (QStringList{QStringLiteral("\nPlease enter valid 'Count' value."),
                                        QStringLiteral("\nPlease enter valid 'Value'.")}));
}

TEST_F(NumberSeriesTest, RandomNumbersHaveTheirDigitsFromTheInjectedOrTheSystemSource) {
  std::deque<quint32> draws{0u, 899u, 900u, 4294967295u, 5u, 123456u};
  Generate_List::randomSource() = [&draws] {
    const quint32 r = draws.front();
    draws.pop_front();
    return r;
  };
  generator->Random_Radio_Pressed();
  generator->rand_prefix_txt->setText(QStringLiteral("N"));
  generator->rand_suffix_txt->setText(QStringLiteral("!"));
  generator->rand_length_txt->setText(QStringLiteral("3"));
  generator->rand_count_txt->setText(QStringLiteral("5"));
  // 100 + r mod 900; a draw past the last whole multiple of 900 is drawn again.
  EXPECT_EQ(*generator->generatedValues(), (QStringList{"N100!", "N999!", "N100!", "N105!", "N256!"}));
  EXPECT_TRUE(draws.empty());

  // The system's generator: nine digits, within the range, not all alike.
  Generate_List::randomSource() = nullptr;
  generator->rand_prefix_txt->clear();
  generator->rand_suffix_txt->clear();
  generator->rand_length_txt->setText(QStringLiteral("9"));
  generator->rand_count_txt->setText(QStringLiteral("200"));
  const std::optional<QStringList> made = generator->generatedValues();
  ASSERT_TRUE(made);
  ASSERT_EQ(made->size(), 200);
  for (const QString &value : *made) {
    const qint64 n = value.toLongLong();
    EXPECT_TRUE(n >= 100000000 && n <= 999999999) << value.toStdString();
  }
  EXPECT_GT(QSet<QString>(made->begin(), made->end()).size(), 150);
  generator->rand_length_txt->setText(QStringLiteral("1"));
  const std::optional<QStringList> digits = generator->generatedValues();
  ASSERT_TRUE(digits);
  for (const QString &value : *digits)
    EXPECT_TRUE(value.size() == 1 && value != QLatin1String("0")) << value.toStdString();

  // Only the single digits 1 to 9 are a length.
  for (const char *length : {"0", "12", "-", "x"}) {
    SCOPED_TRACE(length);
    generator->rand_length_txt->setText(QString::fromLatin1(length));
    scripted.expectAlert();
    EXPECT_FALSE(generator->generatedValues());
    EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nPlease enter valid 'Length' value."));
  }
  generator->rand_length_txt->setText(QStringLiteral("4"));
  generator->rand_count_txt->setText(QStringLiteral("-2"));
  scripted.expectAlert();
  EXPECT_FALSE(generator->generatedValues());
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nPlease enter valid 'Count' value."));
}

TEST_F(NumberSeriesTest, TheCountFieldsAreKeptWithinTheirLimitsAndFollowTheirSteppers) {
  auto typeInto = [&](QLineEdit *field, const QString &text) {
    field->setText(text);
    generator->controlTextDidChange(field);
    return field->text();
  };
  EXPECT_EQ(typeInto(generator->count_txt, "123456"), QStringLiteral("10000"));
  EXPECT_EQ(generator->count_stepper->intValue(), 10000);
  EXPECT_EQ(typeInto(generator->count_txt, "0"), QStringLiteral("1"));
  EXPECT_EQ(typeInto(generator->rand_count_txt, ""), QStringLiteral("1"));
  EXPECT_EQ(typeInto(generator->rand_count_txt, "250"), QStringLiteral("250"));
  EXPECT_EQ(generator->rand_count_stepper->intValue(), 250);
  EXPECT_EQ(typeInto(generator->rand_length_txt, "12"), QStringLiteral("1"));
  // A digit with blanks round it is left as typed.
  EXPECT_EQ(typeInto(generator->rand_length_txt, " 7 "), QStringLiteral(" 7 "));
  EXPECT_EQ(generator->rand_length_stepper->intValue(), 7);

  // The stepper's arrows write the field; the field sets the stepper.
  generator->Random_Radio_Pressed();
  generator->rand_length_stepper->step(1);
  EXPECT_EQ(generator->rand_length_txt->text(), QStringLiteral("8"));
  generator->count_txt->setText(QStringLiteral("42"));
  generator->Count_Stepper_Pressed(generator->count_txt);
  EXPECT_EQ(generator->count_stepper->intValue(), 42);
  EXPECT_EQ(generator->count_txt->text(), QStringLiteral("42"));
}

TEST_F(NumberSeriesTest, FileModeWritesTheSeriesWholeAfterItsQuestionsAndRefusals) {
  put(QStringLiteral("Codes.txt"), "old 1\nold 2\n");
  // A new series, named in the sequential name field.
  EXPECT_FALSE(runFileMode([&] {
    EXPECT_TRUE(generator->seq_file_name->isVisible());
    EXPECT_EQ(generator->seq_file_name->text(), QStringLiteral("Untitled"));
    EXPECT_FALSE(generator->const_file_name->isEnabled());
    generator->seq_file_name->setText(QStringLiteral("*Numbers*"));
    generator->from_txt->setText(QStringLiteral("1"));
    generator->to_txt->setText(QStringLiteral("3"));
  }));
  EXPECT_EQ(bytesOf(QStringLiteral("Numbers")), QByteArray("1\n2\n3\n"));

  // An existing series: No keeps it and the window open; Yes replaces it.
  auto constants = [&](const QString &value) {
    return [this, value] {
      generator->radioButton_Constant->click();
      EXPECT_EQ(generator->const_file_name->text(), QStringLiteral("Untitled"));
      EXPECT_TRUE(generator->const_file_name->isEnabled());
      EXPECT_FALSE(generator->seq_file_name->isEnabled());
      generator->const_file_name->setText(QStringLiteral("Codes"));
      generator->value_txt->setText(value);
      generator->count_txt->setText(QStringLiteral("2"));
    };
  };
  auto answer = [this](bool yes) { return [this, yes] { scripted.answerYesNo(yes); }; };
  auto expectAlert = [this] { scripted.expectAlert(); };
  EXPECT_TRUE(runFileMode(constants(QStringLiteral("new")), answer(false)));
  EXPECT_EQ(bytesOf(QStringLiteral("Codes")), QByteArray("old 1\nold 2\n"));
  EXPECT_FALSE(runFileMode(constants(QStringLiteral("new")), answer(true)));
  EXPECT_EQ(bytesOf(QStringLiteral("Codes")), QByteArray("new\nnew\n"));
  // Blanks are written as empty lines, one per value.
  runFileMode(constants(QStringLiteral("   ")), answer(true));
  EXPECT_EQ(bytesOf(QStringLiteral("Codes")), QByteArray("\n\n"));
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList(3, QStringLiteral("Batch Processing Series already exists. Do you want to replace it?"))));

  // In use: refused before any question.
  scripted.clear();
  bind(QStringLiteral("Codes"));
  EXPECT_TRUE(runFileMode(constants(QStringLiteral("again")), expectAlert));
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{QStringLiteral("\nBatch Processing Series can't be create because it is currently in use.")});
  EXPECT_EQ(bytesOf(QStringLiteral("Codes")), QByteArray("\n\n"));

  // A name that is no plain file name.
  scripted.clear();
  for (const char *name : {"a/b", "  ", "/../"}) {
    EXPECT_TRUE(runFileMode(
        [&] {
          generator->seq_file_name->setText(QString::fromLatin1(name));
          generator->from_txt->setText(QStringLiteral("1"));
          generator->to_txt->setText(QStringLiteral("2"));
        },
        expectAlert));
  }
  EXPECT_EQ(scripted.alertTexts(), QStringList(3, QStringLiteral("\nError in file accessing.")));
  EXPECT_FALSE(QFileInfo::exists(joinPath(QFileInfo(Data_Folder_Path).path(), QStringLiteral(".txt"))));
}

TEST_F(NumberSeriesTest, AReplacementThatCannotBeWrittenLeavesTheOldSeriesAndTheWindowOpen) {
  put(QStringLiteral("Big.txt"), "keep\n");
  bool open = false;
  {
    ScopedFileSizeLimit limit(64);
    open = runFileMode(
        [&] {
          generator->seq_file_name->setText(QStringLiteral("Big"));
          generator->from_txt->setText(QStringLiteral("1"));
          generator->to_txt->setText(QStringLiteral("20000"));
        },
        [this] {
          scripted.answerYesNo(true);
          scripted.expectAlert();
        });
  }
  EXPECT_TRUE(open);
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nError in file accessing."));
  EXPECT_EQ(bytesOf(QStringLiteral("Big")), QByteArray("keep\n"));
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Big.txt")});
}

TEST_F(NumberSeriesTest, TheOpenersSetTheDestinationAndTheManagerShowsTheNewSeries) {
  // The main window's New Series command: a series file, the name fields shown.
  ASSERT_TRUE(controller->ui->Create_Series_btn->isEnabled());
  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(generator->file_name_required, 1);
    EXPECT_EQ(generator->file_name_Insert, 0);
    generator->from_txt->setText(QStringLiteral("7"));
    generator->to_txt->setText(QStringLiteral("9"));
    generator->ok_btn->click();
    EXPECT_FALSE(dialog->isVisible());
    return 0;
  });
  controller->ui->Create_Series_btn->click();
  EXPECT_EQ(bytesOf(QStringLiteral("Untitled")), QByteArray("7\n8\n9\n"));

  // The manager's Create Series: a file, then the manager's list shows it.
  BatchWizard *wizard = manager();
  ASSERT_EQ(names(wizard), QStringList{QStringLiteral("Untitled")});
  scripted.answerModal([&](QDialog *) {
    EXPECT_EQ(generator->file_name_required, 1);
    EXPECT_EQ(generator->file_name_Insert, 1);
    generator->seq_file_name->setText(QStringLiteral("Fresh"));
    generator->from_txt->setText(QStringLiteral("1"));
    generator->to_txt->setText(QStringLiteral("2"));
    generator->ok_btn->click();
    return 0;
  });
  wizard->CreateSeries_btn->click();
  EXPECT_EQ(names(wizard), (QStringList{QStringLiteral("Fresh"), QStringLiteral("Untitled")}));

  // Value-list mode with blanks adds nothing to the editor.
  wizard->AddNew_Btn_Clicked();
  scripted.answerModal([&](QDialog *) {
    generator->radioButton_Constant->click();
    generator->value_txt->setText(QStringLiteral("   "));
    generator->count_txt->setText(QStringLiteral("4"));
    generator->ok_btn->click();
    return 0;
  });
  wizard->Series_Value_btn->click();
  EXPECT_TRUE(values(wizard).isEmpty());
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
}

TEST_F(NumberSeriesTest, TheHelpButtonExplainsTheLeadingZeros) {
  scripted.expectAlert();
  generator->help_btn->click();
  const std::vector<ScriptedUi::Request> requests = scripted.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].text, QStringLiteral("Maintain number of Digits By adding 0's before smaller values. "));
  EXPECT_TRUE(requests[0].detail.startsWith(QStringLiteral("For example:\r\nIf you have to generate")));
  EXPECT_EQ(Custom_Msg_Title, requests[0].text);
  EXPECT_EQ(Custom_Msg_Val, requests[0].detail);
}
