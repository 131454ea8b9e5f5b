#include "support.h"

#include "frame/runtime_error.h"
#include "services/text.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

QString shownText(const Text& report)
{
    return report.toQString().replace("\r\n", "\n");
}

struct ChildRun {
    int exitCode = 0;
    QJsonObject box;   // the last message box the child showed
    QByteArray output; // all it printed
};

ChildRun runChild(const QStringList& arguments)
{
    QProcess child;
    child.start(ERROR_CHILD, arguments);
    ChildRun run;
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished();
    }
    run.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1000;
    run.output = child.readAllStandardOutput();
    for (const QByteArray& line : run.output.split('\n')) {
        if (line.startsWith('{'))
            run.box = QJsonDocument::fromJson(line).object();
    }
    return run;
}

// Runs xdotool and gives what it printed.
QString xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(10000))
        tool.kill();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

} // namespace

class RuntimeErrorTest : public QObject {
    Q_OBJECT

private slots:
    void reportText_data();
    void reportText();
    void reportEndsTheProgram_data();
    void reportEndsTheProgram();
    void programEndsWithZeroWhenItsMainWindowCloses();
};

void RuntimeErrorTest::reportText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("report");

    QTest::newRow("neither") << "" << 0 << "运行时出错!\r\n\r\n";
    QTest::newRow("both") << "abc" << 7 << "运行时出错!\r\n\r\n错误代码：7\r\n\r\n错误信息：abc\r\n";
    QTest::newRow("code only") << "" << -1 << "运行时出错!\r\n\r\n错误代码：-1\r\n\r\n";
    QTest::newRow("message only") << "载入启动窗口失败" << 0
                                  << "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n";
}

void RuntimeErrorTest::reportText()
{
    QFETCH(QString, message);
    QFETCH(int, code);
    QFETCH(QString, report);
    QCOMPARE(runtimeErrorReport(Text::fromQString(message), code), Text::fromQString(report));
}

void RuntimeErrorTest::reportEndsTheProgram_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("code");

    QTest::newRow("report with neither code nor message") << QStringList{"report", "0", ""} << ""
                                                          << 0;
    QTest::newRow("report with both") << QStringList{"report", "7", "abc"} << "abc" << 7;
    QTest::newRow("event of a window not loaded")
        << QStringList{"dispatch-window"} << "未找到引发事件的窗口" << 0;
    QTest::newRow("event of a control the window lacks")
        << QStringList{"dispatch-source"} << "未找到引发事件的窗口组件" << 0;
    QTest::newRow("event of a control that raises none")
        << QStringList{"dispatch-kind"} << "引发事件的窗口组件无效" << 0;
    QTest::newRow("destroyWindow of a window not loaded")
        << QStringList{"destroy"} << "指定窗口或窗口组件不存在或尚未载入" << 0;
    QTest::newRow("windowHandle of a window not loaded")
        << QStringList{"handle"} << "指定窗口或窗口组件不存在或尚未载入" << 0;
    QTest::newRow("property read on a window not loaded")
        << QStringList{"read"} << "未载入欲访问窗口组件所在的窗口" << 0;
    QTest::newRow("property write on a window not loaded")
        << QStringList{"write"} << "未载入欲访问窗口组件所在的窗口" << 0;
    QTest::newRow("memory for a joined text") << QStringList{"allocation"}
                                              << "分配 134217728 字节内存失败!" << 0;
}

void RuntimeErrorTest::reportEndsTheProgram()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFETCH(int, code);

    const ChildRun run = runChild(arguments);

    QCOMPARE(run.box.value("title").toString(), QStringLiteral("错误"));
    QCOMPARE(run.box.value("text").toString(),
             shownText(runtimeErrorReport(Text::fromQString(message), code)));
    QCOMPARE(run.box.value("icon").toString(), QStringLiteral("critical"));
    QCOMPARE(run.box.value("buttons").toArray().size(), 1);
    QCOMPARE(run.box.value("buttons").toArray().first().toString().remove('&'),
             QStringLiteral("OK"));
    // The process ends with -1 once OK is pressed: the handler goes no further.
    QCOMPARE(run.exitCode, 255);
    QVERIFY2(!run.output.contains("the handler went on"), run.output.constData());
}

void RuntimeErrorTest::programEndsWithZeroWhenItsMainWindowCloses()
{
    QProcess program;
    program.start(PROGRAM);
    QVERIFY(program.waitForStarted());
    const QString window =
        xdotool({"search", "--sync", "--onlyvisible", "--name", "体育卫生检查系统"}).section('\n', 0, 0);
    QVERIFY(!window.isEmpty());
    xdotool({"windowactivate", "--sync", window});
    xdotool({"key", "--clearmodifiers", "Escape"});

    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

INSPECTION_TEST_MAIN(RuntimeErrorTest)
#include "test_runtime_error.moc"
