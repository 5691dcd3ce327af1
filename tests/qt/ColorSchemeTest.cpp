#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "desktop/DesktopColorScheme.h"
#include "desktop/Legibility.h"
#include "desktop/ReadablePalette.h"
#include "desktop/SchemePalettes.h"

namespace vantory {
namespace {

// The offscreen platform has no theme: the desktop's own palette is the style's light one.
class ColorSchemeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { keepApplicationPaletteReadable(); }
    void TearDown() override { SchemePalettes::apply(std::nullopt); }

    static bool readable(const QPalette& palette)
    {
        return Legibility::contrastRatio(palette.color(QPalette::HighlightedText), palette.color(QPalette::Highlight))
            >= Legibility::textContrast
            && Legibility::contrastRatio(palette.color(QPalette::PlaceholderText), palette.color(QPalette::Base))
            >= Legibility::textContrast;
    }

    QTemporaryDir folder;
    QSettings preferences{folder.filePath(QStringLiteral("Vantory.conf")), QSettings::IniFormat};
};

struct Announcement {
    const char* group;
    const char* key;
    QVariant value;
};

const char* appearance = "org.freedesktop.appearance";
const char* gnome = "org.gnome.desktop.interface";

TEST_F(ColorSchemeTest, OpenWindowsFollowTheDesktopsSchemeUntilTheStudentPicksOne)
{
    const struct {
        const char* what;
        SchemeChoice choice;
        std::vector<Announcement> announced;
        bool dark;
    } cases[] = {
        {"nothing announced", SchemeChoice::system, {}, false},
        {"dark", SchemeChoice::system, {{appearance, "color-scheme", 1u}}, true},
        {"light", SchemeChoice::system, {{appearance, "color-scheme", 1u}, {appearance, "color-scheme", 2u}}, false},
        {"no preference after dark", SchemeChoice::system,
            {{appearance, "color-scheme", 1u}, {appearance, "color-scheme", 0u}}, false},
        {"GNOME's own setting while the portal's is unknown", SchemeChoice::system,
            {{gnome, "color-scheme", QStringLiteral("prefer-dark")}}, true},
        {"the portal's over GNOME's", SchemeChoice::system,
            {{appearance, "color-scheme", 2u}, {gnome, "color-scheme", QStringLiteral("prefer-dark")}}, false},
        {"a later value is no answer", SchemeChoice::system,
            {{appearance, "color-scheme", 3u}, {gnome, "color-scheme", QStringLiteral("prefer-dark")}}, true},
        {"a signed number is no answer", SchemeChoice::system, {{appearance, "color-scheme", 1}}, false},
        {"GNOME's text in the portal's key", SchemeChoice::system,
            {{appearance, "color-scheme", QStringLiteral("prefer-dark")}}, false},
        {"another key", SchemeChoice::system, {{appearance, "accent-color", 1u}}, false},
        {"another group", SchemeChoice::system, {{"org.kde.kdeglobals", "color-scheme", 1u}}, false},
        {"chosen light on a dark desktop", SchemeChoice::light, {{appearance, "color-scheme", 1u}}, false},
        {"chosen dark on a light desktop", SchemeChoice::dark, {{appearance, "color-scheme", 2u}}, true},
        {"chosen dark, nothing announced", SchemeChoice::dark, {}, true},
    };
    QWidget window;
    auto* label = new QLabel(QStringLiteral("과목"), &window);
    // Roles a widget set itself (the strip's backdrop) stay whatever the scheme.
    QPalette own = label->palette();
    own.setColor(QPalette::Window, QColor(0x1F, 0x1F, 0x1F));
    label->setPalette(own);
    window.show();
    for (const auto& [what, choice, announced, dark] : cases) {
        preferences.setValue(QStringLiteral("appearance/colorScheme"), ColorScheme::key(choice));
        DesktopColorScheme scheme(preferences);
        for (const auto& [group, key, value] : announced)
            scheme.desktopSettingChanged(QString::fromUtf8(group), QString::fromUtf8(key), value);
        // Widgets take a new application palette from a posted event.
        QApplication::processEvents();
        EXPECT_EQ(SchemePalettes::isDark(window.palette()), dark) << what;
        EXPECT_EQ(window.palette().color(QPalette::Base),
            (dark ? SchemePalettes::dark() : SchemePalettes::light()).color(QPalette::Base))
            << what;
        EXPECT_TRUE(readable(QApplication::palette())) << what;
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0x1F, 0x1F, 0x1F)) << what;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), window.palette().color(QPalette::WindowText)) << what;
    }
}

TEST_F(ColorSchemeTest, ChoiceIsKeptAndAnUnknownOneFollowsTheDesktop)
{
    {
        DesktopColorScheme scheme(preferences);
        EXPECT_EQ(scheme.choice(), SchemeChoice::system);
        scheme.setChoice(SchemeChoice::dark);
        EXPECT_TRUE(SchemePalettes::isDark(QApplication::palette()));
    }
    QSettings reread(preferences.fileName(), QSettings::IniFormat);
    EXPECT_EQ(reread.value(QStringLiteral("appearance/colorScheme")).toString(), QStringLiteral("dark"));
    EXPECT_EQ(DesktopColorScheme(reread).choice(), SchemeChoice::dark);
    reread.setValue(QStringLiteral("appearance/colorScheme"), QStringLiteral("sepia"));
    EXPECT_EQ(DesktopColorScheme(reread).choice(), SchemeChoice::system);
    EXPECT_FALSE(SchemePalettes::isDark(QApplication::palette()));
}

} // namespace
} // namespace vantory
