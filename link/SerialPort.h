#pragma once
// The one serial port the modem hangs on, behind an interface: the machine's port driver in
// the program, an in-process fake in tests.
#include <cstdint>
#include <string>

namespace tarvis {

// What a wait for port events reports.
enum PortEvent : unsigned {
    kPortEventNone = 0,          // the wait timed out
    kPortEventCharReceived = 1,  // bytes are waiting in the input queue
    kPortEventLineError = 2,     // the driver counted a line error
    kPortEventWaitFailed = 0x80, // the wait itself failed (port gone, hang-up)
};

// Line-error flags as the driver reports them; a word may hold several.
enum LineErrorFlag : unsigned {
    kLineErrorRxOverflow = 0x0001, // input queue overflow
    kLineErrorOverrun = 0x0002,    // character-buffer overrun
    kLineErrorParity = 0x0004,
    kLineErrorFraming = 0x0008,
    kLineErrorBreak = 0x0010,
    kLineErrorTxFull = 0x0100, // output queue full
    kLineErrorIO = 0x0400,
};

// The port's output flow-control settings, read afresh by the transmit thread.
struct LineControl {
    bool ctsOutputFlow = false;
    bool xonXoffOutput = false;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the device for reading and writing, exclusively. False when it cannot be opened;
    // ErrorText() then says why.
    virtual bool Open(const std::string& device) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual std::string ErrorText() const = 0;

    // 8 data bits, no parity, 1 stop bit, raw bytes, no flow control, no time-outs.
    virtual bool Configure(int baud) = 0;
    virtual void SetRts(bool on) = 0;
    virtual void SetDtr(bool on) = 0;
    // True when CTS is asserted, or when the driver cannot report modem lines at all.
    virtual bool Cts() = 0;
    virtual LineControl ReadLineControl() = 0;

    // Waits up to the time for bytes to read or a line error; a mask of PortEvent.
    virtual unsigned WaitEvent(int timeoutMs) = 0;
    // Reads and clears the line-error flags counted since the last call.
    virtual unsigned TakeLineErrors() = 0;
    virtual int InputQueueCount() = 0;
    virtual int OutputQueueCount() = 0;

    // Reads what is waiting, at most `max` bytes; -1 on failure.
    virtual int Read(std::uint8_t* buffer, int max) = 0;
    // Writes the bytes and waits for completion; returns how many were written (may be short).
    virtual int Write(const std::uint8_t* data, int count) = 0;
    // Sends one byte ahead of everything the program has queued for the port.
    virtual bool WritePriority(std::uint8_t byte) = 0;
};

// The text a line-error word is classified as: a single flag names its error, any other word
// (a combination included) is "UNKNOWN SERIAL Error!".
const char* ClassifyLineError(unsigned flags);

} // namespace tarvis
