#include "tuning/ToolWindows.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tarvis {

ToolWindow::ToolWindow(QWidget* owner, const QString& caption, const QSize& size)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(caption);
    setFixedSize(size);
}

namespace {

QFrame* FilledRectangle(QWidget* parent, const QRect& geometry, const QColor& colour) {
    auto* frame = new QFrame(parent);
    frame->setGeometry(geometry);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, colour);
    frame->setPalette(palette);
    return frame;
}

} // namespace

TAmplitudeTuneFrm::TAmplitudeTuneFrm(QWidget* owner)
    : ToolWindow(owner, QStringLiteral("Amplitude Bars"),
                 QSize(kBarLeft * 2 + kBarWidth, 4 * (kBarHeight + 6) + 6)) {
    for (int i = 0; i < 4; ++i) {
        TuneBar[i] = new QProgressBar(this);
        TuneBar[i]->setObjectName(QStringLiteral("TuneBar%1").arg(i + 1));
        TuneBar[i]->setGeometry(kBarLeft, 6 + i * (kBarHeight + 6), kBarWidth, kBarHeight);
        TuneBar[i]->setRange(0, 100);
        TuneBar[i]->setValue(0);
        TuneBar[i]->setTextVisible(false);
        TuneBar[i]->setAccessibleName(QStringLiteral("Amplitude bar %1").arg(i + 1));
    }
    auto marker = [this](const QProgressBar* bar, const char* name) {
        QFrame* m = FilledRectangle(this, QRect(0, bar->y(), 2, kBarHeight), QColor(255, 0, 0));
        m->setObjectName(QLatin1String(name));
        m->hide();
        return m;
    };
    PrintSquelch = marker(TuneBar[0], "PrintSquelch");
    PrintSquelch2 = marker(TuneBar[3], "PrintSquelch2");
}

void TAmplitudeTuneFrm::SetSquelchMarkers(int left, bool visible) {
    for (QFrame* m : {PrintSquelch, PrintSquelch2}) {
        m->move(left, m->y());
        m->setVisible(visible);
        m->raise();
    }
}

TFrequencyTuneFrm::TFrequencyTuneFrm(QWidget* owner)
    : ToolWindow(owner, QStringLiteral("Frequency Tune"), QSize(233, 78)) {
    Shape1 = FilledRectangle(this, QRect(8, 8, 217, 22), QColor(0, 0, 0));
    Shape1->setObjectName(QStringLiteral("Shape1"));
    FreqPointer = FilledRectangle(this, QRect(kCentreLeft, 10, 8, 18), QColor(0, 255, 0));
    FreqPointer->setObjectName(QStringLiteral("FreqPointer"));
    FreqPointer->setAccessibleName(QStringLiteral("Frequency pointer"));
    FreqMeter = new QLabel(
        QStringLiteral("-35                              0                            +35"), this);
    FreqMeter->setObjectName(QStringLiteral("FreqMeter"));
    FreqMeter->setGeometry(8, 34, 217, 16);
    QFont small = FreqMeter->font();
    small.setPointSize(7);
    FreqMeter->setFont(small);
    TuneSlowlyLabel = new QLabel(QStringLiteral("Tune Slowly!"), this);
    TuneSlowlyLabel->setGeometry(8, 54, 217, 18);
    TuneSlowlyLabel->setAlignment(Qt::AlignCenter);
}

void TFrequencyTuneFrm::PlacePointer(int left, const QColor& colour) {
    FreqPointer->move(left, FreqPointer->y());
    if (colour.isValid()) {
        QPalette palette = FreqPointer->palette();
        palette.setColor(QPalette::Window, colour);
        FreqPointer->setPalette(palette);
    }
}

QColor TFrequencyTuneFrm::PointerColour() const {
    return FreqPointer->palette().color(QPalette::Window);
}

TMirvolStatisticsFrm::TMirvolStatisticsFrm(QWidget* owner)
    : ToolWindow(owner, QStringLiteral("Mirvol Stats"), QSize(260, 190)) {
    auto* layout = new QHBoxLayout(this);
    auto group = [&](const QString& title, const QString& side, QLineEdit** boxes[6]) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        const char* labels[] = {"MOD", "S/N", "FREQ", "PHS", "TPUT", "ECC"};
        for (int i = 0; i < 6; ++i) {
            auto* label = new QLabel(QLatin1String(labels[i]), box);
            auto* edit = new QLineEdit(box);
            edit->setReadOnly(true);
            edit->setAccessibleName(side + QLatin1Char(' ') + QLatin1String(labels[i]));
            label->setBuddy(edit);
            grid->addWidget(label, i, 0);
            grid->addWidget(edit, i, 1);
            *boxes[i] = edit;
        }
        layout->addWidget(box);
    };
    QLineEdit** mine[6] = {&MyModBox, &MySNRBox, &MyFreqBox, &MyPHSBox, &MyTPUTBox, &MyECCBox};
    QLineEdit** his[6] = {&HisModBox, &HisSNRBox, &HisFreqBox, &HisPHSBox, &HisTPUTBox, &HisECCBox};
    group(QStringLiteral("Local"), QStringLiteral("Local"), mine);
    group(QStringLiteral("Remote"), QStringLiteral("Remote"), his);
}

TSoundTuneFrm::TSoundTuneFrm(QWidget* owner)
    : ToolWindow(owner, QStringLiteral("Sound Card Tune"), QSize(300, 104)) {
    WaterfallPanel = new QFrame(this);
    WaterfallPanel->setGeometry(0, 0, 300, 50);
    WaterfallPanel->setStyleSheet(QStringLiteral("background: black"));
    auto* scale = new QFrame(this);
    scale->setGeometry(0, 50, 300, 30);
    scale->setStyleSheet(QStringLiteral("background: black; color: white"));
    // Labels at their frequencies: pixel x = (f - 300.78125) * 0.128.
    for (int f : {500, 1000, 1500, 2000, 2500, 3000}) {
        auto* label = new QLabel(QString::number(f), scale);
        const int x = static_cast<int>((f - 300.78125) * 0.128);
        label->setGeometry(x - 12, 10, 30, 16);
    }
    TunePanel = new QFrame(this);
    TunePanel->setGeometry(0, 80, 300, 24);
    TunePanel->setStyleSheet(QStringLiteral("background: black"));
}

void ToggleToolWindow(QWidget& window, QAction& item, bool& configChanged) {
    if (window.isHidden()) {
        window.show();
        window.update();
    } else {
        window.hide();
    }
    item.setCheckable(true);
    item.setChecked(!window.isHidden());
    configChanged = true;
}

} // namespace tarvis
