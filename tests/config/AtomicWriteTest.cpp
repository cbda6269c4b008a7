#include "config/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/support/FileSizeLimit.h"

namespace tarvis {
namespace {

class AtomicWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("tarvis.ini"));
    }

    void PutOldFile() {
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kOld);
    }

    QByteArray Contents() const {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    QStringList FolderEntries() const {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    static constexpr const char* kOld = "[callsigns]\r\nMYCALL=OLD\r\n\r\n";
    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(AtomicWriteTest, ReplacesTheWholeFile) {
    PutOldFile();
    const QByteArray bytes = "[callsigns]\r\nMYCALL=NEW\r\n\r\n";
    QString error = "untouched";
    ASSERT_TRUE(WriteConfigurationFile(m_path, bytes, &error));
    EXPECT_EQ(Contents(), bytes);
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(FolderEntries(), QStringList{"tarvis.ini"});

    // A shorter file leaves nothing of the longer one behind.
    ASSERT_TRUE(WriteConfigurationFile(m_path, "x", nullptr));
    EXPECT_EQ(Contents(), "x");
}

TEST_F(AtomicWriteTest, CreatesAMissingFile) {
    ASSERT_TRUE(WriteConfigurationFile(m_path, "[a]\r\n", nullptr));
    EXPECT_EQ(Contents(), "[a]\r\n");
}

TEST_F(AtomicWriteTest, KeepsALinkAndThePermissions) {
    const QString real = m_dir.filePath(QStringLiteral("real.ini"));
    {
        QFile file(real);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kOld);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    ASSERT_TRUE(QFile::link(real, m_path));
    ASSERT_TRUE(WriteConfigurationFile(m_path, "new", nullptr));
    EXPECT_TRUE(QFileInfo(m_path).isSymLink());
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "new");
    // Owner, group and others only (the 0x0F00 bits describe the current user).
    EXPECT_EQ(int(file.permissions() & 0x7077), int(QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(FolderEntries(), QStringList({"real.ini", "tarvis.ini"}));
}

TEST_F(AtomicWriteTest, AFolderInTheWayIsReported) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("tarvis.ini")));
    QString error;
    EXPECT_FALSE(WriteConfigurationFile(m_path, "[a]\r\n", &error));
    EXPECT_TRUE(error.contains(m_path)) << error.toStdString();
    EXPECT_TRUE(error.contains("folder")) << error.toStdString();
    EXPECT_TRUE(QFileInfo(m_path).isDir());
    EXPECT_EQ(FolderEntries(), QStringList{"tarvis.ini"});
}

TEST_F(AtomicWriteTest, AMissingFolderIsReported) {
    const QString path = m_dir.filePath(QStringLiteral("Config/tarvis.ini"));
    QString error;
    EXPECT_FALSE(WriteConfigurationFile(path, "[a]\r\n", &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

// A file-size limit makes the disk refuse the bytes half-way, as a full disk would, even for a
// user whom permissions do not stop.
TEST_F(AtomicWriteTest, AFailedWriteKeepsThePreviousFile) {
    PutOldFile();
    QString error;
    bool written = true;
    {
        test::FileSizeLimit full(4096);
        ASSERT_TRUE(full.Applied());
        written = WriteConfigurationFile(m_path, QByteArray(100000, 'x'), &error);
    }

    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(m_path)) << error.toStdString();
    EXPECT_TRUE(error.contains("File too large")) << error.toStdString();
    EXPECT_EQ(Contents(), kOld);
    EXPECT_EQ(FolderEntries(), QStringList{"tarvis.ini"});
}

} // namespace
} // namespace tarvis
