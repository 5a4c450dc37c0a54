#include "ui/DbLabel.h"

#include "data/dataset/Query.h"

namespace zk {

void keepRightEdge(QLabel* label, int x)
{
    label->adjustSize();
    label->move(x - label->width(), label->y());
}

DbLabel::DbLabel(const DataSource& source, QString fieldName, QWidget* parent)
    : QLabel(parent), dataSet_(source.DataSet), fieldName_(std::move(fieldName))
{
    connect(&dataSet_, &Query::dataChanged, this, &DbLabel::refresh);
    connect(&dataSet_, &Query::currentChanged, this, &DbLabel::refresh);
    refresh();
}

void DbLabel::setRightEdge(int x)
{
    rightEdge_ = x;
    refresh();
}

void DbLabel::refresh()
{
    Field* field = dataSet_.findField(fieldName_);
    setText(field ? field->displayText() : QString());
    if (rightEdge_)
        keepRightEdge(this, *rightEdge_);
}

} // namespace zk
