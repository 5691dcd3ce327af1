#include "ui/ExportScreen.h"

#include "calendar/CalendarFile.h"
#include "engine/Engine.h"
#include "store/Store.h"

#include <QCheckBox>
#include <QComboBox>
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

constexpr AlarmChoice alarmChoices[] = {{"없음", 0}, {"30분 전", 30}, {"1시간 전", 60}, {"1일 전", 1440}};

QFont scaled(QFont font, double factor)
{
    font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

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

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    const QIcon icon = QIcon::fromTheme(QStringLiteral("x-office-calendar"));
    if (!icon.isNull()) {
        auto* symbol = new QLabel(this);
        symbol->setPixmap(icon.pixmap(24, 24));
        titleRow->addWidget(symbol);
    }
    auto* title = new QLabel(QStringLiteral("iPhone 캘린더 내보내기"), this);
    QFont titleFont = scaled(title->font(), 1.4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    layout->addLayout(titleRow);

    auto* courseRow = new QHBoxLayout;
    courseRow->addWidget(new QLabel(QStringLiteral("과목"), this));
    course_ = new QComboBox(this);
    courseRow->addWidget(course_, 1);
    layout->addLayout(courseRow);
    connect(course_, &QComboBox::activated, this, [this](int index) {
        choices_.courseID = course_->itemData(index).toString().toStdString();
        refresh();
    });

    futureOnly_ = new QCheckBox(QStringLiteral("앞으로의 마감만"), this);
    futureOnly_->setChecked(choices_.futureOnly);
    connect(futureOnly_, &QCheckBox::toggled, this, [this](bool on) {
        choices_.futureOnly = on;
        refresh();
    });
    layout->addWidget(futureOnly_);
    includeCompleted_ = new QCheckBox(QStringLiteral("완료한 과제도 포함"), this);
    includeCompleted_->setChecked(choices_.includeCompleted);
    connect(includeCompleted_, &QCheckBox::toggled, this, [this](bool on) {
        choices_.includeCompleted = on;
        refresh();
    });
    layout->addWidget(includeCompleted_);

    auto* alarmRow = new QHBoxLayout;
    alarmRow->addWidget(new QLabel(QStringLiteral("알림"), this));
    alarm_ = new QComboBox(this);
    for (const AlarmChoice& choice : alarmChoices) {
        alarm_->addItem(QString::fromUtf8(choice.label), QVariant::fromValue<qint64>(choice.minutes));
        if (choice.minutes == choices_.alarm)
            alarm_->setCurrentIndex(alarm_->count() - 1);
    }
    connect(alarm_, &QComboBox::activated, this,
        [this](int index) { choices_.alarm = alarm_->itemData(index).value<qint64>(); });
    alarmRow->addWidget(alarm_, 1);
    layout->addLayout(alarmRow);

    count_ = wrappedLabel(this);
    count_->setFont(scaled(count_->font(), 0.95));
    layout->addWidget(count_);
    auto* note = wrappedLabel(this);
    note->setText(QStringLiteral("파일을 GNOME 캘린더나 Thunderbird 같은 캘린더 앱으로 가져오세요. 온라인 계정(Google, "
                                 "Nextcloud 등)의 캘린더에 넣으면 휴대폰에도 표시됩니다. 내보낸 파일은 자동 갱신되지 "
                                 "않습니다. 과목별 색상은 가져온 캘린더에서 지정하세요."));
    note->setFont(scaled(note->font(), 0.85));
    useSecondaryText(note);
    layout->addWidget(note);
    layout->addStretch(1);

    auto* saveRow = new QHBoxLayout;
    resultLabel_ = wrappedLabel(this);
    resultLabel_->setFont(scaled(resultLabel_->font(), 0.85));
    useSecondaryText(resultLabel_);
    saveRow->addWidget(resultLabel_, 1);
    save_ = new QPushButton(QStringLiteral(".ics 저장…"), this);
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &ExportScreen::save);
    saveRow->addWidget(save_);
    layout->addLayout(saveRow);

    fillCourses();
    refresh();
    observer_ = store_.observe([this](Store::Field field) {
        if (field == Store::Field::db)
            fillCourses();
        refresh();
    });
}

ExportScreen::~ExportScreen()
{
    store_.unobserve(observer_);
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
    result_ = written ? QString::number(items.size()) + QStringLiteral("개 일정 저장 완료")
                      : QStringLiteral("저장 실패: ") + file.errorString();
    refresh();
}

QString ExportScreen::askForPath()
{
    QFileDialog dialog(this, QStringLiteral("캘린더 내보내기"));
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
    const QSignalBlocker blocker(course_);
    course_->clear();
    course_->addItem(QStringLiteral("모든 활성 과목"), QStringLiteral("all"));
    bool chosenOffered = choices_.courseID == "all";
    for (const Course& course : store_.db().settings.courses) {
        if (!course.enabled)
            continue;
        course_->addItem(
            QString::fromStdString(course.name + " · " + course.sourceName()), QString::fromStdString(course.id));
        if (course.id == choices_.courseID) {
            chosenOffered = true;
            course_->setCurrentIndex(course_->count() - 1);
        }
    }
    // A course that is no longer offered (disabled or gone) would limit the export invisibly.
    if (!chosenOffered) {
        choices_.courseID = "all";
        course_->setCurrentIndex(0);
    }
}

void ExportScreen::refresh()
{
    const std::size_t count = rows().size();
    count_->setText(QString::number(count)
        + QStringLiteral("개 마감을 .ics 파일로 저장합니다. 마감 시각에 1분 일정으로 표시됩니다."));
    save_->setEnabled(count > 0);
    resultLabel_->setText(result_);
}

} // namespace vantory
