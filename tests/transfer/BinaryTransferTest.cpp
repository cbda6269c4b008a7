// The binary transfer protocol of both stations, joined back to back.
#include "tests/transfer/TransferPair.h"
#include "transfer/PklibFiles.h"
#include "transfer/ReceivedNames.h"

#include <csignal>
#include <random>
#include <sys/resource.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 g(seed);
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(g() >> 24);
    }
    return s;
}

std::string TextOf(std::size_t n) {
    std::string s;
    while (s.size() < n) {
        s += "The quick brown fox jumps over the lazy dog. 0123456789\r\n";
    }
    s.resize(n);
    return s;
}

std::string Sequence(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

} // namespace

TEST(TransferWire, DataBytesTravelEscaped) {
    EXPECT_EQ(EncodeDataByte(0x00), Sequence({0x01, 0x90}));
    EXPECT_EQ(EncodeDataByte(0x01), Sequence({0x01, 0x91}));
    EXPECT_EQ(EncodeDataByte(0x80), Sequence({0x81, 0x80}));
    EXPECT_EQ(EncodeDataByte(0x81), Sequence({0x81, 0x81}));
    EXPECT_EQ(EncodeDataByte(0x41), "A");
    EXPECT_EQ(ElapsedText(0), "00:00:00");
    EXPECT_EQ(ElapsedText(3725), "01:02:05");
    EXPECT_EQ(ElapsedText(36000), "10:00:00");
}

TEST(TransferWire, ReceivedNamesAreOnlyPlainNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"report.txt", "report.txt"},
        {"../../etc/passwd", "passwd"},
        {"..\\..\\boot.ini", "boot.ini"},
        {"C:\\DATA\\LOG.TXT", "LOG.TXT"},
        {"/abs/name.bin", "name.bin"},
        {"caf\xE9.txt", "caf\xC3\xA9.txt"},
        {"", ""},
        {".", ""},
        {"..", ""},
        {"dir/", ""},
        {"a/..", ""},
        {std::string("a\x05z", 3), ""},
        {std::string("a\nb"), ""},
        {std::string(256, 'x'), ""},
        {std::string(255, 'x'), std::string(255, 'x')},
    };
    for (const auto& [received, safe] : cases) {
        EXPECT_EQ(SafeReceivedName(received), safe) << received;
    }
}

TEST_F(TransferPairTest, FilesArriveIdenticalWithTheirMethod) {
    struct Case {
        std::string name;
        std::string data;
        std::string method;
        fs::path stored; // under B's home
    };
    const Case cases[] = {
        {"notes.txt", TextOf(20000), "PKLIB", "In/notes.txt"},
        {"noise.bin", RandomBytes(3000, 7), "NONE", "noise.bin"},
        {"edge.bin", Sequence({0x00, 0x01, 0x80, 0x81}), "NONE", "edge.bin"},
        {"empty.dat", "", "NONE", "empty.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        a->station.hostBytes.clear();
        a->xfer->SendFiles({File(c.name, c.data).string()});
        EXPECT_EQ(a->xfer->Panel().method, c.method);
        Run();
        EXPECT_EQ(ReadAll(b->home / c.stored), c.data);
        EXPECT_EQ(a->xfer->Panel().completeFail, "Complete!");
        EXPECT_EQ(b->xfer->Panel().completeFail, "Complete!");
        EXPECT_EQ(a->xfer->Panel().button, "O&K");
        EXPECT_EQ(a->xfer->Panel().bytes, std::to_string(c.data.size()));
        EXPECT_FALSE(a->xfer->Active());
        EXPECT_FALSE(b->receiving);
        EXPECT_FALSE(fs::exists(b->home / "In" / (fs::path(c.name).stem().string() + ".__$")));
        // The compressed copy is gone; the operator's file is not.
        EXPECT_TRUE(a->TemporaryFiles().empty());
        EXPECT_EQ(ReadAll(root / c.name), c.data);
        // No plain 00 of the file reaches the modem; 80 and 81 go as literals.
        const std::string& host = a->station.hostBytes;
        EXPECT_EQ(host.find('\0'), std::string::npos);
        if (c.name == "edge.bin") {
            EXPECT_NE(host.find(Sequence({0x01, 0x90, 0x01, 0x91, 0x81, 0x80, 0x81, 0x81, 0x01,
                                          0x93})),
                      std::string::npos);
        }
    }
    EXPECT_EQ(a->Log(), "11/12/2026  17:00:00\tnotes.txt\tPKLIB\t20000\tComplete\r\n"
                        "11/12/2026  17:00:00\tnoise.bin\tNONE\t3000\tComplete\r\n"
                        "11/12/2026  17:00:00\tedge.bin\tNONE\t4\tComplete\r\n"
                        "11/12/2026  17:00:00\tempty.dat\tNONE\t0\tComplete\r\n");
    EXPECT_FALSE(fs::exists(b->home / "binxfer.log"));
    EXPECT_TRUE(b->shown.empty());
}

TEST_F(TransferPairTest, HeaderAndAnswersOnTheWire) {
    a->xfer->SendFiles({File("x.bin", RandomBytes(10, 1)).string()});
    EXPECT_TRUE(a->awaitingReply);
    EXPECT_EQ(a->station.air, Sequence({0x01, 0x80}) + "x.bin" + Sequence({0x08}) + "10" +
                                  Sequence({0x08}) + "10" + Sequence({0x08}) + "NONE" +
                                  Sequence({0x02}));
    const TransferPanel& p = a->xfer->Panel();
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(p.label, "Sending Binary File");
    EXPECT_EQ(p.button, "&Abort");
    EXPECT_EQ(p.bytes, "0");
    EXPECT_EQ(p.time, "00:00:00");
    b->station.Receive(a->station.air);
    a->station.air.clear();
    b->Dispatch();
    // A new file: 01 81 00 02, the 81 going to the modem as a literal.
    EXPECT_EQ(b->station.hostBytes, Sequence({0x01, 0x81, 0x81, 0x00, 0x02}));
    EXPECT_TRUE(b->receiving);
    EXPECT_FALSE(b->station.paused);
    EXPECT_EQ(b->xfer->Panel().label, "Receiving Binary File");
    EXPECT_EQ(b->xfer->Panel().button, "&Abort Transfer");
    EXPECT_EQ(b->xfer->Panel().method, "NONE");
    a->station.Receive(b->station.air);
    b->station.air.clear();
    a->Dispatch();
    EXPECT_FALSE(a->awaitingReply);
    EXPECT_TRUE(a->sendingData);
    EXPECT_EQ(a->station.commands, std::vector<std::uint8_t>{0x59});
    EXPECT_EQ(a->station.inFlightResets, 1);
}

TEST_F(TransferPairTest, ResumeSendsOnlyWhatIsMissing) {
    const std::string data = RandomBytes(5000, 3);
    WriteAll(b->home / "In" / "big.__$", data.substr(0, 1000));
    a->xfer->SendFiles({File("big.bin", data).string()});
    Run();
    EXPECT_NE(b->station.hostBytes.find(Sequence({0x01, 0x81, 0x81}) + "1000" + Sequence({0x02})),
              std::string::npos);
    EXPECT_EQ(ReadAll(b->home / "big.bin"), data);
    EXPECT_EQ(a->xfer->SentCount(), 5000);
    // 4000 data bytes (with their escapes) crossed, not 5000.
    std::size_t dataBytes = 0;
    const std::string body = a->station.hostBytes.substr(a->station.hostBytes.find(
        Sequence({0x80, 0x59})));
    for (std::size_t i = 2; i < body.size(); ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c == 0x01 || c == 0x81) {
            ++i;
        }
        ++dataBytes;
    }
    EXPECT_EQ(dataBytes, 4000u + 1u); // and the end mark
}

TEST_F(TransferPairTest, RefusalEndsTheSelection) {
    WriteAll(b->home / "In" / "one.txt", "held");
    a->xfer->SendFiles({File("one.txt", TextOf(3000)).string(), File("two.txt", "2").string()});
    Run();
    EXPECT_EQ(b->station.hostBytes, Sequence({0x01, 0x92, 0x80, 0x59}));
    ASSERT_EQ(a->op.boxes.size(), 1u);
    EXPECT_EQ(a->op.boxes[0].text, "File already exists at receiving station");
    EXPECT_EQ(a->op.boxes[0].caption, "Transfer Failure");
    EXPECT_FALSE(a->op.boxes[0].stop);
    EXPECT_FALSE(a->xfer->Panel().visible);
    EXPECT_FALSE(a->xfer->Active());
    EXPECT_EQ(ReadAll(b->home / "In" / "one.txt"), "held");
    EXPECT_FALSE(fs::exists(b->home / "two.txt"));
    EXPECT_TRUE(a->TemporaryFiles().empty());
    // A partial file as long as the transfer is refused too.
    WriteAll(b->home / "In" / "three.__$", "xyz");
    b->station.hostBytes.clear();
    a->xfer->SendFiles({File("three.bin", "abc").string()});
    Run();
    EXPECT_EQ(b->station.hostBytes, Sequence({0x01, 0x92, 0x80, 0x59}));
}

TEST_F(TransferPairTest, ThreeFilesEachAfterThePreviousCompletes) {
    const std::string one = TextOf(4000), two = RandomBytes(100, 2), three = "3";
    a->xfer->SendFiles({File("one.txt", one).string(), File("two.bin", two).string(),
                        File("three.bin", three).string()});
    Run();
    EXPECT_EQ(ReadAll(b->home / "In" / "one.txt"), one);
    EXPECT_EQ(ReadAll(b->home / "two.bin"), two);
    EXPECT_EQ(ReadAll(b->home / "three.bin"), three);
    // Later headers come between 80 41 80 46 80 49 and 80 51 80 56, each after a 01 94.
    const std::string& host = a->station.hostBytes;
    const std::string before = Sequence({0x80, 0x41, 0x80, 0x46, 0x80, 0x49, 0x01, 0x81, 0x80});
    const auto second = host.find(before + "two.bin");
    const auto third = host.find(before + "three.bin");
    ASSERT_NE(second, std::string::npos);
    ASSERT_NE(third, std::string::npos);
    EXPECT_NE(host.find(Sequence({0x02, 0x80, 0x51, 0x80, 0x56}), second), std::string::npos);
    const std::string& answers = b->station.hostBytes;
    EXPECT_EQ(std::count(answers.begin(), answers.end(), '\x94'), 3);
    EXPECT_EQ(a->xfer->FilesRemaining(), 0);
    EXPECT_EQ(a->op.panels.back().button, "O&K");
    const std::string log = a->Log();
    EXPECT_NE(log.find("\tone.txt\tPKLIB\t4000\tComplete\r\n"), std::string::npos);
    EXPECT_NE(log.find("\tthree.bin\tNONE\t1\tComplete\r\n"), std::string::npos);
}

TEST_F(TransferPairTest, AbortFromEitherSideThenResumedRetry) {
    const std::string data = RandomBytes(2000, 5);
    const fs::path file = File("part.bin", data);
    for (TransferSide* aborter : {a.get(), b.get()}) {
        SCOPED_TRACE(aborter == a.get() ? "sender aborts" : "receiver aborts");
        a->xfer->SendFiles({file.string()});
        Run(600);
        ASSERT_TRUE(b->receiving);
        aborter->xfer->AbortClick();
        Run();
        EXPECT_FALSE(a->xfer->Active());
        EXPECT_FALSE(b->xfer->Active());
        EXPECT_FALSE(a->xfer->Panel().visible);
        EXPECT_FALSE(b->xfer->Panel().visible);
        EXPECT_EQ(aborter->station.commands.back(), 0x59);
        EXPECT_EQ(aborter->op.focusCalls, 1);
        // The operator's own file is never taken for a temporary one ("NONE" sends it).
        EXPECT_EQ(ReadAll(file), data);
        // The partial file stays for the retry.
        EXPECT_GE(fs::file_size(b->home / "In" / "part.__$"), 600u);
    }
    a->xfer->SendFiles({file.string()});
    Run();
    EXPECT_EQ(ReadAll(b->home / "part.bin"), data);
    EXPECT_LT(a->xfer->SentCount() - 0, 2001);
}

TEST_F(TransferPairTest, AbortWhileAwaitingTheAnswerEndsIt) {
    a->xfer->SendFiles({File("w.bin", "wait").string()});
    a->xfer->AbortClick();
    EXPECT_FALSE(a->awaitingReply);
    EXPECT_FALSE(a->xfer->Active());
    Run();
    EXPECT_FALSE(b->receiving);
    EXPECT_FALSE(b->xfer->Active());
}

TEST_F(TransferPairTest, ReceivedNamesStayInsideTheDownloadFolder) {
    fs::create_directories(root / "outside");
    WriteAll(root / "outside" / "victim.bin", "precious");
    const std::string text = TextOf(3000);
    // A directory part is dropped, whichever separator it uses.
    for (const std::string name : {"../../outside/evil.txt", "..\\..\\outside\\evil2.txt"}) {
        b->station.Receive(Sequence({0x01, 0x80}) + name + Sequence({0x08}) + "4" +
                           Sequence({0x08}) + "4" + Sequence({0x08}) + "NONE" + Sequence({0x02}));
        b->Dispatch();
        EXPECT_TRUE(b->receiving) << name;
        b->station.Receive("data" + Sequence({0x01, 0x93}));
        b->Dispatch();
    }
    EXPECT_EQ(ReadAll(b->home / "evil.txt"), "data");
    EXPECT_EQ(ReadAll(b->home / "evil2.txt"), "data");
    EXPECT_FALSE(fs::exists(root / "outside" / "evil.txt"));
    // A symbolic link in In/ is never followed: not as the file, not as the partial file.
    fs::create_symlink(root / "outside" / "victim.bin", b->home / "In" / "link.txt");
    fs::create_symlink(root / "outside" / "victim.bin", b->home / "In" / "other.__$");
    for (const std::string name : {"link.txt", "other.txt"}) {
        b->station.hostBytes.clear();
        b->station.Receive(Sequence({0x01, 0x80}) + name + Sequence({0x08}) + "9" +
                           Sequence({0x08}) + "9" + Sequence({0x08}) + "NONE" + Sequence({0x02}));
        b->Dispatch();
        EXPECT_FALSE(b->receiving) << name;
        EXPECT_EQ(b->station.hostBytes.substr(0, 2), Sequence({0x01, 0x92})) << name;
    }
    EXPECT_EQ(ReadAll(root / "outside" / "victim.bin"), "precious");
}

TEST_F(TransferPairTest, BadHeadersEndInAClearState) {
    const std::string s8 = Sequence({0x08}), s2 = Sequence({0x02});
    const std::string cases[] = {
        // empty, ".", "..", a control character, over-long
        s8 + "4" + s8 + "4" + s8 + "NONE" + s2,
        "." + s8 + "4" + s8 + "4" + s8 + "NONE" + s2,
        ".." + s8 + "4" + s8 + "4" + s8 + "NONE" + s2,
        "a" + Sequence({0x1B}) + "b" + s8 + "4" + s8 + "4" + s8 + "NONE" + s2,
        std::string(300, 'n') + s8 + "4" + s8 + "4" + s8 + "NONE" + s2,
        // non-numeric, negative, huge, over-long sizes
        "f" + s8 + "x4" + s8 + "4" + s8 + "NONE" + s2,
        "f" + s8 + "-4" + s8 + "4" + s8 + "NONE" + s2,
        "f" + s8 + "4" + s8 + "99999999999" + s8 + "NONE" + s2,
        "f" + s8 + "4" + s8 + std::string(30, '1') + s8 + "NONE" + s2,
        "f" + s8 + "" + s8 + "4" + s8 + "NONE" + s2,
        // missing terminators: the peer stops in the middle
        "f" + s8 + "4" + s8 + "4",
        "f",
        "",
    };
    for (const std::string& header : cases) {
        SCOPED_TRACE(testing::PrintToString(header));
        b->station.hostBytes.clear();
        b->station.Receive(Sequence({0x01, 0x80}) + header);
        b->Dispatch();
        EXPECT_EQ(b->station.hostBytes, Sequence({0x01, 0x95, 0x80, 0x59}));
        EXPECT_FALSE(b->receiving);
        EXPECT_FALSE(b->station.paused);
        EXPECT_FALSE(b->xfer->Panel().visible);
    }
    EXPECT_TRUE(fs::is_empty(b->home / "In"));
}

TEST_F(TransferPairTest, BadAcceptOffsetsFailTheSend) {
    for (const std::string offset : {"5000", "-1", "abc", "123456789012", ""}) {
        SCOPED_TRACE(offset);
        a->station.hostBytes.clear();
        const bool timesOut = offset.empty();
        a->xfer->SendFiles({File("s.bin", RandomBytes(100, 9)).string()});
        a->station.Receive(Sequence({0x01, 0x81}) + offset + (timesOut ? "" : Sequence({0x02})));
        a->Dispatch();
        EXPECT_FALSE(a->sendingData);
        EXPECT_FALSE(a->xfer->Active());
        EXPECT_EQ(a->xfer->Panel().completeFail, "Failed!");
        EXPECT_NE(a->station.hostBytes.find(Sequence({0x01, 0x96})), std::string::npos);
        EXPECT_FALSE(a->station.paused);
        a->station.air.clear();
    }
}

TEST_F(TransferPairTest, OwnEchoesAreNeverReadIntoAHeader) {
    // Status 31 ... 30 frame what the modem echoes of this station's own text.
    const std::uint32_t echoOn = 0x8031, echoOff = 0x8030;
    auto text = [&](const std::string& s) { b->station.Receive(s); };
    text(Sequence({0x01}));
    b->station.items.push_back(echoOn);
    text("zz");
    b->station.items.push_back(echoOff);
    text(Sequence({0x80}) + "ok");
    b->station.items.push_back(echoOn);
    text(Sequence({0x08, 0x02}) + "9");
    b->station.items.push_back(echoOff);
    text(".txt" + Sequence({0x08}) + "2" + Sequence({0x08}) + "2" + Sequence({0x08}) + "NONE" +
         Sequence({0x02}) + "hi" + Sequence({0x01, 0x93}));
    b->Dispatch();
    EXPECT_EQ(b->station.echoes, "zz" + Sequence({0x08, 0x02}) + "9");
    EXPECT_EQ(b->xfer->Panel().fileName, "ok.txt");
    EXPECT_EQ(ReadAll(b->home / "ok.txt"), "hi");
}

TEST_F(TransferPairTest, DecompressionNeverWritesPastTheAnnouncedSize) {
    // A small stream that unpacks to far more than its header claims.
    const fs::path bomb = File("bomb.txt", std::string(200000, 'A'));
    const fs::path packed = root / "bomb.pk";
    ASSERT_TRUE(pklibCompressFile(bomb.string(), packed.string()).ok());
    const std::string stream = ReadAll(packed);
    std::string body;
    for (const char c : stream) {
        body += EncodeDataByte(static_cast<std::uint8_t>(c));
    }
    b->station.Receive(Sequence({0x01, 0x80}) + "bomb.txt" + Sequence({0x08}) + "10" +
                       Sequence({0x08}) + std::to_string(stream.size()) + Sequence({0x08}) +
                       "PKLIB" + Sequence({0x02}) + HostUnescaped(body) + Sequence({0x01, 0x93}));
    b->Dispatch();
    EXPECT_EQ(b->station.air.substr(b->station.air.size() - 2), Sequence({0x01, 0x95}));
    EXPECT_EQ(b->xfer->Panel().completeFail, "Failed!");
    EXPECT_FALSE(fs::exists(b->home / "In" / "bomb.txt"));
    EXPECT_FALSE(fs::exists(b->home / "In" / "bomb.__$"));
}

TEST_F(TransferPairTest, FailedDecompressionLeavesNothingAndTheFileCanComeAgain) {
    const std::string broken = Sequence({0x01, 0x06}) + RandomBytes(60, 4);
    b->station.Receive(Sequence({0x01, 0x80}) + "t.txt" + Sequence({0x08}) + "500" +
                       Sequence({0x08}) + "62" + Sequence({0x08}) + "PKLIB" + Sequence({0x02}));
    b->Dispatch();
    for (const char c : broken) {
        b->station.Receive(HostUnescaped(EncodeDataByte(static_cast<std::uint8_t>(c))));
    }
    b->station.Receive(Sequence({0x01, 0x93}));
    b->Dispatch();
    EXPECT_EQ(b->xfer->Panel().completeFail, "Failed!");
    EXPECT_FALSE(fs::exists(b->home / "In" / "t.txt"));
    EXPECT_FALSE(fs::exists(b->home / "In" / "t.__$"));
    b->station.air.clear(); // answers to a sender that was never there
    const std::string text = TextOf(500);
    a->xfer->SendFiles({File("t.txt", text).string()});
    Run();
    EXPECT_EQ(ReadAll(b->home / "In" / "t.txt"), text);
    EXPECT_NE(a->Log().find("\tt.txt\tPKLIB\t500\tComplete"), std::string::npos);
}

TEST_F(TransferPairTest, MoreDataThanAnnouncedFailsAndIsNotKept) {
    b->station.Receive(Sequence({0x01, 0x80}) + "m.bin" + Sequence({0x08}) + "3" +
                       Sequence({0x08}) + "3" + Sequence({0x08}) + "NONE" + Sequence({0x02}) +
                       "abcdefgh" + Sequence({0x01, 0x93}));
    b->Dispatch();
    EXPECT_EQ(b->station.air.substr(b->station.air.size() - 2), Sequence({0x01, 0x95}));
    EXPECT_FALSE(fs::exists(b->home / "m.bin"));
    EXPECT_FALSE(fs::exists(b->home / "In" / "m.__$"));
    ASSERT_FALSE(b->op.boxes.empty());
    EXPECT_NE(b->op.boxes.back().text.find("longer than announced"), std::string::npos);
}

TEST_F(TransferPairTest, TheUncompressedMoveNeverReplacesAFile) {
    WriteAll(b->home / "keep.bin", "mine");
    a->xfer->SendFiles({File("keep.bin", RandomBytes(50, 8)).string()});
    Run();
    EXPECT_EQ(ReadAll(b->home / "keep.bin"), "mine");
    EXPECT_EQ(a->xfer->Panel().completeFail, "Failed!");
    EXPECT_NE(a->Log().find("\tkeep.bin\tNONE\t50\tFailed\r\n"), std::string::npos);
    ASSERT_FALSE(b->op.boxes.empty());
    EXPECT_NE(b->op.boxes.back().text.find("keep.__$"), std::string::npos);
    EXPECT_EQ(fs::file_size(b->home / "In" / "keep.__$"), 50u);
}

TEST_F(TransferPairTest, ConfirmingTheProposedPathKeepsTheFile) {
    b->op.saveAnswer = "=";
    const std::string text = TextOf(5000);
    a->xfer->SendFiles({File("doc.txt", text).string()});
    Run();
    ASSERT_EQ(b->op.saveProposals.size(), 1u);
    EXPECT_EQ(b->op.saveProposals[0], (b->home / "In" / "doc.txt").string());
    EXPECT_EQ(ReadAll(b->home / "In" / "doc.txt"), text);
    // Another path: the file moves there.
    b->op.saveAnswer = (root / "saved.bin").string();
    const std::string data = RandomBytes(80, 6);
    a->xfer->SendFiles({File("raw.bin", data).string()});
    Run();
    EXPECT_EQ(ReadAll(root / "saved.bin"), data);
    EXPECT_FALSE(fs::exists(b->home / "raw.bin"));
}

TEST_F(TransferPairTest, UnwritableDownloadFolderIsReportedToBoth) {
    fs::remove_all(b->home / "In");
    WriteAll(b->home / "In", "not a folder");
    a->xfer->SendFiles({File("u.bin", "data").string()});
    Run();
    EXPECT_EQ(a->xfer->Panel().completeFail, "Failed!");
    EXPECT_FALSE(a->xfer->Active());
    ASSERT_EQ(b->op.boxes.size(), 1u);
    EXPECT_NE(b->op.boxes[0].text.find("Cannot write"), std::string::npos);
}

TEST_F(TransferPairTest, DiskFullFailsTheTransferAndLeavesNoPartialFile) {
    a->xfer->SendFiles({File("full.bin", RandomBytes(20000, 11)).string()});
    // Files may not grow past 4 kB while the data arrives.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    Run();
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(a->xfer->Panel().completeFail, "Failed!");
    EXPECT_FALSE(fs::exists(b->home / "In" / "full.__$"));
    EXPECT_FALSE(fs::exists(b->home / "full.bin"));
    ASSERT_FALSE(b->op.boxes.empty());
    EXPECT_NE(b->op.boxes.back().text.find("Cannot write"), std::string::npos);
}

TEST_F(TransferPairTest, OtherCodesAreConsumedWithTheirSoh) {
    b->station.Receive(Sequence({0x01, 0x83, 0x01, 0x97, 0x01, 0x42}) + "text");
    b->Dispatch();
    EXPECT_EQ(b->shown, "text");
    EXPECT_TRUE(b->station.air.empty());
}
