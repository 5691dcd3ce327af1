// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ExportScreen.h"

#include "calendar/CalendarFile.h"
#include "engine/Engine.h"
#include "store/Store.h"
#include "ui/Scale.h"
#include "ui/WindowSize.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <utility>

#include "desktop/SecondaryText.h"

namespace vantory {

namespace {

struct AlarmChoice {
    const char* label;
    std::int64_t minutes;
};

constexpr AlarmChoice alarmChoices[] = {{QT_TRANSLATE_NOOP("vantory::ExportScreen", "없음"), 0},
    {QT_TRANSLATE_NOOP("vantory::ExportScreen", "30분 전"), 30},
    {QT_TRANSLATE_NOOP("vantory::ExportScreen", "1시간 전"), 60},
    {QT_TRANSLATE_NOOP("vantory::ExportScreen", "1일 전"), 1440}};

QLabel* wrappedLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

ExportScreen::ExportScreen(Store& store, Choices choices, QWidget* parent, Clock clock)
    : QWidget(parent)
    , store_(store)
    , choices_(std::move(choices))
    , clock_(std::move(clock))
{
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);

    layout->addLayout(titleRow());
    addChoices(layout);
    addNotes(layout);
    layout->addStretch(1);
    layout->addLayout(saveRow());

    fillCourses();
    refresh();
    // Hidden, it notes the change and says nothing; it catches up when shown.
    observer_ = store_.observe([this](Store::Field field) {
        if (!isVisible()) {
            stale_ = true;
            return;
        }
        if (field == Store::Field::db)
            fillCourses();
        refresh();
    });
}

QHBoxLayout* ExportScreen::titleRow()
{
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    const QIcon icon = QIcon::fromTheme(QStringLiteral("x-office-calendar"));
    if (!icon.isNull()) {
        auto* symbol = new QLabel(this);
        symbol->setPixmap(icon.pixmap(Scale::length(symbol, 24)));
        titleRow->addWidget(symbol);
    }
    auto* title = new QLabel(tr("iPhone 캘린더 내보내기"), this);
    QFont titleFont = Scale::font(title->font(), 1.4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    return titleRow;
}

void ExportScreen::addChoices(QVBoxLayout* layout)
{
    // Each drop-down is its label's buddy: a screen reader names it by the label (the combo box's
    // own name is its current value on Linux).
    auto* courseRow = new QHBoxLayout;
    auto* courseLabel = new QLabel(tr("과목"), this);
    courseRow->addWidget(courseLabel);
    course_ = new QComboBox(this);
    courseLabel->setBuddy(course_);
    courseRow->addWidget(course_, 1);
    layout->addLayout(courseRow);
    connect(course_, &QComboBox::activated, this, [this](int index) {
        choices_.courseID = course_->itemData(index).toString().toStdString();
        refresh();
    });

    futureOnly_ = new QCheckBox(tr("앞으로의 마감만"), this);
    futureOnly_->setChecked(choices_.futureOnly);
    connect(futureOnly_, &QCheckBox::toggled, this, [this](bool on) {
        choices_.futureOnly = on;
        refresh();
    });
    layout->addWidget(futureOnly_);
    includeCompleted_ = new QCheckBox(tr("완료한 과제도 포함"), this);
    includeCompleted_->setChecked(choices_.includeCompleted);
    connect(includeCompleted_, &QCheckBox::toggled, this, [this](bool on) {
        choices_.includeCompleted = on;
        refresh();
    });
    layout->addWidget(includeCompleted_);

    auto* alarmRow = new QHBoxLayout;
    auto* alarmLabel = new QLabel(tr("알림"), this);
    alarmRow->addWidget(alarmLabel);
    alarm_ = new QComboBox(this);
    alarmLabel->setBuddy(alarm_);
    for (const AlarmChoice& choice : alarmChoices) {
        alarm_->addItem(QCoreApplication::translate("vantory::ExportScreen", choice.label),
            QVariant::fromValue<qint64>(choice.minutes));
        if (choice.minutes == choices_.alarm)
            alarm_->setCurrentIndex(alarm_->count() - 1);
    }
    connect(alarm_, &QComboBox::activated, this,
        [this](int index) { choices_.alarm = alarm_->itemData(index).value<qint64>(); });
    alarmRow->addWidget(alarm_, 1);
    layout->addLayout(alarmRow);
}

// How many deadlines the file will hold, and where such a file goes.
void ExportScreen::addNotes(QVBoxLayout* layout)
{
    count_ = wrappedLabel(this);
    count_->setFont(Scale::font(count_->font(), 0.95));
    layout->addWidget(count_);
    auto* note = wrappedLabel(this);
    note->setText(tr("파일을 GNOME 캘린더나 Thunderbird 같은 캘린더 앱으로 가져오세요. 온라인 계정(Google, "
                     "Nextcloud 등)의 캘린더에 넣으면 휴대폰에도 표시됩니다. 내보낸 파일은 자동 갱신되지 "
                     "않습니다. 과목별 색상은 가져온 캘린더에서 지정하세요."));
    note->setFont(Scale::font(note->font(), 0.85));
    useSecondaryText(note);
    layout->addWidget(note);
}

QHBoxLayout* ExportScreen::saveRow()
{
    auto* saveRow = new QHBoxLayout;
    resultLabel_ = wrappedLabel(this);
    resultLabel_->setFont(Scale::font(resultLabel_->font(), 0.85));
    useSecondaryText(resultLabel_);
    saveRow->addWidget(resultLabel_, 1);
    save_ = new QPushButton(tr(".ics 저장…"), this);
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &ExportScreen::save);
    saveRow->addWidget(save_);
    return saveRow;
}

ExportScreen::~ExportScreen()
{
    store_.unobserve(observer_);
}

void ExportScreen::showEvent(QShowEvent* event)
{
    if (stale_) {
        stale_ = false;
        fillCourses();
        refresh();
    }
    WindowSize::fit(this, sizeHint());
    QWidget::showEvent(event);
}

QSize ExportScreen::sizeHint() const
{
    const int width = std::max(Scale::length(this, 480), layout()->minimumSize().width());
    return {width, std::max(Scale::length(this, 390), layout()->totalHeightForWidth(width))};
}

Instant ExportScreen::systemClock()
{
    return std::chrono::time_point_cast<Instant::duration>(std::chrono::system_clock::now());
}

std::vector<Assessment> ExportScreen::rows() const
{
    const Database& db = store_.db();
    const Instant now = clock_();
    std::vector<std::pair<Instant, const Assessment*>> kept;
    for (const Assessment* enabled : store_.enabled()) {
        const Assessment& item = *enabled;
        if (choices_.courseID != "all" && item.courseID != choices_.courseID)
            continue;
        const std::optional<Instant> due = store_.due(item);
        if (!due || (choices_.futureOnly && !(*due > now)))
            continue;
        if (!choices_.includeCompleted && Engine::done(item, db))
            continue;
        if (const auto override = db.overrides.find(item.id); override != db.overrides.end() && override->second.hidden)
            continue;
        kept.emplace_back(*due, enabled);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Assessment> items;
    items.reserve(kept.size());
    for (const auto& [due, item] : kept)
        items.push_back(*item);
    return items;
}

void ExportScreen::save()
{
    const QString path = chooser_ ? chooser_(this) : askForPath();
    if (path.isEmpty())
        return;
    const std::vector<Assessment> items = rows();
    const std::string text = CalendarFile::generate(items, store_.db(), choices_.alarm, clock_());
    // QSaveFile writes a temporary file beside the target, syncs it and renames it over the old one.
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly)
        && file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size())
        && file.commit();
    // The count is of the events just written, not of a selection recomputed after the write.
    result_ = written ? tr("%n개 일정 저장 완료", nullptr, static_cast<int>(items.size()))
                      : tr("저장 실패: %1").arg(file.errorString());
    refresh();
}

QString ExportScreen::askForPath()
{
    QFileDialog dialog(this, tr("캘린더 내보내기"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("iCalendar (*.ics)"));
    dialog.setDefaultSuffix(QStringLiteral("ics"));
    dialog.setDirectory(QDir::home());
    dialog.selectFile(QString::fromUtf8(proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void ExportScreen::fillCourses()
{
    std::vector<std::pair<QString, QString>> offered{{tr("모든 활성 과목"), QStringLiteral("all")}};
    for (const Course& course : store_.db().settings.courses) {
        if (course.enabled)
            offered.emplace_back(
                QString::fromStdString(course.name + " · " + course.sourceName()), QString::fromStdString(course.id));
    }
    const auto chosen
        = std::ranges::find(offered, QString::fromStdString(choices_.courseID), &std::pair<QString, QString>::second);
    // A course that is no longer offered (disabled or gone) would limit the export invisibly.
    if (chosen == offered.end())
        choices_.courseID = "all";
    const QSignalBlocker blocker(course_);
    bool same = course_->count() == static_cast<int>(offered.size());
    for (int i = 0; same && i < course_->count(); ++i)
        same = course_->itemText(i) == offered[i].first && course_->itemData(i).toString() == offered[i].second;
    // The list is filled anew only when it changed: each filling is announced.
    if (!same) {
        course_->clear();
        for (const auto& [label, id] : offered)
            course_->addItem(label, id);
    }
    course_->setCurrentIndex(chosen == offered.end() ? 0 : static_cast<int>(chosen - offered.begin()));
}

void ExportScreen::refresh()
{
    const std::size_t count = rows().size();
    // QLabel says nothing when its text stays the same.
    count_->setText(tr(
        "%n개 마감을 .ics 파일로 저장합니다. 마감 시각에 1분 일정으로 표시됩니다.", nullptr, static_cast<int>(count)));
    save_->setEnabled(count > 0);
    resultLabel_->setText(result_);
}

} // namespace vantory
