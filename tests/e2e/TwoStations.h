#pragma once
// Two Tarvis stations, A (AA1AA) and B (BB2BB), on one simulator with a fast channel: the
// fixture of the end-to-end tests in which stations hear each other.
#include "modes/CallPanel.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/SimProcess.h"
#include "tests/e2e/StationHome.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace tarvis::test {

// Station A (AA1AA) and station B (BB2BB) on one simulator with a fast channel.
class Contact : public testing::Test {
protected:
    void SetUp() override {
        sim = std::make_unique<SimProcess>(
            a.Link(), a.home.path() + "/sim.log", a.home.path() + "/sim.sock",
            QStringList{"--station", b.Link(), "--call-delay", "200", "--air-rate", "all=400",
                        "--report-interval", "0"} +
                extraSimOptions);
        ASSERT_TRUE(sim->Ready());
        ASSERT_TRUE(WaitFor([&] { return QFileInfo(b.Link()).isSymLink(); }));
        stationA = Start(a);
        stationB = Start(b);
        ASSERT_TRUE(stationA && stationB);
    }
    void TearDown() override {
        for (auto* station : {stationA.get(), stationB.get()}) {
            if (station != nullptr) {
                station->close();
            }
        }
        stationA.reset();
        stationB.reset();
        sim.reset();
    }
    static std::unique_ptr<TForm1> Start(StationHome& home) {
        auto form = std::make_unique<TForm1>(home.MakeEnvironment());
        form->CreateStartWindows();
        if (!form->SplashFrm()->RunSequence()) {
            return nullptr;
        }
        return form;
    }

    // A presses Connect and calls the first entry of its list.
    void CallFromA(QAction* connect) {
        a.dialogs.onModal = [](QDialog& d) {
            static_cast<TCallPanel&>(d).butCall->click();
            return d.result();
        };
        connect->trigger();
    }
    bool BothLinked() {
        return stationA->linkStatus.linkEstablished && stationB->linkStatus.linkEstablished;
    }
    bool BothStandby() {
        return !stationA->linkStatus.linkEstablished && !stationB->linkStatus.linkEstablished &&
               stationA->StatusPaneText(1) == stationA->Decoder().StandbyText() &&
               stationB->StatusPaneText(1) == stationB->Decoder().StandbyText();
    }
    static void Type(TForm1& station, const QString& text) {
        station.reTXData->setFocus();
        station.reTXData->moveCursor(QTextCursor::End);
        station.reTXData->insertPlainText(text);
    }
    // Where the pictures of both windows go, when a run asks for them.
    void Shoot(const QString& name) {
        const QByteArray folder = qgetenv("TARVIS_E2E_SHOTS");
        if (folder.isEmpty()) {
            return;
        }
        stationA->grab().save(QString::fromLocal8Bit(folder) + "/" + name + "-A.png");
        stationB->grab().save(QString::fromLocal8Bit(folder) + "/" + name + "-B.png");
    }
    // The log line by which `text` has been seen: within one line, or across the text for the
    // air that arrives in pieces (the port takes the modem's text a chunk at a time).
    int LogIndex(const QString& text) const {
        const QStringList lines = sim->LogLines();
        QString air;
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].startsWith(QLatin1String("text \""))) {
                air += lines[i].mid(6, lines[i].size() - 7);
            }
            if (lines[i].contains(text) || air.contains(text)) {
                return i;
            }
        }
        return -1;
    }

    StationHome a{"[callsigns]\r\nMYCALL=AA1AA\r\nHISCALLLIST=BB2BB\r\nMYCALL476=AAAA\r\n"
                  "HISCALL476LIST=BBBB\r\nMYCALL625=AAAAAAA\r\n[system]\r\nComPort=1\r\n"};
    StationHome b{"[callsigns]\r\nMYCALL=BB2BB\r\nHISCALLLIST=AA1AA\r\nMYCALL476=BBBB\r\n"
                  "MYCALL625=BBBBBBB\r\n[system]\r\nComPort=1\r\n"};
    // Further simulator options a test's fixture needs.
    QStringList extraSimOptions;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TForm1> stationA;
    std::unique_ptr<TForm1> stationB;
};

} // namespace tarvis::test
