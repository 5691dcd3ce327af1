// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EditAssessment.h"

#include "model/Dates.h"
#include "store/Store.h"
#include "ui/ZoneTime.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>

#include "desktop/SecondaryText.h"

namespace vantory {

namespace {

QLabel* secondaryLabel(const QString& content, QWidget* parent)
{
    auto* label = new QLabel(content, parent);
    label->setWordWrap(true);
    useSecondaryText(label);
    return label;
}

// The picker edits whole minutes; the moment shown is the current minute.
Instant currentMinute()
{
    const double seconds = secondsSince1970(std::chrono::system_clock::now());
    return instantFromSeconds(std::floor(seconds / 60) * 60);
}

} // namespace

EditAssessment::EditAssessment(Store& store, const Assessment& item, QWidget* parent)
    : QDialog(parent)
    , store_(store)
    , item_(item)
    , zone_(store.zone())
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(tr("마감 수정"));

    const auto override = store_.db().overrides.find(item_.id);
    const bool customDue = override != store_.db().overrides.end() && override->second.due.has_value();
    date_ = store_.due(item_).value_or(currentMinute());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);

    auto* heading = new QLabel(
        QString::fromStdString(item_.code) + QStringLiteral(" · ") + QString::fromStdString(item_.title), this);
    heading->setWordWrap(true);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.2);
    heading->setFont(headingFont);
    layout->addWidget(heading);

    if (item_.due)
        layout->addWidget(
            new QLabel(tr("사이트 마감: %1").arg(QString::fromStdString(Dates::display(*item_.due, zone_))), this));
    if (item_.release)
        layout->addWidget(
            new QLabel(tr("공개: %1").arg(QString::fromStdString(Dates::display(*item_.release, zone_))), this));

    addDeadlineRows(layout, customDue);
    if (!item_.rules.empty())
        addRules(layout);
    layout->addStretch(1);
    layout->addLayout(buttonRow());

    custom_->setFocus(Qt::TabFocusReason);
}

// The choice of a deadline set by hand, its picker in the school's zone, and what that means.
void EditAssessment::addDeadlineRows(QVBoxLayout* layout, bool customDue)
{
    custom_ = new QCheckBox(tr("마감 직접 설정"), this);
    custom_->setChecked(customDue);
    layout->addWidget(custom_);

    auto* dateRow = new QHBoxLayout;
    auto* dateLabel = new QLabel(tr("마감"), this);
    dateRow->addWidget(dateLabel);
    editor_ = new QDateTimeEdit(this);
    dateLabel->setBuddy(editor_);
    editor_->setTimeSpec(Qt::UTC);
    editor_->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    editor_->setCalendarPopup(true);
    editor_->setDateTime(ZoneTime::wallClock(date_, zone_));
    editor_->setEnabled(customDue);
    dateRow->addWidget(editor_, 1);
    layout->addLayout(dateRow);
    // Connected after the first value, so an untouched picker keeps the deadline to the second.
    connect(editor_, &QDateTimeEdit::dateTimeChanged, this,
        [this](const QDateTime& wallClock) { date_ = ZoneTime::instant(wallClock, zone_); });
    connect(custom_, &QCheckBox::toggled, editor_, &QWidget::setEnabled);

    layout->addWidget(secondaryLabel(
        tr("시간대: %1. 직접 설정한 마감은 동기화가 덮어쓰지 않습니다.").arg(QString::fromStdString(zone_.id())),
        this));
}

// The site's credit periods, as it writes them.
void EditAssessment::addRules(QVBoxLayout* layout)
{
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    auto* rulesHeading = new QLabel(tr("점수 인정 기간"), this);
    QFont bold = rulesHeading->font();
    bold.setBold(true);
    rulesHeading->setFont(bold);
    layout->addWidget(rulesHeading);
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const AccessRule& rule : item_.rules) {
        auto* line = new QLabel(QString::number(std::trunc(rule.credit), 'f', 0) + QStringLiteral("% · ")
                + QString::fromStdString(rule.start) + QStringLiteral(" → ") + QString::fromStdString(rule.end),
            this);
        line->setFont(mono);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(line);
    }
}

QHBoxLayout* EditAssessment::buttonRow()
{
    auto* buttons = new QHBoxLayout;
    auto* open = new QPushButton(tr("과제 열기"), this);
    open->setAutoDefault(false);
    connect(open, &QPushButton::clicked, this, [this] { store_.open(item_); });
    buttons->addWidget(open);
    buttons->addStretch(1);
    cancel_ = new QPushButton(tr("취소"), this);
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel_);
    save_ = new QPushButton(tr("저장"), this);
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &EditAssessment::save);
    buttons->addWidget(save_);
    return buttons;
}

// The sheet opens on its first choice with the focus drawn, as if reached with Tab; showing a
// window clears that mark, so it is set here.
void EditAssessment::showEvent(QShowEvent* event)
{
    setAttribute(Qt::WA_KeyboardFocusChange);
    QDialog::showEvent(event);
}

bool EditAssessment::custom() const
{
    return custom_->isChecked();
}

void EditAssessment::save()
{
    const std::optional<Instant> due = custom() ? std::optional(date_) : std::nullopt;
    store_.override(item_, [due](UserOverride& override) { override.due = due; });
    accept();
}

} // namespace vantory
