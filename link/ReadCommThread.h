#pragma once
// The receive thread: waits on the port and turns every received byte into items of the
// receive ring, through the framing machine.
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
    // The classification of the last line error, empty when none was seen.
    std::string LastLineError();
    int LineErrorCount() const { return lineErrors_; }

private:
    void Run();

    SerialPort& port_;
    ReceiveFramer& framer_;
    ReceiveRing& ring_;
    std::atomic<bool> terminated_{false};
    std::atomic<int> lineErrors_{0};
    std::mutex errorMutex_;
    std::string lastLineError_;
    std::thread thread_;
};

} // namespace tarvis
