#include "floor/PictureFile.h"

#include <QFileInfo>

void PictureFile::setPath(const QString& path)
{
    path_ = path;
    size_ = -1;
    modified_ = {};
    image_ = {};
}

const QImage& PictureFile::image()
{
    QFileInfo file(path_);
    if (!file.exists()) {
        setPath(path_);
        return image_;
    }
    qint64 size = file.size();
    QDateTime modified = file.lastModified();
    if (size != size_ || modified != modified_) {
        size_ = size;
        modified_ = modified;
        image_ = QImage(path_); // a file that is not a picture reads as a null image
    }
    return image_;
}
