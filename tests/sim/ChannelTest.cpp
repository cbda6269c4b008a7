#include "sim/channel.h"
#include "sim/control.h"
#include "tests/sim/TestBytes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qd470sim;

namespace {

struct NullLog : LogSink {
    void line(std::string_view) override {}
};

// Three stations on one channel with a clock the test moves. Station numbers are 0-based here.
class Air : public ::testing::Test {
protected:
    static ChannelTiming timing() {
        ChannelTiming t;
        t.callDelayMs = 1000;
        t.callTimeoutMs = 5000;
        t.reportIntervalMs = 0; // only where a test asks for them
        t.charsPerSecond = {0, 50, 10, 20, 0, 0};
        return t;
    }

    Air()
        : channel(
              log, [this] { return now; }, timing()) {
        for (int i = 0; i < 3; ++i) {
            modems.push_back(std::make_unique<Modem>(ModemIdentity{}, log));
            channel.attach(*modems.back());
        }
    }

    void host(int i, const char* hexText) { modems[i]->fromHost(hexToBytes(hexText)); }
    std::string out(int i) { return hexBytes(modems[i]->takeOutput()); }
    void tick(std::int64_t ms) {
        now += ms;
        channel.advance();
    }
    // Moves on in steps of `step` ms until `total` ms have passed.
    void run(std::int64_t total, std::int64_t step = 5) {
        for (std::int64_t t = 0; t < total; t += step)
            tick(step);
    }

    // Own calls: A1 (476 AAAA, 625 AAAAAAA), B2 (BBBB, BBBBBBB), C3; all three in `mode`.
    void setUp(const char* mode) {
        host(0, "80 13 80 41 80 31 80 00 80 90 80 41 80 41 80 41 80 41 80 00 "
                "80 91 80 41 80 41 80 41 80 41 80 41 80 41 80 41 80 00");
        host(1, "80 13 80 42 80 32 80 00 80 90 80 42 80 42 80 42 80 42 80 00 "
                "80 91 80 42 80 42 80 42 80 42 80 42 80 42 80 42 80 00");
        host(2, "80 13 80 43 80 33 80 00");
        for (int i = 0; i < 3; ++i) {
            host(i, mode);
            out(i);
        }
    }

    // A calls B in MIRVOL and the link comes up; the reports are taken.
    void linkMirvol() {
        setUp("80 80");
        host(0, "80 11 80 42 80 32 80 00");
        tick(1000);
        for (int i = 0; i < 3; ++i)
            out(i);
    }

    std::int64_t now = 0;
    NullLog log;
    Channel channel;
    std::vector<std::unique_ptr<Modem>> modems;
};

struct CallCase {
    const char* name;
    const char* modeOfA;
    const char* modeOfB;
    const char* call; // what A's host sends
    const char* atA;  // A's reports once the link is up
    const char* atB;  // B's
};

void PrintTo(const CallCase& c, std::ostream* os) {
    *os << c.name;
}

class Calls : public Air, public ::testing::WithParamInterface<CallCase> {};

TEST_P(Calls, ReachTheMatchingStationWithTheReportsOfAContact) {
    const CallCase& c = GetParam();
    setUp(c.modeOfA);
    host(1, c.modeOfB);
    host(0, c.call);
    // The caller hears its call go out at once; the other station nothing yet.
    EXPECT_EQ(out(0).substr(0, 5), "80 28");
    EXPECT_EQ(out(1), "");
    tick(999);
    EXPECT_EQ(out(0) + out(1), "");
    tick(1);
    EXPECT_EQ(out(0), c.atA);
    EXPECT_EQ(out(1), c.atB);
    // The third station heard nothing of it.
    EXPECT_EQ(out(2), "");
    EXPECT_EQ(runControl(channel, 0, "air").text, "ok air=linked link-mode=" +
                                                      std::string(c.name[0] == 'M'   ? "MIRVOL"
                                                                  : c.name[0] == 'A' ? "AMTOR"
                                                                                     : "P-Mode") +
                                                      " peer=2 role=ISS quality=80 queued=0");
}

INSTANTIATE_TEST_SUITE_P(
    Channel, Calls,
    ::testing::Values(
        CallCase{"MirvolNormal", "80 80", "80 80", "80 11 80 62 80 32 80 00",
                 "80 20 42 32 00 80 7A 0E 80 7A 06",
                 "80 22 41 31 00 80 20 41 31 00 80 7A 0F 80 7A 07"},
        CallCase{"MirvolRobust", "80 80", "80 80", "80 10 80 42 80 32 80 00",
                 "80 20 42 32 00 80 7A 0E 80 7A 06",
                 "80 22 41 31 00 80 20 41 31 00 80 7A 0F 80 7A 07"},
        CallCase{"Amtor476", "80 81", "80 81", "80 16 80 42 80 42 80 42 80 42 80 00",
                 "80 29 00 80 7A 0E 80 7A 06", "80 22 41 41 41 41 00 80 29 00 80 7A 0F 80 7A 07"},
        CallCase{"Amtor625", "80 81", "80 81",
                 "80 17 80 42 80 42 80 42 80 42 80 42 80 42 80 42 80 00",
                 "80 2A 42 42 42 42 42 42 42 00 80 7A 0E 80 7A 06",
                 "80 22 41 41 41 41 41 41 41 00 80 2A 41 41 41 41 41 41 41 00 80 7A 0F 80 7A 07"},
        CallCase{"PModeShortPath", "80 83", "80 83", "80 19 80 42 80 32 80 00",
                 "80 2B 42 32 00 80 7A 0E 80 7A 06",
                 "80 22 41 31 00 80 2B 41 31 00 80 7A 0F 80 7A 07"},
        // A station in AMTOR standby hears a P-Mode call too.
        CallCase{"PModeLongPathToAmtor", "80 83", "80 81", "80 1A 80 42 80 32 80 00",
                 "80 2B 42 32 00 80 7A 0E 80 7A 06",
                 "80 22 41 31 00 80 2B 41 31 00 80 7A 0F 80 7A 07"}));

TEST_F(Air, ACallNobodyAnswersFailsAfterTheTimeout) {
    setUp("80 80");
    host(1, "80 81"); // B listens in AMTOR: it cannot hear a MIRVOL call
    host(0, "80 11 80 42 80 32 80 00");
    EXPECT_EQ(out(0), "80 28 42 32 00");
    tick(4999);
    EXPECT_EQ(out(0), "");
    tick(1);
    EXPECT_EQ(out(0), "80 24 00");
    EXPECT_EQ(out(1), "");
    EXPECT_EQ(runControl(channel, 0, "air").text, "ok air=idle queued=0");
}

TEST_F(Air, TextIsEchoedAtTheAirRateAndDeliveredWithLiteralsIntact) {
    linkMirvol();
    // H, I, the literal 80, the literal 81 (as the host marks them).
    host(0, "48 49 81 80 81 81");
    tick(19);
    EXPECT_EQ(out(0) + out(1), "");
    tick(1); // 50 characters a second: one every 20 ms
    EXPECT_EQ(out(0), "80 31 48");
    EXPECT_EQ(out(1), "48");
    tick(40);
    EXPECT_EQ(out(0), "49 81 80");
    EXPECT_EQ(out(1), "49 81 80");
    tick(20);
    // The run of echoes closes once nothing more waits.
    EXPECT_EQ(out(0), "81 81 80 30");
    EXPECT_EQ(out(1), "81 81");
}

TEST_F(Air, EveryCharacterIsEchoedSoTheHostsLimitIsReleased) {
    linkMirvol();
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += "41 ";
    host(0, text.c_str());
    run(1000);
    // One second at 50 characters a second.
    const Bytes echoed = modems[0]->takeOutput();
    EXPECT_EQ(std::count(echoed.begin(), echoed.end(), 0x41), 50);
    EXPECT_EQ(runControl(channel, 0, "air").text.substr(0, 3), "ok ");
    EXPECT_NE(runControl(channel, 0, "air").text.find("queued=550"), std::string::npos);
}

TEST_F(Air, DisconnectWaitsForPendingTextThenEndsAtBothEnds) {
    linkMirvol();
    host(0, "5A 5A 5A 5A 80 07"); // "ZZZZ" is only text to the modem
    tick(60);
    EXPECT_EQ(out(0), "80 31 5A 5A 5A");
    EXPECT_EQ(out(1), "5A 5A 5A");
    tick(20);
    EXPECT_EQ(out(0), "5A 80 30 80 7A 07 80 23 00");
    EXPECT_EQ(out(1), "5A 80 23 00");
    // Disconnect with nothing pending goes at once.
    linkMirvol();
    host(1, "80 07");
    tick(1);
    EXPECT_EQ(out(0), "80 7A 07 80 23 00");
    EXPECT_EQ(out(1), "80 23 00");
}

TEST_F(Air, ALostLinkReportsFailureAtBothEndsAndDropsWhatWaited) {
    linkMirvol();
    host(0, "41 42 43");
    EXPECT_EQ(runControl(channel, 1, "lose").text, "ok link lost");
    EXPECT_EQ(out(0), "80 7A 07 80 24 00");
    EXPECT_EQ(out(1), "80 24 00");
    run(200);
    EXPECT_EQ(out(0) + out(1), "");
    EXPECT_EQ(runControl(channel, 1, "lose").text, "error: station 2 has no link");
}

TEST_F(Air, MirvolTurnsTheLinkRoundWhenTheReceivingSideHasText) {
    linkMirvol();
    host(1, "4F 4B");
    tick(1);
    EXPECT_EQ(out(0), "80 7A 0F 80 7A 07");
    EXPECT_EQ(out(1), "80 7A 0E 80 7A 06");
    tick(40);
    EXPECT_EQ(out(1), "80 31 4F 4B 80 30");
    EXPECT_EQ(out(0), "4F 4B");
}

TEST_F(Air, NextDueIsTheNextCharacterWhileBothSidesHaveText) {
    linkMirvol();
    EXPECT_FALSE(channel.nextDue()); // nothing to do until a host says something
    host(0, "41 42");
    host(1, "43");
    EXPECT_EQ(channel.nextDue(), now + 20);
    tick(40);
    // A has sent both; B's text turns the link round at once.
    EXPECT_EQ(channel.nextDue(), now + 20);
    EXPECT_EQ(out(1), "41 42 80 7A 0E 80 7A 06");
}

TEST_F(Air, AmtorChangesOverOnPlusQuestionAndOnForcedOverFromTheReceivingSide) {
    setUp("80 81");
    host(0, "80 16 80 42 80 42 80 42 80 42 80 00");
    tick(1000);
    for (int i = 0; i < 2; ++i)
        out(i);
    // Text of the receiving side waits: AMTOR does not turn round by itself.
    host(1, "59");
    run(300);
    EXPECT_EQ(out(0) + out(1), "");
    // The sending side asks for the change-over with "+?".
    host(0, "2B 3F");
    run(200);
    EXPECT_EQ(out(0), "80 31 2B 3F 80 30 80 7A 0F 80 7A 07");
    EXPECT_EQ(out(1), "2B 3F 80 7A 0E 80 7A 06");
    run(100); // 10 characters a second
    EXPECT_EQ(out(1), "80 31 59 80 30");
    EXPECT_EQ(out(0), "59");
    // Forced over from the sending side is ignored; from the receiving side it turns round.
    host(1, "80 87");
    EXPECT_EQ(out(0) + out(1), "");
    host(1, "41 42 43");
    host(0, "80 87");
    EXPECT_EQ(out(1), "80 7A 0F 80 7A 07");
    EXPECT_EQ(out(0), "80 7A 0E 80 7A 06");
    EXPECT_NE(runControl(channel, 1, "air").text.find("role=IRS quality=80 queued=3"),
              std::string::npos);
}

TEST_F(Air, CqReachesTheOthersInMirvolAndItsAnswerMakesALink) {
    setUp("80 80");
    host(2, "80 81"); // C is in AMTOR: it does not hear the CQ
    host(0, "80 14 80 00");
    EXPECT_EQ(out(0), "80 73 66");
    EXPECT_EQ(out(1), "80 26 41 31 00");
    EXPECT_EQ(out(2), "");
    host(2, "80 15 80 00"); // C heard no CQ: nothing happens
    EXPECT_EQ(out(2), "");
    host(1, "80 15 80 00");
    EXPECT_EQ(out(1), "80 28 41 31 00");
    tick(1000);
    EXPECT_EQ(out(1), "80 20 41 31 00 80 7A 0E 80 7A 06");
    EXPECT_EQ(out(0), "80 22 42 32 00 80 20 42 32 00 80 7A 0F 80 7A 07");
}

TEST_F(Air, AnUnansweredCqEnds) {
    setUp("80 80");
    host(0, "80 14 80 00");
    out(0);
    tick(5000);
    // Back to standby, so the host's CQ button comes back.
    EXPECT_EQ(out(0), "80 73 00 80 7A 0C");
}

struct BroadcastCase {
    const char* name;
    const char* mode;
    const char* start;
    const char* atA; // the sender's report
    const char* atB; // a station in the same mode
    const char* atC; // a third station (another group, or listening)
    const char* endAtA; // the sender's report when the broadcast has ended
};

void PrintTo(const BroadcastCase& c, std::ostream* os) {
    *os << c.name;
}

class Broadcasts : public Air, public ::testing::WithParamInterface<BroadcastCase> {};

TEST_P(Broadcasts, ReachTheirAudienceAndEndOnceTheTextHasGone) {
    const BroadcastCase& c = GetParam();
    setUp(c.mode);
    host(1, "80 92 80 47 80 52 80 50 80 31 80 58 80 00 80 58"); // group GRP1X; B listens
    host(2, "80 92 80 4F 80 54 80 48 80 00");                   // group OTH
    out(1);
    host(0, c.start);
    EXPECT_EQ(out(0), c.atA);
    EXPECT_EQ(out(1), c.atB);
    EXPECT_EQ(out(2), c.atC);
    host(0, "48 49 80 07");
    run(200);
    const std::string heard = c.atC[0] ? "48 49 80 7A 11" : "";
    EXPECT_EQ(out(0), "80 31 48 49 80 30 " + std::string(c.endAtA));
    EXPECT_EQ(out(1), "48 49 80 7A 10");
    EXPECT_EQ(out(2), heard);
}

INSTANTIATE_TEST_SUITE_P(
    Channel, Broadcasts,
    ::testing::Values(
        // MIRVOL and P-Mode broadcasts end at the sender as a link does, AMTOR FEC on standby.
        BroadcastCase{"Mirvol", "80 80", "80 12 80 00", "80 7A 12", "80 21 41 31 00 80 7A 13",
                      "80 21 41 31 00 80 7A 13", "80 23 00"},
        BroadcastCase{"AmtorModeB", "80 81", "80 1D 80 00", "80 7A 12", "80 7A 13", "80 7A 13",
                      "80 7A 11"},
        BroadcastCase{"AmtorCfec", "80 81", "80 82", "80 7A 12", "80 7A 13", "80 7A 13",
                      "80 7A 11"},
        // Mode S reaches only the group whose first four characters match.
        BroadcastCase{"AmtorModeS", "80 81", "80 18 80 47 80 52 80 50 80 31 80 00", "80 7A 12",
                      "80 2C 00 47 00 52 00 50 00 31 00 00 80 7A 13", "", "80 7A 11"},
        BroadcastCase{"PModeUnproto", "80 83", "80 1C 80 00", "80 7A 14", "80 7A 13", "80 7A 13",
                      "80 23 00"}));

TEST_F(Air, RttyTextGoesStraightToTheAirAtTheBaudRate) {
    setUp("80 85");
    host(2, "80 86");       // C is in ASCII
    host(0, "80 E4 80 03"); // 75 baud: 10 characters a second
    host(0, "80 8E");
    EXPECT_EQ(out(0), "80 7A 06");
    host(0, "52 59");
    EXPECT_EQ(out(0), "");
    tick(100);
    EXPECT_EQ(out(0), "80 31 52");
    EXPECT_EQ(out(1), "52");
    host(0, "80 07");
    tick(100);
    EXPECT_EQ(out(0), "59 80 30 80 7A 07");
    EXPECT_EQ(out(1), "59");
    EXPECT_EQ(out(2), "");
    // At the default 45 baud a character takes 167 ms.
    host(1, "41");
    EXPECT_EQ(out(1), "80 7A 06");
    tick(166);
    EXPECT_EQ(out(1), "");
    tick(1);
    EXPECT_EQ(out(1), "80 31 41 80 30");
}

TEST_F(Air, TheFiveUnitAlphabetDropsWhatItCannotCarry) {
    setUp("80 85");
    host(0, "80 E4 80 03"); // 10 characters a second
    // @ and ~ are not in the alphabet: they take no air time and are never echoed.
    host(0, "61 40 7E 3F");
    out(0);
    tick(100);
    EXPECT_EQ(out(0), "80 31 61");
    tick(100);
    EXPECT_EQ(out(0), "3F 80 30");
    EXPECT_EQ(out(1), "61 3F");
    // ASCII carries them.
    setUp("80 86");
    host(0, "80 E5 80 04 40 7E"); // 100 baud: 10 characters a second
    out(0);
    tick(200);
    EXPECT_EQ(out(0), "80 31 40 7E 80 30");
}

TEST_F(Air, PanicDropsWhatWaitsForTheAir) {
    linkMirvol();
    host(0, "41 42 43 81 06");
    run(200);
    EXPECT_EQ(out(0) + out(1), "");
}

TEST_F(Air, QualityReportsFollowTheLinksQuality) {
    channel.setRate(std::nullopt, 50);
    linkMirvol();
    EXPECT_EQ(runControl(channel, 0, "quality 50").text, "ok quality 50");
    EXPECT_EQ(runControl(channel, 2, "quality 50").text, "error: station 3 has no link");
    EXPECT_EQ(runControl(channel, 0, "quality 101").text,
              "error: quality needs a number from 0 to 100");
    // Reports are off in this fixture; a channel with them on sends them at both ends.
    Channel reporting(
        log, [this] { return now; },
        [] {
            ChannelTiming r = timing();
            r.reportIntervalMs = 2000;
            return r;
        }());
    Modem a(ModemIdentity{}, log), b(ModemIdentity{}, log);
    reporting.attach(a);
    reporting.attach(b);
    a.fromHost(hexToBytes("80 80 80 13 80 41 80 00"));
    b.fromHost(hexToBytes("80 80 80 13 80 42 80 00"));
    a.fromHost(hexToBytes("80 11 80 42 80 00"));
    now += 1000;
    reporting.advance();
    a.takeOutput();
    b.takeOutput();
    std::string why;
    ASSERT_TRUE(reporting.setQuality(1, 50, why));
    now += 2000;
    reporting.advance();
    const char* expected = "80 70 7F 00 5F 00 3F 00 1F 00 80 7E 05 "
                           "80 72 00 32 00 00 32 32 32 00 32 00 00 32 32 32 "
                           "80 75 20 00 21 00";
    EXPECT_EQ(hexBytes(a.takeOutput()), expected);
    EXPECT_EQ(hexBytes(b.takeOutput()), expected);
    now += 1999;
    reporting.advance();
    EXPECT_TRUE(a.takeOutput().empty());
}

TEST_F(Air, ControlAddressesStations) {
    setUp("80 80");
    EXPECT_EQ(runControl(channel, 0, "station 2 settings").text.substr(0, 27),
              "ok mode=MIRVOL mycall=\"B2\" ");
    EXPECT_EQ(runControl(channel, 0, "station 3 status 24 00").text, "ok sent 80 24 00");
    EXPECT_EQ(out(2), "80 24 00");
    EXPECT_EQ(runControl(channel, 0, "station 4 state").text,
              "error: station needs a number from 1 to 3 and a command");
    EXPECT_EQ(runControl(channel, 0, "station 2").text, "error: station 2 needs a command");
    EXPECT_EQ(runControl(channel, 0, "air-rate amtor 100").text, "ok air-rate amtor 100");
    EXPECT_EQ(channel.timing().charsPerSecond[2], 100);
    EXPECT_EQ(runControl(channel, 0, "air-rate fast 1").text.substr(0, 6), "error:");
}

} // namespace
