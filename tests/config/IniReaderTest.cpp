#include "config/Utils.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvis {
namespace {

QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("test.ini"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

struct ReadCase {
    const char* section;
    const char* key;
    QString expected;
};

TEST(GetStringFromIniFile, FollowsTheReadingRules) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray longValue(3000, 'x');
    const QString path = WriteFile(dir, "Outside=before any section\r\n"
                                        "[Alpha]\r\n"
                                        "Name=first\r\n"
                                        "name=second\r\n"
                                        "  Spaced  =   padded value \t \r\n"
                                        "Quoted=\"  kept blanks  \"\r\n"
                                        "OneQuote=\"half\r\n"
                                        "Inner=a\"b\"c\r\n"
                                        "Doubled=\"\"x\"\"\r\n"
                                        "Empty=\r\n"
                                        "EqualsTwice=a=b\r\n"
                                        "a line without an equals sign\r\n"
                                        "Long=" +
                                            longValue +
                                            "\r\n"
                                            "Unix=lf only\n"
                                            "Mac=cr only\rAfterCr=next\r\n"
                                            "[beta]\r\n"
                                            "Other=x\r\n"
                                            "[ ALPHA ]\r\n"
                                            "Late=second block\r\n"
                                            "Name=third\r\n"
                                            "[adaptive arq]\r\n"
                                            "AutoBias=FAST\r\n");
    const ReadCase cases[] = {
        {"alpha", "NAME", "first"},
        {"ALPHA", "spaced", "padded value"},
        {"Alpha", "Quoted", "  kept blanks  "},
        {"Alpha", "OneQuote", "\"half"},
        {"Alpha", "Inner", "a\"b\"c"},
        {"Alpha", "Doubled", "\"x\""},
        {"Alpha", "Empty", ""},
        {"Alpha", "EqualsTwice", "a=b"},
        {"Alpha", "Long", QString(2047, u'x')},
        {"Alpha", "Unix", "lf only"},
        {"Alpha", "Mac", "cr only"},
        {"Alpha", "AfterCr", "next"},
        {"Alpha", "Late", "second block"},
        {"Adaptive ARQ", "autobias", "FAST"},
        {"Alpha", "Other", "default"},
        {"Alpha", "Outside", "default"},
        {"beta", "Name", "default"},
        {"gamma", "Name", "default"},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(GetStringFromIniFile(path, c.section, c.key, QStringLiteral("default")),
                  c.expected)
            << c.section << "/" << c.key;
    }
}

TEST(GetStringFromIniFile, MissingFileAndLongDefaults) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("none.ini"));
    EXPECT_EQ(GetStringFromIniFile(missing, "a", "b", "fallback"), "fallback");
    EXPECT_EQ(GetStringFromIniFile(missing, "a", "b", QString(5000, u'd')).size(), 2047);
    // A folder where the file should be reads as a missing file.
    EXPECT_EQ(GetStringFromIniFile(dir.path(), "a", "b", "fallback"), "fallback");
}

TEST(GetStringFromIniFile, SurvivesBinaryAndByteOrderMark) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray bytes("\xEF\xBB\xBF[s]\r\n");
    bytes += QByteArray("K\0=\xFF\xFE\x01", 6) + "\r\n";
    bytes += QByteArray("\x80\x81\x00\x00\r\n", 6);
    bytes += "Good=yes\r\n";
    const QString path = WriteFile(dir, bytes);
    EXPECT_EQ(GetStringFromIniFile(path, "s", "Good", "no"), "yes");
    EXPECT_EQ(GetStringFromIniFile(path, "s", "Missing", "no"), "no");
}

} // namespace
} // namespace tarvis
