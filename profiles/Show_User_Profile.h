#pragma once
// Show_User_Profile: the side profile window "Front Side User Profile Information" /
// "Back Side User Profile Information". The main window's Profile command opens it for
// the side being edited: it loads the fields from that side's visible profile objects,
// and OK writes that side's record. Each text field has a caption field and two check
// boxes that make the caption or the value editable (typing in a field ticks its box).
//
// It also carries the placeholder views of the fields' default places on the card: one
// set for a landscape card (horz_template: name_default ... photo_default) and one for a
// portrait card (vert_template: the same names ending in "_V"). They are never shown;
// their frames, relative to their box, are card rectangles in points with y growing
// downwards from the card's top edge, which the placing step reads
// (QLNWindowController::Get_Control_Rect_From_Template).
//
// One instance for the run (defaultInstance, which also sets Show_User_Profile_Window);
// main thread only.

#include "profiles/ProfileWindow.h"

#include <QRectF>

class QWidget;

class Show_User_Profile : public ProfileWindow {
  Q_OBJECT
public:
  Show_User_Profile();
  ~Show_User_Profile() override;
  // The instance of the run, made (with its window) on first use.
  static Show_User_Profile *defaultInstance();

  // The caption and value check boxes' actions for a text field: the field editable
  // exactly when its box is ticked.
  void Label_Chk_Clicked(int field);
  void Value_Chk_Clicked(int field);

  // The frame of field `field`'s placeholder (landscape or portrait set), in card
  // points; all zero for a field without one.
  QRectF placeholderFrame(int field, bool landscape) const;

  QWidget *horz_template = nullptr;
  QWidget *vert_template = nullptr;
  std::array<QWidget *, FieldCount> defaults{};    // name_default ... photo_default
  std::array<QWidget *, FieldCount> defaults_V{};  // name_default_V ... photo_default_V

protected:
  void loadStarted(bool load) override { (void)load; }
  // Unticks the caption boxes, then the value boxes.
  void resetExtras() override;
  void fieldLoaded(int field) override;
};

// The side profile window once made; null before.
extern Show_User_Profile *Show_User_Profile_Window;
