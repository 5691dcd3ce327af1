// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AccessibleRole.h"

#include <QAccessibleWidget>
#include <QString>
#include <QToolButton>
#include <QWidget>

namespace vantory::AccessibleRole {

namespace {

constexpr const char* windowRoleProperty = "vantoryWindowRole";
constexpr const char* choiceProperty = "vantoryChoice";

// A choice as QAccessibleButton presents a checkable, auto-exclusive button.
class ChoiceAccessible : public QAccessibleWidget {
public:
    explicit ChoiceAccessible(QToolButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        const QString text = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && text.isEmpty() ? button()->text() : text;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            button()->click();
    }

private:
    QToolButton* button() const { return static_cast<QToolButton*>(widget()); }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (const QVariant role = widget->property(windowRoleProperty); role.isValid())
        return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
    if (auto* button = qobject_cast<QToolButton*>(widget); button && button->property(choiceProperty).toBool())
        return new ChoiceAccessible(button);
    return nullptr;
}

} // namespace

void setWindowRole(QWidget* window, QAccessible::Role role)
{
    QAccessible::installFactory(&interfaceFor); // once: a second installation is ignored
    window->setProperty(windowRoleProperty, static_cast<int>(role));
}

void makeChoice(QToolButton* button)
{
    QAccessible::installFactory(&interfaceFor);
    button->setProperty(choiceProperty, true);
    button->setCheckable(true);
    button->setAutoExclusive(true);
}

} // namespace vantory::AccessibleRole
