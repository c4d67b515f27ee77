#pragma once
// The review window shown when the program ends: it asks the user to write a public
// review of Amends. Its window is the main window's Review_Window; the Exit command runs
// it through QLNWindowController::hooks().runReviewWindow, which the program sets to
// runAtExit.

#include <QObject>
#include <QPointer>
#include <QString>

class QDialog;
class QPushButton;

class Review_Form : public QObject {
  Q_OBJECT
public:
  // Fills `window` with the review window's controls; the controller lives as a child
  // of the window and goes with it. The first one made becomes the default instance.
  explicit Review_Form(QDialog *window);
  ~Review_Form() override;
  // The instance of the run, made on first use for the main window's Review_Window;
  // null while there is no main window.
  static Review_Form *defaultInstance();
  // What the Exit command runs before the program ends: the review window of the
  // default instance, once per run (a second Exit in the same run shows nothing).
  static void runAtExit();

  QDialog *window() const { return m_window; }

  // Both open the review page, then end the modal run with 1.
  void OK_Clicked(QObject *sender = nullptr);
  void Review_Clicked(QObject *sender = nullptr);
  // Ends the modal run with 0 without opening anything (the user does not want to write
  // a review now); closing the window does the same.
  void Not_Now_Clicked(QObject *sender = nullptr);
  // Hands `url` to the desktop; a failure is logged with its reason.
  void Open_Link(const QString &url);
  // Runs the window application-modally, hides it and returns its code (1 from either
  // review button); a failure is logged and gives 0.
  int Open_Review_Form_Window();

  QPushButton *support_id = nullptr;
  QPushButton *website_1 = nullptr;
  QPushButton *ok_btn = nullptr;
  QPushButton *review_btn = nullptr;
  QPushButton *not_now_btn = nullptr;

private:
  QPointer<QDialog> m_window;
  bool m_shownAtExit = false;
};
