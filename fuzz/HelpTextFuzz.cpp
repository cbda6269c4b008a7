// libFuzzer target: any bytes as the hot-key list (krn_hotkeys.dat) must show in the help
// window's editor and lay out without a fault, whether they read as plain text or as HTML.
#include "shell/HelpText.h"

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdint>
#include <cstdlib>

namespace {

QTextEdit& Editor() {
    static int argc = 1;
    static char name[] = "help_text_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv); // QT_QPA_PLATFORM=offscreen: no screen needed
    static QTextEdit editor;
    static const bool shaped = [] {
        editor.resize(600, 331);
        editor.setReadOnly(true);
        return true;
    }();
    (void)shaped;
    return editor;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QTextEdit& editor = Editor();
    tarvis::ShowHelpBytes(editor, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    // Lay the text out at the window's width and read it back, as showing and copying do.
    editor.document()->setTextWidth(560);
    if (editor.document()->size().width() < 0 || editor.document()->pageCount() < 1) {
        std::abort();
    }
    (void)editor.toPlainText();
    return 0;
}
