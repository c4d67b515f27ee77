#pragma once
// The promotion window: one of the maker's three other products, chosen by a one-letter
// type code ("S" stationery, "R" reminders, "B" badges), with buttons that open a
// prepared mail, a contact mail and the order page for it. One instance for the run;
// the main window's Help menu opens it through the Promotion_*_Button commands.

#include "core/KeptWindow.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QDialog;
class QLabel;
class QPushButton;

class Promotion_Form : public QObject {
  Q_OBJECT
public:
  // What is shown for one type code.
  struct Slot {
    QString code;
    QString title;
    QString shortDescription;
    QString longDescription;
    QImage picture;        // null when the shipped picture is missing
    QString mailLink;      // a prepared question about the product
    QString contactLink;   // a prepared enquiry naming the application
    QString orderLink;     // the product's order page
  };

  // init: the window, and the three slots with their pictures and links, built once
  // (the application name of the links is Main_App_wnd's App_Name at this moment). The
  // first one made becomes the default instance.
  Promotion_Form();
  ~Promotion_Form() override;
  // The instance of the run, made on first use.
  static Promotion_Form *defaultInstance();

  QDialog *window() const { return m_window; }

  // Shows the slot of software_type ("S", then "R", then "B"; any other code leaves the
  // fields as they were), runs the window application-modally, hides it and returns its
  // code; a failure is logged and gives 0.
  int Open_Promotion_Window();
  // The current slot's mail, contact or order link; "" for another type code.
  void Mail_Clicked(QObject *sender = nullptr);
  void Contact_us_Clicked(QObject *sender = nullptr);
  void Order_Clicked(QObject *sender = nullptr);
  // The maker's video channel.
  void youtube_Clicked(QObject *sender = nullptr);
  // Ends the modal run with 1.
  void OK_Clicked(QObject *sender = nullptr);
  // Hands `url` to the desktop; a failure is logged with its reason.
  void Open_Link(const QString &url);

  // The type code of the product to show; set by the caller before opening. It stays
  // after the window closes.
  QString software_type;

  QLabel *Software_title = nullptr;
  QLabel *short_descp = nullptr;
  QLabel *long_descp = nullptr;
  QLabel *bundle_image = nullptr;
  QPushButton *support_id = nullptr;
  QPushButton *website_1 = nullptr;
  QPushButton *mail_btn = nullptr;
  QPushButton *contact_btn = nullptr;
  QPushButton *order_btn = nullptr;
  QPushButton *youtube_btn = nullptr;
  QPushButton *ok_btn = nullptr;

private:
  // The slot of software_type, or null.
  const Slot *currentSlot() const;

  std::array<Slot, 3> m_slots;
  OwnedWindow<QDialog> m_window;
};
