// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/StatusContentView.h"

#include "connection/CourseList.h"
#include "model/Settings.h"
#include "store/Store.h"
#include "ui/SegmentButton.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsScreen.h"

#include "support/TemporaryFolder.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include "desktop/ItemColors.h"
#include "desktop/Legibility.h"
#include "desktop/QtColor.h"
#include "desktop/ReadablePalette.h"
#include "desktop/SchemePalettes.h"

namespace vantory {
namespace {

// Consecutive stretches of the given colours; offsets in UTF-16 units, as the composition writes them.
StatusText styled(const std::vector<std::pair<std::string, std::string>>& pieces)
{
    StatusText result;
    for (const auto& [text, hex] : pieces) {
        const auto start = std::size_t(QString::fromStdString(result.text).size());
        result.text += text;
        result.runs.push_back(
            {start, std::size_t(QString::fromStdString(text).size()), StatusRun::Font::main, 12, hex});
    }
    return result;
}

const StatusText red = styled({{"Red 12:34", "FF0000"}});
const StatusText blue = styled({{"Blue 56:78", "0000FF"}});

// Bounding box of the pixels drawn in one pure colour, and their strongest opacity.
struct Ink {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1, alpha = 0;
    bool found() const { return right >= 0; }
};

Ink inkOf(const QImage& image, QRgb color, int tolerance = 60)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) > 40 && std::abs(qRed(p) - qRed(color)) < tolerance
                && std::abs(qGreen(p) - qGreen(color)) < tolerance && std::abs(qBlue(p) - qBlue(color)) < tolerance)
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y),
                    std::max(ink.alpha, qAlpha(p))};
        }
    return ink;
}

class StatusContentViewTest : public ::testing::Test {
protected:
    StatusContentViewTest()
    {
        view.resize(200, 40);
        view.show();
        view.setUptimeSource([this] { return now; });
        view.setReduceMotionSource([this] { return reduceMotion; });
    }

    // The view alone on a transparent image, as the strip composes it over its backdrop.
    QImage rendered()
    {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image.convertToFormat(QImage::Format_ARGB32);
    }
    Ink ink(QRgb color) { return inkOf(rendered(), color); }
    void show(const StatusText& text) { view.showLine(text, QStringLiteral("none"), 1, false); }

    // Replaces blue with red by `effect` over one second and stops the clock at `progress`.
    QImage midTransition(const char* effect, double progress)
    {
        show(blue);
        view.showLine(red, QString::fromLatin1(effect), 1, true);
        now += progress;
        view.advanceFrame();
        return rendered();
    }

    double now = 100;
    bool reduceMotion = false;
    StatusContentView view;
};

TEST_F(StatusContentViewTest, ChangesAtOnceWhenNoTransitionAppliesAndRunsTheFrameTimerOnlyDuringOne)
{
    const std::tuple<const char*, const StatusText*, const char*, bool, bool, bool> cases[]
        = {{"first text", nullptr, "fade", true, false, true}, {"none", &blue, "none", true, false, true},
            {"reduce motion", &blue, "slideUp", true, true, true}, {"not asked", &blue, "fade", false, false, true},
            {"hidden", &blue, "fade", true, false, false}};
    for (const auto& [name, before, effect, animate, reduce, shown] : cases) {
        StatusContentView fresh;
        fresh.setVisible(shown);
        fresh.setReduceMotionSource([reduce = reduce] { return reduce; });
        if (before)
            fresh.showLine(*before, QStringLiteral("fade"), 0.3, false);
        fresh.showLine(red, QString::fromLatin1(effect), 0.3, animate);
        EXPECT_TRUE(
            fresh.current() == red && fresh.previous().empty() && fresh.progress() == 1 && !fresh.isTransitioning())
            << name;
    }

    view.showLine(blue, QStringLiteral("fade"), 0.5, false);
    view.showLine(red, QStringLiteral("fade"), 0.5, true);
    now += 0.25;
    view.advanceFrame();
    EXPECT_DOUBLE_EQ(view.progress(), 0.5);

    // Restarted halfway, the half-shown text is the one that leaves.
    view.showLine(styled({{"Green", "00FF00"}}), QStringLiteral("fade"), 0.5, true);
    EXPECT_TRUE(view.previous() == red && view.progress() == 0);
    now += 0.6;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.isTransitioning(); }, 1000) && view.previous().empty());
    view.showLine(view.current(), QStringLiteral("zoom"), 0.5, true);
    EXPECT_TRUE(view.isTransitioning()) << "the same text animates to itself when asked";
    view.hide();
    EXPECT_TRUE(!view.isTransitioning() && view.previous().empty() && view.progress() == 1) << "hidden halfway";
}

TEST_F(StatusContentViewTest, RestsCentredAndMovesByEffectHalfway)
{
    show(red);
    const Ink rest = ink(qRgb(255, 0, 0));
    ASSERT_TRUE(rest.found());
    EXPECT_NEAR(rest.left + rest.right, 200, 4);
    EXPECT_NEAR(rest.top + rest.bottom, 40, 6);

    // Halfway the eased offset is half the view's height.
    EXPECT_GE(inkOf(midTransition("slideUp", 0.5), qRgb(255, 0, 0)).top, rest.top + 15);

    const QImage faded = midTransition("fade", 0.5);
    const Ink fadingIn = inkOf(faded, qRgb(255, 0, 0));
    // Half opacity, a little more where the leaving text's edges lie underneath.
    EXPECT_NEAR(fadingIn.left, rest.left, 1);
    EXPECT_EQ(rest.alpha, 255);
    EXPECT_NEAR(fadingIn.alpha, 128, 40);
    EXPECT_TRUE(inkOf(faded, qRgb(0, 0, 255)).found());
    EXPECT_EQ(midTransition("sparkle", 0.5), faded) << "an unknown effect fades";

    now += 1;
    view.advanceFrame();
    EXPECT_FALSE(ink(qRgb(0, 0, 255)).found());
}

TEST_F(StatusContentViewTest, ElidesLongTextInTheMiddleKeepingColours)
{
    const StatusText longText
        = styled({{"Operating Systems Preclass", "FF0000"}, {" with a much longer tail 1d 4h20m", "0000FF"}});
    const StatusTextLayout elided = StatusTextLayout(longText).elidedTo(120);
    EXPECT_LE(elided.width(), 120);
    EXPECT_TRUE(elided.text().contains(QChar(0x2026))) << elided.text().toStdString();
    // The measured width is exactly enough: the composition's width never truncates.
    EXPECT_EQ(StatusTextLayout(longText).elidedTo(StatusContentView::measure(longText)).text(),
        QString::fromStdString(longText.text));

    view.resize(160, 40);
    show(longText);
    EXPECT_LT(ink(qRgb(255, 0, 0)).left, 20);
    EXPECT_GT(ink(qRgb(0, 0, 255)).right, 140);
}

// The colour of the pixel that contrasts most with the image's corner among those within 12° of
// `hue`: the solid inside of text of that hue; invalid when there is none.
QColor strongestOfHue(const QImage& image, int hue)
{
    const QColor backdrop = image.pixelColor(0, 0);
    QColor best;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = std::abs(pixel.hslHue() - hue) % 360;
            if (pixel.hslSaturationF() < 0.4F || std::min(distance, 360 - distance) > 12)
                continue;
            if (!best.isValid()
                || Legibility::contrastRatio(pixel, backdrop) > Legibility::contrastRatio(best, backdrop))
                best = pixel;
        }
    return best;
}

// Text that falls short on the strip (red 4.4:1, purple 4.2:1) is drawn just past 4.5:1 in its
// hue; the dot keeps the exact colour, inside a halo when it would vanish.
TEST_F(StatusContentViewTest, OnTheStripTextReadsInItsHueAndTheDotKeepsItsColour)
{
    QPalette strip = view.palette();
    strip.setColor(QPalette::Window, Legibility::backdrop);
    strip.setColor(QPalette::WindowText, Legibility::defaultText);
    view.setPalette(strip);
    view.resize(320, 60);
    // Large, so that strokes have solid insides to measure.
    StatusText line = styled({{"● ", "1E3A8A"}, {"Red 12:34 ", "EF4444"}, {"Purple", "A855F7"}});
    line.runs[0].font = StatusRun::Font::dot;
    for (StatusRun& run : line.runs)
        run.pointSize = 24;
    show(line);
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Legibility::backdrop);
    view.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());

    for (const auto& [name, hue] : {std::pair{"red", 0}, {"purple", 271}}) {
        const QColor text = strongestOfHue(image, hue);
        ASSERT_TRUE(text.isValid()) << name;
        EXPECT_GE(Legibility::contrastRatio(text, Legibility::backdrop), Legibility::textContrast) << name;
    }
    EXPECT_TRUE(inkOf(image, qRgb(0x1E, 0x3A, 0x8A), 3).found()) << "the dot's own colour";
    EXPECT_TRUE(inkOf(image, qRgb(0xFF, 0xFF, 0xFF)).found()) << "the dot's halo";

    // The halo's colour is the one that stands out from the mark; marks at 3:1 need none.
    const QColor dark = Legibility::backdrop, light(0xDC, 0xDC, 0xDC);
    for (const auto& [mark, backdrop, halo] : {std::tuple{QColor(0x1E, 0x3A, 0x8A), dark, QColor(Qt::white)},
             {QColor(0xEA, 0xB3, 0x08), light, Qt::black}, {QColor(0xEF, 0x44, 0x44), dark, {}}})
        EXPECT_EQ(Legibility::halo(mark, backdrop), halo) << mark.name().toStdString();
}

// The colour window's preview bar draws its course (blue, 4.3:1 as picked) and time (red, 4.2:1)
// readable on the bar's own colour.
TEST(LegibilityTest, TheColourWindowsPreviewReadsOnItsBar)
{
    const test::TemporaryFolder folder;
    Store store(folder / "state.json", instantFromSeconds(1'700'000'000));
    store.update([](Database& db) { db.settings.statusFontSize = 24; });
    SettingsScreen screen(store, true);
    screen.resize(screen.wantedSize());
    screen.show();
    QCoreApplication::processEvents();
    auto* bar = screen.findChild<QWidget*>(QStringLiteral("preview-bar"));
    ASSERT_NE(bar, nullptr);
    const QImage image = bar->grab().toImage();
    for (const auto& [name, hue] : {std::pair{"blue", 217}, {"red", 0}}) {
        const QColor text = strongestOfHue(image, hue);
        ASSERT_TRUE(text.isValid()) << name;
        EXPECT_GE(Legibility::contrastRatio(text, image.pixelColor(0, 0)), Legibility::textContrast) << name;
    }
}

double shownContrast(const QColor& text, const QColor& backdrop)
{
    return Legibility::contrastRatio(Legibility::over(text, backdrop), backdrop);
}

// Only what falls short moves, in lightness alone and just past 4.5:1; grey and translucent too.
TEST(LegibilityTest, ReadableMovesOnlyTheLightnessOfTextThatFallsShortAndOnlyJustEnough)
{
    const QColor white(Qt::white), fusionWindow(0xEF, 0xEF, 0xEF), fusionHighlight(0x30, 0x8C, 0xC6),
        darkBase(0x1F, 0x1F, 0x22), black(Qt::black);
    for (const auto& [text, backdrop, moves] : {std::tuple{QColor(0x77, 0x77, 0x77), fusionWindow, true},
             {QColor(0, 0, 0, 128), white, true}, {QColor(0x22, 0xC5, 0x5E), white, true},
             {QColor(0xEC, 0x48, 0x99), fusionHighlight, true}, {QColor(0x1E, 0x3A, 0x8A), darkBase, true},
             {QColor(0x80, 0x00, 0x80), black, true}, {white, fusionHighlight, true}, {black, white, false},
             {QColor(0x15, 0x80, 0x3D), white, false}, {QColor(0xA8, 0xA8, 0xAE), QColor(0x2B, 0x2B, 0x2E), false}}) {
        SCOPED_TRACE(text.name(QColor::HexArgb).toStdString() + " on " + backdrop.name().toStdString());
        const QColor shown = Legibility::readable(text, backdrop), before = Legibility::over(text, backdrop);
        EXPECT_GE(shownContrast(shown, backdrop), Legibility::textContrast);
        EXPECT_EQ(shown == text, !moves);
        if (!moves)
            continue;
        EXPECT_LT(shownContrast(shown, backdrop), 4.75);
        EXPECT_NEAR(shown.hslHueF(), before.hslHueF(), 0.01);
        EXPECT_NEAR(shown.hslSaturationF(), before.hslSaturationF(), before.hslSaturationF() > 0.1F ? 0.05 : 1);
    }
}

// In both palettes: rows, labels, selections, a chosen segment as painted, the default colours as
// text, the application palette as it switches, captions and warnings as their window's switches.
TEST(LegibilityTest, EveryTextOfThePalettesAndEveryDefaultColourAsTextReachesTheFloor)
{
    const Settings defaults;
    std::vector<QColor> accents{QtColor::fromHex(defaults.otherHex)};
    for (const char* hex : CourseList::palette)
        accents.push_back(QtColor::fromHex(hex));
    for (const ColorRule& rule : defaults.rules)
        accents.push_back(QtColor::fromHex(rule.hex));
    const auto readable = [](const QColor& text, const QColor& backdrop, const std::string& where) {
        EXPECT_GE(shownContrast(text, backdrop), Legibility::textContrast) << where;
    };

    keepApplicationPaletteReadable();
    for (const auto& [name, palette] :
        {std::pair{"light", SchemePalettes::light()}, {"dark", SchemePalettes::dark()}}) {
        const std::pair<const char*, ItemColors> states[] = {
            {"row", plainItemColors(palette, palette.color(QPalette::Base))},
            {"label", plainItemColors(palette, palette.color(QPalette::Window))},
            {"prompt", plainItemColors(palette, palette.color(QPalette::AlternateBase))},
            {"selected", selectedItemColors(palette)},
            {"selected, unfocused", unfocusedSelectionColors(palette)},
        };
        for (const auto& [state, colors] : states) {
            const std::string where = std::string(name) + ", " + state;
            readable(colors.text, colors.backdrop, where);
            readable(colors.secondary, colors.backdrop, where);
            for (const QColor& accent : accents)
                readable(colors.accent(accent), colors.backdrop, where + " " + accent.name().toStdString());
        }
        // The highlight keeps its hue when it has to deepen under its text.
        EXPECT_NEAR(selectedItemColors(palette).backdrop.hslHueF(), palette.color(QPalette::Highlight).hslHueF(), 0.01);

        QApplication::setPalette(palette);
        const QPalette application = QApplication::palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            for (const auto& [text, backdrop] : {std::pair{QPalette::HighlightedText, QPalette::Highlight},
                     {QPalette::PlaceholderText, QPalette::Base}})
                readable(application.color(group, text), application.color(group, backdrop), name);

        SegmentButton segment(QStringLiteral("가운데"));
        segment.setCheckable(true);
        segment.setChecked(true);
        segment.setPalette(palette);
        segment.resize(120, 30);
        const QImage painted = segment.grab().toImage();
        for (const int y : {4, 15, 25})
            readable(selectedItemColors(palette).text, painted.pixelColor(6, y),
                std::string(name) + " segment " + std::to_string(y));

        QWidget window;
        QLabel* caption = SettingsRows::caption(QStringLiteral("캡션"), &window);
        QLabel* warning = SettingsRows::notice(QStringLiteral("경고"), true, &window);
        for (const QPalette& now :
            {palette, name == std::string("light") ? SchemePalettes::dark() : SchemePalettes::light()}) {
            window.setPalette(now);
            for (QLabel* label : {caption, warning})
                readable(label->palette().color(label->foregroundRole()), now.color(QPalette::Window),
                    std::string(name) + " " + label->text().toStdString());
            EXPECT_NEAR(
                warning->palette().color(warning->foregroundRole()).hslHueF(), QtColor::warning(now).hslHueF(), 0.03)
                << name;
        }
    }
}

} // namespace
} // namespace vantory
