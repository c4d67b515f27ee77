#pragma once
// Small helpers of the design-file commands of the main window controller: a guard that
// puts the document's undo registration back on every path (the property-fill flag has
// its guard in the main window, QLNWindowController::PropertyFillGuard),
// the clearing of the program's own clipboard contents, and the few main window steps
// that the design files take before the property panel, the tools and the spreadsheet
// combo services exist (each says which operation it stands in for).
//
// Main thread only.

#include <QPointer>
#include <QSizeF>
#include <QString>

#include "designs/model/DesignLog.h"

class DrawWindow;
class QLNDocument;
class QLNWindowController;

namespace DesignFiles {

// Switches the document's undo registration off for its life (or until release()).
// Registration is counted, so the end matches exactly this pause whatever happened
// meanwhile. A null document is left alone.
class UndoRegistrationPause {
public:
  explicit UndoRegistrationPause(QLNDocument *document);
  ~UndoRegistrationPause();
  UndoRegistrationPause(const UndoRegistrationPause &) = delete;
  UndoRegistrationPause &operator=(const UndoRegistrationPause &) = delete;
  void release();

private:
  QPointer<QLNDocument> m_document;
};

// The open design as a design log holds it: both sides' settings (a side whose fill is
// not a picture loses its picture path, in the controller too), the spreadsheet binding
// and grid, and both sides' objects. Defined with the design-file commands
// (QLNWindowController_DesignFiles.cpp).
DesignLogContents currentDesignContents(QLNWindowController &controller);

// The question New and Open ask before they replace a changed design.
extern const QString SaveBeforeOpenQuestion;

// Saves the design before a command that replaces it or ends the program, when the
// user wants that: nothing is asked while the design is as it was saved, opened or
// begun; otherwise the Yes/No `question`, and Yes saves (asking for a path when the
// design has none; `showSaved` shows the save's own message). True when the command may
// go on: the user did not want to save, or the save was done. Otherwise one message
// says why and what did not happen, `consequence` ending it: the save was cancelled
// ("The design has not been saved, so no new design was started."), or it failed
// ("The design could not be saved to "…" (reason), so no new design was started.").
bool saveBeforeReplacing(QLNWindowController &controller, const QString &question, const QString &consequence,
                         bool showSaved);

// Clears the system clipboard when it holds card objects copied by this program
// (the format QLNGraphicViewPasteboardType); anything else the user copied stays.
// True when it cleared something.
bool clearOwnClipboardContents();

// The largest card canvas, points: the 1000 millimetres the size fields accept.
constexpr double MaximumCardSide = 1000.0 * 2.834645669291;
// The canvas size for a design's stored front size: the size itself, each side held
// to MaximumCardSide; a size without area (a design saved before it got one) or
// one that is not a number gives the standard card canvas, 243 by 154 points.
QSizeF canvasSizeForStoredSize(const QSizeF &stored);

}  // namespace DesignFiles
