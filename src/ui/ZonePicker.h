// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"

#include <QWidget>

#include <functional>
#include <string>

class QLineEdit;
class QListView;
class QModelIndex;
class QSortFilterProxyModel;
class QStandardItemModel;

namespace vantory {

// A searchable list of the zones ICU knows, each with its short name at now
// ("America/Toronto · EST"). Typing filters the list by id, city or short name; Enter in the search
// field chooses the highlighted zone, Down moves into the list, where Enter or a click chooses; a
// choice ends the search. The current zone is highlighted.
class ZonePicker : public QWidget {
    Q_OBJECT

public:
    using Chosen = std::function<void(const std::string& id)>;

    // chosen receives the canonical id of a zone the user picks other than current.
    ZonePicker(const std::string& current, Instant now, Chosen chosen, QWidget* parent = nullptr);

    // Highlights the zone chosen elsewhere.
    void setCurrent(const std::string& id);
    QLineEdit* searchField() const { return search_; }
    QListView* list() const { return list_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(const QModelIndex& index);

    std::string current_;
    Chosen chosen_;
    QLineEdit* search_;
    QListView* list_;
    QStandardItemModel* zones_;
    QSortFilterProxyModel* filtered_;
};

} // namespace vantory
