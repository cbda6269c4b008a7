#pragma once
// The buttons of the six mode tool bars, by the names the rest of the program uses for them.
// Each button is a tool-bar action: enabled, visible, caption (text), hint (tool tip) and
// picture (icon from the image list) are the action's. A name a tool bar does not carry
// stays null.
#include <QIcon>
#include <QList>
#include <array>

class QAction;
class QToolBar;

namespace tarvis {

struct ModeToolBars {
    // MIRVOL
    QAction* butMVLConnect = nullptr;
    QAction* butMVLDisconnect = nullptr;
    QAction* butMVLFEC = nullptr;
    QAction* butMVLMonitor = nullptr;
    QAction* butMVLPanic = nullptr;
    QAction* butMVLTXEnable = nullptr;
    QAction* butMVLMsg0 = nullptr;
    QAction* butMVLMsgPlus = nullptr;
    QAction* butMVLdeMY = nullptr;
    QAction* butMVLHisDeMY = nullptr;
    QAction* butMVLCallCQ = nullptr;
    QAction* butMVLFoxes = nullptr;
    // AMTOR
    QAction* butAmtorConnect = nullptr;
    QAction* butAmtorDisconnect = nullptr;
    QAction* butAmtorFEC = nullptr;
    QAction* butAmtorMonitor = nullptr;
    QAction* butAmtorPanic = nullptr;
    QAction* butAmtorTXEnable = nullptr;
    QAction* butAmtorNormRev = nullptr;
    QAction* butAmtorOver = nullptr;
    QAction* butAmtorMsg0 = nullptr;
    QAction* butAmtorMsgPlus = nullptr;
    QAction* butAmtordeMY = nullptr;
    QAction* butAmtorHISdeMY = nullptr;
    QAction* butAmtorCallCQ = nullptr;
    QAction* butAmtorFoxes = nullptr;
    QAction* butAmtorForcedOver = nullptr;
    // P-Mode
    QAction* butPModeConnect = nullptr;
    QAction* butPModeDisconnect = nullptr;
    QAction* butPModeFEC = nullptr;
    QAction* butPModeMonitor = nullptr;
    QAction* butPModePanic = nullptr;
    QAction* butPModeTXEnable = nullptr;
    QAction* butPModeOver = nullptr;
    QAction* butPModeMsg0 = nullptr;
    QAction* butPModeMsgPlus = nullptr;
    QAction* butPModedeMY = nullptr;
    QAction* butPModeHISdeMY = nullptr;
    QAction* butPModeCallCQ = nullptr;
    QAction* butPModeFoxes = nullptr;
    QAction* butPModeForcedOver = nullptr;
    // Baudot RTTY
    QAction* butBaudotConnect = nullptr;
    QAction* butBaudotFEC = nullptr; // "LTRS"
    QAction* butBaudotMonitor = nullptr;
    QAction* butBaudotPanic = nullptr;
    QAction* butBaudotTXEnable = nullptr;
    QAction* butBaudotNormRev = nullptr;
    QAction* butBaudotRttyRate = nullptr;
    QAction* butBaudotMsg0 = nullptr;
    QAction* butBaudotMsgPlus = nullptr;
    QAction* butBaudotdeMY = nullptr;
    QAction* butBaudotHISdeMY = nullptr;
    QAction* butBaudotCallCQ = nullptr;
    QAction* butBaudotFoxes = nullptr;
    // ASCII RTTY
    QAction* butAsciiConnect = nullptr;
    QAction* butAsciiMonitor = nullptr;
    QAction* butAsciiPanic = nullptr;
    QAction* butAsciiTXEnable = nullptr;
    QAction* butAsciiNormRev = nullptr;
    QAction* butAsciiRttyRate = nullptr;
    QAction* butAsciiMsg0 = nullptr;
    QAction* butAsciiMsgPlus = nullptr;
    QAction* butAsciideMY = nullptr;
    QAction* butAsciiHISdeMY = nullptr;
    QAction* butAsciiCallCQ = nullptr;
    QAction* butAsciiFoxes = nullptr;
    // PSK31
    QAction* butPSK31Panic = nullptr;
    QAction* butPSKTXEnable = nullptr;
    QAction* butPSKMsg0 = nullptr;
    QAction* butPSKMsgPlus = nullptr;
    QAction* butPSKdeMY = nullptr;
    QAction* butPSKHISdeMY = nullptr;
    QAction* butPSKCallCQ = nullptr;
    QAction* butPSKFoxes = nullptr;

    // The pictures: index 5 TX disabled, 6 TX enabled, 7 NORM, 8 REV, the others the
    // functions' own.
    QList<QIcon> ImageList;
};

// The functions the buttons carry; every function has one handler for all its buttons.
enum class ToolFunction {
    Connect,
    Disconnect,
    Broadcast,
    Monitor,
    Panic,
    TxEnable,
    NormRev,
    Over,
    RttyRate,
    Msg0,
    MsgPlus,
    DeMy,
    HisDeMy,
    CallCq,
    Foxes,
    ForcedOver,
};

// Picture numbers of the image list.
enum ToolImage : int {
    kImageConnect = 0,
    kImageDisconnect = 1,
    kImageBroadcast = 2,
    kImageMonitor = 3,
    kImagePanic = 4,
    kImageTxDisabled = 5,
    kImageTxEnabled = 6,
    kImageNormal = 7,
    kImageReverse = 8,
    kImageOver = 9,
    kImageRate = 10,
    kImageMsg0 = 11,
    kImageMsgPlus = 12,
    kImageDeMy = 13,
    kImageHisDeMy = 14,
    kImageCallCq = 15,
    kImageFoxes = 16,
    kImageForcedOver = 17,
    kImageLtrs = 18,
    kImageCount = 19,
};

// The pictures, drawn for the tool bars' 24 x 24 icons.
QList<QIcon> DrawImageList();

// Makes every button of the six tool bars (MIRVOL, AMTOR, P-Mode, Baudot, ASCII, PSK31) with
// its caption, hint, picture and start state, and fills the names and the image list.
void BuildModeToolBars(ModeToolBars& bars, const std::array<QToolBar*, 6>& toolBars);

// The buttons of one function across the tool bars, in tool-bar order.
QList<QAction*> ButtonsOf(const ModeToolBars& bars, ToolFunction function);

} // namespace tarvis
