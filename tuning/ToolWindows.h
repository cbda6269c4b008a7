#pragma once
// The four floating tool windows the main window makes for itself: amplitude bars, frequency
// tune, MIRVOL statistics and the sound-card tuning window. They stay on top of the main
// window; where they stand and whether they are shown is kept in the configuration.
#include <QColor>
#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace tarvis {

// A small stay-on-top window with a dialog border and a fixed client area.
class ToolWindow : public QWidget {
public:
    ToolWindow(QWidget* owner, const QString& caption, const QSize& size);
};

// Four signal-level bars, 0 to 100 each, with the print-squelch markers on the top and the
// bottom bar.
class TAmplitudeTuneFrm : public ToolWindow {
public:
    explicit TAmplitudeTuneFrm(QWidget* owner);
    // TuneBar[0] is TuneBar1 (top) ... TuneBar[3] is TuneBar4 (bottom).
    QProgressBar* TuneBar[4] = {};
    QFrame* PrintSquelch = nullptr;  // on the top bar
    QFrame* PrintSquelch2 = nullptr; // on the bottom bar
    // Places both print-squelch markers at the left edge, or hides them.
    void SetSquelchMarkers(int left, bool visible);

    // Level 58 puts the markers at 5 and level 99 at 116: the bars span that range.
    static constexpr int kBarLeft = 4;
    static constexpr int kBarWidth = 121;
    static constexpr int kBarHeight = 16;
};

// A black strip with a coloured pointer that stands at 113 for no offset.
class TFrequencyTuneFrm : public ToolWindow {
public:
    explicit TFrequencyTuneFrm(QWidget* owner);
    QFrame* Shape1 = nullptr;
    QFrame* FreqPointer = nullptr;
    QLabel* FreqMeter = nullptr;
    QLabel* TuneSlowlyLabel = nullptr;

    // Moves the pointer's left edge; an invalid colour keeps the pointer's colour.
    void PlacePointer(int left, const QColor& colour);
    QColor PointerColour() const;

    static constexpr int kCentreLeft = 113;
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

// The View menu's switch for a tool window: shows (and repaints) a hidden window, hides a
// shown one, ticks the item to match and marks the configuration as changed.
void ToggleToolWindow(QWidget& window, QAction& item, bool& configChanged);

// The print-squelch markers' left edge for a level: (182 * level - 10197) div 67, truncating
// toward zero. Below 58 the markers are hidden.
inline int PrintSquelchMarkerLeft(int level) {
    return (182 * level - 10197) / 67;
}
inline bool PrintSquelchMarkersHidden(int level) {
    return level < 58;
}

} // namespace tarvis
