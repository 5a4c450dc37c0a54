#include "ui/ImageList.h"

#include "base/Erros.h"

TImageList::TImageList(QSize imageSize, QObject* parent) : QObject(parent), imageSize_(imageSize) {}

int TImageList::add(const QImage& image)
{
    if (image.size() != imageSize_)
        throw zk::Error(QStringLiteral("A figura não tem o tamanho da lista"));
    images_.append(image);
    emit changed();
    return count() - 1;
}

void TImageList::remove(int index)
{
    if (index < 0 || index >= count())
        throw zk::Error(QStringLiteral("Não há figura nesta posição da lista"));
    images_.removeAt(index);
    emit changed();
}

QImage TImageList::image(int index) const
{
    return images_.value(index);
}
