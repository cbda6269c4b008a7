#include "shell/Splash.h"
#include "platform/EventPump.h"
#include "shell/Unit1.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvis {

namespace {

// The picture on the splash: a stylised antenna radiating over a horizon.
QPixmap SplashPicture() {
    QPixmap picture(96, 72);
    picture.fill(QColor(128, 0, 0));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(48, 64, 48, 24);
    p.drawLine(36, 64, 48, 40);
    p.drawLine(60, 64, 48, 40);
    p.setPen(QPen(QColor(255, 215, 0), 2));
    for (int r = 10; r <= 30; r += 10) {
        p.drawArc(QRect(48 - r, 24 - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
    }
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(8, 66, 88, 66);
    return picture;
}

} // namespace

TSplashFrm::TSplashFrm(TForm1& mainWindow)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), main_(mainWindow) {
    setObjectName(QStringLiteral("SplashFrm"));
    setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    resize(420, 300);

    auto* outer = new QVBoxLayout(this);
    auto* panel = new QWidget(this);
    panel->setAutoFillBackground(true);
    QPalette maroon;
    maroon.setColor(QPalette::Window, QColor(128, 0, 0));
    maroon.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(maroon);
    auto* inner = new QVBoxLayout(panel);
    auto* maker = new QLabel(QStringLiteral("Vantor Communications Corp."), panel);
    QFont makerFont = maker->font();
    makerFont.setBold(true);
    makerFont.setPointSize(14);
    maker->setFont(makerFont);
    maker->setAlignment(Qt::AlignCenter);
    auto* picture = new QLabel(panel);
    picture->setPixmap(SplashPicture());
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName(QStringLiteral("Tarvis"));
    Memo = new QPlainTextEdit(panel);
    Memo->setReadOnly(true);
    Memo->viewport()->setCursor(Qt::WaitCursor);
    Memo->setAccessibleName(QStringLiteral("Start-up progress"));
    Memo->setPlainText(QStringLiteral("Please Wait..."));
    inner->addWidget(maker);
    inner->addWidget(picture);
    inner->addWidget(Memo);
    outer->addWidget(panel);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(1);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        if (!RunSequence()) {
            QCoreApplication::exit(1);
        }
    });
}

void TSplashFrm::Wait(int milliseconds) {
    Delay(*main_.Env().clock, *main_.Env().pump, milliseconds);
}

bool TSplashFrm::Step(const QString& caption) {
    if (main_.ShutdownRequested()) {
        return false;
    }
    Wait(10);
    Memo->moveCursor(QTextCursor::End);
    Memo->insertPlainText(QStringLiteral("\n") + caption);
    for (int i = 0; i < 8; ++i) {
        Wait(10);
        Memo->insertPlainText(QStringLiteral("."));
    }
    Memo->moveCursor(QTextCursor::End);
    return !main_.ShutdownRequested();
}

void TSplashFrm::AddOk() {
    Memo->insertPlainText(QStringLiteral("..OK"));
}

bool TSplashFrm::RunSequence() {
    if (!Step(QStringLiteral("Reading Configuration"))) {
        return false;
    }
    main_.LoadConfiguration();
    AddOk();

    if (!Step(QStringLiteral("Initializing Modem"))) {
        return false;
    }
    if (!main_.OpenModem()) {
        return false;
    }
    AddOk();

    if (!Step(QStringLiteral("Opening Sound Card"))) {
        return false;
    }
    if (main_.OpenSoundCard()) {
        AddOk();
    }

    if (!Step(QStringLiteral("Setting Screen Parameters"))) {
        return false;
    }
    main_.SendInitialSettings();
    AddOk();

    if (!Step(QStringLiteral("Finished"))) {
        return false;
    }
    main_.show();
    AddOk();
    Memo->moveCursor(QTextCursor::End);

    Wait(1000);
    main_.FinishStartup();
    hide();
    main_.activateWindow();
    main_.reTXData->setFocus();
    return true;
}

} // namespace tarvis
