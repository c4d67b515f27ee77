#pragma once
// AppSession: one run of the program's document and main window, in place of the
// platform's document architecture. It makes the one document, lets the document's
// window-controller step make the one main window controller, binds the two and runs
// the main window's start-up.
//
//   AppSession session;
//   if (!session.start())
//     return session.exitStatus();   // the start-up ended the program
//   return app.exec();
//
// The controller is destroyed before the document. Main thread only.

#include <memory>

class QLNDocument;
class QLNWindowController;

class AppSession {
public:
  AppSession();
  ~AppSession();
  AppSession(const AppSession &) = delete;
  AppSession &operator=(const AppSession &) = delete;

  // The document's window-controller step: makes the main window controller on the
  // first call and hands it the document; later calls make no second one and return
  // the same controller.
  QLNWindowController *makeWindowControllers();

  // makeWindowControllers, then the main window's start-up (its start window included).
  // True when the program goes on into its event loop; false when the start-up ended it
  // (the resource folder cannot be made): exitStatus() is then the status to end with.
  bool start();
  int exitStatus() const { return m_exitStatus; }

  QLNDocument *document() const { return m_document.get(); }
  QLNWindowController *controller() const { return m_controller.get(); }

private:
  std::unique_ptr<QLNDocument> m_document;
  std::unique_ptr<QLNWindowController> m_controller;
  int m_exitStatus = 0;
};
