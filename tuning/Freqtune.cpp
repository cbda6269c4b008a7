#include "tuning/Freqtune.h"

#include "tuning/ToolWindows.h"

#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace tarvis {

namespace {

const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);

} // namespace

PointerPlace TuningOffsetPlace(std::uint8_t offset) {
    const int a = SignedByte(offset);
    // trunc(2.8 * |a|) in whole numbers: 28 * |a| div 10.
    const int b = std::min(28 * std::abs(a) / 10, 100);
    PointerPlace place;
    place.left = a >= 0 ? TFrequencyTuneFrm::kCentreLeft - b : TFrequencyTuneFrm::kCentreLeft + b;
    // A deviation of exactly 30 counts as yellow, so every deviation has its own colour.
    if (b < 30) {
        place.colour = kGreen;
    } else if (b < 50) {
        place.colour = kYellow;
    } else {
        place.colour = kRed;
    }
    return place;
}

PointerPlace MirvolFrequencyPlace(int offset) {
    const int f = std::clamp(offset, -35, 35);
    PointerPlace place;
    place.left = TFrequencyTuneFrm::kCentreLeft + 2 * f;
    const int size = std::abs(f);
    if (size <= 4) {
        place.colour = kGreen;
    } else if (size <= 9) {
        place.colour = kYellow;
    } else {
        place.colour = kRed;
    }
    return place;
}

void TuningOffsetUpdate(TFrequencyTuneFrm& form, std::uint8_t offset, QWidget* faxPanelToHide) {
    const PointerPlace place = TuningOffsetPlace(offset);
    form.PlacePointer(place.left, place.colour);
    // A tuning report takes the fax transfer panel away if it is still shown.
    if (faxPanelToHide != nullptr) {
        faxPanelToHide->hide();
    }
}

void MirvolFrequencyUpdate(TFrequencyTuneFrm& form, int offset) {
    const PointerPlace place = MirvolFrequencyPlace(offset);
    form.PlacePointer(place.left, place.colour);
}

} // namespace tarvis
