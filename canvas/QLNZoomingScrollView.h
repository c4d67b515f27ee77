#pragma once
// QLNZoomingScrollView and SWCenteringClipView: the scroll view each editing canvas sits
// in, and its viewport.
//
// The scroll view carries a zoom list (a combo box at the left end of its horizontal
// scroll bar) with eleven fixed factors, 10% to 1600%, and the rulers of its canvas
// above and left of the viewport. Choosing a factor in the list calls what the "factor"
// binding names (the main window's zoom factor), which in turn sets every bound view's
// factor with setFactor.
//
// The viewport (SWCenteringClipView) works in the canvas's points like a clip view: its
// bounds are its pixel size divided by the factor, at an origin in canvas points. On an
// axis where the canvas is smaller than the bounds the canvas is centred (the origin is
// negative); where it is larger, scrolling is limited to the canvas. Around the canvas it
// paints the backdrop: white, a vertical gray gradient, and a base in the card's shape
// (Card_Shape: rectangle, rounded rectangle or oval) with a soft drop shadow, on which
// the canvas draws the card.
//
// Main thread only.

#include <QAbstractScrollArea>
#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class CanvasRuler;
class QComboBox;
class QLNGraphicView;

// Name of the zoom factor binding.
extern const QString QLNZoomingScrollViewFactor;  // "factor"
// The zoom list: factors and their labels, index-aligned. The first factor is 0.1 as a
// 32-bit float (0.10000000149011612).
extern const std::array<double, 11> QLNZoomingScrollViewFactors;
extern const std::array<const char *, 11> QLNZoomingScrollViewLabels;

class SWCenteringClipView : public QWidget {
  Q_OBJECT
public:
  explicit SWCenteringClipView(QWidget *parent = nullptr);
  ~SWCenteringClipView() override;

  // The view shown, made a child of the clip view (so it goes with it). Null for none.
  void setDocumentView(QWidget *view);
  QWidget *documentView() const { return m_document; }
  // The document's frame in points: a canvas's card size, any other widget's pixel size
  // divided by the factor; empty without a document.
  QSizeF documentSize() const;

  // Pixels per point; values that are not finite or not above 0 are refused.
  double factor() const { return m_factor; }
  void setFactor(double factor);

  // The visible area in points: its size is the pixel size divided by the factor.
  QPointF boundsOrigin() const { return m_origin; }
  QSizeF boundsSize() const;
  // Moves the visible area, then centres the document where it is smaller than it.
  void setBoundsOrigin(const QPointF &origin);

  // On each axis where the bounds are larger than the document, the origin becomes
  // (document - bounds) / 2 rounded half away from zero (in float); other axes stay.
  void centerDocument();
  // The origin a scroll to `proposed` ends at: centred where the bounds are larger than
  // the document, otherwise limited to 0 ... document - bounds; rounded half away from
  // zero.
  QPointF constrainScrollPoint(const QPointF &proposed) const;
  // Puts the origin at `origin` as it stands and places the document under it.
  void scrollToPoint(const QPointF &origin);

signals:
  // The origin or the bounds changed (the scroll view follows with its scroll bars).
  void boundsChanged();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  // Centres, limits the origin to the document and places the document.
  void relayout();
  void placeDocument();

  QPointer<QWidget> m_document;
  double m_factor = 1.0;
  QPointF m_origin{0.0, 0.0};
};

class QLNZoomingScrollView : public QAbstractScrollArea {
  Q_OBJECT
public:
  explicit QLNZoomingScrollView(QWidget *parent = nullptr);
  ~QLNZoomingScrollView() override;

  SWCenteringClipView *clipView() const { return m_clip; }
  // The canvas shown, owned from now on through the clip view; it takes the view's
  // factor and rulers, and the focus whenever the view is given it.
  void setDocumentView(QWidget *view);
  QWidget *documentView() const { return m_clip->documentView(); }

  // ---- Zoom ---------------------------------------------------------------------------------------
  double factor() const { return m_factor; }
  // Stores the factor, shows it in the zoom list, zooms the canvas and sets the clip
  // view's bounds to its pixel size divided by the factor; the top left point of the
  // visible area stays where the canvas allows, and a smaller canvas is centred.
  // Values that are not finite or not above 0 are refused.
  void setFactor(double factor);
  // The zoom list, made on first need.
  QComboBox *factorPopUpButton();
  // "factor": from now on, choosing an item of the zoom list calls `setter` with its
  // factor (a former binding is replaced). Other names are accepted and do nothing.
  void bind(const QString &name, std::function<void(double)> setter);
  void unbind(const QString &name);
  bool isFactorBound() const { return bool(m_factorSetter); }
  // Lays out the scroll bars and puts the zoom list at the left end of the horizontal
  // one. Throws std::logic_error when the horizontal scroll bar is switched off.
  void tile();

  // ---- Scrolling ----------------------------------------------------------------------------------
  // Scrolls as little as needed to bring `point` (canvas points) into view.
  void scrollPointToVisible(const QPointF &point);

  // ---- Rulers -------------------------------------------------------------------------------------
  // Gives the view a ruler above (horizontal) or left of (vertical) the viewport, or
  // takes it away; the canvas is handed the rulers.
  void setHasHorizontalRuler(bool has);
  void setHasVerticalRuler(bool has);
  CanvasRuler *horizontalRulerView() const { return m_horizontalRuler; }
  CanvasRuler *verticalRulerView() const { return m_verticalRuler; }
  // Whether the rulers show (a setting of the view, kept also while it has none).
  bool rulersVisible() const { return m_rulersVisible; }
  void setRulersVisible(bool visible);

protected:
  void scrollContentsBy(int dx, int dy) override;
  // The clip view paints and lays itself out; the scroll area does not stand in for it.
  bool viewportEvent(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void updateScrollBars();
  void layoutRulers();
  void handRulersToDocument();

  SWCenteringClipView *m_clip = nullptr;
  QComboBox *m_factorPopUpButton = nullptr;
  double m_factor = 1.0;
  std::function<void(double)> m_factorSetter;
  QPointer<CanvasRuler> m_horizontalRuler;
  QPointer<CanvasRuler> m_verticalRuler;
  bool m_rulersVisible = false;
  bool m_updatingScrollBars = false;
};
