// The designer's text-change notifications, its wait panel and the mirroring of an image
// view's picture.

#include "barcode/Barcode_Gen.h"

#include "core/Utilities.h"
#include "platform/MainThread.h"

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QProgressBar>
#include <QVBoxLayout>

#include <exception>

namespace {

// The please-wait panel: its message and a busy bar, no close box, in the designer's
// window colour.
QDialog *makeWaitPanel(QWidget *owner) {
  auto *panel = new QDialog(owner, Qt::Sheet);
  panel->setObjectName(QStringLiteral("plz_wait_Window"));
  panel->setWindowTitle(QStringLiteral("Please Wait"));
  panel->setWindowFlag(Qt::WindowCloseButtonHint, false);
  panel->setWindowModality(Qt::WindowModal);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f));
  panel->setPalette(palette);
  panel->setAutoFillBackground(true);
  auto *layout = new QVBoxLayout(panel);
  auto *message = new QLabel(QStringLiteral("It may take a while, Please wait.."), panel);
  message->setObjectName(QStringLiteral("modeless_msg_lbl"));
  message->setAlignment(Qt::AlignCenter);
  layout->addWidget(message);
  auto *busy = new QProgressBar(panel);
  busy->setRange(0, 0);
  busy->setTextVisible(false);
  busy->setMinimumWidth(240);
  busy->setAccessibleName(QStringLiteral("Working"));
  layout->addWidget(busy);
  return panel;
}

void runLogged(const std::function<void()> &step) {
  try {
    MainThread::runAndWait(step);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void mirror(QLabel *view, bool horizontally, bool vertically) {
  if (!view)
    return;
  const QPixmap picture = view->pixmap();
  if (picture.isNull())
    return;
  QPixmap mirrored = QPixmap::fromImage(picture.toImage().mirrored(horizontally, vertically));
  mirrored.setDevicePixelRatio(picture.devicePixelRatio());
  view->setPixmap(mirrored);
}

}  // namespace

void Barcode_Gen::Set_Text_Change_Notification() {
  if (m_observingTextChanges)
    return;
  m_observingTextChanges = true;
  for (QLineEdit *text : {dataText, HeaderText, FooterText})
    connect(text, &QLineEdit::textChanged, this, [this, text] { controlTextDidChange(text); });
}

void Barcode_Gen::Show_Create_Modeless() {
  runLogged([this] {
    if (!m_window || !m_window->isVisible())
      return;
    if (!plz_wait_Window)
      plz_wait_Window = makeWaitPanel(m_window);
    plz_wait_Window->adjustSize();
    // Hung from the top of the designer's window, the way a sheet is.
    const QRect frame = m_window->geometry();
    plz_wait_Window->move(frame.center().x() - plz_wait_Window->width() / 2, frame.top() + 40);
    plz_wait_Window->show();
    plz_wait_Window->raise();
  });
}

void Barcode_Gen::Hide_Destroy_Modeless() {
  runLogged([this] {
    if (plz_wait_Window)
      plz_wait_Window->hide();
  });
}

void Barcode_Gen::flipImageVertically(QLabel *view) { mirror(view, false, true); }

void Barcode_Gen::flipImageHorizontally(QLabel *view) { mirror(view, true, false); }
