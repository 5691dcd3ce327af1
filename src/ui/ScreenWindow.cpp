#include "ui/ScreenWindow.h"

#include "ui/Accessible.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace vantory {

ScreenWindow::ScreenWindow(const QString& title, QWidget* screen, QSize size)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)
{
    setWindowTitle(title);
    Accessible::setWindowRole(this, QAccessible::Window);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen);
    if (!size.isValid())
        size = screen->sizeHint();
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        size = size.boundedTo(primary->availableGeometry().size() - QSize(0, titleBarHeight()));
    setFixedSize(size);
}

// The window manager's title bar, which Qt learns of only once the window shows: the style's.
int ScreenWindow::titleBarHeight() const
{
    return style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
}

void ScreenWindow::present()
{
    if (!placed_) {
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            move(primary->availableGeometry().center() - QPoint(width() / 2, (height() + titleBarHeight()) / 2));
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

// The focus is drawn from the first frame, as after a Tab, for whoever opened it from the keyboard;
// showing a window clears that mark, so it is set here.
void ScreenWindow::showEvent(QShowEvent* event)
{
    setAttribute(Qt::WA_KeyboardFocusChange);
    QWidget::showEvent(event);
}

void ScreenWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vantory
