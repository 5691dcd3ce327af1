// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/DesktopMotion.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QPointer>
#include <QStyle>

#include "desktop/PortalSettings.h"

namespace vantory::DesktopMotion {

namespace {

const QString gnomeInterface = QStringLiteral("org.gnome.desktop.interface");
const QString enableAnimations = QStringLiteral("enable-animations");

// GNOME's enable-animations as the portal said it last: read once, then kept from the portal's
// announcements, so that a transition does not wait for two answers on the bus.
class PortalAnimations : public QObject {
    Q_OBJECT

public:
    explicit PortalAnimations(QObject* parent)
        : QObject(parent)
    {
        // Subscribed first, so a change between the read and the subscription is not missed.
        QDBusConnection::sessionBus().connect(PortalSettings::service, PortalSettings::path, PortalSettings::interface,
            QStringLiteral("SettingChanged"), this, SLOT(settingChanged(QDBusMessage)));
        value_ = PortalSettings::read(gnomeInterface, enableAnimations);
    }

    bool off() const { return value_.userType() == QMetaType::Bool && !value_.toBool(); }

private Q_SLOTS:
    void settingChanged(const QDBusMessage& message)
    {
        const QVariantList arguments = message.arguments();
        if (message.signature() == QLatin1String("ssv") && arguments.size() == 3
            && arguments[0].toString() == gnomeInterface && arguments[1].toString() == enableAnimations)
            value_ = PortalSettings::unwrap(arguments[2]);
    }

private:
    QVariant value_;
};

} // namespace

bool reduced()
{
    if (const QStyle* style = QApplication::style();
        style && style->styleHint(QStyle::SH_Widget_Animation_Duration) == 0)
        return true;
    // Owned by the application, and made again for a later one.
    static QPointer<PortalAnimations> animations;
    if (!animations)
        animations = new PortalAnimations(QCoreApplication::instance());
    return animations->off();
}

} // namespace vantory::DesktopMotion

#include "DesktopMotion.moc"
