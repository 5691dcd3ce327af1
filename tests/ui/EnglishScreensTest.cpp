// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/Popover.h"
#include "app/ScreenOpener.h"
#include "app/TrayMenu.h"
#include "ui/Dashboard.h"
#include "ui/EditAssessment.h"
#include "ui/ScreenWindow.h"
#include "ui/SettingsScreen.h"

#include "SampleDatabase.h"
#include "support/ManualScheduler.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include "desktop/DesktopLanguage.h"

namespace vantory {
namespace {

// Wednesday 2025-10-15 12:00 in Vancouver.
const Instant now = instantFromSeconds(1760554800);

// The language names of the language choice are shown in their own language.
const QStringList ownNames{QStringLiteral("한국어")};

bool hangul(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t unit = c.unicode();
        return (unit >= 0xAC00 && unit <= 0xD7A3) || (unit >= 0x1100 && unit <= 0x11FF)
            || (unit >= 0x3130 && unit <= 0x318F);
    });
}

// Every text a widget shows, tells or offers: its own, its items' and its actions'.
QStringList widgetTexts(const QWidget* widget)
{
    QStringList texts{widget->windowTitle(), widget->toolTip(), widget->accessibleName(),
        widget->accessibleDescription(), widget->statusTip(), widget->whatsThis()};
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        texts << label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        texts << button->text();
    if (const auto* field = qobject_cast<const QLineEdit*>(widget))
        texts << field->placeholderText() << field->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        texts << box->title();
    if (const auto* picker = qobject_cast<const QComboBox*>(widget))
        for (int i = 0; i < picker->count(); ++i)
            texts << picker->itemText(i) << picker->itemData(i, Qt::ToolTipRole).toString();
    if (const auto* tabs = qobject_cast<const QTabBar*>(widget))
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i) << tabs->tabToolTip(i) << tabs->accessibleTabName(i);
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget); view && view->model())
        for (int row = 0; row < view->model()->rowCount(); ++row)
            for (int role : {Qt::DisplayRole, Qt::ToolTipRole, Qt::AccessibleTextRole, Qt::AccessibleDescriptionRole})
                texts << view->model()->index(row, 0).data(role).toString();
    for (const QAction* action : widget->actions())
        texts << action->text() << action->toolTip();
    return texts;
}

// What a screen reader reads out: names, descriptions and values of the accessible tree.
void accessibleTexts(QAccessibleInterface* node, QStringList& texts, int depth = 0)
{
    if (!node || depth > 40)
        return;
    for (QAccessible::Text kind : {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help})
        texts << node->text(kind);
    for (int i = 0; i < node->childCount(); ++i)
        accessibleTexts(node->child(i), texts, depth + 1);
}

// The texts of window and all it holds that are Korean, each with where it was found.
QStringList koreanIn(const QWidget* window)
{
    QCoreApplication::processEvents();
    QStringList found;
    QList<const QWidget*> widgets{window};
    for (const QWidget* child : window->findChildren<QWidget*>())
        widgets << child;
    for (const QWidget* widget : widgets) {
        QStringList texts = widgetTexts(widget);
        accessibleTexts(QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget)), texts);
        for (const QString& text : texts)
            if (hangul(text) && !ownNames.contains(text))
                found << QStringLiteral("%1 %2: %3")
                             .arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName(), text);
    }
    found.removeDuplicates();
    return found;
}

class EnglishScreensTest : public ::testing::Test {
protected:
    EnglishScreensTest()
    {
        language.setChoice(LanguageChoice::korean);
        delegate.store().update([](Database& db) { db = sample::database(60, now, 7, Language::english); });
        QObject::connect(&language, &DesktopLanguage::changed, &windows, &ScreenOpener::reword);
    }
    ~EnglishScreensTest() override { language.setChoice(LanguageChoice::korean); }

    SettingsScreen* settings(ScreenWindow* window) const { return window->findChild<SettingsScreen*>(); }

    test::SiteScope sites;
    test::TemporaryFolder folder;
    QSettings preferences{QString::fromStdString((folder / "Vantory.conf").string()), QSettings::IniFormat};
    DesktopLanguage language{preferences};
    test::ManualScheduler scheduler{now};
    AppDelegate delegate{folder / "state.json", scheduler};
    const bool started = (delegate.start(), true);
    ScreenOpener windows{delegate,
        {[](Store& store, ScreenOpener::EditOpener edit) {
             auto* dashboard = new Dashboard(store);
             dashboard->editRequested = [dashboard, edit](const Assessment& item) { edit(item, dashboard); };
             return dashboard;
         },
            [this](Store& store, bool colorOnly) {
                return new SettingsScreen(store, colorOnly,
                    QString::fromUtf8(colorOnly ? SettingsTabs::courseColors : SettingsTabs::display), nullptr,
                    &language);
            }},
        {}};
};

TEST_F(EnglishScreensTest, EveryScreenSwitchesToEnglishWhereItStandsAndShowsNoKoreanButTheLanguagesOwnName)
{
    windows.showSettings();
    settings(windows.settingsWindow())->setTab(QString::fromUtf8(SettingsTabs::reminders));
    windows.showCalendar();
    windows.calendarWindow()->move(120, 80);
    const QPoint calendarPosition = windows.calendarWindow()->pos();

    language.setChoice(LanguageChoice::english);
    ASSERT_TRUE(windows.settingsWindow() && windows.settingsWindow()->isVisible());
    EXPECT_EQ(settings(windows.settingsWindow())->tab(), QString::fromUtf8(SettingsTabs::reminders));
    ASSERT_TRUE(windows.calendarWindow() && windows.calendarWindow()->isVisible());
    EXPECT_EQ(windows.calendarWindow()->pos(), calendarPosition);

    QStringList korean;
    for (const char* tab : {SettingsTabs::display, SettingsTabs::connection, SettingsTabs::reminders,
             SettingsTabs::courseColors, SettingsTabs::categoryColors, SettingsTabs::timeColors}) {
        settings(windows.settingsWindow())->setTab(QString::fromUtf8(tab));
        korean << koreanIn(windows.settingsWindow());
    }
    windows.showColors();
    for (const char* tab : {SettingsTabs::courseColors, SettingsTabs::categoryColors, SettingsTabs::timeColors}) {
        settings(windows.colorsWindow())->setTab(QString::fromUtf8(tab));
        korean << koreanIn(windows.colorsWindow());
    }
    windows.showExport();
    korean << koreanIn(windows.exportWindow()) << koreanIn(windows.calendarWindow()) << koreanIn(windows.trayMenu());
    // The dashboard in each of its filters, sorts and segments.
    windows.togglePopover(QRect(400, 0, 10, 10));
    for (QAbstractButton* choice : windows.popover()->findChildren<QAbstractButton*>())
        if (choice->isCheckable() && choice->isVisible()) {
            choice->click();
            korean << koreanIn(windows.popover());
        }
    EditAssessment sheet(delegate.store(), delegate.store().db().assessments.front());
    korean << koreanIn(&sheet);
    if (hangul(QString::fromStdString(delegate.lastLine().tooltip)))
        korean << QString::fromStdString(delegate.lastLine().tooltip);
    korean.removeDuplicates();
    EXPECT_TRUE(korean.isEmpty()) << korean.join(u'\n').toStdString();

    language.setChoice(LanguageChoice::korean);
    EXPECT_FALSE(koreanIn(windows.trayMenu()).isEmpty()) << "and back";
}

} // namespace
} // namespace vantory
