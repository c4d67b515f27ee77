#pragma once
// The help and support window: a link to the help file, the maker's support, web site
// and reseller links, and the social-network share buttons. Its window is the main
// window's HelpWindow; the Help command (QLNWindowController::Help_Button) runs it
// modally. The link buttons send the main window controller (Main_App_wnd) its link
// commands.

#include <QObject>
#include <QPointer>

class QDialog;
class QPushButton;

class Help_Support : public QObject {
  Q_OBJECT
public:
  // Fills `window` with the help window's controls; the controller lives as a child of
  // the window and goes with it.
  explicit Help_Support(QDialog *window);
  // The controller filling `window`, made on first use.
  static Help_Support *of(QDialog *window);

  QDialog *window() const { return m_window; }

  // Opens Help.pdf of the resource folder with the desktop's viewer, or says "Help file
  // does not exist!"; the window stays open either way.
  void HelpFilePressed(QObject *sender = nullptr);
  // The share buttons: the main window controller's Open_Google_Plus, Open_FaceBook,
  // Open_Twitter and Open_FB_Like.
  void Gplus_Clicked(QObject *sender = nullptr);
  void Facebook_Clicked(QObject *sender = nullptr);
  void Twitter_Clicked(QObject *sender = nullptr);
  void FB_Like_Clicked(QObject *sender = nullptr);
  // The comments button: the comments page of the cards' site, as the main window's
  // share command opens it (Open_Share_It_Dl).
  void Social_Comments_Clicked(QObject *sender = nullptr);
  // Ends the modal run with 1.
  void Close_Clicked(QObject *sender = nullptr);

  QPushButton *support_id = nullptr;
  QPushButton *support_id_2 = nullptr;
  QPushButton *website_1 = nullptr;
  QPushButton *reseller_1 = nullptr;
  QPushButton *reseller_2 = nullptr;
  QPushButton *_Help_File_Label = nullptr;
  QPushButton *Gplus_btn = nullptr;
  QPushButton *Facebook_btn = nullptr;
  QPushButton *Twitter_btn = nullptr;
  QPushButton *FB_Like_btn = nullptr;
  QPushButton *Social_Comments_btn = nullptr;
  QPushButton *close_btn = nullptr;

private:
  QPointer<QDialog> m_window;
};
