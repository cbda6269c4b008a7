#pragma once
// The About box: the program's name and version and the versions the QD470 reported at
// start-up, for the operator to quote to the maker's support.
#include <QDialog>
#include <QPixmap>

class QGroupBox;
class QLabel;
class QFrame;
class QPushButton;

namespace tarvis {

class Dialogs;
struct ModemIdentity;

// The program's icon, drawn at the given size in pixels (square).
QPixmap ProgramIconPixmap(int size);

class TAboutBox : public QDialog {
public:
    TAboutBox(QWidget* parent, Dialogs& dialogs);

    // Fills the box from the program and the stored modem texts (empty before the modem has
    // answered) and shows it modally, centred on the screen.
    void About1Click(const ModemIdentity& identity);
    void OKButtonClick();

    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Label2 = nullptr; // "Version "
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr; // the maker's support telephone
    QLabel* Label1 = nullptr;    // the maker's web site
    QGroupBox* GroupBox1 = nullptr;
    QLabel* textLODVer = nullptr;
    QLabel* textS28Ver = nullptr;
    QLabel* textEPROM = nullptr;
    QLabel* textProdID = nullptr;
    QLabel* textHardwareVer = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CentreOnScreen();

    Dialogs& dialogs_;
};

} // namespace tarvis
