#pragma once
// How the hot-key list's bytes become the help window's text, apart from the window itself.
#include <QByteArray>

class QTextEdit;

namespace tarvis {

// Shows the help file's bytes in the editor: UTF-8 (or, when that does not decode, a Western
// code page), CR LF as one line end, as rich text when it looks like HTML and plain otherwise.
void ShowHelpBytes(QTextEdit& editor, const QByteArray& bytes);

} // namespace tarvis
