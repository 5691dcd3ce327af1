#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QWebEnginePage;
class QWebEngineView;

namespace vantory {

// A site's login window: a header with the site's name, the address the page is on and the three
// buttons, the status line and message, and the page below. Closing it only hides it, so the page
// and its history stay for the next showing.
class LoginWindow final : public QWidget {
    Q_OBJECT

public:
    // Shows page, which stays owned by the caller and must outlive the window.
    LoginWindow(const QString& siteName, QWebEnginePage* page, QWidget* parent = nullptr);

    void setTexts(const QString& status, const QString& message, bool syncEnabled);
    // Shows the window, centred on its first showing, and brings it to the front.
    void present();

Q_SIGNALS:
    void reloadRequested();
    void syncRequested();
    // The window was hidden by its close button or "닫기".
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showLocation(const QUrl& url);

    QLabel* location_;
    QLabel* status_;
    QLabel* message_;
    QPushButton* syncButton_;
    QWebEngineView* view_;
    bool placed_ = false;
};

} // namespace vantory
