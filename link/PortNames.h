#pragma once
// Port names "COMn" and the device files behind them.
#include <string>

namespace tarvis {

// The number of a port name "COMn" (1..254), or 0 when the name is not of that form.
int ComPortNumber(const std::string& portName);

// The device file of a port name: the link Config/COMn beneath the home folder when it
// exists, else COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31.
// Empty when the name has no device.
std::string ComPortDevice(const std::string& homeFolder, const std::string& portName);

// Whether COM port n could be opened now, exclusively.
bool ComPortAvailable(const std::string& homeFolder, int number);

} // namespace tarvis
