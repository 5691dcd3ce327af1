#include "app/TrayMenu.h"

#include "store/Store.h"

#include <QCoreApplication>

#include <utility>

namespace vantory {

namespace {

// The Store's hooks in menu order; nullptr marks a separator.
struct Entry {
    const char* text;
    Store::Action Store::*hook;
};

constexpr Entry entries[] = {
    {"캘린더 열기", &Store::calendarWindow},
    {"지금 새로고침", &Store::sync},
    {nullptr, nullptr},
    {"BrevaneLearn 로그인", &Store::connect},
    {"Canvas 로그인", &Store::connectCanvas},
    {nullptr, nullptr},
    {"iPhone 캘린더 내보내기 (.ics)", &Store::exportCalendar},
    {"설정", &Store::settingsWindow},
    {"색상 설정", &Store::colorsWindow},
};

} // namespace

TrayMenu::TrayMenu(Store& store, std::function<QString()> currentLine, QWidget* parent)
    : QMenu(parent)
    , store_(store)
    , currentLine_(std::move(currentLine))
{
    line_ = addAction(QString());
    line_->setEnabled(false);
    addSeparator();
    for (const Entry& entry : entries) {
        if (!entry.text) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(QString::fromUtf8(entry.text));
        // Read at trigger time: the hook may be replaced after the menu is built.
        connect(action, &QAction::triggered, this, [this, hook = entry.hook] {
            if (const Store::Action& act = store_.*hook)
                act();
        });
        action->setData(QVariant::fromValue(static_cast<int>(&entry - entries)));
    }
    addSeparator();
    connect(addAction(QStringLiteral("앱 종료")), &QAction::triggered, this, &QCoreApplication::quit);
    connect(this, &QMenu::aboutToShow, this, &TrayMenu::refresh);
    refresh();
}

void TrayMenu::refresh()
{
    line_->setText(currentLine_());
    for (QAction* action : actions()) {
        if (!action->data().isValid())
            continue;
        action->setEnabled(static_cast<bool>(store_.*entries[action->data().toInt()].hook));
    }
}

} // namespace vantory
