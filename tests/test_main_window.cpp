#include "road_driver.h"
#include "support.h"

#include "frame/controls.h"
#include "frame/looks.h"
#include "windows/windows.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <memory>

using namespace road;

namespace {
const QString loadingText = QStringLiteral("正在加载时间...............");

const QStringList helpLines = {
    "使用说明：",
    "点击计算按钮",
    "载入一个窗口",
    "对你正在评定的班级打分",
    "选择时要一次性选择完，点一个就点一次按钮会导致计算失误，出现BUG",
    "在扣分时，有两个是自己酌情扣分和加分的。",
    "要先在单选框上选择是",
    "然后选择显示按钮",
    "可以一个一个来",
    "也可以两个一起来",
    "然后进行扣分（扣分要酌情）",
    "酌情：加分、扣分在5左右",
    "然后关闭，弹出信息框，记录",
    "下面两个按钮为快捷进入按钮！但是请点击计算，不要快捷进入，否则无法计算！",
    "最后一个扣分加分的窗口必须要提交，无论有没有做任何事情！",
    "分数排序：由左上角开始横着到第二行左边到第三行左边到第四行排列 然后排列出来大小",
};

struct Row {
    const char* name;
    QRect rect;
    QString text;
    bool visible = true;
    int songPixels = 0;
};

// The main window's controls as the inspector sees them at start.
const QList<Row> controls = {
    {"按钮4", {8, 168, 232, 24}, "进入分数排序"},
    {"时钟1", {264, 136, 48, 24}, "", false},
    {"标签4", {248, 176, 176, 16}, loadingText},
    {"透明标签1", {312, 128, 144, 40}, "说明↑", true, 48},
    {"按钮6", {152, 144, 72, 24}, "分数扣除"},
    {"按钮5", {8, 144, 144, 24}, "进入填写各个项目"},
    {"编辑框5", {0, 64, 456, 64}, helpLines.join('\n')},
    {"编辑框2", {920, 496, 64, 16}, "(account)"},
    {"超文本浏览框1", {728, 440, 16, 16}, ""},
    {"按钮3", {360, 32, 80, 24}, "联系作者"},
    {"编辑框4", {64, 34, 96, 20}, ""},
    {"标签3", {11, 32, 32, 24}, "得分："},
    {"按钮1", {315, 2, 88, 24}, "计算"},
    {"编辑框1", {8, 2, 304, 24}, "广告区域：广告位0元，可以有下载网址。广告长度无限"},
};

// A text of the clock as it reads at `moment`.
QString clockText(const QDateTime& moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return toText(DateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()})
        .toQString();
}

// Points on the window's own surface, between the controls.
const QList<QPoint> surface = {{250, 45}, {440, 185}, {440, 14}, {460, 40}};
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

public slots:
    // The desktop's handler of tencent: addresses.
    void openChat(const QUrl& url) { m_chats << url.toString(); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void window();
    void layout_data();
    void layout();
    void noOtherControls();
    void fonts();
    void scoreBoxIsReadOnly();
    void firstFocus();
    void keyboardOrder();
    void pointers_data();
    void pointers();
    void clockShowsLoadingTextUntilFirstTick();
    void clockShowsDateAndTime();
    void contactAddress_data();
    void contactAddress();
    void windowTip();
    void shortcutsOpenTheirWindows_data();
    void shortcutsOpenTheirWindows();
    void escClosesTheWindow();

private:
    QWidget* main() const { return road::window(MainWindow); }

    std::unique_ptr<Frame> m_frame;
    QStringList m_chats;
};

void MainWindowTest::initTestCase()
{
    applyProgramLooks();
    QDesktopServices::setUrlHandler(QStringLiteral("tencent"), this, "openChat");
}

void MainWindowTest::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("tencent"));
}

void MainWindowTest::init()
{
    m_chats.clear();
    QVERIFY(startProgram(m_frame));
}

void MainWindowTest::cleanup()
{
    endProgram(m_frame);
}

void MainWindowTest::window()
{
    QWidget* w = main();
    QCOMPARE(w->windowTitle(), QStringLiteral("体育卫生检查系统"));
    QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(isCustomPointer(w->cursor()));
    QVERIFY(w->isEnabled());
}

void MainWindowTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("visible");
    for (const Row& row : controls)
        QTest::newRow(row.name) << QString::fromUtf8(row.name) << row.rect << row.text
                                << row.visible;
}

void MainWindowTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(QString, text);
    QFETCH(bool, visible);

    QWidget* widget = control(MainWindow, name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->parentWidget(), main());
    const QRect at = widget->geometry();
    QCOMPARE(at.topLeft(), rect.topLeft());
    QCOMPARE(at.width(), rect.width());
    // A single-line edit box may grow to one line of its font and its edges.
    if (qobject_cast<QLineEdit*>(widget))
        QCOMPARE(at.height(), std::max(rect.height(), widget->fontMetrics().height() + 4));
    else
        QCOMPARE(at.height(), rect.height());
    if (name == QStringLiteral("编辑框2"))
        QVERIFY2(QRegularExpression("^[1-9][0-9]{4,10}$").match(textOf(widget)).hasMatch(),
                 qPrintable(textOf(widget)));
    else
        QCOMPARE(textOf(widget), text);
    QCOMPARE(!widget->isHidden(), visible);
    QVERIFY(widget->isEnabled());
}

void MainWindowTest::noOtherControls()
{
    QStringList expected;
    for (const Row& row : controls)
        expected << QString::fromUtf8(row.name);
    QStringList found;
    for (QWidget* child : main()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        found << child->objectName();
    expected.sort();
    found.sort();
    QCOMPARE(found, expected);
}

void MainWindowTest::fonts()
{
    const int gui = QApplication::font().pixelSize();
    for (const Row& row : controls) {
        QWidget* widget = control(MainWindow, row.name);
        QVERIFY2(widget, row.name);
        QCOMPARE(widget->font().pixelSize(), row.songPixels ? row.songPixels : gui);
        QCOMPARE(widget->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
    // The tag line "说明↑" lies over the window without a background of its own.
    QVERIFY(!control(MainWindow, "透明标签1")->autoFillBackground());
    QVERIFY(control(MainWindow, "标签4")->autoFillBackground());
}

void MainWindowTest::scoreBoxIsReadOnly()
{
    auto* score = control<QLineEdit>(MainWindow, "编辑框4");
    QVERIFY(score && score->isReadOnly());
    typeInto(score, "12");
    QCOMPARE(score->text(), QString());
    auto* advert = control<QLineEdit>(MainWindow, "编辑框1");
    QVERIFY(advert && !advert->isReadOnly());
    auto* help = control<QPlainTextEdit>(MainWindow, "编辑框5");
    QVERIFY(help && !help->isReadOnly());
    QCOMPARE(help->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(help->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(help->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // Enter starts a new line in the help text, nowhere else.
    click(help);
    pressKey(main(), Qt::Key_End, Qt::ControlModifier);
    pressKey(main(), Qt::Key_Return);
    QCOMPARE(help->toPlainText(), helpLines.join('\n') + '\n');
}

void MainWindowTest::firstFocus()
{
    QCOMPARE(QApplication::focusWidget(), control(MainWindow, "编辑框1"));
}

void MainWindowTest::keyboardOrder()
{
    const QStringList order = {"编辑框1", "按钮1",   "编辑框4", "按钮3", "超文本浏览框1",
                               "编辑框2", "编辑框5", "按钮5",   "按钮6", "按钮4"};
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    QCOMPARE(focusWalk(main(), int(order.size())), order.mid(1) + order.mid(0, 1));
    QStringList back = order;
    std::reverse(back.begin(), back.end());
    QCOMPARE(focusWalk(main(), int(order.size()), true), back);
}

void MainWindowTest::pointers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("custom");
    for (const char* name : {"按钮5", "编辑框5", "按钮3", "编辑框4", "标签3", "按钮1", "编辑框1"})
        QTest::newRow(name) << QString::fromUtf8(name) << true;
    for (const char* name : {"按钮4", "标签4", "透明标签1", "按钮6"})
        QTest::newRow(name) << QString::fromUtf8(name) << false;
}

void MainWindowTest::pointers()
{
    QFETCH(QString, name);
    QFETCH(bool, custom);
    QWidget* widget = control(MainWindow, name);
    QVERIFY(widget);
    // Every point of the control, its inner parts (a text area, a scroll bar) included.
    const QRect area = widget->geometry();
    for (QPoint at :
         {area.center(), area.topLeft() + QPoint(3, 3), area.bottomRight() - QPoint(3, 3),
          QPoint(area.left() + 6, area.center().y())}) {
        const QCursor shown = pointerAt(main(), at);
        QVERIFY2(isCustomPointer(shown) == custom,
                 qPrintable(QStringLiteral("%1 at %2,%3 shows pointer shape %4")
                                .arg(name)
                                .arg(at.x())
                                .arg(at.y())
                                .arg(shown.shape())));
        if (!custom)
            QCOMPARE(shown.shape(), Qt::ArrowCursor);
    }
}

void MainWindowTest::clockShowsLoadingTextUntilFirstTick()
{
    auto* label = control(MainWindow, "标签4");
    auto* timer = dynamic_cast<TimerControl*>(control(MainWindow, "时钟1"));
    QVERIFY(timer);
    QCOMPARE(timer->period(), 1000);
    QElapsedTimer since;
    since.start();
    QCOMPARE(textOf(label), loadingText);
    QTest::qWait(700);
    if (since.elapsed() < 950)
        QCOMPARE(textOf(label), loadingText);
    QTRY_VERIFY_WITH_TIMEOUT(textOf(label) != loadingText, 1500);
}

void MainWindowTest::clockShowsDateAndTime()
{
    auto* label = control(MainWindow, "标签4");
    const QRegularExpression form(
        QStringLiteral("^\\d{4}年\\d{1,2}月\\d{1,2}日(\\d{1,2}时(\\d{1,2}分(\\d{1,2}秒)?)?)?$"));
    QString last;
    for (int tick = 0; tick < 3; ++tick) {
        QTRY_VERIFY_WITH_TIMEOUT(textOf(label) != loadingText && textOf(label) != last, 1600);
        last = textOf(label);
        QVERIFY2(form.match(last).hasMatch(), qPrintable(last));
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY2(last == clockText(now) || last == clockText(now.addSecs(-1)), qPrintable(last));
    }
}

void MainWindowTest::contactAddress_data()
{
    QTest::addColumn<bool>("keepAccount");
    QTest::addColumn<QString>("typed");
    QTest::newRow("the contact's account") << true << QString();
    QTest::newRow("emptied") << false << QString();
    QTest::newRow("another account") << false << QStringLiteral("12345");
}

void MainWindowTest::contactAddress()
{
    QFETCH(bool, keepAccount);
    QFETCH(QString, typed);
    auto* account = control<QLineEdit>(MainWindow, "编辑框2");
    QVERIFY(account);
    QString uin = account->text();
    if (!keepAccount) {
        // The account box lies outside the window: only the keyboard reaches it.
        focusWalk(main(), 5, false);
        QCOMPARE(QApplication::focusWidget(), account);
        pressKey(main(), Qt::Key_A, Qt::ControlModifier);
        pressKey(main(), Qt::Key_Delete);
        QCOMPARE(account->text(), QString());
        typeKeys(main(), typed);
        uin = typed;
    }
    QVERIFY(m_chats.isEmpty());
    click(control(MainWindow, "按钮3"));
    QCOMPARE(m_chats.size(), 1);
    const QRegularExpression address(
        QStringLiteral("^tencent://message/\\?uin=%1&Site=[^&]+&Menu=yes$")
            .arg(QRegularExpression::escape(uin)));
    QVERIFY2(address.match(m_chats.first()).hasMatch(), qPrintable(m_chats.first()));
    auto* browser = dynamic_cast<BrowserBox*>(control(MainWindow, "超文本浏览框1"));
    QVERIFY(browser);
    QCOMPARE(browser->address(), m_chats.first());
    // Nothing is shown, and a second press hands the address over once more.
    QVERIFY(!messageBox());
    click(control(MainWindow, "按钮3"));
    QCOMPARE(m_chats.size(), 2);
    QCOMPARE(m_chats.at(1), m_chats.at(0));
}

void MainWindowTest::windowTip()
{
    const auto shownTips = [] {
        QStringList texts;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("tooltip") && top->isVisible())
                texts << textOf(top);
        }
        return texts;
    };
    for (QPoint at : surface)
        QVERIFY2(!main()->childAt(at), qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));

    // Before any press, resting on the surface shows nothing.
    QTest::mouseMove(main()->windowHandle(), surface[0]);
    QTest::qWait(1200);
    QCOMPARE(shownTips(), QStringList());

    for (QPoint at : surface)
        pressOn(main(), at);
    QTest::mouseMove(main()->windowHandle(), surface[1]);
    QTRY_COMPARE_WITH_TIMEOUT(shownTips(), QStringList{QStringLiteral("卫生检查统计系统")}, 3000);
    // The press changes nothing else on the window.
    QCOMPARE(QApplication::focusWidget(), control(MainWindow, "编辑框1"));
    QVERIFY(!messageBox());
}

void MainWindowTest::shortcutsOpenTheirWindows_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("opens");
    QTest::newRow("进入分数排序") << QStringLiteral("按钮4") << int(SortWindow);
    QTest::newRow("进入填写各个项目") << QStringLiteral("按钮5") << int(ChecklistWindow);
    QTest::newRow("分数扣除") << QStringLiteral("按钮6") << int(DeductionWindow);
}

void MainWindowTest::shortcutsOpenTheirWindows()
{
    QFETCH(QString, button);
    QFETCH(int, opens);
    const WindowId id = WindowId(opens);
    Steps steps;
    steps.whenUp(id, [&] {
        steps.check(!main()->isEnabled(), "the main window is disabled while the other is open");
        // A click on a disabled window does nothing.
        click(control(MainWindow, button));
        steps.check(road::window(id)->isVisible(), "still open");
        pressKey(road::window(id), Qt::Key_Escape);
    });
    steps.whenGone(id, [&] {
        steps.check(main()->isEnabled(), "the main window takes input again");
        steps.check(!messageBox(), "nothing is shown after the window closed");
    });
    QVERIFY2(steps.drive([&] { click(control(MainWindow, button)); }), qPrintable(steps.failure()));
    QVERIFY(!messageBox());
    QCOMPARE(control<QLineEdit>(MainWindow, "编辑框4")->text(), QString());
    QCOMPARE(m_frame->classScore, 0.0);
}

void MainWindowTest::escClosesTheWindow()
{
    pressKey(main(), Qt::Key_Escape, Qt::ControlModifier);
    QVERIFY(main());
    pressKey(main(), Qt::Key_Escape);
    QTRY_VERIFY(!main());
}

INSPECTION_TEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
