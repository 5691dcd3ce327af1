// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/LoginFlow.h"

#include "connection/BrevaneConnection.h"
#include "connection/PageScripts.h"
#include "connection/SiteURLs.h"
#include "store/Store.h"

#include "schedule/Sleep.h"

namespace vantory {

LoginFlow::LoginFlow(BrevaneConnection& connection, LoginView& view)
    : connection_(connection)
    , view_(view)
    , page_(view.page())
    , probe_(connection.scheduler(), [this] {
        if (!page_.isLoading())
            check();
    })
{
    page_.onFinished = [this] { check(); };
    page_.onFailed = [this](const PageError& error) {
        if (error.kind != PageError::Kind::cancelled)
            setMessage(tr("로그인 페이지를 열지 못했습니다: %1 · 페이지 다시 열기를 눌러 주세요.")
                           .arg(QString::fromStdString(loadFailureText(error.load)))
                           .toStdString());
    };
    page_.onTerminated
        = [this] { setMessage(tr("로그인 페이지가 중단되었습니다. 페이지 다시 열기를 눌러 주세요.").toStdString()); };
    view_.onReload = [this] { reload(); };
    view_.onSync = [this] { connection_.sync(); };
    view_.onAddresses = [this] {
        if (const Store::Action& open = connection_.store().schoolSitesWindow)
            open();
    };
    // A closed window's page is no longer probed, so the web worker can quit and free its memory;
    // showing the window again reloads and probes anew.
    view_.onClosed = [this] { probe_.stop(); };
    storeObserver_ = connection_.store().observe([this](Store::Field field) {
        using Field = Store::Field;
        if (field == Field::status || field == Field::canvasStatus || field == Field::brevaneSyncing
            || field == Field::canvasSyncing)
            refreshTexts();
    });
    refreshTexts();
}

LoginFlow::~LoginFlow()
{
    connection_.store().unobserve(storeObserver_);
    page_.onFinished = nullptr;
    page_.onFailed = nullptr;
    page_.onTerminated = nullptr;
}

void LoginFlow::show()
{
    view_.show();
    reload();
}

void LoginFlow::reload()
{
    detected_ = false;
    setMessage(tr("학교 로그인 페이지를 여는 중…").toStdString());
    probe_.startRepeating(probeInterval);
    page_.load(SiteURLs::startPage(connection_.site()), networkTimeoutSeconds);
}

void LoginFlow::check()
{
    // Only the site's own pages are asked; a single-sign-on page elsewhere never is.
    if (detected_ || !SiteURLs::isOnSite(QUrl(QString::fromStdString(page_.url())), connection_.site()))
        return;
    page_.evaluate(signedInCheck(connection_.site()), [this](const ScriptOutcome& outcome) {
        const auto* value = std::get_if<ScriptValue>(&outcome);
        if (detected_ || !value || value->kind != ScriptValue::Kind::flag || !value->flag)
            return;
        detected_ = true;
        setMessage(tr("로그인 완료 · 일정을 업데이트합니다.").toStdString());
        probe_.stop();
        Store& store = connection_.store();
        if (connection_.isCanvas()) {
            store.setCanvasNeedsLogin(false);
            store.setCanvasStatus(tr("Canvas 로그인 완료").toStdString());
        } else {
            store.setNeedsLogin(false);
            store.setStatus(tr("BrevaneLearn 로그인 완료").toStdString());
        }
        syncAfterRunningPass();
    });
}

QCoro::Task<> LoginFlow::syncAfterRunningPass()
{
    while (connection_.running())
        co_await Sleep(connection_.scheduler(), std::chrono::milliseconds(500));
    connection_.sync();
}

void LoginFlow::setMessage(std::string message)
{
    message_ = std::move(message);
    refreshTexts();
}

void LoginFlow::refreshTexts()
{
    const Store& store = connection_.store();
    const std::string status = connection_.isCanvas() ? withReason(store.canvasStatus(), store.canvasStatusReason())
                                                      : withReason(store.status(), store.statusReason());
    view_.setTexts(status, message_, !store.syncing());
}

} // namespace vantory
