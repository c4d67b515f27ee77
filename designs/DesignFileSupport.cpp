#include "designs/DesignFileSupport.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace DesignFiles {


namespace {


}  // namespace

UndoRegistrationPause::UndoRegistrationPause(QLNDocument *document) : m_document(document) {
  if (m_document)
    m_document->Enable_Disable_Undo_Registraion(0);
}

UndoRegistrationPause::~UndoRegistrationPause() { release(); }

void UndoRegistrationPause::release() {
  if (m_document)
    m_document->Enable_Disable_Undo_Registraion(1);
  m_document = nullptr;
}

bool clearOwnClipboardContents() {
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    return false;
  QClipboard *clipboard = QGuiApplication::clipboard();
  if (!clipboard)
    return false;
  const QMimeData *contents = clipboard->mimeData(QClipboard::Clipboard);
  if (!contents || !contents->hasFormat(QLNGraphicViewPasteboardType))
    return false;
  clipboard->clear(QClipboard::Clipboard);
  return true;
}

QSizeF canvasSizeForStoredSize(const QSizeF &stored) {
  const double width = stored.width();
  const double height = stored.height();
  if (!std::isfinite(width) || !std::isfinite(height) || width <= 0.0 || height <= 0.0)
    return QLNDocument::canvasSize(true, QSizeF());
  return QSizeF(std::min(width, MaximumCardSide), std::min(height, MaximumCardSide));
}

}  // namespace DesignFiles
