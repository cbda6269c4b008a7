#pragma once
// What the modem says about itself at start-up; filled once per start.
#include <QString>

namespace tarvis {

struct ModemIdentity {
    QString dspVersion;  // LOD
    QString cpuVersion;  // S28
    QString bootVersion; // boot ROM
    QString productId;
    QString hardwareVersion;
    // The modem has the eight-tone MIRVOL 2000 capability.
    bool mirvol2000 = false;
};

// Hardware that sends 11, 13 and 91 escaped and uses bare XON/XOFF: "800A" and "800B".
inline bool UsesEscapeMode(const QString& hardwareVersion) {
    return hardwareVersion == QLatin1String("800A") || hardwareVersion == QLatin1String("800B");
}

} // namespace tarvis
