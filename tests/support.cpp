#include "support.h"

#include <QByteArray>
#include <QString>

#include <cstdlib>

void keepTestsOffTheRealSystem()
{
    const QByteArray bus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (bus.isEmpty() || bus.contains("/run/dbus/system_bus_socket"))
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/no-system-bus-in-tests");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray(FAKE_BIN_DIR) + ':' + path);
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
}
