#pragma once
// Sorting the modem's byte stream into status items and text items. 80 c is a status
// report, 81 b the byte b as text, any other byte text. In escape mode the modem sends 11,
// 13 and 91 only escaped (91 x stands for x AND DF) and uses bare 11/13 for flow control.
#include <atomic>
#include <cstdint>

namespace tarvis {

class ReceiveFramer {
public:
    void SetEscapeMode(bool on) { escapeMode_ = on; }
    bool EscapeMode() const { return escapeMode_; }
    // The modem's last flow-control byte in escape mode was XOFF (13).
    bool OutputHeld() const { return held_; }

    // Runs one byte through the machine; `store` receives each item it yields.
    template <typename Store> void Feed(std::uint8_t b, Store&& store) {
        if (escapeMode_) {
            if (escapePending_) {
                b &= 0xDF;
                escapePending_ = false;
            } else if (b == 0x91) {
                escapePending_ = true;
                saved_ = state_;
                state_ = kSkip;
            } else if (b == 0x11 || b == 0x13) {
                held_ = (b == 0x13);
                saved_ = state_;
                state_ = kSkip;
            }
        }
        switch (state_) {
        case kSkip:
            state_ = saved_;
            break;
        case kNormal:
            if (b == 0x80) {
                state_ = kAfterStatusPrefix;
            } else if (b == 0x81) {
                state_ = kAfterLiteralPrefix;
            } else {
                store(static_cast<std::uint32_t>(b));
            }
            break;
        case kAfterStatusPrefix:
            store(0x8000U + b);
            state_ = kNormal;
            break;
        case kAfterLiteralPrefix:
            store(static_cast<std::uint32_t>(b));
            state_ = kNormal;
            break;
        }
    }

private:
    enum State : int { kSkip = -1, kNormal = 0, kAfterStatusPrefix = 1, kAfterLiteralPrefix = 2 };
    // Decided once at the end of start-up, read by the receive thread.
    std::atomic<bool> escapeMode_{false};
    std::atomic<bool> held_{false};
    // Owned by the receive thread; they survive from one read to the next and from one port
    // to the next.
    int state_ = kNormal;
    int saved_ = kNormal;
    bool escapePending_ = false;
};

} // namespace tarvis
