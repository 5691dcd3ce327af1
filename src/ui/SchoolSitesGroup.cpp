// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SchoolSitesGroup.h"

#include "model/SiteAddress.h"
#include "store/Store.h"
#include "ui/Scale.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsScreen.h"
#include "ui/SettingsTab.h"
#include "ui/ZonePicker.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vantory {

namespace {

struct SiteField {
    Site site;
    const char* title;
    const char* name;
    const char* example;
};

constexpr SiteField fields[] = {
    {Site::assessment, QT_TRANSLATE_NOOP("vantory::SchoolSitesGroup", "BrevaneLearn 주소"), "assessment-address",
        "https://learn.school.edu"},
    {Site::canvas, QT_TRANSLATE_NOOP("vantory::SchoolSitesGroup", "Canvas 주소"), "canvas-address",
        "https://canvas.school.edu"},
};

std::optional<std::string>& storedAddress(Settings& settings, Site site)
{
    return site == Site::canvas ? settings.canvasBaseURL : settings.assessmentBaseURL;
}

} // namespace

SchoolSitesGroup::SchoolSitesGroup(
    Store& store, SettingsViewState& view, std::function<void()> viewChanged, SettingsTab& tab)
    : ReadableGroup(tr("학교 사이트"), &tab)
    , store_(store)
    , view_(view)
    , viewChanged_(std::move(viewChanged))
{
    for (const SiteField& field : fields)
        addAddressRow(field.site, tab);
    content()->addWidget(SettingsRows::caption(
        tr("학교에서 쓰는 사이트의 주소를 입력하세요. 비워 둔 사이트는 동기화하지 않습니다."), this));
    addZoneRow(tab);
}

void SchoolSitesGroup::addAddressRow(Site site, SettingsTab& tab)
{
    const SiteField& field = *std::ranges::find(fields, site, &SiteField::site);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(field.name));
    edit->setPlaceholderText(QString::fromLatin1(field.example));
    edit->setMinimumWidth(Scale::length(edit, 190));
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, site] { saveTyped(edit, site); });
    QPushButton* check = SettingsRows::button(
        QString(), edit->objectName() + QStringLiteral("-check"), [this, edit, site] { checkTyped(edit, site); }, this);
    const QString title = QCoreApplication::translate("vantory::SchoolSitesGroup", field.title);
    check->setAccessibleName(tr("%1 연결 확인").arg(title));
    content()->addWidget(SettingsRows::row(title, {edit, check}, this));
    QLabel* notice = SettingsRows::notice(QString(), false, this);
    content()->addWidget(notice);
    tab.follow([this, edit, check, notice, site] {
        const AddressDraft& draft = view_.addresses[site];
        SettingsRows::showText(edit,
            draft.text.value_or(
                QString::fromStdString(SiteAddress::stored(store_.db().settings.sites().baseURL(site), site))));
        check->setText(draft.checking ? tr("확인 중…") : tr("연결 확인"));
        check->setEnabled(!draft.checking);
        if (!draft.problem.isEmpty())
            SettingsRows::setNotice(notice, draft.problem, true);
        else
            SettingsRows::setNotice(notice, draft.report, !draft.reached);
    });
}

// Saved once it passes its check; otherwise the text stays in the field with the reason.
void SchoolSitesGroup::saveTyped(QLineEdit* edit, Site site)
{
    const SiteAddress::Checked checked = SiteAddress::check(edit->text().toStdString(), site);
    AddressDraft& draft = view_.addresses[site];
    // What was typed is now the field's value: the refresh may show the saved form.
    edit->setModified(false);
    if (!checked.usable()) {
        draft.text = edit->text();
        draft.problem = QString::fromStdString(checked.problem);
        viewChanged_();
        return;
    }
    const bool changed = checked.address != SiteAddress::stored(store_.db().settings.sites().baseURL(site), site);
    draft = {};
    if (changed)
        store_.update([&](Database& db) { storedAddress(db.settings, site) = checked.address; });
    else
        viewChanged_();
}

void SchoolSitesGroup::checkTyped(QLineEdit* edit, Site site)
{
    const SiteAddress::Checked checked = SiteAddress::check(edit->text().toStdString(), site);
    AddressDraft& draft = view_.addresses[site];
    draft.report.clear();
    if (!checked.usable() || checked.address.empty() || !store_.checkAddress) {
        draft.text = edit->text();
        draft.problem = checked.address.empty() && checked.usable() ? tr("확인할 주소를 입력해 주세요")
                                                                    : QString::fromStdString(checked.problem);
        viewChanged_();
        return;
    }
    draft.checking = true;
    viewChanged_();
    // Reports arrive after a page load; the group may be gone by then.
    store_.checkAddress(
        site, checked.address, [this, site, group = QPointer<QWidget>(this)](bool reached, std::string text) {
            if (!group)
                return;
            AddressDraft& done = view_.addresses[site];
            done.checking = false;
            done.reached = reached;
            done.report = QString::fromStdString(text);
            viewChanged_();
        });
}

void SchoolSitesGroup::addZoneRow(SettingsTab& tab)
{
    auto* zonePicker = new ZonePicker(
        store_.zone().id(), store_.now(),
        [this](const std::string& id) { store_.update([&](Database& db) { db.settings.timeZone = id; }); }, this);
    content()->addWidget(SettingsRows::row(tr("학교 시간대"), {zonePicker}, this));
    tab.follow([this, zonePicker] { zonePicker->setCurrent(store_.zone().id()); });
    content()->addWidget(SettingsRows::caption(
        tr("마감과 달력은 이 시간대로 보여 줍니다. 직접 설정한 마감은 시각이 그대로 유지됩니다."), this));
}

} // namespace vantory
