#include "desktop/Legibility.h"

#include <gtest/gtest.h>

using namespace vantory;

TEST(LegibilityTest, ComputesWcagContrast)
{
    const struct {
        QColor first, second;
        double ratio;
    } cases[] = {
        {Qt::black, Qt::white, 21}, {Qt::white, Qt::black, 21}, {QColor(0x77, 0x77, 0x77), QColor(0x77, 0x77, 0x77), 1},
        // The colours that were hard to read on a light backdrop (#DCDCDC).
        {QColor(0xEA, 0xB3, 0x08), QColor(0xDC, 0xDC, 0xDC), 1.40},
        {QColor(0x22, 0xC5, 0x5E), QColor(0xDC, 0xDC, 0xDC), 1.66},
        {QColor(0x76, 0x76, 0x76), Qt::white, 4.54}, // WCAG's own example of the 4.5 boundary
    };
    for (const auto& c : cases)
        EXPECT_NEAR(Legibility::contrastRatio(c.first, c.second), c.ratio, 0.01) << c.first.name().toStdString();
}

TEST(LegibilityTest, UrgencyAndDefaultColoursStandOutOnTheBackdrop)
{
    for (const QColor colour : {QColor(0xEF, 0x44, 0x44), QColor(0xEA, 0xB3, 0x08), QColor(0x22, 0xC5, 0x5E),
             QColor(0xFF, 0xFF, 0xFF), Legibility::defaultText}) {
        EXPECT_GE(Legibility::contrastRatio(colour, Legibility::backdrop), Legibility::minimumContrast)
            << colour.name().toStdString();
        EXPECT_FALSE(Legibility::halo(colour, Legibility::backdrop).isValid()) << colour.name().toStdString();
    }
}

TEST(LegibilityTest, ColoursTooCloseToTheBackdropGetTheContrastingHalo)
{
    const struct {
        QColor text, backdrop, halo;
    } cases[] = {
        {QColor(0x1E, 0x3A, 0x8A), Legibility::backdrop, Qt::white}, // dark blue on the dark strip
        {Qt::black, Legibility::backdrop, Qt::white},
        {QColor(0xEA, 0xB3, 0x08), QColor(0xDC, 0xDC, 0xDC), Qt::black}, // yellow on a light backdrop
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Legibility::halo(c.text, c.backdrop), c.halo) << c.text.name().toStdString();
        EXPECT_GE(Legibility::contrastRatio(Legibility::halo(c.text, c.backdrop), c.backdrop), 3);
    }
}
