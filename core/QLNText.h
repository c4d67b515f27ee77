#pragma once
// QLNText: the text card object. Its text lives in the record's text storage
// (Text_contents). It paints an optional box fill and border on its bounds and draws
// its text inside them: trimmed at both ends, in the object's own font (text_ctrl_font,
// kept by PostScript name and drawn with the installed family it resolves to), colour
// (txt_clr, drawn as stored, without the object's opacity), alignment (text_alignmnet:
// 0 left, 1 right, 2 centre, 3 justified, 4 natural), case transform
// (text_transfrom_case: 1 upper case, 2 lower case, 3 capitalised words, any other
// value as typed) and kerning (text_kerning: extra points after every character). The
// text starts at the top left of the bounds, wraps at their width and is cut off at
// their edges.
//
// A scripted change of the text is undoable: around it the object adds the key
// "undoContents" to its undo keys, so the document records the text from before the
// change (undoContents) and restores it with setUndoContents.

#include "core/QLNGraphic.h"

extern const QString QLNTextUndoContentsKey;   // "undoContents"
extern const QString QLNTextContentsKey;       // "contents"

// Replaces every character of `storage` with `text`, which takes the attributes of the
// storage's first character.
void replaceCharacters(QLNTextStorage &storage, const QString &text);

class QLNText : public QLNGraphic {
public:
  QLNText() = default;
  explicit QLNText(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("QLNText"); }

  // True while a scripted change of the text is in progress.
  bool _contentsBeingChangedByScripting = false;

  QLNGraphicPtr copyWithZone() const override;
  QLNGraphicPtr copyForRendering() const override;

  // Announce a scripted change of the text (nested pairs count as one).
  void willChangeScriptingContents();
  void didChangeScriptingContents();
  // The live storage for a script to change; the change counts as scripted until the
  // next turn of the event loop.
  QLNTextStoragePtr scriptingContents();
  // Replaces all characters of the storage: an AttributedText with its attributes, a
  // string taking the attributes of the storage's first character.
  void setScriptingContents(const QVariant &value);
  // An independent copy of the text (AttributedText), and restoring one.
  QVariant undoContents();
  void setUndoContents(const QVariant &value);

  // The base dictionary with "contents" (the text storage).
  PlistValue properties() override;

  bool canSetDrawingStroke() const override { return false; }

  // The bounds grown by 1 point on every side joined to the base drawing bounds.
  QRectF drawingBounds() const override;

  // Paints the object, then asks the main window to refresh the canvas. Nothing at all
  // (no fill, border, text or refresh) when the object is hidden or its trimmed text is
  // empty. While the object is being created or edited on the canvas only a 1-point
  // frame in the handle colour is drawn just outside the bounds.
  void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) override;

  // The size the stored text needs when wrapped at the current bounds width, measured
  // with the storage's own attributes (fonts, kerning) as they are, not the trimmed and
  // transformed text in the drawing font. The layout keeps a margin of
  // LineFragmentPadding points at both line ends, included in the width.
  QSizeF naturalSize();
  // Sets the width and height to naturalSize, keeping the origin; nothing for a locked
  // object.
  void makeNaturalSize() override;

  static constexpr double LineFragmentPadding = 5.0;

  // The height the text needs as it is drawn (trimmed, case-transformed, in the
  // object's font and kerning) when wrapped at `width` points: a box of that height or
  // more shows every line whole. 0 for an empty text or no width.
  double drawnTextHeight(double width);

  // The text as drawn for a case transform code (see above).
  static QString caseTransformed(const QString &text, int transform);

  QSet<QString> keysForValuesToObserveForUndo() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString &key) const override;
  QVariant valueForKey(const QString &key) const override;
  bool setValue(const QVariant &value, const QString &key) override;

private:
  // The object's font as text is drawn with it, kerning included.
  QFont ownDrawingFont() const;

  int m_scriptingChanges = 0;

protected:
  QLNText(const QLNText &) = default;
};
