#include "config/Jw_utils.h"

namespace tarvis {

QColor ColorFromName(const QString& name) {
    struct Row {
        const char* name;
        int r, g, b;
    };
    static constexpr Row kColours[] = {
        {"Black", 0, 0, 0},       {"Maroon", 128, 0, 0},    {"Green", 0, 128, 0},
        {"Olive", 128, 128, 0},   {"Navy", 0, 0, 128},      {"Purple", 128, 0, 128},
        {"Teal", 0, 128, 128},    {"Gray", 128, 128, 128},  {"Silver", 192, 192, 192},
        {"Red", 255, 0, 0},       {"Lime", 0, 255, 0},      {"Yellow", 255, 255, 0},
        {"Blue", 0, 0, 255},      {"Fuchsia", 255, 0, 255}, {"Aqua", 0, 255, 255},
        {"White", 255, 255, 255},
    };
    for (const Row& row : kColours) {
        if (name == QLatin1String(row.name)) {
            return QColor(row.r, row.g, row.b);
        }
    }
    return QColor(0, 0, 0);
}

} // namespace tarvis
