#pragma once
// The small text question: a caption, a prompt above a one-line edit box, OK and Cancel.

#include <QString>

namespace zk {

// Shows the box modally, centred on the screen, with `value` as its text, fully selected.
// The edit box takes at most 255 characters. On OK the typed text goes back in `value` and
// the answer is true; Cancel, Esc or the close box leave `value` alone and answer false.
bool InputQuery(const QString& caption, const QString& prompt, QString& value);

} // namespace zk
