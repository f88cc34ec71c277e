#include "Orvane/ui/sleep_inhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace orvane::ui {
namespace {

constexpr char kLogindService[] = "org.freedesktop.login1";

}  // namespace

bool SleepInhibitor::Acquire() {
  if (Held()) return true;
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected() || bus.interface() == nullptr ||
      !bus.interface()->isServiceRegistered(QString::fromLatin1(kLogindService)).value()) {
    return false;
  }
  QDBusInterface manager(QString::fromLatin1(kLogindService), QStringLiteral("/org/freedesktop/login1"),
                         QStringLiteral("org.freedesktop.login1.Manager"), bus);
  const QDBusReply<QDBusUnixFileDescriptor> reply =
      manager.call(QStringLiteral("Inhibit"), QStringLiteral("sleep"), QCoreApplication::applicationName(),
                   QCoreApplication::translate("Messages", "A capture is running"), QStringLiteral("block"));
  if (reply.isValid()) fd_ = reply.value();
  return Held();
}

void SleepInhibitor::Release() { fd_ = QDBusUnixFileDescriptor(); }

}  // namespace orvane::ui
