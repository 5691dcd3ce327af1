// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CalendarServerGroup.h"

#include "model/SiteAddress.h"
#include "ui/AccessibleText.h"
#include "ui/Scale.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsTab.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vantory {

namespace {

// The collection's address as the settings store it; empty when it does not pass the check.
std::string stored(const CalendarCollection& collection)
{
    const SiteAddress::Checked checked = SiteAddress::checkCollection(collection.address);
    return checked.usable() ? checked.address : std::string();
}

} // namespace

CalendarServerGroup::CalendarServerGroup(Store& store, std::function<void()> viewChanged, SettingsTab& tab)
    : ReadableGroup(tr("캘린더 서버"), &tab)
    , store_(store)
    , viewChanged_(std::move(viewChanged))
    , address_(new QLineEdit(this))
    , user_(new QLineEdit(this))
    , password_(new QLineEdit(this))
{
    addServerRows(tab);
    addCollectionRows(tab);
    addSyncRows(tab);
    content()->addWidget(
        SettingsRows::caption(tr("할 일 앱과 다른 컴퓨터가 쓰는 CalDAV 서버에 마감을 할 일로 보내고, 완료 표시를 "
                                 "양쪽으로 맞춥니다. 비밀번호는 데스크톱의 비밀 저장소에만 보관합니다."),
            this));
}

// The address, the user name and the password, with the check and what it found.
void CalendarServerGroup::addServerRows(SettingsTab& tab)
{
    address_->setObjectName(QStringLiteral("calendar-address"));
    address_->setPlaceholderText(QStringLiteral("https://calendar.example.com"));
    address_->setMinimumWidth(Scale::length(address_, 190));
    connect(address_, &QLineEdit::editingFinished, this, &CalendarServerGroup::checkAddress);
    content()->addWidget(SettingsRows::row(tr("서버 주소"), {address_}, this));
    QLabel* problem = SettingsRows::notice(QString(), true, this);
    content()->addWidget(problem);

    user_->setObjectName(QStringLiteral("calendar-user"));
    user_->setMinimumWidth(Scale::length(user_, 190));
    content()->addWidget(SettingsRows::row(tr("사용자 이름"), {user_}, this));

    password_->setObjectName(QStringLiteral("calendar-password"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMinimumWidth(Scale::length(password_, 190));
    connect(password_, &QLineEdit::returnPressed, this, &CalendarServerGroup::checkServer);
    check_ = SettingsRows::button(
        tr("연결 확인"), QStringLiteral("calendar-check"), [this] { checkServer(); }, this);
    content()->addWidget(SettingsRows::row(tr("비밀번호"), {password_, check_}, this));
    QLabel* report = SettingsRows::notice(QString(), false, this);
    content()->addWidget(report);

    tab.follow([this, problem, report] {
        const Settings& settings = store_.db().settings;
        SettingsRows::showText(address_, QString::fromStdString(settings.calendarServerURL.value_or("")));
        // A collection's address is longer than the field: its server shows, not its path's end.
        if (!address_->hasFocus() && !address_->isModified())
            address_->setCursorPosition(0);
        SettingsRows::showText(user_, QString::fromStdString(settings.calendarServerUser.value_or("")));
        SettingsRows::setNotice(problem, problem_, true);
        // Still pressable while busy, so the focus stays on it; a second press waits for the first.
        const QString checkText = checking_ ? tr("확인 중…") : tr("연결 확인");
        check_->setText(checkText);
        AccessibleText::setName(check_, checkText);
        SettingsRows::setNotice(
            report, found_ ? QString::fromStdString(found_->text) : QString(), found_ && !found_->reached);
    });
}

// The task collections the check found, and making "Vantory" where there is none to pick.
void CalendarServerGroup::addCollectionRows(SettingsTab& tab)
{
    QLabel* pick = SettingsRows::caption(tr("할 일을 담을 캘린더를 고르세요."), this);
    content()->addWidget(pick);
    auto* collections = new SettingsPart(
        [this] {
            QStringList addresses;
            if (found_ && found_->reached) {
                for (const CalendarCollection& collection : found_->collections)
                    addresses << QString::fromStdString(collection.address);
            }
            return addresses;
        },
        [this](SettingsPart& part) { collectionRows(part); }, this);
    content()->addWidget(collections);
    auto* createRow = new QHBoxLayout;
    QPushButton* create = SettingsRows::button(
        tr("Vantory 캘린더 만들기"), QStringLiteral("calendar-create"), [this] { createCollection(); }, this);
    createRow->addWidget(create);
    createRow->addStretch(1);
    content()->addLayout(createRow);
    QLabel* note = SettingsRows::notice(QString(), false, this);
    content()->addWidget(note);

    tab.follow([this, pick, collections, create, note] {
        const bool reached = found_ && found_->reached;
        pick->setVisible(reached && !found_->collections.empty());
        collections->refresh();
        const QString createText = creating_ ? tr("만드는 중…") : tr("Vantory 캘린더 만들기");
        create->setText(createText);
        AccessibleText::setName(create, createText);
        create->setVisible(reached && !found_->home.empty());
        SettingsRows::setNotice(note, note_, noteWarns_);
    });
}

// While a collection is chosen: the sync's state, its alarms and turning it off.
void CalendarServerGroup::addSyncRows(SettingsTab& tab)
{
    QLabel* state = SettingsRows::notice(QString(), false, this);
    state->setObjectName(QStringLiteral("calendar-state"));
    content()->addWidget(state);
    QCheckBox* alarms = SettingsRows::toggle(
        tr("알림도 함께 보내기"), QStringLiteral("calendar-alarms"), false,
        [this](bool on) {
            store_.update(
                [on](Database& db) { db.settings.calendarServerAlarms = on ? std::optional(true) : std::nullopt; });
        },
        this);
    content()->addWidget(alarms);
    auto* offRow = new QHBoxLayout;
    QPushButton* off = SettingsRows::button(
        tr("동기화 끄기"), QStringLiteral("calendar-off"), [this] { turnOff(); }, this);
    offRow->addWidget(off);
    offRow->addStretch(1);
    content()->addLayout(offRow);

    tab.follow([this, state, alarms, off] {
        const Settings& settings = store_.db().settings;
        const bool on = !settings.calendarServer().empty();
        SettingsRows::setNotice(state, on ? QString::fromStdString(store_.calendarServerText()) : QString(),
            store_.calendarServerFailing());
        alarms->setVisible(on);
        SettingsRows::showChecked(alarms, settings.calendarServerAlarms.value_or(false));
        off->setVisible(on);
    });
}

// The typed address stays in its field: it is saved only with the collection chosen on its server.
void CalendarServerGroup::checkAddress()
{
    problem_ = QString::fromStdString(SiteAddress::checkCollection(address_->text().toStdString()).problem);
    viewChanged_();
}

void CalendarServerGroup::checkServer()
{
    if (checking_ || !store_.checkCalendarServer)
        return;
    const SiteAddress::Checked checked = SiteAddress::checkCollection(address_->text().toStdString());
    problem_ = checked.address.empty() && checked.usable() ? tr("확인할 주소를 입력해 주세요")
                                                           : QString::fromStdString(checked.problem);
    if (!problem_.isEmpty()) {
        viewChanged_();
        return;
    }
    checking_ = true;
    found_.reset();
    note_.clear();
    viewChanged_();
    const CalendarServerLogin login{
        checked.address, user_->text().trimmed().toStdString(), password_->text().toStdString()};
    // The answer comes after the network's; the settings window may be gone by then.
    store_.checkCalendarServer(login, [group = QPointer(this)](CalendarServerCheck result) {
        if (!group)
            return;
        group->checking_ = false;
        group->found_ = std::move(result);
        group->viewChanged_();
    });
}

void CalendarServerGroup::createCollection()
{
    if (creating_ || !found_ || found_->home.empty() || !store_.createCalendarCollection)
        return;
    creating_ = true;
    note_.clear();
    viewChanged_();
    const CalendarServerLogin login{SiteAddress::checkCollection(address_->text().toStdString()).address,
        user_->text().trimmed().toStdString(), password_->text().toStdString()};
    store_.createCalendarCollection(
        login, found_->home, [group = QPointer(this)](std::optional<std::string> address, std::string text) {
            if (!group)
                return;
            group->creating_ = false;
            if (!address) {
                group->say(QString::fromStdString(text), true);
                return;
            }
            const CalendarCollection made{*address, "Vantory"};
            if (group->found_
                && std::ranges::find(group->found_->collections, made) == group->found_->collections.end())
                group->found_->collections.push_back(made);
            group->choose(made);
        });
}

void CalendarServerGroup::choose(const CalendarCollection& collection)
{
    const std::string address = stored(collection);
    if (address.empty()) {
        say(tr("이 캘린더의 주소는 쓸 수 없습니다: %1").arg(QString::fromStdString(collection.address)), true);
        return;
    }
    const std::string user = user_->text().trimmed().toStdString();
    store_.update([&](Database& db) {
        // What the sync remembers belongs to the collection it was written to.
        if (db.settings.calendarServer() != address)
            db.calendarServer.reset();
        db.settings.calendarServerURL = address;
        db.settings.calendarServerUser = user.empty() ? std::nullopt : std::optional(user);
    });
    // The fields follow the saved values again.
    address_->setModified(false);
    user_->setModified(false);
    problem_.clear();
    const std::string password = password_->text().toStdString();
    // The secret store's key names the server and user just saved, so the password goes after them.
    if (password.empty() || !store_.keepCalendarPassword) {
        say(tr("%1 캘린더를 사용합니다")
                .arg(QString::fromStdString(collection.name.empty() ? address : collection.name)),
            false);
        if (store_.syncCalendarServer)
            store_.syncCalendarServer();
        return;
    }
    store_.keepCalendarPassword(password, [group = QPointer(this)](bool kept, std::string text) {
        if (!group)
            return;
        group->say(QString::fromStdString(text), !kept);
        if (group->store_.syncCalendarServer)
            group->store_.syncCalendarServer();
    });
}

void CalendarServerGroup::turnOff()
{
    // The button hides with the sync; the focus stays in the group.
    check_->setFocus(Qt::OtherFocusReason);
    store_.update([](Database& db) {
        db.settings.calendarServerURL.reset();
        db.settings.calendarServerUser.reset();
        db.calendarServer.reset();
    });
    address_->setModified(false);
    user_->setModified(false);
    found_.reset();
    say(tr("캘린더 서버 동기화를 껐습니다. 서버에 있는 할 일은 지우지 않습니다."), false);
}

// Each collection the check found: a button named by it, pressed while it is the one in use, and
// its address, which a phone's sync app asks for.
void CalendarServerGroup::collectionRows(SettingsPart& part)
{
    QWidget* parent = part.content();
    auto* rows = new QVBoxLayout(parent);
    rows->setContentsMargins(0, 0, 0, 0);
    if (!found_ || !found_->reached)
        return;
    int index = 0;
    for (const CalendarCollection& collection : found_->collections) {
        auto* row = new QHBoxLayout;
        QPushButton* use = SettingsRows::button(
            QString::fromStdString(collection.name.empty() ? collection.address : collection.name),
            QStringLiteral("calendar-collection-%1").arg(index++), [this, collection] { choose(collection); }, parent);
        use->setCheckable(true);
        QLabel* where = SettingsRows::caption(QString::fromStdString(collection.address), parent);
        where->setTextInteractionFlags(Qt::TextSelectableByMouse);
        row->addWidget(use);
        row->addWidget(where, 1);
        rows->addLayout(row);
        part.follow([this, use, address = stored(collection)] {
            SettingsRows::showChecked(use, !address.empty() && address == store_.db().settings.calendarServer());
        });
    }
}

void CalendarServerGroup::say(QString text, bool warning)
{
    note_ = std::move(text);
    noteWarns_ = warning;
    viewChanged_();
}

} // namespace vantory
