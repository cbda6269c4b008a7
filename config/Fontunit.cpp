#include "config/Fontunit.h"

#include "config/Jw_utils.h"
#include "config/Settings.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <utility>

namespace tarvis {

namespace {

// The colour lists' order, as the operator knows it.
const char* const kColourItems[] = {"Black", "Teal",    "Gray", "Silver", "Lime", "Yellow",
                                    "Blue",  "Fuchsia", "Aqua", "White",  "Red",  "Maroon",
                                    "Green", "Olive",   "Navy", "Purple"};
const char* const kSizeItems[] = {"8", "9", "10", "11", "12", "14", "16", "18"};

constexpr int kLabelLeft = 10;
constexpr int kComboLeft = 92;
constexpr int kComboWidth = 150;
constexpr int kRowHeight = 28;

QComboBox* EditableCombo(QWidget* parent, const QString& name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // What the operator types is used as typed, not added to the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

void AddItems(QComboBox* combo, const char* const* items, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        combo->addItem(QLatin1String(items[i]));
    }
}

void SetLabelFontFamily(QLabel* label, const QString& family) {
    QFont font = label->font();
    font.setFamilies({family});
    label->setFont(font);
}

void SetLabelFontSize(QLabel* label, int size) {
    QFont font = label->font();
    font.setPointSize(size);
    label->setFont(font);
}

void SetLabelColour(QLabel* label, const QString& name) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ColorFromName(name));
    label->setPalette(palette);
}

void SetPanelColour(QFrame* panel, const QString& name) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, ColorFromName(name));
    panel->setPalette(palette);
}

// Stores a text setting; true when it changed.
bool Store(QString& setting, const QString& value) {
    if (setting == value) {
        return false;
    }
    setting = value;
    return true;
}

} // namespace

QStringList FontFaceNames() {
    // A family that more than one foundry supplies is listed as "Name [Foundry]"; the panes
    // and the configuration want the face name alone, once.
    static const QRegularExpression foundry(QStringLiteral(R"( \[[^\]]*\]$)"));
    QStringList names;
    for (QString family : QFontDatabase::families()) {
        names << family.remove(foundry);
    }
    names.sort();
    names.removeDuplicates();
    return names;
}

std::optional<int> FontSizeFromText(const QString& text) {
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size < 1 || size > 200) {
        return std::nullopt;
    }
    return size;
}

void SetPaneFont(QTextEdit& pane, const QString& family, int pointSize) {
    QFont font = pane.font();
    font.setFamilies({family});
    if (pointSize >= 1 && pointSize <= 200) {
        font.setPointSize(pointSize);
    }
    pane.setFont(font);
}

void SetPaneBackground(QTextEdit& pane, const QColor& colour) {
    QPalette palette = pane.palette();
    palette.setColor(QPalette::Base, colour);
    pane.setPalette(palette);
}

void SetPaneTextColour(QTextEdit& pane, const QColor& colour) {
    QPalette palette = pane.palette();
    palette.setColor(QPalette::Text, colour);
    pane.setPalette(palette);
    pane.setTextColor(colour);
}

TFontForm::TFontForm(QWidget* parent, Dialogs& dialogs, Settings& settings, QTextEdit* receivePane,
                     QTextEdit* transmitPane, std::function<void()> markConfigChanged)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      dialogs_(dialogs), settings_(settings), receivePane_(receivePane),
      transmitPane_(transmitPane), markConfigChanged_(std::move(markConfigChanged)) {
    setObjectName(QStringLiteral("FontForm"));
    setWindowTitle(QStringLiteral("Font Configuration"));
    setFixedSize(536, 309);
    BuildControls();
    ConnectPreview();
}

void TFontForm::BuildControls() {
    const QStringList families = FontFaceNames();

    struct Row {
        const char* caption;
        QComboBox** combo;
        const char* name;
    };
    const auto group = [&](const QString& title, int left, const Row(&rows)[5]) {
        auto* box = new QGroupBox(title, this);
        box->setGeometry(left, 6, 256, 166);
        for (int i = 0; i < 5; ++i) {
            const int top = 22 + i * kRowHeight;
            auto* label = new QLabel(QLatin1String(rows[i].caption), box);
            label->setGeometry(kLabelLeft, top + 3, kComboLeft - kLabelLeft - 4, 18);
            QComboBox* combo = EditableCombo(box, QLatin1String(rows[i].name));
            combo->setGeometry(kComboLeft, top, kComboWidth, 24);
            combo->setAccessibleName(
                title + QLatin1Char(' ') +
                QString(QLatin1String(rows[i].caption)).remove(QLatin1Char('&')));
            label->setBuddy(combo);
            if (i == 0) {
                combo->addItems(families);
            } else if (i == 1) {
                AddItems(combo, kSizeItems, std::size(kSizeItems));
            } else {
                AddItems(combo, kColourItems, std::size(kColourItems));
            }
            *rows[i].combo = combo;
        }
    };
    const Row receiveRows[5] = {{"Font:", &ReceiveFont, "ReceiveFont"},
                                {"Size:", &ReceiveTextSize, "ReceiveTextSize"},
                                {"Text:", &ReceiveTextColor, "ReceiveTextColor"},
                                {"&Echo:", &EchoTextColor, "EchoTextColor"},
                                {"Back&ground:", &ReceiveColor, "ReceiveColor"}};
    const Row transmitRows[5] = {{"Font:", &TransmitFont, "TransmitFont"},
                                 {"Size:", &TransmitTextSize, "TransmitTextSize"},
                                 {"Text:", &TransmitTextColor, "TransmitTextColor"},
                                 {"HighLight:", &HighLightTextColor, "HighLightTextColor"},
                                 {"Back&ground:", &TransmitColor, "TransmitColor"}};
    group(QStringLiteral("Receive Buffer"), 8, receiveRows);
    group(QStringLiteral("Transmit Buffer"), 272, transmitRows);

    auto* preview = new QGroupBox(QStringLiteral("Preview"), this);
    preview->setGeometry(8, 176, 520, 88);
    const auto panel = [&](int left, const char* name, QLabel** first, const char* firstText,
                           const char* firstName, QLabel** second, const char* secondText,
                           const char* secondName) {
        auto* frame = new QFrame(preview);
        frame->setObjectName(QLatin1String(name));
        frame->setGeometry(left, 18, 248, 62);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setAutoFillBackground(true);
        *first = new QLabel(QLatin1String(firstText), frame);
        (*first)->setObjectName(QLatin1String(firstName));
        (*first)->setGeometry(8, 2, 236, 29);
        *second = new QLabel(QLatin1String(secondText), frame);
        (*second)->setObjectName(QLatin1String(secondName));
        (*second)->setGeometry(8, 31, 236, 29);
        return frame;
    };
    ReceivePreview = panel(8, "ReceivePreview", &ReceiveTextlabel, "Receive Text",
                           "ReceiveTextlabel", &EchoTextLabel, "Echo Text", "EchoTextLabel");
    TransmitPreview =
        panel(264, "TransmitPreview", &TransmitTextLabel, "Transmit Text", "TransmitTextLabel",
              &HighLightLabel, "HighLight Text", "HighLightLabel");

    const auto button = [&](const char* caption, int left) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        b->setGeometry(left, 274, 80, 27);
        b->setAutoDefault(false);
        return b;
    };
    DefaultsBtn = button("&Defaults", 8);
    DefaultsBtn->setEnabled(false);
    DefaultsBtn->hide();
    OKBtn = button("&OK", 272);
    ApplyBtn = button("&Apply", 360);
    Button1 = button("&Cancel", 448);
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        ApplyBtnClick();
        accept();
    });
    connect(ApplyBtn, &QPushButton::clicked, this, [this] { ApplyBtnClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { reject(); });
}

void TFontForm::ConnectPreview() {
    const auto onText = [this](QComboBox* combo, auto&& change) {
        connect(combo, &QComboBox::currentTextChanged, this, change);
    };
    for (auto [combo, first, second] :
         {std::tuple{ReceiveFont, ReceiveTextlabel, EchoTextLabel},
          std::tuple{TransmitFont, TransmitTextLabel, HighLightLabel}}) {
        onText(combo, [first, second](const QString& text) {
            SetLabelFontFamily(first, text);
            SetLabelFontFamily(second, text);
        });
    }
    for (auto [combo, first, second] :
         {std::tuple{ReceiveTextSize, ReceiveTextlabel, EchoTextLabel},
          std::tuple{TransmitTextSize, TransmitTextLabel, HighLightLabel}}) {
        onText(combo, [first, second](const QString& text) {
            // A size being typed ("2" on the way to "20") or out of range leaves the preview.
            if (const std::optional<int> size = FontSizeFromText(text)) {
                SetLabelFontSize(first, *size);
                SetLabelFontSize(second, *size);
            }
        });
    }
    for (auto [combo, label] :
         {std::pair{ReceiveTextColor, ReceiveTextlabel}, std::pair{EchoTextColor, EchoTextLabel},
          std::pair{TransmitTextColor, TransmitTextLabel},
          std::pair{HighLightTextColor, HighLightLabel}}) {
        onText(combo, [label](const QString& text) { SetLabelColour(label, text); });
    }
    for (auto [combo, frame] :
         {std::pair{ReceiveColor, ReceivePreview}, std::pair{TransmitColor, TransmitPreview}}) {
        onText(combo, [frame](const QString& text) { SetPanelColour(frame, text); });
    }
}

void TFontForm::LoadFromSettings() {
    const Settings& s = settings_;
    ReceiveFont->setCurrentText(s.ReceiveFont);
    ReceiveTextSize->setCurrentText(QString::number(s.ReceiveTextSize));
    ReceiveTextColor->setCurrentText(s.ReceiveTextColor);
    EchoTextColor->setCurrentText(s.EchoTextColor);
    ReceiveColor->setCurrentText(s.ReceiveColor);
    TransmitFont->setCurrentText(s.TransmitFont);
    TransmitTextSize->setCurrentText(QString::number(s.TransmitTextSize));
    TransmitTextColor->setCurrentText(s.TransmitTextColor);
    HighLightTextColor->setCurrentText(s.HighLightTextColor);
    TransmitColor->setCurrentText(s.TransmitColor);

    // The preview from the settings themselves, also where a control's text did not change.
    SetPanelColour(ReceivePreview, s.ReceiveColor);
    SetPanelColour(TransmitPreview, s.TransmitColor);
    for (QLabel* label : {ReceiveTextlabel, EchoTextLabel}) {
        SetLabelFontFamily(label, s.ReceiveFont);
        if (FontSizeFromText(QString::number(s.ReceiveTextSize))) {
            SetLabelFontSize(label, s.ReceiveTextSize);
        }
    }
    for (QLabel* label : {TransmitTextLabel, HighLightLabel}) {
        SetLabelFontFamily(label, s.TransmitFont);
        if (FontSizeFromText(QString::number(s.TransmitTextSize))) {
            SetLabelFontSize(label, s.TransmitTextSize);
        }
    }
    SetLabelColour(ReceiveTextlabel, s.ReceiveTextColor);
    SetLabelColour(EchoTextLabel, s.EchoTextColor);
    SetLabelColour(TransmitTextLabel, s.TransmitTextColor);
    SetLabelColour(HighLightLabel, s.HighLightTextColor);
}

int TFontForm::ShowModal() {
    LoadFromSettings();
    return dialogs_.ExecModal(*this);
}

void TFontForm::ApplyBtnClick() {
    Settings& s = settings_;
    bool changed = false;
    QStringList refused;
    // Sizes that are no whole number from 1 to 200 are refused; the rest still applies.
    const auto size = [&](QComboBox* combo, int& setting, const QString& which) {
        if (const std::optional<int> value = FontSizeFromText(combo->currentText())) {
            changed |= setting != *value;
            setting = *value;
        } else {
            refused << which;
        }
    };

    changed |= Store(s.ReceiveFont, ReceiveFont->currentText());
    changed |= Store(s.ReceiveTextColor, ReceiveTextColor->currentText());
    size(ReceiveTextSize, s.ReceiveTextSize, QStringLiteral("receive"));
    if (receivePane_ != nullptr) {
        SetPaneFont(*receivePane_, s.ReceiveFont, s.ReceiveTextSize);
    }
    changed |= Store(s.EchoTextColor, EchoTextColor->currentText());
    changed |= Store(s.ReceiveColor, ReceiveColor->currentText());
    if (receivePane_ != nullptr) {
        SetPaneBackground(*receivePane_, ColorFromName(s.ReceiveColor));
    }

    changed |= Store(s.TransmitFont, TransmitFont->currentText());
    changed |= Store(s.TransmitTextColor, TransmitTextColor->currentText());
    size(TransmitTextSize, s.TransmitTextSize, QStringLiteral("transmit"));
    if (transmitPane_ != nullptr) {
        SetPaneFont(*transmitPane_, s.TransmitFont, s.TransmitTextSize);
        SetPaneTextColour(*transmitPane_, ColorFromName(s.TransmitTextColor));
    }
    changed |= Store(s.HighLightTextColor, HighLightTextColor->currentText());
    changed |= Store(s.TransmitColor, TransmitColor->currentText());
    if (transmitPane_ != nullptr) {
        SetPaneBackground(*transmitPane_, ColorFromName(s.TransmitColor));
    }

    if (changed && markConfigChanged_) {
        markConfigChanged_();
    }
    if (!refused.isEmpty()) {
        dialogs_.MessageBox(QStringLiteral("The %1 text size must be a whole number from 1 to 200; "
                                           "the size in use is kept.")
                                .arg(refused.join(QStringLiteral(" and "))),
                            QStringLiteral("ERROR"), BoxButtons::Ok, BoxIcon::Stop);
    }
}

} // namespace tarvis
