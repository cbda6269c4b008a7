// The simulated HF channel between the stations of one simulator: calls and CQ calls reach the
// station whose call matches, links come up with the reports a real contact gives at both ends,
// text goes on the air at the rate of the mode (echoed to its sender inside 80 31 ... 80 30 and
// received by the other end), broadcasts reach every station listening in the mode, and links
// end by 80 07 once the pending text has gone, or are lost on command.
//
// Time is the channel's clock in milliseconds; `advance` carries out whatever has fallen due.
#pragma once

#include "sim/modem.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <vector>

namespace qd470sim {

struct ChannelTiming {
    std::int64_t callDelayMs = 1500;      // from a call to the link (or the CQ answer)
    std::int64_t callTimeoutMs = 10000;   // a call nobody answers fails after this
    std::int64_t reportIntervalMs = 2000; // channel-quality reports while linked; 0: none
    // Characters a second on the air per mode (index: AirMode); 0 for Baudot and ASCII means
    // "from the rate the host set": baud / 7.5 and baud / 10.
    std::array<double, 6> charsPerSecond{0, 60, 10, 20, 0, 0};
};

class Channel : public AirSide {
public:
    using Clock = std::function<std::int64_t()>;

    Channel(LogSink& log, Clock clock, ChannelTiming timing = {});

    // Puts `modem` on the air as the next station (numbered from 1).
    void attach(Modem& modem);
    std::size_t stationCount() const { return radios_.size(); }
    Modem& modem(std::size_t index) { return *radios_[index].modem; }

    void command(Modem& modem, const HostEvent& event) override;
    void text(Modem& modem, const Bytes& text) override;
    void panic(Modem& modem) override;

    // Carries out everything due by now.
    void advance();
    // When `advance` next has something to do, or nothing when only the hosts can move it.
    std::optional<std::int64_t> nextDue() const;

    // Control: ends the link (or call) of station `index` at both ends as lost (24).
    bool loseLink(std::size_t index, std::string& error);
    // Control: the quality 0..100 of the link of station `index` (it is the link's, both ends).
    bool setQuality(std::size_t index, int quality, std::string& error);
    // Control: characters a second for one mode (or all, with nothing).
    void setRate(std::optional<AirMode> mode, double cps);
    // One line describing station `index`'s air state: link=..., peer=..., sending=..., ...
    std::string airLine(std::size_t index) const;

    const ChannelTiming& timing() const { return timing_; }

private:
    // How a link was called, which decides its reports.
    enum class LinkKind { Mirvol, Amtor476, Amtor625, PMode };
    struct Link;

    struct Radio {
        Modem* modem = nullptr;
        std::deque<std::uint8_t> queue; // text waiting for the air
        Link* link = nullptr;
        std::int64_t nextCharAt = 0;
        bool endRequested = false; // 80 07: end once the queue is empty
        bool keyed = false;        // RTTY or broadcast transmitter on
        bool broadcasting = false;
        AirMode broadcastMode = AirMode::None;
        std::vector<std::size_t> audience; // who receives this station's broadcast
        bool callingCq = false;
        std::int64_t cqUntil = 0;
        std::optional<std::size_t> heardCqFrom;
        std::uint8_t last = 0; // the last character sent, for the "+?" changeover
    };

    struct Link {
        LinkKind kind;
        AirMode mode;
        std::size_t caller;
        std::optional<std::size_t> called; // nothing: nobody answers
        bool up = false;
        std::size_t sender = 0; // ISS
        int quality = 80;
        std::int64_t due = 0; // calling: when it comes up or fails; up: the next report
        Bytes calledAs;       // the call the caller gave
    };

    std::size_t indexOf(const Modem& modem) const;
    bool idle(const Radio& r) const;
    bool hearsArq(const Radio& r, AirMode mode) const;
    double charsPerSecond(const Radio& r, AirMode mode) const;
    std::int64_t charTime(const Radio& r) const;
    AirMode sendingMode(const Radio& r) const;

    void call(std::size_t from, LinkKind kind, const Bytes& hisCall);
    void callCq(std::size_t from);
    void answerCq(std::size_t from);
    void startBroadcast(std::size_t from, AirMode mode, std::uint8_t senderState,
                        const std::optional<Bytes>& group);
    void requestEnd(std::size_t from);
    void forcedOver(std::size_t from);

    void bringUp(Link& link);
    void changeOver(Link& link, std::size_t newSender);
    void endLink(Link& link, std::uint8_t code);
    void endBroadcast(std::size_t from);
    // What the sender of a broadcast hears when it ends: the end of the link (23) after a
    // MIRVOL broadcast or P-Mode unproto, standby after AMTOR FEC.
    void broadcastEndAtSender(std::size_t from);
    // A CQ nobody answered: the CQ state is over and the station back to standby (7A 0C, the
    // report after which the host offers its CQ button again).
    void cqUnanswered(std::size_t index);
    // Sends the next waiting character; false when the mode's alphabet does not carry it.
    bool sendOne(std::size_t index);
    void finishIfDone(std::size_t index);
    void report(Link& link);
    void standby(std::size_t index);

    Bytes callOf(std::size_t index, LinkKind kind) const;
    std::string name(std::size_t index) const;

    LogSink& log_;
    Clock clock_;
    ChannelTiming timing_;
    std::vector<Radio> radios_;
    std::list<Link> links_;
};

} // namespace qd470sim
