#pragma once
// What the program knows of the link and of the modem's state; kept on the user-interface
// thread only.

namespace tarvis {

struct LinkStatus {
    bool linkEstablished = false;
    bool transmitting = false;
    int stationRole = 0; // 2 ISS, 1 IRS
    bool callingCq = false;
    bool answerCq = false;
    // The modem runs its normal firmware at 9600 baud (the firmware loader changes that).
    bool normalOperation = false;
};

} // namespace tarvis
