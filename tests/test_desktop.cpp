#include "support.h"

#include "frame/frame.h"
#include "frame/looks.h"
#include "services/desktop.h"
#include "services/tooltip.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QUrl>

namespace {

int textChanges = 0;
int stoppedTicks = 0;
int clockTicks = 0;
QList<qint64> ticksAt; // of 时钟2, in ms on `sinceStart`
QElapsedTimer sinceStart;

void countTextChange(Frame&)
{
    ++textChanges;
}

void countStoppedTick(Frame&)
{
    ++stoppedTicks;
}

void noteTick(Frame&)
{
    ticksAt.append(sinceStart.elapsed());
}

// The window's clock: writes its count into the label.
void tickClock(Frame&)
{
    ++clockTicks;
    writeProperty(MainWindow, "标签1", prop::caption, toText(clockTicks));
}

void showNotice(Frame&)
{
    showMessage("请记录");
}

const WindowDefinition servicesWindow{
    .caption = "服务",
    .outerWidth = 420,
    .outerHeight = 300,
    .controls = {
        {Kind::EditBox, "编辑框1", nullptr, {10, 10, 120, 20}, {.text = "起始"},
         {{event::textChanged, countTextChange}}},
        {Kind::EditBox, "编辑框2", nullptr, {10, 40, 160, 60}, {.text = "多行", .multiLine = true},
         {{event::textChanged, countTextChange}}},
        {Kind::RadioBox, "单选框1", nullptr, {10, 110, 90, 16}, {.text = "单选一"}},
        {Kind::RadioBox, "单选框2", nullptr, {10, 130, 90, 16}, {.text = "单选二"}},
        {Kind::Button, "按钮1", nullptr, {200, 10, 80, 24}, {.text = "禁止", .disabled = true}},
        {Kind::Button, "按钮2", nullptr, {200, 40, 80, 24}, {.text = "隐藏", .visible = false}},
        {Kind::Button, "按钮3", nullptr, {200, 70, 80, 24}, {.text = "消息"},
         {{event::clicked, showNotice}}},
        {Kind::Label, "标签1", nullptr, {200, 110, 150, 16}, {.text = "时间"}},
        {Kind::Timer, "时钟1", nullptr, {0, 0, 1, 1}, {}, {{event::periodic, countStoppedTick}}},
        {Kind::Timer, "时钟2", nullptr, {0, 0, 1, 1}, {}, {{event::periodic, noteTick}}},
        {Kind::Timer, "时钟3", nullptr, {0, 0, 1, 1}, {}, {{event::periodic, tickClock}}},
        {Kind::HtmlViewer, "超文本浏览框1", nullptr, {300, 200, 16, 16}},
    }};
const WindowDefinition otherWindow{.caption = "别的", .outerWidth = 200, .outerHeight = 100};
const WindowSet services{&servicesWindow, &otherWindow, &otherWindow, &otherWindow};

QMessageBox* messageBoxUp()
{
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

QWidget* widget(Frame& frame, const char* name)
{
    return frame.window(MainWindow)->control(name)->widget;
}

QList<QLabel*> tipsShown()
{
    QList<QLabel*> tips;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QStringLiteral("tooltip") && window->isVisible())
            tips.append(static_cast<QLabel*>(window));
    }
    return tips;
}

int tipWindows()
{
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        count += window->objectName() == QStringLiteral("tooltip");
    return count;
}

// Takes the addresses handed to the desktop for one scheme.
class AddressCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> addresses;

public slots:
    void open(const QUrl& address) { addresses.append(address); }
};

} // namespace

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramLooks(); }

    void init()
    {
        textChanges = 0;
        stoppedTicks = 0;
        clockTicks = 0;
        ticksAt.clear();
    }

    void messageBox_data();
    void messageBox();
    void editTextWritesRaiseOneEventEach_data();
    void editTextWritesRaiseOneEventEach();
    void typedKeysRaiseAnEventEach();
    void checkedReadsAsOneOrZero();
    void visibleAndDisableWrites_data();
    void visibleAndDisableWrites();
    void disableReadsTheControlsOwnState();
    void timerOfPeriodZeroNeverFires();
    void timerPeriodWrites_data();
    void timerPeriodWrites();
    void clockRunsWhileAMessageBoxIsUp();
    // Must come before the other tooltip tests: the process's tip is made only once.
    void tooltipForHandleZeroMakesNoTip();
    void repeatedTooltipKeepsOneTipWithTheFirstText();
    void tooltipShowsOverTheWindowsOwnSurface_data();
    void tooltipShowsOverTheWindowsOwnSurface();
    void addressGoesToTheDesktopAtOnce();
    void addressOfAnUnknownSchemeIsHandedOnToo();
};

void DesktopTest::messageBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("buttons");
    QTest::addColumn<QMessageBox::StandardButton>("press");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("result");

    using B = QMessageBox::StandardButton;
    const QList<B> ok{B::Ok};
    const QList<B> okCancel{B::Ok, B::Cancel};
    const QList<B> abortRetryIgnore{B::Abort, B::Retry, B::Ignore};
    const QList<B> yesNoCancel{B::Yes, B::No, B::Cancel};
    const QList<B> yesNo{B::Yes, B::No};
    const QList<B> retryCancel{B::Retry, B::Cancel};
    const int none = QMessageBox::NoIcon;
    QTest::newRow("empty text") << "" << 0 << ok << B::Ok << none << 0;
    QTest::newRow("text shown as it is") << "  两行\r\n第二行  " << 0 << ok << B::Ok << none << 0;
    QTest::newRow("OK of OK/Cancel") << "问" << 1 << okCancel << B::Ok << none << 0;
    QTest::newRow("Cancel") << "问" << 1 << okCancel << B::Cancel << none << 1;
    QTest::newRow("Abort") << "问" << 2 << abortRetryIgnore << B::Abort << none << 2;
    QTest::newRow("Retry") << "问" << 2 << abortRetryIgnore << B::Retry << none << 3;
    QTest::newRow("Ignore") << "问" << 2 << abortRetryIgnore << B::Ignore << none << 4;
    QTest::newRow("Yes") << "问" << 3 << yesNoCancel << B::Yes << none << 5;
    QTest::newRow("No") << "问" << 3 << yesNoCancel << B::No << none << 6;
    QTest::newRow("Cancel of Yes/No/Cancel") << "问" << 3 << yesNoCancel << B::Cancel << none << 1;
    QTest::newRow("No of Yes/No") << "问" << 4 << yesNo << B::No << none << 6;
    QTest::newRow("Retry of Retry/Cancel") << "问" << 5 << retryCancel << B::Retry << none << 3;
    QTest::newRow("error icon") << "错" << 0x10 << ok << B::Ok << int(QMessageBox::Critical) << 0;
    QTest::newRow("question icon") << "问" << 0x24 << yesNo << B::Yes
                                   << int(QMessageBox::Question) << 5;
    QTest::newRow("warning icon") << "警" << 0x30 << ok << B::Ok << int(QMessageBox::Warning) << 0;
    QTest::newRow("information icon") << "信" << 0x41 << okCancel << B::Cancel
                                      << int(QMessageBox::Information) << 1;
    QTest::newRow("system-modal bit") << "系统" << 0x1000 << ok << B::Ok << none << 0;
}

void DesktopTest::messageBox()
{
    QFETCH(QString, text);
    QFETCH(int, style);
    QFETCH(QList<QMessageBox::StandardButton>, buttons);
    QFETCH(QMessageBox::StandardButton, press);
    QFETCH(int, icon);
    QFETCH(int, result);

    QString title;
    QString shown;
    QList<QMessageBox::StandardButton> offered;
    int shownIcon = -1;
    bool blocksTheProgram = false;
    when(messageBoxUp, [&] {
        QMessageBox* box = messageBoxUp();
        title = box->windowTitle();
        shown = box->text();
        for (QAbstractButton* button : box->buttons())
            offered.append(box->standardButton(button));
        shownIcon = box->icon();
        blocksTheProgram = box->windowModality() == Qt::ApplicationModal;
        QTest::mouseClick(box->button(press), Qt::LeftButton);
    });
    QCOMPARE(showMessage(Text::fromQString(text), style), result);

    QCOMPARE(title, QStringLiteral("信息："));
    QCOMPARE(shown, QString(text).replace("\r\n", "\n"));
    std::sort(offered.begin(), offered.end());
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(offered, buttons);
    QCOMPARE(shownIcon, icon);
    QVERIFY(blocksTheProgram);
}

void DesktopTest::editTextWritesRaiseOneEventEach_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QString>("read");

    QTest::newRow("one write") << QByteArray("编辑框1") << QStringList{"甲"} << "甲";
    QTest::newRow("the same text twice") << QByteArray("编辑框1") << QStringList{"甲", "甲"}
                                         << "甲";
    QTest::newRow("the text it already holds") << QByteArray("编辑框1") << QStringList{"起始"}
                                               << "起始";
    QTest::newRow("the empty text") << QByteArray("编辑框1") << QStringList{""} << "";
    QTest::newRow("multi-line, one write")
        << QByteArray("编辑框2") << QStringList{"一\r\n二"} << "一\r\n二";
    QTest::newRow("multi-line, the same text twice")
        << QByteArray("编辑框2") << QStringList{"一\r\n二", "一\r\n二"} << "一\r\n二";
}

void DesktopTest::editTextWritesRaiseOneEventEach()
{
    QFETCH(QByteArray, control);
    QFETCH(QStringList, writes);
    QFETCH(QString, read);
    Frame frame(services);
    frame.loadWindow(MainWindow, false);

    for (const QString& text : writes)
        writeProperty(MainWindow, control, prop::text, Text::fromQString(text));

    QCOMPARE(textChanges, writes.size());
    QCOMPARE(readProperty(MainWindow, control, prop::text).text.toQString(), read);
}

void DesktopTest::typedKeysRaiseAnEventEach()
{
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    QWidget* edit = widget(frame, "编辑框1");
    QTest::keyClicks(edit, "ab");
    QCOMPARE(textChanges, 2);
    // A box opens with its caret before the first character.
    QCOMPARE(readProperty(MainWindow, "编辑框1", prop::text).text, Text("ab起始"));
}

void DesktopTest::checkedReadsAsOneOrZero()
{
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    QCOMPARE(readProperty(MainWindow, "单选框1", prop::checked).number, 0);
    QTest::mouseClick(widget(frame, "单选框1"), Qt::LeftButton, {}, QPoint(6, 8));
    QCOMPARE(readProperty(MainWindow, "单选框1", prop::checked).number, 1);
    QCOMPARE(readProperty(MainWindow, "单选框2", prop::checked).number, 0);
    QTest::mouseClick(widget(frame, "单选框2"), Qt::LeftButton, {}, QPoint(6, 8));
    QCOMPARE(readProperty(MainWindow, "单选框1", prop::checked).number, 0);
    QCOMPARE(readProperty(MainWindow, "单选框2", prop::checked).number, 1);
}

void DesktopTest::visibleAndDisableWrites_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<int>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("read");

    QTest::newRow("可视 1 shows a hidden control")
        << QByteArray("按钮2") << prop::visible << 1 << true << true << 1;
    QTest::newRow("可视 of another non-zero value shows it too")
        << QByteArray("按钮2") << prop::visible << 5 << true << true << 1;
    QTest::newRow("可视 0 hides") << QByteArray("编辑框1") << prop::visible << 0 << false << true
                                << 0;
    QTest::newRow("禁止 1 on a disabled button leaves it so")
        << QByteArray("按钮1") << prop::disable << 1 << true << false << 1;
    QTest::newRow("禁止 0 enables") << QByteArray("按钮1") << prop::disable << 0 << true << true
                                  << 0;
    QTest::newRow("禁止 of another non-zero value disables")
        << QByteArray("按钮3") << prop::disable << -7 << true << false << 1;
}

void DesktopTest::visibleAndDisableWrites()
{
    QFETCH(QByteArray, control);
    QFETCH(int, property);
    QFETCH(int, value);
    QFETCH(bool, shown);
    QFETCH(bool, enabled);
    QFETCH(int, read);
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    QVERIFY(QTest::qWaitForWindowExposed(frame.window(MainWindow)));

    writeProperty(MainWindow, control, property, value);

    QCOMPARE(widget(frame, control)->isVisible(), shown);
    QCOMPARE(widget(frame, control)->isEnabled(), enabled);
    QCOMPARE(readProperty(MainWindow, control, property).number, read);
}

void DesktopTest::disableReadsTheControlsOwnState()
{
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    // As while a dialog-mode window is open over it.
    frame.window(MainWindow)->setEnabled(false);
    QCOMPARE(readProperty(MainWindow, "按钮3", prop::disable).number, 0);
    QCOMPARE(readProperty(MainWindow, "按钮1", prop::disable).number, 1);
}

void DesktopTest::timerOfPeriodZeroNeverFires()
{
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    QTest::qWait(300);
    QCOMPARE(stoppedTicks, 0);
    QCOMPARE(readProperty(MainWindow, "时钟1", prop::period).number, 0);
}

void DesktopTest::timerPeriodWrites_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("read");
    // When the first tick after the write may come, in ms after the write; -1: none within
    // a second.
    QTest::addColumn<int>("earliest");
    QTest::addColumn<int>("latest");

    // The write comes 250 ms after the initial period was set.
    QTest::newRow("the same value keeps the timer's phase") << 400 << 400 << 400 << 100 << 330;
    QTest::newRow("a new value starts the period anew") << 400 << 401 << 401 << 395 << 800;
    QTest::newRow("a stopped timer starts") << 0 << 100 << 100 << 95 << 500;
    QTest::newRow("0 stops it") << 100 << 0 << 0 << -1 << -1;
    QTest::newRow("a negative value is 0") << 100 << -5 << 0 << -1 << -1;
}

void DesktopTest::timerPeriodWrites()
{
    QFETCH(int, initial);
    QFETCH(int, written);
    QFETCH(int, read);
    QFETCH(int, earliest);
    QFETCH(int, latest);
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    sinceStart.start();
    writeProperty(MainWindow, "时钟2", prop::period, initial);
    QTest::qWait(250);
    ticksAt.clear();
    const qint64 writtenAt = sinceStart.elapsed();
    writeProperty(MainWindow, "时钟2", prop::period, written);
    QCOMPARE(readProperty(MainWindow, "时钟2", prop::period).number, read);

    if (earliest < 0) {
        QTest::qWait(1000);
        QCOMPARE(ticksAt, QList<qint64>());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!ticksAt.isEmpty(), 2000);
        const qint64 after = ticksAt.first() - writtenAt;
        QVERIFY2(after >= earliest && after <= latest, qPrintable(QString::number(after)));
    }
}

void DesktopTest::clockRunsWhileAMessageBoxIsUp()
{
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    writeProperty(MainWindow, "时钟3", prop::period, 30);
    auto* label = static_cast<QLabel*>(widget(frame, "标签1"));
    QStringList captions;
    when(messageBoxUp, [&] {
        captions << label->text();
        QTest::qWait(200);
        captions << label->text();
        QTest::mouseClick(messageBoxUp()->button(QMessageBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(widget(frame, "按钮3"), Qt::LeftButton);

    QCOMPARE(captions.size(), 2);
    QVERIFY2(captions.at(0) != captions.at(1), qPrintable(captions.join(" / ")));
    QVERIFY(captions.at(1).toInt() >= 2);
}

void DesktopTest::tooltipForHandleZeroMakesNoTip()
{
    const int before = tipWindows();
    QCOMPARE(addTooltip(0, "提示", true, true), 0);
    QCOMPARE(tipWindows(), before);
    QCOMPARE(before, 0);
}

void DesktopTest::repeatedTooltipKeepsOneTipWithTheFirstText()
{
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    FrameWindow* window = frame.window(MainWindow);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(addTooltip(windowHandle(MainWindow), "第一", true, true), 1);
    addTooltip(windowHandle(MainWindow), "第二", false, false);
    addTooltip(windowHandle(MainWindow), "第一", true, true);

    const QPoint surface(350, 250);
    QHelpEvent rest(QEvent::ToolTip, surface, window->mapToGlobal(surface));
    QApplication::sendEvent(window, &rest);

    QCOMPARE(tipWindows(), 1);
    const QList<QLabel*> shown = tipsShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first()->text(), QStringLiteral("第一"));
}

void DesktopTest::tooltipShowsOverTheWindowsOwnSurface_data()
{
    QTest::addColumn<QPoint>("rest");
    QTest::addColumn<bool>("shows");
    QTest::newRow("the window's surface") << QPoint(350, 250) << true;
    QTest::newRow("a button") << QPoint(240, 80) << false;
    QTest::newRow("an edit box") << QPoint(40, 20) << false;
}

void DesktopTest::tooltipShowsOverTheWindowsOwnSurface()
{
    QFETCH(QPoint, rest);
    QFETCH(bool, shows);
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    FrameWindow* window = frame.window(MainWindow);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    addTooltip(windowHandle(MainWindow), "卫生检查", true, true);
    QVERIFY(tipsShown().isEmpty());

    QTest::mouseMove(window->windowHandle(), rest);

    if (shows) {
        QTRY_COMPARE(tipsShown().size(), 1);
        QCOMPARE(tipsShown().first()->text(), QStringLiteral("卫生检查"));
    } else {
        QTest::qWait(1500);
        QVERIFY(tipsShown().isEmpty());
    }
}

void DesktopTest::addressGoesToTheDesktopAtOnce()
{
    AddressCatcher catcher;
    QDesktopServices::setUrlHandler("tencent", &catcher, "open");
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    const QString address("tencent://message/?uin=10001&Site=hygiene-inspection&Menu=yes");

    writeProperty(MainWindow, "超文本浏览框1", prop::url, Text::fromQString(address));

    QDesktopServices::unsetUrlHandler("tencent");
    QCOMPARE(catcher.addresses.size(), 1);
    QCOMPARE(catcher.addresses.first().toString(), address);
    QCOMPARE(readProperty(MainWindow, "超文本浏览框1", prop::url).text.toQString(), address);
}

void DesktopTest::addressOfAnUnknownSchemeIsHandedOnToo()
{
    QTemporaryDir dir;
    const QString log = dir.filePath("opened");
    qputenv("FAKE_XDG_OPEN_LOG", QFile::encodeName(log));
    Frame frame(services);
    frame.loadWindow(MainWindow, false);
    const QString address("no-such-scheme-here:abc");

    writeProperty(MainWindow, "超文本浏览框1", prop::url, Text::fromQString(address));

    QCOMPARE(readProperty(MainWindow, "超文本浏览框1", prop::url).text.toQString(), address);
    auto opened = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTRY_COMPARE(opened(), address + '\n');
    qunsetenv("FAKE_XDG_OPEN_LOG");
}

INSPECTION_TEST_MAIN(DesktopTest)
#include "test_desktop.moc"
