// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <QWidget>

#include "protocol/WorkerProtocol.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QStackedWidget;
class QWebEnginePage;
class QWebEngineView;

namespace vantory {

class LoadErrorPanel;

// A site's login window: a header with the site's name, the address the page is on and the three
// buttons, the status line and message, and the page below, or in its place our panel for a page
// that did not load. Closing it only hides it, so the page and its history stay for the next
// showing.
class LoginWindow final : public QWidget {
    Q_OBJECT

public:
    // Shows page, which stays owned by the caller and must outlive the window.
    LoginWindow(const QString& siteName, QWebEnginePage* page, QWidget* parent = nullptr);

    void setTexts(const QString& status, const QString& message, bool syncEnabled);
    // A navigation of the page, as the worker reports it: the header says what is true of the page
    // shown, and a failure (not a cancellation) shows the error panel until the next load starts.
    void showNavigation(const WorkerProtocol::Navigation& navigation);
    // Shows the window, centred on its first showing, and brings it to the front.
    void present();

Q_SIGNALS:
    void reloadRequested();
    void syncRequested();
    // The student wants to check the school's addresses in the settings.
    void addressesRequested();
    // The window was hidden, by the header's close button or the window manager's.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class PageState { loading, loaded, failed, stopped };

    QHBoxLayout* buildHeader();
    void buildPage(QWebEnginePage* page);
    void bindKeys();
    // The window's own texts, in the current language; again when the language changes.
    void showTexts();
    void showColours();
    void showLocation();
    void showMessage();

    QWebEnginePage* page_;
    QString siteName_;
    PageState state_ = PageState::loading;
    QUrl url_;
    QLabel* heading_;
    QLabel* hint_;
    QLabel* location_;
    QLabel* status_;
    QLabel* message_;
    QPushButton* reloadButton_;
    QPushButton* syncButton_;
    QPushButton* closeButton_;
    QStackedWidget* stack_;
    QWebEngineView* view_;
    LoadErrorPanel* panel_;
    bool placed_ = false;
};

} // namespace vantory
