// SPDX-License-Identifier: GPL-3.0-or-later
// The worker's parts in process: the login window as the student sees and hears it (texts, where the page is and
// whether it loaded, our panel for a page that did not, readable colours, closing only hides it); the script bridge
// reading answers the page can change (well-formed ones are RemoteWebHostTest's).

#include "web/LoadErrorPanel.h"
#include "web/LoginWindow.h"
#include "web/ScriptBridge.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "desktop/Legibility.h"
#include "desktop/SchemePalettes.h"

using namespace vantory;
using Kind = ScriptBridge::Answer::Kind;
using Nav = WorkerProtocol::Navigation;

namespace {

const auto page = WorkerProtocol::PageId::canvasLogin;

class LoginWindowTest : public ::testing::Test {
protected:
    // A button by its name, a line by what it is (its description: a screen reader reads its text).
    template <typename Widget = QPushButton> Widget* find(const char* nameOrDescription)
    {
        const QString wanted = QString::fromUtf8(nameOrDescription);
        for (auto* candidate : window_.findChildren<Widget*>())
            if (candidate->accessibleName() == wanted || candidate->accessibleDescription() == wanted)
                return candidate;
        ADD_FAILURE() << "no " << nameOrDescription;
        return nullptr;
    }
    static std::string heard(QObject* object)
    {
        return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name).toStdString();
    }

    QWebEngineProfile profile_; // off the record: nothing on disk
    QWebEnginePage page_{&profile_};
    LoginWindow window_{QStringLiteral("Canvas"), &page_};
};

TEST_F(LoginWindowTest, ButtonsAndKeysAskClosingOnlyHidesAndTheMessageLineShowsWhenThereIsOne)
{
    window_.present();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window_)->role(), QAccessible::Window);
    QSignalSpy reloads(&window_, &LoginWindow::reloadRequested), syncs(&window_, &LoginWindow::syncRequested),
        closes(&window_, &LoginWindow::closed);
    QPushButton* sync = find("일정 업데이트");
    QLabel* status = find<QLabel>("상태");
    QLabel* message = find<QLabel>("메시지");
    ASSERT_TRUE(sync && status && message);
    window_.setTexts(QStringLiteral("Canvas 로그인이 필요해요"), QString(), false);
    EXPECT_FALSE(message->isVisible() || sync->isEnabled());
    window_.setTexts(QStringLiteral("Canvas 연결 대기"), QStringLiteral("여는 중…"), true);
    EXPECT_TRUE(message->isVisible() && heard(status) + " / " + heard(message) == "Canvas 연결 대기 / 여는 중…");

    QTest::mouseClick(find("페이지 다시 열기"), Qt::LeftButton);
    QTest::keyClick(sync, Qt::Key_Return);
    EXPECT_TRUE(reloads.count() == 1 && syncs.count() == 1);
    QTest::mouseClick(find("닫기"), Qt::LeftButton);
    EXPECT_FALSE(window_.isVisible());
    window_.present();
    window_.close(); // the window's own close button
    EXPECT_FALSE(window_.isVisible());

    // Escape, from the page too, which the engine reports as having used it.
    QSignalSpy loaded(&page_, &QWebEnginePage::loadFinished);
    page_.setHtml(QStringLiteral("<input autofocus>"));
    ASSERT_TRUE(loaded.wait(20000));
    window_.present();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_)); // as it is when the student presses a key
    QTest::keyClick(window_.findChild<QWebEngineView*>()->focusProxy(), Qt::Key_Escape);
    EXPECT_TRUE(!window_.isVisible() && closes.count() == 3);
}

// Where the password would go, and over what: a secure connection only for a page that loaded over one.
TEST_F(LoginWindowTest, SaysWhatIsTrueOfThePageAndCoversAFailedOneWithItsReason)
{
    using Kind = LoadFailure::Kind;
    window_.present();
    QLabel* location = find<QLabel>("페이지 주소");
    auto* panel = window_.findChild<LoadErrorPanel*>();
    ASSERT_TRUE(location && panel);
    const struct {
        Nav navigation;
        const char* shown;
        const char* reason = nullptr; // on the panel, when it shows
        const char* address = "주소: https://canvas.example";
    } cases[] = {{{page, 1, Nav::State::started, QStringLiteral("https://canvas.example/login")},
                     "불러오는 중 · canvas.example"},
        {{page, 1, Nav::State::finished, QStringLiteral("https://canvas.example/login")},
            "보안 연결 (https) · canvas.example"},
        {{page, 2, Nav::State::finished, QStringLiteral("http://127.0.0.1:8080/login")},
            "보안되지 않은 연결 (http) · 127.0.0.1"},
        {{page, 3, Nav::State::failed, QStringLiteral("https://cаnvas.example/"), false, {Kind::network, -102}},
            "연결 실패 · xn--cnvas-4ve.example", "사이트가 연결을 거부했습니다 (오류 -102)",
            "주소: https://xn--cnvas-4ve.example"}, // a look-alike letter
        {{page, 4, Nav::State::started, QStringLiteral("https://canvas.example/")}, "불러오는 중 · canvas.example"},
        {{page, 4, Nav::State::failed, QString(), true, {Kind::network, -3}}, "불러오기 중단 · canvas.example"},
        {{page, 5, Nav::State::failed, QString(), false, {Kind::timedOut, 60}}, "연결 실패 · canvas.example",
            "사이트가 60초 동안 응답하지 않았습니다"}};
    window_.setTexts(QStringLiteral("상태"), QStringLiteral("로그인 페이지를 열지 못했습니다"), true);
    QLabel* reason = find<QLabel>("원인");
    ASSERT_TRUE(reason);
    for (const auto& c : cases) {
        window_.showNavigation(c.navigation);
        EXPECT_EQ(heard(location), c.shown);
        EXPECT_EQ(panel->isVisible(), c.reason != nullptr) << c.shown;
        EXPECT_EQ(find<QLabel>("메시지")->isVisible(), c.reason == nullptr) << "the panel says it, once";
        if (!c.reason)
            continue;
        EXPECT_EQ(heard(reason), c.reason);
        std::string panelHeard;
        for (QLabel* label : panel->findChildren<QLabel*>())
            panelHeard += heard(label) + "\n";
        EXPECT_NE(panelHeard.find(c.address), std::string::npos) << panelHeard;
        EXPECT_EQ(window_.focusWidget(), find("다시 시도")) << "Tab and Space go on at once";
    }

    QSignalSpy reloads(&window_, &LoginWindow::reloadRequested), addresses(&window_, &LoginWindow::addressesRequested);
    QTest::mouseClick(find("학교 사이트 설정 열기"), Qt::LeftButton);
    QTest::mouseClick(find("다시 시도"), Qt::LeftButton);
    EXPECT_TRUE(addresses.count() == 1 && reloads.count() == 1);
}

// Marks every text, as another language's catalogue would change it.
class MarkingTranslator final : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QStringLiteral("EN ") + QString::fromUtf8(source);
    }
};

TEST_F(LoginWindowTest, ALanguageChangeRewordsTheOpenWindowAndItsPanel)
{
    window_.present();
    window_.showNavigation({page, 1, Nav::State::failed, QStringLiteral("https://canvas.example/"), false,
        {LoadFailure::Kind::network, -102}});
    // Every text the window shows or a screen reader hears, the page's own excepted.
    const auto texts = [this] {
        QStringList all{window_.windowTitle(), window_.findChild<QWebEngineView*>()->accessibleName()};
        for (QLabel* label : window_.findChildren<QLabel*>())
            all << label->text() << label->accessibleDescription();
        for (QPushButton* button : window_.findChildren<QPushButton*>())
            all << button->text() << button->accessibleName() << button->accessibleDescription();
        all.removeAll(QString());
        return all;
    };
    MarkingTranslator marking;
    for (const bool installed : {true, false}) {
        installed ? QCoreApplication::installTranslator(&marking) : QCoreApplication::removeTranslator(&marking);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        const QStringList shown = texts();
        EXPECT_EQ(shown.filter(QRegularExpression(QStringLiteral("^EN "))).size(), installed ? shown.size() : 0)
            << shown.join(u'\n').toStdString();
    }
}

// Every text reaches 4.5:1 on the window in the application's light and dark palettes and on a mid-grey theme's,
// where the fixed colours cannot; the red of an unencrypted page keeps its hue where it can.
TEST_F(LoginWindowTest, EveryTextReadsOnLightDarkAndMidGreyWindows)
{
    QPalette grey = SchemePalettes::light();
    grey.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    grey.setColor(QPalette::WindowText, Qt::black);
    const std::pair<const char*, QPalette> palettes[]
        = {{"light", SchemePalettes::light()}, {"dark", SchemePalettes::dark()}, {"mid grey", grey}};
    const Nav navigations[] = {{page, 1, Nav::State::finished, QStringLiteral("http://127.0.0.1:8080/login")},
        {page, 2, Nav::State::failed, QStringLiteral("https://canvas.example/"), false,
            {LoadFailure::Kind::network, -102}}};
    window_.setTexts(
        QStringLiteral("Canvas 로그인이 필요해요"), QStringLiteral("로그인 페이지를 열지 못했습니다"), true);
    window_.present();
    for (const auto& [name, palette] : palettes) {
        window_.setPalette(palette); // as a theme switch does
        const QColor background = palette.color(QPalette::Window);
        for (const Nav& navigation : navigations) {
            window_.showNavigation(navigation);
            for (QLabel* label : window_.findChildren<QLabel*>()) {
                if (!label->isVisible() || label->text().isEmpty())
                    continue;
                const QColor text = label->palette().color(QPalette::WindowText);
                EXPECT_GE(Legibility::contrastRatio(text, background), Legibility::textContrast)
                    << name << ": " << label->text().toStdString() << " in " << text.name().toStdString();
            }
        }
        window_.showNavigation(navigations[0]);
        EXPECT_TRUE(palette == grey || find<QLabel>("페이지 주소")->palette().color(QPalette::WindowText).hue() == 0)
            << name;
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
    const std::pair<QVariant, Kind> cases[]
        = {{answer("pending"), Kind::pending}, {answer("started"), Kind::started}, {answer("noEval"), Kind::noEval},
            {answer("lost"), Kind::lost}, {QVariant(), Kind::lost}, // the document went away
            // Anything else is a malformed outcome.
            {QVariantList{1, 2}, Kind::outcome}, {answer("done"), Kind::outcome},
            {QVariantMap{{QStringLiteral("kind"), 1}}, Kind::outcome}, {answer("text", "text", 5), Kind::outcome},
            {answer("flag", "flag", QStringLiteral("true")), Kind::outcome}, {answer("script"), Kind::outcome}};
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
