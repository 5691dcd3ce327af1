// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <optional>

#include "protocol/LoadFailure.h"

class QLabel;
class QPushButton;
class QUrl;

namespace vantory {

// What a login window shows in place of a page that did not load: what failed and where, and the
// two ways on (the school's addresses, another try). Its focus goes to the retry button.
class LoadErrorPanel final : public QWidget {
    Q_OBJECT

public:
    explicit LoadErrorPanel(QWidget* parent);

    void showFailure(const LoadFailure& failure, const QUrl& url);
    QPushButton* retryButton() const { return retry_; }
    QPushButton* addressesButton() const { return addresses_; }

Q_SIGNALS:
    void retryRequested();
    void addressesRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    // The panel's texts in the current language; again when the language changes.
    void showTexts();
    void showReason();

    std::optional<LoadFailure> failure_; // the one shown
    QString origin_;
    QLabel* heading_;
    QLabel* reason_;
    QLabel* address_;
    QLabel* hint_;
    QPushButton* retry_;
    QPushButton* addresses_;
};

} // namespace vantory
