#include "link/PosixSerialPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tarvis {

const char* ClassifyLineError(unsigned flags) {
    // Compared for equality, in this order: a combination of flags is no single error.
    switch (flags) {
    case kLineErrorFraming:
        return "FRAMING Error!";
    case kLineErrorIO:
        return "I/O Error!";
    case kLineErrorOverrun:
        return "OVERRUN Error!";
    case kLineErrorRxOverflow:
        return "RX BUFFER OVERFLOW Error!";
    case kLineErrorParity:
        return "PARITY Error!";
    case kLineErrorTxFull:
        return "TX BUFFER OVERFLOW Error!";
    default:
        return "UNKNOWN SERIAL Error!";
    }
}

namespace {

speed_t SpeedFor(int baud) {
    switch (baud) {
    case 57600:
        return B57600;
    case 9600:
        return B9600;
    default:
        return B0;
    }
}

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

PosixSerialPort::~PosixSerialPort() {
    Close();
}

bool PosixSerialPort::Open(const std::string& device) {
    Close();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = SystemError(device);
        return false;
    }
    // Not shared: a lock other programs honour, and the terminal's own exclusive mode.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error_ = SystemError(device + " is in use");
        ::close(fd);
        return false;
    }
    if (!::isatty(fd)) {
        error_ = device + " is not a serial port";
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    fd_ = fd;
    error_.clear();
    std::lock_guard lock(errorMutex_);
    haveCounters_ = ::ioctl(fd_, TIOCGICOUNT, &taken_) == 0;
    pendingErrors_ = 0;
    return true;
}

void PosixSerialPort::Close() {
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
}

bool PosixSerialPort::IsOpen() const {
    return fd_ >= 0;
}

std::string PosixSerialPort::ErrorText() const {
    return error_;
}

bool PosixSerialPort::Configure(int baud) {
    termios tio{};
    if (fd_ < 0 || ::tcgetattr(fd_, &tio) != 0) {
        error_ = SystemError("reading the line settings");
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedFor(baud);
    if (speed == B0 || ::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
        ::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        error_ = SystemError("applying the line settings");
        return false;
    }
    return true;
}

void PosixSerialPort::SetModemLine(int line, bool on) {
    if (fd_ >= 0) {
        // Pseudo-terminals have no modem lines; the request then fails harmlessly.
        ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line);
    }
}

void PosixSerialPort::SetRts(bool on) {
    SetModemLine(TIOCM_RTS, on);
}

void PosixSerialPort::SetDtr(bool on) {
    SetModemLine(TIOCM_DTR, on);
}

bool PosixSerialPort::Cts() {
    int lines = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCMGET, &lines) != 0) {
        return true;
    }
    return (lines & TIOCM_CTS) != 0;
}

LineControl PosixSerialPort::ReadLineControl() {
    LineControl control;
    termios tio{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
        control.ctsOutputFlow = (tio.c_cflag & CRTSCTS) != 0;
        control.xonXoffOutput = (tio.c_iflag & IXON) != 0;
    }
    return control;
}

unsigned PosixSerialPort::CountedLineErrors(bool take) {
    std::lock_guard lock(errorMutex_);
    if (haveCounters_ && fd_ >= 0) {
        serial_icounter_struct now{};
        if (::ioctl(fd_, TIOCGICOUNT, &now) == 0) {
            if (now.frame != taken_.frame) {
                pendingErrors_ |= kLineErrorFraming;
            }
            if (now.overrun != taken_.overrun) {
                pendingErrors_ |= kLineErrorOverrun;
            }
            if (now.parity != taken_.parity) {
                pendingErrors_ |= kLineErrorParity;
            }
            if (now.brk != taken_.brk) {
                pendingErrors_ |= kLineErrorBreak;
            }
            if (now.buf_overrun != taken_.buf_overrun) {
                pendingErrors_ |= kLineErrorRxOverflow;
            }
            taken_ = now;
        }
    }
    const unsigned errors = pendingErrors_;
    if (take) {
        pendingErrors_ = 0;
    }
    return errors;
}

unsigned PosixSerialPort::WaitEvent(int timeoutMs) {
    if (fd_ < 0) {
        return kPortEventWaitFailed;
    }
    pollfd pfd{fd_, POLLIN, 0};
    const int n = ::poll(&pfd, 1, timeoutMs);
    if (n < 0) {
        return errno == EINTR ? kPortEventNone : kPortEventWaitFailed;
    }
    unsigned events = kPortEventNone;
    if (CountedLineErrors(false) != 0) {
        events |= kPortEventLineError;
    }
    if ((pfd.revents & POLLIN) != 0) {
        events |= kPortEventCharReceived;
    } else if ((pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        // The other end has gone (a pseudo-terminal's master closed): nothing will arrive.
        events |= kPortEventWaitFailed;
    }
    return events;
}

unsigned PosixSerialPort::TakeLineErrors() {
    return CountedLineErrors(true);
}

int PosixSerialPort::InputQueueCount() {
    int count = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCINQ, &count) != 0) {
        return 0;
    }
    return count;
}

int PosixSerialPort::OutputQueueCount() {
    int count = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCOUTQ, &count) != 0) {
        return 0;
    }
    return count;
}

int PosixSerialPort::Read(std::uint8_t* buffer, int max) {
    if (fd_ < 0) {
        return -1;
    }
    const ssize_t n = ::read(fd_, buffer, static_cast<std::size_t>(max));
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return 0;
        }
        std::lock_guard lock(errorMutex_);
        pendingErrors_ |= kLineErrorIO;
        return -1;
    }
    return static_cast<int>(n);
}

int PosixSerialPort::Write(const std::uint8_t* data, int count) {
    std::lock_guard lock(writeMutex_);
    int written = 0;
    // A full driver queue is waited out for at most a second; what is not written by then is
    // reported as not written and stays with the caller.
    int waited = 0;
    while (fd_ >= 0 && written < count && waited < 1000) {
        const ssize_t n = ::write(fd_, data + written, static_cast<std::size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        }
        pollfd pfd{fd_, POLLOUT, 0};
        ::poll(&pfd, 1, 10);
        waited += 10;
    }
    return written;
}

bool PosixSerialPort::WritePriority(std::uint8_t byte) {
    // The program's own queue is in the transmit thread; writing straight to the driver puts
    // the byte ahead of all of it.
    return Write(&byte, 1) == 1;
}

} // namespace tarvis
