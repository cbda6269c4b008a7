// The six mode tool bars: every button with its caption, hint, picture and start state, and
// the pictures themselves.
#include "modes/ToolBars.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolBar>
#include <QWidget>

namespace tarvis {

namespace {

using Member = QAction* ModeToolBars::*;

struct ButtonRow {
    ToolFunction function;
    const char* caption;
    const char* hint;
    int image;
    bool enabled;
    bool visible;
    // One name per tool bar: MIRVOL, AMTOR, P-Mode, Baudot, ASCII, PSK31; null where the bar
    // has no such button.
    std::array<Member, 6> names;
};

using B = ModeToolBars;
using F = ToolFunction;

// The rows in their order on the bars. Buttons whose caption or hint differs on some bars are
// listed once per variant.
const ButtonRow kRows[] = {
    {F::Connect,
     "Connect",
     "Connect to remote station",
     kImageConnect,
     true,
     true,
     {&B::butMVLConnect, &B::butAmtorConnect, &B::butPModeConnect, nullptr, nullptr, nullptr}},
    {F::Connect,
     "  Call  ",
     "Call a remote station",
     kImageConnect,
     true,
     true,
     {nullptr, nullptr, nullptr, &B::butBaudotConnect, &B::butAsciiConnect, nullptr}},
    {F::Disconnect,
     "Disconn",
     "Disconnect from remote station",
     kImageDisconnect,
     false,
     true,
     {&B::butMVLDisconnect, &B::butAmtorDisconnect, &B::butPModeDisconnect, nullptr, nullptr,
      nullptr}},
    {F::Broadcast,
     "Broadcast",
     "Begin FEC broadcast",
     kImageBroadcast,
     true,
     true,
     {&B::butMVLFEC, &B::butAmtorFEC, nullptr, nullptr, nullptr, nullptr}},
    {F::Broadcast,
     "Unproto",
     "Begin FEC broadcast",
     kImageBroadcast,
     true,
     true,
     {nullptr, nullptr, &B::butPModeFEC, nullptr, nullptr, nullptr}},
    {F::Broadcast,
     "LTRS",
     "Force LTRS case switch",
     kImageLtrs,
     true,
     true,
     {nullptr, nullptr, nullptr, &B::butBaudotFEC, nullptr, nullptr}},
    {F::Monitor,
     "Monitor",
     "Toggle monitor mode ON/OFF",
     kImageMonitor,
     true,
     false,
     {&B::butMVLMonitor, nullptr, nullptr, nullptr, nullptr, nullptr}},
    {F::Monitor,
     "Monitor",
     "Toggle monitor mode ON/OFF",
     kImageMonitor,
     true,
     true,
     {nullptr, &B::butAmtorMonitor, &B::butPModeMonitor, nullptr, nullptr, nullptr}},
    {F::Monitor,
     "",
     "Toggle Sync Idle ON/OFF",
     kImageMonitor,
     true,
     true,
     {nullptr, nullptr, nullptr, &B::butBaudotMonitor, &B::butAsciiMonitor, nullptr}},
    {F::Panic,
     "Panic",
     "Stop transmitter/break link NOW!",
     kImagePanic,
     false,
     true,
     {&B::butMVLPanic, &B::butAmtorPanic, &B::butPModePanic, nullptr, nullptr, nullptr}},
    {F::Panic,
     "Panic",
     "Stop transmitter NOW!",
     kImagePanic,
     false,
     true,
     {nullptr, nullptr, nullptr, &B::butBaudotPanic, &B::butAsciiPanic, nullptr}},
    {F::Panic,
     "Panic",
     "Stop transmitter NOW!",
     kImagePanic,
     false,
     false,
     {nullptr, nullptr, nullptr, nullptr, nullptr, &B::butPSK31Panic}},
    {F::TxEnable,
     "TX EN",
     "Toggle XMIT enable ON/OFF",
     kImageTxEnabled,
     true,
     true,
     {&B::butMVLTXEnable, &B::butAmtorTXEnable, &B::butPModeTXEnable, &B::butBaudotTXEnable,
      &B::butAsciiTXEnable, &B::butPSKTXEnable}},
    {F::NormRev,
     "NORM",
     "Toggle NORM/REV polarity",
     kImageNormal,
     true,
     true,
     {nullptr, &B::butAmtorNormRev, nullptr, &B::butBaudotNormRev, &B::butAsciiNormRev, nullptr}},
    {F::Over,
     "OVER",
     "Send OVER",
     kImageOver,
     false,
     true,
     {nullptr, &B::butAmtorOver, &B::butPModeOver, nullptr, nullptr, nullptr}},
    {F::RttyRate,
     "45",
     "Change RTTY baud rate",
     kImageRate,
     true,
     true,
     {nullptr, nullptr, nullptr, &B::butBaudotRttyRate, nullptr, nullptr}},
    {F::RttyRate,
     "110",
     "Change RTTY baud rate",
     kImageRate,
     true,
     true,
     {nullptr, nullptr, nullptr, nullptr, &B::butAsciiRttyRate, nullptr}},
    {F::Msg0,
     "MSG 0",
     "Send message #0",
     kImageMsg0,
     true,
     true,
     {&B::butMVLMsg0, &B::butAmtorMsg0, &B::butPModeMsg0, &B::butBaudotMsg0, &B::butAsciiMsg0,
      &B::butPSKMsg0}},
    {F::MsgPlus,
     "MSG 1+",
     "Select and send message #1 - #10 or WRU",
     kImageMsgPlus,
     true,
     true,
     {&B::butMVLMsgPlus, &B::butAmtorMsgPlus, &B::butPModeMsgPlus, &B::butBaudotMsgPlus,
      &B::butAsciiMsgPlus, &B::butPSKMsgPlus}},
    {F::DeMy,
     "de MY",
     "Send my call sign",
     kImageDeMy,
     true,
     true,
     {&B::butMVLdeMY, &B::butAmtordeMY, &B::butPModedeMY, &B::butBaudotdeMY, &B::butAsciideMY,
      &B::butPSKdeMY}},
    {F::HisDeMy,
     "HIS de MY",
     "Send his call de my call",
     kImageHisDeMy,
     true,
     true,
     {&B::butMVLHisDeMY, &B::butAmtorHISdeMY, &B::butPModeHISdeMY, &B::butBaudotHISdeMY,
      &B::butAsciiHISdeMY, &B::butPSKHISdeMY}},
    {F::CallCq,
     "Call CQ",
     "Call CQ",
     kImageCallCq,
     true,
     true,
     {&B::butMVLCallCQ, &B::butAmtorCallCQ, &B::butPModeCallCQ, &B::butBaudotCallCQ,
      &B::butAsciiCallCQ, &B::butPSKCallCQ}},
    {F::Foxes,
     "Foxes",
     "Send THE QUICK BROWN FOX test text",
     kImageFoxes,
     true,
     true,
     {&B::butMVLFoxes, &B::butAmtorFoxes, &B::butPModeFoxes, &B::butBaudotFoxes, &B::butAsciiFoxes,
      &B::butPSKFoxes}},
    {F::ForcedOver,
     "Forced OVER",
     "Send a forced OVER",
     kImageForcedOver,
     false,
     true,
     {nullptr, &B::butAmtorForcedOver, &B::butPModeForcedOver, nullptr, nullptr, nullptr}},
};

constexpr int kIconSize = 24;

QPen Pen(const QColor& colour, qreal width = 2) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(Pen(colour));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const qreal length = std::hypot(d.x(), d.y());
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    QPolygonF head;
    head << to << to - u * 5 + n * 3.5 << to - u * 5 - n * 3.5;
    p.setBrush(colour);
    p.drawPolygon(head);
    p.setBrush(Qt::NoBrush);
}

void Letters(QPainter& p, const QRectF& box, const QString& text, const QColor& colour,
             int pixelSize, bool bold = true) {
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

// A tower with waves either side: the transmitter.
void Antenna(QPainter& p, const QColor& colour) {
    p.setPen(Pen(colour));
    p.drawLine(QPointF(12, 8), QPointF(7, 22));
    p.drawLine(QPointF(12, 8), QPointF(17, 22));
    p.drawLine(QPointF(9, 16), QPointF(15, 16));
    p.drawArc(QRectF(4, 2, 16, 12), 30 * 16, 120 * 16);
    p.drawArc(QRectF(1, -1, 22, 18), 35 * 16, 110 * 16);
}

// Two stations side by side, for the link pictures.
void Stations(QPainter& p, const QColor& colour) {
    p.setPen(Pen(colour));
    p.drawRect(QRectF(2, 8, 5, 8));
    p.drawRect(QRectF(17, 8, 5, 8));
}

void Page(QPainter& p, const QString& mark) {
    p.setPen(Pen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(255, 255, 240));
    QPolygonF sheet;
    sheet << QPointF(5, 2) << QPointF(15, 2) << QPointF(20, 7) << QPointF(20, 22) << QPointF(5, 22);
    p.drawPolygon(sheet);
    p.setBrush(Qt::NoBrush);
    Letters(p, QRectF(5, 8, 15, 14), mark, QColor(0, 70, 160), 11);
}

void Person(QPainter& p, qreal x, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(x, 8), 3.5, 3.5);
    QPainterPath body;
    body.moveTo(x - 6, 22);
    body.cubicTo(x - 6, 12, x + 6, 12, x + 6, 22);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
}

void Wave(QPainter& p, bool inverted, const QColor& colour) {
    p.setPen(Pen(colour));
    const qreal high = inverted ? 17 : 7;
    const qreal low = inverted ? 7 : 17;
    QPolygonF line;
    line << QPointF(2, low) << QPointF(6, low) << QPointF(6, high) << QPointF(12, high)
         << QPointF(12, low) << QPointF(18, low) << QPointF(18, high) << QPointF(22, high);
    p.drawPolyline(line);
}

void DrawImage(QPainter& p, int index) {
    const QColor green(0, 140, 0);
    const QColor red(200, 0, 0);
    const QColor blue(0, 70, 160);
    const QColor dark(40, 40, 40);
    switch (index) {
    case kImageConnect:
        Stations(p, dark);
        Arrow(p, QPointF(8, 12), QPointF(16, 12), green);
        break;
    case kImageDisconnect:
        Stations(p, dark);
        p.setPen(Pen(red));
        p.drawLine(QPointF(8, 12), QPointF(10, 12));
        p.drawLine(QPointF(14, 12), QPointF(16, 12));
        p.drawLine(QPointF(10, 7), QPointF(14, 17));
        break;
    case kImageBroadcast:
        Antenna(p, blue);
        break;
    case kImageMonitor:
        p.setPen(Pen(dark));
        p.setBrush(QColor(90, 90, 90));
        p.drawPolygon(QPolygonF() << QPointF(3, 9) << QPointF(7, 9) << QPointF(12, 4)
                                  << QPointF(12, 20) << QPointF(7, 15) << QPointF(3, 15));
        p.setBrush(Qt::NoBrush);
        p.setPen(Pen(blue));
        p.drawArc(QRectF(9, 7, 8, 10), -50 * 16, 100 * 16);
        p.drawArc(QRectF(9, 3, 13, 18), -50 * 16, 100 * 16);
        break;
    case kImagePanic: {
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const qreal a = (22.5 + 45 * i) * M_PI / 180;
            octagon << QPointF(12 + 10.5 * std::cos(a), 12 + 10.5 * std::sin(a));
        }
        p.setPen(Pen(Qt::white, 1));
        p.setBrush(red);
        p.drawPolygon(octagon);
        p.setBrush(Qt::NoBrush);
        Letters(p, QRectF(0, 0, 24, 24), QStringLiteral("!"), Qt::white, 15);
        break;
    }
    case kImageTxDisabled:
        Letters(p, QRectF(0, 0, 24, 24), QStringLiteral("TX"), QColor(130, 130, 130), 11);
        p.setPen(Pen(red, 2.5));
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.drawLine(QPointF(5, 19), QPointF(19, 5));
        break;
    case kImageTxEnabled:
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setBrush(Qt::NoBrush);
        Letters(p, QRectF(0, 0, 24, 24), QStringLiteral("TX"), Qt::white, 11);
        break;
    case kImageNormal:
        Wave(p, false, green);
        break;
    case kImageReverse:
        Wave(p, true, red);
        break;
    case kImageOver: {
        p.setPen(Pen(blue));
        p.drawArc(QRectF(4, 5, 16, 14), 0, 180 * 16);
        Arrow(p, QPointF(20, 12), QPointF(20, 19), blue);
        break;
    }
    case kImageRate:
        p.setPen(Pen(dark));
        p.drawArc(QRectF(2, 4, 20, 20), 0, 180 * 16);
        p.setPen(Pen(red));
        p.drawLine(QPointF(12, 14), QPointF(18, 8));
        p.setPen(Pen(dark, 1));
        for (int i = 0; i <= 4; ++i) {
            const qreal a = (180 - 45 * i) * M_PI / 180;
            p.drawLine(QPointF(12 + 8 * std::cos(a), 14 - 8 * std::sin(a)),
                       QPointF(12 + 10 * std::cos(a), 14 - 10 * std::sin(a)));
        }
        Letters(p, QRectF(0, 15, 24, 9), QStringLiteral("BD"), dark, 8);
        break;
    case kImageMsg0:
        Page(p, QStringLiteral("0"));
        break;
    case kImageMsgPlus:
        Page(p, QStringLiteral("1+"));
        break;
    case kImageDeMy:
        Person(p, 12, blue);
        break;
    case kImageHisDeMy:
        Person(p, 7, green);
        Person(p, 17, blue);
        break;
    case kImageCallCq:
        Antenna(p, QColor(150, 150, 150));
        Letters(p, QRectF(0, 6, 24, 18), QStringLiteral("CQ"), red, 11);
        break;
    case kImageFoxes:
        p.setPen(Pen(QColor(210, 100, 0)));
        p.setBrush(QColor(240, 140, 30));
        p.drawPolygon(QPolygonF() << QPointF(3, 4) << QPointF(9, 9) << QPointF(15, 9)
                                  << QPointF(21, 4) << QPointF(19, 14) << QPointF(12, 21)
                                  << QPointF(5, 14));
        p.setBrush(Qt::NoBrush);
        p.setPen(Pen(dark, 2.5));
        p.drawPoint(QPointF(9, 13));
        p.drawPoint(QPointF(15, 13));
        break;
    case kImageForcedOver:
        p.setPen(Pen(red));
        p.drawArc(QRectF(4, 5, 16, 14), 0, 180 * 16);
        Arrow(p, QPointF(20, 12), QPointF(20, 19), red);
        Letters(p, QRectF(5, 9, 12, 12), QStringLiteral("!"), red, 11);
        break;
    case kImageLtrs:
        Letters(p, QRectF(0, 0, 24, 24), QStringLiteral("A"), blue, 18);
        break;
    default:
        break;
    }
}

} // namespace

QList<QIcon> DrawImageList() {
    QList<QIcon> images;
    for (int i = 0; i < kImageCount; ++i) {
        QPixmap pixmap(kIconSize, kIconSize);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            DrawImage(painter, i);
        }
        images << QIcon(pixmap);
    }
    return images;
}

void BuildModeToolBars(ModeToolBars& bars, const std::array<QToolBar*, 6>& toolBars) {
    bars.ImageList = DrawImageList();
    for (std::size_t bar = 0; bar < toolBars.size(); ++bar) {
        QToolBar* toolBar = toolBars[bar];
        if (toolBar == nullptr) {
            continue;
        }
        // A 24-pixel picture and a caption under it fill the bar's 46 pixels: the bar and its
        // buttons keep no room of their own around them, so the captions are not cut.
        toolBar->setContentsMargins(0, 0, 0, 0);
        toolBar->setStyleSheet(QStringLiteral("QToolBar { padding: 0px; spacing: 2px; }"
                                              "QToolButton { padding: 0px 2px; margin: 0px; }"));
        for (const ButtonRow& row : kRows) {
            const Member name = row.names[bar];
            if (name == nullptr) {
                continue;
            }
            auto* action =
                new QAction(bars.ImageList[row.image], QLatin1String(row.caption), toolBar);
            action->setToolTip(QLatin1String(row.hint));
            action->setEnabled(row.enabled);
            action->setVisible(row.visible);
            toolBar->addAction(action);
            // A captioned button is named by its caption. The RTTY monitor button shows only
            // ON or OFF once a mode is set up: its name says what it switches.
            QWidget* button = toolBar->widgetForAction(action);
            if (button != nullptr && row.caption[0] == '\0') {
                button->setAccessibleName(QStringLiteral("Sync Idle"));
            }
            bars.*name = action;
        }
    }
}

QList<QAction*> ButtonsOf(const ModeToolBars& bars, ToolFunction function) {
    QList<QAction*> buttons;
    for (std::size_t bar = 0; bar < 6; ++bar) {
        for (const ButtonRow& row : kRows) {
            if (row.function == function && row.names[bar] != nullptr) {
                buttons << bars.*(row.names[bar]);
            }
        }
    }
    return buttons;
}

} // namespace tarvis
