#pragma once
// The Here-Is panel: a number edit with an up-down selector for messages 1 to 10 (10 shows
// "WRU"), a preview of the chosen message file and Send / Cancel. It floats over the main
// window's panes and stays up until Send or Cancel.
#include "modes/PanelFrame.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QToolButton;

namespace tarvis {

// An up-down control attached to a number edit: each step writes the new position into the
// edit and then reports the click. A number typed into the edit is where the next step
// starts from.
class TUpDown final : public QWidget {
public:
    TUpDown(QWidget* parent, QLineEdit& associate);

    void SetRange(int min, int max) {
        min_ = min;
        max_ = max;
    }
    void SetWrap(bool wrap) { wrap_ = wrap; }
    void SetPosition(int position) { position_ = position; }
    int Position() const { return position_; }
    // One step up (+1) or down (-1), as a click on an arrow.
    void Step(int direction);

    // Runs after every step, once the edit holds the new position.
    std::function<void()> onClick;

    QToolButton* upButton = nullptr;
    QToolButton* downButton = nullptr;

private:
    QLineEdit& associate_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    bool wrap_ = false;
};

class THereIsPanel final : public TPanelFrame {
public:
    explicit THereIsPanel(QWidget* owner);

    QLabel* Label = nullptr;
    QLineEdit* edHereIsNumber = nullptr;
    TUpDown* HereIsSelector = nullptr;
    QTextEdit* edHereIs = nullptr;
    QPushButton* Button4 = nullptr; // "&Send"
    QPushButton* Button5 = nullptr; // "&Cancel"

    // A key released in the number edit (with the key's code and its text).
    std::function<void(int key, const QString& text)> onNumberKeyUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tarvis
