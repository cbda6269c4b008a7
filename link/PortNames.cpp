#include "link/PortNames.h"
#include "link/PosixSerialPort.h"

#include <charconv>
#include <filesystem>

namespace tarvis {

int ComPortNumber(const std::string& portName) {
    if (portName.size() < 4 || portName.compare(0, 3, "COM") != 0) {
        return 0;
    }
    int number = 0;
    const char* first = portName.data() + 3;
    const char* last = portName.data() + portName.size();
    const auto [end, ec] = std::from_chars(first, last, number);
    if (ec != std::errc() || end != last || number < 1 || number > 254) {
        return 0;
    }
    return number;
}

std::string ComPortDevice(const std::string& homeFolder, const std::string& portName) {
    const int number = ComPortNumber(portName);
    if (number == 0) {
        return {};
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path link = fs::path(homeFolder) / "Config" / portName;
    if (fs::is_symlink(fs::symlink_status(link, ec)) || fs::exists(link, ec)) {
        return link.string();
    }
    if (number <= 32) {
        return "/dev/ttyS" + std::to_string(number - 1);
    }
    if (number <= 64) {
        return "/dev/ttyUSB" + std::to_string(number - 33);
    }
    if (number <= 96) {
        return "/dev/ttyACM" + std::to_string(number - 65);
    }
    return {};
}

bool ComPortAvailable(const std::string& homeFolder, int number) {
    const std::string device = ComPortDevice(homeFolder, "COM" + std::to_string(number));
    if (device.empty()) {
        return false;
    }
    PosixSerialPort port;
    return port.Open(device);
}

} // namespace tarvis
