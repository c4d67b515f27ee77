#include "dataseries/SeriesValueDialogs.h"

#include "dataseries/BatchWizard.h"
#include "dataseries/SeriesWindowSupport.h"

#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace serieswindows;

// ---- Replace or append ------------------------------------------------------------------------

Load_Num_Info::Load_Num_Info() {
  auto *dialog = new SeriesDialog(QStringLiteral("Load_Number_Window"), QStringLiteral("Values"));
  m_window = dialog;
  dialog->onCancel = [this] { CancelPressed(); };
  auto *layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(16, 16, 16, 12);
  auto *question = label("question_lbl",
                         QStringLiteral("The list already holds values. Replace them with the new values, or add "
                                        "the new values after them?"),
                         dialog);
  question->setWordWrap(true);
  question->setMinimumWidth(340);
  layout->addWidget(question);
  yes_btn = button("yes_btn", QStringLiteral("Replace"), QStringLiteral("Remove the values in the list first"), dialog);
  no_btn = button("no_btn", QStringLiteral("Append"), QStringLiteral("Keep the values and add the new ones after them"),
                  dialog);
  cancel_btn = button("cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Add no values"), dialog);
  yes_btn->setDefault(true);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_btn);
  buttons->addWidget(no_btn);
  buttons->addWidget(yes_btn);
  layout->addLayout(buttons);
  connect(yes_btn, &QPushButton::clicked, this, [this] { YESPressed(yes_btn); });
  connect(no_btn, &QPushButton::clicked, this, [this] { NOPressed(no_btn); });
  connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(cancel_btn); });
}

Load_Num_Info::~Load_Num_Info() = default;

void Load_Num_Info::YESPressed(QObject *) { m_window->done(1); }
void Load_Num_Info::NOPressed(QObject *) { m_window->done(0); }
// The run ends too: a question only hidden would leave its modal run going.
void Load_Num_Info::CancelPressed(QObject *) { m_window->done(CancelCode); }

// ---- One value ----------------------------------------------------------------------------------

Update_Ex_Num::Update_Ex_Num() {
  auto *dialog = new SeriesDialog(QStringLiteral("Update_Value_Wnd"), QStringLiteral("Edit Value"));
  m_window = dialog;
  dialog->onCancel = [this] { CancelPressed(); };
  auto *layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->addWidget(new QLabel(QStringLiteral("Value:"), dialog));
  m_ex_num_str =
      field("m_ex_num_str", QStringLiteral("Value"), QStringLiteral("The value as it will be stored"), dialog);
  m_ex_num_str->setMinimumWidth(300);
  layout->addWidget(m_ex_num_str);
  m_s_number = field("m_s_number", QStringLiteral("Value before editing"), QString(), dialog);
  m_s_number->hide();
  m_ex_num_index = field("m_ex_num_index", QStringLiteral("Row"), QString(), dialog);
  m_ex_num_index->hide();
  ok_btn = button("ok_btn", QStringLiteral("OK"), QStringLiteral("Store the value in the list"), dialog);
  cancel_btn = button("cancel_btn", QStringLiteral("Cancel"), QStringLiteral("Leave the value as it was"), dialog);
  ok_btn->setDefault(true);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_btn);
  buttons->addWidget(ok_btn);
  layout->addLayout(buttons);
  connect(ok_btn, &QPushButton::clicked, this, [this] { OKPressed(ok_btn); });
  connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(cancel_btn); });
}

Update_Ex_Num::~Update_Ex_Num() = default;

void Update_Ex_Num::clearFields() {
  m_ex_num_str->clear();
  m_s_number->clear();
  m_ex_num_index->clear();
}

void Update_Ex_Num::OKPressed(QObject *) {
  runLoggingFailures("Update_Ex_Num OK", [this] {
    if (m_ex_num_str->text() == m_s_number->text()) {
      m_window->done(1);
      return;
    }
    const QString value = Trim_Str(m_ex_num_str->text());
    if (value.isEmpty()) {
      Show_MessageBox(QStringLiteral("Please enter a valid value."));
      m_ex_num_str->setFocus();
      return;
    }
    BatchWizard *manager = BatchWizard_Window;
    const qint64 row = integerValue(m_ex_num_index->text());
    if (!manager || row < 0 || row >= manager->ListData_value.size()) {
      // A row that is no longer there is not invented: the list stays as it is.
      Show_NSLog_Message(QStringLiteral("The value list has no row %1 to change.").arg(row));
    } else {
      manager->ListData_value[row] = QVariantMap{{QStringLiteral("Header"), value}};
      manager->Update_Value_List_Count();
    }
    clearFields();
    m_window->done(1);
  });
}

void Update_Ex_Num::CancelPressed(QObject *) {
  clearFields();
  m_window->done(0);
}
