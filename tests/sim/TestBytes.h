// Bytes written as hexadecimal text, the way the protocol is written down: "80 13 80 4D 80 00".
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::uint8_t> hexToBytes(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::istringstream in{std::string(text)};
    std::string token;
    while (in >> token)
        out.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    return out;
}
