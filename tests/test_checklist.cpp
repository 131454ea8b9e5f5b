#include "road_driver.h"
#include "support.h"

#include "frame/looks.h"
#include "windows/windows.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

using namespace road;

namespace {
const QString submitted = QStringLiteral("提交成功，请填写分数扣除  ");

struct Row {
    const char* name;
    const char* container; // nullptr: the window
    QRect rect;
    QString text;
    bool customPointer = false;
    int songPixels = 0;
    bool red = false;
    double points = 0; // a radio button's points when checked
};

const QString reached = QStringLiteral("达成");
const QString missed = QStringLiteral("未达成");
const QString half = QStringLiteral("一半");

// The checklist as its inspector sees it at opening, item by item.
const QList<Row> controls = {
    {"标签13", nullptr, {8, 8, 200, 48}, "教室卫生", true, 48, true},
    {"标签14", nullptr, {16, 208, 128, 40}, "清洁区卫生", true, 24, true},
    {"标签15", nullptr, {16, 345, 120, 56}, "宿舍卫生", true, 24, true},
    // item 1
    {"标签1",
     nullptr,
     {8, 72, 480, 16},
     "室内、室外走廊地面清洁无杂物、无积水、无卫生死角。卫生工具摆放整齐，垃圾及时清理",
     true},
    {"分组框2", nullptr, {496, 61, 200, 27}, ""},
    {"单选框1", "分组框2", {8, 8, 56, 16}, reached, false, 0, false, 2},
    {"单选框2", "分组框2", {64, 8, 56, 16}, missed, true},
    {"单选框25", "分组框2", {120, 8, 48, 16}, half, false, 0, false, 1},
    // item 2
    {"标签2",
     nullptr,
     {8, 92, 728, 24},
     "室内外瓷砖、墙壁无灰尘、无粉笔灰、无蜘蛛网、无鞋印、无球印，无乱写乱画、乱贴乱挂现象；门窗玻"
     "璃明净无污渍，窗台干净无尘土。",
     true},
    {"分组框1", nullptr, {744, 88, 168, 32}, ""},
    {"单选框4", "分组框1", {2, 11, 48, 16}, reached, true, 0, false, 2},
    {"单选框8", "分组框1", {50, 11, 64, 16}, missed, true},
    {"单选框28", "分组框1", {104, 11, 48, 16}, half, false, 0, false, 1},
    // item 3
    {"标签4", nullptr, {8, 128, 104, 16}, "周四，卫生大扫除", true},
    {"分组框4", nullptr, {120, 112, 168, 32}, ""},
    {"单选框11", "分组框4", {8, 8, 48, 16}, reached, true, 0, false, 2},
    {"单选框6", "分组框4", {56, 8, 64, 16}, missed, true},
    {"单选框30", "分组框4", {112, 8, 48, 16}, half, false, 0, false, 1},
    // item 4
    {"标签3", nullptr, {8, 152, 288, 16}, "桌椅摆放整齐，讲台上物品摆放整齐，讲台下无杂物。", true},
    {"分组框3", nullptr, {304, 144, 200, 32}, ""},
    {"单选框3", "分组框3", {8, 8, 64, 16}, reached, true, 0, false, 2},
    {"单选框7", "分组框3", {72, 8, 64, 16}, missed, true},
    {"单选框29", "分组框3", {128, 8, 48, 16}, half, false, 0, false, 1},
    // item 5
    {"标签5", nullptr, {8, 184, 56, 16}, "平时抽查", true},
    {"分组框5", nullptr, {72, 168, 200, 32}, ""},
    {"单选框10", "分组框5", {8, 8, 64, 16}, reached, true, 0, false, 2},
    {"单选框5", "分组框5", {80, 8, 64, 16}, missed, true},
    {"单选框31", "分组框5", {136, 8, 48, 16}, half, false, 0, false, 1},
    // item 6
    {"标签6",
     nullptr,
     {0, 250, 880, 16},
     "清扫及时，清扫后洒水；地面无杂物、无积水；楼梯无杂物、无积水，扶手干净，墙壁、瓷砖无污渍、无"
     "蛛网、灰尘，无鞋印、球印，无乱刻乱画现象；草坪内无杂物。",
     true},
    {"分组框8", nullptr, {648, 264, 184, 32}, ""},
    {"单选框9", "分组框8", {8, 8, 48, 16}, reached, false, 0, false, 6},
    {"单选框12", "分组框8", {64, 8, 72, 16}, missed, false},
    {"单选框32", "分组框8", {128, 8, 48, 16}, half, false, 0, false, 3},
    // item 7
    {"标签7", nullptr, {8, 296, 104, 16}, "周四，卫生大扫除", true},
    {"分组框7", nullptr, {112, 272, 224, 40}, ""},
    {"单选框16", "分组框7", {8, 16, 64, 16}, reached, true, 0, false, 2},
    {"单选框17", "分组框7", {408, 24, 64, 16}, reached, true, 0, false, 2},
    {"单选框21", "分组框7", {72, 16, 64, 16}, missed, true},
    {"单选框22", "分组框7", {488, 8, 64, 16}, missed, true},
    {"单选框33", "分组框7", {144, 16, 48, 16}, half, false, 0, false, 1},
    // item 8
    {"标签8", nullptr, {8, 323, 56, 16}, "平时抽查", true},
    {"分组框10", nullptr, {64, 312, 232, 32}, ""},
    {"单选框26", nullptr, {72, 320, 64, 16}, reached, true, 0, false, 2},
    {"单选框27", nullptr, {144, 320, 64, 16}, missed, true},
    {"单选框34", "分组框10", {168, 8, 48, 16}, half, false, 0, false, 1},
    // item 9
    {"标签9", nullptr, {16, 401, 272, 24}, "地面无垃圾、无污水 、 无痰迹， 地面干净无尘土", true},
    {"分组框13", nullptr, {304, 393, 192, 32}, ""},
    {"单选框15", "分组框13", {8, 8, 64, 16}, reached, true, 0, false, 2},
    {"单选框20", "分组框13", {72, 8, 64, 16}, missed, true},
    {"单选框35", "分组框13", {136, 8, 48, 16}, half, false, 0, false, 1},
    // item 10
    {"标签10",
     nullptr,
     {16, 431, 424, 24},
     "床下物品摆放整齐；被褥干净、叠放整齐，床上其他杂物或书籍、衣物摆放整齐",
     true},
    {"标签18", nullptr, {448, 431, 56, 24}, "←←←"},
    {"分组框11", nullptr, {504, 422, 200, 32}, ""},
    {"单选框13", "分组框11", {8, 9, 64, 16}, reached, true, 0, false, 4},
    {"单选框19", "分组框11", {72, 8, 64, 16}, missed, true},
    {"单选框36", "分组框11", {136, 8, 48, 16}, half, false, 0, false, 2},
    // item 11
    {"标签11", nullptr, {16, 461, 256, 24}, "天棚、墙角无蛛网、墙面布置合理，不私拉电线", true},
    {"分组框6", nullptr, {288, 453, 200, 32}, ""},
    {"单选框14", "分组框6", {8, 8, 64, 16}, reached, true, 0, false, 2},
    {"单选框18", "分组框6", {72, 8, 64, 16}, missed, true},
    {"单选框37", "分组框6", {136, 8, 48, 16}, half, false, 0, false, 1},
    // item 12
    {"标签12", nullptr, {16, 493, 208, 24}, "室内桌椅、书架、日用品等摆放整齐", true},
    {"分组框9", nullptr, {224, 486, 184, 32}, ""},
    {"单选框23", "分组框9", {8, 8, 64, 16}, reached, true, 0, false, 2},
    {"单选框24", "分组框9", {72, 8, 64, 16}, missed, true},
    {"单选框38", "分组框9", {128, 8, 48, 16}, half, false, 0, false, 1},
    // the rest
    {"图片框1", nullptr, {520, 128, 352, 112}, ""},
    {"标签20", nullptr, {512, 328, 264, 24}, "与卫生评判可能不同，请联系作者投稿提出建议！"},
    {"标签16",
     nullptr,
     {536, 392, 376, 16},
     "第一次使用请先手动计算一遍，避免当前电脑所带来的不必要的麻烦！"},
    {"标签17", nullptr, {536, 408, 216, 16}, "请一次写好，否则程序会出BUG（漏洞）"},
    {"标签19", nullptr, {768, 440, 112, 64}, "谢谢", false, 48, true},
    {"按钮1", nullptr, {40, 522, 864, 48}, "提交", true, 24},
};

const Row* rowOf(const QString& name)
{
    for (const Row& row : controls) {
        if (name == QString::fromUtf8(row.name))
            return &row;
    }
    return nullptr;
}

QStringList radioNames()
{
    QStringList names;
    for (const Row& row : controls) {
        if (QString::fromUtf8(row.name).startsWith(QStringLiteral("单选框")))
            names << QString::fromUtf8(row.name);
    }
    return names;
}

QRadioButton* radio(const QString& name)
{
    return control<QRadioButton>(ChecklistWindow, name);
}

QStringList checkedRadios()
{
    QStringList names;
    for (const QString& name : radioNames()) {
        if (QRadioButton* r = radio(name); r && r->isChecked())
            names << name;
    }
    return names;
}
} // namespace

class ChecklistTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window();
    void layout_data();
    void layout();
    void noOtherControls();
    void clippedRadiosAreNeverSeen();
    void picture();
    void firstFocusAndKeyboardOrder();
    void arrowKeys_data();
    void arrowKeys();
    void pointers_data();
    void pointers();
    void points_data();
    void points();
    void submitDisablesAndOpensDeductions();
    void reopenedChecklistStartsAfresh();
    void closingWithoutSubmitAddsNothing();
    void groupBoxPressesDoNothing();

private:
    QWidget* main() const { return road::window(MainWindow); }
    QWidget* checklist() const { return road::window(ChecklistWindow); }
    // Opens the checklist with "进入填写各个项目", lets `marks` act on it, then closes it
    // with Esc, or submits first: OK on the message, Esc in the deductions window.
    bool runChecklist(Steps& steps, const std::function<void()>& marks, bool submit);

    std::unique_ptr<Frame> m_frame;
};

void ChecklistTest::initTestCase()
{
    applyProgramLooks();
}

void ChecklistTest::init()
{
    QVERIFY(startProgram(m_frame));
}

void ChecklistTest::cleanup()
{
    endProgram(m_frame);
}

bool ChecklistTest::runChecklist(Steps& steps, const std::function<void()>& marks, bool submit)
{
    steps.whenUp(ChecklistWindow, [=, this] {
        marks();
        if (submit)
            click(control(ChecklistWindow, "按钮1"));
        else
            pressKey(checklist(), Qt::Key_Escape);
    });
    if (submit) {
        steps.whenMessage(submitted);
        steps.whenUp(DeductionWindow,
                     [] { pressKey(road::window(DeductionWindow), Qt::Key_Escape); });
        steps.whenGone(DeductionWindow, [this] { checklist()->close(); });
    }
    steps.whenGone(ChecklistWindow);
    return steps.drive([this] { click(control(MainWindow, "按钮5")); });
}

void ChecklistTest::window()
{
    Steps steps;
    steps.whenUp(ChecklistWindow, [&] {
        QWidget* w = checklist();
        steps.check(w->windowTitle() == QStringLiteral("卫生检查统计系统"), "caption");
        steps.check(!(w->windowFlags() & Qt::WindowMinimizeButtonHint), "no minimise button");
        steps.check(!(w->windowFlags() & Qt::WindowMaximizeButtonHint), "no maximise button");
        steps.check(w->windowFlags() & Qt::WindowCloseButtonHint, "a close button");
        steps.check(w->minimumSize() == w->maximumSize(), "fixed size");
        steps.check(isCustomPointer(w->cursor()), "the window's own pointer");
        steps.check(!main()->isEnabled(), "the main window waits disabled");
        w->close();
    });
    steps.whenGone(ChecklistWindow);
    QVERIFY2(steps.drive([this] { click(control(MainWindow, "按钮5")); }),
             qPrintable(steps.failure()));
    QVERIFY(main()->isEnabled());
}

void ChecklistTest::layout_data()
{
    QTest::addColumn<QString>("name");
    for (const Row& row : controls)
        QTest::newRow(row.name) << QString::fromUtf8(row.name);
}

void ChecklistTest::layout()
{
    QFETCH(QString, name);
    const Row& row = *rowOf(name);
    QVERIFY(m_frame->loadWindow(ChecklistWindow, false));
    QWidget* widget = control(ChecklistWindow, name);
    QVERIFY2(widget, qPrintable(name));
    const QString container = row.container ? QString::fromUtf8(row.container) : QString();
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), row.rect);
    QCOMPARE(textOf(widget), row.text);
    QVERIFY(!widget->isHidden());
    QVERIFY(widget->isEnabled());
    if (auto* r = qobject_cast<QRadioButton*>(widget))
        QVERIFY(!r->isChecked());
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        QCOMPARE(box->title(), QString());
    const int pixels = row.songPixels ? row.songPixels : QApplication::font().pixelSize();
    QCOMPARE(widget->font().pixelSize(), pixels);
    const QColor ink = row.red ? QColor(255, 0, 0) : QColor(Qt::black);
    QCOMPARE(widget->palette().color(QPalette::WindowText), ink);
    if (qobject_cast<QLabel*>(widget))
        QVERIFY(widget->autoFillBackground());
}

void ChecklistTest::noOtherControls()
{
    QVERIFY(m_frame->loadWindow(ChecklistWindow, false));
    QStringList expected;
    for (const Row& row : controls)
        expected << QString::fromUtf8(row.name);
    QStringList found;
    for (QWidget* child : checklist()->findChildren<QWidget*>()) {
        if (!child->objectName().isEmpty())
            found << child->objectName();
    }
    expected.sort();
    found.sort();
    QCOMPARE(found, expected);
}

void ChecklistTest::clippedRadiosAreNeverSeen()
{
    QVERIFY(m_frame->loadWindow(ChecklistWindow, false));
    QVERIFY(QTest::qWaitForWindowExposed(checklist()));
    for (const char* name : {"单选框17", "单选框22"}) {
        QRadioButton* r = radio(name);
        QVERIFY(r && r->isVisible());
        QVERIFY2(r->visibleRegion().isEmpty(), name);
        // A click where it would lie reaches something else.
        const QPoint at = r->mapTo(checklist(), r->rect().center());
        QVERIFY(checklist()->childAt(at) != r);
        pressOn(checklist(), at);
        QVERIFY2(!r->isChecked(), name);
    }
    for (const QString& name : radioNames()) {
        if (name != QStringLiteral("单选框17") && name != QStringLiteral("单选框22"))
            QVERIFY2(!radio(name)->visibleRegion().isEmpty(), qPrintable(name));
    }
}

void ChecklistTest::picture()
{
    QVERIFY(m_frame->loadWindow(ChecklistWindow, false));
    QVERIFY(QTest::qWaitForWindowExposed(checklist()));
    QWidget* picture = control(ChecklistWindow, "图片框1");
    const QImage shot = picture->grab().toImage();
    QCOMPARE(shot.size() / shot.devicePixelRatio(), QSize(352, 112));
    // Stretched over the whole box: no stripe of the window face shows at any edge.
    const QColor face = checklist()->palette().color(QPalette::Window);
    for (QPoint at :
         {QPoint(0, 0), QPoint(shot.width() - 1, 0), QPoint(0, shot.height() - 1),
          QPoint(shot.width() - 1, shot.height() - 1), QPoint(shot.width() / 2, shot.height() / 2)})
        QVERIFY2(shot.pixelColor(at) != face,
                 qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
}

void ChecklistTest::firstFocusAndKeyboardOrder()
{
    const QStringList order = {
        "按钮1",    "单选框8",  "单选框4",  "单选框2",  "单选框1",  "单选框7",  "单选框3",
        "单选框6",  "单选框11", "单选框5",  "单选框10", "单选框21", "单选框16", "单选框17",
        "单选框22", "单选框26", "单选框27", "单选框20", "单选框15", "单选框18", "单选框14",
        "单选框19", "单选框13", "单选框24", "单选框23", "单选框9",  "单选框12", "单选框25",
        "单选框28", "单选框29", "单选框30", "单选框31", "单选框32", "单选框33", "单选框34",
        "单选框35", "单选框36", "单选框37", "单选框38"};
    QStringList back = order;
    std::reverse(back.begin(), back.end());
    QStringList forth, backwards;
    QString first;
    Steps steps;
    steps.then(
        "the checklist has the keyboard",
        [this] { return checklist() && checklist()->isActiveWindow(); },
        [&] {
            first = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "";
            forth = focusWalk(checklist(), int(order.size()));
            backwards = focusWalk(checklist(), int(order.size()), true);
            pressKey(checklist(), Qt::Key_Escape);
        });
    steps.whenGone(ChecklistWindow);
    QVERIFY2(steps.drive([this] { click(control(MainWindow, "按钮5")); }),
             qPrintable(steps.failure()));
    QCOMPARE(first, order.first());
    QCOMPARE(forth, order.mid(1) + order.mid(0, 1));
    QCOMPARE(backwards, back);
}

void ChecklistTest::arrowKeys_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("lands");
    const int right = Qt::Key_Right, left = Qt::Key_Left, down = Qt::Key_Down, up = Qt::Key_Up;
    QTest::newRow("分组框7 right")
        << "单选框21" << right
        << QStringList{"单选框16", "单选框17", "单选框22", "单选框33", "单选框21"};
    QTest::newRow("分组框7 down") << "单选框21" << down
                                  << QStringList{"单选框16", "单选框17", "单选框22", "单选框33",
                                                 "单选框21"};
    QTest::newRow("分组框7 left") << "单选框21" << left
                                  << QStringList{"单选框33", "单选框22", "单选框17", "单选框16",
                                                 "单选框21"};
    QTest::newRow("分组框7 up") << "单选框16" << up
                                << QStringList{"单选框21", "单选框33", "单选框22", "单选框17"};
    QTest::newRow("分组框2") << "单选框2" << right << QStringList{"单选框1", "单选框25", "单选框2"};
    QTest::newRow("分组框1") << "单选框8" << right << QStringList{"单选框4", "单选框28", "单选框8"};
    QTest::newRow("分组框4 left") << "单选框6" << left
                                  << QStringList{"单选框30", "单选框11", "单选框6"};
    QTest::newRow("分组框8") << "单选框9" << right
                             << QStringList{"单选框12", "单选框32", "单选框9"};
    QTest::newRow("分组框9") << "单选框24" << down
                             << QStringList{"单选框23", "单选框38", "单选框24"};
    QTest::newRow("window set") << "单选框26" << right << QStringList{"单选框27", "单选框26"};
    QTest::newRow("window set left") << "单选框27" << left << QStringList{"单选框26", "单选框27"};
    QTest::newRow("分组框10 alone") << "单选框34" << right << QStringList{"单选框34", "单选框34"};
}

void ChecklistTest::arrowKeys()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QStringList, lands);
    QVERIFY(m_frame->loadWindow(ChecklistWindow, false));
    QVERIFY(QTest::qWaitForWindowActive(checklist()));
    QRadioButton* first = radio(start);
    click(first);
    QVERIFY(first->isChecked());
    QCOMPARE(QApplication::focusWidget(), first);
    const QList<QRadioButton*> set =
        first->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (const QString& name : lands) {
        pressKey(checklist(), Qt::Key(key));
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
        for (QRadioButton* r : set)
            QVERIFY2(r->isChecked() == (r->objectName() == name), qPrintable(r->objectName()));
    }
    // Nothing outside the set moved.
    for (const QString& name : checkedRadios())
        QVERIFY2(first->parentWidget() == radio(name)->parentWidget(), qPrintable(name));
}

void ChecklistTest::pointers_data()
{
    QTest::addColumn<QString>("name");
    for (const Row& row : controls)
        QTest::newRow(row.name) << QString::fromUtf8(row.name);
}

void ChecklistTest::pointers()
{
    QFETCH(QString, name);
    const Row& row = *rowOf(name);
    QVERIFY(m_frame->loadWindow(ChecklistWindow, false));
    QWidget* widget = control(ChecklistWindow, name);
    if (name == QStringLiteral("单选框17") || name == QStringLiteral("单选框22")) {
        // Never under the mouse; the pointer it would show still comes with it.
        QCOMPARE(isCustomPointer(widget->cursor()), row.customPointer);
        return;
    }
    // A point of the control that no other control covers.
    const QRect area(widget->mapTo(checklist(), QPoint(0, 0)), widget->size());
    QPoint at = area.center();
    if (qobject_cast<QGroupBox*>(widget))
        at = QPoint(area.right() - 3, area.bottom() - 3);
    QCOMPARE(checklist()->childAt(at), widget);
    const QCursor shown = pointerAt(checklist(), at);
    QCOMPARE(isCustomPointer(shown), row.customPointer);
    if (!row.customPointer)
        QCOMPARE(shown.shape(), Qt::ArrowCursor);
}

void ChecklistTest::points_data()
{
    QTest::addColumn<QStringList>("marks"); // radio buttons to click; ">" presses Right
    QTest::addColumn<double>("added");
    for (const QString& name : radioNames()) {
        if (name != QStringLiteral("单选框17") && name != QStringLiteral("单选框22"))
            QTest::newRow(qPrintable(name)) << QStringList{name} << rowOf(name)->points;
    }
    QTest::newRow("nothing") << QStringList{} << 0.0;
    QTest::newRow("all 达成") << QStringList{"单选框1",  "单选框4",  "单选框11", "单选框3",
                                             "单选框10", "单选框9",  "单选框16", "单选框26",
                                             "单选框15", "单选框13", "单选框14", "单选框23"}
                              << 30.0;
    QTest::newRow("all 一半") << QStringList{"单选框25", "单选框28", "单选框30", "单选框29",
                                             "单选框31", "单选框32", "单选框33", "单选框34",
                                             "单选框35", "单选框36", "单选框37", "单选框38"}
                              << 15.0;
    QTest::newRow("all 未达成") << QStringList{"单选框2",  "单选框8",  "单选框6",  "单选框7",
                                               "单选框5",  "单选框12", "单选框21", "单选框27",
                                               "单选框20", "单选框19", "单选框18", "单选框24"}
                                << 0.0;
    QTest::newRow("item 8 both sets") << QStringList{"单选框26", "单选框34"} << 3.0;
    QTest::newRow("item 8 未达成 after both")
        << QStringList{"单选框26", "单选框34", "单选框27"} << 1.0;
    QTest::newRow("item 3 一半 then 达成") << QStringList{"单选框30", "单选框11"} << 2.0;
    QTest::newRow("item 3 达成 then 一半") << QStringList{"单选框11", "单选框30"} << 1.0;
    QTest::newRow("item 6 达成 then 未达成") << QStringList{"单选框9", "单选框12"} << 0.0;
    QTest::newRow("clipped 单选框17 by arrows") << QStringList{"单选框21", ">", ">"} << 2.0;
    QTest::newRow("item 7 arrows round to 一半")
        << QStringList{"单选框21", ">", ">", ">", ">"} << 1.0;
    QTest::newRow("every radio clicked once") << radioNames() << 15.0;
}

void ChecklistTest::points()
{
    QFETCH(QStringList, marks);
    QFETCH(double, added);
    m_frame->classScore = 4.5;
    QStringList checked;
    Steps steps;
    const bool done = runChecklist(
        steps,
        [&] {
            for (const QString& mark : marks) {
                if (mark == QStringLiteral(">"))
                    pressKey(checklist(), Qt::Key_Right);
                else if (QRadioButton* r = radio(mark); r && !r->visibleRegion().isEmpty())
                    click(r);
            }
            checked = checkedRadios();
        },
        true);
    QVERIFY2(done, qPrintable(steps.failure()));
    QCOMPARE(m_frame->classScore, 4.5 + added);
    if (marks == QStringList{"单选框26", "单选框34", "单选框27"})
        QCOMPARE(checked, (QStringList{"单选框27", "单选框34"}));
    if (marks == QStringList{"单选框30", "单选框11"})
        QCOMPARE(checked, QStringList{"单选框11"});
}

void ChecklistTest::submitDisablesAndOpensDeductions()
{
    Steps steps;
    steps.whenUp(ChecklistWindow, [] { click(control(ChecklistWindow, "按钮1")); });
    steps.whenMessage(submitted, [&] {
        auto* submit = control(ChecklistWindow, "按钮1");
        steps.check(!submit->isEnabled(), "提交 is disabled while the message is up");
        steps.check(!road::window(DeductionWindow), "the deductions window waits for the message");
        steps.check(m_frame->classScore == 0, "nothing checked adds nothing");
    });
    steps.whenUp(DeductionWindow, [&] {
        steps.check(!checklist()->isEnabled(), "the checklist waits disabled");
        steps.check(!main()->isEnabled(), "the main window stays disabled");
        steps.check(QApplication::activeWindow() == road::window(DeductionWindow),
                    "the deductions window opens over the checklist");
        road::window(DeductionWindow)->close();
    });
    steps.whenGone(DeductionWindow, [&] {
        steps.check(checklist()->isEnabled(), "the checklist takes input again");
        steps.check(!main()->isEnabled(), "the main window is still disabled");
        auto* submit = control(ChecklistWindow, "按钮1");
        steps.check(!submit->isEnabled(), "提交 stays disabled");
        // Clicks on the disabled button and new marks change nothing.
        click(radio("单选框9"));
        click(submit);
        steps.check(!messageBox() && !road::window(DeductionWindow),
                    "a second submit does nothing");
        steps.check(radio("单选框9")->isChecked(), "the marks can still be changed");
        pressKey(checklist(), Qt::Key_Escape);
    });
    steps.whenGone(ChecklistWindow,
                   [&] { steps.check(main()->isEnabled(), "the main window is back"); });
    QVERIFY2(steps.drive([this] { click(control(MainWindow, "按钮5")); }),
             qPrintable(steps.failure()));
    QCOMPARE(m_frame->classScore, 0.0);
}

void ChecklistTest::reopenedChecklistStartsAfresh()
{
    Steps first;
    QVERIFY2(runChecklist(
                 first,
                 [] {
                     click(radio("单选框1"));
                     click(radio("单选框34"));
                     click(radio("单选框27"));
                 },
                 true),
             qPrintable(first.failure()));
    QCOMPARE(m_frame->classScore, 3.0);
    QStringList checked;
    bool enabled = false;
    Steps again;
    QVERIFY2(runChecklist(
                 again,
                 [&] {
                     checked = checkedRadios();
                     enabled = control(ChecklistWindow, "按钮1")->isEnabled();
                 },
                 false),
             qPrintable(again.failure()));
    QCOMPARE(checked, QStringList());
    QVERIFY(enabled);
    QCOMPARE(m_frame->classScore, 3.0);
}

void ChecklistTest::closingWithoutSubmitAddsNothing()
{
    Steps steps;
    QVERIFY2(runChecklist(
                 steps,
                 [] {
                     click(radio("单选框9"));
                     click(radio("单选框13"));
                 },
                 false),
             qPrintable(steps.failure()));
    QCOMPARE(m_frame->classScore, 0.0);
}

void ChecklistTest::groupBoxPressesDoNothing()
{
    QVERIFY(m_frame->loadWindow(ChecklistWindow, false));
    QVERIFY(QTest::qWaitForWindowActive(checklist()));
    for (const char* name : {"分组框1", "分组框4", "分组框6", "分组框9", "分组框7"}) {
        QWidget* box = control(ChecklistWindow, name);
        clickAt(box, QPoint(box->width() - 3, 3));
        QVERIFY(!messageBox());
    }
    QCOMPARE(checkedRadios(), QStringList());
    QVERIFY(checklist()->isVisible());
}

INSPECTION_TEST_MAIN(ChecklistTest)
#include "test_checklist.moc"
