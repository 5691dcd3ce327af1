// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the screens offscreen with a sample database into PNG files, in a light and a dark
// palette: vantory-screenshots <folder> [--large-text] [--english]. With --large-text it renders
// the dashboard and the settings and export windows at one and a half times the text ("-large"),
// as a desktop whose text is enlarged draws them (the logical dpi at 144); with --english the main
// screens in English ("-en"), with a sample an English-speaking student would keep.
#include "store/SiteChoice.h"
#include "store/Store.h"
#include "ui/CalendarServerGroup.h"
#include "ui/Dashboard.h"
#include "ui/DeadlineList.h"
#include "ui/EditAssessment.h"
#include "ui/ExportScreen.h"
#include "ui/MonthCalendar.h"
#include "ui/SettingsScreen.h"

#include "SampleDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "desktop/DesktopColorScheme.h"
#include "desktop/DesktopLanguage.h"
#include "desktop/ReadablePalette.h"
#include "desktop/SchemePalettes.h"

namespace {

using namespace vantory;

// Wednesday 2025-10-15 12:00 in Vancouver.
const Instant now = instantFromSeconds(1760554800);

// The sheet's item: a deadline re-dated by hand, with as many access rules as the sample has.
const Assessment& sheetItem(const Store& store)
{
    const auto& items = store.db().assessments;
    const auto rank = [&store](const Assessment& item) {
        const auto override = store.db().overrides.find(item.id);
        const bool redated = override != store.db().overrides.end() && override->second.due && item.due;
        return std::pair(redated, item.rules.size());
    };
    return *std::max_element(
        items.begin(), items.end(), [&](const Assessment& a, const Assessment& b) { return rank(a) < rank(b); });
}

// What the site connections or the calendar sync would have said, in the language of the shots.
std::string said(const char* context, const char* korean, int count = -1)
{
    return QCoreApplication::translate(context, korean, nullptr, count).toStdString();
}

// A collection's name on the student's calendar server, as a student of the language names it.
std::string named(const char* korean, const char* english)
{
    return language() == Language::english ? english : korean;
}

// The sample as every palette starts from: deadlines of both sites, the sites' sync done, no
// calendar server.
void useSample(Store& store)
{
    store.update([](Database& db) {
        db = sample::database(300, now);
        db.settings.reminderMinutes = {{1440, 60}};
        sample::useSchool(db);
    });
    store.setNeedsLogin(false);
    store.setErrors({});
    store.setStatus(said("AssessmentPass", "최근 업데이트 완료"));
    store.setCanvasStatus(said("CanvasPass", "Canvas 업데이트 완료"));
    store.setCalendarServerStatus(std::string(wording().calendarServerOffStatus));
    store.setCalendarServerProgress(std::nullopt);
    store.checkCalendarServer = nullptr;
}

// A student's calendar server in use, its sync in `status` with `reason`.
void useCalendarServer(Store& store, const std::string& status, const std::string& reason = {})
{
    useSample(store);
    store.update([](Database& db) {
        db.settings.calendarServerURL = "https://cloud.example.com/dav/calendars/student/tasks/";
        db.settings.calendarServerUser = "student";
    });
    store.setCalendarServerStatus(status, reason);
}

// One named shot: builds its screen over the store; the caller shows it at size (none: the size
// the screen asks for, which its window takes), lets it settle (focus needs a shown window) and
// renders it.
struct Shot {
    const char* name;
    QSize size;
    std::function<std::unique_ptr<QWidget>(Store&)> make;
    std::function<void(QWidget&)> settle = [](QWidget&) {};
};

std::unique_ptr<QWidget> dashboard(Store& store)
{
    return std::make_unique<Dashboard>(store);
}

// The dashboard with its first row selected, the focus in the list or on the refresh button.
Shot selectedRow(const char* name, bool listFocused)
{
    return {name, {}, dashboard, [listFocused](QWidget& screen) {
                auto* list = screen.findChild<DeadlineList*>();
                list->setCurrentIndex(list->model()->index(0, 0));
                QWidget* focus = list;
                if (!listFocused)
                    focus = screen.findChild<QAbstractButton*>(QStringLiteral("refresh"));
                focus->setFocus();
            }};
}

// The colour window's "화면 모드" choice, left at following the desktop, and the settings' "언어",
// at the shots' language.
DesktopColorScheme* colorScheme = nullptr;
DesktopLanguage* desktopLanguage = nullptr;

std::function<std::unique_ptr<QWidget>(Store&)> settingsTab(bool colorOnly, const char* tab)
{
    return [=](Store& store) {
        return std::make_unique<SettingsScreen>(store, colorOnly, QString::fromUtf8(tab), colorScheme, desktopLanguage);
    };
}

// The settings' "캘린더 서버" after a check that answers `answer`, scrolled into view: with the
// server in use (its sync failing when the check failed, else sending its first tasks) or before
// one is chosen.
Shot calendarCheck(const char* name, bool inUse, std::function<CalendarServerCheck()> answering)
{
    return {name, {},
        [inUse, answering](Store& store) {
            const CalendarServerCheck answer = answering();
            if (!inUse)
                useSample(store);
            else if (answer.reached)
                useCalendarServer(store, said("CalendarServerSync", "캘린더 서버 동기화 중"));
            else
                useCalendarServer(
                    store, "캘린더 서버 동기화 실패 · 기존 일정 유지", "캘린더 서버가 연결을 거부했습니다 (오류 1)");
            if (inUse && answer.reached)
                store.setCalendarServerProgress(Store::Progress{120, 840});
            store.checkCalendarServer = [answer](const CalendarServerLogin&, auto done) { done(answer); };
            return settingsTab(false, SettingsTabs::connection)(store);
        },
        [inUse](QWidget& screen) {
            const auto type = [&screen](const char* field, const char* text) {
                auto* edit = screen.findChild<QLineEdit*>(QString::fromLatin1(field));
                edit->setText(QString::fromLatin1(text));
                edit->setModified(true);
                return edit;
            };
            if (!inUse) {
                type("calendar-address", "https://cloud.example.com");
                type("calendar-user", "student");
            }
            type("calendar-password", "wrong-password")->setFocus();
            screen.findChild<QPushButton*>(QStringLiteral("calendar-check"))->click();
            QApplication::processEvents();
            auto* scroll = screen.findChild<QScrollArea*>();
            const auto* group = screen.findChild<CalendarServerGroup*>();
            scroll->verticalScrollBar()->setValue(group->mapTo(scroll->widget(), QPoint()).y() - 8);
        }};
}

const Shot shots[] = {
    {"dashboard", {}, dashboard},
    // The focus rings: on the current row, which is not selected, and on a day.
    {"dashboard-focused-row", {}, dashboard,
        [](QWidget& screen) {
            auto* list = screen.findChild<DeadlineList*>();
            list->selectionModel()->setCurrentIndex(list->model()->index(1, 0), QItemSelectionModel::NoUpdate);
            list->setFocus();
        }},
    {"dashboard-focused-day", {}, dashboard,
        [](QWidget& screen) { screen.findChild<MonthCalendar*>()->dayButton(20)->setFocus(); }},
    {"edit", {460, 440}, [](Store& store) { return std::make_unique<EditAssessment>(store, sheetItem(store)); }},
    {"export", {},
        [](Store& store) {
            return std::make_unique<ExportScreen>(store, ExportChoices{}, nullptr, [] { return now; });
        }},
    {"settings-display", {}, settingsTab(false, SettingsTabs::display)},
    {"settings-connection", {}, settingsTab(false, SettingsTabs::connection)},
    {"settings-reminders", {}, settingsTab(false, SettingsTabs::reminders)},
    {"settings-course-colors", {}, settingsTab(true, SettingsTabs::courseColors)},
    {"settings-category-colors", {}, settingsTab(true, SettingsTabs::categoryColors)},
    {"settings-time-colors", {}, settingsTab(true, SettingsTabs::timeColors)},
    selectedRow("dashboard-selected", true),
    selectedRow("dashboard-selected-unfocused", false),
    // The last ones change the store; main() puts it back for the next palette.
    {"dashboard-refused", {},
        [](Store& store) {
            const std::string refused = "사이트가 연결을 거부했습니다 (오류 -102)";
            store.setErrors({{"home", "페이지 형식을 읽지 못했어요. 기존 일정은 유지됩니다."},
                {"canvas:home", "Canvas 과목 조회 실패 · 기존 일정 유지"}});
            store.setStatus("과목 목록 조회 실패 · 기존 일정 유지", refused);
            store.setCanvasStatus("Canvas 과목 조회 실패 · 기존 일정 유지", refused);
            return dashboard(store);
        }},
    {"dashboard-warning", {},
        [](Store& store) {
            store.setErrors({{"home", said("Failure", "BrevaneLearn 로그인이 필요해요")}});
            store.setCanvasStatus(said("CanvasPass", "Canvas 업데이트 완료"));
            store.setNeedsLogin(true);
            store.setStatus(said("AssessmentPass", "로그인이 필요해요 · 기존 일정 유지"),
                said("Failure", "사이트가 로그인 페이지로 보냈습니다"));
            return dashboard(store);
        }},
    {"settings-no-address", {},
        [](Store& store) {
            store.update([](Database& db) {
                db.assessments.clear();
                db.settings.assessmentBaseURL = "";
                db.settings.canvasBaseURL = "";
            });
            return settingsTab(false, SettingsTabs::connection)(store);
        }},
    {"dashboard-calendar-upload", {},
        [](Store& store) {
            useCalendarServer(store, "캘린더 서버 동기화 중");
            store.setCalendarServerProgress(Store::Progress{120, 840});
            return dashboard(store);
        }},
    {"dashboard-calendar-failed", {},
        [](Store& store) {
            useCalendarServer(
                store, "캘린더 서버 동기화 실패 · 기존 일정 유지", "캘린더 서버가 연결을 거부했습니다 (오류 1)");
            return dashboard(store);
        }},
    calendarCheck("settings-calendar-found", true,
        []() -> CalendarServerCheck {
            return {true, said("ServerCheck", "연결됐어요 · 할 일 캘린더 %n개", 2),
                "https://cloud.example.com/dav/calendars/student/",
                {{"https://cloud.example.com/dav/calendars/student/tasks/", named("할 일", "Tasks")},
                    {"https://cloud.example.com/dav/calendars/student/school/", named("학교", "School")}}};
        }),
    calendarCheck("settings-calendar-wrong-password", false,
        []() -> CalendarServerCheck {
            return {false, "연결 실패 · 사용자 이름이나 암호가 맞지 않습니다 (HTTP 401)", {}, {}};
        }),
    calendarCheck("settings-calendar-server-down", true,
        []() -> CalendarServerCheck {
            return {false, "연결 실패 · 캘린더 서버가 연결을 거부했습니다 (오류 1)", {}, {}};
        }),
};

// The shots --large-text renders.
constexpr std::string_view largeText[] = {"dashboard", "settings-display", "settings-connection",
    "settings-time-colors", "export", "settings-calendar-found"};
// The shots --english renders.
constexpr std::string_view inEnglish[] = {"dashboard", "edit", "export", "settings-display", "settings-connection",
    "settings-reminders", "settings-course-colors", "settings-category-colors", "settings-time-colors",
    "dashboard-warning", "settings-calendar-found"};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::vector<std::string_view> options(argv + std::min(argc, 2), argv + argc);
    const bool large = std::ranges::find(options, "--large-text") != options.end();
    const bool english = std::ranges::find(options, "--english") != options.end();
    if (large)
        qputenv("QT_FONT_DPI", "144");
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("Noto Sans CJK KR"));
    font.setPointSize(10);
    QApplication::setFont(font);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(folder);

    QTemporaryDir data;
    // The launch-at-login switch reads a private autostart folder, not the user's.
    qputenv("XDG_CONFIG_HOME", data.filePath(QStringLiteral("config")).toUtf8());
    QSettings preferences(data.filePath(QStringLiteral("Vantory.conf")), QSettings::IniFormat);
    DesktopColorScheme scheme(preferences);
    colorScheme = &scheme;
    DesktopLanguage language(preferences);
    language.setChoice(english ? LanguageChoice::english : LanguageChoice::korean);
    desktopLanguage = &language;
    Store store(data.filePath(QStringLiteral("state.json")).toStdString(), now);
    const SiteChoice sites(store, {});

    const std::pair<const char*, QPalette> palettes[] = {
        {"light", SchemePalettes::light()},
        {"dark", SchemePalettes::dark()},
    };
    int failures = 0;
    for (const auto& [paletteName, palette] : palettes) {
        QApplication::setPalette(readablePalette(palette));
        useSample(store);
        for (const Shot& shot : shots) {
            if (large && std::ranges::find(largeText, std::string_view(shot.name)) == std::end(largeText))
                continue;
            if (english && std::ranges::find(inEnglish, std::string_view(shot.name)) == std::end(inEnglish))
                continue;
            std::unique_ptr<QWidget> screen = shot.make(store);
            screen->resize(shot.size.isEmpty() ? screen->sizeHint() : shot.size);
            screen->show();
            QApplication::processEvents();
            shot.settle(*screen);
            QApplication::processEvents();
            const QString file
                = QStringLiteral("%1/%2%3%4-%5.png")
                      .arg(folder, QString::fromUtf8(shot.name), large ? QStringLiteral("-large") : QString(),
                          english ? QStringLiteral("-en") : QString(), QString::fromUtf8(paletteName));
            if (!screen->grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
