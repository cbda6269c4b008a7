#include "tuning/Amptune.h"

#include "tuning/ToolWindows.h"

#include <QProgressBar>
#include <algorithm>

namespace tarvis {

int AmplitudeBarValue(std::uint8_t level) {
    return std::clamp(int{level} - 124, 0, 100);
}

void AmplitudeUpdate(TAmplitudeTuneFrm& form, const std::array<std::uint8_t, 4>& levels,
                     std::array<int, 4>& previous) {
    // Compared in tenths so that no rounding of 0.9 decides a bar: level >= 0.9 * previous.
    bool steady = true;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (10 * int{levels[i]} < 9 * previous[i]) {
            steady = false;
        }
    }
    if (steady) {
        for (std::size_t i = 0; i < levels.size(); ++i) {
            form.TuneBar[i]->setValue(AmplitudeBarValue(levels[i]));
        }
    }
    for (std::size_t i = 0; i < levels.size(); ++i) {
        previous[i] = levels[i];
    }
}

} // namespace tarvis
