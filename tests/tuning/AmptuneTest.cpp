#include "tuning/Amptune.h"
#include "tuning/ToolWindows.h"

#include <QAction>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace tarvis {
namespace {

using Levels = std::array<std::uint8_t, 4>;
using Bars = std::array<int, 4>;

Bars BarValues(const TAmplitudeTuneFrm& form) {
    return {form.TuneBar[0]->value(), form.TuneBar[1]->value(), form.TuneBar[2]->value(),
            form.TuneBar[3]->value()};
}

struct AmplitudeCase {
    const char* what;
    std::vector<Levels> reports;
    Bars bars;
};

void PrintTo(const AmplitudeCase& c, std::ostream* os) {
    *os << c.what;
}

class AmplitudeUpdateTest : public ::testing::TestWithParam<AmplitudeCase> {};

TEST_P(AmplitudeUpdateTest, MovesTheBarsOnlyWithoutASuddenDrop) {
    TAmplitudeTuneFrm form(nullptr);
    std::array<int, 4> previous{};
    for (const Levels& levels : GetParam().reports) {
        AmplitudeUpdate(form, levels, previous);
        EXPECT_EQ(previous, (std::array<int, 4>{levels[0], levels[1], levels[2], levels[3]}))
            << "the report becomes the previous one whether or not the bars moved";
    }
    EXPECT_EQ(BarValues(form), GetParam().bars) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, AmplitudeUpdateTest,
    ::testing::Values(
        AmplitudeCase{"a drop within ten per cent shows at once",
                      {{210, 210, 210, 210}, {200, 200, 200, 200}},
                      {76, 76, 76, 76}},
        AmplitudeCase{"one bar dropping by more holds every bar",
                      {{250, 200, 200, 200}, {200, 200, 200, 200}},
                      {100, 76, 76, 76}},
        AmplitudeCase{"a second identical report then moves them",
                      {{250, 200, 200, 200}, {200, 200, 200, 200}, {200, 200, 200, 200}},
                      {76, 76, 76, 76}},
        AmplitudeCase{"exactly nine tenths still moves",
                      {{200, 200, 200, 200}, {180, 180, 180, 180}},
                      {56, 56, 56, 56}},
        AmplitudeCase{"one below nine tenths holds",
                      {{200, 200, 200, 200}, {180, 180, 179, 180}},
                      {76, 76, 76, 76}},
        AmplitudeCase{"levels beyond the bar's span stand at its ends",
                      {{0, 123, 224, 255}},
                      {0, 0, 100, 100}},
        AmplitudeCase{"a level below 124 after a high one drives its bar to the minimum",
                      {{130, 130, 130, 130}, {120, 130, 130, 130}},
                      {0, 6, 6, 6}}));

TEST(AmplitudeWindow, HasItsBarsAndHiddenSquelchMarkers) {
    TAmplitudeTuneFrm form(nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Amplitude Bars"));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.TuneBar[i]->minimum(), 0);
        EXPECT_EQ(form.TuneBar[i]->maximum(), 100);
        if (i > 0) {
            EXPECT_GT(form.TuneBar[i]->y(), form.TuneBar[i - 1]->y()) << "TuneBar1 is on top";
        }
    }
    EXPECT_TRUE(form.PrintSquelch->isHidden());
    EXPECT_TRUE(form.PrintSquelch2->isHidden());
    EXPECT_EQ(form.PrintSquelch->y(), form.TuneBar[0]->y());
    EXPECT_EQ(form.PrintSquelch2->y(), form.TuneBar[3]->y());

    form.SetSquelchMarkers(PrintSquelchMarkerLeft(99), true);
    EXPECT_EQ(form.PrintSquelch->x(), 116);
    EXPECT_EQ(form.PrintSquelch2->x(), 116);
    EXPECT_FALSE(form.PrintSquelch->isHidden());
}

TEST(ToggleToolWindow, ShowsHidesTicksAndMarksTheConfiguration) {
    TFrequencyTuneFrm window(nullptr);
    QAction item(QStringLiteral("&Freq Tune"));
    bool configChanged = false;

    ToggleToolWindow(window, item, configChanged);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(item.isChecked());
    EXPECT_TRUE(configChanged);

    configChanged = false;
    ToggleToolWindow(window, item, configChanged);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(item.isChecked());
    EXPECT_TRUE(configChanged);
}

} // namespace
} // namespace tarvis
