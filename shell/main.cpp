// Tarvis: the operator's console for the QD470 HF data modem.
#include "shell/Splash.h"
#include "shell/StationLock.h"
#include "shell/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QMessageBox>
#include <QProxyStyle>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <exception>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Hints pop up after 250 ms.
class HintStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay) {
            return 250;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// A desktop session that ends, or an operator's Ctrl+C in a terminal, closes the main window
// as its Exit item does, so the modem is reset and the settings are written.
int signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void CloseOnTerminationSignals(tarvis::TForm1& mainWindow) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, &mainWindow, [&mainWindow] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        mainWindow.RequestShutdown();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvis"));
    // Desktops match the window to its menu entry and icon by this name.
    QApplication::setDesktopFileName(QStringLiteral("org.tarvis.Tarvis"));
    QApplication::setStyle(new HintStyle);
    // The panes are designed for Fixedsys and the status bar for Tahoma; the system's own
    // monospace and sans-serif fonts stand in for them.
    QFont::insertSubstitution(QStringLiteral("Fixedsys"),
                              QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    QFont::insertSubstitution(QStringLiteral("Tahoma"),
                              QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    // A second Tarvis in the same station folder stops here, before it reads the settings or
    // opens the port.
    tarvis::StationLock station;
    QString why;
    if (!station.Acquire(QDir::currentPath(), &why)) {
        QMessageBox::critical(nullptr, QStringLiteral("ERROR"), why);
        return 1;
    }
    try {
        tarvis::TForm1 mainWindow(tarvis::MachineEnvironment());
        CloseOnTerminationSignals(mainWindow);
        mainWindow.CreateStartWindows();
        mainWindow.SplashFrm()->show();
        mainWindow.SplashFrm()->Timer1->start();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarvis"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
