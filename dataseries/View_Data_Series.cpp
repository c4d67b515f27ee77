#include "dataseries/View_Data_Series.h"

#include "dataseries/SeriesWindowSupport.h"
#include "dataseries/model/SeriesStore.h"

#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <exception>
#include <optional>

using namespace serieswindows;

namespace {

View_Data_Series *viewDataSeriesInstance = nullptr;

}  // namespace

View_Data_Series::View_Data_Series() {
  auto *dialog = new SeriesDialog(QStringLiteral("View_Data_Series"), QStringLiteral("Batch Processing Series"));
  m_window = dialog;
  dialog->resize(360, 420);
  auto *layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(16, 16, 16, 12);
  series_name = label("series_name", QString(), dialog);
  series_name->setTextFormat(Qt::PlainText);
  QFont font = series_name->font();
  font.setBold(true);
  series_name->setFont(font);
  layout->addWidget(series_name);
  List = table("List", QStringLiteral("Series values"), QStringLiteral("The values of the series, one per card"), false,
               dialog);
  m_model = new RowListModel(&ListData, QStringLiteral("Extension"), QStringLiteral("Value"), this);
  List->setModel(m_model);
  layout->addWidget(List, 1);
  auto *bottom = new QHBoxLayout;
  list_count = label("list_count", QStringLiteral("Total Rows : 0"), dialog);
  ok_btn = button("ok_btn", QStringLiteral("OK"), QStringLiteral("Close the series"), dialog);
  ok_btn->setDefault(true);
  bottom->addWidget(list_count);
  bottom->addStretch(1);
  bottom->addWidget(ok_btn);
  layout->addLayout(bottom);
  plz_wait_Window = waitSheet(dialog);
  connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(ok_btn); });
  keepInGlobal(viewDataSeriesInstance, this);
}

View_Data_Series::~View_Data_Series() = default;

View_Data_Series *View_Data_Series::defaultInstance() {
  return keptInstance(viewDataSeriesInstance, [] { return new View_Data_Series; });
}

int View_Data_Series::Open_Wnd() {
  int code = 0;
  runLoggingFailures("View_Data_Series Open_Wnd", [&] {
    series_name->setText(file_name);
    ListData.clear();
    m_model->reload();
    Load_Val_Thread(SeriesStore::pathOf(file_name));
    code = UiServices::instance().runModal(m_window);
    m_window->hide();
  });
  return code;
}

void View_Data_Series::OK_Btn_Clicked(QObject *) { m_window->done(ModalOK); }

void View_Data_Series::Load_Val_Thread(const QString &path) { Load_file_Func(path); }

void View_Data_Series::Load_file_Func(const QString &path) {
  Show_Create_Modeless();
  try {
    // A missing, unreadable or undecodable file shows no rows.
    if (const std::optional<QByteArray> bytes = SeriesStore::readFile(path))
      for (const QString &value : SeriesStore::editorValues(*bytes))
        ListData.append(QVariantMap{{QStringLiteral("Extension"), value}});
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  Update_batch_List_Count();
  Hide_Destroy_Modeless();
}

void View_Data_Series::Create_Avail_List(const QString &value) {
  const QString trimmed = Trim_Str(value);
  if (trimmed.isEmpty())
    return;
  ListData.append(QVariantMap{{QStringLiteral("Extension"), trimmed}});
  m_model->rowAppended();
  list_count->setText(QStringLiteral("Total Rows : %1").arg(ListData.size()));
}

void View_Data_Series::Update_batch_List_Count() {
  m_model->reload();
  list_count->setText(QStringLiteral("Total Rows : %1").arg(ListData.size()));
}

void View_Data_Series::Show_Create_Modeless() {
  if (plz_wait_Window && m_window && m_window->isVisible())
    plz_wait_Window->show();
}

void View_Data_Series::Hide_Destroy_Modeless() {
  if (plz_wait_Window)
    plz_wait_Window->hide();
}
