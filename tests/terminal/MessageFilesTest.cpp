#include "terminal/MessageFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tarvis {
namespace {

class MessageFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Msg")));
        folder = home.path() + QStringLiteral("/Msg/");
    }
    QByteArray Contents(const QString& name) const {
        QFile file(folder + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    void Put(const QString& name, const QByteArray& bytes) const {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir home;
    QString folder;
};

TEST_F(MessageFilesTest, AMissingFileIsCreatedWithItsDefaultTextAndNoLineEnd) {
    // The answer-back upload reads wru.txt without creating it.
    const MessageFile left = ReadMessageFile(folder, 10, MissingMessage::Leave);
    EXPECT_TRUE(left.missing);
    EXPECT_TRUE(left.error.isEmpty());
    EXPECT_FALSE(QFile::exists(folder + "wru.txt"));

    const struct {
        int number;
        const char* name;
        const char* text;
    } cases[] = {{0, "hereis0.txt", "Here is #0"},
                 {1, "hereis1.txt", "Here is #1"},
                 {9, "hereis9.txt", "Here is #9"},
                 {10, "wru.txt", "WRU"}};
    for (const auto& c : cases) {
        const MessageFile read = ReadMessageFile(folder, c.number);
        EXPECT_EQ(read.bytes, c.text) << c.name;
        EXPECT_TRUE(read.created) << c.name;
        EXPECT_TRUE(read.error.isEmpty()) << c.name;
        EXPECT_EQ(Contents(c.name), c.text) << c.name;
        // Read again: the file is there now and is not touched.
        Put(c.name, "changed");
        const MessageFile again = ReadMessageFile(folder, c.number);
        EXPECT_EQ(again.bytes, "changed") << c.name;
        EXPECT_FALSE(again.created) << c.name;
    }
    EXPECT_TRUE(MessageFileName(11).isEmpty());
    EXPECT_TRUE(MessageDefaultText(-1).isEmpty());
}

TEST_F(MessageFilesTest, EveryByteGoesBothWaysAsItStands) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    all += "\r\n\x80\x81";
    EXPECT_TRUE(WriteMessageFile(folder, 3, all).isEmpty());
    EXPECT_EQ(Contents(QStringLiteral("hereis3.txt")), all);
    const MessageFile read = ReadMessageFile(folder, 3);
    EXPECT_EQ(read.bytes, all);
    EXPECT_FALSE(read.truncated);
    // An empty message stays empty: it is not taken for a missing one.
    EXPECT_TRUE(WriteMessageFile(folder, 10, {}).isEmpty());
    const MessageFile empty = ReadMessageFile(folder, 10);
    EXPECT_TRUE(empty.bytes.isEmpty());
    EXPECT_FALSE(empty.created);
    EXPECT_TRUE(empty.error.isEmpty());
}

TEST_F(MessageFilesTest, AVeryLargeFileGivesItsBeginningUpToTheLimit) {
    QByteArray big(10 * 1024 * 1024, 'A');
    big[0] = 'B';
    Put(QStringLiteral("hereis5.txt"), big);
    const MessageFile read = ReadMessageFile(folder, 5);
    EXPECT_EQ(read.bytes.size(), kMessageFileLimit);
    EXPECT_EQ(read.bytes, big.left(kMessageFileLimit));
    EXPECT_TRUE(read.truncated);
    EXPECT_TRUE(read.error.isEmpty());
    // Exactly at the limit nothing is cut.
    Put(QStringLiteral("hereis6.txt"), big.left(kMessageFileLimit));
    EXPECT_FALSE(ReadMessageFile(folder, 6).truncated);
}

TEST_F(MessageFilesTest, WhatCannotBeReadIsReportedAndLeftAlone) {
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("hereis1.txt")));
    // A pipe nobody writes to: opening or reading it must not wait.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "hereis2.txt").constData(), 0666), 0);
    // A link to itself cannot be opened by anyone, the super-user included.
    ASSERT_TRUE(QFile::link(folder + "hereis3.txt", folder + "hereis3.txt"));
    const struct {
        int number;
        const char* error;
    } cases[] = {
        {1, "The message file %1hereis1.txt cannot be read: it is a folder."},
        {2, "The message file %1hereis2.txt cannot be read: it is not an ordinary file."},
        {3, "The message file %1hereis3.txt cannot be read: "},
    };
    for (const auto& c : cases) {
        const MessageFile read = ReadMessageFile(folder, c.number);
        EXPECT_TRUE(read.bytes.isEmpty()) << c.number;
        EXPECT_FALSE(read.created) << c.number;
        EXPECT_TRUE(read.error.startsWith(QString::fromLatin1(c.error).arg(folder)))
            << read.error.toStdString();
    }
    EXPECT_TRUE(QFileInfo(folder + "hereis1.txt").isDir());
}

TEST_F(MessageFilesTest, AFileThatCannotBeCreatedOrWrittenIsReported) {
    // A link to a place that does not exist: creating through it is refused, and the link
    // is not followed to make a file somewhere else.
    ASSERT_TRUE(QFile::link(home.path() + "/elsewhere/x", folder + "hereis4.txt"));
    const MessageFile read = ReadMessageFile(folder, 4);
    EXPECT_TRUE(read.bytes.isEmpty());
    EXPECT_TRUE(read.error.startsWith(
        QStringLiteral("The message file %1hereis4.txt cannot be created: ").arg(folder)))
        << read.error.toStdString();

    const QString missing = home.path() + QStringLiteral("/NoFolder/");
    EXPECT_FALSE(ReadMessageFile(missing, 0).error.isEmpty());

    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("hereis7.txt")));
    EXPECT_EQ(WriteMessageFile(folder, 7, "x"),
              QStringLiteral("The message file %1hereis7.txt cannot be written: a folder of that "
                             "name is in the way.")
                  .arg(folder));
    EXPECT_FALSE(WriteMessageFile(missing, 7, "x").isEmpty());
}

} // namespace
} // namespace tarvis
