// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Dashboard.h"

#include "model/Dates.h"
#include "store/Store.h"
#include "ui/AccessibleRole.h"
#include "ui/AccessibleText.h"
#include "ui/DeadlineList.h"
#include "ui/MonthCalendar.h"
#include "ui/Scale.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "desktop/QtColor.h"
#include "desktop/SecondaryText.h"

namespace vantory {

namespace {

// Secondary labels draw in the placeholder role, so that is the colour a warning replaces.
void setWarning(QLabel* label, bool warn)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::PlaceholderText,
        warn ? QtColor::warning(palette) : QApplication::palette(label).color(QPalette::PlaceholderText));
    label->setPalette(palette);
}

QToolButton* iconButton(const QString& glyph, const QString& help, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(glyph);
    button->setToolTip(help);
    button->setAccessibleName(help);
    button->setAutoRaise(true);
    return button;
}

// Calls a Store hook when the application has set it.
void call(const Store::Action& hook)
{
    if (hook)
        hook();
}

QLabel* secondaryLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    useSecondaryText(label);
    label->setWordWrap(true);
    return label;
}

// One choice of a bar, named by its text; a Tab stop only while checked, as Qt does for exclusive
// buttons.
QToolButton* choiceButton(const QString& text, const QString& help, QWidget* bar)
{
    auto* button = new QToolButton(bar);
    AccessibleRole::makeChoice(button);
    button->setText(text);
    button->setToolTip(help);
    button->setAccessibleDescription(help);
    return button;
}

// Checked and bold: the bold keeps the choice visible where a style shades checked buttons faintly.
void mark(QToolButton* button, bool checked)
{
    button->setChecked(checked);
    QFont font = button->font();
    font.setBold(checked);
    button->setFont(font);
}

} // namespace

Dashboard::Dashboard(Store& store, QWidget* parent)
    : QWidget(parent)
    , store_(store)
{
    setAccessibleName(QStringLiteral("Vantory"));
    // The page scrolls only when a screen is too small for it at its font: nothing is squeezed.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    page_ = new QWidget(scroll);
    auto* layout = new QVBoxLayout(page_);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);
    layout->addWidget(buildHeader());
    layout->addWidget(prompt_ = buildPrompt());
    layout->addWidget(buildStatus());
    calendar_ = new MonthCalendar(store_, this);
    layout->addWidget(calendar_);
    layout->addWidget(buildFilters());
    layout->addWidget(buildSort());

    stack_ = new QStackedWidget(this);
    list_ = new DeadlineList(store_, stack_);
    list_->editRequested = [this](const Assessment& item) {
        if (editRequested)
            editRequested(item);
    };
    auto* empty = new QWidget(stack_);
    auto* emptyLayout = new QVBoxLayout(empty);
    emptyIcon_ = secondaryLabel(empty);
    emptyIcon_->setAlignment(Qt::AlignCenter);
    QFont iconFont = emptyIcon_->font();
    iconFont.setPointSizeF(iconFont.pointSizeF() * 2);
    emptyIcon_->setFont(iconFont);
    emptyText_ = secondaryLabel(empty);
    emptyText_->setAlignment(Qt::AlignCenter);
    emptyLayout->addStretch();
    emptyLayout->addWidget(emptyIcon_);
    emptyLayout->addWidget(emptyText_);
    emptyLayout->addStretch();
    stack_->addWidget(list_);
    stack_->addWidget(empty);
    layout->addWidget(stack_, 1);
    scroll->setWidget(page_);

    connect(calendar_, &MonthCalendar::selectionChanged, this, &Dashboard::refreshList);
    observer_ = store_.observe([this](Store::Field field) {
        // A hidden dashboard (the closed popover, the calendar window) catches up when it shows:
        // a screen reader would hear every text changed in it.
        if (!isVisible())
            stale_ = true;
        else if (field == Store::Field::db)
            refresh();
        else if (field == Store::Field::now)
            tick();
        else
            refreshStatus();
    });
    refresh();
}

Dashboard::~Dashboard()
{
    store_.unobserve(observer_);
}

QSize Dashboard::sizeHint() const
{
    // Its window asks before showing it: measured as it will show.
    if (!isVisible())
        const_cast<Dashboard*>(this)->prepareToShow();
    const QLayout* page = page_->layout();
    const int width = std::max(page->totalMinimumSize().width(), Scale::length(this, 440));
    // Tall enough at the width a scroll bar would leave: QScrollArea measures there once it has
    // shown the bar (as it does while the window is being laid out) and would otherwise keep it.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {width, page->totalHeightForWidth(width - scrollBar)};
}

void Dashboard::showEvent(QShowEvent* event)
{
    catchUp();
    QWidget::showEvent(event);
}

void Dashboard::catchUp()
{
    if (stale_) {
        stale_ = false;
        refresh();
    }
}

// A layout nested in a part's layout keeps the sizes it had before the texts until the part shows.
void Dashboard::prepareToShow()
{
    catchUp();
    for (QWidget* part : page_->findChildren<QWidget*>()) {
        if (QLayout* layout = part->layout()) {
            layout->invalidate();
            layout->activate();
        }
    }
}

QWidget* Dashboard::buildHeader()
{
    auto* header = new QWidget(this);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* leaf = new QLabel(QStringLiteral("☘"), header);
    leaf->setStyleSheet(QStringLiteral("color: #22C55E; font-size: 20px;"));
    leaf->setAccessibleName(QStringLiteral("Vantory"));
    layout->addWidget(leaf);

    auto* names = new QVBoxLayout;
    names->setSpacing(0);
    auto* title = new QLabel(QStringLiteral("Vantory"), header);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    courses_ = secondaryLabel(header);
    courses_->setAccessibleDescription(tr("과목"));
    names->addWidget(title);
    names->addWidget(courses_);
    layout->addLayout(names, 1);

    auto* login = iconButton(tr("로그인 ▾"), tr("로그인"), header);
    auto* loginMenu = new QMenu(login);
    loginMenu->addAction(tr("BrevaneLearn 로그인"), this, [this] { call(store_.connect); });
    loginMenu->addAction(tr("Canvas 로그인"), this, [this] { call(store_.connectCanvas); });
    login->setMenu(loginMenu);
    login->setPopupMode(QToolButton::InstantPopup);
    layout->addWidget(login);

    auto* colors = iconButton(QStringLiteral("◑"), tr("색상 설정"), header);
    connect(colors, &QToolButton::clicked, this, [this] { call(store_.colorsWindow); });
    layout->addWidget(colors);
    auto* settings = iconButton(QStringLiteral("⚙"), tr("설정"), header);
    connect(settings, &QToolButton::clicked, this, [this] { call(store_.settingsWindow); });
    layout->addWidget(settings);

    auto* more = iconButton(QStringLiteral("⋯"), tr("더 보기"), header);
    auto* moreMenu = new QMenu(more);
    moreMenu->addAction(tr("iPhone 캘린더 내보내기 (.ics)"), this, [this] { call(store_.exportCalendar); });
    moreMenu->addAction(tr("캘린더 열기"), this, [this] { call(store_.calendarWindow); });
    moreMenu->addSeparator();
    moreMenu->addAction(tr("앱 종료"), qApp, &QApplication::quit);
    more->setMenu(moreMenu);
    more->setPopupMode(QToolButton::InstantPopup);
    layout->addWidget(more);
    return header;
}

QWidget* Dashboard::buildPrompt()
{
    auto* prompt = new QWidget(this);
    prompt->setAutoFillBackground(true);
    prompt->setBackgroundRole(QPalette::AlternateBase);
    auto* layout = new QHBoxLayout(prompt);
    auto* icon = new QLabel(QStringLiteral("⇄"), prompt);
    icon->setStyleSheet(QStringLiteral("color: #3B82F6; font-size: 20px;"));
    layout->addWidget(icon);
    auto* texts = new QVBoxLayout;
    promptTitle_ = new QLabel(prompt);
    QFont bold = promptTitle_->font();
    bold.setBold(true);
    promptTitle_->setFont(bold);
    texts->addWidget(promptTitle_);
    promptText_ = secondaryLabel(prompt);
    texts->addWidget(promptText_);
    layout->addLayout(texts, 1);
    promptButton_ = new QPushButton(prompt);
    connect(promptButton_, &QPushButton::clicked, this, [this] { call(store_.siteSignIn()); });
    layout->addWidget(promptButton_);
    return prompt;
}

// The prompt names the site the school uses, or asks for the addresses when it uses none.
void Dashboard::refreshPrompt()
{
    const Sites& sites = Sites::current();
    const bool anySite = sites.uses(Site::assessment) || sites.uses(Site::canvas);
    const QString site = sites.uses(Site::assessment) ? QStringLiteral("BrevaneLearn") : QStringLiteral("Canvas");
    promptTitle_->setText(anySite
            ? (sites.uses(Site::assessment) ? tr("BrevaneLearn을 연결해 주세요") : tr("Canvas를 연결해 주세요"))
            : QString::fromUtf8(wording().noSitesStatus));
    promptText_->setText(anySite ? tr("로그인하면 과제 마감을 매시간 가져옵니다.")
                                 : tr("설정에서 학교 사이트의 주소를 입력하면 과제 마감을 가져옵니다."));
    promptButton_->setText(anySite ? tr("연결") : tr("설정"));
    AccessibleText::setName(promptButton_, anySite ? tr("%1 연결").arg(site) : tr("학교 사이트 설정"));
    prompt_->setVisible(store_.lineNeedsLogin() || store_.db().assessments.empty());
}

QWidget* Dashboard::buildStatus()
{
    auto* status = new QWidget(this);
    auto* layout = new QHBoxLayout(status);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(1);
    lastUpdate_ = new QLabel(status);
    assessmentStatus_ = secondaryLabel(status);
    canvasStatus_ = secondaryLabel(status);
    calendarStatus_ = secondaryLabel(status);
    storageError_ = secondaryLabel(status);
    for (QLabel* label : {lastUpdate_, assessmentStatus_, canvasStatus_, calendarStatus_, storageError_})
        lines->addWidget(label);
    layout->addLayout(lines, 1);

    progress_ = new QProgressBar(status);
    progress_->setRange(0, 0);
    progress_->setFixedWidth(36);
    progress_->setTextVisible(false);
    progress_->setAccessibleName(tr("동기화 중"));
    layout->addWidget(progress_, 0, Qt::AlignTop);
    refreshButton_ = iconButton(tr("⟳ 지금 새로고침"), tr("지금 새로고침"), status);
    refreshButton_->setObjectName(QStringLiteral("refresh"));
    refreshButton_->setAutoRaise(false);
    connect(refreshButton_, &QToolButton::clicked, this, [this] { call(store_.sync); });
    layout->addWidget(refreshButton_, 0, Qt::AlignTop);
    return status;
}

QWidget* Dashboard::buildFilters()
{
    auto* bar = new QWidget(this);
    auto* layout = new QVBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (std::size_t index = 0; index < DashboardItems::filters.size(); ++index) {
        const DashboardItems::FilterChoice& choice = DashboardItems::filters[index];
        auto* button = choiceButton(QCoreApplication::translate("DashboardItems", choice.label),
            QCoreApplication::translate("DashboardItems", choice.key), bar);
        buttons->addWidget(button);
        filterButtons_[index] = button;
        connect(button, &QToolButton::clicked, this, [this, choice] { setFilter(choice.filter); });
    }
    buttons->addStretch();
    layout->addLayout(buttons);

    dayLine_ = new QWidget(bar);
    auto* dayLayout = new QHBoxLayout(dayLine_);
    dayLayout->setContentsMargins(0, 0, 0, 0);
    dayLabel_ = new QLabel(dayLine_);
    auto* clear = new QPushButton(tr("날짜 선택 해제"), dayLine_);
    connect(clear, &QPushButton::clicked, this, &Dashboard::clearSelection);
    dayLayout->addWidget(dayLabel_, 1);
    dayLayout->addWidget(clear);
    layout->addWidget(dayLine_);
    return bar;
}

QWidget* Dashboard::buildSort()
{
    auto* bar = new QWidget(this);
    const QString help
        = tr("마감일 있음 → 공개일만 있음 → 날짜 미확인 순으로 묶고, 각 묶음 안에서 선택한 기준으로 정렬합니다.");
    bar->setToolTip(help);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* title = secondaryLabel(bar);
    title->setText(tr("정렬"));
    title->setWordWrap(false);
    layout->addWidget(title);
    for (std::size_t index = 0; index < DashboardItems::sorts.size(); ++index) {
        const DashboardItems::SortChoice& choice = DashboardItems::sorts[index];
        auto* button = choiceButton(
            QCoreApplication::translate("DashboardItems", choice.label), tr("정렬 기준. %1").arg(help), bar);
        layout->addWidget(button);
        sortButtons_[index] = button;
        const std::string key = choice.key;
        connect(button, &QToolButton::clicked, this,
            [this, key] { store_.update([&key](Database& db) { db.settings.listSort = key; }); });
    }
    layout->addStretch();
    return bar;
}

void Dashboard::refresh()
{
    const Settings& settings = store_.db().settings;
    QStringList names;
    for (const Course& course : settings.courses) {
        if (course.enabled)
            names << QString::fromStdString(course.name);
    }
    courses_->setText(names.join(QStringLiteral(" · ")));
    courses_->setVisible(!names.isEmpty());

    const std::string sort = DashboardItems::sortKey(settings);
    for (std::size_t index = 0; index < sortButtons_.size(); ++index)
        mark(sortButtons_[index], sort == DashboardItems::sorts[index].key);

    refreshStatus();
    calendar_->refresh();
    refreshList();
}

// The clock moves the remaining times and, at midnight, today; the rows stay the same rows. The
// status lines do not follow the clock.
void Dashboard::tick()
{
    calendar_->tick();
    refreshList();
}

void Dashboard::refreshStatus()
{
    refreshPrompt();
    lastUpdate_->setText(QString::fromStdString(store_.lastUpdateText()));
    const Sites& sites = Sites::current();
    assessmentStatus_->setVisible(sites.uses(Site::assessment) || !sites.uses(Site::canvas));
    assessmentStatus_->setText(sites.uses(Site::assessment)
            ? QString::fromStdString("BrevaneLearn · " + withReason(store_.status(), store_.statusReason()))
            : QString::fromStdString(store_.lineStatus()));
    setWarning(assessmentStatus_, store_.failing(Site::assessment));
    const bool canvas = sites.uses(Site::canvas) && store_.db().settings.canvasEnabled.value_or(true);
    canvasStatus_->setVisible(canvas);
    canvasStatus_->setText(QString::fromStdString(withReason(store_.canvasStatus(), store_.canvasStatusReason())));
    setWarning(canvasStatus_, store_.failing(Site::canvas));
    calendarStatus_->setVisible(!store_.db().settings.calendarServer().empty());
    calendarStatus_->setText(QString::fromStdString(store_.calendarServerText()));
    setWarning(calendarStatus_, store_.calendarServerFailing());
    storageError_->setVisible(store_.storageError().has_value());
    storageError_->setText(QString::fromStdString(store_.storageError().value_or("")));
    setWarning(storageError_, true);
    showSyncing(store_.syncing());
}

// Qt moves the focus off a button that it disables, to the next control ("오늘"): during a sync the
// progress bar holds it, and then hands it back.
void Dashboard::showSyncing(bool syncing)
{
    if (syncing) {
        progress_->show();
        if (window()->focusWidget() == refreshButton_)
            progress_->setFocus(Qt::OtherFocusReason);
        refreshButton_->setEnabled(false);
    } else {
        refreshButton_->setEnabled(true);
        if (window()->focusWidget() == progress_)
            refreshButton_->setFocus(Qt::OtherFocusReason);
        progress_->hide();
    }
}

void Dashboard::refreshList()
{
    const std::optional<std::int64_t> selected = calendar_->selected();
    for (std::size_t index = 0; index < filterButtons_.size(); ++index)
        mark(filterButtons_[index], DashboardItems::filters[index].filter == filter_);
    dayLine_->setVisible(selected.has_value());
    if (selected)
        dayLabel_->setText(QString::fromStdString(Dates::display(
            DashboardItems::dayStart(*selected, store_.zone()), store_.zone(), tr("M월 d일 EEEE").toStdString())));

    list_->setItems(DashboardItems::visible(store_, filter_, selected));
    const bool anyItems = !store_.db().assessments.empty();
    emptyIcon_->setText(anyItems ? QStringLiteral("✓") : QStringLiteral("◷"));
    emptyText_->setText(anyItems ? tr("표시할 과제가 없어요") : tr("일정을 연결하면 여기에 표시돼요"));
    stack_->setCurrentIndex(list_->count() > 0 ? 0 : 1);
}

void Dashboard::setFilter(DashboardItems::Filter filter)
{
    filter_ = filter;
    calendar_->setSelected(std::nullopt);
    refreshList();
}

void Dashboard::clearSelection()
{
    calendar_->setSelected(std::nullopt);
    refreshList();
}

} // namespace vantory
