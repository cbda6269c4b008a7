#pragma once
// The transmit thread: writes the command queue to the port in small chunks, feeds the
// sound-card engine one character per pass, and tells the main window whenever it can take
// more (TxReady) - at the latest every 200 ms.
#include "link/Commands.h"
#include "link/SuspendGate.h"
#include "platform/AutoResetEvent.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace tarvis {

class SerialPort;
class SoundCardEngine;

class TransmitThread {
public:
    // `postTxReady` posts the TxReady message to the main window; it is called on this thread.
    TransmitThread(SerialPort& port, SoundCardEngine* engine, std::function<void()> postTxReady);
    ~TransmitThread();
    TransmitThread(const TransmitThread&) = delete;
    TransmitThread& operator=(const TransmitThread&) = delete;

    void Enqueue(std::string_view bytes);
    // Text for the sound-card engine; picked up within 200 ms.
    void EnqueuePsk(std::string_view bytes);
    void ClearTransmitQueue();
    // The command queue's length or the driver's output count, whichever is larger.
    int PendingTransmitCount();
    void SetWriteChunk(int count);
    int PskQueueLength();
    // Stops the thread between chunks until Resume; returns once it reports itself suspended.
    // Nothing queued is written meanwhile, so the port is free for another writer.
    void Suspend();
    void Resume() { gate_.Resume(); }
    bool IsSuspended() const { return gate_.IsSuspended(); }
    // Marks the thread terminated, wakes it and waits for it to end.
    void Stop();

private:
    void Run();
    bool Ready();
    void WriteOneChunk();

    SerialPort& port_;
    SoundCardEngine* engine_;
    std::function<void()> postTxReady_;
    std::mutex queueMutex_;
    Bytes queue_;
    std::mutex pskMutex_;
    Bytes pskQueue_;
    AutoResetEvent wake_;
    std::atomic<int> writeChunk_{1};
    std::atomic<bool> terminated_{false};
    SuspendGate gate_;
    std::thread thread_;
};

} // namespace tarvis
