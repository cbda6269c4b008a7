#include "tuning/Mirvolstat.h"
#include "tests/support/ScriptedDialogs.h"
#include "tuning/ToolWindows.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <map>

namespace tarvis {
namespace {

using Record = StatisticsRecord;
using Modulation = ModulationRecord;

// Local S/N 37, frequency FD, throughput 80, phase 8A, error correction 101; remote S/N C8,
// frequency 05, throughput 32, phase 7, error correction FF.
constexpr Record kFirst = {0x11, 37,   0x00, 0xFD, 80, 0x8A, 101,
                           0x00, 0xC8, 0x00, 0x05, 32, 7,    0xFF};
constexpr Record kSecond = {0, 0x10, 0, 0x03, 100, 0, 0, 0, 0xFE, 0, 0xF6, 1, 2, 3};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

TEST(StatisticsUpdate, WritesTheBoxesAndMovesThePointer) {
    TMirvolStatisticsFrm form(nullptr);
    TFrequencyTuneFrm tune(nullptr);
    StatisticsUpdate(form, tune, kFirst);

    EXPECT_EQ(form.MySNRBox->text(), "18");
    EXPECT_EQ(form.MyFreqBox->text(), "-3");
    EXPECT_EQ(form.MyTPUTBox->text(), "80");
    EXPECT_EQ(form.MyPHSBox->text(), "138");
    EXPECT_EQ(form.MyECCBox->text(), "XX");
    EXPECT_EQ(form.HisSNRBox->text(), "100");
    EXPECT_EQ(form.HisFreqBox->text(), "5");
    EXPECT_EQ(form.HisTPUTBox->text(), "32");
    EXPECT_EQ(form.HisPHSBox->text(), "7");
    EXPECT_EQ(form.HisECCBox->text(), "XX");
    // Remote offset +5: right of centre, yellow.
    EXPECT_EQ(tune.FreqPointer->x(), 123);
    EXPECT_EQ(tune.PointerColour(), QColor(255, 255, 0));

    Record edge = kFirst;
    edge[6] = 100;
    edge[10] = 0xFD;
    StatisticsUpdate(form, tune, edge);
    EXPECT_EQ(form.MyECCBox->text(), "100");
    EXPECT_EQ(tune.FreqPointer->x(), 107);
    EXPECT_EQ(tune.PointerColour(), QColor(0, 255, 0));
    edge[10] = static_cast<std::uint8_t>(-50);
    StatisticsUpdate(form, tune, edge);
    EXPECT_EQ(tune.FreqPointer->x(), 43);
    EXPECT_EQ(tune.PointerColour(), QColor(255, 0, 0));
}

TEST(ModulationUpdate, NamesTheModulationsAndKeepsTheFastestBias) {
    TMirvolStatisticsFrm form(nullptr);
    StatisticsState state;
    const auto report = [&](int local, int remote, int bias, bool linked) {
        return ModulationUpdate(form, state,
                                {static_cast<std::uint8_t>(local << 2 | 3), 0xFF,
                                 static_cast<std::uint8_t>(remote << 2 | bias), 0xFF},
                                linked);
    };
    const char* names[] = {"",     "CWID", "2DFSM", "4DPSM", "FSM",   "2DPSM",
                           "BPSM", "QPSM", "8PSM",  "8P2A",  "16PSM", "16P4A"};
    for (int code = 0; code <= 11; ++code) {
        report(code, 11 - code, 0, true);
        EXPECT_EQ(form.MyModBox->text(), names[code]) << code;
        EXPECT_EQ(form.HisModBox->text(), names[11 - code]) << code;
    }
    report(7, 8, 0, true);
    for (int code = 12; code <= 15; ++code) {
        report(code, code, 0, true);
        EXPECT_EQ(form.MyModBox->text(), "QPSM") << "code " << code << " leaves the box";
        EXPECT_EQ(form.HisModBox->text(), "8PSM") << "code " << code << " leaves the box";
    }

    EXPECT_EQ(report(6, 6, 0, true), QStringLiteral("ROBUST"));
    EXPECT_EQ(report(6, 6, 1, true), QStringLiteral("NORMAL"));
    EXPECT_EQ(report(6, 6, 2, false), std::nullopt) << "no link, no bias pane";
    EXPECT_EQ(state.fastestBias, 2);
    // A later link that stays robust still shows the fastest bias reached.
    EXPECT_EQ(report(6, 6, 0, true), QStringLiteral("FAST"));
    EXPECT_EQ(report(6, 6, 3, true), QStringLiteral("FAST")) << "code 3 names no bias";
}

// The statistics file as a status decoder drives it: the panel, then 72 and 75 reports.
class StatisticsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        box = std::make_unique<TStatsBox>(
            &mainWindow, state, dialogs, HomeFolder(),
            TStatsBox::Links{&save, &stop, &transmitPane,
                             [this](int pane, const QString& text) { panes[pane] = text; }});
        stop.setEnabled(false);
        mainWindow.resize(750, 390);
    }
    QString HomeFolder() const { return home.path() + QLatin1Char('/'); }
    // As the status decoder does: the record is kept, then the window's update runs.
    void Statistics(const Record& record) {
        statistics = record;
        StatisticsUpdate(form, tune, statistics);
    }
    void ModulationReport(const Modulation& record, const QTime& time, int mode = 1,
                          bool linked = true) {
        modulation = record;
        ModulationUpdate(form, state, modulation, linked);
        if (state.saving) {
            WriteStatisticsLines(state, statistics, modulation, HomeFolder(), mode, linked,
                                 "MYCALL", "HISCALL", time);
        }
    }
    void StartSaving() {
        box->mnuFilesSaveStatisticsClick(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 59)));
    }

    QTemporaryDir home;
    QWidget mainWindow;
    QTextEdit transmitPane;
    QAction save{QStringLiteral("Save statistics to &disk...")};
    QAction stop{QStringLiteral("S&top disk save/send")};
    std::map<int, QString> panes;
    test::ScriptedDialogs dialogs;
    StatisticsState state;
    Record statistics{};
    Modulation modulation{};
    TMirvolStatisticsFrm form{nullptr};
    TFrequencyTuneFrm tune{nullptr};
    std::unique_ptr<TStatsBox> box;
};

TEST_F(StatisticsFileTest, HoldsTheHeaderAndOnePairOfLinesPerModulationReport) {
    StartSaving();
    EXPECT_EQ(state.fileName, "03040506.TST");
    EXPECT_EQ(panes[6], "Saving: 03040506.TST");
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(box->title(), "Statistics File Header");
    EXPECT_EQ(box->pos(), QPoint(750 / 2 - box->width() / 2, 390 / 2 - box->height() / 2));
    EXPECT_TRUE(stop.isEnabled());
    EXPECT_FALSE(save.isEnabled());
    EXPECT_TRUE(state.saving);

    // A report while the operator is still typing the header makes no file of its own.
    Statistics(kFirst);
    ModulationReport({0x20, 0xAA, 0x19, 0x55}, QTime(12, 34, 0));
    EXPECT_FALSE(QFile::exists(HomeFolder() + "03040506.TST"));

    box->edStatsFreq->setText("14.0765");
    box->edStatsName->setText("Joe");
    box->edStatsOther->setText("test");
    box->StatsOK->click();
    EXPECT_TRUE(box->isHidden());
    EXPECT_EQ(panes[6], "03040506.TST");
    EXPECT_TRUE(stop.isEnabled());

    ModulationReport({0x20, 0xAA, 0x19, 0x55}, QTime(12, 34, 56)); // 8PSM / BPSM
    ModulationReport({0x30, 0x00, 0x2E, 0x00}, QTime(12, 35, 0));  // code 12 / 16P4A
    Statistics(kSecond);
    ModulationReport({0x20, 0, 0x1C, 0}, QTime(12, 35, 10), 2);        // AMTOR: nothing
    ModulationReport({0x20, 0, 0x1C, 0}, QTime(12, 35, 11), 1, false); // no link: nothing
    ModulationReport({0x00, 0, 0x1C, 0}, QTime(12, 35, 12));           // code 0 / QPSM

    EXPECT_EQ(ReadAll(HomeFolder() + "03040506.TST"),
              QByteArray("03040506.TST\r\n"
                         "Frequency: 14.0765\tName: Joe\tOther: test\r\n"
                         "Time(hhmmss),Call,MOD,SNR,Freq,TPUT,Phase,ECC\r\n"
                         "\r\n"
                         "123456,MYCALL,8PSM,37,125,80,10,101\r\n"
                         "123456,HISCALL,BPSM,72,5,32,7,127\r\n"
                         "123500,MYCALL,,37,125,80,10,101\r\n"
                         "123500,HISCALL,16P4A,72,5,32,7,127\r\n"
                         "123512,MYCALL,,16,3,100,0,0\r\n"
                         "123512,HISCALL,QPSM,126,118,1,2,3\r\n"));

    StopStatisticsSaving(state);
    ModulationReport({0x00, 0, 0x1C, 0}, QTime(12, 36, 0));
    EXPECT_TRUE(
        ReadAll(HomeFolder() + "03040506.TST").endsWith("123512,HISCALL,QPSM,126,118,1,2,3\r\n"));
}

TEST_F(StatisticsFileTest, OkReplacesAnOldFileOfTheSameName) {
    QFile old(HomeFolder() + "03040506.TST");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old lines that must go\r\n");
    old.close();
    StartSaving();
    box->StatsOK->click();
    EXPECT_EQ(ReadAll(HomeFolder() + "03040506.TST"),
              QByteArray("03040506.TST\r\nFrequency: \tName: \tOther: \r\n"
                         "Time(hhmmss),Call,MOD,SNR,Freq,TPUT,Phase,ECC\r\n\r\n"));
}

TEST_F(StatisticsFileTest, CancelEndsSavingButLeavesTheMenuItems) {
    StartSaving();
    box->Button6->click();
    EXPECT_TRUE(box->isHidden());
    EXPECT_FALSE(state.saving);
    EXPECT_TRUE(stop.isEnabled());
    EXPECT_FALSE(save.isEnabled());
    ModulationReport({0x20, 0, 0x1C, 0}, QTime(12, 0, 0));
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(StatisticsFileTest, AFileThatCannotBeCreatedEndsSavingWithAMessage) {
    // A folder of that name stands where the file would go.
    ASSERT_TRUE(QDir(home.path()).mkdir("03040506.TST"));
    StartSaving();
    box->StatsOK->click();
    EXPECT_TRUE(box->isHidden());
    EXPECT_FALSE(state.saving);
    EXPECT_EQ(panes[6], "") << "the pane no longer claims a file is being saved";
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Could not create the statistics file "));
    EXPECT_EQ(dialogs.boxes[0].caption, "ERROR");
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
    ModulationReport({0x20, 0, 0x1C, 0}, QTime(12, 0, 0));
}

TEST_F(StatisticsFileTest, AFileThatCannotBeOpenedLosesTheReportQuietly) {
    StartSaving();
    box->StatsOK->click();
    const QString path = HomeFolder() + "03040506.TST";
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(home.path()).mkdir("03040506.TST"));
    ModulationReport({0x20, 0, 0x1C, 0}, QTime(12, 0, 0));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST(StatisticsFileName, IsMonthDayHourMinute) {
    EXPECT_EQ(StatisticsFileName(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 1))), "12312359.TST");
    EXPECT_EQ(StatisticsFileName(QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5))), "01020304.TST");
}

} // namespace
} // namespace tarvis
