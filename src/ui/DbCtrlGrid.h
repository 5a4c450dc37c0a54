#pragma once
// DbCtrlGrid: the data-bound tile grid. It shows the records of one record set as tiles,
// columns x rows at a time, left to right and then top to bottom, every tile drawn from
// one set of display components with that tile's record made current for the paint.
//
// Setting one up
//   auto* grid = new zk::DbCtrlGrid(parent);
//   grid->setDataSource(Dm.DsPesqMesa);       // bound through the record set's signals only
//   grid->setColCount(6);  grid->setRowCount(4);
//   grid->setPanelDesignSize({165, 109});     // the tile size the components are placed for
//   grid->setColor(Qt::white);                // background of the grid and of every tile
//   grid->setSelectedColor(QColor(0xD6F1FC)); // optional: the current tile's fill
//   grid->setPanelBorder(true);               // optional: a raised 1 px frame on every tile
//
// Tile size: (width - vertical scroll bar width) / columns by height / rows, integer
// division, at least 1. The components keep their design size; their anchors say how
// they follow a tile that grows (tablet mode):
//   Qt::LeftEdge (the default, with TopEdge)  fixed place
//   Qt::LeftEdge | Qt::RightEdge              stretches with the tile's width
//   Qt::RightEdge                             kept at its distance from the right edge
//   no horizontal edge                        keeps its relative place (its centre scales)
// and the same with TopEdge / BottomEdge vertically. Components are drawn in the order
// they were added, later ones over earlier ones. A tile lower than designed (a small
// tablet's screen) is drawn as a tile of the designed height shrunk to fit: every component
// and its font shrink alike, so the texts stay whole and apart.
//
// Components (owned by the grid; the returned reference stays valid):
//   TileText&    addText(rect, "FIELD")           field's display text; font, color,
//                                                 alignment, clip (default on)
//   TileImage&   addImage(rect)                   setImage(QImage); transparent (the colour
//                                                 of its bottom-left pixel), stretch, autoSize
//   TileDbImage& addDbImage(rect, "FIELD", decode) a blob holding a picture, stretched;
//                                                 decode(bytes) -> QImage may throw zk::Error,
//                                                 which is reported once per read and the
//                                                 picture left out
// Any component may have its own click action (onClick) and cursor.
//
// Hooks
//   onPaintPanel(grid, index)  before the components of the tile at position `index` are
//                              drawn, with that tile's record current: set colours or
//                              pictures per tile here.
//   onClick()                  after a left press on a tile has made its record current
//                              and given the grid the focus; once per press (the second
//                              press of a double click runs nothing). A press on a
//                              component with its own onClick runs that instead.
// Failures in a click action are reported by the default error handler.
//
// Keys (never the click action): Left/Right one record, Up/Down one row, PageUp/PageDown
// one page, Home/End the first/last record. The current record is kept visible by
// scrolling whole rows. The scroll bar: arrows one row, track one page, the thumb to a
// record position (on release), its ends the first and last record; while the record set
// has not fetched every row it shows only start, middle or end.
//
// The order ticket's grids, for instance:
//   catalogue 1 x 12: setColor(QColor(0xF3F3F3)), no selected colour, no frame
//   order lines 1 x 9: setPanelBorder(true); texts anchored LeftEdge|RightEdge (stretch),
//     none (relative) and RightEdge; the bin as addImage({538, 0, 44, 50}) with
//     stretch, anchors RightEdge|TopEdge|BottomEdge, cursor Qt::PointingHandCursor and
//     its own onClick
//   groups 1 x 8: addDbImage({152, 0, 51, 64}, "IMG", CarregaBitmap) anchored
//     RightEdge|TopEdge|BottomEdge, over the right end of the description

#include "data/dataset/DataSource.h"
#include "data/dataset/Query.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QScrollBar;

namespace zk {

// One display component, drawn in every tile.
class TileComponent {
public:
    explicit TileComponent(const QRect& geometry) : geometry(geometry) {}
    virtual ~TileComponent() = default;
    TileComponent(const TileComponent&) = delete;
    TileComponent& operator=(const TileComponent&) = delete;

    QRect geometry; // within the tile, at the design tile size
    Qt::Edges anchors = Qt::LeftEdge | Qt::TopEdge;
    bool visible = true;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    std::function<void()> onClick;

    // Where the component lies in a tile placed at `tile`, designed at `design`.
    QRect placeIn(const QRect& tile, const QSize& design) const;
    virtual void paint(QPainter& painter, const QRect& place, Query& dataSet) = 0;
    // The record set was read again: anything kept from its rows is stale.
    virtual void dataSetChanged() {}

protected:
    virtual QSize extent() const { return geometry.size(); }
};

// A field's display text.
class TileText : public TileComponent {
public:
    TileText(const QRect& geometry, QString fieldName) : TileComponent(geometry), fieldName(std::move(fieldName)) {}

    QString fieldName;
    QFont font;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool clip = true; // the text is cut at the component's box

    void paint(QPainter& painter, const QRect& place, Query& dataSet) override;

private:
    Field* field(Query& dataSet);
    Query* boundTo_ = nullptr;
    Field* field_ = nullptr;
};

// A picture of its own, the same in every tile unless the paint hook changes it.
class TileImage : public TileComponent {
public:
    using TileComponent::TileComponent;

    // Cheap when the image is the one already set (same cache key).
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    void setTransparent(bool transparent);
    bool transparent() const { return transparent_; }

    bool stretch = false;  // scaled to fill the component's box
    bool autoSize = false; // the box takes the picture's size

    void paint(QPainter& painter, const QRect& place, Query& dataSet) override;

protected:
    QSize extent() const override;

private:
    void prepare();
    QImage image_;
    QImage drawn_; // the image as drawn: with its transparent colour cut out
    bool transparent_ = false;
};

// A picture held by a blob field, decoded by the caller's rules and stretched to fill.
class TileDbImage : public TileComponent {
public:
    using Decoder = std::function<QImage(const QByteArray&)>;
    TileDbImage(const QRect& geometry, QString fieldName, Decoder decode)
        : TileComponent(geometry), fieldName(std::move(fieldName)), decode(std::move(decode))
    {
    }

    QString fieldName;
    Decoder decode;

    void paint(QPainter& painter, const QRect& place, Query& dataSet) override;
    void dataSetChanged() override { decoded_.clear(); }

private:
    QHash<QByteArray, QImage> decoded_; // a failed decode is kept as a null image
};

class DbCtrlGrid : public QWidget {
    Q_OBJECT
public:
    explicit DbCtrlGrid(QWidget* parent = nullptr);
    ~DbCtrlGrid() override;

    void setDataSource(const DataSource& source);
    Query* dataSet() const { return dataSet_; }

    void setColCount(int columns);
    int colCount() const { return cols_; }
    void setRowCount(int rows);
    int rowCount() const { return rows_; }
    int panelCount() const { return cols_ * rows_; }
    void setPanelDesignSize(const QSize& size);
    QSize panelDesignSize() const { return design_; }
    void setColor(const QColor& color);
    QColor color() const { return color_; }
    void setSelectedColor(std::optional<QColor> color);
    void setPanelBorder(bool raised);

    TileText& addText(const QRect& geometry, const QString& fieldName);
    TileImage& addImage(const QRect& geometry);
    TileDbImage& addDbImage(const QRect& geometry, const QString& fieldName, TileDbImage::Decoder decode);

    std::function<void(DbCtrlGrid& grid, int index)> onPaintPanel;
    std::function<void()> onClick;

    QSize panelSize() const;
    QRect panelRect(int index) const; // the tile at a position, in the grid's coordinates
    // Where a component is drawn in the tile at a position, in the grid's coordinates.
    QRect componentRect(const TileComponent& component, int index) const;
    int topRecord() const { return top_; } // the record shown by the first tile
    // Scrolls so that the record's row is the first shown, as far as the current record stays
    // in view.
    void setTopRecord(int recNo);
    QScrollBar* verticalScrollBar() const { return scrollBar_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    template <class C>
    C& add(std::unique_ptr<C> component);
    void paintPanel(QPainter& painter, int index, bool current);
    void press(const QPoint& pos);
    bool navigate(int key);
    void scrollBarAction(int action);
    int panelAt(const QPoint& pos) const;
    double shrink() const; // below 1 when the tiles are lower than designed
    QRect drawnTile() const; // the tile the components are placed in, before shrinking
    bool hasRecord(int recNo) const;
    TileComponent* clickableAt(int index, const QPoint& pos) const;

    void recordsChanged();
    void currentChanged();
    void rowsRefreshed(const QList<int>& recNos); // repaints only their tiles
    void keepCurrentVisible();
    void updateScrollBar();
    int scrollBarPosition() const;
    int scrollBarWidth() const;

    QPointer<Query> dataSet_;
    std::vector<std::unique_ptr<TileComponent>> components_;
    QScrollBar* scrollBar_;
    int cols_ = 1;
    int rows_ = 1;
    QSize design_;
    QColor color_ = Qt::white;
    std::optional<QColor> selectedColor_;
    bool border_ = false;
    int top_ = 0;
    bool roughScrollBar_ = false;
    bool updatingScrollBar_ = false;
};

} // namespace zk
