#include "tuning/Mirvolstat.h"

#include "platform/Dialogs.h"
#include "tuning/Freqtune.h"
#include "tuning/ToolWindows.h"

#include <QAction>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <utility>

namespace tarvis {

namespace {

constexpr int kSnr = 1, kFreq = 3, kTput = 4, kPhase = 5, kEcc = 6;
// The remote end's figures stand seven bytes after the local end's.
constexpr int kRemote = 7;

int ModulationCode(std::uint8_t byte) {
    return (byte >> 2) & 0x0F;
}

QString EccText(std::uint8_t byte) {
    return byte <= 100 ? QString::number(byte) : QStringLiteral("XX");
}

void ShowFigures(const StatisticsRecord& r, int base, QLineEdit* snr, QLineEdit* freq,
                 QLineEdit* tput, QLineEdit* phase, QLineEdit* ecc) {
    const auto at = [&](int index) { return r[static_cast<std::size_t>(base + index)]; };
    snr->setText(QString::number(at(kSnr) / 2));
    freq->setText(QString::number(SignedByte(at(kFreq))));
    tput->setText(QString::number(at(kTput)));
    phase->setText(QString::number(at(kPhase)));
    ecc->setText(EccText(at(kEcc)));
}

void ShowModulation(QLineEdit* box, std::uint8_t byte) {
    const int code = ModulationCode(byte);
    if (code <= 11) {
        box->setText(ModulationName(code));
    }
}

bool AppendToFile(const QString& path, const QByteArray& line) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return false;
    }
    return file.write(line) == line.size();
}

} // namespace

QString ModulationName(int code) {
    static const char* const kNames[] = {"",     "CWID", "2DFSM", "4DPSM", "FSM",   "2DPSM",
                                         "BPSM", "QPSM", "8PSM",  "8P2A",  "16PSM", "16P4A"};
    if (code < 0 || code > 11) {
        return {};
    }
    return QLatin1String(kNames[code]);
}

QString BiasName(int code) {
    switch (code) {
    case 0:
        return QStringLiteral("ROBUST");
    case 1:
        return QStringLiteral("NORMAL");
    case 2:
        return QStringLiteral("FAST");
    default:
        return {};
    }
}

QString StatisticsFileName(const QDateTime& localTime) {
    return localTime.toString(QStringLiteral("MMddHHmm")) + QStringLiteral(".TST");
}

void StatisticsUpdate(TMirvolStatisticsFrm& form, TFrequencyTuneFrm& tune,
                      const StatisticsRecord& record) {
    ShowFigures(record, 0, form.MySNRBox, form.MyFreqBox, form.MyTPUTBox, form.MyPHSBox,
                form.MyECCBox);
    ShowFigures(record, kRemote, form.HisSNRBox, form.HisFreqBox, form.HisTPUTBox, form.HisPHSBox,
                form.HisECCBox);
    MirvolFrequencyUpdate(tune, SignedByte(record[kRemote + kFreq]));
}

std::optional<QString> ModulationUpdate(TMirvolStatisticsFrm& form, StatisticsState& state,
                                        const ModulationRecord& record, bool linkEstablished) {
    ShowModulation(form.MyModBox, record[0]);
    ShowModulation(form.HisModBox, record[2]);
    // Bias code 3 names no bias; counting it would blank the bias pane for good.
    const int bias = record[2] & 0x03;
    if (bias <= 2 && bias > state.fastestBias) {
        state.fastestBias = bias;
    }
    if (!linkEstablished) {
        return std::nullopt;
    }
    return BiasName(state.fastestBias);
}

QByteArray StatisticsHeader(const QString& fileName, const QString& frequency, const QString& name,
                            const QString& other) {
    QByteArray header = fileName.toUtf8() + "\r\n";
    header += "Frequency: " + frequency.toUtf8() + "\tName: " + name.toUtf8() +
              "\tOther: " + other.toUtf8() + "\r\n";
    header += "Time(hhmmss),Call,MOD,SNR,Freq,TPUT,Phase,ECC\r\n\r\n";
    return header;
}

QByteArray StatisticsLine(const StatisticsRecord& statistics, const ModulationRecord& modulation,
                          bool local, const QString& call, const QTime& localTime) {
    const int base = local ? 0 : kRemote;
    const auto figure = [&](int index) {
        return QByteArray::number(statistics[static_cast<std::size_t>(base + index)] & 0x7F);
    };
    const std::uint8_t code = modulation[local ? 0 : 2];
    QByteArray line = localTime.toString(QStringLiteral("HHmmss")).toUtf8();
    line += ',' + call.toUtf8();
    line += ',' + ModulationName(ModulationCode(code)).toUtf8();
    for (int index : {kSnr, kFreq, kTput, kPhase, kEcc}) {
        line += ',' + figure(index);
    }
    line += "\r\n";
    return line;
}

void WriteStatisticsLines(const StatisticsState& state, const StatisticsRecord& statistics,
                          const ModulationRecord& modulation, const QString& homeFolder,
                          int operatingMode, bool linkEstablished, const QString& myCall,
                          const QString& hisCall, const QTime& localTime) {
    if (!state.saving || !state.headerWritten || operatingMode != 1 || !linkEstablished) {
        return;
    }
    const QString path = homeFolder + state.fileName;
    if (!AppendToFile(path, StatisticsLine(statistics, modulation, true, myCall, localTime))) {
        return;
    }
    AppendToFile(path, StatisticsLine(statistics, modulation, false, hisCall, localTime));
}

void StopStatisticsSaving(StatisticsState& state) {
    state.saving = false;
    state.headerWritten = false;
}

TStatsBox::TStatsBox(QWidget* mainWindow, StatisticsState& state, Dialogs& dialogs,
                     QString homeFolder, Links links)
    : QGroupBox(QStringLiteral("Statistics File Header"), mainWindow), state_(state),
      dialogs_(dialogs), homeFolder_(std::move(homeFolder)), links_(std::move(links)) {
    setObjectName(QStringLiteral("StatsBox"));
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    const auto edit = [&](const QString& caption, int row) {
        auto* label = new QLabel(caption, this);
        auto* box = new QLineEdit(this);
        label->setBuddy(box);
        box->setAccessibleName(caption);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        // Enter in any of the fields is the default button.
        connect(box, &QLineEdit::returnPressed, this, [this] { StatsOKClick(); });
        return box;
    };
    edStatsFreq = edit(QStringLiteral("Frequency"), 0);
    edStatsName = edit(QStringLiteral("Name"), 1);
    edStatsOther = edit(QStringLiteral("Other"), 2);
    auto* buttons = new QHBoxLayout;
    StatsOK = new QPushButton(QStringLiteral("&OK"), this);
    StatsOK->setDefault(true);
    Button6 = new QPushButton(QStringLiteral("C&ancel"), this);
    buttons->addStretch();
    buttons->addWidget(StatsOK);
    buttons->addWidget(Button6);
    grid->addLayout(buttons, 3, 0, 1, 2);
    connect(StatsOK, &QPushButton::clicked, this, [this] { StatsOKClick(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { Button6Click(); });
    setFixedSize(300, 150);
    hide();
}

void TStatsBox::mnuFilesSaveStatisticsClick(const QDateTime& localNow) {
    state_.fileName = StatisticsFileName(localNow);
    state_.headerWritten = false;
    links_.setStatusPane(kStatisticsFilePane, QStringLiteral("Saving: ") + state_.fileName);
    if (QWidget* owner = parentWidget()) {
        move(owner->width() / 2 - width() / 2, owner->height() / 2 - height() / 2);
    }
    show();
    raise();
    edStatsFreq->setFocus();
    links_.mnuFilesStopSaveSend->setEnabled(true);
    links_.mnuFilesSaveStatistics->setEnabled(false);
    state_.saving = true;
}

void TStatsBox::StatsOKClick() {
    const QString path = homeFolder_ + state_.fileName;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Fail(QStringLiteral("Could not create the statistics file %1: %2")
                 .arg(path, file.errorString()));
        return;
    }
    const QByteArray header = StatisticsHeader(state_.fileName, edStatsFreq->text(),
                                               edStatsName->text(), edStatsOther->text());
    const bool written = file.write(header) == header.size() && file.flush();
    file.close();
    if (!written) {
        Fail(QStringLiteral("Could not write the statistics file %1.").arg(path));
        return;
    }
    links_.setStatusPane(kStatisticsFilePane, state_.fileName);
    state_.saving = true;
    state_.headerWritten = true;
    links_.mnuFilesStopSaveSend->setEnabled(true);
    Close();
}

void TStatsBox::Button6Click() {
    StopStatisticsSaving(state_);
    Close();
}

void TStatsBox::Fail(const QString& message) {
    // Saving is off again, and the pane no longer claims a file is being written.
    hide();
    StopStatisticsSaving(state_);
    links_.setStatusPane(kStatisticsFilePane, QString());
    dialogs_.MessageBox(message, QStringLiteral("ERROR"), BoxButtons::Ok, BoxIcon::Stop);
}

void TStatsBox::Close() {
    hide();
    if (links_.transmitPane != nullptr) {
        links_.transmitPane->setFocus();
    }
}

} // namespace tarvis
