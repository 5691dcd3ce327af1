// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorModeMenu.h"

#include "model/Modes.h"
#include "ui/AccessibleText.h"
#include "ui/Scale.h"

#include <QAction>
#include <QMenu>

namespace vantory {

std::vector<std::pair<QString, std::string>> ColorModeMenu::options(bool courseOnly)
{
    using namespace Modes::ColorSource;
    if (courseOnly)
        return {{tr("캘린더와 동일"), calendar}, {tr("남은 시간 기준"), urgency}, {tr("직접 선택"), custom}};
    return {{tr("남은 시간 기준"), urgency}, {tr("캘린더 과목색"), calendar}, {tr("메뉴바 과목색"), course},
        {tr("직접 선택"), custom}};
}

ColorModeMenu::ColorModeMenu(bool courseOnly, QWidget* parent)
    : QToolButton(parent)
    , menu_(new QMenu(this))
{
    setFixedSize(Scale::length(this, 142), Scale::length(this, 28));
    setToolTip(tr("색상 적용 방식"));
    setAccessibleName(tr("색상 적용 방식"));
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const auto& [label, value] : options(courseOnly)) {
        QAction* action = menu_->addAction(label);
        action->setCheckable(true);
        action->setData(QString::fromStdString(value));
        connect(action, &QAction::triggered, this, [this, option = value] { Q_EMIT modeChosen(option); });
    }
    setMenu(menu_);
}

void ColorModeMenu::setMode(const std::string& mode)
{
    mode_ = mode;
    QString face = tr("직접 선택");
    const QString value = QString::fromStdString(mode);
    for (QAction* action : menu_->actions()) {
        const bool current = action->data().toString() == value;
        action->setChecked(current);
        if (current)
            face = action->text();
    }
    setText(face);
    AccessibleText::setDescription(this, face);
}

} // namespace vantory
