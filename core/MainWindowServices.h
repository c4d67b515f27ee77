#pragma once
// What core code asks of the main window controller. Core sits below the main window,
// so it reaches the controller only through this interface: the controller derives
// from MainWindowServices and stores itself in Main_App_wnd. The defaults show the
// messages through UiServices, so they work before the main window exists and in tests.

#include "core/Globals.h"
#include "core/QLNGraphic.h"

#include "platform/Fonts.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>

class QPainter;

// The first toolkit version, on toolkitVersion's scale, that draws card images as
// resolution-independent vector data; below it the renderer caches a screen bitmap for
// print_box images.
constexpr int ResolutionIndependentToolkitVersion = 1039;

class MainWindowServices {
public:
  virtual ~MainWindowServices();

  // An alert with the given text and the single button "OK". Main thread only.
  virtual void Main_Thread_Messgae(const QString &text);
  // A question with the buttons "Yes" (default) and "No". Sets yes_no_msg_val to 0,
  // then to 1 when the answer is Yes. Main thread only.
  virtual void Main_Thread_Messgae_Yes_No(const QString &text);

  // The default text font and text colour given to new card objects
  // ("TimesNewRomanPS-ItalicMT" at 14 points, black, until the main window changes them).
  virtual FontSpec All_Text_font() const;
  virtual QColor All_Text_clr() const;
  // The application name shown as the window title.
  virtual QString App_Name() const;

  // The next free position for a new object on the side "F" or "B".
  virtual QPointF Control_New_Point(const QString &card_side);
  // The bounds of the front canvas; empty while there is none.
  virtual QRectF frontCanvasBounds() const;

  // Asks for a redraw of the current side's canvas. Every visible card object calls it
  // at the end of its drawing: while a canvas paints, and on the worker threads that
  // render output, so an implementation must accept calls from any thread and from
  // inside a paint, and must only schedule a redraw, never paint at once. Without a
  // main window there is nothing to redraw.
  virtual void Refresh_Canvas();

  // Draws the base of the current side (Card_Front_Or_Back) under the card objects:
  // `rect` is the card canvas in the painter's coordinates (points). The canvases call
  // it first in every redraw. Without a main window there is no card base.
  virtual void Card_Base_Drawing(QPainter *painter, const QRectF &rect) {}
  // The toolkit's version on the scale the renderer compares with (see
  // qtToolkitVersion). The main window answers its Get_OS_Version, which is the same.
  // Any thread.
  virtual int toolkitVersion() const { return qtToolkitVersion(); }
  // The running Qt on that scale: 1000 per major version, 10 per minor, then the patch
  // level up to 9 (6042 for Qt 6.4.2). Every Qt the program runs on (5 and later) draws
  // pictures, PDF and printed pages resolution-independently, so it is always at or
  // above ResolutionIndependentToolkitVersion.
  static int qtToolkitVersion();
  // Shows `graphic` in the property panel, or the card's own settings when it is null.
  // The canvases call it with null whenever they draw an empty side. Without a main
  // window there is no panel.
  virtual void Show_RHS_Properties(const std::shared_ptr<QLNGraphic> &graphic) {}
  // Sets the picture adjustments of the property panel (sliders and check boxes) to
  // their neutral values; a new image, signature or fingerprint object asks for it.
  // Without a main window, or off its thread, nothing happens.
  virtual void Reset_Image_Editing_Controls() {}

  // The imported spreadsheet column a card object of the design is bound to, as the
  // object keeps it while it is off the design (removed, or copied to the clipboard);
  // none for an object bound to no imported column. Without a main window there are
  // no imported rows.
  virtual std::optional<SpreadsheetColumnMark> spreadsheetColumnMark(const QLNGraphic &) const {
    return std::nullopt;
  }
  // Card objects came (back) into the front list (`back` false: undo, redo, paste) or
  // the back list (a paste). Each that carries a mark takes its column among the rows
  // imported now, as the design's objects did when the rows were replaced, and loses
  // its mark. Without a main window only the marks go.
  virtual void designObjectsArrived(const QLNGraphicList &graphics, bool back);
};

extern MainWindowServices *Main_App_wnd;

// Main_App_wnd, or while it is null a process-wide default instance.
MainWindowServices &mainWindowServices();
