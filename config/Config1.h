#pragma once
// The configuration pages: one modal dialog with a page per part of the modem's settings.
// The dialog moves the values of ConfigPages to and from its controls; filling, defaults and
// applying are ConfigPages' own.
#include "config/ConfigPages.h"
#include "link/Commands.h"

#include <QDialog>
#include <QSpinBox>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tarvis {

class Dialogs;
struct ModeWindow;

// The Here-Is selector: 0 .. 9 and "WRU" for 10, wrapping round.
class HereIsUpDown : public QSpinBox {
public:
    explicit HereIsUpDown(QWidget* parent);
    // The number box the up-down steps.
    using QSpinBox::lineEdit;

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
};

// What the dialog does beyond its own controls.
struct ConfigPagesHost {
    Settings& settings;
    bool& configChanged;
    Dialogs& dialogs;
    // The text of Here-Is message n (0..9, 10 the answer-back), its file created with the
    // default text when missing.
    std::function<QString(int number)> loadHereIs;
    // Rewrites the configuration file (OK).
    std::function<void()> saveConfiguration;
    // Applies the pages as they stand (Apply).
    std::function<void()> apply;
};

class TForm2 : public QDialog {
public:
    TForm2(QWidget* parent, ConfigPagesHost host);
    ~TForm2() override;

    // The controls' state, and the controls set to a state.
    ConfigPageValues Values() const;
    void ShowValues(const ConfigPageValues& v);
    // Selects a Here-Is message by the up-down's position and loads its file into the memo,
    // creating the file with its default text when it is missing.
    void SelectHereIs(int position);

    // Set when the operator chooses a port; cleared before the dialog shows and by a mouse
    // press on the dialog's own background.
    bool portChanged = false;

    QTabWidget* ConfigFolder = nullptr;
    QPushButton* Button3 = nullptr;     // OK
    QPushButton* Button1 = nullptr;     // Cancel
    QPushButton* Button2 = nullptr;     // Apply
    QPushButton* butDefaults = nullptr; // Defaults

    QComboBox* PortBox = nullptr;
    QGroupBox* ListenBox = nullptr;
    QGroupBox* AudioGainBox = nullptr;
    QComboBox* RXGainCombo = nullptr;
    QComboBox* TXGainCombo = nullptr;
    QSpinBox* cfgPSLevelSpin = nullptr;
    QComboBox* BaudotRateCombo = nullptr;
    QComboBox* AsciiRateCombo = nullptr;
    QCheckBox* PSK31AFCCheckBox = nullptr;
    QSpinBox* PSK31Squelch = nullptr;
    QLineEdit* edMyCall = nullptr;
    QLineEdit* edMyCall476 = nullptr;
    QLineEdit* edMyCall625 = nullptr;
    QLineEdit* edGroupCall = nullptr;
    QComboBox* edHisCallBox = nullptr;
    QComboBox* edHisCall476Box = nullptr;
    QPushButton* Button4 = nullptr; // Add
    QPushButton* Button5 = nullptr; // Delete
    QPushButton* Button6 = nullptr; // Add (476)
    QPushButton* Button7 = nullptr; // Delete (476)
    QPlainTextEdit* edHereIs = nullptr;
    HereIsUpDown* UpDown1 = nullptr;
    QLabel* FECCodeEfficLabel = nullptr;
    QLabel* FECBlockSizeLabel = nullptr;

    // The controls the keys of a link, a transmission or a broadcast lock.
    std::vector<QWidget*> idleLocked;

    // Each control bound to the value it stands for.
    struct Bindings;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildGeneralPage();
    void BuildMirvolPage();
    void BuildAmtorPage();
    void BuildBaudotPage();
    void BuildAsciiPage();
    void BuildPModePage();
    void BuildPsk31Page();
    void BuildMessagesPage();
    void BuildButtons();
    void OkClick();
    void CancelClick();
    void DefaultsClick();
    void AddCall(QComboBox* box, QString Settings::*list);
    void DeleteCall(QComboBox* box, QString Settings::*list, QString Settings::*call,
                    bool clearText);

    ConfigPagesHost host_;
    std::unique_ptr<Bindings> bindings_;
};

// "&Configuration Pages...": fills the dialog from the settings, sends 80 84 first in the
// RTTY modes, shows it modally, applies whatever closed it, and ends the RTTY modes' pair with
// 80 85 (Baudot) or 80 86 (ASCII).
struct ShowConfigPagesContext {
    ModeWindow& w;
    Dialogs& dialogs;
    ConfigFillContext fill;
    // Ticks the View menu's tool-bar item.
    std::function<void(bool)> tickToolBar;
    // ApplyConfigPages for this dialog.
    std::function<void()> apply;
};
void ShowConfigPages(TForm2& form, const ShowConfigPagesContext& context);

} // namespace tarvis
