// The Code menu and the five mode set-ups: the command strings in their order, the panes,
// the menus, the tool bars and the terminal state they leave.
#include "modes/ModeSetup.h"
#include "modes/TestTones.h"
#include "tests/modes/ModeStation.h"
#include "tuning/ToolWindows.h"
#include "tuning/TuneView.h"

#include <QComboBox>
#include <QDir>
#include <QStatusBar>
#include <QToolBar>

using namespace tarvis;
using namespace tarvis::test;

namespace {

using Sequence = std::vector<std::string>;

const std::string kMyCall = "80 13" + TextParameter("MYCALL");

struct ModeCase {
    const char* name;
    QAction* TForm1::*item;
    int mode;
    Sequence commands;
    std::array<const char*, 8> panes;
    QToolBar* TForm1::*toolBar;
};

// Every set-up with the configuration's defaults on hardware 8004, which takes the transmit
// gain (+0dB, code 28) after the receive gain (code 01). MIRVOL goes first and turns listen
// off for the modes after it.
const ModeCase kDefaults[] = {
    {"MIRVOL",
     &TForm1::mnuCodeMirvol,
     kModeMirvol,
     {"80 41", "80 46", "80 4D", "80 80", "80 63 80 04", "80 DB", "80 65 80 01", "80 61 80 1E",
      "80 60 80 0A", "80 62 80 14", "80 68 80 01", kMyCall, "80 51", "80 54", "80 56", "80 5A",
      "80 59"},
     {"MIRVOL", "STBY", "", "", "", "", "WORD", ""},
     &TForm1::MVLToolBar},
    {"AMTOR",
     &TForm1::mnuCodeAmtor,
     kModeAmtor,
     {"80 41",
      "80 46",
      "80 84",
      "80 81",
      "80 EC 80 08 80 4D 80 08 80 F7",
      "80 DB",
      "80 6C 80 01",
      "80 6C 80 28",
      "80 48",
      "80 59",
      "80 5A",
      "80 51",
      "80 56",
      "80 5D",
      "80 EE 80 07",
      "80 90" + TextParameter("SCALL"),
      "80 91" + TextParameter("SELCALL"),
      "80 92" + TextParameter("CQCQ"),
      "80 5B",
      "80 E0 80 32",
      "80 E1 80 0A",
      "80 E9 80 20",
      "80 EB 80 01",
      "80 C2",
      "80 C4"},
     {"AMTOR", "STBY", "", "", "", "NORM", "", ""},
     &TForm1::AmtorToolBar},
    {"P-Mode",
     &TForm1::mnuCodePMode,
     kModePMode,
     {"80 41",       "80 46",       "80 84",       "80 83",       "80 EC 80 08 80 34 80 08 80 FC",
      "80 DB",       "80 6C 80 01", "80 6C 80 28", "80 F0 80 02", "80 F1 80 1E",
      "80 F2 80 03", "80 F3 80 02", "80 F4 80 06", "80 F5 80 50", "80 F7 80 02",
      "80 F8 80 1E", "80 C9",       "80 EB 80 02", "80 59",       "80 58",
      "80 5D",       "80 5A",       "80 51",       "80 56",       "80 EE 80 07",
      "80 48",       kMyCall},
     {"P-Mode", "STBY", "", "", "", "", "", ""},
     &TForm1::PModeToolBar},
    {"Baudot",
     &TForm1::mnuCodeBaudot,
     kModeBaudot,
     {"80 41", "80 46",       "80 4D",       "80 84",       "80 EC 80 08 80 4D 80 08 80 F7",
      "80 DB", "80 6C 80 01", "80 6C 80 28", "80 E4 80 00", "80 EB 80 00",
      "80 C0", "80 E3 80 14", "80 ED 80 14", "80 5D",       "80 5A",
      "80 51", "80 56",       "80 59",       "80 D3",       "80 D1",
      "80 5B", kMyCall,       "80 5C",       "80 85"},
     {"Baudot", "45", "RX", "USOS", "SYNC", "NORM", "WORD", ""},
     &TForm1::BaudotToolBar},
    {"ASCII",
     &TForm1::mnuCodeAscii,
     kModeAscii,
     {"80 41",       "80 46",       "80 4D",       "80 84",       "80 EC 80 08 80 4D 80 08 80 F7",
      "80 DB",       "80 6C 80 01", "80 6C 80 28", "80 EB 80 00", "80 E3 80 14",
      "80 ED 80 14", "80 E5 80 05", "80 D1",       "80 5B",       "80 59",
      "80 5A",       "80 51",       "80 56",       "80 5D",       kMyCall,
      "80 86"},
     {"Ascii", "110", "RX", "", "SYNC", "NORM", "WORD", ""},
     &TForm1::AsciiToolBar},
};

class CodeMenu : public ModeStation {};

TEST_F(CodeMenu, EachModeSendsItsWholeSetUpAndShowsItsPanesAndBar) {
    Open();
    for (const ModeCase& c : kDefaults) {
        sent.clear();
        form->ConfigChanged = false;
        (form.get()->*c.item)->trigger();
        EXPECT_EQ(sent, c.commands) << c.name;
        EXPECT_EQ(form->terminal.OperatingMode, c.mode) << c.name;
        EXPECT_TRUE(form->ConfigChanged) << c.name;
        for (int pane = 0; pane < 8; ++pane) {
            EXPECT_EQ(form->StatusPaneText(pane), QLatin1String(c.panes[pane]))
                << c.name << " pane " << pane;
        }
        // Only the mode's own bar is shown, and the status bar with it.
        for (QToolBar* bar : {form->MVLToolBar, form->AmtorToolBar, form->PModeToolBar,
                              form->BaudotToolBar, form->AsciiToolBar, form->PSKToolBar}) {
            EXPECT_EQ(!bar->isHidden(), bar == form.get()->*c.toolBar)
                << c.name << " " << bar->objectName().toStdString();
        }
        EXPECT_FALSE(form->StatusBar1->isHidden()) << c.name;
        // Exactly the mode's own item is checked.
        for (QAction* item : {form->mnuCodeMirvol, form->mnuCodeAmtor, form->mnuCodePMode,
                              form->mnuCodeBaudot, form->mnuCodeAscii, form->mnuCodePSK31}) {
            EXPECT_EQ(item->isChecked(), item == form.get()->*c.item) << c.name;
        }
        EXPECT_TRUE(form->terminal.TxEnabled) << c.name;
        EXPECT_EQ(form->terminal.TextEntryMode, kTextEntryWord) << c.name;
        EXPECT_FALSE(form->terminal.CallIndexValid) << c.name;
        EXPECT_TRUE(form->mnuSpecialTest->isEnabled()) << c.name;
        const bool rtty = c.mode == kModeBaudot || c.mode == kModeAscii;
        EXPECT_EQ(form->mnuFilesSendtextfile->isEnabled(), rtty) << c.name;
        EXPECT_FALSE(form->mnuFilesSendBinaryFile->isEnabled()) << c.name;
        // The print-squelch markers only in the RTTY modes (PrintSquelchEnable is ON).
        EXPECT_EQ(!form->AmplitudeTuneFrm->PrintSquelch->isHidden(), rtty) << c.name;
    }
    EXPECT_EQ(form->bars.butMVLFEC->text(), QStringLiteral("BDCST"));
    EXPECT_EQ(form->bars.butMVLTXEnable->text(), QStringLiteral("TX EN "));
    EXPECT_EQ(form->bars.butBaudotRttyRate->text(), QStringLiteral("45"));
    EXPECT_EQ(form->bars.butAsciiRttyRate->text(), QStringLiteral("110"));
    EXPECT_EQ(form->bars.butBaudotMonitor->text(), QStringLiteral("ON"));
    EXPECT_EQ(form->bars.butBaudotMonitor->toolTip(), QStringLiteral("Toggle SYNC IDLE ON/OFF."));
    EXPECT_EQ(form->bars.butBaudotNormRev->text(), QStringLiteral("Normal"));
    EXPECT_EQ(form->bars.butAsciiNormRev->text(), QStringLiteral("Normal"));
    // The ASCII set-up last: end-of-line "CR LF"; Baudot before it left the LTRS shift.
    EXPECT_EQ(form->terminal.EndOfLineText, Bytes("\r\n"));
}

TEST_F(CodeMenu, TheOtherBranchesOfEverySetUp) {
    QDir(home.path()).mkpath(QStringLiteral("Msg"));
    WriteFile(home.path() + "/Msg/wru.txt", "AB");
    Open("[system]\r\nAFChannel=2\r\nFSKPol=REV\r\nTXEnable=OFF\r\nListen=OFF\r\nTextEntry=CHAR\r\n"
         "EndOfLine=CR\r\n"
         "[adaptive arq]\r\nAutoBias=FASTEST\r\nNormalRetry=300\r\n"
         "[amtor]\r\nA_Polarity=REV\r\nA_WRU=ON\r\nA_LetterCase=L\r\nA_EndOfLine=CR CR LF\r\n"
         "A_TextEntry=LINE\r\n"
         "[pmode]\r\nP_Huffman=OFF\r\n"
         "[baudot]\r\nB_CodeType=No2\r\nB_USOS=OFF\r\nB_SyncIdle=OFF\r\nB_Rate=300\r\n"
         "B_Polarity=REV\r\nB_TXEnable=OFF\r\n"
         "[ascii]\r\nS_Rate=300\r\nS_SyncIdle=OFF\r\nS_Polarity=REV\r\n"
         "[fsk]\r\nAMTORMark=70000\r\n",
         QStringLiteral("800C"));
    const struct {
        QAction* TForm1::*item;
        Sequence commands;
        std::array<const char*, 8> panes;
    } cases[] = {
        {&TForm1::mnuCodeMirvol,
         {"80 41", "80 46", "80 4D", "80 80", "80 63 80 02", "80 CB", "80 65 80 03", "80 61 80 2C",
          "80 60 80 0A", "80 62 80 14", "80 68 80 01", kMyCall, "80 51", "80 54", "80 56", "80 5A",
          "80 59"},
         {"MIRVOL", "STBY", "", "", "", "", "CHAR", ""}},
        // 70000 Hz goes as its low 16 bits (4464); no transmit gain on hardware 800C.
        {&TForm1::mnuCodeAmtor,
         {"80 41",
          "80 46",
          "80 84",
          "80 81",
          "80 EC 80 11 80 70 80 08 80 F7",
          "80 CB",
          "80 6C 80 01",
          "80 48",
          "80 59",
          "80 5A",
          "80 51",
          "80 56",
          "80 5D",
          "80 EE 80 07",
          "80 90" + TextParameter("SCALL"),
          "80 91" + TextParameter("SELCALL"),
          "80 92" + TextParameter("CQCQ"),
          "80 4B",
          "80 E0 80 32",
          "80 E1 80 0A",
          "80 E9 80 20",
          "80 EB 80 01",
          "80 D2",
          "80 94 80 41 80 42 80 00",
          "80 D4"},
         {"AMTOR", "STBY", "", "", "", "REV", "", ""}},
        {&TForm1::mnuCodePMode,
         {"80 41",
          "80 46",
          "80 84",
          "80 83",
          "80 EC 80 08 80 34 80 08 80 FC",
          "80 CB",
          "80 6C 80 01",
          "80 F0 80 02",
          "80 F1 80 1E",
          "80 F2 80 03",
          "80 F3 80 02",
          "80 F4 80 06",
          "80 F5 80 50",
          "80 F7 80 02",
          "80 F8 80 1E",
          "80 D9",
          "80 EB 80 02",
          "80 59",
          "80 58",
          "80 5D",
          "80 5A",
          "80 51",
          "80 56",
          "80 EE 80 07",
          "80 48",
          kMyCall},
         {"P-Mode", "STBY", "", "", "", "", "", ""}},
        {&TForm1::mnuCodeBaudot,
         {"80 41",
          "80 46",
          "80 4D",
          "80 84",
          "80 EC 80 08 80 4D 80 08 80 F7",
          "80 CB",
          "80 6C 80 01",
          "80 E4 80 00",
          "80 EB 80 00",
          "80 D0",
          "80 E3 80 14",
          "80 ED 80 14",
          "80 5D",
          "80 5A",
          "80 51",
          "80 56",
          "80 59",
          "80 C3",
          "80 C1",
          "80 4B",
          kMyCall,
          "80 5C",
          "80 85"},
         {"Baudot", "300", "RX", "", "", "REV", "WORD", ""}},
        {&TForm1::mnuCodeAscii,
         {"80 41",
          "80 46",
          "80 4D",
          "80 84",
          "80 EC 80 08 80 4D 80 08 80 F7",
          "80 CB",
          "80 6C 80 01",
          "80 EB 80 00",
          "80 E3 80 14",
          "80 ED 80 14",
          "80 E5 80 00",
          "80 C1",
          "80 4B",
          "80 59",
          "80 5A",
          "80 51",
          "80 56",
          "80 5D",
          kMyCall,
          "80 86"},
         {"Ascii", "45", "RX", "", "", "REV", "WORD", ""}},
    };
    const ModeToolBars& b = form->bars;
    for (const auto& c : cases) {
        sent.clear();
        (form.get()->*c.item)->trigger();
        const std::string name = (form.get()->*c.item)->text().toStdString();
        EXPECT_EQ(sent, c.commands) << name;
        for (int pane = 0; pane < 8; ++pane) {
            EXPECT_EQ(form->StatusPaneText(pane), QLatin1String(c.panes[pane])) << name << pane;
        }
        // The shared transmit enable decides in every mode, also after B_TXEnable.
        EXPECT_FALSE(form->terminal.TxEnabled) << name;
        if (c.item == &TForm1::mnuCodeMirvol) {
            EXPECT_EQ(form->terminal.TextEntryMode, kTextEntryChar);
            EXPECT_EQ(form->terminal.EndOfLineText, Bytes("\r"));
            EXPECT_EQ(form->terminal.ListenState, 1);
        } else if (c.item == &TForm1::mnuCodeAmtor) {
            EXPECT_EQ(form->terminal.TextEntryMode, kTextEntryLine);
            EXPECT_EQ(form->terminal.EndOfLineText, Bytes("\r\r\n"));
        }
    }
    EXPECT_EQ(b.butAmtorTXEnable->text(), QStringLiteral("TX DIS"));
    EXPECT_EQ(b.butBaudotTXEnable->text(), QStringLiteral("TX DIS"));
    EXPECT_EQ(b.butBaudotNormRev->text(), QStringLiteral("Reverse"));
    EXPECT_EQ(b.butBaudotMonitor->text(), QStringLiteral("OFF"));
    EXPECT_EQ(b.butAsciiMonitor->text(), QStringLiteral("OFF"));
    EXPECT_EQ(b.butBaudotRttyRate->text(), QStringLiteral("300"));
    EXPECT_EQ(b.butAsciiRttyRate->text(), QStringLiteral("45"));
    // An unknown Baudot rate is kept; an unknown ASCII rate becomes 45.
    EXPECT_EQ(form->settings.B_Rate, 300);
    EXPECT_EQ(form->settings.S_Rate, 45);
    EXPECT_EQ(b.butAmtorNormRev->icon().cacheKey(), b.ImageList[8].cacheKey());
    EXPECT_EQ(b.butAsciiTXEnable->icon().cacheKey(), b.ImageList[5].cacheKey());
}

TEST_F(CodeMenu, TransmitEnableIsOnlyExactlyEnAndAnythingElseIsRewrittenOff) {
    Open("[system]\r\nTXEnable=en\r\n");
    form->mnuCodeMirvol->trigger();
    EXPECT_FALSE(form->terminal.TxEnabled);
    EXPECT_EQ(form->settings.TXEnable, QStringLiteral("OFF"));
    EXPECT_EQ(form->bars.butMVLTXEnable->text(), QStringLiteral("TX DIS"));
    EXPECT_EQ(form->bars.butMVLTXEnable->icon().cacheKey(), form->bars.ImageList[5].cacheKey());

    // B_TXEnable ON shows the button enabled for a moment; TXEnable decides in the end.
    form->settings.TXEnable = QStringLiteral("EN");
    form->settings.B_TXEnable = QStringLiteral("off");
    form->mnuCodeBaudot->trigger();
    EXPECT_TRUE(form->terminal.TxEnabled);
    EXPECT_EQ(form->bars.butBaudotTXEnable->text(), QStringLiteral("TX EN "));
    EXPECT_EQ(form->bars.butBaudotTXEnable->icon().cacheKey(), form->bars.ImageList[6].cacheKey());
}

TEST_F(CodeMenu, ListenOnUntilMirvolTurnsItOff) {
    Open("[system]\r\nListen=ON\r\n");
    EXPECT_EQ(form->terminal.ListenState, 2);
    form->mnuCodeAmtor->trigger();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "80 58"), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "80 48"), 0);
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("STBY-LISTEN"));
    sent.clear();
    form->mnuCodePMode->trigger();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "80 58"), 2);
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("STBY-LISTEN"));
    form->mnuCodeMirvol->trigger();
    EXPECT_EQ(form->terminal.ListenState, 1);
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("STBY"));
    sent.clear();
    form->mnuCodeAmtor->trigger();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "80 48"), 1);
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("STBY"));
}

TEST_F(CodeMenu, MirvolOnAMirvol2000ModemAndOnAMirvolTwoModem) {
    Open("[system]\r\nAFChannel=4\r\n");
    // The configuration pages only offer the short texts; a hand-made value still is not taken.
    form->settings.EndOfLine = QStringLiteral("CR LF LTRS");
    auto toneList = [this] {
        QStringList entries;
        for (int i = 0; i < form->ToneTestBox->ToneBox->count(); ++i) {
            entries << form->ToneTestBox->ToneBox->itemText(i);
        }
        return entries;
    };
    EXPECT_EQ(toneList(), (QStringList{"Test OFF", "Single Tone Test", "Multi Tone Test"}));
    form->terminal.EndOfLineText = Bytes("\r\r\n");
    form->mnuCodeMirvol->trigger();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "80 63 80 04"), sent.end());
    EXPECT_TRUE(form->bars.butMVLMonitor->isVisible());
    EXPECT_TRUE(form->bars.butMVLMonitor->isEnabled());
    EXPECT_EQ(toneList(), (QStringList{"Test OFF", "Single Tone Test", "Four Tone Test"}));
    EXPECT_EQ(form->TuneView->DisplayIndex(), 9);
    EXPECT_EQ(form->SoundTuneFrm->windowTitle(),
              QStringLiteral("Sound Card Tune - MIRVOL-II (AF4)"));
    EXPECT_EQ(form->terminal.EndOfLineText, Bytes("\r\r\n"));

    form->identity.mirvol2000 = true;
    sent.clear();
    form->mnuCodeMirvol->trigger();
    for (const std::string& command : sent) {
        EXPECT_NE(command.substr(0, 5), "80 63");
    }
    EXPECT_FALSE(form->bars.butMVLMonitor->isVisible());
    EXPECT_FALSE(form->bars.butMVLMonitor->isEnabled());
    EXPECT_EQ(toneList(), (QStringList{"Test OFF", "Single Tone Test", "Eight Tone Test"}));
    EXPECT_EQ(form->TuneView->DisplayIndex(), 5);

    // P-Mode keeps the list the previous mode left; AMTOR has its four entries.
    form->mnuCodePMode->trigger();
    EXPECT_EQ(toneList(), (QStringList{"Test OFF", "Single Tone Test", "Eight Tone Test"}));
    form->mnuCodeAmtor->trigger();
    EXPECT_EQ(toneList(),
              (QStringList{"Test OFF", "MARK Tone Test", "SPACE Tone Test", "M/S Tone Test"}));
}

TEST_F(CodeMenu, BarsAndStatusBarFollowTheirSettings) {
    Open("[system]\r\nToolBar=OFF\r\nStatusBar=OFF\r\n");
    form->mnuCodeAmtor->trigger();
    for (QToolBar* bar : {form->MVLToolBar, form->AmtorToolBar, form->PModeToolBar,
                          form->BaudotToolBar, form->AsciiToolBar, form->PSKToolBar}) {
        EXPECT_TRUE(bar->isHidden());
    }
    EXPECT_TRUE(form->StatusBar1->isHidden());
    // Print squelch off keeps the markers hidden in RTTY too.
    form->settings.PrintSquelchEnable = QStringLiteral("OFF");
    form->mnuCodeAscii->trigger();
    EXPECT_TRUE(form->AmplitudeTuneFrm->PrintSquelch->isHidden());
    EXPECT_TRUE(form->AmplitudeTuneFrm->PrintSquelch2->isHidden());
}

TEST_F(CodeMenu, LeavingPsk31StopsTheSoundCardFirst) {
    Open();
    form->terminal.OperatingMode = kModePsk31;
    form->terminal.Psk31Transmitting = true;
    form->mnuCodeBaudot->trigger();
    ASSERT_GE(sent.size(), 2U);
    EXPECT_EQ(sent[0], "80 05");
    EXPECT_EQ(sent[1], "80 41");
    EXPECT_FALSE(form->terminal.Psk31Transmitting);
    EXPECT_NE(std::find(engine.Calls().begin(), engine.Calls().end(), "StopTX"),
              engine.Calls().end());
    // From a modem mode nothing goes before the set-up.
    sent.clear();
    form->mnuCodeAmtor->trigger();
    EXPECT_EQ(sent[0], "80 41");
}

TEST_F(CodeMenu, TheHintsOfDeMyGoToTheBarBeingSetUp) {
    Open("[callsigns]\r\nMYCALL=K1ABC\r\nHISCALL=W2XYZ\r\n");
    const ModeToolBars& b = form->bars;
    form->mnuCodeAscii->trigger();
    EXPECT_EQ(b.butAsciideMY->toolTip(), QStringLiteral("de K1ABC"));
    form->mnuCodeBaudot->trigger();
    EXPECT_EQ(b.butBaudotdeMY->toolTip(), QStringLiteral("de K1ABC"));
    EXPECT_EQ(b.butBaudotHISdeMY->toolTip(), QStringLiteral("W2XYZ de K1ABC"));
    form->mnuCodeMirvol->trigger();
    EXPECT_EQ(b.butMVLdeMY->toolTip(), QStringLiteral("de K1ABC"));
    EXPECT_EQ(b.butMVLHisDeMY->toolTip(), QStringLiteral("W2XYZ de K1ABC"));
    form->mnuCodePMode->trigger();
    EXPECT_EQ(b.butPModeHISdeMY->toolTip(), QStringLiteral("W2XYZ de K1ABC"));
}

TEST(ModeRules, RttyRatesAndTextEntry) {
    const std::pair<int, int> rates[] = {{45, 0}, {50, 1}, {57, 2}, {75, 3}, {100, 4}, {110, 5}};
    for (const auto& [rate, code] : rates) {
        std::uint8_t got = 0xFF;
        EXPECT_TRUE(RttyRateCode(rate, got));
        EXPECT_EQ(got, code) << rate;
    }
    for (int rate : {0, 44, 300, -45}) {
        std::uint8_t got = 0xFF;
        EXPECT_FALSE(RttyRateCode(rate, got));
        EXPECT_EQ(got, 0) << rate;
    }
    EXPECT_EQ(TextEntryFromSetting(QStringLiteral("char")), kTextEntryChar);
    EXPECT_EQ(TextEntryFromSetting(QStringLiteral("Word")), kTextEntryWord);
    EXPECT_EQ(TextEntryFromSetting(QStringLiteral("LINE")), kTextEntryLine);
    EXPECT_EQ(TextEntryFromSetting(QStringLiteral("")), kTextEntryLine);
}

TEST_F(CodeMenu, AMissingAnswerBackFileSkipsOnlyTheUpload) {
    Open("[amtor]\r\nA_WRU=on\r\n");
    QFile::remove(home.path() + "/Msg/wru.txt");
    form->mnuCodeAmtor->trigger();
    const auto wru = std::find(sent.begin(), sent.end(), "80 D2");
    ASSERT_NE(wru, sent.end());
    EXPECT_EQ(*(wru + 1), "80 C4");
}

TEST_F(CodeMenu, ANulEndsATextParameterSoNothingAfterItReachesTheModemAsACommand) {
    QDir(home.path()).mkpath(QStringLiteral("Msg"));
    // Bytes after the NUL would read 80 09: the modem reset.
    WriteFile(home.path() + "/Msg/wru.txt", QByteArray("A\0\x09", 3));
    Open("[amtor]\r\nA_WRU=ON\r\n");
    form->settings.MYCALL476 = QString::fromLatin1("K1\0\x09", 4);
    form->mnuCodeAmtor->trigger();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "80 94 80 41 80 00"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "80 90" + TextParameter("K1")), sent.end());
    for (const std::string& command : sent) {
        EXPECT_EQ(command.find("80 09"), std::string::npos) << command;
    }
}

} // namespace
