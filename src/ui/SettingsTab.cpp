// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SettingsTab.h"

#include <QVBoxLayout>

namespace vantory {

namespace {

bool tabStop(const QWidget* widget)
{
    return widget->focusPolicy() != Qt::NoFocus && !widget->focusProxy();
}

// The Tab stops inside `rows`, in Tab order.
QList<QWidget*> stops(QWidget* rows)
{
    QList<QWidget*> found;
    for (QWidget* each = rows->nextInFocusChain(); rows->isAncestorOf(each); each = each->nextInFocusChain()) {
        if (tabStop(each))
            found << each;
    }
    return found;
}

// The nearest control outside `rows` that Tab reaches after them (or before them), within the window.
QWidget* neighbour(QWidget* rows, bool after)
{
    QWidget* window = rows->window();
    for (QWidget* each = after ? rows->nextInFocusChain() : rows->previousInFocusChain(); each != window;
         each = after ? each->nextInFocusChain() : each->previousInFocusChain()) {
        if (!rows->isAncestorOf(each) && tabStop(each) && each->isEnabled() && each->isVisibleTo(window))
            return each;
    }
    return nullptr;
}

} // namespace

void SettingsTab::refresh()
{
    for (const auto& update : updates_)
        update();
}

void SettingsTab::follow(std::function<void()> update)
{
    update();
    updates_.push_back(std::move(update));
}

SettingsPart::SettingsPart(std::function<QStringList()> key, Build build, QWidget* parent)
    : QWidget(parent)
    , keyOf_(std::move(key))
    , build_(std::move(build))
    , key_(keyOf_())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    rebuild();
}

void SettingsPart::refresh()
{
    if (QStringList key = keyOf_(); key != key_) {
        key_ = std::move(key);
        rebuild();
        return;
    }
    for (const auto& update : updates_)
        update();
}

void SettingsPart::rebuild()
{
    QWidget* old = content_;
    updates_.clear();
    content_ = new QWidget(this);
    build_(*this);
    layout()->addWidget(content_);
    for (const auto& update : updates_)
        update();
    if (!old)
        return;
    content_->show(); // now, not on the next turn: the focus may go there
    // New widgets join the end of the window's Tab order; the rows go back where the part is.
    QWidget* previous = neighbour(this, false);
    for (QWidget* stop : stops(content_)) {
        if (previous)
            QWidget::setTabOrder(previous, stop);
        previous = stop;
    }
    if (QWidget* focused = window()->focusWidget(); old->isAncestorOf(focused)) {
        QWidget* again
            = focused->objectName().isEmpty() ? nullptr : content_->findChild<QWidget*>(focused->objectName());
        if (!again)
            again = neighbour(old, true);
        if (!again)
            again = neighbour(old, false);
        if (again)
            again->setFocus(Qt::OtherFocusReason);
    }
    delete old;
}

} // namespace vantory
