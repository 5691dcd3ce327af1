// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/LoadErrorPanel.h"

#include "web/TextColors.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace vantory {

namespace {

// Its text is what a screen reader reads.
QLabel* label(QWidget* parent)
{
    auto* made = new QLabel(parent);
    made->setTextFormat(Qt::PlainText);
    made->setWordWrap(true);
    made->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return made;
}

} // namespace

LoadErrorPanel::LoadErrorPanel(QWidget* parent)
    : QWidget(parent)
{
    heading_ = label(this);
    QFont headingFont = heading_->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    heading_->setFont(headingFont);
    reason_ = label(this);
    address_ = label(this);
    TextColors::paint(address_, TextColors::secondary(palette()));
    hint_ = label(this);

    retry_ = new QPushButton(this);
    addresses_ = new QPushButton(this);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    for (QPushButton* button : {retry_, addresses_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    connect(retry_, &QPushButton::clicked, this, &LoadErrorPanel::retryRequested);
    connect(addresses_, &QPushButton::clicked, this, &LoadErrorPanel::addressesRequested);
    setFocusProxy(retry_);

    auto* column = new QVBoxLayout;
    column->setSpacing(10);
    column->addWidget(heading_);
    column->addWidget(reason_);
    column->addWidget(address_);
    column->addWidget(hint_);
    column->addSpacing(6);
    column->addLayout(buttons);
    auto* centred = new QHBoxLayout(this);
    centred->setContentsMargins(32, 32, 32, 32);
    centred->addStretch(1);
    centred->addLayout(column, 4);
    centred->addStretch(1);
    column->insertStretch(0, 1);
    column->addStretch(2);
    showTexts();
}

void LoadErrorPanel::showTexts()
{
    setAccessibleName(tr("페이지 오류"));
    heading_->setText(tr("페이지를 열지 못했습니다"));
    reason_->setAccessibleDescription(tr("원인"));
    hint_->setText(tr("설정의 ‘학교 사이트’에서 주소가 맞는지 확인하고, 인터넷 연결을 확인한 뒤 "
                      "다시 시도해 주세요."));
    retry_->setText(tr("다시 시도"));
    addresses_->setText(tr("학교 사이트 설정 열기"));
    for (QPushButton* button : {retry_, addresses_})
        button->setAccessibleName(button->text());
    showReason();
}

void LoadErrorPanel::showFailure(const LoadFailure& failure, const QUrl& url)
{
    failure_ = failure;
    // The origin as the school's address is written in the settings; punycode, so look-alike letters show.
    origin_ = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
                  .toString(QUrl::FullyEncoded);
    showReason();
}

void LoadErrorPanel::showReason()
{
    if (!failure_)
        return;
    const QString reason = QString::fromStdString(loadFailureText(*failure_));
    reason_->setText(reason);
    address_->setText(tr("주소: %1").arg(origin_.isEmpty() ? tr("(없음)") : origin_));
    // A screen reader that lands on the button hears why it is there.
    retry_->setAccessibleDescription(reason);
}

void LoadErrorPanel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        TextColors::paint(address_, TextColors::secondary(palette()));
    else if (event->type() == QEvent::LanguageChange)
        showTexts();
}

} // namespace vantory
