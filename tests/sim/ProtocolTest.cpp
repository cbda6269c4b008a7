#include "sim/protocol.h"
#include "tests/sim/TestBytes.h"

#include <gtest/gtest.h>

using namespace qd470sim;

namespace {

std::vector<std::string> describeAll(const std::vector<HostEvent>& events) {
    std::vector<std::string> out;
    for (const auto& e : events)
        out.push_back(describe(e));
    return out;
}

struct ParseCase {
    const char* name;
    const char* input;
    std::vector<std::string> expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class HostParserCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(HostParserCases, RecognisesEachParameterForm) {
    HostParser parser;
    EXPECT_EQ(describeAll(parser.feed(hexToBytes(GetParam().input))), GetParam().expected);
    EXPECT_FALSE(parser.inCommand());
}

INSTANTIATE_TEST_SUITE_P(
    Host, HostParserCases,
    ::testing::Values(
        ParseCase{"None", "80 41 80 46 80 84 80 02", {"80 41", "80 46", "80 84", "80 02"}},
        ParseCase{"Byte", "80 63 80 02", {"80 63 02"}},
        ParseCase{"ByteZero", "80 12 80 00", {"80 12 00"}},
        ParseCase{"Text", "80 13 80 4D 80 59 80 43 80 41 80 4C 80 4C 80 00", {"80 13 \"MYCALL\""}},
        ParseCase{"EmptyText", "80 10 80 00", {"80 10 \"\""}},
        ParseCase{"WordPair", "80 EC 80 04 80 FB 80 05 80 A5", {"80 EC 04FB 05A5 (1275, 1445)"}},
        ParseCase{
            "AnswerBack", "80 94 80 44 80 45 80 0D 80 0A 80 80 80 00", {"80 94 \"DE\\r\\n\\x80\""}},
        // The prefix bytes themselves are command codes once they follow 80.
        ParseCase{"PrefixCodes", "80 80 80 81 80 00 80 01", {"80 80", "80 81", "80 00", "80 01"}},
        ParseCase{"TextAndLiterals", "48 49 81 80 81 81 0D", {"text \"HI\\x80\\x81\\r\""}},
        // 81 06 is the host's panic, not a character for the air; a bare 06 is text.
        ParseCase{
            "PanicLiteral", "48 81 06 06 49", {"text \"H\"", "panic 81 06", "text \"\\x06I\""}},
        ParseCase{"TextAroundCommand", "41 80 09 42", {"text \"A\"", "80 09", "text \"B\""}},
        ParseCase{
            "UnknownTakesNoParameters", "80 33 41", {"80 33 (unknown command)", "text \"A\""}},
        ParseCase{"TextCutOff",
                  "80 13 80 4D 59 80 41",
                  {"error: incomplete command 80 13 \"M\", cut off by 59", "text \"Y\"", "80 41"}},
        ParseCase{"EmptyTextCutOff",
                  "80 11 0D",
                  {"error: incomplete command 80 11 \"\", cut off by 0D", "text \"\\r\""}},
        ParseCase{"WordPairCutOff",
                  "80 EC 80 04 80 FB 05",
                  {"error: incomplete command 80 EC 04 FB, cut off by 05", "text \"\\x05\""}},
        ParseCase{"ByteCutOffByLiteral",
                  "80 63 81 80",
                  {"error: incomplete command 80 63, cut off by 81", "text \"\\x80\""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostParser, CommandsSurviveAnySplitOfTheStream) {
    const auto stream = hexToBytes("80 41 80 13 80 4E 80 30 80 00 80 EC 80 04 80 FB 80 05 80 A5 "
                                   "80 63 80 02 80 02");
    const std::vector<std::string> expected{"80 41", "80 13 \"N0\"", "80 EC 04FB 05A5 (1275, 1445)",
                                            "80 63 02", "80 02"};
    HostParser pieces;
    pieces.feed(hexToBytes("80"));
    EXPECT_TRUE(pieces.inCommand());
    EXPECT_EQ(describeAll(pieces.feed(hexToBytes("13 80 41"))), std::vector<std::string>{});
    EXPECT_TRUE(pieces.inCommand());
    EXPECT_EQ(describeAll(pieces.feed(hexToBytes("80 00"))),
              std::vector<std::string>{"80 13 \"A\""});
    EXPECT_FALSE(pieces.inCommand());

    for (std::size_t split = 1; split < stream.size(); ++split) {
        HostParser parser;
        auto events = parser.feed({stream.data(), split});
        const auto rest = parser.feed({stream.data() + split, stream.size() - split});
        events.insert(events.end(), rest.begin(), rest.end());
        EXPECT_EQ(describeAll(events), expected) << "split after byte " << split;
    }
}

TEST(HostParser, OverlongTextIsCutShortButStillEndsAtItsTerminator) {
    Bytes stream = hexToBytes("80 13");
    for (std::size_t i = 0; i < HostParser::kMaxTextParameter + 10; ++i) {
        stream.push_back(0x80);
        stream.push_back('A');
    }
    const Bytes tail = hexToBytes("80 00 80 41");
    stream.insert(stream.end(), tail.begin(), tail.end());
    HostParser parser;
    const auto events = parser.feed(stream);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].data.size(), HostParser::kMaxTextParameter);
    EXPECT_TRUE(events[0].truncated);
    EXPECT_TRUE(describe(events[0]).ends_with("AAA\" (cut short)"));
    EXPECT_EQ(describe(events[1]), "80 41");
}

TEST(CommandTable, KnowsTheFormOfEveryCode) {
    struct Form {
        std::uint8_t code;
        ParamForm form;
        std::uint8_t count;
    };
    for (const Form f : {Form{0x02, ParamForm::None, 0}, Form{0x00, ParamForm::None, 0},
                         Form{0x13, ParamForm::Text, 0}, Form{0x18, ParamForm::Text, 0},
                         Form{0x92, ParamForm::Text, 0}, Form{0x94, ParamForm::AnswerBack, 0},
                         Form{0x63, ParamForm::Bytes, 1}, Form{0x6A, ParamForm::Bytes, 1},
                         Form{0xF8, ParamForm::Bytes, 1}, Form{0xEC, ParamForm::WordPair, 0},
                         Form{0x87, ParamForm::None, 0}, Form{0xA0, ParamForm::None, 0}}) {
        const CommandEntry* entry = findCommand(f.code);
        ASSERT_NE(entry, nullptr) << int(f.code);
        EXPECT_EQ(entry->form, f.form) << int(f.code);
        EXPECT_EQ(entry->byteCount, f.count) << int(f.code);
    }
    for (const std::uint8_t unknown : {0x03, 0x33, 0x66, 0x93, 0xFF})
        EXPECT_EQ(findCommand(unknown), nullptr) << int(unknown);
}

// Each command, built as the host builds it, comes back whole with its own parameters.
TEST(CommandTable, EveryCommandParsesBackFromItsOwnForm) {
    for (const CommandEntry& entry : commandTable()) {
        EXPECT_EQ(findCommand(entry.code), &entry);
        Bytes params;
        switch (entry.form) {
        case ParamForm::None:
            break;
        case ParamForm::Bytes:
            params.assign(entry.byteCount, 0x80);
            break;
        case ParamForm::WordPair:
            params = {0x01, 0x02, 0x00, 0x81};
            break;
        case ParamForm::Text:
        case ParamForm::AnswerBack:
            params = {'N', 0x80, '0'};
            break;
        }
        Bytes stream{0x80, entry.code};
        for (const auto p : params) {
            stream.push_back(0x80);
            stream.push_back(p);
        }
        if (entry.form == ParamForm::Text || entry.form == ParamForm::AnswerBack)
            stream.insert(stream.end(), {0x80, 0x00});
        HostParser parser;
        const auto events = parser.feed(stream);
        ASSERT_EQ(events.size(), 1u) << int(entry.code);
        EXPECT_EQ(events[0].kind, HostEvent::Kind::Command);
        EXPECT_EQ(events[0].code, entry.code);
        EXPECT_EQ(events[0].data, params) << int(entry.code);
    }
}

struct EncodeCase {
    const char* name;
    bool escape;
    bool asStatus;
    std::uint8_t byte;
    const char* expected;
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.name;
}

class EncoderCases : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncoderCases, MarksAndEscapes) {
    const EncodeCase& c = GetParam();
    ModemEncoder encoder;
    encoder.escapeMode = c.escape;
    Bytes out;
    if (c.asStatus)
        encoder.status(c.byte, out);
    else
        encoder.text(c.byte, out);
    EXPECT_EQ(hexBytes(out), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modem, EncoderCases,
    ::testing::Values(EncodeCase{"Status", false, true, 0x20, "80 20"},
                      EncodeCase{"Text", false, false, 0x41, "41"},
                      EncodeCase{"Text80", false, false, 0x80, "81 80"},
                      EncodeCase{"Text81", false, false, 0x81, "81 81"},
                      EncodeCase{"Plain11", false, false, 0x11, "11"},
                      EncodeCase{"Plain13", false, false, 0x13, "13"},
                      EncodeCase{"Plain91", false, false, 0x91, "91"},
                      EncodeCase{"PlainStatus91", false, true, 0x91, "80 91"},
                      EncodeCase{"Escaped11", true, false, 0x11, "91 31"},
                      EncodeCase{"Escaped13", true, false, 0x13, "91 33"},
                      EncodeCase{"Escaped91", true, false, 0x91, "91 B1"},
                      EncodeCase{"EscapedStatus11", true, true, 0x11, "80 91 31"},
                      EncodeCase{"EscapedStatus91", true, true, 0x91, "80 91 B1"},
                      EncodeCase{"EscapeText80", true, false, 0x80, "81 80"},
                      EncodeCase{"EscapeText", true, false, 0x41, "41"},
                      EncodeCase{"Escape31", true, false, 0x31, "31"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encoder, FlowControlOnlyInEscapeMode) {
    ModemEncoder encoder;
    Bytes out;
    EXPECT_FALSE(encoder.flow(false, out));
    EXPECT_TRUE(out.empty());
    encoder.escapeMode = true;
    EXPECT_TRUE(encoder.flow(false, out));
    EXPECT_TRUE(encoder.flow(true, out));
    EXPECT_EQ(hexBytes(out), "13 11");
}

// The host's reading of the modem's stream, as the framing defines it: 91 x stands for
// x AND DF, bare 11 and 13 are dropped, 80 c is a status item, 81 b and other bytes are text.
std::vector<int> hostItems(const Bytes& stream, bool escape) {
    std::vector<int> items;
    int s = 0, v = 0;
    bool e = false;
    for (std::uint8_t b : stream) {
        if (escape) {
            if (e) {
                b &= 0xDF;
                e = false;
            } else if (b == 0x91) {
                e = true;
                v = s;
                s = -1;
            } else if (b == 0x11 || b == 0x13) {
                v = s;
                s = -1;
            }
        }
        if (s == -1)
            s = v;
        else if (s == 0 && b == 0x80)
            s = 1;
        else if (s == 0 && b == 0x81)
            s = 2;
        else if (s == 1) {
            items.push_back(0x8000 + b);
            s = 0;
        } else {
            items.push_back(b);
            s = 0;
        }
    }
    return items;
}

TEST(Encoder, HostRecoversEveryByteAsStatusAndAsTextInBothModes) {
    for (const bool escape : {false, true}) {
        ModemEncoder encoder;
        encoder.escapeMode = escape;
        Bytes stream;
        std::vector<int> expected;
        for (int b = 0; b < 256; ++b) {
            encoder.status(static_cast<std::uint8_t>(b), stream);
            encoder.text(static_cast<std::uint8_t>(b), stream);
            if (escape && b % 16 == 0)
                encoder.flow(b % 32 == 0, stream); // flow control between items is invisible
            expected.push_back(0x8000 + b);
            expected.push_back(b);
        }
        EXPECT_EQ(hostItems(stream, escape), expected) << "escape " << escape;
    }
}

TEST(Answers, EachFormCarriesTheSameItems) {
    ModemEncoder encoder;
    const auto encode = [&](AnswerForm form, const char* payload) {
        Bytes out;
        encodeAnswer(encoder, form, 0x76, hexToBytes(payload), out);
        return hexBytes(out);
    };
    EXPECT_EQ(encode(AnswerForm::Status, "85 03"), "80 76 80 85 80 03");
    EXPECT_EQ(encode(AnswerForm::Text, "85 03"), "76 85 03");
    EXPECT_EQ(encode(AnswerForm::Mixed, "85 03"), "80 76 85 03");
    EXPECT_EQ(encode(AnswerForm::Text, "80 81"), "76 81 80 81 81");
    EXPECT_EQ(encode(AnswerForm::Mixed, "80 0A"), "80 76 81 80 0A");
}

TEST(Readable, QuotingRoundTripsEveryByte) {
    Bytes all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<std::uint8_t>(b));
    const std::string q = quoted(all);
    ASSERT_EQ(q.front(), '"');
    ASSERT_EQ(q.back(), '"');
    std::string error;
    const auto back = unescape(std::string_view(q).substr(1, q.size() - 2), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, all);
    EXPECT_EQ(quoted(hexToBytes("4D 22 5C 0D 0A 09 7F 00")), R"("M\"\\\r\n\t\x7F\x00")");
}

TEST(Readable, BadEscapesAreRefusedWithAReason) {
    for (const auto& [text, reason] : std::vector<std::pair<std::string, std::string>>{
             {"ab\\", "a backslash ends the text"},
             {"\\x4", "\\x needs two hexadecimal digits"},
             {"\\xG0", "\\x needs two hexadecimal digits"},
             {"\\q", "unknown escape \\q"}}) {
        std::string error;
        EXPECT_FALSE(unescape(text, error)) << text;
        EXPECT_EQ(error, reason) << text;
    }
}

TEST(Readable, HexBytes) {
    for (const auto& [token, value] : std::vector<std::pair<std::string, int>>{{"80", 0x80},
                                                                               {"0a", 0x0A},
                                                                               {"F", 0x0F},
                                                                               {"0x91", 0x91},
                                                                               {"0XfF", 0xFF},
                                                                               {"", -1},
                                                                               {"100", -1},
                                                                               {"0x", -1},
                                                                               {"G1", -1},
                                                                               {"-1", -1},
                                                                               {"0x123", -1}}) {
        const auto b = parseHexByte(token);
        EXPECT_EQ(b ? int(*b) : -1, value) << token;
    }
}

} // namespace
