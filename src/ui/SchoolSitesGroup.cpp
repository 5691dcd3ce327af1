#include "ui/SchoolSitesGroup.h"

#include "model/SiteAddress.h"
#include "store/Store.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsScreen.h"
#include "ui/ZonePicker.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantory {

namespace {

struct SiteField {
    Site site;
    const char* title;
    const char* name;
    const char* example;
};

constexpr SiteField fields[] = {
    {Site::assessment, "BrevaneLearn 주소", "assessment-address", "https://learn.school.edu"},
    {Site::canvas, "Canvas 주소", "canvas-address", "https://canvas.school.edu"},
};

std::optional<std::string>& storedAddress(Settings& settings, Site site)
{
    return site == Site::canvas ? settings.canvasBaseURL : settings.assessmentBaseURL;
}

} // namespace

SchoolSitesGroup::SchoolSitesGroup(
    Store& store, SettingsViewState& view, std::function<void()> viewChanged, QWidget* parent)
    : ReadableGroup(QStringLiteral("학교 사이트"), parent)
{
    const Sites chosen = store.db().settings.sites();
    for (const SiteField& field : fields) {
        AddressDraft& draft = view.addresses[field.site];
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(field.name));
        edit->setPlaceholderText(QString::fromLatin1(field.example));
        edit->setText(
            draft.text.value_or(QString::fromStdString(SiteAddress::stored(chosen.baseURL(field.site), field.site))));
        edit->setMinimumWidth(190);
        const Site site = field.site;
        // Saved once it passes its check; otherwise the text stays in the field with the reason.
        connect(edit, &QLineEdit::editingFinished, this, [&store, &view, viewChanged, edit, site] {
            const SiteAddress::Checked checked = SiteAddress::check(edit->text().toStdString(), site);
            AddressDraft& draft = view.addresses[site];
            if (!checked.usable()) {
                draft.text = edit->text();
                draft.problem = QString::fromStdString(checked.problem);
                viewChanged();
                return;
            }
            const bool changed
                = checked.address != SiteAddress::stored(store.db().settings.sites().baseURL(site), site);
            draft = {};
            if (changed)
                store.update([&](Database& db) { storedAddress(db.settings, site) = checked.address; });
            else
                viewChanged();
        });
        // Reports arrive after a page load; the screen may be gone by then.
        const auto checkNow = [&store, &view, viewChanged, edit, site, screen = QPointer<QWidget>(parent)] {
            const SiteAddress::Checked checked = SiteAddress::check(edit->text().toStdString(), site);
            AddressDraft& draft = view.addresses[site];
            draft.report.clear();
            if (!checked.usable() || checked.address.empty() || !store.checkAddress) {
                draft.text = edit->text();
                draft.problem = checked.address.empty() && checked.usable()
                    ? QStringLiteral("확인할 주소를 입력해 주세요")
                    : QString::fromStdString(checked.problem);
                viewChanged();
                return;
            }
            draft.checking = true;
            viewChanged();
            store.checkAddress(
                site, checked.address, [&view, viewChanged, site, screen](bool reached, std::string text) {
                    if (!screen)
                        return;
                    AddressDraft& done = view.addresses[site];
                    done.checking = false;
                    done.reached = reached;
                    done.report = QString::fromStdString(text);
                    viewChanged();
                });
        };
        QPushButton* check
            = SettingsRows::button(draft.checking ? QStringLiteral("확인 중…") : QStringLiteral("연결 확인"),
                edit->objectName() + QStringLiteral("-check"), checkNow, this);
        check->setAccessibleName(QString::fromUtf8(field.title) + QStringLiteral(" 연결 확인"));
        check->setEnabled(!draft.checking);
        content()->addWidget(SettingsRows::row(QString::fromUtf8(field.title), {edit, check}, this));
        if (!draft.problem.isEmpty())
            content()->addWidget(SettingsRows::notice(draft.problem, true, this));
        else if (!draft.report.isEmpty())
            content()->addWidget(SettingsRows::notice(draft.report, !draft.reached, this));
    }
    content()->addWidget(SettingsRows::caption(
        QStringLiteral("학교에서 쓰는 사이트의 주소를 입력하세요. 비워 둔 사이트는 동기화하지 않습니다."), this));

    auto* zonePicker = new ZonePicker(
        store.zone().id(), store.now(),
        [&store, &view](const std::string& id) {
            view.zoneSearch.clear();
            store.update([&](Database& db) { db.settings.timeZone = id; });
        },
        this);
    // A sync rebuilds the tab; what was typed into the search stays.
    zonePicker->searchField()->setText(view.zoneSearch);
    connect(zonePicker->searchField(), &QLineEdit::textChanged, this,
        [&view](const QString& text) { view.zoneSearch = text; });
    content()->addWidget(SettingsRows::row(QStringLiteral("학교 시간대"), {zonePicker}, this));
    content()->addWidget(SettingsRows::caption(
        QStringLiteral("마감과 달력은 이 시간대로 보여 줍니다. 직접 설정한 마감은 시각이 그대로 유지됩니다."), this));
}

} // namespace vantory
