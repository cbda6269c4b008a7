// The simulator's log: one line an event, each after a local-time stamp "HH:MM:SS.mmm".
#pragma once

#include "sim/modem.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace qd470sim {

// "HH:MM:SS.mmm" of `when` in local time.
std::string timeStamp(const timespec& when);

class FileLog : public LogSink {
public:
    FileLog() = default;
    FileLog(const FileLog&) = delete;
    FileLog& operator=(const FileLog&) = delete;
    ~FileLog() override;

    // "-" is standard output; any other name is a file, created or overwritten.
    bool open(const std::string& path, std::string& error);

    // Written and flushed at once, so that whoever follows the log sees every line as it happens.
    void line(std::string_view text) override;

private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

} // namespace qd470sim
