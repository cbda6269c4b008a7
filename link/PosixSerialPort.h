#pragma once
// The serial port through POSIX termios: real ports, USB adapters and pseudo-terminals.
#include "link/SerialPort.h"

#include <linux/serial.h>
#include <mutex>

namespace tarvis {

class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool Open(const std::string& device) override;
    void Close() override;
    bool IsOpen() const override;
    std::string ErrorText() const override;
    bool Configure(int baud) override;
    void SetRts(bool on) override;
    void SetDtr(bool on) override;
    bool Cts() override;
    LineControl ReadLineControl() override;
    unsigned WaitEvent(int timeoutMs) override;
    unsigned TakeLineErrors() override;
    int InputQueueCount() override;
    int OutputQueueCount() override;
    int Read(std::uint8_t* buffer, int max) override;
    int Write(const std::uint8_t* data, int count) override;
    bool WritePriority(std::uint8_t byte) override;

private:
    unsigned CountedLineErrors(bool take);
    void SetModemLine(int line, bool on);

    int fd_ = -1;
    std::string error_;
    // Serialises writes, so a priority byte never lands inside a chunk.
    std::mutex writeMutex_;
    // Line-error counters as last taken; pseudo-terminals have none.
    std::mutex errorMutex_;
    serial_icounter_struct taken_{};
    bool haveCounters_ = false;
    unsigned pendingErrors_ = 0;
};

} // namespace tarvis
