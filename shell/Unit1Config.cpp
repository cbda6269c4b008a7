// The main window's side of the configuration pages and the print squelch dialog.
#include "config/Config1.h"
#include "config/Unit3.h"
#include "link/PortNames.h"
#include "platform/Dialogs.h"
#include "shell/Unit1.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace tarvis {

void TForm1::CreateConfigDialogs() {
    Form3 = new TForm3(
        this, settings, [this](const Bytes& command) { modes_->sendCommand(command); },
        AmplitudeTuneFrm);
    Form2 = new TForm2(this, ConfigPagesHost{settings, ConfigChanged, *env_.dialogs, nullptr,
                                             [this] { SaveConfiguration(); },
                                             [this] { ApplyConfigPages(); }});
    ConfigurationPages1 = new QAction(QStringLiteral("&Configuration Pages..."), this);
    ConfigurationPages1->setObjectName(QStringLiteral("ConfigurationPages1"));
    QAction* first = mnuConfigure->actions().isEmpty() ? nullptr : mnuConfigure->actions().first();
    mnuConfigure->insertAction(first, ConfigurationPages1);
    connect(ConfigurationPages1, &QAction::triggered, this, &TForm1::ShowConfigPages);
}

void TForm1::ShowConfigPages() {
    const std::string home = folders_.home.toStdString();
    // The port in use is held open by this program, so the probe would not find it free.
    const int inUse = ComPortNumber(PortName.toStdString());
    ShowConfigPagesContext context{
        *modes_, *env_.dialogs,
        ConfigFillContext{identity, terminal, linkStatus, PortName, QLatin1String(kVersionText),
                          [home, inUse](int n) { return n == inUse || ComPortAvailable(home, n); }},
        [this](bool ticked) { mnuViewToolBar->setChecked(ticked); },
        [this] { ApplyConfigPages(); }};
    tarvis::ShowConfigPages(*Form2, context);
}

void TForm1::ApplyConfigPages() {
    ConfigPageValues values = Form2->Values();
    ConfigApplyHooks hooks;
    hooks.setPrintSquelch = [this](bool on, int level) { Form3->SetSquelch(on, level); };
    hooks.portChangedMessage = [this] {
        env_.dialogs->MessageBox(
            QStringLiteral("Changes in COM Port will not take effect until program is restarted."),
            QStringLiteral("Information"), BoxButtons::Ok, BoxIcon::Information);
    };
    hooks.portName = &PortName;
    tarvis::ApplyConfigPages(*modes_, values, hooks);
    Form2->edHereIs->document()->setModified(values.hereIsModified);
    // The View menu's echo item follows the echo setting.
    EchoDataChecked = settings.EchoEnable == QLatin1String("ON");
    mnuViewEchoData->setChecked(EchoDataChecked);
}

bool TForm1::ShowPrintSquelch() {
    return OpenPrintSquelch(*Form3, *modes_, *env_.dialogs, [this](bool on) {
        const char* name = on ? "cfgbutPSON" : "cfgbutPSOFF";
        if (auto* radio = Form2->findChild<QRadioButton*>(QLatin1String(name))) {
            radio->setChecked(true);
        }
    });
}

} // namespace tarvis
