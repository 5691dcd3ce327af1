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
    for (const Assessment& item : store.enabled()) {
        if (scope == allScope || item.courseID == scope)
            categories.insert(item.category);
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
{
    using Modes::ColorSource::custom;
    const Settings& settings = store.db().settings;
    // A scope whose course has gone falls back to all courses.
    if (view.categoryScope != allScope && !settings.course(view.categoryScope))
        view.categoryScope = allScope;
    const std::string scope = view.categoryScope;
    const std::vector<std::string> categories = scopedCategories(store, scope);
    auto* layout = SettingsRows::tabColumn(this);

    auto* styles = new ReadableGroup(QString(), this);
    SettingsChoice::Options scopes{{QStringLiteral("모든 과목"), allScope}};
    for (const Course& course : settings.courses)
        scopes.emplace_back(QString::fromStdString(course.name), course.id);
    auto* scopeChoice = new SettingsChoice(QStringLiteral("설정할 과목"), scopes, styles);
    scopeChoice->picker()->setObjectName(QStringLiteral("category-scope"));
    scopeChoice->setSelection(scope);
    connect(scopeChoice, &SettingsChoice::chosen, this, [&view, viewChanged](const std::string& value) {
        view.categoryScope = value;
        viewChanged();
    });
    styles->content()->addWidget(scopeChoice);
    styles->content()->addWidget(SettingsRows::caption(
        QStringLiteral("선택한 과목에만 적용합니다. 따로 지정하지 않으면 모든 과목의 설정을 따릅니다."), styles));
    if (scope == allScope) {
        styles->content()->addWidget(SettingsRows::caption(
            QStringLiteral("여기서 변경한 카테고리는 모든 과목에 같은 색상을 적용합니다. 기존 과목별 지정도 바뀝니다."),
            styles));
    }
    if (categories.empty())
        styles->content()->addWidget(
            SettingsRows::caption(QStringLiteral("일정을 업데이트하면 카테고리가 나타납니다."), styles));
    auto setStyle = [this, scope](const std::string& category, CategoryStyle style) {
        store_.update([&](Database& db) { setCategoryStyle(db.settings, scope, category, style); });
    };
    for (const std::string& category : categories) {
        const QString name = QString::fromStdString(category);
        const CategoryStyle* stored = settings.categoryStyle(scope, category);
        const CategoryStyle style = stored ? *stored : CategoryStyle{};
        auto* menu = new ColorModeMenu(false, styles);
        menu->setObjectName(QStringLiteral("category-mode-") + name);
        menu->setAccessibleName(QStringLiteral("%1 색상 적용 방식").arg(name));
        menu->setMode(style.mode);
        connect(menu, &ColorModeMenu::modeChosen, this, [setStyle, category, style](const std::string& mode) {
            CategoryStyle changed = style;
            changed.mode = mode;
            setStyle(category, changed);
        });
        std::vector<QWidget*> controls{menu};
        if (style.mode == custom) {
            auto* well = new ColorWell(QStringLiteral("%1 선택한 색상").arg(name), styles);
            well->setObjectName(QStringLiteral("category-color-") + name);
            well->setHex(style.hex);
            connect(well, &ColorWell::colorChosen, this, [setStyle, category, style](const std::string& hex) {
                CategoryStyle changed = style;
                changed.hex = hex;
                setStyle(category, changed);
            });
            controls.push_back(new QLabel(QStringLiteral("선택한 색상"), styles));
            controls.push_back(well);
        }
        const bool ownEntry = scope != allScope && settings.categoryStyles
            && settings.categoryStyles->contains(styleKey(scope, category));
        if (ownEntry) {
            controls.push_back(SettingsRows::button(
                QStringLiteral("공통 설정 사용"), QStringLiteral("use-common-") + name,
                [this, key = styleKey(scope, category)] {
                    store_.update([&](Database& db) {
                        if (db.settings.categoryStyles)
                            db.settings.categoryStyles->erase(key);
                    });
                },
                styles));
            controls.back()->setAccessibleName(QStringLiteral("%1 공통 설정 사용").arg(name));
            static_cast<QPushButton*>(controls.back())->setFlat(true);
        }
        QWidget* line = SettingsRows::row(name, {}, styles);
        auto* lineLayout = static_cast<QBoxLayout*>(line->layout());
        for (QWidget* control : controls)
            lineLayout->insertWidget(lineLayout->count() - 1, control);
        styles->content()->addWidget(line);
    }
    layout->addWidget(styles);

    auto* bulk = new ReadableGroup(QStringLiteral("여러 카테고리의 색상 한 번에 변경"), this);
    auto* bulkMode = new SettingsChoice(QStringLiteral("색상"),
        {{QStringLiteral("남은 시간에 따라 변경"), Modes::ColorSource::urgency},
            {QStringLiteral("캘린더 과목색과 동일"), Modes::ColorSource::calendar},
            {QStringLiteral("메뉴바 과목색과 동일"), Modes::ColorSource::course},
            {QStringLiteral("직접 선택"), Modes::ColorSource::custom}},
        bulk);
    bulkMode->picker()->setObjectName(QStringLiteral("bulk-mode"));
    bulkMode->setSelection(view.bulkCategoryStyle.mode);
    connect(bulkMode, &SettingsChoice::chosen, this, [&view, viewChanged](const std::string& value) {
        view.bulkCategoryStyle.mode = value;
        viewChanged();
    });
    bulk->content()->addWidget(bulkMode);
    if (view.bulkCategoryStyle.mode == custom) {
        auto* well = new ColorWell(QStringLiteral("한 번에 적용할 색상"), bulk);
        well->setObjectName(QStringLiteral("bulk-color"));
        well->setHex(view.bulkCategoryStyle.hex);
        connect(well, &ColorWell::colorChosen, this, [&view, viewChanged](const std::string& hex) {
            view.bulkCategoryStyle.hex = hex;
            viewChanged();
        });
        bulk->content()->addWidget(SettingsRows::row(QString(), {well}, bulk));
    }
    bulk->content()->addWidget(
        SettingsRows::caption(QStringLiteral("위에 표시된 모든 카테고리의 색상을 바꿉니다."), bulk));
    QPushButton* apply = SettingsRows::button(
        QStringLiteral("%1개 카테고리에 적용").arg(categories.size()), QStringLiteral("bulk-apply"),
        [this, &view, scope, categories] {
            store_.update([&](Database& db) {
                for (const std::string& category : categories)
                    setCategoryStyle(db.settings, scope, category, view.bulkCategoryStyle);
            });
        },
        bulk);
    apply->setEnabled(!categories.empty());
    bulk->content()->addWidget(SettingsRows::row(QString(), {apply}, bulk));
    layout->addWidget(bulk);

    auto* hidden = new ReadableGroup(QStringLiteral("메뉴바에서 숨길 카테고리"), this);
    for (const std::string& category : categories) {
        const auto& excluded = settings.excludedCategories;
        const bool isExcluded = std::find(excluded.begin(), excluded.end(), category) != excluded.end();
        hidden->content()->addWidget(SettingsRows::toggle(
            QString::fromStdString(category), QStringLiteral("exclude-") + QString::fromStdString(category), isExcluded,
            [this, category](bool on) {
                store_.update([&](Database& db) {
                    auto& list = db.settings.excludedCategories;
                    std::erase(list, category);
                    if (on)
                        list.push_back(category);
                });
            },
            hidden));
    }
    hidden->content()->addWidget(
        SettingsRows::caption(QStringLiteral("표시 여부는 모든 과목에 공통으로 적용합니다."), hidden));
    layout->addWidget(hidden);
    layout->addStretch(1);
}

} // namespace vantory
