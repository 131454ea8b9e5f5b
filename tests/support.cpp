#include "support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>

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

void when(std::function<bool()> ready, std::function<void()> step)
{
    auto* timer = new QTimer(qApp);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (ready()) {
            timer->deleteLater();
            timer->stop();
            step();
        } else if (waited.hasExpired(10000)) {
            timer->deleteLater();
            timer->stop();
            QTest::qFail("the awaited state never came", __FILE__, __LINE__);
            for (QWidget* window : QApplication::topLevelWidgets())
                window->close();
        }
    });
    timer->start(10);
}

void endOnRuntimeErrorReports()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->windowTitle() == QStringLiteral("错误")) {
            qCritical("run-time error report: %s", qPrintable(box->text()));
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer->start(200);
}
