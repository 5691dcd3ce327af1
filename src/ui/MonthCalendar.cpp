// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MonthCalendar.h"

#include "model/Dates.h"
#include "store/Store.h"
#include "ui/AccessibleText.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <chrono>

#include "desktop/ItemColors.h"
#include "desktop/QtColor.h"
#include "desktop/SecondaryText.h"

namespace vantory {

namespace {

// One day: its number, then a row of course dots, filled for deadlines and hollow for releases.
class DayCell : public QAbstractButton {
public:
    explicit DayCell(QWidget* parent)
        : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::ClickFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void present(int day, DashboardItems::DayMarks marks, bool today, bool selected)
    {
        setText(QString::number(day));
        marks_ = std::move(marks);
        today_ = today;
        if (selected_ != selected) {
            selected_ = selected;
            if (isVisible()) {
                QAccessible::State changed;
                changed.selected = true;
                QAccessibleStateChangeEvent event(this, changed);
                QAccessible::updateAccessibility(&event);
            }
        }
        update();
    }

    bool isSelected() const { return selected_; }

    QSize sizeHint() const override { return {44, fontMetrics().height() + 18}; }

protected:
    // Arrows go to the calendar, which moves the selection.
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            event->ignore();
            return;
        default:
            QAbstractButton::keyPressEvent(event);
        }
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(2, 1, -2, -1);
        const QColor accent = palette().color(QPalette::Highlight);
        const ItemColors colors
            = selected_ ? selectedItemColors(palette()) : plainItemColors(palette(), palette().color(QPalette::Window));
        if (selected_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colors.backdrop);
            painter.drawRoundedRect(box, 6, 6);
        } else if (today_ && !hasFocus()) {
            painter.setPen(QPen(accent, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box, 6, 6);
        }
        // The keyboard's day, in the day's text colour: readable on its backdrop, so it stands out.
        if (hasFocus()) {
            painter.setPen(QPen(colors.text, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 5, 5);
        }
        QFont font = painter.font();
        font.setBold(today_);
        painter.setFont(font);
        painter.setPen(colors.text);
        const QRectF numberBox(box.left(), box.top() + 1, box.width(), fontMetrics().height());
        painter.drawText(numberBox, Qt::AlignCenter, text());

        const qreal dot = 5;
        const qreal gap = 3;
        const auto drawRow = [&](const std::vector<Rgb>& colors, bool filled, qreal top) {
            const qreal width = static_cast<qreal>(colors.size()) * (dot + gap) - gap;
            qreal left = box.center().x() - width / 2;
            for (const Rgb& rgb : colors) {
                const QRectF circle(left, top, dot, dot);
                painter.setPen(filled ? QPen(Qt::NoPen) : QPen(QtColor::fromRgb(rgb), 1.2));
                painter.setBrush(filled ? QBrush(QtColor::fromRgb(rgb)) : QBrush(Qt::NoBrush));
                painter.drawEllipse(circle);
                left += dot + gap;
            }
        };
        const qreal dotsTop = numberBox.bottom() + 2;
        drawRow(marks_.due, true, dotsTop);
        drawRow(marks_.released, false, dotsTop + (marks_.due.empty() ? 0 : dot + 2));
    }

private:
    DashboardItems::DayMarks marks_;
    bool today_ = false;
    bool selected_ = false;
};

// A day to screen readers: a button whose selected state is the calendar's selection.
class DayCellAccessible : public QAccessibleWidget {
public:
    explicit DayCellAccessible(DayCell* cell)
        : QAccessibleWidget(cell, QAccessible::Button)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = static_cast<DayCell*>(widget())->isSelected();
        return state;
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<DayCell*>(widget())->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* dayCellAccessible(const QString&, QObject* object)
{
    auto* cell = dynamic_cast<DayCell*>(object);
    return cell ? new DayCellAccessible(cell) : nullptr;
}

// What a screen reader says of a day: its date, whether it is today or selected, and its counts.
QString dayName(const QString& date, const DashboardItems::DayMarks& marks, bool today, bool selected)
{
    QStringList parts{date};
    if (today)
        parts << QCoreApplication::translate("vantory::MonthCalendar", "오늘");
    if (selected)
        parts << QCoreApplication::translate("vantory::MonthCalendar", "선택됨");
    parts << QCoreApplication::translate("vantory::MonthCalendar", "마감 %n개", nullptr, marks.dueCount);
    if (marks.releaseCount > 0)
        parts << QCoreApplication::translate("vantory::MonthCalendar", "공개 %n개", nullptr, marks.releaseCount);
    return parts.join(QStringLiteral(", "));
}

QToolButton* toolButton(const QString& text, const QString& help, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(help);
    button->setAccessibleName(help);
    button->setAutoRaise(true);
    return button;
}

} // namespace

MonthCalendar::MonthCalendar(const Store& store, QWidget* parent)
    : QWidget(parent)
    , store_(store)
    , month_(DashboardItems::month(store.now(), store.zone()))
{
    QAccessible::installFactory(&dayCellAccessible); // once: a second installation is ignored
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* header = new QHBoxLayout;
    title_ = new QLabel(this);
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    title_->setFont(titleFont);
    auto* today = new QToolButton(this);
    today->setText(tr("오늘"));
    today->setAccessibleName(tr("오늘"));
    auto* previous = toolButton(QStringLiteral("‹"), tr("이전 달"), this);
    auto* next = toolButton(QStringLiteral("›"), tr("다음 달"), this);
    header->addWidget(title_, 1);
    header->addWidget(today);
    header->addWidget(previous);
    header->addWidget(next);
    layout->addLayout(header);
    connect(today, &QToolButton::clicked, this, &MonthCalendar::selectToday);
    connect(previous, &QToolButton::clicked, this, [this] { showMonth(DashboardItems::shifted(month_, -1)); });
    connect(next, &QToolButton::clicked, this, [this] { showMonth(DashboardItems::shifted(month_, 1)); });

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    const QString weekdays[] = {tr("월"), tr("화"), tr("수"), tr("목"), tr("금"), tr("토"), tr("일")};
    for (int column = 0; column < 7; ++column) {
        auto* label = new QLabel(weekdays[column], this);
        label->setAlignment(Qt::AlignCenter);
        useSecondaryText(label);
        grid->addWidget(label, 0, column);
    }
    for (std::size_t index = 0; index < cells_.size(); ++index) {
        auto* cell = new DayCell(this);
        cells_[index] = cell;
        grid->addWidget(cell, static_cast<int>(index / 7) + 1, static_cast<int>(index % 7));
        connect(cell, &QAbstractButton::clicked, this, [this, index] {
            const auto offset = static_cast<std::int64_t>(index) - month_.leadingBlanks;
            select(month_.firstDay + offset);
        });
    }
    layout->addLayout(grid);

    legend_ = new QLabel(this);
    legend_->setWordWrap(true);
    legend_->setTextFormat(Qt::RichText);
    useSecondaryText(legend_);
    layout->addWidget(legend_);

    refresh();
}

void MonthCalendar::tick()
{
    if (Dates::dayNumber(store_.now(), month_.zone) != today_)
        updateCells();
    refreshLegend();
}

void MonthCalendar::refresh()
{
    // Another zone moves every day's bounds; the same month is shown in it.
    if (month_.zone != store_.zone()) {
        month_.zone = store_.zone();
        month_ = DashboardItems::shifted(month_, 0);
    }
    recountMarks();
    updateCells();
    refreshLegend();
}

void MonthCalendar::refreshLegend()
{
    const Settings& settings = store_.db().settings;
    QStringList parts;
    for (const Course& course : settings.courses) {
        if (!course.enabled)
            continue;
        parts << QStringLiteral("<span style=\"color:#%1\">●</span> %2")
                     .arg(QString::fromStdString(settings.coloredCourse(course).colorHex),
                         QString::fromStdString(course.name).toHtmlEscaped());
    }
    if (settings.showReleases)
        parts << tr("● 마감&nbsp;&nbsp;○ 공개");
    parts << QString::fromStdString(DashboardItems::zoneLabel(store_.zone(), store_.now())).toHtmlEscaped();
    legend_->setText(parts.join(QStringLiteral("&nbsp;&nbsp; ")));
}

void MonthCalendar::setSelected(std::optional<std::int64_t> day)
{
    selected_ = day;
    updateCells();
}

void MonthCalendar::showMonth(const DashboardItems::Month& month)
{
    month_ = month;
    recountMarks();
    updateCells();
}

QWidget* MonthCalendar::dayButton(int day) const
{
    const int index = month_.leadingBlanks + day - 1;
    return day >= 1 && day <= month_.days ? cells_[static_cast<std::size_t>(index)] : nullptr;
}

void MonthCalendar::keyPressEvent(QKeyEvent* event)
{
    int delta = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        delta = -1;
        break;
    case Qt::Key_Right:
        delta = 1;
        break;
    case Qt::Key_Up:
        delta = -7;
        break;
    case Qt::Key_Down:
        delta = 7;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const std::int64_t from = selected_.value_or(Dates::dayNumber(store_.now(), month_.zone));
    select(from + delta);
}

void MonthCalendar::select(std::int64_t day)
{
    selected_ = day;
    if (day < month_.firstDay || day >= month_.firstDay + month_.days) {
        month_ = DashboardItems::month(DashboardItems::dayStart(day, month_.zone), month_.zone);
        recountMarks();
    }
    updateCells();
    if (QWidget* button = dayButton(static_cast<int>(day - month_.firstDay) + 1))
        button->setFocus(Qt::OtherFocusReason);
    Q_EMIT selectionChanged();
}

void MonthCalendar::selectToday()
{
    select(Dates::dayNumber(store_.now(), month_.zone));
}

void MonthCalendar::recountMarks()
{
    marks_ = DashboardItems::marks(store_, month_);
}

void MonthCalendar::updateCells()
{
    title_->setText(QString::fromStdString(Dates::display(month_.start, month_.zone, tr("yyyy년 M월").toStdString())));
    const Dates::Formatter dayFormat(month_.zone, tr("M월 d일").toStdString());
    today_ = Dates::dayNumber(store_.now(), month_.zone);
    const std::int64_t current = selected_.value_or(today_);
    QWidget* tabStop = nullptr;
    for (std::size_t index = 0; index < cells_.size(); ++index) {
        auto* cell = static_cast<DayCell*>(cells_[index]);
        const int day = static_cast<int>(index) - month_.leadingBlanks + 1;
        if (day < 1 || day > month_.days) {
            cell->hide();
            continue;
        }
        const std::int64_t number = month_.firstDay + day - 1;
        const DashboardItems::DayMarks& mark = marks_[static_cast<std::size_t>(day - 1)];
        const bool today = number == today_;
        const bool selected = selected_ == number;
        // Noon: no change of clocks moves it to another date.
        std::string date;
        dayFormat.append(date, month_.start + std::chrono::hours(24 * (day - 1) + 12));
        AccessibleText::setName(cell, dayName(QString::fromStdString(date), mark, today, selected));
        cell->present(day, mark, today, selected);
        cell->setVisible(true);
        cell->setFocusPolicy(Qt::ClickFocus);
        if (number == current || (!tabStop && day == month_.days))
            tabStop = cell;
    }
    // One tab stop for the whole grid, on the selected day, today or the last day; arrows do the rest.
    // Not a focus proxy: Tab would then jump from the header's buttons straight past them.
    if (tabStop)
        tabStop->setFocusPolicy(Qt::StrongFocus);
}

} // namespace vantory
