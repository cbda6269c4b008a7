#pragma once
// The amplitude window's update rule: the four signal levels of each amplitude report move
// the bars, but a sudden drop is shown only once the next report confirms it.
#include <array>
#include <cstdint>

namespace tarvis {

class TAmplitudeTuneFrm;

// The bar value of a level: levels 124 to 224 span the bar's 0 to 100, and levels outside
// that stand at its ends.
int AmplitudeBarValue(std::uint8_t level);

// Moves the bars when every level is at least nine tenths of the same bar's previous level,
// and keeps the levels as the previous ones in either case. previous starts at 0.
void AmplitudeUpdate(TAmplitudeTuneFrm& form, const std::array<std::uint8_t, 4>& levels,
                     std::array<int, 4>& previous);

} // namespace tarvis
