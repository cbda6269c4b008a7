#include "shell/Comfrmunit.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace tarvis {

TComFrm::TComFrm(Dialogs& dialogs, const std::function<bool(int)>& available, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("ComFrm"));
    setWindowTitle(QStringLiteral("Serial Port Error"));
    setFixedSize(234, 140);
    QFont bold = font();
    bold.setBold(true);

    auto* question = new QLabel(QStringLiteral("Select a Serial Port?"), this);
    question->setFont(bold);
    question->setGeometry(16, 10, 200, 18);
    auto* portLabel = new QLabel(QStringLiteral("Serial Port:"), this);
    portLabel->setFont(bold);
    portLabel->setGeometry(16, 44, 90, 22);
    PortBox = new QComboBox(this);
    PortBox->setEditable(false);
    PortBox->setGeometry(110, 44, 108, 22);
    PortBox->setAccessibleName(QStringLiteral("Serial Port:"));
    portLabel->setBuddy(PortBox);
    PortBox->installEventFilter(this);
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 84, 218, 4);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setGeometry(32, 100, 75, 25);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("C&ancel"), this);
    cancel->setGeometry(126, 100, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    for (int n = 1; n <= 254; ++n) {
        if (available(n)) {
            PortBox->addItem(QStringLiteral("COM") + QString::number(n));
        }
    }
    if (PortBox->count() > 0) {
        PortBox->setCurrentIndex(0);
        PortBoxChange();
    }
    connect(PortBox, &QComboBox::currentIndexChanged, this, [this] { PortBoxChange(); });

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void TComFrm::PortBoxChange() {
    const QString number = PortBox->currentText().mid(3);
    bool ok = false;
    const int port = number.toInt(&ok);
    if (number.isEmpty() || !ok) {
        dialogs_.ShowMessage(QStringLiteral("Error Setting ComPort"));
        return;
    }
    SelectedPort = port;
}

bool TComFrm::eventFilter(QObject* watched, QEvent* event) {
    // The list is worked with the mouse only: every key is swallowed.
    if (watched == PortBox &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
         event->type() == QEvent::ShortcutOverride)) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvis
