#include "modes/TerminalState.h"

namespace tarvis {

bool EndOfLineFromSetting(const QString& setting, Bytes& text) {
    struct Row {
        const char* name;
        const char* bytes;
    };
    static constexpr Row kRows[] = {
        {"CR", "\r"}, {"CR LF", "\r\n"}, {"CR LF LTRS", "\r\n<"}, {"CR CR LF", "\r\r\n"}};
    for (const Row& row : kRows) {
        if (setting.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0) {
            text = row.bytes;
            return true;
        }
    }
    return false;
}

} // namespace tarvis
