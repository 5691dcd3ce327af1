// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebWorker.h"

#include "web/LoginWindow.h"
#include "web/WorkerPage.h"

#include <QCoreApplication>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cerrno>
#include <type_traits>
#include <unistd.h>

namespace vantory {

namespace {

using namespace WorkerProtocol;

constexpr int protocolError = 3;
constexpr int httpCacheBytes = 16 * 1024 * 1024;

bool isLogin(PageId id)
{
    return id == PageId::assessmentLogin || id == PageId::canvasLogin;
}

// 0 for the assessment site's pages, 1 for Canvas's.
std::size_t siteIndex(PageId id)
{
    return id == PageId::canvas || id == PageId::canvasLogin ? 1 : 0;
}

} // namespace

WebWorker::WebWorker(const QString& profileFolder, int input, int output)
    : input_(input)
    , output_(output)
    , profile_(std::make_unique<QWebEngineProfile>(QStringLiteral("vantory")))
    , notifier_(input, QSocketNotifier::Read)
{
    profile_->setPersistentStoragePath(profileFolder + QStringLiteral("/storage"));
    profile_->setCachePath(profileFolder + QStringLiteral("/cache"));
    // Session cookies too, so a sign-in outlives the worker, which quits whenever it is idle. The
    // HTTP cache stays in memory, so no copy of private course pages lies on disk; the pages
    // themselves are always fetched anew (WorkerPage::startLoad). Qt 6.4's NoCache is no choice: with
    // it a fresh profile's first navigation sometimes never sends its request. Left to itself the
    // engine lets that cache grow to 2 % of the machine's memory, up to 50 MiB; 16 MiB still keeps a
    // site's scripts and styles between the pages of one pass.
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setHttpCacheMaximumSize(httpCacheBytes);
    connect(&notifier_, &QSocketNotifier::activated, this, &WebWorker::readInput);
}

WebWorker::~WebWorker()
{
    notifier_.setEnabled(false);
    for (auto& window : windows_)
        window.reset();
    for (auto& view : hiddenViews_)
        view.reset();
    for (auto& page : pages_)
        page.reset();
}

void WebWorker::readInput()
{
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(input_, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (count <= 0) { // the application is gone
            quit(0);
            return;
        }
        buffer_.append(QByteArray(chunk, count));
        if (static_cast<std::size_t>(count) < sizeof chunk)
            break;
    }
    while (!quitting_) {
        const std::optional<QByteArray> line = buffer_.take();
        if (!line)
            break;
        const std::optional<Command> command = decodeCommand(*line);
        if (!command) {
            quit(protocolError);
            return;
        }
        handle(*command);
    }
    if (buffer_.overflowed())
        quit(protocolError);
}

void WebWorker::handle(const Command& command)
{
    if (!greeted_ && !std::holds_alternative<Hello>(command)) {
        quit(protocolError);
        return;
    }
    std::visit(
        [this](const auto& c) {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, Hello>) {
                if (greeted_)
                    return quit(protocolError);
                greeted_ = true;
                send(Ready{});
                if (c.version != WorkerProtocol::version)
                    quit(protocolError);
            } else if constexpr (std::is_same_v<T, Load>) {
                const QUrl url(c.url, QUrl::StrictMode);
                if (!url.isValid() || url.isRelative()) {
                    send(Navigation{
                        c.page, c.load, Navigation::State::failed, c.url, false, {LoadFailure::Kind::badAddress, 0}});
                    return;
                }
                page(c.page).startLoad(c.load, url, c.timeout);
            } else if constexpr (std::is_same_v<T, Stop>) {
                if (pages_[static_cast<std::size_t>(c.page)])
                    page(c.page).stopLoad();
            } else if constexpr (std::is_same_v<T, Evaluate>) {
                page(c.page).startCall(c.call, c.script, c.async);
            } else if constexpr (std::is_same_v<T, ShowLogin>) {
                setEnglish(c.english);
                window(c.page).present();
            } else if constexpr (std::is_same_v<T, WorkerProtocol::LoginTexts>) {
                texts_[siteIndex(c.page)] = {c.status, c.message, c.syncEnabled};
                if (windows_[siteIndex(c.page)])
                    windows_[siteIndex(c.page)]->setTexts(c.status, c.message, c.syncEnabled);
            } else {
                static_assert(std::is_same_v<T, Quit>);
                quit(0);
            }
        },
        command);
}

void WebWorker::send(const Event& event)
{
    if (quitting_)
        return;
    QByteArray line = encode(event);
    if (line.size() > maxMessageBytes + 1) {
        // Only a script's value can be this large; the application would refuse the whole line.
        const auto* result = std::get_if<Result>(&event);
        if (!result)
            return;
        line = encode(Result{result->call, PageError{PageError::Kind::script, "the script's value is too large"}});
    }
    const char* data = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(output_, data, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) { // the application is gone
            quit(0);
            return;
        }
        data += written;
        left -= written;
    }
}

void WebWorker::quit(int exitCode)
{
    if (quitting_)
        return;
    quitting_ = true;
    notifier_.setEnabled(false);
    QCoreApplication::exit(exitCode);
}

WorkerPage& WebWorker::page(PageId id)
{
    auto& slot = pages_[static_cast<std::size_t>(id)];
    if (slot)
        return *slot;
    const bool hidden = !isLogin(id);
    slot = std::make_unique<WorkerPage>(
        id, hidden, profile_.get(), [this, id](const Event& e) { pageEvent(id, e); }, nullptr);
    if (hidden) {
        // The sync page is laid out as in a 1000 × 800 window that is never shown.
        auto view = std::make_unique<QWebEngineView>();
        view->setPage(slot.get());
        view->resize(1000, 800);
        hiddenViews_[siteIndex(id)] = std::move(view);
        return *slot;
    }
    // A login page has its window from the start, so the window hears every navigation of it.
    const QString siteName = id == PageId::canvasLogin ? QStringLiteral("Canvas") : QStringLiteral("BrevaneLearn");
    auto& window = windows_[siteIndex(id)];
    window = std::make_unique<LoginWindow>(siteName, slot.get());
    const LoginTexts& texts = texts_[siteIndex(id)];
    window->setTexts(texts.status, texts.message, texts.syncEnabled);
    const auto button = [this, id](LoginButton::Button which) { send(LoginButton{id, which}); };
    connect(window.get(), &LoginWindow::reloadRequested, this, [button] { button(LoginButton::Button::reload); });
    connect(window.get(), &LoginWindow::syncRequested, this, [button] { button(LoginButton::Button::sync); });
    connect(window.get(), &LoginWindow::closed, this, [button] { button(LoginButton::Button::closed); });
    connect(window.get(), &LoginWindow::addressesRequested, this, [button] { button(LoginButton::Button::addresses); });
    return *slot;
}

void WebWorker::pageEvent(PageId id, const Event& event)
{
    // The window goes first when the worker ends.
    if (const auto* navigation = std::get_if<Navigation>(&event); navigation && isLogin(id) && windows_[siteIndex(id)])
        windows_[siteIndex(id)]->showNavigation(*navigation);
    send(event);
}

void WebWorker::setEnglish(bool english)
{
    if (english == english_)
        return;
    english_ = english;
    // Open windows hear of it through Qt's LanguageChange event.
    QCoreApplication::removeTranslator(&translator_);
    if (english && translator_.load(QStringLiteral(":/i18n/vantory_en.qm")))
        QCoreApplication::installTranslator(&translator_);
}

LoginWindow& WebWorker::window(PageId loginPage)
{
    page(loginPage);
    return *windows_[siteIndex(loginPage)];
}

} // namespace vantory
