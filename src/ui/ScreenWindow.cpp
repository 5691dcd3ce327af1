#include "ui/ScreenWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace vantory {

ScreenWindow::ScreenWindow(const QString& title, QWidget* screen, QSize size)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)
{
    setWindowTitle(title);
    setFixedSize(size);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen);
}

void ScreenWindow::present()
{
    if (!placed_) {
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            move(primary->availableGeometry().center() - rect().center());
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
