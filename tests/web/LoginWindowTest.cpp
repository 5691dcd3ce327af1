// The worker's login window as the student sees it: its texts, where the page is, and that closing
// only hides it.

#include "web/LoginWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

using namespace vantory;

namespace {

template <typename Widget> Widget* find(QWidget& window, const QString& name)
{
    for (auto* candidate : window.findChildren<Widget*>())
        if (candidate->accessibleName() == name)
            return candidate;
    return nullptr;
}

class LoginWindowTest : public ::testing::Test {
protected:
    QWebEngineProfile profile_; // off the record: nothing on disk
    QWebEnginePage page_{&profile_};
    LoginWindow window_{QStringLiteral("Canvas"), &page_};
};

TEST_F(LoginWindowTest, ButtonsAskClosingOnlyHidesAndTheMessageLineShowsWhenThereIsOne)
{
    window_.present();
    QSignalSpy reloads(&window_, &LoginWindow::reloadRequested);
    QSignalSpy syncs(&window_, &LoginWindow::syncRequested);
    QSignalSpy closes(&window_, &LoginWindow::closed);
    auto* sync = find<QPushButton>(window_, QStringLiteral("일정 업데이트"));
    ASSERT_TRUE(sync);
    window_.setTexts(QStringLiteral("Canvas 로그인이 필요해요"), QString(), false);
    EXPECT_FALSE(find<QLabel>(window_, QStringLiteral("메시지"))->isVisible());
    EXPECT_FALSE(sync->isEnabled());
    window_.setTexts(QStringLiteral("상태"), QStringLiteral("여는 중…"), true);
    EXPECT_TRUE(find<QLabel>(window_, QStringLiteral("메시지"))->isVisible());

    QTest::mouseClick(find<QPushButton>(window_, QStringLiteral("페이지 다시 열기")), Qt::LeftButton);
    QTest::mouseClick(sync, Qt::LeftButton);
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(syncs.count(), 1);
    QTest::mouseClick(find<QPushButton>(window_, QStringLiteral("닫기")), Qt::LeftButton);
    EXPECT_FALSE(window_.isVisible());
    window_.present();
    window_.close(); // the window's own close button
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ(closes.count(), 2);
}

TEST_F(LoginWindowTest, ShowsWhereThePasswordWouldGo)
{
    window_.present();
    QLabel* location = find<QLabel>(window_, QStringLiteral("페이지 주소"));
    ASSERT_TRUE(location);
    const std::pair<const char*, QString> cases[] = {
        {"https://canvas.example/login", QStringLiteral("보안 연결 (https) · canvas.example")},
        {"http://127.0.0.1:8080/login", QStringLiteral("보안되지 않은 연결 (http) · 127.0.0.1")},
        // Look-alike letters show as what they are.
        {"https://cаnvas.example/", QStringLiteral("보안 연결 (https) · xn--cnvas-4ve.example")},
    };
    for (const auto& [url, shown] : cases) {
        page_.setUrl(QUrl(QString::fromUtf8(url)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return location->text() == shown; }, 10000))
            << url << " shows " << location->text().toStdString();
    }
}

} // namespace
