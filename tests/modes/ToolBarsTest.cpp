// The six tool bars as the main window makes them: buttons, captions, hints, pictures and
// start states.
#include "modes/ToolBars.h"
#include "tests/modes/ModeStation.h"

#include <QImage>
#include <QToolBar>
#include <QToolButton>
#include <set>

using namespace tarvis;
using namespace tarvis::test;

namespace {

QStringList Captions(QToolBar* bar) {
    QStringList captions;
    for (QAction* a : bar->actions()) {
        captions << a->text();
    }
    return captions;
}

class ToolBars : public ModeStation {};

TEST_F(ToolBars, EveryBarCarriesItsButtonsInOrder) {
    Open();
    EXPECT_EQ(Captions(form->MVLToolBar),
              (QStringList{"Connect", "Disconn", "Broadcast", "Monitor", "Panic", "TX EN", "MSG 0",
                           "MSG 1+", "de MY", "HIS de MY", "Call CQ", "Foxes"}));
    EXPECT_EQ(
        Captions(form->AmtorToolBar),
        (QStringList{"Connect", "Disconn", "Broadcast", "Monitor", "Panic", "TX EN", "NORM", "OVER",
                     "MSG 0", "MSG 1+", "de MY", "HIS de MY", "Call CQ", "Foxes", "Forced OVER"}));
    EXPECT_EQ(
        Captions(form->PModeToolBar),
        (QStringList{"Connect", "Disconn", "Unproto", "Monitor", "Panic", "TX EN", "OVER", "MSG 0",
                     "MSG 1+", "de MY", "HIS de MY", "Call CQ", "Foxes", "Forced OVER"}));
    EXPECT_EQ(Captions(form->BaudotToolBar),
              (QStringList{"  Call  ", "LTRS", "", "Panic", "TX EN", "NORM", "45", "MSG 0",
                           "MSG 1+", "de MY", "HIS de MY", "Call CQ", "Foxes"}));
    EXPECT_EQ(Captions(form->AsciiToolBar),
              (QStringList{"  Call  ", "", "Panic", "TX EN", "NORM", "110", "MSG 0", "MSG 1+",
                           "de MY", "HIS de MY", "Call CQ", "Foxes"}));
    EXPECT_EQ(Captions(form->PSKToolBar), (QStringList{"Panic", "TX EN", "MSG 0", "MSG 1+", "de MY",
                                                       "HIS de MY", "Call CQ", "Foxes"}));
}

TEST_F(ToolBars, HintsAndStartStates) {
    Open();
    const ModeToolBars& b = form->bars;
    const struct {
        QAction* button;
        const char* hint;
        bool enabled;
        bool visible;
    } cases[] = {
        {b.butMVLConnect, "Connect to remote station", true, true},
        {b.butBaudotConnect, "Call a remote station", true, true},
        {b.butPModeDisconnect, "Disconnect from remote station", false, true},
        {b.butAmtorFEC, "Begin FEC broadcast", true, true},
        {b.butBaudotFEC, "Force LTRS case switch", true, true},
        // A hidden button reports itself disabled as well.
        {b.butMVLMonitor, "Toggle monitor mode ON/OFF", false, false},
        {b.butAsciiMonitor, "Toggle Sync Idle ON/OFF", true, true},
        {b.butAmtorPanic, "Stop transmitter/break link NOW!", false, true},
        {b.butAsciiPanic, "Stop transmitter NOW!", false, true},
        {b.butPSK31Panic, "Stop transmitter NOW!", false, false},
        {b.butPSKTXEnable, "Toggle XMIT enable ON/OFF", true, true},
        {b.butAsciiNormRev, "Toggle NORM/REV polarity", true, true},
        {b.butPModeOver, "Send OVER", false, true},
        {b.butBaudotRttyRate, "Change RTTY baud rate", true, true},
        {b.butAmtorMsg0, "Send message #0", true, true},
        {b.butPSKMsgPlus, "Select and send message #1 - #10 or WRU", true, true},
        {b.butMVLCallCQ, "Call CQ", true, true},
        {b.butAmtorForcedOver, nullptr, false, true},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.button, nullptr);
        const std::string name = c.button->text().toStdString();
        if (c.hint != nullptr) {
            EXPECT_EQ(c.button->toolTip(), QLatin1String(c.hint)) << name;
        }
        EXPECT_EQ(c.button->isEnabled(), c.enabled) << name;
        EXPECT_EQ(c.button->isVisible(), c.visible) << name;
    }
    // One handler per function reaches every bar's button of it.
    EXPECT_EQ(ButtonsOf(b, ToolFunction::TxEnable).size(), 6);
    EXPECT_EQ(ButtonsOf(b, ToolFunction::Connect).size(), 5);
    EXPECT_EQ(ButtonsOf(b, ToolFunction::NormRev),
              (QList<QAction*>{b.butAmtorNormRev, b.butBaudotNormRev, b.butAsciiNormRev}));
    EXPECT_EQ(ButtonsOf(b, ToolFunction::ForcedOver).size(), 2);
}

TEST_F(ToolBars, PicturesAreDrawnAndDistinct) {
    Open();
    const QList<QIcon>& images = form->bars.ImageList;
    ASSERT_EQ(images.size(), kImageCount);
    std::set<QByteArray> seen;
    for (int i = 0; i < images.size(); ++i) {
        const QImage image = images[i].pixmap(24, 24).toImage();
        ASSERT_FALSE(image.isNull()) << i;
        int painted = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        EXPECT_GT(painted, 20) << i;
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kImageCount));
    // TX EN starts enabled (6), NORM/REV normal (7).
    EXPECT_EQ(form->bars.butMVLTXEnable->icon().cacheKey(), images[6].cacheKey());
    EXPECT_EQ(form->bars.butBaudotNormRev->icon().cacheKey(), images[7].cacheKey());
}

TEST_F(ToolBars, ButtonsHaveNamesForScreenReaders) {
    Open();
    for (QToolBar* bar : {form->MVLToolBar, form->AmtorToolBar, form->PModeToolBar,
                          form->BaudotToolBar, form->AsciiToolBar, form->PSKToolBar}) {
        for (QAction* action : bar->actions()) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
            ASSERT_NE(button, nullptr);
            const QString name =
                button->accessibleName().isEmpty() ? button->text() : button->accessibleName();
            EXPECT_FALSE(name.trimmed().isEmpty()) << bar->objectName().toStdString();
        }
    }
    EXPECT_EQ(form->BaudotToolBar->widgetForAction(form->bars.butBaudotMonitor)->accessibleName(),
              QStringLiteral("Sync Idle"));
}

} // namespace
