#pragma once
// The receive thread: waits on the port and turns every received byte into items of the
// receive ring, through the framing machine.
#include "link/SuspendGate.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace tarvis {

class SerialPort;
class ReceiveFramer;
class ReceiveRing;

class ReadCommThread {
public:
    ReadCommThread(SerialPort& port, ReceiveFramer& framer, ReceiveRing& ring);
    ~ReadCommThread();
    ReadCommThread(const ReadCommThread&) = delete;
    ReadCommThread& operator=(const ReadCommThread&) = delete;

    // Tells the thread to terminate and waits for it; bytes not yet stored are dropped.
    void Terminate();
    // Stops the thread between reads until Resume; returns once it reports itself suspended.
    // Bytes arriving meanwhile stay in the driver for whoever reads the port. A thread waiting
    // for room in a full ring drops what it was storing rather than keep the caller waiting.
    void Suspend();
    void Resume();
    bool IsSuspended() const { return gate_.IsSuspended(); }
    // The classification of the last line error, empty when none was seen.
    std::string LastLineError();
    int LineErrorCount() const { return lineErrors_; }

private:
    void Run();

    SerialPort& port_;
    ReceiveFramer& framer_;
    ReceiveRing& ring_;
    std::atomic<bool> terminated_{false};
    // Ends a wait for room in the ring: set on terminate and while a suspension is asked for.
    std::atomic<bool> stopStoring_{false};
    std::atomic<int> lineErrors_{0};
    std::mutex errorMutex_;
    std::string lastLineError_;
    SuspendGate gate_;
    std::thread thread_;
};

} // namespace tarvis
