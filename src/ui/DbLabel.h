#pragma once
// A label bound to one field of a record set's current row, following the record set's
// signals. Sized to its text; when given a right edge, it grows to the left of it.

#include "data/dataset/DataSource.h"

#include <QLabel>
#include <optional>

namespace zk {

class Query;

class DbLabel : public QLabel {
    Q_OBJECT
public:
    DbLabel(const DataSource& source, QString fieldName, QWidget* parent);

    void setRightEdge(int x);

private:
    void refresh();

    Query& dataSet_;
    QString fieldName_;
    std::optional<int> rightEdge_;
};

// Sizes a label to its text and moves it so that its right edge stays at x.
void keepRightEdge(QLabel* label, int x);

} // namespace zk
