// The worker's parts in process: the login window as the student sees it (texts, where the page is, closing only
// hides it); the script bridge reading answers the page can change (well-formed ones are RemoteWebHostTest's).

#include "web/LoginWindow.h"
#include "web/ScriptBridge.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

using namespace vantory;
using Kind = ScriptBridge::Answer::Kind;

namespace {

class LoginWindowTest : public ::testing::Test {
protected:
    template <typename Widget = QPushButton> Widget* find(const char* accessibleName)
    {
        for (auto* candidate : window_.findChildren<Widget*>())
            if (candidate->accessibleName() == QString::fromUtf8(accessibleName))
                return candidate;
        ADD_FAILURE() << "no " << accessibleName;
        return nullptr;
    }

    QWebEngineProfile profile_; // off the record: nothing on disk
    QWebEnginePage page_{&profile_};
    LoginWindow window_{QStringLiteral("Canvas"), &page_};
};

TEST_F(LoginWindowTest, ButtonsAskClosingOnlyHidesAndTheMessageLineShowsWhenThereIsOne)
{
    window_.present();
    QSignalSpy reloads(&window_, &LoginWindow::reloadRequested), syncs(&window_, &LoginWindow::syncRequested),
        closes(&window_, &LoginWindow::closed);
    QPushButton* sync = find("일정 업데이트");
    ASSERT_TRUE(sync && find<QLabel>("메시지"));
    window_.setTexts(QStringLiteral("Canvas 로그인이 필요해요"), QString(), false);
    EXPECT_FALSE(find<QLabel>("메시지")->isVisible() || sync->isEnabled());
    window_.setTexts(QStringLiteral("상태"), QStringLiteral("여는 중…"), true);
    EXPECT_TRUE(find<QLabel>("메시지")->isVisible());

    QTest::mouseClick(find("페이지 다시 열기"), Qt::LeftButton);
    QTest::mouseClick(sync, Qt::LeftButton);
    EXPECT_TRUE(reloads.count() == 1 && syncs.count() == 1);
    QTest::mouseClick(find("닫기"), Qt::LeftButton);
    EXPECT_FALSE(window_.isVisible());
    window_.present();
    window_.close(); // the window's own close button
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ(closes.count(), 2);
}

TEST_F(LoginWindowTest, ShowsWhereThePasswordWouldGo)
{
    window_.present();
    QLabel* location = find<QLabel>("페이지 주소");
    ASSERT_TRUE(location);
    const std::pair<const char*, const char*> cases[] = {
        {"https://canvas.example/login", "보안 연결 (https) · canvas.example"},
        {"http://127.0.0.1:8080/login", "보안되지 않은 연결 (http) · 127.0.0.1"},
        {"https://cаnvas.example/", "보안 연결 (https) · xn--cnvas-4ve.example"}, // a look-alike letter
    };
    for (const auto& [url, shown] : cases) {
        page_.setUrl(QUrl(QString::fromUtf8(url)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return location->text() == QString::fromUtf8(shown); }, 10000))
            << url << " shows " << location->text().toStdString();
    }
}

TEST(ScriptBridge, ReadsAnswersAndPlainValuesAndDistrustsTheRest)
{
    const auto answer = [](const char* kind, const char* field = nullptr, QVariant value = {}) {
        QVariantMap map{{QStringLiteral("kind"), QString::fromUtf8(kind)}};
        if (field)
            map.insert(QString::fromUtf8(field), value);
        return QVariant(map);
    };
    const std::pair<QVariant, Kind> cases[] = {
        {answer("pending"), Kind::pending},
        {answer("started"), Kind::started},
        {answer("noEval"), Kind::noEval},
        {answer("lost"), Kind::lost},
        {QVariant(), Kind::lost}, // the document went away
        // Anything else is a malformed outcome.
        {QVariantList{1, 2}, Kind::outcome},
        {answer("done"), Kind::outcome},
        {QVariantMap{{QStringLiteral("kind"), 1}}, Kind::outcome},
        {answer("text", "text", 5), Kind::outcome},
        {answer("flag", "flag", QStringLiteral("true")), Kind::outcome},
        {answer("script"), Kind::outcome},
    };
    for (const auto& [value, kind] : cases) {
        const ScriptBridge::Answer read = ScriptBridge::read(value);
        EXPECT_EQ(read.kind, kind) << value.toString().toStdString();
        EXPECT_TRUE(kind != Kind::outcome
            || read.outcome == ScriptOutcome(PageError{PageError::Kind::script, "malformed script outcome"}));
    }
    // Where eval is blocked, a plain value comes back: a text, a flag or other.
    EXPECT_EQ(ScriptBridge::readPlain(QStringLiteral("x")), ScriptOutcome(ScriptValue{ScriptValue::Kind::text, "x"}));
    EXPECT_EQ(ScriptBridge::readPlain(true), ScriptOutcome(ScriptValue{ScriptValue::Kind::flag, {}, true}));
    for (const QVariant& value : {QVariant(), QVariant(1.5), QVariant(QVariantMap{})})
        EXPECT_EQ(ScriptBridge::readPlain(value), ScriptOutcome(ScriptValue{}));
}

} // namespace
