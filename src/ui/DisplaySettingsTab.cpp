#include "ui/DisplaySettingsTab.h"

#include "store/Store.h"
#include "ui/GnomeTopBarSwitch.h"
#include "ui/ReadableGroup.h"
#include "ui/SegmentButton.h"
#include "ui/SettingsChoice.h"
#include "ui/SettingsRows.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

#include "desktop/GnomeExtension.h"

namespace vantory {

namespace {

QString slotLabel(std::size_t index)
{
    static const QString named[]
        = {QStringLiteral("첫 번째 항목"), QStringLiteral("두 번째 항목"), QStringLiteral("세 번째 항목")};
    return index < 3 ? named[index] : QStringLiteral("%1번째 항목").arg(index + 1);
}

// A segmented picker: one checkable button per option, the stored value's one checked.
QWidget* segmented(const QString& title, const QString& name,
    const std::vector<std::pair<QString, std::string>>& options, const std::string& value,
    const std::function<void(const std::string&)>& choose, QWidget* parent)
{
    auto* box = new QWidget(parent);
    box->setAccessibleName(title);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* group = new QButtonGroup(box);
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* button = new SegmentButton(options[i].first, box);
        button->setObjectName(QStringLiteral("%1-%2").arg(name).arg(i));
        button->setAccessibleName(QStringLiteral("%1: %2").arg(title, options[i].first));
        button->setCheckable(true);
        button->setAutoDefault(false);
        button->setChecked(options[i].second == value);
        button->setMinimumWidth(button->sizeHint().width() + 16);
        group->addButton(button);
        layout->addWidget(button);
        QObject::connect(
            button, &QPushButton::clicked, button, [choose, option = options[i].second] { choose(option); });
    }
    return SettingsRows::row(title, {box}, parent);
}

} // namespace

DisplaySettingsTab::DisplaySettingsTab(Store& store, QWidget* parent)
    : QWidget(parent)
    , store_(store)
{
    auto* layout = SettingsRows::tabColumn(this);
    layout->addWidget(slotsGroup());
    layout->addWidget(sizeGroup());
    layout->addWidget(optionsGroup());
    layout->addStretch(1);
}

void DisplaySettingsTab::edit(const std::function<void(Settings&)>& change)
{
    SettingsRows::updateSettings(store_, change);
}

ReadableGroup* DisplaySettingsTab::slotsGroup()
{
    const Settings& settings = store_.db().settings;
    auto* slots = new ReadableGroup(QStringLiteral("메뉴바에 표시할 과제"), this);
    for (std::size_t i = 0; i < settings.durations.size(); ++i) {
        auto* seconds = new QSpinBox(slots);
        seconds->setObjectName(QStringLiteral("duration-%1").arg(i));
        seconds->setRange(1, 300);
        seconds->setSuffix(QStringLiteral("초"));
        seconds->setValue(static_cast<int>(std::lround(settings.durations[i])));
        seconds->setKeyboardTracking(false);
        seconds->setFixedWidth(90);
        connect(seconds, &QSpinBox::valueChanged, this, [this, i](int value) {
            edit([&](Settings& s) {
                if (i < s.durations.size())
                    s.durations[i] = value;
            });
        });
        auto* remove = new QToolButton(slots);
        remove->setObjectName(QStringLiteral("remove-duration-%1").arg(i));
        remove->setText(QStringLiteral("⊖"));
        remove->setToolTip(QStringLiteral("이 표시 항목 삭제"));
        remove->setAccessibleName(QStringLiteral("%1 삭제").arg(slotLabel(i)));
        connect(remove, &QToolButton::clicked, this, [this, i] {
            edit([&](Settings& s) {
                if (i < s.durations.size())
                    s.durations.erase(s.durations.begin() + static_cast<std::ptrdiff_t>(i));
            });
        });
        slots->content()->addWidget(SettingsRows::row(slotLabel(i), {seconds, remove}, slots));
    }
    auto* add = SettingsRows::button(
        QStringLiteral("표시 항목 추가"), QStringLiteral("add-duration"),
        [this] { edit([](Settings& s) { s.durations.push_back(5); }); }, slots);
    auto* count = new QLabel(QStringLiteral("최대 %1개 표시").arg(settings.durations.size()), slots);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(add);
    addRow->addWidget(count);
    addRow->addStretch(1);
    slots->content()->addLayout(addRow);
    slots->content()->addWidget(
        SettingsRows::caption(QStringLiteral("표시 항목을 추가하면 마감이 가까운 과제부터 보여 드립니다."), slots));
    return slots;
}

ReadableGroup* DisplaySettingsTab::sizeGroup()
{
    const Settings& settings = store_.db().settings;
    auto* size = new ReadableGroup(QStringLiteral("메뉴바 크기와 정렬"), this);
    using namespace Modes::Transition;
    auto* transition = new SettingsChoice(QStringLiteral("전환 효과"),
        {{QStringLiteral("없음"), none}, {QStringLiteral("페이드"), fade}, {QStringLiteral("위로 슬라이드"), slideUp},
            {QStringLiteral("아래로 슬라이드"), slideDown}, {QStringLiteral("왼쪽으로 슬라이드"), slideLeft},
            {QStringLiteral("줌"), zoom}},
        size);
    transition->picker()->setObjectName(QStringLiteral("transition-style"));
    const std::string style = settings.transitionStyle.value_or(SettingsDefaults::transitionStyle);
    transition->setSelection(style);
    connect(transition, &SettingsChoice::chosen, this,
        [this](const std::string& value) { edit([&](Settings& s) { s.transitionStyle = value; }); });
    size->content()->addWidget(transition);
    if (style != none) {
        size->content()->addWidget(SettingsRows::slider(
            QStringLiteral("전환 시간"), QStringLiteral("transition-duration"), 0.1, 1.0, 0.1,
            settings.transitionDuration.value_or(SettingsDefaults::transitionDuration),
            [](double v) { return QStringLiteral("%1초").arg(v, 0, 'f', 1); },
            [this](double v) { edit([&](Settings& s) { s.transitionDuration = v; }); }, size));
    }
    size->content()->addWidget(SettingsRows::caption(
        QStringLiteral("데스크톱의 애니메이션 효과가 꺼져 있으면 전환 효과를 생략합니다."), size));
    size->content()->addWidget(segmented(
        QStringLiteral("정렬"), QStringLiteral("alignment"),
        {{QStringLiteral("왼쪽"), Modes::Alignment::left}, {QStringLiteral("가운데"), "center"},
            {QStringLiteral("오른쪽"), Modes::Alignment::right}},
        settings.statusAlignment.value_or("center"),
        [this](const std::string& value) { edit([&](Settings& s) { s.statusAlignment = value; }); }, size));
    const bool fixed = settings.statusWidthMode == Modes::Width::fixed;
    size->content()->addWidget(segmented(
        QStringLiteral("너비"), QStringLiteral("width-mode"),
        {{QStringLiteral("가장 긴 문구에 맞춤"), "auto"}, {QStringLiteral("직접 설정"), Modes::Width::fixed}},
        fixed ? Modes::Width::fixed : "auto",
        [this](const std::string& value) { edit([&](Settings& s) { s.statusWidthMode = value; }); }, size));
    if (fixed) {
        size->content()->addWidget(SettingsRows::slider(
            QStringLiteral("메뉴바 너비"), QStringLiteral("status-width"), 120, 600, 5,
            settings.statusWidth.value_or(SettingsDefaults::statusWidth),
            [](double v) { return QString::number(std::lround(v)); },
            [this](double v) { edit([&](Settings& s) { s.statusWidth = v; }); }, size));
    }
    size->content()->addWidget(SettingsRows::caption(
        QStringLiteral(
            "자동 맞춤은 표시할 문구 중 가장 긴 문구와 시간 자릿수에 필요한 폭만 확보합니다. 순환 중에는 같은 "
            "너비를 유지하고, 대상 과제나 표시 설정이 바뀔 때만 다시 계산합니다. 설정한 너비보다 긴 문구는 "
            "가운데를 줄여 표시합니다."),
        size));
    size->content()->addWidget(SettingsRows::slider(
        QStringLiteral("좌우 여백"), QStringLiteral("status-padding"), 0, 20, 1,
        settings.statusPadding.value_or(SettingsDefaults::statusPadding),
        [](double v) { return QString::number(std::lround(v)); },
        [this](double v) { edit([&](Settings& s) { s.statusPadding = v; }); }, size));
    size->content()->addWidget(SettingsRows::slider(
        QStringLiteral("글자 크기"), QStringLiteral("status-font-size"), 10, 16, 1,
        settings.statusFontSize.value_or(SettingsDefaults::statusFontSize),
        [](double v) { return QString::number(std::lround(v)); },
        [this](double v) { edit([&](Settings& s) { s.statusFontSize = v; }); }, size));
    return size;
}

ReadableGroup* DisplaySettingsTab::optionsGroup()
{
    const Settings& settings = store_.db().settings;
    auto* options = new ReadableGroup(QString(), this);
    if (GnomeExtension::session())
        options->content()->addWidget(new GnomeTopBarSwitch(options));
    options->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("과제 카드를 더블클릭하면 과제 페이지 열기"), QStringLiteral("double-click"),
        settings.doubleClickOpensAssignment.value_or(true),
        [this](bool on) { edit([&](Settings& s) { s.doubleClickOpensAssignment = on; }); }, options));
    options->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("메뉴바에 진행률(%) 표시"), QStringLiteral("show-progress"),
        settings.showProgress.value_or(false), [this](bool on) { edit([&](Settings& s) { s.showProgress = on; }); },
        options));
    options->content()->addWidget(SettingsRows::caption(
        QStringLiteral("사이트에서 제공하는 점수를 표시합니다. 퍼센트가 없는 과제는 생략합니다."), options));
    options->content()->addWidget(SettingsRows::caption(
        QStringLiteral("BrevaneLearn 100% · Canvas 제출 완료 과제는 자동으로 완료 표시합니다."), options));
    options->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("캘린더에 공개 일정도 표시"), QStringLiteral("show-releases"), settings.showReleases,
        [this](bool on) { edit([&](Settings& s) { s.showReleases = on; }); }, options));
    return options;
}

} // namespace vantory
