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
    };
    for (const auto& [args, error] : cases) {
        const ParsedOptions p = parse(args);
        EXPECT_EQ(p.outcome, ParsedOptions::Outcome::Error) << error;
        EXPECT_EQ(p.error, error);
    }
}

} // namespace
