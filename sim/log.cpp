#include "sim/log.h"

#include <cerrno>
#include <cstring>

namespace qd470sim {

std::string timeStamp(const timespec& when) {
    tm local{};
    ::localtime_r(&when.tv_sec, &local);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<long>(when.tv_nsec / 1000000));
    return buf;
}

FileLog::~FileLog() {
    if (owned_ && file_)
        std::fclose(file_);
}

bool FileLog::open(const std::string& path, std::string& error) {
    if (path == "-") {
        file_ = stdout;
        owned_ = false;
        return true;
    }
    file_ = std::fopen(path.c_str(), "we");
    if (!file_) {
        error = "cannot open log " + path + ": " + std::strerror(errno);
        return false;
    }
    owned_ = true;
    return true;
}

void FileLog::line(std::string_view text) {
    if (!file_)
        return;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::string stamp = timeStamp(now);
    std::fprintf(file_, "%s %.*s\n", stamp.c_str(), static_cast<int>(text.size()), text.data());
    std::fflush(file_);
}

} // namespace qd470sim
