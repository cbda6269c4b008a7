// The sound-card tuning strip: its caption and markers for each display index.
#include "tuning/TuneView.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace tarvis;

namespace {

TEST(TuneView, CaptionsPerDisplayIndex) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Sound Card Tune"));
    TTuneView view(&window, &window);
    EXPECT_EQ(view.DisplayIndex(), 10);
    EXPECT_TRUE(view.Markers().empty());
    EXPECT_EQ(view.Mark(), 2125);
    EXPECT_EQ(view.Space(), 2295);
    EXPECT_EQ(view.Center(), 1500);
    const std::pair<int, const char*> cases[] = {
        {0, "Sound Card Tune  - Baudot (M: 2125  S: 2295 )"},
        {1, "Sound Card Tune - ASCII (M: 2125  S: 2295 )"},
        {2, "Sound Card Tune - PMode (M: 2125  S: 2295 )"},
        {3, "Sound Card Tune - TOR (M: 2125  S: 2295 )"},
        {4, "Sound Card Tune - PSK31 (Center: 1500 )"},
        {5, "Sound Card Tune - MIRVOL 2000"},
        {6, "Sound Card Tune - MIRVOL-II (AF1)"},
        {9, "Sound Card Tune - MIRVOL-II (AF4)"},
    };
    for (const auto& [index, caption] : cases) {
        view.SetDisplayIndex(index);
        EXPECT_EQ(window.windowTitle(), QLatin1String(caption)) << index;
    }
    // New tones show at once in the caption of a tone mode.
    view.SetDisplayIndex(2);
    view.SetMark(2100);
    view.SetSpace(2300);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Sound Card Tune - PMode (M: 2100  S: 2300 )"));
}

TEST(TuneView, MarkersStandAtTheirTones) {
    TTuneView view(nullptr, nullptr);
    EXPECT_EQ(TuneStripX(300.78125), 0);
    EXPECT_EQ(TuneStripX(1500), 153); // (1500 - 300.78125) * 0.128 = 153.5
    EXPECT_EQ(TuneStripX(2125), 233);

    view.SetDisplayIndex(0);
    auto m = view.Markers();
    ASSERT_EQ(m.size(), 2U);
    EXPECT_EQ(m[0].label, QStringLiteral("M"));
    EXPECT_EQ(m[0].x, 233);
    EXPECT_EQ(m[0].labelLeft, 230);
    EXPECT_EQ(m[1].label, QStringLiteral("S"));
    EXPECT_EQ(m[1].x, TuneStripX(2295));
    EXPECT_EQ(m[1].labelLeft, m[1].x - 2);

    view.SetDisplayIndex(4);
    view.SetCenter(1000);
    m = view.Markers();
    ASSERT_EQ(m.size(), 1U);
    EXPECT_EQ(m[0].label, QStringLiteral("C"));
    EXPECT_EQ(m[0].frequency, 1000);

    view.SetDisplayIndex(5);
    m = view.Markers();
    ASSERT_EQ(m.size(), 8U);
    EXPECT_EQ(m[0].frequency, 625);
    EXPECT_EQ(m[7].frequency, 2375);
    EXPECT_EQ(m[7].label, QStringLiteral("T8"));
    EXPECT_EQ(m[7].labelLeft, m[7].x - 4);

    view.SetDisplayIndex(7); // audio channel 2
    m = view.Markers();
    ASSERT_EQ(m.size(), 4U);
    EXPECT_EQ(m[0].frequency, 1062);
    EXPECT_EQ(m[3].frequency, 1437);
}

TEST(TuneView, DrawsGreenLinesOnBlack) {
    QWidget panel;
    panel.resize(300, 24);
    TTuneView view(&panel, nullptr);
    view.SetDisplayIndex(0);
    const QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(233, 10), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(234, 12), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(233, 14), QColor(Qt::black));
}

} // namespace
