#include "road_driver.h"
#include "support.h"

#include "frame/looks.h"
#include "windows/windows.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

#include <memory>

using namespace road;

namespace {
const QString submitted = QStringLiteral("提交成功，请填写分数扣除  ");
const QString nineBlanks = QStringLiteral("         ");

QString firstScoreMessage(const QString& score)
{
    return QStringLiteral("本班得分：") + score + nineBlanks + QStringLiteral("请记录");
}

QString secondScoreMessage(const QString& score)
{
    return QStringLiteral("本班得分：") + score + nineBlanks +
           QStringLiteral("请迅速记录到纸张上！");
}

const QStringList allReached = {"单选框1",  "单选框4",  "单选框11", "单选框3",
                                "单选框10", "单选框9",  "单选框16", "单选框26",
                                "单选框15", "单选框13", "单选框14", "单选框23"};
const QStringList allHalf = {"单选框25", "单选框28", "单选框30", "单选框29",
                             "单选框31", "单选框32", "单选框33", "单选框34",
                             "单选框35", "单选框36", "单选框37", "单选框38"};

QString scoreBox()
{
    return textOf(control(MainWindow, "编辑框4"));
}

void clickAll(WindowId id, const QStringList& names)
{
    for (const QString& name : names)
        click(control(id, name));
}

// What the inspector does in the deductions window.
struct Deductions {
    QStringList misconduct;
    QString deduction;    // typed into the deduction box, after "是" of item 6 and "显示"
    QString bonus;        // typed into the bonus box, after "是" of the bonus item and "显示"
    QString closeBy;      // "无", "Esc" or "close box"
    bool restart = false; // presses "卡时便捷重启" first
};
} // namespace

Q_DECLARE_METATYPE(Deductions)

class RoadTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void road_data();
    void road();
    void clockRunsThroughTheRoad();
    void scoreBoxBetweenClasses();
    void quickRestartAsksLogind();

private:
    QWidget* main() const { return road::window(MainWindow); }
    // The steps of the road from the checklist's marks to the closed checklist.
    void checklistSteps(Steps& steps, const QStringList& marks, bool submit, const Deductions& d,
                        double scoreAfterDeductions);

    QStringList logindRequests() const;

    std::unique_ptr<Frame> m_frame;
    // A fake logind on a private system bus, for the restart button.
    QTemporaryDir m_bus;
    QProcess m_logind;
};

void RoadTest::initTestCase()
{
    applyProgramLooks();
    // Read at the process's first bus connection: this run's system bus is the fake's.
    QVERIFY(m_bus.isValid());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS",
            "unix:path=" + m_bus.filePath(QStringLiteral("system_bus_socket")).toUtf8());
}

void RoadTest::init()
{
    QVERIFY(startProgram(m_frame));
}

void RoadTest::cleanup()
{
    if (m_logind.state() != QProcess::NotRunning) {
        m_logind.terminate();
        if (!m_logind.waitForFinished(5000))
            m_logind.kill();
        m_logind.waitForFinished();
    }
    endProgram(m_frame);
}

void RoadTest::checklistSteps(Steps& steps, const QStringList& marks, bool submit,
                              const Deductions& d, double scoreAfterDeductions)
{
    steps.whenUp(ChecklistWindow, [&steps, marks, submit] {
        QWidget* checklist = road::window(ChecklistWindow);
        steps.check(!road::window(MainWindow)->isEnabled(), "the main window waits disabled");
        steps.check(QApplication::focusWidget() == control(ChecklistWindow, "按钮1"),
                    "the checklist opens with the focus on 提交");
        clickAll(ChecklistWindow, marks);
        if (submit)
            click(control(ChecklistWindow, "按钮1"));
        else
            checklist->close();
    });
    if (!submit)
        return;
    steps.whenMessage(submitted, [&steps] {
        steps.check(!control(ChecklistWindow, "按钮1")->isEnabled(),
                    "提交 is disabled while the message is up");
    });
    steps.whenUp(DeductionWindow, [this, &steps, d, scoreAfterDeductions] {
        QWidget* deductions = road::window(DeductionWindow);
        steps.check(!road::window(ChecklistWindow)->isEnabled() && !main()->isEnabled(),
                    "the checklist and the main window wait disabled");
        steps.check(QApplication::activeWindow() == deductions,
                    "the deductions window opens over the checklist");
        steps.check(QApplication::focusWidget() == control(DeductionWindow, "按钮1"),
                    "the deductions window opens with the focus on 提交");
        if (d.restart) {
            click(control(DeductionWindow, "按钮4"));
            // Nothing shows the answer, and the window stays open.
            steps.check(!messageBox() && road::window(DeductionWindow)->isVisible(),
                        "the restart request showed something or closed the window");
        }
        // Esc to the disabled checklist closes nothing.
        pressKey(road::window(ChecklistWindow), Qt::Key_Escape);
        steps.check(road::window(ChecklistWindow) != nullptr, "Esc reached the disabled checklist");
        clickAll(DeductionWindow, d.misconduct);
        if (!d.deduction.isEmpty()) {
            clickAll(DeductionWindow, {"单选框11", "按钮3"});
            typeInto(control(DeductionWindow, "编辑框1"), d.deduction);
        }
        if (!d.bonus.isEmpty()) {
            clickAll(DeductionWindow, {"单选框13", "按钮3"});
            typeInto(control(DeductionWindow, "编辑框2"), d.bonus);
        }
        click(control(DeductionWindow, "按钮1"));
        steps.check(!control(DeductionWindow, "按钮1")->isEnabled(), "提交 is disabled");
        steps.check(m_frame->classScore == scoreAfterDeductions,
                    QStringLiteral("the class scores %1 after the deductions, expected %2")
                        .arg(m_frame->classScore)
                        .arg(scoreAfterDeductions));
        if (d.closeBy == QStringLiteral("无"))
            click(control(DeductionWindow, "按钮2"));
        else if (d.closeBy == QStringLiteral("Esc"))
            pressKey(deductions, Qt::Key_Escape);
        else
            deductions->close();
    });
    if (d.closeBy == QStringLiteral("无"))
        steps.whenMessage(QStringLiteral("收到"), {}, [&steps] {
            steps.check(road::window(DeductionWindow) != nullptr,
                        "the deductions window goes only after its handler has ended");
        });
    steps.whenGone(DeductionWindow, [this, &steps] {
        steps.check(road::window(ChecklistWindow)->isEnabled(), "the checklist takes input again");
        steps.check(!main()->isEnabled(), "the main window still waits");
        steps.check(!control(ChecklistWindow, "按钮1")->isEnabled(), "提交 stays disabled");
        road::window(ChecklistWindow)->close();
    });
}

void RoadTest::road_data()
{
    QTest::addColumn<QStringList>("shortcut"); // marks submitted first through 进入填写各个项目
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<bool>("submit");
    QTest::addColumn<Deductions>("deductions");
    QTest::addColumn<QString>("score");

    QStringList mixed = allReached;
    mixed.replace(mixed.indexOf("单选框9"), "单选框32");
    QTest::newRow("the whole road")
        << QStringList{} << mixed << true << Deductions{{"单选框7"}, "3", "5", "无"} << "28.5";
    QTest::newRow("all 达成") << QStringList{} << allReached << true
                              << Deductions{{}, "", "", "Esc"} << "30";
    QTest::newRow("all 一半") << QStringList{} << allHalf << true
                              << Deductions{{}, "", "", "close box"} << "15";
    QTest::newRow("item 8 in both sets") << QStringList{} << QStringList{"单选框26", "单选框34"}
                                         << true << Deductions{{}, "", "", "无"} << "3";
    QTest::newRow("item 3 一半 then 达成") << QStringList{} << QStringList{"单选框30", "单选框11"}
                                           << true << Deductions{{}, "", "", "Esc"} << "2";
    QTest::newRow("nothing checked")
        << QStringList{} << QStringList{} << true << Deductions{{}, "", "", "无"} << "0";
    QTest::newRow("checklist closed without submit")
        << QStringList{} << allReached << false << Deductions{} << "0";
    QTest::newRow("negative") << QStringList{} << QStringList{} << true
                              << Deductions{{"单选框1", "单选框9"}, "", "", "Esc"} << "-3";
    QTest::newRow("half") << QStringList{} << allReached << true
                          << Deductions{{"单选框7"}, "", "", "无"} << "29.5";
    QTest::newRow("typed deduction -7")
        << QStringList{} << QStringList{} << true << Deductions{{}, "-7", "", "Esc"} << "7";
    QTest::newRow("items 1 to 5 是 and a bonus")
        << QStringList{} << QStringList{"单选框13"} << true
        << Deductions{{"单选框1", "单选框3", "单选框5", "单选框7", "单选框9"}, "", "2", "无"}
        << "0.5";
    QTest::newRow("shortcut points carried")
        << allHalf << allReached << true << Deductions{{}, "", "", "Esc"} << "45";
    QTest::newRow("shortcut points carried, checklist unsubmitted")
        << allHalf << allReached << false << Deductions{} << "15";
}

void RoadTest::road()
{
    QFETCH(QStringList, shortcut);
    QFETCH(QStringList, marks);
    QFETCH(bool, submit);
    QFETCH(Deductions, deductions);
    QFETCH(QString, score);

    if (!shortcut.isEmpty()) {
        Steps first;
        checklistSteps(first, shortcut, true, Deductions{{}, "", "", "Esc"}, 15);
        QVERIFY2(first.drive([this] { click(control(MainWindow, "按钮5")); }),
                 qPrintable(first.failure()));
        // Nothing is shown on the main window after a shortcut.
        QCOMPARE(scoreBox(), QString());
        QVERIFY(!messageBox());
    }

    Steps steps;
    checklistSteps(steps, marks, submit, deductions, score.toDouble());
    steps.whenMessage(firstScoreMessage(score), [this, &steps, score] {
        steps.check(scoreBox() == score, QStringLiteral("the score box holds %1").arg(scoreBox()));
        // The main window takes no input under the message.
        click(control(MainWindow, "按钮1"));
        steps.check(!road::window(ChecklistWindow), "a click reached the main window");
        steps.check(m_frame->classScore == score.toDouble(), "the score is kept until recorded");
    });
    steps.whenMessage(secondScoreMessage(score), [&steps, score] {
        steps.check(scoreBox() == score, QStringLiteral("the score box holds %1").arg(scoreBox()));
    });
    QVERIFY2(steps.drive([this] { click(control(MainWindow, "按钮1")); }),
             qPrintable(steps.failure()));
    QCOMPARE(scoreBox(), QStringLiteral("0"));
    QCOMPARE(m_frame->classScore, 0.0);
    QVERIFY(main()->isEnabled());
    QVERIFY(!messageBox());
}

void RoadTest::clockRunsThroughTheRoad()
{
    const QString loading = QStringLiteral("正在加载时间...............");
    QCOMPARE(textOf(control(MainWindow, "标签4")), loading);
    Steps steps;
    steps.whenUp(ChecklistWindow);
    steps.clockTicks("the checklist");
    steps.then(
        "clicking 提交", [] { return true; },
        [] {
            clickAll(ChecklistWindow, {"单选框9", "按钮1"});
        });
    steps.clockTicks("the submit message");
    steps.whenMessage(submitted);
    steps.whenUp(DeductionWindow);
    steps.clockTicks("the deductions window");
    steps.then(
        "clicking 无", [] { return true; }, [] { click(control(DeductionWindow, "按钮2")); });
    steps.clockTicks("the message 收到");
    steps.whenMessage(QStringLiteral("收到"));
    steps.whenGone(DeductionWindow, [] { road::window(ChecklistWindow)->close(); });
    steps.clockTicks("the first score message");
    steps.whenMessage(firstScoreMessage("6"));
    steps.clockTicks("the second score message");
    steps.whenMessage(secondScoreMessage("6"), [&steps, loading] {
        steps.check(textOf(control(MainWindow, "标签4")) != loading, "the clock shows the time");
    });
    QVERIFY2(steps.drive([this] { click(control(MainWindow, "按钮1")); }, 60000),
             qPrintable(steps.failure()));
    QCOMPARE(scoreBox(), QStringLiteral("0"));
}

void RoadTest::scoreBoxBetweenClasses()
{
    // Two classes in a row: the second starts from 0, whatever the first scored.
    for (const QString& score : {QStringLiteral("6"), QStringLiteral("2")}) {
        Steps steps;
        const QStringList marks =
            score == QStringLiteral("6") ? QStringList{"单选框9"} : QStringList{"单选框4"};
        checklistSteps(steps, marks, true, Deductions{{}, "", "", "Esc"}, score.toDouble());
        steps.whenMessage(firstScoreMessage(score));
        steps.whenMessage(secondScoreMessage(score));
        QVERIFY2(steps.drive([this] { click(control(MainWindow, "按钮1")); }),
                 qPrintable(steps.failure()));
        QCOMPARE(scoreBox(), QStringLiteral("0"));
    }
}

QStringList RoadTest::logindRequests() const
{
    QFile log(m_bus.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {log.errorString()};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void RoadTest::quickRestartAsksLogind()
{
    // Debian's interpreter, which has python3-dbusmock, whatever else is on PATH.
    m_logind.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(FAKE_LOGIND_SCRIPT), m_bus.path(), R"({"CanReboot": "yes"})"});
    while (!m_logind.canReadLine())
        QVERIFY2(m_logind.waitForReadyRead(10000), m_logind.readAllStandardError().constData());
    QCOMPARE(m_logind.readLine().trimmed(), QByteArray("ready"));
    {
        // A current logind has RebootWithFlags; the fake's template lacks it.
        QDBusConnection control = QDBusConnection::connectToBus(
            qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("fake-logind-control"));
        QDBusMessage add =
            QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                           "org.freedesktop.DBus.Mock", "AddMethod");
        add.setArguments({"org.freedesktop.login1.Manager", "RebootWithFlags", "t", "", ""});
        QCOMPARE(control.call(add).type(), QDBusMessage::ReplyMessage);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-logind-control"));
    QCOMPARE(logindRequests(), QStringList());

    Steps steps;
    Deductions deductions{{"单选框5"}, "", "", "无"};
    deductions.restart = true;
    checklistSteps(steps, {"单选框9"}, true, deductions, 5);
    steps.whenMessage(firstScoreMessage("5"));
    steps.whenMessage(secondScoreMessage("5"));
    QVERIFY2(steps.drive([this] { click(control(MainWindow, "按钮1")); }),
             qPrintable(steps.failure()));
    // A restart without force: logind is asked, then asked to reboot, holding to inhibitors.
    const QString manager =
        QStringLiteral("/org/freedesktop/login1 org.freedesktop.login1.Manager.");
    QCOMPARE(logindRequests(),
             (QStringList{manager + "CanReboot()", manager + "RebootWithFlags(t 1) interactive"}));
}

INSPECTION_TEST_MAIN(RoadTest)
#include "test_road.moc"
