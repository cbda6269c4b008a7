#include "platform/WindowMessage.h"

#include <QCoreApplication>

namespace tarvis {

void PostWindowMessage(QObject* window, int message, std::intptr_t wParam, std::intptr_t lParam) {
    if (window == nullptr) {
        return;
    }
    QCoreApplication::postEvent(window, new WindowMessageEvent(message, wParam, lParam));
}

} // namespace tarvis
