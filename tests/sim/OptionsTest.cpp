#include "sim/options.h"

#include <gtest/gtest.h>

using namespace qd470sim;

namespace {

ParsedOptions parse(std::vector<std::string_view> args) {
    return parseOptions(args);
}

TEST(Options, TakesEveryOptionInBothSpellings) {
    const ParsedOptions p = parse({"--link",
                                   "/tmp/h/Config/COM1",
                                   "--log=-",
                                   "--firmware-status",
                                   "0c",
                                   "--dsp-version=5.3",
                                   "--cpu-version",
                                   "12.10",
                                   "--boot-version",
                                   "1.0",
                                   "--product-id",
                                   "002f",
                                   "--hardware",
                                   "800a",
                                   "--mirvol2000",
                                   "--answers",
                                   "mixed",
                                   "--control",
                                   "/tmp/h/sim.sock",
                                   "--no-stdin"});
    ASSERT_EQ(p.outcome, ParsedOptions::Outcome::Run) << p.error;
    const Options& o = p.options;
    EXPECT_EQ(o.link, "/tmp/h/Config/COM1");
    EXPECT_EQ(o.log, "-");
    EXPECT_EQ(o.control, "/tmp/h/sim.sock");
    EXPECT_FALSE(o.controlStdin);
    EXPECT_EQ(o.identity.firmwareStatus, std::optional<std::uint8_t>(0x0C));
    EXPECT_EQ(o.identity.dsp.major, 5);
    EXPECT_EQ(o.identity.dsp.minor, 3);
    EXPECT_EQ(o.identity.cpu.major, 12);
    EXPECT_EQ(o.identity.cpu.minor, 10);
    EXPECT_EQ(o.identity.productId, 0x002F);
    EXPECT_EQ(o.identity.hardware, 0x800A);
    EXPECT_TRUE(o.identity.mirvol2000);
    EXPECT_EQ(o.identity.answers, AnswerForm::Mixed);
}

TEST(Options, DefaultsAndNoAnswer) {
    const ParsedOptions p = parse({"--link=COM1", "--firmware-status", "none"});
    ASSERT_EQ(p.outcome, ParsedOptions::Outcome::Run) << p.error;
    EXPECT_EQ(p.options.link, "COM1");
    EXPECT_EQ(p.options.log, "-");
    EXPECT_TRUE(p.options.control.empty());
    EXPECT_TRUE(p.options.controlStdin);
    EXPECT_FALSE(p.options.identity.firmwareStatus);
    EXPECT_EQ(p.options.identity.hardware, 0x8004);
    EXPECT_EQ(p.options.identity.answers, AnswerForm::Status);
    EXPECT_FALSE(p.options.identity.mirvol2000);
}

TEST(Options, HelpWinsOverEverythingElse) {
    EXPECT_EQ(parse({"--help"}).outcome, ParsedOptions::Outcome::Help);
    EXPECT_EQ(parse({"--bogus", "-h"}).outcome, ParsedOptions::Outcome::Error);
    EXPECT_EQ(parse({"--link", "x", "-h"}).outcome, ParsedOptions::Outcome::Help);
    EXPECT_TRUE(usageText().starts_with("Usage: qd470sim --link PATH [options]\n"));
}

TEST(Options, StationsInCommandLineOrderWithTheirOwnOptions) {
    const ParsedOptions p =
        parse({"--hardware", "8004", "--link", "a/COM1", "--station",
               "b/COM1,hardware=800A,control=/tmp/b.sock,mirvol2000", "--link=c/COM1", "--answers",
               "text", "--call-delay", "10", "--call-timeout=200", "--report-interval", "0",
               "--air-rate", "all=500", "--air-rate", "amtor=40"});
    ASSERT_EQ(p.outcome, ParsedOptions::Outcome::Run) << p.error;
    const Options& o = p.options;
    ASSERT_EQ(o.stations.size(), 3u);
    EXPECT_EQ(o.link, "a/COM1");
    EXPECT_EQ(o.stations[0].link, "a/COM1");
    EXPECT_EQ(o.stations[1].link, "b/COM1");
    EXPECT_EQ(o.stations[2].link, "c/COM1");
    // The common identity options hold for every station, wherever they stand; a station's
    // own options change only that station.
    EXPECT_EQ(o.stations[0].identity.hardware, 0x8004);
    EXPECT_EQ(o.stations[1].identity.hardware, 0x800A);
    EXPECT_TRUE(o.stations[1].identity.mirvol2000);
    EXPECT_FALSE(o.stations[2].identity.mirvol2000);
    EXPECT_EQ(o.stations[1].control, "/tmp/b.sock");
    EXPECT_EQ(o.stations[0].control, "");
    for (const auto& st : o.stations)
        EXPECT_EQ(st.identity.answers, AnswerForm::Text);
    EXPECT_EQ(o.timing.callDelayMs, 10);
    EXPECT_EQ(o.timing.callTimeoutMs, 200);
    EXPECT_EQ(o.timing.reportIntervalMs, 0);
    EXPECT_EQ(o.timing.charsPerSecond[1], 500);
    EXPECT_EQ(o.timing.charsPerSecond[2], 40);
    EXPECT_EQ(o.timing.charsPerSecond[5], 500);
}

TEST(Options, BadValuesAreNamedWithWhatIsExpected) {
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases{
        {{}, "--link PATH (or --station LINK) is required"},
        {{"--log", "x.log"}, "--link PATH (or --station LINK) is required"},
        {{"--link"}, "--link needs a value"},
        {{"--link="}, "--link needs a non-empty value"},
        {{"--link", "x", "--bogus"}, "unknown option '--bogus'"},
        {{"--link", "x", "extra"}, "unknown option 'extra'"},
        {{"--link", "x", "--mirvol2000=yes"}, "--mirvol2000 takes no value"},
        {{"--link", "x", "--firmware-status", "1G"},
         "bad value '1G' for --firmware-status: expected a hexadecimal byte such as 0A, or none"},
        {{"--link", "x", "--firmware-status", "100"},
         "bad value '100' for --firmware-status: expected a hexadecimal byte such as 0A, or none"},
        {{"--link", "x", "--dsp-version", "128.1"},
         "bad value '128.1' for --dsp-version: expected MAJ.MIN with each number from 0 to 127"},
        {{"--link", "x", "--boot-version", "5"},
         "bad value '5' for --boot-version: expected MAJ.MIN with each number from 0 to 127"},
        {{"--link", "x", "--hardware", "80A"},
         "bad value '80A' for --hardware: expected four hexadecimal digits such as 800A"},
        {{"--link", "x", "--product-id", "0x2F"},
         "bad value '0x2F' for --product-id: expected four hexadecimal digits such as 800A"},
        {{"--link", "x", "--answers", "both"},
         "bad value 'both' for --answers: expected status, text or mixed"},
        {{"--station", ",hardware=800A"}, "--station needs a link path before its options"},
        {{"--station", "a,speed=9"}, "--station a: unknown station option 'speed=9'"},
        {{"--station", "a,hardware"}, "--station a: unknown station option 'hardware'"},
        {{"--station", "a,hardware=8"},
         "--station a: bad value '8' for --hardware: expected four hexadecimal digits such as "
         "800A"},
        {{"--link", "x", "--call-delay", "1.5"},
         "bad value '1.5' for --call-delay: expected milliseconds, a whole number"},
        {{"--link", "x", "--air-rate", "MIRVOL"},
         "bad value 'MIRVOL' for --air-rate: expected MODE=CPS, MODE one of MIRVOL, AMTOR, "
         "P-Mode, Baudot, ASCII or all, CPS characters a second from 1"},
        {{"--link", "x", "--air-rate", "PSK=5"},
         "bad value 'PSK=5' for --air-rate: expected MODE=CPS, MODE one of MIRVOL, AMTOR, "
         "P-Mode, Baudot, ASCII or all, CPS characters a second from 1"},
    };
    for (const auto& [args, error] : cases) {
        const ParsedOptions p = parse(args);
        EXPECT_EQ(p.outcome, ParsedOptions::Outcome::Error) << error;
        EXPECT_EQ(p.error, error);
    }
}

} // namespace
