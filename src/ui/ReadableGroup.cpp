// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ReadableGroup.h"

#include "ui/AccessibleText.h"
#include "ui/Scale.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QVBoxLayout>

namespace vantory {

namespace {

QAccessibleInterface* groupingFactory(const QString& className, QObject* object)
{
    auto* group = qobject_cast<ReadableGroup*>(object);
    if (!group || className != QLatin1String(ReadableGroup::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(group, QAccessible::Grouping);
}

} // namespace

ReadableGroup::ReadableGroup(const QString& title, QWidget* parent)
    : QFrame(parent)
    , title_(new QLabel(this))
    , content_(new QVBoxLayout)
{
    static const bool roleInstalled = (QAccessible::installFactory(&groupingFactory), true);
    Q_UNUSED(roleInstalled);
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(8);
    QFont font = Scale::font(title_->font(), 1.05);
    font.setWeight(QFont::DemiBold);
    title_->setFont(font);
    title_->setForegroundRole(QPalette::WindowText);
    layout->addWidget(title_);
    content_->setSpacing(6);
    content_->setAlignment(Qt::AlignTop);
    layout->addLayout(content_);
    setTitle(title);
}

void ReadableGroup::setTitle(const QString& title)
{
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
    AccessibleText::setName(this, title);
}

} // namespace vantory
