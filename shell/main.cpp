// Tarvis: the operator's console for the QD470 HF data modem.
#include "shell/Splash.h"
#include "shell/Unit1.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QProxyStyle>
#include <QTimer>
#include <exception>

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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvis"));
    QApplication::setStyle(new HintStyle);
    // The panes are designed for Fixedsys and the status bar for Tahoma; the system's own
    // monospace and sans-serif fonts stand in for them.
    QFont::insertSubstitution(QStringLiteral("Fixedsys"),
                              QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    QFont::insertSubstitution(QStringLiteral("Tahoma"),
                              QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    try {
        tarvis::TForm1 mainWindow(tarvis::MachineEnvironment());
        mainWindow.CreateStartWindows();
        mainWindow.SplashFrm()->show();
        mainWindow.SplashFrm()->Timer1->start();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Tarvis"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
