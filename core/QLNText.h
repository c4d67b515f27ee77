#pragma once
// QLNText: the text card object. Its text lives in the record's text storage
// (Text_contents). Its drawing and natural size are in the renderer's files.
//
// A scripted change of the text is undoable: around it the object adds the key
// "undoContents" to its undo keys, so the document records the text from before the
// change (undoContents) and restores it with setUndoContents.

#include "core/QLNGraphic.h"

extern const QString QLNTextUndoContentsKey;   // "undoContents"
extern const QString QLNTextContentsKey;       // "contents"

class QLNText : public QLNGraphic {
public:
  QLNText() = default;
  explicit QLNText(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("QLNText"); }

  // True while a scripted change of the text is in progress.
  bool _contentsBeingChangedByScripting = false;

  QLNGraphicPtr copyWithZone() const override;

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

  QSet<QString> keysForValuesToObserveForUndo() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString &key) const override;
  QVariant valueForKey(const QString &key) const override;
  bool setValue(const QVariant &value, const QString &key) override;

private:
  int m_scriptingChanges = 0;
};
