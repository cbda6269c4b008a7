// Binary files between two stations over a MIRVOL link, carried in-band as plain bytes with
// short control sequences that begin with SOH (01). This is the whole protocol of both sides:
// the sender prepares a file (imploded when that makes it smaller), announces it, waits for
// the answer and feeds the transmit pump one file byte a time; the receiver answers a header,
// writes the data into the download folder, unpacks it and reports back. It works on small
// interfaces so that it runs without a window: the station (the modem and the receive ring),
// the panel, and the operator's questions.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvis {

using TransferBytes = std::string;

inline constexpr std::uint8_t kSoh = 0x01;
// The control codes after SOH.
enum : std::uint8_t {
    kXferHeader = 0x80,
    kXferAccept = 0x81,
    kXferHeaderAlt = 0x82,
    kXferIgnored83 = 0x83,
    kXferFax = 0x0C,
    kXferByte00 = 0x90,
    kXferByte01 = 0x91,
    kXferRefuse = 0x92,
    kXferEnd = 0x93,
    kXferComplete = 0x94,
    kXferFailed = 0x95,
    kXferAbort = 0x96,
    kXferIgnored97 = 0x97,
};

// Field terminators of the header and the accept.
inline constexpr std::uint8_t kFieldEnd = 0x08;
inline constexpr std::uint8_t kSequenceEnd = 0x02;
// Field widths: longer fields are refused.
inline constexpr std::size_t kNameField = 259;
inline constexpr std::size_t kNumberField = 19;
inline constexpr std::size_t kOffsetField = 11;
// How long a control sequence may stop in its middle before it is given up.
inline constexpr int kFieldTimeoutMs = 60000;

// The host-side literal escape: 80 and 81 go to the modem as 81 80 and 81 81.
TransferBytes HostEscaped(const TransferBytes& air);
// One file byte as it travels: 00 as 01 90, 01 as 01 91, 80 and 81 escaped for the host.
TransferBytes EncodeDataByte(std::uint8_t b);
// A decimal field: digits only, at most kNumberField of them, below 2^31. Empty: not a number.
std::optional<std::int64_t> ParseDecimalField(const std::string& field);
// "hh:mm:ss" of whole seconds (hours without an upper bound).
std::string ElapsedText(std::int64_t seconds);

// The station side: the modem, the receive ring and the shared flags.
class TransferStation {
public:
    virtual ~TransferStation() = default;
    // Bytes for the air, already framed for the host (see HostEscaped).
    virtual void SendText(const TransferBytes& bytes) = 0;
    // A command 80 code (with the command's wait).
    virtual void SendCommand(std::uint8_t code) = 0;
    // The next item of the receive ring (status items are 0x8000 plus the code), waiting at
    // most the time while the user interface stays alive; none when the time has passed.
    virtual std::optional<std::uint32_t> NextItem(int timeoutMs) = 0;
    // A status item met inside a control sequence goes to the in-line status decoder ...
    virtual void StatusInline(std::uint8_t code) = 0;
    // ... which keeps the echo flag: text items while it is set are the station's own echoes.
    virtual bool Echoing() = 0;
    virtual void ShowEcho(std::uint8_t character) = 0;
    virtual void SetDispatchPaused(bool paused) = 0;
    // Waits, keeping the user interface alive, until the transmit queue is empty.
    virtual void WaitForEmptyQueue() = 0;
    // The pump's count of unechoed bytes goes back to 0.
    virtual void ResetBytesInFlight() = 0;
    // The whole-second clock of the panel.
    virtual std::int64_t NowSeconds() = 0;
    // The date in the short and the time in the long form of the system, for the log.
    virtual std::string LogDate() = 0;
    virtual std::string LogTime() = 0;
};

// What the panel shows.
struct TransferPanel {
    bool visible = false;
    std::string label;      // "Sending Binary File" / "Receiving Binary File"
    std::string fileName;   // as chosen or as received
    std::string fileSize;   // decimal
    std::string compSize;   // decimal
    std::string method;     // "PKLIB" / "NONE" (or what the peer said)
    std::string bytes = "0";
    std::string time = "00:00:00";
    std::string tput = "0";
    std::string completeFail; // "", "Complete!", "Failed!"
    std::string button;       // "&Abort", "&Abort Transfer", "O&K"
    bool buttonDefault = false;
    std::int64_t gaugeMax = 0;
    std::int64_t gaugePos = 0;
};

// The operator's side: the panel and the questions.
class TransferOperator {
public:
    virtual ~TransferOperator() = default;
    // The panel has changed (shown or hidden by its `visible`).
    virtual void PanelChanged(const TransferPanel& panel) = 0;
    // A message box; `stop` gives it the stop icon.
    virtual void Message(const std::string& text, const std::string& caption, bool stop) = 0;
    // The Save dialog for a received file: the path chosen, empty on cancel.
    virtual std::string AskSavePath(const std::string& folder, const std::string& name) = 0;
    // The transmit pane gets the focus back.
    virtual void FocusTransmitPane() = 0;
};

// The flags the transfer shares with the pump and the dispatch thread.
struct TransferFlags {
    bool& awaitingReply;
    bool& sendingData;
    std::atomic<bool>& receiving;
};

class BinaryTransfer {
public:
    BinaryTransfer(TransferStation& station, TransferOperator& op, TransferFlags flags,
                   std::string homeFolder, std::string downloadFolder, std::string tempFolder);
    ~BinaryTransfer();
    BinaryTransfer(const BinaryTransfer&) = delete;
    BinaryTransfer& operator=(const BinaryTransfer&) = delete;

    // --- sender ---
    // The operator chose these files: the first is prepared and announced, the others follow
    // each after the previous one's completion.
    void SendFiles(const std::vector<std::string>& paths);
    // The pump's data step: the next file byte as it travels, and 01 93 after the last.
    TransferBytes DataStep();
    // Every byte including the end mark has been handed to the pump.
    bool DataFinished() const { return endQueued_; }

    // --- both ---
    // An SOH item was dispatched: reads the code and acts. `faxCode` handles 01 0C.
    void Control();
    void SetFaxHandler(std::function<void()> handler) { fax_ = std::move(handler); }
    // The panel's button.
    void AbortClick();
    // The display timer.
    void Refresh();
    // Closes whatever file the transfer holds open and ends it on this side without a word to
    // the peer (the link has gone, the operator stopped everything).
    void CloseFiles();

    // --- receiver ---
    // A data byte, on the dispatch thread.
    void WriteReceivedByte(std::uint8_t b);

    // --- state, for the display and the tests ---
    const TransferPanel& Panel() const { return panel_; }
    bool Sending() const { return sending_; }
    bool Active() const;
    std::int64_t SentCount() const { return sentCount_; }
    std::int64_t ReceivedCount() const { return receivedCount_.load(); }
    int FilesRemaining() const { return filesRemaining_; }
    // The pump asks this for text typed while a file goes.
    bool SendingData() const { return flags_.sendingData; }

private:
    // Reads one text item of a control sequence; none on time-out.
    std::optional<std::uint8_t> ReadText(int timeoutMs);
    // Reads a field up to `end`; false on time-out or when it runs past `width`.
    bool ReadField(std::uint8_t end, std::size_t width, std::string& field, bool& tooLong);
    void SendSequence(std::uint8_t code, const TransferBytes& body = {});

    bool PrepareNext();
    void Announce(bool first);
    void OnAccept();
    void OnRefuse();
    void OnReport(bool complete);
    void EndSend();
    void AppendLog(bool complete);

    void OnHeader();
    void ReceiveAnswerFailure(const std::string& why);
    void OnDataControl(std::uint8_t b);
    void OnEnd();
    bool Unpack(const std::string& from, const std::string& to, std::string& why);
    void FinishReceive(bool ok, const std::string& savedAt, const std::string& why);
    void FailReceiveNow(const std::string& why);
    void OnPeerAbort();
    void RemoveOwnTemporary();

    void StartClock();
    void ShowCounts(std::int64_t count);
    void Changed() { op_.PanelChanged(panel_); }

    TransferStation& station_;
    TransferOperator& op_;
    TransferFlags flags_;
    std::string home_;
    std::string download_;
    std::string tempFolder_;
    std::function<void()> fax_;

    TransferPanel panel_;
    // Sender.
    std::vector<std::string> files_;
    std::size_t nextIndex_ = 0;
    int filesRemaining_ = 0;
    bool sending_ = false;    // the panel follows the sent count
    bool reportDue_ = false;  // a file went; its 01 94 or 01 95 is awaited
    bool endQueued_ = false;
    std::string fileName_;
    std::int64_t fileSize_ = 0;
    std::int64_t transferSize_ = 0;
    std::string method_;
    std::string sendPath_;    // what is read: the temporary file, or the file itself
    std::string ownTemporary_; // the compressed copy this station made, empty for "NONE"
    std::FILE* in_ = nullptr;
    std::int64_t sentCount_ = 0;
    std::int64_t sentDisplayCount_ = 0;
    // Receiver.
    std::FILE* out_ = nullptr;
    std::string receivedName_; // the safe plain name
    std::string partialPath_;  // In/<stem>.__$
    std::atomic<std::int64_t> receivedCount_{0};
    std::atomic<bool> writeFailed_{false};
    std::atomic<int> writeErrno_{0};
    std::atomic<bool> overrun_{false};
    // Panel timing.
    std::int64_t startSeconds_ = 0;
    std::int64_t lastTputSeconds_ = 0;
    float lastTputCount_ = 0;
    std::int64_t throughput_ = 0;
};

} // namespace tarvis
