// Tarvis against the modem simulator: the configuration pages opened from the Configure menu
// and closed with each of their buttons, as the modem logs the commands and as it keeps the
// settings afterwards, in MIRVOL with transmission enabled and disabled, while linked, in
// Baudot and ASCII, and on hardware with and without a transmit gain.
#include "config/Config1.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/SimProcess.h"
#include "tests/e2e/StationHome.h"
#include "tests/support/ClickOnPage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

// The MIRVOL set-up with the defaults, as the modem logs it.
const QStringList kMirvolSetUp = {
    "80 41",    "80 46",    "80 4D",    "80 80",    "80 63 04", "80 DB",
    "80 65 01", "80 61 1E", "80 60 0A", "80 62 14", "80 68 01", "80 13 \"MYCALL\"",
    "80 51",    "80 54",    "80 56",    "80 5A",    "80 59"};

class ConfigPagesOnSimulator : public testing::Test {
protected:
    void Start(const QStringList& options, const QByteArray& ini = {}) {
        station = std::make_unique<StationHome>("[system]\r\nComPort=1\r\n" + ini);
        const QString home = station->home.path();
        sim = std::make_unique<SimProcess>(station->Link(), home + "/sim.log", home + "/sim.sock",
                                           options);
        ASSERT_TRUE(sim->Ready());
        form = std::make_unique<TForm1>(station->MakeEnvironment());
        form->CreateStartWindows();
        ASSERT_TRUE(form->SplashFrm()->RunSequence());
        // The start-up is over once the configured mode's set-up has reached the modem.
        ASSERT_TRUE(WaitFor([&] { return sim->Commands().size() >= 30; }));
        Settle();
    }
    void TearDown() override {
        if (form) {
            form->close();
            form.reset();
        }
    }
    // Waits until the transmit queue is empty and the modem's log has stopped growing.
    void Settle() {
        ASSERT_TRUE(WaitFor([&] { return form->Link().PendingTransmitCount() == 0; }));
        qsizetype count = -1;
        while (count != sim->Commands().size()) {
            count = sim->Commands().size();
            WaitFor([] { return false; }, 300);
        }
    }
    // Opens the pages from the menu; `inside` works the dialog while it is shown and closes it.
    // The commands the modem logged from the opening on.
    QStringList Run(const std::function<void(TForm2&)>& inside) {
        Settle();
        const qsizetype from = sim->Commands().size();
        station->dialogs.onModal = [inside](QDialog& dialog) {
            auto& pages = static_cast<TForm2&>(dialog);
            pages.show();
            inside(pages);
            return pages.result();
        };
        form->ConfigurationPages1->trigger();
        Settle();
        return sim->Commands().mid(from);
    }
    void Click(QAbstractButton* button) { test::ClickOnPage(*form->Form2->ConfigFolder, button); }
    void Click(const char* name) {
        auto* button = form->Form2->findChild<QAbstractButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        Click(button);
    }
    // The simulator's settings report holds every one of the values.
    void ExpectSettings(std::initializer_list<const char*> values) {
        const std::string report = sim->Control("settings");
        for (const char* value : values) {
            EXPECT_NE(report.find(std::string(" ") + value + " "), std::string::npos)
                << value << " in " << report;
        }
    }

    std::unique_ptr<StationHome> station;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TForm1> form;
};

// What every apply sends first, with listen off (MIRVOL's set-up turns it off) on hardware
// that takes a transmit gain.
const QStringList kApplyStart = {"80 67 00", "80 45", "80 48", "80 6C 01", "80 6C 28"};

TEST_F(ConfigPagesOnSimulator, MirvolWithTransmissionEnabledEachButton) {
    Start({"--hardware", "8004"});
    // Cancel: everything is applied, then the MIRVOL set-up runs again.
    EXPECT_EQ(Run([](TForm2& pages) { QTest::mouseClick(pages.Button1, Qt::LeftButton); }),
              kApplyStart + QStringList{"80 DB"} + kMirvolSetUp);

    // Apply with changes, then OK.
    const QStringList applied = Run([&](TForm2& pages) {
        Click("sysCWIDON");
        Click("sysScanControlPulse");
        Click("cfgbutFSKPOLREV");
        Click("butListenON");
        Click("butAutoBiasFast");
        pages.findChild<QLineEdit*>(QStringLiteral("edNormalRetries"))->setText("25");
        pages.TXGainCombo->setCurrentText(QStringLiteral("-12dB"));
        Click(pages.Button2);
        EXPECT_TRUE(pages.isVisible());
        Click(pages.Button3);
    });
    QStringList once = {
        "80 67 01", "80 55",    "80 58",    "80 6C 01", "80 6C 24", "80 CB",
        "80 41",    "80 46",    "80 4D",    "80 80",    "80 63 04", "80 CB",
        "80 65 02", "80 61 19", "80 60 0A", "80 62 14", "80 68 01", "80 13 \"MYCALL\"",
        "80 51",    "80 54",    "80 56",    "80 5A",    "80 59"};
    EXPECT_EQ(applied, once + once);
    ExpectSettings({"cw-id=on", "scan-control=PULSE", "fsk-polarity=REV", "tx-gain=36", "rx-gain=1",
                    "bias=FAST", "normal-retries=25"});
    EXPECT_TRUE(station->dialogs.boxes.empty());

    // Defaults: the factory values reach the modem through the apply.
    const QStringList defaults =
        Run([](TForm2& pages) { QTest::mouseClick(pages.butDefaults, Qt::LeftButton); });
    EXPECT_EQ(defaults, (QStringList{"80 67 00", "80 45", "80 58", "80 6C 01", "80 6C 24",
                                     "80 E8 44", "80 CB"} +
                         QStringList(kMirvolSetUp).replaceInStrings("80 DB", "80 CB")));
    ExpectSettings(
        {"cw-id=off", "scan-control=CONT", "bias=NORMAL", "normal-retries=30", "print-squelch=68"});
    EXPECT_EQ(form->settings.PrintSquelchSetting, 68);
}

TEST_F(ConfigPagesOnSimulator, MirvolWithTransmissionDisabledAndWhileLinked) {
    Start({"--hardware", "8004"}, "TXEnable=OFF\r\n");
    // No link and transmission disabled: the direct refresh.
    EXPECT_EQ(Run([](TForm2& pages) { QTest::mouseClick(pages.Button1, Qt::LeftButton); }),
              (kApplyStart + QStringList{"80 DB", "80 DB", "80 6C 01"}));
    EXPECT_EQ(form->bars.butMVLTXEnable->text(), QStringLiteral("TX DIS"));

    // Linked: the set-up runs again; the call signs and the link's settings are locked.
    ASSERT_EQ(sim->Control("status 20 4E 30 43 41 4C 4C 00").rfind("ok", 0), 0U);
    ASSERT_TRUE(WaitFor([&] { return form->linkStatus.linkEstablished; }));
    const QStringList linked = Run([](TForm2& pages) {
        EXPECT_FALSE(pages.edMyCall->isEnabled());
        EXPECT_FALSE(pages.butDefaults->isEnabled());
        EXPECT_FALSE(pages.BaudotRateCombo->isEnabled());
        QTest::mouseClick(pages.Button1, Qt::LeftButton);
    });
    EXPECT_EQ(linked, kApplyStart + QStringList{"80 DB"} + kMirvolSetUp);
}

TEST_F(ConfigPagesOnSimulator, BaudotAndAsciiAreBracketedBy84AndTheirSelection) {
    Start({"--hardware", "8004"}, "Code=BAUDOT\r\nTXEnable=OFF\r\n[baudot]\r\nB_TXEnable=OFF\r\n");
    const QStringList baudot = Run([&](TForm2& pages) {
        EXPECT_EQ(pages.ConfigFolder->currentWidget()->objectName(), QStringLiteral("BaudotSheet"));
        pages.findChild<QLineEdit*>(QStringLiteral("edBaudotPTTON"))->setText("35");
        Click("butBaudotCodeNo2");
        QTest::mouseClick(pages.Button1, Qt::LeftButton);
    });
    EXPECT_EQ(baudot, (QStringList{"80 84", "80 67 00", "80 45", "80 58", "80 6C 01", "80 6C 28",
                                   "80 E8 45", "80 DB", "80 5B", "80 DB", "80 6C 01", "80 D0",
                                   "80 E3 23", "80 ED 14", "80 D3", "80 5B", "80 85"}));
    ExpectSettings({"mode=Baudot", "baudot-code=No2", "ptt-on=35", "print-squelch=69"});

    // ASCII, closed with OK.
    form->mnuCodeAscii->trigger();
    const QStringList ascii =
        Run([](TForm2& pages) { QTest::mouseClick(pages.Button3, Qt::LeftButton); });
    ASSERT_GE(ascii.size(), 3);
    EXPECT_EQ(ascii.first(), QStringLiteral("80 84"));
    EXPECT_EQ(ascii.last(), QStringLiteral("80 86"));
    EXPECT_TRUE(ascii.contains(QStringLiteral("80 E8 45")));
    ExpectSettings({"mode=ASCII", "ascii-rate=110"});
}

TEST_F(ConfigPagesOnSimulator, HardwareWithoutATransmitGain) {
    Start({"--hardware", "8002"}, "RXGain=+6dB\r\n");
    const QStringList commands = Run([](TForm2& pages) {
        EXPECT_TRUE(pages.TXGainCombo->isHidden());
        EXPECT_EQ(pages.RXGainCombo->count(), 3);
        EXPECT_EQ(pages.RXGainCombo->currentText(), QStringLiteral("+6dB"));
        pages.RXGainCombo->setCurrentText(QStringLiteral("+12dB"));
        QTest::mouseClick(pages.Button1, Qt::LeftButton);
    });
    EXPECT_EQ(commands.mid(0, 5), (QStringList{"80 67 00", "80 45", "80 48", "80 6C 03", "80 DB"}));
    for (const QString& command : commands) {
        EXPECT_FALSE(command.startsWith(QLatin1String("80 6C 2"))) << command.toStdString();
    }
    ExpectSettings({"rx-gain=3"});
}

} // namespace
