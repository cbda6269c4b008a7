// The receive, transmit and dispatch threads against an in-process port.
#include "link/DisplayThread.h"
#include "link/Framing.h"
#include "link/LinkFlags.h"
#include "link/ReadCommThread.h"
#include "link/ReceiveRing.h"
#include "link/SerialPort.h"
#include "link/Twrite.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/FakeSoundCardEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace tarvis;
using tarvis::test::FakeSerialPort;

namespace {

std::vector<std::uint32_t> Drain(ReceiveRing& ring) {
    std::vector<std::uint32_t> items;
    std::uint32_t item = 0;
    while (ring.Take(item)) {
        items.push_back(item);
    }
    return items;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(ReceiveRing, WrapsAndKeepsOrder) {
    ReceiveRing ring;
    std::uint32_t item = 0;
    // Move the indices close to the end, then store across the wrap.
    for (int i = 0; i < 4090; ++i) {
        ring.Store(1);
        ASSERT_TRUE(ring.Take(item));
    }
    for (std::uint32_t i = 0; i < 20; ++i) {
        ring.Store(0x8000 + i);
    }
    EXPECT_EQ(ring.Count(), 20);
    for (std::uint32_t i = 0; i < 20; ++i) {
        ASSERT_TRUE(ring.Take(item));
        EXPECT_EQ(item, 0x8000 + i);
    }
    EXPECT_FALSE(ring.Take(item));
    EXPECT_EQ(ring.Count(), 0);

    ring.Store(7);
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    EXPECT_FALSE(ring.TakeTwo(a, b)); // one item is not a pair; nothing is taken
    ring.Store(8);
    ASSERT_TRUE(ring.TakeTwo(a, b));
    EXPECT_EQ(a, 7U);
    EXPECT_EQ(b, 8U);
    ring.Store(9);
    ring.Reset();
    EXPECT_EQ(ring.Count(), 0);
}

// A full ring keeps what it holds: the receive thread waits for room, and every byte of a
// stream far longer than the ring reaches the consumer once, in order.
TEST(ReceiveRing, FullRingWaitsForRoomAndLosesNothing) {
    ReceiveRing ring;
    for (std::uint32_t i = 0; i < ReceiveRing::kSlots; ++i) {
        ring.Store(i & 0xFF);
    }
    std::atomic<bool> stored{false};
    std::thread producer([&] {
        ring.Store(0x8001);
        stored = true;
    });
    EXPECT_FALSE(ring.WaitForItems(ReceiveRing::kSlots + 1, 50));
    EXPECT_FALSE(stored);
    std::uint32_t item = 0;
    ASSERT_TRUE(ring.Take(item));
    EXPECT_EQ(item, 0U);
    producer.join();
    EXPECT_TRUE(stored);
    EXPECT_EQ(ring.Count(), static_cast<int>(ReceiveRing::kSlots));
    // The oldest items are still there, and the waiting item came last.
    std::uint32_t last = 0;
    for (std::uint32_t i = 1; i < ReceiveRing::kSlots; ++i) {
        ASSERT_TRUE(ring.Take(item));
        ASSERT_EQ(item, i & 0xFF);
    }
    ASSERT_TRUE(ring.Take(last));
    EXPECT_EQ(last, 0x8001U);

    // A stop request ends the wait of a full ring; the item is dropped.
    for (std::uint32_t i = 0; i < ReceiveRing::kSlots; ++i) {
        ring.Store(1);
    }
    const std::atomic<bool> stop{true};
    EXPECT_FALSE(ring.Store(2, &stop));
    EXPECT_EQ(ring.Count(), static_cast<int>(ReceiveRing::kSlots));
}

TEST(ReadCommThread, StreamLongerThanTheRingArrivesWholeAndInOrder) {
    FakeSerialPort port;
    port.Open("fake");
    ReceiveFramer framer;
    ReceiveRing ring;
    ReadCommThread reader(port, framer, ring);
    std::string stream;
    for (int i = 0; i < 5 * static_cast<int>(ReceiveRing::kSlots); ++i) {
        stream.push_back(static_cast<char>('A' + i % 26));
    }
    port.Feed(stream);
    // Nobody takes anything until the ring is full.
    ASSERT_TRUE(WaitFor([&] { return ring.Count() == static_cast<int>(ReceiveRing::kSlots); }));
    std::string taken;
    ASSERT_TRUE(WaitFor([&] {
        std::uint32_t item = 0;
        while (ring.Take(item)) {
            taken.push_back(static_cast<char>(item));
        }
        return taken.size() >= stream.size();
    }));
    EXPECT_EQ(taken, stream);
    // Terminating while the ring is full does not hang.
    port.Feed(stream);
    ASSERT_TRUE(WaitFor([&] { return ring.Count() == static_cast<int>(ReceiveRing::kSlots); }));
    reader.Terminate();
}

TEST(SuspendedThreads, LeaveThePortToTheCallerUntilResumedAndStillEnd) {
    FakeSerialPort port;
    port.Open("fake");
    ReceiveFramer framer;
    ReceiveRing ring;
    std::atomic<int> ready{0};
    {
        ReadCommThread reader(port, framer, ring);
        TransmitThread transmit(port, nullptr, [&] { ++ready; });
        reader.Suspend();
        transmit.Suspend();
        EXPECT_TRUE(reader.IsSuspended());
        EXPECT_TRUE(transmit.IsSuspended());
        // Nothing is read or written behind the caller's back.
        port.Feed("AB");
        transmit.Enqueue("xy");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(ring.Count(), 0);
        EXPECT_EQ(port.InputQueueCount(), 2);
        EXPECT_EQ(port.Written(), "");

        reader.Resume();
        transmit.Resume();
        EXPECT_TRUE(WaitFor([&] { return ring.Count() == 2 && port.Written() == "xy"; }));
        EXPECT_FALSE(reader.IsSuspended());

        // Suspended again, they still end when their owner goes.
        reader.Suspend();
        transmit.Suspend();
    }
}

TEST(ReadCommThread, PairSplitAcrossReadsYieldsOneItem) {
    FakeSerialPort port;
    port.Open("fake");
    ReceiveFramer framer;
    ReceiveRing ring;
    ReadCommThread reader(port, framer, ring);
    port.Feed(std::string("A\x80", 2));
    ASSERT_TRUE(WaitFor([&] { return ring.Count() == 1; }));
    port.Feed("\x22"
              "B");
    ASSERT_TRUE(WaitFor([&] { return ring.Count() == 3; }));
    reader.Terminate();
    EXPECT_EQ(Drain(ring), (std::vector<std::uint32_t>{'A', 0x8022, 'B'}));
}

TEST(ReadCommThread, ClassifiesLineErrors) {
    struct Case {
        unsigned flags;
        const char* text;
    } cases[] = {
        {kLineErrorFraming, "FRAMING Error!"},
        {kLineErrorIO, "I/O Error!"},
        {kLineErrorOverrun, "OVERRUN Error!"},
        {kLineErrorRxOverflow, "RX BUFFER OVERFLOW Error!"},
        {kLineErrorParity, "PARITY Error!"},
        {kLineErrorTxFull, "TX BUFFER OVERFLOW Error!"},
        {kLineErrorFraming | kLineErrorParity, "UNKNOWN SERIAL Error!"},
        {kLineErrorBreak, "UNKNOWN SERIAL Error!"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(ClassifyLineError(c.flags), c.text);
    }
    FakeSerialPort port;
    port.Open("fake");
    ReceiveFramer framer;
    ReceiveRing ring;
    ReadCommThread reader(port, framer, ring);
    port.InjectLineErrors(kLineErrorOverrun);
    ASSERT_TRUE(WaitFor([&] { return reader.LineErrorCount() == 1; }));
    EXPECT_EQ(reader.LastLineError(), "OVERRUN Error!");
    EXPECT_EQ(ring.Count(), 0);
}

class TransmitFixture : public testing::Test {
protected:
    void SetUp() override { port.Open("fake"); }
    FakeSerialPort port;
    tarvis::test::FakeSoundCardEngine engine;
    std::atomic<int> txReady{0};
};

TEST_F(TransmitFixture, ShortWritesKeepTheTailInOrder) {
    port.SetWriteLimit(1);
    TransmitThread tx(port, &engine, [&] { ++txReady; });
    tx.SetWriteChunk(10);
    tx.Enqueue("ABCDEFGHIJKLMNOP");
    tx.Enqueue("QRST");
    ASSERT_TRUE(port.WaitForWritten(20));
    EXPECT_EQ(port.Written(), "ABCDEFGHIJKLMNOPQRST");
    // Each pass offered at most ten bytes and took only what the driver accepted.
    for (int size : port.WriteSizes()) {
        EXPECT_LE(size, 1);
    }
}

TEST_F(TransmitFixture, WritesInChunksOfTheWriteChunk) {
    TransmitThread tx(port, &engine, [&] { ++txReady; });
    tx.SetWriteChunk(10);
    tx.Enqueue(std::string(25, 'x'));
    ASSERT_TRUE(port.WaitForWritten(25));
    EXPECT_EQ(port.WriteSizes(), (std::vector<int>{10, 10, 5}));
}

TEST_F(TransmitFixture, PostsTxReadyWhileIdle) {
    TransmitThread tx(port, &engine, [&] { ++txReady; });
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    tx.Stop();
    // At least one post per 200 ms pass although nothing was ever queued.
    EXPECT_GE(txReady.load(), 3);
}

TEST_F(TransmitFixture, PendingCountIsTheLargerOfQueueAndDriver) {
    port.SetWriteLimit(0); // the driver takes nothing: the queue stays
    TransmitThread tx(port, &engine, [&] { ++txReady; });
    tx.Enqueue("abc");
    EXPECT_EQ(tx.PendingTransmitCount(), 3);
    port.SetOutputQueueCount(40);
    EXPECT_EQ(tx.PendingTransmitCount(), 40);
    tx.ClearTransmitQueue();
    port.SetOutputQueueCount(5); // bytes still leaving the port
    EXPECT_EQ(tx.PendingTransmitCount(), 5);
    port.SetOutputQueueCount(0);
    EXPECT_EQ(tx.PendingTransmitCount(), 0);
}

TEST_F(TransmitFixture, HoldsTheQueueWhileCtsFlowControlSaysStop) {
    port.SetCts(false, true);
    TransmitThread tx(port, &engine, [&] { ++txReady; });
    tx.Enqueue("hold");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(port.Written(), "");
    port.SetCts(true, true);
    EXPECT_TRUE(port.WaitForWritten(4));
}

TEST_F(TransmitFixture, FeedsTheSoundCardOneCharacterPerPass) {
    TransmitThread tx(port, &engine, [&] { ++txReady; });
    tx.EnqueuePsk(std::string("hi\xE9", 3));
    EXPECT_EQ(tx.PskQueueLength(), 3);
    ASSERT_TRUE(WaitFor([&] { return engine.SentCharacters().size() == 3; }));
    // Sign-extended, as the engine takes characters.
    EXPECT_EQ(engine.SentCharacters(), (std::vector<int>{'h', 'i', -23}));
    EXPECT_EQ(tx.PskQueueLength(), 0);
    EXPECT_EQ(port.Written(), ""); // nothing of it went to the modem
    const auto calls = engine.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "StartTX"), 3);
}

// Dispatch tests need an event loop on this thread for the hand-offs.
class DispatchFixture : public testing::Test, public DispatchTarget {
protected:
    void DecodeStatus(std::uint8_t code) override { log.push_back("S" + std::to_string(code)); }
    void ShowCharacter(std::uint8_t c) override { log.push_back(std::string(1, char(c))); }
    void BinaryControl(std::uint8_t c) override { log.push_back("B" + std::to_string(c)); }
    void WriteReceivedByte(std::uint8_t b) override {
        std::lock_guard lock(fileMutex);
        file.push_back(char(b));
    }
    std::string File() {
        std::lock_guard lock(fileMutex);
        return file;
    }
    ReceiveRing ring;
    LinkFlags flags;
    std::vector<std::string> log;
    std::mutex fileMutex;
    std::string file;
};

TEST_F(DispatchFixture, RoutesEachItemToItsHandlerInOrder) {
    DisplayThread display(ring, flags, *this);
    for (std::uint32_t item : {std::uint32_t('a'), 0x8020U, 1U, std::uint32_t('b')}) {
        ring.Store(item);
    }
    display.Resume();
    ASSERT_TRUE(WaitFor([&] { return log.size() == 4; }));
    EXPECT_EQ(log, (std::vector<std::string>{"a", "S32", "B1", "b"}));

    // While echoing, 01 is shown like any character.
    flags.echo = true;
    ring.Store(1);
    ASSERT_TRUE(WaitFor([&] { return log.size() == 5; }));
    EXPECT_EQ(log.back(), std::string(1, '\x01'));
    flags.echo = false;

    // While a file is being received its bytes go to the file; 00 is dropped and not counted.
    flags.receiving = true;
    for (std::uint32_t item : {std::uint32_t('x'), 0U, std::uint32_t('y')}) {
        ring.Store(item);
    }
    ASSERT_TRUE(WaitFor([&] { return File() == "xy"; }));
    EXPECT_EQ(flags.receivedCount.load(), 2);
    EXPECT_EQ(log.size(), 5U);
}

TEST_F(DispatchFixture, PausedAndSuspendedDispatchKeepItemsInOrder) {
    DisplayThread display(ring, flags, *this);
    EXPECT_TRUE(display.IsSuspended()); // created suspended
    ring.Store('1');
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.empty());

    flags.dispatchPaused = true;
    display.Resume();
    ring.Store('2');
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(ring.Count(), 2);

    flags.dispatchPaused = false;
    ASSERT_TRUE(WaitFor([&] { return log.size() == 2; }));

    // An honest suspend: nothing is handed on until Resume, then everything in order.
    display.Suspend();
    for (char c : std::string("345")) {
        ring.Store(std::uint32_t(c));
    }
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(log.size(), 2U);
    display.Resume();
    ASSERT_TRUE(WaitFor([&] { return log.size() == 5; }));
    EXPECT_EQ(log, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
}

TEST_F(DispatchFixture, SuspendWhileAHandOffWaitsKeepsThatItemFirst) {
    DisplayThread display(ring, flags, *this);
    display.Resume();
    ring.Store('a');
    ring.Store('b');
    // The thread has taken 'a' and waits for this thread to run its handler; suspend now,
    // without processing events.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    display.Suspend();
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.empty());
    display.Resume();
    ASSERT_TRUE(WaitFor([&] { return log.size() == 2; }));
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
}

TEST_F(DispatchFixture, ClearedRunningFlagDropsWhatIsWaiting) {
    DisplayThread display(ring, flags, *this);
    display.Resume();
    ring.Store('a');
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    flags.running = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.empty());
    display.Terminate();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
