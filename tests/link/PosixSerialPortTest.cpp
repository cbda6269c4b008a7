// The machine's port driver through a real pseudo-terminal, and the COMn names.
#include "link/PosixSerialPort.h"
#include "link/PortNames.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace tarvis;

namespace {

class PtyFixture : public testing::Test {
protected:
    void SetUp() override {
        char name[256] = {};
        ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        device = name;
        // The test's own handle on the slave must not count as a user of the port.
        ::close(slave);
        slave = -1;
    }
    void TearDown() override {
        if (master >= 0) {
            ::close(master);
        }
    }
    int master = -1;
    int slave = -1;
    std::string device;
};

TEST_F(PtyFixture, LineSettingsAreRaw8N1WithoutFlowControl) {
    PosixSerialPort port;
    ASSERT_TRUE(port.Open(device));
    ASSERT_TRUE(port.Configure(9600));
    // Not shared: a second open of the same port fails and says why.
    PosixSerialPort second;
    EXPECT_FALSE(second.Open(device));
    EXPECT_NE(second.ErrorText().find("in use"), std::string::npos);

    // The settings as the driver holds them, read through the master side.
    termios tio{};
    ASSERT_EQ(::tcgetattr(master, &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0U);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0U);
    EXPECT_EQ(tio.c_oflag & OPOST, 0U);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0U);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    const LineControl control = port.ReadLineControl();
    EXPECT_FALSE(control.ctsOutputFlow);
    EXPECT_FALSE(control.xonXoffOutput);
    EXPECT_TRUE(port.Cts()); // no modem lines on a pseudo-terminal: output may go
    ASSERT_TRUE(port.Configure(57600));
    ASSERT_EQ(::tcgetattr(master, &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B57600));
    EXPECT_FALSE(port.Configure(1234));
}

TEST_F(PtyFixture, BytesTravelBothWaysUnchanged) {
    PosixSerialPort port;
    ASSERT_TRUE(port.Open(device));
    ASSERT_TRUE(port.Configure(9600));
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    ASSERT_EQ(port.Write(reinterpret_cast<const std::uint8_t*>(all.data()), 256), 256);
    std::string got;
    char buf[512];
    while (got.size() < 256) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        ASSERT_GT(n, 0);
        got.append(buf, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(got, all);

    EXPECT_EQ(port.WaitEvent(20), kPortEventNone);
    ASSERT_EQ(::write(master, all.data(), 256), 256);
    EXPECT_NE(port.WaitEvent(1000) & kPortEventCharReceived, 0U);
    EXPECT_EQ(port.InputQueueCount(), 256);
    std::uint8_t in[2000];
    EXPECT_EQ(port.Read(in, 2000), 256);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(in), 256), all);
    EXPECT_EQ(port.Read(in, 2000), 0);
    EXPECT_TRUE(port.WritePriority(0x87));
    ASSERT_EQ(::read(master, buf, 1), 1);
    EXPECT_EQ(static_cast<std::uint8_t>(buf[0]), 0x87);
}

TEST(PosixSerialPort, MissingDeviceIsReportedNotThrown) {
    PosixSerialPort port;
    EXPECT_FALSE(port.Open("/nonexistent/ttyS99"));
    EXPECT_NE(port.ErrorText().find("/nonexistent/ttyS99"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());
    std::uint8_t b = 0;
    EXPECT_EQ(port.Read(&b, 1), -1);
    EXPECT_EQ(port.Write(&b, 1), 0);
    EXPECT_EQ(port.WaitEvent(0), static_cast<unsigned>(kPortEventWaitFailed));
    EXPECT_FALSE(port.Open("/dev/null")); // not a serial port
}

TEST(PortNames, ComNamesMapToDevices) {
    QTemporaryDir home;
    const std::string h = home.path().toStdString();
    struct Case {
        const char* name;
        std::string device;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM32", "/dev/ttyS31"},
        {"COM33", "/dev/ttyUSB0"},
        {"COM64", "/dev/ttyUSB31"},
        {"COM65", "/dev/ttyACM0"},
        {"COM96", "/dev/ttyACM31"},
        {"COM97", ""},
        {"COM", ""},
        {"COM0", ""},
        {"COM1x", ""},
        {"LPT1", ""},
        {"COM255", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComPortDevice(h, c.name), c.device) << c.name;
    }
    // A link in the Config folder wins, even a dangling one.
    std::filesystem::create_directories(h + "/Config");
    std::filesystem::create_symlink("/dev/pts/999", h + "/Config/COM1");
    EXPECT_EQ(ComPortDevice(h, "COM1"), h + "/Config/COM1");
    EXPECT_EQ(ComPortDevice(h, "COM97"), "");
    std::filesystem::create_symlink("/dev/pts/999", h + "/Config/COM200");
    EXPECT_EQ(ComPortDevice(h, "COM200"), h + "/Config/COM200");
    EXPECT_FALSE(ComPortAvailable(h, 1));
}

TEST_F(PtyFixture, ProbeSeesAFreePortAndABusyOne) {
    QTemporaryDir home;
    const std::string h = home.path().toStdString();
    std::filesystem::create_directories(h + "/Config");
    std::filesystem::create_symlink(device, h + "/Config/COM3");
    EXPECT_TRUE(ComPortAvailable(h, 3));
    PosixSerialPort holder;
    ASSERT_TRUE(holder.Open(h + "/Config/COM3"));
    EXPECT_FALSE(ComPortAvailable(h, 3));
}

} // namespace
