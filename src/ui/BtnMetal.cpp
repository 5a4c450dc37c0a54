#include "ui/BtnMetal.h"

#include <QApplication>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// i·(end − start)/(bands − 1) rounded to the nearest integer, halves away from zero, so band 0
// is exactly the start colour and the last band exactly the end colour.
int bandComponent(int start, int end, int band, int bands)
{
    const int numerator = band * (end - start);
    const int denominator = bands - 1;
    const int rounded = (2 * std::abs(numerator) + denominator) / (2 * denominator);
    return start + (numerator < 0 ? -rounded : rounded);
}

QColor bandColour(const QColor& start, const QColor& end, int band, int bands)
{
    return QColor(bandComponent(start.red(), end.red(), band, bands),
                  bandComponent(start.green(), end.green(), band, bands),
                  bandComponent(start.blue(), end.blue(), band, bands));
}

// From first to last colour down the area, or from last to first across it: the left-to-right
// gradient puts the last colour at the left.
void paintGradient(QPainter& painter, const QRect& area, const QColor& first, const QColor& last, TDirecao direction,
                   int bandsWanted)
{
    const bool downwards = direction == DiTopoBaixo;
    const QColor& start = downwards ? first : last;
    const QColor& end = downwards ? last : first;
    const int extent = downwards ? area.height() : area.width();
    const auto strip = [&](int offset, int length) {
        return downwards ? QRect(area.left(), area.top() + offset, area.width(), length)
                         : QRect(area.left() + offset, area.top(), length, area.height());
    };

    const int bands = std::max(2, std::min(bandsWanted, extent));
    const int thickness = extent / bands;
    if (thickness > 0)
        for (int band = 0; band < bands; ++band)
            painter.fillRect(strip(band * thickness, thickness), bandColour(start, end, band, bands));
    const int remainder = extent % bands;
    if (remainder > 0)
        painter.fillRect(strip(extent - remainder, remainder), end);
}

// A closed line through the centres of the outermost pixels, the pen centred on it.
void paintBorder(QPainter& painter, QSize size, int penWidth, const QColor& colour)
{
    painter.setPen(QPen(colour, std::max(penWidth, 1), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
}

// The classic dotted focus frame: every other pixel of the outline inverted.
void paintDottedFocus(QPainter& painter, const QRect& frame)
{
    if (frame.isEmpty())
        return;
    QList<QPoint> dots;
    const auto dot = [&dots](int x, int y) {
        if ((x + y) % 2 == 0)
            dots.append({x, y});
    };
    for (int x = frame.left(); x <= frame.right(); ++x) {
        dot(x, frame.top());
        if (frame.bottom() != frame.top())
            dot(x, frame.bottom());
    }
    for (int y = frame.top() + 1; y < frame.bottom(); ++y) {
        dot(frame.left(), y);
        if (frame.right() != frame.left())
            dot(frame.right(), y);
    }

    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(Qt::white);
    painter.drawPoints(dots.constData(), static_cast<int>(dots.size()));
    painter.restore();
}

// Lends the list's image to the glyph for one paint; the glyph is left empty afterwards, also
// when painting fails.
class ListImageLoan {
public:
    ListImageLoan(TButtonGlyph& glyph, const TImageList* list, int index) : glyph_(glyph), lent_(list != nullptr)
    {
        if (list && index >= 0 && index < list->count())
            glyph_.changeContent(list->image(index));
    }
    ~ListImageLoan()
    {
        if (lent_)
            glyph_.changeContent(QImage());
    }
    ListImageLoan(const ListImageLoan&) = delete;
    ListImageLoan& operator=(const ListImageLoan&) = delete;

private:
    TButtonGlyph& glyph_;
    bool lent_;
};

} // namespace

TBtnMetal::TBtnMetal(QWidget* parent) : QPushButton(parent)
{
    connect(&glyph_, &TButtonGlyph::changed, this, qOverload<>(&QWidget::update));
    followsFocus_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { followFocus(now); });
}

// ~QWidget hands the focus on, and the application announces it, before ~QObject would drop
// this connection: by then the object is no longer a TBtnMetal.
TBtnMetal::~TBtnMetal() { disconnect(followsFocus_); }

void TBtnMetal::setImageList(TImageList* list)
{
    if (imageList_)
        disconnect(imageList_, nullptr, this, nullptr);
    imageList_ = list;
    if (list) {
        connect(list, &TImageList::changed, this, qOverload<>(&QWidget::update));
        connect(list, &QObject::destroyed, this, qOverload<>(&QWidget::update));
    }
    update();
}

void TBtnMetal::setImageIndex(int index)
{
    imageIndex_ = index;
    update();
}

void TBtnMetal::setGlyph(const QImage& picture, std::optional<QRgb> fixedTransparentColour)
{
    glyph_.handOver(picture, fixedTransparentColour);
}

void TBtnMetal::setMargin(int pixels)
{
    if (pixels >= -1)
        repaintOnChange(margin_, pixels);
}

void TBtnMetal::enterEvent(QEnterEvent* event)
{
    mouseOver_ = true;
    update();
    QPushButton::enterEvent(event);
}

void TBtnMetal::leaveEvent(QEvent* event)
{
    mouseOver_ = false;
    update();
    QPushButton::leaveEvent(event);
}

// Active: focused, or the window's default button while the window's focus is on something that
// is not a push button. Read from the window, so it survives the window losing the focus.
bool TBtnMetal::isActive() const
{
    if (hasFocus())
        return true;
    const QWidget* focused = window()->focusWidget();
    return isDefault() && focused && !qobject_cast<const QPushButton*>(focused);
}

// Only a default button's look depends on where else in its window the focus is.
void TBtnMetal::followFocus(QWidget* focused)
{
    if (isDefault() && focused && focused->window() == window())
        update();
}

void TBtnMetal::paintEvent(QPaintEvent*)
{
    // The glyph's own changes while painting must not ask for yet another paint.
    const QSignalBlocker glyphQuiet(&glyph_);
    QPainter painter(this);

    const bool pressed = isDown();
    const bool focused = hasFocus();
    const TButtonGlyph::State state = !isEnabled() ? TButtonGlyph::Disabled
                                      : pressed    ? TButtonGlyph::Down
                                                   : TButtonGlyph::Up;
    QRect area = rect();
    if (isActive())
        area.adjust(1, 1, -1, -1);

    paintGradient(painter, area, pressed ? ultimaCor_ : primeiraCor_, pressed ? primeiraCor_ : ultimaCor_, direcao_,
                  cores_);
    paintBorder(painter, size(), larguraDaBorda_, focused ? corFocado_ : corDesFocado_);

    const QColor captionColour = mouseOver_ ? corMouseOver_ : palette().color(QPalette::ButtonText);
    const ListImageLoan loan(glyph_, imageList_, imageIndex_);
    if (pressed)
        area.translate(1, 1);
    paintGlyphAndCaption(painter, area, state, captionColour);

    // Having the focus makes the button active too.
    if (focused && focoPontilhado_)
        paintDottedFocus(painter, rect().adjusted(4, 4, -4, -4));
}

void TBtnMetal::paintGlyphAndCaption(QPainter& painter, QRect area, TButtonGlyph::State state,
                                     const QColor& captionColour)
{
    const QString caption = text();
    const QSize captionSize = caption.isEmpty() ? QSize(0, 0) : fontMetrics().size(Qt::TextShowMnemonic, caption);
    const GlyphCaptionPlaces places =
        placeGlyphAndCaption(area.size(), glyph_.imageSize(), captionSize, layout_, margin_, spacing_);

    glyph_.draw(painter, area.topLeft() + places.glyph, state);
    if (caption.isEmpty())
        return;

    const QRect captionRect = places.caption.translated(area.topLeft());
    if (state == TButtonGlyph::Disabled) {
        // Engraved: the highlight one pixel down and right, the shadow over it.
        const QPalette system = QGuiApplication::palette();
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic;
        painter.setPen(system.color(QPalette::Light));
        painter.drawText(captionRect.translated(1, 1), flags, caption);
        painter.setPen(system.color(QPalette::Dark));
        painter.drawText(captionRect, flags, caption);
    } else {
        painter.setPen(captionColour);
        painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, caption);
    }
}
