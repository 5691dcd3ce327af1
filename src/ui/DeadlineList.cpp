// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DeadlineList.h"

#include "store/Store.h"
#include "ui/DashboardItems.h"

#include <QAbstractListModel>
#include <QAccessible>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <optional>

#include "desktop/ItemColors.h"
#include "desktop/QtColor.h"

namespace vantory {

namespace {

constexpr int padding = 8;
// The list's wanted height: two rows and half of a third, which shows that it scrolls.
constexpr double rowsShown = 2.5;
constexpr int focusRingWidth = 2;

// A row: its heading, title and date lines, and the parse warning's line when it has one.
int rowHeight(const QFontMetrics& metrics, bool parseError)
{
    return 2 * padding + (metrics.height() + 2) * (parseError ? 4 : 3);
}

// The completion mark and the menu button: 22 points, or as tall as a line in a larger font.
int buttonSize(const QFontMetrics& metrics)
{
    constexpr int smallest = 22;
    return std::max(smallest, metrics.height() + 3);
}

bool darkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

// The done green for either palette; as text it goes through the row's readable rule.
QColor green(const QPalette& palette)
{
    return darkPalette(palette) ? QColor(0x22, 0xC5, 0x5E) : QColor(0x15, 0x80, 0x3D);
}

// The rows' items; each row's texts are computed when it is first painted.
class RowModel : public QAbstractListModel {
public:
    RowModel(const Store& store, QObject* parent)
        : QAbstractListModel(parent)
        , store_(store)
    {
    }

    // The same rows in the same order only change their texts (a tick moves the remaining times),
    // so the view keeps its current row and selection and says nothing about them to a screen
    // reader. Other rows, or a row changing its height, reset the model. Returns whether it reset.
    bool setItems(std::vector<Assessment> items)
    {
        if (!sameRows(items)) {
            beginResetModel();
            items_ = std::move(items);
            rows_.assign(items_.size(), std::nullopt);
            endResetModel();
            return true;
        }
        items_ = std::move(items);
        rows_.assign(items_.size(), std::nullopt);
        if (!items_.empty())
            Q_EMIT dataChanged(index(0), index(rowCount() - 1));
        return false;
    }

    const Assessment& item(int row) const { return items_[static_cast<std::size_t>(row)]; }

    const DashboardItems::Row& row(int row) const
    {
        std::optional<DashboardItems::Row>& cached = rows_[static_cast<std::size_t>(row)];
        if (!cached)
            cached = DashboardItems::row(store_, item(row));
        return *cached;
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(items_.size());
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(item(index.row()).title);
        case Qt::CheckStateRole:
            // The completion mark: screen readers say "checked" and hear it change.
            return row(index.row()).done ? Qt::Checked : Qt::Unchecked;
        case Qt::AccessibleTextRole: {
            // The row's texts as painted; whether it is done is its checked state.
            const DashboardItems::Row& shown = row(index.row());
            QStringList parts{QString::fromStdString(shown.heading), QString::fromStdString(shown.item.title)};
            if (!shown.dueText)
                parts << shown.undatedText;
            else
                parts << QString::fromStdString(*shown.dueText) + QStringLiteral(" · ")
                        + (shown.done ? QCoreApplication::translate("vantory::DeadlineList", "완료됨")
                                      : QString::fromStdString(shown.remaining));
            if (shown.hidden)
                parts << QCoreApplication::translate("vantory::DeadlineList", "메뉴바에서 숨김");
            if (shown.edited)
                parts << QCoreApplication::translate("vantory::DeadlineList", "수정됨");
            return parts.join(QStringLiteral(", "));
        }
        case Qt::ToolTipRole:
            return opens() ? QCoreApplication::translate("vantory::DeadlineList", "더블클릭하여 과제 페이지 열기")
                           : QCoreApplication::translate("vantory::DeadlineList", "과제 정보");
        case Qt::AccessibleDescriptionRole:
            // Return opens only what a double click opens.
            return opens()
                ? QCoreApplication::translate("vantory::DeadlineList",
                    "더블클릭하여 과제 페이지 열기. Space 완료, Enter 열기, 메뉴 키 또는 Shift+F10")
                : QCoreApplication::translate("vantory::DeadlineList", "과제 정보. Space 완료, 메뉴 키 또는 Shift+F10");
        default:
            return {};
        }
    }

private:
    bool opens() const { return store_.db().settings.doubleClickOpensAssignment.value_or(true); }

    static bool parseError(const Assessment& item) { return item.deadlineStatus == "parse-error"; }

    bool sameRows(const std::vector<Assessment>& items) const
    {
        return std::equal(items_.begin(), items_.end(), items.begin(), items.end(),
            [](const Assessment& a, const Assessment& b) { return a.id == b.id && parseError(a) == parseError(b); });
    }

    const Store& store_;
    std::vector<Assessment> items_;
    mutable std::vector<std::optional<DashboardItems::Row>> rows_;
};

class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* model = static_cast<const RowModel*>(index.model());
        return {200, rowHeight(option.fontMetrics, model->item(index.row()).deadlineStatus == "parse-error")};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const ItemColors colors = rowColors(option);
        QStyleOptionViewItem background = option;
        background.text.clear();
        background.features &= ~QStyleOptionViewItem::HasDisplay;
        background.state &= ~QStyle::State_Selected;
        option.widget->style()->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, option.widget);
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, colors.backdrop);

        const auto* model = static_cast<const RowModel*>(index.model());
        const DashboardItems::Row& row = model->row(index.row());
        const QPalette& palette = option.palette;
        const QRect box = option.rect;
        const QFontMetrics metrics = option.fontMetrics;
        const int line = metrics.height() + 2;
        const int button = buttonSize(metrics);
        const int textLeft = padding + button + 10;
        const int right = box.right() - padding - button - 6;

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        paintCompletion(
            painter, row, QRectF(box.left() + padding, box.top() + padding, button, button), palette, colors.secondary);

        // Heading: course · category · code, then the hidden mark.
        int top = box.top() + padding;
        QFont bold = option.font;
        bold.setWeight(QFont::DemiBold);
        painter->setFont(bold);
        painter->setPen(colors.accent(QtColor::fromRgb(row.courseColor)));
        const QFontMetrics boldMetrics(bold);
        const int hiddenSpace = row.hidden ? 20 : 0;
        const QString heading = boldMetrics.elidedText(
            QString::fromStdString(row.heading), Qt::ElideRight, right - textLeft - hiddenSpace);
        painter->drawText(QRect(box.left() + textLeft, top, right - textLeft, line), Qt::AlignVCenter, heading);
        if (row.hidden)
            paintHiddenMark(painter,
                QPointF(box.left() + textLeft + boldMetrics.horizontalAdvance(heading) + 11, top + line / 2.0),
                colors.secondary);

        top += line;
        painter->setFont(option.font);
        painter->setPen(colors.text);
        painter->drawText(QRect(box.left() + textLeft, top, right - textLeft, line), Qt::AlignVCenter,
            metrics.elidedText(QString::fromStdString(row.item.title), Qt::ElideRight, right - textLeft));

        top += line;
        paintDateLine(painter, row, QRect(box.left() + textLeft, top, right - textLeft, line), option, colors);

        if (row.parseError) {
            top += line;
            painter->setPen(colors.accent(QtColor::warning(palette)));
            painter->drawText(QRect(box.left() + textLeft, top, right - textLeft, line), Qt::AlignVCenter,
                QCoreApplication::translate("vantory::DeadlineList", "날짜 확인 필요 · 이전 마감 유지"));
        }

        painter->setPen(colors.secondary);
        painter->drawText(QRect(box.right() - padding - button, box.top() + padding, button, button), Qt::AlignCenter,
            QStringLiteral("⋯"));

        // The keyboard's row, in the row's text colour: readable on its backdrop, so it stands out.
        if (option.state & QStyle::State_HasFocus) {
            const qreal inset = focusRingWidth / 2.0 + 1;
            painter->setPen(QPen(colors.text, focusRingWidth));
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(QRectF(box).adjusted(inset, inset, -inset, -inset), 4, 4);
        }
        painter->restore();
    }

private:
    // The selection as the list's focus has it: full highlight with the focus, faint without.
    static ItemColors rowColors(const QStyleOptionViewItem& option)
    {
        if (!(option.state & QStyle::State_Selected))
            return plainItemColors(option.palette, option.palette.color(QPalette::Base));
        const bool focused = option.widget && option.widget->hasFocus() && (option.state & QStyle::State_Active);
        return focused ? selectedItemColors(option.palette) : unfocusedSelectionColors(option.palette);
    }

    static void paintCompletion(
        QPainter* painter, const DashboardItems::Row& row, QRectF area, const QPalette& palette, const QColor& outline)
    {
        const QRectF circle = area.adjusted(2, 2, -2, -2);
        painter->setOpacity(row.autoCompleted ? 0.55 : 1.0);
        if (row.done) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(green(palette));
            painter->drawEllipse(circle);
            QPainterPath check;
            check.moveTo(circle.left() + circle.width() * 0.28, circle.center().y());
            check.lineTo(circle.left() + circle.width() * 0.45, circle.top() + circle.height() * 0.68);
            check.lineTo(circle.left() + circle.width() * 0.74, circle.top() + circle.height() * 0.34);
            painter->setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->setBrush(Qt::NoBrush);
            painter->drawPath(check);
        } else {
            painter->setPen(QPen(outline, 1.5));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(circle);
        }
        painter->setOpacity(1.0);
    }

    static void paintHiddenMark(QPainter* painter, QPointF center, const QColor& color)
    {
        painter->setPen(QPen(color, 1.3));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(center, 6.5, 4);
        painter->drawEllipse(center, 1.6, 1.6);
        painter->drawLine(center + QPointF(-6, 5), center + QPointF(6, -5));
    }

    // The dot keeps the urgency's exact colour; the remaining time as text is made readable.
    static void paintDateLine(QPainter* painter, const DashboardItems::Row& row, QRect area,
        const QStyleOptionViewItem& option, const ItemColors& colors)
    {
        const QFontMetrics metrics = option.fontMetrics;
        int x = area.left();
        const auto draw = [&](const QString& part, const QColor& color) {
            painter->setPen(color);
            painter->drawText(QRect(x, area.top(), area.right() - x, area.height()), Qt::AlignVCenter, part);
            x += metrics.horizontalAdvance(part);
        };
        if (!row.dueText) {
            draw(row.undatedText, colors.secondary);
            return;
        }
        const QColor urgency = QtColor::fromRgb(row.urgency);
        painter->setPen(Qt::NoPen);
        painter->setBrush(urgency);
        painter->drawEllipse(QRectF(x, area.center().y() - 3, 6, 6));
        x += 11;
        draw(QString::fromStdString(*row.dueText), colors.secondary);
        if (!row.done)
            draw(QStringLiteral(" · ") + QString::fromStdString(row.remaining), colors.accent(urgency));
        else
            draw(QStringLiteral(" · ") + QCoreApplication::translate("vantory::DeadlineList", "완료됨"),
                colors.accent(green(option.palette)));
        if (row.edited) {
            const QString tag = QCoreApplication::translate("vantory::DeadlineList", "수정됨");
            const QRectF tagBox(x + 6, area.center().y() - metrics.height() / 2.0, metrics.horizontalAdvance(tag) + 10,
                metrics.height());
            painter->setPen(QPen(colors.secondary, 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(tagBox, 4, 4);
            painter->drawText(tagBox, Qt::AlignCenter, tag);
        }
    }
};

} // namespace

DeadlineList::DeadlineList(Store& store, QWidget* parent)
    : ItemFocusListView(parent)
    , store_(store)
{
    setModel(new RowModel(store, this));
    setItemDelegate(new RowDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAccessibleName(tr("과제 목록"));
}

void DeadlineList::setItems(std::vector<Assessment> items)
{
    auto* rows = static_cast<RowModel*>(model());
    const QModelIndex current = currentIndex();
    const std::string currentID = current.isValid() ? rows->item(current.row()).id : "";
    if (!rows->setItems(std::move(items)) || rows->rowCount() == 0)
        return; // the same rows: the current one stays where it is
    int row = 0;
    while (row < rows->rowCount() && rows->item(row).id != currentID)
        ++row;
    if (row < rows->rowCount())
        setCurrentIndex(rows->index(row)); // the current row stays under the keyboard
    else if (current.isValid() && hasFocus())
        // The row acted on left the list (done under "예정", hidden): the one that took its place.
        setCurrentIndex(rows->index(std::min(current.row(), rows->rowCount() - 1)));
    else
        // Tab lands on the first row, unselected, with no second announcement of it.
        selectionModel()->setCurrentIndex(rows->index(0), QItemSelectionModel::NoUpdate);
}

QSize DeadlineList::sizeHint() const
{
    const int frame = 2 * frameWidth();
    return {ItemFocusListView::sizeHint().width(), frame + qRound(rowsShown * rowHeight(fontMetrics(), false))};
}

int DeadlineList::count() const
{
    return model()->rowCount();
}

QRect DeadlineList::completionRect(int row) const
{
    const QRect box = visualRect(model()->index(row, 0));
    return {box.left() + padding, box.top() + padding, buttonSize(fontMetrics()), buttonSize(fontMetrics())};
}

QRect DeadlineList::menuRect(int row) const
{
    const QRect box = visualRect(model()->index(row, 0));
    const int button = buttonSize(fontMetrics());
    return {box.right() - padding - button, box.top() + padding, button, button};
}

void DeadlineList::showMenu(int row, QPoint position)
{
    const DashboardItems::Row shown = static_cast<RowModel*>(model())->row(row);
    const Assessment item = shown.item;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setAccessibleName(tr("과제 메뉴"));
    menu->addAction(tr("과제 페이지 열기"), this, [this, item] { store_.open(item); });
    menu->addAction(tr("마감 수정·상세 보기"), this, [this, item] {
        if (editRequested)
            editRequested(item);
    });
    menu->addAction(shown.hidden ? tr("숨김 해제") : tr("메뉴바에서 숨기기"), this,
        [this, item] { store_.override(item, [](UserOverride& override) { override.hidden = !override.hidden; }); });
    if (shown.completedByUser) {
        menu->addAction(tr("수동 완료 해제"), this,
            [this, item] { store_.override(item, [](UserOverride& override) { override.completed = false; }); });
    }
    menu->popup(viewport()->mapToGlobal(position));
}

void DeadlineList::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    if (index.isValid() && event->button() == Qt::LeftButton) {
        if (completionRect(index.row()).contains(position)) {
            setCurrentIndex(index);
            toggleCompleted(index.row());
            return;
        }
        if (menuRect(index.row()).contains(position)) {
            setCurrentIndex(index);
            showMenu(index.row(), menuRect(index.row()).bottomLeft());
            return;
        }
    }
    ItemFocusListView::mousePressEvent(event);
}

void DeadlineList::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    if (index.isValid() && !completionRect(index.row()).contains(position) && !menuRect(index.row()).contains(position))
        activate(index.row());
}

void DeadlineList::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex index = currentIndex();
    if (index.isValid()) {
        switch (event->key()) {
        case Qt::Key_Space:
            toggleCompleted(index.row());
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            activate(index.row());
            return;
        case Qt::Key_F10:
            // The other keyboard way to a context menu, for keyboards without the menu key.
            if (event->modifiers() == Qt::ShiftModifier) {
                showMenu(index.row(), visualRect(index).center());
                return;
            }
            break;
        default:
            break;
        }
    }
    ItemFocusListView::keyPressEvent(event);
}

void DeadlineList::contextMenuEvent(QContextMenuEvent* event)
{
    const bool byMouse = event->reason() == QContextMenuEvent::Mouse;
    const QModelIndex index = byMouse ? indexAt(viewport()->mapFromGlobal(event->globalPos())) : currentIndex();
    if (index.isValid())
        showMenu(index.row(), byMouse ? viewport()->mapFromGlobal(event->globalPos()) : visualRect(index).center());
}

bool DeadlineList::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && completionRect(index.row()).contains(help->pos())) {
            QToolTip::showText(
                help->globalPos(), static_cast<RowModel*>(model())->row(index.row()).completionHelp, viewport());
            return true;
        }
    }
    return ItemFocusListView::viewportEvent(event);
}

void DeadlineList::toggleCompleted(int row)
{
    auto* rows = static_cast<RowModel*>(model());
    if (rows->row(row).autoCompleted)
        return;
    const Assessment item = rows->item(row); // the refresh that follows replaces the model's items
    store_.override(item, [](UserOverride& override) { override.completed = !override.completed; });
    // Still listed (and current), the row says its new state; one that left the list is replaced
    // by the next, which the focus announces.
    if (const QModelIndex current = currentIndex(); current.isValid() && rows->item(current.row()).id == item.id) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent event(this, checked);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }
}

void DeadlineList::activate(int row)
{
    if (store_.db().settings.doubleClickOpensAssignment.value_or(true))
        store_.open(static_cast<RowModel*>(model())->item(row));
}

} // namespace vantory
