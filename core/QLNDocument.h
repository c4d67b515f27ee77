#pragma once
// QLNDocument: the one document of a run. It owns the three ordered lists of card
// objects, front ("graphics"), back ("graphics_back") and temp ("graphics_temp");
// index 0 of a list is the front-most object.
//
// Only the front list is undoable. Insertions and removals go through
// insertGraphics / removeGraphicsAtIndexes, which register their inverse with the
// undo manager; property changes of front objects are recorded by observing each
// object's undo keys (keysForValuesToObserveForUndo). All changes made during one turn
// of the event loop form one undo step; within a step only the first old value of each
// key of each object is kept, and changes of objects inserted in the same step are not
// recorded (undoing the step removes them anyway).
//
// The back and temp lists are edited in place (insertIntoList / removeFromList) and
// observers of their keys are told of each change; nothing is recorded for undo.
//
// Scripting (core/DocumentScripting.cpp): the front list by kind of object, insertion
// and removal within a kind, range and relative specifiers. PDF and TIFF data and
// printing of the front side go through the renderer, which sits above core and is
// handed to the document with setRenderer (canvas/QLNRenderingView.h).
//
// Main thread only.

#include "core/DocumentScripting.h"
#include "core/KeyValueObserving.h"
#include "core/QLNGraphic.h"

#include <QByteArray>
#include <QMarginsF>
#include <QMap>
#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct QLNError;
class QPrinter;

// Keys and values of the document.
extern const QString QLNDocumentGraphicsKey;        // "graphics"
extern const QString QLNDocumentGraphicsKey_back;   // "graphics_back"
extern const QString QLNDocumentGraphicsKey_temp;   // "graphics_temp"
extern const QString QLNDocumentCanvasSizeKey;      // "canvasSize"
extern const QString QLNDocumentVersionKey;         // "version"
extern const QString QLNDocumentPrintInfoKey;       // "printInfo"
extern const int QLNDocumentCurrentVersion;         // 2
extern const QString QLNDocumentNewTypeName;        // the native document type identifier
extern const QString QLNDocumentOldTypeName;        // "Amends card document"
extern const QString QLNDocumentPDFTypeName;        // "application/pdf"
extern const QString QLNDocumentTIFFTypeName;       // "image/tiff"
extern const char *const QLNDocumentUndoObservationContext;
extern const char *const QLNDocumentUndoKeysObservationContext;

// Ascending, distinct indexes into a list.
using QLNIndexSet = QList<int>;

// Undo and redo as a stack of groups of actions. An action registered while no group
// is open opens one, which closes by itself at the end of the current turn of the
// event loop (or when undo() is called first), so everything done in one turn is one
// step. Actions registered while undoing go to the redo stack and vice versa; a new
// action registered otherwise clears the redo stack.
//
// Registration can be disabled; disables are counted and registration is on only when
// every disable has been matched by an enable.
//
// checkpoint() is emitted whenever a group closes (and when all actions are removed):
// the start of a new step for whoever collects changes per step.
// stacksChanged() is emitted whenever canUndo() or canRedo() may have changed: when a
// group closes, when actions are removed, and when a registration turns either answer.
class UndoManager : public QObject {
  Q_OBJECT
public:
  using Action = std::function<void()>;

  explicit UndoManager(QObject *parent = nullptr);
  ~UndoManager() override;

  // Adds `action` to the open group (opening one when none is). `target` tags the
  // action for removeAllActionsWithTarget. Ignored while registration is disabled.
  void registerUndo(Action action, const void *target = nullptr);

  void disableUndoRegistration();
  // Matches one disable; an enable without a disable to match does nothing.
  void enableUndoRegistration();
  bool isUndoRegistrationEnabled() const { return m_disableCount == 0; }

  // Explicit groups (nested groups fold into the outermost one).
  void beginUndoGrouping();
  void endUndoGrouping();
  int groupingLevel() const { return m_groupingLevel; }

  bool canUndo() const;
  bool canRedo() const;
  // Closes an open group, then carries out the actions of the last step in reverse
  // order of registration. Nothing when there is nothing to undo.
  void undo();
  void redo();
  bool isUndoing() const { return m_undoing; }
  bool isRedoing() const { return m_redoing; }

  int undoCount() const { return int(m_undoStack.size()) + (hasOpenActions() ? 1 : 0); }
  int redoCount() const { return int(m_redoStack.size()); }

  void removeAllActions();
  void removeAllActionsWithTarget(const void *target);

signals:
  void checkpoint();
  void stacksChanged();

private:
  struct Entry {
    Action action;
    const void *target;
  };
  using Group = std::vector<Entry>;

  bool hasOpenActions() const { return m_groupingLevel > 0 && !m_open.empty(); }
  void closeGroup();
  void runGroup(Group group, bool undoing);

  std::vector<Group> m_undoStack;
  std::vector<Group> m_redoStack;
  Group m_open;
  int m_groupingLevel = 0;
  int m_disableCount = 0;
  bool m_undoing = false;
  bool m_redoing = false;
  quint64 m_autoGroupGeneration = 0;   // invalidates a pending end-of-turn close
};

// The page setup of the document: paper size and margins in points, orientation.
struct QLNPrintInfo {
  QSizeF paperSize{612.0, 792.0};        // US Letter
  int orientation = 0;                   // 0 portrait, 1 landscape
  QMarginsF margins{72.0, 90.0, 72.0, 90.0};  // left, top, right, bottom

  bool operator==(const QLNPrintInfo &) const = default;
  // A keyed archive with root object of class "QLNPrintInfo".
  QByteArray archived() const;
  static std::optional<QLNPrintInfo> unarchived(const QByteArray &data);
};

// Old values of the properties of the objects changed in one undo step: per object,
// key -> value before the first change of the step. Handed to the undo manager as one
// record.
class QLNMapTableOwner {
public:
  using Properties = QMap<QString, QVariant>;
  using MapTable = std::vector<std::pair<QLNGraphicPtr, Properties>>;

  QLNMapTableOwner() = default;
  MapTable &mapTable() { return _mapTable; }
  const MapTable &mapTable() const { return _mapTable; }
  // The entry of `graphic`, made empty when missing.
  Properties &propertiesFor(const QLNGraphicPtr &graphic);

private:
  MapTable _mapTable;
};

// The document's print command: a view of the front side (a snapshot taken when the
// operation was made) with the document's page setup, ready to be printed. Made by the
// renderer; the caller runs it.
class QLNPrintOperation {
public:
  virtual ~QLNPrintOperation();

  // The title of the print job.
  virtual QString jobTitle() const = 0;
  // The page setup used for printing.
  QLNPrintInfo printInfo;
  // Further print settings by name. Applied when printing: "copies" (a whole number of
  // at least 1) and "outputFileName" (a PDF file to print to instead of the printer).
  // Other entries are kept and not used.
  QVariantMap printInfoDictionary;
  // The operation holds its own snapshot, so it may be run on any thread.
  bool canSpawnSeparateThread = false;

  // Prints on `printer`: the page setup and the settings are applied to it, then the
  // view is drawn at its size in points at the top left of the printable area of one
  // page. False with the reason in `error` when the printer cannot be used or the page
  // cannot be drawn.
  virtual bool runOperation(QPrinter &printer, QString *error = nullptr) = 0;
};

// What the document needs of the renderer (canvas/QLNRenderingView.h), which sits above
// core: document data as PDF or TIFF and the print operation of the front side. The
// program hands the document one at start (AppSession); without one, PDF and TIFF data
// and printing fail with a message.
class QLNDocumentRenderer {
public:
  virtual ~QLNDocumentRenderer();
  // One page of the card's size: the card base of the current side and the printable
  // objects of `graphics`; empty with the reason in `error` on failure.
  virtual QByteArray pdfDataWithGraphics(const QLNGraphicList &graphics, QString *error) = 0;
  // The objects alone, cropped to their drawing bounds; empty with `error` set (code 3
  // for empty drawing bounds) on failure.
  virtual QByteArray tiffDataWithGraphics(const QLNGraphicList &graphics, QLNError *error) = 0;
  // A print operation for a view of `frame` showing `graphics` under `jobTitle`.
  virtual std::unique_ptr<QLNPrintOperation> printOperation(const QRectF &frame, const QLNGraphicList &graphics,
                                                           const QString &jobTitle) = 0;
};

class QLNDocument : public QObject, public KeyValueObservable, private KeyValueObserver {
  Q_OBJECT
public:
  QLNDocument();
  ~QLNDocument() override;

  // Undo registration: 1 enables, any other value disables (counted, so pair them).
  void Enable_Disable_Undo_Registraion(int enable);
  // Forgets every undo and redo step and empties the front list without recording it.
  void Clear_All_Undo_Redo();

  UndoManager *undoManager() { return &m_undoManager; }

  // The live lists (empty ones before the first insertion).
  QLNGraphicList graphics() const { return _graphics; }
  QLNGraphicList graphics_back() const { return _graphics_back; }
  QLNGraphicList graphics_temp() const { return _graphics_temp; }

  // Front list. Inserts the n-th object at the n-th index (indexes counted in the
  // resulting list, ascending). Throws std::out_of_range, changing nothing, when the
  // counts differ or an index is outside the list.
  void insertGraphics(const QLNGraphicList &graphics, const QLNIndexSet &atIndexes);
  // Removes the objects at the indexes; throws std::out_of_range, changing nothing,
  // for an index outside the list.
  void removeGraphicsAtIndexes(const QLNIndexSet &indexes);

  // Editing any of the three lists by key, as the canvases do: the front list goes
  // through insertGraphics / removeGraphicsAtIndexes, the other two are edited in place.
  void insertIntoList(const QString &key, const QLNGraphicList &graphics, const QLNIndexSet &atIndexes);
  void removeFromList(const QString &key, const QLNIndexSet &indexes);
  // Replaces a whole list (removal of everything, then insertion).
  void setList(const QString &key, const QLNGraphicList &graphics);
  QLNGraphicList list(const QString &key) const;

  // 243 by 154 points when `flag` is set, otherwise `size_val`.
  static QSizeF canvasSize(bool flag, const QSizeF &size_val);
  // The name shown as the window title: the main window's App_Name.
  QString displayName() const;

  // The document never reads document data: always false, no error.
  bool readFromData(const QByteArray &data, const QString &ofType, QLNError *error);
  static bool canConcurrentlyReadDocumentsOfType(const QString &typeName) { return true; }
  // Document data of the front side. For the native type (QLNDocumentNewTypeName or
  // "Amends card document"): a binary property list {"version": 2, "graphics": one
  // keyed archive per front object, "printInfo": QLNPrintInfo::archived()}. For PDF
  // ("application/pdf" or an alias of it): one page of the card's size with the card
  // base and the printable front objects. For TIFF ("image/tiff" or an alias): the front
  // objects alone, cropped to their drawing bounds. PDF and TIFF that cannot be made give
  // an empty array with `error` set (TIFF of objects whose drawing bounds are empty: code
  // 3). Any other type throws std::logic_error.
  QByteArray dataOfType(const QString &typeName, QLNError *error);

  // The renderer for PDF and TIFF data and printing (shared; may be null).
  void setRenderer(std::shared_ptr<QLNDocumentRenderer> renderer) { m_renderer = std::move(renderer); }
  std::shared_ptr<QLNDocumentRenderer> renderer() const { return m_renderer; }

  // The print command of the front side: the job title is displayName (the document
  // never has a file of its own: designs are saved as design logs); the view shows the
  // standard card canvas (0, 0, 243, 154) with the front list; the operation takes the
  // document's page setup, may run on a thread of its own, and gets the entries of
  // `settings` in its printInfoDictionary. Null with `error` set when there is no
  // renderer.
  std::unique_ptr<QLNPrintOperation> printOperationWithSettings(const QVariantMap &settings, QString *error = nullptr);

  // Stores the page setup, announcing a change of "canvasSize" around it.
  void setPrintInfo(const QLNPrintInfo &printInfo);
  QLNPrintInfo printInfo() const { return m_printInfo; }

  bool isDocumentEdited() const { return false; }

  // Restores the recorded properties (undo and redo of property changes).
  void setGraphicProperties(const std::shared_ptr<QLNMapTableOwner> &owner);
  // The end of an undo step: forgets what the step recorded.
  void observeUndoManagerCheckpoint();
  void startObservingGraphics(const QLNGraphicList &graphics);
  void stopObservingGraphics(const QLNGraphicList &graphics);

  // The specifier of a front object ("graphics" and its index), none for others.
  std::optional<QLNObjectSpecifier> objectSpecifierForGraphic(const QLNGraphic *graphic) const;

  // ---- Scripting (core/DocumentScripting.cpp) -------------------------------------------
  // Every scripting operation works on the front list and is undoable like any other
  // insertion or removal there.

  // A new object for a script: an object of `className` ("QLNGraphic" makes a
  // Shape_Control) at its creation defaults, then `properties` set by key (setValue) and,
  // for a text, `contentsValue` (a string) as its text. Throws std::invalid_argument for
  // an unknown class or a property the object does not have.
  QLNGraphicPtr newScriptingObjectOfClass(const QString &className, const QString &forValueForKey,
                                          const QVariant &contentsValue, const QVariantMap &properties);
  // insertGraphics / removeGraphicsAtIndexes with one object and one index; addInGraphics
  // appends to the front list.
  void insertGraphic(const QLNGraphicPtr &graphic, int atIndex);
  void removeGraphicAtIndex(int index);
  void addInGraphics(const QLNGraphicPtr &graphic);
  // The front objects of the class `className` or of a class derived from it, in
  // front-list order.
  QLNGraphicList graphicsWithClass(const QString &className) const;
  // The element lists: every Shape_Control (the three shape lists alike, whatever the
  // shape code), every QLNLine, every QLNText, every QLNImage (signatures and
  // fingerprints are not images).
  QLNGraphicList rectangles_round() const;
  QLNGraphicList rectangles() const;
  QLNGraphicList circles() const;
  QLNGraphicList lines() const;
  QLNGraphicList textAreas() const;
  QLNGraphicList images() const;
  // The list of a scripting key: the six element keys above, "graphics" (the front
  // list), "graphics_back" and "graphics_temp" (the back and temp lists). None for any
  // other key.
  std::optional<QLNGraphicList> scriptingElements(const QString &key) const;

  // Insertion and removal within a kind. Inserting at the kind's count appends to the
  // front list; otherwise the new object goes into the front list just before the kind's
  // object at that index. Removing takes out the kind's object at the index. An index
  // that names no object of the kind (or one missing from the front list) throws
  // QLNScriptingRangeError with the kind's message and changes nothing.
  void insertObject_inRectanglesAtIndex(const QLNGraphicPtr &object, int index);
  void removeObjectFromRectanglesAtIndex(int index);
  void insertObject_inCirclesAtIndex(const QLNGraphicPtr &object, int index);
  void removeObjectFromCirclesAtIndex(int index);
  void insertObject_inLinesAtIndex(const QLNGraphicPtr &object, int index);
  void removeObjectFromLinesAtIndex(int index);
  void insertObject_inTextAreasAtIndex(const QLNGraphicPtr &object, int index);
  void removeObjectFromTextAreasAtIndex(int index);
  void insertObject_inImagesAtIndex(const QLNGraphicPtr &object, int index);
  void removeObjectFromImagesAtIndex(int index);

  // Specifier evaluation. Each answers the indexes of the objects a specifier names in
  // the list of its key (front-list indexes for "graphics", "graphics_back" and
  // "graphics_temp"), or none when it cannot evaluate the specifier.
  std::optional<QList<int>> indicesOfObjectsByEvaluatingRangeSpecifier(const QLNScriptSpecifier &specifier) const;
  std::optional<QList<int>> indicesOfObjectsByEvaluatingRelativeSpecifier(const QLNScriptSpecifier &specifier) const;
  // Range and relative specifiers go to the two above; other forms get no answer.
  std::optional<QList<int>> indicesOfObjectsByEvaluatingObjectSpecifier(const QLNScriptSpecifier &specifier) const;
  // The objects a specifier names: index and every specifiers in the list of their key
  // (a negative index counts from the end), range and relative specifiers through the
  // evaluation above. None when the specifier names nothing that exists.
  std::optional<QLNGraphicList> objectsByEvaluatingSpecifier(const QLNScriptSpecifier &specifier) const;

  QVariant valueForKey(const QString &key) const override;

private:
  void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                              const KeyValueChange &change, const void *context) override;
  QLNGraphicList *listForKey(const QString &key);
  void insertInPlace(QLNGraphicList &list, const QString &key, const QLNGraphicList &graphics,
                     const QLNIndexSet &indexes);
  void removeInPlace(QLNGraphicList &list, const QString &key, const QLNIndexSet &indexes);

  QLNGraphicList _graphics;
  QLNGraphicList _graphics_back;
  QLNGraphicList _graphics_temp;
  std::optional<QLNGraphicList> _undoGroupInsertedGraphics;
  std::shared_ptr<QLNMapTableOwner> _undoGroupOldPropertiesPerGraphic;

  // Scripting helpers (core/DocumentScripting.cpp).
  int frontIndexOf(const QLNGraphic *graphic) const;
  void insertInKind(const QString &kindKey, const QLNGraphicPtr &object, int index);
  void removeFromKind(const QString &kindKey, int index);

  UndoManager m_undoManager;
  QLNPrintInfo m_printInfo;
  std::shared_ptr<QLNDocumentRenderer> m_renderer;
  // Objects observed now, with the undo keys each is observed under.
  std::vector<std::pair<QLNGraphicPtr, QSet<QString>>> m_observed;
};
