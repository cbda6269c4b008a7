// The main window's side of the configuration pages and the print squelch dialog.
#include "config/Config1.h"
#include "config/Unit3.h"
#include "link/PortNames.h"
#include "platform/Dialogs.h"
#include "shell/Unit1.h"
#include "terminal/MessageFiles.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace tarvis {

void TForm1::CreateConfigDialogs() {
    Form3 = new TForm3(
        this, settings, [this](const Bytes& command) { modes_->sendCommand(command); },
        AmplitudeTuneFrm);
    Form2 = new TForm2(this, ConfigPagesHost{settings, ConfigChanged, *env_.dialogs,
                                             [this](int number) { return LoadHereIs(number); },
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
    hooks.saveHereIs = [this](int number, const QString& text) { return SaveHereIs(number, text); };
    tarvis::ApplyConfigPages(*modes_, values, hooks);
    Form2->edHereIs->document()->setModified(values.hereIsModified);
    // The View menu's echo item follows the echo setting.
    EchoDataChecked = settings.EchoEnable == QLatin1String("ON");
    mnuViewEchoData->setChecked(EchoDataChecked);
}

// The Here-Is files hold the bytes that go on the air; the memo shows each byte as one
// character and writes each character back as its byte.
QString TForm1::LoadHereIs(int number) {
    const MessageFile file = ReadMessageFile(folders_.message, number);
    if (!file.error.isEmpty()) {
        env_.dialogs->MessageBox(file.error, QStringLiteral("Error"), BoxButtons::Ok,
                                 BoxIcon::Stop);
    } else if (file.truncated) {
        env_.dialogs->MessageBox(
            QStringLiteral("%1 is larger than %2 bytes; only its beginning is shown, and "
                           "applying a change keeps only what is shown.")
                .arg(MessageFileName(number))
                .arg(kMessageFileLimit),
            QStringLiteral("Error"), BoxButtons::Ok, BoxIcon::Warning);
    }
    return QString::fromLatin1(file.bytes);
}

bool TForm1::SaveHereIs(int number, const QString& text) {
    const QString error = WriteMessageFile(folders_.message, number, text.toLatin1());
    if (!error.isEmpty()) {
        env_.dialogs->MessageBox(error, QStringLiteral("Error"), BoxButtons::Ok, BoxIcon::Stop);
        return false;
    }
    return true;
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
