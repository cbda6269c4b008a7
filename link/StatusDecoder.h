#pragma once
// The status decoder: what the modem reports, the operator sees. One call per status item,
// on the user-interface thread; a payload that follows is read straight from the receive ring.
#include "link/LinkStatus.h"
#include "modes/TerminalState.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QTimer;
class QWidget;

namespace tarvis {

class Clock;
class EventPump;
class ModemLink;
class Sound;
struct ModeToolBars;
struct Settings;

// What the reports leave behind for the tuning and statistics windows.
struct StatusRecords {
    std::array<std::uint8_t, 4> amplitude{};
    std::array<std::uint8_t, 14> statistics{};
    std::uint8_t cqTraffic = 0;
    std::array<std::uint8_t, 4> modulation{};
    std::uint8_t linkState = 0;
    std::uint8_t tuningOffset = 0;
};

// Everything the decoder reads and changes, handed in by the main window.
struct DecoderContext {
    Clock& clock;
    EventPump& pump;
    Sound& sound;
    ModemLink& link;
    LinkStatus& status;
    TerminalState& terminal;
    const Settings& settings;
    ModeToolBars& bars;
    StatusRecords& records;
    std::function<void(int pane, const QString& text)> setPane;

    QAction* mnuFilesSendBinaryFile = nullptr;
    QAction* mnuFilesSendtextfile = nullptr;
    QAction* mnuCode = nullptr;
    QAction* mnuConfigure = nullptr;
    QAction* mnuSpecialTest = nullptr;

    QWidget* mainWindow = nullptr; // panels are centred on it
    QWidget* HardwareResetPanel = nullptr;
    QWidget* DisconnectPanel = nullptr; // a label whose text is its caption
    QWidget* FAXTransferPanel = nullptr;

    QTimer* CommandTimer = nullptr;
    QTimer* ResetTimer = nullptr;
    QTimer* WaitTimer = nullptr;
    QTimer* MonitorTimer = nullptr;
    QTimer* CQTimer = nullptr;

    // Bytes handed to the modem and not yet echoed: back to 0 when a link ends.
    std::function<void()> resetBytesInFlight{};
    // A text file being sent from disk is stopped as its menu item does.
    std::function<void()> stopTextFileSending{};
    // Every file the program holds open (capture, transfer, log) is closed.
    std::function<void()> closeOpenFiles{};
    // The windows' update routines, after their record has been stored.
    std::function<void()> amplitudeUpdate{};
    std::function<void()> tuningOffsetUpdate{};
    std::function<void()> statisticsUpdate{};
    std::function<void()> modulationUpdate{};
    // Whether statistics lines are being saved, and the writer of one.
    std::function<bool()> statisticsSaving{};
    std::function<void()> statisticsLineWriter{};
    // The Call CQ button's caption is "Answer CQ" after a CQ was heard.
    std::function<void(const QString&)> setCallCqCaption{};
};

class StatusDecoder {
public:
    explicit StatusDecoder(DecoderContext context) : c_(std::move(context)) {}

    // The dispatch thread's hand-off for one status item.
    void Decode(std::uint8_t code);
    // The same for a status item the binary-transfer code took from the ring itself.
    void DecodeInline(std::uint8_t code);

    // The pane-1 text of standby: "STBY-LISTEN" with listen on, else "STBY".
    QString StandbyText() const;

private:
    enum class Form { Normal, Inline };
    void Run(std::uint8_t code, Form form);

    // Payload reads; false when the report is abandoned.
    bool WaitForItems(int count);
    bool TakeFixed(int count, std::uint8_t* bytes);
    bool TakeCallSign(QString& text);
    bool TakePairedCallSign(QString& text);
    bool TakeIgnored(int count);

    void LinkEnded();
    void LinkFailed();
    void CqTraffic(std::uint8_t state);
    void LinkState(std::uint8_t state);

    void MirvolLinked();
    void AmtorLinked();
    void PModeLinked();
    void LinkControlsIdle();
    void StandbyButtons();
    void CallCqButtonsBack();
    void OverButtonsOff();
    void FecButtonsOn();
    void FoldAmtorBroadcast(bool alsoBinaryMenu, bool clearPane2);
    void BackToStandbyCommon();
    void StartMonitor();
    void CentreAndShow(QWidget* panel);

    DecoderContext c_;
    Form form_ = Form::Normal;
};

} // namespace tarvis
