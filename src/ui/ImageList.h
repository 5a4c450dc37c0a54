#pragma once
// A numbered list of equal-size images that buttons can take their glyphs from.

#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>

class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(QSize imageSize, QObject* parent = nullptr);

    QSize imageSize() const { return imageSize_; }
    int count() const { return static_cast<int>(images_.size()); }

    // Appends an image of the list's size and returns its index; any other size is refused.
    int add(const QImage& image);
    // Removes the image at index, refusing one outside the list; later images move down by one.
    void remove(int index);
    // The image at index, or a null image outside the list.
    QImage image(int index) const;

signals:
    void changed();

private:
    QSize imageSize_;
    QList<QImage> images_;
};
