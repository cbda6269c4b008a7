#pragma once
// The four floating tool windows the main window makes for itself: amplitude bars, frequency
// tune, MIRVOL statistics and the sound-card tuning window. They stay on top of the main
// window; where they stand and whether they are shown is kept in the configuration.
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace tarvis {

// A small stay-on-top window with a dialog border.
class ToolWindow : public QWidget {
public:
    ToolWindow(QWidget* owner, const QString& caption, const QSize& size);
};

class TAmplitudeTuneFrm : public ToolWindow {
public:
    explicit TAmplitudeTuneFrm(QWidget* owner);
    QProgressBar* TuneBar[4] = {};
    QFrame* PrintSquelch = nullptr;  // on the top bar
    QFrame* PrintSquelch2 = nullptr; // on the bottom bar
    // Places both print-squelch markers at the left edge, or hides them.
    void SetSquelchMarkers(int left, bool visible);
};

class TFrequencyTuneFrm : public ToolWindow {
public:
    explicit TFrequencyTuneFrm(QWidget* owner);
    QFrame* Shape1 = nullptr;
    QFrame* FreqPointer = nullptr;
    QLabel* FreqMeter = nullptr;
};

class TMirvolStatisticsFrm : public ToolWindow {
public:
    explicit TMirvolStatisticsFrm(QWidget* owner);
    QLineEdit* MyModBox = nullptr;
    QLineEdit* MySNRBox = nullptr;
    QLineEdit* MyFreqBox = nullptr;
    QLineEdit* MyPHSBox = nullptr;
    QLineEdit* MyTPUTBox = nullptr;
    QLineEdit* MyECCBox = nullptr;
    QLineEdit* HisModBox = nullptr;
    QLineEdit* HisSNRBox = nullptr;
    QLineEdit* HisFreqBox = nullptr;
    QLineEdit* HisPHSBox = nullptr;
    QLineEdit* HisTPUTBox = nullptr;
    QLineEdit* HisECCBox = nullptr;
};

class TSoundTuneFrm : public ToolWindow {
public:
    explicit TSoundTuneFrm(QWidget* owner);
    QFrame* WaterfallPanel = nullptr;
    QFrame* TunePanel = nullptr;
};

// The print-squelch markers' left edge for a level: (182 * level - 10197) div 67, truncating
// toward zero. Below 58 the markers are hidden.
inline int PrintSquelchMarkerLeft(int level) { return (182 * level - 10197) / 67; }
inline bool PrintSquelchMarkersHidden(int level) { return level < 58; }

} // namespace tarvis
