#pragma once
// One Tarvis to a station folder. Two processes on the same settings would overwrite each
// other's configuration file at exit and fight over the modem's port, so the second one is
// told and stops before it touches either.
#include <QString>

namespace tarvis {

class StationLock {
public:
    StationLock() = default;
    ~StationLock();
    StationLock(const StationLock&) = delete;
    StationLock& operator=(const StationLock&) = delete;

    // Takes the lock of the station in `home` (the folder's Config/tarvis.lock, held for the
    // life of this object). False, with the operator's text in `why`, when another process
    // holds it or the lock file cannot be made.
    bool Acquire(const QString& home, QString* why);

private:
    int fd_ = -1;
};

} // namespace tarvis
