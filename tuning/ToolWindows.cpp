#include "tuning/ToolWindows.h"

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
    resize(size);
}

TAmplitudeTuneFrm::TAmplitudeTuneFrm(QWidget* owner)
    : ToolWindow(owner, QStringLiteral("Amplitude Bars"), QSize(200, 110)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 4; ++i) {
        TuneBar[i] = new QProgressBar(this);
        TuneBar[i]->setRange(0, 100);
        TuneBar[i]->setTextVisible(false);
        TuneBar[i]->setAccessibleName(QStringLiteral("Amplitude bar %1").arg(i + 1));
        layout->addWidget(TuneBar[i]);
    }
    auto marker = [this](QWidget* bar) {
        auto* m = new QFrame(bar);
        m->setFixedSize(2, 16);
        m->setStyleSheet(QStringLiteral("background: red"));
        m->hide();
        return m;
    };
    PrintSquelch = marker(TuneBar[0]);
    PrintSquelch2 = marker(TuneBar[3]);
}

void TAmplitudeTuneFrm::SetSquelchMarkers(int left, bool visible) {
    for (QFrame* m : {PrintSquelch, PrintSquelch2}) {
        m->move(left, 0);
        m->setVisible(visible);
    }
}

TFrequencyTuneFrm::TFrequencyTuneFrm(QWidget* owner)
    : ToolWindow(owner, QStringLiteral("Frequency Tune"), QSize(240, 80)) {
    Shape1 = new QFrame(this);
    Shape1->setGeometry(8, 8, 217, 20);
    Shape1->setStyleSheet(QStringLiteral("background: black"));
    FreqPointer = new QFrame(this);
    FreqPointer->setGeometry(113, 8, 8, 20);
    FreqPointer->setStyleSheet(QStringLiteral("background: lime"));
    FreqMeter = new QLabel(
        QStringLiteral("-35                              0                            +35"), this);
    FreqMeter->setGeometry(8, 30, 230, 16);
    auto* hint = new QLabel(QStringLiteral("Tune Slowly!"), this);
    hint->setGeometry(8, 50, 230, 16);
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

} // namespace tarvis
