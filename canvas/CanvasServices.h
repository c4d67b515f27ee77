#pragma once
// What the editing canvas asks of the main window controller beyond MainWindowServices:
// the current tool and the class of object it places, the picture chosen for the next
// image object, the sample pictures of the picture tools, the main window's controls by
// object name, the undo and redo buttons and the barcode designer.
//
// The canvas sits below the main window, so it cannot name the controller. The
// controller derives from CanvasServices as well as from MainWindowServices, and the
// canvas finds it through Main_App_wnd (canvasServices()). Without such a main window
// (tests, renderers) the defaults below answer: the arrow tool, no pictures, no
// controls, no buttons to update, no designer.
//
// Main thread only.

#include "platform/Images.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

class QObject;

class CanvasServices {
public:
  virtual ~CanvasServices();

  // The main window's Selected_Control_Tool: 0 arrow, 1 line, 2 text, 3 rectangle,
  // 4 ellipse, 5 rounded rectangle, 6 triangle, 7 diamond, 8 image from a file,
  // 9 image from the library, 10 barcode, 11 signature, 12 fingerprint, 13 star,
  // 14 double star, 15 polygon.
  virtual int selectedControlTool() const { return 0; }
  // The class of card object the current tool places ("QLNLine", "QLNText",
  // "Shape_Control", "QLNImage", "QLNBarcode", "QLNSignature"); empty for the arrow
  // tool. A press on a canvas with a class here creates an object of it.
  virtual QString currentGraphicClass() const { return QString(); }
  // Undo_Redo_Button_state: brings the main window's undo and redo buttons up to date
  // after a canvas changed its list.
  virtual void Undo_Redo_Button_state() {}
  // Set_Paste_Button_Status: brings the main window's paste button up to date after a
  // canvas wrote the clipboard.
  virtual void Set_Paste_Button_Status() {}
  // Opens the barcode designer for the current side's Selected_Graphic (a double click
  // on an unlocked, visible barcode object asks for it). Without a designer nothing
  // happens and nothing is said.
  virtual void Open_Barcode_Window() {}
  // Library_Selected_Image: the path of the picture the next image object is made from.
  virtual QString librarySelectedImage() const { return QString(); }
  // The controller's pictures: the placeholder shown when an image file is missing
  // (no_image) and the samples of the barcode, signature and fingerprint tools
  // (barcode_sample_img, sign_sample_img, fp_sample_img).
  virtual PointImage placeholderImage() const { return PointImage(); }
  virtual PointImage barcodeSampleImage() const { return PointImage(); }
  virtual PointImage signatureSampleImage() const { return PointImage(); }
  virtual PointImage fingerprintSampleImage() const { return PointImage(); }
  // The tiles of the banner and promotion pattern views (banner_image,
  // promotion_pattern_image).
  virtual PointImage bannerImage() const { return PointImage(); }
  virtual PointImage promotionPatternImage() const { return PointImage(); }
  // The main window's control with this object name ("Make_same_width_btn" ...), or null.
  virtual QObject *mainWindowControl(const QString &objectName) const { return nullptr; }
};

// Main_App_wnd as CanvasServices, or a process-wide default instance when there is no
// main window or it does not offer these services.
CanvasServices &canvasServices();

// The position for the next object placed by the cascade of new objects: the rule behind
// the main window's Control_New_Point. `objectCount` is the number of objects on the side
// before the new one is placed and `canvasSize` the card canvas in points. The step is
// the count, but at least 20; x and y each move on by the step from last_ctrl_X and
// last_ctrl_Y and go back to 10 when the new object (50 points) would not fit on the
// canvas any more. Stores the new position in last_ctrl_X and last_ctrl_Y and returns it.
QPointF cascadeControlPoint(int objectCount, const QSizeF &canvasSize);
