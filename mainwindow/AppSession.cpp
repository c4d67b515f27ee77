#include "mainwindow/AppSession.h"

#include "mainwindow/DocumentScriptingBus.h"
#include "mainwindow/QLNWindowController.h"

#include "canvas/QLNRenderingView.h"

#include "core/QLNDocument.h"

#include "platform/UiServices.h"

#include <QMainWindow>

AppSession::AppSession() : m_document(std::make_unique<QLNDocument>()) {
  // The document's PDF and TIFF data and its printing are drawn by the renderer.
  m_document->setRenderer(QLNRenderingView::documentRenderer());
}

AppSession::~AppSession() {
  // The controller observes the document: it goes first.
  if (m_controller)
    m_controller->setDocument(nullptr);
  m_controller.reset();
  m_document.reset();
}

QLNWindowController *AppSession::makeWindowControllers() {
  if (!m_controller) {
    m_controller = std::make_unique<QLNWindowController>();
    m_controller->setDocument(m_document.get());
  }
  return m_controller.get();
}

bool AppSession::start() {
  QLNWindowController *controller = makeWindowControllers();
  // Alerts and modal windows of the start-up are shown over the main window.
  UiServices::instance().setParentWindow(controller->window());
  controller->showWindow();
  if (controller->terminationRequested()) {
    m_exitStatus = controller->exitStatus();
    return false;
  }
  // Scripts reach the document on the session bus, when there is one.
  DocumentScriptingBus::registerOnSessionBus(m_document.get());
  return true;
}
