// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLabel>
#include <QSettings>
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

TEST(ColorSchemeMappingTest, PortalValuesAsSchemesOnlyOfTheirOwnType)
{
    using enum DesktopScheme;
    using Row = std::pair<QVariant, std::optional<DesktopScheme>>;
    for (const auto& [value, scheme] : {Row{0u, noPreference}, {1u, dark}, {2u, light}, {3u, std::nullopt},
             {1, std::nullopt}, {QStringLiteral("prefer-dark"), std::nullopt}})
        EXPECT_EQ(ColorScheme::fromAppearance(value), scheme) << value.toString().toStdString();
    for (const auto& [value, scheme] :
        {Row{QStringLiteral("default"), noPreference}, {QStringLiteral("prefer-dark"), dark},
            {QStringLiteral("prefer-light"), light}, {QStringLiteral("Prefer-Dark"), std::nullopt}, {1u, std::nullopt}})
        EXPECT_EQ(ColorScheme::fromGnome(value), scheme) << value.toString().toStdString();
}

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
        const char* choice; // as stored in the preferences file
        std::vector<Announcement> announced;
        bool dark;
    } cases[]
        = {{"nothing announced", "system", {}, false}, {"dark", "system", {{appearance, "color-scheme", 1u}}, true},
            {"no preference after dark", "system", {{appearance, "color-scheme", 1u}, {appearance, "color-scheme", 0u}},
                false},
            {"GNOME's own setting while the portal's is unknown", "system",
                {{appearance, "color-scheme", 3u}, {gnome, "color-scheme", QStringLiteral("prefer-dark")}}, true},
            {"the portal's over GNOME's", "system",
                {{appearance, "color-scheme", 0u}, {gnome, "color-scheme", QStringLiteral("prefer-dark")}}, false},
            {"another key", "system", {{appearance, "accent-color", 1u}}, false},
            {"chosen light on a dark desktop", "light", {{appearance, "color-scheme", 1u}}, false},
            {"chosen dark, nothing announced", "dark", {}, true},
            {"an unknown choice follows the desktop", "sepia", {{appearance, "color-scheme", 1u}}, true}};
    QWidget window;
    auto* label = new QLabel(QStringLiteral("과목"), &window);
    // Roles a widget set itself (the strip's backdrop) stay whatever the scheme.
    QPalette own = label->palette();
    own.setColor(QPalette::Window, QColor(0x1F, 0x1F, 0x1F));
    label->setPalette(own);
    window.show();
    for (const auto& [what, choice, announced, dark] : cases) {
        preferences.setValue(QStringLiteral("appearance/colorScheme"), QString::fromUtf8(choice));
        DesktopColorScheme scheme(preferences);
        for (const auto& [group, key, value] : announced)
            scheme.desktopSettingChanged(QString::fromUtf8(group), QString::fromUtf8(key), value);
        // Widgets take a new application palette from a posted event.
        QApplication::processEvents();
        EXPECT_EQ(window.palette().color(QPalette::Base),
            (dark ? SchemePalettes::dark() : SchemePalettes::light()).color(QPalette::Base))
            << what;
        EXPECT_TRUE(readable(QApplication::palette())) << what;
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0x1F, 0x1F, 0x1F)) << what;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), window.palette().color(QPalette::WindowText)) << what;
    }
}

} // namespace
} // namespace vantory
