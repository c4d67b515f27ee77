#pragma once
// QLNGraphic: the card object. One flat record carrying the fields of every kind of
// card object (shape, line, text, image, signature, fingerprint, barcode), so that any
// subsystem can read and write any field of any object without knowing its kind. The
// kinds (QLNImage, QLNText, QLNLine, Shape_Control, QLNSignature, QLNBarcode) add
// drawing and a few fields of their own.
//
// Fields are public and written directly by the code that owns the matching panel or
// window: no validation and no change notification. Only the six keys "drawingFill",
// "fillColor", "drawingStroke", "strokeColor", "strokeWidth" and "bounds" notify
// observers, when set by name (setValue) or, for "bounds", through setBounds().
//
// Card objects are shared (QLNGraphicPtr); the document's lists, the undo records and
// the canvases hold them. Main thread only, except that renderers read them.
//
// Where the operations are defined:
//   core/QLNGraphic.cpp           record, creation defaults, accessors, colour getters,
//                                 copy, text storage, observation keys, undo keys,
//                                 legacy properties, scripting accessors, pasteboard data
//   core/CardObjectArchive.cpp    the keyed archive (encodeWithCoder, initWithCoder,
//                                 archiveGraphic, unarchiveGraphic)
//   core/QLNGraphic_Geometry.cpp  position and size, setBounds, drawing bounds, handles,
//                                 hit testing, resizing, natural size, setColor, the
//                                 base drawing operations and the class operations on
//                                 groups (boundsOfGraphics ... Paste_Location_Of_Graphics),
//                                 creationCursor, creationSizingHandle, randomPoint
//
// setBounds() must announce the change of "bounds" to observers; it stores the field
// through the protected helper storeBoundsNotifying(), which does exactly that.

#include "core/KeyValueObserving.h"
#include "platform/Fonts.h"
#include "platform/Images.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"

#include <QColor>
#include <QCursor>
#include <QList>
#include <QMetaType>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

class QLNDocument;
struct QLNError;
class QLNGraphic;
class QPainter;
class QWidget;

// The spreadsheet column a bound object's excel_col_indx named when the object left
// the design (removed, whence Undo may bring it back, or copied to the clipboard): the
// imported rows it was read in (`rows`, an identity the rows take when they come in),
// the column's title, which of the columns of that title it was (0 the first) and how
// many of them those rows held (0 where that is not known), and whether the titles were
// the workbook's column names or only its first row's values. Columns without a title
// count as one title, whatever name the lists give each.
// An object that comes back after the rows were replaced takes its column from this
// as the objects of the design did when they were replaced.
struct SpreadsheetColumnMark {
  quint64 rows = 0;
  QString title;
  qint32 occurrence = 0;
  qint32 count = 0;
  bool named = true;

  bool operator==(const SpreadsheetColumnMark &) const = default;
};

using QLNGraphicPtr = std::shared_ptr<QLNGraphic>;
using QLNGraphicList = QList<QLNGraphicPtr>;
Q_DECLARE_METATYPE(QLNGraphicPtr)
Q_DECLARE_METATYPE(QLNGraphicList)

// Keys of the observable properties.
extern const QString QLNGraphicIsDrawingFillKey;                 // "drawingFill"
extern const QString QLNGraphicFillColorKey;                     // "fillColor"
extern const QString QLNGraphicIsDrawingStrokeKey;               // "drawingStroke"
extern const QString QLNGraphicStrokeColorKey;                   // "strokeColor"
extern const QString QLNGraphicStrokeWidthKey;                   // "strokeWidth"
extern const QString QLNGraphicXPositionKey;                     // "xPosition"
extern const QString QLNGraphicYPositionKey;                     // "yPosition"
extern const QString QLNGraphicWidthKey;                         // "width"
extern const QString QLNGraphicHeightKey;                        // "height"
extern const QString QLNGraphicBoundsKey;                        // "bounds"
extern const QString QLNGraphicDrawingBoundsKey;                 // "drawingBounds"
extern const QString QLNGraphicDrawingContentsKey;               // "drawingContents"
extern const QString QLNGraphicKeysForValuesToObserveForUndoKey; // "keysForValuesToObserveForUndo"

// Geometry constants (values in core/QLNGraphic_Geometry.cpp).
extern const double QLNGraphicHandleWidth;      // 6.0
extern const double QLNGraphicHandleHalfWidth;  // 3.0
extern const int QLNGraphicNoHandle;            // 0

// The attributed text of a text object. Shared: Text_contents() hands out the one
// storage of the record, and whoever edits it edits the object's text.
using QLNTextStorage = AttributedText;
using QLNTextStoragePtr = std::shared_ptr<QLNTextStorage>;
Q_DECLARE_METATYPE(AttributedText)

// The status of the script command being carried out: the scripting setters report
// refusals here. A command installs itself with ScriptCommand::Scope for its duration.
class ScriptCommand {
public:
  int errorNumber = 0;
  QString errorString;

  void setScriptErrorNumber(int number) { errorNumber = number; }
  void setScriptErrorString(const QString &text) { errorString = text; }

  // The command being carried out on this thread, or null.
  static ScriptCommand *currentCommand();

  class Scope {
  public:
    explicit Scope(ScriptCommand &command);
    ~Scope();
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;

  private:
    ScriptCommand *m_previous;
  };
};

// A place in the document's object model that answers for a card object: the index of
// the object in the list of `key` ("graphics", the front side).
struct QLNObjectSpecifier {
  QString key;
  int index = -1;
  bool operator==(const QLNObjectSpecifier &) const = default;
};

class QLNGraphic : public KeyValueObservable,
                   public KeyedArchivable,
                   public std::enable_shared_from_this<QLNGraphic> {
public:
  // init: every field at its creation default.
  QLNGraphic();
  // A bare record with every field zero, false or absent (decoding starts from this).
  struct Zeroed {};
  explicit QLNGraphic(Zeroed);
  ~QLNGraphic() override;

  // The class name the archive records: "QLNGraphic", "QLNText", "QLNImage", ...
  virtual QString className() const;
  QString archiveClassName() const override { return className(); }
  QStringList archiveSuperclasses() const override;

  // ---- Fields, in declared order ----------------------------------------------------
  QRectF _bounds;
  bool _isDrawingFill = false;
  QColor _fillColor;                 // invalid: no colour
  bool _isDrawingStroke = false;
  QColor _strokeColor;
  double _strokeWidth = 0.0;
  QString _stroke_border_type;
  QString _fill_type;
  QColor _fill_Grad_clr1;
  QColor _fill_Grad_clr2;
  double _fill_grad_angle = 0.0;
  QColor _fill_htch_clr;
  QString _fill_hatch_type;
  bool _isFlippedHorizontally = false;
  bool _isFlippedVertically = false;
  bool invert_clr = false;
  bool gray_Scale = false;
  bool Sepia = false;
  float img_trnsp_val = 0.0f;
  float hue_val = 0.0f;
  float sat_val = 0.0f;
  float brt_val = 0.0f;
  float con_val = 0.0f;
  float srp_val = 0.0f;
  float ev_val = 0.0f;
  float blr_val = 0.0f;
  qint32 data_source_type = 0;
  float rotate_image = 0.0f;
  QString _file_path;
  QLNDocument *_scriptingContainer = nullptr;   // not owned
  QString sign_or_fingureprint;
  QString batch_list_name;
  qint32 batch_list_index = 0;
  qint32 _line_ori = 0;
  qint32 _line_cap_style = 0;
  float cor_rad_val_val = 0.0f;
  float alpha_val = 0.0f;
  float alpha_val_stroke = 0.0f;
  std::optional<FontSpec> text_ctrl_font;
  QColor txt_clr;
  QLNTextStoragePtr _Text_contents;
  QString _shape_type;
  PointImage _barcode_image;        // null: no picture
  qint32 linear_or_2d = 0;
  qint32 barcode_font_index = 0;
  QString linear_font_val;
  QString two_d_font_val;
  QString header_val;
  QString footer_val;
  qint32 show_hide_hdr = 0;
  qint32 show_hide_ftr = 0;
  qint32 show_hide_val = 0;
  qint32 show_val_on_top = 0;
  qint32 align_hdr_index = 0;
  qint32 align_ftr_index = 0;
  float linear_height_val = 0.0f;
  float linear_width_val = 0.0f;
  qint32 qr_size_val = 0;
  qint32 qr_version_index = 0;
  qint32 qr_ec_index = 0;
  qint32 pdf_hgt_val = 0;
  qint32 pdf_wdt_val = 0;
  qint32 pdf_ec_val = 0;
  qint32 dm_module_val = 0;
  qint32 dm_format_index = 0;
  qint32 dm_encoding_index = 0;
  float hdr_margin_val = 0.0f;
  float ftr_margin_val = 0.0f;
  float val_margin_val = 0.0f;
  float TB_marging_val = 0.0f;
  float LR_margin_val = 0.0f;
  std::optional<FontSpec> value_font_val;
  std::optional<FontSpec> header_font_val;
  std::optional<FontSpec> footer_font_val;
  QColor barcode_hdr_clr_val;
  QColor barcode_ftr_clr_val;
  QColor barcode_val_clr_val;
  QColor barcode_back_clr_val;
  QColor barcode_clr_val;
  qint32 dpi_val_index = 0;
  QString dpi_custom_val;
  qint32 barcode_unit_val = 0;
  bool ctrl_is_locked = false;
  qint32 text_alignmnet = 0;
  qint32 text_transfrom_case = 0;
  float text_kerning = 0.0f;
  qint32 print_object = 0;
  QString control_ID;
  bool excel_binding = false;
  qint32 excel_col_indx = 0;
  // Set only while the object is off the design (see SpreadsheetColumnMark); on the
  // clipboard it travels in the object's archive, never in a design file.
  std::optional<SpreadsheetColumnMark> excel_col_mark;
  QString Text_Value;
  bool ctrl_is_visible = false;
  qint32 double_star_type = 0;
  qint32 polygon_type = 0;

  // ---- Plain accessors --------------------------------------------------------------
  void Set_Ctrl_Is_Visible(bool visible) { ctrl_is_visible = visible; }
  bool Is_Control_Locked() const { return ctrl_is_locked; }
  // How the barcode designer (and a batch row) hands over a new picture. The barcode
  // object takes the picture's size as its own (QLNBarcode).
  virtual void Set_Barcode_image(const PointImage &image) { _barcode_image = image; }
  QString Get_shape_type() const { return _shape_type; }
  void Set_Shape_Type(const QString &shape) { _shape_type = shape; }
  // The text storage; made on first use from Text_Value in black 14-point
  // "TimesNewRomanPS-ItalicMT" and kept, so every call answers the same storage.
  QLNTextStoragePtr Text_contents();
  void Set_Excel_binding(bool binding) { excel_binding = binding; }
  void Set_Excel_binding_Index(int index) { excel_col_indx = index; }
  std::optional<FontSpec> Text_Font_value() const { return text_ctrl_font; }
  QColor Text_Color_Value() const { return txt_clr; }
  int Get_Line_Ori() const { return _line_ori; }
  int Get_Line_Cap_Style() const { return _line_cap_style; }
  void Set_Batch_List_Name(const QString &name) { batch_list_name = name; }
  QString batch_list_name_val() const { return batch_list_name; }
  void Set_Batch_List_Index(int index) { batch_list_index = index; }
  int batch_list_index_val() const { return batch_list_index; }
  int data_source_type_val() const { return data_source_type; }
  void Set_Data_source_type(int type) { data_source_type = type; }

  // A new object of the same kind at its creation defaults, given this object's
  // bounds, fill and border settings (QLNImage and QLNLine copy a little more).
  virtual QLNGraphicPtr copyWithZone() const;
  // A copy to draw elsewhere (an output's card, on a worker thread): every field of the
  // record and of the kind, pictures shared (a picture is never changed in place), a
  // text storage of its own, no observers and no scripting container. Copying only
  // reads this object.
  virtual QLNGraphicPtr copyForRendering() const;

  // ---- Position and size (core/QLNGraphic_Geometry.cpp) ---------------------------
  double xPosition() const;
  double yPosition() const;
  double width() const;
  double height() const;
  void setXPosition(double x);
  void setYPosition(double y);
  void setWidth(double width);
  void setHeight(double height);

  // ---- Legacy property dictionary --------------------------------------------------
  // Applies a dictionary made by properties() to this object (made with init): each of
  // the six basic entries that exists and has the expected type replaces the field.
  virtual void initWithProperties(const PlistValue &properties);
  virtual PlistValue properties();

  virtual void setFlippedHorizontally(bool flipped) { _isFlippedHorizontally = flipped; }
  virtual void setFlippedVertically(bool flipped) { _isFlippedVertically = flipped; }

  QString Sign_Or_FP_Val() const { return sign_or_fingureprint; }
  void Set_Sign_Or_FP(const QString &kind) { sign_or_fingureprint = kind; }
  void Set_Control_File_path(const QString &path) { _file_path = path; }
  QString FilePath() const { return _file_path; }
  QRectF bounds() const { return _bounds; }

  virtual bool isDrawingFill() const { return _isDrawingFill; }
  // The fill colour carrying the fill opacity alpha_val (limited to 0..1); the result
  // is stored back into _fillColor. An absent colour stays absent.
  QColor fillColor();
  virtual bool isDrawingStroke() const { return _isDrawingStroke; }
  double Get_Image_Trnsp_val() const { return img_trnsp_val; }
  double Get_Hue_val() const { return hue_val; }
  // The border colour carrying alpha_val_stroke, stored back into _strokeColor.
  QColor strokeColor();
  double strokeWidth() const { return _strokeWidth; }
  QString strokeBorderType() const { return _stroke_border_type; }
  QString fill_type() const { return _fill_type; }
  QString fill_hatch_type() const { return _fill_hatch_type; }
  // The hatch background and gradient colours carrying alpha_val, stored back.
  QColor fill_hatch_bk_clr();
  QColor fill_Grad_clr1();
  QColor fill_Grad_clr2();
  double fill_grad_angle() const { return _fill_grad_angle; }

  // ---- Geometry, drawing, handles, hit testing (core/QLNGraphic_Geometry.cpp) ------
  virtual QRectF drawingBounds() const;
  // The drawing bounds of the base grown where `stroke`, the outline that a border or a
  // line paints (CardDrawing::borderExtent), reaches past them: on each such side to the
  // outline and one point beyond, for the softened edge pixels. Sides the stroke stays
  // within (a rectangle's or an ellipse's border reaches only half its width past the
  // bounds) keep the base's values. For the kinds whose border can reach farther (a
  // mitred point, a line's cap).
  QRectF drawingBoundsReaching(const QRectF &stroke) const;
  QPointF randomPoint(const QRectF &rect) const;
  virtual void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited);
  virtual QPainterPath bezierPathForDrawing() const;
  virtual void drawHandlesInView(QPainter *painter, bool lock_hai);
  void drawHandleInView(QPainter *painter, const QPointF &atPoint, bool lock_hai);
  virtual bool canSetDrawingFill() const;
  virtual bool canSetDrawingStroke() const;
  virtual bool canMakeNaturalSize() const;
  virtual bool isContentsUnderPoint(const QPointF &point) const;
  virtual int handleUnderPoint(const QPointF &point) const;
  bool isHandleAtPoint(const QPointF &handlePoint, const QPointF &underPoint) const;
  virtual int resizeByMovingHandle(int handle, const QPointF &toPoint);
  virtual void flipHorizontally();
  virtual void flipVertically();
  virtual void makeNaturalSize();
  virtual void setBounds(const QRectF &bounds);
  virtual void setColor(const QColor &color);
  // The handle that follows the pointer while a new object of this kind is dragged out.
  virtual int creationSizingHandle() const;

  // ---- Editing hooks -----------------------------------------------------------------
  // No kind edits in place: no editing view.
  virtual QWidget *newEditingViewWithSuperviewBounds(const QRectF &superviewBounds);
  virtual void finalizeEditingView(QWidget *editingView);

  // ---- Observation and undo ----------------------------------------------------------
  // The keys the document watches for undo: the six basic keys (kinds add theirs).
  virtual QSet<QString> keysForValuesToObserveForUndo() const;
  // The name of a change of `key` for the undo menu; the base answers "" for every key.
  // nullopt means the class has no name for the key (an inconsistency).
  virtual std::optional<QString> presentablePropertyNameForKey(const QString &key) const;
  // The keys whose changes redraw the object (QLNImage adds its flips).
  virtual QSet<QString> keyPathsForValuesAffectingDrawingContents() const;
  static QSet<QString> keyPathsForValuesAffectingDrawingBounds();

  QVariant valueForKey(const QString &key) const override;
  bool setValue(const QVariant &value, const QString &key) override;
  QSet<QString> keyPathsForValuesAffectingValueForKey(const QString &key) const override;
  bool automaticallyNotifiesObserversForKey(const QString &key) const override;

  // ---- Scripting ---------------------------------------------------------------------
  void setScriptingContainer(QLNDocument *container) { _scriptingContainer = container; }
  // The container's specifier for this object; throws std::logic_error when there is
  // no container or it does not know the object.
  QLNObjectSpecifier objectSpecifier() const;
  // Colours and width as a script sees them: nothing while the fill (border) is off.
  std::optional<QColor> scriptingFillColor();
  std::optional<QColor> scriptingStrokeColor();
  std::optional<double> scriptingStrokeWidth() const;
  // Setting them from a script; a value of nullopt removes the fill (border). Refusals
  // set error number -10000 and a text on ScriptCommand::currentCommand().
  void setScriptingFillColor(const std::optional<QColor> &color);
  void setScriptingStrokeColor(const std::optional<QColor> &color);
  void setScriptingStrokeWidth(const std::optional<double> &width);
  // Text form of properties().
  QString description();

  // ---- Keyed archive (core/CardObjectArchive.cpp) -----------------------------------
  // Writes the record under its fixed keys; reads them back into a zeroed record.
  void encodeWithCoder(KeyedArchiver &coder) const override;
  void initWithCoder(KeyedUnarchiver &coder);

  // ---- Class operations ------------------------------------------------------------
  // Groups (core/QLNGraphic_Geometry.cpp).
  static QRectF boundsOfGraphics(const QLNGraphicList &graphics);
  static QRectF drawingBoundsOfGraphics(const QLNGraphicList &graphics);
  static void translateGraphics(const QLNGraphicList &graphics, double byX, double y);
  static void Paste_Location_Of_Graphics(const QLNGraphicList &graphics, double byX, double y,
                                         const QString &card_side);
  static QCursor creationCursor();

  // Pasteboard data and property blocks.
  // One keyed archive per object, in list order.
  static QList<QByteArray> propertiesWithGraphics(const QLNGraphicList &graphics);
  // The blocks of propertiesWithGraphics as an array in a binary property list.
  static QByteArray pasteboardDataWithGraphics(const QLNGraphicList &graphics);
  // The objects of pasteboard data. Data that is not a property list array gives an
  // empty list and, when `error` is given, the error of code 2.
  static QLNGraphicList graphicsWithPasteboardData(const QByteArray &data, QLNError *error = nullptr);
  // Decodes each block; blocks that do not decode are left out. Image objects whose
  // picture file exists get their picture loaded.
  static QLNGraphicList graphicsWithProperties(const QList<QByteArray> &blocks);

protected:
  // For copyForRendering; every kind declares its own the same way.
  QLNGraphic(const QLNGraphic &) = default;
  QLNGraphic &operator=(const QLNGraphic &) = delete;
  // Gives a field-for-field copy of `original` what must not be shared with it; throws
  // std::logic_error when the copy is not of the original's kind.
  static QLNGraphicPtr detachedCopy(const QLNGraphic &original, QLNGraphicPtr copy);

  // Fields of a kind that travel in the archive after the record's own keys (the
  // direction flags of a line). The base has none.
  virtual void encodeKindFields(KeyedArchiver &coder) const {}
  virtual void decodeKindFields(KeyedUnarchiver &coder) {}
  // Runs last in initWithCoder, once every field is read and held within its limits:
  // a kind brings fields that depend on each other into agreement. The base does nothing.
  virtual void finishDecoding() {}

  // setBounds() stores the rectangle through this: the change of "bounds" (and of the
  // keys that depend on it) is announced to observers around the store.
  void storeBoundsNotifying(const QRectF &bounds) {
    changeValueForKey(QLNGraphicBoundsKey, [&] { _bounds = bounds; });
  }
  // Copies the fields that copyWithZone carries (bounds, fill, border, gradient, hatch).
  void copyBaseFieldsTo(QLNGraphic &copy) const;
  // Runs the scripting-setter steps for one of the three script setters.
  void setScriptingValue(const QString &flagKey, bool canSet, const QString &valueKey,
                         const QVariant &value, const QString &cannotSetText,
                         const QString &cannotRemoveText);
};

