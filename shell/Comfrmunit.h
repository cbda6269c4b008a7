#pragma once
// The port dialog: asked when the configured port cannot be opened or the modem does not
// answer on it. It offers the ports that could be opened when the program started.
#include <QDialog>
#include <functional>

class QComboBox;

namespace tarvis {

class Dialogs;

class TComFrm : public QDialog {
public:
    // `available` is the port-availability probe, asked for COM1 to COM254 once, now.
    TComFrm(Dialogs& dialogs, const std::function<bool(int)>& available, QWidget* parent = nullptr);

    QComboBox* PortBox = nullptr;
    // The port the operator chose; 1 until the list says otherwise.
    int SelectedPort = 1;

    void PortBoxChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dialogs& dialogs_;
};

} // namespace tarvis
