// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DisplaySettingsTab.h"

#include "store/Store.h"
#include "ui/GnomeTopBarSwitch.h"
#include "ui/ReadableGroup.h"
#include "ui/Scale.h"
#include "ui/SegmentButton.h"
#include "ui/SettingsChoice.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsSlider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "desktop/DesktopLanguage.h"
#include "desktop/GnomeExtension.h"

namespace vantory {

namespace {

QString slotLabel(std::size_t index)
{
    switch (index) {
    case 0:
        return QCoreApplication::translate("vantory::DisplaySettingsTab", "첫 번째 항목");
    case 1:
        return QCoreApplication::translate("vantory::DisplaySettingsTab", "두 번째 항목");
    case 2:
        return QCoreApplication::translate("vantory::DisplaySettingsTab", "세 번째 항목");
    default:
        return QCoreApplication::translate("vantory::DisplaySettingsTab", "%1번째 항목").arg(index + 1);
    }
}

// A segmented picker: one radio button per option, named by its text, in a row titled `title`.
// The returned function shows a stored value; one outside the options checks none.
std::function<void(const std::string&)> segmented(const QString& title, const QString& name,
    const std::vector<std::pair<QString, std::string>>& options, const std::function<void(const std::string&)>& choose,
    QVBoxLayout* into, QWidget* parent)
{
    auto* box = new QWidget(parent);
    box->setAccessibleName(title);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    std::vector<std::pair<SegmentButton*, std::string>> buttons;
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* button = new SegmentButton(options[i].first, box);
        button->setObjectName(QStringLiteral("%1-%2").arg(name).arg(i));
        button->setMinimumWidth(button->sizeHint().width() + Scale::length(button, 16));
        layout->addWidget(button);
        QObject::connect(
            button, &QPushButton::clicked, button, [choose, option = options[i].second] { choose(option); });
        buttons.emplace_back(button, options[i].second);
    }
    into->addWidget(SettingsRows::row(title, {box}, parent));
    return [buttons](const std::string& value) {
        const bool offered = std::ranges::any_of(buttons, [&](const auto& each) { return each.second == value; });
        for (const auto& [button, option] : buttons) {
            // An exclusive button unchecks only by another's check; none is offered here.
            button->setAutoExclusive(offered);
            SettingsRows::showChecked(button, option == value);
            button->setAutoExclusive(true);
        }
    };
}

} // namespace

DisplaySettingsTab::DisplaySettingsTab(Store& store, DesktopLanguage* language, QWidget* parent)
    : SettingsTab(parent)
    , store_(store)
{
    auto* layout = SettingsRows::tabColumn(this);
    if (language)
        layout->addWidget(languageGroup(*language));
    layout->addWidget(slotsGroup());
    layout->addWidget(sizeGroup());
    layout->addWidget(optionsGroup());
    layout->addStretch(1);
}

const Settings& DisplaySettingsTab::settings() const
{
    return store_.db().settings;
}

void DisplaySettingsTab::edit(const std::function<void(Settings&)>& change)
{
    SettingsRows::updateSettings(store_, change);
}

// "언어": the session's language, or one of ours named in its own language, whatever the session's.
ReadableGroup* DisplaySettingsTab::languageGroup(DesktopLanguage& language)
{
    auto* group = new ReadableGroup(QString(), this);
    auto* choice = new SettingsChoice(tr("언어"),
        {{tr("자동"), DesktopLanguage::key(LanguageChoice::automatic).toStdString()},
            {QStringLiteral("한국어"), DesktopLanguage::key(LanguageChoice::korean).toStdString()},
            {QStringLiteral("English"), DesktopLanguage::key(LanguageChoice::english).toStdString()}},
        group);
    choice->picker()->setObjectName(QStringLiteral("language"));
    choice->setSelection(DesktopLanguage::key(language.choice()).toStdString());
    connect(choice, &SettingsChoice::chosen, &language, [&language](const std::string& key) {
        language.setChoice(DesktopLanguage::choiceFromKey(QString::fromStdString(key)));
    });
    group->content()->addWidget(choice);
    return group;
}

ReadableGroup* DisplaySettingsTab::slotsGroup()
{
    auto* group = new ReadableGroup(tr("메뉴바에 표시할 과제"), this);
    // One row per slot; a removed slot's row goes, and its focus stays on the row now in its place.
    auto* slots = new SettingsPart([this] { return QStringList{QString::number(settings().durations.size())}; },
        [this](SettingsPart& part) {
            auto* rows = new QVBoxLayout(part.content());
            rows->setContentsMargins(0, 0, 0, 0);
            rows->setSpacing(6);
            for (std::size_t i = 0; i < settings().durations.size(); ++i) {
                auto* seconds = new QSpinBox(part.content());
                seconds->setObjectName(QStringLiteral("duration-%1").arg(i));
                seconds->setRange(1, 300);
                seconds->setSuffix(tr("초"));
                seconds->setKeyboardTracking(false);
                seconds->setMinimumWidth(Scale::length(seconds, 90));
                connect(seconds, &QSpinBox::valueChanged, this, [this, i](int value) {
                    edit([&](Settings& s) {
                        if (i < s.durations.size())
                            s.durations[i] = value;
                    });
                });
                auto* remove = new QToolButton(part.content());
                remove->setObjectName(QStringLiteral("remove-duration-%1").arg(i));
                remove->setText(QStringLiteral("⊖"));
                remove->setToolTip(tr("이 표시 항목 삭제"));
                remove->setAccessibleName(tr("%1 삭제").arg(slotLabel(i)));
                connect(remove, &QToolButton::clicked, this, [this, i] {
                    edit([&](Settings& s) {
                        if (i < s.durations.size())
                            s.durations.erase(s.durations.begin() + static_cast<std::ptrdiff_t>(i));
                    });
                });
                rows->addWidget(SettingsRows::row(slotLabel(i), {seconds, remove}, part.content()));
                part.follow([this, seconds, i] {
                    const QSignalBlocker quiet(seconds);
                    seconds->setValue(static_cast<int>(std::lround(settings().durations.at(i))));
                });
            }
        },
        group);
    group->content()->addWidget(slots);
    auto* add = SettingsRows::button(
        tr("표시 항목 추가"), QStringLiteral("add-duration"),
        [this] { edit([](Settings& s) { s.durations.push_back(5); }); }, group);
    auto* count = new QLabel(group);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(add);
    addRow->addWidget(count);
    addRow->addStretch(1);
    group->content()->addLayout(addRow);
    group->content()->addWidget(
        SettingsRows::caption(tr("표시 항목을 추가하면 마감이 가까운 과제부터 보여 드립니다."), group));
    follow([this, slots, count] {
        slots->refresh();
        count->setText(tr("최대 %n개 표시", nullptr, static_cast<int>(settings().durations.size())));
    });
    return group;
}

ReadableGroup* DisplaySettingsTab::sizeGroup()
{
    auto* group = new ReadableGroup(tr("메뉴바 크기와 정렬"), this);
    QVBoxLayout* content = group->content();
    using namespace Modes::Transition;
    auto* transition = new SettingsChoice(tr("전환 효과"),
        {{tr("없음"), none}, {tr("페이드"), fade}, {tr("위로 슬라이드"), slideUp}, {tr("아래로 슬라이드"), slideDown},
            {tr("왼쪽으로 슬라이드"), slideLeft}, {tr("줌"), zoom}},
        group);
    transition->picker()->setObjectName(QStringLiteral("transition-style"));
    connect(transition, &SettingsChoice::chosen, this,
        [this](const std::string& value) { edit([&](Settings& s) { s.transitionStyle = value; }); });
    content->addWidget(transition);
    SettingsSlider* duration = SettingsRows::slider(
        QStringLiteral("transition-duration"), 0.1, 1.0, 0.1, [](double v) { return tr("%1초").arg(v, 0, 'f', 1); },
        [this](double v) { edit([&](Settings& s) { s.transitionDuration = v; }); }, group);
    QWidget* durationRow = SettingsRows::row(tr("전환 시간"), {duration, duration->valueLabel()}, group);
    content->addWidget(durationRow);
    follow([this, transition, duration, durationRow] {
        const std::string style = settings().transitionStyle.value_or(SettingsDefaults::transitionStyle);
        transition->setSelection(style);
        // The duration only with a transition.
        durationRow->setVisible(style != none);
        duration->showAmount(settings().transitionDuration.value_or(SettingsDefaults::transitionDuration));
    });
    content->addWidget(
        SettingsRows::caption(tr("데스크톱의 애니메이션 효과가 꺼져 있으면 전환 효과를 생략합니다."), group));

    const auto alignment = segmented(
        tr("정렬"), QStringLiteral("alignment"),
        {{tr("왼쪽"), Modes::Alignment::left}, {tr("가운데"), "center"}, {tr("오른쪽"), Modes::Alignment::right}},
        [this](const std::string& value) { edit([&](Settings& s) { s.statusAlignment = value; }); }, content, group);
    follow([this, alignment] { alignment(settings().statusAlignment.value_or("center")); });

    const auto widthMode = segmented(
        tr("너비"), QStringLiteral("width-mode"),
        {{tr("가장 긴 문구에 맞춤"), "auto"}, {tr("직접 설정"), Modes::Width::fixed}},
        [this](const std::string& value) { edit([&](Settings& s) { s.statusWidthMode = value; }); }, content, group);
    SettingsSlider* width = SettingsRows::slider(
        QStringLiteral("status-width"), 120, 600, 5, [](double v) { return QString::number(std::lround(v)); },
        [this](double v) { edit([&](Settings& s) { s.statusWidth = v; }); }, group);
    QWidget* widthRow = SettingsRows::row(tr("메뉴바 너비"), {width, width->valueLabel()}, group);
    content->addWidget(widthRow);
    follow([this, widthMode, width, widthRow] {
        const bool fixed = settings().statusWidthMode == Modes::Width::fixed;
        widthMode(fixed ? Modes::Width::fixed : "auto");
        // The width only when it is set by hand.
        widthRow->setVisible(fixed);
        width->showAmount(settings().statusWidth.value_or(SettingsDefaults::statusWidth));
    });
    content->addWidget(SettingsRows::caption(
        tr("자동 맞춤은 표시할 문구 중 가장 긴 문구와 시간 자릿수에 필요한 폭만 확보합니다. 순환 중에는 같은 "
           "너비를 유지하고, 대상 과제나 표시 설정이 바뀔 때만 다시 계산합니다. 설정한 너비보다 긴 문구는 "
           "가운데를 줄여 표시합니다."),
        group));

    SettingsSlider* padding = SettingsRows::slider(
        QStringLiteral("status-padding"), 0, 20, 1, [](double v) { return QString::number(std::lround(v)); },
        [this](double v) { edit([&](Settings& s) { s.statusPadding = v; }); }, group);
    content->addWidget(SettingsRows::row(tr("좌우 여백"), {padding, padding->valueLabel()}, group));
    SettingsSlider* fontSize = SettingsRows::slider(
        QStringLiteral("status-font-size"), 10, 16, 1, [](double v) { return QString::number(std::lround(v)); },
        [this](double v) { edit([&](Settings& s) { s.statusFontSize = v; }); }, group);
    content->addWidget(SettingsRows::row(tr("글자 크기"), {fontSize, fontSize->valueLabel()}, group));
    follow([this, padding, fontSize] {
        padding->showAmount(settings().statusPadding.value_or(SettingsDefaults::statusPadding));
        fontSize->showAmount(settings().statusFontSize.value_or(SettingsDefaults::statusFontSize));
    });
    return group;
}

ReadableGroup* DisplaySettingsTab::optionsGroup()
{
    auto* group = new ReadableGroup(QString(), this);
    QVBoxLayout* content = group->content();
    if (GnomeExtension::session())
        content->addWidget(new GnomeTopBarSwitch(group));
    QCheckBox* doubleClick = SettingsRows::toggle(
        tr("과제 카드를 더블클릭하면 과제 페이지 열기"), QStringLiteral("double-click"), false,
        [this](bool on) { edit([&](Settings& s) { s.doubleClickOpensAssignment = on; }); }, group);
    content->addWidget(doubleClick);
    QCheckBox* progress = SettingsRows::toggle(
        tr("메뉴바에 진행률(%) 표시"), QStringLiteral("show-progress"), false,
        [this](bool on) { edit([&](Settings& s) { s.showProgress = on; }); }, group);
    content->addWidget(progress);
    content->addWidget(
        SettingsRows::caption(tr("사이트에서 제공하는 점수를 표시합니다. 퍼센트가 없는 과제는 생략합니다."), group));
    content->addWidget(
        SettingsRows::caption(tr("BrevaneLearn 100% · Canvas 제출 완료 과제는 자동으로 완료 표시합니다."), group));
    QCheckBox* releases = SettingsRows::toggle(
        tr("캘린더에 공개 일정도 표시"), QStringLiteral("show-releases"), false,
        [this](bool on) { edit([&](Settings& s) { s.showReleases = on; }); }, group);
    content->addWidget(releases);
    follow([this, doubleClick, progress, releases] {
        SettingsRows::showChecked(doubleClick, settings().doubleClickOpensAssignment.value_or(true));
        SettingsRows::showChecked(progress, settings().showProgress.value_or(false));
        SettingsRows::showChecked(releases, settings().showReleases);
    });
    return group;
}

} // namespace vantory
