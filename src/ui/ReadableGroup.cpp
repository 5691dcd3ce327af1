#include "ui/ReadableGroup.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantory {

ReadableGroup::ReadableGroup(const QString& title, QWidget* parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(8);
    if (!title.isEmpty()) {
        auto* label = new QLabel(title, this);
        QFont font = label->font();
        font.setPixelSize(14);
        font.setWeight(QFont::DemiBold);
        label->setFont(font);
        label->setForegroundRole(QPalette::WindowText);
        layout->addWidget(label);
    }
    content_ = new QVBoxLayout;
    content_->setSpacing(6);
    content_->setAlignment(Qt::AlignTop);
    layout->addLayout(content_);
}

} // namespace vantory
