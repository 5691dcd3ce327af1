// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Settings.h"
#include "ui/Autostart.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

class QHBoxLayout;
class QLabel;
class QStackedWidget;
class QTabBar;
class QVBoxLayout;

namespace vantory {

class DesktopColorScheme;
class DesktopLanguage;
class SettingsTab;
class Store;
class StatusContentView;

// The tags of the tabs, as the screen stores its selected tab.
namespace SettingsTabs {
inline constexpr const char* display = "표시";
inline constexpr const char* connection = "연결 및 과목";
inline constexpr const char* reminders = "알림";
inline constexpr const char* courseColors = "과목";
inline constexpr const char* categoryColors = "카테고리";
inline constexpr const char* timeColors = "시간";
} // namespace SettingsTabs

// An address field between its typing and its saving, and its last connection check.
struct AddressDraft {
    std::optional<QString> text; // typed text that did not pass its check
    QString problem;
    QString report;
    bool reached = false;
    bool checking = false;
};

// What the screen remembers beside the Store; everything else is read from the Store on every
// refresh.
struct SettingsViewState {
    std::string categoryScope = "all"; // "all" or a course id
    CategoryStyle bulkCategoryStyle;
    std::optional<QString> launchError;
    bool loginEnabled = false;
    std::map<Site, AddressDraft> addresses;
};

// The content of the settings window (display, connection, reminders) and of the colour window (course,
// category and time colours, with a live preview of the status line, and the screens' light or dark
// "화면 모드"). Every other control writes through Store::update. Each tab is built when first shown
// and then follows the Store's notifications in place, while the screen shows; a hidden screen or
// tab catches up when it shows again, so it neither speaks nor takes the focus meanwhile.
class SettingsScreen : public QWidget {
    Q_OBJECT

public:
    // `tab` is a tag of SettingsTabs; an empty one picks the window's first tab. The colour window
    // offers the choice of `scheme` and the settings window's display tab that of `language`, when
    // there is one; both must outlive the screen.
    SettingsScreen(Store& store, bool colorOnly, const QString& tab = {}, DesktopColorScheme* scheme = nullptr,
        DesktopLanguage* language = nullptr, QWidget* parent = nullptr);
    ~SettingsScreen() override;

    bool colorOnly() const { return colorOnly_; }
    QString tab() const { return tab_; }
    void setTab(const QString& tag);
    // Tags of this window's tabs, in order.
    QStringList tabs() const;

    // The content size (points) the window should hold for the current tab: as wide as the widest
    // row needs and 500 points at the least, as tall as the tab up to 600 points (it scrolls beyond),
    // both grown with the font.
    QSize wantedSize() const;
    QSize sizeHint() const override { return wantedSize(); }

    Autostart& autostart() { return autostart_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Page {
        QWidget* scroll;
        SettingsTab* tab;
        bool stale;
    };

    QHBoxLayout* buildHeader();
    QHBoxLayout* buildTabRow();
    void buildPreview(QVBoxLayout* layout);
    void buildFooter(QVBoxLayout* layout);
    void addTabKeys();
    void changed();
    void refresh();
    void refreshPreview();
    Page& page(const QString& which);
    SettingsTab* buildTab(const QString& which);
    void fitWindow();

    Store& store_;
    DesktopLanguage* language_;
    bool colorOnly_;
    QString tab_;
    SettingsViewState view_;
    Autostart autostart_;
    QTabBar* tabBar_;
    QStackedWidget* pages_;
    std::map<QString, Page> built_;
    StatusContentView* preview_ = nullptr;
    QLabel* explanation_ = nullptr;
    QLabel* zoneNote_ = nullptr; // the footer's "자동 저장 · <city> 시간"
    std::int64_t observer_;
    bool refreshPending_ = false;
};

} // namespace vantory
