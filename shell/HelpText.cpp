#include "shell/HelpText.h"

#include <QStringDecoder>
#include <QTextDocument>
#include <QTextEdit>

namespace tarvis {

namespace {

// The help file is normally UTF-8; a file written with a Western code page still shows.
QString DecodeHelpText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

} // namespace

void ShowHelpBytes(QTextEdit& editor, const QByteArray& bytes) {
    const QString text = DecodeHelpText(bytes);
    if (Qt::mightBeRichText(text)) {
        editor.setHtml(text);
    } else {
        editor.setPlainText(text);
    }
}

} // namespace tarvis
