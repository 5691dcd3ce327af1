// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ReminderSettingsTab.h"

#include "store/Store.h"
#include "ui/ReadableGroup.h"
#include "ui/SettingsRows.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace vantory {

namespace {

// The counts are plain variables: lupdate drops a translate() whose count is an expression.
QString leadText(std::int64_t offered)
{
    const auto minutes = static_cast<int>(offered);
    const int hours = minutes / 60;
    const int days = minutes / 1440;
    if (minutes % 1440 == 0)
        return QCoreApplication::translate("vantory::ReminderSettingsTab", "%n일 전", nullptr, days);
    if (minutes % 60 == 0)
        return QCoreApplication::translate("vantory::ReminderSettingsTab", "%n시간 전", nullptr, hours);
    return QCoreApplication::translate("vantory::ReminderSettingsTab", "%n분 전", nullptr, minutes);
}

} // namespace

ReminderSettingsTab::ReminderSettingsTab(Store& store, QWidget* parent)
    : SettingsTab(parent)
    , store_(store)
{
    auto* layout = SettingsRows::tabColumn(this);

    auto* group = new ReadableGroup(tr("마감 알림"), this);
    group->content()->addWidget(
        SettingsRows::caption(tr("선택한 시점에 데스크톱 알림으로 마감을 알려 드립니다. 알림에서 과제 "
                                 "페이지를 열거나 바로 완료 처리할 수 있습니다."),
            group));
    for (const std::int64_t minutes : offeredMinutes) {
        QCheckBox* box = SettingsRows::toggle(
            leadText(minutes), QStringLiteral("reminder-%1").arg(minutes), false,
            [this, minutes](bool on) {
                SettingsRows::updateSettings(store_, [&](Settings& settings) {
                    std::vector<std::int64_t> leads = settings.reminderMinutes.value_or(std::vector<std::int64_t>{});
                    std::erase(leads, minutes);
                    if (on)
                        leads.push_back(minutes);
                    // Normalising sorts the list and leaves the field out when it is empty.
                    settings.reminderMinutes = leads;
                });
            },
            group);
        box->setAccessibleName(tr("마감 %1 알림").arg(leadText(minutes)));
        group->content()->addWidget(box);
        follow([this, box, minutes] {
            const auto& chosen = store_.db().settings.reminderMinutes;
            SettingsRows::showChecked(box, chosen && std::ranges::find(*chosen, minutes) != chosen->end());
        });
    }
    group->content()->addWidget(SettingsRows::caption(
        tr("완료했거나 숨긴 과제와 메뉴바에서 제외한 카테고리는 알리지 않습니다. 앱이 꺼져 있는 동안 지난 "
           "알림은 다음 실행 때 가장 가까운 것 하나만 남은 시간과 함께 보여 드립니다. 마감이 바뀌면 "
           "알림을 다시 보냅니다."),
        group));
    layout->addWidget(group);
    layout->addStretch(1);
}

} // namespace vantory
