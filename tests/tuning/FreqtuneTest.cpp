#include "tuning/Freqtune.h"
#include "tuning/ToolWindows.h"

#include <QFrame>
#include <gtest/gtest.h>

namespace tarvis {
namespace {

const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);

struct PointerCase {
    int offset;
    int left;
    QColor colour;
};

void PrintTo(const PointerCase& c, std::ostream* os) {
    *os << "offset " << c.offset;
}

class TuningOffsetTest : public ::testing::TestWithParam<PointerCase> {};

TEST_P(TuningOffsetTest, PlacesThePointerOppositeTheOffset) {
    const PointerCase& c = GetParam();
    TFrequencyTuneFrm form(nullptr);
    QFrame faxPanel;
    faxPanel.show();
    TuningOffsetUpdate(form, static_cast<std::uint8_t>(c.offset & 0xFF), &faxPanel);
    EXPECT_EQ(form.FreqPointer->x(), c.left) << "offset " << c.offset;
    EXPECT_EQ(form.PointerColour(), c.colour) << "offset " << c.offset;
    EXPECT_TRUE(faxPanel.isHidden()) << "a tuning report takes the fax panel away";
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, TuningOffsetTest,
    ::testing::Values(PointerCase{0, 113, kGreen}, PointerCase{10, 85, kGreen},  // b = 28
                      PointerCase{-20, 169, kRed},                               // b = 56
                      PointerCase{40, 13, kRed},                                 // b = 112, limited
                      PointerCase{11, 83, kYellow},                              // b = 30
                      PointerCase{-17, 160, kYellow}, PointerCase{18, 63, kRed}, // b = 50
                      PointerCase{127, 13, kRed}, PointerCase{-128, 213, kRed}));

class MirvolFrequencyTest : public ::testing::TestWithParam<PointerCase> {};

TEST_P(MirvolFrequencyTest, PlacesThePointerOnTheOffsetsSide) {
    const PointerCase& c = GetParam();
    TFrequencyTuneFrm form(nullptr);
    MirvolFrequencyUpdate(form, c.offset);
    EXPECT_EQ(form.FreqPointer->x(), c.left) << "offset " << c.offset;
    EXPECT_EQ(form.PointerColour(), c.colour) << "offset " << c.offset;
}

INSTANTIATE_TEST_SUITE_P(Offsets, MirvolFrequencyTest,
                         ::testing::Values(PointerCase{-3, 107, kGreen},
                                           PointerCase{4, 121, kGreen},
                                           PointerCase{-4, 105, kGreen},
                                           PointerCase{5, 123, kYellow},
                                           PointerCase{-9, 95, kYellow}, PointerCase{10, 133, kRed},
                                           PointerCase{-50, 43, kRed}, PointerCase{35, 183, kRed},
                                           PointerCase{120, 183, kRed}));

TEST(FrequencyWindow, StartsCentredAndGreenOnTheStrip) {
    TFrequencyTuneFrm form(nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Frequency Tune"));
    EXPECT_EQ(form.Shape1->geometry().left(), 8);
    EXPECT_EQ(form.Shape1->width(), 217);
    EXPECT_EQ(form.FreqPointer->x(), 113);
    EXPECT_EQ(form.FreqPointer->width(), 8);
    EXPECT_EQ(form.PointerColour(), kGreen);
    // The pointer's whole travel stays on the strip.
    for (int left : {13, 213}) {
        EXPECT_GE(left, form.Shape1->x());
        EXPECT_LE(left + form.FreqPointer->width(), form.Shape1->x() + form.Shape1->width());
    }
}

} // namespace
} // namespace tarvis
