#include "ui/ScreenWindow.h"

#include <QGuiApplication>
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

} // namespace vantory
