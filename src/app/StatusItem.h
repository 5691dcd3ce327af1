#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>

class QSystemTrayIcon;

namespace vantory {

class StatusContentView;
class StatusStrip;

// The application's face in the top bar: a frameless, always-on-top strip at the top edge of the
// primary screen (right-aligned) hosting the status view, and, where the desktop has a tray, a
// tray icon mirroring the dot colour and the tooltip. Left click activates, right click asks for
// the settings.
class StatusItem : public QObject {
    Q_OBJECT

public:
    explicit StatusItem(double length, QObject* parent = nullptr);
    ~StatusItem() override;

    StatusContentView* view() const;

    // Width of the strip in points.
    double length() const { return length_; }
    void setLength(double points);

    void setToolTip(const QString& text);
    void setAccessibleName(const QString& text);
    // The tray icon's dot; an invalid colour draws it in the palette's text colour.
    void setDotColor(const QColor& color);

    // The strip's frame in global coordinates, where popovers anchor.
    QRect geometry() const;

Q_SIGNALS:
    void activated();
    void contextRequested();

private:
    void place();

    double length_;
    std::unique_ptr<StatusStrip> strip_;
    QPointer<QSystemTrayIcon> tray_;
    QColor dotColor_;
};

} // namespace vantory
