// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SettingsScreen.h"

#include "status/StatusLine.h"
#include "store/Store.h"
#include "ui/CategoryColorTab.h"
#include "ui/ConnectionSettingsTab.h"
#include "ui/CourseColorTab.h"
#include "ui/DisplaySettingsTab.h"
#include "ui/ReminderSettingsTab.h"
#include "ui/Scale.h"
#include "ui/SettingsChoice.h"
#include "ui/SettingsRows.h"
#include "ui/TimeColorTab.h"
#include "ui/WindowSize.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

#include "desktop/DesktopColorScheme.h"
#include "desktop/StatusContentView.h"

namespace vantory {

namespace {

QString tag(const char* text)
{
    return QString::fromUtf8(text);
}

// The status line as it would read for a deadline ten hours away, composed from the current
// settings: the first item that can show, or a stand-in when the database has none yet.
StatusText previewLine(const Store& store)
{
    const Database& db = store.db();
    Database preview;
    preview.settings = db.settings;
    preview.settings.durations = {10};
    Assessment item;
    for (const Assessment* candidate : store.enabled()) {
        if (std::find(db.settings.excludedCategories.begin(), db.settings.excludedCategories.end(), candidate->category)
            == db.settings.excludedCategories.end()) {
            item = *candidate;
            break;
        }
    }
    if (item.id.empty()) {
        auto course = std::find_if(
            db.settings.courses.begin(), db.settings.courses.end(), [](const Course& c) { return c.enabled; });
        if (course == db.settings.courses.end()) {
            preview.settings.courses.push_back(Course{.id = "preview", .name = "313"});
            item.courseID = "preview";
        } else {
            item.courseID = course->id;
        }
        item.category = "Preclass";
        item.code = "1.1";
        item.title = "Preclass";
        preview.settings.excludedCategories.clear();
    }
    item.id = "preview";
    item.missing = false;
    item.score.reset();
    item.submitted.reset();
    item.due = store.now() + std::chrono::hours(10);
    preview.assessments.push_back(item);
    StatusLineState state;
    const StatusLineInput input{preview, store.now(), {}, {}};
    return composeStatusLine(input, state, &StatusContentView::measure).coloredLine;
}

// The application's leaf mark, drawn rather than taken from a font: emoji fonts are not everywhere.
QPixmap leafIcon(double scale)
{
    QPixmap pixmap(QSize(18, 18) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath leaf(QPointF(3, 15));
    leaf.cubicTo(QPointF(2, 6), QPointF(8, 2), QPointF(16, 2));
    leaf.cubicTo(QPointF(16, 10), QPointF(11, 16), QPointF(3, 15));
    painter.fillPath(leaf, QColor(0x22, 0xC5, 0x5E));
    painter.setPen(QPen(QColor(0x15, 0x80, 0x3D), 1.2));
    painter.drawLine(QPointF(3, 15), QPointF(12, 6));
    return pixmap;
}

QString explanation(const QString& tab)
{
    if (tab == tag(SettingsTabs::courseColors))
        return QCoreApplication::translate("vantory::SettingsScreen", "과목 번호와 월간 캘린더의 색상을 설정합니다.");
    if (tab == tag(SettingsTabs::categoryColors))
        return QCoreApplication::translate("vantory::SettingsScreen", "메뉴바의 카테고리 이름에 적용되는 색상입니다.");
    return QCoreApplication::translate("vantory::SettingsScreen", "마감이 가까워지면 남은 시간의 색상이 바뀝니다.");
}

// "화면 모드": the desktop's light or dark style, or one of them whatever the desktop says.
SettingsChoice* schemeChoice(DesktopColorScheme& scheme, QWidget* parent)
{
    auto* choice = new SettingsChoice(QCoreApplication::translate("vantory::SettingsScreen", "화면 모드"),
        {{QCoreApplication::translate("vantory::SettingsScreen", "시스템 설정"),
             ColorScheme::key(SchemeChoice::system).toStdString()},
            {QCoreApplication::translate("vantory::SettingsScreen", "밝게"),
                ColorScheme::key(SchemeChoice::light).toStdString()},
            {QCoreApplication::translate("vantory::SettingsScreen", "어둡게"),
                ColorScheme::key(SchemeChoice::dark).toStdString()}},
        parent);
    choice->picker()->setObjectName(QStringLiteral("color-scheme"));
    choice->setSelection(ColorScheme::key(scheme.choice()).toStdString());
    QObject::connect(choice, &SettingsChoice::chosen, &scheme, [&scheme](const std::string& key) {
        scheme.setChoice(ColorScheme::choiceFromKey(QString::fromStdString(key)));
    });
    return choice;
}

} // namespace

SettingsScreen::SettingsScreen(Store& store, bool colorOnly, const QString& tab, DesktopColorScheme* scheme,
    DesktopLanguage* language, QWidget* parent)
    : QWidget(parent)
    , store_(store)
    , language_(language)
    , colorOnly_(colorOnly)
    , tabBar_(new QTabBar(this))
    , pages_(new QStackedWidget(this))
{
    view_.loginEnabled = autostart_.enabled();
    const QStringList tags = tabs();
    tab_ = tags.contains(tab) ? tab : tags.front();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 8);
    layout->setSpacing(6);
    layout->addLayout(buildHeader());
    if (colorOnly && scheme)
        layout->addWidget(schemeChoice(*scheme, this));
    layout->addLayout(buildTabRow());
    if (colorOnly)
        buildPreview(layout);
    layout->addWidget(pages_, 1);
    buildFooter(layout);
    addTabKeys();

    observer_ = store_.observe([this](Store::Field field) {
        if (field != Store::Field::now)
            changed();
        else if (isVisible())
            refreshPreview();
    });
    pages_->setCurrentWidget(page(tab_).scroll);
    refresh();
}

QHBoxLayout* SettingsScreen::buildHeader()
{
    auto* header = new QHBoxLayout;
    auto* leaf = new QLabel(this);
    leaf->setPixmap(leafIcon(devicePixelRatioF()));
    leaf->setAccessibleName(QStringLiteral("Vantory"));
    header->addWidget(leaf);
    auto* title = new QLabel(colorOnly_ ? tr("Vantory 색상") : tr("Vantory 설정"), this);
    QFont titleFont = Scale::font(title->font(), 1.3);
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    header->addWidget(title);
    header->addStretch(1);
    if (!colorOnly_) {
        header->addWidget(SettingsRows::button(
            tr("색상 설정…"), QStringLiteral("colors-window"),
            [this] {
                if (store_.colorsWindow)
                    store_.colorsWindow();
            },
            this));
    }
    return header;
}

QHBoxLayout* SettingsScreen::buildTabRow()
{
    const QStringList labels = colorOnly_ ? QStringList{tr("과목"), tr("카테고리"), tr("남은 시간")}
                                          : QStringList{tr("표시 방식"), tr("연결 및 과목"), tr("알림")};
    for (const QString& label : labels)
        tabBar_->addTab(label);
    tabBar_->setAccessibleName(tr("설정 탭"));
    tabBar_->setExpanding(false);
    tabBar_->setDrawBase(false);
    tabBar_->setCurrentIndex(static_cast<int>(tabs().indexOf(tab_)));
    auto* tabRow = new QHBoxLayout;
    tabRow->addStretch(1);
    tabRow->addWidget(tabBar_);
    tabRow->addStretch(1);
    connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index < tabs().size())
            setTab(tabs().at(index));
    });
    return tabRow;
}

// The colour window's live status line on a panel-like bar, with what the current tab colours.
void SettingsScreen::buildPreview(QVBoxLayout* layout)
{
    layout->addWidget(SettingsRows::caption(tr("메뉴바 색상 예시 · 마감까지 10시간"), this));
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("preview-bar"));
    bar->setFixedHeight(Scale::length(bar, 28));
    // A dark bar like the desktop's top panel, in either palette.
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, QColor(0x20, 0x22, 0x26));
    barPalette.setColor(QPalette::WindowText, QColor(0xF2, 0xF2, 0xF2));
    bar->setPalette(barPalette);
    bar->setAutoFillBackground(true);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    preview_ = new StatusContentView(bar);
    preview_->setPalette(barPalette);
    preview_->setAccessibleName(tr("메뉴바 색상 예시"));
    barLayout->addWidget(preview_);
    layout->addWidget(bar);
    explanation_ = SettingsRows::caption(explanation(tab_), this);
    layout->addWidget(explanation_);
}

void SettingsScreen::buildFooter(QVBoxLayout* layout)
{
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    auto* footer = new QHBoxLayout;
    // One line each: a wrapped caption in a row takes only the width left by its stretch.
    for (const QString& text : {QString(), QStringLiteral("vantory.app")}) {
        QLabel* label = SettingsRows::caption(text, this);
        label->setWordWrap(false);
        footer->addWidget(label);
        if (footer->count() == 1) {
            footer->addStretch(1);
            zoneNote_ = label;
        }
    }
    layout->addLayout(footer);
}

SettingsScreen::~SettingsScreen()
{
    store_.unobserve(observer_);
}

// Ctrl+Tab and Ctrl+PgDn step through the tabs from any control, as in other tabbed windows.
// Shortcuts rather than key presses: sliders and number fields keep PgUp and PgDn for themselves.
void SettingsScreen::addTabKeys()
{
    const auto bind = [this](std::initializer_list<QKeySequence> keys, int step) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            const int count = tabBar_->count();
            tabBar_->setCurrentIndex((tabBar_->currentIndex() + step + count) % count);
        });
    };
    bind({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    bind({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, -1);
}

// The window opens on its tabs with the focus drawn, unless a caller placed it elsewhere, showing
// what changed while it was hidden.
void SettingsScreen::showEvent(QShowEvent* event)
{
    if (page(tab_).stale)
        refresh();
    else
        fitWindow();
    if (!window()->focusWidget())
        tabBar_->setFocus(Qt::TabFocusReason);
    QWidget::showEvent(event);
}

QStringList SettingsScreen::tabs() const
{
    if (colorOnly_)
        return {tag(SettingsTabs::courseColors), tag(SettingsTabs::categoryColors), tag(SettingsTabs::timeColors)};
    return {tag(SettingsTabs::display), tag(SettingsTabs::connection), tag(SettingsTabs::reminders)};
}

void SettingsScreen::setTab(const QString& tag)
{
    const QStringList tags = tabs();
    if (!tags.contains(tag) || tag == tab_)
        return;
    tab_ = tag;
    tabBar_->setCurrentIndex(static_cast<int>(tags.indexOf(tag)));
    if (explanation_)
        explanation_->setText(explanation(tab_));
    Page& shown = page(tab_);
    // Brought up to date before it shows, so it says nothing on the way.
    if (shown.stale)
        refresh();
    // A control of the page going away hands the focus to the tabs, which say where it now is,
    // rather than to whatever the page taking its place last had.
    if (pages_->currentWidget()->isAncestorOf(window()->focusWidget()))
        tabBar_->setFocus(Qt::OtherFocusReason);
    pages_->setCurrentWidget(shown.scroll);
    fitWindow();
}

SettingsScreen::Page& SettingsScreen::page(const QString& which)
{
    auto found = built_.find(which);
    if (found == built_.end()) {
        auto* scroll = new QScrollArea(pages_);
        // Not a stop of its own: Tab goes through the controls it holds, which scroll into view.
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        SettingsTab* tab = buildTab(which);
        scroll->setWidget(tab);
        pages_->addWidget(scroll);
        found = built_.emplace(which, Page{scroll, tab, false}).first;
    }
    return found->second;
}

QSize SettingsScreen::wantedSize() const
{
    const auto current = built_.find(tab_);
    if (current == built_.end())
        return {Scale::length(this, 500), Scale::length(this, 600)};
    const SettingsTab* tab = current->second.tab;
    const QMargins margins = layout()->contentsMargins();
    // Room for the scroll bar, which shows whenever the tab is taller than its page.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int chromeWidth = margins.left() + margins.right() + scrollBar;
    const int width = std::max(
        {Scale::length(this, 500), tab->minimumSizeHint().width() + chromeWidth, layout()->minimumSize().width()});
    const int tabWidth = width - chromeWidth;
    const int tabHeight = tab->hasHeightForWidth() ? tab->heightForWidth(tabWidth) : tab->sizeHint().height();
    // Everything but the page: header, tabs, preview, footer.
    const int chrome = layout()->sizeHint().height() - pages_->sizeHint().height();
    return {width, std::min(chrome + tabHeight, Scale::length(this, 600))};
}

void SettingsScreen::fitWindow()
{
    WindowSize::fit(this, wantedSize());
}

// While the screen shows, its tab follows the Store on the next turn of the loop (not inside the
// notification: the control that wrote is still running its signal); hidden, it only notes that
// it has something to catch up on.
void SettingsScreen::changed()
{
    for (auto& [tag, page] : built_)
        page.stale = true;
    if (!isVisible() || refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_ && isVisible())
            refresh();
        refreshPending_ = false;
    });
}

void SettingsScreen::refresh()
{
    refreshPending_ = false;
    Page& shown = page(tab_);
    shown.tab->refresh();
    shown.stale = false;
    refreshPreview();
    if (zoneNote_)
        zoneNote_->setText(tr("자동 저장 · %1 시간").arg(QString::fromStdString(store_.zone().city()))
            + QStringLiteral(" · v" VANTORY_VERSION));
    fitWindow();
}

void SettingsScreen::refreshPreview()
{
    if (preview_)
        preview_->showLine(previewLine(store_), QStringLiteral("none"), 0.3, false);
}

SettingsTab* SettingsScreen::buildTab(const QString& which)
{
    const auto viewChanged = [this] { changed(); };
    if (which == tag(SettingsTabs::connection))
        return new ConnectionSettingsTab(store_, view_, autostart_, viewChanged);
    if (which == tag(SettingsTabs::reminders))
        return new ReminderSettingsTab(store_);
    if (which == tag(SettingsTabs::courseColors))
        return new CourseColorTab(store_);
    if (which == tag(SettingsTabs::categoryColors))
        return new CategoryColorTab(store_, view_, viewChanged);
    if (which == tag(SettingsTabs::timeColors))
        return new TimeColorTab(store_);
    return new DisplaySettingsTab(store_, language_);
}

} // namespace vantory
