#pragma once
// The modem link as the main window owns it: the serial port, the receive ring and its
// framing, the three worker threads and the flags they share, and the operations every
// other part of the program uses to talk to the modem.
#include "link/Commands.h"
#include "link/DisplayThread.h"
#include "link/Framing.h"
#include "link/LinkFlags.h"
#include "link/ReadCommThread.h"
#include "link/ReceiveRing.h"
#include "link/SerialPort.h"
#include "link/Twrite.h"

#include <functional>
#include <memory>

namespace tarvis {

class Clock;
class EventPump;
class SoundCardEngine;

constexpr int kModemBaud = 9600;
// Operating mode 10: PSK31 through the sound card, whose text goes to the engine.
constexpr int kPsk31Mode = 10;

class ModemLink {
public:
    struct Context {
        Clock& clock;
        EventPump& pump;
        SoundCardEngine* engine;
        // Posts TxReady to the main window; called on the transmit thread.
        std::function<void()> postTxReady;
        // The operating mode, read by SendText.
        std::function<int()> operatingMode;
    };

    ModemLink(Context context, std::unique_ptr<SerialPort> port);
    ~ModemLink();
    ModemLink(const ModemLink&) = delete;
    ModemLink& operator=(const ModemLink&) = delete;

    // Opens the device and sets it up: line settings, then RTS raised, then DTR.
    bool OpenPort(const std::string& device);
    // Applies the line settings once more.
    bool ApplyLineSettings();
    void ClosePort();
    void SetRts(bool on) { port_->SetRts(on); }
    void SetDtr(bool on) { port_->SetDtr(on); }

    // The receive thread (running) and the transmit thread, for the open port.
    void StartIoThreads();
    // Tells the receive thread to terminate and stops the transmit thread.
    void StopIoThreads();
    bool IoThreadsRunning() const { return transmit_ != nullptr; }
    // Suspends the receive, transmit and dispatch threads, each until it reports itself
    // suspended, so that the caller alone owns the port; they are not resumed.
    void SuspendThreads();
    // True when every thread there is reports itself suspended.
    bool ThreadsSuspended() const;

    // The dispatch thread, created suspended.
    void CreateDisplayThread(DispatchTarget& target);
    DisplayThread* Display() { return display_.get(); }
    void StopDisplayThread();

    // Queues a command string, then keeps the user interface alive for 50 ms.
    void SendCommand(const Bytes& command);
    // Queues bytes at once, without the 50 ms wait.
    void QueueDirect(const Bytes& bytes);
    // Queues the last bytes the modem gets (the reset when the main window closes): whatever
    // is sent afterwards, by an operation the close came in the middle of, is dropped.
    void QueueLast(const Bytes& bytes);
    void SendByte(std::uint8_t byte);
    // Text for the air: to the sound-card engine in PSK31 mode, else to the modem.
    void SendText(const Bytes& text);
    // A two-byte command ahead of everything queued, through the port's priority path.
    void SendPriorityCommand(std::uint8_t code);
    void ClearTransmitQueue();
    int PendingTransmitCount();
    void SetWriteChunk(int count);
    int PskQueueLength();

    SerialPort& Port() { return *port_; }
    ReceiveRing& Ring() { return ring_; }
    ReceiveFramer& Framer() { return framer_; }
    LinkFlags& Flags() { return flags_; }
    Clock& GetClock() { return context_.clock; }
    EventPump& Pump() { return context_.pump; }

private:
    Context context_;
    std::unique_ptr<SerialPort> port_;
    ReceiveRing ring_;
    ReceiveFramer framer_;
    LinkFlags flags_;
    std::unique_ptr<ReadCommThread> reader_;
    std::unique_ptr<TransmitThread> transmit_;
    std::unique_ptr<DisplayThread> display_;
    bool lastQueued_ = false;
};

} // namespace tarvis
