#include "shell/StationLock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarvis;

namespace {

// Whether another process can take the lock of the folder (its exit status tells).
bool OtherProcessGetsTheLock(const QString& home) {
    const pid_t child = ::fork();
    if (child == 0) {
        StationLock lock;
        ::_exit(lock.Acquire(home, nullptr) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(StationLock, OneTarvisToAStationFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    {
        StationLock first;
        QString why;
        ASSERT_TRUE(first.Acquire(home.path(), &why)) << why.toStdString();
        EXPECT_FALSE(OtherProcessGetsTheLock(home.path()));

        StationLock second;
        EXPECT_FALSE(second.Acquire(home.path(), &why));
        EXPECT_TRUE(
            why.startsWith(QStringLiteral("Tarvis is already running in the station folder ") +
                           home.path() + QStringLiteral(" (process %1).").arg(::getpid())))
            << why.toStdString();
        // The refused start touched no settings.
        EXPECT_FALSE(QFile::exists(home.path() + "/Config/tarvis.ini"));

        // Another folder is another station.
        QTemporaryDir other;
        StationLock third;
        EXPECT_TRUE(third.Acquire(other.path(), &why));
    }
    // Once the first has ended, the next start gets the folder.
    EXPECT_TRUE(OtherProcessGetsTheLock(home.path()));
}

TEST(StationLock, AFolderThatCannotHoldTheLockIsReported) {
    QTemporaryDir home;
    // A file where the Config folder should be: not even root can make the lock there.
    QFile blocker(home.path() + "/Config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    StationLock lock;
    QString why;
    EXPECT_FALSE(lock.Acquire(home.path(), &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("Tarvis cannot use the station folder ")))
        << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("Config/tarvis.lock"))) << why.toStdString();
}

} // namespace
