// The hot-key list that ships with the program names every hot key and no key that does not
// exist, and the help window shows it as it is written.
#include "platform/Dialogs.h"
#include "shell/HelpForm.h"
#include "tests/support/ScriptedDialogs.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace tarvis {
namespace {

// Every key the main window handles.
QSet<QString> HotKeys() {
    QSet<QString> keys;
    for (const char* letter :
         {"A", "B", "E", "G", "H", "I", "J",  "M",  "N",  "P",  "Q",  "R",  "T",
          "U", "V", "W", "X", "Y", "Z", "F1", "F4", "F5", "F7", "F8", "F9", "F10"}) {
        keys.insert(QStringLiteral("Alt+") + QLatin1String(letter));
    }
    for (const char* key : {"B", "G", "H", "F1", "F3", "F5", "F6", "F7", "F9", "F10", "F11"}) {
        keys.insert(QStringLiteral("Ctrl+") + QLatin1String(key));
    }
    for (int f = 1; f <= 10; ++f) {
        keys.insert(QStringLiteral("F%1").arg(f));
    }
    return keys;
}

QString ShippedList() {
    QFile file(QStringLiteral(TARVIS_SHIPPED_HOTKEYS));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << TARVIS_SHIPPED_HOTKEYS;
    return QString::fromUtf8(file.readAll());
}

TEST(HotKeyList, NamesEveryHotKeyAndNoOther) {
    const QString list = ShippedList();
    const QRegularExpression keyName(
        QStringLiteral("(?<![\\w+])((?:Alt\\+|Ctrl\\+|Shift\\+)?(?:F\\d+|[A-Z](?![\\w-])))"));
    QSet<QString> named;
    for (const QString& line : list.split(QLatin1Char('\n'))) {
        // Key names stand in the first column; the descriptions follow after two blanks.
        const QString keysColumn = line.startsWith(QLatin1String("  "))
                                       ? line.mid(2).section(QStringLiteral("  "), 0, 0)
                                       : QString();
        auto it = keyName.globalMatch(keysColumn);
        while (it.hasNext()) {
            named.insert(it.next().captured(1));
        }
    }
    const QSet<QString> expected = HotKeys();
    EXPECT_EQ(expected - named, QSet<QString>()) << "hot keys missing from the list";
    EXPECT_EQ(named - expected, QSet<QString>()) << "keys listed that do nothing";
}

TEST(HotKeyList, HelpWindowShowsTheListExactly) {
    test::ScriptedDialogs dialogs;
    THelpForm form(dialogs, QStringLiteral(TARVIS_SHIPPED_HOTKEYS));
    EXPECT_EQ(form.Editor->toPlainText(), ShippedList());
}

} // namespace
} // namespace tarvis
