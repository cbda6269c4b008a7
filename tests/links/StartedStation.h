#pragma once
// A station started through its whole splash sequence on the in-process port, and the bytes
// its operations put on that port.
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/modes/ModeStation.h"

#include <QCoreApplication>
#include <QTextEdit>
#include <QTimer>
#include <chrono>
#include <thread>

namespace tarvis::test {

class StartedStation : public Station {
protected:
    void Start(const QByteArray& ini = {}) {
        WriteFile(IniPath(), "[system]\r\nComPort=1\r\n" + ini);
        form = std::make_unique<TForm1>(MakeEnvironment());
        form->CreateStartWindows();
        ASSERT_TRUE(form->SplashFrm()->RunSequence());
        // Its line counts would overwrite the texts the operations leave in pane 5.
        form->TimeDisplayTimer->stop();
        Wire();
    }
    // Runs a Code menu item and forgets what its set-up sent.
    void Mode(void (TForm1::*item)()) {
        (form.get()->*item)();
        Wire();
    }
    // Everything the port got since the last look, once the transmit queue is empty and the
    // transmit thread has gone quiet.
    std::string Wire() {
        std::size_t last = std::string::npos;
        for (int stable = 0; stable < 3;) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
            const std::size_t n = port->Written().size();
            stable = n == last && form->Link().PendingTransmitCount() == 0 ? stable + 1 : 0;
            last = n;
        }
        const std::string wire = Hex(port->Written());
        port->ClearWritten();
        return wire;
    }
    void Type(const QString& text) {
        form->reTXData->moveCursor(QTextCursor::End);
        form->reTXData->insertPlainText(text);
    }

    std::unique_ptr<TForm1> form;
};

} // namespace tarvis::test
