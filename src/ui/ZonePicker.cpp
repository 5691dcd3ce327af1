// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ZonePicker.h"

#include "model/Zone.h"
#include "ui/ItemFocusListView.h"
#include "ui/Scale.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace vantory {

namespace {

constexpr int idRole = Qt::UserRole;
// What the search matches: the shown text, the id with spaces ("new york") and the city
// ("Kolkata" for Asia/Calcutta).
constexpr int searchRole = Qt::UserRole + 1;

} // namespace

ZonePicker::ZonePicker(const std::string& current, Instant now, Chosen chosen, QWidget* parent)
    : QWidget(parent)
    , chosen_(std::move(chosen))
    , search_(new QLineEdit(this))
    , list_(new ItemFocusListView(this))
    , zones_(new QStandardItemModel(this))
    , filtered_(new QSortFilterProxyModel(this))
{
    setAccessibleName(tr("학교 시간대"));
    // Room for the longest ids with their offset ("America/Argentina/ComodRivadavia · GMT-3").
    setMinimumWidth(Scale::length(this, 300));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    search_->setObjectName(QStringLiteral("zone-search"));
    search_->setAccessibleName(tr("학교 시간대 검색"));
    search_->setPlaceholderText(tr("도시 또는 시간대 검색"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    layout->addWidget(search_);

    for (const ZoneChoice& choice : zoneChoices(now)) {
        const QString id = QString::fromStdString(choice.id);
        auto* item = new QStandardItem(id + QStringLiteral(" · ") + QString::fromStdString(choice.abbreviation));
        item->setEditable(false);
        item->setData(id, idRole);
        const QStringList searched{
            item->text(), QString(id).replace(QLatin1Char('_'), QLatin1Char(' ')), QString::fromStdString(choice.city)};
        item->setData(searched.join(QLatin1Char(' ')), searchRole);
        zones_->appendRow(item);
    }
    filtered_->setSourceModel(zones_);
    filtered_->setFilterRole(searchRole);
    filtered_->setFilterCaseSensitivity(Qt::CaseInsensitive);

    list_->setObjectName(QStringLiteral("zone-list"));
    list_->setAccessibleName(tr("학교 시간대 목록"));
    list_->setModel(filtered_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setUniformItemSizes(true);
    list_->setFixedHeight(Scale::length(list_, 150));
    setCurrent(current);
    list_->installEventFilter(this);
    layout->addWidget(list_);
    setFocusProxy(search_);

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        filtered_->setFilterFixedString(text.trimmed());
        if (!list_->currentIndex().isValid() && filtered_->rowCount() > 0)
            list_->setCurrentIndex(filtered_->index(0, 0));
    });
    connect(list_, &QListView::activated, this, &ZonePicker::choose);
    connect(list_, &QListView::clicked, this, &ZonePicker::choose);
}

void ZonePicker::setCurrent(const std::string& id)
{
    if (id == current_)
        return;
    current_ = id;
    const QModelIndexList found = zones_->match(
        zones_->index(0, 0), idRole, QString::fromStdString(id), 1, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return;
    list_->setCurrentIndex(filtered_->mapFromSource(found.front()));
    list_->scrollTo(list_->currentIndex(), QAbstractItemView::PositionAtCenter);
}

bool ZonePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Down from the search field enters the list, so a screen reader reads the zones as the focus
    // moves; Up from the list's first row returns to the search.
    if (watched == search_ && key == Qt::Key_Down && filtered_->rowCount() > 0) {
        if (!list_->currentIndex().isValid())
            list_->setCurrentIndex(filtered_->index(0, 0));
        list_->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (watched == search_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        choose(list_->currentIndex());
        return true;
    }
    if (watched == list_ && key == Qt::Key_Up && list_->currentIndex().row() <= 0) {
        search_->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ZonePicker::choose(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const std::string id = index.data(idRole).toString().toStdString();
    search_->clear(); // the chosen zone stays current among them all
    list_->scrollTo(list_->currentIndex(), QAbstractItemView::PositionAtCenter);
    if (id == current_)
        return;
    current_ = id;
    chosen_(id);
}

} // namespace vantory
