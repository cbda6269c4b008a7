#include "config/ConfigFile.h"
#include "config/Utils.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

namespace tarvis {
namespace {

// An odd-sized screen and odd window widths, so that every "div 2" truncates.
const ScreenContext kScreen{1365, 767, 301, 403, 505, 607, QStringLiteral("Fixedsys")};

// The file for a missing tarvis.ini on kScreen, written out by hand from the key tables.
// Lines end in LF here; the file itself has CR LF.
constexpr const char* kDefaultFile = R"([callsigns]
MYCALL=MYCALL
HISCALL=HISCALL
HISCALLLIST=HISCALL
MYCALL476=SCALL
HISCALL476=SCALL
HISCALL476LIST=SCALL
MYCALL625=SELCALL
HISCALL625=SELCALL
GROUPCALL=CQCQ

[system]
TXEnable=EN
TextEntry=WORD
EndOfLine=CR LF
ScanControl=CONT
CWID=OFF
AFChannel=4
EchoEnable=ON
Printer=OFF
PrintSquelchEnable=ON
PrintSquelchSetting=69
ComPort=
Listen=ON
RXGain=+0dB
TXGain=+0dB
FSKPol=NORM
StatusBar=ON
ToolBar=ON
Code=MIRVOL

[fec]
FECMod=BPSM
FECCodeEff=60
FECBlockSize=60

[adaptive arq]
AutoBias=NORMAL
ConnectBias=ROBUST
NormalRetry=30
RobustRetry=10
FailRetry=20
ChatCount=1

[amtor]
A_TXEnable=ON
A_TextEntry=WORD
A_Polarity=NORM
A_EndOfLine=CR LF LTRS
A_WRU=OFF
A_TimeOut=32
A_TD=10
A_CD=50
A_LetterCase=U

[pmode]
P_TXEnable=ON
P_TextEntry=WORD
P_EndOfLine=CR LF
P_CSDelay=30
P_MaxDown=6
P_MaxUp=3
P_MaxTry=2
P_MaxError=80
P_MaxARQSum=30
P_FECRepeats=2
P_Huffman=ON

[baudot]
B_TXEnable=ON
B_TextEntry=WORD
B_Polarity=NORM
B_EndOfLine=CR LF LTRS
B_SyncIdle=ON
B_USOS=ON
B_Rate=45
B_CodeType=US
B_PTTON=20
B_PTTOFF=20
RXPolaritySameAsTX=ON

[ascii]
S_TXEnable=ON
S_TextEntry=WORD
S_Polarity=NORM
S_EndOfLine=CR LF
S_SyncIdle=ON
S_Rate=110
S_PTTON=20
S_PTTOFF=20

[fsk]
AMTORMark=2125
AMTORSpace=2295
AMTORCenter=2210
AMTORShift=170
BAUDOTMark=2125
BAUDOTSpace=2295
BAUDOTCenter=2210
BAUDOTShift=170
ASCIIMark=2125
ASCIISpace=2295
ASCIICenter=2210
ASCIIShift=170
PMODEFREQ1=2100
PMODEFREQ2=2300
PMODECenter=2200
PMODEShift=200
Polarity=NORM

[psk31]
PSK31_TXEnable=ON
PSK31_TextEntry=WORD
PSK31_PTTON=20
PSK31_PTTOFF=20
PSK31_AFCEnable=OFF
PSK31_SQUELCH=69

[screen]
MainLeft=307
MainTop=188
MainWidth=750
MainHeight=390
TransmitHeight=50
AmpTune=OFF
AmpTuneLeft=532
AmpTuneTop=383
FreqTune=OFF
FreqTuneLeft=481
FreqTuneTop=383
MirvolStat=OFF
MirvolStatLeft=430
MirvolStatTop=383
SoundTune=OFF
SoundTuneLeft=379
SoundTuneTop=383
ReceiveFont=Fixedsys
ReceiveTextColor=Black
ReceiveTextSize=10
EchoTextColor=Red
ReceiveColor=White

TransmitFont=Fixedsys
TransmitTextColor=Black
TransmitTextSize=10
HighLightTextColor=Gray
TransmitColor=White

)";

QByteArray WithCrLf(QByteArray text) {
    return text.replace("\n", "\r\n");
}

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString IniPath() const { return m_dir.filePath(QStringLiteral("tarvis.ini")); }

    // Reads a file of the given content (LF line ends become CR LF) into a fresh record.
    Settings Load(const QByteArray& content, LoadResult* result = nullptr) {
        return LoadBytes(WithCrLf(content), result);
    }

    Settings LoadBytes(const QByteArray& bytes, LoadResult* result = nullptr) {
        QFile file(IniPath());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        Settings s;
        const LoadResult r = ReadConfiguration(IniPath(), s, kScreen);
        if (result != nullptr)
            *result = r;
        return s;
    }

    Settings Defaults() {
        Settings s;
        ReadConfiguration(m_dir.filePath(QStringLiteral("missing.ini")), s, kScreen);
        return s;
    }

    static bool HasLine(const QByteArray& file, const QByteArray& line) {
        return file.startsWith(line + "\r\n") || file.contains("\n" + line + "\r\n");
    }

    QTemporaryDir m_dir;
};

TEST_F(ConfigFileTest, MissingFileGivesEveryDefault) {
    Settings s;
    const LoadResult result =
        ReadConfiguration(m_dir.filePath(QStringLiteral("missing.ini")), s, kScreen);
    EXPECT_EQ(result.ListenState, 2);
    EXPECT_TRUE(result.EchoDataChecked);
    EXPECT_EQ(s.MainWidth, 750);
    EXPECT_EQ(s.MainHeight, 390);
    EXPECT_EQ(s.Code, 1);
    EXPECT_EQ(s.RXGain, 1);
    EXPECT_EQ(s.TXGain, 40);
    EXPECT_EQ(s.RXTextFontName, "Fixedsys");
    EXPECT_EQ(PortName(s), "COM");

    const QByteArray expected = WithCrLf(kDefaultFile);
    EXPECT_EQ(FormatConfiguration(s, "800A"), expected);
    EXPECT_EQ(FormatConfiguration(s, "8004"), expected);
    EXPECT_EQ(FormatConfiguration(s, "800B"), expected);
    QByteArray withoutTxGain = expected;
    withoutTxGain.replace("TXGain=+0dB\r\n", "");
    EXPECT_EQ(FormatConfiguration(s, "8000"), withoutTxGain);
    EXPECT_EQ(FormatConfiguration(s, ""), withoutTxGain);
}

TEST_F(ConfigFileTest, DefaultsFollowTheValuesReadBefore) {
    const Settings s = Load("[screen]\n"
                            "MainWidth=1000\n"
                            "MainHeight=-101\n"
                            "RXTextFontName=Courier\n");
    EXPECT_EQ(s.MainLeft, 682 - 500);
    EXPECT_EQ(s.MainTop, 383 + 50); // -101 div 2 is -50
    EXPECT_EQ(s.ReceiveFont, "Courier");

    Settings other;
    ScreenContext screen = kScreen;
    screen.transmitFontName = "Monospace";
    ReadConfiguration(IniPath(), other, screen);
    EXPECT_EQ(other.TransmitFont, "Monospace");
    EXPECT_EQ(other.ReceiveFont, "Courier");
    // RXTextFontName is read but never written.
    EXPECT_FALSE(FormatConfiguration(other, "").contains("RXTextFontName"));
    EXPECT_TRUE(HasLine(FormatConfiguration(other, ""), "ReceiveFont=Courier"));
}

struct EdgeCase {
    const char* file;    // file content, LF line ends
    const char* written; // a line the next save must hold
};

TEST_F(ConfigFileTest, HandEditedValuesAreReadAndWrittenBack) {
    const EdgeCase cases[] = {
        {"[system]\nRXGain=2\n", "RXGain=+6dB"},
        {"[system]\nRXGain=+6dB\n", "RXGain=+6dB"},
        {"[system]\nRXGain=3\n", "RXGain=+12dB"},
        {"[system]\nRXGain=-18dB\n", "RXGain=-18dB"},
        {"[system]\nStatusBar=on\n", "StatusBar=OFF"},
        {"[system]\nToolBar=OFF\n", "ToolBar=OFF"},
        {"[system]\nCode=PSK31\n", "Code=PSK31"},
        {"[system]\nCode=Baudot\n", "Code=BAUDOT"},
        {"[system]\nCode=FAX\n", "Code=MIRVOL"},
        {"[system]\nComPort=7\n", "ComPort=7"},
        {"[system]\nFSKPol=rev\n", "FSKPol=rev"},
        {"[system]\nListen=on\n", "Listen=on"},
        {"[system]\nAFChannel=007\n", "AFChannel=7"},
        {"[system]\nAFChannel=+2\n", "AFChannel=2"},
        {"[amtor]\nA_LetterCase=Lower\n", "A_LetterCase=L"},
        {"[amtor]\nA_LetterCase=\n", "A_LetterCase=U"},
        {"[callsigns]\nMYCALL=K1ABC\nMYCALL=W9XYZ\n", "MYCALL=K1ABC"},
        {"[callsigns]\nMYCALL=\n", "MYCALL="},
        {"[system]\nMYCALL=K1ABC\n", "MYCALL=MYCALL"},
        {"MYCALL=K1ABC\n[callsigns]\n", "MYCALL=MYCALL"},
        {"[SCREEN]\nfreqtune=ON\n", "FreqTune=ON"},
        {"[screen]\nEchoTextColor=red\n", "EchoTextColor=red"},
        {"[psk31]\nPSK31_AFCEnable=ON\n", "PSK31_AFCEnable=ON"},
    };
    for (const EdgeCase& c : cases) {
        const QByteArray written = FormatConfiguration(Load(c.file), "800A");
        EXPECT_TRUE(HasLine(written, c.written)) << c.file;
    }
}

TEST_F(ConfigFileTest, TransmitGainOutsideItsTableWritesNoLine) {
    Settings s = Load("[system]\nTXGain=+3dB\n");
    EXPECT_EQ(s.TXGain, 0);
    EXPECT_FALSE(FormatConfiguration(s, "800A").contains("TXGain"));

    s = Load("[system]\nTXGain=-9dB\nRXGain=loud\n");
    EXPECT_EQ(s.TXGain, 37);
    EXPECT_EQ(s.RXGain, 0);
    const QByteArray written = FormatConfiguration(s, "8004");
    EXPECT_TRUE(HasLine(written, "TXGain=-9dB"));
    EXPECT_TRUE(HasLine(written, "RXGain=+0dB"));

    // A gain text not in the table leaves the code as it was.
    s.RXGain = 27;
    s.TXGain = 33;
    ReadConfiguration(IniPath(), s, kScreen);
    EXPECT_EQ(s.RXGain, 27);
    EXPECT_EQ(s.TXGain, 37);
    for (int code : {0, 31, 41, 1}) {
        s.TXGain = code;
        EXPECT_FALSE(FormatConfiguration(s, "800A").contains("TXGain")) << code;
    }
}

TEST_F(ConfigFileTest, BroadcastStatesAreWrittenAsMirvol) {
    Settings s = Defaults();
    for (int mode : {6, 7, 8}) {
        s.Code = mode;
        EXPECT_TRUE(HasLine(FormatConfiguration(s, ""), "Code=MIRVOL")) << mode;
    }
}

TEST_F(ConfigFileTest, ListenStateAndEchoTickNeedExactOn) {
    LoadResult result;
    Load("[system]\nListen=ON\nEchoEnable=on\n", &result);
    EXPECT_EQ(result.ListenState, 2);
    EXPECT_FALSE(result.EchoDataChecked);
    Load("[system]\nListen=on\nEchoEnable=ON\n", &result);
    EXPECT_EQ(result.ListenState, 1);
    EXPECT_TRUE(result.EchoDataChecked);
    Load("[system]\nListen=\n", &result);
    EXPECT_EQ(result.ListenState, 1);
}

TEST_F(ConfigFileTest, NumbersThatAreNotDecimalTakeTheDefault) {
    const std::pair<const char*, int> cases[] = {
        {"abc", 4},
        {"12x", 4},
        {"", 4},
        {"0x10", 4},
        {"1 2", 4},
        {"99999999999", 4},
        {"2147483648", 4},
        {"-", 4},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-3", -3},
        {" 9 ", 9},
        {"\"12\"", 12},
    };
    for (const auto& [text, expected] : cases) {
        const Settings s = Load(QByteArray("[system]\nAFChannel=") + text + "\n");
        EXPECT_EQ(s.AFChannel, expected) << text;
    }
    // A window position that cannot be read is centred with the size read before it.
    const Settings s = Load("[screen]\nMainLeft=left\nMainWidth=100\nAmpTuneTop=?\n");
    EXPECT_EQ(s.MainLeft, 682 - 50);
    EXPECT_EQ(s.AmpTuneTop, 383);
}

TEST_F(ConfigFileTest, LongTextsAreCutToTheirRoom) {
    const QByteArray call(40, 'K');
    const QByteArray list(1100, 'L');
    const QByteArray font(100, 'F');
    const Settings s =
        Load("[callsigns]\nMYCALL=" + call + "\nHISCALL476=" + call + "\nHISCALLLIST=" + list +
             "\n[screen]\nRXTextFontName=" + font + "\nTransmitFont=" + font +
             "\nEchoTextColor=Fuchsiaaaa\n"
             "[system]\nTextEntry=WORDS\nComPort=" +
             list + "\n");
    EXPECT_EQ(s.MYCALL, QString(30, u'K'));
    EXPECT_EQ(s.HISCALL476, QString(15, u'K'));
    EXPECT_EQ(s.HISCALLLIST, QString(1023, u'L'));
    EXPECT_EQ(s.RXTextFontName, QString(79, u'F'));
    EXPECT_EQ(s.ReceiveFont, QString(79, u'F'));
    EXPECT_EQ(s.TransmitFont, QString(79, u'F'));
    EXPECT_EQ(s.EchoTextColor, "Fuchsia");
    EXPECT_EQ(s.TextEntry, "WORD");
    EXPECT_EQ(s.ComPort, QString(1100, u'L'));
}

TEST_F(ConfigFileTest, QuotedListItemReadsBackWithItsBlank) {
    const Settings s = Load("[callsigns]\nHISCALLLIST=W1AW,\"DL1 ABC\"\n");
    EXPECT_EQ(TextToList(s.HISCALLLIST), QStringList({"W1AW", "DL1 ABC"}));

    // A list whose first and last items are both quoted keeps its quotes through the file.
    Settings edited = Defaults();
    edited.HISCALLLIST = ListToText({"A B", "C D"});
    const Settings reread = LoadBytes(FormatConfiguration(edited, ""));
    EXPECT_EQ(TextToList(reread.HISCALLLIST), QStringList({"A B", "C D"}));
}

TEST_F(ConfigFileTest, ToolWindowFlagsAreWrittenFromTheRecord) {
    Settings s = Defaults();
    s.FreqTune = false;
    EXPECT_TRUE(HasLine(FormatConfiguration(s, ""), "FreqTune=OFF"));
    s.FreqTune = true;
    EXPECT_TRUE(HasLine(FormatConfiguration(s, ""), "FreqTune=ON"));
}

TEST_F(ConfigFileTest, ChangedValuesSurviveASaveAndARestart) {
    Settings s = Defaults();
    s.P_MaxUp = 9;
    s.PSK31_PTTOFF = 35;
    s.MYCALL = "K1ABC";
    s.MYCALL476 = " PAD ";
    s.HISCALL = "\"quoted\"";
    s.HISCALL476LIST = ListToText({"ABCD", "EF GH", "say \"x\""});
    s.TXEnable = "OFF";
    s.ComPort = "3";
    s.RXGain = 27;
    s.TXGain = 35;
    s.Code = 4;
    s.StatusBar = false;
    s.RXPolaritySameAsTX = false;
    s.PSK31_AFCEnable = true;
    s.A_LetterCase = "L";
    s.MainLeft = -20;
    s.MainTop = 5;
    s.MainWidth = 1024;
    s.MainHeight = 600;
    s.AmpTune = true;
    s.SoundTune = true;
    s.SoundTuneLeft = 11;
    s.ReceiveFont = "DejaVu Sans Mono";
    s.ReceiveTextSize = 14;
    s.TransmitColor = "Teal";
    s.AMTORMark = 1275;
    s.S_Rate = 75;
    s.GROUPCALL = QString::fromUtf8("CQ Z\xC3\xBCrich");

    const QByteArray first = FormatConfiguration(s, "800B");
    const Settings reread = LoadBytes(first);
    EXPECT_TRUE(reread == s);
    EXPECT_EQ(FormatConfiguration(reread, "800B"), first);
    EXPECT_TRUE(HasLine(first, "P_MaxUp=9"));
    EXPECT_TRUE(HasLine(first, "PSK31_PTTOFF=35"));
    EXPECT_TRUE(HasLine(first, "TXGain=-18dB"));
    EXPECT_TRUE(HasLine(first, "TransmitColor=Teal"));
}

TEST_F(ConfigFileTest, LineBreaksInATextCannotAddKeys) {
    Settings s = Defaults();
    s.MYCALL = "K1\r\n[system]\r\nTXEnable=OFF";
    const Settings reread = LoadBytes(FormatConfiguration(s, ""));
    EXPECT_EQ(reread.TXEnable, "EN");
    EXPECT_EQ(reread.MYCALL, "K1  [system]  TXEnable=OFF");
}

TEST_F(ConfigFileTest, GarbageLoadsWithDefaultsAndIsWrittenBackSound) {
    QByteArray bytes;
    bytes += QByteArray("\x00\x01\x02\xFF\xFE garbage \x80\r\n", 17);
    bytes += "[callsigns\r\n";
    bytes += "=no key\r\n";
    bytes += "[callsigns]\r\n";
    bytes += QByteArray("\xC3\x28\xA0\xA1\r\n");
    bytes += "HISCALL=" + QByteArray(100000, 'H') + "\r\n";
    bytes += QByteArray("GROUPCALL=CQ\x00\x07X\r\n", 17);
    bytes += "MYCALL=K1ABC\r\n";
    bytes += "[system]\r\nAFChannel=four\r\nPrintSquelchSetting=\xFF\xFF\r\n";
    bytes += "Code=\x01\x02\r\nRXGain=" + QByteArray(5000, '9') + "\r\n";
    bytes += "[screen]\rMainWidth=wide\rMainHeight=1e3\r";
    for (int i = 0; i < 2000; ++i)
        bytes += "random line " + QByteArray::number(i) + " [x] = = \r\n";

    const Settings s = LoadBytes(bytes);
    const Settings defaults = Defaults();
    EXPECT_EQ(s.MYCALL, "K1ABC");
    EXPECT_EQ(s.HISCALL, QString(30, u'H'));
    EXPECT_EQ(s.GROUPCALL, QString::fromUtf8(QByteArray("CQ\x00\x07X", 5)));
    EXPECT_EQ(s.AFChannel, defaults.AFChannel);
    EXPECT_EQ(s.PrintSquelchSetting, defaults.PrintSquelchSetting);
    EXPECT_EQ(s.Code, 1);
    EXPECT_EQ(s.RXGain, 0);
    EXPECT_EQ(s.MainWidth, 750);
    EXPECT_EQ(s.MainHeight, 390);
    EXPECT_EQ(s.MainLeft, defaults.MainLeft);

    // The file written back is valid UTF-8 made only of sections, key lines and blank lines,
    // and it reads back as what was loaded.
    const QByteArray written = FormatConfiguration(s, "800A");
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(written);
    EXPECT_FALSE(decoder.hasError());
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(u'\r') || line.contains(u'\n'));
        EXPECT_TRUE(line.isEmpty() || line.startsWith(u'[') || line.indexOf(u'=') > 0)
            << line.toStdString();
    }
    Settings expected = s;
    expected.RXGain = 1; // an unreadable receive gain is written as "+0dB"
    const Settings reread = LoadBytes(written);
    EXPECT_TRUE(reread == expected);
    EXPECT_EQ(FormatConfiguration(reread, "800A"), written);
}

} // namespace
} // namespace tarvis
