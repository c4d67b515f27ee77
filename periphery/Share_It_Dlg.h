#pragma once
// The share window: the four social-network share buttons in one small window, reached
// from the main window's Help menu ("Share Amends...", QLNWindowController::
// Share_It_Dlg_Clicked), which keeps its window in the outlet Share_It_Dlg_Window.

#include <QObject>
#include <QPointer>

class QDialog;
class QPushButton;
class QWidget;

class Share_It_Dlg : public QObject {
  Q_OBJECT
public:
  // Makes the window (a dialog over `owner`, which owns it); the controller lives as a
  // child of the window and goes with it.
  explicit Share_It_Dlg(QWidget *owner);

  QDialog *window() const { return m_window; }

  // The main window controller's Open_Google_Plus, Open_FaceBook, Open_Twitter and
  // Open_FB_Like.
  void Gplus_Clicked(QObject *sender = nullptr);
  void Facebook_Clicked(QObject *sender = nullptr);
  void Twitter_Clicked(QObject *sender = nullptr);
  void FB_Like_Clicked(QObject *sender = nullptr);
  // Ends the modal run with 1.
  void OK_Pressed(QObject *sender = nullptr);
  // The comments page of the cards' site (the main window's Open_Share_It_Dl): where
  // the shared cards are talked about. The window stays open.
  void Go_Share_It_Pressed(QObject *sender = nullptr);

  QPushButton *Gplus_btn = nullptr;
  QPushButton *Facebook_btn = nullptr;
  QPushButton *Twitter_btn = nullptr;
  QPushButton *FB_Like_btn = nullptr;
  QPushButton *Go_Share_It_btn = nullptr;
  QPushButton *ok_btn = nullptr;

private:
  QPointer<QDialog> m_window;
};
