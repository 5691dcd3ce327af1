// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CategoryColorTab.h"

#include "store/Store.h"
#include "ui/AccessibleText.h"
#include "ui/ColorModeMenu.h"
#include "ui/ColorWell.h"
#include "ui/ReadableGroup.h"
#include "ui/SettingsChoice.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace vantory {

namespace {

constexpr const char* allScope = "all";

std::string styleKey(const std::string& scope, const std::string& category)
{
    return scope + "|" + category;
}

} // namespace

std::vector<std::string> CategoryColorTab::scopedCategories(const Store& store, const std::string& scope)
{
    std::set<std::string> categories;
    for (const Assessment* item : store.enabled()) {
        if (scope == allScope || item->courseID == scope)
            categories.insert(item->category);
    }
    return {categories.begin(), categories.end()};
}

void CategoryColorTab::setCategoryStyle(
    Settings& settings, const std::string& scope, const std::string& category, const CategoryStyle& style)
{
    auto styles = settings.categoryStyles.value_or(std::map<std::string, CategoryStyle>{});
    if (scope == allScope) {
        const std::string suffix = "|" + category;
        std::erase_if(styles, [&](const auto& entry) { return entry.first.ends_with(suffix); });
    }
    styles[styleKey(scope, category)] = style;
    settings.categoryStyles = std::move(styles);
}

CategoryColorTab::CategoryColorTab(
    Store& store, SettingsViewState& view, std::function<void()> viewChanged, QWidget* parent)
    : SettingsTab(parent)
    , store_(store)
    , view_(view)
    , viewChanged_(std::move(viewChanged))
{
    auto* layout = SettingsRows::tabColumn(this);
    layout->addWidget(stylesGroup());
    layout->addWidget(bulkGroup());
    layout->addWidget(hiddenGroup());
    layout->addStretch(1);
}

std::vector<std::string> CategoryColorTab::categories() const
{
    return scopedCategories(store_, view_.categoryScope);
}

QStringList CategoryColorTab::categoriesKey() const
{
    QStringList key{QString::fromStdString(view_.categoryScope)};
    for (const std::string& category : categories())
        key << QString::fromStdString(category);
    return key;
}

ReadableGroup* CategoryColorTab::stylesGroup()
{
    auto* group = new ReadableGroup(QString(), this);
    auto* scopeChoice = new SettingsChoice(tr("설정할 과목"), {}, group);
    scopeChoice->picker()->setObjectName(QStringLiteral("category-scope"));
    connect(scopeChoice, &SettingsChoice::chosen, this, [this](const std::string& value) {
        view_.categoryScope = value;
        viewChanged_();
    });
    group->content()->addWidget(scopeChoice);
    group->content()->addWidget(SettingsRows::caption(
        tr("선택한 과목에만 적용합니다. 따로 지정하지 않으면 모든 과목의 설정을 따릅니다."), group));
    QLabel* allNote = SettingsRows::caption(
        tr("여기서 변경한 카테고리는 모든 과목에 같은 색상을 적용합니다. 기존 과목별 지정도 바뀝니다."), group);
    group->content()->addWidget(allNote);
    QLabel* emptyNote = SettingsRows::caption(tr("일정을 업데이트하면 카테고리가 나타납니다."), group);
    group->content()->addWidget(emptyNote);
    auto* rows = new SettingsPart([this] { return categoriesKey(); },
        [this](SettingsPart& part) {
            auto* column = new QVBoxLayout(part.content());
            column->setContentsMargins(0, 0, 0, 0);
            column->setSpacing(6);
            for (const std::string& category : categories())
                categoryRow(part, category);
        },
        group);
    group->content()->addWidget(rows);
    follow([this, scopeChoice, allNote, emptyNote, rows] {
        const Settings& settings = store_.db().settings;
        // A scope whose course has gone falls back to all courses.
        if (view_.categoryScope != allScope && !settings.course(view_.categoryScope))
            view_.categoryScope = allScope;
        SettingsChoice::Options scopes{{tr("모든 과목"), allScope}};
        for (const Course& course : settings.courses)
            scopes.emplace_back(QString::fromStdString(course.name), course.id);
        scopeChoice->setOptions(std::move(scopes));
        scopeChoice->setSelection(view_.categoryScope);
        allNote->setVisible(view_.categoryScope == allScope);
        emptyNote->setVisible(categories().empty());
        rows->refresh();
    });
    return group;
}

// A category's mode, its own colour when chosen by hand, and in a course's scope the way back to
// the common style.
void CategoryColorTab::categoryRow(SettingsPart& part, const std::string& category)
{
    QWidget* parent = part.content();
    const std::string scope = view_.categoryScope;
    const QString name = QString::fromStdString(category);
    // Each change starts from the style stored when it is made.
    const auto setStyle = [this, scope, category](const std::function<void(CategoryStyle&)>& change) {
        const CategoryStyle* stored = store_.db().settings.categoryStyle(scope, category);
        CategoryStyle changed = stored ? *stored : CategoryStyle{};
        change(changed);
        store_.update([&](Database& db) { setCategoryStyle(db.settings, scope, category, changed); });
    };

    auto* menu = new ColorModeMenu(false, parent);
    menu->setObjectName(QStringLiteral("category-mode-") + name);
    menu->setAccessibleName(tr("%1 색상 적용 방식").arg(name));
    connect(menu, &ColorModeMenu::modeChosen, this,
        [setStyle](const std::string& mode) { setStyle([&](CategoryStyle& s) { s.mode = mode; }); });
    auto* well = new ColorWell(tr("%1 선택한 색상").arg(name), parent);
    well->setObjectName(QStringLiteral("category-color-") + name);
    connect(well, &ColorWell::colorChosen, this,
        [setStyle](const std::string& hex) { setStyle([&](CategoryStyle& s) { s.hex = hex; }); });
    auto* wellLabel = new QLabel(tr("선택한 색상"), parent);
    wellLabel->setBuddy(well);
    QPushButton* common = SettingsRows::button(
        tr("공통 설정 사용"), QStringLiteral("use-common-") + name,
        [this, key = styleKey(scope, category)] {
            store_.update([&](Database& db) {
                if (db.settings.categoryStyles)
                    db.settings.categoryStyles->erase(key);
            });
        },
        parent);
    common->setAccessibleName(tr("%1 공통 설정 사용").arg(name));
    common->setFlat(true);
    part.content()->layout()->addWidget(SettingsRows::row(name, {menu, wellLabel, well, common}, parent));
    part.follow([this, scope, category, menu, well, wellLabel, common] {
        const Settings& settings = store_.db().settings;
        const CategoryStyle* stored = settings.categoryStyle(scope, category);
        const CategoryStyle style = stored ? *stored : CategoryStyle{};
        menu->setMode(style.mode);
        const bool custom = style.mode == Modes::ColorSource::custom;
        wellLabel->setVisible(custom);
        well->setVisible(custom);
        well->setHex(style.hex);
        common->setVisible(scope != allScope && settings.categoryStyles
            && settings.categoryStyles->contains(styleKey(scope, category)));
    });
}

ReadableGroup* CategoryColorTab::bulkGroup()
{
    auto* group = new ReadableGroup(tr("여러 카테고리의 색상 한 번에 변경"), this);
    auto* bulkMode = new SettingsChoice(tr("색상"),
        {{tr("남은 시간에 따라 변경"), Modes::ColorSource::urgency},
            {tr("캘린더 과목색과 동일"), Modes::ColorSource::calendar},
            {tr("메뉴바 과목색과 동일"), Modes::ColorSource::course}, {tr("직접 선택"), Modes::ColorSource::custom}},
        group);
    bulkMode->picker()->setObjectName(QStringLiteral("bulk-mode"));
    connect(bulkMode, &SettingsChoice::chosen, this, [this](const std::string& value) {
        view_.bulkCategoryStyle.mode = value;
        viewChanged_();
    });
    group->content()->addWidget(bulkMode);
    auto* well = new ColorWell(tr("한 번에 적용할 색상"), group);
    well->setObjectName(QStringLiteral("bulk-color"));
    connect(well, &ColorWell::colorChosen, this, [this](const std::string& hex) {
        view_.bulkCategoryStyle.hex = hex;
        viewChanged_();
    });
    QWidget* wellRow = SettingsRows::row(QString(), {well}, group);
    group->content()->addWidget(wellRow);
    group->content()->addWidget(SettingsRows::caption(tr("위에 표시된 모든 카테고리의 색상을 바꿉니다."), group));
    QPushButton* apply = SettingsRows::button(
        QString(), QStringLiteral("bulk-apply"),
        [this] {
            store_.update([&](Database& db) {
                for (const std::string& category : categories())
                    setCategoryStyle(db.settings, view_.categoryScope, category, view_.bulkCategoryStyle);
            });
        },
        group);
    group->content()->addWidget(SettingsRows::row(QString(), {apply}, group));
    follow([this, bulkMode, well, wellRow, apply] {
        bulkMode->setSelection(view_.bulkCategoryStyle.mode);
        wellRow->setVisible(view_.bulkCategoryStyle.mode == Modes::ColorSource::custom);
        well->setHex(view_.bulkCategoryStyle.hex);
        const std::size_t count = categories().size();
        const QString label = tr("%n개 카테고리에 적용", nullptr, static_cast<int>(count));
        apply->setText(label);
        AccessibleText::setName(apply, label);
        apply->setEnabled(count > 0);
    });
    return group;
}

ReadableGroup* CategoryColorTab::hiddenGroup()
{
    auto* group = new ReadableGroup(tr("메뉴바에서 숨길 카테고리"), this);
    auto* toggles = new SettingsPart([this] { return categoriesKey(); },
        [this](SettingsPart& part) {
            auto* column = new QVBoxLayout(part.content());
            column->setContentsMargins(0, 0, 0, 0);
            for (const std::string& category : categories()) {
                QCheckBox* box = SettingsRows::toggle(
                    QString::fromStdString(category), QStringLiteral("exclude-") + QString::fromStdString(category),
                    false,
                    [this, category](bool on) {
                        store_.update([&](Database& db) {
                            auto& list = db.settings.excludedCategories;
                            std::erase(list, category);
                            if (on)
                                list.push_back(category);
                        });
                    },
                    part.content());
                column->addWidget(box);
                part.follow([this, box, category] {
                    const auto& excluded = store_.db().settings.excludedCategories;
                    SettingsRows::showChecked(box, std::ranges::find(excluded, category) != excluded.end());
                });
            }
        },
        group);
    group->content()->addWidget(toggles);
    group->content()->addWidget(SettingsRows::caption(tr("표시 여부는 모든 과목에 공통으로 적용합니다."), group));
    follow([toggles] { toggles->refresh(); });
    return group;
}

} // namespace vantory
