#include "sim/modem.h"
#include "tests/sim/TestBytes.h"

#include <gtest/gtest.h>

using namespace qd470sim;

namespace {

struct RecordingLog : LogSink {
    std::vector<std::string> lines;
    void line(std::string_view text) override { lines.emplace_back(text); }
};

// What the modem answers to `query`, in hexadecimal.
std::string answerTo(Modem& modem, const char* query) {
    modem.fromHost(hexToBytes(query));
    return hexBytes(modem.takeOutput());
}

struct StartupCase {
    const char* name;
    ModemIdentity identity;
    // Answers to 80 02, 80 76, 80 77, 80 78, 80 7B and 80 A0.
    std::array<const char*, 6> answers;
};

ModemIdentity identity(std::optional<std::uint8_t> status, Version dsp, Version cpu, Version boot,
                       std::uint16_t product, std::uint16_t hardware, bool mirvol2000,
                       AnswerForm form) {
    ModemIdentity id;
    id.firmwareStatus = status;
    id.dsp = dsp;
    id.cpu = cpu;
    id.boot = boot;
    id.productId = product;
    id.hardware = hardware;
    id.mirvol2000 = mirvol2000;
    id.answers = form;
    return id;
}

void PrintTo(const StartupCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupExchange : public ::testing::TestWithParam<StartupCase> {};

TEST_P(StartupExchange, AnswersEachQueryOnceWithTheChosenIdentity) {
    RecordingLog log;
    Modem modem(GetParam().identity, log);
    // The opening commands are not answered.
    EXPECT_EQ(answerTo(modem, "80 41 80 46 80 84"), "");
    const char* queries[] = {"80 02", "80 76", "80 77", "80 78", "80 7B", "80 A0"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(answerTo(modem, queries[i]), GetParam().answers[i]) << queries[i];
}

INSTANTIATE_TEST_SUITE_P(
    Modem, StartupExchange,
    ::testing::Values(
        StartupCase{"Defaults",
                    ModemIdentity{},
                    {"80 02 80 0A", "80 76 80 04 80 02", "80 77 80 04 80 01", "80 78 80 01 80 00",
                     "80 7B 80 00 80 2F", "80 A0 80 80 80 04"}},
        StartupCase{
            "TextItemsMirvol2000",
            identity(0x0A, {5, 3}, {12, 10}, {1, 0}, 0x002F, 0x800A, true, AnswerForm::Text),
            {"02 0A", "76 85 03", "77 0C 0A", "78 01 00", "7B 00 2F", "A0 81 80 0A"}},
        StartupCase{
            "MixedItems",
            identity(0x06, {127, 0}, {0, 127}, {99, 99}, 0x8181, 0x800B, false, AnswerForm::Mixed),
            {"80 02 06", "80 76 7F 00", "80 77 00 7F", "80 78 63 63", "80 7B 81 81 81 81",
             "80 A0 81 80 0B"}},
        StartupCase{
            "Mirvol2000WithVersionZero",
            identity(0x0C, {0, 0}, {1, 0}, {1, 0}, 0x1234, 0x8004, true, AnswerForm::Status),
            {"80 02 80 0C", "80 76 80 80 80 00", "80 77 80 01 80 00", "80 78 80 01 80 00",
             "80 7B 80 12 80 34", "80 A0 80 80 80 04"}},
        // Identification bytes that look like flow control go unescaped: the host is not yet
        // in escape mode while it reads them.
        StartupCase{
            "FlowLikeBytesBeforeEscapeMode",
            identity(0x13, {17, 17}, {19, 19}, {1, 0}, 0x9111, 0x800A, true, AnswerForm::Text),
            {"02 13", "76 91 11", "77 13 13", "78 01 00", "7B 91 11", "A0 81 80 0A"}},
        StartupCase{"NoFirmwareAnswer",
                    identity(std::nullopt, {4, 2}, {4, 1}, {1, 0}, 0x002F, 0x8004, false,
                             AnswerForm::Status),
                    {"", "80 76 80 04 80 02", "80 77 80 04 80 01", "80 78 80 01 80 00",
                     "80 7B 80 00 80 2F", "80 A0 80 80 80 04"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Modem, RepeatedFirmwareQueriesAreEachAnsweredOrNever) {
    RecordingLog log;
    Modem answering(ModemIdentity{}, log);
    EXPECT_EQ(answerTo(answering, "80 02 80 02 80 02"), "80 02 80 0A 80 02 80 0A 80 02 80 0A");
    ModemIdentity none;
    none.firmwareStatus.reset();
    Modem silentOnStatus(none, log);
    EXPECT_EQ(answerTo(silentOnStatus, "80 02 80 02 80 02"), "");
}

TEST(Modem, EscapeModeBeginsAfterTheHardwareAnswerForEscapingHardwareOnly) {
    for (const auto& [hardware, escapes] : std::vector<std::pair<std::uint16_t, bool>>{
             {0x800A, true}, {0x800B, true}, {0x8004, false}, {0x800C, false}, {0x000A, false}}) {
        RecordingLog log;
        ModemIdentity id;
        id.hardware = hardware;
        id.cpu = {17, 19};
        Modem modem(id, log);
        answerTo(modem, "80 02 80 76");
        EXPECT_FALSE(modem.escapeMode());
        EXPECT_EQ(answerTo(modem, "80 77"), "80 77 80 11 80 13");
        answerTo(modem, "80 A0");
        EXPECT_EQ(modem.escapeMode(), escapes) << std::hex << hardware;
        // After it, the same answer travels escaped on escaping hardware.
        EXPECT_EQ(answerTo(modem, "80 77"),
                  escapes ? "80 77 80 91 31 80 91 33" : "80 77 80 11 80 13");
        EXPECT_EQ(hexBytes(modem.sendText(hexToBytes("11 13 91 41"))),
                  escapes ? "91 31 91 33 91 B1 41" : "11 13 91 41");
        EXPECT_EQ(modem.sendFlow(false).has_value(), escapes);
        modem.takeOutput();
        // A new start-up exchange begins outside escape mode.
        EXPECT_EQ(answerTo(modem, "80 02"), "80 02 80 0A");
        EXPECT_FALSE(modem.escapeMode());
    }
}

TEST(Modem, SilentModemAnswersNothingButStillSendsWhatItIsTold) {
    RecordingLog log;
    Modem modem(ModemIdentity{}, log);
    modem.setSilent(true);
    EXPECT_EQ(answerTo(modem, "80 02 80 76 80 77 80 78 80 7B 80 A0"), "");
    modem.sendStatus(0x20, hexToBytes("4E 30 00"));
    modem.sendRaw(hexToBytes("80 09"));
    EXPECT_EQ(hexBytes(modem.takeOutput()), "80 20 4E 30 00 80 09");
    modem.setSilent(false);
    EXPECT_EQ(answerTo(modem, "80 02"), "80 02 80 0A");
}

TEST(Modem, StatusPayloadIsTextItems) {
    RecordingLog log;
    Modem modem(ModemIdentity{}, log);
    EXPECT_EQ(hexBytes(modem.sendStatus(0x7A, hexToBytes("80"))), "80 7A 81 80");
    modem.setEscapeMode(true);
    EXPECT_EQ(hexBytes(modem.sendStatus(0x11, hexToBytes("13 91"))), "80 91 31 91 33 91 B1");
}

TEST(Modem, LogsEveryCommandTextAndAnswerReadably) {
    RecordingLog log;
    Modem modem(ModemIdentity{}, log);
    modem.fromHost(hexToBytes("80 41 80 02 80 13 80 4D 80 59 80 43 80 41 80 4C 80 4C 80 00 "
                              "80 EC 80 04 80 FB 80 05 80 A5 48 49 0D 80 63 80 02 80 33"));
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"80 41", "80 02", "sent 80 02 80 0A", "80 13 \"MYCALL\"",
                                        "80 EC 04FB 05A5 (1275, 1445)", "text \"HI\\r\"",
                                        "80 63 02", "80 33 (unknown command)"}));
}

TEST(Modem, StateShowsIdentificationAndWhatTheHostSet) {
    RecordingLog log;
    ModemIdentity id;
    id.firmwareStatus.reset();
    id.dsp = {5, 3};
    id.mirvol2000 = true;
    id.hardware = 0x800A;
    id.answers = AnswerForm::Text;
    Modem modem(id, log);
    EXPECT_EQ(modem.stateLine(),
              "firmware-status=none dsp=5.3 cpu=4.1 boot=1.0 product-id=002F hardware=800A "
              "mirvol2000=on answers=text escape=off silent=off mode=none listen=unset "
              "mycall=\"\" commands=0 recent=[]");
    modem.fromHost(hexToBytes("80 13 80 4E 80 30 80 43 80 41 80 4C 80 4C 80 00 80 58 80 81 "
                              "80 A0"));
    modem.setSilent(true);
    EXPECT_EQ(modem.stateLine(),
              "firmware-status=none dsp=5.3 cpu=4.1 boot=1.0 product-id=002F hardware=800A "
              "mirvol2000=on answers=text escape=on silent=on mode=AMTOR listen=on "
              "mycall=\"N0CALL\" commands=4 recent=[80 13 \"N0CALL\"; 80 58; 80 81; 80 A0]");
}

TEST(Modem, StateKeepsOnlyTheMostRecentCommands) {
    RecordingLog log;
    Modem modem(ModemIdentity{}, log);
    for (int i = 0; i < 20; ++i)
        modem.fromHost(Bytes{0x80, 0x63, 0x80, static_cast<std::uint8_t>(i)});
    modem.fromHost(hexToBytes("80 48"));
    const std::string state = modem.stateLine();
    EXPECT_NE(state.find("listen=off"), std::string::npos);
    EXPECT_NE(state.find("commands=21 recent=[80 63 05; 80 63 06;"), std::string::npos) << state;
    EXPECT_TRUE(state.ends_with("80 63 13; 80 48]")) << state;
}

TEST(Version, ParsesMajorDotMinorUpTo127) {
    for (const auto& [text, major, minor] :
         std::vector<std::tuple<std::string, int, int>>{{"5.3", 5, 3},
                                                        {"12.10", 12, 10},
                                                        {"0.0", 0, 0},
                                                        {"127.127", 127, 127},
                                                        {"05.03", 5, 3}}) {
        const auto v = parseVersion(text);
        ASSERT_TRUE(v) << text;
        EXPECT_EQ(v->major, major);
        EXPECT_EQ(v->minor, minor);
    }
    for (const char* bad :
         {"128.0", "0.128", "5", "5.", ".3", "a.b", "5.3.1", "-1.2", " 5.3", "+5.3", "1000.1", ""})
        EXPECT_FALSE(parseVersion(bad)) << bad;
    EXPECT_EQ(versionText({12, 10}), "12.10");
}

} // namespace
