#include "periphery/Promotion_Form.h"

#include "periphery/Links.h"

#include "mainwindow/QLNWindowController.h"

#include "canvas/PatternViews.h"

#include "core/MainWindowServices.h"
#include "core/Utilities.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/UiServices.h"

#include <QDialog>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

Promotion_Form *Promotion_DefaultInstance = nullptr;

constexpr int PictureSide = 128;

// A picture of the application's resources: the shipped folder first, then the
// per-user resource folder. A missing or unreadable picture gives a null image.
QImage resourcePicture(const QString &name) {
  for (const QString &folder : {Paths::shippedResourcesFolder(), Paths::resourceFolder()}) {
    const QString path = joinPath(folder, name + QStringLiteral(".png"));
    if (path.isEmpty() || !QFileInfo(path).isFile())
      continue;
    QImageReader reader(path, "png");
    QImage image = reader.read();
    if (!image.isNull())
      return image;
    Log::write(QStringLiteral("The picture \"%1\" cannot be read: %2").arg(path, reader.errorString()));
  }
  return QImage();
}

struct Product {
  const char *code;
  QString title;
  QString shortDescription;
  QString longDescription;
  QString mailAddress;
  QString question;
  QString mailText;
  QString orderPage;
};

std::array<Product, 3> products() {
  return {{
      {"S", QStringLiteral("Amends Stationery"),
       QStringLiteral("Letterheads, envelopes and note cards that match your apology cards."),
       QStringLiteral("Design the envelope and the note that go with your card in the same colours and "
                      "fonts, and print them on plain paper or on pre-cut sheets."),
       QStringLiteral("stationery@amends.org"), QStringLiteral("How can Amends Stationery help me?"),
       QStringLiteral("Hello,\nI would like to know how Amends Stationery works with my apology cards.\n"
                      "Please send me more information.\n"),
       QStringLiteral("https://www.amends.org/stationery")},
      {"R", QStringLiteral("Amends Reminders"),
       QStringLiteral("Never miss a birthday, an anniversary or a promise again."),
       QStringLiteral("Keep the dates that matter to the people you care about, and get a reminder with a "
                      "card suggestion a few days before each one."),
       QStringLiteral("reminders@amends.org"), QStringLiteral("How can Amends Reminders help me?"),
       QStringLiteral("Hello,\nI would like to know how Amends Reminders keeps my important dates.\n"
                      "Please send me more information.\n"),
       QStringLiteral("https://www.amends.org/reminders")},
      {"B", QStringLiteral("Amends Badges"),
       QStringLiteral("Name badges and ID cards with photos and barcodes."),
       QStringLiteral("Make name badges for events and ID cards for teams from a list of names, with "
                      "photos, barcodes and QR codes, and print them on any card printer."),
       QStringLiteral("badges@amends.org"), QStringLiteral("How can Amends Badges help me?"),
       QStringLiteral("Hello,\nI would like to know how Amends Badges makes badges and ID cards.\n"
                      "Please send me more information.\n"),
       QStringLiteral("https://www.amends.org/badges")},
  }};
}

QLabel *textField(const char *name, QWidget *parent) {
  auto *label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

}  // namespace

Promotion_Form::Promotion_Form() : m_window(new QDialog(nullptr, Qt::Dialog)) {
  using links::button;
  m_window->setObjectName(QStringLiteral("Promotion_Form"));
  m_window->setWindowTitle(QStringLiteral("More from Amends"));
  links::styleWindow(m_window);

  // The slots, built once: links from the application's name as it is now.
  const QString appName = links::nameForLink(mainWindowServices().App_Name());
  const std::array<Product, 3> all = products();
  for (size_t i = 0; i < all.size(); ++i) {
    const Product &product = all[i];
    Slot &slot = m_slots[i];
    slot.code = QLatin1String(product.code);
    slot.title = product.title;
    slot.shortDescription = product.shortDescription;
    slot.longDescription = product.longDescription;
    slot.picture = resourcePicture(QStringLiteral("Promotion_") + slot.code);
    const QString support = links::nameForLink(product.title);
    slot.mailLink = links::mailText(QStringLiteral("mailto:") + product.mailAddress + QStringLiteral("?subject=") +
                                    product.question + QStringLiteral("&body=") + product.mailText);
    slot.contactLink = links::mailText(
        QStringLiteral("mailto:") + product.mailAddress + QStringLiteral("?subject=User Enquiry from App: ") + appName +
        QStringLiteral("&body=Hello ") + support + QStringLiteral(" Support Team,\nI read about ") + support +
        QStringLiteral(" in ") + appName + QStringLiteral(" and I have a query:\n"));
    slot.orderLink = product.orderPage;
  }

  // The window's ground is the promotion pattern; the contents stand on it.
  auto *outer = new QVBoxLayout(m_window);
  outer->setContentsMargins(0, 0, 0, 0);
  auto *ground = new Promotion_Pattern(m_window);
  ground->setObjectName(QStringLiteral("promotion_pattern"));
  outer->addWidget(ground);
  auto *layout = new QVBoxLayout(ground);
  // The ground is a picture view: its size comes from the contents' layout.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->setSpacing(8);
  auto *top = new QHBoxLayout;
  bundle_image = new QLabel(m_window);
  bundle_image->setObjectName(QStringLiteral("bundle_image"));
  bundle_image->setFixedSize(PictureSide, PictureSide);
  bundle_image->setAlignment(Qt::AlignCenter);
  bundle_image->setAccessibleName(QStringLiteral("Product picture"));
  top->addWidget(bundle_image, 0, Qt::AlignTop);
  auto *texts = new QVBoxLayout;
  Software_title = textField("Software_title", m_window);
  QFont titleFont = Software_title->font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
  Software_title->setFont(titleFont);
  short_descp = textField("short_descp", m_window);
  long_descp = textField("long_descp", m_window);
  long_descp->setMinimumWidth(320);
  texts->addWidget(Software_title);
  texts->addWidget(short_descp);
  texts->addWidget(long_descp);
  texts->addStretch(1);
  top->addLayout(texts, 1);
  layout->addLayout(top);

  auto *actions = new QHBoxLayout;
  mail_btn = button("mail_btn", QStringLiteral("Ask a Question"), QStringLiteral("Write a prepared question about this product"),
                    m_window);
  contact_btn = button("contact_btn", QStringLiteral("Contact Us"), QStringLiteral("Write to the product's support team"),
                       m_window);
  order_btn = button("order_btn", QStringLiteral("Order"), QStringLiteral("Open the product's order page"), m_window);
  youtube_btn = button("youtube_btn", QStringLiteral("Videos"), QStringLiteral("Watch the maker's videos"), m_window);
  for (QPushButton *b : {mail_btn, contact_btn, order_btn, youtube_btn})
    actions->addWidget(b);
  actions->addStretch(1);
  layout->addLayout(actions);

  auto *bottom = new QHBoxLayout;
  website_1 = button("website_1", QStringLiteral("blog.amends.org"), QStringLiteral("Read the Amends blog"), m_window);
  support_id = button("support_id", links::SupportMail, QStringLiteral("Write to the Amends support team"), m_window);
  // Links on the pattern, without a ground of their own.
  for (QPushButton *link : {website_1, support_id}) {
    links::styleAsLink(link);
    link->setAutoFillBackground(false);
  }
  ok_btn = button("ok_btn", QStringLiteral("OK"), QStringLiteral("Close this window"), m_window);
  ok_btn->setDefault(true);
  bottom->addWidget(website_1);
  bottom->addWidget(support_id);
  bottom->addStretch(1);
  bottom->addWidget(ok_btn);
  layout->addLayout(bottom);

  auto own = [this](QPushButton *b, void (Promotion_Form::*action)(QObject *)) {
    connect(b, &QPushButton::clicked, this,
            [this, b, action] { runLoggingFailures(qPrintable(b->objectName()), [&] { (this->*action)(b); }); });
  };
  own(mail_btn, &Promotion_Form::Mail_Clicked);
  own(contact_btn, &Promotion_Form::Contact_us_Clicked);
  own(order_btn, &Promotion_Form::Order_Clicked);
  own(youtube_btn, &Promotion_Form::youtube_Clicked);
  own(ok_btn, &Promotion_Form::OK_Clicked);
  connect(website_1, &QPushButton::clicked, this, [this] {
    runLoggingFailures("website_1", [this] {
      if (QLNWindowController *controller = QLNWindowController::defaultInstance())
        controller->Open_Website_3(website_1);
    });
  });
  connect(support_id, &QPushButton::clicked, this, [this] {
    runLoggingFailures("support_id", [this] {
      if (QLNWindowController *controller = QLNWindowController::defaultInstance())
        controller->Open_Support_Mail(support_id);
    });
  });

  if (!Promotion_DefaultInstance)
    keepInGlobal(Promotion_DefaultInstance, this);
}

Promotion_Form::~Promotion_Form() = default;

Promotion_Form *Promotion_Form::defaultInstance() {
  return keptInstance(Promotion_DefaultInstance, [] { return new Promotion_Form; });
}

const Promotion_Form::Slot *Promotion_Form::currentSlot() const {
  for (const Slot &slot : m_slots) {
    if (software_type == slot.code)
      return &slot;
  }
  return nullptr;
}

int Promotion_Form::Open_Promotion_Window() {
  int code = 0;
  runLoggingFailures("Open_Promotion_Window", [&] {
    if (const Slot *slot = currentSlot()) {
      bundle_image->setPixmap(slot->picture.isNull()
                                  ? QPixmap()
                                  : QPixmap::fromImage(slot->picture.scaled(PictureSide, PictureSide, Qt::KeepAspectRatio,
                                                                            Qt::SmoothTransformation)));
      Software_title->setText(slot->title);
      short_descp->setText(slot->shortDescription);
      long_descp->setText(slot->longDescription);
    }
    code = UiServices::instance().runModal(m_window);
    m_window->hide();
  });
  return code;
}

void Promotion_Form::Mail_Clicked(QObject *) {
  const Slot *slot = currentSlot();
  Open_Link(slot ? slot->mailLink : QString());
}

void Promotion_Form::Contact_us_Clicked(QObject *) {
  const Slot *slot = currentSlot();
  Open_Link(slot ? slot->contactLink : QString());
}

void Promotion_Form::Order_Clicked(QObject *) {
  const Slot *slot = currentSlot();
  Open_Link(slot ? slot->orderLink : QString());
}

void Promotion_Form::youtube_Clicked(QObject *) { Open_Link(links::VideoChannel); }

void Promotion_Form::OK_Clicked(QObject *) { m_window->done(ModalOK); }

void Promotion_Form::Open_Link(const QString &url) {
  runLoggingFailures("Open_Link", [&] { links::openLink(url); });
}
