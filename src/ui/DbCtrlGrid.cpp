#include "ui/DbCtrlGrid.h"

#include "base/Erros.h"

#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace zk {

namespace {

// One axis of an anchored place: the start and length of a component whose design start
// and length are given, in a parent that grew from `design` to `actual`.
std::pair<int, int> anchored(int start, int length, int design, int actual, bool nearEdge, bool farEdge)
{
    int grown = actual - design;
    if (nearEdge && farEdge)
        return {start, std::max(0, length + grown)};
    if (farEdge)
        return {start + grown, length};
    if (nearEdge || design <= 0)
        return {start, length};
    // Neither edge: the centre keeps its relative place.
    double centre = (start + length / 2.0) * actual / design;
    return {qRound(centre - length / 2.0), length};
}

} // namespace

// ---- components -----------------------------------------------------------------------

QRect TileComponent::placeIn(const QRect& tile, const QSize& design) const
{
    QSize size = extent();
    QSize designed = design.isValid() ? design : tile.size();
    auto [x, w] = anchored(geometry.x(), size.width(), designed.width(), tile.width(), anchors & Qt::LeftEdge,
                           anchors & Qt::RightEdge);
    auto [y, h] = anchored(geometry.y(), size.height(), designed.height(), tile.height(), anchors & Qt::TopEdge,
                           anchors & Qt::BottomEdge);
    return QRect(tile.x() + x, tile.y() + y, w, h);
}

Field* TileText::field(Query& dataSet)
{
    if (boundTo_ != &dataSet) {
        field_ = dataSet.findField(fieldName);
        boundTo_ = &dataSet;
    }
    return field_;
}

void TileText::paint(QPainter& painter, const QRect& place, Query& dataSet)
{
    Field* f = field(dataSet);
    if (!f)
        return;
    QString text = f->displayText();
    if (text.isEmpty())
        return;
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(place, int(alignment) | Qt::TextSingleLine | (clip ? 0 : Qt::TextDontClip), text);
}

void TileImage::setImage(const QImage& image)
{
    if (image.cacheKey() == image_.cacheKey())
        return;
    image_ = image;
    prepare();
}

void TileImage::setTransparent(bool transparent)
{
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    prepare();
}

void TileImage::prepare()
{
    if (image_.isNull() || !transparent_) {
        drawn_ = image_;
        return;
    }
    QImage cut = image_.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = cut.pixel(0, cut.height() - 1) | 0xFF000000u;
    for (int y = 0; y < cut.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    drawn_ = cut.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QSize TileImage::extent() const { return autoSize ? image_.size() : geometry.size(); }

void TileImage::paint(QPainter& painter, const QRect& place, Query&)
{
    if (drawn_.isNull())
        return;
    if (stretch) {
        painter.drawImage(place, drawn_);
        return;
    }
    painter.save();
    painter.setClipRect(place, Qt::IntersectClip);
    painter.drawImage(place.topLeft(), drawn_);
    painter.restore();
}

void TileDbImage::paint(QPainter& painter, const QRect& place, Query& dataSet)
{
    Field* f = dataSet.findField(fieldName);
    QByteArray blob = f ? f->asBlob() : QByteArray();
    if (blob.isEmpty())
        return;
    auto found = decoded_.constFind(blob);
    if (found == decoded_.constEnd()) {
        QImage image;
        try {
            image = decode(blob);
        } catch (const std::exception& e) {
            // Reported once per read of the records, after the paint rather than inside it.
            QTimer::singleShot(0, [text = errorText(e)] { reportError(Error(text)); });
        }
        found = decoded_.insert(blob, image);
    }
    if (!found->isNull())
        painter.drawImage(place, *found);
}

// The tiles were designed beside a 17 px scroll bar; styles draw it narrower (Fusion 14 px),
// which would widen every tile. Only the grids' own bars follow this.
class ScrollBarStyle : public QProxyStyle {
public:
    static constexpr int extent = 17;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        return metric == PM_ScrollBarExtent ? extent : QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// ---- the grid -------------------------------------------------------------------------

DbCtrlGrid::DbCtrlGrid(QWidget* parent) : QWidget(parent), scrollBar_(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::TabFocus); // a press gives the focus itself, after moving the record
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Owned by the grid, and made after the bar: it goes only once the bar has gone.
    auto* barStyle = new ScrollBarStyle;
    barStyle->setParent(this);
    scrollBar_->setStyle(barStyle);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->setTracking(false); // the thumb moves the record when it is let go
    connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) { scrollBarAction(action); });
    updateScrollBar();
}

DbCtrlGrid::~DbCtrlGrid() = default;

void DbCtrlGrid::setDataSource(const DataSource& source)
{
    if (dataSet_)
        disconnect(dataSet_, nullptr, this, nullptr);
    dataSet_ = &source.DataSet;
    connect(dataSet_, &Query::dataChanged, this, &DbCtrlGrid::recordsChanged);
    connect(dataSet_, &Query::currentChanged, this, &DbCtrlGrid::currentChanged);
    connect(dataSet_, &Query::rowsRefreshed, this, &DbCtrlGrid::rowsRefreshed);
    connect(dataSet_, &Query::stateChanged, this, qOverload<>(&QWidget::update));
    recordsChanged();
}

void DbCtrlGrid::setColCount(int columns)
{
    cols_ = std::max(1, columns);
    recordsChanged();
}

void DbCtrlGrid::setRowCount(int rows)
{
    rows_ = std::max(1, rows);
    recordsChanged();
}

void DbCtrlGrid::setPanelDesignSize(const QSize& size)
{
    design_ = size;
    update();
}

void DbCtrlGrid::setColor(const QColor& color)
{
    color_ = color;
    update();
}

void DbCtrlGrid::setSelectedColor(std::optional<QColor> color)
{
    selectedColor_ = color;
    update();
}

void DbCtrlGrid::setPanelBorder(bool raised)
{
    border_ = raised;
    update();
}

template <class C>
C& DbCtrlGrid::add(std::unique_ptr<C> component)
{
    C& added = *component;
    components_.push_back(std::move(component));
    update();
    return added;
}

TileText& DbCtrlGrid::addText(const QRect& geometry, const QString& fieldName)
{
    return add(std::make_unique<TileText>(geometry, fieldName));
}

TileImage& DbCtrlGrid::addImage(const QRect& geometry) { return add(std::make_unique<TileImage>(geometry)); }

TileDbImage& DbCtrlGrid::addDbImage(const QRect& geometry, const QString& fieldName, TileDbImage::Decoder decode)
{
    return add(std::make_unique<TileDbImage>(geometry, fieldName, std::move(decode)));
}

// ---- geometry -------------------------------------------------------------------------

int DbCtrlGrid::scrollBarWidth() const
{
    return scrollBar_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
}

QSize DbCtrlGrid::panelSize() const
{
    return QSize(std::max(1, (width() - scrollBarWidth()) / cols_), std::max(1, height() / rows_));
}

QRect DbCtrlGrid::panelRect(int index) const
{
    QSize size = panelSize();
    return QRect(QPoint(index % cols_ * size.width(), index / cols_ * size.height()), size);
}

double DbCtrlGrid::shrink() const
{
    const int height = panelSize().height();
    return design_.isValid() && height < design_.height() ? double(height) / design_.height() : 1.0;
}

QRect DbCtrlGrid::drawnTile() const
{
    const double s = shrink();
    const QSize size = panelSize();
    return s < 1.0 ? QRect(0, 0, qRound(size.width() / s), design_.height()) : QRect(QPoint(0, 0), size);
}

QRect DbCtrlGrid::componentRect(const TileComponent& component, int index) const
{
    const double s = shrink();
    const QRectF drawn = component.placeIn(drawnTile(), design_);
    const QRectF shrunk(drawn.topLeft() * s, drawn.size() * s);
    return shrunk.toAlignedRect().translated(panelRect(index).topLeft());
}

int DbCtrlGrid::panelAt(const QPoint& pos) const
{
    QSize size = panelSize();
    if (pos.x() < 0 || pos.y() < 0)
        return -1;
    int col = pos.x() / size.width();
    int row = pos.y() / size.height();
    return col < cols_ && row < rows_ ? row * cols_ + col : -1;
}

bool DbCtrlGrid::hasRecord(int recNo) const
{
    if (recNo < dataSet_->recordCount())
        return true;
    if (dataSet_->allFetched())
        return false;
    Query::ShowRow fetch(*dataSet_, recNo); // fetches up to that row, if it exists
    return recNo < dataSet_->recordCount();
}

void DbCtrlGrid::resizeEvent(QResizeEvent*)
{
    int w = scrollBarWidth();
    scrollBar_->setGeometry(width() - w, 0, w, height());
}

// ---- painting -------------------------------------------------------------------------

void DbCtrlGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width() - scrollBarWidth(), height()), color_);
    Query* q = dataSet_;
    if (!q || !q->active())
        return;
    const bool roughBefore = !q->allFetched();
    const int current = q->recNo();
    for (int index = 0; index < panelCount(); ++index) {
        int recNo = top_ + index;
        if (!hasRecord(recNo))
            break; // positions past the last record show no tile content
        Query::ShowRow show(*q, recNo);
        paintPanel(painter, index, recNo == current);
    }
    // Painting may have fetched the last rows: the scroll bar can now be exact.
    if (roughBefore && q->allFetched())
        QMetaObject::invokeMethod(this, &DbCtrlGrid::updateScrollBar, Qt::QueuedConnection);
}

void DbCtrlGrid::paintPanel(QPainter& painter, int index, bool current)
{
    const QRect tile = panelRect(index);
    painter.save();
    painter.setClipRect(tile);
    if (current && selectedColor_)
        painter.fillRect(tile, *selectedColor_);
    if (onPaintPanel)
        onPaintPanel(*this, index);
    painter.save();
    painter.translate(tile.topLeft());
    const double s = shrink();
    if (s < 1.0) {
        painter.scale(s, s);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    const QRect drawn = drawnTile();
    for (const auto& component : components_)
        if (component->visible)
            component->paint(painter, component->placeIn(drawn, design_), *dataSet_);
    painter.restore();
    if (border_) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(tile.topLeft(), tile.topRight());
        painter.drawLine(tile.topLeft(), tile.bottomLeft());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(tile.bottomLeft(), tile.bottomRight());
        painter.drawLine(tile.topRight(), tile.bottomRight());
    }
    if (current && hasFocus()) {
        QPen dotted(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(tile.adjusted(2, 2, -3, -3));
    }
    painter.restore();
}

// ---- touch and keys -------------------------------------------------------------------

void DbCtrlGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    runReported([&] { press(event->position().toPoint()); });
}

// The second press of a double click: the first one has already acted.
void DbCtrlGrid::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void DbCtrlGrid::press(const QPoint& pos)
{
    Query* q = dataSet_;
    int index = panelAt(pos);
    if (!q || !q->active() || index < 0 || !hasRecord(top_ + index)) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    q->moveBy(top_ + index - q->recNo());
    setFocus(Qt::MouseFocusReason);
    if (TileComponent* component = clickableAt(index, pos))
        component->onClick();
    else if (onClick)
        onClick();
}

TileComponent* DbCtrlGrid::clickableAt(int index, const QPoint& pos) const
{
    for (auto it = components_.rbegin(); it != components_.rend(); ++it) {
        TileComponent& c = **it;
        if (c.visible && c.onClick && componentRect(c, index).contains(pos))
            return &c;
    }
    return nullptr;
}

void DbCtrlGrid::mouseMoveEvent(QMouseEvent* event)
{
    int index = panelAt(event->position().toPoint());
    TileComponent* c = index >= 0 && dataSet_ && dataSet_->active() && top_ + index < dataSet_->recordCount()
                           ? clickableAt(index, event->position().toPoint())
                           : nullptr;
    setCursor(c ? c->cursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

void DbCtrlGrid::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    runReported([&] { handled = navigate(event->key()); });
    if (!handled)
        QWidget::keyPressEvent(event);
}

bool DbCtrlGrid::navigate(int key)
{
    Query* q = dataSet_;
    if (!q || !q->active())
        return false;
    switch (key) {
    case Qt::Key_Left: q->moveBy(-1); break;
    case Qt::Key_Right: q->moveBy(1); break;
    case Qt::Key_Up: q->moveBy(-cols_); break;
    case Qt::Key_Down: q->moveBy(cols_); break;
    case Qt::Key_PageUp: q->moveBy(-panelCount()); break;
    case Qt::Key_PageDown: q->moveBy(panelCount()); break;
    case Qt::Key_Home: q->first(); break;
    case Qt::Key_End: q->last(); break;
    default: return false;
    }
    return true;
}

void DbCtrlGrid::focusInEvent(QFocusEvent*) { update(); }

void DbCtrlGrid::focusOutEvent(QFocusEvent*) { update(); }

// ---- following the record set ---------------------------------------------------------

void DbCtrlGrid::recordsChanged()
{
    for (const auto& component : components_)
        component->dataSetChanged();
    currentChanged();
}

void DbCtrlGrid::rowsRefreshed(const QList<int>& recNos)
{
    for (int recNo : recNos)
        if (recNo >= top_ && recNo < top_ + panelCount())
            update(panelRect(recNo - top_));
}

void DbCtrlGrid::currentChanged()
{
    keepCurrentVisible();
    updateScrollBar();
    update();
}

void DbCtrlGrid::setTopRecord(int recNo)
{
    top_ = std::max(0, recNo) / cols_ * cols_;
    currentChanged();
}

void DbCtrlGrid::keepCurrentVisible()
{
    int recNo = dataSet_ && dataSet_->active() ? dataSet_->recNo() : -1;
    if (recNo < 0) {
        top_ = 0;
        return;
    }
    int row = recNo / cols_;
    int topRow = top_ / cols_;
    if (row < topRow)
        topRow = row;
    else if (row >= topRow + rows_)
        topRow = row - rows_ + 1;
    top_ = topRow * cols_;
}

// Exact once every row is fetched: one step per record. Before that only start (0),
// middle (2) or end (4).
int DbCtrlGrid::scrollBarPosition() const
{
    if (!roughScrollBar_)
        return std::max(0, dataSet_->recNo());
    return dataSet_->eof() ? 4 : dataSet_->recNo() <= 0 ? 0 : 2;
}

void DbCtrlGrid::updateScrollBar()
{
    QSignalBlocker block(scrollBar_);
    updatingScrollBar_ = true;
    Query* q = dataSet_;
    if (!q || !q->active() || q->isEmpty()) {
        scrollBar_->setRange(0, 0);
        scrollBar_->setEnabled(false);
    } else {
        roughScrollBar_ = !q->allFetched();
        scrollBar_->setRange(0, roughScrollBar_ ? 4 : q->recordCount() - 1);
        scrollBar_->setSingleStep(1);
        scrollBar_->setPageStep(roughScrollBar_ ? 1 : panelCount());
        scrollBar_->setValue(scrollBarPosition());
        scrollBar_->setEnabled(roughScrollBar_ || q->recordCount() > panelCount());
    }
    updatingScrollBar_ = false;
}

void DbCtrlGrid::scrollBarAction(int action)
{
    Query* q = dataSet_;
    if (updatingScrollBar_ || !q || !q->active())
        return;
    runReported([&] {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: q->moveBy(cols_); break;
        case QAbstractSlider::SliderSingleStepSub: q->moveBy(-cols_); break;
        case QAbstractSlider::SliderPageStepAdd: q->moveBy(panelCount()); break;
        case QAbstractSlider::SliderPageStepSub: q->moveBy(-panelCount()); break;
        case QAbstractSlider::SliderToMinimum: q->first(); break;
        case QAbstractSlider::SliderToMaximum: q->last(); break;
        case QAbstractSlider::SliderMove: {
            int position = scrollBar_->sliderPosition();
            if (!roughScrollBar_)
                q->moveTo(position);
            else if (position == 0)
                q->first();
            else if (position == 4)
                q->last();
            else if (position != 2)
                q->moveBy(position < 2 ? -panelCount() : panelCount());
            break;
        }
        default: break;
        }
    });
    // The slider shows where the record went, not where the action alone would put it.
    updateScrollBar();
    scrollBar_->setSliderPosition(scrollBar_->value());
}

} // namespace zk
