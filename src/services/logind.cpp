#include "services/shutdown.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDebug>
#include <QEventLoop>

// Everything goes through systemd-logind on the system bus (org.freedesktop.login1(5)):
//
//   kind  asks first      then
//   1     CanPowerOff     PowerOffWithFlags(flags)
//   2     CanReboot       RebootWithFlags(flags)
//   3     -               GetSessionByPID(own pid), then Terminate() on that session
//   4     CanSuspend      SuspendWithFlags(flags)
//   5     CanHibernate    HibernateWithFlags(flags)
//
// Can* answering "yes" or "challenge" (allowed once polkit has asked the user) lets the
// request go; "no", "na" or an error stops it. Logging off has no Can* question; the
// lookup of our own session stands in for it, since without a session there is nothing
// to log off.
//
// flags is SD_LOGIND_ROOT_CHECK_INHIBITORS unless forced. Other users are always held up
// by block inhibitors (or asked by polkit whether to override them), but root is let past
// them unless this flag is given; forcing leaves it out, which is all the overriding
// logind offers. The *WithFlags methods take interactivity from the message header rather
// than from an argument, so every request carries the allow-interactive-authorisation
// flag. A logind too old for *WithFlags gets the plain method with interactive = true
// instead, which cannot make root honour inhibitors.

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");

constexpr quint64 rootChecksInhibitors = quint64(1) << 0; // SD_LOGIND_ROOT_CHECK_INHIBITORS

// Questions are answered at once, so D-Bus's own default (25 s) is plenty. A request may
// sit behind polkit's password prompt for as long as the user takes to answer it.
constexpr int questionTimeout = -1;
constexpr int requestTimeout = 5 * 60 * 1000;

struct PowerAction {
    QString question;
    QString method;
};

PowerAction powerAction(int kind)
{
    switch (kind) {
    case 1:
        return {QStringLiteral("CanPowerOff"), QStringLiteral("PowerOff")};
    case 2:
        return {QStringLiteral("CanReboot"), QStringLiteral("Reboot")};
    case 4:
        return {QStringLiteral("CanSuspend"), QStringLiteral("Suspend")};
    default:
        return {QStringLiteral("CanHibernate"), QStringLiteral("Hibernate")};
    }
}

QDBusMessage managerCall(const QString& method)
{
    return QDBusMessage::createMethodCall(service, managerPath, managerInterface, method);
}

// Waits for the reply in a local event loop, so the window keeps painting and its timers
// keep firing while polkit asks for a password. Input waits until the reply is in: a
// second click would otherwise start another request inside this one.
QDBusMessage call(const QDBusConnection& bus, const QDBusMessage& message, int timeout)
{
    QDBusPendingCallWatcher watcher(bus.asyncCall(message, timeout));
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return watcher.reply();
}

bool succeeded(const QDBusMessage& reply)
{
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    qDebug() << "logind did not take the request:" << reply.errorName() << reply.errorMessage();
    return false;
}

QDBusMessage request(const QDBusConnection& bus, QDBusMessage message)
{
    message.setInteractiveAuthorizationAllowed(true);
    return call(bus, message, requestTimeout);
}

bool powerRequest(const QDBusConnection& bus, const PowerAction& action, bool force)
{
    const QDBusMessage answer = call(bus, managerCall(action.question), questionTimeout);
    if (!succeeded(answer))
        return false;
    const QString verdict = answer.arguments().value(0).toString();
    if (verdict != QLatin1String("yes") && verdict != QLatin1String("challenge")) {
        qDebug() << "logind answers" << action.question << "with" << verdict;
        return false;
    }

    QDBusMessage reply = request(bus, managerCall(action.method + QLatin1String("WithFlags"))
                                          << quint64(force ? 0 : rootChecksInhibitors));
    if (QDBusError(reply).type() == QDBusError::UnknownMethod)
        reply = request(bus, managerCall(action.method) << true);
    return succeeded(reply);
}

bool logOff(const QDBusConnection& bus)
{
    const QDBusMessage session = call(bus,
                                      managerCall(QStringLiteral("GetSessionByPID"))
                                          << quint32(QCoreApplication::applicationPid()),
                                      questionTimeout);
    if (!succeeded(session))
        return false;
    const QString path = qvariant_cast<QDBusObjectPath>(session.arguments().value(0)).path();
    if (path.isEmpty())
        return false;
    return succeeded(request(bus, QDBusMessage::createMethodCall(service, path, sessionInterface,
                                                                 QStringLiteral("Terminate"))));
}

} // namespace

bool shutDownSystem(int kind, bool force)
{
    if (kind < 1 || kind > 5)
        return false;

    // A connection of its own for each request, closed again afterwards: Qt's shared system
    // bus connection is made once and never retried, so a bus that was missing (or restarted)
    // the first time round would stay unreachable for the rest of the run. Each gets a name
    // of its own, as a timer may start another request while this one waits.
    static int connections = 0;
    const QString name = QStringLiteral("logind-request-%1").arg(++connections);
    bool accepted = false;
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SystemBus, name);
        if (!bus.isConnected())
            qDebug() << "no system bus:" << bus.lastError().message();
        else
            accepted = kind == 3 ? logOff(bus) : powerRequest(bus, powerAction(kind), force);
    }
    QDBusConnection::disconnectFromBus(name);
    return accepted;
}
