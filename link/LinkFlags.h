#pragma once
// The single-byte flags the worker threads and the user-interface thread share.
#include <atomic>
#include <cstdint>

namespace tarvis {

struct LinkFlags {
    // Set from program start; cleared once when the main window closes.
    std::atomic<bool> running{true};
    // While set the dispatch thread leaves the receive ring alone.
    std::atomic<bool> dispatchPaused{false};
    // While set, text items are the modem's echoes of characters it has sent.
    std::atomic<bool> echo{false};
    // A binary file is being received.
    std::atomic<bool> receiving{false};
    // Bytes of the binary file being received, written by the dispatch thread.
    std::atomic<std::int32_t> receivedCount{0};
};

} // namespace tarvis
