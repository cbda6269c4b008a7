// Tarvis downloading firmware into the simulator's flash on a pseudo-terminal: from the Files
// menu and from the start-up's reload offer, through every verdict, Abort and a silent modem.
#include "firmware/FirmwarePanel.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/SimProcess.h"
#include "tests/e2e/StationHome.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

// An S-record image of `records` data lines of 16 bytes each, longer than a chunk.
QByteArray S28Image(int records) {
    QByteArray image = "S00600004844521B\r\n";
    for (int r = 0; r < records; ++r) {
        const int address = r * 16;
        QByteArray bytes;
        bytes.append(char(0x14));
        bytes.append(char(address >> 16));
        bytes.append(char(address >> 8));
        bytes.append(char(address));
        for (int i = 0; i < 16; ++i) {
            bytes.append(char((r * 7 + i * 13) & 0xFF));
        }
        int sum = 0;
        for (char b : bytes) {
            sum += static_cast<unsigned char>(b);
        }
        bytes.append(char(~sum & 0xFF));
        image += "S2" + bytes.toHex().toUpper() + "\r\n";
    }
    return image + "S804000000FB\r\n";
}

QByteArray LodImage() {
    QByteArray image = "_START QD470 0000 0000 0000\n_DATA P 0000\n";
    for (int i = 0; i < 200; ++i) {
        image += QByteArray::number(0x0C0000 + i, 16).toUpper() + " 0A0000 0B0000 0D0000\n";
    }
    return image + "_END 0000\n";
}

class FirmwareOnSimulator : public testing::Test {
protected:
    void StartSim(const QStringList& options = {}) {
        sim = std::make_unique<SimProcess>(station.Link(), station.home.path() + "/sim.log",
                                           station.home.path() + "/sim.sock", options);
        ASSERT_TRUE(sim->Ready());
    }
    Environment Env() {
        Environment env = station.MakeEnvironment();
        env.endProcess = [this](int code) { endedWith = code; };
        return env;
    }
    bool Start(TForm1& form) {
        form.CreateStartWindows();
        return form.SplashFrm()->RunSequence();
    }
    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = station.home.path() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // Files -> Load Firmware, clicked with the mouse; the download runs inside the click.
    void ClickLoadFirmware(TForm1& form) {
        QMenuBar* bar = form.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(form.mnuFiles->menuAction()).center());
        ASSERT_TRUE(WaitFor([&] { return form.mnuFiles->isVisible(); }));
        QTest::mouseClick(form.mnuFiles, Qt::LeftButton, {},
                          form.mnuFiles->actionGeometry(form.mnuFilesLoadFirmware).center());
    }
    QStringList Texts() const {
        QStringList texts;
        for (const AskedBox& b : station.dialogs.boxes) {
            texts << b.text;
        }
        return texts;
    }
    QStringList Errors() const {
        return sim->LogLines().filter(QRegularExpression(QStringLiteral("^error")));
    }
    QByteArray StoredImage() {
        const QString path = station.home.path() + "/stored.img";
        EXPECT_TRUE(sim->Control("image " + path.toStdString()).starts_with("ok image"));
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    StationHome station{"[system]\r\nComPort=1\r\n"};
    std::unique_ptr<SimProcess> sim;
    int endedWith = -1;
};

TEST_F(FirmwareOnSimulator, ImagesReachTheModemByteForByteAtTheDownloadSpeed) {
    StartSim();
    const QByteArray lod = LodImage();
    const QByteArray s28 = S28Image(150);
    station.dialogs.fileNames = {WriteFile("x.LOD", lod), WriteFile("QD470.s28", s28)};
    // Another download after the first; none after the second.
    station.dialogs.boxAnswers = {BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::Ok};
    TForm1 form(Env());
    ASSERT_TRUE(Start(form));
    std::vector<int> gauge;
    QObject::connect(form.pnlFWDownload->DownloadGauge, &QProgressBar::valueChanged,
                     [&](int v) { gauge.push_back(v); });

    // What the panel shows while the modem resets after a success.
    QStringList successShown;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        TFirmwarePanel& panel = *form.pnlFWDownload;
        if (panel.isVisible() && panel.FileNameBox->text().startsWith(QLatin1String("Success"))) {
            successShown << panel.FileNameBox->text() +
                                (panel.FileNameBox->palette().color(QPalette::WindowText) == Qt::red
                                     ? " red"
                                     : " not red") +
                                (panel.Button20->isEnabled() ? " abort" : " no abort");
        }
    });
    look.start(100);

    ClickLoadFirmware(form);

    ASSERT_FALSE(successShown.isEmpty());
    EXPECT_EQ(successShown.first(),
              QStringLiteral("Success!\n Reseting Modem. Please wait. red no abort"));
    EXPECT_FALSE(form.pnlFWDownload->isVisible());
    EXPECT_EQ(endedWith, 0);
    EXPECT_EQ(Texts(), (QStringList{"Firmware download success! Download another?",
                                    "Firmware download success! Download another?",
                                    "You must now restart Tarvis."}));
    EXPECT_EQ(StoredImage(), s28);
    ASSERT_TRUE(sim->WaitForLog(QStringLiteral("port closed by the host")));
    const QString log = sim->LogLines().join('\n');
    EXPECT_TRUE(log.contains(
        QStringLiteral("download: image of %1 bytes, type 00, flashed").arg(lod.size())));
    EXPECT_TRUE(log.contains(
        QStringLiteral("download: image of %1 bytes, type 01, flashed").arg(s28.size())));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
    // The two exchanges, each reset after its success, and the closing reset.
    const QStringList commands = sim->Commands();
    const QStringList expected = {"80 84",    "80 6A 07", "80 0F", "80 00", "80 09", "80 84",
                                  "80 6A 07", "80 0F",    "80 01", "80 09", "80 09"};
    EXPECT_EQ(commands.mid(commands.indexOf(QStringLiteral("80 6A 07")) - 1), expected);
    // The gauge moved through the image, chunk by chunk, for both images.
    ASSERT_GT(gauge.size(), 100u);
    EXPECT_NE(std::find(gauge.begin(), gauge.end(), lod.size()), gauge.end());
    EXPECT_EQ(gauge.back(), s28.size());
}

TEST_F(FirmwareOnSimulator, FailedEraseFailedVerdictAndASilentModemEachEndTheProgram) {
    struct Case {
        const char* outcome;
        QString message;
        bool resetAtEnd;
    } cases[] = {
        {"erase-fail", "Flash memory erase failed!", false},
        {"fail", "Firmware download failed!", true},
        {"no-verdict",
         "The modem did not answer with its verdict on the image within 2 seconds.\n\n"
         "The modem will be reset, and Tarvis will end.",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outcome);
        StartSim();
        station.dialogs.boxes.clear();
        station.dialogs.fileNames = {WriteFile("a.s28", S28Image(40))};
        endedWith = -1;
        ASSERT_EQ(sim->Control(std::string("download ") + c.outcome).rfind("ok", 0), 0u);
        {
            TForm1 form(Env());
            form.FirmwareLimits.verdictMs = 2000;
            ASSERT_TRUE(Start(form));
            QElapsedTimer timer;
            timer.start();
            ClickLoadFirmware(form);
            EXPECT_LT(timer.elapsed(), 10000);
            EXPECT_EQ(Texts(), QStringList{c.message});
            EXPECT_EQ(station.dialogs.boxes[0].caption, QStringLiteral("Download Error"));
            EXPECT_EQ(endedWith, 1);
        }
        const QStringList commands = sim->Commands();
        EXPECT_EQ(commands.last() == QStringLiteral("80 09"), c.resetAtEnd);
        sim.reset();
    }
}

TEST_F(FirmwareOnSimulator, AbortBetweenChunksEndsTheProgramWithTheModemReset) {
    StartSim();
    const QByteArray image = S28Image(4000);
    station.dialogs.fileNames = {WriteFile("big.s28", image)};
    TForm1 form(Env());
    ASSERT_TRUE(Start(form));
    bool clicked = false;
    QObject::connect(form.pnlFWDownload->DownloadGauge, &QProgressBar::valueChanged, [&](int v) {
        if (v > 3000 && !clicked) {
            clicked = true;
            QTest::mouseClick(form.pnlFWDownload->Button20, Qt::LeftButton);
        }
    });

    ClickLoadFirmware(form);

    EXPECT_TRUE(clicked);
    EXPECT_EQ(Texts(), QStringList{"You must now restart Tarvis."});
    EXPECT_EQ(endedWith, 0);
    ASSERT_TRUE(sim->WaitForLog(QStringLiteral("download: image broken off after")));
    const QByteArray stored = StoredImage();
    EXPECT_LT(stored.size(), image.size());
    EXPECT_TRUE(image.startsWith(stored));
    EXPECT_EQ(sim->Commands().last(), QStringLiteral("80 09"));
}

TEST_F(FirmwareOnSimulator, ACancelledFirstDialogLeavesTheProgramRunning) {
    StartSim();
    TForm1 form(Env());
    ASSERT_TRUE(Start(form));
    ClickLoadFirmware(form);
    EXPECT_TRUE(station.dialogs.boxes.empty());
    EXPECT_EQ(endedWith, -1);
    EXPECT_TRUE(form.menuBar()->isEnabled());
    EXPECT_FALSE(sim->Commands().contains(QStringLiteral("80 6A 07")));
    // Received text still reaches the receive pane.
    ASSERT_EQ(sim->Control("text HELLO").rfind("ok", 0), 0u);
    EXPECT_TRUE(WaitFor([&] { return form.reRXData->toPlainText().contains("HELLO"); }));
}

TEST_F(FirmwareOnSimulator, TheReloadOfferAtStartUpRunsTheLoaderWithoutItsFirstStep) {
    StartSim({"--firmware-status", "02"});
    const QByteArray lod = LodImage();
    station.dialogs.fileNames = {WriteFile("QD470.LOD", lod)};
    station.dialogs.boxAnswers = {BoxAnswer::Ok, BoxAnswer::No, BoxAnswer::Ok};
    {
        TForm1 form(Env());
        EXPECT_FALSE(Start(form));
    }
    EXPECT_EQ(Texts(), (QStringList{"LOD memory error!\n\nReload LOD?",
                                    "Firmware download success! Download another?",
                                    "You must now restart Tarvis."}));
    EXPECT_EQ(endedWith, 0);
    EXPECT_EQ(StoredImage(), lod);
    const QStringList commands = sim->Commands();
    EXPECT_EQ(commands.mid(commands.lastIndexOf(QStringLiteral("80 02")) + 1),
              (QStringList{"80 6A 07", "80 0F", "80 00", "80 09", "80 09"}));
    EXPECT_NE(sim->Control("state").find("firmware-status=0A"), std::string::npos);
}

TEST_F(FirmwareOnSimulator, ACancelledReloadDialogLetsTheStartUpGoOn) {
    StartSim({"--firmware-status", "04"});
    station.dialogs.boxAnswers = {BoxAnswer::Ok};
    TForm1 form(Env());
    ASSERT_TRUE(Start(form));
    EXPECT_EQ(Texts(), QStringList{"S28 memory error!\n\nReload S28?"});
    EXPECT_EQ(endedWith, -1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.identity.hardwareVersion, QStringLiteral("8004"));
}

} // namespace
