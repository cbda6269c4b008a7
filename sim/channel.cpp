#include "sim/channel.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace qd470sim {

namespace {

bool sameCall(const Bytes& a, const Bytes& b) {
    if (a.empty() || a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(a[i]) != std::toupper(b[i]))
            return false;
    return true;
}

bool isArq(AirMode m) {
    return m == AirMode::Amtor || m == AirMode::PMode;
}

bool isRtty(AirMode m) {
    return m == AirMode::Baudot || m == AirMode::Ascii;
}

// A call sign payload: the characters and 00.
Bytes callPayload(const Bytes& call) {
    Bytes p = call;
    p.push_back(0x00);
    return p;
}

// A paired call sign payload: 00 and each character, then 00 00.
Bytes pairedPayload(const Bytes& call) {
    Bytes p;
    for (const std::uint8_t c : call) {
        p.push_back(0x00);
        p.push_back(c);
    }
    p.push_back(0x00);
    p.push_back(0x00);
    return p;
}

// What the five-unit alphabet of AMTOR and Baudot carries; anything else is not sent at all.
bool fiveUnitCarries(std::uint8_t c) {
    switch (c) {
    case 0x00:
    case 0x05:
    case 0x07:
    case 0x0A:
    case 0x0D:
    case ' ':
    case '!':
    case '#':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '=':
    case '?':
        return true;
    default:
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }
}

constexpr std::uint8_t kLinkState = 0x7A;
constexpr std::uint8_t kIss = 0x0E, kIrs = 0x0F, kTx = 0x06, kRx = 0x07;
constexpr std::uint8_t kBackToStandby = 0x0C;

} // namespace

Channel::Channel(LogSink& log, Clock clock, ChannelTiming timing)
    : log_(log), clock_(std::move(clock)), timing_(timing) {}

void Channel::attach(Modem& modem) {
    Radio r;
    r.modem = &modem;
    radios_.push_back(std::move(r));
    modem.setAirSide(this);
}

std::size_t Channel::indexOf(const Modem& modem) const {
    for (std::size_t i = 0; i < radios_.size(); ++i)
        if (radios_[i].modem == &modem)
            return i;
    return 0;
}

std::string Channel::name(std::size_t index) const {
    return "station " + std::to_string(index + 1);
}

bool Channel::idle(const Radio& r) const {
    return !r.link && !r.broadcasting;
}

bool Channel::hearsArq(const Radio& r, AirMode mode) const {
    const AirMode m = r.modem->settings().mode();
    return mode == AirMode::Mirvol ? m == AirMode::Mirvol : isArq(m);
}

AirMode Channel::sendingMode(const Radio& r) const {
    if (r.link)
        return r.link->mode;
    if (r.broadcasting)
        return r.broadcastMode;
    return r.modem->settings().mode();
}

double Channel::charsPerSecond(const Radio& r, AirMode mode) const {
    const double set = timing_.charsPerSecond[static_cast<std::size_t>(mode)];
    if (set > 0)
        return set;
    if (mode == AirMode::Baudot)
        return r.modem->settings().baudotBaud() / 7.5; // 5 bits, start and 1.5 stop bits
    if (mode == AirMode::Ascii)
        return r.modem->settings().asciiBaud() / 10.0; // 7 bits, parity, start and stop
    return 60;
}

std::int64_t Channel::charTime(const Radio& r) const {
    const double cps = charsPerSecond(r, sendingMode(r));
    return std::max<std::int64_t>(1, std::llround(1000.0 / cps));
}

void Channel::setRate(std::optional<AirMode> mode, double cps) {
    if (mode) {
        timing_.charsPerSecond[static_cast<std::size_t>(*mode)] = cps;
        return;
    }
    for (std::size_t m = 1; m < timing_.charsPerSecond.size(); ++m)
        timing_.charsPerSecond[m] = cps;
}

Bytes Channel::callOf(std::size_t index, LinkKind kind) const {
    const ModemSettings& s = radios_[index].modem->settings();
    switch (kind) {
    case LinkKind::Amtor476:
        return s.myCall476();
    case LinkKind::Amtor625:
        return s.myCall625();
    default:
        return s.myCall();
    }
}

void Channel::command(Modem& modem, const HostEvent& event) {
    const std::size_t i = indexOf(modem);
    Radio& r = radios_[i];
    switch (event.code) {
    case 0x10:
    case 0x11:
        return call(i, LinkKind::Mirvol, event.data);
    case 0x16:
        return call(i, LinkKind::Amtor476, event.data);
    case 0x17:
        return call(i, LinkKind::Amtor625, event.data);
    case 0x19:
    case 0x1A:
        return call(i, LinkKind::PMode, event.data);
    case 0x14:
        return callCq(i);
    case 0x15:
        return answerCq(i);
    case 0x12:
        return startBroadcast(i, AirMode::Mirvol, 0x12, std::nullopt);
    case 0x1D:
    case 0x82:
        return startBroadcast(i, AirMode::Amtor, 0x12, std::nullopt);
    case 0x18:
        return startBroadcast(
            i, AirMode::Amtor, 0x12,
            Bytes(event.data.begin(),
                  event.data.begin() + std::min<std::size_t>(4, event.data.size())));
    case 0x1C:
        return startBroadcast(i, AirMode::PMode, 0x14, std::nullopt);
    case 0x07:
        return requestEnd(i);
    case 0x87:
        return forcedOver(i);
    case 0x8E:
        // RTTY: key up and idle while the host's text waits.
        if (idle(r) && isRtty(r.modem->settings().mode()) && !r.keyed) {
            r.keyed = true;
            r.modem->sendStatus(kLinkState, {kTx});
        }
        return;
    case 0x09:
        // A reset modem drops whatever it was doing; the far end loses the link.
        r.queue.clear();
        r.keyed = false;
        r.broadcasting = false;
        r.endRequested = false;
        if (r.link) {
            Link& link = *r.link;
            const std::size_t other = link.caller == i ? link.called.value_or(i) : link.caller;
            r.link = nullptr;
            if (other != i && link.up)
                radios_[other].modem->sendStatus(0x24, {0x00});
            if (other != i)
                radios_[other].link = nullptr;
            links_.remove_if([&](const Link& l) { return &l == &link; });
        }
        return;
    default:
        return;
    }
}

void Channel::text(Modem& modem, const Bytes& text) {
    const std::size_t i = indexOf(modem);
    Radio& r = radios_[i];
    const std::int64_t now = clock_();
    if (r.queue.empty())
        r.nextCharAt = std::max(r.nextCharAt, now + charTime(r));
    r.queue.insert(r.queue.end(), text.begin(), text.end());
    // RTTY goes straight to the air.
    if (idle(r) && isRtty(r.modem->settings().mode()) && !r.keyed) {
        r.keyed = true;
        r.modem->sendStatus(kLinkState, {kTx});
    }
}

void Channel::panic(Modem& modem) {
    Radio& r = radios_[indexOf(modem)];
    log_.line("panic: dropped " + std::to_string(r.queue.size()) +
              " characters waiting for the air");
    r.queue.clear();
    r.modem->closeEcho();
}

void Channel::call(std::size_t from, LinkKind kind, const Bytes& hisCall) {
    Radio& r = radios_[from];
    if (!idle(r)) {
        log_.line(name(from) + ": busy, call ignored");
        return;
    }
    const AirMode mode = kind == LinkKind::Mirvol  ? AirMode::Mirvol
                         : kind == LinkKind::PMode ? AirMode::PMode
                                                   : AirMode::Amtor;
    Link link{kind, mode, from, std::nullopt, false, from, 80, 0, hisCall};
    for (std::size_t j = 0; j < radios_.size(); ++j)
        if (j != from && idle(radios_[j]) && hearsArq(radios_[j], mode) &&
            sameCall(callOf(j, kind), hisCall)) {
            link.called = j;
            break;
        }
    const std::int64_t now = clock_();
    link.due = now + (link.called ? timing_.callDelayMs : timing_.callTimeoutMs);
    links_.push_back(link);
    Link& l = links_.back();
    r.link = &l;
    r.callingCq = false; // a call of its own ends a CQ
    if (l.called)
        radios_[*l.called].link = &l;
    log_.line(name(from) + ": calls " + quoted(hisCall) +
              (l.called ? ", heard by " + name(*l.called) : ", nobody answers"));
    r.modem->sendStatus(0x28, callPayload(hisCall));
}

void Channel::callCq(std::size_t from) {
    Radio& r = radios_[from];
    if (!idle(r)) {
        log_.line(name(from) + ": busy, CQ ignored");
        return;
    }
    r.callingCq = true;
    r.cqUntil = clock_() + timing_.callTimeoutMs;
    r.modem->sendStatus(0x73, {0x66});
    for (std::size_t j = 0; j < radios_.size(); ++j)
        if (j != from && idle(radios_[j]) && hearsArq(radios_[j], AirMode::Mirvol)) {
            radios_[j].heardCqFrom = from;
            radios_[j].modem->sendStatus(0x26, callPayload(callOf(from, LinkKind::Mirvol)));
        }
}

void Channel::answerCq(std::size_t from) {
    Radio& r = radios_[from];
    if (!r.heardCqFrom || !radios_[*r.heardCqFrom].callingCq || !idle(r) ||
        !idle(radios_[*r.heardCqFrom])) {
        log_.line(name(from) + ": no CQ to answer");
        return;
    }
    const std::size_t cq = *r.heardCqFrom;
    radios_[cq].callingCq = false;
    for (Radio& o : radios_)
        if (o.heardCqFrom == cq)
            o.heardCqFrom.reset();
    const Bytes hisCall = callOf(cq, LinkKind::Mirvol);
    links_.push_back(Link{LinkKind::Mirvol, AirMode::Mirvol, from, cq, false, from, 80,
                          clock_() + timing_.callDelayMs, hisCall});
    r.link = radios_[cq].link = &links_.back();
    log_.line(name(from) + ": answers the CQ of " + name(cq));
    r.modem->sendStatus(0x28, callPayload(hisCall));
}

void Channel::startBroadcast(std::size_t from, AirMode mode, std::uint8_t senderState,
                             const std::optional<Bytes>& group) {
    Radio& r = radios_[from];
    if (!idle(r)) {
        log_.line(name(from) + ": busy, broadcast ignored");
        return;
    }
    r.broadcasting = true;
    r.keyed = true;
    r.broadcastMode = mode;
    r.audience.clear();
    r.modem->sendStatus(kLinkState, {senderState});
    for (std::size_t j = 0; j < radios_.size(); ++j) {
        Radio& o = radios_[j];
        if (j == from || !idle(o) || !hearsArq(o, mode))
            continue;
        if (group &&
            !sameCall(Bytes(o.modem->settings().groupCall().begin(),
                            o.modem->settings().groupCall().begin() +
                                std::min<std::size_t>(4, o.modem->settings().groupCall().size())),
                      *group))
            continue;
        r.audience.push_back(j);
        if (mode == AirMode::Mirvol)
            o.modem->sendStatus(0x21, callPayload(callOf(from, LinkKind::Mirvol)));
        else if (group)
            o.modem->sendStatus(0x2C, pairedPayload(*group));
        o.modem->sendStatus(kLinkState, {0x13});
    }
    log_.line(name(from) + ": broadcast in " + std::string(airModeName(mode)) + " to " +
              std::to_string(r.audience.size()) + " station(s)");
}

void Channel::requestEnd(std::size_t from) {
    Radio& r = radios_[from];
    if (r.link && !r.link->up) {
        // A call not yet answered is given up.
        Link& link = *r.link;
        if (link.caller != from)
            return; // the called station has not heard anything yet
        if (link.called)
            radios_[*link.called].link = nullptr;
        r.link = nullptr;
        links_.remove_if([&](const Link& l) { return &l == &link; });
        r.modem->sendStatus(0x23, {0x00});
        return;
    }
    if (r.link || r.broadcasting || r.keyed)
        r.endRequested = true;
}

void Channel::forcedOver(std::size_t from) {
    Radio& r = radios_[from];
    if (!r.link || !r.link->up || r.link->kind == LinkKind::Mirvol || r.link->sender == from) {
        log_.line(name(from) + ": forced over ignored (not receiving in an AMTOR or P-Mode link)");
        return;
    }
    changeOver(*r.link, from);
}

void Channel::bringUp(Link& link) {
    Radio& a = radios_[link.caller];
    if (!link.called) {
        a.link = nullptr;
        a.modem->sendStatus(0x24, {0x00});
        links_.remove_if([&](const Link& l) { return &l == &link; });
        return;
    }
    const std::size_t bi = *link.called;
    Radio& b = radios_[bi];
    b.modem->sendStatus(0x22, callPayload(callOf(link.caller, link.kind)));
    for (const auto& [self, other] : {std::pair{link.caller, bi}, std::pair{bi, link.caller}}) {
        Modem& m = *radios_[self].modem;
        switch (link.kind) {
        case LinkKind::Mirvol:
            m.sendStatus(0x20, callPayload(callOf(other, link.kind)));
            break;
        case LinkKind::Amtor476:
            m.sendStatus(0x29, {0x00});
            break;
        case LinkKind::Amtor625:
            m.sendStatus(0x2A, callPayload(callOf(other, link.kind)));
            break;
        case LinkKind::PMode:
            m.sendStatus(0x2B, callPayload(callOf(other, link.kind)));
            break;
        }
    }
    const std::int64_t now = clock_();
    link.up = true;
    link.sender = link.caller;
    link.due = now + timing_.reportIntervalMs;
    a.modem->sendStatus(kLinkState, {kIss});
    a.modem->sendStatus(kLinkState, {kTx});
    b.modem->sendStatus(kLinkState, {kIrs});
    b.modem->sendStatus(kLinkState, {kRx});
    a.nextCharAt = now + charTime(a);
    b.callingCq = false;
    log_.line(name(link.caller) + " and " + name(bi) + ": linked in " +
              std::string(airModeName(link.mode)));
}

void Channel::changeOver(Link& link, std::size_t newSender) {
    const std::size_t old = link.sender;
    radios_[old].modem->sendStatus(kLinkState, {kIrs});
    radios_[old].modem->sendStatus(kLinkState, {kRx});
    radios_[newSender].modem->sendStatus(kLinkState, {kIss});
    radios_[newSender].modem->sendStatus(kLinkState, {kTx});
    link.sender = newSender;
    radios_[newSender].nextCharAt = clock_() + charTime(radios_[newSender]);
    log_.line(name(newSender) + ": now sending");
}

void Channel::endLink(Link& link, std::uint8_t code) {
    for (const std::optional<std::size_t> end : {std::optional(link.caller), link.called}) {
        if (!end)
            continue;
        Radio& r = radios_[*end];
        if (link.up && link.sender == *end)
            r.modem->sendStatus(kLinkState, {kRx});
        r.modem->sendStatus(code, {0x00});
        r.link = nullptr;
        r.queue.clear();
        r.endRequested = false;
    }
    log_.line(name(link.caller) + ": link " + (code == 0x23 ? "ended" : "lost"));
    links_.remove_if([&](const Link& l) { return &l == &link; });
}

void Channel::standby(std::size_t index) {
    Modem& m = *radios_[index].modem;
    m.sendStatus(kLinkState, {static_cast<std::uint8_t>(m.settings().listening() ? 0x10 : 0x11)});
}

void Channel::endBroadcast(std::size_t from) {
    Radio& r = radios_[from];
    r.broadcasting = false;
    r.keyed = false;
    broadcastEndAtSender(from);
    for (const std::size_t j : r.audience)
        standby(j);
    r.audience.clear();
    log_.line(name(from) + ": broadcast ended");
}

void Channel::broadcastEndAtSender(std::size_t from) {
    if (radios_[from].broadcastMode == AirMode::Amtor)
        standby(from);
    else
        radios_[from].modem->sendStatus(0x23, {0x00});
}

void Channel::cqUnanswered(std::size_t index) {
    radios_[index].modem->sendStatus(0x73, {0x00});
    radios_[index].modem->sendStatus(kLinkState, {kBackToStandby});
}

bool Channel::sendOne(std::size_t index) {
    Radio& r = radios_[index];
    const std::uint8_t c = r.queue.front();
    r.queue.pop_front();
    const AirMode sending = sendingMode(r);
    if ((sending == AirMode::Amtor || sending == AirMode::Baudot) && !fiveUnitCarries(c))
        return false;
    r.modem->echo(c);
    const Bytes one{c};
    if (r.link) {
        Link& link = *r.link;
        const std::size_t other = link.caller == index ? *link.called : link.caller;
        radios_[other].modem->sendText(one);
        // "+?" hands the sending over in AMTOR and P-Mode.
        const bool over = link.kind != LinkKind::Mirvol && r.last == '+' && c == '?';
        r.last = c;
        if (over) {
            r.modem->closeEcho();
            changeOver(link, other);
        }
        return true;
    }
    r.last = c;
    if (r.broadcasting) {
        for (const std::size_t j : r.audience)
            radios_[j].modem->sendText(one);
        return true;
    }
    const AirMode mode = r.modem->settings().mode();
    for (std::size_t j = 0; j < radios_.size(); ++j)
        if (j != index && idle(radios_[j]) && radios_[j].modem->settings().mode() == mode)
            radios_[j].modem->sendText(one);
    return true;
}

void Channel::finishIfDone(std::size_t index) {
    Radio& r = radios_[index];
    if (!r.endRequested || !r.queue.empty())
        return;
    r.endRequested = false;
    if (r.link)
        endLink(*r.link, 0x23);
    else if (r.broadcasting)
        endBroadcast(index);
    else if (r.keyed) {
        r.keyed = false;
        r.modem->sendStatus(kLinkState, {kRx});
    }
}

void Channel::report(Link& link) {
    const int q = std::clamp(link.quality, 0, 100);
    const auto b = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    const std::uint8_t level = b(q * 255 / 100);
    // Modulation and bias follow the quality, as the adaptive protocol would choose them.
    const std::uint8_t modulation = q < 20 ? 6 : q < 40 ? 7 : q < 60 ? 8 : q < 80 ? 10 : 11;
    const std::uint8_t bias = q < 34 ? 0 : q < 67 ? 1 : 2;
    for (const std::optional<std::size_t> end : {std::optional(link.caller), link.called}) {
        Modem& m = *radios_[*end].modem;
        m.sendStatus(0x70, {level, 0, b(level * 3 / 4), 0, b(level / 2), 0, b(level / 4), 0});
        m.sendStatus(0x7E, {b((100 - q) / 10)});
        if (link.kind != LinkKind::Mirvol)
            continue;
        const std::uint8_t snr = b(q), tput = b(q), phs = b(q), ecc = b(100 - q);
        m.sendStatus(0x72, {0, snr, 0, 0, tput, phs, ecc, 0, snr, 0, 0, tput, phs, ecc});
        m.sendStatus(0x75, {static_cast<std::uint8_t>(modulation << 2), 0,
                            static_cast<std::uint8_t>(modulation << 2 | bias), 0});
    }
}

void Channel::advance() {
    const std::int64_t now = clock_();
    for (auto it = links_.begin(); it != links_.end();) {
        Link& link = *it++;
        if (!link.up && link.due <= now)
            bringUp(link);
    }
    for (std::size_t i = 0; i < radios_.size(); ++i)
        if (radios_[i].callingCq && radios_[i].cqUntil <= now) {
            radios_[i].callingCq = false;
            cqUnanswered(i);
        }
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        Radio& r = radios_[i];
        const bool sends =
            (r.link && r.link->up && r.link->sender == i) || r.broadcasting || (r.keyed && !r.link);
        while (sends && !r.queue.empty() && r.nextCharAt <= now) {
            Link* before = r.link;
            if (!sendOne(i))
                continue; // not carried: it takes no time on the air
            r.nextCharAt += charTime(r);
            if (before && (!r.link || r.link->sender != i))
                break; // handed over
        }
        if (r.queue.empty())
            r.modem->closeEcho();
        finishIfDone(i);
        // MIRVOL turns the link round by itself when the sending side has nothing left.
        if (r.link && r.link->up && r.link->kind == LinkKind::Mirvol && r.link->sender == i &&
            r.queue.empty()) {
            const std::size_t other = r.link->caller == i ? *r.link->called : r.link->caller;
            if (!radios_[other].queue.empty())
                changeOver(*r.link, other);
        }
    }
    if (timing_.reportIntervalMs > 0)
        for (Link& link : links_)
            if (link.up && link.due <= now) {
                report(link);
                link.due = now + timing_.reportIntervalMs;
            }
}

std::optional<std::int64_t> Channel::nextDue() const {
    std::optional<std::int64_t> due;
    const auto consider = [&](std::int64_t t) { due = due ? std::min(*due, t) : t; };
    for (const Link& link : links_)
        if (!link.up || timing_.reportIntervalMs > 0)
            consider(link.due);
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        const Radio& r = radios_[i];
        if (r.callingCq)
            consider(r.cqUntil);
        const bool sends =
            (r.link && r.link->up && r.link->sender == i) || r.broadcasting || (r.keyed && !r.link);
        if (sends && !r.queue.empty())
            consider(r.nextCharAt);
        if (r.endRequested && r.queue.empty())
            consider(0);
        // MIRVOL turns round as soon as the sending side has nothing left.
        if (r.link && r.link->up && r.link->kind == LinkKind::Mirvol && !r.queue.empty() &&
            r.link->sender != i && radios_[r.link->sender].queue.empty())
            consider(0);
    }
    return due;
}

bool Channel::loseLink(std::size_t index, std::string& error) {
    Radio& r = radios_[index];
    if (!r.link) {
        error = name(index) + " has no link";
        return false;
    }
    Link& link = *r.link;
    if (!link.up) {
        // A call in progress fails at the caller; the called station never heard it.
        if (link.called)
            radios_[*link.called].link = nullptr;
        link.called.reset();
        bringUp(link);
        return true;
    }
    endLink(link, 0x24);
    return true;
}

bool Channel::setQuality(std::size_t index, int quality, std::string& error) {
    Radio& r = radios_[index];
    if (!r.link) {
        error = name(index) + " has no link";
        return false;
    }
    r.link->quality = std::clamp(quality, 0, 100);
    return true;
}

std::string Channel::airLine(std::size_t index) const {
    const Radio& r = radios_[index];
    std::string state = "idle";
    if (r.link)
        state = r.link->up ? "linked" : "calling";
    else if (r.broadcasting)
        state = "broadcast";
    else if (r.keyed)
        state = "transmitting";
    else if (r.callingCq)
        state = "calling-cq";
    std::string s = "air=" + state;
    if (r.link) {
        const Link& l = *r.link;
        const std::size_t other = l.caller == index ? l.called.value_or(index) : l.caller;
        s += " link-mode=" + std::string(airModeName(l.mode));
        if (other != index)
            s += " peer=" + std::to_string(other + 1);
        if (l.up)
            s += std::string(" role=") + (l.sender == index ? "ISS" : "IRS");
        s += " quality=" + std::to_string(l.quality);
    }
    if (r.broadcasting)
        s += " broadcast-mode=" + std::string(airModeName(r.broadcastMode)) +
             " audience=" + std::to_string(r.audience.size());
    return s + " queued=" + std::to_string(r.queue.size());
}

} // namespace qd470sim
