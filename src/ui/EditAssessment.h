// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/Instant.h"
#include "model/Zone.h"

#include <QDialog>

class QCheckBox;
class QHBoxLayout;
class QVBoxLayout;
class QDateTimeEdit;
class QPushButton;

namespace vantory {

class Store;

// The sheet for one item: its site dates and access rules, and a deadline of the user's own that
// replaces the site's everywhere. Window-modal over its parent; nothing is written until "저장",
// which stores the choice in the item's override. Edits in the wall clock of the school's zone as
// it was when the sheet opened; the choice is stored as an instant.
class EditAssessment : public QDialog {
    Q_OBJECT

public:
    // Shows a copy of item; store must outlive the sheet.
    EditAssessment(Store& store, const Assessment& item, QWidget* parent = nullptr);

    bool custom() const;
    // The deadline being edited.
    Instant date() const { return date_; }

    QCheckBox* customSwitch() const { return custom_; }
    QDateTimeEdit* dateEditor() const { return editor_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addDeadlineRows(QVBoxLayout* layout, bool customDue);
    void addRules(QVBoxLayout* layout);
    QHBoxLayout* buttonRow();
    void save();

    Store& store_;
    const Assessment item_;
    const Zone zone_;
    Instant date_;
    QCheckBox* custom_;
    QDateTimeEdit* editor_;
    QPushButton* save_;
    QPushButton* cancel_;
};

} // namespace vantory
