#include "config/Settings.h"

namespace tarvis {

QString PortName(const Settings& s) {
    return QStringLiteral("COM") + s.ComPort;
}

void SetPortName(Settings& s, const QString& name) {
    s.ComPort = name.mid(3);
}

} // namespace tarvis
