#include "link/ModemLink.h"
#include "platform/EventPump.h"

namespace tarvis {

namespace {
// Back-to-back commands are at least this far apart at the caller.
constexpr int kCommandSpacingMs = 50;
} // namespace

ModemLink::ModemLink(Context context, std::unique_ptr<SerialPort> port)
    : context_(std::move(context)), port_(std::move(port)) {}

ModemLink::~ModemLink() {
    StopDisplayThread();
    StopIoThreads();
    port_->Close();
}

bool ModemLink::OpenPort(const std::string& device) {
    if (!port_->Open(device)) {
        return false;
    }
    if (!ApplyLineSettings()) {
        port_->Close();
        return false;
    }
    port_->SetRts(true);
    port_->SetDtr(true);
    return true;
}

bool ModemLink::ApplyLineSettings() {
    return port_->Configure(kModemBaud);
}

void ModemLink::ClosePort() {
    port_->Close();
}

void ModemLink::StartIoThreads() {
    StopIoThreads();
    reader_ = std::make_unique<ReadCommThread>(*port_, framer_, ring_);
    transmit_ = std::make_unique<TransmitThread>(*port_, context_.engine, context_.postTxReady);
}

void ModemLink::StopIoThreads() {
    if (reader_) {
        reader_->Terminate();
        reader_.reset();
    }
    if (transmit_) {
        transmit_->Stop();
        transmit_.reset();
    }
}

void ModemLink::SuspendThreads() {
    if (reader_) {
        reader_->Suspend();
    }
    if (transmit_) {
        transmit_->Suspend();
    }
    if (display_) {
        display_->Suspend();
    }
}

bool ModemLink::ThreadsSuspended() const {
    return (!reader_ || reader_->IsSuspended()) && (!transmit_ || transmit_->IsSuspended()) &&
           (!display_ || display_->IsSuspended());
}

void ModemLink::CreateDisplayThread(DispatchTarget& target) {
    display_ = std::make_unique<DisplayThread>(ring_, flags_, target);
}

void ModemLink::StopDisplayThread() {
    if (display_) {
        display_->Terminate();
        display_.reset();
    }
}

void ModemLink::SendCommand(const Bytes& command) {
    QueueDirect(command);
    Delay(context_.clock, context_.pump, kCommandSpacingMs);
}

void ModemLink::QueueDirect(const Bytes& bytes) {
    if (transmit_ && !lastQueued_) {
        transmit_->Enqueue(bytes);
    }
}

void ModemLink::QueueLast(const Bytes& bytes) {
    QueueDirect(bytes);
    lastQueued_ = true;
}

void ModemLink::SendByte(std::uint8_t byte) {
    QueueDirect(Bytes(1, static_cast<char>(byte)));
}

void ModemLink::SendText(const Bytes& text) {
    if (!transmit_ || lastQueued_) {
        return;
    }
    if (context_.operatingMode && context_.operatingMode() == kPsk31Mode) {
        transmit_->EnqueuePsk(text);
    } else {
        transmit_->Enqueue(text);
    }
}

void ModemLink::SendPriorityCommand(std::uint8_t code) {
    if (lastQueued_) {
        return;
    }
    port_->WritePriority(0x80);
    port_->WritePriority(code);
}

void ModemLink::ClearTransmitQueue() {
    if (transmit_) {
        transmit_->ClearTransmitQueue();
    }
}

int ModemLink::PendingTransmitCount() {
    return transmit_ ? transmit_->PendingTransmitCount() : port_->OutputQueueCount();
}

void ModemLink::SetWriteChunk(int count) {
    if (transmit_) {
        transmit_->SetWriteChunk(count);
    }
}

int ModemLink::PskQueueLength() {
    return transmit_ ? transmit_->PskQueueLength() : 0;
}

} // namespace tarvis
