#pragma once
// The screen settings dialog: fonts, sizes and colours of the receive and transmit panes,
// chosen with a live preview. Nothing changes outside the dialog until Apply or OK.
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

namespace tarvis {

class Dialogs;
struct Settings;

// Pane helpers shared with the main window's start-up: font name and size, background and
// text colour of a pane. A size outside 1 to 200 leaves the pane's size as it is.
void SetPaneFont(QTextEdit& pane, const QString& family, int pointSize);
void SetPaneBackground(QTextEdit& pane, const QColor& colour);
void SetPaneTextColour(QTextEdit& pane, const QColor& colour);

// The face names of the fonts installed for the screen, sorted, each once.
QStringList FontFaceNames();

// The whole number of a size text when it is 1 to 200.
std::optional<int> FontSizeFromText(const QString& text);

class TFontForm : public QDialog {
public:
    TFontForm(QWidget* parent, Dialogs& dialogs, Settings& settings, QTextEdit* receivePane,
              QTextEdit* transmitPane, std::function<void()> markConfigChanged);

    // "Screen Settings...": the controls from the settings, then the dialog modally.
    int ShowModal();
    // Controls and preview from the settings.
    void LoadFromSettings();
    // The controls into the settings and onto the panes.
    void ApplyBtnClick();

    QComboBox* ReceiveFont = nullptr;
    QComboBox* ReceiveTextSize = nullptr;
    QComboBox* ReceiveTextColor = nullptr;
    QComboBox* EchoTextColor = nullptr;
    QComboBox* ReceiveColor = nullptr;
    QComboBox* TransmitFont = nullptr;
    QComboBox* TransmitTextSize = nullptr;
    QComboBox* TransmitTextColor = nullptr;
    QComboBox* HighLightTextColor = nullptr;
    QComboBox* TransmitColor = nullptr;

    QFrame* ReceivePreview = nullptr;
    QLabel* ReceiveTextlabel = nullptr;
    QLabel* EchoTextLabel = nullptr;
    QFrame* TransmitPreview = nullptr;
    QLabel* TransmitTextLabel = nullptr;
    QLabel* HighLightLabel = nullptr;

    QPushButton* OKBtn = nullptr;
    QPushButton* ApplyBtn = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* DefaultsBtn = nullptr;

private:
    void BuildControls();
    void ConnectPreview();

    Dialogs& dialogs_;
    Settings& settings_;
    QTextEdit* receivePane_;
    QTextEdit* transmitPane_;
    std::function<void()> markConfigChanged_;
};

} // namespace tarvis
