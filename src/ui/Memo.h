#pragma once
// A multi-line text box as the screens use it: plain text, no border, lines wrapped at the
// box's width, no scroll bars (what does not fit is cut off), Tab moves the focus on.

#include <QTextEdit>

namespace zk {

class Memo : public QTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent);

    void centreLines();
};

} // namespace zk
