#include "ui/CategoryColorTab.h"

#include "store/Store.h"
#include "ui/ColorModeMenu.h"
#include "ui/ColorWell.h"
#include "ui/ReadableGroup.h"
#include "ui/SettingsChoice.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsScreen.h"

#include <QCheckBox>
#include <QComboBox>
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
    : QWidget(parent)
    , store_(store)
    , view_(view)
    , viewChanged_(std::move(viewChanged))
{
    // A scope whose course has gone falls back to all courses.
    if (view.categoryScope != allScope && !store.db().settings.course(view.categoryScope))
        view.categoryScope = allScope;
    const std::vector<std::string> categories = scopedCategories(store, view.categoryScope);
    auto* layout = SettingsRows::tabColumn(this);
    layout->addWidget(stylesGroup(categories));
    layout->addWidget(bulkGroup(categories));
    layout->addWidget(hiddenGroup(categories));
    layout->addStretch(1);
}

ReadableGroup* CategoryColorTab::stylesGroup(const std::vector<std::string>& categories)
{
    const Settings& settings = store_.db().settings;
    const std::string& scope = view_.categoryScope;
    auto* group = new ReadableGroup(QString(), this);
    SettingsChoice::Options scopes{{QStringLiteral("모든 과목"), allScope}};
    for (const Course& course : settings.courses)
        scopes.emplace_back(QString::fromStdString(course.name), course.id);
    auto* scopeChoice = new SettingsChoice(QStringLiteral("설정할 과목"), scopes, group);
    scopeChoice->picker()->setObjectName(QStringLiteral("category-scope"));
    scopeChoice->setSelection(scope);
    connect(scopeChoice, &SettingsChoice::chosen, this, [this](const std::string& value) {
        view_.categoryScope = value;
        viewChanged_();
    });
    group->content()->addWidget(scopeChoice);
    group->content()->addWidget(SettingsRows::caption(
        QStringLiteral("선택한 과목에만 적용합니다. 따로 지정하지 않으면 모든 과목의 설정을 따릅니다."), group));
    if (scope == allScope) {
        group->content()->addWidget(SettingsRows::caption(
            QStringLiteral("여기서 변경한 카테고리는 모든 과목에 같은 색상을 적용합니다. 기존 과목별 지정도 바뀝니다."),
            group));
    }
    if (categories.empty())
        group->content()->addWidget(
            SettingsRows::caption(QStringLiteral("일정을 업데이트하면 카테고리가 나타납니다."), group));
    for (const std::string& category : categories)
        group->content()->addWidget(categoryRow(category, group));
    return group;
}

// A category's mode, its own colour when chosen by hand, and in a course's scope the way back to
// the common style.
QWidget* CategoryColorTab::categoryRow(const std::string& category, QWidget* group)
{
    const Settings& settings = store_.db().settings;
    const std::string scope = view_.categoryScope;
    const QString name = QString::fromStdString(category);
    const CategoryStyle* stored = settings.categoryStyle(scope, category);
    const CategoryStyle style = stored ? *stored : CategoryStyle{};
    const auto setStyle = [this, scope, category, style](const std::function<void(CategoryStyle&)>& change) {
        CategoryStyle changed = style;
        change(changed);
        store_.update([&](Database& db) { setCategoryStyle(db.settings, scope, category, changed); });
    };

    auto* menu = new ColorModeMenu(false, group);
    menu->setObjectName(QStringLiteral("category-mode-") + name);
    menu->setAccessibleName(QStringLiteral("%1 색상 적용 방식").arg(name));
    menu->setMode(style.mode);
    connect(menu, &ColorModeMenu::modeChosen, this,
        [setStyle](const std::string& mode) { setStyle([&](CategoryStyle& s) { s.mode = mode; }); });
    std::vector<QWidget*> controls{menu};
    if (style.mode == Modes::ColorSource::custom) {
        auto* well = new ColorWell(QStringLiteral("%1 선택한 색상").arg(name), group);
        well->setObjectName(QStringLiteral("category-color-") + name);
        well->setHex(style.hex);
        connect(well, &ColorWell::colorChosen, this,
            [setStyle](const std::string& hex) { setStyle([&](CategoryStyle& s) { s.hex = hex; }); });
        controls.push_back(new QLabel(QStringLiteral("선택한 색상"), group));
        controls.push_back(well);
    }
    const bool ownEntry
        = scope != allScope && settings.categoryStyles && settings.categoryStyles->contains(styleKey(scope, category));
    if (ownEntry) {
        QPushButton* common = SettingsRows::button(
            QStringLiteral("공통 설정 사용"), QStringLiteral("use-common-") + name,
            [this, key = styleKey(scope, category)] {
                store_.update([&](Database& db) {
                    if (db.settings.categoryStyles)
                        db.settings.categoryStyles->erase(key);
                });
            },
            group);
        common->setAccessibleName(QStringLiteral("%1 공통 설정 사용").arg(name));
        common->setFlat(true);
        controls.push_back(common);
    }
    QWidget* line = SettingsRows::row(name, {}, group);
    auto* lineLayout = static_cast<QBoxLayout*>(line->layout());
    for (QWidget* control : controls)
        lineLayout->insertWidget(lineLayout->count() - 1, control);
    return line;
}

ReadableGroup* CategoryColorTab::bulkGroup(const std::vector<std::string>& categories)
{
    auto* group = new ReadableGroup(QStringLiteral("여러 카테고리의 색상 한 번에 변경"), this);
    auto* bulkMode = new SettingsChoice(QStringLiteral("색상"),
        {{QStringLiteral("남은 시간에 따라 변경"), Modes::ColorSource::urgency},
            {QStringLiteral("캘린더 과목색과 동일"), Modes::ColorSource::calendar},
            {QStringLiteral("메뉴바 과목색과 동일"), Modes::ColorSource::course},
            {QStringLiteral("직접 선택"), Modes::ColorSource::custom}},
        group);
    bulkMode->picker()->setObjectName(QStringLiteral("bulk-mode"));
    bulkMode->setSelection(view_.bulkCategoryStyle.mode);
    connect(bulkMode, &SettingsChoice::chosen, this, [this](const std::string& value) {
        view_.bulkCategoryStyle.mode = value;
        viewChanged_();
    });
    group->content()->addWidget(bulkMode);
    if (view_.bulkCategoryStyle.mode == Modes::ColorSource::custom) {
        auto* well = new ColorWell(QStringLiteral("한 번에 적용할 색상"), group);
        well->setObjectName(QStringLiteral("bulk-color"));
        well->setHex(view_.bulkCategoryStyle.hex);
        connect(well, &ColorWell::colorChosen, this, [this](const std::string& hex) {
            view_.bulkCategoryStyle.hex = hex;
            viewChanged_();
        });
        group->content()->addWidget(SettingsRows::row(QString(), {well}, group));
    }
    group->content()->addWidget(
        SettingsRows::caption(QStringLiteral("위에 표시된 모든 카테고리의 색상을 바꿉니다."), group));
    QPushButton* apply = SettingsRows::button(
        QStringLiteral("%1개 카테고리에 적용").arg(categories.size()), QStringLiteral("bulk-apply"),
        [this, scope = view_.categoryScope, categories] {
            store_.update([&](Database& db) {
                for (const std::string& category : categories)
                    setCategoryStyle(db.settings, scope, category, view_.bulkCategoryStyle);
            });
        },
        group);
    apply->setEnabled(!categories.empty());
    group->content()->addWidget(SettingsRows::row(QString(), {apply}, group));
    return group;
}

ReadableGroup* CategoryColorTab::hiddenGroup(const std::vector<std::string>& categories)
{
    const auto& excluded = store_.db().settings.excludedCategories;
    auto* group = new ReadableGroup(QStringLiteral("메뉴바에서 숨길 카테고리"), this);
    for (const std::string& category : categories) {
        const bool isExcluded = std::find(excluded.begin(), excluded.end(), category) != excluded.end();
        group->content()->addWidget(SettingsRows::toggle(
            QString::fromStdString(category), QStringLiteral("exclude-") + QString::fromStdString(category), isExcluded,
            [this, category](bool on) {
                store_.update([&](Database& db) {
                    auto& list = db.settings.excludedCategories;
                    std::erase(list, category);
                    if (on)
                        list.push_back(category);
                });
            },
            group));
    }
    group->content()->addWidget(
        SettingsRows::caption(QStringLiteral("표시 여부는 모든 과목에 공통으로 적용합니다."), group));
    return group;
}

} // namespace vantory
