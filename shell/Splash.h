#pragma once
// The splash window: it walks the operator through the start-up steps, one progress line
// each, and hands over to the main window when they are done.
#include <QWidget>

class QPlainTextEdit;
class QTimer;

namespace tarvis {

class TForm1;

class TSplashFrm : public QWidget {
public:
    explicit TSplashFrm(TForm1& mainWindow);

    QPlainTextEdit* Memo = nullptr;
    QTimer* Timer1 = nullptr;

    // The whole start-up sequence; false when it stopped (the application is asked to quit).
    bool RunSequence();

private:
    // False when the program is to end instead.
    bool Step(const QString& caption);
    void AddOk();
    void Wait(int milliseconds);

    TForm1& main_;
};

} // namespace tarvis
