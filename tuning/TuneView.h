#pragma once
// The tuning strip of the sound-card tuning window: which tones of the current mode it marks,
// and the window caption that names the mode and its tones.
#include <QString>
#include <QWidget>
#include <vector>

namespace tarvis {

struct TuneMarker {
    QString label;
    int frequency; // Hz
    int x;         // pixel column of the line
    int labelLeft; // where the label is written, left of the line
};

// Display indices: 0 Baudot, 1 ASCII, 2 P-Mode, 3 AMTOR, 4 PSK31, 5 MIRVOL 2000, 6..9 MIRVOL-II
// on audio channel 1..4. Any other index draws no markers.
constexpr int kTuneBaudot = 0;
constexpr int kTuneAscii = 1;
constexpr int kTunePMode = 2;
constexpr int kTuneAmtor = 3;
constexpr int kTunePsk31 = 4;
constexpr int kTuneMirvol2000 = 5;
constexpr int kTuneMirvolChannel1 = 6;
constexpr int kTuneNone = 10;

// The strip's pixel column of a frequency: 7.8125 Hz per pixel from 300.78125 Hz.
int TuneStripX(double frequency);

class TTuneView : public QWidget {
public:
    // The caption goes to captionWindow (the tuning window that holds the strip).
    TTuneView(QWidget* parent, QWidget* captionWindow);

    int DisplayIndex() const { return displayIndex_; }
    int Mark() const { return mark_; }
    int Space() const { return space_; }
    int Center() const { return center_; }

    // Each sets the caption from the new state and repaints the strip.
    void SetDisplayIndex(int index);
    void SetMark(int hertz);
    void SetSpace(int hertz);
    void SetCenter(int hertz);

    // The caption and markers of the current state.
    QString Caption() const;
    std::vector<TuneMarker> Markers() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Changed();

    QWidget* captionWindow_;
    int displayIndex_ = kTuneNone;
    int mark_ = 2125;
    int space_ = 2295;
    int center_ = 1500;
};

} // namespace tarvis
