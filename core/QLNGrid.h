#pragma once
// The canvas grid: its colour and spacing, whether it is always shown, and whether
// points snap to it. The main window owns one grid and hands it to every canvas.
// Canvases draw it behind the card objects and snap points to it while the user
// creates, moves or resizes objects.
//
// When the spacing changes while the grid is hidden, the grid shows itself for
// QLNGridTemporaryShowingTime seconds after the last change, so the user sees the new
// spacing. Every change that affects what is drawn is announced by anyChanged(): the
// canvases redraw on it.

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;
class QTimer;

// Seconds the grid stays visible after a spacing change while it is hidden.
inline constexpr double QLNGridTemporaryShowingTime = 1.0;
// Name of the key that changes whenever anything drawn of the grid changes.
inline const QString QLNGridAnyKey = QStringLiteral("any");

class QLNGrid : public QObject {
  Q_OBJECT
  Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
  Q_PROPERTY(double spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)
  Q_PROPERTY(bool alwaysShown READ isAlwaysShown WRITE setAlwaysShown NOTIFY alwaysShownChanged)
  Q_PROPERTY(bool constraining READ isConstraining WRITE setConstraining NOTIFY constrainingChanged)
  Q_PROPERTY(bool usable READ isUsable NOTIFY usableChanged)
  Q_PROPERTY(bool canSetColor READ canSetColor NOTIFY canSetColorChanged)
  Q_PROPERTY(bool canSetSpacing READ canSetSpacing NOTIFY canSetSpacingChanged)

public:
  // A new grid: light grey, spacing 9 points, hidden, not constraining.
  explicit QLNGrid(QObject *parent = nullptr);
  ~QLNGrid() override;

  QColor color() const { return _color; }
  void setColor(const QColor &color);

  double spacing() const { return _spacing; }
  // Stores the spacing; while the grid is hidden, a new positive spacing shows the
  // grid for a moment (the moment restarts on every further change).
  void setSpacing(double spacing);

  bool isAlwaysShown() const { return _isAlwaysShown; }
  // Stores the flag when it differs, enables or disables the main window's
  // align-with-grid button to match, and ends a temporary showing.
  void setAlwaysShown(bool alwaysShown);

  bool isConstraining() const { return _isConstraining; }
  void setConstraining(bool constraining);

  // The spacing is a positive, finite number of points.
  bool isUsable() const;
  bool canAlign() const { return isUsable(); }
  bool canSetColor() const { return isAlwaysShown() && isUsable(); }
  bool canSetSpacing() const { return isAlwaysShown() || isConstraining(); }

  // True while the grid is shown for a moment after a spacing change.
  bool isShowingTemporarily() const { return _hidingTimer != nullptr; }
  // True when drawRect would draw anything.
  bool isVisible() const { return isUsable() && (isAlwaysShown() || isShowingTemporarily()); }

  // When usable and constraining, each coordinate becomes the nearest multiple of
  // the spacing (halves round up); otherwise the point comes back unchanged.
  QPointF constrainedPoint(QPointF point) const;
  // The rectangle whose origin and far corner are both rounded to the grid, whether
  // or not the grid constrains (callers ask canAlign first). An unusable grid gives
  // the rectangle back unchanged.
  QRectF alignedRect(QRectF rect) const;

  // Draws the grid lines that cross `dirty` (in the painter's coordinates, points)
  // with a cosmetic pen in the grid colour, when the grid is visible. Lines closer
  // together than two device pixels are not drawn.
  void drawRect(QPainter *painter, QRectF dirty) const;

  // Ends a temporary showing and announces the change so the canvases redraw.
  void stopShowingGridForTimer();

signals:
  // Anything drawn changed: colour, spacing, always shown, constraining, or the end
  // of a temporary showing.
  void anyChanged();
  void colorChanged();
  void spacingChanged();
  void alwaysShownChanged();
  void constrainingChanged();
  void usableChanged();
  void canSetColorChanged();
  void canSetSpacingChanged();
  // The main window's align-with-grid button (Align_with_grid_btn) is to be enabled
  // (true) or disabled; sent each time the always-shown flag changes.
  void alignWithGridEnabledChanged(bool enabled);

private:
  struct Derived {
    bool usable, canSetColor, canSetSpacing;
  };
  Derived derived() const;
  void announceDerived(const Derived &before);
  void cancelHidingTimer();

  QColor _color;
  double _spacing = 9.0;
  bool _isAlwaysShown = false;
  bool _isConstraining = false;
  QTimer *_hidingTimer = nullptr;
};
