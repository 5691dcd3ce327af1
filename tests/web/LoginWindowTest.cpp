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
#include <memory>

using namespace vantory;

namespace {

QPushButton* button(QWidget& window, const QString& text)
{
    for (auto* candidate : window.findChildren<QPushButton*>())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

QLabel* label(QWidget& window, const QString& accessibleName)
{
    for (auto* candidate : window.findChildren<QLabel*>())
        if (candidate->accessibleName() == accessibleName)
            return candidate;
    return nullptr;
}

bool showsText(QWidget& window, const QString& text)
{
    for (auto* candidate : window.findChildren<QLabel*>())
        if (candidate->text() == text && candidate->isVisible())
            return true;
    return false;
}

class LoginWindowTest : public ::testing::Test {
protected:
    QWebEngineProfile profile_; // off the record: nothing on disk
    std::unique_ptr<QWebEnginePage> page_ = std::make_unique<QWebEnginePage>(&profile_);
};

TEST_F(LoginWindowTest, NamesItsSiteInTheTitleAndHeading)
{
    LoginWindow window(QStringLiteral("Canvas"), page_.get());
    window.present();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantory · Canvas 로그인"));
    EXPECT_TRUE(showsText(window, QStringLiteral("Canvas 연결")));
    EXPECT_TRUE(showsText(window,
        QStringLiteral("학교 계정으로 로그인한 뒤 ‘일정 업데이트’를 누르세요. 비밀번호는 앱이 수집하지 않습니다.")));
    EXPECT_EQ(window.size(), QSize(1050, 780));
    for (const char* text : {"페이지 다시 열기", "일정 업데이트", "닫기"}) {
        QPushButton* found = button(window, QString::fromUtf8(text));
        ASSERT_TRUE(found) << text;
        EXPECT_EQ(found->accessibleName(), found->text());
        EXPECT_NE(found->focusPolicy() & Qt::TabFocus, 0);
    }
}

TEST_F(LoginWindowTest, ShowsTheMessageLineOnlyWhenThereIsOne)
{
    LoginWindow window(QStringLiteral("Canvas"), page_.get());
    window.present();
    window.setTexts(QStringLiteral("Canvas 로그인이 필요해요"), QString(), false);
    EXPECT_TRUE(showsText(window, QStringLiteral("Canvas 로그인이 필요해요")));
    EXPECT_FALSE(label(window, QStringLiteral("메시지"))->isVisible());
    EXPECT_FALSE(button(window, QStringLiteral("일정 업데이트"))->isEnabled());

    window.setTexts(QStringLiteral("상태"), QStringLiteral("학교 로그인 페이지를 여는 중…"), true);
    EXPECT_TRUE(showsText(window, QStringLiteral("학교 로그인 페이지를 여는 중…")));
    EXPECT_TRUE(button(window, QStringLiteral("일정 업데이트"))->isEnabled());
}

TEST_F(LoginWindowTest, ButtonsAskAndClosingOnlyHides)
{
    LoginWindow window(QStringLiteral("BrevaneLearn"), page_.get());
    window.present();
    QSignalSpy reloads(&window, &LoginWindow::reloadRequested);
    QSignalSpy syncs(&window, &LoginWindow::syncRequested);
    QSignalSpy closes(&window, &LoginWindow::closed);
    QTest::mouseClick(button(window, QStringLiteral("페이지 다시 열기")), Qt::LeftButton);
    QTest::mouseClick(button(window, QStringLiteral("일정 업데이트")), Qt::LeftButton);
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(syncs.count(), 1);

    QTest::mouseClick(button(window, QStringLiteral("닫기")), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closes.count(), 1);
    window.present();
    EXPECT_TRUE(window.isVisible());
    window.close(); // the window's own close button
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closes.count(), 2);
}

TEST_F(LoginWindowTest, ShowsWhereThePasswordWouldGo)
{
    LoginWindow window(QStringLiteral("Canvas"), page_.get());
    window.present();
    QLabel* location = label(window, QStringLiteral("페이지 주소"));
    ASSERT_TRUE(location);
    const struct {
        const char* url;
        QString shown;
    } cases[] = {
        {"https://canvas.example/login", QStringLiteral("보안 연결 (https) · canvas.example")},
        {"http://127.0.0.1:8080/login", QStringLiteral("보안되지 않은 연결 (http) · 127.0.0.1")},
        // Look-alike letters show as what they are.
        {"https://cаnvas.example/", QStringLiteral("보안 연결 (https) · xn--cnvas-4ve.example")},
    };
    for (const auto& c : cases) {
        page_->setUrl(QUrl(QString::fromUtf8(c.url)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return location->text() == c.shown; }, 10000))
            << c.url << " shows " << location->text().toStdString();
    }
}

} // namespace
