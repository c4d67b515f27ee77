#pragma once
// The document on the session bus: scripts list, add and remove the card objects of the
// front side through the document's scripting operations (core/QLNDocument.h).
//
//   service   org.amends.Amends
//   object    /Document
//   interface org.amends.Amends.Document
//
//   Keys() -> as
//       The element keys: "graphics", "graphics_back", "graphics_temp",
//       "rectangles_round", "rectangles", "circles", "lines", "textAreas", "images".
//   Count(s key) -> i
//   Elements(s key) -> aa{sv}
//       One dictionary per object of the key's list, in list order: "class" (s),
//       "index" (i, within the key's list), "frontIndex" (i, in the front list; not for
//       the back and temp lists), "bounds" (ad: x, y, width, height in points),
//       "controlID" (s), "printed" (b: drawn in output), "locked" (b), "visible" (b),
//       "shape" (s, shapes), "text" (s, texts), "fillColor" and "strokeColor" ((qqq):
//       red, green, blue 0..65535, only while the fill or border is on), "strokeWidth"
//       (d, only while the border is on).
//   Insert(s key, i index, a{sv} properties) -> i
//       Makes a new object of the key's kind and inserts it at `index` within the kind
//       ("graphics": the front list; "class" chooses Shape_Control, QLNText, QLNLine,
//       QLNImage, QLNSignature or QLNBarcode, "QLNGraphic" and no class a shape);
//       a circle is an ellipse, a rectangle a rectangle. Properties: "bounds" (4
//       numbers), "text" (s, texts only), "fillColor" and "strokeColor" (3 numbers
//       0..65535), "strokeWidth" (number, 0..1000). Answers the new object's front index.
//       Without "bounds" the object is placed as its tool places it: at the next point
//       of the cascade of new objects (Control_New_Point of the front side), at the
//       tool's size (QLNWindowController::toolDefaultSize); bounds of width and height 0
//       are refused. Insertion is undoable like any other.
//   Remove(s key, i index)
//       Removes the key's object at `index` from the front list.
//   IndicesOfRange(s key, a{sv} start, a{sv} end) -> ai
//       The objects from the one `start` names to the one `end` names (an empty
//       dictionary: from the first, or to the last, of the front list), as indexes into
//       the key's list: front indexes for "graphics" (and "graphics_back",
//       "graphics_temp", which count in the front list too), indexes within the kind for
//       "rectangles", "circles", "lines", "textAreas" and "images".
//   IndicesOfRelative(s key, s position, a{sv} base) -> ai
//       The first object of the key's list "before" or "after" the one `base` names, in
//       front-list order: its index as above, or none when there is none.
//   ObjectSpecifier(s key, i index) -> (s key, i index)
//       How the key's object at `index` is named for good: "graphics" and its front
//       index. Only front objects have one.
//   A specifier is a dictionary: "key" (s) and one of "index" (i; -1 the last), "every"
//   (b, true), "start" and/or "end" (specifiers: a range), or "position" ("before",
//   "after") with "base" (a specifier); they nest at most 8 deep.
//
// Errors: org.amends.Amends.Error.Range with the document's range message (for example
// "Could not find the given circle in the graphics."), org.amends.Amends.Error.Index
// for an index outside the front list, org.amends.Amends.Error.Specifier for a specifier
// that names no object of the front side (or an object that has no specifier), and
// org.freedesktop.DBus.Error.InvalidArgs for an unknown key, class or property or a
// value of the wrong kind or out of bounds. A call that fails changes nothing.
//
// The bus object is a child of the document and goes with it. Main thread only.

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QLNDocument;

class DocumentScriptingBus : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.amends.Amends.Document")

public:
  static const QString ServiceName;  // "org.amends.Amends"
  static const QString ObjectPath;   // "/Document"
  static const QString InterfaceName;  // "org.amends.Amends.Document"

  // Puts `document` on `connection`: the object at ObjectPath and, when it is free, the
  // service name. Null when the connection is not up or the object path is taken (the
  // reason is logged unless there is no bus at all); the program goes on without it.
  static DocumentScriptingBus *registerDocument(QLNDocument *document, const QDBusConnection &connection);
  // The same on the session bus, when there is one.
  static DocumentScriptingBus *registerOnSessionBus(QLNDocument *document);

  ~DocumentScriptingBus() override;

  bool ownsServiceName() const { return m_ownsName; }

public slots:
  QStringList Keys();
  int Count(const QString &key);
  QList<QVariantMap> Elements(const QString &key);
  int Insert(const QString &key, int index, const QVariantMap &properties);
  void Remove(const QString &key, int index);
  QList<int> IndicesOfRange(const QString &key, const QVariantMap &start, const QVariantMap &end);
  QList<int> IndicesOfRelative(const QString &key, const QString &position, const QVariantMap &base);
  QString ObjectSpecifier(const QString &key, int index, int &specifierIndex);

private:
  DocumentScriptingBus(QLNDocument *document, const QDBusConnection &connection);
  // Answers a call over the bus with the error `name` and `message`; a direct call from
  // the program gets a std::runtime_error with the message instead.
  void fail(const QString &name, const QString &message);

  QLNDocument *m_document;
  QDBusConnection m_connection;
  bool m_registered = false;
  bool m_ownsName = false;
};
