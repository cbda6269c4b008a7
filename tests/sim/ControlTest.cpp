#include "sim/control.h"
#include "tests/sim/TestBytes.h"

#include <gtest/gtest.h>

using namespace qd470sim;

namespace {

struct NullLog : LogSink {
    void line(std::string_view) override {}
};

struct ControlCase {
    const char* line;
    const char* reply;
    const char* sent; // what reaches the host, in hexadecimal
};

TEST(Control, EachCommandAnswersOneLineAndSendsExactlyItsBytes) {
    const std::vector<ControlCase> cases{
        {"send 80 02 0A", "ok sent 80 02 0A", "80 02 0A"},
        {"send 11 13 91", "ok sent 11 13 91", "11 13 91"}, // raw bytes are never escaped
        {"send 41\r", "ok sent 41", "41"},
        {"  send\t0x80  9 ", "ok sent 80 09", "80 09"},
        {"send", "error: send needs at least one hexadecimal byte", ""},
        {"send 80 GG 41", "error: 'GG' is not a hexadecimal byte (00 to FF)", ""},
        {"send 100", "error: '100' is not a hexadecimal byte (00 to FF)", ""},
        {"status 20 4E 30 00", "ok sent 80 20 4E 30 00", "80 20 4E 30 00"},
        {"status 7A 81", "ok sent 80 7A 81 81", "80 7A 81 81"},
        {"status 30", "ok sent 80 30", "80 30"},
        {"status", "error: status needs a status code", ""},
        {"text HI THERE\\r", "ok sent 48 49 20 54 48 45 52 45 0D", "48 49 20 54 48 45 52 45 0D"},
        {"text   x", "ok sent 20 20 78", "20 20 78"},
        {"text \\x80\\\\", "ok sent 81 80 5C", "81 80 5C"},
        {"text", "error: text needs a string", ""},
        {"text bad\\q", "error: unknown escape \\q", ""},
        {"xoff",
         "error: xoff needs escape mode (hardware 800A or 800B after the identification, or "
         "'escape on'); outside it the byte would be data",
         ""},
        {"silent", "error: silent needs on or off", ""},
        {"silent maybe", "error: silent needs on or off", ""},
        {"escape on off", "error: escape needs on or off", ""},
        {"frobnicate 1", "error: unknown command 'frobnicate' (try 'help')", ""},
        {"SEND 41", "error: unknown command 'SEND' (try 'help')", ""},
    };
    NullLog log;
    for (const ControlCase& c : cases) {
        Modem modem(ModemIdentity{}, log);
        const ControlReply reply = runControl(modem, c.line);
        EXPECT_EQ(reply.text, c.reply) << c.line;
        EXPECT_FALSE(reply.quit) << c.line;
        EXPECT_EQ(hexBytes(modem.takeOutput()), c.sent) << c.line;
    }
}

TEST(Control, SwitchesChangeTheModem) {
    NullLog log;
    Modem modem(ModemIdentity{}, log);
    EXPECT_EQ(runControl(modem, "silent on").text, "ok silent on");
    modem.fromHost(hexToBytes("80 02"));
    EXPECT_EQ(hexBytes(modem.takeOutput()), "");
    EXPECT_EQ(runControl(modem, "silent off").text, "ok silent off");
    modem.fromHost(hexToBytes("80 02"));
    EXPECT_EQ(hexBytes(modem.takeOutput()), "80 02 80 0A");

    EXPECT_EQ(runControl(modem, "escape on").text, "ok escape on");
    EXPECT_EQ(runControl(modem, "xoff").text, "ok sent 13");
    EXPECT_EQ(runControl(modem, "xon").text, "ok sent 11");
    EXPECT_EQ(runControl(modem, "text \\x11").text, "ok sent 91 31");
    EXPECT_EQ(runControl(modem, "status 91").text, "ok sent 80 91 B1");
    EXPECT_EQ(runControl(modem, "escape off").text, "ok escape off");
    EXPECT_EQ(runControl(modem, "text \\x11").text, "ok sent 11");
}

TEST(Control, StateHelpBlankAndQuit) {
    NullLog log;
    Modem modem(ModemIdentity{}, log);
    modem.fromHost(hexToBytes("80 41"));
    EXPECT_EQ(runControl(modem, "state").text, "ok " + modem.stateLine());
    EXPECT_NE(runControl(modem, "state").text.find("recent=[80 41]"), std::string::npos);
    EXPECT_EQ(runControl(modem, "help").text, controlHelp());
    EXPECT_TRUE(controlHelp().starts_with("ok "));
    const ControlReply blank = runControl(modem, "  \r");
    EXPECT_EQ(blank.text, "");
    EXPECT_FALSE(blank.quit);
    const ControlReply quit = runControl(modem, "quit");
    EXPECT_EQ(quit.text, "ok bye");
    EXPECT_TRUE(quit.quit);
}

} // namespace
