#pragma once
// The frequency window's pointer: where it stands and how it is coloured for the modem's
// tuning offset, and for the remote frequency offset of a MIRVOL statistics report. The two
// rules place the pointer on opposite sides for offsets of the same sign.
#include <QColor>
#include <cstdint>

class QWidget;

namespace tarvis {

class TFrequencyTuneFrm;

struct PointerPlace {
    int left = 113;
    QColor colour;
};

// The pointer for a tuning-offset report's byte, read as a signed value.
PointerPlace TuningOffsetPlace(std::uint8_t offset);
// The pointer for a remote frequency offset (signed) of a MIRVOL statistics report.
PointerPlace MirvolFrequencyPlace(int offset);

// After a tuning-offset report: moves the pointer and hides the fax panel when it is shown
// (faxPanelToHide may be null).
void TuningOffsetUpdate(TFrequencyTuneFrm& form, std::uint8_t offset, QWidget* faxPanelToHide);
void MirvolFrequencyUpdate(TFrequencyTuneFrm& form, int offset);

// The signed value of a report byte: 128..255 stand for value - 256.
inline int SignedByte(std::uint8_t byte) {
    return byte < 128 ? int{byte} : int{byte} - 256;
}

} // namespace tarvis
