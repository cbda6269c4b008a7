#include "config/Config1.h"
#include "config/ConfigFile.h"
#include "config/Utils.h"
#include "modes/ModeWindow.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValidator>
#include <tuple>

namespace tarvis {

namespace {

constexpr QSize kClientSize(610, 398);

using Field = QString ConfigPageValues::*;

struct Option {
    const char* name;
    const char* caption;
    const char* value;
};

// Call signs are upper case: letters typed into these boxes are turned to capitals.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

QFrame* Page(QTabWidget* folder, const char* name, const char* caption) {
    auto* page = new QFrame(folder);
    page->setObjectName(QLatin1String(name));
    folder->addTab(page, QLatin1String(caption));
    return page;
}

QGroupBox* Group(QWidget* parent, const char* caption, const char* name = nullptr) {
    auto* box = new QGroupBox(QLatin1String(caption), parent);
    if (name != nullptr) {
        box->setObjectName(QLatin1String(name));
    }
    return box;
}

bool IsPrintable(const QKeyEvent* key) {
    return !key->text().isEmpty() && key->text().at(0).isPrint();
}

} // namespace

HereIsUpDown::HereIsUpDown(QWidget* parent) : QSpinBox(parent) {
    setRange(0, 10);
    setWrapping(true);
}

QString HereIsUpDown::textFromValue(int value) const {
    return HereIsNumberText(value);
}

int HereIsUpDown::valueFromText(const QString& text) const {
    const int number = HereIsMessageNumber(text);
    return number < 0 ? value() : number;
}

QValidator::State HereIsUpDown::validate(QString& text, int&) const {
    if (HereIsMessageNumber(text) >= 0) {
        return QValidator::Acceptable;
    }
    return QStringLiteral("WRU").startsWith(text) ? QValidator::Intermediate : QValidator::Invalid;
}

// Each control bound to the value it stands for.
struct TForm2::Bindings {
    struct Radios {
        Field field;
        std::vector<std::pair<QRadioButton*, QString>> buttons;
    };
    std::vector<Radios> radios;
    std::vector<std::pair<QLineEdit*, Field>> edits;
    std::vector<std::pair<QLabel*, Field>> labels;
    // Combo boxes whose items never change; a value not among them is added.
    std::vector<std::pair<QComboBox*, Field>> fixedCombos;

    QLabel* txGainLabel = nullptr;

    // A group of radio buttons laid out in a row (or a column), each captioned and named
    // for a screen reader with its group's caption.
    QGroupBox* AddRadios(QWidget* parent, const char* caption, const char* name, Field field,
                         std::initializer_list<Option> options, bool column = false) {
        QGroupBox* box = Group(parent, caption, name);
        QBoxLayout* layout = column ? static_cast<QBoxLayout*>(new QVBoxLayout(box))
                                    : static_cast<QBoxLayout*>(new QHBoxLayout(box));
        layout->setContentsMargins(6, 2, 6, 2);
        layout->setSpacing(column ? 0 : 8);
        Radios group{field, {}};
        for (const Option& o : options) {
            auto* button = new QRadioButton(QLatin1String(o.caption), box);
            button->setObjectName(QLatin1String(o.name));
            button->setAccessibleName(QLatin1String(caption) + u' ' + QLatin1String(o.caption));
            layout->addWidget(button);
            group.buttons.emplace_back(button, QLatin1String(o.value));
        }
        if (!column) {
            layout->addStretch();
        }
        radios.push_back(std::move(group));
        return box;
    }

    QLineEdit* AddEdit(QFormLayout* form, const char* caption, const char* name, Field field) {
        auto* edit = new QLineEdit(form->parentWidget());
        edit->setObjectName(QLatin1String(name));
        edit->setAccessibleName(QLatin1String(caption));
        edit->setMaximumWidth(90);
        form->addRow(QLatin1String(caption), edit);
        edits.emplace_back(edit, field);
        return edit;
    }

    QLabel* AddLabel(QFormLayout* form, const char* caption, const char* name, Field field) {
        auto* label = new QLabel(form->parentWidget());
        label->setObjectName(QLatin1String(name));
        label->setAccessibleName(QLatin1String(caption));
        label->setMinimumWidth(50);
        form->addRow(QLatin1String(caption), label);
        labels.emplace_back(label, field);
        return label;
    }

    QComboBox* AddRateCombo(QWidget* parent, const char* name, Field field) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QLatin1String(name));
        combo->setAccessibleName(QStringLiteral("Baud Rate"));
        combo->addItems({"45", "50", "57", "75", "100", "110"});
        fixedCombos.emplace_back(combo, field);
        return combo;
    }
};

TForm2::TForm2(QWidget* parent, ConfigPagesHost host)
    : QDialog(parent), host_(std::move(host)), bindings_(std::make_unique<Bindings>()) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Vantor Tarvis Configuration"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    ConfigFolder = new QTabWidget(this);
    ConfigFolder->setObjectName(QStringLiteral("ConfigFolder"));
    layout->addWidget(ConfigFolder, 1);
    BuildGeneralPage();
    BuildMirvolPage();
    BuildAmtorPage();
    BuildBaudotPage();
    BuildAsciiPage();
    BuildPModePage();
    BuildPsk31Page();
    BuildMessagesPage();
    BuildButtons();
    resize(kClientSize.expandedTo(sizeHint()));
}

TForm2::~TForm2() = default;

void TForm2::BuildGeneralPage() {
    Bindings& b = *bindings_;
    QFrame* page = Page(ConfigFolder, "GeneralSheet", "General");
    auto* grid = new QGridLayout(page);

    QGroupBox* system = Group(page, "System");
    auto* sys = new QGridLayout(system);
    sys->addWidget(b.AddRadios(system, "Scan Control", nullptr, &ConfigPageValues::ScanControl,
                               {{"sysScanControlCONT", "CONT", "CONT"},
                                {"sysScanControlPulse", "PULSE", "PULSE"}}),
                   0, 0);
    sys->addWidget(b.AddRadios(system, "CW ID", nullptr, &ConfigPageValues::CWID,
                               {{"sysCWIDON", "ON", "ON"}, {"sysCWIDOFF", "OFF", "OFF"}}),
                   0, 1);
    sys->addWidget(b.AddRadios(system, "Echo As Sent", nullptr, &ConfigPageValues::EchoEnable,
                               {{"sysEASON", "ON", "ON"}, {"sysEASOFF", "OFF", "OFF"}}),
                   1, 0);
    sys->addWidget(b.AddRadios(system, "Printer", nullptr, &ConfigPageValues::Printer,
                               {{"sysPrinterON", "ON", "ON"}, {"sysPrinterOFF", "OFF", "OFF"}}),
                   1, 1);
    QGroupBox* portGroup = Group(system, "COM Port");
    auto* portLayout = new QHBoxLayout(portGroup);
    portLayout->setContentsMargins(6, 2, 6, 2);
    PortBox = new QComboBox(portGroup);
    PortBox->setObjectName(QStringLiteral("PortBox"));
    PortBox->setAccessibleName(QStringLiteral("COM Port"));
    PortBox->installEventFilter(this);
    portLayout->addWidget(PortBox);
    sys->addWidget(portGroup, 2, 0);
    idleLocked.push_back(portGroup);
    ListenBox = b.AddRadios(system, "Listen", "ListenBox", &ConfigPageValues::Listen,
                            {{"butListenON", "ON", "ON"}, {"butListenOFF", "OFF", "OFF"}});
    sys->addWidget(ListenBox, 2, 1);
    // Listening as designed: a MIRVOL 2000 modem keeps the group hidden and never fills it.
    ListenBox->findChild<QRadioButton*>(QStringLiteral("butListenON"))->setChecked(true);
    AudioGainBox = Group(system, "Audio Gain", "AudioGainBox");
    auto* gains = new QFormLayout(AudioGainBox);
    gains->setContentsMargins(6, 2, 6, 2);
    RXGainCombo = new QComboBox(AudioGainBox);
    RXGainCombo->setObjectName(QStringLiteral("RXGainCombo"));
    RXGainCombo->setAccessibleName(QStringLiteral("RX gain"));
    TXGainCombo = new QComboBox(AudioGainBox);
    TXGainCombo->setObjectName(QStringLiteral("TXGainCombo"));
    TXGainCombo->setAccessibleName(QStringLiteral("TX gain"));
    gains->addRow(QStringLiteral("RX:"), RXGainCombo);
    gains->addRow(QStringLiteral("TX:"), TXGainCombo);
    b.txGainLabel = qobject_cast<QLabel*>(gains->labelForField(TXGainCombo));
    for (QComboBox* combo : {RXGainCombo, TXGainCombo}) {
        combo->installEventFilter(this);
    }
    sys->addWidget(AudioGainBox, 3, 0, Qt::AlignTop);
    sys->addWidget(b.AddRadios(system, "StatusBar", nullptr, &ConfigPageValues::StatusBar,
                               {{"butStatusBarON", "ON", "ON"}, {"butStatusBarOFF", "OFF", "OFF"}}),
                   3, 1, Qt::AlignTop);
    grid->addWidget(system, 0, 0, 3, 1);

    QGroupBox* versions = Group(page, "Versions");
    auto* versionForm = new QFormLayout(versions);
    versionForm->setContentsMargins(6, 2, 6, 2);
    struct VersionRow {
        const char* caption;
        const char* captionName;
        const char* name;
        Field field;
    };
    const VersionRow rows[] = {
        {"QD470.LOD", "LODLabel", "textLODVer", &ConfigPageValues::lodVersion},
        {"QD470.S28", "S28Label", "textS28Ver", &ConfigPageValues::s28Version},
        {"Tarvis", "SoftwareLabel", "StaticText1", &ConfigPageValues::programVersion},
        {"Boot ROM", nullptr, "textEPROM", &ConfigPageValues::bootVersion},
        {"Product ID", nullptr, "textProdID", &ConfigPageValues::productId},
    };
    for (const VersionRow& row : rows) {
        QLabel* text = b.AddLabel(versionForm, row.caption, row.name, row.field);
        if (row.captionName != nullptr) {
            versionForm->labelForField(text)->setObjectName(QLatin1String(row.captionName));
        }
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    grid->addWidget(versions, 0, 1);

    QGroupBox* squelch = Group(page, "Print Squelch");
    auto* squelchLayout = new QVBoxLayout(squelch);
    squelchLayout->setContentsMargins(6, 2, 6, 2);
    squelchLayout->setSpacing(2);
    QGroupBox* squelchRadios =
        b.AddRadios(squelch, "Print Squelch", nullptr, &ConfigPageValues::PrintSquelchEnable,
                    {{"cfgbutPSON", "ON", "ON"}, {"cfgbutPSOFF", "OFF", "OFF"}});
    squelchRadios->setTitle(QString());
    squelchRadios->setFlat(true);
    squelchLayout->addWidget(squelchRadios);
    auto* levelRow = new QFormLayout();
    cfgPSLevelSpin = new QSpinBox(squelch);
    cfgPSLevelSpin->setObjectName(QStringLiteral("cfgPSLevelSpin"));
    cfgPSLevelSpin->setRange(0, 99);
    cfgPSLevelSpin->setAccessibleName(QStringLiteral("Print Squelch Setting"));
    levelRow->addRow(QStringLiteral("Print Squelch Setting"), cfgPSLevelSpin);
    squelchLayout->addLayout(levelRow);
    grid->addWidget(squelch, 1, 1);

    QGroupBox* polarity = b.AddRadios(
        page, "FSK Polarity", "FSKPolarityBox", &ConfigPageValues::FSKPol,
        {{"cfgbutFSKPOLNORM", "NORMAL", "NORM"}, {"cfgbutFSKPOLREV", "REVERSE", "REV"}});
    grid->addWidget(polarity, 2, 1);
    idleLocked.push_back(polarity);
    grid->setRowStretch(3, 1);
}

void TForm2::BuildMirvolPage() {
    Bindings& b = *bindings_;
    QFrame* page = Page(ConfigFolder, "MirvolSheet", "Mirvol");
    auto* grid = new QGridLayout(page);
    grid->addWidget(b.AddRadios(page, "Text Entry", nullptr, &ConfigPageValues::TextEntry,
                                {{"sysTextEntryWord", "Word", "WORD"},
                                 {"sysTextEntryChar", "Character", "CHAR"},
                                 {"sysTextEntryLine", "Line", "LINE"}},
                                true),
                    0, 0);
    grid->addWidget(b.AddRadios(page, "End Of Line", nullptr, &ConfigPageValues::EndOfLine,
                                {{"sysEOLCR", "CR", "CR"}, {"sysEOLCRLF", "CR LF", "CR LF"}}, true),
                    1, 0);
    grid->addWidget(
        b.AddRadios(page, "Transmit Enable", nullptr, &ConfigPageValues::TXEnable,
                    {{"sysTXENEnable", "Enable", "EN"}, {"sysTXENDisable", "Disable", "OFF"}},
                    true),
        2, 0);
    QGroupBox* channel =
        b.AddRadios(page, "AF Channel", "AFChannelBox", &ConfigPageValues::AFChannel,
                    {{"mirvolAFChannel1", "1", "1"},
                     {"mirvolAFChannel2", "2", "2"},
                     {"mirvolAFChannel3", "3", "3"},
                     {"mirvolAFChannel4", "4", "4"}});
    grid->addWidget(channel, 3, 0, 1, 2);
    idleLocked.push_back(channel);

    QGroupBox* fec = Group(page, "FEC");
    auto* fecLayout = new QVBoxLayout(fec);
    fecLayout->setContentsMargins(6, 2, 6, 2);
    QGroupBox* modulation = b.AddRadios(fec, "Modulation", nullptr, &ConfigPageValues::FECMod,
                                        {{"butFECModBPSM", "BPSM", "BPSM"},
                                         {"butFECModQPSM", "QPSM", "QPSM"},
                                         {"butFECMod8PSM", "8PSM", "8PSM"},
                                         {"butFECMod8P2A", "8P2A", "8P2A"},
                                         {"butFECMod16P4A", "16P4A", "16P4A"},
                                         {"butFECMod2DPSM", "2DPSM", "2DPSM"}},
                                        true);
    fecLayout->addWidget(modulation);
    auto* fecForm = new QFormLayout();
    fecLayout->addLayout(fecForm);
    FECCodeEfficLabel = b.AddLabel(fecForm, "Code Efficiency", "FECCodeEfficLabel",
                                   &ConfigPageValues::codeEfficiency);
    FECBlockSizeLabel =
        b.AddLabel(fecForm, "Block Size", "FECBlockSizeLabel", &ConfigPageValues::blockSize);
    // Each modulation shows its own block size as soon as it is chosen.
    for (const auto& [button, value] : b.radios.back().buttons) {
        connect(button, &QRadioButton::toggled, this, [this, name = value](bool checked) {
            if (checked) {
                FECCodeEfficLabel->setText(QStringLiteral("60%"));
                FECBlockSizeLabel->setText(QString::number(FecBlockSize(name)));
            }
        });
    }
    grid->addWidget(fec, 0, 1, 3, 1);
    idleLocked.push_back(fec);

    QGroupBox* arq = Group(page, "Adaptive ARQ");
    auto* arqLayout = new QGridLayout(arq);
    arqLayout->setContentsMargins(6, 2, 6, 2);
    QGroupBox* bias = b.AddRadios(arq, "Auto Bias", nullptr, &ConfigPageValues::AutoBias,
                                  {{"butAutoBiasNormal", "NORMAL", "NORMAL"},
                                   {"butAutoBiasRobust", "ROBUST", "ROBUST"},
                                   {"butAutoBiasFast", "FAST", "FAST"},
                                   {"butAutoBiasFastest", "FASTEST", "FASTEST"}},
                                  true);
    arqLayout->addWidget(bias, 0, 0);
    QGroupBox* connectBias = b.AddRadios(
        arq, "Connect", nullptr, &ConfigPageValues::ConnectBias,
        {{"butConnectRobust", "ROBUST", "ROBUST"}, {"butConnectNormal", "NORMAL", "NORMAL"}}, true);
    arqLayout->addWidget(connectBias, 1, 0, Qt::AlignTop);
    idleLocked.push_back(bias);
    idleLocked.push_back(connectBias);
    auto* retries = new QFormLayout();
    arqLayout->addLayout(retries, 0, 1, 2, 1);
    for (QLineEdit* edit :
         {b.AddEdit(retries, "Normal Retries", "edNormalRetries", &ConfigPageValues::normalRetries),
          b.AddEdit(retries, "Robust Retries", "edRobustRetries", &ConfigPageValues::robustRetries),
          b.AddEdit(retries, "Fail Retries", "edFailRetries", &ConfigPageValues::failRetries),
          b.AddEdit(retries, "Chat Count", "edChatCount", &ConfigPageValues::chatCount)}) {
        idleLocked.push_back(edit);
    }
    grid->addWidget(arq, 0, 2, 4, 1);
    grid->setRowStretch(4, 1);
}

namespace {

// A page's tone group: its two edits and the centre and shift worked out from them as they
// are typed.
struct ToneFields {
    const char* caption;
    const char* markCaption;
    const char* markName;
    Field mark;
    const char* spaceCaption;
    const char* spaceName;
    Field space;
    const char* centerName;
    Field center;
    const char* shiftName;
    Field shift;
};

QGroupBox* AddTones(TForm2* form, TForm2::Bindings& b, QWidget* page, const ToneFields& t) {
    QGroupBox* box = Group(page, t.caption);
    auto* tones = new QFormLayout(box);
    tones->setContentsMargins(6, 2, 6, 2);
    QLineEdit* mark = b.AddEdit(tones, t.markCaption, t.markName, t.mark);
    QLineEdit* space = b.AddEdit(tones, t.spaceCaption, t.spaceName, t.space);
    QLabel* center = b.AddLabel(tones, "Center", t.centerName, t.center);
    QLabel* shift = b.AddLabel(tones, "Shift", t.shiftName, t.shift);
    auto recompute = [mark, space, center, shift] {
        const ToneLabels labels = ToneLabelsFromEdits(mark->text(), space->text());
        center->setText(labels.center);
        shift->setText(labels.shift);
    };
    QObject::connect(mark, &QLineEdit::textChanged, form, recompute);
    QObject::connect(space, &QLineEdit::textChanged, form, recompute);
    form->idleLocked.push_back(box);
    return box;
}

QGroupBox* TransmitGroup(TForm2::Bindings& b, QWidget* page, Field field, const char* enable,
                         const char* disable) {
    return b.AddRadios(page, "Transmit", nullptr, field,
                       {{enable, "Enable", "ON"}, {disable, "Disable", "OFF"}}, true);
}

QGroupBox* TextEntryGroup(TForm2::Bindings& b, QWidget* page, Field field, const char* word,
                          const char* character, const char* line) {
    return b.AddRadios(
        page, "Text Entry", nullptr, field,
        {{word, "Word", "WORD"}, {character, "Character", "CHAR"}, {line, "Line", "LINE"}}, true);
}

QGroupBox* PolarityGroup(TForm2::Bindings& b, QWidget* page, Field field, const char* normal,
                         const char* reverse) {
    return b.AddRadios(page, "Polarity", nullptr, field,
                       {{normal, "Normal", "NORM"}, {reverse, "Reverse", "REV"}}, true);
}

QGroupBox* LongEndOfLineGroup(TForm2::Bindings& b, QWidget* page, Field field, const char* prefix) {
    const QByteArray p(prefix);
    const QByteArray names[] = {p + "EOLCRLFLTRS", p + "EOLCR", p + "EOLCRCRLF", p + "EOLCRLF"};
    return b.AddRadios(page, "End Of Line", nullptr, field,
                       {{names[0].constData(), "CR LF LTRS", "CR LF LTRS"},
                        {names[1].constData(), "CR", "CR"},
                        {names[2].constData(), "CR CR LF", "CR CR LF"},
                        {names[3].constData(), "CR LF", "CR LF"}},
                       true);
}

QGroupBox* OnOffGroup(TForm2::Bindings& b, QWidget* page, const char* caption, Field field,
                      const char* on, const char* off) {
    return b.AddRadios(page, caption, nullptr, field, {{on, "ON", "ON"}, {off, "OFF", "OFF"}},
                       true);
}

} // namespace

void TForm2::BuildAmtorPage() {
    Bindings& b = *bindings_;
    QFrame* page = Page(ConfigFolder, "AmtorSheet", "AMTOR");
    auto* grid = new QGridLayout(page);
    grid->addWidget(TransmitGroup(b, page, &ConfigPageValues::A_TXEnable, "AmtorTXENEnable",
                                  "AmtorTXENDisable"),
                    0, 0);
    grid->addWidget(TextEntryGroup(b, page, &ConfigPageValues::A_TextEntry, "AmtorTextEntryWord",
                                   "AmtorTextEntryChar", "AmtorTextEntryLine"),
                    1, 0);
    grid->addWidget(PolarityGroup(b, page, &ConfigPageValues::A_Polarity, "AmtorPolarityNormal",
                                  "AmtorPolarityReverse"),
                    2, 0);
    grid->addWidget(LongEndOfLineGroup(b, page, &ConfigPageValues::A_EndOfLine, "Amtor"), 0, 1);
    grid->addWidget(
        OnOffGroup(b, page, "WRU", &ConfigPageValues::A_WRU, "AmtorWRUON", "AmtorWRUOFF"), 1, 1);
    grid->addWidget(
        b.AddRadios(page, "Letter Case", nullptr, &ConfigPageValues::A_LetterCase,
                    {{"AmtorLetterCaseU", "Upper", "U"}, {"AmtorLetterCaseL", "Lower", "L"}}, true),
        2, 1);
    QGroupBox* timeouts = Group(page, "Time Outs");
    auto* form = new QFormLayout(timeouts);
    form->setContentsMargins(6, 2, 6, 2);
    b.AddEdit(form, "Time Out", "AmtorTimeOutLabel", &ConfigPageValues::amtorTimeOut);
    b.AddEdit(form, "TD", "AmtorTDLabel", &ConfigPageValues::amtorTD);
    b.AddEdit(form, "CD", "AmtorCDLabel", &ConfigPageValues::amtorCD);
    grid->addWidget(timeouts, 0, 2);
    QGroupBox* tones = AddTones(this, b, page,
                                {"AMTOR Tones", "MARK", "AmtorMARK", &ConfigPageValues::amtorMark,
                                 "SPACE", "AmtorSPACE", &ConfigPageValues::amtorSpace,
                                 "AmtorCenterLabel", &ConfigPageValues::amtorCenter,
                                 "AmtorShiftLabel", &ConfigPageValues::amtorShift});
    tones->setObjectName(QStringLiteral("AmtorBox"));
    grid->addWidget(tones, 1, 2, 2, 1, Qt::AlignTop);
    grid->setRowStretch(3, 1);
}

void TForm2::BuildBaudotPage() {
    Bindings& b = *bindings_;
    QFrame* page = Page(ConfigFolder, "BaudotSheet", "Baudot");
    auto* grid = new QGridLayout(page);
    grid->addWidget(
        TransmitGroup(b, page, &ConfigPageValues::B_TXEnable, "butBaudotTXEN", "butBaudotTXDIS"), 0,
        0);
    grid->addWidget(TextEntryGroup(b, page, &ConfigPageValues::B_TextEntry, "BaudotTextEntryWord",
                                   "BaudotTextEntryChar", "BaudotTextEntryLine"),
                    1, 0);
    grid->addWidget(PolarityGroup(b, page, &ConfigPageValues::B_Polarity, "BaudotPolarityNormal",
                                  "BaudotPolarityReverse"),
                    2, 0);
    grid->addWidget(LongEndOfLineGroup(b, page, &ConfigPageValues::B_EndOfLine, "Baudot"), 0, 1);
    QGroupBox* sync = OnOffGroup(b, page, "Sync Idle", &ConfigPageValues::B_SyncIdle,
                                 "butBaudotSyncON", "butBaudotSyncOFF");
    grid->addWidget(sync, 1, 1);
    idleLocked.push_back(sync);
    grid->addWidget(OnOffGroup(b, page, "USOS", &ConfigPageValues::B_USOS, "butBaudotUSOSON",
                               "butBaudotUSOSOFF"),
                    2, 1);
    grid->addWidget(
        b.AddRadios(page, "Code Type", nullptr, &ConfigPageValues::B_CodeType,
                    {{"butBaudotCodeUS", "US", "US"}, {"butBaudotCodeNo2", "No2", "No2"}}, true),
        3, 1);
    QGroupBox* rate = Group(page, "Baud Rate");
    auto* rateLayout = new QHBoxLayout(rate);
    rateLayout->setContentsMargins(6, 2, 6, 2);
    BaudotRateCombo = b.AddRateCombo(rate, "BaudotRateCombo", &ConfigPageValues::baudotRate);
    BaudotRateCombo->installEventFilter(this);
    rateLayout->addWidget(BaudotRateCombo);
    idleLocked.push_back(BaudotRateCombo);
    grid->addWidget(rate, 0, 2);
    QGroupBox* ptt = Group(page, "PTT Delay");
    auto* pttForm = new QFormLayout(ptt);
    pttForm->setContentsMargins(6, 2, 6, 2);
    b.AddEdit(pttForm, "ON:", "edBaudotPTTON", &ConfigPageValues::baudotPttOn);
    b.AddEdit(pttForm, "OFF:", "edBaudotPTTOFF", &ConfigPageValues::baudotPttOff);
    grid->addWidget(ptt, 1, 2);
    grid->addWidget(AddTones(this, b, page,
                             {"Baudot Tones", "MARK", "BaudotMARK", &ConfigPageValues::baudotMark,
                              "SPACE", "BaudotSPACE", &ConfigPageValues::baudotSpace,
                              "BaudotCenterLabel", &ConfigPageValues::baudotCenter,
                              "BaudotShiftLabel", &ConfigPageValues::baudotShift}),
                    0, 3, 3, 1, Qt::AlignTop);
    grid->setRowStretch(4, 1);
}

void TForm2::BuildAsciiPage() {
    Bindings& b = *bindings_;
    QFrame* page = Page(ConfigFolder, "AsciiSheet", "ASCII");
    auto* grid = new QGridLayout(page);
    grid->addWidget(
        TransmitGroup(b, page, &ConfigPageValues::S_TXEnable, "butAsciiTXEN", "butAsciiTXDIS"), 0,
        0);
    grid->addWidget(TextEntryGroup(b, page, &ConfigPageValues::S_TextEntry, "AsciiTextEntryWord",
                                   "AsciiTextEntryChar", "AsciiTextEntryLine"),
                    1, 0);
    grid->addWidget(PolarityGroup(b, page, &ConfigPageValues::S_Polarity, "AsciiPolarityNormal",
                                  "AsciiPolarityReverse"),
                    2, 0);
    grid->addWidget(b.AddRadios(page, "End Of Line", nullptr, &ConfigPageValues::S_EndOfLine,
                                {{"AsciiEOLCR", "CR", "CR"}, {"AsciiEOLCRLF", "CR LF", "CR LF"}},
                                true),
                    0, 1);
    QGroupBox* sync = OnOffGroup(b, page, "Sync Idle", &ConfigPageValues::S_SyncIdle,
                                 "butAsciiSyncON", "butAsciiSyncOFF");
    grid->addWidget(sync, 1, 1);
    idleLocked.push_back(sync);
    QGroupBox* rate = Group(page, "Baud Rate");
    auto* rateLayout = new QHBoxLayout(rate);
    rateLayout->setContentsMargins(6, 2, 6, 2);
    AsciiRateCombo = b.AddRateCombo(rate, "AsciiRateCombo", &ConfigPageValues::asciiRate);
    AsciiRateCombo->installEventFilter(this);
    rateLayout->addWidget(AsciiRateCombo);
    idleLocked.push_back(AsciiRateCombo);
    grid->addWidget(rate, 0, 2);
    QGroupBox* ptt = Group(page, "PTT Delay");
    auto* pttForm = new QFormLayout(ptt);
    pttForm->setContentsMargins(6, 2, 6, 2);
    b.AddEdit(pttForm, "ON:", "edAsciiPTTON", &ConfigPageValues::asciiPttOn);
    b.AddEdit(pttForm, "OFF:", "edAsciiPTTOFF", &ConfigPageValues::asciiPttOff);
    grid->addWidget(ptt, 1, 2);
    grid->addWidget(AddTones(this, b, page,
                             {"ASCII Tones", "MARK", "AsciiMARK", &ConfigPageValues::asciiMark,
                              "SPACE", "AsciiSPACE", &ConfigPageValues::asciiSpace,
                              "AsciiCenterLabel", &ConfigPageValues::asciiCenter, "AsciiShiftLabel",
                              &ConfigPageValues::asciiShift}),
                    0, 3, 3, 1, Qt::AlignTop);
    grid->setRowStretch(3, 1);
}

void TForm2::BuildPModePage() {
    Bindings& b = *bindings_;
    QFrame* page = Page(ConfigFolder, "PModeSheet", "P-Mode");
    auto* grid = new QGridLayout(page);
    grid->addWidget(
        TransmitGroup(b, page, &ConfigPageValues::P_TXEnable, "butPModeTXEN", "butPModeTXDIS"), 0,
        0);
    grid->addWidget(TextEntryGroup(b, page, &ConfigPageValues::P_TextEntry, "PModeTextEntryWord",
                                   "PmodeTextEntryChar", "PModeTextEntryLine"),
                    1, 0);
    grid->addWidget(b.AddRadios(page, "End Of Line", nullptr, &ConfigPageValues::P_EndOfLine,
                                {{"PModeEOLCR", "CR", "CR"}, {"PModeEOLCRLF", "CR LF", "CR LF"}},
                                true),
                    0, 1);
    grid->addWidget(OnOffGroup(b, page, "Huffman", &ConfigPageValues::P_Huffman, "PModeHuffmanON",
                               "PModeHuffmanOFF"),
                    1, 1);
    QGroupBox* delays = Group(page, "Delays");
    auto* form = new QFormLayout(delays);
    form->setContentsMargins(6, 2, 6, 2);
    b.AddEdit(form, "CS Delay", "edPModeCS", &ConfigPageValues::pmodeCsDelay);
    b.AddEdit(form, "Max Down", "edPModeMaxDown", &ConfigPageValues::pmodeMaxDown);
    b.AddEdit(form, "Max Up", "edPModeMaxUp", &ConfigPageValues::pmodeMaxUp);
    b.AddEdit(form, "Max Try", "edPModeMaxTry", &ConfigPageValues::pmodeMaxTry);
    b.AddEdit(form, "Max Error", "edPModeMaxError", &ConfigPageValues::pmodeMaxError);
    b.AddEdit(form, "Max ARQ Sum", "edPModeMaxARQSum", &ConfigPageValues::pmodeMaxArqSum);
    b.AddEdit(form, "FEC Repeats", "edPModeFECRepeats", &ConfigPageValues::pmodeFecRepeats);
    idleLocked.push_back(delays);
    grid->addWidget(delays, 0, 2, 3, 1, Qt::AlignTop);
    grid->addWidget(
        AddTones(this, b, page,
                 {"P-Mode Tones", "Freq 1", "edPModeFreq1", &ConfigPageValues::pmodeFreq1, "Freq 2",
                  "edPModeFreq2", &ConfigPageValues::pmodeFreq2, "PModeCenterLabel",
                  &ConfigPageValues::pmodeCenter, "PModeShiftLabel",
                  &ConfigPageValues::pmodeShift}),
        0, 3, 3, 1, Qt::AlignTop);
    grid->setRowStretch(3, 1);
}

void TForm2::BuildPsk31Page() {
    Bindings& b = *bindings_;
    QFrame* page = Page(ConfigFolder, "PSK31Sheet", "PSK31");
    auto* grid = new QGridLayout(page);
    grid->addWidget(
        TransmitGroup(b, page, &ConfigPageValues::PSK31_TXEnable, "butPSK31TXEn", "butPSK31TXDis"),
        0, 0);
    grid->addWidget(TextEntryGroup(b, page, &ConfigPageValues::PSK31_TextEntry,
                                   "PSK31TextEntryWord", "PSK31TextEntryChar",
                                   "PSK31TextEntryLine"),
                    1, 0);
    QGroupBox* ptt = Group(page, "PTT Delay");
    auto* pttGrid = new QGridLayout(ptt);
    pttGrid->setContentsMargins(6, 2, 6, 2);
    auto* pttForm = new QFormLayout();
    pttGrid->addLayout(pttForm, 0, 0, 2, 1);
    QLineEdit* on = b.AddEdit(pttForm, "ON:", "edPSK31PTTON", &ConfigPageValues::psk31PttOn);
    QLineEdit* off = b.AddEdit(pttForm, "OFF:", "edPSK31PTTOFF", &ConfigPageValues::psk31PttOff);
    on->setAccessibleName(QStringLiteral("PTT delay ON, x10 ms"));
    off->setAccessibleName(QStringLiteral("PTT delay OFF, x10 ms"));
    pttGrid->addWidget(new QLabel(QStringLiteral("(x10 ms)"), ptt), 0, 1);
    pttGrid->addWidget(new QLabel(QStringLiteral("(x10 ms)"), ptt), 1, 1);
    grid->addWidget(ptt, 0, 1);
    QGroupBox* receive = Group(page, "Receive Settings");
    receive->setObjectName(QStringLiteral("PSK31ReceiveBox"));
    auto* receiveForm = new QFormLayout(receive);
    receiveForm->setContentsMargins(6, 2, 6, 2);
    PSK31AFCCheckBox = new QCheckBox(QStringLiteral("AFC Enabled"), receive);
    PSK31AFCCheckBox->setObjectName(QStringLiteral("PSK31AFCCheckBox"));
    receiveForm->addRow(PSK31AFCCheckBox);
    PSK31Squelch = new QSpinBox(receive);
    PSK31Squelch->setObjectName(QStringLiteral("PSK31Squelch"));
    PSK31Squelch->setRange(1, 99);
    PSK31Squelch->setAccessibleName(QStringLiteral("Squelch Setting"));
    receiveForm->addRow(QStringLiteral("Squelch Setting"), PSK31Squelch);
    grid->addWidget(receive, 1, 1);
    // The rest of the page is left for the sound card's own devices.
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
}

void TForm2::BuildMessagesPage() {
    QFrame* page = Page(ConfigFolder, "MessagesSheet", "Messages");
    auto* grid = new QGridLayout(page);
    auto callEdit = [&](const char* caption, const char* groupName, const char* name,
                        qsizetype capacity, QString Settings::*setting, int row) {
        QGroupBox* box = Group(page, caption, groupName);
        auto* layout = new QHBoxLayout(box);
        layout->setContentsMargins(6, 2, 6, 2);
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QLatin1String(name));
        edit->setAccessibleName(QLatin1String(caption));
        edit->setMaxLength(static_cast<int>(capacity));
        edit->setValidator(new UpperCaseValidator(edit));
        layout->addWidget(edit);
        grid->addWidget(box, row, 0);
        // The call signs go into the settings as they are typed.
        connect(edit, &QLineEdit::textChanged, this, [this, setting](const QString& text) {
            if (host_.settings.*setting != text) {
                host_.settings.*setting = text;
                host_.configChanged = true;
            }
        });
        return edit;
    };
    edMyCall = callEdit("MyCall", nullptr, "edMyCall", kCallSignCapacity, &Settings::MYCALL, 0);
    edMyCall476 =
        callEdit("MyCall 476", nullptr, "edMyCall476", kSelCallCapacity, &Settings::MYCALL476, 1);
    edMyCall625 = callEdit("MyCall 625", "edMyCall625gb", "edMyCall625", kSelCallCapacity,
                           &Settings::MYCALL625, 2);
    edGroupCall = callEdit("Group Call", "edGroupCallgb", "edGroupCall", kCallSignCapacity,
                           &Settings::GROUPCALL, 3);

    auto callList = [&](const char* caption, const char* name, qsizetype capacity,
                        const char* addName, const char* deleteName, QPushButton*& add,
                        QPushButton*& remove, int row) {
        QGroupBox* box = Group(page, caption);
        auto* layout = new QHBoxLayout(box);
        layout->setContentsMargins(6, 2, 6, 2);
        auto* combo = new QComboBox(box);
        combo->setObjectName(QLatin1String(name));
        combo->setAccessibleName(QLatin1String(caption));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->lineEdit()->setMaxLength(static_cast<int>(capacity));
        combo->setValidator(new UpperCaseValidator(combo));
        combo->setMinimumContentsLength(10);
        layout->addWidget(combo, 1);
        add = new QPushButton(QStringLiteral("&Add"), box);
        add->setObjectName(QLatin1String(addName));
        remove = new QPushButton(QStringLiteral("&Delete"), box);
        remove->setObjectName(QLatin1String(deleteName));
        layout->addWidget(add);
        layout->addWidget(remove);
        grid->addWidget(box, row, 1);
        return combo;
    };
    edHisCallBox = callList("HisCall List", "edHisCallBox", kCallSignCapacity, "Button4", "Button5",
                            Button4, Button5, 0);
    edHisCall476Box = callList("HisCall 476 List", "edHisCall476Box", kSelCallCapacity, "Button6",
                               "Button7", Button6, Button7, 1);
    // The two lists' Add and Delete share their mnemonics, as captioned; each pair acts on the
    // list whose box has the focus.
    connect(Button4, &QPushButton::clicked, this,
            [this] { AddCall(edHisCallBox, &Settings::HISCALLLIST); });
    connect(Button6, &QPushButton::clicked, this,
            [this] { AddCall(edHisCall476Box, &Settings::HISCALL476LIST); });
    connect(Button5, &QPushButton::clicked, this, [this] {
        DeleteCall(edHisCallBox, &Settings::HISCALLLIST, &Settings::HISCALL, false);
    });
    connect(Button7, &QPushButton::clicked, this, [this] {
        DeleteCall(edHisCall476Box, &Settings::HISCALL476LIST, &Settings::HISCALL476, true);
    });

    QGroupBox* hereIs = Group(page, "Here Is Messages");
    auto* hereLayout = new QVBoxLayout(hereIs);
    hereLayout->setContentsMargins(6, 2, 6, 2);
    edHereIs = new QPlainTextEdit(hereIs);
    edHereIs->setObjectName(QStringLiteral("edHereIs"));
    edHereIs->setAccessibleName(QStringLiteral("Here Is message"));
    edHereIs->setTabChangesFocus(true);
    hereLayout->addWidget(edHereIs, 1);
    auto* select = new QHBoxLayout();
    auto* selectLabel = new QLabel(QStringLiteral("Select Here Is message #"), hereIs);
    UpDown1 = new HereIsUpDown(hereIs);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->lineEdit()->setObjectName(QStringLiteral("edHereIsNumber"));
    UpDown1->setAccessibleName(QStringLiteral("Select Here Is message #"));
    selectLabel->setBuddy(UpDown1);
    select->addWidget(selectLabel);
    select->addWidget(UpDown1);
    select->addStretch();
    hereLayout->addLayout(select);
    grid->addWidget(hereIs, 2, 1, 3, 1);
    connect(UpDown1, &QSpinBox::valueChanged, this, &TForm2::SelectHereIs);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
}

void TForm2::BuildButtons() {
    auto* row = new QHBoxLayout();
    row->addStretch();
    auto button = [&](const char* name, const char* caption, const char* hint) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(QLatin1String(hint));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    Button3 = button("Button3", "OK", "Apply and save changes");
    Button1 = button("Button1", "Cancel", "Cancel any changes");
    Button2 = button("Button2", "Apply", "Apply changes without saving");
    butDefaults = button("butDefaults", "Defaults", "Restore factory default settings");
    idleLocked.push_back(butDefaults);
    qobject_cast<QVBoxLayout*>(layout())->addLayout(row);
    connect(Button3, &QPushButton::clicked, this, &TForm2::OkClick);
    connect(Button1, &QPushButton::clicked, this, &TForm2::CancelClick);
    connect(Button2, &QPushButton::clicked, this, [this] {
        if (host_.apply) {
            host_.apply();
        }
    });
    connect(butDefaults, &QPushButton::clicked, this, &TForm2::DefaultsClick);
    connect(PortBox, &QComboBox::activated, this, [this] {
        portChanged = true;
        host_.configChanged = true;
    });
}

void TForm2::OkClick() {
    QCoreApplication::processEvents();
    // The file gets the settings as they stand; this opening's changes are applied after.
    if (host_.saveConfiguration) {
        host_.saveConfiguration();
    }
    host_.configChanged = false;
    done(QDialog::Accepted);
}

void TForm2::CancelClick() {
    host_.configChanged = false;
    done(QDialog::Rejected);
}

void TForm2::DefaultsClick() {
    ConfigPageValues v = Values();
    RestoreConfigDefaults(host_.settings, v);
    ShowValues(v);
    host_.configChanged = true;
    done(QDialog::Rejected);
}

void TForm2::AddCall(QComboBox* box, QString Settings::*list) {
    const QString call = box->currentText();
    if (call.isEmpty()) {
        return;
    }
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    items << call;
    const QString text = ListToText(items);
    if (text.size() > kListCapacity) {
        host_.dialogs.MessageBox(QStringLiteral("The list is full: remove a call sign first."),
                                 QStringLiteral("Error"), BoxButtons::Ok, BoxIcon::Stop);
        return;
    }
    box->addItem(call);
    host_.settings.*list = text;
    host_.configChanged = true;
}

void TForm2::DeleteCall(QComboBox* box, QString Settings::*list, QString Settings::*call,
                        bool clearText) {
    const int index = box->currentIndex();
    if (index >= 0) {
        box->removeItem(index);
    }
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    host_.settings.*list = ListToText(items);
    if (clearText) {
        box->setEditText(QString());
    }
    if (box->currentText().isEmpty() && box->count() > 0) {
        box->setCurrentIndex(0);
        box->setEditText(box->itemText(0));
        host_.settings.*call = box->itemText(0);
    }
    host_.configChanged = true;
}

void TForm2::SelectHereIs(int position) {
    edHereIs->clear();
    const QSignalBlocker block(UpDown1);
    UpDown1->setValue(position);
    if (host_.loadHereIs) {
        edHereIs->setPlainText(host_.loadHereIs(position));
    }
    edHereIs->document()->setModified(false);
}

ConfigPageValues TForm2::Values() const {
    const Bindings& b = *bindings_;
    ConfigPageValues v;
    for (const Bindings::Radios& group : b.radios) {
        QString& value = v.*group.field;
        for (const auto& [button, text] : group.buttons) {
            if (button->isChecked()) {
                value = text;
            }
        }
    }
    for (const auto& [edit, field] : b.edits) {
        v.*field = edit->text();
    }
    for (const auto& [label, field] : b.labels) {
        v.*field = label->text();
    }
    for (const auto& [combo, field] : b.fixedCombos) {
        v.*field = combo->currentText();
    }
    for (int i = 0; i < PortBox->count(); ++i) {
        v.ports << PortBox->itemText(i);
    }
    v.port = PortBox->currentText();
    v.portChanged = portChanged;
    v.listenShown = !ListenBox->isHidden();
    for (int i = 0; i < RXGainCombo->count(); ++i) {
        v.rxGains << RXGainCombo->itemText(i);
    }
    v.rxGain = RXGainCombo->currentText();
    for (int i = 0; i < TXGainCombo->count(); ++i) {
        v.txGains << TXGainCombo->itemText(i);
    }
    v.txGain = TXGainCombo->currentText();
    v.txGainShown = !TXGainCombo->isHidden();
    v.psLevel = cfgPSLevelSpin->text();
    v.psk31Afc = PSK31AFCCheckBox->isChecked();
    v.psk31Squelch = PSK31Squelch->text();
    v.myCall = edMyCall->text();
    v.myCall476 = edMyCall476->text();
    v.myCall625 = edMyCall625->text();
    v.groupCall = edGroupCall->text();
    v.callSignsEnabled = edMyCall->isEnabled();
    for (int i = 0; i < edHisCallBox->count(); ++i) {
        v.hisCalls << edHisCallBox->itemText(i);
    }
    v.hisCall = edHisCallBox->currentText();
    for (int i = 0; i < edHisCall476Box->count(); ++i) {
        v.hisCalls476 << edHisCall476Box->itemText(i);
    }
    v.hisCall476 = edHisCall476Box->currentText();
    v.hereIs = edHereIs->toPlainText();
    v.hereIsModified = edHereIs->document()->isModified();
    v.hereIsNumber = UpDown1->text();
    v.activePage = ConfigFolder->currentIndex();
    v.idleControlsEnabled = butDefaults->isEnabled();
    return v;
}

void TForm2::ShowValues(const ConfigPageValues& v) {
    const Bindings& b = *bindings_;
    for (const Bindings::Radios& group : b.radios) {
        const QString& value = v.*group.field;
        bool found = false;
        for (const auto& [button, text] : group.buttons) {
            found = found || text == value;
        }
        for (const auto& [button, text] : group.buttons) {
            // With no button for the value, every button of the group is cleared.
            button->setAutoExclusive(found);
            button->setChecked(text == value);
            button->setAutoExclusive(true);
        }
    }
    for (const auto& [edit, field] : b.edits) {
        edit->setText(v.*field);
    }
    for (const auto& [label, field] : b.labels) {
        label->setText(v.*field);
    }
    for (const auto& [combo, field] : b.fixedCombos) {
        if (combo->findText(v.*field) < 0) {
            combo->addItem(v.*field);
        }
        combo->setCurrentText(v.*field);
    }
    PortBox->clear();
    PortBox->addItems(v.ports);
    PortBox->setCurrentIndex(PortBox->findText(v.port));
    portChanged = v.portChanged;
    ListenBox->setVisible(v.listenShown);
    // A gain of the table that the hardware's list leaves out is shown as it is, so that it
    // is kept.
    for (const auto& [combo, items, text] : {std::tuple(RXGainCombo, v.rxGains, v.rxGain),
                                             std::tuple(TXGainCombo, v.txGains, v.txGain)}) {
        combo->clear();
        combo->addItems(items);
        if (!text.isEmpty() && combo->findText(text) < 0) {
            combo->addItem(text);
        }
        combo->setCurrentIndex(combo->findText(text));
    }
    TXGainCombo->setVisible(v.txGainShown);
    b.txGainLabel->setVisible(v.txGainShown);
    bool read = false;
    if (const int level = v.psLevel.toInt(&read); read) {
        cfgPSLevelSpin->setValue(level);
    }
    PSK31AFCCheckBox->setChecked(v.psk31Afc);
    if (const int squelch = v.psk31Squelch.toInt(&read); read) {
        PSK31Squelch->setValue(squelch);
    }
    edMyCall->setText(v.myCall);
    edMyCall476->setText(v.myCall476);
    edMyCall625->setText(v.myCall625);
    edGroupCall->setText(v.groupCall);
    for (QLineEdit* edit : {edMyCall, edMyCall476, edMyCall625, edGroupCall}) {
        edit->setEnabled(v.callSignsEnabled);
    }
    edHisCallBox->clear();
    edHisCallBox->addItems(v.hisCalls);
    edHisCallBox->setEditText(v.hisCall);
    edHisCall476Box->clear();
    edHisCall476Box->addItems(v.hisCalls476);
    edHisCall476Box->setEditText(v.hisCall476);
    edHereIs->setPlainText(v.hereIs);
    edHereIs->document()->setModified(v.hereIsModified);
    {
        const QSignalBlocker block(UpDown1);
        const int number = HereIsMessageNumber(v.hereIsNumber);
        UpDown1->setValue(number < 0 ? 0 : number);
    }
    ConfigFolder->setCurrentIndex(v.activePage);
    for (QWidget* widget : idleLocked) {
        widget->setEnabled(v.idleControlsEnabled);
    }
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    // Esc is the Cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    portChanged = false;
    QDialog::mousePressEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        return false;
    }
    if (watched == PortBox) {
        // A port is chosen from the opened list, never by a key that slips onto the box;
        // the keys that open the list stay so the port can be chosen without a mouse.
        const bool opensList = key->key() == Qt::Key_F4 ||
                               (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier));
        return !opensList;
    }
    // The gains and rates are picked from their lists, not typed.
    return IsPrintable(key);
}

void ShowConfigPages(TForm2& form, const ShowConfigPagesContext& c) {
    ModeWindow& w = c.w;
    ConfigPageValues v = form.Values();
    FillConfigPages(w.settings, c.fill, v);
    form.ShowValues(v);
    if (c.tickToolBar) {
        c.tickToolBar(w.settings.ToolBar);
    }
    form.SelectHereIs(0);
    const int mode = w.terminal.OperatingMode;
    if (mode == kModeBaudot || mode == kModeAscii) {
        w.sendCommand(Command(kCmdSetup84));
    }
    form.portChanged = false;
    if (const QScreen* screen = form.screen()) {
        const QRect desk = screen->availableGeometry();
        form.move(desk.center() - QPoint(form.width() / 2, form.height() / 2));
    }
    c.dialogs.ExecModal(form);
    if (form.isVisible()) {
        form.hide();
    }
    if (c.apply) {
        c.apply();
    }
    if (w.terminal.OperatingMode == kModeBaudot) {
        w.sendCommand(Command(kCmdSelectBaudot));
    } else if (w.terminal.OperatingMode == kModeAscii) {
        w.sendCommand(Command(kCmdSelectAscii));
    }
}

} // namespace tarvis
