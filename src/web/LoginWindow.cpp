// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/LoginWindow.h"

#include "web/LoadErrorPanel.h"
#include "web/TextColors.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace vantory {

namespace {

const QColor leafGreen(0x22, 0xC5, 0x5E);

// A top-level QWidget reads as a mere "filler" to a screen reader; the window is a frame, as a
// browser's is.
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String(LoginWindow::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// The green leaf beside the heading.
class LeafMark final : public QWidget {
public:
    explicit LeafMark(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(28, 28);
        setAccessibleName(QStringLiteral("Vantory"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(3, 3, -3, -3);
        QPainterPath leaf;
        leaf.moveTo(box.bottomLeft());
        leaf.cubicTo(QPointF(box.left(), box.top() + box.height() * 0.3),
            QPointF(box.left() + box.width() * 0.4, box.top()), box.topRight());
        leaf.cubicTo(QPointF(box.right(), box.top() + box.height() * 0.6),
            QPointF(box.left() + box.width() * 0.6, box.bottom()), box.bottomLeft());
        painter.fillPath(leaf, leafGreen);
        painter.setPen(QPen(palette().color(QPalette::Base), 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(box.left() + 1, box.bottom() - 1),
            QPointF(box.right() - box.width() * 0.3, box.top() + box.height() * 0.3));
    }
};

QLabel* caption(QWidget* parent)
{
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A caption line under the header: 16 points at the sides, 10 below. A screen reader reads its
// text, then what it is (its description).
QLabel* line(QWidget* parent)
{
    QLabel* label = caption(parent);
    label->setContentsMargins(16, 0, 16, 10);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

LoginWindow::LoginWindow(const QString& siteName, QWebEnginePage* page, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , page_(page)
    , siteName_(siteName)
{
    [[maybe_unused]] static const bool roleInstalled = (QAccessible::installFactory(accessibleWindow), true);
    resize(1050, 780);

    QHBoxLayout* header = buildHeader();
    status_ = line(this);
    message_ = line(this);
    message_->hide();
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    buildPage(page);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(status_);
    layout->addWidget(message_);
    layout->addWidget(divider);
    layout->addWidget(stack_, 1);

    bindKeys();
    url_ = page->url();
    showTexts();
    showColours();
}

// The site's name, the hint, the page's address and the window's buttons.
QHBoxLayout* LoginWindow::buildHeader()
{
    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->setContentsMargins(16, 16, 16, 16);
    header->addWidget(new LeafMark(this), 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    heading_ = new QLabel(this);
    QFont headingFont = heading_->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.15);
    heading_->setFont(headingFont);
    column->addWidget(heading_);
    hint_ = caption(this);
    hint_->setWordWrap(true);
    column->addWidget(hint_);
    // Where the student is about to type a password: the page's host and whether the connection is
    // encrypted.
    location_ = caption(this);
    location_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(location_);
    header->addLayout(column, 1);

    reloadButton_ = new QPushButton(this);
    syncButton_ = new QPushButton(this);
    closeButton_ = new QPushButton(this);
    for (QPushButton* button : {reloadButton_, syncButton_, closeButton_}) {
        button->setAutoDefault(true); // Enter presses the focused button, as Space does
        header->addWidget(button, 0, Qt::AlignTop);
    }
    connect(reloadButton_, &QPushButton::clicked, this, &LoginWindow::reloadRequested);
    connect(syncButton_, &QPushButton::clicked, this, &LoginWindow::syncRequested);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    return header;
}

// The page, or in its place the panel that says why it did not load.
void LoginWindow::buildPage(QWebEnginePage* page)
{
    stack_ = new QStackedWidget(this);
    view_ = new QWebEngineView(stack_);
    view_->setPage(page);
    panel_ = new LoadErrorPanel(stack_);
    stack_->addWidget(view_);
    stack_->addWidget(panel_);
    connect(panel_, &LoadErrorPanel::retryRequested, this, &LoginWindow::reloadRequested);
    connect(panel_, &LoadErrorPanel::addressesRequested, this, &LoginWindow::addressesRequested);
    connect(page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        url_ = url;
        showLocation();
    });
}

void LoginWindow::bindKeys()
{
    setTabOrder(reloadButton_, syncButton_);
    setTabOrder(syncButton_, closeButton_);
    setTabOrder(closeButton_, view_);
    setTabOrder(view_, panel_->retryButton());
    setTabOrder(panel_->retryButton(), panel_->addressesButton());
    auto* reloadKey = new QShortcut(QKeySequence::Refresh, this);
    connect(reloadKey, &QShortcut::activated, this, &LoginWindow::reloadRequested);
    // Escape closes, as in the application's windows, from the page too: the engine reports Escape
    // as handled by every page, so the window could not tell a site that uses it. Closing only hides,
    // so such a site's dialog is still there at the next showing.
    auto* closeKey = new QShortcut(this);
    closeKey->setKeys(QKeySequence::keyBindings(QKeySequence::Close) << QKeySequence(Qt::Key_Escape));
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
}

void LoginWindow::showTexts()
{
    setWindowTitle(tr("Vantory · %1 로그인").arg(siteName_));
    heading_->setText(tr("%1 연결").arg(siteName_));
    hint_->setText(tr("학교 계정으로 로그인한 뒤 ‘일정 업데이트’를 누르세요. 비밀번호는 앱이 수집하지 않습니다."));
    location_->setAccessibleDescription(tr("페이지 주소"));
    reloadButton_->setText(tr("페이지 다시 열기"));
    syncButton_->setText(tr("일정 업데이트"));
    closeButton_->setText(tr("닫기"));
    for (QPushButton* button : {reloadButton_, syncButton_, closeButton_})
        button->setAccessibleName(button->text());
    status_->setAccessibleDescription(tr("상태"));
    message_->setAccessibleDescription(tr("메시지"));
    view_->setAccessibleName(tr("로그인 페이지"));
    showLocation();
}

void LoginWindow::setTexts(const QString& status, const QString& message, bool syncEnabled)
{
    status_->setText(status);
    message_->setText(message);
    syncButton_->setEnabled(syncEnabled);
    showMessage();
}

void LoginWindow::present()
{
    if (!placed_) {
        placed_ = true;
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    showNormal();
    raise();
    activateWindow();
    stack_->currentWidget()->setFocus();
}

void LoginWindow::showNavigation(const WorkerProtocol::Navigation& navigation)
{
    using State = WorkerProtocol::Navigation::State;
    if (!navigation.url.isEmpty())
        url_ = QUrl(navigation.url);
    switch (navigation.state) {
    case State::started:
        state_ = PageState::loading;
        stack_->setCurrentWidget(view_);
        break;
    case State::finished:
        state_ = PageState::loaded;
        stack_->setCurrentWidget(view_);
        break;
    case State::failed:
        if (navigation.cancelled) {
            // A load replaced by a newer one may end after the newer one started.
            state_ = page_->isLoading() ? PageState::loading : PageState::stopped;
            break;
        }
        state_ = PageState::failed;
        panel_->showFailure(navigation.failure, url_);
        stack_->setCurrentWidget(panel_);
        panel_->setFocus(Qt::OtherFocusReason);
        break;
    }
    showLocation();
    showMessage();
}

void LoginWindow::showMessage()
{
    // The panel of a failed load says all the message would, with what to do.
    message_->setVisible(!message_->text().isEmpty() && stack_->currentWidget() != panel_);
}

void LoginWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT closed();
}

void LoginWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showColours();
    else if (event->type() == QEvent::LanguageChange)
        showTexts();
}

void LoginWindow::showColours()
{
    TextColors::paint(hint_, TextColors::secondary(palette()));
    showLocation();
}

void LoginWindow::showLocation()
{
    const QString host = url_.host(QUrl::FullyEncoded); // punycode, so look-alike letters show
    if (host.isEmpty()) {
        location_->clear();
        return;
    }
    // Only a page that loaded is said to be over a secure connection.
    const bool secure = url_.scheme() == QLatin1String("https");
    QColor colour = palette().color(QPalette::WindowText);
    switch (state_) {
    case PageState::loading:
        location_->setText(tr("불러오는 중 · %1").arg(host));
        break;
    case PageState::stopped:
        location_->setText(tr("불러오기 중단 · %1").arg(host));
        break;
    case PageState::failed:
        location_->setText(tr("연결 실패 · %1").arg(host));
        colour = TextColors::warning(palette());
        break;
    case PageState::loaded:
        location_->setText(secure ? tr("보안 연결 (https) · %1").arg(host)
                                  : tr("보안되지 않은 연결 (%1) · %2").arg(url_.scheme(), host));
        if (!secure)
            colour = TextColors::insecure(palette());
        break;
    }
    TextColors::paint(location_, colour);
}

} // namespace vantory
