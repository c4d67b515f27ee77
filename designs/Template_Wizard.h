#pragma once
// Template_Wizard: the template browser. It shows the previews of the built-in
// templates (category item 0) or of the user's own (item 1), lets the user delete, copy
// and rename user templates, and on OK hands back the chosen template's design log in
// Selected_Template_Path (1); Cancel empties it (0). Built-in templates cannot be
// changed here: the three buttons show only with the user's templates.
//
// The renaming runs the naming dialog (Export_Template) inside the browser's run. A
// copy, rename or delete that fails says so and leaves the template's files as they
// were. One instance per main window (the controller makes it on first use). Main
// thread only.

#include "canvas/MyImageObject.h"
#include "core/KeptWindow.h"
#include "platform/ImageBrowser.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class Export_Template;
class QComboBox;
class QDialog;
class QLabel;
class QPushButton;
class QSlider;
class QWidget;

// The selected preview while the browser is open; after OK the chosen template's design
// log; "" after Cancel.
extern QString Selected_Template_Path;
// Makes the browser ids of user templates unique within a run; only grows.
extern quint64 User_Defined_File;

class Template_Wizard : public QObject, public ImageBrowserDataSource {
  Q_OBJECT
public:
  // `naming` (not owned) is the naming dialog used to rename; `parentWindow` the window
  // the browser belongs to.
  Template_Wizard(Export_Template *naming, QWidget *parentWindow, QObject *parent = nullptr);
  ~Template_Wizard() override;
  static Template_Wizard *defaultInstance();

  QDialog *window() const { return m_window; }

  // Built-in templates listed, the first selected; runs the window: 1 after OK, 0 after
  // Cancel or a failure (logged).
  int Open_Template_Window();
  // Lists the built-in templates (resource folder/"Templates") or the user's
  // ("Templates"/"User"); the first one is selected. A missing folder or one without
  // templates lists nothing and leaves no selection.
  void Fill_Templates();
  void Fill_Templates_User_Defined();
  // Appends a preview (the path trimmed; an empty path adds nothing) and reloads.
  void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);
  // true hides Delete, Copy and Rename (built-in templates), false shows them.
  void Show_Hide_Template_Buttons(bool hide);

  void OK_Click(QObject *sender = nullptr);
  void CancelClick(QObject *sender = nullptr);
  void Delete_Template_Click(QObject *sender = nullptr);
  void Copy_Templatee_Click(QObject *sender = nullptr);
  void Rename_Template_Click(QObject *sender = nullptr);
  // The profile window with no side: its fields go into the front and back profile
  // records; the template opened after OK is given them (Open_Template_Clicked).
  void User_Profile_Click(QObject *sender = nullptr);
  // Whether a profile was accepted since the window last opened.
  bool profileAccepted() const { return m_profileAccepted; }
  void comboBoxSelectionDidChange(QObject *sender);
  void zoomSliderDidChange(QObject *sender = nullptr);

  // ImageBrowserDataSource
  int numberOfItemsInImageBrowser(ImageBrowser *browser) override;
  const ImageBrowserItem *imageBrowser_itemAtIndex(ImageBrowser *browser, int index) override;
  void imageBrowser_moveItemsAtIndexes_toIndex(ImageBrowser *browser, const QList<int> &indexes,
                                               int destinationIndex) override;
  // Removes nothing: templates go only through Delete.
  void imageBrowser_removeItemsAtIndexes(ImageBrowser *browser, const QList<int> &indexes) override;
  // The first selected preview becomes Selected_Template_Path; no selection empties it.
  void imageBrowserSelectionDidChange();

  QList<std::shared_ptr<MyImageObject>> images;

  // The window's controls, by name.
  QComboBox *cat_cmbo_bx = nullptr;
  QLabel *category_label = nullptr;
  ImageBrowser *imageBrowser = nullptr;
  QLabel *_zoom_label = nullptr;
  QSlider *_zoom_slider = nullptr;
  QPushButton *Delete_temp_btn = nullptr;
  QPushButton *Copy_temp_btn = nullptr;
  QPushButton *Rename_temp_btn = nullptr;
  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;
  QPushButton *User_Profile_btn = nullptr;

private:
  void buildWindow(QWidget *parentWindow);
  void fillFrom(const QString &folder, bool user);
  // The selected preview when it names an existing file (with `userTemplate`, one in the
  // user's template folder); otherwise the message "Please select template." and "".
  QString selectedPreview(bool userTemplate = false);

  Export_Template *m_naming;
  bool m_profileAccepted = false;
  OwnedWindow<QDialog> m_window;
};
