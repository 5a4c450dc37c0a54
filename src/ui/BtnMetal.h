#pragma once
// A push button that paints itself: a banded gradient, a border that shows the focus, a caption
// that lights up under the mouse pointer and an optional glyph beside it.

#include "ui/ButtonGlyph.h"
#include "ui/CampoTipos.h"
#include "ui/GlyphLayout.h"
#include "ui/ImageList.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QPushButton>

#include <optional>

class TBtnMetal : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(TImageList* ImageList READ imageList WRITE setImageList)
    Q_PROPERTY(int ImageIndex READ imageIndex WRITE setImageIndex)
    Q_PROPERTY(bool FocoPontilhado READ focoPontilhado WRITE setFocoPontilhado)
    Q_PROPERTY(QColor CorMouseOver READ corMouseOver WRITE setCorMouseOver)
    Q_PROPERTY(QColor PrimeiraCor READ primeiraCor WRITE setPrimeiraCor)
    Q_PROPERTY(QColor UltimaCor READ ultimaCor WRITE setUltimaCor)
    Q_PROPERTY(QColor CorFocado READ corFocado WRITE setCorFocado)
    Q_PROPERTY(QColor CorDesFocado READ corDesFocado WRITE setCorDesFocado)
    Q_PROPERTY(int LarguraDaBorda READ larguraDaBorda WRITE setLarguraDaBorda)
    Q_PROPERTY(quint8 Cores READ cores WRITE setCores)
    Q_PROPERTY(TDirecao Direcao READ direcao WRITE setDirecao)
    Q_PROPERTY(QImage Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(TButtonLayout Layout READ glyphLayout WRITE setGlyphLayout)
    Q_PROPERTY(int Margin READ margin WRITE setMargin)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)

public:
    explicit TBtnMetal(QWidget* parent = nullptr);
    ~TBtnMetal() override;

    TImageList* imageList() const { return imageList_; }
    void setImageList(TImageList* list);
    int imageIndex() const { return imageIndex_; }
    void setImageIndex(int index);

    bool focoPontilhado() const { return focoPontilhado_; }
    void setFocoPontilhado(bool dotted) { focoPontilhado_ = dotted; }
    // Shows at the next paint.
    QColor corMouseOver() const { return corMouseOver_; }
    void setCorMouseOver(const QColor& colour) { corMouseOver_ = colour; }

    QColor primeiraCor() const { return primeiraCor_; }
    void setPrimeiraCor(const QColor& colour) { repaintOnChange(primeiraCor_, colour); }
    QColor ultimaCor() const { return ultimaCor_; }
    void setUltimaCor(const QColor& colour) { repaintOnChange(ultimaCor_, colour); }
    QColor corFocado() const { return corFocado_; }
    void setCorFocado(const QColor& colour) { repaintOnChange(corFocado_, colour); }
    QColor corDesFocado() const { return corDesFocado_; }
    void setCorDesFocado(const QColor& colour) { repaintOnChange(corDesFocado_, colour); }
    // Below 1 paints a 1-pixel border.
    int larguraDaBorda() const { return larguraDaBorda_; }
    void setLarguraDaBorda(int width) { repaintOnChange(larguraDaBorda_, width); }
    // Keeps the value set; painting uses fewer bands when the button is too small for them.
    quint8 cores() const { return cores_; }
    void setCores(quint8 bands) { repaintOnChange(cores_, bands); }
    TDirecao direcao() const { return direcao_; }
    void setDirecao(TDirecao direction) { repaintOnChange(direcao_, direction); }

    QImage glyph() const { return glyph_.picture(); }
    void setGlyph(const QImage& picture, std::optional<QRgb> fixedTransparentColour = std::nullopt);
    TButtonLayout glyphLayout() const { return layout_; }
    void setGlyphLayout(TButtonLayout layout) { repaintOnChange(layout_, layout); }
    // -1 centres glyph and caption together; values below -1 are ignored.
    int margin() const { return margin_; }
    void setMargin(int pixels);
    int numGlyphs() const { return glyph_.numGlyphs(); }
    void setNumGlyphs(int count) { glyph_.setNumGlyphs(count); }
    // -1 spreads the free space evenly around glyph and caption.
    int spacing() const { return spacing_; }
    void setSpacing(int pixels) { repaintOnChange(spacing_, pixels); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    template <class T>
    void repaintOnChange(T& property, const T& value)
    {
        if (property != value) {
            property = value;
            update();
        }
    }
    bool isActive() const;
    void followFocus(QWidget* focused);
    void paintGlyphAndCaption(QPainter& painter, QRect area, TButtonGlyph::State state, const QColor& captionColour);

    TButtonGlyph glyph_;
    QPointer<TImageList> imageList_;
    int imageIndex_ = 0;
    bool focoPontilhado_ = false;
    QColor corMouseOver_{0x00, 0x00, 0xFF};
    QColor primeiraCor_{0xFF, 0xFF, 0xFF};
    QColor ultimaCor_{0x80, 0x80, 0x80};
    QColor corFocado_{0x00, 0x00, 0x80};
    QColor corDesFocado_{0x00, 0x00, 0x00};
    int larguraDaBorda_ = 2;
    quint8 cores_ = 50;
    TDirecao direcao_ = DiTopoBaixo;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool mouseOver_ = false;
    QMetaObject::Connection followsFocus_;
};
