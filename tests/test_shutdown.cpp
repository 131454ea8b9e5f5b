#include "services/shutdown.h"
#include "support.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <iterator>

namespace {

const QString logindService = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/c1");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString refuse = QStringLiteral("raise dbus.exceptions.DBusException('refused', "
                                      "name='org.freedesktop.DBus.Error.AccessDenied')");

// How the fake's record shows a call on the manager or on the session the tests set up.
QString onManager(const QString& call)
{
    return managerPath + u' ' + managerInterface + u'.' + call;
}

QString onSession(const QString& call)
{
    return sessionPath + u' ' + sessionInterface + u'.' + call;
}

struct PowerAction {
    int kind;
    const char* name;
    QString question;
    QString method;
};

const PowerAction powerActions[] = {
    {1, "power off", QStringLiteral("CanPowerOff"), QStringLiteral("PowerOff")},
    {2, "restart", QStringLiteral("CanReboot"), QStringLiteral("Reboot")},
    {4, "suspend", QStringLiteral("CanSuspend"), QStringLiteral("Suspend")},
    {5, "hibernate", QStringLiteral("CanHibernate"), QStringLiteral("Hibernate")},
};

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

class ShutdownTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void powerRequests_data();
    void powerRequests();
    void logOff_data();
    void logOff();
    void kindsOutOfRange_data();
    void kindsOutOfRange();
    void withoutLogind_data();
    void withoutLogind();
    void interfaceKeepsRunningWhileLogindDecides();

private:
    void startFake(const QString& option);
    void startFakeLogind(const QVariantMap& templateParameters = {});
    void mock(const QString& path, const QString& method, const QVariantList& arguments);
    void addMethod(const QString& path, const QString& interface, const QString& name,
                   const QString& inSignature, const QString& outSignature, const QString& code);
    void addFlagMethods();
    void addOwnSession();
    QStringList requests() const;

    QTemporaryDir m_dir;
    QProcess m_fake;
};

void ShutdownTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(qEnvironmentVariable("FAKE_LOGIND_SCRIPT")),
             "FAKE_LOGIND_SCRIPT must name fake_logind.py");
    // The bus address is read once per process, at the first connection, so every fake
    // of this run listens on the same socket; between fakes nothing listens there at all.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS",
            "unix:path=" + m_dir.filePath(QStringLiteral("system_bus_socket")).toUtf8());
}

void ShutdownTest::cleanup()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-logind-control"));
    if (m_fake.state() != QProcess::NotRunning) {
        m_fake.terminate();
        if (!m_fake.waitForFinished(5000))
            m_fake.kill();
        m_fake.waitForFinished();
    }
}

void ShutdownTest::startFake(const QString& option)
{
    // python3-dbusmock is Debian's and lives with Debian's interpreter, whatever else is on PATH.
    m_fake.start(QStringLiteral("/usr/bin/python3"),
                 {qEnvironmentVariable("FAKE_LOGIND_SCRIPT"), m_dir.path(), option});
    while (!m_fake.canReadLine()) {
        if (!m_fake.waitForReadyRead(10000)) {
            QFAIL(qPrintable("the fake logind did not start: " + m_fake.readAllStandardError()));
        }
    }
    QCOMPARE(m_fake.readLine().trimmed(), QByteArray("ready"));
}

void ShutdownTest::startFakeLogind(const QVariantMap& templateParameters)
{
    startFake(QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(templateParameters))
                                    .toJson(QJsonDocument::Compact)));
}

// Drives the fake through dbusmock's control interface.
void ShutdownTest::mock(const QString& path, const QString& method, const QVariantList& arguments)
{
    QDBusConnection control = QDBusConnection::connectToBus(
        qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("fake-logind-control"));
    QDBusMessage message = QDBusMessage::createMethodCall(
        logindService, path, QStringLiteral("org.freedesktop.DBus.Mock"), method);
    message.setArguments(arguments);
    const QDBusMessage reply = control.call(message);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage,
             qPrintable(method + ": " + reply.errorMessage()));
}

void ShutdownTest::addMethod(const QString& path, const QString& interface, const QString& name,
                             const QString& inSignature, const QString& outSignature,
                             const QString& code)
{
    mock(path, QStringLiteral("AddMethod"), {interface, name, inSignature, outSignature, code});
}

// What a current logind has and dbusmock's template lacks.
void ShutdownTest::addFlagMethods()
{
    for (const PowerAction& action : powerActions) {
        addMethod(managerPath, managerInterface, action.method + QStringLiteral("WithFlags"),
                  QStringLiteral("t"), {}, {});
        if (QTest::currentTestFailed())
            return;
    }
}

// Session c1 holds this process; logind knows no session for any other.
void ShutdownTest::addOwnSession()
{
    mock(managerPath, QStringLiteral("AddSession"),
         {QStringLiteral("c1"), QStringLiteral("seat0"), quint32(1000), QStringLiteral("pupil"),
          true});
    if (QTest::currentTestFailed())
        return;
    addMethod(managerPath, managerInterface, QStringLiteral("GetSessionByPID"), QStringLiteral("u"),
              QStringLiteral("o"),
              QStringLiteral("if args[0] != %1:\n"
                             "    raise dbus.exceptions.DBusException('no session', "
                             "name='org.freedesktop.login1.NoSessionForPID')\n"
                             "ret = dbus.ObjectPath('%2')")
                  .arg(QCoreApplication::applicationPid())
                  .arg(sessionPath));
}

QStringList ShutdownTest::requests() const
{
    QFile log(m_dir.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("(no record: %1)").arg(log.errorString())};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void ShutdownTest::powerRequests_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("withFlags");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("calls");

    for (const PowerAction& a : powerActions) {
        const QString asked = onManager(a.question + QStringLiteral("()"));
        const QString flagged = a.method + QStringLiteral("WithFlags");
        const QString checkingInhibitors = onManager(flagged + QStringLiteral("(t 1) interactive"));
        const QString ignoringInhibitors = onManager(flagged + QStringLiteral("(t 0) interactive"));
        const QString plain = onManager(a.method + QStringLiteral("(b true) interactive"));
        const QString none;

        QTest::addRow("%s: yes", a.name) << a.kind << false << "yes" << true << none << true
                                         << QStringList{asked, checkingInhibitors};
        QTest::addRow("%s: challenge", a.name) << a.kind << false << "challenge" << true << none
                                               << true << QStringList{asked, checkingInhibitors};
        QTest::addRow("%s: no", a.name)
            << a.kind << false << "no" << true << none << false << QStringList{asked};
        QTest::addRow("%s: na", a.name)
            << a.kind << false << "na" << true << none << false << QStringList{asked};
        QTest::addRow("%s: no, forced", a.name)
            << a.kind << true << "no" << true << none << false << QStringList{asked};
        QTest::addRow("%s: forced", a.name) << a.kind << true << "yes" << true << none << true
                                            << QStringList{asked, ignoringInhibitors};
        QTest::addRow("%s: logind without flags", a.name)
            << a.kind << false << "yes" << false << none << true
            << QStringList{asked, checkingInhibitors, plain};
        QTest::addRow("%s: logind without flags, forced", a.name)
            << a.kind << true << "yes" << false << none << true
            << QStringList{asked, ignoringInhibitors, plain};
        QTest::addRow("%s: question fails", a.name)
            << a.kind << false << "yes" << true << a.question << false << QStringList{asked};
        // Only a missing method may fall back to the plain one, which would let root past
        // inhibitors.
        QTest::addRow("%s: request refused", a.name)
            << a.kind << false << "yes" << true << flagged << false
            << QStringList{asked, checkingInhibitors};
    }
}

void ShutdownTest::powerRequests()
{
    QFETCH(int, kind);
    QFETCH(bool, force);
    QFETCH(QString, answer);
    QFETCH(bool, withFlags);
    QFETCH(QString, failing);
    QFETCH(bool, accepted);
    QFETCH(QStringList, calls);

    const PowerAction& action =
        *std::find_if(std::begin(powerActions), std::end(powerActions),
                      [kind](const PowerAction& a) { return a.kind == kind; });
    startFakeLogind({{action.question, answer}});
    if (withFlags)
        addFlagMethods();
    if (failing == action.question)
        addMethod(managerPath, managerInterface, failing, {}, QStringLiteral("s"), refuse);
    else if (!failing.isEmpty())
        addMethod(managerPath, managerInterface, failing, QStringLiteral("t"), {}, refuse);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(shutDownSystem(kind, force), accepted);
    QCOMPARE(requests(), calls);
}

void ShutdownTest::logOff_data()
{
    QTest::addColumn<bool>("force");
    QTest::addColumn<bool>("inSession");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("calls");

    const QString lookup =
        onManager(QStringLiteral("GetSessionByPID(u %1)").arg(QCoreApplication::applicationPid()));
    const QString terminate = onSession(QStringLiteral("Terminate() interactive"));

    QTest::newRow("in a session") << false << true << false << true
                                  << QStringList{lookup, terminate};
    QTest::newRow("in a session, forced")
        << true << true << false << true << QStringList{lookup, terminate};
    QTest::newRow("outside any session") << false << false << false << false << QStringList{lookup};
    QTest::newRow("termination refused")
        << false << true << true << false << QStringList{lookup, terminate};
}

void ShutdownTest::logOff()
{
    QFETCH(bool, force);
    QFETCH(bool, inSession);
    QFETCH(bool, refused);
    QFETCH(bool, accepted);
    QFETCH(QStringList, calls);

    startFakeLogind();
    if (inSession)
        addOwnSession();
    else
        addMethod(managerPath, managerInterface, QStringLiteral("GetSessionByPID"),
                  QStringLiteral("u"), QStringLiteral("o"),
                  QStringLiteral("raise dbus.exceptions.DBusException('no session', "
                                 "name='org.freedesktop.login1.NoSessionForPID')"));
    if (refused)
        addMethod(sessionPath, sessionInterface, QStringLiteral("Terminate"), {}, {}, refuse);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(shutDownSystem(3, force), accepted);
    QCOMPARE(requests(), calls);
}

void ShutdownTest::kindsOutOfRange_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("force");

    QTest::newRow("0") << 0 << false;
    QTest::newRow("6") << 6 << false;
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("6, forced") << 6 << true;
    QTest::newRow("INT_MIN") << INT_MIN << false;
}

void ShutdownTest::kindsOutOfRange()
{
    QFETCH(int, kind);
    QFETCH(bool, force);

    startFakeLogind();
    addFlagMethods();
    addOwnSession();
    if (QTest::currentTestFailed())
        return;

    QVERIFY(!shutDownSystem(kind, force));
    QCOMPARE(requests(), QStringList());
}

void ShutdownTest::withoutLogind_data()
{
    QTest::addColumn<bool>("bus");

    QTest::newRow("no system bus") << false;
    QTest::newRow("system bus without logind") << true;
}

void ShutdownTest::withoutLogind()
{
    QFETCH(bool, bus);

    if (bus)
        startFake(QStringLiteral("--bus-only"));
    else
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("system_bus_socket"))));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

    QElapsedTimer clock;
    clock.start();
    for (int kind = 1; kind <= 5; ++kind) {
        QVERIFY2(!shutDownSystem(kind), qPrintable(QString::number(kind)));
        QVERIFY2(!shutDownSystem(kind, true), qPrintable(QString::number(kind)));
    }
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void ShutdownTest::interfaceKeepsRunningWhileLogindDecides()
{
    startFakeLogind();
    addMethod(managerPath, managerInterface, QStringLiteral("RebootWithFlags"), QStringLiteral("t"),
              {}, QStringLiteral("time.sleep(1.5)"));
    if (QTest::currentTestFailed())
        return;

    PaintCounter window;
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, &window, [&] {
        ++ticks;
        window.update();
    });
    timer.start(20);
    window.paints = 0;

    QElapsedTimer clock;
    clock.start();
    QVERIFY(shutDownSystem(2));
    QVERIFY2(clock.elapsed() >= 1400, "the reply was not waited for");
    QVERIFY2(ticks >= 20,
             qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(clock.elapsed())));
    QVERIFY2(window.paints >= 5, qPrintable(QStringLiteral("%1 paints").arg(window.paints)));
}

INSPECTION_TEST_MAIN(ShutdownTest)
#include "test_shutdown.moc"
